// imports_private.h - declarations shared by the import files of entry/ only.
#ifndef LEVYLINE_ENTRY_IMPORTS_PRIVATE_H
#define LEVYLINE_ENTRY_IMPORTS_PRIVATE_H

#include "entry/imports/imports.h"

// Before page field tables are written: the edit bar committed and closed, the recompute worker
// ended. 0 when the edit bar refused its value (nothing may be written then).
int PrepareFieldTablesForImport(void);
// The value (word 6) of field seq in form directoryIndex of a read return file, into out (cut to
// outSize - 1). 1 when the form has that field.
int GetImportFormValue(FileRecord *file, int directoryIndex, const char *seq, char *out, int outSize);

#endif // LEVYLINE_ENTRY_IMPORTS_PRIVATE_H
