// The page tabs beside the forms tree: one tab per page in tree order, after the tabs of the
// Summary and Status pseudo pages, or the single "Startup Info" tab while the return is empty.
#include "entry/formstree/formstree_private.h"
#include "ui/ui.h"
#include "store/store.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>


static int sTabLayoutSuspended;

// The tabs show the tree's images (not while their layout is suspended: see below).
static void EnsureTabImages(void)
{
    if (gFormTabs && !sTabLayoutSuspended && gTreeImageList &&
        (HIMAGELIST)SendMessageA(gFormTabs, TCM_GETIMAGELIST, 0, 0) != gTreeImageList)
        SendMessageA(gFormTabs, TCM_SETIMAGELIST, 0, (LPARAM)gTreeImageList);
}

static int InsertTab(int index, const char *text, int image, void *record)
{
    if (!gFormTabs)
        return -1;
    EnsureTabImages();
    char caption[260];
    lstrcpynA(caption, text ? text : "", sizeof(caption));
    TCITEMA tab;
    memset(&tab, 0, sizeof(tab));
    tab.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    tab.pszText = caption;
    tab.iImage = image;
    tab.lParam = (LPARAM)record;
    return (int)SendMessageA(gFormTabs, TCM_INSERTITEMA, index, (LPARAM)&tab);
}

void *GetTabRecord(int index)
{
    if (!gFormTabs)
        return NULL;
    TCITEMA tab;
    memset(&tab, 0, sizeof(tab));
    tab.mask = TCIF_PARAM;
    if (!SendMessageA(gFormTabs, TCM_GETITEMA, index, (LPARAM)&tab))
        return NULL;
    return (void *)tab.lParam;
}

// The tab index of a page's item, -1 when it has none.
int FindPageTab(HTREEITEM item)
{
    if (!gFormTabs || !item)
        return -1;
    int count = (int)SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        uint16_t *record = (uint16_t *)GetTabRecord(i);
        if (record && (*record == PAGE_KIND_FORM || *record == PAGE_KIND_GENERATED) &&
            ((FormInstance *)record)->treeItem == item)
            return i;
    }
    return -1;
}

int AddStartupInfoTab(void)
{
    if (!gFormTabs || SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0) != 0)
        return 0;
    gFixedTabCount = 0;
    return InsertTab(0, "Startup Info", TREE_IMAGE_SUMMARY, GetTreeItemForm(gTreeRootItem)) >= 0;
}

// The tab of a pseudo page (caption cut before " [").
static void InsertPseudoPageTab(HTREEITEM item)
{
    void *record = GetTreeItemForm(item);
    if (!item || !record)
        return;
    char caption[128];
    GetTreeItemText(item, caption, 1, sizeof(caption));
    if (InsertTab(gFixedTabCount, caption, GetTreeItemImage(item, 0), record) >= 0)
        gFixedTabCount++;
}

// The 0-based position of a page among all pages of the return in tree order, -1 when absent.
int GetTreePagePosition(HTREEITEM item)
{
    int mirrored;
    if (GetMirrorPagePosition(item, &mirrored))
        return mirrored;
    int count = EnumerateTreePages(NULL, NULL, 0);
    if (count <= 0)
        return -1;
    FormInstance **pages = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * count);
    if (!pages)
        return -1;
    count = EnumerateTreePages(NULL, pages, count);
    int position = -1;
    for (int i = 0; i < count; i++)
        if (pages[i]->treeItem == item) {
            position = i;
            break;
        }
    MemFree(pages);
    return position;
}

int InsertPageTab(HTREEITEM item, FormInstance *page)
{
    if (!gFormTabs || !item || !page)
        return 0;
    int position = GetTreePagePosition(item);
    if (position < 0)
        position = 0;
    if (SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0) == 1) {
        ReturnNode *root = (ReturnNode *)GetTabRecord(0);
        if (root && root == GetTreeItemForm(gTreeRootItem)) {
            SendMessageA(gFormTabs, TCM_DELETEITEM, 0, 0);
            gFixedTabCount = 0;
            InsertPseudoPageTab(gTreeSummaryItem);
            InsertPseudoPageTab(gTreeStatusItem);
        }
    }
    char caption[128], doubled[260];
    GetTreeItemText(item, caption, 0, sizeof(caption));
    DoubleAmpersands(caption, doubled, sizeof(doubled));
    int result = InsertTab(gFixedTabCount + position, doubled, GetTreeItemImage(item, 0), page);
    // A return being opened shows or hides the tip once, when all its pages are filed.
    if (!gReturnLoading)
        UpdateFormsTreeTipVisibility(NULL);
    return result >= 0;
}

int RemovePageTab(HTREEITEM item, int *noTabLeft)
{
    int index = FindPageTab(item);
    int removed = 0;
    if (index >= 0) {
        uint16_t *record = (uint16_t *)GetTabRecord(index);
        removed = SendMessageA(gFormTabs, TCM_DELETEITEM, index, 0) ? 1 : 0;
        if (removed && record && *record == PAGE_KIND_GENERATED && gFixedTabCount > 0)
            gFixedTabCount--;
    }
    if (noTabLeft)
        *noTabLeft = gFormTabs && SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0) == 0 ? 1 : 0;
    return removed;
}

int SetPageTabText(HTREEITEM item, const char *text)
{
    int index = FindPageTab(item);
    if (index < 0)
        return 0;
    char doubled[260];
    DoubleAmpersands(text, doubled, sizeof(doubled));
    TCITEMA tab;
    memset(&tab, 0, sizeof(tab));
    tab.mask = TCIF_TEXT;
    tab.pszText = doubled;
    return SendMessageA(gFormTabs, TCM_SETITEMA, index, (LPARAM)&tab) ? 1 : 0;
}

// Selects the tab of the tree item shown (the tab control follows the tree): a page's own tab,
// the "Startup Info" tab for the root.
int SelectTabOfTreeItem(HTREEITEM item)
{
    if (!gFormTabs || !item)
        return 0;
    int index = FindPageTab(item);
    if (index < 0 && item == gTreeRootItem && SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0) == 1 &&
        GetTabRecord(0) == GetTreeItemForm(gTreeRootItem))
        index = 0;
    if (index < 0)
        return 0;
    if (SendMessageA(gFormTabs, TCM_GETCURSEL, 0, 0) != index)
        SendMessageA(gFormTabs, TCM_SETCURSEL, index, 0);
    return 1;
}

// The tree item of a tab (the root for "Startup Info").
HTREEITEM GetTabTreeItem(int index)
{
    uint16_t *record = (uint16_t *)GetTabRecord(index);
    if (!record)
        return NULL;
    if (*record == PAGE_KIND_FORM || *record == PAGE_KIND_GENERATED)
        return ((FormInstance *)record)->treeItem;
    if (*record == TREE_KIND_ROOT)
        return gTreeRootItem;
    return NULL;
}

// While the tree's redraw is off (a return being opened), the tabs' layout is suspended (one
// fixed width of zero, no images: see SuspendTabLayout): the control measured every tab's text
// on each insertion, which made filing n pages cost n squared text measurements. Turning redraw
// on again gives the tabs their images and measures them once.
static TabLayoutState sSuspendedLayout;

void SuspendPageTabLayout(int suspend)
{
    if (!gFormTabs || !IsWindow(gFormTabs))
        return;
    if (suspend && !sTabLayoutSuspended) {
        sTabLayoutSuspended = SuspendTabLayout(gFormTabs, &sSuspendedLayout);
    } else if (!suspend && sTabLayoutSuspended) {
        sTabLayoutSuspended = 0;
        ResumeTabLayout(gFormTabs, &sSuspendedLayout);
        EnsureTabImages();
    }
}
