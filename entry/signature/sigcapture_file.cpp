// sigcapture_file.cpp - a signature from an image file: the file (asked for, or from the list of
// recent signature files), its pixels turned black and white, specks at the border cleaned, the
// ink cropped, fitted to the pad and placed.
#include "entry/signature/signature_private.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// The recent signature files: a list under the common settings key (REG_SCOPE_COMMON).
static const char kSigFilesValue[] = "SigFiles";

static void ShowUnreadableImage(HWND dialog, const char *path, int status)
{
    char line[MAX_PATH + 100];
    char statusText[65];
    lstrcpynA(statusText, GetGdiplusStatusText(status), sizeof(statusText));
    snprintf(line, sizeof(line), "999 SIG: %s [%s]\r\n", path, statusText);
    WriteLogLine(line);
    char text[200];
    snprintf(text, sizeof(text),
             "The selected image file could not be read.\r\n\r\nView the log file for more information. [MS-%lu]",
             (unsigned long)status);
    ShowMessageBox(dialog, text, SIG_TITLE_INVALID, MB_OK | MB_ICONSTOP);
}

static void ShowCleanupNotice(HWND dialog)
{
    ShowMessageBox(dialog,
                   "Levyline detected that the selected image file may be too big or the image quality may be "
                   "affected by excessive \"static\" dots in the signature's whitespace.\r\n\r\nThe software will "
                   "now attempt to automatically cleanup the image. (Note that this will NOT alter the source image "
                   "file stored on your PC.)\r\n\r\nIf the results of the cleanup are acceptable, you can continue "
                   "to use the signature image. If not, you may need to manually clean up the source image file or "
                   "use a different option for entering the signature.",
                   "Signature Cleanup", MB_OK | MB_ICONEXCLAMATION);
}

// The image's black-and-white pixels (24-bit rows, top row first) with their ink box; null after
// a message when the file cannot be used.
static unsigned char *ReadSignaturePixels(HWND dialog, const char *path, int *width, int *height, RECT *ink)
{
    wchar_t widePath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH)) {
        ShowUnreadableImage(dialog, path, 2);   // InvalidParameter: the path cannot be named
        return NULL;
    }
    int geometry[3] = {0, 0, 0}, status = 0;
    if (LoadImageWithGdiplus(widePath, NULL, 0, geometry, &status) != 0) {
        ShowUnreadableImage(dialog, path, status);
        return NULL;
    }
    if (geometry[0] > SIGNATURE_MAX_IMAGE_SIDE || geometry[1] > SIGNATURE_MAX_IMAGE_SIDE) {
        char text[300];
        snprintf(text, sizeof(text),
                 "The selected image is %d x %d pixels. Signature images can be at most %d x %d pixels.\r\n\r\n"
                 "Use a smaller image of the signature.",
                 geometry[0], geometry[1], SIGNATURE_MAX_IMAGE_SIDE, SIGNATURE_MAX_IMAGE_SIDE);
        ShowMessageBox(dialog, text, SIG_TITLE_INVALID, MB_OK | MB_ICONSTOP);
        return NULL;
    }
    int size = (int)GetDibImageSize32(geometry[0], geometry[1], 24) + 1;
    unsigned char *pixels = (unsigned char *)MemAlloc(64, (size_t)size);
    if (!pixels)
        return NULL;
    if (LoadImageWithGdiplus(widePath, pixels, size, geometry, &status) != 0) {
        ShowUnreadableImage(dialog, path, status);
        MemFree(pixels);
        return NULL;
    }
    *width = geometry[0];
    *height = geometry[1];
    BITMAPINFOHEADER header;
    memset(&header, 0, sizeof(header));
    header.biSize = sizeof(header);
    header.biWidth = *width;
    header.biHeight = -*height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    ConvertToGrayscale(pixels, &header);
    ThresholdToBlackWhite(pixels, &header);
    int percent = 0;
    int hasInk = GetInkBounds(pixels, &header, ink, &percent);
    if (hasInk && NeedsSpeckCleanup(ink, percent, *width, *height)) {
        ShowCleanupNotice(dialog);
        if (ClearBorderInk(pixels, *width, *height) < 0) {
            MemFree(pixels);
            return NULL;
        }
        hasInk = GetInkBounds(pixels, &header, ink, &percent);
    }
    if (!hasInk) {
        ShowMessageBox(dialog,
                       "The selected image file holds no signature: no dark ink is left in it after it is turned "
                       "black and white (and cleaned up).\r\n\r\nUse an image with the signature in dark ink on a "
                       "light background.",
                       SIG_TITLE_INVALID, MB_OK | MB_ICONSTOP);
        MemFree(pixels);
        return NULL;
    }
    return pixels;
}

// The ink box of the pixels as a new 1-bit bitmap.
static HBITMAP CropSignaturePixels(const unsigned char *pixels, int width, int height, const RECT *ink)
{
    HBITMAP dib = CreateDibBitmap(width, -height, 24, 0, pixels, NULL);
    if (!dib)
        return NULL;
    HBITMAP cropped = CopyBitmapRegion(dib, ink);
    DeleteObject(dib);
    return cropped;
}

// Drops the signature the dialog holds (never the field's stored block).
static void DropNewSignature(SigCaptureRequest *request)
{
    if (request->signatureClip && (!request->signatureSlot || (char *)request->signatureClip != *request->signatureSlot))
        MemFree(request->signatureClip);
    request->signatureClip = NULL;
    if (request->signatureBitmap)
        DeleteObject(request->signatureBitmap);
    request->signatureBitmap = NULL;
}

static int UseSignatureImage(HWND dialog, SigCaptureRequest *request, const char *path)
{
    int width = 0, height = 0;
    RECT ink;
    unsigned char *pixels = ReadSignaturePixels(dialog, path, &width, &height, &ink);
    if (!pixels)
        return 0;
    HBITMAP cropped = CropSignaturePixels(pixels, width, height, &ink);
    MemFree(pixels);
    FieldClip *clip = cropped ? SaveFieldClip(cropped, 0) : NULL;
    RECT pad = {0, 0, 0, 0};
    GetClientRect(GetDlgItem(dialog, IDC_SIG_PAD), &pad);
    double scale = 1.0;
    HBITMAP fitted = clip ? FitBitmapToRect(&pad, cropped, &scale, 0) : NULL;
    if (!fitted) {
        if (cropped)
            DeleteObject(cropped);
        MemFree(clip);
        return 0;
    }
    DropNewSignature(request);
    request->signatureClip = clip;
    request->signatureBitmap = fitted;
    int fittedWidth = 0, fittedHeight = 0;
    GetBitmapSize(fitted, &fittedWidth, &fittedHeight);
    if (fittedWidth == clip->width && fittedHeight == clip->height) {
        request->fitScale = 1.0f;
    } else {
        float sx = (float)fittedWidth / (float)clip->width, sy = (float)fittedHeight / (float)clip->height;
        request->fitScale = sx < sy ? sx : sy;
    }
    request->userScale = 0.0f;
    PlaceNewSignature(request, width);
    ShowSignatureOnPad(dialog, request, 1);
    request->hasSignature = 1;
    SetSigInstruction(dialog, SIG_INSTRUCTION_PLACE);
    SetSigButton(request, IDM_SIG_FILE, 0);
    SetSigButton(request, IDM_SIG_DRAW, 0);
    SetSigButton(request, IDM_SIG_TYPE, 0);
    SetSigButton(request, IDM_SIG_CLEAR, 1);
    EnterPlacedState(dialog, request);
    return 1;
}

int LoadSignatureFile(HWND dialog, SigCaptureRequest *request, const char *path)
{
    char *asked = NULL;
    if (!path || !path[0]) {
        asked = (char *)MemAlloc(64, 520);
        if (!asked)
            return 0;
        static const char kFilter[] =
            "All Image Files\0*.bmp;*.dib;*.jpg;*.jpeg;*.jpe;*.jfif;*.gif;*.tif;*.tiff;*.png;*.ico\0";
        if (!ShowFileOpenDialog("Select Signature File", "bmp", kFilter, REG_SCOPE_COMMON, 0, "SigImgDir", NULL, asked,
                                520, dialog)) {
            MemFree(asked);
            return 0;
        }
        path = asked;
    }
    int loaded = UseSignatureImage(dialog, request, path);
    if (loaded)
        UpdateRecentFilesMenu(NULL, path, GetRegistryScopePath(REG_SCOPE_COMMON), kSigFilesValue);
    MemFree(asked);
    return loaded;
}

void ShowRecentSignatureMenu(HWND dialog, SigCaptureRequest *request, const RECT *buttonRect)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    if (UpdateRecentFilesMenu(menu, NULL, GetRegistryScopePath(REG_SCOPE_COMMON), kSigFilesValue) == 0)
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, "[ Empty ]");
    DWORD size = (DWORD)SendMessageA(request->toolbar, TB_GETBUTTONSIZE, 0, 0);
    POINT at = {buttonRect->left + LOWORD(size), buttonRect->bottom};
    ClientToScreen(request->toolbar, &at);
    int command = (int)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN, at.x, at.y, 0, dialog,
                                      NULL);
    DestroyMenu(menu);
    if (command >= IDM_RECENTFILE_FIRST && command <= IDM_RECENTFILE_LAST)
        SendMessageA(dialog, WM_COMMAND, (WPARAM)command, 0);
}

void OpenRecentSignature(HWND dialog, SigCaptureRequest *request, int k)
{
    char *list = (char *)QueryRegistryValueAlloc(HKEY_CURRENT_USER, GetRegistryScopePath(REG_SCOPE_COMMON),
                                                 kSigFilesValue, 0, NULL, NULL);
    const char *path = NULL;
    if (list) {
        char *position = NULL;
        char *item = TokenizeString(list, ";", &position, 1);   // the list's maximum count
        for (int i = 0; item && i <= k; i++)
            item = TokenizeString(NULL, ";", &position, 1);
        path = item;
    }
    // A path missing from the list: the file dialog asks.
    SendMessageA(dialog, WM_COMMAND, IDM_SIG_FILE, (LPARAM)(path && path[0] ? path : NULL));
    MemFree(list);
}
