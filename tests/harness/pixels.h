// Test support for bitmaps: one pixel of a bitmap, the pixels of a DC, the ink (pixels that are not white) of a
// 4-bit page bitmap inside a rectangle, and the bytes of BMP files.
#ifndef LEVYLINE_TEST_PIXELS_H
#define LEVYLINE_TEST_PIXELS_H

#include "pages/pages.h"

#include <windows.h>
#include <stdint.h>
#include <string.h>

#include <vector>

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

// The pixels of the w x h top-left area of a DC as 0x00RRGGBB, top row first.
inline std::vector<unsigned> SnapDc(HDC source, int w, int h)
{
    std::vector<unsigned> out((size_t)w * h, 0);
    BITMAPINFO info;
    memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HBITMAP dib = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC mem = CreateCompatibleDC(source);
    HGDIOBJ o = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, source, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(out.data(), bits, out.size() * 4);
    for (unsigned &p : out) p &= 0xFFFFFF;
    SelectObject(mem, o);
    DeleteDC(mem);
    DeleteObject(dib);
    return out;
}

// Pixels of a 4-bit page bitmap inside a rectangle whose colour passes test(RGBQUAD) (-1: not
// such a bitmap).
template <typename Test> int CountPagePixels(HBITMAP bitmap, const RECT *rc, Test test)
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
    int count = 0;
    for (int y = rc->top; y < rc->bottom && y < bits.height; y++)
        for (int x = rc->left; x < rc->right && x < bits.width; x++) {
            unsigned char b = CanvasRow(bits, y)[x / 2];
            count += test(table[(x & 1) ? b & 15 : b >> 4]) ? 1 : 0;
        }
    return count;
}

// Pixels of a 4-bit page bitmap inside a rectangle that are not white (-1: not such a bitmap).
inline int CountInk(HBITMAP bitmap, const RECT *rc)
{
    return CountPagePixels(bitmap, rc, [](const RGBQUAD &q) {
        return q.rgbRed < 128 || q.rgbGreen < 128 || q.rgbBlue < 128;
    });
}

// The bytes of a BMP file (header, colour table, rows all fill bytes) of width x height at
// bits per pixel; the rows are stored bottom-up as BMP files hold them.
inline std::vector<uint8_t> MakeBmpFile(int width, int height, int bits, const RGBQUAD *palette, int paletteCount,
                                        unsigned char fill)
{
    int stride = (bits * width + 31) / 32 * 4;
    uint32_t tableBytes = bits <= 8 ? (uint32_t)paletteCount * 4 : 0;
    uint32_t offset = 14 + 40 + tableBytes;
    std::vector<uint8_t> file(offset + (size_t)stride * height, fill);
    BITMAPFILEHEADER fh;
    memset(&fh, 0, sizeof(fh));
    fh.bfType = 0x4D42;
    fh.bfSize = (DWORD)file.size();
    fh.bfOffBits = offset;
    BITMAPINFOHEADER ih;
    memset(&ih, 0, sizeof(ih));
    ih.biSize = 40;
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = (WORD)bits;
    ih.biClrUsed = bits <= 8 ? (DWORD)paletteCount : 0;
    memcpy(file.data(), &fh, 14);
    memcpy(file.data() + 14, &ih, 40);
    if (tableBytes) memcpy(file.data() + 54, palette, tableBytes);
    return file;
}

#endif
