// print_command.cpp - the main window's Print command: the menu, the toolbar button, and the
// forms tree's menu, which posts the command with the tree item to print.
#include "print/print.h"
#include "ui/ui.h"

LRESULT PrintCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    if (message != WM_COMMAND || LOWORD(wParam) != IDM_PRINT)
        return 0;
    *handled = 1;
    // The toolbar sends its own window in lParam; the forms tree's menu sends a tree item.
    HTREEITEM item = 0;
    if (lParam && !IsWindow((HWND)lParam))
        item = (HTREEITEM)lParam;
    PrintForms(window, 0, item, 1, 1, 0);
    return 0;
}
