// The sample return and the sample FormPaks the build makes: opened through WM_OPEN_FILE and
// the Open command, pages under their folders in order, forms added from the FormPaks, and a
// save, close and reopen that finds every value again.
#include "calc/calc.h"
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// A folder of its own holding a copy of the sample return and the FormPaks beside it.
std::string SampleFolder()
{
    return SampleReturnFolder("lvsample", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp",
                                           "f941.qvp", "mnm1pr.qvp"});
}

// Every value and second text of every page, in tree order.
std::vector<std::string> AllValues()
{
    std::vector<std::string> out;
    FormInstance *pages[64] = {};
    int count = FindReturnPages(2, NULL, pages, 0);
    for (int p = 0; p < count && p < 64; p++) {
        FieldTable *table = pages[p]->fieldTable;
        for (int i = 1; table && i < table->count; i++) {
            const FieldRecord &f = table->fields[i];
            if (f.value || f.second)
                out.push_back(std::string(pages[p]->pageKey) + " " + (f.seq ? f.seq : "") + " = " +
                              (f.value ? f.value : "") + " | " + (f.second ? f.second : ""));
        }
    }
    return out;
}

std::string Value(const char *pageKey, const char *seq)
{
    FormInstance *page = NULL;
    if (!FindReturnPages(14, pageKey, &page, 0) || !page || !page->fieldTable)
        return "<no page>";
    for (int i = 1; i < page->fieldTable->count; i++) {
        const FieldRecord &f = page->fieldTable->fields[i];
        if (f.seq && !strcmp(f.seq, seq))
            return f.value ? f.value : "";
    }
    return "<no field>";
}

// Selects the forms-list row of a form and types its copies.
void ChooseCopies(HWND dialog, const char *form, const char *copies)
{
    HWND list = GetDlgItem(dialog, IDC_FORMSLIST_LIST);
    LVFINDINFOA find;
    memset(&find, 0, sizeof(find));
    find.flags = LVFI_STRING;
    find.psz = form;
    int row = (int)SendMessageA(list, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find);
    ASSERT_GE(row, 0) << form;
    LVITEMA state;
    memset(&state, 0, sizeof(state));
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, row, (LPARAM)&state);
    SetControlText(dialog, IDC_FORMSLIST_COPIES, copies);
}

class SampleReturn : public MainWindowTest {};

const std::vector<std::string> kSampleOutline = {
    "Summary", "Status", "Withholding Forms [empty]", "Federal Return [5 pages]", "  Form 1040, Page 1",
    "  Form 1040, Page 2", "  Schedule 1, Page 1", "  Schedule 1, Page 2", "  Schedule B, Page 1",
    "State Return [empty]"};

TEST_F(SampleReturn, OpensThroughWmOpenFileWithItsPagesInOrder)
{
    std::string path = SampleFolder() + "Sample.qvr";
    ASSERT_EQ(1, FileExists(path.c_str())) << path;
    EXPECT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    EXPECT_EQ(kSampleOutline, TreeOutline());
    EXPECT_TRUE(gTreeMissingFormPakFolder == NULL);
    EXPECT_EQ("52,000", Value("Form 1040.1", "0101"));
    EXPECT_EQ("1,200", Value("Schedule 1.1", "0070"));
    EXPECT_EQ("See statement", Value("Schedule B.1", "0101"));   // its payers are a statement
    EXPECT_STREQ("Saint Paul", ReturnText(gOpenReturnPtr, RETURN_CITY));
    FormGroupNode *federal = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
    ASSERT_TRUE(federal && federal->noteToSelf);
    EXPECT_STREQ("Sample return made by the build from the IRS forms.", federal->noteToSelf);
    // Summary, Status and one tab per page; the first page is selected.
    EXPECT_EQ(7, (int)SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(Child(gTreeFederalFolder), (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, TVGN_CARET, 0));
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    EXPECT_EQ(3, root->formPakCount);
    EXPECT_TRUE(GetShownMessageBoxes().empty());
}

// Calculated values that the file leaves empty are filled in on opening without marking the
// return changed: closing it right away asks nothing.
TEST_F(SampleReturn, OpeningFillsCalculatedValuesWithoutMarkingTheReturnChanged)
{
    std::string path = SampleFolder() + "Sample.qvr";
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    EXPECT_EQ("52,000", Value("Form 1040.1", "0109"));  // line 1z
    WaitForRecompute();
    EXPECT_EQ(0, gReturnModified);
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0));
    EXPECT_TRUE(GetShownMessageBoxes().empty());
}

TEST_F(SampleReturn, OpensThroughTheOpenCommand)
{
    ScriptFileDialogPath(SampleFolder() + "Sample.qvr");
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_OPEN, 0));
    EXPECT_EQ(kSampleOutline, TreeOutline());
    EXPECT_STREQ((SampleFolder() + "Sample.qvr").c_str(), gReturnPath);
}

TEST_F(SampleReturn, SaveCloseAndReopenFindEveryValue)
{
    std::string path = SampleFolder() + "Sample.qvr";
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    WaitForRecompute();
    std::vector<std::string> values = AllValues();
    EXPECT_GT(values.size(), 15u);
    std::string copy = SampleFolder() + "Sample copy.qvr";
    DeleteFileA(copy.c_str());
    ScriptFileDialogPath(copy);
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_SAVEAS, 0));
    EXPECT_EQ(0, gReturnModified);
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0));
    EXPECT_TRUE(AllValues().empty());
    EXPECT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)copy.c_str()));
    EXPECT_EQ(kSampleOutline, TreeOutline());
    EXPECT_EQ(values, AllValues());
    EXPECT_STREQ("John", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_FIRST_NAME));
}

TEST_F(SampleReturn, FormsAreAddedFromTheSampleFormPaks)
{
    std::string path = SampleFolder() + "Sample.qvr";
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    // The M1PR FormPak: its start dialog's link leads to the forms list.
    ScriptFileDialogPath(SampleFolder() + "mnm1pr.qvp");
    LRESULT added = RunDialogsWithSteps([&] { return (INT_PTR)SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0); },
                                        {[](HWND start) { ClickButton(start, IDC_START_CLICKHERE); },
                                         [](HWND dialog) {
                                             EXPECT_EQ(3, (int)SendDlgItemMessageA(dialog, IDC_FORMSLIST_LIST,
                                                                                   LVM_GETITEMCOUNT, 0, 0));
                                             ChooseCopies(dialog, "Form M1PR", "1");
                                             ChooseCopies(dialog, "MN CRP", "2");
                                             ClickButton(dialog, IDOK);
                                         }});
    EXPECT_EQ(1, added);
    ASSERT_TRUE(gTreeStateFolder != NULL);
    EXPECT_EQ("MN State Return [3 pages]", Text(gTreeStateFolder));
    std::vector<std::string> state;
    for (HTREEITEM page = Child(gTreeStateFolder); page; page = Next(page))
        state.push_back(Text(page));
    EXPECT_EQ((std::vector<std::string>{"Form M1PR, Page 1", "MN CRP, Page 1", "MN CRP, Page 1"}), state);
    EXPECT_EQ(1, gReturnModified);
    // The new pages take the return's taxpayer through their recompute, and everything saves.
    WaitForRecompute();
    std::string copy = SampleFolder() + "Sample with M1PR.qvr";
    DeleteFileA(copy.c_str());
    ScriptFileDialogPath(copy);
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_SAVEAS, 0));
    std::vector<std::string> values = AllValues();
    SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0);
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)copy.c_str()));
    EXPECT_EQ("MN State Return [3 pages]", Text(gTreeStateFolder));
    EXPECT_EQ(values, AllValues());
}

int MarkForm941(HWND, FileRecord *formPak, int kind)
{
    EXPECT_EQ(START_DIALOG_94X, kind);
    PageDirectoryEntry *directory = GetPageDirectory(formPak);
    for (int i = 0; i < formPak->pageCount; i++)
        if (!strcmp(GetPoolString(formPak, directory[i].nameOffset), "Form 941"))
            directory[i].copiesToAdd = 1;
    return 0x1;  // first quarter
}

TEST_F(SampleReturn, AnEmploymentReturnStartsFromItsStartDialog)
{
    gAddFormsStartHook = MarkForm941;
    ScriptFileDialogPath(SampleFolder() + "f941.qvp");
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0));
    EXPECT_EQ("Federal Return [2 pages]", Text(gTreeFederalFolder));
    EXPECT_EQ("Form 941, Page 1", Text(Child(gTreeFederalFolder)));
    EXPECT_EQ("Form 941, Page 2", Text(Next(Child(gTreeFederalFolder))));
}

// The start dialogs in the running program: adding the sample FormPaks through the Add Form
// command shows the FormPak's start dialog, and the pages it marks are added, no others.
TEST_F(SampleReturn, AddingTheSampleFormPaksAddsWhatTheirStartDialogsMark)
{
    std::string path = SampleFolder() + "Sample.qvr";
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    ScriptFileDialogPath(SampleFolder() + "f941.qvp");
    LRESULT added = RunDialogWithSteps([&] { return (INT_PTR)SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0); },
                                       [](HWND dialog) {
                                           char caption[128] = "";
                                           GetWindowTextA(dialog, caption, sizeof(caption));
                                           EXPECT_STREQ("Form 941 Smart Start for Tax Year 2024", caption);
                                           ClickButton(dialog, IDC_94X_QUARTER1);
                                           SendDlgItemMessageA(dialog, IDC_94X_SCHEDULEB, BM_CLICK, 0, 0);
                                           ClickButton(dialog, IDC_START_OK);
                                       });
    EXPECT_EQ(1, added);
    EXPECT_EQ((std::vector<std::string>{"Form 941, Page 1", "Form 941, Page 2", "Schedule B (Form 941), Page 1",
                                        "Form 1040, Page 1", "Form 1040, Page 2", "Schedule 1, Page 1",
                                        "Schedule 1, Page 2", "Schedule B, Page 1"}),
              Children(gTreeFederalFolder));

    ScriptFileDialogPath(SampleFolder() + "mnm1pr.qvp");
    added = RunDialogWithSteps([&] { return (INT_PTR)SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0); },
                               [](HWND dialog) {
                                   SendDlgItemMessageA(dialog, IDC_M1PR_MOBILE, BM_CLICK, 0, 0);
                                   SetControlText(dialog, IDC_M1PR_CRPCOUNT, "2");
                                   ClickButton(dialog, IDC_START_OK);
                               });
    EXPECT_EQ(1, added);
    EXPECT_EQ((std::vector<std::string>{"Form M1PR, Page 1", "MN CRP, Page 1", "MN CRP, Page 1", "MN PROPST, Page 1"}),
              Children(gTreeStateFolder));
    // Cancel adds nothing.
    ScriptFileDialogPath(SampleFolder() + "mnm1pr.qvp");
    added = RunDialogWithSteps([&] { return (INT_PTR)SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0); },
                               [](HWND dialog) { ClickButton(dialog, IDC_START_CANCEL); });
    EXPECT_EQ(0, added);
    EXPECT_EQ(4u, Children(gTreeStateFolder).size());
}

// What the start dialogs ask for reaches the return: the 941 quarter on the pages with quarter
// boxes, the signing method in the return record, an import request as "Import Data", and the
// M1PR filing status on Form M1PR.
TEST_F(SampleReturn, TheStartDialogsChoicesReachTheFormsAdded)
{
    struct Case {
        const char *formPak;
        std::vector<int> clicks;
        std::vector<std::string> checked;
        int signMethod;
        bool import;
    } cases[] = {
        {"f941.qvp", {IDC_94X_QUARTER2}, {"Form 941.1 0012"}, 0x40, false},
        {"f941.qvp", {IDC_94X_QUARTER4, IDC_94X_SCHEDULEB, IDC_94X_AGENTPIN, IDC_94X_IMPORT},
         {"Form 941.1 0014", "Schedule B (Form 941).1 0014"}, 0x80, true},
        {"mnm1pr.qvp", {IDC_M1PR_HOMEOWNER, IDC_M1PR_MOBILE}, {"Form M1PR.1 0031", "Form M1PR.1 0033"}, 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(&c - cases);
        ScriptFileDialogPath(SampleFolder() + c.formPak);
        RunDialogWithSteps([&] { return (INT_PTR)SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0); },
                           [&](HWND dialog) {
                               for (int id : c.clicks)
                                   SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
                               ClickButton(dialog, IDC_START_OK);
                           });
        std::vector<std::string> checked;
        FormInstance *pages[64] = {};
        int count = FindReturnPages(2, NULL, pages, 0);
        for (int p = 0; p < count && p < 64; p++)
            for (int i = 1; pages[p]->fieldTable && i < pages[p]->fieldTable->count; i++) {
                const FieldRecord &f = pages[p]->fieldTable->fields[i];
                if (f.value && !strcmp(f.value, "X"))
                    checked.push_back(std::string(pages[p]->pageKey) + " " + f.seq);
            }
        EXPECT_EQ(c.checked, checked);
        EXPECT_EQ(c.signMethod, *ReturnBytes(gOpenReturnPtr, RETURN_SIGN_METHOD));
        MSG posted;
        EXPECT_EQ(c.import, PeekMessageA(&posted, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
                                LOWORD(posted.wParam) == IDM_IMPORTDATA);
        gReturnModified = 0;
        SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0);
    }
}

}  // namespace
