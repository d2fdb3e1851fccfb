// The main window's statement message: rows stored with OK ask for a recompute of the whole
// return (other forms carry the statement's total on); Cancel stores nothing and asks for none.
#include "entry/statement_grid.h"
#include "calc/calc.h"
#include "ui/ui.h"
#include "tests/entry/test_statement_util.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>

namespace {

TEST(StatementOpen, StoredRowsAskForAWholeReturnRecompute)
{
    struct Case {
        int button;
        LONG recomputeDone;   // after the grid closed
    } cases[] = {{IDC_STATEMENT_OK, 0}, {IDC_STATEMENT_CANCEL, 1}};
    ReturnPageEnumProc savedEnumerator = gReturnPageEnumerator;
    gReturnPageEnumerator = nullptr;
    SetTestReturnPages(nullptr, 0);
    for (const Case &c : cases) {
        StatementPage page(3);
        page.StoreLines(1);
        InterlockedExchange(&gRecomputeDone, 1);
        StatementParams sender = {};
        sender.field = page.group.head;
        sender.kind = STATEMENT_KIND_CLICK;
        sender.page = &page.page;
        sender.caption = (char *)"Schedule B, Page 1";
        int handled = 0;
        RunDialogWithSteps(
            [&] { return (INT_PTR)StatementMessageHandler(nullptr, WM_OPEN_STATEMENT, 1, (LPARAM)&sender, &handled); },
            [&](HWND) {
                EditRequest request = {};
                snprintf(request.text, sizeof request.text, "%s", "250");
                request.field = gStatementGrid.columnFields[1];
                request.gridRow = 0;
                request.gridColumn = 2;
                SendMessageA(gStatementGrid.dialog, WM_EDIT_DONE, 0, (LPARAM)&request);
                ClickButton(gStatementGrid.dialog, c.button);
            });
        EXPECT_EQ(1, handled);
        EXPECT_EQ(c.recomputeDone, gRecomputeDone) << "button " << c.button;
        EXPECT_EQ(c.button == IDC_STATEMENT_OK ? "250" : "100", page.Cell(0, 1));
    }
    InterlockedExchange(&gRecomputeDone, 1);
    gReturnPageEnumerator = savedEnumerator;
    gReturnModified = 0;
}

}  // namespace
