// pagebench open: returns of 50, 100, 200 and 300 pages (the federal pages of the build's
// FormPaks in turn, as many copies as it takes) written into a bench folder and opened in a
// hidden main window; prints the milliseconds until WM_OPEN_FILE returns (the pages filed in the
// forms tree and the first page shown) and those of closing the return again, what each further
// page costs between two sizes, and the ratio of the 300-page time to the 50-page time.
#include "tools/pagebench/pagebench.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tools/benchfolder.h"

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

// Opens the return in the window and closes it again: the milliseconds until WM_OPEN_FILE
// returned and those of closing. 0 when the return was not opened.
static int TimeOpenAndClose(HWND window, const char *path, double *openMs, double *closeMs)
{
    LARGE_INTEGER a, b, c, d;
    QueryPerformanceCounter(&a);
    LRESULT opened = SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path);
    QueryPerformanceCounter(&b);
    WaitForBenchRecompute();
    gReturnModified = 0;
    QueryPerformanceCounter(&c);
    CloseOpenReturn();
    QueryPerformanceCounter(&d);
    PumpBenchMessages(0);
    *openMs = ElapsedMs(a, b);
    *closeMs = ElapsedMs(c, d);
    return opened ? 1 : 0;
}

int RunOpenBench(void)
{
    char folder[MAX_PATH];
    if (!MakeBenchFolder("pagebench open", folder, sizeof folder))
        return 1;
    BenchPak paks[3] = {{"f1040.qvp", {}}, {"f1040s1.qvp", {}}, {"f1040sb.qvp", {}}};
    int read = 1;
    for (BenchPak &p : paks) {
        char path[MAX_PATH * 2];
        snprintf(path, sizeof path, "%s%s", folder, p.file);
        if (!ReadDataFile(path, 0, &p.record, READ_DATA_QUIET)) read = 0;
    }
    HWND window = read ? OpenBenchWindow() : NULL;
    static const int kSizes[] = {50, 100, 200, 300};
    const int sizeCount = (int)(sizeof kSizes / sizeof kSizes[0]);
    char paths[sizeCount][MAX_PATH * 2];
    int written[sizeCount] = {};
    for (int s = 0; window && s < sizeCount; s++) {
        snprintf(paths[s], sizeof paths[s], "%sBench%d.qvr", folder, kSizes[s]);
        written[s] = WriteBenchReturn(folder, paks, kSizes[s], paths[s]);
        if (!written[s]) printf("open_return pages=%d failed: the return was not written\n", kSizes[s]);
    }
    // One opening of each return first (not counted): the FormPaks' pages and the controls'
    // memory are then as warm for the first measured size as for the last.
    for (int s = 0; window && s < sizeCount; s++) {
        if (!written[s]) continue;
        double open, close;
        if (!TimeOpenAndClose(window, paths[s], &open, &close)) written[s] = 0;
    }
    // Rounds over all sizes in turn, so a change in the machine's load falls on every size
    // alike; each round takes the median of its runs, the figure is the median of the rounds.
    const int rounds = 3, runs = 5;
    double openMedians[sizeCount][rounds], closeMedians[sizeCount][rounds];
    int roundsDone[sizeCount] = {};
    for (int r = 0; window && r < rounds; r++) {
        for (int s = 0; s < sizeCount; s++) {
            if (!written[s]) continue;
            double opens[runs], closes[runs];
            int done = 0;
            while (done < runs && TimeOpenAndClose(window, paths[s], &opens[done], &closes[done])) done++;
            if (done < runs) {
                written[s] = 0;
                continue;
            }
            openMedians[s][roundsDone[s]] = MedianOf(opens, runs);
            closeMedians[s][roundsDone[s]] = MedianOf(closes, runs);
            roundsDone[s]++;
        }
    }
    double ratios[rounds];
    int ratioCount = 0;
    if (roundsDone[0] == rounds && roundsDone[sizeCount - 1] == rounds)
        for (int r = 0; r < rounds; r++)
            if (openMedians[0][r] > 0) ratios[ratioCount++] = openMedians[sizeCount - 1][r] / openMedians[0][r];
    double median[sizeCount] = {};
    for (int s = 0; window && s < sizeCount; s++) {
        if (roundsDone[s] < rounds) {
            printf("open_return pages=%d failed: not opened\n", kSizes[s]);
            continue;
        }
        median[s] = MedianOf(openMedians[s], rounds);
        printf("open_return pages=%d median_ms=%.0f close_ms=%.0f\n", kSizes[s], median[s],
               MedianOf(closeMedians[s], rounds));
    }
    // What each further page costs between two sizes: a cliff shows as a step between the lines.
    for (int s = 1; window && s < sizeCount; s++)
        if (median[s] > 0 && median[s - 1] > 0)
            printf("open_per_page pages=%d->%d ms_per_page=%.2f\n", kSizes[s - 1], kSizes[s],
                   (median[s] - median[s - 1]) / (kSizes[s] - kSizes[s - 1]));
    // The ratio of the medians, and the median of the rounds' own ratios (less moved by a load
    // that changed between the rounds).
    if (ratioCount == rounds && median[0] > 0)
        printf("open_ratio pages=%d/%d ratio=%.1f round_median=%.1f\n", kSizes[sizeCount - 1], kSizes[0],
               median[sizeCount - 1] / median[0], MedianOf(ratios, ratioCount));
    fflush(stdout);
    for (BenchPak &p : paks) ReleaseFileRecord(&p.record, NULL);
    if (window) CloseBenchWindow(window);
    RemoveBenchFolder(folder);
    return 0;
}
