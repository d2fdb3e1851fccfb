// Shell settings: zoom fitting, the recent-files list, menu helpers, dialog placement.
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>

namespace {

TEST(FitZoom, PercentageIsRelativeToTheProgramsHundredPercent)
{
    float zoom = 0;
    // 720 pixels for a 2400-pixel page is zoom 0.3, the program's 100 %.
    EXPECT_EQ(100, ComputeFitZoomFor(1, 2400, 3168, 720, 0, &zoom));
    EXPECT_FLOAT_EQ(0.3f, zoom);
    EXPECT_EQ(50, ComputeFitZoomFor(2, 2400, 3168, 0, 475, &zoom));
    EXPECT_EQ(0, ComputeFitZoomFor(1, 0, 3168, 720, 0, &zoom));  // no bitmap: no zoom
    EXPECT_EQ(0, ComputeFitZoomFor(2, 2400, 3168, 0, -5, NULL));
}

TEST(RecentFiles, NewestFirstWithoutDuplicatesAndAmpersandsDoubled)
{
    const std::string keyPath = std::string(GetRegistryScopePath(REG_SCOPE_YEAR)) + "\\TestRecent";
    const char *key = keyPath.c_str();
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(1, UpdateRecentFilesMenu(menu, "C:\\Returns\\Smith.qvr", key, "RecentFiles"));
    EXPECT_EQ(2, UpdateRecentFilesMenu(menu, "C:\\Returns\\A&B Corp.qvr", key, "RecentFiles"));
    EXPECT_EQ(2, UpdateRecentFilesMenu(menu, "c:\\returns\\smith.qvr", key, "RecentFiles"));
    char caption[128];
    GetMenuStringA(menu, IDM_RECENTFILE_FIRST, caption, sizeof(caption), MF_BYCOMMAND);
    EXPECT_STREQ("1. smith.qvr", caption);
    GetMenuStringA(menu, IDM_RECENTFILE_FIRST + 1, caption, sizeof(caption), MF_BYCOMMAND);
    EXPECT_STREQ("2. A&&B Corp.qvr", caption);
    EXPECT_EQ(2, GetMenuItemCount(menu));
    // More paths than the list keeps: the oldest drop off.
    for (int i = 0; i < 12; i++) {
        char path[64];
        wsprintfA(path, "C:\\R\\f%d.qvr", i);
        UpdateRecentFilesMenu(NULL, path, key, "RecentFiles");
    }
    EXPECT_EQ(9, UpdateRecentFilesMenu(menu, NULL, key, "RecentFiles"));
    GetMenuStringA(menu, IDM_RECENTFILE_FIRST, caption, sizeof(caption), MF_BYCOMMAND);
    EXPECT_STREQ("1. f11.qvr", caption);
    DestroyMenu(menu);
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

TEST(MenuHelpers, DeleteAdjacentSeparator)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "One");
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(menu, MF_STRING, 2, "Two");
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    EXPECT_EQ(1, DeleteAdjacentMenuItem(menu, 1, 0));  // the separator after One
    EXPECT_EQ(3, GetMenuItemCount(menu));
    EXPECT_EQ(2u, GetMenuItemID(menu, 1));
    EXPECT_EQ(1, DeleteAdjacentMenuItem(menu, 0, 2));  // the item before Two
    EXPECT_EQ(2u, GetMenuItemID(menu, 0));
    EXPECT_EQ(0, DeleteAdjacentMenuItem(menu, 99, 0));
    DestroyMenu(menu);
}

TEST(DialogPlacement, KeptInsideTheWorkArea)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, -500, -500, 300, 200, NULL, NULL, gInstance, NULL);
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ(1, PlaceDialogOnParent(window, 1));
    RECT rc, work;
    GetWindowRect(window, &rc);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(rc.left, work.left);
    EXPECT_GE(rc.top, work.top);
    EXPECT_LE(rc.right, work.right);
    EXPECT_LE(rc.bottom, work.bottom);
    DestroyWindow(window);
}

TEST(Preparer, SetupCompleteNeedsKindAndCustomerId)
{
    PreparerSettings saved = gPreparerSettings;
    memset(&gPreparerSettings, 0, sizeof(gPreparerSettings));
    EXPECT_EQ(0, IsPreparerSetupComplete(1));
    lstrcpyA(gPreparerSettings.slot[PREP_KIND], "P");
    lstrcpyA(gPreparerSettings.slot[PREP_NAME], "Pat Preparer");
    EXPECT_EQ(0, IsPreparerSetupComplete(1));
    lstrcpyA(gPreparerSettings.slot[PREP_CUSTOMER_ID], "C-42");
    EXPECT_EQ(1, IsPreparerSetupComplete(1));
    // The kind and the customer id are enough: no preparer name is needed.
    const struct {
        const char *kind, *name, *customer;
        int complete;
    } cases[] = {{"P", "", "C-42", 1}, {"V", "", "C-42", 1}, {"S", "Pat", "C-42", 0}, {"V", "Pat", "", 0}};
    for (const auto &c : cases) {
        lstrcpyA(gPreparerSettings.slot[PREP_KIND], c.kind);
        lstrcpyA(gPreparerSettings.slot[PREP_NAME], c.name);
        lstrcpyA(gPreparerSettings.slot[PREP_CUSTOMER_ID], c.customer);
        EXPECT_EQ(c.complete, IsPreparerSetupComplete(1)) << c.kind << " " << c.name << " " << c.customer;
    }
    gPreparerSettings = saved;
}

TEST(Help, MissingHelpFileIsReported)
{
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, ShowHelpTopic(NULL, "start.htm", 2));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    // The message names the whole path: the program folder, a separator, the file.
    char folder[MAX_PATH] = "";
    GetProgramFolder(folder, 0);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find(std::string(folder) + "\\Quorvel.chm"))
        << GetShownMessageBoxes()[0].text;
}

}  // namespace
