// shell.h - the application shell, the top of the program: program entry, the main window and
// its command dispatch, building the frame, and the start-up table of handlers and hooks
// (shell/handlers.cpp) through which every lower layer is plugged in.
//
// Layering: the shell may call every folder; no folder includes it.
#ifndef LEVYLINE_SHELL_H
#define LEVYLINE_SHELL_H

#include <windows.h>
#include <commctrl.h>
#include "ui/ui.h"

typedef LRESULT (*MainCommandProc)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
// Extra message handlers of the main window (return road, page road ...), tried in order
// before the frame's own handling. At most 16.
int AddMainWindowHandler(MainCommandProc proc);
// Adds every area's handler and sets the hooks that go with the main window (the common file
// dialogs' hook procedure, the FormPak start dialogs, the forms list's copies edit)
// (shell/handlers.cpp); called once before the main window exists.
int InstallMainWindowHandlers(void);
// Fills the ways up through which lower layers reach the layers above them: gAppCallbacks
// (store/callbacks.h) and gWindowCallbacks (ui/window_callbacks.h) (shell/handlers.cpp);
// InstallMainWindowHandlers calls it; every test program calls it at its start.
int InstallProgramHooks(void);

// ---- program entry and main window ----
// The main window's handler of the return commands (open, save, close, recent files ...).
LRESULT ReturnCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
int RunProgram(HINSTANCE instance, const char *commandLine, int showCommand);
int RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int RunMessageLoop(void);
int AskSaveChanges(HWND owner);  // 1: go on (saved or discarded), 0: the user cancelled

#include "shell/returnroad.h"

#endif // LEVYLINE_SHELL_H
