// statements_private.h - private to the statement grid's files: the state of one grid (the modal
// dialog's, or a hidden list view's while a statement is rendered for output).
#ifndef LEVYLINE_ENTRY_STATEMENTS_PRIVATE_H
#define LEVYLINE_ENTRY_STATEMENTS_PRIVATE_H

#include "entry/statements/statements.h"
#include "pages/pages.h"
#include "ui/ui.h"

#include <commctrl.h>

struct StatementGridState {
    HWND dialog;               // the "STATEMENT" dialog (null for output through a bare list)
    HWND grid;                 // the list view
    HWND status;               // the status bar
    HWND tooltip;              // hints of the column headers
    int tooltipsAdded;         // the header tools are registered
    StatementParams *params;
    StatementGroup group;
    int columns;               // data columns (grid columns 1..columns)
    int limit;                 // numbered rows
    int wide;                  // a wide (landscape) page: Export shown
    int viewOnly;
    int closing;               // set while the dialog is destroyed: late edits are dropped
    FieldRecord *columnFields[STATEMENT_MAX_COLUMNS];
    int amount[STATEMENT_MAX_COLUMNS];    // 1 for an amount column with a running total
    StatementTotal *totals;
    int totalCount;
    int currentRow, currentColumn;
    int shownRows;             // the rows the grid is sized to show
    int menuRow;               // row of the last context menu
    COLORREF textColour, shadeColour;
    WNDPROC gridProc;          // the grid's own procedure (subclassed)
    HBRUSH whiteBrush;
    HICON buttonIcons[4];      // the pictures of OK, Cancel, Print and Export
    EditRequest request;       // the grid's own request to the edit bar
    char title[STATEMENT_CELL_SIZE];     // window title (" " and the first column title)
    char caption[STATEMENT_CELL_SIZE + 64];  // print caption with ", Line %s"
};
extern StatementGridState gStatementGrid;   // the dialog's (one at a time)
// Set by the opener for the next grid: it shows the imported rows only (they replace the stored
// rows on OK). The grid takes it over and clears it when it opens.
extern int gStatementImportReplaces;

// Columns, headers and title of the grid from the group (column 0 the row numbers).
int SetupGridColumns(StatementGridState *state);
// Each column header's hint (the column field's hint text) on the grid's tooltip; again after
// the columns moved (the rectangles follow the header items).
void UpdateHeaderTooltips(StatementGridState *state, int always);
// The grid rows from rows, ending with the entry row; item data = the row's marks.
int FillStatementGrid(StatementGridState *state, StatementRows *rows);
// The grid's rows (all of them, the entry row too) into rows (initialised here).
int ReadGridRows(StatementGridState *state, StatementRows *rows);
// Writes the cells of rows back into the grid's rows.
void WriteGridCells(StatementGridState *state, StatementRows *rows);
// Renumbers the rows from row on ("%d ", the row at the limit without a number).
void RenumberGridRows(StatementGridState *state, int from);
// Total labels (children of the grid) for the amount columns; the first total of a wide page is
// ungrouped.
int CreateTotalLabels(StatementGridState *state);
void PositionTotalLabels(StatementGridState *state);
// Sums and formats the totals; with show the labels read " %s  ". Returns the amount columns.
int UpdateStatementTotals(StatementGridState *state, int show);
void FreeTotalLabels(StatementGridState *state);
// The list report of the grid (title block, heads, totals under their columns). titleOut holds
// the title text the job points at; summary holds totalCount items.
void BuildStatementPrintJob(StatementGridState *state, ListPrintJob *job, char *titleOut, int titleSize,
                            ListSummaryItem *summary);
// 1 when the edit bar may edit the cell (a data column below the limit, not calculated).
int IsGridCellEditable(StatementGridState *state, int row, int column);
// Opens the edit bar on a cell (entryMode EDIT_ENTRY_CLICK or EDIT_ENTRY_KEYBOARD).
int OpenGridCell(StatementGridState *state, int row, int column, int entryMode);
// Closes an open edit bar (the grid's or another).
void CloseGridEditBar(void);
// Edit finished, Tab steps, clicks and the row commands of the dialog.
LRESULT OnGridEditDone(StatementGridState *state, EditRequest *request);
void OnGridGotoField(StatementGridState *state, int backward);
void OnGridClick(StatementGridState *state);
void OnGridContextMenu(StatementGridState *state);
void DeleteGridRow(StatementGridState *state, int row);
void DeleteAllGridRows(StatementGridState *state);
// Renders the statement of params->field for output into slots (LIST_REPORT_MAX_BITMAPS page
// bitmaps) through a hidden list view; returns the pages produced.
int RenderStatementGridOutput(StatementParams *params, HBITMAP *slots);
// Rows the grid shows before it scrolls.
#define STATEMENT_SHOWN_ROWS 25
// Makes the window taller when the grid holds more rows than it shows (up to 25 rows).
void GrowStatementDialog(StatementGridState *state);
// Moves the totals after rows were added or removed.
void RefreshGridTotals(StatementGridState *state);

#endif
