// statement_grid_edit.cpp - editing the statement grid: a cell opened in the edit bar by a click
// or by Tab, the finished edit written into its cell, a fresh entry row, and deleting rows.
#include "entry/statements/statements_private.h"
#include "entry/editbar/editbar.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

void CloseGridEditBar(void)
{
    if (!gEditBarContainer || !IsWindow(gEditBarContainer))
        return;
    HWND container = gEditBarContainer;
    SendMessageA(container, WM_CLOSE, 0, 0);
    if (IsWindow(container))
        DestroyWindow(container);
    if (gEditBarContainer == container)
        gEditBarContainer = NULL;
}

static int GetGridRowCount(StatementGridState *state)
{
    return (int)SendMessageA(state->grid, LVM_GETITEMCOUNT, 0, 0);
}

static void GetGridCellText(StatementGridState *state, int row, int column, char *out, int outSize)
{
    out[0] = 0;
    LVITEMA cell;
    memset(&cell, 0, sizeof cell);
    cell.iSubItem = column;
    cell.pszText = out;
    cell.cchTextMax = outSize;
    SendMessageA(state->grid, LVM_GETITEMTEXTA, row, (LPARAM)&cell);
}

static int IsGridRowFilled(StatementGridState *state, int row)
{
    for (int k = 1; k <= state->columns; k++) {
        char text[STATEMENT_CELL_SIZE];
        GetGridCellText(state, row, k, text, sizeof text);
        for (const char *p = text; *p; p++)
            if (*p != ' ')
                return 1;
    }
    return 0;
}

int IsGridCellEditable(StatementGridState *state, int row, int column)
{
    if (state->viewOnly || column < 1 || column > state->columns || row < 0 || row >= GetGridRowCount(state))
        return 0;
    if (row >= state->limit)
        return 0;   // the row past the limit carries no number and takes no data
    const FieldRecord *field = state->columnFields[column - 1];
    return field && !(field->typeCode && field->typeCode[0] == 'C');
}

int OpenGridCell(StatementGridState *state, int row, int column, int entryMode)
{
    if (!IsGridCellEditable(state, row, column))
        return 0;
    if (gEditBarContainer && IsWindow(gEditBarContainer))
        return 0;
    SendMessageA(state->grid, LVM_ENSUREVISIBLE, row, FALSE);
    EditRequest *request = &state->request;
    memset(request, 0, sizeof *request);
    GetGridCellText(state, row, column, request->text, sizeof request->text);
    RECT cell;
    cell.left = LVIR_BOUNDS;
    cell.top = column;
    cell.right = cell.bottom = 0;
    SendMessageA(state->grid, LVM_GETSUBITEMRECT, row, (LPARAM)&cell);
    MapWindowPoints(state->grid, NULL, (POINT *)&cell, 2);
    request->field = state->columnFields[column - 1];
    request->fieldIndex = (uint32_t)(state->group.headIndex + GetGridCellField(&state->group, 0, column - 1, NULL));
    request->fieldRect = cell;
    const char *caption = state->title;
    if (*caption == ' ')
        caption++;
    request->caption = caption;
    request->requester = state->dialog;
    request->requesterKind = EDIT_REQUESTER_GRID;
    request->entryMode = (uint16_t)entryMode;
    request->gridRow = (uint32_t)row;
    request->gridColumn = (uint32_t)column;
    request->page = state->params ? state->params->page : NULL;
    request->fieldTable = state->group.table;
    state->currentRow = row;
    state->currentColumn = column;
    // The edit bar is owned by the grid so that it stays above it.
    HWND container = CreateEditBar(state->dialog, request);
    if (container)
        ShowEditBar(container, request);
    return container != NULL;
}

LRESULT OnGridEditDone(StatementGridState *state, EditRequest *request)
{
    if (state->closing || !request || !state->grid)
        return 0;
    // The cell is found by the request's field: the partner of a check mark is its own column,
    // so clearing it never erases the mark just set.
    int column = 0;
    for (int k = 0; k < state->columns && !column; k++)
        if (state->columnFields[k] == request->field)
            column = k + 1;
    int row = (int)request->gridRow;
    int count = GetGridRowCount(state);
    if (!column || row < 0 || row >= count)
        return 0;
    LVITEMA cell;
    memset(&cell, 0, sizeof cell);
    cell.iSubItem = column;
    cell.pszText = request->text;
    SendMessageA(state->grid, LVM_SETITEMTEXTA, row, (LPARAM)&cell);
    if (state->params && state->params->importMarks) {
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (SendMessageA(state->grid, LVM_GETITEMA, 0, (LPARAM)&item)) {
            item.lParam &= ~(LPARAM)(1u << (column - 1));
            SendMessageA(state->grid, LVM_SETITEMA, 0, (LPARAM)&item);
        }
    }
    if (row == count - 1 && IsGridRowFilled(state, row)) {
        FillGridRowNumbers(state->grid, count);
        GrowStatementDialog(state);
    }
    RefreshGridTotals(state);
    return 1;
}

void OnGridGotoField(StatementGridState *state, int backward)
{
    StatementParams *params = state->params;
    memset(&state->request, 0, sizeof state->request);
    if (params)
        params->direction = backward ? 1 : 0;
    int count = GetGridRowCount(state);
    int columns = state->columns;
    if (count <= 0 || columns <= 0)
        return;
    int row = state->currentRow, column = state->currentColumn;
    if (params && params->navigated) {
        int leave = backward ? (row == 0 && column <= 1) : (column >= columns && row < count && !IsGridRowFilled(state, row));
        if (leave) {
            params->result = 2;
            PostMessageA(state->dialog, WM_COMMAND, IDC_STATEMENT_OK, 0);
            return;
        }
    }
    for (int steps = 0; steps <= count * columns; steps++) {
        if (backward) {
            if (--column < 1) {
                column = columns;
                if (--row < 0)
                    row = count - 1;
            }
        } else {
            if (++column > columns) {
                column = 1;
                if (++row >= count)
                    row = 0;
            }
        }
        if (row >= count)
            row = count - 1;
        if (!IsGridCellEditable(state, row, column))
            continue;
        if (params)
            params->navigated = 1;
        OpenGridCell(state, row, column, EDIT_ENTRY_KEYBOARD);
        return;
    }
}

// The cell under a point of the grid's client area: by the list's hit test, else by the rows'
// height and the columns' widths. Returns the row or -1.
static int HitTestGridCell(StatementGridState *state, POINT point, int *columnOut)
{
    LVHITTESTINFO hit;
    memset(&hit, 0, sizeof hit);
    hit.pt = point;
    int row = (int)SendMessageA(state->grid, LVM_SUBITEMHITTEST, 0, (LPARAM)&hit);
    if (row >= 0 && hit.iItem >= 0) {
        *columnOut = hit.iSubItem;
        return hit.iItem;
    }
    int count = GetGridRowCount(state);
    if (count <= 0)
        return -1;
    RECT first;
    first.left = LVIR_BOUNDS;
    if (!SendMessageA(state->grid, LVM_GETITEMRECT, 0, (LPARAM)&first) || first.bottom <= first.top ||
        point.y < first.top)
        return -1;
    row = (point.y - first.top) / (first.bottom - first.top);
    if (row >= count)
        return -1;
    int x = first.left, column = -1;
    for (int k = 0; k <= state->columns; k++) {
        int width = (int)SendMessageA(state->grid, LVM_GETCOLUMNWIDTH, k, 0);
        if (point.x >= x && point.x < x + width) {
            column = k;
            break;
        }
        x += width;
    }
    if (column < 0)
        return -1;
    *columnOut = column;
    return row;
}

void OnGridClick(StatementGridState *state)
{
    CloseGridEditBar();
    if (state->viewOnly)
        return;
    // The cursor tells the cell: the edit bar also reports a click on the grid with a bare header.
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(state->grid, &point);
    int column = -1;
    int row = HitTestGridCell(state, point, &column);
    if (row >= 0 && column >= 1)
        OpenGridCell(state, row, column, EDIT_ENTRY_CLICK);
}

void OnGridContextMenu(StatementGridState *state)
{
    if (state->viewOnly)
        return;
    POINT screen;
    GetCursorPos(&screen);
    POINT point = screen;
    ScreenToClient(state->grid, &point);
    int column = -1;
    int row = HitTestGridCell(state, point, &column);
    int count = GetGridRowCount(state);
    if (row < 0 || row >= count - 1)
        return;   // a miss, or the empty entry row
    state->menuRow = row;
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuA(menu, MF_STRING, IDM_STATEMENT_DELETEROW, "&Delete Row");
    if (count >= 3) {
        AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
        AppendMenuA(menu, MF_STRING, IDM_STATEMENT_DELETEALL, "Delete &All Rows");
    }
    int command = (int)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x, screen.y, 0,
                                      state->dialog, NULL);
    DestroyMenu(menu);
    if (command)
        SendMessageA(state->dialog, WM_COMMAND, (WPARAM)command, 0);
}

void DeleteGridRow(StatementGridState *state, int row)
{
    int count = GetGridRowCount(state);
    if (row < 0 || row >= count - 1)
        return;
    CloseGridEditBar();
    SendMessageA(state->grid, LVM_DELETEITEM, row, 0);
    count--;
    if (count == 0)
        FillGridRowNumbers(state->grid, 0);
    else if (IsGridRowFilled(state, count - 1))
        FillGridRowNumbers(state->grid, count);
    RenumberGridRows(state, row);
    RefreshGridTotals(state);
}

void DeleteAllGridRows(StatementGridState *state)
{
    int count = GetGridRowCount(state);
    if (count < 2)
        return;
    char text[96];
    snprintf(text, sizeof text, "Are you sure you want to delete all %d rows?", count - 1);
    if (ShowMessageBox(state->dialog, text, "Confirm Delete", MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return;
    CloseGridEditBar();
    for (int r = 0; r < count - 1; r++)
        SendMessageA(state->grid, LVM_DELETEITEM, 0, 0);
    // What is left is an empty entry row.
    for (int k = 1; k <= state->columns; k++) {
        LVITEMA cell;
        memset(&cell, 0, sizeof cell);
        cell.iSubItem = k;
        cell.pszText = (char *)"";
        SendMessageA(state->grid, LVM_SETITEMTEXTA, 0, (LPARAM)&cell);
    }
    RenumberGridRows(state, 0);
    RefreshGridTotals(state);
}
