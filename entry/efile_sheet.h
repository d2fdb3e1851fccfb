// efile_sheet.h - the e-file information sheet (a property sheet): "Taxpayer Info" (page 0) and
// "e-File Options" (page 1), and the Setup menu commands that open it. Part of entry.h.
#ifndef LEVYLINE_ENTRY_EFILE_SHEET_H
#define LEVYLINE_ENTRY_EFILE_SHEET_H

#include <windows.h>
#include "entry/efile_sheet_ids.h"
#include "prepare/prepare.h"

#define EFILE_SHEET_TITLE "e-File Submission Information"

// Shows the sheet over owner at startPage (0 or 1) for returnRecord; subPage 1044 opens page 0 on
// its non-US address switch. OK stores the entries through the taxpayer items' edit rules (a
// refused entry is reported and the sheet shown again on it) and the names, SSNs and address
// follow on every page. Returns 1 when stored, 0 when cancelled.
int ShowEfileInfoSheet(HWND owner, int startPage, OpenReturn *returnRecord, int subPage);
// The page view's hook (gShowEfileInfoSheetProc): the open return's sheet at page.
int ShowEfileInfoSheetPage(HWND owner, int page);
// The main window's Setup commands: IDM_TAXPAYERINFO (page 0) and IDM_EFILEOPTIONS (page 1).
LRESULT TaxpayerSetupCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);

#endif // LEVYLINE_ENTRY_EFILE_SHEET_H
