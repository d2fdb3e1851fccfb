// Bitmap toolkit: rotation, resampling and fitting, on whole pixel buffers.
#include "canvas/canvas.h"
#include "store/store.h"
#include <string.h>

// Reads the bitmap's pixels at its own depth into a new top-down buffer (rows padded to 32 bits);
// the colour table (up to 256 entries) goes to table when the depth has one.
static unsigned char *ReadBitmapPixels(HBITMAP bitmap, int *width, int *height, int *bits, RGBQUAD *table,
                                       int *stride)
{
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm) return NULL;
    if (bm.bmWidth <= 0 || bm.bmHeight <= 0) return NULL;
    int depth = bm.bmBitsPixel * bm.bmPlanes;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) depth = 32;
    unsigned int size = GetDibImageSize32(bm.bmWidth, bm.bmHeight, depth);
    if (!size) return NULL;
    unsigned char *pixels = (unsigned char *)MemAlloc(64, size);
    BITMAPINFO *info = (BITMAPINFO *)MemAlloc(64, sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    if (!pixels || !info) {
        MemFree(pixels);
        MemFree(info);
        return NULL;
    }
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = bm.bmWidth;
    info->bmiHeader.biHeight = -bm.bmHeight;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = (WORD)depth;
    info->bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(NULL);
    int got = GetDIBits(dc, bitmap, 0, bm.bmHeight, pixels, info, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (got != bm.bmHeight) {
        MemFree(pixels);
        MemFree(info);
        return NULL;
    }
    if (table) {
        memset(table, 0, 256 * sizeof(RGBQUAD));
        int count = GetDibColorCount(depth);
        if (depth <= 8 && count) memcpy(table, info->bmiColors, count * sizeof(RGBQUAD));
    }
    MemFree(info);
    *width = bm.bmWidth;
    *height = bm.bmHeight;
    *bits = depth;
    *stride = (int)(GetDibImageSize32(bm.bmWidth, 1, depth));
    return pixels;
}

// Copies rows of a top-down buffer into a DIB section, whatever its row order.
static void WriteDibRows(HBITMAP dib, const unsigned char *pixels, int stride, int height)
{
    DIBSECTION ds;
    if (GetObjectA(dib, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits) return;
    GdiFlush();
    int bottomUp = ds.dsBmih.biHeight > 0;
    unsigned char *base = (unsigned char *)ds.dsBm.bmBits;
    int copy = stride < ds.dsBm.bmWidthBytes ? stride : ds.dsBm.bmWidthBytes;
    for (int y = 0; y < height; y++) {
        unsigned char *row = base + (size_t)(bottomUp ? height - 1 - y : y) * ds.dsBm.bmWidthBytes;
        memcpy(row, pixels + (size_t)y * stride, copy);
    }
}

static inline unsigned GetPixelValue(const unsigned char *row, int x, int bits)
{
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
    case 8: return row[x];
    case 16: return row[2 * x] | (row[2 * x + 1] << 8);
    case 24: return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    default: return row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) | ((unsigned)row[4 * x + 3] << 24);
    }
}

static inline void PutPixelValue(unsigned char *row, int x, int bits, unsigned v)
{
    switch (bits) {
    case 1:
        if (v) row[x >> 3] |= (unsigned char)(0x80 >> (x & 7));
        else row[x >> 3] &= (unsigned char)~(0x80 >> (x & 7));
        break;
    case 4:
        if (x & 1) row[x >> 1] = (unsigned char)((row[x >> 1] & 0xF0) | (v & 15));
        else row[x >> 1] = (unsigned char)((row[x >> 1] & 0x0F) | (v << 4));
        break;
    case 8: row[x] = (unsigned char)v; break;
    case 16: row[2 * x] = (unsigned char)v; row[2 * x + 1] = (unsigned char)(v >> 8); break;
    case 24:
        row[3 * x] = (unsigned char)v; row[3 * x + 1] = (unsigned char)(v >> 8); row[3 * x + 2] = (unsigned char)(v >> 16);
        break;
    default: memcpy(row + 4 * x, &v, 4); break;
    }
}

HBITMAP RotateBitmap(HBITMAP bitmap, int angle)
{
    if (angle != 90 && angle != 180 && angle != 270) return NULL;
    int width, height, bits, stride;
    RGBQUAD table[256];
    unsigned char *src = ReadBitmapPixels(bitmap, &width, &height, &bits, table, &stride);
    if (!src) return NULL;
    int outW = angle == 180 ? width : height, outH = angle == 180 ? height : width;
    int outStride = (int)GetDibImageSize32(outW, 1, bits);
    unsigned char *dst = (unsigned char *)MemAlloc(64, (size_t)outStride * outH);
    HBITMAP result = NULL;
    if (dst) {
        if (angle == 90 && bits == 4) {
            // The common case (a landscape page canvas): column x of the result is source row H-1-x.
            for (int y = 0; y < height; y++) {
                const unsigned char *row = src + (size_t)y * stride;
                int ox = height - 1 - y, shift = (ox & 1) ? 0 : 4;
                unsigned char keep = (unsigned char)((ox & 1) ? 0xF0 : 0x0F);
                unsigned char *col = dst + (ox >> 1);
                for (int x = 0; x < width; x++) {
                    unsigned v = (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
                    unsigned char *p = col + (size_t)x * outStride;
                    *p = (unsigned char)((*p & keep) | (v << shift));
                }
            }
        } else {
            for (int y = 0; y < height; y++) {
                const unsigned char *row = src + (size_t)y * stride;
                for (int x = 0; x < width; x++) {
                    int ox, oy;
                    if (angle == 90) { ox = height - 1 - y; oy = x; }        // top row -> right column
                    else if (angle == 270) { ox = y; oy = width - 1 - x; }   // top row -> left column
                    else { ox = width - 1 - x; oy = height - 1 - y; }
                    PutPixelValue(dst + (size_t)oy * outStride, ox, bits, GetPixelValue(row, x, bits));
                }
            }
        }
        RGBQUAD zero[256];
        memset(zero, 0, sizeof zero);
        const RGBQUAD *palette = bits <= 8 ? table : (bits == 16 ? zero : NULL);
        result = CreateDibBitmap(outW, outH, bits, 0, NULL, palette);
        if (result) WriteDibRows(result, dst, outStride, outH);
    }
    MemFree(src);
    MemFree(dst);
    return result;
}

ResampleStep *BuildResampleTable(int srcSize, int dstSize, int average)
{
    if (srcSize <= 0 || dstSize <= 0) return NULL;
    if (average && dstSize < srcSize) {
        // Area average: one step per source pixel. Output pixel j covers [j*src, (j+1)*src) and source
        // pixel i covers [i*dst, (i+1)*dst) on a common scale; weights are differences of a cumulative
        // 12-bit scale so that every output pixel's weights add up to exactly 4096.
        ResampleStep *table = (ResampleStep *)MemAlloc(64, srcSize * sizeof(ResampleStep));
        if (!table) return NULL;
        long long s = srcSize, d = dstSize;
        int j = 0;
        for (int i = 0; i < srcSize; i++) {
            long long start = i * d, end = (i + 1) * d, boundary = (j + 1) * s;
            long long base = j * s;
            ResampleStep &t = table[i];
            t.output = j;
            if (end < boundary) {
                t.current = (int)((end - base) * 4096 / s - (start - base) * 4096 / s);
                t.carry = 0;
            } else if (end == boundary) {
                t.current = (int)(4096 - (start - base) * 4096 / s);
                t.carry = -1;   // exact boundary: the output ends with this pixel
                j++;
            } else {
                t.current = (int)(4096 - (start - base) * 4096 / s);
                t.carry = (int)((end - boundary) * 4096 / s);   // share carried into the next output
                if (t.carry == 0) t.carry = -1;                 // nothing left to carry
                j++;
            }
        }
        return table;
    }
    // Blend: one step per output pixel, the pair of weights of the two source pixels around it.
    ResampleStep *table = (ResampleStep *)MemAlloc(64, dstSize * sizeof(ResampleStep));
    if (!table) return NULL;
    for (int j = 0; j < dstSize; j++) {
        long long pos = dstSize > 1 ? (long long)j * (srcSize - 1) * 4096 / (dstSize - 1) : 0;
        if (srcSize == dstSize) pos = (long long)j * 4096;
        int i = (int)(pos >> 12), f = (int)(pos & 4095);
        if (i >= srcSize - 1) { i = srcSize - 1; f = 0; }
        table[j].output = i;
        table[j].current = 4096 - f;
        table[j].carry = f == 0 ? -1 : f;
    }
    return table;
}

// Reads any bitmap as 24-bit top-down rows (padded to 4 bytes).
static unsigned char *Read24(HBITMAP bitmap, int *width, int *height, int *stride)
{
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm || bm.bmWidth <= 0 || bm.bmHeight <= 0) return NULL;
    *width = bm.bmWidth;
    *height = bm.bmHeight;
    *stride = (int)GetDibImageSize32(bm.bmWidth, 1, 24);
    unsigned char *pixels = (unsigned char *)MemAlloc(64, (size_t)*stride * bm.bmHeight);
    if (!pixels) return NULL;
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    HDC dc = CreateCompatibleDC(NULL);
    int got = GetDIBits(dc, bitmap, 0, bm.bmHeight, pixels, &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (got != bm.bmHeight) return (unsigned char *)MemFree(pixels);
    return pixels;
}

int ShrinkPixels24(const unsigned char *src, int sw, int sh, int sstride, unsigned char *dst, int dw, int dh,
                   int dstride, const ResampleStep *tx, const ResampleStep *ty, unsigned *sums)
{
    int n = dw * 3;
    unsigned *own = sums ? NULL : (unsigned *)MemAlloc(64, (size_t)n * 3 * sizeof(unsigned));
    unsigned *rowSum = sums ? sums : own;
    if (!rowSum) return 0;
    unsigned *cur = rowSum + n, *next = cur + n;
    memset(cur, 0, (size_t)n * 2 * sizeof(unsigned));
    for (int y = 0; y < sh; y++) {
        memset(rowSum, 0, (size_t)n * sizeof(unsigned));
        const unsigned char *row = src + (size_t)y * sstride;
        for (int x = 0; x < sw; x++) {
            const ResampleStep &t = tx[x];
            unsigned *o = rowSum + t.output * 3;
            o[0] += t.current * row[3 * x];
            o[1] += t.current * row[3 * x + 1];
            o[2] += t.current * row[3 * x + 2];
            if (t.carry > 0 && t.output + 1 < dw) {
                o[3] += t.carry * row[3 * x];
                o[4] += t.carry * row[3 * x + 1];
                o[5] += t.carry * row[3 * x + 2];
            }
        }
        const ResampleStep &v = ty[y];
        for (int k = 0; k < n; k++) {
            cur[k] += rowSum[k] * (unsigned)v.current;
            if (v.carry > 0) next[k] += rowSum[k] * (unsigned)v.carry;
        }
        if (v.carry != 0 && v.output < dh) {
            unsigned char *out = dst + (size_t)v.output * dstride;
            for (int k = 0; k < n; k++) out[k] = (unsigned char)(cur[k] >> 24);
            unsigned *swap = cur;
            cur = next;
            next = swap;
            memset(next, 0, (size_t)n * sizeof(unsigned));
        }
    }
    MemFree(own);
    return 1;
}

// Weighted blend of the 2 x 2 source pixels around each output pixel.
static void BlendPixels(const unsigned char *src, int sstride, unsigned char *dst, int dw, int dh, int dstride,
                        const ResampleStep *tx, const ResampleStep *ty, int sw, int sh)
{
    for (int y = 0; y < dh; y++) {
        int y0 = ty[y].output, y1 = y0 + 1 < sh ? y0 + 1 : y0;
        unsigned wy0 = (unsigned)ty[y].current, wy1 = 4096 - wy0;
        const unsigned char *r0 = src + (size_t)y0 * sstride, *r1 = src + (size_t)y1 * sstride;
        unsigned char *out = dst + (size_t)y * dstride;
        for (int x = 0; x < dw; x++) {
            int x0 = tx[x].output, x1 = x0 + 1 < sw ? x0 + 1 : x0;
            unsigned wx0 = (unsigned)tx[x].current, wx1 = 4096 - wx0;
            for (int c = 0; c < 3; c++) {
                unsigned top = wx0 * r0[3 * x0 + c] + wx1 * r0[3 * x1 + c];
                unsigned bottom = wx0 * r1[3 * x0 + c] + wx1 * r1[3 * x1 + c];
                out[3 * x + c] = (unsigned char)((top * wy0 + bottom * wy1) >> 24);
            }
        }
    }
}

HBITMAP ResizeBitmap(HBITMAP bitmap, int width, int height)
{
    int sw, sh, sstride;
    if (width <= 0 || height <= 0) return NULL;
    if (!GetBitmapSize(bitmap, &sw, &sh) || sw <= 0 || sh <= 0) return NULL;
    if ((width > sw && height < sh) || (width < sw && height > sh)) return NULL;
    int dstride = (int)GetDibImageSize32(width, 1, 24);
    // A palette page shrinks straight from its bits (the page view's scaled copy).
    int direct = 0;
    unsigned char *src = NULL;
    if (width < sw && height < sh) {
        ResampleStep *tx = BuildResampleTable(sw, width, 1), *ty = BuildResampleTable(sh, height, 1);
        unsigned char *out = tx && ty ? (unsigned char *)MemAlloc(64, (size_t)dstride * height) : NULL;
        if (out && ShrinkPaletteBitmap(bitmap, out, width, height, dstride, tx, ty)) {
            src = out;
            direct = 1;
        } else {
            MemFree(out);
        }
        MemFree(tx);
        MemFree(ty);
    }
    if (!direct) src = Read24(bitmap, &sw, &sh, &sstride);
    if (!src) return NULL;
    unsigned char *dst = direct ? src : (unsigned char *)MemAlloc(64, (size_t)dstride * height);
    HBITMAP result = NULL;
    if (dst) {
        int ok = 1;
        if (direct) {
            // dst holds the rows already
        } else if (width == sw && height == sh) {
            memcpy(dst, src, (size_t)dstride * height);
        } else {
            int average = width < sw && height < sh;
            ResampleStep *tx = BuildResampleTable(sw, width, average), *ty = BuildResampleTable(sh, height, average);
            if (!tx || !ty) ok = 0;
            else if (average) ShrinkPixels24(src, sw, sh, sstride, dst, width, height, dstride, tx, ty, NULL);
            else BlendPixels(src, sstride, dst, width, height, dstride, tx, ty, sw, sh);
            MemFree(tx);
            MemFree(ty);
        }
        if (ok) {
            BITMAPINFO info;
            memset(&info, 0, sizeof info);
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = -height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 24;
            HDC screen = GetDC(NULL);
            result = CreateCompatibleBitmap(screen, width, height);
            if (result && SetDIBits(screen, result, 0, height, dst, &info, DIB_RGB_COLORS) != height) {
                DeleteObject(result);
                result = NULL;
            }
            ReleaseDC(NULL, screen);
        }
    }
    if (dst != src) MemFree(dst);
    MemFree(src);
    return result;
}

HBITMAP FitBitmapToRect(const RECT *rect, HBITMAP bitmap, double *scaleOut, int force)
{
    int width, height;
    if (scaleOut) *scaleOut = 1.0;
    if (!rect || !GetBitmapSize(bitmap, &width, &height) || width <= 0 || height <= 0) return NULL;
    int rw = rect->right - rect->left, rh = rect->bottom - rect->top;
    if (!force && width <= rw && height <= rh) return bitmap;
    if (rw <= 0 || rh <= 0) return NULL;
    double sx = (double)rw / width, sy = (double)rh / height;
    double scale = sx < sy ? sx : sy;
    int nw = (int)(width * scale), nh = (int)(height * scale);
    if (nw < 1) nw = 1;
    if (nh < 1) nh = 1;
    HBITMAP scaled = ResizeBitmap(bitmap, nw, nh);
    if (!scaled) return NULL;
    DeleteObject(bitmap);
    if (scaleOut) *scaleOut = scale;
    return scaled;
}
