// signature_private.h - private declarations of the signature dialog, shared by
// entry/signature/sigcapture_*.cpp.
#ifndef LEVYLINE_ENTRY_SIGNATURE_PRIVATE_H
#define LEVYLINE_ENTRY_SIGNATURE_PRIVATE_H

#include "entry/signature/signature.h"

// Dialog-wide state (one signature dialog exists at a time).
struct SigCaptureState {
    int moving, sizing, drawing, strokeActive, locked;
    POINT start;                 // where a move or size began (dialog client coordinates)
    POINT last;                  // last point of the current stroke (dialog client coordinates)
    HBITMAP padImage;            // the bitmap set as the pad's image
    HICON icons[3];              // OK, Apply, Cancel
    // The stored placement the dialog opened with: OK without a move or size stores it back
    // exactly, so a reopened signature never creeps by rounding.
    int openedStored;
    int32_t openOffsetX, openOffsetY;       // pad pixels at opening
    int32_t storedOffsetX, storedOffsetY;   // page pixels as stored
    float openUserScale;
    float openStoredScale;
};
extern SigCaptureState gSigState;
// The dialog's own request to the edit bar for a typed signature.
extern EditRequest gSigEditRequest;

#define SIG_INSTRUCTION_START "Click a button (File, Draw or Type) to specify how you want to enter your signature."
#define SIG_INSTRUCTION_PLACE \
    "Use your mouse to move or size the signature. Click \"Apply\" to lock your changes."
#define SIG_TITLE_INVALID "Invalid Signature File"

// ---- dialog helpers (sigcapture_dlg.cpp) ----
SigCaptureRequest *GetSigRequest(HWND dialog);
void SetSigInstruction(HWND dialog, const char *text);
// Toolbar button on (enabled) or off (indeterminate); checked for the check buttons.
void SetSigButton(SigCaptureRequest *request, int command, int on);
void CheckSigButton(SigCaptureRequest *request, int command, int checked);
int IsSigButtonOn(SigCaptureRequest *request, int command);
// OK and Apply enabled, Apply the default button (a new signature is placed).
void EnterPlacedState(HWND dialog, SigCaptureRequest *request);
// Places a new signature: 10 pixels from the left (when narrower than limitWidth - 10 and
// offsetX is below 10) and its bottom on the baseline (when shorter than the baseline row).
void PlaceNewSignature(SigCaptureRequest *request, int limitWidth);

// ---- the pad (sigcapture_pad.cpp) ----
// The pad's client rectangle in dialog client coordinates.
int GetSigPadRect(HWND dialog, RECT *out);
HBITMAP SetStaticBitmap(HWND control, HBITMAP bitmap);
// signatureBitmap scaled by scale (0 counts as 1) as a new device-dependent bitmap, or null.
HBITMAP ScaleSignatureBitmap(SigCaptureRequest *request, float scale);
void DrawSignatureMarker(HDC dc, HBITMAP signature, int x, int y, RECT *markerOut, HWND dialog);
HBITMAP RenderSignature(SigCaptureRequest *request, HWND dialog, int withMarker);
// The pad image rebuilt by RenderSignature and set on the pad.
void ShowSignatureOnPad(HWND dialog, SigCaptureRequest *request, int withMarker);
// The pad image a copy of padBackground (no signature).
void ShowPadBackground(HWND dialog, SigCaptureRequest *request);

// The largest userScale whose stored block the page, print and PDF readers accept (stored
// scale at most SIGNATURE_MAX_SCALE, the signature at most FIELD_CLIP_MAX_SIDE page pixels).
double GetSignatureScaleLimit(const SigCaptureRequest *request);

// ---- the mouse (sigcapture_mouse.cpp) ----
void ResetSignatureModes(void);
void BeginSignatureMove(HWND pad, HWND dialog);
void PreviewSignatureMove(HWND pad, HWND dialog, int x, int y);
void EndSignatureDrag(HWND pad, HWND dialog, int x, int y);
void PreviewSignatureResize(HWND pad, HWND dialog, int x, int y);
void EndSignatureResize(HWND pad, HWND dialog);
void ExtendSignatureStroke(HWND pad, HWND dialog, int x, int y);
void DrawSignatureStroke(HWND pad, HWND dialog, int x, int y);
// Releases the drawing canvas.
void FreeSignatureCanvas(SigCaptureRequest *request);
// WM_LBUTTONDOWN, WM_MOUSEMOVE and WM_LBUTTONUP of the dialog (client coordinates).
void OnSignatureMouse(HWND dialog, UINT message, int x, int y);

// ---- sources (sigcapture_file.cpp, sigcapture_modes.cpp) ----
// File: path (null: ask with the file dialog). 1 when a signature was loaded.
int LoadSignatureFile(HWND dialog, SigCaptureRequest *request, const char *path);
// The recent-files menu under the File button's arrow; sends the chosen file on.
void ShowRecentSignatureMenu(HWND dialog, SigCaptureRequest *request, const RECT *buttonRect);
// Command 40035 + k: loads the k-th recent signature file (the file dialog when it is missing).
void OpenRecentSignature(HWND dialog, SigCaptureRequest *request, int k);
void ToggleSignatureDraw(HWND dialog, SigCaptureRequest *request);
void TypeSignature(HWND dialog, SigCaptureRequest *request);
void ClearSignature(HWND dialog, SigCaptureRequest *request);
void ApplySignature(HWND dialog, SigCaptureRequest *request);
// OK: the stored scale (and, unchanged, the opening placement); ends the dialog with 1.
void AcceptSignature(HWND dialog, SigCaptureRequest *request);
// The offsets to store, in page pixels.
void GetStoredSignatureOffsets(const SigCaptureRequest *request, int16_t *x, int16_t *y);

#endif
