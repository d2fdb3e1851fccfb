// explain.h - the explanation dialog ("EXPLAIN": the return's notes and the explanation of one
// field) and the pre-send error list ("ERRORLIST", "Check Return"). Their templates and
// pictures: resources/explain.rc (with the forms tree's context menu; ids in explain_ids.h).
#ifndef LEVYLINE_ENTRY_EXPLAIN_H
#define LEVYLINE_ENTRY_EXPLAIN_H

#include <windows.h>
#include <stdint.h>

#include "entry/explain/explain_ids.h"
#include "store/store.h"

// ---- explanations ----

#define EXPLAIN_NOTE_TO_IRS      1
#define EXPLAIN_NOTE_TO_SELF     2
#define EXPLAIN_REGULATORY       3
#define EXPLAIN_FIELD            4
#define EXPLAIN_MAX_NOTE_CHARS   4000   // kinds 1 to 3
#define EXPLAIN_MAX_FIELD_LINES  97     // kind 4

// The explanation dialog's parameter.
struct ExplainRequest {
    uint32_t kind;            // EXPLAIN_*
    FieldRecord *field;       // kind 4: the field (its explanation is the second word)
    const char *pageKey;      // kind 4: the page key of the field's page
    uint32_t outputMode;      // 3 or 4: render without showing the dialog; else interactive
    HDC outputDc;             // output mode: the printer DC, or null to render page bitmaps
    HBITMAP *outputBitmaps;   // output mode: the report's page-bitmap slots (LIST_REPORT_MAX_BITMAPS)
    uint32_t outputFooter;    // output mode: 1 draws the footer band (date and page number)
    int outputResult;         // output mode: pages produced
};

INT_PTR CALLBACK ExplainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs "EXPLAIN" for the request. 1 after a save, 0 after Cancel (and in output mode).
INT_PTR ShowExplainDialog(HWND owner, ExplainRequest *request);
// The page view's road to a field's explanation (gWindowCallbacks.openExplainDialog).
INT_PTR OpenFieldExplanation(HWND owner, FieldRecord *field, const char *pageKey);
// One of the federal folder's notes (EXPLAIN_NOTE_TO_IRS .. EXPLAIN_REGULATORY), as the field
// buttons' drop-down menus open them.
INT_PTR OpenReturnExplanation(HWND owner, int kind);

// Checks of a typed explanation (no window needed).
// 1 when text begins with a blank, 2 with CR or LF, else 0.
int GetExplanationLeadKind(const char *text);
// Replaces 0x96 by '-', 0x91 and 0x92 by an apostrophe, 0x93 and 0x94 by a double quote, then
// removes trailing blanks, CR and LF. In place; returns the new length.
int CleanExplanationText(char *text);
// The number of lines of a text (CR LF, CR or LF end a line; "" has 1 line).
int CountExplanationLines(const char *text);
// The dialog caption of a field's explanation ("Form M1PR, Page 1 Line 5 - Rent paid") into out.
int BuildFieldExplanationCaption(const FieldRecord *field, const char *pageKey, char *out, int outSize);

// ---- pre-send error list ----

// One error (chained).
struct ErrorEntry {
    uint32_t callerWords[2];  // the caller's own use
    char *location;           // where (form, line); MemAlloc texts owned by the entry
    char *currentValue;       // the value found
    char *message;            // what is wrong
    ErrorEntry *next;
};
// The "ERRORLIST" dialog's parameter.
struct ErrorListRequest {
    OpenReturn *returnRecord; // its name line is printed with the list
    const char *errorFile;    // full path of the error file the caller wrote
    ErrorEntry *firstError;
};

INT_PTR CALLBACK ErrorListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs "ERRORLIST" for the request. Returns 0.
INT_PTR ShowErrorListDialog(HWND owner, ErrorListRequest *request);
// Appends a new entry (texts copied) at the end of the chain *first. 1 on success.
int AddErrorEntry(ErrorEntry **first, const char *location, const char *currentValue, const char *message);
// Frees a chain; returns null.
ErrorEntry *FreeErrorEntries(ErrorEntry *first);
// Checks the open return: every stored value against its field type, a main form present, the
// taxpayer's (or business's) name and identification number filled; on an individual return
// also the filing status ticked on Form 1040, the address, the refund and its direct deposit,
// the self-select PINs that sign and the birth dates. Appends the errors to *first and returns
// their number.
int CollectReturnErrors(OpenReturn *returnRecord, ErrorEntry **first);
// Writes the errors to path as text (the name line, then each error). 1 on success.
int WriteErrorFile(const char *path, OpenReturn *returnRecord, const ErrorEntry *first);
// Moves the error file to destination: copied first, deleted only after the copy succeeded.
// 1 moved; 0 not moved (the same file, or the copy failed), with the reason in why.
int MoveErrorFile(const char *errorFile, const char *destination, char *why, int whySize);
// "Check Return": collects the errors, writes "RtnErrors.txt" into the Temp folder and shows the
// list (or says that no error was found). Returns the number of errors.
int ShowReturnErrorList(HWND owner, OpenReturn *returnRecord);

#endif
