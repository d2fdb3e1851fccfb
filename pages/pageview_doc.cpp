// The page view's state: its globals and the
// page shown (the forms-tree item kept in the page view's window user data).
#include "pages/pages_private.h"
#include "ui/ui.h"
#include "calc/calc.h"

HBITMAP gPageBitmap;
HBITMAP gScaledPageBitmap;
float gZoom = PAGE_ZOOM_START;
float gLastPaintZoom;
int gPageScrollX, gPageScrollY;
int gPageScrollMaxX, gPageScrollMaxY;
int gPageMarginX, gPageMarginY;
uint16_t gPageViewFlags;
int gPageShown;
int gPageButtonDown;
EditRequest gEditRequest;

// The page shown, kept beside the window's user data so that the recompute worker can ask
// about it without touching the tree control.
static FormInstance *volatile sShownPage;

int IsPageViewPage(const FormInstance *page)
{
    return page && gPageShown && sShownPage == page;
}

// The worker draws a changed value into the page bitmap before it asks for the repaint.
void DrawChangedPageField(FieldRecord *field, FormInstance *page)
{
    HBITMAP bitmap = gPageBitmap;
    if (field && IsPageViewPage(page) && bitmap)
        DrawFieldData(NULL, bitmap, field, 1, NULL, RGB(255, 255, 255), 1, 0, page);
}

void *GetCurrentDocument(int kind)
{
    if (!gPageViewWindow)
        return NULL;
    HTREEITEM item = (HTREEITEM)GetWindowLongPtrA(gPageViewWindow, GWLP_USERDATA);
    if (!item)
        return NULL;
    if (kind == 1)
        return item;
    if (kind < 2 || kind > 4)
        return NULL;
    FormInstance *form = (FormInstance *)GetTreeItemForm(item);
    // Only pages (kind 3) and the Summary and Status pages (kind 4) are ever shown.
    if (!form || (form->kind != PAGE_KIND_FORM && form->kind != PAGE_KIND_GENERATED))
        return NULL;
    switch (kind) {
    case 2:
        return form->pageKey;
    case 3:
        return form->fieldTable;
    default:
        return form;
    }
}

void SetCurrentDocument(HTREEITEM treeItem)
{
    if (gPageViewWindow)
        SetWindowLongPtrA(gPageViewWindow, GWLP_USERDATA, (LONG_PTR)treeItem);
    sShownPage = (FormInstance *)GetCurrentDocument(4);
}

