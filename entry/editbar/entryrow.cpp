// entryrow.cpp - one entry row of the edit bar (the "EditBar" dialog): the entry controls that
// suit the part of the field's type code, its icons, hint and statement button, and the row's
// dialog procedure.
#include "entry/editbar/editbar_private.h"
#include "pages/pages.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define ROW_ENTRY_X      22     // entries start right of the kind icon
#define ROW_MIN_HEIGHT   20
#define STMT_BUTTON_WIDTH 24
#define HINT_TEXT_SIZE   1024

EditBarPair *GetEditBarPair(HWND partDialog)
{
    return partDialog ? (EditBarPair *)GetWindowLongPtrA(partDialog, DWLP_USER) : NULL;
}

int IsSplitEntryControl(int controlKind)
{
    return controlKind == ENTRY_CONTROL_DATE || controlKind == ENTRY_CONTROL_SSN || controlKind == ENTRY_CONTROL_EIN ||
           controlKind == ENTRY_CONTROL_PHONE || controlKind == ENTRY_CONTROL_NAME2 ||
           controlKind == ENTRY_CONTROL_NAME3;
}

static void PlaceControl(HWND dialog, int id, int x, int y, int width, int height)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return;
    SetWindowPos(control, NULL, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(control, SW_SHOWNA);
}

static int MeasureText(HDC dc, const char *text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    return size.cx;
}

// The text limit of a single edit by the field's length and the part's kind. A current value
// longer than the limit raises it, so a stored value is never shortened by opening it.
static int GetEditTextLimit(int length, int kind, const char *value)
{
    int limit = length;
    if (kind == ENTRY_KIND_ZIP && length > 8)
        limit = 10;
    else if (kind == ENTRY_KIND_AMOUNT)
        limit = length + 7;
    else if (kind == ENTRY_KIND_AMOUNT_CENTS)
        limit = length + 4;
    else if (kind == ENTRY_KIND_PTIN && limit < 10)
        limit = 10;
    if (limit <= 0)
        limit = EDIT_TEXT_SIZE - 1;
    int valueLength = value ? (int)strlen(value) : 0;
    if (valueLength > limit)
        limit = valueLength;
    if (limit > EDIT_TEXT_SIZE - 1)
        limit = EDIT_TEXT_SIZE - 1;
    return limit;
}

struct ComboFill {
    HWND combo;
    HDC dc;
    int widest;
    int longest;
};

static void AddComboItem(const char *item, void *context)
{
    ComboFill *fill = (ComboFill *)context;
    SendMessageA(fill->combo, CB_ADDSTRING, 0, (LPARAM)item);
    int width = MeasureText(fill->dc, item);
    if (width > fill->widest)
        fill->widest = width;
    int length = (int)strlen(item);
    if (length > fill->longest)
        fill->longest = length;
}

// Selects the list item that stands for value (a state's "AB Name" row, an item "value=...",
// or an item equal to the value).
static void SelectListValue(HWND combo, EditBarPart *part, const char *value)
{
    if (!value || !value[0])
        return;
    LRESULT index = CB_ERR;
    if (part->kind == ENTRY_KIND_STATE) {
        int groups = part->subkind > 0 ? part->subkind : STATE_GROUP_STATES;
        int row = LookupUsState(value, NULL, groups);
        if (row > 0 && row < gStateTableRowCount) {
            char item[80];
            snprintf(item, sizeof(item), "%s %s", gStateTable[row].abbreviation, gStateTable[row].name);
            index = SendMessageA(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)item);
        }
    } else {
        char prefix[EDIT_TEXT_SIZE + 2];
        snprintf(prefix, sizeof(prefix), "%s=", value);
        index = SendMessageA(combo, CB_FINDSTRING, (WPARAM)-1, (LPARAM)prefix);
        if (index == CB_ERR)
            index = SendMessageA(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)value);
    }
    if (index != CB_ERR)
        SendMessageA(combo, CB_SETCURSEL, index, 0);
}

// Builds the drop-down list of a list part; returns the row's width.
static int BuildListEntry(HWND dialog, EditRequest *request, EditBarPart *part, HDC dc, int editHeight)
{
    HWND combo = GetDlgItem(dialog, IDC_EB_LIST);
    ComboFill fill = {combo, dc, 0, 0};
    int limit = GetFieldLength(part->field);
    if (part->kind == ENTRY_KIND_STATE) {
        int groups = part->subkind > 0 ? part->subkind : STATE_GROUP_STATES;
        FillStateCombo(combo, groups, dc, &fill.widest);
        limit = EDIT_TEXT_SIZE - 1;   // a state may be typed by its name
    } else {
        ForEachListItem(part->field->valueList, part->letter == 'v', AddComboItem, &fill);
        if (fill.longest > limit)
            limit = fill.longest;   // a code or a label may be typed
    }
    if (limit <= 0 || limit > EDIT_TEXT_SIZE - 1)
        limit = EDIT_TEXT_SIZE - 1;
    int width = (fill.widest > 12 ? fill.widest : 12) + 22;
    int x = ROW_ENTRY_X + 2;
    SetWindowPos(combo, NULL, x, 2, width, editHeight + 200, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(combo, SW_SHOWNA);
    SendMessageA(combo, CB_SETDROPPEDWIDTH, width + 24, 0);
    SendMessageA(combo, CB_LIMITTEXT, limit, 0);
    RECT box;
    GetWindowRect(combo, &box);
    int boxHeight = box.bottom - box.top;
    PlaceControl(dialog, IDC_EB_LISTFRAME1, x - 1, 1, width + 2, boxHeight + 2);
    PlaceControl(dialog, IDC_EB_LISTFRAME2, x - 2, 0, width + 4, boxHeight + 4);

    COMBOBOXINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(combo, &info) && info.hwndItem)
        SubclassEditBarControl(info.hwndItem);

    const char *value = part->initial;
    if (value[0] && CheckEntryShape(value, ENTRY_CONTROL_LIST, part->field->valueList, part->field->typeCode,
                                    part->kind, part->subkind)) {
        SetWindowTextA(combo, value);
        SelectListValue(combo, part, value);
    }
    part->focusControl = combo;
    if (boxHeight + 4 > part->height)
        part->height = boxHeight + 4;
    return x + width + 2;
}

// Builds the single edit of kinds 1 and 4; returns the row's width.
static int BuildSingleEdit(HWND dialog, EditRequest *request, EditBarPart *part, int editHeight)
{
    HWND edit = GetDlgItem(dialog, IDC_EB_EDIT1);
    int length = GetFieldLength(part->field);
    int width = (length + (length < 3 ? 1 : 0) + 1) * part->charWidth;
    int y = 2;
    int height = editHeight;
    if (request->requesterKind == EDIT_REQUESTER_SIGNATURE && request->extraHeight > 0) {
        height += request->extraHeight;
        y = 2 - request->extraHeight / 2;
        if (y < 0)
            y = 0;
    }
    const char *value = part->initial;
    // A value of the value list is not shown in a plain edit (it is the list's code, not text).
    if (!CheckEntryShape(value, 1, part->field->valueList, part->field->typeCode, part->kind, part->subkind))
        value = "";
    int limit = GetEditTextLimit(length, part->kind, value);
    if (width < 2 * part->charWidth)
        width = 2 * part->charWidth;
    SetWindowPos(edit, NULL, ROW_ENTRY_X, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(edit, SW_SHOWNA);
    SendMessageA(edit, EM_LIMITTEXT, limit, 0);
    SetWindowTextA(edit, value);
    SubclassEditBarControl(edit);
    part->textLimit = limit;
    part->focusControl = edit;
    if (y + height + 2 > part->height)
        part->height = y + height + 2;
    return ROW_ENTRY_X + width + 2;
}

// The boxes of a date by its letter: characters of each box and the cue text.
static int GetDateLayout(char letter, int chars[3], const char **cue)
{
    switch (letter) {
    case 'E': chars[0] = 4; chars[1] = 2; chars[2] = 2; *cue = "[yyyy/mm/dd]"; return 3;
    case 'd': chars[0] = 2; chars[1] = 4; *cue = "[mm/yyyy]"; return 2;
    case 'e': chars[0] = 4; chars[1] = 2; *cue = "[yyyy/mm]"; return 2;
    case 'Y': chars[0] = 4; *cue = "[yyyy]"; return 1;
    case 'O': chars[0] = 2; chars[1] = 2; chars[2] = 2; *cue = "[mm/dd/yy]"; return 3;
    default:  chars[0] = 2; chars[1] = 2; chars[2] = 4; *cue = "[mm/dd/yyyy]"; return 3;
    }
}

static void AddRow(SplitEntryRow *rows, int *count, int id, int chars, const char *text)
{
    rows[*count].controlId = id;
    rows[*count].chars = chars;
    rows[*count].x = 0;
    rows[*count].text = text;
    (*count)++;
}

// Builds the boxes of a split entry (date, SSN, EIN, phone, names); returns the row's width,
// 0 when the entry cannot be built (a name box without its field).
static int BuildSplitEntry(HWND dialog, EditRequest *request, EditBarPart *part, HDC dc, int editHeight)
{
    SplitEntryRow rows[12];
    int n = 0;
    int chars[3] = {0, 0, 0};
    const char *cue = NULL;
    int boxes = 0;
    switch (part->controlKind) {
    case ENTRY_CONTROL_DATE:
        boxes = GetDateLayout(part->letter, chars, &cue);
        for (int i = 0; i < boxes; i++) {
            if (i)
                AddRow(rows, &n, IDC_EB_SEP1 + i - 1, 0, "/");
            AddRow(rows, &n, IDC_EB_EDIT1 + i, chars[i], NULL);
        }
        AddRow(rows, &n, IDC_EB_CUE1, 0, cue);
        break;
    case ENTRY_CONTROL_SSN:
        boxes = 3; chars[0] = 3; chars[1] = 2; chars[2] = 4;
        AddRow(rows, &n, IDC_EB_EDIT1, 3, NULL);
        AddRow(rows, &n, IDC_EB_SEP1, 0, "-");
        AddRow(rows, &n, IDC_EB_EDIT2, 2, NULL);
        AddRow(rows, &n, IDC_EB_SEP2, 0, "-");
        AddRow(rows, &n, IDC_EB_EDIT3, 4, NULL);
        break;
    case ENTRY_CONTROL_EIN:
        boxes = 2; chars[0] = 2; chars[1] = 7;
        AddRow(rows, &n, IDC_EB_EDIT1, 2, NULL);
        AddRow(rows, &n, IDC_EB_SEP1, 0, "-");
        AddRow(rows, &n, IDC_EB_EDIT2, 7, NULL);
        break;
    case ENTRY_CONTROL_PHONE:
        boxes = 3; chars[0] = 3; chars[1] = 3; chars[2] = 4;
        AddRow(rows, &n, IDC_EB_SEP1, 0, "(");
        AddRow(rows, &n, IDC_EB_EDIT1, 3, NULL);
        AddRow(rows, &n, IDC_EB_SEP2, 0, ")");
        AddRow(rows, &n, IDC_EB_EDIT2, 3, NULL);
        AddRow(rows, &n, IDC_EB_SEP3, 0, "-");
        AddRow(rows, &n, IDC_EB_EDIT3, 4, NULL);
        break;
    default: {
        // Names: one box per name field (the field and the one or two after it).
        static const char *const cues3[3] = {"[First Name]", "[MI]", "[Last Name]"};
        static const char *const cues2[2] = {"[First Name]", "[Last Name]"};
        boxes = part->controlKind == ENTRY_CONTROL_NAME3 ? 3 : 2;
        for (int i = 0; i < boxes; i++) {
            FieldRecord *field = i == 0 ? part->field : GetNeighbourField(request, part->field, i);
            if (!field)
                return 0;
            part->nameFields[i] = field;
            int length = GetFieldLength(field);
            chars[i] = length > 0 ? (length < EDIT_TEXT_SIZE - 1 ? length : EDIT_TEXT_SIZE - 1) : 20;
            AddRow(rows, &n, IDC_EB_EDIT1 + i, chars[i], NULL);
            AddRow(rows, &n, IDC_EB_CUE1 + i, 0, boxes == 3 ? cues3[i] : cues2[i]);
        }
        break;
    }
    }
    AddRow(rows, &n, 0, 0, NULL);
    rows[0].x = ROW_ENTRY_X;

    // Boxes and statics keep the row's top and height; separators take their text's width.
    for (int i = 0; rows[i].controlId; i++) {
        int id = rows[i].controlId;
        int width = 8;
        if (id >= IDC_EB_SEP1 && id <= IDC_EB_SEP3 && rows[i].text)
            width = MeasureText(dc, rows[i].text) + 4;
        int y = (id >= IDC_EB_CUE1 && id <= IDC_EB_SEP3) ? 4 : 2;
        SetWindowPos(GetDlgItem(dialog, id), NULL, 0, y, width, editHeight - (y - 2), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    part->boxCount = boxes;
    for (int i = 0; i < 3; i++)
        part->boxChars[i] = chars[i];

    int right = LayoutSplitEntry(rows, dialog, part->charWidth, part->initial, part->controlKind,
                                 SubclassEditBarControl);

    if (part->controlKind == ENTRY_CONTROL_NAME2 || part->controlKind == ENTRY_CONTROL_NAME3) {
        for (int i = 0; i < boxes; i++) {
            HWND box = GetDlgItem(dialog, IDC_EB_EDIT1 + i);
            SetWindowLongPtrA(box, GWLP_USERDATA, (LONG_PTR)part->nameFields[i]);
            const char *value = part->nameFields[i]->value ? part->nameFields[i]->value : "";
            char shown[EDIT_TEXT_SIZE];
            snprintf(shown, sizeof(shown), "%s", value);
            // A stored name longer than its box still opens whole.
            if ((int)strlen(shown) > chars[i])
                SendMessageA(box, EM_LIMITTEXT, strlen(shown), 0);
            SetWindowTextA(box, shown);
        }
    }
    part->focusControl = GetDlgItem(dialog, IDC_EB_EDIT1);
    if (editHeight + 4 > part->height)
        part->height = editHeight + 4;
    return right + 2;
}

// The statement button right of the entry; returns the row's new width.
static int BuildStatementButton(HWND dialog, EditRequest *request, EditBarPart *part, int rowWidth, int editHeight)
{
    HWND button = GetDlgItem(dialog, IDC_EB_STMT);
    int x = rowWidth - 2 + (part->controlKind == ENTRY_CONTROL_LIST ? 5 : 2);
    int height = editHeight;
    int y = (part->height - height) / 2;
    if (!request->stmtButtonUp) {
        HBITMAP picture = (HBITMAP)LoadImageA(gInstance, MAKEINTRESOURCEA(IDB_EB_STMT), IMAGE_BITMAP, 0, 0, 0);
        request->stmtButtonUp = DrawDropdownButton(picture, STMT_BUTTON_WIDTH, height, 0);
        request->stmtButtonDown = DrawDropdownButton(picture, STMT_BUTTON_WIDTH, height, 1);
        if (picture)
            DeleteObject(picture);
    }
    SetWindowPos(button, NULL, x, y, STMT_BUTTON_WIDTH, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(button, SW_SHOWNA);
    AddTooltipTool(part->tooltip, button, "Show field in Statement View", IDC_EB_STMT, TOOLTIP_RECT_CLIENT, 0);
    return x + STMT_BUTTON_WIDTH + 4;
}

// Loads the kind icons and gives the first its hint tooltip.
static void BuildKindIcons(HWND dialog, EditRequest *request, EditBarPart *part, const int icons[3])
{
    for (int i = 0; i < 3; i++) {
        if (!icons[i])
            continue;
        part->icons[i] = (HBITMAP)LoadImageA(gInstance, MAKEINTRESOURCEA(icons[i]), IMAGE_BITMAP, 0, 0, 0);
        if (part->icons[i])
            SendDlgItemMessageA(dialog, IDC_EB_ICON1 + i, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)part->icons[i]);
    }
    int y = 1;
    if (part->height > 18)
        y = (part->height - 16) / 2;
    PlaceControl(dialog, IDC_EB_ICON1, 2, y, 16, 16);
    char *hint = (char *)MemAlloc(64, HINT_TEXT_SIZE);
    if (hint) {
        BuildFieldHintText(hint, HINT_TEXT_SIZE, request->caption, request->requesterKind, part->field, NULL, NULL);
        AddTooltipTool(part->tooltip, GetDlgItem(dialog, IDC_EB_ICON1), hint, IDC_EB_HINTTOOL, TOOLTIP_RECT_PARENT,
                       0);
        MemFree(hint);
    }
}

int SetupEditBarPart(HWND dialog, EditBarPair *pair)
{
    EditRequest *request = pair->request;
    EditBarPart *part = pair->part;
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)pair);
    part->window = dialog;
    FieldRecord *field = part->field;
    const char *code = field && field->typeCode ? field->typeCode : "";
    part->stampTime = code[0] == 'U' || code[0] == 'K';
    part->amendedBox = (code[0] == 'X' && strncmp(GetRequestPageKey(request), "Form 940", 8) == 0 && field &&
                        field->seq && strncmp(field->seq, "0110", 4) == 0)
                           ? 'c'
                           : 0;
    part->tooltip = CreateTooltipWindow(dialog, 0, 1);
    request->settingUp = 1;
    request->cancelled = 0;
    request->valid = 0;
    part->valid = 0;
    static const int fontControls[] = {IDC_EB_EDIT1, IDC_EB_EDIT2, IDC_EB_EDIT3, IDC_EB_LIST, IDC_EB_SEP1, IDC_EB_SEP2};
    for (size_t i = 0; i < sizeof(fontControls) / sizeof(fontControls[0]); i++)
        SendDlgItemMessageA(dialog, fontControls[i], WM_SETFONT, (WPARAM)request->font, FALSE);

    HDC dc = GetDC(dialog);
    HGDIOBJ oldFont = request->font ? SelectObject(dc, request->font) : NULL;
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    int zeroWidth = MeasureText(dc, "0");
    part->charWidth = metrics.tmAveCharWidth > zeroWidth ? metrics.tmAveCharWidth : zeroWidth;
    if (part->charWidth < 1)
        part->charWidth = 8;
    int editHeight = metrics.tmHeight + 6;
    part->height = editHeight + 4 > ROW_MIN_HEIGHT ? editHeight + 4 : ROW_MIN_HEIGHT;

    FieldFormatPart *descriptor = &request->format->parts[part->index];
    if (descriptor->letter == 'T' && descriptor->bracket[0]) {
        if (descriptor->colonDigit)
            snprintf(part->itemCode, sizeof(part->itemCode), "%s:%c", descriptor->bracket, descriptor->colonDigit);
        else
            snprintf(part->itemCode, sizeof(part->itemCode), "%s", descriptor->bracket);
    }
    int kind = 0, subkind = 0;
    int icons[3] = {0, 0, 0};
    int known = field && GetFieldEntryKind(field, descriptor, &kind, &subkind, icons, &part->controlKind,
                                           part->partLetter);
    part->kind = kind;
    part->subkind = subkind;
    part->letter = known ? GetPartEntryLetter(field, descriptor, NULL) : 0;
    int width = 0;
    if (known) {
        part->advanceWhenFull = descriptor->greaterMark;
        if (!part->advanceWhenFull)
            part->commitWhenFull = descriptor->lessMark;
        if ((part->letter == 'x' || part->letter == 'X') && request->entryMode == EDIT_ENTRY_CLICK) {
            // A click on a check mark toggles it without showing anything.
            snprintf(part->text, sizeof(part->text), "%s", part->initial[0] ? "" : "X");
            part->controlKind = ENTRY_CONTROL_NONE;
            part->edited = 1;
            part->valid = 1;
            known = 0;
            width = -1;
        }
    }
    if (known) {
        switch (part->controlKind) {
        case ENTRY_CONTROL_EDIT:
        case ENTRY_CONTROL_NUMBER:
            width = BuildSingleEdit(dialog, request, part, editHeight);
            break;
        case ENTRY_CONTROL_LIST:
            width = BuildListEntry(dialog, request, part, dc, editHeight);
            break;
        default:
            width = IsSplitEntryControl(part->controlKind) ? BuildSplitEntry(dialog, request, part, dc, editHeight) : 0;
            break;
        }
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);

    if (width <= 0) {
        // Nothing to enter (an unknown letter closes unchecked and stores nothing; a toggled
        // check mark closes checked and is committed).
        request->settingUp = 0;
        SendMessageA(dialog, WM_CLOSE, 0, width < 0 ? 1 : 0);
        return 0;
    }
    if (field->seqPrefix && field->seqPrefix[0] && request->requesterKind == EDIT_REQUESTER_PAGE_VIEW)
        width = BuildStatementButton(dialog, request, part, width, editHeight);
    BuildKindIcons(dialog, request, part, icons);
    part->width = width;
    SetWindowPos(dialog, NULL, 0, 0, width, part->height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    part->selectMessage = EM_SETSEL;
    if (part->index == 0 || GetWindowTextLengthA(part->focusControl) > 0) {
        request->focusControl = part->focusControl;
        request->activePart = part->index;
    }
    if (!request->modeless)
        SetFocus(part->focusControl);
    request->settingUp = 0;
    return 1;
}

INT_PTR CALLBACK EditBarDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditBarPair *pair = message == WM_INITDIALOG ? (EditBarPair *)lParam : GetEditBarPair(dialog);
    if (!pair)
        return FALSE;
    EditRequest *request = pair->request;
    EditBarPart *part = pair->part;
    // Under a modal frame the row neither moves on, nor checks a lost focus, nor closes.
    if ((message == WM_KEYDOWN || message == WM_NEXTDLGCTL || message == WM_EDITBAR_FOCUSLOST ||
         message == WM_CLOSE) &&
        IsEditBarHeld(request))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        SetupEditBarPart(dialog, pair);
        return FALSE;   // the container decides where the focus goes
    case WM_COMMAND:
        return HandleEditBarCommand(dialog, pair, wParam, lParam);
    case WM_NEXTDLGCTL:
        NavigateEditBarPart(dialog, pair, wParam ? 1 : 0);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_KEYDOWN:
        return HandleEditBarKey(dialog, pair, wParam);
    case WM_EDITBAR_FOCUSLOST:
        HandleEditBarFocusLost(dialog, pair);
        return TRUE;
    case WM_EDITBAR_CHECKPART: {
        uint32_t *result = (uint32_t *)lParam;
        int valid = part->committed ? 1 : CheckEditBarPart(dialog, pair);
        if (result)
            *result = valid;
        return TRUE;
    }
    case WM_CLOSE:
        CloseEditBarPart(dialog, pair, (int)lParam);
        return TRUE;
    case WM_DRAWITEM: {
        DRAWITEMSTRUCT *item = (DRAWITEMSTRUCT *)lParam;
        if (!item || item->CtlID != IDC_EB_STMT)
            return FALSE;
        HBITMAP image = (item->itemState & ODS_SELECTED) ? request->stmtButtonDown : request->stmtButtonUp;
        int width, height;
        if (image && GetBitmapSize(image, &width, &height)) {
            HDC memory = CreateCompatibleDC(item->hDC);
            HGDIOBJ old = SelectObject(memory, image);
            StretchBlt(item->hDC, item->rcItem.left, item->rcItem.top, item->rcItem.right - item->rcItem.left,
                       item->rcItem.bottom - item->rcItem.top, memory, 0, 0, width, height, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        } else {
            DrawFrameControl(item->hDC, &item->rcItem, DFC_BUTTON,
                             DFCS_BUTTONPUSH | ((item->itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
        }
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        int id = GetDlgCtrlID((HWND)lParam);
        if (id >= IDC_EB_CUE1 && id <= IDC_EB_CUE3) {
            SetTextColor((HDC)wParam, RGB(0, 0, 255));
            SetBkMode((HDC)wParam, TRANSPARENT);
            return (INT_PTR)GetSysColorBrush(COLOR_BTNFACE);
        }
        return FALSE;
    }
    case WM_CTLCOLOREDIT:
        if ((part->controlKind == ENTRY_CONTROL_NAME2 || part->controlKind == ENTRY_CONTROL_NAME3) &&
            request->greyBrush) {
            SetBkColor((HDC)wParam, RGB(0xE0, 0xE0, 0xE0));
            return (INT_PTR)request->greyBrush;
        }
        return FALSE;
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (header && header->code == TTN_SHOW && header->hwndFrom)
            SetWindowPos(header->hwndFrom, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return FALSE;
    }
    case WM_DESTROY:
        if (request->focusControl && (request->focusControl == dialog || IsChild(dialog, request->focusControl)))
            request->focusControl = NULL;
        if (part->tooltip && IsWindow(part->tooltip))
            DestroyWindow(part->tooltip);
        part->tooltip = NULL;
        part->window = NULL;
        return FALSE;
    }
    return FALSE;
}
