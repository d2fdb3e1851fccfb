// multifield_popup.cpp - the "MULTIFIELD" popup: the members of a group field as labelled value
// boxes, typed through the edit bar (requester kind 5), statement members through the main
// window's statement grid; OK checks completeness, stores, composes the group field and asks for
// a full recompute; Cancel puts every member back. One popup at a time: its state is global.
#include "entry/entry.h"
#include "pages/pages.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// One member of the popup.
struct MultiFieldEntry {
    HWND label;
    HWND value;              // null for a label member
    FieldRecord *field;
    int labelOnly;           // member type 'L'
    int valueWidth;
    int labelHeight;
    int column;              // side by side with the entry before it
    int index;
    int controlId;           // IDC_MF_VALUE_FIRST + index
    COLORREF textColour;     // the label's
    COLORREF backColour;     // the label's background (CLR_INVALID: the dialog's)
    HBRUSH backBrush;
    char *saved;             // the member's value when the popup opened (owned)
};

static HWND sDialog;
static MultiFieldParams *sParams;
static MultiFieldEntry *sEntries;
static int sCount;
static int sGroupKind;
static FormInstance *sForm;
static EditRequest sRequest;
static int sEditing = -1;
static HFONT sLabelFont, sValueFont;
static HBRUSH sShadeBrush, sWhiteBrush;
static COLORREF sShade;
static OpenReturn *sSavedReturn;

static const COLORREF kNavy = RGB(0, 0, 128);

// ---- members ----

static int IsCalculatedMember(const MultiFieldEntry *entry)
{
    const char *type = entry->field->typeCode ? entry->field->typeCode : "";
    return type[0] == 'C' || type[0] == 'c';
}

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

// The page whose table holds the members: the page shown, else the return's page that owns it.
static FormInstance *FindTablePage(FieldTable *table)
{
    FormInstance *shown = (FormInstance *)GetCurrentDocument(4);
    if (shown && shown->fieldTable == table)
        return shown;
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    FormInstance *found = NULL;
    for (int i = 0; i < count && !found; i++)
        if (pages[i] && pages[i]->fieldTable == table)
            found = pages[i];
    MemFree(pages);
    return found;
}

static int GetTableIndex(const FieldRecord *field)
{
    FieldTable *table = sParams ? sParams->fields : NULL;
    if (!table || field < table->fields || field >= table->fields + table->count)
        return 0;
    return (int)(field - table->fields);
}

static void RefreshValueBoxes(void)
{
    char text[EDIT_TEXT_SIZE];
    for (int i = 0; i < sCount; i++) {
        MultiFieldEntry *entry = &sEntries[i];
        if (!entry->value)
            continue;
        const char *value = entry->field->value ? entry->field->value : "";
        GetWindowTextA(entry->value, text, sizeof text);
        if (strcmp(text, value) != 0)
            SetWindowTextA(entry->value, value);
    }
}

// Cancels an open edit bar (nothing it holds is stored).
static void CancelEditBar(void)
{
    if (gEditBarContainer && IsWindow(gEditBarContainer)) {
        sRequest.cancelled = 1;
        DestroyWindow(gEditBarContainer);
    }
    gEditBarContainer = NULL;
}

// ---- creating and placing the controls ----

static HFONT MakeFont(HWND dialog, int weight)
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

static void CreateMemberControls(HWND dialog, FieldRecord **members)
{
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, sValueFont);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    int average = metrics.tmAveCharWidth > 0 ? metrics.tmAveCharWidth : 7;
    SelectObject(dc, sLabelFont);
    for (int i = 0; i < sCount; i++) {
        MultiFieldEntry *entry = &sEntries[i];
        entry->field = members[i];
        entry->index = i;
        entry->controlId = IDC_MF_VALUE_FIRST + i;
        const char *type = entry->field->typeCode ? entry->field->typeCode : "";
        entry->labelOnly = type[0] == 'L';
        entry->saved = DuplicateText(entry->field->value ? entry->field->value : "");
        SetLabelColours(entry);

        char label[512];
        BuildMultiFieldLabel(sGroupKind, members, sCount, i, sParams->field, label, sizeof label);
        DWORD align = SS_LEFT;
        if (entry->labelOnly && strlen(type) >= 3)
            align = type[2] == 'C' ? SS_CENTER : type[2] == 'R' ? SS_RIGHT : SS_LEFT;
        entry->label = CreateWindowExA(0, "STATIC", label, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | align, 0, 0, 10, 10,
                                       dialog, (HMENU)(INT_PTR)(IDC_MF_LABEL_FIRST + i), gInstance, NULL);
        SendMessageA(entry->label, WM_SETFONT, (WPARAM)sLabelFont, 0);
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
        SendMessageA(entry->value, WM_SETFONT, (WPARAM)sValueFont, 0);
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
}

// Names and addresses: their parts of one line side by side with the label above each box;
// everything else one member a row, labels in one column and boxes in the next.
static void LayoutMembers(HWND dialog)
{
    const int margin = 10, gap = 8;
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, sValueFont);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    int boxHeight = metrics.tmHeight + 6;
    int right = 0, y = margin;

    int nameLayout = sGroupKind == MULTIFIELD_GROUP_NAME && sCount >= 2 && sCount <= 4;
    if (nameLayout) {
        // The 4-part address puts "Address" on a line of its own.
        int x = margin, rowHeight = 0;
        for (int i = 0; i < sCount; i++) {
            MultiFieldEntry *entry = &sEntries[i];
            entry->column = !(sCount == 4 && i <= 1) && i > 0;
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
        for (int i = 0; i < sCount; i++) {
            if (sEntries[i].labelOnly)
                continue;
            int width = (int)GetWindowLongPtrA(sEntries[i].label, GWLP_USERDATA);
            labelColumn = width > labelColumn ? width : labelColumn;
        }
        int valueColumn = 0;
        for (int i = 0; i < sCount; i++)
            valueColumn = sEntries[i].valueWidth > valueColumn ? sEntries[i].valueWidth : valueColumn;
        int fullWidth = labelColumn + gap + valueColumn;
        for (int i = 0; i < sCount; i++) {
            MultiFieldEntry *entry = &sEntries[i];
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

static int InitMultiField(HWND dialog, MultiFieldParams *params)
{
    sDialog = dialog;
    sParams = params;
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)params);
    sEditing = -1;
    memset(&sRequest, 0, sizeof sRequest);
    if (!params || !params->field) {
        EndDialog(dialog, 0);
        return 0;
    }
    char title[300];
    snprintf(title, sizeof title, " %s", params->field->description ? params->field->description : "");
    SetWindowTextA(dialog, title);
    sForm = FindTablePage(params->fields);
    sSavedReturn = (OpenReturn *)MemAlloc(64, sizeof(OpenReturn));
    if (sSavedReturn && gOpenReturnPtr)
        memcpy(sSavedReturn, gOpenReturnPtr, sizeof(OpenReturn));

    FieldRecord *members[MULTIFIELD_MAX_MEMBERS];
    sCount = BuildMultiFieldMembers(params->field, params->fields, members, MULTIFIELD_MAX_MEMBERS, NULL, 1);
    sGroupKind = ResolveMultiFieldGroupKind((int)params->groupKind, params->field, sCount);
    params->groupKind = (uint32_t)sGroupKind;
    sEntries = sCount ? (MultiFieldEntry *)MemAlloc(64, sizeof(MultiFieldEntry) * (size_t)sCount) : NULL;
    if (!sEntries)
        sCount = 0;

    sShade = gViewOnly ? RGB(255, 255, 255) : GetFieldShadeColor(NULL, NULL);
    sShadeBrush = CreateSolidBrush(sShade);
    sWhiteBrush = CreateSolidBrush(RGB(255, 255, 255));
    sLabelFont = MakeFont(dialog, FW_NORMAL);
    sValueFont = MakeFont(dialog, FW_BOLD);
    CreateMemberControls(dialog, members);
    LayoutMembers(dialog);
    return 1;
}

// ---- editing a member ----

static void OpenMemberStatement(HWND dialog, MultiFieldEntry *entry, int withTotal)
{
    PageStatementBlock block;
    memset(&block, 0, sizeof block);
    block.field = FindFieldRecord(entry->field->valueList, sParams->fields, NULL);
    block.summaryField = entry->field;
    block.fieldIndex = (uint32_t)GetTableIndex(entry->field);
    block.kind = 1;
    block.showTotal = (uint32_t)withTotal;
    block.owner = dialog;
    block.page = sForm;
    RECT box;
    GetWindowRect(entry->value, &box);
    if (gPageViewWindow)
        MapWindowPoints(NULL, gPageViewWindow, (POINT *)&box, 2);
    block.placeX = box.left;
    block.placeY = box.top;
    if (!block.field || !gMainWindow)
        return;
    LRESULT result = SendMessageA(gMainWindow, WM_OPEN_STATEMENT, 1, (LPARAM)&block);
    if (result != IDOK)
        return;
    // The statement is stored already: Cancel could no longer take it back.
    EnableWindow(GetDlgItem(dialog, IDC_MF_CANCEL), FALSE);
    if (sForm)
        RecomputeForm(sForm);
    RefreshValueBoxes();
}

static void OpenMember(HWND dialog, int index, int entryMode)
{
    if (index < 0 || index >= sCount)
        return;
    // An open bar is committed first; while it holds an entry it refuses, the click is ignored.
    if (gEditBarContainer && !CommitOpenEditBar())
        return;
    MultiFieldEntry *entry = &sEntries[index];
    if (gViewOnly || entry->labelOnly || IsCalculatedMember(entry))
        return;
    int kind = GetFieldKind(entry->field);
    if (kind == 5 || kind == 6) {
        OpenMemberStatement(dialog, entry, kind == 6);
        return;
    }
    if (entry->field->typeCode && strstr(entry->field->typeCode, "S["))
        return;
    memset(&sRequest, 0, sizeof sRequest);
    GetWindowTextA(entry->value, sRequest.text, sizeof sRequest.text);
    GetWindowRect(entry->value, &sRequest.fieldRect);
    sRequest.field = entry->field;
    sRequest.fieldIndex = (uint32_t)GetTableIndex(entry->field);
    sRequest.requester = dialog;
    sRequest.caption = sParams->field->description;
    sRequest.requesterKind = EDIT_REQUESTER_MULTIFIELD;
    sRequest.entryMode = (uint16_t)entryMode;
    sRequest.page = sForm;
    sRequest.fieldTable = sParams->fields;
    sEditing = index;
    OpenEditBarWindow(dialog, &sRequest);
}

static void OnEditDone(EditRequest *request)
{
    if (!request || !request->field)
        return;
    int index = -1;
    for (int i = 0; i < sCount && index < 0; i++)
        if (sEntries[i].field == request->field)
            index = i;
    if (index < 0)
        return;
    MultiFieldEntry *entry = &sEntries[index];
    if (entry->value)
        SetWindowTextA(entry->value, request->text);
    SetFieldText(&entry->field->value, request->text);
    if (entry->field->typeCode && entry->field->typeCode[0] == 'x')
        ComputeField(entry->field, sParams->fields, sForm);
    if (sForm)
        RecomputeForm(sForm);
    RefreshValueBoxes();
}

// Tab and Shift+Tab from the member being edited: the next member that can be typed.
static void OnGotoMember(HWND dialog, int backward)
{
    if (gEditBarContainer && !CommitOpenEditBar())
        return;
    int step = backward ? -1 : 1;
    int index = sEditing;
    for (int tries = 0; tries <= sCount; tries++) {
        index += step;
        if (index < 0 || index >= sCount) {
            if (sParams->kind == 2 || sParams->wrapLeaves) {
                sParams->direction = backward ? 1 : 0;
                sParams->result = MULTIFIELD_TABBED_OUT;
                PostMessageA(dialog, WM_COMMAND, IDC_MF_OK, 0);
                return;
            }
            index = index < 0 ? sCount - 1 : 0;
        }
        if (index >= 0 && index < sCount && !sEntries[index].labelOnly && !IsCalculatedMember(&sEntries[index])) {
            OpenMember(dialog, index, EDIT_ENTRY_KEYBOARD);
            return;
        }
    }
}

// ---- OK and Cancel ----

// The taxpayer items among the members that differ from the record go into it: all are
// tried on a copy first, so a refused value stores nothing. Returns -1 when one was refused, else the number
// of items applied.
static int ApplyTaxpayerMembers(char (*texts)[EDIT_TEXT_SIZE])
{
    if (!gOpenReturnPtr)
        return 0;
    OpenReturn *trial = (OpenReturn *)MemAlloc(64, sizeof(OpenReturn));
    if (!trial)
        return -1;
    memcpy(trial, gOpenReturnPtr, sizeof(OpenReturn));
    for (int pass = 0; pass < 2; pass++) {
        int applied = 0;
        for (int i = 0; i < sCount; i++) {
            char code[16];
            if (!sEntries[i].value || !GetTaxpayerItemCode(sEntries[i].field, code, sizeof code))
                continue;
            // A member that shows what the record holds already is not stored again: a field
            // that joins members (first name with middle name) would otherwise be stored back
            // into one of them.
            char shown[256];
            if (GetTaxpayerItemValue(sEntries[i].field, gOpenReturnPtr, shown, sizeof shown) &&
                strcmp(texts[i], shown) == 0)
                continue;
            if (!ApplyFieldEditRules(code, texts[i], pass ? gOpenReturnPtr : trial, NULL)) {
                MemFree(trial);
                ShowEditRulesRefusal(texts[i]);
                if (sEntries[i].value)
                    SetFocus(sEntries[i].value);
                return -1;
            }
            applied++;
        }
        if (pass) {
            MemFree(trial);
            return applied;
        }
    }
    return 0;
}

static void OnOk(HWND dialog)
{
    if (gEditBarContainer && !CommitOpenEditBar()) {
        sParams->result = 0;
        return;
    }
    static char texts[MULTIFIELD_MAX_MEMBERS][EDIT_TEXT_SIZE];
    const char *values[MULTIFIELD_MAX_MEMBERS];
    FieldRecord *members[MULTIFIELD_MAX_MEMBERS];
    for (int i = 0; i < sCount; i++) {
        texts[i][0] = 0;
        if (sEntries[i].value)
            GetWindowTextA(sEntries[i].value, texts[i], EDIT_TEXT_SIZE);
        values[i] = texts[i];
        members[i] = sEntries[i].field;
    }
    if (!IsMultiFieldComplete(sGroupKind, members, values, sCount)) {
        sParams->result = 0;
        ShowMessageBox(dialog, "The information you entered is incomplete.", "Missing Data Detected",
                       MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    int applied = ApplyTaxpayerMembers(texts);
    if (applied < 0) {
        sParams->result = 0;
        return;
    }
    for (int i = 0; i < sCount; i++) {
        MultiFieldEntry *entry = &sEntries[i];
        if (entry->value && !IsCalculatedMember(entry) && SetFieldText(&entry->field->value, texts[i]))
            RedrawField(entry->field);
    }
    // Every page follows the taxpayer record, and the joined names follow their parts.
    if (applied > 0) {
        if (sForm && sForm->fieldTable)
            PropagateFormHeaderName(sForm->fieldTable, gOpenReturnPtr, sForm, 0, 1);
    }
    FieldRecord *group = sParams->field;
    if (group->typeCode && strstr(group->typeCode, "S[")) {
        // Composed from the members' own values (a calculated group field is not among them).
        char composed[512];
        int memberCount = sCount;
        if (memberCount && sEntries[memberCount - 1].field == group)
            memberCount--;
        ComposeMultiFieldValue(group->typeCode, values, memberCount, composed, sizeof composed);
        if (SetFieldText(&group->value, composed))
            RedrawField(group);
    }
    FillJoinedNameFields(sParams->fields, sForm);
    if (applied > 0)
        PropagateTaxpayerChange(gOpenReturnPtr);
    gReturnModified = 1;
    // Other forms read these values: the whole return is computed again.
    RequestRecompute(1, NULL);
    EndDialog(dialog, 1);
}

static void OnCancel(HWND dialog)
{
    CancelEditBar();
    for (int i = 0; i < sCount; i++) {
        MultiFieldEntry *entry = &sEntries[i];
        if (SetFieldText(&entry->field->value, entry->saved))
            RedrawField(entry->field);
    }
    // Edits of the bar's name boxes reach the return record at once: it is put back too.
    if (sSavedReturn && gOpenReturnPtr && memcmp(sSavedReturn, gOpenReturnPtr, sizeof(OpenReturn)) != 0) {
        memcpy(gOpenReturnPtr, sSavedReturn, sizeof(OpenReturn));
        PropagateTaxpayerChange(gOpenReturnPtr);
    }
    if (sForm)
        RecomputeForm(sForm);
    sParams->result = 0;
    EndDialog(dialog, 0);
}

static void DestroyMultiField(void)
{
    CancelEditBar();
    for (int i = 0; i < sCount; i++) {
        MemFree(sEntries[i].saved);
        if (sEntries[i].backBrush)
            DeleteObject(sEntries[i].backBrush);
    }
    sEntries = (MultiFieldEntry *)MemFree(sEntries);
    sCount = 0;
    sSavedReturn = (OpenReturn *)MemFree(sSavedReturn);
    if (sLabelFont)
        DeleteObject(sLabelFont);
    if (sValueFont)
        DeleteObject(sValueFont);
    if (sShadeBrush)
        DeleteObject(sShadeBrush);
    if (sWhiteBrush)
        DeleteObject(sWhiteBrush);
    sLabelFont = sValueFont = NULL;
    sShadeBrush = sWhiteBrush = NULL;
    memset(&sRequest, 0, sizeof sRequest);
    sEditing = -1;
    sDialog = NULL;
}

static INT_PTR OnColourStatic(HDC dc, HWND control)
{
    for (int i = 0; i < sCount; i++) {
        MultiFieldEntry *entry = &sEntries[i];
        if (control == entry->value) {
            int white = IsCalculatedMember(entry);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, white ? RGB(255, 255, 255) : sShade);
            return (INT_PTR)(white ? sWhiteBrush : sShadeBrush);
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

INT_PTR CALLBACK MultiFieldDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitMultiField(dialog, (MultiFieldParams *)lParam);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDC_MF_OK || id == IDCANCEL) {
            OnOk(dialog);
            return TRUE;
        }
        if (id == IDC_MF_CANCEL) {
            OnCancel(dialog);
            return TRUE;
        }
        if (id >= IDC_MF_VALUE_FIRST && id < IDC_MF_VALUE_FIRST + sCount && HIWORD(wParam) == STN_CLICKED) {
            OpenMember(dialog, id - IDC_MF_VALUE_FIRST, EDIT_ENTRY_CLICK);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CTLCOLORSTATIC:
        return OnColourStatic((HDC)wParam, (HWND)lParam);
    case WM_CTLCOLORDLG:
        return (INT_PTR)GetSysColorBrush(COLOR_BTNFACE);
    case WM_PAGE_GOTOFIELD:
        OnGotoMember(dialog, wParam != 0);
        return TRUE;
    case WM_EDIT_DONE:
        OnEditDone((EditRequest *)lParam);
        return TRUE;
    case WM_DESTROY:
        DestroyMultiField();
        return FALSE;
    }
    return FALSE;
}

INT_PTR OpenMultiFieldDialog(HWND parent, MultiFieldParams *params)
{
    if (!params || !params->field || sDialog)
        return 0;
    params->result = 0;
    INT_PTR result = DialogBoxParamA(gInstance, "MULTIFIELD", parent ? parent : gMainWindow, MultiFieldDialogProc,
                                     (LPARAM)params);
    return result > 0 ? result : 0;
}

int OpenNearbyMultiFieldDialog(FieldRecord *field, FieldTable *fields, int n)
{
    if (!field || !fields || !fields->fields || field < fields->fields || field >= fields->fields + fields->count)
        return 0;
    int at = (int)(field - fields->fields);
    int first = at - n < 1 ? 1 : at - n;
    int last = at + n >= fields->count ? fields->count - 1 : at + n;
    for (int i = first; i <= last; i++) {
        FieldRecord *candidate = &fields->fields[i];
        if (!candidate->rect || !StartsWithText(candidate->typeCode, "S[m"))
            continue;
        MultiFieldParams params;
        memset(&params, 0, sizeof params);
        params.groupKind = MULTIFIELD_GROUP_LIST;
        params.field = candidate;
        params.fields = fields;
        params.fieldIndex = (uint32_t)i;
        OpenMultiFieldDialog(gMainWindow, &params);
        return 1;
    }
    return 0;
}
