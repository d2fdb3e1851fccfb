// multifield_layout.cpp - the multi-field popup's controls: a label and a value box per member,
// their fonts and colours, and their places (name and address parts side by side, other members
// one a row).
#include "entry/multifield/multifield_private.h"

#include <stdio.h>
#include <string.h>

static const COLORREF kNavy = RGB(0, 0, 128);

static int IsNumberBox(const FieldRecord *field)
{
    const char *type = field->typeCode ? field->typeCode : "";
    int length = GetFieldLength(field);
    char first = type[0], second = first ? type[1] : 0;
    if ((first == 'N' || second == 'N') && length != 9)
        return 1;
    if (first == 'R' || second == 'R' || StartsWithText(type, "S[t"))
        return 1;
    return first == 'G' && length == 12;
}

static int IsCheckBox(const FieldRecord *field)
{
    const char *type = field->typeCode ? field->typeCode : "";
    return type[0] == 'X' || type[0] == 'x';
}

HFONT MakeMultiFieldFont(HWND dialog, int weight)
{
    HFONT base = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    LOGFONTA font;
    if (!base || !GetObjectA(base, sizeof font, &font))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = weight;
    return CreateFontIndirectA(&font);
}

static void SetLabelColours(MultiFieldEntry *entry)
{
    entry->textColour = GetSysColor(COLOR_WINDOWTEXT);
    entry->backColour = CLR_INVALID;
    const char *type = entry->field->typeCode ? entry->field->typeCode : "";
    if (!entry->labelOnly) {
        entry->textColour = kNavy;
        return;
    }
    size_t length = strlen(type);
    COLORREF colour = CLR_INVALID;
    if (length >= 4 && type[3] == '1')
        colour = RGB(128, 0, 0);
    else if (length >= 4 && type[3] == '2')
        colour = RGB(0, 128, 0);
    else if (length >= 4 && type[3] == '3')
        colour = kNavy;
    if (colour == CLR_INVALID)
        return;
    if (length >= 5 && type[4] == 'i') {
        entry->backColour = colour;
        entry->textColour = RGB(255, 255, 255);
        entry->backBrush = CreateSolidBrush(colour);
    } else {
        entry->textColour = colour;
    }
}

void CreateMultiFieldControls(HWND dialog, FieldRecord **members)
{
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, gMultiField.valueFont);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    int average = metrics.tmAveCharWidth > 0 ? metrics.tmAveCharWidth : 7;
    SelectObject(dc, gMultiField.labelFont);
    for (int i = 0; i < gMultiField.count; i++) {
        MultiFieldEntry *entry = &gMultiField.entries[i];
        entry->field = members[i];
        entry->index = i;
        entry->controlId = IDC_MF_VALUE_FIRST + i;
        const char *type = entry->field->typeCode ? entry->field->typeCode : "";
        entry->labelOnly = type[0] == 'L';
        entry->saved = DuplicateText(entry->field->value ? entry->field->value : "");
        SetLabelColours(entry);

        char label[512];
        BuildMultiFieldLabel(gMultiField.groupKind, members, gMultiField.count, i, gMultiField.params->field, label, sizeof label);
        DWORD align = SS_LEFT;
        if (entry->labelOnly && strlen(type) >= 3)
            align = type[2] == 'C' ? SS_CENTER : type[2] == 'R' ? SS_RIGHT : SS_LEFT;
        entry->label = CreateWindowExA(0, "STATIC", label, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | align, 0, 0, 10, 10,
                                       dialog, (HMENU)(INT_PTR)(IDC_MF_LABEL_FIRST + i), gInstance, NULL);
        SendMessageA(entry->label, WM_SETFONT, (WPARAM)gMultiField.labelFont, 0);
        RECT measure = {0, 0, 600, 0};
        DrawTextA(dc, label[0] ? label : " ", -1, &measure, DT_CALCRECT | DT_NOPREFIX);
        entry->labelHeight = measure.bottom;
        SetWindowLongPtrA(entry->label, GWLP_USERDATA, measure.right);
        if (entry->labelOnly)
            continue;

        int length = GetFieldLength(entry->field);
        entry->valueWidth = IsCheckBox(entry->field) ? metrics.tmHeight + 6 + 3 : length * average + 20;
        if (entry->valueWidth < 30)
            entry->valueWidth = 30;
        if (entry->valueWidth > 600)
            entry->valueWidth = 600;
        DWORD boxAlign = IsCheckBox(entry->field) ? SS_CENTER : IsNumberBox(entry->field) ? SS_RIGHT : SS_LEFT;
        entry->value = CreateWindowExA(0, "STATIC", entry->field->value ? entry->field->value : "",
                                       WS_CHILD | WS_VISIBLE | WS_BORDER | SS_NOTIFY | SS_NOPREFIX |
                                           SS_CENTERIMAGE | boxAlign,
                                       0, 0, 10, 10, dialog, (HMENU)(INT_PTR)entry->controlId, gInstance, NULL);
        SendMessageA(entry->value, WM_SETFONT, (WPARAM)gMultiField.valueFont, 0);
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
}

// Names and addresses: their parts of one line side by side with the label above each box;
// everything else one member a row, labels in one column and boxes in the next.
void LayoutMultiFieldMembers(HWND dialog)
{
    const int margin = 10, gap = 8;
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, gMultiField.valueFont);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    int boxHeight = metrics.tmHeight + 6;
    int right = 0, y = margin;

    int nameLayout = gMultiField.groupKind == MULTIFIELD_GROUP_NAME && gMultiField.count >= 2 && gMultiField.count <= 4;
    if (nameLayout) {
        // The 4-part address puts "Address" on a line of its own.
        int x = margin, rowHeight = 0;
        for (int i = 0; i < gMultiField.count; i++) {
            MultiFieldEntry *entry = &gMultiField.entries[i];
            entry->column = !(gMultiField.count == 4 && i <= 1) && i > 0;
            if (i > 0 && !entry->column) {
                y += rowHeight + gap;
                x = margin;
                rowHeight = 0;
            }
            int labelWidth = (int)GetWindowLongPtrA(entry->label, GWLP_USERDATA);
            int width = entry->valueWidth > labelWidth ? entry->valueWidth : labelWidth;
            MoveWindow(entry->label, x, y, labelWidth + 2, entry->labelHeight, FALSE);
            if (entry->value)
                MoveWindow(entry->value, x, y + entry->labelHeight + 2, entry->valueWidth, boxHeight, FALSE);
            int height = entry->labelHeight + 2 + boxHeight;
            rowHeight = height > rowHeight ? height : rowHeight;
            x += width + gap;
            right = x - gap > right ? x - gap : right;
        }
        y += rowHeight + gap;
    } else {
        int labelColumn = 0;
        for (int i = 0; i < gMultiField.count; i++) {
            if (gMultiField.entries[i].labelOnly)
                continue;
            int width = (int)GetWindowLongPtrA(gMultiField.entries[i].label, GWLP_USERDATA);
            labelColumn = width > labelColumn ? width : labelColumn;
        }
        int valueColumn = 0;
        for (int i = 0; i < gMultiField.count; i++)
            valueColumn = gMultiField.entries[i].valueWidth > valueColumn ? gMultiField.entries[i].valueWidth : valueColumn;
        int fullWidth = labelColumn + gap + valueColumn;
        for (int i = 0; i < gMultiField.count; i++) {
            MultiFieldEntry *entry = &gMultiField.entries[i];
            int labelWidth = (int)GetWindowLongPtrA(entry->label, GWLP_USERDATA);
            if (entry->labelOnly) {
                int width = labelWidth > fullWidth ? labelWidth : fullWidth;
                MoveWindow(entry->label, margin, y, width, entry->labelHeight, FALSE);
                right = margin + width > right ? margin + width : right;
                y += entry->labelHeight + gap / 2;
                continue;
            }
            int rowHeight = boxHeight > entry->labelHeight ? boxHeight : entry->labelHeight;
            MoveWindow(entry->label, margin, y + (rowHeight - entry->labelHeight) / 2, labelColumn + 2,
                       entry->labelHeight, FALSE);
            MoveWindow(entry->value, margin + labelColumn + gap, y + (rowHeight - boxHeight) / 2, entry->valueWidth,
                       boxHeight, FALSE);
            right = margin + fullWidth > right ? margin + fullWidth : right;
            y += rowHeight + gap / 2;
        }
        y += gap;
    }

    // The buttons under the members, the window at least wide enough for both.
    RECT units = {0, 0, 50, 14};
    MapDialogRect(dialog, &units);
    int buttonWidth = units.right, buttonHeight = units.bottom;
    int buttonsWidth = 2 * buttonWidth + gap;
    int clientWidth = right + margin;
    if (clientWidth < buttonsWidth + 2 * margin)
        clientWidth = buttonsWidth + 2 * margin;
    int buttonX = (clientWidth - buttonsWidth) / 2;
    MoveWindow(GetDlgItem(dialog, IDC_MF_OK), buttonX, y, buttonWidth, buttonHeight, FALSE);
    MoveWindow(GetDlgItem(dialog, IDC_MF_CANCEL), buttonX + buttonWidth + gap, y, buttonWidth, buttonHeight, FALSE);
    RECT frame = {0, 0, clientWidth, y + buttonHeight + margin};
    AdjustWindowRectEx(&frame, (DWORD)GetWindowLongPtrA(dialog, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongPtrA(dialog, GWL_EXSTYLE));
    SetWindowPos(dialog, NULL, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceDialogOnParent(dialog, 2);
}

INT_PTR ColourMultiFieldStatic(HDC dc, HWND control)
{
    for (int i = 0; i < gMultiField.count; i++) {
        MultiFieldEntry *entry = &gMultiField.entries[i];
        if (control == entry->value) {
            int white = IsCalculatedMultiFieldMember(entry);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, white ? RGB(255, 255, 255) : gMultiField.shade);
            return (INT_PTR)(white ? gMultiField.whiteBrush : gMultiField.shadeBrush);
        }
        if (control == entry->label) {
            SetTextColor(dc, entry->textColour);
            if (entry->backBrush) {
                SetBkColor(dc, entry->backColour);
                return (INT_PTR)entry->backBrush;
            }
            SetBkMode(dc, TRANSPARENT);
            return (INT_PTR)GetSysColorBrush(COLOR_BTNFACE);
        }
    }
    return 0;
}
