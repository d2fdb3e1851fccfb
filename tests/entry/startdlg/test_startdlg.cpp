// The start dialogs of a new employment-tax return (94x) and a Minnesota property tax refund
// (M1PR), built from their templates and driven with messages: the controls at opening by form,
// the clicks' effects on the other boxes and on OK, and the result bits and page marks after
// OK, Cancel, Esc and the link.
#include "entry/entry.h"
#include "entry/startdlg/startdlg_private.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Every form the 94x dialog marks, the FormPak's own form (two pages) and one it never marks.
const std::vector<const char *> k94xForms = {
    "Schedule A (Form 940)", "Schedule B (Form 941)", "Form 943-A",    "Form 945-A",    "Schedule R (Form 940)",
    "Schedule R (Form 941)", "Form 94x Payment",      "Form 8453-EMP", "Form 8879-EMP", "Form 8822-B"};

// A FormPak read into record: the form name's pages 1 and 2 (main form), then the others with
// their largest numbers of copies.
void MakeStartPak(FileRecord *record, const char *formName, const std::vector<std::pair<const char *, int>> &others,
                  uint16_t taxYear = 2024)
{
    static const uint8_t kPcl[] = "\x1b" "E\x0c";
    static FieldRecord dummy[1];
    std::vector<FormPakPageDesc> descs;
    for (int page = 1; page <= 2; page++)
        descs.push_back({formName, page, 1, 100, page == 1 ? PAGE_FLAG_MAIN_FORM : 0, IMAGE_SOURCE_PCL, kPcl, 3,
                         dummy, 1, {100, (uint16_t)page}});
    for (auto &other : others)
        descs.push_back({other.first, 1, other.second, 100, 0, IMAGE_SOURCE_PCL, kPcl, 3, dummy, 1, {100, 9}});
    std::string path = MakeTestFolder("lvstart") + "start.qvp";
    const char *header[] = {formName, "Start test"};
    ASSERT_EQ(1, WriteFormPak(path.c_str(), taxYear, header, 2, descs.data(), (int)descs.size(), RECORD_METHOD_XOR));
    ASSERT_EQ(1, ReadDataFile(path.c_str(), 0, record, 0));
}

void Make94xPak(FileRecord *record, const char *formName)
{
    std::vector<std::pair<const char *, int>> others;
    for (const char *form : k94xForms)
        others.push_back({form, 1});
    MakeStartPak(record, formName, others);
}

// The marks by form name (pages of one form must agree).
std::map<std::string, int> Marks(FileRecord *record)
{
    std::map<std::string, int> marks;
    PageDirectoryEntry *directory = GetPageDirectory(record);
    for (int i = 0; i < record->pageCount; i++)
        marks[GetPoolString(record, directory[i].nameOffset)] = directory[i].copiesToAdd;
    return marks;
}

// The marked forms (mark 1 each for the 94x dialog).
std::vector<std::string> Marked(FileRecord *record)
{
    std::vector<std::string> out;
    for (auto &mark : Marks(record))
        if (mark.second)
            out.push_back(mark.first);
    return out;
}

bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != 0; }

std::string Caption(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

RECT ClientRectOf(HWND dialog, int id)
{
    RECT rc;
    GetWindowRect(GetDlgItem(dialog, id), &rc);
    MapWindowPoints(NULL, dialog, (POINT *)&rc, 2);
    return rc;
}

TEST(StartDialog, ShortFormNamesAreNeverReadPastTheirEnd)
{
    struct Case {
        const char *name;
        int size;
        const char *expected;
    } cases[] = {{"Form 941-X", 16, "Form 941"}, {"Form 94", 16, "Form 94"}, {"", 16, ""}, {"Form 941", 4, "For"}};
    for (const Case &c : cases) {
        char out[16];
        memset(out, 'x', sizeof(out));
        CopyShortFormName(c.name, out, c.size);
        EXPECT_STREQ(c.expected, out) << c.name;
    }
}

// Opening by form name: template and caption, the boxes offered, box 1518's caption, the
// Practitioner PIN checked and OK enabled, the year over the heading's "0000".
TEST(StartDialog, The94xDialogOpensByItsFormName)
{
    struct Case {
        const char *form;
        const char *caption;
        bool quarters, agent;
        const char *scheduleText;
    } cases[] = {
        {"Form 941", "Form 941 Smart Start for Tax Year 2024", true, true, "(adds Schedule B)"},
        {"Form 940", "Form 940 Smart Start for Tax Year 2024", false, true, "(adds Schedule A)"},
        {"Form 943", "Form 943 Smart Start for Tax Year 2024", false, false, "(adds Form 943-A)"},
        {"Form 944", "Form 944 Smart Start for Tax Year 2024", false, false, "(adds Form 945-A)"},
        {"Form 945", "Form 945 Smart Start for Tax Year 2024", false, false, "(adds Form 945-A)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.form);
        FileRecord record;
        Make94xPak(&record, c.form);
        EXPECT_STREQ(c.quarters ? "F941SMARTSTART" : "F94XSMARTSTART", GetSmartStartTemplate(&record));
        RunDialogWithSteps([&] { return (INT_PTR)RunFormPakStartDialog(NULL, &record, START_DIALOG_94X); },
                           [&](HWND dialog) {
                               EXPECT_EQ(c.caption, Caption(dialog));
                               EXPECT_EQ(c.quarters, Visible(dialog, IDC_94X_QUARTER1));
                               EXPECT_EQ(c.agent, Visible(dialog, IDC_94X_SCHEDULER));
                               EXPECT_NE(std::string::npos,
                                         GetControlText(dialog, IDC_94X_SCHEDULEB).find(c.scheduleText));
                               EXPECT_FALSE(Visible(dialog, IDC_94X_SIGNPIN));
                               EXPECT_FALSE(Visible(dialog, IDC_94X_SIGN8453));
                               EXPECT_TRUE(Visible(dialog, IDC_94X_AGENTPIN));
                               EXPECT_TRUE(IsControlChecked(dialog, IDC_94X_PRACTITIONER));
                               EXPECT_TRUE(IsControlEnabled(dialog, IDC_START_OK));
                               std::string heading = GetControlText(dialog, IDC_START_HEADING);
                               EXPECT_EQ(0u, heading.find("To begin preparing your client's 0000   " +
                                                          std::string(c.form) + " return"));
                               EXPECT_EQ("2024", GetControlText(dialog, IDC_START_YEAR));
                               RECT year = ClientRectOf(dialog, IDC_START_YEAR);
                               RECT head = ClientRectOf(dialog, IDC_START_HEADING);
                               EXPECT_GT(year.left, head.left + 50);
                               EXPECT_EQ(year.top, head.top);
                               // No sliver of the "0000" shows beside the year: its field covers it.
                               HDC dc = GetDC(dialog);
                               HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(dialog, WM_GETFONT, 0, 0));
                               SIZE before = {0, 0}, zeros = {0, 0};
                               GetTextExtentPoint32A(dc, heading.c_str(), (int)heading.find("0000"), &before);
                               GetTextExtentPoint32A(dc, "0000", 4, &zeros);
                               SelectObject(dc, old);
                               ReleaseDC(dialog, dc);
                               EXPECT_LT(year.left, head.left + before.cx);
                               EXPECT_GT(year.right, head.left + before.cx + zeros.cx);
                               // The signing boxes took the hidden boxes' places, one under the other,
                               // and the dialog ends one button height below OK.
                               RECT practitioner = ClientRectOf(dialog, IDC_94X_PRACTITIONER);
                               RECT agentPin = ClientRectOf(dialog, IDC_94X_AGENTPIN);
                               RECT group = ClientRectOf(dialog, IDC_94X_SIGNGROUP);
                               EXPECT_LT(practitioner.bottom, agentPin.top);
                               EXPECT_LT(agentPin.bottom, group.bottom);
                               EXPECT_GT(ClientRectOf(dialog, IDC_94X_IMPORTGROUP).top, group.bottom);
                               RECT ok = ClientRectOf(dialog, IDC_START_OK), client;
                               GetClientRect(dialog, &client);
                               EXPECT_EQ(ok.bottom + (ok.bottom - ok.top), client.bottom);
                           });
        ReleaseFileRecord(&record, NULL);
    }
}

// Clicks, then how the dialog ends: the result and the forms marked.
TEST(StartDialog, The94xDialogMarksTheFormsOfTheCheckedBoxes)
{
    enum { kOk = IDC_START_OK, kCancel = IDC_START_CANCEL, kEsc = IDCANCEL, kLink = IDC_START_CLICKHERE };
    struct Case {
        const char *form;
        std::vector<int> clicks;
        int end;
        bool okEnabledBeforeEnd;
        int result;
        std::vector<std::string> marked;
    } cases[] = {
        // Quarters exclude each other; schedule, payment and the Practitioner PIN (checked at opening).
        {"Form 941", {IDC_94X_QUARTER2, IDC_94X_QUARTER3, IDC_94X_SCHEDULEB, IDC_94X_PAYMENT}, kOk, true,
         0x4 | 0x800 | 0x400 | 0x40,
         {"Form 8879-EMP", "Form 941", "Form 94x Payment", "Schedule B (Form 941)"}},
        // The Reporting Agent PIN unchecks the Practitioner PIN; the agent box marks the Schedule R pages.
        {"Form 941", {IDC_94X_AGENTPIN, IDC_94X_SCHEDULER, IDC_94X_IMPORT}, kOk, true, 0x80 | 0x800 | 0x100,
         {"Form 941", "Schedule R (Form 940)", "Schedule R (Form 941)"}},
        // Form 940: Schedule A, not Schedule B; its own Schedule R.
        {"Form 940", {IDC_94X_SCHEDULEB, IDC_94X_SCHEDULER}, kOk, true, 0x800 | 0x40,
         {"Form 8879-EMP", "Form 940", "Schedule A (Form 940)", "Schedule R (Form 940)", "Schedule R (Form 941)"}},
        {"Form 943", {IDC_94X_SCHEDULEB}, kOk, true, 0x800 | 0x40, {"Form 8879-EMP", "Form 943", "Form 943-A"}},
        {"Form 944", {IDC_94X_SCHEDULEB}, kOk, true, 0x800 | 0x40, {"Form 8879-EMP", "Form 944", "Form 945-A"}},
        // Nothing checked: OK stands disabled and does not end the dialog; Esc does, with 0.
        {"Form 941", {IDC_94X_PRACTITIONER, kOk}, kEsc, false, 0, {}},
        {"Form 941", {IDC_94X_SCHEDULEB}, kCancel, true, 0, {}},
        {"Form 941", {IDC_94X_SCHEDULEB}, kLink, true, -1, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.form) + " case " + std::to_string(&c - cases));
        FileRecord record;
        Make94xPak(&record, c.form);
        INT_PTR result = RunDialogWithSteps(
            [&] { return (INT_PTR)RunFormPakStartDialog(NULL, &record, START_DIALOG_94X); },
            [&](HWND dialog) {
                for (int id : c.clicks)
                    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
                if (c.clicks[0] == IDC_94X_QUARTER2) {
                    EXPECT_FALSE(IsControlChecked(dialog, IDC_94X_QUARTER2));
                }
                if (c.clicks[0] == IDC_94X_AGENTPIN) {
                    EXPECT_FALSE(IsControlChecked(dialog, IDC_94X_PRACTITIONER));
                }
                EXPECT_EQ(c.okEnabledBeforeEnd, IsControlEnabled(dialog, IDC_START_OK) != 0);
                EXPECT_TRUE(IsWindowVisible(dialog));
                if (c.end == IDCANCEL)
                    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);  // Esc through the dialog manager
                else
                    SendDlgItemMessageA(dialog, c.end, BM_CLICK, 0, 0);
            });
        EXPECT_EQ(c.result, (int)result);
        EXPECT_EQ(c.marked, Marked(&record));
        ReleaseFileRecord(&record, NULL);
    }
}

// The M1PR dialog for tax year 2024, click by click: which counts are enabled, their texts
// and OK.
TEST(StartDialog, TheM1prCountsFollowTheFilingStatus)
{
    struct Step {
        int click;          // a status box, or 0 to type counts
        const char *rent;   // typed when click is 0 (null: untouched)
        const char *tax;
        bool rentOn;
        const char *rentText;
        bool taxOn;
        const char *taxText;
        bool ok;
    } steps[] = {
        {IDC_M1PR_HOMEOWNER, NULL, NULL, false, "", true, "1", true},
        {IDC_M1PR_MOBILE, NULL, NULL, true, "1", true, "1", true},
        {IDC_M1PR_HOMEOWNER, NULL, NULL, true, "1", true, "1", true},   // still a mobile home owner
        {0, NULL, "0", true, "1", true, "0", true},                      // the rent count qualifies
        {0, "0", NULL, true, "0", true, "0", false},                     // neither count qualifies
        {0, NULL, "3", true, "0", true, "3", true},
        {IDC_M1PR_MOBILE, NULL, NULL, false, "0", false, "0", false},    // counts of no status: 0
    };
    FileRecord record;
    MakeStartPak(&record, "Form M1PR", {{"MN CRP", 10}, {"MN PROPST", 5}});
    INT_PTR result = RunDialogWithSteps(
        [&] { return (INT_PTR)RunFormPakStartDialog(NULL, &record, START_DIALOG_M1PR); },
        [&](HWND dialog) {
            EXPECT_EQ("Minnesota M1PR Smart Start for Tax Year 2024", Caption(dialog));
            EXPECT_EQ("      Specify your client's filing status (check all that apply)",
                      GetControlText(dialog, IDC_START_GROUP));
            EXPECT_FALSE(IsControlEnabled(dialog, IDC_M1PR_RENTER));
            EXPECT_FALSE(IsControlEnabled(dialog, IDC_M1PR_NURSING));
            EXPECT_TRUE(IsControlEnabled(dialog, IDC_M1PR_HOMEOWNER));
            EXPECT_TRUE(IsControlEnabled(dialog, IDC_M1PR_MOBILE));
            EXPECT_FALSE(IsControlEnabled(dialog, IDC_M1PR_CRPCOUNT));
            EXPECT_FALSE(IsControlEnabled(dialog, IDC_M1PR_PROPSTSPIN));
            EXPECT_EQ("", GetControlText(dialog, IDC_M1PR_CRPCOUNT));
            EXPECT_FALSE(IsControlEnabled(dialog, IDC_START_OK));
            for (const Step &s : steps) {
                SCOPED_TRACE(&s - steps);
                if (s.click)
                    SendDlgItemMessageA(dialog, s.click, BM_CLICK, 0, 0);
                if (s.rent)
                    SetControlText(dialog, IDC_M1PR_CRPCOUNT, s.rent);
                if (s.tax)
                    SetControlText(dialog, IDC_M1PR_PROPSTCOUNT, s.tax);
                EXPECT_EQ(s.rentOn, IsControlEnabled(dialog, IDC_M1PR_CRPCOUNT) != 0);
                EXPECT_EQ(s.rentOn, IsControlEnabled(dialog, IDC_M1PR_CRPSPIN) != 0);
                EXPECT_EQ(s.rentOn, IsControlEnabled(dialog, IDC_M1PR_CRPLABEL) != 0);
                EXPECT_EQ(s.rentText, GetControlText(dialog, IDC_M1PR_CRPCOUNT));
                EXPECT_EQ(s.taxOn, IsControlEnabled(dialog, IDC_M1PR_PROPSTCOUNT) != 0);
                EXPECT_EQ(s.taxText, GetControlText(dialog, IDC_M1PR_PROPSTCOUNT));
                EXPECT_EQ(s.ok, IsControlEnabled(dialog, IDC_START_OK) != 0);
            }
            ClickButton(dialog, IDC_START_OK);  // disabled: ignored
            EXPECT_TRUE(IsWindowVisible(dialog));
            ClickButton(dialog, IDC_START_CANCEL);
        });
    EXPECT_EQ(0, (int)result);
    EXPECT_TRUE(Marked(&record).empty());
    ReleaseFileRecord(&record, NULL);
}

// How the M1PR dialog ends: status bits and copies marks; a count above its form's limit is said
// and lowered to the limit, and the next OK adds that many.
TEST(StartDialog, TheM1prDialogMarksTheCountsHeldToTheirLimits)
{
    struct Case {
        uint16_t year;
        std::vector<int> clicks;
        const char *rent, *tax;
        int end;
        int result;
        std::map<std::string, int> marks;
        const char *lowered;   // the rent count after a first OK that said it was too many
    } cases[] = {
        {2024, {IDC_M1PR_MOBILE}, "2", "3", IDC_START_OK, 0x10, {{"Form M1PR", 1}, {"MN CRP", 2}, {"MN PROPST", 3}}},
        // "300" is more than the ten certificates offered (never stored as 300 mod 256): said.
        {2024, {IDC_M1PR_MOBILE}, "300", "4", IDC_START_OK, 0x10, {{"Form M1PR", 1}, {"MN CRP", 10}, {"MN PROPST", 4}},
         "10"},
        {2024, {IDC_M1PR_MOBILE}, "12", "1", IDC_START_OK, 0x10, {{"Form M1PR", 1}, {"MN CRP", 10}, {"MN PROPST", 1}},
         "10"},
        {2023, {IDC_M1PR_RENTER, IDC_M1PR_NURSING, IDC_M1PR_HOMEOWNER}, "1", "1", IDC_START_OK, 0x7,
         {{"Form M1PR", 1}, {"MN CRP", 1}, {"MN PROPST", 1}}},
        {2024, {IDC_M1PR_HOMEOWNER}, NULL, NULL, IDC_START_CLICKHERE, -1,
         {{"Form M1PR", 0}, {"MN CRP", 0}, {"MN PROPST", 0}}},
        {2024, {IDC_M1PR_HOMEOWNER}, NULL, NULL, IDCANCEL, 0, {{"Form M1PR", 0}, {"MN CRP", 0}, {"MN PROPST", 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(&c - cases);
        FileRecord record;
        MakeStartPak(&record, "Form M1PR", {{"MN CRP", 10}, {"MN PROPST", 5}}, c.year);
        ClearShownMessageBoxes();
        if (c.lowered)
            ScriptMessageBoxAnswer(IDOK);
        INT_PTR result = RunDialogWithSteps(
            [&] { return (INT_PTR)RunFormPakStartDialog(NULL, &record, START_DIALOG_M1PR); },
            [&](HWND dialog) {
                for (int id : c.clicks)
                    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
                if (c.rent)
                    SetControlText(dialog, IDC_M1PR_CRPCOUNT, c.rent);
                if (c.tax)
                    SetControlText(dialog, IDC_M1PR_PROPSTCOUNT, c.tax);
                ClickButton(dialog, c.end);
                if (!c.lowered)
                    return;
                EXPECT_TRUE(IsWindowVisible(dialog));
                EXPECT_EQ(c.lowered, GetControlText(dialog, IDC_M1PR_CRPCOUNT));
                ClickButton(dialog, c.end);
            });
        EXPECT_EQ(c.lowered ? 1u : 0u, GetShownMessageBoxes().size());
        if (c.lowered && !GetShownMessageBoxes().empty()) {
            EXPECT_EQ("Too Many Forms", GetShownMessageBoxes()[0].title);
        }
        EXPECT_EQ(c.result, (int)result);
        EXPECT_EQ(c.marks, Marks(&record));
        ReleaseFileRecord(&record, NULL);
    }
}

// Renter with mobile home owner is refused by a box over the dialog, which unchecks "Renter".
TEST(StartDialog, RenterAndMobileHomeOwnerTogetherAreCorrected)
{
    FileRecord record;
    MakeStartPak(&record, "Form M1PR", {{"MN CRP", 10}, {"MN PROPST", 5}}, 2023);
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDOK);
    HWND shownOver = NULL;
    RunDialogWithSteps([&] { return (INT_PTR)RunFormPakStartDialog(NULL, &record, START_DIALOG_M1PR); },
                       [&](HWND dialog) {
                           shownOver = dialog;
                           SendDlgItemMessageA(dialog, IDC_M1PR_RENTER, BM_CLICK, 0, 0);
                           SendDlgItemMessageA(dialog, IDC_M1PR_MOBILE, BM_CLICK, 0, 0);
                           EXPECT_FALSE(IsControlChecked(dialog, IDC_M1PR_RENTER));
                           EXPECT_TRUE(IsControlChecked(dialog, IDC_M1PR_MOBILE));
                           EXPECT_EQ("1", GetControlText(dialog, IDC_M1PR_CRPCOUNT));  // a mobile home owner's
                           EXPECT_EQ("1", GetControlText(dialog, IDC_M1PR_PROPSTCOUNT));
                       });
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Invalid Filing Status Combination", GetShownMessageBoxes()[0].title);
    EXPECT_EQ(shownOver, GetShownMessageBoxes()[0].owner);
    ReleaseFileRecord(&record, NULL);
}

// A template that cannot be loaded is reported and adds nothing; it is neither Cancel in
// silence nor the forms list.
TEST(StartDialog, ADialogThatCannotBeMadeIsReported)
{
    FileRecord record;
    Make94xPak(&record, "Form 941");
    HINSTANCE instance = gInstance;
    gInstance = GetModuleHandleA("kernel32.dll");  // a module without the templates
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDOK);
    int result = RunFormPakStartDialog(NULL, &record, START_DIALOG_94X);
    gInstance = instance;
    EXPECT_EQ(0, result);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Error Adding Forms To Return", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("F941SMARTSTART"));
    EXPECT_TRUE(Marked(&record).empty());
    ReleaseFileRecord(&record, NULL);
}

}  // namespace
