// entrykinds_shape.cpp - shape checks of entered and stored values, splitting a value into the
// boxes of a split entry, the layout of split entries and the state list.
#include "entry/editbar/editbar_private.h"

#include <stdio.h>
#include <string.h>

#define CTRL_BOX_FIRST   1098
#define CTRL_BOX_LAST    1100
#define CTRL_CUE_FIRST   1105
#define CTRL_CUE_LAST    1107
#define CTRL_SEP_FIRST   1108
#define CTRL_SEP_LAST    1110

static int IsAllDigits(const char *text)
{
    if (!*text) return 0;
    for (; *text; text++)
        if (*text < '0' || *text > '9') return 0;
    return 1;
}

// 1 when value is one of the items of a value list (items separated by commas and double quotes;
// an item "code=label" matches by its whole text, its code or its label).
static int IsValueInList(const char *value, const char *list)
{
    if (!value || !*value || !list) return 0;
    size_t valueLength = strlen(value);
    const char *p = list;
    while (*p) {
        const char *end = p;
        while (*end && *end != ',' && *end != '"') end++;
        size_t itemLength = (size_t)(end - p);
        if (itemLength == valueLength && strncmp(p, value, valueLength) == 0) return 1;
        const char *equals = (const char *)memchr(p, '=', itemLength);
        if (equals) {
            size_t codeLength = (size_t)(equals - p);
            size_t labelLength = itemLength - codeLength - 1;
            if (codeLength == valueLength && strncmp(p, value, valueLength) == 0) return 1;
            if (labelLength == valueLength && strncmp(equals + 1, value, valueLength) == 0) return 1;
        }
        p = *end ? end + 1 : end;
    }
    return 0;
}

int CheckEntryShape(const char *value, int mode, const char *valueList, const char *typeCode, int kind,
                    int subkind)
{
    if (!value) value = "";
    size_t length = strlen(value);
    switch (mode) {
    case 1:
        return !valueList || !typeCode || !strchr(typeCode, 'V') || !IsValueInList(value, valueList) ||
               kind == ENTRY_KIND_COUNT;
    case 2:
        if (IsValueInList(value, valueList)) return 1;
        if (kind == ENTRY_KIND_STATE)
            return !*value || LookupUsState(value, NULL, subkind ? subkind : STATE_GROUP_STATES) != 0;
        return 0;
    case ENTRY_CONTROL_DATE: {
        // Digit-only dates (as stored by some imports: "20240102", "0124", "2024") open too.
        if (IsAllDigits(value)) return length == 4 || length == 6 || length == 8;
        int pieces = CountChar(value, '/') + CountChar(value, '-') + 1;
        if (pieces == 3) return length >= 8 && length <= 10;
        if (pieces == 2) return length >= 6 && length <= 7;
        if (pieces == 1) return length == 4;
        return 0;
    }
    case ENTRY_CONTROL_NUMBER:
        return 1;
    case ENTRY_CONTROL_SSN:
        if (IsAllDigits(value)) return length == 9;
        return length == 11 && value[3] == '-' && value[6] == '-';
    case ENTRY_CONTROL_EIN:
        if (IsAllDigits(value)) return length == 9;
        return length == 10 && value[2] == '-';
    case ENTRY_CONTROL_PHONE:
        if (IsAllDigits(value)) return length == 10;
        return length == 13 && value[0] == '(' && value[4] == ')' && value[8] == '-';
    case ENTRY_CONTROL_NAME2:
    case ENTRY_CONTROL_NAME3:
        return strchr(value, ' ') != NULL;
    default:
        return 0;
    }
}

int SplitEntryValue(const char *value, int controlKind, const int *widths, int count, char pieces[][16])
{
    if (count > 3) count = 3;
    for (int i = 0; i < count; i++) pieces[i][0] = 0;
    if (!value || !*value || count <= 0) return 0;
    if (!CheckEntryShape(value, controlKind, NULL, NULL, 0, 0)) return 0;

    const char *separators = NULL;
    if (controlKind == ENTRY_CONTROL_DATE && strpbrk(value, "/-")) separators = "/-";
    else if ((controlKind == ENTRY_CONTROL_SSN || controlKind == ENTRY_CONTROL_EIN) && strchr(value, '-'))
        separators = "-";
    else if (controlKind == ENTRY_CONTROL_PHONE && strpbrk(value, "(-")) separators = "()-";

    const char *p = value;
    for (int i = 0; i < count && *p; i++) {
        size_t take;
        if (separators) {
            while (*p && strchr(separators, *p)) p++;
            take = strcspn(p, separators);
        } else {
            take = strlen(p);
            if (widths[i] > 0 && (size_t)widths[i] < take) take = (size_t)widths[i];
        }
        if (take > 15) take = 15;
        memcpy(pieces[i], p, take);
        pieces[i][take] = 0;
        p += take;
    }
    return 1;
}

// Width of a control's text in its own font.
static int MeasureControlText(HWND control, const char *text)
{
    SIZE size = {0, 0};
    HDC dc = GetDC(control);
    if (!dc) return 0;
    HFONT font = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? SelectObject(dc, font) : NULL;
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

static int MeasureSplitBox(HWND box, int chars, int charWidth)
{
    // Each character as wide as the widest digit of the box's font (at least charWidth), plus the
    // edit's margins, its frame and room for the caret.
    int each = charWidth;
    int margins = 0, frame = 0;
    if (box) {
        static const char *const digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
        for (const char *d : digits) {
            int w = MeasureControlText(box, d);
            if (w > each) each = w;
        }
        DWORD m = (DWORD)SendMessageA(box, EM_GETMARGINS, 0, 0);
        margins = LOWORD(m) + HIWORD(m);
        RECT window, client;
        GetWindowRect(box, &window);
        GetClientRect(box, &client);
        frame = (window.right - window.left) - (client.right - client.left);
    }
    return chars * each + margins + frame + 2;
}

int LayoutSplitEntry(SplitEntryRow *rows, HWND dialog, int charWidth, const char *value, int controlKind,
                     SplitEntrySubclassProc subclassBox)
{
    if (!rows) return 0;
    int x = rows[0].x;
    HWND boxes[3] = {NULL, NULL, NULL};
    int widths[3] = {0, 0, 0};
    int boxCount = 0;
    for (SplitEntryRow *row = rows; row->controlId; row++) {
        HWND control = dialog ? GetDlgItem(dialog, row->controlId) : NULL;
        RECT rect = {0, 0, 0, 0};
        if (control) {
            GetWindowRect(control, &rect);
            MapWindowPoints(HWND_DESKTOP, dialog, (POINT *)&rect, 2);
        }
        int width = rect.right - rect.left;
        int id = row->controlId;
        if (id >= CTRL_BOX_FIRST && id <= CTRL_BOX_LAST) {
            width = MeasureSplitBox(control, row->chars < 2 ? 2 : row->chars, charWidth);
            if (control && boxCount < 3) {
                boxes[boxCount] = control;
                widths[boxCount] = row->chars;
                boxCount++;
                if (subclassBox) subclassBox(control);
                SendMessageA(control, EM_LIMITTEXT, (WPARAM)row->chars, 0);
            }
        } else if (id >= CTRL_CUE_FIRST && id <= CTRL_CUE_LAST) {
            const char *text = row->text ? row->text : "";
            x += 5;
            // The whole cue in the static's own font.
            width = (control ? MeasureControlText(control, text) : 0) + 4;
            if (control) SetWindowTextA(control, text);
        } else if (control && row->text) {
            SetWindowTextA(control, row->text);
        }
        row->x = x;
        if (control) {
            SetWindowPos(control, NULL, x, rect.top, width, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
            ShowWindow(control, SW_SHOWNA);
        }
        x += width;
    }
    // Name kinds take their boxes' values from their own fields (the edit bar fills them).
    if (controlKind != ENTRY_CONTROL_NAME2 && controlKind != ENTRY_CONTROL_NAME3 && boxCount) {
        char pieces[3][16];
        if (SplitEntryValue(value, controlKind, widths, boxCount, pieces))
            for (int i = 0; i < boxCount; i++) SetWindowTextA(boxes[i], pieces[i]);
    }
    return x;
}

int FillStateCombo(HWND combo, int groups, HDC dc, int *widthOut)
{
    int widest = 0;
    for (int bit = 0; bit < 6; bit++) {
        int first = 0, end = 0;
        if (!(groups & (1 << bit)) || !GetStateSectionRange(1 << bit, &first, &end)) continue;
        for (int row = first; row < end; row++) {
            char text[80];
            snprintf(text, sizeof(text), "%s %s", gStateTable[row].abbreviation, gStateTable[row].name);
            if (combo) SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
            if (dc) {
                SIZE size = {0, 0};
                GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
                if (size.cx > widest) widest = size.cx;
            }
        }
    }
    if (widthOut) *widthOut = widest;
    return widest;
}
