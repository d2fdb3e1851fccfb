// File names too long for the program's path buffers: refused with a message, the open return
// and its file name stay as they were.
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

namespace {

TEST(ReturnPaths, OverlongFileNamesAreRefusedAndTheOpenReturnStays)
{
    std::string folder = MakeTestFolder("lvpaths");
    std::string sample = folder + "Sample.qvr";
    if (!CopySampleReturn(folder, {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"}))
        GTEST_SKIP() << "the sample return was not built";

    HWND window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)sample.c_str()));
    std::string federal = "Federal Return [5 pages]";
    char caption[128];
    GetTreeItemText(gTreeFederalFolder, caption, 0, sizeof(caption));
    EXPECT_EQ(federal, caption);

    std::string overlong = std::string(folder) + std::string(300, 'n') + ".qvr";
    gReturnModified = 0;  // no question about saving the computed values first
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)overlong.c_str()));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("The file name is too long to be opened.", GetShownMessageBoxes()[0].text);
    EXPECT_STREQ(sample.c_str(), gReturnPath);
    GetTreeItemText(gTreeFederalFolder, caption, 0, sizeof(caption));
    EXPECT_EQ(federal, caption);

    // Saving under such a name writes nothing and keeps the return's own name.
    EXPECT_EQ(0, SaveReturnFile(window, overlong.c_str()));
    EXPECT_STREQ(sample.c_str(), gReturnPath);

    gReturnModified = 0;
    CloseOpenReturn();
    DestroyMainWindow(window);
}

}  // namespace
