// The main window's "Import Data" command: taxpayer data and then form data from another
// return file into the open return.
#include "entry/imports/imports_private.h"
#include "pages/pages.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

static void RefuseImportFile(const char *path, const char *why)
{
    char message[MAX_PATH + 200];
    snprintf(message, sizeof(message), "The file %.260s %s\r\n\r\nNo data was imported.", path, why);
    ShowMessageBox(gMainWindow, message, "Import Data", MB_OK | MB_ICONEXCLAMATION);
}

// 1 when the folder item holds pages of the open return.
static int FolderHasPages(HTREEITEM folder)
{
    return folder && FindReturnPages(16, folder, NULL, 0) > 0;
}

int RunImportData(const char *path)
{
    FileRecord file;
    memset(&file, 0, sizeof(file));
    if (!path || !*path || !ReadDataFile(path, 0, &file, 0))
        return 0;
    int imported = 0;
    const FileRecordSlot *record = &file.slots[REC_RETURN];
    uint32_t recordSize = 0;
    if (record->data && record->length >= 4)
        memcpy(&recordSize, record->data, 4);
    if (file.fileType != FILE_TYPE_RETURN) {
        RefuseImportFile(path, "is not a Levyline return file.");
    } else if (!record->data || recordSize < 4 || record->length < recordSize) {
        RefuseImportFile(path, "holds no complete taxpayer record.");
    } else if (ImportTaxpayerData(gOpenReturnPtr, record->data, file.taxYear, 0)) {
        imported = 1;
        gReturnModified = 1;
        if (FolderHasPages(gTreeFederalFolder) || FolderHasPages(gTreeStateFolder))
            ImportFormData(&file, 0, 0);
        if (FolderHasPages(gTreeOtherReturnFolder))
            RemapMnCrpFields(&file, file.taxYear);
        // The pages' name, number and address fields are copies of the return record, which now
        // holds the imported taxpayer (and the form import cleared them): fill them again.
        EndRecomputeWorker();
        FillReturnTaxpayerItems(gOpenReturnPtr);
        RedrawAllFields();
        RequestRecompute(1, NULL);
    }
    ReleaseFileRecord(&file, NULL);
    return imported;
}

LRESULT ImportDataCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    (void)lParam;
    if (message != WM_COMMAND || LOWORD(wParam) != IDM_IMPORTDATA)
        return 0;
    *handled = 1;
    gOperationCode = 41062;
    if (!gOpenReturnPtr || FindReturnPages(2, NULL, NULL, 0) <= 0) {
        ShowMessageBox(window, "Open a tax return first: the data is imported into the open return.",
                       "No Tax Return Open", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    char path[MAX_PATH] = "";
    if (!ShowFileOpenDialog("Select Return to Import Data From", "qvr",
                            "Levyline Returns (*.qvr)\0*.qvr\0All Files (*.*)\0*.*\0", 0, 0, "DataDir", NULL, path,
                            sizeof(path), window))
        return 0;
    return RunImportData(path);
}
