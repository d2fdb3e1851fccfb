// The page road's speed in the main window: loading a page sends a handful of progress
// positions, and a zoom change to the zoom shown keeps the page view's scaled copy.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "pages/pages.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"
#include "tests/pages/test_pageview_util.h"

#include <string>
#include <vector>

namespace {

// Every PBM_SETPOS the thread's windows receive while a page loads.
int gLoadPositions;
LRESULT CALLBACK CountPositionsHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *message = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && message && message->message == PBM_SETPOS)
        gLoadPositions++;
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST(PageLoadProgress, LoadingAPageSendsAHandfulOfPositions)
{
    std::string sample = BuiltFilePath("samples/Sample.qvr");
    if (sample.empty())
        GTEST_SKIP() << "the sample return was not built";
    UseBuildFormPaks();
    gReturnModified = 0;
    HWND main = CreateMainWindow(gInstance);
    ASSERT_TRUE(main != NULL);
    ShowWindow(main, SW_SHOW);
    PumpMessages(30);
    SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)sample.c_str());
    WaitForRecompute();
    FormInstance *pages[16];
    int count = EnumerateTreePages(NULL, pages, 16);
    EXPECT_GE(count, 4);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountPositionsHook, NULL, GetCurrentThreadId());
    ASSERT_TRUE(hook != NULL);
    // Each page twice over, so that every page is loaded afresh (the page shown is not reloaded).
    for (int round = 0; round < 2; round++)
        for (int i = 0; i < count && i < 16; i++) {
            SCOPED_TRACE(pages[i]->pageKey);
            gLoadPositions = 0;
            SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)pages[i]->treeItem);
            EXPECT_EQ(pages[i], GetCurrentDocument(4));
            EXPECT_LE(gLoadPositions, 5);
            WaitForRecompute();
        }
    UnhookWindowsHookEx(hook);
    gReturnModified = 0;
    DestroyWindow(main);
    PumpMessages(20);
    RestoreFormPakFolder();
}

// ---- the page view's rebuild ----

// A zoom "change" to the zoom shown keeps the scaled copy; a real one makes a new copy.
TEST(PageViewRebuild, SameZoomKeepsTheScaledCopy)
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
    PumpMessages(30);
    SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)sample.c_str());
    WaitForRecompute();
    pageview_test::Repaint(0);
    HBITMAP first = (HBITMAP)SendMessageA(gPageViewWindow, WM_PAGE_GETSCALED, 0, 0);
    ASSERT_TRUE(first != NULL);
    EXPECT_EQ(720, pageview_test::ScaledSize().cx);
    // A mark in the copy survives only when the copy is kept.
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, first);
    SetPixel(dc, 1, 1, RGB(1, 2, 3));
    SelectObject(dc, old);
    pageview_test::Repaint(PAGE_VIEW_ZOOMED);
    HBITMAP kept = (HBITMAP)SendMessageA(gPageViewWindow, WM_PAGE_GETSCALED, 0, 0);
    EXPECT_EQ(first, kept);
    old = SelectObject(dc, kept);
    EXPECT_EQ(RGB(1, 2, 3), GetPixel(dc, 1, 1));
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(0, gPageViewFlags & PAGE_VIEW_ZOOMED);
    gZoom = 0.25f;
    pageview_test::Repaint(PAGE_VIEW_ZOOMED);
    EXPECT_EQ(600, pageview_test::ScaledSize().cx);
    EXPECT_FLOAT_EQ(0.25f, gLastPaintZoom);
    gZoom = 0.3f;
    gReturnModified = 0;
    DestroyWindow(main);
    PumpMessages(20);
    RestoreFormPakFolder();
}


} // namespace
