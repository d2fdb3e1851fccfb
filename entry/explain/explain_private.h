// Shared by the source files of the explanation dialog and the error list
// (entry/explain/explain_*.cpp, entry/explain/errorlist_*.cpp).
#ifndef LEVYLINE_ENTRY_EXPLAIN_PRIVATE_H
#define LEVYLINE_ENTRY_EXPLAIN_PRIVATE_H

#include "entry/explain/explain.h"

// The button picture resourceId as an icon on button control of dialog; returns the icon (the
// caller destroys it).
HICON SetButtonPicture(HWND dialog, int control, int resourceId);

// Prints the dialog's text (Print), or renders it in output mode (the request's output values).
// Returns the print job's result, or in output mode the pages produced.
int PrintExplanation(HWND dialog, ExplainRequest *request);

// ---- Check Return (errorlist_check.cpp, errorlist_efile.cpp) ----

// A text member of the return record as a zero-ended copy with blanks trimmed (members may fill
// their size).
void CopyReturnMember(OpenReturn *record, int offset, int size, char *out, int outSize);

// The place of a field as the error list names it: "Form 1040, Page 2, Line 35b - Routing
// number" (description, when given, stands for the field's own).
void FormatFieldPlace(const FormInstance *page, const FieldRecord *field, const char *description, char *out,
                      int outSize);
// The filing status of an individual return, "1" (single) to "5" (qualifying surviving spouse):
// the box ticked on Form 1040; without a Form 1040 page, the return record's. No box or more
// than one ticked is reported. Returns the errors added; *statusOut = 1..5, 0 when unknown.
int CheckFilingStatus(OpenReturn *record, ErrorEntry **first, int *statusOut);
// What an individual return cannot be e-filed without, or with: a US address without street,
// city, state or ZIP code; a direct deposit begun but incomplete; a refund larger than the
// amount overpaid; self-select PINs that cannot sign; a birth date that is no calendar date or
// lies ahead. status is the filing status (CheckFilingStatus). Returns the errors added.
int CheckIndividualEfile(OpenReturn *record, int status, ErrorEntry **first);
// 1 when field is an identity protection PIN of Form 1040 (six digits, not 000000).
int IsIdentityPinField(const FormInstance *page, const FieldRecord *field);

#endif
