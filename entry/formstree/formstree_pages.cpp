// Pages entering the open return from a FormPak or from a return file, filed in the forms tree,
// their saved values.
#include "entry/formstree/formstree_private.h"
#include "store/store.h"

#include <stdio.h>
#include <string.h>

HTREEITEM CreateFormInstance(const char *formPakPath, int formIndex, int add, int add2, int copyValue,
                             FileRecord *fileRecord, int reserved)
{
    FileRecord own;
    memset(&own, 0, sizeof(own));
    if (!fileRecord) {
        if (!ReadDataFile(formPakPath, 0, &own, 0))
            return NULL;
        fileRecord = &own;
    }
    HTREEITEM item = NULL;
    if (fileRecord->fileType == FILE_TYPE_FORMPAK && formIndex >= 0 && formIndex < fileRecord->pageCount) {
        const PageDirectoryEntry *entry = &GetPageDirectory(fileRecord)[formIndex];
        char key[FORM_NAME_SIZE];
        snprintf(key, sizeof(key), "%s.%u", GetPoolString(fileRecord, entry->nameOffset),
                 (unsigned)entry->pageNumber);
        // The copies already in the return count only against a limit.
        if (copyValue <= 0 || FindReturnPages(9, key, NULL, 0) < copyValue) {
            const char *path = formPakPath ? formPakPath : fileRecord->path;
            FormInstance *page = CreatePageRecord(fileRecord, formIndex, path, GetFreeCopyNumber(key));
            if (page) {
                const char *caption = page->displayName ? page->displayName : page->pageKey;
                item = AddFormToTree(caption, GetTreeItemImage(NULL, page->jurisdiction), page, NULL);
                if (!item)
                    FreeFormInstance(page);
            }
        }
    }
    if (fileRecord == &own)
        ReleaseFileRecord(&own, NULL);
    return item;
}

// Builds a field table from the saved pairs of one form of a return file: one field per
// sequence number, holding its value and second text.
struct SessionTableContext {
    FieldTable *table;
    int used;
};

static int AddSessionPair(void *context, int word, const char *seq, uint32_t seqLength, const uint8_t *value,
                          uint32_t valueLength)
{
    SessionTableContext *c = (SessionTableContext *)context;
    char number[64];
    if (seqLength == 0 || seqLength >= sizeof(number))
        return 1;  // no field can hold it: skipped
    memcpy(number, seq, seqLength);
    number[seqLength] = 0;
    int index = 0;
    for (int i = 1; i < c->used && !index; i++)
        if (c->table->fields[i].seq && !strcmp(c->table->fields[i].seq, number))
            index = i;
    if (!index) {
        if (c->used >= c->table->count)
            return 1;
        index = c->used++;
        c->table->fields[index].seq = DuplicateText(number);
        if (!c->table->fields[index].seq)
            return 0;
    }
    FieldRecord *field = &c->table->fields[index];
    if (word == 9)
        return SetFieldBlob(&field->second, value, valueLength) >= 0;
    char *text = (char *)MemAlloc(64, (size_t)valueLength + 1);
    if (!text)
        return 0;
    memcpy(text, value, valueLength);
    SetFieldText(&field->value, text);
    MemFree(text);
    return 1;
}

HTREEITEM CreateSessionFormInstance(FileRecord *returnFile, int directoryIndex)
{
    if (!returnFile || returnFile->fileType != FILE_TYPE_RETURN || directoryIndex < 0 ||
        directoryIndex >= returnFile->formCount)
        return NULL;
    const FormDirectoryEntry *entry = &GetFormDirectory(returnFile)[directoryIndex];
    const FileRecordSlot *pairs = &returnFile->slots[REC_FIELD_PAIRS];
    if (entry->pairCount > FIELD_TABLE_MAX_FIELDS - 1)
        return NULL;
    if (entry->pairCount && (!pairs->data || entry->pairOffset > pairs->length ||
                             entry->pairLength > pairs->length - entry->pairOffset))
        return NULL;
    FormInstance *page = (FormInstance *)MemAlloc(64, sizeof(FormInstance));
    if (!page)
        return NULL;
    page->kind = PAGE_KIND_FORM;
    page->jurisdiction = 102;
    page->taxYear = entry->taxYear;
    page->fileYear = entry->taxYear;
    page->formIndex = entry->formIndex;
    page->copyNumber = entry->copyNumber;
    page->mainForm = (entry->flags & PAGE_FLAG_MAIN_FORM) ? 1 : 0;
    page->landscape = (entry->flags & PAGE_FLAG_LANDSCAPE) ? 1 : 0;
    page->amended = (entry->flags & FORM_FLAG_AMENDED) ? 1 : 0;
    page->pageKey = DuplicateText(GetPoolString(returnFile, entry->pageKeyOffset));
    char display[FORM_NAME_SIZE];
    page->pageNumber = (uint16_t)FormatFormDisplayName(NULL, NULL, page->pageKey, display, 0);
    page->displayName = DuplicateText(display);
    page->formPakPath = DuplicateText(GetPoolString(returnFile, entry->formPakOffset));
    page->ownsFormPakPath = 1;
    page->fieldTable = CreateFieldTable((int)entry->pairCount + 1);
    int ok = page->pageKey && page->pageKey[0] && page->displayName && page->formPakPath && page->fieldTable;
    if (ok && entry->pairCount) {
        SessionTableContext context = {page->fieldTable, 1};
        ok = WalkFieldPairs(pairs->data + entry->pairOffset, entry->pairLength, entry->pairCount, AddSessionPair,
                            &context, NULL);
        page->fieldTable->count = context.used;
    }
    if (ok)
        ok = BuildSortedFieldIndex(page->fieldTable);
    HTREEITEM item = NULL;
    if (ok)
        item = AddFormToTree(page->displayName, GetTreeItemImage(NULL, 25), page, NULL);
    if (!item)
        FreeFormInstance(page);
    return item;
}

int BuildFormFieldTable(HTREEITEM treeItem, FileRecord *returnFile, int directoryIndex, int reserved, int flag)
{
    FormInstance *page = (FormInstance *)GetTreeItemForm(treeItem);
    if (!page || page->kind != PAGE_KIND_FORM || !page->fieldTable)
        return -1;
    int stored = ApplyReturnFieldPairs(returnFile, directoryIndex, page->fieldTable, flag ? 1 : 0);
    if (stored < 0)
        return -1;
    const FormDirectoryEntry *entry = &GetFormDirectory(returnFile)[directoryIndex];
    page->amended = (entry->flags & FORM_FLAG_AMENDED) ? 1 : 0;
    for (int i = 1; i < page->fieldTable->count; i++)
        UpdateInfoFormTreeCaption(&page->fieldTable->fields[i], page);
    return stored;
}
