// main() of every test executable: common controls, the program's module handle, the
// harness's seams, then GoogleTest.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include "shell/shell.h"

void InstallTestHarness();

int main(int argc, char **argv)
{
    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES |
                ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS;
    InitCommonControlsEx(&icc);
    OleInitialize(NULL);
    gInstance = GetModuleHandleA(NULL);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    InstallTestHarness();
    InstallProgramHooks();   // the hooks the program sets at start-up
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
