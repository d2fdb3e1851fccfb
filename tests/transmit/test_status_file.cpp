// The status block of "QvrStatx.dat": a block built and read back, and blocks that lie about
// themselves (short, oversized counts, unterminated texts, bad codes and letters).
#include <gtest/gtest.h>
#include "transmit/transmit.h"
#include "tests/harness/harness.h"

#include <string.h>
#include <vector>

namespace {

BatchStatusEntry MakeEntry(const char *id, char part, int jurisdiction, char status)
{
    BatchStatusEntry e;
    memset(&e, 0, sizeof e);
    strcpy(e.returnId, id);
    e.partLetter = part;
    e.jurisdiction = (uint8_t)jurisdiction;
    strcpy(e.sentDate, "02/14/2025 16:05:00");
    strcpy(e.statusDate, "02/15/2025 09:30:00");
    e.statusLetter = status;
    e.formCount = 7;
    strcpy(e.businessName, "Pat and Lee Doe");
    strcpy(e.message, "Return accepted.");
    return e;
}

std::vector<uint8_t> BuildBlock(const std::vector<BatchStatusEntry> &entries)
{
    uint32_t length = 0;
    void *block = BuildBatchStatusBlock(entries.data(), (int)entries.size(), 0, &length);
    std::vector<uint8_t> bytes((uint8_t *)block, (uint8_t *)block + length);
    MemFree(block);
    return bytes;
}

} // namespace

TEST(StatusFile, LayoutSizes)
{
    EXPECT_EQ(sizeof(BatchStatusHeader), 28u);
    EXPECT_EQ(sizeof(BatchStatusEntry), 316u);
    EXPECT_EQ(offsetof(BatchStatusEntry, formCount), 76u);
    EXPECT_EQ(offsetof(BatchStatusEntry, message), 150u);
}

TEST(StatusFile, BlockReadsBackEntryByEntry)
{
    std::vector<BatchStatusEntry> in = {MakeEntry("RET-0001", 'F', 0, 'A'), MakeEntry("RET-0001", 'S', 24, 'R'),
                                        MakeEntry("RET-0002", 'O', 0, 'P')};
    std::vector<uint8_t> block = BuildBlock(in);
    EXPECT_EQ(block.size(), 28u + 3 * 316u);
    int count = 0;
    BatchStatusEntry **entries = ParseBatchStatusBlock(block.data(), (uint32_t)block.size(), &count);
    ASSERT_TRUE(entries);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(entries[3], nullptr);
    EXPECT_STREQ(entries[1]->returnId, "RET-0001");
    EXPECT_EQ(entries[1]->partLetter, 'S');
    EXPECT_EQ(entries[1]->jurisdiction, 24);
    EXPECT_EQ(entries[1]->statusLetter, 'R');
    EXPECT_EQ(entries[2]->formCount, 7);
    EXPECT_STREQ(entries[2]->message, "Return accepted.");
    FreeBatchStatusEntries(entries);
}

TEST(StatusFile, EmptyBlockGivesEmptyList)
{
    std::vector<uint8_t> block = BuildBlock({});
    int count = -1;
    BatchStatusEntry **entries = ParseBatchStatusBlock(block.data(), (uint32_t)block.size(), &count);
    ASSERT_TRUE(entries);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(entries[0], nullptr);
    FreeBatchStatusEntries(entries);
}

TEST(StatusFile, ForeignOrDamagedHeadsAreRefused)
{
    std::vector<uint8_t> block = BuildBlock({MakeEntry("A", 'F', 0, 'A')});
    EXPECT_EQ(ParseBatchStatusBlock(block.data(), 27, 0), nullptr);
    EXPECT_EQ(ParseBatchStatusBlock(0, 100, 0), nullptr);
    std::vector<uint8_t> bad = block;
    bad[0] = 'X';
    EXPECT_EQ(ParseBatchStatusBlock(bad.data(), (uint32_t)bad.size(), 0), nullptr);
    bad = block;
    bad[6] = 100;   // entry size 100: smaller than an entry
    bad[7] = 0;
    EXPECT_EQ(ParseBatchStatusBlock(bad.data(), (uint32_t)bad.size(), 0), nullptr);
}

TEST(StatusFile, CountBeyondTheBlockReadsOnlyWholeEntries)
{
    std::vector<uint8_t> block = BuildBlock({MakeEntry("A", 'F', 0, 'A'), MakeEntry("A", 'S', 5, 'A')});
    uint32_t huge = 0x7FFFFFFF;
    memcpy(&block[8], &huge, 4);
    int count = 0;
    // Cut the second entry short: only the first is whole.
    BatchStatusEntry **entries = ParseBatchStatusBlock(block.data(), (uint32_t)block.size() - 10, &count);
    ASSERT_TRUE(entries);
    EXPECT_EQ(count, 1);
    FreeBatchStatusEntries(entries);
}

TEST(StatusFile, TextsAreCutAndCodesChecked)
{
    BatchStatusEntry e = MakeEntry("X", 'S', 200, 'A');
    memset(e.returnId, 'R', sizeof e.returnId);           // no terminator
    memset(e.businessName, 'B', sizeof e.businessName);
    memset(e.message, 'M', sizeof e.message);
    BatchStatusEntry unknownPart = MakeEntry("Y", 'Q', 0, 'A');
    BatchStatusEntry good = MakeEntry("Z", 'S', 51, 'P');
    std::vector<uint8_t> block = BuildBlock({e, unknownPart, good});
    int count = 0;
    BatchStatusEntry **entries = ParseBatchStatusBlock(block.data(), (uint32_t)block.size(), &count);
    ASSERT_TRUE(entries);
    ASSERT_EQ(count, 2);   // the unknown part letter is dropped
    EXPECT_EQ(strlen(entries[0]->returnId), sizeof e.returnId - 1);
    EXPECT_EQ(strlen(entries[0]->businessName), sizeof e.businessName - 1);
    EXPECT_EQ(strlen(entries[0]->message), sizeof e.message - 1);
    EXPECT_EQ(entries[0]->jurisdiction, 0);   // 200 is no row of the state table
    EXPECT_EQ(entries[1]->jurisdiction, 51);
    EXPECT_STREQ(entries[1]->returnId, "Z");
    FreeBatchStatusEntries(entries);
}

TEST(StatusFile, LargerEntriesOfALaterLayoutAreSteppedOver)
{
    BatchStatusEntry a = MakeEntry("A", 'F', 0, 'A'), b = MakeEntry("B", 'O', 0, 'R');
    const int size = 400;
    std::vector<uint8_t> block(28 + 2 * size, 0);
    BatchStatusHeader head = {};
    memcpy(head.magic, "QVBS", 4);
    head.version = 2;
    head.entrySize = size;
    head.entryCount = 2;
    memcpy(block.data(), &head, sizeof head);
    memcpy(&block[28], &a, sizeof a);
    memcpy(&block[28 + size], &b, sizeof b);
    int count = 0;
    BatchStatusEntry **entries = ParseBatchStatusBlock(block.data(), (uint32_t)block.size(), &count);
    ASSERT_TRUE(entries);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(entries[1]->returnId, "B");
    EXPECT_EQ(entries[1]->statusLetter, 'R');
    FreeBatchStatusEntries(entries);
}

TEST(StatusFile, PathIsInTheDataFolder)
{
    char path[MAX_PATH];
    ASSERT_TRUE(GetStatusFilePath(path, sizeof path));
    size_t n = strlen(path);
    ASSERT_GT(n, strlen("\\QvrStatx.dat"));
    EXPECT_STREQ(path + n - strlen("\\QvrStatx.dat"), "\\QvrStatx.dat");
    EXPECT_FALSE(GetStatusFilePath(path, 5));
    EXPECT_STREQ(path, "");
}

TEST(StatusFile, FileReadThroughThePackedContainer)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "QvrStatxTest.dat";
    DeleteFileA(path.c_str());
    int count = -1;
    // No file yet: no entries.
    BatchStatusEntry **entries = ReadBatchStatusFile(path.c_str(), &count);
    ASSERT_TRUE(entries);
    EXPECT_EQ(count, 0);
    FreeBatchStatusEntries(entries);

    std::vector<BatchStatusEntry> in = {MakeEntry("RET-9", 'F', 0, 'A'), MakeEntry("RET-9", 'S', 5, 'P')};
    std::vector<uint8_t> block = BuildBlock(in);
    PackedRecordDesc record = {REC_BATCH_STATUS, 0, block.data(), (uint32_t)block.size()};
    ASSERT_EQ(1, WritePackedFile(path.c_str(), FILE_TYPE_STATUS, 2024, 0, &record, 1));
    entries = ReadBatchStatusFile(path.c_str(), &count);
    ASSERT_TRUE(entries);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(entries[1]->jurisdiction, 5);
    EXPECT_EQ(entries[1]->statusLetter, 'P');
    FreeBatchStatusEntries(entries);

    // A return file in its place is no status file.
    PackedRecordDesc other = {REC_NOTES, 0, block.data(), (uint32_t)block.size()};
    ASSERT_EQ(1, WritePackedFile(path.c_str(), FILE_TYPE_RETURN, 2024, 0, &other, 1));
    EXPECT_EQ(ReadBatchStatusFile(path.c_str(), &count), nullptr);
    EXPECT_EQ(count, 0);
    // Nor is a file of garbage.
    FILE *f = fopen(path.c_str(), "wb");
    fputs("not a packed file at all", f);
    fclose(f);
    EXPECT_EQ(ReadBatchStatusFile(path.c_str(), &count), nullptr);
    DeleteFileA(path.c_str());
}
