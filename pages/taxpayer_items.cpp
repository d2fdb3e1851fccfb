// taxpayer_items.cpp - taxpayer items ('T' fields) and joined-name fields ('i' fields) of the
// pages: they are not typed on the page but follow the return record and the fields they join.
#include "pages/pages.h"
#include "calc/calc.h"

#include <stdio.h>
#include <string.h>


// The record keeps identification numbers as nine digits; a field shows them in the form the
// edit bar stores: "123-45-6789" (SSN, kind 14), "12-3456789" (EIN, kind 31) and phones of ten
// digits as "(651)555-0100" (kind 25).
static void FormatIdentificationNumber(char *text, int size, int kind)
{
    size_t length = strlen(text);
    if (length > 10 || strspn(text, "0123456789") != length || size < 14)
        return;
    char digits[11];
    memcpy(digits, text, length + 1);
    if (kind == 25 && length == 10) {
        snprintf(text, (size_t)size, "(%.3s)%.3s-%.4s", digits, digits + 3, digits + 6);
        return;
    }
    if ((kind != 14 && kind != 31) || length != 9)
        return;
    if (kind == 14)
        snprintf(text, (size_t)size, "%.3s-%.2s-%.4s", digits, digits + 3, digits + 5);
    else
        snprintf(text, (size_t)size, "%.2s-%.7s", digits, digits + 2);
}

int GetTaxpayerItemValue(const FieldRecord *field, OpenReturn *record, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    if (!field || !record || !field->typeCode || field->typeCode[0] != 'T')
        return 0;
    FieldFormat format;
    if (ParseFieldFormat(field->typeCode, &format, 1) < 1 || format.parts[0].letter != 'T')
        return 0;
    const FieldFormatPart *part = &format.parts[0];
    const char *values[3] = {NULL, NULL, NULL};
    int kind = 0;
    int count = ParseTaxpayerFieldType(part->itemLetter, part, part->bracket, &kind, NULL, record, values,
                                       NULL, NULL);
    if (count < 1)
        return 0;
    JoinStrings(out, (size_t)outSize, " ", values, count);
    // A one-character position reads the record's own text.
    if (!part->position)
        FormatIdentificationNumber(out, outSize, kind);
    return 1;
}

// The kind character and item letter of a 'T' field (0 when it is none).
static char GetItemKind(const FieldRecord *field, char *letterOut)
{
    FieldFormat format;
    *letterOut = 0;
    if (!field->typeCode || field->typeCode[0] != 'T' || ParseFieldFormat(field->typeCode, &format, 1) < 1)
        return 0;
    *letterOut = format.parts[0].itemLetter;
    return format.parts[0].taxKind;
}

// The one-character position of a 'T' field ('0'..'9'), or 0.
static int GetItemPosition(const FieldRecord *field, int *positionOut)
{
    FieldFormat format;
    if (ParseFieldFormat(field->typeCode, &format, 1) < 1 || !format.parts[0].position)
        return 0;
    *positionOut = format.parts[0].position - '0';
    return 1;
}

static int StartsWithNoCase(const char *text, const char *prefix)
{
    return text && _strnicmp(text, prefix, strlen(prefix)) == 0;
}

// Pages whose spouse number stays even without a spouse name: null-ended prefix list.
static const char *const kKeepSpouseNumberWide[] = {"Form 1040", "Form 540", "Form MI-1040", NULL};
static const char *const kKeepSpouseNumberNarrow[] = {"Form 1040", NULL};

// 1 when the spouse has a number but neither a first nor a last name.
static int IsSpouseNumberWithoutName(OpenReturn *record)
{
    const char *ssn = ReturnText(record, RETURN_SPOUSE + PERSON_SSN);
    const char *first = ReturnText(record, RETURN_SPOUSE + PERSON_FIRST_NAME);
    const char *last = ReturnText(record, RETURN_SPOUSE + PERSON_LAST_NAME);
    return ssn[0] && !first[0] && !last[0];
}

// Fills the taxpayer items of one table. kinds: the kind characters filled (null = all);
// keepList: page-key prefixes on which a nameless spouse's number is shown (null = the rule does
// not apply).
static int FillTaxpayerItems(FieldTable *table, OpenReturn *record, FormInstance *page, int firstIndex,
                             int redraw, const char *kinds, const char *const *keepList)
{
    if (!table || !table->fields || !record)
        return 0;
    int blankSpouseNumber = 0;
    if (keepList && page && IsSpouseNumberWithoutName(record)) {
        blankSpouseNumber = 1;
        for (int i = 0; keepList[i]; i++)
            if (StartsWithNoCase(page->pageKey, keepList[i]))
                blankSpouseNumber = 0;
    }
    // The items are copies of the record: filling them does not change the return (a change of
    // the record itself marks it).
    int wasModified = gReturnModified;
    int changed = 0;
    for (int i = firstIndex < 1 ? 1 : firstIndex; i < table->count; i++) {
        FieldRecord *field = &table->fields[i];
        char letter = 0;
        char kind = GetItemKind(field, &letter);
        if (!kind || (kinds && !strchr(kinds, kind)))
            continue;
        char value[256];
        if (!GetTaxpayerItemValue(field, record, value, sizeof value))
            continue;
        if (blankSpouseNumber && kind == '2' && letter == 'a')
            value[0] = 0;
        int position = 0;
        int didChange = GetItemPosition(field, &position) ? SetFieldChar(&field->value, value, position)
                                                          : SetFieldText(&field->value, value);
        if (!didChange)
            continue;
        changed++;
        if (redraw && page && page == (FormInstance *)GetCurrentDocument(4))
            RedrawField(field);
    }
    gReturnModified = wasModified;
    return changed;
}

int PropagateFormHeaderName(FieldTable *fieldTable, OpenReturn *returnRecord, FormInstance *formInstance,
                            int firstIndex, int redraw)
{
    return FillTaxpayerItems(fieldTable, returnRecord, formInstance, firstIndex, redraw, NULL,
                             formInstance ? kKeepSpouseNumberWide : NULL);
}

int PropagateTaxpayerName(OpenReturn *returnRecord)
{
    if (!returnRecord)
        return 0;
    // The worker reads the values replaced here: it ends first.
    EndRecomputeWorker();
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    int changed = 0;
    for (int i = 0; i < count; i++) {
        FormInstance *page = pages[i];
        if (page && page->kind == PAGE_KIND_FORM && page->fieldTable)
            changed += FillTaxpayerItems(page->fieldTable, returnRecord, page, 0, 1, "01238",
                                         kKeepSpouseNumberNarrow);
    }
    MemFree(pages);
    return changed;
}

int FillJoinedNameFields(FieldTable *table, FormInstance *page)
{
    if (!table || !table->fields)
        return 0;
    int wasModified = gReturnModified;   // joined from other fields: nothing new is stored
    int changed = 0;
    for (int i = 1; i < table->count; i++) {
        FieldRecord *field = &table->fields[i];
        if (!field->typeCode || field->typeCode[0] != 'i')
            continue;
        FieldFormat format;
        if (ParseFieldFormat(field->typeCode, &format, 1) < 1)
            continue;
        int parts = format.parts[0].number;
        if (parts != 2 && parts != 3)
            continue;
        // The sources are the records after the field, never past the table's end.
        const char *values[3] = {"", "", ""};
        int present = 0;
        for (int k = 0; k < parts; k++) {
            int source = i + 1 + k;
            const char *value = source < table->count ? table->fields[source].value : NULL;
            if (value && value[0]) {
                values[k] = value;
                present = 1;
            }
        }
        // The whole joined text, however long the sources are.
        int length = present ? JoinStrings(NULL, 0, " ", values, parts) : 0;
        char *joined = (char *)MemAlloc(64, (size_t)(length > 0 ? length : 0) + 1);
        if (!joined)
            continue;
        joined[0] = 0;
        if (present) {
            JoinStrings(joined, (size_t)length + 1, " ", values, parts);
            // Empty middle sources leave double blanks: keep single ones.
            char *out = joined;
            for (const char *p = joined; *p; p++)
                if (!(*p == ' ' && out > joined && out[-1] == ' '))
                    *out++ = *p;
            *out = 0;
            TrimSpaces(joined);
        }
        // Sources all empty: the joined name is cleared, so a deleted name is not printed.
        if (SetFieldText(&field->value, joined)) {
            changed++;
            if (page && page == (FormInstance *)GetCurrentDocument(4))
                RedrawField(field);
        }
        MemFree(joined);
    }
    gReturnModified = wasModified;
    return changed;
}

int PropagateNameFields(void)
{
    EndRecomputeWorker();
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    int changed = 0;
    for (int i = 0; i < count; i++)
        if (pages[i] && pages[i]->kind == PAGE_KIND_FORM)
            changed += FillJoinedNameFields(pages[i]->fieldTable, pages[i]);
    MemFree(pages);
    return changed;
}

int FillReturnTaxpayerItems(OpenReturn *returnRecord)
{
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    int changed = 0;
    for (int i = 0; i < count; i++)
        if (pages[i] && pages[i]->kind == PAGE_KIND_FORM && pages[i]->fieldTable)
            changed += PropagateFormHeaderName(pages[i]->fieldTable, returnRecord, pages[i], 0, 0) +
                       FillJoinedNameFields(pages[i]->fieldTable, pages[i]);
    MemFree(pages);
    return changed;
}

int PropagateTaxpayerChange(OpenReturn *returnRecord)
{
    int changed = PropagateTaxpayerName(returnRecord);
    return changed + PropagateNameFields();
}
