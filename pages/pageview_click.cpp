// The page view's click road: hit-testing, field kinds, and what each kind opens; the walk to
// the next or previous field for the edit bar.
#include "pages/pages_private.h"
#include "ui/ui.h"
#include "calc/calc.h"
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>


// ---- the edit bar ----

int OpenEditBar(HWND pageView, EditRequest *request)
{
    if (gEditBarContainer) {
        ShowMessageBox(gMainWindow, "Invalid window handle.  Edit bar already running.", "Error",
                       MB_OK | MB_ICONERROR);
        return 0;
    }
    // A click on a check mark comes back without a bar: it has toggled and committed the mark
    // already.
    return gWindowCallbacks.openEditBar ? gWindowCallbacks.openEditBar(pageView, request) : 0;
}

void CloseEditBarOnPage(const FormInstance *page)
{
    if (!page || !gEditBarContainer || !IsWindow(gEditBarContainer) || gEditRequest.container != gEditBarContainer ||
        gEditRequest.page != page)
        return;
    gEditRequest.cancelled = 1;
    gEditRequest.notifyWindow = NULL;   // no next field to go to
    SendMessageA(gEditBarContainer, WM_CLOSE, 0, 0);
    if (gEditBarContainer && IsWindow(gEditBarContainer))
        DestroyWindow(gEditBarContainer);
}

// Fills gEditRequest for the field and opens the edit bar. A value longer than the bar can
// hold is refused: the bar would show and commit it cut short.
static int OpenEditBarOnField(HWND window, FieldRecord *field, int fieldIndex, const RECT *clientRect, int entryMode)
{
    if (gEditBarContainer)
        return 0;
    const char *value = field->value ? field->value : "";
    if (strlen(value) > sizeof(gEditRequest.text) - 1) {
        ShowMessageBox(gMainWindow,
                       "The value of this field is longer than the 127 characters that the edit bar can "
                       "hold.\n\nIt is kept as it is and cannot be changed here.",
                       "Field Value Too Long", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    RECT screen = *clientRect;
    MapWindowPoints(window, NULL, (POINT *)&screen, 2);
    memset(&gEditRequest, 0, sizeof(gEditRequest));
    lstrcpynA(gEditRequest.text, value, sizeof(gEditRequest.text));
    gEditRequest.field = field;
    gEditRequest.fieldIndex = (uint32_t)fieldIndex;
    gEditRequest.fieldRect = screen;
    gEditRequest.caption = gCurrentFormName;
    gEditRequest.requester = window;
    gEditRequest.requesterKind = 1;
    gEditRequest.entryMode = (uint16_t)entryMode;
    gEditRequest.page = (FormInstance *)GetCurrentDocument(4);
    gEditRequest.fieldTable = (FieldTable *)GetCurrentDocument(3);
    ClearAmendedPost();
    return OpenEditBar(window, &gEditRequest);
}

// ---- the other editors ----

void BuildPageCaption(FormInstance *form, char *out, int outSize)
{
    out[0] = 0;
    if (!form)
        return;
    GetTreeItemText(form->treeItem, out, 0, outSize);
    int copy = GetFormCopyNumber(form);
    if (copy) {
        int used = (int)strlen(out);
        if (used < outSize)
            snprintf(out + used, (size_t)(outSize - used), ", Copy %d", copy);
    }
}

static char sMultiFieldCaption[300];

static void OpenMultiField(HWND window, FieldRecord *field, int fieldIndex, int groupKind, int entryKind)
{
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    FormInstance *form = (FormInstance *)GetCurrentDocument(4);
    MultiFieldParams params;
    memset(&params, 0, sizeof(params));
    params.groupKind = (uint32_t)groupKind;
    params.field = field;
    params.fields = table;
    params.fieldIndex = (uint32_t)fieldIndex;
    BuildPageCaption(form, sMultiFieldCaption, sizeof(sMultiFieldCaption));
    params.caption = sMultiFieldCaption;
    params.kind = (uint16_t)entryKind;
    params.firstField = (uint32_t)IsFirstEditableField(table, fieldIndex);
    params.wrapLeaves = 1;
    if (field->rect) {
        RECT rc;
        GetFieldClientRect(field->rect, &rc);
        params.placeX = rc.left;
        params.placeY = rc.top;
    }
    if (!gWindowCallbacks.openMultiFieldDialog)
        return;
    gWindowCallbacks.openMultiFieldDialog(window, &params);
    // The popup ends with 1 (OK) or 0 (Cancel); result 2 in the block: the user tabbed out.
    if (params.result == 2)
        PostMessageA(window, WM_PAGE_GOTOFIELD, params.direction, fieldIndex);
    else
        SetFocus(window);
    if (form)
        RecomputeForm(form);
    RefreshStatusAmountParts();
}

static void OpenStatement(HWND window, FieldRecord *field, int fieldIndex, int entryKind, int direction, int total)
{
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    PageStatementBlock block;
    memset(&block, 0, sizeof(block));
    block.field = FindFieldRecord(field->valueList, table, NULL);
    block.summaryField = field;
    block.fieldIndex = (uint32_t)fieldIndex;
    block.kind = (uint16_t)entryKind;
    block.direction = (uint32_t)direction;
    block.showTotal = (uint32_t)total;
    block.owner = gMainWindow;
    block.page = (FormInstance *)GetCurrentDocument(4);
    if (field->rect) {
        RECT rc;
        GetFieldClientRect(field->rect, &rc);
        block.placeX = rc.left;
        block.placeY = rc.top;
    }
    if (gMainWindow)
        SendMessageA(gMainWindow, WM_OPEN_STATEMENT, 1, (LPARAM)&block);
}

// ---- source explanation of a calculated field ----

static void ShowSourceExplanation(FieldRecord *field)
{
    FormulaExplainInfo info;
    memset(&info, 0, sizeof(info));
    char *sources = ExplainFieldFormula(field, &info);
    int markStart = -1, markLength = 0;
    char *text = BuildSourceExplanation(field, sources, &info, &markStart, &markLength);
    MemFree(sources);
    if (!text)
        return;
    char title[400];
    BuildSourceExplanationTitle(field, title, sizeof(title));
    AppMessageBoxParams block;
    memset(&block, 0, sizeof(block));
    block.owner = gMainWindow;
    block.instance = gInstance;
    block.caption = title;
    block.text = text;
    block.markStart = markStart;
    block.markLength = markLength;
    block.options[0] = 0x80;
    block.options[1] = 0x123;
    block.options[2] = 1;
    block.markWords[0] = "Form not found";
    block.markWords[1] = " = ";
    ShowAppMessageBox(&block);
    MemFree(text);
}

// ---- the click ----

static int IsForeignAddressItem(const char *type)
{
    if (!type || strlen(type) < 4 || type[0] != 'T' || type[2] != '1')
        return 0;
    return strchr("fghij!o@", type[3]) != NULL && type[3] != 0;
}

void OnPageViewClick(HWND window, LPARAM lParam)
{
    gOperationCode = 31;
    if (!gPageShown || !gPageButtonDown)
        return;
    gPageButtonDown = 0;
    POINT point;
    point.x = ClientToPage(LOWORD(lParam), gPageMarginX, gPageScrollX, gZoom);
    point.y = ClientToPage(HIWORD(lParam), gPageMarginY, gPageScrollY, gZoom);
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    int index = 0;
    FieldRecord *field = table ? FindFieldInTable(table, point, &index) : NULL;
    if (!field)
        return;
    const char *type = field->typeCode ? field->typeCode : "";
    if (gViewOnly && !HasFieldLinkText(field) && type[0] != 'S')
        return;
    if (type[0] == 'L' || IsLockedReturnItem(type))
        return;
    if (type[0] == 'C') {
        ShowSourceExplanation(field);
        return;
    }
    if (gOpenReturnPtr && ReturnBytes(gOpenReturnPtr, RETURN_ADDRESS_KIND)[0] == '3' && IsForeignAddressItem(type)) {
        int answer = ShowMessageBox(gMainWindow,
                                    "You have previously indicated that this is a foreign address.\r\n\r\n"
                                    "Foreign addresses can only be modified via the Taxpayer Info\r\n"
                                    "window, which can be accessed via the Setup menu.  Would you\r\n"
                                    "like to go there now?",
                                    "Modifying a Foreign Address", MB_YESNO | MB_ICONEXCLAMATION);
        if (answer == IDYES && gWindowCallbacks.showEfileInfoSheet)
            gWindowCallbacks.showEfileInfoSheet(gMainWindow, 0);
        return;
    }
    RECT clientRect;
    GetFieldClientRect(field->rect, &clientRect);
    FormInstance *form = (FormInstance *)GetCurrentDocument(4);
    // The page cells of a statement whose rows live in its overflow text are changed only in the
    // grid.
    if (IsStatementKeptApart(table, index)) {
        if (gMainWindow)
            SendMessageA(gMainWindow, WM_OPEN_STATEMENT, 0, (LPARAM)field);
        return;
    }
    switch (GetFieldKind(field)) {
    case 1:
        if (gWindowCallbacks.openExplainDialog &&
            gWindowCallbacks.openExplainDialog(gMainWindow, field, form ? form->pageKey : NULL))
            RedrawField(field);
        return;
    case 2:   // a statement on the page: its cells are edited where they are
        OpenEditBarOnField(window, field, index, &clientRect, 1);
        return;
    case 3:
        OpenMultiField(window, field, index, 0, 1);
        return;
    case 4:
        OpenMultiField(window, field, index, 1, 1);
        return;
    case 5:
        OpenStatement(window, field, index, 1, 0, 0);
        return;
    case 6:
        OpenStatement(window, field, index, 1, 0, 1);
        return;
    case 7:
        if (gViewOnly)
            return;   // a view-only return takes no attachment
        OnAttachFieldClick(window, field, table, index);
        return;
    case 8:
        if (gViewOnly)
            return;   // nor a signature
        if (gWindowCallbacks.openSigCaptureDialog) {
            if (gWindowCallbacks.openSigCaptureDialog(gMainWindow, field, index) == 1)
                RedrawField(field);
            if (form)
                RecomputeForm(form);
        }
        return;
    case 9:
        return;
    default:
        OpenEditBarOnField(window, field, index, &clientRect, 1);
        return;
    }
}

// ---- keyboard navigation ----

int ScrollRectIntoView(HWND window, const RECT *rect, int dx, int dy)
{
    RECT area;
    GetClientRect(window, &area);
    OffsetRect(&area, dx, dy);
    int leftIn = rect->left >= area.left && rect->left <= area.right;
    int rightIn = rect->right >= area.left && rect->right <= area.right;
    int topIn = rect->top >= area.top && rect->top <= area.bottom;
    int bottomIn = rect->bottom >= area.top && rect->bottom <= area.bottom;
    if (leftIn && topIn && rightIn) {
        if (bottomIn)
            return 0;
        SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
        return 1;
    }
    if (rect->top < area.top) {
        SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0);
        return 1;
    }
    if (bottomIn && topIn) {
        if (rect->left < area.left) {
            SendMessageA(window, WM_HSCROLL, SB_LINEUP, 0);
            return 1;
        }
        if (rect->right > area.right) {
            SendMessageA(window, WM_HSCROLL, SB_LINEDOWN, 0);
            return 1;
        }
        return 0;
    }
    SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
    return 1;
}

// Scrolls line by line until the field is visible. Stops when the view cannot scroll further
// (at its limit) or turns back on an axis (a field larger than the view); corrects the client
// rectangle by the distance scrolled.
static void ScrollFieldIntoView(HWND window, RECT *clientRect)
{
    int startX = gPageScrollX, startY = gPageScrollY;
    int lastStepX = 0, lastStepY = 0;
    for (int steps = 0; steps < 2000; steps++) {
        int beforeX = gPageScrollX, beforeY = gPageScrollY;
        if (!ScrollRectIntoView(window, clientRect, gPageScrollX - startX, gPageScrollY - startY))
            break;
        int stepX = gPageScrollX - beforeX, stepY = gPageScrollY - beforeY;
        if (!stepX && !stepY)
            break;
        if ((long long)stepX * lastStepX < 0 || (long long)stepY * lastStepY < 0)
            break;
        if (stepX)
            lastStepX = stepX;
        if (stepY)
            lastStepY = stepY;
    }
    OffsetRect(clientRect, -(gPageScrollX - startX), -(gPageScrollY - startY));
}

void OnPageViewGotoField(HWND window, int direction, int fieldIndex)
{
    gOperationCode = 32;
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    int index = FindNextTabField(table, fieldIndex, direction);
    if (index < 0)
        return;
    FieldRecord *field = &table->fields[index];
    const char *type = field->typeCode ? field->typeCode : "";
    if (type[0] == 'c' || StartsWithText(type, "S[m")) {
        OpenMultiField(window, field, index, 0, 2);
        return;
    }
    if (StartsWithText(type, "S[c")) {
        OpenMultiField(window, field, index, 1, 2);
        return;
    }
    if (strcmp(type, "S") == 0) {
        OpenStatement(window, field, index, 2, direction, 0);
        return;
    }
    if (gEditBarContainer)
        return;
    RECT clientRect;
    GetFieldClientRect(field->rect, &clientRect);
    ScrollFieldIntoView(window, &clientRect);
    OpenEditBarOnField(window, field, index, &clientRect, 2);
}
