// return_write.cpp - writing a return file: the return record, one form-directory entry and
// the saved values per page, and the notes.
#include "store/store.h"

#include <string.h>

int WriteReturnFile(const char *path, const OpenReturn *record, FormInstance *const *pages,
                    int count, const char *const notes[3])
{
    if (!record || count < 0 || count > 65535 || (count && !pages))
        return 0;
    OpenReturn stored = *record;
    SetReturnU32(&stored, RETURN_SIZE_WORD, OPEN_RETURN_SIZE);
    PackBuffer header = {}, pool = {}, pairs = {}, dir = {}, noteText = {};
    const char *nameLine = ReturnText(&stored, RETURN_NAME_LINE);
    PackAppend(&header, nameLine, (uint32_t)strnlen(nameLine, 49));
    PackAppend(&header, NULL, 1);
    int ok = 1;
    for (int i = 0; ok && i < count; i++) {
        const FormInstance *page = pages[i];
        if (!page || page->kind != PAGE_KIND_FORM)
            continue;
        FormDirectoryEntry e;
        memset(&e, 0, sizeof e);
        const char *key = page->pageKey ? page->pageKey : "";
        const char *pak = page->formPakPath ? page->formPakPath : "";
        if (!*key || strlen(key) >= FORM_NAME_SIZE || strlen(pak) >= MAX_PATH) {
            ok = 0;
            break;
        }
        e.pageKeyOffset = PackPoolString(&pool, key, (uint32_t)strlen(key));
        e.formPakOffset = PackPoolString(&pool, pak, (uint32_t)strlen(pak));
        e.formIndex = page->formIndex;
        e.taxYear = page->taxYear;
        e.jurisdiction = page->jurisdiction;
        e.flags = (uint8_t)((page->mainForm ? PAGE_FLAG_MAIN_FORM : 0) |
                            (page->landscape ? PAGE_FLAG_LANDSCAPE : 0) | (page->amended ? FORM_FLAG_AMENDED : 0));
        e.copyNumber = page->copyNumber;
        e.pairOffset = pairs.length;
        EncodeFieldPairs(&pairs, page->fieldTable, &e.pairCount);
        e.pairLength = pairs.length - e.pairOffset;
        if (!e.pairCount)
            e.pairOffset = 0;
        PackAppend(&dir, &e, sizeof e);
    }
    for (int i = 0; i < 3; i++) {
        const char *text = notes && notes[i] ? notes[i] : "";
        PackAppend(&noteText, text, (uint32_t)strlen(text) + 1);
    }
    ok = ok && !header.failed && !pool.failed && !pairs.failed && !dir.failed && !noteText.failed;
    int written = 0;
    if (ok) {
        PackedRecordDesc records[6];
        int n = 0;
        records[n++] = {REC_HEADER_STRINGS, RECORD_METHOD_XOR, header.data, header.length};
        records[n++] = {REC_RETURN, RECORD_METHOD_XOR, &stored, (uint32_t)sizeof stored};
        records[n++] = {REC_STRING_POOL, RECORD_METHOD_XOR, pool.data, pool.length};
        records[n++] = {REC_FORM_DIRECTORY, RECORD_METHOD_XOR, dir.data, dir.length};
        records[n++] = {REC_FIELD_PAIRS, RECORD_METHOD_XOR, pairs.data, pairs.length};
        records[n++] = {REC_NOTES, RECORD_METHOD_XOR, noteText.data, noteText.length};
        written = WritePackedFile(path, FILE_TYPE_RETURN, PROGRAM_TAX_YEAR, "Levyline 2024", records, n);
    }
    PackFree(&header);
    PackFree(&pool);
    PackFree(&pairs);
    PackFree(&dir);
    PackFree(&noteText);
    return written;
}
