// statements.h - statements: lists of rows kept in a page's fields (or, when they do not fit,
// in the overflow text of the group's head field), edited in the "STATEMENT" grid, checked and
// totalled, and listed and rendered after a return part's pages when printing. The "STATEMENT"
// template: resources/statement.rc.
//
// Storage forms:
//  - a row text: every cell, right-trimmed, followed by byte 0x01; a cell holding 0x01 or
//    beginning with a double quote is written in double quotes (quotes inside doubled);
//  - the overflow text of a head: the totals part (each amount column's total followed by '|',
//    the last '|' replaced by 0x02; empty without amount columns), then the row texts;
//  - import records: cells ended by 0x01, records ended by 0x02.
#ifndef LEVYLINE_ENTRY_STATEMENTS_H
#define LEVYLINE_ENTRY_STATEMENTS_H

#include <windows.h>
#include <stdint.h>

#include "store/store.h"
#include "print/print.h"

#define STATEMENT_CELL_SIZE            128     // a cell holds at most 127 characters
#define STATEMENT_MAX_COLUMNS          32      // data columns of a grid
#define STATEMENT_ROW_LIMIT            30      // numbered rows of a statement
#define STATEMENT_ROW_LIMIT_EMPLOYMENT 1001    // the same on an employment-tax return
#define STATEMENT_CELL_END             '\x01'
#define STATEMENT_TOTALS_END           '\x02'
#define STATEMENT_RECORD_END           '\x02'
#define STATEMENT_SEE_TEXT             "See statement"
#define STATEMENT_EXPORT_LINE_SIZE     4098

// Controls of "STATEMENT".
#define IDC_STATEMENT_GRID    1126
#define IDC_STATEMENT_PRINT   1204
#define IDC_STATEMENT_OK      1205
#define IDC_STATEMENT_CANCEL  1207
#define IDC_STATEMENT_EXPORT  1209
#define IDC_STATEMENT_STATUS  1137
// The buttons' pictures (16-pixel bitmaps made into icons): OK and Cancel are the dialogs' shared
// pictures, Print the explanation dialog's, Export the grid's own (resources/statement.rc).
#define IDB_STATEMENT_OK      332
#define IDB_STATEMENT_CANCEL  319
#define IDB_STATEMENT_PRINT   262
#define IDB_STATEMENT_EXPORT  378
// Commands of the grid's context menu.
#define IDM_STATEMENT_DELETEROW  40104
#define IDM_STATEMENT_DELETEALL  41004
// Private messages of the grid dialog.
#define WM_GRID_MOVETOTALS     (WM_APP + 62)
#define WM_GRID_IMPORTWARNING  (WM_APP + 63)

// Kinds of a statement opening.
#define STATEMENT_KIND_CLICK     1
#define STATEMENT_KIND_TAB       2
// Output kinds STATEMENT_KIND_PRINT and STATEMENT_KIND_PDF: print/print_statements.h.

// The grid's parameter block (84 bytes, the layout the page view sends with WM_OPEN_STATEMENT).
struct StatementParams {
    FieldRecord *field;         // a field of the statement group (the head or one after it)
    FieldRecord *summaryField;  // shows the statement's summary after OK (may be null)
    uint32_t fieldIndex;        // index of the field on the page (the page view continues there)
    char *caption;              // print caption (tree caption, ", Copy %d"); ", Line %s" is added
    char *importData;           // imported records, or null
    uint32_t importInvalid;     // out: 1 when imported cells failed validation
    uint16_t kind;              // STATEMENT_KIND_*
    uint16_t result;            // out: 2 when the user tabbed out of the grid
    uint32_t direction;         // 0 forward, 1 backward
    uint32_t exportShown;       // set on a wide (landscape) page
    uint32_t importMarks;       // set with exportShown and importData
    uint32_t navigated;         // set once a cell was opened by Tab
    int32_t placeX, placeY;     // page-view client point near which the window is placed
    uint32_t showTotal;         // the summary field gets the first column total
    uint32_t outputTarget, outputArg1, outputArg2, outputResult;
    uint32_t invalidCount;      // out: imported cells that failed validation
    HWND owner;                 // owner window (the main window when null)
    FormInstance *page;         // the page that holds the statement
};
static_assert(sizeof(StatementParams) == 84, "StatementParams is 84 bytes");

// ---- storage, line checks and totals (no window needed) ----

// A statement group of a page: the head field and its four attributes.
struct StatementGroup {
    FieldTable *table;
    int headIndex;        // index of the head in table->fields
    FieldRecord *head;
    int pageRows;         // a: list rows the page holds (may be 0)
    int stride;           // b: fields per page row
    int columns;          // c: grid columns (1..STATEMENT_MAX_COLUMNS)
    int layout;           // d: layout selector (0 plain)
    int noRect;           // the head has no page rectangle: the statement lives in the dialog
};
// Finds the group of field (any field of the group): the nearest record at or before it whose
// sequence prefix begins "*[", never walking before the table's first field. 1 when found.
int FindStatementGroup(FieldTable *table, const FieldRecord *field, StatementGroup *group);
// The index after the head of the cell field of (row, column), by the layout. *valid (may be
// null) is set to 0 when the cell lies outside the statement or past the table, else 1.
int GetGridCellField(const StatementGroup *group, int row, int column, int *valid);
// The cell's field record, or null when the cell is not valid.
FieldRecord *GetGridCellRecord(const StatementGroup *group, int row, int column);
// The field describing a data column (row 0), or null.
FieldRecord *GetStatementColumnField(const StatementGroup *group, int column);

// Rows of a statement while it is loaded, edited and stored: count rows of columns cells.
struct StatementRows {
    int count;
    int columns;
    int capacity;
    int limit;            // rows accepted (the row limit)
    int dropped;          // rows refused by the limit
    int invalidCount;     // imported cells that failed validation
    char *cells;          // capacity x columns cells of STATEMENT_CELL_SIZE bytes
    uint32_t *marks;      // per row: bit (column) marks an invalid imported cell
};
// Empty rows of columns cells with a row limit (0: the limit of the open return).
int InitStatementRows(StatementRows *rows, int columns, int limit);
void FreeStatementRows(StatementRows *rows);
// Appends an empty row; its index, or -1 when the limit refused it (dropped counts it).
int AppendStatementRow(StatementRows *rows);
// Removes row (the rows below move up). 1 when removed.
int DeleteStatementRow(StatementRows *rows, int row);
// The cell text of a data column (0-based); a static empty text for cells outside.
char *StatementCell(StatementRows *rows, int row, int column);
// 1 when any cell of the row holds a non-blank character.
int IsStatementRowFilled(StatementRows *rows, int row);
// The row limit of the open return: 1001 on an employment-tax return, else 30.
int GetStatementRowLimit(void);

// The storage text of cells (count texts), or with another delimiter the export text: each cell
// right-trimmed and followed by delimiter; a cell holding the delimiter (or a quote at its start,
// or any quote with an export delimiter) is quoted with inner quotes doubled. Writes at most
// bufferSize - 1 characters (a cell that does not fit whole is left out and the text ends
// there; *cut, when given, is set). Returns 1 when any cell is non-empty after trimming.
int BuildRowText(const char *const *cells, int count, char delimiter, char *buffer, int bufferSize, int *cut);
// Splits text at delimiter, quotes respected; calls proc for each cell (unquoted). Cells longer
// than STATEMENT_CELL_SIZE - 1 are cut. stop (may be 0) ends the walk at that byte (a record
// end) and *endOut receives where the walk stopped. Returns the number of cells.
typedef void (*StatementCellProc)(const char *cell, int index, void *context);
int SplitRowText(const char *text, char delimiter, char stop, StatementCellProc proc, void *context,
                 const char **endOut);

// Loads the group's rows: from the page cells (rows with data, packed together), or from the
// head's overflow text; then the import records (importMarks: each imported cell validated and
// marked). Rows past the limit are counted in rows->dropped. Returns rows->count.
int LoadStatementRows(const StatementGroup *group, const char *importData, int importMarks, StatementRows *rows);
// Only the import records (the rows the group holds left out), as LoadStatementRows loads them.
int LoadStatementImport(const StatementGroup *group, const char *importData, int importMarks, StatementRows *rows);
// Recomputes the calculated columns of every row from the row's other cells. 1 when any column
// is calculated.
int ComputeStatementColumns(const StatementGroup *group, StatementRows *rows);
// Line checks: returns 1 when every line passes, else 0 after the "Statement Line Error" message
// (on owner) about the first faulty line.
int CheckStatementLines(const StatementGroup *group, StatementRows *rows, int importMarks, HWND owner);
// A column's header: its field's group label ("[title|header]": the part after '|'; the part
// before it into title), else its description. 1 when there is a field.
int GetStatementColumnHeader(const FieldRecord *field, char *header, int headerSize, char *title, int titleSize);

// One running total of an amount column.
struct StatementTotal {
    HWND label;             // the total's label (a static below the grid), may be null
    int column;             // data column (0-based)
    int changed;            // set when the total changed on the last update
    int ungrouped;          // formatted without digit grouping (the first total on a wide page)
    char text[24];          // the formatted total
    int64_t intSum;
    double decimalSum;
    int intSeen, decimalSeen;
};
// 1 when a column field is an amount column with a running total ('N' or 'C' of length 12 or 6,
// 'R' of length 13).
int IsStatementAmountColumn(const FieldRecord *columnField);
// Sums one total's column over the rows: texts with '.' as decimals, others as whole numbers;
// a column of both is totalled as decimals. Formats the total (user locale, "." and ",",
// negative "-n"): whole numbers without decimals, decimals with 2. Returns total->changed.
int SumStatementTotal(StatementRows *rows, StatementTotal *total);
// Formats a number text with 0 or 2 decimals ("," grouping unless ungrouped) into out (24 bytes).
int FormatStatementTotal(double value, int decimals, int ungrouped, char *out, int outSize);

// Stores the rows (blank rows removed first) into the group: into the page cells (rows of the
// page), or, when there are more rows than the page holds, into the head's overflow text with
// "See statement" as the head's value. With noRect and a summary field the summary is set.
// totals/totalCount are the amount columns' totals (may be 0). Fields that change are redrawn.
// Returns the number of rows stored.
int StoreStatementRows(const StatementGroup *group, StatementRows *rows, FieldRecord *summaryField,
                       const StatementTotal *totals, int totalCount, int showTotal);
// Validates text in place as a value of field (caption "%s (line %lu)"); typed (may be null) is
// what the user typed: a number cell whose sign rule ('+' no negatives, '-' only negatives) the
// result breaks is refused and text gets typed back. flag goes to ValidateFieldData. Non-zero
// when valid. textSize: the size of text.
int ValidateStatementCell(HWND owner, char *text, int textSize, const char *typed, const FieldRecord *field,
                          unsigned long line, int flag);

// ---- the statement grid ("STATEMENT") ----
INT_PTR CALLBACK StatementDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the grid modally on owner (the main window when null). 1 after OK, 0 after Cancel.
INT_PTR RunStatementDialog(HWND owner, StatementParams *params);
// The main window's WM_OPEN_STATEMENT (wParam 0: lParam a FieldRecord of the page shown;
// 1 and 2: lParam a StatementParams; 3: the same after an import that replaces the statement's
// rows: the grid shows only the imported rows, and the old ones stay stored until OK);
// installed by shell/handlers.cpp.
LRESULT StatementMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
// Where the page view's walk goes on after the user tabbed out of the grid opened from the field
// at fieldIndex: from a field among the statement's own page cells it goes on past them (from
// the last cell forward, from the head backward), else from fieldIndex.
int GetStatementLeavingIndex(FieldTable *table, const FieldRecord *field, int fieldIndex, int direction);
// Appends grid row n when n is at most the row limit (the row at the limit has no number).
// Returns 1 when appended.
int FillGridRowNumbers(HWND grid, int n);
// The export or storage text of grid row (data columns 1..n) into buffer (bufferSize bytes).
int ExportGridRowText(HWND grid, int row, char *buffer, int bufferSize, char delimiter);
// Writes the grid's rows (the entry row left out) to path, one line each (CR LF), cells joined
// by delimiter. 1 when written.
int ExportStatementRows(HWND grid, const char *path, char delimiter);

// ---- statement output for printing and PDF ----
// The return's statements (entries null: only counted): the federal folder's notes, then every
// '@' or '*' statement field that holds statement text, on pages of returnCode and groupOrder
// (both 0: every page). entries must hold the count returned. Returns the count.
int ListReturnStatements(StatementListEntry *entries, int returnCode, uint16_t groupOrder);
// Renders an entry into up to maxPages page bitmaps (slots; the caller deletes them). kind 3
// printing, 4 PDF. Returns the pages produced (more than maxPages when it overflowed), 0 for an
// entry that is neither a list nor free text.
int RenderStatementEntry(StatementListEntry *entry, HBITMAP *slots, int maxPages, uint16_t kind);
// Renders free text (the federal folder's notes and '@' statements) for output through the
// explanation dialog in output mode (entry/explain/explain_print.cpp).
int RenderExplanationEntry(StatementListEntry *entry, HBITMAP *slots, int maxPages, uint16_t kind);
// Lines of a statement field: free text wrapped at 80, a list (cells / columns). layout (may be
// null) receives the fourth attribute.
int CountStatementLines(const FieldRecord *field, int *layout);
// Wraps text at width; returns the line count. out (may be null) receives a MemAlloc copy of
// the wrapped text (the caller frees it), length (may be null) its length.
int WrapStatementText(const char *text, char **out, int *length, int width);

#endif // LEVYLINE_ENTRY_STATEMENTS_H
