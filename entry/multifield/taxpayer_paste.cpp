// taxpayer_paste.cpp - the "Paste" action of a field button: copies taxpayer items of the return
// record into ordinary fields of the page shown, empties fields, or opens the multi-field popup
// on a field, after checking that the names and the address pasted are complete.
#include "entry/multifield/multifield.h"
#include "pages/pages.h"

#include <stdio.h>
#include <string.h>

#define PASTE_MAX_TOKENS 64

// Cuts the paste list into its tokens (separated by '=' or ','), in place in buffer.
static int CutPasteList(char *buffer, char **tokens, int capacity)
{
    int count = 0;
    char *p = buffer;
    while (*p && count < capacity) {
        size_t n = strcspn(p, "=,");
        char *token = p;
        p += n;
        if (*p)
            *p++ = 0;
        TrimSpaces(token);
        if (*token)
            tokens[count++] = token;
    }
    return count;
}

// The kind character and item letter of a taxpayer-item source ("T[1b]", "T[2de]"); 0 for others.
static char GetSourceItem(const char *source, char *letterOut)
{
    FieldFormat format;
    *letterOut = 0;
    if (!StartsWithText(source, "T[") || ParseFieldFormat(source, &format, 1) < 1 || format.parts[0].letter != 'T')
        return 0;
    *letterOut = format.parts[0].itemLetter;
    return format.parts[0].taxKind;
}

// 1 when all the texts are present or all are empty.
static int AllOrNone(const char *const *texts, int count)
{
    int present = 0;
    for (int i = 0; i < count; i++)
        present += texts[i][0] != 0;
    return present == 0 || present == count;
}

int CheckPasteSources(const char *pasteList, OpenReturn *record, char *labelOut, int labelSize)
{
    if (labelOut && labelSize > 0)
        labelOut[0] = 0;
    if (!pasteList || !record)
        return 1;
    char buffer[1024];
    snprintf(buffer, sizeof buffer, "%s", pasteList);
    char *tokens[PASTE_MAX_TOKENS];
    int count = CutPasteList(buffer, tokens, PASTE_MAX_TOKENS);
    const char *taxpayerName[2] = {ReturnText(record, RETURN_TAXPAYER + PERSON_FIRST_NAME),
                                   ReturnText(record, RETURN_TAXPAYER + PERSON_LAST_NAME)};
    const char *spouseName[2] = {ReturnText(record, RETURN_SPOUSE + PERSON_FIRST_NAME),
                                 ReturnText(record, RETURN_SPOUSE + PERSON_LAST_NAME)};
    const char *address[4] = {ReturnText(record, RETURN_STREET), ReturnText(record, RETURN_CITY),
                              ReturnText(record, RETURN_STATE), ReturnText(record, RETURN_ZIP)};
    for (int i = 0; i < count; i++) {
        char letter = 0;
        char kind = GetSourceItem(tokens[i], &letter);
        const char *label = NULL;
        if (kind == '1' && (letter == 'b' || letter == 'd') && !AllOrNone(taxpayerName, 2))
            label = "Taxpayer Name";
        else if (kind == '1' && letter && strchr("fghij", letter) && !AllOrNone(address, 4))
            label = "Address";
        else if (kind == '2' && (letter == 'b' || letter == 'd') && !AllOrNone(spouseName, 2))
            label = "Spouse Name";
        if (label) {
            if (labelOut && labelSize > 0)
                snprintf(labelOut, (size_t)labelSize, "%s", label);
            return 0;
        }
    }
    return 1;
}

static FieldRecord *FindPasteField(FieldTable *records, const char *seq)
{
    int index = FindLayoutField(records, 1, seq, 0);
    return index > 0 && index < records->count ? &records->fields[index] : NULL;
}

static void PasteIntoField(FieldRecord *field, const char *text)
{
    if (SetFieldText(&field->value, text))
        RedrawField(field);
}

int EditNameFields(const char *pasteList, FieldTable *records, HWND ownerWindow)
{
    if (!pasteList || !records || !gOpenReturnPtr)
        return 0;
    char label[64];
    if (!CheckPasteSources(pasteList, gOpenReturnPtr, label, sizeof label)) {
        char message[400], title[100];
        snprintf(message, sizeof message,
                 "One or more of the %s fields has incomplete data.\r\n\r\nEither manually type the data into the "
                 "destination field(s) or\r\nupdate the source field(s) prior to clicking the Paste button.",
                 label);
        snprintf(title, sizeof title, "Unable to Paste %s", label);
        ShowMessageBox(ownerWindow, message, title, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    char buffer[1024];
    snprintf(buffer, sizeof buffer, "%s", pasteList);
    char *tokens[PASTE_MAX_TOKENS];
    int count = CutPasteList(buffer, tokens, PASTE_MAX_TOKENS);
    FormInstance *page = (FormInstance *)GetCurrentDocument(4);
    int pasted = 0;
    for (int i = 0; i < count; i++) {
        if (tokens[i][0] == '~') {
            const char *seq = tokens[i][1] ? tokens[i] + 1 : (i + 1 < count ? tokens[++i] : "");
            FieldRecord *field = FindPasteField(records, seq);
            if (field)
                PasteIntoField(field, "");
            continue;
        }
        if (i + 1 >= count)
            break;
        FieldRecord *destination = FindPasteField(records, tokens[i]);
        const char *source = tokens[++i];
        if (!destination)
            continue;
        if (StartsWithText(source, "<regen>")) {
            MultiFieldParams params;
            memset(&params, 0, sizeof params);
            params.groupKind = StartsWithText(destination->typeCode, "S[c") ? MULTIFIELD_GROUP_NAME
                                                                              : MULTIFIELD_GROUP_LIST;
            params.field = destination;
            params.fields = records;
            params.fieldIndex = (uint32_t)(destination - records->fields);
            OpenMultiFieldDialog(ownerWindow, &params);
            continue;
        }
        char letter = 0;
        if (!GetSourceItem(source, &letter))
            continue;
        FieldFormat format;
        ParseFieldFormat(source, &format, 1);
        const char *values[3] = {NULL, NULL, NULL};
        int parts = ParseTaxpayerFieldType(format.parts[0].itemLetter, &format.parts[0], format.parts[0].bracket,
                                           NULL, NULL, gOpenReturnPtr, values, NULL, NULL);
        char value[256] = "";
        if (parts > 0)
            JoinStrings(value, sizeof value, " ", values, parts);
        if (!value[0])
            continue;
        if (letter == 'a' && page && page->pageKey && _stricmp(page->pageKey, "Form W-2.1") == 0) {
            int check = ValidateSsn(0, value, NULL, 0);
            if (check == SSN_BAD_SHAPE || check == SSN_NOT_ISSUED)
                continue;
        }
        PasteIntoField(destination, value);
        pasted++;
    }
    if (page)
        RecomputeForm(page);
    gReturnModified = 1;
    return pasted;
}
