// efile_sheet.cpp - the e-file information sheet: a property sheet of the taxpayer's names,
// SSNs, e-mail, phone and address (page 0) and the PINs and signing option (page 1). The
// entries are kept in one values block while the sheet is up and stored on OK.
#include "entry/multifield/multifield.h"
#include "entry/editbar/editbar.h"
#include "pages/pages.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

static EfileSheetValues sValues;
static int sSubPage;
static int sFocusSlot = -1;

static void ShowAddressKind(HWND page, int foreign)
{
    CheckRadioButton(page, IDC_EFS_US_ADDRESS, IDC_EFS_FOREIGN, foreign ? IDC_EFS_FOREIGN : IDC_EFS_US_ADDRESS);
    for (int slot = EFS_STREET; slot <= EFS_COUNTRY; slot++) {
        int show = !IsEfileSheetSlotUnused(slot, foreign) ? SW_SHOW : SW_HIDE;
        ShowWindow(GetDlgItem(page, IDC_EFS_EDIT_FIRST + slot), show);
        ShowWindow(GetDlgItem(page, IDC_EFS_LABEL_FIRST + slot), show);
    }
}

static void FillSheetPage(HWND page, int pageIndex)
{
    for (int slot = 0; slot < EFS_SLOT_COUNT; slot++) {
        if (GetEfileSheetPage(slot) != pageIndex)
            continue;
        HWND edit = GetDlgItem(page, IDC_EFS_EDIT_FIRST + slot);
        SendMessageA(edit, EM_LIMITTEXT, EFS_TEXT_SIZE - 1, 0);
        SetWindowTextA(edit, sValues.text[slot]);
    }
    if (pageIndex == 0)
        ShowAddressKind(page, sValues.foreignAddress);
    else
        CheckDlgButton(page, IDC_EFS_USE_PIN, sValues.useSelfSelectPin ? BST_CHECKED : BST_UNCHECKED);
}

static void ReadSheetPage(HWND page, int pageIndex)
{
    for (int slot = 0; slot < EFS_SLOT_COUNT; slot++)
        if (GetEfileSheetPage(slot) == pageIndex)
            GetDlgItemTextA(page, IDC_EFS_EDIT_FIRST + slot, sValues.text[slot], EFS_TEXT_SIZE);
    if (pageIndex == 0)
        sValues.foreignAddress = IsDlgButtonChecked(page, IDC_EFS_FOREIGN) == BST_CHECKED;
    else
        sValues.useSelfSelectPin = IsDlgButtonChecked(page, IDC_EFS_USE_PIN) == BST_CHECKED;
}

static INT_PTR CALLBACK EfileSheetPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    int pageIndex = (int)GetWindowLongPtrA(page, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG: {
        pageIndex = (int)((PROPSHEETPAGEA *)lParam)->lParam;
        SetWindowLongPtrA(page, DWLP_USER, pageIndex);
        FillSheetPage(page, pageIndex);
        int focus = 0;
        if (sFocusSlot >= 0 && GetEfileSheetPage(sFocusSlot) == pageIndex)
            focus = IDC_EFS_EDIT_FIRST + sFocusSlot;
        else if (pageIndex == 0 && sSubPage == EFS_SUBPAGE_FOREIGN)
            focus = IDC_EFS_FOREIGN;
        if (focus) {
            PostMessageA(page, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(page, focus), TRUE);
            return FALSE;
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_EFS_US_ADDRESS || LOWORD(wParam) == IDC_EFS_FOREIGN) {
            ShowAddressKind(page, LOWORD(wParam) == IDC_EFS_FOREIGN);
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (header->code == PSN_KILLACTIVE || header->code == PSN_APPLY) {
            ReadSheetPage(page, pageIndex);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, header->code == PSN_APPLY ? PSNRET_NOERROR : FALSE);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

// The sheet's own window, known once it is made, is the window its frame holds; it is centred
// on its owner as every dialog is (the system would leave it at the screen's top left).
static int CALLBACK EfileSheetCallback(HWND sheet, UINT message, LPARAM lParam)
{
    (void)lParam;
    if (message == PSCB_INITIALIZED) {
        NoteModalWindow(sheet);
        PlaceDialogOnParent(sheet, 2);
    }
    return 0;
}

static INT_PTR RunSheet(HWND owner, int startPage)
{
    static const char *const kTemplates[2] = {"EFILEINFO_TAXPAYER", "EFILEINFO_OPTIONS"};
    PROPSHEETPAGEA pages[2];
    memset(pages, 0, sizeof pages);
    for (int i = 0; i < 2; i++) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEA);
        pages[i].hInstance = gInstance;
        pages[i].pszTemplate = kTemplates[i];
        pages[i].pfnDlgProc = EfileSheetPageProc;
        pages[i].lParam = i;
    }
    PROPSHEETHEADERA header;
    memset(&header, 0, sizeof header);
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.hwndParent = owner;
    header.hInstance = gInstance;
    header.pszCaption = EFILE_SHEET_TITLE;
    header.nPages = 2;
    header.nStartPage = (UINT)(startPage == 1 ? 1 : 0);
    header.ppsp = pages;
    header.dwFlags |= PSH_USECALLBACK;
    header.pfnCallback = EfileSheetCallback;
    // The sheet is a frame of the modal state like every dialog.
    int frame = BeginModalState(NULL, 0);
    INT_PTR result = PropertySheetA(&header);
    EndModalState(frame);
    return result;
}

int ShowEfileInfoSheet(HWND owner, int startPage, OpenReturn *returnRecord, int subPage)
{
    if (!returnRecord)
        return 0;
    ReadEfileSheetValues(returnRecord, &sValues);
    sSubPage = subPage;
    sFocusSlot = -1;
    for (;;) {
        if (RunSheet(owner, startPage) <= 0) {
            sFocusSlot = -1;
            return 0;
        }
        int refused = -1;
        if (ApplyEfileSheetValues(returnRecord, &sValues, &refused))
            break;
        // The sheet comes back on the entry refused; nothing was stored.
        char message[400];
        snprintf(message, sizeof message,
                 "The %s entered (\"%.60s\") cannot be stored in the return's taxpayer information.\r\n\r\n"
                 "Please correct it.",
                 GetEfileSheetLabel(refused), refused >= 0 ? sValues.text[refused] : "");
        ShowMessageBox(owner, message, "Data Validation Error", MB_OK | MB_ICONEXCLAMATION);
        startPage = GetEfileSheetPage(refused);
        sFocusSlot = refused;
        sSubPage = 0;
    }
    sFocusSlot = -1;
    gReturnModified = 1;
    // The names, SSNs and address of every page follow the record.
    PropagateTaxpayerChange(returnRecord);
    FormInstance *shown = (FormInstance *)GetCurrentDocument(4);
    if (shown)
        RecomputeForm(shown);
    RequestRecompute(1, NULL);
    return 1;
}

int ShowEfileInfoSheetPage(HWND owner, int page)
{
    return ShowEfileInfoSheet(owner, page, gOpenReturnPtr, 0);
}

LRESULT TaxpayerSetupCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    if (message != WM_COMMAND || (LOWORD(wParam) != IDM_TAXPAYERINFO && LOWORD(wParam) != IDM_EFILEOPTIONS))
        return 0;
    *handled = 1;
    ShowEfileInfoSheet(window, LOWORD(wParam) == IDM_EFILEOPTIONS ? 1 : 0, gOpenReturnPtr, 0);
    return 0;
}
