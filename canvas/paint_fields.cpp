// paint_fields.cpp - painting field values over a page image: the data font, the alignment of
// each field type, multi-line values, labels and the Minnesota output rule.
#include "canvas/canvas.h"
#include "store/store.h"

#include <stdlib.h>
#include <string.h>

// Output flags: set by printing and PDF writing around each page, read while painting.
int gPrintInProgress;
int gPdfInProgress;
int gPrintPageJurisdiction;
int gPdfPageJurisdiction;
int gMnOutputFontAllowed = 1;

#define FIELD_FONT_HEIGHT 50
#define LABEL_FONT_HEIGHT 140
#define VALUE_ATTENTION_COLOUR RGB(128, 0, 0)
#define LABEL_TEXT_COLOUR RGB(35, 31, 32)

// The settings a thread holds (HoldFieldPaintSettings).
struct HeldPaintSettings {
    int depth;
    DWORD textColour;
    int dataFont;
};
static thread_local HeldPaintSettings tHeldSettings;

static DWORD ReadFieldTextColor(void)
{
    DWORD colour = 0;
    if (!ReadRegistryValue(&colour, REG_SCOPE_YEAR, 0, "TxtColor", sizeof(colour), REG_DWORD))
        colour = 0xC00000;
    return colour & 0xFFFFFF;
}

static int ReadDataFontSetting(void)
{
    DWORD value = 0;
    if (ReadRegistryValue(&value, REG_SCOPE_YEAR, 0, "DataFont", sizeof(value), REG_DWORD)) return (int)value;
    char text[16];
    if (ReadRegistryValue(text, REG_SCOPE_YEAR, 0, "DataFont", sizeof(text), REG_SZ)) return atoi(text);
    return 0;
}

void HoldFieldPaintSettings(int hold)
{
    HeldPaintSettings &held = tHeldSettings;
    if (!hold) {
        if (held.depth > 0) held.depth--;
        return;
    }
    if (held.depth++ > 0) return;
    held.textColour = ReadFieldTextColor();
    held.dataFont = ReadDataFontSetting();
}

COLORREF GetFieldTextColor(RGBQUAD *outQuad)
{
    DWORD colour = tHeldSettings.depth > 0 ? tHeldSettings.textColour : ReadFieldTextColor();
    if (outQuad) {
        outQuad->rgbBlue = GetBValue(colour);
        outQuad->rgbGreen = GetGValue(colour);
        outQuad->rgbRed = GetRValue(colour);
        outQuad->rgbReserved = 0;
    }
    return colour;
}

int GetDataFontSetting(void)
{
    return tHeldSettings.depth > 0 ? tHeldSettings.dataFont : ReadDataFontSetting();
}

static void SetFontFace(LOGFONTA *font, const char *face, int weight, int pitchAndFamily)
{
    strncpy(font->lfFaceName, face, LF_FACESIZE - 1);
    font->lfFaceName[LF_FACESIZE - 1] = 0;
    font->lfWeight = weight;
    font->lfPitchAndFamily = (BYTE)pitchAndFamily;
}

int IsMnOutputPage(const FormInstance *page)
{
    int jurisdiction;
    if (gPrintInProgress) jurisdiction = gPrintPageJurisdiction;
    else if (gPdfInProgress) jurisdiction = gPdfPageJurisdiction;
    else return 0;
    // The page being painted decides; without one, the page the output flags name.
    if (page) return page->jurisdiction == JURISDICTION_MINNESOTA && AllowsMnOutputFont(page);
    return jurisdiction == JURISDICTION_MINNESOTA && gMnOutputFontAllowed;
}

void BuildDataFont(LOGFONTA *font, const FormInstance *page)
{
    memset(font, 0, sizeof(*font));
    font->lfHeight = FIELD_FONT_HEIGHT;
    font->lfCharSet = ANSI_CHARSET;
    font->lfOutPrecision = OUT_DEFAULT_PRECIS;
    font->lfClipPrecision = CLIP_DEFAULT_PRECIS;
    // Page images are palette bitmaps: plain (not smoothed) glyphs on Windows and Wine alike.
    font->lfQuality = NONANTIALIASED_QUALITY;
    switch (GetDataFontSetting()) {
    case 0: SetFontFace(font, "Arial", 500, VARIABLE_PITCH | FF_SWISS); break;
    case 1: SetFontFace(font, "Courier New", 700, FIXED_PITCH | FF_MODERN); break;
    case 2: SetFontFace(font, "Times New Roman", 500, VARIABLE_PITCH | FF_ROMAN); break;
    default: font->lfWeight = 500; break;   // the platform's default face
    }
    if (IsMnOutputPage(page)) SetFontFace(font, "Courier New", 700, FIXED_PITCH | FF_MODERN);
    if (page && page->taxYear != 0 && page->taxYear < 2024) font->lfItalic = 1;
}

// 1 when the type code holds a tagged (reverse-video) field: 'T' with 'x' or 'w' as its fourth
// character, "S[sig]", or a code beginning "Cb".
int IsTaggedFieldType(const char *type)
{
    if (!type) return 0;
    size_t length = strlen(type);
    if (type[0] == 'T' && length >= 4 && (type[3] == 'x' || type[3] == 'w')) return 1;
    if (strcmp(type, "S[sig]") == 0) return 1;
    return type[0] == 'C' && type[1] == 'b';
}

int GetFieldAlignment(const FieldRecord *field, int *widthOnly)
{
    const char *type = field->typeCode ? field->typeCode : "";
    size_t typeLength = strlen(type);
    int p = GetFieldLength(field);
    const char *list = field->valueList;
    const char *code = type;
    if ((type[0] == 'C' || type[0] == 'c') && typeLength >= 2) code = type + 1;
    char letter = code[0];
    int alignment = 7;
    switch (letter) {
    case 'X': case 'x':
        alignment = strstr(type, "x[o") ? 6 : 8;
        break;
    case 'N': case 'C': case 'c': case 'G':
        if (p == 6 || p == 8 || p == 12) alignment = 9;
        else if (p == 5 || p == 7 || p == 9 || p == 10 || p == 20) alignment = 7;
        else alignment = 8;
        break;
    case 'T':
        alignment = (strlen(code) >= 3 && code[2] == '3' && p == 1) ? 8 : 7;
        break;
    case 'm': case 's': case 'P':
        alignment = p == 1 ? 8 : 7;
        break;
    case 'R':
        alignment = (p == 2 && StartsWithText(code, "R[1.1]")) ? 8 : 9;
        break;
    case 'Y': case 'D': case 'E': case 'd': case 'e':
        alignment = 8;
        break;
    case 'Q': case 'r':
        alignment = 9;
        break;
    case 'V':
        if (p == 1) alignment = 8;
        else if (list && p == 2 && (StartsWithText(list, "01=January") || StartsWithText(list, "KG,1,2,3,4") ||
                                    StartsWithText(list, "11=Re")))
            alignment = 8;
        else if (list && p == 3 && StartsWithText(list, "0,0.5,1,1.5")) alignment = 8;
        else if (list && list[0] && list[1] == '=') alignment = 8;
        else alignment = 7;
        break;
    case 'S':
        alignment = 7;
        if (StartsWithText(code, "S[m")) {
            if (code[3] >= '0' && code[3] <= '9' && (p == 1 || p == 3)) alignment = 8;
            else if (p == 12) alignment = 9;
        } else if (StartsWithText(code, "S[t")) {
            alignment = 9;
        }
        break;
    default:
        alignment = 7;
        break;
    }
    if (widthOnly) *widthOnly = 0;
    if ((letter == 'X' || letter == 'x' || letter == 'P') && p == 1) {
        alignment = 6;
        if (widthOnly) *widthOnly = 1;
    }
    return alignment;
}

// The value cleaned for a Minnesota output page: separators its kind does not print.
void CleanMnOutputValue(const FieldRecord *field, char *value)
{
    FieldFormat format;
    memset(&format, 0, sizeof(format));
    int kind = 0;
    if (field->typeCode && ParseFieldFormat(field->typeCode, &format, 0) > 0)
        GetFieldEntryKind(field, &format.parts[0], &kind, NULL, NULL, NULL, 0);
    int p = GetFieldLength(field);
    switch (kind) {
    case ENTRY_KIND_AMOUNT: case ENTRY_KIND_NUMBER:
        RemoveChars(value, ",");
        break;
    case ENTRY_KIND_SSN: case ENTRY_KIND_PTIN: case ENTRY_KIND_EIN:
        RemoveChars(value, "-");
        break;
    case ENTRY_KIND_DATE:
        RemoveChars(value, "/");
        break;
    case ENTRY_KIND_PHONE:
        RemoveChars(value, "()-");
        break;
    case ENTRY_KIND_NONE: {
        if (!strchr(value, '-')) break;
        // A special field's value spaced like "12-34-56" loses its dashes too.
        int spaced = 0;
        if (field->typeCode && field->typeCode[0] == 'S') {
            size_t length = strlen(value);
            for (size_t i = 0; i + 3 < length; i++)
                if (value[i] == '-' && value[i + 3] == '-') spaced = 1;
        }
        if (p == 9 || spaced) RemoveChars(value, "-");
        break;
    }
    default:
        break;
    }
}

// The index of a field record in the page's field table, -1 when it is not one of its records.
int GetPageFieldIndex(const FormInstance *page, const FieldRecord *field)
{
    if (!page || !page->fieldTable || !page->fieldTable->fields || !field) return -1;
    const FieldTable *table = page->fieldTable;
    if (field < table->fields || field >= table->fields + table->count) return -1;
    return (int)(field - table->fields);
}

// Clears a field's area before its value is drawn again.
static void ClearFieldArea(HDC dc, const FieldRecord *field, int fieldIndex, const RECT &rect)
{
    const char *type = field->typeCode ? field->typeCode : "";
    if (strstr(type, "x[o")) {
        ClearBoxInterior(dc, &rect);
    } else if (IsTaggedFieldType(type)) {
        RestoreFieldBackground(dc, &rect, fieldIndex);
    } else {
        PatBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, WHITENESS);
    }
}

// 1 when rect can hold count boxes, each at least one unit wide. The count comes from the
// FormPak and drives the loops over the boxes: a damaged or crafted one claiming more boxes than
// the row holds makes no comb (its value is painted as one text).
static int HoldsCombBoxes(const RECT *rect, int count)
{
    return count >= 2 && count <= rect->right - rect->left;
}

int ReadCombLayout(const FieldRecord *field, CombLayout *layout)
{
    if (!layout) return 0;
    memset(layout, 0, sizeof *layout);
    if (!field || !field->groupLabel) return 0;
    int length = GetFieldLength(field);
    if (length < 2 || (field->rect && !HoldsCombBoxes(field->rect, length))) return 0;
    const char *label = field->groupLabel;
    if (strcmp(label, COMB_GROUP_LABEL) == 0) {
        layout->boxes = layout->count[0] = length;
        layout->groups = 1;
        return length;
    }
    if (strncmp(label, COMB_GROUP_PREFIX, sizeof COMB_GROUP_PREFIX - 1) != 0) return 0;
    // "N@D N@D ... N]": each group's box count, then the offset of the divider after it.
    const char *p = label + sizeof COMB_GROUP_PREFIX - 1;
    int total = 0;
    long lastDivider = 0;
    for (int g = 0; g < COMB_MAX_GROUPS; g++) {
        char *end = NULL;
        long count = strtol(p, &end, 10);
        if (end == p || count < 1 || count > length - total) break;
        layout->count[g] = (int)count;
        total += (int)count;
        layout->groups = g + 1;
        p = end;
        if (*p == ']' && p[1] == 0) {
            if (total != length) break;
            layout->boxes = total;
            return total;
        }
        if (*p != '@') break;
        long divider = strtol(p + 1, &end, 10);
        if (end == p + 1 || divider <= lastDivider || *end != ' ') break;
        layout->divider[g] = lastDivider = divider;
        p = end + 1;
    }
    memset(layout, 0, sizeof *layout);
    return 0;
}

int GetCombBoxCount(const FieldRecord *field)
{
    CombLayout layout;
    return ReadCombLayout(field, &layout);
}

// The margin kept clear beside a divider in a row of count boxes width units wide.
static long GetCombMargin(long width, int count)
{
    long margin = count > 0 ? width / count / 6 : 0;
    return margin < 3 ? 3 : margin;
}

int GetCombBoxRect(const RECT *rect, int count, int index, RECT *box)
{
    if (!rect || !box || count < 1 || index < 0 || index >= count) return 0;
    long width = rect->right - rect->left;
    long margin = GetCombMargin(width, count);
    *box = *rect;
    box->left = rect->left + (LONG)((index * width + count / 2) / count);
    box->right = rect->left + (LONG)(((index + 1) * width + count / 2) / count);
    if (index > 0) box->left += margin;
    if (index < count - 1) box->right -= margin;
    return box->right > box->left && box->bottom > box->top;
}

int GetCombLayoutBox(const CombLayout *layout, const RECT *rect, int index, RECT *box)
{
    if (!layout || !rect || !box || index < 0 || index >= layout->boxes) return 0;
    int g = 0;
    while (g < layout->groups - 1 && index >= layout->count[g]) index -= layout->count[g++];
    // The group's cell, its dividers compared with the row's width before they are placed: a
    // divider at or past the right edge leaves the groups after it no room.
    long width = rect->right - rect->left;
    long from = g > 0 ? layout->divider[g - 1] : 0;
    long to = g < layout->groups - 1 && layout->divider[g] < width ? layout->divider[g] : width;
    if (from >= to) return 0;
    RECT cell = *rect;
    cell.left = rect->left + (LONG)from;
    cell.right = rect->left + (LONG)to;
    if (!GetCombBoxRect(&cell, layout->count[g], index, box)) return 0;
    long margin = GetCombMargin(cell.right - cell.left, layout->count[g]);
    if (g > 0 && index == 0) box->left += margin;
    if (g < layout->groups - 1 && index == layout->count[g] - 1) box->right -= margin;
    return box->right > box->left && box->bottom > box->top;
}

// Whitens the inside of each box of a comb: the dividers between the boxes stay.
static void ClearCombBoxes(HDC dc, const RECT &rect, const CombLayout &layout)
{
    RECT box;
    for (int i = 0; i < layout.boxes; i++)
        if (GetCombLayoutBox(&layout, &rect, i, &box))
            PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, WHITENESS);
}

// The least height a comb's characters shrink to, as one text's do.
#define COMB_LEAST_FONT_HEIGHT 30

// 1 when every box of the comb laid out over rect has a clear inside as wide as any digit of
// baseFont at the least height (the numbers combs hold). Otherwise (a divider past the row, groups
// squeezed together, boxes too many for the row) the value is painted as one text in the field.
static int CanPlaceCombBoxes(HDC dc, const LOGFONTA *baseFont, const RECT &rect, const CombLayout &layout)
{
    long narrowest = rect.right - rect.left;
    for (int i = 0; i < layout.boxes; i++) {
        RECT box;
        if (!GetCombLayoutBox(&layout, &rect, i, &box)) return 0;
        if (box.right - box.left < narrowest) narrowest = box.right - box.left;
    }
    LOGFONTA font = *baseFont;
    font.lfHeight = COMB_LEAST_FONT_HEIGHT;
    HFONT probe = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, probe);
    long widest = 0;
    for (const char *c = "0123456789"; *c; c++) {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, c, 1, &size);
        if (size.cx > widest) widest = size.cx;
    }
    SelectObject(dc, old);
    DeleteObject(probe);
    return widest > 0 && widest <= narrowest;
}

// Draws a comb field's value one character per box, all at one font height that fits every
// character into the narrowest box; an amount-like field (right alignment) fills the last boxes.
static int DrawCombText(HDC dc, const TextDrawParams *params, const LOGFONTA *baseFont, const RECT &rect,
                        const CombLayout &layout)
{
    int boxes = layout.boxes;
    // A value written with separators ("400-01-2345" in nine boxes) puts only its digits and
    // letters in the boxes: the form draws its own separators.
    char text[64];
    lstrcpynA(text, params->text, sizeof text);
    if ((int)strlen(text) > boxes) RemoveChars(text, " -/()");
    int length = (int)strlen(text);
    if (length > boxes) length = boxes;
    long boxWidth = rect.right - rect.left;
    for (int i = 0; i < boxes; i++) {
        RECT box;
        if (!GetCombLayoutBox(&layout, &rect, i, &box)) return 0;
        if (box.right - box.left < boxWidth) boxWidth = box.right - box.left;
    }
    if (length <= 0) return 0;
    LOGFONTA font = *baseFont;
    HFONT probe = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, probe);
    for (;;) {
        int fits = 1;
        for (int i = 0; i < length && fits; i++) {
            SIZE size = {0, 0};
            GetTextExtentPoint32A(dc, text + i, 1, &size);
            fits = size.cx <= boxWidth && size.cy <= rect.bottom - rect.top;
        }
        if (fits || font.lfHeight <= COMB_LEAST_FONT_HEIGHT) break;
        font.lfHeight -= 2;
        HFONT smaller = CreateFontIndirectA(&font);
        SelectObject(dc, smaller);
        DeleteObject(probe);
        probe = smaller;
    }
    SelectObject(dc, old);
    DeleteObject(probe);
    int start = params->alignment == 9 ? boxes - length : 0;
    for (int i = 0; i < length; i++) {
        RECT box;
        if (!GetCombLayoutBox(&layout, &rect, start + i, &box)) continue;
        char one[2] = {text[i], 0};
        TextDrawParams each = *params;
        each.text = one;
        each.rect = &box;
        each.alignment = 8;
        each.inset = 0;
        each.fitMode = TEXT_FIT_CLIP;
        each.widthOnly = 0;
        LOGFONTA boxFont = font;
        DrawTextInRect(dc, &each, &boxFont, NULL);
    }
    return 1;
}

int DrawFieldData(HDC dc, HBITMAP bitmap, FieldRecord *fields, int count, const RECT *rect, COLORREF backColour,
                  int clearFirst, int colourMode, const FormInstance *page)
{
    if (!fields || count <= 0) return 0;
    HDC target = dc;
    HGDIOBJ oldBitmap = NULL;
    if (!target) {
        if (!bitmap) return 0;
        target = CreateCompatibleDC(NULL);
        if (!target) return 0;
        oldBitmap = SelectObject(target, bitmap);
        if (!oldBitmap) {
            DeleteDC(target);
            return 0;
        }
    }
    LOGFONTA baseFont;
    BuildDataFont(&baseFont, page);
    int mnOutput = IsMnOutputPage(page);
    COLORREF modeColour = colourMode == 1 ? RGB(0, 0, 0) : colourMode == 2 ? RGB(255, 255, 255)
                                                                          : GetFieldTextColor(NULL);
    if (clearFirst) backColour = RGB(255, 255, 255);
    int drawn = 0;

    for (int i = 0; i < count; i++) {
        FieldRecord *field = &fields[i];
        if (!rect && !field->rect) continue;
        RECT fieldRect = rect ? *rect : *field->rect;
        const char *type = field->typeCode ? field->typeCode : "";

        LOGFONTA font = baseFont;
        TextDrawParams params;
        memset(&params, 0, sizeof(params));
        params.backColour = backColour;
        params.backMode = TEXT_BACK_TRANSPARENT;
        params.fitMode = TEXT_FIT_SHRINK;
        params.boxed = strstr(type, "x[o") != NULL;

        CombLayout comb;
        int combBoxes = ReadCombLayout(field, &comb);
        if (!HoldsCombBoxes(&fieldRect, combBoxes) || !CanPlaceCombBoxes(target, &baseFont, fieldRect, comb))
            combBoxes = 0;
        if (clearFirst && combBoxes) ClearCombBoxes(target, fieldRect, comb);
        else if (clearFirst) ClearFieldArea(target, field, GetPageFieldIndex(page, field), fieldRect);
        if (!field->value || !field->value[0]) continue;

        params.textColour = StartsWithText(field->value, "* * ") ? VALUE_ATTENTION_COLOUR : modeColour;
        params.alignment = GetFieldAlignment(field, &params.widthOnly);

        char *copy = NULL;
        params.text = field->value;
        if (strstr(field->value, "\\r\\n")) {
            params.fitMode = TEXT_FIT_WRAP;
            copy = (char *)MemAlloc(64, strlen(field->value) + 1);
            if (!copy) continue;
            // Each escaped pair becomes a real line break; the text only gets shorter.
            const char *s = field->value;
            char *d = copy;
            while (*s) {
                if (strncmp(s, "\\r\\n", 4) == 0) {
                    *d++ = '\r';
                    *d++ = '\n';
                    s += 4;
                } else {
                    *d++ = *s++;
                }
            }
            *d = 0;
            params.text = copy;
            if (strstr(field->value, "Form 94x Signature")) params.alignment = 6;
        }
        params.inset = (fieldRect.right - fieldRect.left) > 50 ? 10 : 2;

        if (mnOutput && !copy && strpbrk(field->value, ",-/(")) {
            copy = (char *)MemAlloc(64, strlen(field->value) + 1);
            if (!copy) continue;
            strcpy(copy, field->value);
            CleanMnOutputValue(field, copy);
            params.text = copy;
        }

        if (combBoxes && params.fitMode != TEXT_FIT_WRAP) {
            drawn += DrawCombText(target, &params, &font, fieldRect, comb);
            MemFree(copy);
            continue;
        }
        RECT drawRect = fieldRect;
        const char *letterPos = ((type[0] == 'C' || type[0] == 'c') && type[1]) ? type + 1 : type;
        if (letterPos[0] == 'L') {
            SetFontFace(&font, "Arial", 500, VARIABLE_PITCH | FF_SWISS);
            font.lfHeight = LABEL_FONT_HEIGHT;
            params.textColour = LABEL_TEXT_COLOUR;
            if (!StartsWithText(type, "L-")) drawRect.left += 3 + (drawRect.bottom - drawRect.top);
        }
        params.rect = &drawRect;
        if (DrawTextInRect(target, &params, &font, NULL)) drawn++;
        MemFree(copy);
    }

    if (oldBitmap) {
        SelectObject(target, oldBitmap);
        DeleteDC(target);
    }
    return drawn;
}
