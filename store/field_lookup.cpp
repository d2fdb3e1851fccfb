// field_lookup.cpp - finding fields in a field table and freeing tables.
#include "store/store.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char *TextOrEmpty(const char *text)
{
    return text ? text : "";
}

static int FindBySequence(const FieldTable *table, const char *key)
{
    if (table->sortedIndex) {
        int lo = 0, hi = table->count - 2;   // count - 1 entries
        while (lo <= hi) {
            int mid = lo + (hi - lo) / 2;
            int index = table->sortedIndex[mid];
            if (index <= 0 || index >= table->count)
                break;   // a broken index: fall back to the linear walk
            int c = strcmp(TextOrEmpty(table->fields[index].seq), key);
            if (c == 0)
                return index;
            if (c < 0)
                lo = mid + 1;
            else
                hi = mid - 1;
        }
        if (lo > hi)
            return 0;
    }
    for (int i = 1; i < table->count; i++)
        if (table->fields[i].seq && strcmp(table->fields[i].seq, key) == 0)
            return i;
    return 0;
}

int FindLayoutField(const FieldTable *table, int mode, const char *key, int report)
{
    if (!table || !table->fields || table->count <= 1 || !key)
        return 0;
    int found = 0;
    if (mode == 1) {
        found = FindBySequence(table, key);
        if (!found && report) {
            char text[160];
            snprintf(text, sizeof text, "Field sequence number \"%.80s\" was not found on this form.", key);
            ShowMessageBox(NULL, text, "Field Sequence Number Not Found", MB_OK | MB_ICONEXCLAMATION);
        }
    } else if (mode == 2) {
        size_t n = strlen(key);
        for (int i = 1; i < table->count && !found; i++)
            if (table->fields[i].typeCode && strncmp(table->fields[i].typeCode, key, n) == 0)
                found = i;
    } else if (mode == 3) {
        // Record layouts: the field that starts at byte offset key, fields lying end to end
        // by their lengths from field 1 on.
        long want = atol(key);
        long offset = 0;
        for (int i = 1; i < table->count; i++) {
            if (offset == want) {
                found = i;
                break;
            }
            long len = table->fields[i].length ? atol(table->fields[i].length) : 0;
            if (len < 0 || offset > 0x7FFFFFFF - len)
                break;
            offset += len;
        }
    }
    return found;
}

int FreeLayoutTable(FieldTable *table)
{
    if (!table)
        return 0;
    if (table->fields) {
        for (int i = 0; i < table->count; i++) {
            FieldRecord *f = &table->fields[i];
            char **texts[10] = {&f->seq, &f->description, &f->line, &f->length, &f->typeCode,
                                &f->valueList, &f->value, &f->seqPrefix, &f->groupLabel, &f->second};
            for (int t = 0; t < 10; t++)
                *texts[t] = (char *)MemFree(*texts[t]);
            f->rect = (RECT *)MemFree(f->rect);
        }
        MemFree(table->fields);
    }
    MemFree(table->sortedIndex);
    MemFree(table);
    return 1;
}
