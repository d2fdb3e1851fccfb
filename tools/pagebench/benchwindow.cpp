// The hidden main window of the page-switch and opening benchmarks, and a folder holding copies
// of the build's sample return and FormPaks (the return names its FormPaks by file name and finds
// them next to it).
#include "tools/pagebench/pagebench.h"
#include "calc/calc.h"
#include "shell/shell.h"
#include "store/store.h"

#include <commctrl.h>
#include <ole2.h>
#include <stdio.h>
#include <string.h>

static const char *const kFormPaks[] = {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp",
                                        "f941.qvp", "mnm1pr.qvp"};

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

int MakeBenchFolder(char *folder, int size)
{
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (!n || n >= sizeof temp) return 0;
    snprintf(folder, size, "%slevyline-bench-%lu\\", temp, (unsigned long)GetCurrentProcessId());
    CreateDirectoryA(folder, NULL);
    char build[MAX_PATH];
    GetFullPathNameA(".", sizeof build, build, NULL);
    int copied = 0;
    for (const char *pak : kFormPaks) {
        char from[MAX_PATH * 2], to[MAX_PATH * 2];
        snprintf(from, sizeof from, "%s\\formpaks\\%s", build, pak);
        snprintf(to, sizeof to, "%s%s", folder, pak);
        copied += CopyFileA(from, to, FALSE) ? 1 : 0;
    }
    return copied > 0;
}

void RemoveBenchFolder(const char *folder)
{
    char pattern[MAX_PATH * 2];
    snprintf(pattern, sizeof pattern, "%s*", folder);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(pattern, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            char path[MAX_PATH * 2];
            snprintf(path, sizeof path, "%s%s", folder, found.cFileName);
            DeleteFileA(path);
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(folder);
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
