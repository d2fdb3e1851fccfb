// Work on all the tabs of a tab control at once. After each insertion or deletion the control
// lays all its tabs out again: unless they have one fixed width it measures the text of every
// tab (n insertions or deletions cost n squared text measurements: a quarter of a second to
// delete the tabs of a return of 300 pages), and while the tabs overflow the control it also
// moves and ranges its scroll arrows each time, which doubles the cost of every tab; a themed
// control also looks the cursor up each time. Each of those is a round trip to the window server,
// whose cost grows many times over when the machine is busy. Suspended, the tabs have a fixed
// width of zero, no images and no theme: nothing is measured, nothing overflows, nothing tracks.
#include "ui/ui.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <string.h>

// Narrower than this, a control overflows even with tabs of width zero (the selected tab
// stands out by a few pixels on each side).
#define TAB_STRIP_MIN_WIDTH 8

int SuspendTabLayout(HWND tabs, TabLayoutState *state)
{
    memset(state, 0, sizeof *state);
    if (!tabs || !IsWindow(tabs))
        return 0;
    LONG style = GetWindowLongA(tabs, GWL_STYLE);
    if (style & TCS_FIXEDWIDTH)
        return 0;
    state->suspended = 1;
    state->style = style;
    // A shown control is hidden without a repaint meanwhile (the window's own WM_SETREDRAW: the
    // control's would only stop its painting): the new width repaints the control at once, and
    // every change invalidates it. The fixed width comes before the other two changes: they lay
    // the tabs out again, and then measure none.
    state->hidden = (style & WS_VISIBLE) ? 1 : 0;
    if (state->hidden)
        DefWindowProcA(tabs, WM_SETREDRAW, FALSE, 0);
    // Zero-width tabs still overflow a control narrower than the selected tab's offsets (the
    // hidden tab strip beside the tree has no size at all): the control would then move and
    // show its scroll arrows on every change, which costs the window server a handful of round
    // trips per tab. A multi-line control never scrolls.
    RECT client;
    GetClientRect(tabs, &client);
    LONG extra = client.right - client.left < TAB_STRIP_MIN_WIDTH ? TCS_MULTILINE : 0;
    SetWindowLongA(tabs, GWL_STYLE, GetWindowLongA(tabs, GWL_STYLE) | TCS_FIXEDWIDTH | extra);
    state->images = (HIMAGELIST)SendMessageA(tabs, TCM_SETIMAGELIST, 0, 0);
    // A themed control looks the cursor up after every layout (for its hot tab), four round
    // trips to the window server per tab: meanwhile it has no theme (a class list of one blank
    // names no class of the theme).
    state->themed = GetWindowTheme(tabs) != NULL;
    if (state->themed)
        SetWindowTheme(tabs, L" ", L" ");
    state->tabWidth = LOWORD(SendMessageA(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(0, 0)));
    return 1;
}

void ResumeTabLayout(HWND tabs, TabLayoutState *state)
{
    if (!state->suspended)
        return;
    state->suspended = 0;
    if (!tabs || !IsWindow(tabs))
        return;
    // The style first: the tabs are measured with it, and the width (used only by fixed-width
    // tabs) comes back last; then the control is shown again and repainted in its final layout.
    SetWindowLongA(tabs, GWL_STYLE, (GetWindowLongA(tabs, GWL_STYLE) & ~(TCS_FIXEDWIDTH | TCS_MULTILINE)) |
                                        (state->style & (TCS_FIXEDWIDTH | TCS_MULTILINE)));
    if (state->themed)
        SetWindowTheme(tabs, NULL, NULL);
    SendMessageA(tabs, TCM_SETIMAGELIST, 0, (LPARAM)state->images);
    SendMessageA(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(state->tabWidth, 0));
    if (state->hidden) {
        DefWindowProcA(tabs, WM_SETREDRAW, TRUE, 0);
        // The page view may be a child of the tabs (full screen): it is repainted too.
        RedrawWindow(tabs, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    } else {
        InvalidateRect(tabs, NULL, TRUE);
    }
}

int DeleteAllTabs(HWND tabs)
{
    if (!tabs || !IsWindow(tabs))
        return 0;
    if (SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0) <= 0)
        return 1;
    TabLayoutState state;
    SuspendTabLayout(tabs, &state);
    SendMessageA(tabs, TCM_DELETEALLITEMS, 0, 0);
    ResumeTabLayout(tabs, &state);
    return 1;
}
