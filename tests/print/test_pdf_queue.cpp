// The PDF writer's compression workers and its image compression: how many workers a PDF gets and
// when they start, what a compressed page keeps, and a compression that fails.
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "print/print.h"
#include "print/print_private.h"

#include <string>
#include <vector>

// The processors a PDF's pages are compressed on are those the process may run on, one worker
// each, at least two, never more workers than pages (or the setting's number): the writer starts a
// worker with each page it queues, up to that many, and holds two pages more than its workers; a
// PDF of one page starts none (its page is compressed where it is made). Stopping ends them all.
TEST(PdfQueue, WorkersFollowTheAffinityAndThePagesQueued)
{
    DWORD_PTR process = 0, system = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &process, &system));
    struct {
        DWORD_PTR mask;        // the processors the process may run on
        int setting;           // gPdfCompressWorkers
        uint32_t pages;
        const char *running;   // the workers running after each page queued, until the queue is full
    } cases[] = {
        {0x1, 0, 9, "1 2 2 2"},         // one processor: still two workers
        {0x3, 0, 9, "1 2 2 2"},
        {0xF, 0, 9, "1 2 3 4 4 4"},
        {0xF, 0, 3, "1 2 3"},           // three pages: three workers
        {0x3, 5, 9, "1 2 3 4 5 5 5"},   // the setting's number, not the processors'
        {0xF, 0, 1, ""},                // one page: none
    };
    for (auto &c : cases) {
        if ((c.mask & system) != c.mask)
            continue;   // a machine with fewer processors
        SCOPED_TRACE("mask " + std::to_string(c.mask) + ", setting " + std::to_string(c.setting) + ", pages " +
                     std::to_string(c.pages));
        ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), c.mask));
        PdfPageQueue queue;
        int started = StartPdfPageQueue(&queue, CountPdfCompressWorkers(c.setting, c.pages));
        SetProcessAffinityMask(GetCurrentProcess(), process);
        EXPECT_EQ(c.running[0] ? 1 : 0, started);
        if (!started)
            continue;
        std::string running;
        for (uint32_t page = 0; page < c.pages && GetFreePdfPage(&queue); page++) {
            QueuePdfPage(&queue);
            int live = 0;
            for (int i = 0; i < queue.threadCount; i++)
                live += WaitForSingleObject(queue.threads[i], 0) == WAIT_TIMEOUT;
            running += (running.empty() ? "" : " ") + std::to_string(live);
        }
        EXPECT_EQ(c.running, running);
        std::vector<HANDLE> workers;
        for (int i = 0; i < queue.threadCount; i++) {
            HANDLE copy = NULL;
            DuplicateHandle(GetCurrentProcess(), queue.threads[i], GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
            workers.push_back(copy);
        }
        while (TakeOldestPdfPage(&queue, 1, 0))
            ReleaseOldestPdfPage(&queue);
        StopPdfPageQueue(&queue);
        for (HANDLE worker : workers) {
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 0)) << "a worker runs on";
            CloseHandle(worker);
        }
    }
    SetProcessAffinityMask(GetCurrentProcess(), process);
}

// The memory this process has committed for itself (its heap blocks among it).
static SIZE_T CountCommittedPrivateBytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info;
    const char *address = NULL;
    while (VirtualQuery(address, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        const char *next = (const char *)info.BaseAddress + info.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

// Compressed pages waiting to be written keep about their compressed size (their rows and zlib's
// worst case are given back) and give the bytes of MakePdfImage; a compression that fails (here:
// too little room for its output) empties the work, so the page fails instead of going out
// uncompressed.
TEST(PdfImage, CompressedPageKeepsItsSizeAndAFailedCompressionFailsThePage)
{
    HBITMAP bitmap = CreateWhiteCanvasBitmap();
    ASSERT_TRUE(bitmap != NULL);
    PdfObject made;
    ASSERT_EQ(1, MakePdfImage(&made, bitmap, 6, 0));
    std::string expected(made.text, made.length);
    FreePdfObject(&made);

    const int kPages = 8;   // as many as a writer with six workers holds
    static PdfImageWork works[kPages];
    SIZE_T before = CountCommittedPrivateBytes();
    for (PdfImageWork &work : works)
        ASSERT_EQ(1, PreparePdfImage(&work, bitmap, 6, 0));
    SIZE_T prepared = CountCommittedPrivateBytes();
    for (PdfImageWork &work : works)
        ASSERT_EQ(1, CompressPdfImage(&work));
    SIZE_T compressed = CountCommittedPrivateBytes();
    SIZE_T rows = works[0].length, packed = works[0].packedLength;
    ASSERT_GT(rows, 1000000u);
    ASSERT_LT(packed, rows / 100);
    // The count sees the rows the pages held (so it would see a block of that size kept).
    EXPECT_GE(prepared, before + kPages * rows / 2);
    EXPECT_LT(compressed, before + kPages * packed + rows / 2)
        << (compressed - before) / kPages << " bytes a page for " << packed << " compressed";
    for (PdfImageWork &work : works) {
        PdfObject object;
        EXPECT_EQ(1, FinishPdfImage(&work, &object));
        EXPECT_EQ(expected, std::string(object.text ? object.text : "", object.length));
        FreePdfObject(&object);
    }

    PdfImageWork work;
    ASSERT_EQ(1, PreparePdfImage(&work, bitmap, 6, 0));
    work.room = 64;
    EXPECT_EQ(0, CompressPdfImage(&work));
    PdfObject object;
    EXPECT_EQ(0, FinishPdfImage(&work, &object));
    EXPECT_EQ(0u, object.length);
    FreePdfObject(&object);
    DeleteObject(bitmap);
}
