// summary.h - the generated Summary and Status pages: their row tables, built from a return
// record without a window, and their drawing.
#ifndef LEVYLINE_PAGES_SUMMARY_H
#define LEVYLINE_PAGES_SUMMARY_H

#include <windows.h>
#include <stdint.h>
#include "store/store.h"
#include "prepare/describe.h"

// Row kinds.
#define SUMMARY_ROW_LABEL     0   // label, or label and value
#define SUMMARY_ROW_HEADING   1   // framed box heading
#define SUMMARY_ROW_FOOTER    2   // text at the page's edge (align: 7, 8, 9)
#define SUMMARY_ROW_PARAGRAPH 5   // word-wrapped label or value

// Colours (COLORREF).
#define SUMMARY_NAVY   0x800000
#define SUMMARY_BLACK  0x000000
#define SUMMARY_GREEN  0x008000
#define SUMMARY_MAROON 0x000080
#define SUMMARY_OLIVE  0x008080
#define SUMMARY_GREY   0xC0C0C0

// The characters [start, end) of the row's drawn text (the value when there is one, else the
// label) painted in colour; colour 0 = no span. Spans of a row lie in increasing text order.
struct SummarySpan {
    COLORREF colour;
    uint32_t start;
    uint32_t end;
};
struct SummaryRow {
    uint32_t kind;            // SUMMARY_ROW_*
    uint16_t icon;            // icon id (bitmap IDB_SUMMARY_ICON_BASE + id), 0 none
    const char *label;        // the label; when null wideLabel
    const wchar_t *wideLabel;
    const char *value;        // null: a label-only row
    COLORREF labelColour;
    COLORREF valueColour;
    uint32_t align;           // footer rows: 7 bottom left, 8 bottom centre, 9 bottom right
    SummarySpan spans[4];
};
// A row table: rows up to the first row with no icon, label or value. The table owns the texts
// its builder made (FreeSummaryTable).
#define SUMMARY_TABLE_ROWS 16
struct SummaryTable {
    SummaryRow rows[SUMMARY_TABLE_ROWS + 1];   // the last row always stays empty (the end)
    int count;
    void *owned[2 * SUMMARY_TABLE_ROWS];
    int ownedCount;
};
void FreeSummaryTable(SummaryTable *table);

// Part indexes: federal, state, other.
#define SUMMARY_PARTS 3
// What the pages say about one return, gathered once per page (GatherSummaryFacts) from the
// record, the open return and the settings; the row builders read only this.
struct SummaryFacts {
    OpenReturn *record;          // the record described
    int givenRecord;             // 1: a caller's record (part names, no descriptions)
    int present[SUMMARY_PARTS];  // parts the return holds
    int partCount;
    int audience;                // 1 "your", 2 "your client's"
    int plural;                  // 1 one part, 2 more
    int authority;               // 1 federal only, 2 state/other only, 3 both
    int specialCustomer;         // IsSpecialCustomer
    int lateSeason;              // IsEfileWindowOpen(record, 5)
    int individualReturn;        // GetReturnType reports a return type
    int businessReturn;          // GetBusinessReturnType reports a 94x-family return
    char taxYear[8];
    char returnPath[MAX_PATH];   // the return's file ("" = never saved)
    SYSTEMTIME nowUtc;           // the present (age of the last status update)
    SYSTEMTIME nowLocal;         // the present (the Summary page's "generated on")
    int described[SUMMARY_PARTS];
    ReturnDescription description[SUMMARY_PARTS];
    char folderCaption[SUMMARY_PARTS][128];   // forms-tree folder captions (cut before " [")
};
// Fills facts for record (null: the open return). Reads the preparer settings, the forms tree and
// the clock; the builders below need nothing else.
void GatherSummaryFacts(OpenReturn *record, SummaryFacts *facts);

// Row tables of the pages (each builder empties the table first; returns the row count).
// statusPage 0: "General Information"; 1: "Status Information For...".
int BuildSummaryInfoRows(const SummaryFacts *facts, int statusPage, SummaryTable *table);
// The Summary page's message box; *optionsOut = 1 when the options box follows (a pending part).
int BuildSummaryMessageRows(const SummaryFacts *facts, SummaryTable *table, int *optionsOut);
int BuildSummaryOptionRows(const SummaryFacts *facts, SummaryTable *table);
// The Status page's paragraphs; *raiseOut = 40 when the page moves up first (a part was sent).
int BuildStatusParagraphRows(const SummaryFacts *facts, SummaryTable *table, int *raiseOut);
// One part's heading (and description) rows and its status rows (part 0..2).
int BuildPartHeadingRows(const SummaryFacts *facts, int part, SummaryTable *table);
int BuildPartStatusRows(const SummaryFacts *facts, int part, SummaryTable *table);
// The three footer rows (mode 1 Summary, 2 Status).
int BuildSummaryFooterRows(const SummaryFacts *facts, int mode, SummaryTable *table);
// The part's name: "Federal Return", "MN State Return", "MN Property Tax Refund Return" or "".
void GetSummaryPartName(const SummaryFacts *facts, int part, char *out, int outSize);
// The tracking number as printed ("12-ABCDEF-34567-X") or its "N/A - ..." text.
void FormatTrackingNumber(const OpenReturn *record, char *out, int outSize);
// " (2 days, 3 hours ago)" for the time between then and now (UTC); "" when negative.
void FormatStatusAge(const SYSTEMTIME *now, const SYSTEMTIME *then, char *out, int outSize);

// The program's texts on the pages.
#define SUMMARY_PRODUCT_VERSION "Levyline 2024.0a"
#define SUMMARY_PRODUCT_WEB     "www.levyline.com"
#define SUMMARY_SUPPORT_EMAIL   "support@levyline.com"

// Drawing. Icons are 48 x 48 bitmaps IDB_SUMMARY_ICON_BASE + the row's icon id.
#define IDB_SUMMARY_ICON_BASE 7000
struct TextDrawParams;
// Draws row (the next row follows it in its table) at *y of the page and advances *y.
int DrawSummaryRow(HDC dc, const SummaryRow *row, TextDrawParams *params, LOGFONTA *font,
                   const BITMAP *pageBitmap, int *y, int gapAfterLast);
// Draws every row of a table; returns the rows drawn.
int DrawSummaryTable(HDC dc, const SummaryTable *table, TextDrawParams *params, LOGFONTA *font,
                     const BITMAP *pageBitmap, int *y, int gapAfterLast);
// mode 1 Summary, 2 Status, 0 a blank page. returnRecord null: the open return. forPrint: a new
// 2400 x 3168 4-bit bitmap (the caller's); else gPageBitmap is redrawn (made anew at that size
// and depth when it is anything else) and null is returned.
HBITMAP RenderSummaryPage(HWND progressBar, OpenReturn *returnRecord, int mode, int forPrint);
// Redraws the Summary or Status page when treeItem is that page and it is the one shown.
// Returns 1 when redrawn, else 0.
int RefreshSummaryPage(HTREEITEM treeItem);

#endif // LEVYLINE_PAGES_SUMMARY_H
