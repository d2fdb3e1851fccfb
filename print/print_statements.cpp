// print_statements.cpp - the return's statements in a print job: marked for the pages chosen,
// and printed after the last page of their return part, each statement page on a page of its own.
#include "print/print.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

static int IsChosenPage(FormInstance *const *pages, int from, int to, const FormInstance *page)
{
    for (int i = from; i <= to; i++)
        if (pages[i] == page)
            return 1;
    return 0;
}

static int HoldsFederalMainPage(FormInstance *const *pages, int from, int to)
{
    for (int i = from; i <= to; i++)
        if (pages[i] && pages[i]->jurisdiction == 100 && pages[i]->mainForm)
            return 1;
    return 0;
}

int GoesWithPages(const StatementListEntry *entry, FormInstance *const *pages, int from, int to)
{
    int note = entry->note || entry->election || entry->regulatory;
    return note ? HoldsFederalMainPage(pages, from, to) : IsChosenPage(pages, from, to, entry->page);
}

int CollectPrintStatements(FormInstance *const *pages, int count, PrintStatementList *list)
{
    memset(list, 0, sizeof *list);
    if (!gWindowCallbacks.listReturnStatements || !gWindowCallbacks.renderStatementEntry)
        return 0;
    int total = gWindowCallbacks.listReturnStatements(NULL, 0, 0);
    if (total <= 0)
        return 0;
    list->entries = (StatementListEntry *)MemAlloc(64, sizeof(StatementListEntry) * (size_t)(total + 1));
    if (!list->entries)
        return 0;
    list->count = gWindowCallbacks.listReturnStatements(list->entries, 0, 0);
    for (int e = 0; e < list->count; e++) {
        StatementListEntry *entry = &list->entries[e];
        entry->toPrint = GoesWithPages(entry, pages, 0, count - 1);
        list->marks += entry->toPrint ? 1 : 0;
    }
    return list->marks;
}

void FreePrintStatements(PrintStatementList *list)
{
    list->entries = (StatementListEntry *)MemFree(list->entries);
    list->count = list->marks = 0;
}

// 1 when page index ends a return part: the last page, or the next has another return code or
// group order.
int EndsReturnPart(FormInstance *const *pages, int count, int index)
{
    if (index >= count - 1)
        return 1;
    const FormInstance *page = pages[index], *next = pages[index + 1];
    if (!page || !next)
        return 1;
    return next->jurisdiction != page->jurisdiction || next->groupOrder != page->groupOrder;
}

int PrintPartStatements(HDC printerDc, PrintStatementList *list, FormInstance *const *pages, int from, int to,
                        int *done, int total)
{
    for (int e = 0; e < list->count; e++) {
        StatementListEntry *entry = &list->entries[e];
        if (!entry->toPrint || !GoesWithPages(entry, pages, from, to))
            continue;
        entry->toPrint = 0;
        if (!PumpPrintMessages())
            return 0;
        char progress[64];
        snprintf(progress, sizeof progress, "Printing page %lu of %lu", (unsigned long)(*done + 1),
                 (unsigned long)total);
        SetPrintProgressTexts(entry->title, progress);
        (*done)++;
        HBITMAP slots[LIST_REPORT_MAX_BITMAPS];
        memset(slots, 0, sizeof slots);
        int produced =
            gWindowCallbacks.renderStatementEntry(entry, slots, LIST_REPORT_MAX_BITMAPS, STATEMENT_KIND_PRINT);
        if (produced > LIST_REPORT_MAX_BITMAPS) {
            char text[300];
            snprintf(text, sizeof text,
                     "Statement print processing generated more than %d pages\r\nfor a single statement. Only the "
                     "first %d pages of this\r\nstatement will be printed.",
                     LIST_REPORT_MAX_BITMAPS, LIST_REPORT_MAX_BITMAPS);
            ShowMessageBox(gMainWindow, text, "Statement Print Warning", MB_ICONEXCLAMATION | MB_OK);
        }
        int refused = 0;
        for (int s = 0; s < LIST_REPORT_MAX_BITMAPS && slots[s]; s++) {
            if (!refused) {
                if (StartPage(printerDc) <= 0) {
                    refused = 1;
                } else {
                    PrintBitmapOnPage(printerDc, slots[s]);
                    refused = EndPage(printerDc) <= 0;
                }
            }
            DeleteObject(slots[s]);
        }
        if (refused)
            return 0;
    }
    return 1;
}
