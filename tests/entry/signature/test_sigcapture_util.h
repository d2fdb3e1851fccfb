// Test support for signature capture: image files the tests make themselves (24-bit BMP, and PNG
// or JPEG through the GDI+ encoders), the pixels of a bitmap and the box of its dark pixels.
#ifndef LEVYLINE_TEST_SIGCAPTURE_UTIL_H
#define LEVYLINE_TEST_SIGCAPTURE_UTIL_H

#include "entry/signature/signature_private.h"
#include "tests/harness/harness.h"

#include <gdiplus.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace sigtest {

// An image of w x h pixels as 0xAARRGGBB.
struct TestImage {
    int w = 0, h = 0;
    std::vector<uint32_t> argb;
};

// background everywhere, a black blob in blob, and (frame set) a black one-pixel frame on the
// image's border.
inline TestImage MakeBlobImage(int w, int h, RECT blob, uint32_t background, int frame)
{
    TestImage image;
    image.w = w;
    image.h = h;
    image.argb.assign((size_t)w * h, background);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            bool ink = x >= blob.left && x < blob.right && y >= blob.top && y < blob.bottom;
            if (frame && (x == 0 || y == 0 || x == w - 1 || y == h - 1))
                ink = true;
            if (ink)
                image.argb[(size_t)y * w + x] = 0xFF000000;
        }
    return image;
}

inline std::string TempFile(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    char path[MAX_PATH];
    snprintf(path, sizeof(path), "%ssig%lu_%s", folder, (unsigned long)GetCurrentProcessId(), name);
    return path;
}

inline bool WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    size_t written = bytes.empty() ? 0 : fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return written == bytes.size();
}

inline std::vector<uint8_t> ReadBytes(const std::string &path)
{
    std::string text = ReadWholeFile(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A 24-bit bottom-up BMP file of the image (alpha ignored).
inline bool WriteBmp24(const std::string &path, const TestImage &image)
{
    int stride = (image.w * 3 + 3) & ~3;
    std::vector<uint8_t> file(54 + (size_t)stride * image.h, 0);
    BITMAPFILEHEADER fh;
    memset(&fh, 0, sizeof(fh));
    fh.bfType = 0x4D42;
    fh.bfSize = (DWORD)file.size();
    fh.bfOffBits = 54;
    BITMAPINFOHEADER ih;
    memset(&ih, 0, sizeof(ih));
    ih.biSize = 40;
    ih.biWidth = image.w;
    ih.biHeight = image.h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    memcpy(file.data(), &fh, 14);
    memcpy(file.data() + 14, &ih, 40);
    for (int y = 0; y < image.h; y++)
        for (int x = 0; x < image.w; x++) {
            uint32_t p = image.argb[(size_t)y * image.w + x];
            uint8_t *out = file.data() + 54 + (size_t)(image.h - 1 - y) * stride + x * 3;
            out[0] = (uint8_t)p;
            out[1] = (uint8_t)(p >> 8);
            out[2] = (uint8_t)(p >> 16);
        }
    return WriteBytes(path, file);
}

// The image saved by the GDI+ encoder of a MIME type ("image/png", "image/jpeg").
inline bool WriteWithGdiplus(const std::string &path, const TestImage &image, const wchar_t *mime)
{
    using namespace Gdiplus;
    using namespace Gdiplus::DllExports;
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, NULL) != Ok)
        return false;
    bool saved = false;
    UINT count = 0, size = 0;
    GdipGetImageEncodersSize(&count, &size);
    std::vector<uint8_t> buffer(size ? size : 1);
    ImageCodecInfo *codecs = (ImageCodecInfo *)buffer.data();
    const CLSID *encoder = NULL;
    if (size && GdipGetImageEncoders(count, size, codecs) == Ok)
        for (UINT i = 0; i < count; i++)
            if (codecs[i].MimeType && !wcscmp(codecs[i].MimeType, mime))
                encoder = &codecs[i].Clsid;
    GpBitmap *bitmap = NULL;
    std::vector<uint32_t> pixels = image.argb;
    if (encoder && GdipCreateBitmapFromScan0(image.w, image.h, image.w * 4, PixelFormat32bppARGB, (BYTE *)pixels.data(),
                                             &bitmap) == Ok) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        saved = GdipSaveImageToFile(bitmap, wide, encoder, NULL) == Ok;
        GdipDisposeImage(bitmap);
    }
    GdiplusShutdown(token);
    return saved;
}

// The pixels of a bitmap as 0x00RRGGBB, top row first.
inline std::vector<unsigned> BitmapPixels(HBITMAP bitmap, int *w, int *h)
{
    *w = *h = 0;
    std::vector<unsigned> out;
    if (!bitmap || !GetBitmapSize(bitmap, w, h) || *w <= 0 || *h <= 0)
        return out;
    out.assign((size_t)*w * *h, 0);
    BITMAPINFO info;
    memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = *w;
    info.bmiHeader.biHeight = -*h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, (UINT)*h, out.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    for (unsigned &p : out)
        p &= 0xFFFFFF;
    return out;
}

inline bool IsDark(unsigned p)
{
    return ((p >> 16) & 255) < 128 && ((p >> 8) & 255) < 128 && (p & 255) < 128;
}

// The box of the dark pixels (right and bottom one past); empty when there are none.
inline RECT DarkBox(const std::vector<unsigned> &pixels, int w, int h, const RECT *within = NULL)
{
    RECT box = {w, h, -1, -1};
    RECT area = within ? *within : RECT{0, 0, w, h};
    for (int y = area.top; y < area.bottom && y < h; y++)
        for (int x = area.left; x < area.right && x < w; x++)
            if (IsDark(pixels[(size_t)y * w + x])) {
                if (x < box.left) box.left = x;
                if (y < box.top) box.top = y;
                if (x + 1 > box.right) box.right = x + 1;
                if (y + 1 > box.bottom) box.bottom = y + 1;
            }
    if (box.right < 0)
        SetRectEmpty(&box);
    return box;
}

// The pad's own bitmap (the image set on control 1512).
inline HBITMAP PadBitmap(HWND dialog)
{
    return (HBITMAP)SendDlgItemMessageA(dialog, IDC_SIG_PAD, STM_GETIMAGE, IMAGE_BITMAP, 0);
}

// Dark pixels of the pad's own bitmap.
inline int PadInk(HWND dialog, RECT *boxOut = NULL)
{
    int w = 0, h = 0;
    std::vector<unsigned> pixels = BitmapPixels(PadBitmap(dialog), &w, &h);
    int ink = 0;
    for (unsigned p : pixels)
        ink += IsDark(p);
    if (boxOut)
        *boxOut = DarkBox(pixels, w, h);
    return ink;
}

// The instruction line's text.
inline std::string Instruction(HWND dialog)
{
    return GetControlText(dialog, IDC_SIG_INSTRUCTION);
}

inline int ButtonOn(HWND dialog, int command)
{
    SigCaptureRequest *request = GetSigRequest(dialog);
    return request && IsSigButtonOn(request, command);
}

// The File command with a path, as the File button's drop-down sends it.
inline void SendFile(HWND dialog, const std::string &path)
{
    SendMessageA(dialog, WM_COMMAND, IDM_SIG_FILE, (LPARAM)path.c_str());
}

// A left-button drag in dialog client coordinates.
inline void Drag(HWND dialog, POINT from, POINT to, int steps = 4)
{
    SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    for (int i = 1; i <= steps; i++) {
        int x = from.x + (to.x - from.x) * i / steps, y = from.y + (to.y - from.y) * i / steps;
        SendMessageA(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((short)x, (short)y));
    }
    SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM((short)to.x, (short)to.y));
}

}  // namespace sigtest

#endif
