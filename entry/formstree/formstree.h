// formstree.h - the forms tree: the left pane's tree of the open return's pages in folders, its
// tip panel, the page tabs, the forms list of a FormPak, the pages made from FormPaks and return
// files, and the tree's commands (removing, duplicating and re-sourcing pages, the context menu
// of the tree and the page tabs). The tree's pictures, folder captions and the "FORMSLIST"
// template: resources/formstree.rc; its context menu "POPUP": resources/explain.rc.
#ifndef LEVYLINE_ENTRY_FORMSTREE_H
#define LEVYLINE_ENTRY_FORMSTREE_H

#include <windows.h>
#include <commctrl.h>
#include <stdint.h>

#include "entry/explain/explain_ids.h"   // the commands of the tree's context menu
#include "store/store.h"
#include "ui/ui.h"

// ---- forms tree ----
// The left pane: a tree-view control that files the open return's pages in folders under one
// root item, keeps folder captions with page counts, the page tabs and the list of FormPaks the
// pages come from. Every item's data is a record that begins with a 16-bit kind.

#define IDC_FORMSTREE        1019  // the tree-view control
#define IDC_FORMSTREE_TIP    1011  // tip panel
#define IDC_FORMSTREE_TIPBMP 1012
#define IDC_FORMSTREE_TIPLBL 1013
#define IDC_FORMSTREE_TIPTXT 1014
#define IDB_FORMSTREE_TIP    285   // bitmap of the tip panel
#define IDB_FORMSTREE_IMAGES 286   // 16 x 16 image strip of the tree (TREE_IMAGE_* order)
#define IDI_FOLDER_FEDERAL   340
#define IDI_FOLDER_STATE     341
#define IDI_FOLDER_OTHER     342
// Caption strings of the string table.
#define IDS_TREE_ROOT        1003  // "%Your/Your Client's% Tax Return"
#define IDS_TREE_WITHHOLDING 1004
#define IDS_TREE_FEDERAL     1005
#define IDS_TREE_STATE       1006
#define IDS_TREE_SCANNED     1007
#define IDS_TREE_EXTRA       1008
#define IDS_TREE_PRINTSCAN   1009
#define IDS_TREE_MISSING     1010
#define IDS_TREE_QUICKREF    1011
#define IDS_TREE_BITMAPPAGES 1012
#define IDS_TREE_SUMMARY     1013
#define IDS_TREE_STATUS      1014

// Creates the tree-view control (id 1019) on parent at rect (null: empty), subclassed, with the
// image list gTreeImageList; stores it in gFormsTreeWindow and returns it.
HWND CreateFormsTree(HWND parent, const RECT *rect);
// Builds the top of the tree (root, withholding, federal and state folders). create 1 at frame
// creation, 0 after a return was closed. Returns 1.
int InitFormsTree(HWND tree, int create);
// Files one page (kind 3) under its folder; returns its new item, 0 on failure or refusal.
HTREEITEM AddFormToTree(const char *caption, int image, FormInstance *page, const char *otherReturnName);
// The one insertion routine; after 0 = sorted position for a page, first for others.
HTREEITEM InsertFormsTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const char *text, int image,
                              void *record);
int SetTreeItemImage(HTREEITEM item, int image);
// mode 1 prefix, 2 replace the " [..]" suffix, 3 replace, 4 replace keeping the "[..]" suffix.
int SetTreeItemCaption(HTREEITEM item, const char *text, int mode);
// Adds delta to the folder's and the root's page count and rewrites the " [n pages]" suffix;
// a positive delta also counts the page for its FormPak. Returns the folder's new count.
int SetFolderCaption(HTREEITEM folder, int delta, const char *formPakPath);
// W-2, W-2G and 1099-R pages take the payer's name from their field into their caption.
int UpdateInfoFormTreeCaption(const FieldRecord *field, FormInstance *page);
HTREEITEM CheckStateReturnLimit(HWND tree, ReturnNode *root, int code, int *slotOut);
// The expanded-item notification: action bit 1 collapse, bit 2 expand.
int SetFolderImage(HTREEITEM item, int action);
int AddStartupInfoTab(void);
int RemovePageTab(HTREEITEM item, int *noTabLeft);
int SetPageTabText(HTREEITEM item, const char *text);
HTREEITEM FindSortedInsertPosition(HWND tree, HTREEITEM folder, const FormInstance *page);
int CALLBACK CompareTreePages(LPARAM first, LPARAM second, LPARAM unused);
// The delete-item notification: frees what the item owns; returns the item to select instead.
// record: the item's data from the notification (null: read it from the item).
HTREEITEM OnFormsTreeDeleteItem(HTREEITEM item, void *record = NULL);
HWND CreateFormsTreeTipPanel(HWND tree, int create);
int UpdateFormsTreeTipVisibility(const int *flag);
LRESULT CALLBACK FormsTreeSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FormsTreeTipSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Enumerates the pages below folder (null: all pages) in tree order, filling out (when not null,
// up to capacity); returns their count (0 without a tree).
int EnumerateTreePages(HTREEITEM folder, FormInstance **out, int capacity);
// The page queries' way to the tree (gAppCallbacks.enumerateReturnPages, store/callbacks.h):
// EnumerateTreePages while the forms tree exists, else -1 (no tree: the queries fall back to
// the test page list).
int EnumerateReturnPages(HTREEITEM folder, FormInstance **out, int capacity);
// Deletes every item of the tree and rebuilds its top (closing a return). Returns 1.
int ClearFormsTree(void);

// The forms list ("FORMSLIST"): one row per form of a FormPak; the copies chosen go into the
// copies-to-add marks of the FormPak's page directory.
#define IDC_FORMSLIST_PROMPT 1600
#define IDC_FORMSLIST_LIST   1601
#define IDC_FORMSLIST_COPIES 1603
#define IDC_FORMSLIST_SPIN   1604
// Edits a row's copies (the edit bar, requester kind 3): text holds the copies on entry and the
// entered text on return; returns 1 when the user accepted. Null: a double click switches the
// row between none and one copy.
typedef int (*FormsListCopiesEditProc)(HWND dialog, HWND list, int row, char *text, int textSize);
extern FormsListCopiesEditProc gFormsListCopiesEditHook;
INT_PTR CALLBACK FormsListDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the forms list for a read FormPak; IDOK when marks were set, else IDCANCEL.
int ShowFormsListDialog(HWND owner, FileRecord *formPak);

// Pages made from FormPaks and return files and filed in the tree (entry/formstree/formstree_pages.cpp).
// Creates the page of form formIndex of a read FormPak (fileRecord; read from formPakPath when
// null) and files it in the forms tree. add, add2: 1 when the user adds the page (not loaded
// from a return file). copyValue > 0 is the form's copy limit: no page is made when the return
// already holds that many pages of its key. Returns the new tree item, 0 on failure or refusal.
HTREEITEM CreateFormInstance(const char *formPakPath, int formIndex, int add, int add2, int copyValue,
                             FileRecord *fileRecord, int reserved);
// Creates the page of entry directoryIndex of a read return file whose FormPak cannot be used
// (filed under "FormPak Not Found" with the saved values, which a save writes back).
HTREEITEM CreateSessionFormInstance(FileRecord *returnFile, int directoryIndex);
// Stores the saved values of entry directoryIndex of a read return file into the page of
// treeItem (flag 1: empty every value first) and updates its caption. Returns the number of
// values stored, -1 when nothing could be stored.
int BuildFormFieldTable(HTREEITEM treeItem, FileRecord *returnFile, int directoryIndex, int reserved, int flag);

// The page tab of a tree item is selected; the tree item behind tab index (null when none).
int SelectTabOfTreeItem(HTREEITEM item);
HTREEITEM GetTabTreeItem(int index);

// ---- forms tree commands ----

// 1 only while RemoveFolderPages deletes a folder's pages.
extern int gRemovingFolder;

// Asks "Confirm Delete" and removes the page of item. 1 when the user answered Yes.
int RemoveFormPage(HTREEITEM item);
// Removes every page of a folder, asking first when ask is set. 1 when done, 0 when declined.
int RemoveFolderPages(HTREEITEM folder, int ask);
// Deletes every page of the form named by key's part before the dot (item 0), or the one page
// of item, telling a running recompute to stop and pausing 200 ms before each page. Returns the
// number of pages deleted.
int DeleteFormPages(const char *key, HTREEITEM item);
// The context menu of the forms tree (source 0) or the page tabs (source 1) at a screen point.
// Returns the command chosen (0 none).
int FormsTreeContextMenu(POINT screenPoint, int source);
// The context menu for item, trimmed to its kind: *menuOut receives the loaded menu (the caller
// destroys it), the result is the submenu to track. Null when item has no record.
HMENU BuildFormsTreeMenu(HTREEITEM item, HMENU *menuOut);
// Runs a command of the context menu for item (menu: the tracked submenu, for the explanation
// items' field records). Returns 1 when the command did something.
int RunFormsTreeCommand(HTREEITEM item, int command, HMENU menu);
// Reads the FormPak and files a new page of the form at formIndex (copyValue: the form's copy
// limit, 0 none). Returns its tree item, 0 on failure.
HTREEITEM CreateFormFromFormPak(const char *formPakPath, int formIndex, int copyValue);
// Replaces every page of the form of pageKey by the same page from newFormPakPath, keeping the
// values. Returns 1.
int UpdateFormFromFormPak(const char *newFormPakPath, int jurisdiction, const char *pageKey);
// "Change Form Source": asks for another FormPak holding the page's form and updates the form
// from it. 1 when the form was updated.
int ChangeFormSource(HTREEITEM item);
// Copies the values and second texts (signature blocks by their length) of the old page's
// fields into the fields of the new page with the same sequence numbers. Returns the count.
int CopyFieldValues(const FieldTable *oldTable, FieldTable *newTable);
// 1 when the open return holds something a save would keep beyond its pages: an entry in the
// return record or a note of the federal folder.
int ReturnHoldsUnsavedData(void);
// The main window's handler: Forms > Remove Page and the toolbar's remove button (40002), the
// right click on the tree and on the tabs, and "Check Return".
LRESULT TreeCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);

#endif // LEVYLINE_ENTRY_FORMSTREE_H
