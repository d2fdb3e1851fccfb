// formpak_write.cpp - writing a FormPak from page descriptions (used by qvtool and tests).
#include "store/store.h"

#include <string.h>

int WriteFormPak(const char *path, uint16_t taxYear, const char *const *headerStrings,
                 int headerCount, const FormPakPageDesc *pages, int pageCount, int method)
{
    if (!headerStrings || headerCount < 1 || !headerStrings[0] || !*headerStrings[0] || !pages ||
        pageCount < 1 || pageCount > 65535)
        return 0;
    PackBuffer header = {}, pool = {}, fields = {}, pcl = {}, bmp = {};
    PageDirectoryEntry *dir = (PageDirectoryEntry *)MemAlloc(64, sizeof(PageDirectoryEntry) * (size_t)pageCount);
    int ok = dir != NULL;
    for (int i = 0; ok && i < headerCount; i++) {
        const char *text = headerStrings[i] ? headerStrings[i] : "";
        PackAppend(&header, text, (uint32_t)strlen(text) + 1);
    }
    // Image positions inside their records; made into file offsets once the layout is known.
    uint32_t *imagePos = (uint32_t *)MemAlloc(64, sizeof(uint32_t) * (size_t)pageCount);
    ok = ok && imagePos;
    for (int i = 0; ok && i < pageCount; i++) {
        const FormPakPageDesc *p = &pages[i];
        if (!p->formName || !*p->formName || strlen(p->formName) >= FORM_NAME_SIZE - 8 ||
            p->pageNumber < 1 || p->pageNumber > 255 || !p->image || !p->imageLength ||
            (p->imageSource != IMAGE_SOURCE_PCL && p->imageSource != IMAGE_SOURCE_PCL2 &&
             p->imageSource != IMAGE_SOURCE_BMP) ||
            p->fieldCount < 0 || p->fieldCount > FIELD_TABLE_MAX_FIELDS || (p->fieldCount && !p->fields)) {
            ok = 0;
            break;
        }
        PageDirectoryEntry *e = &dir[i];
        e->nameOffset = PackPoolString(&pool, p->formName, (uint32_t)strlen(p->formName));
        e->maxCopies = (uint16_t)(p->maxCopies > 0 ? p->maxCopies : 1);
        e->pageNumber = (uint8_t)p->pageNumber;
        e->jurisdiction = (uint8_t)p->jurisdiction;
        e->flags = (uint8_t)p->flags;
        e->imageSource = (uint16_t)p->imageSource;
        e->orderKey[0] = p->orderKey[0];
        e->orderKey[1] = p->orderKey[1];
        PackBuffer *images = p->imageSource == IMAGE_SOURCE_BMP ? &bmp : &pcl;
        imagePos[i] = images->length;
        PackAppend(images, p->image, p->imageLength);
        e->fieldStart = fields.length;
        if (p->fieldCount > 1)
            EncodeFieldDefinitions(&fields, p->fields, p->fieldCount);
        e->fieldLength = fields.length - e->fieldStart;
        e->fieldCount = (uint16_t)(p->fieldCount > 1 ? p->fieldCount - 1 : 0);
        // Write nothing the reader would refuse (tab links outside the page, bad blocks ...).
        if (e->fieldCount && !fields.failed &&
            !DecodeFieldDefinitions(fields.data + e->fieldStart, e->fieldLength, e->fieldCount, NULL, NULL)) {
            ok = 0;
            break;
        }
        if (!e->fieldCount)
            e->fieldStart = 0;
    }
    ok = ok && !header.failed && !pool.failed && !fields.failed && !pcl.failed && !bmp.failed;
    int written = 0;
    if (ok) {
        PackedRecordDesc records[6];
        int n = 0;
        records[n++] = {REC_HEADER_STRINGS, method, header.data, header.length};
        records[n++] = {REC_PAGE_DIRECTORY, method, dir, (uint32_t)(sizeof(PageDirectoryEntry) * pageCount)};
        records[n++] = {REC_STRING_POOL, method, pool.data, pool.length};
        if (fields.length)
            records[n++] = {REC_FIELD_DEFS, method, fields.data, fields.length};
        int pclIndex = -1, bmpIndex = -1;
        if (pcl.length) {
            pclIndex = n;
            records[n++] = {REC_PAGE_DEFS, method, pcl.data, pcl.length};
        }
        if (bmp.length) {
            bmpIndex = n;
            records[n++] = {REC_PAGE_BITMAPS, method, bmp.data, bmp.length};
        }
        uint32_t pclOffset = pclIndex >= 0 ? GetPackedRecordOffset(records, n, pclIndex) : 0;
        uint32_t bmpOffset = bmpIndex >= 0 ? GetPackedRecordOffset(records, n, bmpIndex) : 0;
        for (int i = 0; i < pageCount; i++) {
            int isBmp = pages[i].imageSource == IMAGE_SOURCE_BMP;
            dir[i].imageStart = (isBmp ? bmpOffset : pclOffset) + imagePos[i];
            // PCL ranges end exclusive, bitmap ranges inclusive.
            dir[i].imageEnd = dir[i].imageStart + pages[i].imageLength - (isBmp ? 1 : 0);
        }
        written = WritePackedFile(path, FILE_TYPE_FORMPAK, taxYear, "qvtool", records, n);
    }
    PackFree(&header);
    PackFree(&pool);
    PackFree(&fields);
    PackFree(&pcl);
    PackFree(&bmp);
    MemFree(dir);
    MemFree(imagePos);
    return written;
}
