// transmit.h - public interface of e-file transmission and updates.
// Layer: above store/, calc/ and prepare/; includes nothing of entry/, pages/, print/ or shell/.
//
// Several topics live in this one header; each has its own banner section.
#ifndef LEVYLINE_TRANSMIT_H
#define LEVYLINE_TRANSMIT_H

#include <windows.h>
#include <stdint.h>

#include "store/store.h"

// ---- status file ----
// The status file "QvrStatx.dat" in the data folder keeps the acknowledgement status of the
// returns sent from this computer: one entry per part (federal, state, other) of each return.
// Layout: docs/status-file.md.

#define STATUS_FILE_NAME         "QvrStatx.dat"
#define BATCH_STATUS_MAGIC       "QVBS"
#define BATCH_STATUS_VERSION     1
#define BATCH_STATUS_MAX_ENTRIES 20000   // more entries than this are not read

#pragma pack(push, 1)
// The 28-byte head of the status block.
struct BatchStatusHeader {
    char magic[4];            // 0: "QVBS"
    uint16_t version;         // 4: BATCH_STATUS_VERSION
    uint16_t entrySize;       // 6: bytes per entry (316; a larger size is stepped over)
    uint32_t entryCount;      // 8: entries that follow the head
    SYSTEMTIME checkedAt;     // 12: time of the last status check (UTC)
};
// One entry: one part of one sent return (316 bytes). Consecutive entries of one return share
// its identity text. Texts are zero-ended within their member.
struct BatchStatusEntry {
    char returnId[32];        // 0: return identity text
    char partLetter;          // 32: 'F' federal, 'S' state, 'O' other
    uint8_t jurisdiction;     // 33: row of the state table (1..51) for a state part, else 0
    char sentDate[20];        // 34: "mm/dd/yyyy hh:mm:ss" (UTC) when the part was sent
    char statusDate[20];      // 54: "mm/dd/yyyy hh:mm:ss" (UTC) of its last status
    char statusLetter;        // 74: 'A' accepted, 'P' pending, 'R' rejected, 0 unknown
    char rejectLetter;        // 75: reject-code letter, 0 when none
    uint16_t formCount;       // 76: forms in the part
    char businessName[72];    // 78: name line of the return (business or taxpayer names)
    char message[166];        // 150: message of the processing centre
};
#pragma pack(pop)
static_assert(sizeof(BatchStatusHeader) == 28, "BatchStatusHeader is 28 bytes");
static_assert(sizeof(BatchStatusEntry) == 316, "BatchStatusEntry is 316 bytes");

// Reads a status block (head and entries, as held in the status file's record) into a new
// null-terminated array of pointers to checked copies of its entries: every text is zero-ended
// within its member, a jurisdiction code that is no state row becomes 0, entries with an unknown
// part letter are dropped, and no entry is read past the block's end. The array and the entries
// are one MemAlloc block (free it with FreeBatchStatusEntries). *countOut (may be null) = the
// number of entries. Returns null for a block that is not a status block (empty array for a
// valid block without entries).
BatchStatusEntry **ParseBatchStatusBlock(const void *block, uint32_t length, int *countOut);
// Builds a status block of count entries (head included) in a new MemAlloc buffer; *lengthOut
// = its length. checkedAt may be null (zero time).
void *BuildBatchStatusBlock(const BatchStatusEntry *entries, int count, const SYSTEMTIME *checkedAt,
                            uint32_t *lengthOut);
// Frees an array from ParseBatchStatusBlock or ReadBatchStatusFile. Accepts null; returns null.
BatchStatusEntry **FreeBatchStatusEntries(BatchStatusEntry **entries);
// The status file's path (data folder + STATUS_FILE_NAME) into buffer (bufferSize bytes); 1 when
// it fit.
int GetStatusFilePath(char *buffer, int bufferSize);
// Reads the status file at path (null: the data folder's "QvrStatx.dat"), a packed data file of
// type FILE_TYPE_STATUS whose record REC_BATCH_STATUS holds the status block; the entries are
// checked as ParseBatchStatusBlock checks them. A missing file gives an empty array (*countOut
// 0); a file that cannot be read or holds no status block gives null after a "999 BST: " line.
BatchStatusEntry **ReadBatchStatusFile(const char *path, int *countOut);

#endif // LEVYLINE_TRANSMIT_H
