// The forms tree's remove commands: one page ("Confirm Delete"), all pages of a folder, and the
// deletion of pages in step with the recompute worker, which may be reading them.
#include "entry/formstree/formstree_private.h"
#include "calc/calc.h"
#include "pages/pages.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

int gRemovingFolder;

HTREEITEM GetTreeNeighbour(HTREEITEM item, int code)
{
    if (!gFormsTreeWindow || !item)
        return NULL;
    return (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, code, (LPARAM)item);
}

int SelectTreeItem(HTREEITEM item)
{
    if (!gFormsTreeWindow || !item)
        return 0;
    return SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item) ? 1 : 0;
}

// The first page of the return other than item (null when none).
static HTREEITEM FindOtherPageItem(HTREEITEM item)
{
    FormInstance *other = NULL;
    if (FindReturnPages(13, NULL, &other, (intptr_t)item) && other)
        return other->treeItem;
    return NULL;
}

int DeleteTreePage(HTREEITEM item)
{
    if (!item || !gFormsTreeWindow)
        return 0;
    gOperationCode = 26002;
    if (GetShownTreeItem() == item && !GetTreeNeighbour(item, TVGN_NEXT)) {
        // With a next sibling the tree control moves the selection itself.
        HTREEITEM select = GetTreeNeighbour(item, TVGN_PREVIOUS);
        if (!select)
            select = FindOtherPageItem(item);
        if (!select)
            select = GetTreeNeighbour(item, TVGN_PARENT);
        gOperationCode = 26003;
        SelectTreeItem(select);
    }
    if (gRecomputeThread) {
        gOperationCode = 26004;
        RequestRecompute(0, NULL);
        Sleep(200);
    }
    gOperationCode = 26005;
    if (!SendMessageA(gFormsTreeWindow, TVM_DELETEITEM, 0, (LPARAM)item))
        return 0;
    gOperationCode = 26006;
    UpdateFormsTreeTipVisibility(NULL);
    if (gReturnPageCount != 0)
        gReturnModified = 1;
    return 1;
}

int DeleteFormPages(const char *key, HTREEITEM item)
{
    FormInstance *one[1];
    FormInstance **pages = NULL;
    int count = 0;
    if (item) {
        FormInstance *page = (FormInstance *)GetTreeItemForm(item);
        if (!page || page->kind != PAGE_KIND_FORM)
            return 0;
        one[0] = page;
        pages = one;
        count = 1;
    } else {
        if (!key || !key[0])
            return 0;
        pages = SnapshotReturnPages(4, key, &count);
        if (!pages)
            return 0;
    }
    int deleted = 0;
    for (int i = 0; i < count; i++) {
        // Each page's item is read before its own deletion: the pages after it still exist.
        HTREEITEM pageItem = pages[i]->treeItem;
        if (pageItem && DeleteTreePage(pageItem))
            deleted++;
    }
    if (pages != one)
        MemFree(pages);
    gOperationCode = 26017;
    LayoutStatusBarParts(gStatusBar, gMainWindow);
    RequestRecompute(1, NULL);
    return deleted;
}

int RemoveFormPage(HTREEITEM item)
{
    gOperationCode = 26;
    FormInstance *page = (FormInstance *)GetTreeItemForm(item);
    if (!page || page->kind != PAGE_KIND_FORM)
        return 0;
    char caption[128];
    GetTreeItemText(item, caption, 0, sizeof(caption));
    char text[400];
    snprintf(text, sizeof(text),
             "Are you sure that you want to permanently remove this page\r\nand all of its data from your "
             "return?\r\n\r\n\t-- %s",
             caption);
    if (ShowMessageBox(gMainWindow, text, "Confirm Delete", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return 0;
    if (GetShownTreeItem() == item && !GetTreeNeighbour(item, TVGN_NEXT)) {
        gOperationCode = 26000;
        HTREEITEM select = GetTreeNeighbour(item, TVGN_PREVIOUS);
        SelectTreeItem(select ? select : GetTreeNeighbour(item, TVGN_PARENT));
    }
    DeleteFormPages(NULL, item);
    if (gReturnPageCount != 0)
        gReturnModified = 1;
    return 1;
}

int RemoveFolderPages(HTREEITEM folder, int ask)
{
    gOperationCode = 39;
    FormGroupNode *record = (FormGroupNode *)GetTreeItemForm(folder);
    if (!record || record->kind != TREE_KIND_FOLDER)
        return 0;
    if (ask) {
        char caption[128];
        GetTreeItemText(folder, caption, 1, sizeof(caption));
        char text[300];
        snprintf(text, sizeof(text),
                 "Are you sure that you want to permanently remove all pages from\r\nthe \"%s\" folder?", caption);
        if (ShowMessageBox(gMainWindow, text, "Confirm Delete", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return 0;
    }
    HTREEITEM shown = GetShownTreeItem();
    int shownAmong = shown && GetTreeNeighbour(shown, TVGN_PARENT) == folder;
    if (shownAmong) {
        // The page shown goes first out of view and out of the selection: no selection is moved
        // onto, or posted for, a page that is about to be deleted.
        SelectTreeItem(folder);
        ForgetShownPage();
    }
    gRemovingFolder = 1;
    // Bounded by the tree's item count; a page that cannot be deleted ends the loop, which would
    // otherwise try the same first child for ever.
    int limit = gFormsTreeWindow ? (int)SendMessageA(gFormsTreeWindow, TVM_GETCOUNT, 0, 0) + 1 : 0;
    HTREEITEM child;
    while (limit-- > 0 && (child = GetTreeNeighbour(folder, TVGN_CHILD)) != NULL)
        if (!SendMessageA(gFormsTreeWindow, TVM_DELETEITEM, 0, (LPARAM)child))
            break;
    gRemovingFolder = 0;
    if (shownAmong) {
        HTREEITEM first = FindOtherPageItem(NULL);
        SelectTreeItem(first ? first : gTreeRootItem);
    }
    UpdateFormsTreeTipVisibility(NULL);
    LayoutStatusBarParts(gStatusBar, gMainWindow);
    if (gReturnPageCount != 0) {
        gReturnModified = 1;
        RequestRecompute(1, NULL);
    }
    return 1;
}

int ReturnHoldsUnsavedData(void)
{
    if (!gOpenReturnPtr)
        return 0;
    OpenReturn blank;
    InitOpenReturn(&blank);
    if (memcmp(blank.bytes, gOpenReturnPtr->bytes, sizeof(blank.bytes)) != 0)
        return 1;
    FormGroupNode *federal = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
    return federal && federal->kind == TREE_KIND_FOLDER &&
           (federal->noteToIrs || federal->noteToSelf || federal->regulatoryExplanation);
}
