// tabstrip.h - work on all the tabs of a tab control at once.
#ifndef LEVYLINE_UI_TABSTRIP_H
#define LEVYLINE_UI_TABSTRIP_H

#include <windows.h>

// Deletes every tab of the tab control at a cost per tab that does not grow with their number;
// the control keeps its style and shows no tab afterwards. 1 when the control was given.
int DeleteAllTabs(HWND tabs);

#endif
