// Field colours (the shading behind input fields, the colour of field text) and the repaint of
// fields of the page shown after their values changed.
#include "pages/pages.h"
#include "ui/ui.h"
#include "calc/calc.h"

#include <string.h>

#define DEFAULT_SHADE_COLOR 0xCCFFCC   // light green

static COLORREF ReadInputColor(void)
{
    DWORD value = 0;
    if (!ReadRegistryValue(&value, REG_SCOPE_YEAR, 0, "InColor", sizeof(value), REG_DWORD)) {
        value = DEFAULT_SHADE_COLOR;
        WriteRegistryValue(REG_SCOPE_YEAR, "InColor", REG_DWORD, &value, sizeof(value));
    }
    return value & 0xFFFFFF;
}

COLORREF PickPageShadeColor(const RGBQUAD *table, int count, COLORREF textColor)
{
    int best = -1;
    uint16_t bestHls[3] = {0, 0, 0};
    for (int i = 0; table && i < count; i++) {
        int r = table[i].rgbRed, g = table[i].rgbGreen, b = table[i].rgbBlue;
        int high = r > g ? (r > b ? r : b) : (g > b ? g : b);
        int low = r < g ? (r < b ? r : b) : (g < b ? g : b);
        if (high - low <= 5 || RGB(r, g, b) == textColor)
            continue;
        uint16_t rgb[3] = {(uint16_t)r, (uint16_t)g, (uint16_t)b}, hls[3];
        RgbToHls(rgb, hls);
        if (hls[2] < 255 && (best < 0 || hls[2] < bestHls[2])) {
            best = i;
            memcpy(bestHls, hls, sizeof(hls));
        }
    }
    if (best < 0)
        return CLR_INVALID;
    bestHls[2] = 225;
    uint16_t rgb[3];
    HlsToRgb(bestHls, rgb);
    return RGB(rgb[0], rgb[1], rgb[2]);
}

COLORREF GetFieldShadeColor(HDC dc, HBITMAP bitmap)
{
    COLORREF input = ReadInputColor();
    FormInstance *form = (FormInstance *)GetCurrentDocument(4);
    if ((!dc && !bitmap) || !form)
        return input;
    static const COLORREF kShades[9] = {0, 0, 0xCCFFFF, 0xCCFFCC, 0xFFFFCC, 0xFFCCCC, 0xCCCCFF, 0xFFCCFF, 0xDDDDDD};
    int code = form->shadingCode;
    if (code >= 2 && code <= 8)
        return kShades[code];
    if (code != 1)
        return input;
    int count = 0;
    RGBQUAD *table = GetDibColorTable(dc, bitmap, &count);
    COLORREF picked = PickPageShadeColor(table, count, GetFieldTextColor(NULL));
    MemFree(table);
    return picked == CLR_INVALID ? input : picked;
}

// 1 when the field is one of the records of the page shown.
static int IsFieldOfShownPage(const FieldRecord *field, FieldTable **tableOut, int *indexOut)
{
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    if (!field || !table || !table->fields || field < table->fields || field >= table->fields + table->count)
        return 0;
    *tableOut = table;
    *indexOut = (int)(field - table->fields);
    return 1;
}

// The page background under a signature field with the signature ANDed onto it, copied to
// the page bitmap. A stored block that is not sound is left out (the background alone).
static void RedrawSignatureField(FieldRecord *field, int index)
{
    HBITMAP background = CreateBitmapForFieldClip(index);
    if (!background)
        return;
    float scale = 0.0f;
    int x = 0, y = 0;
    if (field->second && ReadSignatureImage(field->second, GetFieldSecondLength(field), &scale, &x, &y)) {
        const FieldClip *clip = (const FieldClip *)field->second;
        HBITMAP image = CreateBitmapFromClip(clip);
        if (image) {
            RECT fit = {0, 0, (int)((float)clip->width * scale), (int)((float)clip->height * scale)};
            double applied = 1.0;
            HBITMAP fitted = fit.right > 0 && fit.bottom > 0 ? FitBitmapToRect(&fit, image, &applied, 1) : NULL;
            if (fitted)
                image = fitted;
            BlitBitmapOnto(background, image, x, y, SRCAND);
            DeleteObject(image);
        }
    }
    if (gPageBitmap && field->rect)
        BlitBitmapOnto(gPageBitmap, background, field->rect->left, field->rect->top, SRCCOPY);
    DeleteObject(background);
}

int RedrawField(FieldRecord *field)
{
    FieldTable *table = NULL;
    int index = 0;
    // Only the page shown is painted: a field of another page would be drawn over this one.
    if (!IsFieldOfShownPage(field, &table, &index))
        return 0;
    if (field->typeCode && strcmp(field->typeCode, "S[sig]") == 0)
        RedrawSignatureField(field, index);
    else if (gPageBitmap)
        DrawFieldData(NULL, gPageBitmap, field, 1, NULL, RGB(255, 255, 255), 1, 0,
                      (FormInstance *)GetCurrentDocument(4));
    PageRedrawBlock request = {field, 1, 0, 1, 0};
    if (gPageViewWindow)
        SendMessageA(gPageViewWindow, WM_PAGE_REDRAWFIELD, 0, (LPARAM)&request);
    return 1;
}

int RedrawAllFields(void)
{
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    if (!table || !table->fields)
        return 0;
    int count = 0;
    for (int i = 0; i < table->count; i++)
        count += RedrawField(&table->fields[i]);
    return count;
}
