// The multi-field popup: its member list, labels, completeness and composing rules, and the
// real "MULTIFIELD" dialog driven with messages (member edits through the edit bar, OK, Cancel).
#include "tests/entry/editbar/test_editbar_util.h"

#include "calc/calc.h"

using namespace editbar_test;

namespace {

const FieldDesc kFields[] = {
    {"0010", "T[1b]", "20", "First name", NULL, NULL, NULL},
    {"0011", "T[1c]", "1", "Middle initial", NULL, NULL, NULL},
    {"0012", "T[1d]", "20", "Last name", NULL, NULL, NULL},
    {"0020", "S[c&]", "40", "Your name", "0010;0011,0012", NULL, NULL},
    {"0030", "f", "30", "Street", NULL, "1 Rue Haute", NULL},
    {"0031", "f", "30", "Street (cont)", NULL, NULL, NULL},
    {"0032", "f", "20", "City", NULL, "Lyon", NULL},
    {"0033", "f", "20", "Region", NULL, NULL, NULL},
    {"0034", "f", "10", "Postal code", NULL, "69001", NULL},
    {"0035", "f", "20", "Country", NULL, "France", NULL},
    {"0036", "S[c1|2]", "40", "Your foreign address", "0030,0031,0032,0033,0034,0035", NULL, NULL},
    {"0040", "f", "30", "Street", NULL, NULL, NULL},
    {"0041", "f", "20", "City", NULL, NULL, NULL},
    {"0042", "s", "2", "State", NULL, NULL, NULL},
    {"0043", "Z", "10", "ZIP", NULL, NULL, NULL},
    {"0044", "S[c]", "60", "Home address", "0040,0041,0042,0043", NULL, NULL},
    {"0101", "N", "12", "Interest", NULL, "100", NULL},
    {"0102", "N", "12", "Dividends", NULL, "200", NULL},
    {"0103", "N", "12", "Rents", NULL, NULL, NULL},
    {"0104", "N", "12", "Royalties", NULL, NULL, NULL},
    {"0105", "N", "12", "Partnerships", NULL, NULL, NULL},
    {"0106", "N", "12", "Trusts", NULL, NULL, NULL},
    {"0107", "N", "12", "Farm", NULL, NULL, NULL},
    {"0108", "N", "12", "Prizes", NULL, NULL, NULL},
    {"0109", "N", "12", "Gambling", NULL, NULL, NULL},
    {"0110", "N", "12", "Jury duty", NULL, NULL, NULL},
    {"0111", "N", "12", "Awards", NULL, NULL, NULL},
    {"0112", "L", "0", "Note", "Amounts\\r\\nin dollars", NULL, NULL},
    {"0120", "cN", "12", "Other income",
     "0101,0102,0103,0104,0105,0106,0107,0108,0109,0110,0111,0112", NULL, NULL},
    {"0130", "CN", "12", "Total income", "0120,+#0", NULL, NULL},
    {"0140", "x", "1", "Yes", "0141", NULL, NULL},
    {"0141", "x", "1", "No", "0140", "X", NULL},
    {"0142", "S[c]", "3", "Answer", "0140,0141", NULL, NULL},
};
const int kFieldCount = sizeof(kFields) / sizeof(kFields[0]);

struct MultiFieldPopup : ::testing::Test {
    FormInstance *page = NULL;
    OpenReturn saved;
    MultiFieldParams params;
    void SetUp() override
    {
        memcpy(&saved, gOpenReturnPtr, sizeof(saved));
        InitOpenReturn(gOpenReturnPtr);
        page = MakeEditPage("Form 1040.1", 100, kFields, kFieldCount);
        SetTestReturnPages(&page, 1);
        RecomputeForm(page);
        gEditBarFocusEvents = 0;
        ClearShownMessageBoxes();
    }
    void TearDown() override
    {
        SetTestReturnPages(NULL, 0);
        FreeFormInstance(page);
        memcpy(gOpenReturnPtr, &saved, sizeof(saved));
        gReturnModified = 0;
    }
    FieldRecord *F(const char *seq) { return FieldOf(page, seq); }
    std::string V(const char *seq) { return ValueOf(page, seq); }
    // Runs the popup on group with steps inside its loop; returns the dialog's end code.
    INT_PTR Run(const char *group, int groupKind, const std::function<void(HWND)> &steps)
    {
        memset(&params, 0, sizeof(params));
        params.groupKind = (uint32_t)groupKind;
        params.field = F(group);
        params.fields = page->fieldTable;
        params.kind = 1;
        return RunDialogWithSteps([&] { return OpenMultiFieldDialog(NULL, &params); }, steps);
    }
    // Types text into member index through the edit bar, as a click and Enter would.
    static void TypeMember(HWND dialog, int index, const char *text)
    {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MF_VALUE_FIRST + index, STN_CLICKED),
                     (LPARAM)GetDlgItem(dialog, IDC_MF_VALUE_FIRST + index));
        ASSERT_NE(nullptr, gEditBarContainer);
        HWND row = NULL;
        for (HWND child = GetWindow(gEditBarContainer, GW_CHILD); child && !row; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgItem(child, IDC_EB_EDIT1))
                row = child;
        ASSERT_NE(nullptr, row);
        SetDlgItemTextA(row, IDC_EB_EDIT1, text);
        SendMessageA(GetDlgItem(row, IDC_EB_EDIT1), WM_KEYDOWN, VK_RETURN, 0);
        for (int i = 0; i < 30 && gEditBarContainer; i++)
            PumpMessages(10);
    }
    static std::string Label(HWND dialog, int index) { return GetControlText(dialog, IDC_MF_LABEL_FIRST + index); }
    static std::string Box(HWND dialog, int index) { return GetControlText(dialog, IDC_MF_VALUE_FIRST + index); }
};

TEST_F(MultiFieldPopup, MemberListsMixedSeparatorsUnknownNumbersAndTotals)
{
    struct Case {
        const char *list;
        const char *type;
        int members;
        int unknown;
        const char *firstSeq;
    } cases[] = {
        {"0010;0011,0012", "S[c", 3, 0, "0010"},           // ',' and ';' mixed: three members
        {"0010,9999,0012", "S[c", 2, 1, "0010"},           // an unknown number is left out and counted
        {"0101>#0?+0101;-0102", "C", 2, 0, "0101"},        // after the condition: the two lists
        {"#5,{Schedule 1.1}0100,0103", "S[m", 1, 0, "0103"},  // constants and other forms are no members
        {"0101,0102", "cN", 3, 0, "0101"},                 // a calculated group is its own total
        {"", "S[c", 0, 0, NULL},
    };
    for (const Case &c : cases) {
        FieldRecord group;
        memset(&group, 0, sizeof(group));
        group.valueList = (char *)c.list;
        group.typeCode = (char *)c.type;
        FieldRecord *members[8] = {};
        int unknown = -1;
        int n = BuildMultiFieldMembers(&group, page->fieldTable, members, 8, &unknown, 0);
        EXPECT_EQ(c.members, n) << c.list;
        EXPECT_EQ(c.unknown, unknown) << c.list;
        for (int i = 0; i < n; i++)
            EXPECT_NE(nullptr, members[i]) << c.list;
        if (c.firstSeq) {
            EXPECT_STREQ(c.firstSeq, members[0]->seq) << c.list;
        }
    }
    // A list longer than the array never writes past it.
    FieldRecord *two[2] = {};
    EXPECT_EQ(2, BuildMultiFieldMembers(F("0120"), page->fieldTable, two, 2, NULL, 0));
}

TEST_F(MultiFieldPopup, ComposeAndCompletenessRules)
{
    const char *name3[3] = {"Ann", "", "Lee"};
    const char *onlyFirst[3] = {"Ann", "B", ""};
    const char *empty[3] = {"", "", ""};
    FieldRecord *members[6] = {F("0010"), F("0011"), F("0012")};
    EXPECT_EQ(1, IsMultiFieldComplete(MULTIFIELD_GROUP_NAME, members, name3, 3));     // MI may stay empty
    EXPECT_EQ(0, IsMultiFieldComplete(MULTIFIELD_GROUP_NAME, members, onlyFirst, 3)); // no last name
    EXPECT_EQ(1, IsMultiFieldComplete(MULTIFIELD_GROUP_NAME, members, empty, 3));
    EXPECT_EQ(1, IsMultiFieldComplete(MULTIFIELD_GROUP_LIST, members, onlyFirst, 3));
    FieldRecord *foreign[6] = {F("0030"), F("0031"), F("0032"), F("0033"), F("0034"), F("0035")};
    const char *foreign6[6] = {"1 Rue Haute", "", "Lyon", "", "69001", "France"};
    EXPECT_EQ(1, IsMultiFieldComplete(MULTIFIELD_GROUP_FOREIGN6, foreign, foreign6, 6));
    const char *foreign5[5] = {"1 Rue Haute", "Lyon", "", "69001", ""};
    EXPECT_EQ(0, IsMultiFieldComplete(MULTIFIELD_GROUP_FOREIGN5, foreign, foreign5, 5));

    struct Case {
        const char *type;
        const char *values[3];
        const char *expected;
    } cases[] = {
        {"S[c&]", {"Ann", "", "Lee"}, "Ann & Lee"},
        {"S[c]", {"Ann", "", "Lee"}, "Ann Lee"},
        {"S[c2|3]", {"Ann", "", "Lee"}, "Lee"},
        {"S[c1|3]", {"Ann", "", "Lee"}, "Ann"},
        {"S[c2]", {"Ann", "", "Lee"}, ""},
        {"S[c]", {"", "", ""}, ""},
    };
    for (const Case &c : cases) {
        char out[64];
        ComposeMultiFieldValue(c.type, c.values, 3, out, sizeof(out));
        EXPECT_STREQ(c.expected, out) << c.type;
    }
    char tiny[6];
    ComposeMultiFieldValue("S[c]", name3, 3, tiny, sizeof(tiny));
    EXPECT_STREQ("Ann L", tiny);   // cut to the buffer, never past it
}

TEST_F(MultiFieldPopup, LabelsOfNamesAddressesAndNumberedLists)
{
    struct Case {
        const char *group;
        int groupKind;
        std::vector<std::string> labels;
    } cases[] = {
        {"0020", MULTIFIELD_GROUP_NAME, {"First Name", "MI", "Last Name"}},
        {"0044", MULTIFIELD_GROUP_NAME, {"Address", "City", "St", "Zip"}},
        {"0036", MULTIFIELD_GROUP_NAME,
         {"Address", "Address (cont)", "City", "State or Province", "Postal Code", "Country"}},
        {"0120", MULTIFIELD_GROUP_LIST,
         {"  1.  Interest", "  2.  Dividends", "  3.  Rents", "  4.  Royalties", "  5.  Partnerships",
          "  6.  Trusts", "  7.  Farm", "  8.  Prizes", "  9.  Gambling", "10.  Jury duty", "11.  Awards",
          "Amounts\r\nin dollars", "     Total Other income"}},
    };
    for (const Case &c : cases) {
        std::vector<std::string> labels;
        int kindSeen = -1;
        Run(c.group, c.groupKind, [&](HWND dialog) {
            for (int i = 0; GetDlgItem(dialog, IDC_MF_LABEL_FIRST + i); i++)
                labels.push_back(Label(dialog, i));
            kindSeen = (int)params.groupKind;
            ClickButton(dialog, IDC_MF_CANCEL);
        });
        EXPECT_EQ(c.labels, labels) << c.group;
        if (strcmp(c.group, "0036") == 0) {
            EXPECT_EQ(MULTIFIELD_GROUP_FOREIGN6, kindSeen);
        }
    }
    // The 3-part city line of a US address.
    FieldRecord *city[3] = {F("0041"), F("0042"), F("0043")};
    char label[32];
    BuildMultiFieldLabel(MULTIFIELD_GROUP_NAME, city, 3, 1, NULL, label, sizeof(label));
    EXPECT_STREQ("St", label);
}

TEST_F(MultiFieldPopup, NameWithoutLastNameIsRefusedUntilCompleted)
{
    SetFieldText(&F("0012")->value, "Lee");
    INT_PTR result = Run("0020", MULTIFIELD_GROUP_NAME, [&](HWND dialog) {
        TypeMember(dialog, 0, "Ann");
        TypeMember(dialog, 2, "");
        EXPECT_EQ("", Box(dialog, 2));
        ScriptMessageBoxAnswer(IDOK);
        ClickButton(dialog, IDC_MF_OK);
        EXPECT_TRUE(IsWindow(dialog));   // refused: the popup stays
        ASSERT_EQ(1u, GetShownMessageBoxes().size());
        EXPECT_EQ("Missing Data Detected", GetShownMessageBoxes()[0].title);
        EXPECT_EQ("The information you entered is incomplete.", GetShownMessageBoxes()[0].text);
        TypeMember(dialog, 2, "Lee");
        ClickButton(dialog, IDC_MF_OK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("Ann", V("0010"));
    EXPECT_EQ("Lee", V("0012"));
    EXPECT_EQ("Ann & Lee", V("0020"));   // composed by the group's '&' rule
    // The members are taxpayer items: the return record and its name line follow.
    EXPECT_STREQ("Ann", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_EQ(0, _stricmp("Ann Lee", ReturnText(gOpenReturnPtr, RETURN_NAME_LINE)));
    EXPECT_EQ(1, gReturnModified);
}

TEST_F(MultiFieldPopup, CancelRestoresEveryMemberAndTheRecord)
{
    SetFieldText(&F("0040")->value, "5 Elm St");
    SetFieldText(&F("0041")->value, "Duluth");
    INT_PTR result = Run("0044", MULTIFIELD_GROUP_NAME, [&](HWND dialog) {
        TypeMember(dialog, 0, "9 Oak Ave");
        TypeMember(dialog, 1, "Ely");
        EXPECT_EQ("9 Oak Ave", V("0040"));   // stored while the popup is open
        EXPECT_EQ("Ely", V("0041"));
        ClickButton(dialog, IDC_MF_CANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ("5 Elm St", V("0040"));
    EXPECT_EQ("Duluth", V("0041"));
    EXPECT_EQ("", V("0044"));   // nothing composed
}

// A member longer than the edit bar's 127 characters keeps its whole value through OK unless
// it is typed over: untouched, opened in the bar and left, or passed over with Tab.
TEST_F(MultiFieldPopup, LongMembersKeepTheirWholeValueUnlessEdited)
{
    std::string street(200, 'x');
    street[150] = 'y';
    SetFieldText(&F("0040")->length, "250");   // a street the bar takes whole
    const struct { int open, tab; const char *typed; } cases[] = {{0, 0, NULL}, {1, 0, NULL}, {1, 1, NULL}, {0, 0, "9 Oak"}};
    for (const auto &c : cases) {
        SetFieldText(&F("0040")->value, street.c_str());
        SetFieldText(&F("0041")->value, "Ely");
        SetFieldText(&F("0042")->value, "MN");
        SetFieldText(&F("0043")->value, "55731");
        EXPECT_EQ(1, Run("0044", MULTIFIELD_GROUP_NAME, [&](HWND dialog) {
            if (c.typed)
                TypeMember(dialog, 0, c.typed);
            if (c.open)
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MF_VALUE_FIRST, STN_CLICKED), 0);
            if (c.tab)
                SendMessageA(dialog, WM_PAGE_GOTOFIELD, 0, 0);
            ClickButton(dialog, IDC_MF_OK);
        }));
        std::string want = c.typed ? c.typed : street;
        EXPECT_EQ(want, V("0040")) << c.open << c.tab;
        EXPECT_EQ(want + " Ely MN 55731", V("0044")) << c.open << c.tab;
    }
}

// Members that together run past 511 characters: OK stores the group's text whole, and a
// joined name made from long parts keeps them all.
TEST_F(MultiFieldPopup, GroupTextsOfLongMembersAreStoredWhole)
{
    const std::string street(300, 's'), city(310, 'c');
    const struct {
        const char *group;
        int kind;
        std::string want;
    } cases[] = {{"0044", MULTIFIELD_GROUP_NAME, street + " " + city + " MN 55731"},   // all joined
                 {"0036", MULTIFIELD_GROUP_FOREIGN6, street + city}};                  // member 1 alone
    for (const auto &c : cases) {
        for (const char *seq : {"0030", "0040"})
            SetFieldText(&F(seq)->value, (street + (c.kind == MULTIFIELD_GROUP_FOREIGN6 ? city : "")).c_str());
        for (const char *seq : {"0032", "0041"})
            SetFieldText(&F(seq)->value, city.c_str());
        SetFieldText(&F("0042")->value, "MN");
        SetFieldText(&F("0043")->value, "55731");
        EXPECT_EQ(1, Run(c.group, c.kind, [](HWND dialog) { ClickButton(dialog, IDC_MF_OK); }));
        EXPECT_EQ(c.want, V(c.group)) << c.group;
    }
    const FieldDesc joined[] = {{"0001", "i[3]", "60", "Name", NULL, NULL, NULL},
                                {"0002", "f", "20", "First", NULL, street.c_str(), NULL},
                                {"0003", "f", "1", "Initial", NULL, NULL, NULL},
                                {"0004", "f", "20", "Last", NULL, city.c_str(), NULL}};
    FormInstance *names = MakeEditPage("Form 1040.2", 100, joined, 4);
    EXPECT_EQ(1, FillJoinedNameFields(names->fieldTable, NULL));
    EXPECT_EQ(street + " " + city, ValueOf(names, "0001"));
    FreeFormInstance(names);
}

TEST_F(MultiFieldPopup, OkStoresTheListAndRecomputesItsTotal)
{
    gReturnModified = 0;
    INT_PTR result = Run("0120", MULTIFIELD_GROUP_LIST, [&](HWND dialog) {
        EXPECT_EQ("300", Box(dialog, 12));     // the total's own line
        TypeMember(dialog, 10, "1,000");       // "11.  Awards"
        EXPECT_EQ("1,300", Box(dialog, 12));   // recomputed at once
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MF_VALUE_FIRST + 12, STN_CLICKED), 0);
        EXPECT_EQ(nullptr, gEditBarContainer);   // a calculated member is not typed
        ClickButton(dialog, IDC_MF_OK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("1,000", V("0111"));
    EXPECT_EQ("1,300", V("0120"));
    EXPECT_EQ(1, gReturnModified);
    // OK asked for the whole return to be computed again: the other total follows.
    WaitForRecompute();
    EXPECT_EQ("1,300", V("0130"));
}

// A member is committed as the same field is on the page: a check mark clicked in the popup clears
// its partner at once (whichever of the two names the other), and an amount typed there
// recomputes the page's totals at once, before OK.
TEST_F(MultiFieldPopup, MemberIsComputedOnCommitAsOnThePage)
{
    struct {
        const char *group;
        int member;
        const char *typed;             // null: the member is clicked
        const char *checked, *clear;   // check marks set and cleared before
        const char *seq, *want;        // a field of the page and its value after the commit
        int shownAt;                   // the member's box that shows that field (-1: none)
    } cases[] = {
        {"0142", 0, NULL, "0141", "0140", "0140", "X", -1},
        {"0142", 0, NULL, "0141", "0140", "0141", "", 1},
        {"0142", 1, NULL, "0140", "0141", "0140", "", 0},
        {"0120", 0, "500", NULL, NULL, "0130", "700", -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.group) + " member " + std::to_string(c.member) + ": " + c.seq);
        if (c.checked) {
            SetFieldText(&F(c.checked)->value, "X");
            SetFieldText(&F(c.clear)->value, NULL);
        }
        Run(c.group, MULTIFIELD_GROUP_LIST, [&](HWND dialog) {
            if (c.typed) {
                TypeMember(dialog, c.member, c.typed);
            } else {
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MF_VALUE_FIRST + c.member, STN_CLICKED), 0);
                PumpMessages(30);
            }
            EXPECT_EQ(c.want, V(c.seq));
            if (c.shownAt >= 0) {
                EXPECT_EQ(c.want, Box(dialog, c.shownAt));
            }
            ClickButton(dialog, IDC_MF_CANCEL);
        });
    }
}

TEST_F(MultiFieldPopup, TabPastTheLastMemberLeavesWithItsDirection)
{
    INT_PTR result = Run("0044", MULTIFIELD_GROUP_NAME, [&](HWND dialog) {
        params.wrapLeaves = 1;
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MF_VALUE_FIRST + 3, STN_CLICKED), 0);
        ASSERT_NE(nullptr, gEditBarContainer);
        SendMessageA(dialog, WM_PAGE_GOTOFIELD, 0, 0);   // Tab in the bar of the last member
        PumpMessages(30);
    });
    EXPECT_EQ(1, result);   // all four parts empty: complete
    EXPECT_EQ(MULTIFIELD_TABBED_OUT, params.result);
    EXPECT_EQ(0u, params.direction);
}

TEST_F(MultiFieldPopup, NearbyGroupIsFoundWithinTheDistanceOnly)
{
    SetFieldText(&F("0044")->typeCode, "S[m]");
    FieldTable *table = page->fieldTable;
    // Index of 0043 is next to 0044; 0101 is two further on; 0010 is far away.
    int shown = 0;
    std::string title;
    RunDialogWithSteps([&] { shown = OpenNearbyMultiFieldDialog(F("0101"), table, 2); return (INT_PTR)shown; },
                       [&](HWND dialog) {
                           char text[100];
                           GetWindowTextA(dialog, text, sizeof(text));
                           title = text;
                           ClickButton(dialog, IDC_MF_CANCEL);
                       });
    EXPECT_EQ(1, shown);
    EXPECT_EQ(" Home address", title);
    EXPECT_EQ(0, OpenNearbyMultiFieldDialog(F("0010"), table, 2));
    // A distance past both ends of the table is clamped to it.
    shown = 0;
    RunDialogWithSteps([&] { shown = OpenNearbyMultiFieldDialog(F("0130"), table, 1000); return (INT_PTR)shown; },
                       [&](HWND dialog) { ClickButton(dialog, IDC_MF_CANCEL); });
    EXPECT_EQ(1, shown);
}

} // namespace
