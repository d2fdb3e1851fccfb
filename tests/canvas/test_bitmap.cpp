// Bitmap toolkit: headers, colour tables, palettes, raster operations, rotation, resampling,
// fitting and the 24-bit pixel rules, on small bitmaps.
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include "tests/harness/pixels.h"
#include <string.h>
#include <vector>

namespace {

// A 24-bit DIB whose pixel (x, y) is colours[y * w + x].
HBITMAP Make24(int w, int h, const std::vector<COLORREF> &colours)
{
    HBITMAP b = CreateDibBitmap(w, h, 24, 0, NULL, NULL);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, b);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) SetPixel(dc, x, y, colours[(size_t)y * w + x]);
    SelectObject(dc, old);
    DeleteDC(dc);
    return b;
}

struct CanvasPalette {
    RGBQUAD q[16];
    CanvasPalette()
    {
        memset(q, 0, sizeof q);
        q[7].rgbRed = q[7].rgbGreen = q[7].rgbBlue = 192;
        q[8].rgbRed = q[8].rgbGreen = q[8].rgbBlue = 128;
        q[15].rgbRed = q[15].rgbGreen = q[15].rgbBlue = 255;
    }
};

} // namespace

TEST(BitmapToolkit, HeadersAndDefaultPalettes)
{
    BITMAPINFO *one = BuildBitmapInfo(10, -3, 1, NULL);
    ASSERT_TRUE(one);
    EXPECT_EQ(40u, one->bmiHeader.biSize);
    EXPECT_EQ(-3, one->bmiHeader.biHeight);
    EXPECT_EQ(3780, one->bmiHeader.biXPelsPerMeter);
    EXPECT_EQ(12u, one->bmiHeader.biSizeImage);   // 3 rows of 4 bytes
    EXPECT_EQ(0, one->bmiColors[0].rgbRed);         // black at 0, white at 1
    EXPECT_EQ(255, one->bmiColors[1].rgbBlue);
    MemFree(one);

    BITMAPINFO *four = BuildBitmapInfo(3, 3, 4, NULL);
    ASSERT_TRUE(four);
    EXPECT_EQ(128, four->bmiColors[1].rgbRed);   // maroon
    EXPECT_EQ(192, four->bmiColors[7].rgbGreen); // silver
    EXPECT_EQ(255, four->bmiColors[15].rgbGreen);
    MemFree(four);

    EXPECT_EQ(NULL, BuildBitmapInfo(4, 4, 8, NULL));
    EXPECT_EQ(NULL, BuildBitmapInfo(4, 4, 16, NULL));
    EXPECT_EQ(NULL, CreateDibBitmap(4, 4, 8, WHITENESS, NULL, NULL));

    EXPECT_EQ(4u, GetDibImageSize(10, 2, 1, 0));    // 10 pixels: 2 bytes per 16-bit row
    EXPECT_EQ(8u, GetDibImageSize32(10, 2, 1));
    EXPECT_EQ(20u, GetDibImageSize(3, 2, 24, 0));   // 9 bytes -> 10 per row
    EXPECT_EQ(24u, GetDibImageSize32(3, 2, 24));    // 9 bytes -> 12 per row
}

TEST(BitmapToolkit, FilledBitmapsAndColourTables)
{
    HBITMAP white = CreateDibBitmap(7, 5, 4, WHITENESS, NULL, NULL);
    ASSERT_TRUE(white);
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(white, 0, 0));
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(white, 6, 4));
    int count = -1;
    RGBQUAD *table = GetDibColorTable(NULL, white, &count);
    ASSERT_TRUE(table);
    EXPECT_EQ(16, count);
    MemFree(table);
    DeleteObject(white);

    HBITMAP black = CreateDibBitmap(3, 3, 1, BLACKNESS, NULL, NULL);
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(black, 2, 2));
    table = GetDibColorTable(NULL, black, &count);
    EXPECT_EQ(2, count);
    MemFree(table);
    DeleteObject(black);

    // A 16-bit bitmap has no colour table (never 65,536 entries), nor has a 24-bit one.
    RGBQUAD grey[256] = {};
    HBITMAP sixteen = CreateDibBitmap(4, 4, 16, 0, NULL, grey);
    ASSERT_TRUE(sixteen);
    count = -1;
    EXPECT_EQ(NULL, GetDibColorTable(NULL, sixteen, &count));
    EXPECT_EQ(0, count);
    DeleteObject(sixteen);
    HBITMAP rgb = CreateDibBitmap(4, 4, 24, WHITENESS, NULL, NULL);
    EXPECT_EQ(NULL, GetDibColorTable(NULL, rgb, &count));
    DeleteObject(rgb);

    // Given bits are copied in (all rows).
    unsigned char bits[8] = {0x80, 0, 0, 0, 0x01, 0, 0, 0};   // 2 rows of 4 bytes, bottom-up
    HBITMAP given = CreateDibBitmap(8, 2, 1, 0, bits, NULL);
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(given, 0, 1));   // bottom row, first pixel 1 = white
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(given, 1, 1));
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(given, 7, 0));
    DeleteObject(given);
}

TEST(BitmapToolkit, PaletteColoursOnTheCanvasPalette)
{
    CanvasPalette canvas;
    HBITMAP b = CreateDibBitmap(4, 4, 4, WHITENESS, NULL, canvas.q);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, b);
    EXPECT_EQ(0, AddPaletteColor(dc, RGB(10, 10, 10)));       // greys are refused
    EXPECT_EQ(0, AddPaletteColor(dc, RGB(255, 255, 255)));
    EXPECT_EQ(1, AddPaletteColor(dc, RGB(200, 0, 0)));        // first free entry: 1
    EXPECT_EQ(0, AddPaletteColor(dc, RGB(200, 0, 0)));        // already there
    RGBQUAD q[16];
    GetDIBColorTable(dc, 0, 16, q);
    EXPECT_EQ(200, q[1].rgbRed);
    EXPECT_EQ(0, q[1].rgbBlue);
    // Fill the free entries (2..6, 9..14): eleven more colours fit, the twelfth does not.
    int added = 0;
    for (int i = 0; i < 12; i++) added += AddPaletteColor(dc, RGB(20 + i, 100, 50));
    EXPECT_EQ(11, added);

    // The canvas and VGA palettes.
    ASSERT_EQ(1, LoadCanvasPalette(dc, 0));
    GetDIBColorTable(dc, 0, 16, q);
    EXPECT_EQ(128, q[4].rgbBlue);   // navy
    ASSERT_EQ(1, LoadCanvasPalette(dc, 1));
    GetDIBColorTable(dc, 0, 16, q);
    EXPECT_EQ(0, q[4].rgbBlue);
    EXPECT_EQ(192, q[7].rgbRed);
    EXPECT_EQ(128, q[8].rgbRed);
    EXPECT_EQ(255, q[15].rgbRed);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(b);
}

TEST(BitmapToolkit, TextColourTakesAnUnusedEntryOfAFullTable)
{
    HBITMAP b = CreateDibBitmap(4, 2, 4, 0, NULL, NULL);   // VGA colours: no free entry
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, b);
    SetPixelV(dc, 0, 0, RGB(0, 255, 255));   // uses aqua (14)
    SetPixelV(dc, 1, 0, RGB(255, 255, 255));
    EXPECT_EQ(1, EnsureColorInPalette(dc, RGB(12, 34, 56)));
    RGBQUAD q[16];
    GetDIBColorTable(dc, 0, 16, q);
    EXPECT_EQ(12, q[13].rgbRed);   // 14 is used, 13 is not
    EXPECT_EQ(56, q[13].rgbBlue);
    EXPECT_EQ(255, q[14].rgbBlue);
    EXPECT_EQ(1, EnsureColorInPalette(dc, RGB(12, 34, 56)));   // already there: unchanged
    GetDIBColorTable(dc, 0, 16, q);
    EXPECT_EQ(255, q[12].rgbBlue);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(b);
}

TEST(BitmapToolkit, TernaryOperationCodesAndMaskedBlt)
{
    EXPECT_EQ((DWORD)SRCCOPY, GetTernaryRop(0xCC));
    EXPECT_EQ((DWORD)SRCPAINT, GetTernaryRop(0xEE));
    EXPECT_EQ((DWORD)SRCAND, GetTernaryRop(0x88));
    EXPECT_EQ((DWORD)PATCOPY, GetTernaryRop(0xF0));
    EXPECT_EQ((DWORD)DSTINVERT, GetTernaryRop(0x55));
    EXPECT_EQ((DWORD)WHITENESS, GetTernaryRop(0xFF));
    EXPECT_EQ((DWORD)BLACKNESS, GetTernaryRop(0));
    EXPECT_EQ(0x00220326u, GetTernaryRop(0x22));
    EXPECT_EQ((DWORD)MERGEPAINT, GetTernaryRop(0xBB));
    EXPECT_EQ((DWORD)NOTSRCCOPY, GetTernaryRop(0x33));

    // Source red, destination blue; the mask's 1 pixels take the source, 0 pixels keep the
    // destination (foreground SRCCOPY, background D).
    HBITMAP dest = Make24(2, 1, {RGB(0, 0, 255), RGB(0, 0, 255)});
    HBITMAP src = Make24(2, 1, {RGB(255, 0, 0), RGB(255, 0, 0)});
    BYTE maskBits[2] = {0x80, 0};   // first pixel 1 (one 16-bit row)
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, maskBits);
    HDC d = CreateCompatibleDC(NULL), s = CreateCompatibleDC(NULL);
    HGDIOBJ od = SelectObject(d, dest), os = SelectObject(s, src);
    EXPECT_TRUE(MaskedBlt(d, 0, 0, 2, 1, s, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(d, 0, 0));
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(d, 1, 0));
    // Background SRCCOPY as well: both pixels become the source.
    EXPECT_TRUE(MaskedBlt(d, 0, 0, 2, 1, s, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, SRCCOPY)));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(d, 1, 0));
    SelectObject(d, od);
    SelectObject(s, os);
    DeleteDC(d);
    DeleteDC(s);
    DeleteObject(dest);
    DeleteObject(src);
    DeleteObject(mask);
}

TEST(BitmapToolkit, RotationTurnsThePixels)
{
    const COLORREF A = RGB(255, 0, 0), B = RGB(0, 255, 0), C = RGB(0, 0, 255), D = RGB(255, 255, 0),
                   E = RGB(0, 255, 255), F = RGB(255, 0, 255);
    // 3 x 2:  A B C
    //         D E F
    HBITMAP src = Make24(3, 2, {A, B, C, D, E, F});
    HBITMAP r90 = RotateBitmap(src, 90);
    int w, h;
    ASSERT_TRUE(GetBitmapSize(r90, &w, &h));
    EXPECT_EQ(2, w);
    EXPECT_EQ(3, h);
    // The top row becomes the right-hand column.
    EXPECT_EQ(A, PixelOf(r90, 1, 0));
    EXPECT_EQ(B, PixelOf(r90, 1, 1));
    EXPECT_EQ(C, PixelOf(r90, 1, 2));
    EXPECT_EQ(D, PixelOf(r90, 0, 0));
    HBITMAP r270 = RotateBitmap(src, 270);
    EXPECT_EQ(C, PixelOf(r270, 0, 0));
    EXPECT_EQ(A, PixelOf(r270, 0, 2));
    EXPECT_EQ(F, PixelOf(r270, 1, 0));
    HBITMAP r180 = RotateBitmap(src, 180);
    EXPECT_EQ(F, PixelOf(r180, 0, 0));
    EXPECT_EQ(A, PixelOf(r180, 2, 1));
    EXPECT_EQ(NULL, RotateBitmap(src, 45));
    DeleteObject(r90);
    DeleteObject(r270);
    DeleteObject(r180);
    DeleteObject(src);

    // A page-sized 4-bit canvas: 2400 x 3168 becomes 3168 x 2400, colour table kept.
    CanvasPalette canvas;
    canvas.q[3].rgbRed = 200;
    HBITMAP page = CreateDibBitmap(2400, 3168, 4, WHITENESS, NULL, canvas.q);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, page);
    SetPixelV(dc, 0, 0, RGB(0, 0, 0));
    SetPixelV(dc, 2399, 3167, RGB(200, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    HBITMAP turned = RotateBitmap(page, 90);
    ASSERT_TRUE(GetBitmapSize(turned, &w, &h));
    EXPECT_EQ(3168, w);
    EXPECT_EQ(2400, h);
    EXPECT_EQ(4, GetBitmapBitsPerPixel(turned));
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(turned, 3167, 0));
    EXPECT_EQ(RGB(200, 0, 0), PixelOf(turned, 0, 2399));
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(turned, 0, 0));
    DeleteObject(turned);
    DeleteObject(page);
}

TEST(BitmapToolkit, ResamplingRules)
{
    HBITMAP square = CreateDibBitmap(100, 100, 24, WHITENESS, NULL, NULL);
    EXPECT_EQ(NULL, ResizeBitmap(square, 50, 200));   // one grows, the other shrinks
    EXPECT_EQ(NULL, ResizeBitmap(square, 0, 10));
    HBITMAP half = ResizeBitmap(square, 50, 50);
    ASSERT_TRUE(half);
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(half, 25, 25));   // white stays white
    DeleteObject(half);
    DeleteObject(square);

    // Area average: 4 x 2 of black and white columns pairs into 2 x 1 of their averages.
    const COLORREF K = RGB(0, 0, 0), W = RGB(255, 255, 255), R = RGB(200, 100, 40);
    HBITMAP stripes = Make24(4, 2, {K, W, R, R, K, W, R, R});
    HBITMAP avg = ResizeBitmap(stripes, 2, 1);
    ASSERT_TRUE(avg);
    COLORREF p = PixelOf(avg, 0, 0);
    EXPECT_NEAR(127, GetRValue(p), 1);
    EXPECT_EQ(R, PixelOf(avg, 1, 0));
    DeleteObject(avg);

    // Same size: a copy; enlarging keeps the corners and blends between them.
    HBITMAP same = ResizeBitmap(stripes, 4, 2);
    EXPECT_EQ(W, PixelOf(same, 1, 1));
    DeleteObject(same);
    HBITMAP ramp = Make24(2, 1, {K, W});
    HBITMAP wide = ResizeBitmap(ramp, 5, 1);
    ASSERT_TRUE(wide);
    EXPECT_EQ(K, PixelOf(wide, 0, 0));
    EXPECT_EQ(W, PixelOf(wide, 4, 0));
    EXPECT_NEAR(127, GetRValue(PixelOf(wide, 2, 0)), 1);
    EXPECT_LT(GetRValue(PixelOf(wide, 1, 0)), GetRValue(PixelOf(wide, 2, 0)));
    DeleteObject(wide);
    DeleteObject(ramp);
    DeleteObject(stripes);

    // Weight tables: every output pixel's weights add up to 4096.
    ResampleStep *t = BuildResampleTable(7, 3, 1);
    ASSERT_TRUE(t);
    int sums[4] = {0, 0, 0, 0};
    for (int i = 0; i < 7; i++) {
        sums[t[i].output] += t[i].current;
        if (t[i].carry > 0) sums[t[i].output + 1] += t[i].carry;
    }
    EXPECT_EQ(4096, sums[0]);
    EXPECT_EQ(4096, sums[1]);
    EXPECT_EQ(4096, sums[2]);
    EXPECT_EQ(-1, t[6].carry);   // the last output ends exactly with the last pixel
    MemFree(t);
    EXPECT_EQ(NULL, BuildResampleTable(0, 3, 1));
}

TEST(BitmapToolkit, FittingIntoARectangle)
{
    HBITMAP b = CreateDibBitmap(200, 100, 24, WHITENESS, NULL, NULL);
    RECT big = {0, 0, 300, 300}, small = {10, 10, 60, 110}, empty = {0, 0, 0, 0};
    double scale = 0;
    EXPECT_EQ(b, FitBitmapToRect(&big, b, &scale, 0));   // fits: unchanged
    HBITMAP fitted = FitBitmapToRect(&small, b, &scale, 0);   // b is deleted
    ASSERT_TRUE(fitted);
    int w, h;
    GetBitmapSize(fitted, &w, &h);
    EXPECT_EQ(50, w);
    EXPECT_EQ(25, h);
    EXPECT_DOUBLE_EQ(0.25, scale);
    EXPECT_EQ(NULL, FitBitmapToRect(&empty, fitted, &scale, 1));   // refused, input kept
    EXPECT_TRUE(GetBitmapSize(fitted, &w, &h));
    DeleteObject(fitted);
    EXPECT_EQ(NULL, FitBitmapToRect(&big, NULL, &scale, 1));
}

TEST(BitmapToolkit, GreyThresholdAndInkRules)
{
    // 3 x 2 pixels, rows padded to 12 bytes.
    unsigned char bits[24];
    memset(bits, 255, sizeof bits);
    BITMAPINFOHEADER h = {};
    h.biSize = 40;
    h.biWidth = 3;
    h.biHeight = 2;
    h.biBitCount = 24;
    RECT r;
    int percent = -1;
    EXPECT_EQ(0, GetInkBounds(bits, &h, &r, &percent));   // all white: no ink, 0 percent
    EXPECT_EQ(0, percent);

    ASSERT_EQ(1, ConvertToGrayscale(bits, &h));
    EXPECT_EQ(255, bits[0]);   // white stays white
    bits[12 + 3] = 10;         // second row, middle pixel: blue 10, green 200, red 100
    bits[12 + 4] = 200;
    bits[12 + 5] = 100;
    ConvertToGrayscale(bits, &h);
    EXPECT_EQ((114 * 10 + 587 * 200 + 299 * 100) / 1000, bits[12 + 3]);
    EXPECT_EQ(bits[12 + 3], bits[12 + 5]);

    bits[0] = 201;   // blue above 200: white
    bits[3] = 200;   // not above: black
    ThresholdToBlackWhite(bits, &h);
    EXPECT_EQ(255, bits[0]);
    EXPECT_EQ(0, bits[3]);
    EXPECT_EQ(0, bits[4]);

    // Ink: row 0 pixel 1 and row 1 pixel 1 (both black now) -> columns 1..2, rows 0..2.
    ASSERT_EQ(1, GetInkBounds(bits, &h, &r, &percent));
    EXPECT_EQ(1, r.left);
    EXPECT_EQ(2, r.right);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(2, r.bottom);
    EXPECT_EQ((2 * 100 + 3) / 6, percent);
    BITMAPINFOHEADER eight = h;
    eight.biBitCount = 8;
    EXPECT_EQ(0, ConvertToGrayscale(bits, &eight));
}

TEST(BitmapToolkit, CopiesRegionsAndIcons)
{
    HBITMAP src = Make24(4, 3, std::vector<COLORREF>(12, RGB(255, 255, 255)));
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, src);
    SetPixelV(dc, 2, 1, RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    HBITMAP copy = CopyBitmap(src, 1);
    EXPECT_EQ(24, GetBitmapBitsPerPixel(copy));
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(copy, 2, 1));
    HBITMAP blank = CopyBitmap(src, 0);
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(blank, 2, 1));
    RECT part = {1, 1, 3, 2};
    HBITMAP region = CopyBitmapRegion(src, &part);
    int w, h;
    GetBitmapSize(region, &w, &h);
    EXPECT_EQ(2, w);
    EXPECT_EQ(1, h);
    EXPECT_EQ(1, GetBitmapBitsPerPixel(region));
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(region, 1, 0));
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(region, 0, 0));
    EXPECT_EQ(1, BlitBitmapOnto(blank, region, 2, 2, SRCCOPY));
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(blank, 3, 2));
    EXPECT_EQ(1, FillRectWithRop(NULL, blank, NULL, WHITENESS));
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(blank, 3, 2));
    HBITMAP ddb = DibToDdb(src);
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(ddb, 2, 1));
    SIZE size = {0, 0};
    HICON icon = BitmapToIcon(src, NULL, 0, &size);
    EXPECT_TRUE(icon);
    EXPECT_EQ(4, size.cx);
    DestroyIcon(icon);
    for (HBITMAP b : {src, copy, blank, region, ddb}) DeleteObject(b);
    EXPECT_STREQ("Ok", GetGdiplusStatusText(0));
    EXPECT_STREQ("PropertyNotSupported", GetGdiplusStatusText(20));
    EXPECT_STREQ("Unknown", GetGdiplusStatusText(21));
    EXPECT_STREQ("Unknown", GetGdiplusStatusText(-1));
}

TEST(BitmapToolkit, InkCroppingAndTypedText)
{
    HBITMAP b = CreateDibBitmap(100, 60, 4, WHITENESS, NULL, NULL);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, b);
    PatBlt(dc, 20, 10, 30, 5, BLACKNESS);
    PatBlt(dc, 40, 30, 5, 12, BLACKNESS);
    POINT origin = {-1, -1};
    HBITMAP cropped = CropBitmapToInk(dc, b, &origin);   // through the caller's DC
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_TRUE(cropped);
    int w, h;
    GetBitmapSize(cropped, &w, &h);
    EXPECT_EQ(30, w);
    EXPECT_EQ(32, h);
    EXPECT_EQ(20, origin.x);
    EXPECT_EQ(10, origin.y);
    EXPECT_EQ(1, GetBitmapBitsPerPixel(cropped));
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(cropped, 0, 0));
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(cropped, 0, 31));
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(cropped, 22, 31));
    DeleteObject(cropped);
    HBITMAP blank = CreateDibBitmap(10, 10, 1, WHITENESS, NULL, NULL);
    EXPECT_EQ(NULL, CropBitmapToInk(NULL, blank, &origin));   // no ink: no bitmap
    DeleteObject(blank);
    DeleteObject(b);

    SIZE size = {400, 80};
    HBITMAP typed = RenderTextBitmap("Jane Q Taxpayer", &size, "Arial", 0);
    ASSERT_TRUE(typed);
    GetBitmapSize(typed, &w, &h);
    EXPECT_GT(w, 100);
    EXPECT_LE(w, 400);
    EXPECT_GT(h, 20);
    EXPECT_LE(h, 60);   // cropped to the ink of a 48-unit font
    EXPECT_EQ(1, GetBitmapBitsPerPixel(typed));
    DeleteObject(typed);
    EXPECT_EQ(NULL, RenderTextBitmap("", &size, "Arial", 0));
    // A name too long for the size is drawn whole at a smaller height, in the same proportions.
    SIZE roomy = {2000, 200}, narrow = {240, 60};
    HBITMAP whole = RenderTextBitmap("Elizabeth Montgomery-Smythe", &roomy, "Arial", -20);
    HBITMAP fitted = RenderTextBitmap("Elizabeth Montgomery-Smythe", &narrow, "Arial", -20);
    int fw = 0, fh = 0;
    GetBitmapSize(whole, &w, &h);
    GetBitmapSize(fitted, &fw, &fh);
    EXPECT_TRUE(w > 240 && fw <= 240 && fw > 200) << w << " " << fw;
    EXPECT_NEAR((double)w / h, (double)fw / fh, (double)w / h * 0.15);
    DeleteObject(whole);
    DeleteObject(fitted);
}

TEST(BitmapToolkit, FieldTextColourFindsRoomInAPagePalette)
{
    // A canvas-palette page whose free entries are all taken still makes room for the colour.
    RGBQUAD table[16] = {};
    for (int i = 0; i < 16; i++) table[i].rgbRed = table[i].rgbGreen = table[i].rgbBlue = (BYTE)(i * 17);
    table[3].rgbRed = 250;   // a colour, unused by the pixels
    HBITMAP b = CreateDibBitmap(8, 8, 4, WHITENESS, NULL, table);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, b);
    COLORREF colour = GetFieldTextColor(NULL);
    EXPECT_EQ(1, EnsureTextColorInPalette(dc));
    RGBQUAD q[16];
    GetDIBColorTable(dc, 0, 16, q);
    int found = 0;
    for (int i = 0; i < 16; i++)
        if (RGB(q[i].rgbRed, q[i].rgbGreen, q[i].rgbBlue) == colour) found = 1;
    EXPECT_TRUE(found);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(b);
}

// Laying a page over its stamps on the bits: each pixel that is not white lands with its own
// index, the rest keep the stamps' pixel; on the canvas palette (repeated blacks) exactly what
// TransparentBlt with white transparent gives; on odd and even widths.
TEST(BitmapToolkit, NonWhiteOverlayKeepsIndexesAsTransparentBlt)
{
    CanvasPalette canvas, coloured;
    coloured.q[9].rgbBlue = 160;
    coloured.q[10].rgbRed = 204, coloured.q[10].rgbGreen = 255, coloured.q[10].rgbBlue = 204;
    coloured.q[2].rgbRed = coloured.q[2].rgbGreen = coloured.q[2].rgbBlue = 255;
    struct Case { const RGBQUAD *palette; int width, height, againstGdi; } cases[] = {
        {canvas.q, 64, 9, 1}, {canvas.q, 37, 5, 1}, {coloured.q, 50, 7, 0}, {coloured.q, 33, 4, 0}};
    unsigned seed = 12345;
    for (const Case &c : cases) {
        HBITMAP over = CreateDibBitmap(c.width, c.height, 4, WHITENESS, NULL, c.palette);
        HBITMAP under = CreateDibBitmap(c.width, c.height, 4, WHITENESS, NULL, c.palette);
        HBITMAP gdi = CreateDibBitmap(c.width, c.height, 4, WHITENESS, NULL, c.palette);
        DIBSECTION o, u, g;
        ASSERT_EQ((int)sizeof o, GetObjectA(over, sizeof o, &o));
        ASSERT_EQ((int)sizeof u, GetObjectA(under, sizeof u, &u));
        ASSERT_EQ((int)sizeof g, GetObjectA(gdi, sizeof g, &g));
        size_t bytes = (size_t)o.dsBm.bmWidthBytes * c.height;
        std::vector<unsigned char> before(bytes);
        for (size_t k = 0; k < bytes; k++) {
            seed = seed * 1103515245u + 12345u;
            ((unsigned char *)o.dsBm.bmBits)[k] = (unsigned char)(seed >> 16);
            seed = seed * 1103515245u + 12345u;
            before[k] = ((unsigned char *)u.dsBm.bmBits)[k] = ((unsigned char *)g.dsBm.bmBits)[k] =
                (unsigned char)(seed >> 16);
        }
        HDC target = CreateCompatibleDC(NULL), source = CreateCompatibleDC(NULL);
        HGDIOBJ oldTarget = SelectObject(target, gdi), oldSource = SelectObject(source, over);
        ASSERT_TRUE(TransparentBlt(target, 0, 0, c.width, c.height, source, 0, 0, c.width, c.height,
                                   RGB(255, 255, 255)));
        SelectObject(target, oldTarget);
        SelectObject(source, oldSource);
        DeleteDC(target);
        DeleteDC(source);
        ASSERT_EQ(1, DrawNonWhiteOnto4(under, over));
        int wrong = 0, unlikeGdi = 0;
        for (int y = 0; y < c.height; y++)
            for (int x = 0; x < c.width; x++) {
                size_t at = (size_t)y * o.dsBm.bmWidthBytes + x / 2;
                int shift = (x & 1) ? 0 : 4;
                int top = (((unsigned char *)o.dsBm.bmBits)[at] >> shift) & 15;
                int got = (((unsigned char *)u.dsBm.bmBits)[at] >> shift) & 15;
                const RGBQUAD &q = c.palette[top];
                int white = q.rgbRed == 255 && q.rgbGreen == 255 && q.rgbBlue == 255;
                wrong += got != (white ? (before[at] >> shift) & 15 : top);
                unlikeGdi += got != ((((unsigned char *)g.dsBm.bmBits)[at] >> shift) & 15);
            }
        EXPECT_EQ(0, wrong) << c.width << "x" << c.height;
        if (c.againstGdi) {
            EXPECT_EQ(0, unlikeGdi) << c.width << "x" << c.height;
        }
        DeleteObject(over);
        DeleteObject(under);
        DeleteObject(gdi);
    }
    // Bitmaps that differ in size or depth are left to GDI.
    HBITMAP four = CreateDibBitmap(8, 8, 4, WHITENESS, NULL, canvas.q);
    HBITMAP other = CreateDibBitmap(9, 8, 4, WHITENESS, NULL, canvas.q);
    HBITMAP deep = CreateDibBitmap(8, 8, 24, WHITENESS, NULL, NULL);
    EXPECT_EQ(0, DrawNonWhiteOnto4(four, other));
    EXPECT_EQ(0, DrawNonWhiteOnto4(four, deep));
    DeleteObject(four);
    DeleteObject(other);
    DeleteObject(deep);
}
