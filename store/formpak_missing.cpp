// formpak_missing.cpp - the message about the FormPaks an opened return names but that are not
// found: without it every such page lands under "FormPak Not Found" with no word why.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

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

void ShowMissingFormPaks(HWND owner, const char *list, int pages, const char *returnPath)
{
    if (!list || !list[0])
        return;
    char folder[MAX_PATH] = "";
    GetProgramFolder(folder, FOLDER_FORMPAK);
    char text[1400];
    snprintf(text, sizeof(text),
             "%d page(s) of this return come from FormPaks that were not found:\r\n\r\n%.500s\r\n\r\n"
             "They were looked for in the FormPak folder (setting \"FormDir\"): %.260s\r\n"
             "and in the folder of the return file %.260s.\r\n\r\n"
             "The pages are listed under \"FormPak Not Found\" with their values, which saving keeps.",
             pages, list, folder[0] ? folder : "(not set)", returnPath ? returnPath : "");
    ShowMessageBox(owner, text, "FormPaks Not Found", MB_OK | MB_ICONEXCLAMATION);
}
