// seams.cpp - the test seams of the system's dialogs (store/seams.h); null in the program.
#include "store/store.h"

MessageBoxHookProc gMessageBoxHook = NULL;
FileDialogSeamProc gFileDialogHook = NULL;
ShellExecuteHookProc gShellExecuteHook = NULL;
PopupMenuSeamProc gFieldButtonMenuHook = NULL;
