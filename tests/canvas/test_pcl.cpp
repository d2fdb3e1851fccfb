// The PCL interpreter on hand-built streams: escape parsing, raster decoders, raster rows,
// fills and shading, soft fonts and text, palettes and colour rasters, messages and bounds.
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_pcl_util.h"
#include "tools/pclgen/pclstreams.h"
#include <string.h>
#include <string>

using namespace pclgen;

namespace {

int ParseAll(const std::string &s, PclEscape *records, unsigned int *next)
{
    return ParsePclEscape((const unsigned char *)s.data(), 0, (unsigned)s.size(), records, next);
}

// A 2-row glyph font: code 'A' an 8 x 4 block with a known pattern, code 'B' a 3 x 2 bar.
std::string TinyFont(int fontId)
{
    std::string s;
    Cmd(s, "*c", fontId, 'D');
    DataCmd(s, ")s", FontHeader(4, 8));
    CharDownload(s, 'A', 1, 4, 8, 4, 40, std::string("\xF0\x0F\xAA\x81", 4));   // advance 10 dots
    CharDownload(s, 'B', 0, 2, 3, 2, 16, std::string("\xE0\xE0", 2));           // advance 4 dots
    return s;
}

class PclTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreeFormRecords();
        gPclCharacterCode = 0;
        ClearShownMessageBoxes();
    }
    void TearDown() override { FreeFormRecords(); }
};

} // namespace

TEST(PclEscapes, CombinedSequencesValuesAndTerminators)
{
    PclEscape r[PCL_MAX_ESCAPE_RECORDS];
    unsigned int next = 0;
    std::string s = "\x1b*p100x200Ytext";
    ASSERT_EQ(2, ParseAll(s, r, &next));
    EXPECT_STREQ("*p", r[0].prefix);
    EXPECT_EQ('X', r[0].terminator);
    EXPECT_EQ(100, r[0].value);
    EXPECT_EQ('Y', r[1].terminator);
    EXPECT_EQ(200, r[1].value);
    EXPECT_EQ(s.size() - 4, next);

    ASSERT_EQ(1, ParseAll("\x1b%-12345X", r, &next));
    EXPECT_STREQ("%", r[0].prefix);
    EXPECT_EQ(-12345, r[0].value);
    EXPECT_EQ('-', r[0].sign);
    ASSERT_EQ(1, ParseAll("\x1b*bW", r, &next));
    EXPECT_EQ(0, r[0].value);
    EXPECT_EQ('W', r[0].terminator);
    ASSERT_EQ(1, ParseAll("\x1b*t123.5H", r, &next));
    EXPECT_TRUE(r[0].hasReal);
    EXPECT_DOUBLE_EQ(123.5, r[0].real);
    EXPECT_EQ(123, r[0].value);
    ASSERT_EQ(1, ParseAll("\x1b*p+8X", r, &next));
    EXPECT_EQ('+', r[0].sign);
    ASSERT_EQ(1, ParseAll("\x1b" "E", r, &next));
    EXPECT_EQ('E', r[0].terminator);
    EXPECT_EQ(0, r[0].prefix[0]);
    EXPECT_EQ(2u, next);
    EXPECT_EQ(0, ParseAll("\x1b" "9rest", r, &next));   // two-character escapes are ignored
    EXPECT_EQ(2u, next);
    EXPECT_EQ(0, ParseAll("\x1bzabc", r, &next));
    EXPECT_EQ(2u, next);
}

TEST(PclEscapes, BoundsOnHostileSequences)
{
    PclEscape r[PCL_MAX_ESCAPE_RECORDS];
    unsigned int next = 0;
    // No terminator before the end of the data: nothing acted on, the rest consumed.
    std::string open = "\x1b*p12345";
    EXPECT_EQ(0, ParseAll(open, r, &next));
    EXPECT_EQ(open.size(), next);
    EXPECT_EQ(0, ParseAll("\x1b", r, &next));
    // An overlong number saturates instead of overflowing.
    ASSERT_EQ(1, ParseAll("\x1b*c99999999999999999999999999999999A", r, &next));
    EXPECT_EQ(2147483647, r[0].value);
    // At most ten records; the rest of the sequence is still consumed.
    std::string many = "\x1b*p";
    for (int i = 0; i < 14; i++) many += "1x";
    many += "2Y!";
    EXPECT_EQ(10, ParseAll(many, r, &next));
    EXPECT_EQ(many.size() - 1, next);
    // A control byte inside a sequence ends it there and is left to the caller.
    EXPECT_EQ(0, ParseAll("\x1b*p12\r", r, &next));
    EXPECT_EQ(5u, next);
}

TEST(PclDecoders, PackBitsRunsLiteralsAndBounds)
{
    unsigned char row[16];
    memset(row, 0, sizeof row);
    // 128 is a no-op header; then 2 literals, then a run of 3.
    const unsigned char in[] = {128, 1, 0xAA, 0xBB, 254, 0xCC};
    EXPECT_EQ(7u, DecodePackBits(in, sizeof in, row, 2, sizeof row));
    EXPECT_EQ(0xAA, row[2]);
    EXPECT_EQ(0xBB, row[3]);
    EXPECT_EQ(0xCC, row[4]);
    EXPECT_EQ(0xCC, row[6]);
    EXPECT_EQ(0, row[7]);
    // A run far past the buffer and a literal count past the data stay inside.
    unsigned char tiny[4] = {0, 0, 0, 0};
    const unsigned char wide[] = {129, 0xFF, 127, 1, 2};
    EXPECT_EQ(4u, DecodePackBits(wide, sizeof wide, tiny, 1, sizeof tiny));
    EXPECT_EQ(0, tiny[0]);
    EXPECT_EQ(0xFF, tiny[3]);
    EXPECT_EQ(4u, DecodePackBits(wide, sizeof wide, tiny, 1000000, sizeof tiny));
}

TEST(PclDecoders, DeltaRowOffsetsAndBounds)
{
    unsigned char row[64];
    memset(row, 0x11, sizeof row);
    // Replace 2 bytes at offset 3, then 1 byte 31 + 4 further on.
    const unsigned char in[] = {(1 << 5) | 3, 0xA1, 0xA2, (0 << 5) | 31, 4, 0xB1};
    EXPECT_EQ(41u, ApplyDeltaRow(in, sizeof in, row, 0, sizeof row));
    EXPECT_EQ(0xA1, row[3]);
    EXPECT_EQ(0xA2, row[4]);
    EXPECT_EQ(0x11, row[5]);
    EXPECT_EQ(0xB1, row[40]);   // 5 + 31 + 4
    // Offsets of 255 continue; positions past the buffer are dropped.
    const unsigned char distant[] = {31, 255, 255, 0, 0xEE};
    EXPECT_EQ(0u, ApplyDeltaRow(distant, sizeof distant, row, 0, sizeof row));
    EXPECT_EQ(0x11, row[63]);
    // A command whose replacement bytes are missing stops at the end of the data.
    const unsigned char cut[] = {(7 << 5) | 0, 0x01};
    EXPECT_EQ(1u, ApplyDeltaRow(cut, sizeof cut, row, 0, sizeof row));
}

TEST_F(PclTest, RasterRowsInEveryMethodLandWhereTheCursorSaysAndTheRowsRunOn)
{
    std::string s;
    Esc(s, "E");
    std::string a("\xFF\x00\x81", 3), b("\x0F\xF0\x00", 3);
    RasterBlock(s, 80, 10, {a, b}, 0);
    RasterBlock(s, 160, 20, {a, b, a}, 2);
    RasterBlock(s, 240, 30, {a, b, b, a}, 3);
    s += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    for (int base : {80, 160, 240}) {
        int y = base / 8;   // 10, 20, 30
        EXPECT_TRUE(ink.IsBlack(base, y)) << base;
        EXPECT_TRUE(ink.IsBlack(base + 7, y));
        EXPECT_TRUE(ink.IsWhite(base + 8, y));
        EXPECT_TRUE(ink.IsBlack(base + 16, y));
        EXPECT_TRUE(ink.IsWhite(base + 17, y));
        EXPECT_TRUE(ink.IsBlack(base + 23, y));
        EXPECT_TRUE(ink.IsWhite(base + 3, y + 1));
        EXPECT_TRUE(ink.IsBlack(base + 4, y + 1));
        EXPECT_TRUE(ink.IsBlack(base + 11, y + 1));
        EXPECT_TRUE(ink.IsWhite(base - 1, y));
    }
    EXPECT_EQ(8 + 2, ink.CountBlack(0, 10, 2400, 11));
    EXPECT_EQ(2 * 10 + 8, ink.CountBlack(0, 20, 2400, 23) / 1);
    // Delta rows: row 3 repeats row 2 (b), row 4 is a again.
    EXPECT_TRUE(ink.IsBlack(244, 32));
    EXPECT_TRUE(ink.IsBlack(248, 32));
    EXPECT_TRUE(ink.IsBlack(240, 33));
    EXPECT_TRUE(ink.IsWhite(248, 33));
    EXPECT_EQ(0, ink.CountBlack(0, 34, 2400, 3168));
}

TEST_F(PclTest, RasterStateStartsFreshOnEveryPage)
{
    // Page 1 leaves its row counter at 3100 and offset at byte 200; page 2 sets neither.
    std::string one, two;
    Esc(one, "E");
    RasterBlock(one, 1600, 3100, {std::string(1, '\xFF')}, 0);
    one += '\f';
    Esc(two, "E");
    Esc(two, "*b0M");
    DataCmd(two, "*b", std::string(1, '\xFF'));
    two += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(one, &ink));
    EXPECT_TRUE(ink.IsBlack(1600, 3100));
    ASSERT_TRUE(RenderStream(two, &ink));
    EXPECT_TRUE(ink.IsBlack(0, 0));
    EXPECT_TRUE(ink.IsBlack(7, 0));
    EXPECT_EQ(8, ink.CountBlack(0, 0, 2400, 3168));
}

TEST_F(PclTest, RowsBeyondThePageAndDataCountsBeyondTheStreamAreHarmless)
{
    std::string s;
    Esc(s, "E");
    RasterBlock(s, 0, 3167, {std::string(300, '\xFF'), std::string(300, '\xFF')}, 0);   // the second is off the page
    CursorTo(s, 0, 500);
    Esc(s, "*b0M");
    DataCmd(s, "*b", std::string(9000, '\xFF'));   // wider than the row buffer: row 500
    Cmd(s, "*b", -5, 'W');                           // a negative count: an empty row 501
    Esc(s, "*p80000X");                              // an offset past the buffer is not taken
    Cmd(s, "*b", 3, 'W');
    s += "\xFF\xFF\xFF";
    s += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    EXPECT_EQ(2400, ink.CountBlack(0, 3167, 2400, 3168));
    EXPECT_EQ(2400, ink.CountBlack(0, 500, 2400, 501));
    EXPECT_EQ(0, ink.CountBlack(0, 501, 2400, 502));
    EXPECT_EQ(24, ink.CountBlack(0, 502, 2400, 503));   // the kept offset 0
    // A transfer announcing more bytes than remain swallows the rest: no page, no crash.
    std::string cut;
    Esc(cut, "E");
    Esc(cut, "*b2M");
    Cmd(cut, "*b", 100000, 'W');
    cut += "\x05\x01\x02\f";
    unsigned int stop = 0;
    EXPECT_FALSE(RenderStream(cut, &ink, 0, &stop));
    EXPECT_EQ(cut.size(), stop);
}

TEST_F(PclTest, UnsupportedCompressionWarnsOncePerPage)
{
    std::string s;
    Esc(s, "E");
    Esc(s, "*b1M");
    for (int i = 0; i < 5; i++) DataCmd(s, "*b", "\x01\xFF");
    Esc(s, "*b2M");
    Esc(s, "*p3X");   // not on a byte boundary
    Esc(s, "*p0Y");
    for (int i = 0; i < 3; i++) DataCmd(s, "*b", std::string("\x00\xFF", 2));
    s += '\f';
    ScriptMessageBoxAnswer(IDOK);
    ScriptMessageBoxAnswer(IDOK);
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    const auto &boxes = GetShownMessageBoxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Compression method currently not supported [1].", boxes[0].text);
    EXPECT_EQ("Warning", boxes[0].title);
    EXPECT_EQ("TO DO: X-Adj does not start on a byte boundary.", boxes[1].text);
    EXPECT_EQ("Error Message", boxes[1].title);
    // The previous offset (0) is kept for the misaligned rows.
    EXPECT_EQ(24, ink.CountBlack(0, 0, 2400, 3168));
    EXPECT_TRUE(ink.IsBlack(0, 2));
}

TEST_F(PclTest, ResolutionChecks)
{
    std::string s;
    Esc(s, "E");
    Esc(s, "*t600R");
    CursorTo(s, 16, 16);
    Esc(s, "*b0M");
    DataCmd(s, "*b", "\x80");
    s += '\f';
    ScriptMessageBoxAnswer(IDOK);
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Invalid page resolution detected.", GetShownMessageBoxes()[0].text);
    EXPECT_TRUE(ink.IsBlack(16, 16));   // still at 300 dpi positions

    ClearShownMessageBoxes();
    std::string twice;
    Esc(twice, "*t300R");
    Esc(twice, "*t300R");
    Esc(twice, "*t150R");
    twice += '\f';
    ScriptMessageBoxAnswer(IDOK);
    ASSERT_TRUE(RenderStream(twice, &ink));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Page resolution mis-match detected.", GetShownMessageBoxes()[0].text);
}

TEST_F(PclTest, CursorPositioningWithUnitsAndCombinedSequences)
{
    std::string s;
    Esc(s, "E");
    Esc(s, "*p100x200Y");
    Esc(s, "*c4a2b0P");   // a 4 x 2 black rectangle at (100, 200)
    Esc(s, "&u600D");     // two units per dot
    Esc(s, "*p400x600Y");
    Esc(s, "*p+1X");      // a relative move of 1 is not divided
    Esc(s, "*c1a1b0P");
    Esc(s, "*p+20x-10Y");
    Esc(s, "*c1a1b0P");
    s += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    EXPECT_EQ(8, ink.CountBlack(100, 200, 104, 202));
    EXPECT_EQ(8, ink.CountBlack(0, 0, 1000, 250));
    EXPECT_TRUE(ink.IsBlack(201, 300));
    EXPECT_TRUE(ink.IsBlack(211, 295));
    EXPECT_EQ(10, ink.CountBlack(0, 0, 2400, 3168));
}

TEST_F(PclTest, RectangleFillsAndShadingLevels)
{
    std::string s;
    Esc(s, "E");
    auto fill = [&](int x, int y, int w, int h, int type, int id) {
        CursorTo(s, x, y);
        Cmd(s, "*c", w, 'A');
        Cmd(s, "*c", h, 'B');
        Cmd(s, "*c", id, 'G');
        Cmd(s, "*c", type, 'P');
    };
    fill(0, 0, 64, 64, 0, 0);       // black
    fill(16, 16, 16, 16, 1, 0);     // white inside it
    int percents[] = {2, 5, 15, 25, 45, 70, 90};
    for (int i = 0; i < 7; i++) fill(100 + i * 80, 0, 64, 64, 2, percents[i]);
    fill(800, 200, 64, 64, 3, 1);   // horizontal hatch
    fill(900, 200, 64, 64, 3, 7);   // an unknown pattern id draws nothing
    fill(1000, 200, 64, 64, 9, 0);  // an unknown fill type draws nothing
    fill(2390, 3100, 100, 10, 0, 0);    // clipped to the page
    fill(50, 3000, -20, 10, 0, 0);       // a negative width draws nothing
    s += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    EXPECT_EQ(64 * 64 - 16 * 16, ink.CountBlack(0, 0, 64, 64));
    // Black coverage of each shading level, out of 4096 pixels.
    long long expected[] = {0, 64, 512, 1024, 2048, 3072, 4096};
    long long last = -1;
    for (int i = 0; i < 7; i++) {
        long long black = ink.CountBlack(100 + i * 80, 0, 164 + i * 80, 64);
        EXPECT_EQ(expected[i], black) << percents[i] << "%";
        EXPECT_GT(black, last);   // darker with every level
        last = black;
    }
    long long hatch = ink.CountBlack(800, 200, 864, 264);
    EXPECT_GT(hatch, 64);
    EXPECT_LT(hatch, 64 * 32);
    EXPECT_EQ(0, ink.CountBlack(900, 200, 1064, 264));
    EXPECT_EQ(10 * 10, ink.CountBlack(2300, 3000, 2400, 3168));
    EXPECT_EQ(0, ink.CountBlack(0, 2990, 100, 3020));
}

TEST_F(PclTest, SoftFontGlyphsAreDrawnAtTheirOffsetsAndAdvance)
{
    std::string s;
    Esc(s, "E");
    s += TinyFont(5);
    CursorTo(s, 100, 50);
    s += "AB?A";   // '?' has no glyph: nothing drawn, no advance
    s += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    // 'A' at x = 100 + 1, y = 50 - 4: rows F0, 0F, AA, 81.
    EXPECT_TRUE(ink.IsBlack(101, 46));
    EXPECT_TRUE(ink.IsBlack(104, 46));
    EXPECT_TRUE(ink.IsWhite(105, 46));
    EXPECT_TRUE(ink.IsBlack(108, 47));
    EXPECT_TRUE(ink.IsBlack(101, 48));
    EXPECT_TRUE(ink.IsWhite(102, 48));
    EXPECT_TRUE(ink.IsBlack(108, 49));
    // 'B' after 10 dots at x = 110, y = 50 - 2; then 'A' again 4 dots later at 114 + 1.
    EXPECT_EQ(6, ink.CountBlack(110, 48, 113, 50));
    EXPECT_TRUE(ink.IsBlack(115, 46));
    EXPECT_EQ(2 * (4 + 4 + 4 + 2) + 6, ink.CountBlack(0, 0, 2400, 3168));
}

TEST_F(PclTest, StoredCharactersAreKeptAndServeLaterPages)
{
    std::string first;
    Esc(first, "E");
    first += TinyFont(9);
    first += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(first, &ink));
    // A later page downloads a different 'A' into the same font and prints it.
    std::string second;
    Esc(second, "E");
    Cmd(second, "*c", 9, 'D');
    CharDownload(second, 'A', 0, 1, 8, 1, 40, std::string("\xFF", 1));
    CursorTo(second, 200, 200);
    second += "A";
    second += '\f';
    ASSERT_TRUE(RenderStream(second, &ink));
    EXPECT_EQ(14, ink.CountBlack(0, 0, 2400, 3168));   // the first bitmap, not the second
    EXPECT_TRUE(ink.IsBlack(201, 196));
}

TEST_F(PclTest, ShortAndOddDownloadsAreBounded)
{
    std::string s;
    Esc(s, "E");
    Cmd(s, "*c", 3, 'D');
    Cmd(s, "*c", 'C', 'E');
    DataCmd(s, "(s", std::string(10, '\x01'));   // shorter than a descriptor: ignored
    // 'D' claims 16 x 100 but carries 2 rows: only those are drawn.
    CharDownload(s, 'D', 0, 10, 16, 100, 64, std::string("\xFF\xFF\xFF\xFF", 4));
    // A code above 255 maps as a two-byte code: 300 -> 0x80 44 -> 254 - 44 = 210.
    Cmd(s, "*c", 300, 'E');
    DataCmd(s, "(s", CharDescriptor(0, 1, 8, 1, 32) + "\xFF");
    CursorTo(s, 40, 40);
    s += "CD\x80\x2C";
    s += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    EXPECT_EQ(32, ink.CountBlack(40, 30, 56, 32));
    EXPECT_EQ(8, ink.CountBlack(56, 39, 64, 40));
    EXPECT_EQ(40, ink.CountBlack(0, 0, 2400, 3168));
}

TEST_F(PclTest, TransparentPrintCountsBytesAndEscapesAfterItWork)
{
    std::string s;
    Esc(s, "E");
    Cmd(s, "*c", 4, 'D');
    const char codes[] = {27, 13, 12, 'x', (char)0x80};
    for (char c : codes) CharDownload(s, (unsigned char)c, 0, 1, 8, 1, 40, std::string("\xFF", 1));
    Cmd(s, "*c", 254 - 3, 'E');   // the two-byte code 0x80 3
    CharDownload(s, 254 - 3, 0, 2, 8, 1, 40, std::string("\xFF", 1));
    CursorTo(s, 100, 100);
    Esc(s, "&p5X");
    s += std::string("\x1b\r\f\x80\x03", 5);   // ESC, CR, FF as characters, then one two-byte code
    Esc(s, "*p300Y");                           // an escape right after the counted bytes
    s += "x";
    s += '\f';
    PageInk ink;
    unsigned int stop = 0;
    ASSERT_TRUE(RenderStream(s, &ink, 0, &stop));
    EXPECT_EQ(s.size(), stop);
    EXPECT_EQ(3 * 8, ink.CountBlack(100, 99, 130, 100));   // ESC, CR, FF glyphs
    EXPECT_EQ(8, ink.CountBlack(130, 98, 140, 99));        // the two-byte code
    EXPECT_EQ(8, ink.CountBlack(0, 299, 2400, 300));       // 'x' after the cursor moved
}

TEST_F(PclTest, ColourRasterWithAPaletteAndColouredText)
{
    std::string s;
    Esc(s, "E");
    Esc(s, "&p1I");
    Esc(s, "&p6C");
    Esc(s, "&p1S");
    auto entry = [&](int i, int r, int g, int b) {
        Cmd(s, "*v", r, 'A');
        Cmd(s, "*v", g, 'B');
        Cmd(s, "*v", b, 'C');
        Cmd(s, "*v", i, 'I');
    };
    entry(0, 0, 0, 0);          // count 1
    entry(1, 255, 255, 255);    // count 2: 1-bit images
    entry(2, 200, 0, 0);        // newly added to the canvas palette: count 3, 4-bit images
    entry(999, 1, 2, 3);        // out of range: ignored
    Esc(s, "*r8S");
    Esc(s, "*r2T");
    Esc(s, "*t19.2H");          // 8 dots
    Esc(s, "*t4.8V");           // 2 dots
    CursorTo(s, 40, 60);
    Esc(s, "*r1A");
    Esc(s, "*b5M");
    // Row 1: entries 2 2 2 2 1 1 1 1 (4-bit); row 2 in a second transfer: all 0 (black).
    std::string block1 = std::string("\x00\x00\x04", 3) + "\x22\x22\x11\x11";
    DataCmd(s, "*b", block1);
    std::string block2 = std::string("\x00\x00\x04", 3) + std::string(4, '\0');
    DataCmd(s, "*b", block2);
    Esc(s, "*rB");
    // Coloured text: entry 2 as the current colour.
    Cmd(s, "*c", 6, 'D');
    CharDownload(s, 'Q', 0, 1, 8, 1, 40, std::string("\xFF", 1));
    CharDownload(s, 'R', 0, 1, 8, 1, 40, std::string("\xF0", 1));
    Esc(s, "*v2S");
    CursorTo(s, 300, 300);
    s += "Q";
    // On a black box a coloured glyph goes through a mask of its own ink: the rest stays black.
    CursorTo(s, 400, 390);
    Esc(s, "*c20a20b0P");
    Esc(s, "*v2S");
    CursorTo(s, 402, 400);
    s += "R";
    s += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    EXPECT_EQ(RGB(200, 0, 0), ink.At(40, 60));
    EXPECT_EQ(RGB(200, 0, 0), ink.At(43, 60));
    EXPECT_TRUE(ink.IsWhite(44, 60));
    EXPECT_TRUE(ink.IsBlack(40, 61));
    EXPECT_TRUE(ink.IsBlack(47, 61));
    EXPECT_TRUE(ink.IsWhite(48, 61));
    EXPECT_EQ(RGB(200, 0, 0), ink.At(300, 299));
    EXPECT_EQ(RGB(200, 0, 0), ink.At(307, 299));
    EXPECT_EQ(RGB(200, 0, 0), ink.At(402, 399));
    EXPECT_EQ(RGB(200, 0, 0), ink.At(405, 399));
    EXPECT_TRUE(ink.IsBlack(406, 399));
    EXPECT_TRUE(ink.IsBlack(409, 399));
    EXPECT_TRUE(ink.IsBlack(401, 399));
}

TEST_F(PclTest, ColourRasterSizesAreBounded)
{
    std::string s;
    Esc(s, "E");
    Esc(s, "*r100000S");        // wider than a row buffer holds
    Esc(s, "*r100000T");
    Esc(s, "*r1A");
    Esc(s, "*b5M");
    DataCmd(s, "*b", std::string("\x02\xFF\xFF", 3) + "\x05");   // a block longer than its data
    Esc(s, "*r4S");
    Esc(s, "*r-3T");
    DataCmd(s, "*b", std::string("\x07\x00\x01\x00", 4));
    Esc(s, "*r4S");
    Esc(s, "*r1T");
    DataCmd(s, "*b", std::string("\x07\x00\x01\x00", 4));   // unknown block method: message
    s += '\f';
    ScriptMessageBoxAnswer(IDOK);
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Compression method currently not supported [2].", GetShownMessageBoxes()[0].text);
}

TEST_F(PclTest, PagesStopAtTheirFirstFormFeedAndNeedOne)
{
    std::string s;
    Esc(s, "E");
    s += "@PJL SET RESOLUTION=300\r\n";
    s += "@PJL ENTER LANGUAGE=PCL";   // a PJL line ended by an ESC
    Esc(s, "*c8a8b0P");
    s += '\f';
    size_t firstEnd = s.size();
    Esc(s, "*p100X");
    Esc(s, "*c8a8b0P");
    s += '\f';
    PageInk ink;
    unsigned int stop = 0;
    ASSERT_TRUE(RenderStream(s, &ink, 0, &stop));
    EXPECT_EQ(firstEnd, stop);
    EXPECT_EQ(64, ink.CountBlack(0, 0, 2400, 3168));   // only the first page's square
    std::string none;
    Esc(none, "*c8a8b0P");
    EXPECT_FALSE(RenderStream(none, &ink, 0, &stop));
    EXPECT_EQ(none.size(), stop);
    EXPECT_EQ(NULL, RenderPclRange((const unsigned char *)"\f", 1, 1, 0, NULL, NULL, NULL, NULL));
}

TEST_F(PclTest, LandscapePagesAreTurnedBeforeTheFieldsArePainted)
{
    EXPECT_TRUE(IsLandscapePageKey("Form 3800.3"));
    EXPECT_TRUE(IsLandscapePageKey("Form 4255.2"));
    EXPECT_TRUE(IsLandscapePageKey("Schedule R (Form 941).1"));
    EXPECT_FALSE(IsLandscapePageKey("Form 3800.1"));
    EXPECT_FALSE(IsLandscapePageKey("Schedule R (Form 944).1"));
    EXPECT_FALSE(IsLandscapePageKey(NULL));

    std::string s;
    Esc(s, "E");
    Esc(s, "*c10a5b0P");   // 10 x 5 at the top-left corner
    s += '\f';
    struct Seen {
        int width = 0, height = 0;
    } seen;
    auto painter = [](HDC dc, HBITMAP bitmap, void *context) {
        Seen *seen = (Seen *)context;
        GetBitmapSize(bitmap, &seen->width, &seen->height);
        PatBlt(dc, 0, 0, 3, 3, BLACKNESS);   // a "field" at the turned page's corner
    };
    HBITMAP page = RenderPclRange((const unsigned char *)s.data(), 0, (unsigned)s.size(), 1, NULL, painter, &seen, NULL);
    ASSERT_TRUE(page);
    EXPECT_EQ(3168, seen.width);
    EXPECT_EQ(2400, seen.height);
    PageInk ink;
    ASSERT_TRUE(ReadPageInk(page, &ink));
    EXPECT_EQ(3168, ink.width);
    // The top-left square is now at the top-right corner, 5 wide and 10 high.
    EXPECT_EQ(50, ink.CountBlack(3163, 0, 3168, 10));
    EXPECT_EQ(9, ink.CountBlack(0, 0, 3, 3));
    DeleteObject(page);
}

TEST_F(PclTest, InkAtTheBottomEdgeIsErased)
{
    std::string s;
    Esc(s, "E");
    CursorTo(s, 0, 3140);
    Esc(s, "*c100a28b0P");   // touches the last row: rows 3140..3167 are whitened
    CursorTo(s, 200, 3000);
    Esc(s, "*c10a10b0P");    // clear of the edge: kept
    s += '\f';
    PageInk ink;
    ASSERT_TRUE(RenderStream(s, &ink));
    EXPECT_EQ(0, ink.CountBlack(0, 3100, 2400, 3168));
    EXPECT_EQ(100, ink.CountBlack(200, 3000, 210, 3010));
}
