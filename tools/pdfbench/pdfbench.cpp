// pdfbench [RETURN.qvr] [RUNS] - the cost of the PDF writer per page against its floor. Opens the
// return (the build's sample return by default) in a hidden main window, builds each page's
// finished image once, then RUNS times: writes every image as a PDF page (image object, page,
// content, file write) and, separately, compresses the same packed rows with zlib at level 9
// alone. Prints "pdf_ms_per_page=M floor_ms_per_page=F ratio=R pages=N" (medians).
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include <algorithm>
#include <vector>

#include "print/print.h"
#include "shell/shell.h"

static int QuietMessage(HWND, const char *, const char *, unsigned)
{
    return IDOK;
}

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

int main(int argc, char **argv)
{
    gMessageBoxHook = QuietMessage;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                                ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    char path[MAX_PATH];
    GetFullPathNameA(argc > 1 ? argv[1] : "samples\\Sample.qvr", sizeof path, path, NULL);
    int runs = argc > 2 ? atoi(argv[2]) : 5;
    if (runs < 1)
        runs = 1;
    gInstance = GetModuleHandleA(NULL);
    HWND window = CreateMainWindow(gInstance);
    if (!window || !SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path)) {
        fprintf(stderr, "pdfbench: cannot open %s\n", path);
        return 1;
    }
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    std::vector<HBITMAP> images;
    gPdfInProgress = 1;
    for (int i = 0; i < count; i++) {
        HBITMAP image = GeneratePageImage(pages[i], 1);
        if (image)
            images.push_back(image);
    }
    MemFree(pages);
    if (images.empty()) {
        fprintf(stderr, "pdfbench: the return has no pages\n");
        return 1;
    }
    char target[MAX_PATH];
    GetTempPathA(sizeof target, target);
    strncat(target, "pdfbench.pdf", sizeof target - strlen(target) - 1);
    std::vector<double> pdfTimes, floorTimes;
    for (int run = 0; run < runs; run++) {
        double start = NowMs();
        HANDLE file = CreateFileA(target, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        for (size_t i = 0; i < images.size(); i++) {
            PdfObject objects[3];
            uint32_t number = 4 + 3 * (uint32_t)i;
            MakePdfImage(&objects[2], images[i], number + 2, 0);
            MakePdfPage(&objects[0], number, 3, number + 1, number + 2, NULL, 0);
            MakePdfPageContent(&objects[1], number + 1, number + 2);
            for (PdfObject &object : objects) {
                DWORD done = 0;
                WriteFile(file, object.text, object.length, &done, NULL);
                FreePdfObject(&object);
            }
        }
        CloseHandle(file);
        pdfTimes.push_back((NowMs() - start) / images.size());

        double floor = 0;
        for (HBITMAP image : images) {
            uint32_t size = 0;
            uint8_t *rows = ReadPackedImageRows(image, NULL, &size);
            std::vector<unsigned char> packed(compressBound(size));
            uLongf length = (uLongf)packed.size();
            double begin = NowMs();
            compress2(packed.data(), &length, rows, size, 9);
            floor += NowMs() - begin;
            MemFree(rows);
        }
        floorTimes.push_back(floor / images.size());
    }
    gPdfInProgress = 0;
    DeleteFileA(target);
    double pdf = Median(pdfTimes), floor = Median(floorTimes);
    printf("pdf_ms_per_page=%.1f floor_ms_per_page=%.1f ratio=%.2f pages=%u\n", pdf, floor, floor > 0 ? pdf / floor : 0,
           (unsigned)images.size());
    for (HBITMAP image : images)
        DeleteObject(image);
    DestroyWindow(window);
    return 0;
}
