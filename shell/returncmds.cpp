// The main window's handling of the open return: the forms tree's notifications, the page tabs
// following the tree, and the return commands (open, save, save as, close, recent files).
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>


static LRESULT OnTreeNotify(NMHDR *header, int *handled)
{
    NMTREEVIEWA *tv = (NMTREEVIEWA *)header;
    switch (header->code) {
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
        *handled = 1;
        HTREEITEM select = OnFormsTreeDeleteItem(tv->itemOld.hItem, (void *)tv->itemOld.lParam);
        if (select && !gClosingReturn && gFormsTreeWindow)
            PostMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)select);
        return 0;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW:
        *handled = 1;
        SetFolderImage(tv->itemNew.hItem, (int)tv->action);
        UpdateFormsTreeTipVisibility(NULL);
        return 0;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        *handled = 1;
        if (gClosingReturn)
            return 0;
        SelectTabOfTreeItem(tv->itemNew.hItem);
        if (tv->itemNew.hItem)
            ShowTreeItemPage(tv->itemNew.hItem);
        return 0;
    }
    return 0;
}

// A click on a page tab selects its tree item; the tree's selection then shows the page.
static LRESULT OnTabNotify(NMHDR *header, int *handled)
{
    if (header->code != TCN_SELCHANGE)
        return 0;
    *handled = 1;
    int index = (int)SendMessageA(gFormTabs, TCM_GETCURSEL, 0, 0);
    HTREEITEM item = index >= 0 ? GetTabTreeItem(index) : NULL;
    if (item && gFormsTreeWindow)
        SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    return 0;
}

static const char kReturnFilter[] =
    "Levyline Return Files (*.qvr)\0*.qvr\0Levyline Form Files (*.qvp)\0*.qvp\0";

// Open: the user picks a return file (or a FormPak to install).
static int OnOpenCommand(HWND window)
{
    char path[MAX_PATH] = "";
    char folder[MAX_PATH] = "";
    GetProgramFolder(folder, FOLDER_DATA);
    if (!ShowFileOpenDialog("Open Return", "qvr", kReturnFilter, REG_SCOPE_YEAR, 0, NULL, folder, path, sizeof(path),
                            window))
        return 0;
    return OpenTaxFile(window, path, gOpenReturnPtr, 0);
}

// Save As: the user names the file (proposed: the return's file, else its name line in the
// data folder). With lParam 1 the return is saved under gReturnPath as it stands: the caller
// has put the new name there.
static int OnSaveAsCommand(HWND window, LPARAM lParam)
{
    if (!gReturnPath[0] && FindReturnPages(2, NULL, NULL, 0) <= 0)
        return 0;   // no return open
    if (lParam == 1 && gReturnPath[0])
        return SaveReturnFile(window, gReturnPath);
    char path[MAX_PATH] = "";
    if (gReturnPath[0])
        lstrcpynA(path, gReturnPath, sizeof(path));
    else {
        char folder[MAX_PATH] = "", name[64] = "";
        GetProgramFolder(folder, FOLDER_DATA);
        lstrcpynA(name, ReturnText(gOpenReturnPtr, RETURN_NAME_LINE), 50);
        RemoveChars(name, "\\/:*?\"<>|");
        TrimSpaces(name);
        snprintf(path, sizeof(path), "%s%s%s.qvr", folder, folder[0] ? "\\" : "", name[0] ? name : "Return");
    }
    if (!ShowFileSaveDialog(window, "Save Return As", "qvr", "Levyline Return Files (*.qvr)\0*.qvr\0", path,
                            sizeof(path)))
        return 0;
    if (strchr(path, ';')) {
        // The recent-files list separates its paths with ';': such a name could not be reopened.
        ShowMessageBox(window, "A return file name cannot contain ';'. Please choose another name.",
                       "Error Saving File", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    size_t n = strlen(path);
    if (n < 4 || lstrcmpiA(path + n - 4, ".qvr")) {
        if (n + 4 >= sizeof(path)) {
            ShowMessageBox(window, "The file name is too long.", "Error Saving File", MB_OK | MB_ICONEXCLAMATION);
            return 0;
        }
        lstrcatA(path, ".qvr");
    }
    return SaveReturnFile(window, path);
}

static int OnSaveCommand(HWND window)
{
    // With no return open (no file, no page) there is nothing to save.
    if (!gReturnPath[0] && FindReturnPages(2, NULL, NULL, 0) <= 0)
        return 0;
    if (!gReturnPath[0])
        return OnSaveAsCommand(window, 0);
    if (gReturnViewOnly) {
        char text[800];
        snprintf(text, sizeof(text),
                 "The return cannot be saved over %.260s: it was opened for viewing because another program had "
                 "the file open.\r\n\r\nUse Save As to keep your changes under another name.",
                 gReturnPath);
        ShowMessageBox(window, text, "Error Saving File", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    return SaveReturnFile(window, gReturnPath);
}

static int OnCloseCommand(HWND window)
{
    if (gReturnModified && !AskSaveChanges(window))
        return 0;
    return CloseOpenReturn();
}

// A recent file: the index-th path of the "RecentFiles" list ("max;path;path...").
static int OnRecentFileCommand(HWND window, int index)
{
    char *list = (char *)QueryRegistryValueAlloc(HKEY_CURRENT_USER, GetRegistryScopePath(REG_SCOPE_YEAR),
                                                 "RecentFiles", 0, NULL, NULL);
    if (!list)
        return 0;
    char path[MAX_PATH] = "";
    char *position = NULL;
    char *token = TokenizeString(list, ";", &position, 1);  // the list's maximum
    for (int i = 0; token && i <= index; i++) {
        token = TokenizeString(NULL, ";", &position, 1);
        if (token && i == index)
            lstrcpynA(path, token, sizeof(path));
    }
    MemFree(list);
    if (!path[0])
        return 0;
    if (!FileExists(path)) {
        char text[400];
        snprintf(text, sizeof(text), "The file %.260s could not be found.", path);
        ShowMessageBox(window, text, "File Not Found", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    return OpenTaxFile(window, path, gOpenReturnPtr, 0);
}

static LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam, int *handled)
{
    int id = LOWORD(wParam);
    switch (id) {
    case IDM_OPEN:
        *handled = 1;
        gOperationCode = 1;
        return OnOpenCommand(window);
    case IDM_SAVE:
        *handled = 1;
        gOperationCode = 2;
        return OnSaveCommand(window);
    case IDM_SAVEAS:
        *handled = 1;
        gOperationCode = 3;
        return OnSaveAsCommand(window, lParam);
    case IDM_CLOSE:
        *handled = 1;
        gOperationCode = 4;
        return OnCloseCommand(window);
    case IDM_ADDFORM:
        *handled = 1;
        gOperationCode = 24;
        return OpenTaxFile(window, NULL, gOpenReturnPtr, 1);
    }
    if (id >= IDM_RECENTFILE_FIRST && id <= IDM_RECENTFILE_LAST) {
        *handled = 1;
        gOperationCode = 5;
        return OnRecentFileCommand(window, id - IDM_RECENTFILE_FIRST);
    }
    return 0;
}

LRESULT ReturnCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    switch (message) {
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam, handled);
    case WM_OPEN_FILE:
        *handled = 1;
        gOperationCode = 1;
        return lParam ? OpenTaxFile(window, (const char *)lParam, gOpenReturnPtr, 0) : 0;
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (!header)
            break;
        if (gFormsTreeWindow && header->hwndFrom == gFormsTreeWindow)
            return OnTreeNotify(header, handled);
        if (gFormTabs && header->hwndFrom == gFormTabs)
            return OnTabNotify(header, handled);
        break;
    }
    }
    return 0;
}
