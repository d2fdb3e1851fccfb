// signature.h - signature capture: the "SIGCAPTURE" dialog that puts a signature (from an image
// file, drawn with the mouse or typed) into an "S[sig]" field, and the pixel rules it uses. Its
// template, toolbar and strings: resources/signature.rc.
#ifndef LEVYLINE_ENTRY_SIGNATURE_H
#define LEVYLINE_ENTRY_SIGNATURE_H

#include <windows.h>
#include <stdint.h>

#include "entry/signature/signature_ids.h"
#include "pages/pages.h"

// The dialog's parameter block: the caller fills field, backgroundIndex, signatureSlot,
// signatureClip and (for a stored signature) storedScale, offsetX, offsetY and hadSignature; the
// dialog writes its results back. Handles marked "dialog's own" are freed by the dialog.
struct SigCaptureRequest {
    FieldRecord *field;          // the "S[sig]" field
    int32_t backgroundIndex;     // its index in the page's field table (selects its background)
    HWND toolbar;                // dialog's own
    HBITMAP padBackground;       // dialog's own: the field's page background shrunk to the pad
    HBITMAP signatureBitmap;     // dialog's own: the signature at pad resolution, before userScale
    HDC strokeDc;                // the drawing canvas (first stroke until drawing ends)
    HBITMAP strokeBitmap;
    HBITMAP strokeOldBitmap;
    HPEN strokePen;
    HPEN strokeOldPen;
    FieldClip *signatureClip;    // in: the stored signature or null; out: the signature to store
    char **signatureSlot;        // the field's signature word
    float padScale;              // pad pixels per page pixel (at most 1)
    float fitScale;              // pad pixels per clip pixel of a loaded file; 0 counts as 1
    float userScale;             // the user's size factor on signatureBitmap; 0 counts as 1
    float pendingScale;          // the factor shown while the sizing handle is dragged
    float storedScale;           // page pixels per clip pixel (in and out)
    int32_t offsetX, offsetY;    // the signature's corner on the pad (in: page pixels)
    RECT marker;                 // the sizing handle in dialog client coordinates
    int32_t baseline;            // the pad row just below the printed signature line
    int32_t hasSignature;        // out: a signature is to be stored
    int32_t hadSignature;        // the field had a signature when the dialog opened
};

// The dialog procedure of "SIGCAPTURE" (creation parameter: SigCaptureRequest*). 1 after OK.
INT_PTR CALLBACK SigCaptureDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The page view's road to the dialog: runs it for field (index fieldIndex of the page shown)
// owned by owner and stores the result in the field (a signature block copied by its length,
// which marks the return changed). 1 after OK, 0 after Cancel or when the field is no signature
// field.
INT_PTR OpenSigCaptureDialog(HWND owner, FieldRecord *field, int fieldIndex);

// ---- pixel rules (no window needed) ----
// The row after the first row, from height / 2 down, that is not white from column 2 to
// width - 3; the height when every such row is white.
int FindSignatureBaseline(HBITMAP bitmap);
// 1 when an image's ink (box and share in percent) calls for the speck cleanup: less than 6
// percent ink running from edge to edge across the width or the height.
int NeedsSpeckCleanup(const RECT *ink, int percent, int width, int height);
// Whitens every patch of black (4-connected) that touches the border of a black-and-white
// 24-bit image (rows padded to 4 bytes); inner ink stays. Returns the pixels whitened, -1 when
// memory ran out.
int ClearBorderInk(unsigned char *bits, int width, int height);
// Rounds half away from zero; used both ways between page and pad pixels.
int RoundSignatureOffset(double value);
// The largest image side the dialog loads.
#define SIGNATURE_MAX_IMAGE_SIDE 4000

#endif
