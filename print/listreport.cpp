// listreport.cpp - list reports: a list view printed page by page (title block, column heads,
// rows, summary line, footer), or rendered into page bitmaps for PDF and statement output.
#include "print/print.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

// The state of one report run.
struct ReportRun {
    ListPrintJob *job;
    HDC dc;                  // drawing DC: the printer, or the memory DC of the page bitmaps
    HDC printerDc;           // null when rendering to bitmaps
    HBITMAP pageBitmap;      // bitmap of the page being drawn (bitmaps only; null past the limit)
    HGDIOBJ firstBitmap;     // the memory DC's own bitmap
    int toBitmap;            // pages are drawn into page bitmaps (bitmap output, or a landscape job
                             // on a portrait printer page: the bitmap is turned onto the page)
    int pageOpen;
    int pageNumber;
    int stamp;
    ListReportColumn *columns;
    int columnCount;
    int rowCount;
    HIMAGELIST images;
    int iconWidth, iconHeight;     // device units
    char *cellText;
    int cellSize;
    int rowsTop;             // first row position of the page
    int rowsBottom;          // rows end here
    int y;                   // next row position
    int minRowHeight;
    int rowPercent;          // size of the rows font in percent of the job's (one-row shrinking)
};

static void DeleteReportFonts(ListPrintJob *job)
{
    for (int i = 0; i < LIST_FONT_COUNT; i++) {
        if (job->fonts[i])
            DeleteObject(job->fonts[i]);
        job->fonts[i] = 0;
    }
}

static HFONT CreateReportFont(const ListPrintJob *job, int which, int weight, int italic, float factor)
{
    int height = -MulDiv(job->fontPoints[which], job->fontDpi, 72);
    height = (int)(height * factor);
    if (height == 0)
        height = -1;
    return CreateFontA(height, 0, 0, 0, weight, italic, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, job->fontFaces[which]);
}

// Creates the five fonts; a shrink factor below 1 also applies to the rows and heads fonts.
static void CreateReportFonts(ListPrintJob *job, float shrink, int rowPercent)
{
    DeleteReportFonts(job);
    float rowFactor = shrink * (float)rowPercent / 100.0f;
    job->fonts[LIST_FONT_ROWS] = CreateReportFont(job, LIST_FONT_ROWS, FW_NORMAL, 0, rowFactor);
    job->fonts[LIST_FONT_TITLE] = CreateReportFont(job, LIST_FONT_TITLE, FW_BOLD, 0, 1.0f);
    job->fonts[LIST_FONT_SUBTITLE] = CreateReportFont(job, LIST_FONT_SUBTITLE, FW_NORMAL, 1, 1.0f);
    job->fonts[LIST_FONT_HEADS] = CreateReportFont(job, LIST_FONT_HEADS, FW_NORMAL, 0, shrink);
    job->fonts[LIST_FONT_FOOTER] = CreateReportFont(job, LIST_FONT_FOOTER, FW_NORMAL, 0, 1.0f);
}

static int GetFontLineHeight(HDC dc, HFONT font)
{
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics;
    int height = GetTextMetricsA(dc, &metrics) ? metrics.tmHeight : 0;
    SelectObject(dc, old);
    return height;
}

// Reads the columns from the header control (count, alignment, texts) and the list (widths).
static int ReadReportColumns(ReportRun *run)
{
    ListPrintJob *job = run->job;
    int count = job->header ? (int)SendMessageA(job->header, HDM_GETITEMCOUNT, 0, 0) : 0;
    if (count <= 0)
        return 0;
    if (job->autoSizeColumns) {
        for (int i = 0; i < count; i++)
            AutoSizeListColumn(job->listView, i);
    }
    run->columns = (ListReportColumn *)MemAlloc(64, sizeof(ListReportColumn) * (size_t)count);
    if (!run->columns)
        return 0;
    for (int i = 0; i < count; i++) {
        ListReportColumn *column = &run->columns[i];
        HDITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = HDI_FORMAT | HDI_TEXT | HDI_WIDTH;
        item.pszText = column->head;
        item.cchTextMax = sizeof column->head;
        SendMessageA(job->header, HDM_GETITEMA, i, (LPARAM)&item);
        column->head[sizeof column->head - 1] = 0;
        column->align = (item.fmt & HDF_CENTER) == HDF_CENTER ? DT_CENTER
                        : (item.fmt & HDF_RIGHT) == HDF_RIGHT ? DT_RIGHT : DT_LEFT;
        int width = (int)SendMessageA(job->listView, LVM_GETCOLUMNWIDTH, i, 0);
        column->listWidth = width > 0 ? width : item.cxy;
    }
    run->columnCount = count;
    return count;
}

static int GetTableWidth(const ReportRun *run)
{
    int total = 0;
    for (int i = 0; i < run->columnCount; i++)
        total += run->columns[i].width;
    return total;
}

static int GetTableLeft(const ReportRun *run)
{
    return run->job->marginX + run->job->indent;
}

// Width of a band: the table's, cut at the printable width when the job asks for it.
static int GetBandWidth(const ReportRun *run)
{
    int width = GetTableWidth(run);
    if (run->job->clip && run->job->indent + width > run->job->printableWidth)
        width = run->job->printableWidth - run->job->indent;
    return width > 0 ? width : 0;
}

static void FillSolid(HDC dc, const RECT *rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, rect, brush);
    DeleteObject(brush);
}

static void FrameBlack(HDC dc, const RECT *rect)
{
    FrameRect(dc, rect, (HBRUSH)GetStockObject(BLACK_BRUSH));
}

static void DrawLine(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, 0);
    LineTo(dc, x2, y2);
}

// The artwork at the left of the title block, drawn at the job's artwork scales and fitted to
// the block's height; returns where the title text starts.
static int DrawTitleArtwork(ReportRun *run, const RECT *block, int textLeft)
{
    ListPrintJob *job = run->job;
    COLORREF background = job->titleFill ? job->titleFillColour : RGB(255, 255, 255);
    VectorArtLayer layers[2];
    memset(layers, 0, sizeof layers);
    const VectorArtLayer *table = 0;
    int tableSize = 0;
    if (job->artworkId > 1) {
        // A single outline of the caller's; id 1 is the program's logo (the default table).
        layers[0].resourceId = (uint16_t)job->artworkId;
        table = layers;
        tableSize = sizeof layers;
    }
    HBITMAP art = DrawVectorArt(job->artScaleX, job->artScaleY, 0, 0, 0, 1, background, table, tableSize);
    if (!art)
        return textLeft;
    int width = 0, height = 0;
    GetBitmapSize(art, &width, &height);
    int room = block->bottom - block->top - 2 * job->spaceY10;
    if (width > 0 && height > 0 && room > 0) {
        int drawHeight = height < room ? height : room;
        int drawWidth = (int)((double)width * drawHeight / height);
        HDC artDc = CreateCompatibleDC(run->dc);
        HGDIOBJ old = SelectObject(artDc, art);
        int oldMode = SetStretchBltMode(run->dc, HALFTONE);
        StretchBlt(run->dc, textLeft, block->top + job->spaceY10, drawWidth, drawHeight, artDc, 0, 0, width, height,
                   SRCCOPY);
        SetStretchBltMode(run->dc, oldMode);
        SelectObject(artDc, old);
        DeleteDC(artDc);
        textLeft += drawWidth + job->spaceX20;
    }
    DeleteObject(art);
    return textLeft;
}

// Title block of the first page: title and subtitle lines, optional fill, frame and shadow.
static int DrawTitleBlock(ReportRun *run, int top)
{
    ListPrintJob *job = run->job;
    HDC dc = run->dc;
    int titleHeight = job->title && job->title[0] ? GetFontLineHeight(dc, job->fonts[LIST_FONT_TITLE]) : 0;
    int subtitleHeight = job->subtitle && job->subtitle[0] ? GetFontLineHeight(dc, job->fonts[LIST_FONT_SUBTITLE]) : 0;
    if (titleHeight + subtitleHeight == 0)
        return top;
    RECT block = {job->marginX, top, job->marginX + job->printableWidth,
                  top + titleHeight + subtitleHeight + 2 * job->spaceY10};
    if (job->titleShadow) {
        RECT shadow = block;
        OffsetRect(&shadow, job->spaceY10, job->spaceY10);
        FillSolid(dc, &shadow, RGB(128, 128, 128));
    }
    if (job->titleFill || job->titleShadow)
        FillSolid(dc, &block, job->titleFill ? job->titleFillColour : RGB(255, 255, 255));
    if (job->titleDoubleFrame) {
        FrameBlack(dc, &block);
        RECT inner = block;
        int inset = job->spaceX4 > 1 ? job->spaceX4 : 1;
        InflateRect(&inner, -inset, -inset);
        FrameBlack(dc, &inner);
    }
    int textLeft = block.left + job->spaceX20;
    if (job->titleArtwork)
        textLeft = DrawTitleArtwork(run, &block, textLeft);
    SetTextColor(dc, job->titleTextColour);
    RECT text = {textLeft, block.top + job->spaceY10, block.right - job->spaceX20,
                 block.top + job->spaceY10 + titleHeight};
    if (titleHeight) {
        SelectObject(dc, job->fonts[LIST_FONT_TITLE]);
        DrawTextA(dc, job->title, -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (subtitleHeight) {
        text.top = text.bottom;
        text.bottom = text.top + subtitleHeight;
        SelectObject(dc, job->fonts[LIST_FONT_SUBTITLE]);
        DrawTextA(dc, job->subtitle, -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    int bottom = block.bottom + (job->titleShadow ? job->spaceY10 : 0);
    return bottom + job->spaceY20;
}

// Column heads band; returns the position below it.
static int DrawHeadsBand(ReportRun *run, int top)
{
    ListPrintJob *job = run->job;
    HDC dc = run->dc;
    int lineHeight = GetFontLineHeight(dc, job->fonts[LIST_FONT_HEADS]);
    int height = lineHeight + 2 * job->spaceY6;
    int x = GetTableLeft(run);
    int right = x + GetBandWidth(run);
    SelectObject(dc, job->fonts[LIST_FONT_HEADS]);
    // White text without a fill would not show: then the heads are black.
    COLORREF textColour = job->headTextColour;
    if (!job->headFill && textColour == RGB(255, 255, 255))
        textColour = 0;
    SetTextColor(dc, textColour);
    for (int i = 0; i < run->columnCount && x < right; i++) {
        int cellRight = x + run->columns[i].width;
        if (cellRight > right)
            cellRight = right;
        RECT cell = {x, top, cellRight, top + height};
        if (job->headFill)
            FillSolid(dc, &cell, job->headFillColour);
        if (job->headFrame)
            FrameBlack(dc, &cell);
        RECT text = {cell.left + job->spaceX4, cell.top, cell.right - job->spaceX4, cell.bottom};
        DrawTextA(dc, run->columns[i].head, -1, &text,
                  run->columns[i].align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        if ((job->headFill || !job->headFrame) && i > 0)
            DrawLine(dc, x, top, x, top + height);
        x = cellRight;
    }
    if (!job->headFill && !job->headFrame)
        DrawLine(dc, GetTableLeft(run), top + height, right, top + height);
    return top + height + job->spaceY2;
}

static int GetFooterHeight(ReportRun *run)
{
    return GetFontLineHeight(run->dc, run->job->fonts[LIST_FONT_FOOTER]) + 2 * run->job->spaceY2;
}

static void DrawFooterBand(ReportRun *run, int top)
{
    ListPrintJob *job = run->job;
    HDC dc = run->dc;
    RECT band = {job->marginX, top, job->marginX + job->printableWidth, top + GetFooterHeight(run)};
    if (job->footerFill)
        FillSolid(dc, &band, job->footerFillColour);
    if (job->footerFill || job->footerFrame)
        FrameBlack(dc, &band);
    SelectObject(dc, job->fonts[LIST_FONT_FOOTER]);
    SetTextColor(dc, job->footerTextColour);
    char text[64];
    FormatListReportTime(&job->printTime, text, sizeof text);
    RECT left = {band.left + job->spaceX4, band.top, band.right - job->spaceX4, band.bottom};
    DrawTextA(dc, text, -1, &left, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    snprintf(text, sizeof text, "Page %d", run->pageNumber);
    RECT right = {band.left + (band.right - band.left) / 2, band.top, band.right - job->spaceX4, band.bottom};
    DrawTextA(dc, text, -1, &right, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// Starts a page: StartPage and/or a new page bitmap, stamps, title block (first page), heads
// and footer. Returns 0 when the printer refused the page.
static int BeginReportPage(ReportRun *run)
{
    ListPrintJob *job = run->job;
    if (run->printerDc && run->pageNumber > 0 && gPrintProgressDialog) {
        // Between pages of a printed report the progress dialog's Cancel is seen.
        PumpPrintMessages();
        if (!gPrintJobActive)
            return 0;
    }
    run->pageNumber++;
    if (run->printerDc) {
        if (StartPage(run->printerDc) <= 0) {
            job->failed = 1;
            return 0;
        }
        if (run->stamp && !run->toBitmap)
            DrawPrintStamps(run->printerDc, 0, 1);
    }
    if (run->toBitmap && (run->printerDc || run->pageNumber <= LIST_REPORT_MAX_BITMAPS)) {
        // Bitmap pages past the limit are laid out (to count them) but not kept.
        run->pageBitmap = CreateDibBitmap(job->pageWidth, job->pageHeight, 4, WHITENESS, 0, 0);
        if (run->pageBitmap) {
            SelectObject(run->dc, run->pageBitmap);
            if (run->stamp && !run->printerDc)
                DrawPrintStampsOnDc(run->dc, job->pageWidth, job->pageHeight, 300, 1);
        }
    }
    run->pageOpen = 1;
    SetMapMode(run->dc, MM_TEXT);
    SetBkMode(run->dc, TRANSPARENT);
    SelectObject(run->dc, GetStockObject(BLACK_PEN));
    int top = job->marginY;
    if (run->pageNumber == 1 && job->titleBlock)
        top = DrawTitleBlock(run, top);
    if (job->headsFlag)
        top = DrawHeadsBand(run, top);
    int bottom = job->marginY + job->printableHeight;
    if (job->footerFlag) {
        int footerTop = GetListFooterTop(job, GetFontLineHeight(run->dc, job->fonts[LIST_FONT_FOOTER]));
        DrawFooterBand(run, footerTop);
        bottom = footerTop - job->spaceY10;
    }
    run->rowsTop = run->y = top;
    run->rowsBottom = bottom;
    return 1;
}

// Ends a page: a landscape page bitmap turned by 270 degrees onto the printer page (x' = y,
// y' = VERTRES - x) with the stamps over it, then EndPage; or the page bitmap into the next
// slot (turned 90 degrees when landscape).
static int EndReportPage(ReportRun *run)
{
    if (!run->pageOpen)
        return 1;
    run->pageOpen = 0;
    ListPrintJob *job = run->job;
    HBITMAP page = 0;
    if (run->toBitmap) {
        SelectObject(run->dc, run->firstBitmap);
        page = run->pageBitmap;
        run->pageBitmap = 0;
    }
    if (run->printerDc) {
        if (page) {
            HBITMAP turned = RotateBitmap(page, 270);
            PrintBitmapOnPage(run->printerDc, turned ? turned : page);
            if (turned)
                DeleteObject(turned);
            DeleteObject(page);
            if (run->stamp)
                DrawPrintStamps(run->printerDc, 0, 1);
        }
        if (EndPage(run->printerDc) <= 0) {
            job->failed = 1;
            return 0;
        }
        return 1;
    }
    if (page) {
        if (job->landscape) {
            HBITMAP turned = RotateBitmap(page, 90);
            if (turned) {
                DeleteObject(page);
                page = turned;
            }
        }
        int slot = run->pageNumber - 1;
        if (job->pageBitmaps && slot < LIST_REPORT_MAX_BITMAPS) {
            if (job->pageBitmaps[slot])
                DeleteObject(job->pageBitmaps[slot]);
            job->pageBitmaps[slot] = page;
        } else {
            DeleteObject(page);
        }
    }
    return 1;
}

static int GetIconColumnWidth(const ReportRun *run)
{
    return run->images ? run->iconWidth + 2 * run->job->spaceX4 : 0;
}

// Text rectangle of a cell at top (bottom open).
static RECT GetCellTextRect(const ReportRun *run, int column, int left, int top)
{
    const ListPrintJob *job = run->job;
    RECT rect = {left + job->spaceX4, top + job->spaceY2, left + run->columns[column].width - job->spaceX4,
                 top + job->spaceY2};
    if (column == 0)
        rect.left += GetIconColumnWidth(run) - (run->images ? job->spaceX4 : 0);
    if (rect.right < rect.left)
        rect.right = rect.left;
    return rect;
}

static UINT GetCellFormat(const ReportRun *run, int column, int wrap)
{
    UINT format = run->columns[column].align | DT_NOPREFIX;
    if (run->job->singleLine && !wrap)
        format |= DT_SINGLELINE | DT_WORD_ELLIPSIS;
    else
        format |= DT_WORDBREAK;
    return format;
}

static const char *ReadCellText(ReportRun *run, int row, int column)
{
    run->cellText[0] = 0;
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.iSubItem = column;
    item.pszText = run->cellText;
    item.cchTextMax = run->cellSize;
    SendMessageA(run->job->listView, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    run->cellText[run->cellSize - 1] = 0;
    return run->cellText;
}

// Height of a row: the tallest cell plus twice the 2-pixel spacing, at least the icon height.
static int MeasureRow(ReportRun *run, int row, int wrap)
{
    HDC dc = run->dc;
    SelectObject(dc, run->job->fonts[LIST_FONT_ROWS]);
    int tallest = 0;
    int x = GetTableLeft(run);
    for (int c = 0; c < run->columnCount; c++) {
        const char *text = ReadCellText(run, row, c);
        RECT rect = GetCellTextRect(run, c, x, 0);
        int height = 0;
        if (text[0]) {
            DrawTextA(dc, text, -1, &rect, GetCellFormat(run, c, wrap) | DT_CALCRECT);
            height = rect.bottom - rect.top;
        }
        if (height > tallest)
            tallest = height;
        x += run->columns[c].width;
    }
    int height = tallest + 2 * run->job->spaceY2;
    return height < run->minRowHeight ? run->minRowHeight : height;
}

static void DrawRowIcon(ReportRun *run, int row, int left, int top)
{
    if (!run->images)
        return;
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    if (!SendMessageA(run->job->listView, LVM_GETITEMA, 0, (LPARAM)&item) || item.iImage < 0)
        return;
    // The picture is drawn on white at its own size and copied onto the page: printer drivers
    // take a plain copy reliably, where masked icon drawing onto a printer may fail.
    int cx = 0, cy = 0;
    if (!ImageList_GetIconSize(run->images, &cx, &cy) || cx <= 0 || cy <= 0)
        return;
    HDC memory = CreateCompatibleDC(NULL);
    HBITMAP picture = CreateDibBitmap(cx, cy, 24, WHITENESS, 0, 0);
    if (memory && picture) {
        HGDIOBJ old = SelectObject(memory, picture);
        ImageList_Draw(run->images, item.iImage, memory, 0, 0, ILD_NORMAL);
        StretchBlt(run->dc, left + run->job->spaceX4, top + run->job->spaceY2, run->iconWidth, run->iconHeight, memory,
                   0, 0, cx, cy, SRCCOPY);
        SelectObject(memory, old);
    }
    if (picture)
        DeleteObject(picture);
    if (memory)
        DeleteDC(memory);
}

// Draws a row at run->y with the given height, clipped at clipBottom.
static void DrawRow(ReportRun *run, int row, int height, int clipBottom, int wrap)
{
    HDC dc = run->dc;
    ListPrintJob *job = run->job;
    int top = run->y;
    int bottom = top + height;
    if (bottom > clipBottom)
        bottom = clipBottom;
    int x = GetTableLeft(run);
    SelectObject(dc, job->fonts[LIST_FONT_ROWS]);
    SetTextColor(dc, 0);
    for (int c = 0; c < run->columnCount; c++) {
        const char *text = ReadCellText(run, row, c);
        RECT rect = GetCellTextRect(run, c, x, top);
        rect.bottom = bottom - job->spaceY2;
        if (text[0] && rect.bottom > rect.top)
            DrawTextA(dc, text, -1, &rect, GetCellFormat(run, c, wrap));
        if (c == 0 && top + run->iconHeight <= bottom)
            DrawRowIcon(run, row, x, top);
        x += run->columns[c].width;
    }
    if (job->rowLines && bottom == top + height) {
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
        HGDIOBJ old = SelectObject(dc, pen);
        DrawLine(dc, GetTableLeft(run), bottom - 1, GetTableLeft(run) + GetBandWidth(run), bottom - 1);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

// The summary line: each item's text under its column after the last row.
static int DrawSummaryLine(ReportRun *run)
{
    ListPrintJob *job = run->job;
    if (!job->summaryItems || job->summaryCount <= 0)
        return 1;
    HDC dc = run->dc;
    SelectObject(dc, job->fonts[LIST_FONT_ROWS]);
    int height = 0;
    for (int i = 0; i < job->summaryCount; i++) {
        const ListSummaryItem *item = &job->summaryItems[i];
        if (!item->text || item->column < 0 || item->column >= run->columnCount)
            continue;
        RECT rect = {0, 0, run->columns[item->column].width, 0};
        DrawTextA(dc, item->text, -1, &rect, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        if (rect.bottom > height)
            height = rect.bottom;
    }
    height += 2 * job->spaceY2;
    if (run->y + height > run->rowsBottom && run->y > run->rowsTop) {
        if (!EndReportPage(run) || !BeginReportPage(run))
            return 0;
        SelectObject(dc, job->fonts[LIST_FONT_ROWS]);
    }
    SetTextColor(dc, 0);
    for (int i = 0; i < job->summaryCount; i++) {
        const ListSummaryItem *item = &job->summaryItems[i];
        if (!item->text || item->column < 0 || item->column >= run->columnCount)
            continue;
        int x = GetTableLeft(run);
        for (int c = 0; c < item->column; c++)
            x += run->columns[c].width;
        RECT rect = {x + job->spaceX4, run->y + job->spaceY2, x + run->columns[item->column].width - job->spaceX4,
                     run->y + height};
        DrawTextA(dc, item->text, -1, &rect, run->columns[item->column].align | DT_SINGLELINE | DT_NOPREFIX);
    }
    run->y += height;
    return 1;
}

// Lays out and draws every row, page by page. Returns 0 when the printer refused a page.
static int DrawReportRows(ReportRun *run)
{
    ListPrintJob *job = run->job;
    for (int row = 0; row < run->rowCount; row++) {
        int height = MeasureRow(run, row, 0);
        int clipped = 0;
        int wrap = 0;
        if (!ListRowFitsOnPage(run->y, height, run->rowsBottom)) {
            if (run->rowCount == 1) {
                // One row only: smaller type, 1 % at a time, until it fits; from the 21st step it
                // is drawn with word breaks and clipped above the footer.
                for (int step = 1; step <= 21; step++) {
                    if (step == 21) {
                        clipped = wrap = 1;
                        break;
                    }
                    run->rowPercent = 100 - step;
                    CreateReportFonts(job, job->shrink, run->rowPercent);
                    height = MeasureRow(run, row, 0);
                    if (ListRowFitsOnPage(run->y, height, run->rowsBottom))
                        break;
                }
            } else if (run->y > run->rowsTop) {
                if (!EndReportPage(run) || !BeginReportPage(run))
                    return 0;
                if (!ListRowFitsOnPage(run->y, height, run->rowsBottom))
                    clipped = 1;
            } else {
                // Taller than a whole page: drawn clipped on its own page.
                clipped = 1;
            }
        }
        int clipBottom = clipped ? run->rowsBottom : run->y + height;
        DrawRow(run, row, height, clipBottom, wrap);
        run->y += height;
        if (clipped && run->y > run->rowsBottom)
            run->y = run->rowsBottom;
    }
    return 1;
}

int PrintListReport(HWND owner, HDC printerDc, ListPrintJob *job, int stamp)
{
    if (!job || !job->listView)
        return 0;
    job->failed = 0;
    job->pagesProduced = 0;
    GetLocalTime(&job->printTime);
    HDC screen = GetDC(0);
    int screenDpiX = GetDeviceCaps(screen, LOGPIXELSX);
    int screenDpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(0, screen);
    int bitmapWidth = 0, bitmapHeight = 0;
    if (!printerDc && gPageCanvasBitmap)
        GetBitmapSize(gPageCanvasBitmap, &bitmapWidth, &bitmapHeight);
    SetListReportGeometry(job, printerDc, bitmapWidth, bitmapHeight, screenDpiX, screenDpiY);

    ReportRun run;
    memset(&run, 0, sizeof run);
    run.job = job;
    run.printerDc = printerDc;
    run.stamp = stamp;
    run.rowPercent = 100;
    run.toBitmap = !printerDc || job->rotated;
    if (!run.toBitmap) {
        run.dc = printerDc;
    } else {
        HDC reference = GetDC(gMainWindow);
        run.dc = CreateCompatibleDC(reference);
        ReleaseDC(gMainWindow, reference);
        if (!run.dc)
            return 0;
        run.firstBitmap = GetCurrentObject(run.dc, OBJ_BITMAP);
    }
    int saved = SaveDC(run.dc);
    SetMapMode(run.dc, MM_TEXT);
    int pages = 0;
    if (ReadReportColumns(&run)) {
        run.rowCount = (int)SendMessageA(job->listView, LVM_GETITEMCOUNT, 0, 0);
        float shrink = LayoutListColumns(job, run.columns, run.columnCount);
        if (shrink < 1.0f) {
            job->spaceX4 = (int)(job->spaceX4 * shrink);
            job->spaceX20 = (int)(job->spaceX20 * shrink);
            job->spaceY20 = (int)(job->spaceY20 * shrink);
            job->spaceY10 = (int)(job->spaceY10 * shrink);
            job->spaceY6 = (int)(job->spaceY6 * shrink);
            job->spaceY2 = (int)(job->spaceY2 * shrink);
        }
        CreateReportFonts(job, shrink, 100);
        run.images = (HIMAGELIST)SendMessageA(job->listView, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
        if (run.images) {
            int cx = 0, cy = 0;
            ImageList_GetIconSize(run.images, &cx, &cy);
            run.iconWidth = (int)(cx * job->scaleX);
            run.iconHeight = (int)(cy * job->scaleY);
            run.minRowHeight = run.iconHeight;
        }
        run.cellSize = (job->maxCellText > 0 ? job->maxCellText : 260) + 1;
        run.cellText = (char *)MemAlloc(64, (size_t)run.cellSize);
        if (run.cellText && BeginReportPage(&run)) {
            if (DrawReportRows(&run) && DrawSummaryLine(&run))
                EndReportPage(&run);
        }
        if (run.toBitmap && run.pageOpen) {
            // A refused page leaves no bitmap behind.
            SelectObject(run.dc, run.firstBitmap);
            if (run.pageBitmap)
                DeleteObject(run.pageBitmap);
            run.pageBitmap = 0;
        }
        pages = run.pageNumber;
    }
    RestoreDC(run.dc, saved);
    DeleteReportFonts(job);
    if (run.toBitmap)
        DeleteDC(run.dc);
    MemFree(run.cellText);
    MemFree(run.columns);
    job->pagesProduced = job->failed ? 0 : pages;
    return job->pagesProduced;
}
