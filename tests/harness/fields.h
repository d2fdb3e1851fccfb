// Test support for field tables: pages of calculation fields built from a short list of
// specs, and lookups of a field and its value by sequence number.
#ifndef LEVYLINE_TEST_FIELDS_H
#define LEVYLINE_TEST_FIELDS_H

#include "store/store.h"

#include <string>

// One field of a test table; the texts left out stay empty.
struct FieldSpec {
    const char *seq;
    const char *type;
    const char *formula;       // the field's value list
    const char *value;
    const char *line;
    const char *description;
};

// A field table of n fields (record 0 the dummy) with its sorted index built.
FieldTable *MakeTable(const FieldSpec *specs, int n);
// A form page keyed key that owns table.
FormInstance *MakePage(const char *key, FieldTable *table);
// The field of a table with sequence number seq (null when there is none).
FieldRecord *Field(FieldTable *table, const char *seq);
// The value of that field ("" when it or its value is missing).
std::string Value(FieldTable *table, const char *seq);

#endif
