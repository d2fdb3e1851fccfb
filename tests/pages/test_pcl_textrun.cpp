// Text runs of the page interpreter: a two-byte code whose second byte is a CR, ESC or FF is one
// character, drawn where the run ends, and the position moves past both bytes.
#include <gtest/gtest.h>
#include "pages/pages.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_pcl_util.h"
#include "tools/pclgen/pclstreams.h"

using namespace pclgen;

TEST(PclTextRun, TwoByteCodeEndingARunIsDrawnAndSkipsBothBytes)
{
    const unsigned char seconds[] = {13, 27, 12};
    for (unsigned char second : seconds) {
        FreeFormRecords();
        std::string s;
        Esc(s, "E");
        Cmd(s, "*c", 6, 'D');
        CharDownload(s, 'x', 0, 1, 8, 1, 40, std::string("\xFF", 1));    // 10 dots wide, row 99
        CharDownload(s, 254 - second, 0, 2, 8, 1, 40, std::string("\xFF", 1));   // row 98
        CursorTo(s, 100, 100);
        s += "x";
        s += (char)0x80;
        s += (char)second;
        s += "x";   // on the same line, after the two-byte code
        s += '\f';
        PageInk ink;
        unsigned stop = 0;
        ASSERT_TRUE(RenderStream(s, &ink, 0, &stop)) << (int)second;
        EXPECT_EQ(s.size(), stop) << (int)second;
        EXPECT_EQ(8, ink.CountBlack(100, 99, 110, 100)) << (int)second;   // the first x
        EXPECT_EQ(8, ink.CountBlack(110, 98, 120, 99)) << (int)second;    // the two-byte code
        EXPECT_EQ(8, ink.CountBlack(120, 99, 130, 100)) << (int)second;   // the x after it
        EXPECT_EQ(24, ink.CountBlack(0, 0, 2400, 3168)) << (int)second;
    }
    FreeFormRecords();
}
