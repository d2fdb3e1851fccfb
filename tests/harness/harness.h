// Test support shared by every test executable: scripted message-box answers, file
// dialog and shell seams, a driver for modal dialogs, window screenshots.
#ifndef LEVYLINE_TEST_HARNESS_H
#define LEVYLINE_TEST_HARNESS_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// ---- settings ----
// The key below HKEY_CURRENT_USER under which the test programs keep their settings: a test run
// leaves the settings of the program a user runs (window place, recent files) as they were.
#define TEST_REGISTRY_ROOT "Software\\VantorelGroup\\Levyline Tests"
// The data folder of the test programs (the "DataDir" setting under their key), beside them in the
// build folder: the log, FormPaks, Sent and Temp of a test run never land in the user's data
// folder. scripts/user_data.sh empties it before a run. A tool a test starts (qvtool) is given the
// tests' key in the environment variable LEVYLINE_REGISTRY_ROOT and keeps to it.
#define TEST_DATA_FOLDER "Test Data"

// ---- message boxes ----
struct ShownMessageBox {
    std::string title;
    std::string text;
    unsigned flags;
    HWND owner;
};
// Queue the answer for the next message box (IDYES, IDNO, IDOK ...). A box shown with
// no scripted answer fails the running test with its text and answers IDCANCEL.
void ScriptMessageBoxAnswer(int answer);
// Every box shown since the test began (or since ClearShownMessageBoxes).
const std::vector<ShownMessageBox> &GetShownMessageBoxes();
void ClearShownMessageBoxes();
// Let boxes pass with this answer without a script (for tests that don't care); 0 turns it off.
void SetDefaultMessageBoxAnswer(int answer);

// ---- file dialogs and the shell ----
// The next open/save dialog "chooses" this path (an empty path = the user cancels).
void ScriptFileDialogPath(const std::string &path);
struct ShellCall {
    std::string verb;
    std::string file;
};
const std::vector<ShellCall> &GetShellCalls();

// ---- modal dialogs ----
// Runs runModal (which shows a modal dialog and returns its result); when a new dialog
// window of this thread appears, steps(dialog) runs inside the dialog's own loop. If the
// steps leave the dialog open it is cancelled. Returns runModal's result.
INT_PTR RunDialogWithSteps(const std::function<INT_PTR()> &runModal, const std::function<void(HWND)> &steps);
// The same for dialogs that follow one another (the first dialog's steps end it, the next one
// opens): steps[i] runs in the i-th new dialog.
INT_PTR RunDialogsWithSteps(const std::function<INT_PTR()> &runModal,
                            const std::vector<std::function<void(HWND)>> &steps);
void ClickButton(HWND dialog, int controlId);
void SetControlText(HWND dialog, int controlId, const char *text);
std::string GetControlText(HWND dialog, int controlId);
int IsControlEnabled(HWND dialog, int controlId);
int IsControlChecked(HWND dialog, int controlId);
// The text a tooltip control shows for tool id of window (read as UTF-16, given in the ANSI code page).
std::string ToolTextW(HWND tooltip, HWND window, UINT_PTR id);

// ---- windows ----
// Dispatches pending messages for about ms milliseconds (at least once).
void PumpMessages(int ms);
// The threads of this process (worker threads that outlive their work show here).
int CountOwnThreads();

// ---- Linux programs ----
// A folder of this test run's own on the Linux side, /tmp/levyline-<name>-<process id>/ (made when
// missing), as Linux and as Wine name it (Z:\tmp\...\); both end in a separator.
std::string MakeUnixTestFolder(const char *name, std::string *winePath);
// Runs a Linux shell command (Wine starts it but cannot wait for it: a flag file tells when it is
// done). *output (may be null) receives its standard output and error. Returns its exit code, or
// -1 when it did not finish within timeoutMs.
int RunUnixCommand(const std::string &command, std::string *output, int timeoutMs = 60000);
// Keys typed as a user types them: sent through the X server (xdotool), so they go to whichever
// window has the display's focus, through the window manager's focus as a user's keys do, not to
// a window of the test's choosing. keys holds plain characters (those beyond ASCII in the ANSI
// code page too) and key names in braces, xdotool's names with '+' for chords:
// "100{Tab}200{shift+Tab}{Return}{Escape}{alt+f}". After each key the
// program runs until it is idle (its messages dispatched as the main loop or the open dialog's
// own loop would). 1 when every key was sent.
int TypeKeys(const char *keys);
// A click of the left button at a point of the screen, through the X server as TypeKeys types
// (clicks 2: a double click); the program then runs until it is idle. 1 when the click was sent.
int ClickScreen(int x, int y, int clicks = 1);
// The same keys typed as a quick typist types them: all sent at once, without waiting for the
// program between them (keys typed ahead while a window closes and the next opens), then the
// program runs until it is idle.
int TypeKeysQuickly(const char *keys);
// Dispatches messages as the program's loops do (the edit bar's and a dialog's keys through
// IsDialogMessage) until no message but timers and paints has come for quietMs, or timeoutMs.
void PumpUntilIdle(int quietMs = 60, int timeoutMs = 5000);
// Dispatches messages until done() says so; false when timeoutMs passes first.
bool PumpUntil(bool (*done)(), int timeoutMs);
// Client area of a window as 32-bit pixels (0x00RRGGBB), top row first.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels;
    unsigned At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};
// What the window paints (it repaints first), copied from its device context.
int CaptureClientArea(HWND window, Screenshot *out);
// What the window shows now, without asking it to paint (after its pending paints ran): a part
// it failed to repaint shows as it was left.
int CaptureClientAreaAsShown(HWND window, Screenshot *out);
// Writes a screenshot as a 24-bit BMP file (for looking at a failure).
int SaveScreenshotBmp(const Screenshot &shot, const char *path);

// The bytes of a whole file: "" when it cannot be read; the second form returns 0 then (out
// untouched) and 1 when it read the file into out.
std::string ReadWholeFile(const std::string &path);
int ReadWholeFile(const std::string &path, std::string *out);

// Path of a file the build made (relative to the build folder, where ctest runs).
std::string BuildPath(const char *relative);

#endif
