// Compressed blocks: round trips, the "_rvq" header, and damaged or hostile blocks.
#include "store/store.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <string.h>

#include <vector>

static std::vector<unsigned char> TextData(size_t size)
{
    std::vector<unsigned char> data(size);
    const char *words = "Form 1040 line 1a wages salaries tips ";
    for (size_t i = 0; i < size; i++)
        data[i] = (unsigned char)words[i % strlen(words)];
    return data;
}

static std::vector<unsigned char> NoiseData(size_t size)
{
    std::vector<unsigned char> data(size);
    unsigned state = 12345;
    for (size_t i = 0; i < size; i++) {
        state = state * 1103515245u + 12345u;
        data[i] = (unsigned char)(state >> 16);
    }
    return data;
}

TEST(Compress, RoundTripWithHeader)
{
    std::vector<unsigned char> original = TextData(5000);
    std::vector<unsigned char> buffer = original;
    DWORD length = 0;
    ASSERT_EQ(1, CompressBlock(buffer.data(), (DWORD)buffer.size(), &length, 1, 1));
    ASSERT_LT(length, 5000u);
    EXPECT_EQ(0, memcmp(buffer.data(), "_rvq", 4));
    DWORD stated;
    memcpy(&stated, buffer.data() + 4, 4);
    EXPECT_EQ(5000u, stated);
    EXPECT_EQ(0x78, buffer[8]);  // a zlib stream follows the header

    DWORD outLength = 0;
    unsigned char *out = (unsigned char *)UncompressBlock(buffer.data(), length, &outLength);
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(5000u, outLength);
    EXPECT_EQ(0, memcmp(out, original.data(), 5000));
    EXPECT_EQ(0, out[5000]);  // zero byte past the data
    MemFree(out);
}

TEST(Compress, RoundTripWithoutHeaderWithinSixTimes)
{
    std::vector<unsigned char> original = NoiseData(300);
    std::vector<unsigned char> text = TextData(1200);
    original.insert(original.end(), text.begin(), text.end());
    std::vector<unsigned char> buffer = original;
    DWORD length = 0;
    ASSERT_EQ(1, CompressBlock(buffer.data(), (DWORD)buffer.size(), &length, 0, 0));
    EXPECT_NE(0, memcmp(buffer.data(), "_rvq", 4));
    DWORD outLength = 0;
    unsigned char *out = (unsigned char *)UncompressBlock(buffer.data(), length, &outLength);
    ASSERT_NE(nullptr, out);
    ASSERT_EQ(original.size(), (size_t)outLength);
    EXPECT_EQ(0, memcmp(out, original.data(), original.size()));
    MemFree(out);

    // Without a header the output is limited to six times the input: a block that expands
    // further is refused rather than cut.
    std::vector<unsigned char> zeros(20000, 0);
    ASSERT_EQ(1, CompressBlock(zeros.data(), (DWORD)zeros.size(), &length, 1, 0));
    EXPECT_EQ(nullptr, UncompressBlock(zeros.data(), length, &outLength));
    EXPECT_EQ(0u, outLength);
}

TEST(Compress, IncompressibleDataWarnsAndLeavesBufferAlone)
{
    std::vector<unsigned char> original = NoiseData(256);
    std::vector<unsigned char> buffer = original;
    DWORD length = 77;
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, CompressBlock(buffer.data(), (DWORD)buffer.size(), &length, 1, 1));
    EXPECT_EQ(77u, length);
    EXPECT_EQ(original, buffer);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Warning", GetShownMessageBoxes()[0].title);
    EXPECT_EQ("Zipped data size exceeds original data length.", GetShownMessageBoxes()[0].text);
}

TEST(Compress, DamagedAndHostileBlocksAreRefused)
{
    std::vector<unsigned char> buffer = TextData(4000);
    DWORD length = 0;
    ASSERT_EQ(1, CompressBlock(buffer.data(), (DWORD)buffer.size(), &length, 0, 1));
    DWORD outLength = 5;

    // Stated length absurd: refused before any allocation of that size.
    std::vector<unsigned char> absurd(buffer.begin(), buffer.begin() + length);
    DWORD huge = 0xFFFFFFF0u;
    memcpy(absurd.data() + 4, &huge, 4);
    EXPECT_EQ(nullptr, UncompressBlock(absurd.data(), length, &outLength));
    EXPECT_EQ(0u, outLength);

    // Data cut short: never read past the given length.
    EXPECT_EQ(nullptr, UncompressBlock(buffer.data(), length / 2, &outLength));
    EXPECT_EQ(nullptr, UncompressBlock(buffer.data(), 8, &outLength));
    EXPECT_EQ(nullptr, UncompressBlock(buffer.data(), 5, &outLength));

    // Stated length larger or smaller than the data really holds.
    std::vector<unsigned char> wrong(buffer.begin(), buffer.begin() + length);
    DWORD more = 4001;
    memcpy(wrong.data() + 4, &more, 4);
    EXPECT_EQ(nullptr, UncompressBlock(wrong.data(), length, &outLength));
    DWORD less = 3999;
    memcpy(wrong.data() + 4, &less, 4);
    EXPECT_EQ(nullptr, UncompressBlock(wrong.data(), length, &outLength));

    // Garbage after a valid header, and garbage without one.
    std::vector<unsigned char> garbage = NoiseData(200);
    memcpy(garbage.data(), "_rvq", 4);
    DWORD small = 100;
    memcpy(garbage.data() + 4, &small, 4);
    EXPECT_EQ(nullptr, UncompressBlock(garbage.data(), (DWORD)garbage.size(), &outLength));
    garbage[0] = 'x';
    EXPECT_EQ(nullptr, UncompressBlock(garbage.data(), (DWORD)garbage.size(), &outLength));
    EXPECT_EQ(nullptr, UncompressBlock(NULL, 10, &outLength));
    EXPECT_EQ(nullptr, UncompressBlock(buffer.data(), 0, NULL));
}
