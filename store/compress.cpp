// compress.cpp - zlib blocks with the optional 8-byte "_rvq" header (magic, u32 expanded length).
#include "store/store.h"

#include <string.h>
#include <zlib.h>

int CompressBlock(void *buffer, DWORD length, DWORD *newLengthOut, int best, int header)
{
    if (!buffer || !newLengthOut)
        return 0;
    DWORD headerSize = header ? COMPRESSED_BLOCK_HEADER_SIZE : 0;
    uLongf bound = compressBound(length);
    Bytef *packed = (Bytef *)MemAlloc(64, (size_t)bound + headerSize);
    if (!packed)
        return 0;
    uLongf packedLength = bound;
    int result = best ? compress2(packed + headerSize, &packedLength, (const Bytef *)buffer, length, 9)
                      : compress(packed + headerSize, &packedLength, (const Bytef *)buffer, length);
    if (result != Z_OK) {
        MemFree(packed);
        return 0;
    }
    uLongf total = packedLength + headerSize;
    if (total > length) {
        MemFree(packed);
        ShowMessageBox(NULL, "Zipped data size exceeds original data length.", "Warning",
                       MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    if (header) {
        memcpy(packed, COMPRESSED_BLOCK_MAGIC, 4);
        DWORD expanded = length;
        memcpy(packed + 4, &expanded, 4);  // little-endian u32, as on the platform
    }
    memcpy(buffer, packed, total);
    *newLengthOut = (DWORD)total;
    MemFree(packed);
    return 1;
}

void *UncompressBlock(const void *data, DWORD length, DWORD *outLength)
{
    if (outLength)
        *outLength = 0;
    if (!data || length == 0)
        return NULL;
    const Bytef *source = (const Bytef *)data;
    DWORD sourceLength = length;
    DWORD expected = 0;
    int stated = 0;
    if (length >= 4 && memcmp(source, COMPRESSED_BLOCK_MAGIC, 4) == 0) {
        if (length < COMPRESSED_BLOCK_HEADER_SIZE + 2)
            return NULL;  // the header alone, or less: no data to expand
        memcpy(&expected, source + 4, 4);
        if (expected > COMPRESSED_BLOCK_MAX_EXPANDED)
            return NULL;  // an absurd stated length: damaged block
        source += COMPRESSED_BLOCK_HEADER_SIZE;
        sourceLength -= COMPRESSED_BLOCK_HEADER_SIZE;
        stated = 1;
    } else {
        if (length > COMPRESSED_BLOCK_MAX_EXPANDED / 6)
            return NULL;
        expected = length * 6;
    }
    // One spare zero byte so text blocks come out zero-ended.
    Bytef *out = (Bytef *)MemAlloc(64, (size_t)expected + 1);
    if (!out)
        return NULL;
    uLongf outSize = expected;
    int result = uncompress(out, &outSize, source, sourceLength);
    if (result != Z_OK || (stated && outSize != expected)) {
        // Z_DATA_ERROR: damaged; Z_BUF_ERROR: data short of its end or larger than stated.
        MemFree(out);
        return NULL;
    }
    out[outSize] = 0;
    if (outLength)
        *outLength = (DWORD)outSize;
    return out;
}
