// The forms tree: the control, its root and fixed folders, item lookups and captions.
#include "entry/formstree/formstree_private.h"
#include "ui/ui.h"
#include "store/store.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>



static WNDPROC sTreeDefaultProc;

// Loads a caption of the string table into a 64-byte buffer.
int LoadTreeCaption(int id, char *buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = 0;
    int n = LoadStringA(gInstance, (UINT)id, buffer, size);
    if (n <= 0)
        buffer[0] = 0;
    return n > 0 ? n : 0;
}

HWND CreateFormsTree(HWND parent, const RECT *rect)
{
    RECT rc = {0, 0, 0, 0};
    if (rect)
        rc = *rect;
    HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                                rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, parent,
                                (HMENU)(INT_PTR)IDC_FORMSTREE, gInstance, NULL);
    if (!tree)
        return NULL;
    if (!gTreeImageList) {
        gTreeImageList = ImageList_LoadImageA(gInstance, MAKEINTRESOURCEA(IDB_FORMSTREE_IMAGES), 16, 0,
                                              RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
        if (!gTreeImageList)
            gTreeImageList = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, TREE_IMAGE_COUNT, 0);
    }
    if (gTreeImageList)
        SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, (LPARAM)gTreeImageList);
    sTreeDefaultProc = (WNDPROC)SetWindowLongPtrA(tree, GWLP_WNDPROC, (LONG_PTR)FormsTreeSubclassProc);
    gFormsTreeWindow = tree;
    return tree;
}

LRESULT CALLBACK FormsTreeSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The tip panel is looked up only for the messages that use it: the lookup asks the window
    // server for the tree's children, many times the cost of the tree's own answer to a query
    // (and the tree is queried several times for every page filed).
    HWND panel = NULL;
    if (message == WM_CTLCOLORSTATIC || message == WM_HSCROLL || message == WM_SIZE)
        panel = GetDlgItem(window, IDC_FORMSTREE_TIP);
    switch (message) {
    case WM_CTLCOLORSTATIC:
        if (panel && (HWND)lParam == panel) {
            SetBkColor((HDC)wParam, RGB(255, 255, 255));
            return (LRESULT)GetStockObject(WHITE_BRUSH);
        }
        break;
    case WM_HSCROLL:
        if (panel) {
            LRESULT result = CallWindowProcA(sTreeDefaultProc, window, message, wParam, lParam);
            InvalidateRect(panel, NULL, FALSE);
            return result;
        }
        break;
    case WM_SETREDRAW:
        SuspendPageTabLayout(!wParam);
        SetFormsTreeBatch(wParam ? 1 : 0);
        break;
    case WM_SIZE:
        if (panel) {
            LRESULT result = CallWindowProcA(sTreeDefaultProc, window, message, wParam, lParam);
            CreateFormsTreeTipPanel(window, 0);
            UpdateFormsTreeTipVisibility(NULL);
            return result;
        }
        break;
    case WM_DESTROY: {
        // The control deletes its items now: free their records without re-captioning.
        int closing = gClosingReturn;
        gClosingReturn = 1;
        LRESULT result = CallWindowProcA(sTreeDefaultProc, window, message, wParam, lParam);
        gClosingReturn = closing;
        if (gFormsTreeWindow == window) {
            gTreeRootItem = NULL;
            gTreeWithholdingFolder = gTreeFederalFolder = gTreeStateFolder = gTreeOtherReturnFolder = NULL;
            gTreeScannedFolder = gTreeExtraFolder = gTreeQuickRefFolder = gTreeMissingFormPakFolder = NULL;
            gTreePrintScanFolder = gTreeSummaryItem = gTreeStatusItem = NULL;
            gReturnPageCount = 0;
            gFixedTabCount = 0;
        }
        return result;
    }
    case WM_NCDESTROY: {
        WNDPROC old = sTreeDefaultProc;
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)old);
        if (gFormsTreeWindow == window)
            gFormsTreeWindow = NULL;   // EnumerateReturnPages answers -1 from now on
        return CallWindowProcA(old, window, message, wParam, lParam);
    }
    }
    return CallWindowProcA(sTreeDefaultProc ? sTreeDefaultProc : DefWindowProcA, window, message, wParam, lParam);
}

// A new folder record (kind 2) with its icon.
FormGroupNode *NewFolderRecord(int iconId, int jurisdiction)
{
    FormGroupNode *folder = (FormGroupNode *)MemAlloc(64, sizeof(FormGroupNode));
    if (!folder)
        return NULL;
    folder->kind = TREE_KIND_FOLDER;
    folder->jurisdiction = (uint16_t)jurisdiction;
    if (iconId)
        folder->returnIcon =
            (HICON)LoadImageA(gInstance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, LR_SHARED);
    return folder;
}

// Inserts a folder last under the root (or after the given item) with the closed-folder image.
HTREEITEM InsertFolderItem(const char *caption, FormGroupNode *record, HTREEITEM after)
{
    if (!record)
        return NULL;
    HTREEITEM item = InsertFormsTreeItem(gFormsTreeWindow, gTreeRootItem, after ? after : TVI_LAST, caption,
                                         TREE_IMAGE_FOLDER_CLOSED, record);
    if (!item) {
        MemFree(record);
        return NULL;
    }
    return item;
}

int InitFormsTree(HWND tree, int create)
{
    if (!tree)
        return 0;
    ReturnNode *root = gTreeRootItem ? (ReturnNode *)GetTreeItemForm(gTreeRootItem) : NULL;
    if (root && root->kind != TREE_KIND_ROOT)
        root = NULL;
    if (create || !root || !gTreeRootItem) {
        if (!root) {
            root = (ReturnNode *)MemAlloc(64, sizeof(ReturnNode));
            if (!root)
                return 0;
            root->kind = TREE_KIND_ROOT;
        }
        root->openReturn = gOpenReturnPtr;
        if (!gTreeRootItem) {
            char caption[64];
            LoadTreeCaption(IDS_TREE_ROOT, caption, sizeof(caption));
            ResolveTextVariants(caption, IsPreparerSetupComplete(1) ? 2 : 1);
            gTreeRootItem = InsertFormsTreeItem(tree, TVI_ROOT, TVI_LAST, caption, TREE_IMAGE_ROOT, root);
            if (!gTreeRootItem) {
                MemFree(root);
                return 0;
            }
        } else {
            TVITEMA item;
            memset(&item, 0, sizeof(item));
            item.mask = TVIF_PARAM | TVIF_HANDLE;
            item.hItem = gTreeRootItem;
            item.lParam = (LPARAM)root;
            SendMessageA(tree, TVM_SETITEMA, 0, (LPARAM)&item);
        }
    } else {
        // Closing reused the root: its counts and FormPak list start again (the list itself
        // was freed by the caller).
        root->pageCount = 0;
        root->stateReturnCount = 0;
        root->formPakCount = 0;
        root->formPaks = NULL;
        root->openReturn = gOpenReturnPtr;
    }
    root->rootItem = gTreeRootItem;
    AddStartupInfoTab();

    char caption[64];
    if (!gTreeWithholdingFolder) {
        LoadTreeCaption(IDS_TREE_WITHHOLDING, caption, sizeof(caption));
        gTreeWithholdingFolder = InsertFolderItem(caption, NewFolderRecord(0, 97), TVI_LAST);
    }
    if (!gTreeFederalFolder) {
        LoadTreeCaption(IDS_TREE_FEDERAL, caption, sizeof(caption));
        gTreeFederalFolder = InsertFolderItem(caption, NewFolderRecord(IDI_FOLDER_FEDERAL, 100), TVI_LAST);
    }
    int slot = 0;
    if (!gTreeStateFolder)
        CheckStateReturnLimit(tree, root, 0, &slot);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)gTreeRootItem);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)gTreeRootItem);
    return 1;
}


int SetTreeItemImage(HTREEITEM item, int image)
{
    if (!item || !gFormsTreeWindow)
        return 0;
    TVITEMA tv;
    memset(&tv, 0, sizeof(tv));
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    tv.hItem = item;
    tv.iImage = image;
    tv.iSelectedImage = image;
    return SendMessageA(gFormsTreeWindow, TVM_SETITEMA, 0, (LPARAM)&tv) ? 1 : 0;
}

// Builds the new caption of SetTreeItemCaption into out (outSize bytes).
void ComposeTreeCaption(const char *current, const char *text, int mode, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return;
    if (!current)
        current = "";
    if (!text)
        text = "";
    const char *last = strrchr(current, '[');
    switch (mode) {
    case 1:
        snprintf(out, outSize, "%s%s", text, current);
        break;
    case 2: {
        int keep = (int)strlen(current);
        if (last) {
            keep = (int)(last - current);
            if (keep > 0 && current[keep - 1] == ' ')
                keep--;
        }
        snprintf(out, outSize, "%.*s%s", keep, current, text);
        break;
    }
    case 4:
        if (last)
            snprintf(out, outSize, "%s %s", text, last);
        else
            snprintf(out, outSize, "%s", text);
        break;
    default:
        snprintf(out, outSize, "%s", text);
        break;
    }
}

int SetTreeItemCaption(HTREEITEM item, const char *text, int mode)
{
    if (!item || !gFormsTreeWindow)
        return 0;
    char current[128];
    GetTreeItemText(item, current, 0, sizeof(current));
    if (!strcmp(current, "<NULL>"))
        current[0] = 0;
    char caption[260];
    ComposeTreeCaption(current, text, mode, caption, sizeof(caption));
    TVITEMA tv;
    memset(&tv, 0, sizeof(tv));
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = caption;
    if (!SendMessageA(gFormsTreeWindow, TVM_SETITEMA, 0, (LPARAM)&tv))
        return 0;
    FormInstance *page = (FormInstance *)GetTreeItemForm(item);
    if (page && page->kind == PAGE_KIND_FORM)
        SetPageTabText(item, caption);
    return 1;
}

// The rectangle of a visible item (whole line); 0 when the item is not visible.
int GetTreeItemRect(HTREEITEM item, RECT *rc)
{
    if (!item || !rc || !gFormsTreeWindow)
        return 0;
    memset(rc, 0, sizeof(*rc));
    memcpy(rc, &item, sizeof(item));
    return SendMessageA(gFormsTreeWindow, TVM_GETITEMRECT, FALSE, (LPARAM)rc) ? 1 : 0;
}

int SetFolderImage(HTREEITEM item, int action)
{
    if (!item)
        return 0;
    HTREEITEM fixed[] = {gTreeWithholdingFolder, gTreeFederalFolder, gTreeStateFolder, gTreeOtherReturnFolder,
                         gTreeScannedFolder,     gTreeExtraFolder,   gTreeQuickRefFolder, gTreeMissingFormPakFolder,
                         gTreePrintScanFolder,   gTreeSummaryItem,   gTreeStatusItem};
    int known = 0;
    for (size_t i = 0; i < sizeof(fixed) / sizeof(fixed[0]); i++)
        if (fixed[i] == item)
            known = 1;
    if (!known)
        return 0;
    if (action & TVE_COLLAPSE)
        return SetTreeItemImage(item, TREE_IMAGE_FOLDER_CLOSED);
    if (action & TVE_EXPAND)
        return SetTreeItemImage(item, TREE_IMAGE_FOLDER_OPEN);
    return 0;
}

int ClearFormsTree(void)
{
    HWND tree = gFormsTreeWindow;
    if (!tree)
        return 0;
    gClosingReturn = 1;
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    if (gTreeRootItem) {
        // Every folder and pseudo page goes; the root stays. Bounded by the item count so a
        // child that cannot be deleted cannot hold the loop.
        int limit = (int)SendMessageA(tree, TVM_GETCOUNT, 0, 0) + 1;
        HTREEITEM child;
        while (limit-- > 0 &&
               (child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)gTreeRootItem)) != NULL)
            if (!SendMessageA(tree, TVM_DELETEITEM, 0, (LPARAM)child))
                break;
    }
    gTreeWithholdingFolder = gTreeFederalFolder = gTreeStateFolder = gTreeOtherReturnFolder = NULL;
    gTreeScannedFolder = gTreeExtraFolder = gTreeQuickRefFolder = gTreeMissingFormPakFolder = NULL;
    gTreePrintScanFolder = gTreeSummaryItem = gTreeStatusItem = NULL;
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    if (root && root->kind == TREE_KIND_ROOT)
        root->formPaks = FreeFormPakRecords(root->formPaks, NULL);
    gReturnPageCount = 0;
    gFixedTabCount = 0;
    DeleteAllTabs(gFormTabs);
    gClosingReturn = 0;
    InitFormsTree(tree, 0);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, NULL, TRUE);
    UpdateFormsTreeTipVisibility(NULL);
    return 1;
}
