// multifield_private.h - the multi-field popup's state, shared by its files (multifield_popup.cpp,
// multifield_layout.cpp) only.
#ifndef LEVYLINE_ENTRY_MULTIFIELD_PRIVATE_H
#define LEVYLINE_ENTRY_MULTIFIELD_PRIVATE_H

#include "entry/multifield/multifield.h"
#include "pages/pages.h"
#include "ui/ui.h"

// One member of the popup.
struct MultiFieldEntry {
    HWND label;
    HWND value;              // null for a label member
    FieldRecord *field;
    int labelOnly;           // member type 'L'
    int valueWidth;
    int labelHeight;
    int column;              // side by side with the entry before it
    int index;
    int controlId;           // IDC_MF_VALUE_FIRST + index
    COLORREF textColour;     // the label's
    COLORREF backColour;     // the label's background (CLR_INVALID: the dialog's)
    HBRUSH backBrush;
    char *saved;             // the member's value when the popup opened (owned)
};

// The one popup open at a time.
struct MultiFieldState {
    HWND dialog;
    MultiFieldParams *params;
    MultiFieldEntry *entries;
    int count;
    int groupKind;
    FormInstance *form;          // the page whose fields the members are (recomputed after edits)
    EditRequest request;         // the popup's own request to the edit bar
    int editing;                 // the member in the edit bar, -1 none
    HFONT labelFont, valueFont;
    HBRUSH shadeBrush, whiteBrush;
    COLORREF shade;
    OpenReturn *savedReturn;     // the record when the popup opened (Cancel puts it back)
};
extern MultiFieldState gMultiField;

// 1 for a calculated member ('C' or 'c'): shown white, never typed.
int IsCalculatedMultiFieldMember(const MultiFieldEntry *entry);
// The dialog font at a weight (labels 400, values 700).
HFONT MakeMultiFieldFont(HWND dialog, int weight);
// A label and (except label members) a value box for each of the count members.
void CreateMultiFieldControls(HWND dialog, FieldRecord **members);
// Places the members and the buttons, sizes the window and places it on its parent.
void LayoutMultiFieldMembers(HWND dialog);
// WM_CTLCOLORSTATIC of the popup (0 for a control that is no member's).
INT_PTR ColourMultiFieldStatic(HDC dc, HWND control);

#endif // LEVYLINE_ENTRY_MULTIFIELD_PRIVATE_H
