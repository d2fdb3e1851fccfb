// pcl_guards.h - the limits that keep hostile page streams cheap and in range: positions handed
// to the PCL cursor, and polygon points handed to GDI.
#ifndef LEVYLINE_PCL_GUARDS_H
#define LEVYLINE_PCL_GUARDS_H

#include <windows.h>

// Cursor positions (dots) are kept within +-PCL_POSITION_LIMIT.
#define PCL_POSITION_LIMIT 1000000

static inline int ClampPclPosition(long long v)
{
    if (v > PCL_POSITION_LIMIT) return PCL_POSITION_LIMIT;
    if (v < -PCL_POSITION_LIMIT) return -PCL_POSITION_LIMIT;
    return (int)v;
}

// Clips the figures of a polygon (counts[figures] points each, in points) to the rectangle
// left..right x top..bottom. Inside the rectangle the clipped figures fill exactly what the
// originals fill (with either fill rule). Returns the number of figures kept and sets *pointsOut
// and *countsOut to new MemAlloc arrays (freed by the caller); 0 when nothing is left.
int ClipPolygonFigures(const POINT *points, const int *counts, int figures, long left, long top, long right,
                       long bottom, POINT **pointsOut, int **countsOut);

#endif // LEVYLINE_PCL_GUARDS_H
