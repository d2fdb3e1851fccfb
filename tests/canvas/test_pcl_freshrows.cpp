// Raster rows written whole onto rows nothing has drawn on (and PackBits rows equal to the last
// one, which are not decoded again) must give the very pixels of the reading path. Each page is
// rendered as it is (compressed rows onto a fresh canvas), and with every row unencoded after a
// row without ink was written on every row of the page, so that every row is inked into the canvas.
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_pcl_util.h"
#include "tools/pclgen/pclstreams.h"
#include <string>
#include <vector>

using namespace pclgen;

namespace {

// A row of `bytes` bytes with ink from `seed`, white stretches (whole canvas lines without ink)
// and ink at both ends.
std::string InkRow(int bytes, int seed)
{
    std::string row((size_t)bytes, '\0');
    for (int i = 0; i < bytes; i++) {
        if ((i / 24 + seed) % 3 == 0) continue;   // a white stretch
        row[i] = (char)((i * 37 + seed * 11) & 0xFF);
    }
    if (bytes > 0) row[0] = row[bytes - 1] = (char)0x81;
    return row;
}

// Rows starting at each byte offset of the first 16 (every position of the canvas line
// boundaries), repeated rows, a row without ink, an empty transfer (unencoded and PackBits: in a
// delta row it repeats the seed row) and a row wider than the page.
void RowsAtEveryOffset(std::string &s, int method)
{
    for (int k = 0; k < 16; k++) {
        int bytes = 300 - k;
        std::string row = InkRow(bytes, k);
        std::string blank = method == 3 ? std::string((size_t)bytes, '\0') : std::string();
        RasterBlock(s, 8 * k, 40 + 12 * k,
                    {row, row, row, std::string((size_t)bytes, '\0'), blank, InkRow(bytes, k + 1), InkRow(320, k)},
                    method);
    }
}

// Rows, a black bar and a shaded bar across rows not drawn yet, then rows into the bars.
void RowsIntoFills(std::string &s, int method)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 30; i++) rows.push_back(InkRow(300, i % 4));
    RasterBlock(s, 0, 300, rows, method);
    CursorTo(s, 0, 340);
    Esc(s, "*c2400a20b0P");
    CursorTo(s, 0, 362);
    Esc(s, "*c2400a20b25g2P");
    RasterBlock(s, 16, 335, rows, method);
}

// Rows twice at the same place (the second time they are inked into the first).
void RowsTwice(std::string &s, int method)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 20; i++) rows.push_back(InkRow(200, i));
    RasterBlock(s, 0, 500, rows, method);
    RasterBlock(s, 64, 510, rows, method);
}

// Rows, text in a soft font across rows not drawn yet, then rows over the text.
void RowsOverText(std::string &s, int method)
{
    Cmd(s, "*c", 11, 'D');
    DataCmd(s, ")s", FontHeader(8, 8));
    for (int c = 'a'; c <= 'h'; c++) CharDownload(s, c, 1, 6, 8, 6, 36, std::string("\x3c\x42\x81\x81\x42\x3c", 6));
    Esc(s, "(11X");
    std::vector<std::string> rows;
    for (int i = 0; i < 12; i++) rows.push_back(InkRow(40, i));
    RasterBlock(s, 0, 600, rows, method);
    CursorTo(s, 8, 620);
    s += "abcdefghabcdefgh\r";
    RasterBlock(s, 0, 612, rows, method);
}

// Fresh rows, then rows at the same place under a logical operation.
void RowsUnderOperation(std::string &s, int method)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 10; i++) rows.push_back(InkRow(100, i));
    RasterBlock(s, 0, 700, rows, method);
    Esc(s, "*l102O");
    RasterBlock(s, 0, 704, rows, method);
    Esc(s, "*l252O");
}

// A row in PackBits, another one unencoded (delta for method 3), then the first row again (it
// must be decoded again: the row buffer holds the other row), at two offsets; all unencoded
// for method 0.
void RowsOfMixedMethods(std::string &s, int method)
{
    std::string a = InkRow(120, 1), b = InkRow(120, 2);
    for (int x : {0, 40}) {
        CursorTo(s, x, 800 + x);
        Esc(s, "*r1A");
        for (int k = 0; k < 3; k++) {
            Cmd(s, "*b", method ? 2 : 0, 'M');
            DataCmd(s, "*b", method ? PackBits(a) : a);
            Cmd(s, "*b", method == 3 ? 3 : 0, 'M');
            DataCmd(s, "*b", method == 3 ? DeltaRow(a, b) : b);
        }
        Esc(s, "*rB");
    }
}

struct FreshCase {
    const char *name;
    void (*body)(std::string &s, int method);
};

const FreshCase kCases[] = {
    {"offsets", RowsAtEveryOffset}, {"fills", RowsIntoFills}, {"twice", RowsTwice},
    {"text", RowsOverText},         {"operation", RowsUnderOperation}, {"methods", RowsOfMixedMethods},
};

std::string Page(const FreshCase &c, int method, int reading)
{
    std::string s;
    Esc(s, "E");
    // A row without ink on every row of the page draws nothing, but leaves no row fresh.
    if (reading) RasterBlock(s, 0, 0, std::vector<std::string>(PAGE_CANVAS_HEIGHT, std::string(300, '\0')), 2);
    c.body(s, method);
    s += '\f';
    return s;
}

} // namespace

TEST(PclFreshRows, CompressedRowsOnFreshRowsMatchTheReadingPath)
{
    for (const FreshCase &c : kCases) {
        PageInk reading;
        ASSERT_TRUE(RenderStream(Page(c, 0, 1), &reading)) << c.name;
        EXPECT_GT(reading.CountBlack(0, 0, reading.width, reading.height), 0) << c.name;
        for (int method : {0, 2, 3}) {
            PageInk fresh;
            ASSERT_TRUE(RenderStream(Page(c, method, 0), &fresh)) << c.name << " method " << method;
            ASSERT_EQ(reading.width, fresh.width);
            ASSERT_EQ(reading.height, fresh.height);
            long long differ = 0;
            int firstY = -1;
            for (size_t i = 0; i < fresh.pixels.size(); i++) {
                if (fresh.pixels[i] == reading.pixels[i]) continue;
                if (!differ++) firstY = (int)(i / fresh.width);
            }
            EXPECT_EQ(0, differ) << c.name << " method " << method << ", first at row " << firstY;
        }
    }
}
