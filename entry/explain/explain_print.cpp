// Printing an explanation: the text goes line by line into a hidden one-column list, which the
// list report prints (interactive Print) or renders onto a printer or page bitmaps (output mode).
// Every line is printed whole, however long.
#include "entry/explain/explain_private.h"
#include "entry/statements/statements.h"
#include "pages/pages.h"
#include "print/print.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

// Puts each line of text into the list as one item (an empty line as a blank, so it keeps a
// line's height). Returns the length of the longest line.
static int FillExplanationList(HWND list, char *text)
{
    int longest = 1;
    int row = 0;
    char *line = text;
    for (;;) {
        char *end = line + strcspn(line, "\r\n");
        char saved = *end;
        *end = 0;
        int length = (int)(end - line);
        if (length > longest)
            longest = length;
        LVITEMA item;
        memset(&item, 0, sizeof(item));
        item.mask = LVIF_TEXT;
        item.iItem = row++;
        item.pszText = (char *)(length ? line : " ");
        SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        *end = saved;
        if (!saved)
            break;
        line = end + (saved == '\r' && end[1] == '\n' ? 2 : 1);
    }
    return longest;
}

int PrintExplanation(HWND dialog, ExplainRequest *request)
{
    HWND edit = GetDlgItem(dialog, IDC_EXPLAIN_TEXT);
    int length = GetWindowTextLengthA(edit);
    char *text = (char *)MemAlloc(64, (size_t)length + 1);
    if (!text)
        return 0;
    GetWindowTextA(edit, text, length + 1);
    RECT area;
    GetClientRect(edit, &area);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, area.right, 100, dialog,
                                (HMENU)(INT_PTR)IDC_EXPLAIN_LIST, gInstance, NULL);
    if (!list) {
        MemFree(text);
        return 0;
    }
    LVCOLUMNA column;
    memset(&column, 0, sizeof(column));
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = area.right > 0 ? area.right : 400;
    column.pszText = (char *)"Col 0";
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    int longest = FillExplanationList(list, text);

    // Title: the field's description, or the dialog's caption; subtitle: where the text goes.
    char title[129] = "", subtitle[300] = "";
    if (request->kind == EXPLAIN_FIELD && request->field) {
        FieldRecord *field = request->field;
        lstrcpynA(title, field->description ? field->description : "", sizeof(title));
        char display[FORM_NAME_SIZE] = "";
        if (request->pageKey && request->pageKey[0])
            FormatFormDisplayName(NULL, NULL, request->pageKey, display, 0);
        if (field->line && field->line[0])
            snprintf(subtitle, sizeof(subtitle), "%s, Line %s", display, field->line);
        else
            snprintf(subtitle, sizeof(subtitle), "%s", display);
    } else {
        GetWindowTextA(dialog, title, sizeof(title));
        lstrcpynA(subtitle,
                  request->kind == EXPLAIN_NOTE_TO_IRS ? "(included with Federal return)"
                                                       : "(not included with Federal return)",
                  sizeof(subtitle));
    }
    ListPrintJob job;
    InitListPrintJob(&job, list);
    job.title = title;
    job.subtitle = subtitle;
    job.titleFillColour = job.headFillColour = job.footerFillColour = RGB(255, 255, 255);
    job.headTextColour = 0;
    job.leftMargin = 0.5f;
    job.topMargin = 0.75f;
    static const int points[LIST_FONT_COUNT] = {9, 12, 10, 10, 10};
    for (int i = 0; i < LIST_FONT_COUNT; i++) {
        job.fontPoints[i] = points[i];
        lstrcpynA(job.fontFaces[i], i == LIST_FONT_ROWS ? "Courier New" : "Arial", sizeof(job.fontFaces[i]));
    }
    job.maxCellText = longest;   // whole lines, never cut at a fixed length
    job.rowLines = 0;            // a text, not a table
    job.footerFlag = 1;
    int result;
    if (request->outputMode == 3 || request->outputMode == 4) {
        job.pageBitmaps = request->outputBitmaps;
        job.footerFlag = request->outputFooter ? 1 : 0;
        result = PrintListReport(dialog, request->outputDc, &job, 1);
        request->outputResult = result;
    } else {
        result = PrintForms(dialog, &job, 0, 2, 1, 0);
    }
    DestroyWindow(list);
    MemFree(text);
    return result;
}

int RenderExplanationEntry(StatementListEntry *entry, HBITMAP *slots, int maxPages, uint16_t kind)
{
    if (!entry || !slots || maxPages < 1)
        return 0;
    ExplainRequest request;
    memset(&request, 0, sizeof request);
    // The federal folder's first, second and third texts, or the field's own explanation.
    request.kind = entry->note ? EXPLAIN_NOTE_TO_IRS : entry->election ? EXPLAIN_NOTE_TO_SELF
                   : entry->regulatory ? EXPLAIN_REGULATORY : EXPLAIN_FIELD;
    request.field = entry->field;
    request.pageKey = entry->page ? entry->page->pageKey : NULL;
    request.outputMode = kind;
    request.outputBitmaps = slots;
    request.outputFooter = 1;
    ShowExplainDialog(gMainWindow, &request);
    return request.outputResult;
}
