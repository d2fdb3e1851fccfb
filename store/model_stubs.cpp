// model_stubs.cpp - placeholders replaced by the real data-file routines.
#include "store/store.h"

const char *GetPoolString(const FileRecord *, uint32_t) { return ""; }
