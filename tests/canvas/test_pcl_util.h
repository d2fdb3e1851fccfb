// Helpers of the page interpreter's tests: files, rendering a stream, reading a page's pixels.
#ifndef LEVYLINE_TEST_PCL_UTIL_H
#define LEVYLINE_TEST_PCL_UTIL_H

#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "canvas/canvas.h"
#include "tests/harness/harness.h"

// A rendered page as colours, top row first.
struct PageInk {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[(size_t)y * width + x]; }
    int IsBlack(int x, int y) const { return At(x, y) == 0; }
    int IsWhite(int x, int y) const { return At(x, y) == 0xFFFFFF; }
    // Black pixels in [x0, x1) x [y0, y1).
    long long CountBlack(int x0, int y0, int x1, int y1) const
    {
        long long n = 0;
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++) n += IsBlack(x, y);
        return n;
    }
    long long CountNotWhite(int x0, int y0, int x1, int y1) const
    {
        long long n = 0;
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++) n += !IsWhite(x, y);
        return n;
    }
};

// Reads a palette DIB section's pixels through its colour table.
inline int ReadPageInk(HBITMAP bitmap, PageInk *out)
{
    CanvasBits c;
    if (!GetCanvasBits(bitmap, &c) || c.bitsPerPixel > 8) return 0;
    int count = 0;
    RGBQUAD *table = GetDibColorTable(NULL, bitmap, &count);
    if (!table) return 0;
    GdiFlush();
    out->width = c.width;
    out->height = c.height;
    out->pixels.assign((size_t)c.width * c.height, 0);
    for (int y = 0; y < c.height; y++) {
        const unsigned char *row = CanvasRow(c, y);
        for (int x = 0; x < c.width; x++) {
            int index;
            if (c.bitsPerPixel == 4) index = (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
            else if (c.bitsPerPixel == 8) index = row[x];
            else index = (row[x >> 3] >> (7 - (x & 7))) & 1;
            const RGBQUAD &q = table[index];
            out->pixels[(size_t)y * c.width + x] = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        }
    }
    MemFree(table);
    return 1;
}

// Renders a stream (whole string) and reads its pixels; 0 when no page came back.
inline int RenderStream(const std::string &stream, PageInk *ink, int landscape = 0, unsigned int *stop = NULL)
{
    HBITMAP page = RenderPclRange((const unsigned char *)stream.data(), 0, (unsigned)stream.size(), landscape, NULL,
                                  NULL, NULL, stop);
    if (!page) return 0;
    int ok = ReadPageInk(page, ink);
    DeleteObject(page);
    return ok;
}

#endif
