// The forms tree's mirror: the root's children and each folder's children, with their records,
// kept in memory beside the tree control. Filing a page, the page walk and a page's tab position
// read the mirror instead of asking the control item by item (one message per item made filing
// n pages cost n squared messages). The mirror follows every insertion (all of them go through
// InsertFormsTreeItem) and is dropped on any deletion; before each use it is checked against the
// control's item count, and when it does not match (or the tree is deeper than root, folder,
// page) it is rebuilt from the control or not used at all.
#include "entry/formstree/formstree_private.h"
#include "ui/ui.h"
#include "store/store.h"

#include <commctrl.h>

#include <string.h>

struct MirrorItem {
    HTREEITEM item;
    uint16_t *record;          // the item's record (its first 16 bits are its kind); may be null
    unsigned nameHash;         // of the page's form name, case folded (0 for no page or no name)
    struct MirrorList *children;   // a folder's children (root children only)
};

struct MirrorList {
    MirrorItem *items;
    int count, capacity;
};

static MirrorList sRootList;      // the children of the root item
static HTREEITEM sMirrorRoot;     // null: no mirror
static HWND sMirrorTree;
static int sMirrorCount;          // the items the mirror stands for, the root included

static void FreeList(MirrorList *list)
{
    for (int i = 0; i < list->count; i++) {
        if (list->items[i].children) {
            FreeList(list->items[i].children);
            MemFree(list->items[i].children);
        }
    }
    MemFree(list->items);
    memset(list, 0, sizeof *list);
}

void ForgetTreeMirror(void)
{
    FreeList(&sRootList);
    sMirrorRoot = NULL;
    sMirrorTree = NULL;
    sMirrorCount = 0;
}

// The form name of a page key (the text before its last '.'), as FindSortedInsertPosition
// compares it: case ignored. The hash only narrows the comparison; equal names are confirmed.
static unsigned HashFormName(const char *name)
{
    if (!name[0])
        return 0;
    unsigned h = 2166136261u;
    for (const unsigned char *p = (const unsigned char *)name; *p; p++) {
        unsigned char c = *p >= 'A' && *p <= 'Z' ? (unsigned char)(*p + 32) : *p;
        h = (h ^ c) * 16777619u;
    }
    return h ? h : 1;
}

static FormInstance *MirrorPage(const MirrorItem &m)
{
    return m.record && *m.record == PAGE_KIND_FORM ? (FormInstance *)m.record : NULL;
}

static void FillMirrorItem(MirrorItem *m, HTREEITEM item, void *record)
{
    memset(m, 0, sizeof *m);
    m->item = item;
    m->record = (uint16_t *)record;
    FormInstance *page = MirrorPage(*m);
    if (page) {
        char name[128];
        GetPageFormName(page->pageKey, name, sizeof(name));
        m->nameHash = HashFormName(name);
    }
}

static int InsertIntoList(MirrorList *list, int index, HTREEITEM item, void *record)
{
    if (list->count >= list->capacity) {
        int capacity = list->capacity ? list->capacity * 2 : 16;
        MirrorItem *grown = (MirrorItem *)MemAlloc(64, (size_t)capacity * sizeof(MirrorItem));
        if (!grown)
            return 0;
        if (list->items)
            memcpy(grown, list->items, (size_t)list->count * sizeof(MirrorItem));
        MemFree(list->items);
        list->items = grown;
        list->capacity = capacity;
    }
    if (index < 0 || index > list->count)
        index = list->count;
    memmove(list->items + index + 1, list->items + index, (size_t)(list->count - index) * sizeof(MirrorItem));
    FillMirrorItem(&list->items[index], item, record);
    list->count++;
    return 1;
}

static HTREEITEM NextTreeItem(HWND tree, HTREEITEM item, int code)
{
    return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, code, (LPARAM)item);
}

// Reads the children of parent from the control; 0 when they have children of their own and
// deep is 0 (the mirror holds two levels only) or memory ran out.
static int ReadChildren(HWND tree, HTREEITEM parent, MirrorList *list, int deep, int *items, int limit)
{
    for (HTREEITEM child = NextTreeItem(tree, parent, TVGN_CHILD); child; child = NextTreeItem(tree, child, TVGN_NEXT)) {
        if (++*items > limit)
            return 0;   // a damaged chain
        if (!InsertIntoList(list, list->count, child, GetTreeItemForm(child)))
            return 0;
        if (NextTreeItem(tree, child, TVGN_CHILD)) {
            if (!deep)
                return 0;
            MirrorList *children = (MirrorList *)MemAlloc(64, sizeof(MirrorList));
            if (!children)
                return 0;
            list->items[list->count - 1].children = children;
            if (!ReadChildren(tree, child, children, 0, items, limit))
                return 0;
        }
    }
    return 1;
}

// The mirror of the current tree: kept when the control still holds as many items as it does,
// else read again. 0 when there is none to use.
static int SyncTreeMirror(void)
{
    HWND tree = gFormsTreeWindow;
    if (!tree || !gTreeRootItem) {
        ForgetTreeMirror();
        return 0;
    }
    int count = (int)SendMessageA(tree, TVM_GETCOUNT, 0, 0);
    if (sMirrorRoot == gTreeRootItem && sMirrorTree == tree && sMirrorCount == count)
        return 1;
    ForgetTreeMirror();
    if (NextTreeItem(tree, gTreeRootItem, TVGN_PARENT) || NextTreeItem(tree, gTreeRootItem, TVGN_NEXT) ||
        NextTreeItem(tree, gTreeRootItem, TVGN_PREVIOUS))
        return 0;   // the root is not the only top item
    int items = 1;
    if (!ReadChildren(tree, gTreeRootItem, &sRootList, 1, &items, count) || items != count) {
        ForgetTreeMirror();
        return 0;
    }
    sMirrorRoot = gTreeRootItem;
    sMirrorTree = tree;
    sMirrorCount = count;
    return 1;
}

// The children of parent in the mirror (the root or one of its children); null when parent is
// neither.
static MirrorList *FindMirrorList(HTREEITEM parent, int create)
{
    if (parent == sMirrorRoot)
        return &sRootList;
    for (int i = 0; i < sRootList.count; i++) {
        MirrorItem &m = sRootList.items[i];
        if (m.item != parent)
            continue;
        if (!m.children && create) {
            m.children = (MirrorList *)MemAlloc(64, sizeof(MirrorList));
        }
        return m.children;
    }
    return NULL;
}

int PrepareTreeMirrorInsert(void)
{
    return SyncTreeMirror();
}

void NoteTreeItemInserted(int mirrorReady, HTREEITEM parent, HTREEITEM after, HTREEITEM item, void *record)
{
    HWND tree = gFormsTreeWindow;
    if (!mirrorReady || !item || !tree || sMirrorRoot != gTreeRootItem ||
        (int)SendMessageA(tree, TVM_GETCOUNT, 0, 0) != sMirrorCount + 1) {
        ForgetTreeMirror();
        return;
    }
    MirrorList *list = FindMirrorList(parent, 1);
    if (!list) {
        ForgetTreeMirror();   // deeper than the mirror goes (or out of memory)
        return;
    }
    int index = -1;
    if (after == TVI_FIRST) {
        index = 0;
    } else if (after == TVI_LAST || !after) {
        index = list->count;
    } else {
        for (int i = list->count - 1; i >= 0 && index < 0; i--)
            if (list->items[i].item == after)
                index = i + 1;
    }
    if (index < 0 || !InsertIntoList(list, index, item, record)) {
        ForgetTreeMirror();
        return;
    }
    sMirrorCount++;
}

HTREEITEM FindMirrorInsertPosition(HTREEITEM folder, const FormInstance *page, int *found)
{
    *found = 0;
    if (!SyncTreeMirror())
        return NULL;
    MirrorList *list = FindMirrorList(folder, 0);
    MirrorList empty = {NULL, 0, 0};
    if (!list) {
        if (folder != sMirrorRoot && !FindMirrorListOwner(folder))
            return NULL;
        list = &empty;   // a folder without children yet
    }
    *found = 1;
    char name[128], other[128];
    GetPageFormName(page->pageKey, name, sizeof(name));
    unsigned hash = HashFormName(name);
    // A page of a form the folder holds goes after that form's last page.
    if (hash) {
        for (int i = list->count - 1; i >= 0; i--) {
            const MirrorItem &m = list->items[i];
            FormInstance *p = m.nameHash == hash ? MirrorPage(m) : NULL;
            if (!p)
                continue;
            GetPageFormName(p->pageKey, other, sizeof(other));
            if (!lstrcmpiA(other, name))
                return m.item;
        }
    }
    // A new form goes before the first page with a greater order key that starts a form.
    HTREEITEM after = NULL;
    for (int i = 0; i < list->count; i++) {
        const MirrorItem &m = list->items[i];
        FormInstance *p = MirrorPage(m);
        if (p && p->orderKey[0] > page->orderKey[0]) {
            int continuesForm = 0;
            if (i > 0 && m.nameHash && m.nameHash == list->items[i - 1].nameHash && MirrorPage(list->items[i - 1])) {
                char previous[128];
                GetPageFormName(p->pageKey, other, sizeof(other));
                GetPageFormName(MirrorPage(list->items[i - 1])->pageKey, previous, sizeof(previous));
                continuesForm = !lstrcmpiA(other, previous);
            }
            if (!continuesForm)
                break;
        }
        after = m.item;
    }
    return after ? after : TVI_FIRST;
}

// 1 when item is a child of the root in the mirror.
int FindMirrorListOwner(HTREEITEM item)
{
    for (int i = 0; i < sRootList.count; i++)
        if (sRootList.items[i].item == item)
            return 1;
    return 0;
}

static int CountListPages(const MirrorList *list, FormInstance **out, int capacity, int count, int descend)
{
    for (int i = 0; list && i < list->count; i++) {
        const MirrorItem &m = list->items[i];
        if (!m.record)
            continue;
        if (*m.record == PAGE_KIND_FORM) {
            if (out && count < capacity)
                out[count] = (FormInstance *)m.record;
            count++;
        } else if (*m.record == TREE_KIND_FOLDER && descend) {
            count = CountListPages(m.children, out, capacity, count, 0);
        }
    }
    return count;
}

int CollectMirrorPages(HTREEITEM folder, FormInstance **out, int capacity, int *count)
{
    if (!SyncTreeMirror())
        return 0;
    if (!folder) {
        *count = CountListPages(&sRootList, out, capacity, 0, 1);
        return 1;
    }
    if (folder != sMirrorRoot && !FindMirrorListOwner(folder))
        return 0;
    *count = CountListPages(FindMirrorList(folder, 0), out, capacity, 0, 0);
    return 1;
}

int GetMirrorPagePosition(HTREEITEM item, int *position)
{
    if (!SyncTreeMirror())
        return 0;
    int count = 0;
    for (int i = 0; i < sRootList.count; i++) {
        const MirrorItem &m = sRootList.items[i];
        if (!m.record)
            continue;
        if (*m.record == PAGE_KIND_FORM) {
            if (m.item == item) {
                *position = count;
                return 1;
            }
            count++;
        } else if (*m.record == TREE_KIND_FOLDER && m.children) {
            for (int j = 0; j < m.children->count; j++) {
                const MirrorItem &c = m.children->items[j];
                if (!c.record || *c.record != PAGE_KIND_FORM)
                    continue;
                if (c.item == item) {
                    *position = count;
                    return 1;
                }
                count++;
            }
        }
    }
    *position = -1;
    return 1;
}
