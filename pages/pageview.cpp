// The page view window: its class, creation and message dispatch.
#include "pages/pages_private.h"
#include "ui/ui.h"
#include "calc/calc.h"

#include <shellapi.h>
#include <string.h>


// Set once the page view exists: until then the forms tree works on its own (the forms list,
// tests of the tree alone) and these do nothing.
static int sPageViewCreated;

HTREEITEM GetShownTreeItem(void)
{
    return sPageViewCreated ? (HTREEITEM)GetCurrentDocument(1) : NULL;
}

void ShowTreeItemPage(HTREEITEM item)
{
    if (sPageViewCreated)
        LoadPageImage(item, gOpenReturnPtr);
}

void ForgetShownPage(void)
{
    if (!sPageViewCreated)
        return;
    ClearPageView();
    SetCurrentDocument(NULL);
}

HWND CreatePageView(HWND parent)
{
    // The forms tree shows its selection here; the recompute engine repaints the page shown
    // (IsPageViewPage and DrawChangedPageField, installed at start-up).
    sPageViewCreated = 1;
    if (!gPageBitmap)
        gPageBitmap = CreateBitmap(1, 1, 1, 1, NULL);

    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = PageViewWndProc;
    wc.cbWndExtra = 4;
    wc.hInstance = gInstance ? gInstance : GetModuleHandleA(NULL);
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = PAGE_VIEW_CLASS;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return NULL;
    HWND window = CreateWindowExA(WS_EX_STATICEDGE, PAGE_VIEW_CLASS, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL,
                                  0, 0, 0, 0, parent, (HMENU)(INT_PTR)PAGE_VIEW_CONTROL_ID, wc.hInstance, NULL);
    if (!window)
        return NULL;
    ShowScrollBar(window, SB_BOTH, FALSE);
    // Files dropped on the page: returns and FormPaks open, PDFs attach to "S[pdf]" fields.
    DragAcceptFiles(window, TRUE);
    return window;
}

// The page canvas's memory DC goes with the page view (at shutdown).
static void DeletePageCanvasDc(void)
{
    if (!gPageCanvasDc)
        return;
    if (gPageCanvasFirstBitmap)
        SelectObject(gPageCanvasDc, gPageCanvasFirstBitmap);
    if (gPageCanvasBitmap)
        DeleteObject(gPageCanvasBitmap);
    gPageCanvasBitmap = NULL;
    DeleteDC(gPageCanvasDc);
    gPageCanvasDc = NULL;
    gPageCanvasFirstBitmap = NULL;
}

static void ResetScrollBars(HWND window, int withRange)
{
    SCROLLINFO si;
    memset(&si, 0, sizeof(si));
    si.cbSize = sizeof(si);
    si.fMask = withRange ? SIF_RANGE | SIF_PAGE | SIF_POS : SIF_POS;
    SetScrollInfo(window, SB_HORZ, &si, TRUE);
    SetScrollInfo(window, SB_VERT, &si, TRUE);
}

// Field repaint asked by an editor, by RedrawField or by the recompute worker (sent across
// threads). Only fields of the page shown are drawn: a request that arrives after the page
// changed, or while no scaled page exists, is dropped.
static void RedrawRequestedFields(const PageRedrawBlock *request)
{
    if (!request || !request->fields || request->count <= 0 || !gPageShown || !gPageBitmap || !gScaledPageBitmap)
        return;
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    if (!table || !table->fields || table->count <= 0)
        return;
    const FieldRecord *first = request->fields;
    if (first < table->fields || first >= table->fields + table->count)
        return;
    if (request->count > (int)(table->fields + table->count - first))
        return;
    DrawActiveField(request->fields, request->count, gPageBitmap, gScaledPageBitmap, gPageScrollX, gPageMarginX,
                    gPageScrollY, gPageMarginY, request->reserved, request->invalidate, request->drawEmpty);
}

LRESULT CALLBACK PageViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        gPageScrollX = gPageScrollY = 0;
        gPageScrollMaxX = gPageScrollMaxY = 0;
        break;
    case WM_DESTROY:
        if (gScaledPageBitmap)
            DeleteObject(gScaledPageBitmap);
        gScaledPageBitmap = NULL;
        DeletePageCanvasDc();
        return 0;
    case WM_SIZE:
        if (lParam && gScaledPageBitmap)
            gPageViewFlags |= PAGE_VIEW_RESIZED;
        return 0;
    case WM_PAINT:
        PaintPageView(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_DRAWITEM:
        OnFieldButtonMessage(window, message, wParam, lParam);
        return 1;
    case WM_COMMAND:
        // A field button, clicked or posted, first stores what an open edit bar holds.
        if (HIWORD(wParam) == BN_CLICKED && CommitEditBarForCommand(message, wParam, lParam))
            OnFieldButtonMessage(window, message, wParam, lParam);
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        ScrollPageView(window, message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        gPageButtonDown = 1;
        SetFocus(window);
        return 0;
    case WM_LBUTTONUP:
        OnPageViewClick(window, lParam);
        return 0;
    case WM_SIZING:
        return 0;
    case WM_DROPFILES:
        OnPageViewDrop(window, (HDROP)wParam);
        return 0;
    case WM_PAGE_RESETSCROLL: {
        gPageScrollX = gPageScrollY = 0;
        ResetScrollBars(window, 0);
        return 0;
    }
    case WM_PAGE_CLEAR:
        if (gScaledPageBitmap)
            DeleteObject(gScaledPageBitmap);
        gScaledPageBitmap = NULL;
        gPageScrollX = gPageScrollY = 0;
        gPageScrollMaxX = gPageScrollMaxY = 0;
        ResetScrollBars(window, 1);
        // A return closed (or emptied of its pages): the next one opens at the start zoom.
        if (wParam == PAGE_CLEAR_RESET)
            gZoom = gLastPaintZoom = PAGE_ZOOM_START;
        return 0;
    case WM_PAGE_REDRAWFIELD:
        RedrawRequestedFields((const PageRedrawBlock *)lParam);
        return 0;
    case WM_PAGE_GOTOFIELD:
        OnPageViewGotoField(window, wParam ? 1 : 0, (int)lParam);
        return 0;
    case WM_PAGE_GETSCALED:
        return (LRESULT)gScaledPageBitmap;
    case WM_PAGE_AMENDED:
        OnPageViewAmended(window, (int)lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
