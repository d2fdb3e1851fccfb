// What the benchmarks (pagebench, pdfbench) share to run from any checkout: a folder of their own
// holding the build's FormPaks and the return they open (a return names its FormPaks by file name
// and finds them beside it, whatever the FormPak folder setting says), and the program's message
// boxes printed to stderr instead of shown, so a benchmark that cannot go on tells why.
#ifndef LEVYLINE_BENCHFOLDER_H
#define LEVYLINE_BENCHFOLDER_H

#include <windows.h>
#include <stdio.h>
#include <string.h>

// How many message boxes the program asked for (each printed to stderr).
inline int gBenchMessageCount = 0;

inline int PrintBenchMessage(HWND, const char *text, const char *title, unsigned)
{
    gBenchMessageCount++;
    fprintf(stderr, "message \"%s\": ", title ? title : "");
    for (const char *p = text ? text : ""; *p; p++) {
        if (*p == '\r')
            continue;
        fputc(*p == '\n' ? ' ' : *p, stderr);
    }
    fputc('\n', stderr);
    return IDOK;
}

// The build folder: the one this program lies in (build\formpaks and build\samples are below it).
inline void GetBenchBuildFolder(char *folder, int size)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    char *cut = n && n < sizeof path ? strrchr(path, '\\') : NULL;
    if (cut)
        *cut = 0;
    else
        lstrcpyA(path, ".");
    snprintf(folder, size, "%s", path);
}

// Copies the FormPaks (*.qvp) of from (a folder ending in a separator) into to; the number copied.
inline int CopyBenchFormPaks(const char *from, const char *to)
{
    char pattern[MAX_PATH * 2];
    snprintf(pattern, sizeof pattern, "%s*.qvp", from);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(pattern, &found);
    int copied = 0;
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        char source[MAX_PATH * 2], target[MAX_PATH * 2];
        snprintf(source, sizeof source, "%s%s", from, found.cFileName);
        snprintf(target, sizeof target, "%s%s", to, found.cFileName);
        copied += CopyFileA(source, target, FALSE) ? 1 : 0;
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return copied;
}

// %TEMP%levyline-bench-<process>\ with copies of the build's FormPaks; 0 (the reason printed, as
// by name) when none was found.
inline int MakeBenchFolder(const char *name, char *folder, int size)
{
    char temp[MAX_PATH], build[MAX_PATH], paks[MAX_PATH + 16];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (!n || n >= sizeof temp) {
        fprintf(stderr, "%s: no temporary folder\n", name);
        return 0;
    }
    snprintf(folder, size, "%slevyline-bench-%lu\\", temp, (unsigned long)GetCurrentProcessId());
    CreateDirectoryA(folder, NULL);
    GetBenchBuildFolder(build, sizeof build);
    snprintf(paks, sizeof paks, "%s\\formpaks\\", build);
    if (!CopyBenchFormPaks(paks, folder)) {
        fprintf(stderr, "%s: no FormPaks in %s (bash scripts/build.sh formpaks makes them)\n", name, paks);
        RemoveDirectoryA(folder);
        return 0;
    }
    return 1;
}

// Copies the return (null: the build's sample return) into the bench folder, with the FormPaks
// that lie beside it, and gives its copy's path; 0 (the reason printed) when it cannot be copied.
inline int CopyBenchReturn(const char *name, const char *folder, const char *returnPath, char *path, int size)
{
    char source[MAX_PATH * 2], build[MAX_PATH];
    GetBenchBuildFolder(build, sizeof build);
    if (returnPath && returnPath[0])
        GetFullPathNameA(returnPath, sizeof source, source, NULL);
    else
        snprintf(source, sizeof source, "%s\\samples\\Sample.qvr", build);
    const char *file = strrchr(source, '\\');
    file = file ? file + 1 : source;
    snprintf(path, size, "%s%s", folder, file);
    if (!CopyFileA(source, path, FALSE)) {
        fprintf(stderr, "%s: cannot read the return %s\n", name, source);
        return 0;
    }
    char beside[MAX_PATH * 2];
    snprintf(beside, sizeof beside, "%.*s", (int)(file - source), source);
    CopyBenchFormPaks(beside, folder);
    return 1;
}

// Deletes the bench folder's files and the folder.
inline void RemoveBenchFolder(const char *folder)
{
    char pattern[MAX_PATH * 2];
    snprintf(pattern, sizeof pattern, "%s*", folder);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(pattern, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            char path[MAX_PATH * 2];
            snprintf(path, sizeof path, "%s%s", folder, found.cFileName);
            DeleteFileA(path);
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(folder);
}

#endif
