// The program's start-up table: the hooks through which lower layers reach the windows above
// them, and the message handlers that the other parts of the program add to the main window.
#include "shell/shell.h"
#include "calc/calc.h"
#include "entry/entry.h"
#include "pages/pages.h"
#include "print/print.h"

int InstallProgramHooks(void)
{
    // The page view opens the edit bar of data entry.
    gOpenEditBarProc = OpenEditBarWindow;
    return 1;
}

int InstallMainWindowHandlers(void)
{
    InstallProgramHooks();
    // One AddMainWindowHandler(...) line per area, e.g. the return commands, the
    // recompute timer, the page view's commands, printing.
    AddMainWindowHandler(ReturnCommandHandler);
    AddMainWindowHandler(PrintCommandHandler);   // IDM_PRINT (print/print_command.cpp)
    InitRecompute();  // timer 997: the deferred recompute and page freeing
    InitEditBar();    // the forms list edits a row's copies in the edit bar (entry/editbar_init.cpp)
    return 1;
}
