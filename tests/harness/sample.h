// Test support around the sample return the build makes and the main window: copies of the
// sample return with its FormPaks in a folder of the test program's own, the FormPak folder
// setting, the main window and its edit bar, and walks over the forms tree's items and captions.
#ifndef LEVYLINE_TEST_SAMPLE_H
#define LEVYLINE_TEST_SAMPLE_H

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "store/store.h"

struct EditRequest;

#include <initializer_list>
#include <string>
#include <vector>

// ---- files ----
// The full path of a path relative to the current folder (the path itself when that fails).
std::string FullPath(const std::string &relative);
// The full path of a file the build made (relative to the build folder), "" when it is missing.
std::string BuiltFilePath(const char *relative);
// A folder of the test program's own, %TEMP%<name><process id>\ (made when missing); ends in a
// backslash.
std::string MakeTestFolder(const char *name);
// Copies the sample return (as "Sample.qvr") and the named FormPaks of the build into folder
// (which ends in a backslash). 1 when the sample return was copied.
int CopySampleReturn(const std::string &folder, std::initializer_list<const char *> formPaks);
// The folder MakeTestFolder(name) with the sample return and the FormPaks copied into it once
// per test program (the return names its FormPaks by file name; they are found next to it).
std::string SampleReturnFolder(const char *name, std::initializer_list<const char *> formPaks);

// Points the FormPak folder setting (FormDir) at the FormPaks of the build, keeping what it was;
// RestoreFormPakFolder puts that back (or removes the setting when there was none).
void UseBuildFormPaks();
void RestoreFormPakFolder();

// ---- main window ----
// The main window of a test, made with the return marked unchanged and its messages run.
HWND OpenMainWindow();
// Destroys the main window of a test (when it still is one) and lets its messages run. The
// frame makes its page pane again only when gPageViewWindow is clear, so a destroyed one is
// forgotten.
void DestroyMainWindow(HWND window);
// A test with the main window made in SetUp; TearDown closes the open return, forgets the
// start-dialog hook of adding forms and destroys the window.
class MainWindowTest : public ::testing::Test {
protected:
    HWND window = NULL;
    void SetUp() override;
    void TearDown() override;
};
// Cancels and destroys the edit bar when one is open (request: the request it was opened for).
void CloseEditBar(EditRequest *request);

// ---- forms tree ----
HTREEITEM Child(HTREEITEM parent);
HTREEITEM Next(HTREEITEM item);
// The caption of an item (cut: as GetTreeItemText cuts it).
std::string Text(HTREEITEM item, int cut = 0);
// The captions of the items under parent.
std::vector<std::string> Children(HTREEITEM parent);
// The texts of the form tabs, in order.
std::vector<std::string> TabTexts();
// The whole tree as "caption" lines, pages indented under their folders.
std::vector<std::string> TreeOutline();
// A copy of text in memory of MemAlloc (the program frees page texts with MemFree).
char *CopyText(const char *text);
// A form page record of tax year 2024 ready to be filed in the tree, from FormPak pak (null: none).
FormInstance *MakePage(const char *key, int jurisdiction, uint16_t order,
                       const char *pak = "C:\\FormPaks\\f1040.qvp");

// ---- recompute ----
// Lets the recompute worker run to its end.
void WaitForRecompute();

#endif
