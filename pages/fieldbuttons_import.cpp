// Field buttons: importing statement rows from a text file (button 101) and generating the PDF
// of a form attached to two fields (button 112).
#include "pages/fieldbuttons_private.h"
#include "ui/ui.h"
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

static const char kImportFilter[] =
    "Tab- and Comma-delimited Files (*.txt, *.csv)\0*.txt;*.csv\0"
    "Comma-delimited Files (*.csv)\0*.csv\0"
    "Tab-delimited Files (*.txt)\0*.txt\0"
    "All Files (*.*)\0*.*\0";

// Asks how imported rows combine with what the statement holds: 1 go on (append), 2 go on and
// replace the old rows (they stay stored until the grid's OK), 0 stop.
static int AskCombineImport(FieldRecord *target)
{
    const char *title = "Combine Import Data With Previous Data?";
    if (GetFieldSecondLength(target) > 0) {
        int answer = ShowMessageBox(gMainWindow,
                                    "Levyline detected that you have already imported or typed data into\r\n"
                                    "the Levyline spreadsheet.\r\n\r\n"
                                    "Click 'Yes' to append the new data to the existing data, 'No' to replace\r\n"
                                    "the old data with the new data or 'Cancel' quit the import process.",
                                    title, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
        if (answer == IDYES)
            return 1;
        return answer == IDNO ? 2 : 0;
    }
    if (target->value && target->value[0] && strcmp(target->value, "See statement") != 0) {
        int answer = ShowMessageBox(gMainWindow,
                                    "Levyline detected that you have already typed data into the import\r\n"
                                    "portion of the form.\r\n\r\n"
                                    "Click 'OK' to append the new data to the existing data or 'Cancel' to\r\n"
                                    "quit the import process.",
                                    title, MB_OKCANCEL | MB_ICONEXCLAMATION);
        return answer == IDOK ? 1 : 0;
    }
    return 1;
}

int RunImportRowsAction(HWND pageView, FieldRecord *field)
{
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    FormInstance *form = (FormInstance *)GetCurrentDocument(4);
    FieldRecord *target = FindNamedPageField(field->valueList);
    if (!table || !form || !target || !gWindowCallbacks.readImportFile || !gWindowCallbacks.parseImportFile)
        return 0;
    char path[MAX_PATH] = "";
    if (!ShowFileOpenDialog("Select Text File to Import", "csv", kImportFilter, 0, 0, "ImportDir", NULL, path,
                            sizeof(path), pageView))
        return 0;
    uint32_t bufferSize = 0;
    char *text = gWindowCallbacks.readImportFile(gMainWindow, path, &bufferSize);
    if (!text)
        return 0;
    SetStatusText(NULL, 1, "Parsing import data...", NULL);
    int columns = 0;
    if (target->seqPrefix && target->seqPrefix[0])
        ParseFieldAttributes(target, NULL, NULL, &columns, NULL);
    // The column fields follow the target in the page's table; the header check reads no further.
    int available = (int)(table->fields + table->count - target);
    int parsed = gWindowCallbacks.parseImportFile(gMainWindow, text, bufferSize, target, available, columns,
                                                  form->jurisdiction, IMPORT_BUTTON_MAX_RECORDS);
    SetStatusText(NULL, 3, NULL, NULL);
    int combine = parsed ? AskCombineImport(target) : 0;
    if (!combine) {
        MemFree(text);
        return 0;
    }
    PageStatementBlock block;
    memset(&block, 0, sizeof(block));
    block.field = target;
    block.kind = 1;
    block.page = form;
    block.importData = text;
    block.owner = gMainWindow;
    if (gMainWindow)
        SendMessageA(gMainWindow, WM_OPEN_STATEMENT, combine == 2 ? 3 : 2, (LPARAM)&block);
    MemFree(text);
    RedrawField(target);
    return 1;
}

// The pieces of a generate-PDF value list "form name|sequence|sequence"; 0 when one is missing.
static int SplitPdfButtonList(const char *list, char *formName, int formSize, char *seq1, char *seq2, int seqSize)
{
    if (!list)
        return 0;
    const char *bar1 = strchr(list, '|');
    const char *bar2 = bar1 ? strchr(bar1 + 1, '|') : NULL;
    if (!bar1 || !bar2 || bar1 == list || bar2 == bar1 + 1 || !bar2[1])
        return 0;
    lstrcpynA(formName, list, (int)(bar1 - list) + 1 < formSize ? (int)(bar1 - list) + 1 : formSize);
    lstrcpynA(seq1, bar1 + 1, (int)(bar2 - bar1) < seqSize ? (int)(bar2 - bar1) : seqSize);
    lstrcpynA(seq2, bar2 + 1, seqSize);
    return 1;
}

int RunGeneratePdfAction(HWND pageView, FieldRecord *field)
{
    (void)pageView;
    char formName[FORM_NAME_SIZE], seq1[32], seq2[32];
    if (!SplitPdfButtonList(field->valueList, formName, sizeof(formName), seq1, seq2, sizeof(seq1)))
        return 0;
    FieldRecord *first = FindNamedPageField(seq1);
    FieldRecord *second = FindNamedPageField(seq2);
    if (!first || !second)
        return 0;
    if (FindReturnPages(4, formName, NULL, 0) <= 0) {
        char message[FORM_NAME_SIZE + 160];
        snprintf(message, sizeof(message),
                 "%s must be one of the forms listed in the left-hand window before clicking this button. [PDF-4]",
                 formName);
        ShowMessageBox(gMainWindow, message, "Form Is Missing", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    char path[MAX_PATH] = "";
    if (!gWindowCallbacks.generateFormPdf || !gWindowCallbacks.generateFormPdf(formName, path, sizeof(path)))
        return 0;
    AttachPdfToField(first, second, NULL, path);
    RedrawField(first);
    RedrawField(second);
    if (_stricmp(formName, "Form 8453-EMP") == 0) {
        int previous = gOperationCode;
        gOperationCode = 75002;
        if (ShowMessageBox(gMainWindow,
                           "A PDF of an un-signed Form 8453-EMP has been generated and attached to your tax return. "
                           "This PDF needs to be signed before your return is e-filed.\r\n\r\n"
                           "To sign the form, you have two options:\r\n\r\n"
                           "1. ELECTRONIC SIGNATURE: You can use a current-version of Acrobat Reader to enter/paste "
                           "an electronic signature on the form, then save the changes to the PDF; or\r\n\r\n"
                           "2. PRINT/SIGN/SCAN: You can print, sign and scan the PDF document, then replace the "
                           "unsigned PDF with the signed PDF.\r\n\r\n"
                           "To open the un-signed PDF in Acrobat Reader so you can electronically sign the form, "
                           "click \"OK\". (You can also click the \"Help\" button below for step-by-step "
                           "instructions on how to use Acrobat Reader to apply your signature to a PDF file.)\r\n\r\n"
                           "To close this window without opening the PDF file, click \"Cancel\".",
                           "Signature Required", MB_OKCANCEL | MB_HELP | MB_ICONINFORMATION) == IDOK)
            OpenWithShell("open", path);
        gOperationCode = previous;
    }
    return 1;
}
