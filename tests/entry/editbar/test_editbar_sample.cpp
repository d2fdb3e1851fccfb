// The edit bar on the sample return in the main window: a click on a field of Form 1040 opens
// it, what is typed is stored in the field and painted, the form is recomputed, Tab walks on,
// and a stored value survives saving, closing and opening the return again.
#include "calc/calc.h"
#include "entry/entry.h"
#include "pages/pages.h"
#include "prepare/prepare.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/pixels.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

namespace {

// The sample return copied into a folder of its own (it is saved by a test).
std::string SampleCopy()
{
    std::string source = BuiltFilePath("samples/Sample.qvr");
    if (source.empty())
        return "";
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    char path[MAX_PATH];
    snprintf(path, sizeof(path), "%sEditBarSample%lu.qvr", temp, (unsigned long)GetCurrentProcessId());
    return CopyFileA(source.c_str(), path, FALSE) ? path : "";
}

double Number(const char *text)
{
    return text ? TextToDouble(text) : 0.0;
}

// Pixels of the page bitmap inside a rectangle that are not white.
int CountInk(const RECT *rc)
{
    return ::CountInk(gPageBitmap, rc);
}

struct EditBarSample : ::testing::Test {
    static HWND sMain;
    static std::string sPath;
    int savedEnter = 0;

    static void SetUpTestSuite()
    {
        sPath = SampleCopy();
        if (sPath.empty())
            return;
        UseBuildFormPaks();
        gReturnModified = 0;
        gZoom = 0.3f;
        gEditBarFocusEvents = 0;   // driven with messages (the focus moves on its own under Xvfb)
        sMain = CreateMainWindow(gInstance);
        ShowWindow(sMain, SW_SHOW);
        MoveWindow(sMain, 0, 0, 1200, 900, TRUE);
        PumpMessages(50);
    }
    static void TearDownTestSuite()
    {
        if (sPath.empty())
            return;
        gReturnModified = 0;
        if (sMain && IsWindow(sMain))
            DestroyWindow(sMain);
        PumpMessages(20);
        DeleteFileA(sPath.c_str());
        RestoreFormPakFolder();
    }
    void SetUp() override
    {
        if (sPath.empty() || !sMain)
            GTEST_SKIP() << "the sample return was not built";
        savedEnter = gEnterAdvances;
        gEnterAdvances = 0;
        OpenSample();
    }
    void TearDown() override
    {
        CloseEditBar(&gEditRequest);
        gEnterAdvances = savedEnter;
        WaitForRecompute();
        gReturnModified = 0;
    }
    void OpenSample()
    {
        gReturnModified = 0;
        SendMessageA(sMain, WM_OPEN_FILE, 0, (LPARAM)sPath.c_str());
        PumpMessages(100);
        WaitForRecompute();
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
    // A click in the middle of the field, as the user makes it.
    int Click(const char *seq)
    {
        FieldRecord *f = Field(seq);
        if (!f || !f->rect)
            return 0;
        RECT client;
        GetFieldClientRect(f->rect, &client);
        LPARAM point = MAKELPARAM((client.left + client.right) / 2, (client.top + client.bottom) / 2);
        SendMessageA(gPageViewWindow, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(gPageViewWindow, WM_LBUTTONUP, 0, point);
        PumpMessages(20);
        return 1;
    }
    HWND Row() { return gEditRequest.partWindows[0]; }
    int WaitForBarGone()
    {
        for (int i = 0; i < 30 && gEditBarContainer; i++)
            PumpMessages(10);
        return gEditBarContainer == NULL;
    }
};

HWND EditBarSample::sMain;
std::string EditBarSample::sPath;

TEST_F(EditBarSample, SsnTypedIntoItsBoxesIsStoredAndPainted)
{
    ASSERT_STREQ("Form 1040.1", Page()->pageKey);
    FieldRecord *ssn = Field("0012");
    ASSERT_NE(nullptr, ssn);
    ASSERT_TRUE(Click("0012"));
    ASSERT_NE(nullptr, gEditBarContainer);
    EXPECT_EQ(ssn, gEditRequest.field);
    HWND boxes[3] = {GetDlgItem(Row(), IDC_EB_EDIT1), GetDlgItem(Row(), IDC_EB_EDIT2), GetDlgItem(Row(), IDC_EB_EDIT3)};
    for (HWND box : boxes)
        SetWindowTextA(box, "");
    SetFocus(boxes[0]);
    PumpMessages(20);
    if (GetFocus() == boxes[0]) {
        for (const char *p = "123456789"; *p; p++) {
            SendMessageA(GetFocus(), WM_CHAR, (WPARAM)*p, 1);
            PumpMessages(10);
        }
    } else {
        SetWindowTextA(boxes[0], "123");
        SetWindowTextA(boxes[1], "45");
        SetWindowTextA(boxes[2], "6789");
    }
    char text[16];
    GetWindowTextA(boxes[0], text, sizeof(text));
    EXPECT_STREQ("123", text);
    GetWindowTextA(boxes[1], text, sizeof(text));
    EXPECT_STREQ("45", text);
    GetWindowTextA(boxes[2], text, sizeof(text));
    EXPECT_STREQ("6789", text);
    RECT rc = *ssn->rect;
    SendMessageA(boxes[2], WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitForBarGone());
    EXPECT_EQ("123-45-6789", Value("0012"));
    EXPECT_STREQ("123456789", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_SSN));
    EXPECT_GT(CountInk(&rc), 30);   // the new number is on the page
    EXPECT_EQ(1, gReturnModified);
}

TEST_F(EditBarSample, WagesRecomputeTheTotalsOfTheForm)
{
    const char *totals[4] = {"0109", "0190", "0210", "0250"};   // lines 1z, 9, 11, 15
    double before[4];
    for (int i = 0; i < 4; i++)
        before[i] = Number(Field(totals[i])->value);
    EXPECT_EQ(52000.0, before[0]);
    ASSERT_TRUE(Click("0101"));
    ASSERT_NE(nullptr, gEditBarContainer);
    SetDlgItemTextA(Row(), IDC_EB_EDIT1, "60000");
    SendMessageA(Row(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitForBarGone());
    EXPECT_EQ("60,000", Value("0101"));
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(before[i] + 8000.0, Number(Field(totals[i])->value)) << totals[i];
    RECT line15 = *Field("0250")->rect;
    EXPECT_GT(CountInk(&line15), 30);
    WaitForRecompute();
    EXPECT_EQ(before[3] + 8000.0, Number(Field("0250")->value));
}

TEST_F(EditBarSample, TabWalksTheTabOrderAndEscapeStoresNothing)
{
    ASSERT_TRUE(Click("0101"));
    FormInstance *page = Page();
    int from = FindLayoutField(page->fieldTable, 1, "0101", 0);
    int next = FindNextTabField(page->fieldTable, from, 0);
    ASSERT_GT(next, 0);
    PostMessageA(GetDlgItem(Row(), IDC_EB_EDIT1), WM_KEYDOWN, VK_TAB, 0);
    PumpMessages(60);
    ASSERT_NE(nullptr, gEditBarContainer);   // the next field's bar
    EXPECT_EQ(&page->fieldTable->fields[next], gEditRequest.field);
    EXPECT_EQ(EDIT_ENTRY_KEYBOARD, gEditRequest.entryMode);
    EXPECT_EQ("52,000", Value("0101"));   // unchanged, not re-typed
    std::string old = gEditRequest.field->value ? gEditRequest.field->value : "";
    SetDlgItemTextA(Row(), IDC_EB_EDIT1, "777");
    PostMessageA(GetDlgItem(Row(), IDC_EB_EDIT1), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitForBarGone());
    EXPECT_EQ(old, std::string(page->fieldTable->fields[next].value ? page->fieldTable->fields[next].value : ""));
}

TEST_F(EditBarSample, EnterMovesOnWithEntAssist)
{
    gEnterAdvances = 1;
    ASSERT_TRUE(Click("0142"));
    FieldRecord *first = gEditRequest.field;
    SetDlgItemTextA(Row(), IDC_EB_EDIT1, "300");
    SendMessageA(GetDlgItem(Row(), IDC_EB_EDIT1), WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(60);
    EXPECT_EQ("300", Value("0142"));
    ASSERT_NE(nullptr, gEditBarContainer);
    EXPECT_NE(first, gEditRequest.field);
}

TEST_F(EditBarSample, CheckMarkClickStoresXWithoutABar)
{
    EXPECT_EQ("", Value("0030"));
    ASSERT_TRUE(Click("0030"));
    EXPECT_EQ(nullptr, gEditBarContainer);
    EXPECT_EQ("X", Value("0030"));
    ASSERT_TRUE(Click("0030"));
    EXPECT_EQ("", Value("0030"));
    // A filing status clears the other one.
    EXPECT_EQ("X", Value("0042"));
    ASSERT_TRUE(Click("0041"));
    EXPECT_EQ("X", Value("0041"));
    EXPECT_EQ("", Value("0042"));
}

TEST_F(EditBarSample, LateCommitLandsOnThePageItWasOpenedOn)
{
    FormInstance *first = Page();
    double line9Before = Number(Field("0190")->value);
    double taxableIraBefore = Number(Field("0142")->value);
    ASSERT_TRUE(Click("0142"));
    SetDlgItemTextA(Row(), IDC_EB_EDIT1, "975");
    // Another page is shown before the value is committed.
    FormInstance *second = NULL;
    ASSERT_TRUE(FindReturnPages(14, "Form 1040.2", &second, 0) && second);
    SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)second->treeItem);
    PumpMessages(50);
    ASSERT_EQ(second, Page());
    int onSecond = FindLayoutField(second->fieldTable, 1, "0142", 0);
    EXPECT_EQ(1, CommitOpenEditBar());
    int index = FindLayoutField(first->fieldTable, 1, "0142", 0);
    ASSERT_GT(index, 0);
    EXPECT_STREQ("975", first->fieldTable->fields[index].value);
    if (onSecond > 0) {
        EXPECT_STRNE("975", second->fieldTable->fields[onSecond].value ? second->fieldTable->fields[onSecond].value : "");
    }
    // The first page's form was recomputed: line 9 follows the new taxable IRA distributions.
    int line9 = FindLayoutField(first->fieldTable, 1, "0190", 0);
    EXPECT_EQ(line9Before + 975.0 - taxableIraBefore, Number(first->fieldTable->fields[line9].value));
}

TEST_F(EditBarSample, ValueSurvivesSaveCloseAndReopen)
{
    ASSERT_TRUE(Click("0142"));
    SetDlgItemTextA(Row(), IDC_EB_EDIT1, "1234");
    // Save with the bar still open: the bar is committed first.
    SendMessageA(sMain, WM_COMMAND, IDM_SAVE, 0);
    PumpMessages(20);
    EXPECT_EQ(nullptr, gEditBarContainer);
    EXPECT_EQ(0, gReturnModified);
    SendMessageA(sMain, WM_COMMAND, IDM_CLOSE, 0);
    PumpMessages(20);
    EXPECT_EQ(nullptr, GetCurrentDocument(4));
    OpenSample();
    ASSERT_NE(nullptr, Page());
    EXPECT_EQ("1,234", Value("0142"));
}

// What the preparer types is what the return keeps: a routing number and a PIN digit for digit,
// and "first name and middle initial" split into its members, through saving and reopening.
TEST_F(EditBarSample, TypedDigitsAndNameWithInitialReadBackExactly)
{
    struct {
        const char *page, *seq, *typed;
    } entries[] = {
        {"Form 1040.2", "0452", "012345678"},   // routing number ('G', 9 characters)
        {"Form 1040.2", "0512", "123456"},      // Identity Protection PIN ('N', 6 characters)
        {"Form 1040.1", "0010", "Mary K"},      // first name and middle initial
    };
    auto show = [&](const char *key) {
        FormInstance *page = NULL;
        if (!FindReturnPages(14, key, &page, 0) || !page)
            return false;
        SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)page->treeItem);
        PumpMessages(50);
        return Page() == page;
    };
    for (const auto &e : entries) {
        ASSERT_TRUE(show(e.page)) << e.page;
        ASSERT_TRUE(Click(e.seq)) << e.seq;
        ASSERT_NE(nullptr, gEditBarContainer) << e.seq;
        SetDlgItemTextA(Row(), IDC_EB_EDIT1, e.typed);
        SendMessageA(Row(), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(WaitForBarGone()) << e.seq;
        EXPECT_EQ(e.typed, Value(e.seq)) << e.seq;
    }
    EXPECT_STREQ("Mary", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_STREQ("K", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_MIDDLE_NAME));
    SendMessageA(sMain, WM_COMMAND, IDM_SAVE, 0);
    PumpMessages(20);
    SendMessageA(sMain, WM_COMMAND, IDM_CLOSE, 0);
    PumpMessages(20);
    OpenSample();
    for (const auto &e : entries) {
        ASSERT_TRUE(show(e.page)) << e.page;
        EXPECT_EQ(e.typed, Value(e.seq)) << e.seq;
    }
    EXPECT_STREQ("Mary", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_STREQ("K", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_MIDDLE_NAME));
}

}  // namespace

