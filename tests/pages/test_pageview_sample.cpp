// The sample return made by the build, opened in the main window: it opens on its first page
// with the values in place, and every page of the forms tree loads when it is selected; pages
// filed later carry the record's names; Save As and Close leave the views of what follows.
#include "tests/pages/test_pageview_util.h"
#include "prepare/prepare.h"
#include "tests/harness/pixels.h"
#include "tests/harness/sample.h"
#include "tests/harness/fields.h"

using namespace pageview_test;

namespace {

TEST(PageViewSample, OpensOnItsFirstPageAndLoadsEveryPage)
{
    std::string sample = BuiltFilePath("samples/Sample.qvr");
    if (sample.empty())
        GTEST_SKIP() << "the sample return was not built";
    UseBuildFormPaks();
    gReturnModified = 0;
    gZoom = 0.3f;
    HWND main = CreateMainWindow(gInstance);
    ASSERT_TRUE(main != NULL);
    ShowWindow(main, SW_SHOW);
    MoveWindow(main, 0, 0, 1200, 900, TRUE);
    PumpMessages(50);
    SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)sample.c_str());
    PumpMessages(300);

    // The first page of Form 1040, with the sample's wages painted in their field.
    FormInstance *first = (FormInstance *)GetCurrentDocument(4);
    ASSERT_TRUE(first != NULL);
    EXPECT_STREQ("Form 1040.1", first->pageKey);
    EXPECT_EQ(1, gPageShown);
    EXPECT_EQ("Click a shaded field to enter data", StatusText());
    int wages = FindLayoutField(first->fieldTable, 1, "0101", 0);
    ASSERT_GT(wages, 0);
    EXPECT_STREQ("52,000", first->fieldTable->fields[wages].value);
    RECT rc = *first->fieldTable->fields[wages].rect;
    EXPECT_GT(CountInk(gPageBitmap, &rc), 30);
    EXPECT_EQ(720, ScaledSize().cx);

    // Every page loads when selected; the generated pages say "Ready".
    FormInstance *pages[64];
    int count = EnumerateTreePages(NULL, pages, 64);
    EXPECT_GE(count, 4);
    for (int i = 0; i < count && i < 64; i++) {
        SCOPED_TRACE(pages[i]->pageKey);
        Select(pages[i]->treeItem);
        EXPECT_EQ(pages[i], GetCurrentDocument(4));
        EXPECT_EQ(1, gPageShown);
        EXPECT_EQ(pages[i]->fieldTable ? "Click a shaded field to enter data" : "Ready", StatusText());
    }
    Select(gTreeSummaryItem);
    EXPECT_EQ("Ready", StatusText());
    EXPECT_TRUE(SendMessageA(gToolbar, TB_ISBUTTONINDETERMINATE, IDM_DELETEPAGE, 0));

    gReturnModified = 0;
    DestroyWindow(main);
    PumpMessages(20);
    RestoreFormPakFolder();
}

// Pages filed after the return was opened show the record's names before they are shown, and
// Form 1040's e-mail field is the record's e-mail item.
TEST(PageViewSample, PagesShowTheRecordBeforeTheyAreShown)
{
    HWND main = OpenBuiltReturn("samples/Sample.qvr");
    if (!main)
        GTEST_SKIP() << "the sample return was not built";
    for (int i = 0; i < 3; i++)
        EXPECT_TRUE(CreateFormFromFormPak(BuiltFilePath("formpaks/f941.qvp").c_str(), i, 0) != NULL);
    for (const char *key : {"Form 941.1", "Form 941.2", "Schedule B (Form 941).1"})
        EXPECT_EQ(ReturnText(gOpenReturnPtr, RETURN_NAME_LINE), Value(FindReturnPage(key)->fieldTable, "0002")) << key;
    EXPECT_EQ(ReturnText(gOpenReturnPtr, RETURN_EMAIL), Value(FindReturnPage("Form 1040.2")->fieldTable, "0517"));
    CloseBuiltReturn(main);
}

// The Summary page shown follows Save As at once; the next return opens at the start zoom.
TEST(PageViewSample, SaveAsRedrawsTheSummaryAndCloseResetsTheZoom)
{
    HWND main = OpenBuiltReturn("samples/Sample.qvr");
    if (!main)
        GTEST_SKIP() << "the sample return was not built";
    Select(gTreeSummaryItem);
    std::string saved = TempPath("Saved as.qvr");
    ASSERT_EQ(1, SaveReturnFile(main, saved.c_str()));
    HBITMAP fresh = RenderSummaryPage(NULL, NULL, 1, 1);
    RECT body = {0, 0, 2400, 2800};   // above the footer's time
    EXPECT_EQ(CountInk(fresh, &body), CountInk(gPageBitmap, &body));
    DeleteObject(fresh);
    DeleteFileA(saved.c_str());
    gZoom = 0.15f;   // 50 %
    SendMessageA(main, WM_COMMAND, IDM_CLOSE, 0);
    EXPECT_EQ(PAGE_ZOOM_START, gZoom);
    CloseBuiltReturn(main);
}

} // namespace
