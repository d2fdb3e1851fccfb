// The forms tree's delete-item handler: frees what a leaving item owns, keeps the counts,
// captions and FormPak list right and says which item to select instead.
#include "calc/calc.h"
#include "entry/formstree/formstree_private.h"
#include "pages/pages.h"
#include "ui/ui.h"
#include "store/store.h"

#include <commctrl.h>
#include <string.h>


// Set while the pseudo pages are deleted from inside a page's delete notification.
static int sDeletingPseudoPages;

static HTREEITEM NextItem(HTREEITEM item, int code)
{
    return gFormsTreeWindow ? (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, code, (LPARAM)item) : NULL;
}

// The first page of the return whose item is not item.
static HTREEITEM FindOtherPage(HTREEITEM item)
{
    int count = EnumerateTreePages(NULL, NULL, 0);
    if (count <= 0)
        return NULL;
    FormInstance **pages = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * count);
    if (!pages)
        return NULL;
    count = EnumerateTreePages(NULL, pages, count);
    HTREEITEM found = NULL;
    for (int i = 0; i < count && !found; i++)
        if (pages[i]->treeItem && pages[i]->treeItem != item)
            found = pages[i]->treeItem;
    MemFree(pages);
    return found;
}

// Puts an emptied fixed folder back to its "[empty]" caption, collapsed, closed image.
static void ResetFolderToEmpty(HTREEITEM folder, int captionId, const char *prefix)
{
    char caption[64], full[80];
    LoadTreeCaption(captionId, caption, sizeof(caption));
    lstrcpynA(full, prefix ? prefix : "", sizeof(full));
    lstrcatA(full, caption);  // prefix is empty here; both fit in 80 bytes
    SetTreeItemCaption(folder, full, 3);
    TVITEMA tv;
    memset(&tv, 0, sizeof(tv));
    tv.mask = TVIF_STATE | TVIF_HANDLE;
    tv.hItem = folder;
    tv.stateMask = TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    tv.state = 0;
    SendMessageA(gFormsTreeWindow, TVM_SETITEMA, 0, (LPARAM)&tv);
    SetTreeItemImage(folder, TREE_IMAGE_FOLDER_CLOSED);
}

// Clears the global of a folder item that leaves the tree.
static void ForgetFolderItem(HTREEITEM item)
{
    HTREEITEM *globals[] = {&gTreeWithholdingFolder, &gTreeFederalFolder, &gTreeStateFolder,
                            &gTreeOtherReturnFolder, &gTreeScannedFolder, &gTreeExtraFolder,
                            &gTreeQuickRefFolder,    &gTreeMissingFormPakFolder, &gTreePrintScanFolder};
    for (size_t i = 0; i < sizeof(globals) / sizeof(globals[0]); i++)
        if (*globals[i] == item)
            *globals[i] = NULL;
}

// The emptied special folder leaves the tree (posted: the control is inside a deletion now).
static void RemoveEmptyFolder(HTREEITEM *global)
{
    HTREEITEM folder = *global;
    *global = NULL;
    if (folder && gFormsTreeWindow)
        PostMessageA(gFormsTreeWindow, TVM_DELETEITEM, 0, (LPARAM)folder);
}

// Deletes the Summary and Status items once the last page has gone. Guarded: each global is
// cleared before its item is deleted, a null item is never passed (that would delete every
// item of the tree), and the deletion cannot re-enter itself.
static void DeletePseudoPages(void)
{
    if (sDeletingPseudoPages || !gFormsTreeWindow)
        return;
    sDeletingPseudoPages = 1;
    HTREEITEM items[2] = {gTreeSummaryItem, gTreeStatusItem};
    for (int i = 0; i < 2; i++)
        if (items[i])
            SendMessageA(gFormsTreeWindow, TVM_DELETEITEM, 0, (LPARAM)items[i]);
    gTreeSummaryItem = NULL;
    gTreeStatusItem = NULL;
    sDeletingPseudoPages = 0;
}

// Destroys a page's field buttons and frees their array.
static void DestroyButtons(FormInstance *page)
{
    DestroyPageButtons(page);
    FreePageButtons(page);
}

// Frees a page record now, or hands it to the recompute deferral while a worker may read it.
static void ReleasePage(FormInstance *page)
{
    if (gRecomputeThread && RequestRecompute(2, page))
        return;
    FreeFormInstance(page);
}

static HTREEITEM DeleteFormPage(HTREEITEM item, FormInstance *page)
{
    // An edit bar open on the page would store into a page that is gone.
    CloseEditBarOnPage(page);
    HTREEITEM select = NULL;
    int shown = GetShownTreeItem() == item;
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    if (root && root->kind != TREE_KIND_ROOT)
        root = NULL;
    int listEmptied = 0;
    if (!gClosingReturn) {
        if (shown) {
            select = NextItem(item, TVGN_NEXT);
            if (!select)
                select = NextItem(item, TVGN_PREVIOUS);
            if (!select)
                select = FindOtherPage(item);
        }
        // The page's FormPak loses one use; an unused FormPak leaves the list.
        if (page->formPakPath && root) {
            FormPakRecord *previous = NULL;
            FormPakRecord *pak = NULL;
            for (FormPakRecord *r = root->formPaks; r; previous = r, r = r->next)
                if (r->path && !lstrcmpiA(r->path, page->formPakPath)) {
                    pak = r;
                    break;
                }
            if (pak) {
                if (pak->useCount > 0)
                    pak->useCount--;
                if (pak->useCount == 0) {
                    if (page->formPakPath == pak->path)
                        page->formPakPath = NULL;
                    if (previous)
                        previous->next = pak->next;
                    else
                        root->formPaks = pak->next;
                    if (root->formPakCount > 0)
                        root->formPakCount--;
                    FreeFormPakRecords(pak, pak->next);
                    listEmptied = root->formPaks == NULL;
                }
            }
        }
        if (gReturnPageCount > 0)
            gReturnPageCount--;
        HTREEITEM folder = NextItem(item, TVGN_PARENT);
        if (folder && SetFolderCaption(folder, -1, NULL) == 0) {
            FormGroupNode *record = (FormGroupNode *)GetTreeItemForm(folder);
            page->imageStart = page->imageEnd = 0;
            if (folder == gTreeWithholdingFolder)
                ResetFolderToEmpty(folder, IDS_TREE_WITHHOLDING, "");
            else if (folder == gTreeFederalFolder)
                ResetFolderToEmpty(folder, IDS_TREE_FEDERAL, "");
            else if (folder == gTreeStateFolder) {
                if (record && record->kind == TREE_KIND_FOLDER) {
                    if (record->jurisdiction && root && root->stateReturnCount > 0)
                        root->stateReturnCount--;
                    record->jurisdiction = 0;
                }
                ResetFolderToEmpty(folder, IDS_TREE_STATE, "");
            } else if (folder == gTreeOtherReturnFolder)
                RemoveEmptyFolder(&gTreeOtherReturnFolder);
            else if (folder == gTreeScannedFolder)
                RemoveEmptyFolder(&gTreeScannedFolder);
            else if (folder == gTreeQuickRefFolder)
                RemoveEmptyFolder(&gTreeQuickRefFolder);
            else if (folder == gTreeExtraFolder)
                RemoveEmptyFolder(&gTreeExtraFolder);
            else if (folder == gTreeMissingFormPakFolder)
                RemoveEmptyFolder(&gTreeMissingFormPakFolder);
            else if (folder == gTreePrintScanFolder)
                RemoveEmptyFolder(&gTreePrintScanFolder);
        }
        if (gReturnPageCount == 0)
            DeletePseudoPages();
        if (listEmptied || (root && !root->formPaks && gReturnPageCount == 0)) {
            // Nothing left to save, unless the return record or a note still holds an entry:
            // then the removal is a change like any other.
            gReturnModified = ReturnHoldsUnsavedData() ? 1 : 0;
            ResetReturnViews(0);
            listEmptied = 1;
        }
    }
    DestroyButtons(page);
    RemovePageTab(item, NULL);
    if (!gClosingReturn && listEmptied)
        AddStartupInfoTab();
    page->treeItem = NULL;
    ReleasePage(page);
    if (shown)
        ForgetShownPage();
    return select;
}

HTREEITEM OnFormsTreeDeleteItem(HTREEITEM item, void *record)
{
    ForgetTreeMirror();
    if (!record)
        record = GetTreeItemForm(item);
    if (!record)
        return NULL;
    switch (*(uint16_t *)record) {
    case TREE_KIND_ROOT: {
        ReturnNode *root = (ReturnNode *)record;
        FreeFormPakRecords(root->formPaks, NULL);
        root->formPaks = NULL;
        if (gTreeRootItem == item)
            gTreeRootItem = NULL;
        MemFree(root);
        return NULL;
    }
    case TREE_KIND_FOLDER: {
        FormGroupNode *folder = (FormGroupNode *)record;
        MemFree(folder->noteToIrs);
        MemFree(folder->noteToSelf);
        MemFree(folder->regulatoryExplanation);
        ForgetFolderItem(item);
        ForgetBatchFolder(item);
        MemFree(folder);
        return NULL;
    }
    case PAGE_KIND_GENERATED: {
        FormInstance *page = (FormInstance *)record;
        int shown = GetShownTreeItem() == item;
        DestroyButtons(page);
        RemovePageTab(item, NULL);
        if (gTreeSummaryItem == item)
            gTreeSummaryItem = NULL;
        if (gTreeStatusItem == item)
            gTreeStatusItem = NULL;
        page->treeItem = NULL;
        ReleasePage(page);
        if (shown)
            ForgetShownPage();
        return NULL;
    }
    case PAGE_KIND_FORM:
        return DeleteFormPage(item, (FormInstance *)record);
    }
    return NULL;
}
