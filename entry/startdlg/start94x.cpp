// The 94x start dialog ("F941SMARTSTART" / "F94XSMARTSTART"): a new employment-tax return
// starts with its filing quarter (Form 941), optional schedules and forms, the way it will be
// signed and whether data is imported. OK marks the FormPak's pages to add and ends with the
// bits of the checked boxes.
#include "entry/startdlg/startdlg_private.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// One start dialog at a time: its FormPak, form name and pictures.
static FileRecord *s94xFormPak;
static char s94xFormName[16];
static StartDialogArt s94xArt;

struct StartBoxBit {
    int id;
    int bit;
};
static const StartBoxBit k94xBoxBits[] = {
    {IDC_94X_QUARTER1, START94X_QUARTER1},         {IDC_94X_QUARTER2, START94X_QUARTER2},
    {IDC_94X_QUARTER3, START94X_QUARTER3},         {IDC_94X_QUARTER4, START94X_QUARTER4},
    {IDC_94X_SCHEDULEB, START94X_SCHEDULES},       {IDC_94X_SCHEDULER, START94X_SCHEDULES},
    {IDC_94X_PAYMENT, START94X_PAYMENT},           {IDC_94X_SIGNPIN, START94X_SIGNPIN},
    {IDC_94X_SIGN8453, START94X_SIGN8453},         {IDC_94X_PRACTITIONER, START94X_PRACTITIONER},
    {IDC_94X_AGENTPIN, START94X_AGENTPIN},         {IDC_94X_IMPORT, START94X_IMPORT},
};
static const int kQuarterBoxes[] = {IDC_94X_QUARTER1, IDC_94X_QUARTER2, IDC_94X_QUARTER3, IDC_94X_QUARTER4};
static const int kSignBoxes[] = {IDC_94X_SIGNPIN, IDC_94X_SIGN8453, IDC_94X_PRACTITIONER, IDC_94X_AGENTPIN};

int Mark94xForms(FileRecord *formPak, int result)
{
    if (!formPak || !GetPageDirectory(formPak))
        return 0;
    const char *name = NULL;
    GetHeaderStrings(formPak, &name, NULL, NULL);
    if (!name)
        name = "";
    int has940 = FindSubString(name, "940", NULL), has943 = FindSubString(name, "943", NULL);
    int has944or945 = FindSubString(name, "944", NULL) || FindSubString(name, "945", NULL);
    int schedules = (result & START94X_SCHEDULEBOX) != 0;
    int agent = (result & START94X_AGENTBOX) != 0;
    SetFormPakMarks(formPak, "Schedule A (Form 940)", schedules && has940);
    SetFormPakMarks(formPak, "Schedule B (Form 941)", schedules && !has940 && !has943 && !has944or945);
    SetFormPakMarks(formPak, "Form 943-A", schedules && has943 && !has940);
    SetFormPakMarks(formPak, "Form 945-A", schedules && has944or945 && !has940 && !has943);
    SetFormPakMarks(formPak, "Schedule R (Form 940)", agent);
    SetFormPakMarks(formPak, "Schedule R (Form 941)", agent);
    SetFormPakMarks(formPak, "Form 94x Payment", (result & START94X_PAYMENT) != 0);
    SetFormPakMarks(formPak, "Form 8453-EMP", (result & START94X_SIGN8453) != 0);
    SetFormPakMarks(formPak, "Form 8879-EMP", (result & START94X_PRACTITIONER) != 0);
    MarkRequiredForms(formPak);
    return 1;
}

static int IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

static int Get94xResult(HWND dialog)
{
    int result = 0;
    for (const StartBoxBit &box : k94xBoxBits)
        if (IsChecked(dialog, box.id))
            result |= box.bit;
    return result;
}

static void Update94xOk(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDC_START_OK), Get94xResult(dialog) != 0);
}

// Box 1518 for Form 940 (Schedule A, two lines), 943 (Form 943-A) and 944/945 (Form 945-A, no
// reporting-agent box); the optional forms group and what lies below follow.
static void Layout94xOptionalForms(HWND dialog)
{
    RECT group = GetStartControlRect(dialog, IDC_94X_OPTIONGROUP);
    RECT schedule = GetStartControlRect(dialog, IDC_94X_SCHEDULEB);
    RECT agent = GetStartControlRect(dialog, IDC_94X_SCHEDULER);
    RECT payment = GetStartControlRect(dialog, IDC_94X_PAYMENT);
    int groupWidth = group.right - group.left, groupHeight = group.bottom - group.top;
    if (FindSubString(s94xFormName, "940", NULL)) {
        SetDlgItemTextA(dialog, IDC_94X_SCHEDULEB, "Business is a multi-state employer OR your state is subject to "
                                                   "credit reduction (adds Schedule A)");
        int grow = (payment.bottom - payment.top) - (schedule.bottom - schedule.top);
        SizeStartControl(dialog, IDC_94X_SCHEDULEB, schedule.right - schedule.left, payment.bottom - payment.top);
        MoveStartControlsBelow(dialog, schedule.top + 1, grow);
        SizeStartControl(dialog, IDC_94X_OPTIONGROUP, groupWidth, groupHeight + grow);
        return;
    }
    const char *replacement = NULL;
    if (FindSubString(s94xFormName, "943", NULL))
        replacement = "Form 943-A";
    else if (FindSubString(s94xFormName, "944", NULL) || FindSubString(s94xFormName, "945", NULL))
        replacement = "Form 945-A";
    if (!replacement)
        return;
    char caption[256] = "";
    GetDlgItemTextA(dialog, IDC_94X_SCHEDULEB, caption, sizeof(caption));
    char *text = caption;
    ReplaceSubString(&text, "Schedule B", replacement, 0, NULL, sizeof(caption));
    SetDlgItemTextA(dialog, IDC_94X_SCHEDULEB, caption);
    ShowWindow(GetDlgItem(dialog, IDC_94X_SCHEDULER), SW_HIDE);
    int shrink = payment.top - agent.top;
    MoveStartControlsBelow(dialog, agent.top + 1, -shrink);
    SizeStartControl(dialog, IDC_94X_OPTIONGROUP, groupWidth, groupHeight - shrink);
}

// The signing group offers the Practitioner PIN and the Reporting Agent PIN in the places of
// the two hidden boxes; the group shrinks and the controls below move up.
static void Layout94xSigning(HWND dialog)
{
    RECT group = GetStartControlRect(dialog, IDC_94X_SIGNGROUP);
    RECT pin = GetStartControlRect(dialog, IDC_94X_SIGNPIN);
    RECT sign8453 = GetStartControlRect(dialog, IDC_94X_SIGN8453);
    RECT agentPin = GetStartControlRect(dialog, IDC_94X_AGENTPIN);
    int margin = group.bottom - agentPin.bottom;
    ShowWindow(GetDlgItem(dialog, IDC_94X_SIGNPIN), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_94X_SIGN8453), SW_HIDE);
    HWND practitioner = GetDlgItem(dialog, IDC_94X_PRACTITIONER), agent = GetDlgItem(dialog, IDC_94X_AGENTPIN);
    SetWindowPos(practitioner, NULL, pin.left, pin.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(agent, NULL, sign8453.left, sign8453.top, sign8453.right - sign8453.left,
                 agentPin.bottom - agentPin.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(practitioner, SW_SHOW);
    ShowWindow(agent, SW_SHOW);
    int newBottom = sign8453.top + (agentPin.bottom - agentPin.top) + margin;
    int saved = group.bottom - newBottom;
    if (saved <= 0)
        return;
    SizeStartControl(dialog, IDC_94X_SIGNGROUP, group.right - group.left, newBottom - group.top);
    MoveStartControlsBelow(dialog, group.bottom, -saved);
}

static void Init94xDialog(HWND dialog, FileRecord *formPak)
{
    s94xFormPak = formPak;
    SetWindowLongPtrA(dialog, GWLP_USERDATA, (LONG_PTR)formPak);
    const char *name = NULL;
    GetHeaderStrings(formPak, &name, NULL, NULL);
    CopyShortFormName(name, s94xFormName, sizeof(s94xFormName));
    // Caption: the template's, its beginning replaced by the form name, and the tax year.
    char caption[160] = "";
    GetWindowTextA(dialog, caption, sizeof(caption));
    size_t nameLength = strlen(s94xFormName);
    if (nameLength <= strlen(caption))
        memcpy(caption, s94xFormName, nameLength);
    size_t used = strlen(caption);
    snprintf(caption + used, sizeof(caption) - used, " for Tax Year %d", formPak->taxYear);
    SetWindowTextA(dialog, caption);
    char heading[320] = "To begin preparing %your/your client's% 0000   %%FORMNAME%% return, specify...";
    char *text = heading;
    ReplaceSubString(&text, "%%FORMNAME%%", s94xFormName, 0, NULL, sizeof(heading));
    InitStartDialogArt(dialog, &s94xArt, heading, formPak->taxYear);
    Layout94xOptionalForms(dialog);
    Layout94xSigning(dialog);
    CheckDlgButton(dialog, IDC_94X_PRACTITIONER, BST_CHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_START_OK), TRUE);
    FitStartDialogHeight(dialog);
}

// A plain click on a box: the quarters exclude each other, and so do the signing boxes.
static void On94xBoxClicked(HWND dialog, int id)
{
    const int *group = NULL;
    for (int q : kQuarterBoxes)
        if (q == id)
            group = kQuarterBoxes;
    for (int s : kSignBoxes)
        if (s == id)
            group = kSignBoxes;
    if (group && IsChecked(dialog, id))
        for (int i = 0; i < 4; i++)
            if (group[i] != id)
                CheckDlgButton(dialog, group[i], BST_UNCHECKED);
    Update94xOk(dialog);
}

INT_PTR CALLBACK SmartStart94xProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        Init94xDialog(dialog, (FileRecord *)lParam);
        return TRUE;
    case WM_DRAWITEM:
        return DrawStartLink((const DRAWITEMSTRUCT *)lParam, &s94xArt);
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        switch (id) {
        case IDC_START_OK: {
            int result = Get94xResult(dialog);
            if (!result || !IsWindowEnabled(GetDlgItem(dialog, IDC_START_OK)))
                return TRUE;  // OK stands disabled with nothing checked
            int marks = result;
            if (IsChecked(dialog, IDC_94X_SCHEDULEB))
                marks |= START94X_SCHEDULEBOX;
            if (IsChecked(dialog, IDC_94X_SCHEDULER))
                marks |= START94X_AGENTBOX;
            Mark94xForms(s94xFormPak, marks);
            EndDialog(dialog, result);
            return TRUE;
        }
        case IDC_START_CANCEL:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_START_CLICKHERE:
            EndDialog(dialog, START_RESULT_FORMSLIST);
            return TRUE;
        }
        if (HIWORD(wParam) == BN_CLICKED && id >= IDC_94X_QUARTER1 && id <= IDC_94X_IMPORT)
            On94xBoxClicked(dialog, id);
        return TRUE;
    }
    case WM_DESTROY:
        FreeStartDialogArt(&s94xArt);
        s94xFormPak = NULL;
        return FALSE;
    }
    return FALSE;
}
