// callbacks.cpp - the table of callbacks through which the data layers reach the windows, and the
// window handles they use (store/callbacks.h).
#include "store/store.h"

AppCallbacks gAppCallbacks;
HINSTANCE gInstance;
HWND gMainWindow;
HWND gPageViewWindow;

int ShowAppStatusText(int mode, const char *text)
{
    return gAppCallbacks.showStatusText ? gAppCallbacks.showStatusText(mode, text) : 0;
}
