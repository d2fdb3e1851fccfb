// pageimage_hint.cpp - what the page view shows while no return is open: the logo, the picture
// of a page and three lines telling where forms and their list will appear.
#include "pages/pages.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

#define HINT_ICON_BITMAP 322
#define HINT_ICON_PART 12          // the picture's parts: split view, tabs, form page
#define HINT_PAGE_ART 718
#define HINT_TEXT_X 33
#define HINT_TEXT_Y 95
#define HINT_ICON_X 20

static void BlitArt(HDC dc, HBITMAP art, int x, int y)
{
    if (!art) return;
    int w = 0, h = 0;
    GetBitmapSize(art, &w, &h);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, art);
    BitBlt(dc, x, y, w, h, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(art);
}

// Draws part (0 split view, 1 tabs, 2 form page) of the hint picture at (x, y); flipped turns it
// upside down (tabs below).
static void DrawHintIcon(HDC dc, HBITMAP icon, int part, int x, int y, int flipped)
{
    if (!icon) return;
    int w = 0, h = 0;
    GetBitmapSize(icon, &w, &h);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, icon);
    if (flipped)
        StretchBlt(dc, x, y + h - 1, HINT_ICON_PART, -h, source, part * HINT_ICON_PART, 0, HINT_ICON_PART, h, SRCCOPY);
    else
        BitBlt(dc, x, y, HINT_ICON_PART, h, source, part * HINT_ICON_PART, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

static void DrawHintLine(HDC dc, int y, const char *text)
{
    TextOutA(dc, HINT_TEXT_X, y, text, (int)strlen(text));
}

const char *GetEmptyPageHintListText(void)
{
    if (!gFullScreen) return "in the window to the left.";
    return gTabsOnTop ? "on the tabs above." : "on the tabs below.";
}

int DrawEmptyPageHint(HDC dc, const RECT *rect, int erase)
{
    if (!dc || !rect) return 0;
    if (erase) FillRect(dc, rect, (HBRUSH)GetStockObject(WHITE_BRUSH));
    RECT client = {0, 0, rect->right, rect->bottom};
    if (gPageViewWindow) GetClientRect(gPageViewWindow, &client);
    int width = client.right > rect->right ? client.right : rect->right;
    int height = client.bottom > rect->bottom ? client.bottom : rect->bottom;
    if (width <= 0 || height <= 0) return 0;
    HBITMAP canvas = CreateDibBitmap(width, height, 24, WHITENESS, NULL, NULL);
    if (!canvas) return 0;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ oldCanvas = SelectObject(memory, canvas);

    BlitArt(memory, DrawVectorArt(0.16284, 0.16143, 0, 1, 2, 10, RGB(255, 255, 255), NULL, 0), 20, 20);
    VectorArtLayer pageArt[2];
    memset(pageArt, 0, sizeof(pageArt));
    pageArt[0].resourceId = HINT_PAGE_ART;
    pageArt[0].colour = 0x800000;
    BlitArt(memory, DrawVectorArt(0.09, 0.09, 0, 0, 2, 10, RGB(255, 255, 255), pageArt, sizeof(pageArt)), 120, 60);

    HFONT font = gFormsTreeWindow ? (HFONT)SendMessageA(gFormsTreeWindow, WM_GETFONT, 0, 0) : NULL;
    if (!font) font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    HGDIOBJ oldFont = SelectObject(memory, font);
    SetBkMode(memory, OPAQUE);   // the lines stay readable where they cross the page picture
    SetBkColor(memory, RGB(255, 255, 255));
    SetTextColor(memory, RGB(0, 0, 0));
    SetTextAlign(memory, TA_TOP | TA_LEFT);
    HBITMAP icon = LoadBitmapA(gInstance ? gInstance : GetModuleHandleA(NULL), MAKEINTRESOURCEA(HINT_ICON_BITMAP));

    DrawHintIcon(memory, icon, 2, HINT_ICON_X, HINT_TEXT_Y + 2, 0);
    DrawHintLine(memory, HINT_TEXT_Y, "Individual tax forms will be displayed in this window after they have been opened.");
    char line[160] = "A list of the forms in your return(s) will be displayed ";
    strncat(line, GetEmptyPageHintListText(), sizeof(line) - strlen(line) - 1);
    DrawHintIcon(memory, icon, gFullScreen ? 1 : 0, HINT_ICON_X, HINT_TEXT_Y + 20 + 2, gFullScreen && !gTabsOnTop);
    DrawHintLine(memory, HINT_TEXT_Y + 20, line);
    if (gPageDrawProblem[0]) {
        // A page was chosen but could not be drawn: say so, not that no return is open.
        SetTextColor(memory, RGB(178, 0, 0));
        char problem[sizeof(gPageDrawProblem) + 8];
        snprintf(problem, sizeof(problem), "[ %s ]", gPageDrawProblem);
        DrawHintLine(memory, HINT_TEXT_Y + 60, problem);
    } else {
        SetTextColor(memory, RGB(0, 0, 178));
        DrawHintLine(memory, HINT_TEXT_Y + 60,
                     "[ No tax returns are currently open.  Click the 'Open' or 'Add Form' button to begin.]");
    }
    if (icon) DeleteObject(icon);
    SelectObject(memory, oldFont);

    BitBlt(dc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, memory, rect->left,
           rect->top, SRCCOPY);
    SelectObject(memory, oldCanvas);
    DeleteDC(memory);
    DeleteObject(canvas);
    return 1;
}
