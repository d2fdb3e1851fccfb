// Image files through the GDI+ flat API: width, height and the pixels as 24-bit rows, top row
// first. Images with transparency (PNG, GIF, ICO) are composited onto white, so a transparent
// background reads as paper, not as ink.
#include "ui/ui.h"
#include "ui/imagefile.h"

#include <gdiplus.h>
#include <string.h>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

void CompositeRowOnWhite(const BYTE *argb, BYTE *out, int width)
{
    for (int x = 0; x < width; x++, argb += 4, out += 3) {
        unsigned alpha = argb[3];
        for (int c = 0; c < 3; c++)
            out[c] = (BYTE)((argb[c] * alpha + 255u * (255u - alpha) + 127u) / 255u);
    }
}

int GetImageBufferSize24(int width, int height)
{
    if (width <= 0 || height <= 0)
        return 0;
    long long stride = ((long long)width * 3 + 3) & ~3LL;
    long long size = stride * height;
    return size > 0x7FFFFFFF ? 0 : (int)size;
}

// Copies the locked 32-bit pixels into the caller's buffer as composited 24-bit rows.
static int CopyImagePixels(GpBitmap *image, int width, int height, BYTE *pixelBuffer, int bufferSize, int *status)
{
    int needed = GetImageBufferSize24(width, height);
    if (!needed || needed > bufferSize) {
        *status = InsufficientBuffer;
        return 0;
    }
    GpRect rect = {0, 0, width, height};
    BitmapData data;
    memset(&data, 0, sizeof(data));
    *status = GdipBitmapLockBits(image, &rect, ImageLockModeRead, PixelFormat32bppARGB, &data);
    if (*status != Ok)
        return 0;
    int stride = (width * 3 + 3) & ~3;
    for (int y = 0; y < height; y++) {
        BYTE *out = pixelBuffer + (size_t)y * stride;
        CompositeRowOnWhite((const BYTE *)data.Scan0 + (ptrdiff_t)y * data.Stride, out, width);
        memset(out + width * 3, 0, (size_t)(stride - width * 3));
    }
    GdipBitmapUnlockBits(image, &data);
    return 1;
}

int LoadImageWithGdiplus(const wchar_t *path, BYTE *pixelBuffer, int bufferSize, int *geometryOut, int *statusOut)
{
    if (statusOut)
        *statusOut = 0;
    if (!path) {
        if (statusOut)
            *statusOut = InvalidParameter;
        return 1;
    }
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    int status = GdiplusStartup(&token, &input, NULL);
    if (status != Ok) {
        if (statusOut)
            *statusOut = status;
        return 1;
    }
    int failed = 1;
    GpBitmap *image = NULL;
    status = GdipCreateBitmapFromFile(path, &image);
    if (status == Ok && image) {
        UINT width = 0, height = 0;
        status = GdipGetImageWidth(image, &width);
        if (status == Ok)
            status = GdipGetImageHeight(image, &height);
        if (status == Ok && (width == 0 || height == 0 || width > 0x7FFF || height > 0x7FFF))
            status = InvalidParameter;   // no image, or one whose byte size cannot be held
        if (status == Ok) {
            if (geometryOut) {
                geometryOut[0] = (int)width;
                geometryOut[1] = (int)height;
                geometryOut[2] = 24;
            }
            failed = pixelBuffer ? !CopyImagePixels(image, (int)width, (int)height, pixelBuffer, bufferSize, &status)
                                 : 0;
        }
        GdipDisposeImage(image);
    } else if (status == Ok) {
        status = GenericError;
    }
    if (statusOut)
        *statusOut = status;
    GdiplusShutdown(token);
    return failed;
}
