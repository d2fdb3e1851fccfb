// formpak_missing.h - finding the FormPaks an opened return names, and telling the user which of
// them were not found or had no copy that could be used.
#ifndef LEVYLINE_FORMPAK_MISSING_H
#define LEVYLINE_FORMPAK_MISSING_H

#include <windows.h>

struct FileRecord;

// Finds and reads the FormPak a return file names (stored: its path when the return was saved)
// for its page pageKey ("MN M1.1"), trying in turn the stored path, its file name in the FormPak
// folder (setting "FormDir") and in the folder of the return file returnPath. The first copy that
// holds the page is used; one of another form, a damaged one and one another program holds open
// are passed over. 1 with *record read and its path in found (foundSize bytes); 0 when no copy
// was there; -1 when copies were there but none could be used: each is appended to passed
// (passedSize bytes) as "path: why" ("another form (MN M2)", "damaged (reason)", "in use by
// another program") and a blank line.
int FindFormPakFile(const char *stored, const char *pageKey, const char *returnPath, FileRecord *record, char *found,
                    int foundSize, char *passed, int passedSize);
// Adds the file name of a FormPak path to list (listSize bytes, ", "-separated, each name once).
void AddMissingFormPakName(char *list, int listSize, const char *formPakPath);
// Shows "FormPaks Not Found": the names in list (no copy anywhere), the copies passed over with
// why (lines of FindFormPakFile), the number of pages without their FormPak, and where they were
// looked for (the FormPak folder setting "FormDir" and the return's folder).
void ShowMissingFormPaks(HWND owner, const char *list, const char *passed, int pages, const char *returnPath);

#endif // LEVYLINE_FORMPAK_MISSING_H
