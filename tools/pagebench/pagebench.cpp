// pagebench [STREAM.pcl] - renders fixed pages through the PCL interpreter many times and prints,
// per page kind, "NAME median_ms=M floor_ms=F new_canvas_ms=C pages_per_s=P hash=H": the median
// milliseconds per page, the median of the page's floor (a white canvas and the raster rows
// decoded, nothing drawn), both timed as between page switches (the spare canvas made
// beforehand), what a new white canvas costs a page rendered without a spare ready, pages per
// second, and a hash of the canvas (so a speed-up cannot silently change the output). Without an argument: a real Form 1040 page printed by Ghostscript (testdata/f1040-1.pcl
// of the build folder, when the build made it), a dense soft-font text page and an HP-GL/2-heavy
// page.
// pagebench view [RETURN] - page switches in a hidden main window (see viewbench.cpp).
// pagebench scale - the page view's scaled copy by ResizeBitmap and by StretchBlt (scalebench.cpp).
// pagebench open - opening returns of 50 to 300 pages in a hidden main window (see openbench.cpp).
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include <algorithm>
#include "canvas/canvas.h"
#include "store/store.h"
#include "tools/pclgen/pclstreams.h"
#include "tools/pagebench/pagebench.h"
#include "tools/benchfolder.h"

// FNV-1a over the page's size, colour table and pixel rows (top row first).
static unsigned long long HashPage(HBITMAP bitmap)
{
    unsigned long long h = 1469598103934665603ull;
    auto add = [&h](const void *p, size_t n) {
        const unsigned char *b = (const unsigned char *)p;
        for (size_t i = 0; i < n; i++) h = (h ^ b[i]) * 1099511628211ull;
    };
    CanvasBits c;
    if (!GetCanvasBits(bitmap, &c)) return 0;
    add(&c.width, sizeof c.width);
    add(&c.height, sizeof c.height);
    int count = 0;
    RGBQUAD *table = GetDibColorTable(NULL, bitmap, &count);
    if (table) add(table, count * sizeof(RGBQUAD));
    MemFree(table);
    GdiFlush();
    size_t rowBytes = ((size_t)c.width * c.bitsPerPixel + 7) / 8;
    for (int y = 0; y < c.height; y++) add(CanvasRow(c, y), rowBytes);
    return h;
}

static int ReadFile(const char *path, std::string *out)
{
    FILE *f = fopen(path, "rb");
    if (!f) return 0;
    char buffer[65536];
    size_t n;
    out->clear();
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) out->append(buffer, n);
    fclose(f);
    return 1;
}

double ElapsedMs(const LARGE_INTEGER &a, const LARGE_INTEGER &b)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(b.QuadPart - a.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

double MedianOf(double *values, int count)
{
    if (count <= 0) return 0;
    std::sort(values, values + count);
    return values[count / 2];
}

// Waits (up to half a second on a busy machine) for the worker to make the spare canvas.
static void WaitForSpareCanvas(void)
{
    for (int i = 0; i < 500 && !IsSpareCanvasReady(); i++) Sleep(1);
}

static void Bench(const char *name, const std::string &stream, int runs)
{
    const unsigned char *data = (const unsigned char *)stream.data();
    unsigned length = (unsigned)stream.size();
    std::vector<double> times, floors;
    unsigned long long hash = 0;
    for (int i = 0; i < runs + 2; i++) {
        LARGE_INTEGER a, b, c, d;
        // As between two page switches, the spare canvas is made before the page is asked for.
        WaitForSpareCanvas();
        QueryPerformanceCounter(&a);
        HBITMAP page = RenderPclRange(data, 0, length, 0, NULL, NULL, NULL, NULL);
        QueryPerformanceCounter(&b);
        if (!page) {
            printf("%s failed: no page\n", name);
            return;
        }
        if (i == 0) hash = HashPage(page);
        DeleteObject(page);
        WaitForSpareCanvas();
        QueryPerformanceCounter(&c);
        int rows = 0;
        HBITMAP floorPage = RenderPageFloor(data, length, &rows);
        QueryPerformanceCounter(&d);
        DeleteObject(floorPage);
        if (i >= 2) {
            times.push_back(ElapsedMs(a, b));
            floors.push_back(ElapsedMs(c, d));
        }
    }
    // What a page pays on top when no spare canvas is ready (pages rendered back to back).
    std::vector<double> fresh;
    for (int i = 0; i < 21; i++) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        HBITMAP canvas = CreateWhiteCanvasBitmap();
        QueryPerformanceCounter(&b);
        DeleteObject(canvas);
        fresh.push_back(ElapsedMs(a, b));
    }
    double median = MedianOf(times.data(), (int)times.size());
    double floor = MedianOf(floors.data(), (int)floors.size());
    printf("%s median_ms=%.3f floor_ms=%.3f new_canvas_ms=%.3f pages_per_s=%.1f hash=%016llx\n", name, median, floor,
           MedianOf(fresh.data(), (int)fresh.size()), median > 0 ? 1000.0 / median : 0.0, hash);
    fflush(stdout);
}

int main(int argc, char **argv)
{
    gMessageBoxHook = PrintBenchMessage;
    int runs = 50;
    if (argc > 1 && !strcmp(argv[1], "view")) return RunViewBench(argc > 2 ? argv[2] : NULL);
    if (argc > 1 && !strcmp(argv[1], "open")) return RunOpenBench();
    if (argc > 1 && strcmp(argv[1], "scale")) {
        std::string stream;
        if (!ReadFile(argv[1], &stream)) {
            fprintf(stderr, "pagebench: cannot read %s\n", argv[1]);
            return 1;
        }
        Bench("stream", stream, runs);
        return 0;
    }
    std::string irs;
    int haveIrs = ReadFile("testdata/f1040-1.pcl", &irs) || ReadFile("build/testdata/f1040-1.pcl", &irs);
    if (argc > 1 && !strcmp(argv[1], "scale")) {
        if (!haveIrs) printf("scale skipped: testdata/f1040-1.pcl not found (run from the build folder)\n");
        return haveIrs ? RunScaleBench(irs) : 0;
    }
    if (haveIrs)
        Bench("irs_f1040_page1", irs, runs);
    else
        printf("irs_f1040_page1 skipped: testdata/f1040-1.pcl not found (run from the build folder)\n");
    std::vector<pclgen::Glyph> glyphs = pclgen::RasteriseFont("Arial", 40);
    Bench("softfont_text", pclgen::DenseTextPage(glyphs, 40), runs);
    Bench("hpgl_vectors", pclgen::VectorPage(), runs);
    FreeFormRecords();
    FreePageBuffer();
    return 0;
}
