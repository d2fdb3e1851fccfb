// Packed data files: FormPaks, return files and status files written and read back.
#include "shell/shell.h"
#include "store/store.h"
#include "prepare/prepare.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "test_packed_util.h"

std::string TempPath(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

std::vector<uint8_t> ReadAll(const std::string &path)
{
    std::string data = ReadWholeFile(path);
    return std::vector<uint8_t>(data.begin(), data.end());
}

void WriteAll(const std::string &path, const std::vector<uint8_t> &data)
{
    FILE *fp = fopen(path.c_str(), "wb");
    if (data.size())
        fwrite(data.data(), 1, data.size(), fp);
    fclose(fp);
}

void ResealImage(std::vector<uint8_t> &image)
{
    PackedFileHeader h;
    memcpy(&h, image.data(), sizeof h);
    ScramblePackedHeader(&h);
    memcpy(image.data(), &h, sizeof h);
    h.checksum = ComputePackedChecksum(image.data(), (uint32_t)image.size());
    ScramblePackedHeader(&h);
    memcpy(image.data(), &h, sizeof h);
}

PackedFileHeader ClearHeader(const std::vector<uint8_t> &image)
{
    PackedFileHeader h;
    memcpy(&h, image.data(), sizeof h);
    ScramblePackedHeader(&h);
    return h;
}

static char *Dup(const char *text)
{
    char *copy = (char *)MemAlloc(64, strlen(text) + 1);
    strcpy(copy, text);
    return copy;
}

std::vector<uint8_t> MakeSignatureBlock(uint32_t bits)
{
    std::vector<uint8_t> block(32 + bits, 0x55);
    memcpy(block.data(), "qvbb", 4);
    float scale = 0.5f;
    memcpy(block.data() + 4, &scale, 4);
    memcpy(block.data() + 28, &bits, 4);
    block[40 % block.size()] = 0;
    return block;
}

// Fields of a sample page: every word, rectangles, tab links, a signature block.
FieldTable *MakeSampleFields(int withSignature)
{
    FieldTable *t = CreateFieldTable(4);
    const char *seqs[] = {"0010", "0020", "0030"};
    const char *types[] = {"T[1a]", "CN", "S[sig]"};
    for (int i = 1; i <= 3; i++) {
        FieldRecord *f = &t->fields[i];
        f->seq = Dup(seqs[i - 1]);
        f->description = Dup("Description, with \"quotes\"");
        f->line = Dup("1a");
        f->length = Dup("12");
        f->typeCode = Dup(types[i - 1]);
        f->valueList = Dup(i == 2 ? "0010,0030" : "");
        f->seqPrefix = Dup("A");
        f->groupLabel = Dup("[g|label]");
        f->rect = (RECT *)MemAlloc(64, sizeof(RECT));
        *f->rect = {100 * i, 200, 100 * i + 90, 240};
        f->tabLinks[TAB_PREVIOUS] = (uint16_t)(i - 1);
        f->tabLinks[TAB_NEXT] = (uint16_t)(i < 3 ? i + 1 : 0);
    }
    MemFree(t->fields[2].rect);
    t->fields[2].rect = NULL;   // not on the page
    if (withSignature) {
        std::vector<uint8_t> sig = MakeSignatureBlock(24);
        SetFieldBlob(&t->fields[3].second, sig.data(), (uint32_t)sig.size());
    }
    BuildSortedFieldIndex(t);
    return t;
}

std::string MakeSampleFormPak(const char *name, int method)
{
    static const char pcl1[] = "\x1b" "E@PJL COMMENT page one\r\n\x1b*p100x200YHello\x0c";
    static const char pcl2[] = "\x1b" "E\x1b*p300x400YPage two\x0c";
    uint8_t bmp[64];
    memset(bmp, 0, sizeof bmp);
    memcpy(bmp, "BM", 2);
    uint8_t block[200];
    memcpy(block, bmp, sizeof bmp);
    DWORD blockLength = 0;
    // A real "_rvq" block: compress 64 bytes that compress well.
    EXPECT_EQ(1, CompressBlock(block, sizeof bmp, &blockLength, 1, 1));
    FieldTable *fields = MakeSampleFields(1);
    FieldTable *one = CreateFieldTable(2);
    one->fields[1].seq = Dup("0500");
    one->fields[1].typeCode = Dup("x[o]");
    FormPakPageDesc pages[3] = {};
    pages[0] = {"Form 9999", 1, 1, 100, PAGE_FLAG_MAIN_FORM, IMAGE_SOURCE_PCL, (const uint8_t *)pcl1,
                (uint32_t)sizeof pcl1 - 1, fields->fields, fields->count, {1, 2}};
    pages[1] = {"Form 9999", 2, 1, 100, 0, IMAGE_SOURCE_PCL2, (const uint8_t *)pcl2,
                (uint32_t)sizeof pcl2 - 1, NULL, 0, {1, 3}};
    pages[2] = {"Schedule Z", 1, 5, 24, PAGE_FLAG_LANDSCAPE, IMAGE_SOURCE_BMP, block, blockLength,
                one->fields, one->count, {2, 1}};
    const char *header[] = {"Form 9999", "Test forms", "v1"};
    std::string path = TempPath(name);
    EXPECT_EQ(1, WriteFormPak(path.c_str(), 2024, header, 3, pages, 3, method));
    FreeLayoutTable(fields);
    FreeLayoutTable(one);
    return path;
}

static void ExpectSameFields(const FieldTable *a, const FieldTable *b)
{
    ASSERT_EQ(a->count, b->count);
    for (int i = 1; i < a->count; i++) {
        const FieldRecord *x = &a->fields[i], *y = &b->fields[i];
        char *const *wx = &x->seq;
        char *const *wy = &y->seq;
        for (int w = 0; w < 9; w++) {
            if (wx[w] && *wx[w]) {
                EXPECT_STREQ(wx[w], wy[w]) << "field " << i << " word " << w;
            } else {
                EXPECT_TRUE(!wy[w] || !*wy[w]) << "field " << i << " word " << w;
            }
        }
        ASSERT_EQ(GetFieldSecondLength(x), GetFieldSecondLength(y));
        if (x->second) {
            EXPECT_EQ(0, memcmp(x->second, y->second, GetFieldSecondLength(x)));
        }
        ASSERT_EQ(x->rect == NULL, y->rect == NULL);
        if (x->rect) {
            EXPECT_TRUE(EqualRect(x->rect, y->rect));
        }
        EXPECT_EQ(x->tabLinks[0], y->tabLinks[0]);
        EXPECT_EQ(x->tabLinks[1], y->tabLinks[1]);
    }
}

TEST(PackedFormPak, RoundTripOfEveryRecordKind)
{
    for (int method = 0; method <= 1; method++) {
        std::string path = MakeSampleFormPak("qv_rt.qvp", method);
        FileRecord f;
        ASSERT_EQ(1, ReadDataFile(path.c_str(), 0, &f, READ_DATA_PAGES));
        EXPECT_EQ(FILE_TYPE_FORMPAK, f.fileType);
        EXPECT_EQ(2024, f.taxYear);
        EXPECT_EQ(3, f.pageCount);
        const char *a, *b, *c;
        EXPECT_EQ(3, GetHeaderStrings(&f, &a, &b, &c));
        EXPECT_STREQ("Form 9999", a);
        EXPECT_STREQ("Test forms", b);
        PageDirectoryEntry *dir = GetPageDirectory(&f);
        EXPECT_STREQ("Schedule Z", GetPoolString(&f, dir[2].nameOffset));
        EXPECT_EQ(5, dir[2].maxCopies);
        EXPECT_EQ(24, dir[2].jurisdiction);
        EXPECT_EQ(0, dir[0].copiesToAdd);
        EXPECT_EQ(0, FindPageInFileRecord(&f, "form 9999.1"));
        EXPECT_EQ(1, FindPageInFileRecord(&f, "Form 9999.2"));
        EXPECT_EQ(-1, FindPageInFileRecord(&f, "Form 9999.3"));
        EXPECT_EQ(-1, FindPageInFileRecord(&f, "Form 9999"));

        // Fields come back word for word; the table starts with the dummy record.
        FieldTable *expected = MakeSampleFields(1);
        FieldTable *got = BuildFieldTableFromFormPak(&f, 0);
        ASSERT_NE(nullptr, got);
        EXPECT_EQ(NULL, got->fields[0].seq);
        ExpectSameFields(expected, got);
        EXPECT_EQ(2, FindLayoutField(got, 1, "0020", 0));
        FreeLayoutTable(got);
        got = BuildFieldTableFromFormPak(&f, 1);
        ASSERT_NE(nullptr, got);
        EXPECT_EQ(1, got->count);
        FreeLayoutTable(got);
        FreeLayoutTable(expected);

        // Page records: the page's range of the record, read on demand or from the slot.
        FormInstance *page = CreatePageRecord(&f, 1, NULL, 0);
        ASSERT_NE(nullptr, page);
        EXPECT_STREQ("Form 9999.2", page->pageKey);
        EXPECT_STREQ("Form 9999, Page 2", page->displayName);
        EXPECT_EQ(IMAGE_SOURCE_PCL2, page->imageSource);
        EXPECT_EQ((uint32_t)method, page->defMethod);
        uint32_t length = ReadFormPakRecord(path.c_str(), page->defOffset, page->defLength, page->defMethod,
                                            page->taxYear, NULL, 0);
        ASSERT_EQ(f.slots[REC_PAGE_DEFS].length, length);
        std::vector<uint8_t> bytes(length + 1);
        ASSERT_EQ(length, ReadFormPakRecord(path.c_str(), page->defOffset, page->defLength, page->defMethod,
                                            page->taxYear, bytes.data(), length + 1));
        EXPECT_EQ(0, memcmp(bytes.data(), f.slots[REC_PAGE_DEFS].data, length));
        std::string own((const char *)bytes.data() + (page->imageStart - page->defOffset),
                        page->imageEnd - page->imageStart);
        EXPECT_EQ(std::string("\x1b" "E\x1b*p300x400YPage two\x0c"), own);
        // A record that is not one of the file's entries is not read.
        EXPECT_EQ(0u, ReadFormPakRecord(path.c_str(), page->defOffset + 1, page->defLength, page->defMethod,
                                        page->taxYear, bytes.data(), length + 1));
        FreeFormInstance(page);

        page = CreatePageRecord(&f, 2, "C:\\elsewhere.qvp", 2);
        ASSERT_NE(nullptr, page);
        EXPECT_EQ(1, page->landscape);
        EXPECT_EQ(2, page->copyNumber);
        EXPECT_STREQ("C:\\elsewhere.qvp", page->formPakPath);
        const uint8_t *rec = f.slots[REC_PAGE_BITMAPS].data;
        const uint8_t *blockStart = rec + (page->imageStart - page->bmpOffset);
        DWORD expanded = 0;
        void *bmp = UncompressBlock(blockStart, page->imageEnd - page->imageStart + 1, &expanded);
        ASSERT_NE(nullptr, bmp);
        EXPECT_EQ(64u, expanded);
        EXPECT_EQ(0, memcmp(bmp, "BM", 2));
        MemFree(bmp);
        FreeFormInstance(page);

        int copies = 0;
        uint16_t year = 0;
        EXPECT_EQ(2, FindFormInFormPak(path.c_str(), "Schedule Z.1", &copies, &year));
        EXPECT_EQ(5, copies);
        EXPECT_EQ(2024, year);
        ReleaseFileRecord(&f, NULL);
        EXPECT_EQ(NULL, f.slots[REC_PAGE_DIRECTORY].data);
        DeleteFileA(path.c_str());
    }
}

TEST(PackedFormPak, PageRecordsAreLoadedOnlyWhenAsked)
{
    std::string path = MakeSampleFormPak("qv_lazy.qvp", 1);
    FileRecord f;
    ASSERT_EQ(1, ReadDataFile(path.c_str(), 0, &f, 0));
    EXPECT_EQ(NULL, f.slots[REC_PAGE_DEFS].data);
    EXPECT_NE(nullptr, FindFileEntry(&f, REC_PAGE_DEFS));
    EXPECT_NE(nullptr, f.slots[REC_FIELD_DEFS].data);
    ReleaseFileRecord(&f, NULL);
    DeleteFileA(path.c_str());
}

TEST(PackedReturn, RoundTripOfRecordPagesValuesAndNotes)
{
    std::string pakPath = MakeSampleFormPak("qv_ret.qvp", 1);
    FileRecord pak;
    ASSERT_EQ(1, ReadDataFile(pakPath.c_str(), 0, &pak, 0));
    FormInstance *p1 = CreatePageRecord(&pak, 0, NULL, 1);
    FormInstance *p2 = CreatePageRecord(&pak, 2, NULL, 1);
    ASSERT_TRUE(p1 && p2);
    p2->amended = 1;
    SetFieldText(&p1->fieldTable->fields[1].value, "123-45-6789");
    SetFieldText(&p1->fieldTable->fields[2].value, "1,234");
    SetFieldText(&p1->fieldTable->fields[2].second, "overflow text");
    SetFieldText(&p2->fieldTable->fields[1].value, "x");

    OpenReturn r;
    InitOpenReturn(&r);
    SetReturnText(&r, RETURN_NAME_LINE, 50, "Ann B Lee");
    SetReturnText(&r, RETURN_TAXPAYER + PERSON_SSN, 12, "123456789");
    r.bytes[RETURN_PART_FEDERAL + PART_STATUS_LETTER] = 'A';
    const char *notes[3] = {"To the IRS", NULL, "Regulatory"};
    FormInstance *pages[] = {p1, p2};
    std::string path = TempPath("qv_rt.qvr");
    ASSERT_EQ(1, WriteReturnFile(path.c_str(), &r, pages, 2, notes));

    FileRecord ret;
    ASSERT_EQ(1, ReadDataFile(path.c_str(), 0, &ret, 0));
    EXPECT_EQ(FILE_TYPE_RETURN, ret.fileType);
    EXPECT_EQ(2, ret.formCount);
    ASSERT_EQ((uint32_t)OPEN_RETURN_SIZE, ret.slots[REC_RETURN].length);
    EXPECT_EQ(0, memcmp(ret.slots[REC_RETURN].data, r.bytes, OPEN_RETURN_SIZE));
    const FormDirectoryEntry *dir = GetFormDirectory(&ret);
    EXPECT_STREQ("Form 9999.1", GetPoolString(&ret, dir[0].pageKeyOffset));
    EXPECT_STREQ(pakPath.c_str(), GetPoolString(&ret, dir[1].formPakOffset));
    EXPECT_EQ(2, dir[1].formIndex);
    EXPECT_EQ(FORM_FLAG_AMENDED, dir[1].flags & FORM_FLAG_AMENDED);
    EXPECT_EQ(PAGE_FLAG_MAIN_FORM, dir[0].flags & PAGE_FLAG_MAIN_FORM);
    const char *n = (const char *)ret.slots[REC_NOTES].data;
    EXPECT_STREQ("To the IRS", n);
    EXPECT_STREQ("", n + 11);
    EXPECT_STREQ("Regulatory", n + 12);
    const char *name;
    GetHeaderStrings(&ret, &name, NULL, NULL);
    EXPECT_STREQ("Ann B Lee", name);

    // Values go back into fresh tables of the FormPak's pages.
    FieldTable *t1 = BuildFieldTableFromFormPak(&pak, dir[0].formIndex);
    gReturnLoading = 1;
    EXPECT_EQ(4, ApplyReturnFieldPairs(&ret, 0, t1, 1));   // SSN, amount, overflow, signature
    gReturnLoading = 0;
    ExpectSameFields(p1->fieldTable, t1);
    FreeLayoutTable(t1);
    FieldTable *t2 = BuildFieldTableFromFormPak(&pak, dir[1].formIndex);
    EXPECT_EQ(1, ApplyReturnFieldPairs(&ret, 1, t2, 0));
    EXPECT_STREQ("x", t2->fields[1].value);
    EXPECT_EQ(-1, ApplyReturnFieldPairs(&ret, 2, t2, 0));   // no such form
    FreeLayoutTable(t2);

    OpenReturn back;
    EXPECT_EQ(1, UpgradeReturnRecord(&back, ret.slots[REC_RETURN].data, ret.slots[REC_RETURN].length));
    EXPECT_EQ(0, memcmp(back.bytes, r.bytes, OPEN_RETURN_SIZE));
    EXPECT_EQ(0, UpgradeReturnRecord(&back, ret.slots[REC_RETURN].data, 3000));   // length disagrees
    ReleaseFileRecord(&ret, NULL);
    ReleaseFileRecord(&pak, NULL);
    FreeFormInstance(p1);
    FreeFormInstance(p2);
    DeleteFileA(path.c_str());
    DeleteFileA(pakPath.c_str());
    gReturnModified = 0;
}

TEST(PackedFile, StatusFileAndEmptyReturn)
{
    std::string path = TempPath("qv_status.dat");
    uint8_t block[60];
    for (int i = 0; i < 60; i++)
        block[i] = (uint8_t)i;
    PackedRecordDesc rec = {REC_BATCH_STATUS, RECORD_METHOD_XOR, block, sizeof block};
    ASSERT_EQ(1, WritePackedFile(path.c_str(), FILE_TYPE_STATUS, 2024, NULL, &rec, 1));
    FileRecord f;
    ASSERT_EQ(1, ReadDataFile(path.c_str(), 0, &f, 0));
    ASSERT_EQ(60u, f.slots[REC_BATCH_STATUS].length);
    EXPECT_EQ(0, memcmp(block, f.slots[REC_BATCH_STATUS].data, 60));
    EXPECT_EQ(0, f.slots[REC_BATCH_STATUS].data[60]);   // one zero byte past the data
    ReleaseFileRecord(&f, NULL);

    OpenReturn r;
    InitOpenReturn(&r);
    ASSERT_EQ(1, WriteReturnFile(path.c_str(), &r, NULL, 0, NULL));
    ASSERT_EQ(1, ReadDataFile(path.c_str(), 0, &f, 0));
    EXPECT_EQ(0, f.formCount);
    ReleaseFileRecord(&f, NULL);
    DeleteFileA(path.c_str());
}

TEST(PackedFile, WriterKeepsThePreviousFileWhenItFails)
{
    std::string path = TempPath("qv_keep.qvr");
    OpenReturn r;
    InitOpenReturn(&r);
    ASSERT_EQ(1, WriteReturnFile(path.c_str(), &r, NULL, 0, NULL));
    std::vector<uint8_t> before = ReadAll(path);
    // A temporary file that cannot be created (a folder of that name is in the way).
    std::string temp = path + ".tmp";
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), NULL));
    ScriptMessageBoxAnswer(IDOK);
    SetReturnText(&r, RETURN_NAME_LINE, 50, "changed");
    EXPECT_EQ(0, WriteReturnFile(path.c_str(), &r, NULL, 0, NULL));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Error Writing File", GetShownMessageBoxes()[0].title);
    EXPECT_EQ(before, ReadAll(path));
    RemoveDirectoryA(temp.c_str());
    // Bad arguments are refused with a message, nothing written.
    PackedRecordDesc twice[2] = {{REC_NOTES, 0, "a", 1}, {REC_NOTES, 0, "b", 1}};
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, WritePackedFile(path.c_str(), FILE_TYPE_RETURN, 2024, NULL, twice, 2));
    EXPECT_EQ(before, ReadAll(path));
    DeleteFileA(path.c_str());
}

TEST(PageCache, KeyedByFormPakAndRecord)
{
    struct FormPakRecord *a = (struct FormPakRecord *)0x1000, *b = (struct FormPakRecord *)0x2000;
    uint8_t *data = (uint8_t *)MemAlloc(64, 5);
    memcpy(data, "PCL!", 5);
    SetCachedPageData(a, 400, 90, 1, data, 4);
    uint32_t length = 0;
    EXPECT_EQ(data, GetCachedPageData(a, 400, 90, 1, &length));
    EXPECT_EQ(4u, length);
    EXPECT_EQ(nullptr, GetCachedPageData(b, 400, 90, 1, &length));
    EXPECT_EQ(nullptr, GetCachedPageData(a, 400, 91, 1, &length));
    EXPECT_EQ(nullptr, GetCachedPageData(a, 400, 90, 0, &length));
    // Page generation swaps the public source for a while: the cache is not fooled.
    gCachedPageSource = b;
    EXPECT_EQ(nullptr, GetCachedPageData(b, 400, 90, 1, &length));
    gCachedPageSource = a;
    ClearCachedPageData();
    EXPECT_EQ(nullptr, gCachedPageData);
    EXPECT_EQ(nullptr, GetCachedPageData(a, 400, 90, 1, &length));
}

// A write the system refuses says why, in the system's own words.
TEST(PackedFile, RefusedWriteNamesTheSystemsReason)
{
    struct {
        std::string path;
        DWORD error;   // the error the system gives
    } cases[] = {
        {TempPath("qv_no_such_folder\\deeper\\x.qvr"), ERROR_PATH_NOT_FOUND},
    };
    for (const auto &c : cases) {
        OpenReturn r;
        InitOpenReturn(&r);
        ClearShownMessageBoxes();
        ScriptMessageBoxAnswer(IDOK);
        EXPECT_EQ(0, WriteReturnFile(c.path.c_str(), &r, NULL, 0, NULL));
        ASSERT_EQ(1u, GetShownMessageBoxes().size());
        char system[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, c.error, 0, system,
                       sizeof system, NULL);
        std::string reason = system;
        while (!reason.empty() && strchr("\r\n .", reason.back())) reason.pop_back();
        ASSERT_FALSE(reason.empty());
        EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find(reason)) << GetShownMessageBoxes()[0].text;
    }
}
