// files_replace.cpp - replacing a file with new bytes: the bytes go to a temporary file beside it,
// which is renamed over the target only when complete. A path the program cannot use, a read-only
// target and a target another program holds are refused before anything is written.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

int IsPathUsable(const char *path)
{
    if (!path)
        return 0;
    // A character outside the Windows code page reaches the program as '?', which no file name
    // may hold; '*' cannot either, nor control characters.
    for (const unsigned char *p = (const unsigned char *)path; *p; p++)
        if (*p == '?' || *p == '*' || *p < 32)
            return 0;
    return 1;
}

int CheckPathUsable(HWND owner, const char *path, const char *title)
{
    if (IsPathUsable(path))
        return 1;
    char text[700];
    snprintf(text, sizeof text,
             "The path %.260s holds characters that this program cannot use.\r\n\r\n"
             "Levyline can only use folder and file names written in the characters of the Windows "
             "language for non-Unicode programs. Please choose a folder and file name made only of those characters.",
             path ? path : "");
    ShowMessageBox(owner, text, title, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

int MakeReplaceTempName(const char *path, char *out, int outSize)
{
    if (!path || !out || outSize <= 0)
        return 0;
    out[0] = 0;
    size_t n = strlen(path);
    int nameLength = n ? (int)n - GetFolderPartLength(path) : 0;
    if (nameLength <= 0)
        return 0;
    // "<path>.tmp" when it stays within the system's path limit; otherwise a name of the path's
    // own length in the same folder: the last character becomes '~'.
    if (n + 4 < MAX_PATH && n + 4 < (size_t)outSize) {
        snprintf(out, (size_t)outSize, "%s.tmp", path);
        return 1;
    }
    if (n >= MAX_PATH || n >= (size_t)outSize)
        return 0;
    memcpy(out, path, n + 1);
    out[n - 1] = path[n - 1] == '~' ? '_' : '~';
    return 1;
}

// "what (the system's reason)" for error, into a buffer of its own.
static const char *WithSystemReason(const char *what, DWORD error)
{
    static char why[400];
    char system[256];
    size_t n = (size_t)GetSystemErrorText(error, system, sizeof system);
    while (n && (system[n - 1] == '.' || system[n - 1] == ' '))
        system[--n] = 0;
    if (n)
        snprintf(why, sizeof why, "%s (%s)", what, system);
    else
        snprintf(why, sizeof why, "%s (system error %lu)", what, (unsigned long)error);
    return why;
}

// The reason an existing target may not be replaced, or null when it may.
static const char *CheckTargetWritable(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return NULL;   // a new file
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return "a folder has that name";
    // The system refuses to open a read-only file for writing (Wine lets a privileged user do
    // it, and a rename would replace it anyway): it is refused here with the system's reason.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return WithSystemReason("the file is read-only", ERROR_ACCESS_DENIED);
    static char held[600];
    char who[200] = "";
    if (FindFileHolder(path, who, sizeof who)) {
        snprintf(held, sizeof held, "the file is in use by another program%s%s%s", who[0] ? " (" : "", who,
                 who[0] ? ")" : "");
        return held;
    }
    return NULL;
}

int ReplaceFileContents(const char *path, const void *data, uint32_t length, const char **whyOut)
{
    const char *ignored = NULL;
    if (!whyOut)
        whyOut = &ignored;
    if (!path || !*path || (length && !data)) {
        *whyOut = "no file name was given";
        return 0;
    }
    if (!IsPathUsable(path)) {
        *whyOut = "the path holds characters this program cannot use";
        return 0;
    }
    char temp[MAX_PATH];
    if (strlen(path) >= MAX_PATH || !MakeReplaceTempName(path, temp, sizeof temp)) {
        *whyOut = "the file name is too long";
        return 0;
    }
    const char *refused = CheckTargetWritable(path);
    if (refused) {
        *whyOut = refused;
        return 0;
    }
    // A temporary file left by an interrupted save is overwritten here and renamed away below.
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *whyOut = WithSystemReason("the temporary file could not be created", GetLastError());
        return 0;
    }
    const uint8_t *bytes = (const uint8_t *)data;
    uint32_t done = 0;
    int ok = 1;
    while (ok && done < length) {
        DWORD chunk = length - done > (1u << 20) ? (1u << 20) : length - done;
        DWORD wrote = 0;
        if (!WriteFile(file, bytes + done, chunk, &wrote, NULL) || wrote == 0)
            ok = 0;
        done += wrote;
    }
    if (ok && !FlushFileBuffers(file))
        ok = 0;
    if (!ok)
        *whyOut = WithSystemReason("the disk may be full or write-protected", GetLastError());
    CloseHandle(file);
    if (!ok) {
        DeleteFileA(temp);
        return 0;
    }
    if (!MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *whyOut = WithSystemReason("the new file could not replace the old one", GetLastError());
        DeleteFileA(temp);
        return 0;
    }
    return 1;
}
