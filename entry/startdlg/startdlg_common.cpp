// What the start dialogs share: the FormPak marks, the dialogs' pictures and fonts, the tax
// year placed over the heading, the link button, moving controls when a dialog is re-laid out,
// and choosing and running the dialog of a FormPak.
#include "entry/startdlg/startdlg_private.h"
#include "pages/pages.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

void CopyShortFormName(const char *formName, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return;
    int n = 0;
    // Never past the end of a shorter name, nor past the buffer.
    while (formName && n < 8 && n < outSize - 1 && formName[n])
        out[n] = formName[n], n++;
    out[n] = 0;
}

int SetFormPakMarks(FileRecord *formPak, const char *name, int copies)
{
    PageDirectoryEntry *directory = formPak ? GetPageDirectory(formPak) : NULL;
    int marked = 0;
    for (int i = 0; directory && name && i < formPak->pageCount; i++)
        if (!_stricmp(GetPoolString(formPak, directory[i].nameOffset), name)) {
            directory[i].copiesToAdd = (uint8_t)copies;
            marked++;
        }
    return marked;
}

int MarkRequiredForms(FileRecord *formPak)
{
    PageDirectoryEntry *directory = formPak ? GetPageDirectory(formPak) : NULL;
    const char *formName = NULL;
    if (!directory || !GetHeaderStrings(formPak, &formName, NULL, NULL))
        formName = "";
    int marked = 0;
    for (int i = 0; directory && i < formPak->pageCount; i++) {
        int own = formName[0] && !_stricmp(GetPoolString(formPak, directory[i].nameOffset), formName);
        if ((own || (directory[i].flags & PAGE_FLAG_MAIN_FORM)) && !directory[i].copiesToAdd) {
            directory[i].copiesToAdd = 1;
            marked++;
        }
    }
    return marked;
}

int GetFormPakMaxCopies(FileRecord *formPak, const char *name)
{
    PageDirectoryEntry *directory = formPak ? GetPageDirectory(formPak) : NULL;
    int most = 0;
    for (int i = 0; directory && name && i < formPak->pageCount; i++)
        if (!_stricmp(GetPoolString(formPak, directory[i].nameOffset), name) && directory[i].maxCopies > most)
            most = directory[i].maxCopies;
    return most;
}

static HFONT MakeDialogFontVariant(HWND dialog, int weight, int underline)
{
    HFONT font = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    LOGFONTA logFont;
    memset(&logFont, 0, sizeof(logFont));
    if (!GetObjectA(font ? (HGDIOBJ)font : GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont))
        return NULL;
    if (weight)
        logFont.lfWeight = weight;
    logFont.lfUnderline = underline ? 1 : 0;
    return CreateFontIndirectA(&logFont);
}

static HICON SetStartButtonIcon(HWND dialog, int id, int bitmapId)
{
    HICON icon = BitmapToIcon(NULL, gInstance ? gInstance : GetModuleHandleA(NULL), bitmapId, NULL);
    if (icon)
        SendDlgItemMessageA(dialog, id, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon);
    return icon;
}

// The tax year in bold underlined type where the heading's "0000" stands. The year's field
// reaches a pixel left of the "0000" and past its end, so that none of the placeholder shows
// beside the year; the year is centred in it, which puts its text at the measured place.
static void PlaceYearOnHeading(HWND dialog, StartDialogArt *art, const char *heading, int taxYear)
{
    HWND year = GetDlgItem(dialog, IDC_START_YEAR);
    if (!year)
        return;
    char text[16];
    snprintf(text, sizeof(text), "%d", taxYear);
    SetWindowTextA(year, text);
    if (art->yearFont)
        SendMessageA(year, WM_SETFONT, (WPARAM)art->yearFont, 0);
    int at = 0;
    RECT headingRect = GetStartControlRect(dialog, IDC_START_HEADING);
    int hasZeros = FindSubString(heading, "0000", &at);
    if (!hasZeros)
        at = (int)strlen(heading);
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(dialog, WM_GETFONT, 0, 0));
    SIZE before = {0, 0}, zeros = {0, 0};
    GetTextExtentPoint32A(dc, heading, at, &before);
    if (hasZeros)
        GetTextExtentPoint32A(dc, "0000", 4, &zeros);
    if (art->yearFont)
        SelectObject(dc, art->yearFont);
    SIZE yearSize = {0, 0};
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &yearSize);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    int zerosLeft = headingRect.left + before.cx;
    int textLeft = zerosLeft + (dpi == 120 ? -2 : 1);
    int fieldLeft = (textLeft < zerosLeft ? textLeft : zerosLeft) - 1;
    int width = yearSize.cx + 2 * (textLeft - fieldLeft);
    if (fieldLeft + width < zerosLeft + zeros.cx + 1)
        width = zerosLeft + zeros.cx + 1 - fieldLeft;
    SetWindowPos(year, HWND_TOP, fieldLeft, headingRect.top, width, headingRect.bottom - headingRect.top,
                 SWP_NOACTIVATE);
}

void InitStartDialogArt(HWND dialog, StartDialogArt *art, const char *heading, int taxYear)
{
    memset(art, 0, sizeof(*art));
    HINSTANCE module = gInstance ? gInstance : GetModuleHandleA(NULL);
    art->smallIcon = BitmapToIcon(NULL, module, IDB_START_ICON, NULL);
    if (art->smallIcon)
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, (LPARAM)art->smallIcon);
    // The group captions' pictures: every icon static of the template.
    for (HWND child = GetWindow(dialog, GW_CHILD); art->smallIcon && child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = "";
        GetClassNameA(child, className, sizeof(className));
        if (!_stricmp(className, "Static") && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            SendMessageA(child, STM_SETICON, (WPARAM)art->smallIcon, 0);
    }
    art->okIcon = SetStartButtonIcon(dialog, IDC_START_OK, IDB_BUTTON_OK);
    art->cancelIcon = SetStartButtonIcon(dialog, IDC_START_CANCEL, IDB_BUTTON_CANCEL);
    art->yearFont = MakeDialogFontVariant(dialog, FW_BOLD, 1);
    art->linkFont = MakeDialogFontVariant(dialog, 0, 1);
    char text[512];
    snprintf(text, sizeof(text), "%s", heading ? heading : "");
    ResolveTextVariants(text, 2);
    SetDlgItemTextA(dialog, IDC_START_HEADING, text);
    PlaceYearOnHeading(dialog, art, text, taxYear);
}

void FreeStartDialogArt(StartDialogArt *art)
{
    if (art->yearFont)
        DeleteObject(art->yearFont);
    if (art->linkFont)
        DeleteObject(art->linkFont);
    if (art->smallIcon)
        DestroyIcon(art->smallIcon);
    if (art->okIcon)
        DestroyIcon(art->okIcon);
    if (art->cancelIcon)
        DestroyIcon(art->cancelIcon);
    memset(art, 0, sizeof(*art));
}

int DrawStartLink(const DRAWITEMSTRUCT *item, const StartDialogArt *art)
{
    if (!item || item->CtlID != IDC_START_CLICKHERE)
        return 0;
    char text[256] = "";
    GetWindowTextA(item->hwndItem, text, sizeof(text));
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = art->linkFont ? SelectObject(item->hDC, art->linkFont) : NULL;
    SetBkMode(item->hDC, TRANSPARENT);
    SetTextColor(item->hDC, (item->itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 255));
    RECT rc = item->rcItem;
    DrawTextA(item->hDC, text, -1, &rc, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item->itemState & ODS_FOCUS)
        DrawFocusRect(item->hDC, &item->rcItem);
    if (old)
        SelectObject(item->hDC, old);
    return 1;
}

RECT GetStartControlRect(HWND dialog, int id)
{
    RECT rc = {0, 0, 0, 0};
    HWND control = GetDlgItem(dialog, id);
    if (control && GetWindowRect(control, &rc))
        MapWindowPoints(NULL, dialog, (POINT *)&rc, 2);
    return rc;
}

void MoveStartControlsBelow(HWND dialog, int y, int dy)
{
    if (!dy)
        return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rc;
        GetWindowRect(child, &rc);
        MapWindowPoints(NULL, dialog, (POINT *)&rc, 2);
        if (rc.top >= y)
            SetWindowPos(child, NULL, rc.left, rc.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SizeStartControl(HWND dialog, int id, int width, int height)
{
    HWND control = GetDlgItem(dialog, id);
    if (control)
        SetWindowPos(control, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FitStartDialogHeight(HWND dialog)
{
    RECT ok = GetStartControlRect(dialog, IDC_START_OK);
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    int frame = (window.bottom - window.top) - client.bottom;
    int clientHeight = ok.bottom + (ok.bottom - ok.top);
    SetWindowPos(dialog, NULL, 0, 0, window.right - window.left, frame + clientHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceDialogOnParent(dialog, 2);
}

int ReadStartCount(HWND dialog, int id)
{
    char text[16] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    int value = 0;
    for (const char *p = text; *p >= '0' && *p <= '9'; p++)
        if (value < 65535)
            value = value * 10 + (*p - '0');
    return value > 65535 ? 65535 : value;
}

const char *GetSmartStartTemplate(FileRecord *formPak)
{
    const char *name = NULL;
    if (formPak)
        GetHeaderStrings(formPak, &name, NULL, NULL);
    return name && !_strnicmp(name, "Form 941", 8) ? "F941SMARTSTART" : "F94XSMARTSTART";
}

int RunFormPakStartDialog(HWND owner, FileRecord *formPak, int kind)
{
    if (!formPak || !GetPageDirectory(formPak))
        return 0;
    const char *templateName;
    DLGPROC proc;
    if (kind == START_DIALOG_94X) {
        templateName = GetSmartStartTemplate(formPak);
        proc = SmartStart94xProc;
    } else if (kind == START_DIALOG_M1PR) {
        templateName = "MNM1PRSTART";
        proc = MnM1prStartProc;
    } else {
        return -1;
    }
    HWND parent = owner ? owner : gMainWindow;
    INT_PTR result = RunModalDialog(gInstance ? gInstance : GetModuleHandleA(NULL), templateName, parent, proc,
                                    (LPARAM)formPak);
    if (result == -1) {
        // Not a choice of the user: say so, and add nothing.
        char text[256];
        snprintf(text, sizeof(text),
                 "The Smart Start window (%s) could not be opened (error %lu).\n\nNo forms were added to the return.",
                 templateName, GetLastError());
        ShowMessageBox(parent, text, "Error Adding Forms To Return", MB_OK | MB_ICONSTOP);
        return 0;
    }
    if (result == START_RESULT_FORMSLIST)
        return -1;
    return (int)result;
}
