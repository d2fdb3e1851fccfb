// tooltip.cpp - the program's tooltip windows: one auto-pop delay and one maximum tip width for
// every tooltip, and tools registered by window, client rectangle or tab item.
#include "entry/editbar/editbar_private.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <string.h>

static_assert(sizeof(TOOLINFOA) == 48, "the ANSI tool record of the common controls is 48 bytes");

HWND CreateTooltipWindow(HWND owner, DWORD extraStyle, int topmost)
{
    HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | extraStyle, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, NULL, gInstance, NULL);
    if (!tooltip)
        return NULL;
    if (topmost)
        SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(TOOLTIP_AUTOPOP_MS, 0));
    // A maximum width makes long hints wrap into lines.
    SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, TOOLTIP_MAX_WIDTH);
    return tooltip;
}

int BuildTooltipToolInfo(TOOLINFOA *info, HWND window, const char *text, UINT_PTR toolId, int rectMode,
                         UINT flags)
{
    if (!info)
        return 0;
    memset(info, 0, sizeof(*info));
    info->cbSize = sizeof(*info);
    info->uFlags = flags | TTF_SUBCLASS;
    info->uId = toolId;
    info->hinst = gInstance;
    info->lpszText = (LPSTR)text;
    if (!window || !IsWindow(window))
        return 0;
    switch (rectMode) {
    case TOOLTIP_RECT_PARENT: {
        HWND parent = GetParent(window);
        if (!parent)
            return 0;
        GetClientRect(window, &info->rect);
        MapWindowPoints(window, parent, (POINT *)&info->rect, 2);
        info->hwnd = parent;
        break;
    }
    case TOOLTIP_RECT_CLIENT:
    case TOOLTIP_RECT_CLIENT2:
        GetClientRect(window, &info->rect);
        info->hwnd = window;
        break;
    case TOOLTIP_RECT_TAB:
        if (!SendMessageA(window, TCM_GETITEMRECT, (WPARAM)toolId, (LPARAM)&info->rect))
            return 0;
        info->hwnd = window;
        break;
    default:
        return 0;
    }
    return 1;
}

void AddTooltipTool(HWND tooltip, HWND window, const char *text, UINT_PTR toolId, int rectMode, UINT flags)
{
    TOOLINFOA info;
    if (!tooltip || !BuildTooltipToolInfo(&info, window, text, toolId, rectMode, flags))
        return;
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, (LPARAM)&info);
}
