// The page interpreter's progress bar: a few positions a page, never one message per percent
// (each PBM_SETPOS repaints the bar at once, which cost more than the page itself).
#include "canvas/canvas.h"
#include <commctrl.h>

int ReportPclProgress(PclRenderState *s, int pageEnd)
{
    if (!s->progress) return 0;
    unsigned int length = s->stream.end - s->stream.start;
    if (!length) return 0;
    int percent = (int)((unsigned long long)(s->stream.pos - s->stream.start) * 100 / length);
    if (percent == s->lastPercent) return 0;
    if (!pageEnd) {
        // The cheap test first: the clock is read only when the position moved a whole step.
        int last = s->lastPercent < 0 ? 0 : s->lastPercent;
        if (percent < last + PCL_PROGRESS_STEP) return 0;
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        long long elapsed = now.QuadPart - s->progressTime.QuadPart;
        if (frequency.QuadPart > 0 && elapsed * 1000 < (long long)PCL_PROGRESS_MS * frequency.QuadPart) return 0;
        s->progressTime = now;
    }
    s->lastPercent = percent;
    SendMessageA(s->progress, PBM_SETPOS, (WPARAM)percent, 0);
    return 1;
}
