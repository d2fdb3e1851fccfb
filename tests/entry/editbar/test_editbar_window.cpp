// The edit bar as a window: opened over a field of a test page, driven with messages (the part
// check, WM_CLOSE, SetDlgItemText, posted keys), and what it stores.
#include "tests/entry/editbar/test_editbar_util.h"

#include "calc/calc.h"

using namespace editbar_test;

namespace {

const FieldDesc kFields[] = {
    {"0010", "N", "9", "Your social security number", NULL, NULL, NULL},
    {"0020", "N", "12", "Wages", NULL, NULL, NULL},
    {"0030", "V", "1", "Filing status", "\"1=Single\",\"2=Married filing jointly\"", NULL, NULL},
    {"0040", "s", "2", "State", NULL, NULL, NULL},
    {"0050", "X", "1", "Digital assets", NULL, NULL, NULL},
    {"0060", "i[2]", "20", "First name", NULL, NULL, NULL},
    {"0070", "A", "25", "Last name", NULL, NULL, NULL},
    {"0080", "*", "30", "Statement line", NULL, NULL, "*[1]"},
    {"0090", "D", "10", "Date", NULL, "04/15/2024", NULL},
    {"0100", "^", "1", "Name pieces", "[FL:0110,0120]", NULL, NULL},
    {"0110", "A", "15", "Piece one", NULL, NULL, NULL},
    {"0120", "N", "5", "Piece two", NULL, "77", NULL},
    {"0130", "t", "10", "Phone", NULL, NULL, NULL},
};
const int kFieldCount = sizeof(kFields) / sizeof(kFields[0]);

struct EditBarWindow : ::testing::Test {
    FormInstance *page = NULL;
    HWND requester = NULL;
    EditRequest request;
    int savedEnter = 0;
    void SetUp() override
    {
        page = MakeEditPage("Form 1040.1", 100, kFields, kFieldCount);
        requester = CreateRequester();
        savedEnter = gEnterAdvances;
        gEnterAdvances = 0;
        memset(&request, 0, sizeof(request));
    }
    void TearDown() override
    {
        CloseEditBar(&request);
        gEnterAdvances = savedEnter;
        PumpMessages(10);
        FreeFormInstance(page);
    }
    HWND Open(const char *seq, int mode = EDIT_ENTRY_CLICK, int kind = EDIT_REQUESTER_PAGE_VIEW)
    {
        FillRequest(&request, page, seq, requester, kind, mode);
        HWND container = CreateEditBar(requester, &request);
        if (container)
            ShowEditBar(container, &request);
        return container;
    }
    HWND Item(int id, int part = 0) { return GetDlgItem(PartWindow(&request, part), id); }
    void SetText(int id, const char *text, int part = 0) { SetDlgItemTextA(PartWindow(&request, part), id, text); }
    void Close(int check, int part = 0) { SendMessageA(PartWindow(&request, part), WM_CLOSE, 0, check); }
};

TEST_F(EditBarWindow, SsnBoxesJoinAndEnterStoresTheNormalForm)
{
    ASSERT_NE(nullptr, Open("0010"));
    EditBarPart *part = PartOf(&request);
    ASSERT_NE(nullptr, part);
    EXPECT_EQ(ENTRY_CONTROL_SSN, part->controlKind);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_EB_EDIT3)));
    SetText(IDC_EB_EDIT1, "123");
    SetText(IDC_EB_EDIT2, "45");
    SetText(IDC_EB_EDIT3, "6789");
    SendMessageA(PartWindow(&request), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("123-45-6789", ValueOf(page, "0010"));
    EXPECT_TRUE(RequesterLog().empty());   // Enter without "EntAssist" does not move on
}

TEST_F(EditBarWindow, TypedDigitsMoveOnFromFullBoxes)
{
    ASSERT_NE(nullptr, Open("0010"));
    SetFocus(Item(IDC_EB_EDIT1));
    PumpMessages(20);
    if (GetFocus() != Item(IDC_EB_EDIT1))
        GTEST_SKIP() << "no keyboard focus under this display";
    for (const char *p = "123456789"; *p; p++) {
        HWND focus = GetFocus();
        if (focus != Item(IDC_EB_EDIT1) && focus != Item(IDC_EB_EDIT2) && focus != Item(IDC_EB_EDIT3))
            GTEST_SKIP() << "the keyboard focus left the bar under this display";
        SendMessageA(focus, WM_CHAR, (WPARAM)*p, 1);
        PumpMessages(10);
    }
    char box[16];
    GetWindowTextA(Item(IDC_EB_EDIT1), box, sizeof(box));
    EXPECT_STREQ("123", box);
    GetWindowTextA(Item(IDC_EB_EDIT2), box, sizeof(box));
    EXPECT_STREQ("45", box);
    GetWindowTextA(Item(IDC_EB_EDIT3), box, sizeof(box));
    EXPECT_STREQ("6789", box);
    EXPECT_EQ(1, CheckPart(&request));
    EXPECT_STREQ("123-45-6789", request.text);
}

// Separators typed out of habit move on between the boxes and never land in one.
TEST_F(EditBarWindow, TypedSeparatorsMoveOnBetweenTheBoxes)
{
    struct Case {
        const char *seq, *typed, *text;
    } cases[] = {
        {"0010", "400-01-2345", "400-01-2345"},
        {"0090", "01/05/2024", "01/05/2024"},
        {"0090", "1/5/2024", "01/05/2024"},
        {"0090", "12-31-2024", "12/31/2024"},
        {"0130", "(612) 555-0100", "(612)555-0100"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_NE(nullptr, Open(c.seq));
        for (int id = IDC_EB_EDIT1; id <= IDC_EB_EDIT3; id++)
            SetText(id, "");
        SetFocus(Item(IDC_EB_EDIT1));
        PumpMessages(20);
        if (GetFocus() != Item(IDC_EB_EDIT1))
            GTEST_SKIP() << "no keyboard focus under this display";
        for (const char *p = c.typed; *p; p++) {
            SendMessageA(GetFocus(), WM_CHAR, (WPARAM)*p, 1);
            PumpMessages(10);
        }
        EXPECT_EQ(1, CheckPart(&request));
        EXPECT_STREQ(c.text, request.text);
        CloseEditBar(&request);
        PumpMessages(10);
    }
}

TEST_F(EditBarWindow, StoredSsnOpensInItsBoxes)
{
    SetFieldText(&FieldOf(page, "0010")->value, "987-65-4321");
    ASSERT_NE(nullptr, Open("0010"));
    char box[16];
    GetWindowTextA(Item(IDC_EB_EDIT2), box, sizeof(box));
    EXPECT_STREQ("65", box);
}

TEST_F(EditBarWindow, FocusLeavingTheBarChecksAndCommits)
{
    gEditBarFocusEvents = 1;
    ASSERT_NE(nullptr, Open("0020"));
    SetText(IDC_EB_EDIT1, "abc");
    SetFocus(Item(IDC_EB_EDIT1));
    PumpMessages(10);
    if (GetFocus() != Item(IDC_EB_EDIT1)) {
        gEditBarFocusEvents = 0;
        GTEST_SKIP() << "no keyboard focus under this display";
    }
    SetDefaultMessageBoxAnswer(IDOK);
    SetFocus(requester);   // the user clicks elsewhere: the row is checked and refuses
    PumpMessages(30);
    EXPECT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_NE(nullptr, gEditBarContainer);
    EXPECT_EQ("", ValueOf(page, "0020"));
    SetText(IDC_EB_EDIT1, "42");
    SetFocus(Item(IDC_EB_EDIT1));
    PumpMessages(10);
    SetFocus(requester);   // now it is accepted and stored
    EXPECT_TRUE(WaitForEditBarGone());
    gEditBarFocusEvents = 0;
    EXPECT_EQ("42", ValueOf(page, "0020"));
    EXPECT_TRUE(RequesterLog().empty());   // no walk to another field
}

TEST_F(EditBarWindow, EscapeStoresNothing)
{
    ASSERT_NE(nullptr, Open("0020"));
    SetText(IDC_EB_EDIT1, "5000");
    PostMessageA(Item(IDC_EB_EDIT1), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("", ValueOf(page, "0020"));
    EXPECT_EQ(0u, request.valid);
}

TEST_F(EditBarWindow, TabStoresAndAsksForTheNextField)
{
    ASSERT_NE(nullptr, Open("0020"));
    SetText(IDC_EB_EDIT1, "52000");
    PostMessageA(Item(IDC_EB_EDIT1), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("52,000", ValueOf(page, "0020"));
    ASSERT_EQ(1u, RequesterLog().size());
    EXPECT_EQ((UINT)WM_PAGE_GOTOFIELD, RequesterLog()[0].message);
    EXPECT_EQ(0u, RequesterLog()[0].wParam);
    EXPECT_EQ((LPARAM)FieldIndex(page, "0020"), RequesterLog()[0].lParam);
}

TEST_F(EditBarWindow, BackwardNavigationAndInvalidTabKeepsTheBar)
{
    ASSERT_NE(nullptr, Open("0020"));
    SetText(IDC_EB_EDIT1, "abc");
    ScriptMessageBoxAnswer(IDOK);
    SendMessageA(PartWindow(&request), WM_NEXTDLGCTL, 1, 0);
    PumpMessages(30);
    EXPECT_NE(nullptr, gEditBarContainer);   // refused: still open
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Wages", GetShownMessageBoxes()[0].title);   // the field's description
    EXPECT_TRUE(RequesterLog().empty());
    SetText(IDC_EB_EDIT1, "12");
    SendMessageA(PartWindow(&request), WM_NEXTDLGCTL, 1, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    ASSERT_EQ(1u, RequesterLog().size());
    EXPECT_EQ(1u, RequesterLog()[0].wParam);
    EXPECT_EQ("12", ValueOf(page, "0020"));
}

TEST_F(EditBarWindow, EnterAdvancesWithEntAssist)
{
    gEnterAdvances = 1;
    ASSERT_NE(nullptr, Open("0020"));
    SetText(IDC_EB_EDIT1, "7");
    PostMessageA(Item(IDC_EB_EDIT1), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("7", ValueOf(page, "0020"));
    ASSERT_EQ(1u, RequesterLog().size());
    EXPECT_EQ((UINT)WM_PAGE_GOTOFIELD, RequesterLog()[0].message);
}

TEST_F(EditBarWindow, EnterInADateFirstMovesToTheNextBoxWithEntAssist)
{
    gEnterAdvances = 1;
    ASSERT_NE(nullptr, Open("0090"));
    EditBarPart *part = PartOf(&request);
    ASSERT_EQ(ENTRY_CONTROL_DATE, part->controlKind);
    char box[16];
    GetWindowTextA(Item(IDC_EB_EDIT3), box, sizeof(box));
    EXPECT_STREQ("2024", box);
    SendMessageA(Item(IDC_EB_EDIT1), WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);
    EXPECT_NE(nullptr, gEditBarContainer);
    SendMessageA(Item(IDC_EB_EDIT3), WM_KEYDOWN, VK_RETURN, 0);   // from the last box: the field is left
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("04/15/2024", ValueOf(page, "0090"));
}

TEST_F(EditBarWindow, CheckMarkClickTogglesWithoutABar)
{
    EXPECT_EQ(nullptr, Open("0050"));
    EXPECT_EQ(nullptr, gEditBarContainer);
    EXPECT_EQ("X", ValueOf(page, "0050"));
    EXPECT_EQ(nullptr, Open("0050"));
    EXPECT_EQ("", ValueOf(page, "0050"));
    // Reached by keyboard, the check mark is typed.
    ASSERT_NE(nullptr, Open("0050", EDIT_ENTRY_KEYBOARD));
    SetText(IDC_EB_EDIT1, "X");
    Close(1);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("X", ValueOf(page, "0050"));
}

TEST_F(EditBarWindow, ListValueRefusedWithItsTitleThenStoredAsItsCode)
{
    ASSERT_NE(nullptr, Open("0030"));
    HWND list = Item(IDC_EB_LIST);
    ASSERT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(2, (int)SendMessageA(list, CB_GETCOUNT, 0, 0));
    SendMessageA(list, CB_SETCURSEL, (WPARAM)-1, 0);
    SetWindowTextA(list, "Sin");
    PartOf(&request)->edited = 1;
    ScriptMessageBoxAnswer(IDOK);
    Close(1);
    PumpMessages(20);
    EXPECT_NE(nullptr, gEditBarContainer);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Invalid Filing status", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("not an allowable value"));
    EXPECT_EQ("", ValueOf(page, "0030"));
    SetWindowTextA(list, "Married filing jointly");
    Close(1);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("2", ValueOf(page, "0030"));
}

TEST_F(EditBarWindow, StoredListValueOpensSelected)
{
    SetFieldText(&FieldOf(page, "0030")->value, "2");
    ASSERT_NE(nullptr, Open("0030"));
    EXPECT_EQ(1, (int)SendMessageA(Item(IDC_EB_LIST), CB_GETCURSEL, 0, 0));
}

TEST_F(EditBarWindow, TypedStateNameStoredAsItsAbbreviation)
{
    ASSERT_NE(nullptr, Open("0040"));
    SetWindowTextA(Item(IDC_EB_LIST), "Minnesota");
    PartOf(&request)->edited = 1;
    Close(1);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("MN", ValueOf(page, "0040"));
}

TEST_F(EditBarWindow, NameBoxesNeedFirstAndLastName)
{
    ASSERT_NE(nullptr, Open("0060"));
    EditBarPart *part = PartOf(&request);
    ASSERT_EQ(ENTRY_CONTROL_NAME2, part->controlKind);
    SetText(IDC_EB_EDIT2, "Smith");
    ScriptMessageBoxAnswer(IDOK);
    Close(1);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Missing First Name", GetShownMessageBoxes()[0].title);
    EXPECT_EQ((unsigned)(MB_ICONEXCLAMATION | MB_TASKMODAL | MB_TOPMOST), GetShownMessageBoxes()[0].flags);
    SetText(IDC_EB_EDIT1, "John");
    SetText(IDC_EB_EDIT2, "");
    ScriptMessageBoxAnswer(IDOK);
    Close(1);
    ASSERT_EQ(2u, GetShownMessageBoxes().size());
    EXPECT_EQ("Missing Last Name", GetShownMessageBoxes()[1].title);
    EXPECT_EQ("", ValueOf(page, "0060"));
    EXPECT_EQ("", ValueOf(page, "0070"));
    SetText(IDC_EB_EDIT2, "Smith");
    Close(1);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("John", ValueOf(page, "0060"));
    EXPECT_EQ("Smith", ValueOf(page, "0070"));
}

TEST_F(EditBarWindow, EmptyNameGroupClearsItsFields)
{
    SetFieldText(&FieldOf(page, "0060")->value, "Ann");
    SetFieldText(&FieldOf(page, "0070")->value, "Lee");
    ASSERT_NE(nullptr, Open("0060"));
    char box[32];
    GetWindowTextA(Item(IDC_EB_EDIT2), box, sizeof(box));
    EXPECT_STREQ("Lee", box);
    SetText(IDC_EB_EDIT1, "");
    SetText(IDC_EB_EDIT2, "");
    Close(1);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("", ValueOf(page, "0060"));
    EXPECT_EQ("", ValueOf(page, "0070"));
}

TEST_F(EditBarWindow, StatementFieldRefusesStmAndHasItsButton)
{
    ASSERT_NE(nullptr, Open("0080"));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_EB_STMT)));
    SetText(IDC_EB_EDIT1, "STM 1");
    ScriptMessageBoxAnswer(IDOK);
    Close(1);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Entry Is Not Valid For This Field", GetShownMessageBoxes()[0].title);
    EXPECT_NE(nullptr, gEditBarContainer);
    SetText(IDC_EB_EDIT1, "Rent");
    Close(1);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("Rent", ValueOf(page, "0080"));
}

TEST_F(EditBarWindow, Form8949RefusesCapitalGainCodes)
{
    FreeFormInstance(page);
    page = MakeEditPage("Form 8949.1", 100, kFields, kFieldCount);
    ASSERT_NE(nullptr, Open("0080"));
    SetText(IDC_EB_EDIT1, "LTCGL 5");
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, CheckPart(&request));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("long-term"));
    SetText(IDC_EB_EDIT1, "STCGX");
    EXPECT_EQ(1, CheckPart(&request));
}

TEST_F(EditBarWindow, OverlongStoredValueIsNeverCut)
{
    // A stored value longer than the field's length opens whole; it is refused rather than cut.
    const char *longText = "A description longer than thirty characters";
    SetFieldText(&FieldOf(page, "0080")->value, longText);
    ASSERT_NE(nullptr, Open("0080"));
    char shown[128];
    GetWindowTextA(Item(IDC_EB_EDIT1), shown, sizeof(shown));
    EXPECT_STREQ(longText, shown);
    ScriptMessageBoxAnswer(IDOK);
    PostMessageA(Item(IDC_EB_EDIT1), WM_KEYDOWN, VK_TAB, 0);
    PumpMessages(50);
    EXPECT_NE(nullptr, gEditBarContainer);
    EXPECT_EQ(1u, GetShownMessageBoxes().size());
    PostMessageA(Item(IDC_EB_EDIT1), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ(longText, ValueOf(page, "0080"));
}

TEST_F(EditBarWindow, UnchangedValueTabRunsTheRoadWithoutStoring)
{
    SetFieldText(&FieldOf(page, "0020")->value, "1200");   // not in its normal form
    ASSERT_NE(nullptr, Open("0020"));
    PostMessageA(Item(IDC_EB_EDIT1), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("1200", ValueOf(page, "0020"));
    EXPECT_EQ(1u, request.committedCount);
    ASSERT_EQ(1u, RequesterLog().size());
}

TEST_F(EditBarWindow, ListOfFieldsGivesOneRowPerField)
{
    ASSERT_NE(nullptr, Open("0100"));
    EXPECT_EQ(2u, request.partCount);
    HWND container = gEditBarContainer;
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(container, IDC_EB_CHOICE1)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(container, IDC_EB_CHOICE2)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(container, IDC_EB_CHOICE3)));
    EXPECT_EQ(FieldOf(page, "0110"), PartOf(&request, 0)->field);
    EXPECT_EQ(FieldOf(page, "0120"), PartOf(&request, 1)->field);
    EXPECT_EQ('F', PartOf(&request, 0)->partLetter);
    char shown[16];
    GetWindowTextA(Item(IDC_EB_EDIT1, 1), shown, sizeof(shown));
    EXPECT_STREQ("77", shown);   // each row opens with its own field's value
    // The choice boxes pick the active row.
    CheckDlgButton(container, IDC_EB_CHOICE2, BST_CHECKED);
    SendMessageA(container, WM_COMMAND, MAKEWPARAM(IDC_EB_CHOICE2, BN_CLICKED), (LPARAM)GetDlgItem(container, IDC_EB_CHOICE2));
    EXPECT_EQ(1u, request.activePart);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(container, IDC_EB_CHOICE1));
    CheckDlgButton(container, IDC_EB_CHOICE2, BST_UNCHECKED);
    SendMessageA(container, WM_COMMAND, MAKEWPARAM(IDC_EB_CHOICE2, BN_CLICKED), (LPARAM)GetDlgItem(container, IDC_EB_CHOICE2));
    EXPECT_EQ(0u, request.activePart);   // no third row: back to the first
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(container, IDC_EB_CHOICE1));

    // Both rows typed, Enter in the first: each lands in its own field, once.
    SetText(IDC_EB_EDIT1, "Alpha", 0);
    SetText(IDC_EB_EDIT1, "123", 1);
    Close(1, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("Alpha", ValueOf(page, "0110"));
    EXPECT_EQ("123", ValueOf(page, "0120"));
    EXPECT_EQ(2u, request.committedCount);
    EXPECT_EQ("", ValueOf(page, "0100"));
}

TEST_F(EditBarWindow, ListRowRefusedKeepsTheBarAndStoresNothing)
{
    ASSERT_NE(nullptr, Open("0100"));
    SetText(IDC_EB_EDIT1, "Alpha", 0);
    SetText(IDC_EB_EDIT1, "12x", 1);
    ScriptMessageBoxAnswer(IDOK);
    Close(1, 0);
    PumpMessages(30);
    EXPECT_NE(nullptr, gEditBarContainer);
    EXPECT_EQ(1u, request.activePart);
    EXPECT_EQ("", ValueOf(page, "0110"));
    EXPECT_EQ("77", ValueOf(page, "0120"));
    PostMessageA(Item(IDC_EB_EDIT1, 1), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("", ValueOf(page, "0110"));
    EXPECT_EQ("77", ValueOf(page, "0120"));
}

TEST_F(EditBarWindow, PhoneBoxes)
{
    SetFieldText(&FieldOf(page, "0130")->value, "(612)555-0100");
    ASSERT_NE(nullptr, Open("0130"));
    char box[16];
    GetWindowTextA(Item(IDC_EB_EDIT2), box, sizeof(box));
    EXPECT_STREQ("555", box);
    GetWindowTextA(Item(IDC_EB_SEP1), box, sizeof(box));
    EXPECT_STREQ("(", box);
    SetText(IDC_EB_EDIT3, "0199");
    Close(1);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ("(612)555-0199", ValueOf(page, "0130"));
}

TEST_F(EditBarWindow, SecondBarIsRefused)
{
    ASSERT_NE(nullptr, Open("0020"));
    HWND first = gEditBarContainer;
    EditRequest other;
    FillRequest(&other, page, "0080", requester);
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(nullptr, CreateEditBar(requester, &other));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Invalid window handle.  Edit bar already running.", GetShownMessageBoxes()[0].text);
    EXPECT_EQ(first, gEditBarContainer);
}

TEST_F(EditBarWindow, UnsupportedFieldsCloseWithTheirMessage)
{
    const FieldDesc descs[] = {{"0010", "L", "5", "A label", NULL, NULL, NULL},
                               {"0020", "^", "1", "Too many", "0030,0030,0030,0030", NULL, NULL},
                               {"0030", "N", "5", "Piece", NULL, NULL, NULL}};
    FormInstance *other = MakeEditPage("Form 1040.2", 100, descs, 3);
    for (const char *seq : {"0010", "0020"}) {
        ClearShownMessageBoxes();
        FillRequest(&request, other, seq, requester);
        if (strcmp(seq, "0010") == 0)
            SetFieldText(&FieldOf(other, "0010")->typeCode, "");
        ScriptMessageBoxAnswer(IDOK);
        EXPECT_EQ(nullptr, CreateEditBar(requester, &request));
        ASSERT_EQ(1u, GetShownMessageBoxes().size()) << seq;
        EXPECT_EQ("Data entry for this field is not supported.", GetShownMessageBoxes()[0].text);
        EXPECT_EQ(FieldOf(other, seq)->description, GetShownMessageBoxes()[0].title);
        EXPECT_EQ(nullptr, gEditBarContainer);
    }
    FreeFormInstance(other);
}

TEST_F(EditBarWindow, PlacedOverTheFieldWithItsShadow)
{
    ASSERT_NE(nullptr, Open("0020"));
    RECT bar;
    GetWindowRect(gEditBarContainer, &bar);
    EXPECT_EQ(request.fieldRect.left, bar.left);
    ASSERT_NE(nullptr, request.shadow);
    EXPECT_EQ(requester, GetParent(request.shadow));
    RECT shadow;
    GetWindowRect(request.shadow, &shadow);
    EXPECT_EQ(bar.left + 5, shadow.left);
    EXPECT_EQ(bar.top + 5, shadow.top);
    EXPECT_EQ(bar.right - bar.left, shadow.right - shadow.left);
    EXPECT_EQ(bar.bottom - bar.top, shadow.bottom - shadow.top);

    request.cancelled = 1;
    SendMessageA(gEditBarContainer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitForEditBarGone());
    EXPECT_EQ(nullptr, request.shadow);
}

TEST_F(EditBarWindow, KindIconsAndHintTooltips)
{
    struct Row {
        const char *seq;
        int controlKind;
        const char *allowed;
    } rows[] = {
        {"0010", ENTRY_CONTROL_SSN, "Allowable chars: 0-9"},
        {"0020", ENTRY_CONTROL_EDIT, "Allowable chars: 0-9"},
        {"0030", ENTRY_CONTROL_LIST, "Allowable chars: Select from list"},
        {"0040", ENTRY_CONTROL_LIST, "Allowable chars: A-Z"},
        {"0090", ENTRY_CONTROL_DATE, "(Format: mmddyyyy)"},
        {"0130", ENTRY_CONTROL_PHONE, "Allowable chars: 0-9"},
        {"0080", ENTRY_CONTROL_EDIT, "Allowable chars: A-Z, 0-9"},
    };
    for (const Row &row : rows) {
        ASSERT_NE(nullptr, Open(row.seq)) << row.seq;
        EditBarPart *part = PartOf(&request);
        EXPECT_EQ(row.controlKind, part->controlKind) << row.seq;
        EXPECT_NE(nullptr, (HANDLE)SendMessageA(Item(IDC_EB_ICON1), STM_GETIMAGE, IMAGE_BITMAP, 0)) << row.seq;
        char expected[1024];
        BuildFieldHintText(expected, sizeof(expected), "Form 1040", EDIT_REQUESTER_PAGE_VIEW, part->field, NULL, NULL);
        std::string hint = ToolTextW(part->tooltip, PartWindow(&request), IDC_EB_HINTTOOL);
        EXPECT_EQ(expected, hint) << row.seq;
        EXPECT_EQ(0u, hint.find("Form 1040")) << row.seq;
        EXPECT_NE(std::string::npos, hint.find(part->field->description)) << row.seq;
        EXPECT_NE(std::string::npos, hint.find(row.allowed)) << row.seq << ": " << hint;
        if (part->field->seqPrefix) {
            EXPECT_EQ("Show field in Statement View", ToolTextW(part->tooltip, Item(IDC_EB_STMT), IDC_EB_STMT));
        }
        request.cancelled = 1;
        SendMessageA(gEditBarContainer, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitForEditBarGone());
    }
}

TEST_F(EditBarWindow, KeptInsideTheRightEdgeOfTheView)
{
    FillRequest(&request, page, "0020", requester);
    RECT client;
    GetClientRect(requester, &client);
    MapWindowPoints(requester, HWND_DESKTOP, (POINT *)&client, 2);
    OffsetRect(&request.fieldRect, client.right - 20 - request.fieldRect.left, 0);
    ASSERT_NE(nullptr, CreateEditBar(requester, &request));
    RECT bar;
    GetWindowRect(gEditBarContainer, &bar);
    EXPECT_EQ(client.right - 10, bar.right);
}

TEST_F(EditBarWindow, CommitOpenEditBarBeforeSaving)
{
    EXPECT_EQ(1, CommitOpenEditBar());   // none open
    ASSERT_NE(nullptr, Open("0020"));
    SetText(IDC_EB_EDIT1, "x1");
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, CommitOpenEditBar());   // refused: the bar stays for the user
    EXPECT_NE(nullptr, gEditBarContainer);
    SetText(IDC_EB_EDIT1, "1234");
    EXPECT_EQ(1, CommitOpenEditBar());
    EXPECT_EQ(nullptr, gEditBarContainer);
    EXPECT_EQ("1,234", ValueOf(page, "0020"));
}

TEST_F(EditBarWindow, GridRequesterGetsEditDone)
{
    ASSERT_NE(nullptr, Open("0020", EDIT_ENTRY_CLICK, EDIT_REQUESTER_GRID));
    SetText(IDC_EB_EDIT1, "300");
    Close(1);
    EXPECT_TRUE(WaitForEditBarGone());
    ASSERT_GE(RequesterLog().size(), 1u);
    EXPECT_EQ((UINT)WM_EDIT_DONE, RequesterLog()[0].message);
    EXPECT_EQ("300", RequesterLog()[0].text);
    EXPECT_EQ("", ValueOf(page, "0020"));   // the grid stores it itself
}

TEST_F(EditBarWindow, ModalRequesterReadsTheText)
{
    FillRequest(&request, page, "0120", requester, EDIT_REQUESTER_FORMS_LIST);
    request.page = NULL;
    INT_PTR result = RunDialogWithSteps([&]() { return RunModalEditBar(requester, &request); },
                                        [&](HWND) {
                                            SetDlgItemTextA(request.partWindows[0], IDC_EB_EDIT1, "3");
                                            SendMessageA(request.partWindows[0], WM_CLOSE, 0, 1);
                                        });
    EXPECT_EQ(1, result);
    EXPECT_STREQ("3", request.text);
    EXPECT_EQ("77", ValueOf(page, "0120"));   // the caller stores it
    EXPECT_EQ(nullptr, gEditBarContainer);

    FillRequest(&request, page, "0120", requester, EDIT_REQUESTER_FORMS_LIST);
    result = RunDialogWithSteps([&]() { return RunModalEditBar(requester, &request); },
                                [&](HWND) {
                                    SetDlgItemTextA(request.partWindows[0], IDC_EB_EDIT1, "9");
                                    SendMessageA(request.partWindows[0], WM_KEYDOWN, VK_ESCAPE, 0);
                                });
    EXPECT_EQ(0, result);
}

}  // namespace

namespace {

TEST(EditBarFormsList, CopiesEditedInAModalBarOverTheCell)
{
    HWND owner = CreateRequester();
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 400, 200, owner,
                                NULL, gInstance, NULL);
    const char *heads[3] = {"Form", "Pages", "Copies"};
    for (int c = 0; c < 3; c++) {
        LVCOLUMNA column;
        memset(&column, 0, sizeof(column));
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = (char *)heads[c];
        column.cx = 100;
        column.iSubItem = c;
        SendMessageA(list, LVM_INSERTCOLUMNA, c, (LPARAM)&column);
    }
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = LVIF_TEXT;
    item.pszText = (char *)"Schedule B";
    SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);

    char text[128] = "1";
    RECT bar = {0, 0, 0, 0};
    HWND shadowParent = NULL;
    int accepted = 0;
    RunDialogWithSteps(
        [&]() {
            accepted = EditFormsListCopies(owner, list, 0, text, sizeof(text));
            return (INT_PTR)accepted;
        },
        [&](HWND container) {
            EditRequest *request = *(EditRequest **)GetWindowLongPtrA(container, DWLP_USER);
            GetWindowRect(container, &bar);
            shadowParent = request->shadow ? GetParent(request->shadow) : NULL;
            char shown[16];
            GetDlgItemTextA(request->partWindows[0], IDC_EB_EDIT1, shown, sizeof(shown));
            EXPECT_STREQ("1", shown);
            SetDlgItemTextA(request->partWindows[0], IDC_EB_EDIT1, "3");
            SendMessageA(request->partWindows[0], WM_KEYDOWN, VK_RETURN, 0);
        });
    EXPECT_EQ(1, accepted);
    EXPECT_STREQ("3", text);
    EXPECT_EQ(owner, shadowParent);
    RECT cell = {LVIR_BOUNDS, 2, 0, 0};
    SendMessageA(list, LVM_GETSUBITEMRECT, 0, (LPARAM)&cell);
    MapWindowPoints(list, HWND_DESKTOP, (POINT *)&cell, 2);
    EXPECT_EQ(cell.left, bar.left);
    EXPECT_EQ(nullptr, gEditBarContainer);
    DestroyWindow(list);
}

}  // namespace
