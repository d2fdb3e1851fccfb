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
