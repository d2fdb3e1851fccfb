// sigcapture_dlg.cpp - the "SIGCAPTURE" dialog: opening (the field's background as the pad, a
// stored signature shown locked, the toolbar in its rebar, the vertical layout), the toolbar's
// states and tooltips, and the dispatch of commands and mouse messages.
#include "entry/signature/signature_private.h"
#include "ui/ui.h"

#include <string.h>

SigCaptureRequest *GetSigRequest(HWND dialog)
{
    return dialog ? (SigCaptureRequest *)GetWindowLongPtrA(dialog, GWLP_USERDATA) : NULL;
}

static HWND GetInstructionLine(HWND dialog)
{
    return GetDlgItem(dialog, IDC_SIG_INSTRUCTION);
}

void SetSigInstruction(HWND dialog, const char *text)
{
    HWND line = GetInstructionLine(dialog);
    if (line) {
        SetWindowTextA(line, text);
        InvalidateRect(line, NULL, TRUE);
    }
}

void SetSigButton(SigCaptureRequest *request, int command, int on)
{
    if (request->toolbar)
        SendMessageA(request->toolbar, TB_SETSTATE, (WPARAM)command,
                     MAKELONG(on ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE, 0));
}

void CheckSigButton(SigCaptureRequest *request, int command, int checked)
{
    if (request->toolbar)
        SendMessageA(request->toolbar, TB_SETSTATE, (WPARAM)command,
                     MAKELONG(checked ? TBSTATE_ENABLED | TBSTATE_CHECKED : TBSTATE_ENABLED, 0));
}

int IsSigButtonOn(SigCaptureRequest *request, int command)
{
    if (!request->toolbar)
        return 0;
    LRESULT state = SendMessageA(request->toolbar, TB_GETSTATE, (WPARAM)command, 0);
    return state != -1 && (state & TBSTATE_ENABLED) && !(state & TBSTATE_INDETERMINATE);
}

void EnterPlacedState(HWND dialog, SigCaptureRequest *request)
{
    EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
    EnableWindow(GetDlgItem(dialog, IDC_SIG_APPLY), TRUE);
    SendMessageA(dialog, DM_SETDEFID, IDC_SIG_APPLY, 0);
}

// The field's page background as a 1-bit bitmap: the background saved when a BMP page was built,
// else (a PCL page keeps none) the field's rectangle of the page shown, which holds no signature
// ink; a white strip when neither exists.
static HBITMAP LoadFieldBackground(SigCaptureRequest *request)
{
    HBITMAP background = CreateBitmapForFieldClip(request->backgroundIndex);
    if (background)
        return background;
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    if (table && gPageBitmap && request->backgroundIndex > 0 && request->backgroundIndex < table->count &&
        &table->fields[request->backgroundIndex] == request->field) {
        FieldClip *clip = SaveFieldBackground(gPageBitmap, table, request->backgroundIndex);
        background = clip ? CreateBitmapFromClip(clip) : NULL;
        MemFree(clip);
        if (background)
            return background;
    }
    int width = 600, height = 80;
    if (request->field && request->field->rect) {
        RECT *rect = request->field->rect;
        if (rect->right - rect->left > 0 && rect->right - rect->left <= PAGE_CANVAS_WIDTH)
            width = rect->right - rect->left;
        if (rect->bottom - rect->top > 0 && rect->bottom - rect->top <= PAGE_CANVAS_HEIGHT)
            height = rect->bottom - rect->top;
    }
    return CreateDibBitmap(width, height, 1, WHITENESS, NULL, NULL);
}

// The stored signature at its place on the pad, locked.
static void ShowStoredSignature(HWND dialog, SigCaptureRequest *request)
{
    HBITMAP bitmap = CreateBitmapFromClip(request->signatureClip);
    if (!bitmap) {
        request->signatureClip = NULL;   // not a readable block: the dialog opens empty
        request->hadSignature = 0;
        return;
    }
    request->signatureBitmap = bitmap;
    request->userScale = request->storedScale * request->padScale;
    gSigState.storedOffsetX = request->offsetX;
    gSigState.storedOffsetY = request->offsetY;
    request->offsetX = RoundSignatureOffset(request->offsetX * (double)request->padScale);
    request->offsetY = RoundSignatureOffset(request->offsetY * (double)request->padScale);
    gSigState.openedStored = 1;
    gSigState.openOffsetX = request->offsetX;
    gSigState.openOffsetY = request->offsetY;
    gSigState.openUserScale = request->userScale;
    gSigState.openStoredScale = request->storedScale;
    request->hasSignature = 1;
    gSigState.locked = 1;
}

static const TBBUTTON kSigButtons[] = {
    {0, IDM_SIG_FILE, TBSTATE_ENABLED, BTNS_BUTTON | BTNS_DROPDOWN, {0}, 0, 0},
    {1, IDM_SIG_DRAW, TBSTATE_ENABLED, BTNS_CHECK, {0}, 0, 0},
    {2, IDM_SIG_TYPE, TBSTATE_ENABLED, BTNS_CHECK, {0}, 0, 0},
    {0, 0, 0, BTNS_SEP, {0}, 0, 0},
    {3, IDM_SIG_CLEAR, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
};

static int CreateSignatureToolbar(HWND dialog, HWND rebar, HWND *toolbarOut)
{
    HWND toolbar = CreateToolbarBand(rebar, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, kSigButtons, IDB_SIG_TOOLBAR,
                                     IDC_SIG_TOOLBAR, 5, 4, 60, 22, TBSTYLE_EX_DRAWDDARROWS, RBBS_CHILDEDGE);
    *toolbarOut = toolbar;
    if (!toolbar)
        return 0;
    // Commands, the drop-down and tooltip requests come to the dialog, not to the rebar.
    SendMessageA(toolbar, TB_SETPARENT, (WPARAM)dialog, 0);
    return 1;
}

// Moves control so that its top lies 15 pixels below y (client coordinates); returns its bottom.
static int PlaceBelow(HWND dialog, HWND control, int y, int *shiftOut)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, (POINT *)&rect, 2);
    int shift = y + 15 - rect.top;
    if (shift)
        SetWindowPos(control, NULL, rect.left, rect.top + shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (shiftOut)
        *shiftOut = shift;
    return rect.bottom + shift;
}

static void LayOutSigDialog(HWND dialog, HWND rebar)
{
    RECT bar = {0, 0, 0, 0};
    if (rebar) {
        GetWindowRect(rebar, &bar);
        MapWindowPoints(HWND_DESKTOP, dialog, (POINT *)&bar, 2);
    }
    int y = PlaceBelow(dialog, GetInstructionLine(dialog), bar.bottom, NULL);
    y = PlaceBelow(dialog, GetDlgItem(dialog, IDC_SIG_PAD), y, NULL);
    // The three buttons move together, by the shift that puts the highest 15 below the pad.
    const int buttons[3] = {IDOK, IDC_SIG_APPLY, IDCANCEL};
    int top = 0x7FFFFFFF;
    for (int id : buttons) {
        RECT rect;
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        MapWindowPoints(HWND_DESKTOP, dialog, (POINT *)&rect, 2);
        if (rect.top < top)
            top = rect.top;
    }
    int shift = y + 15 - top, bottom = 0;
    for (int id : buttons) {
        HWND button = GetDlgItem(dialog, id);
        RECT rect;
        GetWindowRect(button, &rect);
        MapWindowPoints(HWND_DESKTOP, dialog, (POINT *)&rect, 2);
        if (shift)
            SetWindowPos(button, NULL, rect.left, rect.top + shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (id == IDCANCEL)
            bottom = rect.bottom + shift;
    }
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    int frame = (window.bottom - window.top) - client.bottom;
    SetWindowPos(dialog, NULL, 0, 0, window.right - window.left, bottom + 15 + frame,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void SetButtonIcons(HWND dialog)
{
    const int bitmaps[3] = {IDB_SIG_OK, IDB_SIG_APPLY, IDB_SIG_CANCEL};
    const int buttons[3] = {IDOK, IDC_SIG_APPLY, IDCANCEL};
    for (int i = 0; i < 3; i++) {
        gSigState.icons[i] = BitmapToIcon(NULL, gInstance, bitmaps[i], NULL);
        if (gSigState.icons[i])
            SendDlgItemMessageA(dialog, buttons[i], BM_SETIMAGE, IMAGE_ICON, (LPARAM)gSigState.icons[i]);
    }
}

static void InitSigCaptureDialog(HWND dialog, SigCaptureRequest *request)
{
    memset(&gSigState, 0, sizeof(gSigState));
    SetWindowLongPtrA(dialog, GWLP_USERDATA, (LONG_PTR)request);

    HBITMAP background = LoadFieldBackground(request);
    SetSigInstruction(dialog, SIG_INSTRUCTION_START);
    RECT window;
    GetWindowRect(dialog, &window);
    int margin = 14 + GetSystemMetrics(SM_CXEDGE);
    RECT fit = {window.left + margin, window.top, window.right - margin, window.bottom};
    double scale = 1.0;
    HBITMAP fitted = background ? FitBitmapToRect(&fit, background, &scale, 0) : NULL;
    if (!fitted && background)
        DeleteObject(background);
    request->padBackground = fitted;
    request->padScale = (float)scale;
    request->baseline = fitted ? FindSignatureBaseline(fitted) : 0;
    if (request->signatureClip)
        ShowStoredSignature(dialog, request);
    if (request->hasSignature)
        ShowSignatureOnPad(dialog, request, 0);
    else
        ShowPadBackground(dialog, request);

    HWND rebar = CreateRebar(dialog, IDC_SIG_REBAR);
    if (rebar) {
        CreateSignatureToolbar(dialog, rebar, &request->toolbar);
        FitRebarToParent(rebar, dialog);
        ShowWindow(rebar, SW_SHOW);
    }
    LayOutSigDialog(dialog, rebar);
    SetButtonIcons(dialog);

    if (!request->hasSignature) {
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_SIG_APPLY), FALSE);
        SetSigButton(request, IDM_SIG_CLEAR, 0);
    } else {
        SetSigInstruction(dialog, "To delete a previously-entered signature, click \"Clear\".");
        SetSigButton(request, IDM_SIG_FILE, 0);
        SetSigButton(request, IDM_SIG_DRAW, 0);
        SetSigButton(request, IDM_SIG_TYPE, 0);
        EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
        EnableWindow(GetDlgItem(dialog, IDC_SIG_APPLY), FALSE);
        SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
    }
    PlaceDialogOnParent(dialog, 2);
}

static void DestroySigCaptureDialog(HWND dialog, SigCaptureRequest *request)
{
    for (int i = 0; i < 3; i++)
        if (gSigState.icons[i])
            DestroyIcon(gSigState.icons[i]);
    SetStaticBitmap(GetDlgItem(dialog, IDC_SIG_PAD), NULL);
    gSigState.padImage = NULL;
    if (request) {
        FreeSignatureCanvas(request);
        if (request->padBackground)
            DeleteObject(request->padBackground);
        if (request->signatureBitmap)
            DeleteObject(request->signatureBitmap);
        request->padBackground = request->signatureBitmap = NULL;
        request->toolbar = NULL;
    }
    ResetSignatureModes();
    gSigState.drawing = gSigState.strokeActive = 0;
    memset(gSigState.icons, 0, sizeof(gSigState.icons));
}

// The toolbar's notifications: tooltip texts (string table, up to 64 characters) and the File
// button's drop-down arrow.
static INT_PTR OnSigNotify(HWND dialog, SigCaptureRequest *request, NMHDR *header)
{
    if (header->code == TTN_GETDISPINFOA) {
        NMTTDISPINFOA *info = (NMTTDISPINFOA *)header;
        char text[65] = "";
        LoadStringA(gInstance, (UINT)info->hdr.idFrom, text, sizeof(text));
        lstrcpynA(info->szText, text, sizeof(info->szText));
        info->lpszText = info->szText;
        return TRUE;
    }
    if (header->code == TTN_GETDISPINFOW) {
        NMTTDISPINFOW *info = (NMTTDISPINFOW *)header;
        char text[65] = "";
        LoadStringA(gInstance, (UINT)info->hdr.idFrom, text, sizeof(text));
        MultiByteToWideChar(CP_ACP, 0, text, -1, info->szText, sizeof(info->szText) / sizeof(info->szText[0]));
        info->lpszText = info->szText;
        return TRUE;
    }
    if (header->code == TBN_DROPDOWN && request && header->hwndFrom == request->toolbar) {
        NMTOOLBARA *bar = (NMTOOLBARA *)header;
        if (bar->iItem == IDM_SIG_FILE && IsSigButtonOn(request, IDM_SIG_FILE))
            ShowRecentSignatureMenu(dialog, request, &bar->rcButton);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TBDDRET_DEFAULT);
        return TRUE;
    }
    return FALSE;
}

static void OnSigCommand(HWND dialog, SigCaptureRequest *request, int command, LPARAM lParam)
{
    switch (command) {
    case IDOK:
        if (IsWindowEnabled(GetDlgItem(dialog, IDOK)))
            AcceptSignature(dialog, request);
        return;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return;
    case IDC_SIG_APPLY:
        if (IsWindowEnabled(GetDlgItem(dialog, IDC_SIG_APPLY)))
            ApplySignature(dialog, request);
        return;
    case IDM_SIG_FILE: {
        // From the toolbar lParam is its window; the drop-down sends the path itself.
        const char *path = lParam && !IsWindow((HWND)lParam) ? (const char *)lParam : NULL;
        if (IsSigButtonOn(request, IDM_SIG_FILE))
            LoadSignatureFile(dialog, request, path);
        return;
    }
    case IDM_SIG_DRAW:
        if (gSigState.drawing || IsSigButtonOn(request, IDM_SIG_DRAW))
            ToggleSignatureDraw(dialog, request);
        return;
    case IDM_SIG_TYPE:
        if (IsSigButtonOn(request, IDM_SIG_TYPE))
            TypeSignature(dialog, request);
        return;
    case IDM_SIG_CLEAR:
        if (IsSigButtonOn(request, IDM_SIG_CLEAR))
            ClearSignature(dialog, request);
        return;
    default:
        if (command >= IDM_RECENTFILE_FIRST && command <= IDM_RECENTFILE_LAST && IsSigButtonOn(request, IDM_SIG_FILE))
            OpenRecentSignature(dialog, request, command - IDM_RECENTFILE_FIRST);
        return;
    }
}

INT_PTR CALLBACK SigCaptureDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    SigCaptureRequest *request = GetSigRequest(dialog);
    switch (message) {
    case WM_INITDIALOG:
        InitSigCaptureDialog(dialog, (SigCaptureRequest *)lParam);
        return TRUE;
    case WM_COMMAND:
        if (request)
            OnSigCommand(dialog, request, LOWORD(wParam), lParam);
        return TRUE;
    case WM_NOTIFY:
        return OnSigNotify(dialog, request, (NMHDR *)lParam);
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        OnSignatureMouse(dialog, message, (short)LOWORD(lParam), (short)HIWORD(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if ((HWND)lParam == GetInstructionLine(dialog)) {
            HDC dc = (HDC)wParam;
            SetTextColor(dc, RGB(0, 0, 225));
            SetBkColor(dc, GetSysColor(COLOR_3DFACE));
            SetBkMode(dc, OPAQUE);
            return (INT_PTR)GetSysColorBrush(COLOR_3DFACE);
        }
        return FALSE;
    case WM_DESTROY:
        DestroySigCaptureDialog(dialog, request);
        return FALSE;
    }
    return FALSE;
}
