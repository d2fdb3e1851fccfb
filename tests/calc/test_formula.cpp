// Formula interpreter, number texts, check-mark pairs, source explanation and date differences.
#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "calc/calc.h"
#include "prepare/prepare.h"
#include "tests/harness/harness.h"
#include "tests/harness/fields.h"

namespace {

const FieldDesc kMain[] = {
    {"0101", "N", nullptr, "50,000", "1a", "Wages"},
    {"0102", "N", nullptr, "1,500", "1b", "Household wages"},
    {"0103", "N", nullptr, nullptr, "1c", "Tips"},
    {"0109", "CN", "0101,0102,0103", nullptr, "1z", "Total wages"},
    {"0110", "A", nullptr, "Smith", nullptr, "Last name"},
    {"0201", "x", nullptr, "X", nullptr, "Yes"},
    {"0202", "x", "0201", nullptr, nullptr, "No"},
    {"0210", "CN", "0109,{Schedule 1.1}0100,{Form 8888.1}0010", nullptr, "11", "Adjusted gross income"},
    {"0220", "CN", "{Schedule 1.1}0100", nullptr, "8", "Additional income"},
};
const FieldDesc kSchedule1[] = {
    {"0100", "N", nullptr, "1,200", "10", "Additional income"},
};
const FieldDesc kW2a[] = {{"0010", "N", nullptr, "30,000", "1", "Wages"}};
const FieldDesc kW2b[] = {{"0010", "N", nullptr, "20,000", "1", "Wages"}};

class Formula : public ::testing::Test {
protected:
    FieldTable *main = nullptr;
    FormInstance *pages[4] = {};
    FormulaPageSet set = {nullptr, 0};

    void SetUp() override
    {
        main = MakeTable(kMain, sizeof kMain / sizeof kMain[0]);
        pages[0] = MakePage("Form 1040.1", main);
        pages[1] = MakePage("Schedule 1.1", MakeTable(kSchedule1, 1));
        pages[2] = MakePage("Form W-2.1", MakeTable(kW2a, 1));
        pages[3] = MakePage("form w-2.1", MakeTable(kW2b, 1));
        set.pages = pages;
        set.count = 4;
        SetTestReturnPages(pages, 4);
    }
    void TearDown() override
    {
        SetTestReturnPages(nullptr, 0);
        for (FormInstance *&p : pages)
            p = FreeFormInstance(p);
    }
    std::string Eval(const char *formula, const char *type = "CN", int *ok = nullptr)
    {
        char out[128] = "junk";
        int r = EvaluateFormula(formula, type, main, &set, out, sizeof out);
        if (ok)
            *ok = r;
        return out;
    }
};

TEST_F(Formula, ListsAreEvaluatedLeftToRight)
{
    struct Case {
        const char *formula;
        const char *type;
        const char *expected;
    } cases[] = {
        {"0101,0102,0103", "CN", "51,500"},
        {"0101,-0102", "CN", "48,500"},
        {"0101, -0102", "CN", "48,500"},       // blanks between items are ignored
        {"-0102,0101", "CN", "48,500"},        // a leading '-' negates the first item
        {"0101,-0102,*#0.5", "CN", "24,250"},  // no precedence: (a - b) * 0.5
        {"0101,/#0", "CN", "0"},               // division by zero gives 0
        {"0101,/#3", "CR[10.2]", "16,666.67"},
        {"0101,m0102", "CN", "1,500"},
        {"0102,M0101", "CN", "50,000"},
        {"0102,-0101,M#0", "CN", "0"},         // max(0, b - a)
        {"#2.5", "CN", "3"},                   // half away from zero
        {"#-2.5", "CN", "-3"},
        {"#1.005", "CR[5.2]", "1.01"},
        {"#2.5", "C", "2.50"},
        {"#3", "C", "3"},
        {"0101,*#0.333", "CQ", "16650.0000"},
        {"#0.25", "Cr", ".250000"},
        {"0101,0102", "CR[10.2]", "51,500.00"},
        {"0110", "CA", "Smith"},               // a text is copied
        {"0110,#1", "CN", "1"},                // a text in arithmetic counts as 0
        {"0103", "CN", ""},                    // blank sources give a blank result
        {"0103,0999", "CN", ""},               // an unknown field counts as blank
        {"0103,#0", "CN", ""},                 // constants are not sources
        {"#0", "CN", "0"},
        {"#Single", "CA", "Single"},
        {"0101,-0102", "CX", "X"},
        {"0103,#0", "CX", ""},
    };
    for (const Case &c : cases) {
        int ok = 0;
        EXPECT_EQ(Eval(c.formula, c.type, &ok), c.expected) << c.formula << " as " << c.type;
        EXPECT_EQ(ok, 1) << c.formula;
    }
}

// A statement kept apart from its page: the head's overflow text starts with its amount columns'
// totals; the page cells are empty. Rows on the page leave the overflow text empty.
TEST_F(Formula, StatementTotalsCountOnceWhereverTheRowsAre)
{
    FieldRecord *head = Field(main, "0110");   // stands in for a statement head
    struct Case {
        const char *overflow;
        const char *expected;
    } cases[] = {
        {"1,240|35\x02" "Bank A\x01" "1,000\x01\x02", "52,740"},   // first amount column of two
        {"240\x02", "51,740"},
        {"", "51,500"},                                              // rows on the page
        {"no totals", "51,500"},                                     // no separator: not a total
    };
    for (const Case &c : cases) {
        SetFieldText(&head->second, c.overflow);
        EXPECT_EQ(Eval("0101,0102,$0110"), c.expected) << c.overflow;
    }
    SetFieldText(&head->second, NULL);
    int ok = 1;
    Eval("0101,$", "CN", &ok);   // a '$' without a field is no formula
    EXPECT_EQ(ok, 0);
}

TEST_F(Formula, ConditionalChoosesOneBranch)
{
    struct Case {
        const char *formula;
        const char *type;
        const char *expected;
    } cases[] = {
        {"0101>0102?#X;", "CX", "X"},
        {"0101<0102?#X;", "CX", ""},
        {"0101<0102?#X", "CX", ""},           // no else: blank
        {"0101>0102?0101,-0102;#0", "CN", "48,500"},
        {"0101<=0102?0101,-0102;#7", "CN", "7"},
        {"0101>=0101?#1;#2", "CN", "1"},
        {"0101!=0101?#1;#2", "CN", "2"},
        {"0103=#0?#1;#2", "CN", "1"},         // blank compares as 0
        {"0110=#SMITH?#1;#2", "CN", "1"},     // texts compare without case
        {"0110!=#Jones?#1;#2", "CN", "1"},
        {"0201?#Y;#N", "CA", "Y"},            // a check mark is true
        {"0202?#Y;#N", "CA", "N"},            // an empty one is false
        {"0103?#Y;#N", "CA", "N"},
        {"0101,-0101?#Y;#N", "CA", "N"},      // zero is false
        {"0101>#60000?0101;0102", "CN", "1,500"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Eval(c.formula, c.type), c.expected) << c.formula;
}

TEST_F(Formula, OtherFormsAreSummedOverCopiesAndMissingFormsCountAsZero)
{
    EXPECT_EQ(Eval("{Schedule 1.1}0100"), "1,200");
    EXPECT_EQ(Eval("{Form W-2.1}0010"), "50,000");       // both copies, key compared without case
    EXPECT_EQ(Eval("{Form 8888.1}0010"), "");            // missing form: blank
    EXPECT_EQ(Eval("0101,{Form 8888.1}0010"), "50,000");
    EXPECT_EQ(Eval("{Form W-2.1}0010,-{Schedule 1.1}0100"), "48,800");
    // Without a page set the open return's pages are asked.
    char out[64];
    ASSERT_EQ(EvaluateFormula("{Form W-2.1}0010", "CN", main, nullptr, out, sizeof out), 1);
    EXPECT_STREQ(out, "50,000");
}

TEST_F(Formula, TaxpayerItemsComeFromTheReturnRecord)
{
    InitOpenReturn(gOpenReturnPtr);
    SetReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_FIRST_NAME, 32, "Ann");
    SetReturnText(gOpenReturnPtr, RETURN_SPOUSE + PERSON_FIRST_NAME, 32, "Bob");
    EXPECT_EQ(Eval("T[1b]", "CA"), "Ann");
    EXPECT_EQ(Eval("T[2b]", "CA"), "Bob");
    EXPECT_EQ(Eval("T[1b]=#ann?#1;#2", "CN"), "1");
    EXPECT_EQ(Eval("T[1c]", "CA"), "");                  // empty member: blank
    InitOpenReturn(gOpenReturnPtr);
}

TEST_F(Formula, MalformedFormulasAreRefusedAndLeaveTheFieldAlone)
{
    const char *bad[] = {"", "0101?0102?0103", "0101;0102", "abc", "{Form 1040.1}", "{}0101",
                         "0101,,0102", "0101>", ">0101?#1", "0101!0102?#1", "T[]", "#", "0101?#1;#2;#3",
                         "0101?#1>#2;#3", "{Form 1040.1 0101", "+", "0101,"};
    for (const char *formula : bad) {
        int ok = 1;
        EXPECT_EQ(Eval(formula, "CN", &ok), "") << formula;
        EXPECT_EQ(ok, 0) << formula;
    }
    FieldRecord *total = Field(main, "0109");
    SetFieldText(&total->value, "17");
    SetFieldText(&total->valueList, "0101;;");
    EXPECT_EQ(ComputeField(total, main, pages[0]), 0);
    EXPECT_EQ(Value(main, "0109"), "17");
}

TEST_F(Formula, ComputeFieldStoresTheResultAndReportsChange)
{
    FieldRecord *total = Field(main, "0109");
    EXPECT_EQ(ComputeField(total, main, pages[0]), 1);
    EXPECT_EQ(Value(main, "0109"), "51,500");
    EXPECT_EQ(ComputeField(total, main, pages[0]), 0);   // unchanged
    SetFieldText(&Field(main, "0103")->value, "500");
    EXPECT_EQ(ComputeField(total, main, nullptr), 1);
    EXPECT_EQ(Value(main, "0109"), "52,000");
    // Not calculated: nothing happens.
    EXPECT_EQ(ComputeField(Field(main, "0101"), main, pages[0]), 0);
    EXPECT_EQ(ComputeField(nullptr, main, pages[0]), 0);
}

TEST_F(Formula, MarkedCheckMarkClearsItsPartner)
{
    FieldRecord *yes = Field(main, "0201"), *no = Field(main, "0202");
    // "No" names "Yes" in its value list; marking "No" clears "Yes" and the other way round.
    SetFieldText(&no->value, "X");
    EXPECT_EQ(ComputeField(no, main, pages[0]), 1);
    EXPECT_EQ(Value(main, "0201"), "");
    EXPECT_EQ(Value(main, "0202"), "X");
    SetFieldText(&yes->value, "X");
    EXPECT_EQ(ComputeField(yes, main, pages[0]), 1);
    EXPECT_EQ(Value(main, "0202"), "");
    // An empty box clears nothing.
    SetFieldText(&yes->value, nullptr);
    SetFieldText(&no->value, "X");
    EXPECT_EQ(ComputeField(yes, main, pages[0]), 0);
    EXPECT_EQ(Value(main, "0202"), "X");
}

TEST_F(Formula, ExplanationListsSourcesAndMissingForms)
{
    SetFieldText(&Field(main, "0109")->value, "51,500");
    FormulaExplainInfo info;
    char *text = ExplainFieldFormula(Field(main, "0210"), &info);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Line 1z - Total wages = 51,500\r\n"
                       "Schedule 1, Line 10 - Additional income = 1,200\r\n"
                       "* Form 8888, field 0010 = Form not found");
    MemFree(text);
    EXPECT_EQ(info.onThisForm, 1);
    EXPECT_EQ(info.onOtherForms, 1);
    EXPECT_EQ(info.formMissing, 1);
    EXPECT_EQ(info.copied, 0);
    EXPECT_EQ(info.taxpayerItem, 0);
    EXPECT_EQ(info.sourceCount, 3);
    EXPECT_EQ(info.assignedOrGenerated, 0);

    text = ExplainFieldFormula(Field(main, "0220"), &info);
    ASSERT_NE(text, nullptr);
    MemFree(text);
    EXPECT_EQ(info.copied, 1);
    EXPECT_EQ(info.onThisForm, 0);
    EXPECT_EQ(info.formMissing, 0);

    FieldRecord *f = Field(main, "0109");
    SetFieldText(&f->valueList, "0101>0102?0101;0101,0102");   // a source named twice is listed once
    text = ExplainFieldFormula(f, &info);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Line 1a - Wages = 50,000\r\nLine 1b - Household wages = 1,500");
    MemFree(text);

    SetFieldText(&f->valueList, "T[1a]");
    EXPECT_EQ(ExplainFieldFormula(f, &info), nullptr);
    EXPECT_EQ(info.taxpayerItem, 1);
    EXPECT_EQ(info.taxpayerOnly, 1);
    EXPECT_EQ(info.generated, 1);
    EXPECT_EQ(info.sourceCount, 0);
    EXPECT_EQ(info.assignedOrGenerated, 1);

    SetFieldText(&f->valueList, "#5");
    EXPECT_EQ(ExplainFieldFormula(f, &info), nullptr);
    EXPECT_EQ(info.assigned, 1);
    EXPECT_EQ(info.generated, 0);

    EXPECT_EQ(ExplainFieldFormula(Field(main, "0101"), &info), nullptr);  // not calculated
    EXPECT_EQ(info.assigned, 0);
}

TEST(CalcNumbers, ReadNumberText)
{
    double v = 0;
    EXPECT_TRUE(ReadNumberText("1,234.50", &v));
    EXPECT_DOUBLE_EQ(v, 1234.5);
    EXPECT_TRUE(ReadNumberText(" -12 ", &v));
    EXPECT_DOUBLE_EQ(v, -12);
    EXPECT_TRUE(ReadNumberText("(1,000)", &v));
    EXPECT_DOUBLE_EQ(v, -1000);
    EXPECT_TRUE(ReadNumberText("$5", &v));
    EXPECT_DOUBLE_EQ(v, 5);
    EXPECT_TRUE(ReadNumberText(".5", &v));
    EXPECT_DOUBLE_EQ(v, 0.5);
    const char *bad[] = {"", "-", "12,34", "1,2345", ",123", "12a", "1.2.3", "(12", "X", "1 2"};
    for (const char *text : bad)
        EXPECT_FALSE(ReadNumberText(text, &v)) << text;
}

TEST(CalcNumbers, FormatCalcNumberFitsTheBuffer)
{
    char out[8];
    EXPECT_EQ(FormatCalcNumber(1234567, 'N', -1, -1, out, sizeof out), 0);  // "1,234,567" needs 10 bytes
    EXPECT_STREQ(out, "");
    EXPECT_GT(FormatCalcNumber(-0.001, 'N', -1, -1, out, sizeof out), 0);
    EXPECT_STREQ(out, "0");                                                 // no "-0"
}

TEST(CalcDates, DiffDatesInUnitsAndSign)
{
    SYSTEMTIME later = {2024, 3, 0, 3, 12, 0, 0, 0};
    SYSTEMTIME earlier = {2024, 3, 0, 1, 9, 30, 0, 0};
    EXPECT_EQ(DiffDates(&later, &earlier, 1), 2);
    EXPECT_EQ(DiffDates(&later, &earlier, 2), 50);
    EXPECT_EQ(DiffDates(&later, &earlier, 3), 3030);
    EXPECT_EQ(DiffDates(&later, &earlier, 6), 1);
    EXPECT_EQ(DiffDates(&earlier, &later, 6), -1);
    EXPECT_EQ(DiffDates(&earlier, &later, 1), -2);
    EXPECT_EQ(DiffDates(&later, &later, 6), 0);
    SYSTEMTIME leap = {2024, 3, 0, 1, 0, 0, 0, 0}, feb = {2024, 2, 0, 28, 0, 0, 0, 0};
    EXPECT_EQ(DiffDates(&leap, &feb, 1), 2);                 // 2024 has February 29
    SYSTEMTIME bad = {2024, 13, 0, 1, 0, 0, 0, 0};
    EXPECT_EQ(DiffDates(&bad, &earlier, 1), 0);
    EXPECT_EQ(DiffDates(&later, &earlier, 4), 0);
}

}  // namespace
