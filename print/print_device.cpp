// print_device.cpp - the printer side of printing: the default printer, page bitmaps scaled onto
// the printer page, one page started and ended, the progress dialog and the abort procedure.
#include "print/print.h"
#include "print/print_private.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

int gPrintJobActive;
HWND gPrintProgressDialog;

#define IDB_PRINT_PROGRESS 525   // bitmaps made into the window's icon
#define IDB_PDF_PROGRESS   559
#define IDC_PROGRESS_TEXT    1036
#define IDC_PROGRESS_CAPTION 1226

int GetDefaultPrinterName(char *buffer, DWORD *size)
{
    if (gOsVersionInfo.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        // The Windows 95 family: the first printer of the default enumeration.
        DWORD needed = 0, count = 0;
        EnumPrintersA(PRINTER_ENUM_DEFAULT, 0, 2, 0, 0, &needed, &count);
        if (!needed)
            return 0;
        PRINTER_INFO_2A *info = (PRINTER_INFO_2A *)MemAlloc(64, needed);
        if (!info)
            return 0;
        int found = 0;
        if (EnumPrintersA(PRINTER_ENUM_DEFAULT, 0, 2, (BYTE *)info, needed, &needed, &count) && count > 0 &&
            info->pPrinterName && info->pPrinterName[0]) {
            DWORD length = (DWORD)strlen(info->pPrinterName) + 1;
            if (!buffer) {
                if (size)
                    *size = length;
                found = 1;
            } else if (size && *size >= length) {
                memcpy(buffer, info->pPrinterName, length);
                *size = length;
                found = 1;
            }
        }
        MemFree(info);
        return found;
    }
    DWORD length = 0;
    if (GetDefaultPrinterA(0, &length) || GetLastError() != ERROR_INSUFFICIENT_BUFFER || length == 0)
        return 0;
    if (!buffer) {
        if (size)
            *size = length;
        return 1;
    }
    if (!size || *size < length)
        return 0;
    DWORD capacity = *size;
    if (!GetDefaultPrinterA(buffer, &capacity))
        return 0;
    *size = capacity;
    return buffer[0] != 0;
}

int FitImageToPage(int imageWidth, int imageHeight, int pageWidth, int pageHeight, int *x, int *y, int *width,
                   int *height)
{
    if (imageWidth <= 0 || imageHeight <= 0 || pageWidth <= 0 || pageHeight <= 0)
        return 0;
    double scaleX = (double)pageWidth / imageWidth;
    double scaleY = (double)pageHeight / imageHeight;
    double scale = scaleX < scaleY ? scaleX : scaleY;
    int w = (int)(imageWidth * scale + 0.5);
    int h = (int)(imageHeight * scale + 0.5);
    if (w > pageWidth)
        w = pageWidth;
    if (h > pageHeight)
        h = pageHeight;
    int left = pageWidth / 2 - (int)(w / 2.0 + 0.5);
    int top = pageHeight / 2 - (int)(h / 2.0 + 0.5);
    *x = left > 0 ? left : 0;
    *y = top > 0 ? top : 0;
    *width = w;
    *height = h;
    return 1;
}

int FitBandToPage(int imageWidth, int imageHeight, int pageWidth, int pageHeight, const RECT *band, RECT *out)
{
    int x, y, w, h;
    if (!band || !out || !FitImageToPage(imageWidth, imageHeight, pageWidth, pageHeight, &x, &y, &w, &h))
        return 0;
    double sx = (double)w / imageWidth, sy = (double)h / imageHeight;
    out->left = x + (int)(band->left * sx + 0.5);
    out->top = y + (int)(band->top * sy + 0.5);
    out->right = x + (int)(band->right * sx + 0.5);
    out->bottom = y + (int)(band->bottom * sy + 0.5);
    return 1;
}

// The bits and header of a bitmap for StretchDIBits: a DIB section's own bits, else a 24-bit
// copy (*copyOut = the MemAlloc copy to free).
static BITMAPINFO *GetPrintableBits(HBITMAP bitmap, const void **bitsOut, void **copyOut, int *widthOut,
                                    int *heightOut)
{
    *copyOut = 0;
    *bitsOut = 0;
    DIBSECTION section;
    memset(&section, 0, sizeof section);
    int got = GetObjectA(bitmap, sizeof section, &section);
    if (got <= 0)
        return 0;
    *widthOut = section.dsBm.bmWidth;
    *heightOut = section.dsBm.bmHeight;
    if (got == (int)sizeof(DIBSECTION) && section.dsBm.bmBits) {
        int bits = section.dsBmih.biBitCount;
        int colours = 0;
        RGBQUAD *table = bits <= 8 ? GetDibColorTable(0, bitmap, &colours) : 0;
        BITMAPINFO *info = BuildBitmapInfo(section.dsBm.bmWidth, section.dsBmih.biHeight, bits, table);
        MemFree(table);
        if (info && bits == 16 && section.dsBmih.biCompression == BI_BITFIELDS) {
            // BuildBitmapInfo gives 16-bit bitmaps a palette; the section's masks are used instead.
            MemFree(info);
            info = 0;
        }
        if (info) {
            *bitsOut = section.dsBm.bmBits;
            return info;
        }
    }
    // Any other bitmap: a 24-bit bottom-up copy.
    BITMAPINFO *info = (BITMAPINFO *)MemAlloc(64, sizeof(BITMAPINFOHEADER));
    if (!info)
        return 0;
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = section.dsBm.bmWidth;
    info->bmiHeader.biHeight = section.dsBm.bmHeight;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 24;
    info->bmiHeader.biCompression = BI_RGB;
    unsigned int size = GetDibImageSize32(section.dsBm.bmWidth, section.dsBm.bmHeight, 24);
    void *copy = size ? MemAlloc(64, size) : 0;
    HDC screen = GetDC(0);
    int rows = copy ? GetDIBits(screen, bitmap, 0, section.dsBm.bmHeight, copy, info, DIB_RGB_COLORS) : 0;
    ReleaseDC(0, screen);
    if (rows <= 0) {
        MemFree(copy);
        MemFree(info);
        return 0;
    }
    *copyOut = copy;
    *bitsOut = copy;
    return info;
}

int PrintBitmapOnPage(HDC printerDc, HBITMAP bitmap)
{
    if (!printerDc || !bitmap)
        return 1;
    int pageWidth = GetDeviceCaps(printerDc, HORZRES);
    int pageHeight = GetDeviceCaps(printerDc, VERTRES);
    const void *bits = 0;
    void *copy = 0;
    int width = 0, height = 0;
    BITMAPINFO *info = GetPrintableBits(bitmap, &bits, &copy, &width, &height);
    if (!info)
        return 1;
    int bottomUp = info->bmiHeader.biHeight > 0;
    if (GetDeviceCaps(printerDc, RASTERCAPS) & RC_BANDING) {
        // Ten bands of a tenth of the height; the last takes the remainder.
        int bandHeight = height / 10;
        int bands = bandHeight > 0 ? 10 : 1;
        for (int i = 0; i < bands; i++) {
            int top = i * bandHeight;
            int rows = (i == bands - 1) ? height - top : bandHeight;
            RECT band = {0, top, width, top + rows}, dest;
            FitBandToPage(width, height, pageWidth, pageHeight, &band, &dest);
            int sourceY = bottomUp ? height - (top + rows) : top;
            StretchDIBits(printerDc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, 0, sourceY,
                          width, rows, bits, info, DIB_RGB_COLORS, SRCCOPY);
        }
    } else {
        int x, y, w, h;
        if (FitImageToPage(width, height, pageWidth, pageHeight, &x, &y, &w, &h))
            StretchDIBits(printerDc, x, y, w, h, 0, 0, width, height, bits, info, DIB_RGB_COLORS, SRCCOPY);
    }
    MemFree(copy);
    MemFree(info);
    return 1;
}


void SetPrintProgressTexts(const char *caption, const char *progress)
{
    if (!gPrintProgressDialog)
        return;
    // The caption's static has SS_NOPREFIX: an '&' shows as it is, never doubled.
    if (caption)
        SetDlgItemTextA(gPrintProgressDialog, IDC_PROGRESS_CAPTION, caption);
    if (progress)
        SetDlgItemTextA(gPrintProgressDialog, IDC_PROGRESS_TEXT, progress);
}

int PumpPrintMessages(void)
{
    KeepModalWindowsDisabled();
    MSG message;
    while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the quit request for the main loop.
            PostQuitMessage((int)message.wParam);
            break;
        }
        if (gPrintProgressDialog && IsDialogMessageA(gPrintProgressDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return gPrintJobActive;
}

int PrintPageStartEnd(HDC printerDc, HBITMAP bitmap, const char *caption, const char *progress)
{
    if (StartPage(printerDc) <= 0)
        return 0;
    SetPrintProgressTexts(caption, progress);
    PrintBitmapOnPage(printerDc, bitmap);
    return EndPage(printerDc) > 0 ? 1 : 0;
}

BOOL CALLBACK PrintAbortProc(HDC printerDc, int error)
{
    return PumpPrintMessages() ? TRUE : FALSE;
}

INT_PTR CALLBACK PrintAbortDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        int mode = (int)lParam;
        HINSTANCE module = gInstance ? gInstance : GetModuleHandleA(0);
        HICON icon = BitmapToIcon(0, module, mode == 2 ? IDB_PDF_PROGRESS : IDB_PRINT_PROGRESS, 0);
        if (icon)
            SendMessageA(dialog, WM_SETICON, ICON_SMALL, (LPARAM)icon);
        SetPropA(dialog, "PrintIcon", icon);
        if (mode == 2) {
            SetWindowTextA(dialog, " Generating PDF File");
            ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_HIDE);
            RECT client;
            GetClientRect(dialog, &client);
            SetWindowPos(dialog, 0, 0, 0, client.right, client.bottom,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
        }
        PlaceDialogOnParent(dialog, 1);
        return TRUE;
    }
    case WM_COMMAND:
        gPrintJobActive = 0;
        return TRUE;
    case WM_DESTROY: {
        HICON icon = (HICON)RemovePropA(dialog, "PrintIcon");
        if (icon)
            DestroyIcon(icon);
        return FALSE;
    }
    }
    return FALSE;
}

UINT_PTR CALLBACK PrintDlgHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        PlaceDialogOnParent(dialog, 2);
    return 0;
}
