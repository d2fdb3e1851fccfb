// Printing the sample return's Schedule B, whose sixteen interest payers are a statement: the
// statement follows the form's pages as a page of its own, counted in the job.
#include <gtest/gtest.h>
#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"
#include "tests/print/test_print_util.h"

#include <commctrl.h>
#include <string>

namespace {

std::string StatementSamplePath()
{
    return SampleReturnFolder("lvprintstmt", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp"}) +
           "Sample.qvr";
}

HTREEITEM TreeChild(HTREEITEM item, int next)
{
    return (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, next ? TVGN_NEXT : TVGN_CHILD, (LPARAM)item);
}

TEST(PrintStatementSample, TheStatementPrintsAfterItsFormsPages)
{
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: scripts/cups.sh makes the file printer the default";
    if (!FileExists(StatementSamplePath().c_str()))
        GTEST_SKIP() << "no sample return in the build";
    PrintJobFileLock lock;
    HWND window = OpenMainWindow();
    ASSERT_TRUE(window);
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)StatementSamplePath().c_str()));
    PumpMessages(50);
    ASSERT_EQ(2, ListReturnStatements(nullptr, 0, 0));   // the note to self and the payers of Schedule B
    // The federal folder: five form pages, then the federal statements: the sample's note (it goes
    // with the federal main-form page) and Schedule B's payers. Schedule B alone: its payers.
    struct Case {
        HTREEITEM item;
        int pages;
    } cases[] = {{gTreeFederalFolder, 7}, {TreeChild(TreeChild(TreeChild(TreeChild(TreeChild(gTreeFederalFolder, 0), 1), 1), 1), 1), 2}};
    for (const Case &c : cases) {
        ASSERT_TRUE(c.item);
        ClearPrintJob();
        int result = -1;
        RunDialogWithSteps([&] { result = PrintForms(window, 0, c.item, 1, 1, 0); return (INT_PTR)0; },
                           [&](HWND dialog) { ClickButton(dialog, IDOK); });
        EXPECT_EQ(1, result);
        EXPECT_EQ(c.pages, CountJobPages(WaitForPrintJob()));
        // The last page is the statement: a little text (the payers) and the stamps on white.
        HBITMAP page = RenderJobPage(c.pages, 50);
        ASSERT_TRUE(page);
        int width = 0, height = 0;
        GetBitmapSize(page, &width, &height);
        RECT upper = {0, 0, width, height / 2};
        double dark = PixelShare(page, upper, IsDarkPixel);
        EXPECT_GT(dark, 0.2);
        EXPECT_LT(dark, 8.0);
        EXPECT_GT(PixelShare(page, upper, IsGreyPixel), 0.5);   // "For Your Records"
        DeleteObject(page);
    }
    CloseOpenReturn();
    DestroyMainWindow(window);
    gReturnModified = 0;
}

} // namespace
