// print_stamps.cpp - the "For Your Records" / "DO NOT MAIL" stamps of printed copies, which pages
// take them, and which Minnesota pages keep their own output font.
#include "canvas/canvas.h"

#include <string.h>

// Pages that are filed or signed as they are: they print without stamps.
static const char kUnstampedPages[] =
    "Summary Page.1;Status Page.1;Form Payment.1;Form 94x Payment.1;Form Bank.1;Form 8453-OL.1;"
    "Form 8453.1;Form 8453-EMP.1;Form 8822-B.1;Form 8879.1;Form 8879-EMP.1;CA Form 8879.1;"
    "CA Form 3582.1;Form MI-8453;Form 1040X.1;Form 1040X.2;Form M1X.1;Form M1X.2;Form M1PRX.1;"
    "Form 540X.1;Form 540X.2;Form 94x Signature.1";

// 1 when key equals (case ignored) one item of the ';'-separated list.
static int IsKeyInList(const char *key, const char *list)
{
    size_t keyLength = strlen(key);
    const char *item = list;
    while (*item) {
        const char *end = strchr(item, ';');
        size_t length = end ? (size_t)(end - item) : strlen(item);
        if (length == keyLength && _strnicmp(item, key, length) == 0)
            return 1;
        if (!end)
            break;
        item = end + 1;
    }
    return 0;
}

int TakesPrintStamps(const char *pageKey)
{
    if (!pageKey || !pageKey[0])
        return 0;
    return !IsKeyInList(pageKey, kUnstampedPages);
}

int AllowsMnOutputFont(const FormInstance *page)
{
    if (!page || page->jurisdiction != 24 || !page->pageKey)
        return 1;
    static const char kOwnFontPages[] = "MN PROPST.1;MN CRP.1;MN M1PRWS.1;MN M1PRWS5.1;Form Bank.1;Schedule M15.2";
    return IsKeyInList(page->pageKey, kOwnFontPages) ? 0 : 1;
}

// Draws one stamp text centred in the band [top, top + height) of a page width wide.
static void DrawStampText(HDC dc, const char *text, int points, int dpi, int width, int top, int height,
                          int outlined)
{
    HFONT font = CreateFontA(-MulDiv(points, dpi, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SIZE size = {0, 0};
    int length = (int)strlen(text);
    GetTextExtentPoint32A(dc, text, length, &size);
    int x = (width - size.cx) / 2;
    int y = top + (height - size.cy) / 2;
    if (outlined) {
        BeginPath(dc);
        TextOutA(dc, x, y, text, length);
        EndPath(dc);
        StrokeAndFillPath(dc);
    } else {
        TextOutA(dc, x, y, text, length);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

int DrawPrintStampsOnDc(HDC dc, int width, int height, int dpi, int outlined)
{
    if (!dc || width <= 0 || height <= 0)
        return 0;
    if (dpi <= 0)
        dpi = 300;
    COLORREF oldColour = SetTextColor(dc, RGB(128, 128, 128));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    HPEN pen = 0;
    HGDIOBJ oldPen = 0, oldBrush = 0;
    if (outlined) {
        int penWidth = 12 * (dpi * 10) / 7200;
        if (penWidth < 1)
            penWidth = 1;
        pen = CreatePen(PS_SOLID, penWidth, RGB(128, 128, 128));
        oldPen = SelectObject(dc, pen);
        oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    }
    DrawStampText(dc, "For Your Records", 56, dpi, width, 0, height / 2, outlined);
    DrawStampText(dc, "DO NOT MAIL", 72, dpi, width, height / 2, height - height / 2, outlined);
    if (outlined) {
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    SetTextAlign(dc, oldAlign);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
    return 1;
}

int DrawPrintStamps(HDC printerDc, HBITMAP bitmap, int outlined)
{
    if (printerDc) {
        return DrawPrintStampsOnDc(printerDc, GetDeviceCaps(printerDc, HORZRES), GetDeviceCaps(printerDc, VERTRES),
                                   GetDeviceCaps(printerDc, LOGPIXELSY), outlined);
    }
    if (!bitmap)
        return 0;
    int width = 0, height = 0;
    if (!GetBitmapSize(bitmap, &width, &height))
        return 0;
    HDC dc = CreateCompatibleDC(NULL);   // a screen-compatible DC to select the page bitmap into
    if (!dc)
        return 0;
    HGDIOBJ old = SelectObject(dc, bitmap);
    int result = old ? DrawPrintStampsOnDc(dc, width, height, 300, outlined) : 0;
    if (old)
        SelectObject(dc, old);
    DeleteDC(dc);
    return result;
}
