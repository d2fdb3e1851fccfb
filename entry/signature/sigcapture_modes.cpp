// sigcapture_modes.cpp - the signature dialog's sources and endings: drawing with the mouse,
// typing in the edit bar, Clear, Apply and OK.
#include "entry/signature/signature_private.h"
#include "entry/editbar/editbar.h"
#include "ui/ui.h"

#include <string.h>

EditRequest gSigEditRequest;

void PlaceNewSignature(SigCaptureRequest *request, int limitWidth)
{
    int width = 0, height = 0;
    if (!GetBitmapSize(request->signatureBitmap, &width, &height))
        return;
    if (width < limitWidth - 10 && request->offsetX < 10)
        request->offsetX = 10;
    if (height < request->baseline)
        request->offsetY = request->baseline - height;
}

// A signature made at pad resolution (drawn or typed) becomes the dialog's signature.
static void UsePadSignature(HWND dialog, SigCaptureRequest *request, HBITMAP bitmap)
{
    if (request->signatureClip && (!request->signatureSlot || (char *)request->signatureClip != *request->signatureSlot))
        MemFree(request->signatureClip);
    if (request->signatureBitmap)
        DeleteObject(request->signatureBitmap);
    request->signatureBitmap = bitmap;
    request->signatureClip = SaveFieldClip(bitmap, 0);
    request->fitScale = 1.0f;    // drawn and typed signatures are not shrunk to the pad
    request->userScale = 0.0f;
    request->hasSignature = request->signatureClip != NULL;
}

static int GetPadWidth(SigCaptureRequest *request)
{
    int width = 0, height = 0;
    GetBitmapSize(request->padBackground, &width, &height);
    return width;
}

void ToggleSignatureDraw(HWND dialog, SigCaptureRequest *request)
{
    if (!gSigState.drawing) {
        SetSigButton(request, IDM_SIG_FILE, 0);
        SetSigButton(request, IDM_SIG_TYPE, 0);
        CheckSigButton(request, IDM_SIG_DRAW, 1);
        gSigState.drawing = 1;
        SetSigInstruction(dialog, "Draw your signature with your mouse. Click the \"Draw\" button again when complete.");
        return;
    }
    gSigState.drawing = 0;
    gSigState.strokeActive = 0;
    CheckSigButton(request, IDM_SIG_DRAW, 0);
    if (request->strokeDc) {
        POINT origin = {0, 0};
        HBITMAP cropped = CropBitmapToInk(request->strokeDc, request->strokeBitmap, &origin);
        if (cropped) {
            UsePadSignature(dialog, request, cropped);
            request->offsetX = origin.x;
            request->offsetY = origin.y;
            PlaceNewSignature(request, GetPadWidth(request));
            ShowSignatureOnPad(dialog, request, 1);
            SetSigButton(request, IDM_SIG_DRAW, 0);
            SetSigButton(request, IDM_SIG_CLEAR, 1);
            SetSigInstruction(dialog, SIG_INSTRUCTION_PLACE);
        }
    }
    if (request->hasSignature)
        EnterPlacedState(dialog, request);
    else
        ShowPadBackground(dialog, request);   // strokes without ink leave nothing behind
    FreeSignatureCanvas(request);
}

void TypeSignature(HWND dialog, SigCaptureRequest *request)
{
    SetSigButton(request, IDM_SIG_FILE, 0);
    SetSigButton(request, IDM_SIG_DRAW, 0);
    SetSigButton(request, IDM_SIG_CLEAR, 0);
    CheckSigButton(request, IDM_SIG_TYPE, 1);
    SetSigInstruction(dialog, "Type your signature, then press [Enter]. To exit, press [Esc].");

    // The edit bar parses a record of its own: free text of up to 40 characters. No field of the
    // page is named, so the signature field may be the last of its table and the typed text is
    // never checked against another field's type.
    static char seq[] = "SIG";
    static char description[] = "Signature";
    static char length[] = "40";
    static char typeCode[] = "*";
    static FieldRecord typedField;
    memset(&typedField, 0, sizeof(typedField));
    typedField.seq = seq;
    typedField.description = description;
    typedField.length = length;
    typedField.typeCode = typeCode;

    RECT pad = {0, 0, 0, 0};
    HWND padWindow = GetDlgItem(dialog, IDC_SIG_PAD);
    GetWindowRect(padWindow, &pad);
    OffsetRect(&pad, 10, (pad.top + request->baseline - 4) - pad.bottom);
    char caption[FORM_NAME_SIZE] = "";
    FormInstance *page = (FormInstance *)GetCurrentDocument(4);
    if (page && page->pageKey)
        FormatFormDisplayName(NULL, NULL, page->pageKey, caption, 2);

    EditRequest *edit = &gSigEditRequest;
    memset(edit, 0, sizeof(*edit));
    edit->field = &typedField;
    edit->fieldRect = pad;
    edit->caption = caption;
    edit->requester = padWindow;
    edit->requesterKind = EDIT_REQUESTER_SIGNATURE;
    edit->entryMode = EDIT_ENTRY_CLICK;
    edit->fontFace = "Segoe Script";
    edit->fontHeight = -20;
    edit->extraHeight = 10;
    INT_PTR accepted = RunModalEditBar(dialog, edit);
    CheckSigButton(request, IDM_SIG_TYPE, 0);

    HBITMAP typed = NULL;
    if (accepted && edit->text[0]) {
        // The whole name at the edit bar's height, made smaller when it would not fit the pad
        // between the 10-pixel margins of its first placement.
        SIZE size = {0, 0};
        int width = 0, height = 0;
        GetBitmapSize(request->padBackground, &width, &height);
        size.cx = width > 40 ? width - 20 : width;
        size.cy = height;
        typed = RenderTextBitmap(edit->text, &size, "Segoe Script", -20);
    }
    if (typed) {
        UsePadSignature(dialog, request, typed);
        if (request->offsetX == 0 && request->offsetY == 0)
            PlaceNewSignature(request, GetPadWidth(request));
        ShowSignatureOnPad(dialog, request, 1);
        SetSigInstruction(dialog, SIG_INSTRUCTION_PLACE);
        EnterPlacedState(dialog, request);
        SetSigButton(request, IDM_SIG_TYPE, 0);
        SetSigButton(request, IDM_SIG_CLEAR, 1);
        return;
    }
    // Esc, or a text without ink (blanks): back to the empty state.
    SetSigButton(request, IDM_SIG_FILE, 1);
    SetSigButton(request, IDM_SIG_DRAW, 1);
    SetSigButton(request, IDM_SIG_TYPE, 1);
    SetSigButton(request, IDM_SIG_CLEAR, 0);
    SetSigInstruction(dialog, SIG_INSTRUCTION_START);
}

void ClearSignature(HWND dialog, SigCaptureRequest *request)
{
    if (request->hadSignature &&
        ShowMessageBox(dialog,
                       "Are you sure you want to remove the signature? Removal will happen immediately and cannot be "
                       "un-done.\r\n\r\nClick \"OK\" to remove the signature or \"Cancel\" to keep it.",
                       "Confirm Signature Removal", MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDOK)
        return;
    ShowPadBackground(dialog, request);
    request->userScale = 0.0f;
    request->fitScale = 0.0f;    // a later drawn or typed signature is not shrunk by an old file's fit
    if (request->signatureBitmap)
        DeleteObject(request->signatureBitmap);
    request->signatureBitmap = NULL;
    if (request->signatureSlot && *request->signatureSlot && request->signatureClip &&
        (char *)request->signatureClip == *request->signatureSlot) {
        // The stored signature goes at once (the return is marked changed) and the page shows it.
        SetFieldText(request->signatureSlot, "");
        request->signatureClip = NULL;
        RedrawField(request->field);
    } else {
        request->signatureClip = (FieldClip *)MemFree(request->signatureClip);
    }
    request->offsetX = request->offsetY = 0;
    SetRectEmpty(&request->marker);
    request->hasSignature = 0;
    gSigState.openedStored = 0;
    ResetSignatureModes();
    SetSigButton(request, IDM_SIG_FILE, 1);
    SetSigButton(request, IDM_SIG_DRAW, 1);
    SetSigButton(request, IDM_SIG_TYPE, 1);
    SetSigButton(request, IDM_SIG_CLEAR, 0);
    EnableWindow(GetDlgItem(dialog, IDOK), request->hadSignature ? TRUE : FALSE);
    request->hadSignature = 0;
    EnableWindow(GetDlgItem(dialog, IDC_SIG_APPLY), FALSE);
    SendMessageA(dialog, DM_SETDEFID, IDCANCEL, 0);
    SetSigInstruction(dialog, SIG_INSTRUCTION_START);
}

void ApplySignature(HWND dialog, SigCaptureRequest *request)
{
    if (!request->hasSignature)
        return;
    ShowSignatureOnPad(dialog, request, 0);
    gSigState.locked = 1;
    SetRectEmpty(&request->marker);
    EnableWindow(GetDlgItem(dialog, IDC_SIG_APPLY), FALSE);
    SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
    SetSigInstruction(dialog, "Click \"OK\" to save your signature, \"Cancel\" to exit without saving.");
}

// The signature is where it was opened with: the same pad offsets and size.
static int IsOpeningPlacement(const SigCaptureRequest *request)
{
    return gSigState.openedStored && request->offsetX == gSigState.openOffsetX &&
           request->offsetY == gSigState.openOffsetY && request->userScale == gSigState.openUserScale;
}

void GetStoredSignatureOffsets(const SigCaptureRequest *request, int16_t *x, int16_t *y)
{
    if (IsOpeningPlacement(request)) {
        *x = (int16_t)gSigState.storedOffsetX;
        *y = (int16_t)gSigState.storedOffsetY;
        return;
    }
    double scale = request->padScale > 0.0f ? request->padScale : 1.0f;
    // Offsets beyond the page range would make the stored block unreadable: they are kept inside.
    int ox = RoundSignatureOffset(request->offsetX / scale), oy = RoundSignatureOffset(request->offsetY / scale);
    if (ox < -FIELD_CLIP_MAX_SIDE) ox = -FIELD_CLIP_MAX_SIDE;
    if (ox > FIELD_CLIP_MAX_SIDE) ox = FIELD_CLIP_MAX_SIDE;
    if (oy < -FIELD_CLIP_MAX_SIDE) oy = -FIELD_CLIP_MAX_SIDE;
    if (oy > FIELD_CLIP_MAX_SIDE) oy = FIELD_CLIP_MAX_SIDE;
    *x = (int16_t)ox;
    *y = (int16_t)oy;
}

void AcceptSignature(HWND dialog, SigCaptureRequest *request)
{
    if (request->hasSignature) {
        int unchanged = IsOpeningPlacement(request);
        if (request->userScale == 0.0f)
            request->userScale = 1.0f;
        if (request->fitScale == 0.0f)
            request->fitScale = 1.0f;
        float padScale = request->padScale > 0.0f ? request->padScale : 1.0f;
        if (!unchanged && request->userScale > GetSignatureScaleLimit(request))
            request->userScale = (float)GetSignatureScaleLimit(request);
        request->storedScale = unchanged ? gSigState.openStoredScale
                                         : (1.0f / padScale) * request->userScale * request->fitScale;
    }
    EndDialog(dialog, 1);
}
