// The Summary and Status pages as plain white pages of the form-page size, until their
// contents are drawn.
#include "pages/pages.h"

#include <commctrl.h>

HBITMAP RenderSummaryPage(HWND progressBar, OpenReturn *returnRecord, int mode, int forPrint)
{
    if (progressBar)
        SendMessageA(progressBar, PBM_SETPOS, 10, 0);
    HBITMAP result = NULL;
    if (forPrint) {
        result = CreateDibBitmap(PAGE_CANVAS_WIDTH, PAGE_CANVAS_HEIGHT, 4, WHITENESS, NULL, NULL);
    } else if (gPageBitmap) {
        HDC dc = CreateCompatibleDC(NULL);
        if (dc) {
            HGDIOBJ old = SelectObject(dc, gPageBitmap);
            if (GetBitmapBitsPerPixel(gPageBitmap) == 4)
                LoadCanvasPalette(dc, 0);
            int width = 0, height = 0;
            GetBitmapSize(gPageBitmap, &width, &height);
            PatBlt(dc, 0, 0, width, height, WHITENESS);
            SelectObject(dc, old);
            DeleteDC(dc);
        }
    }
    if (progressBar)
        SendMessageA(progressBar, PBM_SETPOS, 100, 0);
    return result;
}
