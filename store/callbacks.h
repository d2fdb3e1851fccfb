// callbacks.h - how the data layers (store/, calc/, prepare/, transmit/) reach the windows above
// them. They include nothing of entry/, pages/, print/ or shell/; what they need of the windows
// comes through the table below, which the shell fills once at start-up (InstallProgramHooks and
// InstallMainWindowHandlers in shell/handlers.cpp, the only place that sets its members). Every
// member has a safe default while it is unset, so the data layers also work (and are tested)
// without any window. The windows' own way up to the layers above them is the table of
// ui/window_callbacks.h; the test seams of the system's dialogs are in store/seams.h.
// Part of the store's public interface: include store/store.h.
#ifndef LEVYLINE_STORE_CALLBACKS_H
#define LEVYLINE_STORE_CALLBACKS_H

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

struct FieldRecord;
struct FormInstance;

typedef int (*ReturnPageEnumProc)(HTREEITEM folder, FormInstance **out, int capacity);
typedef int (*IsPageShownProc)(const FormInstance *page);
typedef void (*DrawChangedFieldProc)(FieldRecord *field, FormInstance *page);
typedef void (*RecomputeFinishedProc)(void);

struct AppCallbacks {
    // store: the status bar's message part (ShowAppStatusText): mode 1 saves the current text
    // and shows text, 2 shows text, 3 puts the saved text back. Returns 1 when shown.
    // Unset: nothing is shown (0).
    int (*showStatusText)(int mode, const char *text);
    // store: the forms tree's pages in tree order for the page queries (FindReturnPages,
    // SnapshotReturnPages): the pages below folder (null = all), filling out (when not null, up
    // to capacity); returns their count, or -1 while there is no forms tree
    // (EnumerateReturnPages of entry/formstree/). Unset or -1: the test page list
    // (SetTestReturnPages), which the program never fills.
    ReturnPageEnumProc enumerateReturnPages;
    // store: the main window's hook procedure of the common open and save dialogs
    // (FileDialogHookProc of ui/, set with the main window). Unset: the dialogs have no hook.
    LPOFNHOOKPROC fileDialogHookProc;
    // calc: whether page is the page shown in the page view (IsPageViewPage of pages/). Called on
    // the recompute worker too, so it only reads globals. Unset: no changed field is repainted.
    IsPageShownProc isPageShown;
    // calc: draws a field the recompute changed into the page bitmap before WM_PAGE_REDRAWFIELD
    // is sent for it (DrawChangedPageField of pages/; on the worker). Unset: only the message.
    DrawChangedFieldProc drawChangedField;
    // calc: called on the user-interface thread each time a full recompute of the return has
    // finished (on the worker or here), so views that show totals follow: the status bar's
    // amounts and the Summary or Status page. Unset: nothing follows.
    RecomputeFinishedProc recomputeFinished;
};
extern AppCallbacks gAppCallbacks;

// gAppCallbacks.showStatusText, or 0 when unset.
int ShowAppStatusText(int mode, const char *text);

// The two windows the data layers talk to directly (defined here, set by the shell when it
// creates them; null while they do not exist): the main window, which owns message boxes and
// runs the recompute's timer IDT_DEFERRED_JOB, and the page view, which repaints fields the
// recompute changed (WM_PAGE_REDRAWFIELD, calc/calc.h).
extern HINSTANCE gInstance;   // the program's module (resources, window classes)
extern HWND gMainWindow;
extern HWND gPageViewWindow;

#endif // LEVYLINE_STORE_CALLBACKS_H
