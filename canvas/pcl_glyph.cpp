// PCL soft fonts: character and header downloads into the FormRecord store, and the glyph painter.
#include "canvas/canvas.h"
#include "canvas/pcl_guards.h"
#include <string.h>

int gPclCharacterCode;

static int ReadBe16(const uint8_t *p)
{
    return (int16_t)(uint16_t)((p[0] << 8) | p[1]);
}

static int ReadBeU16(const uint8_t *p)
{
    return (p[0] << 8) | p[1];
}

void DownloadPclCharacter(PclRenderState *s, const unsigned char *data, unsigned int length)
{
    FormRecord *record = gCurrentFormRecord;
    int code = gPclCharacterCode;
    // A download shorter than its descriptor, or for a code above 254, is passed over.
    if (!record || length < 16 || code < 0 || code > 254) return;
    FontCharSlot &slot = record->chars[code];
    if (slot.rows) return;   // a stored character is never replaced
    unsigned int bytes = length - 16;
    if (bytes > 65535) bytes = 65535;
    if (!bytes) return;   // no bitmap rows: the slot stays empty
    slot.rows = (uint8_t *)MemAlloc(64, bytes);
    if (!slot.rows) return;
    memcpy(slot.descriptor, data, 16);
    memcpy(slot.rows, data + 16, bytes);
    slot.byteCount = (uint16_t)bytes;
}

void DownloadPclFontHeader(PclRenderState *s, const unsigned char *data, unsigned int length)
{
    FormRecord *record = gCurrentFormRecord;
    if (!record) return;
    unsigned int n = length < 64 ? length : 64;
    memcpy(record->fontHeader, data, n);
}

// Colour-table index of white in the canvas, per 4-bit index.
static int IsWhiteIndex(HDC dc, int index)
{
    RGBQUAD q;
    if (GetDIBColorTable(dc, index, 1, &q) != 1) return 0;
    return q.rgbRed == 255 && q.rgbGreen == 255 && q.rgbBlue == 255;
}

static int CanvasPixelIndex(const CanvasBits &c, int x, int y)
{
    const unsigned char *row = CanvasRow(c, y);
    return (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
}

// Writes the glyph's ink straight into the 4-bit canvas as palette index `index`, clipped.
static void WriteGlyphDirect(const CanvasBits &c, const uint8_t *rows, int rowBytes, int width, int height, int x0,
                             int y0, unsigned char index)
{
    // Only the part of the glyph that lies on the canvas is visited (worked out in 64 bits, so a
    // glyph placed far off the canvas cannot wrap around onto it).
    long long firstRow64 = y0 < 0 ? -(long long)y0 : 0, endRow64 = (long long)c.height - y0;
    long long firstCol64 = x0 < 0 ? -(long long)x0 : 0, endCol64 = (long long)c.width - x0;
    if (endRow64 > height) endRow64 = height;
    if (endCol64 > width) endCol64 = width;
    if (firstRow64 >= endRow64 || firstCol64 >= endCol64) return;
    int firstRow = (int)firstRow64, endRow = (int)endRow64, firstCol = (int)firstCol64, endCol = (int)endCol64;
    if (WriteGlyphBytes(c, rows, rowBytes, width, height, x0, y0, index)) return;
    int firstByte = firstCol / 8, endByte = (endCol + 7) / 8;
    for (int gy = firstRow; gy < endRow; gy++) {
        unsigned char *out = CanvasRow(c, y0 + gy);
        const uint8_t *in = rows + (size_t)gy * rowBytes;
        for (int b = firstByte; b < endByte; b++) {
            unsigned char bits = in[b];
            if (!bits) continue;
            for (int k = 0; k < 8; k++) {
                if (!(bits & (0x80 >> k))) continue;
                int gx = b * 8 + k;
                if (gx < firstCol) continue;
                if (gx >= endCol) break;
                int x = x0 + gx;
                unsigned char *p = out + (x >> 1);
                if (x & 1) *p = (unsigned char)((*p & 0xF0) | index);
                else *p = (unsigned char)((*p & 0x0F) | (index << 4));
            }
        }
    }
}

// The glyph's rows as a 1-bit DIB block (rows padded to 32 bits) for GDI drawing.
static unsigned char *PadGlyphRows(const uint8_t *rows, int rowBytes, int height, int *strideOut)
{
    int stride = (rowBytes + 3) & ~3;
    unsigned char *block = (unsigned char *)MemAlloc(64, (size_t)stride * height);
    if (!block) return NULL;
    for (int y = 0; y < height; y++) memcpy(block + (size_t)y * stride, rows + (size_t)y * rowBytes, rowBytes);
    *strideOut = stride;
    return block;
}

struct GlyphInfo {
    BITMAPINFOHEADER h;
    RGBQUAD colours[2];
};

static void FillGlyphInfo(GlyphInfo *info, int width, int height, RGBQUAD zero, RGBQUAD one)
{
    memset(info, 0, sizeof *info);
    info->h.biSize = sizeof(BITMAPINFOHEADER);
    info->h.biWidth = width;
    info->h.biHeight = -height;
    info->h.biPlanes = 1;
    info->h.biBitCount = 1;
    info->colours[0] = zero;
    info->colours[1] = one;
}

// Draws a coloured glyph through GDI: SRCAND on a white box, else through a mask of its ink.
static void DrawColourGlyph(PclRenderState *s, const unsigned char *block, int width, int height, int x, int y,
                            int dw, int dh)
{
    RGBQUAD white = {255, 255, 255, 0};
    RGBQUAD colour = {GetBValue(s->colour), GetGValue(s->colour), GetRValue(s->colour), 0};
    GlyphInfo info;
    FillGlyphInfo(&info, width, height, white, colour);   // ink (1) in the colour, the rest white
    int boxWhite = 1;
    if (s->canvas.row0 && s->canvas.bitsPerPixel == 4) {
        int xs[2] = {x, x + dw - 1}, ys[2] = {y, y + dh - 1};
        for (int i = 0; i < 2; i++)
            for (int j = 0; j < 2; j++) {
                int px = xs[i], py = ys[j];
                if (px < 0 || py < 0 || px >= s->canvas.width || py >= s->canvas.height) continue;
                if (!IsWhiteIndex(s->dc, CanvasPixelIndex(s->canvas, px, py))) boxWhite = 0;
            }
    }
    if (boxWhite) {
        StretchDIBits(s->dc, x, y, dw, dh, 0, 0, width, height, block, (BITMAPINFO *)&info, DIB_RGB_COLORS, SRCAND);
        return;
    }
    // Through a mask of the glyph's own ink: foreground SRCCOPY, background keeps the destination.
    HDC glyphDc = CreateCompatibleDC(s->dc);
    HBITMAP glyph = CreateCompatibleBitmap(s->dc, dw, dh);
    HBITMAP mask = CreateBitmap(dw, dh, 1, 1, NULL);
    if (glyphDc && glyph && mask) {
        HGDIOBJ old = SelectObject(glyphDc, glyph);
        StretchDIBits(glyphDc, 0, 0, dw, dh, 0, 0, width, height, block, (BITMAPINFO *)&info, DIB_RGB_COLORS,
                      SRCCOPY);
        HDC maskDc = CreateCompatibleDC(NULL);
        HGDIOBJ oldMask = SelectObject(maskDc, mask);
        GlyphInfo monoInfo;
        RGBQUAD black = {0, 0, 0, 0};
        FillGlyphInfo(&monoInfo, width, height, black, white);
        StretchDIBits(maskDc, 0, 0, dw, dh, 0, 0, width, height, block, (BITMAPINFO *)&monoInfo, DIB_RGB_COLORS,
                      SRCCOPY);
        SelectObject(maskDc, oldMask);
        DeleteDC(maskDc);
        MaskedBlt(s->dc, x, y, dw, dh, glyphDc, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029));
        SelectObject(glyphDc, old);
    }
    if (glyph) DeleteObject(glyph);
    if (mask) DeleteObject(mask);
    if (glyphDc) DeleteDC(glyphDc);
}

int DrawPclGlyph(PclRenderState *s, int code)
{
    FormRecord *record = gCurrentFormRecord;
    if (!record || code < 0 || code > 254) return 0;
    const FontCharSlot &slot = record->chars[code];
    if (!slot.rows) return 0;   // no bits: nothing drawn, the cursor stays
    const uint8_t *d = slot.descriptor;
    int left = ReadBe16(d + 6), top = ReadBe16(d + 8);
    int width = ReadBeU16(d + 10), height = ReadBeU16(d + 12), deltaX = ReadBe16(d + 14);
    int unit = s->unitDivisor > 0 ? s->unitDivisor : 1;
    int rowBytes = (width + 7) / 8;
    // Only as many rows as the download holds are drawn.
    if (rowBytes > 0 && height > slot.byteCount / rowBytes) height = slot.byteCount / rowBytes;
    if (rowBytes > 0 && height > 0) {
        int x = ClampPclPosition((long long)s->cursorX + left / unit - s->anchorX);
        int y = ClampPclPosition((long long)s->cursorY - top / unit - s->anchorY);
        int dw = width / unit, dh = height / unit;
        int black = !s->hasColour || (s->colour & 0xFFFFFF) == 0;
        int white = s->hasColour && (s->colour & 0xFFFFFF) == 0xFFFFFF;
        // GDI's queue was flushed by DrawPclText before the run and after each glyph drawn through GDI.
        if ((black || white) && unit == 1 && CanDrawDirect(s)) {
            // Black ink: DSna onto the canvas; white ink: SRCPAINT. Both are plain index writes.
            WriteGlyphDirect(s->canvas, slot.rows, rowBytes, width, height, x, y, black ? 0 : 15);
        } else if (dw > 0 && dh > 0) {
            int stride;
            unsigned char *block = PadGlyphRows(slot.rows, rowBytes, height, &stride);
            if (block) {
                COLORREF oldText = SetTextColor(s->dc, RGB(0, 0, 0));
                COLORREF oldBk = SetBkColor(s->dc, RGB(255, 255, 255));
                if (black || white) {
                    GlyphInfo info;
                    RGBQUAD b = {0, 0, 0, 0}, w = {255, 255, 255, 0};
                    FillGlyphInfo(&info, width, height, b, w);
                    StretchDIBits(s->dc, x, y, dw, dh, 0, 0, width, height, block, (BITMAPINFO *)&info,
                                  DIB_RGB_COLORS, black ? 0x00220326 : SRCPAINT);
                } else {
                    DrawColourGlyph(s, block, width, height, x, y, dw, dh);
                }
                SetTextColor(s->dc, oldText);
                SetBkColor(s->dc, oldBk);
                GdiFlush();
                MemFree(block);
            }
        }
    }
    s->cursorX = ClampPclPosition((long long)s->cursorX + deltaX / 4 / unit);
    return 1;
}

int DrawPclText(PclRenderState *s, const unsigned char *bytes, int count)
{
    GdiFlush();   // once a run: the glyphs write into the canvas bits after whatever GDI drew
    int i = 0;
    while (i < count) {
        int code = bytes[i];
        if (code == 0x80) {
            // A two-byte code: 0x80 and n give 254 - n (254 and 255 give 0).
            if (i + 1 >= count) return count;
            int n = bytes[i + 1];
            code = n <= 253 ? 254 - n : 0;
            i += 2;
        } else {
            i++;
        }
        DrawPclGlyph(s, code);
    }
    return i;
}
