// memory.cpp - the program's allocator: zero-filled blocks from the process heap.
#include "store/store.h"

#include <stdio.h>

void *MemAlloc(unsigned flags, size_t size)
{
    (void)flags;  // every block is zero-filled, whatever the caller asks
    void *block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size ? size : 1);
    if (!block) {
        char text[160];
        snprintf(text, sizeof text,
                 "There is not enough memory to allocate a block of %lu bytes.\r\n\r\n"
                 "Close other programs and try again.",
                 (unsigned long)size);
        ShowMessageBox(NULL, text, "Error Allocating Memory", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
    return block;
}

void *MemFree(void *block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
    return NULL;
}

void *MemReAlloc(void *block, size_t newSize)
{
    if (!block)
        return MemAlloc(64, newSize);
    void *grown = HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, block, newSize ? newSize : 1);
    if (!grown) {
        char text[160];
        snprintf(text, sizeof text,
                 "There is not enough memory to grow a block to %lu bytes.\r\n\r\n"
                 "Close other programs and try again.",
                 (unsigned long)newSize);
        ShowMessageBox(NULL, text, "Error Allocating Memory", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
    return grown;
}

int gBusyCursorCount = 0;

void SetBusyCursor(int on)
{
    if (on) {
        gBusyCursorCount++;
        SetCursor(LoadCursor(NULL, IDC_WAIT));
    } else {
        if (gBusyCursorCount > 0)
            gBusyCursorCount--;
        if (gBusyCursorCount == 0)
            SetCursor(LoadCursor(NULL, IDC_ARROW));
    }
}
