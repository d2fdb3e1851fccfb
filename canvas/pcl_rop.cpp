// Raster rows under a logical operation (ESC * l # O), written straight into the 4-bit canvas
// instead of one GDI stretch blit per row. GDI combines palette indices bit by bit: source ink
// (white in the row's colour table) and no ink (black) become the canvas's first white and
// first black index, the brush its first index of the brush colour; the operation's index byte
// gives each result bit. One table per source-bit pair maps a canvas byte (two pixels) to its
// result, so a row costs four table reads per raster byte.
#include "canvas/canvas.h"
#include <string.h>

int BuildRopRowTable(int ropIndex, int brushIndex, int inkIndex, int noneIndex, unsigned char table[4][256])
{
    unsigned char nibble[2][16];
    for (int s = 0; s < 2; s++) {
        int source = s ? inkIndex : noneIndex;
        for (int d = 0; d < 16; d++) {
            int r = 0;
            for (int bit = 0; bit < 4; bit++) {
                int pb = (brushIndex >> bit) & 1, sb = (source >> bit) & 1, db = (d >> bit) & 1;
                r |= ((ropIndex >> ((pb << 2) | (sb << 1) | db)) & 1) << bit;
            }
            nibble[s][d] = (unsigned char)r;
        }
    }
    int keepsBlank = 1;
    for (int pair = 0; pair < 4; pair++)
        for (int b = 0; b < 256; b++) {
            table[pair][b] = (unsigned char)((nibble[(pair >> 1) & 1][b >> 4] << 4) | nibble[pair & 1][b & 15]);
            if (pair == 0 && table[pair][b] != b) keepsBlank = 0;
        }
    return keepsBlank;
}

void ApplyRopRow(unsigned char *out, const unsigned char *row, int bytes, int pageBytes, const unsigned char table[4][256],
                 int keepsBlank)
{
    for (int k = 0; k < pageBytes; k++) {
        unsigned char b = k < bytes ? row[k] : 0;
        if (!b && keepsBlank) continue;
        unsigned char *p = out + 4 * k;
        p[0] = table[b >> 6][p[0]];
        p[1] = table[(b >> 4) & 3][p[1]];
        p[2] = table[(b >> 2) & 3][p[2]];
        p[3] = table[b & 3][p[3]];
    }
}

// The first index of the colour in the canvas's colour table, -1 when it has none.
static int FindCanvasIndex(const RGBQUAD *table, int count, COLORREF colour)
{
    for (int i = 0; i < count; i++)
        if (RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue) == (colour & 0xFFFFFF)) return i;
    return -1;
}

// Whether the operation's result depends on the brush.
static int UsesBrush(int ropIndex)
{
    return ((ropIndex >> 4) & 15) != (ropIndex & 15);
}

int DrawRasterRowByRop(PclRenderState *s, const unsigned char *row, int bytes, int y)
{
    static unsigned char table[4][256];
    static int key[5] = {-1, -1, -1, -1, -1}, keepsBlank;
    RGBQUAD colours[16];
    int count = GetDIBColorTable(s->dc, 0, 16, colours);
    int ink = FindCanvasIndex(colours, count, RGB(255, 255, 255)), none = FindCanvasIndex(colours, count, 0);
    if (ink < 0 || none < 0) return 0;
    int ropIndex = (int)((s->logicalOp >> 16) & 0xFF), brush = 0;
    if (UsesBrush(ropIndex)) {
        LOGBRUSH lb;
        HGDIOBJ current = GetCurrentObject(s->dc, OBJ_BRUSH);
        if (!current || GetObjectA(current, sizeof lb, &lb) != sizeof lb || lb.lbStyle != BS_SOLID) return 0;
        brush = FindCanvasIndex(colours, count, lb.lbColor);
        if (brush < 0) return 0;
    }
    int now[5] = {ropIndex, brush, ink, none, 1};
    if (memcmp(now, key, sizeof key)) {
        keepsBlank = BuildRopRowTable(ropIndex, brush, ink, none, table);
        memcpy(key, now, sizeof key);
    }
    GdiFlush();
    ApplyRopRow(CanvasRow(s->canvas, y), row, bytes, s->pageWidth / 8, table, keepsBlank);
    return 1;
}
