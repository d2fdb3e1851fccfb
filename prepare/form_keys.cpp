// form_keys.cpp - form keys, FormPak header strings and the table of main-form pages.
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

char *BuildFormKey(const char *formName, const char *prefix, char *out, int mode)
{
    if (!prefix)
        prefix = "";
    const char *name = formName ? formName : "";
    if (mode == 2) {
        if (_strnicmp(name, "Form ", 5) == 0)
            name += 5;
        else if (_strnicmp(name, "Schedule ", 9) == 0)
            name += 9;
        size_t pl = strlen(prefix);
        if (pl && _strnicmp(name, prefix, pl) == 0)
            name += pl;
    }
    char work[FORM_NAME_SIZE];
    int n = snprintf(work, sizeof work, "%s%s", prefix, name);
    if (n < 0 || n >= (int)sizeof work)
        work[sizeof work - 1] = 0;
    if (!out) {
        size_t len = strlen(work);
        out = (char *)MemAlloc(64, len + 1);
        if (!out)
            return NULL;
    }
    memcpy(out, work, strlen(work) + 1);
    return out;
}

int GetHeaderStrings(FileRecord *formPakRecord, const char **first, const char **second,
                     const char **third)
{
    const char **outs[3] = {first, second, third};
    for (int i = 0; i < 3; i++)
        if (outs[i])
            *outs[i] = "";
    if (!formPakRecord)
        return 0;
    const FileRecordSlot *slot = &formPakRecord->slots[REC_HEADER_STRINGS];
    if (!slot->data || !slot->length)
        return 0;
    // The reader guarantees a zero byte past the data, so the last text is ended too.
    const char *p = (const char *)slot->data;
    const char *end = p + slot->length;
    int found = 0;
    while (found < 3 && p < end) {
        if (outs[found])
            *outs[found] = p;
        found++;
        p += strnlen(p, (size_t)(end - p)) + 1;
    }
    return found;
}

// Main-form pages: the first page of each return's main form, with the descriptions of its
// return and, where the FormPak is known, the fields holding its refund and balance due.
// Row layout: prepare/describe.h.
static const MainFormRow kMainFormPages[] = {
    {"Form 1040.1", 100, 1040, 'F', "Form 1040", "U.S. Individual Income Tax Return (Form 1040)",
     "Form 1040.2", "0440", "0470", "0452"},
    {"Form 1040-SR.1", 100, 1040, 'F', "Form 1040-SR", "U.S. Tax Return for Seniors (Form 1040-SR)"},
    {"Form 1040-NR.1", 100, 1040, 'F', "Form 1040-NR", "U.S. Nonresident Alien Income Tax Return (Form 1040-NR)"},
    {"Form 1040-X.1", 100, 1040, 'F', "Form 1040-X", "Amended U.S. Individual Income Tax Return (Form 1040-X)"},
    {"Form 4868.1", 100, 4868, 'F', "Form 4868", "Extension of Time To File (Form 4868)"},
    {"Form 940.1", 0, 940, 'F', "Form 940", "Employer's Annual Federal Unemployment Tax Return (Form 940)"},
    {"Form 940-X.1", 0, 9401, 'F', "Form 940-X", "Adjusted Annual Federal Unemployment Tax Return (Form 940-X)"},
    {"Form 941.1", 0, 941, 'F', "Form 941", "Employer's Quarterly Federal Tax Return (Form 941)"},
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
    {"Form M1PR.1", 24, 2402, 'O', "Form M1PR", "Minnesota Property Tax Refund Return (Form M1PR)"},
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

int FindMainReturnForm(int *federalOut, int *stateOut, int *otherOut)
{
    int present[3] = {0, 0, 0};
    int count = FindReturnPages(2, NULL, NULL, 0);
    if (count > 0) {
        FormInstance **pages = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * (size_t)count);
        if (pages) {
            count = FindReturnPages(2, NULL, pages, count);
            for (int i = 0; i < count; i++) {
                if (!pages[i] || pages[i]->kind != PAGE_KIND_FORM)
                    continue;
                char part = 0;
                int row = FindMainFormPage(pages[i]->pageKey, pages[i]->jurisdiction, 0, 0);
                if (row && GetMainFormRow(row, NULL, &part))
                    present[part == 'F' ? 0 : part == 'S' ? 1 : 2] = 1;
            }
            MemFree(pages);
        }
    }
    if (federalOut)
        *federalOut = present[0];
    if (stateOut)
        *stateOut = present[1];
    if (otherOut)
        *otherOut = present[2];
    return present[0] + present[1] + present[2];
}

int CheckPdfAttachment(const char *path, int report)
{
    const char *title = "Attach File";
    char text[400];
    if (!path || !*path) {
        if (report)
            ShowMessageBox(NULL, "No file was chosen to attach.", title, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    DWORD size = 0;
    HANDLE file = OpenFileForRead(path, &size, OPEN_FILE_QUIET);
    if (!file) {
        if (report) {
            snprintf(text, sizeof text, "The file \"%.260s\" could not be opened.", path);
            ShowMessageBox(NULL, text, title, MB_OK | MB_ICONEXCLAMATION);
        }
        return 0;
    }
    char head[4] = {0, 0, 0, 0};
    DWORD got = 0;
    BOOL ok = ReadFile(file, head, sizeof head, &got, NULL);
    CloseHandle(file);
    if (!ok || got != 4 || memcmp(head, "%PDF", 4) != 0) {
        if (report) {
            snprintf(text, sizeof text, "The file \"%.260s\" is not a PDF file and cannot be attached.", path);
            ShowMessageBox(NULL, text, title, MB_OK | MB_ICONEXCLAMATION);
        }
        return 0;
    }
    if (size > PDF_ATTACHMENT_MAX_BYTES) {
        if (report) {
            snprintf(text, sizeof text,
                     "The file \"%.260s\" is larger than %u MB and cannot be attached to an e-filed return.",
                     path, (unsigned)(PDF_ATTACHMENT_MAX_BYTES / (1024 * 1024)));
            ShowMessageBox(NULL, text, title, MB_OK | MB_ICONEXCLAMATION);
        }
        return 0;
    }
    return 1;
}
