// The forms tree's mirror (formstree_mirror.cpp): the tree's two levels below the root with
// their records, for filing pages, walking them and placing their tabs without one message per
// item. Each query returns 0 (or found 0) when the mirror cannot stand for the tree; the caller
// then asks the control itself.
#ifndef LEVYLINE_FORMSTREE_MIRROR_H
#define LEVYLINE_FORMSTREE_MIRROR_H

#include <windows.h>
#include <commctrl.h>

struct FormInstance;

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

#endif
