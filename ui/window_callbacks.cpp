// window_callbacks.cpp - the lower window layers' way up (ui/window_callbacks.h), filled by
// shell/handlers.cpp.
#include "ui/ui.h"

WindowCallbacks gWindowCallbacks;
