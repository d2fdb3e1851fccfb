// entryrow_check.cpp - the part check of an edit bar row (WM_EDITBAR_CHECKPART): collect the
// row's text from its controls, resolve list entries, check names box by box, validate with the
// field's type and refuse the texts a statement or Form 8949 field must not begin with.
#include "entry/editbar/editbar_private.h"
#include "calc/calc.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// ---- text helpers (no window needed) ----

int JoinSplitEntryText(int controlKind, const char *const *boxes, const int *limits, int count, char *out,
                       int outSize)
{
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    const char *b[3] = {"", "", ""};
    for (int i = 0; i < count && i < 3; i++)
        b[i] = boxes && boxes[i] ? boxes[i] : "";
    switch (controlKind) {
    case ENTRY_CONTROL_DATE: {
        int any = 0;
        for (int i = 0; i < count && i < 3; i++)
            any |= b[i][0] != 0;
        if (!any)
            break;
        for (int i = 0; i < count && i < 3; i++) {
            if (i)
                AppendTextBounded(out, outSize, "/");
            if (b[i][0]) {
                AppendTextBounded(out, outSize, b[i]);
            } else {
                // An empty box stands for zeros, so the validator sees the missing piece.
                char zeros[16];
                int n = limits ? limits[i] : 2;
                if (n < 1) n = 1;
                if (n > 15) n = 15;
                memset(zeros, '0', n);
                zeros[n] = 0;
                AppendTextBounded(out, outSize, zeros);
            }
        }
        break;
    }
    case ENTRY_CONTROL_SSN:
        AppendTextBounded(out, outSize, b[0]);
        if (b[0][0]) AppendTextBounded(out, outSize, "-");
        AppendTextBounded(out, outSize, b[1]);
        if (b[1][0]) AppendTextBounded(out, outSize, "-");
        AppendTextBounded(out, outSize, b[2]);
        break;
    case ENTRY_CONTROL_EIN:
        AppendTextBounded(out, outSize, b[0]);
        if (b[0][0]) AppendTextBounded(out, outSize, "-");
        AppendTextBounded(out, outSize, b[1]);
        break;
    case ENTRY_CONTROL_PHONE:
        if (b[0][0]) {
            AppendTextBounded(out, outSize, "(");
            AppendTextBounded(out, outSize, b[0]);
            AppendTextBounded(out, outSize, ")");
        }
        AppendTextBounded(out, outSize, b[1]);
        if (b[1][0]) AppendTextBounded(out, outSize, "-");
        AppendTextBounded(out, outSize, b[2]);
        break;
    default:
        AppendTextBounded(out, outSize, b[0]);
        break;
    }
    return (int)strlen(out);
}

int ForEachListItem(const char *valueList, int cutAtEquals, ListItemProc proc, void *context)
{
    int count = 0;
    const char *p = valueList ? valueList : "";
    while (*p) {
        char item[EDIT_TEXT_SIZE];
        p = ReadValueListItem(p, item, sizeof(item));
        if (cutAtEquals) {
            char *equals = strchr(item, '=');
            if (equals)
                *equals = 0;
        }
        TrimSpaces(item);
        if (!item[0])
            continue;
        if (proc)
            proc(item, context);
        count++;
    }
    return count;
}

struct ListMatch {
    const char *text;       // the code or label typed
    int codeOnly;           // the text came from a chosen "code=label" item: match codes only
    char code[EDIT_TEXT_SIZE];
    int found;
};

static void MatchListItem(const char *item, void *context)
{
    ListMatch *match = (ListMatch *)context;
    if (match->found)
        return;
    char code[EDIT_TEXT_SIZE];
    snprintf(code, sizeof(code), "%s", item);
    char *label = strchr(code, '=');
    if (label) {
        *label++ = 0;
        TrimSpaces(code);
        TrimSpaces(label);
    }
    if (_stricmp(match->text, code) == 0 || (!match->codeOnly && label && _stricmp(match->text, label) == 0)) {
        snprintf(match->code, sizeof(match->code), "%s", code);
        match->found = 1;
    }
}

// The state row of a text: a chosen "AB Name" item, a typed abbreviation or a typed name.
static int FindStateRow(const char *text, int groups)
{
    size_t blank = strcspn(text, " ");
    if (text[blank] && blank <= 2) {
        char abbreviation[3];
        memcpy(abbreviation, text, blank);
        abbreviation[blank] = 0;
        int row = LookupUsState(abbreviation, NULL, groups);
        if (row > 0)
            return row;
    }
    if (strlen(text) <= 2) {
        int row = LookupUsState(text, NULL, groups);
        // Only an abbreviation: a one- or two-letter text is never taken as a name.
        return row > 0 && _stricmp(gStateTable[row].abbreviation, text) == 0 ? row : 0;
    }
    return LookupUsState(text, NULL, groups);
}

int ResolveListEntry(char *text, int textSize, const char *valueList, char partLetter, int stateGroups)
{
    if (!text || textSize <= 0)
        return 0;
    TrimSpaces(text);
    if (!text[0] || text[0] == '<') {
        text[0] = 0;
        return 1;
    }
    if (stateGroups) {
        int row = FindStateRow(text, stateGroups);
        if (row <= 0 || row >= gStateTableRowCount || !gStateTable[row].abbreviation[0])
            return 0;
        snprintf(text, textSize, "%s", gStateTable[row].abbreviation);
        return 1;
    }
    ListMatch match;
    memset(&match, 0, sizeof(match));
    char typed[EDIT_TEXT_SIZE];
    snprintf(typed, sizeof(typed), "%s", text);
    char *equals = strchr(typed, '=');
    if (equals) {
        // A chosen "code=label" item stands for its code.
        *equals = 0;
        TrimSpaces(typed);
        match.codeOnly = 1;
    }
    match.text = typed;
    ForEachListItem(valueList, partLetter == 'v', MatchListItem, &match);
    if (!match.found)
        return 0;
    snprintf(text, textSize, "%s", match.code);
    return 1;
}

// ---- the part check ----

// The field table the part's field lies in, and its index there (0 when unknown).
static const FieldTable *FindFieldTable(const EditRequest *request, const FieldRecord *field, int *indexOut)
{
    const FieldTable *tables[2] = {request->fieldTable, request->page ? request->page->fieldTable : NULL};
    for (int i = 0; i < 2; i++) {
        const FieldTable *t = tables[i];
        if (t && t->fields && field >= t->fields && field < t->fields + t->count) {
            if (indexOut)
                *indexOut = (int)(field - t->fields);
            return t;
        }
    }
    if (indexOut)
        *indexOut = 0;
    return NULL;
}

FieldRecord *GetNeighbourField(const EditRequest *request, const FieldRecord *field, int offset)
{
    int index = 0;
    const FieldTable *table = FindFieldTable(request, field, &index);
    if (!table)
        return NULL;
    int other = index + offset;
    if (other < 1 || other >= table->count)
        return NULL;
    return &table->fields[other];
}

// Type codes of the neighbours that make a state and a ZIP code a pair.
static int IsZipType(const char *code)
{
    if (!code || !*code)
        return 0;
    size_t n = strlen(code);
    return code[0] == 'Z' || (code[0] == 'T' && n > 3 && code[3] == 'j') ||
           (code[0] == 'P' && n > 2 && code[2] == 'j') || strchr(code, 'Z') != NULL;
}

static int IsStateType(const char *code)
{
    if (!code || !*code)
        return 0;
    size_t n = strlen(code);
    return code[0] == 's' || (code[0] == 'T' && n > 3 && code[3] == 'i') ||
           (code[0] == 'P' && n > 2 && code[2] == 'i') || strchr(code, 's') != NULL;
}

static const char *GetRelatedValue(const EditRequest *request, const EditBarPart *part)
{
    const FieldRecord *field = part->field;
    if (part->kind == ENTRY_KIND_STATE) {
        if (GetFieldLength(field) == 1) {
            FieldRecord *other = GetNeighbourField(request, field, part->subkind == 1 ? -1 : 1);
            return other ? other->value : NULL;
        }
        FieldRecord *next = GetNeighbourField(request, field, 1);
        if (next && IsZipType(next->typeCode))
            return next->value;
    } else if (part->kind == ENTRY_KIND_ZIP) {
        FieldRecord *previous = GetNeighbourField(request, field, -1);
        if (previous && IsStateType(previous->typeCode))
            return previous->value;
    }
    return NULL;
}

static void GetDescription(const EditRequest *request, const FieldRecord *field, char *out, int outSize)
{
    snprintf(out, outSize, "%s", field && field->description ? field->description : "");
    if (request->requesterKind == EDIT_REQUESTER_GRID)
        TrimDescriptionSuffix(out);
}

static void SelectEntryText(HWND control)
{
    if (!control)
        return;
    SendMessageA(control, EM_SETSEL, 0, -1);
}

const char *GetRequestPageKey(const EditRequest *request)
{
    if (request->page && request->page->pageKey)
        return request->page->pageKey;
    return gCurrentFormName;
}

// Texts a field must not begin with, checked after the validator accepted the text.
static int RefuseReservedText(const EditRequest *request, const EditBarPart *part, const char *text)
{
    const char *title = "Entry Is Not Valid For This Field";
    const FieldRecord *field = part->field;
    if (strncmp(text, "STM", 3) == 0 && field->seqPrefix && strncmp(field->seqPrefix, "*[", 2) == 0) {
        ShowMessageBox(gMainWindow,
                       "This field cannot begin with the characters \"STM\".  If you need to\r\n"
                       "enter statement data, delete these characters first, then click the\r\n"
                       "Statement button on the right side of the popup window.",
                       title, MB_ICONEXCLAMATION);
        return 1;
    }
    const char *key = GetRequestPageKey(request);
    if (key && strncmp(key, "Form 8949", 9) == 0) {
        const char *term = strncmp(text, "STCGL", 5) == 0 ? "short-term" : strncmp(text, "LTCGL", 5) == 0 ? "long-term" : NULL;
        if (term) {
            char message[400];
            snprintf(message, sizeof(message),
                     "This field cannot begin with the characters \"%.5s\".\r\n\r\n"
                     "If you are attempting to enter %s capital\r\n"
                     "gains or losses, you need to provide more detail on\r\n"
                     "Schedule D or Schedule D-1.",
                     text, term);
            ShowMessageBox(gMainWindow, message, title, MB_ICONEXCLAMATION);
            return 1;
        }
    }
    return 0;
}

// The validation kind, sub-kind, letter and descriptor of a field's own type code (name boxes).
static int GetOwnFieldKind(const FieldRecord *field, FieldFormatPart *partOut, int *kind, int *subkind,
                           char *letter)
{
    FieldFormat format;
    *kind = 0;
    *subkind = 0;
    *letter = 0;
    const char *code = field && field->typeCode ? field->typeCode : "";
    if (ParseFieldFormat(code, &format, 1) < 1)
        return 0;
    *partOut = format.parts[0];
    GetFieldEntryKind(field, partOut, kind, subkind, NULL, NULL, 0);
    *letter = GetPartEntryLetter(field, partOut, NULL);
    return 1;
}

int GetTaxpayerItemCode(const FieldRecord *field, char *out, int outSize)
{
    FieldFormat format;
    if (!field || !out || ParseFieldFormat(field->typeCode, &format, 1) < 1)
        return 0;
    const FieldFormatPart *own = &format.parts[0];
    if (own->letter != 'T' || !own->bracket[0])
        return 0;
    if (own->colonDigit)
        snprintf(out, outSize, "%s:%c", own->bracket, own->colonDigit);
    else
        snprintf(out, outSize, "%s", own->bracket);
    return 1;
}

// Names: each box belongs to its own field. Nothing is stored here: the commit stores the
// boxes, after the edit rules of taxpayer names have accepted all of them.
static int CheckNameBoxes(HWND dialog, EditRequest *request, EditBarPart *part)
{
    int boxCount = part->controlKind == ENTRY_CONTROL_NAME3 ? 3 : 2;
    int lastBox = boxCount - 1;
    char boxes[3][EDIT_TEXT_SIZE];
    int any = 0;
    for (int i = 0; i < boxCount; i++) {
        GetDlgItemTextA(dialog, IDC_EB_EDIT1 + i, boxes[i], EDIT_TEXT_SIZE);
        TrimSpaces(boxes[i]);
        any |= boxes[i][0] != 0;
    }
    if (!any) {
        for (int i = 0; i < 3; i++)
            part->boxTexts[i][0] = 0;
        request->text[0] = 0;
        return 1;
    }
    const unsigned flags = MB_ICONEXCLAMATION | MB_TASKMODAL | MB_TOPMOST;
    if (!boxes[0][0]) {
        ShowMessageBox(dialog, "The name you entered is incomplete.\r\n\r\nThe First Name is missing.",
                       "Missing First Name", flags);
        return 0;
    }
    for (int i = 0; i < boxCount; i++) {
        if (!boxes[i][0])
            continue;
        FieldRecord *field = part->nameFields[i];
        FieldFormatPart own;
        int kind, subkind;
        char letter;
        if (!field || !GetOwnFieldKind(field, &own, &kind, &subkind, &letter))
            return 0;
        char description[EDIT_TEXT_SIZE];
        GetDescription(request, field, description, sizeof(description));
        if (!ValidateFieldData(boxes[i], NULL, description, kind, subkind, dialog, EDIT_TEXT_SIZE, field->valueList,
                               &own, letter, own.bracket, NULL, GetFieldLength(field), 1)) {
            HWND box = GetDlgItem(dialog, IDC_EB_EDIT1 + i);
            SetFocus(box);
            SelectEntryText(box);
            return 0;
        }
    }
    if (!boxes[lastBox][0]) {
        ShowMessageBox(dialog, "The name you entered is incomplete.\r\n\r\nThe Last Name is missing.",
                       "Missing Last Name", flags);
        return 0;
    }
    char joined[EDIT_TEXT_SIZE];
    if (boxCount == 3)
        snprintf(joined, sizeof(joined), "%s %s %s", boxes[0], boxes[1], boxes[2]);
    else
        snprintf(joined, sizeof(joined), "%s %s", boxes[0], boxes[1]);
    char description[EDIT_TEXT_SIZE];
    GetDescription(request, part->field, description, sizeof(description));
    FieldFormatPart *descriptor = &request->format->parts[part->index];
    if (!ValidateFieldData(joined, NULL, description, part->kind, part->subkind, dialog, EDIT_TEXT_SIZE,
                           part->field->valueList, descriptor, part->letter, descriptor->bracket, NULL,
                           GetFieldLength(part->field), 1))
        return 0;
    // Taxpayer name boxes must also pass the edit rules, all of them, before anything is stored.
    if (request->requesterKind == EDIT_REQUESTER_PAGE_VIEW) {
        OpenReturn *copy = (OpenReturn *)MemAlloc(64, sizeof(OpenReturn));
        if (!copy)
            return 0;
        memcpy(copy, gOpenReturnPtr, sizeof(OpenReturn));
        for (int i = 0; i < boxCount; i++) {
            char code[16];
            if (GetTaxpayerItemCode(part->nameFields[i], code, sizeof(code)) &&
                !ApplyFieldEditRules(code, boxes[i], copy, NULL)) {
                MemFree(copy);
                ShowEditRulesRefusal(boxes[i]);
                HWND box = GetDlgItem(dialog, IDC_EB_EDIT1 + i);
                SetFocus(box);
                SelectEntryText(box);
                return 0;
            }
        }
        MemFree(copy);
    }
    for (int i = 0; i < 3; i++)
        snprintf(part->boxTexts[i], EDIT_TEXT_SIZE, "%s", i < boxCount ? boxes[i] : "");
    snprintf(request->text, sizeof(request->text), "%s", joined);
    return 1;
}

// Reads the list part's text: the chosen item when the edit shows it (or shows nothing).
static void ReadListText(HWND dialog, EditRequest *request, char *text, int textSize)
{
    HWND list = GetDlgItem(dialog, IDC_EB_LIST);
    GetWindowTextA(list, text, textSize);
    int dropped = (int)SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0);
    LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR && SendMessageA(list, CB_GETLBTEXTLEN, selected, 0) < textSize) {
        char item[EDIT_TEXT_SIZE * 2];
        if (SendMessageA(list, CB_GETLBTEXTLEN, selected, 0) < (LRESULT)sizeof(item)) {
            SendMessageA(list, CB_GETLBTEXT, selected, (LPARAM)item);
            if (!text[0] || dropped || _stricmp(text, item) == 0)
                snprintf(text, textSize, "%s", item);
        }
    }
    if (dropped) {
        request->dropDownWasOpen = 1;
        SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
    }
}

// Runs the taxpayer item's edit rules on a copy of the return record, so a value they would
// refuse is refused while the bar is still open.
static int CheckEditRulesAccept(const EditBarPart *part, const char *text)
{
    OpenReturn *copy = (OpenReturn *)MemAlloc(64, sizeof(OpenReturn));
    if (!copy)
        return 0;
    memcpy(copy, gOpenReturnPtr, sizeof(OpenReturn));
    int accepted = ApplyFieldEditRules(part->itemCode, text, copy, part->field->typeCode);
    MemFree(copy);
    return accepted;
}

int CheckEditBarPart(HWND dialog, EditBarPair *pair)
{
    EditRequest *request = pair->request;
    EditBarPart *part = pair->part;
    char text[EDIT_TEXT_SIZE] = "";
    int valid = 0;
    int checked = 0;   // already decided without the validator

    switch (part->controlKind) {
    case ENTRY_CONTROL_NONE:
        // Nothing to type (a toggled check mark keeps the text set up for it).
        snprintf(text, sizeof(text), "%s", part->text);
        valid = checked = 1;
        break;
    case ENTRY_CONTROL_EDIT:
    case ENTRY_CONTROL_NUMBER:
        GetDlgItemTextA(dialog, IDC_EB_EDIT1, text, sizeof(text));
        break;
    case ENTRY_CONTROL_LIST: {
        char typed[EDIT_TEXT_SIZE];
        ReadListText(dialog, request, text, sizeof(text));
        snprintf(typed, sizeof(typed), "%s", text);
        int stateGroups = part->kind == ENTRY_KIND_STATE ? (part->subkind > 0 ? part->subkind : STATE_GROUP_STATES) : 0;
        int empty = !typed[0] || typed[0] == '<';
        if (!ResolveListEntry(text, sizeof(text), part->field->valueList, part->letter, stateGroups)) {
            char title[EDIT_TEXT_SIZE + 16];
            char description[EDIT_TEXT_SIZE];
            GetDescription(request, part->field, description, sizeof(description));
            snprintf(title, sizeof(title), "Invalid %s", description);
            HWND list = GetDlgItem(dialog, IDC_EB_LIST);
            SendMessageA(list, CB_SETCURSEL, (WPARAM)-1, 0);
            SetWindowTextA(list, typed);
            ShowMessageBox(dialog,
                           "The data that you typed is not an allowable value.\r\n\r\n"
                           "Please select a valid value from the list.",
                           title, MB_ICONEXCLAMATION);
            valid = 0;
            checked = 1;
        } else if (empty) {
            valid = checked = 1;
        }
        break;
    }
    case ENTRY_CONTROL_DATE:
    case ENTRY_CONTROL_SSN:
    case ENTRY_CONTROL_EIN:
    case ENTRY_CONTROL_PHONE: {
        char boxes[3][EDIT_TEXT_SIZE];
        const char *pieces[3];
        int count = 0;
        for (int i = 0; i < part->boxCount && i < 3; i++) {
            GetDlgItemTextA(dialog, IDC_EB_EDIT1 + i, boxes[count], EDIT_TEXT_SIZE);
            TrimSpaces(boxes[count]);
            pieces[count] = boxes[count];
            count++;
        }
        JoinSplitEntryText(part->controlKind, pieces, part->boxChars, count, text, sizeof(text));
        break;
    }
    case ENTRY_CONTROL_NAME2:
    case ENTRY_CONTROL_NAME3:
        valid = CheckNameBoxes(dialog, request, part);
        checked = 1;
        if (valid)
            snprintf(text, sizeof(text), "%s", request->text);
        break;
    default:
        valid = 0;
        checked = 1;
        break;
    }

    if (!checked) {
        char description[EDIT_TEXT_SIZE];
        GetDescription(request, part->field, description, sizeof(description));
        FieldFormatPart *descriptor = &request->format->parts[part->index];
        if (request->modeless)
            request->checking = 1;
        valid = ValidateFieldData(text, NULL, description, part->kind, part->subkind, dialog, sizeof(text),
                                  part->field->valueList, descriptor, part->letter, descriptor->bracket,
                                  GetRelatedValue(request, part), GetFieldLength(part->field), 1);
        request->checking = 0;
        if (valid && RefuseReservedText(request, part, text))
            valid = 0;
        if (valid && part->itemCode[0] && request->requesterKind == EDIT_REQUESTER_PAGE_VIEW &&
            !CheckEditRulesAccept(part, text)) {
            ShowEditRulesRefusal(text);
            valid = 0;
        }
    }

    part->valid = valid;
    request->valid = valid;
    if (valid) {
        snprintf(part->text, sizeof(part->text), "%s", text);
        snprintf(request->text, sizeof(request->text), "%s", text);
    }
    return valid;
}
