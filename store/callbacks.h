// callbacks.h - how the data layers (store/, calc/, prepare/, transmit/) reach the windows above
// them. They include nothing of entry/, pages/, print/ or shell/; what they need of the windows
// comes through the callbacks below, which the shell fills once at start-up
// (InstallMainWindowHandlers in shell/handlers.cpp). Every callback has a safe default while
// it is unset, so the data layers also work (and are tested) without any window.
// Part of the store's public interface: include store/store.h.
#ifndef LEVYLINE_STORE_CALLBACKS_H
#define LEVYLINE_STORE_CALLBACKS_H

#include <windows.h>

struct AppCallbacks {
    // The status bar's message part: mode 1 saves the current text and shows text, 2 shows text,
    // 3 puts the saved text back. Returns 1 when shown. Unset: nothing is shown (0).
    int (*showStatusText)(int mode, const char *text);
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

// Further ways up that already exist as hooks of their own:
// - gReturnPageEnumerator (store/form_model.h): the forms tree's page order for FindReturnPages;
//   the forms tree installs it while it exists (entry/formstree/formstree.cpp).
// - gMessageBoxHook, gFileDialogHook, gShellExecuteHook (store/util.h, store/files.h): test
//   seams of the message box, the file dialogs and ShellExecute.
// - gIsPageShownProc, gDrawChangedFieldProc (calc/calc.h): set by the page view.

#endif // LEVYLINE_STORE_CALLBACKS_H
