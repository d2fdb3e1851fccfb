// The image pages of a PDF compressed on worker threads. Level-9 compression is nearly all of a
// page's cost and each page's is independent of the others, so while the writing thread makes the
// next page images (GDI and the field tables stay on that thread) the workers compress the pages
// queued before; the writer takes them back oldest first and writes them in page order, so the
// file holds the bytes a single thread writes. A few pages are held at a time, not the return.
// The workers touch nothing but the rows of the page they took; one critical section guards the
// queue's counters and two condition variables wake the workers and the writer. A worker is
// started for each page queued up to the limit, so a PDF of few pages starts few threads.
#include "print/print.h"
#include "print/print_private.h"

#include <process.h>
#include <string.h>

static unsigned __stdcall CompressQueuedPages(void *argument)
{
    PdfPageQueue *queue = (PdfPageQueue *)argument;
    EnterCriticalSection(&queue->lock);
    for (;;) {
        while (!queue->stopping && queue->taken == queue->queued)
            SleepConditionVariableCS(&queue->work, &queue->lock, INFINITE);
        if (queue->stopping)
            break;
        PdfPendingPage *page = &queue->pages[queue->taken % queue->capacity];
        queue->taken++;
        LeaveCriticalSection(&queue->lock);
        // A failure leaves the image empty: the writer fails the file when it takes the page.
        CompressPdfImage(&page->image);
        EnterCriticalSection(&queue->lock);
        page->compressed = 1;
        WakeAllConditionVariable(&queue->done);
    }
    LeaveCriticalSection(&queue->lock);
    return 0;
}

// The processors this process may run on (its affinity mask: a process started under taskset or
// given fewer processors gets fewer workers), at least 1.
static int CountUsableProcessors(void)
{
    DWORD_PTR process = 0, system = 0;
    int count = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system))
        for (; process; process &= process - 1)
            count++;
    if (!count) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        count = (int)info.dwNumberOfProcessors;
    }
    return count >= 1 ? count : 1;
}

int CountPdfCompressWorkers(int setting, uint32_t pageCount)
{
    int workers = setting;
    if (workers <= 0) {
        workers = CountUsableProcessors();
        if (workers < 2)
            workers = 2;
    }
    if (workers > PDF_MAX_COMPRESS_WORKERS)
        workers = PDF_MAX_COMPRESS_WORKERS;
    // A worker per page at most; one page gains nothing from a thread.
    if ((uint32_t)workers > pageCount)
        workers = (int)pageCount;
    return workers >= 2 ? workers : 0;
}

// One more worker; 0 when it could not be started (the others carry on).
static int StartCompressWorker(PdfPageQueue *queue)
{
    HANDLE thread = (HANDLE)_beginthreadex(NULL, 0, CompressQueuedPages, queue, 0, NULL);
    if (!thread)
        return 0;
    queue->threads[queue->threadCount++] = thread;
    return 1;
}

int StartPdfPageQueue(PdfPageQueue *queue, int workers)
{
    memset(queue, 0, sizeof *queue);
    if (workers < 1)
        return 0;
    if (workers > PDF_MAX_COMPRESS_WORKERS)
        workers = PDF_MAX_COMPRESS_WORKERS;
    queue->limit = workers;
    // Every worker busy, the page being made and the one waiting to be written.
    queue->capacity = (uint32_t)workers + 2;
    queue->pages = (PdfPendingPage *)MemAlloc(64, sizeof(PdfPendingPage) * queue->capacity);
    if (!queue->pages)
        return 0;
    InitializeCriticalSection(&queue->lock);
    InitializeConditionVariable(&queue->work);
    InitializeConditionVariable(&queue->done);
    // One worker now, the others as pages come (QueuePdfPage): a statement's pages are known only
    // once it is made, so the workers follow the pages queued, not the items planned.
    if (!StartCompressWorker(queue)) {
        // No thread could be started: the pages are compressed where they are made.
        DeleteCriticalSection(&queue->lock);
        queue->pages = (PdfPendingPage *)MemFree(queue->pages);
        return 0;
    }
    return 1;
}

PdfPendingPage *GetFreePdfPage(PdfPageQueue *queue)
{
    if (queue->queued - queue->released >= queue->capacity)
        return NULL;
    // Only this thread queues and releases: the slot past the queued ones is free.
    PdfPendingPage *page = &queue->pages[queue->queued % queue->capacity];
    memset(page, 0, sizeof *page);
    return page;
}

void QueuePdfPage(PdfPageQueue *queue)
{
    EnterCriticalSection(&queue->lock);
    queue->queued++;
    LeaveCriticalSection(&queue->lock);
    // A worker per page queued, up to the limit (only this thread starts them).
    if (queue->threadCount < queue->limit && (uint32_t)queue->threadCount < queue->queued)
        StartCompressWorker(queue);
    WakeConditionVariable(&queue->work);
}

PdfPendingPage *TakeOldestPdfPage(PdfPageQueue *queue, int wait, int pump)
{
    if (queue->released == queue->queued)
        return NULL;
    PdfPendingPage *page = &queue->pages[queue->released % queue->capacity];
    EnterCriticalSection(&queue->lock);
    while (wait && !page->compressed) {
        if (!pump) {
            SleepConditionVariableCS(&queue->done, &queue->lock, INFINITE);
            continue;
        }
        // The progress window keeps painting while the last pages are compressed.
        SleepConditionVariableCS(&queue->done, &queue->lock, 50);
        LeaveCriticalSection(&queue->lock);
        PumpPrintMessages();
        EnterCriticalSection(&queue->lock);
    }
    int compressed = page->compressed;
    LeaveCriticalSection(&queue->lock);
    return compressed ? page : NULL;
}

void ReleaseOldestPdfPage(PdfPageQueue *queue)
{
    PdfPendingPage *page = &queue->pages[queue->released % queue->capacity];
    FreePdfObject(&page->page);
    FreePdfObject(&page->content);
    FreePdfImageWork(&page->image);
    queue->released++;
}

void StopPdfPageQueue(PdfPageQueue *queue)
{
    if (!queue->pages)
        return;
    EnterCriticalSection(&queue->lock);
    queue->stopping = 1;
    LeaveCriticalSection(&queue->lock);
    WakeAllConditionVariable(&queue->work);
    // A worker finishes the page in its hands first; queued pages nobody took are dropped.
    WaitForMultipleObjects((DWORD)queue->threadCount, queue->threads, TRUE, INFINITE);
    for (int i = 0; i < queue->threadCount; i++)
        CloseHandle(queue->threads[i]);
    while (queue->released != queue->queued)
        ReleaseOldestPdfPage(queue);
    DeleteCriticalSection(&queue->lock);
    MemFree(queue->pages);
    memset(queue, 0, sizeof *queue);
}
