// Writing PDF files: the return (Summary and Status pages first), one form, one bitmap, or a
// text. Each page's objects are written as soon as they are made and freed, so a long return
// holds one page in memory at a time; the page tree, the cross-reference table and the trailer
// close the file.
#include "print/print.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// A PDF file being written: the handle, the bytes written so far, the offsets of objects 1.. by
// number, and the first failure (the file is then removed at the end).
struct PdfFile {
    HANDLE handle;
    uint32_t written;
    uint32_t *offsets;
    uint32_t offsetCount, offsetCapacity;
    uint32_t *kids;
    uint32_t kidCount, kidCapacity;
    DWORD error;
    int failed;
};

static int GrowArray(uint32_t **array, uint32_t *capacity, uint32_t needed)
{
    if (needed <= *capacity)
        return 1;
    uint32_t grown = *capacity ? *capacity * 2 : 64;
    while (grown < needed)
        grown *= 2;
    uint32_t *bigger = (uint32_t *)MemReAlloc(*array, sizeof(uint32_t) * grown);
    if (!bigger)
        return 0;
    *array = bigger;
    *capacity = grown;
    return 1;
}

// Writes one object (records its offset by its number) and frees it. 0 once anything failed.
static int WritePdfObject(PdfFile *file, PdfObject *object)
{
    if (!object->text)
        file->failed = 1;
    if (!file->failed && object->number) {
        if (!GrowArray(&file->offsets, &file->offsetCapacity, object->number))
            file->failed = 1;
        else {
            for (uint32_t i = file->offsetCount; i < object->number; i++)
                file->offsets[i] = 0;
            if (file->offsetCount < object->number)
                file->offsetCount = object->number;
            file->offsets[object->number - 1] = file->written;
        }
    }
    object->offset = file->written;
    if (!file->failed) {
        DWORD done = 0;
        if (!WriteFile(file->handle, object->text, object->length, &done, NULL) || done != object->length) {
            file->error = GetLastError();
            file->failed = 1;
        }
        file->written += done;
    }
    FreePdfObject(object);
    return !file->failed;
}

static int OpenPdfFile(PdfFile *file, const char *path)
{
    memset(file, 0, sizeof *file);
    file->handle = OpenFileWithRetry(path, GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (file->handle == INVALID_HANDLE_VALUE || !file->handle) {
        file->error = GetLastError();
        file->handle = NULL;
        return 0;
    }
    PdfObject object;
    int ok = MakePdfHeader(&object) && WritePdfObject(file, &object);
    ok = ok && MakePdfCatalog(&object) && WritePdfObject(file, &object);
    ok = ok && MakePdfOutlines(&object) && WritePdfObject(file, &object);
    return ok;
}

static void ShowPdfWriteError(const char *path, DWORD error)
{
    char reason[256] = "";
    if (error)
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, reason,
                       sizeof reason, NULL);
    char text[MAX_PATH + 400];
    snprintf(text, sizeof text,
             "The PDF file could not be written:\r\n\r\n    %s\r\n\r\n%s\r\nClose the file if another program has "
             "it open, or check that the folder is writable and the disk has room.",
             path, reason[0] ? reason : "");
    ShowMessageBox(gMainWindow, text, "Unable to Create PDF File", MB_OK | MB_ICONEXCLAMATION);
}

// The page tree, cross-reference table and trailer; then the file is flushed and closed. On any
// failure the partial file is deleted and the failure is shown (a file that could not be opened
// was reported by OpenFileWithRetry already). 1 when the whole file was written.
static int ClosePdfFile(PdfFile *file, const char *path)
{
    PdfObject object;
    if (!file->failed) {
        if (MakePdfPages(&object, file->kids, file->kidCount))
            WritePdfObject(file, &object);
        else
            file->failed = 1;
    }
    for (uint32_t i = 0; !file->failed && i < file->offsetCount; i++)
        if (!file->offsets[i])
            file->failed = 1;   // an object number was never written
    if (!file->failed) {
        uint32_t xrefOffset = file->written;
        if (MakePdfXref(&object, file->offsets, file->offsetCount))
            WritePdfObject(file, &object);
        else
            file->failed = 1;
        if (!file->failed && MakePdfTrailer(&object, xrefOffset, file->offsetCount + 1))
            WritePdfObject(file, &object);
        else
            file->failed = 1;
    }
    if (file->handle) {
        if (!file->failed && !FlushFileBuffers(file->handle)) {
            file->error = GetLastError();
            file->failed = 1;
        }
        if (!CloseHandle(file->handle) && !file->failed) {
            file->error = GetLastError();
            file->failed = 1;
        }
        file->handle = NULL;
        if (file->failed) {
            DeleteFileA(path);
            ShowPdfWriteError(path, file->error);
        }
    }
    MemFree(file->offsets);
    MemFree(file->kids);
    file->offsets = file->kids = NULL;
    return !file->failed;
}


// One image page: page, content and image objects numbered from the next free number, written
// at once. rotation 0 or 270.
static int AddImagePage(PdfFile *file, HBITMAP bitmap, uint32_t rotation, int blackWhite)
{
    uint32_t number = 4 + 3 * file->kidCount;
    if (!GrowArray(&file->kids, &file->kidCapacity, file->kidCount + 1)) {
        file->failed = 1;
        return 0;
    }
    PdfObject page, content, image;
    memset(&page, 0, sizeof page);
    memset(&content, 0, sizeof content);
    memset(&image, 0, sizeof image);
    int ok = MakePdfImage(&image, bitmap, number + 2, blackWhite) && MakePdfPage(&page, number, 3, number + 1,
                                                                                 number + 2, NULL, rotation) &&
             MakePdfPageContent(&content, number + 1, number + 2);
    if (!ok) {
        FreePdfObject(&page);
        FreePdfObject(&content);
        FreePdfObject(&image);
        file->failed = 1;
        return 0;
    }
    file->kids[file->kidCount++] = number;
    WritePdfObject(file, &page);
    WritePdfObject(file, &content);
    WritePdfObject(file, &image);
    return !file->failed;
}

// The target of a path: its extension replaced by "pdf". 0 without a path or an extension.
static int MakePdfTargetPath(const char *path, char *out, int outSize)
{
    if (!path || !path[0])
        return 0;
    const char *name = strrchr(path, '\\');
    const char *slash = strrchr(path, '/');
    if (slash && (!name || slash > name))
        name = slash;
    const char *dot = strrchr(name ? name : path, '.');
    if (!dot || (int)(dot - path) + 5 > outSize)
        return 0;
    memcpy(out, path, (size_t)(dot - path) + 1);
    strcpy(out + (dot - path) + 1, "pdf");
    return 1;
}

static void ShowPdfProgress(int silent, const char *caption, int current, int total)
{
    if (silent || !gPrintProgressDialog)
        return;
    char progress[64];
    snprintf(progress, sizeof progress, "Generating page %d of %d", current, total);
    SetPrintProgressTexts(caption, progress);
    // The window stays responsive while a long return is written.
    PumpPrintMessages();
}

// Starts the status text, busy cursor and (unless silent) the progress dialog.
static void BeginPdfOutput(int silent)
{
    SetStatusText(gStatusBar, 1, "Generating PDF file...", NULL);
    SetBusyCursor(1);
    if (!silent)
        gPrintProgressDialog = CreateDialogParamA(gInstance ? gInstance : GetModuleHandleA(NULL), "PRINTABORT",
                                                  gMainWindow, PrintAbortDlgProc, 2);
}

static void EndPdfOutput(void)
{
    if (gPrintProgressDialog) {
        DestroyWindow(gPrintProgressDialog);
        gPrintProgressDialog = NULL;
    }
    SetBusyCursor(0);
    SetStatusText(gStatusBar, 3, NULL, NULL);
}

// "PDF File Created": asks whether to open the new file.
static void AskToViewPdf(const char *path)
{
    char folder[MAX_PATH];
    lstrcpynA(folder, path, sizeof folder);
    char *cut = strrchr(folder, '\\');
    if (cut)
        *cut = 0;
    char text[MAX_PATH + 256];
    snprintf(text, sizeof text,
             "The PDF file has been successfully created and can be\r\nfound in the following folder on your PC:"
             "\r\n\r\n    %s\r\n\r\nWould you like to view the PDF file now?",
             folder);
    if (ShowMessageBox(gMainWindow, text, "PDF File Created", MB_YESNO | MB_ICONINFORMATION) == IDYES)
        OpenWithShell("open", path);
}

// Ends the output of one PDF file: ok as given; a file made without silent is offered to view.
static int EndPdfOutputWith(int ok, const char *target, int silent)
{
    EndPdfOutput();
    if (!ok)
        return 0;
    if (!silent)
        AskToViewPdf(target);
    return 1;
}

// Adds the finished image of one return page (its flags set as printing sets them).
static int AddReturnPage(PdfFile *file, FormInstance *page, int silent, int current, int total, int rotate,
                         int blackWhite)
{
    gPdfPageJurisdiction = page->jurisdiction;
    gMnOutputFontAllowed = AllowsMnOutputFont(page);
    char caption[160] = "";
    if (!silent) {
        if (page->treeItem)
            GetTreeItemText(page->treeItem, caption, 0, 128);
        else if (page->displayName)
            lstrcpynA(caption, page->displayName, sizeof caption);
        ShowPdfProgress(silent, caption, current, total);
    }
    HBITMAP image = GeneratePageImage(page, 1);
    int ok = image && AddImagePage(file, image, rotate && page->landscape ? 270 : 0, blackWhite);
    if (image)
        DeleteObject(image);
    gPdfPageJurisdiction = 0;
    gMnOutputFontAllowed = 0;
    return ok;
}

// Writes pages (or the single bitmap) into target. With all set the Summary and Status pages
// come first. Returns 1 when the file is complete.
// The statements of one return part (return code and group order) as pages: each statement
// rendered for PDF, at most LIST_REPORT_MAX_BITMAPS pages of it (more gives the warning), turned
// when the statement's own page is landscape.
static int AddPartStatements(PdfFile *file, const FormInstance *last, int silent, int *current, int total,
                             int rotate, int blackWhite)
{
    if (!gListReturnStatementsProc || !gRenderStatementEntryProc)
        return 1;
    int count = gListReturnStatementsProc(NULL, last->jurisdiction, last->groupOrder);
    if (count <= 0)
        return 1;
    StatementListEntry *entries = (StatementListEntry *)MemAlloc(64, sizeof(StatementListEntry) * (size_t)(count + 1));
    if (!entries)
        return 0;
    count = gListReturnStatementsProc(entries, last->jurisdiction, last->groupOrder);
    int ok = 1;
    for (int e = 0; ok && e < count; e++) {
        ShowPdfProgress(silent, entries[e].title, ++*current, total);
        HBITMAP slots[LIST_REPORT_MAX_BITMAPS];
        memset(slots, 0, sizeof slots);
        int produced = gRenderStatementEntryProc(&entries[e], slots, LIST_REPORT_MAX_BITMAPS, STATEMENT_KIND_PDF);
        if (produced > LIST_REPORT_MAX_BITMAPS) {
            char text[300];
            snprintf(text, sizeof text,
                     "Statement PDF processing generated more than %d pages\r\nfor a single statement. Only the "
                     "first %d pages of this\r\nstatement will be included in the PDF.",
                     LIST_REPORT_MAX_BITMAPS, LIST_REPORT_MAX_BITMAPS);
            ShowMessageBox(gMainWindow, text, "PDF Creation Warning", MB_OK | MB_ICONEXCLAMATION);
            produced = LIST_REPORT_MAX_BITMAPS;
        }
        uint32_t rotation = rotate && entries[e].page && entries[e].page->landscape ? 270 : 0;
        for (int i = 0; i < produced; i++) {
            if (ok && slots[i])
                ok = AddImagePage(file, slots[i], rotation, blackWhite);
            if (slots[i])
                DeleteObject(slots[i]);
        }
    }
    MemFree(entries);
    return ok;
}

// The number of statements of the return (the progress total counts one per statement).
static int CountReturnStatements(void)
{
    return gListReturnStatementsProc ? gListReturnStatementsProc(NULL, 0, 0) : 0;
}

// Writes pages (or the single bitmap) into target. With all set the Summary and Status pages
// come first. The statements of a return part follow its last page (turned when their own page
// is landscape); rotate turns landscape form pages. Returns 1 when the file is complete.
static int WritePagesPdf(const char *target, FormInstance **pages, int count, HBITMAP bitmap, int all, int silent,
                         int rotate, int blackWhite)
{
    PdfFile file;
    int ok = OpenPdfFile(&file, target);
    if (ok && bitmap)
        ok = AddImagePage(&file, bitmap, 0, blackWhite);
    int statements = count ? CountReturnStatements() : 0;
    int total = count + statements + (all ? 2 : 0), current = 0;
    if (ok && all) {
        HTREEITEM generated[2] = {gTreeSummaryItem, gTreeStatusItem};
        for (int i = 0; ok && i < 2; i++) {
            FormInstance *page = (FormInstance *)GetTreeItemForm(generated[i]);
            if (page && page->kind == PAGE_KIND_GENERATED)
                ok = AddReturnPage(&file, page, silent, ++current, total, 0, blackWhite);
        }
    }
    for (int i = 0; ok && i < count; i++) {
        ok = AddReturnPage(&file, pages[i], silent, ++current, total, rotate, blackWhite);
        int partEnds = i + 1 == count || pages[i + 1]->jurisdiction != pages[i]->jurisdiction ||
                       pages[i + 1]->groupOrder != pages[i]->groupOrder;
        if (ok && statements && partEnds)
            ok = AddPartStatements(&file, pages[i], silent, &current, total, 1, blackWhite);
    }
    if (!ok)
        file.failed = 1;
    return ClosePdfFile(&file, target);
}

int WriteImagePdf(const char *path, const char *formName, HBITMAP bitmap, int silent, int blackWhite)
{
    char target[MAX_PATH];
    if (!MakePdfTargetPath(path, target, sizeof target))
        return 0;
    int count = 0;
    FormInstance **pages = NULL;
    if (!bitmap) {
        pages = SnapshotReturnPages(formName ? 4 : 2, formName, &count);
        if (formName && !count)
            return 0;
    }
    BeginPdfOutput(silent);
    int ok = WritePagesPdf(target, pages, count, bitmap, !bitmap && !formName, silent, 1, blackWhite);
    MemFree(pages);
    return EndPdfOutputWith(ok, target, silent);
}

int WriteTextPdf(const char *path, const char *text, int silent)
{
    char target[MAX_PATH];
    if (!MakePdfTargetPath(path, target, sizeof target))
        return 0;
    int lineCount = 0;
    char **lines = WrapPdfTextLines(text, PDF_TEXT_COLUMNS, &lineCount);
    if (!lines)
        return 0;
    BeginPdfOutput(silent);
    PdfFile file;
    int ok = OpenPdfFile(&file, target);
    // Page 1 is objects 4 (page) and 5 (content), the font 6 and its descriptor 7; every further
    // page takes the next two numbers. A long text goes on as many pages as it needs.
    int pageCount = (lineCount + PDF_TEXT_LINES_PER_PAGE - 1) / PDF_TEXT_LINES_PER_PAGE;
    if (pageCount < 1)
        pageCount = 1;
    PdfObject object;
    for (int p = 0; ok && p < pageCount; p++) {
        uint32_t number = p == 0 ? 4 : 8 + 2 * (uint32_t)(p - 1);
        int first = p * PDF_TEXT_LINES_PER_PAGE;
        int n = lineCount - first < PDF_TEXT_LINES_PER_PAGE ? lineCount - first : PDF_TEXT_LINES_PER_PAGE;
        ok = GrowArray(&file.kids, &file.kidCapacity, file.kidCount + 1);
        if (ok)
            file.kids[file.kidCount++] = number;
        ok = ok && MakePdfPage(&object, number, 3, number + 1, 6, "F1", 0) && WritePdfObject(&file, &object);
        ok = ok && MakePdfTextContent(&object, lines + first, n, number + 1, "F1", 1) &&
             WritePdfObject(&file, &object);
        if (ok && p == 0) {
            ok = MakePdfFont(&object, "F1", 6, 7) && WritePdfObject(&file, &object);
            ok = ok && MakePdfFontDescriptor(&object, 7) && WritePdfObject(&file, &object);
        }
    }
    FreePdfTextLines(lines, lineCount);
    if (!ok)
        file.failed = 1;
    ok = ClosePdfFile(&file, target);
    return EndPdfOutputWith(ok, target, silent);
}

int GeneratePdf(const char *path, const char *text, const char *formName, HBITMAP bitmap, int kind, int silent)
{
    gPdfInProgress = 1;
    int ok = 0;
    if (kind == 1)
        ok = WriteImagePdf(path, formName, bitmap, silent, 0);
    else if (kind == 2)
        ok = WriteTextPdf(path, text, silent);
    gPdfInProgress = 0;
    gPdfPageJurisdiction = 0;
    gMnOutputFontAllowed = 0;
    return ok;
}

uint8_t *WriteFormPdfToTemp(const char *pageKey, uint32_t *sizeOut, int occurrence, int blackWhite)
{
    if (sizeOut)
        *sizeOut = 0;
    FormInstance *page = NULL;
    if (!pageKey || FindReturnPages(12, pageKey, &page, occurrence) != 1 || !page)
        return NULL;
    char target[MAX_PATH];
    if (!GetProgramFolder(target, FOLDER_SENT) || strlen(target) + 20 > sizeof target)
        return NULL;
    strcat(target, "\\~TempFormPdf.pdf");
    gPdfInProgress = 1;
    // The attachment keeps its page upright.
    int ok = WritePagesPdf(target, &page, 1, NULL, 0, 1, 0, blackWhite);
    gPdfInProgress = 0;
    if (!ok)
        return NULL;
    DWORD size = 0;
    uint8_t *bytes = NULL;
    HANDLE handle = OpenFileForRead(target, &size, 0);
    if (handle && handle != INVALID_HANDLE_VALUE) {
        bytes = (uint8_t *)MemAlloc(64, (size_t)size + 1);
        DWORD got = 0;
        if (bytes && (!ReadFile(handle, bytes, size, &got, NULL) || got != size))
            bytes = (uint8_t *)MemFree(bytes);
        CloseHandle(handle);
    }
    DeleteFileA(target);
    if (bytes && sizeOut)
        *sizeOut = size;
    return bytes;
}
