// multifield_popup.cpp - the "MULTIFIELD" popup: the members of a group field as labelled value
// boxes, typed through the edit bar (requester kind 5), statement members through the main
// window's statement grid; OK checks completeness, stores, composes the group field and asks for
// a full recompute; Cancel puts every member back. One popup at a time: its state is global.
#include "entry/multifield/multifield_private.h"
#include "entry/editbar/editbar.h"
#include "pages/pages.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

MultiFieldState gMultiField;

// ---- members ----

int IsCalculatedMultiFieldMember(const MultiFieldEntry *entry)
{
    const char *type = entry->field->typeCode ? entry->field->typeCode : "";
    return type[0] == 'C' || type[0] == 'c';
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
    FieldTable *table = gMultiField.params ? gMultiField.params->fields : NULL;
    if (!table || field < table->fields || field >= table->fields + table->count)
        return 0;
    return (int)(field - table->fields);
}

static void RefreshValueBoxes(void)
{
    char text[EDIT_TEXT_SIZE];
    for (int i = 0; i < gMultiField.count; i++) {
        MultiFieldEntry *entry = &gMultiField.entries[i];
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
        gMultiField.request.cancelled = 1;
        DestroyWindow(gEditBarContainer);
    }
    gEditBarContainer = NULL;
}

static int InitMultiField(HWND dialog, MultiFieldParams *params)
{
    gMultiField.dialog = dialog;
    gMultiField.params = params;
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)params);
    gMultiField.editing = -1;
    memset(&gMultiField.request, 0, sizeof gMultiField.request);
    if (!params || !params->field) {
        EndDialog(dialog, 0);
        return 0;
    }
    char title[300];
    snprintf(title, sizeof title, " %s", params->field->description ? params->field->description : "");
    SetWindowTextA(dialog, title);
    gMultiField.form = FindTablePage(params->fields);
    gMultiField.savedReturn = (OpenReturn *)MemAlloc(64, sizeof(OpenReturn));
    if (gMultiField.savedReturn && gOpenReturnPtr)
        memcpy(gMultiField.savedReturn, gOpenReturnPtr, sizeof(OpenReturn));

    FieldRecord *members[MULTIFIELD_MAX_MEMBERS];
    gMultiField.count = BuildMultiFieldMembers(params->field, params->fields, members, MULTIFIELD_MAX_MEMBERS, NULL, 1);
    gMultiField.groupKind = ResolveMultiFieldGroupKind((int)params->groupKind, params->field, gMultiField.count);
    params->groupKind = (uint32_t)gMultiField.groupKind;
    gMultiField.entries = gMultiField.count ? (MultiFieldEntry *)MemAlloc(64, sizeof(MultiFieldEntry) * (size_t)gMultiField.count) : NULL;
    if (!gMultiField.entries)
        gMultiField.count = 0;

    gMultiField.shade = gViewOnly ? RGB(255, 255, 255) : GetFieldShadeColor(NULL, NULL);
    gMultiField.shadeBrush = CreateSolidBrush(gMultiField.shade);
    gMultiField.whiteBrush = CreateSolidBrush(RGB(255, 255, 255));
    gMultiField.labelFont = MakeMultiFieldFont(dialog, FW_NORMAL);
    gMultiField.valueFont = MakeMultiFieldFont(dialog, FW_BOLD);
    CreateMultiFieldControls(dialog, members);
    LayoutMultiFieldMembers(dialog);
    return 1;
}

// ---- editing a member ----

static void OpenMemberStatement(HWND dialog, MultiFieldEntry *entry, int withTotal)
{
    PageStatementBlock block;
    memset(&block, 0, sizeof block);
    block.field = FindFieldRecord(entry->field->valueList, gMultiField.params->fields, NULL);
    block.summaryField = entry->field;
    block.fieldIndex = (uint32_t)GetTableIndex(entry->field);
    block.kind = 1;
    block.showTotal = (uint32_t)withTotal;
    block.owner = dialog;
    block.page = gMultiField.form;
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
    if (gMultiField.form)
        RecomputeForm(gMultiField.form);
    RefreshValueBoxes();
}

static void OpenMember(HWND dialog, int index, int entryMode)
{
    if (index < 0 || index >= gMultiField.count)
        return;
    // An open bar is committed first; while it holds an entry it refuses, the click is ignored.
    if (gEditBarContainer && !CommitOpenEditBar())
        return;
    MultiFieldEntry *entry = &gMultiField.entries[index];
    if (gViewOnly || entry->labelOnly || IsCalculatedMultiFieldMember(entry))
        return;
    int kind = GetFieldKind(entry->field);
    if (kind == 5 || kind == 6) {
        OpenMemberStatement(dialog, entry, kind == 6);
        return;
    }
    if (entry->field->typeCode && strstr(entry->field->typeCode, "S["))
        return;
    memset(&gMultiField.request, 0, sizeof gMultiField.request);
    GetWindowTextA(entry->value, gMultiField.request.text, sizeof gMultiField.request.text);
    GetWindowRect(entry->value, &gMultiField.request.fieldRect);
    gMultiField.request.field = entry->field;
    gMultiField.request.fieldIndex = (uint32_t)GetTableIndex(entry->field);
    gMultiField.request.requester = dialog;
    gMultiField.request.caption = gMultiField.params->field->description;
    gMultiField.request.requesterKind = EDIT_REQUESTER_MULTIFIELD;
    gMultiField.request.entryMode = (uint16_t)entryMode;
    gMultiField.request.page = gMultiField.form;
    gMultiField.request.fieldTable = gMultiField.params->fields;
    gMultiField.editing = index;
    OpenEditBarWindow(dialog, &gMultiField.request);
}

static void OnEditDone(EditRequest *request)
{
    if (!request || !request->field)
        return;
    int index = -1;
    for (int i = 0; i < gMultiField.count && index < 0; i++)
        if (gMultiField.entries[i].field == request->field)
            index = i;
    if (index < 0)
        return;
    MultiFieldEntry *entry = &gMultiField.entries[index];
    // A member left as it was keeps its whole value: the bar's text holds at most 127 characters
    // of it.
    if (!request->unchanged) {
        if (entry->value)
            SetWindowTextA(entry->value, request->text);
        // The member is a field of the page too: the page shows what it now holds (Cancel puts
        // the saved value back and redraws it again).
        if (SetFieldText(&entry->field->value, request->text))
            RedrawField(entry->field);
    }
    // Then computed as the same field is when committed on the page.
    ComputeCommittedField(entry->field, gMultiField.params->fields, gMultiField.form);
    RefreshValueBoxes();
}

// Tab and Shift+Tab from the member being edited: the next member that can be typed.
static void OnGotoMember(HWND dialog, int backward)
{
    if (gEditBarContainer && !CommitOpenEditBar())
        return;
    int step = backward ? -1 : 1;
    int index = gMultiField.editing;
    for (int tries = 0; tries <= gMultiField.count; tries++) {
        index += step;
        if (index < 0 || index >= gMultiField.count) {
            if (gMultiField.params->kind == 2 || gMultiField.params->wrapLeaves) {
                gMultiField.params->direction = backward ? 1 : 0;
                gMultiField.params->result = MULTIFIELD_TABBED_OUT;
                PostMessageA(dialog, WM_COMMAND, IDC_MF_OK, 0);
                return;
            }
            index = index < 0 ? gMultiField.count - 1 : 0;
        }
        if (index >= 0 && index < gMultiField.count && !gMultiField.entries[index].labelOnly && !IsCalculatedMultiFieldMember(&gMultiField.entries[index])) {
            OpenMember(dialog, index, EDIT_ENTRY_KEYBOARD);
            return;
        }
    }
}

// ---- OK and Cancel ----

// The taxpayer items among the members that differ from the record go into it: all are
// tried on a copy first, so a refused value stores nothing. Returns -1 when one was refused, else the number
// of items applied.
static int ApplyTaxpayerMembers(char *const *texts)
{
    if (!gOpenReturnPtr)
        return 0;
    OpenReturn *trial = (OpenReturn *)MemAlloc(64, sizeof(OpenReturn));
    if (!trial)
        return -1;
    memcpy(trial, gOpenReturnPtr, sizeof(OpenReturn));
    for (int pass = 0; pass < 2; pass++) {
        int applied = 0;
        for (int i = 0; i < gMultiField.count; i++) {
            char code[16];
            if (!gMultiField.entries[i].value || !GetTaxpayerItemCode(gMultiField.entries[i].field, code, sizeof code))
                continue;
            // A member that shows what the record holds already is not stored again: a field
            // that joins members (first name with middle name) would otherwise be stored back
            // into one of them.
            char shown[256];
            if (GetTaxpayerItemValue(gMultiField.entries[i].field, gOpenReturnPtr, shown, sizeof shown) &&
                strcmp(texts[i], shown) == 0)
                continue;
            if (!ApplyFieldEditRules(code, texts[i], pass ? gOpenReturnPtr : trial, NULL)) {
                MemFree(trial);
                ShowEditRulesRefusal(texts[i]);
                if (gMultiField.entries[i].value)
                    SetFocus(gMultiField.entries[i].value);
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

// OK's checks and stores on the boxes' texts (values: the same texts, never null). 1 when the
// members were stored, 0 when the popup stays open.
static int StoreMultiFieldMembers(HWND dialog, char *const *texts, const char *const *values, FieldRecord **members)
{
    for (int i = 0; i < gMultiField.count; i++)
        if (!texts[i]) {
            gMultiField.params->result = 0;
            return 0;   // out of memory, reported by MemAlloc: nothing is stored
        }
    if (!IsMultiFieldComplete(gMultiField.groupKind, members, values, gMultiField.count)) {
        gMultiField.params->result = 0;
        ShowMessageBox(dialog, "The information you entered is incomplete.", "Missing Data Detected",
                       MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    int applied = ApplyTaxpayerMembers(texts);
    if (applied < 0) {
        gMultiField.params->result = 0;
        return 0;
    }
    for (int i = 0; i < gMultiField.count; i++) {
        MultiFieldEntry *entry = &gMultiField.entries[i];
        if (entry->value && !IsCalculatedMultiFieldMember(entry) && SetFieldText(&entry->field->value, texts[i]))
            RedrawField(entry->field);
    }
    // Every page follows the taxpayer record, and the joined names follow their parts.
    if (applied > 0) {
        if (gMultiField.form && gMultiField.form->fieldTable)
            PropagateFormHeaderName(gMultiField.form->fieldTable, gOpenReturnPtr, gMultiField.form, 0, 1);
    }
    FieldRecord *group = gMultiField.params->field;
    if (group->typeCode && strstr(group->typeCode, "S[")) {
        // Composed whole from the members' own values (a calculated group field is not among
        // them), however long they are.
        int memberCount = gMultiField.count;
        if (memberCount && gMultiField.entries[memberCount - 1].field == group)
            memberCount--;
        int length = ComposeMultiFieldValue(group->typeCode, values, memberCount, NULL, 0);
        char *composed = (char *)MemAlloc(64, (size_t)length + 1);
        if (composed) {
            ComposeMultiFieldValue(group->typeCode, values, memberCount, composed, length + 1);
            if (SetFieldText(&group->value, composed))
                RedrawField(group);
            MemFree(composed);
        }
    }
    FillJoinedNameFields(gMultiField.params->fields, gMultiField.form);
    if (applied > 0) {
        PropagateTaxpayerChange(gOpenReturnPtr);
        // Members filled from the record by the propagation were not redrawn one by one.
        RedrawAllFields();
    }
    gReturnModified = 1;
    // Other forms read these values: the whole return is computed again.
    RequestRecompute(1, NULL);
    return 1;
}

static void OnOk(HWND dialog)
{
    if (gEditBarContainer && !CommitOpenEditBar()) {
        gMultiField.params->result = 0;
        return;
    }
    // Each box's whole text, however long the member's value is.
    char *texts[MULTIFIELD_MAX_MEMBERS];
    const char *values[MULTIFIELD_MAX_MEMBERS];
    FieldRecord *members[MULTIFIELD_MAX_MEMBERS];
    int count = gMultiField.count;
    for (int i = 0; i < count; i++) {
        HWND box = gMultiField.entries[i].value;
        int length = box ? GetWindowTextLengthA(box) : 0;
        texts[i] = (char *)MemAlloc(64, (size_t)(length > 0 ? length : 0) + 1);
        if (texts[i] && box)
            GetWindowTextA(box, texts[i], length + 1);
        values[i] = texts[i] ? texts[i] : "";
        members[i] = gMultiField.entries[i].field;
    }
    int stored = StoreMultiFieldMembers(dialog, texts, values, members);
    for (int i = 0; i < count; i++)
        MemFree(texts[i]);
    if (stored)
        EndDialog(dialog, 1);
}

static void OnCancel(HWND dialog)
{
    CancelEditBar();
    for (int i = 0; i < gMultiField.count; i++) {
        MultiFieldEntry *entry = &gMultiField.entries[i];
        if (SetFieldText(&entry->field->value, entry->saved))
            RedrawField(entry->field);
    }
    // Edits of the bar's name boxes reach the return record at once: it is put back too.
    if (gMultiField.savedReturn && gOpenReturnPtr && memcmp(gMultiField.savedReturn, gOpenReturnPtr, sizeof(OpenReturn)) != 0) {
        memcpy(gOpenReturnPtr, gMultiField.savedReturn, sizeof(OpenReturn));
        PropagateTaxpayerChange(gOpenReturnPtr);
    }
    if (gMultiField.form)
        RecomputeForm(gMultiField.form);
    gMultiField.params->result = 0;
    EndDialog(dialog, 0);
}

static void DestroyMultiField(void)
{
    CancelEditBar();
    for (int i = 0; i < gMultiField.count; i++) {
        MemFree(gMultiField.entries[i].saved);
        if (gMultiField.entries[i].backBrush)
            DeleteObject(gMultiField.entries[i].backBrush);
    }
    gMultiField.entries = (MultiFieldEntry *)MemFree(gMultiField.entries);
    gMultiField.count = 0;
    gMultiField.savedReturn = (OpenReturn *)MemFree(gMultiField.savedReturn);
    if (gMultiField.labelFont)
        DeleteObject(gMultiField.labelFont);
    if (gMultiField.valueFont)
        DeleteObject(gMultiField.valueFont);
    if (gMultiField.shadeBrush)
        DeleteObject(gMultiField.shadeBrush);
    if (gMultiField.whiteBrush)
        DeleteObject(gMultiField.whiteBrush);
    gMultiField.labelFont = gMultiField.valueFont = NULL;
    gMultiField.shadeBrush = gMultiField.whiteBrush = NULL;
    memset(&gMultiField.request, 0, sizeof gMultiField.request);
    gMultiField.editing = -1;
    gMultiField.dialog = NULL;
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
        if (id >= IDC_MF_VALUE_FIRST && id < IDC_MF_VALUE_FIRST + gMultiField.count && HIWORD(wParam) == STN_CLICKED) {
            OpenMember(dialog, id - IDC_MF_VALUE_FIRST, EDIT_ENTRY_CLICK);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CTLCOLORSTATIC:
        return ColourMultiFieldStatic((HDC)wParam, (HWND)lParam);
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
    if (!params || !params->field || gMultiField.dialog)
        return 0;
    params->result = 0;
    INT_PTR result = RunModalDialog(gInstance, "MULTIFIELD", parent ? parent : gMainWindow, MultiFieldDialogProc,
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
