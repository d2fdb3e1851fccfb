// Bitmap toolkit: raster operations, masked blits, copies and icons.
#include "canvas/canvas.h"
#include "store/store.h"
#include <string.h>

// Low words of the 256 published ternary raster-operation codes (the high word is the index).
static const unsigned short kTernaryRopLow[256] = {
    0x0042, 0x0289, 0x0C89, 0x00AA, 0x0C88, 0x00A9, 0x0865, 0x02C5, 0x0F08, 0x0245, 0x0329, 0x0B2A, 0x0324, 0x0B25, 0x08A5, 0x0001,
    0x0C85, 0x00A6, 0x0868, 0x02C8, 0x0869, 0x02C9, 0x5CCA, 0x1D54, 0x0D59, 0x1CC8, 0x06C5, 0x0768, 0x06CA, 0x0766, 0x01A5, 0x0385,
    0x0F09, 0x0248, 0x0326, 0x0B24, 0x0D55, 0x1CC5, 0x06C8, 0x1868, 0x0369, 0x16CA, 0x0CC9, 0x1D58, 0x0784, 0x060A, 0x064A, 0x0E2A,
    0x032A, 0x0B28, 0x0688, 0x0008, 0x06C4, 0x1864, 0x01A8, 0x0388, 0x078A, 0x0604, 0x0644, 0x0E24, 0x004A, 0x18A4, 0x1B24, 0x00EA,
    0x0F0A, 0x0249, 0x0D5D, 0x1CC4, 0x0328, 0x0B29, 0x06C6, 0x076A, 0x0368, 0x16C5, 0x0789, 0x0605, 0x0CC8, 0x1954, 0x0645, 0x0E25,
    0x0325, 0x0B26, 0x06C9, 0x0764, 0x08A9, 0x0009, 0x01A9, 0x0389, 0x0785, 0x0609, 0x0049, 0x18A9, 0x0649, 0x0E29, 0x1B29, 0x00E9,
    0x0365, 0x16C6, 0x0786, 0x0608, 0x0788, 0x0606, 0x0046, 0x18A8, 0x58A6, 0x0145, 0x01E9, 0x178A, 0x01E8, 0x1785, 0x1E28, 0x0C65,
    0x0CC5, 0x1D5C, 0x0648, 0x0E28, 0x0646, 0x0E26, 0x1B28, 0x00E6, 0x01E5, 0x1786, 0x1E29, 0x0C68, 0x1E24, 0x0C69, 0x0955, 0x03C9,
    0x03E9, 0x0975, 0x0C49, 0x1E04, 0x0C48, 0x1E05, 0x17A6, 0x01C5, 0x00C6, 0x1B08, 0x0E06, 0x0666, 0x0E08, 0x0668, 0x1D7C, 0x0CE5,
    0x0C45, 0x1E08, 0x17A9, 0x01C4, 0x17AA, 0x01C9, 0x0169, 0x588A, 0x1888, 0x0066, 0x0709, 0x07A8, 0x0704, 0x07A6, 0x16E6, 0x0345,
    0x00C9, 0x1B05, 0x0E09, 0x0669, 0x1885, 0x0065, 0x0706, 0x07A5, 0x03A9, 0x0189, 0x0029, 0x0889, 0x0744, 0x06E9, 0x0B06, 0x0229,
    0x0E05, 0x0665, 0x1974, 0x0CE8, 0x070A, 0x07A9, 0x16E9, 0x0348, 0x074A, 0x06E6, 0x0B09, 0x0226, 0x1CE4, 0x0D7D, 0x0269, 0x08C9,
    0x00CA, 0x1B04, 0x1884, 0x006A, 0x0E04, 0x0664, 0x0708, 0x07AA, 0x03A8, 0x0184, 0x0749, 0x06E4, 0x0020, 0x0888, 0x0B08, 0x0224,
    0x0E0A, 0x066A, 0x0705, 0x07A4, 0x1D78, 0x0CE9, 0x16EA, 0x0349, 0x0745, 0x06E8, 0x1CE9, 0x0D75, 0x0B04, 0x0228, 0x0268, 0x08C8,
    0x03A5, 0x0185, 0x0746, 0x06EA, 0x0748, 0x06E5, 0x1CE8, 0x0D79, 0x1D74, 0x5CE6, 0x02E9, 0x0849, 0x02E8, 0x0848, 0x0086, 0x0A08,
    0x0021, 0x0885, 0x0B05, 0x022A, 0x0B0A, 0x0225, 0x0265, 0x08C5, 0x02E5, 0x0845, 0x0089, 0x0A09, 0x008A, 0x0A0A, 0x02A9, 0x0062,
};

DWORD GetTernaryRop(int index)
{
    index &= 0xFF;
    return ((DWORD)index << 16) | kTernaryRopLow[index];
}

// Exchanges the source and destination roles of a raster-operation index: the index bits for
// (S=0, D=1) and (S=1, D=0) swap places, with the pattern bit clear (bits 1, 2) and set (bits 5, 6).
static int SwapSourceAndDest(int index)
{
    int b1 = (index >> 1) & 1, b2 = (index >> 2) & 1, b5 = (index >> 5) & 1, b6 = (index >> 6) & 1;
    index &= ~((1 << 1) | (1 << 2) | (1 << 5) | (1 << 6));
    return index | (b2 << 1) | (b1 << 2) | (b6 << 5) | (b5 << 6);
}

BOOL MaskedBlt(HDC destDc, int x, int y, int width, int height, HDC srcDc, int srcX, int srcY, HBITMAP mask,
               int maskX, int maskY, DWORD rop4)
{
    DWORD foreground = rop4 & 0xFFFFFF;
    if (!mask) return BitBlt(destDc, x, y, width, height, srcDc, srcX, srcY, foreground);
    if (width <= 0 || height <= 0) return FALSE;
    DWORD background = GetTernaryRop(SwapSourceAndDest((rop4 >> 24) & 0xFF));

    BOOL ok = FALSE;
    HDC fgDc = CreateCompatibleDC(destDc), bgDc = CreateCompatibleDC(destDc), maskDc = CreateCompatibleDC(destDc);
    HBITMAP fgBitmap = CreateCompatibleBitmap(destDc, width, height);
    HBITMAP bgBitmap = CreateCompatibleBitmap(destDc, width, height);
    if (fgDc && bgDc && maskDc && fgBitmap && bgBitmap) {
        HGDIOBJ oldFg = SelectObject(fgDc, fgBitmap), oldBg = SelectObject(bgDc, bgBitmap);
        HGDIOBJ oldMask = SelectObject(maskDc, mask);
        // Foreground: the destination combined with the source by the foreground operation.
        BitBlt(fgDc, 0, 0, width, height, destDc, x, y, SRCCOPY);
        BitBlt(fgDc, 0, 0, width, height, srcDc, srcX, srcY, foreground);
        // Background: the source, combined with the destination with the roles exchanged.
        BitBlt(bgDc, 0, 0, width, height, srcDc, srcX, srcY, SRCCOPY);
        BitBlt(bgDc, 0, 0, width, height, destDc, x, y, background);
        // The mask (white where 1) keeps the foreground where it is 1 and the background where it is 0.
        COLORREF oldText1 = SetTextColor(fgDc, RGB(0, 0, 0)), oldBk1 = SetBkColor(fgDc, RGB(255, 255, 255));
        COLORREF oldText2 = SetTextColor(bgDc, RGB(0, 0, 0)), oldBk2 = SetBkColor(bgDc, RGB(255, 255, 255));
        BitBlt(fgDc, 0, 0, width, height, maskDc, maskX, maskY, SRCAND);
        BitBlt(bgDc, 0, 0, width, height, maskDc, maskX, maskY, 0x00220326);   // DSna
        BitBlt(fgDc, 0, 0, width, height, bgDc, 0, 0, SRCPAINT);
        SetTextColor(fgDc, oldText1);
        SetBkColor(fgDc, oldBk1);
        SetTextColor(bgDc, oldText2);
        SetBkColor(bgDc, oldBk2);
        ok = BitBlt(destDc, x, y, width, height, fgDc, 0, 0, SRCCOPY);
        SelectObject(fgDc, oldFg);
        SelectObject(bgDc, oldBg);
        SelectObject(maskDc, oldMask);
    }
    if (fgBitmap) DeleteObject(fgBitmap);
    if (bgBitmap) DeleteObject(bgBitmap);
    if (fgDc) DeleteDC(fgDc);
    if (bgDc) DeleteDC(bgDc);
    if (maskDc) DeleteDC(maskDc);
    return ok;
}

int GetBitmapSize(HBITMAP bitmap, int *width, int *height)
{
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm) return 0;
    if (width) *width = bm.bmWidth;
    if (height) *height = bm.bmHeight;
    return 1;
}

HBITMAP CopyBitmap(HBITMAP bitmap, int copyBits)
{
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm) return NULL;
    int bits = bm.bmBitsPixel * bm.bmPlanes;
    int count = 0;
    RGBQUAD *table = GetDibColorTable(NULL, bitmap, &count);
    RGBQUAD grey256[256];
    const RGBQUAD *palette = table;
    if (!palette && (bits == 8 || bits == 16)) {
        memset(grey256, 0, sizeof grey256);
        palette = grey256;
    }
    HBITMAP copy = CreateDibBitmap(bm.bmWidth, bm.bmHeight, bits, WHITENESS, NULL, palette);
    MemFree(table);
    if (!copy) return NULL;
    if (copyBits) BlitBitmapOnto(copy, bitmap, 0, 0, SRCCOPY);
    return copy;
}

HBITMAP CopyBitmapRegion(HBITMAP bitmap, const RECT *rect)
{
    int width, height;
    if (!GetBitmapSize(bitmap, &width, &height)) return NULL;
    RECT r = {0, 0, width, height};
    if (rect) r = *rect;
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return NULL;
    HBITMAP copy = CreateDibBitmap(w, h, 1, WHITENESS, NULL, NULL);
    if (!copy) return NULL;
    HDC src = CreateCompatibleDC(NULL), dst = CreateCompatibleDC(NULL);
    HGDIOBJ oldSrc = SelectObject(src, bitmap), oldDst = SelectObject(dst, copy);
    BitBlt(dst, 0, 0, w, h, src, r.left, r.top, SRCCOPY);
    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
    DeleteDC(src);
    DeleteDC(dst);
    return copy;
}

int BlitBitmapOnto(HBITMAP dest, HBITMAP src, int x, int y, DWORD rop)
{
    int width, height;
    if (!dest || !GetBitmapSize(src, &width, &height)) return 0;
    HDC s = CreateCompatibleDC(NULL), d = CreateCompatibleDC(NULL);
    HGDIOBJ oldS = SelectObject(s, src), oldD = SelectObject(d, dest);
    BOOL ok = BitBlt(d, x, y, width, height, s, 0, 0, rop);
    SelectObject(s, oldS);
    SelectObject(d, oldD);
    DeleteDC(s);
    DeleteDC(d);
    return ok ? 1 : 0;
}

int FillRectWithRop(HDC dc, HBITMAP bitmap, const RECT *rect, DWORD rop)
{
    HDC work = dc;
    HGDIOBJ old = NULL;
    if (!work) {
        if (!bitmap) return 0;
        work = CreateCompatibleDC(NULL);
        old = SelectObject(work, bitmap);
    }
    RECT r;
    if (rect) {
        r = *rect;
    } else {
        int width = 0, height = 0;
        GetBitmapSize(bitmap ? bitmap : (HBITMAP)GetCurrentObject(work, OBJ_BITMAP), &width, &height);
        SetRect(&r, 0, 0, width, height);
    }
    BOOL ok = PatBlt(work, r.left, r.top, r.right - r.left, r.bottom - r.top, rop);
    if (!dc) {
        SelectObject(work, old);
        DeleteDC(work);
    }
    return ok ? 1 : 0;
}

HBITMAP DibToDdb(HBITMAP bitmap)
{
    int width, height;
    if (!GetBitmapSize(bitmap, &width, &height)) return NULL;
    HDC screen = GetDC(NULL);
    HBITMAP ddb = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(NULL, screen);
    if (!ddb) return NULL;
    if (!BlitBitmapOnto(ddb, bitmap, 0, 0, SRCCOPY)) {
        DeleteObject(ddb);
        return NULL;
    }
    return ddb;
}

HICON BitmapToIcon(HBITMAP bitmap, HINSTANCE instance, int resourceId, SIZE *sizeOut)
{
    HBITMAP loaded = NULL;
    if (!bitmap && resourceId) {
        loaded = (HBITMAP)LoadImageA(instance, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        bitmap = loaded;
    }
    int width, height;
    if (!GetBitmapSize(bitmap, &width, &height) || width <= 0 || height <= 0) {
        if (loaded) DeleteObject(loaded);
        return NULL;
    }
    HDC screen = GetDC(NULL);
    HDC src = CreateCompatibleDC(screen), colourDc = CreateCompatibleDC(screen), maskDc = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, width, height);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, NULL);
    ReleaseDC(NULL, screen);
    HICON icon = NULL;
    if (src && colourDc && maskDc && colour && mask) {
        HGDIOBJ oldSrc = SelectObject(src, bitmap);
        HGDIOBJ oldColour = SelectObject(colourDc, colour), oldMask = SelectObject(maskDc, mask);
        COLORREF transparent = GetPixel(src, 0, 0);
        // Mask: 1 where the pixel has the transparent colour.
        COLORREF oldBk = SetBkColor(src, transparent);
        BitBlt(maskDc, 0, 0, width, height, src, 0, 0, SRCCOPY);
        SetBkColor(src, oldBk);
        // Colour part: the image with its transparent pixels made black.
        BitBlt(colourDc, 0, 0, width, height, src, 0, 0, SRCCOPY);
        SetTextColor(colourDc, RGB(0, 0, 0));
        SetBkColor(colourDc, RGB(255, 255, 255));
        BitBlt(colourDc, 0, 0, width, height, maskDc, 0, 0, 0x00220326);   // DSna
        SelectObject(src, oldSrc);
        SelectObject(colourDc, oldColour);
        SelectObject(maskDc, oldMask);
        ICONINFO info;
        memset(&info, 0, sizeof info);
        info.fIcon = TRUE;
        info.hbmMask = mask;
        info.hbmColor = colour;
        icon = CreateIconIndirect(&info);
        if (icon && sizeOut) {
            sizeOut->cx = width;
            sizeOut->cy = height;
        }
    }
    if (colour) DeleteObject(colour);
    if (mask) DeleteObject(mask);
    if (src) DeleteDC(src);
    if (colourDc) DeleteDC(colourDc);
    if (maskDc) DeleteDC(maskDc);
    if (loaded) DeleteObject(loaded);
    return icon;
}

// Reads a 4-bit DIB section's layout; 0 for anything else.
static int GetNibbleDib(HBITMAP bitmap, DIBSECTION *ds, RGBQUAD table[16])
{
    if (!bitmap || GetObjectA(bitmap, sizeof *ds, ds) != sizeof *ds || ds->dsBm.bmBitsPixel != 4 || !ds->dsBm.bmBits)
        return 0;
    HDC dc = CreateCompatibleDC(NULL);
    if (!dc) return 0;
    HGDIOBJ old = SelectObject(dc, bitmap);
    UINT count = old ? GetDIBColorTable(dc, 0, 16, table) : 0;
    if (old) SelectObject(dc, old);
    DeleteDC(dc);
    return count == 16;
}

int DrawNonWhiteOnto4(HBITMAP dest, HBITMAP source)
{
    DIBSECTION d, s;
    RGBQUAD destTable[16], sourceTable[16];
    if (!GetNibbleDib(dest, &d, destTable) || !GetNibbleDib(source, &s, sourceTable)) return 0;
    if (d.dsBm.bmWidth != s.dsBm.bmWidth || d.dsBm.bmHeight != s.dsBm.bmHeight ||
        d.dsBm.bmWidthBytes != s.dsBm.bmWidthBytes || (d.dsBmih.biHeight < 0) != (s.dsBmih.biHeight < 0) ||
        memcmp(destTable, sourceTable, sizeof destTable) != 0)
        return 0;
    // With one colour table on both sides a pixel keeps its index, as a blit between them keeps it.
    unsigned char white[16];
    for (int i = 0; i < 16; i++) {
        const RGBQUAD &q = sourceTable[i];
        white[i] = q.rgbRed == 255 && q.rgbGreen == 255 && q.rgbBlue == 255;
    }
    // Per source byte: a mask of the nibbles that stay the dest's.
    unsigned char keep[256];
    for (int b = 0; b < 256; b++)
        keep[b] = (unsigned char)((white[b >> 4] ? 0xF0 : 0) | (white[b & 15] ? 0x0F : 0));
    GdiFlush();
    int width = d.dsBm.bmWidth, height = d.dsBm.bmHeight, stride = d.dsBm.bmWidthBytes;
    int fullBytes = width / 2;
    for (int y = 0; y < height; y++) {
        unsigned char *to = (unsigned char *)d.dsBm.bmBits + (size_t)y * stride;
        const unsigned char *from = (const unsigned char *)s.dsBm.bmBits + (size_t)y * stride;
        for (int x = 0; x < fullBytes; x++) {
            unsigned char b = from[x];
            to[x] = (unsigned char)((b & ~keep[b]) | (to[x] & keep[b]));
        }
        if (width & 1) {
            unsigned char b = from[fullBytes];
            unsigned char m = (unsigned char)(keep[b] | 0x0F);   // the pad nibble is the dest's own
            to[fullBytes] = (unsigned char)((b & ~m) | (to[fullBytes] & m));
        }
    }
    return 1;
}
