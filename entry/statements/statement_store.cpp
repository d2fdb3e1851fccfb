// statement_store.cpp - where a statement's cells live (the group head, its attributes and the
// cell fields), the rows of a statement while it is edited, the row texts of storage and export,
// and loading the rows from the page cells, the overflow text and import records.
#include "entry/statements/statements.h"

#include <stdio.h>
#include <string.h>

// ---- the group and its cells ----

static int IsHeadPrefix(const char *prefix)
{
    return prefix && prefix[0] == '*' && prefix[1] == '[';
}

int FindStatementGroup(FieldTable *table, const FieldRecord *field, StatementGroup *group)
{
    if (group)
        memset(group, 0, sizeof *group);
    if (!table || !table->fields || !field || !group || table->count < 2)
        return 0;
    if (field < table->fields + 1 || field >= table->fields + table->count)
        return 0;
    int index = (int)(field - table->fields);
    // Back to the head, never before the table's first field.
    while (index >= 1 && !IsHeadPrefix(table->fields[index].seqPrefix))
        index--;
    if (index < 1)
        return 0;
    group->table = table;
    group->headIndex = index;
    group->head = &table->fields[index];
    ParseFieldAttributes(group->head, &group->pageRows, &group->stride, &group->columns, &group->layout);
    if (group->pageRows < 0)
        group->pageRows = 0;
    if (group->columns < 1)
        group->columns = 1;
    if (group->columns > STATEMENT_MAX_COLUMNS)
        group->columns = STATEMENT_MAX_COLUMNS;
    if (group->stride < group->columns)
        group->stride = group->columns;
    group->noRect = group->head->rect == NULL;
    return 1;
}

// The field at index after the head, or null past the table.
static FieldRecord *FieldAfterHead(const StatementGroup *group, int index)
{
    int at = group->headIndex + index;
    if (index < 0 || at >= group->table->count)
        return NULL;
    return &group->table->fields[at];
}

int GetGridCellField(const StatementGroup *group, int row, int column, int *valid)
{
    if (!group || !group->table || row < 0 || column < 0 || column >= group->columns) {
        if (valid)
            *valid = 0;
        return 0;
    }
    int a = group->pageRows, b = group->stride, d = group->layout;
    int index = b * row + column;
    if (d != 0) {
        const FieldRecord *selector = FieldAfterHead(group, d);
        const char *prefix = selector && selector->seqPrefix ? selector->seqPrefix : "";
        int plain = strcmp(prefix, "&") == 0 || strcmp(prefix, "*+") == 0 || strcmp(prefix, "+") == 0;
        int k = d - 1;
        if (!plain && k >= 0 && k <= b) {
            if (column < k)
                index = k * row + column;
            else
                index = k * (a > 0 ? a - 1 : 0) + (b - k) * row + column;
        }
    }
    if (a != 0) {
        // Hidden parts of a row ('I' and 'J' fields with a prefix) are passed over.
        int mnCredit = _strnicmp(gCurrentFormName, "Schedule M1CD", 13) == 0;
        int end = index;
        for (int i = index - column; i <= end; i++) {
            const FieldRecord *field = FieldAfterHead(group, i);
            if (!field)
                break;
            if (!field->seqPrefix || !field->seqPrefix[0])
                continue;
            int hidden = field->typeCode && (field->typeCode[0] == 'I' || field->typeCode[0] == 'J');
            if (mnCredit)
                hidden = hidden || !field->rect;
            if (hidden && i > 0) {
                index++;
                end++;
            }
        }
    }
    int inside = a != 0 ? index < a * b : index < b;
    if (!FieldAfterHead(group, index))
        inside = 0;
    if (valid)
        *valid = inside;
    return index;
}

FieldRecord *GetGridCellRecord(const StatementGroup *group, int row, int column)
{
    int valid = 0;
    int index = GetGridCellField(group, row, column, &valid);
    return valid ? FieldAfterHead(group, index) : NULL;
}

FieldRecord *GetStatementColumnField(const StatementGroup *group, int column)
{
    return GetGridCellRecord(group, 0, column);
}

// ---- rows ----

int GetStatementRowLimit(void)
{
    return GetBusinessReturnType(NULL) ? STATEMENT_ROW_LIMIT_EMPLOYMENT : STATEMENT_ROW_LIMIT;
}

int InitStatementRows(StatementRows *rows, int columns, int limit)
{
    if (!rows)
        return 0;
    memset(rows, 0, sizeof *rows);
    rows->columns = columns < 1 ? 1 : columns > STATEMENT_MAX_COLUMNS ? STATEMENT_MAX_COLUMNS : columns;
    rows->limit = limit > 0 ? limit : GetStatementRowLimit();
    return 1;
}

void FreeStatementRows(StatementRows *rows)
{
    if (!rows)
        return;
    MemFree(rows->cells);
    MemFree(rows->marks);
    rows->cells = NULL;
    rows->marks = NULL;
    rows->count = rows->capacity = 0;
}

static size_t RowBytes(const StatementRows *rows)
{
    return (size_t)rows->columns * STATEMENT_CELL_SIZE;
}

int AppendStatementRow(StatementRows *rows)
{
    if (!rows)
        return -1;
    if (rows->count >= rows->limit) {
        rows->dropped++;
        return -1;
    }
    if (rows->count >= rows->capacity) {
        int capacity = rows->capacity ? rows->capacity * 2 : 16;
        if (capacity > rows->limit)
            capacity = rows->limit;
        char *cells = (char *)MemAlloc(64, RowBytes(rows) * (size_t)capacity);
        uint32_t *marks = (uint32_t *)MemAlloc(64, sizeof(uint32_t) * (size_t)capacity);
        if (!cells || !marks) {
            MemFree(cells);
            MemFree(marks);
            return -1;
        }
        if (rows->count) {
            memcpy(cells, rows->cells, RowBytes(rows) * (size_t)rows->count);
            memcpy(marks, rows->marks, sizeof(uint32_t) * (size_t)rows->count);
        }
        MemFree(rows->cells);
        MemFree(rows->marks);
        rows->cells = cells;
        rows->marks = marks;
        rows->capacity = capacity;
    }
    int row = rows->count++;
    memset(rows->cells + RowBytes(rows) * (size_t)row, 0, RowBytes(rows));
    rows->marks[row] = 0;
    return row;
}

int DeleteStatementRow(StatementRows *rows, int row)
{
    if (!rows || row < 0 || row >= rows->count)
        return 0;
    int after = rows->count - row - 1;
    if (after > 0) {
        memmove(rows->cells + RowBytes(rows) * (size_t)row, rows->cells + RowBytes(rows) * (size_t)(row + 1),
                RowBytes(rows) * (size_t)after);
        memmove(rows->marks + row, rows->marks + row + 1, sizeof(uint32_t) * (size_t)after);
    }
    rows->count--;
    return 1;
}

char *StatementCell(StatementRows *rows, int row, int column)
{
    static char empty[STATEMENT_CELL_SIZE];
    if (!rows || row < 0 || row >= rows->count || column < 0 || column >= rows->columns) {
        empty[0] = 0;
        return empty;
    }
    return rows->cells + RowBytes(rows) * (size_t)row + (size_t)column * STATEMENT_CELL_SIZE;
}

int IsStatementRowFilled(StatementRows *rows, int row)
{
    for (int c = 0; rows && c < rows->columns; c++)
        for (const char *p = StatementCell(rows, row, c); *p; p++)
            if (*p != ' ')
                return 1;
    return 0;
}

// ---- row texts ----

// Appends n bytes of text when they fit (with room for the terminator). 1 when appended.
static int AppendBounded(char *buffer, int bufferSize, int *length, const char *text, int n)
{
    if (*length + n >= bufferSize)
        return 0;
    memcpy(buffer + *length, text, (size_t)n);
    *length += n;
    buffer[*length] = 0;
    return 1;
}

int BuildRowText(const char *const *cells, int count, char delimiter, char *buffer, int bufferSize, int *cut)
{
    int any = 0, length = 0, stopped = 0;
    if (cut)
        *cut = 0;
    if (buffer && bufferSize > 0)
        buffer[0] = 0;
    for (int i = 0; i < count; i++) {
        char cell[STATEMENT_CELL_SIZE];
        snprintf(cell, sizeof cell, "%s", cells[i] ? cells[i] : "");
        int n = (int)strlen(cell);
        while (n > 0 && cell[n - 1] == ' ')
            cell[--n] = 0;
        if (n)
            any = 1;
        if (!buffer || bufferSize <= 0 || stopped)
            continue;
        // The cell goes in whole or not at all: quoted when it holds the delimiter, begins with
        // a quote, or (export) holds a quote anywhere; inner quotes doubled.
        int quoted = strchr(cell, delimiter) != NULL || cell[0] == '"' ||
                     (delimiter != STATEMENT_CELL_END && strchr(cell, '"') != NULL);
        char piece[2 * STATEMENT_CELL_SIZE + 4];
        int p = 0;
        if (quoted)
            piece[p++] = '"';
        for (int k = 0; k < n; k++) {
            if (quoted && cell[k] == '"')
                piece[p++] = '"';
            piece[p++] = cell[k];
        }
        if (quoted)
            piece[p++] = '"';
        piece[p++] = delimiter;
        int before = length;
        if (!AppendBounded(buffer, bufferSize, &length, piece, p)) {
            length = before;
            buffer[length] = 0;
            stopped = 1;
            if (cut)
                *cut = 1;
        }
    }
    return any;
}

int SplitRowText(const char *text, char delimiter, char stop, StatementCellProc proc, void *context,
                 const char **endOut)
{
    int index = 0;
    const char *p = text ? text : "";
    while (*p && !(stop && *p == stop)) {
        char cell[STATEMENT_CELL_SIZE];
        int n = 0;
        if (*p == '"') {
            // A quoted cell: to the closing quote; doubled quotes stand for one.
            p++;
            while (*p) {
                if (*p == '"') {
                    if (p[1] == '"') {
                        if (n < (int)sizeof cell - 1)
                            cell[n++] = '"';
                        p += 2;
                        continue;
                    }
                    p++;
                    break;
                }
                if (n < (int)sizeof cell - 1)
                    cell[n++] = *p;
                p++;
            }
            // Anything between the closing quote and the delimiter belongs to the cell too.
            while (*p && *p != delimiter && !(stop && *p == stop)) {
                if (n < (int)sizeof cell - 1)
                    cell[n++] = *p;
                p++;
            }
        } else {
            while (*p && *p != delimiter && !(stop && *p == stop)) {
                if (n < (int)sizeof cell - 1)
                    cell[n++] = *p;
                p++;
            }
        }
        cell[n] = 0;
        if (proc)
            proc(cell, index, context);
        index++;
        if (*p == delimiter)
            p++;
    }
    if (endOut)
        *endOut = p;
    return index;
}

// ---- loading ----

struct RowLoader {
    StatementRows *rows;
    const StatementGroup *group;
    int row;              // row being filled (-1 when refused)
    int importMarks;
};

// Overflow text: cells fill rows in turn, columns cells per row.
static void TakeOverflowCell(const char *cell, int index, void *context)
{
    RowLoader *cursor = (RowLoader *)context;
    StatementRows *rows = cursor->rows;
    int column = index % rows->columns;
    if (column == 0)
        cursor->row = AppendStatementRow(rows);
    if (cursor->row >= 0)
        snprintf(StatementCell(rows, cursor->row, column), STATEMENT_CELL_SIZE, "%s", cell);
}

// One imported cell; the cells past the grid's columns are left out.
static void TakeImportCell(const char *cell, int index, void *context)
{
    RowLoader *cursor = (RowLoader *)context;
    StatementRows *rows = cursor->rows;
    if (cursor->row < 0 || index >= rows->columns)
        return;
    snprintf(StatementCell(rows, cursor->row, index), STATEMENT_CELL_SIZE, "%s", cell);
    if (!cursor->importMarks)
        return;
    const FieldRecord *field = GetStatementColumnField(cursor->group, index);
    char copy[STATEMENT_CELL_SIZE + 64];
    snprintf(copy, sizeof copy, "%s", cell);
    if (field && !ValidateStatementCell(NULL, copy, sizeof copy, NULL, field, (unsigned long)cursor->row + 1, 0)) {
        rows->marks[cursor->row] |= 1u << index;
        rows->invalidCount++;
    }
}

static int CellHasValue(const FieldRecord *field)
{
    return field && field->value && field->value[0];
}

int LoadStatementRows(const StatementGroup *group, const char *importData, int importMarks, StatementRows *rows)
{
    if (!group || !group->head || !rows)
        return 0;
    const FieldRecord *head = group->head;
    int c = rows->columns < group->columns ? rows->columns : group->columns;
    if (head->second && head->second[0] && GetFieldSecondLength(head) == strlen(head->second)) {
        // The rows live in the overflow text: skip the totals part.
        const char *text = head->second;
        const char *end = strchr(text, STATEMENT_TOTALS_END);
        if (end)
            text = end + 1;
        RowLoader cursor = {rows, group, -1, 0};
        SplitRowText(text, STATEMENT_CELL_END, 0, TakeOverflowCell, &cursor, NULL);
    } else {
        for (int r = 0; r < group->pageRows; r++) {
            int data = 0;
            for (int k = 0; k < c && !data; k++) {
                const FieldRecord *cell = GetGridCellRecord(group, r, k);
                data = CellHasValue(cell) && (cell->rect || group->noRect);
            }
            if (!data)
                continue;
            int row = AppendStatementRow(rows);
            if (row < 0)
                continue;
            for (int k = 0; k < c; k++) {
                const FieldRecord *cell = GetGridCellRecord(group, r, k);
                int shown = cell && (cell->rect || group->noRect || (cell->typeCode && cell->typeCode[0] == 'C'));
                if (shown && cell->value)
                    snprintf(StatementCell(rows, row, k), STATEMENT_CELL_SIZE, "%s", cell->value);
            }
        }
    }
    return LoadStatementImport(group, importData, importMarks, rows);
}

int LoadStatementImport(const StatementGroup *group, const char *importData, int importMarks, StatementRows *rows)
{
    if (!group || !rows)
        return 0;
    const char *record = importData;
    while (record && *record) {
        RowLoader cursor = {rows, group, AppendStatementRow(rows), importMarks};
        const char *end = record;
        SplitRowText(record, STATEMENT_CELL_END, STATEMENT_RECORD_END, TakeImportCell, &cursor, &end);
        record = *end == STATEMENT_RECORD_END ? end + 1 : end;
    }
    return rows->count;
}
