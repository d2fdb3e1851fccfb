// model_stubs.cpp - placeholders replaced by the real model routines.
#include "store/store.h"

int ParseFieldFormat(const char *, FieldFormat *formatOut, int) { if (formatOut) formatOut->count = 0; return 0; }
int ParseFieldAttributes(const FieldRecord *, int *, int *, int *, int *) { return 0; }
FormInstance *FreeFormInstance(FormInstance *) { return 0; }
ReturnPageEnumProc gReturnPageEnumerator;
int FindReturnPages(int, const void *, FormInstance **, intptr_t) { return 0; }
void SetTestReturnPages(FormInstance *const *, int) {}
const char *GetPoolString(const FileRecord *, uint32_t) { return ""; }
int GetReturnMemberSize(int) { return 0; }
