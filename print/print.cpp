// print.cpp - the print job: the return's pages (mode 1), a list report (mode 2) or one "Tax
// Return Status" page per return of a list of status entries (mode 3), on the printer chosen in
// the print dialog, with a progress dialog whose Cancel stops the job.
#include "print/print.h"
#include "print/print_private.h"
#include "ui/ui.h"
#include "transmit/transmit.h"

#include <stdio.h>
#include <string.h>

static const char kJobNameFormat[] = "%s document";
static const char kProductName[] = "Levyline";

// Set when the printer refused a page of the job (StartPage or EndPage failed).
static int sPrintPageRefused;

// ---- amended forms ----

struct AmendedFormRule {
    const char *formName;
    int partBlock;          // offset of the return part whose status must be 'A'
    const char *partWord;
    const char *agency;
};
static const AmendedFormRule kAmendedForms[] = {
    {"Form 1040X", RETURN_PART_FEDERAL, "Federal", "IRS"},
    {"Form 540X", RETURN_PART_STATE, "State", "Franchise Tax Board"},
    {"Form M1X", RETURN_PART_STATE, "State", "MN Department of Revenue"},
    {"Form M1PRX", RETURN_PART_OTHER, "State", "MN Department of Revenue"},
};

static const char *GetStatusWord(uint8_t letter)
{
    switch (letter) {
    case 'P':
        return "Pending";
    case 'R':
        return "Rejected";
    case 0:
        return "Not Sent";
    default:
        return "Other";
    }
}

// 1 (after its message) when one of the pages is an amended form of the "Print and Scan Forms"
// group whose return part has not been accepted.
int CheckAmendedPagesPrintable(FormInstance *const *pages, int count)
{
    for (int i = 0; pages && i < count; i++) {
        const FormInstance *page = pages[i];
        if (!page || page->jurisdiction != 101 || !page->pageKey)
            continue;
        for (const AmendedFormRule &rule : kAmendedForms) {
            size_t length = strlen(rule.formName);
            if (_strnicmp(page->pageKey, rule.formName, length) != 0)
                continue;
            uint8_t status = ReturnBytes(gOpenReturnPtr, rule.partBlock + PART_STATUS_LETTER)[0];
            if (status == 'A')
                break;
            char text[700], title[80];
            snprintf(text, sizeof text,
                     "The page(s) that you selected to print includes %s.  This form can only be\r\n"
                     "printed if the Status screen indicates that your %s return has been \"Accepted\"\r\n"
                     "by the %s.\r\n\r\nBecause the status of your %s return is currently \"%s\", your print "
                     "request\r\ncannot be completed.",
                     rule.formName, rule.partWord, rule.agency, rule.partWord, GetStatusWord(status));
            snprintf(title, sizeof title, "Unable to Print %s", rule.formName);
            ShowMessageBox(gMainWindow, text, title, MB_ICONEXCLAMATION | MB_OK);
            return 1;
        }
    }
    return 0;
}

// ---- pages of the return ----

int PrintReturnPages(HDC printerDc, FormInstance *const *pages, int count, int forPrint)
{
    // Statements follow the last page of their return part.
    PrintStatementList statements;
    CollectPrintStatements(pages, count, &statements);
    int total = count + statements.marks, done = 0, partStart = 0;
    for (int i = 0; i < count; i++) {
        FormInstance *page = pages[i];
        if (!page)
            continue;
        // Wine calls the abort procedure only inside StartDoc: look for Cancel between pages.
        if (!PumpPrintMessages()) {
            FreePrintStatements(&statements);
            return 0;
        }
        gPrintPageJurisdiction = page->jurisdiction;
        gMnOutputFontAllowed = AllowsMnOutputFont(page);
        if (StartPage(printerDc) <= 0) {
            sPrintPageRefused = 1;
            FreePrintStatements(&statements);
            return 0;
        }
        char caption[160] = "";
        if (page->treeItem)
            GetTreeItemText(page->treeItem, caption, 0, 128);
        else if (page->displayName)
            lstrcpynA(caption, page->displayName, sizeof caption);
        char progress[64];
        snprintf(progress, sizeof progress, "Printing page %lu of %lu", (unsigned long)(done + 1), (unsigned long)total);
        done++;
        SetPrintProgressTexts(caption, progress);
        HBITMAP bitmap = GeneratePageImage(page, forPrint);
        PrintBitmapOnPage(printerDc, bitmap);
        if (bitmap)
            DeleteObject(bitmap);
        int ended = EndPage(printerDc) > 0;
        gPrintPageJurisdiction = 0;
        gMnOutputFontAllowed = 0;
        if (!ended) {
            sPrintPageRefused = 1;
            FreePrintStatements(&statements);
            return 0;
        }
        if (statements.marks && EndsReturnPart(pages, count, i)) {
            if (!PrintPartStatements(printerDc, &statements, pages, partStart, i, &done, total)) {
                sPrintPageRefused = gPrintJobActive ? 1 : 0;
                FreePrintStatements(&statements);
                return 0;
            }
        }
        if (EndsReturnPart(pages, count, i))
            partStart = i + 1;
    }
    FreePrintStatements(&statements);
    return 1;
}

// ---- status pages ----

// Copies a text member of an entry (possibly unterminated) into the record's member.
static void CopyEntryText(OpenReturn *record, int offset, int size, const char *text, size_t textSize)
{
    char copy[256];
    size_t length = 0;
    while (length < textSize && length < sizeof copy - 1 && text[length])
        length++;
    memcpy(copy, text, length);
    copy[length] = 0;
    SetReturnText(record, offset, size, copy);
}

static void FillStatusPart(OpenReturn *record, const BatchStatusEntry *entry)
{
    int index = entry->partLetter == 'F' ? 0 : entry->partLetter == 'S' ? 1 : entry->partLetter == 'O' ? 2 : -1;
    if (index < 0)
        return;
    static const int blocks[3] = {RETURN_PART_FEDERAL, RETURN_PART_STATE, RETURN_PART_OTHER};
    int block = blocks[index];
    ReturnBytes(record, RETURN_PART_PRESENT)[index] = (uint8_t)entry->partLetter;
    // The jurisdiction code indexes the state table: only its state rows are looked up.
    if (entry->partLetter == 'S' && entry->jurisdiction >= 1 && entry->jurisdiction <= 51 &&
        entry->jurisdiction < gStateTableRowCount)
        SetReturnText(record, block + PART_CODE, 6, gStateTable[entry->jurisdiction].abbreviation);
    SetReturnU16(record, block + PART_FORM_COUNT, entry->formCount);
    ReturnBytes(record, block + PART_STATUS_LETTER)[0] = (uint8_t)entry->statusLetter;
    ReturnBytes(record, block + PART_REJECT_LETTER)[0] = (uint8_t)entry->rejectLetter;
    char date[sizeof entry->sentDate + 1];
    SYSTEMTIME time;
    memcpy(date, entry->sentDate, sizeof entry->sentDate);
    date[sizeof entry->sentDate] = 0;
    if (ParseDateText(date, &time, 'T'))
        memcpy(ReturnBytes(record, block + PART_SENT_TIME), &time, sizeof time);
    memcpy(date, entry->statusDate, sizeof entry->statusDate);
    date[sizeof entry->statusDate] = 0;
    if (ParseDateText(date, &time, 'T'))
        memcpy(ReturnBytes(record, block + PART_STATUS_TIME), &time, sizeof time);
    CopyEntryText(record, block + PART_MESSAGE, PART_BLOCK_SIZE - PART_MESSAGE, entry->message, sizeof entry->message);
}

static int SameReturnIdentity(const BatchStatusEntry *a, const BatchStatusEntry *b)
{
    return _strnicmp(a->returnId, b->returnId, sizeof a->returnId) == 0;
}

int PrintReturnStatusPages(HDC printerDc, BatchStatusEntry *const *entries)
{
    if (!entries)
        return 0;
    int total = 0;
    while (entries[total])
        total++;
    OpenReturn *record = (OpenReturn *)MemAlloc(64, sizeof(OpenReturn));
    if (!record)
        return 0;
    int printed = 0, run = 0;
    for (int i = 0; i < total;) {
        if (!PumpPrintMessages())
            break;
        memset(record, 0, sizeof *record);
        SetReturnU32(record, RETURN_SIZE_WORD, OPEN_RETURN_SIZE);
        const BatchStatusEntry *first = entries[i];
        CopyEntryText(record, RETURN_BUSINESS_NAME, 72, first->businessName, sizeof first->businessName);
        CopyEntryText(record, RETURN_IDENTITY, 32, first->returnId, sizeof first->returnId);
        int next = i;
        while (next < total && SameReturnIdentity(entries[next], first))
            FillStatusPart(record, entries[next++]);
        i = next;
        run++;
        HBITMAP page = RenderSummaryPage(0, record, 2, 1);
        char caption[80], progress[64];
        CopyEntryText(record, RETURN_BUSINESS_NAME, 72, first->businessName, sizeof first->businessName);
        lstrcpynA(caption, ReturnText(record, RETURN_BUSINESS_NAME), sizeof caption);
        snprintf(progress, sizeof progress, "Printing page %lu of %lu", (unsigned long)run, (unsigned long)total);
        if (PrintPageStartEnd(printerDc, page, caption, progress))
            printed = 1;
        else
            sPrintPageRefused = 1;   // the remaining pages are still tried
        if (page)
            DeleteObject(page);
    }
    MemFree(record);
    return printed;
}

// ---- the job ----

static void ShowPrintFailure(void)
{
    ShowMessageBox(gMainWindow,
                   "The printer did not accept the print job.  Some or all of the pages were not\r\nprinted.",
                   "Print Error", MB_ICONEXCLAMATION | MB_OK);
}

// Windows version 5 or later uses PrintDlgEx; an unread version record is read here.
static int UsesPrintDialogEx(void)
{
    if (gOsVersionInfo.dwMajorVersion == 0) {
        OSVERSIONINFOA version;
        memset(&version, 0, sizeof version);
        version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        if (GetVersionExA(&version))
            return version.dwMajorVersion >= 5;
#pragma GCC diagnostic pop
        return 1;
    }
    return gOsVersionInfo.dwMajorVersion >= 5;
}

int BeginOutputJobFrame(int *frame)
{
    *frame = BeginModalState(NULL, MODAL_OUTPUT_JOB);
    if (FinishPendingRecompute())
        return 1;
    EndModalState(*frame);
    *frame = 0;
    return 0;
}

int PrintForms(HWND owner, ListPrintJob *job, HTREEITEM treeItem, int mode, int stamp, BatchStatusEntry **entries)
{
    // One job at a time: a print job or a PDF being written pumps messages.
    if (gPrintInProgress || gPdfInProgress)
        return 0;
    gOperationCode = 60001;
    // The job is a frame of the modal state from its dialog to its end: the asking window (a
    // dialog with a Print button, or the main window) and the main window take no input, and each
    // is given back as it is now. The totals are brought up to date first (else nothing is
    // printed); no recompute starts while the job reads the pages.
    int frame = 0;
    if (!BeginOutputJobFrame(&frame))
        return 0;
    gPrintJobActive = 0;
    gPrintInProgress = 1;
    sPrintPageRefused = 0;
    HDC dc = 0;
    HGLOBAL devMode = 0, devNames = 0;
    FormInstance **pages = 0;
    int pageCount = 0;
    int copies = 1, isPdfPrinter = 0, failed = 0;
    // Room for as many ranges as the page box takes ("2, 5" is two).
    PRINTPAGERANGE ranges[32];
    memset(ranges, 0, sizeof ranges);
    ranges[0].nFromPage = 1;
    ranges[0].nToPage = gReturnPageCount ? gReturnPageCount : 1;
    DWORD nameLength = 0;
    if ((mode == 2 && (!job || !job->listView)) || (mode == 3 && !entries) || mode < 1 || mode > 3)
        goto cleanup;

    gOperationCode = 60002;
    if (!GetDefaultPrinterName(0, &nameLength)) {
        ShowMessageBox(gMainWindow,
                       "A default printer is not defined for this PC.  Unable to continue\r\nwith print request.",
                       "Default Printer Not Defined", MB_ICONEXCLAMATION | MB_OK);
        goto cleanup;
    }

    gOperationCode = 60003;
    if (UsesPrintDialogEx()) {
        PRINTDLGEXA record;
        memset(&record, 0, sizeof record);
        record.lStructSize = sizeof record;
        record.hwndOwner = owner ? owner : gMainWindow;
        record.Flags = PD_RETURNDC | PD_ENABLEPRINTTEMPLATE | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE |
                       PD_CURRENTPAGE;
        if (mode != 1 || treeItem)
            record.Flags |= PD_NOSELECTION | PD_NOPAGENUMS | PD_NOCURRENTPAGE;
        record.ExclusionFlags = PD_EXCL_COPIESANDCOLLATE;
        record.nPageRanges = 1;
        record.nMaxPageRanges = sizeof ranges / sizeof ranges[0];
        record.lpPageRanges = ranges;
        record.nMinPage = 1;
        record.nMaxPage = mode == 1 && gReturnPageCount ? gReturnPageCount : 1;
        record.nCopies = 1;
        record.hInstance = gInstance ? gInstance : GetModuleHandleA(0);
        record.lpPrintTemplateName = "PRINTDLGEX";
        record.nStartPage = START_PAGE_GENERAL;
        HRESULT result = ShowPrintDialogEx(&record, &pages, &pageCount, mode, treeItem);
        dc = record.hDC;
        devMode = record.hDevMode;
        devNames = record.hDevNames;
        if (FAILED(result) || record.dwResultAction != PD_RESULT_PRINT || pageCount <= 0)
            goto cleanup;
        copies = (int)record.nCopies;
    } else {
        PRINTDLGA record;
        memset(&record, 0, sizeof record);
        record.lStructSize = sizeof record;
        record.hwndOwner = owner ? owner : gMainWindow;
        record.Flags = PD_RETURNDEFAULT;
        if (PrintDlgA(&record) && record.hDevMode) {
            DEVMODEA *mode0 = (DEVMODEA *)GlobalLock(record.hDevMode);
            if (mode0 && (mode0->dmFields & DM_DITHERTYPE) && mode0->dmDitherType == DMDITHER_COARSE)
                mode0->dmDitherType = DMDITHER_FINE;
            if (mode0)
                GlobalUnlock(record.hDevMode);
        }
        record.Flags = PD_SELECTION | PD_COLLATE | PD_RETURNDC | PD_ENABLEPRINTHOOK | PD_ENABLEPRINTTEMPLATE |
                       PD_HIDEPRINTTOFILE;
        if (mode != 1)
            record.Flags |= PD_NOSELECTION | PD_NOPAGENUMS;
        record.nFromPage = 1;
        record.nToPage = (WORD)(gReturnPageCount ? gReturnPageCount : 1);
        record.nMinPage = 1;
        record.nMaxPage = (WORD)(mode == 1 && gReturnPageCount ? gReturnPageCount : 1);
        record.nCopies = 1;
        record.hInstance = gInstance ? gInstance : GetModuleHandleA(0);
        record.lpPrintTemplateName = "PRINTDLG";
        record.lpfnPrintHook = PrintDlgHookProc;
        BOOL chosen = PrintDlgA(&record);
        dc = record.hDC;
        devMode = record.hDevMode;
        devNames = record.hDevNames;
        if (!chosen)
            goto cleanup;
        if (mode == 1)
            CollectPagesToPrint(0, &record, 0, 0, &pages, &pageCount, treeItem);
        else
            pageCount = 1;
        if (pageCount <= 0)
            goto cleanup;
        copies = record.nCopies;
    }
    gPrintJobActive = 1;
    if (devMode) {
        DEVMODEA *mode0 = (DEVMODEA *)GlobalLock(devMode);
        if (mode0) {
            if ((mode0->dmFields & DM_COPIES) && mode0->dmCopies >= 2)
                copies = 1;   // the driver makes the copies
            isPdfPrinter = _strnicmp((const char *)mode0->dmDeviceName, "Adobe PDF", 9) == 0;
            GlobalUnlock(devMode);
        }
    }
    if (copies < 1)
        copies = 1;
    if (!dc) {
        gPrintJobActive = 0;
        goto cleanup;
    }

    gOperationCode = 60004;
    // The pages chosen for printing are checked, not only the page shown.
    if (mode == 1 && CheckAmendedPagesPrintable(pages, pageCount)) {
        gPrintJobActive = 0;
        goto cleanup;
    }

    gOperationCode = 60005;
    {
        int raster = GetDeviceCaps(dc, RASTERCAPS);
        if ((raster & (RC_STRETCHDIB | RC_BITMAP64)) != (RC_STRETCHDIB | RC_BITMAP64)) {
            ShowMessageBox(gMainWindow,
                           "The printer you selected is unable to print graphical images\r\ngenerated by this "
                           "application.\r\n\r\nPlease select another printer.",
                           "Device Error", MB_ICONEXCLAMATION | MB_OK);
            gPrintJobActive = 0;
            goto cleanup;
        }
    }

    gOperationCode = 60006;
    {
        char line[160];
        snprintf(line, sizeof line, "999 PDC: %d x %d, %d x %d, %d %d, %d %d\r\n", GetDeviceCaps(dc, HORZRES),
                 GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT),
                 GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY),
                 GetDeviceCaps(dc, SCALINGFACTORX), GetDeviceCaps(dc, SCALINGFACTORY));
        WriteLogLine(line);
    }

    gOperationCode = 60007;
    if (!isPdfPrinter) {
        SetAbortProc(dc, PrintAbortProc);
        gPrintProgressDialog = CreateDialogParamA(gInstance ? gInstance : GetModuleHandleA(0), "PRINTABORT",
                                                  gMainWindow, PrintAbortDlgProc, 1);
    }
    // The job pumps messages (the abort procedure, between pages): nothing else may start.
    KeepModalWindowsDisabled();

    gOperationCode = 60008;
    {
        char jobName[64];
        snprintf(jobName, sizeof jobName, kJobNameFormat, kProductName);
        DOCINFOA document;
        memset(&document, 0, sizeof document);
        document.cbSize = sizeof document;
        document.lpszDocName = jobName;
        if (StartDocA(dc, &document) <= 0) {
            failed = 1;
        } else {
            for (int copy = 0; copy < copies && !failed && gPrintJobActive; copy++) {
                if (mode == 2) {
                    SetPrintProgressTexts(job->title ? job->title : "", 0);
                    PrintListReport(owner, dc, job, stamp);
                    if (job->failed)
                        failed = 1;
                } else if (mode == 1) {
                    if (!PrintReturnPages(dc, pages, pageCount, stamp))
                        failed = sPrintPageRefused;
                } else if (!PrintReturnStatusPages(dc, entries)) {
                    failed = sPrintPageRefused;
                    if (!failed)
                        break;
                }
                if (sPrintPageRefused)
                    failed = 1;
                PumpPrintMessages();
            }
            if (!gPrintJobActive)
                AbortDoc(dc);   // cancelled: the spooler drops the job
            else if (EndDoc(dc) <= 0)
                failed = 1;
        }
        if (failed && gPrintJobActive) {
            gPrintJobActive = 0;
            ShowPrintFailure();
        }
    }

cleanup:
    gOperationCode = 60009;
    if (gPrintProgressDialog) {
        DestroyWindow(gPrintProgressDialog);
        gPrintProgressDialog = 0;
    }
    EndModalState(frame);
    if (dc)
        DeleteDC(dc);
    if (devMode)
        GlobalFree(devMode);
    if (devNames)
        GlobalFree(devNames);
    MemFree(pages);
    gPrintInProgress = 0;
    gPrintPageJurisdiction = 0;
    gMnOutputFontAllowed = 0;
    return gPrintJobActive;
}
