// Form data import: the forms of another return file matched against the open return's pages,
// the confirmation, and each matched page's values written from the file.
#include "entry/imports/imports_private.h"
#include "entry/editbar/editbar.h"
#include "entry/formstree/formstree.h"
#include "pages/pages.h"
#include "ui/ui.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int CompareImportEntries(const void *a, const void *b)
{
    const ImportFormEntry *x = (const ImportFormEntry *)a, *y = (const ImportFormEntry *)b;
    if (x->sortKey != y->sortKey)
        return x->sortKey < y->sortKey ? -1 : 1;
    return x->directoryIndex < y->directoryIndex ? -1 : (x->directoryIndex > y->directoryIndex);
}

int BuildImportFormList(FileRecord *fileRecord, ImportFormEntry *entries)
{
    if (!fileRecord)
        return 0;
    int count = fileRecord->formCount;
    if (fileRecord->fileType != FILE_TYPE_RETURN || !entries || !GetFormDirectory(fileRecord))
        return count;
    const FormDirectoryEntry *directory = GetFormDirectory(fileRecord);
    for (int i = 0; i < count; i++) {
        ImportFormEntry *e = &entries[i];
        memset(e, 0, sizeof(*e));
        e->directoryIndex = (uint32_t)i;
        e->pageKey = GetPoolString(fileRecord, directory[i].pageKeyOffset);
        e->sortKey = 9000 + i;
    }
    for (int i = 0; i < count; i++)
        for (int j = i + 1; j < count; j++)
            if (_stricmp(entries[i].pageKey, entries[j].pageKey) == 0)
                entries[j].copyNumber++;
    for (int i = 0; i < count; i++) {
        ImportFormEntry *e = &entries[i];
        FormInstance *page = NULL;
        if (!e->pageKey[0] || FindReturnPages(12, e->pageKey, &page, e->copyNumber) <= 0 || !page)
            continue;
        e->matched = 1;
        e->pageItem = page->treeItem;
        e->pageName = page->displayName;
        int position = FindReturnPages(17, page->treeItem, NULL, 0);
        e->sortKey = position >= 0 ? position : e->sortKey;
    }
    qsort(entries, (size_t)count, sizeof(ImportFormEntry), CompareImportEntries);
    return count;
}

static void AppendFormLine(char **text, size_t *size, const ImportFormEntry *e)
{
    char name[FORM_NAME_SIZE] = "";
    FormatFormDisplayName(NULL, NULL, e->pageKey, name, 0);
    char line[FORM_NAME_SIZE + 40];
    if (e->copyNumber)
        snprintf(line, sizeof(line), "   %c %s (Copy %hu)\r\n", e->matched ? '+' : '-', name,
                 (unsigned short)(e->copyNumber + 1));
    else
        snprintf(line, sizeof(line), "   %c %s\r\n", e->matched ? '+' : '-', name);
    size_t used = *text ? strlen(*text) : 0;
    size_t add = strlen(line);
    if (used + add + 1 > *size) {
        size_t grown = (*size + add + 1) * 2;
        char *bigger = (char *)MemReAlloc(*text, grown);
        if (!bigger)
            return;
        *text = bigger;
        *size = grown;
    }
    memcpy(*text + used, line, add + 1);
}

// The page of an entry; null when its item no longer holds a form page.
static FormInstance *GetEntryPage(const ImportFormEntry *e)
{
    FormInstance *page = (FormInstance *)GetTreeItemForm(e->pageItem);
    return page && page->kind == PAGE_KIND_FORM && page->fieldTable ? page : NULL;
}

// Writes one form's values into its page (the page's own table, in place).
static int WriteImportedForm(FileRecord *fileRecord, const ImportFormEntry *e, int keep)
{
    FormInstance *page = GetEntryPage(e);
    if (!page)
        return 0;
    if (ApplyReturnFieldPairs(fileRecord, (int)e->directoryIndex, page->fieldTable, keep ? 0 : 1) < 0)
        return 0;
    const FormDirectoryEntry *entry = &GetFormDirectory(fileRecord)[e->directoryIndex];
    page->amended = (entry->flags & FORM_FLAG_AMENDED) ? 1 : 0;
    for (int i = 1; i < page->fieldTable->count; i++)
        UpdateInfoFormTreeCaption(&page->fieldTable->fields[i], page);
    return 1;
}

int PrepareFieldTablesForImport(void)
{
    // The edit bar holds a field of a page and the recompute worker writes values: neither may
    // run while the tables are written.
    if (!CommitOpenEditBar())
        return 0;
    if (gEditBarContainer && IsWindow(gEditBarContainer))
        return 0;
    return EndRecomputeWorker();
}

int ImportFormData(FileRecord *fileRecord, int noQuestion, int keep)
{
    int count = BuildImportFormList(fileRecord, NULL);
    if (count <= 0 || !fileRecord || fileRecord->fileType != FILE_TYPE_RETURN)
        return 0;
    ImportFormEntry *entries = (ImportFormEntry *)MemAlloc(64, sizeof(ImportFormEntry) * (size_t)count);
    if (!entries)
        return 0;
    BuildImportFormList(fileRecord, entries);
    char *matched = NULL, *skipped = NULL;
    size_t matchedSize = 0, skippedSize = 0;
    int matches = 0;
    for (int i = 0; i < count; i++) {
        if (entries[i].matched) {
            AppendFormLine(&matched, &matchedSize, &entries[i]);
            matches++;
        } else {
            AppendFormLine(&skipped, &skippedSize, &entries[i]);
        }
    }
    int written = 0;
    int go = matches > 0;
    if (go && !noQuestion) {
        size_t size = matchedSize + skippedSize + 400;
        char *question = (char *)MemAlloc(64, size);
        if (question) {
            AppendTextBounded(question, size, "Importing data into the following forms:\r\n\r\n");
            AppendTextBounded(question, size, matched);
            if (skipped) {
                AppendTextBounded(question, size, "\r\nSkipping forms not found in the current return:\r\n\r\n");
                AppendTextBounded(question, size, skipped);
            }
            AppendTextBounded(question, size,
                              "\r\nNote that this will overwrite any form data in the currently\r\n"
                              "open return(s).  Do you want to continue?");
            go = ShowMessageBox(gMainWindow, question, "Form Data Import", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
            MemFree(question);
        } else {
            go = 0;
        }
    }
    if (go && PrepareFieldTablesForImport()) {
        for (int i = 0; i < count; i++)
            if (entries[i].matched)
                written += WriteImportedForm(fileRecord, &entries[i], keep);
    }
    MemFree(matched);
    MemFree(skipped);
    MemFree(entries);
    return written;
}
