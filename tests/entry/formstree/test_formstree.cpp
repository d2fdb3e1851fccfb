// The forms tree in the main window: filing pages under their folders in order, captions with
// page counts, the Summary and Status pseudo pages, tabs, the FormPak list, deletion, and the
// page query walking the tree.
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

void DeleteItem(HTREEITEM item)
{
    SendMessageA(gFormsTreeWindow, TVM_DELETEITEM, 0, (LPARAM)item);
    PumpMessages(20);
}

class FormsTree : public MainWindowTest {
protected:
    void TearDown() override
    {
        gReturnModified = 0;
        DestroyMainWindow(window);
    }
};

TEST_F(FormsTree, EmptyReturnShowsRootFixedFoldersAndStartupTab)
{
    ASSERT_TRUE(gTreeRootItem != NULL);
    EXPECT_EQ("Your Tax Return", Text(gTreeRootItem));
    std::vector<std::string> expected = {"Withholding Forms [empty]", "Federal Return [empty]",
                                         "State Return [empty]"};
    EXPECT_EQ(expected, Children(gTreeRootItem));
    EXPECT_EQ(std::vector<std::string>{"Startup Info"}, TabTexts());
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    ASSERT_TRUE(root != NULL);
    EXPECT_EQ(TREE_KIND_ROOT, root->kind);
    EXPECT_EQ(gTreeRootItem, root->rootItem);
    FormGroupNode *federal = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
    ASSERT_TRUE(federal != NULL);
    EXPECT_EQ(TREE_KIND_FOLDER, federal->kind);
    EXPECT_TRUE(federal->returnIcon != NULL);
    // Lookups of nothing.
    EXPECT_TRUE(GetTreeItemForm(NULL) == NULL);
    char text[128];
    EXPECT_EQ(6, GetTreeItemText(NULL, text, 0, sizeof(text)));
    EXPECT_STREQ("<NULL>", text);
    EXPECT_EQ(0, EnumerateTreePages(NULL, NULL, 0));
}

TEST_F(FormsTree, FirstPageBringsSummaryStatusAndTabsThenCountsPages)
{
    HTREEITEM item = AddFormToTree("Form 1040", TREE_IMAGE_PAGE, MakePage("Form 1040.1", 100, 10), NULL);
    ASSERT_TRUE(item != NULL);
    std::vector<std::string> top = {"Summary", "Status", "Withholding Forms [empty]", "Federal Return [1 page]",
                                    "State Return [empty]"};
    EXPECT_EQ(top, Children(gTreeRootItem));
    EXPECT_EQ((std::vector<std::string>{"Summary", "Status", "Form 1040"}), TabTexts());
    EXPECT_EQ(2, gFixedTabCount);
    EXPECT_EQ(1u, gReturnPageCount);
    FormInstance *page = (FormInstance *)GetTreeItemForm(item);
    EXPECT_EQ(item, page->treeItem);
    EXPECT_EQ(100, page->groupOrder);
    EXPECT_EQ(0xC0C080u, page->accentColor);
    FormInstance *summary = (FormInstance *)GetTreeItemForm(gTreeSummaryItem);
    ASSERT_TRUE(summary != NULL);
    EXPECT_EQ(PAGE_KIND_GENERATED, summary->kind);
    EXPECT_STREQ("Summary Page.1", summary->pageKey);
    EXPECT_EQ(2024, summary->taxYear);

    ASSERT_TRUE(AddFormToTree("Form 1040", TREE_IMAGE_PAGE, MakePage("Form 1040.2", 100, 10), NULL));
    EXPECT_EQ("Federal Return [2 pages]", Text(gTreeFederalFolder));
    EXPECT_EQ("Federal Return", Text(gTreeFederalFolder, 1));
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    EXPECT_EQ(2, root->pageCount);
    // Both pages come from one FormPak: one record used twice.
    ASSERT_TRUE(root->formPaks != NULL);
    EXPECT_EQ(2, root->formPaks->useCount);
    EXPECT_TRUE(root->formPaks->next == NULL);
    EXPECT_EQ(1, root->formPakCount);
    EXPECT_STREQ("f1040.qvp", root->formPaks->fileName);
}

TEST_F(FormsTree, PagesAreSortedByOrderKeyAndFormsStayTogether)
{
    AddFormToTree("A1", TREE_IMAGE_PAGE, MakePage("Form A.1", 100, 50), NULL);
    AddFormToTree("B1", TREE_IMAGE_PAGE, MakePage("Form B.1", 100, 20), NULL);
    AddFormToTree("A2", TREE_IMAGE_PAGE, MakePage("Form A.2", 100, 50), NULL);
    AddFormToTree("B2", TREE_IMAGE_PAGE, MakePage("Form B.2", 100, 20), NULL);
    AddFormToTree("C1", TREE_IMAGE_PAGE, MakePage("Form C.1", 100, 70), NULL);
    // A later page of A with a greater key than C still joins A; a new form D between A's
    // keys does not split A.
    AddFormToTree("A3", TREE_IMAGE_PAGE, MakePage("Form A.3", 100, 90), NULL);
    AddFormToTree("D1", TREE_IMAGE_PAGE, MakePage("Form D.1", 100, 60), NULL);
    std::vector<std::string> expected = {"B1", "B2", "A1", "A2", "A3", "D1", "C1"};
    EXPECT_EQ(expected, Children(gTreeFederalFolder));
    // The tabs follow the tree's order after Summary and Status.
    std::vector<std::string> tabs = {"Summary", "Status", "B1", "B2", "A1", "A2", "A3", "D1", "C1"};
    EXPECT_EQ(tabs, TabTexts());
}

TEST_F(FormsTree, CompareTreePagesNeverReturnsZero)
{
    FormInstance *a = MakePage("Form A.1", 100, 5), *b = MakePage("Form A.2", 100, 5);
    EXPECT_EQ(-1, CompareTreePages((LPARAM)a, (LPARAM)b, 0));
    EXPECT_EQ(1, CompareTreePages((LPARAM)b, (LPARAM)a, 0));
    EXPECT_EQ(1, CompareTreePages((LPARAM)a, (LPARAM)a, 0));
    b->orderKey[0] = 4;
    EXPECT_EQ(1, CompareTreePages((LPARAM)a, (LPARAM)b, 0));
    b->orderKey[0] = 5;
    b->orderKey[1] = 1;
    EXPECT_EQ(-1, CompareTreePages((LPARAM)a, (LPARAM)b, 0));
    FreeFormInstance(a);
    FreeFormInstance(b);
}

TEST_F(FormsTree, OneStateReturnOnly)
{
    ASSERT_TRUE(AddFormToTree("MN M1", TREE_IMAGE_PAGE_MN, MakePage("MN M1.1", 24, 1, "C:\\p\\mn.qvp"), NULL));
    EXPECT_EQ("MN State Return [1 page]", Text(gTreeStateFolder));
    FormInstance *page = (FormInstance *)GetTreeItemForm(Child(gTreeStateFolder));
    EXPECT_EQ(0xB983C0u, page->accentColor);
    EXPECT_EQ(1, ((ReturnNode *)GetTreeItemForm(gTreeRootItem))->stateReturnCount);
    ScriptMessageBoxAnswer(IDOK);
    FormInstance *ca = MakePage("CA 540.1", 5, 1, "C:\\p\\ca.qvp");
    EXPECT_TRUE(AddFormToTree("CA 540", TREE_IMAGE_PAGE, ca, NULL) == NULL);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("State Returns Maximum Reached", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("maximum of ONE state return"));
    EXPECT_EQ("MN State Return [1 page]", Text(gTreeStateFolder));
    EXPECT_EQ(1u, gReturnPageCount);
    FreeFormInstance(ca);
}

TEST_F(FormsTree, SpecialFoldersAreMadeOnFirstUseAndRemovedWhenEmpty)
{
    HTREEITEM scan = AddFormToTree("Scan", TREE_IMAGE_PAGE, MakePage("Scan.1", 0, 1, "C:\\scans\\a.BMP"), NULL);
    ASSERT_TRUE(scan != NULL);
    EXPECT_EQ("Bitmap Pages [1 page]", Text(gTreeScannedFolder));
    EXPECT_EQ(TREE_IMAGE_SCANNED, GetTreeItemImage(scan, 0));
    HTREEITEM extra = AddFormToTree("Extra", TREE_IMAGE_PAGE, MakePage("X.1", 98, 1), NULL);
    ASSERT_TRUE(extra != NULL);
    HTREEITEM other = AddFormToTree("PTR", TREE_IMAGE_PAGE, MakePage("MN M1PR.1", 24, 1), "Property Tax Refund");
    ASSERT_TRUE(other != NULL);
    EXPECT_EQ("Property Tax Refund [1 page]", Text(gTreeOtherReturnFolder));
    // An unknown code is kept with the extra pages rather than lost.
    HTREEITEM odd = AddFormToTree("Odd", TREE_IMAGE_PAGE, MakePage("Odd.1", 77, 1), NULL);
    ASSERT_TRUE(odd != NULL);
    EXPECT_EQ("Extra/Unneeded [2 pages]", Text(gTreeExtraFolder));
    // Scanned and other-return folders stand after the state folder; the others are last.
    std::vector<std::string> top = {"Summary", "Status", "Withholding Forms [empty]", "Federal Return [empty]",
                                    "State Return [empty]", "Property Tax Refund [1 page]", "Bitmap Pages [1 page]",
                                    "Extra/Unneeded [2 pages]"};
    EXPECT_EQ(top, Children(gTreeRootItem));

    DeleteItem(extra);
    DeleteItem(odd);
    EXPECT_TRUE(gTreeExtraFolder == NULL);
    DeleteItem(other);
    EXPECT_TRUE(gTreeOtherReturnFolder == NULL);
    std::vector<std::string> after = {"Summary", "Status", "Withholding Forms [empty]", "Federal Return [empty]",
                                      "State Return [empty]", "Bitmap Pages [1 page]"};
    EXPECT_EQ(after, Children(gTreeRootItem));
}

TEST_F(FormsTree, RemovingTheOnlyPageRestoresTheEmptyReturn)
{
    InitOpenReturn(gOpenReturnPtr);   // no entry of an earlier test left in the return record
    gReturnModified = 1;
    HTREEITEM item = AddFormToTree("MN M1", TREE_IMAGE_PAGE, MakePage("MN M1.1", 24, 1), NULL);
    ASSERT_TRUE(item != NULL);
    DeleteItem(item);
    std::vector<std::string> expected = {"Withholding Forms [empty]", "Federal Return [empty]",
                                         "State Return [empty]"};
    EXPECT_EQ(expected, Children(gTreeRootItem));
    EXPECT_TRUE(gTreeSummaryItem == NULL);
    EXPECT_TRUE(gTreeStatusItem == NULL);
    EXPECT_EQ(std::vector<std::string>{"Startup Info"}, TabTexts());
    EXPECT_EQ(0u, gReturnPageCount);
    EXPECT_EQ(0, gReturnModified);
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    EXPECT_TRUE(root->formPaks == NULL);
    EXPECT_EQ(0, root->stateReturnCount);
    // The state folder is free for any state again.
    ASSERT_TRUE(AddFormToTree("CA 540", TREE_IMAGE_PAGE, MakePage("CA 540.1", 5, 1), NULL));
    EXPECT_EQ("CA State Return [1 page]", Text(gTreeStateFolder));
}

TEST_F(FormsTree, ALostPseudoPageNeverTakesTheTreeWithIt)
{
    HTREEITEM page = AddFormToTree("A", TREE_IMAGE_PAGE, MakePage("Form A.1", 100, 1), NULL);
    ASSERT_TRUE(page != NULL);
    // The Summary item is gone already when the last page leaves.
    DeleteItem(gTreeSummaryItem);
    EXPECT_TRUE(gTreeSummaryItem == NULL);
    DeleteItem(page);
    EXPECT_TRUE(gTreeStatusItem == NULL);
    ASSERT_TRUE(gTreeRootItem != NULL);
    std::vector<std::string> expected = {"Withholding Forms [empty]", "Federal Return [empty]",
                                         "State Return [empty]"};
    EXPECT_EQ(expected, Children(gTreeRootItem));
}

TEST_F(FormsTree, FormPakRecordsFollowTheirPages)
{
    HTREEITEM a = AddFormToTree("A", TREE_IMAGE_PAGE, MakePage("Form A.1", 100, 1, "C:\\p\\one.qvp"), NULL);
    HTREEITEM b = AddFormToTree("B", TREE_IMAGE_PAGE, MakePage("Form B.1", 100, 2, "C:\\P\\ONE.QVP"), NULL);
    HTREEITEM c = AddFormToTree("C", TREE_IMAGE_PAGE, MakePage("Form C.1", 100, 3, "C:\\p\\two.qvp"), NULL);
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    ASSERT_TRUE(root->formPaks && root->formPaks->next);
    EXPECT_EQ(2, root->formPaks->useCount);  // paths compared without regard to case
    EXPECT_EQ(0u, root->formPaks->exists);   // the file is not there
    EXPECT_EQ(2, root->formPakCount);
    int isNew = -1;
    FormPakRecord *previous = NULL;
    FormPakRecord *two = FindOrAddFormPakRecord("c:\\p\\TWO.qvp", "TWO.qvp", &isNew, &previous);
    EXPECT_EQ(0, isNew);
    EXPECT_EQ(root->formPaks, previous);
    EXPECT_EQ(root->formPaks->next, two);
    // Page data cached from the FormPak that leaves the list is forgotten with it.
    uint8_t *data = (uint8_t *)MemAlloc(64, 9);
    SetCachedPageData(two, 400, 8, 1, data, 8);
    ASSERT_TRUE(GetCachedPageData(two, 400, 8, 1, NULL) != NULL);
    DeleteItem(c);
    EXPECT_TRUE(root->formPaks->next == NULL);
    EXPECT_TRUE(gCachedPageData == NULL);
    EXPECT_TRUE(gCachedPageSource == NULL);
    DeleteItem(a);
    EXPECT_EQ(1, root->formPaks->useCount);
    EXPECT_EQ("Federal Return [1 page]", Text(gTreeFederalFolder));
    DeleteItem(b);
    EXPECT_TRUE(root->formPaks == NULL);
    EXPECT_EQ("Federal Return [empty]", Text(gTreeFederalFolder));
}

TEST_F(FormsTree, CaptionsOfInfoFormsAndAmpersands)
{
    FormInstance *w2 = MakePage("Form W-2.1", 97, 1);
    HTREEITEM item = AddFormToTree("Form W-2", TREE_IMAGE_PAGE, w2, NULL);
    ASSERT_TRUE(item != NULL);
    EXPECT_EQ("Withholding Forms [1 page]", Text(gTreeWithholdingFolder));
    FieldRecord field;
    memset(&field, 0, sizeof(field));
    field.seq = (char *)"0050";
    field.value = (char *)"Smith & Sons";
    EXPECT_EQ(1, UpdateInfoFormTreeCaption(&field, w2));
    EXPECT_EQ("Form W-2 [Smith & Sons]", Text(item));
    EXPECT_EQ("Form W-2", Text(item, 1));
    // The tab shows a single '&' (written "&&").
    EXPECT_EQ("Form W-2 [Smith && Sons]", TabTexts().back());
    EXPECT_EQ(0, UpdateInfoFormTreeCaption(&field, w2));  // unchanged: not rewritten
    field.value = NULL;
    EXPECT_EQ(1, UpdateInfoFormTreeCaption(&field, w2));
    EXPECT_EQ("Form W-2", Text(item));
    field.seq = (char *)"0020";
    field.value = (char *)"Other";
    EXPECT_EQ(0, UpdateInfoFormTreeCaption(&field, w2));  // not the W-2's name field
}

TEST_F(FormsTree, CaptionModes)
{
    HTREEITEM item = AddFormToTree("Form 1040", TREE_IMAGE_PAGE, MakePage("Form 1040.1", 100, 1), NULL);
    SetTreeItemCaption(item, "Copy of ", 1);
    EXPECT_EQ("Copy of Form 1040", Text(item));
    SetTreeItemCaption(item, "Return [x]", 3);
    SetTreeItemCaption(item, " [y]", 2);
    EXPECT_EQ("Return [y]", Text(item));
    SetTreeItemCaption(item, "New", 4);
    EXPECT_EQ("New [y]", Text(item));
    SetTreeItemCaption(item, "Plain", 3);
    SetTreeItemCaption(item, "Again", 4);
    EXPECT_EQ("Again", Text(item));
    // An overlong caption is cut, never overrun.
    std::string longText(600, 'x');
    EXPECT_EQ(1, SetTreeItemCaption(item, longText.c_str(), 3));
    char text[16];
    EXPECT_EQ(127, GetTreeItemText(item, text, 0, sizeof(text)));
    EXPECT_EQ(15u, strlen(text));
}

TEST_F(FormsTree, FolderImagesFollowExpansion)
{
    AddFormToTree("Form 1040", TREE_IMAGE_PAGE, MakePage("Form 1040.1", 100, 1), NULL);
    SendMessageA(gFormsTreeWindow, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)gTreeFederalFolder);
    EXPECT_EQ(1, SetFolderImage(gTreeFederalFolder, TVE_COLLAPSE));
    EXPECT_EQ(TREE_IMAGE_FOLDER_CLOSED, GetTreeItemImage(gTreeFederalFolder, 0));
    EXPECT_EQ(1, SetFolderImage(gTreeFederalFolder, TVE_EXPAND));
    EXPECT_EQ(TREE_IMAGE_FOLDER_OPEN, GetTreeItemImage(gTreeFederalFolder, 0));
    EXPECT_EQ(0, SetFolderImage(gTreeRootItem, TVE_EXPAND));  // not a fixed folder
    EXPECT_EQ(TREE_IMAGE_PAGE_MN, GetTreeItemImage(NULL, 24));
    EXPECT_EQ(TREE_IMAGE_PAGE_SESSION, GetTreeItemImage(NULL, 25));
    EXPECT_EQ(TREE_IMAGE_PAGE, GetTreeItemImage(NULL, 100));
}

TEST_F(FormsTree, TabsAndTreeFollowEachOther)
{
    HTREEITEM a = AddFormToTree("A", TREE_IMAGE_PAGE, MakePage("Form A.1", 100, 1), NULL);
    HTREEITEM b = AddFormToTree("B", TREE_IMAGE_PAGE, MakePage("Form B.1", 100, 2), NULL);
    SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)b);
    EXPECT_EQ(3, (int)SendMessageA(gFormTabs, TCM_GETCURSEL, 0, 0));
    // A click on a tab selects its page in the tree.
    SendMessageA(gFormTabs, TCM_SETCURSEL, 2, 0);
    NMHDR header = {gFormTabs, IDC_FORMTABS, (UINT)TCN_SELCHANGE};
    SendMessageA(window, WM_NOTIFY, IDC_FORMTABS, (LPARAM)&header);
    EXPECT_EQ(a, (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, TVGN_CARET, 0));
    RemovePageTab(a, NULL);
    EXPECT_EQ((std::vector<std::string>{"Summary", "Status", "B"}), TabTexts());
    SetPageTabText(b, "B & C");
    EXPECT_EQ("B && C", TabTexts().back());
}

TEST_F(FormsTree, ClearingResetsEverythingTheReturnOwned)
{
    AddFormToTree("A", TREE_IMAGE_PAGE, MakePage("Form A.1", 100, 1), NULL);
    AddFormToTree("MN", TREE_IMAGE_PAGE, MakePage("MN M1.1", 24, 1, "C:\\p\\mn.qvp"), NULL);
    AddFormToTree("X", TREE_IMAGE_PAGE, MakePage("X.1", 98, 1), NULL);
    HTREEITEM root = gTreeRootItem;
    EXPECT_EQ(1, ClearFormsTree());
    EXPECT_EQ(root, gTreeRootItem);
    std::vector<std::string> expected = {"Withholding Forms [empty]", "Federal Return [empty]",
                                         "State Return [empty]"};
    EXPECT_EQ(expected, Children(gTreeRootItem));
    EXPECT_EQ(0u, gReturnPageCount);
    EXPECT_EQ(0, gFixedTabCount);
    EXPECT_EQ(0, gClosingReturn);
    EXPECT_TRUE(gTreeExtraFolder == NULL && gTreeSummaryItem == NULL);
    ReturnNode *record = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    EXPECT_TRUE(record->formPaks == NULL);
    EXPECT_EQ(0, record->pageCount);
    EXPECT_EQ(0, record->stateReturnCount);
    EXPECT_EQ(std::vector<std::string>{"Startup Info"}, TabTexts());
    // A new return files again from the start.
    ASSERT_TRUE(AddFormToTree("CA", TREE_IMAGE_PAGE, MakePage("CA 540.1", 5, 1), NULL));
    EXPECT_EQ("CA State Return [1 page]", Text(gTreeStateFolder));
}

// Every mode of the page query, answered by walking this tree.
TEST_F(FormsTree, PageQueryWalksTheTreeInOrder)
{
    HTREEITEM w2a = AddFormToTree("W-2", TREE_IMAGE_PAGE, MakePage("Form W-2.1", 97, 5), NULL);
    HTREEITEM f1 = AddFormToTree("1040 p1", TREE_IMAGE_PAGE, MakePage("Form 1040.1", 100, 10), NULL);
    HTREEITEM f2 = AddFormToTree("1040 p2", TREE_IMAGE_PAGE, MakePage("Form 1040.2", 100, 10), NULL);
    HTREEITEM w2b = AddFormToTree("W-2", TREE_IMAGE_PAGE, MakePage("Form W-2.1", 97, 5), NULL);
    HTREEITEM sb = AddFormToTree("Sch B", TREE_IMAGE_PAGE, MakePage("Schedule B.1", 100, 20), NULL);
    HTREEITEM mn = AddFormToTree("MN", TREE_IMAGE_PAGE, MakePage("MN M1.1", 24, 1), NULL);
    ASSERT_TRUE(w2a && f1 && f2 && w2b && sb && mn);
    auto page = [](HTREEITEM item) { return (FormInstance *)GetTreeItemForm(item); };
    struct Case {
        int mode;
        const void *key;
        intptr_t reference;
        int result;
        std::vector<HTREEITEM> pages;
    };
    std::vector<Case> cases = {
        {1, "form w-2.1", 0, 2, {w2a, w2b}},
        {2, NULL, 0, 6, {w2a, w2b, f1, f2, sb, mn}},
        {4, "Form 1040.7", 0, 2, {f1, f2}},
        {4, "Form W", 0, 0, {}},
        {7, "Schedule B.1", 0, 1, {sb}},
        {7, "Schedule C.1", 0, 0, {}},
        {9, "Form W-2.1", 0, 2, {}},
        {13, NULL, (intptr_t)w2a, 1, {w2b}},
        {14, "FORM 1040.2", 0, 1, {f2}},
        {15, (const void *)(intptr_t)3, 0, 1, {f1}},
        {15, (const void *)(intptr_t)7, 0, 0, {}},
        {16, gTreeFederalFolder, 0, 3, {f1, f2, sb}},
        {16, gTreeStateFolder, 0, 1, {mn}},
        {17, mn, 0, 5, {}},
        {17, gTreeSummaryItem, 0, -1, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        FormInstance *out[8] = {};
        EXPECT_EQ(c.result, FindReturnPages(c.mode, c.key, out, c.reference));
        for (size_t i = 0; i < c.pages.size(); i++)
            EXPECT_EQ(page(c.pages[i]), out[i]) << "page " << i;
        if (c.mode != 17 && c.mode != 13 && c.mode != 12 && c.mode != 14 && c.mode != 15) {
            EXPECT_EQ(c.result, FindReturnPages(c.mode, c.key, NULL, c.reference));  // counting only
        }
    }
    // The pseudo pages are not counted; copy numbers come from the same walk.
    EXPECT_EQ(2, GetFormCopyNumber(page(w2b)));
    EXPECT_EQ(0, GetFormCopyNumber(page(sb)));
    EXPECT_EQ(6, EnumerateTreePages(NULL, NULL, 0));
    FormInstance *two[2] = {};
    EXPECT_EQ(2, EnumerateTreePages(NULL, two, 2));  // never more than the room given
    EXPECT_EQ(page(w2a), two[0]);
}

TEST_F(FormsTree, TipPanelShowsOnlyWhileTheListLeavesRoom)
{
    ShowWindow(window, SW_SHOW);
    PumpMessages(20);
    HWND panel = GetDlgItem(gFormsTreeWindow, IDC_FORMSTREE_TIP);
    ASSERT_TRUE(panel != NULL);
    EXPECT_EQ(1, UpdateFormsTreeTipVisibility(NULL));
    EXPECT_TRUE(IsWindowVisible(panel));
    int zero = 0;
    EXPECT_EQ(0, UpdateFormsTreeTipVisibility(&zero));
    EXPECT_FALSE(IsWindowVisible(panel));
    EXPECT_EQ(1, UpdateFormsTreeTipVisibility(NULL));
    for (int i = 0; i < 60; i++) {
        char key[32];
        wsprintfA(key, "Form P%d.1", i);
        AddFormToTree(key, TREE_IMAGE_PAGE, MakePage(key, 100, (uint16_t)i), NULL);
    }
    EXPECT_FALSE(IsWindowVisible(panel));
}

}  // namespace
