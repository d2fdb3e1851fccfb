// print_modal.cpp - printing and PDF output pump messages while they work: the windows that
// could start something else (the main window and the dialog that asked) are disabled for the
// job's length and given back exactly as the job found them.
#include "print/print.h"
#include "print/print_private.h"
#include "ui/ui.h"

#include <string.h>

// The job whose windows are disabled now (one job runs at a time).
static ModalJobState *sActiveJob;

void NoteModalJobState(ModalJobState *state, HWND owner)
{
    memset(state, 0, sizeof *state);
    HWND candidates[2] = {gMainWindow, owner ? GetAncestor(owner, GA_ROOT) : NULL};
    for (HWND window : candidates) {
        if (!window || !IsWindow(window) || (state->count && state->windows[0] == window))
            continue;
        state->windows[state->count] = window;
        state->wasEnabled[state->count] = IsWindowEnabled(window) ? 1 : 0;
        state->count++;
    }
    state->focus = GetFocus();
}

void DisableModalJobWindows(ModalJobState *state)
{
    for (int i = 0; i < state->count; i++)
        if (IsWindow(state->windows[i]))
            EnableWindow(state->windows[i], FALSE);
    sActiveJob = state;
}

void KeepModalJobWindowsDisabled(void)
{
    // A dialog or message box owned by one of them enables its owner when it ends, whatever
    // the owner's state was before (the explanation of a statement is rendered by a hidden one).
    for (int i = 0; sActiveJob && i < sActiveJob->count; i++)
        if (IsWindow(sActiveJob->windows[i]) && IsWindowEnabled(sActiveJob->windows[i]))
            EnableWindow(sActiveJob->windows[i], FALSE);
}

void RestoreModalJobState(ModalJobState *state)
{
    // Also after a job that ended before it disabled anything: a message box owned by the main
    // window enables it when it closes, even under a modal dialog.
    if (sActiveJob == state)
        sActiveJob = NULL;
    for (int i = 0; i < state->count; i++)
        if (IsWindow(state->windows[i]))
            EnableWindow(state->windows[i], state->wasEnabled[i] ? TRUE : FALSE);
    if (state->focus && IsWindow(state->focus) && IsWindowEnabled(GetAncestor(state->focus, GA_ROOT)))
        SetFocus(state->focus);
}
