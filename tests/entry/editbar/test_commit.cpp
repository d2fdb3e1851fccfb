// The commit road of a page field: edit rules, the stored value, the field's own computation, the
// form's recompute, and the part edit times of the return record.
#include "tests/entry/editbar/test_editbar_util.h"

#include "calc/calc.h"
#include "entry/editbar/editbar_private.h"

using namespace editbar_test;

namespace {

const FieldDesc kFields[] = {
    {"0010", "N", "12", "Wages", NULL, NULL, NULL},
    {"0020", "CN", "12", "Total", "0010,+#5", NULL, NULL},
    {"0030", "T[1b]", "30", "Your first name", NULL, NULL, NULL},
    {"0040", "T[1a]", "11", "Your SSN", NULL, NULL, NULL},
    {"0050", "x", "1", "Yes", "0060", NULL, NULL},
    {"0060", "x", "1", "No", "0050", "X", NULL},
    {"0070", "U", "5", "Form version", NULL, NULL, NULL},
    {"0080", "i[2]", "30", "First name", NULL, NULL, NULL},
    {"0090", "T[1d]", "30", "Last name", NULL, NULL, NULL},
};
const int kFieldCount = sizeof(kFields) / sizeof(kFields[0]);

struct CommitRoad : ::testing::Test {
    FormInstance *page = NULL;
    EditRequest request;
    OpenReturn saved;
    void SetUp() override
    {
        memcpy(&saved, gOpenReturnPtr, sizeof(saved));
        InitOpenReturn(gOpenReturnPtr);
        page = MakeEditPage("Form 1040.1", 100, kFields, kFieldCount);
        memset(&request, 0, sizeof(request));
    }
    void TearDown() override
    {
        CloseEditBar(&request);
        FreeFormInstance(page);
        memcpy(gOpenReturnPtr, &saved, sizeof(saved));
    }
    void Commit(const char *seq, const char *text, const char *itemCode = "")
    {
        memset(&request, 0, sizeof(request));
        request.field = FieldOf(page, seq);
        request.fieldIndex = FieldIndex(page, seq);
        request.requesterKind = EDIT_REQUESTER_PAGE_VIEW;
        request.page = page;
        snprintf(request.text, sizeof(request.text), "%s", text);
        snprintf(request.itemCode, sizeof(request.itemCode), "%s", itemCode);
        CommitFieldEntry(&request);
    }
};

TEST_F(CommitRoad, StoresAndRecomputesTheForm)
{
    gReturnModified = 0;
    Commit("0010", "1,000");
    EXPECT_EQ("1,000", ValueOf(page, "0010"));
    EXPECT_EQ("1,005", ValueOf(page, "0020"));
    EXPECT_EQ(1, gReturnModified);
    // An unchanged entry stores nothing but still recomputes.
    SetFieldText(&FieldOf(page, "0020")->value, "");
    memset(&request, 0, sizeof(request));
    request.field = FieldOf(page, "0010");
    request.page = page;
    request.unchanged = 1;
    snprintf(request.text, sizeof(request.text), "999");
    CommitFieldEntry(&request);
    EXPECT_EQ("1,000", ValueOf(page, "0010"));
    EXPECT_EQ("1,005", ValueOf(page, "0020"));
}

TEST_F(CommitRoad, TaxpayerItemGoesThroughTheEditRules)
{
    Commit("0040", "123-45-6789", "1a");
    EXPECT_EQ("123-45-6789", ValueOf(page, "0040"));
    EXPECT_STREQ("123456789", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_SSN));
}

TEST_F(CommitRoad, RefusedByTheEditRulesLeavesFieldAndReturnAlone)
{
    SetFieldText(&FieldOf(page, "0030")->value, "ANN");
    SetReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "ANN");
    OpenReturn before;
    memcpy(&before, gOpenReturnPtr, sizeof(before));
    ScriptMessageBoxAnswer(IDOK);
    Commit("0030", "A FIRST NAME FAR TOO LONG", "1b");
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Data Validation Error", GetShownMessageBoxes()[0].title);
    EXPECT_EQ("ANN", ValueOf(page, "0030"));
    EXPECT_EQ(0, memcmp(&before, gOpenReturnPtr, sizeof(before)));
}

TEST_F(CommitRoad, CheckMarkIsComputedWithItsPartner)
{
    Commit("0050", "X");
    EXPECT_EQ("X", ValueOf(page, "0050"));
    EXPECT_EQ("", ValueOf(page, "0060"));   // the exclusive partner was cleared
}

TEST(PartEditTime, ByMainFormPage)
{
    FormInstance page;
    memset(&page, 0, sizeof(page));
    page.jurisdiction = 100;
    page.pageKey = (char *)"Form 1040.1";
    EXPECT_EQ(RETURN_EDIT_TIME_FEDERAL, GetPartEditTimeOffset(&page));
    page.pageKey = (char *)"Form 8888.1";
    EXPECT_EQ(RETURN_EDIT_TIME_FEDERAL, GetPartEditTimeOffset(&page));
    page.pageKey = (char *)"Form 1040.2";
    EXPECT_EQ(0, GetPartEditTimeOffset(&page));
    page.pageKey = (char *)"Schedule B.1";
    EXPECT_EQ(0, GetPartEditTimeOffset(&page));
    EXPECT_EQ(0, GetPartEditTimeOffset(NULL));
    // The edit times lie apart from the part blocks.
    EXPECT_GE(RETURN_EDIT_TIME_FEDERAL, RETURN_PART_OTHER + PART_BLOCK_SIZE);
    EXPECT_LE(RETURN_EDIT_TIME_OTHER + (int)sizeof(SYSTEMTIME), OPEN_RETURN_SIZE);
}

TEST_F(CommitRoad, EditBarStampsTheEditTimeNotTheSentTime)
{
    HWND requester = CreateRequester();
    FillRequest(&request, page, "0070", requester);
    ASSERT_NE(nullptr, CreateEditBar(requester, &request));
    SetDlgItemTextA(request.partWindows[0], IDC_EB_EDIT1, "12345");
    SendMessageA(request.partWindows[0], WM_CLOSE, 0, 1);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("12345", ValueOf(page, "0070"));
    SYSTEMTIME stamp;
    memcpy(&stamp, ReturnBytes(gOpenReturnPtr, RETURN_EDIT_TIME_FEDERAL), sizeof(stamp));
    EXPECT_GE(stamp.wYear, 2024);
    SYSTEMTIME zero;
    memset(&zero, 0, sizeof(zero));
    EXPECT_EQ(0, memcmp(&zero, ReturnBytes(gOpenReturnPtr, RETURN_PART_FEDERAL + PART_SENT_TIME), sizeof(zero)));
    EXPECT_EQ(0, memcmp(&zero, ReturnBytes(gOpenReturnPtr, RETURN_PART_FEDERAL + PART_STATUS_TIME), sizeof(zero)));
}

TEST_F(CommitRoad, NameRulesRefusalStoresNoBox)
{
    HWND requester = CreateRequester();
    FillRequest(&request, page, "0080", requester);
    ASSERT_NE(nullptr, CreateEditBar(requester, &request));
    HWND part = request.partWindows[0];
    SetDlgItemTextA(part, IDC_EB_EDIT1, "JOHN");
    SetDlgItemTextA(part, IDC_EB_EDIT2, "AVERYLONGLASTNAMEBEYONDIT");
    ScriptMessageBoxAnswer(IDOK);
    SendMessageA(part, WM_CLOSE, 0, 1);
    PumpMessages(30);
    EXPECT_NE(nullptr, gEditBarContainer);   // refused while the bar is open
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    SendMessageA(part, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("", ValueOf(page, "0080"));
    EXPECT_EQ("", ValueOf(page, "0090"));
    EXPECT_STREQ("", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_LAST_NAME));
    EXPECT_STREQ("", ReturnText(gOpenReturnPtr, RETURN_NAME_LINE));
}

TEST_F(CommitRoad, TaxpayerEntryRefusedWhileTheBarIsOpen)
{
    HWND requester = CreateRequester();
    FillRequest(&request, page, "0030", requester);
    ASSERT_NE(nullptr, CreateEditBar(requester, &request));
    HWND part = request.partWindows[0];
    SetDlgItemTextA(part, IDC_EB_EDIT1, "A FIRST NAME FAR TOO LONG");
    ScriptMessageBoxAnswer(IDOK);
    SendMessageA(part, WM_CLOSE, 0, 1);
    PumpMessages(30);
    EXPECT_NE(nullptr, gEditBarContainer);   // the user can correct it
    SetDlgItemTextA(part, IDC_EB_EDIT1, "JOHN");
    SendMessageA(part, WM_CLOSE, 0, 1);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("JOHN", ValueOf(page, "0030"));
    EXPECT_STREQ("JOHN", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_FIRST_NAME));
}

TEST_F(CommitRoad, SaveAndExitCommitTheOpenEditBarFirst)
{
    HWND requester = CreateRequester();
    FillRequest(&request, page, "0010", requester);
    ASSERT_NE(nullptr, CreateEditBar(requester, &request));
    WindowCallbacks saved = gWindowCallbacks;
    gWindowCallbacks.commitEditBar = CommitOpenEditBar;   // as the program sets it
    SetDlgItemTextA(request.partWindows[0], IDC_EB_EDIT1, "12x");
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, CommitEditBarForCommand(WM_COMMAND, IDM_SAVE, 0));   // refused: no save, the bar stays
    EXPECT_NE(nullptr, gEditBarContainer);
    SetDlgItemTextA(request.partWindows[0], IDC_EB_EDIT1, "250");
    EXPECT_EQ(1, CommitEditBarForCommand(WM_CLOSE, 0, 0));   // committed: the close goes on
    gWindowCallbacks = saved;
    EXPECT_EQ(nullptr, gEditBarContainer);
    EXPECT_EQ("250", ValueOf(page, "0010"));
    EXPECT_EQ("255", ValueOf(page, "0020"));
}

}  // namespace
