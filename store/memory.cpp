// memory.cpp - the program's allocator: zero-filled blocks from the process heap.
#include "store/store.h"

#include <stdio.h>

// "There is not enough memory to <what> <size> bytes." in the memory error box.
static void ShowMemoryError(const char *what, size_t size)
{
    char text[160];
    snprintf(text, sizeof text,
             "There is not enough memory to %s %lu bytes.\r\n\r\nClose other programs and try again.", what,
             (unsigned long)size);
    ShowMessageBox(NULL, text, "Error Allocating Memory", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

void *MemAlloc(unsigned flags, size_t size)
{
    (void)flags;  // every block is zero-filled, whatever the caller asks
    void *block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size ? size : 1);
    if (!block)
        ShowMemoryError("allocate a block of", size);
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
    if (!grown)
        ShowMemoryError("grow a block to", newSize);
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
