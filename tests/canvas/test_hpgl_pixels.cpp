// HP-GL/2 pixels drawn the fast way match the plain way. The polygon strokes' wide pen written
// straight into the canvas bits gives GDI's pixels (every direction and length of segment, joins,
// dots, several figures, the bitmap's edges, a clip window, other widths and colours) and the
// cases it cannot vouch for are left to GDI; fills drawn on the canvas inside the figures' box
// give what a work bitmap of the box gave.
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include <stdio.h>
#include <math.h>
#include <string.h>
#include <vector>

namespace {

const int kSide = 240;

// A 4-bit bitmap with the page canvas's kind of table (and one colour added) in its own DC.
struct StrokeCanvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    CanvasBits bits;
    explicit StrokeCanvas(int bitsPerPixel = 4)
    {
        RGBQUAD table[256];   // an 8-bit bitmap takes all 256
        memset(table, 0, sizeof table);
        RGBQUAD silver = {192, 192, 192, 0}, grey = {128, 128, 128, 0}, white = {255, 255, 255, 0};
        RGBQUAD red = {0, 0, 255, 0};
        table[1] = red;
        table[7] = silver;
        table[8] = grey;
        table[15] = white;
        dc = CreateCompatibleDC(NULL);
        bitmap = CreateDibBitmap(kSide, kSide, bitsPerPixel, 0, NULL, bitsPerPixel <= 8 ? table : NULL);
        old = SelectObject(dc, bitmap);
        GetCanvasBits(bitmap, &bits);
        GdiFlush();
        for (int y = 0; y < kSide; y++) memset(CanvasRow(bits, y), 0xFF, (size_t)abs(bits.rowStep));
    }
    ~StrokeCanvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Clip(const RECT &r)
    {
        HRGN region = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        SelectClipRgn(dc, region);
        DeleteObject(region);
    }
    // Rows differing from the other canvas's (-1 when none) and the pixels that are not white.
    int FirstDifferentRow(const StrokeCanvas &other) const
    {
        GdiFlush();
        int bytes = (kSide * bits.bitsPerPixel + 7) / 8;
        for (int y = 0; y < kSide; y++)
            if (memcmp(CanvasRow(bits, y), CanvasRow(other.bits, y), (size_t)bytes)) return y;
        return -1;
    }
    int InkBytes() const
    {
        int n = 0;
        for (int y = 0; y < kSide; y++)
            for (int x = 0; x < kSide / 2; x++) n += CanvasRow(bits, y)[x] != 0xFF;
        return n;
    }
};

struct StrokeCase {
    const char *name;
    std::vector<std::vector<POINT>> figures;
    RECT clip;   // empty: none
};

std::vector<POINT> Fan(int cx, int cy, int directions, int length)
{
    std::vector<POINT> p;
    for (int i = 0; i < directions; i++) {
        double a = 6.283185307179586 * i / directions;
        int len = length / 3 + (i * 37) % length;
        p.push_back({cx, cy});
        p.push_back({cx + (LONG)(len * cos(a)), cy + (LONG)(len * sin(a))});
    }
    return p;
}

std::vector<POINT> Wander(unsigned seed, int count, int step)
{
    std::vector<POINT> p;
    int x = kSide / 2, y = kSide / 2;
    for (int i = 0; i < count; i++) {
        seed = seed * 1103515245u + 12345u;
        x += (int)((seed >> 8) % (2 * step + 1)) - step;
        seed = seed * 1103515245u + 12345u;
        y += (int)((seed >> 8) % (2 * step + 1)) - step;
        x = x < -10 ? -10 : x > kSide + 10 ? kSide + 10 : x;
        y = y < -10 ? -10 : y > kSide + 10 ? kSide + 10 : y;
        p.push_back({x, y});
    }
    return p;
}

void Draw(StrokeCanvas &canvas, const StrokeCase &c, int width, COLORREF colour, int direct, int *drawn)
{
    std::vector<POINT> points;
    std::vector<int> counts;
    for (auto &f : c.figures) {
        points.insert(points.end(), f.begin(), f.end());
        counts.push_back((int)f.size());
    }
    if (!IsRectEmpty(&c.clip)) canvas.Clip(c.clip);
    if (direct) *drawn = StrokeFiguresDirect(canvas.dc, points.data(), counts.data(), (int)counts.size(), width, colour);
    else StrokeFiguresWithGdi(canvas.dc, points.data(), counts.data(), (int)counts.size(), width, colour);
}

} // namespace

TEST(HpglStroke, DirectPixelsMatchGdi)
{
    const RECT none = {0, 0, 0, 0};
    std::vector<StrokeCase> cases = {
        {"zigzag", {{{10, 60}, {40, 30}, {70, 60}, {100, 30}, {130, 60}, {160, 30}, {190, 60}}}, none},
        {"every direction", {Fan(120, 120, 97, 110)}, none},
        {"short steps", {{{50, 50}, {51, 50}, {52, 52}, {52, 53}, {50, 54}, {49, 52}, {47, 53}, {48, 50}}}, none},
        {"level, upright, repeated points and a dot",
         {{{20, 200}, {20, 200}, {120, 200}, {120, 120}, {120, 120}, {60, 120}, {60, 121}, {60, 121}},
          {{200, 20}, {200, 20}}},
         none},
        {"several figures", {{{5, 5}, {200, 9}}, {{30, 230}, {31, 10}}, {{229, 229}, {11, 150}, {100, 101}}}, none},
        {"over the edges", {{{-30, -20}, {260, 100}, {120, 250}, {-5, 237}, {238, 3}}}, none},
        {"clip window", {Fan(100, 110, 31, 100)}, {33, 41, 171, 180}},
        {"wandering path", {Wander(7, 300, 25)}, none},
        {"wandering path, clipped", {Wander(99, 300, 40)}, {0, 17, 237, 203}},
    };
    struct {
        int width;
        COLORREF colour;
    } pens[] = {{3, RGB(0, 0, 0)}, {3, RGB(255, 0, 0)}, {2, RGB(0, 0, 0)}, {4, RGB(128, 128, 128)},
                {5, RGB(0, 0, 0)}, {8, RGB(250, 10, 5)}};
    for (auto &c : cases) {
        for (auto &pen : pens) {
            SCOPED_TRACE(testing::Message() << c.name << ", width " << pen.width << ", colour " << std::hex
                                            << pen.colour);
            StrokeCanvas gdi, direct;
            int drawn = 0;
            Draw(gdi, c, pen.width, pen.colour, 0, NULL);
            Draw(direct, c, pen.width, pen.colour, 1, &drawn);
            EXPECT_EQ(1, drawn);
            EXPECT_GT(gdi.InkBytes(), 0);
            EXPECT_EQ(-1, direct.FirstDifferentRow(gdi));
        }
    }
}

TEST(HpglStroke, CasesLeftToGdi)
{
    POINT line[2] = {{10, 10}, {100, 60}};
    POINT distant[2] = {{10, 10}, {100000, 60}};
    int two = 2;
    struct {
        const char *name;
        int bitsPerPixel, width, rop2;
        const POINT *points;
    } cases[] = {
        {"an 8-bit bitmap", 8, 3, R2_COPYPEN, line},
        {"a 24-bit bitmap", 24, 3, R2_COPYPEN, line},
        {"a one-pixel pen", 4, 1, R2_COPYPEN, line},
        {"another raster mode", 4, 3, R2_XORPEN, line},
        {"a point far beyond the bitmap", 4, 3, R2_COPYPEN, distant},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.name);
        StrokeCanvas canvas(c.bitsPerPixel);
        SetROP2(canvas.dc, c.rop2);
        EXPECT_EQ(0, StrokeFiguresDirect(canvas.dc, c.points, &two, 1, c.width, RGB(0, 0, 0)));
        EXPECT_EQ(0, canvas.InkBytes());
    }
    // A clip region of two rectangles is left to GDI too.
    StrokeCanvas canvas;
    HRGN a = CreateRectRgn(0, 0, 50, 50), b = CreateRectRgn(100, 100, 150, 150);
    CombineRgn(a, a, b, RGN_OR);
    SelectClipRgn(canvas.dc, a);
    DeleteObject(a);
    DeleteObject(b);
    EXPECT_EQ(0, StrokeFiguresDirect(canvas.dc, line, &two, 1, 3, RGB(0, 0, 0)));
    FreeStrokeShapes();
}

namespace {

typedef std::vector<std::vector<POINT>> Figures;

// The plain fill: a work bitmap of the box the figures take on the page (its part on the bitmap)
// gets a copy of the canvas, the figures drawn into it moved to its corner, and goes back
// through the canvas's clip.
void FillThroughWorkBitmap(StrokeCanvas &canvas, const Figures &figures, int fillMode, COLORREF colour)
{
    std::vector<POINT> points;
    std::vector<int> counts;
    long minX = kSide, minY = kSide, maxX = 0, maxY = 0;
    for (auto &f : figures) {
        for (auto &p : f) {
            minX = p.x < minX ? p.x : minX;
            minY = p.y < minY ? p.y : minY;
            maxX = p.x > maxX ? p.x : maxX;
            maxY = p.y > maxY ? p.y : maxY;
        }
        points.insert(points.end(), f.begin(), f.end());
        counts.push_back((int)f.size());
    }
    minX = minX < 0 ? 0 : minX;
    minY = minY < 0 ? 0 : minY;
    maxX = maxX > kSide ? kSide : maxX;
    maxY = maxY > kSide ? kSide : maxY;
    int w = maxX - minX < 1 ? 1 : (int)(maxX - minX), h = maxY - minY < 1 ? 1 : (int)(maxY - minY);
    for (auto &p : points) {
        p.x -= minX;
        p.y -= minY;
    }
    RGBQUAD table[16];
    GetDIBColorTable(canvas.dc, 0, 16, table);
    HBITMAP bitmap = CreateDibBitmap(w, h, 4, 0, NULL, table);
    HDC work = CreateCompatibleDC(canvas.dc);
    HGDIOBJ oldBitmap = SelectObject(work, bitmap);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ oldPen = SelectObject(work, pen), oldBrush = SelectObject(work, brush);
    SetPolyFillMode(work, fillMode + 1);
    BitBlt(work, 0, 0, w, h, canvas.dc, (int)minX, (int)minY, SRCCOPY);
    PolyPolygon(work, points.data(), counts.data(), (int)counts.size());
    BitBlt(canvas.dc, (int)minX, (int)minY, w, h, work, 0, 0, SRCCOPY);
    SelectObject(work, oldPen);
    SelectObject(work, oldBrush);
    SelectObject(work, oldBitmap);
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteDC(work);
    DeleteObject(bitmap);
    GdiFlush();
}

// The interpreter's fill (FP) of the figures on the canvas, under an IW window when clip is set.
void FillThroughInterpreter(StrokeCanvas &canvas, const Figures &figures, int fillMode, COLORREF colour,
                            const RECT &clip)
{
    DrawState state;
    memset(&state, 0, sizeof state);
    state.pageWidth = state.pageHeight = kSide;
    state.clipDivisor = 1;
    state.dc = canvas.dc;
    char buffer[160];
    snprintf(buffer, sizeof buffer, "IN;SP1;PC1,%d,%d,%d;", (int)GetRValue(colour), (int)GetGValue(colour),
             (int)GetBValue(colour));
    std::string text = buffer;
    if (!IsRectEmpty(&clip)) {
        snprintf(buffer, sizeof buffer, "IW%ld,%ld,%ld,%ld;", clip.left, clip.bottom, clip.right, clip.top);
        text += buffer;
    }
    auto run = [&state](const std::string &t) {
        PclStream st = {(const unsigned char *)t.data(), 0, 0, (unsigned)t.size()};
        while (st.pos < st.end) ExecuteHpglCommand(&st, &state);
    };
    run(text);
    for (size_t f = 0; f < figures.size(); f++) {
        snprintf(buffer, sizeof buffer, "%sPU%ld,%ld;", f ? "PM1;" : "PM0;", figures[f][0].x, figures[f][0].y);
        run(buffer);
        AppendPolygonPoints(&state, figures[f].data() + 1, (int)figures[f].size() - 1);
    }
    run(fillMode ? "FP1;" : "FP0;");
    ReleaseDrawingObjects(&state);
    SelectClipRgn(canvas.dc, NULL);
}

} // namespace

TEST(HpglFill, CanvasFillMatchesAWorkBitmapOfTheBox)
{
    const RECT none = {0, 0, 0, 0};
    Figures star = {{{120, 20}, {180, 200}, {30, 85}, {210, 85}, {60, 200}, {120, 20}}};
    Figures holed = {{{20, 20}, {220, 20}, {220, 220}, {20, 220}}, {{70, 70}, {170, 70}, {170, 170}, {70, 170}}};
    struct {
        const char *name;
        Figures figures;
        int fillMode;
        COLORREF colour;
        RECT clip;
    } cases[] = {
        {"star, even-odd", star, 0, RGB(0, 0, 0), none},
        {"star, winding, a colour the table takes", star, 1, RGB(0, 0, 200), none},
        {"square with a hole", holed, 0, RGB(255, 0, 0), none},
        {"over the bitmap's edges", {{{-40, 30}, {300, -20}, {260, 280}, {100, 120}, {-10, 250}}}, 1, RGB(0, 0, 0),
         none},
        {"clip window", star, 1, RGB(128, 128, 128), {41, 33, 199, 151}},
        {"a level sliver", {{{10, 100}, {200, 100}, {90, 100}}}, 0, RGB(0, 0, 0), none},
        {"a small slanted triangle", {{{101, 7}, {104, 9}, {99, 12}}}, 0, RGB(0, 0, 0), none},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.name);
        StrokeCanvas plain, canvas;
        // Both canvases already have ink under the fill: a wide band across them.
        POINT band[2] = {{0, 110}, {kSide, 140}};
        int two = 2;
        StrokeFiguresWithGdi(plain.dc, band, &two, 1, 9, RGB(0, 0, 0));
        StrokeFiguresWithGdi(canvas.dc, band, &two, 1, 9, RGB(0, 0, 0));
        AddPaletteColor(plain.dc, c.colour);
        if (!IsRectEmpty(&c.clip)) plain.Clip(c.clip);
        FillThroughWorkBitmap(plain, c.figures, c.fillMode, c.colour);
        FillThroughInterpreter(canvas, c.figures, c.fillMode, c.colour, c.clip);
        EXPECT_GT(plain.InkBytes(), 0);
        EXPECT_EQ(-1, canvas.FirstDifferentRow(plain));
    }
}
