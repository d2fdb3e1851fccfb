// The application shell: program entry, main window and frame, status bar, common
// dialog helpers and settings.
#ifndef LEVYLINE_SHELL_H
#define LEVYLINE_SHELL_H

#include <windows.h>
#include <commctrl.h>

// ---- private messages (WM_APP = 0x8000) ----
#define WM_PAGE_RESETSCROLL (WM_APP + 10)
#define WM_PAGE_CLEAR (WM_APP + 11)
#define WM_PAGE_REDRAWFIELD (WM_APP + 12)
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
#define IDM_PREPARERINFO 40048
#define IDM_QUICKSTART 40051
#define IDM_ADDFORM 40401
#define IDM_DUPLICATEPAGE 40402
#define IDM_REMOVEPAGE 40403
#define IDM_CHANGEFORMSOURCE 40406
#define IDM_SPLITSCREEN 41034
#define IDM_FULLSCREEN 41035
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
extern HWND gMainWindow;
extern HINSTANCE gInstance;
extern HWND gRebar;
extern HWND gToolbar;
extern HWND gStatusBar;
extern HWND gFormTabs;
extern HWND gFormsTreeWindow;     // the forms tree control (left pane)
extern HWND gPageViewWindow;      // the page view window (right of the tree)
extern HWND gEditBarContainer;    // the modeless edit bar while it exists
extern HWND gTransferStatusDialog; // the modeless transfer-status dialog while it exists
extern HIMAGELIST gTreeImageList;
extern int gFullScreen;
extern int gViewOnly;
extern int gClosingReturn;
extern int gOperationCode;
extern int gEnterAdvances;
extern int gTabsOnTop;
extern int gTreePaneWidth;
extern OSVERSIONINFOA gOsVersionInfo;
extern DWORD gStartTick;
extern SIZE gPageBitmapSize;    // size of the page bitmap shown (fit-zoom arithmetic)

// Hooks through which later parts of the program plug into the frame. Each is called
// when set; the frame works without them.
typedef HWND (*CreatePaneProc)(HWND parent);
extern CreatePaneProc gCreateFormsTreeProc;   // builds the forms tree in the left pane
extern CreatePaneProc gCreatePageViewProc;    // builds the page view
typedef LRESULT (*MainCommandProc)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
// Extra message handlers of the main window (return road, page road ...), tried in order
// before the frame's own handling. At most 16.
int AddMainWindowHandler(MainCommandProc proc);
// Adds every area's handler (shell/handlers.cpp); called once before the main window exists.
int InstallMainWindowHandlers(void);

// ---- program entry and main window ----
int RunProgram(HINSTANCE instance, const char *commandLine, int showCommand);
int RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int RunMessageLoop(void);
int LayoutMainFrame(HWND mainWindow);
int RelayoutPanes(void);
int AskSaveChanges(HWND owner);  // 1: go on (saved or discarded), 0: the user cancelled

// ---- frame helpers ----
HWND CreateRebar(HWND parent, int controlId);
HWND CreateToolbarBand(HWND rebar, DWORD toolbarStyle, const TBBUTTON *buttons, int bitmapId, int toolbarId,
                       int buttonCount, int imageCount, int bandMinWidth, int bandMinHeight,
                       DWORD extendedStyle, DWORD bandStyle);
int FitRebarToParent(HWND rebar, HWND parent);
HWND CreateStatusProgressBar(void);
int DestroyStatusProgressBar(HWND bar);
int LayoutStatusBarParts(HWND statusBar, HWND mainWindow);
int SetStatusText(HWND statusBar, int mode, const char *text, HICON icon);
int SetStatusPartText(HWND statusBar, int part, int flags, const char *text, HICON icon);
int RefreshStatusAmountParts(void);
// state: MF_ENABLED/MF_GRAYED style values: 0 enabled, 1 greyed, 2 indeterminate
// (menu greyed, toolbar button shown indeterminate).
int EnableCommand(HWND window, int commandId, int state, int flag);
int DeleteAdjacentMenuItem(HMENU menu, int commandA, int commandB);
int AutoSizeListColumn(HWND listView, int column);
int PlaceDialogOnParent(HWND window, int mode);
UINT_PTR CALLBACK FileDialogHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int ShowHelpTopic(HWND owner, const char *topic, int mode);
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

#include "shell/status_amounts.h"

#endif
