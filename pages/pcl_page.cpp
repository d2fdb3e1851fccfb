// A form page's PCL stream: reading its record from the FormPak (or the page-data cache) and
// rendering its part of the record with the page's fields painted.
#include "pages/pages.h"
#include "ui/ui.h"
#include <string.h>

uint32_t ReadPageImageData(uint8_t *buffer, uint32_t bufferSize, FormInstance *page)
{
    if (!page) return 0;
    int bmp = page->imageSource == IMAGE_SOURCE_BMP;
    uint32_t offset = bmp ? page->bmpOffset : page->defOffset;
    uint32_t stored = bmp ? page->bmpLength : page->defLength;
    uint32_t method = bmp ? page->bmpMethod : page->defMethod;
    // The cache serves only the same record of the same FormPak.
    uint32_t length = 0;
    const uint8_t *cached = GetCachedPageData(gCachedPageSource, offset, stored, method, &length);
    if (cached && gCachedPageSource->path && page->formPakPath &&
        lstrcmpiA(gCachedPageSource->path, page->formPakPath) == 0) {
        if (!buffer) return length;
        uint32_t n = length < bufferSize ? length : bufferSize;
        memcpy(buffer, cached, n);
        if (n < bufferSize) buffer[n] = 0;
        return n;
    }
    return ReadFormPakRecord(page->formPakPath, offset, stored, method, page->taxYear, buffer, bufferSize);
}

static void PaintPageFields(HDC dc, HBITMAP bitmap, void *context)
{
    FormInstance *page = (FormInstance *)context;
    if (page->fieldTable && page->fieldTable->fields && page->fieldTable->count > 0)
        DrawFieldData(dc, NULL, page->fieldTable->fields, page->fieldTable->count, NULL, RGB(255, 255, 255), 0, 0,
                      page);
}

HBITMAP RenderPclPage(const uint8_t *record, uint32_t recordLength, FormInstance *page, HWND progress)
{
    if (!record || !page) return NULL;
    // The page's part of the record: [image start - record offset, image end - record offset),
    // kept inside the record's bytes.
    uint32_t start = page->imageStart >= page->defOffset ? page->imageStart - page->defOffset : 0;
    uint32_t end = page->imageEnd >= page->defOffset ? page->imageEnd - page->defOffset : 0;
    if (end > recordLength) end = recordLength;
    if (start >= end) return NULL;
    if (IsLandscapePageKey(page->pageKey)) page->landscape = 1;
    return RenderPclRange(record, start, end, page->landscape, progress, PaintPageFields, page, NULL);
}
