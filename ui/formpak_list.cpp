// The open return's list of FormPak files, chained from the forms tree's root record.
#include "ui/ui.h"
#include "store/store.h"

#include <string.h>

FormPakRecord *FindOrAddFormPakRecord(const char *path, const char *fileName, int *newOut,
                                      FormPakRecord **previousOut)
{
    if (newOut)
        *newOut = 0;
    if (previousOut)
        *previousOut = NULL;
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    if (!path || !path[0] || !root || root->kind != TREE_KIND_ROOT)
        return NULL;
    FormPakRecord *previous = NULL;
    for (FormPakRecord *r = root->formPaks; r; previous = r, r = r->next) {
        if (r->path && !lstrcmpiA(r->path, path)) {
            if (previousOut)
                *previousOut = previous;
            return r;
        }
    }
    FormPakRecord *record = (FormPakRecord *)MemAlloc(64, sizeof(FormPakRecord));
    if (!record)
        return NULL;
    record->path = DuplicateText(path);
    record->fileName = fileName && fileName[0] ? DuplicateText(fileName) : NULL;
    if (!record->path) {
        MemFree(record->fileName);
        MemFree(record);
        return NULL;
    }
    if (FileExists(path)) {
        DWORD size = 0;
        HANDLE file = OpenFileForRead(path, &size, OPEN_FILE_QUIET);
        if (file) {
            record->exists = 1;
            record->fileSize = size;
            GetFileTime(file, NULL, NULL, &record->lastWrite);
            CloseHandle(file);
        }
    }
    record->formRecordCount = (uint32_t)gFormRecordCount;
    if (previous)
        previous->next = record;
    else
        root->formPaks = record;
    root->formPakCount++;
    if (newOut)
        *newOut = 1;
    if (previousOut)
        *previousOut = previous;
    return record;
}

FormPakRecord *FreeFormPakRecords(FormPakRecord *first, FormPakRecord *stop)
{
    FormPakRecord *r = first;
    // The page-data cache is keyed by the record's address, which a later record may reuse.
    if (r && r != stop)
        ClearCachedPageData();
    while (r && r != stop) {
        FormPakRecord *next = r->next;
        MemFree(r->path);
        MemFree(r->fileName);
        MemFree(r);
        r = next;
    }
    return stop;
}
