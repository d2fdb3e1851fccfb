// statement_grid.cpp - the statement grid's list view: columns and title from the statement's
// column fields, rows to and from the storage rows, row numbers, the running totals below the
// last row, the print job of the grid, and output of a statement through a hidden list view.
#include "entry/statements/statements_private.h"
#include "entry/editbar/editbar.h"
#include "pages/pages.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

StatementGridState gStatementGrid;
int gStatementImportReplaces;

// ---- columns ----

static int GetColumnFormat(const FieldRecord *field, int amount)
{
    const char *type = field && field->typeCode ? field->typeCode : "";
    int length = GetFieldLength(field);
    if (type[0] == 'X' || type[0] == 'x' || (type[0] == 'V' && type[1] == '='))
        return LVCFMT_CENTER;
    if (amount || ((type[0] == 'N' || type[0] == 'G') && length == 2))
        return LVCFMT_RIGHT;
    return LVCFMT_LEFT;
}

int SetupGridColumns(StatementGridState *state)
{
    HWND grid = state->grid;
    while (SendMessageA(grid, LVM_DELETECOLUMN, 0, 0))
        ;
    state->columns = state->group.columns;
    snprintf(state->title, sizeof state->title, " ");
    HDC dc = GetDC(grid);
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageA(grid, WM_GETFONT, 0, 0));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    LVCOLUMNA column;
    memset(&column, 0, sizeof column);
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_RIGHT;
    column.cx = 22;
    column.pszText = (char *)"";
    SendMessageA(grid, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    for (int k = 0; k < state->columns; k++) {
        FieldRecord *field = GetStatementColumnField(&state->group, k);
        state->columnFields[k] = field;
        state->amount[k] = IsStatementAmountColumn(field);
        char header[STATEMENT_CELL_SIZE + 2], title[STATEMENT_CELL_SIZE];
        GetStatementColumnHeader(field, header, STATEMENT_CELL_SIZE, title, sizeof title);
        if (title[0] && strcmp(state->title, " ") == 0)
            snprintf(state->title, sizeof state->title, " %s", title);
        if (state->amount[k])
            AppendTextBounded(header, sizeof header, " ");
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(dc, header, (int)strlen(header), &extent);
        int length = GetFieldLength(field);
        if (length > 60)
            length = 60;
        int width = length * metrics.tmAveCharWidth;
        column.fmt = GetColumnFormat(field, state->amount[k]);
        column.cx = (extent.cx > width ? extent.cx : width) + 20;
        column.pszText = header;
        column.iSubItem = k + 1;
        SendMessageA(grid, LVM_INSERTCOLUMNA, k + 1, (LPARAM)&column);
        // The header item's data is its total flag.
        HWND headerControl = (HWND)SendMessageA(grid, LVM_GETHEADER, 0, 0);
        HDITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = HDI_LPARAM;
        item.lParam = state->amount[k];
        SendMessageA(headerControl, HDM_SETITEMA, k + 1, (LPARAM)&item);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(grid, dc);
    return state->columns;
}

void UpdateHeaderTooltips(StatementGridState *state, int always)
{
    HWND header = (HWND)SendMessageA(state->grid, LVM_GETHEADER, 0, 0);
    if (!state->dialog || !header || (!always && !IsWindowVisible(header)))
        return;
    if (!state->tooltip)
        state->tooltip = CreateTooltipWindow(state->dialog, 0, 0);
    if (!state->tooltip)
        return;
    const char *caption = state->title[0] == ' ' ? state->title + 1 : state->title;
    for (int k = 0; k < state->columns; k++) {
        TOOLINFOA info;
        memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.uFlags = TTF_SUBCLASS;
        info.hwnd = header;
        info.uId = (UINT_PTR)(k + 1);
        SendMessageA(header, HDM_GETITEMRECT, k + 1, (LPARAM)&info.rect);
        if (state->tooltipsAdded) {
            SendMessageA(state->tooltip, TTM_NEWTOOLRECTA, 0, (LPARAM)&info);
            continue;
        }
        char hint[1024];
        BuildFieldHintText(hint, sizeof hint, caption, EDIT_REQUESTER_GRID, state->columnFields[k], NULL, NULL);
        info.lpszText = hint;
        SendMessageA(state->tooltip, TTM_ADDTOOLA, 0, (LPARAM)&info);
    }
    state->tooltipsAdded = 1;
}

// ---- rows ----

static int GetGridLimit(HWND grid)
{
    return grid == gStatementGrid.grid && gStatementGrid.limit ? gStatementGrid.limit : GetStatementRowLimit();
}

static void SetRowNumber(HWND grid, int row, int limit)
{
    char number[16] = "";
    if (row < limit)
        snprintf(number, sizeof number, "%d ", row + 1);
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.iSubItem = 0;
    item.pszText = number;
    SendMessageA(grid, LVM_SETITEMTEXTA, row, (LPARAM)&item);
}

// Appends row n when n is at most limit (the row at the limit has no number); empty cells.
static int InsertGridRow(HWND grid, int n, int limit)
{
    if (!grid || n < 0 || n > limit)
        return 0;
    char number[16] = "";
    if (n < limit)
        snprintf(number, sizeof number, "%d ", n + 1);
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = n;
    item.pszText = number;
    int row = (int)SendMessageA(grid, LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (row < 0)
        return 0;
    HWND header = (HWND)SendMessageA(grid, LVM_GETHEADER, 0, 0);
    int columns = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    for (int k = 1; k < columns; k++) {
        LVITEMA cell;
        memset(&cell, 0, sizeof cell);
        cell.iSubItem = k;
        cell.pszText = (char *)"";
        SendMessageA(grid, LVM_SETITEMTEXTA, row, (LPARAM)&cell);
    }
    return 1;
}

int FillGridRowNumbers(HWND grid, int n)
{
    return InsertGridRow(grid, n, GetGridLimit(grid));
}

void RenumberGridRows(StatementGridState *state, int from)
{
    int count = (int)SendMessageA(state->grid, LVM_GETITEMCOUNT, 0, 0);
    for (int r = from < 0 ? 0 : from; r < count; r++)
        SetRowNumber(state->grid, r, state->limit);
}

static void SetCellText(HWND grid, int row, int column, const char *text)
{
    LVITEMA cell;
    memset(&cell, 0, sizeof cell);
    cell.iSubItem = column;
    cell.pszText = (char *)text;
    SendMessageA(grid, LVM_SETITEMTEXTA, row, (LPARAM)&cell);
}

int FillStatementGrid(StatementGridState *state, StatementRows *rows)
{
    SendMessageA(state->grid, LVM_DELETEALLITEMS, 0, 0);
    int row = 0;
    for (int r = 0; r < rows->count; r++) {
        if (!InsertGridRow(state->grid, row, state->limit))
            break;
        for (int k = 0; k < state->columns; k++)
            SetCellText(state->grid, row, k + 1, StatementCell(rows, r, k));
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = (LPARAM)rows->marks[r];
        SendMessageA(state->grid, LVM_SETITEMA, 0, (LPARAM)&item);
        row++;
    }
    InsertGridRow(state->grid, row, state->limit);   // the entry row
    return row;
}

int ReadGridRows(StatementGridState *state, StatementRows *rows)
{
    int count = (int)SendMessageA(state->grid, LVM_GETITEMCOUNT, 0, 0);
    InitStatementRows(rows, state->columns, count + 1);
    for (int r = 0; r < count; r++) {
        int row = AppendStatementRow(rows);
        if (row < 0)
            break;
        for (int k = 0; k < state->columns; k++) {
            LVITEMA cell;
            memset(&cell, 0, sizeof cell);
            cell.iSubItem = k + 1;
            cell.pszText = StatementCell(rows, row, k);
            cell.cchTextMax = STATEMENT_CELL_SIZE;
            SendMessageA(state->grid, LVM_GETITEMTEXTA, r, (LPARAM)&cell);
        }
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_PARAM;
        item.iItem = r;
        if (SendMessageA(state->grid, LVM_GETITEMA, 0, (LPARAM)&item))
            rows->marks[row] = (uint32_t)item.lParam;
    }
    return rows->count;
}

void WriteGridCells(StatementGridState *state, StatementRows *rows)
{
    for (int r = 0; r < rows->count; r++)
        for (int k = 0; k < state->columns; k++)
            SetCellText(state->grid, r, k + 1, StatementCell(rows, r, k));
}

int ExportGridRowText(HWND grid, int row, char *buffer, int bufferSize, char delimiter)
{
    HWND header = (HWND)SendMessageA(grid, LVM_GETHEADER, 0, 0);
    int columns = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) - 1;
    if (columns > STATEMENT_MAX_COLUMNS)
        columns = STATEMENT_MAX_COLUMNS;
    char cells[STATEMENT_MAX_COLUMNS][STATEMENT_CELL_SIZE];
    const char *texts[STATEMENT_MAX_COLUMNS];
    for (int k = 0; k < columns; k++) {
        LVITEMA cell;
        memset(&cell, 0, sizeof cell);
        cell.iSubItem = k + 1;
        cell.pszText = cells[k];
        cell.cchTextMax = STATEMENT_CELL_SIZE;
        cells[k][0] = 0;
        SendMessageA(grid, LVM_GETITEMTEXTA, row, (LPARAM)&cell);
        texts[k] = cells[k];
    }
    return BuildRowText(texts, columns < 0 ? 0 : columns, delimiter, buffer, bufferSize, NULL);
}

// ---- totals ----

int CreateTotalLabels(StatementGridState *state)
{
    int count = 0;
    for (int k = 0; k < state->columns; k++)
        count += state->amount[k];
    state->totalCount = count;
    state->totals = count ? (StatementTotal *)MemAlloc(64, sizeof(StatementTotal) * (size_t)count) : NULL;
    if (count && !state->totals) {
        state->totalCount = 0;
        return 0;
    }
    HFONT font = (HFONT)SendMessageA(state->grid, WM_GETFONT, 0, 0);
    int t = 0;
    for (int k = 0; k < state->columns; k++) {
        if (!state->amount[k])
            continue;
        StatementTotal *total = &state->totals[t];
        total->column = k;
        total->ungrouped = state->wide && t == 0;
        if (state->dialog) {
            total->label = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_RIGHT | SS_CENTERIMAGE,
                                           0, 0, 10, 10, state->grid, NULL, gInstance, NULL);
            if (total->label)
                SendMessageA(total->label, WM_SETFONT, (WPARAM)font, 0);
        }
        t++;
    }
    return count;
}

void FreeTotalLabels(StatementGridState *state)
{
    for (int t = 0; t < state->totalCount; t++)
        if (state->totals[t].label)
            DestroyWindow(state->totals[t].label);
    state->totals = (StatementTotal *)MemFree(state->totals);
    state->totalCount = 0;
}

void PositionTotalLabels(StatementGridState *state)
{
    int count = (int)SendMessageA(state->grid, LVM_GETITEMCOUNT, 0, 0);
    if (count <= 0)
        return;
    for (int t = 0; t < state->totalCount; t++) {
        StatementTotal *total = &state->totals[t];
        if (!total->label)
            continue;
        RECT cell;
        cell.left = LVIR_BOUNDS;
        cell.top = total->column + 1;
        cell.right = cell.bottom = 0;
        if (!SendMessageA(state->grid, LVM_GETSUBITEMRECT, count - 1, (LPARAM)&cell))
            continue;
        int height = cell.bottom - cell.top;
        // Under the last row; when the rows fill the grid that place is outside it, and the
        // total stays readable at the grid's bottom edge instead.
        RECT client;
        GetClientRect(state->grid, &client);
        int top = cell.bottom;
        if (top + height + 2 > client.bottom)
            top = client.bottom - height - 2;
        SetWindowPos(total->label, HWND_TOP, cell.left, top, cell.right - cell.left, height + 2, SWP_NOACTIVATE);
    }
    UpdateHeaderTooltips(state, 0);
    InvalidateRect(state->grid, NULL, TRUE);
}

int UpdateStatementTotals(StatementGridState *state, int show)
{
    if (!state->totalCount)
        return 0;
    StatementRows rows;
    ReadGridRows(state, &rows);
    for (int t = 0; t < state->totalCount; t++) {
        StatementTotal *total = &state->totals[t];
        SumStatementTotal(&rows, total);
        if (show && total->label) {
            char text[40];
            snprintf(text, sizeof text, " %s  ", total->text);
            SetWindowTextA(total->label, text);
        }
    }
    FreeStatementRows(&rows);
    return state->totalCount;
}

void RefreshGridTotals(StatementGridState *state)
{
    PositionTotalLabels(state);
    UpdateStatementTotals(state, 1);
}

// ---- printing ----

void BuildStatementPrintJob(StatementGridState *state, ListPrintJob *job, char *titleOut, int titleSize,
                            ListSummaryItem *summary)
{
    InitListPrintJob(job, state->grid);
    const char *title = state->title;
    while (*title == ' ')
        title++;
    // The statement's own title when it has one, the page's caption under it.
    if (*title) {
        snprintf(titleOut, (size_t)titleSize, "%s", title);
        job->subtitle = state->caption;
    } else {
        snprintf(titleOut, (size_t)titleSize, "%s", state->caption);
    }
    job->title = titleOut;
    job->headsFlag = 1;
    job->footerFlag = 1;
    job->centre = 1;
    job->maxCellText = STATEMENT_CELL_SIZE - 1;
    job->landscape = state->wide;
    for (int t = 0; t < state->totalCount; t++) {
        summary[t].column = state->totals[t].column + 1;
        summary[t].text = state->totals[t].text;
    }
    job->summaryItems = state->totalCount ? summary : NULL;
    job->summaryCount = state->totalCount;
}

// ---- output through a hidden list view ----

// Renders the statement list of params->field into up to LIST_REPORT_MAX_BITMAPS page bitmaps;
// returns the pages produced. Nothing is stored.
int RenderStatementGridOutput(StatementParams *params, HBITMAP *slots)
{
    if (!params || !params->page || !params->page->fieldTable || !slots)
        return 0;
    StatementGridState *state = (StatementGridState *)MemAlloc(64, sizeof(StatementGridState));
    if (!state)
        return 0;
    state->params = params;
    int pages = 0;
    if (FindStatementGroup(params->page->fieldTable, params->field, &state->group)) {
        state->wide = params->page->landscape != 0;
        state->limit = STATEMENT_ROW_LIMIT_EMPLOYMENT;
        snprintf(state->caption, sizeof state->caption, "%s", params->caption ? params->caption : "");
        if (state->group.head->line && state->group.head->line[0]) {
            AppendTextBounded(state->caption, sizeof state->caption, ", Line ");
            AppendTextBounded(state->caption, sizeof state->caption, state->group.head->line);
        }
        state->grid = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT | LVS_NOSORTHEADER, 0, 0, 1200,
                                      800, NULL, NULL, gInstance, NULL);
    }
    if (state->grid) {
        SendMessageA(state->grid, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
        SetupGridColumns(state);
        StatementRows rows;
        InitStatementRows(&rows, state->columns, state->limit);
        LoadStatementRows(&state->group, NULL, 0, &rows);
        FillStatementGrid(state, &rows);
        FreeStatementRows(&rows);
        // No entry row on paper.
        int count = (int)SendMessageA(state->grid, LVM_GETITEMCOUNT, 0, 0);
        if (count > 0)
            SendMessageA(state->grid, LVM_DELETEITEM, count - 1, 0);
        CreateTotalLabels(state);
        UpdateStatementTotals(state, 0);
        ListPrintJob job;
        char title[STATEMENT_CELL_SIZE + 64];
        ListSummaryItem summary[STATEMENT_MAX_COLUMNS];
        BuildStatementPrintJob(state, &job, title, sizeof title, summary);
        job.pageBitmaps = slots;
        pages = PrintListReport(gMainWindow, NULL, &job, 1);
        FreeTotalLabels(state);
        DestroyWindow(state->grid);
    }
    MemFree(state);
    return pages;
}
