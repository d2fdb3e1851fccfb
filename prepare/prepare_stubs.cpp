// prepare_stubs.cpp - placeholders replaced by the real lookups.
#include "prepare/prepare.h"

int FindLayoutField(const FieldTable *, int, const char *, int) { return 0; }
int FreeLayoutTable(FieldTable *) { return 1; }
int GetTaxpayerItemInfo(char, char, TaxpayerItemInfo *) { return 0; }
int ParseTaxpayerFieldType(char, const FieldFormatPart *, const char *, int *, int *, OpenReturn *,
                           const char **, char **, int *) { return 0; }
int ParsePTypeCode(char, const FieldFormatPart *, const char *, int *, int *) { return 0; }
