// The statement grid dialog, built from its template and driven with messages: row numbers and
// the row limit, finished edits and totals, deleting every row, export read back byte for byte,
// OK storing into the page, and the edit bar closed with the grid.
#include "entry/statements/statements_private.h"
#include "shell/shell.h"
#include "tests/entry/statements/test_statement_util.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

class StatementGrid : public ::testing::Test {
protected:
    ReturnPageEnumProc savedEnumerator = nullptr;
    void SetUp() override
    {
        savedEnumerator = gAppCallbacks.enumerateReturnPages;
        gAppCallbacks.enumerateReturnPages = nullptr;
        SetTestReturnPages(nullptr, 0);
        gEditBarFocusEvents = 0;
        ClearShownMessageBoxes();
    }
    void TearDown() override
    {
        SetTestReturnPages(nullptr, 0);
        gAppCallbacks.enumerateReturnPages = savedEnumerator;
        gEditBarFocusEvents = 1;
        gReturnModified = 0;
    }
    StatementParams params = {};
    // Runs the grid on page's statement; steps run inside the dialog.
    INT_PTR Run(StatementPage &page, const std::function<void(HWND)> &steps, const char *importData = nullptr,
                int kind = STATEMENT_KIND_CLICK, int direction = 0)
    {
        params = {};
        params.field = page.group.head;
        params.kind = (uint16_t)kind;
        params.direction = (uint32_t)direction;
        params.page = &page.page;
        params.caption = (char *)"Schedule B, Page 1";
        params.importData = (char *)importData;
        return RunDialogWithSteps([&] { return RunStatementDialog(nullptr, &params); }, steps);
    }
    static HWND Grid() { return gStatementGrid.grid; }
    static int Rows() { return (int)SendMessageA(Grid(), LVM_GETITEMCOUNT, 0, 0); }
    static std::string Cell(int row, int column) { return GridCellText(Grid(), row, column); }
    static std::string TotalLabel()
    {
        char text[64] = "";
        if (gStatementGrid.totalCount && gStatementGrid.totals[0].label)
            GetWindowTextA(gStatementGrid.totals[0].label, text, sizeof text);
        return text;
    }
    // A finished edit of (row, column) as the edit bar reports it.
    static void Edit(HWND dialog, int row, int column, const char *text)
    {
        EditRequest request = {};
        snprintf(request.text, sizeof request.text, "%s", text);
        request.field = gStatementGrid.columnFields[column - 1];
        request.gridRow = (uint32_t)row;
        request.gridColumn = (uint32_t)column;
        SendMessageA(dialog, WM_EDIT_DONE, 0, (LPARAM)&request);
    }
};

std::string Overflow(int rows)
{
    std::string text;
    for (int i = 0; i < rows; i++)
        text += "Payer " + std::to_string(i + 1) + "\x01" "1\x01";
    return text;
}

TEST_F(StatementGrid, AnEmptyStatementShowsOneNumberedEntryRow)
{
    StatementPage page(10);
    Run(page, [&](HWND dialog) {
        EXPECT_EQ(1, Rows());
        EXPECT_EQ("1 ", Cell(0, 0));
        EXPECT_EQ("", Cell(0, 1));
        char title[64];
        GetWindowTextA(dialog, title, sizeof title);
        EXPECT_STREQ(" ", title);   // no column label holds a title
        EXPECT_EQ(1, gStatementGrid.totalCount);
        EXPECT_EQ("   ", TotalLabel());
        ClickButton(dialog, IDC_STATEMENT_CANCEL);
    });
    EXPECT_EQ(nullptr, page.group.head->value);
}

// Each button shows its picture: OK, Cancel, Print and (on a wide page) Export, whose picture is
// the grid's own.
TEST_F(StatementGrid, EveryButtonShowsItsPicture)
{
    StatementPage page(10);
    page.page.landscape = 1;
    struct {
        int control, picture;
    } buttons[] = {{IDC_STATEMENT_OK, 332}, {IDC_STATEMENT_CANCEL, 319}, {IDC_STATEMENT_PRINT, 262},
                   {IDC_STATEMENT_EXPORT, 378}};
    Run(page, [&](HWND dialog) {
        for (auto &b : buttons) {
            EXPECT_TRUE(SendDlgItemMessageA(dialog, b.control, BM_GETIMAGE, IMAGE_ICON, 0)) << b.control;
            SIZE size = {};
            HICON icon = BitmapToIcon(NULL, GetModuleHandleA(NULL), b.picture, &size);
            EXPECT_TRUE(icon) << b.picture;
            EXPECT_EQ(16, size.cx) << b.picture;
            if (icon)
                DestroyIcon(icon);
        }
        ClickButton(dialog, IDC_STATEMENT_CANCEL);
    });
}

TEST_F(StatementGrid, RowNumbersStopAtTheLimitOfTheReturn)
{
    struct Case {
        const char *mainForm;
        int limit;
    } cases[] = {{"Form 1040.1", 30}, {"Form 941.1", 1001}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mainForm);
        FormInstance main = {};
        main.kind = PAGE_KIND_FORM;
        main.mainForm = 1;
        main.pageKey = (char *)c.mainForm;
        FormInstance *pages[1] = {&main};
        SetTestReturnPages(pages, 1);
        StatementPage page(10);
        SetFieldText(&page.group.head->second, Overflow(35).c_str());
        ClearShownMessageBoxes();
        if (c.limit == 30)
            ScriptMessageBoxAnswer(IDOK);   // 5 lines are not shown
        Run(page, [&](HWND dialog) {
            PumpMessages(50);
            int shown = c.limit == 30 ? 30 : 35;
            ASSERT_EQ(shown + 1, Rows());
            EXPECT_EQ("30 ", Cell(29, 0));
            EXPECT_EQ(c.limit == 30 ? "" : "36 ", Cell(shown, 0));
            EXPECT_EQ(0, FillGridRowNumbers(Grid(), c.limit + 1));
            EXPECT_EQ(0, IsGridCellEditable(&gStatementGrid, c.limit, 1));
            ClickButton(dialog, IDC_STATEMENT_CANCEL);
        });
        if (c.limit == 30) {
            ASSERT_EQ(1u, GetShownMessageBoxes().size());
            EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("5 more line(s)"));
        } else {
            EXPECT_TRUE(GetShownMessageBoxes().empty());
        }
        SetFieldText(&page.group.head->second, nullptr);
    }
}

TEST_F(StatementGrid, FinishedEditsFillTheirCellAndTheTotals)
{
    struct Case {
        const char *amountType;
        std::vector<const char *> amounts;
        const char *label;
    } cases[] = {{"N", {"1,200", "300"}, " 1,500  "}, {"N", {"10.50", "2.25"}, " 12.75  "}};
    for (const Case &c : cases) {
        StatementPage page(10, c.amountType);
        Run(page, [&](HWND dialog) {
            for (size_t i = 0; i < c.amounts.size(); i++) {
                Edit(dialog, (int)i, 1, "Bank");
                Edit(dialog, (int)i, 2, c.amounts[i]);
                EXPECT_EQ((int)i + 2, Rows()) << "a fresh entry row follows a filled last row";
            }
            EXPECT_EQ(c.label, TotalLabel());
            // A message for a field that is not one of the grid's columns (a check mark's partner
            // elsewhere on the page) changes no cell.
            EditRequest other = {};
            other.field = &page.table->fields[1];
            other.gridRow = 0;
            EXPECT_EQ(0, SendMessageA(dialog, WM_EDIT_DONE, 0, (LPARAM)&other));
            EXPECT_EQ("Bank", Cell(0, 1));
            ClickButton(dialog, IDC_STATEMENT_OK);
        });
        EXPECT_EQ("Bank", page.Cell(1, 0));
        EXPECT_EQ(c.amounts[1], page.Cell(1, 1));
    }
}

TEST_F(StatementGrid, DeleteAllRowsAsksAndLeavesOneEntryRow)
{
    for (int answer : {IDNO, IDYES}) {
        StatementPage page(10);
        page.StoreLines(3);
        ClearShownMessageBoxes();
        ScriptMessageBoxAnswer(answer);
        Run(page, [&](HWND dialog) {
            ASSERT_EQ(4, Rows());
            SendMessageA(dialog, WM_COMMAND, IDM_STATEMENT_DELETEALL, 0);
            ASSERT_EQ(1u, GetShownMessageBoxes().size());
            EXPECT_EQ("Are you sure you want to delete all 3 rows?", GetShownMessageBoxes()[0].text);
            EXPECT_EQ("Confirm Delete", GetShownMessageBoxes()[0].title);
            EXPECT_EQ(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, GetShownMessageBoxes()[0].flags);
            if (answer == IDYES) {
                EXPECT_EQ(1, Rows());
                EXPECT_EQ("1 ", Cell(0, 0));
                EXPECT_EQ("   ", TotalLabel());
            } else {
                EXPECT_EQ(4, Rows());
            }
            ClickButton(dialog, IDC_STATEMENT_OK);
        });
        EXPECT_EQ(answer == IDYES ? "" : "Payer 1", page.Cell(0, 0));
    }
}

struct Collected {
    std::vector<std::string> cells;
};
void CollectCell(const char *cell, int, void *context)
{
    ((Collected *)context)->cells.push_back(cell);
}

TEST_F(StatementGrid, ExportWritesCommaAndTabTextThatReadsBack)
{
    const std::vector<std::vector<std::string>> lines = {
        {"Smith, Jones & Co", "1,200"}, {"The \"Best\" Bank", "300"}, {"Plain", "7"}};
    struct Case {
        const char *file;
        char delimiter;
        const char *bytes;
    } cases[] = {
        {"stmt-export.csv", ',', "\"Smith, Jones & Co\",\"1,200\"\r\n\"The \"\"Best\"\" Bank\",300\r\nPlain,7\r\n"},
        {"stmt-export.txt", '\t', "Smith, Jones & Co\t1,200\r\n\"The \"\"Best\"\" Bank\"\t300\r\nPlain\t7\r\n"},
    };
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (const Case &c : cases) {
        StatementPage page(10);
        page.page.landscape = 1;   // a wide page shows Export
        std::string path = std::string(temp) + c.file;
        DeleteFileA(path.c_str());
        Run(page, [&](HWND dialog) {
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_STATEMENT_EXPORT)));
            for (size_t i = 0; i < lines.size(); i++) {
                Edit(dialog, (int)i, 1, lines[i][0].c_str());
                Edit(dialog, (int)i, 2, lines[i][1].c_str());
            }
            ScriptFileDialogPath(path);
            ClickButton(dialog, IDC_STATEMENT_EXPORT);
            ClickButton(dialog, IDC_STATEMENT_CANCEL);
        });
        std::string bytes = ReadWholeFile(path);
        EXPECT_EQ(c.bytes, bytes);
        // Each line splits back into the cells that were exported.
        size_t start = 0;
        for (const auto &line : lines) {
            size_t end = bytes.find("\r\n", start);
            ASSERT_NE(std::string::npos, end);
            Collected back;
            SplitRowText(bytes.substr(start, end - start).c_str(), c.delimiter, 0, CollectCell, &back, nullptr);
            EXPECT_EQ(line, back.cells);
            start = end + 2;
        }
        DeleteFileA(path.c_str());
    }
}

TEST_F(StatementGrid, TabFromThePageEntersAndLeavesTheGrid)
{
    struct Case {
        int direction;
        int firstRow, firstColumn;   // the cell the first step opens
    } cases[] = {{0, 0, 1}, {1, 2, 2}};
    for (const Case &c : cases) {
        StatementPage page(10);
        page.StoreLines(2);
        INT_PTR result = Run(page, [&](HWND) {
            // The edit bar may be the first new window the driver sees: the grid is the statement's.
            HWND dialog = gStatementGrid.dialog;
            PumpMessages(50);
            ASSERT_TRUE(gEditBarContainer && IsWindow(gEditBarContainer)) << "the first step never leaves";
            EXPECT_EQ((uint32_t)c.firstRow, gStatementGrid.request.gridRow);
            EXPECT_EQ((uint32_t)c.firstColumn, gStatementGrid.request.gridColumn);
            CloseGridEditBar();
            // Forward from the entry row's last column, or backward from row 0's first column.
            gStatementGrid.currentRow = c.direction ? 0 : 2;
            gStatementGrid.currentColumn = c.direction ? 1 : 2;
            SendMessageA(dialog, WM_PAGE_GOTOFIELD, c.direction, 0);
            PumpMessages(50);
            if (gStatementGrid.dialog && IsWindowVisible(gStatementGrid.dialog))
                ClickButton(gStatementGrid.dialog, IDC_STATEMENT_CANCEL);   // the step did not leave
        }, nullptr, STATEMENT_KIND_TAB, c.direction);
        EXPECT_EQ(1, result) << "the lines were checked and stored";
        EXPECT_EQ(2, params.result);
        EXPECT_EQ((uint32_t)c.direction, params.direction);
        EXPECT_EQ(nullptr, gEditBarContainer);
    }
}

TEST_F(StatementGrid, EndingTheGridClosesItsEditBar)
{
    for (int button : {IDC_STATEMENT_CANCEL, IDC_STATEMENT_OK}) {
        StatementPage page(10);
        page.StoreLines(2);
        Run(page, [&](HWND dialog) {
            ASSERT_EQ(1, OpenGridCell(&gStatementGrid, 1, 1, EDIT_ENTRY_CLICK));
            ASSERT_TRUE(gEditBarContainer && IsWindow(gEditBarContainer));
            EXPECT_EQ(0, OpenGridCell(&gStatementGrid, 0, 1, EDIT_ENTRY_CLICK)) << "one edit bar at a time";
            ClickButton(dialog, button);
        });
        EXPECT_EQ(nullptr, gEditBarContainer);
        EXPECT_EQ(nullptr, gStatementGrid.dialog);
        EXPECT_EQ("Payer 2", page.Cell(1, 0));
    }
}

TEST_F(StatementGrid, TheTotalStaysInsideTheGridWhenTheRowsFillIt)
{
    struct Case {
        int lines;
        const char *total;
    } cases[] = {{2, " 2  "}, {28, " 28  "}};
    for (const Case &c : cases) {
        StatementPage page(1);
        SetFieldText(&page.group.head->second, Overflow(c.lines).c_str());
        Run(page, [&](HWND dialog) {
            PumpMessages(50);
            SendMessageA(Grid(), LVM_ENSUREVISIBLE, Rows() - 1, FALSE);
            PositionTotalLabels(&gStatementGrid);
            EXPECT_EQ(c.total, TotalLabel());
            RECT client, label;
            GetClientRect(Grid(), &client);
            GetWindowRect(gStatementGrid.totals[0].label, &label);
            MapWindowPoints(NULL, Grid(), (POINT *)&label, 2);
            EXPECT_LE(label.bottom, client.bottom) << c.lines << " lines";
            EXPECT_GT(label.top, client.top) << c.lines << " lines";
            ClickButton(dialog, IDC_STATEMENT_CANCEL);
        });
        SetFieldText(&page.group.head->second, nullptr);
    }
}

// Imported cells are checked against their column on a portrait page: a bad cell is marked and
// counted, and OK stores nothing until it is corrected.
TEST_F(StatementGrid, ImportedCellsAreCheckedOnEveryPage)
{
    struct Case {
        const char *columnType, *cell;
        int invalid;
    } cases[] = {
        {"N", "abc", 1}, {"N", "03/05/2024", 1}, {"D", "Jane Smith", 1}, {"N", "1,200", 0}, {"D", "03/05/2024", 0}};
    for (const Case &c : cases) {
        StatementPage page(10, c.columnType);
        std::string data = std::string("Bank\x01") + c.cell + "\x02";
        SetDefaultMessageBoxAnswer(IDOK);
        Run(page, [&](HWND dialog) {
            ClickButton(dialog, IDC_STATEMENT_OK);
            if (gStatementGrid.dialog)
                ClickButton(dialog, IDC_STATEMENT_CANCEL);   // OK refused the line
        }, data.c_str());
        SetDefaultMessageBoxAnswer(0);
        EXPECT_EQ((uint32_t)c.invalid, params.invalidCount) << c.cell;
        EXPECT_EQ(c.invalid ? "" : "Bank", page.Cell(0, 0)) << c.cell;
    }
}

// Rows that replace a statement's rows: the grid shows only the imported ones; the stored rows
// stay until OK (Cancel keeps them, OK replaces them).
TEST_F(StatementGrid, ReplacedRowsStayUntilOk)
{
    for (int button : {IDC_STATEMENT_CANCEL, IDC_STATEMENT_OK}) {
        StatementPage page(3);
        page.StoreLines(5);   // more rows than the page holds: kept in the overflow text
        StatementParams sender = {};
        sender.field = page.group.head;
        sender.page = &page.page;
        sender.importData = (char *)"New Bank\x01" "75\x02";
        int handled = 0;
        auto open = [&] { return StatementMessageHandler(nullptr, WM_OPEN_STATEMENT, 3, (LPARAM)&sender, &handled); };
        RunDialogWithSteps(open, [&](HWND dialog) {
            EXPECT_EQ(2, Rows()) << "the imported row and the entry row";
            ClickButton(dialog, button);
        });
        EXPECT_EQ(button == IDC_STATEMENT_OK ? "New Bank" : STATEMENT_SEE_TEXT, page.Cell(0, 0));
        EXPECT_EQ(button == IDC_STATEMENT_OK, page.group.head->second == nullptr);
    }
}

// A grid opened on an empty statement grows while rows are typed, up to 25 rows, with the total
// below the last row.
TEST_F(StatementGrid, TheGridGrowsWithItsRowsUpTo25)
{
    for (int typed : {3, 14, 27}) {
        StatementPage page(14);
        Run(page, [&](HWND dialog) {
            for (int r = 0; r < typed; r++) {
                Edit(dialog, r, 1, "Bank");
                Edit(dialog, r, 2, "10");
            }
            RECT last = {LVIR_BOUNDS, 0, 0, 0}, label;
            SendMessageA(Grid(), LVM_GETITEMRECT, Rows() - 1, (LPARAM)&last);
            GetWindowRect(gStatementGrid.totals[0].label, &label);
            MapWindowPoints(NULL, Grid(), (POINT *)&label, 2);
            EXPECT_EQ(typed < 24 ? typed + 3 : 25, (int)SendMessageA(Grid(), LVM_GETCOUNTPERPAGE, 0, 0)) << typed;
            EXPECT_TRUE(typed > 24 || label.top >= last.bottom) << typed;
            ClickButton(dialog, IDC_STATEMENT_CANCEL);
        });
    }
}

} // namespace
