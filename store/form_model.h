// form_model.h - pages (form instances), field records and tables, soft fonts, the
// globals of the open return, field values, the page query and return and page names.
// Part of the store's public interface: include store/store.h.
#ifndef LEVYLINE_STORE_FORM_MODEL_H
#define LEVYLINE_STORE_FORM_MODEL_H

#include <windows.h>
#include <stdint.h>

#include "store/return_record.h"

// ---- pages and fields ----
// One field of a page or of a record layout: twelve 4-byte words. Words 0..9 are owned
// MemAlloc texts (null = empty).
// Word 9 (second) holds either a zero-ended text (overflow text, present flag) or a binary
// signature block: a block that starts with "qvbb" is a FieldClip whose length is 32 plus its
// u32 at byte 28 (GetFieldSecondLength). Store blocks with SetFieldBlob, texts with SetFieldText.
struct FieldRecord {
    char *seq;          // [0] sequence number text ("0010")
    char *description;  // [1]
    char *line;         // [2] line text of the form
    char *length;       // [3] length text ("12")
    char *typeCode;     // [4] type code ("N", "T[1a]", "S[sig]", "CN")
    char *valueList;    // [5] value list, literal or formula
    char *value;        // [6] current value text
    char *seqPrefix;    // [7] sequence prefix characters
    char *groupLabel;   // [8] "[group|label]"
    char *second;       // [9] second text or "qvbb" signature block (see above)
    RECT *rect;         // [10] rectangle in page units (300 dpi); null = not on the page
    uint16_t tabLinks[2]; // [11] previous, next field index in tab order
};
static_assert(sizeof(FieldRecord) == 48, "FieldRecord is twelve words");
#define TAB_PREVIOUS 0
#define TAB_NEXT     1

// A page's fields. fields[0] is a dummy record (index 0 means "not found" to FindLayoutField);
// count includes it. sortedIndex holds count - 1 field indexes (1..count-1) in ascending order
// of their sequence number texts (compared with strcmp).
struct FieldTable {
    int count;
    FieldRecord *fields;
    int *sortedIndex;
};

// One button of a page (four words).
struct FieldButtonSlot {
    HWND window;          // owner-drawn "BUTTON", 0 until created
    HBITMAP bitmap;       // 0 until loaded
    int action;           // action number from the field's type code
    FieldRecord *field;   // the button's field
};

// Image-source codes of a page.
#define IMAGE_SOURCE_PCL     0
#define IMAGE_SOURCE_PCL2    203
#define IMAGE_SOURCE_BMP     219
// Page kinds (first u16 of every forms-tree record).
#define PAGE_KIND_FORM       3
#define PAGE_KIND_GENERATED  4

// Jurisdiction codes of pages: the US states by their row in the state table (1..51), federal 100.
#define JURISDICTION_CALIFORNIA 5
#define JURISDICTION_MICHIGAN   23
#define JURISDICTION_MINNESOTA  24
#define JURISDICTION_FEDERAL    100

// One page of one form in the open return (136 bytes).
// Image range: for PCL pages [imageStart, imageEnd) and for BMP pages [imageStart, imageEnd]
// (inclusive), both as "record offset + position in the decoded record", so the bytes of the
// page are record[imageStart - recordOffset ...].
struct FormInstance {
    uint16_t kind;            // 0: 3 form page, 4 generated page
    uint8_t hasPageData;      // 2: 1 when the page has page data of its own
    uint8_t jurisdiction;     // 3: 100 federal, 97 withholding, 101 print and scan, 1..51 states
    uint16_t groupOrder;      // 4: set by the forms tree
    uint16_t imageSource;     // 6: 0/203 PCL, 219 compressed BMP
    uint32_t defOffset;       // 8: page-definition record: file offset, stored length, method
    uint32_t defLength;       // 12
    uint32_t defMethod;       // 16
    uint32_t bmpOffset;       // 20: page-bitmap record: file offset, stored length, method
    uint32_t bmpLength;       // 24
    uint32_t bmpMethod;       // 28
    uint32_t imageStart;      // 32: this page's image range (see above)
    uint32_t imageEnd;        // 36
    uint16_t fileYear;        // 40: tax year of the FormPak file
    uint16_t taxYear;         // 42: the form's tax year
    char *formPakPath;        // 44: the FormPak's path (points to the FormPakRecord's path or owned)
    FieldTable *fieldTable;   // 48: owned
    char *pageKey;            // 52: "Form 1040.1", owned
    char *displayName;        // 56: owned
    HTREEITEM treeItem;       // 60: set by the forms tree
    uint16_t shadingCode;     // 64: 0..8
    uint16_t buttonCount;     // 66
    HWND tooltip;             // 68
    FieldButtonSlot *buttons; // 72: buttonCount slots, owned
    uint16_t orderKey[2];     // 76: sort keys of the forms tree (filled at creation)
    uint32_t accentColor;     // 80: RGB, written by the forms tree
    uint8_t mainForm;         // 84: 1 = main-form page
    uint8_t amended;          // 85: 1 = amended main-form page
    uint8_t landscape;        // 86: 1 = landscape page (set by the PCL interpreter too)
    uint8_t ownsFormPakPath;  // 87: 1 when formPakPath is an owned copy
    uint16_t formIndex;       // 88: index in the FormPak's page directory
    uint16_t copyNumber;      // 90: 1-based copy of this page key in the return
    uint16_t pageNumber;      // 92: page number of the form (the number after the key's dot)
    uint16_t copyLimit;       // 94: largest number of copies of its form the FormPak offers
    void *blob;               // 96: owned copy of page data (generated pages), may be null
    uint32_t blobLength;      // 100
    HBITMAP pageBitmap;       // 104: cached page bitmap, owned, may be null
    HBITMAP thumbBitmap;      // 108: owned, may be null
    uint32_t reserved[6];     // 112..135
};
static_assert(sizeof(FormInstance) == 136, "FormInstance is 136 bytes");

// Soft-font store of the PCL interpreter: one record per font id.
#pragma pack(push, 1)
struct FontCharSlot {
    uint16_t byteCount;       // bytes of the character's bitmap rows
    uint8_t *rows;            // owned; freed when the return is closed
    uint8_t descriptor[16];   // PCL character descriptor (big-endian fields at bytes 6..15)
    uint8_t spare[2];
};
struct FormRecord {
    uint16_t id;              // font id
    uint8_t kind;
    uint8_t fontHeader[64];   // ESC ) s # W header
    FontCharSlot chars[255];  // character codes 0..254
};
#pragma pack(pop)
static_assert(sizeof(FontCharSlot) == 24, "FontCharSlot is 24 bytes");

// One part of a parsed type code.
struct FieldFormatPart {
    char letter;              // type letter (the format's first byte is the first part's letter)
    char sign;                // '+', '-' or 0
    uint8_t mark;             // 'a' and '*' parts, and 'z' bracket texts: zero-or-alternative mark
    uint8_t greaterMark;      // '>' taken off the end of the bracket text
    uint8_t lessMark;         // '<' taken off the end of the bracket text
    char colonDigit;          // digit after ':' in the bracket text, 0 when none
    uint16_t intDigits;       // integer digits
    uint16_t decimals;        // decimals
    char taxKind;             // 'T': kind character ('0'..'8')
    char itemLetter;          // 'T': item letter
    char itemFlag;            // 'T': flag character after the item letter
    char position;            // one-character position ('0'..'9'), 0 when none
    uint8_t lMark;            // 'i' / 'B': 'L' mark after the number
    uint8_t calculated;       // part of a 'C' / 'c' prefixed code
    int16_t number;           // 'i' / 'B': the number carried (-1 when none)
    char bracket[64];         // bracket text (without '>' / '<' and ':' digit)
};
#define FIELD_FORMAT_MAX_PARTS 5
struct FieldFormat {
    FieldFormatPart parts[FIELD_FORMAT_MAX_PARTS];
    int count;
    char prefix;              // 'C' or 'c' when the code is calculated, else 0
};

// Globals of the open return (defined in store/return_globals.cpp).
extern OpenReturn gOpenReturn;             // the one return record
extern OpenReturn *gOpenReturnPtr;         // = &gOpenReturn
extern char gReturnPath[260];              // the open return's file (empty: no file name yet)
extern int gReturnModified;                // 1 = unsaved changes
extern int gReturnLoading;                 // 1 while a return is loaded
extern int gFormRecordCount;               // loaded soft-font records
extern FormRecord *gCurrentFormRecord;     // current soft-font record
extern char gCurrentFormName[128];         // current form name (log lines)
extern uint8_t *gCachedPageData;           // page-definition record last read from a FormPak
extern uint32_t gCachedPageLength;         // its decoded length
extern uint32_t gCachedPageOffset;         // record file offset, stored length and method it came from
extern uint32_t gCachedPageStored;
extern uint32_t gCachedPageMethod;
extern struct FormPakRecord *gCachedPageSource; // the FormPak it came from

// Field values.
// Replaces the text in *slot by a copy of text (null/empty frees it). 1 when the text changed,
// 0 when equal; a change sets gReturnModified unless gReturnLoading.
int SetFieldText(char **slot, const char *text);
// Stores the one character text[position] as the value (empty text or a position past its end
// frees the slot). 1 when changed, else 0; marks the return modified as SetFieldText does.
int SetFieldChar(char **slot, const char *text, int position);
// Stores a "qvbb" signature block (its stated length must equal length) or a text of length
// bytes without zero bytes in *slot (null/0 frees it); 1 when changed, 0 when equal or refused.
// SetFieldText refuses texts beginning with "qvbb" (the block marker).
int SetFieldBlob(char **slot, const void *data, uint32_t length);
// The byte length of a field's second word: a "qvbb" block's length, else the text length.
uint32_t GetFieldSecondLength(const FieldRecord *field);
// The field's length text as a number (0 without a field or a length).
int GetFieldLength(const FieldRecord *field);
// Parses a type code into up to five parts; returns the number of parts (0 for null/empty).
int ParseFieldFormat(const char *typeCode, FieldFormat *formatOut, int skipFlag);
// The four integers of the field's "*"-prefixed attribute text (value list), 0 when missing.
int ParseFieldAttributes(const FieldRecord *field, int *a, int *b, int *c, int *d);

// Field tables.
#define FIELD_TABLE_MAX_FIELDS 16000
// A zero-filled table of count records (record 0 is the dummy), no index yet; null when count is
// outside 1..FIELD_TABLE_MAX_FIELDS. Freed with FreeLayoutTable.
FieldTable *CreateFieldTable(int count);
// (Re)builds table->sortedIndex: field indexes 1..count-1 in ascending strcmp order of their
// sequence numbers, equal numbers in table order. 1 on success. Call it again after changing
// count or a sequence number: FindLayoutField relies on count - 1 index entries.
int BuildSortedFieldIndex(FieldTable *table);
// Field-table lookups. mode 1: the index of the field whose sequence number equals key (through
// the sorted index); mode 2: the index of the first field (from 1) whose type code begins with
// key; mode 3: the index of the field whose byte offset (its value list as a number) equals key.
// Returns 0 when none (index 0 is the dummy record). With report 1 a missing sequence number is
// shown ("Field Sequence Number Not Found").
int FindLayoutField(const FieldTable *table, int mode, const char *key, int report);
// Frees a field table, its records' texts and rectangles, its index and the table. Accepts null.
int FreeLayoutTable(FieldTable *table);

// Page records.
// Frees a page record and what it owns (page key, display name, blob, bitmaps, buttons,
// field table, an owned FormPak path). Accepts null; returns null.
FormInstance *FreeFormInstance(FormInstance *page);
// Destroys a page's field-button windows and bitmaps and frees their array (buttons null, count 0).
void FreePageButtons(FormInstance *page);

// Page query over the open return (modes in store/return_pages.cpp). key is a text for the
// key modes, a 1-based position (intptr_t) for mode 15, an HTREEITEM for modes 16 and 17.
// outArray receives pages (mode 13: out[0] = the page of the found tree item); null = count.
int FindReturnPages(int mode, const void *key, FormInstance **outArray, intptr_t reference);
// The pages of a FindReturnPages query (mode and key as there) as a new MemAlloc array the caller
// frees, and their count in *countOut; null (count 0) when there are none or memory ran out.
FormInstance **SnapshotReturnPages(int mode, const void *key, int *countOut);
// The page queries take the pages in tree order from the forms tree
// (gAppCallbacks.enumerateReturnPages); without a forms tree, from the test page list: the pages
// of the return in order (null/0 clears it). The array is copied.
void SetTestReturnPages(FormInstance *const *pages, int count);

// Soft-font records (PCL interpreter).
// Makes the record of fontId current (gCurrentFormRecord), creating a zero-filled one when
// absent; returns it, or null when it cannot be made.
FormRecord *GetFormRecord(int fontId);
// Frees every soft-font record with its character rows (the return is closed); returns the count.
int FreeFormRecords(void);

// Return and page names.
#define FORM_NAME_SIZE 128
// The page's copy number when its form (page key) has two or more pages in the open return,
// else 0.
int GetFormCopyNumber(const FormInstance *page);
// Return type of formName (or, null/empty, of the open return's main form): 1040, 4868, 540,
// 2401 (MN M1), 2402 (MN M1PR); 0 for the 94x family or no main form.
int GetReturnType(const char *formName);
// Employment-tax return type of formName (or of the open return): 940, 941, 943, 944, 945,
// 9401 / 9411 / 9431 / 9441 / 9451 for the amended "-X" forms, 0 when not one.
int GetBusinessReturnType(const char *formName);
// Splits a page key ("Form 1040.2"). formPart (FORM_NAME_SIZE bytes, may be null) = "Form 1040";
// pagePart (16 bytes, may be null) = "2"; out (FORM_NAME_SIZE bytes, may be null) = mode 0
// "Form 1040, Page 2", mode 2 "Form 1040". Returns the page number (0 when the key has none).
int FormatFormDisplayName(char *formPart, char *pagePart, const char *pageKey, char *out, int mode);
// 1 when every page of the open return has taxYear; else 0, and with show set the message
// "Error Adding Forms To Return".
int ShowFormPakYearError(uint16_t taxYear, int show);

// One row of the main-form page table (store/main_forms.cpp). The amount fields are sequence
// numbers on the page amountPageKey of the same return (null: the form's FormPak is not known).
struct MainFormRow {
    const char *pageKey;          // "Form 1040.1"
    int jurisdiction;             // 0 = any
    int returnType;               // 1040, 4868, 540, 2401, 2402, 940 ... 945, 9401 ..., 9400
    char part;                    // 'F' federal, 'S' state, 'O' other return
    char shortText[64];           // "Form 1040"
    char longText[64];            // "U.S. Individual Income Tax Return (Form 1040)"
    const char *amountPageKey;    // the page holding the amounts ("Form 1040.2")
    const char *refundSeq;        // the amount overpaid
    const char *balanceSeq;       // the amount owed
    const char *depositSeq;       // a direct-deposit field (routing number): set = refund by deposit
};
// The row of FindMainFormPage, or null for a row outside the table.
const MainFormRow *GetMainFormRowInfo(int row);
// Main-form pages (store/main_forms.cpp).
// The 1-based row of the main-form page table matching pageKey (and jurisdiction, 0 = any),
// 0 when the page is no main-form page.
int FindMainFormPage(const char *pageKey, int jurisdiction, int reserved1, int reserved2);
// The return type (1040, 4868, 540, 2401, 2402, 940 ... 945, 9401.. for "-X" forms, 9400 PIN
// request) and part letter ('F', 'S', 'O') of a table row; 1, or 0 for a row outside the table.
int GetMainFormRow(int row, int *returnTypeOut, char *partOut);

#endif // LEVYLINE_STORE_FORM_MODEL_H
