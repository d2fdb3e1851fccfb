// editbar.cpp - the edit bar's container (the "EBContainer" dialog): it owns the request, parses
// the field's type code into parts, creates one entry row per part, places the bar over the
// field inside the requester's view with a shadow, lets the choice boxes pick the active row,
// and on its destruction commits what is valid and tells the requester where to go next.
#include "entry/editbar/editbar_private.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

#define CHOICE_BOX_SIZE 13

// The container's window data: the request, then one pair per part.
struct EditBarTable {
    EditRequest *request;
    EditBarPair pairs[EDITBAR_MAX_PARTS];
};

static EditBarTable *GetEditBarTable(HWND container)
{
    return container ? (EditBarTable *)GetWindowLongPtrA(container, DWLP_USER) : NULL;
}

HWND CreateEditBarShadow(HWND parent, const RECT *rect)
{
    if (!parent || !rect)
        return NULL;
    HWND shadow = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_GRAYRECT, rect->left, rect->top,
                                  rect->right - rect->left, rect->bottom - rect->top, parent,
                                  (HMENU)(INT_PTR)IDC_EB_SHADOW, gInstance, NULL);
    if (shadow)
        SetWindowPos(shadow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return shadow;
}

int SelectEditBarPart(HWND container, EditBarPair *table, int part, int focus)
{
    if (!container || !table || part < 0 || part >= EDITBAR_MAX_PARTS || !table[part].part)
        return 0;
    EditBarPart *row = table[part].part;
    if (!row->window || !IsWindow(row->window))
        return 0;
    RECT rect;
    GetWindowRect(row->window, &rect);
    MapWindowPoints(HWND_DESKTOP, container, (POINT *)&rect, 2);
    HWND frame = GetDlgItem(container, IDC_EB_FRAME);
    if (frame)
        SetWindowPos(frame, HWND_BOTTOM, rect.left - 2, rect.top - 2, rect.right - rect.left + 4,
                     rect.bottom - rect.top + 4, SWP_NOACTIVATE);
    if (focus && row->selectMessage == EM_SETSEL && row->focusControl)
        FocusEditBarEntry(row, NULL);
    return 1;
}

int ActivateEditBarPart(HWND container, int part)
{
    EditBarTable *table = GetEditBarTable(container);
    if (!table || part < 0 || part >= EDITBAR_MAX_PARTS)
        return 0;
    for (int i = 0; i < EDITBAR_MAX_PARTS; i++)
        CheckDlgButton(container, IDC_EB_CHOICE1 + i, i == part ? BST_CHECKED : BST_UNCHECKED);
    table->request->activePart = part;
    return SelectEditBarPart(container, table->pairs, part, 0);
}

int IsCursorOnPartChoice(HWND container)
{
    if (!container)
        return 0;
    POINT point;
    GetCursorPos(&point);
    HWND under = WindowFromPoint(point);
    if (!under || under == container || GetParent(under) != container)
        return 0;
    int id = GetDlgCtrlID(under);
    return id >= IDC_EB_CHOICE1 && id <= IDC_EB_CHOICE3;
}

int ShowEditBar(HWND container, EditRequest *request)
{
    if (!container || !IsWindow(container) || !request || !request->partCount)
        return 0;
    SetWindowPos(container, NULL, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (request->shadow) {
        InvalidateRect(request->shadow, NULL, TRUE);
        UpdateWindow(request->shadow);
    }
    for (int i = 0; i < EDITBAR_MAX_PARTS; i++) {
        HWND part = request->partWindows[i];
        if (!part || !IsWindow(part))
            continue;
        ShowWindow(part, SW_SHOWNA);
        HWND icon = GetDlgItem(part, IDC_EB_ICON1);
        if (icon)
            InvalidateRect(icon, NULL, TRUE);
    }
    if (request->focusControl && IsWindow(request->focusControl)) {
        SetFocus(request->focusControl);
        if (GetDlgCtrlID(request->focusControl) == IDC_EB_LIST)
            SendMessageA(request->focusControl, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        else
            SendMessageA(request->focusControl, EM_SETSEL, 0, -1);
    }
    return 1;
}

// One part of the bar: its descriptor in the request's format, its field and list letter.
struct PartSource {
    FieldRecord *field;
    char letter;
};

// Parses the field's type code, or the joined codes of a '^' list, into the request's format
// with the field (and letter) of each part. Returns the part count; more than the bar holds is
// returned as is (the caller refuses it).
static int ParseEditBarParts(EditRequest *request, PartSource sources[FIELD_FORMAT_MAX_PARTS])
{
    FieldRecord *field = request->field;
    const char *code = field->typeCode ? field->typeCode : "";
    FieldFormat *format = request->format;
    memset(format, 0, sizeof(*format));
    if (code[0] != '^') {
        int count = ParseFieldFormat(code[0] == 'C' ? code + 1 : code, format, 1);
        for (int i = 0; i < count; i++) {
            sources[i].field = field;
            sources[i].letter = 0;
        }
        return count;
    }
    // Each listed field gives its own parts, so every part keeps its own field.
    int items = ParseMultiFieldList(request);
    int count = 0;
    for (int i = 0; i < items; i++) {
        MultiFieldListItem *item = &request->listItems[i];
        FieldFormat own;
        const char *itemCode = item->field->typeCode ? item->field->typeCode : "";
        int n = ParseFieldFormat(itemCode[0] == 'C' ? itemCode + 1 : itemCode, &own, 1);
        for (int k = 0; k < n; k++) {
            if (count >= FIELD_FORMAT_MAX_PARTS)
                return FIELD_FORMAT_MAX_PARTS + 1;
            format->parts[count] = own.parts[k];
            sources[count].field = item->field;
            sources[count].letter = GetListItemLetter(item);
            count++;
        }
    }
    format->count = count < FIELD_FORMAT_MAX_PARTS ? count : FIELD_FORMAT_MAX_PARTS;
    return count;
}

static void MakeTypeText(const FieldFormatPart *part, char *out, int outSize)
{
    if (part->bracket[0])
        snprintf(out, outSize, "%c[%s]", part->letter, part->bracket);
    else
        snprintf(out, outSize, "%c", part->letter);
}

static void CreateEditBarFont(HWND dialog, EditRequest *request)
{
    LOGFONTA font;
    memset(&font, 0, sizeof(font));
    HFONT dialogFont = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    if (!dialogFont || !GetObjectA(dialogFont, sizeof(font), &font))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    if (request->fontFace && request->fontFace[0]) {
        snprintf(font.lfFaceName, sizeof(font.lfFaceName), "%s", request->fontFace);
        font.lfHeight = request->fontHeight;
    }
    request->font = CreateFontIndirectA(&font);
    request->whiteBrush = (HBRUSH)GetStockObject(WHITE_BRUSH);
    request->greyBrush = CreateSolidBrush(RGB(0xE0, 0xE0, 0xE0));
}

static int SetupEditBarContainer(HWND dialog, EditRequest *request)
{
    EditBarTable *table = (EditBarTable *)MemAlloc(64, sizeof(EditBarTable));
    if (!table) {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return 0;
    }
    table->request = request;
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)table);
    gEditBarContainer = dialog;
    request->container = dialog;
    CreateEditBarFont(dialog, request);
    request->modeless = request->requesterKind == EDIT_REQUESTER_PAGE_VIEW ||
                        request->requesterKind == EDIT_REQUESTER_GRID ||
                        request->requesterKind == EDIT_REQUESTER_MULTIFIELD;
    request->partCount = 0;
    request->committedCount = 0;
    request->cancelled = 0;
    request->valid = 0;
    // The page is remembered now: a commit that comes later lands on this page.
    if (!request->page && request->requesterKind == EDIT_REQUESTER_PAGE_VIEW)
        request->page = GetShownPage();
    if (!request->fieldTable && request->page)
        request->fieldTable = request->page->fieldTable;

    request->format = (FieldFormat *)MemAlloc(64, sizeof(FieldFormat));
    PartSource sources[FIELD_FORMAT_MAX_PARTS + 1];
    memset(sources, 0, sizeof(sources));
    int count = request->field && request->format ? ParseEditBarParts(request, sources) : 0;
    if (count <= 0 || count > EDITBAR_MAX_PARTS) {
        const char *title = request->field && request->field->description ? request->field->description : "";
        ShowMessageBox(gMainWindow, "Data entry for this field is not supported.", title, MB_ICONEXCLAMATION);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return 0;
    }
    request->partCount = count;
    if (request->activePart >= (uint32_t)count)
        request->activePart = 0;

    int widest = 0, tallest = 0;
    for (int i = 0; i < count; i++) {
        EditBarPart *part = (EditBarPart *)MemAlloc(64, sizeof(EditBarPart));
        if (!part)
            break;
        part->index = i;
        part->field = sources[i].field;
        part->partLetter = sources[i].letter;
        MakeTypeText(&request->format->parts[i], part->typeText, sizeof(part->typeText));
        // A listed field opens with its own value; the field asked for with the opener's text.
        const char *initial = part->field == request->field ? request->text
                                                            : (part->field->value ? part->field->value : "");
        snprintf(part->initial, sizeof(part->initial), "%s", initial);
        snprintf(part->text, sizeof(part->text), "%s", initial);
        table->pairs[i].request = request;
        table->pairs[i].part = part;
        HWND window = CreateDialogParamA(gInstance, "EditBar", dialog, EditBarDlgProc, (LPARAM)&table->pairs[i]);
        request->partWindows[i] = window && IsWindow(window) ? window : NULL;
        if (part->width > widest)
            widest = part->width;
        if (part->height > tallest)
            tallest = part->height;
    }
    if (!widest)
        widest = 40;
    if (!tallest)
        tallest = 20;

    RECT client;
    RECT *clientScreen = NULL;
    if (request->requester && IsWindow(request->requester)) {
        GetClientRect(request->requester, &client);
        MapWindowPoints(request->requester, HWND_DESKTOP, (POINT *)&client, 2);
        clientScreen = &client;
    }
    EditBarPlacement place;
    ComputeEditBarPlacement(&request->fieldRect, clientScreen, count, widest, tallest, CHOICE_BOX_SIZE,
                            CHOICE_BOX_SIZE, &place);
    if (count > 1) {
        for (int i = 0; i < count; i++) {
            HWND box = GetDlgItem(dialog, IDC_EB_CHOICE1 + i);
            SetWindowPos(box, NULL, 7, place.boxY[i], CHOICE_BOX_SIZE, CHOICE_BOX_SIZE, SWP_NOZORDER | SWP_NOACTIVATE);
            ShowWindow(box, SW_SHOWNA);
        }
        ShowWindow(GetDlgItem(dialog, IDC_EB_FRAME), SW_SHOWNA);
    }
    for (int i = 0; i < count; i++) {
        HWND window = request->partWindows[i];
        EditBarPart *part = table->pairs[i].part;
        if (window && part)
            SetWindowPos(window, NULL, place.rowX, place.rowY[i], part->width < widest ? part->width : widest, tallest,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    }
    MoveWindow(dialog, place.x, place.y, place.width, place.height, FALSE);
    if (request->requester && IsWindow(request->requester)) {
        RECT shadow = {place.x + 5, place.y + 5, place.x + 5 + place.width, place.y + 5 + place.height};
        MapWindowPoints(HWND_DESKTOP, request->requester, (POINT *)&shadow, 2);
        request->shadow = CreateEditBarShadow(request->requester, &shadow);
    }
    if (count > 1 && request->activePart < EDITBAR_MAX_PARTS) {
        CheckDlgButton(dialog, IDC_EB_CHOICE1 + request->activePart, BST_CHECKED);
        SelectEditBarPart(dialog, table->pairs, (int)request->activePart, 1);
    }
    if (!request->modeless)
        ShowEditBar(dialog, request);
    return 1;
}

// The choice boxes act as one choice of the active row.
static void OnChoiceBox(HWND dialog, int id)
{
    EditBarTable *table = GetEditBarTable(dialog);
    if (!table)
        return;
    int n = id - IDC_EB_CHOICE1;
    int target = -1;
    if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) {
        target = n;
    } else {
        for (int i = 0; i < EDITBAR_MAX_PARTS; i++)
            if (IsDlgButtonChecked(dialog, IDC_EB_CHOICE1 + i) == BST_CHECKED)
                return;   // another stays checked: nothing to do
        if (n == 0)
            target = 1;
        else if (n == 1)
            target = IsWindowVisible(GetDlgItem(dialog, IDC_EB_CHOICE3)) ? 2 : 0;
        else
            target = 0;
    }
    if (target < 0 || target >= (int)table->request->partCount)
        return;
    for (int i = 0; i < EDITBAR_MAX_PARTS; i++)
        CheckDlgButton(dialog, IDC_EB_CHOICE1 + i, i == target ? BST_CHECKED : BST_UNCHECKED);
    table->request->activePart = target;
    SelectEditBarPart(dialog, table->pairs, target, 1);
}

static void DestroyEditBarContainer(HWND dialog)
{
    EditBarTable *table = GetEditBarTable(dialog);
    if (!table)
        return;
    EditRequest *request = table->request;
    // The rows go first (a valid row commits as it closes), while their records still exist.
    for (int i = 0; i < EDITBAR_MAX_PARTS; i++) {
        HWND window = request->partWindows[i];
        if (window && IsWindow(window))
            SendMessageA(window, WM_CLOSE, 0, 0);
        if (window && IsWindow(window))
            DestroyWindow(window);
        request->partWindows[i] = NULL;
    }
    for (int i = 0; i < EDITBAR_MAX_PARTS; i++) {
        EditBarPart *part = table->pairs[i].part;
        if (!part)
            continue;
        for (int k = 0; k < 3; k++)
            if (part->icons[k])
                DeleteObject(part->icons[k]);
        table->pairs[i].part = (EditBarPart *)MemFree(part);
    }
    if (request->greyBrush)
        DeleteObject(request->greyBrush);
    if (request->font)
        DeleteObject(request->font);
    if (request->stmtButtonUp)
        DeleteObject(request->stmtButtonUp);
    if (request->stmtButtonDown)
        DeleteObject(request->stmtButtonDown);
    request->greyBrush = NULL;
    request->whiteBrush = NULL;
    request->font = NULL;
    request->stmtButtonUp = request->stmtButtonDown = NULL;
    request->focusControl = NULL;
    request->container = NULL;
    if (gEditBarContainer == dialog)
        gEditBarContainer = NULL;
    if (request->shadow && IsWindow(request->shadow))
        DestroyWindow(request->shadow);
    request->shadow = NULL;
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    MemFree(table);
    request->format = (FieldFormat *)MemFree(request->format);
    request->listItems = (MultiFieldListItem *)MemFree(request->listItems);
    request->listItemCount = 0;
    if (request->notifyWindow && IsWindow(request->notifyWindow))
        PostMessageA(request->notifyWindow, request->notifyMessage, request->notifyWParam, request->notifyLParam);
    request->notifyWindow = NULL;
}

INT_PTR CALLBACK EbContainerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetupEditBarContainer(dialog, (EditRequest *)lParam);
        return FALSE;   // the rows set the focus
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id >= IDC_EB_CHOICE1 && id <= IDC_EB_CHOICE3 && HIWORD(wParam) == BN_CLICKED) {
            OnChoiceBox(dialog, id);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE: {
        EditBarTable *table = GetEditBarTable(dialog);
        EditRequest *request = table ? table->request : NULL;
        if (request && !request->modeless) {
            EndDialog(dialog, request->cancelled ? 0 : request->valid);
            return TRUE;
        }
        if (request && request->requester && IsWindow(request->requester)) {
            if (request->requesterKind == EDIT_REQUESTER_GRID && request->partCount >= 2)
                BringWindowToTop(request->requester);
            HWND focus = GetFocus();
            if (!focus || focus == dialog || IsChild(dialog, focus))
                SetFocus(request->requester);
        }
        DestroyWindow(dialog);
        return TRUE;
    }
    case WM_DESTROY:
        DestroyEditBarContainer(dialog);
        return FALSE;
    }
    return FALSE;
}

// A sibling of the bar in its requester (a grid's list, a popup's value boxes, the page view's
// shadow) clips the bar out of its painting.
static BOOL CALLBACK ClipSibling(HWND child, LPARAM container)
{
    if (child != (HWND)container && GetParent(child) == GetParent((HWND)container))
        SetWindowLongPtrA(child, GWL_STYLE, GetWindowLongPtrA(child, GWL_STYLE) | WS_CLIPSIBLINGS);
    return TRUE;
}

// A modeless bar (the page view's, the grid's, the multi-field popup's) lives inside its
// requester, a child window at the place its set-up chose on the screen, not a window of its own
// on the desktop: the keyboard focus then stays in the requester's window while one bar closes
// and the next opens. Under a window manager a desktop window of its own held the display's
// focus, so the window manager took the focus back as it closed, and keys typed meanwhile went
// to it and were lost.
static void PlaceEditBarInRequester(HWND container, HWND requester)
{
    RECT rect;
    GetWindowRect(container, &rect);
    LONG_PTR style = GetWindowLongPtrA(container, GWL_STYLE);
    SetWindowLongPtrA(container, GWL_STYLE, (style & ~(LONG_PTR)WS_POPUP) | WS_CHILD | WS_CLIPSIBLINGS);
    SetParent(container, requester);
    MapWindowPoints(HWND_DESKTOP, requester, (POINT *)&rect, 2);
    SetWindowPos(container, HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOACTIVATE | SWP_FRAMECHANGED);
    EnumChildWindows(requester, ClipSibling, (LPARAM)container);
}

HWND CreateEditBar(HWND parent, EditRequest *request)
{
    if (!request || !request->field)
        return NULL;
    if (gEditBarContainer && IsWindow(gEditBarContainer)) {
        ShowMessageBox(gMainWindow, "Invalid window handle.  Edit bar already running.", "Error", MB_ICONERROR);
        return NULL;
    }
    gEditBarContainer = NULL;
    HWND container = CreateDialogParamA(gInstance, "EBContainer", parent, EbContainerDlgProc, (LPARAM)request);
    if (!container)
        return NULL;
    if (request->modeless && parent && IsWindow(container))
        PlaceEditBarInRequester(container, parent);
    // A bar whose rows all closed while they were set up (a toggled check mark, a field that
    // cannot be entered) goes at once.
    int live = 0;
    for (int i = 0; i < EDITBAR_MAX_PARTS; i++)
        if (request->partWindows[i] && IsWindow(request->partWindows[i]))
            live++;
    if (!live) {
        DestroyWindow(container);
        return NULL;
    }
    return container;
}

INT_PTR RunModalEditBar(HWND owner, EditRequest *request)
{
    if (!request || !request->field)
        return 0;
    // One edit bar at a time: an open one is committed first.
    if (!CommitOpenEditBar())
        return 0;
    request->requesterKind = request->requesterKind ? request->requesterKind : EDIT_REQUESTER_FORMS_LIST;
    if (!request->requester)
        request->requester = owner;
    INT_PTR result = RunModalDialog(gInstance, "EBContainer", owner, EbContainerDlgProc, (LPARAM)request);
    return result > 0 ? result : 0;
}

int CommitOpenEditBar(void)
{
    HWND container = gEditBarContainer;
    if (!container || !IsWindow(container)) {
        gEditBarContainer = NULL;
        return 1;
    }
    EditBarTable *table = GetEditBarTable(container);
    if (!table || !table->request->modeless)
        return 1;
    EditRequest *request = table->request;
    // The row that has the focus (else the active row) closes as Enter would close it.
    HWND row = NULL;
    HWND focus = GetFocus();
    for (int i = 0; i < EDITBAR_MAX_PARTS && !row; i++) {
        HWND window = request->partWindows[i];
        if (window && focus && (focus == window || IsChild(window, focus)))
            row = window;
    }
    if (!row && request->activePart < EDITBAR_MAX_PARTS)
        row = request->partWindows[request->activePart];
    for (int i = 0; i < EDITBAR_MAX_PARTS && !row; i++)
        row = request->partWindows[i];
    if (row && IsWindow(row)) {
        SendMessageA(row, WM_CLOSE, 0, 1);
        if (IsWindow(row))
            return 0;   // refused: the bar stays open with the message shown
    }
    if (IsWindow(container))
        SendMessageA(container, WM_CLOSE, 0, 0);
    return gEditBarContainer == NULL || !IsWindow(gEditBarContainer);
}

int OpenEditBarWindow(HWND requester, EditRequest *request)
{
    HWND container = CreateEditBar(requester, request);
    if (!container)
        return 0;
    ShowEditBar(container, request);
    return 1;
}
