// files_dialogs.cpp - the open-file dialog, opening files with the shell, run-time library lookup.
#include "store/store.h"

#include <commdlg.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

int ShowFileOpenDialog(const char *title, const char *defaultExtension, const char *filter, int scope,
                       int reserved, const char *folderValueName, const char *startFolder,
                       char *pathBuffer, int bufferSize, HWND owner)
{
    (void)reserved;
    if (!pathBuffer || bufferSize <= 0)
        return 0;
    if (scope == 0)
        scope = REG_SCOPE_YEAR;
    // One dialog per title: bring an open one to the front instead of opening a second.
    if (title && *title) {
        HWND open = FindWindowA("#32770", title);
        if (open) {
            SetForegroundWindow(open);
            MessageBeep(MB_OK);
            return 0;
        }
    }
    char initialFolder[MAX_PATH] = "";
    if (startFolder && *startFolder) {
        snprintf(initialFolder, sizeof initialFolder, "%s", startFolder);
    } else if (folderValueName && *folderValueName) {
        ReadRegistryValue(initialFolder, scope, 0, folderValueName, sizeof initialFolder, REG_SZ);
    }
    // The dialog is a frame of the modal state, owned by the window the user is in.
    owner = GetModalOwner(owner);
    int frame = BeginModalState(NULL, 0);
    int picked;
    if (gFileDialogHook) {
        picked = gFileDialogHook(0, title, pathBuffer, bufferSize);
        pathBuffer[bufferSize - 1] = 0;
    } else {
        OPENFILENAMEA ofn;
        memset(&ofn, 0, sizeof ofn);
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.hInstance = GetModuleHandleA(NULL);
        ofn.lpstrFilter = filter;
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = pathBuffer;
        ofn.nMaxFile = (DWORD)bufferSize;
        ofn.lpstrInitialDir = initialFolder[0] ? initialFolder : NULL;
        ofn.lpstrTitle = title;
        ofn.lpstrDefExt = defaultExtension;
        ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                    OFN_ENABLESIZING | OFN_NOCHANGEDIR;
        if (gAppCallbacks.fileDialogHookProc) {
            ofn.Flags |= OFN_ENABLEHOOK;
            ofn.lpfnHook = gAppCallbacks.fileDialogHookProc;
        }
        picked = GetOpenFileNameA(&ofn) ? 1 : 0;
    }
    EndModalState(frame);
    if (!picked || !pathBuffer[0])
        return 0;
    if (folderValueName && *folderValueName) {
        int folderLength = GetFolderPartLength(pathBuffer);
        char folder[MAX_PATH];
        if (folderLength > 0 && folderLength < (int)sizeof folder) {
            memcpy(folder, pathBuffer, (size_t)folderLength);
            folder[folderLength] = 0;
            if (folderLength > 3)
                folder[folderLength - 1] = 0;  // no trailing backslash except at a drive root
            WriteRegistryValue(scope, folderValueName, REG_SZ, folder, 0);
        }
    }
    return 1;
}

int OpenWithShell(const char *verb, const char *file)
{
    if (!file || !*file)
        return 0;
    if (gShellExecuteHook)
        return gShellExecuteHook(verb, file);
    SHELLEXECUTEINFOA info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC;
    info.lpVerb = verb;
    info.lpFile = file;
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) ? 1 : 0;
}

FARPROC GetDllProc(const char *module, const char *name)
{
    if (!module || !*module || !name || !*name)
        return NULL;
    HMODULE library = GetModuleHandleA(module);
    if (!library) {
        // System libraries are loaded from the system folder only, never from the current folder.
        char path[MAX_PATH];
        UINT n = GetSystemDirectoryA(path, sizeof path);
        if (n > 0 && n < sizeof path && strchr(module, '\\') == NULL &&
            n + 1 + strlen(module) < sizeof path) {
            snprintf(path + n, sizeof path - n, "\\%s", module);
            library = LoadLibraryA(path);
        }
        if (!library)
            return NULL;
    }
    return GetProcAddress(library, name);
}

int ShowFileSaveDialog(HWND owner, const char *title, const char *defaultExtension, const char *filter,
                       char *pathBuffer, int bufferSize)
{
    if (!pathBuffer || bufferSize <= 0)
        return 0;
    owner = GetModalOwner(owner);
    int frame = BeginModalState(NULL, 0);
    int picked;
    if (gFileDialogHook) {
        picked = gFileDialogHook(1, title, pathBuffer, bufferSize);
    } else {
        char folder[MAX_PATH] = "";
        int folderLength = GetFolderPartLength(pathBuffer);
        if (folderLength > 0 && folderLength < (int)sizeof(folder)) {
            memcpy(folder, pathBuffer, folderLength);
            folder[folderLength] = 0;
            // The dialog takes the folder separately and only the name in the file box.
            memmove(pathBuffer, pathBuffer + folderLength, strlen(pathBuffer + folderLength) + 1);
        }
        OPENFILENAMEA ofn;
        memset(&ofn, 0, sizeof(ofn));
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter;
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = pathBuffer;
        ofn.nMaxFile = (DWORD)bufferSize;
        ofn.lpstrInitialDir = folder[0] ? folder : NULL;
        ofn.lpstrTitle = title;
        ofn.lpstrDefExt = defaultExtension;
        ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (gAppCallbacks.fileDialogHookProc) {
            ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLESIZING;
            ofn.lpfnHook = gAppCallbacks.fileDialogHookProc;
        }
        picked = GetSaveFileNameA(&ofn) ? 1 : 0;
    }
    EndModalState(frame);
    pathBuffer[bufferSize - 1] = 0;
    return picked && pathBuffer[0];
}
