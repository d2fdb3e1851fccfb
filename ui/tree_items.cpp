// The forms tree's items as every window layer reads them: folder items, the record and text
// behind an item, its image.
#include "ui/ui.h"

#include <string.h>

HTREEITEM gTreeRootItem;
HTREEITEM gTreeWithholdingFolder, gTreeFederalFolder, gTreeStateFolder, gTreeOtherReturnFolder;
HTREEITEM gTreeScannedFolder, gTreeExtraFolder, gTreeQuickRefFolder, gTreeMissingFormPakFolder;
HTREEITEM gTreePrintScanFolder;
HTREEITEM gTreeSummaryItem, gTreeStatusItem;
uint32_t gReturnPageCount;
int gFixedTabCount;

void *GetTreeItemForm(HTREEITEM item)
{
    if (!item || !gFormsTreeWindow)
        return NULL;
    TVITEMA tv;
    memset(&tv, 0, sizeof(tv));
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!SendMessageA(gFormsTreeWindow, TVM_GETITEMA, 0, (LPARAM)&tv))
        return NULL;
    return (void *)tv.lParam;
}

int GetTreeItemText(HTREEITEM item, char *out, int cut, int outSize)
{
    char text[128];
    text[0] = 0;
    int ok = 0;
    if (item && gFormsTreeWindow) {
        TVITEMA tv;
        memset(&tv, 0, sizeof(tv));
        tv.mask = TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = sizeof(text);
        ok = (int)SendMessageA(gFormsTreeWindow, TVM_GETITEMA, 0, (LPARAM)&tv);
        text[sizeof(text) - 1] = 0;
        // Some controls hand back their own buffer.
        if (ok && tv.pszText && tv.pszText != text)
            lstrcpynA(text, tv.pszText, sizeof(text));
    }
    if (!ok || !text[0])
        lstrcpynA(text, "<NULL>", sizeof(text));
    else if (cut) {
        char *bracket = strchr(text, '[');
        if (bracket)
            *(bracket > text ? bracket - 1 : bracket) = 0;
    }
    int length = (int)strlen(text);
    if (out && outSize > 0)
        lstrcpynA(out, text, outSize);
    return length;
}

int GetTreeItemImage(HTREEITEM item, int code)
{
    if (!item) {
        if (code == 24)
            return TREE_IMAGE_PAGE_MN;
        if (code == 25)
            return TREE_IMAGE_PAGE_SESSION;
        return TREE_IMAGE_PAGE;
    }
    if (!gFormsTreeWindow)
        return -1;
    TVITEMA tv;
    memset(&tv, 0, sizeof(tv));
    tv.mask = TVIF_IMAGE | TVIF_HANDLE;
    tv.hItem = item;
    if (!SendMessageA(gFormsTreeWindow, TVM_GETITEMA, 0, (LPARAM)&tv))
        return -1;
    return tv.iImage;
}
