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

HBITMAP RenderTextBitmap(const char *text, const SIZE *size, const char *faceName)
{
    if (!text || !*text || !size || size->cx <= 0 || size->cy <= 0) return NULL;
    HBITMAP canvas = CreateDibBitmap(size->cx, size->cy, 1, WHITENESS, NULL, NULL);
    if (!canvas) return NULL;
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, canvas);
    char copy[512];
    lstrcpynA(copy, text, sizeof copy);
    RECT rect = {0, -4, size->cx, size->cy + 4};
    TextDrawParams params;
    memset(&params, 0, sizeof params);
    params.alignment = 5;
    params.textColour = RGB(0, 0, 0);
    params.backColour = RGB(255, 255, 255);
    params.text = copy;
    params.rect = &rect;
    params.backMode = TEXT_BACK_OPAQUE;
    params.fitMode = TEXT_FIT_CLIP;
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    font.lfHeight = 48;
    font.lfWeight = 700;
    lstrcpynA(font.lfFaceName, faceName ? faceName : "", LF_FACESIZE);
    TEXTMETRICA metrics;
    DrawTextInRect(dc, &params, &font, &metrics);
    POINT origin;
    HBITMAP cropped = CropBitmapToInk(dc, canvas, &origin);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(canvas);
    return cropped;
}
