// Bitmap toolkit: the field text colour in a page's palette, ink cropping and typed signatures.
#include "canvas/canvas.h"
#include <string.h>

int EnsureTextColorInPalette(HDC dc)
{
    return EnsureColorInPalette(dc, GetFieldTextColor(NULL));
}

HBITMAP CropBitmapToInk(HDC dc, HBITMAP bitmap, POINT *originOut)
{
    if (originOut) originOut->x = originOut->y = 0;
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm) return NULL;
    HDC source = dc;
    HGDIOBJ old = NULL;
    if (!source) {
        source = CreateCompatibleDC(NULL);
        if (!source) return NULL;
        old = SelectObject(source, bitmap);
    }
    HBITMAP result = NULL;
    RECT ink;
    if (FindPageContentRows(source, &bm, &ink) && ink.right > ink.left && ink.bottom > ink.top) {
        int w = ink.right - ink.left, h = ink.bottom - ink.top;
        result = CreateDibBitmap(w, h, 1, WHITENESS, NULL, NULL);
        if (result) {
            HDC target = CreateCompatibleDC(NULL);
            HGDIOBJ oldTarget = SelectObject(target, result);
            BitBlt(target, 0, 0, w, h, source, ink.left, ink.top, SRCCOPY);
            SelectObject(target, oldTarget);
            DeleteDC(target);
            if (originOut) {
                originOut->x = ink.left;
                originOut->y = ink.top;
            }
        }
    }
    if (!dc) {
        SelectObject(source, old);
        DeleteDC(source);
    }
    return result;
}

// The text drawn whole at one font height onto a canvas of its own measure, with a margin of
// the font height all round for the strokes a script face draws past its cell (no clipping),
// cropped to its ink.
static HBITMAP RenderWholeText(const char *text, const char *faceName, int height)
{
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    font.lfHeight = height;
    font.lfWeight = 700;
    lstrcpynA(font.lfFaceName, faceName ? faceName : "", LF_FACESIZE);
    HFONT handle = CreateFontIndirectA(&font);
    HDC dc = handle ? CreateCompatibleDC(NULL) : NULL;
    if (!dc) {
        if (handle) DeleteObject(handle);
        return NULL;
    }
    HGDIOBJ oldFont = SelectObject(dc, handle);
    int length = (int)strlen(text);
    SIZE extent = {0, 0};
    int margin = height < 0 ? -height : height;
    HBITMAP canvas = NULL;
    if (GetTextExtentPoint32A(dc, text, length, &extent) && extent.cx > 0 && extent.cy > 0 &&
        extent.cx <= PAGE_CANVAS_WIDTH * 4)
        canvas = CreateDibBitmap(extent.cx + 2 * margin, extent.cy + 2 * margin, 1, WHITENESS, NULL, NULL);
    HBITMAP cropped = NULL;
    if (canvas) {
        HGDIOBJ old = SelectObject(dc, canvas);
        SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, margin, margin, text, length);
        POINT origin;
        cropped = CropBitmapToInk(dc, canvas, &origin);
        SelectObject(dc, old);
        DeleteObject(canvas);
    }
    SelectObject(dc, oldFont);
    DeleteObject(handle);
    DeleteDC(dc);
    return cropped;
}

HBITMAP RenderTextBitmap(const char *text, const SIZE *size, const char *faceName, int height)
{
    if (!text || !*text || !size || size->cx <= 0 || size->cy <= 0) return NULL;
    if (height == 0) height = 48;
    int sign = height < 0 ? -1 : 1, units = height < 0 ? -height : height;
    // The whole text, at the asked height or smaller until its ink fits the size: a long name is
    // made smaller, never cut.
    for (int tries = 0; tries < 16; tries++) {
        HBITMAP typed = RenderWholeText(text, faceName, sign * units);
        int width = 0, inkHeight = 0;
        if (!typed || !GetBitmapSize(typed, &width, &inkHeight)) return typed;
        if ((width <= size->cx && inkHeight <= size->cy) || units <= TYPED_TEXT_MIN_HEIGHT) return typed;
        DeleteObject(typed);
        double fit = (double)size->cx / width;
        if ((double)size->cy / inkHeight < fit) fit = (double)size->cy / inkHeight;
        int next = (int)(units * fit);
        if (next >= units) next = units - 1;
        units = next < TYPED_TEXT_MIN_HEIGHT ? TYPED_TEXT_MIN_HEIGHT : next;
    }
    return RenderWholeText(text, faceName, sign * units);
}
