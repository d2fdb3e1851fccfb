// The pages of a copy of the sample return in the main window: names on pages filed later, the
// zoom of the next return, the e-mail typed on Form 1040 and the Summary page after Save As.
#include "tests/pages/test_pageview_util.h"

using namespace pageview_test;

namespace {

struct ReturnPages : ::testing::Test {
    HWND main = NULL;
    std::string folder;
    void SetUp() override
    {
        folder = SampleReturnFolder("lvretpages", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"});
        if (!FileExists((folder + "Sample.qvr").c_str()))
            GTEST_SKIP() << "no sample return in the build";
        main = OpenMainWindow();
        ShowWindow(main, SW_SHOW);
        MoveWindow(main, 0, 0, 1200, 900, TRUE);
        ASSERT_EQ(1, SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)(folder + "Sample.qvr").c_str()));
        WaitForRecompute();
        PumpMessages(50);
    }
    void TearDown() override
    {
        CloseEditBar(&gEditRequest);
        gReturnModified = 0;
        gZoom = PAGE_ZOOM_START;
        DestroyMainWindow(main);
    }
    static FieldRecord *FieldOf(FormInstance *page, const char *seq)
    {
        return &page->fieldTable->fields[FindLayoutField(page->fieldTable, 1, seq, 0)];
    }
};

TEST_F(ReturnPages, PagesFiledLaterCarryTheNamesBeforeTheyAreShown)
{
    std::string pak = BuiltFilePath("formpaks/f941.qvp");
    for (int i = 0; i < 3; i++)
        ASSERT_TRUE(CreateFormFromFormPak(pak.c_str(), i, 0) != NULL) << i;
    const char *name = ReturnText(gOpenReturnPtr, RETURN_NAME_LINE);
    ASSERT_STRNE("", name);
    FormInstance *pages[64];
    int count = EnumerateTreePages(NULL, pages, 64), filed = 0;
    for (int i = 0; i < count; i++) {
        if (strstr(pages[i]->pageKey, "941") && ++filed) {
            EXPECT_STREQ(name, FieldOf(pages[i], "0002")->value) << pages[i]->pageKey;
        }
    }
    EXPECT_EQ(3, filed);
}

TEST_F(ReturnPages, TheNextReturnOpensAtTheStartZoom)
{
    gZoom = 0.15f;   // 50 %
    SendMessageA(main, WM_COMMAND, IDM_CLOSE, 0);
    EXPECT_EQ(PAGE_ZOOM_START, gZoom);
    SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)(folder + "Sample.qvr").c_str());
    PumpMessages(50);
    EXPECT_EQ(720, ScaledSize().cx);
}

TEST_F(ReturnPages, TheEmailReachesTheRecordAndTheSummaryFollowsSaveAs)
{
    FormInstance *page = NULL;
    for (HTREEITEM item = Child(gTreeFederalFolder); item && !page; item = Next(item))
        if (!strcmp(((FormInstance *)GetTreeItemForm(item))->pageKey, "Form 1040.2"))
            page = (FormInstance *)GetTreeItemForm(item);
    ASSERT_TRUE(page != NULL);
    Select(page->treeItem);
    ClickField(FieldOf(page, "0517"));
    ASSERT_TRUE(gEditBarContainer != NULL);
    SetDlgItemTextA(gEditRequest.partWindows[0], IDC_EB_EDIT1, "jane.sample@example.org");
    SendMessageA(gEditRequest.partWindows[0], WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(50);
    EXPECT_STREQ("jane.sample@example.org", ReturnText(gOpenReturnPtr, RETURN_EMAIL));
    // The Summary page shown names the file it was just saved as (the page above its footer).
    Select(gTreeSummaryItem);
    ASSERT_EQ(1, SaveReturnFile(main, (folder + "Saved as.qvr").c_str()));
    HBITMAP fresh = RenderSummaryPage(NULL, NULL, 1, 1);
    RECT body = {0, 0, 2400, 2800};
    EXPECT_EQ(CountInk(fresh, &body), CountInk(gPageBitmap, &body));
    DeleteObject(fresh);
}

} // namespace
