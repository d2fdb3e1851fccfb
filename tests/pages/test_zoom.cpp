// The zoom dialog and the view modes: the dialog built from "ZoomDlg" and driven with
// messages (the button of the zoom at opening, what each choice sets after OK, Cancel and Esc,
// the fits at two window sizes), the View commands and the toolbar's magnifier of the main
// window, and where split and full screen put the tree, the tabs and the page view.
#include "pages/pages.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// Restores the zoom and the view mode a test changed.
class ZoomTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ShowWindow(window, SW_SHOWNORMAL);
        PumpMessages(0);
    }
    void TearDown() override
    {
        gZoom = 0.3f;
        SetViewMode(window, 0, 0);
        MainWindowTest::TearDown();
    }
};

// A fitted zoom as the page view supports it (50 % to 200 %).
float HeldZoom(float zoom)
{
    return zoom < ZoomFromPercent(50) ? ZoomFromPercent(50) : zoom > ZoomFromPercent(200) ? ZoomFromPercent(200) : zoom;
}

INT_PTR RunZoomDialog(const std::function<void(HWND)> &steps)
{
    return RunDialogWithSteps([] { return (INT_PTR)ShowZoomDialog(gMainWindow); }, steps);
}

TEST_F(ZoomTest, TheDialogOpensOnTheButtonOfTheZoom)
{
    struct Case {
        float zoom;
        int fullScreen;
        int radio;
        const char *percent;
        const char *fitWidthCaption;
    } cases[] = {
        {0.3f, 0, IDC_ZOOM_100, "100", "Fit to Window Width"},
        {0.6f, 1, IDC_ZOOM_200, "200", "Fit to Screen Width"},
        {0.225f, 0, IDC_ZOOM_75, "75", "Fit to Window Width"},
        {0.45f, 1, IDC_ZOOM_PERCENT, "150", "Fit to Screen Width"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.percent);
        gZoom = c.zoom;
        SetViewMode(window, c.fullScreen, 0);
        INT_PTR result = RunZoomDialog([&](HWND dialog) {
            for (int id = IDC_ZOOM_200; id <= IDC_ZOOM_PERCENT; id++)
                EXPECT_EQ(id == c.radio, IsControlChecked(dialog, id) != 0) << id;
            EXPECT_EQ(c.percent, GetControlText(dialog, IDC_ZOOM_EDIT));
            EXPECT_EQ(c.radio == IDC_ZOOM_PERCENT, IsControlEnabled(dialog, IDC_ZOOM_EDIT) != 0);
            EXPECT_EQ(c.radio == IDC_ZOOM_PERCENT, IsControlEnabled(dialog, IDC_ZOOM_SPIN) != 0);
            EXPECT_EQ(c.fitWidthCaption, GetControlText(dialog, IDC_ZOOM_FITWIDTH));
            EXPECT_TRUE(SendDlgItemMessageA(dialog, IDC_ZOOM_OK, BM_GETIMAGE, IMAGE_ICON, 0) != 0);
            EXPECT_TRUE(SendDlgItemMessageA(dialog, IDCANCEL, BM_GETIMAGE, IMAGE_ICON, 0) != 0);
            ClickButton(dialog, IDCANCEL);
        });
        EXPECT_EQ(0, (int)result);
        EXPECT_EQ(c.zoom, gZoom);
    }
}

TEST_F(ZoomTest, OkSetsTheZoomOfTheChoiceAndCancelOrEscKeepsIt)
{
    struct Case {
        int radio;
        const char *typed;    // into "Percent:" (null: nothing typed)
        const char *shown;    // the percentage shown after the click
        int end;              // IDC_ZOOM_OK, IDCANCEL (Cancel button) or 0 (Esc)
        int result;
        float zoom;
    } cases[] = {
        {IDC_ZOOM_200, NULL, "200", IDC_ZOOM_OK, 1, 0.6f},
        {IDC_ZOOM_75, NULL, "75", IDC_ZOOM_OK, 1, 0.225f},
        {IDC_ZOOM_PERCENT, "20", "100", IDC_ZOOM_OK, 1, ZoomFromPercent(50)},
        {IDC_ZOOM_PERCENT, "500", "100", IDC_ZOOM_OK, 1, 0.6f},
        {IDC_ZOOM_PERCENT, "150", "100", IDC_ZOOM_OK, 1, 0.45f},
        {IDC_ZOOM_PERCENT, "0", "100", IDC_ZOOM_OK, 0, 0.3f},
        {IDC_ZOOM_PERCENT, "", "100", IDC_ZOOM_OK, 0, 0.3f},
        {IDC_ZOOM_PERCENT, "x5", "100", IDC_ZOOM_OK, 0, 0.3f},
        {IDC_ZOOM_200, NULL, "200", IDCANCEL, 0, 0.3f},
        {IDC_ZOOM_200, NULL, "200", 0, 0, 0.3f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(&c - cases);
        gZoom = 0.3f;
        gPageViewFlags = 0;
        INT_PTR result = RunZoomDialog([&](HWND dialog) {
            SendDlgItemMessageA(dialog, c.radio, BM_CLICK, 0, 0);
            EXPECT_EQ(c.shown, GetControlText(dialog, IDC_ZOOM_EDIT));
            EXPECT_EQ(c.radio == IDC_ZOOM_PERCENT, IsControlEnabled(dialog, IDC_ZOOM_EDIT) != 0);
            if (c.typed)
                SetControlText(dialog, IDC_ZOOM_EDIT, c.typed);
            if (c.end)
                ClickButton(dialog, c.end);
            else
                PostMessageA(GetDlgItem(dialog, IDC_ZOOM_200), WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_EQ(c.result, (int)result);
        EXPECT_EQ(c.zoom, gZoom);
        // A change marks the page view for a rebuild at the new zoom.
        EXPECT_EQ(c.result == 1, (gPageViewFlags & PAGE_VIEW_ZOOMED) != 0);
    }
}

// The fits: the width into the work area (less the tree in split screen), the height into the
// page view; held to 50 % .. 200 %. Two window sizes and both modes.
TEST_F(ZoomTest, FitsFollowTheWindowAndStayInRange)
{
    struct Case {
        int width, height, fullScreen;
    } cases[] = {{1000, 800, 0}, {400, 330, 0}, {1000, 800, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        SetWindowPos(window, NULL, 0, 0, c.width, c.height, SWP_NOZORDER | SWP_NOACTIVATE);
        SetViewMode(window, c.fullScreen, 0);
        PumpMessages(0);
        RECT work, tree, view;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(gFormsTreeWindow, &tree);
        GetClientRect(gPageViewWindow, &view);
        int availWidth = (work.right - work.left) - 2 * (GetSystemMetrics(SM_CXEDGE) + 1) -
                         GetSystemMetrics(SM_CXVSCROLL) -
                         (c.fullScreen ? 0 : (tree.right - tree.left) + GetSystemMetrics(SM_CXEDGE));
        float fits[2] = {HeldZoom((float)availWidth / 2400.0f), HeldZoom((float)view.bottom / 3168.0f)};
        for (int mode = 0; mode < 2; mode++) {
            gZoom = 0.3f;
            int radio = mode ? IDC_ZOOM_FITHEIGHT : IDC_ZOOM_FITWIDTH;
            EXPECT_EQ(1, (int)RunZoomDialog([&](HWND dialog) {
                SendDlgItemMessageA(dialog, radio, BM_CLICK, 0, 0);
                EXPECT_EQ(std::to_string(PercentFromZoom(fits[mode])), GetControlText(dialog, IDC_ZOOM_EDIT));
                ClickButton(dialog, IDC_ZOOM_OK);
            }));
            EXPECT_EQ(fits[mode], gZoom) << "mode " << mode;
        }
    }
    // A page view with no room gives no zoom, never one of 0 or below.
    float zoom = 0.3f;
    EXPECT_EQ(0, ComputeFitZoomFor(2, 2400, 3168, 0, 0, &zoom));
    EXPECT_EQ(200, ComputeFitZoomFor(1, 2400, 3168, 4800, 0, &zoom));
    EXPECT_EQ(0.6f, zoom);
    EXPECT_EQ(50, ComputeFitZoomFor(2, 2400, 3168, 0, 10, &zoom));
    EXPECT_EQ(ZoomFromPercent(50), zoom);
}

RECT RectIn(HWND window, HWND parent)
{
    RECT rc;
    GetWindowRect(window, &rc);
    MapWindowPoints(NULL, parent, (POINT *)&rc, 2);
    return rc;
}

TEST_F(ZoomTest, ViewModesMoveTheTabsAndCheckTheirMenuItems)
{
    struct Case {
        int command;            // a View command, or 0 to call SetViewMode(mode, tabsOnTop)
        int mode, tabsOnTop;
        int applied;
        int fullScreen;         // what holds afterwards
        bool tabsOnTopAfter;
    } cases[] = {
        {IDM_FULLSCREEN, 0, 0, 1, 1, false},
        {0, 1, 1, 1, 1, true},
        {IDM_SPLITSCREEN, 0, 0, 1, 0, true},
        {0, 2, 0, 0, 0, true},   // no such mode: nothing changes
        {IDM_FULLSCREEN, 0, 0, 1, 1, true},
        {0, 1, 0, 1, 1, false},
    };
    HMENU menu = GetMenu(window);
    for (const Case &c : cases) {
        SCOPED_TRACE(&c - cases);
        if (c.command)
            SendMessageA(window, WM_COMMAND, c.command, 0);
        else
            EXPECT_EQ(c.applied, SetViewMode(window, c.mode, c.tabsOnTop));
        PumpMessages(0);
        EXPECT_EQ(c.fullScreen, gFullScreen);
        EXPECT_EQ(c.fullScreen != 0, (GetMenuState(menu, IDM_FULLSCREEN, MF_BYCOMMAND) & MF_CHECKED) != 0);
        EXPECT_EQ(c.fullScreen == 0, (GetMenuState(menu, IDM_SPLITSCREEN, MF_BYCOMMAND) & MF_CHECKED) != 0);
        EXPECT_EQ(c.fullScreen == 0, IsWindowVisible(gFormsTreeWindow) != 0);
        EXPECT_EQ(c.fullScreen != 0, IsWindowVisible(gFormTabs) != 0);
        EXPECT_EQ(c.fullScreen ? gFormTabs : window, GetParent(gPageViewWindow));
        EXPECT_EQ(c.fullScreen == 0, (GetWindowLongA(gPageViewWindow, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);
        EXPECT_NE(0, GetWindowLongA(gPageViewWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);   // files still drop
        if (!c.fullScreen) {
            EXPECT_GE(RectIn(gPageViewWindow, window).left, RectIn(gFormsTreeWindow, window).right);
            continue;
        }
        // Full screen: the page view fills the tabs' display area; the tab strip above or below it.
        EXPECT_EQ(c.tabsOnTopAfter, (GetWindowLongA(gFormTabs, GWL_STYLE) & TCS_BOTTOM) == 0);
        RECT tabs, view = RectIn(gPageViewWindow, gFormTabs);
        GetClientRect(gFormTabs, &tabs);
        int above = view.top - tabs.top, below = tabs.bottom - view.bottom;
        EXPECT_GT(c.tabsOnTopAfter ? above : below, 15);
        EXPECT_LT(c.tabsOnTopAfter ? below : above, 15);
        EXPECT_GT(view.right - view.left, tabs.right - tabs.left - 15);
    }
}

// View > Zoom... and the toolbar's magnifier (command 40007) open the dialog.
TEST_F(ZoomTest, TheZoomCommandAndTheToolbarMagnifierOpenTheDialog)
{
    gZoom = 0.3f;
    EXPECT_EQ(0, (int)RunDialogWithSteps([&] { return SendMessageA(window, WM_COMMAND, IDM_ZOOM, 0); },
                                         [](HWND dialog) {
                                             SendDlgItemMessageA(dialog, IDC_ZOOM_200, BM_CLICK, 0, 0);
                                             ClickButton(dialog, IDC_ZOOM_OK);
                                         }));
    EXPECT_EQ(0.6f, gZoom);
    RECT button;
    ASSERT_TRUE(SendMessageA(gToolbar, TB_GETRECT, IDM_ZOOM, (LPARAM)&button));
    LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    bool opened = false;
    RunDialogWithSteps(
        [&] {
            PostMessageA(gToolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageA(gToolbar, WM_LBUTTONUP, 0, at);
            PumpMessages(300);
            return (INT_PTR)0;
        },
        [&](HWND dialog) {
            opened = true;
            EXPECT_TRUE(IsControlChecked(dialog, IDC_ZOOM_200));
            SendDlgItemMessageA(dialog, IDC_ZOOM_75, BM_CLICK, 0, 0);
            ClickButton(dialog, IDC_ZOOM_OK);
        });
    EXPECT_TRUE(opened);
    EXPECT_EQ(0.225f, gZoom);
}

// Full screen and back to split screen with the sample's Form 1040 shown: every part of the
// window is painted again as it would be from scratch (no band of the full-screen layout left).
TEST_F(ZoomTest, BackToSplitScreenTheWindowShowsWhatAFullRepaintShows)
{
    std::string path = SampleReturnFolder("lvviewmode", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"}) + "Sample.qvr";
    if (!FileExists(path.c_str()))
        GTEST_SKIP() << "no sample return in the build";
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    WaitForRecompute();
    PumpMessages(100);
    for (int tabsOnTop = 0; tabsOnTop < 2; tabsOnTop++) {
        SCOPED_TRACE(tabsOnTop);
        SetViewMode(window, 1, tabsOnTop);
        PumpMessages(100);
        SendMessageA(window, WM_COMMAND, IDM_SPLITSCREEN, 0);
        PumpMessages(100);
        Screenshot shown, repainted;
        ASSERT_EQ(1, CaptureClientAreaAsShown(window, &shown));
        ASSERT_EQ(1, CaptureClientArea(window, &repainted));
        ASSERT_EQ(shown.width, repainted.width);
        ASSERT_EQ(shown.height, repainted.height);
        int stale = 0, top = -1, bottom = -1;
        for (int y = 0; y < shown.height; y++)
            for (int x = 0; x < shown.width; x++)
                if (shown.At(x, y) != repainted.At(x, y)) {
                    stale++;
                    if (top < 0) top = y;
                    bottom = y;
                }
        EXPECT_EQ(0, stale) << "rows " << top << " to " << bottom;
    }
}

}  // namespace
