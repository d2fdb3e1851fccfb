// pagebench open: returns of 50, 100, 200 and 300 pages (the federal pages of the build's
// FormPaks in turn, as many copies as it takes) written into a bench folder and opened in a
// hidden main window; prints the milliseconds until WM_OPEN_FILE returns (the pages filed in the
// forms tree and the first page shown) and those of closing the return again.
#include "tools/pagebench/pagebench.h"
#include "shell/shell.h"
#include "store/store.h"

#include <stdio.h>
#include <string.h>

#include <vector>

struct BenchPak {
    const char *file;
    FileRecord record;
};

static const struct {
    int pak;
    const char *key;
} kBenchPages[] = {{0, "Form 1040.1"}, {0, "Form 1040.2"}, {1, "Schedule 1.1"}, {1, "Schedule 1.2"},
                   {2, "Schedule B.1"}};

// Writes a return of count pages to path; 1 on success.
static int WriteBenchReturn(const char *folder, BenchPak *paks, int count, const char *path)
{
    OpenReturn r;
    InitOpenReturn(&r);
    r.bytes[RETURN_PART_PRESENT] = 1;   // the federal part
    std::vector<FormInstance *> pages;
    int copies[sizeof kBenchPages / sizeof kBenchPages[0]] = {};
    int ok = 1;
    for (int i = 0; ok && i < count; i++) {
        int k = i % (int)(sizeof kBenchPages / sizeof kBenchPages[0]);
        BenchPak &pak = paks[kBenchPages[k].pak];
        int index = FindPageInFileRecord(&pak.record, kBenchPages[k].key);
        FormInstance *page = index >= 0 ? CreatePageRecord(&pak.record, index, pak.file, ++copies[k]) : NULL;
        if (!page) ok = 0;
        else pages.push_back(page);
    }
    if (ok) ok = WriteReturnFile(path, &r, pages.data(), (int)pages.size(), NULL);
    for (FormInstance *p : pages) FreeFormInstance(p);
    return ok;
}

int RunOpenBench(void)
{
    char folder[MAX_PATH];
    if (!MakeBenchFolder(folder, sizeof folder)) {
        printf("open_return skipped: no FormPaks in formpaks\\ (run from the build folder)\n");
        return 0;
    }
    BenchPak paks[3] = {{"f1040.qvp", {}}, {"f1040s1.qvp", {}}, {"f1040sb.qvp", {}}};
    int read = 1;
    for (BenchPak &p : paks) {
        char path[MAX_PATH * 2];
        snprintf(path, sizeof path, "%s%s", folder, p.file);
        if (!ReadDataFile(path, 0, &p.record, READ_DATA_QUIET)) read = 0;
    }
    HWND window = read ? OpenBenchWindow() : NULL;
    static const int kSizes[] = {50, 100, 200, 300};
    for (int n : kSizes) {
        if (!window) break;
        char path[MAX_PATH * 2];
        snprintf(path, sizeof path, "%sBench%d.qvr", folder, n);
        if (!WriteBenchReturn(folder, paks, n, path)) {
            printf("open_return pages=%d failed: the return was not written\n", n);
            continue;
        }
        const int runs = 3;
        double opens[runs], closes[runs];
        int done = 0;
        for (int i = 0; i < runs; i++) {
            LARGE_INTEGER a, b, c;
            QueryPerformanceCounter(&a);
            LRESULT opened = SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path);
            QueryPerformanceCounter(&b);
            WaitForBenchRecompute();
            gReturnModified = 0;
            QueryPerformanceCounter(&c);
            CloseOpenReturn();
            LARGE_INTEGER d;
            QueryPerformanceCounter(&d);
            PumpBenchMessages(0);
            if (!opened) break;
            opens[done] = ElapsedMs(a, b);
            closes[done] = ElapsedMs(c, d);
            done++;
        }
        if (!done) {
            printf("open_return pages=%d failed: not opened\n", n);
            continue;
        }
        printf("open_return pages=%d median_ms=%.0f close_ms=%.0f\n", n, MedianOf(opens, done),
               MedianOf(closes, done));
        fflush(stdout);
    }
    for (BenchPak &p : paks) ReleaseFileRecord(&p.record, NULL);
    if (window) CloseBenchWindow(window);
    RemoveBenchFolder(folder);
    return 0;
}
