// The Minnesota property tax refund start dialog ("MNM1PRSTART"): the claimant's filing status
// and the numbers of Certificates of Rent Paid ("MN CRP") and Property Tax Statements
// ("MN PROPST") received. OK writes the counts as copies-to-add marks and ends with the status
// bits.
#include "entry/startdlg/startdlg_private.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

static FileRecord *sM1prFormPak;
static StartDialogArt sM1prArt;

static int ClampCopies(int count, int limit)
{
    if (count > limit)
        count = limit;
    if (count > 255)
        count = 255;  // the mark is one byte
    return count < 0 ? 0 : count;
}

int MarkM1prForms(FileRecord *formPak, int rentCount, int taxCount)
{
    PageDirectoryEntry *directory = formPak ? GetPageDirectory(formPak) : NULL;
    if (!directory)
        return 0;
    for (int i = 0; i < formPak->pageCount; i++) {
        const char *name = GetPoolString(formPak, directory[i].nameOffset);
        if (!_stricmp(name, "MN CRP"))
            directory[i].copiesToAdd = (uint8_t)ClampCopies(rentCount, directory[i].maxCopies);
        else if (!_stricmp(name, "MN PROPST"))
            directory[i].copiesToAdd = (uint8_t)ClampCopies(taxCount, directory[i].maxCopies);
    }
    MarkRequiredForms(formPak);
    return 1;
}

int IsM1prChoiceComplete(int statusBits, int rentCount, int taxCount)
{
    int rentStatus = statusBits & (STARTM1PR_RENTER | STARTM1PR_NURSING | STARTM1PR_MOBILE);
    int taxStatus = statusBits & (STARTM1PR_HOMEOWNER | STARTM1PR_MOBILE);
    return (rentStatus && rentCount) || (taxStatus && taxCount) ? 1 : 0;
}

static int GetM1prStatus(HWND dialog)
{
    static const int kBoxes[][2] = {{IDC_M1PR_RENTER, STARTM1PR_RENTER},
                                    {IDC_M1PR_HOMEOWNER, STARTM1PR_HOMEOWNER},
                                    {IDC_M1PR_NURSING, STARTM1PR_NURSING},
                                    {IDC_M1PR_MOBILE, STARTM1PR_MOBILE}};
    int bits = 0;
    for (const auto &box : kBoxes)
        if (IsDlgButtonChecked(dialog, box[0]) == BST_CHECKED)
            bits |= box[1];
    return bits;
}

// A count field with its up-down and label: enabled or not; a count that loses its status
// becomes 0, one that gains it starts at 1.
static void EnableCount(HWND dialog, int edit, int spin, int label, int enable)
{
    EnableWindow(GetDlgItem(dialog, edit), enable);
    EnableWindow(GetDlgItem(dialog, spin), enable);
    EnableWindow(GetDlgItem(dialog, label), enable);
    int count = ReadStartCount(dialog, edit);
    if (!enable && count)
        SetDlgItemTextA(dialog, edit, "0");
    else if (enable && !count)
        SetDlgItemTextA(dialog, edit, "1");
}

static void UpdateM1prOk(HWND dialog)
{
    int complete = IsM1prChoiceComplete(GetM1prStatus(dialog), ReadStartCount(dialog, IDC_M1PR_CRPCOUNT),
                                        ReadStartCount(dialog, IDC_M1PR_PROPSTCOUNT));
    EnableWindow(GetDlgItem(dialog, IDC_START_OK), complete);
}

static void OnM1prStatusClicked(HWND dialog, int id)
{
    if (IsDlgButtonChecked(dialog, IDC_M1PR_RENTER) == BST_CHECKED &&
        IsDlgButtonChecked(dialog, IDC_M1PR_MOBILE) == BST_CHECKED) {
        ShowMessageBox(dialog,
                       "You cannot file as both a \"Renter\" and a \"Mobile home owner\".\r\nLevyline will un-check "
                       "the \"Renter\" box.",
                       "Invalid Filing Status Combination", MB_OK | MB_ICONEXCLAMATION);
        CheckDlgButton(dialog, IDC_M1PR_RENTER, BST_UNCHECKED);
    }
    int status = GetM1prStatus(dialog);
    if (id == IDC_M1PR_RENTER || id == IDC_M1PR_NURSING || id == IDC_M1PR_MOBILE)
        EnableCount(dialog, IDC_M1PR_CRPCOUNT, IDC_M1PR_CRPSPIN, IDC_M1PR_CRPLABEL,
                    (status & (STARTM1PR_RENTER | STARTM1PR_NURSING | STARTM1PR_MOBILE)) != 0);
    if (id == IDC_M1PR_HOMEOWNER || id == IDC_M1PR_MOBILE)
        EnableCount(dialog, IDC_M1PR_PROPSTCOUNT, IDC_M1PR_PROPSTSPIN, IDC_M1PR_PROPSTLABEL,
                    (status & (STARTM1PR_HOMEOWNER | STARTM1PR_MOBILE)) != 0);
}

// A count above the copies its form offers is said and lowered to that limit; the dialog stays
// open so that the user sees the number that will be added. 1 when both counts fit.
static int CheckM1prCountLimits(HWND dialog)
{
    static const struct {
        int edit;
        const char *form, *label;
    } kCounts[] = {{IDC_M1PR_CRPCOUNT, "MN CRP", "Certificates of Rent Paid"},
                   {IDC_M1PR_PROPSTCOUNT, "MN PROPST", "Property Tax Statements"}};
    for (const auto &count : kCounts) {
        int limit = ClampCopies(GetFormPakMaxCopies(sM1prFormPak, count.form), 255);
        int typed = ReadStartCount(dialog, count.edit);
        if (typed <= limit)
            continue;
        char text[300];
        snprintf(text, sizeof(text),
                 "A return can hold at most %d %s; %d were asked for.\r\n\r\nLevyline has changed the number to %d. "
                 "Click OK to add %d.",
                 limit, count.label, typed, limit, limit);
        ShowMessageBox(dialog, text, "Too Many Forms", MB_OK | MB_ICONEXCLAMATION);
        SetDlgItemInt(dialog, count.edit, (UINT)limit, FALSE);
        SetFocus(GetDlgItem(dialog, count.edit));
        return 0;
    }
    return 1;
}

static void InitM1prDialog(HWND dialog, FileRecord *formPak)
{
    sM1prFormPak = formPak;
    SetWindowLongPtrA(dialog, GWLP_USERDATA, (LONG_PTR)formPak);
    char caption[160] = "";
    GetWindowTextA(dialog, caption, sizeof(caption));
    size_t used = strlen(caption);
    snprintf(caption + used, sizeof(caption) - used, " for Tax Year %d", formPak->taxYear);
    SetWindowTextA(dialog, caption);
    InitStartDialogArt(dialog, &sM1prArt,
                       "To begin preparing %your/your client's% 0000   Minnesota Property Tax Refund return...",
                       formPak->taxYear);
    static const struct {
        int id;
        const char *text;
    } kTexts[] = {
        {IDC_START_GROUP, "      Specify %your/your client's% filing status (check all that apply)"},
        {IDC_START_TEXT1, "Indicate the number of supporting property tax forms that %you/your client% received "
                          "from %your/their% landlord or %your/their% county government:"},
        {IDC_START_TEXT2, "Click OK to automatically add the required forms to %your/the% return or,"},
    };
    for (const auto &t : kTexts) {
        char text[256];
        snprintf(text, sizeof(text), "%s", t.text);
        ResolveTextVariants(text, 2);
        SetDlgItemTextA(dialog, t.id, text);
    }
    int rentLimit = GetFormPakMaxCopies(formPak, "MN CRP"), taxLimit = GetFormPakMaxCopies(formPak, "MN PROPST");
    SendDlgItemMessageA(dialog, IDC_M1PR_CRPSPIN, UDM_SETBUDDY, (WPARAM)GetDlgItem(dialog, IDC_M1PR_CRPCOUNT), 0);
    SendDlgItemMessageA(dialog, IDC_M1PR_PROPSTSPIN, UDM_SETBUDDY, (WPARAM)GetDlgItem(dialog, IDC_M1PR_PROPSTCOUNT),
                        0);
    SendDlgItemMessageA(dialog, IDC_M1PR_CRPSPIN, UDM_SETRANGE32, 0, rentLimit);
    SendDlgItemMessageA(dialog, IDC_M1PR_PROPSTSPIN, UDM_SETRANGE32, 0, taxLimit);
    SendDlgItemMessageA(dialog, IDC_M1PR_CRPCOUNT, EM_LIMITTEXT, 3, 0);
    SendDlgItemMessageA(dialog, IDC_M1PR_PROPSTCOUNT, EM_LIMITTEXT, 3, 0);
    SetDlgItemTextA(dialog, IDC_M1PR_CRPCOUNT, "");
    SetDlgItemTextA(dialog, IDC_M1PR_PROPSTCOUNT, "");
    static const int kCountControls[] = {IDC_M1PR_CRPCOUNT,    IDC_M1PR_CRPSPIN,    IDC_M1PR_CRPLABEL,
                                         IDC_M1PR_PROPSTCOUNT, IDC_M1PR_PROPSTSPIN, IDC_M1PR_PROPSTLABEL};
    for (int id : kCountControls)
        EnableWindow(GetDlgItem(dialog, id), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_START_OK), FALSE);
    if (formPak->taxYear > 2023) {
        EnableWindow(GetDlgItem(dialog, IDC_M1PR_RENTER), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_M1PR_NURSING), FALSE);
    }
    PlaceDialogOnParent(dialog, 2);
}

INT_PTR CALLBACK MnM1prStartProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitM1prDialog(dialog, (FileRecord *)lParam);
        return TRUE;
    case WM_DRAWITEM:
        return DrawStartLink((const DRAWITEMSTRUCT *)lParam, &sM1prArt);
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        switch (id) {
        case IDC_START_OK:
            if (!IsWindowEnabled(GetDlgItem(dialog, IDC_START_OK)) || !CheckM1prCountLimits(dialog))
                return TRUE;
            MarkM1prForms(sM1prFormPak, ReadStartCount(dialog, IDC_M1PR_CRPCOUNT),
                          ReadStartCount(dialog, IDC_M1PR_PROPSTCOUNT));
            EndDialog(dialog, GetM1prStatus(dialog));
            return TRUE;
        case IDC_START_CANCEL:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_START_CLICKHERE:
            EndDialog(dialog, START_RESULT_FORMSLIST);
            return TRUE;
        case IDC_M1PR_RENTER:
        case IDC_M1PR_HOMEOWNER:
        case IDC_M1PR_NURSING:
        case IDC_M1PR_MOBILE:
            if (HIWORD(wParam) == BN_CLICKED)
                OnM1prStatusClicked(dialog, id);
            break;
        }
        UpdateM1prOk(dialog);
        return TRUE;
    }
    case WM_DESTROY:
        FreeStartDialogArt(&sM1prArt);
        sM1prFormPak = NULL;
        return FALSE;
    }
    return FALSE;
}
