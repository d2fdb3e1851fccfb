// The zoom dialog "ZoomDlg": the page view's scale from fixed steps (75 %, 100 %, 200 %), a
// typed percentage or a fit of the page's width or height to the screen. Zoom 0.3 is 100 %
// on screen; all zoom arithmetic is single-precision float, so that the fixed steps compare
// exactly.
#include "pages/pages.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#define ZOOM_PERCENT_MIN 50
#define ZOOM_PERCENT_MAX 200

// The two button icons live from WM_INITDIALOG to WM_DESTROY (one zoom dialog at a time).
static HICON sZoomOkIcon, sZoomCancelIcon;

float ZoomFromPercent(int percent)
{
    if (percent < ZOOM_PERCENT_MIN)
        percent = ZOOM_PERCENT_MIN;
    if (percent > ZOOM_PERCENT_MAX)
        percent = ZOOM_PERCENT_MAX;
    return (float)percent * 0.3f / 100.0f;
}

int PercentFromZoom(float zoom)
{
    return (int)(zoom * 100.0f / 0.3f + 0.5f);
}

int GetZoomRadioForZoom(float zoom)
{
    if (zoom == 0.3f)
        return IDC_ZOOM_100;
    if (zoom == 0.6f)
        return IDC_ZOOM_200;
    if (zoom == 0.225f)
        return IDC_ZOOM_75;
    return IDC_ZOOM_PERCENT;
}

int ReadZoomPercentText(const char *text)
{
    if (!text)
        return 0;
    while (*text == ' ')
        text++;
    int value = 0, digits = 0;
    for (; digits < 3 && text[digits] >= '0' && text[digits] <= '9'; digits++)
        value = value * 10 + (text[digits] - '0');
    const char *rest = text + digits;
    while (*rest == ' ')
        rest++;
    if (!digits || *rest)
        return 0;  // empty, or not a number
    return value;
}

// The percentage a radio button stands for (fits measured now); -1 for "Percent:".
static int GetRadioPercent(int radio)
{
    switch (radio) {
    case IDC_ZOOM_200: return 200;
    case IDC_ZOOM_100: return 100;
    case IDC_ZOOM_75: return 75;
    case IDC_ZOOM_FITWIDTH: return ComputeFitZoom(1, NULL);
    case IDC_ZOOM_FITHEIGHT: return ComputeFitZoom(2, NULL);
    }
    return -1;
}

static void EnablePercentEntry(HWND dialog, int enable)
{
    EnableWindow(GetDlgItem(dialog, IDC_ZOOM_EDIT), enable);
    EnableWindow(GetDlgItem(dialog, IDC_ZOOM_SPIN), enable);
}

static void ShowZoomPercent(HWND dialog, int percent)
{
    SendDlgItemMessageA(dialog, IDC_ZOOM_SPIN, UDM_SETPOS32, 0, percent);
}

static HICON SetButtonIcon(HWND dialog, int buttonId, int bitmapId)
{
    HICON icon = BitmapToIcon(NULL, gInstance ? gInstance : GetModuleHandleA(NULL), bitmapId, NULL);
    if (icon)
        SendDlgItemMessageA(dialog, buttonId, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon);
    return icon;
}

static int CheckedZoomRadio(HWND dialog)
{
    for (int id = IDC_ZOOM_200; id <= IDC_ZOOM_PERCENT; id++)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
            return id;
    return 0;
}

static void InitZoomDialog(HWND dialog)
{
    sZoomOkIcon = SetButtonIcon(dialog, IDC_ZOOM_OK, IDB_BUTTON_OK);
    sZoomCancelIcon = SetButtonIcon(dialog, IDCANCEL, IDB_BUTTON_CANCEL);
    // Three digits are read; the edit takes no more, so what is read is what is shown.
    SendDlgItemMessageA(dialog, IDC_ZOOM_EDIT, EM_LIMITTEXT, 3, 0);
    SendDlgItemMessageA(dialog, IDC_ZOOM_SPIN, UDM_SETBUDDY, (WPARAM)GetDlgItem(dialog, IDC_ZOOM_EDIT), 0);
    SendDlgItemMessageA(dialog, IDC_ZOOM_SPIN, UDM_SETRANGE32, ZOOM_PERCENT_MIN, ZOOM_PERCENT_MAX);
    int radio = GetZoomRadioForZoom(gZoom);
    int percent = radio == IDC_ZOOM_PERCENT ? PercentFromZoom(gZoom) : GetRadioPercent(radio);
    CheckRadioButton(dialog, IDC_ZOOM_200, IDC_ZOOM_PERCENT, radio);
    EnablePercentEntry(dialog, radio == IDC_ZOOM_PERCENT);
    if (!gFullScreen) {
        SetDlgItemTextA(dialog, IDC_ZOOM_FITWIDTH, "Fit to Window Width");
        SetDlgItemTextA(dialog, IDC_ZOOM_FITHEIGHT, "Fit to Window Height");
    }
    ShowZoomPercent(dialog, percent);
    PlaceDialogOnParent(dialog, 2);
}

// OK: the zoom of the checked button. 1 when gZoom may have changed.
static int ApplyZoomChoice(HWND dialog)
{
    switch (CheckedZoomRadio(dialog)) {
    case IDC_ZOOM_200: gZoom = 0.6f; return 1;
    case IDC_ZOOM_100: gZoom = 0.3f; return 1;
    case IDC_ZOOM_75: gZoom = 0.225f; return 1;
    case IDC_ZOOM_FITWIDTH: ComputeFitZoom(1, &gZoom); return 1;
    case IDC_ZOOM_FITHEIGHT: ComputeFitZoom(2, &gZoom); return 1;
    case IDC_ZOOM_PERCENT: {
        char text[4] = "";
        GetDlgItemTextA(dialog, IDC_ZOOM_EDIT, text, sizeof(text));
        int percent = ReadZoomPercentText(text);
        if (!percent)
            return 0;
        gZoom = ZoomFromPercent(percent);
        return 1;
    }
    }
    return 1;  // nothing checked: no change
}

INT_PTR CALLBACK ZoomDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitZoomDialog(dialog);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDC_ZOOM_OK) {
            EndDialog(dialog, ApplyZoomChoice(dialog));
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        if (HIWORD(wParam) != BN_CLICKED || id < IDC_ZOOM_200 || id > IDC_ZOOM_PERCENT)
            return FALSE;
        if (id == IDC_ZOOM_PERCENT) {
            EnablePercentEntry(dialog, 1);
        } else {
            ShowZoomPercent(dialog, GetRadioPercent(id));
            EnablePercentEntry(dialog, 0);
        }
        return TRUE;
    }
    case WM_DESTROY:
        if (sZoomOkIcon)
            DestroyIcon(sZoomOkIcon);
        if (sZoomCancelIcon)
            DestroyIcon(sZoomCancelIcon);
        sZoomOkIcon = sZoomCancelIcon = NULL;
        return FALSE;
    }
    return FALSE;
}

int ShowZoomDialog(HWND owner)
{
    INT_PTR result = RunModalDialog(gInstance ? gInstance : GetModuleHandleA(NULL), "ZoomDlg",
                                    owner ? owner : gMainWindow, ZoomDlgProc, 0);
    if (result == -1) {
        char text[160];
        snprintf(text, sizeof(text), "The Zoom window could not be opened (error %lu).", GetLastError());
        ShowMessageBox(owner ? owner : gMainWindow, text, "Zoom", MB_OK | MB_ICONSTOP);
        return -1;
    }
    if (result == 1 && gPageViewWindow) {
        gPageViewFlags |= PAGE_VIEW_ZOOMED;
        InvalidateRect(gPageViewWindow, NULL, TRUE);
    }
    return (int)result;
}
