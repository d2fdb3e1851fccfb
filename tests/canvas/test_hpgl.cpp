// HP-GL/2 sections: parameters, Polyline Encoded numbers, the polygon buffer, strokes and fills,
// pens, clipping, scaling, raster fill patterns, labels, and bounds on hostile data.
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_pcl_util.h"
#include "tools/pclgen/pclstreams.h"
#include <string.h>
#include <string>

using namespace pclgen;

namespace {

PclStream StreamOf(const std::string &s)
{
    PclStream st;
    st.data = (const unsigned char *)s.data();
    st.pos = 0;
    st.start = 0;
    st.end = (unsigned)s.size();
    return st;
}

// Runs every command of an HP-GL/2 text against a state drawing into a small DC.
struct HpglRun {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    DrawState state;
    HpglRun()
    {
        dc = CreateCompatibleDC(NULL);
        bitmap = CreateDibBitmap(200, 200, 4, WHITENESS, NULL, NULL);
        old = SelectObject(dc, bitmap);
        memset(&state, 0, sizeof state);
        state.pageWidth = 200;
        state.pageHeight = 200;
        state.clipDivisor = 1;
        state.dc = dc;
    }
    ~HpglRun()
    {
        ReleaseDrawingObjects(&state);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Run(const std::string &text)
    {
        PclStream st = StreamOf(text);
        while (st.pos < st.end) {
            unsigned before = st.pos;
            ExecuteHpglCommand(&st, &state);
            ASSERT_GT(st.pos, before);
        }
    }
};

// A page with an HP-GL/2 section.
std::string Section(const std::string &hpgl)
{
    std::string s;
    Esc(s, "E");
    Esc(s, "%1B");
    s += hpgl;
    Esc(s, "%0A");
    s += '\f';
    return s;
}

} // namespace

TEST(Hpgl, PolylineEncodedNumbers)
{
    struct {
        std::string bytes;
        int value;
    } cases[] = {
        {std::string(1, (char)191), 0}, {std::string(1, (char)192), 0}, {std::string(1, (char)193), 1},
        {std::string(1, (char)194), -1}, {std::string("\x3f\xc1", 2), 64}, {std::string("\x40\xbf", 2), 0},
    };
    for (auto &c : cases) {
        PclStream st = StreamOf(c.bytes);
        EXPECT_EQ(c.value, DecodePeNumber(&st));
        EXPECT_EQ(c.bytes.size(), st.pos);
    }
    // The builder's encoding reads back.
    for (long v : {0L, 1L, -1L, 31L, -32L, 1000L, -123456L, 2000000L}) {
        std::string s;
        PeNumber(s, v);
        PclStream st = StreamOf(s);
        EXPECT_EQ(v, DecodePeNumber(&st));
    }
    // An endless run of non-terminating digits stays in range; a flag ends a number.
    std::string endless(200, (char)126);
    PclStream st = StreamOf(endless);
    int v = DecodePeNumber(&st);
    EXPECT_EQ(endless.size(), st.pos);
    EXPECT_GE(v, 0);
    std::string flagged = "\x41<";
    st = StreamOf(flagged);
    DecodePeNumber(&st);
    EXPECT_EQ(1u, st.pos);
}

TEST(Hpgl, ParameterLists)
{
    std::string ints = "10,-20,+30;";
    PclStream st = StreamOf(ints);
    int count = 0, isFloat = 1;
    int *values = (int *)ParseHpglParameters(&st, &count, &isFloat);
    ASSERT_TRUE(values);
    EXPECT_EQ(3, count);
    EXPECT_EQ(0, isFloat);
    EXPECT_EQ(-20, values[1]);
    EXPECT_EQ(30, values[2]);
    EXPECT_EQ(ints.size() - 1, st.pos);
    MemFree(values);

    std::string reals = "1.5,2";
    st = StreamOf(reals);
    double *d = (double *)ParseHpglParameters(&st, &count, &isFloat);
    ASSERT_TRUE(d);
    EXPECT_EQ(1, isFloat);
    EXPECT_DOUBLE_EQ(1.5, d[0]);
    EXPECT_DOUBLE_EQ(2.0, d[1]);
    MemFree(d);

    std::string overlong = std::string(60, '9') + ",5";   // cut at 23 characters, saturated
    st = StreamOf(overlong);
    values = (int *)ParseHpglParameters(&st, &count, &isFloat);
    ASSERT_TRUE(values);
    EXPECT_EQ(2, count);
    EXPECT_EQ(2147483647, values[0]);
    EXPECT_EQ(5, values[1]);
    MemFree(values);

    std::string none = ";";
    st = StreamOf(none);
    EXPECT_EQ(NULL, ParseHpglParameters(&st, &count, &isFloat));
    EXPECT_EQ(0, count);
}

TEST(Hpgl, EncodedPolylinesBuildFiguresFromThePenPosition)
{
    HpglRun run;
    std::string s = "PU10,20;PE;";   // no data: nothing, the pen stays
    run.Run(s);
    EXPECT_EQ(10, run.state.penX);
    EXPECT_EQ(20, run.state.penY);
    EXPECT_EQ(NULL, run.state.figureCounts);

    std::string t = "PM0;";
    Pe(t, "=", {{50, 20}, {50, 60}});
    t += "PM1;";
    Pe(t, "", {{10, 0}, {0, 10}});
    run.Run(t);
    ASSERT_TRUE(run.state.figureCounts);
    EXPECT_EQ(1, run.state.figureIndex);
    EXPECT_EQ(3, run.state.figureCounts[0]);   // pen (10, 20), then the two points
    EXPECT_EQ(3, run.state.figureCounts[1]);   // pen (50, 60), then (60, 60), (60, 70)
    EXPECT_EQ(6, run.state.pointCount);
    EXPECT_EQ(10, run.state.points[0].x);
    EXPECT_EQ(20, run.state.points[0].y);
    EXPECT_EQ(50, run.state.points[3].x);
    EXPECT_EQ(60, run.state.points[3].y);
    EXPECT_EQ(60, run.state.points[5].x);
    EXPECT_EQ(70, run.state.points[5].y);
    EXPECT_EQ(60, run.state.penX);
    EXPECT_EQ(70, run.state.penY);

    // A pen-up move uses its first pair only; relative without "=".
    std::string u;
    Pe(u, "<", {{5, -5}, {100, 100}});
    run.Run(u);
    EXPECT_EQ(65, run.state.penX);
    EXPECT_EQ(65, run.state.penY);
    run.Run("EP;");
    EXPECT_EQ(1, run.state.drawn);
    EXPECT_EQ(NULL, run.state.figureCounts);
    EXPECT_EQ(0, run.state.pointCount);
}

TEST(Hpgl, TwoFiguresStrokedInOneCall)
{
    std::string h = "IN;SP1;PC1,0,0,0;PU100,100;PM0;";
    Pe(h, "=", {{300, 100}});
    h += "PM1;";
    Pe(h, "", {{0, 200}});
    h += "EP;";
    PageInk ink;
    ASSERT_TRUE(RenderStream(Section(""), &ink));
    HGDIOBJ canvasPen = GetCurrentObject(gPageCanvasDc, OBJ_PEN);
    HGDIOBJ canvasBrush = GetCurrentObject(gPageCanvasDc, OBJ_BRUSH);
    ASSERT_TRUE(RenderStream(Section(h), &ink));
    // The page's pens and brushes are gone and the canvas has its own back.
    EXPECT_EQ(canvasPen, GetCurrentObject(gPageCanvasDc, OBJ_PEN));
    EXPECT_EQ(canvasBrush, GetCurrentObject(gPageCanvasDc, OBJ_BRUSH));
    // Figure 1: (100,100)-(300,100) horizontal; figure 2 from (300,100) down to (300,300).
    EXPECT_TRUE(ink.IsBlack(200, 100));
    EXPECT_TRUE(ink.IsBlack(300, 200));
    EXPECT_TRUE(ink.IsWhite(200, 200));   // no line joins the figures' ends
    EXPECT_TRUE(ink.IsWhite(100, 200));
    long long horizontal = ink.CountBlack(120, 95, 280, 106);
    EXPECT_GE(horizontal, 160 * 2);   // 3 units wide
    EXPECT_LE(horizontal, 160 * 4);
}

TEST(Hpgl, EvenOddAndWindingFillsDifferOnAStar)
{
    std::string star;
    auto add = [&](int dx, int mode) {
        char buffer[96];
        snprintf(buffer, sizeof buffer, "PU%d,200;PM0;", 500 + dx);
        star += buffer;
        Pe(star, "=", {{620 + dx, 570}, {300 + dx, 340}, {700 + dx, 340}, {380 + dx, 570}, {500 + dx, 200}});
        star += mode ? "FP1;" : "FP0;";
    };
    add(0, 0);
    add(600, 1);
    PageInk ink;
    ASSERT_TRUE(RenderStream(Section("IN;SP1;PC1,0,0,0;" + star), &ink));
    // The star's centre is inside twice: empty with even-odd, filled with winding.
    EXPECT_TRUE(ink.IsWhite(500, 400));
    EXPECT_TRUE(ink.IsBlack(1100, 400));
    // A point of the star is filled either way.
    EXPECT_TRUE(ink.IsBlack(500, 230));
    EXPECT_TRUE(ink.IsBlack(1100, 230));
}

TEST(Hpgl, PensColoursAndSlots)
{
    HpglRun run;
    run.Run("SP0;");
    EXPECT_EQ(0, run.state.selectedPen);
    run.Run("SP1;");
    EXPECT_EQ(0, run.state.selectedPen);   // SP 0 and SP 1 share a slot
    run.Run("SP2;PC2,10,200,30;");
    EXPECT_EQ(1, run.state.selectedPen);
    EXPECT_EQ(200, run.state.pens[1].colour[1]);
    EXPECT_TRUE(run.state.pens[1].pen);
    run.Run("SP9;");
    EXPECT_EQ(1, run.state.selectedPen);   // pens beyond 2 share the second slot
    run.Run("PC2,1,2,3;PC2,4,5,6;SP-3;SP;PC;PC1;");   // replaced while selected; missing values
    EXPECT_EQ(0, run.state.selectedPen);
    EXPECT_EQ(4, run.state.pens[1].colour[2]);
    // The colour was added to the bitmap's palette (its first free entry of the VGA table: none,
    // so nothing was added; the pens still draw).
    EXPECT_EQ(1, run.state.objectsSaved);
    ReleaseDrawingObjects(&run.state);
    EXPECT_EQ(0, run.state.objectsSaved);
    EXPECT_EQ(NULL, run.state.pens[1].pen);
}

TEST(Hpgl, ScaleClipAndInitialiseNeverDivideByZero)
{
    HpglRun run;
    run.Run("IW10,20,100,5;");   // before any scale: the divisor is 1
    EXPECT_EQ(10, run.state.clipWindow.left);
    EXPECT_EQ(5, run.state.clipWindow.top);
    EXPECT_EQ(100, run.state.clipWindow.right);
    EXPECT_EQ(20, run.state.clipWindow.bottom);
    run.Run("SC0,0,0,0;");       // a zero extent leaves the scale alone
    EXPECT_EQ(0, run.state.scaleValue);
    run.Run("SC0,1016,0,1016;");  // 1016 / 1016 = 1; divisor 1 / 300 = 0
    EXPECT_EQ(1, run.state.scaleValue);
    EXPECT_EQ(0, run.state.clipDivisor);
    run.Run("IW-50,600,1200,300;");
    EXPECT_EQ(0, run.state.clipWindow.left);
    EXPECT_EQ(1200, run.state.clipWindow.right);
    run.Run("IP0,0,10,20;SC0,2,0,2;");   // P2 set: units = 20 / 2 = 10
    EXPECT_EQ(101, run.state.scaleValue);
    run.Run("IP1,2,3;");                 // not four values: ignored
    EXPECT_EQ(10, run.state.p2x);
    run.Run("IW;");
    EXPECT_EQ(0, run.state.clipWindow.right);
    run.Run("FT11,4;AC5,6;TR0;MC1,136;");
    EXPECT_EQ(4, run.state.fillPattern);
    EXPECT_EQ(8, run.state.anchorY);
    EXPECT_EQ(0, run.state.transparent);
    EXPECT_EQ((DWORD)SRCAND, run.state.rasterOp);
    run.Run("IN;");
    EXPECT_EQ(0, run.state.fillPattern);
    EXPECT_EQ(1, run.state.clipDivisor);
    EXPECT_EQ(0, run.state.p2x);
    EXPECT_EQ(GetTernaryRop(252), run.state.rasterOp);
}

TEST(Hpgl, InitialiseKeepsThePagesPalettes)
{
    // A palette made before an HP-GL/2 section that runs IN still colours the text after it.
    std::string s;
    Esc(s, "E");
    Esc(s, "&p2I");
    Esc(s, "&p6C");
    Esc(s, "&p2S");
    Esc(s, "*v30A");
    Esc(s, "*v160B");
    Esc(s, "*v90C");
    Esc(s, "*v3I");
    Esc(s, "%1B");
    s += "IN;SP1;PC1,0,0,0;IN;";
    Esc(s, "%0A");
    Esc(s, "*v3S");
    Cmd(s, "*c", 8, 'D');
    CharDownload(s, 'Z', 0, 1, 8, 1, 40, std::string("\xFF", 1));
    CursorTo(s, 500, 500);
    s += "Z";
    s += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    EXPECT_EQ(RGB(30, 160, 90), ink.At(500, 499));
}

TEST(Hpgl, RectanglesLabelsAndCurves)
{
    std::string h = "IN;SP1;PC1,0,0,0;PU100,100;RR40,-20;";   // a filled rectangle up from the pen
    h += "PU300,300;PM0;BZ350,250,400,350,450,300;EP;";
    h += "PU600,600;LB";
    h += "HI\x03\x03";
    h += "PU700,700;LB";
    h += std::string("\xfd\x80\x00\x03", 4);   // one 16-bit character, bytes exchanged: 0x80 0xFD
    h += "PU800,800;LB\x03";                    // empty label: nothing
    std::string s;
    Esc(s, "E");
    Cmd(s, "*c", 2, 'D');
    CharDownload(s, 'H', 0, 2, 8, 2, 40, std::string("\xFF\xFF", 2));
    CharDownload(s, 'I', 0, 2, 8, 2, 40, std::string("\x81\x81", 2));
    CharDownload(s, 254 - 0xFD, 0, 1, 8, 1, 40, std::string("\xF0", 1));
    Esc(s, "%1B");
    s += h;
    Esc(s, "%0A");
    s += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    EXPECT_TRUE(ink.IsBlack(120, 90));
    EXPECT_TRUE(ink.IsWhite(120, 110));
    EXPECT_EQ(16, ink.CountBlack(600, 598, 608, 600));   // 'H' at the pen position
    EXPECT_EQ(4, ink.CountBlack(610, 598, 618, 600));    // 'I' after 10 dots
    EXPECT_EQ(4, ink.CountBlack(700, 699, 708, 700));    // the 16-bit character (code 1)
    EXPECT_EQ(0, ink.CountBlack(780, 780, 900, 900));
    // The curve passes through its middle, away from the straight line between its ends.
    EXPECT_GT(ink.CountBlack(360, 270, 440, 330), 40);
    EXPECT_EQ(0, ink.CountBlack(300, 340, 460, 400));
}

TEST(Hpgl, RasterFillPatternsAndTheirSlots)
{
    PclStream st = StreamOf("");
    int v[3 + 16] = {3, 8, 2, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 1, 1, 1};
    EXPECT_EQ(1, DefineRasterFill(&st, 19, v, 0));
    ASSERT_TRUE(gHpglPatterns[3]);
    int w, h;
    GetBitmapSize(gHpglPatterns[3], &w, &h);
    EXPECT_EQ(8, w);
    EXPECT_EQ(2, h);
    CanvasBits c;
    ASSERT_TRUE(GetCanvasBits(gHpglPatterns[3], &c));
    EXPECT_EQ(0x55, CanvasRow(c, 0)[0]);   // pixels 1 become index 0: 10101010 inverted
    EXPECT_EQ(0xF0, CanvasRow(c, 1)[0]);
    EXPECT_EQ(1, DefineRasterFill(&st, 19, v, 0));   // redefined: the old one is freed
    int bad[3] = {9, 8, 1};
    EXPECT_EQ(0, DefineRasterFill(&st, 3, bad, 0));  // slot beyond 8
    int negative[3] = {-1, 8, 1};
    EXPECT_EQ(0, DefineRasterFill(&st, 3, negative, 0));
    int huge[3] = {1, 100000, 100000};
    EXPECT_EQ(0, DefineRasterFill(&st, 3, huge, 0));
    EXPECT_EQ(0, DefineRasterFill(&st, 2, v, 0));
    FreeShapeCache();
    for (HBITMAP b : gHpglPatterns) EXPECT_EQ(NULL, b);
}

TEST(Hpgl, PendingPolygonIsFilledAtTheFormFeed)
{
    std::string h = "IN;SP1;PC1,0,0,0;PU1000,1000;PM0;";
    Pe(h, "=", {{1100, 1000}, {1100, 1100}, {1000, 1100}});
    std::string s;
    Esc(s, "E");
    Esc(s, "%1B");
    s += h;
    s += '\f';   // still in HP-GL/2 mode: the FF ends the section only through the ESC check
    PageInk ink;
    unsigned int stop = 0;
    // The section runs until the next ESC byte: the FF is read as HP-GL/2 and the page has no end.
    EXPECT_FALSE(RenderStream(s, &ink, 0, &stop));
    std::string closed = s.substr(0, s.size() - 1);
    Esc(closed, "%0A");
    closed += '\f';
    ASSERT_TRUE(RenderStream(closed, &ink));
    EXPECT_TRUE(ink.IsBlack(1050, 1050));
}
