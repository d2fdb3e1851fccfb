// Vector artwork: layer layout, stacking, shadows, backgrounds, scaling and the point-list drawer.
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include "tests/harness/pixels.h"
#include <string.h>

namespace {

// Extents of the outlines (their largest x and y).
void Extent(int id, int *w, int *h)
{
    POINT *p;
    BYTE *t;
    int n;
    *w = *h = 0;
    ASSERT_TRUE(LoadVectorOutline(id, &p, &t, &n));
    for (int i = 0; i < n; i++) {
        if (p[i].x > *w) *w = p[i].x;
        if (p[i].y > *h) *h = p[i].y;
    }
    MemFree(p);
    MemFree(t);
}

} // namespace

TEST(VectorArt, EveryOutlineOfTheProgramLoads)
{
    int ids[] = {413, 414, 415, 416, 417, 418, 419, 420, 421, 422, 423, 424, 696, 718};
    for (int id : ids) {
        POINT *p;
        BYTE *t;
        int n;
        ASSERT_TRUE(LoadVectorOutline(id, &p, &t, &n)) << id;
        EXPECT_GT(n, 3);
        EXPECT_EQ(6, t[0]) << id;   // every outline starts a figure
        MemFree(p);
        MemFree(t);
    }
    POINT *p;
    BYTE *t;
    int n;
    EXPECT_EQ(0, LoadVectorOutline(12345, &p, &t, &n));
}

TEST(VectorArt, OneLayerIsItsExtentPlusTheMargins)
{
    int w, h;
    Extent(416, &w, &h);
    VectorArtLayer layer[2] = {{416, RGB(0, 0, 128), 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}};
    HBITMAP art = DrawVectorArt(1.0, 1.0, 0, 0, 2, 10, RGB(255, 255, 255), layer, sizeof layer);
    ASSERT_TRUE(art);
    int bw, bh;
    GetBitmapSize(art, &bw, &bh);
    EXPECT_EQ(w + 25, bw);
    EXPECT_EQ(h + 20, bh);
    EXPECT_EQ(RGB(0, 0, 128), PixelOf(art, w / 2, 10 + h / 2));   // filled, drawn 10 units down
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(art, w / 2, 3));
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(art, w + 10, 10 + h / 2));
    DeleteObject(art);

    // Scaled: (extent x scale + 0.5), truncated.
    art = DrawVectorArt(0.5, 0.25, 0, 0, 2, 10, RGB(255, 255, 255), layer, sizeof layer);
    ASSERT_TRUE(art);
    GetBitmapSize(art, &bw, &bh);
    EXPECT_EQ((int)((w + 25) * 0.5 + 0.5), bw);
    EXPECT_EQ((int)((h + 20) * 0.25 + 0.5), bh);
    DeleteObject(art);

    // A table whose entry names a missing resource gives no bitmap.
    VectorArtLayer missing[2] = {{416, 0, 0, 0, 0, 0, 0}, {4242, 0, 0, 0, 0, 0, 0}};
    EXPECT_EQ(NULL, DrawVectorArt(1.0, 1.0, 0, 0, 2, 10, RGB(255, 255, 255), missing, sizeof missing));
}

TEST(VectorArt, DefaultLogoSideBySideAndStacked)
{
    int w413, h413, w414, h414;
    Extent(413, &w413, &h413);
    Extent(414, &w414, &h414);
    HBITMAP flat = DrawVectorArt(1.0, 1.0, 0, 0, 2, 10, RGB(255, 255, 255), NULL, 0);
    ASSERT_TRUE(flat);
    int bw, bh;
    GetBitmapSize(flat, &bw, &bh);
    EXPECT_EQ(w413 + 80 + w414 + 2 + 25, bw);
    EXPECT_EQ((h413 > h414 ? h413 : h414) + 2 + 20, bh);
    EXPECT_EQ(RGB(128, 0, 0), PixelOf(flat, 20, 10 + 100));        // the mark, maroon
    EXPECT_EQ(RGB(0, 0, 128), PixelOf(flat, w413 + 80 + 15, 100)); // the word's first stem, navy
    DeleteObject(flat);

    HBITMAP stacked = DrawVectorArt(1.0, 1.0, 1, 0, 2, 10, RGB(255, 255, 255), NULL, 0);
    ASSERT_TRUE(stacked);
    GetBitmapSize(stacked, &bw, &bh);
    EXPECT_EQ(90 + w414 + 2 + 25, bw);
    EXPECT_EQ(h413 + 210 + 2 + 20, bh);
    EXPECT_EQ(RGB(128, 0, 0), PixelOf(stacked, 20, 10 + 100));
    // Line 2 starts 90 units in and at 210.
    EXPECT_EQ(RGB(0, 0, 128), PixelOf(stacked, 90 + 15, 210 + 100));
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(stacked, 80, 210 + 100));
    // The shadow lies 2 units right of and below the last letter's top arm.
    COLORREF shadow = PixelOf(stacked, 90 + w414 + 1, 210 + 15);
    EXPECT_EQ(RGB(128, 128, 128), shadow);
    DeleteObject(stacked);

    HBITMAP extended = DrawVectorArt(1.0, 1.0, 0, 1, 2, 10, RGB(255, 255, 255), NULL, 0);
    ASSERT_TRUE(extended);
    GetBitmapSize(extended, &bw, &bh);
    int w415, h415, w417, h417, w419, h419;
    Extent(415, &w415, &h415);
    Extent(417, &w417, &h417);
    Extent(419, &w419, &h419);
    EXPECT_EQ(w413 + 80 + w414 + 80 + (w417 + 25) * 2 + w415 + 25 + w419 + 25 + 2 + 25, bw);
    DeleteObject(extended);
}

TEST(VectorArt, BackgroundColoursAndThePalette)
{
    VectorArtLayer layer[2] = {{416, RGB(0, 0, 128), 1, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}};
    // A palette colour (silver) as background: the grey shadow stays grey.
    HBITMAP art = DrawVectorArt(1.0, 1.0, 0, 0, 2, 10, RGB(192, 192, 192), layer, sizeof layer);
    ASSERT_TRUE(art);
    EXPECT_EQ(RGB(192, 192, 192), PixelOf(art, 1, 1));
    EXPECT_EQ(RGB(128, 128, 128), PixelOf(art, 121, 70));
    DeleteObject(art);
    // Another colour takes grey's place: the shadow then falls to the nearest remaining colour.
    art = DrawVectorArt(1.0, 1.0, 0, 0, 2, 10, RGB(236, 233, 216), layer, sizeof layer);
    ASSERT_TRUE(art);
    EXPECT_EQ(RGB(236, 233, 216), PixelOf(art, 1, 1));
    COLORREF s = PixelOf(art, 121, 70);
    EXPECT_NE(RGB(128, 128, 128), s);
    EXPECT_NE(RGB(236, 233, 216), s);
    EXPECT_EQ(RGB(0, 0, 128), PixelOf(art, 60, 70));
    DeleteObject(art);
}

TEST(VectorArt, SegmentsShiftBackAndCurvesClose)
{
    // A square with a Bezier edge that closes away from the start: one LineTo back.
    POINT p[] = {{0, 0}, {100, 0}, {130, 30}, {130, 70}, {100, 100}, {0, 100}};
    BYTE t[] = {6, 2, 4, 4, 4, 3};
    HBITMAP b = CreateDibBitmap(300, 300, 4, WHITENESS, NULL, NULL);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, b);
    BeginPath(dc);
    EXPECT_EQ(1, DrawVectorSegments(dc, p, t, 6, 50, 60));
    EndPath(dc);
    EXPECT_EQ(50, p[0].x + 50);   // shifted back
    EXPECT_EQ(0, p[0].y);
    EXPECT_EQ(130, p[2].x);
    HBRUSH brush = (HBRUSH)GetStockObject(BLACK_BRUSH);
    SelectObject(dc, brush);
    FillPath(dc);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 100, 110));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 170, 110));   // inside the curved edge
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 40, 110));
    // A closing Bezier point away from the start draws the line back; an unknown type is skipped.
    POINT q[] = {{0, 0}, {60, 0}, {60, 60}, {30, 60}, {5, 5}};
    BYTE u[] = {6, 4, 4, 5, 99};
    BeginPath(dc);
    DrawVectorSegments(dc, q, u, 5, 0, 0);
    EndPath(dc);
    int n = GetPath(dc, NULL, NULL, 0);
    EXPECT_GE(n, 5);
    AbortPath(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(b);
}
