// Dialog helpers shared by every dialog of the program: placement, the hook of the
// open and save dialogs, help.
#include "ui/ui.h"
#include "store/store.h"

#include <stdio.h>
#include <string.h>

int PlaceDialogOnParent(HWND window, int mode)
{
    if (!window)
        return 0;
    HWND parent = GetParent(window);
    if (!parent)
        parent = GetWindow(window, GW_OWNER);
    if (!parent)
        parent = gMainWindow;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT rc;
    GetWindowRect(window, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    RECT around = work;
    if (mode == 2 && parent && IsWindow(parent))
        GetWindowRect(parent, &around);
    int x = around.left + ((around.right - around.left) - w) / 2;
    int y = around.top + ((around.bottom - around.top) - h) / 2;
    // Keep the whole dialog inside the work area.
    return MoveWindowInside(window, x, y, &work);
}

int MoveWindowInside(HWND window, int x, int y, const RECT *area)
{
    RECT rc;
    if (!window || !area || !GetWindowRect(window, &rc))
        return 0;
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (x + w > area->right)
        x = area->right - w;
    if (y + h > area->bottom)
        y = area->bottom - h;
    if (x < area->left)
        x = area->left;
    if (y < area->top)
        y = area->top;
    SetWindowPos(window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
}

// Hook of the Explorer-style open and save dialogs: places the dialog over the main
// window when it first appears.
UINT_PTR CALLBACK FileDialogHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const OFNOTIFYA *notify = (const OFNOTIFYA *)lParam;
        if (notify && notify->hdr.code == CDN_INITDONE)
            PlaceDialogOnParent(GetParent(dialog), 2);
    }
    return 0;
}

// Opens the help file at a topic. The help file ships beside the program; when it is
// missing the user is told where it was looked for.
int ShowHelpTopic(HWND owner, const char *topic, int mode)
{
    char folder[MAX_PATH] = "";
    GetProgramFolder(folder, 0);
    char path[MAX_PATH + 32];
    // The program folder comes without its trailing backslash.
    size_t n = strlen(folder);
    snprintf(path, sizeof(path), "%s%sQuorvel.chm", folder, n && folder[n - 1] != '\\' ? "\\" : "");
    if (!FileExists(path)) {
        // Topics the program carries itself are shown without the help file.
        if (ShowBuiltInHelpTopic(owner, topic))
            return 1;
        char text[MAX_PATH + 128];
        snprintf(text, sizeof(text), "The help file could not be found.\n\n%s", path);
        ShowMessageBox(owner, text, "Help", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    typedef HWND(WINAPI * HtmlHelpProc)(HWND, LPCSTR, UINT, DWORD_PTR);
    HtmlHelpProc help = (HtmlHelpProc)GetDllProc("hhctrl.ocx", "HtmlHelpA");
    char target[MAX_PATH + 200];
    if (topic && topic[0])
        snprintf(target, sizeof(target), "%s::/%s%s", path, topic, mode == 2 ? ">wide" : "");
    else
        snprintf(target, sizeof(target), "%s", path);
    if (!help || !help(owner, target, 0 /* HH_DISPLAY_TOPIC */, 0)) {
        OpenWithShell("open", path);
        return 0;
    }
    return 1;
}
