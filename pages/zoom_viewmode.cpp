// The view modes of the page area and the main window's View commands. Split screen: the page
// view (with a sunken edge) stands beside the forms tree and the form tabs are hidden. Full
// screen: the forms tree is hidden and the page view lives inside the form tabs, which sit
// above or below it.
#include "pages/pages.h"
#include "ui/ui.h"

#include <commctrl.h>

// The splitter cursor, made once from its bitmap (hot spot in the middle); kept for the
// program's life as the main window class's cursor may hold it.
static HCURSOR sSplitterCursor;

static HCURSOR GetSplitterCursor(void)
{
    if (sSplitterCursor)
        return sSplitterCursor;
    SIZE size = {0, 0};
    HICON icon = BitmapToIcon(NULL, gInstance ? gInstance : GetModuleHandleA(NULL), IDB_SPLITTER, &size);
    if (icon) {
        ICONINFO info;
        if (GetIconInfo(icon, &info)) {
            info.fIcon = FALSE;
            info.xHotspot = (DWORD)(size.cx / 2);
            info.yHotspot = (DWORD)(size.cy / 2);
            sSplitterCursor = (HCURSOR)CreateIconIndirect(&info);
            if (info.hbmMask)
                DeleteObject(info.hbmMask);
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
        }
        DestroyIcon(icon);
    }
    if (!sSplitterCursor)
        sSplitterCursor = LoadCursorA(NULL, (LPCSTR)IDC_SIZEWE);
    return sSplitterCursor;
}

// The page view's frame style of a view mode. Only the edge is replaced: the page view keeps
// accepting dropped files (WS_EX_ACCEPTFILES) in both modes.
static void SetExtendedStyle(HWND window, LONG_PTR edge)
{
    LONG_PTR kept = GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES;
    SetWindowLongPtrA(window, GWL_EXSTYLE, kept | edge);
    SetWindowPos(window, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int SetViewMode(HWND mainWindow, int mode, int tabsOnTop)
{
    if (mode != 0 && mode != 1)
        return 0;
    gFullScreen = mode;
    gTabsOnTop = tabsOnTop ? 1 : 0;
    HMENU menu = mainWindow ? GetMenu(mainWindow) : NULL;
    if (mode == 0) {
        if (gPageViewWindow)
            SetExtendedStyle(gPageViewWindow, WS_EX_CLIENTEDGE);
        if (gFormTabs)
            ShowWindow(gFormTabs, SW_HIDE);
        if (gFormsTreeWindow)
            ShowWindow(gFormsTreeWindow, SW_SHOW);
        if (gPageViewWindow && mainWindow)
            SetParent(gPageViewWindow, mainWindow);
        LayoutMainFrame(mainWindow);
        if (mainWindow)
            SetClassLongPtrA(mainWindow, GCLP_HCURSOR, (LONG_PTR)GetSplitterCursor());
        if (menu) {
            CheckMenuItem(menu, IDM_SPLITSCREEN, MF_BYCOMMAND | MF_CHECKED);
            CheckMenuItem(menu, IDM_FULLSCREEN, MF_BYCOMMAND | MF_UNCHECKED);
        }
        return 1;
    }
    if (gPageViewWindow)
        SetExtendedStyle(gPageViewWindow, 0);
    if (gFormsTreeWindow)
        ShowWindow(gFormsTreeWindow, SW_HIDE);
    if (gFormTabs) {
        // The tab control paints around the page view, never over it.
        SetWindowLongPtrA(gFormTabs, GWL_STYLE, GetWindowLongPtrA(gFormTabs, GWL_STYLE) | WS_CLIPCHILDREN);
        ShowWindow(gFormTabs, SW_SHOW);
        if (gPageViewWindow)
            SetParent(gPageViewWindow, gFormTabs);
    }
    LayoutMainFrame(mainWindow);
    if (mainWindow)
        SetClassLongPtrA(mainWindow, GCLP_HCURSOR, (LONG_PTR)LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
    if (menu) {
        CheckMenuItem(menu, IDM_FULLSCREEN, MF_BYCOMMAND | MF_CHECKED);
        CheckMenuItem(menu, IDM_SPLITSCREEN, MF_BYCOMMAND | MF_UNCHECKED);
    }
    if (gFormTabs) {
        LONG_PTR style = GetWindowLongPtrA(gFormTabs, GWL_STYLE);
        LONG_PTR wanted = tabsOnTop ? (style & ~(LONG_PTR)TCS_BOTTOM) : (style | TCS_BOTTOM);
        if (wanted != style) {
            SetWindowLongPtrA(gFormTabs, GWL_STYLE, wanted);
            SetWindowPos(gFormTabs, NULL, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            LayoutMainFrame(mainWindow);  // the display area moved to the other side
        }
    }
    return 1;
}

LRESULT ViewCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    if (message != WM_COMMAND)
        return 0;
    switch (LOWORD(wParam)) {
    case IDM_ZOOM:
        *handled = 1;
        ShowZoomDialog(window);
        return 0;
    case IDM_SPLITSCREEN:
        *handled = 1;
        SetViewMode(window, 0, gTabsOnTop);
        return 0;
    case IDM_FULLSCREEN:
        *handled = 1;
        SetViewMode(window, 1, gTabsOnTop);
        return 0;
    }
    return 0;
}
