// window_callbacks.h - how the lower window layers (pages/, print/) reach the layers above them
// (print/, entry/): the page view opens data entry's editors and dialogs, its field buttons
// write a form's PDF and read import files, printing and PDF output take the return's
// statements from data entry. A lower layer includes nothing of a higher one; it calls through
// the table below, which only shell/handlers.cpp fills (InstallProgramHooks, at start-up).
// Each member is called only when set: unset, the click or button stops there and the return
// has no statements to output, so the lower layers also work (and are tested) alone. The data
// layers' way up is gAppCallbacks (store/callbacks.h); the test seams are in store/seams.h.
// Part of ui's public interface: include ui/ui.h.
#ifndef LEVYLINE_UI_WINDOW_CALLBACKS_H
#define LEVYLINE_UI_WINDOW_CALLBACKS_H

#include <windows.h>
#include <stdint.h>

struct EditRequest;          // ui/ui.h
struct FieldRecord;          // store/form_model.h
struct FieldTable;           // store/form_model.h
struct MultiFieldParams;     // pages/pages.h
struct StatementListEntry;   // print/print_statements.h

struct WindowCallbacks {
    // ---- pages/ to entry/: the page view's clicks on a field ----
    // Opens the edit bar for a request (container made and shown); 1 when it opened. A click on
    // a check mark toggles and commits the mark without a bar and gives 0 (OpenEditBarWindow).
    int (*openEditBar)(HWND requester, EditRequest *request);
    // The "Explain" dialog of one field ({4, field, page key}); non-zero after a save
    // (OpenFieldExplanation).
    INT_PTR (*openExplainDialog)(HWND owner, FieldRecord *field, const char *pageKey);
    // The "MultiField" popup over parent (the page view); 1 after OK, 0 after Cancel
    // (OpenMultiFieldDialog).
    INT_PTR (*openMultiFieldDialog)(HWND parent, MultiFieldParams *params);
    // The "SigCapture" dialog of the field (index fieldIndex of the page shown); stores a new
    // signature in the field; 1 after OK (OpenSigCaptureDialog).
    INT_PTR (*openSigCaptureDialog)(HWND owner, FieldRecord *field, int fieldIndex);
    // The open return's e-file information sheet, starting at page as ShowEfileInfoSheet takes
    // it; 1 when stored (ShowEfileInfoSheetPage).
    int (*showEfileInfoSheet)(HWND owner, int page);
    // Stores an open edit bar's entry as Enter would, before a command of the main window or
    // the page view (CommitEditBarForCommand); 1 when no bar is open afterwards, 0 when the bar
    // refused its value and stays open (CommitOpenEditBar).
    int (*commitEditBar)(void);

    // ---- pages/ to entry/ and print/: the field buttons' actions ----
    // One of the federal folder's notes (kind 1 note to the IRS, 2 note to self, 3 regulatory
    // explanation); non-zero after a save (OpenReturnExplanation).
    INT_PTR (*openReturnExplanation)(HWND owner, int kind);
    // The "Paste" choice: the paste list applied to the page's fields, messages owned by
    // ownerWindow; the number of fields filled (EditNameFields).
    int (*editNameFields)(const char *pasteList, FieldTable *records, HWND ownerWindow);
    // The import of statement rows: the file read into a new MemAlloc text with CR LF line ends
    // and its buffer size (ReadImportFile), then parsed into the column fields, 1 when parsed
    // (ParseImportFile). Both must be set for the import button to act.
    char *(*readImportFile)(HWND owner, const char *path, uint32_t *bufferSizeOut);
    int (*parseImportFile)(HWND owner, char *text, uint32_t bufferSize, FieldRecord *columnFields,
                           int columnFieldCount, int columns, uint8_t jurisdiction, int maxRecords);
    // The PDF of one form written next to the return file, its path in outPath (outSize bytes);
    // 1 when written (ConfirmPdfTarget of print/).
    int (*generateFormPdf)(const char *formName, char *outPath, int outSize);

    // ---- print/ to entry/: the return's statements for printing and PDF ----
    // Lists them (entries null: only counted; returnCode and groupOrder both 0: every page) and
    // returns the count (ListReturnStatements); renders one into up to maxPages page bitmaps
    // (kind 3 printing, 4 PDF) and returns the pages produced (RenderStatementEntry). Both must
    // be set, else the return has no statements to output.
    int (*listReturnStatements)(StatementListEntry *entries, int returnCode, uint16_t groupOrder);
    int (*renderStatementEntry)(StatementListEntry *entry, HBITMAP *slots, int maxPages, uint16_t kind);
};
extern WindowCallbacks gWindowCallbacks;

#endif // LEVYLINE_UI_WINDOW_CALLBACKS_H
