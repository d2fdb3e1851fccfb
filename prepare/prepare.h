// prepare.h - public interface of e-file preparation: field-table lookups, taxpayer item
// resolution, form keys, header strings, main-form pages, name line, edit rules, attachments.
#ifndef LEVYLINE_PREPARE_H
#define LEVYLINE_PREPARE_H

#include "store/store.h"

// ---- field tables and taxpayer items ----

// Field-table lookups. mode 1: the index of the field whose sequence number equals key (through
// the sorted index); mode 2: the index of the first field (from 1) whose type code begins with
// key; mode 3: the index of the field whose byte offset (its value list as a number) equals key.
// Returns 0 when none (index 0 is the dummy record). With report 1 a missing sequence number is
// shown ("Field Sequence Number Not Found").
int FindLayoutField(const FieldTable *table, int mode, const char *key, int report);
// Frees a field table, its records' texts and rectangles, its index and the table. Accepts null.
int FreeLayoutTable(FieldTable *table);

// Value kinds of taxpayer items (the kind codes of GetFieldEntryKind).
// What one taxpayer item is: the record member behind it and how it is typed.
struct TaxpayerItemInfo {
    char kindChar;        // '0'..'8'
    char itemLetter;      // for kinds '1' and '2', else 0
    int offset;           // member offset in OpenReturn (person kinds: the taxpayer's)
    int size;             // member size in bytes
    int kind;             // validation kind
    int subkind;          // validation sub-kind
    char baseLetter;      // the type letter the item is entered and checked as ('A', 'N', 'D' ...)
    int perReturn;        // 1 when the member belongs to the return, not the person
};
// Looks up a taxpayer item; 1 with *infoOut filled, 0 for an unknown item.
int GetTaxpayerItemInfo(char kindChar, char itemLetter, TaxpayerItemInfo *infoOut);
// Resolves a taxpayer part: itemLetter and part (its taxKind) name the item; *kindOut and
// *subkindOut receive the value kind and sub-kind (either may be null). With record given,
// values (up to 3 pointers, may be null) receive the item's value pieces (a street with its
// apartment gives two). *memberOut (may be null) = the member's address in record.
// Returns the number of value pieces (at least 1) for a known item, 0 for an unknown one.
int ParseTaxpayerFieldType(char itemLetter, const FieldFormatPart *part, const char *bracketText,
                           int *kindOut, int *subkindOut, OpenReturn *record,
                           const char **values, char **memberOut, int *memberSizeOut);
// Maps the sub-letter of a 'P' part to its validation kind and sub-kind; 1 when known, else 0.
int ParsePTypeCode(char subLetter, const FieldFormatPart *part, const char *bracketText,
                   int *kindOut, int *subkindOut);

// Stores an edited taxpayer item (itemCode: the text after "T[", e.g. "1a", "2y", "3", "1a:3")
// into record under its edit rules (digits of SSNs, EINs, PINs and ZIP codes, dates as
// mm/dd/yyyy, states as abbreviations, phones as ten digits; a value that does not fit its
// member is refused). Name edits rebuild the name line. typeCode may be null. Returns 0 when the
// rules refuse the value (nothing stored), else 1.
int ApplyFieldEditRules(const char *itemCode, const char *text, OpenReturn *returnRecord,
                        const char *typeCode);
// Builds the name line into destination (size bytes) from names: taxpayer first, middle, last,
// suffix and (count 8) spouse first, middle, last, suffix; null entries count as empty.
// "JOHN A SMITH", "JOHN A & JANE B SMITH", "JOHN A SMITH & JANE B DOE"; middle initials, then
// suffixes are left out when the line would not fit. Returns the length written.
int BuildNameLine(char *destination, int size, const char *const *names, int count);

// ---- form keys, header strings and main-form pages ----

// Mode 2: formName without a leading "Form " or "Schedule " (and without an existing prefix),
// with prefix put in front ("Form 1040" -> "1040"); other modes: prefix + formName. Writes into
// out (FORM_NAME_SIZE bytes) and returns it; with out null returns a new MemAlloc text.
char *BuildFormKey(const char *formName, const char *prefix, char *out, int mode);
// Pointers to the first three zero-separated texts of a read FormPak's header record (any
// output may be null; missing texts give ""); the first is the form name ("Form 941").
// Returns the number of texts found (at most 3).
int GetHeaderStrings(FileRecord *formPakRecord, const char **first, const char **second,
                     const char **third);
// The 1-based row of the main-form page table matching pageKey (and jurisdiction, 0 = any),
// 0 when the page is no main-form page.
int FindMainFormPage(const char *pageKey, int jurisdiction, int reserved1, int reserved2);
// The return type (1040, 4868, 540, 2401, 2402, 940 ... 945, 9401.. for "-X" forms, 9400 PIN
// request) and part letter ('F', 'S', 'O') of a table row; 1, or 0 for a row outside the table.
int GetMainFormRow(int row, int *returnTypeOut, char *partOut);
// Which returns the open return holds (a main-form page of the federal, state, other part);
// outputs may be null. Returns how many are present.
int FindMainReturnForm(int *federalOut, int *stateOut, int *otherOut);

// ---- attachments ----
#define PDF_ATTACHMENT_MAX_BYTES (60u * 1024u * 1024u)
// 1 when path names a readable file that begins with "%PDF" and is at most the limit; with
// report 1 a refusal is shown ("Attach File").
int CheckPdfAttachment(const char *path, int report);

#include "prepare/taxpayer_combined.h"

#endif // LEVYLINE_PREPARE_H
