// The return road: opening a return file, installing a dropped FormPak, and the "Add Form"
// command (OpenTaxFile).
#include "calc/calc.h"
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

static const char kFormPakFilter[] = "Levyline Form Files (*.qvp)\0*.qvp\0";

// The FormPaks a return file's pages come from, each read once while the return is opened.
#define OPEN_FORMPAK_CACHE 32
struct OpenFormPak {
    char path[MAX_PATH];    // as stored in the return file
    char found[MAX_PATH];   // where it was found ("" = no copy holds the form)
    int passedOver;         // copies were there, but none could be used
    FileRecord record;
};

// The FormPak of a stored path, found and read on its first use (FindFormPakFile) as the copy
// that holds the page pageKey; a FormPak with no such copy adds the copies passed over to passed,
// once.
static OpenFormPak *GetOpenFormPak(OpenFormPak *cache, int *count, const char *stored, const char *pageKey,
                                   const char *returnPath, char *passed, int passedSize)
{
    for (int i = 0; i < *count; i++)
        if (!lstrcmpiA(cache[i].path, stored))
            return &cache[i];
    if (*count >= OPEN_FORMPAK_CACHE || strlen(stored) >= MAX_PATH)
        return NULL;
    OpenFormPak *pak = &cache[(*count)++];
    memset(pak, 0, sizeof(*pak));
    lstrcpynA(pak->path, stored, sizeof(pak->path));
    pak->passedOver = FindFormPakFile(stored, pageKey, returnPath, &pak->record, pak->found, sizeof(pak->found),
                                      passed, passedSize) < 0;
    return pak;
}

// The page index of a saved page in its FormPak: the stored index when it still names the
// page, else the page found by its key.
static int FindSavedPage(FileRecord *formPak, const FormDirectoryEntry *entry, const char *key)
{
    if (entry->formIndex < formPak->pageCount) {
        const PageDirectoryEntry *e = &GetPageDirectory(formPak)[entry->formIndex];
        char stored[FORM_NAME_SIZE];
        snprintf(stored, sizeof(stored), "%s.%u", GetPoolString(formPak, e->nameOffset), (unsigned)e->pageNumber);
        if (!lstrcmpiA(stored, key))
            return entry->formIndex;
    }
    return FindPageInFileRecord(formPak, key);
}

// Selects the first page of the return in the tree (the page view follows).
static void SelectFirstPage(void)
{
    FormInstance *first = NULL;
    if (FindReturnPages(15, (const void *)(intptr_t)1, &first, 0) && first && first->treeItem && gFormsTreeWindow)
        SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)first->treeItem);
}

static int OpenReturnFile(HWND owner, const char *path, OpenReturn *returnRecord)
{
    if (strlen(path) >= sizeof(gReturnPath)) {
        ShowMessageBox(owner, "The file name is too long to be opened.", "Error Opening File", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    // A file another program holds (another copy of Levyline with the return open) is opened for
    // viewing: the holder keeps it, and Save is refused for this open (gReturnViewOnly).
    char holder[200] = "";
    int inUse = !IsHeldFile(path) && FindFileHolder(path, holder, sizeof(holder));
    // The stamp is taken before the bytes are read: a change in between makes a later save ask
    // rather than overwrite unseen.
    FileStamp stamp;
    ReadFileStamp(path, &stamp);
    FileRecord file;
    if (!ReadDataFile(path, 0, &file, 0))
        return 0;
    if (file.fileType != FILE_TYPE_RETURN || !file.slots[REC_RETURN].data) {
        ReleaseFileRecord(&file, NULL);
        char text[400];
        snprintf(text, sizeof(text), "The file %.260s is not a Levyline return file.", path);
        ShowMessageBox(owner, text, "Error Opening File", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    OpenReturn loaded;
    if (!UpgradeReturnRecord(&loaded, file.slots[REC_RETURN].data, file.slots[REC_RETURN].length)) {
        ReleaseFileRecord(&file, NULL);
        ShowMessageBox(owner, "The return record of this file cannot be read.", "Error Opening File",
                       MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    char keepPath[MAX_PATH];
    lstrcpynA(keepPath, path, sizeof(keepPath));  // path may point into the return being closed
    CloseOpenReturn();
    if (!returnRecord)
        returnRecord = gOpenReturnPtr;
    *returnRecord = loaded;
    gReturnLoading = 1;

    // The notes belong to the federal folder.
    FormGroupNode *federal = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
    const FileRecordSlot *notes = &file.slots[REC_NOTES];
    if (federal && federal->kind == TREE_KIND_FOLDER && notes->data) {
        char **targets[3] = {&federal->noteToIrs, &federal->noteToSelf, &federal->regulatoryExplanation};
        uint32_t at = 0;
        for (int i = 0; i < 3 && at < notes->length; i++) {
            const char *text = (const char *)notes->data + at;
            size_t n = strnlen(text, notes->length - at);
            if (n && n < notes->length - at)
                SetFieldText(targets[i], text);
            at += (uint32_t)n + 1;
        }
    }

    OpenFormPak *cache = (OpenFormPak *)MemAlloc(64, sizeof(OpenFormPak) * OPEN_FORMPAK_CACHE);
    int cached = 0, missing = 0;
    char missingNames[600] = "", passedCopies[2000] = "";
    if (gFormsTreeWindow)
        SendMessageA(gFormsTreeWindow, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; cache && i < file.formCount; i++) {
        const FormDirectoryEntry *entry = &GetFormDirectory(&file)[i];
        const char *key = GetPoolString(&file, entry->pageKeyOffset);
        OpenFormPak *pak = GetOpenFormPak(cache, &cached, GetPoolString(&file, entry->formPakOffset), key, keepPath,
                                          passedCopies, sizeof(passedCopies));
        HTREEITEM item = NULL;
        if (pak && pak->found[0]) {
            int index = FindSavedPage(&pak->record, entry, key);
            if (index >= 0 && (item = CreateFormInstance(pak->found, index, 0, 0, 0, &pak->record, 0)) != NULL)
                BuildFormFieldTable(item, &file, i, 0, 0);
        }
        if (!item) {
            missing++;
            if (!pak || (!pak->found[0] && !pak->passedOver))
                AddMissingFormPakName(missingNames, sizeof(missingNames), GetPoolString(&file, entry->formPakOffset));
            CreateSessionFormInstance(&file, i);
        }
    }
    if (gFormsTreeWindow) {
        SendMessageA(gFormsTreeWindow, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(gFormsTreeWindow, NULL, TRUE);
    }
    for (int i = 0; i < cached; i++)
        ReleaseFileRecord(&cache[i].record, NULL);
    MemFree(cache);
    ReleaseFileRecord(&file, NULL);
    if (missing) {
        char line[400];
        snprintf(line, sizeof(line), "999 OPN: %.260s: %d page(s) without their FormPak\r\n", keepPath, missing);
        WriteLogLine(line);
    }
    // Calculated values the file left empty are derived data, not changes of the user: fill
    // them in while the return still counts as loading, so an opened return is unmodified.
    // The taxpayer items come first (formulas read them); every page gets them, also the pages
    // that are printed without being shown.
    FillReturnTaxpayerItems(gOpenReturnPtr);
    RecomputeAllFormsNow(0);
    gReturnLoading = 0;
    memcpy(gReturnPath, keepPath, strlen(keepPath) + 1);
    gReturnModified = 0;
    gReturnFileStamp = stamp;
    gReturnViewOnly = inUse;
    if (!inUse)
        HoldFileOpen(gReturnPath);
    if (gMainWindow)
        UpdateRecentFilesMenu(GetSubMenu(GetMenu(gMainWindow), 0), gReturnPath, NULL, "RecentFiles");
    SelectFirstPage();
    RequestRecompute(1, NULL);
    UpdateFormsTreeTipVisibility(NULL);
    ShowMissingFormPaks(owner, missingNames, passedCopies, missing, gReturnPath);
    if (inUse) {
        char text[800];
        snprintf(text, sizeof(text),
                 "The return file %.260s is in use by another program%s%.200s%s.\r\n\r\n"
                 "It is opened for viewing: changes cannot be saved over it. Use Save As to keep changes "
                 "under another name.",
                 gReturnPath, holder[0] ? " (" : "", holder, holder[0] ? ")" : "");
        ShowMessageBox(owner, text, "Return In Use", MB_OK | MB_ICONEXCLAMATION);
    }
    return 1;
}

// Copies a FormPak into the FormPak folder (unless it is there already: the same file under any
// spelling of its path, '/', "\.\", "\..\", a short name) and offers its forms.
static int InstallFormPak(HWND owner, const char *path)
{
    FileRecord pak;
    if (!ReadDataFile(path, 0, &pak, 0))
        return 0;
    if (pak.fileType != FILE_TYPE_FORMPAK) {
        ReleaseFileRecord(&pak, NULL);
        char text[400];
        snprintf(text, sizeof(text), "The file %.260s is not a Levyline FormPak.", path);
        ShowMessageBox(owner, text, "Error Opening File", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    char folder[MAX_PATH], target[MAX_PATH];
    const char *name = path + GetFolderPartLength(path);
    int n = GetProgramFolder(folder, FOLDER_FORMPAK) ? snprintf(target, sizeof(target), "%s\\%s", folder, name) : -1;
    if (n <= 0 || n >= (int)sizeof(target)) {
        lstrcpynA(target, path, sizeof(target));
    } else if (lstrcmpiA(target, path) && !IsSameFile(target, path) && !CopyFileA(path, target, FALSE)) {
        char text[700];
        snprintf(text, sizeof(text), "The FormPak %.260s could not be copied to the FormPak folder %.260s.", name,
                 folder);
        ShowMessageBox(owner, text, "Error Installing FormPak", MB_OK | MB_ICONEXCLAMATION);
        ReleaseFileRecord(&pak, NULL);
        return 0;
    }
    int added = AddFormsToReturn(owner, &pak, target);
    ReleaseFileRecord(&pak, NULL);
    return added > 0;
}

// "Add Form": the user picks a FormPak and adds forms from it.
static int AddFormsFromChosenFormPak(HWND owner)
{
    char path[MAX_PATH] = "";
    char folder[MAX_PATH] = "";
    GetProgramFolder(folder, FOLDER_FORMPAK);
    if (!ShowFileOpenDialog("Add Form", "qvp", kFormPakFilter, REG_SCOPE_YEAR, 0, NULL, folder, path, sizeof(path),
                            owner) ||
        !CheckPathUsable(owner, path, "Error Adding Forms To Return"))
        return 0;
    FileRecord pak;
    if (!ReadDataFile(path, 0, &pak, 0))
        return 0;
    int added = 0;
    if (pak.fileType != FILE_TYPE_FORMPAK) {
        char text[400];
        snprintf(text, sizeof(text), "The file %.260s is not a Levyline FormPak.", path);
        ShowMessageBox(owner, text, "Error Adding Forms To Return", MB_OK | MB_ICONEXCLAMATION);
    } else
        added = AddFormsToReturn(owner, &pak, path);
    ReleaseFileRecord(&pak, NULL);
    return added > 0;
}

int OpenTaxFile(HWND owner, const char *path, OpenReturn *returnRecord, int mode)
{
    if (mode == 1)
        return AddFormsFromChosenFormPak(owner);
    if (!path || !path[0] || !CheckPathUsable(owner, path, "Error Opening File"))
        return 0;
    if (HasFileExtension(path, ".qvp"))
        return InstallFormPak(owner, path);
    if (!HasFileExtension(path, ".qvr")) {
        char text[400];
        snprintf(text, sizeof(text), "The file %.260s is neither a Levyline return file (.qvr) nor a FormPak (.qvp).",
                 path);
        ShowMessageBox(owner, text, "Error Opening File", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    if (gReturnModified && !AskSaveChanges(owner))
        return 0;
    return OpenReturnFile(owner, path, returnRecord);
}
