// The spare page canvas. A fresh 3.8 MB canvas costs more than drawing most pages on it: its
// memory is mapped and zeroed page by page on first touch, and then whitened. When a page is
// rendered, a worker thread makes the next canvas white while the page is shown, printed or
// saved (not while it is drawn); the next ResetPageCanvas takes it. The worker touches nothing but the bitmap it
// makes (no device context); the handover is one interlocked flag.
#include "canvas/canvas.h"

static HANDLE sSpareThread;
static HANDLE sSpareWanted;          // auto-reset: a spare is wanted
static HBITMAP sSpare;               // the spare, valid while sSpareReady is 1
static volatile LONG sSpareReady;

static DWORD WINAPI MakeSpareCanvases(LPVOID unused)
{
    for (;;) {
        if (WaitForSingleObject(sSpareWanted, INFINITE) != WAIT_OBJECT_0) return 0;
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
    if (!sSpareThread) {
        if (!sSpareWanted) sSpareWanted = CreateEventA(NULL, FALSE, FALSE, NULL);
        if (sSpareWanted) sSpareThread = CreateThread(NULL, 0, MakeSpareCanvases, NULL, 0, NULL);
    }
    if (sSpareWanted) SetEvent(sSpareWanted);
}

int IsSpareCanvasReady(void)
{
    return sSpareReady != 0;
}
