// The shared page canvas: one memory DC, its 2400 x 3168 4-bit page bitmap and the row work buffer.
#include "canvas/canvas.h"
#include <string.h>

HDC gPageCanvasDc;
HBITMAP gPageCanvasBitmap;
HBITMAP gPageCanvasFirstBitmap;
unsigned char *gPageWorkBuffer;
static HPEN gPageCanvasPen;

// The canvas palette as a colour table: 0 black, 7 silver, 8 grey, 15 white, others free (zero).
static void FillCanvasTable(RGBQUAD *table)
{
    memset(table, 0, 16 * sizeof(RGBQUAD));
    RGBQUAD silver = {192, 192, 192, 0}, grey = {128, 128, 128, 0}, white = {255, 255, 255, 0};
    table[7] = silver;
    table[8] = grey;
    table[15] = white;
}

HBITMAP CreateWhiteCanvasBitmap(void)
{
    RGBQUAD table[16];
    FillCanvasTable(table);
    // The bitmap is made white by writing its bits (index 15 is white in both palettes), which
    // is what a WHITENESS fill gives, at a fraction of the cost.
    HBITMAP bitmap = CreateDibBitmap(PAGE_CANVAS_WIDTH, PAGE_CANVAS_HEIGHT, 4, 0, NULL, table);
    if (!bitmap) return NULL;
    DIBSECTION ds;
    if (GetObjectA(bitmap, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits)
        memset(ds.dsBm.bmBits, 0xFF, (size_t)ds.dsBm.bmWidthBytes * ds.dsBm.bmHeight);
    return bitmap;
}

HBITMAP ResetPageCanvas(void)
{
    if (!gPageWorkBuffer) gPageWorkBuffer = (unsigned char *)MemAlloc(64, PAGE_WORK_BUFFER_SIZE);
    else memset(gPageWorkBuffer, 0, PAGE_WORK_BUFFER_SIZE);
    if (!gPageCanvasDc) {
        HDC screen = GetDC(NULL);
        gPageCanvasDc = CreateCompatibleDC(screen);
        ReleaseDC(NULL, screen);
        if (!gPageCanvasDc) return NULL;
        gPageCanvasPen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        SelectObject(gPageCanvasDc, gPageCanvasPen);
        gPageCanvasFirstBitmap = (HBITMAP)GetCurrentObject(gPageCanvasDc, OBJ_BITMAP);
    } else if (gPageCanvasBitmap) {
        SelectObject(gPageCanvasDc, gPageCanvasFirstBitmap);
        DeleteObject(gPageCanvasBitmap);
        gPageCanvasBitmap = NULL;
    }
    // The spare canvas made white beforehand, else a new one now.
    HBITMAP bitmap = TakeSpareCanvas();
    if (!bitmap) bitmap = CreateWhiteCanvasBitmap();
    if (!bitmap) return gPageCanvasFirstBitmap;
    SelectObject(gPageCanvasDc, bitmap);
    gPageCanvasBitmap = bitmap;
    LoadCanvasPalette(gPageCanvasDc, 1);
    return gPageCanvasFirstBitmap;
}

HBITMAP DetachPageCanvasBitmap(void)
{
    HBITMAP bitmap = gPageCanvasBitmap;
    if (!bitmap || !gPageCanvasDc) return NULL;
    SelectObject(gPageCanvasDc, gPageCanvasFirstBitmap);
    gPageCanvasBitmap = NULL;
    return bitmap;
}

void FreePageBuffer(void)
{
    gPageWorkBuffer = (unsigned char *)MemFree(gPageWorkBuffer);
}

int GetCanvasBits(HBITMAP bitmap, CanvasBits *out)
{
    memset(out, 0, sizeof *out);
    DIBSECTION ds;
    if (!bitmap || GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits) return 0;
    out->width = ds.dsBm.bmWidth;
    out->height = ds.dsBm.bmHeight;
    out->bitsPerPixel = ds.dsBm.bmBitsPixel;
    unsigned char *bits = (unsigned char *)ds.dsBm.bmBits;
    int stride = ds.dsBm.bmWidthBytes;
    if (ds.dsBmih.biHeight > 0) {
        out->row0 = bits + (size_t)(out->height - 1) * stride;
        out->rowStep = -stride;
    } else {
        out->row0 = bits;
        out->rowStep = stride;
    }
    return 1;
}

// White pixel test per colour-table index (palette bitmaps) or per value.
static int IsRowWhite(const CanvasBits &c, int y, const unsigned char *whiteIndex)
{
    const unsigned char *row = CanvasRow(c, y);
    int w = c.width;
    switch (c.bitsPerPixel) {
    case 1:
        for (int x = 0; x < w; x++)
            if (!whiteIndex[(row[x >> 3] >> (7 - (x & 7))) & 1]) return 0;
        return 1;
    case 4:
        for (int x = 0; x < w; x++)
            if (!whiteIndex[(x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4]) return 0;
        return 1;
    case 8:
        for (int x = 0; x < w; x++)
            if (!whiteIndex[row[x]]) return 0;
        return 1;
    case 24:
        for (int x = 0; x < 3 * w; x++)
            if (row[x] != 255) return 0;
        return 1;
    case 32:
        for (int x = 0; x < w; x++)
            if (row[4 * x] != 255 || row[4 * x + 1] != 255 || row[4 * x + 2] != 255) return 0;
        return 1;
    default:
        return 1;
    }
}

int EraseBottomEdgeInk(HBITMAP bitmap)
{
    CanvasBits c;
    if (!GetCanvasBits(bitmap, &c) || c.height < 3) return 1;
    unsigned char whiteIndex[256];
    memset(whiteIndex, 0, sizeof whiteIndex);
    int whiteEntry = -1;
    if (c.bitsPerPixel <= 8) {
        int count = 0;
        RGBQUAD *table = GetDibColorTable(NULL, bitmap, &count);
        for (int i = 0; i < count; i++) {
            if (table[i].rgbRed == 255 && table[i].rgbGreen == 255 && table[i].rgbBlue == 255) {
                whiteIndex[i] = 1;
                if (whiteEntry < 0) whiteEntry = i;
            }
        }
        MemFree(table);
    }
    GdiFlush();
    int whitened = 0;
    int lowest = c.height - 60 < 0 ? 0 : c.height - 60;
    for (int y = c.height - 3; y >= lowest; y--) {
        if (IsRowWhite(c, y, whiteIndex)) break;
        // Whiten from this row to the bottom.
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, y, c.width, c.height - y, WHITENESS);
        SelectObject(dc, old);
        DeleteDC(dc);
        GdiFlush();
        whitened = 1;
    }
    return whitened ? 0 : 1;
}
