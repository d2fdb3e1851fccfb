// Test support for field painting and page images: a small palette canvas like the page
// canvas, pixel snapshots, ink bounds and colour counts.
#ifndef LEVYLINE_TEST_PAINT_UTIL_H
#define LEVYLINE_TEST_PAINT_UTIL_H

#include "canvas/canvas.h"
#include "tests/harness/pixels.h"

#include <string.h>
#include <vector>

// A 4-bit DIB with the canvas palette (black, silver, grey, white) selected in a memory DC.
struct TestCanvas {
    HBITMAP bitmap = NULL;
    HDC dc = NULL;
    HGDIOBJ old = NULL;
    int width = 0, height = 0;

    TestCanvas(int w, int h, int bitsPerPixel = 4) : width(w), height(h)
    {
        bitmap = CreateDibBitmap(w, h, bitsPerPixel, WHITENESS, NULL, NULL);
        dc = CreateCompatibleDC(NULL);
        old = SelectObject(dc, bitmap);
        if (bitsPerPixel <= 8) LoadCanvasPalette(dc, 1);
        AddColour(RGB(0, 0, 0xC0));   // the default field text colour 0xC00000
        Clear();
    }
    ~TestCanvas() { Release(); }
    // Deselects the bitmap (for calls that select it themselves).
    void Release()
    {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
            dc = NULL;
        }
        if (bitmap) DeleteObject(bitmap);
        bitmap = NULL;
    }
    HBITMAP Detach()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        dc = NULL;
        HBITMAP b = bitmap;
        bitmap = NULL;
        return b;
    }
    void Clear() { PatBlt(dc, 0, 0, width, height, WHITENESS); }
    void AddColour(COLORREF colour) { AddPaletteColor(dc, colour); }
    // The pixels as 0x00RRGGBB, top row first.
    std::vector<unsigned> Snap() const { return SnapDc(dc, width, height); }
    static std::vector<unsigned> SnapDc(HDC source, int w, int h) { return ::SnapDc(source, w, h); }
    // Bounds of the non-white pixels inside area (null: everything); right and bottom one past.
    RECT InkBounds(const RECT *area = NULL) const { return InkOf(Snap(), width, height, area); }
    static RECT InkOf(const std::vector<unsigned> &pixels, int w, int h, const RECT *area = NULL)
    {
        RECT r = {w, h, 0, 0};
        RECT a = {0, 0, w, h};
        if (area) a = *area;
        for (int y = a.top; y < a.bottom; y++)
            for (int x = a.left; x < a.right; x++)
                if (pixels[(size_t)y * w + x] != 0xFFFFFF) {
                    if (x < r.left) r.left = x;
                    if (y < r.top) r.top = y;
                    if (x + 1 > r.right) r.right = x + 1;
                    if (y + 1 > r.bottom) r.bottom = y + 1;
                }
        if (r.right == 0) r.left = r.top = 0;
        return r;
    }
    int CountColour(COLORREF colour, const RECT *area = NULL) const
    {
        unsigned want = ((unsigned)GetRValue(colour) << 16) | ((unsigned)GetGValue(colour) << 8) | GetBValue(colour);
        std::vector<unsigned> p = Snap();
        RECT a = {0, 0, width, height};
        if (area) a = *area;
        int n = 0;
        for (int y = a.top; y < a.bottom; y++)
            for (int x = a.left; x < a.right; x++)
                if (p[(size_t)y * width + x] == want) n++;
        return n;
    }
    SIZE MeasureText(const char *face, int height, const char *text) const
    {
        LOGFONTA f;
        memset(&f, 0, sizeof(f));
        f.lfHeight = height;
        f.lfWeight = 500;
        strcpy(f.lfFaceName, face);
        HFONT font = CreateFontIndirectA(&f);
        HGDIOBJ o = SelectObject(dc, font);
        SIZE s = {0, 0};
        GetTextExtentPoint32A(dc, text, (int)strlen(text), &s);
        SelectObject(dc, o);
        DeleteObject(font);
        return s;
    }
};

inline TextDrawParams MakeParams(int alignment, const char *text, RECT *rect)
{
    TextDrawParams p;
    memset(&p, 0, sizeof(p));
    p.alignment = alignment;
    p.textColour = RGB(0, 0, 0);
    p.backColour = RGB(255, 255, 255);
    p.text = (char *)text;
    p.rect = rect;
    p.backMode = TEXT_BACK_TRANSPARENT;
    return p;
}

inline LOGFONTA MakeFont(const char *face, int height, int weight = 500)
{
    LOGFONTA f;
    memset(&f, 0, sizeof(f));
    f.lfHeight = height;
    f.lfWeight = weight;
    f.lfQuality = NONANTIALIASED_QUALITY;
    strcpy(f.lfFaceName, face);
    return f;
}

#endif
