// Form data import of the Minnesota property tax refund papers: rent-paid certificates
// ("MN CRP.1") and property tax statements ("MN PROPST.1") of another return file copied into
// the open return's pages, with the field moves of a statement from the previous year.
#include "entry/imports/imports_private.h"
#include "pages/pages.h"

#include <stdio.h>
#include <string.h>

static const char kCrpKey[] = "MN CRP.1";
static const char kPropKey[] = "MN PROPST.1";

int FindRemapListEntry(const char *list, const char *seq, char *toOut, int toSize)
{
    if (toOut && toSize > 0)
        toOut[0] = 0;
    if (!list || !seq || !*seq)
        return 0;
    size_t seqLength = strlen(seq);
    const char *p = list;
    while (*p) {
        const char *end = strchr(p, ';');
        size_t length = end ? (size_t)(end - p) : strlen(p);
        const char *arrow = NULL;
        for (size_t i = 0; i + 1 < length; i++)
            if (p[i] == '-' && p[i + 1] == '>') {
                arrow = p + i;
                break;
            }
        size_t fromLength = arrow ? (size_t)(arrow - p) : length;
        if (fromLength == seqLength && strncmp(p, seq, seqLength) == 0) {
            if (arrow && toOut && toSize > 0) {
                size_t toLength = length - fromLength - 2;
                lstrcpynA(toOut, arrow + 2, (int)(toLength + 1 < (size_t)toSize ? toLength + 1 : (size_t)toSize));
            }
            return 1;
        }
        if (!end)
            break;
        p = end + 1;
    }
    return 0;
}

// How one file form goes into one page.
struct RemapRules {
    const char *clearList;   // fields of the page emptied (and not copied from the file)
    const char *moveList;    // "from->to" pairs
    const char *setSeq;      // one field set to setValue instead of copied
    const char *setValue;
};

struct RemapContext {
    FormInstance *page;
    const RemapRules *rules;
    int changed;
};

static void StorePageValue(RemapContext *c, const char *seq, const char *value, int word, const uint8_t *bytes,
                           uint32_t length)
{
    FieldTable *table = c->page->fieldTable;
    int index = FindLayoutField(table, 1, seq, 0);
    if (index <= 0)
        return;   // a field the page does not have is skipped
    FieldRecord *field = &table->fields[index];
    int changed = word == 9 ? SetFieldBlob(&field->second, bytes, length) : SetFieldText(&field->value, value);
    if (changed > 0) {
        c->changed++;
        if (GetCurrentDocument(4) == c->page)
            RedrawField(field);
    }
}

static int RemapPair(void *context, int word, const char *seq, uint32_t seqLength, const uint8_t *value,
                     uint32_t valueLength)
{
    RemapContext *c = (RemapContext *)context;
    char number[64];
    if (seqLength >= sizeof(number))
        return 1;
    memcpy(number, seq, seqLength);
    number[seqLength] = 0;
    const RemapRules *rules = c->rules;
    if (FindRemapListEntry(rules->clearList, number, NULL, 0))
        return 1;
    if (rules->setSeq && strcmp(rules->setSeq, number) == 0)
        return 1;
    char target[64];
    if (!FindRemapListEntry(rules->moveList, number, target, sizeof(target)))
        lstrcpynA(target, number, sizeof(target));
    if (word == 9) {
        StorePageValue(c, target, NULL, 9, value, valueLength);
        return 1;
    }
    char *text = (char *)MemAlloc(64, (size_t)valueLength + 1);
    if (!text)
        return 0;
    memcpy(text, value, valueLength);
    StorePageValue(c, target, text, 6, NULL, 0);
    MemFree(text);
    return 1;
}

// Copies form directoryIndex of the file into page by the rules; returns the fields changed.
static int RemapFormIntoPage(FileRecord *file, int directoryIndex, FormInstance *page, const RemapRules *rules)
{
    if (!page || !page->fieldTable || directoryIndex < 0 || directoryIndex >= file->formCount)
        return 0;
    RemapContext c = {page, rules, 0};
    // The fields the rules empty or set, first.
    for (const char *p = rules->clearList; p && *p;) {
        const char *end = strchr(p, ';');
        size_t length = end ? (size_t)(end - p) : strlen(p);
        char seq[64];
        if (length < sizeof(seq)) {
            memcpy(seq, p, length);
            seq[length] = 0;
            StorePageValue(&c, seq, NULL, 6, NULL, 0);
        }
        p = end ? end + 1 : p + length;
    }
    if (rules->setSeq)
        StorePageValue(&c, rules->setSeq, rules->setValue, 6, NULL, 0);
    const FormDirectoryEntry *e = &GetFormDirectory(file)[directoryIndex];
    const FileRecordSlot *pairs = &file->slots[REC_FIELD_PAIRS];
    if (e->pairCount && pairs->data && e->pairOffset <= pairs->length &&
        e->pairLength <= pairs->length - e->pairOffset &&
        WalkFieldPairs(pairs->data + e->pairOffset, e->pairLength, e->pairCount, NULL, NULL, NULL))
        WalkFieldPairs(pairs->data + e->pairOffset, e->pairLength, e->pairCount, RemapPair, &c, NULL);
    return c.changed;
}

struct FindValueContext {
    const char *seq;
    char *out;
    int outSize;
    int found;
};

static int FindValuePair(void *context, int word, const char *seq, uint32_t seqLength, const uint8_t *value,
                         uint32_t valueLength)
{
    FindValueContext *c = (FindValueContext *)context;
    if (word == 9 || c->found || strlen(c->seq) != seqLength || strncmp(c->seq, seq, seqLength) != 0)
        return 1;
    int copy = (int)valueLength < c->outSize - 1 ? (int)valueLength : c->outSize - 1;
    memcpy(c->out, value, (size_t)copy);
    c->out[copy] = 0;
    c->found = 1;
    return 1;
}

int GetImportFormValue(FileRecord *file, int directoryIndex, const char *seq, char *out, int outSize)
{
    out[0] = 0;
    if (!file || directoryIndex < 0 || directoryIndex >= file->formCount || !GetFormDirectory(file))
        return 0;
    const FormDirectoryEntry *e = &GetFormDirectory(file)[directoryIndex];
    const FileRecordSlot *pairs = &file->slots[REC_FIELD_PAIRS];
    if (!e->pairCount || !pairs->data || e->pairOffset > pairs->length ||
        e->pairLength > pairs->length - e->pairOffset)
        return 0;
    FindValueContext c = {seq, out, outSize, 0};
    if (!WalkFieldPairs(pairs->data + e->pairOffset, e->pairLength, e->pairCount, FindValuePair, &c, NULL))
        return 0;
    return c.found;
}

int RemapMnCrpFields(FileRecord *fileRecord, uint16_t fileTaxYear)
{
    if (!fileRecord || fileRecord->fileType != FILE_TYPE_RETURN || !GetFormDirectory(fileRecord))
        return 0;
    int returnCrp = FindReturnPages(9, kCrpKey, NULL, 0);
    int returnProp = FindReturnPages(9, kPropKey, NULL, 0);
    if (returnCrp <= 0 && returnProp <= 0)
        return 0;
    // The file's certificates and statements.
    int fileCrp = 0, firstCrp = -1, latestCrp = -1, fileProp = 0, firstProp = -1;
    char latest[16] = "01/01/2000";
    const FormDirectoryEntry *directory = GetFormDirectory(fileRecord);
    for (int i = 0; i < fileRecord->formCount; i++) {
        const char *key = GetPoolString(fileRecord, directory[i].pageKeyOffset);
        if (_stricmp(key, kCrpKey) == 0) {
            fileCrp++;
            if (firstCrp < 0)
                firstCrp = i;
            char date[64];
            if (GetImportFormValue(fileRecord, i, "0220", date, sizeof(date)) && strlen(date) <= 11 &&
                lstrcmpiA(date, latest) > 0) {
                lstrcpynA(latest, date, sizeof(latest));
                latestCrp = i;
            }
        } else if (_stricmp(key, kPropKey) == 0) {
            fileProp++;
            if (firstProp < 0)
                firstProp = i;
        }
    }
    if (!PrepareFieldTablesForImport())
        return 0;
    int written = 0;
    if (fileProp && returnProp > 0) {
        FormInstance *page = NULL;
        if (FindReturnPages(14, kPropKey, &page, 0) > 0 && page) {
            static const RemapRules same = {NULL, NULL, NULL, NULL};
            static const RemapRules previous = {"0130;0140;0150;0160;0170;0180;0190;0200;A300;A0310",
                                                "0210->0130;0220->0140;0230->0150;0240->0160;0250->0170;"
                                                "0260->0190;0270->0200",
                                                NULL, NULL};
            static const RemapRules other = {"0130;0140;0150;0160;0170;0180;0190;0200;0210;0220;0230;0240;0250;"
                                             "0260;0270;A300;A0310",
                                             NULL, NULL, NULL};
            const RemapRules *rules = page->taxYear == fileTaxYear           ? &same
                                      : page->taxYear == fileTaxYear + 1 ? &previous
                                                                          : &other;
            RemapFormIntoPage(fileRecord, firstProp, page, rules);
            written++;
        }
    }
    if (fileCrp && returnCrp > 0 && latestCrp >= 0) {
        static const RemapRules same = {NULL, NULL, NULL, NULL};
        static const RemapRules other = {"0220;0240;0245;0250;0260;A0310", NULL, "0210", "01/01/2024"};
        int pageCount = 0;
        FormInstance **pages = SnapshotReturnPages(1, kCrpKey, &pageCount);
        // The certificates' own tax year decides (not the page shown).
        uint16_t crpYear = pageCount > 0 && pages && pages[0] ? pages[0]->taxYear : 0;
        if (pages && crpYear == fileTaxYear && fileCrp <= pageCount) {
            int next = 0;
            for (int i = firstCrp; i < fileRecord->formCount && next < pageCount; i++) {
                if (_stricmp(GetPoolString(fileRecord, directory[i].pageKeyOffset), kCrpKey) != 0)
                    continue;
                FormInstance *page = pages[next++];
                if (!page)
                    continue;
                RemapFormIntoPage(fileRecord, i, page, page->taxYear == fileTaxYear ? &same : &other);
                written++;
            }
        } else if (pages && pageCount > 0 && pages[0]) {
            FormInstance *page = pages[0];
            RemapFormIntoPage(fileRecord, latestCrp, page, page->taxYear == fileTaxYear ? &same : &other);
            written++;
        }
        MemFree(pages);
    }
    return written;
}
