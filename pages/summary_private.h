// summary_private.h - helpers shared by the files of the Summary and Status pages.
#ifndef LEVYLINE_PAGES_SUMMARY_PRIVATE_H
#define LEVYLINE_PAGES_SUMMARY_PRIVATE_H

#include "pages/summary.h"

// String id of the program's string table into out, or fallback when the table lacks it.
void LoadSummaryString(int id, const char *fallback, char *out, int outSize);

#endif
