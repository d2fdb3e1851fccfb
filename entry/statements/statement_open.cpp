// statement_open.cpp - the main window's WM_OPEN_STATEMENT: fills the grid's parameter block for
// a clicked statement field (wParam 0) or from the sender's block (wParam 1 from the page view and
// the multi-field popup, 2 after an import, 3 after an import that replaces the rows), runs the
// grid, recomputes the page's form and, when the user tabbed out of the grid, moves the page view
// on to the next field.
#include "entry/statements/statements_private.h"
#include "calc/calc.h"
#include "entry/editbar/editbar.h"
#include "pages/pages.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// The words of the sender's block the grid takes over (field .. outputArg1).
#define STATEMENT_COPIED_BYTES (16 * 4)

// The page's tree caption, with ", Copy %d" for a form with copies.
static void BuildStatementCaption(FormInstance *page, char *out, int outSize)
{
    out[0] = 0;
    if (page && page->treeItem)
        GetTreeItemText(page->treeItem, out, 0, outSize);
    else if (page && page->displayName)
        snprintf(out, (size_t)outSize, "%s", page->displayName);
    int copy = page ? GetFormCopyNumber(page) : 0;
    if (copy) {
        char suffix[24];
        snprintf(suffix, sizeof suffix, ", Copy %d", copy);
        AppendTextBounded(out, (size_t)outSize, suffix);
    }
}

int GetStatementLeavingIndex(FieldTable *table, const FieldRecord *field, int fieldIndex, int direction)
{
    StatementGroup group;
    if (!FindStatementGroup(table, field, &group) || group.pageRows <= 0 || fieldIndex < group.headIndex)
        return fieldIndex;
    int last = group.headIndex;
    for (int k = 0; k < group.columns; k++) {
        int valid = 0;
        int cell = GetGridCellField(&group, group.pageRows - 1, k, &valid);
        if (valid && group.headIndex + cell > last)
            last = group.headIndex + cell;
    }
    if (fieldIndex > last)
        return fieldIndex;   // the grid was opened from a field past the statement's cells
    return direction ? group.headIndex : last;
}

LRESULT StatementMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    (void)window;
    if (message != WM_OPEN_STATEMENT || !lParam)
        return 0;
    *handled = 1;
    StatementParams params;
    memset(&params, 0, sizeof params);
    StatementParams *sender = NULL;
    if (wParam == 0) {
        params.field = (FieldRecord *)lParam;
        params.kind = STATEMENT_KIND_CLICK;
        params.page = (FormInstance *)GetCurrentDocument(4);
        int index = params.page ? GetPageFieldIndex(params.page, params.field) : -1;
        params.fieldIndex = index > 0 ? (uint32_t)index : 0;
    } else {
        sender = (StatementParams *)lParam;
        memcpy(&params, sender, STATEMENT_COPIED_BYTES);
        params.owner = sender->owner;
        params.page = sender->page ? sender->page : (FormInstance *)GetCurrentDocument(4);
    }
    if (!params.field || !params.page)
        return 0;
    // An entry still open in the page's edit bar is committed first (the grid has its own bar).
    if (!CommitOpenEditBar())
        return 0;
    char caption[STATEMENT_CELL_SIZE + 32];
    if (!params.caption) {
        BuildStatementCaption(params.page, caption, sizeof caption);
        params.caption = caption;
    }
    gStatementImportReplaces = wParam == 3;
    INT_PTR result = RunStatementDialog(params.owner, &params);
    gStatementImportReplaces = 0;
    if (sender) {
        // The sender reads what the grid reported.
        sender->importInvalid = params.importInvalid;
        sender->result = params.result;
        sender->direction = params.direction;
        sender->exportShown = params.exportShown;
        sender->importMarks = params.importMarks;
        sender->navigated = params.navigated;
        sender->outputResult = params.outputResult;
        sender->invalidCount = params.invalidCount;
    }
    RecomputeForm(params.page);
    // Stored rows change the statement's totals, which formulas of other forms may read: the
    // whole return is recomputed as after any other entry (and before a save writes the values).
    if (result == 1)
        RequestRecompute(1, NULL);
    if (params.result == 2 && gPageViewWindow) {
        int from = GetStatementLeavingIndex(params.page->fieldTable, params.field, (int)params.fieldIndex,
                                            (int)params.direction);
        PostMessageA(gPageViewWindow, WM_PAGE_GOTOFIELD, params.direction, from);
    }
    return result;
}
