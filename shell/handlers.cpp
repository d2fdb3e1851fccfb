// The message handlers that the other parts of the program add to the main window.
// Each line names the handler of one area; MainWndProc tries them in this order before
// its own handling.
#include "shell/shell.h"
#include "calc/calc.h"

LRESULT ReturnCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
LRESULT PrintCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
int InitEditBar(void);

// The status bar's message part for the data layers (gAppCallbacks.showStatusText).
static int ShowStatusFromData(int mode, const char *text)
{
    return SetStatusText(NULL, mode, text, NULL);
}

int InstallMainWindowHandlers(void)
{
    // The data layers reach the windows through these callbacks (store/callbacks.h).
    gAppCallbacks.showStatusText = ShowStatusFromData;

    // One AddMainWindowHandler(...) line per area, e.g. the return commands, the
    // recompute timer, the page view's commands, printing.
    AddMainWindowHandler(ReturnCommandHandler);
    AddMainWindowHandler(PrintCommandHandler);   // IDM_PRINT (pages/print_command.cpp)
    AddMainWindowHandler(RecomputeWindowHandler);  // timer 997: the deferred recompute and page freeing
    InitEditBar();    // the forms list edits a row's copies in the edit bar (entry/editbar_init.cpp)
    return 1;
}
