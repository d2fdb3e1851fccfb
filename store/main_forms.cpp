// main_forms.cpp - the table of main-form pages: the first page of each return's main form, with
// its return type and part.
#include "store/store.h"

#include <string.h>

// Main-form pages: the first page of each return's main form, with the descriptions of its
// return and, where the FormPak is known, the fields holding its refund and balance due.
static const MainFormRow kMainFormPages[] = {
    {"Form 1040.1", 100, 1040, 'F', "Form 1040", "U.S. Individual Income Tax Return (Form 1040)",
     "Form 1040.2", "0440", "0470", "0452"},
    {"Form 1040-SR.1", 100, 1040, 'F', "Form 1040-SR", "U.S. Tax Return for Seniors (Form 1040-SR)"},
    {"Form 1040-NR.1", 100, 1040, 'F', "Form 1040-NR", "U.S. Nonresident Alien Income Tax Return (Form 1040-NR)"},
    {"Form 1040-X.1", 100, 1040, 'F', "Form 1040-X", "Amended U.S. Individual Income Tax Return (Form 1040-X)"},
    {"Form 4868.1", 100, 4868, 'F', "Form 4868", "Extension of Time To File (Form 4868)"},
    {"Form 940.1", 0, 940, 'F', "Form 940", "Employer's Annual Federal Unemployment Tax Return (Form 940)"},
    {"Form 940-X.1", 0, 9401, 'F', "Form 940-X", "Adjusted Annual Federal Unemployment Tax Return (Form 940-X)"},
    {"Form 941.1", 0, 941, 'F', "Form 941", "Employer's Quarterly Federal Tax Return (Form 941)", NULL,
     "1500", "1400"},
    {"Form 941-X.1", 0, 9411, 'F', "Form 941-X", "Adjusted Quarterly Federal Tax Return (Form 941-X)"},
    {"Form 943.1", 0, 943, 'F', "Form 943", "Annual Tax Return for Agricultural Employees (Form 943)"},
    {"Form 943-X.1", 0, 9431, 'F', "Form 943-X", "Adjusted Return for Agricultural Employees (Form 943-X)"},
    {"Form 944.1", 0, 944, 'F', "Form 944", "Employer's Annual Federal Tax Return (Form 944)"},
    {"Form 944-X.1", 0, 9441, 'F', "Form 944-X", "Adjusted Annual Federal Tax Return (Form 944-X)"},
    {"Form 945.1", 0, 945, 'F', "Form 945", "Annual Return of Withheld Federal Income Tax (Form 945)"},
    {"Form 945-X.1", 0, 9451, 'F', "Form 945-X", "Adjusted Return of Withheld Income Tax (Form 945-X)"},
    {"Form 94x PIN Request.1", 0, 9400, 'F', "94x PIN Request", "Form 94x PIN Request"},
    {"Form 540.1", 5, 540, 'S', "Form 540", "California Resident Income Tax Return (Form 540)"},
    {"Form 540NR.1", 5, 540, 'S', "Form 540NR", "California Nonresident Income Tax Return (Form 540NR)"},
    {"Form 540 2EZ.1", 5, 540, 'S', "Form 540 2EZ", "California Resident Income Tax Return (Form 540 2EZ)"},
    {"Form MI-1040.1", 23, 1040, 'S', "Form MI-1040", "Michigan Individual Income Tax Return (MI-1040)"},
    {"Form M1.1", 24, 2401, 'S', "Form M1", "Minnesota Individual Income Tax Return (Form M1)"},
    {"Form M1PR.1", 24, 2402, 'O', "Form M1PR", "Minnesota Property Tax Refund Return (Form M1PR)", NULL,
     "1500"},
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

const MainFormRow *GetMainFormRowInfo(int row)
{
    if (row < 1 || row > (int)(sizeof kMainFormPages / sizeof kMainFormPages[0]))
        return NULL;
    return &kMainFormPages[row - 1];
}
