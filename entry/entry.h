// entry.h - public interface of data entry: the edit bar, the forms tree, the statement grid and
// multi-field popup, explanations, the error list, signature capture, start dialogs and imports.
//
// Several topics live in this one header; each has its own banner section.
#ifndef LEVYLINE_ENTRY_H
#define LEVYLINE_ENTRY_H

#include <windows.h>
#include <stdint.h>

#include "store/store.h"

// ---- field entry kinds ----
// How one part of a field's type code is entered and checked: validation kind and sub-kind (for
// ValidateFieldData), entry control, kind icons, option flags of a bracket text, shape checks of
// split entries, the state list and the field's hint text.

// Validation kinds (the kind codes handed to ValidateFieldData; taxpayer items and 'P' parts
// resolve to the same codes).
#define ENTRY_KIND_NONE          0    // not typed, or a value list
#define ENTRY_KIND_TEXT_PUNCT    1    // 'j': letters, digits and #-()&'
#define ENTRY_KIND_NAME_TEXT     4    // 'f', 'i': letters, digits, '-' (and ''' for 'i')
#define ENTRY_KIND_ALPHA         6    // 'A': letters
#define ENTRY_KIND_ALNUM         7    // 'a': letters and digits
#define ENTRY_KIND_ANY_TEXT      8    // '*': letters, digits and punctuation
#define ENTRY_KIND_TEXT_SLASH    9    // 'u': letters, digits, '-' and '/'
#define ENTRY_KIND_STATE         10   // 's': state or region, sub-kind = group flags
#define ENTRY_KIND_ZIP           11   // 'Z'
#define ENTRY_KIND_SSN           14   // 'N' of length 9: identification number 3-2-4
#define ENTRY_KIND_AMOUNT        16   // 'N' of length 12: whole-dollar amount
#define ENTRY_KIND_AMOUNT_CENTS  17   // 'R' with 10 integer digits and 2 decimals
#define ENTRY_KIND_NUMBER        18   // 'N' of other lengths: digits
#define ENTRY_KIND_COUNT         19   // 'G'
#define ENTRY_KIND_DECIMAL       20   // 'Q', 'R', 'r': decimal numbers
#define ENTRY_KIND_DATE          21   // 'D', 'E', 'O', 'Y', 'd', 'e'
#define ENTRY_KIND_PIN           22   // letter code 1, and PIN numbers
#define ENTRY_KIND_DIGITS        23   // 'U'
#define ENTRY_KIND_KEY_TEXT      24   // 'K'
#define ENTRY_KIND_PHONE         25   // 't'
#define ENTRY_KIND_PTIN          27   // 'p': preparer tax identification number
#define ENTRY_KIND_CHECK         28   // 'X', 'x': check mark
#define ENTRY_KIND_PERCENT_TEXT  29   // letters and digits with '%' (taxpayer items)
#define ENTRY_KIND_EIN           31   // 'm': employer identification number 2-7

// Entry control kinds of the edit bar.
#define ENTRY_CONTROL_NONE       0
#define ENTRY_CONTROL_EDIT       1    // single edit 1098
#define ENTRY_CONTROL_LIST       2    // drop-down list 1101
#define ENTRY_CONTROL_DATE       3    // date boxes
#define ENTRY_CONTROL_NUMBER     4    // number edit
#define ENTRY_CONTROL_SSN        5    // SSN boxes 3-2-4
#define ENTRY_CONTROL_EIN        6    // EIN boxes 2-7
#define ENTRY_CONTROL_PHONE      7    // phone boxes "(" 3 ")" 3 "-" 4
#define ENTRY_CONTROL_NAME2      9    // first and last name
#define ENTRY_CONTROL_NAME3      10   // first name, middle initial, last name

// The type letter of a part whose letter byte is 1 (a PIN-like digit entry).
#define TYPE_LETTER_CODE1        '\x01'

// Resolves one part of a field's type code. kind and subkind are inputs too: a kind already set
// (by ParseTaxpayerFieldType or ParsePTypeCode) is kept where the letter keeps it. 'T' and 'P'
// parts are resolved to the letter of the item they stand for (an SSN item as 'N' of length 9, a
// name as 'A', a state as 's' ...). icons receive up to three bitmap resource ids (0 = none);
// listLetter is the letter of a lettered '^' list item ('F', 'M', 'L') or 0. Every output may be
// null. Returns 1 when the part's letter is known, 0 when it is not (outputs then: control 0,
// no icons, kind unchanged).
int GetFieldEntryKind(const FieldRecord *field, const FieldFormatPart *part, int *kind, int *subkind,
                      int icons[3], int *controlKind, char listLetter);
// The letter a part is entered and checked as: its own letter, or for 'T' and 'P' parts the
// letter of the item they stand for (0 for an unknown item). *kindOut (may be null) receives the
// kind GetFieldEntryKind gives the part when no kind is set beforehand.
char GetPartEntryLetter(const FieldRecord *field, const FieldFormatPart *part, int *kindOut);
// Option flags of a bracket text: 1 for an empty (or null) text, else the sum of 1 (no '-'),
// 2 ('m'), 4 ('p'), 8 ('.'), 16 ('c'), 32 ('w'). For state parts they are the STATE_GROUP_* flags.
int GetTypeOptionFlags(const char *text);
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

#define TREE_KIND_ROOT    1        // ReturnNode
#define TREE_KIND_FOLDER  2        // FormGroupNode
// 3 (PAGE_KIND_FORM) and 4 (PAGE_KIND_GENERATED) are FormInstance pages.

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

// Image indexes of gTreeImageList (made by CreateFormsTree from IDB_FORMSTREE_IMAGES).
enum {
    TREE_IMAGE_ROOT = 0, TREE_IMAGE_FOLDER_CLOSED, TREE_IMAGE_FOLDER_OPEN, TREE_IMAGE_SUMMARY,
    TREE_IMAGE_STATUS, TREE_IMAGE_PAGE, TREE_IMAGE_PAGE_MN, TREE_IMAGE_PAGE_SESSION, TREE_IMAGE_SCANNED,
    TREE_IMAGE_EXTRA, TREE_IMAGE_MISSING, TREE_IMAGE_EMPLOYMENT, TREE_IMAGE_COUNT
};

// One FormPak file that pages of the return come from (chained from the ReturnNode).
struct FormPakRecord {
    uint16_t useCount;          // pages of the return whose definition comes from this file
    uint32_t fileSize;          // when the file exists
    uint32_t exists;            // 1 when the file existed when the record was made
    FILETIME lastWrite;         // its last-write time then (only when it exists)
    uint32_t formRecordCount;   // gFormRecordCount when the record was made
    char *path;                 // full path (owned); pages' formPakPath point to it
    char *fileName;             // file-name part (owned), may be null
    FormPakRecord *next;
};
// The root item's record (one per tree).
struct ReturnNode {
    uint16_t kind;              // 1
    uint16_t pageCount;         // pages in the whole return
    uint16_t stateReturnCount;  // state folders that hold a jurisdiction
    uint16_t formPakCount;      // FormPakRecords added to the list
    OpenReturn *openReturn;     // gOpenReturnPtr
    FormPakRecord *formPaks;    // head of the FormPak list
    HTREEITEM rootItem;
};
// A folder's record.
struct FormGroupNode {
    uint16_t kind;              // 2
    uint16_t pageCount;         // pages now in the folder (shown in the caption)
    char *noteToIrs;            // owned texts of the return's notes (federal folder)
    char *noteToSelf;
    char *regulatoryExplanation;
    uint16_t jurisdiction;      // state folder: its state (0 unassigned); other-return folder: its code
    uint16_t slot;              // state folder: slot 0
    HICON returnIcon;           // IDI_FOLDER_* for the federal, state and other-return folders
};

// The tree's items (0 while absent).
extern HTREEITEM gTreeRootItem;
extern HTREEITEM gTreeWithholdingFolder, gTreeFederalFolder, gTreeStateFolder, gTreeOtherReturnFolder;
extern HTREEITEM gTreeScannedFolder, gTreeExtraFolder, gTreeQuickRefFolder, gTreeMissingFormPakFolder;
extern HTREEITEM gTreePrintScanFolder;
extern HTREEITEM gTreeSummaryItem, gTreeStatusItem;
extern uint32_t gReturnPageCount;   // pages in the return
extern int gFixedTabCount;          // pseudo-page tabs at the front of gFormTabs

// Seams to the page view (set by the page view; each may be null).
extern HTREEITEM (*gShownTreeItemHook)(void);                 // the item of the page shown
extern void (*gClearShownDocumentHook)(void);                 // the page shown is gone
extern void (*gShowTreeItemHook)(HTREEITEM item);             // show the selected item's page
extern void (*gDestroyPageButtonsHook)(FormInstance *page);   // destroys the page's field buttons

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
// The record behind an item (null for a null item or one the control does not hold).
void *GetTreeItemForm(HTREEITEM item);
// The item's text (at most 127 characters, "<NULL>" when it has none); copied into out (outSize
// bytes, cut before " [" when cut is set) when given. Returns the length (after the cut).
int GetTreeItemText(HTREEITEM item, char *out, int cut, int outSize = 128);
// The item's image; with no item a default page image by code (24, 25, other).
int GetTreeItemImage(HTREEITEM item, int code);
int SetTreeItemImage(HTREEITEM item, int image);
// mode 1 prefix, 2 replace the " [..]" suffix, 3 replace, 4 replace keeping the "[..]" suffix.
int SetTreeItemCaption(HTREEITEM item, const char *text, int mode);
// Adds delta to the folder's and the root's page count and rewrites the " [n pages]" suffix;
// a positive delta also counts the page for its FormPak. Returns the folder's new count.
int SetFolderCaption(HTREEITEM folder, int delta, const char *formPakPath);
// W-2, W-2G and 1099-R pages take the payer's name from their field into their caption.
int UpdateInfoFormTreeCaption(const FieldRecord *field, FormInstance *page);
FormPakRecord *FindOrAddFormPakRecord(const char *path, const char *fileName, int *newOut,
                                      FormPakRecord **previousOut);
// Frees the chain from first up to (not including) stop; returns stop.
FormPakRecord *FreeFormPakRecords(FormPakRecord *first, FormPakRecord *stop);
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

#endif // LEVYLINE_ENTRY_H
