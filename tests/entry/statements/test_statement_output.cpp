// Statement output: which fields are listed as statements, their line counts and the wrapping of
// free text.
#include "entry/entry.h"
#include "tests/entry/statements/test_statement_util.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

TEST(StatementOutput, OnlyStatementFieldsWithTextAreListedTheLastFieldToo)
{
    ReturnPageEnumProc savedEnumerator = gAppCallbacks.enumerateReturnPages;
    HTREEITEM savedFederal = gTreeFederalFolder;
    gAppCallbacks.enumerateReturnPages = nullptr;
    gTreeFederalFolder = nullptr;   // no federal folder: no notes
    StatementPage page(2);
    FieldTable *table = page.table;
    struct Case {
        int index;
        const char *prefix, *second;
        int listed;
    } cases[] = {
        {2, "*[", "10\x02" "A\x01" "10\x01", 1},   // a list statement's overflow text
        {3, "*", nullptr, 0},                      // a cell without statement text
        {1, nullptr, "X", 0},                      // a present flag
        {table->count - 1, "@", "An explanation on the last field", 1},
    };
    for (const Case &c : cases) {
        SetFieldText(&table->fields[c.index].seqPrefix, c.prefix);
        SetFieldText(&table->fields[c.index].second, c.second);
    }
    FormInstance *pages[1] = {&page.page};
    SetTestReturnPages(pages, 1);
    StatementListEntry entries[4];
    ASSERT_EQ(2, ListReturnStatements(nullptr, 0, 0));
    ASSERT_EQ(2, ListReturnStatements(entries, 0, 0));
    EXPECT_EQ(&table->fields[2], entries[0].field);
    EXPECT_EQ(&table->fields[table->count - 1], entries[1].field);
    EXPECT_EQ(100, entries[0].code);
    EXPECT_EQ(0, ListReturnStatements(nullptr, 24, 0)) << "another return code selects no page";
    SetTestReturnPages(nullptr, 0);
    gAppCallbacks.enumerateReturnPages = savedEnumerator;
    gTreeFederalFolder = savedFederal;
}

TEST(StatementOutput, LineCountsOfListAndFreeTextStatements)
{
    struct Case {
        const char *prefix, *attributes, *text;
        int lines;
    } cases[] = {
        {"*[", "*[10,3,3,0]", "A\x01" "B\x01" "C\x01" "D\x01" "E\x01" "F\x01", 2},
        {"*[", "*[10,1,1,0]", "1,000\x02" "A\x01" "B\x01" "C\x01", 3},   // one column: one line per cell
        {"*[", "*[10,2,2,0]", "A\x01" "B\x01" "C\x01", 2},                // a short last row
        {"@", nullptr, "", 1},
        {"@", nullptr, "one\r\ntwo", 2},
    };
    for (const Case &c : cases) {
        FieldRecord field = {};
        SetFieldText(&field.seqPrefix, c.prefix);
        SetFieldText(&field.valueList, c.attributes);
        SetFieldText(&field.second, c.text);
        EXPECT_EQ(c.lines, CountStatementLines(&field, nullptr)) << c.text;
        SetFieldText(&field.seqPrefix, nullptr);
        SetFieldText(&field.valueList, nullptr);
        SetFieldText(&field.second, nullptr);
    }
}

TEST(StatementOutput, WrappingBreaksAtBlanksOrCutsLongWords)
{
    struct Case {
        const char *text;
        int width;
        const char *wrapped;
    } cases[] = {
        {"", 10, ""},
        {"short", 10, "short"},
        {"the quick brown fox", 10, "the quick\nbrown fox"},
        {"abcdefghijklmnop", 10, "abcdefghij\nklmnop"},
        {"a\r\n\r\nb", 10, "a\n\nb"},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 5, "aaaaa\naaaaa\naaaaa\naaaaa\naaaaa\naaaaa"},
    };
    for (const Case &c : cases) {
        char *out = nullptr;
        int length = -1;
        int lines = WrapStatementText(c.text, &out, &length, c.width);
        ASSERT_TRUE(out);
        EXPECT_STREQ(c.wrapped, out);
        EXPECT_EQ((int)strlen(c.wrapped), length);
        int expected = 1;
        for (const char *p = c.wrapped; *p; p++)
            expected += *p == '\n';
        EXPECT_EQ(expected, lines);
        MemFree(out);
    }
}

} // namespace
