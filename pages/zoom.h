// zoom.h - the zoom dialog ("ZoomDlg") and the view modes of the page area: split screen (the
// page view beside the forms tree) and full screen (the page view inside the form tabs).
#ifndef LEVYLINE_ZOOM_H
#define LEVYLINE_ZOOM_H

// Controls of "ZoomDlg".
#define IDC_ZOOM_200       1420
#define IDC_ZOOM_100       1421
#define IDC_ZOOM_75        1422
#define IDC_ZOOM_FITWIDTH  1423
#define IDC_ZOOM_FITHEIGHT 1424
#define IDC_ZOOM_PERCENT   1425
#define IDC_ZOOM_SPIN      1426
#define IDC_ZOOM_EDIT      1428
#define IDC_ZOOM_OK        1484
// Pictures of the OK and Cancel buttons (bitmaps, magenta transparent, made into icons) and the
// splitter picture of the main window's cursor in split-screen mode.
#define IDB_BUTTON_OK      332
#define IDB_BUTTON_CANCEL  319
#define IDB_SPLITTER       104

#ifndef RC_INVOKED
#include <windows.h>

// The zoom of a typed percentage (held to 50..200): p x 0.3 / 100, in single precision.
float ZoomFromPercent(int percent);
// The percentage shown for a zoom: trunc(zoom x 100 / 0.3 + 0.5).
int PercentFromZoom(float zoom);
// The radio button that stands for a zoom: 1421 for exactly 0.3, 1420 for 0.6, 1422 for 0.225,
// else 1425 ("Percent:").
int GetZoomRadioForZoom(float zoom);
// The percentage in the edit of "Percent:" (the first three characters): 1..999, or 0 for 0,
// an empty text or text that is not a number.
int ReadZoomPercentText(const char *text);

// Dialog procedure of "ZoomDlg"; ends with 1 when gZoom may have changed, 0 when not.
INT_PTR CALLBACK ZoomDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs "ZoomDlg" over owner; after a change marks the page view for a rebuild and repaints it.
// Returns the dialog's result; -1 (reported to the user) when the dialog could not be made.
int ShowZoomDialog(HWND owner);

// Mode 0 split screen, 1 full screen (any other mode does nothing); tabsOnTop puts the form
// tabs above the page view in full screen. Sets gFullScreen and gTabsOnTop. 1 when applied.
int SetViewMode(HWND mainWindow, int mode, int tabsOnTop);
// The main window's View commands: Zoom... (and the toolbar's magnifier), Split Screen, Full Screen.
LRESULT ViewCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);
#endif

#endif // LEVYLINE_ZOOM_H
