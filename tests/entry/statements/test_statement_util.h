// A statement page for the statement tests: a two-column statement (payer, amount) of a given
// number of page rows, with its group, cells and a way to store numbered lines.
#ifndef LEVYLINE_TEST_STATEMENT_UTIL_H
#define LEVYLINE_TEST_STATEMENT_UTIL_H

#include "entry/entry.h"
#include "prepare/prepare.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace {

// The text of a cell of the statement grid's list (row from 0, column 1 the payer, 2 the amount).
inline std::string GridCellText(HWND grid, int row, int column)
{
    char text[STATEMENT_CELL_SIZE] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(grid, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

// A page of a two-column statement (payer, amount) holding pageRows rows: field 1 a name line,
// then the head "0101" ("*[rows,2,2,0]") and the cells row by row, then a total line.
struct StatementPage {
    FormInstance page = {};
    FieldTable *table = nullptr;
    std::vector<RECT> rects;
    StatementGroup group;
    StatementPage(int pageRows, const char *amountType = "N")
    {
        int count = 1 + 1 + 2 * pageRows + 1;
        table = CreateFieldTable(count);
        rects.resize(count);
        SetFieldText(&table->fields[1].seq, "0001");
        SetFieldText(&table->fields[1].typeCode, "A");
        for (int r = 0; r < pageRows; r++) {
            FieldRecord *name = &table->fields[2 + 2 * r];
            FieldRecord *amount = name + 1;
            char seq[8];
            snprintf(seq, sizeof seq, "%04d", 101 + r);
            SetFieldText(&name->seq, seq);
            SetFieldText(&name->typeCode, "f");
            SetFieldText(&name->length, "40");
            SetFieldText(&name->description, "Payer");
            snprintf(seq, sizeof seq, "%04d", 1101 + r);
            SetFieldText(&amount->seq, seq);
            SetFieldText(&amount->typeCode, amountType);
            SetFieldText(&amount->length, "12");
            SetFieldText(&amount->description, "Amount");
            for (int i = 0; i < 2; i++) {
                rects[2 + 2 * r + i] = {100 + 900 * i, 100 + 50 * r, 800 + 900 * i, 140 + 50 * r};
                table->fields[2 + 2 * r + i].rect = &rects[2 + 2 * r + i];
            }
        }
        FieldRecord *head = &table->fields[2];
        SetFieldText(&head->seqPrefix, "*[");
        char attributes[32];
        snprintf(attributes, sizeof attributes, "*[%d,2,2,0]", pageRows);
        SetFieldText(&head->valueList, attributes);
        SetFieldText(&table->fields[count - 1].seq, "0200");
        BuildSortedFieldIndex(table);
        EXPECT_EQ(1, FindStatementGroup(table, &table->fields[count - 2], &group));
        page.kind = PAGE_KIND_FORM;
        page.jurisdiction = 100;
        page.fieldTable = table;
        page.pageKey = (char *)"Schedule B.1";
    }
    ~StatementPage()
    {
        for (int i = 0; i < table->count; i++)
            table->fields[i].rect = nullptr;
        FreeLayoutTable(table);
    }
    std::string Cell(int row, int column)
    {
        FieldRecord *f = GetGridCellRecord(&group, row, column);
        return f && f->value ? f->value : "";
    }
    // Stores lines "Payer n" / amount n x 100 for n = 1..count.
    int StoreLines(int count)
    {
        StatementRows rows;
        InitStatementRows(&rows, 2, 30);
        for (int i = 0; i < count; i++) {
            int r = AppendStatementRow(&rows);
            snprintf(StatementCell(&rows, r, 0), STATEMENT_CELL_SIZE, "Payer %d", i + 1);
            snprintf(StatementCell(&rows, r, 1), STATEMENT_CELL_SIZE, "%d", (i + 1) * 100);
        }
        StatementTotal total = {};
        total.column = 1;
        SumStatementTotal(&rows, &total);
        int stored = StoreStatementRows(&group, &rows, nullptr, &total, 1, 0);
        FreeStatementRows(&rows);
        return stored;
    }
};

} // namespace

#endif
