// ui.h - window services every window layer uses: the private messages and command ids, the
// program's window handles and view state, status-bar texts, amounts and progress, command
// enabling, dialog placement, list columns, help, recent-files menus, the fit zoom, the preparer
// settings and image loading.
//
// Layering: ui sits above the data layers and the canvas and below every window layer (pages,
// print, entry, shell). It holds no window procedure of its own; the shell builds the frame and
// sets the handles declared here.
#ifndef LEVYLINE_UI_H
#define LEVYLINE_UI_H

#include <windows.h>
#include <commctrl.h>
#include "store/store.h"
#include "ui/imagefile.h"
#include "ui/status_amounts.h"

// ---- private messages (WM_APP = 0x8000) ----
#define WM_PAGE_RESETSCROLL (WM_APP + 10)
#define WM_PAGE_CLEAR (WM_APP + 11)      // wParam PAGE_CLEAR_RESET: the return is reset (zoom too)
#define PAGE_CLEAR_RESET 1
// WM_APP + 12: WM_PAGE_REDRAWFIELD, the page view's repaint of fields (calc/calc.h)
#define WM_OPEN_STATEMENT (WM_APP + 14)
#define WM_PAGE_GOTOFIELD (WM_APP + 16)
#define WM_EDIT_DONE (WM_APP + 17)
#define WM_OPEN_FILE (WM_APP + 22)
#define WM_ERRORLIST_ADD (WM_APP + 24)
#define WM_PAGE_GETSCALED (WM_APP + 30)
#define WM_PROGRESS_PERCENT (WM_APP + 35)
#define WM_PAGE_AMENDED (WM_APP + 39)

// ---- menu commands ----
#define IDM_OPEN 40001
#define IDM_DELETEPAGE 40002   // toolbar: remove the page shown
#define IDM_PRINT 40003
#define IDM_SAVE 40004
#define IDM_NEW 40005
#define IDM_CLOSE 40006
#define IDM_ZOOM 40007
#define IDM_EXIT 40008
#define IDM_SEND 40009
#define IDM_SAVEAS 40030
#define IDM_RECENTFILE_FIRST 40035
#define IDM_RECENTFILE_LAST 40043
#define IDM_TAXPAYERINFO 40044   // Setup: the e-file information sheet at "Taxpayer Info"
#define IDM_EFILEOPTIONS 40045   // Setup: the sheet at "e-File Options"
#define IDM_PREPARERINFO 40048
#define IDM_QUICKSTART 40051
#define IDM_ADDFORM 40401
#define IDM_DUPLICATEPAGE 40402
#define IDM_REMOVEPAGE 40403
#define IDM_CHANGEFORMSOURCE 40406
#define IDM_SPLITSCREEN 41034
#define IDM_FULLSCREEN 41035
#define IDM_PDFRETURN 41061    // the whole return as a PDF file beside the return file
#define IDM_IMPORTDATA 41062   // taxpayer and form data from another return file
#define IDM_CHECKFORMUPDATES 41089
#define IDM_CHECKPROGRAMUPDATES 41110
#define IDM_HELPCONTENTS 41200
#define IDM_ABOUT 41201

// ---- timers of the main window ----
#define IDT_DEFERRED_JOB 997
#define IDT_BACKUP 998

// ---- control ids of the frame ----
#define IDC_REBAR 2001
#define IDC_TOOLBAR 2002
#define IDC_STATUSBAR 2003
#define IDC_FORMTREE 2004
#define IDC_FORMTABS 2005
#define IDC_PAGEVIEW 2006

// ---- resources ----
#define IDR_MAINMENU 100
#define IDI_MAINICON 101
#define IDB_TOOLBAR 102

// ---- globals ----
// The program's windows and view state, set by the shell as it builds the frame; null or 0
// while a window does not exist (tests of one window run without the others).
extern HWND gRebar;
extern HWND gToolbar;
extern HWND gStatusBar;
extern HWND gFormTabs;
extern HWND gFormsTreeWindow;     // the forms tree control (left pane)
extern HWND gEditBarContainer;    // the modeless edit bar while it exists
extern HWND gTransferStatusDialog; // the modeless transfer-status dialog while it exists
extern HIMAGELIST gTreeImageList;
extern int gFullScreen;
extern int gViewOnly;
extern int gClosingReturn;
extern int gOperationCode;
extern int gEnterAdvances;
extern int gTabsOnTop;
// Every command the main window or the page view takes first stores what an open edit bar holds,
// as Enter would: a menu item, accelerator or button (the toolbar's, a field button) chosen, sent
// or posted; closing the window; a return file to open; the forms tree's or tabs' context menu,
// whose commands run inside it. 1 when the command may go on (no bar, or the bar committed and
// closed); 0 when the bar refused its value and stays open: the command stops.
int CommitEditBarForCommand(UINT message, WPARAM wParam, LPARAM lParam);
extern int gTreePaneWidth;
extern OSVERSIONINFOA gOsVersionInfo;
extern DWORD gStartTick;
extern SIZE gPageBitmapSize;    // size of the page bitmap shown (fit-zoom arithmetic)

// ---- frame helpers ----
// Places the frame's panes in the main window for the view mode (gFullScreen).
int LayoutMainFrame(HWND mainWindow);
HWND CreateRebar(HWND parent, int controlId);
HWND CreateToolbarBand(HWND rebar, DWORD toolbarStyle, const TBBUTTON *buttons, int bitmapId, int toolbarId,
                       int buttonCount, int imageCount, int bandMinWidth, int bandMinHeight,
                       DWORD extendedStyle, DWORD bandStyle);
int FitRebarToParent(HWND rebar, HWND parent);
HWND CreateStatusProgressBar(void);
int DestroyStatusProgressBar(HWND bar);
// Sets the status bar's parts for the main window's width and the amount parts' texts.
int LayoutStatusBarParts(HWND statusBar, HWND mainWindow);
// The parts' right edges for a client width and the widths the two amount texts need.
int FitStatusBarParts(int clientWidth, int firstWidth, int restWidth, int parts[4]);
int SetStatusText(HWND statusBar, int mode, const char *text, HICON icon);
int SetStatusPartText(HWND statusBar, int part, int flags, const char *text, HICON icon);
int RefreshStatusAmountParts(void);
// state: MF_ENABLED/MF_GRAYED style values: 0 enabled, 1 greyed, 2 indeterminate
// (menu greyed, toolbar button shown indeterminate).
int EnableCommand(HWND window, int commandId, int state, int flag);
int DeleteAdjacentMenuItem(HMENU menu, int commandA, int commandB);
int AutoSizeListColumn(HWND listView, int column);
int PlaceDialogOnParent(HWND window, int mode);
// Moves window (screen coordinates, size kept) to (x, y), pushed back inside area where it would
// stick out (right and bottom first, then left and top). 1 when moved.
int MoveWindowInside(HWND window, int x, int y, const RECT *area);
UINT_PTR CALLBACK FileDialogHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int ShowHelpTopic(HWND owner, const char *topic, int mode);
// The text of a help topic the program carries (the import topics), shown in a message box when
// the help file is missing; 1 when the topic is one of them.
int ShowBuiltInHelpTopic(HWND owner, const char *topic);
int ResetReturnViews(int flags);

// ---- settings ----
int ComputeFitZoom(int mode, float *zoomOut);
int ComputeFitZoomFor(int mode, int bitmapWidth, int bitmapHeight, int availWidth, int availHeight, float *zoomOut);
int UpdateRecentFilesMenu(HMENU menu, const char *pathToAdd, const char *registryKeyPath, const char *valueName);
int IsPreparerSetupComplete(int flag);
int IsSpecialCustomer(int flag);
int MaskProfileFolder(const char *path, char *out, int outSize);
int LoadImageWithGdiplus(const wchar_t *path, BYTE *pixelBuffer, int bufferSize, int *geometryOut, int *statusOut);

// Preparer settings: 28 string slots stored under the "Preparer" registry key.
#define PREPARER_SLOT_COUNT 28
#define PREPARER_SLOT_SIZE 128
enum {
    PREP_FIRM_NAME = 0, PREP_NAME, PREP_PTIN, PREP_EIN, PREP_ADDRESS, PREP_CITY, PREP_STATE, PREP_ZIP,
    PREP_PHONE, PREP_EMAIL, PREP_CUSTOMER_ID, PREP_KIND /* "P" paid, "V" volunteer */, PREP_SELF_EMPLOYED
};
struct PreparerSettings {
    char slot[PREPARER_SLOT_COUNT][PREPARER_SLOT_SIZE];
};
extern PreparerSettings gPreparerSettings;
int ReadPreparerSettings(PreparerSettings *settings);


// ---- edit requests ----
// The block with which a window (the page view, the statement grid, the forms list, the
// multi-field popup, the typed signature) asks the edit bar to edit one field.
// Requester kinds of an edit request (who asked, and how the result goes back).
#define EDIT_REQUESTER_PAGE_VIEW  1   // modeless; committed by the edit bar (CommitFieldEntry)
#define EDIT_REQUESTER_GRID       2   // modeless; WM_EDIT_DONE to the statement grid
#define EDIT_REQUESTER_FORMS_LIST 3   // modal; the caller reads text and the result
#define EDIT_REQUESTER_MULTIFIELD 5   // modeless; WM_EDIT_DONE to the multi-field popup
#define EDIT_REQUESTER_SIGNATURE  6   // modal; the caller reads text and the result
// Entry modes.
#define EDIT_ENTRY_CLICK          1
#define EDIT_ENTRY_KEYBOARD       2
#define EDITBAR_MAX_PARTS         3
#define EDIT_TEXT_SIZE            128
#define EDIT_LIST_TYPES_SIZE      64


// One field of a '^' multi-field list.
struct MultiFieldListItem {
    FieldRecord *field;      // the listed field of the page (never null: items without one are dropped)
    uint32_t lettered;       // 1 when the item (or an earlier one of its group) carried letters
    uint32_t group;          // bracket group, from 0
    uint32_t position;       // number among the lettered items of its group, from 0
    char letters[8];         // the group's letters (at most 4)
};
static_assert(sizeof(MultiFieldListItem) == 24, "MultiFieldListItem is 24 bytes");

// The block with which a window asks the edit bar to edit one field (416 bytes). The opener
// clears it and fills the fields marked (in); the edit bar owns the rest.
struct EditRequest {
    char text[EDIT_TEXT_SIZE];   // (in) current value (at most 127 characters); out: the entered value
    char itemCode[12];           // taxpayer item code of the committed 'T' part ("1a"); "" = none
    FieldRecord *field;          // (in) the field edited; at commit the committing part's field
    uint8_t partLetter;          // letter of the current lettered '^' list item
    uint8_t reserved0[3];
    uint32_t fieldIndex;         // (in) index of the field in its page's field table
    RECT fieldRect;              // (in) the field's rectangle in screen coordinates
    const char *caption;         // (in) start of the hint (the current form's name)
    HWND requester;              // (in) window that asked; gets the focus back
    HWND container;              // the container dialog
    HWND shadow;                 // the shadow rectangle
    HWND focusControl;           // control that receives the focus first
    HWND partWindows[EDITBAR_MAX_PARTS];
    uint16_t requesterKind;      // (in) EDIT_REQUESTER_*
    uint16_t entryMode;          // (in) EDIT_ENTRY_CLICK or EDIT_ENTRY_KEYBOARD
    uint32_t partCount;
    uint32_t activePart;
    FieldFormat *format;         // the parsed type code
    HBRUSH whiteBrush;
    HBRUSH greyBrush;            // 0xE0E0E0
    HFONT font;
    HBITMAP stmtButtonUp;
    HBITMAP stmtButtonDown;
    uint32_t settingUp;          // 1 while a part dialog initialises
    uint32_t cancelled;          // 1 after Escape: no part stores anything
    uint32_t valid;              // result of the last part check; the modal result
    uint32_t dropDownWasOpen;
    uint32_t modeless;           // requester kinds 1, 2 and 5
    uint32_t checking;           // 1 while a part of a modeless bar is validated
    uint32_t stampTime;          // the committed part's field is 'U' or 'K'
    uint32_t amendedBox;         // 'c' for the "Amended" box of a Form 940 page; after commit 1 set, 2 cleared
    uint32_t advanceWhenFull;
    uint32_t commitWhenFull;
    HWND notifyWindow;           // message posted after the container is destroyed
    UINT notifyMessage;
    WPARAM notifyWParam;
    LPARAM notifyLParam;
    uint32_t lastEditKey;        // VK_DELETE or VK_BACK when last pressed in the list's edit box
    uint32_t gridRow;            // (in, grid)
    uint32_t gridColumn;         // (in, grid)
    const char *fontFace;        // (in, optional) face of the entry font
    int32_t fontHeight;          // (in) its height
    int32_t extraHeight;         // (in, typed signature) extra row height
    char listTypes[EDIT_LIST_TYPES_SIZE]; // the '^' list's type codes joined
    uint32_t listItemCount;
    MultiFieldListItem *listItems;
    FormInstance *page;          // (in, optional) the page of the field; the page shown when null.
                                 // Remembered at open so a late commit lands on the right page.
    FieldTable *fieldTable;      // the field table the field belongs to (page's, or the opener's)
    uint32_t committedCount;     // parts committed by this edit bar
    uint32_t unchanged;          // at commit: the part was not edited, the field keeps its value
    uint32_t reserved[3];
};
static_assert(sizeof(EditRequest) == 416, "EditRequest is 416 bytes");

// ---- forms tree items ----
// The forms tree's model as every window layer reads it: the records behind its items (each
// begins with a 16-bit kind), its folder items, the return's page count and the list of FormPaks
// the pages come from. Data entry builds and changes the tree (entry/formstree/).
#define TREE_KIND_ROOT    1        // ReturnNode
#define TREE_KIND_FOLDER  2        // FormGroupNode
// 3 (PAGE_KIND_FORM) and 4 (PAGE_KIND_GENERATED) are FormInstance pages.

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

// The record behind an item (null for a null item or one the control does not hold).
void *GetTreeItemForm(HTREEITEM item);
// The item's text (at most 127 characters, "<NULL>" when it has none); copied into out (outSize
// bytes, cut before " [" when cut is set) when given. Returns the length (after the cut).
int GetTreeItemText(HTREEITEM item, char *out, int cut, int outSize = 128);
// The item's image; with no item a default page image by code (24, 25, other).
int GetTreeItemImage(HTREEITEM item, int code);
// The FormPak list entry of path (added when missing; *newOut 1 then); previousOut receives the
// entry before it. Null without a path or before the tree has its root.
FormPakRecord *FindOrAddFormPakRecord(const char *path, const char *fileName, int *newOut,
                                      FormPakRecord **previousOut);
// Frees the chain from first up to (not including) stop; returns stop.
FormPakRecord *FreeFormPakRecords(FormPakRecord *first, FormPakRecord *stop);
#include "ui/tabstrip.h"
#include "ui/window_callbacks.h"

#endif // LEVYLINE_UI_H
