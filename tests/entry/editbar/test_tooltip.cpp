// Tooltip windows: one auto-pop delay and tip width for all, and tools registered by the window's
// rectangle in its parent, its own client area or a tab item.
#include "entry/entry.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

struct TooltipFixture : ::testing::Test {
    HWND owner = NULL;
    HWND tooltip = NULL;
    void SetUp() override
    {
        owner = CreateWindowExA(0, "Static", "owner", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, NULL, NULL, gInstance,
                                NULL);
        ASSERT_NE(nullptr, owner);
        tooltip = CreateTooltipWindow(owner, 0, 1);
        ASSERT_NE(nullptr, tooltip);
    }
    void TearDown() override
    {
        if (tooltip)
            DestroyWindow(tooltip);
        DestroyWindow(owner);
    }
    std::string ToolText(HWND window, UINT_PTR id) { return ToolTextW(tooltip, window, id); }
    int ToolRect(HWND window, UINT_PTR id, RECT *rect)
    {
        TOOLINFOA info;
        memset(&info, 0, sizeof(info));
        info.cbSize = sizeof(info);
        info.hwnd = window;
        info.uId = id;
        if (!SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, (LPARAM)&info))
            return 0;
        *rect = info.rect;
        return 1;
    }
};

TEST_F(TooltipFixture, SharedDelayWidthAndStyle)
{
    EXPECT_EQ(TOOLTIP_AUTOPOP_MS, (int)SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));
    EXPECT_EQ(TOOLTIP_MAX_WIDTH, (int)SendMessageA(tooltip, TTM_GETMAXTIPWIDTH, 0, 0));
    LONG style = GetWindowLongA(tooltip, GWL_STYLE);
    EXPECT_TRUE(style & TTS_NOPREFIX);
    EXPECT_TRUE(style & TTS_ALWAYSTIP);
    EXPECT_TRUE(GetWindowLongA(tooltip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(owner, GetWindow(tooltip, GW_OWNER));
}

TEST_F(TooltipFixture, ToolOfTheParentCoversTheChildRectangle)
{
    HWND child = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 30, 40, 16, 16, owner, NULL, gInstance, NULL);
    AddTooltipTool(tooltip, child, "Hint text", 1111, TOOLTIP_RECT_PARENT, 0);
    RECT rect;
    ASSERT_TRUE(ToolRect(owner, 1111, &rect));   // the tool belongs to the parent
    EXPECT_EQ(30, rect.left);
    EXPECT_EQ(40, rect.top);
    EXPECT_EQ(46, rect.right);
    EXPECT_EQ(56, rect.bottom);
    EXPECT_EQ("Hint text", ToolText(owner, 1111));
    EXPECT_FALSE(ToolRect(child, 1111, &rect));
}

TEST_F(TooltipFixture, ToolOfTheWindowAndLongHintsKeptWhole)
{
    HWND button = CreateWindowExA(0, "Button", "B", WS_CHILD | WS_VISIBLE, 5, 5, 50, 20, owner, NULL, gInstance, NULL);
    std::string hint;
    for (int i = 0; i < 40; i++)
        hint += "Allowable chars: 0-9 ";
    AddTooltipTool(tooltip, button, hint.c_str(), 7, TOOLTIP_RECT_CLIENT, 0);
    RECT rect;
    ASSERT_TRUE(ToolRect(button, 7, &rect));
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(50, rect.right);
    EXPECT_EQ(20, rect.bottom);
    EXPECT_EQ(hint, ToolText(button, 7));
}

TEST_F(TooltipFixture, ToolOfATabItem)
{
    HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 40, owner, NULL, gInstance,
                                NULL);
    TCITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = TCIF_TEXT;
    item.pszText = (char *)"Form 1040";
    SendMessageA(tabs, TCM_INSERTITEMA, 0, (LPARAM)&item);
    item.pszText = (char *)"Schedule 1";
    SendMessageA(tabs, TCM_INSERTITEMA, 1, (LPARAM)&item);
    RECT expected;
    ASSERT_TRUE(SendMessageA(tabs, TCM_GETITEMRECT, 1, (LPARAM)&expected));
    AddTooltipTool(tooltip, tabs, "Second tab", 1, TOOLTIP_RECT_TAB, 0);
    RECT rect;
    ASSERT_TRUE(ToolRect(tabs, 1, &rect));
    EXPECT_TRUE(EqualRect(&expected, &rect));
    // A tab that does not exist adds no tool.
    AddTooltipTool(tooltip, tabs, "None", 5, TOOLTIP_RECT_TAB, 0);
    EXPECT_FALSE(ToolRect(tabs, 5, &rect));
}

TEST(Tooltip, BuildRecordRefusesMissingWindows)
{
    TOOLINFOA info;
    EXPECT_EQ(0, BuildTooltipToolInfo(&info, NULL, "x", 1, TOOLTIP_RECT_CLIENT, 0));
    EXPECT_EQ(0, BuildTooltipToolInfo(NULL, NULL, "x", 1, TOOLTIP_RECT_CLIENT, 0));
    HWND top = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, gInstance, NULL);
    EXPECT_EQ(0, BuildTooltipToolInfo(&info, top, "x", 1, TOOLTIP_RECT_PARENT, 0));  // no parent
    EXPECT_EQ(0, BuildTooltipToolInfo(&info, top, "x", 1, 9, 0));                    // unknown mode
    ASSERT_EQ(1, BuildTooltipToolInfo(&info, top, "x", 1, TOOLTIP_RECT_CLIENT, TTF_CENTERTIP));
    EXPECT_EQ((UINT)(TTF_CENTERTIP | TTF_SUBCLASS), info.uFlags);
    EXPECT_EQ(48u, info.cbSize);
    DestroyWindow(top);
}

}  // namespace
