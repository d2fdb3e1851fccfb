// print.h - public interface of printing: list reports, the print job of the return's pages,
// statements and status pages, the print dialog layer and its page groups.
//
// Layering: print sits on pages (which builds every page image it prints) and the canvas; the
// data-entry windows and the shell call it. It never includes entry or shell.
#ifndef LEVYLINE_PRINT_H
#define LEVYLINE_PRINT_H

#include <windows.h>
#include <commdlg.h>
#include <stdint.h>
#include "pages/pages.h"

// ---- printing ----
// List reports (a list view printed or rendered as report pages), the print job of the return's
// pages, statements and status pages, the print dialogs and their page groups.

// List reports: at most this many page bitmaps are kept when a report is rendered to bitmaps.
#define LIST_REPORT_MAX_BITMAPS 13
// The five fonts of a report.
enum { LIST_FONT_ROWS = 0, LIST_FONT_TITLE, LIST_FONT_SUBTITLE, LIST_FONT_HEADS, LIST_FONT_FOOTER,
       LIST_FONT_COUNT };
// One item of the summary line drawn under its column after the last row.
struct ListSummaryItem {
    int column;
    const char *text;
};
// A list report: filled by the dialog that prints its list (InitListPrintJob sets the defaults),
// completed by PrintListReport.
struct ListPrintJob {
    HWND listView;                  // the list whose rows are printed
    HWND header;                    // its header control (column count, texts, alignment)
    HBITMAP *pageBitmaps;           // LIST_REPORT_MAX_BITMAPS slots, filled when rendering to bitmaps
    const char *title;              // main title line, also the progress caption
    const char *subtitle;           // second title line (may be null)
    const ListSummaryItem *summaryItems;
    int summaryCount;
    int autoSizeColumns;            // size every column to its contents first
    int titleBlock;                 // draw the title block on the first page
    int titleArtwork;               // vector artwork at the left of the title block
    int artworkId;                  // its resource id
    int titleFill, titleDoubleFrame, titleShadow;
    COLORREF titleTextColour, titleFillColour;
    int headsFlag;                  // draw the column heads band on every page
    int headFill, headFrame;
    COLORREF headTextColour, headFillColour;
    int footerFlag, footerFill, footerFrame;
    COLORREF footerTextColour, footerFillColour;
    int centre;                     // centre the table on the page
    int indent;                     // computed: left indent of the centred table
    int clip;                       // bands stop at the printable width
    int maxCellText;                // longest cell text read (0 = 260 characters)
    int singleLine;                 // cells end in an ellipsis on one line instead of wrapping
    float leftMargin, topMargin;    // inches
    int landscape;                  // print across the long side
    int rowLines;                   // a thin rule under each row (default 1)
    SYSTEMTIME printTime;           // local time taken when printing starts (footer)
    // Computed device geometry (device units).
    int pageWidth, pageHeight, marginX, marginY, printableWidth, printableHeight;
    float scaleX, scaleY;           // device pixels per screen pixel
    double artScaleX, artScaleY;    // device dots per inch / 600
    int fontDpi;                    // dots per inch of font heights (the device's, 300 for bitmaps)
    int rotated;                    // 1 when the output is turned (landscape job on a portrait page)
    int spaceX4, spaceX20, spaceY20, spaceY10, spaceY6, spaceY2;
    int fontPoints[LIST_FONT_COUNT];        // rows, title, subtitle, heads, footer
    HFONT fonts[LIST_FONT_COUNT];           // created while printing
    char fontFaces[LIST_FONT_COUNT][32];
    float shrink;                   // computed: column shrink factor (1 when the table fits)
    int pagesProduced;              // computed: pages of the last run
    int failed;                     // computed: 1 when the printer refused a page
};
// One column of a report page.
struct ListReportColumn {
    int listWidth;                  // width in the list (screen pixels)
    int width;                      // width on the page (device units)
    UINT align;                     // DT_LEFT, DT_CENTER or DT_RIGHT
    char head[64];
};
// Defaults of a job for listView (its header, the fonts, colours and margins).
void InitListPrintJob(ListPrintJob *job, HWND listView);
// Prints the job onto printerDc (inside a document the caller started: StartPage and EndPage per
// page) or, with printerDc null, renders it into the job's bitmap slots (4-bit page bitmaps; the
// first LIST_REPORT_MAX_BITMAPS pages are kept, the caller owns them). stamp draws the outlined
// "For Your Records" / "DO NOT MAIL" stamps. Returns the number of pages produced (0 when the
// printer refused a page: job->failed is then 1).
int PrintListReport(HWND owner, HDC printerDc, ListPrintJob *job, int stamp);
// Column layout: page widths = list widths x job->scaleX, alignment and heads as given; when the
// widths exceed the printable width they shrink by (printable x 100 / total, whole) / 100, and a
// factor below 0.45 becomes 0.44 when scaleX <= 1. job->indent is set for a centred table.
// Returns the shrink factor (1 when the table fits).
float LayoutListColumns(ListPrintJob *job, ListReportColumn *columns, int count);
// Device geometry of the job for printerDc, or for bitmaps (printerDc null; bitmapWidth and
// bitmapHeight 0 = the page canvas size); screenDpiX/Y = the screen's dots per inch.
void SetListReportGeometry(ListPrintJob *job, HDC printerDc, int bitmapWidth, int bitmapHeight,
                           int screenDpiX, int screenDpiY);
// The footer's date and time: "mm/dd/yyyy  hh:mm:ss a.m." on the 12-hour clock (0:xx is 12 a.m.,
// 12:xx is 12 p.m.). Returns the length, 0 when out is too small.
int FormatListReportTime(const SYSTEMTIME *time, char *out, int outSize);
// 1 when a row of rowHeight starting at top is drawn on this page (three quarters of it lie
// above bottom).
int ListRowFitsOnPage(int top, int rowHeight, int bottom);


// Print dialog with page groups. Control ids of the "PRINTDLGEX" template (the lower part of the
// general page) and of the program's own general page (used where the platform's PrintDlgEx is
// a stub).
#define IDC_PRINT_ALL          1056   // radio " &All" (or the single item's name)
#define IDC_PRINT_GROUP        1057   // radio beside the page-group combo box
#define IDC_PRINT_CURRENT      1058   // radio " C&urrent Page"
#define IDC_PRINT_PAGES        1059   // radio " Pa&ges:"
#define IDC_PRINT_PAGES_EDIT   1152
#define IDC_PRINT_COPIES       1153
#define IDC_PRINT_COLLATE      1040
#define IDC_PRINT_GROUP_COMBO  1477
#define IDC_PRINT_RANGE_BOX    1072
#define IDC_PRINT_COPIES_BOX   1073
#define IDC_PRINT_COPIES_LABEL 1090
#define IDC_PRINT_COLLATE_ICON 1084
#define IDC_PRINT_PRINTER      1139   // own general page: printer combo box
#define IDC_PRINT_PRINTER_INFO 1138   // own general page: the printer's port and comment
#define IDC_PRINT_OPTIONS      2110   // own general page: the "PRINTDLGEX" child dialog
// Caption of the "PRINTDLGEX" template: it only shows where a platform dialog (wrongly) uses the
// template as a whole dialog, which is how the stub is recognised.
#define PRINTDLGEX_TEMPLATE_CAPTION "Levyline Print Options"

// The print dialog's callback object (the platform's IPrintDialogCallback), with the page-group
// combo box of the "PRINTDLGEX" template. Reference counts are kept but never delete the object:
// it lives on the caller's stack for one dialog.
class CPrintDialogEx : public IUnknown {
public:
    class CPrintDialogCallback : public IPrintDialogCallback {
    public:
        CPrintDialogCallback(const char *groupList, const char *caption);
        STDMETHOD(QueryInterface)(REFIID iid, void **out);
        STDMETHOD_(ULONG, AddRef)();
        STDMETHOD_(ULONG, Release)();
        STDMETHOD(InitDone)();
        STDMETHOD(SelectionChange)();
        STDMETHOD(HandleMessage)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
        int chosenGroup;            // combo box selection when the dialog closed
        const char *caption;        // name of the single tree item printed, or null
        LONG references;
        HWND dialog;                // the template's dialog (kept on WM_INITDIALOG)
        const char *groupList;      // ';'-separated page-group names (owned by the caller), or null
    };
    CPrintDialogEx(HWND owner, const char *groupList, const char *caption);
    STDMETHOD(QueryInterface)(REFIID iid, void **out);
    STDMETHOD_(ULONG, AddRef)();
    STDMETHOD_(ULONG, Release)();
    LONG references;
    HWND owner;
    CPrintDialogCallback *callback;        // points to callbackObject
    CPrintDialogCallback callbackObject;
};

// 1 when the platform's PrintDlgExA is the stub that runs the classic dialog with the template
// as the whole dialog (found out once per process by a probe that lets no window appear).
int IsPrintDlgExStub(HWND owner);
// The program's own general page in place of such a stub: printer, page range and copies with
// the record's template as its lower part, calling the record's IPrintDialogCallback as the
// platform does; fills hDC (PD_RETURNDC), hDevMode, hDevNames, Flags (range choice, collate),
// the page ranges, nCopies and dwResultAction. Returns S_OK, or E_INVALIDARG / E_HANDLE for a
// bad record, E_FAIL when no printer is installed.
HRESULT ShowOwnPrintDialogEx(PRINTDLGEXA *record);
// PrintDlgExA of the platform (looked up at run time), or the program's own page where that is
// the stub. E_NOTIMPL when the platform has no PrintDlgExA.
HRESULT RunPrintDialogEx(PRINTDLGEXA *record);
// Parses a page-range text ("3-5, 7") into at most maxRanges ranges within minPage..maxPage.
// Returns the number of ranges, 0 for an empty text, -1 for a bad text or a page outside.
int ParsePageRangeText(const char *text, PRINTPAGERANGE *ranges, int maxRanges, int minPage, int maxPage);

// The print job's state: 1 once the print dialog returned a printer, 0 again on Cancel (the
// progress dialog) or a refusal; gPrintProgressDialog is the modeless "PRINTABORT" dialog.
extern int gPrintJobActive;
extern HWND gPrintProgressDialog;
// The default printer: with buffer, its name is copied (*size = the buffer's size on entry, the
// length with its terminator on return); without, *size = the length with its terminator.
// Returns 0 when no default printer is defined (or the buffer is too small).
int GetDefaultPrinterName(char *buffer, DWORD *size);
// Scales an image into a page keeping its proportions (the smaller of the two ratios, rounded,
// at most the page) and centres it. Returns 0 for empty sizes.
int FitImageToPage(int imageWidth, int imageHeight, int pageWidth, int pageHeight, int *x, int *y, int *width,
                   int *height);
// Where a band (rectangle of the image) lands in the fitted image on the page.
int FitBandToPage(int imageWidth, int imageHeight, int pageWidth, int pageHeight, const RECT *band, RECT *out);
// Sends the page bitmap to the printer page, scaled and centred (in ten bands on banding
// devices). Returns 1.
int PrintBitmapOnPage(HDC printerDc, HBITMAP bitmap);
// StartPage, the caption ('&' doubled) and progress text into the progress dialog, the bitmap,
// EndPage. 1 when both calls succeeded.
int PrintPageStartEnd(HDC printerDc, HBITMAP bitmap, const char *caption, const char *progress);
// Caption (static 1226, '&' doubled) and progress text (static 1036) of the progress dialog;
// either may be null.
void SetPrintProgressTexts(const char *caption, const char *progress);
// Removes and dispatches the thread's pending messages (the progress dialog's first) so the
// windows paint and Cancel is seen; returns gPrintJobActive.
int PumpPrintMessages(void);
BOOL CALLBACK PrintAbortProc(HDC printerDc, int error);
// "PRINTABORT": creation parameter 1 printing, 2 PDF output (no Cancel button).
INT_PTR CALLBACK PrintAbortDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Hook of the classic "PRINTDLG" template: centres the dialog on its parent.
UINT_PTR CALLBACK PrintDlgHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Page groups of the print dialog: one row per group, ended by a row with an empty name.
#define PRINT_GROUP_ROWS        7
#define PRINT_GROUP_FOLDER      16   // a folder of the forms tree
#define PRINT_GROUP_PSEUDO_PAGE 99   // the Summary or the Status page
struct PrintPageGroup {
    char name[64];
    int queryMode;          // page query used without a tree item (0: none)
    int kind;               // PRINT_GROUP_*
    char key[64];           // key of that query
    HTREEITEM item;         // the folder or page item
    int included;           // 1 when offered in the dialog
    int index;              // its index in the combo box, -1 when not offered
};
// Fills rows (PRINT_GROUP_ROWS) from the forms tree: "Federal return", "State return 1", "Other
// return", "Withholding forms" (folders holding pages, offered under their tree text without the
// page count), "Summary page", "Status page". *groupListOut (may be null) = a MemAlloc text of the
// offered names joined by ';' (null when none). Returns the number offered.
int BuildPrintPageGroups(PrintPageGroup *rows, char **groupListOut);
// The dialog's answer as an owned MemAlloc array of pages (*pagesOut, *countOut): a tree item
// given (the forms tree's menu) prints that item's page (a folder: its pages) whatever the range;
// "current page" the page shown (none shown: no pages); the selection the chosen group's pages
// (the classic dialog: the page shown); page numbers the return's pages in those ranges (tree
// order, Summary and Status not counted); otherwise the Summary page, the Status page and all
// pages. Flags and ranges come from whichever record is given. Returns the count (0: none).
int CollectPagesToPrint(const PRINTDLGEXA *recordEx, const PRINTDLGA *record, const PrintPageGroup *rows,
                        int chosenGroup, FormInstance ***pagesOut, int *countOut, HTREEITEM treeItem);
// Runs the print dialog for record with the page groups (mode 1) or the single item's caption,
// and on "print" fills the page list (mode 1) or sets *countOut to 1 (modes 2 and 3). Returns the
// dialog's result.
HRESULT ShowPrintDialogEx(PRINTDLGEXA *record, FormInstance ***pagesOut, int *countOut, int mode,
                          HTREEITEM treeItem);

// The print job. mode 1: the return's pages (treeItem: only that item, from the forms tree's
// menu; stamp: printed copies are stamped where the page takes stamps); mode 2: the list report
// job (stamp: stamped report pages); mode 3: one "Tax Return Status" page per return of the
// null-terminated entries. Returns 1 when the job ran to its end (the dialog was confirmed, not
// cancelled, and the printer took every page), else 0 after its message.
struct BatchStatusEntry;
int PrintForms(HWND owner, ListPrintJob *job, HTREEITEM treeItem, int mode, int stamp, BatchStatusEntry **entries);
// Prints the pages, each on its own printer page (progress texts, Minnesota output flags).
// 0 when the printer refused a page or the job was cancelled.
int PrintReturnPages(HDC printerDc, FormInstance *const *pages, int count, int forPrint);
// One "Tax Return Status" page per run of entries sharing a return identity. 1 when any printed.
int PrintReturnStatusPages(HDC printerDc, BatchStatusEntry *const *entries);
// 1 (after "Unable to Print ...") when a page of the list is an amended form of the "Print and
// Scan Forms" group whose return part is not accepted; else 0.
int CheckAmendedPagesPrintable(FormInstance *const *pages, int count);
// The main window's handler of IDM_PRINT (lParam: the tree item from the forms tree's menu).
LRESULT PrintCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);


#include "print/pdf.h"
#include "print/print_statements.h"
#include "print/listreport_footer.h"

#endif // LEVYLINE_PRINT_H
