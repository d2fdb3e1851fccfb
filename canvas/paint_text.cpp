// paint_text.cpp - drawing one text in a rectangle: the shrink loop that fits the font, the
// alignment codes, boxed text that shows only inside a drawn box, word-wrapped and wide texts.
#include "canvas/canvas.h"

#include <stdlib.h>
#include <string.h>

// Heights at or below this end the shrink loop.
#define SHRINK_MIN_HEIGHT 30

static int AbsHeight(const LOGFONTA *font)
{
    return font->lfHeight < 0 ? -font->lfHeight : font->lfHeight;
}

// Takes two units off the font height, keeping its sign.
static void ShrinkFontHeight(LOGFONTA *font)
{
    if (font->lfHeight < 0) font->lfHeight += 2;
    else font->lfHeight -= 2;
}

static HFONT CreateWideFont(const LOGFONTA *font)
{
    LOGFONTW wide;
    memset(&wide, 0, sizeof(wide));
    memcpy(&wide, font, offsetof(LOGFONTA, lfFaceName));
    MultiByteToWideChar(CP_ACP, 0, font->lfFaceName, -1, wide.lfFaceName, LF_FACESIZE);
    wide.lfFaceName[LF_FACESIZE - 1] = 0;
    return CreateFontIndirectW(&wide);
}

// Measures the word-wrapped text in work; returns the measured rectangle.
static RECT MeasureWrapped(HDC dc, const TextDrawParams *params, const RECT &work)
{
    RECT measured = work;
    if (params->text)
        DrawTextA(dc, params->text, -1, &measured, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    else
        DrawTextW(dc, params->wideText, -1, &measured, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    return measured;
}

// Copies rect of dc and fills the enclosed area of the box around the copy's centre with black:
// combined back with SRCPAINT after the text, it keeps the text only inside that area.
static HBITMAP CaptureBoxMask(HDC dc, const RECT &rect, HDC *maskDcOut, HGDIOBJ *oldOut)
{
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return NULL;
    HBITMAP mask = CreateDibBitmap(width, height, 24, 0, NULL, NULL);
    if (!mask) return NULL;
    HDC maskDc = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(maskDc, mask);
    BitBlt(maskDc, 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
    COLORREF inside = GetPixel(maskDc, width / 2, height > 1 ? 1 : 0);
    HBRUSH black = (HBRUSH)GetStockObject(BLACK_BRUSH);
    HGDIOBJ oldBrush = SelectObject(maskDc, black);
    ExtFloodFill(maskDc, width / 2, height / 2, inside, FLOODFILLSURFACE);
    SelectObject(maskDc, oldBrush);
    *maskDcOut = maskDc;
    *oldOut = old;
    return mask;
}

int DrawTextInRect(HDC dc, TextDrawParams *params, LOGFONTA *logFont, TEXTMETRICA *metricsOut)
{
    if (!dc || !params || !logFont || !params->rect) return 0;
    if (!params->text && !params->wideText) return 0;
    if (!params->text) params->fitMode = TEXT_FIT_WRAP;
    int margin = params->noBottomMargin ? 0 : 2;
    RECT work = *params->rect;
    work.left += (int16_t)params->inset;
    work.right -= (int16_t)params->inset;
    int workWidth = work.right - work.left, workHeight = work.bottom - work.top;

    UINT oldAlign = SetTextAlign(dc, 0);
    HFONT font = CreateFontIndirectA(logFont);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int textLength = params->text ? (int)strlen(params->text) : 0;

    // Shrink loop: smaller fonts until the text fits (or the floor is reached).
    for (;;) {
        int fits;
        if (params->fitMode == TEXT_FIT_WRAP) {
            if (params->measureOnce) break;
            RECT measured = MeasureWrapped(dc, params, work);
            fits = measured.right <= work.right && measured.bottom <= work.bottom;
        } else {
            SIZE size = {0, 0};
            if (params->text) GetTextExtentPoint32A(dc, params->text, textLength, &size);
            fits = params->widthOnly ? size.cx <= workWidth : (size.cx <= workWidth && size.cy <= workHeight);
            if (!fits && params->fitMode == TEXT_FIT_CLIP) break;
        }
        if (fits || AbsHeight(logFont) <= SHRINK_MIN_HEIGHT) break;
        ShrinkFontHeight(logFont);
        SelectObject(dc, oldFont);
        DeleteObject(font);
        font = CreateFontIndirectA(logFont);
        SelectObject(dc, font);
    }
    int height = AbsHeight(logFont);
    if (height < SHRINK_MIN_HEIGHT + 1 && params->fitMode == TEXT_FIT_SHRINK) params->fitMode = TEXT_FIT_CLIP;

    TEXTMETRICA metrics;
    memset(&metrics, 0, sizeof(metrics));
    GetTextMetricsA(dc, &metrics);
    if (metricsOut) *metricsOut = metrics;

    int x = work.left, y = work.top;
    UINT align = TA_TOP | TA_LEFT;
    switch (params->alignment) {
    case 5: x = work.left; y = work.top + metrics.tmAscent; align = TA_BASELINE | TA_LEFT; break;
    case 6: x = (work.left + work.right) / 2; y = (work.top + work.bottom) / 2 - height / 2; align = TA_TOP | TA_CENTER; break;
    case 7: x = work.left; y = work.bottom - margin; align = TA_BOTTOM | TA_LEFT; break;
    case 8: x = (work.left + work.right) / 2; y = work.bottom - margin; align = TA_BOTTOM | TA_CENTER; break;
    case 9: x = work.right; y = work.bottom - margin; align = TA_BOTTOM | TA_RIGHT; break;
    case 10: x = work.left; y = work.top; align = TA_TOP | TA_LEFT; break;
    case 11: x = (work.left + work.right) / 2; y = work.top; align = TA_TOP | TA_CENTER; break;
    case 12: x = work.right; y = work.top; align = TA_TOP | TA_RIGHT; break;
    case 13: x = (work.left + work.right) / 2; y = (work.bottom - work.top) / 3; align = TA_BASELINE | TA_CENTER; break;
    case 14: x = (work.left + work.right) / 2; y = 2 * (work.bottom - work.top) / 3; align = TA_BASELINE | TA_CENTER; break;
    default: break;
    }

    SetTextColor(dc, params->textColour);
    SetBkColor(dc, params->backColour);
    int oldMode = SetBkMode(dc, params->backMode == TEXT_BACK_OPAQUE ? OPAQUE : TRANSPARENT);

    HDC maskDc = NULL;
    HGDIOBJ oldMask = NULL;
    HBITMAP mask = params->boxed ? CaptureBoxMask(dc, *params->rect, &maskDc, &oldMask) : NULL;

    if (params->fitMode == TEXT_FIT_WRAP && params->text) {
        SetTextAlign(dc, TA_TOP | TA_LEFT);
        if (params->alignment == 7) work.top -= margin / 2;
        RECT measured = MeasureWrapped(dc, params, work);
        RECT target = work;
        int measuredHeight = measured.bottom - measured.top;
        if (measuredHeight < work.bottom - work.top) {
            target = measured;
            if (params->alignment == 6) OffsetRect(&target, 0, ((work.bottom - work.top) - measuredHeight) / 2);
        }
        DrawTextA(dc, params->text, -1, &target, DT_WORDBREAK | DT_NOPREFIX);
    } else if (params->fitMode == TEXT_FIT_WRAP) {
        SetTextAlign(dc, TA_TOP | TA_LEFT);
        HFONT wideFont = CreateWideFont(logFont);
        HGDIOBJ previous = SelectObject(dc, wideFont);
        RECT target = work;
        DrawTextW(dc, params->wideText, -1, &target, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
        target = work;
        DrawTextW(dc, params->wideText, -1, &target, DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, previous);
        DeleteObject(wideFont);
    } else {
        SetTextAlign(dc, align);
        // The characters are placed at the advances that were measured, so a text that was found
        // to fit is drawn exactly that wide (some renderers space glyphs of palette bitmaps wider).
        INT *advances = textLength > 0 ? (INT *)MemAlloc(64, (size_t)textLength * sizeof(INT)) : NULL;
        SIZE size = {0, 0};
        if (advances && GetTextExtentExPointA(dc, params->text, textLength, 0, NULL, advances, &size)) {
            for (int i = textLength - 1; i > 0; i--) advances[i] -= advances[i - 1];
        } else {
            advances = (INT *)MemFree(advances);
            if (params->text) GetTextExtentPoint32A(dc, params->text, textLength, &size);
        }
        if (params->fitMode == TEXT_FIT_CLIP && size.cx > workWidth && (align & (TA_RIGHT | TA_CENTER))) {
            // Too wide even at the smallest font: the text's start (an amount's sign and its
            // leading digits) stays in the field and the end is clipped, never the other way round.
            align = (align & ~(TA_RIGHT | TA_CENTER)) | TA_LEFT;
            x = work.left;
            SetTextAlign(dc, align);
        }
        ExtTextOutA(dc, x, y, params->fitMode == TEXT_FIT_CLIP ? ETO_CLIPPED : 0, &work, params->text,
                    (UINT)textLength, advances);
        MemFree(advances);
    }

    if (mask) {
        const RECT &r = *params->rect;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, maskDc, 0, 0, SRCPAINT);
        SelectObject(maskDc, oldMask);
        DeleteDC(maskDc);
        DeleteObject(mask);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SetTextAlign(dc, oldAlign);
    SetBkMode(dc, oldMode);
    return 1;
}

int DrawTextSpanInColor(HDC dc, TextDrawParams *params, LOGFONTA *logFont, COLORREF colour, int spanStart,
                        int spanEnd)
{
    if (!params || !params->text) return 0;
    int length = (int)strlen(params->text);
    if (spanEnd > length) spanEnd = length;
    if (spanStart < 0) spanStart = 0;
    if (spanStart > spanEnd) spanStart = spanEnd;
    COLORREF own = params->textColour;
    params->text[spanEnd] = 0;
    params->textColour = colour;
    DrawTextInRect(dc, params, logFont, NULL);
    params->text[spanStart] = 0;
    params->textColour = own;
    return DrawTextInRect(dc, params, logFont, NULL);
}
