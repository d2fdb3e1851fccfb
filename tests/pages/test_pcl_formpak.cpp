// Form pages from a FormPak: the page-definition record read from the file or the page-data
// cache, the page's own range of it rendered, landscape forms turned.
#include <gtest/gtest.h>
#include "pages/pages.h"
#include "entry/entry.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_pcl_util.h"
#include "tools/pclgen/pclstreams.h"
#include <string.h>
#include <string>
#include <vector>

using namespace pclgen;

namespace {

std::string TempFile(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

std::string SquarePage(int x, int y, int size)
{
    std::string s;
    Esc(s, "E");
    CursorTo(s, x, y);
    Cmd(s, "*c", size, 'A');
    Cmd(s, "*c", size, 'B');
    Esc(s, "*c0P");
    s += '\f';
    return s;
}

struct FormPakFixture {
    std::string path;
    FileRecord file;
    std::string first, second;
    FormPakFixture()
    {
        memset(&file, 0, sizeof file);
        path = TempFile("pcl_pages.qvp");
        std::string irs;
        first = ReadWholeFile(BuildPath("testdata/f1040sb-1.pcl"), &irs) ? irs : SquarePage(100, 100, 50);
        second = SquarePage(0, 0, 20);
        FormPakPageDesc pages[2] = {};
        pages[0] = {"Schedule B", 1, 1, 100, 0, IMAGE_SOURCE_PCL, (const uint8_t *)first.data(),
                    (uint32_t)first.size(), NULL, 0, {1, 1}};
        pages[1] = {"Form 3800", 3, 1, 100, 0, IMAGE_SOURCE_PCL2, (const uint8_t *)second.data(),
                    (uint32_t)second.size(), NULL, 0, {1, 2}};
        const char *header[] = {"Schedule B"};
        if (WriteFormPak(path.c_str(), 2024, header, 1, pages, 2, RECORD_METHOD_XOR) == 1)
            ReadDataFile(path.c_str(), 0, &file, 0);
    }
    ~FormPakFixture()
    {
        ReleaseFileRecord(&file, NULL);
        DeleteFileA(path.c_str());
    }
};

std::vector<uint8_t> ReadRecord(FormInstance *page)
{
    uint32_t length = ReadPageImageData(NULL, 0, page);
    std::vector<uint8_t> bytes(length + 1);
    EXPECT_EQ(length, ReadPageImageData(bytes.data(), length + 1, page));
    bytes.resize(length);
    return bytes;
}

} // namespace

TEST(PclFormPak, PagesRenderTheirOwnRangeOfTheRecord)
{
    FormPakFixture fx;
    ASSERT_EQ(FILE_TYPE_FORMPAK, fx.file.fileType);
    FormInstance *page = CreatePageRecord(&fx.file, 0, fx.path.c_str(), 0);
    ASSERT_TRUE(page);
    std::vector<uint8_t> record = ReadRecord(page);
    ASSERT_GE(record.size(), fx.first.size() + fx.second.size());
    HBITMAP bitmap = RenderPclPage(record.data(), (uint32_t)record.size(), page, NULL);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(0, page->landscape);
    PageInk ink;
    ASSERT_TRUE(ReadPageInk(bitmap, &ink));
    EXPECT_EQ(2400, ink.width);
    PageInk alone;
    ASSERT_TRUE(RenderStream(fx.first, &alone));
    EXPECT_EQ(alone.pixels, ink.pixels);   // the same page as its stream alone
    DeleteObject(bitmap);

    // A range that reaches past the record is cut at its end; an empty one gives nothing.
    uint32_t end = page->imageEnd;
    page->imageEnd = 0x7FFFFFFF;
    bitmap = RenderPclPage(record.data(), (uint32_t)record.size(), page, NULL);
    EXPECT_TRUE(bitmap);   // the page's form feed still comes first
    if (bitmap) DeleteObject(bitmap);
    page->imageEnd = page->imageStart;
    EXPECT_EQ(NULL, RenderPclPage(record.data(), (uint32_t)record.size(), page, NULL));
    page->imageEnd = end;
    EXPECT_EQ(NULL, RenderPclPage(NULL, 0, page, NULL));
    FreeFormInstance(page);

    // The second page is a landscape form: turned, and the page says so.
    page = CreatePageRecord(&fx.file, 1, fx.path.c_str(), 0);
    ASSERT_TRUE(page);
    EXPECT_STREQ("Form 3800.3", page->pageKey);
    record = ReadRecord(page);
    bitmap = RenderPclPage(record.data(), (uint32_t)record.size(), page, NULL);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(1, page->landscape);
    ASSERT_TRUE(ReadPageInk(bitmap, &ink));
    EXPECT_EQ(3168, ink.width);
    EXPECT_EQ(2400, ink.height);
    EXPECT_EQ(400, ink.CountBlack(3148, 0, 3168, 20));
    DeleteObject(bitmap);
    FreeFormInstance(page);
}

TEST(PclFormPak, TheCacheServesOnlyTheSameRecordOfTheSameFormPak)
{
    FormPakFixture fx;
    ASSERT_EQ(FILE_TYPE_FORMPAK, fx.file.fileType);
    FormInstance *page = CreatePageRecord(&fx.file, 1, fx.path.c_str(), 0);
    ASSERT_TRUE(page);
    std::vector<uint8_t> fromFile = ReadRecord(page);
    ASSERT_FALSE(fromFile.empty());

    // The cache holds this record, marked so that its bytes can be told from the file's.
    std::string pathCopy = fx.path;
    FormPakRecord source;
    memset(&source, 0, sizeof source);
    source.path = &pathCopy[0];
    uint8_t *cached = (uint8_t *)MemAlloc(64, fromFile.size() + 1);
    memcpy(cached, fromFile.data(), fromFile.size());
    cached[0] = 'X';
    SetCachedPageData(&source, page->defOffset, page->defLength, page->defMethod, cached, (uint32_t)fromFile.size());
    EXPECT_EQ('X', ReadRecord(page)[0]);

    // Another record of the FormPak (here: another method) is read from the file.
    uint32_t method = page->defMethod;
    page->defMethod = method ^ 1;
    EXPECT_EQ(0u, ReadPageImageData(NULL, 0, page));   // no such record in the file either
    page->defMethod = method;

    // The same record offsets in another FormPak are not served from this cache.
    std::string otherPath = TempFile("other.qvp");
    FormPakRecord other;
    memset(&other, 0, sizeof other);
    other.path = &otherPath[0];
    gCachedPageSource = &other;
    std::vector<uint8_t> again = ReadRecord(page);
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(fromFile[0], again[0]);
    gCachedPageSource = &source;

    // A page of another FormPak path is not served from it either.
    char *saved = page->formPakPath;
    char elsewhere[] = "C:\\nowhere\\missing.qvp";
    page->formPakPath = elsewhere;
    EXPECT_EQ(0u, ReadPageImageData(NULL, 0, page));
    page->formPakPath = saved;

    // The bounded copy: a small buffer gets what fits.
    uint8_t small4[4];
    EXPECT_EQ(4u, ReadPageImageData(small4, 4, page));
    EXPECT_EQ('X', small4[0]);
    ClearCachedPageData();
    FreeFormInstance(page);
}
