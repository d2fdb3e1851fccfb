// entry.h - public interface of data entry: the edit bar, the forms tree, the statement grid and
// multi-field popup, explanations, the error list, signature capture, start dialogs and imports.
//
// Layering: data entry sits on print, pages, ui, the canvas and the data layers; only the shell
// is above it. Several topics live in this one header; each has its own banner section.
#ifndef LEVYLINE_ENTRY_H
#define LEVYLINE_ENTRY_H

#include <windows.h>
#include <stdint.h>

#include "calc/calc.h"
#include "store/store.h"
#include "print/print.h"
#include "ui/ui.h"

// ---- field entry kinds ----
// How one part of a field's type code is entered and checked: validation kind and sub-kind (for
// ValidateFieldData), entry control, kind icons, option flags of a bracket text, shape checks of
// split entries, the state list and the field's hint text.

// Validation kinds (ENTRY_KIND_*): calc/calc.h.

// 1 for the control kinds entered in several boxes (date, SSN, EIN, phone, names).
int IsSplitEntryControl(int controlKind);

// 1 when value has the shape of the entry mode (an ENTRY_CONTROL_* kind, or 1 and 2 for the
// single edit and the list): see entrykinds_shape.cpp. Stored normal forms and digit-only values
// both pass.
int CheckEntryShape(const char *value, int mode, const char *valueList, const char *typeCode, int kind,
                    int subkind);
// Splits a value into the pieces of a split entry of controlKind (date, SSN, EIN, phone) whose
// boxes take widths[0..count-1] characters (count at most 3): at its separators when it has them,
// else in runs of the box widths. pieces receives count texts of at most 15 characters. Returns 1
// when the value was split, 0 (pieces empty) when it is empty or fails CheckEntryShape.
int SplitEntryValue(const char *value, int controlKind, const int *widths, int count, char pieces[][16]);
// Cleans a field description for a grid hint (trailing line numbers, brackets, dashes); in place.
// Returns the text.
char *TrimDescriptionSuffix(char *text);
// Fills a combo box with the rows of the state table sections chosen by groups (STATE_GROUP_*
// flags, in table order), each as "AB Name", measuring each in dc (may be null); *widthOut (may be
// null) receives the widest. Returns the widest width.
int FillStateCombo(HWND combo, int groups, HDC dc, int *widthOut);
// The "Allowable chars" text of one part letter (kind: the part's validation kind; gridCell: 1
// for a statement-grid cell; bracket: the part's bracket text; intDigits/decimals for 'R').
// Writes into out (outSize bytes, always zero-ended) and returns its length; "" for letters
// without a text.
int GetPartAllowedCharsText(char letter, int kind, int gridCell, const char *bracket, int intDigits,
                            int decimals, char *out, int outSize);
// The hint of a field (the edit bar's kind-icon tooltip and the grid's header tips): caption,
// line, description, allowable characters of each part and maximum length. requesterKind as in
// the edit request (1 page view, 2 statement grid ...). partList is the parsed type code, or null
// to parse typeText (null = the field's type code). Writes at most bufferSize - 1 characters.
// Returns the length written.
int BuildFieldHintText(char *buffer, int bufferSize, const char *caption, int requesterKind,
                       const FieldRecord *field, const FieldFormat *partList, const char *typeText);

// Split entry layout of the edit bar. One row per control, ending with a row of control 0.
struct SplitEntryRow {
    int controlId;     // 1098..1100 boxes, 1105..1107 cue statics, 1108..1110 separators
    int chars;         // characters of a box
    int x;             // in (row 0): where the row starts; out: position of the control
    const char *text;  // optional text of a static (cue or separator)
};
// Subclasses one box of a split entry; the edit bar sets it to its routine that installs
// EditBarComboProc (and keeps the replaced procedure). Null = boxes are not subclassed.
typedef void (*SplitEntrySubclassProc)(HWND box);
extern SplitEntrySubclassProc gSplitEntrySubclassHook;
// Places the controls of a split entry of the dialog from left to right, starting at rows[0].x:
// boxes (chars, at least 2) x charWidth wide, cue statics 3/4 of their text's width + 10 wide
// starting 5 further right and showing their text, separators their own width (showing their
// text when given). Each box is subclassed (gSplitEntrySubclassHook) and limited to its characters;
// the value's pieces go into the boxes when the value passes the shape of controlKind (name kinds
// take no value here). Each row's x receives its position. Returns the right end of the row.
int LayoutSplitEntry(SplitEntryRow *rows, HWND dialog, int charWidth, const char *value, int controlKind);

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
// Enumerates the pages below folder (null: all pages) in tree order; the page query's seam.
int EnumerateTreePages(HTREEITEM folder, FormInstance **out, int capacity);
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

// Pages made from FormPaks and return files and filed in the tree (entry/formstree_pages.cpp).
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
// The tree item of the page tab at index (the root for "Startup Info"; defined with the tabs).
HTREEITEM GetTabTreeItem(int index);
// 1 when the open return holds something a save would keep beyond its pages: an entry in the
// return record or a note of the federal folder.
int ReturnHoldsUnsavedData(void);
// The main window's handler: Forms > Remove Page and the toolbar's remove button (40002), the
// right click on the tree and on the tabs, and "Check Return".
LRESULT TreeCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);

// ---- edit bar ----
// Tooltips, the '^' multi-field list, the edit request, the edit bar (container and entry rows)
// and the commit of an accepted page-field entry.
#include <commctrl.h>

// Every tooltip of the program stays up 30 seconds and wraps its text at 300 pixels.
#define TOOLTIP_AUTOPOP_MS   30000
#define TOOLTIP_MAX_WIDTH    300
// Rectangle modes of AddTooltipTool.
#define TOOLTIP_RECT_PARENT  1   // the window's client rectangle in its parent; the tool is the parent's
#define TOOLTIP_RECT_CLIENT  2   // the window's client rectangle; the tool is the window's
#define TOOLTIP_RECT_CLIENT2 3   // as 2
#define TOOLTIP_RECT_TAB     4   // the rectangle of tab item toolId of a tab control
// A tooltip window ("tooltips_class32", topmost popup, no prefix, always tip, plus extraStyle)
// owned by owner; with topmost set it is put on top of the topmost windows. Null on failure.
HWND CreateTooltipWindow(HWND owner, DWORD extraStyle, int topmost);
// Registers one tool (flags plus TTF_SUBCLASS) on the tooltip window; see the rectangle modes.
void AddTooltipTool(HWND tooltip, HWND window, const char *text, UINT_PTR toolId, int rectMode, UINT flags);
// Fills the tool record AddTooltipTool sends; 0 when the window or tab item is missing.
int BuildTooltipToolInfo(TOOLINFOA *info, HWND window, const char *text, UINT_PTR toolId, int rectMode,
                         UINT flags);

// Part check: lParam points at a u32 that receives 1 (valid) or 0.
#define WM_EDITBAR_CHECKPART      (WM_APP + 13)
// Controls of "EBCONTAINER".
#define IDC_EB_CHOICE1   1159
#define IDC_EB_CHOICE2   1160
#define IDC_EB_CHOICE3   1161
#define IDC_EB_FRAME     1392
#define IDC_EB_SHADOW    1264
// Controls of "EDITBAR".
#define IDC_EB_EDIT1     1098
#define IDC_EB_EDIT2     1099
#define IDC_EB_EDIT3     1100
#define IDC_EB_LIST      1101
#define IDC_EB_LISTFRAME1 1102
#define IDC_EB_LISTFRAME2 1103
#define IDC_EB_NAMEFRAME 1104
#define IDC_EB_CUE1      1105
#define IDC_EB_CUE2      1106
#define IDC_EB_CUE3      1107
#define IDC_EB_SEP1      1108
#define IDC_EB_SEP2      1109
#define IDC_EB_SEP3      1110
#define IDC_EB_HINTTOOL  1111   // tool id of the kind icon's hint
#define IDC_EB_STMT      1116
#define IDC_EB_ICON1     1347
#define IDC_EB_ICON2     1348
#define IDC_EB_ICON3     1349
// Bitmap of the statement button.
#define IDB_EB_STMT      324


// One entry row of the edit bar. Each part keeps its own field, item code, text and marks, so
// a part never checks or commits against another part's field.
struct EditBarPart {
    HWND window;                 // the part dialog
    uint32_t index;              // part number, from 0 (also its part of the request's format)
    char typeText[64];           // the part's letter, with its bracket text in square brackets
    int kind;                    // validation kind and sub-kind
    int subkind;
    int controlKind;             // ENTRY_CONTROL_*
    HBITMAP icons[3];
    int width;
    int height;
    HWND focusControl;           // edit 1098 or list 1101
    UINT selectMessage;          // EM_SETSEL
    HWND tooltip;
    FieldRecord *field;          // the part's own field
    FieldRecord *nameFields[3];  // name kinds: the field of each box
    char itemCode[16];           // 'T' part: its item code ("1a", "1a:3")
    char partLetter;             // letter of a lettered '^' item, else 0
    char letter;                 // the letter the part is entered as ('T' and 'P' parts resolved)
    int boxCount;                // split kinds: visible boxes
    int boxChars[3];             // split kinds: characters of each box
    char initial[EDIT_TEXT_SIZE];   // the value the row opened with
    char text[EDIT_TEXT_SIZE];      // the text of the last successful check
    char boxTexts[3][EDIT_TEXT_SIZE]; // name kinds: the checked text of each box
    uint32_t valid;              // 1 after a successful check (cleared by an edit)
    uint32_t committed;          // 1 once committed (never twice)
    uint32_t edited;             // 1 once the user changed the entry
    uint32_t closing;            // 1 while the row closes
    uint32_t stampTime;
    uint32_t amendedBox;
    uint32_t advanceWhenFull;
    uint32_t commitWhenFull;
    HWND navigateFrom;           // the box a Tab came from
    int textLimit;               // text limit of a single edit
    int charWidth;
};
// The container's window data: the request, then one pair per part; each part dialog's window
// data points at its pair.
struct EditBarPair {
    EditRequest *request;
    EditBarPart *part;
};

// Parses the '^' list of the request's field against the request's field table (or, when it
// has none, the page's): fills listItems (MemAlloc array owned by the request), listItemCount
// and listTypes. Returns the item count; 0 when the list is empty or refused (joined type codes
// longer than 63 characters, or letters longer than 4).
int ParseMultiFieldList(EditRequest *request);
// The same on a value list and a table: *itemsOut receives a MemAlloc array (null for 0 items).
// Items whose sequence number is not on the page are dropped (their lettered position is
// still counted).
int ParseMultiFieldListText(const char *valueList, const FieldTable *table, MultiFieldListItem **itemsOut,
                            char *listTypes, int listTypesSize);
// The letter a lettered item stands for (its group's letter at its position), else 0.
char GetListItemLetter(const MultiFieldListItem *item);

// The container ("EBContainer"): creation parameter = EditRequest*.
INT_PTR CALLBACK EbContainerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// An entry row ("EditBar"): creation parameter = EditBarPair*.
INT_PTR CALLBACK EditBarDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Subclass procedure of the entry edits and of the list's edit box.
LRESULT CALLBACK EditBarComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Opens a modeless edit bar (requester kinds 1, 2, 5) as a child of parent: creates the
// container (kept in gEditBarContainer) without showing it. Null when an edit bar already exists
// ("Invalid window handle.  Edit bar already running.") or the container could not be made (or
// closed at once: a check-mark click, a field that cannot be entered).
HWND CreateEditBar(HWND parent, EditRequest *request);
// Shows a modeless edit bar where its set-up placed it, with its shadow and parts, and focuses
// the request's focus control. 1 on success.
int ShowEditBar(HWND container, EditRequest *request);
// CreateEditBar then ShowEditBar: 1 when a bar opened (the page view opens its bars this way).
int OpenEditBarWindow(HWND requester, EditRequest *request);
// Runs the edit bar modally (requester kinds 3 and 6) over owner. Returns the request's valid
// (1 when a value was accepted; the text is in request->text), 0 when cancelled or refused.
INT_PTR RunModalEditBar(HWND owner, EditRequest *request);
// Moves the frame around part's row and, with focus, selects and focuses its entry control.
int SelectEditBarPart(HWND container, EditBarPair *table, int part, int focus);
// 1 when the window under the cursor is one of the choice boxes of the container.
int IsCursorOnPartChoice(HWND container);
// A visible grey "Static" child (id 1264) covering rect (parent's client coordinates).
HWND CreateEditBarShadow(HWND parent, const RECT *rect);
// Commits an open modeless edit bar as Enter would (checked first) before a command that
// saves or closes the return. Returns 1 when no edit bar is open afterwards (committed, or none
// was open), 0 when its value was refused and the bar stays open (the command should stop).
int CommitOpenEditBar(void);
// Stores a page field's accepted entry: edit rules, SetFieldText, redraw, header names, tree
// caption, the field's own computation, the form's recompute and a full recompute request.
void CommitFieldEntry(EditRequest *request);
// The forms list's copies edit (gFormsListCopiesEditHook): a modal edit bar (requester kind 3)
// over the row's copies cell; text holds the copies and receives the entry. 1 when accepted.
int EditFormsListCopies(HWND dialog, HWND list, int row, char *text, int textSize);
// 1 (default): a row checks and closes when the focus leaves it, and a list closed by a click
// outside the bar closes it. Window tests set 0 and drive the bar with messages only (under a
// display without a window manager the focus moves on its own).
extern int gEditBarFocusEvents;
// Plugs the edit bar into the program (the forms list's copies edit, the page view's click
// road). Call once at start-up. Returns 1.
int InitEditBar(void);

// Placement of the edit bar (screen coordinates), computed from the field's rectangle, the
// requester's client rectangle in screen coordinates and the part sizes.
struct EditBarPlacement {
    int x, y, width, height;     // the container
    int rowX;                    // left of the part rows in the container's client area
    int rowY[EDITBAR_MAX_PARTS]; // top of each row in the container's client area
    int boxY[EDITBAR_MAX_PARTS]; // top of each choice box (several parts)
};
int ComputeEditBarPlacement(const RECT *fieldRect, const RECT *clientScreen, int partCount, int partWidth,
                            int partHeight, int boxWidth, int boxHeight, EditBarPlacement *out);

// Part check helpers (no window needed).
// Joins the boxes of a split entry (date, SSN, EIN, phone) into the value handed to the
// validator: a date's visible boxes with '/' (empty boxes filled with '0' up to their limits,
// all empty = ""); SSN and EIN boxes with '-' after each non-empty box but the last; phone
// "(" box 1 ")" box 2 "-" box 3. limits are the boxes' character counts. Returns the length.
int JoinSplitEntryText(int controlKind, const char *const *boxes, const int *limits, int count, char *out,
                       int outSize);
// Resolves what was typed or chosen in a list part into the value to store: "" for an empty
// text or one beginning with '<'; a state part (stateGroups non-zero) as its abbreviation (a
// typed abbreviation, a typed name, or a chosen "AB Name" item); another list as the code of the
// item whose code or label the text equals exactly (case ignored). Returns 1 accepted (text
// rewritten), 0 refused.
int ResolveListEntry(char *text, int textSize, const char *valueList, char partLetter, int stateGroups);
// The items of a list part's value list (split at commas and double quotes; with cutAtEquals
// each item is cut at its '='): calls proc for each non-empty item; returns the item count.
typedef void (*ListItemProc)(const char *item, void *context);
int ForEachListItem(const char *valueList, int cutAtEquals, ListItemProc proc, void *context);

// Shared by the edit bar's source files.
#define WM_EDITBAR_FOCUSLOST (WM_APP + 61)   // posted to a row whose entry control lost the focus
// The pair of a row dialog (null for other windows).
EditBarPair *GetEditBarPair(HWND partDialog);
// The field offset records away from field in the request's field table, or null.
FieldRecord *GetNeighbourField(const EditRequest *request, const FieldRecord *field, int offset);
// Builds a row's controls (WM_INITDIALOG of "EDITBAR"); 0 when the row closed at once.
int SetupEditBarPart(HWND dialog, EditBarPair *pair);
// The part check; 1 valid (the text in the part and the request), 0 refused (message shown).
int CheckEditBarPart(HWND dialog, EditBarPair *pair);
// Tab (backward 0 or 1): the next box of a split entry, or leave the field.
int NavigateEditBarPart(HWND dialog, EditBarPair *pair, int backward);
// WM_COMMAND, WM_KEYDOWN and the focus-lost check of a row.
int HandleEditBarCommand(HWND dialog, EditBarPair *pair, WPARAM wParam, LPARAM lParam);
int HandleEditBarKey(HWND dialog, EditBarPair *pair, WPARAM key);
int HandleEditBarFocusLost(HWND dialog, EditBarPair *pair);
// WM_CLOSE of a row (checkFirst = its lParam); 1 when the row closed, 0 when it stays open.
int CloseEditBarPart(HWND dialog, EditBarPair *pair, int checkFirst);
// The commit steps of one valid row (once).
int CommitEditBarPart(EditBarPair *pair);
// Makes part the only checked choice and moves the frame to it (no focus change).
int ActivateEditBarPart(HWND container, int part);
// Subclasses an entry edit with EditBarComboProc.
void SubclassEditBarControl(HWND control);
// Focuses a row's entry control (or control) with its whole text selected.
void FocusEditBarEntry(EditBarPart *part, HWND control);
// The statement button: stores a changed value and asks the main window for the statement.
void OpenFieldStatement(EditRequest *request, EditBarPart *part);
// The page shown in the page view (null when none).
FormInstance *GetShownPage(void);
// Repaints a field whose value changed, when page is the page shown.
void RepaintCommittedField(FieldRecord *field, FormInstance *page);
// Tells the user that the taxpayer information refused text (nothing was stored).
void ShowEditRulesRefusal(const char *text);
// The item code of a field whose type code is a taxpayer item ("T[1b]" -> "1b"); 0 for others.
int GetTaxpayerItemCode(const FieldRecord *field, char *out, int outSize);
// The return-record offset of the edit time a 'U' or 'K' field of page stamps, 0 for none.
int GetPartEditTimeOffset(const FormInstance *page);


#include "entry/signature/signature.h"
#include "entry/startdlg/startdlg.h"
#include "entry/explain/explain.h"   // forms tree commands, explanations, the pre-send error list

#include "entry/statements/statements.h"
#include "entry/multifield/multifield.h"
#include "entry/imports/imports.h"

#endif // LEVYLINE_ENTRY_H
