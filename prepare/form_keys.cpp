// form_keys.cpp - form keys, FormPak header strings and which returns the open return holds
// (the table of main-form pages is store/main_forms.cpp).
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
