// recompute.cpp - the recompute scheduler: recomputing one form or the whole return on the
// user-interface thread, the worker thread, and the main window's deferred job (timer
// IDT_DEFERRED_JOB) that starts workers and frees removed page records once no worker runs.
//
// No lock guards the pages: at most one worker runs; the user-interface thread stops it (cancel
// flag, then a wait that keeps handling sent messages, because the worker sends
// WM_PAGE_REDRAWFIELD) before it recomputes itself, and page records removed meanwhile are freed
// only after the worker has ended.
#include "calc/calc.h"

#include <process.h>
#include <string.h>

HANDLE gRecomputeThread;
volatile LONG gRecomputeDone = 1;
volatile LONG gRecomputeCancel;
static void NotifyRecomputeFinished(void)
{
    if (gAppCallbacks.recomputeFinished)
        gAppCallbacks.recomputeFinished();
}

// A form is recomputed again while its values change; a cycle of formulas stops here.
#define RECOMPUTE_MAX_PASSES 8

struct RecomputeJob {
    FormInstance **pages;     // snapshot of the return's pages, in tree order
    int count;
    volatile LONG completed;  // 1 when the worker went through without being stopped
};

static RecomputeJob *sWorkerJob;
static DWORD sWorkerThreadId;
static int sRecomputePending;
static FormInstance **sDeferredPages;
static int sDeferredCount;
static int sDeferredCapacity;
static int sWaitingForWorker;

static int IsWorkerThread(void)
{
    return sWorkerThreadId && GetCurrentThreadId() == sWorkerThreadId;
}

int RepaintComputedField(FieldRecord *field, FormInstance *page)
{
    IsPageShownProc isShown = gAppCallbacks.isPageShown;
    if (!field || !page || !isShown || !isShown(page))
        return 0;
    DrawChangedFieldProc draw = gAppCallbacks.drawChangedField;
    if (draw)
        draw(field, page);
    HWND view = gPageViewWindow;
    if (!view || !IsWindow(view))
        return 0;
    PageRedrawBlock block = {field, 1, 0, 1, 0};
    if (IsWorkerThread()) {
        DWORD_PTR result;
        SendMessageTimeoutA(view, WM_PAGE_REDRAWFIELD, 0, (LPARAM)&block, SMTO_NORMAL, 5000, &result);
    } else {
        SendMessageA(view, WM_PAGE_REDRAWFIELD, 0, (LPARAM)&block);
    }
    return 1;
}

// Recomputes the calculated fields of one page until none changes. With checkCancel the cancel
// flag is looked at before each field. Returns the number of values changed.
static int RecomputePage(FormInstance *page, const FormulaPageSet *set, int checkCancel)
{
    FieldTable *table = page ? page->fieldTable : NULL;
    if (!table || !table->fields)
        return 0;
    int total = 0;
    for (int pass = 0; pass < RECOMPUTE_MAX_PASSES; pass++) {
        int changed = 0;
        for (int i = 0; i < table->count; i++) {
            if (checkCancel && gRecomputeCancel)
                return total + changed;
            FieldRecord *field = &table->fields[i];
            if (!IsCalculatedType(field->typeCode))
                continue;
            if (ComputeFieldWith(field, table, page, set)) {
                changed++;
                RepaintComputedField(field, page);
            }
        }
        total += changed;
        if (!changed)
            break;
    }
    return total;
}

// Recomputes pages in order, again while any value changes (forms refer to forms filed after
// them). Returns the number of values changed.
static int RecomputePages(FormInstance *const *pages, int count, const FormulaPageSet *set, int checkCancel)
{
    int total = 0;
    for (int pass = 0; pass < RECOMPUTE_MAX_PASSES; pass++) {
        int changed = 0;
        for (int i = 0; i < count; i++) {
            if (checkCancel && gRecomputeCancel)
                return total + changed;
            changed += RecomputePage(pages[i], set, checkCancel);
        }
        total += changed;
        if (!changed)
            break;
    }
    return total;
}

unsigned __stdcall RecomputeAllForms(void *param)
{
    RecomputeJob *job = (RecomputeJob *)param;
    if (!job)
        return 0;
    FormulaPageSet set = {job->pages, job->count};
    RecomputePages(job->pages, job->count, &set, 1);
    if (!gRecomputeCancel)
        InterlockedExchange(&job->completed, 1);
    return 0;
}

// After the worker thread has ended: closes it and frees its job.
static void FinishWorker(void)
{
    if (!gRecomputeThread)
        return;
    CloseHandle(gRecomputeThread);
    gRecomputeThread = NULL;
    sWorkerThreadId = 0;
    int finished = 0;
    if (sWorkerJob) {
        if (sWorkerJob->completed && !sRecomputePending) {
            InterlockedExchange(&gRecomputeDone, 1);
            finished = 1;
        }
        MemFree(sWorkerJob->pages);
        sWorkerJob = (RecomputeJob *)MemFree(sWorkerJob);
    }
    InterlockedExchange(&gRecomputeCancel, 0);
    if (finished)
        NotifyRecomputeFinished();
}

static void FreeDeferredPages(void)
{
    if (gRecomputeThread)
        return;
    for (int i = 0; i < sDeferredCount; i++)
        FreeFormInstance(sDeferredPages[i]);
    sDeferredCount = 0;
}

static void StartWorker(void)
{
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    if (!pages) {
        InterlockedExchange(&gRecomputeDone, 1);
        return;
    }
    RecomputeJob *job = (RecomputeJob *)MemAlloc(64, sizeof(RecomputeJob));
    if (!job) {
        MemFree(pages);
        return;
    }
    job->pages = pages;
    job->count = count;
    InterlockedExchange(&gRecomputeCancel, 0);
    InterlockedExchange(&gRecomputeDone, 0);
    unsigned id = 0;
    // Suspended until its id is recorded, so the worker knows itself when it repaints.
    HANDLE thread = (HANDLE)_beginthreadex(NULL, 0, RecomputeAllForms, job, CREATE_SUSPENDED, &id);
    if (!thread) {
        WriteLogLine("999 CAL: the recompute thread could not be started; recomputing here\r\n");
        FormulaPageSet set = {pages, count};
        RecomputePages(pages, count, &set, 0);
        InterlockedExchange(&gRecomputeDone, 1);
        MemFree(pages);
        MemFree(job);
        NotifyRecomputeFinished();
        return;
    }
    sWorkerJob = job;
    sWorkerThreadId = id;
    gRecomputeThread = thread;
    ResumeThread(thread);
}

static void ArmDeferredJobTimer(void)
{
    if (gMainWindow)
        SetTimer(gMainWindow, IDT_DEFERRED_JOB, 10, NULL);
}

int EndRecomputeWorker(void)
{
    if (!gRecomputeThread)
        return 1;
    if (IsWorkerThread() || sWaitingForWorker)
        return 0;
    sWaitingForWorker = 1;
    InterlockedExchange(&gRecomputeCancel, 1);
    HANDLE thread = gRecomputeThread;
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0)
            break;
        if (r == WAIT_FAILED && WaitForSingleObject(thread, 10) == WAIT_OBJECT_0)
            break;
        // The worker may be waiting in SendMessage for this thread: handle sent messages only
        // (posted messages stay queued).
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    sWaitingForWorker = 0;
    FinishWorker();
    return 1;
}

int OnDeferredJobTimer(void)
{
    if (gRecomputeThread) {
        if (WaitForSingleObject(gRecomputeThread, 0) != WAIT_OBJECT_0)
            return 1;  // still running: look again at the next tick
        FinishWorker();
    }
    FreeDeferredPages();
    if (sRecomputePending) {
        // An output job reads the pages: the request waits for its end (the timer looks again).
        if (IsOutputJobRunning())
            return 1;
        sRecomputePending = 0;
        StartWorker();
        if (gRecomputeThread)
            return 1;
    }
    if (gMainWindow)
        KillTimer(gMainWindow, IDT_DEFERRED_JOB);
    return 0;
}

int RequestRecompute(int kind, void *argument)
{
    switch (kind) {
    case 0:
        if (gRecomputeThread)
            InterlockedExchange(&gRecomputeCancel, 1);
        return 1;
    case 1:
        sRecomputePending = 1;
        InterlockedExchange(&gRecomputeDone, 0);
        break;
    case 2: {
        FormInstance *page = (FormInstance *)argument;
        if (!page)
            return 0;
        for (int i = 0; i < sDeferredCount; i++)
            if (sDeferredPages[i] == page)
                return 1;  // already queued: freeing it twice would corrupt the heap
        if (!gRecomputeThread && !gMainWindow) {
            FreeFormInstance(page);  // no worker and no timer to wait for
            return 1;
        }
        if (sDeferredCount >= sDeferredCapacity) {
            int capacity = sDeferredCapacity ? sDeferredCapacity * 2 : 16;
            FormInstance **grown =
                (FormInstance **)MemReAlloc(sDeferredPages, sizeof(FormInstance *) * capacity);
            if (!grown)
                return 0;
            sDeferredPages = grown;
            sDeferredCapacity = capacity;
        }
        sDeferredPages[sDeferredCount++] = page;
        break;
    }
    default:
        return 0;
    }
    if (gRecomputeThread)
        InterlockedExchange(&gRecomputeCancel, 1);
    ArmDeferredJobTimer();
    return 1;
}

// Before the user-interface thread computes page fields: a running worker (which may be writing
// the same fields) is stopped. Returns 1 when it was stopped before its end, -1 when it could not
// be waited for (called while already waiting), 0 when none ran.
static int StopWorkerForPageWork(void)
{
    if (!gRecomputeThread)
        return 0;
    int interrupted = WaitForSingleObject(gRecomputeThread, 0) != WAIT_OBJECT_0;
    if (!EndRecomputeWorker())
        return -1;
    return interrupted;
}

// The worker's full recompute that was stopped for page work is queued again.
static void RequeueStoppedRecompute(void)
{
    sRecomputePending = 1;
    InterlockedExchange(&gRecomputeDone, 0);
    ArmDeferredJobTimer();
}

int ComputeField(FieldRecord *field, FieldTable *fieldTable, FormInstance *formInstance)
{
    // A statement row's temporary table (no page) is not shared with the worker.
    int stopped = 0;
    if (formInstance && !IsWorkerThread()) {
        stopped = StopWorkerForPageWork();
        if (stopped < 0)
            return 0;
    }
    int changed = ComputeFieldWith(field, fieldTable, formInstance, NULL);
    if (stopped)
        RequeueStoppedRecompute();
    return changed;
}

int RecomputeForm(FormInstance *formInstance)
{
    if (!formInstance || !formInstance->fieldTable || IsWorkerThread())
        return 0;
    int stopped = StopWorkerForPageWork();
    if (stopped < 0)
        return 0;
    // One look at the return's pages serves every reference to other forms.
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    FormulaPageSet set = {pages, count};
    int changed = RecomputePage(formInstance, &set, 0);
    MemFree(pages);
    if (stopped)
        RequeueStoppedRecompute();
    return changed;
}

int RecomputeAllFormsNow(int showStatus)
{
    if (IsWorkerThread() || !EndRecomputeWorker())
        return 0;
    if (showStatus) {
        ShowAppStatusText(1, "Re-computing all forms...");
        SetBusyCursor(1);
    }
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    FormulaPageSet set = {pages, count};
    int changed = pages ? RecomputePages(pages, count, &set, 0) : 0;
    MemFree(pages);
    sRecomputePending = 0;
    InterlockedExchange(&gRecomputeDone, 1);
    FreeDeferredPages();
    if (showStatus) {
        SetBusyCursor(0);
        ShowAppStatusText(3, NULL);
    }
    NotifyRecomputeFinished();
    return changed;
}

int FinishPendingRecompute(void)
{
    if (gRecomputeThread || !gRecomputeDone)
        RecomputeAllFormsNow(0);
    return !gRecomputeThread && gRecomputeDone;
}

LRESULT RecomputeWindowHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    if (message == WM_TIMER && wParam == IDT_DEFERRED_JOB) {
        OnDeferredJobTimer();
        *handled = 1;
        return 0;
    }
    if (message == WM_DESTROY) {
        // The worker must not send to windows that are going away; the frame goes on with its
        // own handling.
        EndRecomputeWorker();
        FreeDeferredPages();
        KillTimer(window, IDT_DEFERRED_JOB);
    }
    return 0;
}

