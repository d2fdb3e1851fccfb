// The typing tests' main window: a return the build made, shown on the screen, its fields clicked
// and typed into through the display as a user does (ClickScreen, TypeKeys), never with messages
// posted to a window of the test's choosing.
#ifndef LEVYLINE_TEST_TYPING_UTIL_H
#define LEVYLINE_TEST_TYPING_UTIL_H

#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/fields.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>

#include <string>

namespace typing_test {

class TypingTest : public MainWindowTest {
protected:
    std::string path;
    int savedEnter = 0;
    int savedFocusEvents = 1;
    // The return the build made at relative ("samples/Sample.qvr"); the test skips without it.
    // The window is tall enough to show a whole page.
    void SetUpOn(const char *relative)
    {
        path = BuiltFilePath(relative);
        if (path.empty())
            GTEST_SKIP() << relative << " was not built";
        UseBuildFormPaks();
        gZoom = PAGE_ZOOM_START;
        MainWindowTest::SetUp();
        savedEnter = gEnterAdvances;
        gEnterAdvances = 0;
        // The bar closes when the focus leaves it, as for a user (tests driven by messages turn
        // that off).
        savedFocusEvents = gEditBarFocusEvents;
        gEditBarFocusEvents = 1;
        ShowWindow(window, SW_SHOW);
        MoveWindow(window, 0, 0, 1200, 1180, TRUE);
        SetForegroundWindow(window);
        PumpUntilIdle();
    }
    void TearDown() override
    {
        if (path.empty())
            return;
        CloseEditBar(&gEditRequest);
        WaitForRecompute();
        gReturnModified = 0;
        gEnterAdvances = savedEnter;
        gEditBarFocusEvents = savedFocusEvents;
        MainWindowTest::TearDown();
        RestoreFormPakFolder();
    }
    // Opens the return as it was built (what a run typed before is dropped) and shows its page
    // keyed key. 1 when that page is shown.
    int Reopen(const char *key)
    {
        CloseEditBar(&gEditRequest);
        WaitForRecompute();
        gReturnModified = 0;
        SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str());
        PumpUntilIdle();
        WaitForRecompute();
        FormInstance *page = NULL;
        if (!FindReturnPages(14, key, &page, 0) || !page)
            return 0;
        SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)page->treeItem);
        PumpUntilIdle();
        ClearShownMessageBoxes();
        return Page() == page;
    }
    FormInstance *Page() { return (FormInstance *)GetCurrentDocument(4); }
    FieldTable *Table() { return Page() ? Page()->fieldTable : NULL; }
    FieldRecord *Field(const char *seq) { return Table() ? ::Field(Table(), seq) : NULL; }
    std::string Value(const char *seq) { return Table() ? ::Value(Table(), seq) : ""; }
    // A click in the middle of the field on the screen, as the user makes it; 0 when the field
    // is not in sight.
    int ClickField(const char *seq)
    {
        FieldRecord *f = Field(seq);
        if (!f || !f->rect)
            return 0;
        RECT client, view;
        GetFieldClientRect(f->rect, &client);
        GetClientRect(gPageViewWindow, &view);
        POINT point = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
        if (!PtInRect(&view, point))
            return 0;
        ClientToScreen(gPageViewWindow, &point);
        return ClickScreen(point.x, point.y);
    }
    // A click in the middle of a window (a dialog's control).
    static int ClickWindow(HWND control)
    {
        RECT rect;
        if (!control || !GetWindowRect(control, &rect))
            return 0;
        return ClickScreen((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
};

} // namespace typing_test

#endif
