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

// The messages that carry a command (see CommitEditBarForCommand).
static int IsCommandMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // A menu item or accelerator (no control), or a button clicked.
        return !lParam || HIWORD(wParam) == BN_CLICKED;
    case WM_CLOSE:
    case WM_OPEN_FILE:
        return 1;
    case WM_NOTIFY: {
        const NMHDR *header = (const NMHDR *)lParam;
        return header && header->code == (UINT)NM_RCLICK && header->hwndFrom &&
               (header->hwndFrom == gFormsTreeWindow || header->hwndFrom == gFormTabs);
    }
    }
    return 0;
}

int CommitEditBarForCommand(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!gEditBarContainer || !IsCommandMessage(message, wParam, lParam))
        return 1;
    return gWindowCallbacks.commitEditBar ? gWindowCallbacks.commitEditBar() : 1;
}
