// print_statements.h - the return's statements in a print job of the return's pages.
#ifndef LEVYLINE_PAGES_PRINT_STATEMENTS_H
#define LEVYLINE_PAGES_PRINT_STATEMENTS_H

#include <windows.h>
#include "entry/statements.h"

// The statements of a print job (ListReturnStatements), each marked when it goes with a chosen
// page (notes: when the federal main-form page is chosen).
struct PrintStatementList {
    StatementListEntry *entries;   // MemAlloc, count + 1 entries
    int count;
    int marks;                     // entries marked to print
};
// Lists and marks the statements for the chosen pages. Returns the marks.
int CollectPrintStatements(FormInstance *const *pages, int count, PrintStatementList *list);
void FreePrintStatements(PrintStatementList *list);
// 1 when pages[index] is the last page of its return part in the job.
int EndsReturnPart(FormInstance *const *pages, int count, int index);
// Prints the marked statements of the pages pages[from..to] (one return part), each statement
// page on a printer page of its own; done counts the printed items for the progress text of
// total. 0 when the printer refused a page or the job was cancelled.
int PrintPartStatements(HDC printerDc, PrintStatementList *list, FormInstance *const *pages, int from, int to,
                        int *done, int total);

#endif
