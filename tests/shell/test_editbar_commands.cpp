// The edit bar in the one modal state: a command of the main window or a field button commits an
// open bar first (a refused value stops it), a modal frame keeps a queued key from the bar, a
// removed page takes its bar with it, output and Save wait for current totals, and Alt+F opens
// the File menu while the bar has the focus. Keys are typed as a user types them.
#include "calc/calc.h"
#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Form 1040 line 1a (typed into) and line 9 (its total) on each page of an output job.
std::vector<std::string> sJobLine9;
int sJobBarOpen;

LRESULT CALLBACK WatchJobPages(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    FormInstance *page = NULL;
    if (code == HC_ACTION && call->message == WM_SETTEXT && gPrintProgressDialog &&
        GetParent(call->hwnd) == gPrintProgressDialog && GetDlgCtrlID(call->hwnd) == 1226 &&
        FindReturnPages(14, "Form 1040.1", &page, 0) == 1) {
        FieldRecord *line9 = &page->fieldTable->fields[FindLayoutField(page->fieldTable, 1, "0190", 0)];
        sJobLine9.push_back(line9->value ? line9->value : "");
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
        ShowWindow(window, SW_SHOW);
        MoveWindow(window, 0, 0, 1200, 900, TRUE);
        SetForegroundWindow(window);
        PumpUntilIdle();
    }
    void TearDown() override
    {
        CloseEditBar(&gEditRequest);
        WaitForRecompute();
        gReturnModified = 0;
        MainWindowTest::TearDown();
        RestoreFormPakFolder();
    }
    void OpenSample()
    {
        CloseEditBar(&gEditRequest);
        WaitForRecompute();
        gReturnModified = 0;
        CloseOpenReturn();   // lets go of the copy's file
        ASSERT_TRUE(CopyFileA((folder + "Sample.qvr").c_str(), (folder + "Copy.qvr").c_str(), FALSE));
        SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)(folder + "Copy.qvr").c_str());
        PumpUntilIdle();
        WaitForRecompute();
        ClearShownMessageBoxes();
        ASSERT_NE(nullptr, Field("Form 1040.1", "0101"));
    }
    FieldRecord *Field(const char *pageKey, const char *seq)
    {
        FormInstance *page = NULL;
        if (FindReturnPages(14, pageKey, &page, 0) != 1 || !page)
            return NULL;
        int index = FindLayoutField(page->fieldTable, 1, seq, 0);
        return index > 0 ? &page->fieldTable->fields[index] : NULL;
    }
    std::string Value(const char *seq)
    {
        FieldRecord *f = Field("Form 1040.1", seq);
        return f && f->value ? f->value : "";
    }
    // Clicks line 1a on the screen, as the user does, and types keys into its bar.
    void TypeIntoLine1a(const char *keys)
    {
        FieldRecord *f = Field("Form 1040.1", "0101");
        ASSERT_TRUE(f && f->rect);
        RECT client;
        GetFieldClientRect(f->rect, &client);
        POINT point = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
        ClientToScreen(gPageViewWindow, &point);
        ASSERT_TRUE(ClickScreen(point.x, point.y));
        ASSERT_NE(nullptr, gEditBarContainer) << "no edit bar after the click";
        ASSERT_TRUE(TypeKeys(keys));
    }
    std::vector<std::string> BoxTitles()
    {
        std::vector<std::string> titles;
        for (const ShownMessageBox &box : GetShownMessageBoxes())
            titles.push_back(box.title);
        return titles;
    }
};

TEST_F(EditBarCommands, EveryCommandCommitsTheBarFirstAndAFrameHoldsIt)
{
    FieldRecord link;   // a field button that opens a web page
    memset(&link, 0, sizeof link);
    link.typeCode = (char *)"LB264";
    link.valueList = (char *)"https://www.example.com/";
    struct Case {
        const char *name;
        const char *keys;                   // typed into line 1a
        std::vector<int> answers;           // to the message boxes met
        std::function<void()> run;          // the command
        const char *afterKeys;              // typed afterwards
        std::vector<std::string> boxes;     // titles of the boxes met
        int barOpen;
        const char *line1a;                 // null: the page is gone
        const char *line9;
    } cases[] = {
        {"Generate PDF File", "60000", {IDNO},
         [&] { PostMessageA(window, WM_COMMAND, IDM_PDFRETURN, 0); }, "", {"PDF File Created"}, 0, "60,000", "61,750"},
        {"an Enter queued just before Generate PDF File", "60000", {IDNO},
         [&] {
             RunUnixCommand("xdotool key Return", NULL);
             SendMessageA(window, WM_COMMAND, IDM_PDFRETURN, 0);
         },
         "", {"PDF File Created"}, 0, "60,000", "61,750"},
        {"a refused value stops the command", "1x", {IDOK},
         [&] { PostMessageA(window, WM_COMMAND, IDM_PDFRETURN, 0); }, "", {"Total amount from Form(s) W-2, box 1"}, 1, "52,000", "53,750"},
        {"toolbar Remove Page", "60000", {IDNO},
         [&] { SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_DELETEPAGE, BN_CLICKED), (LPARAM)gToolbar); }, "",
         {"Confirm Delete"}, 0, "60,000", "61,750"},
        {"the forms tree's context menu", "60000", {},
         [&] {
             NMHDR header = {gFormsTreeWindow, 0, (UINT)NM_RCLICK};
             SendMessageA(window, WM_NOTIFY, 0, (LPARAM)&header);
         },
         "", {}, 0, "60,000", "61,750"},
        {"a field button posted", "60000", {},
         [&] { PostMessageA(gPageViewWindow, WM_COMMAND, MAKEWPARAM(0xFFFF, BN_CLICKED), (LPARAM)&link); }, "", {},
         0, "60,000", "61,750"},
        {"a key queued under a modal frame waits for its end", "60000", {},
         [&] {
             int frame = BeginModalState(NULL, MODAL_OUTPUT_JOB);
             RunUnixCommand("xdotool key Return", NULL);
             PumpUntilIdle();
             EXPECT_NE(nullptr, gEditBarContainer) << "the bar closed under the frame";
             EXPECT_EQ("52,000", Value("0101"));
             EndModalState(frame);
             PumpUntilIdle();
         },
         "{Return}", {}, 0, "60,000", "61,750"},
        {"Remove Page closes a bar on the removed page", "60000", {IDYES},
         [&] {
             FormInstance *page = NULL;
             FindReturnPages(14, "Form 1040.1", &page, 0);
             RemoveFormPage(page->treeItem);   // as the tree's menu runs it
             PumpUntilIdle();
         },
         "", {"Confirm Delete"}, 0, NULL, NULL},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        OpenSample();
        ASSERT_EQ("52,000", Value("0101"));
        for (int answer : c.answers)
            ScriptMessageBoxAnswer(answer);
        TypeIntoLine1a(c.keys);
        ASSERT_NE(nullptr, gEditBarContainer);
        size_t shellCalls = GetShellCalls().size();
        sJobLine9.clear();
        sJobBarOpen = 0;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchJobPages, NULL, GetCurrentThreadId());
        c.run();
        PumpUntilIdle();
        UnhookWindowsHookEx(hook);
        ASSERT_TRUE(TypeKeys(c.afterKeys));
        WaitForRecompute();
        EXPECT_EQ(c.boxes, BoxTitles());
        EXPECT_EQ(c.barOpen, gEditBarContainer != NULL);
        if (c.line1a) {
            EXPECT_EQ(c.line1a, Value("0101"));
            EXPECT_EQ(c.line9, Value("0190"));
        } else {
            EXPECT_EQ(nullptr, Field("Form 1040.1", "0101"));
        }
        // Every page of an output job shows the committed value's total, with the bar closed.
        EXPECT_FALSE(sJobBarOpen);
        if (c.boxes == std::vector<std::string>{"PDF File Created"}) {
            EXPECT_FALSE(sJobLine9.empty());
        }
        for (const std::string &line9 : sJobLine9)
            EXPECT_EQ(c.line9, line9);
        if (!strcmp(c.name, "a field button posted")) {
            EXPECT_EQ(shellCalls + 1, GetShellCalls().size());
        }
    }
}

// Output and Save asked for while the program waits for the recompute worker (a command sent
// from another thread arrives in that wait): the worker still runs, so neither may start.
HANDLE sRelease, sHeld;
DWORD sMainThread;
IsPageShownProc sPageShown;

int HoldWorker(const FormInstance *page)
{
    if (GetCurrentThreadId() != sMainThread) {
        SetEvent(sHeld);
        WaitForSingleObject(sRelease, 10000);
    }
    return sPageShown ? sPageShown(page) : 0;
}

struct SentCommand {
    UINT id;
    LRESULT result;
};

DWORD WINAPI SendCommandToMainWindow(void *param)
{
    SentCommand *sent = (SentCommand *)param;
    sent->result = SendMessageA(gMainWindow, WM_COMMAND, sent->id, 0);
    SetEvent(sRelease);
    return 0;
}

TEST_F(EditBarCommands, OutputAndSaveStartOnlyFromCurrentTotals)
{
    struct Case {
        const char *name;
        UINT command;
        const char *file;   // what the command writes
    } cases[] = {
        {"Generate PDF File", IDM_PDFRETURN, "Copy.pdf"},
        {"Save", IDM_SAVE, "Copy.qvr"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        OpenSample();
        DeleteFileA((folder + "Copy.pdf").c_str());
        std::string before = ReadWholeFile(folder + c.file);
        // Schedule 1 line 26, which the worker carries to Form 1040 line 10.
        static EditRequest request;
        memset(&request, 0, sizeof request);
        request.field = Field("Schedule 1.2", "0210");
        ASSERT_NE(nullptr, request.field);
        FindReturnPages(14, "Schedule 1.2", &request.page, 0);
        strcpy(request.text, "1,300");
        CommitFieldEntry(&request);
        sMainThread = GetCurrentThreadId();
        sRelease = CreateEventA(NULL, TRUE, FALSE, NULL);
        sHeld = CreateEventA(NULL, TRUE, FALSE, NULL);
        sPageShown = gAppCallbacks.isPageShown;
        gAppCallbacks.isPageShown = HoldWorker;
        OnDeferredJobTimer();   // the worker starts and is held at its first changed field
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(sHeld, 10000));
        SentCommand sent = {c.command, -1};
        HANDLE thread = CreateThread(NULL, 0, SendCommandToMainWindow, &sent, 0, NULL);
        EndRecomputeWorker();
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        gAppCallbacks.isPageShown = sPageShown;
        CloseHandle(sRelease);
        CloseHandle(sHeld);
        EXPECT_EQ(0, sent.result);
        EXPECT_TRUE(before == ReadWholeFile(folder + c.file)) << "written while the worker ran";
        EXPECT_TRUE(GetShownMessageBoxes().empty());
        RecomputeAllFormsNow(0);
    }
}

// Alt+F typed while the bar has the focus opens the File menu; the menu's own loop then reads the
// next key (sent when it waits for one).
UINT sMenuFirstItem;
const char *sMenuKey;
int sMenuKeySent;
int sMenuEndedByTimer;

LRESULT CALLBACK WatchMenu(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_INITMENUPOPUP && !sMenuFirstItem)
        sMenuFirstItem = GetMenuItemID((HMENU)call->wParam, 0);
    if (code == HC_ACTION && call->message == WM_ENTERIDLE && sMenuFirstItem && !sMenuKeySent) {
        sMenuKeySent = 1;
        RunUnixCommand(std::string("xdotool key ") + sMenuKey, NULL);
    }
    return CallNextHookEx(0, code, wParam, lParam);
}

void CALLBACK EndStrayMenu(HWND, UINT, UINT_PTR, DWORD)
{
    sMenuEndedByTimer = 1;
    EndMenu();   // a menu nobody closed would hold the test
}

TEST_F(EditBarCommands, AltFOpensTheFileMenuWhileTyping)
{
    struct Case {
        const char *name;
        const char *menuKey;
        std::vector<std::string> boxes;
        int barOpen;
        const char *line1a;
    } cases[] = {
        {"Escape twice leaves the menus and the bar as it was", "Escape Escape", {}, 1, "52,000"},
        {"D chooses Generate PDF File, which commits the bar first", "d", {"PDF File Created"}, 0, "60,000"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        OpenSample();
        if (!c.boxes.empty())
            ScriptMessageBoxAnswer(IDNO);
        TypeIntoLine1a("60000");
        sMenuFirstItem = 0;
        sMenuKey = c.menuKey;
        sMenuKeySent = 0;
        sMenuEndedByTimer = 0;
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
        EXPECT_STREQ(c.barOpen ? "60000" : "", typed);
        EXPECT_EQ(c.line1a, Value("0101"));
        EXPECT_EQ(c.boxes, BoxTitles());
    }
}

}   // namespace
