// The forms tree's mirror against the control itself: every filing position, the page walk and
// the tab positions agree with a walk over the control's items, while pages are filed in a mixed
// order, across folders, and after deletions drop the mirror; the page tabs are measured again
// when the tree's redraw comes back on.
#include "entry/entry.h"
#include "entry/formstree/formstree_private.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The form pages in tree order, read from the control item by item.
std::vector<FormInstance *> WalkControl()
{
    std::vector<FormInstance *> out;
    for (HTREEITEM top = Child(gTreeRootItem); top; top = Next(top)) {
        uint16_t *record = (uint16_t *)GetTreeItemForm(top);
        if (record && *record == PAGE_KIND_FORM)
            out.push_back((FormInstance *)record);
        if (record && *record == TREE_KIND_FOLDER)
            for (HTREEITEM child = Child(top); child; child = Next(child)) {
                uint16_t *r = (uint16_t *)GetTreeItemForm(child);
                if (r && *r == PAGE_KIND_FORM)
                    out.push_back((FormInstance *)r);
            }
    }
    return out;
}

void ExpectMirrorMatchesControl()
{
    std::vector<FormInstance *> walked = WalkControl();
    std::vector<FormInstance *> enumerated(walked.size() + 4, nullptr);
    int count = EnumerateTreePages(NULL, enumerated.data(), (int)enumerated.size());
    enumerated.resize(count > 0 ? count : 0);
    EXPECT_EQ(walked, enumerated);
    EXPECT_EQ((int)walked.size(), EnumerateTreePages(NULL, NULL, 0));
    for (size_t i = 0; i < walked.size(); i++)
        EXPECT_EQ((int)i, GetTreePagePosition(walked[i]->treeItem)) << walked[i]->pageKey;
    // Each folder's own pages.
    for (HTREEITEM folder : {gTreeWithholdingFolder, gTreeFederalFolder}) {
        std::vector<FormInstance *> own(64, nullptr);
        int n = EnumerateTreePages(folder, own.data(), 64);
        int expected = 0;
        for (HTREEITEM child = Child(folder); child; child = Next(child))
            expected++;
        EXPECT_EQ(expected, n);
    }
}

class FormsTreeMirror : public MainWindowTest {
protected:
    void TearDown() override
    {
        gReturnModified = 0;
        DestroyMainWindow(window);
    }
};

// Pages of several forms, with order keys out of arrival order and copies of forms already
// filed: before each filing the mirror's position is the one the control walk finds.
TEST_F(FormsTreeMirror, FilingPositionsAgreeWithTheControlWalk)
{
    struct Filing {
        const char *key;
        int jurisdiction;
        uint16_t order;
    };
    const Filing filings[] = {
        {"Schedule B.1", 100, 30},  {"Form 1040.1", 100, 10},   {"Form W-2.1", 97, 5},
        {"Schedule 1.1", 100, 20},  {"Form 1040.2", 100, 10},   {"Schedule A.1", 100, 15},
        {"Form W-2.1", 97, 5},      {"Schedule 1.2", 100, 20},  {"form 1040.3", 100, 40},
        {"Form 1099-R.1", 97, 3},   {"Schedule D.1", 100, 25},  {"Schedule B.1", 100, 30},
        {"Form 8949.1", 100, 25},   {"Form 8949.2", 100, 12},   {"Schedule A.2", 100, 1},
        {"NoDotKey", 100, 50},      {"Form W-2.1", 97, 5},      {"Form 1099-R.1", 97, 9},
    };
    for (const Filing &f : filings) {
        SCOPED_TRACE(f.key);
        FormInstance *page = MakePage(f.key, f.jurisdiction, f.order);
        HTREEITEM folder = f.jurisdiction == 97 ? gTreeWithholdingFolder : gTreeFederalFolder;
        int found = 0;
        HTREEITEM mirrored = FindMirrorInsertPosition(folder, page, &found);
        EXPECT_EQ(1, found);
        EXPECT_EQ(FindSortedInsertPosition(gFormsTreeWindow, folder, page), mirrored);
        ASSERT_TRUE(AddFormToTree(f.key, 0, page, NULL) != NULL);
        ExpectMirrorMatchesControl();
    }
    EXPECT_EQ("Federal Return [13 pages]", Text(gTreeFederalFolder));
}

// Deleting items drops the mirror; the next filing and walk read the control again and agree.
TEST_F(FormsTreeMirror, DeletionsAreFollowed)
{
    const char *keys[] = {"Form 1040.1", "Form 1040.2", "Schedule 1.1", "Schedule B.1", "Schedule 1.2"};
    std::vector<FormInstance *> pages;
    for (int i = 0; i < 5; i++) {
        FormInstance *page = MakePage(keys[i], 100, (uint16_t)(10 * (i + 1)));
        ASSERT_TRUE(AddFormToTree(keys[i], 0, page, NULL) != NULL);
        pages.push_back(page);
    }
    ExpectMirrorMatchesControl();
    SendMessageA(gFormsTreeWindow, TVM_DELETEITEM, 0, (LPARAM)pages[1]->treeItem);
    PumpMessages(20);
    ExpectMirrorMatchesControl();
    FormInstance *again = MakePage("Form 1040.2", 100, 10);
    int found = 0;
    HTREEITEM mirrored = FindMirrorInsertPosition(gTreeFederalFolder, again, &found);
    EXPECT_EQ(FindSortedInsertPosition(gFormsTreeWindow, gTreeFederalFolder, again), mirrored);
    ASSERT_TRUE(AddFormToTree("Form 1040.2", 0, again, NULL) != NULL);
    ExpectMirrorMatchesControl();
    EXPECT_EQ(pages[0]->treeItem, Child(gTreeFederalFolder));
    EXPECT_EQ(again->treeItem, Next(Child(gTreeFederalFolder)));
}


// While the tree's redraw is off the tabs take one fixed width; when it comes back on they are
// measured again: the same rectangles as a layout made from scratch.
TEST_F(FormsTreeMirror, TabsAreMeasuredWhenRedrawComesBack)
{
    const char *keys[] = {"Form 1040.1", "Schedule B.1", "Form 8949.1", "Schedule 1.2"};
    LONG style = GetWindowLongA(gFormTabs, GWL_STYLE);
    SendMessageA(gFormsTreeWindow, WM_SETREDRAW, FALSE, 0);
    EXPECT_TRUE(GetWindowLongA(gFormTabs, GWL_STYLE) & TCS_FIXEDWIDTH);
    for (int i = 0; i < 4; i++)
        ASSERT_TRUE(AddFormToTree(keys[i], 0, MakePage(keys[i], 100, (uint16_t)(10 + i)), NULL) != NULL);
    SendMessageA(gFormsTreeWindow, WM_SETREDRAW, TRUE, 0);
    EXPECT_EQ(style, GetWindowLongA(gFormTabs, GWL_STYLE));
    int count = (int)SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0);
    EXPECT_EQ(6, count);   // Summary, Status and the four pages
    std::vector<RECT> measured(count), fresh(count);
    for (int i = 0; i < count; i++)
        SendMessageA(gFormTabs, TCM_GETITEMRECT, i, (LPARAM)&measured[i]);
    SetWindowLongA(gFormTabs, GWL_STYLE, style);   // a new layout from the same tabs
    std::vector<int> widths;
    for (int i = 0; i < count; i++) {
        SendMessageA(gFormTabs, TCM_GETITEMRECT, i, (LPARAM)&fresh[i]);
        EXPECT_TRUE(EqualRect(&measured[i], &fresh[i])) << "tab " << i;
        widths.push_back(fresh[i].right - fresh[i].left);
    }
    // Tabs of different captions have different widths (they were measured).
    EXPECT_NE(widths[2], widths[3]);
}

} // namespace
