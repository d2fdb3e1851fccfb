// taxpayer_paste.h - the field buttons' "Paste" of taxpayer data into ordinary fields. Part of
// entry.h.
#ifndef LEVYLINE_ENTRY_TAXPAYER_PASTE_H
#define LEVYLINE_ENTRY_TAXPAYER_PASTE_H

#include <windows.h>
#include "store/store.h"

// 1 when the taxpayer-item sources of the paste list are complete: the taxpayer's first and
// last names, the address (street, city, state, ZIP) and the spouse's names each all present or
// all empty. Else 0 with the label of the first incomplete group ("Taxpayer Name", "Address",
// "Spouse Name") in labelOut (labelSize bytes; may be null).
int CheckPasteSources(const char *pasteList, OpenReturn *record, char *labelOut, int labelSize);
// The paste list ("dest=source,..." with '=' or ',' between tokens; "~seq" empties a field;
// a source "<regen>..." opens the multi-field popup on the destination; "T[..]" sources copy
// the record's value) applied to records, the page shown's fields. Incomplete sources are
// refused with "Unable to Paste %s" and nothing is pasted. Returns the number of fields filled.
int EditNameFields(const char *pasteList, FieldTable *records, HWND ownerWindow);

#endif // LEVYLINE_ENTRY_TAXPAYER_PASTE_H
