// The sample return made by the build, opened in the main window: it opens on its first page
// with the values in place, and every page of the forms tree loads when it is selected.
#include "tests/pages/test_pageview_util.h"
#include "prepare/prepare.h"
#include "tests/harness/pixels.h"
#include "tests/harness/sample.h"

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

} // namespace
