// The tip panel at the bottom of the forms tree ("Tip: To delete an unneeded form ...").
#include "entry/formstree/formstree_private.h"
#include "ui/ui.h"
#include "store/store.h"

#include <commctrl.h>
#include <string.h>


static WNDPROC sTipDefaultProc;
static HFONT sTipBoldFont;

static const char kTipHint[] =
    "To delete an unneeded form, click the 'Remove' button or right-click the form in the above list.";

// The size of a text drawn with the window's font: with wrap, its height word-wrapped into width
// pixels; without, the width of its one line.
static int MeasureText(HWND control, const char *text, int width, int wrap)
{
    HDC dc = GetDC(control);
    if (!dc)
        return 0;
    HFONT font = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? SelectObject(dc, font) : NULL;
    int result;
    if (wrap) {
        RECT rc = {0, 0, width > 1 ? width : 1, 0};
        DrawTextA(dc, text, -1, &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        result = rc.bottom - rc.top;
    } else {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
        result = size.cx;
    }
    if (old)
        SelectObject(dc, old);
    ReleaseDC(control, dc);
    return result;
}

HWND CreateFormsTreeTipPanel(HWND tree, int create)
{
    if (!tree)
        return NULL;
    HWND panel = GetDlgItem(tree, IDC_FORMSTREE_TIP);
    HWND label = panel ? GetDlgItem(panel, IDC_FORMSTREE_TIPLBL) : NULL;
    HWND hint = panel ? GetDlgItem(panel, IDC_FORMSTREE_TIPTXT) : NULL;
    if (create && !panel) {
        panel = CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_LEFT, 0, 0, 0, 0, tree,
                                (HMENU)(INT_PTR)IDC_FORMSTREE_TIP, gInstance, NULL);
        if (!panel)
            return NULL;
        sTipDefaultProc = (WNDPROC)SetWindowLongPtrA(panel, GWLP_WNDPROC, (LONG_PTR)FormsTreeTipSubclassProc);
        char bitmapName[16];
        wsprintfA(bitmapName, "#%d", IDB_FORMSTREE_TIP);
        CreateWindowExA(0, "STATIC", bitmapName, WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0, 16, 16, panel,
                        (HMENU)(INT_PTR)IDC_FORMSTREE_TIPBMP, gInstance, NULL);
        label = CreateWindowExA(0, "STATIC", "Tip:", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                panel, (HMENU)(INT_PTR)IDC_FORMSTREE_TIPLBL, gInstance, NULL);
        hint = CreateWindowExA(0, "STATIC", kTipHint, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                               panel, (HMENU)(INT_PTR)IDC_FORMSTREE_TIPTXT, gInstance, NULL);
        HFONT font = (HFONT)SendMessageA(tree, WM_GETFONT, 0, 0);
        if (!font)
            font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
        LOGFONTA lf;
        if (GetObjectA(font, sizeof(lf), &lf)) {
            lf.lfWeight = 700;
            if (sTipBoldFont)
                DeleteObject(sTipBoldFont);
            sTipBoldFont = CreateFontIndirectA(&lf);
        }
        SendMessageA(panel, WM_SETFONT, (WPARAM)font, 0);
        if (label)
            SendMessageA(label, WM_SETFONT, (WPARAM)(sTipBoldFont ? sTipBoldFont : font), 0);
        if (hint)
            SendMessageA(hint, WM_SETFONT, (WPARAM)font, 0);
    }
    if (!panel)
        return NULL;
    RECT client;
    GetClientRect(tree, &client);
    int edgeX = GetSystemMetrics(SM_CXEDGE), edgeY = GetSystemMetrics(SM_CYEDGE);
    int width = client.right - 2 * edgeX;
    if (width < 0)
        width = 0;
    int labelX = GetSystemMetrics(SM_CXSMICON) + 2;
    int labelWidth = label ? MeasureText(label, "Tip:", 0, 0) + 2 : 0;
    int hintX = labelX + labelWidth + 4;
    int hintWidth = width - hintX;
    if (hintWidth < 1)
        hintWidth = 1;
    int labelHeight = label ? MeasureText(label, "Tip:", labelWidth, 1) : 0;
    int hintHeight = hint ? MeasureText(hint, kTipHint, hintWidth, 1) : 0;
    int height = (labelHeight > hintHeight ? labelHeight : hintHeight) + 2;
    if (height < GetSystemMetrics(SM_CYSMICON))
        height = GetSystemMetrics(SM_CYSMICON);
    int bottom = client.bottom - (edgeY + 10);
    MoveWindow(panel, edgeX, bottom - height, width, height, TRUE);
    if (hint)
        MoveWindow(hint, hintX, 2, hintWidth, hintHeight, TRUE);
    if (create && label)
        MoveWindow(label, labelX, 2, labelWidth, labelHeight, TRUE);
    return panel;
}

int UpdateFormsTreeTipVisibility(const int *flag)
{
    HWND tree = gFormsTreeWindow;
    HWND panel = tree ? GetDlgItem(tree, IDC_FORMSTREE_TIP) : NULL;
    if (!panel)
        return 0;
    RECT panelRect;
    GetWindowRect(panel, &panelRect);
    POINT top = {panelRect.left, panelRect.top};
    ScreenToClient(tree, &top);
    int lastBottom = 0;
    HTREEITEM last = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_LASTVISIBLE, 0);
    if (last) {
        RECT rc;
        if (GetTreeItemRect(last, &rc))
            lastBottom = rc.bottom;
        else
            lastBottom = 0x7FFFFFFF;
    }
    int show = lastBottom < top.y - 10 && (!flag || *flag);
    ShowWindow(panel, show ? SW_SHOWNA : SW_HIDE);
    return show;
}

LRESULT CALLBACK FormsTreeTipSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        HDC dc = (HDC)wParam;
        if (GetDlgCtrlID((HWND)lParam) == IDC_FORMSTREE_TIPTXT)
            SetTextColor(dc, 0xB20000);
        SetBkColor(dc, RGB(255, 255, 255));
        return (LRESULT)GetStockObject(WHITE_BRUSH);
    }
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(window, &rc);
        FillRect((HDC)wParam, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
        return 1;
    }
    case WM_DESTROY:
        if (sTipBoldFont) {
            HWND label = GetDlgItem(window, IDC_FORMSTREE_TIPLBL);
            if (label)
                SendMessageA(label, WM_SETFONT, 0, 0);
            DeleteObject(sTipBoldFont);
            sTipBoldFont = NULL;
        }
        break;
    }
    return CallWindowProcA(sTipDefaultProc ? sTipDefaultProc : DefWindowProcA, window, message, wParam, lParam);
}
