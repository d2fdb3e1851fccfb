// The main window's handling of the open return: the forms tree's notifications, the page tabs
// following the tree, and the return commands (open, save, save as, close, recent files).
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"

#include <commctrl.h>

int SelectTabOfTreeItem(HTREEITEM item);
HTREEITEM GetTabTreeItem(int index);

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
        if (gShowTreeItemHook && tv->itemNew.hItem)
            gShowTreeItemHook(tv->itemNew.hItem);
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

LRESULT ReturnCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    switch (message) {
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
