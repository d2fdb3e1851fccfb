// entry_private.h - declarations shared by the files of entry/ only.
#ifndef LEVYLINE_ENTRY_PRIVATE_H
#define LEVYLINE_ENTRY_PRIVATE_H

#include "entry/entry.h"

// Forms tree internals (formstree*.cpp): folder captions from the string table, folder records
// and items, page tabs, item rectangles.
int LoadTreeCaption(int id, char *buffer, int size);
FormGroupNode *NewFolderRecord(int iconId, int jurisdiction);
HTREEITEM InsertFolderItem(const char *caption, FormGroupNode *record, HTREEITEM after);
int InsertPageTab(HTREEITEM item, FormInstance *page);
int GetTreeItemRect(HTREEITEM item, RECT *rc);
// The form part of a page key (before its last dot) into out (outSize bytes, always ended).
void GetPageFormName(const char *pageKey, char *out, int outSize);

// Forms tree commands (treecmd_*.cpp).
// The item next to item in the tree (a TVGN_* code), or null.
HTREEITEM GetTreeNeighbour(HTREEITEM item, int code);
// Selects item in the forms tree (the page view follows the selection). 1 when selected.
int SelectTreeItem(HTREEITEM item);
// The item of the page shown in the page view (null when none).
// Deletes one page's tree item: moves the selection off the page shown when it is the last of
// its folder, tells a running recompute to stop and pauses 200 ms, deletes the item (the
// delete-item handler frees the page). 1 when the item was deleted.
int DeleteTreePage(HTREEITEM item);
#endif // LEVYLINE_ENTRY_PRIVATE_H
