// The return road: adding forms of a FormPak to the open return.
#include "calc/calc.h"
#include "entry/entry.h"
#include "prepare/prepare.h"
#include "shell/shell.h"
#include "store/store.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

AddFormsStartProc gAddFormsStartHook;

int GetFormPakStartDialog(FileRecord *formPak)
{
    if (!formPak || formPak->fileType != FILE_TYPE_FORMPAK)
        return 0;
    const char *name = NULL;
    GetHeaderStrings(formPak, &name, NULL, NULL);
    if (!name)
        return 0;
    if (!_strnicmp(name, "Form 94", 7))
        return START_DIALOG_94X;
    if (FindSubString(name, "M1PR", NULL))
        return START_DIALOG_M1PR;
    return 0;
}

static int CountMarkedCopies(FileRecord *formPak)
{
    int marked = 0;
    PageDirectoryEntry *directory = GetPageDirectory(formPak);
    for (int i = 0; directory && i < formPak->pageCount; i++)
        marked += directory[i].copiesToAdd;
    return marked;
}

static void ClearMarks(FileRecord *formPak)
{
    PageDirectoryEntry *directory = GetPageDirectory(formPak);
    for (int i = 0; directory && i < formPak->pageCount; i++)
        directory[i].copiesToAdd = 0;
}

// 1 when the return holds as many copies of page i of the FormPak as the page allows.
static int IsCopiesLimitReached(FileRecord *formPak, int i)
{
    const PageDirectoryEntry *entry = &GetPageDirectory(formPak)[i];
    char key[FORM_NAME_SIZE];
    snprintf(key, sizeof(key), "%s.%u", GetPoolString(formPak, entry->nameOffset), (unsigned)entry->pageNumber);
    return FindReturnPages(9, key, NULL, 0) >= entry->maxCopies;
}

int AddFormsToReturn(HWND owner, FileRecord *formPak, const char *formPakPath)
{
    if (!formPak || formPak->fileType != FILE_TYPE_FORMPAK || !GetPageDirectory(formPak) || !formPak->pageCount)
        return 0;
    if (!ShowFormPakYearError(formPak->taxYear, 1))
        return 0;
    int result = -1;
    int startDialog = GetFormPakStartDialog(formPak);
    if (startDialog)
        result = gAddFormsStartHook ? gAddFormsStartHook(owner, formPak, startDialog) : 1;
    if (result == 0) {
        ClearMarks(formPak);
        return 0;
    }
    // The forms list when asked for, or when nothing is marked yet.
    if (result < 0 || CountMarkedCopies(formPak) == 0) {
        if (ShowFormsListDialog(owner, formPak) != IDOK) {
            ClearMarks(formPak);
            return 0;
        }
    }
    const char *path = formPakPath ? formPakPath : formPak->path;
    PageDirectoryEntry *directory = GetPageDirectory(formPak);
    int most = 0;
    for (int i = 0; i < formPak->pageCount; i++)
        if (directory[i].copiesToAdd > most)
            most = directory[i].copiesToAdd;
    // Copy by copy, so that each copy's pages stand together.
    int added = 0, refused = 0, limited = 0, limit = 0;
    const char *limitedForm = NULL;
    HTREEITEM first = NULL;
    SetBusyCursor(1);
    for (int copy = 1; copy <= most && !refused; copy++) {
        for (int i = 0; i < formPak->pageCount && !refused; i++) {
            if (directory[i].copiesToAdd < copy)
                continue;
            HTREEITEM item = CreateFormInstance(path, i, 1, 1, directory[i].maxCopies, formPak, 0);
            if (item) {
                added++;
                if (!first)
                    first = item;
            } else if (directory[i].maxCopies > 0 && IsCopiesLimitReached(formPak, i)) {
                // The form's copies limit kept this copy out: said once, after adding.
                limited = 1;
                limit = directory[i].maxCopies;
                limitedForm = GetPoolString(formPak, directory[i].nameOffset);
            } else if (directory[i].jurisdiction >= 1 && directory[i].jurisdiction <= 51 && gTreeStateFolder) {
                // A second state was refused: its message was shown once; stop here.
                FormGroupNode *state = (FormGroupNode *)GetTreeItemForm(gTreeStateFolder);
                if (state && state->jurisdiction && state->jurisdiction != directory[i].jurisdiction)
                    refused = 1;
            }
        }
    }
    SetBusyCursor(0);
    ClearMarks(formPak);
    if (limited)
        ShowCopiesLimited(owner, limitedForm, limit, added);
    if (added) {
        gReturnModified = 1;
        if (startDialog && result > 0)
            ApplyStartDialogChoices(startDialog, result);
        if (first && gFormsTreeWindow)
            SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)first);
        RequestRecompute(1, NULL);
    }
    return added;
}
