// The context menu of the forms tree and of the page tabs, trimmed to the item clicked, its
// commands, and the main window's handler of the tree commands (Remove Page, the right click,
// Check Return).
#include "entry/formstree/formstree_private.h"
#include "entry/explain/explain.h"
#include "pages/pages.h"
#include "ui/ui.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

// The commands each kind of item keeps (0 ends a list).
static const int kRootCommands[] = {IDM_TREE_ADDFORM, 0};
static const int kPageCommands[] = {IDM_TREE_ADDFORM, IDM_TREE_DUPLICATE, IDM_TREE_REMOVEPAGE, IDM_TREE_PRINT,
                                    IDM_TREE_CHANGESOURCE, 0};
static const int kPseudoPageCommands[] = {IDM_TREE_PRINT, 0};
static const int kAllCommands[] = {IDM_TREE_ADDFORM,   IDM_TREE_DUPLICATE,  IDM_TREE_REMOVEPAGE,
                                   IDM_TREE_REMOVEALL, IDM_TREE_NOTETOIRS,  IDM_TREE_NOTETOSELF,
                                   IDM_TREE_REGULATORY, IDM_TREE_PRINT,     IDM_TREE_CHANGESOURCE};

static int ListHas(const int *list, int command)
{
    for (; *list; list++)
        if (*list == command)
            return 1;
    return 0;
}

// Separators that begin or end the menu or follow another separator go (after items were
// removed, their separators must not pile up).
static void TidySeparators(HMENU menu)
{
    int previousWasSeparator = 1;
    for (int i = 0; i < GetMenuItemCount(menu);) {
        MENUITEMINFOA info;
        memset(&info, 0, sizeof(info));
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        int separator = (info.fType & MFT_SEPARATOR) != 0;
        if (separator && previousWasSeparator) {
            DeleteMenu(menu, i, MF_BYPOSITION);
            continue;
        }
        previousWasSeparator = separator;
        i++;
    }
    int count = GetMenuItemCount(menu);
    if (count > 0 && GetMenuItemID(menu, count - 1) == 0) {
        MENUITEMINFOA info;
        memset(&info, 0, sizeof(info));
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoA(menu, count - 1, TRUE, &info) && (info.fType & MFT_SEPARATOR))
            DeleteMenu(menu, count - 1, MF_BYPOSITION);
    }
}

// The "Taxpayer Explanation" submenu: every field of the page whose sequence prefix begins with
// '@', in field order, ids 1, 2 ..., checked when it holds an explanation, the field as item
// data. Null when the page has none.
static HMENU BuildExplanationSubmenu(FormInstance *page)
{
    FieldTable *table = page->fieldTable;
    if (!table || !table->fields)
        return NULL;
    HMENU submenu = NULL;
    UINT id = 1;
    for (int i = 1; i < table->count; i++) {
        FieldRecord *field = &table->fields[i];
        if (!field->seqPrefix || field->seqPrefix[0] != '@')
            continue;
        if (!submenu && !(submenu = CreatePopupMenu()))
            return NULL;
        char text[200] = "";
        if (field->line && field->line[0])
            snprintf(text, sizeof(text), "Line %s - ", field->line);
        AppendTextBounded(text, sizeof(text), field->description);
        char doubled[400];
        DoubleAmpersands(text, doubled, sizeof(doubled));
        MENUITEMINFOA info;
        memset(&info, 0, sizeof(info));
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_DATA | MIIM_STATE;
        info.wID = id++;
        info.dwTypeData = doubled;
        info.dwItemData = (ULONG_PTR)field;
        info.fState = field->second && field->second[0] ? MFS_CHECKED : MFS_UNCHECKED;
        InsertMenuItemA(submenu, GetMenuItemCount(submenu), TRUE, &info);
    }
    return submenu;
}

HMENU BuildFormsTreeMenu(HTREEITEM item, HMENU *menuOut)
{
    if (menuOut)
        *menuOut = NULL;
    uint16_t *record = (uint16_t *)GetTreeItemForm(item);
    if (!record || !menuOut)
        return NULL;
    HMENU menu = LoadMenuA(gInstance, "POPUP");
    HMENU popup = menu ? GetSubMenu(menu, 0) : NULL;
    if (!popup) {
        if (menu)
            DestroyMenu(menu);
        return NULL;
    }
    int kind = *record;
    FormGroupNode *folder = kind == TREE_KIND_FOLDER ? (FormGroupNode *)record : NULL;
    FormInstance *page = kind == PAGE_KIND_FORM ? (FormInstance *)record : NULL;
    int folderPages = folder && GetTreeNeighbour(item, TVGN_CHILD) != NULL;
    int federalNotes = folder && folderPages && item == gTreeFederalFolder;
    int folderCommands[5] = {IDM_TREE_ADDFORM, 0, 0, 0, 0};
    if (folderPages)
        folderCommands[1] = IDM_TREE_REMOVEALL;
    if (federalNotes) {
        folderCommands[2] = IDM_TREE_NOTETOIRS;
        folderCommands[3] = IDM_TREE_NOTETOSELF;
    }
    const int *keep = kind == TREE_KIND_ROOT        ? kRootCommands
                      : folder                      ? folderCommands
                      : page                        ? kPageCommands
                      : kind == PAGE_KIND_GENERATED ? kPseudoPageCommands
                                                    : kRootCommands;
    // The page's explanations go where the notes stand.
    if (page) {
        HMENU explanations = BuildExplanationSubmenu(page);
        if (explanations)
            InsertMenuA(popup, IDM_TREE_NOTETOIRS, MF_BYCOMMAND | MF_POPUP | MF_STRING, (UINT_PTR)explanations,
                        "Taxpayer Explanation");
    }
    for (int command : kAllCommands)
        if (!ListHas(keep, command))
            DeleteMenu(popup, command, MF_BYCOMMAND);
    if (folderPages) {
        char caption[128], text[160], doubled[320];
        GetTreeItemText(item, caption, 1, sizeof(caption));
        // The folder's caption is shown as it is: its own '&' are doubled (the first is the key).
        DoubleAmpersands(caption, doubled, sizeof(doubled));
        snprintf(text, sizeof(text), "Re&move %s", doubled);
        ModifyMenuA(popup, IDM_TREE_REMOVEALL, MF_BYCOMMAND | MF_STRING, IDM_TREE_REMOVEALL, text);
    }
    if (federalNotes) {
        CheckMenuItem(popup, IDM_TREE_NOTETOIRS, MF_BYCOMMAND | (folder->noteToIrs ? MF_CHECKED : MF_UNCHECKED));
        CheckMenuItem(popup, IDM_TREE_NOTETOSELF, MF_BYCOMMAND | (folder->noteToSelf ? MF_CHECKED : MF_UNCHECKED));
    }
    if (page) {
        int copies = page->pageKey ? FindReturnPages(9, page->pageKey, NULL, 0) : 0;
        int enable = page->pageKey && page->pageKey[0] && copies < page->copyLimit;
        EnableMenuItem(popup, IDM_TREE_DUPLICATE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    }
    if (gViewOnly) {
        for (int i = 0; i < GetMenuItemCount(popup); i++) {
            UINT id = GetMenuItemID(popup, i);
            if (id == (UINT)-1 || id == 0 || id == IDM_TREE_PRINT || id == IDM_TREE_NOTETOIRS ||
                id == IDM_TREE_NOTETOSELF || id == IDM_TREE_REGULATORY)
                continue;   // the submenu, separators and the reading commands stay
            EnableMenuItem(popup, i, MF_BYPOSITION | MF_GRAYED);
        }
    }
    TidySeparators(popup);
    *menuOut = menu;
    return popup;
}

// The explanation of the submenu item command of the page of item.
static int OpenSubmenuExplanation(HTREEITEM item, int command, HMENU menu)
{
    FormInstance *page = (FormInstance *)GetTreeItemForm(item);
    if (!menu || !page || page->kind != PAGE_KIND_FORM)
        return 0;
    MENUITEMINFOA info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(menu, (UINT)command, FALSE, &info) || !info.dwItemData)
        return 0;
    ExplainRequest request;
    memset(&request, 0, sizeof(request));
    request.kind = EXPLAIN_FIELD;
    request.field = (FieldRecord *)info.dwItemData;
    request.pageKey = page->pageKey;
    return ShowExplainDialog(gMainWindow, &request) == 1;
}

int RunFormsTreeCommand(HTREEITEM item, int command, HMENU menu)
{
    switch (command) {
    case 0:
        return 0;
    case IDM_TREE_ADDFORM:
        // The main window's own Add Form command.
        return (int)SendMessageA(gMainWindow, WM_COMMAND, IDM_ADDFORM, 0);
    case IDM_TREE_REMOVEPAGE:
        return RemoveFormPage(item);
    case IDM_TREE_REMOVEALL:
        return RemoveFolderPages(item, 1);
    case IDM_TREE_DUPLICATE: {
        gOperationCode = 25;
        FormInstance *page = (FormInstance *)GetTreeItemForm(item);
        if (!page || page->kind != PAGE_KIND_FORM || !page->formPakPath)
            return 0;
        char path[MAX_PATH];
        lstrcpynA(path, page->formPakPath, sizeof(path));
        if (!CreateFormFromFormPak(path, page->formIndex, page->copyLimit))
            return 0;
        gReturnModified = 1;
        return 1;
    }
    case IDM_TREE_PRINT:
        if (gMainWindow)
            PostMessageA(gMainWindow, WM_COMMAND, IDM_PRINT, (LPARAM)item);
        return 1;
    case IDM_TREE_CHANGESOURCE:
        return ChangeFormSource(item);
    case IDM_TREE_NOTETOIRS:
    case IDM_TREE_NOTETOSELF:
    case IDM_TREE_REGULATORY: {
        ExplainRequest request;
        memset(&request, 0, sizeof(request));
        request.kind = command == IDM_TREE_NOTETOIRS    ? EXPLAIN_NOTE_TO_IRS
                       : command == IDM_TREE_NOTETOSELF ? EXPLAIN_NOTE_TO_SELF
                                                        : EXPLAIN_REGULATORY;
        return ShowExplainDialog(gMainWindow, &request) == 1;
    }
    }
    return OpenSubmenuExplanation(item, command, menu);
}

int FormsTreeContextMenu(POINT screenPoint, int source)
{
    HTREEITEM item = NULL;
    if (source == 0 && gFormsTreeWindow) {
        TVHITTESTINFO hit;
        memset(&hit, 0, sizeof(hit));
        hit.pt = screenPoint;
        ScreenToClient(gFormsTreeWindow, &hit.pt);
        item = (HTREEITEM)SendMessageA(gFormsTreeWindow, TVM_HITTEST, 0, (LPARAM)&hit);
        if (!(hit.flags & TVHT_ONITEM))
            item = NULL;
    } else if (source == 1 && gFormTabs) {
        TCHITTESTINFO hit;
        memset(&hit, 0, sizeof(hit));
        hit.pt = screenPoint;
        ScreenToClient(gFormTabs, &hit.pt);
        int index = (int)SendMessageA(gFormTabs, TCM_HITTEST, 0, (LPARAM)&hit);
        if (index >= 0)
            item = GetTabTreeItem(index);
    }
    if (!item)
        return 0;
    HMENU menu = NULL;
    HMENU popup = BuildFormsTreeMenu(item, &menu);
    if (!popup)
        return 0;
    HWND owner = gFullScreen ? gFormTabs : gFormsTreeWindow;
    if (!owner)
        owner = gMainWindow;
    int command = (int)TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, screenPoint.x, screenPoint.y, 0,
                                      owner, NULL);
    RunFormsTreeCommand(item, command, popup);
    DestroyMenu(menu);
    return command;
}

// Forms > Remove Page and the toolbar's remove button: the page shown.
static int RemoveShownPage(void)
{
    HTREEITEM item = GetShownTreeItem();
    FormInstance *page = (FormInstance *)GetTreeItemForm(item);
    if (!page || page->kind != PAGE_KIND_FORM) {
        MessageBeep(MB_OK);
        return 0;
    }
    return RemoveFormPage(item);
}

LRESULT TreeCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_DELETEPAGE:
            *handled = 1;
            RemoveShownPage();
            return 0;
        case IDM_CHECKRETURN:
            *handled = 1;
            gOperationCode = 40;
            ShowReturnErrorList(window, gOpenReturnPtr);
            return 0;
        }
        break;
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (!header || header->code != (UINT)NM_RCLICK)
            break;
        int source = header->hwndFrom && header->hwndFrom == gFormsTreeWindow ? 0
                     : header->hwndFrom && header->hwndFrom == gFormTabs      ? 1
                                                                              : -1;
        if (source < 0)
            break;
        *handled = 1;
        DWORD position = GetMessagePos();
        POINT point = {(short)LOWORD(position), (short)HIWORD(position)};
        FormsTreeContextMenu(point, source);
        return 1;   // the click is handled: no default menu
    }
    }
    return 0;
}
