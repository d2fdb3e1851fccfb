// imports.h - importing rows of a statement from a text file (the import parser and the
// reading of import files), importing form data from another return file and the taxpayer data
// of another return record. No resource template: it asks through message boxes and the
// system's file dialogs.
#ifndef LEVYLINE_ENTRY_IMPORTS_H
#define LEVYLINE_ENTRY_IMPORTS_H

#include <windows.h>
#include <commctrl.h>
#include <stdint.h>

#include "store/store.h"

// ---- import files ----
// Separators of the parser's output: each piece ends at IMPORT_FIELD_END (the last piece of a
// record at IMPORT_RECORD_END instead), each record with IMPORT_RECORD_END.
#define IMPORT_FIELD_END   '\x01'
#define IMPORT_RECORD_END  '\x02'
// The most records a page's import button takes.
#define IMPORT_MAX_RECORDS 1000
// The largest import file read (bytes): far above 1,000 rows of any statement.
#define IMPORT_MAX_FILE_SIZE (4u * 1024u * 1024u)
// Spare bytes ReadImportFile leaves after the text's terminating zero (the parser may append one
// record end).
#define IMPORT_BUFFER_SPARE 2
// The pause before each parsing step, so its status text can be read (tests set 0).
extern int gImportStepPauseMs;

// Reads an import file into a new MemAlloc text (the caller frees it) with every line end (CR
// LF, lone CR, lone LF) written as CR LF; *bufferSizeOut receives the buffer's size (text, zero
// and IMPORT_BUFFER_SPARE). Refuses, with a message on owner: an unreadable file, a file above
// IMPORT_MAX_FILE_SIZE, UTF-16 text or a UTF-8 byte-order mark, and zero bytes (no text file).
char *ReadImportFile(HWND owner, const char *path, uint32_t *bufferSizeOut);
// The same on bytes in memory (no file): the reading checks and the line ends. Null (message
// shown) when refused.
char *NormalizeImportText(HWND owner, const uint8_t *data, uint32_t length, uint32_t *bufferSizeOut);

// Parses the text of an import file in place into records (pieces ended by IMPORT_FIELD_END,
// records by IMPORT_RECORD_END) in eleven steps, each announced on the status bar. text holds
// bufferSize bytes (lines ended by CR LF). columnFields: the statement's column fields in column
// order, columnFieldCount of them readable (the header check looks at no more); columns: the
// pieces expected per line; jurisdiction: the page's code; maxRecords: records kept. Asks about a
// header line, invalid characters; reports a piece-count mismatch and too many records (the
// excess is cut). 1 when parsed, 0 when the user cancelled, the file was refused or holds no
// record (the text is then partly rewritten; discard it). The status text is left to the caller.
int ParseImportFile(HWND owner, char *text, uint32_t bufferSize, FieldRecord *columnFields, int columnFieldCount,
                    int columns, uint8_t jurisdiction, int maxRecords);

// Steps of the parser that ask nothing (in place; each returns the new length of text).
// Step 1: cuts trailing commas, TABs, blanks and line ends after the last line with data.
int CutImportTrailingRubbish(char *text, int length);
// Step 3: a record that begins with "//" (after blanks) keeps only "//" and its line end.
int StripImportComments(char *text, int length);
// Step 6: quoted pieces holding commas: "1,200" becomes 1200, "Smith, John" becomes John Smith.
int RewriteImportQuotedPieces(char *text, int length);
// Steps 7 and 8: quotes removed, separators and line ends turned into field and record ends,
// blanks next to them and repeated hyphens dropped (one pass).
int ConvertImportSeparators(char *text, int length);
// Step 9: surplus empty pieces past the columns of each record removed.
int DropImportSurplusPieces(char *text, int length, int columns);
// Step 10 (counting): the first record (numbered from 1, comments not counted) whose piece count
// is not columns and that is not blank; its pieces in *piecesOut. 0 when every record fits.
int FindImportPieceMismatch(const char *text, int columns, int *piecesOut);
// Step 10 (end) and 11: comment records and blank records removed, a record end appended when
// the text does not end with one and the buffer has room.
int DropImportCommentAndBlankRecords(char *text, int length, uint32_t bufferSize);
// The number of records (record ends) of parsed text.
int CountImportRecords(const char *text);

// ---- form data import ----
// One form of another return file as matched against the open return.
struct ImportFormEntry {
    int32_t sortKey;            // 9000 + directory index when unmatched, else the page's position
    uint32_t directoryIndex;
    const char *pageKey;        // in the file record's string pool
    const char *pageName;       // display name of the matched page
    uint16_t copyNumber;        // 0 for the first form of its page key in the file, 1 ...
    HTREEITEM pageItem;         // the matched page
    uint32_t matched;
};
// The number of forms of a return file; fills entries (count entries) when given and the
// file is a return file: copy numbers, matches against the open return, sorted.
int BuildImportFormList(FileRecord *fileRecord, ImportFormEntry *entries);
// Lists the forms, asks "Form Data Import" (unless noQuestion) and writes each matched form's
// values into its page (the edit bar closed and the recompute worker ended first). keep: the
// pages' values are kept where the file has none. Returns the number of pages written.
int ImportFormData(FileRecord *fileRecord, int noQuestion, int keep);
// The Minnesota property tax refund papers ("MN CRP.1", "MN PROPST.1") of a return file into
// the open return's pages. Returns the number of pages written.
int RemapMnCrpFields(FileRecord *fileRecord, uint16_t fileTaxYear);
// 1 when seq is one of the field numbers of a remap list ("0130;0140" or "0210->0130;..."),
// compared whole; with a "from->to" list *toOut (toSize bytes, may be null) receives the new number.
int FindRemapListEntry(const char *list, const char *seq, char *toOut, int toSize);
// The main window's "Import Data" command (IDM_IMPORTDATA).
LRESULT ImportDataCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
// The whole command on a chosen file: reads it, imports the taxpayer data, then the forms;
// redraws the page shown and asks for a recompute. 1 when anything was imported.
int RunImportData(const char *path);

// ---- taxpayer data import ----
// Copies the basic taxpayer data (identity, names, address, e-file signature values) of source,
// a return record of 3200, 2656 or 2560 bytes as its size word says (the caller guarantees that
// many readable bytes; any other size word is refused and nothing past the size is read). Without
// upgrade: refuses an e-filed destination ("Data Import Not Allowed"), asks "Taxpayer Data Import"
// and carries the signature values by sourceTaxYear (2024 as they are, 2023 rolled to prior-year).
// With upgrade: no question; destination becomes the source in the current layout. 1 = copied.
int ImportTaxpayerData(OpenReturn *destination, const void *source, uint16_t sourceTaxYear, int upgrade);
// Sets the text of the menu item with command id commandId (by command). 1 = set.
int SetMenuItemText(HMENU menu, UINT commandId, const char *text);

#endif // LEVYLINE_ENTRY_IMPORTS_H
