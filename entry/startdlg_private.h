// Window helpers shared by the start dialogs (entry/startdlg_common.cpp).
#ifndef LEVYLINE_STARTDLG_PRIVATE_H
#define LEVYLINE_STARTDLG_PRIVATE_H

#include "entry/startdlg.h"

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
