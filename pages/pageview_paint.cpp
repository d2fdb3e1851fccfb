// The page view's geometry, painting and scrolling. Every product and division of page and
// screen coordinates is 32-bit float; products are truncated toward zero before integer sums.
#include "pages/pages_private.h"
#include "ui/ui.h"
#include "store/store.h"
#include "calc/calc.h"

#include <string.h>

static int sHintFirstTime = 1;   // the empty-page hint erases its background the first time


static int ClampScroll(int position, int maximum)
{
    if (maximum < 0)
        maximum = 0;
    if (position > maximum)
        position = maximum;
    return position < 0 ? 0 : position;
}

static void SetPageScrollBars(HWND window, int clientWidth, int clientHeight, int scaledWidth, int scaledHeight)
{
    gPageScrollMaxX = 2 * gPageMarginX - clientWidth + scaledWidth;
    if (gPageScrollMaxX < 0)
        gPageScrollMaxX = 0;
    gPageScrollMaxY = 2 * gPageMarginY - clientHeight + scaledHeight;
    if (gPageScrollMaxY < 0)
        gPageScrollMaxY = 0;
    gPageScrollX = ClampScroll(gPageScrollX, gPageScrollMaxX);
    gPageScrollY = ClampScroll(gPageScrollY, gPageScrollMaxY);
    SCROLLINFO si;
    memset(&si, 0, sizeof(si));
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = scaledWidth - 1 + 2 * gPageMarginX;
    si.nPage = (UINT)(clientWidth > 0 ? clientWidth : 0);
    si.nPos = gPageScrollX;
    SetScrollInfo(window, SB_HORZ, &si, TRUE);
    si.nMax = scaledHeight - 1 + 2 * gPageMarginY;
    si.nPage = (UINT)(clientHeight > 0 ? clientHeight : 0);
    si.nPos = gPageScrollY;
    SetScrollInfo(window, SB_VERT, &si, TRUE);
}

static void PositionButtons(HWND window, int zoomChanged)
{
    FormInstance *form = (FormInstance *)GetCurrentDocument(4);
    if (form)   // the slots are made on the first paint
        PositionFieldButtons(window, form, gPageScrollX, gPageMarginX, gPageScrollY, gPageMarginY, zoomChanged);
}

void PaintPageView(HWND window)
{
    PAINTSTRUCT ps;
    if (!gPageShown) {
        RECT update;
        if (GetUpdateRect(window, &update, FALSE)) {
            HDC dc = BeginPaint(window, &ps);
            DrawEmptyPageHint(dc, &ps.rcPaint, sHintFirstTime);
            sHintFirstTime = 0;
            EndPaint(window, &ps);
        }
        return;
    }
    HDC dc = BeginPaint(window, &ps);
    int bitmapWidth = 0, bitmapHeight = 0;
    GetBitmapSize(gPageBitmap, &bitmapWidth, &bitmapHeight);
    int scaledWidth = ScalePageLength(bitmapWidth, gZoom), scaledHeight = ScalePageLength(bitmapHeight, gZoom);
    RECT client;
    GetClientRect(window, &client);
    ShowScrollBar(window, SB_HORZ, client.right < scaledWidth);
    ShowScrollBar(window, SB_VERT, client.bottom < scaledHeight);
    GetClientRect(window, &client);

    // A zoom "change" to the zoom the scaled copy was made at keeps the copy: nothing to rescale.
    if ((gPageViewFlags & PAGE_VIEW_ZOOMED) && !(gPageViewFlags & PAGE_VIEW_NEWPAGE) && gZoom == gLastPaintZoom &&
        IsScaledPageCurrent(gScaledPageBitmap, scaledWidth, scaledHeight))
        gPageViewFlags &= ~PAGE_VIEW_ZOOMED;
    if (gPageViewFlags & (PAGE_VIEW_ZOOMED | PAGE_VIEW_NEWPAGE) || !gScaledPageBitmap) {
        if (gScaledPageBitmap && !DeleteObject(gScaledPageBitmap)) {
            // The handle is unusable either way; the next paint makes a new one.
            gScaledPageBitmap = NULL;
            EndPaint(window, &ps);
            ShowMessageBox(gMainWindow, "Unable to clean up graphics resource.", "Error", MB_OK | MB_ICONERROR);
            return;
        }
        gScaledPageBitmap = ResizeBitmap(gPageBitmap, scaledWidth, scaledHeight);
        ComputePageMargins(client.right, client.bottom, scaledWidth, scaledHeight, &gPageMarginX, &gPageMarginY);
        FieldTable *table = (FieldTable *)GetCurrentDocument(3);
        if (table && table->fields && table->count > 0) {
            PageRedrawBlock request = {table->fields, table->count, 0, 0, 0};
            SendMessageA(window, WM_PAGE_REDRAWFIELD, 0, (LPARAM)&request);
        }
        if (gPageViewFlags & PAGE_VIEW_NEWPAGE) {
            gPageViewFlags &= ~PAGE_VIEW_NEWPAGE;
            gPageScrollX = gPageScrollY = 0;
        }
        // The zoom this bitmap was made at, for the next zoom change (a zoom change keeps
        // its own last zoom until its paint below).
        if (!(gPageViewFlags & PAGE_VIEW_ZOOMED))
            gLastPaintZoom = gZoom;
    }
    if (!gScaledPageBitmap) {
        FillRect(dc, &ps.rcPaint, (HBRUSH)GetStockObject(GRAY_BRUSH));
        EndPaint(window, &ps);
        return;
    }

    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(memory, gScaledPageBitmap);
    int finished = 0;
    if (!(gPageViewFlags & PAGE_VIEW_ZOOMED)) {
        if (gPageViewFlags & PAGE_VIEW_RESIZED) {
            int mx, my;
            ComputePageMargins(client.right, client.bottom, scaledWidth, scaledHeight, &mx, &my);
            gPageScrollX = ClampScroll(gPageScrollX, 2 * mx - ps.rcPaint.right + scaledWidth);
            gPageScrollY = ClampScroll(gPageScrollY, 2 * my - ps.rcPaint.bottom + scaledHeight);
            if (mx == gPageMarginX && my == gPageMarginY) {
                gPageViewFlags &= ~PAGE_VIEW_RESIZED;
            } else {
                gPageMarginX = mx;
                gPageMarginY = my;
                ValidateRect(window, NULL);
                InvalidateRect(window, NULL, FALSE);
                finished = 1;
            }
        }
        if (!finished) {
            RECT dest;
            POINT source;
            if (ComputePaintCopy(&ps.rcPaint, gPageMarginX, gPageMarginY, gPageScrollX, gPageScrollY, scaledWidth,
                                 scaledHeight, &dest, &source))
                BitBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, memory, source.x,
                       source.y, SRCCOPY);
            PositionButtons(window, 0);
        }
    } else {
        AdjustScrollForZoom(gZoom, gLastPaintZoom, client.right, client.bottom, scaledWidth, scaledHeight,
                            GetSystemMetrics(SM_CYHSCROLL), &gPageScrollX, &gPageScrollY);
        BitBlt(dc, gPageMarginX, gPageMarginY, scaledWidth, scaledHeight, memory, gPageScrollX, gPageScrollY,
               SRCCOPY);
        PositionButtons(window, 1);
        gPageViewFlags &= ~PAGE_VIEW_ZOOMED;
        gLastPaintZoom = gZoom;
    }
    if (!finished) {
        SetPageScrollBars(window, client.right, client.bottom, scaledWidth, scaledHeight);
        RECT strips[4];
        int n = ComputeMarginStrips(client.right, client.bottom, gPageMarginX, gPageMarginY, gPageScrollX,
                                    gPageScrollY, scaledWidth, scaledHeight, strips);
        for (int i = 0; i < n; i++)
            FillRect(dc, &strips[i], (HBRUSH)GetStockObject(GRAY_BRUSH));
    }
    int reset = SelectObject(memory, oldBitmap) != NULL;
    DeleteDC(memory);
    EndPaint(window, &ps);
    if (!reset)
        ShowMessageBox(gMainWindow, "Unable to reset system bitmap.", "Error", MB_OK | MB_ICONERROR);
    PostAmendedCommit(window);
}

void ScrollPageView(HWND window, int bar, int code, int thumb)
{
    if (gEditBarContainer)
        return;
    RECT client;
    GetClientRect(window, &client);
    int *position = bar == SB_HORZ ? &gPageScrollX : &gPageScrollY;
    int maximum = bar == SB_HORZ ? gPageScrollMaxX : gPageScrollMaxY;
    int line = bar == SB_HORZ ? PAGE_VIEW_LINE_X : PAGE_VIEW_LINE_Y;
    int page = bar == SB_HORZ ? client.right : client.bottom;
    int next;
    switch (code) {
    case SB_LINEUP:
        next = *position - line;
        break;
    case SB_LINEDOWN:
        next = *position + line;
        break;
    case SB_PAGEUP:
        next = *position - page;
        break;
    case SB_PAGEDOWN:
        next = *position + page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        next = thumb;
        break;
    default:
        return;
    }
    next = ClampScroll(next, maximum);
    if (next == *position)
        return;
    int delta = next - *position;
    *position = next;
    ScrollWindowEx(window, bar == SB_HORZ ? -delta : 0, bar == SB_VERT ? -delta : 0, NULL, NULL, NULL, NULL,
                   SW_INVALIDATE);
    UpdateWindow(window);
    SetScrollPos(window, bar, next, TRUE);
}
