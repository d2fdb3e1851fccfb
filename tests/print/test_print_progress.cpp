// The progress dialog of printing and PDF output, and Cancel stopping a print job between pages.
#include <gtest/gtest.h>
#include "print/print.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/print/test_print_util.h"

#include <commctrl.h>
#include <string>

namespace {

void CALLBACK PressCancelWhenShown(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (!gPrintProgressDialog)
        return;
    KillTimer(0, timer);
    SendMessageA(gPrintProgressDialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

TEST(PrintProgress, PrintingAndPdfModes)
{
    gPrintJobActive = 1;
    HWND dialog = CreateDialogParamA(GetModuleHandleA(0), "PRINTABORT", 0, PrintAbortDlgProc, 1);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetControlText(dialog, 1036), "Printing: ");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDCANCEL)));
    EXPECT_TRUE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
    gPrintProgressDialog = dialog;
    SetPrintProgressTexts("Schedule A & B", "Printing page 1 of 2");
    EXPECT_EQ(GetControlText(dialog, 1226), "Schedule A & B");   // the static shows '&' as it is
    EXPECT_EQ(GetControlText(dialog, 1036), "Printing page 1 of 2");
    ClickButton(dialog, IDCANCEL);
    EXPECT_EQ(gPrintJobActive, 0);
    EXPECT_EQ(PrintAbortProc(0, 0), FALSE);
    gPrintProgressDialog = 0;
    DestroyWindow(dialog);

    dialog = CreateDialogParamA(GetModuleHandleA(0), "PRINTABORT", 0, PrintAbortDlgProc, 2);
    ASSERT_TRUE(dialog);
    char title[64] = "";
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, " Generating PDF File");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDCANCEL)));
    RECT outer, templateSize = {0, 0, 200, 66};
    GetWindowRect(dialog, &outer);
    MapDialogRect(dialog, &templateSize);
    EXPECT_EQ(outer.right - outer.left, templateSize.right);   // outer size = the former client size
    EXPECT_EQ(outer.bottom - outer.top, templateSize.bottom);
    DestroyWindow(dialog);
}

TEST(PrintProgress, CancelStopsTheJobAndNothingIsPrinted)
{
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: scripts/cups.sh makes the file printer the default";
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 600, 400, 0, 0, GetModuleHandleA(0), 0);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 200;
    column.pszText = (char *)"Note";
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = (char *)"Preparer note";
    SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    ListPrintJob job;
    InitListPrintJob(&job, list);
    job.title = "Notes";
    HWND owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPED, 0, 0, 200, 200, 0, 0, GetModuleHandleA(0), 0);
    PrintJobFileLock lock;
    ClearPrintJob();
    int result = -1;
    RunDialogWithSteps([&] { result = PrintForms(owner, &job, 0, 2, 0, 0); return (INT_PTR)0; },
                       [&](HWND dialog) {
                           SetTimer(0, 0, 1, PressCancelWhenShown);
                           ClickButton(dialog, IDOK);
                       });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(GetShownMessageBoxes().empty());   // a cancel is no failure
    EXPECT_EQ(gPrintProgressDialog, nullptr);
    Sleep(1500);
    EXPECT_EQ(CountJobPages(ReadWholeFile(ToWinePath(PrintJobUnixPath()))), 0);
    DestroyWindow(owner);
    DestroyWindow(list);
}

// A long report stops at the page where Cancel is pressed, not after its last page.
TEST(PrintProgress, CancelIsSeenBetweenPagesOfALongListReport)
{
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: scripts/cups.sh makes the file printer the default";
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 600, 400, 0, 0, GetModuleHandleA(0), 0);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 200;
    column.pszText = (char *)"Note";
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    for (int i = 0; i < 400; i++) {   // many pages
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = (char *)"Preparer note";
        SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    }
    ListPrintJob job;
    InitListPrintJob(&job, list);
    job.title = "Notes";
    HWND owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPED, 0, 0, 200, 200, 0, 0, GetModuleHandleA(0), 0);
    PrintJobFileLock lock;
    ClearPrintJob();
    int result = -1;
    RunDialogWithSteps([&] { result = PrintForms(owner, &job, 0, 2, 0, 0); return (INT_PTR)0; },
                       [&](HWND dialog) {
                           SetTimer(0, 0, 1, PressCancelWhenShown);
                           ClickButton(dialog, IDOK);
                       });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(GetShownMessageBoxes().empty());
    EXPECT_LE(job.pagesProduced, 2);   // stopped after the page on which Cancel came
    DestroyWindow(owner);
    DestroyWindow(list);
}
