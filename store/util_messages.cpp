// util_messages.cpp - the common message box and the program's own message dialog.
#include "store/store.h"

#include <string.h>


// Control ids of the "MESSAGEBOXAPPEX" template (resources/store.rc).
#define IDC_APPMSG_TEXT 1001

// Joins single line breaks into one space and keeps paragraph breaks (two or more line breaks,
// written back as CR LF pairs). Returns a new heap block, or null when out of memory.
static char *JoinMessageLines(const char *text)
{
    size_t length = strlen(text);
    // A lone CR or LF may become CR LF: at most twice the input.
    char *out = (char *)HeapAlloc(GetProcessHeap(), 0, length * 2 + 1);
    if (!out)
        return NULL;
    size_t o = 0;
    const char *p = text;
    while (*p) {
        if (*p != '\r' && *p != '\n') {
            out[o++] = *p++;
            continue;
        }
        int breaks = 0;
        while (*p == '\r' || *p == '\n') {
            if (p[0] == '\r' && p[1] == '\n')
                p += 2;
            else
                p++;
            breaks++;
        }
        if (breaks == 1) {
            // One space between the joined lines, none at either end and no doubled blank.
            if (o > 0 && out[o - 1] != ' ' && *p && *p != ' ')
                out[o++] = ' ';
        } else {
            for (int i = 0; i < breaks; i++) {
                out[o++] = '\r';
                out[o++] = '\n';
            }
        }
    }
    out[o] = 0;
    return out;
}

// The plain box (or the test seam in its place), as a frame of the modal state: nothing changes
// the return while it shows.
static int RunMessageBoxFrame(HWND owner, const char *text, const char *title, unsigned flags)
{
    int frame = BeginModalState(NULL, 0);
    int answer = gMessageBoxHook ? gMessageBoxHook(owner, text, title, flags) : MessageBoxA(owner, text, title, flags);
    EndModalState(frame);
    return answer;
}

int ShowMessageBox(HWND owner, const char *text, const char *title, unsigned flags)
{
    if (!text)
        text = "";
    if (!title)
        title = "";
    char *joined = JoinMessageLines(text);
    const char *shown = joined ? joined : text;
    // Every box has an owner: the window the user is in, never the disabled main window under a
    // dialog.
    int answer = RunMessageBoxFrame(GetModalOwner(owner), shown, title, flags);
    if (joined)
        HeapFree(GetProcessHeap(), 0, joined);
    return answer;
}

static INT_PTR CALLBACK AppMessageBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const AppMessageBoxParams *block = (const AppMessageBoxParams *)lParam;
        SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)lParam);
        if (block->caption)
            SetWindowTextA(dialog, block->caption);
        HWND edit = GetDlgItem(dialog, IDC_APPMSG_TEXT);
        SetWindowTextA(edit, block->text ? block->text : "");
        int length = block->text ? (int)strlen(block->text) : 0;
        int start = block->markStart;
        int count = block->markLength;
        // The marked stretch is shown selected; a stretch outside the text is ignored.
        if (start >= 0 && count > 0 && start < length) {
            if (count > length - start)
                count = length - start;
            SetFocus(edit);
            SendMessageA(edit, EM_SETSEL, (WPARAM)start, (LPARAM)(start + count));
            SendMessageA(edit, EM_SCROLLCARET, 0, 0);
            return FALSE;
        }
        SendMessageA(edit, EM_SETSEL, (WPARAM)-1, 0);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return FALSE;
}

int ShowAppMessageBox(const AppMessageBoxParams *block)
{
    if (!block)
        return 0;
    const char *text = block->text ? block->text : "";
    const char *caption = block->caption ? block->caption : "";
    HWND owner = GetModalOwner(block->owner);
    if (gMessageBoxHook)
        return RunMessageBoxFrame(owner, text, caption, block->options[0]);
    HINSTANCE instance = block->instance ? block->instance : GetModuleHandleA(NULL);
    INT_PTR result = RunModalDialog(instance, "MESSAGEBOXAPPEX", owner, AppMessageBoxProc, (LPARAM)block);
    if (result == -1 || result == 0) {
        // Template missing from the module: fall back to the plain box so the text is still seen.
        return RunMessageBoxFrame(owner, text, caption, MB_OK | MB_ICONINFORMATION);
    }
    return (int)result;
}

int GetSystemErrorText(unsigned long error, char *out, int outSize)
{
    if (!out || outSize <= 0) return 0;
    out[0] = 0;
    if (error)
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, (DWORD)error, 0, out,
                       (DWORD)outSize, NULL);
    out[outSize - 1] = 0;
    size_t n = strlen(out);
    while (n && (out[n - 1] == '\r' || out[n - 1] == '\n' || out[n - 1] == ' '))
        out[--n] = 0;
    return (int)n;
}
