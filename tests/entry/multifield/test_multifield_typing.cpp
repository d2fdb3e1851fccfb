// Keys typed into the multi-field popup's members as a user types them: the popup opened by a
// click on the Sales Worksheet's owner's address or joint owner's name, a member clicked, a run
// of values with Tab, Shift+Tab, Enter and Escape; every value lands in its member and the group
// field, and keys typed after Tab leaves the popup land in the page's next field.
#include "entry/multifield/multifield.h"
#include "tests/entry/editbar/test_typing_util.h"

#include <utility>
#include <vector>

using namespace typing_test;

namespace {

struct PopupRun {
    const char *name;
    const char *group;   // the page field clicked
    int member;          // the member clicked in the popup
    const char *keys;    // typed in the popup
    const char *after;   // typed after the popup ended
    int refusals;
    std::vector<std::pair<const char *, const char *>> values;   // field, value afterwards
    int quickly = 0;     // typed ahead at once, not waiting for the program between keys
};

class MultiFieldTyping : public TypingTest {
protected:
    void SetUp() override { SetUpOn("samples/Sales.qvr"); }
};

TEST_F(MultiFieldTyping, EveryTypedValueLandsInItsMember)
{
    const PopupRun runs[] = {
        {"Tab walks through the address, Enter twice is OK", "0710", 0,
         "12 Elm St{Tab}Duluth{Tab}MN{Tab}55802{Return}{Return}", "", 0,
         {{"0711", "12 Elm St"}, {"0712", "Duluth"}, {"0713", "MN"}, {"0714", "55802"},
          {"0710", "12 Elm St Duluth MN 55802"}}},
        {"Shift+Tab walks back, Escape keeps the member", "0720", 0, "Ann{Tab}Lee{shift+Tab}Anna{Escape}{Return}", "",
         0, {{"0721", "Ann"}, {"0722", "Lee"}, {"0720", "Ann Lee"}}},
        {"a refused ZIP keeps the bar open", "0710", 0, "9 Oak Ave{Tab}Ely{Tab}MN{Tab}5573x{Tab}55731{Return}{Return}",
         "", 1, {{"0712", "Ely"}, {"0714", "55731"}, {"0710", "9 Oak Ave Ely MN 55731"}}},
        {"Shift+Tab out of the first member goes on to the field before", "0710", 0, "{shift+Tab}", "Smith{Return}", 0,
         {{"0702", "Smith"}, {"0710", ""}}},
        {"typed ahead", "0710", 0, "12 Elm St{Tab}Duluth{Tab}MN{Tab}55802{Return}{Return}", "", 0,
         {{"0711", "12 Elm St"}, {"0712", "Duluth"}, {"0713", "MN"}, {"0714", "55802"}}, 1},
    };
    for (const PopupRun &run : runs) {
        SCOPED_TRACE(run.name);
        ASSERT_TRUE(Reopen("Sales Worksheet.1"));
        for (int i = 0; i < run.refusals; i++)
            ScriptMessageBoxAnswer(IDOK);
        int typed = 0;
        RunDialogWithSteps([&] { return (INT_PTR)ClickField(run.group); },
                           [&](HWND dialog) {
                               ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDC_MF_VALUE_FIRST + run.member)));
                               ASSERT_NE(nullptr, gEditBarContainer) << "no edit bar after the click";
                               ASSERT_TRUE(run.quickly ? TypeKeysQuickly(run.keys) : TypeKeys(run.keys));
                               EXPECT_FALSE(IsWindowVisible(dialog)) << "the popup did not end";
                               typed = 1;
                           });
        ASSERT_TRUE(typed) << "the popup did not open";
        PumpUntilIdle();
        if (run.after[0]) {
            ASSERT_NE(nullptr, gEditBarContainer) << "no edit bar after the popup";
            ASSERT_TRUE(TypeKeys(run.after));
        }
        EXPECT_EQ(nullptr, gEditBarContainer);
        for (const auto &value : run.values)
            EXPECT_EQ(value.second, Value(value.first)) << value.first;
        EXPECT_EQ((size_t)run.refusals, GetShownMessageBoxes().size());
    }
}

}   // namespace
