// return_globals.cpp - the open return's globals and the return record's access helpers.
#include "store/store.h"

#include <string.h>

OpenReturn gOpenReturn;
OpenReturn *gOpenReturnPtr = &gOpenReturn;
char gReturnPath[260];
int gReturnModified;
int gReturnLoading;
int gFormRecordCount;
FormRecord *gCurrentFormRecord;
char gCurrentFormName[128];
uint8_t *gCachedPageData;
uint32_t gCachedPageLength;
uint32_t gCachedPageOffset;
uint32_t gCachedPageStored;
uint32_t gCachedPageMethod;
struct FormPakRecord *gCachedPageSource;

uint16_t GetReturnU16(const OpenReturn *r, int offset)
{
    if (!r || offset < 0 || offset + 2 > OPEN_RETURN_SIZE)
        return 0;
    return (uint16_t)(r->bytes[offset] | (r->bytes[offset + 1] << 8));
}

uint32_t GetReturnU32(const OpenReturn *r, int offset)
{
    if (!r || offset < 0 || offset + 4 > OPEN_RETURN_SIZE)
        return 0;
    uint32_t v;
    memcpy(&v, r->bytes + offset, 4);
    return v;
}

void SetReturnU16(OpenReturn *r, int offset, uint16_t value)
{
    if (!r || offset < 0 || offset + 2 > OPEN_RETURN_SIZE)
        return;
    memcpy(r->bytes + offset, &value, 2);
}

void SetReturnU32(OpenReturn *r, int offset, uint32_t value)
{
    if (!r || offset < 0 || offset + 4 > OPEN_RETURN_SIZE)
        return;
    memcpy(r->bytes + offset, &value, 4);
}

int SetReturnText(OpenReturn *r, int offset, int size, const char *text)
{
    if (!r || offset < 0 || size <= 0 || offset + size > OPEN_RETURN_SIZE)
        return 0;
    char *dst = (char *)r->bytes + offset;
    memset(dst, 0, size);
    if (!text)
        return 1;
    size_t n = strlen(text);
    int fits = n < (size_t)size;
    if (!fits)
        n = size - 1;
    memcpy(dst, text, n);
    return fits;
}

void InitOpenReturn(OpenReturn *r)
{
    if (!r)
        return;
    memset(r, 0, sizeof *r);
    SetReturnU32(r, RETURN_SIZE_WORD, OPEN_RETURN_SIZE);
    memset(r->bytes + RETURN_TRACKING_NUMBER, TRACKING_UNASSIGNED_BYTE, RETURN_TRACKING_LENGTH);
}
