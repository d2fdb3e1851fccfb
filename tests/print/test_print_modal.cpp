// Printing and PDF output pump messages: while they run the main window and the asking dialog
// take no input; afterwards each is as the job found it (under a modal dialog the main window
// stays disabled). A second PDF write during one is refused.
#include <gtest/gtest.h>
#include "entry/entry.h"
#include "shell/shell.h"
#include "tests/harness/sample.h"
#include "tests/print/test_print_util.h"

#include <functional>
#include <set>

namespace {

struct {
    int seen, mainEnabled, ownerEnabled, secondPdf;
    HWND owner;
    std::string secondPath;
    std::set<std::string> captions;
} sWatch;

// Each caption the progress window is given; at the first, the windows' state and a second PDF.
LRESULT CALLBACK WatchJob(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_SETTEXT && gPrintProgressDialog &&
        GetParent(call->hwnd) == gPrintProgressDialog && GetDlgCtrlID(call->hwnd) == 1226) {
        sWatch.captions.insert((const char *)call->lParam);
        if (!sWatch.seen++) {
            sWatch.mainEnabled = IsWindowEnabled(gMainWindow);
            sWatch.ownerEnabled = sWatch.owner && IsWindowEnabled(sWatch.owner);
            if (!sWatch.secondPath.empty())
                sWatch.secondPdf = GeneratePdf(sWatch.secondPath.c_str(), "second", NULL, NULL, 2, 1);
        }
    }
    return CallNextHookEx(0, code, wParam, lParam);
}

class ModalJobs : public MainWindowTest {
protected:
    void SetUp() override
    {
        std::string sample = SampleReturnFolder("lvmodal", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp"}) +
                             "Sample.qvr";
        if (!FileExists(sample.c_str()))
            GTEST_SKIP() << "no sample return in the build";
        MainWindowTest::SetUp();
        ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)sample.c_str()));
        sWatch = {};
        hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchJob, NULL, GetCurrentThreadId());
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(hook);
        MainWindowTest::TearDown();
    }
    HHOOK hook = 0;
};

// Each window with a Print button, and the main window's own Print command.
TEST_F(ModalJobs, PrintingLeavesEveryOwnerAsItFoundIt)
{
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: scripts/cups.sh makes the file printer the default";
    PrintJobFileLock lock;
    StatementListEntry entries[4] = {};
    ASSERT_EQ(2, ListReturnStatements(entries, 0, 0));
    StatementListEntry *payers = entries[0].field && entries[0].field->seqPrefix[0] == '*' ? &entries[0] : &entries[1];
    StatementParams params = {};
    params.field = payers->field;
    params.page = payers->page;
    params.kind = STATEMENT_KIND_CLICK;
    ErrorListRequest errors = {};
    errors.returnRecord = gOpenReturnPtr;
    AddErrorEntry(&errors.firstError, "Form 1040, Page 1, Line 1", "1x", "The amount may hold digits only.");
    std::pair<const char *, std::function<INT_PTR()>> cases[] = {
        {"explanation", [&] { return OpenReturnExplanation(window, EXPLAIN_NOTE_TO_SELF); }},
        {"error list", [&] { return ShowErrorListDialog(window, &errors); }},
        {"statement grid", [&] { return RunStatementDialog(window, &params); }},
        {"main window", nullptr},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.first);
        sWatch = {};
        auto print = [&](HWND owner) {
            sWatch.owner = owner;
            int mainBefore = IsWindowEnabled(window);
            HWND focusBefore = GetFocus();
            RunDialogWithSteps(
                [&] {
                    if (owner == window)
                        SendMessageA(window, WM_COMMAND, IDM_PRINT, (LPARAM)gTreeSummaryItem);
                    else
                        ClickButton(owner, 1204);
                    return (INT_PTR)0;
                },
                [&](HWND printDialog) { ClickButton(printDialog, IDOK); });
            EXPECT_EQ(mainBefore, IsWindowEnabled(window));
            EXPECT_TRUE(IsWindowEnabled(owner));
            EXPECT_EQ(focusBefore, GetFocus());
        };
        if (c.second)
            RunDialogWithSteps(c.second, print);
        else
            print(window);
        EXPECT_TRUE(sWatch.seen);
        EXPECT_FALSE(sWatch.mainEnabled);
        EXPECT_FALSE(sWatch.ownerEnabled);
    }
    FreeErrorEntries(errors.firstError);
}

// File > Create PDF File...: the progress window names "Summary Page" and "Status Page".
TEST_F(ModalJobs, PdfWriteIsModalAndRefusesASecondWrite)
{
    std::string folder;
    MakeUnixTestFolder("modal", &folder);
    sWatch.secondPath = folder + "Second.txt";
    ScriptMessageBoxAnswer(IDNO);   // "PDF File Created": do not open it
    EXPECT_EQ(1, GeneratePdf((folder + "Modal.qvr").c_str(), NULL, NULL, NULL, 1, 0));
    EXPECT_TRUE(sWatch.seen);
    EXPECT_FALSE(sWatch.mainEnabled);
    EXPECT_EQ(0, sWatch.secondPdf);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ(1u, sWatch.captions.count("Summary Page"));
    EXPECT_EQ(1u, sWatch.captions.count("Status Page"));
}

}  // namespace
