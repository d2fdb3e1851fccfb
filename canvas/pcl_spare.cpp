// The spare page canvas. A fresh 3.8 MB canvas costs more than drawing most pages on it: its
// memory is mapped and zeroed page by page on first touch, and then whitened. When a page is
// rendered, a worker thread makes the next canvas white while the page is shown, printed or
// saved (not while it is drawn); the next ResetPageCanvas takes it. The worker touches nothing but
// the bitmap it makes (no device context). The spare itself is the hand-over: the worker puts it
// in the one slot only while the slot is empty, the taker empties the slot in one interlocked
// exchange, so a canvas is either in the slot or in the taker's hands, never both or neither. The
// worker is woken through a condition variable, which Wine serves without a round trip to its
// server (an event's SetEvent cost a page tens of microseconds, more on a busy machine).
#include "canvas/canvas.h"

static HANDLE sSpareThread;
static SRWLOCK sSpareLock = SRWLOCK_INIT;
static CONDITION_VARIABLE sSpareWake = CONDITION_VARIABLE_INIT;
static int sSpareWanted;             // under sSpareLock: a spare is wanted
static int sSpareStopping;           // under sSpareLock: the worker is to end
static HBITMAP volatile sSpare;      // the spare; null while none is ready

static DWORD WINAPI MakeSpareCanvases(LPVOID unused)
{
    (void)unused;
    AcquireSRWLockExclusive(&sSpareLock);
    for (;;) {
        while (!sSpareWanted && !sSpareStopping)
            SleepConditionVariableSRW(&sSpareWake, &sSpareLock, INFINITE, 0);
        if (sSpareStopping)
            break;
        sSpareWanted = 0;
        ReleaseSRWLockExclusive(&sSpareLock);
        // Only this thread fills the slot: while it is empty here it stays empty until filled.
        if (!sSpare) {
            HBITMAP bitmap = CreateWhiteCanvasBitmap();
            if (bitmap) {
                GdiFlush();
                InterlockedExchangePointer((PVOID volatile *)&sSpare, bitmap);
            }
        }
        AcquireSRWLockExclusive(&sSpareLock);
    }
    ReleaseSRWLockExclusive(&sSpareLock);
    return 0;
}

HBITMAP TakeSpareCanvas(void)
{
    return (HBITMAP)InterlockedExchangePointer((PVOID volatile *)&sSpare, NULL);
}

void RequestSpareCanvas(void)
{
    if (!sSpareThread)
        sSpareThread = CreateThread(NULL, 0, MakeSpareCanvases, NULL, 0, NULL);
    if (!sSpareThread)
        return;
    AcquireSRWLockExclusive(&sSpareLock);
    sSpareWanted = 1;
    ReleaseSRWLockExclusive(&sSpareLock);
    WakeConditionVariable(&sSpareWake);
}

int IsSpareCanvasReady(void)
{
    return sSpare != NULL;
}

void StopSpareCanvas(void)
{
    if (sSpareThread) {
        AcquireSRWLockExclusive(&sSpareLock);
        sSpareStopping = 1;
        ReleaseSRWLockExclusive(&sSpareLock);
        WakeConditionVariable(&sSpareWake);
        // A canvas being made is finished and put in the slot first.
        WaitForSingleObject(sSpareThread, INFINITE);
        CloseHandle(sSpareThread);
        sSpareThread = NULL;
        sSpareStopping = sSpareWanted = 0;
    }
    HBITMAP spare = TakeSpareCanvas();
    if (spare)
        DeleteObject(spare);
}
