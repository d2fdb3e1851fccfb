// Test support: see sample.h.
#include "tests/harness/sample.h"

#include "calc/calc.h"
#include "entry/entry.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"

#include <stdio.h>
#include <string.h>

#include <map>

std::string FullPath(const std::string &relative)
{
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(relative.c_str(), sizeof(full), full, NULL);
    return n && n < sizeof(full) ? full : relative;
}

std::string BuiltFilePath(const char *relative)
{
    std::string path = FullPath(BuildPath(relative));
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::string() : path;
}

std::string MakeTestFolder(const char *name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    char folder[MAX_PATH];
    snprintf(folder, sizeof(folder), "%s%s%lu\\", temp, name, (unsigned long)GetCurrentProcessId());
    CreateDirectoryA(folder, NULL);
    return folder;
}

int CopySampleReturn(const std::string &folder, std::initializer_list<const char *> formPaks)
{
    for (const char *pak : formPaks)
        CopyFileA(FullPath(BuildPath((std::string("formpaks\\") + pak).c_str())).c_str(), (folder + pak).c_str(),
                  FALSE);
    return CopyFileA(FullPath(BuildPath("samples\\Sample.qvr")).c_str(), (folder + "Sample.qvr").c_str(), FALSE) ? 1
                                                                                                              : 0;
}

std::string SampleReturnFolder(const char *name, std::initializer_list<const char *> formPaks)
{
    static std::map<std::string, std::string> folders;
    std::string &folder = folders[name];
    if (folder.empty()) {
        folder = MakeTestFolder(name);
        CopySampleReturn(folder, formPaks);
    }
    return folder;
}

static char sSavedFormDir[MAX_PATH];
static int sHadFormDir;

void UseBuildFormPaks()
{
    char formPaks[MAX_PATH];
    GetFullPathNameA(BuildPath("formpaks").c_str(), sizeof(formPaks), formPaks, NULL);
    sSavedFormDir[0] = 0;
    sHadFormDir = ReadRegistryValue(sSavedFormDir, REG_SCOPE_YEAR, 0, "FormDir", sizeof(sSavedFormDir), REG_SZ);
    WriteRegistryValue(REG_SCOPE_YEAR, "FormDir", REG_SZ, formPaks, 0);
}

void RestoreFormPakFolder()
{
    if (sHadFormDir)
        WriteRegistryValue(REG_SCOPE_YEAR, "FormDir", REG_SZ, sSavedFormDir, 0);
    else
        DeleteRegistryValue(REG_SCOPE_YEAR, "FormDir");
}

HWND OpenMainWindow()
{
    gReturnModified = 0;
    HWND window = CreateMainWindow(gInstance);
    PumpMessages(0);
    return window;
}

void DestroyMainWindow(HWND window)
{
    if (IsWindow(window))
        DestroyWindow(window);
    PumpMessages(0);
    if (gPageViewWindow && !IsWindow(gPageViewWindow))
        gPageViewWindow = NULL;
}

void MainWindowTest::SetUp()
{
    window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
}

void MainWindowTest::TearDown()
{
    gAddFormsStartHook = NULL;
    CloseOpenReturn();
    DestroyMainWindow(window);
}

void CloseEditBar(EditRequest *request)
{
    if (gEditBarContainer && IsWindow(gEditBarContainer)) {
        request->cancelled = 1;
        DestroyWindow(gEditBarContainer);
    }
    gEditBarContainer = NULL;
}

HTREEITEM Child(HTREEITEM parent)
{
    return (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)parent);
}

HTREEITEM Next(HTREEITEM item)
{
    return (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item);
}

std::string Text(HTREEITEM item, int cut)
{
    char text[128];
    GetTreeItemText(item, text, cut, sizeof(text));
    return text;
}

std::vector<std::string> Children(HTREEITEM parent)
{
    std::vector<std::string> out;
    for (HTREEITEM c = Child(parent); c; c = Next(c))
        out.push_back(Text(c));
    return out;
}

std::vector<std::string> TreeOutline()
{
    std::vector<std::string> out;
    for (HTREEITEM top = Child(gTreeRootItem); top; top = Next(top)) {
        out.push_back(Text(top));
        for (HTREEITEM page = Child(top); page; page = Next(page))
            out.push_back("  " + Text(page));
    }
    return out;
}

char *CopyText(const char *text)
{
    size_t n = strlen(text) + 1;
    char *copy = (char *)MemAlloc(64, n);
    memcpy(copy, text, n);
    return copy;
}

FormInstance *MakePage(const char *key, int jurisdiction, uint16_t order, const char *pak)
{
    FormInstance *page = (FormInstance *)MemAlloc(64, sizeof(FormInstance));
    page->kind = PAGE_KIND_FORM;
    page->jurisdiction = (uint8_t)jurisdiction;
    page->taxYear = 2024;
    page->pageKey = CopyText(key);
    page->orderKey[0] = order;
    if (pak) {
        page->formPakPath = CopyText(pak);
        page->ownsFormPakPath = 1;
    }
    return page;
}

void WaitForRecompute()
{
    for (int i = 0; i < 400 && (gRecomputeThread || !gRecomputeDone); i++)
        PumpMessages(10);
    PumpMessages(10);
}

std::vector<std::string> TabTexts()
{
    std::vector<std::string> out;
    int n = (int)SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        char text[260] = "";
        TCITEMA tab;
        memset(&tab, 0, sizeof(tab));
        tab.mask = TCIF_TEXT;
        tab.pszText = text;
        tab.cchTextMax = sizeof(text);
        SendMessageA(gFormTabs, TCM_GETITEMA, i, (LPARAM)&tab);
        out.push_back(text);
    }
    return out;
}
