// pages.h - public interface of the form pages the user sees: page images, page loading, the
// page view, field colours and redraw.
//
// Layering: pages sits on the canvas (which draws) and the data layers; print and the
// data-entry windows build on it. Calls up into data entry (the edit bar and the dialogs a click
// opens) go through hooks that the shell sets at start-up.
//
// Several topics live in this one header; each has its own banner section.
#ifndef LEVYLINE_PAGES_H
#define LEVYLINE_PAGES_H

#include <windows.h>
#include <stdint.h>
#include "canvas/canvas.h"

// page-definition record): with buffer null its decoded length; else fills buffer (bufferSize
// bytes, length + 1 recommended; a zero follows the data when it fits) and returns the bytes
// written. Served from the page-data cache only when it holds this record of this page's FormPak.
// 0 when the FormPak cannot be read.
uint32_t ReadPageImageData(uint8_t *buffer, uint32_t bufferSize, FormInstance *page);
// Renders a form page's PCL stream: the part [imageStart, imageEnd) (as record offsets) of the
// page-definition record (recordLength decoded bytes), turned when its page key names a landscape
// form (which sets the page's landscape flag), with its fields painted (DrawFieldData). progress:
// a progress bar (PBM_SETPOS, one message per percent) or null. The bitmap is the caller's.
HBITMAP RenderPclPage(const uint8_t *record, uint32_t recordLength, FormInstance *page, HWND progress);


// The page view's shaded fields: for each field with a rectangle a block is made from the page
// bitmap (check boxes shaded inside, tagged fields tinted, others filled with the shading colour,
// calculated, label, button and return-type 'T[.0' fields white), its value painted, resampled
// by zoom and composited onto the view bitmap (the scaled page). The view rectangle, moved by
// (offsetX, offsetY), is invalidated in view when invalidate is set. drawEmpty paints empty
// fields at page size too. shadeColour is the page's field shading (white while gViewOnly).
// Returns the number of fields composited.
int DrawActiveFieldAt(FieldRecord *fields, int count, HBITMAP pageBitmap, HBITMAP viewBitmap, float zoom,
                      COLORREF shadeColour, int offsetX, int offsetY, HWND view, int invalidate, int drawEmpty,
                      const FormInstance *page);
// The same for the page shown: zoom gZoom, the page's shading colour (GetFieldShadeColor), the
// view rectangle moved by (toX - fromX, toY - fromY) (margin less scroll) and invalidated in the
// page view window.
int DrawActiveField(FieldRecord *fields, int count, HBITMAP pageBitmap, HBITMAP viewBitmap, int fromX, int toX,
                    int fromY, int toY, int reserved, int invalidate, int drawEmpty);


// A DIB section from the bytes of a BMP file (BITMAPFILEHEADER, BITMAPINFOHEADER, colour table
// for 8 bits or fewer, uncompressed rows): offsets, sizes and depth are checked against length;
// null for anything else.
HBITMAP CreateBitmapFromBmpFile(const uint8_t *data, uint32_t length);
// The page's image from the decoded page-bitmap record (recordLength bytes; the page's block is
// record[imageStart - bmpOffset .. imageEnd - bmpOffset], an "_rvq" compressed BMP): the bitmap
// with the tagged fields' backgrounds saved into the clip slots (first three) and all fields
// painted (backgrounds cleared first). Null when the block is out of range, does not expand or is
// no sound BMP. The caller owns the bitmap.
HBITMAP BuildPageImageFromBmp(const uint8_t *record, uint32_t recordLength, FormInstance *page);
// Reverse video: the first field of each tagged type with a rectangle gets its value painted in
// black (a signature field its signature image) and its rectangle inverted; into dc or (dc
// null) into bitmap. Returns the number of tagged fields found.
int InvertTaggedFields(HDC dc, HBITMAP bitmap, FormInstance *page);
// Scales the content up by extraWidth x extraHeight pixels, keeping the bitmap's size (the part
// pushed past the right and bottom edges is cut). dc: the DC holding bitmap, or null.
int StretchPageContent(HDC dc, HBITMAP bitmap, int extraWidth, int extraHeight);
// The Minnesota form-number stamp box of a page key, and (Schedule M1LTI.1) the band whitened
// beside it (empty for the others).
void GetMinnesotaStampBox(const char *pageKey, RECT *box, RECT *whiteBand);
// The Minnesota output treatment: stamp box whitened and "1029" drawn, light shading colours
// of the colour table made white, tagged fields inverted, content stretched by 17 rows.
int ApplyMinnesotaStamp(HBITMAP image, FormInstance *page);
// Steps after the source of a page image: field values (form pages), the Minnesota treatment,
// print stamps (forPrint and a page that takes them), reverse video, landscape rotation.
// Returns the finished image (it may be a new bitmap: the one passed is then deleted).
HBITMAP FinishPageImage(HBITMAP image, FormInstance *page, int forPrint);
// The finished image of one page for printing and PDF output (caller deletes it), or null: the
// page shown (copied, when no output runs), the Summary or Status page, or a form page read from
// its FormPak (PCL or compressed BMP; another image-source code shows "Form-image generation
// source not determined. Research. [RAVOVIVE-only]"); then FinishPageImage. The saved field
// backgrounds of the page shown are kept while another page is built.
HBITMAP GeneratePageImage(FormInstance *page, int forPrint);
// The page view while no return is open, composed off-screen at the page view's client size
// (rect's size when there is no page view) and copied into rect of dc (erase: rect whitened
// first): the logo, a page picture and the three hint lines. Returns 1 when drawn.
int DrawEmptyPageHint(HDC dc, const RECT *rect, int erase);
// The end of the hint's second line for the view mode (split view, tabs above, tabs below).
const char *GetEmptyPageHintListText(void);

// ---- page view ----
// The page view window (class "PVClass"): the page shown at the zoom, scrolled and clicked;
// page loading; field colours and redraw. All of it runs on the user-interface thread; the
// recompute worker reaches it only through WM_PAGE_REDRAWFIELD sent across threads.

#define PAGE_VIEW_CLASS "PVClass"
#define PAGE_VIEW_CONTROL_ID 1020
// gPageViewFlags
#define PAGE_VIEW_ZOOMED   1   // rebuild the scaled bitmap, keep the scroll position in proportion
#define PAGE_VIEW_NEWPAGE  2   // rebuild it and scroll to the top left
#define PAGE_VIEW_RESIZED  4   // the client size changed: margins again before the next paint
#define PAGE_VIEW_LINE_X   5   // scroll line steps in pixels
#define PAGE_VIEW_LINE_Y   25

// lParam of WM_OPEN_STATEMENT with wParam 1 (84 bytes): the statement grid's parameter block
// as the page view fills it.
struct PageStatementBlock {
    FieldRecord *field;         // the statement's field (the record named by the clicked field)
    FieldRecord *summaryField;  // the page field clicked
    uint32_t fieldIndex;
    char *caption;
    char *importData;
    uint32_t importInvalid;
    uint16_t kind;              // 1 clicked, 2 entered with Tab / Shift+Tab
    uint16_t result;
    uint32_t direction;         // 0 forward, 1 backward
    uint32_t exportShown;
    uint32_t importMarks;
    uint32_t navigated;
    int32_t placeX, placeY;     // the field's top-left in page-view client pixels
    uint32_t showTotal;         // 1 for an "S[t" field
    uint32_t outputTarget, outputArg1, outputArg2, outputResult;
    uint32_t invalidCount;
    HWND owner;
    FormInstance *page;         // the page shown
};
static_assert(sizeof(PageStatementBlock) == 84, "the page view's statement block is 84 bytes");

// The parameter block of the "MultiField" popup, the one block of every opener (the popup's
// rules: entry/multifield/multifield.h).
struct MultiFieldParams {
    uint32_t groupKind;         // 0 numbered list ('c', "S[m"), 1 name or address ("S[c")
    FieldRecord *field;
    FieldTable *fields;
    uint32_t fieldIndex;
    char *caption;              // tree caption (", Copy %d" added for copies)
    uint32_t firstField;        // IsFirstEditableField: no previous field
    uint16_t kind;              // 1 clicked, 2 entered with Tab / Shift+Tab
    uint16_t result;            // out: 2 the user tabbed out
    uint32_t direction;         // out: 0 forward, 1 backward
    uint32_t wrapLeaves;        // 1: Tab past the first or last member leaves the popup
    int32_t placeX, placeY;     // the field's top-left in page-view client pixels
};

// Globals of the page view (the window itself is gPageViewWindow, store/callbacks.h).
extern HBITMAP gPageBitmap;        // the full-size page (300 dpi); 1 x 1 one-bit while empty
extern HBITMAP gScaledPageBitmap;  // the page scaled to gZoom; 0 when none
extern float gZoom;                // page units to screen pixels; PAGE_ZOOM_START at start and after a reset
#define PAGE_ZOOM_START 0.3f           // 100 %
extern float gLastPaintZoom;       // the zoom of the last rebuild
extern int gPageScrollX, gPageScrollY;       // scroll position in scaled pixels
extern int gPageScrollMaxX, gPageScrollMaxY; // largest scroll positions, never below 0
extern int gPageMarginX, gPageMarginY;       // offset of the scaled page in the client area
extern uint16_t gPageViewFlags;              // PAGE_VIEW_*
extern int gPageShown;             // 1 while a page is loaded
extern int gPageButtonDown;        // a left press in the view awaits its release
extern struct EditRequest gEditRequest; // the page view's request to the edit bar (ui/ui.h)

// Window.
HWND CreatePageView(HWND parent);
LRESULT CALLBACK PageViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The page shown: 1 its tree item, 2 its page key, 3 its FieldTable, 4 its FormInstance; 0 for
// another kind or no page.
void *GetCurrentDocument(int kind);
void SetCurrentDocument(HTREEITEM treeItem);
// The record with that sequence number in records (or, when null, the table's own), else 0.
FieldRecord *FindFieldRecord(const char *sequenceText, FieldTable *fieldTable, FieldRecord *records);
// The page's field hit test: the first field of table (the page shown's is GetCurrentDocument(3))
// whose rectangle holds the page point, its index in outIndex; null when none or no table.
FieldRecord *FindFieldInTable(const FieldTable *table, POINT pagePoint, int *outIndex);
// What a click on the field opens: 0 edit bar, 1 explanation, 2 statement group, 3 and 4
// multi-field popup, 5 and 6 statement, 7 attachment, 8 signature, 9 nothing.
int GetFieldKind(const FieldRecord *field);
int OpenEditBar(HWND pageView, struct EditRequest *request);
// A page view's edit bar open on page (a page being removed) closes without storing anything:
// its field goes with the page.
void CloseEditBarOnPage(const FormInstance *page);
int ScrollRectIntoView(HWND window, const RECT *rect, int dx, int dy);
int IsFirstEditableField(const FieldTable *fieldTable, int index);
// The field that Tab (direction 0) or Shift+Tab (1) reaches from index: the tab links followed
// past fields without a rectangle and the kinds the walk passes over. The walk ends after as
// many steps as the table has fields, at a link out of range and back at its start. -1: none.
int FindNextTabField(const FieldTable *table, int index, int direction);
// The amended copy of a sent return: its file name ("_amended" before the extension, else with
// a two-digit counter; 0 when none is free or fits), and the send state it clears.
int MakeAmendedPathName(const char *path, char *out, int outSize);
void ClearReturnSendState(OpenReturn *record);

// Geometry of the view (32-bit float as the page view computes it).
int ScalePageLength(int length, float zoom);               // trunc(length x zoom), at least 1
int PageToClient(int pageCoord, float zoom, int scroll, int margin);
int ClientToPage(unsigned clientCoord, int margin, int scroll, float zoom);
void ComputePageMargins(int clientWidth, int clientHeight, int scaledWidth, int scaledHeight,
                        int *marginX, int *marginY);
// Scroll positions after a zoom change from last to zoom (hScrollHeight: SM_CYHSCROLL).
void AdjustScrollForZoom(float zoom, float last, int clientWidth, int clientHeight, int scaledWidth,
                         int scaledHeight, int hScrollHeight, int *scrollX, int *scrollY);
// Where a paint copies the scaled page: 1 with the destination rectangle and source point, 0
// when the source point lies outside the scaled bitmap.
int ComputePaintCopy(const RECT *paint, int marginX, int marginY, int scrollX, int scrollY,
                     int scaledWidth, int scaledHeight, RECT *dest, POINT *source);
// The grey strips of the client area that the page does not cover; returns their number (0..4).
int ComputeMarginStrips(int clientWidth, int clientHeight, int marginX, int marginY, int scrollX,
                        int scrollY, int scaledWidth, int scaledHeight, RECT strips[4]);
// The field's rectangle in client pixels of the page view.
void GetFieldClientRect(const RECT *pageRect, RECT *out);

// The message of a click on a calculated field from ExplainFieldFormula's text and out-values
// (calc/calc.h): a MemAlloc text and the stretch of it to mark (*markStart -1 for none).
struct FormulaExplainInfo;
char *BuildSourceExplanation(const FieldRecord *field, const char *sources, const struct FormulaExplainInfo *info,
                             int *markStart, int *markLength);
// Its title ("Line %s - description" ...).
int BuildSourceExplanationTitle(const FieldRecord *field, char *out, int outSize);

// Page loading.
// The forms tree's road to the page view: the tree item of the page shown (null before the page
// view exists), showing an item's page, forgetting a page that was removed, and the field
// buttons of a page destroyed. The first three do nothing until the page view exists.
HTREEITEM GetShownTreeItem(void);
void ShowTreeItemPage(HTREEITEM item);
void ForgetShownPage(void);
void DestroyPageButtons(FormInstance *page);
void LoadPageImage(HTREEITEM treeItem, OpenReturn *returnRecord);
void ClearPageView(void);

// Field colours and redraw.
// (GetFieldTextColor: field painting above.)
COLORREF GetFieldShadeColor(HDC dc, HBITMAP bitmap);
// The colour that shading code 1 takes from a colour table (CLR_INVALID when none qualifies).
COLORREF PickPageShadeColor(const RGBQUAD *table, int count, COLORREF textColor);
int RedrawField(FieldRecord *field);
int RedrawAllFields(void);

// The recompute engine's questions about the page shown (gAppCallbacks.isPageShown and
// drawChangedField, store/callbacks.h; called on its worker too, so they only read globals):
// whether page is the page shown, and a changed field drawn into the page bitmap.
int IsPageViewPage(const FormInstance *page);
void DrawChangedPageField(FieldRecord *field, FormInstance *page);

// The page view reaches data entry's editors (edit bar, explanation, multi-field popup,
// signature capture, e-file information sheet) through gWindowCallbacks (ui/window_callbacks.h).

#include "pages/summary.h"
#include "pages/zoom.h"
#include "pages/taxpayer.h"
#include "pages/attachments.h"
#include "pages/page_status.h"

#endif // LEVYLINE_PAGES_H
