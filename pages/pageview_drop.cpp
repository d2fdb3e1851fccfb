// Files dropped on the page view: a return or FormPak opens, a PDF attaches to its field.
#include "pages/pages_private.h"
#include "ui/ui.h"
#include "prepare/prepare.h"

#include <shellapi.h>
#include <string.h>

void OnPageViewDrop(HWND window, HDROP drop)
{
    if (!drop)
        return;
    // Nothing is opened or attached while a modal dialog or job holds the return.
    if (IsModalStateActive()) {
        DragFinish(drop);
        return;
    }
    char path[MAX_PATH] = "";
    if (DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0) == 1 && DragQueryFileA(drop, 0, path, sizeof(path))) {
        if (HasFileExtension(path, ".qvr") || HasFileExtension(path, ".qvp")) {
            // The main window opens it as it opens a file named on the command line.
            SendMessageA(gMainWindow, WM_OPEN_FILE, 0, (LPARAM)path);
        } else if (HasFileExtension(path, ".pdf") && gPageShown) {
            POINT client = {0, 0};
            DragQueryPoint(drop, &client);
            POINT point;
            point.x = ClientToPage((unsigned)(client.x & 0xFFFF), gPageMarginX, gPageScrollX, gZoom);
            point.y = ClientToPage((unsigned)(client.y & 0xFFFF), gPageMarginY, gPageScrollY, gZoom);
            FieldTable *table = (FieldTable *)GetCurrentDocument(3);
            int index = 0;
            FieldRecord *field = FindFieldInTable(table, point, &index);
            // The partner field is the record after the attachment field.
            if (field && GetFieldKind(field) == 7 && index + 1 < table->count && CheckPdfAttachment(path, 1)) {
                FieldRecord *partner = &table->fields[index + 1];
                AttachPdfToField(field, partner, NULL, path);
                RedrawField(field);
                RedrawField(partner);
            }
        }
    }
    DragFinish(drop);
}

