// The forms list: the forms of a FormPak, one row per form, where the user chooses how many
// copies of each to add to the return. The choice goes into the copies-to-add marks of the
// FormPak's page directory.
#include "entry/formstree/formstree_private.h"
#include "prepare/prepare.h"
#include "ui/ui.h"
#include "store/store.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

FormsListCopiesEditProc gFormsListCopiesEditHook;

#define FORMS_LIST_MAX_ROWS 256
#define FORMS_LIST_MOST_COPIES 99

struct FormsListRow {
    char name[FORM_NAME_SIZE];
    int pages;       // pages of the form in the FormPak
    int limit;       // copies that may still be added (the form's copy limit less those held)
    int copies;      // copies chosen
};

// The dialog's working state (one forms list at a time).
static FileRecord *sListFormPak;
static FormsListRow *sRows;
static int sRowCount;
static int sUpdatingCopies;

// The rows of a FormPak: its forms in directory order with their page counts and limits.
int BuildFormsListRows(FileRecord *formPak, FormsListRow *rows, int capacity)
{
    PageDirectoryEntry *directory = formPak ? GetPageDirectory(formPak) : NULL;
    if (!directory || !rows)
        return 0;
    int count = 0;
    for (int i = 0; i < formPak->pageCount; i++) {
        const char *name = GetPoolString(formPak, directory[i].nameOffset);
        int row = -1;
        for (int r = 0; r < count && row < 0; r++)
            if (!lstrcmpiA(rows[r].name, name))
                row = r;
        if (row < 0) {
            if (count >= capacity)
                continue;
            row = count++;
            memset(&rows[row], 0, sizeof(rows[row]));
            lstrcpynA(rows[row].name, name, sizeof(rows[row].name));
            int most = directory[i].maxCopies > 0 ? directory[i].maxCopies : FORMS_LIST_MOST_COPIES;
            if (most > FORMS_LIST_MOST_COPIES)
                most = FORMS_LIST_MOST_COPIES;
            char key[FORM_NAME_SIZE + 8];
            snprintf(key, sizeof(key), "%s.%u", name, (unsigned)directory[i].pageNumber);
            int held = FindReturnPages(9, key, NULL, 0);
            rows[row].limit = most > held ? most - held : 0;
        }
        rows[row].pages++;
        if (directory[i].copiesToAdd > rows[row].copies)
            rows[row].copies = directory[i].copiesToAdd;
    }
    for (int r = 0; r < count; r++)
        if (rows[r].copies > rows[r].limit)
            rows[r].copies = rows[r].limit;
    return count;
}

// Writes the chosen copies into the marks of every page of each form.
int ApplyFormsListRows(FileRecord *formPak, const FormsListRow *rows, int count)
{
    PageDirectoryEntry *directory = formPak ? GetPageDirectory(formPak) : NULL;
    if (!directory)
        return 0;
    int total = 0;
    for (int i = 0; i < formPak->pageCount; i++) {
        const char *name = GetPoolString(formPak, directory[i].nameOffset);
        directory[i].copiesToAdd = 0;
        for (int r = 0; r < count; r++)
            if (!lstrcmpiA(rows[r].name, name)) {
                int copies = rows[r].copies < 0 ? 0 : (rows[r].copies > 255 ? 255 : rows[r].copies);
                directory[i].copiesToAdd = (uint8_t)copies;
                total += copies;
            }
    }
    return total;
}

static void SetRowCopiesText(HWND list, int row)
{
    char text[16];
    snprintf(text, sizeof(text), "%d", sRows[row].copies);
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.iSubItem = 2;
    item.pszText = text;
    SendMessageA(list, LVM_SETITEMTEXTA, row, (LPARAM)&item);
}

static int GetSelectedRow(HWND dialog)
{
    return (int)SendDlgItemMessageA(dialog, IDC_FORMSLIST_LIST, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

// Shows the selected row's copies in the copies box.
static void ShowSelectedCopies(HWND dialog)
{
    int row = GetSelectedRow(dialog);
    int enabled = row >= 0 && row < sRowCount && sRows[row].limit > 0;
    sUpdatingCopies = 1;
    SendDlgItemMessageA(dialog, IDC_FORMSLIST_SPIN, UDM_SETRANGE32, 0, enabled ? sRows[row].limit : 0);
    SetDlgItemInt(dialog, IDC_FORMSLIST_COPIES, row >= 0 && row < sRowCount ? sRows[row].copies : 0, FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_FORMSLIST_COPIES), enabled);
    EnableWindow(GetDlgItem(dialog, IDC_FORMSLIST_SPIN), enabled);
    sUpdatingCopies = 0;
}

// Takes the copies box's number for the selected row (kept within the row's limit).
static void TakeTypedCopies(HWND dialog)
{
    int row = GetSelectedRow(dialog);
    if (sUpdatingCopies || row < 0 || row >= sRowCount)
        return;
    char text[16] = "";
    GetDlgItemTextA(dialog, IDC_FORMSLIST_COPIES, text, sizeof(text));
    int copies = 0;
    for (const char *p = text; *p >= '0' && *p <= '9' && copies <= FORMS_LIST_MOST_COPIES; p++)
        copies = copies * 10 + (*p - '0');
    if (copies > sRows[row].limit) {
        copies = sRows[row].limit;
        sUpdatingCopies = 1;
        SetDlgItemInt(dialog, IDC_FORMSLIST_COPIES, copies, FALSE);
        sUpdatingCopies = 0;
    }
    sRows[row].copies = copies;
    SetRowCopiesText(GetDlgItem(dialog, IDC_FORMSLIST_LIST), row);
}

// A double click edits the row's copies: through the edit bar when it is there, else it
// switches between none and one copy.
static void EditRowCopies(HWND dialog, int row)
{
    if (row < 0 || row >= sRowCount || sRows[row].limit <= 0)
        return;
    int copies = sRows[row].copies ? 0 : 1;
    if (gFormsListCopiesEditHook) {
        char text[128];
        snprintf(text, sizeof(text), "%d", sRows[row].copies);
        if (!gFormsListCopiesEditHook(dialog, GetDlgItem(dialog, IDC_FORMSLIST_LIST), row, text, sizeof(text)))
            return;
        copies = 0;
        for (const char *p = text; *p >= '0' && *p <= '9' && copies <= FORMS_LIST_MOST_COPIES; p++)
            copies = copies * 10 + (*p - '0');
    }
    sRows[row].copies = copies > sRows[row].limit ? sRows[row].limit : copies;
    SetRowCopiesText(GetDlgItem(dialog, IDC_FORMSLIST_LIST), row);
    ShowSelectedCopies(dialog);
}

static void FillFormsList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_FORMSLIST_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const char *heads[3] = {"Form", "Pages", "Copies"};
    int widths[3] = {220, 60, 60};
    for (int c = 0; c < 3; c++) {
        LVCOLUMNA column;
        memset(&column, 0, sizeof(column));
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = (char *)heads[c];
        column.cx = widths[c];
        column.iSubItem = c;
        SendMessageA(list, LVM_INSERTCOLUMNA, c, (LPARAM)&column);
    }
    for (int r = 0; r < sRowCount; r++) {
        LVITEMA item;
        memset(&item, 0, sizeof(item));
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = sRows[r].name;
        SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        char pages[16];
        snprintf(pages, sizeof(pages), "%d", sRows[r].pages);
        item.iSubItem = 1;
        item.pszText = pages;
        SendMessageA(list, LVM_SETITEMTEXTA, r, (LPARAM)&item);
        SetRowCopiesText(list, r);
    }
    AutoSizeListColumn(list, 0);
    if (sRowCount > 0) {
        LVITEMA state;
        memset(&state, 0, sizeof(state));
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, 0, (LPARAM)&state);
    }
}

INT_PTR CALLBACK FormsListDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        sListFormPak = (FileRecord *)lParam;
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        sRows = (FormsListRow *)MemAlloc(64, sizeof(FormsListRow) * FORMS_LIST_MAX_ROWS);
        sRowCount = sRows ? BuildFormsListRows(sListFormPak, sRows, FORMS_LIST_MAX_ROWS) : 0;
        const char *name = NULL;
        GetHeaderStrings(sListFormPak, &name, NULL, NULL);
        char caption[200];
        snprintf(caption, sizeof(caption), "Add Forms - %s for Tax Year %u", name && name[0] ? name : "FormPak",
                 sListFormPak ? (unsigned)sListFormPak->taxYear : 0u);
        SetWindowTextA(dialog, caption);
        char prompt[200] = "Choose how many copies of each form to add to %your/your client's% return:";
        ResolveTextVariants(prompt, IsPreparerSetupComplete(1) ? 2 : 1);
        SetDlgItemTextA(dialog, IDC_FORMSLIST_PROMPT, prompt);
        SendDlgItemMessageA(dialog, IDC_FORMSLIST_SPIN, UDM_SETBUDDY, (WPARAM)GetDlgItem(dialog, IDC_FORMSLIST_COPIES),
                            0);
        FillFormsList(dialog);
        ShowSelectedCopies(dialog);
        PlaceDialogOnParent(dialog, 2);
        return TRUE;
    }
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (!header || header->idFrom != IDC_FORMSLIST_LIST)
            break;
        if (header->code == LVN_ITEMCHANGED) {
            NMLISTVIEW *change = (NMLISTVIEW *)lParam;
            if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED))
                ShowSelectedCopies(dialog);
        } else if (header->code == NM_DBLCLK) {
            EditRowCopies(dialog, ((NMITEMACTIVATE *)lParam)->iItem);
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_FORMSLIST_COPIES:
            if (HIWORD(wParam) == EN_CHANGE)
                TakeTypedCopies(dialog);
            return TRUE;
        case IDOK: {
            int total = 0;
            for (int r = 0; r < sRowCount; r++)
                total += sRows[r].copies;
            if (!total) {
                ShowMessageBox(dialog, "Choose the number of copies of at least one form, or click Cancel.",
                               "Add Forms", MB_OK | MB_ICONEXCLAMATION);
                return TRUE;
            }
            ApplyFormsListRows(sListFormPak, sRows, sRowCount);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        sRows = (FormsListRow *)MemFree(sRows);
        sRowCount = 0;
        sListFormPak = NULL;
        break;
    }
    return FALSE;
}

int ShowFormsListDialog(HWND owner, FileRecord *formPak)
{
    if (!formPak || !GetPageDirectory(formPak))
        return IDCANCEL;
    INT_PTR result = RunModalDialog(gInstance, "FORMSLIST", owner ? owner : gMainWindow, FormsListDlgProc,
                                    (LPARAM)formPak);
    return result == IDOK ? IDOK : IDCANCEL;
}
