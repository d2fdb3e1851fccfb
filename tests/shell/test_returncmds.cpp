// The return road through the main window: opening a return (WM_OPEN_FILE, the Open command,
// recent files), saving, closing and reopening with every value kept, adding forms through the
// forms list and the start-dialog hook, and refusals of bad files.
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

struct FieldDesc {
    const char *seq;
    const char *type;
    const char *formula;
};

struct PageDesc {
    const char *form;
    int page;
    int jurisdiction;
    int flags;
    int maxCopies;
    uint16_t order;
    std::vector<FieldDesc> fields;
};

std::string TempPath(const std::string &name) { return MakeTestFolder("lvreturn") + name; }

// Writes a FormPak of the pages (one small PCL stream each) and returns its path.
std::string MakeFormPak(const std::string &file, const std::vector<const char *> &header,
                        const std::vector<PageDesc> &pages, uint16_t taxYear = 2024)
{
    static const uint8_t kPcl[] = "\x1b" "E\x1b*t300R\x0c";
    std::vector<std::vector<FieldRecord>> tables(pages.size());
    std::vector<FormPakPageDesc> descs(pages.size());
    for (size_t p = 0; p < pages.size(); p++) {
        tables[p].resize(pages[p].fields.size() + 1);
        memset(tables[p].data(), 0, sizeof(FieldRecord) * tables[p].size());
        for (size_t f = 0; f < pages[p].fields.size(); f++) {
            FieldRecord &r = tables[p][f + 1];
            r.seq = (char *)pages[p].fields[f].seq;
            r.typeCode = (char *)pages[p].fields[f].type;
            r.valueList = (char *)pages[p].fields[f].formula;
            r.description = (char *)"Field";
        }
        FormPakPageDesc &s = descs[p];
        memset(&s, 0, sizeof(s));
        s.formName = pages[p].form;
        s.pageNumber = pages[p].page;
        s.maxCopies = pages[p].maxCopies;
        s.jurisdiction = pages[p].jurisdiction;
        s.flags = pages[p].flags;
        s.imageSource = IMAGE_SOURCE_PCL;
        s.image = kPcl;
        s.imageLength = sizeof(kPcl) - 1;
        s.fields = tables[p].data();
        s.fieldCount = (int)tables[p].size();
        s.orderKey[0] = pages[p].order;
    }
    std::string path = TempPath(file);
    EXPECT_EQ(1, WriteFormPak(path.c_str(), taxYear, header.data(), (int)header.size(), descs.data(),
                              (int)descs.size(), RECORD_METHOD_XOR));
    return path;
}

std::string Make1040Pak()
{
    return MakeFormPak("f1040.qvp", {"Form 1040", "U.S. Individual Income Tax Return", "2024.1"},
                       {{"Form 1040", 1, 100, PAGE_FLAG_MAIN_FORM, 1, 10, {{"0010", "N", NULL}, {"0020", "N", NULL}}},
                        {"Form 1040", 2, 100, 0, 1, 10, {{"0100", "N", NULL}, {"0110", "S[sig]", NULL}}},
                        {"Schedule B", 1, 100, 0, 1, 20, {{"0010", "N", NULL}}}});
}

std::string MakeW2Pak()
{
    return MakeFormPak("w2.qvp", {"Form W-2", "Wage and Tax Statement", "2024.1"},
                       {{"Form W-2", 1, 97, 0, 4, 5, {{"0050", "A", NULL}, {"0100", "N", NULL}}}});
}

std::string MakeMnPak(const std::string &file = "mn.qvp")
{
    return MakeFormPak(file, {"MN M1", "Minnesota Individual Income Tax", "2024.1"},
                       {{"MN M1", 1, 24, PAGE_FLAG_MAIN_FORM, 1, 1, {{"0010", "N", NULL}}}});
}

FormInstance *PageOf(HTREEITEM item)
{
    FormInstance *page = (FormInstance *)GetTreeItemForm(item);
    return page && page->kind == PAGE_KIND_FORM ? page : NULL;
}

FieldRecord *Field(FormInstance *page, const char *seq)
{
    for (int i = 1; page && page->fieldTable && i < page->fieldTable->count; i++)
        if (page->fieldTable->fields[i].seq && !strcmp(page->fieldTable->fields[i].seq, seq))
            return &page->fieldTable->fields[i];
    return NULL;
}

std::string Value(FormInstance *page, const char *seq)
{
    FieldRecord *f = Field(page, seq);
    return f && f->value ? f->value : "";
}

HTREEITEM AddPage(const std::string &pak, int index)
{
    FileRecord record;
    if (!ReadDataFile(pak.c_str(), 0, &record, 0))
        return NULL;
    HTREEITEM item = CreateFormInstance(pak.c_str(), index, 1, 1, 0, &record, 0);
    ReleaseFileRecord(&record, NULL);
    return item;
}

std::string ReadBytes(const std::string &path) { return ReadWholeFile(path); }

static int sStartDialogCalls;
static int sStartDialogResult;
int TestStartDialog(HWND, FileRecord *formPak, int kind)
{
    sStartDialogCalls++;
    EXPECT_EQ(START_DIALOG_94X, kind);
    if (sStartDialogResult > 0)
        GetPageDirectory(formPak)[0].copiesToAdd = 1;  // Form 941 only
    return sStartDialogResult;
}

class ReturnRoad : public MainWindowTest {
protected:
    // A return with a two-page Form 1040, Schedule B, two W-2s and a Minnesota page, values
    // and notes, saved under name.
    std::string BuildAndSave(const std::string &name, const std::string &mnPak)
    {
        std::string f1040 = Make1040Pak(), w2 = MakeW2Pak();
        HTREEITEM p1 = AddPage(f1040, 0);
        AddPage(f1040, 1);
        HTREEITEM schB = AddPage(f1040, 2);
        HTREEITEM w2a = AddPage(w2, 0);
        HTREEITEM w2b = AddPage(w2, 0);
        HTREEITEM mn = AddPage(mnPak, 0);
        EXPECT_TRUE(p1 && schB && w2a && w2b && mn);
        SetFieldText(&Field(PageOf(p1), "0010")->value, "52,000");
        SetFieldText(&Field(PageOf(schB), "0010")->value, "125");
        SetFieldText(&Field(PageOf(w2a), "0050")->value, "Acme & Co");
        SetFieldText(&Field(PageOf(w2a), "0050")->second, "employer note");
        UpdateInfoFormTreeCaption(Field(PageOf(w2a), "0050"), PageOf(w2a));
        SetFieldText(&Field(PageOf(w2b), "0050")->value, "Beta LLC");
        UpdateInfoFormTreeCaption(Field(PageOf(w2b), "0050"), PageOf(w2b));
        SetFieldText(&Field(PageOf(mn), "0010")->value, "7");
        SetReturnText(gOpenReturnPtr, RETURN_NAME_LINE, 50, "JOHN Q PUBLIC");
        SetReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_SSN, 12, "400001234");
        FormGroupNode *federal = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
        SetFieldText(&federal->noteToIrs, "Amounts are estimates.");
        gReturnModified = 1;
        std::string path = TempPath(name);
        DeleteFileA(path.c_str());
        ScriptFileDialogPath(path);
        EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_SAVEAS, 0));
        return path;
    }
};

const std::vector<std::string> kSavedOutline = {
    "Summary", "Status", "Withholding Forms [2 pages]", "  Form W-2 [Acme & Co]", "  Form W-2 [Beta LLC]",
    "Federal Return [3 pages]", "  Form 1040, Page 1", "  Form 1040, Page 2", "  Schedule B, Page 1",
    "MN State Return [1 page]", "  MN M1, Page 1"};

TEST_F(ReturnRoad, SaveCloseAndReopenKeepPagesOrderCaptionsAndValues)
{
    std::string path = BuildAndSave("round.qvr", MakeMnPak());
    EXPECT_EQ(0, gReturnModified);
    EXPECT_STREQ(path.c_str(), gReturnPath);
    EXPECT_EQ(kSavedOutline, TreeOutline());

    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0));
    EXPECT_EQ((std::vector<std::string>{"Withholding Forms [empty]", "Federal Return [empty]", "State Return [empty]"}),
              TreeOutline());
    EXPECT_STREQ("", gReturnPath);
    EXPECT_STREQ("", ReturnText(gOpenReturnPtr, RETURN_NAME_LINE));
    EXPECT_EQ(0u, gReturnPageCount);
    EXPECT_TRUE(gCachedPageData == NULL);
    EXPECT_TRUE(gCurrentFormRecord == NULL);
    EXPECT_EQ(std::vector<std::string>{"Startup Info"}, [] {
        std::vector<std::string> tabs;
        char text[64] = "";
        TCITEMA tab;
        memset(&tab, 0, sizeof(tab));
        tab.mask = TCIF_TEXT;
        tab.pszText = text;
        tab.cchTextMax = sizeof(text);
        for (int i = 0; SendMessageA(gFormTabs, TCM_GETITEMA, i, (LPARAM)&tab); i++)
            tabs.push_back(text);
        return tabs;
    }());

    EXPECT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    EXPECT_EQ(kSavedOutline, TreeOutline());
    EXPECT_STREQ(path.c_str(), gReturnPath);
    EXPECT_EQ(0, gReturnModified);
    EXPECT_STREQ("JOHN Q PUBLIC", ReturnText(gOpenReturnPtr, RETURN_NAME_LINE));
    EXPECT_STREQ("400001234", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_SSN));
    FormGroupNode *federal = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
    ASSERT_TRUE(federal->noteToIrs != NULL);
    EXPECT_STREQ("Amounts are estimates.", federal->noteToIrs);
    EXPECT_EQ(6u, gReturnPageCount);

    HTREEITEM w2a = Child(gTreeWithholdingFolder);
    EXPECT_EQ("Acme & Co", Value(PageOf(w2a), "0050"));
    ASSERT_TRUE(Field(PageOf(w2a), "0050")->second != NULL);
    EXPECT_STREQ("employer note", Field(PageOf(w2a), "0050")->second);
    EXPECT_EQ("Beta LLC", Value(PageOf(Next(w2a)), "0050"));
    HTREEITEM f1040 = Child(gTreeFederalFolder);
    EXPECT_EQ("52,000", Value(PageOf(f1040), "0010"));
    EXPECT_EQ("125", Value(PageOf(Next(Next(f1040))), "0010"));
    EXPECT_EQ("7", Value(PageOf(Child(gTreeStateFolder)), "0010"));
    EXPECT_EQ(1, PageOf(f1040)->mainForm);
    // The first page is shown and its tab follows.
    EXPECT_EQ(w2a, (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(gFixedTabCount, (int)SendMessageA(gFormTabs, TCM_GETCURSEL, 0, 0));
    EXPECT_EQ(8, (int)SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0));
    // The FormPak list holds the three files.
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    EXPECT_EQ(3, root->formPakCount);
    EXPECT_TRUE(GetShownMessageBoxes().empty());
}

TEST_F(ReturnRoad, OpenCommandAndRecentFilesOpenTheReturn)
{
    std::string path = BuildAndSave("opencmd.qvr", MakeMnPak());
    SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0);
    ScriptFileDialogPath(path);
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_OPEN, 0));
    EXPECT_EQ(kSavedOutline, TreeOutline());
    // A cancelled dialog leaves the return open.
    ScriptFileDialogPath("");
    EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, IDM_OPEN, 0));
    EXPECT_EQ(kSavedOutline, TreeOutline());
    // The saved file is first in the recent files.
    SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0);
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_RECENTFILE_FIRST, 0));
    EXPECT_EQ(kSavedOutline, TreeOutline());
    HMENU file = GetSubMenu(GetMenu(window), 0);
    char caption[MAX_PATH] = "";
    GetMenuStringA(file, IDM_RECENTFILE_FIRST, caption, sizeof(caption), MF_BYCOMMAND);
    EXPECT_STREQ("1. opencmd.qvr", caption);
}

TEST_F(ReturnRoad, PagesWithoutTheirFormPakKeepTheirDataThroughASave)
{
    std::string mn = MakeMnPak("mn_missing.qvp");
    std::string path = BuildAndSave("missing.qvr", mn);
    SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0);
    std::string moved = mn + ".away";
    ASSERT_TRUE(MoveFileExA(mn.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING));
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    // The user is told which FormPak is missing and where it was looked for.
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("FormPaks Not Found", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("mn_missing.qvp"));
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("FormDir"));
    ASSERT_TRUE(gTreeMissingFormPakFolder != NULL);
    EXPECT_EQ("FormPak Not Found [1 page]", Text(gTreeMissingFormPakFolder));
    EXPECT_EQ("State Return [empty]", Text(gTreeStateFolder));
    HTREEITEM lost = Child(gTreeMissingFormPakFolder);
    EXPECT_EQ("MN M1, Page 1", Text(lost));
    EXPECT_EQ("7", Value(PageOf(lost), "0010"));
    // Saved again without the FormPak, then reopened with it: the page and its value are back.
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_SAVE, 0));
    SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0);
    ASSERT_TRUE(MoveFileExA(moved.c_str(), mn.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    EXPECT_TRUE(gTreeMissingFormPakFolder == NULL);
    EXPECT_EQ(kSavedOutline, TreeOutline());
    EXPECT_EQ("7", Value(PageOf(Child(gTreeStateFolder)), "0010"));
}

TEST_F(ReturnRoad, AddFormCommandAddsTheCopiesChosenInTheFormsList)
{
    std::string w2 = MakeW2Pak();
    ScriptFileDialogPath(w2);
    LRESULT result = RunDialogWithSteps([&] { return (INT_PTR)SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0); },
                                        [](HWND dialog) {
                                            char caption[200];
                                            GetWindowTextA(dialog, caption, sizeof(caption));
                                            EXPECT_STREQ("Add Forms - Form W-2 for Tax Year 2024", caption);
                                            EXPECT_EQ("Choose how many copies of each form to add to your return:",
                                                      GetControlText(dialog, IDC_FORMSLIST_PROMPT));
                                            // More than the form's limit of 4 is cut to 4.
                                            SetControlText(dialog, IDC_FORMSLIST_COPIES, "9");
                                            EXPECT_EQ("4", GetControlText(dialog, IDC_FORMSLIST_COPIES));
                                            SetControlText(dialog, IDC_FORMSLIST_COPIES, "2");
                                            ClickButton(dialog, IDOK);
                                        });
    EXPECT_EQ(1, result);
    EXPECT_EQ("Withholding Forms [2 pages]", Text(gTreeWithholdingFolder));
    EXPECT_EQ(1, gReturnModified);
    // The new page is shown.
    EXPECT_EQ(Child(gTreeWithholdingFolder), (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, TVGN_CARET, 0));

    // Two more fit under the limit; Cancel adds nothing; OK with nothing chosen asks again.
    ScriptFileDialogPath(w2);
    ScriptMessageBoxAnswer(IDOK);
    RunDialogWithSteps([&] { return (INT_PTR)SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0); },
                       [](HWND dialog) {
                           SetControlText(dialog, IDC_FORMSLIST_COPIES, "9");
                           EXPECT_EQ("2", GetControlText(dialog, IDC_FORMSLIST_COPIES));
                           SetControlText(dialog, IDC_FORMSLIST_COPIES, "0");
                           ClickButton(dialog, IDOK);
                           EXPECT_TRUE(IsWindow(dialog));
                           ClickButton(dialog, IDCANCEL);
                       });
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Add Forms", GetShownMessageBoxes()[0].title);
    EXPECT_EQ("Withholding Forms [2 pages]", Text(gTreeWithholdingFolder));
}

// The copies column typed as a user types it: a double click on a row's copies opens the edit bar
// over the cell; Enter, Tab and Shift+Tab take the copies, Escape keeps the old ones, a refused
// entry keeps the bar open. Then the copies box and Enter of the forms list itself.
TEST_F(ReturnRoad, CopiesTypedInTheFormsListLandInTheirRows)
{
    struct CopiesRun {
        const char *name;
        int row;            // the row whose copies cell is double-clicked; -1: keys to the forms list
        const char *keys;
        int refusals;
        const char *copies; // the copies column afterwards
    };
    static const CopiesRun runs[] = {
        {"Enter takes the copies", 0, "2{Return}", 0, "2 0 0"},
        {"Tab takes them", 1, "3{Tab}", 0, "2 3 0"},
        {"Shift+Tab takes them", 2, "1{shift+Tab}", 0, "2 3 1"},
        {"Escape keeps the old copies", 0, "4{Escape}", 0, "2 3 1"},
        {"a refused entry keeps the bar open", 1, "x{Return}1{Return}", 1, "2 1 1"},
        {"the copies box of the selected row", -1, "{Tab}4{shift+Tab}", 0, "2 4 1"},
    };
    std::string pak = MakeFormPak("typed.qvp", {"Form W-2", "Wage and Tax Statement", "2024.1"},
                                  {{"Form W-2", 1, 97, 0, 4, 5, {{"0050", "A", NULL}}},
                                   {"Form W-2G", 1, 97, 0, 4, 6, {{"0050", "A", NULL}}},
                                   {"Form 1099-R", 1, 97, 0, 4, 7, {{"0050", "A", NULL}}}});
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    PumpUntilIdle();
    std::vector<std::function<void(HWND)>> steps;
    const char *barKeys = "";
    steps.push_back([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_FORMSLIST_LIST);
        for (const CopiesRun &run : runs) {
            SCOPED_TRACE(run.name);
            ClearShownMessageBoxes();
            for (int i = 0; i < run.refusals; i++)
                ScriptMessageBoxAnswer(IDOK);
            if (run.row >= 0) {
                RECT cell = {LVIR_BOUNDS, 2, 0, 0};
                SendMessageA(list, LVM_GETSUBITEMRECT, run.row, (LPARAM)&cell);
                POINT point = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
                ClientToScreen(list, &point);
                barKeys = run.keys;
                EXPECT_TRUE(ClickScreen(point.x, point.y, 2));   // the bar's steps type its keys
            } else {
                EXPECT_TRUE(TypeKeys(run.keys));
            }
            std::string copies;
            for (int row = 0; row < 3; row++) {
                char text[16] = "";
                LVITEMA item = {};
                item.iSubItem = 2;
                item.pszText = text;
                item.cchTextMax = sizeof text;
                SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
                copies += (row ? " " : "") + std::string(text);
            }
            EXPECT_EQ(run.copies, copies);
            EXPECT_EQ((size_t)run.refusals, GetShownMessageBoxes().size());
            EXPECT_EQ(nullptr, gEditBarContainer);
        }
        EXPECT_TRUE(TypeKeys("{Return}"));   // Add Forms
    });
    for (const CopiesRun &run : runs)
        if (run.row >= 0)
            steps.push_back([&](HWND) { EXPECT_TRUE(TypeKeys(barKeys)); });
    ScriptFileDialogPath(pak);
    LRESULT added =
        RunDialogsWithSteps([&] { return (INT_PTR)SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0); }, steps);
    EXPECT_EQ(1, added);
    EXPECT_EQ("Withholding Forms [7 pages]", Text(gTreeWithholdingFolder));
}

TEST_F(ReturnRoad, AnOpenedFormPakIsInstalledAndOffersItsForms)
{
    std::string pak = MakeFormPak("install_test.qvp", {"Schedule 1"},
                                  {{"Schedule 1", 1, 100, 0, 1, 30, {{"0010", "N", NULL}}}});
    char folder[MAX_PATH];
    ASSERT_EQ(1, GetProgramFolder(folder, FOLDER_FORMPAK));
    std::string installed = std::string(folder) + "\\install_test.qvp";
    DeleteFileA(installed.c_str());
    LRESULT result = RunDialogWithSteps(
        [&] { return (INT_PTR)SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)pak.c_str()); },
        [](HWND dialog) {
            SetControlText(dialog, IDC_FORMSLIST_COPIES, "1");
            ClickButton(dialog, IDOK);
        });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, FileExists(installed.c_str()));
    EXPECT_EQ("Federal Return [1 page]", Text(gTreeFederalFolder));
    // The page comes from the installed copy.
    FormInstance *page = PageOf(Child(gTreeFederalFolder));
    ASSERT_TRUE(page != NULL);
    EXPECT_EQ(0, lstrcmpiA(installed.c_str(), page->formPakPath));
    CloseOpenReturn();
    DeleteFileA(installed.c_str());
}

// The FormPak folder's own file opened under another spelling of its path is installed already:
// it is not copied onto itself, and its forms are offered.
TEST_F(ReturnRoad, TheFormPakFoldersOwnFileUnderAnySpellingIsInstalledAlready)
{
    std::string pak = MakeFormPak("install_spelling.qvp", {"Schedule 1"},
                                  {{"Schedule 1", 1, 100, 0, 1, 30, {{"0010", "N", NULL}}}});
    char folder[MAX_PATH], shortName[MAX_PATH] = "";
    ASSERT_EQ(1, GetProgramFolder(folder, FOLDER_FORMPAK));
    std::string installed = std::string(folder) + "\\install_spelling.qvp", slashed = installed;
    ASSERT_TRUE(CopyFileA(pak.c_str(), installed.c_str(), FALSE));
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    const char *last = strrchr(folder, '\\');
    ASSERT_TRUE(last != NULL);
    ASSERT_NE(0u, GetShortPathNameA(installed.c_str(), shortName, sizeof shortName));
    ASSERT_STRNE(installed.c_str(), shortName);
    for (const std::string &spelling : {slashed, std::string(folder) + "\\.\\install_spelling.qvp",
                                        std::string(folder) + "\\..\\" + (last + 1) + "\\install_spelling.qvp",
                                        std::string(shortName)}) {
        SCOPED_TRACE(spelling);
        ClearShownMessageBoxes();
        SetDefaultMessageBoxAnswer(IDOK);
        LRESULT result = RunDialogWithSteps(
            [&] { return (INT_PTR)SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)spelling.c_str()); },
            [](HWND dialog) {
                SetControlText(dialog, IDC_FORMSLIST_COPIES, "1");
                ClickButton(dialog, IDOK);
            });
        EXPECT_TRUE(GetShownMessageBoxes().empty()) << GetShownMessageBoxes()[0].text;
        EXPECT_EQ(1, result);
        CloseOpenReturn();
    }
    DeleteFileA(installed.c_str());
}

TEST_F(ReturnRoad, FormsOfAnotherTaxYearAreRefused)
{
    AddPage(Make1040Pak(), 0);
    std::string old = MakeFormPak("old.qvp", {"Form W-2"}, {{"Form W-2", 1, 97, 0, 4, 5, {{"0050", "A", NULL}}}}, 2023);
    ScriptFileDialogPath(old);
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Error Adding Forms To Return", GetShownMessageBoxes()[0].title);
    EXPECT_EQ("Withholding Forms [empty]", Text(gTreeWithholdingFolder));
}

TEST_F(ReturnRoad, EmploymentFormPaksGoThroughTheStartDialog)
{
    std::string pak = MakeFormPak("f941.qvp", {"Form 941", "Employer's Quarterly Federal Tax Return"},
                                  {{"Form 941", 1, 100, PAGE_FLAG_MAIN_FORM, 1, 1, {{"0010", "N", NULL}}},
                                   {"Schedule B (Form 941)", 1, 100, 0, 1, 2, {{"0010", "N", NULL}}}});
    FileRecord record;
    ASSERT_EQ(1, ReadDataFile(pak.c_str(), 0, &record, 0));
    EXPECT_EQ(START_DIALOG_94X, GetFormPakStartDialog(&record));
    gAddFormsStartHook = TestStartDialog;
    sStartDialogCalls = 0;
    sStartDialogResult = 0;  // cancelled
    EXPECT_EQ(0, AddFormsToReturn(window, &record, pak.c_str()));
    sStartDialogResult = -1;  // the full forms list, cancelled too
    RunDialogWithSteps([&] { return (INT_PTR)AddFormsToReturn(window, &record, pak.c_str()); },
                       [](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    EXPECT_EQ("Federal Return [empty]", Text(gTreeFederalFolder));
    sStartDialogResult = 0x40;  // the marked copies
    EXPECT_EQ(1, AddFormsToReturn(window, &record, pak.c_str()));
    EXPECT_EQ(3, sStartDialogCalls);
    EXPECT_EQ("Federal Return [1 page]", Text(gTreeFederalFolder));
    EXPECT_EQ("Form 941, Page 1", Text(Child(gTreeFederalFolder)));
    // The marks are spent.
    EXPECT_EQ(0, GetPageDirectory(&record)[0].copiesToAdd);
    ReleaseFileRecord(&record, NULL);
}

TEST_F(ReturnRoad, BadFilesAreRefusedAndTheOpenReturnStays)
{
    HTREEITEM page = AddPage(Make1040Pak(), 0);
    ASSERT_TRUE(page != NULL);
    std::string junk = TempPath("junk.qvr");
    FILE *f = fopen(junk.c_str(), "wb");
    fputs("this is not a return file at all, just text that is long enough to be read", f);
    fclose(f);
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)junk.c_str()));
    // A FormPak under a return's name is no return.
    std::string fake = TempPath("fake.qvr");
    CopyFileA(MakeW2Pak().c_str(), fake.c_str(), FALSE);
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)fake.c_str()));
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)"C:\\notes.txt"));
    ASSERT_EQ(3u, GetShownMessageBoxes().size());
    EXPECT_EQ("Error Reading File", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[1].text.find("is not a Levyline return file"));
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[2].text.find("neither a Levyline return file"));
    EXPECT_EQ("Federal Return [1 page]", Text(gTreeFederalFolder));
    EXPECT_EQ(page, Child(gTreeFederalFolder));
}

TEST_F(ReturnRoad, AFailedSaveKeepsThePreviousFileAndTheChanges)
{
    std::string path = BuildAndSave("keep.qvr", MakeMnPak());
    std::string before = ReadBytes(path);
    ASSERT_FALSE(before.empty());
    SetFieldText(&Field(PageOf(Child(gTreeStateFolder)), "0010")->value, "8");
    EXPECT_EQ(1, gReturnModified);
    // The file is held open without delete sharing: it cannot be replaced now.
    HANDLE hold = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    SetDefaultMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, IDM_SAVE, 0));
    CloseHandle(hold);
    EXPECT_FALSE(GetShownMessageBoxes().empty());
    EXPECT_EQ(1, gReturnModified);
    EXPECT_EQ(before, ReadBytes(path));
    // Now it saves, and the new value is what reopening finds.
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_SAVE, 0));
    EXPECT_EQ(0, gReturnModified);
    SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0);
    SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str());
    EXPECT_EQ("8", Value(PageOf(Child(gTreeStateFolder)), "0010"));
}

TEST_F(ReturnRoad, SaveAsWithLParamOneUsesTheNameAlreadyChosen)
{
    std::string first = BuildAndSave("named.qvr", MakeMnPak());
    std::string second = TempPath("named_amended.qvr");
    DeleteFileA(second.c_str());
    lstrcpynA(gReturnPath, second.c_str(), sizeof(gReturnPath));
    gReturnModified = 1;
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_SAVEAS, 1));  // no dialog scripted: none shown
    EXPECT_EQ(0, gReturnModified);
    EXPECT_EQ(1, FileExists(second.c_str()));
    EXPECT_EQ(1, FileExists(first.c_str()));
}

TEST_F(ReturnRoad, ClosingAModifiedReturnAsksFirst)
{
    AddPage(Make1040Pak(), 0);
    gReturnModified = 1;
    ScriptMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0));
    EXPECT_EQ("Federal Return [1 page]", Text(gTreeFederalFolder));
    ScriptMessageBoxAnswer(IDNO);
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0));
    EXPECT_EQ("Federal Return [empty]", Text(gTreeFederalFolder));
    EXPECT_EQ(0, gReturnModified);
    EXPECT_EQ(2u, GetShownMessageBoxes().size());
}

// Save and Save As with no return open write nothing and show no dialog.
TEST_F(ReturnRoad, SaveWithNoReturnOpenWritesNothing)
{
    ASSERT_EQ(0, FindReturnPages(2, NULL, NULL, 0));
    for (int command : {IDM_SAVE, IDM_SAVEAS}) {
        // A file dialog would be reported as unexpected (none is scripted).
        EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, command, 0)) << command;
        EXPECT_STREQ("", gReturnPath);
    }
    EXPECT_TRUE(GetShownMessageBoxes().empty());
}

// Copies beyond a form's limit (as a start dialog may mark them) are not added, and the user is
// told how many were; after a copy is removed, a new copy takes a number no page holds.
int sCopiesToMark;
int MarkCopies(HWND, FileRecord *pak, int)
{
    GetPageDirectory(pak)[0].copiesToAdd = (uint16_t)sCopiesToMark;
    return 1;   // added as marked, without the forms list
}

TEST_F(ReturnRoad, CopiesStayWithinTheLimitAndKeepUniqueNumbers)
{
    std::string pakPath = MakeFormPak("f941limit.qvp", {"Form 941", "Employer's Quarterly Federal Tax Return", "2024.1"},
                                      {{"Form 941", 1, 100, 0, 4, 5, {{"0050", "A", NULL}}}});   // at most 4
    FileRecord pak;
    ASSERT_EQ(1, ReadDataFile(pakPath.c_str(), 0, &pak, 0));
    gAddFormsStartHook = MarkCopies;
    auto add = [&](int copies) {
        sCopiesToMark = copies;
        return AddFormsToReturn(window, &pak, pakPath.c_str());
    };
    auto numbers = [&]() {
        std::vector<int> out;
        FormInstance *pages[16];
        int n = FindReturnPages(7, "Form 941.1", pages, 0);
        for (int i = 0; i < n && i < 16; i++) out.push_back(pages[i]->copyNumber);
        std::sort(out.begin(), out.end());
        return out;
    };
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(4, add(6));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("at most 4"));
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("4 page(s) were added"));
    EXPECT_EQ(std::vector<int>({1, 2, 3, 4}), numbers());
    // Copy 1 goes; the next copy takes number 1 again, not 4 a second time.
    FormInstance *pages[16];
    int n = FindReturnPages(7, "Form 941.1", pages, 0);
    for (int i = 0; i < n; i++)
        if (pages[i]->copyNumber == 1)
            SendMessageA(gFormsTreeWindow, TVM_DELETEITEM, 0, (LPARAM)pages[i]->treeItem);
    PumpMessages(50);
    EXPECT_EQ(std::vector<int>({2, 3, 4}), numbers());
    EXPECT_EQ(1, add(1));
    EXPECT_EQ(std::vector<int>({1, 2, 3, 4}), numbers());
    gAddFormsStartHook = NULL;
    ReleaseFileRecord(&pak, NULL);
}

// A name with ';' (the recent-files list's separator) is refused when saving, with a message.
TEST_F(ReturnRoad, SaveAsRefusesANameWithASemicolon)
{
    AddPage(Make1040Pak(), 0);
    std::string path = TempPath("a;b.qvr");
    DeleteFileA(path.c_str());
    ScriptFileDialogPath(path);
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, IDM_SAVEAS, 0));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("';'"));
    EXPECT_FALSE(FileExists(path.c_str()));
    EXPECT_STREQ("", gReturnPath);
    gReturnModified = 0;
}

}  // namespace
