// The drop-down button face: the picture, a frame and the arrow bitmap of the program's resources
// on the button face colour.
#include <gtest/gtest.h>
#include "pages/pages.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/pixels.h"

TEST(DropdownButton, FaceShowsTheArrowOnTheButtonColour)
{
    HBITMAP arrow = (HBITMAP)LoadImageA(gInstance, "BTNS_DROPDOWN_BMP", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    ASSERT_TRUE(arrow != NULL) << "the arrow bitmap is a resource of the program";
    DeleteObject(arrow);
    COLORREF face = GetSysColor(COLOR_BTNFACE) & 0xFFFFFF;
    for (int pressed = 0; pressed < 2; pressed++) {
        const int width = 40, height = 26;
        HBITMAP button = DrawDropdownButton(NULL, width, height, pressed);
        ASSERT_TRUE(button != NULL);
        // The arrow: 11/13 of the height, right of the picture area.
        int arrowH = height * 11 / 13, arrowW = 9 * arrowH / 13, left = width - arrowW;
        int black = 0, faceColoured = 0;
        for (int y = 3; y < height - 3; y++)
            for (int x = left; x < width - 3; x++) {
                COLORREF c = PixelOf(button, x, y) & 0xFFFFFF;
                black += c == 0;
                faceColoured += c == face;
            }
        EXPECT_GT(black, 10) << "pressed " << pressed;             // the arrow is drawn
        EXPECT_GT(faceColoured, black) << "pressed " << pressed;   // on the face colour
        EXPECT_EQ(face, PixelOf(button, 5, height / 2) & 0xFFFFFF);  // the picture area is plain
        DeleteObject(button);
    }
}

// A pressed drop-down face sinks only its hot part (the arrow or the picture); the field buttons'
// faces are white. Corners of the picture and arrow parts: sunken or raised edge.
TEST(DropdownButton, PressedFaceSinksItsHotPartOnWhite)
{
    const int width = 40, height = 26, split = width - 9 * (height * 11 / 13) / 13;
    COLORREF in = GetSysColor(COLOR_BTNSHADOW), out = GetSysColor(COLOR_3DLIGHT), face = GetSysColor(COLOR_BTNFACE);
    struct Case {
        int pressed, arrowHot, white;
        COLORREF picture, arrow, background;
    } cases[] = {{1, 1, 1, out, in, 0xFFFFFF}, {1, 0, 1, in, out, 0xFFFFFF}, {1, 1, 0, out, in, face}};
    for (const Case &c : cases) {
        HBITMAP button = DrawDropdownButton(NULL, width, height, c.pressed, 1, c.arrowHot, c.white);
        EXPECT_EQ(c.picture & 0xFFFFFF, PixelOf(button, 0, 0) & 0xFFFFFF) << c.arrowHot << c.white;
        EXPECT_EQ(c.arrow & 0xFFFFFF, PixelOf(button, split, 0) & 0xFFFFFF) << c.arrowHot << c.white;
        EXPECT_EQ(c.background & 0xFFFFFF, PixelOf(button, 5, height / 2) & 0xFFFFFF) << c.arrowHot << c.white;
        DeleteObject(button);
    }
}
