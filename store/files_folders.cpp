// files_folders.cpp - the program's folders (program, data, Sent, FormPak, Temp) and the user's
// Documents and Desktop folders.
#include "store/store.h"

#include <shlobj.h>
#include <stdio.h>
#include <string.h>

static int CopyFolderText(char *buffer, const char *text)
{
    size_t length = strlen(text);
    while (length > 3 && (text[length - 1] == '\\' || text[length - 1] == '/'))
        length--;
    if (length == 0 || length >= MAX_PATH)
        return 0;
    memcpy(buffer, text, length);
    buffer[length] = 0;
    return 1;
}

static int GetProgramFileFolder(char *buffer)
{
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof module);
    if (n == 0 || n >= sizeof module)
        return 0;
    int folderLength = GetFolderPartLength(module);
    if (folderLength <= 0)
        return 0;
    module[folderLength - 1] = 0;
    return CopyFolderText(buffer, module);
}

// The data folder: the "DataDir" setting, else "Levyline 2024" in the user's Documents, else "Data"
// beside the program.
static int GetDataFolder(char *buffer)
{
    char setting[MAX_PATH];
    if (ReadRegistryValue(setting, REG_SCOPE_YEAR, 0, "DataDir", sizeof setting, REG_SZ) &&
        setting[0] && CopyFolderText(buffer, setting) && CreateFolderPath(buffer))
        return 1;
    char documents[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathA(NULL, CSIDL_PERSONAL, NULL, SHGFP_TYPE_CURRENT, documents))) {
        char folder[MAX_PATH + 32];
        snprintf(folder, sizeof folder, "%s\\Levyline 2024", documents);
        if (CopyFolderText(buffer, folder) && CreateFolderPath(buffer))
            return 1;
    }
    char program[MAX_PATH];
    if (!GetProgramFileFolder(program))
        return 0;
    char folder[MAX_PATH + 16];
    snprintf(folder, sizeof folder, "%s\\Data", program);
    return CopyFolderText(buffer, folder) && CreateFolderPath(buffer);
}

static int GetSubFolder(char *buffer, const char *name)
{
    char data[MAX_PATH];
    if (!GetDataFolder(data))
        return 0;
    char folder[MAX_PATH + 32];
    snprintf(folder, sizeof folder, "%s\\%s", data, name);
    return CopyFolderText(buffer, folder) && CreateFolderPath(buffer);
}

int GetProgramFolder(char *buffer, int kind)
{
    if (!buffer)
        return 0;
    char folder[MAX_PATH];
    int ok = 0;
    switch (kind) {
    case FOLDER_PROGRAM:
        ok = GetProgramFileFolder(folder);
        break;
    case FOLDER_DATA:
        ok = GetDataFolder(folder);
        break;
    case FOLDER_SENT:
        ok = GetSubFolder(folder, "Sent");
        break;
    case FOLDER_TEMP:
        ok = GetSubFolder(folder, "Temp");
        break;
    case FOLDER_FORMPAK: {
        char setting[MAX_PATH];
        if (ReadRegistryValue(setting, REG_SCOPE_YEAR, 0, "FormDir", sizeof setting, REG_SZ) &&
            setting[0] && CopyFolderText(folder, setting) && CreateFolderPath(folder))
            ok = 1;
        else
            ok = GetSubFolder(folder, "FormPaks");
        break;
    }
    default:
        break;
    }
    if (!ok) {
        buffer[0] = 0;
        return 0;
    }
    memcpy(buffer, folder, strlen(folder) + 1);
    return 1;
}

// 1 when path lies in folder (case ignored): it equals it or continues with a backslash.
static int PathIsInFolder(const char *path, const char *folder)
{
    size_t length = strlen(folder);
    if (length == 0 || _strnicmp(path, folder, length) != 0)
        return 0;
    return path[length] == 0 || path[length] == '\\' || path[length] == '/';
}

int IsUnderDocumentsOrDesktop(const char *path, char *out, int outSize)
{
    if (!path || !*path)
        return 0;
    static const int folders[2] = {CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY};
    for (int i = 0; i < 2; i++) {
        char folder[MAX_PATH];
        if (FAILED(SHGetFolderPathA(NULL, folders[i], NULL, SHGFP_TYPE_CURRENT, folder)))
            continue;
        if (!CopyFolderText(folder, folder) || !PathIsInFolder(path, folder))
            continue;
        if (out) {
            // From the folder's own name onward: "Documents\Returns\a.qvr".
            const char *from = path + GetFolderPartLength(folder);
            size_t length = strlen(from);
            if (outSize <= 0 || length + 1 > (size_t)outSize) {
                if (outSize > 0)
                    out[0] = 0;
                return 0;
            }
            memcpy(out, from, length + 1);
        }
        return 1;
    }
    return 0;
}
