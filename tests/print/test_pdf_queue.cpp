// The PDF writer's compression workers and its image compression: how many workers a PDF gets and
// when they start, what a compressed page keeps, and a compression that fails.
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "print/print.h"
#include "print/print_private.h"

#include <string>

// The workers follow the processors the process may run on (at least 2) and the pages: a worker
// is started for each page queued, up to the limit, and the queue holds two pages more.
TEST(PdfQueue, WorkersFollowTheAffinityAndThePagesQueued)
{
    DWORD_PTR process = 0, system = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &process, &system));
    struct {
        DWORD_PTR mask;
        int setting;
        uint32_t pages;
        int workers;
    } cases[] = {{0x3, 0, 100, 2}, {0x1, 0, 100, 2}, {0xF, 0, 100, 4}, {0xF, 0, 3, 3}, {0x3, 5, 100, 5},
                 {0xF, 0, 1, 0}};
    for (auto &c : cases) {
        if ((c.mask & system) != c.mask)
            continue;   // a machine with fewer processors
        SCOPED_TRACE("mask " + std::to_string(c.mask) + ", pages " + std::to_string(c.pages));
        ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), c.mask));
        EXPECT_EQ(c.workers, CountPdfCompressWorkers(c.setting, c.pages));
    }
    SetProcessAffinityMask(GetCurrentProcess(), process);

    PdfPageQueue queue;
    ASSERT_EQ(1, StartPdfPageQueue(&queue, 4));
    EXPECT_EQ(6u, queue.capacity);
    for (int pages = 1; pages <= 6; pages++) {
        ASSERT_TRUE(GetFreePdfPage(&queue) != NULL);
        QueuePdfPage(&queue);
        EXPECT_EQ(pages < 4 ? pages : 4, queue.threadCount) << pages << " pages";
    }
    EXPECT_TRUE(GetFreePdfPage(&queue) == NULL);
    while (TakeOldestPdfPage(&queue, 1, 0))
        ReleaseOldestPdfPage(&queue);
    StopPdfPageQueue(&queue);
}

// A compressed page keeps a block of its compressed size alone (zlib's worst case is set aside
// only while compressing) and gives the bytes of MakePdfImage; a compression that fails (here: too
// little room for its output) empties the work, so the page fails instead of going out uncompressed.
TEST(PdfImage, CompressedPageKeepsItsSizeAndAFailedCompressionFailsThePage)
{
    HBITMAP bitmap = CreateWhiteCanvasBitmap();
    ASSERT_TRUE(bitmap != NULL);
    PdfObject made;
    ASSERT_EQ(1, MakePdfImage(&made, bitmap, 6, 0));
    std::string expected(made.text, made.length);
    FreePdfObject(&made);
    for (uint32_t room : {0u, 64u}) {
        SCOPED_TRACE("room " + std::to_string(room));
        PdfImageWork work;
        ASSERT_EQ(1, PreparePdfImage(&work, bitmap, 6, 0));
        if (room)
            work.room = room;
        int ok = CompressPdfImage(&work);
        EXPECT_EQ(room ? 0 : 1, ok);
        if (ok) {
            EXPECT_TRUE(work.rows == NULL);
            EXPECT_EQ((SIZE_T)work.packedLength, HeapSize(GetProcessHeap(), 0, work.packed));
        }
        PdfObject object;
        EXPECT_EQ(ok, FinishPdfImage(&work, &object));
        EXPECT_EQ(ok ? expected : std::string(), std::string(object.text ? object.text : "", object.length));
        FreePdfObject(&object);
    }
    DeleteObject(bitmap);
}
