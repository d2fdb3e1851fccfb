// Field file attachments: a PDF file chosen for an "S[pdf]" field, its path kept in the field
// and its partner field (the field the attachment field's value list names).
#include "pages/attachments.h"
#include "pages/pages_private.h"
#include "ui/ui.h"
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

int AttachPdfToField(FieldRecord *field, FieldRecord *partner, FieldRecord *folderField, const char *path)
{
    if (!field || !path)
        return 0;
    char folder[MAX_PATH];
    folder[0] = 0;
    int folderLength = GetFolderPartLength(path);
    const char *name = path + folderLength;
    if (folderLength > 0 && folderLength < (int)sizeof(folder))
        lstrcpynA(folder, path, folderLength + 1);
    if (!folderField) {
        SetFieldText(&field->value, name);
        if (partner)
            SetFieldText(&partner->value, path);
        return 1;
    }
    SetFieldText(&field->value, path);
    if (partner)
        SetFieldText(&partner->value, name);
    // The folder as shown to the user, bounded by its buffer.
    char shown[MAX_PATH];
    if (!MaskProfileFolder(path, shown, sizeof(shown)))
        lstrcpynA(shown, folder, sizeof(shown));
    SetFieldText(&folderField->value, shown);
    return 1;
}

int BuildAttachFilter(const char *typeCode, char *extension, int extensionSize, char *filter, int filterSize)
{
    // The three characters after "S[" name the extension: "S[pdf]" -> pdf.
    char lower[4] = "pdf", upper[4] = "PDF";
    if (typeCode && StartsWithText(typeCode, "S[") && strlen(typeCode) >= 5) {
        for (int i = 0; i < 3; i++) {
            char ch = typeCode[2 + i];
            lower[i] = (char)(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
            upper[i] = (char)(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
        }
    }
    lstrcpynA(extension, lower, extensionSize);
    char caption[64], pattern[16];
    snprintf(caption, sizeof(caption), "%s Files (*.%s)", upper, lower);
    snprintf(pattern, sizeof(pattern), "*.%s", lower);
    int a = (int)strlen(caption), b = (int)strlen(pattern);
    if (a + b + 3 > filterSize)
        return 0;
    memcpy(filter, caption, (size_t)a + 1);
    memcpy(filter + a + 1, pattern, (size_t)b + 1);
    filter[a + b + 2] = 0;
    return 1;
}

int OnAttachFieldClick(HWND pageView, FieldRecord *field, FieldTable *table, int fieldIndex)
{
    (void)fieldIndex;
    if (!field)
        return 0;
    gOperationCode = 33;
    FieldRecord *partner = field->valueList ? FindFieldRecord(field->valueList, table, NULL) : NULL;
    if (partner && (!partner->seq || !field->valueList || strcmp(partner->seq, field->valueList) != 0))
        partner = NULL;
    char previous[520] = "";
    char startFolder[520] = "";
    char path[520] = "";
    if (partner && partner->value && partner->value[0] && strlen(partner->value) < sizeof(previous) &&
        FileExists(partner->value)) {
        lstrcpynA(previous, partner->value, sizeof(previous));
        int folderLength = GetFolderPartLength(previous);
        if (folderLength > 0) {
            lstrcpynA(startFolder, previous, folderLength + 1);
            lstrcpynA(path, previous + folderLength, sizeof(path));
        }
    }
    char extension[8], filter[128];
    BuildAttachFilter(field->typeCode, extension, sizeof(extension), filter, sizeof(filter));
    if (!ShowFileOpenDialog("Select File to Attach", extension, filter, 0, 0, "AttachDir",
                            startFolder[0] ? startFolder : NULL, path, sizeof(path), pageView)) {
        if (previous[0] && partner && partner->value && lstrcmpiA(partner->value, previous) == 0 &&
            ShowMessageBox(gMainWindow,
                           "You exited from the \"Attach File\" window without clicking\r\nthe \"Attach\" "
                           "button.\r\n\r\nDo you want to de-select the previously-attached file?",
                           "Clear File Selection?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
            SetFieldText(&field->value, NULL);
            SetFieldText(&partner->value, NULL);
        } else {
            return 0;
        }
    } else {
        char dotted[12];
        snprintf(dotted, sizeof(dotted), ".%s", extension);
        if (!CheckPdfAttachment(path, 1) || !HasFileExtension(path, dotted))
            return 0;
        AttachPdfToField(field, partner, NULL, path);
    }
    RedrawField(field);
    if (partner)
        RedrawField(partner);
    return 1;
}
