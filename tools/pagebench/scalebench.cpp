// pagebench scale: ways of making the page view's scaled copy of a rendered page (2400 x 3168,
// 4-bit) at the default zoom (720 x 950), timed: the program's ResizeBitmap (area average, from
// the palette bits), and GDI's StretchBlt in its HALFTONE and COLORONCOLOR modes into a
// screen-compatible bitmap. Only ResizeBitmap gives the page view's pixels; the others are for
// comparison.
#include "tools/pagebench/pagebench.h"
#include "pages/pages.h"

#include <stdio.h>
#include <string>

static HBITMAP StretchCopy(HBITMAP page, int width, int height, int mode)
{
    HDC screen = GetDC(NULL);
    HBITMAP result = CreateCompatibleBitmap(screen, width, height);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HGDIOBJ oldFrom = SelectObject(from, page), oldTo = SelectObject(to, result);
    SetStretchBltMode(to, mode);
    SetBrushOrgEx(to, 0, 0, NULL);
    int w = 0, h = 0;
    GetBitmapSize(page, &w, &h);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, w, h, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(NULL, screen);
    return result;
}

int RunScaleBench(const std::string &stream)
{
    HBITMAP page = RenderPclRange((const unsigned char *)stream.data(), 0, (unsigned)stream.size(), 0, NULL, NULL,
                                  NULL, NULL);
    if (!page) {
        printf("scale failed: no page\n");
        return 1;
    }
    const char *names[3] = {"scale_resizebitmap", "scale_stretchblt_halftone", "scale_stretchblt_coloroncolor"};
    for (int way = 0; way < 3; way++) {
        double times[21];
        for (int i = 0; i < 21; i++) {
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            HBITMAP scaled = way == 0 ? ResizeBitmap(page, 720, 950)
                                      : StretchCopy(page, 720, 950, way == 1 ? HALFTONE : COLORONCOLOR);
            QueryPerformanceCounter(&b);
            DeleteObject(scaled);
            times[i] = ElapsedMs(a, b);
        }
        printf("%s median_ms=%.2f\n", names[way], MedianOf(times, 21));
    }
    DeleteObject(page);
    fflush(stdout);
    return 0;
}
