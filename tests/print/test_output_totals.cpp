// Output waits for the totals: a PDF (of the return or of one form) or a print made
// at once after an entry is committed shows the recomputed totals, and no recompute worker runs
// while the job reads the pages.
#include <gtest/gtest.h>
#include "calc/calc.h"
#include "entry/entry.h"
#include "shell/shell.h"
#include "tests/harness/fields.h"
#include "tests/harness/sample.h"
#include "tests/print/test_print_util.h"

#include <functional>
#include <string>
#include <vector>

namespace {

FieldRecord *sLine10;   // Form 1040 line 10: Schedule 1 line 26 carried
struct {
    std::vector<std::string> line10;   // its value as each page of the job was begun
    int workerSeen;
} sJob;

void NoteJobState()
{
    if (gRecomputeThread)
        sJob.workerSeen = 1;
}

// Each page the progress window names is made right after it: the value it shows is noted.
LRESULT CALLBACK WatchPages(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_SETTEXT && gPrintProgressDialog &&
        GetParent(call->hwnd) == gPrintProgressDialog && GetDlgCtrlID(call->hwnd) == 1226) {
        sJob.line10.push_back(sLine10->value ? sLine10->value : "");
        NoteJobState();
    }
    return CallNextHookEx(0, code, wParam, lParam);
}

void CALLBACK WatchWorker(HWND, UINT, UINT_PTR, DWORD)
{
    NoteJobState();
}

class OutputTotals : public MainWindowTest {
protected:
    std::string folder;
    FormInstance *schedule1b = NULL;
    void SetUp() override
    {
        folder = SampleReturnFolder("lvtotals", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp"});
        if (!FileExists((folder + "Sample.qvr").c_str()))
            GTEST_SKIP() << "no sample return in the build";
        MainWindowTest::SetUp();
        ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)(folder + "Sample.qvr").c_str()));
        WaitForRecompute();
        FormInstance *form1040 = NULL;
        ASSERT_EQ(1, FindReturnPages(14, "Form 1040.1", &form1040, 0));
        ASSERT_EQ(1, FindReturnPages(14, "Schedule 1.2", &schedule1b, 0));
        sLine10 = Field(form1040->fieldTable, "0200");
        ASSERT_TRUE(sLine10 && Field(schedule1b->fieldTable, "0210"));
    }
    void TearDown() override
    {
        gReturnModified = 0;
        MainWindowTest::TearDown();
    }
    // Schedule 1 line 26 as the edit bar commits it; line 10 is left for the recompute.
    void CommitLine26(const char *text)
    {
        static EditRequest request;
        memset(&request, 0, sizeof request);
        request.field = Field(schedule1b->fieldTable, "0210");
        request.page = schedule1b;
        strcpy(request.text, text);
        CommitFieldEntry(&request);
    }
};

TEST_F(OutputTotals, OutputWaitsForTheRecomputeAndNoWorkerRunsDuringIt)
{
    std::string returnPath = folder + "Totals.qvr";
    struct Case {
        const char *name;
        int pages;   // 1: the progress window names the pages made
        std::function<int()> run;
    } cases[] = {
        {"PDF of the return", 1, [&] {
             ScriptMessageBoxAnswer(IDNO);   // "PDF File Created": do not open it
             return GeneratePdf(returnPath.c_str(), NULL, NULL, NULL, 1, 0);
         }},
        {"PDF of one form", 1, [&] {
             ScriptMessageBoxAnswer(IDNO);
             return GeneratePdf(returnPath.c_str(), NULL, "Form 1040", NULL, 1, 0);
         }},
        {"print", 1, [&] {
             return (int)RunDialogWithSteps([&] { return (INT_PTR)PrintForms(window, NULL, NULL, 1, 1, NULL); },
                                            [&](HWND printDialog) { ClickButton(printDialog, IDOK); });
         }},
    };
    const char *values[] = {"1,200", "1,300"};
    int n = 0;
    for (Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (!strcmp(c.name, "print") && !HavePrinter())
            continue;   // scripts/cups.sh makes the file printer
        PrintJobFileLock lock;
        const char *value = values[n++ % 2];
        CommitLine26(value);
        ASSERT_EQ(0, gRecomputeDone);   // the full recompute is only asked for
        sJob.line10.clear();
        sJob.workerSeen = 0;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchPages, NULL, GetCurrentThreadId());
        UINT_PTR timer = SetTimer(NULL, 0, 5, WatchWorker);
        EXPECT_EQ(1, c.run());
        KillTimer(NULL, timer);
        UnhookWindowsHookEx(hook);
        EXPECT_FALSE(sJob.workerSeen);
        EXPECT_STREQ(value, sLine10->value);
        if (c.pages) {
            EXPECT_FALSE(sJob.line10.empty());
        }
        for (const std::string &shown : sJob.line10)
            EXPECT_EQ(value, shown);
        WaitForRecompute();
        EXPECT_STREQ(value, sLine10->value);
    }
}

}  // namespace
