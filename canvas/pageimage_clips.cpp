// pageimage_clips.cpp - saved field backgrounds ("qvbb" blocks of a 1-bit bitmap): the three
// clip slots of the page last built from a BMP, building and restoring them, the list of tagged
// fields, and the stored signature images that share the block layout.
#include "canvas/canvas.h"
#include "prepare/prepare.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

FieldClip *gFieldClips[FIELD_CLIP_SLOTS];

static int GetClipRowBytes(int width)
{
    return (width + 15) / 16 * 2;
}

FieldClip *SaveFieldClip(HBITMAP bitmap, int fieldIndex)
{
    if (!bitmap) return NULL;
    CanvasBits bits;
    if (!GetCanvasBits(bitmap, &bits) || bits.bitsPerPixel != 1 || bits.width <= 0 || bits.height <= 0) return NULL;
    int rowBytes = GetClipRowBytes(bits.width);
    size_t size = (size_t)rowBytes * bits.height;
    FieldClip *clip = (FieldClip *)MemAlloc(64, sizeof(FieldClip) + size);
    if (!clip) return NULL;
    memcpy(clip->magic, FIELD_CLIP_MAGIC, 4);
    clip->width = bits.width;
    clip->height = bits.height;
    clip->rowBytes = rowBytes;
    clip->fieldIndex = fieldIndex;
    clip->size = (uint32_t)size;
    GdiFlush();
    unsigned char *out = (unsigned char *)(clip + 1);
    for (int y = 0; y < bits.height; y++) memcpy(out + (size_t)y * rowBytes, CanvasRow(bits, y), (size_t)rowBytes);
    return clip;
}

FieldClip *SaveFieldBackground(HBITMAP pageBitmap, const FieldTable *table, int fieldIndex)
{
    if (!pageBitmap || !table || fieldIndex <= 0 || fieldIndex >= table->count) return NULL;
    const FieldRecord *field = &table->fields[fieldIndex];
    if (!field->rect) return NULL;
    int width = 0, height = 0;
    if (!GetBitmapSize(pageBitmap, &width, &height)) return NULL;
    RECT rect = *field->rect;
    RECT page = {0, 0, width, height};
    if (!IntersectRect(&rect, &rect, &page)) return NULL;
    HBITMAP copy = CopyBitmapRegion(pageBitmap, &rect);
    FieldClip *clip = SaveFieldClip(copy, fieldIndex);
    if (copy) DeleteObject(copy);
    return clip;
}

int IsValidClipBlock(const void *block, uint32_t length)
{
    if (!block || length < sizeof(FieldClip)) return 0;
    const FieldClip *clip = (const FieldClip *)block;
    if (memcmp(clip->magic, FIELD_CLIP_MAGIC, 4) != 0) return 0;
    if (clip->width <= 0 || clip->height <= 0 || clip->width > FIELD_CLIP_MAX_SIDE || clip->height > FIELD_CLIP_MAX_SIDE)
        return 0;
    if (clip->rowBytes < GetClipRowBytes(clip->width) || clip->rowBytes > FIELD_CLIP_MAX_SIDE) return 0;
    uint64_t size = (uint64_t)clip->rowBytes * (uint64_t)clip->height;
    if (clip->size != size || size > length - sizeof(FieldClip)) return 0;
    return 1;
}

HBITMAP CreateBitmapFromClip(const FieldClip *clip)
{
    if (!clip || !IsValidClipBlock(clip, sizeof(FieldClip) + clip->size)) return NULL;
    HBITMAP bitmap = CreateDibBitmap(clip->width, clip->height, 1, WHITENESS, NULL, NULL);
    CanvasBits bits;
    if (!bitmap || !GetCanvasBits(bitmap, &bits)) {
        if (bitmap) DeleteObject(bitmap);
        return NULL;
    }
    GdiFlush();
    const unsigned char *in = (const unsigned char *)(clip + 1);
    int copyBytes = (clip->width + 7) / 8;
    for (int y = 0; y < clip->height; y++) memcpy(CanvasRow(bits, y), in + (size_t)y * clip->rowBytes, (size_t)copyBytes);
    return bitmap;
}

FieldClip *FindFieldClip(int fieldIndex)
{
    for (int i = 0; i < FIELD_CLIP_SLOTS; i++)
        if (gFieldClips[i] && gFieldClips[i]->fieldIndex == fieldIndex) return gFieldClips[i];
    return NULL;
}

HBITMAP CreateBitmapForFieldClip(int fieldIndex)
{
    FieldClip *clip = FindFieldClip(fieldIndex);
    return clip ? CreateBitmapFromClip(clip) : NULL;
}

int RestoreFieldBackground(HDC dc, const RECT *rect, int fieldIndex)
{
    if (!dc || fieldIndex < 0) return 0;
    HBITMAP background = CreateBitmapForFieldClip(fieldIndex);
    if (!background) return 0;
    int width = 0, height = 0;
    GetBitmapSize(background, &width, &height);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, background);
    int x = rect ? rect->left : 0, y = rect ? rect->top : 0;
    BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(background);
    return 1;
}

void FreeFieldClips(void)
{
    for (int i = 0; i < FIELD_CLIP_SLOTS; i++) gFieldClips[i] = (FieldClip *)MemFree(gFieldClips[i]);
}

void SwapFieldClips(FieldClip *saved[FIELD_CLIP_SLOTS])
{
    for (int i = 0; i < FIELD_CLIP_SLOTS; i++) {
        FieldClip *keep = gFieldClips[i];
        gFieldClips[i] = saved[i];
        saved[i] = keep;
    }
}

int CollectTaggedFields(const FieldTable *table, char *list, int listSize)
{
    if (!table || !table->fields || !list || listSize <= 0) return 0;
    int added = 0;
    size_t length = strnlen(list, (size_t)listSize);
    if (length >= (size_t)listSize) return 0;
    for (int i = 1; i < table->count; i++) {
        const FieldRecord *field = &table->fields[i];
        const char *type = field->typeCode;
        if (!field->rect || !type) continue;
        if (strcmp(type, "T[1x]") && strcmp(type, "T[2x]") && strcmp(type, "T[1w]") && strcmp(type, "T[2w]") &&
            strcmp(type, "S[sig]"))
            continue;
        char item[16];
        int itemLength = snprintf(item, sizeof(item), "%s%d", length ? "," : "", i);
        if (itemLength <= 0 || length + (size_t)itemLength >= (size_t)listSize) break;   // the list is full
        memcpy(list + length, item, (size_t)itemLength + 1);
        length += (size_t)itemLength;
        added = 1;
    }
    return added;
}

// Reads a stored signature image block: 1 with its geometry when it is sound.
int ReadSignatureImage(const void *image, uint32_t length, float *scaleOut, int *xOut, int *yOut)
{
    if (!IsValidClipBlock(image, length)) return 0;
    const FieldClip *clip = (const FieldClip *)image;
    float scale;
    memcpy(&scale, &clip->type, 4);
    if (!(scale > 0.0f) || !isfinite(scale) || scale > SIGNATURE_MAX_SCALE) return 0;
    int16_t offsets[2];
    memcpy(offsets, &clip->unused, 4);
    if (offsets[0] < -FIELD_CLIP_MAX_SIDE || offsets[0] > FIELD_CLIP_MAX_SIDE || offsets[1] < -FIELD_CLIP_MAX_SIDE ||
        offsets[1] > FIELD_CLIP_MAX_SIDE)
        return 0;
    double w = clip->width * (double)scale, h = clip->height * (double)scale;
    if (w < 1 || h < 1 || w > FIELD_CLIP_MAX_SIDE || h > FIELD_CLIP_MAX_SIDE) return 0;
    if (scaleOut) *scaleOut = scale;
    if (xOut) *xOut = offsets[0];
    if (yOut) *yOut = offsets[1];
    return 1;
}

int DrawSignatureImage(HDC dc, const RECT *rect, const void *image, uint32_t imageLength, int invert)
{
    float scale = 0;
    int offsetX = 0, offsetY = 0;
    if (!dc || !ReadSignatureImage(image, imageLength, &scale, &offsetX, &offsetY)) return 0;
    const FieldClip *clip = (const FieldClip *)image;
    HBITMAP mono = CreateBitmapFromClip(clip);
    if (!mono) return 0;
    int width = (int)(clip->width * scale), height = (int)(clip->height * scale);
    HBITMAP scaled = ResizeBitmap(mono, width, height);
    DeleteObject(mono);
    if (!scaled) return 0;
    // Resampling leaves near-white pixels: make them white so the AND leaves the page clean.
    BITMAPINFO info;
    memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    int stride = (width * 3 + 3) & ~3;
    unsigned char *pixels = (unsigned char *)MemAlloc(64, (size_t)stride * height);
    HDC screen = GetDC(NULL);
    if (pixels && GetDIBits(screen, scaled, 0, (UINT)height, pixels, &info, DIB_RGB_COLORS)) {
        for (int y = 0; y < height; y++) {
            unsigned char *p = pixels + (size_t)y * stride;
            for (int x = 0; x < width; x++, p += 3)
                if (p[0] == 254 && p[1] == 254 && p[2] == 254) p[0] = p[1] = p[2] = 255;
        }
        SetDIBits(screen, scaled, 0, (UINT)height, pixels, &info, DIB_RGB_COLORS);
    }
    ReleaseDC(NULL, screen);
    MemFree(pixels);

    int x = rect ? rect->left : 0, y = rect ? rect->top : 0;
    RestoreFieldBackground(dc, rect, clip->fieldIndex);
    // Within the field's rectangle only, as the signature dialog and the field's redraw show it:
    // a signature moved partly off the field must not ink the form around it.
    RECT target = {x + offsetX, y + offsetY, x + offsetX + width, y + offsetY + height};
    if (rect && !IntersectRect(&target, &target, rect))
        SetRectEmpty(&target);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, scaled);
    if (!IsRectEmpty(&target))
        BitBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, source,
               target.left - (x + offsetX), target.top - (y + offsetY), SRCAND);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(scaled);
    if (invert && rect)
        InvertPageRect(dc, rect);
    return 1;
}

int InvertPageRect(HDC dc, const RECT *rect)
{
    int w = rect ? rect->right - rect->left : 0, h = rect ? rect->bottom - rect->top : 0;
    if (w <= 0 || h <= 0)
        return 0;
    // Through a 24-bit copy: inverting in place on a palette bitmap would map to the palette.
    HBITMAP work = CreateDibBitmap(w, h, 24, WHITENESS, NULL, NULL);
    if (!work)
        return 0;
    HDC workDc = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(workDc, work);
    BitBlt(workDc, 0, 0, w, h, dc, rect->left, rect->top, SRCCOPY);
    BitBlt(dc, rect->left, rect->top, w, h, workDc, 0, 0, NOTSRCCOPY);
    SelectObject(workDc, old);
    DeleteDC(workDc);
    DeleteObject(work);
    return 1;
}
