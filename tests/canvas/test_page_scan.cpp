// The pixel scans of page bitmaps: the ink rectangle and white rows, on DIB sections of several
// depths and on a screen-compatible bitmap.
#include "canvas/canvas.h"

#include <gtest/gtest.h>

namespace {

struct SelectedBitmap {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    SelectedBitmap(HBITMAP b) : dc(CreateCompatibleDC(NULL)), bitmap(b), old(SelectObject(dc, b)) {}
    ~SelectedBitmap()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    void Fill(int left, int top, int right, int bottom, COLORREF colour)
    {
        RECT rc = {left, top, right, bottom};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        GdiFlush();
    }
};

TEST(PageScan, ContentRectangleOnPageDepths)
{
    const int depths[] = {1, 4, 24};
    for (int bits : depths) {
        SCOPED_TRACE(bits);
        SelectedBitmap page(CreateDibBitmap(300, 400, bits, WHITENESS, NULL, NULL));
        ASSERT_TRUE(page.bitmap != NULL);
        BITMAP info;
        GetObjectA(page.bitmap, sizeof(info), &info);
        RECT rc = {-1, -1, -1, -1};
        // An all-white page has no content rectangle and leaves the rectangle as it was.
        EXPECT_EQ(0, FindPageContentRows(page.dc, &info, &rc));
        EXPECT_EQ(-1, rc.left);
        page.Fill(20, 30, 25, 31, RGB(0, 0, 0));
        page.Fill(250, 300, 260, 320, RGB(0, 0, 0));
        ASSERT_EQ(1, FindPageContentRows(page.dc, &info, &rc));
        EXPECT_EQ(20, rc.left);
        EXPECT_EQ(30, rc.top);
        EXPECT_EQ(260, rc.right);
        EXPECT_EQ(320, rc.bottom);
    }
}

TEST(PageScan, NearWhiteCountsAsWhiteAndTheLastColumnOnlyForTheRight)
{
    SelectedBitmap page(CreateDibBitmap(100, 50, 24, WHITENESS, NULL, NULL));
    BITMAP info;
    GetObjectA(page.bitmap, sizeof(info), &info);
    RECT rc = {0, 0, 0, 0};
    page.Fill(10, 10, 90, 40, RGB(254, 254, 254));
    EXPECT_EQ(0, FindPageContentRows(page.dc, &info, &rc));
    // Ink only in the last column: rows and left never see it, so there is no rectangle.
    page.Fill(99, 5, 100, 6, RGB(10, 10, 10));
    EXPECT_EQ(0, FindPageContentRows(page.dc, &info, &rc));
    page.Fill(40, 20, 41, 21, RGB(200, 0, 0));
    ASSERT_EQ(1, FindPageContentRows(page.dc, &info, &rc));
    EXPECT_EQ(40, rc.left);
    EXPECT_EQ(20, rc.top);
    EXPECT_EQ(41, rc.right);
    EXPECT_EQ(21, rc.bottom);
}

TEST(PageScan, WhiteRowsWithMargins)
{
    SelectedBitmap page(CreateDibBitmap(64, 16, 4, WHITENESS, NULL, NULL));
    page.Fill(0, 5, 3, 6, RGB(0, 0, 0));     // ink in the left margin of row 5
    page.Fill(30, 8, 31, 9, RGB(0, 0, 0));   // ink in the middle of row 8
    EXPECT_EQ(1, IsPixelRowWhite(page.dc, 64, 0, 0));
    EXPECT_EQ(0, IsPixelRowWhite(page.dc, 64, 5, 0));
    EXPECT_EQ(1, IsPixelRowWhite(page.dc, 64, 5, 3));
    EXPECT_EQ(0, IsPixelRowWhite(page.dc, 64, 8, 10));
    // An empty range (margins meet) is white.
    EXPECT_EQ(1, IsPixelRowWhite(page.dc, 64, 8, 32));
}

TEST(PageScan, ScreenCompatibleBitmap)
{
    HDC screen = GetDC(NULL);
    HBITMAP ddb = CreateCompatibleBitmap(screen, 80, 60);
    ReleaseDC(NULL, screen);
    SelectedBitmap page(ddb);
    page.Fill(0, 0, 80, 60, RGB(255, 255, 255));
    page.Fill(5, 6, 15, 16, RGB(0, 0, 255));
    BITMAP info;
    GetObjectA(ddb, sizeof(info), &info);
    RECT rc;
    ASSERT_EQ(1, FindPageContentRows(page.dc, &info, &rc));
    EXPECT_EQ(5, rc.left);
    EXPECT_EQ(6, rc.top);
    EXPECT_EQ(15, rc.right);
    EXPECT_EQ(16, rc.bottom);
    EXPECT_EQ(0, IsPixelRowWhite(page.dc, 80, 10, 0));
    EXPECT_EQ(1, IsPixelRowWhite(page.dc, 80, 20, 0));
}

} // namespace
