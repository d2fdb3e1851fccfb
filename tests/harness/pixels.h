// Test support for looking at bitmaps: one pixel of a bitmap, and the ink (pixels that are not
// white) of a 4-bit page bitmap inside a rectangle.
#ifndef LEVYLINE_TEST_PIXELS_H
#define LEVYLINE_TEST_PIXELS_H

#include "pages/pages.h"

#include <windows.h>

// The colour of pixel (x, y) of a bitmap that no DC holds.
inline COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

// Pixels of a 4-bit page bitmap inside a rectangle that are not white (-1: not such a bitmap).
inline int CountInk(HBITMAP bitmap, const RECT *rc)
{
    CanvasBits bits;
    if (!bitmap || !GetCanvasBits(bitmap, &bits) || bits.bitsPerPixel != 4)
        return -1;
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RGBQUAD table[16];
    GetDIBColorTable(dc, 0, 16, table);
    SelectObject(dc, old);
    DeleteDC(dc);
    GdiFlush();
    int ink = 0;
    for (int y = rc->top; y < rc->bottom && y < bits.height; y++)
        for (int x = rc->left; x < rc->right && x < bits.width; x++) {
            unsigned char b = CanvasRow(bits, y)[x / 2];
            const RGBQUAD &q = table[(x & 1) ? b & 15 : b >> 4];
            ink += q.rgbRed < 128 || q.rgbGreen < 128 || q.rgbBlue < 128;
        }
    return ink;
}

#endif
