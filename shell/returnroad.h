// returnroad.h - the return road: pages entering the open return (from a FormPak or from a return
// file), opening return files, installing FormPaks, adding forms, saving and closing.
// Part of the shell's public interface: include shell/shell.h.
#ifndef LEVYLINE_SHELL_RETURNROAD_H
#define LEVYLINE_SHELL_RETURNROAD_H

#include <windows.h>
#include "entry/entry.h"
#include <stdint.h>

#include "store/store.h"

// The road drives the forms tree and the dialogs, so it lives above the store
// (shell/returnroad*.cpp, shell/return_upgrade.cpp).

// mode 0: opens the return file (".qvr") or installs the FormPak (".qvp") at path (asking
// "Save Changes?" first when the open return is modified); mode 1: "Add Form": asks for a
// FormPak file and adds forms from it. Returns 1 when done, 0 when refused or cancelled.
int OpenTaxFile(HWND owner, const char *path, OpenReturn *returnRecord, int mode);
// Start dialogs of employment-tax and Minnesota M1PR FormPaks (kind below). Returns the
// dialog's result bits (> 0: add the marked copies), 0 cancelled, -1 show the forms list.
// Kinds START_DIALOG_94X and START_DIALOG_M1PR (entry/startdlg/startdlg.h).
typedef int (*AddFormsStartProc)(HWND owner, FileRecord *formPak, int kind);
// Set with the main window (shell/handlers.cpp) to RunFormPakStartDialog; tests set their own.
extern AddFormsStartProc gAddFormsStartHook;  // null: add the marked copies
// Which start dialog a FormPak gets: START_DIALOG_*, or 0 for the forms list.
int GetFormPakStartDialog(FileRecord *formPak);
// Adds forms of a read FormPak to the open return: the start dialog or the forms list marks the
// copies, then every page-directory entry's marked copies are made. Returns the pages added.
int AddFormsToReturn(HWND owner, FileRecord *formPak, const char *formPakPath);
// 1 while the open return was opened when another program held its file: Save is refused for
// this open (Save As to another file ends it).
extern int gReturnViewOnly;
// The open return's file as this program last read or wrote it (known 0: no file).
extern FileStamp gReturnFileStamp;
// Writes the open return to path (temporary file renamed over it); on success it becomes the
// return's path and the return is unmodified. A write over the return's own file that another
// program changed since this program read or last wrote it is asked about first (default No).
// 1 on success.
int SaveReturnFile(HWND owner, const char *path);
// Closes the open return: stops the recompute worker, empties the forms tree and frees what the
// return owned (FormPak list, page-data cache, soft fonts); the return record starts afresh.
int CloseOpenReturn(void);
// Copies the read return record into record, upgrading older layouts (converted by the
// taxpayer import, entry/imports/taxpayerimport.cpp); 1 on success (shell/return_upgrade.cpp).
int UpgradeReturnRecord(OpenReturn *record, const uint8_t *stored, uint32_t length);

#endif // LEVYLINE_SHELL_RETURNROAD_H
