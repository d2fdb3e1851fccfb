// Soft-font glyphs written into the 4-bit canvas a glyph byte at a time: each byte of a glyph row
// covers four canvas bytes, changed through one 32-bit mask (black ink clears its pixels to index
// 0, white ink sets them to 15). A glyph at an odd x is shifted by one pixel first; the canvas
// bytes past the glyph's last pixel are never touched.
#include "canvas/canvas.h"
#include <string.h>

static uint32_t gGlyphClear[256];   // AND masks: the byte's ink pixels to index 0
static int gGlyphMasksReady;

static void BuildGlyphMasks(void)
{
    for (int b = 0; b < 256; b++) {
        uint32_t mask = 0xFFFFFFFFu;
        for (int k = 0; k < 8; k++)
            if (b & (0x80 >> k)) mask &= ~((uint32_t)((k & 1) ? 0x0F : 0xF0) << (8 * (k >> 1)));
        gGlyphClear[b] = mask;
    }
    gGlyphMasksReady = 1;
}

// Glyph rows gy0..gy1 (tail: the mask of a row's last byte's pixels) onto the canvas rows from
// y0 + gy0 on, from canvas byte base on, never past canvas byte last; Odd shifts the rows one
// pixel right, White sets the ink to index 15 instead of clearing it to 0.
template <int Odd, int White>
static void WriteGlyphRows(const CanvasBits &c, const uint8_t *rows, int rowBytes, int gy0, int gy1, int y0, int used,
                           unsigned char tail, int base, int last)
{
    for (int gy = gy0; gy < gy1; gy++) {
        unsigned char *out = CanvasRow(c, y0 + gy);
        const uint8_t *in = rows + (size_t)gy * rowBytes;
        unsigned char previous = 0;
        for (int k = 0; k < used + Odd; k++) {
            unsigned char current = k < used ? in[k] : 0;
            if (k == used - 1) current &= tail;   // bits past the glyph's width are not ink
            unsigned char b = Odd ? (unsigned char)((current >> 1) | (previous << 7)) : current;
            previous = current;
            if (!b) continue;
            int at = base + 4 * k;
            uint32_t mask = gGlyphClear[b];
            if (at + 3 <= last) {
                uint32_t v;
                memcpy(&v, out + at, 4);
                v = White ? v | ~mask : v & mask;
                memcpy(out + at, &v, 4);
                continue;
            }
            for (int j = 0; j < 4 && at + j <= last; j++) {
                unsigned char m = (unsigned char)(mask >> (8 * j));
                out[at + j] = White ? (unsigned char)(out[at + j] | ~m) : (unsigned char)(out[at + j] & m);
            }
        }
    }
}

int WriteGlyphBytes(const CanvasBits &c, const uint8_t *rows, int rowBytes, int width, int height, int x0, int y0,
                    unsigned char index)
{
    if ((index != 0 && index != 15) || c.bitsPerPixel != 4 || width <= 0 || x0 < 0 || x0 + width > c.width)
        return 0;
    if (rowBytes <= 0) return 0;
    if (!gGlyphMasksReady) BuildGlyphMasks();
    int firstRow = y0 < 0 ? -y0 : 0, endRow = c.height - y0 < height ? c.height - y0 : height;
    int odd = x0 & 1;
    int base = (x0 - odd) >> 1;                  // the canvas byte of the row's first (shifted) pixel
    int last = (x0 + width - 1) >> 1;            // the last canvas byte the glyph covers
    unsigned char tail = (width & 7) ? (unsigned char)(0xFF << (8 - (width & 7))) : 0xFF;
    int used = (width + 7) / 8;                  // glyph bytes holding pixels
    if (used > rowBytes) return 0;
    if (odd && index) WriteGlyphRows<1, 1>(c, rows, rowBytes, firstRow, endRow, y0, used, tail, base, last);
    else if (odd) WriteGlyphRows<1, 0>(c, rows, rowBytes, firstRow, endRow, y0, used, tail, base, last);
    else if (index) WriteGlyphRows<0, 1>(c, rows, rowBytes, firstRow, endRow, y0, used, tail, base, last);
    else WriteGlyphRows<0, 0>(c, rows, rowBytes, firstRow, endRow, y0, used, tail, base, last);
    return 1;
}
