// The recompute scheduler: the worker thread, its cancel flag, the deferred job timer and the
// repaint messages it sends, on a small Form 1040 with its Schedule 1.
#include <gtest/gtest.h>

#include <set>
#include <string.h>
#include <string>
#include <vector>

#include "calc/calc.h"
#include "prepare/prepare.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/fields.h"

namespace {

// Form 1040 page 1: lines 1a, 1b, 1z, 2b, 8, 9, 10, 11, 12, 13, 14, 15.
const FieldDesc kForm1040[] = {
    {"0101", "N", nullptr, "50,000"},
    {"0102", "N", nullptr, nullptr},
    {"0109", "CN", "0101,0102", nullptr},
    {"0122", "N", nullptr, "300"},
    {"0180", "CN", "{Schedule 1.1}0100", nullptr},
    {"0190", "CN", "0109,0122,0180", nullptr},
    {"0200", "CN", "{Schedule 1.2}0260", nullptr},
    {"0210", "CN", "0190,-0200", nullptr},
    {"0220", "N", nullptr, "14,600"},
    {"0230", "N", nullptr, nullptr},
    {"0240", "CN", "0220,0230", nullptr},
    {"0250", "CN", "0210,-0240,M#0", nullptr},
};
// Schedule 1, page 1: line 10 from its line 1; page 2: line 26 from line 25.
const FieldDesc kSchedule1a[] = {{"0010", "N", nullptr, "1,000"}, {"0100", "CN", "0010", nullptr}};
const FieldDesc kSchedule1b[] = {{"0250", "N", nullptr, "500"}, {"0260", "CN", "0250", nullptr}};

DWORD sUiThread;
int sTimerTicks;
std::vector<FieldRecord *> sRedrawn;
int sRedrawOffThread;
FormInstance *sShownPage;
HANDLE sWorkerInside, sWorkerProceed;
int sHookMode;                 // 0 nothing, 1 block until sWorkerProceed, 2 pause 200 ms
int sHookWorkerCalls;          // repaint hook calls made on a worker thread

LRESULT CALLBACK TestMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == IDT_DEFERRED_JOB) {
        sTimerTicks++;
        OnDeferredJobTimer();
        return 0;
    }
    if (message == WM_PAGE_REDRAWFIELD) {
        const PageRedrawBlock *block = (const PageRedrawBlock *)lParam;
        if (GetCurrentThreadId() != sUiThread)
            sRedrawOffThread++;
        if (block && block->count == 1 && block->invalidate == 1)
            sRedrawn.push_back(block->fields);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int IsShown(const FormInstance *page)
{
    return page == sShownPage;
}

void DrawHook(FieldRecord *, FormInstance *)
{
    if (GetCurrentThreadId() == sUiThread)
        return;
    if (sHookWorkerCalls++ > 0)
        return;
    SetEvent(sWorkerInside);
    if (sHookMode == 1)
        WaitForSingleObject(sWorkerProceed, 5000);
    else if (sHookMode == 2)
        Sleep(200);
}

bool RecomputeFinished()
{
    return gRecomputeDone == 1 && !gRecomputeThread;
}

bool WorkerInside()
{
    return WaitForSingleObject(sWorkerInside, 0) == WAIT_OBJECT_0;
}

class Recompute : public ::testing::Test {
protected:
    FormInstance *pages[3] = {};
    HWND window = nullptr;
    AppCallbacks savedCallbacks = {};

    void SetUp() override
    {
        sUiThread = GetCurrentThreadId();
        sTimerTicks = 0;
        sRedrawn.clear();
        sRedrawOffThread = 0;
        sHookMode = 0;
        sHookWorkerCalls = 0;
        sWorkerInside = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        sWorkerProceed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TestMainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CalcTestMain";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "CalcTestMain", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        gMainWindow = window;
        gPageViewWindow = window;
        pages[0] = MakePage("Form 1040.1", MakeTable(kForm1040, sizeof kForm1040 / sizeof kForm1040[0]));
        pages[1] = MakePage("Schedule 1.1", MakeTable(kSchedule1a, 2));
        pages[2] = MakePage("Schedule 1.2", MakeTable(kSchedule1b, 2));
        SetTestReturnPages(pages, 3);
        sShownPage = pages[0];
        savedCallbacks = gAppCallbacks;
        gAppCallbacks.isPageShown = IsShown;
        gAppCallbacks.drawChangedField = DrawHook;
    }
    void TearDown() override
    {
        SetEvent(sWorkerProceed);
        EndRecomputeWorker();
        PumpUntil([] { return !gRecomputeThread; }, 2000);
        OnDeferredJobTimer();
        gAppCallbacks = savedCallbacks;
        gMainWindow = nullptr;
        gPageViewWindow = nullptr;
        DestroyWindow(window);
        SetTestReturnPages(nullptr, 0);
        for (FormInstance *&p : pages)
            p = FreeFormInstance(p);
        CloseHandle(sWorkerInside);
        CloseHandle(sWorkerProceed);
    }
    FieldRecord *Field(int page, const char *seq)
    {
        FieldTable *t = pages[page]->fieldTable;
        for (int i = 1; i < t->count; i++)
            if (strcmp(t->fields[i].seq, seq) == 0)
                return &t->fields[i];
        return nullptr;
    }
    std::string Line(const char *seq)
    {
        FieldRecord *f = Field(0, seq);
        return f && f->value ? f->value : "";
    }
    void ExpectLines(const char *l1z, const char *l9, const char *l11, const char *l15)
    {
        EXPECT_EQ(Line("0109"), l1z);
        EXPECT_EQ(Line("0190"), l9);
        EXPECT_EQ(Line("0210"), l11);
        EXPECT_EQ(Line("0250"), l15);
    }
};

TEST_F(Recompute, FullRecomputeNowFollowsReferencesBetweenForms)
{
    EXPECT_GT(RecomputeAllFormsNow(0), 0);
    // Line 8 reads Schedule 1, which is filed after Form 1040: a second pass picks it up.
    EXPECT_EQ(Line("0180"), "1,000");
    EXPECT_EQ(Line("0200"), "500");
    ExpectLines("50,000", "51,300", "50,800", "36,200");
    EXPECT_EQ(Line("0240"), "14,600");
    EXPECT_EQ(gRecomputeDone, 1);
    EXPECT_EQ(RecomputeAllFormsNow(0), 0);  // nothing left to change
    // Taxable income does not go below zero.
    SetFieldText(&Field(0, "0230")->value, "90,000");
    RecomputeForm(pages[0]);
    EXPECT_EQ(Line("0250"), "0");
}

TEST_F(Recompute, WorkerRecomputesAfterAChangeAndRepaintsOnlyThePageShown)
{
    RecomputeAllFormsNow(0);
    sRedrawn.clear();
    SetFieldText(&Field(0, "0101")->value, "60,000");
    SetFieldText(&Field(1, "0010")->value, "2,000");
    ASSERT_EQ(RequestRecompute(1, nullptr), 1);
    EXPECT_EQ(gRecomputeDone, 0);
    ASSERT_TRUE(PumpUntil(RecomputeFinished, 10000));
    EXPECT_EQ(Field(1, "0100")->value, std::string("2,000"));
    ExpectLines("60,000", "62,300", "61,800", "47,200");
    // Repaints were sent for the changed fields of Form 1040 only, handled on this thread.
    EXPECT_EQ(sRedrawOffThread, 0);
    std::set<FieldRecord *> redrawn(sRedrawn.begin(), sRedrawn.end());
    EXPECT_TRUE(redrawn.count(Field(0, "0109")));
    EXPECT_TRUE(redrawn.count(Field(0, "0250")));
    EXPECT_FALSE(redrawn.count(Field(1, "0100")));
    EXPECT_FALSE(redrawn.count(Field(0, "0240")));  // unchanged
    // Nothing pending: the timer has been killed.
    int ticks = sTimerTicks;
    PumpMessages(100);
    EXPECT_EQ(sTimerTicks, ticks);
}

TEST_F(Recompute, SecondChangeDuringARecomputeEndsWithTheRightValues)
{
    RecomputeAllFormsNow(0);
    sHookMode = 1;  // the first worker waits inside its first repaint
    SetFieldText(&Field(0, "0101")->value, "60,000");
    RequestRecompute(1, nullptr);
    ASSERT_TRUE(PumpUntil(WorkerInside, 5000));
    ASSERT_NE(gRecomputeThread, nullptr);
    // The second change while the first worker is in the middle of its pass.
    SetFieldText(&Field(0, "0102")->value, "2,000");
    SetFieldText(&Field(2, "0250")->value, "700");
    RequestRecompute(1, nullptr);
    EXPECT_EQ(gRecomputeCancel, 1);
    SetEvent(sWorkerProceed);
    ASSERT_TRUE(PumpUntil(RecomputeFinished, 10000));
    ExpectLines("62,000", "63,300", "62,600", "48,000");
    EXPECT_EQ(Line("0200"), "700");
    // The stopped worker repainted line 1z once; the worker started after it repainted again.
    EXPECT_GE(sHookWorkerCalls, 2);
}

TEST_F(Recompute, RecomputeFormWhileTheWorkerSendsDoesNotDeadlock)
{
    RecomputeAllFormsNow(0);
    sHookMode = 2;  // the worker pauses, then sends its repaint while this thread waits for it
    SetFieldText(&Field(0, "0101")->value, "70,000");
    RequestRecompute(1, nullptr);
    ASSERT_TRUE(PumpUntil(WorkerInside, 5000));
    size_t before = sRedrawn.size();
    DWORD start = GetTickCount();
    SetFieldText(&Field(0, "0230")->value, "1,000");
    RecomputeForm(pages[0]);
    EXPECT_LT((int)(GetTickCount() - start), 3000);
    EXPECT_EQ(gRecomputeThread, nullptr);
    EXPECT_GT(sRedrawn.size(), before);           // the worker's repaint was handled meanwhile
    EXPECT_EQ(Line("0240"), "15,600");
    EXPECT_EQ(gRecomputeDone, 0);                 // the stopped full recompute is queued again
    ASSERT_TRUE(PumpUntil(RecomputeFinished, 10000));
    ExpectLines("70,000", "71,300", "70,800", "55,200");
}

TEST_F(Recompute, RemovedPagesWaitForTheWorkerAndJobsAreValidated)
{
    RecomputeAllFormsNow(0);
    sHookMode = 1;
    SetFieldText(&Field(0, "0101")->value, "10");
    RequestRecompute(1, nullptr);
    ASSERT_TRUE(PumpUntil(WorkerInside, 5000));
    // A removed page (not part of the return any more) is queued while the worker runs.
    FieldDesc single = {"0010", "N", nullptr, "5"};
    FormInstance *removed = MakePage("Form W-2.1", MakeTable(&single, 1));
    EXPECT_EQ(RequestRecompute(2, removed), 1);
    EXPECT_EQ(RequestRecompute(2, removed), 1);   // queued once only
    EXPECT_EQ(RequestRecompute(2, nullptr), 0);
    EXPECT_EQ(RequestRecompute(7, nullptr), 0);
    EXPECT_EQ(RequestRecompute(0, nullptr), 1);
    EXPECT_EQ(gRecomputeCancel, 1);
    SetEvent(sWorkerProceed);
    ASSERT_TRUE(PumpUntil([] { return !gRecomputeThread; }, 5000));
    // The worker was only told to stop (job 0): the values of the stopped run stay as they are
    // until the next full recompute.
    EXPECT_EQ(gRecomputeDone, 0);
    RecomputeAllFormsNow(1);
    ExpectLines("10", "1,310", "810", "0");
    EXPECT_EQ(gRecomputeDone, 1);
}

}  // namespace
