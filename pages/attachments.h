// attachments.h - field file attachments ("S[pdf]" fields) and the field buttons drawn over a
// page. Part of the pages' public interface: include pages/pages.h.
#ifndef LEVYLINE_PAGES_ATTACHMENTS_H
#define LEVYLINE_PAGES_ATTACHMENTS_H

#include <windows.h>
#include "store/store.h"

// ---- file attachments ----
// Stores an attached file's path: without a folder field the field gets the file name and the
// partner the full path; with one the field gets the full path, the partner the file name and
// the folder field the folder as shown to the user (MaskProfileFolder). Marks the return modified.
int AttachPdfToField(FieldRecord *field, FieldRecord *partner, FieldRecord *folderField, const char *path);
// The click on an attachment field: the open-file dialog ("Select File to Attach", folder
// "AttachDir"), the question about clearing a previous attachment on cancel, the PDF check, and
// the field and its partner redrawn. 1 when a value changed.
int OnAttachFieldClick(HWND pageView, FieldRecord *field, FieldTable *table, int fieldIndex);
// The dialog's extension ("pdf") and filter ("PDF Files (*.pdf)" "*.pdf", ending in two zeros)
// of an "S[xxx]" type code. 1 when the filter fits.
int BuildAttachFilter(const char *typeCode, char *extension, int extensionSize, char *filter, int filterSize);

// ---- field buttons ----
// The most rows an import button brings into a statement.
#define IMPORT_BUTTON_MAX_RECORDS 1000
// The bitmap of a button's action number: its name ("BTNS_PIN_BMP" for numbers not listed) and
// its resource id (IDB_FIELD_BUTTON_BASE + the name's row in the button table).
#define IDB_FIELD_BUTTON_BASE 8100
const char *GetFieldButtonBitmapName(int action);
int GetFieldButtonBitmapId(int action);
// The action number a button field's type code carries ("B101", "B219L"): -1 when none; *wide
// (may be null) = 1 for the 'L' mark.
int GetFieldButtonAction(const char *typeCode, int *wide);
// Gives a page its button slots, one per field of type 'B' with a rectangle (nothing when it has
// slots already). Returns the number of slots.
int CreatePageButtonSlots(FormInstance *page);
// Loads a slot's bitmap (widened for the 'L' mark) and stores its action number.
HBITMAP CreateFieldButtonBitmap(FieldButtonSlot *slot);
// A button's rectangle in page-view coordinates at a zoom, scroll and margins.
void ComputeFieldButtonRect(const RECT *fieldRect, int bitmapWidth, int bitmapHeight, float zoom, int scrollX,
                            int marginX, int scrollY, int marginY, RECT *out);
int PositionFieldButtons(HWND pageView, FormInstance *form, int scrollX, int marginX, int scrollY, int marginY,
                         int zoomChanged);
int DestroyFieldButtons(FieldButtonSlot *slots, int count, HWND tooltipWindow);
// WM_DRAWITEM and WM_COMMAND (BN_CLICKED) of the page's buttons.
LRESULT OnFieldButtonMessage(HWND pageView, UINT message, WPARAM wParam, LPARAM lParam);
// Runs a button's action for its field on the page shown (as a click on the button would;
// onArrow: a drop-down button clicked on its arrow part).
int RunFieldButtonAction(HWND pageView, int action, FieldRecord *field, int onArrow);
// A drop-down menu's choice: a value other than two characters names a field (WM_COMMAND id
// 0xFFFF to the page view); "PN", "EE", "RE" open the explanation of that kind; "TI" and "EO"
// the e-file information sheet.
int ShowExplanationDialog(const char *value, FieldTable *fieldTable, int action);
// One item of a drop-down button's value list ("Caption,VALUE;Caption2,VALUE2"): item index
// (from 0) into caption and value; 0 when the list has no such item or it misses a piece.
int GetDropDownMenuItem(const char *list, int index, char *caption, int captionSize, char *value, int valueSize);
// 1 when a link may be opened: http:// or https:// only.
int IsOpenableLink(const char *text);

// A button's drop-down menu is tracked unless a test answers it (gFieldButtonMenuHook,
// store/seams.h). The buttons' actions reach the layers above through gWindowCallbacks
// (ui/window_callbacks.h): a return's explanation, the PDF of one form, the paste of taxpayer
// data into name fields and the import of statement rows.

#endif // LEVYLINE_PAGES_ATTACHMENTS_H
