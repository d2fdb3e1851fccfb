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

// Draws the bitmap selected in src (sw x sh) at x, y in w x h; on a white face its background
// (the colour of its top-left pixel) is left out, so that the face stays white around it.
static void BlitButtonPart(HDC dc, HDC src, int x, int y, int w, int h, int sw, int sh, int whiteBack)
{
    if (whiteBack) {
        TransparentBlt(dc, x, y, w, h, src, 0, 0, sw, sh, GetPixel(src, 0, 0));
        return;
    }
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, w, h, src, 0, 0, sw, sh, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

HBITMAP DrawDropdownButton(HBITMAP buttonBitmap, int width, int height, int pressed, int dropDown, int arrowHot,
                           int whiteBack)
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
    FillRect(dc, &r, (HBRUSH)GetStockObject(WHITE_BRUSH));
    if (!whiteBack) FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));

    int arrowH = height * 11 / 13, arrowW = arrowH;
    HBITMAP arrow = dropDown ? (HBITMAP)LoadImageA(GetModuleHandleA(NULL), "BTNS_DROPDOWN_BMP", IMAGE_BITMAP, 0, 0,
                                                   LR_LOADMAP3DCOLORS)
                             : NULL;
    int aw = 0, ah = 0;
    if (arrow && GetBitmapSize(arrow, &aw, &ah) && ah > 0) arrowW = aw * arrowH / ah;
    int buttonAreaW = dropDown ? width - arrowW : width;
    // A pressed drop-down button sinks only its hot part: the arrow or the picture.
    int pictureDown = pressed && !(dropDown && arrowHot);
    int arrowDown = pressed && dropDown && arrowHot;

    int bw, bh;
    if (buttonBitmap && GetBitmapSize(buttonBitmap, &bw, &bh)) {
        HGDIOBJ old = SelectObject(src, buttonBitmap);
        BlitButtonPart(dc, src, (buttonAreaW - bw) / 2 + pictureDown, (height - bh) / 2 + pictureDown, bw, bh, bw, bh,
                       whiteBack);
        SelectObject(src, old);
    }
    if (arrow) {
        HGDIOBJ old = SelectObject(src, arrow);
        BlitButtonPart(dc, src, buttonAreaW + arrowDown, (height - arrowH) / 2 + arrowDown, arrowW, arrowH, aw, ah,
                       whiteBack);
        SelectObject(src, old);
        DeleteObject(arrow);
    }
    if (dropDown && pressed) {
        // Each part framed by itself: the hot part sunken, the other raised.
        RECT picture = {0, 0, buttonAreaW, height}, arrowPart = {buttonAreaW, 0, width, height};
        DrawEdge(dc, &picture, pictureDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        DrawEdge(dc, &arrowPart, arrowDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else {
        DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
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
