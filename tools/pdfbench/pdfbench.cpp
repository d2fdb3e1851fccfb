// pdfbench [RETURN.qvr] [RUNS] [WORKERS] - the cost of a whole return's PDF per page. Opens a copy
// of the return (the build's sample return by default) beside the build's FormPaks in a hidden
// main window and writes its PDF once
// uncounted (caches warm), then RUNS times the whole return through the writer as the File menu
// writes it (every page image made, compressed and written; silent): once with the compression
// on the writing thread (workers 1), once on WORKERS worker threads (0 or none: one per
// processor, at least 2). The floor is zlib at level 9 alone on one thread over the same pixel
// rows, taken from the file's own image streams. Prints the medians per PDF page:
// "pages=N floor_ms_per_page=F single_ms_per_page=S parallel_ms_per_page=P workers=W
// single_over_floor=A parallel_over_single=B".
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "print/print.h"
#include "shell/shell.h"
#include "tools/benchfolder.h"

static double NowMs(void)
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

static double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

static std::string ReadWhole(const char *path)
{
    std::string bytes;
    FILE *file = fopen(path, "rb");
    if (!file)
        return bytes;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, n);
    fclose(file);
    return bytes;
}

// The pixel rows of every compressed image of a PDF the program wrote, inflated again.
static std::vector<std::string> ReadImageRows(const std::string &pdf)
{
    std::vector<std::string> images;
    const std::string filter = "/Filter /FlateDecode\r>>\rstream\r\n";
    for (size_t at = pdf.find("/Subtype /Image"); at != std::string::npos; at = pdf.find("/Subtype /Image", at + 1)) {
        size_t w = pdf.find("/Width ", at), h = pdf.find("/Height ", at), b = pdf.find("/BitsPerComponent ", at),
               l = pdf.find("/Length ", at), s = pdf.find(filter, at), end = pdf.find("endobj", at);
        if (w > end || h > end || b > end || l > end || s > end)
            continue;
        unsigned long width = strtoul(pdf.c_str() + w + 7, NULL, 10);
        unsigned long height = strtoul(pdf.c_str() + h + 8, NULL, 10);
        unsigned long bits = strtoul(pdf.c_str() + b + 18, NULL, 10);
        unsigned long length = strtoul(pdf.c_str() + l + 8, NULL, 10);
        size_t data = s + filter.size();
        uLongf size = (uLongf)((width * bits + 7) / 8 * height);
        std::string rows(size, '\0');
        if (data + length <= pdf.size() &&
            uncompress((Bytef *)&rows[0], &size, (const Bytef *)pdf.data() + data, length) == Z_OK)
            images.push_back(rows);
    }
    return images;
}

// Writes the whole return's PDF beside path (a ".qvr" name); the milliseconds it took, or -1.
static double TimeReturnPdf(const char *path)
{
    double start = NowMs();
    if (!GeneratePdf(path, NULL, NULL, NULL, 1, 1))
        return -1;
    return NowMs() - start;
}

int main(int argc, char **argv)
{
    gMessageBoxHook = PrintBenchMessage;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                                ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    int runs = argc > 2 ? atoi(argv[2]) : 5;
    if (runs < 1)
        runs = 1;
    int workers = argc > 3 ? atoi(argv[3]) : 0;
    char folder[MAX_PATH], path[MAX_PATH * 2];
    if (!MakeBenchFolder("pdfbench", folder, sizeof folder))
        return 1;
    if (!CopyBenchReturn("pdfbench", folder, argc > 1 ? argv[1] : NULL, path, sizeof path)) {
        RemoveBenchFolder(folder);
        return 1;
    }
    gInstance = GetModuleHandleA(NULL);
    HWND window = CreateMainWindow(gInstance);
    // A message while opening (a FormPak not found, a damaged file) means pages without images.
    if (!window || !SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path) || gBenchMessageCount) {
        fprintf(stderr, "pdfbench: %s could not be opened with all its pages\n", path);
        RemoveBenchFolder(folder);
        return 1;
    }
    // The PDF is written into the bench folder (as "pdfbench.pdf", beside a return of that name).
    char target[MAX_PATH * 2], pdfPath[MAX_PATH * 2];
    snprintf(target, sizeof target, "%spdfbench.qvr", folder);
    snprintf(pdfPath, sizeof pdfPath, "%spdfbench.pdf", folder);

    gPdfCompressWorkers = 1;
    if (TimeReturnPdf(target) < 0) {
        fprintf(stderr, "pdfbench: the PDF of %s could not be written\n", path);
        RemoveBenchFolder(folder);
        return 1;
    }
    std::vector<std::string> images = ReadImageRows(ReadWhole(pdfPath));
    if (images.empty()) {
        fprintf(stderr, "pdfbench: the PDF has no compressed page images\n");
        RemoveBenchFolder(folder);
        return 1;
    }
    double pages = (double)images.size();
    std::vector<double> singleTimes, parallelTimes, floorTimes;
    for (int run = 0; run < runs; run++) {
        gPdfCompressWorkers = 1;
        singleTimes.push_back(TimeReturnPdf(target) / pages);
        gPdfCompressWorkers = workers;
        parallelTimes.push_back(TimeReturnPdf(target) / pages);
        double floor = 0;
        for (const std::string &rows : images) {
            std::vector<unsigned char> packed(compressBound((uLong)rows.size()));
            uLongf length = (uLongf)packed.size();
            double begin = NowMs();
            compress2(packed.data(), &length, (const Bytef *)rows.data(), (uLong)rows.size(), 9);
            floor += NowMs() - begin;
        }
        floorTimes.push_back(floor / pages);
    }
    gPdfCompressWorkers = 0;
    double single = Median(singleTimes), parallel = Median(parallelTimes), floor = Median(floorTimes);
    printf("pages=%u floor_ms_per_page=%.1f single_ms_per_page=%.1f parallel_ms_per_page=%.1f workers=%d "
           "single_over_floor=%.2f parallel_over_single=%.2f\n",
           (unsigned)images.size(), floor, single, parallel, CountPdfCompressWorkers(workers, (uint32_t)images.size()),
           floor > 0 ? single / floor : 0, single > 0 ? parallel / single : 0);
    DestroyWindow(window);
    RemoveBenchFolder(folder);
    return 0;
}
