// entry.h - data entry, one folder (room) per window family; each room's public header:
// the edit bar, the forms tree, statements, the multi-field popup and the e-file information
// sheet, explanations and the error list, signature capture, imports and the start dialogs.
//
// Layering: data entry sits on print, pages, ui, the canvas and the data layers; only the shell
// is above it.
//
// Rooms include this header nowhere: each file includes the public headers of the rooms it
// calls. The edit bar is the room the others build on (statements, the multi-field popup,
// signatures and imports open or commit it); its own call into the forms tree (the tree caption
// of a committed field in commit.cpp) closes the one loop between rooms: editbar -> formstree ->
// explain (the tree's notes and Check Return) -> statements (explain prints its notes as
// statements) -> editbar. The forms list reaches the edit bar through gFormsListCopiesEditHook
// (entry/formstree/formstree.h), which shell/handlers.cpp sets, so the forms tree includes
// nothing of the edit bar.
#ifndef LEVYLINE_ENTRY_H
#define LEVYLINE_ENTRY_H

#include <windows.h>
#include <stdint.h>

#include "calc/calc.h"
#include "store/store.h"
#include "print/print.h"
#include "ui/ui.h"

#include "entry/editbar/editbar.h"
#include "entry/formstree/formstree.h"
#include "entry/statements/statements.h"
#include "entry/multifield/multifield.h"
#include "entry/explain/explain.h"
#include "entry/signature/signature.h"
#include "entry/imports/imports.h"
#include "entry/startdlg/startdlg.h"

#endif // LEVYLINE_ENTRY_H
