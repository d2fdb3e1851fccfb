// fieldbuttons_private.h - declarations shared by the field-button files of pages/ only.
#ifndef LEVYLINE_PAGES_FIELDBUTTONS_PRIVATE_H
#define LEVYLINE_PAGES_FIELDBUTTONS_PRIVATE_H

#include "pages/pages_private.h"

// Buttons 219, 240 and 241 open a menu on their arrow part.
int IsDropDownButton(int action);
// 1 when the cursor, mapped into the button, lies on its arrow part (the right 14/33).
int IsCursorOnButtonArrow(HWND button);
// The owner-drawn face of a button (WM_DRAWITEM).
void DrawFieldButton(const DRAWITEMSTRUCT *item);
// The actions that open menus, generate PDF files and import rows (fieldbuttons_menu.cpp,
// fieldbuttons_import.cpp).
int RunDropDownMenuAction(HWND pageView, int action, FieldRecord *field, int onArrow);
int RunImportRowsAction(HWND pageView, FieldRecord *field);
int RunGeneratePdfAction(HWND pageView, FieldRecord *field);
// Paste (button 219): runs the chosen paste list through the name-field paste of data entry;
// a list that would fill no field is not run and the user is told why. Returns the fields filled.
int RunPasteAction(HWND pageView, const char *pasteList, FieldTable *table);
// The field of the page shown named by a sequence number (null when missing or the index is 0).
FieldRecord *FindNamedPageField(const char *seq);

#endif // LEVYLINE_PAGES_FIELDBUTTONS_PRIVATE_H
