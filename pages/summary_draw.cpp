// summary_draw.cpp - drawing the Summary and Status pages: one row of a table below a running
// position (DrawSummaryRow), the whole page with its title block and footer
// (RenderSummaryPage), and the redraw of the page shown after its status changed.
//
// The page is always a 2400 x 3168 portrait page with 4 bits per pixel and the standard 16
// colours, whatever page the view showed before, so printed and PDF pages never depend on it.
#include "pages/pages.h"
#include "pages/summary_private.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <string.h>

#define SUMMARY_ICON_SIZE 48
#define SUMMARY_VALUE_ICON 307
#define SUMMARY_FOOTER_ROOM 150 // wrapped texts stop above the footer

static void DrawSummaryIcon(HDC dc, int icon, int x, int y)
{
    HINSTANCE instance = gInstance ? gInstance : GetModuleHandleA(NULL);
    HBITMAP bitmap = (HBITMAP)LoadImageA(instance, MAKEINTRESOURCEA(IDB_SUMMARY_ICON_BASE + icon), IMAGE_BITMAP, 0, 0,
                                         LR_VGACOLOR | LR_CREATEDIBSECTION);
    if (!bitmap)
        return; // a missing icon is simply not drawn
    BITMAP info;
    if (GetObjectA(bitmap, sizeof info, &info)) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, bitmap);
        // The icons are drawn on white: their white background leaves the page as it is.
        StretchBlt(dc, x, y, SUMMARY_ICON_SIZE, SUMMARY_ICON_SIZE, source, 0, 0, info.bmWidth, info.bmHeight, SRCAND);
        SelectObject(source, old);
        DeleteDC(source);
    }
    DeleteObject(bitmap);
}

// The height of the word-wrapped text in a rectangle of width, in the font.
static int MeasureWrappedHeight(HDC dc, const char *text, const wchar_t *wide, int width, const LOGFONTA *font)
{
    HFONT handle = CreateFontIndirectA(font);
    HGDIOBJ old = SelectObject(dc, handle);
    RECT rect = {0, 0, width, 0};
    if (text)
        DrawTextA(dc, text, -1, &rect, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    else if (wide)
        DrawTextW(dc, wide, -1, &rect, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(handle);
    return rect.bottom - rect.top;
}

// Draws text (or wide) in rect with the row's colour, then its spans from the fourth to the
// first. Returns the height the text took when wrapped, else the rectangle's.
static int DrawRowText(HDC dc, const SummaryRow *row, const char *text, const wchar_t *wide, COLORREF colour, RECT rect,
                       int wrap, TextDrawParams *params, LOGFONTA *font)
{
    char *work = text ? DuplicateText(text) : NULL; // spans cut the text they draw
    if (text && !work)
        return 0;
    int height = rect.bottom - rect.top;
    if (wrap)
        height = MeasureWrappedHeight(dc, work, wide, rect.right - rect.left - 2 * (int16_t)params->inset, font);
    TextDrawParams saved = *params;
    params->text = work;
    params->wideText = work ? NULL : wide;
    params->textColour = colour;
    params->rect = &rect;
    params->fitMode = wrap ? TEXT_FIT_WRAP : TEXT_FIT_SHRINK;
    params->measureOnce = wrap;
    DrawTextInRect(dc, params, font, NULL);
    for (int i = 3; i >= 0 && work; i--) {
        const SummarySpan *span = &row->spans[i];
        if (span->colour)
            DrawTextSpanInColor(dc, params, font, span->colour, (int)span->start, (int)span->end);
    }
    *params = saved;
    MemFree(work);
    return height;
}

int DrawSummaryRow(HDC dc, const SummaryRow *row, TextDrawParams *params, LOGFONTA *font, const BITMAP *pageBitmap,
                   int *y, int gapAfterLast)
{
    if (!dc || !row || !params || !font || !pageBitmap || !y)
        return 0;
    int width = pageBitmap->bmWidth, pageHeight = pageBitmap->bmHeight;
    int top = *y;
    int wrap = row->kind == SUMMARY_ROW_PARAGRAPH;
    int heading = row->kind == SUMMARY_ROW_HEADING;
    int textBottom = wrap ? pageHeight - SUMMARY_FOOTER_ROOM : top + 48;
    if (textBottom < top + 48)
        textBottom = top + 48;
    RECT labelRect = {168, top, 695, top + 48};
    RECT valueRect = {768, top, width - 110, textBottom};
    RECT lineRect = {168, top, width - 100, textBottom};
    font->lfHeight = 48;
    font->lfWeight = 400;
    if (heading) {
        POINT frame[5] = {
            {95, top - 10}, {width - 95, top - 10}, {width - 95, top + 58}, {95, top + 58}, {95, top - 11}};
        Polyline(dc, frame, 5);
        font->lfHeight = 60;
        font->lfWeight = 700;
        lineRect.bottom = top + 48;
    }
    if (row->icon)
        DrawSummaryIcon(dc, row->icon, 100, top);

    int drawn = 0;
    const char *label = row->label;
    const wchar_t *wideLabel = label ? NULL : row->wideLabel;
    if (label || wideLabel) {
        if (row->kind == SUMMARY_ROW_FOOTER) {
            RECT page = {0, 0, width - 1, pageHeight - 1};
            TextDrawParams saved = *params;
            LONG savedHeight = font->lfHeight;
            font->lfHeight = 38;
            params->alignment = (int)row->align;
            params->inset = 0;
            params->noBottomMargin = 1;
            DrawRowText(dc, row, label, wideLabel, row->labelColour, page, 0, params, font);
            *params = saved;
            font->lfHeight = savedHeight;
            return 1;
        }
        if (heading)
            DrawRowText(dc, row, label, wideLabel, row->labelColour, lineRect, 0, params, font);
        else if (!row->value)
            drawn = DrawRowText(dc, row, label, wideLabel, row->labelColour, lineRect, wrap, params, font);
        else {
            SummaryRow plain = *row; // the spans belong to the value
            memset(plain.spans, 0, sizeof plain.spans);
            DrawRowText(dc, &plain, label, wideLabel, row->labelColour, labelRect, 0, params, font);
        }
    }
    if (row->value) {
        DrawSummaryIcon(dc, SUMMARY_VALUE_ICON, 700, top);
        drawn = DrawRowText(dc, row, row->value, NULL, row->valueColour, valueRect, wrap, params, font);
    }

    int advance = heading ? 100 : 80;
    if (wrap && drawn + 30 > advance)
        advance = drawn + 30;
    const SummaryRow *next = row + 1;
    int nextEnds = !next->icon && !next->label && !next->wideLabel && !next->value;
    if (nextEnds)
        advance += gapAfterLast ? 80 : 0;
    else if (!next->icon)
        advance -= 40;
    *y = top + advance;
    return 1;
}

int DrawSummaryTable(HDC dc, const SummaryTable *table, TextDrawParams *params, LOGFONTA *font,
                     const BITMAP *pageBitmap, int *y, int gapAfterLast)
{
    int drawn = 0;
    for (int i = 0; i < table->count && i < SUMMARY_TABLE_ROWS; i++) {
        const SummaryRow *row = &table->rows[i];
        if (!row->icon && !row->label && !row->wideLabel && !row->value)
            break;
        drawn += DrawSummaryRow(dc, row, params, font, pageBitmap, y, gapAfterLast);
    }
    return drawn;
}

// 1 when bitmap is a 2400 x 3168 page of 4 bits per pixel.
static int IsSummaryCanvas(HBITMAP bitmap)
{
    int width = 0, height = 0;
    return bitmap && GetBitmapSize(bitmap, &width, &height) && width == PAGE_CANVAS_WIDTH &&
           height == PAGE_CANVAS_HEIGHT && GetBitmapBitsPerPixel(bitmap) == 4;
}

// The logo at the top right and the title with its grey copy; returns the title's bottom.
static int DrawTitleBlock(HDC dc, int mode, int width, TextDrawParams *params, const LOGFONTA *baseFont)
{
    int logoHeight = 0;
    HBITMAP logo = DrawVectorArt(0.55, 0.55, 1, 0, 2, 10, RGB(255, 255, 255), NULL, 0);
    if (logo) {
        int logoWidth = 0;
        GetBitmapSize(logo, &logoWidth, &logoHeight);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, logo);
        BitBlt(dc, width - logoWidth - 100, 150, logoWidth, logoHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        DeleteObject(logo);
    }
    const char *title = mode == 1 ? "Tax Return Summary" : "Tax Return Status";
    int top = logoHeight / 3 + 117;
    RECT rect = {100, top, width, top + 125};
    RECT shadow = rect;
    OffsetRect(&shadow, 5, 5);
    SummaryRow plain = {};
    LOGFONTA font = *baseFont;
    font.lfHeight = 125;
    font.lfWeight = 700;
    DrawRowText(dc, &plain, title, NULL, SUMMARY_GREY, shadow, 0, params, &font);
    font.lfHeight = 125;
    DrawRowText(dc, &plain, title, NULL, SUMMARY_BLACK, rect, 0, params, &font);
    return rect.bottom;
}

static void SetProgress(HWND progressBar, int position)
{
    if (progressBar)
        SendMessageA(progressBar, PBM_SETPOS, (WPARAM)position, 0);
}

static void DrawSummaryContent(HDC dc, int mode, const SummaryFacts *facts, HWND progressBar, TextDrawParams *params,
                               LOGFONTA *font, const BITMAP *page)
{
    int y = DrawTitleBlock(dc, mode, page->bmWidth, params, font) + 160;
    SummaryTable table = {};
    BuildSummaryFooterRows(facts, mode, &table);
    DrawSummaryTable(dc, &table, params, font, page, &y, 0);
    BuildSummaryInfoRows(facts, mode == 2, &table);
    DrawSummaryTable(dc, &table, params, font, page, &y, 1);
    int progress = 10;
    if (mode == 1) {
        int options = 0;
        BuildSummaryMessageRows(facts, &table, &options);
        DrawSummaryTable(dc, &table, params, font, page, &y, 1);
        if (options) {
            BuildSummaryOptionRows(facts, &table);
            DrawSummaryTable(dc, &table, params, font, page, &y, 1);
        }
    } else {
        int raise = 0;
        BuildStatusParagraphRows(facts, &table, &raise);
        y -= raise;
        DrawSummaryTable(dc, &table, params, font, page, &y, 1);
        for (int part = 0; part < SUMMARY_PARTS; part++) {
            if (!facts->present[part])
                continue;
            BuildPartHeadingRows(facts, part, &table);
            DrawSummaryTable(dc, &table, params, font, page, &y, 0);
            BuildPartStatusRows(facts, part, &table);
            DrawSummaryTable(dc, &table, params, font, page, &y, 1);
            progress += 25;
            SetProgress(progressBar, progress);
        }
    }
    FreeSummaryTable(&table);
}

HBITMAP RenderSummaryPage(HWND progressBar, OpenReturn *returnRecord, int mode, int forPrint)
{
    SetProgress(progressBar, 10);
    SummaryFacts *facts = (SummaryFacts *)MemAlloc(64, sizeof(SummaryFacts));
    if (!facts) {
        SetProgress(progressBar, 100);
        return NULL;
    }
    GatherSummaryFacts(returnRecord, facts);

    HBITMAP target = NULL;
    if (forPrint) {
        target = CreateDibBitmap(PAGE_CANVAS_WIDTH, PAGE_CANVAS_HEIGHT, 4, WHITENESS, NULL, NULL);
    } else {
        if (!IsSummaryCanvas(gPageBitmap)) {
            // Another page's image (landscape, another depth, none): the page gets its own canvas.
            HBITMAP canvas = CreateDibBitmap(PAGE_CANVAS_WIDTH, PAGE_CANVAS_HEIGHT, 4, WHITENESS, NULL, NULL);
            if (canvas) {
                if (gPageBitmap)
                    DeleteObject(gPageBitmap);
                gPageBitmap = canvas;
                gPageBitmapSize.cx = PAGE_CANVAS_WIDTH;
                gPageBitmapSize.cy = PAGE_CANVAS_HEIGHT;
            }
        }
        target = IsSummaryCanvas(gPageBitmap) ? gPageBitmap : NULL;
    }
    if (!target) {
        MemFree(facts);
        SetProgress(progressBar, 100);
        return NULL;
    }

    HDC screen = GetDC(gPageViewWindow);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ oldBitmap = SelectObject(dc, target);
    if (!forPrint) {
        LoadCanvasPalette(dc, 0);
        PatBlt(dc, 0, 0, PAGE_CANVAS_WIDTH, PAGE_CANVAS_HEIGHT, WHITENESS);
    }
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);

    BITMAP page = {};
    page.bmWidth = PAGE_CANVAS_WIDTH;
    page.bmHeight = PAGE_CANVAS_HEIGHT;
    page.bmBitsPixel = 4;
    RECT whole = {0, 0, PAGE_CANVAS_WIDTH, PAGE_CANVAS_HEIGHT};
    LOGFONTA font = {};
    font.lfHeight = 60;
    font.lfWeight = 500;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
    TextDrawParams params = {};
    params.alignment = 7;
    params.inset = 2;
    params.textColour = SUMMARY_BLACK;
    params.backColour = RGB(255, 255, 255);
    params.rect = &whole;

    if (mode == 1 || mode == 2) {
        DrawSummaryContent(dc, mode, facts, progressBar, &params, &font, &page);
    } else {
        SummaryRow plain = {};
        params.alignment = 6;
        DrawRowText(dc, &plain, "This page intentionally left blank.", NULL, SUMMARY_BLACK, whole, 0, &params, &font);
    }
    GdiFlush();

    SelectObject(dc, oldPen);
    DeleteObject(pen);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    ReleaseDC(gPageViewWindow, screen);
    MemFree(facts);
    SetProgress(progressBar, 100);
    return forPrint ? target : NULL;
}

int RefreshSummaryPage(HTREEITEM treeItem)
{
    if (!treeItem || (treeItem != gTreeSummaryItem && treeItem != gTreeStatusItem))
        return 0;
    // Only the page shown is redrawn: gPageBitmap is its image.
    if ((HTREEITEM)GetCurrentDocument(1) != treeItem)
        return 0;
    RenderSummaryPage(NULL, NULL, treeItem == gTreeSummaryItem ? 1 : 2, 0);
    gPageViewFlags |= PAGE_VIEW_NEWPAGE;
    if (gPageViewWindow)
        InvalidateRect(gPageViewWindow, NULL, FALSE);
    return 1;
}
