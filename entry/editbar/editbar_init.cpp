// editbar_init.cpp - where the edit bar plugs into the rest of the program: the forms list edits
// a row's copies through a modal edit bar (gFormsListCopiesEditHook, set in shell/handlers.cpp).
#include "entry/editbar/editbar_private.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

// The copies column of the forms list.
#define FORMS_LIST_COPIES_COLUMN 2

int EditFormsListCopies(HWND dialog, HWND list, int row, char *text, int textSize)
{
    if (!dialog || !text || textSize <= 0)
        return 0;
    // The copies cell is edited as a field of up to two digits.
    static char seq[] = "0001";
    static char description[] = "Number of copies";
    static char length[] = "2";
    static char typeCode[] = "N";
    FieldRecord field;
    memset(&field, 0, sizeof(field));
    field.seq = seq;
    field.description = description;
    field.length = length;
    field.typeCode = typeCode;
    field.value = text;

    EditRequest *request = (EditRequest *)MemAlloc(64, sizeof(EditRequest));
    if (!request)
        return 0;
    snprintf(request->text, sizeof(request->text), "%s", text);
    request->field = &field;
    request->fieldIndex = (uint32_t)row;
    request->caption = "Add Forms";
    request->requester = dialog;
    request->requesterKind = EDIT_REQUESTER_FORMS_LIST;
    request->entryMode = EDIT_ENTRY_CLICK;
    RECT cell = {0, 0, 0, 0};
    if (list) {
        cell.top = FORMS_LIST_COPIES_COLUMN;
        cell.left = LVIR_BOUNDS;
        if (!SendMessageA(list, LVM_GETSUBITEMRECT, row, (LPARAM)&cell))
            GetClientRect(list, &cell);
        MapWindowPoints(list, HWND_DESKTOP, (POINT *)&cell, 2);
    }
    request->fieldRect = cell;
    INT_PTR accepted = RunModalEditBar(dialog, request);
    if (accepted)
        snprintf(text, textSize, "%s", request->text);
    MemFree(request);
    return accepted ? 1 : 0;
}
