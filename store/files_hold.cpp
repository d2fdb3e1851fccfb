// files_hold.cpp - holding the open return's file: while the program has a return open it keeps
// the file open with a share mode that lets others read it but not write, rename or delete it,
// so a second copy of the program is told the file is in use and cannot save over it.
#include "store/store.h"

#include <restartmanager.h>
#include <stdio.h>
#include <string.h>

static HANDLE gHeldFile = INVALID_HANDLE_VALUE;
static FileStamp gHeldStamp;

// The stamp of an open file from its handle.
static int ReadHandleStamp(HANDLE file, FileStamp *stamp)
{
    memset(stamp, 0, sizeof *stamp);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return 0;
    stamp->known = 1;
    stamp->volume = info.dwVolumeSerialNumber;
    stamp->indexHigh = info.nFileIndexHigh;
    stamp->indexLow = info.nFileIndexLow;
    stamp->sizeHigh = info.nFileSizeHigh;
    stamp->sizeLow = info.nFileSizeLow;
    stamp->lastWrite = info.ftLastWriteTime;
    return 1;
}

int ReadFileStamp(const char *path, FileStamp *stamp)
{
    memset(stamp, 0, sizeof *stamp);
    if (!path || !*path)
        return 0;
    // No read or write access is asked for, so no sharing mode stands in the way: the program's
    // own hold and another program's both let this open through.
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int ok = ReadHandleStamp(file, stamp);
    CloseHandle(file);
    return ok;
}

// 1 when both stamps are known and name the same file.
static int IsSameFileStamp(const FileStamp *a, const FileStamp *b)
{
    return a->known && b->known && a->volume == b->volume && a->indexHigh == b->indexHigh &&
           a->indexLow == b->indexLow;
}

int IsFileStampChanged(const FileStamp *then, const FileStamp *now)
{
    return !IsSameFileStamp(then, now) || then->sizeHigh != now->sizeHigh || then->sizeLow != now->sizeLow ||
           CompareFileTime(&then->lastWrite, &now->lastWrite) != 0;
}

int IsSameFile(const char *path, const char *otherPath)
{
    FileStamp a, b;
    return ReadFileStamp(path, &a) && ReadFileStamp(otherPath, &b) && IsSameFileStamp(&a, &b);
}

int HoldFileOpen(const char *path)
{
    ReleaseHeldFile();
    if (!path || !*path || strlen(path) >= MAX_PATH)
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    gHeldFile = file;
    ReadHandleStamp(file, &gHeldStamp);
    return 1;
}

void ReleaseHeldFile(void)
{
    if (gHeldFile != INVALID_HANDLE_VALUE)
        CloseHandle(gHeldFile);
    gHeldFile = INVALID_HANDLE_VALUE;
    memset(&gHeldStamp, 0, sizeof gHeldStamp);
}

// The held file is recognised by its identity, so any spelling of its path ("C:/...",
// "C:\...\.\...", a short name) names it.
int IsHeldFile(const char *path)
{
    FileStamp stamp;
    return gHeldFile != INVALID_HANDLE_VALUE && ReadFileStamp(path, &stamp) && IsSameFileStamp(&stamp, &gHeldStamp);
}

// The user a process runs as ("DOMAIN\name"), when the system tells it.
static int GetProcessUserName(DWORD processId, char *out, int outSize)
{
    out[0] = 0;
    HANDLE process = OpenProcess(0x1000 /* PROCESS_QUERY_LIMITED_INFORMATION */, FALSE, processId);
    if (!process)
        return 0;
    HANDLE token = NULL;
    int ok = 0;
    if (OpenProcessToken(process, TOKEN_QUERY, &token)) {
        DWORD buffer[64];
        DWORD size = 0;
        if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)) {
            char name[128], domain[128];
            DWORD nameSize = sizeof name, domainSize = sizeof domain;
            SID_NAME_USE use;
            if (LookupAccountSidA(NULL, ((TOKEN_USER *)buffer)->User.Sid, name, &nameSize, domain, &domainSize,
                                  &use))
                ok = snprintf(out, (size_t)outSize, "%s%s%s", domain, domain[0] ? "\\" : "", name) > 0;
        }
        CloseHandle(token);
    }
    CloseHandle(process);
    return ok;
}

// The programs that have path open, as the Restart Manager names them ("Levyline 2024, process
// 1234, user OFFICE\ann"); empty when the system cannot say (as under Wine, or for a file
// opened from another computer).
static void NameFileHolders(const char *path, char *who, int whoSize)
{
    typedef DWORD(WINAPI * StartProc)(DWORD *, DWORD, WCHAR *);
    typedef DWORD(WINAPI * RegisterProc)(DWORD, UINT, LPCWSTR *, UINT, RM_UNIQUE_PROCESS *, UINT, LPCWSTR *);
    typedef DWORD(WINAPI * ListProc)(DWORD, UINT *, UINT *, RM_PROCESS_INFO *, DWORD *);
    typedef DWORD(WINAPI * EndProc)(DWORD);
    StartProc start = (StartProc)GetDllProc("rstrtmgr.dll", "RmStartSession");
    RegisterProc registerFiles = (RegisterProc)GetDllProc("rstrtmgr.dll", "RmRegisterResources");
    ListProc list = (ListProc)GetDllProc("rstrtmgr.dll", "RmGetList");
    EndProc end = (EndProc)GetDllProc("rstrtmgr.dll", "RmEndSession");
    WCHAR wide[MAX_PATH];
    if (!start || !registerFiles || !list || !end || !MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH))
        return;
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {0};
    if (start(&session, 0, key) != ERROR_SUCCESS)
        return;
    LPCWSTR files[1] = {wide};
    RM_PROCESS_INFO info[4];
    UINT needed = 0, count = 4;
    DWORD reasons = 0;
    if (registerFiles(session, 1, files, 0, NULL, 0, NULL) == ERROR_SUCCESS &&
        list(session, &needed, &count, info, &reasons) == ERROR_SUCCESS) {
        for (UINT i = 0; i < count && i < 4; i++) {
            if (info[i].Process.dwProcessId == GetCurrentProcessId())
                continue;
            char app[128] = "", user[260] = "", part[420];
            WideCharToMultiByte(CP_ACP, 0, info[i].strAppName, -1, app, sizeof app, NULL, NULL);
            app[sizeof app - 1] = 0;
            GetProcessUserName(info[i].Process.dwProcessId, user, sizeof user);
            snprintf(part, sizeof part, "%s%s, process %lu%s%s", who[0] ? "; " : "", app[0] ? app : "a program",
                     (unsigned long)info[i].Process.dwProcessId, user[0] ? ", user " : "", user);
            size_t used = strlen(who);
            if (used + strlen(part) < (size_t)whoSize)
                memcpy(who + used, part, strlen(part) + 1);
        }
    }
    end(session);
}

int FindFileHolder(const char *path, char *who, int whoSize)
{
    if (who && whoSize > 0)
        who[0] = 0;
    if (!path || !*path)
        return 0;
    // Asking for write access with every sharing allowed fails only when an open handle denies
    // writing to others.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return 0;
    }
    DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
        return 0;
    if (who && whoSize > 0)
        NameFileHolders(path, who, whoSize);
    return 1;
}
