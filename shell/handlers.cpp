// The message handlers that the other parts of the program add to the main window.
// Each line names the handler of one area; MainWndProc tries them in this order before
// its own handling.
#include "shell/shell.h"
#include "calc/calc.h"
#include "entry/statements.h"

LRESULT ReturnCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
LRESULT PrintCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
int InitEditBar(void);

int InstallMainWindowHandlers(void)
{
    // One AddMainWindowHandler(...) line per area, e.g. the return commands, the
    // recompute timer, the page view's commands, printing.
    AddMainWindowHandler(ReturnCommandHandler);
    AddMainWindowHandler(PrintCommandHandler);   // IDM_PRINT (pages/print_command.cpp)
    AddMainWindowHandler(StatementMessageHandler); // WM_OPEN_STATEMENT: the statement grid (entry/statement_open.cpp)
    InitRecompute();  // timer 997: the deferred recompute and page freeing
    InitEditBar();    // the forms list edits a row's copies in the edit bar (entry/editbar_init.cpp)
    return 1;
}
