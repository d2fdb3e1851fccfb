// Test support: see harness.h.
#include "tests/harness/harness.h"

#include "store/store.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <winspool.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <deque>

static std::deque<int> sAnswers;
static std::vector<ShownMessageBox> sShown;
static int sDefaultAnswer;
static std::deque<std::string> sFilePaths;
static std::vector<ShellCall> sShellCalls;

static int ScriptedMessageBox(HWND owner, const char *text, const char *title, unsigned flags)
{
    ShownMessageBox box;
    box.title = title ? title : "";
    box.text = text ? text : "";
    box.flags = flags;
    box.owner = owner;
    sShown.push_back(box);
    if (!sAnswers.empty()) {
        int answer = sAnswers.front();
        sAnswers.pop_front();
        return answer;
    }
    if (sDefaultAnswer)
        return sDefaultAnswer;
    ADD_FAILURE() << "unexpected message box \"" << box.title << "\": " << box.text;
    return IDCANCEL;
}

void ScriptMessageBoxAnswer(int answer) { sAnswers.push_back(answer); }
const std::vector<ShownMessageBox> &GetShownMessageBoxes() { return sShown; }
void ClearShownMessageBoxes() { sShown.clear(); }
void SetDefaultMessageBoxAnswer(int answer) { sDefaultAnswer = answer; }

static int ScriptedFileDialog(int save, const char *title, char *pathBuffer, int bufferSize)
{
    if (sFilePaths.empty()) {
        ADD_FAILURE() << "unexpected file dialog \"" << (title ? title : "") << "\"";
        return 0;
    }
    std::string path = sFilePaths.front();
    sFilePaths.pop_front();
    if (path.empty() || !pathBuffer || (int)path.size() >= bufferSize)
        return 0;
    memcpy(pathBuffer, path.c_str(), path.size() + 1);
    return 1;
}

void ScriptFileDialogPath(const std::string &path) { sFilePaths.push_back(path); }

static int RecordedShellCall(const char *verb, const char *file)
{
    ShellCall call;
    call.verb = verb ? verb : "";
    call.file = file ? file : "";
    sShellCalls.push_back(call);
    return 1;
}

const std::vector<ShellCall> &GetShellCalls() { return sShellCalls; }

// Resets the scripts between tests and reports answers a test scripted but never used.
class HarnessListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override
    {
        sAnswers.clear();
        sShown.clear();
        sDefaultAnswer = 0;
        sFilePaths.clear();
        sShellCalls.clear();
        gMessageBoxHook = ScriptedMessageBox;
        gFileDialogHook = ScriptedFileDialog;
        gShellExecuteHook = RecordedShellCall;
    }
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        if (!sAnswers.empty())
            ADD_FAILURE() << sAnswers.size() << " scripted message-box answer(s) were not used";
    }
};

// The run's own file printer (LEVYLINE_PRINTER, made by scripts/cups.sh) becomes this process's
// default printer, so that printing tests of two checkouts never share a job file.
static void SelectTestPrinter()
{
    const char *name = getenv("LEVYLINE_PRINTER");
    if (!name || !name[0])
        return;
    HANDLE printer = 0;
    if (!OpenPrinterA((char *)name, &printer, 0))
        return;
    ClosePrinter(printer);
    SetDefaultPrinterA(name);
}

// The run's own data folder, "Test Data" beside the test program, takes the place of the user's
// (Documents\Levyline 2024, shared by every checkout): the log, FormPaks, Sent and Temp of the
// tests go there. It is the tests' own "DataDir" setting, under the tests' own key. 0 when it
// could not be set.
static int SelectTestDataFolder()
{
    char program[MAX_PATH], folder[MAX_PATH + 16], data[MAX_PATH];
    if (!GetProgramFolder(program, FOLDER_PROGRAM))
        return 0;
    snprintf(folder, sizeof folder, "%s\\%s", program, TEST_DATA_FOLDER);
    if (!WriteRegistryValue(REG_SCOPE_YEAR, "DataDir", REG_SZ, folder, 0))
        return 0;
    return GetProgramFolder(data, FOLDER_DATA) && lstrcmpiA(data, folder) == 0;
}

void InstallTestHarness()
{
    SetRegistryRoot(TEST_REGISTRY_ROOT);
    if (!SelectTestDataFolder()) {
        fprintf(stderr, "The tests' own data folder could not be set: no test runs.\n");
        exit(1);
    }
    // The tools a test starts (qvtool) keep to the same settings and data folder.
    SetEnvironmentVariableA("LEVYLINE_REGISTRY_ROOT", TEST_REGISTRY_ROOT);
    ::testing::UnitTest::GetInstance()->listeners().Append(new HarnessListener);
    SelectTestPrinter();
}

// ---- modal dialogs ----
static std::vector<HWND> sWindowsBefore;
static std::deque<std::function<void(HWND)>> sSteps;  // one entry per dialog still to come
static std::vector<HWND> sDrivenDialogs;
static UINT_PTR sDriverTimer;
static int sDriverTicks;

static BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    ((std::vector<HWND> *)param)->push_back(window);
    return TRUE;
}

static std::vector<HWND> ThreadWindows()
{
    std::vector<HWND> list;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, (LPARAM)&list);
    return list;
}

static bool Contains(const std::vector<HWND> &list, HWND window)
{
    for (HWND w : list)
        if (w == window)
            return true;
    return false;
}

static void CALLBACK DriverTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    sDriverTicks++;
    std::vector<HWND> now = ThreadWindows();
    for (HWND w : now) {
        char cls[32] = "";
        GetClassNameA(w, cls, sizeof(cls));
        if (Contains(sWindowsBefore, w) || Contains(sDrivenDialogs, w) || strcmp(cls, "#32770") || !IsWindowVisible(w))
            continue;
        sDrivenDialogs.push_back(w);
        std::function<void(HWND)> steps = sSteps.empty() ? nullptr : sSteps.front();
        if (!sSteps.empty())
            sSteps.pop_front();
        sDriverTicks = 0;
        if (sSteps.empty() && sDriverTimer) {
            KillTimer(NULL, sDriverTimer);
            sDriverTimer = 0;
        }
        if (steps)
            steps(w);
        if (IsWindow(w))
            PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (sDriverTicks > 200) {  // about 10 seconds: give up rather than hang
        KillTimer(NULL, sDriverTimer);
        sDriverTimer = 0;
        ADD_FAILURE() << "no dialog appeared";
    }
}

INT_PTR RunDialogWithSteps(const std::function<INT_PTR()> &runModal, const std::function<void(HWND)> &steps)
{
    return RunDialogsWithSteps(runModal, {steps});
}

INT_PTR RunDialogsWithSteps(const std::function<INT_PTR()> &runModal,
                            const std::vector<std::function<void(HWND)>> &steps)
{
    sWindowsBefore = ThreadWindows();
    sSteps.assign(steps.begin(), steps.end());
    sDrivenDialogs.clear();
    sDriverTicks = 0;
    sDriverTimer = SetTimer(NULL, 0, 50, DriverTimerProc);
    INT_PTR result = runModal();
    if (sDriverTimer) {
        KillTimer(NULL, sDriverTimer);
        sDriverTimer = 0;
    }
    sSteps.clear();
    return result;
}

void ClickButton(HWND dialog, int controlId)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), (LPARAM)GetDlgItem(dialog, controlId));
}

void SetControlText(HWND dialog, int controlId, const char *text) { SetDlgItemTextA(dialog, controlId, text); }

std::string GetControlText(HWND dialog, int controlId)
{
    char buffer[4096] = "";
    GetDlgItemTextA(dialog, controlId, buffer, sizeof(buffer));
    return buffer;
}

int IsControlEnabled(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    return control && IsWindowEnabled(control);
}

int IsControlChecked(HWND dialog, int controlId) { return IsDlgButtonChecked(dialog, controlId) == BST_CHECKED; }

// ---- windows ----
void PumpMessages(int ms)
{
    DWORD end = GetTickCount() + (DWORD)ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms > 0)
            Sleep(5);
    } while ((int)(end - GetTickCount()) > 0);
}

int CountOwnThreads()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {sizeof entry};
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

std::string ToolTextW(HWND tooltip, HWND window, UINT_PTR id)
{
    wchar_t text[1100] = L"";
    TOOLINFOW info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.hwnd = window;
    info.uId = id;
    info.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, sizeof(text) / sizeof(text[0]), (LPARAM)&info);
    char narrow[1100] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), NULL, NULL);
    return narrow;
}

bool PumpUntil(bool (*done)(), int timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if ((int)(GetTickCount() - start) > timeoutMs)
            return false;
        PumpMessages(5);
    }
    return true;
}

static int CopyClientArea(HWND window, Screenshot *out, int repaint)
{
    if (!window || !out)
        return 0;
    RECT rc;
    GetClientRect(window, &rc);
    int w = rc.right, h = rc.bottom;
    if (w <= 0 || h <= 0)
        return 0;
    BITMAPINFO bi;
    memset(&bi, 0, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HDC screen = GetDC(window);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, dib);
    // The window paints itself now, and what it painted is copied from its own device context.
    // (PrintWindow is not used: windows that ignore WM_PRINTCLIENT, such as the page view, would
    // come back black and pixel checks would pass on nothing.)
    if (repaint)
        RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    out->width = w;
    out->height = h;
    out->pixels.assign((const unsigned *)bits, (const unsigned *)bits + (size_t)w * h);
    for (unsigned &p : out->pixels)
        p &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    ReleaseDC(window, screen);
    return 1;
}

int CaptureClientArea(HWND window, Screenshot *out)
{
    return CopyClientArea(window, out, 1);
}

int CaptureClientAreaAsShown(HWND window, Screenshot *out)
{
    return CopyClientArea(window, out, 0);
}

int SaveScreenshotBmp(const Screenshot &shot, const char *path)
{
    FILE *f = fopen(path, "wb");
    if (!f)
        return 0;
    int stride = (shot.width * 3 + 3) & ~3;
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    memset(&fh, 0, sizeof(fh));
    memset(&ih, 0, sizeof(ih));
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + stride * shot.height;
    ih.biSize = sizeof(ih);
    ih.biWidth = shot.width;
    ih.biHeight = -shot.height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fwrite(&fh, sizeof(fh), 1, f);
    fwrite(&ih, sizeof(ih), 1, f);
    std::vector<unsigned char> row(stride);
    for (int y = 0; y < shot.height; y++) {
        for (int x = 0; x < shot.width; x++) {
            unsigned p = shot.At(x, y);
            row[x * 3] = p & 0xFF;
            row[x * 3 + 1] = (p >> 8) & 0xFF;
            row[x * 3 + 2] = (p >> 16) & 0xFF;
        }
        fwrite(row.data(), 1, stride, f);
    }
    fclose(f);
    return 1;
}

std::string BuildPath(const char *relative) { return std::string(relative); }

int ReadWholeFile(const std::string &path, std::string *out)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return 0;
    out->clear();
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0)
        out->append(buffer, n);
    fclose(f);
    return 1;
}

std::string ReadWholeFile(const std::string &path)
{
    std::string data;
    ReadWholeFile(path, &data);
    return data;
}

// ---- Linux programs ----

std::string MakeUnixTestFolder(const char *name, std::string *winePath)
{
    char unix[MAX_PATH];
    snprintf(unix, sizeof unix, "/tmp/levyline-%s-%lu/", name, (unsigned long)GetCurrentProcessId());
    std::string wine = "Z:";
    for (const char *p = unix; *p; p++)
        wine += *p == '/' ? '\\' : *p;
    CreateDirectoryA(wine.c_str(), NULL);
    if (winePath)
        *winePath = wine;
    return unix;
}

static int RunUnixCommandPumping(const std::string &command, std::string *output, int timeoutMs, int pump);

int RunUnixCommand(const std::string &command, std::string *output, int timeoutMs)
{
    return RunUnixCommandPumping(command, output, timeoutMs, 0);
}

// One message as the program's loops handle it: the edit bar's keys through its IsDialogMessage
// (the main loop), a dialog's through its own (a modal dialog's loop).
static void DispatchAsProgram(MSG *msg)
{
    if (gEditBarContainer && IsWindow(gEditBarContainer) && IsDialogMessageA(gEditBarContainer, msg))
        return;
    HWND root = msg->hwnd ? GetAncestor(msg->hwnd, GA_ROOT) : NULL;
    char name[16] = "";
    if (root)
        GetClassNameA(root, name, sizeof name);
    if (root && strcmp(name, "#32770") == 0 && IsDialogMessageA(root, msg))
        return;
    TranslateMessage(msg);
    DispatchMessageA(msg);
}

void PumpUntilIdle(int quietMs, int timeoutMs)
{
    DWORD start = GetTickCount(), lastActive = start;
    while ((int)(GetTickCount() - lastActive) < quietMs && (int)(GetTickCount() - start) < timeoutMs) {
        MSG msg;
        int any = 0;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage((int)msg.wParam);
                return;
            }
            if (msg.message != WM_TIMER && msg.message != WM_PAINT)
                any = 1;
            DispatchAsProgram(&msg);
        }
        if (any)
            lastActive = GetTickCount();
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
    }
}

// The xdotool command that types the next key of keys (a character or a {name}); p moves past it.
// "" when a brace is not closed.
static std::string NextKeyCommand(const char **p)
{
    const char *at = *p;
    if (*at == '{') {
        const char *end = strchr(at, '}');
        if (!end)
            return "";
        *p = end + 1;
        return "xdotool key --clearmodifiers " + std::string(at + 1, end);
    }
    (*p)++;
    if ((unsigned char)*at >= 0x80) {
        // A character beyond ASCII (the ANSI code page's) by its keysym. xdotool binds a spare key
        // to it for the moment; the binding is held a while, so the program reads the character
        // before it goes.
        wchar_t wide = 0;
        MultiByteToWideChar(CP_ACP, 0, at, 1, &wide, 1);
        char name[48];
        snprintf(name, sizeof name, "xdotool key --delay 300 0x%x", wide <= 0xff ? (unsigned)wide : 0x1000000u + wide);
        return name;
    }
    if (*at == '\'')
        return "xdotool type -- \"'\"";
    return "xdotool type -- '" + std::string(1, *at) + "'";
}

int TypeKeysQuickly(const char *keys)
{
    std::string script;
    for (const char *p = keys; p && *p;) {
        std::string command = NextKeyCommand(&p);
        if (command.empty())
            return 0;
        script += (script.empty() ? "" : " && ") + command;
    }
    if (!script.empty() && RunUnixCommandPumping(script, NULL, 20000, 1) != 0)
        return 0;
    PumpUntilIdle();
    return 1;
}

int TypeKeys(const char *keys)
{
    for (const char *p = keys; p && *p;) {
        std::string command = NextKeyCommand(&p);
        if (command.empty())
            return 0;
        if (RunUnixCommandPumping(command, NULL, 10000, 1) != 0)
            return 0;
        PumpUntilIdle();
    }
    return 1;
}

int ClickScreen(int x, int y, int clicks)
{
    char command[96];
    snprintf(command, sizeof command, "xdotool mousemove %d %d click --repeat %d --delay 80 1", x, y, clicks);
    if (RunUnixCommandPumping(command, NULL, 10000, 1) != 0)
        return 0;
    PumpUntilIdle();
    return 1;
}

static int RunUnixCommandPumping(const std::string &command, std::string *output, int timeoutMs, int pump)
{
    std::string wineFolder;
    std::string folder = MakeUnixTestFolder("run", &wineFolder);
    static int sRun;
    char base[64];
    snprintf(base, sizeof base, "cmd%d", ++sRun);
    std::string out = folder + base + ".out", done = folder + base + ".done";
    std::string wineOut = wineFolder + base + ".out", wineDone = wineFolder + base + ".done";
    DeleteFileA(wineOut.c_str());
    DeleteFileA(wineDone.c_str());
    // The command runs in a shell of its own; its exit code is written into the flag file.
    std::string script = "(" + command + ") >" + out + " 2>&1; echo $? >" + done;
    // Wine splits the command line by the Windows rules: one double-quoted argument for the shell.
    std::string line = "/bin/sh -c \"";
    for (char c : script)
        line += c == '"' ? std::string("\\\"") : std::string(1, c);
    line += "\"";
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back(0);
    if (!CreateProcessA(0, buffer.data(), 0, 0, FALSE, 0, 0, 0, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DWORD start = GetTickCount();
    std::string code;
    for (;;) {
        FILE *flag = fopen(wineDone.c_str(), "rb");
        if (flag) {
            char text[16] = "";
            size_t n = fread(text, 1, sizeof text - 1, flag);
            fclose(flag);
            text[n] = 0;
            if (n && strchr(text, '\n')) {
                code = text;
                break;
            }
        }
        if ((int)(GetTickCount() - start) > timeoutMs)
            return -1;
        if (pump) {
            // The program runs meanwhile, as it would while the user types.
            MSG msg;
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchAsProgram(&msg);
            MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
        } else {
            Sleep(50);
        }
    }
    if (output) {
        output->clear();
        FILE *file = fopen(wineOut.c_str(), "rb");
        if (file) {
            char chunk[4096];
            size_t n;
            while ((n = fread(chunk, 1, sizeof chunk, file)) > 0)
                output->append(chunk, n);
            fclose(file);
        }
    }
    return atoi(code.c_str());
}
