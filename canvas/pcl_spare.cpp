// The spare page canvas. A fresh 3.8 MB canvas costs more than drawing most pages on it: its
// memory is mapped and zeroed page by page on first touch, and then whitened. When a page is
// rendered, a worker thread makes the next canvas white while the page is shown, printed or
// saved (not while it is drawn); the next ResetPageCanvas takes it. The worker touches nothing but the bitmap it
// makes (no device context); the handover is one interlocked flag. The worker is woken through a
// condition variable, which Wine serves without a round trip to its server (an event's SetEvent
// cost a page tens of microseconds, more on a busy machine).
#include "canvas/canvas.h"

static HANDLE sSpareThread;
static SRWLOCK sSpareLock = SRWLOCK_INIT;
static CONDITION_VARIABLE sSpareWake = CONDITION_VARIABLE_INIT;
static int sSpareWanted;             // under sSpareLock: a spare is wanted
static HBITMAP sSpare;               // the spare, valid while sSpareReady is 1
static volatile LONG sSpareReady;

static DWORD WINAPI MakeSpareCanvases(LPVOID unused)
{
    for (;;) {
        AcquireSRWLockExclusive(&sSpareLock);
        while (!sSpareWanted) SleepConditionVariableSRW(&sSpareWake, &sSpareLock, INFINITE, 0);
        sSpareWanted = 0;
        ReleaseSRWLockExclusive(&sSpareLock);
        if (sSpareReady) continue;
        HBITMAP bitmap = CreateWhiteCanvasBitmap();
        if (!bitmap) continue;
        GdiFlush();
        sSpare = bitmap;
        InterlockedExchange(&sSpareReady, 1);
    }
}

HBITMAP TakeSpareCanvas(void)
{
    if (InterlockedCompareExchange(&sSpareReady, 0, 1) != 1) return NULL;
    HBITMAP bitmap = sSpare;
    sSpare = NULL;
    return bitmap;
}

void RequestSpareCanvas(void)
{
    if (!sSpareThread) sSpareThread = CreateThread(NULL, 0, MakeSpareCanvases, NULL, 0, NULL);
    if (!sSpareThread) return;
    AcquireSRWLockExclusive(&sSpareLock);
    sSpareWanted = 1;
    ReleaseSRWLockExclusive(&sSpareLock);
    WakeConditionVariable(&sSpareWake);
}

int IsSpareCanvasReady(void)
{
    return sSpareReady != 0;
}
