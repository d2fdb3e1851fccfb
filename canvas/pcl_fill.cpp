// PCL rectangle fills (ESC * c # P): black, white, shading percentages and hatch patterns.
#include "canvas/canvas.h"
#include <string.h>

// The shading levels as they appear on the page: the 8 x 8 pattern (bit 1 = black, first pixel
// in the high bit, anchored at the canvas origin) left by the pattern brush and the inversion.
static const unsigned char kShade3to10[8] = {0x80, 0, 0, 0, 0, 0, 0, 0};               // one dot
static const unsigned char kShade11to20[8] = {0x88, 0, 0x22, 0, 0x88, 0, 0x22, 0};      // eight dots
static const unsigned char kShade21to35[8] = {0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22};
static const unsigned char kShade36to55[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};   // checkerboard
static const unsigned char kShade56to81[8] = {0xFF, 0x55, 0xFF, 0xAA, 0xFF, 0x55, 0xFF, 0xAA};

const unsigned char *GetPclShadePattern(int percent)
{
    if (percent < 3 || percent >= 82) return NULL;
    if (percent <= 10) return kShade3to10;
    if (percent <= 20) return kShade11to20;
    if (percent <= 35) return kShade21to35;
    if (percent <= 55) return kShade36to55;
    return kShade56to81;
}

// Fills [x0, x1) x [y0, y1) of the 4-bit canvas: with pattern (null = solid) black on white, or
// solid with index.
static void FillDirect(const CanvasBits &c, int x0, int y0, int x1, int y1, const unsigned char *pattern,
                       unsigned char index)
{
    for (int y = y0; y < y1; y++) {
        unsigned char *row = CanvasRow(c, y);
        unsigned char bits = pattern ? pattern[y & 7] : 0;
        int x = x0;
        if (!pattern) {
            if (x & 1) {
                row[x >> 1] = (unsigned char)((row[x >> 1] & 0xF0) | index);
                x++;
            }
            int pairs = (x1 - x) / 2;
            memset(row + (x >> 1), index * 17, pairs);
            x += pairs * 2;
            if (x < x1) row[x >> 1] = (unsigned char)((row[x >> 1] & 0x0F) | (index << 4));
            continue;
        }
        for (; x < x1; x++) {
            unsigned char v = (bits & (0x80 >> (x & 7))) ? 0 : 15;
            unsigned char *p = row + (x >> 1);
            if (x & 1) *p = (unsigned char)((*p & 0xF0) | v);
            else *p = (unsigned char)((*p & 0x0F) | (v << 4));
        }
    }
}

// The same through GDI (when a clip region is selected): a pattern brush of the shading.
static void FillWithGdi(PclRenderState *s, int x0, int y0, int x1, int y1, const unsigned char *pattern,
                        DWORD rop)
{
    if (!pattern) {
        PatBlt(s->dc, x0, y0, x1 - x0, y1 - y0, rop);
        return;
    }
    WORD words[8];
    for (int i = 0; i < 8; i++) words[i] = (WORD)(unsigned char)~pattern[i];   // 1 bits are white
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, words);
    HBRUSH brush = CreatePatternBrush(bitmap);
    COLORREF oldText = SetTextColor(s->dc, RGB(0, 0, 0)), oldBk = SetBkColor(s->dc, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(s->dc, brush);
    SetBrushOrgEx(s->dc, 0, 0, NULL);
    PatBlt(s->dc, x0, y0, x1 - x0, y1 - y0, PATCOPY);
    SelectObject(s->dc, old);
    SetTextColor(s->dc, oldText);
    SetBkColor(s->dc, oldBk);
    DeleteObject(brush);
    DeleteObject(bitmap);
}

void FillPclRectangle(PclRenderState *s, int fillType)
{
    long long lx0 = s->cursorX, ly0 = s->cursorY;
    long long lx1 = lx0 + s->rectWidth, ly1 = ly0 + s->rectHeight;
    if (lx0 < 0) lx0 = 0;
    if (ly0 < 0) ly0 = 0;
    if (lx1 > s->pageWidth) lx1 = s->pageWidth;
    if (ly1 > s->pageHeight) ly1 = s->pageHeight;
    if (lx1 <= lx0 || ly1 <= ly0) return;
    int x0 = (int)lx0, y0 = (int)ly0, x1 = (int)lx1, y1 = (int)ly1;
    int direct = CanDrawDirect(s) && x1 <= s->canvas.width && y1 <= s->canvas.height;
    const unsigned char *pattern = NULL;
    int solid = -1;   // 0 black, 1 white
    if (fillType == 0) solid = 0;
    else if (fillType == 1) solid = 1;
    else if (fillType == 2) {
        int p = s->fillId;
        if (p >= 82) solid = 0;
        else if (p < 3) solid = 1;
        else pattern = GetPclShadePattern(p);
    } else if (fillType == 3) {
        int id = s->fillId;
        if (id < 1 || id > 6) return;
        static const int styles[6] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
        HBRUSH brush = CreateHatchBrush(styles[id - 1], RGB(0, 0, 0));
        COLORREF oldBk = SetBkColor(s->dc, RGB(255, 255, 255));
        int oldMode = SetBkMode(s->dc, OPAQUE);
        RECT r = {x0, y0, x1, y1};
        FillRect(s->dc, &r, brush);
        SetBkMode(s->dc, oldMode);
        SetBkColor(s->dc, oldBk);
        DeleteObject(brush);
        GdiFlush();
        return;
    } else {
        return;
    }
    GdiFlush();
    if (pattern) {
        if (direct) FillDirect(s->canvas, x0, y0, x1, y1, pattern, 0);
        else FillWithGdi(s, x0, y0, x1, y1, pattern, PATCOPY);
    } else if (solid >= 0) {
        if (direct) FillDirect(s->canvas, x0, y0, x1, y1, NULL, solid ? 15 : 0);
        else FillWithGdi(s, x0, y0, x1, y1, NULL, solid ? WHITENESS : BLACKNESS);
    }
    GdiFlush();
}
