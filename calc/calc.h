// calc.h - public interface of the calculation and validation engine: the formula interpreter of
// calculated fields (language: docs/formulas.md), the recompute scheduler with its worker thread,
// the field validators and the taxpayer item table.
// Layer: above store/ only; includes nothing of prepare/, transmit/, entry/, pages/, print/ or shell/.
#ifndef LEVYLINE_CALC_H
#define LEVYLINE_CALC_H

#include <windows.h>
#include <stdint.h>

#include "store/store.h"

// ---- formulas ----

// 1 when the type code marks a calculated field (it begins with 'C' or 'c').
int IsCalculatedType(const char *typeCode);

// The pages formula references to other forms are looked up in. pages null: the open return's
// pages through FindReturnPages (user-interface thread only); otherwise this array (the worker's
// snapshot, or a test's pages).
struct FormulaPageSet {
    FormInstance *const *pages;
    int count;
};

// Evaluates a formula against table (fields of the same form) and the pages of pageSet (null =
// the open return), formatting a number by the result type typeCode (a calculated type such as
// "CN" or "CR[10.2]"). Writes the result text into out (outSize bytes; "" for a blank result).
// Returns 1, or 0 for a formula that does not follow the grammar (out emptied).
int EvaluateFormula(const char *formula, const char *typeCode, const FieldTable *table,
                    const FormulaPageSet *pageSet, char *out, int outSize);

// Computes one field against its table and stores the result as its value (SetFieldText). A
// calculated field ('C'/'c') gets its formula's result; a check-mark field ('x') that is marked
// clears the check marks paired with it (repainting them when formInstance is the page shown).
// A formula that does not follow the grammar leaves the value alone. Returns 1 when a value
// changed, else 0. formInstance may be null (a statement row's temporary table).
int ComputeField(FieldRecord *field, FieldTable *fieldTable, FormInstance *formInstance);
// ComputeField with the pages other forms are looked up in (null = the open return).
int ComputeFieldWith(FieldRecord *field, FieldTable *fieldTable, FormInstance *formInstance,
                     const FormulaPageSet *pageSet);

// What ExplainFieldFormula reports besides its text (the ten out-values).
struct FormulaExplainInfo {
    int onThisForm;      // a source field lies on the field's own form
    int onOtherForms;    // a source field lies on another form
    int copied;          // the value is copied from one field, not computed
    int formMissing;     // a source form is not in the return
    int taxpayerItem;    // first taxpayer-information indication: the formula is one taxpayer item
    int taxpayerOnly;    // second: the formula uses taxpayer items and no fields
    int generated;       // the value is generated from taxpayer information
    int assigned;        // the value is assigned by the program (constants only, or no formula)
    int sourceCount;     // first of the pair: the number of source fields listed
    int assignedOrGenerated; // second of the pair: 1 when assigned or generated
};
// A new MemAlloc text (freed with MemFree) listing the calculated field's source fields, one line
// each, CR LF between them: "Line 1a - Wages = 52,000" for the same form, "Schedule 1, Line 10 -
// Additional income = 1,200" for another, "* Schedule 1, field 0100 = Form not found" for a form
// the return does not hold. Null when the field has no source fields (or is not calculated).
// outputs (may be null) is always filled. The field's own form is found among the open return's
// pages (user-interface thread).
char *ExplainFieldFormula(FieldRecord *field, FormulaExplainInfo *outputs);

// Formats a number as a field of the type letter shows it (the letter after 'C'/'c' for
// calculated fields): 'N', 'G' whole with thousands commas; 'R' decimals with commas; 'Q' 4
// decimals; 'r' 6 decimals without the leading zero; anything else whole when it is, else 2
// decimals. decimals < 0 takes the letter's default. Rounds half away from zero. Returns the
// length written, 0 when it does not fit.
int FormatCalcNumber(double value, char letter, int decimals, int commas, char *out, int outSize);
// Reads a number text: blanks around, a leading '$', a leading '-' or enclosing parentheses,
// thousands commas, decimals. 1 with *valueOut (may be null) when the whole text is a number.
int ReadNumberText(const char *text, double *valueOut);

// Difference later - earlier between two SYSTEMTIMEs: unit 1 whole days, 2 whole hours, 3 whole
// minutes (truncated toward zero), 6 its sign (-1, 0, 1). 0 for an invalid time or unit.
int DiffDates(const SYSTEMTIME *later, const SYSTEMTIME *earlier, int unit);

// ---- recompute scheduler ----
// One worker thread at most. A change asks for a full recompute with RequestRecompute(1), which
// tells a running worker to stop and arms the main window's timer IDT_DEFERRED_JOB (997, 10 ms).
// The timer (OnDeferredJobTimer) starts a new worker only after the previous one has ended, frees
// removed page records once no worker runs, and is killed when nothing is pending. The worker
// repaints changed fields of the page shown by sending WM_PAGE_REDRAWFIELD to gPageViewWindow;
// the user-interface thread therefore never waits for it without handling sent messages.

// Non-zero (the thread handle) while a recompute worker runs (until the timer notices its end).
extern HANDLE gRecomputeThread;
// 1 when the last full recompute finished; 0 while one is pending, running or was cancelled.
extern volatile LONG gRecomputeDone;
// Set to 1 to ask the running worker to stop; it checks between fields.
extern volatile LONG gRecomputeCancel;

// The engine reaches the page view and the views that show totals through gAppCallbacks
// (store/callbacks.h): isPageShown, drawChangedField and recomputeFinished.

// Repaints a field whose value the engine changed, when page is the page shown
// (gAppCallbacks.isPageShown): gAppCallbacks.drawChangedField,
// then WM_PAGE_REDRAWFIELD {field, 1, 0, 1, 0} to gPageViewWindow (from the worker with a time
// limit, so a busy user-interface thread cannot hold it forever). Returns 1 when sent.
int RepaintComputedField(FieldRecord *field, FormInstance *page);

// The page view's message that repaints fields (a private message of the program's windows), and
// the main window's timer of the deferred job.
#define WM_PAGE_REDRAWFIELD (WM_APP + 12)
#define IDT_DEFERRED_JOB 997
// The block of WM_PAGE_REDRAWFIELD (lParam): {fields, count, reserved, invalidate, drawEmpty}.
// A single field is sent as {field, 1, 0, 1, 0}.
struct PageRedrawBlock {
    FieldRecord *fields;
    int count;
    int reserved;
    int invalidate;
    int drawEmpty;
};

// The main window's handler of timer IDT_DEFERRED_JOB (runs OnDeferredJobTimer) and of
// WM_DESTROY (ends a running worker); the shell adds it to the main window at start-up
// (shell/handlers.cpp). Sets *handled for the timer; always returns 0.
LRESULT RecomputeWindowHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
// The deferred job, run by the main window's timer IDT_DEFERRED_JOB. Returns 1 while the timer
// stays armed, 0 when it was killed.
int OnDeferredJobTimer(void);
// Recomputes every calculated field of one form on the calling (user-interface) thread, repeating
// while values change (at most 8 passes), and repaints each changed field when the form is the
// page shown. A running worker is stopped first and its recompute queued again. Returns the
// number of values changed.
int RecomputeForm(FormInstance *formInstance);
// kind 0: tells a running worker to stop; 1: queues a full recompute on the worker; 2: queues the
// freeing of the removed page record argument (FreeFormInstance) until no worker runs. Kinds 1
// and 2 tell a running worker to stop and arm the timer. Returns 1, 0 for a bad kind or argument.
int RequestRecompute(int kind, void *argument);
// The worker thread's routine (started with _beginthreadex by the deferred job): recomputes the
// pages of its snapshot until no value changes (at most 8 passes) or it is told to stop.
unsigned __stdcall RecomputeAllForms(void *job);
// The full recompute on the calling thread (a running worker is stopped first); with showStatus
// 1 the status bar shows "Re-computing all forms..." while it runs. Returns the values changed.
int RecomputeAllFormsNow(int showStatus);
// Output (printing, PDF) reads totals that are up to date: a pending or running full recompute is
// finished on the calling thread. Returns 1 when nothing is left pending.
int FinishPendingRecompute(void);
// Tells a running worker to stop and waits for its end, handling sent messages meanwhile.
// Returns 1 when no worker runs afterwards.
int EndRecomputeWorker(void);

// ---- validation ----

// Validation kinds (the kind codes handed to ValidateFieldData; taxpayer items and 'P' parts
// resolve to the same codes).
#define ENTRY_KIND_NONE          0    // not typed, or a value list
#define ENTRY_KIND_TEXT_PUNCT    1    // 'j': letters, digits and #-()&'
#define ENTRY_KIND_NAME_TEXT     4    // 'f', 'i': letters, digits, '-' (and ''' for 'i')
#define ENTRY_KIND_ALPHA         6    // 'A': letters
#define ENTRY_KIND_ALNUM         7    // 'a': letters and digits
#define ENTRY_KIND_ANY_TEXT      8    // '*': letters, digits and punctuation
#define ENTRY_KIND_TEXT_SLASH    9    // 'u': letters, digits, '-' and '/'
#define ENTRY_KIND_STATE         10   // 's': state or region, sub-kind = group flags
#define ENTRY_KIND_ZIP           11   // 'Z'
#define ENTRY_KIND_SSN           14   // 'N' of length 9: identification number 3-2-4
#define ENTRY_KIND_AMOUNT        16   // 'N' of length 12: whole-dollar amount
#define ENTRY_KIND_AMOUNT_CENTS  17   // 'R' with 10 integer digits and 2 decimals
#define ENTRY_KIND_NUMBER        18   // 'N' of other lengths: digits
#define ENTRY_KIND_COUNT         19   // 'G'
#define ENTRY_KIND_DECIMAL       20   // 'Q', 'R', 'r': decimal numbers
#define ENTRY_KIND_DATE          21   // 'D', 'E', 'O', 'Y', 'd', 'e'
#define ENTRY_KIND_PIN           22   // letter code 1, and PIN numbers
#define ENTRY_KIND_DIGITS        23   // 'U'
#define ENTRY_KIND_KEY_TEXT      24   // 'K'
#define ENTRY_KIND_PHONE         25   // 't'
#define ENTRY_KIND_PTIN          27   // 'p': preparer tax identification number
#define ENTRY_KIND_CHECK         28   // 'X', 'x': check mark
#define ENTRY_KIND_PERCENT_TEXT  29   // letters and digits with '%' (taxpayer items)
#define ENTRY_KIND_EIN           31   // 'm': employer identification number 2-7

// Size of the text buffer ValidateFieldData assumes when textSize is 0, and of its message buffer.
#define VALIDATE_TEXT_SIZE    128
#define VALIDATE_MESSAGE_SIZE 256

// Checks text as a value of one part of a field's type and rewrites it in place into its normal
// form (the form that splits back into the part's entry boxes). kind and subkind are the entry
// kind (ENTRY_KIND_* above, from GetFieldEntryKind) and its sub-kind; valueList the
// field's value list (list parts); part its parsed descriptor (may be null); typeLetter and
// bracketText the part's letter and bracket text; relatedValue the state next to a ZIP part (may
// be null); length the field's length (0: none). textSize is the size of the text buffer (0 =
// VALIDATE_TEXT_SIZE). An empty text is always acceptable. Returns 1 when acceptable, else 0: the
// reason goes into messageBuffer (VALIDATE_MESSAGE_SIZE bytes) when given, else, with showFlag
// set, into a message box owned by owner whose title is caption ("Data Validation Error" without one).
int ValidateFieldData(char *text, char *messageBuffer, const char *caption, int kind, int subkind,
                      HWND owner, int textSize, const char *valueList, const FieldFormatPart *part,
                      char typeLetter, const char *bracketText, const char *relatedValue, int length,
                      int showFlag);

// Results of ValidateSsn.
#define SSN_EMPTY     0   // no digits
#define SSN_VALID     1
#define SSN_BAD_SHAPE 2   // not nine digits
#define SSN_NOT_ISSUED 3  // a number never issued (area 000 or 666, group 00, serial 0000, an
                          // area 900-999 unless ITIN-shaped; with mode 1 every area 900-999)
// Checks an identification number (dashes and blanks ignored). mode 0: a social security or
// individual taxpayer identification number; mode 1: a social security number only. With
// normalOut given (normalSize bytes) a valid number is written as "123-45-6789".
int ValidateSsn(int mode, const char *text, char *normalOut, int normalSize);
// 1 when text (dashes and blanks ignored) is a bank routing number: nine digits whose check
// digit holds (the digits weighted 3, 7, 1, 3, 7, 1, 3, 7, 1 add up to a multiple of 10); else 0.
int IsRoutingNumberValid(const char *text);

// ---- taxpayer items (calc/taxpayer_items.cpp) ----
// The members of the return record that 'T' type codes name, and the validation kind of each
// item and of each 'P' (preparer) sub-letter.

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

#endif // LEVYLINE_CALC_H
