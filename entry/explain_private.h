// Shared by the source files of the forms tree's commands, the explanation dialog and the error
// list (entry/treecmd_*.cpp, entry/explain_*.cpp, entry/errorlist_*.cpp).
#ifndef LEVYLINE_ENTRY_EXPLAIN_PRIVATE_H
#define LEVYLINE_ENTRY_EXPLAIN_PRIVATE_H

#include "entry/entry.h"

// The item next to item in the tree (a TVGN_* code), or null.
HTREEITEM GetTreeNeighbour(HTREEITEM item, int code);
// Selects item in the forms tree (the page view follows the selection). 1 when selected.
int SelectTreeItem(HTREEITEM item);
// The item of the page shown in the page view (null when none).
// Deletes one page's tree item: moves the selection off the page shown when it is the last of
// its folder, tells a running recompute to stop and pauses 200 ms, deletes the item (the
// delete-item handler frees the page). 1 when the item was deleted.
int DeleteTreePage(HTREEITEM item);
// The button picture resourceId as an icon on button control of dialog; returns the icon (the
// caller destroys it).
HICON SetButtonPicture(HWND dialog, int control, int resourceId);

// Prints the dialog's text (Print), or renders it in output mode (the request's output values).
// Returns the print job's result, or in output mode the pages produced.
int PrintExplanation(HWND dialog, ExplainRequest *request);

#endif
