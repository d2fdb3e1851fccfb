// Keys typed into the page's edit bar as a user types them, through the display's input and its
// window manager's focus: a run of values with Tab, Shift+Tab, Enter and Escape lands every value
// in its field, and nothing typed is lost.
#include "tests/entry/editbar/test_typing_util.h"

#include <utility>
#include <vector>

using namespace typing_test;

namespace {

struct TypedRun {
    const char *name;
    const char *click;   // the field clicked first
    const char *keys;
    int refusals;        // message boxes the run meets (a value the field refuses)
    std::vector<std::pair<const char *, const char *>> values;   // field, value afterwards
    int quickly = 0;     // typed ahead at once, not waiting for the program between keys
};

class EditBarTyping : public TypingTest {
protected:
    void SetUp() override { SetUpOn("samples/Sample.qvr"); }
};

TEST_F(EditBarTyping, EveryTypedValueLandsInItsField)
{
    const TypedRun runs[] = {
        {"Tab walks on", "0102", "100{Tab}200{Tab}300{Return}", 0, {{"0102", "100"}, {"0103", "200"}, {"0104", "300"}}},
        {"Shift+Tab walks back", "0104", "5{shift+Tab}6{Return}", 0, {{"0104", "5"}, {"0103", "6"}}},
        {"Escape keeps the old value", "0102", "999{Escape}", 0, {{"0102", ""}}},
        {"a refused value keeps the bar open", "0102", "1x{Return}42{Tab}7{Return}", 1, {{"0102", "42"}, {"0103", "7"}}},
        {"typed ahead", "0102", "100{Tab}200{Tab}300{Return}", 0, {{"0102", "100"}, {"0103", "200"}, {"0104", "300"}}, 1},
        {"an SSN box by box, then the spouse's names", "0012", "123456789{Tab}Ann B{Tab}Lee{Return}", 0,
         {{"0012", "123-45-6789"}, {"0013", "Ann B"}, {"0014", "Lee"}}},
        {"Shift+Tab back through the SSN's boxes to the last name", "0010",
         "Mary K{Tab}Smith{Tab}111223333{shift+Tab}{shift+Tab}{shift+Tab}Jones{Return}", 0,
         {{"0010", "Mary K"}, {"0011", "Jones"}, {"0012", "111-22-3333"}}},
        {"Escape in a name keeps the name", "0010", "Bob{Escape}", 0, {{"0010", "John Adam"}}},
        {"a state the list refuses, then its name", "0022", "Madison{Tab}ZZ{Tab}Iowa{Tab}53703{Return}", 1,
         {{"0022", "Madison"}, {"0023", "IA"}, {"0024", "53703"}}},
    };
    for (const TypedRun &run : runs) {
        SCOPED_TRACE(run.name);
        ASSERT_TRUE(Reopen("Form 1040.1"));
        for (int i = 0; i < run.refusals; i++)
            ScriptMessageBoxAnswer(IDOK);
        ASSERT_TRUE(ClickField(run.click));
        ASSERT_NE(nullptr, gEditBarContainer) << "no edit bar after the click";
        ASSERT_TRUE(run.quickly ? TypeKeysQuickly(run.keys) : TypeKeys(run.keys));
        EXPECT_EQ(nullptr, gEditBarContainer);
        for (const auto &value : run.values)
            EXPECT_EQ(value.second, Value(value.first)) << value.first;
        EXPECT_EQ((size_t)run.refusals, GetShownMessageBoxes().size());
    }
}

}   // namespace
