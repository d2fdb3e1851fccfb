// files_replace.cpp - replacing a file with new bytes: the bytes go to a temporary file beside it,
// which is renamed over the target only when complete. A path the program cannot use, a missing
// folder, a read-only target and a target another program holds are refused before anything is
// written. The return file and the PDF writer both replace their files this way.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

// The longest name one file or folder may have (a path's component).
#define MAX_NAME_LENGTH 255

static int IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The length of the device name when the length characters at name name a device the system
// keeps (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$, CONOUT$), else 0: the system takes such
// a file or folder name, with any extension, for the device.
static size_t FindDeviceName(const char *name, size_t length)
{
    size_t base = 0;
    while (base < length && name[base] != '.')
        base++;
    while (base > 0 && name[base - 1] == ' ')
        base--;
    static const char *const fixed[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char *device : fixed)
        if (base == strlen(device) && _strnicmp(name, device, base) == 0)
            return base;
    if (base == 4 && (_strnicmp(name, "COM", 3) == 0 || _strnicmp(name, "LPT", 3) == 0) && name[3] >= '1' &&
        name[3] <= '9')
        return base;
    return 0;
}

static const char gBadCharacters[] = "the path holds characters this program cannot use";

const char *FindPathProblem(const char *path)
{
    if (!path || !*path)
        return "no file name was given";
    static char why[200];
    // "\\?\" and "\\.\" hand the rest of the path to the system unchecked (long paths, devices):
    // the program's folder and file routines do not understand them.
    if (IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == '?' || path[2] == '.') && IsSeparator(path[3])) {
        snprintf(why, sizeof why,
                 "the path begins with %.4s, a form of path this program cannot use (give the path from its drive "
                 "letter or network share name)",
                 path);
        return why;
    }
    // A character outside the Windows code page reaches the program as '?', which no file name
    // may hold; '*' cannot either, nor control characters.
    for (const unsigned char *p = (const unsigned char *)path; *p; p++)
        if (*p == '?' || *p == '*' || *p < 32)
            return gBadCharacters;
    for (const char *part = path; *part;) {
        size_t length = 0;
        while (part[length] && !IsSeparator(part[length]))
            length++;
        size_t device = FindDeviceName(part, length);
        if (device) {
            snprintf(why, sizeof why,
                     "\"%.*s\" is a name the system keeps for a device, which no file or folder can have, "
                     "whatever its extension",
                     (int)device, part);
            return why;
        }
        part += length;
        while (IsSeparator(*part))
            part++;
    }
    return NULL;
}

int CheckPathUsable(HWND owner, const char *path, const char *title)
{
    const char *problem = FindPathProblem(path);
    if (!problem)
        return 1;
    char text[700];
    if (problem == gBadCharacters)
        snprintf(text, sizeof text,
                 "The path %.260s holds characters that this program cannot use.\r\n\r\n"
                 "Levyline can only use folder and file names written in the characters of the Windows "
                 "language for non-Unicode programs. Please choose a folder and file name made only of those characters.",
                 path ? path : "");
    else
        snprintf(text, sizeof text, "The path %.260s cannot be used: %s.", path ? path : "", problem);
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
    // "<path>.tmp" when it stays within the system's limits, MAX_PATH for the path and 255
    // characters for one name; otherwise a name of the file's own length in the same folder: the
    // last character becomes '~'.
    if (n + 4 < MAX_PATH && nameLength + 4 <= MAX_NAME_LENGTH && n + 4 < (size_t)outSize) {
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

// The reason the target's folder cannot take a file, or null when it can. A folder is never
// made here: one that vanished since the file was opened is reported.
static const char *CheckTargetFolder(const char *path)
{
    char folder[MAX_PATH];
    int length = GetFolderPartLength(path);
    if (length <= 0)
        return NULL;   // a bare name: the current folder
    if (length >= (int)sizeof folder)
        return "the file name is too long";
    memcpy(folder, path, (size_t)length);
    folder[length] = 0;
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return NULL;
    DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_PATH_NOT_FOUND;
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || !error)
        return WithSystemReason("its folder was not found", ERROR_PATH_NOT_FOUND);
    return WithSystemReason("its folder could not be reached", error);
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
    // Any other reason the system keeps the file from being written (its permissions) is found
    // before the new bytes are made.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return NULL;
    }
    DWORD error = GetLastError();
    static char held[600];
    char who[200] = "";
    if (FindFileHolder(path, who, sizeof who)) {
        snprintf(held, sizeof held, "the file is in use by another program%s%s%s", who[0] ? " (" : "", who,
                 who[0] ? ")" : "");
        return held;
    }
    return WithSystemReason("the file cannot be written", error);
}

const char *CheckFileReplaceable(const char *path)
{
    const char *why = FindPathProblem(path);
    char temp[MAX_PATH];
    if (!why && (strlen(path) >= MAX_PATH || !MakeReplaceTempName(path, temp, sizeof temp)))
        why = "the file name is too long";
    if (!why)
        why = CheckTargetFolder(path);
    if (!why)
        why = CheckTargetWritable(path);
    return why;
}

int BeginFileReplace(FileReplace *replace, const char *path, const char **whyOut)
{
    const char *ignored = NULL;
    if (!whyOut)
        whyOut = &ignored;
    if (!replace)
        return 0;
    memset(replace, 0, sizeof *replace);
    const char *why = CheckFileReplaceable(path);
    if (why) {
        *whyOut = why;
        return 0;
    }
    memcpy(replace->target, path, strlen(path) + 1);
    MakeReplaceTempName(path, replace->temporary, sizeof replace->temporary);
    DWORD attributes = GetFileAttributesA(path);
    replace->attributes = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes;
    // A temporary file left by an interrupted write goes, whatever its attributes: it must not
    // lend them to the new file. One another write has open stays, and this write is refused.
    DWORD stale = GetFileAttributesA(replace->temporary);
    if (stale != INVALID_FILE_ATTRIBUTES) {
        if (stale & FILE_ATTRIBUTE_DIRECTORY)
            why = "a folder has the name of its temporary file";
        else if (((stale & FILE_ATTRIBUTE_READONLY) && !SetFileAttributesA(replace->temporary, FILE_ATTRIBUTE_NORMAL)) ||
                 !DeleteFileA(replace->temporary))
            why = WithSystemReason("the temporary file left by an earlier write could not be removed", GetLastError());
    }
    if (!why) {
        replace->handle = CreateFileA(replace->temporary, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      NULL);
        if (replace->handle == INVALID_HANDLE_VALUE) {
            replace->handle = NULL;
            why = WithSystemReason("the temporary file could not be created", GetLastError());
        }
    }
    if (why) {
        replace->temporary[0] = 0;   // not this write's to delete
        *whyOut = why;
        return 0;
    }
    return 1;
}

int FinishFileReplace(FileReplace *replace, int complete, const char **whyOut)
{
    const char *ignored = NULL;
    if (!whyOut)
        whyOut = &ignored;
    if (!replace)
        return 0;
    const char *why = NULL;
    if (replace->handle) {
        if (complete && !FlushFileBuffers(replace->handle))
            why = WithSystemReason("the disk may be full or write-protected", GetLastError());
        if (!CloseHandle(replace->handle) && complete && !why)
            why = WithSystemReason("the disk may be full or write-protected", GetLastError());
        replace->handle = NULL;
    } else if (complete) {
        why = "the temporary file was not created";
    }
    if (complete && !why) {
        // The new file keeps what the old one was (hidden, system, not indexed); it is new
        // content, so it is marked for the next backup.
        DWORD kept = replace->attributes &
                     (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (kept)
            SetFileAttributesA(replace->temporary, kept | FILE_ATTRIBUTE_ARCHIVE);
        if (!MoveFileExA(replace->temporary, replace->target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            why = WithSystemReason("the new file could not replace the old one", GetLastError());
    }
    int replaced = complete && !why;
    if (!replaced && replace->temporary[0])
        DeleteFileA(replace->temporary);
    replace->temporary[0] = 0;
    if (why)
        *whyOut = why;
    return replaced;
}

int ReplaceFileContents(const char *path, const void *data, uint32_t length, const char **whyOut)
{
    const char *ignored = NULL;
    if (!whyOut)
        whyOut = &ignored;
    if (length && !data) {
        *whyOut = "no data was given";
        return 0;
    }
    FileReplace replace;
    if (!BeginFileReplace(&replace, path, whyOut))
        return 0;
    const uint8_t *bytes = (const uint8_t *)data;
    uint32_t done = 0;
    int ok = 1;
    while (ok && done < length) {
        DWORD chunk = length - done > (1u << 20) ? (1u << 20) : length - done;
        DWORD wrote = 0;
        if (!WriteFile(replace.handle, bytes + done, chunk, &wrote, NULL) || wrote == 0)
            ok = 0;
        done += wrote;
    }
    if (!ok)
        *whyOut = WithSystemReason("the disk may be full or write-protected", GetLastError());
    return FinishFileReplace(&replace, ok, whyOut);
}
