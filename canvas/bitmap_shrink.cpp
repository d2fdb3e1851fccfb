// The page view's scaled copy. Area-average shrinking of a 4-bit palette DIB (the page canvas)
// straight from its bits: the same sums as reading the bitmap as 24-bit rows and averaging them (ResizeBitmap), taken as a
// white page less the ink of its coloured pixels, so white stretches cost nothing. The output
// bytes are identical: a row's sum is the white row's sum less the ink weights, exactly, in the
// same unsigned 32-bit arithmetic.
#include "canvas/canvas.h"
#include "store/store.h"
#include <string.h>

// Ink of one pixel (255 less each channel, in the B, G, R order of 24-bit rows) weighted
// horizontally by w and vertically into cur and next.
static inline void AddInk(unsigned *cur, unsigned *next, const unsigned *ink, unsigned w, unsigned wy, int carry)
{
    for (int ch = 0; ch < 3; ch++) {
        unsigned a = w * ink[ch];
        cur[ch] += wy * a;
        if (carry > 0) next[ch] += (unsigned)carry * a;
    }
}

// The same for a grey ink (three equal channels), kept once per output pixel.
static inline void AddGreyInk(unsigned *cur, unsigned *next, unsigned ink, unsigned w, unsigned wy, int carry)
{
    unsigned a = w * ink;
    *cur += wy * a;
    if (carry > 0) *next += (unsigned)carry * a;
}

int ShrinkPaletteBitmap(HBITMAP bitmap, unsigned char *dst, int dw, int dh, int dstride, const ResampleStep *tx,
                        const ResampleStep *ty)
{
    CanvasBits c;
    if (!GetCanvasBits(bitmap, &c) || c.bitsPerPixel != 4 || c.width <= 0 || c.height <= 0) return 0;
    int count = 0;
    RGBQUAD *table = GetDibColorTable(NULL, bitmap, &count);
    if (!table || count != 16) {
        MemFree(table);
        return 0;
    }
    unsigned ink[16][3];
    unsigned char whiteIndex[16], greyIndex[16], whiteByte[256];
    for (int i = 0; i < 16; i++) {
        ink[i][0] = 255u - table[i].rgbBlue;
        ink[i][1] = 255u - table[i].rgbGreen;
        ink[i][2] = 255u - table[i].rgbRed;
        whiteIndex[i] = !ink[i][0] && !ink[i][1] && !ink[i][2];
        greyIndex[i] = ink[i][0] == ink[i][1] && ink[i][1] == ink[i][2];
    }
    MemFree(table);
    for (int b = 0; b < 256; b++) whiteByte[b] = whiteIndex[b >> 4] && whiteIndex[b & 15];
    int sw = c.width, sh = c.height, n = dw * 3;
    // The white row's sums, then the colour ink of the output row being made and of the next,
    // then the grey ink (black, grey, silver: most of a page's ink) of both, one value a pixel.
    unsigned *white = (unsigned *)MemAlloc(64, ((size_t)n * 3 + (size_t)dw * 2) * sizeof(unsigned));
    if (!white) return 0;
    unsigned *cur = white + n, *next = white + 2 * n;
    unsigned *greyCur = white + 3 * n, *greyNext = greyCur + dw;
    // The sums of a white row.
    for (int x = 0; x < sw; x++) {
        const ResampleStep &t = tx[x];
        for (int ch = 0; ch < 3; ch++) {
            white[t.output * 3 + ch] += (unsigned)t.current * 255u;
            if (t.carry > 0 && t.output + 1 < dw) white[t.output * 3 + 3 + ch] += (unsigned)t.carry * 255u;
        }
    }
    GdiFlush();
    unsigned weightCur = 0, weightNext = 0;
    int bytes = (sw + 1) / 2;
    for (int y = 0; y < sh; y++) {
        const ResampleStep &v = ty[y];
        weightCur += (unsigned)v.current;
        if (v.carry > 0) weightNext += (unsigned)v.carry;
        const unsigned char *row = CanvasRow(c, y);
        int i = 0;
        while (i < bytes) {
            if (i + 4 <= bytes) {
                uint32_t four;
                memcpy(&four, row + i, 4);
                if (four == 0xFFFFFFFFu && whiteByte[255]) {
                    i += 4;
                    continue;
                }
            }
            unsigned char b = row[i];
            if (!whiteByte[b]) {
                for (int half = 0; half < 2; half++) {
                    int x = 2 * i + half;
                    int index = half ? b & 15 : b >> 4;
                    if (x >= sw || whiteIndex[index]) continue;
                    const ResampleStep &t = tx[x];
                    int o = t.output;
                    if (greyIndex[index]) {
                        AddGreyInk(greyCur + o, greyNext + o, ink[index][0], (unsigned)t.current, (unsigned)v.current,
                                   v.carry);
                        if (t.carry > 0 && o + 1 < dw)
                            AddGreyInk(greyCur + o + 1, greyNext + o + 1, ink[index][0], (unsigned)t.carry,
                                       (unsigned)v.current, v.carry);
                        continue;
                    }
                    AddInk(cur + 3 * o, next + 3 * o, ink[index], (unsigned)t.current, (unsigned)v.current, v.carry);
                    if (t.carry > 0 && o + 1 < dw)
                        AddInk(cur + 3 * o + 3, next + 3 * o + 3, ink[index], (unsigned)t.carry, (unsigned)v.current,
                               v.carry);
                }
            }
            i++;
        }
        if (v.carry != 0 && v.output < dh) {
            unsigned char *out = dst + (size_t)v.output * dstride;
            for (int k = 0; k < n; k++)
                out[k] = (unsigned char)((white[k] * weightCur - cur[k] - greyCur[k / 3]) >> 24);
            unsigned *t = cur;
            cur = next;
            next = t;
            memset(next, 0, (size_t)n * sizeof(unsigned));
            t = greyCur;
            greyCur = greyNext;
            greyNext = t;
            memset(greyNext, 0, (size_t)dw * sizeof(unsigned));
            weightCur = weightNext;
            weightNext = 0;
        }
    }
    MemFree(white);
    return 1;
}

int IsScaledPageCurrent(HBITMAP scaled, int width, int height)
{
    int w = 0, h = 0;
    return scaled && GetBitmapSize(scaled, &w, &h) && w == width && h == height;
}
