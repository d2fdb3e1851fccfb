// tabstrip.h - work on all the tabs of a tab control at once.
#ifndef LEVYLINE_UI_TABSTRIP_H
#define LEVYLINE_UI_TABSTRIP_H

#include <windows.h>
#include <commctrl.h>

// What SuspendTabLayout changed, for ResumeTabLayout to put back.
struct TabLayoutState {
    int suspended;
    LONG style;
    HIMAGELIST images;
    int tabWidth;
    int hidden;   // the control was shown: hidden without a repaint meanwhile
    int themed;   // the control had a theme: none meanwhile
};

// Makes inserting and deleting tabs cost the same per tab however many there are: the tabs get
// one fixed width of zero and no images (nothing measured), a control too narrow even for those
// becomes multi-line (the tabs never overflow it, so it does not move its scroll arrows on every
// change), the control loses its theme (no cursor look-up after every change); a shown control
// is hidden without a repaint meanwhile. 0 when the control already has fixed-width tabs (nothing is
// changed then).
int SuspendTabLayout(HWND tabs, TabLayoutState *state);
// Gives the tabs their style, theme, images and width back and lays them out once.
void ResumeTabLayout(HWND tabs, TabLayoutState *state);
// Deletes every tab of the tab control at a cost per tab that does not grow with their number;
// the control keeps its style and images. 1 when the control was given.
int DeleteAllTabs(HWND tabs);

#endif
