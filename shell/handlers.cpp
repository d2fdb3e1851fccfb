// The program's start-up table: the hooks through which lower layers reach the windows above
// them, and the message handlers that the other parts of the program add to the main window.
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
    // The data layers reach the windows through these callbacks (store/callbacks.h).
    gAppCallbacks.showStatusText = ShowStatusFromData;
    // The page view opens the edit bar of data entry.
    gOpenEditBarProc = OpenEditBarWindow;
    // A click on a signature field opens signature capture (entry/signature/sigcapture_open.cpp).
    gOpenSigCaptureDialogProc = OpenSigCaptureDialog;
    // Attachment fields and the buttons drawn over a page (pages/attach_file.cpp,
    // pages/fieldbuttons_*.cpp); the import button parses with data entry's import parser,
    // the generate-PDF button writes with the PDF writer.
    gAttachFileClickProc = OnAttachFieldClick;
    gAttachPdfToFieldProc = AttachPdfToField;
    gPositionFieldButtonsProc = PositionFieldButtons;
    gDestroyPageButtonsProc = DestroyFieldButtons;
    gFieldButtonMessageProc = OnFieldButtonMessage;
    gReadImportFileProc = ReadImportFile;
    gParseImportFileProc = ParseImportFile;
    gGenerateFormPdfProc = ConfirmPdfTarget;
    // After each full recompute: the status-bar amounts, the Summary and Status pages.
    gRecomputeFinishedProc = OnRecomputeFinished;
    // A click on an explanation field opens its explanation (entry/explain/explain_dialog.cpp).
    gOpenExplainDialogProc = OpenFieldExplanation;
    // The buttons' menus open the return's notes (entry/explain/explain_dialog.cpp).
    gOpenReturnExplanationProc = OpenReturnExplanation;
    // Printing and PDF output list and render the return's statements (entry/statements/).
    gListReturnStatementsProc = ListReturnStatements;
    gRenderStatementEntryProc = RenderStatementEntry;
    // The page view's group fields open the multi-field popup; shown pages and commits of
    // taxpayer items fill the page's taxpayer items from the return record.
    gOpenMultiFieldDialogProc = OpenMultiFieldDialog;
    gPropagateFormHeaderNameProc = PropagateFormHeaderName;
    // The foreign-address question of the page view opens the e-file information sheet.
    gShowEfileInfoSheetProc = ShowEfileInfoSheetPage;
    // The field buttons' "Paste" of taxpayer names and address.
    gEditNameFieldsProc = EditNameFields;
    return 1;
}

int InstallMainWindowHandlers(void)
{
    InstallProgramHooks();
    // One AddMainWindowHandler(...) line per area, e.g. the return commands, the
    // recompute timer, the page view's commands, printing.
    AddMainWindowHandler(ReturnCommandHandler);
    AddMainWindowHandler(PrintCommandHandler);   // IDM_PRINT (print/print_command.cpp)
    AddMainWindowHandler(PdfCommandHandler);     // IDM_PDFRETURN (print/pdf_command.cpp)
    AddMainWindowHandler(ImportDataCommandHandler);   // IDM_IMPORTDATA (entry/imports/formimport_command.cpp)
    AddMainWindowHandler(RecomputeWindowHandler);  // timer 997: the deferred recompute and page freeing
    AddMainWindowHandler(ViewCommandHandler);    // Zoom..., Split Screen, Full Screen (pages/zoom_viewmode.cpp)
    gAddFormsStartHook = RunFormPakStartDialog;  // the 94x and M1PR start dialogs (entry/startdlg/)
    // Remove Page (40002), the forms tree's and tabs' context menu, Check Return (entry/formstree/)
    AddMainWindowHandler(TreeCommandHandler);
    AddMainWindowHandler(StatementMessageHandler); // WM_OPEN_STATEMENT: the statement grid (entry/statements/)
    AddMainWindowHandler(TaxpayerSetupCommandHandler);  // Setup: Taxpayer Info, e-File Options
    InitEditBar();    // the forms list edits a row's copies in the edit bar (entry/editbar/editbar_init.cpp)
    return 1;
}
