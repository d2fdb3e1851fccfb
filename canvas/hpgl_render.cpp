// HP-GL/2 drawing: the commands with an effect, the polygon buffer, fills and the pattern cache.
#include "canvas/canvas.h"
#include "canvas/pcl_guards.h"
#include <string.h>

#define MAX_POLYGON_POINTS (1 << 20)
#define MAX_POLYGON_FIGURES (1 << 16)

HBITMAP gHpglPatterns[9];

static double ValueAt(const void *values, int isFloat, int i)
{
    return isFloat ? ((const double *)values)[i] : (double)((const int *)values)[i];
}

static int IntAt(const void *values, int isFloat, int i)
{
    double v = ValueAt(values, isFloat, i);
    if (v > 2147483647.0) return 2147483647;
    if (v < -2147483647.0) return -2147483647;
    return (int)v;
}

void ClearPolygonBuffer(DrawState *state)
{
    state->points = (POINT *)MemFree(state->points);
    state->figureCounts = (int *)MemFree(state->figureCounts);
    state->pointCount = 0;
    state->pointCapacity = 0;
    state->figureIndex = 0;
    state->figureCapacity = 0;
}

// Starts an empty polygon buffer with its first figure.
static int StartPolygon(DrawState *state)
{
    ClearPolygonBuffer(state);
    state->figureCounts = (int *)MemAlloc(64, 16 * sizeof(int));
    if (!state->figureCounts) return 0;
    state->figureCapacity = 16;
    return 1;
}

static int StartNextFigure(DrawState *state)
{
    if (!state->figureCounts) return 0;
    if (state->figureCounts[state->figureIndex] == 0) return 1;   // the current one is still empty
    if (state->figureIndex + 1 >= MAX_POLYGON_FIGURES) return 0;
    if (state->figureIndex + 1 >= state->figureCapacity) {
        int capacity = state->figureCapacity * 2;
        int *grown = (int *)MemAlloc(64, (size_t)capacity * sizeof(int));
        if (!grown) return 0;
        memcpy(grown, state->figureCounts, (size_t)state->figureCapacity * sizeof(int));
        MemFree(state->figureCounts);
        state->figureCounts = grown;
        state->figureCapacity = capacity;
    }
    state->figureIndex++;
    state->figureCounts[state->figureIndex] = 0;
    return 1;
}

static int ReservePoints(DrawState *state, int more)
{
    if (state->pointCount + more > MAX_POLYGON_POINTS) return 0;
    if (state->pointCount + more <= state->pointCapacity) return 1;
    int capacity = state->pointCapacity ? state->pointCapacity : 64;
    while (capacity < state->pointCount + more) capacity *= 2;
    POINT *grown = (POINT *)MemAlloc(64, (size_t)capacity * sizeof(POINT));
    if (!grown) return 0;
    if (state->points) memcpy(grown, state->points, (size_t)state->pointCount * sizeof(POINT));
    MemFree(state->points);
    state->points = grown;
    state->pointCapacity = capacity;
    return 1;
}

int AppendPolygonPoints(DrawState *state, const POINT *points, int count)
{
    if (count <= 0) return 1;
    if (state->figureCounts) {
        int first = state->figureCounts[state->figureIndex] == 0;
        if (ReservePoints(state, count + first)) {
            if (first) {
                POINT pen = {state->penX, state->penY};
                state->points[state->pointCount++] = pen;
                state->figureCounts[state->figureIndex]++;
            }
            memcpy(state->points + state->pointCount, points, (size_t)count * sizeof(POINT));
            state->pointCount += count;
            state->figureCounts[state->figureIndex] += count;
        }
    }
    // Without a started polygon the points are not kept; the pen still moves.
    state->penX = points[count - 1].x;
    state->penY = points[count - 1].y;
    return 1;
}

// The figures with at least two points, as a compact count array (MemFree it); 0 when none.
static int CollectFigures(DrawState *state, int **countsOut, POINT **pointsOut)
{
    *countsOut = NULL;
    *pointsOut = NULL;
    if (!state->figureCounts || state->pointCount < 2) return 0;
    int figures = state->figureIndex + 1;
    int *counts = (int *)MemAlloc(64, (size_t)figures * sizeof(int));
    POINT *points = (POINT *)MemAlloc(64, (size_t)state->pointCount * sizeof(POINT));
    if (!counts || !points) {
        MemFree(counts);
        MemFree(points);
        return 0;
    }
    int n = 0, kept = 0, at = 0;
    for (int f = 0; f < figures; f++) {
        int c = state->figureCounts[f];
        if (c >= 2) {
            memcpy(points + kept, state->points + at, (size_t)c * sizeof(POINT));
            kept += c;
            counts[n++] = c;
        }
        at += c;
    }
    if (!n) {
        MemFree(counts);
        MemFree(points);
        return 0;
    }
    *countsOut = counts;
    *pointsOut = points;
    return n;
}

static COLORREF SlotColour(const DrawState *state)
{
    const HpglPenSlot &slot = state->pens[state->selectedPen];
    return RGB(slot.colour[2], slot.colour[1], slot.colour[0]);
}

static void StrokePolygon(DrawState *state)
{
    int *counts;
    POINT *points;
    int figures = CollectFigures(state, &counts, &points);
    if (figures && !StrokeFiguresDirect(state->dc, points, counts, figures, HPGL_STROKE_WIDTH, SlotColour(state)))
        StrokeFiguresWithGdi(state->dc, points, counts, figures, HPGL_STROKE_WIDTH, SlotColour(state));
    MemFree(counts);
    MemFree(points);
}

static void FillPolygon(DrawState *state, int fillMode)
{
    int *counts;
    POINT *points;
    int figures = CollectFigures(state, &counts, &points);
    if (!figures) return;
    int total = 0;
    for (int f = 0; f < figures; f++) total += counts[f];
    long long minX = state->pageWidth, minY = state->pageHeight, maxX = 0, maxY = 0;
    for (int i = 0; i < total; i++) {
        if (points[i].x < minX) minX = points[i].x;
        if (points[i].y < minY) minY = points[i].y;
        if (points[i].x > maxX) maxX = points[i].x;
        if (points[i].y > maxY) maxY = points[i].y;
    }
    // The work bitmap covers the box's part on the page (points beyond it are clipped anyway).
    if (minX < 0) minX = 0;
    if (minY < 0) minY = 0;
    if (maxX > state->pageWidth) maxX = state->pageWidth;
    if (maxY > state->pageHeight) maxY = state->pageHeight;
    int w = (int)(maxX - minX), h = (int)(maxY - minY);
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    // Corners far beyond the box are cut to a margin around it: the fill inside is the same, and
    // GDI's work stays within the box.
    const long margin = 1024;
    long boxLeft = (long)minX - margin, boxTop = (long)minY - margin;
    long boxRight = (long)minX + w + margin, boxBottom = (long)minY + h + margin;
    int farOff = 0;
    for (int i = 0; i < total && !farOff; i++)
        farOff = points[i].x < boxLeft || points[i].x > boxRight || points[i].y < boxTop || points[i].y > boxBottom;
    if (farOff) {
        POINT *clipped;
        int *clippedCounts;
        int kept = ClipPolygonFigures(points, counts, figures, boxLeft, boxTop, boxRight, boxBottom, &clipped,
                                      &clippedCounts);
        MemFree(points);
        MemFree(counts);
        if (!kept) return;
        points = clipped;
        counts = clippedCounts;
        figures = kept;
        total = 0;
        for (int f = 0; f < figures; f++) total += counts[f];
    }
    // GDI fills and outlines the figures on the canvas inside the box alone (the box is where a
    // work bitmap of the box's size used to take them, and limits GDI's work the same way).
    HDC dc = state->dc;
    int saved = SaveDC(dc);
    if (saved) {
        const HpglPenSlot &slot = state->pens[state->selectedPen];
        HPEN pen = slot.pen;
        HBRUSH brush = slot.brush;
        HPEN tempPen = NULL;
        HBRUSH tempBrush = NULL;
        if (!pen) pen = tempPen = CreatePen(PS_SOLID, 1, SlotColour(state));
        if (!brush) brush = tempBrush = CreateSolidBrush(SlotColour(state));
        IntersectClipRect(dc, (int)minX, (int)minY, (int)minX + w, (int)minY + h);
        SelectObject(dc, pen);
        SelectObject(dc, brush);
        SetBrushOrgEx(dc, state->anchorX + (int)minX, state->anchorY + (int)minY, NULL);
        SetPolyFillMode(dc, fillMode + 1);
        SetROP2(dc, R2_COPYPEN);
        PolyPolygon(dc, points, counts, figures);
        RestoreDC(dc, saved);
        if (tempPen) DeleteObject(tempPen);
        if (tempBrush) DeleteObject(tempBrush);
        GdiFlush();
    }
    MemFree(counts);
    MemFree(points);
}

int ApplyHpglClip(HDC dc, DrawState *state)
{
    const RECT &r = state->clipWindow;
    if (!r.left && !r.top && !r.right && !r.bottom) {
        SelectClipRgn(dc, NULL);
        if (state->pcl) state->pcl->clipped = 0;
        return 1;
    }
    HRGN region = CreateRectRgn(r.left, r.top, r.right, r.bottom);
    SelectClipRgn(dc, region);
    DeleteObject(region);
    if (state->pcl) state->pcl->clipped = 1;
    return 1;
}

// Puts the saved pen and brush back and deletes both slots' objects (they are deselected first).
static void ReleasePenObjects(DrawState *state)
{
    if (state->objectsSaved && state->dc) {
        SelectObject(state->dc, state->savedPen);
        SelectObject(state->dc, state->savedBrush);
    }
    state->objectsSaved = 0;
    state->savedPen = NULL;
    state->savedBrush = NULL;
    for (int i = 0; i < 2; i++) {
        if (state->pens[i].pen) DeleteObject(state->pens[i].pen);
        if (state->pens[i].brush) DeleteObject(state->pens[i].brush);
        state->pens[i].pen = NULL;
        state->pens[i].brush = NULL;
    }
}

void ReleaseDrawingObjects(DrawState *state)
{
    ReleasePenObjects(state);
    if (state->pcl) {
        state->pcl->palettes = (PclPalette *)MemFree(state->pcl->palettes);
        state->pcl->paletteCount = 0;
        state->pcl->selectedPalette = -1;
    }
    ClearPolygonBuffer(state);
}

void FreeShapeCache(void)
{
    for (int i = 0; i < 9; i++) {
        if (gHpglPatterns[i]) DeleteObject(gHpglPatterns[i]);
        gHpglPatterns[i] = NULL;
    }
    FreeStrokeShapes();
}

int DefineRasterFill(PclStream *stream, int count, const void *values, int isFloat)
{
    if (count < 3 || !values) return 0;
    int n = IntAt(values, isFloat, 0), width = IntAt(values, isFloat, 1), height = IntAt(values, isFloat, 2);
    if (n < 0 || n > 8 || width <= 0 || height <= 0 || width > 256 || height > 256) return 0;
    HBITMAP bitmap = CreateDibBitmap(width, height, 1, 0, NULL, NULL);
    if (!bitmap) return 0;
    CanvasBits c;
    if (GetCanvasBits(bitmap, &c)) {
        GdiFlush();
        int k = 3;
        int rowBytes = (width + 7) / 8;
        for (int y = 0; y < height; y++) {
            unsigned char *row = CanvasRow(c, y);
            for (int b = 0; b < rowBytes; b++) {
                unsigned char byte = 0;
                for (int bit = 0; bit < 8 && b * 8 + bit < width; bit++) {
                    int pixel = k < count ? IntAt(values, isFloat, k) : 0;
                    k++;
                    if (pixel) byte |= (unsigned char)(0x80 >> bit);
                }
                row[b] = (unsigned char)~byte;   // pixel 1 gives colour index 0
            }
        }
    }
    if (gHpglPatterns[n]) DeleteObject(gHpglPatterns[n]);
    gHpglPatterns[n] = bitmap;
    return 1;
}

// Bezier curves from the pen position through the given points, flattened into the polygon.
static void DrawBezier(DrawState *state, int count, const void *values, int isFloat)
{
    int given = count / 2;
    int segments = given / 3;
    if (segments <= 0) return;
    int n = 1 + 3 * segments;
    POINT *pts = (POINT *)MemAlloc(64, (size_t)n * sizeof(POINT));
    if (!pts) return;
    pts[0].x = state->penX;
    pts[0].y = state->penY;
    for (int i = 1; i < n; i++) {
        pts[i].x = IntAt(values, isFloat, 2 * (i - 1));
        pts[i].y = IntAt(values, isFloat, 2 * (i - 1) + 1);
    }
    POINT last = pts[n - 1];
    HDC dc = state->dc;
    AbortPath(dc);
    BeginPath(dc);
    PolyBezier(dc, pts, n);
    EndPath(dc);
    FlattenPath(dc);
    int flat = GetPath(dc, NULL, NULL, 0);
    if (flat > 1) {
        POINT *fp = (POINT *)MemAlloc(64, (size_t)flat * sizeof(POINT));
        BYTE *types = (BYTE *)MemAlloc(64, (size_t)flat);
        if (fp && types && GetPath(dc, fp, types, flat) == flat)
            AppendPolygonPoints(state, fp + 1, flat - 1);   // the first is the pen position
        MemFree(fp);
        MemFree(types);
    }
    AbortPath(dc);
    state->penX = last.x;
    state->penY = last.y;
    MemFree(pts);
}

// LB: the label up to byte 3, drawn by the PCL text routine at the pen position plus the origin.
static void DrawLabel(PclStream *stream, DrawState *state)
{
    const unsigned char *d = stream->data;
    unsigned int start = stream->pos, p = start;
    while (p < stream->end && d[p] != 3 && d[p] != 27) p++;
    unsigned int length = p - start;
    stream->pos = p;
    while (stream->pos < stream->end && d[stream->pos] == 3) stream->pos++;   // every terminator after it
    if (!length || !state->pcl) return;
    PclRenderState *pcl = state->pcl;
    // The pen may be anywhere in 32 bits; the PCL cursor stays within its limits.
    pcl->cursorX = ClampPclPosition((long long)state->penX + state->originX);
    pcl->cursorY = ClampPclPosition((long long)state->penY + state->originY);
    if (length == 3 && d[start + 2] == 0) {
        // One 16-bit character, its two bytes exchanged.
        unsigned char pair[2] = {d[start + 1], d[start]};
        DrawPclText(pcl, pair, 2);
    } else {
        DrawPclText(pcl, d + start, (int)length);
    }
}

int DrawPolylineEncoded(PclStream *stream, DrawState *state)
{
    const unsigned char *d = stream->data;
    // First pass: the flags and the number of coordinates up to the terminator.
    unsigned int p = stream->pos;
    int coordinates = 0, penUp = 0, absolute = 0;
    while (p < stream->end && d[p] != ';' && d[p] != 27) {
        unsigned char b = d[p];
        if (b >= 191 && b <= 254) coordinates++;
        else if (b == '<') penUp = 1;
        else if (b == '=') absolute = 1;
        p++;
    }
    unsigned int terminator = p;
    int pairs = coordinates / 2;
    if (pairs <= 0) {
        stream->pos = terminator;
        return 1;   // no data: nothing drawn, the pen stays
    }
    POINT *points = (POINT *)MemAlloc(64, (size_t)pairs * sizeof(POINT));
    if (!points) {
        stream->pos = terminator;
        return 0;
    }
    int got = 0;
    PclStream s = *stream;
    s.end = terminator;
    while (s.pos < s.end && got < pairs) {
        unsigned char b = d[s.pos];
        if ((b >= 63 && b <= 126) || (b >= 191 && b <= 254)) {
            points[got].x = DecodePeNumber(&s);
            points[got].y = DecodePeNumber(&s);
            got++;
        } else {
            s.pos++;   // a flag byte or a byte not valid in PE data
        }
    }
    stream->pos = terminator;
    if (penUp) {
        POINT first = points[0];
        if (absolute) {
            state->penX = first.x + (state->absoluteOrigin ? state->originX : 0);
            state->penY = first.y + (state->absoluteOrigin ? state->originY : 0);
        } else {
            state->penX += first.x;
            state->penY += first.y;
        }
        if (state->figureCounts && state->figureCounts[0] == 2)
            RenderVectorShape("FP", stream, 0, NULL, 0, state);
    } else if (absolute) {
        if (state->absoluteOrigin) {
            for (int i = 0; i < got; i++) {
                points[i].x += state->originX;
                points[i].y += state->originY;
            }
        }
        AppendPolygonPoints(state, points, got);
    } else {
        long long x = state->penX, y = state->penY;
        for (int i = 0; i < got; i++) {
            x += points[i].x;
            y += points[i].y;
            points[i].x = (LONG)x;
            points[i].y = (LONG)y;
        }
        AppendPolygonPoints(state, points, got);
    }
    MemFree(points);
    return 1;
}

// PC: the selected slot's pen and brush in the colour, selected into the canvas DC.
static void SetPenColour(DrawState *state, int red, int green, int blue)
{
    HDC dc = state->dc;
    HpglPenSlot &slot = state->pens[state->selectedPen];
    COLORREF colour = RGB(red, green, blue);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HBRUSH brush = CreateSolidBrush(colour);
    if (!pen || !brush) {
        if (pen) DeleteObject(pen);
        if (brush) DeleteObject(brush);
        return;
    }
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
    if (!state->objectsSaved) {
        state->savedPen = (HPEN)oldPen;
        state->savedBrush = (HBRUSH)oldBrush;
        state->objectsSaved = 1;
    }
    // The slot's previous objects are no longer selected now and can go.
    if (slot.pen) DeleteObject(slot.pen);
    if (slot.brush) DeleteObject(slot.brush);
    // The other slot's objects may have been the ones deselected: they are kept by their slot.
    slot.pen = pen;
    slot.brush = brush;
    slot.colour[0] = (unsigned char)blue;
    slot.colour[1] = (unsigned char)green;
    slot.colour[2] = (unsigned char)red;
    AddPaletteColor(dc, colour);
}

static int Clamp255(int v)
{
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

int RenderVectorShape(const char *command, PclStream *stream, int count, const void *values, int isFloat,
                      DrawState *state)
{
    if (!values) count = 0;
    char a = command[0], b = command[1];
    if (a == 'A' && b == 'C') {
        state->anchorX = count >= 2 ? IntAt(values, isFloat, 0) : 0;
        state->anchorY = count >= 2 ? IntAt(values, isFloat, 1) + 2 : 0;
    } else if (a == 'B' && b == 'Z') {
        DrawBezier(state, count, values, isFloat);
    } else if (a == 'E' && b == 'P') {
        if (!state->figureCounts) return 0;
        StrokePolygon(state);
        state->drawn = 1;
        ClearPolygonBuffer(state);
    } else if (a == 'F' && b == 'P') {
        if (!state->figureCounts) return 0;
        int mode = count >= 1 ? IntAt(values, isFloat, 0) : 0;
        FillPolygon(state, mode == 1 ? 1 : 0);
        state->drawn = 1;
        ClearPolygonBuffer(state);
    } else if (a == 'F' && b == 'T') {
        if (count >= 2 && IntAt(values, isFloat, 0) == 11) state->fillPattern = IntAt(values, isFloat, 1);
    } else if (a == 'I' && b == 'N') {
        state->fillPattern = 0;
        state->penX = state->penY = 0;
        state->anchorX = state->anchorY = 0;
        state->p1x = state->p1y = state->p2x = state->p2y = 0;
        state->originX = state->originY = 0;
        state->scaleValue = 0;
        state->clipDivisor = 1;
        state->selectedPen = 0;
        memset(state->pens[0].colour, 0, 3);
        memset(state->pens[1].colour, 0, 3);
        state->transparent = 0;
        state->rasterOp = GetTernaryRop(252);
        // The pens and brushes go; the page's palettes stay (they belong to the whole page).
        ReleasePenObjects(state);
        ClearPolygonBuffer(state);
    } else if (a == 'I' && b == 'P') {
        if (count == 4) {
            state->p1x = IntAt(values, isFloat, 0);
            state->p1y = IntAt(values, isFloat, 1);
            state->p2x = IntAt(values, isFloat, 2);
            state->p2y = IntAt(values, isFloat, 3);
        }
    } else if (a == 'I' && b == 'W') {
        if (count == 0) {
            SetRect(&state->clipWindow, 0, 0, 0, 0);
        } else if (count >= 4) {
            int divisor = state->clipDivisor > 0 ? state->clipDivisor : 1;   // never divide by zero
            int v[4];
            for (int i = 0; i < 4; i++) {
                v[i] = IntAt(values, isFloat, i) / divisor;
                if (v[i] < 0) v[i] = 0;
            }
            SetRect(&state->clipWindow, v[0], v[3], v[2], v[1]);
        } else {
            return 0;
        }
        ApplyHpglClip(state->dc, state);
    } else if (a == 'L' && b == 'B') {
        DrawLabel(stream, state);
    } else if (a == 'M' && b == 'C') {
        int mode = count >= 1 ? IntAt(values, isFloat, 0) : 0;
        int code = count >= 2 ? IntAt(values, isFloat, 1) : 252;
        state->rasterOp = GetTernaryRop(mode ? (code & 255) : 252);
    } else if (a == 'P' && b == 'C') {
        if (count >= 4)
            SetPenColour(state, Clamp255(IntAt(values, isFloat, 1)), Clamp255(IntAt(values, isFloat, 2)),
                         Clamp255(IntAt(values, isFloat, 3)));
    } else if (a == 'P' && b == 'E') {
        DrawPolylineEncoded(stream, state);
    } else if (a == 'P' && b == 'M') {
        int mode = count >= 1 ? IntAt(values, isFloat, 0) : 0;
        if (mode == 0) StartPolygon(state);
        else if (mode == 1) StartNextFigure(state);
    } else if (a == 'P' && b == 'U') {
        if (count >= 2) {
            int last = (count / 2 - 1) * 2;
            state->penX = IntAt(values, isFloat, last);
            state->penY = IntAt(values, isFloat, last + 1);
        }
    } else if (a == 'R' && b == 'F') {
        DefineRasterFill(stream, count, values, isFloat);
    } else if (a == 'R' && b == 'R') {
        if (count >= 2) {
            long long x1 = (long long)state->penX + IntAt(values, isFloat, 0);
            long long y1 = (long long)state->penY + IntAt(values, isFloat, 1);
            RECT r;
            r.left = state->penX < x1 ? state->penX : (LONG)x1;
            r.right = state->penX < x1 ? (LONG)x1 : state->penX;
            r.top = state->penY < y1 ? state->penY : (LONG)y1;
            r.bottom = state->penY < y1 ? (LONG)y1 : state->penY;
            FillRect(state->dc, &r, (HBRUSH)GetCurrentObject(state->dc, OBJ_BRUSH));
            GdiFlush();
        }
    } else if (a == 'S' && b == 'C') {
        if (count >= 4) {
            double x1 = ValueAt(values, isFloat, 0), x2 = ValueAt(values, isFloat, 1);
            double units;
            if (state->p2x || state->p2y) {
                double p = state->p2x > state->p2y ? state->p2x : state->p2y;
                double m = x1 > x2 ? x1 : x2;
                units = m != 0 ? p / m : 0;
            } else {
                units = x2 < 0 ? -x2 : x2;
                if (!isFloat) units = (double)(int)units;
            }
            if (units != 0) {   // a zero extent leaves the scale as it was
                double scale = 1016.0 / units;
                if (scale > 2147483647.0) scale = 2147483647.0;
                if (scale < -2147483647.0) scale = -2147483647.0;
                state->scaleValue = (int)scale;
                state->clipDivisor = state->scaleValue / 300;
            }
        }
    } else if (a == 'S' && b == 'P') {
        int n = count >= 1 ? IntAt(values, isFloat, 0) : 0;
        int slot = n - 1;
        if (slot < 0) slot = 0;
        if (slot > 1) slot = 1;   // pens above 2 share the second slot
        state->selectedPen = slot;
    } else if (a == 'T' && b == 'R') {
        state->transparent = count >= 1 ? IntAt(values, isFloat, 0) != 0 : 1;
    }
    return 1;
}
