// sigcapture_pad.cpp - the signature dialog's drawing pad: the field's background with the
// signature ANDed onto it, the sizing marker, the pad's image, and the pixel rules of signatures
// (baseline, speck test, border cleanup, rounding).
#include "entry/signature/signature_private.h"

#include <math.h>
#include <string.h>

int FindSignatureBaseline(HBITMAP bitmap)
{
    int width = 0, height = 0;
    if (!GetBitmapSize(bitmap, &width, &height) || width <= 0 || height <= 0)
        return 0;
    HDC dc = CreateCompatibleDC(NULL);
    if (!dc)
        return height;
    HGDIOBJ old = SelectObject(dc, bitmap);
    int result = height;
    for (int row = height / 2; row < height; row++)
        if (!IsPixelRowWhite(dc, width, row, 2)) {
            result = row + 1;
            break;
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    return result;
}

int NeedsSpeckCleanup(const RECT *ink, int percent, int width, int height)
{
    if (!ink || percent >= 6)
        return 0;
    int acrossWidth = ink->left == 0 && ink->right >= width;
    int acrossHeight = ink->top == 0 && ink->bottom >= height;
    return acrossWidth || acrossHeight;
}

// Black in a thresholded 24-bit image: any component 0 (as GetInkBounds counts ink).
static int IsBlackPixel(const unsigned char *p)
{
    return p[0] == 0 || p[1] == 0 || p[2] == 0;
}

int ClearBorderInk(unsigned char *bits, int width, int height)
{
    if (!bits || width <= 0 || height <= 0)
        return 0;
    size_t stride = ((size_t)width * 3 + 3) & ~(size_t)3;
    // Each black pixel is whitened when it is pushed, so the stack never holds more entries than
    // the image has black pixels.
    size_t black = 0;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            black += IsBlackPixel(bits + y * stride + (size_t)x * 3);
    if (!black)
        return 0;
    int *stack = (int *)MemAlloc(64, black * 2 * sizeof(int));
    if (!stack)
        return -1;
    int whitened = 0;
    size_t top = 0;
    auto push = [&](int x, int y) {
        unsigned char *p = bits + y * stride + (size_t)x * 3;
        if (!IsBlackPixel(p))
            return;
        p[0] = p[1] = p[2] = 255;
        whitened++;
        stack[top * 2] = x;
        stack[top * 2 + 1] = y;
        top++;
    };
    // The border pixels in row order; each fill runs to its end before the next starts.
    for (int y = 0; y < height; y++) {
        int step = (y == 0 || y == height - 1) ? 1 : (width > 1 ? width - 1 : 1);
        for (int x = 0; x < width; x += step) {
            push(x, y);
            while (top) {
                top--;
                int cx = stack[top * 2], cy = stack[top * 2 + 1];
                if (cx > 0) push(cx - 1, cy);
                if (cx + 1 < width) push(cx + 1, cy);
                if (cy > 0) push(cx, cy - 1);
                if (cy + 1 < height) push(cx, cy + 1);
            }
        }
    }
    MemFree(stack);
    return whitened;
}

int RoundSignatureOffset(double value)
{
    if (!(value == value))
        return 0;
    if (value > 32767.0) return 32767;
    if (value < -32768.0) return -32768;
    return (int)(value < 0 ? -floor(-value + 0.5) : floor(value + 0.5));
}

double GetSignatureScaleLimit(const SigCaptureRequest *request)
{
    const FieldClip *clip = request->signatureClip;
    double pad = request->padScale > 0.0f ? request->padScale : 1.0;
    double fit = request->fitScale > 0.0f ? request->fitScale : 1.0;
    // The stored scale is userScale x fitScale / padScale page pixels per clip pixel.
    double limit = SIGNATURE_MAX_SCALE * pad / fit;
    int side = clip ? (clip->width > clip->height ? clip->width : clip->height) : 0;
    if (side > 0 && FIELD_CLIP_MAX_SIDE * pad / (fit * side) < limit)
        limit = FIELD_CLIP_MAX_SIDE * pad / (fit * side);
    // A hair below the bound, so that the float product stored at OK stays within it.
    return limit * 0.9999;
}

int GetSigPadRect(HWND dialog, RECT *out)
{
    SetRectEmpty(out);
    HWND pad = GetDlgItem(dialog, IDC_SIG_PAD);
    if (!pad)
        return 0;
    GetClientRect(pad, out);
    MapWindowPoints(pad, dialog, (POINT *)out, 2);
    return 1;
}

HBITMAP SetStaticBitmap(HWND control, HBITMAP bitmap)
{
    if (!control)
        return NULL;
    HBITMAP old = (HBITMAP)SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap);
    if (old && old != bitmap)
        DeleteObject(old);
    HBITMAP shown = (HBITMAP)SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0);
    // A control that made a copy of its own keeps only that copy.
    if (bitmap && shown != bitmap)
        DeleteObject(bitmap);
    return shown;
}

HBITMAP ScaleSignatureBitmap(SigCaptureRequest *request, float scale)
{
    if (!request->signatureBitmap)
        return NULL;
    HBITMAP copy = DibToDdb(request->signatureBitmap);
    if (!copy)
        return NULL;
    if (scale <= 0.0f || scale == 1.0f)
        return copy;
    int width = 0, height = 0;
    GetBitmapSize(copy, &width, &height);
    // Rounded sizes: a scale that is 1 but for float rounding (a stored scale times the pad's)
    // keeps the bitmap as it is instead of resampling it a pixel smaller.
    RECT fit = {0, 0, (LONG)(width * (double)scale + 0.5), (LONG)(height * (double)scale + 0.5)};
    if (fit.right < 1) fit.right = 1;
    if (fit.bottom < 1) fit.bottom = 1;
    if (fit.right == width && fit.bottom == height)
        return copy;
    HBITMAP scaled = FitBitmapToRect(&fit, copy, NULL, 1);
    if (!scaled) {
        DeleteObject(copy);
        return NULL;
    }
    return scaled;
}

void DrawSignatureMarker(HDC dc, HBITMAP signature, int x, int y, RECT *markerOut, HWND dialog)
{
    int w = 0, h = 0;
    if (!dc || !GetBitmapSize(signature, &w, &h))
        return;
    HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HPEN grey = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    HBRUSH fill = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ oldPen = SelectObject(dc, blue);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, x, y, x + w, y + h, 5, 5);
    SelectObject(dc, grey);
    Ellipse(dc, x + w - 8, y + h - 8, x + w + 8, y + h + 8);
    SelectObject(dc, blue);
    SelectObject(dc, fill);
    Ellipse(dc, x + w - 5, y + h - 5, x + w + 5, y + h + 5);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(blue);
    DeleteObject(grey);
    DeleteObject(fill);
    if (markerOut) {
        SetRect(markerOut, x + w - 8, y + h - 8, x + w + 8, y + h + 8);
        RECT pad;
        if (dialog && GetSigPadRect(dialog, &pad))
            OffsetRect(markerOut, pad.left, pad.top);
    }
}

HBITMAP RenderSignature(SigCaptureRequest *request, HWND dialog, int withMarker)
{
    if (!request->padBackground || !request->signatureBitmap)
        return NULL;
    HBITMAP image = DibToDdb(request->padBackground);
    if (!image)
        return NULL;
    HBITMAP signature = ScaleSignatureBitmap(request, request->userScale);
    if (signature) {
        BlitBitmapOnto(image, signature, request->offsetX, request->offsetY, SRCAND);
        if (withMarker) {
            HDC dc = CreateCompatibleDC(NULL);
            HGDIOBJ old = SelectObject(dc, image);
            DrawSignatureMarker(dc, signature, request->offsetX, request->offsetY, &request->marker, dialog);
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        DeleteObject(signature);
    }
    return image;
}

void ShowSignatureOnPad(HWND dialog, SigCaptureRequest *request, int withMarker)
{
    HBITMAP image = RenderSignature(request, dialog, withMarker);
    if (image)
        gSigState.padImage = SetStaticBitmap(GetDlgItem(dialog, IDC_SIG_PAD), image);
}

void ShowPadBackground(HWND dialog, SigCaptureRequest *request)
{
    HBITMAP image = request->padBackground ? DibToDdb(request->padBackground) : NULL;
    if (image)
        gSigState.padImage = SetStaticBitmap(GetDlgItem(dialog, IDC_SIG_PAD), image);
}
