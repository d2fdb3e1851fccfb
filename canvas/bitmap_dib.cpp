// Bitmap toolkit: bitmap headers, DIB sections, colour tables and the fill check.
#include "canvas/canvas.h"
#include "store/store.h"
#include <stdio.h>
#include <string.h>

// The standard 16 VGA colours in colour-table order (blue, green, red, reserved).
const RGBQUAD gVgaPalette[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},     {0, 128, 0, 0},     {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0},   {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0},     {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0},   {255, 255, 255, 0},
};

unsigned int GetDibImageSize(int width, int height, int bitsPerPixel, int align32)
{
    if (width < 0) width = -width;
    if (height < 0) height = -height;
    unsigned long long bitsPerRow = (unsigned long long)bitsPerPixel * (unsigned)width;
    unsigned long long row = align32 ? (bitsPerRow + 31) / 32 * 4 : (bitsPerRow + 15) / 16 * 2;
    unsigned long long size = row * (unsigned)height;
    return size > 0x7FFFFFFFull ? 0 : (unsigned int)size;
}

unsigned int GetDibImageSize32(int width, int height, int bitsPerPixel)
{
    return GetDibImageSize(width, height, bitsPerPixel, 1);
}

int GetDibColorCount(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    case 16: return 256;
    default: return 0;
    }
}

BITMAPINFO *BuildBitmapInfo(int width, int height, int bitsPerPixel, const RGBQUAD *palette)
{
    int colours = GetDibColorCount(bitsPerPixel);
    if ((bitsPerPixel == 8 || bitsPerPixel == 16) && !palette) return NULL;
    BITMAPINFO *info = (BITMAPINFO *)MemAlloc(64, sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    if (!info) return NULL;
    BITMAPINFOHEADER *h = &info->bmiHeader;
    h->biSize = 40;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = (WORD)bitsPerPixel;
    h->biCompression = BI_RGB;
    h->biSizeImage = GetDibImageSize32(width, height, bitsPerPixel);
    h->biXPelsPerMeter = 3780;
    h->biYPelsPerMeter = 3780;
    if (colours) {
        if (palette) {
            memcpy(info->bmiColors, palette, colours * sizeof(RGBQUAD));
        } else if (bitsPerPixel == 1) {
            RGBQUAD white = {255, 255, 255, 0};
            info->bmiColors[1] = white;   // entry 0 stays black
        } else {
            memcpy(info->bmiColors, gVgaPalette, sizeof(gVgaPalette));
        }
    }
    return info;
}

HBITMAP CreateDibBitmap(int width, int height, int bitsPerPixel, DWORD fillRop, const void *bits,
                        const RGBQUAD *palette)
{
    if (width == 0 || height == 0) return NULL;
    BITMAPINFO *info = BuildBitmapInfo(width, height, bitsPerPixel, palette);
    if (!info) return NULL;
    void *pixels = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, info, DIB_RGB_COLORS, &pixels, NULL, 0);
    unsigned int size = info->bmiHeader.biSizeImage;
    MemFree(info);
    if (!bitmap || !pixels) {
        if (bitmap) DeleteObject(bitmap);
        return NULL;
    }
    int absHeight = height < 0 ? -height : height;
    if (fillRop) {
        HDC dc = CreateCompatibleDC(NULL);
        if (dc) {
            HGDIOBJ old = SelectObject(dc, bitmap);
            PatBlt(dc, 0, 0, width, absHeight, fillRop);
            VerifyBitmapFill(dc, width, absHeight, bitsPerPixel, fillRop, palette);
            SelectObject(dc, old);
            DeleteDC(dc);
        }
    }
    if (bits) {
        GdiFlush();
        memcpy(pixels, bits, size);
    }
    return bitmap;
}

int VerifyBitmapFill(HDC dc, int width, int height, int bitsPerPixel, DWORD fillRop, const RGBQUAD *palette)
{
    if (fillRop != WHITENESS && fillRop != BLACKNESS) return 1;
    if (height < 0) height = -height;
    COLORREF want = fillRop == WHITENESS ? RGB(255, 255, 255) : RGB(0, 0, 0);
    COLORREF c1 = GetPixel(dc, 0, 0), c2 = GetPixel(dc, width - 1, 0);
    COLORREF c3 = GetPixel(dc, 0, height - 1), c4 = GetPixel(dc, width - 1, height - 1);
    if (c1 == want && c2 == want && c3 == want && c4 == want) return 1;

    // Flood the surface from the top-left corner up to the wanted colour's boundary.
    HBRUSH brush = CreateSolidBrush(want);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    int filled = ExtFloodFill(dc, 0, 0, want, FLOODFILLBORDER) ? 1 : 0;
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    if (filled) return 1;

    int count = 0;
    RGBQUAD *table = GetDibColorTable(dc, NULL, &count);
    int expected = GetDibColorCount(bitsPerPixel);
    if (table && palette && count == expected && count > 0 &&
        memcmp(table, palette, count * sizeof(RGBQUAD)) == 0) {
        MemFree(table);
        return filled;
    }
    char line[4200];
    snprintf(line, sizeof line, "999 BBI: %s [", gCurrentFormName);
    if (!table) {
        AppendTextBounded(line, sizeof line, "NULL, &lu");
    } else {
        for (int i = 0; i < count && i < 256; i++) {
            char entry[48];
            snprintf(entry, sizeof entry, "%s%02d. %02X|%02X|%02X|%02X", i ? "; " : "", i + 1,
                     table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, table[i].rgbReserved);
            AppendTextBounded(line, sizeof line, entry);
        }
    }
    AppendTextBounded(line, sizeof line, "]\r\n");
    WriteLogLine(line);
    MemFree(table);
    return filled;
}

int GetBitmapBitsPerPixel(HBITMAP bitmap)
{
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm) return 0;
    return bm.bmBitsPixel * bm.bmPlanes;
}

RGBQUAD *GetDibColorTable(HDC dc, HBITMAP bitmap, int *count)
{
    if (count) *count = 0;
    HDC work = dc;
    HGDIOBJ old = NULL;
    if (!work) {
        if (!bitmap) return NULL;
        work = CreateCompatibleDC(NULL);
        if (!work) return NULL;
        old = SelectObject(work, bitmap);
    } else if (!bitmap) {
        bitmap = (HBITMAP)GetCurrentObject(work, OBJ_BITMAP);
    }
    RGBQUAD *table = NULL;
    int bits = GetBitmapBitsPerPixel(bitmap);
    // Only palette bitmaps (8 bits or fewer) carry a colour table; a 16-bit bitmap has none.
    if (bits >= 1 && bits <= 8) {
        int entries = 1 << bits;
        table = (RGBQUAD *)MemAlloc(64, entries * sizeof(RGBQUAD));
        if (table) {
            UINT got = GetDIBColorTable(work, 0, entries, table);
            if (got == 0) {
                table = (RGBQUAD *)MemFree(table);
            } else if (count) {
                *count = entries;
            }
        }
    }
    if (!dc) {
        SelectObject(work, old);
        DeleteDC(work);
    }
    return table;
}

int LoadCanvasPalette(HDC dc, int canvasMode)
{
    HBITMAP bitmap = (HBITMAP)GetCurrentObject(dc, OBJ_BITMAP);
    int bits = GetBitmapBitsPerPixel(bitmap);
    if (bits < 1 || bits > 8) return 0;
    int entries = 1 << bits;
    RGBQUAD table[256];
    memset(table, 0, sizeof table);
    if (canvasMode) {
        RGBQUAD white = {255, 255, 255, 0}, silver = {192, 192, 192, 0}, grey = {128, 128, 128, 0};
        if (entries > 8) {
            table[7] = silver;
            table[8] = grey;
        }
        table[entries - 1] = white;
    } else {
        int n = entries < 16 ? entries : 16;
        if (entries == 2) {
            RGBQUAD white = {255, 255, 255, 0};
            table[1] = white;
        } else {
            memcpy(table, gVgaPalette, n * sizeof(RGBQUAD));
        }
    }
    return SetDIBColorTable(dc, 0, entries, table) == (UINT)entries ? 1 : 0;
}

static int IsGreyColour(COLORREF colour)
{
    return GetRValue(colour) == GetGValue(colour) && GetGValue(colour) == GetBValue(colour);
}

static int QuadEquals(const RGBQUAD &q, COLORREF colour)
{
    return q.rgbRed == GetRValue(colour) && q.rgbGreen == GetGValue(colour) && q.rgbBlue == GetBValue(colour);
}

int AddPaletteColor(HDC dc, COLORREF colour)
{
    colour &= 0xFFFFFF;
    if (IsGreyColour(colour)) return 0;   // black, white and the greys are never added
    RGBQUAD table[256];
    HBITMAP bitmap = (HBITMAP)GetCurrentObject(dc, OBJ_BITMAP);
    int bits = GetBitmapBitsPerPixel(bitmap);
    if (bits < 1 || bits > 8) return 0;
    int entries = 1 << bits;
    if (GetDIBColorTable(dc, 0, entries, table) != (UINT)entries) return 0;
    for (int i = 1; i < entries; i++) {
        if (QuadEquals(table[i], colour)) return 0;
        if (table[i].rgbRed == 0 && table[i].rgbGreen == 0 && table[i].rgbBlue == 0 && table[i].rgbReserved == 0) {
            RGBQUAD q = {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
            return SetDIBColorTable(dc, i, 1, &q) == 1 ? 1 : 0;
        }
    }
    return 0;
}

int EnsureColorInPalette(HDC dc, COLORREF colour)
{
    colour &= 0xFFFFFF;
    if (AddPaletteColor(dc, colour)) return 1;
    HBITMAP bitmap = (HBITMAP)GetCurrentObject(dc, OBJ_BITMAP);
    DIBSECTION ds;
    if (!bitmap || GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds || ds.dsBm.bmBitsPixel != 4 || !ds.dsBm.bmBits)
        return 0;
    RGBQUAD table[16];
    if (GetDIBColorTable(dc, 0, 16, table) != 16) return 0;
    for (int i = 0; i < 16; i++)
        if (QuadEquals(table[i], colour)) return 1;   // already there: nothing to make room for

    // Count which of the sixteen indexes the pixels use.
    GdiFlush();
    int used[16] = {0};
    const unsigned char *bits = (const unsigned char *)ds.dsBm.bmBits;
    int stride = ds.dsBm.bmWidthBytes, width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;
    int fullBytes = width / 2;
    for (int y = 0; y < height; y++) {
        const unsigned char *row = bits + (size_t)y * stride;
        for (int x = 0; x < fullBytes; x++) {
            used[row[x] >> 4] = 1;
            used[row[x] & 15] = 1;
        }
        if (width & 1) used[row[fullBytes] >> 4] = 1;
    }
    for (int i = 14; i >= 1; i--) {
        if (used[i]) continue;
        const RGBQUAD &q = table[i];
        int black = q.rgbRed == 0 && q.rgbGreen == 0 && q.rgbBlue == 0;
        int white = q.rgbRed == 255 && q.rgbGreen == 255 && q.rgbBlue == 255;
        int grey = q.rgbRed == 128 && q.rgbGreen == 128 && q.rgbBlue == 128;
        int silver = q.rgbRed == 192 && q.rgbGreen == 192 && q.rgbBlue == 192;
        if (black || white || grey || silver) continue;
        RGBQUAD nq = {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
        return SetDIBColorTable(dc, i, 1, &nq) == 1 ? 1 : 0;
    }
    return 0;
}
