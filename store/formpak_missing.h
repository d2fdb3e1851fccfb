// formpak_missing.h - finding the FormPaks an opened return names, and telling the user which of
// them were not found or are damaged.
#ifndef LEVYLINE_FORMPAK_MISSING_H
#define LEVYLINE_FORMPAK_MISSING_H

#include <windows.h>

struct FileRecord;

// Finds and reads the FormPak a return file names (stored: its path when the return was saved),
// trying in turn the stored path, its file name in the FormPak folder (setting "FormDir") and in
// the folder of the return file returnPath. A copy that cannot be read as a FormPak is passed
// over for the next place. 1 with *record read and its path in found (foundSize bytes); 0 when
// no copy was there; -1 when copies were there but none could be read: each is appended to
// damaged (damagedSize bytes) as "path: reason" and a blank line.
int FindFormPakFile(const char *stored, const char *returnPath, FileRecord *record, char *found, int foundSize,
                    char *damaged, int damagedSize);
// Adds the file name of a FormPak path to list (listSize bytes, ", "-separated, each name once).
void AddMissingFormPakName(char *list, int listSize, const char *formPakPath);
// Shows "FormPaks Not Found" (or "FormPaks Damaged" when damaged holds lines of FindFormPakFile):
// the names in list, the damaged copies, the number of pages without their FormPak, and where
// they were looked for (the FormPak folder setting "FormDir" and the return's folder).
void ShowMissingFormPaks(HWND owner, const char *list, const char *damaged, int pages, const char *returnPath);

#endif // LEVYLINE_FORMPAK_MISSING_H
