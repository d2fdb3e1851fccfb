// packed_write.cpp - writing a packed data file: the whole file is built in memory, then replaces
// the target through a temporary file beside it (ReplaceFileContents).
#include "store/store.h"

#include <stdio.h>
#include <string.h>

uint32_t GetPackedRecordOffset(const PackedRecordDesc *records, int count, int index)
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
    char text[1000];
    snprintf(text, sizeof text, "The file %.260s could not be written: %s.\r\n\r\n"
             "The previous copy of the file, if any, was not changed.", path ? path : "", why);
    ShowMessageBox(NULL, text, "Error Writing File", MB_OK | MB_ICONEXCLAMATION);
}

int WritePackedFile(const char *path, int fileType, uint16_t taxYear, const char *writer,
                    const PackedRecordDesc *records, int count)
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
    int ok = ReplaceFileContents(path, file, (uint32_t)total, &why);
    MemFree(file);
    if (!ok)
        ReportWriteFailure(path, why);
    return ok;
}
