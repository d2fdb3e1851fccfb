// Damaged and hostile data files: every refusal is clean (no crash, no partial record, a
// "999 FHE: " log line and one message), and a deterministic mutation run never crashes.
#include "shell/shell.h"
#include "store/store.h"
#include "prepare/prepare.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "test_packed_util.h"

static int IsEmptyRecord(const FileRecord &f)
{
    FileRecord zero;
    memset(&zero, 0, sizeof zero);
    return memcmp(&f, &zero, sizeof f) == 0;
}

// Reads quietly; 1 when accepted. A refused read must leave the record empty.
static int TryRead(const std::string &path, int mode, FileRecord *f)
{
    int ok = ReadDataFile(path.c_str(), 0, f, READ_DATA_QUIET | mode);
    if (!ok) {
        EXPECT_TRUE(IsEmptyRecord(*f));
    }
    return ok;
}

// Everything a caller may do with an accepted file, to catch reads outside checked data.
static void UseEverything(FileRecord *f, const std::string &path)
{
    if (f->fileType == FILE_TYPE_FORMPAK) {
        const char *a, *b, *c;
        GetHeaderStrings(f, &a, &b, &c);
        for (int i = 0; i < f->pageCount; i++) {
            FormInstance *page = CreatePageRecord(f, i, path.c_str(), 1);
            if (!page)
                continue;
            uint32_t n = ReadFormPakRecord(path.c_str(), page->imageSource == IMAGE_SOURCE_BMP ? page->bmpOffset : page->defOffset,
                                           page->imageSource == IMAGE_SOURCE_BMP ? page->bmpLength : page->defLength,
                                           page->imageSource == IMAGE_SOURCE_BMP ? page->bmpMethod : page->defMethod,
                                           page->taxYear, NULL, 0);
            std::vector<uint8_t> bytes(n + 1);
            if (n)
                ReadFormPakRecord(path.c_str(), page->imageSource == IMAGE_SOURCE_BMP ? page->bmpOffset : page->defOffset,
                                  page->imageSource == IMAGE_SOURCE_BMP ? page->bmpLength : page->defLength,
                                  page->imageSource == IMAGE_SOURCE_BMP ? page->bmpMethod : page->defMethod,
                                  page->taxYear, bytes.data(), n + 1);
            for (int k = 1; k < page->fieldTable->count; k++)
                GetFieldSecondLength(&page->fieldTable->fields[k]);
            FreeFormInstance(page);
        }
    } else if (f->fileType == FILE_TYPE_RETURN) {
        FieldTable *t = MakeSampleFields(0);
        for (int i = 0; i < f->formCount; i++) {
            GetPoolString(f, GetFormDirectory(f)[i].pageKeyOffset);
            ApplyReturnFieldPairs(f, i, t, 1);
        }
        FreeLayoutTable(t);
    }
}

TEST(PackedDamage, RefusalShowsOneMessageAndLogs)
{
    std::string path = TempPath("qv_notours.qvr");
    WriteAll(path, std::vector<uint8_t>(400, 'x'));
    ScriptMessageBoxAnswer(IDOK);
    FileRecord f;
    EXPECT_EQ(0, ReadDataFile(path.c_str(), 0, &f, 0));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Error Reading File", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("not a Levyline data file"));
    char folder[MAX_PATH];
    ASSERT_EQ(1, GetProgramFolder(folder, FOLDER_DATA));
    std::vector<uint8_t> log = ReadAll(std::string(folder) + "\\Quorvel.log");
    std::string text(log.begin(), log.end());
    EXPECT_NE(std::string::npos, text.find("999 FHE: " + path));
    EXPECT_TRUE(IsEmptyRecord(f));
    // Missing and empty files.
    EXPECT_EQ(0, TryRead(TempPath("qv_missing.qvr"), 0, &f));
    WriteAll(path, std::vector<uint8_t>());
    EXPECT_EQ(0, TryRead(path, 0, &f));
    EXPECT_EQ(0, ReadDataFile(NULL, 0, &f, READ_DATA_QUIET));
    DeleteFileA(path.c_str());
}

TEST(PackedDamage, TruncatedAtEveryRecordBoundaryAndFlippedBytes)
{
    std::string good = MakeSampleFormPak("qv_damage_src.qvp", 1);
    std::vector<uint8_t> image = ReadAll(good);
    PackedFileHeader h = ClearHeader(image);
    std::vector<uint32_t> cuts = {0, 1, 311, 312, 313};
    const PackedFileEntry *entries = (const PackedFileEntry *)(image.data() + sizeof h);
    for (int i = 0; i < h.entryCount; i++) {
        cuts.push_back(entries[i].offset);
        cuts.push_back(entries[i].offset + entries[i].storedLength / 2);
        cuts.push_back(entries[i].offset + entries[i].storedLength - 1);
    }
    std::string path = TempPath("qv_damage.qvp");
    FileRecord f;
    for (uint32_t cut : cuts) {
        if (cut >= image.size())
            continue;
        WriteAll(path, std::vector<uint8_t>(image.begin(), image.begin() + cut));
        EXPECT_EQ(0, TryRead(path, READ_DATA_PAGES, &f)) << "cut at " << cut;
        // Resealed so the checksum matches the cut file: the structure checks refuse it.
        std::vector<uint8_t> sealed(image.begin(), image.begin() + cut);
        if (cut >= sizeof h) {
            PackedFileHeader ch = ClearHeader(sealed);
            ch.fileLength = cut;
            ScramblePackedHeader(&ch);
            memcpy(sealed.data(), &ch, sizeof ch);
            ResealImage(sealed);
            WriteAll(path, sealed);
            EXPECT_EQ(0, TryRead(path, READ_DATA_PAGES, &f)) << "sealed cut at " << cut;
        }
    }
    // A flipped bit anywhere is caught (by the checksum when nothing else does).
    for (size_t at = 0; at < image.size(); at += 7) {
        std::vector<uint8_t> bad = image;
        bad[at] ^= 0x10;
        WriteAll(path, bad);
        EXPECT_EQ(0, TryRead(path, READ_DATA_PAGES, &f)) << "flip at " << at;
    }
    // One byte more is refused too.
    std::vector<uint8_t> longer = image;
    longer.push_back(0);
    WriteAll(path, longer);
    EXPECT_EQ(0, TryRead(path, 0, &f));
    DeleteFileA(path.c_str());
    DeleteFileA(good.c_str());
}

// Rewrites one entry of a sealed image and reseals it.
static std::vector<uint8_t> WithEntry(std::vector<uint8_t> image, int index, void (*edit)(PackedFileEntry *))
{
    PackedFileEntry *e = (PackedFileEntry *)(image.data() + sizeof(PackedFileHeader)) + index;
    edit(e);
    ResealImage(image);
    return image;
}

TEST(PackedDamage, HostileHeaderAndEntryValues)
{
    std::string good = MakeSampleFormPak("qv_hostile_src.qvp", 0);
    std::vector<uint8_t> image = ReadAll(good);
    std::string path = TempPath("qv_hostile.qvp");
    FileRecord f;
    auto expectRefused = [&](const std::vector<uint8_t> &img, const char *what) {
        WriteAll(path, img);
        EXPECT_EQ(0, TryRead(path, READ_DATA_PAGES, &f)) << what;
    };
    void (*edits[])(PackedFileEntry *) = {
        [](PackedFileEntry *e) { e->offset = 0xFFFFFFF0u; },
        [](PackedFileEntry *e) { e->storedLength = 0xFFFFFFFFu; },
        [](PackedFileEntry *e) { e->decodedLength = e->storedLength + 1; },
        [](PackedFileEntry *e) { e->offset = 20; },            // inside the header
        [](PackedFileEntry *e) { e->recordId = 11; },
        [](PackedFileEntry *e) { e->recordId = REC_STRING_POOL; },   // twice
        [](PackedFileEntry *e) { e->method = 7; },
        [](PackedFileEntry *e) { e->offset -= 4; },            // overlaps its neighbour
    };
    for (size_t k = 0; k < sizeof edits / sizeof edits[0]; k++)
        expectRefused(WithEntry(image, 0, edits[k]), "entry edit");
    struct {
        void (*edit)(PackedFileHeader *);
        const char *what;
    } headers[] = {
        {[](PackedFileHeader *h) { h->entryCount = 65535; }, "entry count"},
        {[](PackedFileHeader *h) { h->version = 9; }, "version"},
        {[](PackedFileHeader *h) { h->fileType = 0; }, "file type"},
        {[](PackedFileHeader *h) { h->fileLength += 1; }, "file length"},
        {[](PackedFileHeader *h) { h->magic[0] = 'X'; }, "magic"},
    };
    for (auto &c : headers) {
        std::vector<uint8_t> img = image;
        PackedFileHeader h = ClearHeader(img);
        c.edit(&h);
        ScramblePackedHeader(&h);
        memcpy(img.data(), &h, sizeof h);
        ResealImage(img);
        expectRefused(img, c.what);
    }
    DeleteFileA(path.c_str());
    DeleteFileA(good.c_str());
}

// Builds a FormPak from raw records (checksum right, contents as given).
static std::string WriteRawFormPak(const char *name, const std::vector<uint8_t> &dir, const std::vector<uint8_t> &pool,
                                   const std::vector<uint8_t> &fields, const std::vector<uint8_t> &pcl)
{
    std::string path = TempPath(name);
    static const char header[] = "Form 1\0";
    PackedRecordDesc recs[5] = {{REC_HEADER_STRINGS, 0, header, sizeof header - 1},
                                {REC_PAGE_DIRECTORY, 0, dir.data(), (uint32_t)dir.size()},
                                {REC_STRING_POOL, 0, pool.data(), (uint32_t)pool.size()},
                                {REC_FIELD_DEFS, 0, fields.data(), (uint32_t)fields.size()},
                                {REC_PAGE_DEFS, 0, pcl.data(), (uint32_t)pcl.size()}};
    WritePackedFile(path.c_str(), FILE_TYPE_FORMPAK, 2024, NULL, recs, 5);
    return path;
}

TEST(PackedDamage, ContentsThatPointOutsideTheirRecords)
{
    // A valid base: one page "Form 1", one field.
    PackBuffer pool = {}, fields = {};
    uint32_t nameOffset = PackPoolString(&pool, "Form 1", 6);
    FieldTable *t = MakeSampleFields(1);
    t->fields[1].tabLinks[TAB_NEXT] = 1;   // the page holds this one field
    EncodeFieldDefinitions(&fields, t->fields, 2);
    FreeLayoutTable(t);
    std::vector<uint8_t> poolBytes(pool.data, pool.data + pool.length);
    std::vector<uint8_t> fieldBytes(fields.data, fields.data + fields.length);
    PackFree(&pool);
    PackFree(&fields);
    std::vector<uint8_t> pcl = {'\x1b', 'E', 'x', '\x0c'};
    // Offsets of the page-definition record: header 312 + 5 entries, then the records in order.
    uint32_t pclOffset = 312 + 5 * 16 + 7 + sizeof(PageDirectoryEntry) + (uint32_t)poolBytes.size() + (uint32_t)fieldBytes.size();
    PageDirectoryEntry e = {};
    e.nameOffset = nameOffset;
    e.pageNumber = 1;
    e.jurisdiction = 100;
    e.imageSource = IMAGE_SOURCE_PCL;
    e.imageStart = pclOffset;
    e.imageEnd = pclOffset + 4;
    e.fieldStart = 0;
    e.fieldLength = (uint32_t)fieldBytes.size();
    e.fieldCount = 1;
    auto dirOf = [](const PageDirectoryEntry &x) {
        return std::vector<uint8_t>((const uint8_t *)&x, (const uint8_t *)&x + sizeof x);
    };
    FileRecord f;
    std::string path = WriteRawFormPak("qv_raw.qvp", dirOf(e), poolBytes, fieldBytes, pcl);
    ASSERT_EQ(1, TryRead(path, READ_DATA_PAGES, &f)) << "the base file is valid";
    UseEverything(&f, path);
    ReleaseFileRecord(&f, NULL);

    struct Case {
        const char *what;
        void (*edit)(PageDirectoryEntry *);
    } cases[] = {
        {"name offset", [](PageDirectoryEntry *x) { x->nameOffset = 9999; }},
        {"name offset 0", [](PageDirectoryEntry *x) { x->nameOffset = 0; }},
        {"name offset mid-text", [](PageDirectoryEntry *x) { x->nameOffset += 2; }},
        {"page number", [](PageDirectoryEntry *x) { x->pageNumber = 0; }},
        {"image source", [](PageDirectoryEntry *x) { x->imageSource = 5; }},
        {"image start", [](PageDirectoryEntry *x) { x->imageStart -= 1; }},
        {"image end", [](PageDirectoryEntry *x) { x->imageEnd += 1; }},
        {"image reversed", [](PageDirectoryEntry *x) { x->imageEnd = x->imageStart - 1; }},
        {"bitmap record missing", [](PageDirectoryEntry *x) { x->imageSource = IMAGE_SOURCE_BMP; }},
        {"field range", [](PageDirectoryEntry *x) { x->fieldLength += 1; }},
        {"field start", [](PageDirectoryEntry *x) { x->fieldStart = 0xFFFFFFF0u; }},
        {"field count", [](PageDirectoryEntry *x) { x->fieldCount = 2; }},
        {"field count huge", [](PageDirectoryEntry *x) { x->fieldCount = 65535; }},
    };
    for (const Case &c : cases) {
        PageDirectoryEntry bad = e;
        c.edit(&bad);
        path = WriteRawFormPak("qv_raw.qvp", dirOf(bad), poolBytes, fieldBytes, pcl);
        EXPECT_EQ(0, TryRead(path, READ_DATA_PAGES, &f)) << c.what;
    }
    // A directory that is not a whole number of entries.
    std::vector<uint8_t> cut = dirOf(e);
    cut.pop_back();
    path = WriteRawFormPak("qv_raw.qvp", cut, poolBytes, fieldBytes, pcl);
    EXPECT_EQ(0, TryRead(path, 0, &f));
    // Field definitions: a text length running past the run, a tab link outside the page, a
    // rectangle outside the page, a signature block of the wrong length, a text with a zero.
    struct FieldCase {
        const char *what;
        size_t at;
        uint8_t value;
    };
    // The first field: mask (2 bytes), then word 0: length (4 bytes) "0010".
    std::vector<FieldCase> fieldCases = {
        {"text length", 2, 0xFF}, {"mask", 1, 0xF8}, {"zero in text", 6, 0},
        {"tab link", fieldBytes.size() - 1, 0x40}, {"rectangle", fieldBytes.size() - 8, 0x7F},
    };
    for (const FieldCase &c : fieldCases) {
        std::vector<uint8_t> bad = fieldBytes;
        bad[c.at] = c.value;
        path = WriteRawFormPak("qv_raw.qvp", dirOf(e), poolBytes, bad, pcl);
        EXPECT_EQ(0, TryRead(path, 0, &f)) << c.what;
    }
    // The string pool must be a whole sequence of entries.
    std::vector<uint8_t> badPool = poolBytes;
    badPool[0] = 0x40;
    path = WriteRawFormPak("qv_raw.qvp", dirOf(e), badPool, fieldBytes, pcl);
    EXPECT_EQ(0, TryRead(path, 0, &f));
    DeleteFileA(path.c_str());
}

TEST(PackedDamage, ReturnFileContents)
{
    OpenReturn r;
    InitOpenReturn(&r);
    std::string path = TempPath("qv_badret.qvr");
    FileRecord f;
    // Unknown layout and a size word that disagrees with the record's length.
    SetReturnU32(&r, RETURN_SIZE_WORD, 3000);
    PackedRecordDesc rec = {REC_RETURN, 1, &r, sizeof r};
    WritePackedFile(path.c_str(), FILE_TYPE_RETURN, 2024, NULL, &rec, 1);
    EXPECT_EQ(0, TryRead(path, 0, &f));
    SetReturnU32(&r, RETURN_SIZE_WORD, 2656);
    WritePackedFile(path.c_str(), FILE_TYPE_RETURN, 2024, NULL, &rec, 1);
    EXPECT_EQ(0, TryRead(path, 0, &f));
    rec.length = 2656;
    WritePackedFile(path.c_str(), FILE_TYPE_RETURN, 2024, NULL, &rec, 1);
    EXPECT_EQ(1, TryRead(path, 0, &f));   // an older layout is recognised
    OpenReturn upgraded;
    EXPECT_EQ(1, UpgradeReturnRecord(&upgraded, f.slots[REC_RETURN].data, f.slots[REC_RETURN].length));
    EXPECT_EQ(3200u, GetReturnU32(&upgraded, RETURN_SIZE_WORD));
    ReleaseFileRecord(&f, NULL);
    // A return file without its record.
    static const char notes[] = "a\0b\0c";
    PackedRecordDesc only = {REC_NOTES, 0, notes, sizeof notes};
    WritePackedFile(path.c_str(), FILE_TYPE_RETURN, 2024, NULL, &only, 1);
    EXPECT_EQ(0, TryRead(path, 0, &f));
    // Form directory entries pointing outside the pool and the pairs.
    SetReturnU32(&r, RETURN_SIZE_WORD, 3200);
    PackBuffer pool = {};
    FormDirectoryEntry e = {};
    e.pageKeyOffset = PackPoolString(&pool, "Form 1.1", 8);
    e.formPakOffset = PackPoolString(&pool, "a.qvp", 5);
    uint8_t pairs[] = {6, 4, 0, '0', '0', '1', '0', 2, 0, 0, 0, 'h', 'i'};
    e.pairCount = 1;
    e.pairLength = sizeof pairs;
    auto write = [&](const FormDirectoryEntry &x, const uint8_t *p, uint32_t n) {
        PackedRecordDesc recs[4] = {{REC_RETURN, 1, &r, sizeof r},
                                    {REC_STRING_POOL, 1, pool.data, pool.length},
                                    {REC_FORM_DIRECTORY, 1, &x, sizeof x},
                                    {REC_FIELD_PAIRS, 1, p, n}};
        WritePackedFile(path.c_str(), FILE_TYPE_RETURN, 2024, NULL, recs, 4);
    };
    write(e, pairs, sizeof pairs);
    ASSERT_EQ(1, TryRead(path, 0, &f));
    UseEverything(&f, path);
    FieldTable *t = MakeSampleFields(0);
    EXPECT_EQ(1, ApplyReturnFieldPairs(&f, 0, t, 0));
    EXPECT_STREQ("hi", t->fields[1].value);
    FreeLayoutTable(t);
    ReleaseFileRecord(&f, NULL);
    FormDirectoryEntry bad = e;
    bad.pageKeyOffset = 3;
    write(bad, pairs, sizeof pairs);
    EXPECT_EQ(0, TryRead(path, 0, &f)) << "page key offset";
    bad = e;
    bad.pairOffset = 1;
    write(bad, pairs, sizeof pairs);
    EXPECT_EQ(0, TryRead(path, 0, &f)) << "pair offset";
    bad = e;
    bad.pairCount = 2;
    write(bad, pairs, sizeof pairs);
    EXPECT_EQ(0, TryRead(path, 0, &f)) << "pair count";
    uint8_t badPairs[sizeof pairs];
    memcpy(badPairs, pairs, sizeof pairs);
    badPairs[7] = 200;   // value length past the record
    write(e, badPairs, sizeof pairs);
    EXPECT_EQ(0, TryRead(path, 0, &f)) << "value length";
    memcpy(badPairs, pairs, sizeof pairs);
    badPairs[0] = 5;     // an unknown word
    write(e, badPairs, sizeof pairs);
    EXPECT_EQ(0, TryRead(path, 0, &f)) << "word";
    // A short "qvbb" block in word 9 would make readers of the signature run past it.
    uint8_t sigPair[] = {9, 4, 0, '0', '0', '1', '0', 8, 0, 0, 0, 'q', 'v', 'b', 'b', 1, 0, 0, 0};
    e.pairLength = sizeof sigPair;
    write(e, sigPair, sizeof sigPair);
    EXPECT_EQ(0, TryRead(path, 0, &f)) << "short signature block";
    PackFree(&pool);
    DeleteFileA(path.c_str());
}

TEST(PackedDamage, DeterministicMutationRunNeverCrashes)
{
    std::string good = MakeSampleFormPak("qv_mut_src.qvp", 0);
    std::vector<uint8_t> pak = ReadAll(good);
    OpenReturn r;
    InitOpenReturn(&r);
    FileRecord pakRecord;
    ASSERT_EQ(1, ReadDataFile(good.c_str(), 0, &pakRecord, 0));
    FormInstance *page = CreatePageRecord(&pakRecord, 0, NULL, 1);
    SetFieldText(&page->fieldTable->fields[1].value, "value");
    ReleaseFileRecord(&pakRecord, NULL);
    std::string retPath = TempPath("qv_mut_src.qvr");
    ASSERT_EQ(1, WriteReturnFile(retPath.c_str(), &r, &page, 1, NULL));
    FreeFormInstance(page);
    std::vector<uint8_t> ret = ReadAll(retPath);
    // Method 0 files are used so that byte changes land in the records' contents.
    std::string path = TempPath("qv_mut.qvp");
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    int accepted = 0, refused = 0;
    DWORD start = GetTickCount();
    for (int round = 0; round < 1500 && GetTickCount() - start < 40000; round++) {
        std::vector<uint8_t> img = (round & 1) ? ret : pak;
        int changes = 1 + (int)(next() % 4);
        for (int c = 0; c < changes; c++) {
            size_t at = sizeof(PackedFileHeader) + next() % (img.size() - sizeof(PackedFileHeader));
            switch (next() % 3) {
            case 0: img[at] ^= (uint8_t)(1u << (next() % 8)); break;
            case 1: img[at] = (uint8_t)next(); break;
            default: img[at] = (next() & 1) ? 0xFF : 0x00; break;
            }
        }
        ResealImage(img);
        WriteAll(path, img);
        FileRecord f;
        if (TryRead(path, READ_DATA_PAGES, &f)) {
            accepted++;
            UseEverything(&f, path);
            ReleaseFileRecord(&f, NULL);
        } else {
            refused++;
        }
    }
    printf("mutation run: %d accepted, %d refused\n", accepted, refused);
    EXPECT_GT(refused, 0);
    EXPECT_GT(accepted, 0);
    EXPECT_GT(accepted + refused, 100);
    gReturnModified = 0;
    DeleteFileA(path.c_str());
    DeleteFileA(retPath.c_str());
    DeleteFileA(good.c_str());
}
