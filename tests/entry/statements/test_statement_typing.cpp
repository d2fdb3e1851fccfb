// Keys typed into the statement grid's cells as a user types them: the grid opened by a click on
// Schedule B line 1, a cell clicked, a run of values with Tab, Shift+Tab, Enter and Escape; every
// value lands in its cell, OK (Enter) stores the rows and the page's total follows them.
#include "entry/statements/statements_private.h"
#include "tests/entry/editbar/test_typing_util.h"
#include "tests/entry/statements/test_statement_util.h"

#include <vector>

using namespace typing_test;

namespace {

struct GridCell {
    int row, column;   // column 1 the payer, 2 the amount
    const char *text;
};

struct GridRun {
    const char *name;
    int row, column;   // the cell clicked first (row 16 is the empty entry row of the sample)
    const char *keys;
    int refusals;
    std::vector<GridCell> cells;   // what the cells hold afterwards
    const char *total;             // line 2 after OK
    int quickly = 0;               // typed ahead at once, not waiting for the program between keys
};

class StatementTyping : public TypingTest {
protected:
    void SetUp() override { SetUpOn("samples/Sample.qvr"); }
    static std::string Cell(int row, int column) { return GridCellText(gStatementGrid.grid, row, column); }
    static int ClickCell(int row, int column)
    {
        RECT cell = {LVIR_BOUNDS, column, 0, 0};
        if (!SendMessageA(gStatementGrid.grid, LVM_GETSUBITEMRECT, row, (LPARAM)&cell))
            return 0;
        POINT point = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        ClientToScreen(gStatementGrid.grid, &point);
        return ClickScreen(point.x, point.y);
    }
};

TEST_F(StatementTyping, EveryTypedValueLandsInItsCell)
{
    const GridRun runs[] = {
        {"Tab walks along the entry row and into a new one", 16, 1, "Bank A{Tab}100{Tab}Bank B{Tab}200{Return}", 0,
         {{16, 1, "Bank A"}, {16, 2, "100"}, {17, 1, "Bank B"}, {17, 2, "200"}}, "540"},
        {"Shift+Tab walks back", 16, 2, "50{shift+Tab}Bank C{Return}", 0, {{16, 1, "Bank C"}, {16, 2, "50"}}, "290"},
        {"Escape keeps the cell", 0, 1, "Zed{Escape}", 0, {{0, 1, "First Lakes Bank"}}, "240"},
        {"a refused amount keeps the bar open", 16, 1, "Bank D{Tab}12x{Tab}25{Return}", 1,
         {{16, 1, "Bank D"}, {16, 2, "25"}}, "265"},
        {"typed ahead", 16, 1, "Bank A{Tab}100{Tab}Bank B{Tab}200{Return}", 0,
         {{16, 1, "Bank A"}, {16, 2, "100"}, {17, 1, "Bank B"}, {17, 2, "200"}}, "540", 1},
    };
    for (const GridRun &run : runs) {
        SCOPED_TRACE(run.name);
        ASSERT_TRUE(Reopen("Schedule B.1"));
        for (int i = 0; i < run.refusals; i++)
            ScriptMessageBoxAnswer(IDOK);
        int typed = 0;
        RunDialogWithSteps([&] { return (INT_PTR)ClickField("0101"); },
                           [&](HWND dialog) {
                               ASSERT_TRUE(ClickCell(run.row, run.column));
                               ASSERT_NE(nullptr, gEditBarContainer) << "no edit bar after the click";
                               ASSERT_TRUE(run.quickly ? TypeKeysQuickly(run.keys) : TypeKeys(run.keys));
                               EXPECT_EQ(nullptr, gEditBarContainer);
                               for (const GridCell &cell : run.cells)
                                   EXPECT_EQ(cell.text, Cell(cell.row, cell.column)) << cell.row << "," << cell.column;
                               typed = 1;
                               TypeKeys("{Return}");   // OK
                               EXPECT_FALSE(IsWindowVisible(dialog)) << "Enter did not end the grid";
                           });
        ASSERT_TRUE(typed) << "the grid did not open";
        EXPECT_EQ(nullptr, gStatementGrid.dialog);
        EXPECT_EQ((size_t)run.refusals, GetShownMessageBoxes().size());
        WaitForRecompute();
        EXPECT_EQ(run.total, Value("0200"));
    }
}

}   // namespace
