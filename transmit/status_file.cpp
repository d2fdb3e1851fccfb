// status_file.cpp - the status block of "QvrStatx.dat": reading it into checked entries, and
// building one (the status check writes it; tests make their own).
#include "transmit/transmit.h"

#include <stdio.h>
#include <string.h>

// Makes every text member of an entry end inside its member.
static void TerminateEntryTexts(BatchStatusEntry *entry)
{
    entry->returnId[sizeof entry->returnId - 1] = 0;
    entry->sentDate[sizeof entry->sentDate - 1] = 0;
    entry->statusDate[sizeof entry->statusDate - 1] = 0;
    entry->businessName[sizeof entry->businessName - 1] = 0;
    entry->message[sizeof entry->message - 1] = 0;
}

static int IsKnownPartLetter(char letter)
{
    return letter == 'F' || letter == 'S' || letter == 'O';
}

static void LogStatusBlockProblem(const char *what, unsigned value)
{
    char line[160];
    snprintf(line, sizeof line, "999 BST: status block %s (%u)\r\n", what, value);
    WriteLogLine(line);
}

BatchStatusEntry **ParseBatchStatusBlock(const void *block, uint32_t length, int *countOut)
{
    if (countOut)
        *countOut = 0;
    if (!block || length < sizeof(BatchStatusHeader))
        return 0;
    BatchStatusHeader head;
    memcpy(&head, block, sizeof head);
    if (memcmp(head.magic, BATCH_STATUS_MAGIC, 4) != 0) {
        LogStatusBlockProblem("has no QVBS mark", 0);
        return 0;
    }
    if (head.entrySize < sizeof(BatchStatusEntry)) {
        LogStatusBlockProblem("entry size too small", head.entrySize);
        return 0;
    }
    // Only whole entries inside the block are read, and never more than the limit.
    uint32_t available = (length - (uint32_t)sizeof head) / head.entrySize;
    uint32_t count = head.entryCount;
    if (count > available) {
        LogStatusBlockProblem("is shorter than its entry count", head.entryCount);
        count = available;
    }
    if (count > BATCH_STATUS_MAX_ENTRIES) {
        LogStatusBlockProblem("has too many entries", head.entryCount);
        count = BATCH_STATUS_MAX_ENTRIES;
    }
    size_t pointerBytes = ((size_t)count + 1) * sizeof(BatchStatusEntry *);
    uint8_t *memory = (uint8_t *)MemAlloc(64, pointerBytes + (size_t)count * sizeof(BatchStatusEntry));
    if (!memory)
        return 0;
    BatchStatusEntry **list = (BatchStatusEntry **)memory;
    BatchStatusEntry *slots = (BatchStatusEntry *)(memory + pointerBytes);
    const uint8_t *source = (const uint8_t *)block + sizeof head;
    int kept = 0;
    for (uint32_t i = 0; i < count; i++) {
        BatchStatusEntry *entry = &slots[kept];
        memcpy(entry, source + (size_t)i * head.entrySize, sizeof *entry);
        if (!IsKnownPartLetter(entry->partLetter)) {
            LogStatusBlockProblem("entry with an unknown part letter dropped", (uint8_t)entry->partLetter);
            continue;
        }
        TerminateEntryTexts(entry);
        // The jurisdiction code indexes the state table: only the states and DC are taken.
        if (entry->jurisdiction > 51)
            entry->jurisdiction = 0;
        list[kept++] = entry;
    }
    list[kept] = 0;
    if (countOut)
        *countOut = kept;
    return list;
}

void *BuildBatchStatusBlock(const BatchStatusEntry *entries, int count, const SYSTEMTIME *checkedAt,
                            uint32_t *lengthOut)
{
    if (lengthOut)
        *lengthOut = 0;
    if (count < 0 || count > BATCH_STATUS_MAX_ENTRIES || (count > 0 && !entries))
        return 0;
    uint32_t length = (uint32_t)(sizeof(BatchStatusHeader) + (size_t)count * sizeof(BatchStatusEntry));
    uint8_t *block = (uint8_t *)MemAlloc(64, length);
    if (!block)
        return 0;
    BatchStatusHeader head;
    memset(&head, 0, sizeof head);
    memcpy(head.magic, BATCH_STATUS_MAGIC, 4);
    head.version = BATCH_STATUS_VERSION;
    head.entrySize = (uint16_t)sizeof(BatchStatusEntry);
    head.entryCount = (uint32_t)count;
    if (checkedAt)
        head.checkedAt = *checkedAt;
    memcpy(block, &head, sizeof head);
    if (count > 0)
        memcpy(block + sizeof head, entries, (size_t)count * sizeof(BatchStatusEntry));
    if (lengthOut)
        *lengthOut = length;
    return block;
}

BatchStatusEntry **FreeBatchStatusEntries(BatchStatusEntry **entries)
{
    MemFree(entries);
    return 0;
}

int GetStatusFilePath(char *buffer, int bufferSize)
{
    if (!buffer || bufferSize <= 0)
        return 0;
    buffer[0] = 0;
    char folder[MAX_PATH];
    if (!GetProgramFolder(folder, FOLDER_DATA))
        return 0;
    int n = snprintf(buffer, bufferSize, "%s\\%s", folder, STATUS_FILE_NAME);
    if (n < 0 || n >= bufferSize) {
        buffer[0] = 0;
        return 0;
    }
    return 1;
}

BatchStatusEntry **ReadBatchStatusFile(const char *path, int *countOut)
{
    if (countOut)
        *countOut = 0;
    char ownPath[MAX_PATH];
    if (!path || !path[0]) {
        if (!GetStatusFilePath(ownPath, sizeof ownPath))
            return 0;
        path = ownPath;
    }
    if (!FileExists(path)) {
        // No status check has run yet: no entries.
        return (BatchStatusEntry **)MemAlloc(64, sizeof(BatchStatusEntry *));
    }
    FileRecord file;
    memset(&file, 0, sizeof file);
    BatchStatusEntry **entries = 0;
    if (!ReadDataFile(path, 0, &file, READ_DATA_QUIET)) {
        LogStatusBlockProblem("file could not be read", 0);
    } else if (file.fileType != FILE_TYPE_STATUS || !file.slots[REC_BATCH_STATUS].data) {
        LogStatusBlockProblem("file is no status file", file.fileType);
    } else {
        entries = ParseBatchStatusBlock(file.slots[REC_BATCH_STATUS].data, file.slots[REC_BATCH_STATUS].length,
                                        countOut);
    }
    ReleaseFileRecord(&file, 0);
    return entries;
}
