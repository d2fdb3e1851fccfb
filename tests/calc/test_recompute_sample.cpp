// The recompute worker on the sample return the build makes, opened in the main window: a
// changed wage on Form 1040 reaches lines 1z, 9, 11 and 15 once the worker has run, and a second
// change made while a worker is in the middle of its pass ends with the values of that change.
#include "calc/calc.h"
#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

namespace {

// The sample return with its FormPaks beside it, in a folder of this test program's own.
std::string SampleReturnPath()
{
    std::string path = SampleReturnFolder("lvrecompute", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"}) + "Sample.qvr";
    return FileExists(path.c_str()) ? path : "";
}

// The page view's drawing hook, wrapped: the worker's first repaint may wait here so that the
// test can change values while a worker is known to be in the middle of its pass.
DrawChangedFieldProc sPageViewDraw;
DWORD sUiThread;
HANDLE sWorkerInside, sWorkerProceed;
int sHoldWorker;          // 1: the next worker repaint waits for sWorkerProceed; 2: it pauses 300 ms
LONG sWorkerRepaints;

void HoldingDrawHook(FieldRecord *field, FormInstance *page)
{
    if (sPageViewDraw)
        sPageViewDraw(field, page);
    if (GetCurrentThreadId() == sUiThread)
        return;
    InterlockedIncrement(&sWorkerRepaints);
    int hold = sHoldWorker;
    if (!hold)
        return;
    sHoldWorker = 0;
    SetEvent(sWorkerInside);
    if (hold == 1)
        WaitForSingleObject(sWorkerProceed, 10000);
    else
        Sleep(300);
}

bool WorkerEnded()
{
    return !gRecomputeThread && gRecomputeDone == 1;
}

bool WorkerInside()
{
    return WaitForSingleObject(sWorkerInside, 0) == WAIT_OBJECT_0;
}

class RecomputeSample : public ::testing::Test {
protected:
    HWND window = NULL;
    FormInstance *form1040 = NULL;
    FormInstance *schedule1b = NULL;

    void SetUp() override
    {
        std::string path = SampleReturnPath();
        if (path.empty())
            GTEST_SKIP() << "the sample return was not built";
        sUiThread = GetCurrentThreadId();
        sHoldWorker = 0;
        sWorkerRepaints = 0;
        sWorkerInside = CreateEventA(NULL, TRUE, FALSE, NULL);
        sWorkerProceed = CreateEventA(NULL, TRUE, FALSE, NULL);
        gReturnModified = 0;
        window = CreateMainWindow(gInstance);
        ASSERT_TRUE(window != NULL);
        ShowWindow(window, SW_SHOW);
        PumpMessages(20);
        ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
        ASSERT_TRUE(PumpUntil(WorkerEnded, 10000));
        ASSERT_EQ(1, FindReturnPages(14, "Form 1040.1", &form1040, 0));
        ASSERT_EQ(1, FindReturnPages(14, "Schedule 1.2", &schedule1b, 0));
        ASSERT_TRUE(form1040 && form1040->fieldTable && schedule1b && schedule1b->fieldTable);
        // The worker repaints only the page shown: the first page of Form 1040.
        ASSERT_EQ(form1040, (FormInstance *)GetCurrentDocument(4));
        sPageViewDraw = gAppCallbacks.drawChangedField;
        gAppCallbacks.drawChangedField = HoldingDrawHook;
    }
    void TearDown() override
    {
        if (sWorkerProceed)
            SetEvent(sWorkerProceed);
        if (sPageViewDraw)
            gAppCallbacks.drawChangedField = sPageViewDraw;
        sPageViewDraw = NULL;
        EndRecomputeWorker();
        gReturnModified = 0;
        if (window)
            CloseOpenReturn();
        DestroyMainWindow(window);
        if (sWorkerInside)
            CloseHandle(sWorkerInside);
        if (sWorkerProceed)
            CloseHandle(sWorkerProceed);
        sWorkerInside = sWorkerProceed = NULL;
    }
    FieldRecord *Field(FormInstance *page, const char *seq)
    {
        FieldTable *table = page->fieldTable;
        for (int i = 1; i < table->count; i++)
            if (table->fields[i].seq && !strcmp(table->fields[i].seq, seq))
                return &table->fields[i];
        return NULL;
    }
    std::string Line(const char *seq)
    {
        FieldRecord *f = Field(form1040, seq);
        return !f ? "<no field>" : f->value ? f->value : "";
    }
    void ExpectLines(const char *l1z, const char *l9, const char *l11, const char *l15)
    {
        EXPECT_EQ(l1z, Line("0109"));
        EXPECT_EQ(l9, Line("0190"));
        EXPECT_EQ(l11, Line("0210"));
        EXPECT_EQ(l15, Line("0250"));
    }
};

TEST_F(RecomputeSample, ChangedWagesReachLines9_11And15AfterTheWorkerRuns)
{
    // The sample as opened: wages 52,000, interest 240, Schedule 1 line 10 1,510 and line 26 450,
    // standard deduction 29,200.
    ExpectLines("52,000", "53,750", "53,300", "24,100");
    EXPECT_EQ("1,510", Line("0180"));
    EXPECT_EQ("450", Line("0200"));
    EXPECT_EQ("29,200", Line("0240"));

    ASSERT_EQ(1, SetFieldText(&Field(form1040, "0101")->value, "60,000"));
    ASSERT_EQ(1, RequestRecompute(1, 0));
    EXPECT_EQ(0, gRecomputeDone);
    ASSERT_TRUE(PumpUntil(WorkerEnded, 10000));
    ExpectLines("60,000", "61,750", "61,300", "32,100");
    EXPECT_GT(sWorkerRepaints, 0);  // the changed lines were repainted by the worker
    EXPECT_EQ("29,200", Line("0240"));

    // A change on Schedule 1, filed after Form 1040, reaches line 10 and with it lines 11 and 15.
    ASSERT_EQ(1, SetFieldText(&Field(schedule1b, "0210")->value, "1,450"));
    ASSERT_EQ(1, RequestRecompute(1, 0));
    ASSERT_TRUE(PumpUntil(WorkerEnded, 10000));
    EXPECT_EQ("1,450", Line("0200"));
    ExpectLines("60,000", "61,750", "60,300", "31,100");
}

TEST_F(RecomputeSample, SecondChangeDuringARecomputeEndsWithItsValues)
{
    sHoldWorker = 1;  // the worker waits inside its first repaint (line 1z)
    ASSERT_EQ(1, SetFieldText(&Field(form1040, "0101")->value, "60,000"));
    ASSERT_EQ(1, RequestRecompute(1, 0));
    ASSERT_TRUE(PumpUntil(WorkerInside, 10000));
    ASSERT_TRUE(gRecomputeThread != NULL);
    EXPECT_EQ("60,000", Line("0109"));
    // The second change while the first worker is in the middle of its pass.
    ASSERT_EQ(1, SetFieldText(&Field(form1040, "0101")->value, "70,000"));
    ASSERT_EQ(1, SetFieldText(&Field(schedule1b, "0210")->value, "1,450"));
    ASSERT_EQ(1, RequestRecompute(1, 0));
    EXPECT_EQ(1, gRecomputeCancel);
    EXPECT_EQ(0, gRecomputeDone);
    SetEvent(sWorkerProceed);
    ASSERT_TRUE(PumpUntil(WorkerEnded, 10000));
    ExpectLines("70,000", "71,750", "70,300", "41,100");
    EXPECT_EQ("1,450", Line("0200"));
    EXPECT_EQ(0, gRecomputeCancel);
    // The stopped worker repainted line 1z; the worker started after it repainted the new values.
    EXPECT_GE(sWorkerRepaints, 2);
}

TEST_F(RecomputeSample, ValueCommittedWhileTheWorkerRunsEndsWithItsValues)
{
    sHoldWorker = 2;  // the worker pauses in its first repaint, then goes on
    ASSERT_EQ(1, SetFieldText(&Field(form1040, "0101")->value, "60,000"));
    ASSERT_EQ(1, RequestRecompute(1, 0));
    ASSERT_TRUE(PumpUntil(WorkerInside, 10000));
    ASSERT_TRUE(gRecomputeThread != NULL);
    // The edit bar's commit of a new wage stops the worker, stores the value, recomputes the
    // form and asks for the full recompute again.
    static EditRequest request;
    memset(&request, 0, sizeof(request));
    request.field = Field(form1040, "0101");
    request.page = form1040;
    strcpy(request.text, "45,500");
    CommitFieldEntry(&request);
    EXPECT_TRUE(gRecomputeThread == NULL);
    EXPECT_EQ("45,500", Line("0101"));
    ExpectLines("45,500", "47,250", "46,800", "17,600");
    ASSERT_TRUE(PumpUntil(WorkerEnded, 10000));
    ExpectLines("45,500", "47,250", "46,800", "17,600");
}

}  // namespace

TEST_F(RecomputeSample, ClosingWhileTheWorkerRunsStopsItAndFreesWhatTheReturnOwned)
{
    EXPECT_TRUE(gCachedPageData != NULL);  // the page shown was read
    ASSERT_TRUE(GetFormRecord(7) != NULL);  // as a page's downloaded soft font would be
    sHoldWorker = 2;
    ASSERT_EQ(1, SetFieldText(&Field(form1040, "0101")->value, "60,000"));
    ASSERT_EQ(1, RequestRecompute(1, 0));
    ASSERT_TRUE(PumpUntil(WorkerInside, 10000));
    ASSERT_TRUE(gRecomputeThread != NULL);
    // Close without saving: the worker is stopped before the pages it holds are freed.
    ScriptMessageBoxAnswer(IDNO);
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0));
    EXPECT_TRUE(gRecomputeThread == NULL);
    form1040 = schedule1b = NULL;
    EXPECT_EQ(0, FindReturnPages(2, NULL, NULL, 0));
    EXPECT_EQ(0u, gReturnPageCount);
    EXPECT_EQ(0, gFixedTabCount);
    EXPECT_EQ(0, gFormRecordCount);
    EXPECT_TRUE(gCurrentFormRecord == NULL);
    EXPECT_TRUE(gCachedPageData == NULL && gCachedPageSource == NULL);
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    ASSERT_TRUE(root != NULL);
    EXPECT_TRUE(root->formPaks == NULL);
    EXPECT_STREQ("", gReturnPath);
    EXPECT_EQ(0, gReturnModified);
    // Whatever was still queued runs on an empty return and the deferred job ends.
    PumpMessages(100);
    EXPECT_TRUE(gRecomputeThread == NULL);
    // The sample opens again with the values of its file, computed afresh.
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)SampleReturnPath().c_str()));
    ASSERT_TRUE(PumpUntil(WorkerEnded, 10000));
    ASSERT_EQ(1, FindReturnPages(14, "Form 1040.1", &form1040, 0));
    ExpectLines("52,000", "53,750", "53,300", "24,100");
}

// Schedule 1 lines 8a, 8d and 8s are printed in parentheses: they hold negative amounts and
// line 9 adds them like every other line 8, down to Form 1040 line 8.
TEST_F(RecomputeSample, Schedule1LossesAreAddedAsNegativeAmounts)
{
    FormInstance *schedule1a = NULL;
    ASSERT_EQ(1, FindReturnPages(14, "Schedule 1.1", &schedule1a, 0));
    struct {
        const char *seq8a, *seq8b, *seq8d, *seq8s;
        const char *line9, *line10, *form1040Line8;
    } cases[] = {
        {"(4,000)", "1,000", "", "", "-3,000", "-1,490", "-1,490"},
        {"-4,000", "1,000", "-500", "-250", "-3,750", "-2,240", "-2,240"},
        {"", "1,000", "", "", "1,000", "2,510", "2,510"},
    };
    for (const auto &c : cases) {
        SetFieldText(&Field(schedule1a, "0801")->value, c.seq8a);
        SetFieldText(&Field(schedule1a, "0802")->value, c.seq8b);
        SetFieldText(&Field(schedule1a, "0804")->value, c.seq8d);
        SetFieldText(&Field(schedule1a, "0819")->value, c.seq8s);
        ASSERT_EQ(1, RequestRecompute(1, 0));
        ASSERT_TRUE(PumpUntil(WorkerEnded, 10000));
        EXPECT_EQ(c.line9, std::string(Field(schedule1a, "0090")->value)) << c.seq8a;
        EXPECT_EQ(c.line10, std::string(Field(schedule1a, "0100")->value)) << c.seq8a;
        EXPECT_EQ(c.form1040Line8, Line("0180")) << c.seq8a;
    }
}

// Every road that stores a typed value ends the recompute worker before it writes: the row
// commit (here a name row of a multi-field requester, which never reaches CommitFieldEntry) and
// the statement road.
TEST_F(RecomputeSample, EveryValueWriterEndsTheWorkerFirst)
{
    for (int road = 0; road < 2; road++) {
        sHoldWorker = 2;   // the worker pauses 300 ms inside its first repaint
        ResetEvent(sWorkerInside);
        ASSERT_EQ(1, SetFieldText(&Field(form1040, "0101")->value, road ? "61,000" : "60,000"));
        ASSERT_EQ(1, RequestRecompute(1, 0));
        ASSERT_TRUE(PumpUntil(WorkerInside, 10000));
        ASSERT_TRUE(gRecomputeThread != NULL);
        static EditRequest request;
        static EditBarPart part;
        memset(&request, 0, sizeof(request));
        memset(&part, 0, sizeof(part));
        request.page = form1040;
        request.requesterKind = EDIT_REQUESTER_MULTIFIELD;
        part.field = Field(form1040, "0010");
        part.edited = part.valid = 1;
        if (road == 0) {
            part.controlKind = ENTRY_CONTROL_NAME2;
            part.nameFields[0] = Field(form1040, "0010");
            part.nameFields[1] = Field(form1040, "0011");
            strcpy(part.boxTexts[0], "John A");
            strcpy(part.boxTexts[1], "Sample");
            strcpy(part.text, "John A");
            EditBarPair pair = {&request, &part};
            EXPECT_EQ(1, CommitEditBarPart(&pair));
        } else {
            strcpy(part.text, "Note");
            OpenFieldStatement(&request, &part);
        }
        EXPECT_TRUE(gRecomputeThread == NULL) << "road " << road;
        PumpMessages(20);
        WaitForRecompute();
    }
}

// Form 1040 line 2b is Schedule B line 4 (line 2, the payers' statement total of 240 and the
// page rows, less line 3), and line 9 adds it.
TEST_F(RecomputeSample, InterestLine2bFollowsScheduleBLine4)
{
    FormInstance *scheduleB = NULL;
    ASSERT_EQ(1, FindReturnPages(14, "Schedule B.1", &scheduleB, 0));
    EXPECT_EQ("240", Line("0122"));
    const char *cases[][4] = {{"", "100", "140", "53,650"}, {"1,145", "", "1,385", "54,895"}};   // row 1, line 3: 2b, 9
    for (const auto &c : cases) {
        SetFieldText(&Field(scheduleB, "1101")->value, c[0]);
        SetFieldText(&Field(scheduleB, "0300")->value, c[1]);
        ASSERT_EQ(1, RequestRecompute(1, 0));
        ASSERT_TRUE(PumpUntil(WorkerEnded, 10000));
        EXPECT_EQ(c[2], Line("0122")) << c[0] << " / " << c[1];
        EXPECT_EQ(c[3], Line("0190")) << c[0] << " / " << c[1];
    }
}

// Each "Enter ... here and on Form 1040 ..., line N" that a page of the sample prints is a
// formula: a value typed on the source form reaches the total line and, recomputed, the Form 1040
// line the page names; line 9 adds them. A printed carry missing from this table fails too.
TEST_F(RecomputeSample, EveryPrintedCarryReachesItsForm1040Line)
{
    struct Carry {
        const char *page, *input, *typed;   // a value typed on the source form
        const char *sourceSeq, *targetSeq, *targetLine;
    } carries[] = {
        {"Schedule B.1", "1101", "1,000", "0400", "0122", "2b"},   // interest, line 4
        {"Schedule B.1", "1501", "2,455", "0600", "0132", "3b"},   // ordinary dividends, line 6
        {"Schedule 1.1", "0030", "700", "0100", "0180", "8"},      // additional income, line 10
        {"Schedule 1.2", "0110", "250", "0260", "0200", "10"},     // adjustments, line 26
    };
    auto listed = [&](const FormInstance *page, const char *seq) {
        for (const Carry &c : carries)
            if (!_stricmp(page->pageKey, c.page) && !strcmp(seq, c.sourceSeq))
                return true;
        return false;
    };
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    for (int i = 0; i < count; i++) {
        FieldTable *table = pages[i]->fieldTable;
        for (int f = 1; table && f < table->count; f++) {
            const FieldRecord &field = table->fields[f];
            if (field.description && strstr(field.description, "here and on Form 1040")) {
                EXPECT_TRUE(listed(pages[i], field.seq)) << pages[i]->pageKey << " " << field.seq;
            }
        }
    }
    MemFree(pages);

    for (const Carry &c : carries) {
        FormInstance *page = NULL;
        ASSERT_EQ(1, FindReturnPages(14, c.page, &page, 0)) << c.page;
        ASSERT_EQ(1, SetFieldText(&Field(page, c.input)->value, c.typed));
        ASSERT_EQ(1, RequestRecompute(1, 0));
        ASSERT_TRUE(PumpUntil(WorkerEnded, 10000));
        FieldRecord *source = Field(page, c.sourceSeq);
        std::string description = source->description, printed = std::string(", line ") + c.targetLine;
        EXPECT_EQ(description.size() - printed.size(), description.rfind(printed)) << description;   // its last words
        EXPECT_STRNE("", source->value) << c.page << " " << c.sourceSeq;
        EXPECT_EQ(std::string(source->value), Line(c.targetSeq)) << c.page << " line " << c.targetLine;
        // A later change follows too: the Form 1040 line never keeps an older amount.
        ASSERT_EQ(1, SetFieldText(&Field(page, c.input)->value, "3,000"));
        ASSERT_EQ(1, RequestRecompute(1, 0));
        ASSERT_TRUE(PumpUntil(WorkerEnded, 10000));
        EXPECT_EQ(std::string(source->value), Line(c.targetSeq)) << c.page << " line " << c.targetLine;
    }
    // Line 9: wages 52,000, interest 3,240 (with the payers' statement), dividends 3,000 and
    // Schedule 1's 4,510.
    EXPECT_EQ("62,750", Line("0190"));
}
