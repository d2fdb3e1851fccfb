// What the start dialogs share (entry/startdlg/startdlg_common.cpp, start94x.cpp, startm1pr.cpp):
// the FormPak marks and the window helpers.
#ifndef LEVYLINE_STARTDLG_PRIVATE_H
#define LEVYLINE_STARTDLG_PRIVATE_H

#include "entry/startdlg/startdlg.h"

// Marks of the 94x pages by the choices: the result bits, plus which of the two boxes behind
// 0x800 was checked (START94X_SCHEDULEBOX for 1518, START94X_AGENTBOX for 1519). The required
// forms (the FormPak's own form) are marked too. 1 when the FormPak has a page directory.
#define START94X_SCHEDULEBOX 0x10000
#define START94X_AGENTBOX    0x20000
int Mark94xForms(FileRecord *formPak, int choices);
// Marks of the M1PR pages: "MN CRP" takes rentCount copies, "MN PROPST" taxCount, each held to
// the entry's largest number of copies (and to one byte); the required forms are marked too.
int MarkM1prForms(FileRecord *formPak, int rentCount, int taxCount);
// Whether OK of the M1PR dialog is enabled for the status bits and the two counts.
int IsM1prChoiceComplete(int statusBits, int rentCount, int taxCount);

// ---- FormPak marks (entry/startdlg/startdlg_common.cpp) ----
// The first eight characters of a form name (fewer when it is shorter) into out.
void CopyShortFormName(const char *formName, char *out, int outSize);
// Sets the copies-to-add mark of every page-directory entry named name (case ignored); returns
// the number of entries marked.
int SetFormPakMarks(FileRecord *formPak, const char *name, int copies);
// Marks the FormPak's own form (the pages named as its form name, and its main-form pages) with
// one copy where no mark is set: the required forms that OK adds.
int MarkRequiredForms(FileRecord *formPak);
// The largest copies offered by the entries named name, 0 when there is none.
int GetFormPakMaxCopies(FileRecord *formPak, const char *name);

// The GDI objects of an open start dialog; they live from WM_INITDIALOG to WM_DESTROY.
struct StartDialogArt {
    HFONT yearFont;     // the dialog's font, bold and underlined: the tax year on the heading
    HFONT linkFont;     // the dialog's font, underlined: the link "click here -->"
    HICON smallIcon, okIcon, cancelIcon;
};

// Small icon, OK and Cancel pictures, the heading (resolved for the preparer's client) and the
// tax year placed over the heading's "0000".
void InitStartDialogArt(HWND dialog, StartDialogArt *art, const char *heading, int taxYear);
void FreeStartDialogArt(StartDialogArt *art);
// WM_DRAWITEM of the link button: blue underlined text. 1 when drawn.
int DrawStartLink(const DRAWITEMSTRUCT *item, const StartDialogArt *art);
// A control's rectangle in the dialog's client coordinates (empty when it is missing).
RECT GetStartControlRect(HWND dialog, int id);
// Moves every control whose top lies at or below y by dy pixels.
void MoveStartControlsBelow(HWND dialog, int y, int dy);
// Sets a control's height (top-left kept) or its size.
void SizeStartControl(HWND dialog, int id, int width, int height);
// Ends the dialog one button height below the OK button and centres it on its owner.
void FitStartDialogHeight(HWND dialog);
// The count typed into an edit: 0 for an empty or non-number text, capped at 65535.
int ReadStartCount(HWND dialog, int id);

#endif
