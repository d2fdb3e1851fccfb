// The forms tree's batch (formstree_batch.cpp): while the tree's redraw is off (a return being
// opened, forms updated from a FormPak), what the control would redo for every filed page is
// done once per folder when redraw comes back.
#ifndef LEVYLINE_FORMSTREE_BATCH_H
#define LEVYLINE_FORMSTREE_BATCH_H

#include <windows.h>
#include <commctrl.h>

// The tree's WM_SETREDRAW: on 0 a batch starts; on 1 the folders' deferred captions are written.
void SetFormsTreeBatch(int redraw);
// 1 while a batch is on.
int IsFormsTreeBatched(void);
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

#endif
