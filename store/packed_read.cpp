// packed_read.cpp - reading a packed data file (FormPak, return file, status file) into a
// FileRecord. Nothing in the file is trusted: every offset, length, count and index is checked
// against what it points into, and a damaged file is refused as a whole.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

int ReleaseFileRecord(FileRecord *fileRecord, OpenReturn *returnRecord)
{
    (void)returnRecord;
    if (!fileRecord)
        return 0;
    for (int i = 0; i < REC_SLOT_COUNT; i++)
        MemFree(fileRecord->slots[i].data);
    MemFree(fileRecord->entries);
    MemFree(fileRecord->path);
    memset(fileRecord, 0, sizeof *fileRecord);
    return 1;
}

const PackedFileEntry *FindFileEntry(const FileRecord *f, int recordId)
{
    if (!f || !f->entries)
        return NULL;
    for (uint32_t i = 0; i < f->entryCount; i++)
        if (f->entries[i].recordId == recordId)
            return &f->entries[i];
    return NULL;
}

// Checks the image range of one page-directory entry against the record it lies in.
static const char *CheckImageRange(const FileRecord *f, const PageDirectoryEntry *e)
{
    int bmp = e->imageSource == IMAGE_SOURCE_BMP;
    const PackedFileEntry *rec = FindFileEntry(f, bmp ? REC_PAGE_BITMAPS : REC_PAGE_DEFS);
    if (!rec)
        return "a page's image record is missing";
    uint64_t begin = rec->offset, end = (uint64_t)rec->offset + rec->decodedLength;
    if (e->imageStart < begin || e->imageStart > e->imageEnd)
        return "a page's image range is outside its record";
    if (bmp ? ((uint64_t)e->imageEnd >= end) : ((uint64_t)e->imageEnd > end))
        return "a page's image range is outside its record";
    if (!bmp && e->imageStart == e->imageEnd)
        return "a page has an empty image";
    return NULL;
}

static const char *CheckFormPak(FileRecord *f)
{
    FileRecordSlot *dir = &f->slots[REC_PAGE_DIRECTORY];
    if (!f->slots[REC_HEADER_STRINGS].data || !f->slots[REC_HEADER_STRINGS].data[0])
        return "the FormPak has no form name";
    if (!dir->data || !f->slots[REC_STRING_POOL].data)
        return "the FormPak has no page directory";
    if (dir->length % sizeof(PageDirectoryEntry) || dir->length / sizeof(PageDirectoryEntry) > 65535)
        return "the page directory is damaged";
    f->pageCount = (uint16_t)(dir->length / sizeof(PageDirectoryEntry));
    const FileRecordSlot *fields = &f->slots[REC_FIELD_DEFS];
    PageDirectoryEntry *entries = GetPageDirectory(f);
    for (int i = 0; i < f->pageCount; i++) {
        PageDirectoryEntry *e = &entries[i];
        uint32_t nameLength = 0;
        const char *name = GetPoolEntry(f, e->nameOffset, &nameLength);
        if (!name || !nameLength || strlen(name) != nameLength || nameLength >= FORM_NAME_SIZE - 8)
            return "a page's form name is damaged";
        if (!e->pageNumber)
            return "a page has no page number";
        if (e->imageSource != IMAGE_SOURCE_PCL && e->imageSource != IMAGE_SOURCE_PCL2 &&
            e->imageSource != IMAGE_SOURCE_BMP)
            return "a page has an unknown image source";
        const char *why = CheckImageRange(f, e);
        if (why)
            return why;
        if (e->fieldCount) {
            if (!fields->data || e->fieldStart > fields->length ||
                e->fieldLength > fields->length - e->fieldStart)
                return "a page's fields lie outside the field record";
            if (!DecodeFieldDefinitions(fields->data + e->fieldStart, e->fieldLength, e->fieldCount,
                                        NULL, &why))
                return why;
        } else if (e->fieldLength) {
            return "a page's field definitions are damaged";
        }
        e->copiesToAdd = 0;   // the mark belongs to the start dialogs, never to the file
    }
    return NULL;
}

static const char *CheckReturnFile(FileRecord *f)
{
    const FileRecordSlot *ret = &f->slots[REC_RETURN];
    if (!ret->data || ret->length < 4)
        return "the return record is missing";
    uint32_t size;
    memcpy(&size, ret->data, 4);
    if (size != OPEN_RETURN_SIZE && size != OPEN_RETURN_SIZE_2656 && size != OPEN_RETURN_SIZE_2560)
        return "the return record has an unknown layout";
    if (size != ret->length)
        return "the return record has the wrong length";
    const FileRecordSlot *dir = &f->slots[REC_FORM_DIRECTORY];
    if (!dir->data) {
        f->formCount = 0;
        return NULL;
    }
    if (dir->length % sizeof(FormDirectoryEntry) || dir->length / sizeof(FormDirectoryEntry) > 65535)
        return "the form directory is damaged";
    f->formCount = (uint16_t)(dir->length / sizeof(FormDirectoryEntry));
    const FileRecordSlot *pairs = &f->slots[REC_FIELD_PAIRS];
    const FormDirectoryEntry *entries = GetFormDirectory(f);
    for (int i = 0; i < f->formCount; i++) {
        const FormDirectoryEntry *e = &entries[i];
        uint32_t len = 0;
        const char *key = GetPoolEntry(f, e->pageKeyOffset, &len);
        if (!key || !len || strlen(key) != len || len >= FORM_NAME_SIZE)
            return "a form's page key is damaged";
        const char *pak = GetPoolEntry(f, e->formPakOffset, &len);
        if (!pak || strlen(pak) != len || len >= MAX_PATH)
            return "a form's FormPak name is damaged";
        if (e->pairCount) {
            const char *why = NULL;
            if (!pairs->data || e->pairOffset > pairs->length || e->pairLength > pairs->length - e->pairOffset)
                return "a form's values lie outside their record";
            if (!WalkFieldPairs(pairs->data + e->pairOffset, e->pairLength, e->pairCount, NULL, NULL, &why))
                return why;
        } else if (e->pairLength) {
            return "a form's values are damaged";
        }
    }
    return NULL;
}

// Reads the whole file into a MemAlloc block; *whyOut on failure.
static uint8_t *LoadWholeFile(const char *path, uint32_t *lengthOut, const char **whyOut)
{
    DWORD size = 0;
    HANDLE file = OpenFileForRead(path, &size, OPEN_FILE_QUIET);
    if (!file) {
        // Another program's open handle that shares no reading is no fault of the file.
        DWORD error = GetLastError();
        *whyOut = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? READ_REASON_IN_USE
                                                                                     : "the file could not be opened";
        return NULL;
    }
    if (size < sizeof(PackedFileHeader)) {
        CloseHandle(file);
        *whyOut = "the file is too short";
        return NULL;
    }
    if (size > PACKED_MAX_FILE_LENGTH) {
        CloseHandle(file);
        *whyOut = "the file is too large";
        return NULL;
    }
    uint8_t *data = (uint8_t *)MemAlloc(64, (size_t)size + 1);
    if (!data) {
        CloseHandle(file);
        *whyOut = "out of memory";
        return NULL;
    }
    DWORD done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(file, data + done, size - done, &got, NULL) || got == 0)
            break;
        done += got;
    }
    CloseHandle(file);
    if (done != size) {
        MemFree(data);
        *whyOut = "the file could not be read completely";
        return NULL;
    }
    *lengthOut = size;
    return data;
}

// Parses the file image into f. Returns the reason of a refusal, or null.
static const char *ParsePackedImage(const uint8_t *file, uint32_t length, FileRecord *f, int mode)
{
    PackedFileHeader header;
    memcpy(&header, file, sizeof header);
    ScramblePackedHeader(&header);
    if (memcmp(header.magic, PACKED_MAGIC, 4) != 0)
        return "it is not a Levyline data file";
    if (header.version == 0 || header.version > PACKED_VERSION)
        return "it was written by a newer version of the program";
    if (header.fileType < FILE_TYPE_FORMPAK || header.fileType > FILE_TYPE_STATUS)
        return "it is of an unknown kind";
    if (header.fileLength != length)
        return "it is truncated or has extra bytes";
    if (header.entryCount > PACKED_MAX_ENTRIES)
        return "its record table is damaged";
    uint32_t tableEnd = (uint32_t)sizeof header + header.entryCount * (uint32_t)sizeof(PackedFileEntry);
    if (tableEnd > length)
        return "its record table is damaged";
    // The checksum is over the header in clear with its checksum word zero.
    PackedFileHeader zeroed = header;
    zeroed.checksum = 0;
    if (ComputePackedChecksumParts(&zeroed, file + sizeof header, length - (uint32_t)sizeof header) !=
        header.checksum)
        return "its checksum does not match";
    f->fileType = header.fileType;
    f->taxYear = header.taxYear;
    f->entryCount = header.entryCount;
    if (header.entryCount) {
        f->entries = (PackedFileEntry *)MemAlloc(64, sizeof(PackedFileEntry) * header.entryCount);
        if (!f->entries)
            return "out of memory";
        memcpy(f->entries, file + sizeof header, sizeof(PackedFileEntry) * header.entryCount);
    }
    for (uint32_t i = 0; i < f->entryCount; i++) {
        const PackedFileEntry *e = &f->entries[i];
        if (e->recordId >= REC_SLOT_COUNT)
            return "it holds an unknown record";
        if (e->method != RECORD_METHOD_PLAIN && e->method != RECORD_METHOD_XOR)
            return "a record has an unknown encoding";
        if (e->offset < tableEnd || e->offset > length || e->storedLength > length - e->offset)
            return "a record lies outside the file";
        if (e->decodedLength > e->storedLength)
            return "a record's length is damaged";
        for (uint32_t j = 0; j < i; j++) {
            const PackedFileEntry *o = &f->entries[j];
            if (o->recordId == e->recordId)
                return "a record is present twice";
            if (e->storedLength && o->storedLength && e->offset < o->offset + o->storedLength &&
                o->offset < e->offset + e->storedLength)
                return "two records overlap";
        }
    }
    for (uint32_t i = 0; i < f->entryCount; i++) {
        const PackedFileEntry *e = &f->entries[i];
        int pageRecord = e->recordId == REC_PAGE_DEFS || e->recordId == REC_PAGE_BITMAPS;
        if (pageRecord && !(mode & READ_DATA_PAGES))
            continue;
        uint8_t *data = (uint8_t *)MemAlloc(64, (size_t)e->storedLength + 1);
        if (!data)
            return "out of memory";
        memcpy(data, file + e->offset, e->storedLength);
        DecodeRecordData(0, data, e->method, 0, data, e->storedLength, 0, f->taxYear);
        data[e->decodedLength] = 0;   // one zero byte past the decoded data
        f->slots[e->recordId].data = data;
        f->slots[e->recordId].length = e->decodedLength;
    }
    const FileRecordSlot *pool = &f->slots[REC_STRING_POOL];
    if (pool->data) {
        // The pool must be a whole sequence of entries.
        uint32_t at = 0;
        while (at < pool->length) {
            uint32_t len;
            if (pool->length - at < 5)
                return "the string pool is damaged";
            memcpy(&len, pool->data + at, 4);
            if (len > pool->length - at - 5 || pool->data[at + 4 + len] != 0)
                return "the string pool is damaged";
            at += 5 + len;
        }
    }
    if (f->slots[REC_NOTES].data && f->slots[REC_NOTES].length &&
        f->slots[REC_NOTES].data[f->slots[REC_NOTES].length - 1] != 0)
        return "the notes are damaged";
    if (f->slots[REC_HEADER_STRINGS].data && f->slots[REC_HEADER_STRINGS].length &&
        f->slots[REC_HEADER_STRINGS].data[f->slots[REC_HEADER_STRINGS].length - 1] != 0)
        return "the header texts are damaged";
    if (f->fileType == FILE_TYPE_FORMPAK)
        return CheckFormPak(f);
    if (f->fileType == FILE_TYPE_RETURN)
        return CheckReturnFile(f);
    return NULL;
}

int ReadDataFile(const char *path, int reserved, FileRecord *fileRecord, int mode)
{
    return ReadDataFileWithReason(path, fileRecord, mode, NULL);
}

int ReadDataFileWithReason(const char *path, FileRecord *fileRecord, int mode, const char **whyOut)
{
    if (whyOut)
        *whyOut = NULL;
    if (!fileRecord)
        return 0;
    memset(fileRecord, 0, sizeof *fileRecord);
    const char *why = NULL;
    uint32_t length = 0;
    uint8_t *file = NULL;
    if (!path || !*path)
        why = "no file name was given";
    else
        file = LoadWholeFile(path, &length, &why);
    if (file) {
        why = ParsePackedImage(file, length, fileRecord, mode);
        MemFree(file);
    }
    if (!why) {
        size_t n = strlen(path);
        fileRecord->path = (char *)MemAlloc(64, n + 1);
        if (fileRecord->path)
            memcpy(fileRecord->path, path, n + 1);
        else
            why = "out of memory";
    }
    if (why) {
        ReleaseFileRecord(fileRecord, NULL);
        char line[400];
        snprintf(line, sizeof line, "999 FHE: %.260s: %s\r\n", path ? path : "", why);
        WriteLogLine(line);
        if (!(mode & READ_DATA_QUIET)) {
            char text[600];
            snprintf(text, sizeof text,
                     "The file %.260s could not be read: %s.\r\n\r\n"
                     "The file may be damaged, or it may not be a Levyline 2024 data file.",
                     path ? path : "", why);
            ShowMessageBox(NULL, text, "Error Reading File", MB_OK | MB_ICONEXCLAMATION);
        }
        if (whyOut)
            *whyOut = why;
        return 0;
    }
    return 1;
}

int FindPageInFileRecord(FileRecord *formPak, const char *pageKey)
{
    if (!formPak || !pageKey || formPak->fileType != FILE_TYPE_FORMPAK)
        return -1;
    const PageDirectoryEntry *entries = GetPageDirectory(formPak);
    if (!entries)
        return -1;
    const char *dot = strrchr(pageKey, '.');
    if (!dot)
        return -1;
    size_t nameLength = (size_t)(dot - pageKey);
    int page = 0;
    for (const char *p = dot + 1; *p; p++) {
        if (*p < '0' || *p > '9' || page > 1000)
            return -1;
        page = page * 10 + (*p - '0');
    }
    for (int i = 0; i < formPak->pageCount; i++) {
        const char *name = GetPoolString(formPak, entries[i].nameOffset);
        if (entries[i].pageNumber == page && strlen(name) == nameLength &&
            _strnicmp(name, pageKey, nameLength) == 0)
            return i;
    }
    return -1;
}

int FindFormInFormPak(const char *formPakPath, const char *pageKey, int *copyValueOut,
                      uint16_t *taxYearOut)
{
    FileRecord f;
    if (!ReadDataFile(formPakPath, 0, &f, READ_DATA_QUIET))
        return -1;
    int index = FindPageInFileRecord(&f, pageKey);
    if (index >= 0 && copyValueOut)
        *copyValueOut = GetPageDirectory(&f)[index].maxCopies;
    if (taxYearOut)
        *taxYearOut = f.taxYear;
    ReleaseFileRecord(&f, NULL);
    return index;
}
