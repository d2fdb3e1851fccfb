// modal_state.cpp - the program's one modal state: a stack of frames, one for each modal dialog,
// message box, file dialog, property sheet and print or PDF job that runs. While any frame is
// open the main window stays disabled whatever window comes and goes (a dialog ending enables its
// owner, even one that was disabled before it), and every frame's window below the top one with
// it; the main window refuses the commands that would change the return. When the last frame ends
// the main window's enabled state and the focus are put back as they were found.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

#define MODAL_MAX_FRAMES 32

struct ModalFrame {
    HWND window;        // the frame's own window once known (null for jobs, message boxes ...)
    DLGPROC proc;       // RunModalDialog: the dialog's procedure, until its window is known
    int flags;          // MODAL_OUTPUT_JOB
    HWND noted[2];      // the windows this frame disabled, and whether each was enabled
    int wasEnabled[2];
    int count;
    HWND focus, active;
};

static ModalFrame sFrames[MODAL_MAX_FRAMES];
static int sDepth;

// Frames are kept for the user-interface thread only (the main window's); another thread's
// message box simply runs.
static int IsModalThread(void)
{
    return !gMainWindow || !IsWindow(gMainWindow) ||
           GetWindowThreadProcessId(gMainWindow, NULL) == GetCurrentThreadId();
}

static int IsLiveWindow(HWND window)
{
    return window && IsWindow(window);
}

int IsModalStateActive(void)
{
    return sDepth > 0;
}

int IsOutputJobRunning(void)
{
    for (int i = 0; i < sDepth; i++)
        if (sFrames[i].flags & MODAL_OUTPUT_JOB)
            return 1;
    return 0;
}

HWND GetTopModalWindow(void)
{
    for (int i = sDepth - 1; i >= 0; i--)
        if (IsLiveWindow(sFrames[i].window) && IsWindowVisible(sFrames[i].window))
            return sFrames[i].window;
    return NULL;
}

HWND GetModalOwner(HWND requested)
{
    // A window the caller names keeps the box unless it is the main window (or one of its
    // children) or no window at all: then the box goes to the window the user is in.
    if (IsLiveWindow(requested) && (!gMainWindow || GetAncestor(requested, GA_ROOT) != gMainWindow))
        return requested;
    if (!IsModalThread())
        return requested;
    HWND top = GetTopModalWindow();
    if (top)
        return top;
    HWND active = GetActiveWindow();
    if (IsLiveWindow(active) && IsWindowVisible(active) && (active == gMainWindow || IsWindowEnabled(active)))
        return active;
    return IsLiveWindow(gMainWindow) ? gMainWindow : requested;
}

void KeepModalWindowsDisabled(void)
{
    if (!sDepth)
        return;
    if (IsLiveWindow(gMainWindow) && IsWindowEnabled(gMainWindow))
        EnableWindow(gMainWindow, FALSE);
    // The top frame's own window is the one the user works in; every window below it waits.
    for (int i = 0; i < sDepth - 1; i++) {
        HWND window = sFrames[i].window;
        if (IsLiveWindow(window) && window != sFrames[sDepth - 1].window && IsWindowEnabled(window))
            EnableWindow(window, FALSE);
    }
}

int IsModalOwnerGivenBack(HWND window)
{
    if (sDepth != 1 || !IsModalThread() || !IsLiveWindow(window))
        return 0;
    // The dialog ending is the active window; a box or window of its own ending is not.
    HWND dialog = sFrames[0].window;
    return IsLiveWindow(dialog) && GetWindow(dialog, GW_OWNER) == window && GetActiveWindow() == dialog;
}

static void NoteWindow(ModalFrame *frame, HWND window)
{
    if (!IsLiveWindow(window) || frame->count >= 2 || (frame->count && frame->noted[0] == window))
        return;
    frame->noted[frame->count] = window;
    frame->wasEnabled[frame->count] = IsWindowEnabled(window) ? 1 : 0;
    frame->count++;
}

int BeginModalState(HWND window, int flags)
{
    if (!IsModalThread())
        return 0;
    // Past the limit the window runs without a frame of its own, under the frames already open
    // (the main window stays disabled while any is): the log says a frame was refused.
    if (sDepth >= MODAL_MAX_FRAMES) {
        char line[120];
        snprintf(line, sizeof line,
                 "999 MOD: no frame for one more modal window: %d are open, the most there can be\r\n",
                 MODAL_MAX_FRAMES);
        WriteLogLine(line);
        return 0;
    }
    ModalFrame *frame = &sFrames[sDepth];
    memset(frame, 0, sizeof *frame);
    frame->window = window;
    frame->flags = flags;
    frame->focus = GetFocus();
    frame->active = GetActiveWindow();
    NoteWindow(frame, gMainWindow);
    for (int i = sDepth - 1; i >= 0; i--)
        if (IsLiveWindow(sFrames[i].window)) {
            NoteWindow(frame, sFrames[i].window);
            break;
        }
    sDepth++;
    KeepModalWindowsDisabled();
    return sDepth;
}

void NoteModalWindow(HWND window)
{
    if (sDepth && IsModalThread() && !sFrames[sDepth - 1].window)
        sFrames[sDepth - 1].window = window;
}

void EndModalState(int frameNumber)
{
    if (frameNumber <= 0 || frameNumber > sDepth || !IsModalThread())
        return;
    // Frames above this one (left open by a caller that returned early) end with it.
    while (sDepth >= frameNumber) {
        ModalFrame frame = sFrames[--sDepth];
        for (int i = frame.count - 1; i >= 0; i--) {
            HWND window = frame.noted[i];
            // The main window is given back by the last frame only.
            if (!IsLiveWindow(window) || (sDepth && window == gMainWindow))
                continue;
            EnableWindow(window, frame.wasEnabled[i] ? TRUE : FALSE);
        }
        KeepModalWindowsDisabled();
        // The window the user was in takes the focus again (a disabled owner could not take the
        // activation back when the frame's window went).
        if (IsLiveWindow(frame.active) && IsWindowEnabled(frame.active) && GetActiveWindow() != frame.active)
            SetActiveWindow(frame.active);
        if (IsLiveWindow(frame.focus) && IsWindowEnabled(GetAncestor(frame.focus, GA_ROOT)))
            SetFocus(frame.focus);
    }
}

// The first message RunModalDialog's dialog gets: its window is recorded in the frame, and the
// dialog's own procedure takes over from here on, starting with this message.
static INT_PTR CALLBACK ModalDialogShim(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DLGPROC proc = NULL;
    for (int i = sDepth - 1; i >= 0 && !proc; i--)
        if (sFrames[i].proc && !sFrames[i].window) {
            proc = sFrames[i].proc;
            sFrames[i].proc = NULL;
            sFrames[i].window = dialog;
        }
    if (!proc)
        return FALSE;
    SetWindowLongPtrA(dialog, DWLP_DLGPROC, (LONG_PTR)proc);
    return proc(dialog, message, wParam, lParam);
}

INT_PTR RunModalDialog(HINSTANCE instance, const char *templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    if (!instance)
        instance = GetModuleHandleA(NULL);
    int frame = BeginModalState(NULL, 0);
    if (!frame)
        return DialogBoxParamA(instance, templateName, owner, proc, param);
    sFrames[frame - 1].proc = proc;
    INT_PTR result = DialogBoxParamA(instance, templateName, owner, ModalDialogShim, param);
    EndModalState(frame);
    return result;
}
