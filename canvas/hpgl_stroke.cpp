// HP-GL/2 strokes: the wide pen of EP, drawn by GDI or written straight into the canvas bits.
//
// GDI draws a wide solid pen with round ends and joins as one region: a band (a four-cornered
// polygon, or a rectangle when the segment is level or upright) per segment of non-zero length,
// one disk at both ends of every figure and one at every point inside it, filled with the pen's
// colour. Under R2_COPYPEN writing the pieces one by one gives the same pixels as the union, so
// the direct writer takes the disk and each band's rectangles from GDI's own regions (kept per
// direction: a band's shape does not change when it is moved by whole pixels) and fills them.
#include "canvas/canvas.h"
#include "canvas/hpgl_stroke.h"
#include <math.h>
#include <stdlib.h>
#include <string.h>

#define STROKE_SHAPE_SLOTS 256
#define STROKE_SHAPE_KEPT_RECTS 1024   // larger bands are made for the one segment and freed
#define STROKE_MAX_WIDTH 16
#define STROKE_POINT_MARGIN 4096       // points further beyond the bitmap go to GDI

// A piece of the pen as rectangles relative to the segment's start (the disk: to its centre).
struct StrokeShape {
    int dx, dy, width;   // width 0: an empty slot
    int count;
    RECT *rects;
};

static StrokeShape gStrokeBands[STROKE_SHAPE_SLOTS];
static StrokeShape gStrokeDisks[STROKE_MAX_WIDTH + 1];

void StrokeFiguresWithGdi(HDC dc, const POINT *points, const int *counts, int figures, int width, COLORREF colour)
{
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    PolyPolyline(dc, points, (const DWORD *)counts, figures);
    SelectObject(dc, old);
    DeleteObject(pen);
    GdiFlush();
}

static void FreeShape(StrokeShape *shape)
{
    MemFree(shape->rects);
    memset(shape, 0, sizeof *shape);
}

void FreeStrokeShapes(void)
{
    for (int i = 0; i < STROKE_SHAPE_SLOTS; i++) FreeShape(&gStrokeBands[i]);
    for (int i = 0; i <= STROKE_MAX_WIDTH; i++) FreeShape(&gStrokeDisks[i]);
}

// The region's rectangles into shape (which it then owns); deletes the region. 0 on failure.
static int TakeRegionRects(HRGN region, StrokeShape *shape)
{
    shape->count = 0;
    shape->rects = NULL;
    if (!region) return 0;
    DWORD size = GetRegionData(region, 0, NULL);
    RGNDATA *data = size ? (RGNDATA *)MemAlloc(64, size) : NULL;
    int ok = data && GetRegionData(region, size, data) != 0;
    DeleteObject(region);
    if (ok && data->rdh.nCount) {
        shape->rects = (RECT *)MemAlloc(64, (size_t)data->rdh.nCount * sizeof(RECT));
        ok = shape->rects != NULL;
        if (ok) {
            memcpy(shape->rects, data->Buffer, (size_t)data->rdh.nCount * sizeof(RECT));
            shape->count = (int)data->rdh.nCount;
        }
    }
    MemFree(data);
    return ok;
}

// GDI's disk for the width: the ellipse region around a point at the ends and joins.
static const StrokeShape *GetDiskShape(int width)
{
    StrokeShape *disk = &gStrokeDisks[width];
    if (disk->width) return disk;
    int low = -(width / 2), high = (width + 1) / 2 + 1;
    if (!TakeRegionRects(CreateEllipticRgn(low, low, high, high), disk)) return NULL;
    disk->width = width;
    return disk;
}

// Half a pixel rounded away from zero, as GDI rounds the band's half widths.
static LONG RoundHalfAway(double v)
{
    return (LONG)(v > 0 ? v + 0.5 : v - 0.5);
}

// The corners of the band of a slanted segment from (0, 0) to (dx, dy): the pen's width across
// the segment split into a narrow and a wide half (the wide one takes the odd pixel), turned to
// the segment's quadrant.
static void GetBandCorners(int dx, int dy, int width, POINT corners[4])
{
    double length = hypot((double)dx, (double)dy);
    double acrossX = (double)(width * abs(dy)) / length, acrossY = (double)(width * abs(dx)) / length;
    POINT narrow = {RoundHalfAway(acrossX / 2), RoundHalfAway(acrossY / 2)};
    POINT wide = {RoundHalfAway((acrossX + 1) / 2), RoundHalfAway((acrossY + 1) / 2)};
    if (dx < 0) {
        narrow.y = -narrow.y;
        wide.y = -wide.y;
    }
    if (dy < 0) {
        POINT t = narrow;
        narrow = wide;
        wide = t;
        narrow.x = -narrow.x;
        wide.x = -wide.x;
    }
    corners[0].x = -narrow.x;
    corners[0].y = narrow.y;
    corners[1].x = wide.x;
    corners[1].y = -wide.y;
    corners[2].x = dx + wide.x;
    corners[2].y = dy - wide.y;
    corners[3].x = dx - narrow.x;
    corners[3].y = dy + narrow.y;
}

// The band of a slanted segment, kept by direction; a band too large to keep goes into *spare
// (the caller frees it). Null on failure.
static const StrokeShape *GetBandShape(int dx, int dy, int width, StrokeShape *spare)
{
    unsigned int hash = ((unsigned)dx * 73856093u) ^ ((unsigned)dy * 19349663u) ^ ((unsigned)width * 83492791u);
    StrokeShape *slot = &gStrokeBands[hash % STROKE_SHAPE_SLOTS];
    if (slot->width == width && slot->dx == dx && slot->dy == dy) return slot;
    POINT corners[4];
    GetBandCorners(dx, dy, width, corners);
    StrokeShape made;
    if (!TakeRegionRects(CreatePolygonRgn(corners, 4, ALTERNATE), &made)) return NULL;
    made.dx = dx;
    made.dy = dy;
    made.width = width;
    if (made.count > STROKE_SHAPE_KEPT_RECTS) {
        *spare = made;
        return spare;
    }
    FreeShape(slot);
    *slot = made;
    return slot;
}

// Pixels x0..x1-1 of a 4-bit row set to the index.
static void FillNibbleSpan(unsigned char *row, int x0, int x1, unsigned char index)
{
    if ((x0 & 1) && x0 < x1) {
        row[x0 >> 1] = (unsigned char)((row[x0 >> 1] & 0xF0) | index);
        x0++;
    }
    if ((x1 & 1) && x0 < x1) {
        row[x1 >> 1] = (unsigned char)((row[x1 >> 1] & 0x0F) | (index << 4));
        x1--;
    }
    if (x0 < x1) memset(row + (x0 >> 1), index * 17, (size_t)(x1 - x0) >> 1);
}

static void FillCanvasRect(const CanvasBits &c, const RECT &clip, long left, long top, long right, long bottom,
                           unsigned char index)
{
    if (left < clip.left) left = clip.left;
    if (top < clip.top) top = clip.top;
    if (right > clip.right) right = clip.right;
    if (bottom > clip.bottom) bottom = clip.bottom;
    if (left >= right) return;
    for (long y = top; y < bottom; y++) FillNibbleSpan(CanvasRow(c, (int)y), (int)left, (int)right, index);
}

static void FillShape(const CanvasBits &c, const RECT &clip, const StrokeShape *shape, long x, long y,
                      unsigned char index)
{
    for (int i = 0; i < shape->count; i++) {
        const RECT &r = shape->rects[i];
        FillCanvasRect(c, clip, r.left + x, r.top + y, r.right + x, r.bottom + y, index);
    }
}

// Whether the DC maps logical to device coordinates one to one.
static int HasPlainMapping(HDC dc)
{
    POINT p[3] = {{0, 0}, {1000, 0}, {0, 1000}};
    if (!LPtoDP(dc, p, 3)) return 0;
    return !p[0].x && !p[0].y && p[1].x == 1000 && !p[1].y && !p[2].x && p[2].y == 1000;
}

// The part of the bitmap drawn into: all of it, or its part in a one-rectangle clip region.
static int GetStrokeClip(HDC dc, const CanvasBits &c, RECT *clip)
{
    SetRect(clip, 0, 0, c.width, c.height);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (!region) return 0;
    int has = GetClipRgn(dc, region);
    if (has != 1) {
        DeleteObject(region);
        return has == 0;
    }
    StrokeShape rects;
    if (!TakeRegionRects(region, &rects)) return 0;
    int ok = rects.count <= 1;
    if (rects.count == 0) SetRectEmpty(clip);
    else if (ok && !IntersectRect(clip, clip, &rects.rects[0])) SetRectEmpty(clip);
    MemFree(rects.rects);
    return ok;
}

// The colour-table index GDI gives the pen's colour (found by filling a pixel of a bitmap with the
// canvas's table; kept while the colour and the table stay the same). -1 when unknown.
static int FindStrokeIndex(HDC dc, COLORREF colour)
{
    static RGBQUAD lastTable[16];
    static COLORREF lastColour;
    static int lastIndex = -1;
    RGBQUAD table[16];
    if (GetDIBColorTable(dc, 0, 16, table) != 16) return -1;
    if (lastIndex >= 0 && lastColour == colour && !memcmp(table, lastTable, sizeof table)) return lastIndex;
    int index = -1;
    HBITMAP probe = CreateDibBitmap(2, 1, 4, 0, NULL, table);
    HDC probeDc = CreateCompatibleDC(dc);
    HBRUSH brush = CreateSolidBrush(colour);
    CanvasBits c;
    if (probe && probeDc && brush && GetCanvasBits(probe, &c)) {
        HGDIOBJ old = SelectObject(probeDc, probe);
        RECT r = {0, 0, 1, 1};
        FillRect(probeDc, &r, brush);
        GdiFlush();
        index = CanvasRow(c, 0)[0] >> 4;
        SelectObject(probeDc, old);
    }
    if (brush) DeleteObject(brush);
    if (probeDc) DeleteDC(probeDc);
    if (probe) DeleteObject(probe);
    if (index >= 0) {
        memcpy(lastTable, table, sizeof table);
        lastColour = colour;
        lastIndex = index;
    }
    return index;
}

int StrokeFiguresDirect(HDC dc, const POINT *points, const int *counts, int figures, int width, COLORREF colour)
{
    if (!dc || !points || !counts || figures <= 0 || width < 2 || width > STROKE_MAX_WIDTH) return 0;
    CanvasBits c;
    if (!GetCanvasBits((HBITMAP)GetCurrentObject(dc, OBJ_BITMAP), &c) || c.bitsPerPixel != 4) return 0;
    if (GetROP2(dc) != R2_COPYPEN || !HasPlainMapping(dc)) return 0;
    long long total = 0;
    for (int f = 0; f < figures; f++) {
        if (counts[f] < 2) return 0;
        total += counts[f];
    }
    for (long long i = 0; i < total; i++) {
        if (points[i].x < -STROKE_POINT_MARGIN || points[i].x > c.width + STROKE_POINT_MARGIN ||
            points[i].y < -STROKE_POINT_MARGIN || points[i].y > c.height + STROKE_POINT_MARGIN)
            return 0;
    }
    RECT clip;
    if (!GetStrokeClip(dc, c, &clip)) return 0;
    int found = FindStrokeIndex(dc, colour);
    const StrokeShape *disk = GetDiskShape(width);
    if (found < 0 || !disk) return 0;
    if (IsRectEmpty(&clip)) return 1;
    unsigned char index = (unsigned char)found;
    GdiFlush();
    const POINT *p = points;
    for (int f = 0; f < figures; f++) {
        int n = counts[f];
        for (int i = 0; i < n; i++) FillShape(c, clip, disk, p[i].x, p[i].y, index);
        for (int i = 0; i + 1 < n; i++) {
            long x = p[i].x, y = p[i].y;
            int dx = (int)(p[i + 1].x - x), dy = (int)(p[i + 1].y - y);
            if (!dx && !dy) continue;
            if (!dy) {
                long top = y - width / 2;
                FillCanvasRect(c, clip, dx > 0 ? x : x + dx, top, dx > 0 ? x + dx : x, top + width, index);
            } else if (!dx) {
                long left = x - width / 2;
                FillCanvasRect(c, clip, left, dy > 0 ? y : y + dy, left + width, dy > 0 ? y + dy : y, index);
            } else {
                StrokeShape spare = {0, 0, 0, 0, NULL};
                const StrokeShape *band = GetBandShape(dx, dy, width, &spare);
                if (band) {
                    FillShape(c, clip, band, x, y, index);
                } else {
                    // No band to hand: GDI strokes the segment alone (its ends' disks are drawn anyway).
                    int two = 2;
                    StrokeFiguresWithGdi(dc, p + i, &two, 1, width, colour);
                }
                MemFree(spare.rects);
            }
        }
        p += n;
    }
    return 1;
}
