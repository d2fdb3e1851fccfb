// return_pages.cpp - the page query over the open return (FindReturnPages), copy numbers,
// return types, display names and the tax-year check of added forms.
#include "store/store.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static FormInstance **sTestPages;
static int sTestPageCount;

void SetTestReturnPages(FormInstance *const *pages, int count)
{
    sTestPages = (FormInstance **)MemFree(sTestPages);
    sTestPageCount = 0;
    if (!pages || count <= 0)
        return;
    sTestPages = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * (size_t)count);
    if (!sTestPages)
        return;
    memcpy(sTestPages, pages, sizeof(FormInstance *) * (size_t)count);
    sTestPageCount = count;
}

// The form pages below folder (null = all) in tree order, as a new MemAlloc array (caller
// frees); *countOut = their number. Generated pages are not counted.
static FormInstance **CollectPages(HTREEITEM folder, int *countOut)
{
    *countOut = 0;
    FormInstance **all = NULL;
    int n = 0;
    ReturnPageEnumProc enumerate = gAppCallbacks.enumerateReturnPages;
    int want = enumerate ? enumerate(folder, NULL, 0) : -1;   // -1: no forms tree
    if (want >= 0) {
        if (want == 0)
            return NULL;
        all = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * (size_t)want);
        if (!all)
            return NULL;
        n = enumerate(folder, all, want);
        if (n > want)
            n = want;
    } else {
        if (folder || sTestPageCount <= 0)
            return NULL;
        all = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * (size_t)sTestPageCount);
        if (!all)
            return NULL;
        memcpy(all, sTestPages, sizeof(FormInstance *) * (size_t)sTestPageCount);
        n = sTestPageCount;
    }
    int kept = 0;
    for (int i = 0; i < n; i++)
        if (all[i] && all[i]->kind == PAGE_KIND_FORM)
            all[kept++] = all[i];
    *countOut = kept;
    return all;
}

static int KeyEquals(const FormInstance *page, const char *key)
{
    return page->pageKey && key && _stricmp(page->pageKey, key) == 0;
}

// Mode 4: the page key's form part equals the key's part before its dot.
static int FormEquals(const FormInstance *page, const char *key)
{
    if (!page->pageKey || !key)
        return 0;
    const char *dot = strrchr(key, '.');
    size_t n = dot ? (size_t)(dot - key) : strlen(key);
    return _strnicmp(page->pageKey, key, n) == 0 && page->pageKey[n] == '.';
}

int FindReturnPages(int mode, const void *key, FormInstance **outArray, intptr_t reference)
{
    const char *text = (const char *)key;
    HTREEITEM folder = (mode == 16) ? (HTREEITEM)key : NULL;
    if (mode == 16 && !folder)
        return 0;
    int count = 0;
    FormInstance **pages = CollectPages(folder, &count);
    int result = 0;
    switch (mode) {
    case 1: case 7: case 9: case 4: case 2: case 16:
        for (int i = 0; i < count; i++) {
            int take = (mode == 2 || mode == 16) ? 1
                       : (mode == 4) ? FormEquals(pages[i], text) : KeyEquals(pages[i], text);
            if (!take)
                continue;
            if (outArray && mode != 9)
                outArray[result] = pages[i];
            result++;
        }
        break;
    case 12: {   // the page of that key whose 0-based copy (in tree order) is reference
        int copy = 0;
        for (int i = 0; i < count; i++) {
            if (!KeyEquals(pages[i], text))
                continue;
            if (copy++ == reference) {
                if (outArray)
                    outArray[0] = pages[i];
                result = 1;
                break;
            }
        }
        break;
    }
    case 13:     // the first page whose tree item is not the reference item
        for (int i = 0; i < count; i++) {
            if (pages[i]->treeItem != (HTREEITEM)reference) {
                if (outArray)
                    outArray[0] = pages[i];
                result = 1;
                break;
            }
        }
        break;
    case 14:
        for (int i = 0; i < count; i++) {
            if (KeyEquals(pages[i], text)) {
                if (outArray)
                    outArray[0] = pages[i];
                result = 1;
                break;
            }
        }
        break;
    case 15: {
        intptr_t position = (intptr_t)key;
        if (position >= 1 && position <= count) {
            if (outArray)
                outArray[0] = pages[position - 1];
            result = 1;
        }
        break;
    }
    case 17:
        result = -1;
        for (int i = 0; i < count; i++) {
            if (pages[i]->treeItem == (HTREEITEM)key) {
                result = i;
                break;
            }
        }
        break;
    default:
        break;
    }
    MemFree(pages);
    return result;
}

FormInstance **SnapshotReturnPages(int mode, const void *key, int *countOut)
{
    *countOut = 0;
    int n = FindReturnPages(mode, key, NULL, 0);
    if (n <= 0)
        return NULL;
    FormInstance **pages = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * (n + 1));
    if (!pages)
        return NULL;
    int got = FindReturnPages(mode, key, pages, 0);
    *countOut = got < n ? got : n;
    return pages;
}

int GetFormCopyNumber(const FormInstance *page)
{
    if (!page || !page->pageKey)
        return 0;
    int count = 0;
    FormInstance **pages = CollectPages(NULL, &count);
    int same = 0, ordinal = 0;
    for (int i = 0; i < count; i++) {
        if (!KeyEquals(pages[i], page->pageKey))
            continue;
        same++;
        if (pages[i] == page)
            ordinal = same;
    }
    MemFree(pages);
    return same >= 2 ? ordinal : 0;
}

// The main-form return type of formName ("Form 1040" or a page key), 0 when none.
static int GetNamedReturnType(const char *formName)
{
    char key[FORM_NAME_SIZE];
    const char *dot = strrchr(formName, '.');
    if (dot && dot[1] >= '0' && dot[1] <= '9')
        snprintf(key, sizeof key, "%.*s.1", (int)(dot - formName), formName);
    else
        snprintf(key, sizeof key, "%s.1", formName);
    int type = 0;
    int row = FindMainFormPage(key, 0, 0, 0);
    if (row)
        GetMainFormRow(row, &type, NULL);
    return type;
}

static int IsBusinessType(int type)
{
    return (type >= 940 && type <= 945) || (type >= 9400 && type <= 9451);
}

// The first main-form return type of the open return's pages that satisfies business (1) or
// not (0); 0 when none.
static int FindOpenReturnType(int business)
{
    int count = 0;
    FormInstance **pages = CollectPages(NULL, &count);
    int found = 0, anyBusiness = 0;
    for (int i = 0; i < count && !found; i++) {
        if (!pages[i]->mainForm && !FindMainFormPage(pages[i]->pageKey, pages[i]->jurisdiction, 0, 0))
            continue;
        int type = pages[i]->pageKey ? GetNamedReturnType(pages[i]->pageKey) : 0;
        if (!type)
            continue;
        if (IsBusinessType(type))
            anyBusiness = 1;
        if (IsBusinessType(type) == business)
            found = type;
    }
    MemFree(pages);
    if (!business && anyBusiness)
        return 0;   // an employment-tax return has no individual return type
    return found;
}

int GetReturnType(const char *formName)
{
    if (formName && *formName) {
        int type = GetNamedReturnType(formName);
        return IsBusinessType(type) ? 0 : type;
    }
    return FindOpenReturnType(0);
}

int GetBusinessReturnType(const char *formName)
{
    if (formName && *formName) {
        int type = GetNamedReturnType(formName);
        return IsBusinessType(type) ? type : 0;
    }
    return FindOpenReturnType(1);
}

int FormatFormDisplayName(char *formPart, char *pagePart, const char *pageKey, char *out, int mode)
{
    if (formPart)
        formPart[0] = 0;
    if (pagePart)
        pagePart[0] = 0;
    if (out)
        out[0] = 0;
    if (!pageKey)
        return 0;
    const char *dot = strrchr(pageKey, '.');
    int page = 0;
    size_t formLength = strlen(pageKey);
    if (dot && dot[1]) {
        const char *p = dot + 1;
        while (*p >= '0' && *p <= '9' && page < 10000)
            page = page * 10 + (*p++ - '0');
        if (*p == 0) {
            formLength = (size_t)(dot - pageKey);
        } else {
            page = 0;
        }
    }
    if (formLength >= FORM_NAME_SIZE)
        formLength = FORM_NAME_SIZE - 1;
    if (formPart) {
        memcpy(formPart, pageKey, formLength);
        formPart[formLength] = 0;
    }
    if (pagePart && page)
        snprintf(pagePart, 16, "%d", page);
    if (out) {
        if (mode == 2 || !page)
            snprintf(out, FORM_NAME_SIZE, "%.*s", (int)formLength, pageKey);
        else
            snprintf(out, FORM_NAME_SIZE, "%.*s, Page %d", (int)formLength, pageKey, page);
    }
    return page;
}

int ShowFormPakYearError(uint16_t taxYear, int show)
{
    int count = 0;
    FormInstance **pages = CollectPages(NULL, &count);
    int mismatch = 0;
    uint16_t other = 0;
    for (int i = 0; i < count; i++) {
        if (pages[i]->taxYear != taxYear) {
            other = pages[i]->taxYear;
            mismatch = 1;
            break;
        }
    }
    MemFree(pages);
    if (!mismatch)
        return 1;
    if (show) {
        char text[300];
        snprintf(text, sizeof text,
                 "The forms you are adding are for tax year %u, but the open return holds forms "
                 "for tax year %u.\r\n\r\nForms of different tax years cannot be combined in one return.",
                 (unsigned)taxYear, (unsigned)other);
        ShowMessageBox(NULL, text, "Error Adding Forms To Return", MB_OK | MB_ICONEXCLAMATION);
    }
    return 0;
}
