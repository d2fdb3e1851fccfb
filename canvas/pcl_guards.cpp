// pcl_guards.cpp - polygon clipping for fills: a figure with corners far off the page is cut to a
// box around the part drawn, so GDI never walks edges millions of dots long.
#include "canvas/canvas.h"
#include "canvas/pcl_guards.h"

// One side of the clip box: 0 left, 1 right, 2 top, 3 bottom.
static int IsInside(double x, double y, int side, double bound)
{
    switch (side) {
    case 0: return x >= bound;
    case 1: return x <= bound;
    case 2: return y >= bound;
    default: return y <= bound;
    }
}

// The point where the edge a-b crosses the side's line.
static void CrossSide(double ax, double ay, double bx, double by, int side, double bound, double *x, double *y)
{
    if (side < 2) {
        double t = (bound - ax) / (bx - ax);
        *x = bound;
        *y = ay + (by - ay) * t;
    } else {
        double t = (bound - ay) / (by - ay);
        *x = ax + (bx - ax) * t;
        *y = bound;
    }
}

// A growable list of points in doubles.
struct ClipPoints {
    double *x, *y;
    int capacity;
};

static int ReserveClipPoints(ClipPoints *p, int count)
{
    if (count <= p->capacity) return 1;
    int capacity = p->capacity ? p->capacity : 16;
    while (capacity < count) capacity *= 2;
    double *x = (double *)MemReAlloc(p->x, (size_t)capacity * sizeof(double));
    if (!x) return 0;
    p->x = x;
    double *y = (double *)MemReAlloc(p->y, (size_t)capacity * sizeof(double));
    if (!y) return 0;
    p->y = y;
    p->capacity = capacity;
    return 1;
}

// Clips one closed figure (n points of in) against one side into out; returns the count, -1
// when memory ran out. An outside stretch is replaced by the side's segment between where it
// left and where it came back, which changes nothing inside.
static int ClipFigureSide(const ClipPoints *in, int n, int side, double bound, ClipPoints *out)
{
    int crossings = 0;
    for (int i = 0; i < n; i++) {
        int j = (i + n - 1) % n;
        if (IsInside(in->x[i], in->y[i], side, bound) != IsInside(in->x[j], in->y[j], side, bound)) crossings++;
    }
    if (!ReserveClipPoints(out, n + crossings)) return -1;
    int m = 0;
    for (int i = 0; i < n; i++) {
        int j = (i + n - 1) % n;   // the edge from the previous point to this one
        int inNow = IsInside(in->x[i], in->y[i], side, bound), inBefore = IsInside(in->x[j], in->y[j], side, bound);
        if (inNow != inBefore) {
            CrossSide(in->x[j], in->y[j], in->x[i], in->y[i], side, bound, &out->x[m], &out->y[m]);
            m++;
        }
        if (inNow) {
            out->x[m] = in->x[i];
            out->y[m] = in->y[i];
            m++;
        }
    }
    return m;
}

static void FreeClipPoints(ClipPoints *p)
{
    p->x = (double *)MemFree(p->x);
    p->y = (double *)MemFree(p->y);
    p->capacity = 0;
}

int ClipPolygonFigures(const POINT *points, const int *counts, int figures, long left, long top, long right,
                       long bottom, POINT **pointsOut, int **countsOut)
{
    *pointsOut = NULL;
    *countsOut = NULL;
    int total = 0;
    for (int f = 0; f < figures; f++) total += counts[f];
    if (total <= 0) return 0;
    ClipPoints a = {NULL, NULL, 0}, b = {NULL, NULL, 0};
    POINT *kept = NULL;
    int *keptCounts = (int *)MemAlloc(64, (size_t)figures * sizeof(int));
    int keptFigures = 0, keptPoints = 0, keptCapacity = 0, at = 0, failed = !keptCounts;
    const double bounds[4] = {(double)left, (double)right, (double)top, (double)bottom};
    for (int f = 0; f < figures && !failed; f++) {
        int n = counts[f];
        if (!ReserveClipPoints(&a, n)) {
            failed = 1;
            break;
        }
        for (int i = 0; i < n; i++) {
            a.x[i] = points[at + i].x;
            a.y[i] = points[at + i].y;
        }
        at += n;
        for (int side = 0; side < 4 && n > 0; side++) {
            n = ClipFigureSide(&a, n, side, bounds[side], &b);
            ClipPoints swap = a;
            a = b;
            b = swap;
        }
        if (n < 0) {
            failed = 1;
            break;
        }
        if (n < 2) continue;
        if (keptPoints + n > keptCapacity) {
            int capacity = keptCapacity ? keptCapacity : total;
            while (capacity < keptPoints + n) capacity *= 2;
            POINT *grown = (POINT *)MemReAlloc(kept, (size_t)capacity * sizeof(POINT));
            if (!grown) {
                failed = 1;
                break;
            }
            kept = grown;
            keptCapacity = capacity;
        }
        for (int i = 0; i < n; i++) {
            kept[keptPoints + i].x = (LONG)(a.x[i] < 0 ? a.x[i] - 0.5 : a.x[i] + 0.5);
            kept[keptPoints + i].y = (LONG)(a.y[i] < 0 ? a.y[i] - 0.5 : a.y[i] + 0.5);
        }
        keptPoints += n;
        keptCounts[keptFigures++] = n;
    }
    FreeClipPoints(&a);
    FreeClipPoints(&b);
    if (failed || !keptFigures) {
        MemFree(kept);
        MemFree(keptCounts);
        return 0;
    }
    *pointsOut = kept;
    *countsOut = keptCounts;
    return keptFigures;
}
