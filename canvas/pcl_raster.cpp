// PCL raster graphics: monochrome rows (unencoded, PackBits, delta row) written straight into the
// canvas bits, and colour images (method 5).
#include "canvas/canvas.h"
#include <emmintrin.h>
#include <string.h>

#define RASTER_MESSAGE_FLAGS (MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL | MB_SETFOREGROUND)

int CanDrawDirect(const PclRenderState *s)
{
    return s->canvas.row0 && s->canvas.bitsPerPixel == 4 && !s->clipped;
}

// Inks the eight 4-bit pixels of row byte index b (bit 1 = ink) on a canvas row.
static inline void InkRowByte(const uint32_t *masks, unsigned char *out, int index, unsigned char b)
{
    if (!b) return;
    uint32_t v;
    memcpy(&v, out + 4 * index, 4);
    v &= masks[b];
    memcpy(out + 4 * index, &v, 4);
}

// Draws one 1-bit row (bit 1 = ink) of `bytes` bytes at x 0, y row onto the canvas.
void DrawRasterRow(PclRenderState *s, const unsigned char *row, int bytes, int y)
{
    int pageBytes = s->pageWidth / 8;
    if (bytes > pageBytes) bytes = pageBytes;
    if (bytes <= 0 || y < 0 || y >= s->pageHeight) return;
    // Every way below writes row y only.
    int fresh = y < PAGE_CANVAS_HEIGHT && s->freshRows && !s->rowWritten[y];
    if (y < PAGE_CANVAS_HEIGHT) s->rowWritten[y] = 1;
    if (!s->logicalOp && CanDrawDirect(s) && y < s->canvas.height && pageBytes * 8 <= s->canvas.width) {
        unsigned char *out = CanvasRow(s->canvas, y);
        if (fresh && WriteFreshRasterRow(out, row, bytes, pageBytes)) return;
        const uint32_t *masks = GetRasterInkMasks();
        int i = 0;
        for (; i + 4 <= bytes; i += 4) {
            uint32_t four;
            memcpy(&four, row + i, 4);
            if (!four) continue;   // most of a form's row is white
            for (int k = i; k < i + 4; k++)
                InkRowByte(masks, out, k, row[k]);
        }
        for (; i < bytes; i++)
            InkRowByte(masks, out, i, row[i]);
        return;
    }
    if (s->logicalOp && CanDrawDirect(s) && y < s->canvas.height && pageBytes * 8 <= s->canvas.width &&
        DrawRasterRowByRop(s, row, bytes, y))
        return;
    // Otherwise: a one-row 1-bit DIB (black, white) through GDI.
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[2];
    } info;
    memset(&info, 0, sizeof info);
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = s->pageWidth;
    info.h.biHeight = 1;
    info.h.biPlanes = 1;
    info.h.biBitCount = 1;
    info.colours[1].rgbRed = info.colours[1].rgbGreen = info.colours[1].rgbBlue = 255;
    unsigned char padded[PAGE_CANVAS_WIDTH / 8 + 4];
    memset(padded, 0, sizeof padded);
    memcpy(padded, row, bytes);
    StretchDIBits(s->dc, 0, y, s->pageWidth, 1, 0, 0, s->pageWidth, 1, padded, (BITMAPINFO *)&info, DIB_RGB_COLORS,
                  s->logicalOp ? s->logicalOp : 0x00220326);
    GdiFlush();
}

static void ShowRasterWarning(PclRenderState *s, const char *text, const char *title)
{
    if (s->rasterWarningShown) return;   // once per page, not once per row
    s->rasterWarningShown = 1;
    ShowMessageBox(NULL, text, title, RASTER_MESSAGE_FLAGS);
}

// Clears the part of the row buffer written since the last clear.
static void ClearRowBuffer(PclRenderState *s)
{
    if (s->rowDirty > 0) memset(gPageWorkBuffer, 0, s->rowDirty);
    s->rowDirty = 0;
}

// Zeroes n bytes (mostly a short tail: inline rather than a library call).
static inline void ClearBytes(unsigned char *p, int n)
{
    if (n < 16 || n > 512) {
        memset(p, 0, n);
        return;
    }
    __m128i zero = _mm_setzero_si128();
    for (int j = 0; j + 16 < n; j += 16) _mm_storeu_si128((__m128i *)(p + j), zero);
    _mm_storeu_si128((__m128i *)(p + n - 16), zero);
}

// After a new row was written over [offset, end) of the row buffer: the rest of what was written
// since the last clear is cleared (as clearing the buffer before the row would, without clearing
// the bytes the row covers).
static void ClearAroundRow(PclRenderState *s, int offset, int end)
{
    int dirty = s->rowDirty;
    if (dirty > PAGE_WORK_BUFFER_SIZE) dirty = PAGE_WORK_BUFFER_SIZE;
    if (offset > 0 && dirty > 0) ClearBytes(gPageWorkBuffer, offset < dirty ? offset : dirty);
    if (end < dirty) ClearBytes(gPageWorkBuffer + end, dirty - end);
    s->rowDirty = end > 0 ? end : 0;
}

static void MarkRowDirty(PclRenderState *s, int end)
{
    if (end > PAGE_WORK_BUFFER_SIZE) end = PAGE_WORK_BUFFER_SIZE;
    if (end > s->rowDirty) s->rowDirty = end;
}

// Makes room for `need` rows of the colour image (at most `height`), doubling as rows arrive.
static int GrowColourImage(unsigned char **image, int *capacity, int need, int height, unsigned int stride)
{
    if (need <= *capacity) return 1;
    int rows = *capacity ? *capacity * 2 : 64;
    if (rows < need) rows = need;
    if (rows > height) rows = height;
    unsigned char *grown = (unsigned char *)MemReAlloc(*image, (size_t)stride * rows);
    if (!grown) return 0;
    *image = grown;
    *capacity = rows;
    return 1;
}

// Colour raster (method 5): blocks of method byte, big-endian length and data, one image row
// each, possibly spread over several ESC * b # W transfers.
static void DrawColourRaster(PclRenderState *s, const unsigned char *data, unsigned int length)
{
    FinishFreshRows(s);   // the image may cover any rows
    s->packedData = NULL;   // the row buffer is used for the image's rows
    int count = s->selectedPalette >= 0 ? s->palettes[s->selectedPalette].count : 0;
    int bits = count == 0 ? 24 : count <= 2 ? 1 : count <= 16 ? 4 : count <= 256 ? 8 : 1;
    int width = s->rasterWidth, height = s->rasterHeight;
    unsigned int stride = width > 0 ? GetDibImageSize32(width, 1, bits) : 0;
    // The row buffer holds one decoded row: wider images, and absurd sizes, are refused.
    if (width <= 0 || height <= 0 || stride == 0 || stride > PAGE_WORK_BUFFER_SIZE ||
        (unsigned long long)stride * (unsigned)height > 64ull * 1024 * 1024) {
        s->stream.pos += length;
        return;
    }
    // The image grows with the rows the transfers carry: an announced size costs nothing until
    // rows arrive.
    unsigned char *image = NULL;
    int imageRows = 0;
    unsigned char *row = gPageWorkBuffer;
    memset(row, 255, PAGE_WORK_BUFFER_SIZE);
    s->rowDirty = PAGE_WORK_BUFFER_SIZE;
    int rows = 0;
    for (;;) {
        unsigned int i = 0;
        while (i + 3 <= length) {
            unsigned char method = data[i];
            unsigned int blockLength = ((unsigned)data[i + 1] << 8) | data[i + 2];
            i += 3;
            if (blockLength > length - i) blockLength = length - i;
            const unsigned char *block = data + i;
            i += blockLength;
            if (method == 0) {
                unsigned int n = blockLength < PAGE_WORK_BUFFER_SIZE ? blockLength : PAGE_WORK_BUFFER_SIZE;
                memcpy(row, block, n);
            } else if (method == 2) {
                DecodePackBits(block, blockLength, row, 0, PAGE_WORK_BUFFER_SIZE);
            } else if (method == 3) {
                ApplyDeltaRow(block, blockLength, row, 0, PAGE_WORK_BUFFER_SIZE);
            } else {
                ShowRasterWarning(s, "Compression method currently not supported [2].", "Warning");
                continue;
            }
            if (rows < height && !GrowColourImage(&image, &imageRows, rows + 1, height, stride)) break;
            if (rows < height) memcpy(image + (size_t)rows * stride, row, stride);
            rows++;
        }
        s->stream.pos += length;
        if (rows >= height) break;
        // More rows to come: the next transfer continues the image when it is another ESC * b # W.
        const unsigned char *d = s->stream.data;
        unsigned int p = s->stream.pos;
        if (p + 2 >= s->stream.end || d[p] != 27 || d[p + 1] != '*' || d[p + 2] != 'b') break;
        PclEscape records[PCL_MAX_ESCAPE_RECORDS];
        unsigned int next;
        int n = ParsePclEscape(d, p, s->stream.end, records, &next);
        if (n <= 0 || records[n - 1].terminator != 'W') break;
        s->stream.pos = next;
        int value = records[n - 1].value;
        unsigned int remaining = s->stream.end - next;
        length = value <= 0 ? 0 : ((unsigned)value > remaining ? remaining : (unsigned)value);
        data = d + next;
    }
    s->rowDirty = PAGE_WORK_BUFFER_SIZE;   // the buffer holds the 255 fill; clear it before mono rows
    if (!image || rows <= 0) {
        MemFree(image);
        return;   // no rows: nothing to draw
    }
    // Rows that never came are not drawn: the destination shrinks with them.
    int announced = height;
    if (rows < height) height = rows;

    // Draw the image at the cursor (less the picture-frame anchor), stretched to the destination.
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } info;
    memset(&info, 0, sizeof info);
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = (LONG)(stride * 8 / bits);
    info.h.biHeight = -height;
    info.h.biPlanes = 1;
    info.h.biBitCount = (WORD)bits;
    if (bits <= 8 && s->selectedPalette >= 0) {
        const PclPalette &pal = s->palettes[s->selectedPalette];
        for (int k = 0; k < (1 << bits); k++) {
            COLORREF c = pal.colours[k];
            info.colours[k].rgbRed = GetRValue(c);
            info.colours[k].rgbGreen = GetGValue(c);
            info.colours[k].rgbBlue = GetBValue(c);
        }
    }
    int srcWidth = width < info.h.biWidth ? width : info.h.biWidth;
    int destWidth = s->destWidth > 0 ? s->destWidth : width;
    int destHeight = s->destHeight > 0 ? (int)((long long)s->destHeight * height / announced) : height;
    HBRUSH brush = CreateSolidBrush(s->hasColour ? s->colour : RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(s->dc, brush);
    int oldMode = SetStretchBltMode(s->dc, 2);
    StretchDIBits(s->dc, s->cursorX - s->anchorX, s->cursorY - s->anchorY, destWidth, destHeight, 0, 0, srcWidth,
                  height, image, (BITMAPINFO *)&info, DIB_RGB_COLORS, s->logicalOp ? s->logicalOp : SRCCOPY);
    SetStretchBltMode(s->dc, oldMode);
    SelectObject(s->dc, oldBrush);
    DeleteObject(brush);
    GdiFlush();
    MemFree(image);
}

// Whether two byte ranges are equal (16 bytes at a time; a row's transfer is short).
static int AreBytesEqual(const unsigned char *a, const unsigned char *b, unsigned int n)
{
    unsigned int i = 0;
    for (; i + 16 <= n; i += 16) {
        __m128i x = _mm_loadu_si128((const __m128i *)(a + i)), y = _mm_loadu_si128((const __m128i *)(b + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)) != 0xFFFF) return 0;
    }
    for (; i < n; i++)
        if (a[i] != b[i]) return 0;
    return 1;
}

void TransferRasterData(PclRenderState *s, int value)
{
    unsigned int remaining = s->stream.end - s->stream.pos;
    unsigned int length = value <= 0 ? 0 : ((unsigned)value > remaining ? remaining : (unsigned)value);
    const unsigned char *data = s->stream.data + s->stream.pos;
    s->rasterSeen = 1;
    int method = s->compression;
    if (method == 5) {
        DrawColourRaster(s, data, length);   // advances the position itself
        return;
    }
    s->stream.pos += length;
    if (method != 0 && method != 2 && method != 3) {
        ShowRasterWarning(s, "Compression method currently not supported [1].", "Warning");
        return;
    }
    if (s->xSet) {
        s->xSet = 0;
        if (s->cursorX % 8) {
            if (!s->xAdjustShown) {
                s->xAdjustShown = 1;
                ShowMessageBox(NULL, "TO DO: X-Adj does not start on a byte boundary.", "Error Message",
                               RASTER_MESSAGE_FLAGS);
            }
        } else if (s->cursorX >= 0 && s->cursorX / 8 < PAGE_WORK_BUFFER_SIZE) {
            s->rasterOffset = s->cursorX / 8;
        }
    }
    if (s->ySet) {
        s->ySet = 0;
        s->rasterRow = s->cursorY;
    }
    if (s->rasterRow >= s->pageHeight) return;
    unsigned char *row = gPageWorkBuffer;
    int offset = s->rasterOffset;
    // A PackBits transfer equal to the last one decoded leaves the row buffer as it is.
    int repeated = method == 2 && s->packedData && s->packedOffset == offset && s->packedLength == length &&
                   AreBytesEqual(s->packedData, data, length);
    if (!repeated) {
        s->packedData = NULL;
        if (method == 0) {
            unsigned int n = length;
            if (n > (unsigned)(PAGE_WORK_BUFFER_SIZE - offset)) n = PAGE_WORK_BUFFER_SIZE - offset;
            memcpy(row + offset, data, n);
            ClearAroundRow(s, offset, offset + (int)n);
        } else if (method == 2) {
            ClearAroundRow(s, offset, (int)DecodePackBits(data, length, row, offset, PAGE_WORK_BUFFER_SIZE));
            s->packedData = data;
            s->packedLength = length;
            s->packedOffset = offset;
        } else {
            if (s->clearSeedRow) ClearRowBuffer(s);
            MarkRowDirty(s, (int)ApplyDeltaRow(data, length, row, offset, PAGE_WORK_BUFFER_SIZE));
        }
    }
    DrawRasterRow(s, row, s->rowDirty, s->rasterRow);
    s->rasterRow++;
    s->clearSeedRow = 0;
}
