// files.cpp - file and path routines: existence, opening with retries, appending, unique names.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

static int HasRootedPath(const char *path)
{
    if (!path)
        return 0;
    if (((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':')
        return 1;
    return path[0] == '\\' && path[1] == '\\';
}

int FileExists(const char *path)
{
    if (!HasRootedPath(path))
        return 0;
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

HANDLE OpenFileForRead(const char *path, DWORD *sizeOut, unsigned flags)
{
    if (sizeOut)
        *sizeOut = 0;
    if (!path || !*path)
        return NULL;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return NULL;
    }
    if (size.HighPart != 0) {
        CloseHandle(file);
        if (!(flags & OPEN_FILE_QUIET)) {
            char text[MAX_PATH + 128];
            snprintf(text, sizeof text, "The file %s is too large to be read (4 GB or more).", path);
            ShowMessageBox(NULL, text, "File Size Error", MB_OK | MB_ICONEXCLAMATION);
        }
        return NULL;
    }
    if (sizeOut)
        *sizeOut = size.LowPart;
    return file;
}

int CreateFolderPath(const char *folder)
{
    if (!folder || !*folder)
        return 0;
    char path[MAX_PATH];
    size_t length = strlen(folder);
    if (length >= sizeof path)
        return 0;
    memcpy(path, folder, length + 1);
    while (length > 0 && (path[length - 1] == '\\' || path[length - 1] == '/'))
        path[--length] = 0;
    if (length == 0)
        return 0;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Skip the root: "C:\" or the "\\server\share\" of a network path.
    size_t start = 0;
    if (length >= 2 && path[1] == ':') {
        start = 3;
    } else if (path[0] == '\\' && path[1] == '\\') {
        int separators = 0;
        for (start = 2; start < length && separators < 2; start++)
            if (path[start] == '\\')
                separators++;
    }
    for (size_t i = start; i <= length; i++) {
        if (path[i] == '\\' || path[i] == '/' || path[i] == 0) {
            char saved = path[i];
            path[i] = 0;
            if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
                CreateDirectoryA(path, NULL);
            path[i] = saved;
        }
    }
    attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HANDLE OpenFileWithRetry(const char *path, DWORD access, DWORD creation, DWORD attributes)
{
    if (!path || !*path)
        return INVALID_HANDLE_VALUE;
    if (!attributes)
        attributes = FILE_ATTRIBUTE_NORMAL;
    DWORD error = 0;
    for (int attempt = 0; attempt < 4; attempt++) {
        if (attempt > 0)
            Sleep(500);
        HANDLE file = CreateFileA(path, access, FILE_SHARE_READ, NULL, creation, attributes, NULL);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        error = GetLastError();
        if (error == ERROR_PATH_NOT_FOUND) {
            int folderLength = GetFolderPartLength(path);
            char folder[MAX_PATH];
            if (folderLength > 0 && folderLength < (int)sizeof folder) {
                memcpy(folder, path, (size_t)folderLength);
                folder[folderLength] = 0;
                CreateFolderPath(folder);
            }
        } else if (error == ERROR_FILE_NOT_FOUND &&
                   (creation == OPEN_EXISTING || creation == TRUNCATE_EXISTING)) {
            break;  // a missing file does not appear by waiting
        }
    }
    int creating = creation == CREATE_NEW || creation == CREATE_ALWAYS;
    char title[64];
    snprintf(title, sizeof title, "Error %s File", creating ? "Creating" : "Opening");
    char system[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, system,
                   sizeof system, NULL);
    char text[MAX_PATH + 400];
    snprintf(text, sizeof text, "File %s could not be %s.\r\n\r\n%s", path,
             creating ? "created" : "opened", system);
    ShowMessageBox(NULL, text, title, MB_OK | MB_ICONEXCLAMATION);
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

int AppendLineToFile(const char *text, const char *path)
{
    if (!text || !path || !*path)
        return 0;
    HANDLE file = INVALID_HANDLE_VALUE;
    // Another thread may be appending at the same moment: a few short tries.
    for (int attempt = 0; attempt < 5 && file == INVALID_HANDLE_VALUE; attempt++) {
        if (attempt > 0)
            Sleep(20);
        file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    }
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD length = (DWORD)strlen(text);
    DWORD written = 0;
    int ok = WriteFile(file, text, length, &written, NULL) && written == length;
    if (ok && (length == 0 || (text[length - 1] != '\n' && text[length - 1] != '\r')))
        ok = WriteFile(file, "\r\n", 2, &written, NULL) && written == 2;
    CloseHandle(file);
    return ok;
}

void *AppendToBuffer(void *buffer, size_t *size, size_t extra)
{
    if (!size)
        return NULL;
    size_t oldSize = buffer ? *size : 0;
    if (extra > (size_t)-1 - oldSize)
        return NULL;
    void *grown = MemReAlloc(buffer, oldSize + extra);
    if (!grown)
        return NULL;
    *size = oldSize + extra;
    return grown;
}

int GetFolderPartLength(const char *path)
{
    if (!path)
        return 0;
    const char *back = strrchr(path, '\\');
    const char *slash = strrchr(path, '/');
    if (slash > back)
        back = slash;
    return back ? (int)(back - path) + 1 : 0;
}

int MakeUniquePathName(char *pathBuffer, int bufferSize, const char *suffix, int counterWidth)
{
    if (!pathBuffer || bufferSize <= 0)
        return 0;
    if (!FileExists(pathBuffer))
        return 1;
    if (!suffix)
        suffix = "";
    if (counterWidth > 9)
        counterWidth = 9;
    int folderLength = GetFolderPartLength(pathBuffer);
    const char *dot = strrchr(pathBuffer + folderLength, '.');
    size_t baseLength = dot ? (size_t)(dot - pathBuffer) : strlen(pathBuffer);
    const char *extension = dot ? dot : "";
    long maxCounter = 1;
    for (int i = 0; i < counterWidth; i++)
        maxCounter *= 10;
    if (maxCounter > 100000)
        maxCounter = 100000;  // a name search that long means something else is wrong
    char candidate[1024];
    for (long counter = 1; counter < maxCounter || (counterWidth == 0 && counter == 1); counter++) {
        char number[16] = "";
        if (counterWidth > 0)
            snprintf(number, sizeof number, "%0*ld", counterWidth, counter);
        int n = snprintf(candidate, sizeof candidate, "%.*s%s%s%s", (int)baseLength, pathBuffer,
                         suffix, number, extension);
        if (n < 0 || n >= (int)sizeof candidate || n + 1 > bufferSize)
            return 0;
        if (!FileExists(candidate)) {
            memcpy(pathBuffer, candidate, (size_t)n + 1);
            return 1;
        }
        if (counterWidth == 0)
            break;
    }
    return 0;
}

int HasFileExtension(const char *path, const char *extension)
{
    size_t length = strlen(path), extLength = strlen(extension);
    return length > extLength && lstrcmpiA(path + length - extLength, extension) == 0;
}
