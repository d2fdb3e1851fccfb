// The main window: its frame, closing with and without unsaved changes.
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>

namespace {

HWND OpenMainWindow()
{
    HWND window = CreateMainWindow(gInstance);
    if (window) {
        ShowWindow(window, SW_SHOW);
        PumpMessages(50);
    }
    return window;
}

TEST(MainWindow, BuildsTheFrameAndClosesUnmodified)
{
    gReturnModified = 0;
    HWND window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ(gMainWindow, window);
    EXPECT_TRUE(IsWindow(gRebar));
    EXPECT_TRUE(IsWindow(gToolbar));
    EXPECT_TRUE(IsWindow(gStatusBar));
    EXPECT_TRUE(IsWindow(gFormTabs));
    EXPECT_TRUE(IsWindow(gFormsTreeWindow));
    EXPECT_TRUE(IsWindow(gPageViewWindow));
    EXPECT_EQ(GetParent(gStatusBar), window);
    // The panes fill the client area between the rebar and the status bar, tree left.
    RECT tree, page, client;
    GetWindowRect(gFormsTreeWindow, &tree);
    GetWindowRect(gPageViewWindow, &page);
    GetClientRect(window, &client);
    EXPECT_GT(tree.right - tree.left, 0);
    EXPECT_GE(page.left, tree.right);
    EXPECT_GT(page.bottom - page.top, 100);
    char status[64] = "";
    SendMessageA(gStatusBar, SB_GETTEXTA, 0, (LPARAM)status);
    EXPECT_STREQ("Ready", status);
    // The File menu names the PDF command as the Summary page's messages do.
    char item[64] = "";
    GetMenuStringA(GetMenu(window), IDM_PDFRETURN, item, sizeof(item), MF_BYCOMMAND);
    EXPECT_STREQ("Generate P&DF File...", item);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(GetShownMessageBoxes().empty());
    PumpMessages(0);
}

TEST(MainWindow, ModifiedReturnAsksBeforeClosing)
{
    HWND window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
    gReturnModified = 1;
    // Cancel keeps the window and the changes.
    ScriptMessageBoxAnswer(IDCANCEL);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(1, gReturnModified);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Save Changes?", GetShownMessageBoxes()[0].title);
    // No discards the changes and closes.
    ScriptMessageBoxAnswer(IDNO);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    gReturnModified = 0;
    PumpMessages(0);
}

TEST(MainWindow, FullScreenHidesTheTree)
{
    HWND window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
    SendMessageA(window, WM_COMMAND, IDM_FULLSCREEN, 0);
    EXPECT_FALSE(IsWindowVisible(gFormsTreeWindow));
    SendMessageA(window, WM_COMMAND, IDM_SPLITSCREEN, 0);
    EXPECT_TRUE(IsWindowVisible(gFormsTreeWindow));
    DestroyWindow(window);
    PumpMessages(0);
}

TEST(MainWindow, StatusTextSavesAndRestores)
{
    HWND window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
    char text[64];
    SetStatusText(gStatusBar, 2, "Ready", NULL);
    SetStatusText(gStatusBar, 1, "Loading page image...", NULL);
    SendMessageA(gStatusBar, SB_GETTEXTA, 0, (LPARAM)text);
    EXPECT_STREQ("Loading page image...", text);
    SetStatusText(gStatusBar, 3, NULL, NULL);
    SendMessageA(gStatusBar, SB_GETTEXTA, 0, (LPARAM)text);
    EXPECT_STREQ("Ready", text);
    HWND bar = CreateStatusProgressBar();
    EXPECT_TRUE(IsWindow(bar));
    EXPECT_EQ(1, DestroyStatusProgressBar(bar));
    EXPECT_FALSE(IsWindow(bar));
    DestroyWindow(window);
    PumpMessages(0);
}

}  // namespace
