// page_copies.cpp - copy numbers of a form's pages, unique within the return, and the message
// when a form's copies limit keeps copies out.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

// The page keys are equal, case ignored. Keys of printable ASCII (as FormPaks give them) are
// compared here; others as lstrcmpiA compares them (which costs a string conversion per call,
// and this runs for every page of the return whenever a page is filed).
static int SamePageKey(const char *a, const char *b)
{
    const unsigned char *p = (const unsigned char *)a, *q = (const unsigned char *)b;
    for (;; p++, q++) {
        if (*p < 0x20 || *p > 0x7e || *q < 0x20 || *q > 0x7e)
            break;
        unsigned char x = *p >= 'A' && *p <= 'Z' ? (unsigned char)(*p + 32) : *p;
        unsigned char y = *q >= 'A' && *q <= 'Z' ? (unsigned char)(*q + 32) : *q;
        if (x != y)
            return 0;
    }
    if (!*p || !*q) {
        unsigned char rest = *p ? *p : *q;   // one key ended: the other's next character
        if (!rest || (rest >= 0x20 && rest <= 0x7e))
            return !rest;
    }
    return !lstrcmpiA(a, b);
}

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
        if (copy >= 1 && copy <= count + 1 && pages[i]->pageKey && SamePageKey(pages[i]->pageKey, pageKey))
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
