// Taxpayer items on the sample return in the main window: Form 1040, Schedule 1 and Schedule B
// show the names, SSNs and address of the return record; a first name changed in the popup, the
// edit bar or the e-file information sheet reaches every page; the "Paste" of incomplete names.
#include "tests/entry/editbar/test_editbar_util.h"

#include "calc/calc.h"
#include "pages/pages.h"
#include "tests/harness/pixels.h"

#include <functional>

using namespace editbar_test;

namespace {

struct TaxpayerSample : ::testing::Test {
    static HWND sMain;
    static std::string sPath;

    static void SetUpTestSuite()
    {
        std::string folder = SampleReturnFolder("TaxpayerSample", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"});
        sPath = folder + "Sample.qvr";
        if (GetFileAttributesA(sPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
            sPath.clear();
            return;
        }
        gEditBarFocusEvents = 0;
        sMain = CreateMainWindow(gInstance);
        ShowWindow(sMain, SW_SHOW);
        MoveWindow(sMain, 0, 0, 1200, 900, TRUE);
        PumpMessages(50);
    }
    static void TearDownTestSuite()
    {
        gReturnModified = 0;
        if (sMain && IsWindow(sMain))
            DestroyWindow(sMain);
        sMain = NULL;
        PumpMessages(20);
    }
    void SetUp() override
    {
        if (sPath.empty() || !sMain)
            GTEST_SKIP() << "the sample return was not built";
        gReturnModified = 0;
        SendMessageA(sMain, WM_OPEN_FILE, 0, (LPARAM)sPath.c_str());
        PumpMessages(100);
        WaitForRecompute();
        ClearShownMessageBoxes();
    }
    void TearDown() override
    {
        CloseEditBar(&gEditRequest);
        WaitForRecompute();
        gReturnModified = 0;   // the changes are not saved
    }
    static FormInstance *Page(const char *key)
    {
        FormInstance *page = NULL;
        return FindReturnPages(14, key, &page, 0) > 0 ? page : NULL;
    }
    static std::string ValueOn(const char *key, const char *seq)
    {
        FormInstance *page = Page(key);
        return page ? ValueOf(page, seq) : "<no page>";
    }
    static void Show(const char *key)
    {
        FormInstance *page = Page(key);
        ASSERT_NE(nullptr, page) << key;
        ShowTreeItemPage(page->treeItem);
        PumpMessages(50);
        ASSERT_EQ(page, (FormInstance *)GetCurrentDocument(4));
    }
    // Ink of the page bitmap inside a field's rectangle.
    static int InkOf(const char *seq)
    {
        FormInstance *page = (FormInstance *)GetCurrentDocument(4);
        FieldRecord *field = page ? FieldOf(page, seq) : NULL;
        return field && field->rect ? CountInk(gPageBitmap, field->rect) : 0;
    }
    // The names every page shows, after a first name of first.
    static void ExpectFirstNameEverywhere(const char *first, const char *initial)
    {
        char joint[100];
        snprintf(joint, sizeof(joint), "%s %s & Jane B Sample", first, initial);
        char own[60];
        snprintf(own, sizeof(own), "%s Adam", first);
        EXPECT_EQ(own, ValueOn("Form 1040.1", "0010"));
        EXPECT_EQ(joint, ValueOn("Schedule 1.1", "0001"));
        EXPECT_EQ(joint, ValueOn("Schedule B.1", "0001"));
    }
};
HWND TaxpayerSample::sMain;
std::string TaxpayerSample::sPath;

TEST_F(TaxpayerSample, EveryPageShowsNamesAndNumbersOfTheRecord)
{
    struct Case {
        const char *key, *seq, *value;
    } cases[] = {
        {"Form 1040.1", "0010", "John Adam"},   {"Form 1040.1", "0011", "Sample"},
        {"Form 1040.1", "0012", "400-01-2345"}, {"Form 1040.1", "0013", "Jane Beth"},
        {"Form 1040.1", "0015", "400-01-2346"}, {"Form 1040.1", "0020", "123 Main Street"},
        {"Form 1040.1", "0021", "Apt 4"},       {"Form 1040.1", "0023", "MN"},
        {"Form 1040.1", "0024", "55101"},       {"Schedule 1.1", "0001", "John A & Jane B Sample"},
        {"Schedule 1.1", "0002", "400-01-2345"}, {"Schedule B.1", "0001", "John A & Jane B Sample"},
        {"Schedule B.1", "0002", "400-01-2345"},
    };
    // Filled on opening, before the page is ever shown (printing reaches such pages too).
    EXPECT_EQ("John A & Jane B Sample", ValueOn("Schedule B.1", "0001"));
    for (const Case &c : cases) {
        Show(c.key);
        EXPECT_EQ(c.value, ValueOn(c.key, c.seq)) << c.key << " " << c.seq;
        EXPECT_GT(InkOf(c.seq), 20) << c.key << " " << c.seq;   // painted on the page
    }
    EXPECT_EQ(0, gReturnModified);   // filling the items changes nothing of the return
}

TEST_F(TaxpayerSample, FirstNameFromThePopupReachesEveryPage)
{
    Show("Form 1040.1");
    FormInstance *page = Page("Form 1040.1");
    RECT nameRect = *FieldOf(page, "0010")->rect;
    int inkBefore = CountInk(gPageBitmap, &nameRect);
    // A name group over the page's first and last name fields.
    FieldRecord group;
    memset(&group, 0, sizeof(group));
    group.typeCode = (char *)"S[c]";
    group.valueList = (char *)"0010,0011";
    group.description = (char *)"Your name";
    MultiFieldParams params;
    memset(&params, 0, sizeof(params));
    params.groupKind = MULTIFIELD_GROUP_NAME;
    params.field = &group;
    params.fields = page->fieldTable;
    INT_PTR result = RunDialogWithSteps([&] { return OpenMultiFieldDialog(sMain, &params); }, [&](HWND dialog) {
        EXPECT_EQ("First Name", GetControlText(dialog, IDC_MF_LABEL_FIRST));
        EXPECT_EQ("Last Name", GetControlText(dialog, IDC_MF_LABEL_FIRST + 1));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MF_VALUE_FIRST, STN_CLICKED), 0);
        ASSERT_NE(nullptr, gEditBarContainer);
        HWND row = NULL;
        for (HWND child = GetWindow(gEditBarContainer, GW_CHILD); child && !row; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgItem(child, IDC_EB_EDIT1))
                row = child;
        ASSERT_NE(nullptr, row);
        // The field holds first name and middle name: both are typed, the middle name kept.
        SetDlgItemTextA(row, IDC_EB_EDIT1, "Jonathan Adam");
        SendMessageA(GetDlgItem(row, IDC_EB_EDIT1), WM_KEYDOWN, VK_RETURN, 0);
        PumpMessages(30);
        ClickButton(dialog, IDC_MF_OK);
    });
    EXPECT_EQ(1, result);
    group.value = (char *)MemFree(group.value);
    EXPECT_STREQ("Jonathan", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    ExpectFirstNameEverywhere("Jonathan", "A");
    int inkAfter = CountInk(gPageBitmap, &nameRect);   // the new name is painted over the old one
    EXPECT_NE(inkBefore, inkAfter);
    EXPECT_GT(inkAfter, 20);
    // OK on members left as they are stores nothing into the record: "Jonathan Adam" (first
    // name with middle name) never becomes a first name.
    OpenReturn before;
    memcpy(&before, gOpenReturnPtr, sizeof(before));
    EXPECT_EQ(1, RunDialogWithSteps([&] { return OpenMultiFieldDialog(sMain, &params); },
                                    [&](HWND dialog) { ClickButton(dialog, IDC_MF_OK); }));
    group.value = (char *)MemFree(group.value);
    EXPECT_EQ(0, memcmp(&before, gOpenReturnPtr, sizeof(before)));
    ExpectFirstNameEverywhere("Jonathan", "A");
}

TEST_F(TaxpayerSample, FirstNameFromTheEditBarReachesEveryPage)
{
    Show("Schedule 1.1");
    FormInstance *page = Page("Schedule 1.1");
    // The edit bar's commit of a taxpayer item, as it hands it over for a page field.
    EditRequest request;
    memset(&request, 0, sizeof(request));
    request.field = FieldOf(Page("Form 1040.1"), "0010");
    request.page = Page("Form 1040.1");
    request.requesterKind = EDIT_REQUESTER_PAGE_VIEW;
    snprintf(request.text, sizeof(request.text), "Jack");
    snprintf(request.itemCode, sizeof(request.itemCode), "1b");
    CommitFieldEntry(&request);
    ExpectFirstNameEverywhere("Jack", "A");
    // The page shown was repainted with the new name.
    RECT rect = *FieldOf(page, "0001")->rect;
    EXPECT_GT(CountInk(gPageBitmap, &rect), 20);
    EXPECT_EQ(1, gReturnModified);
}

TEST_F(TaxpayerSample, InformationSheetChangesTheNamesOnEveryPage)
{
    Show("Form 1040.1");
    int stored = 0;
    RunDialogWithSteps([&] { stored = ShowEfileInfoSheet(sMain, 0, gOpenReturnPtr, 0); return (INT_PTR)stored; },
                       [&](HWND sheet) {
                           HWND taxpayer = PropSheet_GetCurrentPageHwnd(sheet);
                           EXPECT_EQ("John", GetControlText(taxpayer, IDC_EFS_EDIT_FIRST + EFS_TP_FIRST));
                           EXPECT_TRUE(IsWindowVisible(GetDlgItem(taxpayer, IDC_EFS_EDIT_FIRST + EFS_ZIP)));
                           SetControlText(taxpayer, IDC_EFS_EDIT_FIRST + EFS_TP_FIRST, "Johan");
                           PropSheet_PressButton(sheet, PSBTN_OK);
                           PumpMessages(30);
                       });
    EXPECT_EQ(1, stored);
    ExpectFirstNameEverywhere("Johan", "A");
    EXPECT_EQ(1, gReturnModified);
}

// The sheet typed as a user types it, opened by its Setup menu commands: typing starts in the
// first entry, Tab and Shift+Tab move between the entries, Enter is OK, Escape is Cancel, and an
// entry the record refuses brings the sheet back on that entry.
TEST_F(TaxpayerSample, ValuesTypedInTheInformationSheetLandInTheRecord)
{
    struct SheetRun {
        const char *name;
        UINT command;
        const char *keys;
        const char *keysAgain;   // typed into the sheet that comes back after a refusal
        std::vector<std::pair<int, const char *>> values;
    };
    const SheetRun runs[] = {
        {"Tab, Shift+Tab and Enter", IDM_TAXPAYERINFO, "Jon{Tab}Q{Tab}{shift+Tab}R{Return}", NULL,
         {{EFS_TP_FIRST, "Jon"}, {EFS_TP_MIDDLE, "R"}, {EFS_TP_LAST, "Sample"}}},
        {"Escape keeps the record", IDM_TAXPAYERINFO, "Zed{Escape}", NULL, {{EFS_TP_FIRST, "Jon"}}},
        {"a refused SSN comes back", IDM_TAXPAYERINFO, "{Tab}{Tab}{Tab}{Tab}12345{Return}", "400012399{Return}",
         {{EFS_TP_SSN, "400012399"}, {EFS_TP_FIRST, "Jon"}}},
        {"the e-file options", IDM_EFILEOPTIONS, "13579{Tab}24680{Return}", NULL,
         {{EFS_TP_PIN, "13579"}, {EFS_SP_PIN, "24680"}}},
    };
    SetForegroundWindow(sMain);
    for (const SheetRun &run : runs) {
        SCOPED_TRACE(run.name);
        ClearShownMessageBoxes();
        std::vector<std::function<void(HWND)>> steps = {[&](HWND) { EXPECT_TRUE(TypeKeys(run.keys)); }};
        if (run.keysAgain) {
            ScriptMessageBoxAnswer(IDOK);
            steps.push_back([&](HWND) { EXPECT_TRUE(TypeKeys(run.keysAgain)); });
        }
        RunDialogsWithSteps([&] { return (INT_PTR)SendMessageA(sMain, WM_COMMAND, run.command, 0); }, steps);
        EfileSheetValues values;
        ReadEfileSheetValues(gOpenReturnPtr, &values);
        for (const auto &value : run.values)
            EXPECT_STREQ(value.second, values.text[value.first]) << GetEfileSheetLabel(value.first);
        EXPECT_EQ(run.keysAgain ? 1u : 0u, GetShownMessageBoxes().size());
    }
}

// Either Setup command opens the sheet centred on the main window, wherever that stands.
TEST_F(TaxpayerSample, InformationSheetOpensCentredOnTheMainWindow)
{
    MoveWindow(sMain, 250, 150, 1000, 800, TRUE);
    PumpMessages(20);
    RECT main;
    GetWindowRect(sMain, &main);
    for (UINT command : {IDM_TAXPAYERINFO, IDM_EFILEOPTIONS}) {
        SCOPED_TRACE(command);
        RECT sheet = {0, 0, 0, 0};
        RunDialogWithSteps([&] { return (INT_PTR)SendMessageA(sMain, WM_COMMAND, command, 0); },
                           [&](HWND window) {
                               GetWindowRect(window, &sheet);
                               PropSheet_PressButton(window, PSBTN_CANCEL);
                           });
        EXPECT_NEAR((main.left + main.right) / 2, (sheet.left + sheet.right) / 2, 1);
        EXPECT_NEAR((main.top + main.bottom) / 2, (sheet.top + sheet.bottom) / 2, 1);
    }
    MoveWindow(sMain, 0, 0, 1200, 900, TRUE);
    PumpMessages(20);
}

TEST_F(TaxpayerSample, PasteOfIncompleteNamesIsRefused)
{
    Show("Form 1040.1");
    FormInstance *page = Page("Form 1040.1");
    SetFieldText(&FieldOf(page, "0046")->value, "");
    // Complete names paste.
    EXPECT_EQ(1, EditNameFields("0046=T[2bc]", page->fieldTable, sMain));
    EXPECT_EQ("Jane Beth", ValueOf(page, "0046"));
    EXPECT_EQ(0, EditNameFields("~0046", page->fieldTable, sMain));   // empties the field
    EXPECT_EQ("", ValueOf(page, "0046"));
    // Without a last name nothing is pasted.
    SetReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_LAST_NAME, 21, "");
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, EditNameFields("0046=T[1b],0048=T[2d]", page->fieldTable, sMain));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Unable to Paste Taxpayer Name", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("Taxpayer Name fields has incomplete data"));
    EXPECT_EQ("", ValueOf(page, "0046"));
    EXPECT_EQ("", ValueOf(page, "0048"));
    // The other groups of the check.
    char label[32];
    SetReturnText(gOpenReturnPtr, RETURN_CITY, 36, "");
    EXPECT_EQ(0, CheckPasteSources("0046=T[1h]", gOpenReturnPtr, label, sizeof(label)));
    EXPECT_STREQ("Address", label);
    SetReturnText(gOpenReturnPtr, RETURN_SPOUSE + PERSON_FIRST_NAME, 21, "");
    EXPECT_EQ(0, CheckPasteSources("0046=T[2d]", gOpenReturnPtr, label, sizeof(label)));
    EXPECT_STREQ("Spouse Name", label);
    EXPECT_EQ(1, CheckPasteSources("0046=T[1a],~0048", gOpenReturnPtr, label, sizeof(label)));
}

TEST_F(TaxpayerSample, MemberTypedInTheTotalPopupIsPaintedOnThePage)
{
    Show("Schedule 1.1");
    FormInstance *page = Page("Schedule 1.1");
    ASSERT_EQ(0, InkOf("0802"));
    MultiFieldParams params;
    memset(&params, 0, sizeof(params));
    params.field = FieldOf(page, "0090");   // line 9, the total of lines 8a to 8z
    params.fields = page->fieldTable;
    params.kind = 1;
    INT_PTR result = RunDialogWithSteps([&] { return OpenMultiFieldDialog(sMain, &params); }, [&](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MF_VALUE_FIRST + 1, STN_CLICKED), 0);
        ASSERT_NE(nullptr, gEditBarContainer);
        HWND row = NULL;
        for (HWND child = GetWindow(gEditBarContainer, GW_CHILD); child && !row; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgItem(child, IDC_EB_EDIT1))
                row = child;
        ASSERT_NE(nullptr, row);
        SetDlgItemTextA(row, IDC_EB_EDIT1, "500");
        SendMessageA(GetDlgItem(row, IDC_EB_EDIT1), WM_KEYDOWN, VK_RETURN, 0);
        PumpMessages(30);
        ClickButton(dialog, IDC_MF_OK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("500", ValueOf(page, "0802"));
    EXPECT_EQ("500", ValueOf(page, "0090"));
    EXPECT_GT(InkOf("0802"), 20) << "line 8b shows the amount the total counts";
}

} // namespace
