// page_status.h - the status prompts of the page view with their icons, and the notice shown
// when a page cannot be drawn.
#ifndef LEVYLINE_PAGE_STATUS_H
#define LEVYLINE_PAGE_STATUS_H

#include <windows.h>

#define STATUS_ICON_LOADING 0
#define STATUS_ICON_READY   1
#define STATUS_ICON_ENTRY   2
#define STATUS_ICON_PROBLEM 3

// The status icon (kept for the program's life; never destroyed by the caller), or null.
HICON GetStatusPromptIcon(int which);
// Why the page chosen last could not be drawn ("" when it was drawn); the empty view says so.
extern char gPageDrawProblem[200];
// Records why the page cannot be drawn and shows it in the status bar with the problem icon.
void ReportPageNotDrawn(const char *why);

#endif // LEVYLINE_PAGE_STATUS_H
