// Bitmap toolkit: grey, threshold and ink rules on 24-bit pixel buffers, in place.
#include "canvas/canvas.h"

// Geometry of a 24-bit buffer; 0 when the header does not describe one.
static int Get24Geometry(const BITMAPINFOHEADER *header, int *width, int *height, int *stride)
{
    if (!header || header->biBitCount != 24 || header->biWidth <= 0 || header->biHeight == 0) return 0;
    *width = header->biWidth;
    *height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    *stride = (int)GetDibImageSize32(header->biWidth, 1, 24);
    return 1;
}

int ConvertToGrayscale(unsigned char *bits, const BITMAPINFOHEADER *header)
{
    int width, height, stride;
    if (!bits || !Get24Geometry(header, &width, &height, &stride)) return 0;
    for (int y = 0; y < height; y++) {
        unsigned char *p = bits + (size_t)y * stride;
        for (int x = 0; x < width; x++, p += 3) {
            // 0.114 B + 0.587 G + 0.299 R in thousandths, truncated: white stays 255.
            unsigned grey = (114u * p[0] + 587u * p[1] + 299u * p[2]) / 1000u;
            p[0] = p[1] = p[2] = (unsigned char)grey;
        }
    }
    return 1;
}

int ThresholdToBlackWhite(unsigned char *bits, const BITMAPINFOHEADER *header)
{
    int width, height, stride;
    if (!bits || !Get24Geometry(header, &width, &height, &stride)) return 0;
    for (int y = 0; y < height; y++) {
        unsigned char *p = bits + (size_t)y * stride;
        for (int x = 0; x < width; x++, p += 3) {
            unsigned char v = p[0] > 200 ? 255 : 0;
            p[0] = p[1] = p[2] = v;
        }
    }
    return 1;
}

int GetInkBounds(const unsigned char *bits, const BITMAPINFOHEADER *header, RECT *rectOut, int *percentOut)
{
    int width, height, stride;
    if (rectOut) SetRect(rectOut, 0, 0, 0, 0);
    if (percentOut) *percentOut = 0;
    if (!bits || !Get24Geometry(header, &width, &height, &stride)) return 0;
    int left = width, top = height, right = -1, bottom = -1;
    unsigned long long ink = 0;
    for (int y = 0; y < height; y++) {
        const unsigned char *p = bits + (size_t)y * stride;
        int rowInk = 0;
        for (int x = 0; x < width; x++, p += 3) {
            if (p[0] == 0 || p[1] == 0 || p[2] == 0) {
                ink++;
                rowInk = 1;
                if (x < left) left = x;
                if (x > right) right = x;
            }
        }
        if (rowInk) {
            if (y < top) top = y;
            bottom = y;
        }
    }
    unsigned long long pixels = (unsigned long long)width * height;
    if (percentOut) *percentOut = (int)((ink * 100 + pixels / 2) / pixels);
    if (!ink) return 0;
    if (rectOut) {
        rectOut->left = left;
        rectOut->top = top;
        rectOut->right = right + 1 < width ? right + 1 : width;
        rectOut->bottom = bottom + 1 < height ? bottom + 1 : height;
    }
    return 1;
}
