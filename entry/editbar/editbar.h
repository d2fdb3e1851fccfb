// editbar.h - the edit bar: how each part of a field's type code is entered and checked (entry
// kinds), tooltips, the '^' multi-field list, the edit bar's container and entry rows and the
// commit of an accepted page-field entry. Templates "EBCONTAINER" and "EDITBAR" and the kind
// icons: resources/editbar.rc.
#ifndef LEVYLINE_ENTRY_EDITBAR_H
#define LEVYLINE_ENTRY_EDITBAR_H

#include <windows.h>
#include <commctrl.h>
#include <stdint.h>

#include "calc/calc.h"
#include "entry/editbar/editbar_ids.h"
#include "pages/pages.h"
#include "store/store.h"
#include "ui/ui.h"

// ---- field entry kinds ----
// How one part of a field's type code is entered and checked: validation kind and sub-kind (for
// ValidateFieldData), entry control, kind icons, option flags of a bracket text, shape checks of
// split entries, the state list and the field's hint text.

// Validation kinds (ENTRY_KIND_*): calc/calc.h.

// 1 for the control kinds entered in several boxes (date, SSN, EIN, phone, names).
int IsSplitEntryControl(int controlKind);

// 1 when value has the shape of the entry mode (an ENTRY_CONTROL_* kind, or 1 and 2 for the
// single edit and the list): see entrykinds_shape.cpp. Stored normal forms and digit-only values
// both pass.
int CheckEntryShape(const char *value, int mode, const char *valueList, const char *typeCode, int kind,
                    int subkind);
// Splits a value into the pieces of a split entry of controlKind (date, SSN, EIN, phone) whose
// boxes take widths[0..count-1] characters (count at most 3): at its separators when it has them,
// else in runs of the box widths. pieces receives count texts of at most 15 characters. Returns 1
// when the value was split, 0 (pieces empty) when it is empty or fails CheckEntryShape.
int SplitEntryValue(const char *value, int controlKind, const int *widths, int count, char pieces[][16]);
// Cleans a field description for a grid hint (trailing line numbers, brackets, dashes); in place.
// Returns the text.
char *TrimDescriptionSuffix(char *text);
// Fills a combo box with the rows of the state table sections chosen by groups (STATE_GROUP_*
// flags, in table order), each as "AB Name", measuring each in dc (may be null); *widthOut (may be
// null) receives the widest. Returns the widest width.
int FillStateCombo(HWND combo, int groups, HDC dc, int *widthOut);
// The "Allowable chars" text of one part letter (kind: the part's validation kind; gridCell: 1
// for a statement-grid cell; bracket: the part's bracket text; intDigits/decimals for 'R').
// Writes into out (outSize bytes, always zero-ended) and returns its length; "" for letters
// without a text.
int GetPartAllowedCharsText(char letter, int kind, int gridCell, const char *bracket, int intDigits,
                            int decimals, char *out, int outSize);
// The hint of a field (the edit bar's kind-icon tooltip and the grid's header tips): caption,
// line, description, allowable characters of each part and maximum length. requesterKind as in
// the edit request (1 page view, 2 statement grid ...). partList is the parsed type code, or null
// to parse typeText (null = the field's type code). Writes at most bufferSize - 1 characters.
// Returns the length written.
int BuildFieldHintText(char *buffer, int bufferSize, const char *caption, int requesterKind,
                       const FieldRecord *field, const FieldFormat *partList, const char *typeText);

// Split entry layout of the edit bar. One row per control, ending with a row of control 0.
struct SplitEntryRow {
    int controlId;     // 1098..1100 boxes, 1105..1107 cue statics, 1108..1110 separators
    int chars;         // characters of a box
    int x;             // in (row 0): where the row starts; out: position of the control
    const char *text;  // optional text of a static (cue or separator)
};
// Subclasses one box of a split entry; the edit bar passes its routine that installs
// EditBarComboProc (and keeps the replaced procedure). Null = boxes are not subclassed.
typedef void (*SplitEntrySubclassProc)(HWND box);
// Places the controls of a split entry of the dialog from left to right, starting at rows[0].x:
// boxes (chars, at least 2) x charWidth wide, cue statics 3/4 of their text's width + 10 wide
// starting 5 further right and showing their text, separators their own width (showing their
// text when given). Each box is subclassed (subclassBox, when given) and limited to its characters;
// the value's pieces go into the boxes when the value passes the shape of controlKind (name kinds
// take no value here). Each row's x receives its position. Returns the right end of the row.
int LayoutSplitEntry(SplitEntryRow *rows, HWND dialog, int charWidth, const char *value, int controlKind,
                     SplitEntrySubclassProc subclassBox);

// ---- edit bar ----
// Tooltips, the '^' multi-field list, the edit request, the edit bar (container and entry rows)
// and the commit of an accepted page-field entry.
// Every tooltip of the program stays up 30 seconds and wraps its text at 300 pixels.
#define TOOLTIP_AUTOPOP_MS   30000
#define TOOLTIP_MAX_WIDTH    300
// Rectangle modes of AddTooltipTool.
#define TOOLTIP_RECT_PARENT  1   // the window's client rectangle in its parent; the tool is the parent's
#define TOOLTIP_RECT_CLIENT  2   // the window's client rectangle; the tool is the window's
#define TOOLTIP_RECT_CLIENT2 3   // as 2
#define TOOLTIP_RECT_TAB     4   // the rectangle of tab item toolId of a tab control
// A tooltip window ("tooltips_class32", topmost popup, no prefix, always tip, plus extraStyle)
// owned by owner; with topmost set it is put on top of the topmost windows. Null on failure.
HWND CreateTooltipWindow(HWND owner, DWORD extraStyle, int topmost);
// Registers one tool (flags plus TTF_SUBCLASS) on the tooltip window; see the rectangle modes.
void AddTooltipTool(HWND tooltip, HWND window, const char *text, UINT_PTR toolId, int rectMode, UINT flags);
// Fills the tool record AddTooltipTool sends; 0 when the window or tab item is missing.
int BuildTooltipToolInfo(TOOLINFOA *info, HWND window, const char *text, UINT_PTR toolId, int rectMode,
                         UINT flags);

// Part check: lParam points at a u32 that receives 1 (valid) or 0.
#define WM_EDITBAR_CHECKPART      (WM_APP + 13)


// One entry row of the edit bar. Each part keeps its own field, item code, text and marks, so
// a part never checks or commits against another part's field.
struct EditBarPart {
    HWND window;                 // the part dialog
    uint32_t index;              // part number, from 0 (also its part of the request's format)
    char typeText[64];           // the part's letter, with its bracket text in square brackets
    int kind;                    // validation kind and sub-kind
    int subkind;
    int controlKind;             // ENTRY_CONTROL_*
    HBITMAP icons[3];
    int width;
    int height;
    HWND focusControl;           // edit 1098 or list 1101
    UINT selectMessage;          // EM_SETSEL
    HWND tooltip;
    FieldRecord *field;          // the part's own field
    FieldRecord *nameFields[3];  // name kinds: the field of each box
    char itemCode[16];           // 'T' part: its item code ("1a", "1a:3")
    char partLetter;             // letter of a lettered '^' item, else 0
    char letter;                 // the letter the part is entered as ('T' and 'P' parts resolved)
    int boxCount;                // split kinds: visible boxes
    int boxChars[3];             // split kinds: characters of each box
    char initial[EDIT_TEXT_SIZE];   // the value the row opened with
    char text[EDIT_TEXT_SIZE];      // the text of the last successful check
    char boxTexts[3][EDIT_TEXT_SIZE]; // name kinds: the checked text of each box
    uint32_t valid;              // 1 after a successful check (cleared by an edit)
    uint32_t committed;          // 1 once committed (never twice)
    uint32_t edited;             // 1 once the user changed the entry
    uint32_t closing;            // 1 while the row closes
    uint32_t stampTime;
    uint32_t amendedBox;
    uint32_t advanceWhenFull;
    uint32_t commitWhenFull;
    HWND navigateFrom;           // the box a Tab came from
    int textLimit;               // text limit of a single edit
    int charWidth;
};
// The container's window data: the request, then one pair per part; each part dialog's window
// data points at its pair.
struct EditBarPair {
    EditRequest *request;
    EditBarPart *part;
};

// Parses the '^' list of the request's field against the request's field table (or, when it
// has none, the page's): fills listItems (MemAlloc array owned by the request), listItemCount
// and listTypes. Returns the item count; 0 when the list is empty or refused (joined type codes
// longer than 63 characters, or letters longer than 4).
int ParseMultiFieldList(EditRequest *request);
// The same on a value list and a table: *itemsOut receives a MemAlloc array (null for 0 items).
// Items whose sequence number is not on the page are dropped (their lettered position is
// still counted).
int ParseMultiFieldListText(const char *valueList, const FieldTable *table, MultiFieldListItem **itemsOut,
                            char *listTypes, int listTypesSize);
// The letter a lettered item stands for (its group's letter at its position), else 0.
char GetListItemLetter(const MultiFieldListItem *item);

// The container ("EBContainer"): creation parameter = EditRequest*.
INT_PTR CALLBACK EbContainerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// An entry row ("EditBar"): creation parameter = EditBarPair*.
INT_PTR CALLBACK EditBarDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Subclass procedure of the entry edits and of the list's edit box.
LRESULT CALLBACK EditBarComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Opens a modeless edit bar (requester kinds 1, 2, 5) as a child of parent: creates the
// container (kept in gEditBarContainer) without showing it. Null when an edit bar already exists
// ("Invalid window handle.  Edit bar already running.") or the container could not be made (or
// closed at once: a check-mark click, a field that cannot be entered).
HWND CreateEditBar(HWND parent, EditRequest *request);
// Shows a modeless edit bar where its set-up placed it, with its shadow and parts, and focuses
// the request's focus control. 1 on success.
int ShowEditBar(HWND container, EditRequest *request);
// CreateEditBar then ShowEditBar: 1 when a bar opened (the page view opens its bars this way).
int OpenEditBarWindow(HWND requester, EditRequest *request);
// Runs the edit bar modally (requester kinds 3 and 6) over owner. Returns the request's valid
// (1 when a value was accepted; the text is in request->text), 0 when cancelled or refused.
INT_PTR RunModalEditBar(HWND owner, EditRequest *request);
// Moves the frame around part's row and, with focus, selects and focuses its entry control.
int SelectEditBarPart(HWND container, EditBarPair *table, int part, int focus);
// 1 when the window under the cursor is one of the choice boxes of the container.
int IsCursorOnPartChoice(HWND container);
// A visible grey "Static" child (id 1264) covering rect (parent's client coordinates).
HWND CreateEditBarShadow(HWND parent, const RECT *rect);
// Commits an open modeless edit bar as Enter would (checked first) before a command that
// saves or closes the return. Returns 1 when no edit bar is open afterwards (committed, or none
// was open), 0 when its value was refused and the bar stays open (the command should stop).
int CommitOpenEditBar(void);
// Stores a page field's accepted entry: edit rules, SetFieldText, redraw, header names, tree
// caption, the field's own computation, the form's recompute and a full recompute request.
void CommitFieldEntry(EditRequest *request);
// 1 for a field computed again when an entry is committed to it: a check mark ('x') or a 'P' part
// whose sub-letter is 'l' (third character of the type code).
int IsComputedOnCommit(const char *typeCode);
// The last steps of a committed entry, the same for a field on the page and a member of the
// multi-field popup: the field itself is computed when IsComputedOnCommit, then the page.
void ComputeCommittedField(FieldRecord *field, FieldTable *table, FormInstance *page);
// The forms list's copies edit (gFormsListCopiesEditHook, set at start-up): a modal edit bar
// (requester kind 3) over the row's copies cell; text holds the copies and receives the entry.
// 1 when accepted.
int EditFormsListCopies(HWND dialog, HWND list, int row, char *text, int textSize);
// 1 (default): a row checks and closes when the focus leaves it, and a list closed by a click
// outside the bar closes it. Window tests set 0 and drive the bar with messages only (under a
// display without a window manager the focus moves on its own).
extern int gEditBarFocusEvents;

// Placement of the edit bar (screen coordinates), computed from the field's rectangle, the
// requester's client rectangle in screen coordinates and the part sizes.
struct EditBarPlacement {
    int x, y, width, height;     // the container
    int rowX;                    // left of the part rows in the container's client area
    int rowY[EDITBAR_MAX_PARTS]; // top of each row in the container's client area
    int boxY[EDITBAR_MAX_PARTS]; // top of each choice box (several parts)
};
int ComputeEditBarPlacement(const RECT *fieldRect, const RECT *clientScreen, int partCount, int partWidth,
                            int partHeight, int boxWidth, int boxHeight, EditBarPlacement *out);

// Part check helpers (no window needed).
// Joins the boxes of a split entry (date, SSN, EIN, phone) into the value handed to the
// validator: a date's visible boxes with '/' (empty boxes filled with '0' up to their limits,
// all empty = ""); SSN and EIN boxes with '-' after each non-empty box but the last; phone
// "(" box 1 ")" box 2 "-" box 3. limits are the boxes' character counts. Returns the length.
int JoinSplitEntryText(int controlKind, const char *const *boxes, const int *limits, int count, char *out,
                       int outSize);
// Resolves what was typed or chosen in a list part into the value to store: "" for an empty
// text or one beginning with '<'; a state part (stateGroups non-zero) as its abbreviation (a
// typed abbreviation, a typed name, or a chosen "AB Name" item); another list as the code of the
// item whose code or label the text equals exactly (case ignored). Returns 1 accepted (text
// rewritten), 0 refused.
int ResolveListEntry(char *text, int textSize, const char *valueList, char partLetter, int stateGroups);
// The items of a list part's value list (split at commas and double quotes; with cutAtEquals
// each item is cut at its '='): calls proc for each non-empty item; returns the item count.
typedef void (*ListItemProc)(const char *item, void *context);
int ForEachListItem(const char *valueList, int cutAtEquals, ListItemProc proc, void *context);

// Used by the rooms that open their own edit bars (the grid, the popup, signatures) and by tests.
// The pair of a row dialog (null for other windows).
EditBarPair *GetEditBarPair(HWND partDialog);
// The commit steps of one valid row (once).
int CommitEditBarPart(EditBarPair *pair);
// The statement button: stores a changed value and asks the main window for the statement.
void OpenFieldStatement(EditRequest *request, EditBarPart *part);
// Tells the user that the taxpayer information refused text (nothing was stored).
void ShowEditRulesRefusal(const char *text);
// The item code of a field whose type code is a taxpayer item ("T[1b]" -> "1b"); 0 for others.
int GetTaxpayerItemCode(const FieldRecord *field, char *out, int outSize);

#endif // LEVYLINE_ENTRY_EDITBAR_H
