// Keys typed into the page's edit bar as a user types them, through the display's input and its
// window manager's focus: a run of values with Tab, Shift+Tab, Enter and Escape lands every value
// in its field, and nothing typed is lost.
#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct TypedRun {
    const char *name;
    const char *click;   // the field clicked first
    const char *keys;
    int refusals;        // message boxes the run meets (a value the field refuses)
    std::vector<std::pair<const char *, const char *>> values;   // field, value afterwards
    int quickly = 0;     // typed ahead at once, not waiting for the program between keys
};

class EditBarTyping : public MainWindowTest {
protected:
    std::string path;
    void SetUp() override
    {
        std::string folder = SampleReturnFolder("EditBarTyping", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"});
        path = folder + "Sample.qvr";
        MainWindowTest::SetUp();
        UseBuildFormPaks();
        ShowWindow(window, SW_SHOW);
        MoveWindow(window, 0, 0, 1200, 900, TRUE);
        SetForegroundWindow(window);
        PumpUntilIdle();
    }
    void TearDown() override
    {
        CloseEditBar(&gEditRequest);
        WaitForRecompute();
        gReturnModified = 0;
        MainWindowTest::TearDown();
        RestoreFormPakFolder();
    }
    FormInstance *Page() { return (FormInstance *)GetCurrentDocument(4); }
    FieldRecord *Field(const char *seq)
    {
        FormInstance *page = Page();
        int index = page ? FindLayoutField(page->fieldTable, 1, seq, 0) : 0;
        return index > 0 ? &page->fieldTable->fields[index] : NULL;
    }
    std::string Value(const char *seq)
    {
        FieldRecord *f = Field(seq);
        return f && f->value ? f->value : "";
    }
    // A click in the middle of the field on the screen, as the user makes it.
    int ClickField(const char *seq)
    {
        FieldRecord *f = Field(seq);
        if (!f || !f->rect)
            return 0;
        RECT client;
        GetFieldClientRect(f->rect, &client);
        POINT point = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
        ClientToScreen(gPageViewWindow, &point);
        return ClickScreen(point.x, point.y);
    }
};

TEST_F(EditBarTyping, EveryTypedValueLandsInItsField)
{
    const TypedRun runs[] = {
        {"Tab walks on", "0102", "100{Tab}200{Tab}300{Return}", 0, {{"0102", "100"}, {"0103", "200"}, {"0104", "300"}}},
        {"Shift+Tab walks back", "0104", "5{shift+Tab}6{Return}", 0, {{"0104", "5"}, {"0103", "6"}}},
        {"Escape keeps the old value", "0102", "999{Escape}", 0, {{"0102", ""}}},
        {"a refused value keeps the bar open", "0102", "1x{Return}42{Tab}7{Return}", 1, {{"0102", "42"}, {"0103", "7"}}},
        {"typed ahead", "0102", "100{Tab}200{Tab}300{Return}", 0, {{"0102", "100"}, {"0103", "200"}, {"0104", "300"}}, 1},
    };
    for (const TypedRun &run : runs) {
        SCOPED_TRACE(run.name);
        SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str());
        PumpUntilIdle();
        WaitForRecompute();
        ASSERT_NE(nullptr, Page());
        ASSERT_STREQ("Form 1040.1", Page()->pageKey);
        ClearShownMessageBoxes();
        for (int i = 0; i < run.refusals; i++)
            ScriptMessageBoxAnswer(IDOK);
        ASSERT_TRUE(ClickField(run.click));
        ASSERT_NE(nullptr, gEditBarContainer) << "no edit bar after the click";
        ASSERT_TRUE(run.quickly ? TypeKeysQuickly(run.keys) : TypeKeys(run.keys));
        EXPECT_EQ(nullptr, gEditBarContainer);
        for (const auto &value : run.values)
            EXPECT_EQ(value.second, Value(value.first)) << value.first;
        EXPECT_EQ((size_t)run.refusals, GetShownMessageBoxes().size());
        CloseEditBar(&gEditRequest);
        WaitForRecompute();
        gReturnModified = 0;
    }
}

}   // namespace
