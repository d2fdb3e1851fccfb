// statement_grid_dialog.cpp - the modal "STATEMENT" dialog: opening (rows, columns, totals,
// size and place), colours of the cells, OK (line checks and storing), Cancel, Print, Export and
// the import and row-limit warnings.
#include "entry/statements/statements_private.h"
#include "pages/pages.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

#define WM_GRID_ROWSNOTKEPT (WM_APP + 64)   // wParam: rows the row limit did not keep

static const int kButtonIds[4] = {IDC_STATEMENT_OK, IDC_STATEMENT_CANCEL, IDC_STATEMENT_PRINT, IDC_STATEMENT_EXPORT};
static const int kButtonPictures[4] = {IDB_STATEMENT_OK, IDB_STATEMENT_CANCEL, IDB_STATEMENT_PRINT,
                                       IDB_STATEMENT_EXPORT};

// ---- placing ----

// Places the window near a point of the page view's client area, inside the page view and
// below the point's row (or above it when there is no room below).
static void PlaceDialogNearPoint(HWND window, int x, int y)
{
    if (!gPageViewWindow || !IsWindow(gPageViewWindow))
        return;
    RECT view, own;
    GetClientRect(gPageViewWindow, &view);
    MapWindowPoints(gPageViewWindow, NULL, (POINT *)&view, 2);
    GetWindowRect(window, &own);
    int height = own.bottom - own.top;
    POINT point = {x, y};
    ClientToScreen(gPageViewWindow, &point);
    int top = point.y + 60;
    if (top + height > view.bottom)
        top = point.y - height;
    MoveWindowInside(window, point.x, top, &view);
}

// The grid rows the window shows for the rows it holds: every row, a row for the totals and one
// spare, at least 3 and at most 25 (more rows scroll).
static int GetShownGridRows(StatementGridState *state)
{
    int count = (int)SendMessageA(state->grid, LVM_GETITEMCOUNT, 0, 0);
    int shown = count + (state->totalCount ? 2 : 1);
    if (shown > STATEMENT_SHOWN_ROWS)
        shown = STATEMENT_SHOWN_ROWS;
    return shown < 3 ? 3 : shown;
}

// Sizes the grid for its columns and up to 25 rows, the buttons below it (equal widths, 25 pixels
// apart) and the status bar; the window stays inside the work area less 40 pixels.
static void LayoutStatementDialog(StatementGridState *state)
{
    HWND dialog = state->dialog, grid = state->grid;
    int buttons = state->wide ? 4 : 3;
    const int margin = 8, gap = 25, buttonWidth = 75, buttonHeight = 24;
    int gridWidth = GetSystemMetrics(SM_CXVSCROLL) + 6;
    HWND header = (HWND)SendMessageA(grid, LVM_GETHEADER, 0, 0);
    int columnCount = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    for (int k = 0; k < columnCount; k++)
        gridWidth += (int)SendMessageA(grid, LVM_GETCOLUMNWIDTH, k, 0);
    int buttonsWidth = buttons * buttonWidth + (buttons - 1) * gap;
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    int rowHeight = SendMessageA(grid, LVM_GETITEMRECT, 0, (LPARAM)&row) ? row.bottom - row.top : 17;
    RECT headerRect = {0, 0, 0, 0};
    GetWindowRect(header, &headerRect);
    int headerHeight = headerRect.bottom - headerRect.top;
    int shown = GetShownGridRows(state);
    state->shownRows = shown;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int width = (gridWidth > buttonsWidth ? gridWidth : buttonsWidth) + 2 * margin;
    int gridHeight = headerHeight + rowHeight * shown + 6;
    RECT statusRect = {0, 0, 0, 0};
    if (state->status)
        GetWindowRect(state->status, &statusRect);
    int statusHeight = statusRect.bottom - statusRect.top;
    int height = margin + gridHeight + 10 + buttonHeight + 10 + statusHeight;
    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, (DWORD)GetWindowLongA(dialog, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(dialog, GWL_EXSTYLE));
    int maxWidth = work.right - work.left - 40, maxHeight = work.bottom - work.top - 40;
    int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    if (outerWidth > maxWidth) {
        width -= outerWidth - maxWidth;
        outerWidth = maxWidth;
    }
    if (outerHeight > maxHeight) {
        gridHeight -= outerHeight - maxHeight;
        outerHeight = maxHeight;
    }
    SetWindowPos(dialog, NULL, 0, 0, outerWidth, outerHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(dialog, &client);
    width = client.right;
    SetWindowPos(grid, NULL, margin, margin, width - 2 * margin, gridHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // Spare width spreads the buttons apart.
    int spare = width - 2 * margin - buttonsWidth;
    int step = buttonWidth + gap + (buttons > 1 && spare > 0 ? spare / (buttons + 1) : 0);
    int x = margin + (spare > 0 ? spare / (buttons + 1) : 0);
    int y = margin + gridHeight + 10;
    for (int i = 0; i < 4; i++) {
        HWND button = GetDlgItem(dialog, kButtonIds[i]);
        if (i >= buttons) {
            ShowWindow(button, SW_HIDE);
            continue;
        }
        SetWindowPos(button, NULL, x, y, buttonWidth, buttonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(button, SW_SHOW);
        x += step;
    }
    if (state->status)
        SendMessageA(state->status, WM_SIZE, 0, 0);
}

void GrowStatementDialog(StatementGridState *state)
{
    if (!state->dialog || GetShownGridRows(state) <= state->shownRows)
        return;
    LayoutStatementDialog(state);
    // The taller window stays inside the work area: it moves up when it grew past the bottom.
    RECT work, own;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(state->dialog, &own);
    if (own.bottom > work.bottom) {
        int top = work.bottom - (own.bottom - own.top);
        SetWindowPos(state->dialog, NULL, own.left, top > work.top ? top : work.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The buttons and the status bar moved: the whole window is painted again.
    RedrawWindow(state->dialog, NULL, NULL, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

// ---- the grid's subclass ----

static LRESULT CALLBACK GridPaintProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam)
{
    StatementGridState *state = &gStatementGrid;
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
        if (state->dialog)
            PostMessageA(state->dialog, WM_GRID_MOVETOTALS, 0, 0);
        break;
    case WM_CTLCOLORSTATIC:
        // The total labels: blue on white.
        SetTextColor((HDC)wParam, RGB(0, 0, 255));
        SetBkColor((HDC)wParam, RGB(255, 255, 255));
        return (LRESULT)GetStockObject(WHITE_BRUSH);
    default:
        break;
    }
    return CallWindowProcA(state->gridProc, grid, message, wParam, lParam);
}

// Cell colours: row numbers blue on white, cells in the field shading, invalid imported cells
// dark red on pink.
static LRESULT OnGridCustomDraw(StatementGridState *state, NMLVCUSTOMDRAW *draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        int column = draw->iSubItem;
        uint32_t marks = (uint32_t)draw->nmcd.lItemlParam;
        if (column == 0) {
            draw->clrText = RGB(0, 0, 255);
            draw->clrTextBk = RGB(255, 255, 255);
        } else if (column <= 32 && (marks & (1u << (column - 1)))) {
            draw->clrText = RGB(178, 0, 0);
            draw->clrTextBk = RGB(255, 204, 255);
        } else {
            draw->clrText = state->textColour;
            draw->clrTextBk = state->shadeColour;
        }
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

// ---- commands ----

static void OnStatementOk(StatementGridState *state)
{
    CloseGridEditBar();
    if (state->viewOnly)
        return;
    StatementParams *params = state->params;
    StatementRows rows;
    ReadGridRows(state, &rows);
    if (ComputeStatementColumns(&state->group, &rows))
        WriteGridCells(state, &rows);
    if (!CheckStatementLines(&state->group, &rows, params->importMarks, state->dialog)) {
        FreeStatementRows(&rows);
        params->result = 0;   // the grid stays open: a Tab out of it did not happen
        return;
    }
    for (int t = 0; t < state->totalCount; t++)
        SumStatementTotal(&rows, &state->totals[t]);
    StoreStatementRows(&state->group, &rows, params->summaryField, state->totals, state->totalCount,
                       params->showTotal);
    FreeStatementRows(&rows);
    EndDialog(state->dialog, 1);
}

static void OnStatementPrint(StatementGridState *state)
{
    int count = (int)SendMessageA(state->grid, LVM_GETITEMCOUNT, 0, 0);
    // The entry row prints without its number.
    char number[16] = "";
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.pszText = number;
    item.cchTextMax = sizeof number;
    if (count > 0) {
        SendMessageA(state->grid, LVM_GETITEMTEXTA, count - 1, (LPARAM)&item);
        LVITEMA blank;
        memset(&blank, 0, sizeof blank);
        blank.pszText = (char *)"";
        SendMessageA(state->grid, LVM_SETITEMTEXTA, count - 1, (LPARAM)&blank);
    }
    ListPrintJob job;
    char title[STATEMENT_CELL_SIZE + 64];
    ListSummaryItem summary[STATEMENT_MAX_COLUMNS];
    BuildStatementPrintJob(state, &job, title, sizeof title, summary);
    PrintForms(state->dialog, &job, NULL, 2, 1, NULL);
    if (count > 0) {
        item.pszText = number;
        SendMessageA(state->grid, LVM_SETITEMTEXTA, count - 1, (LPARAM)&item);
    }
    SetFocus(state->grid);
}

int ExportStatementRows(HWND grid, const char *path, char delimiter)
{
    if (!grid || !path || !path[0])
        return 0;
    if (FileExists(path))
        DeleteFileA(path);
    int count = (int)SendMessageA(grid, LVM_GETITEMCOUNT, 0, 0);
    char *line = (char *)MemAlloc(64, STATEMENT_EXPORT_LINE_SIZE);
    if (!line)
        return 0;
    int ok = 1;
    for (int r = 0; r < count - 1 && ok; r++) {   // the entry row is left out
        ExportGridRowText(grid, r, line, STATEMENT_EXPORT_LINE_SIZE, delimiter);
        size_t length = strlen(line);
        if (length && line[length - 1] == delimiter)
            line[length - 1] = 0;
        ok = AppendLineToFile(line, path);
    }
    MemFree(line);
    return ok;
}

static void OnStatementExport(StatementGridState *state)
{
    HWND open = FindWindowA(NULL, "Export Data To File");
    if (open) {
        HWND name = GetDlgItem(open, 1152);
        SetFocus(name ? name : open);
        MessageBeep(MB_OK);
        return;
    }
    char path[MAX_PATH] = "";
    if (ReadRegistryValue(path, REG_SCOPE_YEAR, 0, "DataDir", sizeof path, REG_SZ) && path[0])
        AppendTextBounded(path, sizeof path, "\\");
    static const char kFilter[] = "CSV (Comma delimited) (*.csv)\0*.csv\0Text (Tab delimited) (*.txt)\0*.txt\0";
    if (ShowFileSaveDialog(state->dialog, "Export Data To File", "csv", kFilter, path, sizeof path)) {
        char delimiter = HasFileExtension(path, ".txt") ? '\t' : ',';
        if (!ExportStatementRows(state->grid, path, delimiter))
            ShowMessageBox(state->dialog, "The statement could not be written to the file.", "Export Data To File",
                           MB_ICONEXCLAMATION | MB_OK);
    }
    SetFocus(state->grid);
}

// ---- opening ----

static int InitStatementDialog(HWND dialog, StatementParams *params)
{
    StatementGridState *state = &gStatementGrid;
    memset(state, 0, sizeof *state);
    state->dialog = dialog;
    state->params = params;
    state->grid = GetDlgItem(dialog, IDC_STATEMENT_GRID);
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)params);
    FieldTable *table = params->page ? params->page->fieldTable : (FieldTable *)GetCurrentDocument(3);
    if (!FindStatementGroup(table, params->field, &state->group)) {
        EndDialog(dialog, 0);
        return 0;
    }
    state->viewOnly = gViewOnly;
    state->limit = GetStatementRowLimit();
    state->wide = params->page && params->page->landscape;
    params->exportShown = state->wide;
    // Imported cells are checked against their columns on every page, as typed ones are.
    params->importMarks = params->importData ? 1 : 0;
    int replacing = gStatementImportReplaces && params->importData;
    gStatementImportReplaces = 0;
    snprintf(state->caption, sizeof state->caption, "%s", params->caption ? params->caption : "");
    if (state->group.head->line && state->group.head->line[0]) {
        AppendTextBounded(state->caption, sizeof state->caption, ", Line ");
        AppendTextBounded(state->caption, sizeof state->caption, state->group.head->line);
    }
    state->gridProc = (WNDPROC)SetWindowLongPtrA(state->grid, GWLP_WNDPROC, (LONG_PTR)GridPaintProc);
    state->textColour = (COLORREF)SendMessageA(state->grid, LVM_GETTEXTCOLOR, 0, 0);
    state->shadeColour = state->viewOnly ? RGB(255, 255, 255) : GetFieldShadeColor(NULL, NULL);
    SendMessageA(state->grid, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    SetupGridColumns(state);
    SetWindowTextA(dialog, state->title);

    StatementRows rows;
    InitStatementRows(&rows, state->columns, state->limit);
    if (replacing)
        LoadStatementImport(&state->group, params->importData, params->importMarks, &rows);
    else
        LoadStatementRows(&state->group, params->importData, params->importMarks, &rows);
    params->invalidCount = (uint32_t)rows.invalidCount;
    int dropped = rows.dropped;
    FillStatementGrid(state, &rows);
    FreeStatementRows(&rows);

    // Each button shows its picture beside its text; the icons are destroyed with the dialog.
    HINSTANCE instance = gInstance ? gInstance : GetModuleHandleA(NULL);
    for (int i = 0; i < 4; i++) {
        state->buttonIcons[i] = BitmapToIcon(NULL, instance, kButtonPictures[i], NULL);
        if (state->buttonIcons[i])
            SendDlgItemMessageA(dialog, kButtonIds[i], BM_SETIMAGE, IMAGE_ICON, (LPARAM)state->buttonIcons[i]);
    }
    state->status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Click a shaded field to enter data", dialog,
                                        IDC_STATEMENT_STATUS);
    CreateTotalLabels(state);
    LayoutStatementDialog(state);
    UpdateHeaderTooltips(state, 1);
    RefreshGridTotals(state);
    if (state->viewOnly)
        EnableWindow(GetDlgItem(dialog, IDC_STATEMENT_OK), FALSE);
    params->importInvalid = params->invalidCount ? 1 : 0;
    if (params->invalidCount)
        PostMessageA(dialog, WM_GRID_IMPORTWARNING, 0, 0);
    if (dropped)
        PostMessageA(dialog, WM_GRID_ROWSNOTKEPT, (WPARAM)dropped, 0);
    PlaceDialogOnParent(dialog, 2);
    if (params->placeX && params->placeY)
        PlaceDialogNearPoint(dialog, params->placeX, params->placeY);
    if (params->kind == STATEMENT_KIND_TAB) {
        int count = (int)SendMessageA(state->grid, LVM_GETITEMCOUNT, 0, 0);
        state->currentRow = params->direction ? 0 : count;
        state->currentColumn = params->direction ? 0 : state->columns;
        PostMessageA(dialog, WM_PAGE_GOTOFIELD, params->direction, 0);
    }
    return 1;
}

static void ShowRowsNotKept(HWND dialog, int dropped, int limit)
{
    char text[400];
    snprintf(text, sizeof text,
             "This statement holds %d more line(s) than this window can show (at most %d lines).\r\n\r\n"
             "The lines that are not shown are removed from the statement when you click \"OK\".  Click "
             "\"Cancel\" to keep the statement as it is.",
             dropped, limit);
    ShowMessageBox(dialog, text, "Statement Lines Not Shown", MB_ICONEXCLAMATION | MB_OK);
}

INT_PTR CALLBACK StatementDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    StatementGridState *state = &gStatementGrid;
    switch (message) {
    case WM_INITDIALOG:
        InitStatementDialog(dialog, (StatementParams *)lParam);
        return TRUE;
    case WM_COMMAND:
        if (state->dialog != dialog)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
        case IDC_STATEMENT_OK:
            if (state->viewOnly && LOWORD(wParam) == IDCANCEL) {
                CloseGridEditBar();
                EndDialog(dialog, 0);
            } else {
                OnStatementOk(state);
            }
            return TRUE;
        case IDC_STATEMENT_CANCEL:
            CloseGridEditBar();
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_STATEMENT_PRINT:
            OnStatementPrint(state);
            return TRUE;
        case IDC_STATEMENT_EXPORT:
            OnStatementExport(state);
            return TRUE;
        case IDM_STATEMENT_DELETEROW:
            DeleteGridRow(state, state->menuRow);
            return TRUE;
        case IDM_STATEMENT_DELETEALL:
            DeleteAllGridRows(state);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (state->dialog != dialog || !header)
            return FALSE;
        if (header->hwndFrom == state->grid) {
            switch (header->code) {
            case NM_CLICK:
                OnGridClick(state);
                return TRUE;
            case NM_RCLICK:
                OnGridContextMenu(state);
                return TRUE;
            case NM_CUSTOMDRAW:
                SetWindowLongPtrA(dialog, DWLP_MSGRESULT, OnGridCustomDraw(state, (NMLVCUSTOMDRAW *)lParam));
                return TRUE;
            default:
                return FALSE;
            }
        }
        if (header->code == HDN_ENDTRACKA || header->code == HDN_ENDTRACKW || header->code == HDN_ITEMCHANGEDA ||
            header->code == HDN_ITEMCHANGEDW)
            PostMessageA(dialog, WM_GRID_MOVETOTALS, 0, 0);
        return FALSE;
    }
    case WM_CTLCOLORDLG:
        return (INT_PTR)GetStockObject(WHITE_BRUSH);
    case WM_PAGE_GOTOFIELD:
        OnGridGotoField(state, wParam != 0);
        return TRUE;
    case WM_EDIT_DONE:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, OnGridEditDone(state, (EditRequest *)lParam));
        return TRUE;
    case WM_GRID_MOVETOTALS:
        PositionTotalLabels(state);
        return TRUE;
    case WM_GRID_IMPORTWARNING:
        ShowMessageBox(dialog,
                       "One or more fields in your import file contain invalid data. The fields with invalid data "
                       "are highlighted in red.\r\n\r\nThe data in these fields must be corrected before you can "
                       "continue.\r\n\r\nYou can either click the red-highlighted field(s) and correct the data here "
                       "or you can click \"Cancel\" and make the correction(s) in your import file.",
                       "Data Import Warning", MB_ICONEXCLAMATION | MB_OK);
        return TRUE;
    case WM_GRID_ROWSNOTKEPT:
        ShowRowsNotKept(dialog, (int)wParam, state->limit);
        return TRUE;
    case WM_DESTROY:
        if (state->dialog == dialog) {
            state->closing = 1;
            CloseGridEditBar();
            FreeTotalLabels(state);
            if (state->tooltip)
                DestroyWindow(state->tooltip);
            state->tooltip = NULL;
            state->tooltipsAdded = 0;
            if (state->gridProc)
                SetWindowLongPtrA(state->grid, GWLP_WNDPROC, (LONG_PTR)state->gridProc);
            for (int i = 0; i < 4; i++) {
                if (state->buttonIcons[i])
                    DestroyIcon(state->buttonIcons[i]);
                state->buttonIcons[i] = NULL;
            }
            memset(&state->request, 0, sizeof state->request);
            state->dialog = NULL;
            state->grid = NULL;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR RunStatementDialog(HWND owner, StatementParams *params)
{
    if (!params || !params->field)
        return 0;
    if (params->kind == STATEMENT_KIND_PRINT || params->kind == STATEMENT_KIND_PDF) {
        // Output: the list is rendered through a hidden list view; nothing is shown or stored.
        params->outputResult = (uint32_t)RenderStatementGridOutput(params, (HBITMAP *)(uintptr_t)params->outputArg1);
        return 0;
    }
    if (gStatementGrid.dialog)
        return 0;   // one statement window at a time
    return RunModalDialog(gInstance, "STATEMENT", owner ? owner : gMainWindow, StatementDlgProc, (LPARAM)params);
}
