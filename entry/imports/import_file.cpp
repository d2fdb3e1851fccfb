// Reading an import file: the size cap, text encodings the parser cannot read, and line ends
// of every style written as CR LF into a buffer with room for the parser's record end.
#include "entry/imports/imports.h"

#include <stdio.h>
#include <string.h>

static const char kReadTitle[] = "Error Reading Import File";

char *NormalizeImportText(HWND owner, const uint8_t *data, uint32_t length, uint32_t *bufferSizeOut)
{
    if (bufferSizeOut)
        *bufferSizeOut = 0;
    if (length > IMPORT_MAX_FILE_SIZE) {
        char message[256];
        snprintf(message, sizeof(message),
                 "The import file is larger than %u MB and cannot be imported.\r\n\r\n"
                 "Please split it into smaller files and import them one after the other.",
                 IMPORT_MAX_FILE_SIZE / (1024u * 1024u));
        ShowMessageBox(owner, message, kReadTitle, MB_OK | MB_ICONEXCLAMATION);
        return NULL;
    }
    int utf16 = length >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF));
    int utf8Mark = length >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
    int zeroBytes = memchr(data, 0, length) != NULL;
    if (utf16 || utf8Mark || zeroBytes) {
        const char *what = utf8Mark ? "as Unicode text (UTF-8 with a byte-order mark)"
                                    : (utf16 ? "as Unicode text (UTF-16)" : "with bytes that are not text");
        char message[512];
        snprintf(message, sizeof(message),
                 "The import file is saved %s and cannot be read.\r\n\r\n"
                 "Please save it again as plain text (for example \"CSV (Comma delimited)\" or "
                 "\"Text (Tab delimited)\") and import that file.",
                 what);
        ShowMessageBox(owner, message, kReadTitle, MB_OK | MB_ICONEXCLAMATION);
        return NULL;
    }
    // Every line end may double (a lone CR or LF becomes CR LF).
    uint32_t size = length * 2 + 1 + IMPORT_BUFFER_SPARE;
    char *text = (char *)MemAlloc(64, size);
    if (!text)
        return NULL;
    uint32_t w = 0;
    for (uint32_t i = 0; i < length; i++) {
        uint8_t ch = data[i];
        if (ch == '\r' || ch == '\n') {
            text[w++] = '\r';
            text[w++] = '\n';
            if (ch == '\r' && i + 1 < length && data[i + 1] == '\n')
                i++;
            continue;
        }
        text[w++] = (char)ch;
    }
    text[w] = 0;
    if (bufferSizeOut)
        *bufferSizeOut = size;
    return text;
}

// Says why the file could not be opened or read, with the system's reason for error; a file
// another program holds without letting others read it is named as such.
static void ReportUnreadableImportFile(HWND owner, const char *path, const char *what, DWORD error)
{
    char reason[256];
    GetSystemErrorText(error, reason, sizeof reason);
    const char *hint = "";
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        hint = "Another program (a spreadsheet, for example) has the file open and does not let it be read. "
               "Close the file in that program, then import it again.\r\n\r\n";
    char message[MAX_PATH + 700];
    snprintf(message, sizeof(message), "The import file could not be %s.\r\n\r\n%s\r\n\r\n%s%s", what,
             path ? path : "", hint, reason);
    ShowMessageBox(owner, message, kReadTitle, MB_OK | MB_ICONEXCLAMATION);
}

char *ReadImportFile(HWND owner, const char *path, uint32_t *bufferSizeOut)
{
    if (bufferSizeOut)
        *bufferSizeOut = 0;
    if (!path || !path[0])
        return NULL;
    // Only read: a file that another program holds open for writing, while letting others read
    // it (as spreadsheets hold theirs), is read as it is on disk.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        ReportUnreadableImportFile(owner, path, "opened", GetLastError());
        return NULL;
    }
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file, &fileSize)) {
        DWORD error = GetLastError();
        CloseHandle(file);
        ReportUnreadableImportFile(owner, path, "read", error);
        return NULL;
    }
    if (fileSize.QuadPart > IMPORT_MAX_FILE_SIZE) {
        CloseHandle(file);
        return NormalizeImportText(owner, NULL, IMPORT_MAX_FILE_SIZE + 1, bufferSizeOut);   // reports the size
    }
    DWORD size = fileSize.LowPart;
    if (size == 0) {
        CloseHandle(file);
        char message[MAX_PATH + 64];
        snprintf(message, sizeof(message), "The import file is empty.\r\n\r\n%s", path);
        ShowMessageBox(owner, message, kReadTitle, MB_OK | MB_ICONEXCLAMATION);
        return NULL;
    }
    uint8_t *data = (uint8_t *)MemAlloc(64, (size_t)size + 1);
    if (!data) {
        CloseHandle(file);
        return NULL;   // the allocator has said so
    }
    DWORD got = 0;
    int ok = ReadFile(file, data, size, &got, NULL) && got == size;
    DWORD error = ok ? 0 : GetLastError();
    CloseHandle(file);
    if (!ok) {
        MemFree(data);
        ReportUnreadableImportFile(owner, path, "read", error);
        return NULL;
    }
    char *text = NormalizeImportText(owner, data, size, bufferSizeOut);
    MemFree(data);
    return text;
}
