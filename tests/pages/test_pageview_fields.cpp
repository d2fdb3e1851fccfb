// The page view's field rules without a window: kinds, hit-testing, the tab walk, the source
// explanation of calculated fields, and the amended copy's file name.
#include "pages/pages.h"
#include "calc/calc.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

namespace {

// A field table built in the test: record 0 is the dummy record.
struct TestTable {
    std::vector<FieldRecord> records;
    std::vector<RECT> rects;
    std::vector<std::string> types, prefixes;
    FieldTable table;

    explicit TestTable(int count) : records(count), rects(count), types(count), prefixes(count)
    {
        memset(records.data(), 0, sizeof(FieldRecord) * count);
        table.count = count;
        table.fields = records.data();
        table.sortedIndex = NULL;
    }
    void Set(int i, const char *type, int left, int top, int right, int bottom, const char *prefix = NULL)
    {
        types[i] = type;
        records[i].typeCode = (char *)types[i].c_str();
        if (right > left) {
            SetRect(&rects[i], left, top, right, bottom);
            records[i].rect = &rects[i];
        }
        if (prefix) {
            prefixes[i] = prefix;
            records[i].seqPrefix = (char *)prefixes[i].c_str();
        }
    }
    void Link(int from, int to)
    {
        records[from].tabLinks[TAB_NEXT] = (uint16_t)to;
        records[to].tabLinks[TAB_PREVIOUS] = (uint16_t)from;
    }
};

int KindOf(const char *type, const char *prefix = NULL)
{
    FieldRecord field;
    memset(&field, 0, sizeof(field));
    field.typeCode = (char *)type;
    field.seqPrefix = (char *)prefix;
    return GetFieldKind(&field);
}

TEST(PageViewFields, KindsByLinkTextAndType)
{
    EXPECT_EQ(1, KindOf("N", "@1"));
    EXPECT_EQ(2, KindOf("N", "*[3|2]"));
    EXPECT_EQ(0, KindOf("N", ""));   // an empty link text is no link
    EXPECT_EQ(3, KindOf("cN"));
    EXPECT_EQ(3, KindOf("S[m]"));
    EXPECT_EQ(4, KindOf("S[c]"));
    EXPECT_EQ(5, KindOf("S"));
    EXPECT_EQ(6, KindOf("S[t]"));
    EXPECT_EQ(7, KindOf("S[pdf]"));
    EXPECT_EQ(0, KindOf("S[pd"));
    EXPECT_EQ(8, KindOf("S[sig]"));
    EXPECT_EQ(9, KindOf("S[^x]"));
    EXPECT_EQ(0, KindOf("N"));
    EXPECT_EQ(0, KindOf("X"));
    EXPECT_EQ(0, KindOf(NULL));
    EXPECT_EQ(0, GetFieldKind(NULL));
}

TEST(PageViewFields, HitTestEdgesOverlapsAndMissingRectangles)
{
    TestTable t(5);
    t.Set(1, "N", 100, 100, 200, 150);
    t.Set(2, "N", 150, 120, 300, 170);   // overlaps field 1
    t.Set(3, "N", 0, 0, 0, 0);           // no rectangle: never hit
    t.Set(4, "A", 400, 400, 500, 450);
    int index = -1;
    EXPECT_EQ(&t.records[1], FindFieldInTable(&t.table, POINT{100, 100}, &index));   // left/top edge
    EXPECT_EQ(1, index);
    EXPECT_EQ(&t.records[1], FindFieldInTable(&t.table, POINT{160, 130}, &index));   // overlap: lower index
    EXPECT_EQ(&t.records[2], FindFieldInTable(&t.table, POINT{200, 130}, &index));   // right edge of 1
    EXPECT_EQ(2, index);
    EXPECT_EQ(NULL, FindFieldInTable(&t.table, POINT{450, 450}, &index));            // bottom edge
    EXPECT_EQ(NULL, FindFieldInTable(&t.table, POINT{0, 0}, &index));
    EXPECT_EQ(NULL, FindFieldInTable(NULL, POINT{100, 100}, &index));
}

TEST(PageViewFields, FirstEditableFieldSkipsButtonsAndFieldsOffThePage)
{
    TestTable t(5);
    t.Set(1, "N", 0, 0, 0, 0);
    t.Set(2, "B[101]", 10, 10, 20, 20);
    t.Set(3, "N", 30, 30, 40, 40);
    t.Set(4, "N", 50, 50, 60, 60);
    EXPECT_EQ(1, IsFirstEditableField(&t.table, 3));
    EXPECT_EQ(0, IsFirstEditableField(&t.table, 4));
    EXPECT_EQ(0, IsFirstEditableField(&t.table, 2));
    EXPECT_EQ(0, IsFirstEditableField(NULL, 3));
}

TEST(PageViewFields, TabWalkPassesOverFieldsAndEndsOnBadLinks)
{
    TestTable t(8);
    t.Set(1, "N", 10, 10, 20, 20);
    t.Set(2, "N", 0, 0, 0, 0);            // no rectangle
    t.Set(3, "CN", 10, 30, 20, 40);       // calculated
    t.Set(4, "L", 10, 50, 20, 60);        // label
    t.Set(5, "S[sig]", 10, 70, 20, 80);   // "S[" other than m and c
    t.Set(6, "A", 10, 90, 20, 100);
    t.Set(7, "S[m]", 10, 110, 20, 120);
    for (int i = 1; i < 7; i++)
        t.Link(i, i + 1);
    EXPECT_EQ(6, FindNextTabField(&t.table, 1, 0));
    EXPECT_EQ(7, FindNextTabField(&t.table, 6, 0));
    EXPECT_EQ(1, FindNextTabField(&t.table, 6, 1));
    EXPECT_EQ(-1, FindNextTabField(&t.table, 7, 0));   // link 0: the end
    // A cycle that never reaches an editable field ends.
    t.Link(7, 2);
    t.Set(7, "C", 10, 110, 20, 120);
    EXPECT_EQ(-1, FindNextTabField(&t.table, 6, 0));
    // A link out of range ends the walk.
    t.records[1].tabLinks[TAB_NEXT] = 900;
    EXPECT_EQ(-1, FindNextTabField(&t.table, 1, 0));
    EXPECT_EQ(-1, FindNextTabField(&t.table, 99, 0));
}

TEST(PageViewFields, SourceExplanationTexts)
{
    FieldRecord field;
    memset(&field, 0, sizeof(field));
    FormulaExplainInfo info;
    memset(&info, 0, sizeof(info));
    int start = 0, length = 0;
    // Computed from this form only.
    info.onThisForm = 1;
    char *text = BuildSourceExplanation(&field, "Line 1a - Wages = 52,000", &info, &start, &length);
    ASSERT_TRUE(text != NULL);
    std::string s(text);
    EXPECT_EQ(0u, s.find("Data for this field is automatically computed from data that you enter in other fields\r\n"
                         "on this form."));
    EXPECT_NE(std::string::npos, s.find("one (or more) of the \"Source Field(s)\" listed below."));
    EXPECT_EQ((int)s.find("Source Field(s):\r\n"), start);
    EXPECT_EQ((int)s.size() - start, length);
    EXPECT_EQ("\r\n", s.substr(s.size() - 2));
    MemFree(text);
    // Copied from another form: the tip, and the mark stops before it.
    info.onOtherForms = 1;
    info.copied = 1;
    text = BuildSourceExplanation(&field, "Schedule 1, Line 10 - Additional income = 1,200", &info, &start, &length);
    s = text;
    EXPECT_EQ(0u, s.find("Data for this field is automatically copied from a field on another form."));
    size_t tip = s.find("\r\n\r\nTIP: To display a different form or page, click the form name in the left-hand "
                        "window.\r\n");
    ASSERT_NE(std::string::npos, tip);
    EXPECT_EQ((int)tip, start + length);
    MemFree(text);
    // A missing source form gets its footnote instead of the tip.
    info.formMissing = 1;
    text = BuildSourceExplanation(&field, "* Schedule 1, field 0100 = Form not found", &info, &start, &length);
    s = text;
    EXPECT_NE(std::string::npos, s.find("\r\n\r\n* = Form not found in this return\r\n"));
    EXPECT_EQ(std::string::npos, s.find("TIP:"));
    MemFree(text);
    // Assigned by the program, generated from information, taxpayer information, the rest.
    memset(&info, 0, sizeof(info));
    info.assigned = 1;
    text = BuildSourceExplanation(&field, NULL, &info, &start, &length);
    EXPECT_STREQ("Data for this field is automatically assigned by Levyline\r\nand cannot be changed.\r\n", text);
    EXPECT_EQ(-1, start);
    MemFree(text);
    info.generated = 1;
    text = BuildSourceExplanation(&field, "", &info, &start, &length);
    EXPECT_EQ(0u, std::string(text).find("Data for this field is automatically generated based on\r\n"));
    MemFree(text);
    memset(&info, 0, sizeof(info));
    info.taxpayerItem = 1;
    text = BuildSourceExplanation(&field, "x", &info, &start, &length);
    EXPECT_EQ(0u, std::string(text).find("Data in this field is automatically copied from information"));
    MemFree(text);
    field.valueList = (char *)"T[4]";
    text = BuildSourceExplanation(&field, "x", &info, &start, &length);
    EXPECT_STREQ("Data for this field is automatically assigned by Levyline and cannot\r\nbe changed.\r\n", text);
    MemFree(text);
    memset(&info, 0, sizeof(info));
    text = BuildSourceExplanation(&field, NULL, &info, &start, &length);
    EXPECT_STREQ("Data for this field is automatically computed from data that you enter in fields on\r\n"
                 "this form or another form.\r\n",
                 text);
    MemFree(text);
}

TEST(PageViewFields, SourceExplanationTitles)
{
    FieldRecord field;
    memset(&field, 0, sizeof(field));
    char title[128];
    field.description = (char *)"Wages";
    field.line = (char *)"1a";
    BuildSourceExplanationTitle(&field, title, sizeof(title));
    EXPECT_STREQ("Line 1a - Wages", title);
    field.line = (char *)"Qualified Dividends Worksheet 3";
    BuildSourceExplanationTitle(&field, title, sizeof(title));
    EXPECT_STREQ("Qualified Dividends Worksheet 3 - Wages", title);
    field.line = (char *)"WSA|12";
    BuildSourceExplanationTitle(&field, title, sizeof(title));
    EXPECT_STREQ("Worksheet A Line 12 - Wages", title);
    // A small buffer is never overrun.
    char small[8];
    BuildSourceExplanationTitle(&field, small, sizeof(small));
    EXPECT_EQ(7u, strlen(small));
}

TEST(PageViewFields, AmendedFileNameAndSendState)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    std::string base = std::string(folder) + "pvamend_test.qvr";
    std::string taken = std::string(folder) + "pvamend_test_amended.qvr";
    DeleteFileA(taken.c_str());
    HANDLE f = CreateFileA(base.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    CloseHandle(f);
    char out[MAX_PATH];
    ASSERT_TRUE(MakeAmendedPathName(base.c_str(), out, sizeof(out)));
    EXPECT_STREQ(taken.c_str(), out);
    // The plain name is taken: a counter.
    f = CreateFileA(taken.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    CloseHandle(f);
    ASSERT_TRUE(MakeAmendedPathName(base.c_str(), out, sizeof(out)));
    EXPECT_STRNE(taken.c_str(), out);
    EXPECT_NE(std::string::npos, std::string(out).find("_amended"));
    // Too small a buffer: refused.
    char tiny[12];
    EXPECT_FALSE(MakeAmendedPathName(base.c_str(), tiny, sizeof(tiny)));
    DeleteFileA(taken.c_str());
    DeleteFileA(base.c_str());

    OpenReturn record;
    InitOpenReturn(&record);
    SetReturnText(&record, RETURN_PART_FEDERAL + PART_CODE, 6, "1040");
    ReturnBytes(&record, RETURN_PART_FEDERAL + PART_STATUS_LETTER)[0] = 'A';
    ReturnBytes(&record, RETURN_PART_STATE + PART_STATUS_LETTER)[0] = 'R';
    ReturnBytes(&record, RETURN_TRANSMISSION)[3] = 7;
    SetReturnU16(&record, RETURN_PART_STATE + PART_TAX_YEAR, 2024);
    ClearReturnSendState(&record);
    EXPECT_EQ(0, ReturnBytes(&record, RETURN_PART_FEDERAL + PART_STATUS_LETTER)[0]);
    EXPECT_EQ(0, ReturnBytes(&record, RETURN_PART_STATE + PART_STATUS_LETTER)[0]);
    EXPECT_EQ(0, ReturnBytes(&record, RETURN_TRANSMISSION)[3]);
    EXPECT_STREQ("", ReturnText(&record, RETURN_PART_FEDERAL + PART_CODE));
    EXPECT_EQ(2024, GetReturnU16(&record, RETURN_PART_STATE + PART_TAX_YEAR));
}

} // namespace
