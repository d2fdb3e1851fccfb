// print_private.h - declarations shared by the files of the print folder only.
#ifndef LEVYLINE_PRINT_PRIVATE_H
#define LEVYLINE_PRINT_PRIVATE_H

#include <windows.h>
#include "print/print.h"

// Opens the modal frame of a print or PDF job (the main window and the asking dialog take no
// input until EndModalState) and brings the totals up to date inside it; while the frame is open
// no recompute starts, so the job reads finished values. *frame receives the frame for
// EndModalState. 0 when the totals cannot be finished (called while the program waits for the
// recompute worker, which still runs): the frame is closed again and the job must not start.
int BeginOutputJobFrame(int *frame);

// The image pages of a PDF compressed on worker threads (pdf_queue.cpp). One image page on its
// way to the file: its page and content objects and its image, compressed by a worker.
#define PDF_MAX_COMPRESS_WORKERS 16
struct PdfPendingPage {
    PdfObject page, content;
    PdfImageWork image;
    int compressed;              // under the queue's lock
};
// Pages are queued by the writing thread alone and handed back to it oldest first; page k is
// held in slot k % capacity until it is released.
struct PdfPageQueue {
    CRITICAL_SECTION lock;
    CONDITION_VARIABLE work;     // wakes the workers: a page was queued, or the queue stops
    CONDITION_VARIABLE done;     // wakes the writer: a page was compressed
    PdfPendingPage *pages;
    uint32_t capacity;
    uint32_t queued, taken, released;
    int stopping;
    HANDLE threads[PDF_MAX_COMPRESS_WORKERS];
    int threadCount;             // workers started: one per page queued, up to limit
    int limit;
};
// Makes room for workers + 2 pages and starts the first of at most workers (the others as pages
// are queued); 0 (nothing held) when none could be started.
int StartPdfPageQueue(PdfPageQueue *queue, int workers);
// The empty slot of the next page, null while the queue holds all it may.
PdfPendingPage *GetFreePdfPage(PdfPageQueue *queue);
// Hands the slot GetFreePdfPage gave, filled, to the workers.
void QueuePdfPage(PdfPageQueue *queue);
// The oldest page not yet released, once compressed: waits for it (pumping messages every 50 ms
// when pump is set) or, without wait, null when it is not ready. Null when no page is held.
PdfPendingPage *TakeOldestPdfPage(PdfPageQueue *queue, int wait, int pump);
// Frees what the oldest page still holds and empties its slot.
void ReleaseOldestPdfPage(PdfPageQueue *queue);
// Stops the workers (each finishes the page in its hands), waits for them to end and frees every
// page still held. The queue is left empty.
void StopPdfPageQueue(PdfPageQueue *queue);

#endif // LEVYLINE_PRINT_PRIVATE_H
