// hpgl_stroke.h - the wide pen of the HP-GL/2 polygon strokes (EP): drawn by GDI, or written
// straight into a 4-bit canvas's bits with the same pixels.
#ifndef LEVYLINE_CANVAS_HPGL_STROKE_H
#define LEVYLINE_CANVAS_HPGL_STROKE_H

#include <windows.h>

// The width in pixels of the pen that strokes a polygon's figures.
#define HPGL_STROKE_WIDTH 3

// Strokes the figures (counts[f] points each, f < figures, every count at least 2) on dc as one
// PolyPolyline with a solid pen of the width and colour (round ends and joins).
void StrokeFiguresWithGdi(HDC dc, const POINT *points, const int *counts, int figures, int width, COLORREF colour);
// The same pixels written straight into the bits of dc's 4-bit DIB section: a wide solid pen with
// round ends and joins covers, under R2_COPYPEN, the union of one disk at every point and one
// band per segment, so each piece is written on its own (the bands' shapes are kept per
// direction). Returns 0 (nothing drawn) when it cannot be sure of GDI's pixels: another bitmap
// depth, a mapping or raster mode other than the default, a clip region that is not one
// rectangle, a width outside 2..16, or points far beyond the bitmap.
int StrokeFiguresDirect(HDC dc, const POINT *points, const int *counts, int figures, int width, COLORREF colour);
// Frees the kept band shapes (program end).
void FreeStrokeShapes(void);

#endif // LEVYLINE_CANVAS_HPGL_STROKE_H
