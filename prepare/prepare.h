// prepare.h - public interface of e-file preparation: taxpayer item edit rules, name line, form
// keys, header strings, which returns the open return holds, attachments.
// Layer: above store/ and calc/; includes nothing of entry/, pages/, print/ or shell/.
#ifndef LEVYLINE_PREPARE_H
#define LEVYLINE_PREPARE_H

#include "calc/calc.h"
#include "store/store.h"

// ---- taxpayer items ----
// The item table and its lookups are calc/calc.h; field-table lookups are store/store.h.

// Stores an edited taxpayer item (itemCode: the text after "T[", e.g. "1a", "2y", "3", "1a:3")
// into record under its edit rules (digits of SSNs, EINs, PINs and ZIP codes, dates as
// mm/dd/yyyy, states as abbreviations, phones as ten digits; a value that does not fit its
// member is refused). Name edits rebuild the name line. typeCode may be null. Returns 0 when the
// rules refuse the value (nothing stored), else 1.
int ApplyFieldEditRules(const char *itemCode, const char *text, OpenReturn *returnRecord,
                        const char *typeCode);
// Why ApplyFieldEditRules last refused a value, when it has more to say than that the value
// cannot be stored (the taxpayer's first name emptied while the spouse's is entered); else null.
extern const char *gEditRulesRefusal;
// Builds the name line into destination (size bytes) from names: taxpayer first, middle, last,
// suffix and (count 8) spouse first, middle, last, suffix; null entries count as empty.
// "JOHN A SMITH", "JOHN A & JANE B SMITH", "JOHN A SMITH & JANE B DOE"; middle initials, then
// suffixes are left out when the line would not fit. Returns the length written.
int BuildNameLine(char *destination, int size, const char *const *names, int count);

// ---- form keys, header strings and main-form pages ----
// The table of main-form pages (FindMainFormPage, GetMainFormRow) is store/store.h.

// Mode 2: formName without a leading "Form " or "Schedule " (and without an existing prefix),
// with prefix put in front ("Form 1040" -> "1040"); other modes: prefix + formName. Writes into
// out (FORM_NAME_SIZE bytes) and returns it; with out null returns a new MemAlloc text.
char *BuildFormKey(const char *formName, const char *prefix, char *out, int mode);
// Pointers to the first three zero-separated texts of a read FormPak's header record (any
// output may be null; missing texts give ""); the first is the form name ("Form 941").
// Returns the number of texts found (at most 3).
int GetHeaderStrings(FileRecord *formPakRecord, const char **first, const char **second,
                     const char **third);
// Which returns the open return holds (a main-form page of the federal, state, other part);
// outputs may be null. Returns how many are present.
int FindMainReturnForm(int *federalOut, int *stateOut, int *otherOut);

// ---- attachments ----
#define PDF_ATTACHMENT_MAX_BYTES (60u * 1024u * 1024u)
// 1 when path names a readable file that begins with "%PDF" and is at most the limit; with
// report 1 a refusal is shown ("Attach File").
int CheckPdfAttachment(const char *path, int report);

#include "prepare/describe.h"
#include "prepare/efile_sheet.h"
#include "prepare/taxpayer_combined.h"

#endif // LEVYLINE_PREPARE_H
