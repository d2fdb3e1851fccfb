// bitmap_page.cpp - a BMP file as the compressed block of a bitmap page.
#include "tools/qvtool/qvtool.h"

#include <string.h>

static uint32_t ReadU32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

static unsigned GetPixel(const uint8_t *row, int x, int bits)
{
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 15) : (row[x >> 1] >> 4);
    default: return row[x];
    }
}

static void SetPixel(uint8_t *row, int x, int bits, unsigned v)
{
    switch (bits) {
    case 1:
        if (v)
            row[x >> 3] |= (uint8_t)(0x80 >> (x & 7));
        break;
    case 4:
        row[x >> 1] |= (uint8_t)((x & 1) ? (v & 15) : ((v & 15) << 4));
        break;
    default:
        row[x] = (uint8_t)v;
        break;
    }
}

int MakeBitmapPageBlock(const std::string &path, int crop, std::vector<uint8_t> *block)
{
    std::vector<uint8_t> file;
    if (!LoadFileBytes(path, &file))
        return 0;
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M')
        return ToolError("%s is not a BMP file", path.c_str());
    uint32_t bitsOffset = ReadU32(&file[10]);
    uint32_t headerSize = ReadU32(&file[14]);
    int width = (int)ReadU32(&file[18]);
    int height = (int)ReadU32(&file[22]);
    int bits = file[28] | (file[29] << 8);
    uint32_t compression = ReadU32(&file[30]);
    uint32_t colors = ReadU32(&file[46]);
    if (headerSize < 40 || width <= 0 || height <= 0 || width > 20000 || height > 20000 || compression != 0 ||
        (bits != 1 && bits != 4 && bits != 8))
        return ToolError("%s: only uncompressed bottom-up 1-, 4- and 8-bit BMP files are read", path.c_str());
    if (!colors)
        colors = 1u << bits;
    uint32_t stride = (uint32_t)(((uint64_t)width * bits + 31) / 32 * 4);
    uint32_t paletteOffset = 14 + headerSize;
    if (colors > 256 || paletteOffset + colors * 4 > bitsOffset || bitsOffset > file.size() ||
        (uint64_t)stride * height > file.size() - bitsOffset)
        return ToolError("%s is damaged", path.c_str());
    int x0 = 0, y0 = 0, outWidth = width, outHeight = height;
    if (crop) {
        if (width < 75 + 2400 || height < 3168)
            return ToolError("%s is smaller than a 300-dpi letter page", path.c_str());
        x0 = 75;
        y0 = 0;
        outWidth = 2400;
        outHeight = 3168;
    }
    uint32_t outStride = (uint32_t)(((uint64_t)outWidth * bits + 31) / 32 * 4);
    uint32_t outBits = 54 + colors * 4;
    uint32_t outSize = outBits + outStride * (uint32_t)outHeight;
    std::vector<uint8_t> out(outSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    memcpy(&out[2], &outSize, 4);
    memcpy(&out[10], &outBits, 4);
    uint32_t v40 = 40;
    memcpy(&out[14], &v40, 4);
    memcpy(&out[18], &outWidth, 4);
    memcpy(&out[22], &outHeight, 4);
    out[26] = 1;
    out[28] = (uint8_t)bits;
    uint32_t imageSize = outStride * (uint32_t)outHeight;
    memcpy(&out[34], &imageSize, 4);
    int32_t dpm = 11811;   // 300 dpi
    memcpy(&out[38], &dpm, 4);
    memcpy(&out[42], &dpm, 4);
    memcpy(&out[46], &colors, 4);
    memcpy(&out[54], &file[paletteOffset], colors * 4);
    // Rows are stored bottom-up: output row r (from the top) is source row y0 + r.
    for (int r = 0; r < outHeight; r++) {
        const uint8_t *src = &file[bitsOffset + (size_t)stride * (height - 1 - (y0 + r))];
        uint8_t *dst = &out[outBits + (size_t)outStride * (outHeight - 1 - r)];
        if (!crop) {
            memcpy(dst, src, stride);
            continue;
        }
        for (int x = 0; x < outWidth; x++)
            SetPixel(dst, x, bits, GetPixel(src, x0 + x, bits));
    }
    DWORD packed = 0;
    if (!CompressBlock(out.data(), (DWORD)out.size(), &packed, 1, 1))
        return ToolError("%s could not be compressed", path.c_str());
    block->assign(out.begin(), out.begin() + packed);
    return 1;
}
