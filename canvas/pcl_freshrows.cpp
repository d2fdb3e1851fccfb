// Raster rows written whole onto fresh canvas rows. The page canvas arrives white (made by the
// spare-canvas worker on another core). A row that nothing has drawn on yet is still white, so
// the first raster row written to it is known without reading the canvas: every 64-byte canvas
// line that carries ink is written complete (white and ink computed from the raster bytes) with
// streaming stores, which neither read the line nor fetch it from the other core's cache; lines
// without ink keep their white. Later rows at the same y, and rows under a logical operation,
// go through the ink masks, which read the canvas.
#include "canvas/canvas.h"
#include <emmintrin.h>
#include <stdint.h>
#include <string.h>

static uint32_t gInkMasks[256];
static int gInkMasksReady;

const uint32_t *GetRasterInkMasks(void)
{
    if (!gInkMasksReady) {
        for (int b = 0; b < 256; b++) {
            uint32_t mask = 0xFFFFFFFFu;
            for (int k = 0; k < 8; k++) {
                if (!(b & (0x80 >> k))) continue;
                int byteIndex = k >> 1;
                uint32_t nibble = (k & 1) ? 0x0Fu : 0xF0u;
                mask &= ~(nibble << (8 * byteIndex));
            }
            gInkMasks[b] = mask;
        }
        gInkMasksReady = 1;
    }
    return gInkMasks;
}

// The 16 canvas bytes (white, ink black) of four raster bytes, each repeated four times in rep:
// canvas byte m of a raster byte holds its bits 7 - 2m (high pixel) and 6 - 2m (low pixel).
static inline __m128i ExpandRepeated(__m128i rep)
{
    const __m128i high = _mm_set1_epi32(0x02082080), low = _mm_set1_epi32(0x01041040);
    __m128i h = _mm_cmpeq_epi8(_mm_and_si128(rep, high), high);
    __m128i l = _mm_cmpeq_epi8(_mm_and_si128(rep, low), low);
    __m128i ink = _mm_or_si128(_mm_and_si128(h, _mm_set1_epi8((char)0xF0)), _mm_and_si128(l, _mm_set1_epi8(0x0F)));
    return _mm_xor_si128(ink, _mm_set1_epi8((char)0xFF));
}

// Raster bytes [r, r + n) of the row (n <= 16) into a vector; bytes past the row have no ink.
static inline __m128i LoadRaster(const unsigned char *row, int bytes, int r, int n)
{
    if (r + n <= bytes) {
        if (n == 16) return _mm_loadu_si128((const __m128i *)(row + r));
        if (n == 4) {
            int four;
            memcpy(&four, row + r, 4);
            return _mm_cvtsi32_si128(four);
        }
    }
    unsigned char part[16];
    memset(part, 0, sizeof part);
    int have = bytes - r < n ? bytes - r : n;
    if (have > 0) memcpy(part, row + r, have);
    return _mm_loadu_si128((const __m128i *)part);
}

// Stores four raster bytes (the low four of x) as 16 canvas bytes, when they carry ink.
static inline void StoreGroup(unsigned char *out, __m128i x)
{
    if (!_mm_cvtsi128_si32(x)) return;
    __m128i pairs = _mm_unpacklo_epi8(x, x);
    _mm_store_si128((__m128i *)out, ExpandRepeated(_mm_unpacklo_epi16(pairs, pairs)));
}

int WriteFreshRasterRow(unsigned char *out, const unsigned char *row, int bytes, int pageBytes)
{
    if (((uintptr_t)out & 15) || pageBytes <= 0 || (pageBytes & 3) || bytes < 0) return 0;
    if (bytes > pageBytes) bytes = pageBytes;
    // Four raster bytes make 16 canvas bytes, 16 raster bytes a 64-byte canvas line. The bytes
    // before the row's first line boundary and after its last share their canvas line with the
    // neighbouring row: they are stored in groups of four, and only when they carry ink.
    int lineBegin = (int)(((64 - ((uintptr_t)out & 63)) & 63) / 4);
    if (lineBegin > pageBytes) lineBegin = pageBytes;
    int lineEnd = lineBegin + (pageBytes - lineBegin) / 16 * 16;
    int r = 0;
    for (; r < lineBegin && r < bytes; r += 4) StoreGroup(out + 4 * r, LoadRaster(row, bytes, r, 4));
    for (r = lineBegin; r < lineEnd && r < bytes; r += 16) {
        __m128i x = LoadRaster(row, bytes, r, 16);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_setzero_si128())) == 0xFFFF) continue;
        // A line with ink is written whole: its 16 raster bytes, each spread over four bytes.
        __m128i pairs = _mm_unpacklo_epi8(x, x), pairsHigh = _mm_unpackhi_epi8(x, x);
        __m128i *line = (__m128i *)(out + 4 * r);
        _mm_stream_si128(line, ExpandRepeated(_mm_unpacklo_epi16(pairs, pairs)));
        _mm_stream_si128(line + 1, ExpandRepeated(_mm_unpackhi_epi16(pairs, pairs)));
        _mm_stream_si128(line + 2, ExpandRepeated(_mm_unpacklo_epi16(pairsHigh, pairsHigh)));
        _mm_stream_si128(line + 3, ExpandRepeated(_mm_unpackhi_epi16(pairsHigh, pairsHigh)));
    }
    for (r = lineEnd; r < pageBytes && r < bytes; r += 4) StoreGroup(out + 4 * r, LoadRaster(row, bytes, r, 4));
    return 1;
}

void FinishFreshRows(PclRenderState *s)
{
    if (!s->freshRows) return;
    s->freshRows = 0;
    _mm_sfence();   // the streaming stores are visible before GDI or another thread reads the bits
}
