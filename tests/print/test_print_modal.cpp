// Printing and PDF output pump messages: while they run the main window (and the dialog that
// asked) takes no input, and afterwards each window is as the job found it - under a modal
// dialog the main window stays disabled. A second PDF write during one is refused.
#include <gtest/gtest.h>
#include "entry/entry.h"
#include "print/print.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"
#include "tests/print/test_print_util.h"

#include <string.h>
#include <functional>
#include <set>
#include <string>

namespace {

// What a timer saw while the job's progress window was up.
struct JobWatch {
    int seen, mainEnabled, ownerEnabled, secondPdf, inside;
    HWND owner;
    std::string secondPath;
    std::set<std::string> captions;
};
JobWatch sWatch;

void CALLBACK WatchJob(HWND, UINT, UINT_PTR, DWORD)
{
    if (!gPrintProgressDialog || sWatch.inside)
        return;
    sWatch.inside = 1;
    if (!sWatch.seen++) {
        sWatch.mainEnabled = IsWindowEnabled(gMainWindow);
        sWatch.ownerEnabled = sWatch.owner ? IsWindowEnabled(sWatch.owner) : 0;
        if (!sWatch.secondPath.empty())
            sWatch.secondPdf = GeneratePdf(sWatch.secondPath.c_str(), "second", NULL, NULL, 2, 1);
    }
    sWatch.inside = 0;
}

// Every caption the progress window is given.
LRESULT CALLBACK CatchCaption(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_SETTEXT && gPrintProgressDialog &&
        GetParent(call->hwnd) == gPrintProgressDialog && GetDlgCtrlID(call->hwnd) == 1226)
        sWatch.captions.insert((const char *)call->lParam);
    return CallNextHookEx(0, code, wParam, lParam);
}

class ModalJobs : public ::testing::Test {
protected:
    HWND window = 0;
    void SetUp() override
    {
        std::string sample =
            SampleReturnFolder("lvmodal", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp"}) +
            "Sample.qvr";
        if (!FileExists(sample.c_str()))
            GTEST_SKIP() << "no sample return in the build";
        window = OpenMainWindow();
        ASSERT_TRUE(window);
        ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)sample.c_str()));
        PumpMessages(50);
        sWatch = JobWatch();
    }
    void TearDown() override
    {
        CloseOpenReturn();
        DestroyMainWindow(window);
        gReturnModified = 0;
    }
};

// Every window with a Print button, and the main window's own Print: the main window's enabled
// state and the focus are as before, and the asking window took no input while the job ran.
TEST_F(ModalJobs, PrintingLeavesEveryOwnerAsItFoundIt)
{
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: scripts/cups.sh makes the file printer the default";
    PrintJobFileLock lock;
    StatementListEntry entries[4] = {};
    ASSERT_EQ(2, ListReturnStatements(entries, 0, 0));
    StatementListEntry *payers = entries[0].field && entries[0].field->seqPrefix[0] == '*' ? &entries[0] : &entries[1];
    ErrorListRequest errors = {};
    errors.returnRecord = gOpenReturnPtr;
    AddErrorEntry(&errors.firstError, "Form 1040, Page 1, Line 1", "1x", "The amount may hold digits only.");
    StatementParams params = {};
    params.field = payers->field;
    params.page = payers->page;
    params.kind = STATEMENT_KIND_CLICK;
    params.caption = (char *)"Schedule B, Page 1";

    struct Case {
        const char *name;
        std::function<INT_PTR()> open;   // null: the main window's Print command
    } cases[] = {
        {"explanation", [&] { return OpenReturnExplanation(window, EXPLAIN_NOTE_TO_SELF); }},
        {"error list", [&] { return ShowErrorListDialog(window, &errors); }},
        {"statement grid", [&] { return RunStatementDialog(window, &params); }},
        {"main window", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        sWatch = JobWatch();
        int mainBefore = -1, mainAfter = -1, ownerAfter = -1;
        HWND focusBefore = 0, focusAfter = 0;
        auto print = [&](HWND owner) {
            sWatch.owner = owner;
            mainBefore = IsWindowEnabled(window);
            focusBefore = GetFocus();
            UINT_PTR timer = 0;
            RunDialogWithSteps(
                [&] {
                    if (owner == window)
                        SendMessageA(window, WM_COMMAND, IDM_PRINT, (LPARAM)gTreeSummaryItem);
                    else
                        ClickButton(owner, 1204);
                    return (INT_PTR)0;
                },
                [&](HWND printDialog) {
                    timer = SetTimer(0, 0, 1, WatchJob);
                    ClickButton(printDialog, IDOK);
                });
            KillTimer(0, timer);
            mainAfter = IsWindowEnabled(window);
            ownerAfter = IsWindowEnabled(owner);
            focusAfter = GetFocus();
        };
        if (c.open)
            RunDialogWithSteps(c.open, print);
        else
            print(window);
        EXPECT_TRUE(sWatch.seen);
        EXPECT_FALSE(sWatch.mainEnabled);
        EXPECT_FALSE(sWatch.ownerEnabled);
        EXPECT_EQ(c.open ? FALSE : TRUE, mainBefore);
        EXPECT_EQ(mainBefore, mainAfter);
        EXPECT_TRUE(ownerAfter);
        EXPECT_EQ(focusBefore, focusAfter);
    }
    FreeErrorEntries(errors.firstError);
}

// During File > Create PDF File... the main window takes no input, a second write is refused,
// and the progress window names each page as the forms tree does ("Summary Page", "Status Page").
TEST_F(ModalJobs, PdfWriteIsModalAndRefusesASecondWrite)
{
    std::string wineFolder;
    MakeUnixTestFolder("modal", &wineFolder);
    sWatch.secondPath = wineFolder + "Second.txt";
    UINT_PTR timer = SetTimer(0, 0, 1, WatchJob);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CatchCaption, NULL, GetCurrentThreadId());
    ScriptMessageBoxAnswer(IDNO);   // "PDF File Created": do not open it
    EXPECT_EQ(1, GeneratePdf((wineFolder + "Modal.qvr").c_str(), NULL, NULL, NULL, 1, 0));
    UnhookWindowsHookEx(hook);
    KillTimer(0, timer);
    EXPECT_TRUE(sWatch.seen);
    EXPECT_FALSE(sWatch.mainEnabled);
    EXPECT_EQ(0, sWatch.secondPdf);
    EXPECT_FALSE(FileExists((wineFolder + "Second.pdf").c_str()));
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ(1u, sWatch.captions.count("Summary Page"));
    EXPECT_EQ(1u, sWatch.captions.count("Status Page"));
}

}  // namespace
