// The PCL page interpreter: walks a page's stream of PJL lines, PCL 5 escape sequences, text and
// HP-GL/2 sections and draws it onto the page canvas.
#include "canvas/canvas.h"
#include <commctrl.h>
#include <string.h>

#define MAX_PCL_PALETTES 1024

unsigned int gPclLastStop;
#define CURSOR_LIMIT 1000000

static const char *const kLandscapeKeys11[] = {"Form 3800.3", "Form 3800.4", "Form 3800.7",
                                               "Form 4255.1", "Form 4255.2", "Form 4255.3"};
static const char *const kLandscapeKeys22[] = {"Schedule R (Form 940).", "Schedule R (Form 941).",
                                               "Schedule R (Form 943)."};

int IsLandscapePageKey(const char *pageKey)
{
    if (!pageKey) return 0;
    for (const char *key : kLandscapeKeys11)
        if (strncmp(pageKey, key, 11) == 0) return 1;
    for (const char *key : kLandscapeKeys22)
        if (strncmp(pageKey, key, 22) == 0) return 1;
    return 0;
}

static int ClampCursor(long long v)
{
    if (v > CURSOR_LIMIT) return CURSOR_LIMIT;
    if (v < -CURSOR_LIMIT) return -CURSOR_LIMIT;
    return (int)v;
}

static void ReportProgress(PclRenderState *s)
{
    ReportPclProgress(s, 0);
}

static PclPalette *SelectedPalette(PclRenderState *s)
{
    return s->selectedPalette >= 0 && s->selectedPalette < s->paletteCount ? &s->palettes[s->selectedPalette] : NULL;
}

static void AppendPalette(PclRenderState *s)
{
    if (s->paletteCount >= MAX_PCL_PALETTES) return;
    PclPalette *grown = (PclPalette *)MemAlloc(64, (size_t)(s->paletteCount + 1) * sizeof(PclPalette));
    if (!grown) return;
    if (s->palettes) memcpy(grown, s->palettes, (size_t)s->paletteCount * sizeof(PclPalette));
    MemFree(s->palettes);
    s->palettes = grown;
    s->palettes[s->paletteCount].id = (uint16_t)s->paletteControlId;
    s->paletteCount++;
}

static void SelectPalette(PclRenderState *s, int id)
{
    s->selectedPaletteId = id;
    for (int i = 0; i < s->paletteCount; i++) {
        if (s->palettes[i].id == (uint16_t)id) {
            s->selectedPalette = i;
            return;
        }
    }
}

// ESC * v # I: the palette entry takes the composed colour; the colour count grows as it is kept.
static void AssignPaletteEntry(PclRenderState *s, int index)
{
    PclPalette *pal = SelectedPalette(s);
    if (!pal || index < 0 || index > 255) return;
    COLORREF colour = RGB(s->composed[0], s->composed[1], s->composed[2]);
    pal->colours[index] = colour;
    if (colour == 0) {
        if (pal->count == 0) pal->count = 1;
    } else if (colour == 0xFFFFFF) {
        if (pal->count == 1) pal->count = 2;
    } else if (colour == 0x808080 || colour == 0xC0C0C0) {
        pal->count++;
    } else if (index == s->composed[0] && index == s->composed[1] && index == s->composed[2]) {
        pal->count++;
    } else if (AddPaletteColor(s->dc, colour)) {
        pal->count++;
    }
}

static void CheckResolution(PclRenderState *s, int value)
{
    if (s->resolution && s->resolution != value)
        ShowMessageBox(gMainWindow, "Page resolution mis-match detected.", "Warning", MB_OK | MB_ICONEXCLAMATION);
    else if (value == 300)
        s->resolution = 300;
    else
        ShowMessageBox(gMainWindow, "Invalid page resolution detected.", "Warning", MB_OK | MB_ICONEXCLAMATION);
}

// Data length of a record that carries binary data, clamped to what remains; -1 for none.
static long long DataLength(const PclRenderState *s, const PclEscape &r)
{
    if (r.terminator != 'W') return -1;
    unsigned int remaining = s->stream.end - s->stream.pos;
    if (r.value <= 0) return 0;
    return (unsigned)r.value > remaining ? remaining : (unsigned)r.value;
}

static void RunHpglSection(PclRenderState *s)
{
    FinishFreshRows(s);   // vectors may cover any rows
    while (s->stream.pos < s->stream.end && s->stream.data[s->stream.pos] != 27) {
        unsigned int before = s->stream.pos;
        ExecuteHpglCommand(&s->stream, &s->hpgl);
        if (s->stream.pos <= before) s->stream.pos = before + 1;   // always move on
        ReportProgress(s);
    }
}

// Executes one record; the stream position is just past the sequence (before its data).
static void ExecuteRecord(PclRenderState *s, const PclEscape &r)
{
    const char *prefix = r.prefix;
    char t = r.terminator;
    int v = r.value;
    long long dataLength = DataLength(s, r);
    const unsigned char *data = s->stream.data + s->stream.pos;

    if (!prefix[0]) {
        if (t == 'E') s->unitDivisor = 1;
        return;
    }
    if (!strcmp(prefix, "%")) {
        if (t == 'A') {
            SelectClipRgn(s->dc, NULL);
            s->clipped = 0;
        } else if (t == 'B') {
            RunHpglSection(s);
        }
        return;
    }
    if (!strcmp(prefix, "&l")) {
        if (t == 'C') s->verticalMotionIndex = v;
        else if (t == 'E') s->topMargin = v;
    } else if (!strcmp(prefix, "&p")) {
        if (t == 'X') {
            unsigned int remaining = s->stream.end - s->stream.pos;
            s->transparentCount = v <= 0 ? 0 : ((unsigned)v > remaining ? (int)remaining : v);
        } else if (t == 'I') {
            s->paletteControlId = v & 0xFFFF;
        } else if (t == 'C') {
            if (v == 6) AppendPalette(s);
        } else if (t == 'S') {
            SelectPalette(s, v);
        }
    } else if (!strcmp(prefix, "&u")) {
        if (t == 'D') s->unitDivisor = v < 600 ? 1 : v / 300;
    } else if (!strcmp(prefix, "*b")) {
        if (t == 'M') s->compression = v;
        else if (t == 'W') {
            TransferRasterData(s, v);   // moves the position past the data itself
            return;
        }
    } else if (!strcmp(prefix, "*c")) {
        switch (t) {
        case 'A': s->rectWidth = v; break;
        case 'B': s->rectHeight = v; break;
        case 'G': s->fillId = v; break;
        case 'P':
            FinishFreshRows(s);
            FillPclRectangle(s, v);
            break;
        case 'D':
            s->fontId = v;
            GetFormRecord(v);
            break;
        case 'E':
            if (v > 255) {
                int n = v & 0xFF;
                gPclCharacterCode = n <= 253 ? 254 - n : 0;
            } else if (v >= 0) {
                gPclCharacterCode = v;
            }
            break;
        case 'X': s->frameWidth = (int)((long long)v * s->resolution / 720); break;
        case 'Y': s->frameHeight = (int)((long long)v * s->resolution / 720); break;
        case 'T':
            s->anchorX = s->cursorX;
            s->anchorY = s->cursorY;
            break;
        }
    } else if (!strcmp(prefix, "*l")) {
        if (t == 'O' && v >= 0 && v <= 255) s->logicalOp = GetTernaryRop(v);
    } else if (!strcmp(prefix, "*p")) {
        if (t == 'X') {
            if (r.sign) {
                long long d = (v == 1 || v == -1) ? v : v / s->unitDivisor;
                s->cursorX = ClampCursor((long long)s->cursorX + d);
            } else {
                s->cursorX = ClampCursor(v / s->unitDivisor);
                s->xSet = 1;
            }
        } else if (t == 'Y') {
            if (r.sign) {
                s->cursorY = ClampCursor((long long)s->cursorY + v / s->unitDivisor);
            } else {
                s->cursorY = ClampCursor(v / s->unitDivisor);
                s->ySet = 1;
            }
            s->clearSeedRow = 1;
        }
    } else if (!strcmp(prefix, "*r")) {
        switch (t) {
        case 'S': s->rasterWidth = v > 0 ? v : 0; break;
        case 'T': s->rasterHeight = v > 0 ? v : 0; break;
        case 'A':
            s->rasterActive = 1;
            s->clearSeedRow = 1;
            break;
        case 'B':
        case 'C': s->rasterActive = 0; break;
        }
    } else if (!strcmp(prefix, "*t")) {
        if (t == 'R') CheckResolution(s, v);
        else if (t == 'H' || t == 'V') {
            double decipoints = r.hasReal ? r.real : (double)v;
            double dots = decipoints * 300.0 / 720.0 + 0.5;
            int d = dots > CURSOR_LIMIT ? CURSOR_LIMIT : dots < -CURSOR_LIMIT ? -CURSOR_LIMIT : (int)dots;
            if (t == 'H') s->destWidth = d;
            else s->destHeight = d;
        }
    } else if (!strcmp(prefix, "*v")) {
        PclPalette *pal = SelectedPalette(s);
        switch (t) {
        case 'A': s->composed[0] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v); break;
        case 'B': s->composed[1] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v); break;
        case 'C': s->composed[2] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v); break;
        case 'S':
            if (pal && v >= 0 && v <= 255) {
                s->colour = pal->colours[v];
                s->hasColour = 1;
            }
            break;
        case 'I': AssignPaletteEntry(s, v); break;
        }
    } else if (!strcmp(prefix, "(")) {
        if (t == 'X') {
            s->fontId = v;
            GetFormRecord(v);
        }
    } else if (!strcmp(prefix, "(s")) {
        if (t == 'W') DownloadPclCharacter(s, data, (unsigned int)dataLength);
    } else if (!strcmp(prefix, ")s")) {
        if (t == 'W') DownloadPclFontHeader(s, data, (unsigned int)dataLength);
    }
    // Every other record with a W terminator carries data that is passed over.
    if (dataLength > 0) s->stream.pos += (unsigned int)dataLength;
}

static void InitRenderState(PclRenderState *s, const unsigned char *data, unsigned int start, unsigned int end,
                            HWND progress)
{
    memset(s, 0, sizeof *s);
    s->pageWidth = PAGE_CANVAS_WIDTH;
    s->pageHeight = PAGE_CANVAS_HEIGHT;
    s->pagePixels = PAGE_CANVAS_WIDTH * PAGE_CANVAS_HEIGHT;
    s->unitDivisor = 1;
    s->selectedPalette = -1;
    s->stream.data = data;
    s->stream.pos = start;
    s->stream.start = start;
    s->stream.end = end;
    s->progress = progress;
    s->lastPercent = -1;
    if (progress) QueryPerformanceCounter(&s->progressTime);
    s->dc = gPageCanvasDc;
    s->hpgl.pageWidth = PAGE_CANVAS_WIDTH;
    s->hpgl.pageHeight = PAGE_CANVAS_HEIGHT;
    s->hpgl.clipDivisor = 1;
    s->hpgl.rasterOp = GetTernaryRop(252);
    s->hpgl.dc = gPageCanvasDc;
    s->hpgl.pcl = s;
    GetCanvasBits(gPageCanvasBitmap, &s->canvas);
    s->freshRows = 1;   // the canvas comes white; rowWritten is all 0
}

// Whether the row of the page canvas EraseBottomEdgeInk looks at first (the third from the
// bottom) is white index 15 throughout, so that it would find nothing to erase (the usual page).
static int IsBottomEdgeWhite(PclRenderState *s)
{
    CanvasBits c;
    RGBQUAD q;
    if ((HBITMAP)GetCurrentObject(s->dc, OBJ_BITMAP) != gPageCanvasBitmap || !GetCanvasBits(gPageCanvasBitmap, &c) ||
        c.bitsPerPixel != 4 || c.height < 3 || GetDIBColorTable(s->dc, 15, 1, &q) != 1 || q.rgbRed != 255 ||
        q.rgbGreen != 255 || q.rgbBlue != 255)
        return 0;
    GdiFlush();
    const unsigned char *row = CanvasRow(c, c.height - 3);
    for (int i = 0; i < c.width / 2; i++)
        if (row[i] != 0xFF) return 0;
    return !(c.width & 1) || (row[c.width / 2] & 0xF0) == 0xF0;
}

// Text, at most `count` bytes, as characters at the cursor (glyphs may land on any rows).
static int DrawStreamText(PclRenderState *s, const unsigned char *bytes, int count)
{
    FinishFreshRows(s);
    return DrawPclText(s, bytes, count);
}

// A raster transfer in its plain form, ESC * b <up to 9 digits> W (all but a few sequences of a
// raster page), read without the general escape parser: the value and the position after the
// sequence, as ParsePclEscape gives them. 0 for any other sequence.
static int ReadRasterTransfer(const unsigned char *data, unsigned int pos, unsigned int end, int *value,
                              unsigned int *next)
{
    if (end - pos < 4 || data[pos + 1] != '*' || data[pos + 2] != 'b') return 0;
    unsigned int p = pos + 3;
    int v = 0;
    for (int n = 0; p < end && data[p] >= '0' && data[p] <= '9'; n++, p++) {
        if (n == 9) return 0;
        v = v * 10 + (data[p] - '0');
    }
    if (p >= end || data[p] != 'W') return 0;
    *value = v;
    *next = p + 1;
    return 1;
}

HBITMAP RenderPclRange(const unsigned char *data, unsigned int start, unsigned int end, int landscape,
                       HWND progress, PclFieldPainterProc fieldPainter, void *context, unsigned int *stopOut)
{
    if (stopOut) *stopOut = end;
    gPclLastStop = end;
    if (!data || start >= end) return NULL;
    ResetPageCanvas();
    if (!gPageCanvasDc || !gPageCanvasBitmap || !gPageWorkBuffer) return NULL;
    static PclRenderState state;   // one page at a time (the canvas is shared)
    PclRenderState *s = &state;
    InitRenderState(s, data, start, end, progress);
    SelectClipRgn(s->dc, NULL);
    COLORREF oldText = SetTextColor(s->dc, RGB(0, 0, 0)), oldBk = SetBkColor(s->dc, RGB(255, 255, 255));

    HBITMAP result = NULL;
    PclEscape records[PCL_MAX_ESCAPE_RECORDS];
    while (s->stream.pos < s->stream.end) {
        unsigned int pos = s->stream.pos;
        if (s->transparentCount > 0) {
            // Transparent print: the counted bytes are characters, whatever they are.
            unsigned int n = (unsigned)s->transparentCount;
            if (n > s->stream.end - pos) n = s->stream.end - pos;
            DrawStreamText(s, data + pos, (int)n);
            s->stream.pos = pos + n;
            s->transparentCount = 0;
            ReportProgress(s);
            continue;
        }
        unsigned char b = data[pos];
        int rasterValue;
        unsigned int rasterNext;
        if (b == 27 && ReadRasterTransfer(data, pos, end, &rasterValue, &rasterNext)) {
            s->stream.pos = rasterNext;
            TransferRasterData(s, rasterValue);   // moves the position past the data itself
        } else if (b == 27) {
            if (pos + 1 < end && data[pos + 1] == 27) {
                DrawStreamText(s, data + pos, 1);   // ESC ESC: the first is character 27
                s->stream.pos = pos + 1;
            } else {
                unsigned int next;
                int count = ParsePclEscape(data, pos, end, records, &next);
                s->stream.pos = next > pos ? next : pos + 1;
                for (int i = 0; i < count; i++) ExecuteRecord(s, records[i]);
            }
        } else if (b == 13) {
            s->cursorX = 0;
            s->stream.pos = pos + 1;
        } else if (b == 12) {
            s->stream.pos = pos + 1;
            FinishFreshRows(s);
            // End of page: a pending polygon is filled, the page turned when landscape, the
            // fields painted, and the canvas bitmap handed out.
            if (s->hpgl.figureCounts && !s->hpgl.drawn) RenderVectorShape("FP", &s->stream, 0, NULL, 0, &s->hpgl);
            SelectClipRgn(s->dc, NULL);
            if (landscape) {
                HBITMAP turned = RotateBitmap(gPageCanvasBitmap, 90);
                if (turned) {
                    SelectObject(s->dc, turned);
                    DeleteObject(gPageCanvasBitmap);
                    gPageCanvasBitmap = turned;
                }
            }
            if (fieldPainter) fieldPainter(s->dc, gPageCanvasBitmap, context);
            int bottomWhite = IsBottomEdgeWhite(s);
            result = DetachPageCanvasBitmap();
            if (result && !bottomWhite) EraseBottomEdgeInk(result);
            ReportPclProgress(s, 1);
            break;   // the page ends at its first form feed
        } else if (b == '@' && end - pos >= 5 && memcmp(data + pos, "@PJL", 4) == 0 &&
                   (data[pos + 4] == ' ' || data[pos + 4] == '\r' || data[pos + 4] == '\n')) {
            // A PJL line: up to the next line feed (consumed) or ESC (kept).
            unsigned int p = pos + 4;
            while (p < end && data[p] != '\n' && data[p] != 27) p++;
            if (p < end && data[p] == '\n') p++;
            s->stream.pos = p;
        } else {
            unsigned int p = pos;
            while (p < end && data[p] != 27 && data[p] != 12 && data[p] != 13) {
                // A two-byte code takes its second byte with it, even a CR, ESC or FF.
                p += data[p] == 0x80 && p + 1 < end ? 2 : 1;
            }
            DrawStreamText(s, data + pos, (int)(p - pos));
            s->stream.pos = p;
        }
        ReportProgress(s);
    }
    FinishFreshRows(s);
    ReleaseDrawingObjects(&s->hpgl);
    if (s->palettes) s->palettes = (PclPalette *)MemFree(s->palettes);
    s->paletteCount = 0;
    if (gPageCanvasDc) {
        SelectClipRgn(gPageCanvasDc, NULL);
        SetTextColor(gPageCanvasDc, oldText);
        SetBkColor(gPageCanvasDc, oldBk);
    }
    if (stopOut) *stopOut = s->stream.pos;
    gPclLastStop = s->stream.pos;
    RequestSpareCanvas();   // the next page's canvas is made while this one is in use
    return result;
}
