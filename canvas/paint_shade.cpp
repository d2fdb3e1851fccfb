// paint_shade.cpp - shading of field areas: tinting a field's rectangle and shading (or clearing)
// the interior of a drawn check box. Both work on a 32-bit copy of the area, so the result is
// the same whatever the target's pixel format.
#include "canvas/canvas.h"

#include <string.h>

// A 32-bit top-down copy of a rectangle of a device context.
struct AreaPixels {
    HDC dc;
    HBITMAP dib;
    HGDIOBJ old;
    uint32_t *pixels;   // 0x00RRGGBB
    int width, height;
};

static int ReadArea(HDC source, const RECT *rect, AreaPixels *area)
{
    memset(area, 0, sizeof(*area));
    area->width = rect->right - rect->left;
    area->height = rect->bottom - rect->top;
    if (!source || area->width <= 0 || area->height <= 0) return 0;
    BITMAPINFO info;
    memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = area->width;
    info.bmiHeader.biHeight = -area->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    area->dib = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!area->dib) return 0;
    area->pixels = (uint32_t *)bits;
    area->dc = CreateCompatibleDC(source);
    area->old = SelectObject(area->dc, area->dib);
    BitBlt(area->dc, 0, 0, area->width, area->height, source, rect->left, rect->top, SRCCOPY);
    GdiFlush();
    return 1;
}

static void WriteAreaAndFree(HDC target, const RECT *rect, AreaPixels *area, int write)
{
    if (!area->dib) return;
    if (write) BitBlt(target, rect->left, rect->top, area->width, area->height, area->dc, 0, 0, SRCCOPY);
    SelectObject(area->dc, area->old);
    DeleteDC(area->dc);
    DeleteObject(area->dib);
    memset(area, 0, sizeof(*area));
}

static uint32_t ToPixel(COLORREF colour)
{
    return ((uint32_t)GetRValue(colour) << 16) | ((uint32_t)GetGValue(colour) << 8) | GetBValue(colour);
}

int TintFieldArea(HDC dc, const RECT *rect, COLORREF colour, int opaque)
{
    if (!dc || !rect) return 0;
    if (opaque) {
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, rect, brush);
        DeleteObject(brush);
        return 1;
    }
    AreaPixels area;
    if (!ReadArea(dc, rect, &area)) return 0;
    uint32_t mask = ToPixel(colour);
    int count = area.width * area.height;
    for (int i = 0; i < count; i++) area.pixels[i] = (area.pixels[i] & mask) & 0xFFFFFF;
    WriteAreaAndFree(dc, rect, &area, 1);
    return 1;
}

// Marks in outside[] the connected area (4 neighbours) of the seed's colour.
static void MarkSurface(const AreaPixels &area, unsigned char *outside, int *stack, int seedX, int seedY)
{
    int width = area.width, height = area.height;
    if (seedX < 0 || seedY < 0 || seedX >= width || seedY >= height) return;
    int seed = seedY * width + seedX;
    if (outside[seed]) return;
    uint32_t colour = area.pixels[seed] & 0xFFFFFF;
    int top = 0;
    stack[top++] = seed;
    outside[seed] = 1;
    while (top > 0) {
        int at = stack[--top];
        int x = at % width, y = at / width;
        const int next[4] = {x > 0 ? at - 1 : -1, x + 1 < width ? at + 1 : -1, y > 0 ? at - width : -1,
                             y + 1 < height ? at + width : -1};
        for (int n : next) {
            if (n < 0 || outside[n] || (area.pixels[n] & 0xFFFFFF) != colour) continue;
            outside[n] = 1;
            stack[top++] = n;   // each pixel is pushed at most once: the stack never overflows
        }
    }
}

// Marks (2) the box's border: the black pixels joined (8 neighbours, through black) to a pixel of
// the outside surface. Black inside the box that does not touch the border (a black check mark)
// stays interior.
static void MarkBorder(const AreaPixels &area, unsigned char *outside, int *stack)
{
    int width = area.width, height = area.height, count = width * height, top = 0;
    for (int i = 0; i < count; i++) {
        if (outside[i] || (area.pixels[i] & 0xFFFFFF) != 0) continue;
        int x = i % width, y = i / width, touches = 0;
        for (int dy = -1; dy <= 1 && !touches; dy++)
            for (int dx = -1; dx <= 1 && !touches; dx++) {
                int nx = x + dx, ny = y + dy;
                touches = nx >= 0 && ny >= 0 && nx < width && ny < height && outside[ny * width + nx] == 1;
            }
        if (!touches) continue;
        outside[i] = 2;
        stack[top++] = i;
        while (top > 0) {
            int at = stack[--top];
            int ax = at % width, ay = at / width;
            for (int dy = -1; dy <= 1; dy++)
                for (int dx = -1; dx <= 1; dx++) {
                    int nx = ax + dx, ny = ay + dy;
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
                    int n = ny * width + nx;
                    if (outside[n] || (area.pixels[n] & 0xFFFFFF) != 0) continue;
                    outside[n] = 2;
                    stack[top++] = n;   // each pixel once: the stack never overflows
                }
        }
    }
}

// The interior of the box drawn in rect: everything that the surface fills from the middles of
// the four edges and the four corners do not reach, except the black border. clear 1 makes the
// interior colour, 0 ANDs it with colour.
static int ProcessBoxInterior(HDC dc, const RECT *rect, COLORREF colour, int clear)
{
    AreaPixels area;
    if (!dc || !rect || !ReadArea(dc, rect, &area)) return 0;
    int count = area.width * area.height;
    unsigned char *outside = (unsigned char *)MemAlloc(64, (size_t)count);
    int *stack = (int *)MemAlloc(64, (size_t)count * sizeof(int));
    if (!outside || !stack) {
        MemFree(outside);
        MemFree(stack);
        WriteAreaAndFree(dc, rect, &area, 0);
        return 0;
    }
    int w = area.width - 1, h = area.height - 1;
    const int seeds[8][2] = {{w / 2, 0}, {w / 2, h}, {0, h / 2}, {w, h / 2}, {0, 0}, {w, 0}, {0, h}, {w, h}};
    for (const auto &seed : seeds) MarkSurface(area, outside, stack, seed[0], seed[1]);
    MarkBorder(area, outside, stack);
    uint32_t value = ToPixel(colour);
    for (int i = 0; i < count; i++) {
        uint32_t pixel = area.pixels[i] & 0xFFFFFF;
        if (outside[i]) continue;
        area.pixels[i] = clear ? value : (pixel & value);
    }
    MemFree(outside);
    MemFree(stack);
    WriteAreaAndFree(dc, rect, &area, 1);
    return 1;
}

int ShadeBoxInterior(HDC dc, const RECT *rect, COLORREF colour, const RGBQUAD *colourTable)
{
    (void)colourTable;   // the work copy is 32-bit: the page's colours are kept as they are
    return ProcessBoxInterior(dc, rect, colour, 0);
}

int ClearBoxInterior(HDC dc, const RECT *rect)
{
    return ProcessBoxInterior(dc, rect, RGB(255, 255, 255), 1);
}
