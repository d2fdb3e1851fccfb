// The main window: frame creation, message dispatch, closing and shutdown.
#include "shell/shell.h"
#include "store/store.h"
#include "pages/pages.h"
#include "entry/entry.h"

#include <shellapi.h>
#include <stdio.h>
#include <string.h>

static const char kMainClassName[] = "LevylineMainWindow";
static const char kPaneClassName[] = "LevylinePane";

#define MAX_MAIN_HANDLERS 16
static MainCommandProc sHandlers[MAX_MAIN_HANDLERS];
static int sHandlerCount;

int AddMainWindowHandler(MainCommandProc proc)
{
    for (int i = 0; i < sHandlerCount; i++)
        if (sHandlers[i] == proc)
            return 1;
    if (sHandlerCount >= MAX_MAIN_HANDLERS)
        return 0;
    sHandlers[sHandlerCount++] = proc;
    return 1;
}

// A plain child window standing in for a pane whose owner has not built it.
static LRESULT CALLBACK PaneWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(window, &rc);
        FillRect((HDC)wParam, &rc, (HBRUSH)GetStockObject(GRAY_BRUSH));
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAINICON));
    if (!wc.hIcon)
        wc.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_APPWORKSPACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    wc.lpszClassName = kMainClassName;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return 0;
    WNDCLASSEXA pane;
    memset(&pane, 0, sizeof(pane));
    pane.cbSize = sizeof(pane);
    pane.lpfnWndProc = PaneWndProc;
    pane.hInstance = instance;
    pane.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    pane.lpszClassName = kPaneClassName;
    if (!RegisterClassExA(&pane) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return 0;
    return 1;
}

HWND CreateMainWindow(HINSTANCE instance)
{
    gInstance = instance;
    InstallMainWindowHandlers();
    if (!RegisterMainWindowClass(instance))
        return NULL;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, w = 1100, h = 820;
    RECT saved;
    if (ReadRegistryValue(&saved, 1, 0, "WinPos", sizeof(saved), REG_BINARY) && saved.right - saved.left > 200 &&
        saved.bottom - saved.top > 150) {
        x = saved.left;
        y = saved.top;
        w = saved.right - saved.left;
        h = saved.bottom - saved.top;
    }
    return CreateWindowExA(0, kMainClassName, "Levyline 2024", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, w, h,
                           NULL, NULL, instance, NULL);
}

// The toolbar uses the common controls' standard images.
static const TBBUTTON kToolbarButtons[] = {
    {STD_FILEOPEN, IDM_OPEN, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    {STD_FILESAVE, IDM_SAVE, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    {STD_PRINT, IDM_PRINT, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    {STD_DELETE, IDM_DELETEPAGE, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    {STD_FIND, IDM_ZOOM, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
};

static int CreateMainFrame(HWND window)
{
    gMainWindow = window;
    gRebar = CreateRebar(window, IDC_REBAR);
    if (gRebar)
        gToolbar = CreateToolbarBand(gRebar, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, kToolbarButtons, 0,
                                     IDC_TOOLBAR, 5, 5, 120, 24, 0, RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS);
    gStatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, window,
                                 (HMENU)IDC_STATUSBAR, gInstance, NULL);
    LayoutStatusBarParts(gStatusBar, window);
    SetStatusText(gStatusBar, 2, "Ready", NULL);

    CreateFormsTree(window, NULL);
    gFormTabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_BOTTOM, 0, 0, 0,
                                0, window, (HMENU)IDC_FORMTABS, gInstance, NULL);
    if (gFormTabs)
        SendMessageA(gFormTabs, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    InitFormsTree(gFormsTreeWindow, 1);
    CreateFormsTreeTipPanel(gFormsTreeWindow, 1);
    gPageViewWindow = CreatePageView(window);
    char value[16] = "";
    if (ReadRegistryValue(value, 1, 0, "EntAssist", sizeof(value), REG_SZ))
        gEnterAdvances = value[0] == '1';
    value[0] = 0;
    if (ReadRegistryValue(value, 1, 0, "TabPos", sizeof(value), REG_SZ))
        gTabsOnTop = value[0] == '1';
    UpdateRecentFilesMenu(GetSubMenu(GetMenu(window), 0), NULL, NULL, "RecentFiles");
    SetViewMode(window, gFullScreen, gTabsOnTop);
    return gStatusBar && gFormTabs && gFormsTreeWindow && gPageViewWindow;
}

// Lays out rebar, status bar, tree pane, tabs and page view in the client area.

int AskSaveChanges(HWND owner)
{
    if (!gReturnModified)
        return 1;
    int answer = ShowMessageBox(owner, "The open return has changes that have not been saved.\n\n"
                                       "Do you want to save them before you go on?",
                                "Save Changes?", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return 0;
    if (answer == IDYES) {
        SendMessageA(gMainWindow ? gMainWindow : owner, WM_COMMAND, IDM_SAVE, 0);
        if (gReturnModified)
            return 0;  // the save failed or was cancelled: keep the window and the changes
    }
    return 1;
}

static void SaveWindowPlacement(HWND window)
{
    WINDOWPLACEMENT wp;
    memset(&wp, 0, sizeof(wp));
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(window, &wp))
        return;
    RECT rc = wp.rcNormalPosition;
    WriteRegistryValue(1, "WinPos", REG_BINARY, &rc, sizeof(rc));
}

// While a modal dialog, message box or print/PDF job holds the return (store/modal_state.cpp),
// the main window stays disabled and takes none of its commands, whether chosen, sent, posted or
// queued before the dialog opened: the window the user is in is brought forward instead. 1 when
// the message is refused (or the enabling undone).
static int RefuseUnderModalState(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ENABLE:
        // A dialog or message box owned by the main window enables it when it ends; only the last
        // frame's own dialog gives it back that way.
        if (!wParam || IsModalOwnerGivenBack(window))
            return 0;
        EnableWindow(window, FALSE);
        return 1;
    case WM_COMMAND:
        // Every menu, toolbar and accelerator command (the return's and the view's).
        if (LOWORD(wParam) < IDM_OPEN || LOWORD(wParam) > IDM_ABOUT)
            return 0;
        break;
    case WM_OPEN_STATEMENT: {
        // A dialog may open the statement of one of its own fields over itself.
        const PageStatementBlock *block = wParam ? (const PageStatementBlock *)lParam : NULL;
        if (block && block->owner && block->owner == GetTopModalWindow())
            return 0;
        break;
    }
    case WM_OPEN_FILE:
    case WM_CLOSE:
        break;
    case WM_DROPFILES:
        DragFinish((HDROP)wParam);
        break;
    default:
        return 0;
    }
    HWND top = GetTopModalWindow();
    if (top) {
        SetForegroundWindow(top);
        SetActiveWindow(top);
    }
    return 1;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsModalStateActive() && RefuseUnderModalState(window, message, wParam, lParam))
        return 0;
    // Every command (menu, accelerator, toolbar, a command sent or posted, the tree's context
    // menu, Exit) first stores what an open edit bar holds; a value it refuses stops the command
    // with the bar open.
    if (!CommitEditBarForCommand(message, wParam, lParam))
        return 0;
    for (int i = 0; i < sHandlerCount; i++) {
        int handled = 0;
        LRESULT result = sHandlers[i](window, message, wParam, lParam, &handled);
        if (handled)
            return result;
    }
    switch (message) {
    case WM_CREATE:
        return CreateMainFrame(window) ? 0 : -1;
    case WM_SIZE:
        LayoutMainFrame(window);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_EXIT:
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        case IDM_HELPCONTENTS:
            ShowHelpTopic(window, NULL, 1);
            return 0;
        case IDM_ABOUT:
            ShowMessageBox(window, "Levyline 2024\nTax year 2024 return preparation and e-file.", "About Levyline 2024",
                           MB_OK | MB_ICONINFORMATION);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (!AskSaveChanges(window))
            return 0;
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, IDT_BACKUP);
        KillTimer(window, IDT_DEFERRED_JOB);
        SaveWindowPlacement(window);
        // The open return's file is no longer held against other copies once its window is gone.
        ReleaseHeldFile();
        // The page buffers and GDI objects of the page canvas go with the window, and the thread
        // that makes its spare canvas ends.
        FreeFieldClips();
        FreeShapeCache();
        FreePageBuffer();
        StopSpareCanvas();
        if (gMainWindow == window)
            gMainWindow = NULL;
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        // The frame's children are gone now; a later main window builds its own.
        if (!gMainWindow || gMainWindow == window) {
            gRebar = gToolbar = gStatusBar = gFormTabs = NULL;
            gFormsTreeWindow = gPageViewWindow = NULL;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunMessageLoop(void)
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (gEditBarContainer && IsWindow(gEditBarContainer) && IsDialogMessageA(gEditBarContainer, &msg))
            continue;
        if (gTransferStatusDialog && IsWindow(gTransferStatusDialog) && IsDialogMessageA(gTransferStatusDialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

// The program: start-up in the order the program has always used, then the loop.
int RunProgram(HINSTANCE instance, const char *commandLine, int showCommand)
{
    gStartTick = GetTickCount();
    gInstance = instance;
    char programPath[MAX_PATH] = "";
    GetModuleFileNameA(NULL, programPath, sizeof(programPath));
    int folderLength = GetFolderPartLength(programPath);
    if (folderLength > 0 && folderLength < (int)sizeof(programPath))
        programPath[folderLength] = 0;
    WriteRegistryValue(1, "ProgramDir", REG_SZ, programPath, (int)strlen(programPath) + 1);
    memset(&gOsVersionInfo, 0, sizeof(gOsVersionInfo));
    gOsVersionInfo.dwOSVersionInfoSize = sizeof(gOsVersionInfo);
    GetVersionExA(&gOsVersionInfo);
    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES |
                ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS;
    InitCommonControlsEx(&icc);
    OleInitialize(NULL);
    ReadPreparerSettings(&gPreparerSettings);
    HWND window = CreateMainWindow(instance);
    if (!window) {
        ShowMessageBox(NULL, "The main window could not be created.", "Error", MB_OK | MB_ICONSTOP);
        OleUninitialize();
        return 1;
    }
    // A file named on the command line (quotes removed); the updater's markers are not files.
    char path[MAX_PATH] = "";
    if (commandLine) {
        const char *p = commandLine;
        while (*p == ' ')
            p++;
        int quoted = *p == '"';
        if (quoted)
            p++;
        int n = 0;
        while (*p && n < MAX_PATH - 1 && (quoted ? *p != '"' : 1))
            path[n++] = *p++;
        path[n] = 0;
        TrimSpaces(path);
        if (!strncmp(path, "patch=OK", 8) || !strncmp(path, "error=", 6))
            path[0] = 0;
    }
    if (path[0])
        SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    int result = RunMessageLoop();
    OleUninitialize();
    return result;
}
