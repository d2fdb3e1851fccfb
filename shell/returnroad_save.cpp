// The return road: saving the open return, the save dialog, and closing the return.
#include "calc/calc.h"
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"

#include <commdlg.h>
#include <stdio.h>
#include <string.h>

int gReturnViewOnly;
FileStamp gReturnFileStamp;

// 1 when target may be written: it is not the return's own file, or that file is as this program
// last read or wrote it, or the user chose to replace what another program saved there.
static int ConfirmReplaceChangedFile(HWND owner, const char *target)
{
    FileStamp now;
    if (!gReturnFileStamp.known || !gReturnPath[0] || !ReadFileStamp(target, &now) ||
        !IsSameFile(target, gReturnPath) || !IsFileStampChanged(&gReturnFileStamp, &now))
        return 1;
    // A file another program holds is refused by the write itself, with that reason.
    if (!IsHeldFile(target) && FindFileHolder(target, NULL, 0))
        return 1;
    char text[800];
    snprintf(text, sizeof text,
             "The return file %.260s was changed by another program since this return was opened or last "
             "saved here.\r\n\r\nDo you want to replace it with the return shown here? What the other program "
             "saved in the file will be lost.\r\n\r\nChoose No to keep the file as it is (Save As can keep this "
             "return under another name).",
             target);
    return ShowMessageBox(owner, text, "Return File Changed", MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) ==
           IDYES;
}

int SaveReturnFile(HWND owner, const char *path)
{
    if (!path || !path[0] || strlen(path) >= sizeof(gReturnPath))
        return 0;
    char target[sizeof(gReturnPath)];
    memcpy(target, path, strlen(path) + 1);  // path may be gReturnPath itself
    if (!CheckPathUsable(owner, target, "Error Saving File") || !ConfirmReplaceChangedFile(owner, target))
        return 0;
    // The values saved are the finished values: a pending or running recompute ends first, and
    // nothing is written while it cannot (called while the program waits for the worker).
    if (!FinishPendingRecompute())
        return 0;
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
    ReadFileStamp(gReturnPath, &gReturnFileStamp);
    gReturnViewOnly = 0;   // the file written is this program's and held by it
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
    memset(&gReturnFileStamp, 0, sizeof gReturnFileStamp);
    gReturnViewOnly = 0;
    gReturnModified = 0;
    gReturnLoading = 0;
    return 1;
}
