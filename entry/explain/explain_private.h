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

#endif
