// The forms tree: filing pages into their folders in sorted order, folder captions with page
// counts, the state folder and the Summary and Status pseudo pages.
#include "entry/formstree/formstree_private.h"
#include "pages/pages.h"
#include "ui/ui.h"
#include "store/store.h"
#include "prepare/prepare.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>


// The form name of a page key: the text before its last '.' ("Form 1040.1" -> "Form 1040").
void GetPageFormName(const char *pageKey, char *out, int outSize)
{
    out[0] = 0;
    if (!pageKey)
        return;
    const char *dot = strrchr(pageKey, '.');
    int length = dot ? (int)(dot - pageKey) : (int)strlen(pageKey);
    if (length >= outSize)
        length = outSize - 1;
    memcpy(out, pageKey, length);
    out[length] = 0;
}

static int GetPageNumber(const FormInstance *page)
{
    if (!page)
        return 0;
    if (page->pageNumber)
        return page->pageNumber;
    const char *dot = page->pageKey ? strrchr(page->pageKey, '.') : NULL;
    return dot ? atoi(dot + 1) : 0;
}

static FormInstance *GetChildPage(HWND tree, HTREEITEM child)
{
    FormInstance *page = (FormInstance *)GetTreeItemForm(child);
    return page && page->kind == PAGE_KIND_FORM ? page : NULL;
}

// Pages of one form stay together in arrival order; forms follow their first order keys. A
// page of a form the folder already holds goes after that form's last page; a page of a new
// form goes before the first child with a greater order key that starts a form of its own.
HTREEITEM FindSortedInsertPosition(HWND tree, HTREEITEM folder, const FormInstance *page)
{
    if (!tree || !folder || !page)
        return TVI_LAST;
    char name[128], childName[128], previousName[128];
    GetPageFormName(page->pageKey, name, sizeof(name));
    HTREEITEM lastSameForm = NULL;
    HTREEITEM child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)folder);
    for (; child; child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)child)) {
        FormInstance *other = GetChildPage(tree, child);
        if (!other)
            continue;
        GetPageFormName(other->pageKey, childName, sizeof(childName));
        if (name[0] && !lstrcmpiA(childName, name))
            lastSameForm = child;
    }
    if (lastSameForm)
        return lastSameForm;
    HTREEITEM after = NULL;
    previousName[0] = 0;
    child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)folder);
    for (; child; child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)child)) {
        FormInstance *other = GetChildPage(tree, child);
        childName[0] = 0;
        if (other)
            GetPageFormName(other->pageKey, childName, sizeof(childName));
        int continuesForm = after && childName[0] && !lstrcmpiA(childName, previousName);
        if (other && other->orderKey[0] > page->orderKey[0] && !continuesForm)
            break;
        after = child;
        lstrcpynA(previousName, childName, sizeof(previousName));
    }
    return after ? after : TVI_FIRST;
}

int CALLBACK CompareTreePages(LPARAM first, LPARAM second, LPARAM unused)
{
    const FormInstance *a = (const FormInstance *)first;
    const FormInstance *b = (const FormInstance *)second;
    if (!a || !b)
        return 1;
    if (a->orderKey[0] != b->orderKey[0])
        return a->orderKey[0] < b->orderKey[0] ? -1 : 1;
    if (a->orderKey[1] != b->orderKey[1])
        return a->orderKey[1] < b->orderKey[1] ? -1 : 1;
    int pa = GetPageNumber(a), pb = GetPageNumber(b);
    if (pa != pb)
        return pa < pb ? -1 : 1;
    return 1;
}

HTREEITEM InsertFormsTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const char *text, int image,
                              void *record)
{
    if (!tree)
        return NULL;
    FormInstance *page = record && *(uint16_t *)record == PAGE_KIND_FORM ? (FormInstance *)record : NULL;
    TVINSERTSTRUCTA ins;
    memset(&ins, 0, sizeof(ins));
    ins.hParent = parent;
    // The mirror answers without a message per child; the control is walked when it cannot.
    int mirrorReady = PrepareTreeMirrorInsert();
    int found = 0;
    ins.hInsertAfter = after ? after : page ? FindMirrorInsertPosition(parent, page, &found) : TVI_FIRST;
    if (!after && page && !found)
        ins.hInsertAfter = FindSortedInsertPosition(tree, parent, page);
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | (record ? TVIF_PARAM : 0);
    char caption[260];
    lstrcpynA(caption, text ? text : "", sizeof(caption));
    ins.item.pszText = caption;
    ins.item.iImage = image;
    ins.item.iSelectedImage = image;
    ins.item.lParam = (LPARAM)record;
    HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
    NoteTreeItemInserted(mirrorReady, parent, ins.hInsertAfter, item, record);
    if (!item)
        return NULL;
    if (record && (*(uint16_t *)record == PAGE_KIND_FORM || *(uint16_t *)record == PAGE_KIND_GENERATED))
        ((FormInstance *)record)->treeItem = item;
    if (page) {
        SetFolderCaption(parent, +1, page->formPakPath);
        InsertPageTab(item, page);
    } else
        UpdateFormsTreeTipVisibility(NULL);
    return item;
}

static ReturnNode *GetRootRecord(void)
{
    ReturnNode *root = (ReturnNode *)GetTreeItemForm(gTreeRootItem);
    return root && root->kind == TREE_KIND_ROOT ? root : NULL;
}

int SetFolderCaption(HTREEITEM folder, int delta, const char *formPakPath)
{
    FormGroupNode *record = (FormGroupNode *)GetTreeItemForm(folder);
    if (!record || record->kind != TREE_KIND_FOLDER)
        return 0;
    ReturnNode *root = GetRootRecord();
    // Counts never wrap below zero.
    int count = (int)record->pageCount + delta;
    record->pageCount = (uint16_t)(count < 0 ? 0 : count);
    if (root) {
        int total = (int)root->pageCount + delta;
        root->pageCount = (uint16_t)(total < 0 ? 0 : total);
    }
    if (!DeferFolderCaption(folder))
        WriteFolderCaption(folder);
    if (delta > 0) {
        if (formPakPath && formPakPath[0]) {
            const char *fileName = formPakPath + GetFolderPartLength(formPakPath);
            FormPakRecord *pak = FindOrAddFormPakRecord(formPakPath, fileName, NULL, NULL);
            if (pak)
                pak->useCount++;
        }
        gReturnPageCount++;
    }
    return record->pageCount;
}

HTREEITEM CheckStateReturnLimit(HWND tree, ReturnNode *root, int code, int *slotOut)
{
    if (slotOut)
        *slotOut = 0;
    const char *abbreviation = code > 0 && code < gStateTableRowCount ? gStateTable[code].abbreviation : "";
    FormGroupNode *folder = gTreeStateFolder ? (FormGroupNode *)GetTreeItemForm(gTreeStateFolder) : NULL;
    if (folder && folder->kind == TREE_KIND_FOLDER) {
        if (folder->jurisdiction == code)
            return gTreeStateFolder;
        if (folder->jurisdiction == 0) {
            char prefix[8];
            snprintf(prefix, sizeof(prefix), "%s%s", abbreviation, abbreviation[0] ? " " : "");
            SetTreeItemCaption(gTreeStateFolder, prefix, 1);
            folder->jurisdiction = (uint16_t)code;
            if (root)
                root->stateReturnCount++;
            return gTreeStateFolder;
        }
        ShowMessageBox(gMainWindow,
                       "Levyline currently supports a maximum of ONE state return per tax return file.\r\n"
                       "Forms for a second state return cannot be added to this return.\r\n\r\n"
                       "To prepare a return for a second state, save and close this return, then start a new\r\n"
                       "return by clicking the \"Add Form\" button.",
                       "State Returns Maximum Reached", MB_OK | MB_ICONEXCLAMATION);
        return NULL;
    }
    char text[64], caption[80];
    LoadTreeCaption(IDS_TREE_STATE, text, sizeof(text));
    snprintf(caption, sizeof(caption), "%s%s%s", abbreviation, abbreviation[0] ? " " : "", text);
    FormGroupNode *record = NewFolderRecord(IDI_FOLDER_STATE, code);
    if (!record)
        return NULL;
    record->slot = 0;
    gTreeStateFolder = InsertFolderItem(caption, record, TVI_LAST);
    if (gTreeStateFolder && code != 0 && root)
        root->stateReturnCount++;
    return gTreeStateFolder;
}

// A Summary or Status pseudo page inserted first under the root.
static HTREEITEM InsertPseudoPage(const char *pageKey, int captionId, int image, uint16_t taxYear)
{
    FormInstance *pseudo = (FormInstance *)MemAlloc(64, sizeof(FormInstance));
    if (!pseudo)
        return NULL;
    pseudo->kind = PAGE_KIND_GENERATED;
    pseudo->taxYear = taxYear;
    pseudo->pageNumber = 1;
    size_t length = strlen(pageKey) + 1;
    pseudo->pageKey = (char *)MemAlloc(64, length);
    if (pseudo->pageKey)
        memcpy(pseudo->pageKey, pageKey, length);
    char caption[64];
    LoadTreeCaption(captionId, caption, sizeof(caption));
    HTREEITEM item = InsertFormsTreeItem(gFormsTreeWindow, gTreeRootItem, TVI_FIRST, caption, image, pseudo);
    if (!item)
        FreeFormInstance(pseudo);
    return item;
}

// Creates one of the special folders on first use.
static HTREEITEM EnsureSpecialFolder(HTREEITEM *global, int captionId, const char *captionText, int iconId,
                                     int jurisdiction, HTREEITEM after)
{
    if (*global)
        return *global;
    char caption[128];
    if (captionText)
        lstrcpynA(caption, captionText, sizeof(caption));
    else
        LoadTreeCaption(captionId, caption, 64);
    *global = InsertFolderItem(caption, NewFolderRecord(iconId, jurisdiction), after ? after : TVI_LAST);
    return *global;
}

static int EndsWithBmp(const char *path)
{
    size_t n = path ? strlen(path) : 0;
    return n >= 3 && !lstrcmpiA(path + n - 3, "bmp");
}

// 'F', 'S' or 'O' for a main-form page (or amended main-form page) of a federal, state or
// other return, else 0.
static char PartOfMainFormPage(const FormInstance *page)
{
    char part = 0;
    int row = FindMainFormPage(page->pageKey, page->jurisdiction, 0, 0);
    if (!row || !GetMainFormRow(row, NULL, &part))
        return 0;
    return part;
}

HTREEITEM AddFormToTree(const char *caption, int image, FormInstance *page, const char *otherReturnName)
{
    HWND tree = gFormsTreeWindow;
    if (!tree || !page || page->kind != PAGE_KIND_FORM || !gTreeRootItem)
        return NULL;
    ReturnNode *root = GetRootRecord();
    if (!gTreeStatusItem)
        gTreeStatusItem = InsertPseudoPage("Status Page.1", IDS_TREE_STATUS, TREE_IMAGE_STATUS, page->taxYear);
    if (!gTreeSummaryItem)
        gTreeSummaryItem = InsertPseudoPage("Summary Page.1", IDS_TREE_SUMMARY, TREE_IMAGE_SUMMARY, page->taxYear);

    int code = page->jurisdiction;
    HTREEITEM folder = NULL;
    HTREEITEM after = NULL;  // 0 = sorted
    switch (code) {
    case 0:
        folder = EnsureSpecialFolder(&gTreeScannedFolder,
                                     EndsWithBmp(page->formPakPath) ? IDS_TREE_BITMAPPAGES : IDS_TREE_SCANNED, NULL,
                                     0, 0, gTreeStateFolder);
        after = TVI_LAST;
        page->groupOrder = 0;
        image = TREE_IMAGE_SCANNED;
        break;
    case 96:
        folder = EnsureSpecialFolder(&gTreeQuickRefFolder, IDS_TREE_QUICKREF, NULL, 0, 96, NULL);
        after = TVI_LAST;
        page->groupOrder = 96;
        page->accentColor = 0xFFB57E;
        image = TREE_IMAGE_SUMMARY;
        break;
    case 97:
        folder = gTreeWithholdingFolder;
        page->groupOrder = 97;
        page->accentColor = 0x8080E4;
        break;
    case 98:
        folder = EnsureSpecialFolder(&gTreeExtraFolder, IDS_TREE_EXTRA, NULL, 0, 98, NULL);
        after = TVI_LAST;
        page->groupOrder = 98;
        image = TREE_IMAGE_EXTRA;
        break;
    case 100:
        folder = gTreeFederalFolder;
        page->groupOrder = 100;
        page->accentColor = 0xC0C080;
        break;
    case 101:
        folder = EnsureSpecialFolder(&gTreePrintScanFolder, IDS_TREE_PRINTSCAN, NULL, 0, 101, NULL);
        after = TVI_LAST;
        page->groupOrder = 101;
        image = GetBusinessReturnType(NULL) ? TREE_IMAGE_EMPLOYMENT : TREE_IMAGE_MISSING;
        break;
    case 102:
        folder = EnsureSpecialFolder(&gTreeMissingFormPakFolder, IDS_TREE_MISSING, NULL, 0, 102, NULL);
        after = TVI_LAST;
        page->groupOrder = 102;
        image = TREE_IMAGE_MISSING;
        break;
    default:
        if (otherReturnName && otherReturnName[0]) {
            folder = EnsureSpecialFolder(&gTreeOtherReturnFolder, 0, otherReturnName, IDI_FOLDER_OTHER, code,
                                         gTreeStateFolder);
            page->groupOrder = 130;
            page->accentColor = 0x319DFF;
        } else if (code >= 1 && code <= 51) {
            int slot = 0;
            folder = CheckStateReturnLimit(tree, root, code, &slot);
            if (!folder)
                return NULL;
            page->groupOrder = (uint16_t)slot;
            if (code == 24)
                page->accentColor = 0xB983C0;
            else if (code == 5)
                page->accentColor = 0x80FFFF;
        } else {
            // A code no folder stands for: the page is kept, among the extra pages.
            folder = EnsureSpecialFolder(&gTreeExtraFolder, IDS_TREE_EXTRA, NULL, 0, 98, NULL);
            after = TVI_LAST;
            page->groupOrder = 98;
            image = TREE_IMAGE_EXTRA;
        }
        break;
    }
    if (!folder)
        return NULL;
    // A page filed by any road (forms added, a return opened or imported, a new copy) carries
    // the return's names at once: it may be printed or exported without being shown.
    if (page->fieldTable && gOpenReturnPtr) {
        PropagateFormHeaderName(page->fieldTable, gOpenReturnPtr, page, 0, 0);
        FillJoinedNameFields(page->fieldTable, page);
    }
    HTREEITEM item = InsertFormsTreeItem(tree, folder, after, caption, image, page);
    if (!item)
        return NULL;
    // A return part's main form: the part is described from its new page.
    char part = PartOfMainFormPage(page);
    if (part)
        DescribeReturn(part, NULL, item, GetTreeItemForm(folder), 0, 0);
    // The new page is made visible: its folder (and the root) expanded. In a batch the control
    // places no item until redraw comes back, so the first page of a folder does it for all.
    RECT rc;
    if (!IsFolderShownInBatch(folder) && !GetTreeItemRect(item, &rc)) {
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)folder);
        SetFolderImage(folder, TVE_EXPAND);
        if (!GetTreeItemRect(folder, &rc))
            SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)gTreeRootItem);
        NoteFolderShown(folder);
    }
    return item;
}

int UpdateInfoFormTreeCaption(const FieldRecord *field, FormInstance *page)
{
    if (!field || !page || page->kind != PAGE_KIND_FORM || page->jurisdiction != 97 || !page->pageKey ||
        !field->seq || !page->treeItem)
        return 0;
    const char *name = NULL;
    if (!strcmp(field->seq, "0050") && !lstrcmpiA(page->pageKey, "Form W-2.1"))
        name = "Form W-2";
    else if (!strcmp(field->seq, "0020") && !lstrcmpiA(page->pageKey, "Form W-2G.1"))
        name = "Form W-2G";
    else if (!strcmp(field->seq, "0020") && !lstrcmpiA(page->pageKey, "Form 1099-R.1"))
        name = "Form 1099-R";
    if (!name)
        return 0;
    char caption[128], current[128];
    if (field->value && field->value[0])
        snprintf(caption, sizeof(caption), "%s [%s]", name, field->value);
    else
        snprintf(caption, sizeof(caption), "%s", name);
    GetTreeItemText(page->treeItem, current, 0, sizeof(current));
    if (!strcmp(caption, current))
        return 0;
    return SetTreeItemCaption(page->treeItem, caption, 3);
}
