// The page view's geometry. Every product and division of page and screen coordinates is
// 32-bit float; products are truncated toward zero before integer sums.
#include "pages/pages.h"

int ScalePageLength(int length, float zoom)
{
    int scaled = (int)((float)length * zoom);
    return scaled < 1 ? 1 : scaled;
}

int PageToClient(int pageCoord, float zoom, int scroll, int margin)
{
    return (int)((float)pageCoord * zoom) - scroll + margin;
}

int ClientToPage(unsigned clientCoord, int margin, int scroll, float zoom)
{
    return (int)((float)((int)clientCoord - margin + scroll) / zoom + 0.5f);
}

void ComputePageMargins(int clientWidth, int clientHeight, int scaledWidth, int scaledHeight, int *marginX,
                        int *marginY)
{
    int mx = scaledWidth < clientWidth ? (clientWidth - scaledWidth) / 2 : 0;
    int my;
    if (scaledHeight < clientHeight)
        my = (clientHeight - scaledHeight) / 2;
    else
        my = mx ? (mx < 10 ? mx : 10) : 0;
    *marginX = mx;
    *marginY = my;
}

void AdjustScrollForZoom(float zoom, float last, int clientWidth, int clientHeight, int scaledWidth, int scaledHeight,
                         int hScrollHeight, int *scrollX, int *scrollY)
{
    // No zoom of an earlier rebuild: nothing to keep in proportion (dividing by it would throw
    // the page out of sight).
    if (!(last > 0.0f))
        return;
    int x = *scrollX, y = *scrollY;
    if (zoom <= last) {
        x = (int)((float)x * zoom / last);
        y = (int)((float)y * zoom / last);
        int h = 0, skipVertical = 0;
        if (x != 0 && x + clientWidth + 2 > scaledWidth) {
            x = scaledWidth - clientWidth > 0 ? scaledWidth - clientWidth : 0;
            if (x == 0) {
                // The horizontal bar goes away: the view grows by its height.
                h = hScrollHeight;
                y -= h;
                if (y < 0) {
                    y = 0;
                    skipVertical = 1;
                }
            }
        }
        if (!skipVertical && y != 0 && y + clientHeight + 2 > scaledHeight) {
            y = scaledHeight - h - clientHeight;
            if (y < 0)
                y = 0;
        }
    } else {
        x = (int)((float)x / last * zoom);
        y = (int)((float)y / last * zoom);
    }
    *scrollX = x;
    *scrollY = y;
}

// One axis of the painted area: a span starting before the page's edge begins at the edge and is
// cut to what is left of the page (remaining); one starting on the page is kept.
static void ClipPaintSpan(int from, int to, int pageEdge, int remaining, int *startOut, int *endOut)
{
    if (from < pageEdge) {
        int extent = to - pageEdge;
        if (remaining < extent)
            extent = remaining;
        *startOut = pageEdge;
        *endOut = pageEdge + extent;
    } else {
        *startOut = from;
        *endOut = to;
    }
}

int ComputePaintCopy(const RECT *paint, int marginX, int marginY, int scrollX, int scrollY, int scaledWidth,
                     int scaledHeight, RECT *dest, POINT *source)
{
    int width = paint->right - paint->left, height = paint->bottom - paint->top;
    int sx, sy;
    if ((marginX == 0 && marginY == 0) || width <= 0 || height <= 0) {
        sx = scrollX + paint->left;
        sy = paint->top - marginY + scrollY;
        SetRect(dest, marginX + paint->left, paint->top, marginX + paint->left + width, paint->top + height);
    } else {
        int pageLeft = marginX - scrollX > 0 ? marginX - scrollX : 0;
        int pageTop = marginY - scrollY > 0 ? marginY - scrollY : 0;
        int left, right, top, bottom;
        ClipPaintSpan(paint->left, paint->right, pageLeft, scaledWidth - scrollX, &left, &right);
        ClipPaintSpan(paint->top, paint->bottom, pageTop, scaledHeight - scrollY, &top, &bottom);
        SetRect(dest, left, top, right, bottom);
        sx = paint->left - pageLeft + scrollX;
        sy = paint->top - marginY + scrollY;
        if (sx < 0)
            sx = 0;
        if (sy < 0)
            sy = 0;
    }
    source->x = sx;
    source->y = sy;
    return sx >= 0 && sy >= 0 && sx < scaledWidth && sy < scaledHeight;
}

int ComputeMarginStrips(int clientWidth, int clientHeight, int marginX, int marginY, int scrollX, int scrollY,
                        int scaledWidth, int scaledHeight, RECT strips[4])
{
    int left = marginX - scrollX, top = marginY - scrollY;
    int right = left + scaledWidth, bottom = top + scaledHeight;
    int n = 0;
    int bandTop = top > 0 ? top : 0, bandBottom = bottom < clientHeight ? bottom : clientHeight;
    if (top > 0)
        SetRect(&strips[n++], 0, 0, clientWidth, top < clientHeight ? top : clientHeight);
    if (left > 0 && bandBottom > bandTop)
        SetRect(&strips[n++], 0, bandTop, left < clientWidth ? left : clientWidth, bandBottom);
    if (right < clientWidth && bandBottom > bandTop)
        SetRect(&strips[n++], right > 0 ? right : 0, bandTop, clientWidth, bandBottom);
    if (bottom < clientHeight)
        SetRect(&strips[n++], 0, bottom > 0 ? bottom : 0, clientWidth, clientHeight);
    return n;
}

void GetFieldClientRect(const RECT *pageRect, RECT *out)
{
    out->left = PageToClient(pageRect->left, gZoom, gPageScrollX, gPageMarginX);
    out->top = PageToClient(pageRect->top, gZoom, gPageScrollY, gPageMarginY);
    out->right = PageToClient(pageRect->right, gZoom, gPageScrollX, gPageMarginX);
    out->bottom = PageToClient(pageRect->bottom, gZoom, gPageScrollY, gPageMarginY);
}

