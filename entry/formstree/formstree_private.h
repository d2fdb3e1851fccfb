// formstree_private.h - declarations shared by the forms tree's files (entry/formstree/) only.
#ifndef LEVYLINE_ENTRY_FORMSTREE_PRIVATE_H
#define LEVYLINE_ENTRY_FORMSTREE_PRIVATE_H

#include "entry/formstree/formstree.h"

// ---- tree internals (formstree*.cpp): folder captions from the string table, folder records
// and items, page tabs, item rectangles.
int LoadTreeCaption(int id, char *buffer, int size);
FormGroupNode *NewFolderRecord(int iconId, int jurisdiction);
HTREEITEM InsertFolderItem(const char *caption, FormGroupNode *record, HTREEITEM after);
int InsertPageTab(HTREEITEM item, FormInstance *page);
int GetTreeItemRect(HTREEITEM item, RECT *rc);
// The form part of a page key (before its last dot) into out (outSize bytes, always ended).
void GetPageFormName(const char *pageKey, char *out, int outSize);

// ---- the tree's commands (treecmd_*.cpp)
// The item next to item in the tree (a TVGN_* code), or null.
HTREEITEM GetTreeNeighbour(HTREEITEM item, int code);
// Selects item in the forms tree (the page view follows the selection). 1 when selected.
int SelectTreeItem(HTREEITEM item);
// Deletes one page's tree item: moves the selection off the page shown when it is the last of
// its folder, tells a running recompute to stop and pauses 200 ms, deletes the item (the
// delete-item handler frees the page). 1 when the item was deleted.
int DeleteTreePage(HTREEITEM item);

// ---- the batch (formstree_batch.cpp): while the tree's redraw is off (a return being
// opened, forms updated from a FormPak), what the control would redo for every filed page is
// done once per folder when redraw comes back.
// The tree's WM_SETREDRAW: on 0 a batch starts; on 1 the folders' deferred captions are written.
void SetFormsTreeBatch(int redraw);
// Leaves the folder's " [n pages]" suffix to the end of the batch; 0 when no batch is on (the
// caller writes it now).
int DeferFolderCaption(HTREEITEM folder);
// 1 when a page filed in this batch already expanded the folder (and it is still expanded): the
// pages after it need not check again. NoteFolderShown records that a page did.
int IsFolderShownInBatch(HTREEITEM folder);
void NoteFolderShown(HTREEITEM folder);
// A folder leaving the tree leaves the batch too.
void ForgetBatchFolder(HTREEITEM folder);
// Writes the folder's " [empty]", " [1 page]" or " [n pages]" suffix from its record's count.
int WriteFolderCaption(HTREEITEM folder);

// ---- the mirror (formstree_mirror.cpp): the tree's two levels below the root with
// their records, for filing pages, walking them and placing their tabs without one message per
// item. Each query returns 0 (or found 0) when the mirror cannot stand for the tree; the caller
// then asks the control itself.
// Drops the mirror (an item is being deleted; the next query reads the tree again).
void ForgetTreeMirror(void);
// Call before inserting an item; pass the result to NoteTreeItemInserted after the insertion.
int PrepareTreeMirrorInsert(void);
// The control inserted item (record) under parent after `after` (a handle, TVI_FIRST or TVI_LAST).
void NoteTreeItemInserted(int mirrorReady, HTREEITEM parent, HTREEITEM after, HTREEITEM item, void *record);
// FindSortedInsertPosition answered from the mirror (*found 1) or not at all (*found 0).
HTREEITEM FindMirrorInsertPosition(HTREEITEM folder, const FormInstance *page, int *found);
// 1 when item is a child of the root in the mirror.
int FindMirrorListOwner(HTREEITEM item);
// The form pages below folder (null: all) in tree order, as EnumerateTreePages gives them:
// *count is their number (out receives up to capacity). 0 when the mirror cannot answer.
int CollectMirrorPages(HTREEITEM folder, FormInstance **out, int capacity, int *count);
// The 0-based position of item among all form pages (-1 when it is none); 0 when the mirror
// cannot answer.
int GetMirrorPagePosition(HTREEITEM item, int *position);
// The 0-based position of a page's item among all form pages in tree order, -1 when absent
// (formstree_tabs.cpp; the mirror first, else a walk over the control).
int GetTreePagePosition(HTREEITEM item);
// Tabs laid out with one fixed width while the tree's redraw is off (suspend 1), measured again
// when it comes back on (formstree_tabs.cpp; called by the tree on WM_SETREDRAW).
void SuspendPageTabLayout(int suspend);

#endif // LEVYLINE_ENTRY_FORMSTREE_PRIVATE_H
