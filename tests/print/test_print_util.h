// Helpers of the printing tests: the CUPS file printer's job file (see scripts/cups.sh), its
// page count, and its pages turned into bitmaps by Ghostscript.
#ifndef LEVYLINE_TEST_PRINT_UTIL_H
#define LEVYLINE_TEST_PRINT_UTIL_H

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

#include "print/print.h"
#include "tests/harness/harness.h"

// The job file as Linux and Wine see it.
inline std::string PrintJobUnixPath()
{
    const char *dir = getenv("LEVYLINE_PRINT_DIR");
    return std::string(dir && dir[0] ? dir : "/tmp/levyline-print") + "/job.prn";
}
inline std::string ToWinePath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// 1 when the run's own file printer is the default printer (the harness selects it at start when
// it exists; see SelectTestPrinter). Without it the printing tests skip rather than print to
// another run's queue and wait for a job file that never comes.
inline int HavePrinter()
{
    char name[256];
    DWORD size = sizeof name;
    if (!GetDefaultPrinterName(name, &size))
        return 0;
    const char *wanted = getenv("LEVYLINE_PRINTER");
    return !wanted || !wanted[0] || lstrcmpiA(name, wanted) == 0;
}

// The job file is one for the machine: test programs of one Wine prefix (several may run at
// once) take turns through a named mutex while they print and read it back.
struct PrintJobFileLock {
    HANDLE mutex;
    PrintJobFileLock() : mutex(CreateMutexA(0, FALSE, "LevylineTestPrintJobFile"))
    {
        if (mutex)
            WaitForSingleObject(mutex, 180000);
    }
    ~PrintJobFileLock()
    {
        if (mutex) {
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        }
    }
    PrintJobFileLock(const PrintJobFileLock &) = delete;
    PrintJobFileLock &operator=(const PrintJobFileLock &) = delete;
};

inline void ClearPrintJob()
{
    DeleteFileA(ToWinePath(PrintJobUnixPath()).c_str());
}

// Waits (pumping messages) until the job file is complete ("%%EOF" at its end); "" on timeout.
inline std::string WaitForPrintJob(int timeoutMs = 60000)
{
    std::string path = ToWinePath(PrintJobUnixPath());
    DWORD start = GetTickCount();
    while ((int)(GetTickCount() - start) < timeoutMs) {
        MSG message;
        while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        std::string data = ReadWholeFile(path);
        size_t end = data.find_last_not_of("\r\n \t\x04");   // pstops ends with CTRL-D
        if (end != std::string::npos && end >= 4 && data.compare(end - 4, 5, "%%EOF") == 0)
            return data;
        Sleep(200);
    }
    return std::string();
}

// Pages of a PostScript job: its last numeric "%%Pages:" count (the header's or the trailer's
// when the header says "(atend)"), else its "%%Page:" lines.
inline int CountJobPages(const std::string &job)
{
    int pages = -1;
    for (size_t at = job.find("\n%%Pages: "); at != std::string::npos; at = job.find("\n%%Pages: ", at + 1)) {
        const char *value = job.c_str() + at + 10;
        if (*value >= '0' && *value <= '9')
            pages = atoi(value);
    }
    if (pages >= 0)
        return pages;
    pages = 0;
    for (size_t p = job.find("\n%%Page: "); p != std::string::npos; p = job.find("\n%%Page: ", p + 1))
        pages++;
    return pages;
}

// Ghostscript (a Linux program: Wine starts it but cannot wait for it, so a flag file tells when
// it is done) turns page `page` of the job into a 24-bit bitmap at dpi; null when it fails.
inline HBITMAP RenderJobPage(int page, int dpi, int timeoutMs = 60000)
{
    std::string job = PrintJobUnixPath();
    std::string dir = job.substr(0, job.rfind('/'));
    std::string bmp = dir + "/page.bmp", flag = dir + "/page.done";
    DeleteFileA(ToWinePath(bmp).c_str());
    DeleteFileA(ToWinePath(flag).c_str());
    char command[1024];
    snprintf(command, sizeof command,
             "/bin/sh -c \"gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=bmp16m -r%d -dFirstPage=%d -dLastPage=%d "
             "-sOutputFile=%s %s >/dev/null 2>&1; touch %s\"",
             dpi, page, page, bmp.c_str(), job.c_str(), flag.c_str());
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(0, command, 0, 0, FALSE, 0, 0, 0, &startup, &process))
        return 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DWORD start = GetTickCount();
    while (GetFileAttributesA(ToWinePath(flag).c_str()) == INVALID_FILE_ATTRIBUTES) {
        if ((int)(GetTickCount() - start) > timeoutMs)
            return 0;
        Sleep(200);
    }
    return (HBITMAP)LoadImageA(0, ToWinePath(bmp).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
}

// Share of pixels in a rectangle of a bitmap that satisfy test(colour), in percent.
template <typename Test> double PixelShare(HBITMAP bitmap, RECT rect, Test test)
{
    int width = 0, height = 0;
    GetBitmapSize(bitmap, &width, &height);
    HDC dc = CreateCompatibleDC(0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    long hits = 0, total = 0;
    for (int y = rect.top; y < rect.bottom && y < height; y += 2)
        for (int x = rect.left; x < rect.right && x < width; x += 2) {
            total++;
            if (test(GetPixel(dc, x, y)))
                hits++;
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    return total ? hits * 100.0 / total : 0.0;
}

inline bool IsGreyPixel(COLORREF c)
{
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return r > 90 && r < 170 && abs(r - g) < 12 && abs(r - b) < 12;
}
inline bool IsDarkPixel(COLORREF c)
{
    return GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
}

#endif
