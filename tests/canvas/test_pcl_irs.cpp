// The PCL interpreter on real pages: the 2024 IRS forms printed by Ghostscript as PCL raster
// streams, compared pixel by pixel with Ghostscript's own bitmap of the same pages.
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_pcl_util.h"
#include <string>
#include <vector>

namespace {

struct ReferenceBitmap {
    int width = 0, height = 0, stride = 0;
    int blackBit = 0;   // the bit value that is black
    std::string data;
    int IsBlack(int x, int y) const
    {
        const unsigned char *row = (const unsigned char *)data.data() + (size_t)(height - 1 - y) * stride;
        return ((row[x >> 3] >> (7 - (x & 7))) & 1) == blackBit;
    }
};

// Reads Ghostscript's bmpmono file (1-bit, bottom-up).
int ReadReference(const std::string &path, ReferenceBitmap *out)
{
    std::string file;
    if (!ReadWholeFile(path, &file) || file.size() < 62 || file[0] != 'B' || file[1] != 'M') return 0;
    const unsigned char *p = (const unsigned char *)file.data();
    unsigned offset = p[10] | (p[11] << 8) | (p[12] << 16) | ((unsigned)p[13] << 24);
    int width = p[18] | (p[19] << 8) | (p[20] << 16) | (p[21] << 24);
    int height = p[22] | (p[23] << 8) | (p[24] << 16) | (p[25] << 24);
    int bits = p[28] | (p[29] << 8);
    if (bits != 1 || width <= 0 || height <= 0) return 0;
    out->width = width;
    out->height = height;
    out->stride = ((width + 31) / 32) * 4;
    if (offset + (size_t)out->stride * height > file.size()) return 0;
    const unsigned char *entry0 = p + 54;   // colour table after the 40-byte header
    out->blackBit = (entry0[0] == 0 && entry0[1] == 0 && entry0[2] == 0) ? 0 : 1;
    out->data = file.substr(offset);
    return 1;
}

// An independent reading of a Ghostscript ljet2p page: every ESC * b # W row (PackBits, or
// unencoded with ESC * b 0 M) below the previous one, from row 0 at x 0. Returns the rows as
// bytes; 0 when the stream uses something else.
int DecodeStreamRows(const std::string &stream, std::vector<std::string> *rows)
{
    const unsigned char *d = (const unsigned char *)stream.data();
    size_t n = stream.size(), i = 0;
    int mode = 0;
    while (i < n) {
        if (d[i] != 27) {
            i++;
            continue;
        }
        // ESC, a parameter character, a group character, then value and letter pairs.
        size_t j = i + 1;
        if (j >= n) break;
        char parameter = (char)d[j++];
        char group = 0;
        if (j < n && d[j] >= 96 && d[j] <= 126) group = (char)d[j++];
        for (;;) {
            long value = 0;
            int sign = 1;
            if (j < n && (d[j] == '+' || d[j] == '-')) sign = d[j++] == '-' ? -1 : 1;
            while (j < n && ((d[j] >= '0' && d[j] <= '9') || d[j] == '.')) {
                if (d[j] != '.') value = value * 10 + (d[j] - '0');
                j++;
            }
            if (j >= n) return 0;
            char letter = (char)d[j++];
            if (parameter == '*' && group == 'b' && (letter == 'm' || letter == 'M')) mode = (int)(sign * value);
            if (parameter == '*' && group == 'b' && (letter == 'w' || letter == 'W')) {
                if (j + value > n) return 0;
                std::string row;
                if (mode == 0) {
                    row.assign((const char *)d + j, value);
                } else if (mode == 2) {
                    for (size_t k = j; k < j + value;) {
                        int c = (signed char)d[k++];
                        if (c >= 0) {
                            row.append((const char *)d + k, c + 1 <= (int)(j + value - k) ? c + 1 : j + value - k);
                            k += c + 1;
                        } else if (c != -128 && k < j + value) {
                            row.append(1 - c, (char)d[k++]);
                        }
                    }
                } else {
                    return 0;
                }
                rows->push_back(row);
                j += value;
            }
            if (letter >= 'A' && letter <= 'Z') break;   // an upper-case letter ends the sequence
            if (letter < 'a' || letter > 'z') break;
        }
        i = j;
    }
    return !rows->empty();
}

struct PageCase {
    const char *name;
};

class IrsPages : public ::testing::TestWithParam<PageCase> {};

} // namespace

TEST_P(IrsPages, CanvasAgreesWithGhostscriptBitmap)
{
    std::string base = std::string("testdata/") + GetParam().name;
    std::string stream;
    ReferenceBitmap reference;
    if (!ReadWholeFile(BuildPath((base + ".pcl").c_str()), &stream) ||
        !ReadReference(BuildPath((base + ".bmp").c_str()), &reference))
        GTEST_SKIP() << "test pages not made (Ghostscript or the IRS forms missing)";
    ASSERT_GE(reference.width, 2475);
    ASSERT_GE(reference.height, 3168);

    unsigned int stop = 0;
    HBITMAP page = RenderPclRange((const unsigned char *)stream.data(), 0, (unsigned)stream.size(), 0, NULL, NULL,
                                  NULL, &stop);
    ASSERT_TRUE(page);
    EXPECT_EQ(stream.size(), stop);   // the page ends with its form feed
    PageInk ink;
    ASSERT_TRUE(ReadPageInk(page, &ink));
    ASSERT_EQ(2400, ink.width);
    ASSERT_EQ(3168, ink.height);

    long long differ = 0, black = 0;
    for (int y = 0; y < 3168; y++) {
        for (int x = 0; x < 2400; x++) {
            int ours = ink.IsBlack(x, y), theirs = reference.IsBlack(x + 75, y);
            black += theirs;
            differ += ours != theirs;
        }
    }
    // The devices halftone grey areas differently (up to about 0.6 percent of the pixels on these
    // forms); anything misplaced (a row, a byte offset, a run) shows as far more.
    EXPECT_GT(black, 100000);
    EXPECT_LT(differ * 100, 2400LL * 3168) << differ << " pixels differ";
    DeleteObject(page);
}

// The canvas is exactly the stream's rows: every pixel of every row, none lost or moved.
TEST_P(IrsPages, CanvasEqualsTheStreamsRowsExactly)
{
    std::string stream;
    if (!ReadWholeFile(BuildPath((std::string("testdata/") + GetParam().name + ".pcl").c_str()), &stream))
        GTEST_SKIP() << "test pages not made (Ghostscript or the IRS forms missing)";
    std::vector<std::string> rows;
    ASSERT_TRUE(DecodeStreamRows(stream, &rows));
    ASSERT_GE(rows.size(), 2000u);   // white rows at the end are not sent
    HBITMAP page = RenderPclRange((const unsigned char *)stream.data(), 0, (unsigned)stream.size(), 0, NULL, NULL,
                                  NULL, NULL);
    ASSERT_TRUE(page);
    PageInk ink;
    ASSERT_TRUE(ReadPageInk(page, &ink));
    DeleteObject(page);
    long long differ = 0, black = 0;
    int firstDifferentRow = -1;
    for (int y = 0; y < ink.height; y++) {
        const std::string empty;
        const std::string &row = y < (int)rows.size() ? rows[y] : empty;
        for (int x = 0; x < ink.width; x++) {
            int inRow = (size_t)(x >> 3) < row.size() && ((unsigned char)row[x >> 3] >> (7 - (x & 7))) & 1;
            black += inRow;
            if (inRow != ink.IsBlack(x, y)) {
                differ++;
                if (firstDifferentRow < 0) firstDifferentRow = y;
            }
        }
    }
    EXPECT_GT(black, 100000);
    EXPECT_EQ(0, differ) << "first at row " << firstDifferentRow;
}

INSTANTIATE_TEST_SUITE_P(Forms, IrsPages,
                         ::testing::Values(PageCase{"f1040-1"}, PageCase{"f1040-2"}, PageCase{"f1040s1-1"},
                                           PageCase{"f1040s1-2"}, PageCase{"f1040sb-1"}),
                         [](const ::testing::TestParamInfo<PageCase> &info) {
                             std::string n = info.param.name;
                             for (char &c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });
