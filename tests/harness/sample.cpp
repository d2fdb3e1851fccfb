// Test support: see sample.h.
#include "tests/harness/sample.h"

#include "calc/calc.h"
#include "entry/entry.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"

#include <stdio.h>

#include <map>

std::string FullPath(const std::string &relative)
{
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(relative.c_str(), sizeof(full), full, NULL);
    return n && n < sizeof(full) ? full : relative;
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

void WaitForRecompute()
{
    for (int i = 0; i < 400 && (gRecomputeThread || !gRecomputeDone); i++)
        PumpMessages(10);
    PumpMessages(10);
}
