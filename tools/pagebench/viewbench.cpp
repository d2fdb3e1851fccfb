// pagebench view [RETURN]: page switches in a hidden main window, the return copied beside the
// build's FormPaks. Each form page of the return is selected in the forms tree in turn (which
// loads its image, as a click on it does) and the page view painted; the time from the selection
// to the end of the paint is measured, the recompute worker's follow-up is left out (it runs
// after the page is on screen). Prints the median and the worst switch, then each page's.
#include "tools/pagebench/pagebench.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tools/benchfolder.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <vector>

int RunViewBench(const char *returnPath)
{
    char folder[MAX_PATH], path[MAX_PATH * 2];
    if (!MakeBenchFolder("pagebench view", folder, sizeof folder))
        return 1;
    if (!CopyBenchReturn("pagebench view", folder, returnPath, path, sizeof path)) {
        RemoveBenchFolder(folder);
        return 1;
    }
    HWND window = OpenBenchWindow();
    // A message while opening (a FormPak not found, a damaged file) leaves pages without their
    // images: nothing a page switch does would be measured.
    gBenchMessageCount = 0;
    if (!window || !SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path) || gBenchMessageCount) {
        fprintf(stderr, "pagebench view: %s could not be opened with all its pages\n", path);
        CloseBenchWindow(window);
        RemoveBenchFolder(folder);
        return 1;
    }
    WaitForBenchRecompute();
    std::vector<HTREEITEM> items;
    FormInstance *pages[512];
    int count = FindReturnPages(2, NULL, pages, 0);
    for (int i = 0; i < count && i < 512; i++)
        if (pages[i]->kind == PAGE_KIND_FORM && pages[i]->treeItem) items.push_back(pages[i]->treeItem);
    std::vector<double> totals, loads, paints;
    std::vector<std::vector<double> > perPage(items.size());
    const int rounds = 8;
    for (int r = 0; r < rounds; r++) {
        for (size_t i = 0; i < items.size(); i++) {
            LARGE_INTEGER a, b, c;
            QueryPerformanceCounter(&a);
            SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)items[i]);
            QueryPerformanceCounter(&b);
            // The window is never shown, so its paint is asked for here as UpdateWindow would.
            InvalidateRect(gPageViewWindow, NULL, FALSE);
            SendMessageA(gPageViewWindow, WM_PAINT, 0, 0);
            QueryPerformanceCounter(&c);
            if (r > 0) {
                totals.push_back(ElapsedMs(a, c));
                loads.push_back(ElapsedMs(a, b));
                paints.push_back(ElapsedMs(b, c));
                perPage[i].push_back(ElapsedMs(a, c));
            }
            WaitForBenchRecompute();
        }
    }
    // The worst switch before the medians sort the values.
    double worst = 0;
    for (double t : totals)
        worst = t > worst ? t : worst;
    printf("page_switch median_ms=%.2f worst_ms=%.2f load_ms=%.2f paint_ms=%.2f pages=%d switches=%d\n",
           MedianOf(totals.data(), (int)totals.size()), worst, MedianOf(loads.data(), (int)loads.size()),
           MedianOf(paints.data(), (int)paints.size()), (int)items.size(), (int)totals.size());
    // Each page's own switches: a slow page shows here.
    for (size_t i = 0; i < items.size(); i++) {
        char caption[128];
        GetTreeItemText(items[i], caption, 0, sizeof caption);
        std::vector<double> &times = perPage[i];
        double pageWorst = 0;
        for (double t : times)
            pageWorst = t > pageWorst ? t : pageWorst;
        printf("page_switch_to page=\"%s\" median_ms=%.2f worst_ms=%.2f\n", caption,
               MedianOf(times.data(), (int)times.size()), pageWorst);
    }
    fflush(stdout);
    gReturnModified = 0;
    CloseBenchWindow(window);
    RemoveBenchFolder(folder);
    return 0;
}
