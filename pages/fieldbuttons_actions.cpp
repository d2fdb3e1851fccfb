// Field buttons: the messages of the page's buttons and what each action number does.
#include "pages/fieldbuttons_private.h"
#include "ui/ui.h"
#include "calc/calc.h"
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

int IsOpenableLink(const char *text)
{
    if (!text)
        return 0;
    const char *rest = NULL;
    if (_strnicmp(text, "https://", 8) == 0)
        rest = text + 8;
    else if (_strnicmp(text, "http://", 7) == 0)
        rest = text + 7;
    if (!rest || !*rest || *rest == '/')
        return 0;
    for (const char *p = text; *p; p++)
        if ((unsigned char)*p <= ' ' || *p == '"')
            return 0;
    return 1;
}

FieldRecord *FindNamedPageField(const char *seq)
{
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    if (!table || !seq || !*seq)
        return NULL;
    int index = FindLayoutField(table, 1, seq, 0);
    return index > 0 ? &table->fields[index] : NULL;
}

static void RecomputeShownForm(void)
{
    FormInstance *form = (FormInstance *)GetCurrentDocument(4);
    if (form)
        RecomputeForm(form);
    RefreshStatusAmountParts();
}

// A file or link the shell could not open: the system's error code in the log.
static void LogShellFailure(void)
{
    char line[64];
    snprintf(line, sizeof(line), "999 BSE: %d\r\n", (int)GetLastError());
    WriteLogLine(line);
}

// Statement or explanation of the field the button names.
static int OpenNamedGroup(FieldRecord *field)
{
    FieldRecord *target = FindNamedPageField(field->valueList);
    if (!target || !target->seqPrefix)
        return 0;
    if (target->seqPrefix[0] == '*') {
        if (gMainWindow)
            SendMessageA(gMainWindow, WM_OPEN_STATEMENT, 0, (LPARAM)target);
    } else if (target->seqPrefix[0] == '@') {
        FormInstance *form = (FormInstance *)GetCurrentDocument(4);
        if (gWindowCallbacks.openExplainDialog &&
            gWindowCallbacks.openExplainDialog(gMainWindow, target, form ? form->pageKey : NULL))
            RedrawField(target);
    } else {
        return 0;
    }
    RecomputeShownForm();
    return 1;
}

// What a taxpayer item of a paste list is called in the paste's message.
static const char *GetPasteItemName(char letter)
{
    switch (letter) {
    case 'a': return "social security number";
    case 'b': return "first name";
    case 'c': return "middle name";
    case 'd': return "last name";
    case 'f': case 'm': return "street address";
    case 'g': return "apartment number";
    case 'h': case 'n': return "city";
    case 'i': return "state";
    case 'j': return "ZIP code";
    case 'k': return "occupation";
    case 's': return "phone number";
    case 'y': return "date of birth";
    default: return "information";
    }
}

int RunPasteAction(HWND pageView, const char *pasteList, FieldTable *table)
{
    if (!pasteList || !table)
        return 0;
    // The entries of the list ("destination=source" or "~destination", separated by ',' or
    // '='): does any of them fill a field of this page, and which record items are empty?
    char buffer[512];
    lstrcpynA(buffer, pasteList, sizeof(buffer));
    char *tokens[64];
    int count = 0;
    for (char *p = buffer; *p && count < 64;) {
        char *token = p;
        p += strcspn(p, "=,");
        if (*p)
            *p++ = 0;
        TrimSpaces(token);
        if (*token)
            tokens[count++] = token;
    }
    int destinations = 0, filling = 0;
    char person = 0, missing[200] = "";
    int missingCount = 0;
    for (int i = 0; i < count; i++) {
        int tilde = tokens[i][0] == '~';
        const char *seq = tokens[i], *source = "";
        if (tilde)
            seq = tokens[i][1] ? tokens[i] + 1 : i + 1 < count ? tokens[++i] : "";
        else if (i + 1 < count)
            source = tokens[++i];
        else
            break;
        if (FindLayoutField(table, 1, seq, 0) <= 0)
            continue;
        destinations++;
        FieldFormat format;
        if (tilde || StartsWithText(source, "<regen>")) {
            filling++;
        } else if (StartsWithText(source, "T[") && ParseFieldFormat(source, &format, 1) > 0 &&
                   format.parts[0].letter == 'T') {
            FieldFormatPart *part = &format.parts[0];
            const char *values[3] = {NULL, NULL, NULL};
            int parts = gOpenReturnPtr ? ParseTaxpayerFieldType(part->itemLetter, part, part->bracket, NULL, NULL,
                                                                gOpenReturnPtr, values, NULL, NULL)
                                       : 0;
            if (parts > 0 && values[0] && values[0][0]) {
                filling++;
            } else if (missingCount < 4) {
                if (!person && (part->taxKind == '1' || part->taxKind == '2'))
                    person = part->taxKind;
                size_t used = strlen(missing);
                snprintf(missing + used, sizeof(missing) - used, "%s%s", missingCount ? " and " : "",
                         GetPasteItemName(part->itemLetter));
                missingCount++;
            }
        }
    }
    if (filling)
        return gWindowCallbacks.editNameFields ? gWindowCallbacks.editNameFields(pasteList, table, pageView) : 0;
    char message[400];
    if (!destinations)
        snprintf(message, sizeof(message), "Nothing was pasted: the fields this button fills are not on this page.");
    else
        snprintf(message, sizeof(message),
                 "Nothing was pasted: the return has no %s%s.\r\n\r\nEnter %s in the Taxpayer Info window (Setup "
                 "menu), then click Paste again.",
                 person == '2' ? "spouse's " : person == '1' ? "taxpayer's " : "", missing[0] ? missing : "data to paste",
                 missingCount > 1 ? "them" : "it");
    ShowMessageBox(gMainWindow ? gMainWindow : pageView, message, "Nothing to Paste", MB_OK | MB_ICONINFORMATION);
    return 0;
}

static char sButtonCaption[300];

static int OpenButtonMultiField(HWND pageView, FieldRecord *field)
{
    if (!gWindowCallbacks.openMultiFieldDialog)
        return 0;
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    MultiFieldParams params;
    memset(&params, 0, sizeof(params));
    params.groupKind = 0;
    params.field = field;
    params.fields = table;
    if (table && field >= table->fields && field < table->fields + table->count)
        params.fieldIndex = (uint32_t)(field - table->fields);
    BuildPageCaption((FormInstance *)GetCurrentDocument(4), sButtonCaption, sizeof(sButtonCaption));
    params.caption = sButtonCaption;
    params.kind = 1;
    gWindowCallbacks.openMultiFieldDialog(pageView, &params);
    SetFocus(pageView);
    RecomputeShownForm();
    return 1;
}

static int ViewAttachedPdf(FieldRecord *field)
{
    FieldRecord *target = FindNamedPageField(field->valueList);
    if (!target || !target->value || !CheckPdfAttachment(target->value, 1))
        return 0;
    if (!OpenWithShell("open", target->value)) {
        LogShellFailure();
        return 0;
    }
    return 1;
}

static int OpenLink(FieldRecord *field)
{
    if (!IsOpenableLink(field->valueList)) {
        WriteLogLine("999 BSE: a button's link is not an http or https address\r\n");
        return 0;
    }
    if (!OpenWithShell("open", field->valueList)) {
        LogShellFailure();
        return 0;
    }
    return 1;
}

static int ShowImportHelp(void)
{
    FormInstance *form = (FormInstance *)GetCurrentDocument(4);
    const char *topic = form && StartsWithText(form->pageKey, "Schedule R (Form 94") ? "html\\import_files_f94x.htm"
                                                                                     : "html\\importing_data.htm";
    return ShowHelpTopic(gMainWindow, topic, 2);
}

int RunFieldButtonAction(HWND pageView, int action, FieldRecord *field, int onArrow)
{
    if (!field)
        return 0;
    gOperationCode = 34;
    switch (action) {
    case 101:
        return RunImportRowsAction(pageView, field);
    case 102:
        return ShowImportHelp();
    case 104: case 106: case 200: case 202: case 204: case 212: case 216: case 222: case 224:
        return OpenNamedGroup(field);
    case 107: case 109: case 201: case 203: case 205: case 207: case 209: case 211: case 213: case 215:
    case 217: case 221: case 223: case 225: case 229: case 231: case 234: case 237: case 243: case 245:
    case 247: case 249: case 251: case 253: case 255: case 257: case 259: case 261: case 265: case 267:
        return OpenButtonMultiField(pageView, field);
    case 111:
        return ViewAttachedPdf(field);
    case 112:
        return RunGeneratePdfAction(pageView, field);
    case 219: case 227: case 233: case 235: case 239: case 240: case 241: case 242: case 262:
        return RunDropDownMenuAction(pageView, action, field, onArrow);
    case 264:
        return OpenLink(field);
    default:
        return 0;
    }
}

// The action of a field acting as a button (WM_COMMAND id 0xFFFF).
static int GetFieldActionNumber(FieldRecord *field)
{
    const char *type = field->typeCode ? field->typeCode : "";
    if (StartsWithText(type, "LB")) {
        int number = GetFieldButtonAction(type + 1, NULL);
        if (number >= 0)
            return number;
    }
    if (field->valueList && !strchr(field->valueList, ',')) {
        FieldRecord *named = FindNamedPageField(field->valueList);
        if (named && named->seqPrefix && named->seqPrefix[0] == '*')
            return 104;
        if (named && named->seqPrefix && named->seqPrefix[0] == '@')
            return 106;
    }
    return 205;
}

LRESULT OnFieldButtonMessage(HWND pageView, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM) {
        const DRAWITEMSTRUCT *item = (const DRAWITEMSTRUCT *)lParam;
        if (item && item->CtlType == ODT_BUTTON)
            DrawFieldButton(item);
        return 1;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return 0;
    int id = LOWORD(wParam);
    if (id == 0xFFFF) {
        FieldRecord *field = (FieldRecord *)lParam;
        if (field)
            RunFieldButtonAction(pageView, GetFieldActionNumber(field), field, 0);
        return 0;
    }
    FormInstance *form = (FormInstance *)GetCurrentDocument(4);
    if (!form || !form->buttons || id >= form->buttonCount)
        return 0;
    FieldButtonSlot *slot = &form->buttons[id];
    if (slot->window != (HWND)lParam)
        return 0;
    int onArrow = IsDropDownButton(slot->action) && IsCursorOnButtonArrow(slot->window);
    RunFieldButtonAction(pageView, slot->action, slot->field, onArrow);
    return 0;
}
