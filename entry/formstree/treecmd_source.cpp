// Pages from FormPak files: a new page of a form (duplicating a page), and replacing every page
// of a form by the same form from another FormPak ("Change Form Source"), values kept.
#include "entry/formstree/formstree_private.h"
#include "calc/calc.h"
#include "pages/pages.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

HTREEITEM CreateFormFromFormPak(const char *formPakPath, int formIndex, int copyValue)
{
    if (!formPakPath || !formPakPath[0])
        return NULL;
    FileRecord file;
    memset(&file, 0, sizeof(file));
    if (!ReadDataFile(formPakPath, 0, &file, 0))
        return NULL;
    HTREEITEM item = CreateFormInstance(formPakPath, formIndex, 1, 1, copyValue, &file, 0);
    ReleaseFileRecord(&file, NULL);
    return item;
}

int CopyFieldValues(const FieldTable *oldTable, FieldTable *newTable)
{
    if (!oldTable || !newTable || !oldTable->fields || !newTable->fields)
        return 0;
    int copied = 0;
    // Every field of the old page from the first real one (record 0 is the dummy).
    for (int i = 1; i < oldTable->count; i++) {
        const FieldRecord *from = &oldTable->fields[i];
        if (!from->seq || !from->seq[0] || (!from->value && !from->second))
            continue;
        int index = FindLayoutField(newTable, 1, from->seq, 0);
        if (index <= 0 || index >= newTable->count)
            continue;
        FieldRecord *to = &newTable->fields[index];
        SetFieldText(&to->value, from->value);
        // A signature block holds zero bytes: it is copied by its stated length, not as a text.
        SetFieldBlob(&to->second, from->second, from->second ? GetFieldSecondLength(from) : 0);
        copied++;
    }
    return copied;
}

int UpdateFormFromFormPak(const char *newFormPakPath, int jurisdiction, const char *pageKey)
{
    (void)jurisdiction;
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(4, pageKey, &count);
    if (!pages)
        return 1;
    if (gFormsTreeWindow)
        SendMessageA(gFormsTreeWindow, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < count; i++) {
        FormInstance *old = pages[i];
        HTREEITEM oldItem = old->treeItem;
        int copyValue = 0;
        int index = FindFormInFormPak(newFormPakPath, old->pageKey, &copyValue, NULL);
        if (index < 0 || index >= 65535 || !oldItem)
            continue;   // not in the new file: the page stays as it is
        // The new page replaces the old one, so the form's copy limit is not applied here.
        HTREEITEM newItem = CreateFormFromFormPak(newFormPakPath, index, 0);
        FormInstance *page = (FormInstance *)GetTreeItemForm(newItem);
        if (!page)
            continue;
        page->copyNumber = old->copyNumber;
        CopyFieldValues(old->fieldTable, page->fieldTable);
        if (GetShownTreeItem() == oldItem)
            SelectTreeItem(newItem);
        DeleteTreePage(oldItem);
    }
    MemFree(pages);
    if (gFormsTreeWindow) {
        SendMessageA(gFormsTreeWindow, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(gFormsTreeWindow, NULL, TRUE);
    }
    LayoutStatusBarParts(gStatusBar, gMainWindow);
    RecomputeAllFormsNow(1);
    return 1;
}

int ChangeFormSource(HTREEITEM item)
{
    gOperationCode = 27;
    FormInstance *page = (FormInstance *)GetTreeItemForm(item);
    if (!page || page->kind != PAGE_KIND_FORM || !page->pageKey)
        return 0;
    char current[MAX_PATH] = "", folder[MAX_PATH] = "", key[FORM_NAME_SIZE];
    if (page->formPakPath)
        lstrcpynA(current, page->formPakPath, sizeof(current));
    lstrcpynA(key, page->pageKey, sizeof(key));
    int jurisdiction = page->jurisdiction;
    int folderLength = GetFolderPartLength(current);
    if (folderLength > 0 && folderLength < (int)sizeof(folder))
        lstrcpynA(folder, current, folderLength + 1);
    for (;;) {
        char path[MAX_PATH];
        lstrcpynA(path, current + folderLength, sizeof(path));
        if (!ShowFileOpenDialog("Select a New FormPak Source File", "qvp", "Levyline Form Files (*.qvp)\0*.qvp\0", 1,
                                0, NULL, folder, path, sizeof(path), gMainWindow))
            return 0;
        if (!lstrcmpiA(path, current))
            return 0;
        int copyValue = 0;
        uint16_t taxYear = 0;
        if (FindFormInFormPak(path, key, &copyValue, &taxYear) >= 0 && ShowFormPakYearError(taxYear, 0)) {
            UpdateFormFromFormPak(path, jurisdiction, key);
            gReturnModified = 1;
            return 1;
        }
        int answer = ShowMessageBox(gMainWindow,
                                    "The file you selected does not contain an updated version of the form\r\n"
                                    "you are trying to update.\r\n\r\nClick on Retry to specify another file or "
                                    "Cancel to continue using the\r\ncurrent source file for this form.",
                                    "Form Not Found in File", MB_RETRYCANCEL | MB_ICONEXCLAMATION);
        if (answer != IDRETRY)
            return 0;
    }
}
