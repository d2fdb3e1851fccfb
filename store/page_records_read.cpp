// page_records_read.cpp - reading one record of a FormPak on demand (the page-definition and
// page-bitmap records of a page) and the page-data cache kept by FormPak and record.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

static void LogRecordFailure(const char *path, const char *why)
{
    char line[400];
    snprintf(line, sizeof line, "999 FHE: %.260s: page record: %s\r\n", path ? path : "", why);
    WriteLogLine(line);
}

// Reads exactly length bytes at offset; 1 on success.
static int ReadAt(HANDLE file, uint32_t offset, void *out, uint32_t length)
{
    if (SetFilePointer(file, (LONG)offset, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return 0;
    uint32_t done = 0;
    while (done < length) {
        DWORD got = 0;
        if (!ReadFile(file, (uint8_t *)out + done, length - done, &got, NULL) || got == 0)
            return 0;
        done += got;
    }
    return 1;
}

uint32_t ReadFormPakRecord(const char *formPakPath, uint32_t offset, uint32_t storedLength,
                           uint32_t method, uint16_t taxYear, uint8_t *buffer, uint32_t bufferSize)
{
    DWORD size = 0;
    HANDLE file = formPakPath ? OpenFileForRead(formPakPath, &size, OPEN_FILE_QUIET) : NULL;
    if (!file) {
        LogRecordFailure(formPakPath, "the FormPak could not be opened");
        return 0;
    }
    // The record must be one of the file's entries, as the page record says.
    const char *why = NULL;
    PackedFileHeader header;
    PackedFileEntry entries[PACKED_MAX_ENTRIES];
    const PackedFileEntry *entry = NULL;
    if (size < sizeof header || !ReadAt(file, 0, &header, sizeof header)) {
        why = "the FormPak is too short";
    } else {
        ScramblePackedHeader(&header);
        if (memcmp(header.magic, PACKED_MAGIC, 4) != 0 || header.fileType != FILE_TYPE_FORMPAK ||
            header.fileLength != size || header.entryCount > PACKED_MAX_ENTRIES)
            why = "the FormPak's header is damaged";
        else if (!ReadAt(file, sizeof header, entries, header.entryCount * (uint32_t)sizeof(PackedFileEntry)))
            why = "the FormPak's record table could not be read";
    }
    for (int i = 0; !why && i < header.entryCount; i++) {
        if (entries[i].offset == offset && entries[i].storedLength == storedLength && entries[i].method == method) {
            entry = &entries[i];
            break;
        }
    }
    if (!why && !entry)
        why = "the page's record is not in the FormPak (the FormPak may have been replaced)";
    if (!why && (offset > size || storedLength > size - offset || entry->decodedLength > storedLength))
        why = "the page's record lies outside the file";
    uint32_t result = 0;
    if (!why) {
        if (!buffer) {
            result = entry->decodedLength;
        } else {
            uint8_t *work = bufferSize >= storedLength ? buffer : (uint8_t *)MemAlloc(64, (size_t)storedLength + 1);
            if (!work) {
                why = "out of memory";
            } else if (!ReadAt(file, offset, work, storedLength)) {
                why = "the page's record could not be read";
            } else {
                if (method != RECORD_METHOD_PLAIN)
                    DecodeRecordData(0, work, (int)method, 0, work, storedLength, 0, taxYear);
                result = entry->decodedLength < bufferSize ? entry->decodedLength : bufferSize;
                if (work != buffer)
                    memcpy(buffer, work, result);
            }
            if (work && work != buffer)
                MemFree(work);
            if (why)
                result = 0;
            else if (result < bufferSize)
                buffer[result] = 0;
        }
    }
    CloseHandle(file);
    if (why)
        LogRecordFailure(formPakPath, why);
    return result;
}

// The FormPak the cached bytes really belong to (gCachedPageSource mirrors it, but page
// generation swaps gCachedPageSource for the length of one call).
static struct FormPakRecord *sCachedOwner;

const uint8_t *GetCachedPageData(struct FormPakRecord *source, uint32_t offset, uint32_t stored,
                                 uint32_t method, uint32_t *lengthOut)
{
    if (!gCachedPageData || !source || source != sCachedOwner || offset != gCachedPageOffset ||
        stored != gCachedPageStored || method != gCachedPageMethod)
        return NULL;
    if (lengthOut)
        *lengthOut = gCachedPageLength;
    return gCachedPageData;
}

void SetCachedPageData(struct FormPakRecord *source, uint32_t offset, uint32_t stored,
                       uint32_t method, uint8_t *data, uint32_t length)
{
    if (data == gCachedPageData)
        gCachedPageData = NULL;   // the caller hands the same block back: keep it, not free it
    ClearCachedPageData();
    if (!data || !source) {
        MemFree(data);
        return;
    }
    gCachedPageData = data;
    gCachedPageLength = length;
    gCachedPageSource = source;
    sCachedOwner = source;
    gCachedPageOffset = offset;
    gCachedPageStored = stored;
    gCachedPageMethod = method;
}

void ClearCachedPageData(void)
{
    gCachedPageData = (uint8_t *)MemFree(gCachedPageData);
    gCachedPageLength = 0;
    gCachedPageSource = NULL;
    sCachedOwner = NULL;
    gCachedPageOffset = gCachedPageStored = gCachedPageMethod = 0;
}
