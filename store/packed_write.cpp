// packed_write.cpp - writing a packed data file: the whole file is built in memory, written
// to "<path>.tmp" and renamed over the target only when complete.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

uint32_t GetPackedRecordOffset(const PackedRecordSpec *records, int count, int index)
{
    uint64_t offset = sizeof(PackedFileHeader) + (uint64_t)count * sizeof(PackedFileEntry);
    for (int i = 0; i < index && i < count; i++)
        offset += records[i].length;
    return offset > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)offset;
}

static void ReportWriteFailure(const char *path, const char *why)
{
    char line[400];
    snprintf(line, sizeof line, "999 FHE: write %.260s: %s\r\n", path ? path : "", why);
    WriteLogLine(line);
    char text[500];
    snprintf(text, sizeof text, "The file %.260s could not be written: %s.\r\n\r\n"
             "The previous copy of the file, if any, was not changed.", path ? path : "", why);
    ShowMessageBox(NULL, text, "Error Writing File", MB_OK | MB_ICONEXCLAMATION);
}

// "what: the system's reason" for the last error, into a buffer of its own.
static const char *WithSystemReason(const char *what)
{
    static char why[400];
    DWORD error = GetLastError();
    char system[256] = "";
    if (error)
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, system,
                       sizeof system, NULL);
    size_t n = strlen(system);
    while (n && (system[n - 1] == '\r' || system[n - 1] == '\n' || system[n - 1] == ' ' || system[n - 1] == '.'))
        system[--n] = 0;
    if (n)
        snprintf(why, sizeof why, "%s (%s)", what, system);
    else
        snprintf(why, sizeof why, "%s (system error %lu)", what, (unsigned long)error);
    return why;
}

// Writes length bytes to path through its temporary file. 1 on success; *whyOut on failure.
static int WriteFileReplacing(const char *path, const uint8_t *data, uint32_t length, const char **whyOut)
{
    char temp[MAX_PATH];
    int n = snprintf(temp, sizeof temp, "%s.tmp", path);
    if (n < 0 || n >= (int)sizeof temp) {
        *whyOut = "the file name is too long";
        return 0;
    }
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *whyOut = WithSystemReason("the temporary file could not be created");
        return 0;
    }
    uint32_t done = 0;
    int ok = 1;
    while (ok && done < length) {
        DWORD chunk = length - done > (1u << 20) ? (1u << 20) : length - done;
        DWORD wrote = 0;
        if (!WriteFile(file, data + done, chunk, &wrote, NULL) || wrote == 0)
            ok = 0;
        done += wrote;
    }
    if (ok && !FlushFileBuffers(file))
        ok = 0;
    if (!ok)
        *whyOut = WithSystemReason("the disk may be full or write-protected");
    CloseHandle(file);
    if (!ok) {
        DeleteFileA(temp);
        return 0;
    }
    if (!MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *whyOut = WithSystemReason("the new file could not replace the old one");
        DeleteFileA(temp);
        return 0;
    }
    return 1;
}

int WritePackedFile(const char *path, int fileType, uint16_t taxYear, const char *writer,
                    const PackedRecordSpec *records, int count)
{
    const char *why = NULL;
    if (!path || !*path)
        why = "no file name was given";
    else if (count < 0 || count > PACKED_MAX_ENTRIES || (count && !records))
        why = "too many records";
    else if (fileType < FILE_TYPE_FORMPAK || fileType > FILE_TYPE_STATUS)
        why = "unknown file type";
    uint64_t total = sizeof(PackedFileHeader) + (uint64_t)count * sizeof(PackedFileEntry);
    for (int i = 0; !why && i < count; i++) {
        if (records[i].recordId < 0 || records[i].recordId >= REC_SLOT_COUNT)
            why = "unknown record";
        else if (records[i].method != RECORD_METHOD_PLAIN && records[i].method != RECORD_METHOD_XOR)
            why = "unknown encoding method";
        else if (records[i].length && !records[i].data)
            why = "a record has no data";
        for (int j = 0; !why && j < i; j++)
            if (records[j].recordId == records[i].recordId)
                why = "a record is given twice";
        total += records[i].length;
    }
    if (!why && total > PACKED_MAX_FILE_LENGTH)
        why = "the file would be too large";
    if (why) {
        ReportWriteFailure(path, why);
        return 0;
    }
    uint8_t *file = (uint8_t *)MemAlloc(64, (size_t)total);
    if (!file) {
        ReportWriteFailure(path, "out of memory");
        return 0;
    }
    PackedFileHeader header;
    memset(&header, 0, sizeof header);
    memcpy(header.magic, PACKED_MAGIC, 4);
    header.version = PACKED_VERSION;
    header.fileType = (uint16_t)fileType;
    header.taxYear = taxYear;
    header.entryCount = (uint16_t)count;
    header.fileLength = (uint32_t)total;
    snprintf(header.writer, sizeof header.writer, "%s", writer ? writer : "Levyline 2024");
    uint32_t offset = GetPackedRecordOffset(records, count, 0);
    for (int i = 0; i < count; i++) {
        PackedFileEntry entry;
        entry.recordId = (uint16_t)records[i].recordId;
        entry.method = (uint16_t)records[i].method;
        entry.offset = offset;
        entry.storedLength = records[i].length;
        entry.decodedLength = records[i].length;
        memcpy(file + sizeof header + (size_t)i * sizeof entry, &entry, sizeof entry);
        if (records[i].length) {
            memcpy(file + offset, records[i].data, records[i].length);
            EncodeRecordData(file + offset, records[i].method, records[i].length, taxYear);
        }
        offset += records[i].length;
    }
    memcpy(file, &header, sizeof header);
    header.checksum = ComputePackedChecksum(file, (uint32_t)total);
    ScramblePackedHeader(&header);
    memcpy(file, &header, sizeof header);
    int ok = WriteFileReplacing(path, file, (uint32_t)total, &why);
    MemFree(file);
    if (!ok)
        ReportWriteFailure(path, why);
    return ok;
}
