// statement_output.cpp - the return's statements for printing and PDF output: the federal
// folder's notes and every statement field that holds statement text, each rendered into page
// bitmaps; the line count of a statement field and the wrapping of free text.
#include "entry/statements/statements_private.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// 1 for a field that holds a statement: a free-text ('@') or list ('*') statement field whose
// second word holds text (not a signature block) and whose sequence number begins with a digit.
static int IsStatementField(const FieldRecord *field)
{
    if (!field->seqPrefix || (field->seqPrefix[0] != '@' && field->seqPrefix[0] != '*'))
        return 0;
    if (!field->second || !field->second[0] || GetFieldSecondLength(field) != strlen(field->second))
        return 0;
    return field->seq && field->seq[0] >= '0' && field->seq[0] <= '9';
}

static void AddNoteEntry(StatementListEntry *entries, int *count, const char *text, int which)
{
    static const char *const kTitles[3] = {"Preparer Note", "Election Explanation", "Regulatory Explanation"};
    if (!text || !text[0])
        return;
    if (entries) {
        StatementListEntry *entry = &entries[*count];
        memset(entry, 0, sizeof *entry);
        entry->code = 100;
        entry->note = which == 0;
        entry->election = which == 1;
        entry->regulatory = which == 2;
        snprintf(entry->title, sizeof entry->title, "%s", kTitles[which]);
    }
    (*count)++;
}

int ListReturnStatements(StatementListEntry *entries, int returnCode, uint16_t groupOrder)
{
    int count = 0;
    if (returnCode == 100 || (returnCode == 0 && gTreeFederalFolder)) {
        FormGroupNode *folder = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
        if (folder && folder->kind == TREE_KIND_FOLDER) {
            AddNoteEntry(entries, &count, folder->noteToIrs, 0);
            AddNoteEntry(entries, &count, folder->noteToSelf, 1);
            AddNoteEntry(entries, &count, folder->regulatoryExplanation, 2);
        }
    }
    int pageCount = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &pageCount);
    for (int p = 0; p < pageCount; p++) {
        FormInstance *page = pages[p];
        if (!page || !page->fieldTable || !page->fieldTable->fields)
            continue;
        if ((returnCode || groupOrder) && (page->jurisdiction != returnCode || page->groupOrder != groupOrder))
            continue;
        FieldTable *table = page->fieldTable;
        for (int i = 1; i < table->count; i++) {   // every field, the last one too
            FieldRecord *field = &table->fields[i];
            if (!IsStatementField(field))
                continue;
            if (entries) {
                StatementListEntry *entry = &entries[count];
                memset(entry, 0, sizeof *entry);
                entry->page = page;
                entry->field = field;
                entry->code = page->jurisdiction;
                char caption[STATEMENT_CELL_SIZE] = "";
                if (page->treeItem)
                    GetTreeItemText(page->treeItem, caption, 1, sizeof caption);
                else if (page->displayName)
                    snprintf(caption, sizeof caption, "%s", page->displayName);
                snprintf(entry->title, sizeof entry->title, "%s%sStatement", caption, caption[0] ? " " : "");
            }
            count++;
        }
    }
    MemFree(pages);
    return count;
}

int RenderStatementEntry(StatementListEntry *entry, HBITMAP *slots, int maxPages, uint16_t kind)
{
    if (!entry)
        return 0;
    int free = entry->note || entry->election || entry->regulatory ||
               (entry->field && entry->field->seqPrefix && entry->field->seqPrefix[0] == '@');
    if (free)
        return RenderExplanationEntry(entry, slots, maxPages, kind);
    if (!entry->field || !entry->page || !entry->field->seqPrefix || entry->field->seqPrefix[0] != '*')
        return 0;
    StatementParams params;
    memset(&params, 0, sizeof params);
    char caption[STATEMENT_CELL_SIZE + 32] = "";
    if (entry->page->treeItem)
        GetTreeItemText(entry->page->treeItem, caption, 0, STATEMENT_CELL_SIZE);
    else if (entry->page->displayName)
        snprintf(caption, sizeof caption, "%s", entry->page->displayName);
    int copy = GetFormCopyNumber(entry->page);
    if (copy) {
        char suffix[24];
        snprintf(suffix, sizeof suffix, ", Copy %d", copy);
        AppendTextBounded(caption, sizeof caption, suffix);
    }
    params.field = entry->field;
    params.caption = caption;
    params.kind = kind;
    params.outputArg1 = (uint32_t)(uintptr_t)slots;
    params.outputArg2 = (uint32_t)maxPages;
    params.page = entry->page;
    RunStatementDialog(gMainWindow, &params);
    return (int)params.outputResult;
}

int CountStatementLines(const FieldRecord *field, int *layout)
{
    if (layout)
        *layout = 0;
    if (!field)
        return 0;
    int columns = 0, d = 0;
    ParseFieldAttributes(field, NULL, NULL, &columns, &d);
    if (layout)
        *layout = d;
    const char *text = field->second && GetFieldSecondLength(field) == strlen(field->second) ? field->second : "";
    if (field->seqPrefix && field->seqPrefix[0] == '@')
        return WrapStatementText(text, NULL, NULL, 80);
    const char *rows = strchr(text, STATEMENT_TOTALS_END);
    rows = rows ? rows + 1 : text;
    int cells = CountChar(rows, STATEMENT_CELL_END);
    if (columns <= 0)
        columns = 1;
    // Every cell ends with 0x01: a row of columns cells, a short last row counting as one.
    return (cells + columns - 1) / columns;
}

int WrapStatementText(const char *text, char **out, int *length, int width)
{
    if (width < 1)
        width = 1;
    size_t n = text ? strlen(text) : 0;
    // Each inserted break adds one character; there are at most n of them.
    char *buffer = (char *)MemAlloc(64, 2 * n + 2);
    if (!buffer)
        return 0;
    int m = 0;
    for (size_t i = 0; i < n; i++)
        if (text[i] != '\r')
            buffer[m++] = text[i];
    buffer[m] = 0;
    int start = 0;
    while (start < m) {
        int end = start;
        while (end < m && buffer[end] != '\n')
            end++;
        if (end - start > width) {
            int at = start + width, next;
            int blank = at;
            while (blank > start && buffer[blank] != ' ')
                blank--;
            if (blank > start && buffer[blank + 1] == ' ') {
                memmove(buffer + blank + 1, buffer + blank, (size_t)(m - blank + 1));
                buffer[blank] = '\n';
                m++;
                next = blank + 1;
            } else if (blank > start) {
                buffer[blank] = '\n';
                next = blank + 1;
            } else {
                memmove(buffer + at + 1, buffer + at, (size_t)(m - at + 1));
                buffer[at] = '\n';
                m++;
                next = at + 1;
            }
            start = next;
        } else {
            start = end;
        }
        while (start < m && buffer[start] == '\n')
            start++;
    }
    int lines = 1 + CountChar(buffer, '\n');
    if (length)
        *length = m;
    if (out)
        *out = buffer;
    else
        MemFree(buffer);
    return lines;
}
