// statement_store_save.cpp - the calculated columns of a statement, the line checks made when
// the user confirms, and writing the rows back: into the page cells, or into the head's overflow
// text with "See statement" on the page.
#include "entry/statements/statements.h"
#include "calc/calc.h"
#include "pages/pages.h"
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

// ---- calculated columns ----

int ComputeStatementColumns(const StatementGroup *group, StatementRows *rows)
{
    if (!group || !rows)
        return 0;
    int c = rows->columns;
    int calculated = 0;
    for (int k = 0; k < c; k++) {
        const FieldRecord *field = GetStatementColumnField(group, k);
        if (field && field->typeCode && field->typeCode[0] == 'C')
            calculated = 1;
    }
    if (!calculated)
        return 0;
    // A table of the row-0 column fields; each row's cells become its values in turn.
    FieldTable *table = CreateFieldTable(c + 1);
    if (!table)
        return 0;
    RECT rects[STATEMENT_MAX_COLUMNS];
    for (int k = 0; k < c; k++) {
        const FieldRecord *source = GetStatementColumnField(group, k);
        FieldRecord *entry = &table->fields[k + 1];
        if (!source)
            continue;
        SetFieldText(&entry->seq, source->seq);
        SetFieldText(&entry->description, source->description);
        SetFieldText(&entry->line, source->line);
        SetFieldText(&entry->length, source->length);
        SetFieldText(&entry->typeCode, source->typeCode);
        SetFieldText(&entry->valueList, source->valueList);
        if (source->rect && source->typeCode && source->typeCode[0] == 'C') {
            rects[k] = *source->rect;
            entry->rect = &rects[k];
        }
    }
    BuildSortedFieldIndex(table);
    int loading = gReturnLoading;
    gReturnLoading = 1;   // the row table is scratch: its values do not modify the return
    for (int r = 0; r < rows->count; r++) {
        for (int k = 0; k < c; k++) {
            char value[STATEMENT_CELL_SIZE];
            snprintf(value, sizeof value, "%s", StatementCell(rows, r, k));
            int n = (int)strlen(value);
            while (n > 0 && value[n - 1] == ' ')
                value[--n] = 0;
            SetFieldText(&table->fields[k + 1].value, value);
        }
        for (int k = 0; k < c; k++) {
            FieldRecord *entry = &table->fields[k + 1];
            if (!entry->typeCode || entry->typeCode[0] != 'C')
                continue;
            ComputeField(entry, table, NULL);
            snprintf(StatementCell(rows, r, k), STATEMENT_CELL_SIZE, "%s", entry->value ? entry->value : "");
        }
    }
    gReturnLoading = loading;
    for (int k = 0; k < c; k++)
        table->fields[k + 1].rect = NULL;   // the rectangles are this function's
    FreeLayoutTable(table);
    return 1;
}

// ---- line checks ----

static int ShowLineError(HWND owner, int line, const char *header, const char *value)
{
    char text[600];
    if (value)
        snprintf(text, sizeof text,
                 "Invalid data was detected on line %d in the column\r\ntitled \"%s\".\r\n\r\nThe value \"%s\" is not valid.",
                 line, header, value);
    else
        snprintf(text, sizeof text, "Incomplete information was detected on line %d.\r\n\"%s\" is a required field.",
                 line, header);
    ShowMessageBox(owner, text, "Statement Line Error", MB_ICONEXCLAMATION | MB_OK);
    return 0;
}

static int IsBlankCell(const char *text)
{
    while (*text == ' ')
        text++;
    return !*text;
}

int CheckStatementLines(const StatementGroup *group, StatementRows *rows, int importMarks, HWND owner)
{
    if (!group || !rows)
        return 0;
    int c = rows->columns;
    char headers[STATEMENT_MAX_COLUMNS][STATEMENT_CELL_SIZE];
    for (int k = 0; k < c; k++)
        GetStatementColumnHeader(GetStatementColumnField(group, k), headers[k], STATEMENT_CELL_SIZE, NULL, 0);
    for (int r = 0; r < rows->count; r++) {
        int line = r + 1;
        int badColumn = -1;
        char badText[STATEMENT_CELL_SIZE + 64] = "";
        if (importMarks) {
            for (int k = 0; k < c && badColumn < 0; k++) {
                const FieldRecord *field = GetStatementColumnField(group, k);
                char copy[STATEMENT_CELL_SIZE + 64];
                snprintf(copy, sizeof copy, "%s", StatementCell(rows, r, k));
                if (field && !ValidateStatementCell(owner, copy, sizeof copy, NULL, field, (unsigned long)line, 0)) {
                    badColumn = k;
                    snprintf(badText, sizeof badText, "%s", StatementCell(rows, r, k));
                }
            }
        }
        if (!IsStatementRowFilled(rows, r))
            continue;
        const char *first = StatementCell(rows, r, 0);
        if (IsBlankCell(first))
            return ShowLineError(owner, line, headers[0], NULL);
        if (c == 2 || c == 3) {
            if (IsBlankCell(StatementCell(rows, r, 1)))
                return ShowLineError(owner, line, headers[1], NULL);
            if (c == 3 && IsBlankCell(StatementCell(rows, r, 2)))
                return ShowLineError(owner, line, headers[2], NULL);
            if (c == 2 && first[0] >= '0' && first[0] <= '9' && first[1] == 0) {
                char digit[2] = {first[0], 0};
                return ShowLineError(owner, line, headers[0], digit);
            }
        }
        if (badColumn >= 0)
            return ShowLineError(owner, line, headers[badColumn], badText);
    }
    return 1;
}

// ---- storing ----

// Sets a cell field's value; redraws it when it changed and is drawn on the page.
static void SetCellValue(FieldRecord *field, const char *text, int redraw)
{
    if (SetFieldText(&field->value, text) && redraw)
        RedrawField(field);
}

// The cells of a row as texts, for BuildRowText.
static void RowCells(StatementRows *rows, int row, const char **cells)
{
    for (int k = 0; k < rows->columns; k++)
        cells[k] = StatementCell(rows, row, k);
}

int StoreStatementRows(const StatementGroup *group, StatementRows *rows, FieldRecord *summaryField,
                       const StatementTotal *totals, int totalCount, int showTotal)
{
    if (!group || !group->head || !rows)
        return 0;
    FieldRecord *head = group->head;
    int a = group->pageRows, c = rows->columns;
    int rowTextSize = c * (2 * STATEMENT_CELL_SIZE + 4) + 1;

    // The totals part: each total and '|', the last '|' made 0x02.
    size_t overflowSize = 64 + (size_t)totalCount * 32 + (size_t)rowTextSize * (size_t)(rows->count + 1);
    char *overflow = (char *)MemAlloc(64, overflowSize);
    char *rowText = (char *)MemAlloc(64, (size_t)rowTextSize);
    size_t joinedSize = (size_t)(rowTextSize + 4) * (size_t)(rows->count + 1);
    char *joined = (char *)MemAlloc(64, joinedSize);
    if (!overflow || !rowText || !joined) {
        MemFree(overflow);
        MemFree(rowText);
        MemFree(joined);
        return -1;
    }
    for (int t = 0; t < totalCount; t++) {
        AppendTextBounded(overflow, overflowSize, totals[t].text);
        AppendTextBounded(overflow, overflowSize, "|");
    }
    size_t totalsLength = strlen(overflow);
    if (totalsLength)
        overflow[totalsLength - 1] = STATEMENT_TOTALS_END;

    for (int r = rows->count - 1; r >= 0; r--)
        if (!IsStatementRowFilled(rows, r))
            DeleteStatementRow(rows, r);
    SetFieldText(&head->second, "");

    int n = rows->count;
    int overflows = n > a;
    if (n != a || n == 0) {
        int from = (n == 0 || n > a) ? 0 : n;
        for (int r = from; r < a; r++)
            for (int k = 0; k < c; k++) {
                FieldRecord *cell = GetGridCellRecord(group, r, k);
                if (cell && (cell->rect || group->noRect))
                    SetCellValue(cell, "", 1);
            }
        if (group->stride != c) {
            // The hidden parts of the rows ('I' and 'J' fields without a rectangle) are emptied.
            for (int i = 1; i < group->stride * a && group->headIndex + i < group->table->count; i++) {
                FieldRecord *field = &group->table->fields[group->headIndex + i];
                if (!field->rect && field->typeCode && (field->typeCode[0] == 'J' || field->typeCode[0] == 'I'))
                    SetFieldText(&field->value, "");
            }
        }
    }

    const char *cells[STATEMENT_MAX_COLUMNS];
    int joinedLines = 0;
    for (int r = 0; r < n; r++) {
        RowCells(rows, r, cells);
        BuildRowText(cells, c, STATEMENT_CELL_END, rowText, rowTextSize, NULL);
        if (overflows) {
            AppendTextBounded(overflow, overflowSize, rowText);
            continue;
        }
        for (int k = 0; k < c; k++) {
            FieldRecord *cell = GetGridCellRecord(group, r, k);
            if (!cell)
                continue;   // only the group's own cells are written
            char value[STATEMENT_CELL_SIZE];
            snprintf(value, sizeof value, "%s", cells[k]);
            int length = (int)strlen(value);
            while (length > 0 && value[length - 1] == ' ')
                value[--length] = 0;
            SetCellValue(cell, value, cell->rect || group->noRect);
        }
        if (group->noRect) {
            if (joinedLines)
                AppendTextBounded(joined, joinedSize, "<> ");
            AppendTextBounded(joined, joinedSize, rowText);
            joinedLines++;
        }
    }
    if (overflows) {
        SetFieldText(&head->second, overflow);
        SetCellValue(head, STATEMENT_SEE_TEXT, 1);
    }

    if (group->noRect && summaryField) {
        const char *first = totalCount > 0 ? totals[0].text : "";
        if (overflows)
            SetFieldText(&summaryField->value, showTotal ? first : STATEMENT_SEE_TEXT);
        else if (!joinedLines)
            SetFieldText(&summaryField->value, "");
        else if (showTotal)
            SetFieldText(&summaryField->value, first);
        else {
            ReplaceChar(joined, STATEMENT_CELL_END, ' ');
            SetFieldText(&summaryField->value, joined);
        }
        RedrawField(summaryField);
    }
    MemFree(overflow);
    MemFree(rowText);
    MemFree(joined);
    return n;
}
