// Frame helpers: rebar and toolbar bands, the status bar with its parts and progress
// bar, command states.
#include "ui/ui.h"
#include "store/store.h"

#include <stdio.h>
#include <string.h>

HWND gRebar;
HWND gToolbar;
HWND gStatusBar;

HWND CreateRebar(HWND parent, int controlId)
{
    HWND rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, NULL,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                     RBS_BANDBORDERS | CCS_NODIVIDER,
                                 0, 0, 0, 0, parent, (HMENU)(INT_PTR)controlId, gInstance, NULL);
    if (!rebar)
        return NULL;
    REBARINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    SendMessageA(rebar, RB_SETBARINFO, 0, (LPARAM)&info);
    return rebar;
}

HWND CreateToolbarBand(HWND rebar, DWORD toolbarStyle, const TBBUTTON *buttons, int bitmapId, int toolbarId,
                       int buttonCount, int imageCount, int bandMinWidth, int bandMinHeight,
                       DWORD extendedStyle, DWORD bandStyle)
{
    if (!rebar)
        return NULL;
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, NULL,
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NODIVIDER | CCS_NORESIZE |
                                       CCS_NOPARENTALIGN | toolbarStyle,
                                   0, 0, 0, 0, rebar, (HMENU)(INT_PTR)toolbarId, gInstance, NULL);
    if (!toolbar)
        return NULL;
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (extendedStyle)
        SendMessageA(toolbar, TB_SETEXTENDEDSTYLE, 0, extendedStyle);
    // Each image is as wide as the bitmap divided by the number of images.
    HBITMAP bitmap = bitmapId ? (HBITMAP)LoadImageA(gInstance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0,
                                                    LR_LOADMAP3DCOLORS)
                              : NULL;
    if (bitmap && imageCount > 0) {
        BITMAP bm;
        GetObjectA(bitmap, sizeof(bm), &bm);
        int w = bm.bmWidth / imageCount;
        SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(w, bm.bmHeight));
        TBADDBITMAP add = {NULL, (UINT_PTR)bitmap};
        SendMessageA(toolbar, TB_ADDBITMAP, imageCount, (LPARAM)&add);
    } else {
        TBADDBITMAP add = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
        SendMessageA(toolbar, TB_ADDBITMAP, 0, (LPARAM)&add);
    }
    if (buttons && buttonCount > 0)
        SendMessageA(toolbar, TB_ADDBUTTONSA, buttonCount, (LPARAM)buttons);
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    DWORD size = (DWORD)SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
    REBARBANDINFOA band;
    memset(&band, 0, sizeof(band));
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
    band.fStyle = bandStyle;
    band.hwndChild = toolbar;
    band.cxMinChild = bandMinWidth;
    band.cyMinChild = HIWORD(size) > (WORD)bandMinHeight ? HIWORD(size) : bandMinHeight;
    band.cx = bandMinWidth;
    if (!SendMessageA(rebar, RB_INSERTBANDA, (WPARAM)-1, (LPARAM)&band)) {
        DestroyWindow(toolbar);
        return NULL;
    }
    return toolbar;
}

int FitRebarToParent(HWND rebar, HWND parent)
{
    if (!rebar || !parent)
        return 0;
    RECT rc;
    GetClientRect(parent, &rc);
    int height = (int)SendMessageA(rebar, RB_GETBARHEIGHT, 0, 0);
    MoveWindow(rebar, 0, 0, rc.right, height, TRUE);
    return 1;
}

// Status bar parts: 0 the message, 1 and 2 the refund and balance amounts, 3 the progress area.
// Each amount part is as wide as its text (at least its usual width), so that every main form's
// amount reads in full; the message part takes what is left.
#define STATUS_PROGRESS_WIDTH 160
#define STATUS_AMOUNT_MIN_WIDTH 175
#define STATUS_TEXT_PADDING 16

int FitStatusBarParts(int clientWidth, int firstWidth, int restWidth, int parts[4])
{
    int amounts[2] = {firstWidth, restWidth};
    for (int i = 0; i < 2; i++)
        if (amounts[i] < STATUS_AMOUNT_MIN_WIDTH)
            amounts[i] = STATUS_AMOUNT_MIN_WIDTH;
    int room = clientWidth - STATUS_PROGRESS_WIDTH > 0 ? clientWidth - STATUS_PROGRESS_WIDTH : 0;
    // In a narrow window the message part gives way first, down to nothing; only a window too
    // narrow for both amounts cuts them, the second before the first.
    int message = room - amounts[0] - amounts[1];
    if (message < 0)
        message = 0;
    int first = amounts[0] < room - message ? amounts[0] : room - message;
    parts[0] = message;
    parts[1] = message + first;
    parts[2] = room;
    parts[3] = -1;
    return 1;
}

// Width a status part needs to show its whole text in the status bar's font.
static int MeasureStatusPartText(HWND statusBar, HDC dc, int part)
{
    char text[512] = "";
    LRESULT info = SendMessageA(statusBar, SB_GETTEXTLENGTHA, part, 0);
    if (LOWORD(info) == 0 || LOWORD(info) >= sizeof(text))
        return 0;
    SendMessageA(statusBar, SB_GETTEXTA, part, (LPARAM)text);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    return size.cx + STATUS_TEXT_PADDING;
}

int LayoutStatusBarParts(HWND statusBar, HWND mainWindow)
{
    if (!statusBar || !mainWindow)
        return 0;
    RECT rc;
    GetClientRect(mainWindow, &rc);
    HDC dc = GetDC(statusBar);
    HFONT font = (HFONT)SendMessageA(statusBar, WM_GETFONT, 0, 0);
    HGDIOBJ old = SelectObject(dc, font ? (HGDIOBJ)font : GetStockObject(DEFAULT_GUI_FONT));
    int first = MeasureStatusPartText(statusBar, dc, 1);
    int rest = MeasureStatusPartText(statusBar, dc, 2);
    SelectObject(dc, old);
    ReleaseDC(statusBar, dc);
    int parts[4];
    FitStatusBarParts(rc.right, first, rest, parts);
    SendMessageA(statusBar, SB_SETPARTS, 4, (LPARAM)parts);
    return 1;
}

static char sSavedStatusText[256];
static HICON sSavedStatusIcon;
static HWND sStatusProgress;

int SetStatusPartText(HWND statusBar, int part, int flags, const char *text, HICON icon)
{
    if (!statusBar)
        return 0;
    SendMessageA(statusBar, SB_SETTEXTA, (WPARAM)((part & 0xFF) | flags), (LPARAM)(text ? text : ""));
    SendMessageA(statusBar, SB_SETICON, part, (LPARAM)icon);
    return 1;
}

// mode 1 saves the text and icon of part 0 and shows the new ones; 2 sets the text; 3
// restores what mode 1 saved.
int SetStatusText(HWND statusBar, int mode, const char *text, HICON icon)
{
    if (!statusBar)
        statusBar = gStatusBar;
    if (!statusBar)
        return 0;
    switch (mode) {
    case 1: {
        char current[256] = "";
        LRESULT info = SendMessageA(statusBar, SB_GETTEXTLENGTHA, 0, 0);
        if (LOWORD(info) < sizeof(current))
            SendMessageA(statusBar, SB_GETTEXTA, 0, (LPARAM)current);
        lstrcpynA(sSavedStatusText, current, sizeof(sSavedStatusText));
        sSavedStatusIcon = (HICON)SendMessageA(statusBar, SB_GETICON, 0, 0);
        return SetStatusPartText(statusBar, 0, 0, text, icon);
    }
    case 2:
        return SetStatusPartText(statusBar, 0, 0, text, icon);
    case 3:
        return SetStatusPartText(statusBar, 0, 0, sSavedStatusText, sSavedStatusIcon);
    }
    return 0;
}

HWND CreateStatusProgressBar(void)
{
    if (!gStatusBar)
        return NULL;
    if (sStatusProgress && IsWindow(sStatusProgress))
        return sStatusProgress;
    RECT rc;
    if (!SendMessageA(gStatusBar, SB_GETRECT, 3, (LPARAM)&rc))
        return NULL;
    InflateRect(&rc, -2, -2);
    sStatusProgress = CreateWindowExA(0, PROGRESS_CLASSA, NULL, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, rc.left, rc.top,
                                      rc.right - rc.left, rc.bottom - rc.top, gStatusBar, NULL, gInstance, NULL);
    if (sStatusProgress)
        SendMessageA(sStatusProgress, PBM_SETRANGE32, 0, 100);
    return sStatusProgress;
}

int DestroyStatusProgressBar(HWND bar)
{
    if (!bar)
        return 0;
    if (bar == sStatusProgress)
        sStatusProgress = NULL;
    DestroyWindow(bar);
    return 1;
}

int EnableCommand(HWND window, int commandId, int state, int flag)
{
    if (!window)
        window = gMainWindow;
    if (!window)
        return 0;
    HMENU menu = GetMenu(window);
    if (menu)
        EnableMenuItem(menu, commandId, MF_BYCOMMAND | (state ? MF_GRAYED : MF_ENABLED));
    if (gToolbar) {
        if (state == 2)
            SendMessageA(gToolbar, TB_INDETERMINATE, commandId, TRUE);
        else {
            SendMessageA(gToolbar, TB_INDETERMINATE, commandId, FALSE);
            SendMessageA(gToolbar, TB_ENABLEBUTTON, commandId, state ? FALSE : TRUE);
        }
    }
    return 1;
}

int DeleteAdjacentMenuItem(HMENU menu, int commandA, int commandB)
{
    if (!menu)
        return 0;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        int id = (int)GetMenuItemID(menu, i);
        if (commandA && id == commandA && i + 1 < count)
            return DeleteMenu(menu, i + 1, MF_BYPOSITION) ? 1 : 0;
        if (!commandA && id == commandB && i > 0)
            return DeleteMenu(menu, i - 1, MF_BYPOSITION) ? 1 : 0;
    }
    return 0;
}

int AutoSizeListColumn(HWND listView, int column)
{
    if (!listView)
        return 0;
    // The wider of the widest item and the header text.
    SendMessageA(listView, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE);
    int itemWidth = (int)SendMessageA(listView, LVM_GETCOLUMNWIDTH, column, 0);
    SendMessageA(listView, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
    int headerWidth = (int)SendMessageA(listView, LVM_GETCOLUMNWIDTH, column, 0);
    if (itemWidth > headerWidth)
        SendMessageA(listView, LVM_SETCOLUMNWIDTH, column, itemWidth);
    return 1;
}

int ResetReturnViews(int flags)
{
    DeleteAllTabs(gFormTabs);
    if (gPageViewWindow)
        SendMessageA(gPageViewWindow, WM_PAGE_CLEAR, PAGE_CLEAR_RESET, 0);
    SetStatusText(gStatusBar, 2, "Ready", NULL);
    // No return: no refund or balance due.
    SetStatusPartText(gStatusBar, 1, 0, "", NULL);
    SetStatusPartText(gStatusBar, 2, 0, "", NULL);
    LayoutStatusBarParts(gStatusBar, GetParent(gStatusBar));
    return 1;
}

// The frame's panes in the main window: rebar, status bar, forms tree, tabs and page view, for
// split screen (tree beside the page) or full screen (the tabs hold the page view).
int LayoutMainFrame(HWND mainWindow)
{
    if (!mainWindow)
        return 0;
    RECT rc;
    GetClientRect(mainWindow, &rc);
    int top = 0, bottom = rc.bottom;
    if (gRebar) {
        FitRebarToParent(gRebar, mainWindow);
        RECT rr;
        GetWindowRect(gRebar, &rr);
        top = rr.bottom - rr.top;
    }
    if (gStatusBar) {
        SendMessageA(gStatusBar, WM_SIZE, 0, 0);
        RECT sr;
        GetWindowRect(gStatusBar, &sr);
        bottom -= sr.bottom - sr.top;
        LayoutStatusBarParts(gStatusBar, mainWindow);
    }
    int height = bottom - top;
    if (height < 0)
        height = 0;
    int treeWidth = gFullScreen ? 0 : gTreePaneWidth;
    if (treeWidth > rc.right / 2)
        treeWidth = rc.right / 2;
    if (gFormsTreeWindow) {
        ShowWindow(gFormsTreeWindow, gFullScreen ? SW_HIDE : SW_SHOW);
        MoveWindow(gFormsTreeWindow, 0, top, treeWidth, height, TRUE);
    }
    int pageLeft = treeWidth ? treeWidth + GetSystemMetrics(SM_CXEDGE) : 0;
    int pageWidth = rc.right - pageLeft;
    if (pageWidth < 0)
        pageWidth = 0;
    if (gFullScreen) {
        // Full screen: the tabs fill the page area and hold the page view in their display area.
        if (gFormTabs)
            MoveWindow(gFormTabs, pageLeft, top, pageWidth, height, TRUE);
        if (gPageViewWindow) {
            RECT area = {pageLeft, top, pageLeft + pageWidth, top + height};
            if (gFormTabs && GetParent(gPageViewWindow) == gFormTabs) {
                SetRect(&area, 0, 0, pageWidth, height);
                TabCtrl_AdjustRect(gFormTabs, FALSE, &area);
                if (area.right < area.left)
                    area.right = area.left;
                if (area.bottom < area.top)
                    area.bottom = area.top;
            }
            MoveWindow(gPageViewWindow, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
        }
    } else if (gPageViewWindow) {
        // Split screen: the page view beside the tree (the tabs are hidden).
        MoveWindow(gPageViewWindow, pageLeft, top, pageWidth, height, TRUE);
    }
    return 1;
}
