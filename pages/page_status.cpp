// page_status.cpp - status prompts with their icons, and the notice of a page that cannot be
// drawn (in the status bar and in the page view, instead of the empty view's hint).
#include "pages/pages.h"
#include "ui/ui.h"

#include <stdio.h>

char gPageDrawProblem[200];

HICON GetStatusPromptIcon(int which)
{
    static const char *const names[4] = {"STATUS_LOADING_BMP", "STATUS_READY_BMP", "STATUS_ENTRY_BMP",
                                         "STATUS_PROBLEM_BMP"};
    static HICON icons[4];
    if (which < 0 || which > 3)
        return NULL;
    if (!icons[which]) {
        HBITMAP bitmap = (HBITMAP)LoadImageA(gInstance ? gInstance : GetModuleHandleA(NULL), names[which],
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        if (bitmap) {
            icons[which] = BitmapToIcon(bitmap, NULL, 0, NULL);
            DeleteObject(bitmap);
        }
    }
    return icons[which];
}

void ReportPageNotDrawn(const char *why)
{
    snprintf(gPageDrawProblem, sizeof(gPageDrawProblem), "This page cannot be drawn: %s", why ? why : "");
    SetStatusText(gStatusBar, 2, gPageDrawProblem, GetStatusPromptIcon(STATUS_ICON_PROBLEM));
    if (gPageViewWindow)
        InvalidateRect(gPageViewWindow, NULL, FALSE);
}
