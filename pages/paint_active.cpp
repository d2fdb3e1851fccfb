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

// Selects a new block bitmap into a DC of its own. 0 when there is no bitmap.
static int AttachBlockBitmap(FieldBlock *block, HBITMAP bitmap, int width, int height)
{
    block->bitmap = bitmap;
    if (!bitmap) return 0;
    block->dc = CreateCompatibleDC(NULL);
    block->old = SelectObject(block->dc, bitmap);
    block->width = width;
    block->height = height;
    return 1;
}

static int OpenBlock(FieldBlock *block, int width, int height)
{
    memset(block, 0, sizeof(*block));
    if (width <= 0 || height <= 0) return 0;
    return AttachBlockBitmap(block, CreateDibBitmap(width, height, 24, 0, NULL, NULL), width, height);
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

// Copies the field's area of the page bitmap into the block (through the page's DC).
static void CopyPageArea(FieldBlock *block, HDC pageDc, const RECT &area)
{
    if (pageDc)
        BitBlt(block->dc, 0, 0, block->width, block->height, pageDc, area.left, area.top, SRCCOPY);
    else
        FillBlock(block, RGB(255, 255, 255));
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

// The work surfaces of one painting pass over a page's fields, made once for all of them: a
// page-size block as large as the largest field (each field is drawn at its top left), a
// view-size block as large as its scaled copy, both 24-bit rows in their own DCs, the row sums
// of the area average, and the page bitmap in a DC of its own.
struct FieldPass {
    FieldBlock block, view;
    unsigned char *blockBits, *viewBits;
    int blockStride, viewStride;
    unsigned *sums;   // a row's sums, then the sums of the output row being made and of the next
    HDC pageDc;
    HGDIOBJ pageOld;
};

static int OpenRowsBlock(FieldBlock *block, int width, int height, unsigned char **bitsOut, int *strideOut)
{
    memset(block, 0, sizeof(*block));
    return AttachBlockBitmap(block, CreateRowsBitmap(width, height, bitsOut, strideOut), width, height);
}

static void CloseRowsBlock(FieldBlock *block)
{
    CloseBlockDc(block);
    if (block->bitmap) DeleteObject(block->bitmap);
    block->bitmap = NULL;
}

static void ClosePass(FieldPass *pass)
{
    CloseRowsBlock(&pass->block);
    CloseRowsBlock(&pass->view);
    MemFree(pass->sums);
    pass->sums = NULL;
    if (pass->pageDc) {
        if (pass->pageOld) SelectObject(pass->pageDc, pass->pageOld);
        DeleteDC(pass->pageDc);
        pass->pageDc = NULL;
    }
}

static int OpenPass(FieldPass *pass, HBITMAP pageBitmap, int blockWidth, int blockHeight, int viewWidth,
                    int viewHeight)
{
    memset(pass, 0, sizeof(*pass));
    if (blockWidth <= 0 || blockHeight <= 0 || viewWidth <= 0 || viewHeight <= 0) return 0;
    pass->sums = (unsigned *)MemAlloc(64, (size_t)viewWidth * 9 * sizeof(unsigned));
    if (!pass->sums ||
        !OpenRowsBlock(&pass->block, blockWidth, blockHeight, &pass->blockBits, &pass->blockStride) ||
        !OpenRowsBlock(&pass->view, viewWidth, viewHeight, &pass->viewBits, &pass->viewStride)) {
        ClosePass(pass);
        return 0;
    }
    pass->pageDc = CreateCompatibleDC(NULL);
    pass->pageOld = pageBitmap ? SelectObject(pass->pageDc, pageBitmap) : NULL;
    if (!pass->pageOld) {
        // No page to copy from: areas read from it are white.
        DeleteDC(pass->pageDc);
        pass->pageDc = NULL;
    }
    return 1;
}

// The pass's block set to the field's size (page units) for drawing.
static FieldBlock *UsePassBlock(FieldPass *pass, int width, int height)
{
    pass->block.width = width;
    pass->block.height = height;
    return &pass->block;
}

// The field's block (its top-left width x height) resampled into the view block's top left at
// width x height view pixels, with the sums and rounding of ResizeBitmap: the area average when
// both sides shrink, ResizeBitmap itself (or its stretched stand-in) otherwise.
static int ScalePassBlock(FieldPass *pass, int blockWidth, int blockHeight, int width, int height)
{
    if (width >= blockWidth || height >= blockHeight) {
        FieldBlock copy;
        if (!OpenBlock(&copy, blockWidth, blockHeight)) return 0;
        BitBlt(copy.dc, 0, 0, blockWidth, blockHeight, pass->block.dc, 0, 0, SRCCOPY);
        HBITMAP scaled = ScaleBlock(&copy, width, height);
        if (!scaled) return 0;
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, scaled);
        BitBlt(pass->view.dc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(scaled);
        return 1;
    }
    ResampleStep *tx = BuildResampleTable(blockWidth, width, 1), *ty = BuildResampleTable(blockHeight, height, 1);
    if (!tx || !ty) {
        MemFree(tx);
        MemFree(ty);
        return 0;
    }
    GdiFlush();
    ShrinkPixels24(pass->blockBits, blockWidth, blockHeight, pass->blockStride, pass->viewBits, width, height,
                   pass->viewStride, tx, ty, pass->sums);
    MemFree(tx);
    MemFree(ty);
    return 1;
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
// computed from the page's pixels under it alone (read through pageDc, which holds the page) with
// the same weights and sums. Null when the copy is not a shrunk one (every zoom of the page view shrinks) or area leaves it.
static HBITMAP ScalePageArea(HBITMAP pageBitmap, HDC pageDc, int width, int height, const RECT &area)
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
            HDC to = CreateCompatibleDC(NULL);
            HGDIOBJ oldTo = SelectObject(to, source);
            BitBlt(to, 0, 0, x1 - x0, y1 - y0, pageDc, x0, y0, SRCCOPY);
            SelectObject(to, oldTo);
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
static void RestoreScaledPageArea(HDC viewDc, HBITMAP pageBitmap, HDC pageDc, HBITMAP viewBitmap, const RECT &viewRect)
{
    int width = 0, height = 0;
    if (!pageDc || !GetBitmapSize(viewBitmap, &width, &height)) return;
    HBITMAP fresh = ScalePageArea(pageBitmap, pageDc, width, height, viewRect);
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

// The field's area on the page (page units) and in the view (view pixels); 0 when it has none
// or covers no view pixel.
static int GetFieldAreas(const FieldRecord *field, float zoom, RECT *area, RECT *viewRect)
{
    if (!field->rect) return 0;
    *area = *field->rect;
    if (area->right <= area->left) area->right = area->left + 15;
    if (area->bottom <= area->top) area->bottom = area->top + 15;
    RECT v = {(LONG)(area->left * zoom + 0.5f), (LONG)(area->top * zoom + 0.5f), (LONG)(area->right * zoom + 0.5f),
              (LONG)(area->bottom * zoom + 0.5f)};
    *viewRect = v;
    return v.right > v.left && v.bottom > v.top;
}

// How a field's block is made and laid over the scaled page.
enum FieldBlockKind { BLOCK_PLAIN, BLOCK_BOX, BLOCK_TAGGED };

static int GetFieldBlockKind(const FieldRecord *field)
{
    const char *type = field->typeCode ? field->typeCode : "";
    if (strstr(type, "x[o")) return BLOCK_BOX;
    // The page's own pixels, tinted: reverse video, or a comb's dividers, stay in view.
    return IsTaggedFieldType(type) || GetCombBoxCount(field) ? BLOCK_TAGGED : BLOCK_PLAIN;
}

// What a pass paints with, the same for all its fields.
struct FieldPaint {
    float zoom;
    COLORREF shade;
    const RGBQUAD *colourTable;
    int returnType, drawEmpty;
    const FormInstance *page;
};

// Draws the field's block and leaves it scaled in the pass's view block (its top left, the
// field's view size). 0 when it could not be made.
static int PrepareFieldBlock(FieldPass *pass, FieldRecord *field, const RECT &area, const RECT &viewRect,
                             const FieldPaint &paint)
{
    const char *type = field->typeCode ? field->typeCode : "";
    int linked = field->second && field->second[0] && field->seqPrefix && field->seqPrefix[0] == '@';
    int hasValue = field->value && field->value[0];
    int white = type[0] == 'C' || type[0] == 'L' || type[0] == 'B' ||
                (type[0] == 'T' && strlen(type) >= 3 && type[2] == '0' && paint.returnType != 0);
    COLORREF background = white ? RGB(255, 255, 255) : paint.shade;
    int viewWidth = viewRect.right - viewRect.left, viewHeight = viewRect.bottom - viewRect.top;
    int pageWidth = area.right - area.left, pageHeight = area.bottom - area.top;
    RECT blockRect = {0, 0, pageWidth, pageHeight};
    FieldBlock *block = UsePassBlock(pass, pageWidth, pageHeight);
    switch (GetFieldBlockKind(field)) {
    case BLOCK_BOX:
        CopyPageArea(block, pass->pageDc, area);
        ShadeBoxInterior(block->dc, &blockRect, background, paint.colourTable);
        if (hasValue) DrawFieldData(block->dc, NULL, field, 1, &blockRect, background, 0, 0, paint.page);
        break;
    case BLOCK_TAGGED: {
        CopyPageArea(block, pass->pageDc, area);
        if (strcmp(type, "S[sig]") == 0 && field->second)
            DrawSignatureImage(block->dc, &blockRect, field->second, GetFieldSecondLength(field), 0);
        int opaque = linked || StartsWithText(field->valueList, "DRAWOPAQUE");
        TintFieldArea(block->dc, &blockRect, background, opaque);
        if (hasValue) DrawFieldData(block->dc, NULL, field, 1, &blockRect, background, 0, 0, paint.page);
        break;
    }
    default:
        if (!hasValue && !linked && !paint.drawEmpty) {
            // An empty field is its shading alone: filled straight at the view size.
            pass->view.width = viewWidth;
            pass->view.height = viewHeight;
            FillBlock(&pass->view, background);
            GdiFlush();
            return 1;
        }
        FillBlock(block, background);
        if (hasValue) DrawFieldData(block->dc, NULL, field, 1, &blockRect, background, 0, 0, paint.page);
        if (type[0] == 'L' && !StartsWithText(type, "L-")) DrawLabelIcon(block);
        break;
    }
    int scaled = ScalePassBlock(pass, pageWidth, pageHeight, viewWidth, viewHeight);
    GdiFlush();
    return scaled;
}

// Lays a field's scaled block (in source at sx, sy) over the scaled page in viewDc.
static void CompositeFieldBlock(HDC viewDc, HDC source, int sx, int sy, const RECT &viewRect, int kind)
{
    int x = viewRect.left, y = viewRect.top;
    int viewWidth = viewRect.right - viewRect.left, viewHeight = viewRect.bottom - viewRect.top;
    if (kind == BLOCK_TAGGED) {
        // Copied whole: ink of a removed signature on the field's edge rows must not stay.
        BitBlt(viewDc, x, y, viewWidth, viewHeight, source, sx, sy, SRCCOPY);
        return;
    }
    if (viewWidth > 2 && viewHeight > 1) PatBlt(viewDc, x + 1, y, viewWidth - 2, viewHeight - 1, WHITENESS);
    if (viewWidth > 2 && viewHeight > 2)
        BitBlt(viewDc, x + 1, y + 1, viewWidth - 2, viewHeight - 2, source, sx + 1, sy + 1, SRCCOPY);
    if (kind != BLOCK_BOX) BitBlt(viewDc, x, y, viewWidth, viewHeight, source, sx, sy, SRCAND);
}

// The fields painted onto the view bitmap in one pass: one set of work surfaces for all of them,
// as large as the largest field needs.
static int PaintFields(FieldRecord *fields, int count, HBITMAP pageBitmap, HBITMAP viewBitmap, FieldPaint &paint,
                       int offsetX, int offsetY, HWND view, int invalidate)
{
    if (gViewOnly) paint.shade = RGB(255, 255, 255);
    paint.returnType = GetReturnType(NULL);
    int maxPageWidth = 0, maxPageHeight = 0, maxViewWidth = 0, maxViewHeight = 0;
    for (int i = 0; i < count; i++) {
        RECT area, viewRect;
        if (!GetFieldAreas(&fields[i], paint.zoom, &area, &viewRect)) continue;
        if (area.right - area.left > maxPageWidth) maxPageWidth = area.right - area.left;
        if (area.bottom - area.top > maxPageHeight) maxPageHeight = area.bottom - area.top;
        if (viewRect.right - viewRect.left > maxViewWidth) maxViewWidth = viewRect.right - viewRect.left;
        if (viewRect.bottom - viewRect.top > maxViewHeight) maxViewHeight = viewRect.bottom - viewRect.top;
    }
    FieldPass pass;
    if (!OpenPass(&pass, pageBitmap, maxPageWidth, maxPageHeight, maxViewWidth, maxViewHeight)) return 0;
    HoldFieldPaintSettings(1);   // read once for all the fields, not once a field
    HDC viewDc = CreateCompatibleDC(NULL);
    HGDIOBJ oldView = SelectObject(viewDc, viewBitmap);
    int painted = 0;
    for (int i = 0; i < count; i++) {
        FieldRecord *field = &fields[i];
        RECT area, viewRect;
        if (!GetFieldAreas(field, paint.zoom, &area, &viewRect)) continue;
        if (!PrepareFieldBlock(&pass, field, area, viewRect, paint)) continue;
        int kind = GetFieldBlockKind(field);
        // A repaint after the page was scaled (the screen follows at once) starts from the page
        // as it is now, so that it leaves what a freshly scaled page shows.
        if (invalidate && kind != BLOCK_TAGGED)
            RestoreScaledPageArea(viewDc, pageBitmap, pass.pageDc, viewBitmap, viewRect);
        CompositeFieldBlock(viewDc, pass.view.dc, 0, 0, viewRect, kind);
        painted++;
        OffsetRect(&viewRect, offsetX, offsetY);
        if (invalidate && view) InvalidateRect(view, &viewRect, FALSE);
    }
    SelectObject(viewDc, oldView);
    DeleteDC(viewDc);
    HoldFieldPaintSettings(0);
    ClosePass(&pass);
    return painted;
}

// The page's colour table when a check box is among the fields (their interiors are shaded
// from it); MemFree it.
static RGBQUAD *ReadBoxColourTable(FieldRecord *fields, int count, HBITMAP pageBitmap)
{
    for (int i = 0; i < count; i++)
        if (fields[i].typeCode && strstr(fields[i].typeCode, "x[o")) {
            int entries = 0;
            return GetDibColorTable(NULL, pageBitmap, &entries);
        }
    return NULL;
}

int DrawActiveFieldAt(FieldRecord *fields, int count, HBITMAP pageBitmap, HBITMAP viewBitmap, float zoom,
                      COLORREF shadeColour, int offsetX, int offsetY, HWND view, int invalidate, int drawEmpty,
                      const FormInstance *page)
{
    if (!fields || count <= 0 || !viewBitmap || zoom <= 0) return 0;
    RGBQUAD *colourTable = ReadBoxColourTable(fields, count, pageBitmap);
    FieldPaint paint = {zoom, shadeColour, colourTable, 0, drawEmpty, page};
    int painted = PaintFields(fields, count, pageBitmap, viewBitmap, paint, offsetX, offsetY, view, invalidate);
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
