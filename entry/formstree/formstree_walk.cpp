// The walk over the forms tree's pages in tree order: the page query's view of the return.
#include "entry/formstree/formstree_private.h"
#include "ui/ui.h"
#include "store/store.h"

#include <commctrl.h>

static HTREEITEM NextItem(HWND tree, HTREEITEM item, int code)
{
    return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, code, (LPARAM)item);
}

// Adds the form pages among the children of parent; returns the new count.
static int CollectChildPages(HWND tree, HTREEITEM parent, FormInstance **out, int capacity, int count,
                             int descend)
{
    // Bounded by the control's own item count so a damaged chain cannot loop forever.
    int limit = (int)SendMessageA(tree, TVM_GETCOUNT, 0, 0) + 1;
    for (HTREEITEM child = NextItem(tree, parent, TVGN_CHILD); child && limit-- > 0;
         child = NextItem(tree, child, TVGN_NEXT)) {
        uint16_t *record = (uint16_t *)GetTreeItemForm(child);
        if (!record)
            continue;
        if (*record == PAGE_KIND_FORM) {
            if (out && count < capacity)
                out[count] = (FormInstance *)record;
            count++;
        } else if (*record == TREE_KIND_FOLDER && descend)
            count = CollectChildPages(tree, child, out, capacity, count, 0);
    }
    return count;
}

int EnumerateReturnPages(HTREEITEM folder, FormInstance **out, int capacity)
{
    return gFormsTreeWindow ? EnumerateTreePages(folder, out, capacity) : -1;
}

int EnumerateTreePages(HTREEITEM folder, FormInstance **out, int capacity)
{
    HWND tree = gFormsTreeWindow;
    if (!tree || !gTreeRootItem)
        return 0;
    if (!out)
        capacity = 0;
    int count = 0;
    if (CollectMirrorPages(folder, out, capacity, &count))
        return out && count > capacity ? capacity : count;
    count = folder ? CollectChildPages(tree, folder, out, capacity, 0, 0)
                       : CollectChildPages(tree, gTreeRootItem, out, capacity, 0, 1);
    return out && count > capacity ? capacity : count;
}
