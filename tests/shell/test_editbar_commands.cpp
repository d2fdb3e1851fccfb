// The edit bar in the one modal state, typed into as a user types: a command commits an open bar
// first (a refused value stops it), a modal frame keeps a queued key from the bar, a removed page
// takes its bar with it, output and Save wait for current totals, and Alt+F opens the File menu.
#include "calc/calc.h"
#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string PageValue(const char *pageKey, const char *seq)
{
    FormInstance *page = NULL;
    int index = FindReturnPages(14, pageKey, &page, 0) == 1 ? FindLayoutField(page->fieldTable, 1, seq, 0) : 0;
    const char *value = index > 0 ? page->fieldTable->fields[index].value : NULL;
    return value ? value : "";
}

// Form 1040 line 9 (the total of line 1a) as each page of an output job is made.
std::vector<std::string> sJobLine9;
int sJobBarOpen;

LRESULT CALLBACK WatchJobPages(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_SETTEXT && gPrintProgressDialog &&
        GetParent(call->hwnd) == gPrintProgressDialog && GetDlgCtrlID(call->hwnd) == 1226) {
        sJobLine9.push_back(PageValue("Form 1040.1", "0190"));
        sJobBarOpen |= gEditBarContainer != NULL;
    }
    return CallNextHookEx(0, code, wParam, lParam);
}

class EditBarCommands : public MainWindowTest {
protected:
    std::string folder;
    void SetUp() override
    {
        folder = SampleReturnFolder("EditBarCommands", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"});
        MainWindowTest::SetUp();
        UseBuildFormPaks();
        MoveWindow(window, 0, 0, 1200, 900, TRUE);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    }
    void TearDown() override
    {
        CloseEditBar(&gEditRequest);
        gReturnModified = 0;
        MainWindowTest::TearDown();
        RestoreFormPakFolder();
    }
    // A fresh copy of the sample return; with keys, line 1a is clicked on the screen and typed into.
    void OpenSample(const char *keys)
    {
        CloseEditBar(&gEditRequest);
        WaitForRecompute();
        gReturnModified = 0;
        CloseOpenReturn();   // lets go of the copy's file
        ASSERT_TRUE(CopyFileA((folder + "Sample.qvr").c_str(), (folder + "Copy.qvr").c_str(), FALSE));
        SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)(folder + "Copy.qvr").c_str());
        WaitForRecompute();
        PumpUntilIdle();
        ClearShownMessageBoxes();
        FormInstance *page = NULL;
        ASSERT_EQ(1, FindReturnPages(14, "Form 1040.1", &page, 0));
        if (!keys)
            return;
        RECT client;
        GetFieldClientRect(page->fieldTable->fields[FindLayoutField(page->fieldTable, 1, "0101", 0)].rect, &client);
        POINT point = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
        ClientToScreen(gPageViewWindow, &point);
        ASSERT_TRUE(ClickScreen(point.x, point.y));
        ASSERT_NE(nullptr, gEditBarContainer);
        ASSERT_TRUE(TypeKeys(keys));
    }
    void ExpectBoxes(const char *title)
    {
        ASSERT_EQ(title ? 1u : 0u, GetShownMessageBoxes().size());
        if (title)
            EXPECT_EQ(title, GetShownMessageBoxes()[0].title);
    }
};

TEST_F(EditBarCommands, EveryCommandCommitsTheBarFirstAndAFrameHoldsIt)
{
    FieldRecord link = {};   // a field button that opens a web page
    link.typeCode = (char *)"LB264";
    link.valueList = (char *)"https://www.example.com/";
    const char *refusal = "Total amount from Form(s) W-2, box 1";
    struct Case {
        const char *name, *keys;
        int answer;                  // to the one message box met (0: none)
        std::function<void()> run;   // the command
        const char *box, *afterKeys;
        int barOpen;
        const char *line1a, *line9;  // "" for a page removed
    } cases[] = {
        {"Generate PDF File", "60000", IDNO, [&] { PostMessageA(window, WM_COMMAND, IDM_PDFRETURN, 0); },
         "PDF File Created", "", 0, "60,000", "61,750"},
        {"an Enter queued just before Generate PDF File", "60000", IDNO,
         [&] {
             RunUnixCommand("xdotool key Return", NULL);
             SendMessageA(window, WM_COMMAND, IDM_PDFRETURN, 0);
         },
         "PDF File Created", "", 0, "60,000", "61,750"},
        {"a refused value stops the command", "1x", IDOK, [&] { PostMessageA(window, WM_COMMAND, IDM_PDFRETURN, 0); },
         refusal, "", 1, "52,000", "53,750"},
        {"toolbar Remove Page", "60000", IDNO,
         [&] { SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_DELETEPAGE, BN_CLICKED), (LPARAM)gToolbar); },
         "Confirm Delete", "", 0, "60,000", "61,750"},
        {"the forms tree's context menu", "60000", 0,
         [&] {
             NMHDR header = {gFormsTreeWindow, 0, (UINT)NM_RCLICK};
             SendMessageA(window, WM_NOTIFY, 0, (LPARAM)&header);
         },
         NULL, "", 0, "60,000", "61,750"},
        {"a field button posted", "60000", 0,
         [&] { PostMessageA(gPageViewWindow, WM_COMMAND, MAKEWPARAM(0xFFFF, BN_CLICKED), (LPARAM)&link); }, NULL, "",
         0, "60,000", "61,750"},
        {"a key queued under a modal frame waits for its end", "60000", 0,
         [&] {
             int frame = BeginModalState(NULL, MODAL_OUTPUT_JOB);
             RunUnixCommand("xdotool key Return", NULL);
             PumpUntilIdle();
             EXPECT_NE(nullptr, gEditBarContainer) << "the bar closed under the frame";
             EndModalState(frame);
         },
         NULL, "{Return}", 0, "60,000", "61,750"},
        {"Remove Page closes a bar on the removed page", "60000", IDYES,
         [&] {
             FormInstance *page = NULL;
             FindReturnPages(14, "Form 1040.1", &page, 0);
             RemoveFormPage(page->treeItem);   // as the tree's menu runs it
         },
         "Confirm Delete", "", 0, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        OpenSample(c.keys);
        if (c.answer)
            ScriptMessageBoxAnswer(c.answer);
        size_t shellCalls = GetShellCalls().size();
        sJobLine9.clear();
        sJobBarOpen = 0;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchJobPages, NULL, GetCurrentThreadId());
        c.run();
        PumpUntilIdle();
        UnhookWindowsHookEx(hook);
        ASSERT_TRUE(TypeKeys(c.afterKeys));
        WaitForRecompute();
        ExpectBoxes(c.box);
        EXPECT_EQ(c.barOpen, gEditBarContainer != NULL);
        EXPECT_EQ(c.line1a, PageValue("Form 1040.1", "0101"));
        EXPECT_EQ(c.line9, PageValue("Form 1040.1", "0190"));
        // Every page of an output job shows the committed value's total, made with the bar closed.
        EXPECT_EQ(c.box && !strcmp(c.box, "PDF File Created"), !sJobLine9.empty());
        EXPECT_FALSE(sJobBarOpen);
        for (const std::string &line9 : sJobLine9)
            EXPECT_EQ(c.line9, line9);
        EXPECT_EQ(shellCalls + (strstr(c.name, "field button") ? 1 : 0), GetShellCalls().size());
    }
}

// A command sent from another thread arrives while the program waits for the recompute worker,
// which is held at its first changed field: output and Save must not start from its totals.
HANDLE sRelease, sHeld;
DWORD sMainThread;
IsPageShownProc sPageShown;
UINT sCommand;
LRESULT sCommandResult;

int HoldWorker(const FormInstance *page)
{
    if (GetCurrentThreadId() != sMainThread) {
        SetEvent(sHeld);
        WaitForSingleObject(sRelease, 10000);
    }
    return sPageShown(page);
}

DWORD WINAPI SendCommand(void *)
{
    sCommandResult = SendMessageA(gMainWindow, WM_COMMAND, sCommand, 0);
    SetEvent(sRelease);
    return 0;
}

TEST_F(EditBarCommands, OutputAndSaveStartOnlyFromCurrentTotals)
{
    const struct {
        UINT command;
        const char *file;   // what the command writes
    } cases[] = {{IDM_PDFRETURN, "Copy.pdf"}, {IDM_SAVE, "Copy.qvr"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        OpenSample(NULL);
        DeleteFileA((folder + "Copy.pdf").c_str());
        std::string before = ReadWholeFile(folder + c.file);
        static EditRequest request;   // Schedule 1 line 26, which the worker carries to Form 1040
        memset(&request, 0, sizeof request);
        ASSERT_EQ(1, FindReturnPages(14, "Schedule 1.2", &request.page, 0));
        request.field = &request.page->fieldTable->fields[FindLayoutField(request.page->fieldTable, 1, "0210", 0)];
        strcpy(request.text, "1,300");
        CommitFieldEntry(&request);
        sMainThread = GetCurrentThreadId();
        sRelease = CreateEventA(NULL, TRUE, FALSE, NULL);
        sHeld = CreateEventA(NULL, TRUE, FALSE, NULL);
        sPageShown = gAppCallbacks.isPageShown;
        gAppCallbacks.isPageShown = HoldWorker;
        OnDeferredJobTimer();   // starts the worker
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(sHeld, 10000));
        sCommand = c.command;
        HANDLE thread = CreateThread(NULL, 0, SendCommand, NULL, 0, NULL);
        EndRecomputeWorker();   // the command is handled in this wait
        WaitForSingleObject(thread, 10000);
        gAppCallbacks.isPageShown = sPageShown;
        CloseHandle(thread);
        CloseHandle(sRelease);
        CloseHandle(sHeld);
        EXPECT_EQ(0, sCommandResult);
        EXPECT_TRUE(before == ReadWholeFile(folder + c.file)) << "written while the worker ran";
        ExpectBoxes(NULL);
        RecomputeAllFormsNow(0);
    }
}

// Alt+F typed while the bar has the focus opens the File menu; the menu's own loop then reads the
// keys sent when it first waits for one.
UINT sMenuFirstItem;
const char *sMenuKeys;
int sMenuKeysSent, sMenuEndedByTimer;

LRESULT CALLBACK WatchMenu(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_INITMENUPOPUP && !sMenuFirstItem)
        sMenuFirstItem = GetMenuItemID((HMENU)call->wParam, 0);
    if (code == HC_ACTION && call->message == WM_ENTERIDLE && sMenuFirstItem && !sMenuKeysSent++)
        RunUnixCommand(std::string("xdotool key ") + sMenuKeys, NULL);
    return CallNextHookEx(0, code, wParam, lParam);
}

void CALLBACK EndStrayMenu(HWND, UINT, UINT_PTR, DWORD)
{
    sMenuEndedByTimer = 1;
    EndMenu();   // a menu left open would hold the test
}

TEST_F(EditBarCommands, AltFOpensTheFileMenuWhileTyping)
{
    const struct {
        const char *name, *menuKeys, *box;
        int barOpen;
        const char *typed, *line1a;
    } cases[] = {
        {"Escape twice leaves the menus and the bar as it was", "Escape Escape", NULL, 1, "60000", "52,000"},
        {"D chooses Generate PDF File, which commits the bar first", "d", "PDF File Created", 0, "", "60,000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        OpenSample("60000");
        if (c.box)
            ScriptMessageBoxAnswer(IDNO);
        sMenuFirstItem = 0;
        sMenuKeys = c.menuKeys;
        sMenuKeysSent = sMenuEndedByTimer = 0;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchMenu, NULL, GetCurrentThreadId());
        UINT_PTR timer = SetTimer(NULL, 0, 5000, EndStrayMenu);
        ASSERT_TRUE(TypeKeys("{alt+f}"));
        KillTimer(NULL, timer);
        UnhookWindowsHookEx(hook);
        WaitForRecompute();
        EXPECT_EQ((UINT)IDM_OPEN, sMenuFirstItem) << "the File menu did not open";
        EXPECT_FALSE(sMenuEndedByTimer);
        EXPECT_EQ(c.barOpen, gEditBarContainer != NULL);
        char typed[32] = "";
        if (gEditBarContainer)
            GetWindowTextA(GetFocus(), typed, sizeof typed);
        EXPECT_STREQ(c.typed, typed);
        EXPECT_EQ(c.line1a, PageValue("Form 1040.1", "0101"));
        ExpectBoxes(c.box);
    }
}

}   // namespace
