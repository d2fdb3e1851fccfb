// The program's window handles and view state. The shell sets them as it builds the frame;
// every window layer reads them.
#include "ui/ui.h"

HWND gFormTabs;
HWND gFormsTreeWindow;
HWND gEditBarContainer;
HWND gTransferStatusDialog;
HIMAGELIST gTreeImageList;
int gFullScreen;
int gViewOnly;
int gClosingReturn;
int gOperationCode;
int gEnterAdvances;
int gTabsOnTop;
int gTreePaneWidth = 240;
OSVERSIONINFOA gOsVersionInfo;
DWORD gStartTick;

int KeepEditBarFocus(UINT message, LPARAM lParam)
{
    if (message != WM_MOUSEACTIVATE || LOWORD(lParam) != HTMENU)
        return 0;
    return gEditBarContainer && IsWindow(gEditBarContainer) && IsWindowVisible(gEditBarContainer);
}
