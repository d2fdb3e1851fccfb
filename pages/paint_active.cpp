// paint_active.cpp - fields painted into the page view's scaled bitmap with the input shading:
// each field's block is made at page size (shaded, tinted or filled, with its value), resampled
// to the view size and composited over the scaled page.
#include "pages/pages.h"
#include "ui/ui.h"
#include "store/store.h"

#include <string.h>

#define LABEL_ICON_BITMAP 241

// A 24-bit block of width x height in its own DC.
struct FieldBlock {
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ old;
    int width, height;
};

static int OpenBlock(FieldBlock *block, int width, int height)
{
    memset(block, 0, sizeof(*block));
    if (width <= 0 || height <= 0) return 0;
    block->bitmap = CreateDibBitmap(width, height, 24, 0, NULL, NULL);
    if (!block->bitmap) return 0;
    block->dc = CreateCompatibleDC(NULL);
    block->old = SelectObject(block->dc, block->bitmap);
    block->width = width;
    block->height = height;
    return 1;
}

static void CloseBlockDc(FieldBlock *block)
{
    if (block->dc) {
        SelectObject(block->dc, block->old);
        DeleteDC(block->dc);
        block->dc = NULL;
    }
}

static void FillBlock(FieldBlock *block, COLORREF colour)
{
    RECT all = {0, 0, block->width, block->height};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(block->dc, &all, brush);
    DeleteObject(brush);
}

// Copies the field's area of the page bitmap into the block.
static void CopyPageArea(FieldBlock *block, HBITMAP pageBitmap, const RECT &area)
{
    HDC pageDc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(pageDc, pageBitmap);
    if (old) {
        BitBlt(block->dc, 0, 0, block->width, block->height, pageDc, area.left, area.top, SRCCOPY);
        SelectObject(pageDc, old);
    } else {
        FillBlock(block, RGB(255, 255, 255));
    }
    DeleteDC(pageDc);
}

// The block resampled to the view size (the block is deleted).
static HBITMAP ScaleBlock(FieldBlock *block, int width, int height)
{
    CloseBlockDc(block);
    HBITMAP scaled = NULL;
    if (block->width == width && block->height == height) {
        scaled = block->bitmap;
        block->bitmap = NULL;
        return scaled;
    }
    scaled = ResizeBitmap(block->bitmap, width, height);
    if (!scaled) {
        // One side grew by rounding while the other shrank: stretch instead.
        scaled = CreateDibBitmap(width, height, 24, WHITENESS, NULL, NULL);
        if (scaled) {
            HDC s = CreateCompatibleDC(NULL), d = CreateCompatibleDC(NULL);
            HGDIOBJ os = SelectObject(s, block->bitmap), od = SelectObject(d, scaled);
            SetStretchBltMode(d, HALFTONE);
            StretchBlt(d, 0, 0, width, height, s, 0, 0, block->width, block->height, SRCCOPY);
            SelectObject(s, os);
            SelectObject(d, od);
            DeleteDC(s);
            DeleteDC(d);
        }
    }
    DeleteObject(block->bitmap);
    block->bitmap = NULL;
    return scaled;
}

// A top-down 24-bit DIB section of width x height; *bitsOut its rows, *strideOut their length.
static HBITMAP CreateRowsBitmap(int width, int height, unsigned char **bitsOut, int *strideOut)
{
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (bitmap && !bits) {
        DeleteObject(bitmap);
        bitmap = NULL;
    }
    *bitsOut = (unsigned char *)bits;
    *strideOut = (width * 3 + 3) & ~3;
    return bitmap;
}

// The first and one-past-last source pixel whose share lands in outputs [from, to).
static int FindSourceSpan(const ResampleStep *steps, int count, int outputs, int from, int to, int *first, int *end)
{
    *first = count;
    *end = 0;
    for (int i = 0; i < count; i++) {
        int o = steps[i].output;
        int carried = steps[i].carry > 0 && o + 1 < outputs && o + 1 >= from && o + 1 < to;
        if ((o >= from && o < to) || carried) {
            if (i < *first) *first = i;
            *end = i + 1;
        }
    }
    return *first < *end;
}

// The pixels that ResizeBitmap(pageBitmap, width, height) gives inside area (view pixels),
// computed from the page's pixels under it alone with the same weights and sums. Null when the
// copy is not a shrunk one (every zoom of the page view shrinks) or area leaves it.
static HBITMAP ScalePageArea(HBITMAP pageBitmap, int width, int height, const RECT &area)
{
    int sw = 0, sh = 0;
    if (!GetBitmapSize(pageBitmap, &sw, &sh) || width >= sw || height >= sh || area.left < 0 || area.top < 0 ||
        area.right > width || area.bottom > height || area.right <= area.left || area.bottom <= area.top)
        return NULL;
    int aw = area.right - area.left, ah = area.bottom - area.top;
    ResampleStep *tx = BuildResampleTable(sw, width, 1), *ty = BuildResampleTable(sh, height, 1);
    int x0, x1, y0, y1;
    HBITMAP result = NULL;
    if (tx && ty && FindSourceSpan(tx, sw, width, area.left, area.right, &x0, &x1) &&
        FindSourceSpan(ty, sh, height, area.top, area.bottom, &y0, &y1)) {
        unsigned char *src = NULL, *dst = NULL;
        int sstride = 0, dstride = 0;
        HBITMAP source = CreateRowsBitmap(x1 - x0, y1 - y0, &src, &sstride);
        result = CreateRowsBitmap(aw, ah, &dst, &dstride);
        unsigned *sums = (unsigned *)MemAlloc(64, (size_t)aw * 3 * (ah + 1) * sizeof(unsigned));
        if (source && result && sums) {
            HDC from = CreateCompatibleDC(NULL), to = CreateCompatibleDC(NULL);
            HGDIOBJ oldFrom = SelectObject(from, pageBitmap), oldTo = SelectObject(to, source);
            BitBlt(to, 0, 0, x1 - x0, y1 - y0, from, x0, y0, SRCCOPY);
            SelectObject(from, oldFrom);
            SelectObject(to, oldTo);
            DeleteDC(from);
            DeleteDC(to);
            GdiFlush();
            // Each source row's sums per output column, weighted into its output row and (its
            // carry) the next one: the sums ResizeBitmap makes, in the same 32-bit arithmetic.
            unsigned *row = sums + (size_t)aw * 3 * ah;
            for (int y = y0; y < y1; y++) {
                memset(row, 0, (size_t)aw * 3 * sizeof(unsigned));
                const unsigned char *pixels = src + (size_t)(y - y0) * sstride;
                for (int x = x0; x < x1; x++) {
                    const ResampleStep &t = tx[x];
                    const unsigned char *p = pixels + 3 * (x - x0);
                    int o = t.output - area.left;
                    for (int c = 0; c < 3; c++) {
                        if (o >= 0 && o < aw) row[3 * o + c] += (unsigned)t.current * p[c];
                        if (t.carry > 0 && t.output + 1 < width && o + 1 >= 0 && o + 1 < aw)
                            row[3 * (o + 1) + c] += (unsigned)t.carry * p[c];
                    }
                }
                const ResampleStep &v = ty[y];
                int r = v.output - area.top;
                int n = aw * 3;
                for (int k = 0; k < n; k++) {
                    if (r >= 0 && r < ah) sums[r * n + k] += row[k] * (unsigned)v.current;
                    if (v.carry > 0 && r + 1 >= 0 && r + 1 < ah) sums[(r + 1) * n + k] += row[k] * (unsigned)v.carry;
                }
            }
            for (int r = 0; r < ah; r++)
                for (int k = 0; k < aw * 3; k++)
                    dst[(size_t)r * dstride + k] = (unsigned char)(sums[(size_t)r * aw * 3 + k] >> 24);
        } else if (result) {
            DeleteObject(result);
            result = NULL;
        }
        MemFree(sums);
        if (source) DeleteObject(source);
    }
    MemFree(tx);
    MemFree(ty);
    return result;
}

// Puts the freshly scaled page back under a field of the view before the field is composited
// again: its edges are the scaled page's own pixels, and those of a value it no longer holds
// must not stay.
static void RestoreScaledPageArea(HDC viewDc, HBITMAP pageBitmap, HBITMAP viewBitmap, const RECT &viewRect)
{
    int width = 0, height = 0;
    if (!GetBitmapSize(viewBitmap, &width, &height)) return;
    HBITMAP fresh = ScalePageArea(pageBitmap, width, height, viewRect);
    if (!fresh) return;
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, fresh);
    BitBlt(viewDc, viewRect.left, viewRect.top, viewRect.right - viewRect.left, viewRect.bottom - viewRect.top, dc, 0,
           0, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(fresh);
}

static void DrawLabelIcon(FieldBlock *block)
{
    HBITMAP icon = LoadBitmapA(gInstance ? gInstance : GetModuleHandleA(NULL), MAKEINTRESOURCEA(LABEL_ICON_BITMAP));
    if (!icon) return;
    int w = 0, h = 0;
    GetBitmapSize(icon, &w, &h);
    HDC iconDc = CreateCompatibleDC(block->dc);
    HGDIOBJ old = SelectObject(iconDc, icon);
    int side = block->height - 1;
    SetStretchBltMode(block->dc, COLORONCOLOR);
    StretchBlt(block->dc, 0, 0, side, side, iconDc, 0, 0, w, h, SRCCOPY);
    SelectObject(iconDc, old);
    DeleteDC(iconDc);
    DeleteObject(icon);
}

int DrawActiveFieldAt(FieldRecord *fields, int count, HBITMAP pageBitmap, HBITMAP viewBitmap, float zoom,
                      COLORREF shadeColour, int offsetX, int offsetY, HWND view, int invalidate, int drawEmpty,
                      const FormInstance *page)
{
    if (!fields || count <= 0 || !viewBitmap || zoom <= 0) return 0;
    if (gViewOnly) shadeColour = RGB(255, 255, 255);
    RGBQUAD *colourTable = NULL;
    for (int i = 0; i < count; i++)
        if (fields[i].typeCode && strstr(fields[i].typeCode, "x[o")) {
            int entries = 0;
            colourTable = GetDibColorTable(NULL, pageBitmap, &entries);
            break;
        }
    int returnType = GetReturnType(NULL);
    HDC viewDc = CreateCompatibleDC(NULL);
    HGDIOBJ oldView = SelectObject(viewDc, viewBitmap);
    int painted = 0;

    for (int i = 0; i < count; i++) {
        FieldRecord *field = &fields[i];
        if (!field->rect) continue;
        RECT area = *field->rect;
        if (area.right <= area.left) area.right = area.left + 15;
        if (area.bottom <= area.top) area.bottom = area.top + 15;
        const char *type = field->typeCode ? field->typeCode : "";
        int linked = field->second && field->second[0] && field->seqPrefix && field->seqPrefix[0] == '@';
        int hasValue = field->value && field->value[0];
        int white = type[0] == 'C' || type[0] == 'L' || type[0] == 'B' ||
                    (type[0] == 'T' && strlen(type) >= 3 && type[2] == '0' && returnType != 0);
        COLORREF background = white ? RGB(255, 255, 255) : shadeColour;
        RECT viewRect = {(LONG)(area.left * zoom + 0.5f), (LONG)(area.top * zoom + 0.5f),
                         (LONG)(area.right * zoom + 0.5f), (LONG)(area.bottom * zoom + 0.5f)};
        int viewWidth = viewRect.right - viewRect.left, viewHeight = viewRect.bottom - viewRect.top;
        if (viewWidth <= 0 || viewHeight <= 0) continue;
        int pageWidth = area.right - area.left, pageHeight = area.bottom - area.top;
        RECT blockRect = {0, 0, pageWidth, pageHeight};
        int boxType = strstr(type, "x[o") != NULL;

        HBITMAP scaled = NULL;
        FieldBlock block;
        int wholeBlock = 0;   // the block holds the page's own pixels of the whole area
        if (boxType) {
            if (!OpenBlock(&block, pageWidth, pageHeight)) continue;
            CopyPageArea(&block, pageBitmap, area);
            ShadeBoxInterior(block.dc, &blockRect, background, colourTable);
            if (hasValue) DrawFieldData(block.dc, NULL, field, 1, &blockRect, background, 0, 0, page);
            scaled = ScaleBlock(&block, viewWidth, viewHeight);
        } else if (IsTaggedFieldType(type) || GetCombBoxCount(field)) {
            // The page's own pixels, tinted: reverse video, or a comb's dividers, stay in view.
            if (!OpenBlock(&block, pageWidth, pageHeight)) continue;
            CopyPageArea(&block, pageBitmap, area);
            if (strcmp(type, "S[sig]") == 0 && field->second)
                DrawSignatureImage(block.dc, &blockRect, field->second, GetFieldSecondLength(field), 0);
            int opaque = linked || StartsWithText(field->valueList, "DRAWOPAQUE");
            TintFieldArea(block.dc, &blockRect, background, opaque);
            if (hasValue) DrawFieldData(block.dc, NULL, field, 1, &blockRect, background, 0, 0, page);
            scaled = ScaleBlock(&block, viewWidth, viewHeight);
            wholeBlock = 1;
        } else if (!hasValue && !linked && !drawEmpty) {
            if (!OpenBlock(&block, viewWidth, viewHeight)) continue;
            FillBlock(&block, background);
            scaled = ScaleBlock(&block, viewWidth, viewHeight);
        } else {
            if (!OpenBlock(&block, pageWidth, pageHeight)) continue;
            FillBlock(&block, background);
            if (hasValue) DrawFieldData(block.dc, NULL, field, 1, &blockRect, background, 0, 0, page);
            if (type[0] == 'L' && !StartsWithText(type, "L-")) DrawLabelIcon(&block);
            scaled = ScaleBlock(&block, viewWidth, viewHeight);
        }
        if (!scaled) continue;

        HDC blockDc = CreateCompatibleDC(NULL);
        HGDIOBJ oldBlock = SelectObject(blockDc, scaled);
        int x = viewRect.left, y = viewRect.top;
        if (wholeBlock) {
            // Copied whole: ink of a removed signature on the field's edge rows must not stay.
            BitBlt(viewDc, x, y, viewWidth, viewHeight, blockDc, 0, 0, SRCCOPY);
        } else {
            // A repaint after the page was scaled (the screen follows at once) starts from the
            // page as it is now, so that it leaves what a freshly scaled page shows.
            if (invalidate) RestoreScaledPageArea(viewDc, pageBitmap, viewBitmap, viewRect);
            if (viewWidth > 2 && viewHeight > 1)
                PatBlt(viewDc, x + 1, y, viewWidth - 2, viewHeight - 1, WHITENESS);
            if (viewWidth > 2 && viewHeight > 2)
                BitBlt(viewDc, x + 1, y + 1, viewWidth - 2, viewHeight - 2, blockDc, 1, 1, SRCCOPY);
            if (!boxType) BitBlt(viewDc, x, y, viewWidth, viewHeight, blockDc, 0, 0, SRCAND);
        }
        SelectObject(blockDc, oldBlock);
        DeleteDC(blockDc);
        DeleteObject(scaled);
        painted++;

        OffsetRect(&viewRect, offsetX, offsetY);
        if (invalidate && view) InvalidateRect(view, &viewRect, FALSE);
    }
    SelectObject(viewDc, oldView);
    DeleteDC(viewDc);
    MemFree(colourTable);
    return painted;
}

int DrawActiveField(FieldRecord *fields, int count, HBITMAP pageBitmap, HBITMAP viewBitmap, int fromX, int toX,
                    int fromY, int toY, int reserved, int invalidate, int drawEmpty)
{
    (void)reserved;
    COLORREF shade = GetFieldShadeColor(NULL, pageBitmap);
    return DrawActiveFieldAt(fields, count, pageBitmap, viewBitmap, gZoom, shade, toX - fromX, toY - fromY,
                             gPageViewWindow, invalidate, drawEmpty, (FormInstance *)GetCurrentDocument(4));
}
