// The hidden main window of the page-switch and opening benchmarks.
#include "tools/pagebench/pagebench.h"
#include "calc/calc.h"
#include "shell/shell.h"
#include "store/store.h"

#include <commctrl.h>
#include <ole2.h>
#include <stdio.h>
#include <string.h>

void PumpBenchMessages(int ms)
{
    DWORD end = GetTickCount() + (DWORD)ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms > 0) Sleep(2);
    } while ((int)(end - GetTickCount()) > 0);
}

void WaitForBenchRecompute(void)
{
    for (int i = 0; i < 1000 && (gRecomputeThread || !gRecomputeDone); i++) PumpBenchMessages(5);
    PumpBenchMessages(0);
}

HWND OpenBenchWindow(void)
{
    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES |
                ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS;
    InitCommonControlsEx(&icc);
    OleInitialize(NULL);
    gReturnModified = 0;
    HWND window = CreateMainWindow(GetModuleHandleA(NULL));   // never shown
    PumpBenchMessages(0);
    return window;
}

void CloseBenchWindow(HWND window)
{
    CloseOpenReturn();
    if (IsWindow(window)) DestroyWindow(window);
    PumpBenchMessages(0);
    OleUninitialize();
}
