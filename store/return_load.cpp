// return_load.cpp - pages and field values from read files: a page's field table from its
// FormPak, a new page record, and the saved values of a return file's form.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

FieldTable *BuildFieldTableFromFormPak(FileRecord *formPak, int pageIndex)
{
    if (!formPak || formPak->fileType != FILE_TYPE_FORMPAK || pageIndex < 0 || pageIndex >= formPak->pageCount)
        return NULL;
    const PageDirectoryEntry *e = &GetPageDirectory(formPak)[pageIndex];
    const FileRecordSlot *defs = &formPak->slots[REC_FIELD_DEFS];
    FieldTable *table = NULL;
    if (!e->fieldCount)
        return CreateFieldTable(1);   // only the dummy record
    // The reader checked the range; check again so a hand-made record cannot mislead us.
    if (!defs->data || e->fieldStart > defs->length || e->fieldLength > defs->length - e->fieldStart)
        return NULL;
    if (!DecodeFieldDefinitions(defs->data + e->fieldStart, e->fieldLength, e->fieldCount, &table, NULL))
        return NULL;
    return table;
}

FormInstance *CreatePageRecord(FileRecord *formPak, int pageIndex, const char *formPakPath, int copyNumber)
{
    if (!formPak || formPak->fileType != FILE_TYPE_FORMPAK || pageIndex < 0 || pageIndex >= formPak->pageCount)
        return NULL;
    const PageDirectoryEntry *e = &GetPageDirectory(formPak)[pageIndex];
    FormInstance *page = (FormInstance *)MemAlloc(64, sizeof(FormInstance));
    if (!page)
        return NULL;
    page->kind = PAGE_KIND_FORM;
    page->hasPageData = 1;
    page->jurisdiction = e->jurisdiction;
    page->imageSource = e->imageSource;
    const PackedFileEntry *def = FindFileEntry(formPak, REC_PAGE_DEFS);
    const PackedFileEntry *bmp = FindFileEntry(formPak, REC_PAGE_BITMAPS);
    if (def) {
        page->defOffset = def->offset;
        page->defLength = def->storedLength;
        page->defMethod = def->method;
    }
    if (bmp) {
        page->bmpOffset = bmp->offset;
        page->bmpLength = bmp->storedLength;
        page->bmpMethod = bmp->method;
    }
    page->imageStart = e->imageStart;
    page->imageEnd = e->imageEnd;
    page->fileYear = formPak->taxYear;
    page->taxYear = formPak->taxYear;
    page->orderKey[0] = e->orderKey[0];
    page->orderKey[1] = e->orderKey[1];
    page->mainForm = (e->flags & PAGE_FLAG_MAIN_FORM) ? 1 : 0;
    page->landscape = (e->flags & PAGE_FLAG_LANDSCAPE) ? 1 : 0;
    page->formIndex = (uint16_t)pageIndex;
    page->copyNumber = (uint16_t)(copyNumber > 0 ? copyNumber : 1);
    page->pageNumber = e->pageNumber;
    page->copyLimit = e->maxCopies;
    char key[FORM_NAME_SIZE];
    snprintf(key, sizeof key, "%s.%u", GetPoolString(formPak, e->nameOffset), (unsigned)e->pageNumber);
    char display[FORM_NAME_SIZE];
    FormatFormDisplayName(NULL, NULL, key, display, 0);
    const char *path = formPakPath ? formPakPath : (formPak->path ? formPak->path : "");
    page->pageKey = DuplicateText(key);
    page->displayName = DuplicateText(display);
    page->formPakPath = DuplicateText(path);
    page->ownsFormPakPath = 1;
    page->fieldTable = BuildFieldTableFromFormPak(formPak, pageIndex);
    if (!page->pageKey || !page->displayName || !page->formPakPath || !page->fieldTable)
        return FreeFormInstance(page);
    return page;
}

struct ApplyPairsContext {
    FieldTable *table;
    int stored;
};

static int StorePair(void *context, int word, const char *seq, uint32_t seqLength,
                     const uint8_t *value, uint32_t valueLength)
{
    ApplyPairsContext *c = (ApplyPairsContext *)context;
    char key[256];
    if (seqLength >= sizeof key)
        return 1;   // no field has such a number: skipped
    memcpy(key, seq, seqLength);
    key[seqLength] = 0;
    int found = FindLayoutField(c->table, 1, key, 0);
    if (!found)
        return 1;
    FieldRecord *f = &c->table->fields[found];
    if (word == 9) {
        SetFieldBlob(&f->second, value, valueLength);
    } else {
        char *text = (char *)MemAlloc(64, (size_t)valueLength + 1);
        if (!text)
            return 0;
        memcpy(text, value, valueLength);
        SetFieldText(&f->value, text);
        MemFree(text);
    }
    c->stored++;
    return 1;
}

int ApplyReturnFieldPairs(FileRecord *returnFile, int formIndex, FieldTable *table, int clearFirst)
{
    if (!returnFile || returnFile->fileType != FILE_TYPE_RETURN || !table || formIndex < 0 ||
        formIndex >= returnFile->formCount)
        return -1;
    const FormDirectoryEntry *e = &GetFormDirectory(returnFile)[formIndex];
    const FileRecordSlot *pairs = &returnFile->slots[REC_FIELD_PAIRS];
    if (e->pairCount && (!pairs->data || e->pairOffset > pairs->length ||
                         e->pairLength > pairs->length - e->pairOffset))
        return -1;
    // Check the whole run first, so a damaged run stores nothing.
    if (e->pairCount && !WalkFieldPairs(pairs->data + e->pairOffset, e->pairLength, e->pairCount, NULL, NULL, NULL))
        return -1;
    if (clearFirst) {
        for (int i = 1; i < table->count; i++) {
            SetFieldText(&table->fields[i].value, NULL);
            SetFieldText(&table->fields[i].second, NULL);
        }
    }
    ApplyPairsContext context = {table, 0};
    if (e->pairCount &&
        !WalkFieldPairs(pairs->data + e->pairOffset, e->pairLength, e->pairCount, StorePair, &context, NULL))
        return -1;
    return context.stored;
}
