// A field repainted after its value was emptied or shortened leaves on the screen exactly what
// the page shows when it is built afresh.
#include "tests/pages/test_pageview_util.h"

using namespace pageview_test;

namespace {

TEST(FieldRedraw, ARedrawnFieldShowsWhatAFreshPageShows)
{
    HWND main = OpenBuiltReturn("samples/Sales.qvr");
    if (!main)
        GTEST_SKIP() << "the Sales sample was not built";
    FormInstance *sales = FindReturnPage("Sales Worksheet.1"), *other = FindReturnPage("Form 1040.1");
    ASSERT_TRUE(sales && other);
    struct Case {
        const char *seq, *before, *after;
    } cases[] = {
        {"0300", "Jagged gypsy quay", ""},              // an explanation emptied
        {"0400", "quarterly-gains.pdf", ""},            // an attachment cleared
        {"0100", "Piggyback Brokerage Company", "Pig"}, // a name made shorter
    };
    for (const Case &c : cases) {
        Select(sales->treeItem);
        FieldRecord *field = &sales->fieldTable->fields[FindLayoutField(sales->fieldTable, 1, c.seq, 0)];
        SetFieldText(&field->value, c.before);
        RedrawField(field);
        SetFieldText(&field->value, c.after);
        RedrawField(field);
        Screenshot redrawn, fresh;
        ASSERT_TRUE(CaptureView(&redrawn));
        Select(other->treeItem);
        Select(sales->treeItem);
        ASSERT_TRUE(CaptureView(&fresh));
        EXPECT_TRUE(redrawn.pixels == fresh.pixels) << c.seq;
    }
    CloseBuiltReturn(main);
}

} // namespace
