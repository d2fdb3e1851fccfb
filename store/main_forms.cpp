// main_forms.cpp - the table of main-form pages: the first page of each return's main form, with
// its return type and part.
#include "store/store.h"

#include <string.h>

// Main-form pages: the first page of each return's main form.
struct MainFormRow {
    const char *pageKey;
    int jurisdiction;   // 0 = any
    int returnType;
    char part;          // 'F' federal, 'S' state, 'O' other return
};
static const MainFormRow kMainFormPages[] = {
    {"Form 1040.1", 100, 1040, 'F'},
    {"Form 1040-SR.1", 100, 1040, 'F'},
    {"Form 1040-NR.1", 100, 1040, 'F'},
    {"Form 1040-X.1", 100, 1040, 'F'},
    {"Form 4868.1", 100, 4868, 'F'},
    {"Form 940.1", 0, 940, 'F'},
    {"Form 940-X.1", 0, 9401, 'F'},
    {"Form 941.1", 0, 941, 'F'},
    {"Form 941-X.1", 0, 9411, 'F'},
    {"Form 943.1", 0, 943, 'F'},
    {"Form 943-X.1", 0, 9431, 'F'},
    {"Form 944.1", 0, 944, 'F'},
    {"Form 944-X.1", 0, 9441, 'F'},
    {"Form 945.1", 0, 945, 'F'},
    {"Form 945-X.1", 0, 9451, 'F'},
    {"Form 94x PIN Request.1", 0, 9400, 'F'},
    {"Form 540.1", 5, 540, 'S'},
    {"Form 540NR.1", 5, 540, 'S'},
    {"Form 540 2EZ.1", 5, 540, 'S'},
    {"Form MI-1040.1", 23, 1040, 'S'},
    {"Form M1.1", 24, 2401, 'S'},
    {"Form M1PR.1", 24, 2402, 'O'},
};

int FindMainFormPage(const char *pageKey, int jurisdiction, int reserved1, int reserved2)
{
    if (!pageKey)
        return 0;
    for (size_t i = 0; i < sizeof kMainFormPages / sizeof kMainFormPages[0]; i++) {
        const MainFormRow *row = &kMainFormPages[i];
        if (_stricmp(row->pageKey, pageKey) != 0)
            continue;
        if (jurisdiction && row->jurisdiction && row->jurisdiction != jurisdiction)
            continue;
        return (int)i + 1;
    }
    return 0;
}

int GetMainFormRow(int row, int *returnTypeOut, char *partOut)
{
    if (row < 1 || row > (int)(sizeof kMainFormPages / sizeof kMainFormPages[0]))
        return 0;
    if (returnTypeOut)
        *returnTypeOut = kMainFormPages[row - 1].returnType;
    if (partOut)
        *partOut = kMainFormPages[row - 1].part;
    return 1;
}
