// The fields of the page shown: lookups, hit-testing, what a click on a field opens, and the
// walk to the next or previous field in tab order.
#include "pages/pages_private.h"
#include "prepare/prepare.h"

#include <string.h>

// ---- fields of a page ----

FieldRecord *FindFieldRecord(const char *sequenceText, FieldTable *fieldTable, FieldRecord *records)
{
    if (!fieldTable || !sequenceText)
        return NULL;
    int index = FindLayoutField(fieldTable, 1, sequenceText, 0);
    if (index <= 0 || index >= fieldTable->count)
        return NULL;
    return (records ? records : fieldTable->fields) + index;
}

FieldRecord *FindFieldInTable(const FieldTable *table, POINT pagePoint, int *outIndex)
{
    if (!table || !table->fields)
        return NULL;
    for (int i = 0; i < table->count; i++) {
        FieldRecord *field = &table->fields[i];
        if (field->rect && PtInRect(field->rect, pagePoint)) {
            if (outIndex)
                *outIndex = i;
            return field;
        }
    }
    return NULL;
}

int HasFieldLinkText(const FieldRecord *field)
{
    return field->seqPrefix && field->seqPrefix[0];
}

int GetFieldKind(const FieldRecord *field)
{
    if (!field)
        return 0;
    if (HasFieldLinkText(field))
        return field->seqPrefix[0] == '@' ? 1 : 2;
    const char *type = field->typeCode;
    if (!type)
        return 0;
    if (type[0] == 'c' || StartsWithText(type, "S[m"))
        return 3;
    if (StartsWithText(type, "S[c"))
        return 4;
    if (strcmp(type, "S") == 0)
        return 5;
    if (StartsWithText(type, "S[t"))
        return 6;
    if (StartsWithText(type, "S[pdf]"))
        return 7;
    if (strcmp(type, "S[sig]") == 0)
        return 8;
    if (StartsWithText(type, "S[^"))
        return 9;
    return 0;
}

int IsFirstEditableField(const FieldTable *fieldTable, int index)
{
    if (!fieldTable || !fieldTable->fields)
        return 0;
    for (int i = 0; i < fieldTable->count; i++) {
        const FieldRecord *field = &fieldTable->fields[i];
        if (field->rect && !(field->typeCode && field->typeCode[0] == 'B'))
            return i == index;
    }
    return 0;
}

// A 'T' type whose third character is '0' (an item of the return as a whole) is assigned by
// the program on individual returns; employment returns (return type 0) edit it.
int IsLockedReturnItem(const char *type)
{
    return type && type[0] == 'T' && strlen(type) >= 3 && type[2] == '0' && GetReturnType(NULL) != 0;
}

// The head of the statement group the field at index belongs to: the nearest record at or before
// it whose link text begins "*[" (never before the table's first record). A field whose link text
// begins with anything but '@' is a member; a field without a link text is one when it lies among
// the head's cells (page rows x fields per row after the head). Null for other fields.
FieldRecord *FindStatementGroupHead(const FieldTable *table, int index)
{
    if (!table || !table->fields || index < 0 || index >= table->count)
        return NULL;
    const FieldRecord *field = &table->fields[index];
    if (HasFieldLinkText(field) && field->seqPrefix[0] == '@')
        return NULL;
    int headIndex = index;
    while (headIndex >= 0 && !StartsWithText(table->fields[headIndex].seqPrefix, "*["))
        headIndex--;
    if (headIndex < 0)
        return NULL;
    FieldRecord *head = &table->fields[headIndex];
    if (HasFieldLinkText(field))
        return head;
    int pageRows = 0, stride = 0;
    ParseFieldAttributes(head, &pageRows, &stride, NULL, NULL);
    int cells = pageRows ? pageRows * stride : stride;
    return index - headIndex < cells ? head : NULL;
}

// 1 when the field at index belongs to a statement whose rows are kept in its head's overflow
// text: the page cells then show none of the rows ("See statement" on the head) and only the
// statement grid may change them.
int IsStatementKeptApart(const FieldTable *table, int index)
{
    const FieldRecord *head = FindStatementGroupHead(table, index);
    return head && head->second && head->second[0];
}

// Kinds the walk passes over.
static int IsSkippedByWalk(const FieldRecord *field)
{
    const char *type = field->typeCode ? field->typeCode : "";
    if (type[0] == 'C' || type[0] == 'L' || type[0] == 'B')
        return 1;
    if (strcmp(type, "S") == 0 && HasFieldLinkText(field))
        return 1;
    if (StartsWithText(type, "S[") && !StartsWithText(type, "S[m") && !StartsWithText(type, "S[c"))
        return 1;
    return IsLockedReturnItem(type);
}

// The next field of the walk from index: follows the tab links in the direction, passing
// over fields without a rectangle and the kinds above. The walk is bounded by the field count;
// a link out of range or back to a field already seen (a cycle) ends it. -1 when none.
int FindNextTabField(const FieldTable *table, int index, int direction)
{
    if (!table || !table->fields || index < 0 || index >= table->count)
        return -1;
    int current = index;
    for (int steps = 0; steps < table->count; steps++) {
        int next = table->fields[current].tabLinks[direction ? TAB_PREVIOUS : TAB_NEXT];
        if (next <= 0 || next >= table->count || next == index)
            return -1;
        current = next;
        const FieldRecord *field = &table->fields[current];
        if (!field->rect || IsSkippedByWalk(field) || IsStatementKeptApart(table, current))
            continue;
        return current;
    }
    return -1;
}

