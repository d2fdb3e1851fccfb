// page_copies.cpp - copy numbers of a form's pages, unique within the return, and the message
// when a form's copies limit keeps copies out.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

int GetFreeCopyNumber(const char *pageKey)
{
    int count = FindReturnPages(2, NULL, NULL, 0);
    if (count <= 0 || !pageKey)
        return 1;
    FormInstance **pages = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * count);
    if (!pages)
        return count + 1;
    count = FindReturnPages(2, NULL, pages, 0);
    // The smallest number no page of the key holds, in one pass over the pages: a number above
    // the page count always has a free one below it, so only 1 to count + 1 are marked.
    unsigned char *taken = (unsigned char *)MemAlloc(64, (size_t)count + 2);
    if (!taken) {
        MemFree(pages);
        return count + 1;
    }
    for (int i = 0; i < count; i++) {
        int copy = pages[i] ? (int)pages[i]->copyNumber : 0;
        if (copy >= 1 && copy <= count + 1 && pages[i]->pageKey && !lstrcmpiA(pages[i]->pageKey, pageKey))
            taken[copy] = 1;
    }
    int number = 1;
    while (number <= count && taken[number])
        number++;
    MemFree(taken);
    MemFree(pages);
    return number;
}

void ShowCopiesLimited(HWND owner, const char *formName, int maxCopies, int added)
{
    char text[400];
    snprintf(text, sizeof(text),
             "A return holds at most %d %s of %.100s; the copies beyond that were not added.\r\n\r\n"
             "%d page(s) were added.",
             maxCopies, maxCopies == 1 ? "copy" : "copies", formName ? formName : "this form", added);
    ShowMessageBox(owner, text, "Add Forms", MB_OK | MB_ICONINFORMATION);
}
