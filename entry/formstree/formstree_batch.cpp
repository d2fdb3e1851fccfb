// The forms tree's batch. Each caption change of a shown folder makes the control measure its
// text again, and the check that a new page is visible (which fails for every page while the
// control's redraw is off: the control places its items only when redraw comes back) expanded
// its folder and set the folder's image again for every page. During a batch the folders'
// " [n pages]" suffixes are written once at its end, and a folder is expanded by the first page
// filed into it only. Counts, FormPak uses and everything else are still kept per page.
#include "entry/formstree/formstree_private.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

struct BatchFolder {
    HTREEITEM folder;
    int captionDeferred;
    int shown;
};

static int sBatch;
static BatchFolder sFolders[32];   // the tree has a dozen folders at most
static int sFolderCount;

static BatchFolder *FindBatchFolder(HTREEITEM folder, int add)
{
    for (int i = 0; i < sFolderCount; i++)
        if (sFolders[i].folder == folder)
            return &sFolders[i];
    if (!add || !folder || sFolderCount >= (int)(sizeof sFolders / sizeof sFolders[0]))
        return NULL;
    BatchFolder *entry = &sFolders[sFolderCount++];
    memset(entry, 0, sizeof *entry);
    entry->folder = folder;
    return entry;
}

int WriteFolderCaption(HTREEITEM folder)
{
    FormGroupNode *record = (FormGroupNode *)GetTreeItemForm(folder);
    if (!record || record->kind != TREE_KIND_FOLDER)
        return 0;
    char suffix[32];
    if (record->pageCount == 0)
        snprintf(suffix, sizeof(suffix), " [empty]");
    else if (record->pageCount == 1)
        snprintf(suffix, sizeof(suffix), " [1 page]");
    else
        snprintf(suffix, sizeof(suffix), " [%u pages]", (unsigned)record->pageCount);
    return SetTreeItemCaption(folder, suffix, 2);
}

void SetFormsTreeBatch(int redraw)
{
    if (!redraw) {
        sBatch = 1;
        return;
    }
    sBatch = 0;
    // Entries are cleared before their captions are written: writing one cannot find them.
    BatchFolder folders[sizeof sFolders / sizeof sFolders[0]];
    int count = sFolderCount;
    memcpy(folders, sFolders, sizeof(BatchFolder) * count);
    sFolderCount = 0;
    for (int i = 0; i < count; i++)
        if (folders[i].captionDeferred)
            WriteFolderCaption(folders[i].folder);
}

int DeferFolderCaption(HTREEITEM folder)
{
    BatchFolder *entry = sBatch ? FindBatchFolder(folder, 1) : NULL;
    if (!entry)
        return 0;
    entry->captionDeferred = 1;
    return 1;
}

int IsFolderShownInBatch(HTREEITEM folder)
{
    BatchFolder *entry = sBatch ? FindBatchFolder(folder, 0) : NULL;
    if (!entry || !entry->shown || !gFormsTreeWindow)
        return 0;
    return (SendMessageA(gFormsTreeWindow, TVM_GETITEMSTATE, (WPARAM)folder, TVIS_EXPANDED) & TVIS_EXPANDED) ? 1 : 0;
}

void NoteFolderShown(HTREEITEM folder)
{
    BatchFolder *entry = sBatch ? FindBatchFolder(folder, 1) : NULL;
    if (entry)
        entry->shown = 1;
}

void ForgetBatchFolder(HTREEITEM folder)
{
    for (int i = 0; i < sFolderCount; i++)
        if (sFolders[i].folder == folder) {
            sFolders[i] = sFolders[--sFolderCount];
            return;
        }
}
