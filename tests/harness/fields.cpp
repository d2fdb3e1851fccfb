// Test support: see fields.h.
#include "tests/harness/fields.h"

#include <string.h>

FieldTable *MakeTable(const FieldSpec *specs, int n)
{
    FieldTable *table = CreateFieldTable(n + 1);
    for (int i = 0; i < n; i++) {
        FieldRecord *f = &table->fields[i + 1];
        SetFieldText(&f->seq, specs[i].seq);
        SetFieldText(&f->typeCode, specs[i].type);
        SetFieldText(&f->valueList, specs[i].formula);
        SetFieldText(&f->value, specs[i].value);
        SetFieldText(&f->line, specs[i].line);
        SetFieldText(&f->description, specs[i].description);
    }
    BuildSortedFieldIndex(table);
    return table;
}

FormInstance *MakePage(const char *key, FieldTable *table)
{
    FormInstance *page = (FormInstance *)MemAlloc(64, sizeof(FormInstance));
    page->kind = PAGE_KIND_FORM;
    SetFieldText(&page->pageKey, key);
    page->fieldTable = table;
    return page;
}

FieldRecord *Field(FieldTable *table, const char *seq)
{
    for (int i = 1; i < table->count; i++)
        if (table->fields[i].seq && strcmp(table->fields[i].seq, seq) == 0)
            return &table->fields[i];
    return nullptr;
}

std::string Value(FieldTable *table, const char *seq)
{
    FieldRecord *f = Field(table, seq);
    return f && f->value ? f->value : "";
}

SpecFields::SpecFields(const std::vector<PakFieldSpec> &specs) : records(specs.size() + 1), rects(specs.size() + 1)
{
    memset(records.data(), 0, records.size() * sizeof(FieldRecord));
    for (size_t i = 0; i < specs.size(); i++) {
        FieldRecord &r = records[i + 1];
        r.seq = (char *)specs[i].seq;
        r.description = (char *)"Field";
        r.typeCode = (char *)specs[i].type;
        r.length = (char *)specs[i].length;
        rects[i + 1] = specs[i].rect;
        r.rect = &rects[i + 1];
    }
}

void SetValues(FormInstance *page, const std::vector<PakFieldSpec> &specs)
{
    for (size_t i = 0; i < specs.size(); i++)
        if (specs[i].value)
            SetFieldText(&page->fieldTable->fields[i + 1].value, specs[i].value);
}
