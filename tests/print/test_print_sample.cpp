// Printing the sample return the build makes (opened as a user opens it): its first page with the
// values and the "For Your Records" / "DO NOT MAIL" stamps, the page shown through "current
// page", and the Summary page without stamps.
#include <gtest/gtest.h>
#include "entry/entry.h"
#include "print/print.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"
#include "tests/print/test_print_util.h"

#include <commctrl.h>
#include <stdio.h>
#include <functional>
#include <string>

namespace {

// A copy of the sample return with its FormPaks beside it.
std::string SampleReturnPath()
{
    return SampleReturnFolder("lvprint", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp"}) +
           "Sample.qvr";
}

class PrintSample : public ::testing::Test {
protected:
    HWND window = 0;
    PrintJobFileLock lock;   // held for the whole test
    void SetUp() override
    {
        if (!HavePrinter())
            GTEST_SKIP() << "no printer: scripts/cups.sh makes the file printer the default";
        if (!FileExists(SampleReturnPath().c_str()))
            GTEST_SKIP() << "no sample return in the build";
        window = OpenMainWindow();
        ASSERT_TRUE(window);
        ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)SampleReturnPath().c_str()));
        PumpMessages(50);
        ClearPrintJob();
    }
    void TearDown() override
    {
        CloseOpenReturn();
        DestroyMainWindow(window);
        gReturnModified = 0;
    }
    // Prints with the dialog driven by steps, then returns the job's first page as a bitmap.
    HBITMAP PrintAndRender(HTREEITEM item, const std::function<void(HWND)> &steps, int *pagesOut)
    {
        int result = -1;
        RunDialogWithSteps([&] { result = PrintForms(window, 0, item, 1, 1, 0); return (INT_PTR)0; },
                           [&](HWND dialog) {
                               if (steps)
                                   steps(dialog);
                               ClickButton(dialog, IDOK);
                           });
        EXPECT_EQ(result, 1);
        *pagesOut = CountJobPages(WaitForPrintJob());
        return *pagesOut > 0 ? RenderJobPage(1, 50) : 0;
    }
};

HTREEITEM FirstChild(HTREEITEM parent)
{
    return (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)parent);
}

} // namespace

TEST_F(PrintSample, FirstPageShowsTheFormItsValuesAndTheStamps)
{
    HTREEITEM first = FirstChild(gTreeFederalFolder);
    ASSERT_TRUE(first);
    int pages = 0;
    HBITMAP page = PrintAndRender(first, nullptr, &pages);
    EXPECT_EQ(pages, 2);   // the federal main-form page brings the federal folder's note along
    ASSERT_TRUE(page);
    int width = 0, height = 0;
    GetBitmapSize(page, &width, &height);
    RECT upper = {0, 0, width, height / 2}, lower = {0, height / 2, width, height};
    EXPECT_GT(PixelShare(page, upper, IsDarkPixel), 2.0);   // the form and its values
    EXPECT_GT(PixelShare(page, upper, IsGreyPixel), 0.5);   // "For Your Records"
    EXPECT_GT(PixelShare(page, lower, IsGreyPixel), 0.5);   // "DO NOT MAIL"
    DeleteObject(page);
}

TEST_F(PrintSample, CurrentPageIsThePageShown)
{
    // Opening selects the first page; the dialog starts on "Current Page".
    ASSERT_TRUE(GetCurrentDocument(4));
    int pages = 0;
    HBITMAP page = PrintAndRender(0, [](HWND dialog) {
        HWND options = GetDlgItem(dialog, IDC_PRINT_OPTIONS);
        EXPECT_TRUE(IsControlChecked(options, IDC_PRINT_CURRENT));
        HWND combo = GetDlgItem(options, IDC_PRINT_GROUP_COMBO);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);   // federal return, Summary, Status
    }, &pages);
    EXPECT_EQ(pages, 2);   // Form 1040, page 1, and the federal folder's note
    if (page)
        DeleteObject(page);
}

TEST_F(PrintSample, SummaryPagePrintsWithoutStamps)
{
    ASSERT_TRUE(gTreeSummaryItem);
    int pages = 0;
    HBITMAP page = PrintAndRender(gTreeSummaryItem, [](HWND dialog) {
        HWND options = GetDlgItem(dialog, IDC_PRINT_OPTIONS);
        EXPECT_EQ(GetControlText(options, IDC_PRINT_ALL), "Summary Page");
    }, &pages);
    EXPECT_EQ(pages, 1);
    ASSERT_TRUE(page);
    int width = 0, height = 0;
    GetBitmapSize(page, &width, &height);
    RECT all = {0, 0, width, height};
    EXPECT_LT(PixelShare(page, all, IsGreyPixel), 0.05);
    DeleteObject(page);
}

TEST_F(PrintSample, SummaryAndStatusPagesPrintWhatTheyShow)
{
    HTREEITEM items[2] = {gTreeSummaryItem, gTreeStatusItem};
    for (HTREEITEM item : items) {
        ASSERT_TRUE(item);
        ClearPrintJob();
        int pages = 0;
        HBITMAP page = PrintAndRender(item, nullptr, &pages);
        EXPECT_EQ(pages, 1);
        ASSERT_TRUE(page);
        int width = 0, height = 0;
        GetBitmapSize(page, &width, &height);
        RECT title = {0, 0, width, height / 6}, body = {0, height / 6, width, height / 2};
        RECT footer = {0, height * 19 / 20, width, height};
        EXPECT_GT(PixelShare(page, title, IsDarkPixel), 1.0);    // the title and the logo
        EXPECT_GT(PixelShare(page, body, IsDarkPixel), 0.5);     // the boxes and their rows
        EXPECT_GT(PixelShare(page, footer, IsDarkPixel), 0.1);   // "Levyline 2024.0a" and the web address
        DeleteObject(page);
    }
}
