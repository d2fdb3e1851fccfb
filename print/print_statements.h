// print_statements.h - the return's statements in a print job of the return's pages.
#ifndef LEVYLINE_PRINT_STATEMENTS_H
#define LEVYLINE_PRINT_STATEMENTS_H

#include <windows.h>
#include <stdint.h>
#include "store/store.h"

// Output kinds of a statement's rendering.
#define STATEMENT_KIND_PRINT     3
#define STATEMENT_KIND_PDF       4

// One statement of the return as printing and PDF output list it.
struct StatementListEntry {
    FormInstance *page;     // null for a note
    FieldRecord *field;     // null for a note
    uint8_t code;           // return code: the page's jurisdiction, 100 for the notes
    uint32_t note;          // "Preparer Note"
    uint32_t election;      // "Election Explanation"
    uint32_t regulatory;    // "Regulatory Explanation"
    uint32_t toPrint;       // marked by the print job
    char title[144];        // a caption of up to 127 characters and " Statement"
};

// The return's statements are listed and rendered by data entry, reached through
// gWindowCallbacks.listReturnStatements and renderStatementEntry (ui/window_callbacks.h). Unset:
// the return has no statements to print.

// 1 when a statement goes out with the pages pages[from..to]: a statement field when its page is
// one of them, a note when they hold the federal main-form page. A job of some forms carries
// their own statements only.
int GoesWithPages(const StatementListEntry *entry, FormInstance *const *pages, int from, int to);

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
