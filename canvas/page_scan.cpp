// Pixel scans of a page bitmap: the ink rectangle and white rows. They read the DIB bits (a
// device-dependent bitmap is copied out through GetDIBits once), never pixel by pixel through
// the device context.
#include "canvas/canvas.h"

#include <string.h>

// The pixels of the bitmap selected in dc as 32-bit colours (0x00RRGGBB), top row first.
struct PixelSource {
    CanvasBits bits;
    RGBQUAD table[256];
    uint32_t *copy;        // GetDIBits copy for bitmaps that are not DIB sections
    int width, height;
};

static int OpenPixelSource(HDC dc, PixelSource *source)
{
    memset(source, 0, sizeof(*source));
    HBITMAP bitmap = dc ? (HBITMAP)GetCurrentObject(dc, OBJ_BITMAP) : NULL;
    if (!bitmap)
        return 0;
    if (GetCanvasBits(bitmap, &source->bits) && source->bits.row0) {
        GdiFlush();
        source->width = source->bits.width;
        source->height = source->bits.height;
        if (source->bits.bitsPerPixel <= 8) {
            int colours = 1 << source->bits.bitsPerPixel;
            if (GetDIBColorTable(dc, 0, colours, source->table) == 0)
                return 0;
        }
        return source->width > 0 && source->height > 0;
    }
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return 0;
    BITMAPINFO header;
    memset(&header, 0, sizeof(header));
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    source->copy = (uint32_t *)MemAlloc(64, (size_t)info.bmWidth * info.bmHeight * 4);
    if (!source->copy)
        return 0;
    if (GetDIBits(dc, bitmap, 0, info.bmHeight, source->copy, &header, DIB_RGB_COLORS) != info.bmHeight) {
        source->copy = (uint32_t *)MemFree(source->copy);
        return 0;
    }
    source->width = info.bmWidth;
    source->height = info.bmHeight;
    return 1;
}

static void ClosePixelSource(PixelSource *source)
{
    source->copy = (uint32_t *)MemFree(source->copy);
}

static inline uint32_t QuadColour(const RGBQUAD &q)
{
    return ((uint32_t)q.rgbRed << 16) | ((uint32_t)q.rgbGreen << 8) | q.rgbBlue;
}

static inline uint32_t PixelAt(const PixelSource *source, int x, int y)
{
    if (source->copy)
        return source->copy[(size_t)y * source->width + x] & 0xFFFFFF;
    const unsigned char *row = CanvasRow(source->bits, y);
    switch (source->bits.bitsPerPixel) {
    case 1:
        return QuadColour(source->table[(row[x >> 3] >> (7 - (x & 7))) & 1]);
    case 4:
        return QuadColour(source->table[(x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4]);
    case 8:
        return QuadColour(source->table[row[x]]);
    case 16: {
        unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        return ((r << 3 | r >> 2) << 16) | ((g << 3 | g >> 2) << 8) | (b << 3 | b >> 2);
    }
    case 24:
        return ((uint32_t)row[3 * x + 2] << 16) | ((uint32_t)row[3 * x + 1] << 8) | row[3 * x];
    case 32:
        return ((uint32_t)row[4 * x + 2] << 16) | ((uint32_t)row[4 * x + 1] << 8) | row[4 * x];
    }
    return 0xFFFFFF;
}

static inline int IsWhite(uint32_t colour)
{
    return colour == 0xFFFFFF || colour == 0xFEFEFE;
}

int FindPageContentRows(HDC dc, const BITMAP *bitmapInfo, RECT *outRect)
{
    PixelSource source;
    if (!outRect || !OpenPixelSource(dc, &source))
        return 0;
    int width = source.width, height = source.height;
    if (bitmapInfo && bitmapInfo->bmWidth > 0 && bitmapInfo->bmWidth < width)
        width = bitmapInfo->bmWidth;
    if (bitmapInfo && bitmapInfo->bmHeight > 0 && bitmapInfo->bmHeight < height)
        height = bitmapInfo->bmHeight;
    int bottom = -1, top = -1, left = -1, right = -1;
    // Bottom and top: rows with ink in columns 0 .. width - 2.
    for (int y = height - 1; y >= 0 && bottom < 0; y--)
        for (int x = 0; x < width - 1; x++)
            if (!IsWhite(PixelAt(&source, x, y))) {
                bottom = y + 1;
                break;
            }
    for (int y = 0; y < bottom && top < 0; y++)
        for (int x = 0; x < width - 1; x++)
            if (!IsWhite(PixelAt(&source, x, y))) {
                top = y;
                break;
            }
    // Left: the first column (0 .. width - 2) with ink between top and bottom; right: the last
    // column (width - 1 down to 0) with ink there. Found row by row.
    if (top >= 0) {
        int firstInk = width, lastInk = -1;
        for (int y = top; y < bottom; y++) {
            for (int x = 0; x < firstInk && x < width - 1; x++)
                if (!IsWhite(PixelAt(&source, x, y))) {
                    firstInk = x;
                    break;
                }
            for (int x = width - 1; x > lastInk; x--)
                if (!IsWhite(PixelAt(&source, x, y))) {
                    lastInk = x;
                    break;
                }
        }
        if (firstInk < width - 1)
            left = firstInk;
        if (lastInk >= 0)
            right = lastInk + 1;
    }
    ClosePixelSource(&source);
    if (bottom < 0 || top < 0 || left < 0 || right < 0)
        return 0;
    SetRect(outRect, left, top, right, bottom);
    return 1;
}

int IsPixelRowWhite(HDC dc, int width, int row, int margin)
{
    PixelSource source;
    if (!OpenPixelSource(dc, &source))
        return 1;
    int result = 1;
    if (row >= 0 && row < source.height) {
        int last = width - margin - 1;
        if (last > source.width - 1)
            last = source.width - 1;
        for (int x = margin < 0 ? 0 : margin; x <= last; x++)
            if (!IsWhite(PixelAt(&source, x, row))) {
                result = 0;
                break;
            }
    }
    ClosePixelSource(&source);
    return result;
}
