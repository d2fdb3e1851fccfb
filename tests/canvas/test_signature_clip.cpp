// A stored signature placed partly off its field inks only the field's rectangle on the page.
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_paint_util.h"

#include <gtest/gtest.h>
#include <string.h>
#include <vector>

namespace {

// A solid black 40 x 20 signature at scale 1 and the given offsets.
std::vector<unsigned char> MakeSolidSignature(int16_t x, int16_t y)
{
    HBITMAP ink = CreateDibBitmap(40, 20, 1, BLACKNESS, NULL, NULL);
    FieldClip *clip = SaveFieldClip(ink, 2);
    DeleteObject(ink);
    float scale = 1.0f;
    memcpy(&clip->type, &scale, 4);
    int16_t offsets[2] = {x, y};
    memcpy(&clip->unused, offsets, 4);
    std::vector<unsigned char> block((unsigned char *)clip, (unsigned char *)clip + sizeof(FieldClip) + clip->size);
    MemFree(clip);
    return block;
}

TEST(SignatureClip, InkStaysInsideTheFieldWhereverTheSignatureSits)
{
    FreeFieldClips();
    const RECT rect = {50, 40, 250, 160};
    struct Case {
        int16_t x, y;
        int inkInside;   // black pixels of the 40 x 20 signature that fall on the field
    } cases[] = {
        {10, 5, 800},      // wholly on the field
        {180, 5, 400},     // half past the right edge
        {10, 110, 400},    // half below the bottom edge
        {-20, -10, 200},   // over the top-left corner
        {170, 125, 0},     // off the field altogether
    };
    for (const Case &c : cases) {
        TestCanvas canvas(320, 220);
        std::vector<unsigned char> block = MakeSolidSignature(c.x, c.y);
        ASSERT_EQ(1, DrawSignatureImage(canvas.dc, &rect, block.data(), (uint32_t)block.size(), 0));
        EXPECT_EQ(c.inkInside, canvas.CountColour(RGB(0, 0, 0), &rect)) << c.x << "," << c.y;
        EXPECT_EQ(c.inkInside, canvas.CountColour(RGB(0, 0, 0))) << "ink off the field at " << c.x << "," << c.y;
    }
}

}  // namespace
