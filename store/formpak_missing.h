// formpak_missing.h - telling the user which FormPaks of an opened return were not found.
#ifndef LEVYLINE_FORMPAK_MISSING_H
#define LEVYLINE_FORMPAK_MISSING_H

#include <windows.h>

// Adds the file name of a FormPak path to list (listSize bytes, ", "-separated, each name once).
void AddMissingFormPakName(char *list, int listSize, const char *formPakPath);
// Shows "FormPaks Not Found": the names in list, the number of pages without their FormPak, and
// where they were looked for (the FormPak folder setting "FormDir" and the return's folder).
void ShowMissingFormPaks(HWND owner, const char *list, int pages, const char *returnPath);

#endif // LEVYLINE_FORMPAK_MISSING_H
