// The program's start-up table: the ways up through which lower layers reach the layers above
// them, and the message handlers that the other parts of the program add to the main window.
// This is the only file that sets them; tests set the test seams of store/seams.h.
#include "shell/shell.h"
#include "calc/calc.h"
#include "entry/entry.h"
#include "pages/pages.h"
#include "print/print.h"

// The status bar's message part for the data layers (gAppCallbacks.showStatusText).
static int ShowStatusFromData(int mode, const char *text)
{
    return SetStatusText(NULL, mode, text, NULL);
}

// After each full recompute: the status bar's amounts, and the Summary or Status page when it
// is the page shown.
static void OnRecomputeFinished(void)
{
    RefreshStatusAmountParts();
    RefreshSummaryPage((HTREEITEM)GetCurrentDocument(1));
}

int InstallProgramHooks(void)
{
    // The data layers' way up to the windows (store/callbacks.h).
    AppCallbacks &data = gAppCallbacks;
    data.showStatusText = ShowStatusFromData;
    // The page queries take the pages in the forms tree's order (entry/formstree/).
    data.enumerateReturnPages = EnumerateReturnPages;
    // The recompute repaints changed fields of the page shown (pages/pageview_doc.cpp) and,
    // after each full recompute, the status-bar amounts and the Summary and Status pages.
    data.isPageShown = IsPageViewPage;
    data.drawChangedField = DrawChangedPageField;
    data.recomputeFinished = OnRecomputeFinished;

    // The lower window layers' way up (ui/window_callbacks.h).
    WindowCallbacks &windows = gWindowCallbacks;
    // The page view's clicks open data entry's editors: the edit bar, a field's explanation
    // (entry/explain/), the multi-field popup and the e-file information sheet
    // (entry/multifield/), signature capture (entry/signature/).
    windows.openEditBar = OpenEditBarWindow;
    windows.openExplainDialog = OpenFieldExplanation;
    windows.openMultiFieldDialog = OpenMultiFieldDialog;
    windows.openSigCaptureDialog = OpenSigCaptureDialog;
    windows.showEfileInfoSheet = ShowEfileInfoSheetPage;
    // Every command of the main window and the page view first commits an open edit bar.
    windows.commitEditBar = CommitOpenEditBar;
    // The field buttons' actions: the return's notes (entry/explain/), the "Paste" of taxpayer
    // names and address (entry/multifield/), the import of statement rows with data entry's
    // import reader and parser (entry/imports/), one form's PDF (print/pdf_command.cpp).
    windows.openReturnExplanation = OpenReturnExplanation;
    windows.editNameFields = EditNameFields;
    windows.readImportFile = ReadImportFile;
    windows.parseImportFile = ParseImportFile;
    windows.generateFormPdf = ConfirmPdfTarget;
    // Printing and PDF output list and render the return's statements (entry/statements/).
    windows.listReturnStatements = ListReturnStatements;
    windows.renderStatementEntry = RenderStatementEntry;
    return 1;
}

int InstallMainWindowHandlers(void)
{
    InstallProgramHooks();
    // The common open and save dialogs get the main window's hook procedure (ui/dialogs.cpp).
    gAppCallbacks.fileDialogHookProc = FileDialogHookProc;
    // Adding a FormPak runs its start dialog: the 94x and M1PR start dialogs (entry/startdlg/).
    gAddFormsStartHook = RunFormPakStartDialog;
    // The forms list edits a row's copies in the edit bar (entry/editbar/editbar_init.cpp).
    gFormsListCopiesEditHook = EditFormsListCopies;
    // One AddMainWindowHandler(...) line per area, e.g. the return commands, the
    // recompute timer, the page view's commands, printing.
    AddMainWindowHandler(ReturnCommandHandler);
    AddMainWindowHandler(PrintCommandHandler);   // IDM_PRINT (print/print_command.cpp)
    AddMainWindowHandler(PdfCommandHandler);     // IDM_PDFRETURN (print/pdf_command.cpp)
    AddMainWindowHandler(ImportDataCommandHandler);   // IDM_IMPORTDATA (entry/imports/formimport_command.cpp)
    AddMainWindowHandler(RecomputeWindowHandler);  // timer 997: the deferred recompute and page freeing
    AddMainWindowHandler(ViewCommandHandler);    // Zoom..., Split Screen, Full Screen (pages/zoom_viewmode.cpp)
    // Remove Page (40002), the forms tree's and tabs' context menu, Check Return (entry/formstree/)
    AddMainWindowHandler(TreeCommandHandler);
    AddMainWindowHandler(StatementMessageHandler); // WM_OPEN_STATEMENT: the statement grid (entry/statements/)
    AddMainWindowHandler(TaxpayerSetupCommandHandler);  // Setup: Taxpayer Info, e-File Options
    return 1;
}
