// The main window's statement message: rows stored with OK ask for a recompute of the whole
// return (other forms carry the statement's total on); Cancel stores nothing and asks for none.
#include "entry/statements/statements_private.h"
#include "calc/calc.h"
#include "pages/pages.h"
#include "ui/ui.h"
#include "tests/entry/statements/test_statement_util.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>

namespace {

TEST(StatementOpen, StoredRowsAskForAWholeReturnRecompute)
{
    struct Case {
        int button;
        LONG recomputeDone;   // after the grid closed
    } cases[] = {{IDC_STATEMENT_OK, 0}, {IDC_STATEMENT_CANCEL, 1}};
    ReturnPageEnumProc savedEnumerator = gAppCallbacks.enumerateReturnPages;
    gAppCallbacks.enumerateReturnPages = nullptr;
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
    gAppCallbacks.enumerateReturnPages = savedEnumerator;
    gReturnModified = 0;
}

// While the rows live in the head's overflow text, Tab passes over the head and every cell of the
// statement (with or without link texts on the cells); tabbing out of the grid goes on past them.
TEST(StatementOpen, TabPassesOverAStatementKeptApart)
{
    struct Case {
        int keptApart, prefixedCells, from, direction, reached;
    } cases[] = {{1, 1, 1, 0, 8}, {1, 0, 1, 0, 8}, {1, 0, 8, 1, 1}, {0, 0, 1, 0, 2}, {0, 1, 8, 1, 7}};
    for (const Case &c : cases) {
        StatementPage page(3);   // name 1, head 2, cells up to 7, line 8
        RECT rect = {0, 0, 10, 10};
        for (int i = 1; i < page.table->count; i++) {
            FieldRecord *field = &page.table->fields[i];
            field->rect = field->rect ? field->rect : &rect;
            field->tabLinks[TAB_PREVIOUS] = (uint16_t)(i - 1);
            field->tabLinks[TAB_NEXT] = (uint16_t)((i + 1) % page.table->count);
            if (c.prefixedCells && i > 2 && i < 8)
                SetFieldText(&field->seqPrefix, "*");
        }
        SetFieldText(&page.group.head->second, c.keptApart ? "20\x02P\x01" "20\x01" : nullptr);
        EXPECT_EQ(c.reached, FindNextTabField(page.table, c.from, c.direction)) << c.keptApart << c.from;
        EXPECT_EQ(c.direction ? 2 : 7, GetStatementLeavingIndex(page.table, page.group.head, 4, c.direction));
    }
}

}  // namespace
