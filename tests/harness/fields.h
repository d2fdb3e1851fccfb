// Test support for field tables: pages of calculation fields built from a short list of
// descs, lookups of a field and its value by sequence number, and the field records of a
// FormPak page a test writes.
#ifndef LEVYLINE_TEST_FIELDS_H
#define LEVYLINE_TEST_FIELDS_H

#include "store/store.h"

#include <string>
#include <vector>

// One field of a test table; the texts left out stay empty.
struct FieldDesc {
    const char *seq;
    const char *type;
    const char *formula;       // the field's value list
    const char *value;
    const char *line;
    const char *description;
};

// A field table of n fields (record 0 the dummy) with its sorted index built.
FieldTable *MakeTable(const FieldDesc *descs, int n);
// A form page keyed key that owns table.
FormInstance *MakePage(const char *key, FieldTable *table);
// The field of a table with sequence number seq (null when there is none).
FieldRecord *Field(FieldTable *table, const char *seq);
// The value of that field ("" when it or its value is missing).
std::string Value(FieldTable *table, const char *seq);

// ---- FormPak pages ----
// One field of a FormPak page a test writes: its texts and its rectangle on the page.
struct PakFieldDesc {
    const char *seq, *type, *length, *value;
    RECT rect;
};

// Field records for a FormPak page (record 0 is the dummy). The texts point at the descs.
struct DescribedFields {
    std::vector<FieldRecord> records;
    std::vector<RECT> rects;
    explicit DescribedFields(const std::vector<PakFieldDesc> &descs);
};

// Values are set after the page record is made (the FormPak holds definitions only).
void SetValues(FormInstance *page, const std::vector<PakFieldDesc> &descs);

#endif
