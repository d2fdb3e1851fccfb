// seams.h - the test seams: the places where the program would show a system window that waits
// for the user (message box, file dialogs, a popup menu) or hand a file to another program
// (ShellExecute). While a seam is null, as in the program, the real call is made; tests set them
// (tests/harness) to answer from a script and to record what was shown, and the command-line
// tools (tools/) set the message box's to print messages. The program never sets them: its own
// ways up are the tables of store/callbacks.h and ui/window_callbacks.h.
// Part of the store's public interface: include store/store.h.
#ifndef LEVYLINE_STORE_SEAMS_H
#define LEVYLINE_STORE_SEAMS_H

#include <windows.h>

// ShowMessageBox and ShowAppMessageBox (store/util.h) call it with the final (joined) text and
// return its answer instead of showing a window.
typedef int (*MessageBoxHookProc)(HWND owner, const char *text, const char *title, unsigned flags);
extern MessageBoxHookProc gMessageBoxHook;

// ShowFileOpenDialog (save = 0) and ShowFileSaveDialog (save = 1) (store/files.h) call it instead
// of the common dialog; it fills pathBuffer (bufferSize bytes) and returns 1 (picked) or 0
// (cancelled).
typedef int (*FileDialogSeamProc)(int save, const char *title, char *pathBuffer, int bufferSize);
extern FileDialogSeamProc gFileDialogHook;

// OpenWithShell (store/files.h) calls it instead of ShellExecuteEx and returns its answer.
typedef int (*ShellExecuteHookProc)(const char *verb, const char *file);
extern ShellExecuteHookProc gShellExecuteHook;

// A field button's drop-down menu (pages/) is not tracked: the seam returns the chosen item
// (1-based, 0 none) of the menu with itemCount items.
typedef int (*PopupMenuSeamProc)(HMENU menu, int itemCount);
extern PopupMenuSeamProc gFieldButtonMenuHook;

#endif // LEVYLINE_STORE_SEAMS_H
