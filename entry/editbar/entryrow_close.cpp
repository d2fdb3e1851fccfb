// entryrow_close.cpp - closing an edit bar row: a valid row is committed exactly once (by its
// requester's road), an invalid or cancelled one stores nothing; then the row goes and the
// container follows.
#include "entry/editbar/editbar_private.h"
#include "calc/calc.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// The part block whose time stamp a 'U' or 'K' field of page changes: the return-record offset
// of that block's edit time, or 0 when the page stamps none.
int GetPartEditTimeOffset(const FormInstance *page)
{
    if (!page || !page->pageKey)
        return 0;
    int mainRow = FindMainFormPage(page->pageKey, page->jurisdiction, 0, 0);
    if (!mainRow && _stricmp(page->pageKey, "Form 8888.1") != 0)
        return 0;
    char partLetter = 0;
    int returnType = 0;
    if (mainRow && GetMainFormRow(mainRow, &returnType, &partLetter)) {
        if (partLetter == 'F') return RETURN_EDIT_TIME_FEDERAL;
        if (partLetter == 'S') return RETURN_EDIT_TIME_STATE;
        if (partLetter == 'O') return RETURN_EDIT_TIME_OTHER;
        return 0;
    }
    // Form 8888 belongs to the federal part.
    return page->jurisdiction == 100 ? RETURN_EDIT_TIME_FEDERAL : 0;
}

static void StampPartEditTime(const FormInstance *page)
{
    int offset = GetPartEditTimeOffset(page);
    if (!offset)
        return;
    SYSTEMTIME now;
    GetSystemTime(&now);
    memcpy(ReturnBytes(gOpenReturnPtr, offset), &now, sizeof(now));
}

static FormInstance *GetRequestPage(const EditRequest *request)
{
    return request->page ? request->page : GetShownPage();
}

// Stores the boxes of a name row in their fields. The edit rules of taxpayer names run first
// for every box; a refusal restores the return record and stores nothing.
static int StoreNameBoxes(EditRequest *request, EditBarPart *part)
{
    int boxes = part->controlKind == ENTRY_CONTROL_NAME3 ? 3 : 2;
    OpenReturn *saved = (OpenReturn *)MemAlloc(64, sizeof(OpenReturn));
    if (!saved)
        return 0;
    memcpy(saved, gOpenReturnPtr, sizeof(OpenReturn));
    for (int i = 0; i < boxes; i++) {
        char code[16];
        if (!GetTaxpayerItemCode(part->nameFields[i], code, sizeof(code)))
            continue;
        if (!ApplyFieldEditRules(code, part->boxTexts[i], gOpenReturnPtr, NULL)) {
            memcpy(gOpenReturnPtr, saved, sizeof(OpenReturn));
            MemFree(saved);
            ShowEditRulesRefusal(part->boxTexts[i]);
            return 0;
        }
    }
    MemFree(saved);
    FormInstance *page = GetRequestPage(request);
    for (int i = 0; i < boxes; i++) {
        FieldRecord *field = part->nameFields[i];
        if (field && SetFieldText(&field->value, part->boxTexts[i]) && request->requesterKind == EDIT_REQUESTER_PAGE_VIEW)
            RepaintCommittedField(field, page);
    }
    return 1;
}

// The partner of a check mark in an exclusive pair: the next field when its value list names
// this field's sequence, else the previous one when its list does.
static FieldRecord *FindPartnerBox(EditRequest *request, FieldRecord *field, int *indexOut)
{
    if (!field->seq || !field->seq[0])
        return NULL;
    for (int offset = 1; offset >= -1; offset -= 2) {
        FieldRecord *other = GetNeighbourField(request, field, offset);
        if (other && other->valueList && strstr(other->valueList, field->seq)) {
            *indexOut = (int)request->fieldIndex + offset;
            return other;
        }
    }
    return NULL;
}

int CommitEditBarPart(EditBarPair *pair)
{
    EditRequest *request = pair->request;
    EditBarPart *part = pair->part;
    if (part->committed || !part->valid || request->cancelled)
        return 0;
    // The recompute worker reads the values and the record this changes: it ends first.
    EndRecomputeWorker();
    part->committed = 1;
    request->committedCount++;
    FieldRecord *field = part->field;
    const char *current = field->value ? field->value : "";
    const char *code = field->typeCode ? field->typeCode : "";

    // The receivers read the committing part's own field, text and item code.
    request->field = field;
    request->partLetter = (uint8_t)part->partLetter;
    request->stampTime = part->stampTime;
    request->unchanged = !part->edited;
    snprintf(request->itemCode, sizeof(request->itemCode), "%s", part->itemCode);
    // A row the user did not change keeps the value it opened with, never a re-typed copy.
    snprintf(request->text, sizeof(request->text), "%s", part->edited ? part->text : part->initial);
    int changed = part->edited && strcmp(part->text, current) != 0;

    if (part->stampTime && part->text[0] && changed)
        StampPartEditTime(GetRequestPage(request));
    if (part->amendedBox) {
        if (part->text[0] && changed)
            request->amendedBox = 1;
        else if (part->edited && !part->text[0] && current[0])
            request->amendedBox = 2;
        else
            request->amendedBox = 0;
    }

    int gridCheckMark = code[0] == 'x' && request->requesterKind == EDIT_REQUESTER_GRID;
    if (gridCheckMark) {
        SendMessageA(request->requester, WM_EDIT_DONE, 0, (LPARAM)request);
        int partnerIndex = 0;
        FieldRecord *partner = request->text[0] ? FindPartnerBox(request, field, &partnerIndex) : NULL;
        if (partner) {
            EditRequest *copy = (EditRequest *)MemAlloc(64, sizeof(EditRequest));
            if (copy) {
                memcpy(copy, request, sizeof(EditRequest));
                copy->text[0] = 0;
                copy->field = partner;
                copy->fieldIndex = partnerIndex;
                SendMessageA(request->requester, WM_EDIT_DONE, 0, (LPARAM)copy);
                MemFree(copy);
            }
        }
        return 1;
    }
    if (code[0] == 'x' && !changed)
        return 1;   // a check mark left as it was stores nothing

    if (part->edited && (part->controlKind == ENTRY_CONTROL_NAME2 || part->controlKind == ENTRY_CONTROL_NAME3)) {
        if (!StoreNameBoxes(request, part))
            return 0;
        // The first box is stored; the commit road below runs on its (now equal) value.
        snprintf(request->text, sizeof(request->text), "%s", field->value ? field->value : "");
        request->unchanged = 1;
    }

    switch (request->requesterKind) {
    case EDIT_REQUESTER_PAGE_VIEW:
        CommitFieldEntry(request);
        break;
    case EDIT_REQUESTER_GRID:
    case EDIT_REQUESTER_MULTIFIELD:
        if (request->requester)
            SendMessageA(request->requester, WM_EDIT_DONE, 0, (LPARAM)request);
        break;
    default:
        break;   // modal requesters read the text themselves
    }
    return 1;
}

void OpenFieldStatement(EditRequest *request, EditBarPart *part)
{
    FieldRecord *field = part->field;
    if (part->edited)
        EndRecomputeWorker();
    if (part->edited && SetFieldText(&field->value, part->text))
        RepaintCommittedField(field, GetRequestPage(request));
    if (gMainWindow)
        PostMessageA(gMainWindow, WM_OPEN_STATEMENT, 0, (LPARAM)field);
}

// Before a multi-part bar commits, every other row the user changed must pass its check, so
// nothing typed in another row is lost. 0 (that row focused) when one is refused.
static int CheckOtherParts(EditBarPair *pair)
{
    EditRequest *request = pair->request;
    for (int i = 0; i < EDITBAR_MAX_PARTS; i++) {
        HWND other = request->partWindows[i];
        EditBarPair *otherPair = GetEditBarPair(other);
        if (!other || !otherPair || otherPair == pair)
            continue;
        EditBarPart *otherPart = otherPair->part;
        if (!otherPart->edited || otherPart->valid || otherPart->committed)
            continue;
        if (!CheckEditBarPart(other, otherPair)) {
            if (request->partCount > 1 && request->container)
                ActivateEditBarPart(request->container, (int)otherPart->index);
            FocusEditBarEntry(otherPart, NULL);
            return 0;
        }
    }
    return 1;
}

int CloseEditBarPart(HWND dialog, EditBarPair *pair, int checkFirst)
{
    EditRequest *request = pair->request;
    EditBarPart *part = pair->part;
    if (part->closing)
        return 0;
    part->closing = 1;
    if (!request->cancelled && !part->committed) {
        if (checkFirst && !part->valid)
            CheckEditBarPart(dialog, pair);
        if (!part->valid && checkFirst) {
            part->closing = 0;
            FocusEditBarEntry(part, NULL);
            return 0;
        }
        if (part->valid && checkFirst && request->partCount > 1 && !CheckOtherParts(pair)) {
            part->closing = 0;
            return 0;
        }
        if (part->valid)
            CommitEditBarPart(pair);
    }
    if (request->cancelled)
        request->valid = 0;
    HWND container = request->container;
    if (request->modeless) {
        HWND list = GetDlgItem(dialog, IDC_EB_LIST);
        if (list && SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0)) {
            request->dropDownWasOpen = 1;
            SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
        }
        if (request->requester && IsWindow(request->requester) && GetFocus() &&
            (GetFocus() == dialog || IsChild(dialog, GetFocus())))
            SetFocus(request->requester);
        for (int i = 0; i < EDITBAR_MAX_PARTS; i++)
            if (request->partWindows[i] == dialog)
                request->partWindows[i] = NULL;
        DestroyWindow(dialog);
    } else if (container) {
        EndDialog(container, request->valid);
    }
    if (container && IsWindow(container))
        PostMessageA(container, WM_CLOSE, 0, 0);
    return 1;
}
