// The return road: saving the open return, the save dialog, and closing the return.
#include "calc/calc.h"
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"

#include <commdlg.h>
#include <stdio.h>
#include <string.h>


int SaveReturnFile(HWND owner, const char *path)
{
    if (!path || !path[0] || strlen(path) >= sizeof(gReturnPath))
        return 0;
    char target[sizeof(gReturnPath)];
    memcpy(target, path, strlen(path) + 1);  // path may be gReturnPath itself
    if (!CheckPathUsable(owner, target, "Error Saving File"))
        return 0;
    // The values saved are the finished values: a pending or running recompute ends first.
    if (gRecomputeThread || !gRecomputeDone)
        RecomputeAllFormsNow(0);
    int count = FindReturnPages(2, NULL, NULL, 0);
    FormInstance **pages = NULL;
    if (count > 0) {
        pages = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * count);
        if (!pages)
            return 0;
        count = FindReturnPages(2, NULL, pages, 0);
    }
    const char *notes[3] = {NULL, NULL, NULL};
    FormGroupNode *federal = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
    if (federal && federal->kind == TREE_KIND_FOLDER) {
        notes[0] = federal->noteToIrs;
        notes[1] = federal->noteToSelf;
        notes[2] = federal->regulatoryExplanation;
    }
    // The program's own hold on the file would keep the new file from replacing it: it lets go
    // for the write and holds the file again afterwards (the new one, or the old one on failure).
    int held = IsHeldFile(target);
    if (held)
        ReleaseHeldFile();
    SetBusyCursor(1);
    int ok = WriteReturnFile(target, gOpenReturnPtr, pages, count < 0 ? 0 : count, notes);
    SetBusyCursor(0);
    MemFree(pages);
    if (ok || held)
        HoldFileOpen(target);
    if (!ok)
        return 0;
    memcpy(gReturnPath, target, strlen(target) + 1);
    gReturnModified = 0;
    RefreshSummaryPage((HTREEITEM)GetCurrentDocument(1));   // a Summary page shown names the new file
    if (gMainWindow)
        UpdateRecentFilesMenu(GetSubMenu(GetMenu(gMainWindow), 0), gReturnPath, NULL, "RecentFiles");
    SetStatusText(gStatusBar, 2, "Return saved", NULL);
    return 1;
}

int CloseOpenReturn(void)
{
    ReleaseHeldFile();
    EndRecomputeWorker();
    ForgetShownPage();
    ResetReturnViews(0);
    ClearFormsTree();
    // Whatever the next return needs is read again.
    ClearCachedPageData();
    FreeFormRecords();
    gCurrentFormName[0] = 0;
    InitOpenReturn(gOpenReturnPtr);
    gReturnPath[0] = 0;
    gReturnModified = 0;
    gReturnLoading = 0;
    return 1;
}
