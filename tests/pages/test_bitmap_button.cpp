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
// faces are white.
TEST(DropdownButton, PressedFaceSinksItsHotPartOnWhite)
{
    const int width = 40, height = 26;
    int split = width - 9 * (height * 11 / 13) / 13;   // where the arrow part begins
    COLORREF sunken = GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF, raised = GetSysColor(COLOR_3DLIGHT) & 0xFFFFFF;
    COLORREF face = GetSysColor(COLOR_BTNFACE) & 0xFFFFFF;
    struct Case {
        int pressed, arrowHot, white;
        COLORREF pictureCorner, arrowCorner, background;
    } cases[] = {
        {1, 1, 1, raised, sunken, 0xFFFFFF},
        {1, 0, 1, sunken, raised, 0xFFFFFF},
        {0, 0, 1, raised, raised, 0xFFFFFF},
        {1, 1, 0, raised, sunken, face},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.pressed << c.arrowHot << c.white);
        HBITMAP button = DrawDropdownButton(NULL, width, height, c.pressed, 1, c.arrowHot, c.white);
        ASSERT_TRUE(button != NULL);
        EXPECT_EQ(c.pictureCorner, PixelOf(button, 0, 0) & 0xFFFFFF);
        if (c.pressed) {   // unpressed, the face has one frame and no edge between its parts
            EXPECT_EQ(c.arrowCorner, PixelOf(button, split, 0) & 0xFFFFFF);
        }
        EXPECT_EQ(c.background, PixelOf(button, 5, height / 2) & 0xFFFFFF);
        DeleteObject(button);
    }
}
