// pageimage_bmp.cpp - form pages stored as compressed BMPs: the page's block of the page-bitmap
// record is expanded, its headers checked against the expanded length, the DIB made, the
// tagged fields' backgrounds saved and the fields painted.
#include "pages/pages.h"
#include "store/store.h"

#include <stdlib.h>
#include <string.h>

// Largest side of a stored page image we accept (a page is 2400 x 3168 at 300 dpi).
#define BMP_PAGE_MAX_SIDE 20000

HBITMAP CreateBitmapFromBmpFile(const uint8_t *data, uint32_t length)
{
    if (!data || length < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return NULL;
    if (data[0] != 'B' || data[1] != 'M') return NULL;
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    memcpy(&file, data, sizeof(file));
    memcpy(&info, data + sizeof(file), sizeof(info));
    if (info.biSize != sizeof(BITMAPINFOHEADER) || info.biPlanes != 1 || info.biCompression != BI_RGB) return NULL;
    int width = info.biWidth, height = info.biHeight;
    int absHeight = height < 0 ? -height : height;
    if (width <= 0 || absHeight <= 0 || width > BMP_PAGE_MAX_SIDE || absHeight > BMP_PAGE_MAX_SIDE) return NULL;
    int bits = info.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return NULL;
    uint32_t tableOffset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    uint32_t tableEntries = 0;
    RGBQUAD palette[256];
    memset(palette, 0, sizeof(palette));
    if (bits <= 8) {
        uint32_t full = 1u << bits;
        tableEntries = info.biClrUsed ? info.biClrUsed : full;
        if (tableEntries > full || tableOffset + tableEntries * sizeof(RGBQUAD) > length) return NULL;
        memcpy(palette, data + tableOffset, tableEntries * sizeof(RGBQUAD));
    }
    uint32_t imageSize = GetDibImageSize32(width, absHeight, bits);
    if (imageSize == 0) return NULL;
    uint32_t bitsOffset = file.bfOffBits;
    if (bitsOffset < tableOffset + tableEntries * sizeof(RGBQUAD) || bitsOffset > length ||
        imageSize > length - bitsOffset)
        return NULL;
    return CreateDibBitmap(width, height, bits, 0, data + bitsOffset, bits <= 8 ? palette : NULL);
}

// Saves the backgrounds of the page's tagged fields into the three clip slots (list order).
static void SaveTaggedBackgrounds(HBITMAP bitmap, const FieldTable *table)
{
    FreeFieldClips();
    char list[256] = "";
    if (!CollectTaggedFields(table, list, sizeof(list))) return;
    int slot = 0;
    for (const char *p = list; *p && slot < FIELD_CLIP_SLOTS;) {
        int index = atoi(p);
        FieldClip *clip = SaveFieldBackground(bitmap, table, index);
        if (clip) gFieldClips[slot++] = clip;
        p = strchr(p, ',');
        if (!p) break;
        p++;
    }
}

HBITMAP BuildPageImageFromBmp(const uint8_t *record, uint32_t recordLength, FormInstance *page)
{
    if (!record || !page || page->imageEnd < page->imageStart || page->imageStart < page->bmpOffset) return NULL;
    uint32_t start = page->imageStart - page->bmpOffset;
    uint32_t end = page->imageEnd - page->bmpOffset;   // inclusive
    if (end >= recordLength) return NULL;
    DWORD expandedLength = 0;
    uint8_t *expanded = (uint8_t *)UncompressBlock(record + start, end - start + 1, &expandedLength);
    if (!expanded) return NULL;
    HBITMAP bitmap = CreateBitmapFromBmpFile(expanded, expandedLength);
    MemFree(expanded);
    if (!bitmap) return NULL;
    if (page->fieldTable) {
        SaveTaggedBackgrounds(bitmap, page->fieldTable);
        DrawFieldData(NULL, bitmap, page->fieldTable->fields, page->fieldTable->count, NULL, RGB(255, 255, 255), 1,
                      0, page);
    }
    return bitmap;
}
