// print_groups.cpp - the page groups of the print dialog, the dialog run with its callback
// object, and the dialog's answer turned into the list of pages to print.
#include "print/print.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// The record behind a page item, or null when the item holds no page.
static FormInstance *GetTreeItemPage(HTREEITEM item)
{
    FormInstance *page = (FormInstance *)GetTreeItemForm(item);
    if (!page || (page->kind != PAGE_KIND_FORM && page->kind != PAGE_KIND_GENERATED))
        return 0;
    return page;
}

int BuildPrintPageGroups(PrintPageGroup *rows, char **groupListOut)
{
    if (groupListOut)
        *groupListOut = 0;
    if (!rows)
        return 0;
    struct RowSource {
        const char *name;
        int kind;
        HTREEITEM item;
    };
    // One state return per file: the second state row of the table is not offered.
    const RowSource sources[PRINT_GROUP_ROWS - 1] = {
        {"Federal return", PRINT_GROUP_FOLDER, gTreeFederalFolder},
        {"State return 1", PRINT_GROUP_FOLDER, gTreeStateFolder},
        {"Other return", PRINT_GROUP_FOLDER, gTreeOtherReturnFolder},
        {"Withholding forms", PRINT_GROUP_FOLDER, gTreeWithholdingFolder},
        {"Summary page", PRINT_GROUP_PSEUDO_PAGE, gTreeSummaryItem},
        {"Status page", PRINT_GROUP_PSEUDO_PAGE, gTreeStatusItem},
    };
    memset(rows, 0, sizeof(PrintPageGroup) * PRINT_GROUP_ROWS);
    char list[PRINT_GROUP_ROWS * 64] = "";
    int offered = 0;
    for (int i = 0; i < PRINT_GROUP_ROWS - 1; i++) {
        PrintPageGroup *row = &rows[i];
        lstrcpynA(row->name, sources[i].name, sizeof row->name);
        row->kind = sources[i].kind;
        row->item = sources[i].item;
        row->index = -1;
        if (!row->item)
            continue;   // the rows' query modes are 0: a row without an item is never offered
        char shown[64];
        lstrcpynA(shown, row->name, sizeof shown);
        if (row->kind == PRINT_GROUP_FOLDER) {
            const FormGroupNode *folder = (const FormGroupNode *)GetTreeItemForm(row->item);
            if (!folder || folder->kind != TREE_KIND_FOLDER || folder->pageCount == 0)
                continue;
            char text[128];
            GetTreeItemText(row->item, text, 1, sizeof text);
            TrimSpaces(text);
            lstrcpynA(shown, text, sizeof shown);
        } else if (!GetTreeItemPage(row->item)) {
            continue;
        }
        size_t used = strlen(list);
        if (used + strlen(shown) + 2 >= sizeof list)
            break;
        if (offered)
            strcat(list, ";");
        strcat(list, shown);
        row->included = 1;
        row->index = offered++;
    }
    rows[PRINT_GROUP_ROWS - 1].name[0] = 0;   // the end row
    if (offered && groupListOut) {
        size_t length = strlen(list) + 1;
        *groupListOut = (char *)MemAlloc(64, length);
        if (*groupListOut)
            memcpy(*groupListOut, list, length);
    }
    return offered;
}

// Appends page to the owned list, growing it.
static int AppendPage(FormInstance ***list, int *count, int *capacity, FormInstance *page)
{
    if (!page)
        return 1;
    if (*count >= *capacity) {
        int grown = *capacity ? *capacity * 2 : 16;
        FormInstance **bigger = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * (size_t)grown);
        if (!bigger)
            return 0;
        if (*list)
            memcpy(bigger, *list, sizeof(FormInstance *) * (size_t)*count);
        MemFree(*list);
        *list = bigger;
        *capacity = grown;
    }
    (*list)[(*count)++] = page;
    return 1;
}

// Appends the pages of a page query (mode 2 all pages, 16 the pages below a folder).
static int AppendQueryPages(FormInstance ***list, int *count, int *capacity, int mode, const void *key, int from,
                            int to)
{
    int total = FindReturnPages(mode, key, 0, 0);
    if (total <= 0)
        return 1;
    FormInstance **pages = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * (size_t)total);
    if (!pages)
        return 0;
    int got = FindReturnPages(mode, key, pages, 0);
    if (got > total)
        got = total;
    int ok = 1;
    for (int i = 0; i < got && ok; i++) {
        int number = i + 1;
        if ((from > 0 && number < from) || (to > 0 && number > to))
            continue;
        ok = AppendPage(list, count, capacity, pages[i]);
    }
    MemFree(pages);
    return ok;
}

// The pages of one tree item: a page alone; for a folder or the root, the pages below it.
static int AppendItemPages(FormInstance ***list, int *count, int *capacity, HTREEITEM item)
{
    FormInstance *page = GetTreeItemPage(item);
    if (page)
        return AppendPage(list, count, capacity, page);
    const uint16_t *record = (const uint16_t *)GetTreeItemForm(item);
    if (record && *record == TREE_KIND_FOLDER)
        return AppendQueryPages(list, count, capacity, 16, item, 0, 0);
    if (record && *record == TREE_KIND_ROOT)
        return AppendQueryPages(list, count, capacity, 2, 0, 0, 0);
    return 1;
}

int CollectPagesToPrint(const PRINTDLGEXA *recordEx, const PRINTDLGA *record, const PrintPageGroup *rows,
                        int chosenGroup, FormInstance ***pagesOut, int *countOut, HTREEITEM treeItem)
{
    if (pagesOut)
        *pagesOut = 0;
    if (countOut)
        *countOut = 0;
    if (!pagesOut || !countOut || (!recordEx && !record))
        return 0;
    DWORD flags = recordEx ? recordEx->Flags : record->Flags;
    FormInstance **list = 0;
    int count = 0, capacity = 0, ok = 1;
    if (treeItem) {
        // An item from the forms tree's menu is printed whatever range the dialog reports.
        ok = AppendItemPages(&list, &count, &capacity, treeItem);
    } else if (recordEx && (flags & PD_CURRENTPAGE)) {
        ok = AppendPage(&list, &count, &capacity, (FormInstance *)GetCurrentDocument(4));
    } else if (flags & PD_SELECTION) {
        if (!rows) {
            // The classic dialog's selection button means the page shown.
            ok = AppendPage(&list, &count, &capacity, (FormInstance *)GetCurrentDocument(4));
        } else {
            for (int i = 0; i < PRINT_GROUP_ROWS && rows[i].name[0]; i++) {
                if (!rows[i].included || rows[i].index != chosenGroup)
                    continue;
                if (rows[i].kind == PRINT_GROUP_PSEUDO_PAGE)
                    ok = AppendPage(&list, &count, &capacity, GetTreeItemPage(rows[i].item));
                else
                    ok = AppendQueryPages(&list, &count, &capacity, 16, rows[i].item, 0, 0);
                break;
            }
        }
    } else if (flags & PD_PAGENUMS) {
        if (recordEx) {
            for (DWORD r = 0; ok && recordEx->lpPageRanges && r < recordEx->nPageRanges; r++)
                ok = AppendQueryPages(&list, &count, &capacity, 2, 0, (int)recordEx->lpPageRanges[r].nFromPage,
                                      (int)recordEx->lpPageRanges[r].nToPage);
        } else {
            ok = AppendQueryPages(&list, &count, &capacity, 2, 0, record->nFromPage, record->nToPage);
        }
    } else {
        ok = AppendPage(&list, &count, &capacity, GetTreeItemPage(gTreeSummaryItem));
        if (ok)
            ok = AppendPage(&list, &count, &capacity, GetTreeItemPage(gTreeStatusItem));
        if (ok)
            ok = AppendQueryPages(&list, &count, &capacity, 2, 0, 0, 0);
    }
    if (!ok || count == 0) {
        MemFree(list);
        return 0;
    }
    *pagesOut = list;
    *countOut = count;
    return count;
}

HRESULT ShowPrintDialogEx(PRINTDLGEXA *record, FormInstance ***pagesOut, int *countOut, int mode, HTREEITEM treeItem)
{
    if (pagesOut)
        *pagesOut = 0;
    if (countOut)
        *countOut = 0;
    if (!record)
        return E_INVALIDARG;
    PrintPageGroup rows[PRINT_GROUP_ROWS];
    memset(rows, 0, sizeof rows);
    char *groupList = 0;
    if (mode == 1)
        BuildPrintPageGroups(rows, &groupList);
    char caption[160];
    const char *captionText = 0;
    if (treeItem) {
        GetTreeItemText(treeItem, caption, 0, 128);
        if (treeItem == gTreeSummaryItem || treeItem == gTreeStatusItem)
            strcat(caption, " Page");
        captionText = caption;
    }
    CPrintDialogEx dialog(record->hwndOwner, groupList, captionText);
    record->lpCallback = static_cast<IUnknown *>(&dialog);
    HRESULT result = RunPrintDialogEx(record);
    record->lpCallback = 0;
    if (SUCCEEDED(result) && record->dwResultAction == PD_RESULT_PRINT) {
        if (mode == 1)
            CollectPagesToPrint(record, 0, rows, dialog.callback->chosenGroup, pagesOut, countOut, treeItem);
        else if (countOut)
            *countOut = 1;
    }
    MemFree(groupList);
    return result;
}
