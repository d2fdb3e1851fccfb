// Statement storage: rows into the page cells or the head's overflow text and back, the line
// checks, the column totals, the sign rule of amount cells and the storage and export texts.
#include "entry/entry.h"
#include "prepare/prepare.h"
#include "tests/entry/statements/test_statement_util.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

TEST(StatementStore, RowsGoIntoThePageCellsAndLeftoverRowsAreCleared)
{
    struct Case {
        int before, after;
    } cases[] = {{8, 3}, {3, 8}, {10, 10}, {8, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << " -> " << c.after);
        StatementPage page(10);
        page.StoreLines(c.before);
        EXPECT_EQ(c.after, page.StoreLines(c.after));
        for (int r = 0; r < 10; r++) {
            std::string name = r < c.after ? "Payer " + std::to_string(r + 1) : "";
            std::string amount = r < c.after ? std::to_string((r + 1) * 100) : "";
            EXPECT_EQ(name, page.Cell(r, 0)) << "row " << r;
            EXPECT_EQ(amount, page.Cell(r, 1)) << "row " << r;
        }
        EXPECT_EQ(nullptr, page.group.head->second);
    }
}

TEST(StatementStore, TwelveRowsOnTenGoToTheOverflowTextAndLoadBack)
{
    StatementPage page(10);
    page.StoreLines(4);
    ASSERT_EQ(12, page.StoreLines(12));
    EXPECT_EQ(STATEMENT_SEE_TEXT, page.Cell(0, 0));
    for (int r = 0; r < 10; r++)
        for (int k = 0; k < 2; k++)
            if (r || k) {
                EXPECT_EQ("", page.Cell(r, k)) << r << "," << k;
            }
    std::string expected = "7,800\x02";
    for (int i = 1; i <= 12; i++)
        expected += "Payer " + std::to_string(i) + "\x01" + std::to_string(i * 100) + "\x01";
    ASSERT_NE(nullptr, page.group.head->second);
    EXPECT_EQ(expected, page.group.head->second);

    StatementRows rows;
    InitStatementRows(&rows, 2, 30);
    EXPECT_EQ(12, LoadStatementRows(&page.group, nullptr, 0, &rows));
    EXPECT_STREQ("Payer 12", StatementCell(&rows, 11, 0));
    EXPECT_STREQ("1200", StatementCell(&rows, 11, 1));
    // Back to fewer rows than the page holds: the overflow text goes, the cells come back.
    FreeStatementRows(&rows);
    page.StoreLines(2);
    EXPECT_EQ(nullptr, page.group.head->second);
    EXPECT_EQ("Payer 1", page.Cell(0, 0));
}

TEST(StatementStore, RowsPastTheLimitAreCountedNotSilentlyDropped)
{
    StatementPage page(10);
    std::string overflow;
    for (int i = 0; i < 35; i++)
        overflow += "P\x01" "1\x01";
    SetFieldText(&page.group.head->second, overflow.c_str());
    std::string import = "Q\x01" "2\x01\x02" "R\x01" "3\x01\x02";
    StatementRows rows;
    InitStatementRows(&rows, 2, 30);
    EXPECT_EQ(30, LoadStatementRows(&page.group, import.c_str(), 0, &rows));
    EXPECT_EQ(7, rows.dropped);
    FreeStatementRows(&rows);
}

TEST(StatementStore, LineChecksReportTheFirstFaultyLine)
{
    struct Case {
        std::vector<std::pair<const char *, const char *>> lines;
        const char *message;   // null: every line passes
    } cases[] = {
        // (the message box joins single line breaks)
        {{{"Bank", "10"}, {"", "5"}}, "Incomplete information was detected on line 2. \"Payer\" is a required field."},
        {{{"Bank", ""}}, "Incomplete information was detected on line 1. \"Amount\" is a required field."},
        {{{"5", "Interest"}},
         "Invalid data was detected on line 1 in the column titled \"Payer\".\r\n\r\nThe value \"5\" is not valid."},
        {{{"Bank", "10"}, {"", ""}, {"Credit union", "7"}}, nullptr},
    };
    for (const Case &c : cases) {
        StatementPage page(10);
        StatementRows rows;
        InitStatementRows(&rows, 2, 30);
        for (auto &line : c.lines) {
            int r = AppendStatementRow(&rows);
            snprintf(StatementCell(&rows, r, 0), STATEMENT_CELL_SIZE, "%s", line.first);
            snprintf(StatementCell(&rows, r, 1), STATEMENT_CELL_SIZE, "%s", line.second);
        }
        ClearShownMessageBoxes();
        if (c.message)
            ScriptMessageBoxAnswer(IDOK);
        EXPECT_EQ(c.message ? 0 : 1, CheckStatementLines(&page.group, &rows, 0, nullptr));
        if (c.message) {
            ASSERT_EQ(1u, GetShownMessageBoxes().size());
            EXPECT_EQ(c.message, GetShownMessageBoxes()[0].text);
            EXPECT_EQ("Statement Line Error", GetShownMessageBoxes()[0].title);
        }
        FreeStatementRows(&rows);
    }
}

TEST(StatementStore, TotalsOfWholeDecimalAndMixedColumns)
{
    struct Case {
        std::vector<const char *> cells;
        const char *total;
    } cases[] = {
        {{"1,200", "300"}, "1,500"},
        {{"10.50", "2.25"}, "12.75"},
        {{"1,000", "0.50", ""}, "1,000.50"},   // whole and decimal: summed as decimals
        {{"-500", "200"}, "-300"},
        {{"", " "}, ""},
        {{"1,200", "03/05/2024", "abc"}, "1,200"},   // cells that are no amount add nothing
    };
    for (const Case &c : cases) {
        StatementRows rows;
        InitStatementRows(&rows, 1, 30);
        for (const char *cell : c.cells)
            snprintf(StatementCell(&rows, AppendStatementRow(&rows), 0), STATEMENT_CELL_SIZE, "%s", cell);
        StatementTotal total = {};
        SumStatementTotal(&rows, &total);
        EXPECT_STREQ(c.total, total.text);
        EXPECT_EQ(0, SumStatementTotal(&rows, &total)) << "an unchanged column reports no change";
        FreeStatementRows(&rows);
    }
}

TEST(StatementStore, AmountCellsKeepTheirColumnsSignRule)
{
    struct Case {
        const char *type, *typed;
        int valid;
        const char *after;
    } cases[] = {
        {"N+", "-500", 0, "-500"},
        {"N+", "500", 1, "500"},
        {"N", "-500", 1, "-500"},
        {"N", "12x", 0, nullptr},
    };
    for (const Case &c : cases) {
        FieldRecord field = {};
        SetFieldText(&field.typeCode, c.type);
        SetFieldText(&field.length, "12");
        SetFieldText(&field.description, "Amount");
        char text[64];
        snprintf(text, sizeof text, "%s", c.typed);
        EXPECT_EQ(c.valid, ValidateStatementCell(nullptr, text, sizeof text, c.typed, &field, 1, 0) != 0) << c.type
                                                                                                       << c.typed;
        if (c.after) {
            EXPECT_STREQ(c.after, text);
        }
        SetFieldText(&field.typeCode, nullptr);
        SetFieldText(&field.length, nullptr);
        SetFieldText(&field.description, nullptr);
    }
}

struct SplitCollect {
    std::vector<std::string> cells;
};
void Collect(const char *cell, int, void *context)
{
    ((SplitCollect *)context)->cells.push_back(cell);
}

TEST(StatementStore, RowTextsQuoteWhatWouldSplitThemAndReadBack)
{
    struct Case {
        std::vector<const char *> cells;
        char delimiter;
        const char *text;
    } cases[] = {
        {{"Bank  ", "1,200"}, '\x01', "Bank\x01" "1,200\x01"},
        {{"a\x01" "b", "\"q\" bank"}, '\x01', "\"a\x01" "b\"\x01\"\"\"q\"\" bank\"\x01"},
        {{"a,b", "say \"hi\"", "x"}, ',', "\"a,b\",\"say \"\"hi\"\"\",x,"},
        {{"tab\there", "y"}, '\t', "\"tab\there\"\ty\t"},
    };
    for (const Case &c : cases) {
        char buffer[256];
        EXPECT_EQ(1, BuildRowText(c.cells.data(), (int)c.cells.size(), c.delimiter, buffer, sizeof buffer, nullptr));
        EXPECT_STREQ(c.text, buffer);
        SplitCollect back;
        SplitRowText(buffer, c.delimiter, 0, Collect, &back, nullptr);
        ASSERT_EQ(c.cells.size(), back.cells.size());
        for (size_t i = 0; i < c.cells.size(); i++) {
            std::string expected = c.cells[i];
            expected.erase(expected.find_last_not_of(' ') + 1);
            EXPECT_EQ(expected, back.cells[i]);
        }
    }
    // A buffer too small for the next cell ends the text before it.
    const char *cells[] = {"first", "second"};
    char small[10];
    int cut = 0;
    BuildRowText(cells, 2, ',', small, sizeof small, &cut);
    EXPECT_STREQ("first,", small);
    EXPECT_EQ(1, cut);
}

} // namespace
