// print_dialog_layer.cpp - the print dialog where the platform's PrintDlgExA cannot be used.
//
// Some platforms (Wine 8) ship a PrintDlgExA that only runs the classic print dialog with the
// caller's lower-part template as the whole dialog: the printer, the page-range controls and
// the callback object are lost and the chosen flags never come back. A probe finds that out
// once, without showing anything; where it is so, the program shows its own general page: the
// printer box above the caller's template, the template's standard controls handled as the
// platform handles them, and the IPrintDialogCallback called as the platform calls it.
#include "print/print.h"
#include "ui/ui.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

typedef HRESULT(WINAPI *PrintDlgExProc)(LPPRINTDLGEXA);

static const IID kIidPrintDialogCallback = {0x5852a2c3, 0x6530, 0x11d1, {0xb6, 0xa3, 0x00, 0x00, 0xf8, 0x75, 0x7b, 0xf9}};

// ---- the probe ----

static int sStubKnown = -1;          // -1 not probed yet, else the answer
static HHOOK sProbeHook;
static HWND sProbeOwner;
static int sProbeSawTemplate;

static int IsDialogClass(LPCWSTR className)
{
    if (!className)
        return 0;
    if (IS_INTRESOURCE(className))
        return LOWORD((ULONG_PTR)className) == 32770;
    return wcscmp(className, L"#32770") == 0;
}

// While the probe runs, no dialog window is created; the one made from the caller's template as
// a whole dialog (not inside the platform's own page) marks the stub.
static LRESULT CALLBACK ProbeCbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        CBT_CREATEWNDW *create = (CBT_CREATEWNDW *)lParam;
        const CREATESTRUCTW *cs = create ? create->lpcs : 0;
        if (cs && IsDialogClass(cs->lpszClass)) {
            if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName) &&
                wcscmp(cs->lpszName, L"" PRINTDLGEX_TEMPLATE_CAPTION) == 0 &&
                (!(cs->style & WS_CHILD) || cs->hwndParent == sProbeOwner))
                sProbeSawTemplate = 1;
            return 1;
        }
    }
    return CallNextHookEx(sProbeHook, code, wParam, lParam);
}

int IsPrintDlgExStub(HWND owner)
{
    if (sStubKnown >= 0)
        return sStubKnown;
    PrintDlgExProc platform = (PrintDlgExProc)GetDllProc("COMDLG32.DLL", "PrintDlgExA");
    if (!platform)
        return 0;
    if (!owner || !IsWindow(owner))
        owner = gMainWindow;
    if (!owner || !IsWindow(owner))
        return 0;   // cannot probe without an owner window: trust the platform this time
    PRINTPAGERANGE range = {1, 1};
    PRINTDLGEXA probe;
    memset(&probe, 0, sizeof probe);
    probe.lStructSize = sizeof probe;
    probe.hwndOwner = owner;
    probe.Flags = PD_ENABLEPRINTTEMPLATE | PD_NOSELECTION | PD_NOCURRENTPAGE;
    probe.nPageRanges = 1;
    probe.nMaxPageRanges = 1;
    probe.lpPageRanges = &range;
    probe.nMinPage = 1;
    probe.nMaxPage = 1;
    probe.nCopies = 1;
    probe.hInstance = gInstance ? gInstance : GetModuleHandleA(0);
    probe.lpPrintTemplateName = "PRINTDLGEX";
    probe.nStartPage = START_PAGE_GENERAL;
    sProbeOwner = owner;
    sProbeSawTemplate = 0;
    sProbeHook = SetWindowsHookExW(WH_CBT, ProbeCbtProc, 0, GetCurrentThreadId());
    if (!sProbeHook)
        return 0;
    platform(&probe);
    UnhookWindowsHookEx(sProbeHook);
    sProbeHook = 0;
    if (probe.hDC)
        DeleteDC(probe.hDC);
    if (probe.hDevMode)
        GlobalFree(probe.hDevMode);
    if (probe.hDevNames)
        GlobalFree(probe.hDevNames);
    sStubKnown = sProbeSawTemplate;
    char line[96];
    snprintf(line, sizeof line, "999 PDX: PrintDlgEx %s\r\n", sStubKnown ? "is a stub; own dialog used" : "used");
    WriteLogLine(line);
    return sStubKnown;
}

HRESULT RunPrintDialogEx(PRINTDLGEXA *record)
{
    PrintDlgExProc platform = (PrintDlgExProc)GetDllProc("COMDLG32.DLL", "PrintDlgExA");
    if (!platform)
        return E_NOTIMPL;
    if (IsPrintDlgExStub(record ? record->hwndOwner : 0))
        return ShowOwnPrintDialogEx(record);
    return platform(record);
}

// ---- page ranges ----

static const char *SkipBlanks(const char *p)
{
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

static int ReadPageNumber(const char **p, long *value)
{
    const char *s = *p;
    if (*s < '0' || *s > '9')
        return 0;
    long v = 0;
    while (*s >= '0' && *s <= '9') {
        v = v * 10 + (*s - '0');
        if (v > 1000000)
            return 0;
        s++;
    }
    *value = v;
    *p = s;
    return 1;
}

int ParsePageRangeText(const char *text, PRINTPAGERANGE *ranges, int maxRanges, int minPage, int maxPage)
{
    if (!text)
        return 0;
    int count = 0;
    const char *p = SkipBlanks(text);
    if (!*p)
        return 0;
    while (*p) {
        long from, to;
        if (!ReadPageNumber(&p, &from))
            return -1;
        p = SkipBlanks(p);
        to = from;
        if (*p == '-') {
            p = SkipBlanks(p + 1);
            if (!ReadPageNumber(&p, &to))
                return -1;
            p = SkipBlanks(p);
        }
        if (from < minPage || to > maxPage || from > to)
            return -1;
        if (count >= maxRanges)
            return -1;
        if (ranges) {
            ranges[count].nFromPage = (DWORD)from;
            ranges[count].nToPage = (DWORD)to;
        }
        count++;
        if (*p == ',')
            p = SkipBlanks(p + 1);
        else if (*p)
            return -1;
    }
    return count;
}

// ---- the program's own general page ----

struct OwnPrintDialog {
    PRINTDLGEXA *record;
    IPrintDialogCallback *callback;
    HWND dialog;
    HWND child;
};

static const char kPrintCaption[] = "Print";

// The printer chosen in the combo box (empty when none).
static void GetChosenPrinter(HWND dialog, char *name, int size)
{
    name[0] = 0;
    HWND combo = GetDlgItem(dialog, IDC_PRINT_PRINTER);
    int index = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return;
    int length = (int)SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0 || length >= size)
        return;
    SendMessageA(combo, CB_GETLBTEXT, index, (LPARAM)name);
}

static void ShowPrinterInfo(HWND dialog)
{
    char name[256];
    GetChosenPrinter(dialog, name, sizeof name);
    char info[300] = "";
    HANDLE printer = 0;
    if (name[0] && OpenPrinterA(name, &printer, 0)) {
        DWORD needed = 0;
        GetPrinterA(printer, 2, 0, 0, &needed);
        PRINTER_INFO_2A *details = needed ? (PRINTER_INFO_2A *)MemAlloc(64, needed) : 0;
        if (details && GetPrinterA(printer, 2, (BYTE *)details, needed, &needed)) {
            snprintf(info, sizeof info, "Where: %s%s%s", details->pPortName ? details->pPortName : "",
                     details->pComment && details->pComment[0] ? "   " : "",
                     details->pComment ? details->pComment : "");
        }
        MemFree(details);
        ClosePrinter(printer);
    }
    SetDlgItemTextA(dialog, IDC_PRINT_PRINTER_INFO, info);
}

// Fills the printer box and selects the record's printer, else the default printer.
static int FillPrinterCombo(HWND dialog, const PRINTDLGEXA *record)
{
    HWND combo = GetDlgItem(dialog, IDC_PRINT_PRINTER);
    DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0, count = 0;
    EnumPrintersA(flags, 0, 4, 0, 0, &needed, &count);
    PRINTER_INFO_4A *printers = needed ? (PRINTER_INFO_4A *)MemAlloc(64, needed) : 0;
    if (printers && EnumPrintersA(flags, 0, 4, (BYTE *)printers, needed, &needed, &count)) {
        for (DWORD i = 0; i < count; i++) {
            if (printers[i].pPrinterName && printers[i].pPrinterName[0])
                SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)printers[i].pPrinterName);
        }
    }
    MemFree(printers);
    int total = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
    if (total <= 0)
        return 0;
    char wanted[256] = "";
    if (record->hDevNames) {
        DEVNAMES *names = (DEVNAMES *)GlobalLock(record->hDevNames);
        if (names) {
            lstrcpynA(wanted, (const char *)names + names->wDeviceOffset, sizeof wanted);
            GlobalUnlock(record->hDevNames);
        }
    }
    if (!wanted[0])
        { DWORD size = sizeof wanted; GetDefaultPrinterName(wanted, &size); }
    int index = wanted[0] ? (int)SendMessageA(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)wanted) : -1;
    SendMessageA(combo, CB_SETCURSEL, index >= 0 ? index : 0, 0);
    return total;
}

// The standard controls of the template, set from the record as the platform sets them.
static void InitRangeControls(HWND child, const PRINTDLGEXA *record)
{
    DWORD flags = record->Flags;
    if (flags & PD_NOSELECTION)
        EnableWindow(GetDlgItem(child, IDC_PRINT_GROUP), FALSE);
    if (flags & PD_NOCURRENTPAGE)
        EnableWindow(GetDlgItem(child, IDC_PRINT_CURRENT), FALSE);
    if (flags & PD_NOPAGENUMS) {
        EnableWindow(GetDlgItem(child, IDC_PRINT_PAGES), FALSE);
        EnableWindow(GetDlgItem(child, IDC_PRINT_PAGES_EDIT), FALSE);
    } else if (record->nPageRanges > 0 && record->lpPageRanges) {
        char text[128] = "";
        size_t used = 0;
        for (DWORD i = 0; i < record->nPageRanges && used + 24 < sizeof text; i++) {
            const PRINTPAGERANGE *r = &record->lpPageRanges[i];
            int n = r->nFromPage == r->nToPage
                        ? snprintf(text + used, sizeof text - used, "%s%lu", i ? ", " : "", r->nFromPage)
                        : snprintf(text + used, sizeof text - used, "%s%lu-%lu", i ? ", " : "", r->nFromPage, r->nToPage);
            if (n < 0)
                break;
            used += (size_t)n;
        }
        SetDlgItemTextA(child, IDC_PRINT_PAGES_EDIT, text);
    }
    int radio = IDC_PRINT_ALL;
    if ((flags & PD_CURRENTPAGE) && !(flags & PD_NOCURRENTPAGE))
        radio = IDC_PRINT_CURRENT;
    else if ((flags & PD_SELECTION) && !(flags & PD_NOSELECTION))
        radio = IDC_PRINT_GROUP;
    else if ((flags & PD_PAGENUMS) && !(flags & PD_NOPAGENUMS))
        radio = IDC_PRINT_PAGES;
    CheckRadioButton(child, IDC_PRINT_ALL, IDC_PRINT_PAGES, radio);
    SendDlgItemMessageA(child, IDC_PRINT_COPIES, EM_LIMITTEXT, 4, 0);
    SetDlgItemInt(child, IDC_PRINT_COPIES, record->nCopies ? record->nCopies : 1, FALSE);
    CheckDlgButton(child, IDC_PRINT_COLLATE, (flags & PD_COLLATE) ? BST_CHECKED : BST_UNCHECKED);
}

static INT_PTR CALLBACK OwnPrintChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam)
{
    OwnPrintDialog *state;
    if (message == WM_INITDIALOG) {
        state = (OwnPrintDialog *)lParam;
        SetWindowLongPtrA(child, DWLP_USER, (LONG_PTR)state);
    } else {
        state = (OwnPrintDialog *)GetWindowLongPtrA(child, DWLP_USER);
    }
    if (!state)
        return FALSE;
    if (state->callback) {
        LRESULT result = 0;
        if (state->callback->HandleMessage(child, message, wParam, lParam, &result) == S_OK) {
            SetWindowLongPtrA(child, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
    switch (message) {
    case WM_INITDIALOG:
        InitRangeControls(child, state->record);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PRINT_PAGES_EDIT && HIWORD(wParam) == EN_SETFOCUS &&
            IsWindowEnabled(GetDlgItem(child, IDC_PRINT_PAGES)))
            CheckRadioButton(child, IDC_PRINT_ALL, IDC_PRINT_PAGES, IDC_PRINT_PAGES);
        return FALSE;
    }
    return FALSE;
}

// A DEVMODE of the printer in a movable global block (null on failure).
static HGLOBAL CreatePrinterDevMode(HWND owner, const char *name, DWORD copies, int collate, int *driverCopiesOut)
{
    *driverCopiesOut = 0;
    HANDLE printer = 0;
    if (!OpenPrinterA((char *)name, &printer, 0))
        return 0;
    HGLOBAL block = 0;
    LONG size = DocumentPropertiesA(owner, printer, (char *)name, 0, 0, 0);
    if (size > 0) {
        block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (SIZE_T)size);
        DEVMODEA *mode = block ? (DEVMODEA *)GlobalLock(block) : 0;
        if (mode && DocumentPropertiesA(owner, printer, (char *)name, mode, 0, DM_OUT_BUFFER) == IDOK) {
            // The driver makes the copies when it can.
            DWORD most = (DWORD)DeviceCapabilitiesA(name, 0, DC_COPIES, 0, mode);
            if ((mode->dmFields & DM_COPIES) && most != (DWORD)-1 && most >= copies && copies > 1) {
                mode->dmCopies = (short)copies;
                *driverCopiesOut = 1;
            } else if (mode->dmFields & DM_COPIES) {
                mode->dmCopies = 1;
            }
            if (mode->dmFields & DM_COLLATE)
                mode->dmCollate = collate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE;
            GlobalUnlock(block);
        } else {
            if (mode)
                GlobalUnlock(block);
            if (block)
                GlobalFree(block);
            block = 0;
        }
    }
    ClosePrinter(printer);
    return block;
}

static HGLOBAL CreatePrinterDevNames(const char *name)
{
    char port[256] = "";
    HANDLE printer = 0;
    if (OpenPrinterA((char *)name, &printer, 0)) {
        DWORD needed = 0;
        GetPrinterA(printer, 2, 0, 0, &needed);
        PRINTER_INFO_2A *details = needed ? (PRINTER_INFO_2A *)MemAlloc(64, needed) : 0;
        if (details && GetPrinterA(printer, 2, (BYTE *)details, needed, &needed) && details->pPortName)
            lstrcpynA(port, details->pPortName, sizeof port);
        MemFree(details);
        ClosePrinter(printer);
    }
    char defaultName[256] = "";
    { DWORD size = sizeof defaultName; GetDefaultPrinterName(defaultName, &size); }
    static const char kDriver[] = "winspool";
    size_t nameLength = strlen(name) + 1, portLength = strlen(port) + 1;
    size_t size = sizeof(DEVNAMES) + sizeof kDriver + nameLength + portLength;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    DEVNAMES *names = block ? (DEVNAMES *)GlobalLock(block) : 0;
    if (!names) {
        if (block)
            GlobalFree(block);
        return 0;
    }
    char *base = (char *)names;
    names->wDriverOffset = (WORD)sizeof(DEVNAMES);
    memcpy(base + names->wDriverOffset, kDriver, sizeof kDriver);
    names->wDeviceOffset = (WORD)(names->wDriverOffset + sizeof kDriver);
    memcpy(base + names->wDeviceOffset, name, nameLength);
    names->wOutputOffset = (WORD)(names->wDeviceOffset + nameLength);
    memcpy(base + names->wOutputOffset, port, portLength);
    names->wDefault = _stricmp(name, defaultName) == 0 ? DN_DEFAULTPRN : 0;
    GlobalUnlock(block);
    return block;
}

static int GetCheckedRange(HWND child)
{
    static const int radios[] = {IDC_PRINT_GROUP, IDC_PRINT_CURRENT, IDC_PRINT_PAGES};
    for (int radio : radios)
        if (IsDlgButtonChecked(child, radio) == BST_CHECKED && IsWindowEnabled(GetDlgItem(child, radio)))
            return radio;
    return IDC_PRINT_ALL;
}

// Print pressed: checks the choices and fills the record. 0 keeps the dialog open.
static int ApplyOwnPrintChoices(OwnPrintDialog *state)
{
    PRINTDLGEXA *record = state->record;
    HWND dialog = state->dialog, child = state->child;
    char printerName[256];
    GetChosenPrinter(dialog, printerName, sizeof printerName);
    if (!printerName[0]) {
        ShowMessageBox(dialog, "Please select a printer.", kPrintCaption, MB_ICONEXCLAMATION | MB_OK);
        return 0;
    }
    int range = GetCheckedRange(child);
    PRINTPAGERANGE ranges[32];
    int rangeCount = 0;
    if (range == IDC_PRINT_PAGES) {
        char text[256];
        GetDlgItemTextA(child, IDC_PRINT_PAGES_EDIT, text, sizeof text);
        int room = (int)record->nMaxPageRanges;
        if (room > 32)
            room = 32;
        rangeCount = ParsePageRangeText(text, ranges, room, (int)record->nMinPage, (int)record->nMaxPage);
        if (rangeCount <= 0) {
            char message[200];
            snprintf(message, sizeof message,
                     "Please enter pages between %lu and %lu, such as 1-3 or 2, 5.", record->nMinPage,
                     record->nMaxPage);
            ShowMessageBox(dialog, message, kPrintCaption, MB_ICONEXCLAMATION | MB_OK);
            SetFocus(GetDlgItem(child, IDC_PRINT_PAGES_EDIT));
            return 0;
        }
    }
    BOOL copiesRead = FALSE;
    UINT copies = GetDlgItemInt(child, IDC_PRINT_COPIES, &copiesRead, FALSE);
    if (!copiesRead || copies < 1 || copies > 9999) {
        ShowMessageBox(dialog, "Please enter a number of copies between 1 and 9999.", kPrintCaption,
                       MB_ICONEXCLAMATION | MB_OK);
        SetFocus(GetDlgItem(child, IDC_PRINT_COPIES));
        return 0;
    }
    int collate = IsDlgButtonChecked(child, IDC_PRINT_COLLATE) == BST_CHECKED;
    int driverCopies = 0;
    HGLOBAL devMode = CreatePrinterDevMode(dialog, printerName, copies, collate, &driverCopies);
    HGLOBAL devNames = CreatePrinterDevNames(printerName);
    if (!devMode || !devNames) {
        if (devMode)
            GlobalFree(devMode);
        if (devNames)
            GlobalFree(devNames);
        ShowMessageBox(dialog, "The printer's settings could not be read. Please select another printer.",
                       kPrintCaption, MB_ICONEXCLAMATION | MB_OK);
        return 0;
    }
    HDC dc = 0;
    if (record->Flags & PD_RETURNDC) {
        DEVMODEA *mode = (DEVMODEA *)GlobalLock(devMode);
        dc = CreateDCA(0, printerName, 0, mode);
        GlobalUnlock(devMode);
        if (!dc) {
            GlobalFree(devMode);
            GlobalFree(devNames);
            ShowMessageBox(dialog, "The printer could not be opened. Please select another printer.", kPrintCaption,
                           MB_ICONEXCLAMATION | MB_OK);
            return 0;
        }
    }
    if (record->hDevMode)
        GlobalFree(record->hDevMode);
    if (record->hDevNames)
        GlobalFree(record->hDevNames);
    record->hDevMode = devMode;
    record->hDevNames = devNames;
    record->hDC = dc;
    DWORD flags = record->Flags & ~(PD_SELECTION | PD_PAGENUMS | PD_CURRENTPAGE | PD_COLLATE);
    if (range == IDC_PRINT_GROUP)
        flags |= PD_SELECTION;
    else if (range == IDC_PRINT_CURRENT)
        flags |= PD_CURRENTPAGE;
    else if (range == IDC_PRINT_PAGES)
        flags |= PD_PAGENUMS;
    if (collate)
        flags |= PD_COLLATE;
    record->Flags = flags;
    if (range == IDC_PRINT_PAGES && record->lpPageRanges) {
        for (int i = 0; i < rangeCount; i++)
            record->lpPageRanges[i] = ranges[i];
        record->nPageRanges = (DWORD)rangeCount;
    }
    record->nCopies = ((record->Flags & PD_USEDEVMODECOPIESANDCOLLATE) && driverCopies) ? 1 : copies;
    record->dwResultAction = PD_RESULT_PRINT;
    return 1;
}

static INT_PTR CALLBACK OwnPrintDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    OwnPrintDialog *state;
    if (message == WM_INITDIALOG) {
        state = (OwnPrintDialog *)lParam;
        SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)state);
    } else {
        state = (OwnPrintDialog *)GetWindowLongPtrA(dialog, DWLP_USER);
    }
    if (!state)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        state->dialog = dialog;
        PRINTDLGEXA *record = state->record;
        FillPrinterCombo(dialog, record);
        ShowPrinterInfo(dialog);
        // The lower part: the caller's template (or the program's) as a child dialog.
        HINSTANCE module = record->hInstance ? record->hInstance : (gInstance ? gInstance : GetModuleHandleA(0));
        if (record->Flags & PD_ENABLEPRINTTEMPLATEHANDLE)
            state->child = CreateDialogIndirectParamA(gInstance ? gInstance : GetModuleHandleA(0),
                                                      (LPCDLGTEMPLATEA)GlobalLock(record->hInstance), dialog,
                                                      OwnPrintChildProc, (LPARAM)state);
        else
            state->child = CreateDialogParamA((record->Flags & PD_ENABLEPRINTTEMPLATE) ? module
                                                  : (gInstance ? gInstance : GetModuleHandleA(0)),
                                              (record->Flags & PD_ENABLEPRINTTEMPLATE) && record->lpPrintTemplateName
                                                  ? record->lpPrintTemplateName
                                                  : "PRINTDLGEX",
                                              dialog, OwnPrintChildProc, (LPARAM)state);
        if (record->Flags & PD_ENABLEPRINTTEMPLATEHANDLE)
            GlobalUnlock(record->hInstance);
        if (state->child) {
            RECT place = {7, 48, 0, 0};
            MapDialogRect(dialog, &place);
            SetWindowLongPtrA(state->child, GWLP_ID, IDC_PRINT_OPTIONS);
            SetWindowPos(state->child, GetDlgItem(dialog, IDC_PRINT_PRINTER_INFO), place.left, place.top, 0, 0,
                         SWP_NOSIZE | SWP_NOACTIVATE);
            ShowWindow(state->child, SW_SHOW);
        }
        if (state->callback)
            state->callback->InitDone();
        PlaceDialogOnParent(dialog, 2);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PRINT_PRINTER:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                ShowPrinterInfo(dialog);
                if (state->callback)
                    state->callback->SelectionChange();
            }
            return TRUE;
        case IDOK:
            if (state->child && ApplyOwnPrintChoices(state))
                EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            state->record->dwResultAction = PD_RESULT_CANCEL;
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

HRESULT ShowOwnPrintDialogEx(PRINTDLGEXA *record)
{
    if (!record || record->lStructSize != sizeof(PRINTDLGEXA))
        return E_INVALIDARG;
    if (!record->hwndOwner || !IsWindow(record->hwndOwner))
        return E_HANDLE;
    if (!(record->Flags & PD_NOPAGENUMS) && (!record->nMaxPageRanges || !record->lpPageRanges))
        return E_INVALIDARG;
    OwnPrintDialog state;
    memset(&state, 0, sizeof state);
    state.record = record;
    if (record->lpCallback)
        record->lpCallback->QueryInterface(kIidPrintDialogCallback, (void **)&state.callback);
    record->dwResultAction = PD_RESULT_CANCEL;
    {
        DWORD needed = 0, count = 0;
        EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, 0, 4, 0, 0, &needed, &count);
        if (!needed) {
            if (state.callback)
                state.callback->Release();
            return E_FAIL;
        }
    }
    INT_PTR result = RunModalDialog(gInstance ? gInstance : GetModuleHandleA(0), "PRINTGENERAL", record->hwndOwner,
                                    OwnPrintDialogProc, (LPARAM)&state);
    if (state.callback)
        state.callback->Release();
    return result == -1 ? E_FAIL : S_OK;
}
