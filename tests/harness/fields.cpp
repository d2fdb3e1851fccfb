// Test support: see fields.h.
#include "tests/harness/fields.h"

#include <string.h>

FieldTable *MakeTable(const FieldDesc *descs, int n)
{
    FieldTable *table = CreateFieldTable(n + 1);
    for (int i = 0; i < n; i++) {
        FieldRecord *f = &table->fields[i + 1];
        SetFieldText(&f->seq, descs[i].seq);
        SetFieldText(&f->typeCode, descs[i].type);
        SetFieldText(&f->valueList, descs[i].formula);
        SetFieldText(&f->value, descs[i].value);
        SetFieldText(&f->line, descs[i].line);
        SetFieldText(&f->description, descs[i].description);
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

DescribedFields::DescribedFields(const std::vector<PakFieldDesc> &descs) : records(descs.size() + 1), rects(descs.size() + 1)
{
    memset(records.data(), 0, records.size() * sizeof(FieldRecord));
    for (size_t i = 0; i < descs.size(); i++) {
        FieldRecord &r = records[i + 1];
        r.seq = (char *)descs[i].seq;
        r.description = (char *)"Field";
        r.typeCode = (char *)descs[i].type;
        r.length = (char *)descs[i].length;
        rects[i + 1] = descs[i].rect;
        r.rect = &rects[i + 1];
    }
}

void SetValues(FormInstance *page, const std::vector<PakFieldDesc> &descs)
{
    for (size_t i = 0; i < descs.size(); i++)
        if (descs[i].value)
            SetFieldText(&page->fieldTable->fields[i + 1].value, descs[i].value);
}
