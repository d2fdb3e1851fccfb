// Return descriptions from the main-form page table: the refund by deposit or by cheque and the
// balance due read from a Form 1040's second page, and a part the return does not hold.
#include "prepare/prepare.h"
#include "tests/harness/fields.h"

#include <gtest/gtest.h>

struct DescribeCase {
    const char *overpaid, *owed, *routing;
    int kind;
    const char *label, *value;
};

TEST(DescribeReturn, RefundOrBalanceDueOfForm1040)
{
    const DescribeCase cases[] = {
        {"1,640", "", "", RETURN_KIND_MAIL, "Refund", "$1,640"},
        {"1,640", "", "123456789", RETURN_KIND_DEPOSIT, "Refund", "$1,640"},
        {"", "12,310", "", RETURN_KIND_BALANCE, "Balance Due", "$12,310"},
        {"0", "0", "", 0, "", ""},
    };
    for (const DescribeCase &c : cases) {
        FieldSpec first[] = {{"0101", "N", nullptr, "52,000"}};
        FieldSpec second[] = {
            {"0440", "CN", nullptr, c.overpaid}, {"0452", "G", nullptr, c.routing}, {"0470", "CN", nullptr, c.owed}};
        FormInstance *page1 = MakePage("Form 1040.1", MakeTable(first, 1));
        FormInstance *page2 = MakePage("Form 1040.2", MakeTable(second, 3));
        page1->jurisdiction = page2->jurisdiction = 100;
        FormInstance *pages[] = {page1, page2};
        SetTestReturnPages(pages, 2);

        ReturnDescription d;
        ASSERT_EQ(1, DescribeReturn('F', &d, NULL, NULL, 0, 0)) << c.value;
        EXPECT_EQ(c.kind, d.kindLetter) << c.value;
        EXPECT_EQ(100, d.jurisdiction);
        EXPECT_STREQ("Form 1040", d.shortText);
        EXPECT_STREQ("U.S. Individual Income Tax Return (Form 1040)", d.longText);
        EXPECT_STREQ(c.label, d.secondLabel);
        EXPECT_STREQ(c.value, d.secondValue);
        EXPECT_EQ(0, DescribeReturn('S', &d, NULL, NULL, 0, 0));   // no state return
        EXPECT_EQ(1, DescribeReturn('F', NULL, NULL, NULL, 0, 0)); // the forms tree's call

        SetTestReturnPages(NULL, 0);
        FreeFormInstance(page1);
        FreeFormInstance(page2);
    }
}
