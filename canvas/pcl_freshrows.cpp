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

// The 16 canvas bytes (white, ink black) of four raster bytes.
static inline __m128i ExpandFour(const uint32_t *masks, const unsigned char *r)
{
    return _mm_setr_epi32((int)masks[r[0]], (int)masks[r[1]], (int)masks[r[2]], (int)masks[r[3]]);
}

// The raster bytes of group g (four bytes, 16 canvas bytes); groups past the row have no ink.
static inline const unsigned char *GroupBytes(const unsigned char *row, int bytes, int g, const unsigned char *last)
{
    static const unsigned char kNone[4] = {0, 0, 0, 0};
    if (4 * g + 4 <= bytes) return row + 4 * g;
    return 4 * g < bytes ? last : kNone;
}

static inline uint32_t GroupInk(const unsigned char *r)
{
    uint32_t four;
    memcpy(&four, r, 4);
    return four;
}

int WriteFreshRasterRow(unsigned char *out, const unsigned char *row, int bytes, int pageBytes)
{
    if (((uintptr_t)out & 15) || pageBytes <= 0 || (pageBytes & 3) || bytes < 0) return 0;
    if (bytes > pageBytes) bytes = pageBytes;
    const uint32_t *masks = GetRasterInkMasks();
    // The last, partly filled group is copied so that nothing beyond the row is read.
    unsigned char last[4] = {0, 0, 0, 0};
    if (bytes & 3) memcpy(last, row + (bytes & ~3), bytes & 3);
    int groups = (bytes + 3) / 4, total = pageBytes / 4;
    // Groups before the row's first 64-byte boundary and after its last share their canvas line
    // with the neighbouring row: they are stored alone, and only when they carry ink.
    int lineBegin = (int)(((64 - ((uintptr_t)out & 63)) & 63) / 16);
    if (lineBegin > total) lineBegin = total;
    int lineEnd = lineBegin + (total - lineBegin) / 4 * 4;
    for (int g = 0; g < groups; g++) {
        const unsigned char *r = GroupBytes(row, bytes, g, last);
        if (g >= lineBegin && g < lineEnd) {
            // A whole line (four groups), written complete when any of them carries ink.
            const unsigned char *r1 = GroupBytes(row, bytes, g + 1, last);
            const unsigned char *r2 = GroupBytes(row, bytes, g + 2, last);
            const unsigned char *r3 = GroupBytes(row, bytes, g + 3, last);
            if (GroupInk(r) | GroupInk(r1) | GroupInk(r2) | GroupInk(r3)) {
                __m128i *line = (__m128i *)(out + 16 * g);
                _mm_stream_si128(line, ExpandFour(masks, r));
                _mm_stream_si128(line + 1, ExpandFour(masks, r1));
                _mm_stream_si128(line + 2, ExpandFour(masks, r2));
                _mm_stream_si128(line + 3, ExpandFour(masks, r3));
            }
            g += 3;
        } else if (GroupInk(r)) {
            _mm_store_si128((__m128i *)(out + 16 * g), ExpandFour(masks, r));
        }
    }
    return 1;
}

void FinishFreshRows(PclRenderState *s)
{
    if (!s->freshRows) return;
    s->freshRows = 0;
    _mm_sfence();   // the streaming stores are visible before GDI or another thread reads the bits
}
