// packed.h - the packed data files: FormPaks, return files and their records;
// reading, decoding, writing.
// Part of the store's public interface: include store/store.h.
#ifndef LEVYLINE_STORE_PACKED_H
#define LEVYLINE_STORE_PACKED_H

#include <windows.h>
#include <stdint.h>

#include "store/form_model.h"

// ---- packed data files ----
// FormPak page-directory entry (in memory, as decoded). One entry is one page, named by its
// form name; the page key is name + "." + pageNumber.
#define PAGE_FLAG_MAIN_FORM  1
#define PAGE_FLAG_LANDSCAPE  2
struct PageDirectoryEntry {
    uint32_t nameOffset;      // form name: offset into the file record's string pool
    uint16_t maxCopies;       // largest number of copies of the form offered
    uint8_t copiesToAdd;      // copies-to-add mark (start dialogs write it, adding reads it)
    uint8_t pageNumber;       // 1-based page of the form
    uint8_t jurisdiction;     // as FormInstance.jurisdiction
    uint8_t flags;            // PAGE_FLAG_*
    uint16_t imageSource;     // as FormInstance.imageSource
    uint32_t imageStart;      // image range as in FormInstance
    uint32_t imageEnd;
    uint32_t fieldStart;      // first byte of this page's field definitions in the field record
    uint32_t fieldLength;     // their byte length
    uint16_t fieldCount;      // fields (without the dummy record 0)
    uint16_t orderKey[2];     // sort keys of the forms tree
    uint16_t reserved;
};
static_assert(sizeof(PageDirectoryEntry) == 36, "PageDirectoryEntry is 36 bytes");

// Return-file form-directory entry: 28 bytes.
struct FormDirectoryEntry {
    uint32_t pageKeyOffset;   // page key ("Form 1040.1"): offset into the string pool
    uint32_t pairOffset;      // field-pair data: offset into the field-pair record
    uint32_t pairCount;       // number of field pairs
    uint32_t formPakOffset;   // FormPak file name: offset into the string pool
    uint16_t formIndex;       // index in that FormPak's page directory
    uint16_t taxYear;         // the form's tax year
    uint8_t jurisdiction;
    uint8_t flags;            // PAGE_FLAG_* and FORM_FLAG_AMENDED
    uint16_t copyNumber;
    uint32_t pairLength;      // byte length of the field-pair data
};
static_assert(sizeof(FormDirectoryEntry) == 28, "FormDirectoryEntry is 28 bytes");
#define FORM_FLAG_AMENDED 4

#define PROGRAM_TAX_YEAR   2024   // the tax year of this program, its returns and FormPaks

// Packed file types.
#define FILE_TYPE_FORMPAK  1
#define FILE_TYPE_RETURN   2
#define FILE_TYPE_UPLOAD   3
#define FILE_TYPE_STATUS   4

// The packed data-file container (docs/file-formats.md): a 312-byte header, stored scrambled,
// then entryCount 16-byte entries, then the records.
#define PACKED_MAGIC          "QVPK"
#define PACKED_VERSION        1
#define PACKED_MAX_ENTRIES    64
#define PACKED_MAX_FILE_LENGTH (256u * 1024u * 1024u)
struct PackedFileHeader {
    char magic[4];            // 0: "QVPK"
    uint16_t version;         // 4: PACKED_VERSION
    uint16_t fileType;        // 6: FILE_TYPE_*
    uint16_t taxYear;         // 8
    uint16_t entryCount;      // 10
    uint32_t fileLength;      // 12: the whole file
    uint32_t checksum;        // 16: CRC-32 of the file with the header clear and this word 0
    uint32_t flags;           // 20
    char writer[64];          // 24: the writing program's text
    uint8_t keyArea[224];     // 88: key material of upload packages; zero otherwise
};
static_assert(sizeof(PackedFileHeader) == 312, "PackedFileHeader is 312 bytes");
struct PackedFileEntry {
    uint16_t recordId;        // REC_*
    uint16_t method;          // RECORD_METHOD_*
    uint32_t offset;          // file offset of the stored bytes
    uint32_t storedLength;    // bytes in the file
    uint32_t decodedLength;   // bytes after decoding (never more than storedLength)
};
static_assert(sizeof(PackedFileEntry) == 16, "PackedFileEntry is 16 bytes");
// Record encoding methods (decoding works in place and never grows the data).
#define RECORD_METHOD_PLAIN   0
#define RECORD_METHOD_XOR     1   // XOR with the tax-year keystream

// One decoded record of a read data file.
struct FileRecordSlot {
    uint8_t *data;            // MemAlloc block (one zero byte past the data), null when absent
    uint32_t length;
};
// Record ids (slot index = id).
#define REC_HEADER_STRINGS   0   // zero-separated texts; the first is the form name
#define REC_PAGE_DIRECTORY   1   // FormPak page directory (PageDirectoryEntry array)
#define REC_STRING_POOL      2   // length-prefixed texts and blobs
#define REC_FIELD_DEFS       3   // FormPak field definitions
#define REC_PAGE_DEFS        4   // PCL page definitions (read on demand by offset)
#define REC_PAGE_BITMAPS     5   // compressed BMP pages (read on demand by offset)
#define REC_RETURN           6   // OpenReturn record (size word first)
#define REC_FORM_DIRECTORY   7   // return-file form directory (FormDirectoryEntry array)
#define REC_FIELD_PAIRS      8   // return-file field values
#define REC_NOTES            9   // return notes (three zero-separated texts)
#define REC_BATCH_STATUS     10  // status file block
#define REC_SLOT_COUNT       11

// The in-memory result of reading a packed data file (108 bytes).
struct FileRecord {
    uint16_t fileType;                  // 0: FILE_TYPE_*
    uint16_t taxYear;                   // 2
    uint16_t pageCount;                 // 4: FormPak page-directory entries
    uint16_t formCount;                 // 6: return-file form-directory entries
    FileRecordSlot slots[REC_SLOT_COUNT]; // 8..95: decoded records by id (page records are
                                        //     loaded only with READ_DATA_PAGES)
    PackedFileEntry *entries;           // 96: owned copy of the file's entries (checked)
    uint32_t entryCount;                // 100
    char *path;                         // 104: owned copy of the file's path
};
static_assert(sizeof(FileRecord) == 108, "FileRecord is 108 bytes");
// Typed views of a file record's slots (null when absent).
inline PageDirectoryEntry *GetPageDirectory(FileRecord *f)
{ return (PageDirectoryEntry *)f->slots[REC_PAGE_DIRECTORY].data; }
inline FormDirectoryEntry *GetFormDirectory(FileRecord *f)
{ return (FormDirectoryEntry *)f->slots[REC_FORM_DIRECTORY].data; }
// The string-pool text at offset, or "" when the offset is not the start of a pool entry.
// *lengthOut (may be null) = the entry's byte length (binary entries may hold zero bytes).
const char *GetPoolString(const FileRecord *f, uint32_t offset);
const char *GetPoolEntry(const FileRecord *f, uint32_t offset, uint32_t *lengthOut);
// The entry of a record id in a read file, or null.
const PackedFileEntry *FindFileEntry(const FileRecord *f, int recordId);

// Reading data files (store/packed_read.cpp). Never trusts the file: every offset, length,
// count and index is checked; a damaged file is refused with a "999 FHE: " log line and a
// message box, and nothing partial is returned (the record is left empty).
#define READ_DATA_PAGES 1   // mode bit: also load the page-definition and page-bitmap records
#define READ_DATA_QUIET 2   // mode bit: log only, no message box
// The record is overwritten (release an earlier content first). 1 on success.
int ReadDataFile(const char *path, int reserved, FileRecord *fileRecord, int mode);
// ReadDataFile that also gives the reason of a refusal ("its checksum does not match") in
// *whyOut (may be null; set to null when the file was read). A file another program holds open
// without sharing it for reading gives READ_REASON_IN_USE.
#define READ_REASON_IN_USE "it is in use by another program"
int ReadDataFileWithReason(const char *path, FileRecord *fileRecord, int mode, const char **whyOut);
// Frees what the record holds and zero-fills it (returnRecord is not touched; may be null).
int ReleaseFileRecord(FileRecord *fileRecord, OpenReturn *returnRecord);
// Decodes length bytes of buffer in place by method; out must equal buffer (in place only).
// Returns the byte count (0 for an unknown method).
int DecodeRecordData(int reserved, void *buffer, int method, int reserved2, void *out,
                     uint32_t length, int reserved3, uint16_t taxYear);
// The reverse of DecodeRecordData (in place, same length); returns the byte count.
int EncodeRecordData(void *buffer, int method, uint32_t length, uint16_t taxYear);
// The index of pageKey ("Form 1040.1", case ignored) in the FormPak's page directory, or -1.
// copyValueOut = the entry's largest number of copies, taxYearOut = the FormPak's tax year.
int FindFormInFormPak(const char *formPakPath, const char *pageKey, int *copyValueOut,
                      uint16_t *taxYearOut);
// The same on a read FormPak record; -1 when absent.
int FindPageInFileRecord(FileRecord *formPak, const char *pageKey);
// Reads one record of a FormPak by its entry values (file offset, stored length, method) and
// decodes it. With buffer null returns the decoded length; otherwise fills buffer (bufferSize
// bytes; length + 1 recommended) and returns the bytes written; 0 on any failure (logged).
uint32_t ReadFormPakRecord(const char *formPakPath, uint32_t offset, uint32_t storedLength,
                           uint32_t method, uint16_t taxYear, uint8_t *buffer, uint32_t bufferSize);
// The page-data cache, keyed by FormPak record and (offset, stored length, method).
// GetCachedPageData returns the cached bytes (and *lengthOut) when the key matches, else null.
const uint8_t *GetCachedPageData(struct FormPakRecord *source, uint32_t offset, uint32_t stored,
                                 uint32_t method, uint32_t *lengthOut);
// Takes ownership of data (MemAlloc block of length + 1 bytes) as the cached page record.
void SetCachedPageData(struct FormPakRecord *source, uint32_t offset, uint32_t stored,
                       uint32_t method, uint8_t *data, uint32_t length);
// Frees the cache; call whenever FormPak records are freed.
void ClearCachedPageData(void);

// Pages and fields from read files (store/return_load.cpp).
// The field table of page pageIndex of a read FormPak (with the dummy record 0), or null.
FieldTable *BuildFieldTableFromFormPak(FileRecord *formPak, int pageIndex);
// A new page record (kind 3) for page pageIndex of a read FormPak: image references, key,
// display name, field table; formPakPath is copied (owned). Not filed in the forms tree.
FormInstance *CreatePageRecord(FileRecord *formPak, int pageIndex, const char *formPakPath,
                               int copyNumber);
// Stores the saved values of form formIndex of a read return file into table (fields found by
// sequence number; unknown numbers skipped). clearFirst empties every value first. Returns the
// number of values stored, -1 when the form's data is damaged (nothing stored).
int ApplyReturnFieldPairs(FileRecord *returnFile, int formIndex, FieldTable *table, int clearFirst);

// Pieces of the packed format shared by readers and writers (store/packed_codec.cpp).
// The header's scrambling (its own inverse) and the file checksum.
void ScramblePackedHeader(void *header);
uint32_t ComputePackedChecksum(const uint8_t *file, uint32_t length);
uint32_t ComputePackedChecksumParts(const PackedFileHeader *clearHeader, const uint8_t *rest,
                                    uint32_t restLength);
// A growing MemAlloc byte buffer (always one zero byte past the data). After a failed append
// `failed` is set and further appends do nothing.
struct PackBuffer {
    uint8_t *data;
    uint32_t length;
    uint32_t capacity;
    int failed;
};
int PackAppend(PackBuffer *b, const void *data, uint32_t length);   // data null: zeros
int PackAppendU16(PackBuffer *b, uint16_t v);
int PackAppendU32(PackBuffer *b, uint32_t v);
void PackFree(PackBuffer *b);
// Appends a string-pool entry (u32 length, bytes, zero) and returns its offset (0 on failure).
uint32_t PackPoolString(PackBuffer *pool, const void *data, uint32_t length);
// 1 when bytes may be held by text word `word` of a FieldRecord: no zero bytes, or for word 9 a
// "qvbb" block of exactly its stated length.
int CheckFieldWordBytes(int word, const uint8_t *bytes, uint32_t length);
// Field definitions of one page: fields[1..count-1] (fields[0] is the dummy) appended to out.
int EncodeFieldDefinitions(PackBuffer *out, const FieldRecord *fields, int count);
// Checks a page's run of count field definitions; with tableOut builds its FieldTable (dummy
// record 0, sorted index). 0 with *whyOut (may be null) = the reason when the run is damaged.
int DecodeFieldDefinitions(const uint8_t *data, uint32_t length, int count, FieldTable **tableOut,
                           const char **whyOut);
// The field pairs of a table (values and second words) appended to out.
int EncodeFieldPairs(PackBuffer *out, const FieldTable *table, uint32_t *pairCountOut);
// Walks count field pairs, checking each; calls proc (may be null) per pair. proc returns 0 to
// fail the walk. 0 with *whyOut when the data is damaged.
typedef int (*FieldPairProc)(void *context, int word, const char *seq, uint32_t seqLength,
                             const uint8_t *value, uint32_t valueLength);
int WalkFieldPairs(const uint8_t *data, uint32_t length, uint32_t count, FieldPairProc proc,
                   void *context, const char **whyOut);

// Writing data files (store/packed_write.cpp). The file is written to "<path>.tmp" and renamed
// over path only when complete; on failure the previous file is untouched.
struct PackedRecordDesc {
    int recordId;
    int method;
    const void *data;
    uint32_t length;
};
// The file offset that record index of records will get.
uint32_t GetPackedRecordOffset(const PackedRecordDesc *records, int count, int index);
int WritePackedFile(const char *path, int fileType, uint16_t taxYear, const char *writer,
                    const PackedRecordDesc *records, int count);
// One page of a FormPak to write.
struct FormPakPageDesc {
    const char *formName;     // "Form 1040"
    int pageNumber;           // 1-based
    int maxCopies;
    int jurisdiction;
    int flags;                // PAGE_FLAG_*
    int imageSource;          // IMAGE_SOURCE_*
    const uint8_t *image;     // PCL stream, or a "_rvq" compressed BMP block
    uint32_t imageLength;
    const FieldRecord *fields; // fields[0] is the dummy record (skipped)
    int fieldCount;            // including the dummy
    uint16_t orderKey[2];
};
// Writes a FormPak; headerStrings: count texts (the first the form name). method: record
// encoding method of the records. 1 on success.
int WriteFormPak(const char *path, uint16_t taxYear, const char *const *headerStrings,
                 int headerCount, const FormPakPageDesc *pages, int pageCount, int method);
// Writes a return file of record, the given pages (their values and second texts) and the three
// notes (note to IRS, note to self, regulatory explanation; any may be null). 1 on success.
int WriteReturnFile(const char *path, const OpenReturn *record, FormInstance *const *pages,
                    int count, const char *const notes[3]);

#endif // LEVYLINE_STORE_PACKED_H
