// The pre-send error list "ERRORLIST" driven with messages: one and five errors (header sentence,
// rows, numbering, banded shading of the real list), Save moving the error file only when the
// copy succeeded, and "Check Return" on the sample return.
#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/fields.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"
#include "tests/print/test_print_util.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

std::string Cell(HWND list, int row, int column)
{
    char text[260] = "";
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

ErrorEntry *MakeErrors(int count)
{
    ErrorEntry *first = NULL;
    for (int i = 1; i <= count; i++) {
        std::string where = "Form 1040, Page 1, Line " + std::to_string(i) + " - Amount";
        std::string value = std::to_string(i) + "x";
        AddErrorEntry(&first, where.c_str(), value.c_str(), "The amount may hold digits only.");
    }
    return first;
}

unsigned ToPixel(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

std::string TempFolder()
{
    return MakeTestFolder("lverrors");
}

class ErrorList : public MainWindowTest {};

TEST_F(ErrorList, OneAndFiveErrorsWithTheirRowsAndShading)
{
    struct Case {
        int count;
        const char *header;
    } cases[] = {
        {1, "Levyline detected the following error.  This error must be corrected before you can e-file your return."},
        {5, "Levyline detected the following 5 errors.  These errors must be corrected before you can e-file your "
            "return."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.count);
        ErrorListRequest request;
        memset(&request, 0, sizeof(request));
        request.returnRecord = gOpenReturnPtr;
        request.firstError = MakeErrors(c.count);
        RunDialogWithSteps([&] { return ShowErrorListDialog(window, &request); }, [&](HWND dialog) {
            EXPECT_EQ(c.header, GetControlText(dialog, IDC_ERRORLIST_HEADER));
            HWND list = GetDlgItem(dialog, IDC_ERRORLIST_LIST);
            ASSERT_EQ(3 * c.count, (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
            for (int e = 0; e < c.count; e++) {
                EXPECT_EQ(std::to_string(e + 1) + ".", Cell(list, 3 * e, 0));
                EXPECT_EQ("", Cell(list, 3 * e + 1, 0));
                EXPECT_EQ("Form 1040, Page 1, Line " + std::to_string(e + 1) + " - Amount", Cell(list, 3 * e, 2));
                EXPECT_EQ(std::to_string(e + 1) + "x", Cell(list, 3 * e + 1, 2));
                EXPECT_EQ("The amount may hold digits only.", Cell(list, 3 * e + 2, 2));
            }
            // No file to save.
            EXPECT_FALSE(IsControlEnabled(dialog, IDC_ERRORLIST_SAVE));
            if (c.count < 5)
                return;
            // The second and fourth errors are on the shading colour, the others on the list's.
            UpdateWindow(list);
            Screenshot shot;
            ASSERT_TRUE(CaptureClientArea(list, &shot));
            unsigned shade = ToPixel(GetFieldShadeColor(NULL, NULL));
            unsigned back = ToPixel((COLORREF)SendMessageA(list, LVM_GETBKCOLOR, 0, 0));
            ASSERT_NE(shade, back);
            for (int row = 0; row < 15; row++) {
                RECT rc;
                memset(&rc, 0, sizeof(rc));
                rc.left = LVIR_BOUNDS;
                ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&rc));
                if (rc.bottom >= shot.height)
                    break;
                unsigned pixel = shot.At(shot.width - 4, (rc.top + rc.bottom) / 2);
                EXPECT_EQ((row / 3) % 2 == 1 ? shade : back, pixel) << "row " << row;
            }
        });
        FreeErrorEntries(request.firstError);
    }
}

TEST_F(ErrorList, SaveMovesTheFileOnlyWhenTheCopySucceeded)
{
    std::string folder = TempFolder();
    std::string errorFile = folder + "RtnErrors.txt";
    std::string saved = folder + "Saved Errors.txt";
    DeleteFileA(saved.c_str());
    // A name line that fills its 50 bytes, followed by the next member: copied with its bound.
    memset(ReturnText(gOpenReturnPtr, RETURN_NAME_LINE), 'N', 50);
    SetReturnText(gOpenReturnPtr, RETURN_IN_CARE_OF, 36, "IN CARE OF");
    ErrorEntry *errors = MakeErrors(2);
    ASSERT_EQ(1, WriteErrorFile(errorFile.c_str(), gOpenReturnPtr, errors));
    std::string written = ReadWholeFile(errorFile);
    EXPECT_EQ(0u, written.find("Pre-Send Error Report\r\n" + std::string(50, 'N') + "\r\n\r\n1. Form 1040, Page 1, Line 1 - "
                               "Amount\r\n   Current Value: 1x\r\n   Error: The amount may hold digits only.\r\n\r\n2. "));
    ErrorListRequest request = {gOpenReturnPtr, errorFile.c_str(), errors};
    ScriptMessageBoxAnswer(IDOK);
    ScriptMessageBoxAnswer(IDOK);
    RunDialogWithSteps([&] { return ShowErrorListDialog(window, &request); }, [&](HWND dialog) {
        ASSERT_TRUE(IsControlEnabled(dialog, IDC_ERRORLIST_SAVE));
        // Onto itself, and into a folder that does not exist: kept, and said so.
        ScriptFileDialogPath(errorFile);
        ClickButton(dialog, IDC_ERRORLIST_SAVE);
        ScriptFileDialogPath(folder + "no such folder\\errors.txt");
        ClickButton(dialog, IDC_ERRORLIST_SAVE);
        EXPECT_EQ(written, ReadWholeFile(errorFile));
        EXPECT_TRUE(IsControlEnabled(dialog, IDC_ERRORLIST_SAVE));
        // Cancelled: nothing happens.
        ScriptFileDialogPath("");
        ClickButton(dialog, IDC_ERRORLIST_SAVE);
        ScriptFileDialogPath(saved);
        ClickButton(dialog, IDC_ERRORLIST_SAVE);
        EXPECT_FALSE(IsControlEnabled(dialog, IDC_ERRORLIST_SAVE));
    });
    ASSERT_EQ(2u, GetShownMessageBoxes().size());
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("already stored"));
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[1].text.find("could not be saved"));
    EXPECT_EQ(written, ReadWholeFile(saved));
    EXPECT_EQ(0, FileExists(errorFile.c_str()));
    FreeErrorEntries(errors);
    DeleteFileA(saved.c_str());
}

TEST_F(ErrorList, CheckReturnOnAnEmptyAndOnTheSampleReturn)
{
    // An empty return lacks its main form and its filer.
    InitOpenReturn(gOpenReturnPtr);
    ErrorEntry *errors = NULL;
    EXPECT_EQ(4, CollectReturnErrors(gOpenReturnPtr, &errors));
    std::vector<std::string> where;
    for (ErrorEntry *e = errors; e; e = e->next)
        where.push_back(e->location);
    EXPECT_EQ((std::vector<std::string>{"Return", "Taxpayer Information - First Name", "Taxpayer Information - Last Name",
                                        "Taxpayer Information - Social Security Number"}),
              where);
    errors = FreeErrorEntries(errors);

    std::string folder = SampleReturnFolder("lvcheck", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"});
    UseBuildFormPaks();
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)(folder + "Sample.qvr").c_str()));
    RestoreFormPakFolder();
    EXPECT_EQ(0, CollectReturnErrors(gOpenReturnPtr, &errors));
    // Nothing to report: said so, and no list.
    ScriptMessageBoxAnswer(IDOK);
    SendMessageA(window, WM_COMMAND, IDM_CHECKRETURN, 0);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Check Return", GetShownMessageBoxes()[0].title);

    // A wrong SSN and a typed amount that is no number.
    SetReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_SSN, 12, "000-00-0000");
    FormInstance *page = NULL;
    ASSERT_EQ(1, FindReturnPages(14, "Form 1040.1", &page, 0));
    SetFieldText(&Field(page->fieldTable, "0101")->value, "52,0O0");
    EXPECT_EQ(2, CollectReturnErrors(gOpenReturnPtr, &errors));
    ASSERT_TRUE(errors && errors->next);
    EXPECT_STREQ("Taxpayer Information - Social Security Number", errors->location);
    EXPECT_STREQ("000-00-0000", errors->currentValue);
    EXPECT_STREQ("Form 1040, Page 1, Line 1a - Total amount from Form(s) W-2, box 1", errors->next->location);
    EXPECT_STREQ("52,0O0", errors->next->currentValue);
    EXPECT_STRNE("", errors->next->message);
    errors = FreeErrorEntries(errors);

    char temp[MAX_PATH];
    GetProgramFolder(temp, FOLDER_TEMP);
    std::string errorFile = std::string(temp) + "\\RtnErrors.txt";
    DeleteFileA(errorFile.c_str());
    int rows = 0;
    std::string header;
    RunDialogWithSteps([&] { return SendMessageA(window, WM_COMMAND, IDM_CHECKRETURN, 0); }, [&](HWND dialog) {
        rows = (int)SendDlgItemMessageA(dialog, IDC_ERRORLIST_LIST, LVM_GETITEMCOUNT, 0, 0);
        header = GetControlText(dialog, IDC_ERRORLIST_HEADER);
        EXPECT_TRUE(IsControlEnabled(dialog, IDC_ERRORLIST_SAVE));
    });
    EXPECT_EQ(8, rows);   // the amount's message is a sentence, an empty line and the reason
    EXPECT_EQ(0u, header.find("Levyline detected the following 2 errors."));
    EXPECT_NE(std::string::npos, ReadWholeFile(errorFile).find("52,0O0"));
    DeleteFileA(errorFile.c_str());
    gReturnModified = 0;
}

// Numbers that pass their type's check and still cannot be right are reported with their place:
// a number in boxes that fix its length with a box empty, a routing number whose check digit
// fails, a joint return without the spouse's SSN. Right ones are not.
TEST_F(ErrorList, NumbersThatCannotBeRightAreReportedWithTheirPlace)
{
    std::string folder = SampleReturnFolder("lvcheck", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"});
    UseBuildFormPaks();
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)(folder + "Sample.qvr").c_str()));
    RestoreFormPakFolder();
    // A complete direct deposit, so that each case changes one number of it.
    FormInstance *page2 = NULL;
    ASSERT_EQ(1, FindReturnPages(14, "Form 1040.2", &page2, 0));
    SetFieldText(&Field(page2->fieldTable, "0452")->value, "011000015");
    SetFieldText(&Field(page2->fieldTable, "0455")->value, "12345678");
    const char *routing = "Form 1040, Page 2, Line 35b - Routing number";
    const char *spouseSsn = "Spouse Information - Social Security Number";
    struct Case {
        const char *page, *seq;   // a field of the return, or null: the spouse's SSN (the filing
                                  // status box ticked first: "1" Single, "2" Married filing jointly)
        const char *status, *value;
        const char *reported;     // the place listed, null: nothing reported
    } cases[] = {
        {"Form 1040.2", "0452", "", "12345678", routing},
        {"Form 1040.2", "0452", "", "123456789", routing},   // check digit fails (3-7-1 weights)
        {"Form 1040.2", "0452", "", "011000015", NULL},
        {"Form 1040.2", "0512", "", "12345", "Form 1040, Page 2 - Your Identity Protection PIN"},
        {"Form 1040.2", "0512", "", "123456", NULL},
        {"Form 1040.2", "0505", "", "1234", "Form 1040, Page 2 - Designee's personal identification number (PIN)"},
        {"Form 1040.2", "0455", "", "12345", NULL},   // an account number's boxes do not fix its length
        {NULL, NULL, "2", "", spouseSsn},
        {NULL, NULL, "2", "400-01-2346", NULL},
        {NULL, NULL, "1", "", NULL},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.seq ? c.seq : "spouse SSN") + " " + c.value);
        FieldRecord *field = NULL;
        std::string saved;
        if (c.page) {
            FormInstance *page = NULL;
            ASSERT_EQ(1, FindReturnPages(14, c.page, &page, 0));
            field = Field(page->fieldTable, c.seq);
            saved = field->value ? field->value : "";
            SetFieldText(&field->value, c.value);
        } else {
            FormInstance *page1 = NULL;
            ASSERT_EQ(1, FindReturnPages(14, "Form 1040.1", &page1, 0));
            SetFieldText(&Field(page1->fieldTable, "0041")->value, !strcmp(c.status, "1") ? "X" : "");
            SetFieldText(&Field(page1->fieldTable, "0042")->value, !strcmp(c.status, "2") ? "X" : "");
            SetReturnText(gOpenReturnPtr, RETURN_SPOUSE + PERSON_SSN, 12, c.value);
        }
        ErrorEntry *errors = NULL;
        int count = CollectReturnErrors(gOpenReturnPtr, &errors);
        if (c.reported) {
            EXPECT_EQ(1, count);
            EXPECT_STREQ(c.reported, errors ? errors->location : "");
            EXPECT_STRNE("", errors ? errors->message : "");
        } else {
            EXPECT_EQ(0, count) << (errors ? errors->location : "");
        }
        FreeErrorEntries(errors);
        if (field)
            SetFieldText(&field->value, saved.c_str());
    }
    gReturnModified = 0;
}

// One change to the return: a field of a page, or a text member of the return record.
struct Change {
    const char *page, *seq;
    int offset, size;
    const char *value;
};
Change OnPage(const char *page, const char *seq, const char *value)
{
    return {page, seq, 0, 0, value};
}
Change InRecord(int offset, int size, const char *value)
{
    return {NULL, NULL, offset, size, value};
}
void Apply(const Change &c)
{
    if (c.page) {
        FormInstance *page = NULL;
        ASSERT_EQ(1, FindReturnPages(14, c.page, &page, 0)) << c.page;
        ASSERT_TRUE(Field(page->fieldTable, c.seq)) << c.seq;
        SetFieldText(&Field(page->fieldTable, c.seq)->value, c.value);
    } else {
        SetReturnText(gOpenReturnPtr, c.offset, c.size, c.value);
    }
}

// The id of the main window's menu item text under the menu bar's popup menuText (0: none).
UINT MenuCommand(HWND window, const char *menuText, const char *itemText)
{
    HMENU bar = GetMenu(window);
    for (int i = 0; bar && i < GetMenuItemCount(bar); i++) {
        char text[64] = "";
        GetMenuStringA(bar, i, text, sizeof(text), MF_BYPOSITION);
        HMENU popup = strcmp(text, menuText) ? NULL : GetSubMenu(bar, i);
        for (int j = 0; popup && j < GetMenuItemCount(popup); j++) {
            char item[64] = "";
            GetMenuStringA(popup, j, item, sizeof(item), MF_BYPOSITION);
            if (!strcmp(item, itemText))
                return GetMenuItemID(popup, j);
        }
    }
    return 0;
}

// Forms > Check Return on the open return: each error listed as "place | value found", or the
// message shown when there is none.
std::vector<std::string> RunCheckReturn(HWND window)
{
    UINT command = MenuCommand(window, "&Forms", "&Check Return...");
    EXPECT_NE(0u, command);
    std::vector<std::string> listed;
    ClearShownMessageBoxes();
    SetDefaultMessageBoxAnswer(IDOK);   // "no errors" is a message box, every box is listed
    RunDialogWithSteps([&] { return SendMessageA(window, WM_COMMAND, command, 0); }, [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_ERRORLIST_LIST);
        int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        for (int row = 0; row + 1 < rows; row++)
            if (!Cell(list, row, 0).empty())
                listed.push_back(Cell(list, row, 2) + " | " + Cell(list, row + 1, 2));
    });
    SetDefaultMessageBoxAnswer(0);
    for (const ShownMessageBox &box : GetShownMessageBoxes())
        listed.push_back(box.text);
    return listed;
}

// A complete joint return (the sample with a direct deposit of its refund, signed by both
// spouses' self-select PINs, the filing status only ticked on Form 1040) is clean; one thing
// removed or wrong at a time, Forms > Check Return lists it with its place and the value found.
TEST_F(ErrorList, CheckReturnListsWhatKeepsTheSampleFromBeingEfiled)
{
    std::string folder = SampleReturnFolder("lvcheck", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"});
    UseBuildFormPaks();
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)(folder + "Sample.qvr").c_str()));
    RestoreFormPakFolder();
    WaitForRecompute();
    const char *p1 = "Form 1040.1", *p2 = "Form 1040.2";
    const int tp = RETURN_TAXPAYER, sp = RETURN_SPOUSE;
    for (const Change &c : {InRecord(RETURN_FILING_STATUS, 2, ""), OnPage(p2, "0451", "1,640"),
                            OnPage(p2, "0452", "011000015"), OnPage(p2, "0455", "12345678"),
                            InRecord(tp + PERSON_SELF_PIN, 12, "12345"), InRecord(sp + PERSON_SELF_PIN, 12, "54321"),
                            InRecord(tp + PERSON_PRIOR_AGI, 13, "48000"), InRecord(sp + PERSON_PRIOR_PIN, 13, "11111")})
        Apply(c);
    ReturnBytes(gOpenReturnPtr, tp + PERSON_SELF_PIN_FLAG)[0] = 1;
    ReturnBytes(gOpenReturnPtr, sp + PERSON_SELF_PIN_FLAG)[0] = 1;
    const std::string clean = "Levyline found no errors that would keep this return from being e-filed.";
    const char *routing = "Form 1040, Page 2, Line 35b - Routing number | ";
    struct Case {
        std::vector<Change> changes;
        std::string listed;   // "place | value found", or the message shown
    } cases[] = {
        {{}, clean},
        // The filing status is the box ticked.
        {{InRecord(sp + PERSON_SSN, 12, "")}, "Spouse Information - Social Security Number | (blank)"},
        {{OnPage(p1, "0042", ""), OnPage(p1, "0041", "X"), InRecord(sp + PERSON_SSN, 12, "")}, clean},
        {{OnPage(p1, "0042", "")}, "Form 1040, Page 1 - Filing status | (none ticked)"},
        {{OnPage(p1, "0041", "X")}, "Form 1040, Page 1 - Filing status | Single, Married filing jointly"},
        // The address.
        {{InRecord(RETURN_STREET, 36, "")}, "Taxpayer Information - Street Address | (blank)"},
        {{InRecord(RETURN_CITY, 36, "")}, "Taxpayer Information - City | (blank)"},
        {{InRecord(RETURN_STATE, 3, "")}, "Taxpayer Information - State | (blank)"},
        {{InRecord(RETURN_ZIP, 11, "")}, "Taxpayer Information - ZIP Code | (blank)"},
        // The refund and its deposit.
        {{OnPage(p2, "0455", "")}, "Form 1040, Page 2, Line 35d - Account number | (blank)"},
        {{OnPage(p2, "0453", "")}, "Form 1040, Page 2, Line 35c - Type of account | (none ticked)"},
        {{OnPage(p2, "0451", "3,000")},
         "Form 1040, Page 2, Line 35a - Amount of line 34 you want refunded to you | 3,000"},
        {{OnPage(p2, "0452", "000000000")}, routing + std::string("000000000")},
        {{OnPage(p2, "0452", "991234561")}, routing + std::string("991234561")},
        {{OnPage(p2, "0452", "501234566")}, routing + std::string("501234566")},
        {{OnPage(p2, "0452", "321070007")}, clean},
        // Signing.
        {{InRecord(tp + PERSON_SELF_PIN, 12, "123")}, "e-File Options - Taxpayer's self-select PIN | 123"},
        {{InRecord(sp + PERSON_SELF_PIN, 12, "00000")}, "e-File Options - Spouse's self-select PIN | 00000"},
        {{InRecord(tp + PERSON_PRIOR_AGI, 13, "")}, "e-File Options - Taxpayer's prior-year AGI | (blank)"},
        {{InRecord(sp + PERSON_PRIOR_PIN, 13, "")}, "e-File Options - Spouse's prior-year AGI | (blank)"},
        {{OnPage(p2, "0512", "000000")}, "Form 1040, Page 2 - Your Identity Protection PIN | 000000"},
        {{OnPage(p2, "0515", "000000")}, "Form 1040, Page 2 - Spouse's Identity Protection PIN | 000000"},
        {{OnPage(p2, "0515", "123456")}, clean},
        // Numbers never issued, and an ITIN.
        {{InRecord(tp + PERSON_SSN, 12, "900123456")}, "Taxpayer Information - Social Security Number | 900-12-3456"},
        {{InRecord(tp + PERSON_SSN, 12, "912701234")}, clean},
        {{OnPage(p1, "0812", "900-12-3456")}, "Form 1040, Page 1 - Dependent 1: social security number | 900-12-3456"},
        // Birth dates.
        {{InRecord(tp + PERSON_BIRTH_DATE, 11, "02/30/1980")}, "Taxpayer Information - Date of Birth | 02/30/1980"},
        {{InRecord(sp + PERSON_BIRTH_DATE, 11, "09/30/2999")}, "Spouse Information - Date of Birth | 09/30/2999"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.listed);
        OpenReturn record = *gOpenReturnPtr;
        std::vector<std::string> saved;
        for (const Change &change : c.changes) {
            FormInstance *page = NULL;
            if (change.page && FindReturnPages(14, change.page, &page, 0) == 1 && Field(page->fieldTable, change.seq))
                saved.push_back(Value(page->fieldTable, change.seq));
            Apply(change);
        }
        EXPECT_EQ(std::vector<std::string>{c.listed}, RunCheckReturn(window));
        *gOpenReturnPtr = record;
        for (size_t i = c.changes.size(), k = saved.size(); i-- > 0;)
            if (c.changes[i].page)
                Apply(OnPage(c.changes[i].page, c.changes[i].seq, saved[--k].c_str()));
    }
    gReturnModified = 0;
}

// Form 941's name typed on page 1 is the business name Check Return looks for.
int MarkForm941(HWND, FileRecord *formPak, int)
{
    PageDirectoryEntry *directory = GetPageDirectory(formPak);
    for (int i = 0; i < formPak->pageCount; i++)
        if (!strcmp(GetPoolString(formPak, directory[i].nameOffset), "Form 941"))
            directory[i].copiesToAdd = 1;
    return 0x1;   // first quarter
}

TEST_F(ErrorList, Form941NameTypedOnPageOneSatisfiesTheBusinessName)
{
    std::string folder = SampleReturnFolder("lvcheck941", {"f941.qvp"});
    gAddFormsStartHook = MarkForm941;
    ScriptFileDialogPath(folder + "f941.qvp");
    ASSERT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0));
    FormInstance *page = NULL;
    ASSERT_EQ(1, FindReturnPages(14, "Form 941.1", &page, 0));
    auto places = [&] {
        ErrorEntry *errors = NULL;
        CollectReturnErrors(gOpenReturnPtr, &errors);
        std::vector<std::string> where;
        for (ErrorEntry *e = errors; e; e = e->next)
            where.push_back(e->location);
        FreeErrorEntries(errors);
        return where;
    };
    EXPECT_EQ((std::vector<std::string>{"Business Information - Business Name",
                                        "Business Information - Employer Identification Number"}),
              places());
    struct {
        const char *seq, *item, *typed;
    } entries[] = {{"0001", "3", "12-3456789"}, {"0002", "0", "Lakeside Tool Works"}};
    for (const auto &e : entries) {
        EditRequest request;
        memset(&request, 0, sizeof(request));
        request.field = Field(page->fieldTable, e.seq);
        request.page = page;
        lstrcpynA(request.itemCode, e.item, sizeof(request.itemCode));
        lstrcpynA(request.text, e.typed, sizeof(request.text));
        CommitFieldEntry(&request);
    }
    WaitForRecompute();
    EXPECT_EQ(std::vector<std::string>{}, places());
    gReturnModified = 0;
}

// A message of several lines takes a row per line, as the error file shows it; the next error
// keeps its number. An SSN kept as digits is listed as entered; with no return open, Check
// Return says so.
TEST_F(ErrorList, MessageLinesNumbersAsEnteredAndNoReturn)
{
    struct Case {
        const char *message;
        std::vector<std::string> rows;   // the Description column of the first error
    } cases[] = {
        {"One line.", {"Where", "Value", "One line."}},
        {"Year beginning.\r\n\r\nThe month must be 01 to 12.\r\n",
         {"Where", "Value", "Year beginning.", "", "The month must be 01 to 12."}},
        {"First\nSecond", {"Where", "Value", "First", "Second"}},
    };
    for (const Case &c : cases) {
        ErrorListRequest request = {NULL, NULL, NULL};
        AddErrorEntry(&request.firstError, "Where", "Value", c.message);
        AddErrorEntry(&request.firstError, "Second place", "2x", "Wrong.");
        RunDialogWithSteps([&] { return ShowErrorListDialog(window, &request); }, [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_ERRORLIST_LIST);
            int n = (int)c.rows.size();
            ASSERT_EQ(n + 3, (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) << c.message;
            std::vector<std::string> rows;
            for (int r = 0; r < n; r++)
                rows.push_back(Cell(list, r, 2));
            EXPECT_EQ(c.rows, rows);
            EXPECT_EQ("2.", Cell(list, n, 0));
        });
        FreeErrorEntries(request.firstError);
    }
    InitOpenReturn(gOpenReturnPtr);
    SetReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_SSN, 12, "000123456");
    ErrorEntry *errors = NULL;
    CollectReturnErrors(gOpenReturnPtr, &errors);
    ASSERT_TRUE(errors && errors->next && errors->next->next && errors->next->next->next);
    EXPECT_STREQ("000-12-3456", errors->next->next->next->currentValue);
    FreeErrorEntries(errors);
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDOK);
    SendMessageA(window, WM_COMMAND, IDM_CHECKRETURN, 0);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("No tax return is open"));
}

}  // namespace

namespace {

TEST_F(ErrorList, PrintedOnTheFilePrinter)
{
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: scripts/cups.sh makes the file printer the default";
    PrintJobFileLock lock;
    ClearPrintJob();
    ErrorListRequest request;
    memset(&request, 0, sizeof(request));
    request.returnRecord = gOpenReturnPtr;
    request.firstError = MakeErrors(4);
    RunDialogWithSteps([&] { return ShowErrorListDialog(window, &request); }, [&](HWND dialog) {
        RunDialogWithSteps([&] { ClickButton(dialog, IDC_ERRORLIST_PRINT); return (INT_PTR)0; },
                           [&](HWND print) { ClickButton(print, IDOK); });
    });
    EXPECT_EQ(1, CountJobPages(WaitForPrintJob()));
    FreeErrorEntries(request.firstError);
}

}  // namespace
