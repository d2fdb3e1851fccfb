// The pre-send error list "ERRORLIST": every error takes three rows of a three-column list
// (where, the value found, what is wrong; one more row for each further line of the message)
// with banded shading, under a header sentence; Print, Save (moves the error file elsewhere) and
// Close.
#include "entry/explain/explain_private.h"
#include "pages/pages.h"
#include "print/print.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

// The dialog's working state (one error list at a time).
static HIMAGELIST sTypeImages;
static HFONT sBoldFont;
static HBRUSH sShadeBrush;
static COLORREF sShadeColour, sTextColour, sBackColour;
static HICON sPrintIcon, sSaveIcon, sCloseIcon;
static HICON sKeyIcons[3];
static char sHeaderText[200];
static int sErrorCount;   // errors listed so far

#define ERROR_VALUE_COLOUR   0xB20000
#define ERROR_MESSAGE_COLOUR 0x0000B2

static void SetListCell(HWND list, int row, int column, const char *text, int image)
{
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.iItem = row;
    item.iSubItem = column;
    if (text) {
        item.mask |= LVIF_TEXT;
        item.pszText = (char *)text;
    }
    if (image != I_IMAGENONE) {
        item.mask |= LVIF_IMAGE;
        item.iImage = image;
    }
    SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&item);
}

// Each row's item data: the error's 0-based number times 4 plus the row's kind.
#define ERROR_ROW_LOCATION 0
#define ERROR_ROW_VALUE    1
#define ERROR_ROW_MESSAGE  2

static int InsertErrorRow(HWND list, int row, const char *first, int image, int number, int kind, int typeImage,
                          const char *text)
{
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = (char *)first;
    item.iImage = image;
    item.lParam = (LPARAM)(number * 4 + kind);
    row = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (row < 0)
        return -1;
    // The Type cell's picture, none on a message's further lines.
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = 1;
    item.iImage = typeImage;
    SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&item);
    SetListCell(list, row, 2, text ? text : "", I_IMAGENONE);
    return row;
}

// WM_ERRORLIST_ADD: the rows of one error after the rows already in the list: where, the value
// found, and what is wrong, a message of several lines taking one row per line as the error
// file shows it.
static void AddErrorRows(HWND list, const ErrorEntry *entry, int number)
{
    if (!list || !entry)
        return;
    int row = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    char head[16];
    snprintf(head, sizeof(head), "%d.", number + 1);
    if (InsertErrorRow(list, row++, head, 0, number, ERROR_ROW_LOCATION, 1, entry->location) < 0 ||
        InsertErrorRow(list, row++, "", I_IMAGENONE, number, ERROR_ROW_VALUE, 2, entry->currentValue) < 0)
        return;
    const char *message = entry->message ? entry->message : "";
    size_t length = strlen(message);
    while (length && (message[length - 1] == '\r' || message[length - 1] == '\n'))
        length--;   // no empty rows after the last line
    const char *line = message, *end = message + length;
    int first = 1;
    do {
        const char *stop = line;
        while (stop < end && *stop != '\r' && *stop != '\n')
            stop++;
        char text[512];
        int n = (int)(stop - line) < (int)sizeof(text) - 1 ? (int)(stop - line) : (int)sizeof(text) - 1;
        memcpy(text, line, (size_t)n);
        text[n] = 0;
        if (InsertErrorRow(list, row++, "", I_IMAGENONE, number, ERROR_ROW_MESSAGE, first ? 3 : I_IMAGENONE,
                           text) < 0)
            return;
        first = 0;
        line = stop;
        if (line < end && *line == '\r')
            line++;
        if (line < end && *line == '\n')
            line++;
    } while (line < end);
}

// The look of a row: the location row bold in the list's colour, the value blue, the message
// red; the rows of every second error on the shading colour.
static LRESULT OnListCustomDraw(HWND list, NMLVCUSTOMDRAW *draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        int row = (int)draw->nmcd.dwItemSpec;
        int data = (int)draw->nmcd.lItemlParam;
        int shaded = (data / 4) % 2 == 1;
        int kind = data % 4;
        if (sBoldFont && kind == ERROR_ROW_LOCATION)
            SelectObject(draw->nmcd.hdc, sBoldFont);
        else
            SelectObject(draw->nmcd.hdc, (HFONT)SendMessageA(list, WM_GETFONT, 0, 0));
        draw->clrText = kind == ERROR_ROW_LOCATION ? sTextColour
                        : kind == ERROR_ROW_VALUE  ? ERROR_VALUE_COLOUR
                                                   : ERROR_MESSAGE_COLOUR;
        draw->clrTextBk = shaded ? sShadeColour : sBackColour;
        if (shaded && sShadeBrush) {
            RECT cell;
            memset(&cell, 0, sizeof(cell));
            cell.top = draw->iSubItem;
            cell.left = LVIR_BOUNDS;
            if (SendMessageA(list, LVM_GETSUBITEMRECT, row, (LPARAM)&cell))
                FillRect(draw->nmcd.hdc, &cell, sShadeBrush);
        }
        return draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT ? (CDRF_NEWFONT | CDRF_NOTIFYSUBITEMDRAW) : CDRF_NEWFONT;
    }
    }
    return CDRF_DODEFAULT;
}

static void InsertErrorColumns(HWND list)
{
    static const char *const heads[3] = {"  Error", "Type", "Description"};
    static const int widths[3] = {59, 40, 100};
    for (int i = 0; i < 3; i++) {
        LVCOLUMNA column;
        memset(&column, 0, sizeof(column));
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = widths[i];
        column.pszText = (char *)heads[i];
        SendMessageA(list, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }
}

static void OnErrorListInit(HWND dialog, ErrorListRequest *request)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)request);
    HINSTANCE instance = gInstance ? gInstance : GetModuleHandleA(NULL);
    HWND list = GetDlgItem(dialog, IDC_ERRORLIST_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_SUBITEMIMAGES, LVS_EX_SUBITEMIMAGES);
    sTypeImages = ImageList_Create(32, 16, ILC_COLOR24 | ILC_MASK, 4, 0);
    HBITMAP colour = (HBITMAP)LoadImageA(instance, MAKEINTRESOURCEA(IDB_ERRORLIST_TYPES), IMAGE_BITMAP, 0, 0, 0);
    HBITMAP mask = (HBITMAP)LoadImageA(instance, MAKEINTRESOURCEA(IDB_ERRORLIST_TYPEMASK), IMAGE_BITMAP, 0, 0,
                                       LR_MONOCHROME);
    if (sTypeImages && colour)
        ImageList_Add(sTypeImages, colour, mask);
    if (colour)
        DeleteObject(colour);
    if (mask)
        DeleteObject(mask);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)sTypeImages);
    LOGFONTA logFont;
    HFONT listFont = (HFONT)SendMessageA(list, WM_GETFONT, 0, 0);
    if (GetObjectA(listFont ? (HGDIOBJ)listFont : GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont)) {
        logFont.lfWeight = 700;
        sBoldFont = CreateFontIndirectA(&logFont);
    }
    sTextColour = (COLORREF)SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0);
    sBackColour = (COLORREF)SendMessageA(list, LVM_GETBKCOLOR, 0, 0);
    if (sBackColour == CLR_NONE)
        sBackColour = GetSysColor(COLOR_WINDOW);
    sShadeColour = GetFieldShadeColor(NULL, NULL);
    sShadeBrush = CreateSolidBrush(sShadeColour);
    InsertErrorColumns(list);

    sErrorCount = 0;
    for (ErrorEntry *entry = request ? request->firstError : NULL; entry; entry = entry->next)
        SendMessageA(dialog, WM_ERRORLIST_ADD, 0, (LPARAM)entry);
    int count = sErrorCount;
    if (count == 1)
        snprintf(sHeaderText, sizeof(sHeaderText),
                 "%s detected the following %s.  %s must be corrected before you can e-file your return.",
                 "Levyline", "error", "This error");
    else {
        char errors[32];
        snprintf(errors, sizeof(errors), "%d errors", count);
        snprintf(sHeaderText, sizeof(sHeaderText),
                 "%s detected the following %s.  %s must be corrected before you can e-file your return.",
                 "Levyline", errors, "These errors");
    }
    SetDlgItemTextA(dialog, IDC_ERRORLIST_HEADER, sHeaderText);
    AutoSizeListColumn(list, 2);
    SendDlgItemMessageA(dialog, IDC_ERRORLIST_ICON, STM_SETICON, (WPARAM)LoadIconA(NULL, (LPCSTR)IDI_HAND), 0);
    sPrintIcon = SetButtonPicture(dialog, IDC_ERRORLIST_PRINT, IDB_EXPLAIN_PRINT);
    sSaveIcon = SetButtonPicture(dialog, IDC_ERRORLIST_SAVE, IDB_EXPLAIN_SAVE);
    sCloseIcon = SetButtonPicture(dialog, IDC_ERRORLIST_CLOSE, IDB_EXPLAIN_CLOSE);
    for (int i = 0; i < 3; i++) {
        sKeyIcons[i] = sTypeImages ? ImageList_GetIcon(sTypeImages, 1 + i, ILD_NORMAL) : NULL;
        SendDlgItemMessageA(dialog, IDC_ERRORLIST_KEYPIC1 + i, STM_SETICON, (WPARAM)sKeyIcons[i], 0);
    }
    if (!request || !request->errorFile || !FileExists(request->errorFile))
        EnableWindow(GetDlgItem(dialog, IDC_ERRORLIST_SAVE), FALSE);
    PlaceDialogOnParent(dialog, 2);
}

static void OnErrorListPrint(HWND dialog, ErrorListRequest *request)
{
    char name[51] = "";
    if (request && request->returnRecord)   // the name line's member may fill its 50 bytes
        lstrcpynA(name, ReturnText(request->returnRecord, RETURN_NAME_LINE), sizeof(name));
    char caption[80] = "", title[160];
    GetWindowTextA(dialog, caption, sizeof(caption));
    if (name[0])
        snprintf(title, sizeof(title), "%s - %s", caption, name);
    else
        snprintf(title, sizeof(title), "%s", caption);
    ListPrintJob job;
    InitListPrintJob(&job, GetDlgItem(dialog, IDC_ERRORLIST_LIST));
    job.title = title;
    job.subtitle = sHeaderText;
    job.headsFlag = 1;
    job.footerFlag = 1;
    job.fontPoints[LIST_FONT_TITLE] = 14;
    job.fontPoints[LIST_FONT_SUBTITLE] = 9;
    job.titleArtwork = 0;   // the header sentence takes the whole width of the title block
    PrintForms(dialog, &job, 0, 2, 0, 0);
}

static void OnErrorListSave(HWND dialog, ErrorListRequest *request)
{
    HWND open = FindWindowA("#32770", "Save Error File As");
    if (open) {
        SetFocus(GetDlgItem(open, 1152));
        MessageBeep(MB_OK);
        return;
    }
    if (!request || !request->errorFile || !FileExists(request->errorFile))
        return;
    char path[MAX_PATH] = "";
    if (!ReadRegistryValue(path, 1, 0, "DataDir", sizeof(path), REG_SZ) || !path[0])
        GetProgramFolder(path, FOLDER_DATA);
    size_t length = strlen(path);
    if (length && path[length - 1] != '\\')
        AppendTextBounded(path, sizeof(path), "\\");
    AppendTextBounded(path, sizeof(path), request->errorFile + GetFolderPartLength(request->errorFile));
    if (!ShowFileSaveDialog(dialog, "Save Error File As", "txt", "Levyline Error File (*.txt)\0*.txt\0", path,
                            sizeof(path)))
        return;   // cancelled: the error file stays where it is
    char why[700];
    if (MoveErrorFile(request->errorFile, path, why, sizeof(why)))
        EnableWindow(GetDlgItem(dialog, IDC_ERRORLIST_SAVE), FALSE);   // nothing is left to save
    else
        ShowMessageBox(dialog, why, "Save Error File As", MB_OK | MB_ICONEXCLAMATION);
}

static void FreeErrorListState(void)
{
    if (sTypeImages)
        ImageList_Destroy(sTypeImages);
    if (sBoldFont)
        DeleteObject(sBoldFont);
    if (sShadeBrush)
        DeleteObject(sShadeBrush);
    HICON icons[6] = {sPrintIcon, sSaveIcon, sCloseIcon, sKeyIcons[0], sKeyIcons[1], sKeyIcons[2]};
    for (HICON icon : icons)
        if (icon)
            DestroyIcon(icon);
    sTypeImages = NULL;
    sBoldFont = NULL;
    sShadeBrush = NULL;
    sPrintIcon = sSaveIcon = sCloseIcon = NULL;
    sKeyIcons[0] = sKeyIcons[1] = sKeyIcons[2] = NULL;
}

INT_PTR CALLBACK ErrorListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    ErrorListRequest *request = (ErrorListRequest *)GetWindowLongPtrA(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG:
        OnErrorListInit(dialog, (ErrorListRequest *)lParam);
        return TRUE;
    case WM_ERRORLIST_ADD:
        if (lParam)
            AddErrorRows(GetDlgItem(dialog, IDC_ERRORLIST_LIST), (const ErrorEntry *)lParam, sErrorCount++);
        return TRUE;
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (header && header->idFrom == IDC_ERRORLIST_LIST && header->code == (UINT)NM_CUSTOMDRAW) {
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, OnListCustomDraw(header->hwndFrom, (NMLVCUSTOMDRAW *)lParam));
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ERRORLIST_PRINT:
            OnErrorListPrint(dialog, request);
            return TRUE;
        case IDC_ERRORLIST_SAVE:
            OnErrorListSave(dialog, request);
            return TRUE;
        case IDC_ERRORLIST_CLOSE:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        FreeErrorListState();
        return FALSE;
    }
    return FALSE;
}

INT_PTR ShowErrorListDialog(HWND owner, ErrorListRequest *request)
{
    return RunModalDialog(gInstance ? gInstance : GetModuleHandleA(NULL), "ERRORLIST", owner, ErrorListProc,
                          (LPARAM)request);
}
