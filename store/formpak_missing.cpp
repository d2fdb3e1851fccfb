// formpak_missing.cpp - finding the FormPaks an opened return names by what they hold, and the
// message about those not found or of which no copy could be used: without it every such page
// lands under "FormPak Not Found" with no word why.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

// Reads candidate as a FormPak into record when it holds the page pageKey (any FormPak when
// pageKey is empty). 0 when there is no such file (nothing said) or the copy is passed over:
// "path: why" added to lines as a paragraph of its own (a message box joins single lines).
static int ReadFormPakCandidate(const char *candidate, const char *pageKey, FileRecord *record, char *lines,
                                size_t linesSize)
{
    if (!FileExists(candidate))
        return 0;
    const char *why = NULL;
    char reason[200];
    if (!ReadDataFileWithReason(candidate, record, READ_DATA_QUIET, &why) || record->fileType != FILE_TYPE_FORMPAK) {
        if (why && !strcmp(why, READ_REASON_IN_USE))
            lstrcpynA(reason, "in use by another program", sizeof(reason));
        else
            snprintf(reason, sizeof(reason), "damaged (%s)", why ? why : "it is not a FormPak");
    } else if (pageKey && pageKey[0] && FindPageInFileRecord(record, pageKey) < 0) {
        // A sound FormPak of another form (a file of the same name for another form or state).
        const char *form = record->pageCount > 0 ? GetPoolString(record, GetPageDirectory(record)[0].nameOffset) : "";
        snprintf(reason, sizeof(reason), "another form%s%.80s%s", form[0] ? " (" : "", form, form[0] ? ")" : "");
    } else {
        return 1;
    }
    ReleaseFileRecord(record, NULL);
    size_t used = strlen(lines);
    snprintf(lines + used, linesSize - used, "%.260s: %s\r\n\r\n", candidate, reason);
    return 0;
}

int FindFormPakFile(const char *stored, const char *pageKey, const char *returnPath, FileRecord *record, char *found,
                    int foundSize, char *passed, int passedSize)
{
    if (found && foundSize > 0)
        found[0] = 0;
    if (!record || !found || foundSize <= 0 || !stored || !stored[0])
        return 0;
    memset(record, 0, sizeof(*record));
    // The places in turn: the stored path, then its name in the FormPak folder and beside the return.
    const char *name = stored + GetFolderPartLength(stored);
    char places[3][MAX_PATH];
    int count = 0;
    if (strlen(stored) < MAX_PATH)
        lstrcpynA(places[count++], stored, MAX_PATH);
    char folder[MAX_PATH];
    int n;
    if (name[0] && GetProgramFolder(folder, FOLDER_FORMPAK) &&
        (n = snprintf(places[count], MAX_PATH, "%s\\%s", folder, name)) > 0 && n < MAX_PATH)
        count++;
    int folderLength = returnPath ? GetFolderPartLength(returnPath) : 0;
    if (name[0] && folderLength > 0 &&
        (n = snprintf(places[count], MAX_PATH, "%.*s%s", folderLength, returnPath, name)) > 0 && n < MAX_PATH)
        count++;
    char lines[3 * (MAX_PATH + 220)] = "";
    for (int i = 0; i < count; i++) {
        // A place that names a copy tried already (under any spelling) is not tried again.
        int seen = 0;
        for (int k = 0; k < i; k++)
            seen |= !lstrcmpiA(places[k], places[i]) || IsSameFile(places[k], places[i]);
        if (seen || (int)strlen(places[i]) >= foundSize)
            continue;
        if (ReadFormPakCandidate(places[i], pageKey, record, lines, sizeof(lines))) {
            lstrcpynA(found, places[i], foundSize);
            return 1;
        }
    }
    if (passed && passedSize > 0)
        AppendTextBounded(passed, (size_t)passedSize, lines);
    return lines[0] ? -1 : 0;
}

void AddMissingFormPakName(char *list, int listSize, const char *formPakPath)
{
    if (!list || listSize <= 0 || !formPakPath || !formPakPath[0])
        return;
    const char *name = formPakPath + GetFolderPartLength(formPakPath);
    // Already listed? The names are separated by ", ".
    size_t n = strlen(name);
    for (const char *at = list; *at;) {
        const char *end = strstr(at, ", ");
        size_t length = end ? (size_t)(end - at) : strlen(at);
        if (length == n && !_strnicmp(at, name, n))
            return;
        at += length + (end ? 2 : 0);
    }
    size_t used = strlen(list);
    snprintf(list + used, listSize - used, "%s%s", used ? ", " : "", name);
}

void ShowMissingFormPaks(HWND owner, const char *list, const char *passed, int pages, const char *returnPath)
{
    if (!list)
        list = "";
    if (!passed)
        passed = "";
    if (!list[0] && !passed[0])
        return;
    char folder[MAX_PATH] = "";
    GetProgramFolder(folder, FOLDER_FORMPAK);
    char names[1000];
    if (!passed[0])
        snprintf(names, sizeof(names), "that were not found:\r\n\r\n%.500s\r\n\r\n", list);
    else if (!list[0])
        snprintf(names, sizeof(names),
                 "of which no copy could be used. The copies tried, and why each was passed over:\r\n\r\n");
    else
        snprintf(names, sizeof(names),
                 "that were not found or of which no copy could be used.\r\n\r\nNot found: %.500s\r\n\r\n"
                 "The copies tried, and why each was passed over:\r\n\r\n", list);
    char text[3600];
    snprintf(text, sizeof(text),
             "%d page(s) of this return come from FormPaks %s%.2000s"
             "They were looked for where the return names them, in the FormPak folder (setting \"FormDir\"): "
             "%.260s\r\nand in the folder of the return file %.260s.\r\n\r\n"
             "The pages are listed under \"FormPak Not Found\" with their values, which saving keeps.",
             pages, names, passed, folder[0] ? folder : "(not set)", returnPath ? returnPath : "");
    ShowMessageBox(owner, text, "FormPaks Not Found", MB_OK | MB_ICONEXCLAMATION);
}
