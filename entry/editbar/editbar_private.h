// editbar_private.h - declarations shared by the edit bar's source files (entry/editbar/) only.
#ifndef LEVYLINE_ENTRY_EDITBAR_PRIVATE_H
#define LEVYLINE_ENTRY_EDITBAR_PRIVATE_H

#include "entry/editbar/editbar.h"

#define WM_EDITBAR_FOCUSLOST (WM_APP + 61)   // posted to a row whose entry control lost the focus
// The field offset records away from field in the request's field table, or null.
FieldRecord *GetNeighbourField(const EditRequest *request, const FieldRecord *field, int offset);
// Builds a row's controls (WM_INITDIALOG of "EDITBAR"); 0 when the row closed at once.
int SetupEditBarPart(HWND dialog, EditBarPair *pair);
// The part check; 1 valid (the text in the part and the request), 0 refused (message shown).
int CheckEditBarPart(HWND dialog, EditBarPair *pair);
// Tab (backward 0 or 1): the next box of a split entry, or leave the field.
int NavigateEditBarPart(HWND dialog, EditBarPair *pair, int backward);
// WM_COMMAND, WM_KEYDOWN and the focus-lost check of a row.
int HandleEditBarCommand(HWND dialog, EditBarPair *pair, WPARAM wParam, LPARAM lParam);
int HandleEditBarKey(HWND dialog, EditBarPair *pair, WPARAM key);
int HandleEditBarFocusLost(HWND dialog, EditBarPair *pair);
// WM_CLOSE of a row (checkFirst = its lParam); 1 when the row closed, 0 when it stays open.
int CloseEditBarPart(HWND dialog, EditBarPair *pair, int checkFirst);
// Makes part the only checked choice and moves the frame to it (no focus change).
int ActivateEditBarPart(HWND container, int part);
// 1 while a modal frame (a dialog, a message box, a print or PDF job) is open over the bar: the
// window it belongs to (its requester's, or a modal bar's own) is disabled. Such a bar takes no
// key and does not close, so a key queued for it cannot store a value under a dialog or in the
// middle of an output job; the frame gives it the focus back when it ends.
int IsEditBarHeld(const EditRequest *request);
// Subclasses an entry edit with EditBarComboProc.
void SubclassEditBarControl(HWND control);
// Focuses a row's entry control (or control) with its whole text selected.
void FocusEditBarEntry(EditBarPart *part, HWND control);
// The page shown in the page view (null when none).
FormInstance *GetShownPage(void);
// Repaints a field whose value changed, when page is the page shown.
void RepaintCommittedField(FieldRecord *field, FormInstance *page);
// The return-record offset of the edit time a 'U' or 'K' field of page stamps, 0 for none.
int GetPartEditTimeOffset(const FormInstance *page);
// The page key of an edit request's page (the page shown when the request has none).
const char *GetRequestPageKey(const EditRequest *request);

#endif // LEVYLINE_ENTRY_EDITBAR_PRIVATE_H
