// Saved field backgrounds ("qvbb" blocks) and stored signature images: round trips, restoring a
// tagged field's background, the tagged-field list and its bound, checks of stored blocks.
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_paint_util.h"

#include <gtest/gtest.h>
#include <math.h>
#include <string.h>
#include <vector>

namespace {

// A 1-bit bitmap with a diagonal line and a filled square.
HBITMAP MakeMonoPattern(int width, int height)
{
    HBITMAP bitmap = CreateDibBitmap(width, height, 1, WHITENESS, NULL, NULL);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bitmap);
    MoveToEx(dc, 0, 0, NULL);
    LineTo(dc, width, height);
    PatBlt(dc, width / 4, height / 2, width / 4, height / 4, BLACKNESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

std::vector<unsigned> SnapBitmap(HBITMAP bitmap)
{
    int w = 0, h = 0;
    GetBitmapSize(bitmap, &w, &h);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<unsigned> pixels = TestCanvas::SnapDc(dc, w, h);
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

TEST(FieldClip, BlockRoundTripKeepsEveryPixel)
{
    for (int width : {1, 15, 16, 17, 45}) {
        HBITMAP pattern = MakeMonoPattern(width, 23);
        FieldClip *clip = SaveFieldClip(pattern, 7);
        ASSERT_TRUE(clip != NULL);
        EXPECT_EQ(0, memcmp(clip->magic, "qvbb", 4));
        EXPECT_EQ((width + 15) / 16 * 2, clip->rowBytes);
        EXPECT_EQ((uint32_t)clip->rowBytes * 23, clip->size);
        EXPECT_EQ(7, clip->fieldIndex);
        HBITMAP back = CreateBitmapFromClip(clip);
        ASSERT_TRUE(back != NULL);
        EXPECT_EQ(SnapBitmap(pattern), SnapBitmap(back)) << "width " << width;
        DeleteObject(back);
        DeleteObject(pattern);
        MemFree(clip);
    }
    EXPECT_TRUE(SaveFieldClip(NULL, 1) == NULL);
    HBITMAP colour = CreateDibBitmap(8, 8, 24, WHITENESS, NULL, NULL);
    EXPECT_TRUE(SaveFieldClip(colour, 1) == NULL);   // only 1-bit bitmaps make blocks
    DeleteObject(colour);
}

struct TestTable {
    std::vector<FieldRecord> fields;
    std::vector<RECT> rects;
    FieldTable table;
    explicit TestTable(const std::vector<const char *> &types) : fields(types.size() + 1), rects(types.size() + 1)
    {
        memset(fields.data(), 0, fields.size() * sizeof(FieldRecord));
        for (size_t i = 1; i < fields.size(); i++) {
            fields[i].typeCode = (char *)types[i - 1];
            rects[i] = RECT{(LONG)(20 + 200 * (i - 1)), 20, (LONG)(180 + 200 * (i - 1)), 80};
            fields[i].rect = &rects[i];
        }
        table.count = (int)fields.size();
        table.fields = fields.data();
        table.sortedIndex = NULL;
    }
};

TEST(FieldClip, TaggedFieldListIsExactAndBounded)
{
    TestTable t({"T[1x]", "N", "T[2w]", "T[1xx]", "S[sig]", "Cb[1x]", "T[2x]", "T[1w]"});
    t.fields[7].rect = NULL;   // a tagged field without a rectangle is not listed
    char list[64] = "";
    EXPECT_EQ(1, CollectTaggedFields(&t.table, list, sizeof(list)));
    EXPECT_STREQ("1,3,5,8", list);
    char small[6] = "";
    EXPECT_EQ(1, CollectTaggedFields(&t.table, small, sizeof(small)));
    EXPECT_STREQ("1,3,5", small);   // stops where the next index no longer fits
    char none[8] = "";
    TestTable plain({"N", "A"});
    EXPECT_EQ(0, CollectTaggedFields(&plain.table, none, sizeof(none)));
    EXPECT_STREQ("", none);
}

TEST(FieldClip, TaggedFieldGetsItsSavedBackgroundBack)
{
    TestCanvas canvas(500, 120);
    // The form's printing under the field: a black bar.
    PatBlt(canvas.dc, 30, 60, 100, 10, BLACKNESS);
    FormInstance page;
    memset(&page, 0, sizeof(page));
    TestTable t({"T[1x]"});
    page.fieldTable = &t.table;
    HBITMAP bitmap = canvas.Detach();
    FreeFieldClips();
    gFieldClips[0] = SaveFieldBackground(bitmap, &t.table, 1);
    ASSERT_TRUE(gFieldClips[0] != NULL);
    EXPECT_TRUE(FindFieldClip(1) == gFieldClips[0]);
    EXPECT_TRUE(FindFieldClip(2) == NULL);

    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bitmap);
    t.fields[1].value = (char *)"OLD VALUE";
    DrawFieldData(dc, NULL, &t.fields[1], 1, NULL, RGB(255, 255, 255), 1, 1, &page);
    t.fields[1].value = (char *)"";
    DrawFieldData(dc, NULL, &t.fields[1], 1, NULL, RGB(255, 255, 255), 1, 1, &page);
    std::vector<unsigned> pixels = TestCanvas::SnapDc(dc, 500, 120);
    RECT area = *t.fields[1].rect;
    RECT ink = TestCanvas::InkOf(pixels, 500, 120, &area);
    EXPECT_EQ(30, ink.left);    // only the bar is left: the old value is gone
    EXPECT_EQ(60, ink.top);
    EXPECT_EQ(130, ink.right);
    EXPECT_EQ(70, ink.bottom);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    FreeFieldClips();
    EXPECT_TRUE(gFieldClips[0] == NULL);
}

// A signature block: the pattern with scale and offsets.
std::vector<unsigned char> MakeSignatureBlock(float scale, int16_t x, int16_t y, int fieldIndex)
{
    HBITMAP pattern = MakeMonoPattern(40, 20);
    FieldClip *clip = SaveFieldClip(pattern, fieldIndex);
    DeleteObject(pattern);
    memcpy(&clip->type, &scale, 4);
    int16_t offsets[2] = {x, y};
    memcpy(&clip->unused, offsets, 4);
    std::vector<unsigned char> block((unsigned char *)clip, (unsigned char *)clip + sizeof(FieldClip) + clip->size);
    MemFree(clip);
    return block;
}

TEST(Signature, StoredBlocksAreCheckedBeforeTheyAreDrawn)
{
    std::vector<unsigned char> good = MakeSignatureBlock(1.0f, 3, 4, 2);
    float scale = 0;
    int x = 0, y = 0;
    ASSERT_EQ(1, ReadSignatureImage(good.data(), (uint32_t)good.size(), &scale, &x, &y));
    EXPECT_FLOAT_EQ(1.0f, scale);
    EXPECT_EQ(3, x);
    EXPECT_EQ(4, y);
    EXPECT_EQ(0, ReadSignatureImage(good.data(), (uint32_t)good.size() - 1, NULL, NULL, NULL));   // short data
    EXPECT_EQ(0, ReadSignatureImage(good.data(), 20, NULL, NULL, NULL));
    EXPECT_EQ(0, ReadSignatureImage(NULL, 100, NULL, NULL, NULL));
    const float badScales[] = {0.0f, -1.0f, NAN, INFINITY, 1000.0f};
    for (float bad : badScales) {
        std::vector<unsigned char> b = MakeSignatureBlock(bad, 0, 0, 2);
        EXPECT_EQ(0, ReadSignatureImage(b.data(), (uint32_t)b.size(), NULL, NULL, NULL)) << bad;
    }
    std::vector<unsigned char> distant = MakeSignatureBlock(1.0f, 30000, 0, 2);
    EXPECT_EQ(0, ReadSignatureImage(distant.data(), (uint32_t)distant.size(), NULL, NULL, NULL));
    std::vector<unsigned char> broken = good;
    ((FieldClip *)broken.data())->rowBytes = 1;   // rows narrower than the width
    EXPECT_EQ(0, ReadSignatureImage(broken.data(), (uint32_t)broken.size(), NULL, NULL, NULL));
    broken = good;
    ((FieldClip *)broken.data())->height = 0x40000000;   // size overflow
    EXPECT_EQ(0, ReadSignatureImage(broken.data(), (uint32_t)broken.size(), NULL, NULL, NULL));
    broken = good;
    memcpy(broken.data(), "qvbx", 4);
    EXPECT_EQ(0, ReadSignatureImage(broken.data(), (uint32_t)broken.size(), NULL, NULL, NULL));

    TestCanvas canvas(200, 100);
    RECT rect = {10, 10, 190, 90};
    EXPECT_EQ(0, DrawSignatureImage(canvas.dc, &rect, broken.data(), (uint32_t)broken.size(), 0));
    EXPECT_EQ(0, canvas.InkBounds().right);
}

TEST(Signature, DrawnScaledAtItsOffsetAndInverted)
{
    FreeFieldClips();
    TestCanvas canvas(300, 200);
    RECT rect = {50, 40, 250, 160};
    std::vector<unsigned char> block = MakeSignatureBlock(2.0f, 10, 5, 3);
    ASSERT_EQ(1, DrawSignatureImage(canvas.dc, &rect, block.data(), (uint32_t)block.size(), 0));
    RECT ink = canvas.InkBounds();
    EXPECT_NEAR(60, ink.left, 1);    // rect corner + offset
    EXPECT_NEAR(45, ink.top, 1);
    EXPECT_NEAR(60 + 80, ink.right, 2);   // 40 x 20 at scale 2
    EXPECT_NEAR(45 + 40, ink.bottom, 2);
    // Inverted: the field turns black, the signature white.
    canvas.Clear();
    DrawSignatureImage(canvas.dc, &rect, block.data(), (uint32_t)block.size(), 1);
    RECT corner = {rect.left, rect.top, rect.left + 8, rect.top + 4};
    EXPECT_EQ(32, canvas.CountColour(RGB(0, 0, 0), &corner));
    RECT outside = {0, 0, 50, 40};
    EXPECT_EQ(0, canvas.CountColour(RGB(0, 0, 0), &outside));
    RECT diagonal = {60, 45, 70, 50};   // the signature's stroke shows light on black
    EXPECT_LT(canvas.CountColour(RGB(0, 0, 0), &diagonal), 50 - 4);
}

}  // namespace
