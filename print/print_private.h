// print_private.h - declarations shared by the files of the print folder only.
#ifndef LEVYLINE_PRINT_PRIVATE_H
#define LEVYLINE_PRINT_PRIVATE_H

#include <windows.h>

// What a job that pumps messages (printing, PDF output) found when it began: the main window and
// the window that asked for the job, whether each was enabled, and the focus. While the job runs
// both are disabled, so nothing under an open dialog (the forms tree, the menus) can change or
// free what the job or the dialog holds; at its end each is put back as it was.
struct ModalJobState {
    HWND windows[2];
    int wasEnabled[2];
    int count;
    HWND focus;
};
// Notes the state of the main window and owner's top-level window (owner may be null or the main
// window) and the focus.
void NoteModalJobState(ModalJobState *state, HWND owner);
// Disables the noted windows for the job's length.
void DisableModalJobWindows(ModalJobState *state);
// Disables the running job's windows again where a nested dialog's end enabled them; called
// before the job pumps messages.
void KeepModalJobWindowsDisabled(void);
// Puts every noted window back to the enabled state it had and the focus where it was.
void RestoreModalJobState(ModalJobState *state);

#endif // LEVYLINE_PRINT_PRIVATE_H
