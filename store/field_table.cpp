// field_table.cpp - creating field tables and their sorted sequence index.
#include "store/store.h"

#include <string.h>

static const char *TextOrEmpty(const char *text)
{
    return text ? text : "";
}

FieldTable *CreateFieldTable(int count)
{
    if (count < 1 || count > FIELD_TABLE_MAX_FIELDS)
        return NULL;
    FieldTable *table = (FieldTable *)MemAlloc(64, sizeof(FieldTable));
    if (!table)
        return NULL;
    table->fields = (FieldRecord *)MemAlloc(64, sizeof(FieldRecord) * (size_t)count);
    if (!table->fields) {
        MemFree(table);
        return NULL;
    }
    table->count = count;
    return table;
}

// Builds the sorted sequence index of a table (fields 1..count-1). 1 on success.
int BuildSortedFieldIndex(FieldTable *table)
{
    if (!table)
        return 0;
    table->sortedIndex = (int *)MemFree(table->sortedIndex);
    if (table->count <= 1)
        return 1;
    int n = table->count - 1;
    int *index = (int *)MemAlloc(64, sizeof(int) * (size_t)n);
    if (!index)
        return 0;
    for (int i = 0; i < n; i++)
        index[i] = i + 1;
    // Insertion sort keeps equal sequence numbers in table order (tables are small).
    for (int i = 1; i < n; i++) {
        int v = index[i];
        const char *sv = TextOrEmpty(table->fields[v].seq);
        int j = i - 1;
        while (j >= 0 && strcmp(TextOrEmpty(table->fields[index[j]].seq), sv) > 0) {
            index[j + 1] = index[j];
            j--;
        }
        index[j + 1] = v;
    }
    table->sortedIndex = index;
    return 1;
}
