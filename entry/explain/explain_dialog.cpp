// The explanation dialog "EXPLAIN": the return's Note to IRS, Note to Self and Regulatory
// Explanation (texts of the federal folder), and the explanation of one field (the field's
// second word). Every refusal keeps the dialog open with the user's text; nothing is stored
// until all checks pass.
#include "entry/explain/explain_private.h"
#include "pages/pages.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// The dialog's working state (one explanation dialog at a time).
static HICON sOkIcon, sPrintIcon, sCancelIcon;
static HFONT sTextFont;

static const char kFieldDescription[] =
    "This window allows you to provide additional information to explain specific entries in your tax return. "
    "If you are required to provide additional information for the FIELD LISTED ABOVE, enter your explanation "
    "below. The information you provide here will be included with your e-filed return.";
static const char kM1prDescription[] =
    "This window allows you to provide additional information to explain specific entries in your tax return. "
    "If you are required to provide additional information, enter your explanation below. The information you "
    "provide here will be included with your e-filed return.";

struct NoteKind {
    const char *caption;
    const char *description;
};
static const NoteKind kNoteKinds[3] = {
    {"Note to IRS",
     "This window allows you to send additional information to the IRS regarding this return. The information "
     "you provide here WILL be included with your e-filed return."},
    {"Note to Self",
     "This window allows you to type and save notes (for example a \"To Do list\") that will be kept with your "
     "Levyline tax return data file. The information you provide here will NOT be included with your e-filed "
     "return."},
    {"Regulatory Explanation",
     "This window allows you to cite IRS regulatory rulings to support entries made on this return. The "
     "information you provide here will be included with your e-filed return."},
};

HICON SetButtonPicture(HWND dialog, int control, int resourceId)
{
    HICON icon = BitmapToIcon(NULL, gInstance ? gInstance : GetModuleHandleA(NULL), resourceId, NULL);
    if (icon)
        SendDlgItemMessageA(dialog, control, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon);
    return icon;
}

// The federal folder's record, null when the tree has none.
static FormGroupNode *GetFederalFolderRecord(void)
{
    FormGroupNode *folder = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
    return folder && folder->kind == TREE_KIND_FOLDER ? folder : NULL;
}

// The slot of the federal folder that holds a note of kind 1 to 3.
static char **GetNoteSlot(FormGroupNode *folder, int kind)
{
    if (!folder)
        return NULL;
    switch (kind) {
    case EXPLAIN_NOTE_TO_IRS:
        return &folder->noteToIrs;
    case EXPLAIN_NOTE_TO_SELF:
        return &folder->noteToSelf;
    case EXPLAIN_REGULATORY:
        return &folder->regulatoryExplanation;
    }
    return NULL;
}

// A copy of the edit's text (MemAlloc); null when out of memory.
static char *ReadExplanationText(HWND dialog)
{
    HWND edit = GetDlgItem(dialog, IDC_EXPLAIN_TEXT);
    int length = GetWindowTextLengthA(edit);
    char *text = (char *)MemAlloc(64, (size_t)length + 1);
    if (text)
        GetWindowTextA(edit, text, length + 1);
    return text;
}

static int OnExplainInit(HWND dialog, ExplainRequest *request)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)request);
    sOkIcon = SetButtonPicture(dialog, IDOK, IDB_EXPLAIN_OK);
    sPrintIcon = SetButtonPicture(dialog, IDC_EXPLAIN_PRINT, IDB_EXPLAIN_PRINT);
    sCancelIcon = SetButtonPicture(dialog, IDCANCEL, IDB_EXPLAIN_CANCEL);
    int kind = request ? (int)request->kind : 0;
    char **slot = GetNoteSlot(GetFederalFolderRecord(), kind);
    // Without a federal folder (or a field) there is nothing to show or to store the text in.
    if (!request || (kind != EXPLAIN_FIELD && !slot) || (kind == EXPLAIN_FIELD && !request->field)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    HWND description = GetDlgItem(dialog, IDC_EXPLAIN_DESCRIPTION);
    const char *text = NULL;
    if (kind == EXPLAIN_FIELD) {
        FieldRecord *field = request->field;
        char caption[400];
        BuildFieldExplanationCaption(field, request->pageKey, caption, sizeof(caption));
        SetWindowTextA(dialog, caption);
        int m1pr = field->seq && !strcmp(field->seq, "0470") && request->pageKey &&
                   !lstrcmpiA(request->pageKey, "Form M1PR.1");
        SetWindowTextA(description, m1pr ? kM1prDescription : kFieldDescription);
        // The second word holds a text here (never a signature block on an explanation field).
        text = field->second && GetFieldSecondLength(field) == strlen(field->second) ? field->second : NULL;
    } else {
        const NoteKind *note = &kNoteKinds[kind - 1];
        SetWindowTextA(dialog, note->caption);
        SetWindowTextA(description, note->description);
        text = *slot;
        // The shorter description sits a little lower.
        RECT rc;
        GetWindowRect(description, &rc);
        MapWindowPoints(NULL, dialog, (POINT *)&rc, 2);
        int height = rc.bottom - rc.top;
        MoveWindow(description, rc.left, rc.top + height / 6, rc.right - rc.left, height - height / 3, TRUE);
    }
    HWND edit = GetDlgItem(dialog, IDC_EXPLAIN_TEXT);
    if (!sTextFont)
        sTextFont = CreateFontA(14, 0, 0, 0, 500, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    if (sTextFont)
        SendMessageA(edit, WM_SETFONT, (WPARAM)sTextFont, FALSE);
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);   // the length checks are the save's own
    SetWindowTextA(edit, text ? text : "");
    if (gViewOnly) {
        // Read-only rather than disabled: the text can still be scrolled, selected and printed.
        SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    }
    if (request->outputMode == 3 || request->outputMode == 4) {
        SendMessageA(dialog, WM_COMMAND, IDC_EXPLAIN_PRINT, 0);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    PlaceDialogOnParent(dialog, 2);
    ShowWindow(dialog, SW_SHOW);   // interactive: shown at once (the template is hidden for output mode)
    SetFocus(edit);
    return FALSE;
}

// Step 2 of saving: a text that begins with a blank or a line end. Always keeps the dialog open.
static void AskAboutLeadingSpace(HWND dialog, char *text, int lead)
{
    const char *titleWord = lead == 1 ? "Space" : "Blank Line";
    const char *textWord = lead == 1 ? "space ('  ')" : "blank line";
    const char *unitWord = lead == 1 ? "space" : "line";
    char title[80], message[600];
    snprintf(title, sizeof(title), "Invalid %s Detected", titleWord);
    snprintf(message, sizeof(message),
             "The text that you entered begins with a %s which is not allowed.\r\n\r\nClick OK to have the "
             "software automatically remove the beginning %s character(s) or Cancel\r\nso you can manually make "
             "the change.",
             textWord, unitWord);
    if (ShowMessageBox(dialog, message, title, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    const char *set = lead == 1 ? " " : "\r\n";
    size_t skip = strspn(text, set);
    memmove(text, text + skip, strlen(text + skip) + 1);
    SetDlgItemTextA(dialog, IDC_EXPLAIN_TEXT, text);
}

// Steps 1 to 5: 1 when the text may be stored (cleaned in place and put back), else 0.
static int CheckExplanation(HWND dialog, char *text)
{
    HWND edit = GetDlgItem(dialog, IDC_EXPLAIN_TEXT);
    if (text[0]) {
        int lead = GetExplanationLeadKind(text);
        if (lead) {
            AskAboutLeadingSpace(dialog, text, lead);
            return 0;
        }
        if (strchr(text, '\t')) {
            if (ShowMessageBox(dialog,
                               "One or more ' tab ' characters were found in your note text and are not "
                               "allowed.\r\n\r\nClick OK to have the software automatically change all tabs to "
                               "spaces or Cancel\r\nso you can manually make the change.",
                               "Invalid Character Detected", MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK) {
                ReplaceChar(text, '\t', ' ');
                SetWindowTextA(edit, text);
            }
            return 0;
        }
        int offset = 0, line = 0, column = 0;
        char found = 0, lineText[84] = "";
        if (FindCharLineColumn(text, 0, "{}*#[]\xA7", &offset, &line, &column, &found, lineText, sizeof(lineText))) {
            char character[2] = {found, 0};
            char message[400];
            snprintf(message, sizeof(message),
                     "An invalid character was detected in the note text...\r\n\r\n      - Character:  \t%s\r\n"
                     "      - Line number:\t%d\r\n      - Position:   \t%d\r\n      - Line text:  \t%s\r\n\r\n"
                     "You will need to change or delete this character before your changes can be saved.",
                     character, line, column, lineText);
            ShowMessageBox(dialog, message, "Invalid Character Detected", MB_OK | MB_ICONEXCLAMATION);
            SendMessageA(edit, EM_SETSEL, offset, offset + 1);
            SendMessageA(edit, EM_SCROLLCARET, 0, 0);
            SetFocus(edit);
            return 0;
        }
    }
    CleanExplanationText(text);
    SetWindowTextA(edit, text);
    return 1;
}

// Steps 6 to 8 for a field's explanation.
static int StoreFieldExplanation(HWND dialog, FieldRecord *field, const char *text)
{
    if (text[0] && CountExplanationLines(text) > EXPLAIN_MAX_FIELD_LINES) {
        ShowMessageBox(dialog,
                       "The number of lines in this explanation exceeds the maximum\r\nallowed.  You will need to "
                       "reduce the number of lines used by\r\nyour explanation before your changes can be saved.",
                       "Maximum Number of Lines Exceeded", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    if (!text[0]) {
        SetFieldText(&field->second, NULL);
        SetFieldText(&field->value, NULL);
    } else {
        SetFieldText(&field->second, text);
    }
    return 1;
}

// Steps 7 and 8 for a note of the return.
static int StoreNote(HWND dialog, int kind, const char *text)
{
    size_t length = strlen(text);
    if (length > EXPLAIN_MAX_NOTE_CHARS) {
        char message[400];
        snprintf(message, sizeof(message),
                 "The amount of text exceeds the maximum allowed by %lu\r\ncharacters.\r\n\r\nYou will need to "
                 "shorten the message by at least this\r\nmany characters before your changes can be saved.",
                 (unsigned long)(length - EXPLAIN_MAX_NOTE_CHARS));
        ShowMessageBox(dialog, message, "Maximum Length Exceeded", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    char **slot = GetNoteSlot(GetFederalFolderRecord(), kind);
    if (!slot)
        return 0;
    const char *start = text + strspn(text, "\r\n ");
    size_t keep = strlen(start);
    while (keep > 0 && start[keep - 1] == ' ')
        keep--;
    char *copy = NULL;
    if (keep > 0) {
        copy = (char *)MemAlloc(64, keep + 1);
        if (!copy)
            return 0;
        memcpy(copy, start, keep);
    }
    MemFree(*slot);
    *slot = copy;
    return 1;
}

static int OnExplainOk(HWND dialog, ExplainRequest *request)
{
    char *text = ReadExplanationText(dialog);
    if (!text)
        return 0;
    int stored = 0;
    if (CheckExplanation(dialog, text)) {
        stored = request->kind == EXPLAIN_FIELD ? StoreFieldExplanation(dialog, request->field, text)
                                                : StoreNote(dialog, (int)request->kind, text);
    }
    MemFree(text);
    if (!stored)
        return 0;
    gReturnModified = 1;
    EndDialog(dialog, 1);
    return 1;
}

INT_PTR CALLBACK ExplainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    ExplainRequest *request = (ExplainRequest *)GetWindowLongPtrA(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG:
        return OnExplainInit(dialog, (ExplainRequest *)lParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (request && !gViewOnly)
                OnExplainOk(dialog, request);
            return TRUE;
        case IDC_EXPLAIN_PRINT:
            if (request)
                PrintExplanation(dialog, request);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        if (sOkIcon)
            DestroyIcon(sOkIcon);
        if (sPrintIcon)
            DestroyIcon(sPrintIcon);
        if (sCancelIcon)
            DestroyIcon(sCancelIcon);
        sOkIcon = sPrintIcon = sCancelIcon = NULL;
        if (sTextFont)
            DeleteObject(sTextFont);
        sTextFont = NULL;
        return FALSE;
    }
    return FALSE;
}

INT_PTR ShowExplainDialog(HWND owner, ExplainRequest *request)
{
    if (!request)
        return 0;
    return RunModalDialog(gInstance ? gInstance : GetModuleHandleA(NULL), "EXPLAIN", owner, ExplainProc,
                          (LPARAM)request);
}

INT_PTR OpenFieldExplanation(HWND owner, FieldRecord *field, const char *pageKey)
{
    ExplainRequest request;
    memset(&request, 0, sizeof(request));
    request.kind = EXPLAIN_FIELD;
    request.field = field;
    request.pageKey = pageKey;
    return ShowExplainDialog(owner, &request);
}

INT_PTR OpenReturnExplanation(HWND owner, int kind)
{
    if (kind < EXPLAIN_NOTE_TO_IRS || kind > EXPLAIN_REGULATORY)
        return 0;
    ExplainRequest request;
    memset(&request, 0, sizeof(request));
    request.kind = (uint32_t)kind;
    return ShowExplainDialog(owner, &request);
}
