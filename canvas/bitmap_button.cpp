// Bitmap toolkit: button faces and GDI+ status names.
#include "canvas/canvas.h"

HBITMAP WidenButtonBitmap(HBITMAP bitmap, int width)
{
    int w, h;
    if (!GetBitmapSize(bitmap, &w, &h) || w <= 22 || width <= w) return bitmap;
    HDC screen = GetDC(NULL);
    HBITMAP wide = CreateCompatibleBitmap(screen, width, h);
    HDC src = CreateCompatibleDC(screen), dst = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    if (!wide || !src || !dst) {
        if (wide) DeleteObject(wide);
        if (src) DeleteDC(src);
        if (dst) DeleteDC(dst);
        return bitmap;
    }
    HGDIOBJ oldSrc = SelectObject(src, bitmap), oldDst = SelectObject(dst, wide);
    int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
    // The part right of column 22 (the plain face and right edge) is stretched from column 7 to the
    // new right edge; then the left edge and the picture (columns 0 to 21) are drawn again over it.
    StretchBlt(dst, 7, 0, width - 7, h, src, 22, 0, w - 22, h, SRCCOPY);
    BitBlt(dst, 0, 0, 8, h, src, 0, 0, SRCCOPY);
    BitBlt(dst, 8, 0, 14, h, src, 8, 0, SRCCOPY);
    SetStretchBltMode(dst, oldMode);
    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
    DeleteDC(src);
    DeleteDC(dst);
    DeleteObject(bitmap);
    return wide;
}

HBITMAP DrawDropdownButton(HBITMAP buttonBitmap, int width, int height, int pressed)
{
    if (width <= 0 || height <= 0) return NULL;
    HDC screen = GetDC(NULL);
    HBITMAP face = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen), src = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    if (!face || !dc || !src) {
        if (face) DeleteObject(face);
        if (dc) DeleteDC(dc);
        if (src) DeleteDC(src);
        return NULL;
    }
    HGDIOBJ oldFace = SelectObject(dc, face);
    RECT r = {0, 0, width, height};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    int shift = pressed ? 1 : 0;

    int arrowH = height * 11 / 13, arrowW = arrowH;
    HBITMAP arrow = (HBITMAP)LoadImageA(GetModuleHandleA(NULL), "BTNS_DROPDOWN_BMP", IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
    int aw = 0, ah = 0;
    if (arrow && GetBitmapSize(arrow, &aw, &ah) && ah > 0) arrowW = aw * arrowH / ah;
    int buttonAreaW = width - arrowW;

    int bw, bh;
    if (buttonBitmap && GetBitmapSize(buttonBitmap, &bw, &bh)) {
        HGDIOBJ old = SelectObject(src, buttonBitmap);
        BitBlt(dc, (buttonAreaW - bw) / 2 + shift, (height - bh) / 2 + shift, bw, bh, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
    }
    if (arrow) {
        HGDIOBJ old = SelectObject(src, arrow);
        int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, buttonAreaW + shift, (height - arrowH) / 2 + shift, arrowW, arrowH, src, 0, 0, aw, ah, SRCCOPY);
        SetStretchBltMode(dc, oldMode);
        SelectObject(src, old);
        DeleteObject(arrow);
    }
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    SelectObject(dc, oldFace);
    DeleteDC(dc);
    DeleteDC(src);
    return face;
}

const char *GetGdiplusStatusText(int status)
{
    static const char *const names[] = {
        "Ok", "GenericError", "InvalidParameter", "OutOfMemory", "ObjectBusy", "InsufficientBuffer",
        "NotImplemented", "Win32Error", "WrongState", "Aborted", "FileNotFound", "ValueOverflow",
        "AccessDenied", "UnknownImageFormat", "FontFamilyNotFound", "FontStyleNotFound", "NotTrueTypeFont",
        "UnsupportedGdiplusVersion", "GdiplusNotInitialized", "PropertyNotFound", "PropertyNotSupported",
    };
    if (status < 0 || status >= (int)(sizeof names / sizeof names[0])) return "Unknown";
    return names[status];
}
