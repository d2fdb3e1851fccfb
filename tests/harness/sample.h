// Test support around the sample return the build makes and the forms tree of the main window:
// copies of the sample return with its FormPaks in a folder of the test program's own, and
// walks over the tree's items and captions.
#ifndef LEVYLINE_TEST_SAMPLE_H
#define LEVYLINE_TEST_SAMPLE_H

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <vector>

// ---- files ----
// The full path of a path relative to the current folder (the path itself when that fails).
std::string FullPath(const std::string &relative);
// A folder of the test program's own, %TEMP%<name><process id>\ (made when missing); ends in a
// backslash.
std::string MakeTestFolder(const char *name);
// Copies the sample return (as "Sample.qvr") and the named FormPaks of the build into folder
// (which ends in a backslash). 1 when the sample return was copied.
int CopySampleReturn(const std::string &folder, std::initializer_list<const char *> formPaks);
// The folder MakeTestFolder(name) with the sample return and the FormPaks copied into it once
// per test program (the return names its FormPaks by file name; they are found next to it).
std::string SampleReturnFolder(const char *name, std::initializer_list<const char *> formPaks);

// ---- forms tree ----
HTREEITEM Child(HTREEITEM parent);
HTREEITEM Next(HTREEITEM item);
// The caption of an item (cut: as GetTreeItemText cuts it).
std::string Text(HTREEITEM item, int cut = 0);
// The captions of the items under parent.
std::vector<std::string> Children(HTREEITEM parent);
// The whole tree as "caption" lines, pages indented under their folders.
std::vector<std::string> TreeOutline();

// ---- recompute ----
// Lets the recompute worker run to its end.
void WaitForRecompute();

#endif
