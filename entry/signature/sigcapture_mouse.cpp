// sigcapture_mouse.cpp - the mouse on the signature pad: moving and sizing a placed signature
// (previews drawn straight onto the pad's screen) and drawing strokes on the canvas.
#include "entry/signature/signature_private.h"

SigCaptureState gSigState;

void ResetSignatureModes(void)
{
    gSigState.moving = 0;
    gSigState.sizing = 0;
    gSigState.locked = 0;
}

// Draws padBackground with the signature scaled by scale ANDed at (x, y) and the marker onto
// the pad's screen; the marker box follows.
static void DrawSignaturePreview(HWND pad, HWND dialog, SigCaptureRequest *request, int x, int y, float scale)
{
    HBITMAP image = request->padBackground ? DibToDdb(request->padBackground) : NULL;
    HBITMAP signature = ScaleSignatureBitmap(request, scale);
    if (image && signature) {
        BlitBitmapOnto(image, signature, x, y, SRCAND);
        int width = 0, height = 0;
        GetBitmapSize(image, &width, &height);
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, image);
        DrawSignatureMarker(dc, signature, x, y, &request->marker, dialog);
        HDC screen = GetDC(pad);
        BitBlt(screen, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        ReleaseDC(pad, screen);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    if (image)
        DeleteObject(image);
    if (signature)
        DeleteObject(signature);
}

void BeginSignatureMove(HWND pad, HWND dialog)
{
    SigCaptureRequest *request = GetSigRequest(dialog);
    if (!request)
        return;
    DrawSignaturePreview(pad, dialog, request, request->offsetX, request->offsetY, request->userScale);
    SetCapture(dialog);
}

void PreviewSignatureMove(HWND pad, HWND dialog, int x, int y)
{
    SigCaptureRequest *request = GetSigRequest(dialog);
    if (!request)
        return;
    DrawSignaturePreview(pad, dialog, request, request->offsetX + x - gSigState.start.x,
                         request->offsetY + y - gSigState.start.y, request->userScale);
}

void EndSignatureDrag(HWND pad, HWND dialog, int x, int y)
{
    SigCaptureRequest *request = GetSigRequest(dialog);
    if (request) {
        request->offsetX += x - gSigState.start.x;
        request->offsetY += y - gSigState.start.y;
    }
    ReleaseCapture();
    gSigState.moving = 0;
    // The pad keeps the placement, so a repaint shows the signature where it was dropped.
    if (request)
        ShowSignatureOnPad(dialog, request, 1);
}

void PreviewSignatureResize(HWND pad, HWND dialog, int x, int y)
{
    SigCaptureRequest *request = GetSigRequest(dialog);
    int w = 0, h = 0;
    if (!request || !GetBitmapSize(request->signatureBitmap, &w, &h) || w <= 0 || h <= 0)
        return;
    double rx = (double)(w + x - gSigState.start.x) / w;
    double ry = (double)(h + y - gSigState.start.y) / h;
    double ratio = (x > gSigState.start.x || y > gSigState.start.y) ? (rx > ry ? rx : ry) : (rx < ry ? rx : ry);
    double scale = request->userScale != 0.0f ? request->userScale * ratio : ratio;
    // A drag past the signature's own corner would turn it inside out: a size below two pixels
    // on either side is not offered.
    if (!(scale > 0.0) || w * scale < 2.0 || h * scale < 2.0)
        return;
    // Larger than the stored form can hold: the signature stops growing at the largest size the
    // page, print and PDF readers accept, so what is shown is what is stored.
    double limit = GetSignatureScaleLimit(request);
    if (scale > limit)
        scale = limit;
    request->pendingScale = (float)scale;
    DrawSignaturePreview(pad, dialog, request, request->offsetX, request->offsetY, request->pendingScale);
}

void EndSignatureResize(HWND pad, HWND dialog)
{
    SigCaptureRequest *request = GetSigRequest(dialog);
    if (request) {
        if (request->pendingScale > 0.0f)
            request->userScale = request->pendingScale;
        request->pendingScale = 0.0f;
    }
    ReleaseCapture();
    gSigState.sizing = 0;
    if (request)
        ShowSignatureOnPad(dialog, request, 1);
}

// Copies the whole canvas onto the pad's screen with AND: the pad image stays under the ink.
static void ShowCanvasOnPad(HWND pad, SigCaptureRequest *request)
{
    int width = 0, height = 0;
    if (!request->strokeDc || !GetBitmapSize(request->strokeBitmap, &width, &height))
        return;
    HDC screen = GetDC(pad);
    BitBlt(screen, 0, 0, width, height, request->strokeDc, 0, 0, SRCAND);
    ReleaseDC(pad, screen);
}

static int CreateSignatureCanvas(HWND pad, SigCaptureRequest *request)
{
    int width = 0, height = 0;
    if (!GetBitmapSize(request->padBackground, &width, &height))
        return 0;
    HDC padDc = GetDC(pad);
    request->strokeDc = CreateCompatibleDC(padDc);
    ReleaseDC(pad, padDc);
    request->strokeBitmap = CreateDibBitmap(width, height, 1, WHITENESS, NULL, NULL);
    request->strokePen = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
    if (!request->strokeDc || !request->strokeBitmap || !request->strokePen) {
        FreeSignatureCanvas(request);
        return 0;
    }
    request->strokeOldBitmap = (HBITMAP)SelectObject(request->strokeDc, request->strokeBitmap);
    request->strokeOldPen = (HPEN)SelectObject(request->strokeDc, request->strokePen);
    return 1;
}

void FreeSignatureCanvas(SigCaptureRequest *request)
{
    if (request->strokeDc) {
        if (request->strokeOldBitmap)
            SelectObject(request->strokeDc, request->strokeOldBitmap);
        if (request->strokeOldPen)
            SelectObject(request->strokeDc, request->strokeOldPen);
        DeleteDC(request->strokeDc);
    }
    if (request->strokeBitmap)
        DeleteObject(request->strokeBitmap);
    if (request->strokePen)
        DeleteObject(request->strokePen);
    request->strokeDc = NULL;
    request->strokeBitmap = request->strokeOldBitmap = NULL;
    request->strokePen = request->strokeOldPen = NULL;
}

// The line from the last point to (x, y) on the canvas, in pad coordinates.
static void DrawCanvasLine(SigCaptureRequest *request, const RECT *pad, int x, int y)
{
    MoveToEx(request->strokeDc, gSigState.last.x - pad->left, gSigState.last.y - pad->top, NULL);
    LineTo(request->strokeDc, x - pad->left, y - pad->top);
}

void ExtendSignatureStroke(HWND pad, HWND dialog, int x, int y)
{
    SigCaptureRequest *request = GetSigRequest(dialog);
    RECT padRect;
    if (!request || !GetSigPadRect(dialog, &padRect))
        return;
    if (!request->strokeDc && !CreateSignatureCanvas(pad, request))
        return;
    DrawCanvasLine(request, &padRect, x, y);
    ShowCanvasOnPad(pad, request);
    gSigState.last.x = x;
    gSigState.last.y = y;
}

void DrawSignatureStroke(HWND pad, HWND dialog, int x, int y)
{
    SigCaptureRequest *request = GetSigRequest(dialog);
    RECT padRect;
    if (request && request->strokeDc && GetSigPadRect(dialog, &padRect)) {
        POINT point = {x, y};
        if (PtInRect(&padRect, point) && PtInRect(&padRect, gSigState.last)) {
            DrawCanvasLine(request, &padRect, x, y);
            ShowCanvasOnPad(pad, request);
        }
    }
    gSigState.strokeActive = 0;
    gSigState.last.x = gSigState.last.y = 0;
}

void OnSignatureMouse(HWND dialog, UINT message, int x, int y)
{
    SigCaptureRequest *request = GetSigRequest(dialog);
    HWND pad = GetDlgItem(dialog, IDC_SIG_PAD);
    RECT padRect;
    if (!request || !pad || !GetSigPadRect(dialog, &padRect))
        return;
    POINT point = {x, y};
    int inPad = PtInRect(&padRect, point);
    if (gSigState.drawing) {
        if (message == WM_LBUTTONDOWN && inPad) {
            gSigState.strokeActive = 1;
            gSigState.last = point;
        } else if (message == WM_MOUSEMOVE && gSigState.strokeActive && inPad && PtInRect(&padRect, gSigState.last)) {
            ExtendSignatureStroke(pad, dialog, x, y);
        } else if (message == WM_LBUTTONUP) {
            DrawSignatureStroke(pad, dialog, x, y);
        }
        return;
    }
    if (message == WM_LBUTTONDOWN) {
        if (!request->hasSignature || gSigState.locked)
            return;
        // The handle reaches 8 pixels past the signature's corner, also past the pad's edge.
        if (PtInRect(&request->marker, point))
            gSigState.sizing = 1;
        else if (inPad)
            gSigState.moving = 1;
        else
            return;
        gSigState.start = point;
        request->pendingScale = 0.0f;
        BeginSignatureMove(pad, dialog);
    } else if (message == WM_MOUSEMOVE) {
        if (gSigState.moving)
            PreviewSignatureMove(pad, dialog, x, y);
        else if (gSigState.sizing)
            PreviewSignatureResize(pad, dialog, x, y);
    } else if (message == WM_LBUTTONUP) {
        if (gSigState.moving)
            EndSignatureDrag(pad, dialog, x, y);
        else if (gSigState.sizing)
            EndSignatureResize(pad, dialog);
    }
}
