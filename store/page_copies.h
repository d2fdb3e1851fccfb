// page_copies.h - copy numbers of a form's pages in the open return, and the copies limit.
#ifndef LEVYLINE_PAGE_COPIES_H
#define LEVYLINE_PAGE_COPIES_H

#include <windows.h>

// The smallest copy number (from 1) that no page of the open return with this page key holds:
// after a copy is removed, a new copy takes its number, never one still in use.
int GetFreeCopyNumber(const char *pageKey);
// Tells the user that fewer copies were added than asked for: formName allows at most maxCopies
// copies of a page in a return; added pages were added in all.
void ShowCopiesLimited(HWND owner, const char *formName, int maxCopies, int added);

#endif // LEVYLINE_PAGE_COPIES_H
