// util.h - memory blocks, message boxes, the log file and the busy cursor.
// Part of the store's public interface: include store/store.h.
#ifndef LEVYLINE_STORE_UTIL_H
#define LEVYLINE_STORE_UTIL_H

#include <windows.h>
#include <stddef.h>

// ---- utility services: memory and messages ----

// Zero-filled block of size bytes (callers pass flags 64 = zero-init; every block is zeroed anyway).
// On failure shows "Error Allocating Memory" and returns null.
void *MemAlloc(unsigned flags, size_t size);
// Frees a block from MemAlloc; accepts null; always returns null so callers write p = MemFree(p).
void *MemFree(void *block);
// Grows a MemAlloc block to newSize bytes keeping its contents; the added bytes are zeroed.
// Returns the new block, or null (the old block is then still valid and owned by the caller).
void *MemReAlloc(void *block, size_t newSize);

// The common message box. Single line breaks (CR LF, LF or CR) of the text are joined into one
// space; paragraph breaks (two or more line breaks) are kept. flags are MB_* flags. Returns the
// button pressed (IDOK, IDCANCEL, IDRETRY, IDYES, IDNO ...), 0 when no box could be shown.
int ShowMessageBox(HWND owner, const char *text, const char *title, unsigned flags);
// The system's text for error, without its trailing line breaks and blanks ("" when it has none).
// Returns the text's length.
int GetSystemErrorText(unsigned long error, char *out, int outSize);

// Parameter block of the program's own message dialog (template "MESSAGEBOXAPPEX").
struct AppMessageBoxParams {
    HWND owner;                 // may be null
    HINSTANCE instance;         // module holding the template; null = the program's module
    const char *caption;        // window title
    const char *text;           // message text (CR LF line breaks)
    int markStart;              // start offset of a stretch of the text to mark (-1 / length 0: none)
    int markLength;             // length of that stretch
    unsigned options[3];        // option words of the caller (e.g. 0x80, 0x123, 1); kept for the dialog
    const char *markWords[4];   // further texts to mark wherever they occur ("Form not found", " = "); null-ended
};
// Shows the block's message in the "MESSAGEBOXAPPEX" dialog with an OK button; returns IDOK,
// or through gMessageBoxHook (text, caption, options[0]) in tests. 0 on a bad block.
int ShowAppMessageBox(const AppMessageBoxParams *block);

// ---- the modal state (store/modal_state.cpp) ----
// One frame for each modal dialog, message box, file dialog, property sheet and print or PDF job
// that runs, on the user-interface thread. While a frame is open the main window stays disabled
// (a window that ends and enables it is undone at once), so is the window of every frame below
// the top one, and the main window refuses the commands that change the return. When the last
// frame ends, the main window's enabled state, the active window and the focus are as they were.
#define MODAL_OUTPUT_JOB 1   // a print or PDF job that reads the pages: no recompute starts
// Opens a frame for window (null for a job or a window not made yet); flags MODAL_OUTPUT_JOB.
// Returns the frame's number for EndModalState, 0 when no frame was opened: on another thread, or
// when 32 frames are open already (a "999 MOD: " line in the log says so). The caller runs its
// window all the same, under the frames already open, which keep the main window disabled.
int BeginModalState(HWND window, int flags);
// Ends the frame (and any left open above it), putting back what it disabled.
void EndModalState(int frame);
// Records the window of the top frame when it has none yet (a property sheet's own window).
void NoteModalWindow(HWND window);
int IsModalStateActive(void);
// 1 while a frame of an output job is open.
int IsOutputJobRunning(void);
// The visible window of the topmost frame that has one, null when none has.
HWND GetTopModalWindow(void);
// The owner a message box or dialog gets: requested when it is a window other than the main
// window and its children; else the window the user is in (the top frame's window, the active
// window of this thread, the main window).
HWND GetModalOwner(HWND requested);
// Disables the main window and every frame's window below the top frame again where something
// enabled it; called by whatever pumps messages inside a frame.
void KeepModalWindowsDisabled(void);
// 1 when window may be enabled now although a frame is open: the only frame left is a dialog
// that window owns and the dialog is the active window, so it is the one that enables its owner
// as it ends, and the owner takes the activation (and, under a window manager, the display's
// focus) back as the dialog goes.
int IsModalOwnerGivenBack(HWND window);
// The one way a modal dialog runs: DialogBoxParamA inside a frame that knows the dialog's window.
INT_PTR RunModalDialog(HINSTANCE instance, const char *templateName, HWND owner, DLGPROC proc, LPARAM param);

// Appends a line (formatted by the caller, e.g. "999 SIG: ...\r\n") to "Quorvel.log" in the data
// folder; CR LF is appended only when the line does not already end with a line break. 1 = written.
int WriteLogLine(const char *line);

// Busy cursor on (1) or off (0); calls nest. gBusyCursorCount > 0 while it is on (the main window's
// WM_SETCURSOR may consult it).
void SetBusyCursor(int on);
extern int gBusyCursorCount;

#endif // LEVYLINE_STORE_UTIL_H
