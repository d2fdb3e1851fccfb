// pageimage_finish.cpp - what a page image gets after its source is drawn: the field values,
// the Minnesota form-number stamp and shading clean-up, the stamps of printed copies, the
// reverse-video tagged fields and the landscape rotation.
#include "pages/pages.h"
#include "prepare/prepare.h"

#include <string.h>


// The tagged field types turned to reverse video, in this order; every field of a type is
// treated (a joint return has two signature fields, and both print).
static const char *const kTaggedTypes[] = {"T[1x]",  "T[2x]",  "T[1w]",  "T[2w]", "Cb[1x]",
                                           "Cb[2x]", "Cb[1w]", "Cb[2w]", "S[sig]"};

// A memory DC holding bitmap (when dc is null); *ownedOut tells the caller to release it.
static HDC BeginBitmapDc(HDC dc, HBITMAP bitmap, HGDIOBJ *oldOut)
{
    *oldOut = NULL;
    if (dc) return dc;
    if (!bitmap) return NULL;
    HDC memory = CreateCompatibleDC(NULL);
    if (!memory) return NULL;
    *oldOut = SelectObject(memory, bitmap);
    if (!*oldOut) {
        DeleteDC(memory);
        return NULL;
    }
    return memory;
}

static void EndBitmapDc(HDC dc, HDC work, HGDIOBJ old)
{
    if (work && work != dc) {
        SelectObject(work, old);
        DeleteDC(work);
    }
}


int InvertTaggedFields(HDC dc, HBITMAP bitmap, FormInstance *page)
{
    if (!page || !page->fieldTable) return 0;
    FieldTable *table = page->fieldTable;
    HGDIOBJ old = NULL;
    HDC work = BeginBitmapDc(dc, bitmap, &old);
    if (!work) return 0;
    int found = 0;
    for (const char *type : kTaggedTypes) {
        size_t typeLength = strlen(type);
        for (int index = 1; index < table->count; index++) {
            FieldRecord *field = &table->fields[index];
            // Matched as the layout lookup by type matches: the type code begins with it.
            if (!field->rect || !field->typeCode || strncmp(field->typeCode, type, typeLength) != 0) continue;
            found++;
            if (strcmp(type, "S[sig]") == 0) {
                if (field->second)
                    DrawSignatureImage(work, field->rect, field->second, GetFieldSecondLength(field), 0);
                continue;
            }
            // The value is painted black whatever the text colour (a black text colour must not
            // leave the field empty), then the rectangle turns to white on black.
            DrawFieldData(work, NULL, field, 1, NULL, RGB(255, 255, 255), 0, 1, page);
            InvertPageRect(work, field->rect);
        }
    }
    EndBitmapDc(dc, work, old);
    return found;
}

int StretchPageContent(HDC dc, HBITMAP bitmap, int extraWidth, int extraHeight)
{
    int width = 0, height = 0;
    if (!GetBitmapSize(bitmap, &width, &height)) return 0;
    // A copy of the same depth and colours keeps the palette indexes as they are.
    int count = 0;
    RGBQUAD *table = GetDibColorTable(dc, dc ? NULL : bitmap, &count);
    int bits = GetBitmapBitsPerPixel(bitmap);
    HBITMAP copy = CreateDibBitmap(width, height, bits, 0, NULL, table);
    MemFree(table);
    if (!copy) return 0;
    HGDIOBJ old = NULL;
    HDC work = BeginBitmapDc(dc, bitmap, &old);
    if (!work) {
        DeleteObject(copy);
        return 0;
    }
    HDC copyDc = CreateCompatibleDC(work);
    HGDIOBJ oldCopy = SelectObject(copyDc, copy);
    BitBlt(copyDc, 0, 0, width, height, work, 0, 0, SRCCOPY);
    int mode = SetStretchBltMode(work, COLORONCOLOR);
    StretchBlt(work, 0, 0, width + extraWidth, height + extraHeight, copyDc, 0, 0, width, height, SRCCOPY);
    SetStretchBltMode(work, mode);
    SelectObject(copyDc, oldCopy);
    DeleteDC(copyDc);
    DeleteObject(copy);
    EndBitmapDc(dc, work, old);
    return 1;
}

// The six light shading colours of Minnesota forms that print as white.
static const COLORREF kMnShadingColours[6] = {RGB(250, 207, 215), RGB(246, 162, 182), RGB(246, 159, 176),
                                              RGB(249, 160, 177), RGB(250, 206, 212), RGB(251, 195, 205)};

void GetMinnesotaStampBox(const char *pageKey, RECT *box, RECT *whiteBand)
{
    SetRect(box, 1140, 3034, 1282, 3080);
    SetRectEmpty(whiteBand);
    if (!pageKey) return;
    if (_stricmp(pageKey, "Form M1.2") == 0) {
        OffsetRect(box, 6, 10);
    } else if (_stricmp(pageKey, "Schedule M1WPG2.2") == 0) {
        OffsetRect(box, 0, 20);
    } else if (_stricmp(pageKey, "Schedule M1LTI.1") == 0) {
        *whiteBand = *box;
        whiteBand->left -= 70;
    } else if (_stricmp(pageKey, "Form Bank.1") == 0) {
        OffsetRect(box, 0, -1659);
    } else if (_stricmp(pageKey, "Schedule M1ED.1") == 0) {
        box->left += 20;
        box->right += 25;
    }
}

int ApplyMinnesotaStamp(HBITMAP image, FormInstance *page)
{
    HGDIOBJ old = NULL;
    HDC dc = BeginBitmapDc(NULL, image, &old);
    if (!dc) return 0;
    RECT box, band;
    GetMinnesotaStampBox(page ? page->pageKey : NULL, &box, &band);
    if (!IsRectEmpty(&band)) PatBlt(dc, band.left, band.top, band.right - band.left, band.bottom - band.top, WHITENESS);
    PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, WHITENESS);
    int width = box.right - box.left, height = box.bottom - box.top;
    if (width < 142) {
        box.left -= (142 - width) / 2;
        box.right += (142 - width) / 2;
    }
    if (height < 46) {
        box.top -= (46 - height) / 2;
        box.bottom += (46 - height) / 2;
    }
    box.top -= 4;
    box.bottom += 4;
    LOGFONTA font;
    memset(&font, 0, sizeof(font));
    font.lfHeight = 52;
    font.lfWeight = 400;
    font.lfCharSet = ANSI_CHARSET;
    font.lfQuality = NONANTIALIASED_QUALITY;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    strcpy(font.lfFaceName, "Courier New");
    char text[] = "1029";
    TextDrawParams params;
    memset(&params, 0, sizeof(params));
    params.alignment = 8;
    params.textColour = RGB(0, 0, 0);
    params.backColour = RGB(255, 255, 255);
    params.text = text;
    params.rect = &box;
    params.backMode = TEXT_BACK_TRANSPARENT;
    params.fitMode = TEXT_FIT_CLIP;
    DrawTextInRect(dc, &params, &font, NULL);

    // The light shading colours of the form print as white.
    int count = 0;
    RGBQUAD *table = GetDibColorTable(dc, NULL, &count);
    if (table) {
        int changed = 0;
        for (int i = 0; i < count; i++)
            for (COLORREF shade : kMnShadingColours)
                if (table[i].rgbRed == GetRValue(shade) && table[i].rgbGreen == GetGValue(shade) &&
                    table[i].rgbBlue == GetBValue(shade)) {
                    table[i].rgbRed = table[i].rgbGreen = table[i].rgbBlue = 255;
                    changed = 1;
                }
        if (changed) SetDIBColorTable(dc, 0, (UINT)count, table);
        MemFree(table);
    }
    EndBitmapDc(NULL, dc, old);
    InvertTaggedFields(NULL, image, page);
    StretchPageContent(NULL, image, 0, 17);
    return 1;
}

// Draws the print stamps under the page: a white copy gets the stamps, then the page is drawn
// over it with white transparent. Returns the new image (the old one is deleted), or the old
// one unchanged when the copy cannot be made.
static HBITMAP AddPrintStamps(HBITMAP image)
{
    int width = 0, height = 0;
    if (!GetBitmapSize(image, &width, &height)) return image;
    HBITMAP stamped = CopyBitmap(image, 0);
    if (!stamped) return image;
    DrawPrintStamps(NULL, stamped, 0);
    // A form page's 4-bit image is laid over its stamps on the bits; a full-page TransparentBlt
    // takes tens of milliseconds a page.
    if (DrawNonWhiteOnto4(stamped, image)) {
        DeleteObject(image);
        return stamped;
    }
    HDC target = CreateCompatibleDC(NULL), source = CreateCompatibleDC(NULL);
    HGDIOBJ oldTarget = SelectObject(target, stamped), oldSource = SelectObject(source, image);
    BOOL ok = TransparentBlt(target, 0, 0, width, height, source, 0, 0, width, height, RGB(255, 255, 255));
    SelectObject(target, oldTarget);
    SelectObject(source, oldSource);
    DeleteDC(target);
    DeleteDC(source);
    if (!ok) {
        DeleteObject(stamped);
        return image;
    }
    DeleteObject(image);
    return stamped;
}

HBITMAP FinishPageImage(HBITMAP image, FormInstance *page, int forPrint)
{
    if (!image || !page) return image;
    if (page->kind == PAGE_KIND_FORM && page->fieldTable) {
        HGDIOBJ old = NULL;
        HDC dc = BeginBitmapDc(NULL, image, &old);
        if (dc) {
            if (GetFieldTextColor(NULL) != 0) EnsureTextColorInPalette(dc);
            DrawFieldData(dc, NULL, page->fieldTable->fields, page->fieldTable->count, NULL, RGB(255, 255, 255), 1,
                          0, page);
            EndBitmapDc(NULL, dc, old);
        }
    }
    int minnesota = page->kind == PAGE_KIND_FORM && page->jurisdiction == JURISDICTION_MINNESOTA;
    if (minnesota) ApplyMinnesotaStamp(image, page);
    if (forPrint && TakesPrintStamps(page->pageKey)) image = AddPrintStamps(image);
    if (!minnesota) InvertTaggedFields(NULL, image, page);
    if (page->landscape) {
        HBITMAP turned = RotateBitmap(image, 90);
        if (turned) {
            DeleteObject(image);
            image = turned;
        }
    }
    return image;
}
