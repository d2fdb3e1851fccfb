// Deleting all the tabs of a tab control. The control deletes its tabs one by one and lays the
// remaining ones out after each deletion; unless its tabs have one fixed width, that layout
// measures the text of every remaining tab, so deleting n tabs took n squared text measurements
// (a quarter of a second for a return of 300 pages). With the fixed width on for the deletion
// nothing is measured; the style comes back once the control is empty.
#include "ui/ui.h"

#include <commctrl.h>

int DeleteAllTabs(HWND tabs)
{
    if (!tabs || !IsWindow(tabs))
        return 0;
    if (SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0) <= 0)
        return 1;
    LONG style = GetWindowLongA(tabs, GWL_STYLE);
    if (!(style & TCS_FIXEDWIDTH))
        SetWindowLongA(tabs, GWL_STYLE, style | TCS_FIXEDWIDTH);
    SendMessageA(tabs, TCM_DELETEALLITEMS, 0, 0);
    if (!(style & TCS_FIXEDWIDTH))
        SetWindowLongA(tabs, GWL_STYLE, style);
    return 1;
}
