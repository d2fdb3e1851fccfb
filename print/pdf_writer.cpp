// Writing PDF files: the return (Summary and Status pages first), one form, one bitmap, or a
// text. The pages are planned first and a statement's pages counted by rendering it, so the page
// tree's kids are known and the objects go out in order: header, catalog, outlines, page tree,
// then each page's objects in page order as soon as they are made (their images compressed on
// worker threads while the next pages are made; a few pages in memory at a time), the
// cross-reference table and the trailer. The bytes go to a temporary file beside the target,
// which replaces the target only when it is complete (BeginFileReplace: the return file's rule).
#include "print/print.h"
#include "print/print_private.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// A PDF file being written: the target, the temporary file the bytes go to, the bytes written so
// far, the offsets of objects 1.. by number, the image pages written, and the first failure with
// the system's error code taken at the failing call or the reason the file could not be replaced.
struct PdfFile {
    char target[MAX_PATH];
    FileReplace replace;         // the temporary file (replace.handle null until it is open)
    uint32_t written;
    uint32_t *offsets;
    uint32_t offsetCount, offsetCapacity;
    uint32_t pagesMade, pagesWritten;
    struct PdfPlan *plan;        // an image PDF's plan: its file is opened once its pages are counted
    PdfPageQueue queue;          // the workers compressing image pages (none: compressed in place)
    int pump;                    // messages are pumped while waiting for them (a progress window)
    DWORD error;
    const char *why;
    int failed;
};

int gPdfCompressWorkers = 0;

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

// Writes all of data. A write that takes only part of it is repeated for the rest, so a disk that
// fills up reports its own reason from the call that refused. 0 with *error set on failure.
static int WriteAllBytes(HANDLE handle, const char *data, uint32_t length, uint32_t *written, DWORD *error)
{
    while (length) {
        DWORD done = 0;
        if (!WriteFile(handle, data, length, &done, NULL)) {
            *error = GetLastError();
            return 0;
        }
        if (!done) {
            *error = ERROR_DISK_FULL;   // nothing taken and no reason given
            return 0;
        }
        *written += done;
        data += done;
        length -= done;
    }
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
    if (!file->failed &&
        !WriteAllBytes(file->replace.handle, object->text, object->length, &file->written, &file->error))
        file->failed = 1;
    FreePdfObject(object);
    return !file->failed;
}

// Says why the PDF could not be written: why (the reason it could not be replaced, as a return's
// save gives it), else the system's text for error.
static void ShowPdfWriteError(const char *path, DWORD error, const char *why)
{
    char reason[400] = "";
    if (why && why[0]) {
        snprintf(reason, sizeof reason, "%s.", why);
        if (reason[0] >= 'a' && reason[0] <= 'z')
            reason[0] = (char)(reason[0] - 'a' + 'A');
    } else {
        size_t used = (size_t)GetSystemErrorText(error, reason, sizeof reason);
        snprintf(reason + used, sizeof reason - used,
                 "%sClose the file if another program has it open, or check that the folder is writable and the disk "
                 "has room.",
                 used ? "\r\n\r\n" : "");
    }
    char text[MAX_PATH + 600];
    snprintf(text, sizeof text, "The PDF file could not be written:\r\n\r\n    %s\r\n\r\n%s", path, reason);
    ShowMessageBox(gMainWindow, text, "Unable to Create PDF File", MB_OK | MB_ICONEXCLAMATION);
}

// The target must be one the file may be written to and replace (a usable path, an existing
// folder, not read-only, not held open by another program): found out before any page is made.
// 1 when it may be written.
static int CheckPdfTargetWritable(const char *target)
{
    const char *why = CheckFileReplaceable(target);
    if (!why)
        return 1;
    ShowPdfWriteError(target, 0, why);
    return 0;
}

static void InitPdfFile(PdfFile *file, const char *target)
{
    memset(file, 0, sizeof *file);
    lstrcpynA(file->target, target, sizeof file->target);
}

// Creates the temporary file beside the target and writes the header, catalog, outlines and
// the page tree of kids[0..kidCount-1] (null kids: out of memory, a failure).
static int OpenPdfFile(PdfFile *file, const uint32_t *kids, uint32_t kidCount)
{
    if (!kids) {
        file->error = ERROR_NOT_ENOUGH_MEMORY;
        file->failed = 1;
        return 0;
    }
    if (!BeginFileReplace(&file->replace, file->target, &file->why)) {
        file->failed = 1;
        return 0;
    }
    PdfObject object;
    int ok = MakePdfHeader(&object) && WritePdfObject(file, &object);
    ok = ok && MakePdfCatalog(&object) && WritePdfObject(file, &object);
    ok = ok && MakePdfOutlines(&object) && WritePdfObject(file, &object);
    ok = ok && MakePdfPages(&object, kids, kidCount) && WritePdfObject(file, &object);
    if (!ok)
        file->failed = 1;
    return ok;
}

// The cross-reference table and the trailer; then the file is flushed, closed and put in the
// target's place. On any failure the temporary file is deleted (the target stays as it was) and
// the failure is shown. 1 when the whole file was written.
static int ClosePdfFile(PdfFile *file)
{
    PdfObject object;
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
    if (!FinishFileReplace(&file->replace, !file->failed, &file->why))
        file->failed = 1;
    if (file->failed)
        ShowPdfWriteError(file->target, file->error, file->why);
    MemFree(file->offsets);
    file->offsets = NULL;
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

// ---- the plan of an image PDF ----

// One item of the file: a return page, a statement (which may fill several pages) or the bitmap
// given. Its pages take consecutive object triples, so the page tree is known from the plan once
// every statement is counted: rendered once, ahead of the pages (one thread), or when it is
// made (worker threads; the pages made before are held until the file is opened).
struct PdfPlanItem {
    FormInstance *page;              // a return page, or null
    int isStatement;
    StatementListEntry statement;    // the statement, when isStatement
    uint32_t pageCount;              // PDF pages the item gives
    int counted;                     // a statement's pages are counted (rendered once)
    uint32_t rotation;               // 0 or 270
};
struct PdfPlan {
    PdfPlanItem *items;
    int count, capacity;
    uint32_t pageCount;              // PDF pages of the items counted
    int uncounted;                   // statements whose pages are not counted yet
    int progressTotal;               // items counted in "Generating page k of N"
};

static PdfPlanItem *AddPlanItem(PdfPlan *plan)
{
    if (plan->count == plan->capacity) {
        int grown = plan->capacity ? plan->capacity * 2 : 32;
        PdfPlanItem *bigger = (PdfPlanItem *)MemReAlloc(plan->items, sizeof(PdfPlanItem) * (size_t)grown);
        if (!bigger)
            return NULL;
        plan->items = bigger;
        plan->capacity = grown;
    }
    PdfPlanItem *item = &plan->items[plan->count++];
    memset(item, 0, sizeof *item);
    return item;
}

static int PlanReturnPage(PdfPlan *plan, FormInstance *page, uint32_t rotation)
{
    PdfPlanItem *item = AddPlanItem(plan);
    if (!item)
        return 0;
    item->page = page;
    item->pageCount = 1;
    item->counted = 1;
    item->rotation = rotation;
    plan->pageCount++;
    plan->progressTotal++;
    return 1;
}

// Renders a statement for PDF into slots (LIST_REPORT_MAX_BITMAPS of them). Returns the pages
// kept; more than that many gives the warning once (warn) and keeps the first ones.
static int RenderPdfStatement(StatementListEntry *entry, HBITMAP *slots, int warn)
{
    memset(slots, 0, sizeof(HBITMAP) * LIST_REPORT_MAX_BITMAPS);
    int produced = gWindowCallbacks.renderStatementEntry(entry, slots, LIST_REPORT_MAX_BITMAPS, STATEMENT_KIND_PDF);
    if (produced > LIST_REPORT_MAX_BITMAPS) {
        if (warn) {
            char text[300];
            snprintf(text, sizeof text,
                     "Statement PDF processing generated more than %d pages\r\nfor a single statement. Only the "
                     "first %d pages of this\r\nstatement will be included in the PDF.",
                     LIST_REPORT_MAX_BITMAPS, LIST_REPORT_MAX_BITMAPS);
            ShowMessageBox(gMainWindow, text, "PDF Creation Warning", MB_OK | MB_ICONEXCLAMATION);
        }
        produced = LIST_REPORT_MAX_BITMAPS;
    }
    return produced < 0 ? 0 : produced;
}

static void DeleteSlotBitmaps(HBITMAP *slots)
{
    for (int i = 0; i < LIST_REPORT_MAX_BITMAPS; i++)
        if (slots[i])
            DeleteObject(slots[i]);
}

// The statements of one return part (return code and group order) that go with its pages
// pages[from..to] in the PDF, not counted yet; turned when the statement's own page is landscape.
static int PlanPartStatements(PdfPlan *plan, FormInstance **pages, int from, int to)
{
    const FormInstance *last = pages[to];
    if (!gWindowCallbacks.listReturnStatements || !gWindowCallbacks.renderStatementEntry)
        return 1;
    int count = gWindowCallbacks.listReturnStatements(NULL, last->jurisdiction, last->groupOrder);
    if (count <= 0)
        return 1;
    StatementListEntry *entries = (StatementListEntry *)MemAlloc(64, sizeof(StatementListEntry) * (size_t)(count + 1));
    if (!entries)
        return 0;
    count = gWindowCallbacks.listReturnStatements(entries, last->jurisdiction, last->groupOrder);
    int ok = 1;
    for (int e = 0; ok && e < count; e++) {
        if (!GoesWithPages(&entries[e], pages, from, to))
            continue;
        PdfPlanItem *item = AddPlanItem(plan);
        if (!item) {
            ok = 0;
            break;
        }
        item->isStatement = 1;
        item->statement = entries[e];
        item->rotation = entries[e].page && entries[e].page->landscape ? 270 : 0;
        plan->uncounted++;
        plan->progressTotal++;
    }
    MemFree(entries);
    return ok;
}

// Notes the pages of a statement rendered into slots (produced of them kept) the first time.
static void CountStatementPages(PdfPlan *plan, PdfPlanItem *item, HBITMAP *slots, int produced)
{
    if (item->counted)
        return;
    for (int i = 0; i < produced && slots[i]; i++)
        item->pageCount++;
    item->counted = 1;
    plan->pageCount += item->pageCount;
    plan->uncounted--;
}

// Renders each statement of the plan not counted yet to count its pages (the bitmaps are dropped:
// a page is made again when it is written).
static void CountPlanStatements(PdfPlan *plan)
{
    for (int i = 0; plan->uncounted && i < plan->count; i++) {
        PdfPlanItem *item = &plan->items[i];
        if (!item->isStatement || item->counted)
            continue;
        HBITMAP slots[LIST_REPORT_MAX_BITMAPS];
        int produced = RenderPdfStatement(&item->statement, slots, 1);
        CountStatementPages(plan, item, slots, produced);
        DeleteSlotBitmaps(slots);
        PumpPrintMessages();   // the progress window paints while statements are counted
    }
}

// The items of a PDF: the bitmap alone; else (all) the Summary and Status pages, then the pages,
// the statements of each return part after its last page. Landscape form pages are turned.
static int PlanImagePdf(PdfPlan *plan, FormInstance **pages, int count, HBITMAP bitmap, int all)
{
    memset(plan, 0, sizeof *plan);
    if (bitmap) {
        PdfPlanItem *item = AddPlanItem(plan);
        if (!item)
            return 0;
        item->pageCount = 1;
        item->counted = 1;
        plan->pageCount = 1;
    }
    if (all) {
        HTREEITEM generated[2] = {gTreeSummaryItem, gTreeStatusItem};
        for (int i = 0; i < 2; i++) {
            FormInstance *page = (FormInstance *)GetTreeItemForm(generated[i]);
            if (page && page->kind == PAGE_KIND_GENERATED && !PlanReturnPage(plan, page, 0))
                return 0;
        }
    }
    for (int i = 0, first = 0; i < count; i++) {
        if (!PlanReturnPage(plan, pages[i], pages[i]->landscape ? 270 : 0))
            return 0;
        int partEnds = i + 1 == count || pages[i + 1]->jurisdiction != pages[i]->jurisdiction ||
                       pages[i + 1]->groupOrder != pages[i]->groupOrder;
        if (partEnds && !PlanPartStatements(plan, pages, first, i))
            return 0;
        if (partEnds)
            first = i + 1;
    }
    return 1;
}

// ---- writing an image PDF ----

// Opens the file of a plan once every page is counted: with count, the statements not made yet
// are counted first (a queue full of pages waits for the file). 1 when the file is open.
static int OpenPlannedPdf(PdfFile *file, int count)
{
    if (file->replace.handle || file->failed)
        return !file->failed;
    PdfPlan *plan = file->plan;
    if (plan->uncounted && !count)
        return 0;
    if (plan->uncounted) {
        // Statements are rendered as the plan renders them, not as part of a return page.
        int jurisdiction = gPdfPageJurisdiction;
        int mnFont = gMnOutputFontAllowed;
        gPdfPageJurisdiction = 0;
        gMnOutputFontAllowed = 0;
        CountPlanStatements(plan);
        gPdfPageJurisdiction = jurisdiction;
        gMnOutputFontAllowed = mnFont;
    }
    // The page tree's kids: 4, 7, 10 ... one triple per page.
    uint32_t *kids = (uint32_t *)MemAlloc(64, sizeof(uint32_t) * ((size_t)plan->pageCount + 1));
    for (uint32_t i = 0; kids && i < plan->pageCount; i++)
        kids[i] = 4 + 3 * i;
    int ok = OpenPdfFile(file, kids, plan->pageCount);
    MemFree(kids);
    return ok;
}

// Writes an image page's objects in order (page, content, image), its image finished first; frees
// them all.
static void WritePendingPage(PdfFile *file, PdfPendingPage *pending)
{
    PdfObject image;
    if (!FinishPdfImage(&pending->image, &image)) {
        file->failed = 1;
        if (!file->error)
            file->error = ERROR_NOT_ENOUGH_MEMORY;   // the image could not be compressed or kept
    }
    WritePdfObject(file, &pending->page);
    WritePdfObject(file, &pending->content);
    if (!file->failed)
        WritePdfObject(file, &image);
    if (!file->failed)
        file->pagesWritten++;
}

// Writes the oldest queued page once its image is compressed: waits for it (wait; the file opened
// first) or takes it only when it is ready and the file open. 1 when a page was written.
static int WriteOldestQueuedPage(PdfFile *file, int wait)
{
    if (!OpenPlannedPdf(file, wait))
        return 0;
    PdfPendingPage *pending = TakeOldestPdfPage(&file->queue, wait, file->pump);
    if (!pending)
        return 0;
    WritePendingPage(file, pending);
    ReleaseOldestPdfPage(&file->queue);
    return !file->failed;
}

// One image page: page, content and image objects numbered from the next free number (the page
// tree lists them so). rotation 0 or 270. Without workers it is written at once; with them its
// image is queued for compression and the pages already compressed are written.
static int AddImagePage(PdfFile *file, HBITMAP bitmap, uint32_t rotation, int blackWhite)
{
    if (file->failed)
        return 0;
    PdfPendingPage local, *pending = &local;
    memset(&local, 0, sizeof local);
    // A full queue: the oldest page goes out first.
    while (file->queue.threadCount && !(pending = GetFreePdfPage(&file->queue)))
        if (!WriteOldestQueuedPage(file, 1))
            return 0;
    uint32_t number = 4 + 3 * file->pagesMade;
    int ok = PreparePdfImage(&pending->image, bitmap, number + 2, blackWhite) &&
             MakePdfPage(&pending->page, number, 3, number + 1, number + 2, NULL, rotation) &&
             MakePdfPageContent(&pending->content, number + 1, number + 2);
    if (!ok) {
        FreePdfObject(&pending->page);
        FreePdfObject(&pending->content);
        FreePdfImageWork(&pending->image);
        file->failed = 1;
        return 0;
    }
    file->pagesMade++;
    if (file->queue.threadCount) {
        QueuePdfPage(&file->queue);
        while (WriteOldestQueuedPage(file, 0)) {
        }
        return !file->failed;
    }
    CompressPdfImage(&pending->image);
    WritePendingPage(file, pending);
    return !file->failed;
}

// The progress caption of a return page: its forms-tree text, the Summary and Status items with
// " Page" after it.
static void GetPdfPageCaption(const FormInstance *page, char *caption, int size)
{
    caption[0] = 0;
    if (page->treeItem) {
        GetTreeItemText(page->treeItem, caption, 0, size - 8 > 0 ? size - 8 : 1);
        if (page->treeItem == gTreeSummaryItem || page->treeItem == gTreeStatusItem)
            lstrcatA(caption, " Page");
    } else if (page->displayName) {
        lstrcpynA(caption, page->displayName, size);
    }
}

// Adds the finished image of one return page (its flags set as printing sets them).
static int AddReturnPage(PdfFile *file, const PdfPlanItem *item, int silent, int current, int total, int blackWhite)
{
    FormInstance *page = item->page;
    gPdfPageJurisdiction = page->jurisdiction;
    gMnOutputFontAllowed = AllowsMnOutputFont(page);
    if (!silent) {
        char caption[160];
        GetPdfPageCaption(page, caption, sizeof caption);
        ShowPdfProgress(silent, caption, current, total);
    }
    HBITMAP image = GeneratePageImage(page, 1);
    int ok = image && AddImagePage(file, image, item->rotation, blackWhite);
    if (image)
        DeleteObject(image);
    gPdfPageJurisdiction = 0;
    gMnOutputFontAllowed = 0;
    return ok;
}

// Adds the pages of a statement: counted now, or rendered again and exactly the pages counted.
static int AddStatementPages(PdfFile *file, PdfPlanItem *item, int silent, int current, int total, int blackWhite)
{
    ShowPdfProgress(silent, item->statement.title, current, total);
    HBITMAP slots[LIST_REPORT_MAX_BITMAPS];
    int produced = RenderPdfStatement(&item->statement, slots, !item->counted);
    CountStatementPages(file->plan, item, slots, produced);
    int ok = produced >= (int)item->pageCount;
    for (uint32_t i = 0; ok && i < item->pageCount; i++)
        ok = slots[i] && AddImagePage(file, slots[i], item->rotation, blackWhite);
    DeleteSlotBitmaps(slots);
    if (!ok)
        file->failed = 1;
    return ok;
}

// Writes the planned items into target. With worker threads the statements are counted as they
// are made (rendered once), else all of them first. Returns 1 when the file is complete and in
// place.
static int WritePlannedPdf(const char *target, PdfPlan *plan, HBITMAP bitmap, int silent, int blackWhite)
{
    PdfFile file;
    InitPdfFile(&file, target);
    file.plan = plan;
    file.pump = !silent && gPrintProgressDialog;
    int ok = 1;
    // At most a worker per page the plan may give (a statement not counted yet may fill
    // LIST_REPORT_MAX_BITMAPS); they are started as the pages come.
    uint32_t most = plan->pageCount + (uint32_t)plan->uncounted * LIST_REPORT_MAX_BITMAPS;
    if (!StartPdfPageQueue(&file.queue, CountPdfCompressWorkers(gPdfCompressWorkers, most)))
        ok = OpenPlannedPdf(&file, 1);
    int current = 0;
    for (int i = 0; ok && i < plan->count; i++) {
        PdfPlanItem *item = &plan->items[i];
        if (item->isStatement)
            ok = AddStatementPages(&file, item, silent, ++current, plan->progressTotal, blackWhite);
        else if (item->page)
            ok = AddReturnPage(&file, item, silent, ++current, plan->progressTotal, blackWhite);
        else
            ok = AddImagePage(&file, bitmap, 0, blackWhite);
    }
    // The pages still held, in order; then no worker is left running.
    while (ok && WriteOldestQueuedPage(&file, 1)) {
    }
    StopPdfPageQueue(&file.queue);
    if (ok)
        OpenPlannedPdf(&file, 1);   // a plan of no pages still makes a file
    if (!ok || file.pagesWritten != plan->pageCount)
        file.failed = 1;
    return ClosePdfFile(&file);
}

// Writes pages (or the single bitmap) into target (checked by CheckPdfTargetWritable). With all
// set the Summary and Status pages come first. The statements of a return part follow its last
// page (turned when their own page is landscape), as landscape form pages are. Returns 1 when the
// file is complete.
static int WritePagesPdf(const char *target, FormInstance **pages, int count, HBITMAP bitmap, int all, int silent,
                         int blackWhite)
{
    PdfPlan plan;
    int ok = PlanImagePdf(&plan, pages, count, bitmap, all);
    if (ok)
        ok = WritePlannedPdf(target, &plan, bitmap, silent, blackWhite);
    else
        ShowPdfWriteError(target, ERROR_NOT_ENOUGH_MEMORY, NULL);
    MemFree(plan.items);
    return ok;
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
    // A target that cannot be written is told before the progress window opens.
    if (!CheckPdfTargetWritable(target)) {
        MemFree(pages);
        return 0;
    }
    BeginPdfOutput(silent);
    int ok = WritePagesPdf(target, pages, count, bitmap, !bitmap && !formName, silent, blackWhite);
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
    if (!CheckPdfTargetWritable(target)) {
        FreePdfTextLines(lines, lineCount);
        return 0;
    }
    BeginPdfOutput(silent);
    // Page 1 is objects 4 (page) and 5 (content), the font 6 and its descriptor 7; every further
    // page takes the next two numbers. A long text goes on as many pages as it needs.
    int pageCount = (lineCount + PDF_TEXT_LINES_PER_PAGE - 1) / PDF_TEXT_LINES_PER_PAGE;
    if (pageCount < 1)
        pageCount = 1;
    uint32_t *kids = (uint32_t *)MemAlloc(64, sizeof(uint32_t) * (size_t)pageCount);
    for (int p = 0; kids && p < pageCount; p++)
        kids[p] = p == 0 ? 4 : 8 + 2 * (uint32_t)(p - 1);
    PdfFile file;
    InitPdfFile(&file, target);
    int ok = OpenPdfFile(&file, kids, (uint32_t)pageCount);
    PdfObject object;
    for (int p = 0; ok && p < pageCount; p++) {
        uint32_t number = kids[p];
        int first = p * PDF_TEXT_LINES_PER_PAGE;
        int n = lineCount - first < PDF_TEXT_LINES_PER_PAGE ? lineCount - first : PDF_TEXT_LINES_PER_PAGE;
        ok = MakePdfPage(&object, number, 3, number + 1, 6, "F1", 0) && WritePdfObject(&file, &object);
        ok = ok && MakePdfTextContent(&object, lines + first, n, number + 1, "F1", 1) &&
             WritePdfObject(&file, &object);
        if (ok && p == 0) {
            ok = MakePdfFont(&object, "F1", 6, 7) && WritePdfObject(&file, &object);
            ok = ok && MakePdfFontDescriptor(&object, 7) && WritePdfObject(&file, &object);
        }
    }
    MemFree(kids);
    FreePdfTextLines(lines, lineCount);
    if (!ok)
        file.failed = 1;
    ok = ClosePdfFile(&file);
    return EndPdfOutputWith(ok, target, silent);
}

// A PDF is written as a print job is: one at a time, inside a frame of the modal state (it pumps
// messages: nothing may close the return or start another write under it), from totals brought
// up to date first (no recompute starts while it reads the pages). 0 when another job is running
// or the totals cannot be finished.
static int BeginPdfJob(int *frame)
{
    if (gPdfInProgress || gPrintInProgress)
        return 0;
    gPdfInProgress = 1;
    if (BeginOutputJobFrame(frame))
        return 1;
    gPdfInProgress = 0;
    return 0;
}

static void EndPdfJob(int frame)
{
    EndModalState(frame);
    gPdfInProgress = 0;
    gPdfPageJurisdiction = 0;
    gMnOutputFontAllowed = 0;
}

int GeneratePdf(const char *path, const char *text, const char *formName, HBITMAP bitmap, int kind, int silent)
{
    int frame = 0;
    if (!BeginPdfJob(&frame))
        return 0;
    int ok = 0;
    if (kind == 1)
        ok = WriteImagePdf(path, formName, bitmap, silent, 0);
    else if (kind == 2)
        ok = WriteTextPdf(path, text, silent);
    EndPdfJob(frame);
    return ok;
}
