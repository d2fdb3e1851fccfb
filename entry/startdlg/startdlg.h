// startdlg.h - the "Smart Start" dialogs that begin a new return from a FormPak: the 94x start
// dialog ("F941SMARTSTART" for Form 941, "F94XSMARTSTART" for the other employment-tax returns)
// and the Minnesota property tax refund start dialog ("MNM1PRSTART"). Each marks the FormPak's
// pages to add (the copies-to-add marks of its page directory) and returns the choices as bits.
// Their templates: resources/startdlg.rc.
#ifndef LEVYLINE_STARTDLG_H
#define LEVYLINE_STARTDLG_H

// ---- controls shared by the start dialogs ----
#define IDC_START_CLICKHERE  1411   // link-style button: the full forms list instead
#define IDC_START_HEADING    1414
#define IDC_START_GROUP      1415
#define IDC_START_TEXT1      1416
#define IDC_START_TEXT2      1417
#define IDC_START_YEAR       1449
#define IDC_START_OK         1205
#define IDC_START_CANCEL     1207
#define IDB_START_ICON       427    // the dialogs' small icon (a bitmap made into an icon)

// ---- 94x start dialog ----
#define IDC_94X_QUARTER1     1514
#define IDC_94X_QUARTER2     1515
#define IDC_94X_QUARTER3     1516
#define IDC_94X_QUARTER4     1517
#define IDC_94X_SCHEDULEB    1518   // semiweekly depositor (Schedule B / A, Form 943-A / 945-A)
#define IDC_94X_SCHEDULER    1519   // reporting agent (Schedule R)
#define IDC_94X_PAYMENT      1520   // balance due debited (Form 94x Payment)
#define IDC_94X_SIGNPIN      1522   // always hidden
#define IDC_94X_SIGN8453     1523   // always hidden
#define IDC_94X_PRACTITIONER 1524
#define IDC_94X_AGENTPIN     1525
#define IDC_94X_SIGNGROUP    1521
#define IDC_94X_IMPORTGROUP  1526
#define IDC_94X_IMPORT       1527
#define IDC_94X_OPTIONGROUP  1499

// Result bits of the 94x start dialog.
#define START94X_QUARTER1      0x1
#define START94X_QUARTER2      0x2
#define START94X_QUARTER3      0x4
#define START94X_QUARTER4      0x8
#define START94X_SIGNPIN       0x10
#define START94X_SIGN8453      0x20
#define START94X_PRACTITIONER  0x40
#define START94X_AGENTPIN      0x80
#define START94X_IMPORT        0x100
#define START94X_PAYMENT       0x400
#define START94X_SCHEDULES     0x800

// ---- Minnesota M1PR start dialog ----
#define IDC_M1PR_RENTER      1402
#define IDC_M1PR_HOMEOWNER   1403
#define IDC_M1PR_NURSING     1404
#define IDC_M1PR_MOBILE      1406
#define IDC_M1PR_CRPSPIN     1408
#define IDC_M1PR_PROPSTSPIN  1409
#define IDC_M1PR_CRPCOUNT    1410
#define IDC_M1PR_PROPSTCOUNT 1201
#define IDC_M1PR_CRPLABEL    1412
#define IDC_M1PR_PROPSTLABEL 1413

#define STARTM1PR_RENTER     0x1
#define STARTM1PR_HOMEOWNER  0x2
#define STARTM1PR_NURSING    0x4
#define STARTM1PR_MOBILE     0x10

#ifndef RC_INVOKED
#include <windows.h>
#include "store/store.h"

// What a start dialog's procedure ends with after the link "click here -->"; the caller turns
// it into -1 (the full forms list), which DialogBoxParam itself gives only for a failure.
#define START_RESULT_FORMSLIST (-2)

// Dialog procedures; the parameter is the FormPak's FileRecord. Results: the bits of the
// checked boxes after OK (marks set), 0 after Cancel or Esc, START_RESULT_FORMSLIST after the
// link (no marks set).
INT_PTR CALLBACK SmartStart94xProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MnM1prStartProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Kinds of start dialog a FormPak gets.
#define START_DIALOG_94X  1
#define START_DIALOG_M1PR 2
// The start dialog of the FormPak (kind START_DIALOG_94X or START_DIALOG_M1PR), run modally over
// owner: the bits of its choices (marks set), 0 when cancelled, -1 for the full forms list. A
// dialog that cannot be made is reported and gives 0 with no marks.
int RunFormPakStartDialog(HWND owner, FileRecord *formPak, int kind);
// Applies a start dialog's choices (kind as above, choices its result bits) to the forms added:
// the 94x quarter box and the M1PR filing status boxes are checked on their pages, the 94x
// signing method is kept in the return record (RETURN_SIGN_METHOD) and a 94x import request
// posts "Import Data" (IDM_IMPORTDATA) to the main window. Returns the number of boxes checked.
int ApplyStartDialogChoices(int kind, int choices);
// The template of a 94x FormPak: "F941SMARTSTART" when its form name begins "Form 941", else
// "F94XSMARTSTART".
const char *GetSmartStartTemplate(FileRecord *formPak);

#endif

#endif // LEVYLINE_STARTDLG_H
