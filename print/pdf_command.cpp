// The roads to the PDF writer from the windows: the return as a PDF beside its file (the main
// window's command), and one form's PDF for an attachment field (ConfirmPdfTarget).
#include "print/print.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// A return without a file name cannot name its PDF: says so. 1 when the return has a name.
static int CheckReturnNamed(void)
{
    if (gReturnPath[0])
        return 1;
    ShowMessageBox(gMainWindow,
                   "The current tax return must be saved to disk before continuing.",
                   "Tax Return File Has Not Been Named", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

// Pages whose FormPak was not found when the return was opened have no form to draw: the PDF is
// not begun, and the FormPaks are named. 1 when every page has its FormPak.
static int CheckReturnFormPaks(HWND owner)
{
    int count = 0;
    FormInstance **pages =
        gTreeMissingFormPakFolder ? SnapshotReturnPages(16, gTreeMissingFormPakFolder, &count) : NULL;
    if (!pages)
        return 1;
    char names[600] = "";
    for (int i = 0; i < count; i++)
        AddMissingFormPakName(names, sizeof names, pages[i]->formPakPath);
    MemFree(pages);
    char text[1000];
    snprintf(text, sizeof text,
             "The PDF file was not written: %d page(s) of this return come from FormPaks that are missing:"
             "\r\n\r\n%s\r\n\r\nThe pages are listed under \"FormPak Not Found\". Put the FormPaks in the "
             "FormPak folder or beside the return file and open the return again.",
             count, names);
    ShowMessageBox(owner, text, "Unable to Create PDF File", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

int ConfirmPdfTarget(const char *formName, char *outPath, int outSize)
{
    // The form's pages by its name ("Schedule B") or a page key of it, as GeneratePdf takes them.
    if (!formName || !formName[0] || FindReturnPages(4, formName, NULL, 0) <= 0)
        return 0;
    if (!CheckReturnNamed())
        return 0;
    char key[FORM_NAME_SIZE];
    BuildFormKey(formName, "", key, 2);
    char target[MAX_PATH];
    lstrcpynA(target, gReturnPath, sizeof target);
    char *dot = strrchr(target, '.');
    char *slash = strrchr(target, '\\');
    if (dot && (!slash || dot > slash))
        *dot = 0;
    size_t used = strlen(target);
    int n = snprintf(target + used, sizeof target - used, "_%s.pdf", key);
    if (n < 0 || (size_t)n >= sizeof target - used)
        return 0;
    if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES) {
        char folder[MAX_PATH];
        lstrcpynA(folder, target, sizeof folder);
        char *cut = strrchr(folder, '\\');
        const char *name = cut ? cut + 1 : target;
        if (cut)
            *cut = 0;
        char text[2 * MAX_PATH + 256];
        snprintf(text, sizeof text,
                 "A PDF file with the target name already exists.\r\n\r\n   File Name: %s\r\n\r\n   Location:   "
                 "%s\r\n\r\nClick \"OK\" to replace this file or \"Cancel\" to keep the existing file and not "
                 "generate the new PDF file.",
                 name, cut ? folder : "");
        if (ShowMessageBox(gMainWindow, text, "PDF File Already Exists",
                           MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONEXCLAMATION) != IDOK)
            return 0;
    }
    if (!GeneratePdf(target, NULL, formName, NULL, 1, 1))
        return 0;
    if (outPath && outSize > 0)
        lstrcpynA(outPath, target, outSize);
    return 1;
}

LRESULT PdfCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    if (message != WM_COMMAND || LOWORD(wParam) != IDM_PDFRETURN)
        return 0;
    *handled = 1;
    gOperationCode = 41061;
    if (!gOpenReturnPtr || FindReturnPages(2, NULL, NULL, 0) <= 0) {
        ShowMessageBox(window, "Open a tax return first: there are no pages to write.", "No Tax Return Open",
                       MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (!CheckReturnNamed() || !CheckReturnFormPaks(window))
        return 0;
    return GeneratePdf(gReturnPath, NULL, NULL, NULL, 1, 0);
}
