// dump.cpp - qvtool dump: the records and pages of a data file, read through ReadDataFile.
#include "tools/qvtool/qvtool.h"
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

static const char *RecordName(int id)
{
    static const char *names[REC_SLOT_COUNT] = {"header strings", "page directory", "string pool",
                                                "field definitions", "page definitions", "page bitmaps",
                                                "return record", "form directory", "field values", "notes",
                                                "batch status"};
    return id >= 0 && id < REC_SLOT_COUNT ? names[id] : "?";
}

static const char *FileTypeName(int type)
{
    switch (type) {
    case FILE_TYPE_FORMPAK: return "FormPak";
    case FILE_TYPE_RETURN: return "return file";
    case FILE_TYPE_UPLOAD: return "upload package";
    case FILE_TYPE_STATUS: return "status file";
    default: return "?";
    }
}

// Prints a text with control characters escaped, cut at max characters.
static void PrintText(const char *text, size_t length, size_t max)
{
    putchar('"');
    for (size_t i = 0; i < length && i < max; i++) {
        unsigned char c = (unsigned char)text[i];
        if (c == '"' || c == '\\')
            printf("\\%c", c);
        else if (c < 32 || c >= 127)
            printf("\\x%02X", c);
        else
            putchar(c);
    }
    if (length > max)
        printf("...");
    putchar('"');
}

static void PrintFields(const FieldTable *t)
{
    for (int i = 1; i < t->count; i++) {
        const FieldRecord *f = &t->fields[i];
        printf("      [%d] seq=%s type=%s len=%s line=%s", i, f->seq ? f->seq : "", f->typeCode ? f->typeCode : "",
               f->length ? f->length : "", f->line ? f->line : "");
        if (f->rect)
            printf(" rect=%ld,%ld,%ld,%ld", f->rect->left, f->rect->top, f->rect->right, f->rect->bottom);
        printf(" tab=%u,%u", f->tabLinks[0], f->tabLinks[1]);
        if (f->description && *f->description) {
            printf(" desc=");
            PrintText(f->description, strlen(f->description), 60);
        }
        if (f->valueList && *f->valueList) {
            printf(" list=");
            PrintText(f->valueList, strlen(f->valueList), 200);
        }
        if (f->groupLabel && *f->groupLabel) {
            printf(" group=");
            PrintText(f->groupLabel, strlen(f->groupLabel), 60);
        }
        if (f->value) {
            printf(" value=");
            PrintText(f->value, strlen(f->value), 60);
        }
        if (f->second)
            printf(" second=%u bytes", GetFieldSecondLength(f));
        printf("\n");
    }
}

static void DumpFormPak(FileRecord *f, int withFields)
{
    const char *texts[3];
    int n = GetHeaderStrings(f, &texts[0], &texts[1], &texts[2]);
    for (int i = 0; i < n; i++)
        printf("header %d: %s\n", i + 1, texts[i]);
    printf("pages: %d\n", f->pageCount);
    const PageDirectoryEntry *dir = GetPageDirectory(f);
    for (int i = 0; i < f->pageCount; i++) {
        const PageDirectoryEntry *e = &dir[i];
        printf("  page %d: \"%s.%u\" jurisdiction %u source %u image %u..%u copies %u flags %u fields %u\n", i,
               GetPoolString(f, e->nameOffset), e->pageNumber, e->jurisdiction, e->imageSource, e->imageStart,
               e->imageEnd, e->maxCopies, e->flags, e->fieldCount);
        if (withFields) {
            FieldTable *t = BuildFieldTableFromFormPak(f, i);
            if (t) {
                PrintFields(t);
                FreeLayoutTable(t);
            }
        }
    }
}

static void DumpReturn(FileRecord *f, int withFields)
{
    OpenReturn r;
    memset(&r, 0, sizeof r);
    const FileRecordSlot *rec = &f->slots[REC_RETURN];
    memcpy(r.bytes, rec->data, rec->length < sizeof r ? rec->length : sizeof r);
    printf("return record: %u bytes\n", rec->length);
    if (rec->length == OPEN_RETURN_SIZE) {
        printf("  name line: %s\n", ReturnText(&r, RETURN_NAME_LINE));
        printf("  taxpayer: %s %s %s\n", ReturnText(&r, RETURN_TAXPAYER + PERSON_FIRST_NAME),
               ReturnText(&r, RETURN_TAXPAYER + PERSON_LAST_NAME), ReturnText(&r, RETURN_TAXPAYER + PERSON_SSN));
        printf("  spouse: %s %s %s\n", ReturnText(&r, RETURN_SPOUSE + PERSON_FIRST_NAME),
               ReturnText(&r, RETURN_SPOUSE + PERSON_LAST_NAME), ReturnText(&r, RETURN_SPOUSE + PERSON_SSN));
        printf("  address: %s, %s %s %s\n", ReturnText(&r, RETURN_STREET), ReturnText(&r, RETURN_CITY),
               ReturnText(&r, RETURN_STATE), ReturnText(&r, RETURN_ZIP));
        const char *parts[3] = {"federal", "state", "other"};
        int blocks[3] = {RETURN_PART_FEDERAL, RETURN_PART_STATE, RETURN_PART_OTHER};
        for (int i = 0; i < 3; i++) {
            uint8_t status = r.bytes[blocks[i] + PART_STATUS_LETTER];
            printf("  %s part: present %u status %c\n", parts[i], r.bytes[RETURN_PART_PRESENT + i],
                   status ? status : '-');
        }
    }
    printf("forms: %d\n", f->formCount);
    const FormDirectoryEntry *dir = GetFormDirectory(f);
    for (int i = 0; i < f->formCount; i++) {
        const FormDirectoryEntry *e = &dir[i];
        printf("  form %d: \"%s\" FormPak \"%s\" index %u year %u jurisdiction %u copy %u values %u\n", i,
               GetPoolString(f, e->pageKeyOffset), GetPoolString(f, e->formPakOffset), e->formIndex, e->taxYear,
               e->jurisdiction, e->copyNumber, e->pairCount);
        if (withFields && e->pairCount) {
            struct Printer {
                static int Print(void *, int word, const char *seq, uint32_t seqLength, const uint8_t *value,
                                 uint32_t valueLength)
                {
                    printf("      %.*s [%d] ", (int)seqLength, seq, word);
                    if (word == 9 && valueLength >= 4 && memcmp(value, "qvbb", 4) == 0)
                        printf("signature block, %u bytes", valueLength);
                    else
                        PrintText((const char *)value, valueLength, 80);
                    printf("\n");
                    return 1;
                }
            };
            WalkFieldPairs(f->slots[REC_FIELD_PAIRS].data + e->pairOffset, e->pairLength, e->pairCount,
                           Printer::Print, NULL, NULL);
        }
    }
    const FileRecordSlot *notes = &f->slots[REC_NOTES];
    if (notes->data) {
        const char *p = (const char *)notes->data, *end = p + notes->length;
        const char *names[3] = {"note to IRS", "note to self", "regulatory explanation"};
        for (int i = 0; i < 3 && p < end; i++) {
            size_t n = strnlen(p, (size_t)(end - p));
            if (n) {
                printf("%s: ", names[i]);
                PrintText(p, n, 200);
                printf("\n");
            }
            p += n + 1;
        }
    }
}

int RunDump(const char *path, int withFields)
{
    FileRecord f;
    // The program's own reader decides: a refused file gives its message (on stderr).
    if (!ReadDataFile(path, 0, &f, READ_DATA_PAGES))
        return 0;
    printf("%s: %s, tax year %u, %u records\n", path, FileTypeName(f.fileType), f.taxYear, f.entryCount);
    for (uint32_t i = 0; i < f.entryCount; i++) {
        const PackedFileEntry *e = &f.entries[i];
        printf("  record %u (%s): offset %u, %u bytes stored, %u decoded, method %u\n", e->recordId,
               RecordName(e->recordId), e->offset, e->storedLength, e->decodedLength, e->method);
    }
    if (f.fileType == FILE_TYPE_FORMPAK)
        DumpFormPak(&f, withFields);
    else if (f.fileType == FILE_TYPE_RETURN)
        DumpReturn(&f, withFields);
    ReleaseFileRecord(&f, NULL);
    return 1;
}
