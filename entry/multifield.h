// multifield.h - the multi-field popup ("MULTIFIELD"): a group field's members (a name, an
// address, a numbered list with its total) shown as labelled value boxes, typed through the edit
// bar, checked for completeness, composed into the group field and restored on Cancel.
// Part of entry.h.
#ifndef LEVYLINE_ENTRY_MULTIFIELD_H
#define LEVYLINE_ENTRY_MULTIFIELD_H

#include <windows.h>
#include "entry/multifield_ids.h"
#include "pages/pages.h"

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
// by one blank; members numbered from 1, empty ones left out). Returns the length written.
int ComposeMultiFieldValue(const char *typeCode, const char *const *values, int count, char *out, int outSize);

// The dialog procedure of "MULTIFIELD" (lParam of WM_INITDIALOG: MultiFieldParams*).
INT_PTR CALLBACK MultiFieldDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the popup modally over parent (gMainWindow when null); the page view's hook
// (gOpenMultiFieldDialogProc). Returns 1 after OK, 0 after Cancel.
INT_PTR OpenMultiFieldDialog(HWND parent, MultiFieldParams *params);
// Looks at the fields from n places before to n places after field (clamped to the table) and
// opens the popup (group kind 0) on the first that has a rectangle and the type "S[m]".
// Returns 1 when a popup was shown, else 0.
int OpenNearbyMultiFieldDialog(FieldRecord *field, FieldTable *fields, int n);

#endif // LEVYLINE_ENTRY_MULTIFIELD_H
