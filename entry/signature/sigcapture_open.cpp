// sigcapture_open.cpp - the page view's road to the signature dialog: the request filled from
// the field, the dialog run, and the result stored in the field's signature word.
#include "entry/signature/signature_private.h"
#include "ui/ui.h"

#include <string.h>

// Writes the placement into the dialog's signature block and stores a copy of it (by its
// length) in the field; the field's word then owns its own block.
static void StoreSignature(SigCaptureRequest *request)
{
    FieldClip *clip = request->signatureClip;
    uint32_t length = (uint32_t)sizeof(FieldClip) + clip->size;
    FieldClip *block = clip;
    if ((char *)clip == *request->signatureSlot) {
        block = (FieldClip *)MemAlloc(64, length);
        if (!block)
            return;
        memcpy(block, clip, length);
    }
    memcpy(&block->type, &request->storedScale, 4);
    block->fieldIndex = request->backgroundIndex;
    int16_t offsets[2];
    GetStoredSignatureOffsets(request, &offsets[0], &offsets[1]);
    memcpy(&block->unused, offsets, 4);
    SetFieldBlob(request->signatureSlot, block, length);
    MemFree(block);
    request->signatureClip = NULL;
}

INT_PTR OpenSigCaptureDialog(HWND owner, FieldRecord *field, int fieldIndex)
{
    if (!field || !field->typeCode || strcmp(field->typeCode, "S[sig]") != 0)
        return 0;
    SigCaptureRequest request;
    memset(&request, 0, sizeof(request));
    request.field = field;
    request.backgroundIndex = fieldIndex;
    request.signatureSlot = &field->second;
    float scale = 0.0f;
    int x = 0, y = 0;
    if (field->second && ReadSignatureImage(field->second, GetFieldSecondLength(field), &scale, &x, &y)) {
        request.signatureClip = (FieldClip *)field->second;
        request.storedScale = scale;
        request.offsetX = x;
        request.offsetY = y;
        request.hadSignature = 1;
    }
    INT_PTR result = RunModalDialog(gInstance, "SIGCAPTURE", owner ? owner : gMainWindow, SigCaptureDlgProc,
                                    (LPARAM)&request);
    if (result == 1 && request.hasSignature && request.signatureClip)
        StoreSignature(&request);
    else if (request.signatureClip && (char *)request.signatureClip != field->second)
        MemFree(request.signatureClip);
    return result == 1 ? 1 : 0;
}
