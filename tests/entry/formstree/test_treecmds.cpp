// The forms tree's commands in the main window: "Confirm Delete" and what removing pages leaves
// behind, Forms > Remove Page (command 40002) on the page shown, the context menus of the tree
// and the tabs per item kind, duplicating pages and changing a form's source on the sample
// FormPaks, and copying values between pages.
#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "prepare/prepare.h"
#include "store/store.h"
#include "tests/harness/fields.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// A menu as lines: "---" for separators, "(grey)" and "(checked)" marks, submenu items indented.
std::vector<std::string> MenuLines(HMENU menu, const std::string &indent = "")
{
    std::vector<std::string> out;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[256] = "";
        MENUITEMINFOA info;
        memset(&info, 0, sizeof(info));
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            out.push_back(indent + "---");
            continue;
        }
        std::string line = indent + text;
        if (info.fState & MFS_GRAYED)
            line += " (grey)";
        if (info.fState & MFS_CHECKED)
            line += " (checked)";
        out.push_back(line);
        if (info.hSubMenu)
            for (const std::string &sub : MenuLines(info.hSubMenu, indent + "  "))
                out.push_back(sub);
    }
    return out;
}

std::vector<std::string> MenuOf(HTREEITEM item)
{
    HMENU menu = NULL;
    HMENU popup = BuildFormsTreeMenu(item, &menu);
    std::vector<std::string> lines = popup ? MenuLines(popup) : std::vector<std::string>{"<none>"};
    if (menu)
        DestroyMenu(menu);
    return lines;
}

std::string SampleFolder()
{
    return SampleReturnFolder("lvtreecmd", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp",
                                            "f941.qvp", "mnm1pr.qvp"});
}

// Opens the sample return (its FormPaks beside it) in the main window; returns its folder.
std::string OpenSample(HWND window)
{
    std::string folder = SampleFolder();
    UseBuildFormPaks();
    EXPECT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)(folder + "Sample.qvr").c_str()));
    RestoreFormPakFolder();
    return folder;
}

HTREEITEM LastChild(HTREEITEM parent)
{
    HTREEITEM last = NULL;
    for (HTREEITEM c = Child(parent); c; c = Next(c))
        last = c;
    return last;
}

class TreeCommands : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        InitOpenReturn(gOpenReturnPtr);
        gReturnModified = 0;
        gViewOnly = 0;
    }
    void TearDown() override
    {
        gViewOnly = 0;
        gReturnModified = 0;
        MainWindowTest::TearDown();
    }
};

TEST_F(TreeCommands, ConfirmDeleteAndRemoveAllLeaveAnEmptyReturnThatClosesWithoutAsking)
{
    HTREEITEM items[3];
    for (int i = 0; i < 3; i++) {
        std::string key = "Form 1040." + std::to_string(i + 1);
        items[i] = AddFormToTree(("Form 1040, Page " + std::to_string(i + 1)).c_str(), TREE_IMAGE_PAGE,
                                 MakePage(key.c_str(), 100, 1), NULL);
        ASSERT_TRUE(items[i] != NULL);
    }
    gReturnModified = 0;
    ScriptMessageBoxAnswer(IDNO);
    EXPECT_EQ(0, RemoveFormPage(items[2]));
    EXPECT_EQ(3u, gReturnPageCount);
    ScriptMessageBoxAnswer(IDYES);
    EXPECT_EQ(1, RemoveFormPage(items[2]));
    EXPECT_EQ(2u, gReturnPageCount);
    EXPECT_EQ(1, gReturnModified);
    ScriptMessageBoxAnswer(IDNO);
    EXPECT_EQ(0, RemoveFolderPages(gTreeFederalFolder, 1));
    ScriptMessageBoxAnswer(IDYES);
    EXPECT_EQ(1, RemoveFolderPages(gTreeFederalFolder, 1));
    const std::vector<ShownMessageBox> &boxes = GetShownMessageBoxes();
    ASSERT_EQ(4u, boxes.size());
    EXPECT_EQ("Confirm Delete", boxes[0].title);
    EXPECT_EQ("Are you sure that you want to permanently remove this page and all of its data from your "
              "return?\r\n\r\n\t-- Form 1040, Page 3",
              boxes[0].text);
    EXPECT_EQ((unsigned)(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), boxes[0].flags);
    EXPECT_EQ("Are you sure that you want to permanently remove all pages from the \"Federal Return\" folder?",
              boxes[2].text);
    EXPECT_EQ("Federal Return [empty]", Text(gTreeFederalFolder));
    EXPECT_EQ(std::vector<std::string>{"Startup Info"}, TabTexts());
    EXPECT_TRUE(gTreeSummaryItem == NULL && gTreeStatusItem == NULL);
    EXPECT_EQ(0u, gReturnPageCount);
    EXPECT_EQ(0, gRemovingFolder);
    EXPECT_EQ(0, gReturnModified);
    ClearShownMessageBoxes();
    EXPECT_EQ(1, AskSaveChanges(window));
    EXPECT_TRUE(GetShownMessageBoxes().empty());
}

// Removing the last page leaves the return changed while it holds an entry that a save would
// keep (the removal must not be lost by closing without a question).
TEST_F(TreeCommands, LastPageLeavesTheReturnChangedWhileItHoldsEntries)
{
    FormGroupNode *federal = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
    ASSERT_TRUE(federal != NULL);
    for (int note = 0; note < 2; note++) {
        SCOPED_TRACE(note ? "a note to self" : "a typed name");
        InitOpenReturn(gOpenReturnPtr);
        if (note)
            federal->noteToSelf = DuplicateText("call the client");
        else
            SetReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "JANE");
        HTREEITEM item = AddFormToTree("Form 1040, Page 1", TREE_IMAGE_PAGE, MakePage("Form 1040.1", 100, 1), NULL);
        ASSERT_TRUE(item != NULL);
        gReturnModified = 0;   // saved as it is
        ScriptMessageBoxAnswer(IDYES);
        EXPECT_EQ(1, RemoveFormPage(item));
        EXPECT_EQ(1, gReturnModified);
        federal->noteToSelf = (char *)MemFree(federal->noteToSelf);
    }
}

TEST_F(TreeCommands, ContextMenuOfEachItemKind)
{
    FieldDesc descs[] = {{"0100", "A", NULL, NULL, "5", "Rent paid"}, {"0200", "A", NULL, NULL, NULL, "Other"},
                         {"0300", "N", NULL, NULL, "6", "Not explained"}};
    FieldTable *table = MakeTable(descs, 3);
    SetFieldText(&Field(table, "0100")->seqPrefix, "@");
    SetFieldText(&Field(table, "0200")->seqPrefix, "@1");
    SetFieldText(&Field(table, "0100")->second, "The rent was paid in cash.");
    FormInstance *page = MakePage("Form 1040.1", 100, 1);
    page->fieldTable = table;
    page->copyLimit = 2;
    HTREEITEM pageItem = AddFormToTree("Form 1040, Page 1", TREE_IMAGE_PAGE, page, NULL);
    FormInstance *state = MakePage("MN M1.1", 24, 1);
    state->copyLimit = 1;
    HTREEITEM stateItem = AddFormToTree("MN M1", TREE_IMAGE_PAGE_MN, state, NULL);
    ASSERT_TRUE(pageItem && stateItem);
    FormGroupNode *federal = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
    federal->noteToIrs = DuplicateText("See the attached statement.");

    const std::vector<std::string> pageMenu = {
        "&Add Form...", "&Duplicate Page", "&Remove Page", "---", "Taxpayer Explanation",
        "  Line 5 - Rent paid (checked)", "  Other", "---", "Print...", "---", "&Change Form Source..."};
    struct Case {
        const char *name;
        HTREEITEM item;
        std::vector<std::string> lines;
    } cases[] = {
        {"root", gTreeRootItem, {"&Add Form..."}},
        {"empty folder", gTreeWithholdingFolder, {"&Add Form..."}},
        {"federal folder", gTreeFederalFolder,
         {"&Add Form...", "---", "Re&move Federal Return", "---", "Note to IRS... (checked)", "Note to Self..."}},
        {"state folder", gTreeStateFolder, {"&Add Form...", "---", "Re&move MN State Return"}},
        {"page", pageItem, pageMenu},
        {"page at its copy limit", stateItem,
         {"&Add Form...", "&Duplicate Page (grey)", "&Remove Page", "---", "Print...", "---",
          "&Change Form Source..."}},
        {"Summary", gTreeSummaryItem, {"Print..."}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.lines, MenuOf(c.item));
    }
    // An item of the submenu opens the explanation of its field.
    HMENU menu = NULL;
    HMENU popup = BuildFormsTreeMenu(pageItem, &menu);
    char caption[128] = "";
    RunDialogWithSteps([&] { return (INT_PTR)RunFormsTreeCommand(pageItem, 1, popup); },
                       [&](HWND dialog) { GetWindowTextA(dialog, caption, sizeof(caption)); });
    DestroyMenu(menu);
    EXPECT_STREQ("Form 1040, Page 1 Line 5 - Rent paid", caption);
    // View only: what changes the return is greyed; the explanations and Print stay.
    gViewOnly = 1;
    EXPECT_EQ((std::vector<std::string>{"&Add Form... (grey)", "&Duplicate Page (grey)", "&Remove Page (grey)", "---",
                                        "Taxpayer Explanation", "  Line 5 - Rent paid (checked)", "  Other", "---",
                                        "Print...", "---", "&Change Form Source... (grey)"}),
              MenuOf(pageItem));
    EXPECT_EQ((std::vector<std::string>{"&Add Form... (grey)", "---", "Re&move Federal Return (grey)", "---",
                                        "Note to IRS... (checked)", "Note to Self..."}),
              MenuOf(gTreeFederalFolder));
}

// The menu shown by a right click, seen from a timer inside its loop and then closed.
int sMenuItems;
void CALLBACK CloseShownMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND menuWindow = FindWindowA("#32768", NULL);
    if (!menuWindow || !IsWindowVisible(menuWindow))
        return;
    HMENU menu = (HMENU)SendMessageA(menuWindow, MN_GETHMENU, 0, 0);
    sMenuItems = menu ? GetMenuItemCount(menu) : -1;
    KillTimer(NULL, id);
    EndMenu();
}

// The menu's item count after a right click at the centre of rc (client coordinates of window).
int RightClickMenuItems(HWND window, RECT rc, int source)
{
    POINT point = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ClientToScreen(window, &point);
    sMenuItems = 0;
    UINT_PTR timer = SetTimer(NULL, 0, 50, CloseShownMenu);
    int command = FormsTreeContextMenu(point, source);
    KillTimer(NULL, timer);
    EXPECT_EQ(0, command);
    return sMenuItems;
}

TEST_F(TreeCommands, RightClickOnATreeItemOrATabOpensItsMenu)
{
    ShowWindow(window, SW_SHOW);
    HTREEITEM item = AddFormToTree("Form 1040, Page 1", TREE_IMAGE_PAGE, MakePage("Form 1040.1", 100, 1), NULL);
    ASSERT_TRUE(item != NULL);
    PumpMessages(20);
    RECT rc;
    memcpy(&rc, &item, sizeof(item));
    ASSERT_TRUE(SendMessageA(gFormsTreeWindow, TVM_GETITEMRECT, TRUE, (LPARAM)&rc));
    EXPECT_EQ(7, RightClickMenuItems(gFormsTreeWindow, rc, 0));   // the page's menu
    // The tabs show in full screen.
    SetViewMode(window, 1, gTabsOnTop);
    PumpMessages(20);
    ASSERT_TRUE(SendMessageA(gFormTabs, TCM_GETITEMRECT, gFixedTabCount, (LPARAM)&rc));
    EXPECT_EQ(7, RightClickMenuItems(gFormTabs, rc, 1));          // the page's tab
    ASSERT_TRUE(SendMessageA(gFormTabs, TCM_GETITEMRECT, 0, (LPARAM)&rc));
    EXPECT_EQ(1, RightClickMenuItems(gFormTabs, rc, 1));          // the Summary tab: Print...
    SetViewMode(window, 0, gTabsOnTop);
    PumpMessages(20);
    // Beside every item nothing opens.
    GetClientRect(gFormsTreeWindow, &rc);
    rc.top = rc.bottom - 42;
    rc.left = rc.right - 4;
    EXPECT_EQ(0, RightClickMenuItems(gFormsTreeWindow, rc, 0));
}

TEST_F(TreeCommands, RemovePageCommandRemovesThePageShownOfTheSampleReturn)
{
    OpenSample(window);
    char text[64] = "";
    GetMenuStringA(GetMenu(window), IDM_DELETEPAGE, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ("&Remove Page", text);
    HTREEITEM last = LastChild(gTreeFederalFolder);
    HTREEITEM previous = (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, TVGN_PREVIOUS, (LPARAM)last);
    SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)last);
    PumpMessages(20);
    ASSERT_EQ(last, (HTREEITEM)GetCurrentDocument(1));
    EXPECT_EQ("Schedule B, Page 1", Text(last));
    gReturnModified = 0;
    ScriptMessageBoxAnswer(IDYES);
    SendMessageA(window, WM_COMMAND, IDM_DELETEPAGE, 0);
    PumpMessages(20);
    EXPECT_EQ("Confirm Delete", GetShownMessageBoxes().at(0).title);
    EXPECT_EQ((std::vector<std::string>{"Form 1040, Page 1", "Form 1040, Page 2", "Schedule 1, Page 1",
                                        "Schedule 1, Page 2"}),
              Children(gTreeFederalFolder));
    // The last page of its folder: the page before it is shown now.
    EXPECT_EQ(previous, (HTREEITEM)GetCurrentDocument(1));
    EXPECT_EQ(1, gReturnModified);
    // The Summary page shown is not a page to remove: nothing is asked.
    SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)gTreeSummaryItem);
    PumpMessages(20);
    ClearShownMessageBoxes();
    SendMessageA(window, WM_COMMAND, IDM_DELETEPAGE, 0);
    EXPECT_TRUE(GetShownMessageBoxes().empty());
    EXPECT_EQ(4u, gReturnPageCount);
}

// The index of a page key in a FormPak of the sample folder.
int IndexOf(const std::string &pak, const char *key)
{
    int copies = 0;
    return FindFormInFormPak(pak.c_str(), key, &copies, NULL);
}

TEST_F(TreeCommands, DuplicateUpToTheCopyLimitOfTheSampleFormPak)
{
    std::string pak = SampleFolder() + "mnm1pr.qvp";
    int crp = IndexOf(pak, "MN CRP.1");
    int m1pr = IndexOf(pak, "Form M1PR.1");
    ASSERT_GE(crp, 0);
    ASSERT_GE(m1pr, 0);
    HTREEITEM item = CreateFormFromFormPak(pak.c_str(), crp, 10);
    HTREEITEM main = CreateFormFromFormPak(pak.c_str(), m1pr, 1);
    ASSERT_TRUE(item && main);
    EXPECT_EQ(10, ((FormInstance *)GetTreeItemForm(item))->copyLimit);
    EXPECT_EQ("&Duplicate Page", MenuOf(item).at(1));
    EXPECT_EQ("&Duplicate Page (grey)", MenuOf(main).at(1));
    gReturnModified = 0;
    EXPECT_EQ(1, RunFormsTreeCommand(item, IDM_TREE_DUPLICATE, NULL));
    EXPECT_EQ(2, FindReturnPages(9, "MN CRP.1", NULL, 0));
    EXPECT_EQ(1, gReturnModified);
    // The form's limit holds: no second M1PR page.
    EXPECT_EQ(0, RunFormsTreeCommand(main, IDM_TREE_DUPLICATE, NULL));
    EXPECT_EQ(1, FindReturnPages(9, "Form M1PR.1", NULL, 0));
}

TEST_F(TreeCommands, ChangeSourceMovesTheFormToAnotherFormPakKeepingItsValues)
{
    std::string folder = OpenSample(window);
    HTREEITEM item = LastChild(gTreeFederalFolder);
    FormInstance *page = (FormInstance *)GetTreeItemForm(item);
    ASSERT_TRUE(page && page->formPakPath);
    ASSERT_STREQ("Schedule B.1", page->pageKey);
    std::string oldPath = page->formPakPath;
    gReturnModified = 0;
    // The same file: nothing happens.
    ScriptFileDialogPath(oldPath);
    EXPECT_EQ(0, ChangeFormSource(item));
    EXPECT_TRUE(GetShownMessageBoxes().empty());
    // A FormPak without the form: "Form Not Found in File", Retry, then the bitmap Schedule B.
    ScriptFileDialogPath(folder + "f941.qvp");
    ScriptMessageBoxAnswer(IDRETRY);
    ScriptFileDialogPath(folder + "f1040sb-bitmap.qvp");
    EXPECT_EQ(1, ChangeFormSource(item));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Form Not Found in File", GetShownMessageBoxes()[0].title);
    EXPECT_EQ((unsigned)(MB_RETRYCANCEL | MB_ICONEXCLAMATION), GetShownMessageBoxes()[0].flags);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("does not contain an updated version"));
    FormInstance *now = NULL;
    ASSERT_EQ(1, FindReturnPages(14, "Schedule B.1", &now, 0));
    EXPECT_EQ(IMAGE_SOURCE_BMP, now->imageSource);
    EXPECT_NE(std::string::npos, std::string(now->formPakPath).find("f1040sb-bitmap.qvp"));
    // The payers are a statement: the page says so and the head keeps the rows.
    EXPECT_EQ("See statement", Value(now->fieldTable, "0101"));
    FieldRecord *head = Field(now->fieldTable, "0101");
    ASSERT_TRUE(head && head->second);
    EXPECT_NE(std::string::npos, std::string(head->second).find("First Lakes Bank"));
    EXPECT_EQ(1, FindReturnPages(9, "Schedule B.1", NULL, 0));
    EXPECT_EQ(1, gReturnModified);
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    for (FormPakRecord *r = root->formPaks; r; r = r->next)
        EXPECT_NE(0, lstrcmpiA(r->path, oldPath.c_str()));
    // Cancel keeps the source.
    ScriptFileDialogPath(folder + "f941.qvp");
    ScriptMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(0, ChangeFormSource(now->treeItem));
}

TEST(CopyFieldValues, EveryFieldFromTheFirstAndSignatureBlocksByTheirLength)
{
    FieldDesc oldDescs[] = {{"0010", "A", NULL, "first field", NULL, NULL}, {"0020", "S[sig]", NULL, NULL, NULL, NULL},
                            {"0030", "A", NULL, NULL, NULL, NULL}, {"0040", "A", NULL, "not on the new page", NULL, NULL}};
    FieldDesc newDescs[] = {{"0005", "A", NULL, NULL, NULL, NULL}, {"0010", "A", NULL, NULL, NULL, NULL},
                            {"0020", "S[sig]", NULL, NULL, NULL, NULL}, {"0030", "A", NULL, "kept", NULL, NULL}};
    FieldTable *oldTable = MakeTable(oldDescs, 4);
    FieldTable *newTable = MakeTable(newDescs, 4);
    // A signature block: "qvbb", its length at byte 28, then data with zero bytes.
    uint8_t block[40];
    memset(block, 0, sizeof(block));
    memcpy(block, "qvbb", 4);
    uint32_t dataLength = 8;
    memcpy(block + 28, &dataLength, 4);
    block[33] = 0x7F;
    block[39] = 0x11;
    ASSERT_EQ(1, SetFieldBlob(&Field(oldTable, "0020")->second, block, sizeof(block)));
    EXPECT_EQ(2, CopyFieldValues(oldTable, newTable));
    EXPECT_EQ("first field", Value(newTable, "0010"));
    FieldRecord *signature = Field(newTable, "0020");
    ASSERT_EQ(sizeof(block), GetFieldSecondLength(signature));
    EXPECT_EQ(0, memcmp(signature->second, block, sizeof(block)));
    EXPECT_EQ("kept", Value(newTable, "0030"));   // nothing to copy: left alone
    EXPECT_EQ("", Value(newTable, "0005"));
    FreeLayoutTable(oldTable);
    FreeLayoutTable(newTable);
}

}  // namespace
