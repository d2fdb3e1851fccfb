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

#endif // LEVYLINE_PREPARE_H
