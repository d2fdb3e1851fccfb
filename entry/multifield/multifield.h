// multifield.h - the multi-field popup ("MULTIFIELD"): a group field's members (a name, an
// address, a numbered list with its total) shown as labelled value boxes, typed through the edit
// bar, checked for completeness, composed into the group field and restored on Cancel; the
// field buttons' "Paste" of taxpayer data; the e-file information sheet. Templates: the popup's in
// resources/multifield.rc, the sheet's pages in resources/efileinfo.rc.
#ifndef LEVYLINE_ENTRY_MULTIFIELD_H
#define LEVYLINE_ENTRY_MULTIFIELD_H

#include <windows.h>
#include "entry/multifield/efile_sheet_ids.h"
#include "entry/multifield/multifield_ids.h"
#include "pages/pages.h"
#include "prepare/prepare.h"
#include "store/store.h"

// The popup's parameter block is the page view's MultiFieldParams (pages/pages.h), one block for
// every opener: groupKind (0 numbered list, 1 name or address; the popup sets 5 or 6 for a foreign
// address of 5 or 6 parts), field, fields; fieldIndex, caption and firstField are the opener's;
// kind 2 when entered with Tab or Shift+Tab; wrapLeaves: Tab past the first or last member leaves
// the popup. One end code: the dialog ends with 1 after OK and 0 after Cancel; when the user
// tabbed out of it, result is 2 and direction 0 (forward) or 1 (backward).
#define MULTIFIELD_GROUP_LIST     0
#define MULTIFIELD_GROUP_NAME     1
#define MULTIFIELD_GROUP_FOREIGN5 5
#define MULTIFIELD_GROUP_FOREIGN6 6
#define MULTIFIELD_TABBED_OUT     2

// The members of a group field, looked up in table: its value list cut at ',' and ';' (after a
// single '?', the part after it), each piece without one leading '+', '-', '*', '/', 'm' or 'M' (pieces that are
// no sequence number, such as constants, are skipped);
// a calculated group field (type 'c') is its own last member. Pieces that name no field of the
// table are left out and counted in *unknownOut (may be null); with report 1 each is shown
// ("Field Sequence Number Not Found"). Returns the number of members written (at most capacity).
int BuildMultiFieldMembers(FieldRecord *group, const FieldTable *table, FieldRecord **members, int capacity,
                           int *unknownOut, int report);
// groupKind 1 becomes 5 or 6 for a foreign address of 5 or 6 members (the group's description
// holds "foreign address"); other kinds are returned unchanged.
int ResolveMultiFieldGroupKind(int groupKind, const FieldRecord *group, int memberCount);
// The label of member index (out, outSize bytes): name and address labels by group kind, the
// text of a label member, "%d.  %s" with the description (two leading blanks below 10 in a list
// of 10 or more), "     Total %s" for a calculated group field's own line. Returns 1.
int BuildMultiFieldLabel(int groupKind, FieldRecord *const *members, int count, int index,
                         const FieldRecord *group, char *out, int outSize);
// 1 when the member's box may stay empty while others are filled (the middle initial of a
// 3-part name, "Address (cont)" and "State or Province" of 6 parts, "Province/State" of 5).
int IsOptionalMultiFieldMember(int groupKind, FieldRecord *const *members, int count, int index);
// 1 when the values are complete for the group kind (all filled or all empty, optional members
// aside); always 1 for numbered lists.
int IsMultiFieldComplete(int groupKind, FieldRecord *const *members, const char *const *values, int count);
// The group field's text composed from its members' values by the fourth character of its
// type code ('&': " & " between them; "d|e": member d, else e; "d": member d; else all joined
// by one blank; members numbered from 1, empty ones left out), cut to outSize. Returns the
// length of the whole text, however much of it fitted: out null or outSize 0 only measures it.
int ComposeMultiFieldValue(const char *typeCode, const char *const *values, int count, char *out, int outSize);

// The dialog procedure of "MULTIFIELD" (lParam of WM_INITDIALOG: MultiFieldParams*).
INT_PTR CALLBACK MultiFieldDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the popup modally over parent (gMainWindow when null); the page view's hook
// (gWindowCallbacks.openMultiFieldDialog). Returns 1 after OK, 0 after Cancel.
INT_PTR OpenMultiFieldDialog(HWND parent, MultiFieldParams *params);
// Looks at the fields from n places before to n places after field (clamped to the table) and
// opens the popup (group kind 0) on the first that has a rectangle and the type "S[m]".
// Returns 1 when a popup was shown, else 0.
int OpenNearbyMultiFieldDialog(FieldRecord *field, FieldTable *fields, int n);

// ---- taxpayer paste ----
// The field buttons' "Paste" of taxpayer data into ordinary fields.
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

// ---- e-file information sheet ----
// A property sheet: "Taxpayer Info" (page 0) and "e-File Options" (page 1), and the Setup menu
// commands that open it.
#define EFILE_SHEET_TITLE "e-File Submission Information"

// Shows the sheet over owner at startPage (0 or 1) for returnRecord; subPage 1044 opens page 0 on
// its non-US address switch. OK stores the entries through the taxpayer items' edit rules (a
// refused entry is reported and the sheet shown again on it) and the names, SSNs and address
// follow on every page. Returns 1 when stored, 0 when cancelled.
int ShowEfileInfoSheet(HWND owner, int startPage, OpenReturn *returnRecord, int subPage);
// The page view's way to the sheet (gWindowCallbacks.showEfileInfoSheet): the open return's
// sheet at page.
int ShowEfileInfoSheetPage(HWND owner, int page);
// The main window's Setup commands: IDM_TAXPAYERINFO (page 0) and IDM_EFILEOPTIONS (page 1).
LRESULT TaxpayerSetupCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);

#endif // LEVYLINE_ENTRY_MULTIFIELD_H
