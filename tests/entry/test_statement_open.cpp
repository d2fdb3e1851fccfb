// The main window's statement message: rows stored with OK ask for a recompute of the whole
// return (other forms carry the statement's total on); Cancel stores nothing and asks for none.
#include "entry/statement_grid.h"
#include "calc/calc.h"
#include "pages/pages.h"
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

// While the rows live in the head's overflow text ("See statement"), Tab passes over the head
// and every page cell of the statement: typing into them would change the page but not the rows.
TEST(StatementOpen, TabWalkPassesOverAStatementKeptApart)
{
    const char *overflow = "200\x02P1\x01" "100\x01P2\x01" "100\x01";
    struct Case {
        const char *overflow;   // the head's overflow text, or null
        int prefixedCells;      // the cells carry the link text "*" (else only the head has one)
        int from, direction;
        int reached;
    } cases[] = {
        {overflow, 1, 1, 0, 8}, {overflow, 1, 8, 1, 1}, {overflow, 0, 1, 0, 8}, {overflow, 0, 8, 1, 1},
        {nullptr, 1, 1, 0, 2},  {nullptr, 1, 8, 1, 7},  {nullptr, 0, 2, 0, 3},
    };
    for (const Case &c : cases) {
        StatementPage page(3);
        FieldTable *table = page.table;
        RECT lineRect = {100, 400, 800, 440}, nameRect = {100, 20, 800, 60};
        table->fields[1].rect = &nameRect;
        table->fields[8].rect = &lineRect;
        for (int i = 1; i < table->count; i++) {
            table->fields[i].tabLinks[TAB_PREVIOUS] = (uint16_t)(i - 1);
            table->fields[i].tabLinks[TAB_NEXT] = (uint16_t)(i + 1 < table->count ? i + 1 : 0);
            if (c.prefixedCells && i > 2 && i < 8)
                SetFieldText(&table->fields[i].seqPrefix, "*");
        }
        SetFieldText(&page.group.head->second, c.overflow);
        EXPECT_EQ(c.reached, FindNextTabField(table, c.from, c.direction))
            << (c.overflow ? "kept apart" : "on the page") << ", from " << c.from;
    }
}

// Tabbing out of a grid opened from the statement's own cells goes on past them: forward from the
// last cell, backward from the head; a grid opened from a field past them goes on from that field.
TEST(StatementOpen, LeavingTheGridGoesOnPastTheStatementsCells)
{
    StatementPage page(3);   // head 2, cells up to 7, the line field 8
    struct Case {
        int fieldIndex, direction;
        int from;
    } cases[] = {{2, 0, 7}, {2, 1, 2}, {5, 0, 7}, {5, 1, 2}, {8, 0, 8}, {8, 1, 8}};
    for (const Case &c : cases)
        EXPECT_EQ(c.from, GetStatementLeavingIndex(page.table, page.group.head, c.fieldIndex, c.direction))
            << "from field " << c.fieldIndex << ", direction " << c.direction;
}

}  // namespace
