// Page images of real pages: the 2024 Form 1040 (PCL stream made by Ghostscript from the IRS
// form) and its second page as a compressed BMP, in a FormPak written here, with values of every
// kind painted; a printed Minnesota page with its stamp; a landscape page; print stamps.
#include "pages/pages.h"
#include "entry/entry.h"
#include "tests/harness/fields.h"
#include "tests/harness/harness.h"
#include "tests/harness/pixels.h"
#include "tests/canvas/test_paint_util.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadBytes(const std::string &path)
{
    std::string data = ReadWholeFile(path);
    return std::vector<uint8_t>(data.begin(), data.end());
}

// The program's page region (x 75, y 0, 2400 x 3168) of a Ghostscript letter page as the bytes of
// a 1-bit BMP file, compressed into an "_rvq" block as a FormPak stores it.
std::vector<uint8_t> MakeCompressedBmpPage(const std::vector<uint8_t> &letterBmp)
{
    std::vector<uint8_t> block;
    HBITMAP letter = CreateBitmapFromBmpFile(letterBmp.data(), (uint32_t)letterBmp.size());
    if (!letter) return block;
    RECT region = {75, 0, 75 + 2400, 3168};
    HBITMAP page = CopyBitmapRegion(letter, &region);
    DeleteObject(letter);
    CanvasBits bits;
    if (!page || !GetCanvasBits(page, &bits)) return block;
    GdiFlush();
    int stride = (2400 + 31) / 32 * 4;
    uint32_t offset = 14 + 40 + 8;
    const RGBQUAD mono[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    std::vector<uint8_t> file = MakeBmpFile(2400, 3168, 1, mono, 2, 0);
    file.resize(file.size() + 64, 0);   // room for the compressor
    for (int y = 0; y < 3168; y++)   // bottom-up rows
        memcpy(file.data() + offset + (size_t)(3167 - y) * stride, CanvasRow(bits, y), (size_t)stride);
    DeleteObject(page);
    DWORD length = 0;
    if (!CompressBlock(file.data(), offset + (DWORD)stride * 3168, &length, 1, 1)) return block;
    file.resize(length);
    return file;
}

const std::vector<PakFieldDesc> kPage1Fields = {
    {"0010", "A", "30", "JOHN Q SAMPLE", {200, 1200, 1100, 1270}},
    {"0020", "N", "9", "123-45-6789", {1300, 1200, 1900, 1270}},
    {"0030", "N", "12", "52,000", {1300, 1320, 2300, 1390}},
    {"0040", "D", "10", "04/15/2025", {200, 1320, 1100, 1390}},
    {"0050", "X", "1", "X", {200, 1440, 260, 1500}},
    {"0060", "A", "60", "First line\\r\\nSecond line", {200, 1560, 1400, 1720}},
    {"0070", "A", "20", "WWWWWWWWWWWWWWWWWWWW", {200, 1800, 900, 1870}},
    {"0080", "A", "99", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", {1000, 1800, 1500, 1870}},
    {"0090", "T[1x]", "20", "TAGGED", {1300, 1440, 2300, 1510}},
};

const std::vector<PakFieldDesc> kPage2Fields = {
    {"0010", "N", "12", "7,500", {1300, 400, 2300, 470}},
    {"0020", "T[1x]", "20", "TAGGED", {200, 400, 1100, 470}},
};

const std::vector<PakFieldDesc> kLandscapeFields = {
    {"0010", "A", "20", "LANDSCAPE", {2700, 200, 3100, 270}},
};

// A FormPak made from the Ghostscript pages: "Form 1040" pages 1 (PCL) and 2 (BMP), "Form M1"
// page 2 (PCL, Minnesota), "Form 3800" page 3 (PCL, landscape).
class RealPages : public testing::Test {
protected:
    static std::string sPath;
    static int sReady;
    static void SetUpTestSuite()
    {
        std::vector<uint8_t> pcl = ReadBytes(BuildPath("testdata/f1040-1.pcl"));
        std::vector<uint8_t> letter = ReadBytes(BuildPath("testdata/f1040-2.bmp"));
        if (pcl.empty() || letter.empty()) return;
        std::vector<uint8_t> bmp = MakeCompressedBmpPage(letter);
        if (bmp.empty()) return;
        char folder[MAX_PATH];
        GetTempPathA(sizeof(folder), folder);
        sPath = std::string(folder) + "LevylinePageImageTest.qvp";
        DescribedFields f1(kPage1Fields), f2(kPage2Fields), fm(kPage1Fields), fl(kLandscapeFields);
        FormPakPageDesc pages[4];
        memset(pages, 0, sizeof(pages));
        pages[0] = {"Form 1040", 1, 1, 100, PAGE_FLAG_MAIN_FORM, IMAGE_SOURCE_PCL, pcl.data(), (uint32_t)pcl.size(),
                    f1.records.data(), (int)f1.records.size(), {1, 1}};
        pages[1] = {"Form 1040", 2, 1, 100, 0, IMAGE_SOURCE_BMP, bmp.data(), (uint32_t)bmp.size(),
                    f2.records.data(), (int)f2.records.size(), {1, 2}};
        pages[2] = {"Form M1", 2, 1, 24, 0, IMAGE_SOURCE_PCL2, pcl.data(), (uint32_t)pcl.size(),
                    fm.records.data(), (int)fm.records.size(), {2, 1}};
        pages[3] = {"Form 3800", 3, 1, 100, 0, IMAGE_SOURCE_PCL, pcl.data(), (uint32_t)pcl.size(),
                    fl.records.data(), (int)fl.records.size(), {3, 1}};
        const char *header[1] = {"Form 1040"};
        sReady = WriteFormPak(sPath.c_str(), 2024, header, 1, pages, 4, 0);
    }
    static void TearDownTestSuite()
    {
        if (!sPath.empty()) DeleteFileA(sPath.c_str());
    }
    void SetUp() override
    {
        if (!sReady) GTEST_SKIP() << "no Ghostscript test pages";
        memset(&mFile, 0, sizeof(mFile));
        ASSERT_EQ(1, ReadDataFile(sPath.c_str(), 0, &mFile, READ_DATA_QUIET));
        DeleteRegistryValue(REG_SCOPE_YEAR, "TxtColor");
        DeleteRegistryValue(REG_SCOPE_YEAR, "DataFont");
    }
    void TearDown() override
    {
        for (FormInstance *p : mPages) FreeFormInstance(p);
        ReleaseFileRecord(&mFile, NULL);
        FreeFieldClips();
        gPrintInProgress = gPdfInProgress = 0;
        gPrintPageJurisdiction = gPdfPageJurisdiction = 0;
    }
    FormInstance *Page(int index, const std::vector<PakFieldDesc> &values)
    {
        FormInstance *page = CreatePageRecord(&mFile, index, sPath.c_str(), 1);
        if (page) {
            mPages.push_back(page);
            SetValues(page, values);
        }
        return page;
    }
    FileRecord mFile;
    std::vector<FormInstance *> mPages;
};
std::string RealPages::sPath;
int RealPages::sReady;

struct Snapshot {
    std::vector<unsigned> pixels;
    int width = 0, height = 0;
    explicit Snapshot(HBITMAP bitmap)
    {
        GetBitmapSize(bitmap, &width, &height);
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, bitmap);
        pixels = TestCanvas::SnapDc(dc, width, height);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    RECT Ink(const RECT &area) const { return TestCanvas::InkOf(pixels, width, height, &area); }
    int Count(unsigned rgb, const RECT &area) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; y++)
            for (int x = area.left; x < area.right; x++)
                if (pixels[(size_t)y * width + x] == rgb) n++;
        return n;
    }
    // Bounds of the pixels of one colour inside area.
    RECT Bounds(unsigned rgb, const RECT &area) const
    {
        RECT r = {area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; y++)
            for (int x = area.left; x < area.right; x++)
                if (pixels[(size_t)y * width + x] == rgb) {
                    if (x < r.left) r.left = x;
                    if (y < r.top) r.top = y;
                    if (x + 1 > r.right) r.right = x + 1;
                    if (y + 1 > r.bottom) r.bottom = y + 1;
                }
        return r;
    }
    int Ink() const
    {
        int n = 0;
        for (unsigned p : pixels)
            if (p != 0xFFFFFF) n++;
        return n;
    }
};

const unsigned kTextColour = 0x0000C0;   // 0xC00000 as 0x00RRGGBB

TEST_F(RealPages, Form1040PclPageWithValuesOfEveryKind)
{
    FormInstance *page = Page(0, kPage1Fields);
    ASSERT_TRUE(page != NULL);
    HBITMAP image = GeneratePageImage(page, 0);
    ASSERT_TRUE(image != NULL);
    Snapshot s(image);
    DeleteObject(image);
    ASSERT_EQ(2400, s.width);
    ASSERT_EQ(3168, s.height);
    EXPECT_GT(s.Ink(), 200000);   // the form itself
    const RECT *r = page->fieldTable->fields[1].rect;
    // Name: left-aligned on the bottom line, in the field text colour.
    RECT ink = s.Ink(*r);
    EXPECT_LT(ink.left, r->left + 10 + 8);
    EXPECT_GT(ink.bottom, r->bottom - 16);
    EXPECT_GT(s.Count(kTextColour, *r), 300);
    // SSN (length 9: left) and amount (length 12: right-aligned less the inset).
    ink = s.Ink(*page->fieldTable->fields[2].rect);
    EXPECT_LT(ink.left, 1300 + 18);
    ink = s.Ink(*page->fieldTable->fields[3].rect);
    EXPECT_GT(ink.right, 2300 - 10 - 6);
    EXPECT_LE(ink.right, 2300 - 10 + 1);
    // Date centred; check mark centred in its small box.
    ink = s.Ink(*page->fieldTable->fields[4].rect);
    EXPECT_NEAR(650, (ink.left + ink.right) / 2, 8);
    ink = s.Ink(*page->fieldTable->fields[5].rect);
    EXPECT_NEAR(230, (ink.left + ink.right) / 2, 4);
    EXPECT_GT(s.Count(kTextColour, *page->fieldTable->fields[5].rect), 100);
    // Two lines.
    ink = s.Ink(*page->fieldTable->fields[6].rect);
    EXPECT_GT(ink.bottom - ink.top, 80);
    // Shrunk to fit inside; clipped at the edge.
    ink = s.Ink(*page->fieldTable->fields[7].rect);
    EXPECT_LE(ink.right, 900 - 10 + 4);
    EXPECT_LT(ink.bottom - ink.top, 40);   // a smaller font than height 50
    ink = s.Ink(*page->fieldTable->fields[8].rect);
    EXPECT_LE(ink.right, 1500 - 10 + 4);
    EXPECT_GT(ink.right, 1500 - 40);
    // The tagged field in reverse video: black with the value in white.
    const RECT *tagged = page->fieldTable->fields[9].rect;
    int area = (tagged->right - tagged->left) * (tagged->bottom - tagged->top);
    EXPECT_GT(s.Count(0x000000, *tagged), area / 2);
    EXPECT_GT(s.Count(0xFFFFFF, *tagged), 300);
    // Not printed: no stamp in the empty band below the fields.
    RECT band = {0, 2000, 2400, 2010};
    EXPECT_EQ(0, s.Count(0x808080, band));
}

TEST_F(RealPages, CompressedBmpPageKeepsTheFormAndPaintsTheValues)
{
    FormInstance *page = Page(1, kPage2Fields);
    ASSERT_TRUE(page != NULL);
    ASSERT_EQ(IMAGE_SOURCE_BMP, page->imageSource);
    // The clips of the page shown survive the output of another page.
    FieldClip *shownClip = (FieldClip *)MemAlloc(64, sizeof(FieldClip));
    memcpy(shownClip->magic, "qvbb", 4);
    shownClip->fieldIndex = 77;
    gFieldClips[0] = shownClip;
    HBITMAP image = GeneratePageImage(page, 0);
    EXPECT_TRUE(gFieldClips[0] == shownClip);
    EXPECT_TRUE(gFieldClips[1] == NULL);
    ASSERT_TRUE(image != NULL);
    Snapshot s(image);
    DeleteObject(image);
    EXPECT_EQ(2400, s.width);
    EXPECT_GT(s.Ink(), 100000);
    RECT ink = s.Ink(*page->fieldTable->fields[1].rect);
    EXPECT_GT(ink.right, 2300 - 20);
    const RECT *tagged = page->fieldTable->fields[2].rect;
    int area = (tagged->right - tagged->left) * (tagged->bottom - tagged->top);
    EXPECT_GT(s.Count(0x000000, *tagged), area / 2);
}

TEST_F(RealPages, PrintedMinnesotaPageGetsItsStampAndOutputFont)
{
    FormInstance *page = Page(2, kPage1Fields);
    ASSERT_TRUE(page != NULL);
    ASSERT_STREQ("Form M1.2", page->pageKey);
    gPrintInProgress = 1;
    gPrintPageJurisdiction = 24;
    HBITMAP image = GeneratePageImage(page, 1);
    ASSERT_TRUE(image != NULL);
    Snapshot s(image);
    DeleteObject(image);
    // The stamp box of "Form M1.2" (moved 6 right, 10 down) holds "1029", pushed 17 rows lower
    // over the page by the stretch.
    RECT stamp = {1146 + 4, 3044 + 20, 1288 - 4, 3090 + 16};
    RECT ink = s.Ink(stamp);
    EXPECT_GT(ink.right - ink.left, 80);
    EXPECT_NEAR(1217, (ink.left + ink.right) / 2, 8);
    // The values are in bold Courier New: "JOHN Q SAMPLE" is 13 cells of the fixed pitch.
    SIZE courier = TestCanvas(10, 10).MeasureText("Courier New", 50, "JOHN Q SAMPLE");
    RECT name = {200, 1200, 1100, 1300};   // the stretch moved it about 7 rows down
    ink = s.Bounds(kTextColour, name);
    EXPECT_NEAR(courier.cx, ink.right - ink.left, 14);
    // The SSN prints without its dashes.
    RECT ssn = {1300, 1200, 1900, 1300};
    SIZE digits = TestCanvas(10, 10).MeasureText("Courier New", 50, "123456789");
    ink = s.Bounds(kTextColour, ssn);
    EXPECT_NEAR(digits.cx, ink.right - ink.left, 14);
    // A printed page takes the stamps: grey where the page was white.
    RECT upper = {0, 0, 2400, 1100};
    EXPECT_GT(s.Count(0x808080, upper), 1000);
}

TEST_F(RealPages, LandscapePageIsTurnedWithItsFieldsPaintedAfterTheTurn)
{
    FormInstance *page = Page(3, kLandscapeFields);
    ASSERT_TRUE(page != NULL);
    ASSERT_STREQ("Form 3800.3", page->pageKey);
    HBITMAP image = GeneratePageImage(page, 0);
    ASSERT_TRUE(image != NULL);
    EXPECT_EQ(1, page->landscape);
    Snapshot s(image);
    DeleteObject(image);
    EXPECT_EQ(2400, s.width);
    EXPECT_EQ(3168, s.height);
    // The field (2700..3100, 200..270 on the landscape page) after the turn by 90 degrees:
    // x = 2400 - 1 - y, y = x.
    RECT turned = {2400 - 270, 2700, 2400 - 200, 3100};
    EXPECT_GT(s.Count(kTextColour, turned), 300);
    RECT ink = s.Ink(turned);
    EXPECT_GT(ink.bottom - ink.top, 150);   // the text runs down the page
}

TEST_F(RealPages, PrintStampsOnlyOnPagesThatTakeThem)
{
    FormInstance *page = Page(0, {});
    ASSERT_TRUE(page != NULL);
    gPrintInProgress = 1;
    gPrintPageJurisdiction = 100;
    HBITMAP image = GeneratePageImage(page, 1);
    ASSERT_TRUE(image != NULL);
    Snapshot printed(image);
    DeleteObject(image);
    RECT upper = {0, 0, 2400, 1584}, lower = {0, 1584, 2400, 3168};
    EXPECT_GT(printed.Count(0x808080, upper), 1000);   // "For Your Records"
    EXPECT_GT(printed.Count(0x808080, lower), 1000);   // "DO NOT MAIL"
    char key[] = "Form 8879.1";
    char *own = page->pageKey;
    page->pageKey = key;
    image = GeneratePageImage(page, 1);
    page->pageKey = own;
    ASSERT_TRUE(image != NULL);
    Snapshot exempt(image);
    DeleteObject(image);
    RECT all = {0, 0, 2400, 3168};
    EXPECT_EQ(0, exempt.Count(0x808080, all));
}

TEST_F(RealPages, UnknownImageSourceWarnsAndGivesNoPage)
{
    FormInstance *page = Page(0, {});
    ASSERT_TRUE(page != NULL);
    page->imageSource = 77;
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_TRUE(GeneratePageImage(page, 0) == NULL);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Warning", GetShownMessageBoxes()[0].title);
    EXPECT_EQ("Form-image generation source not determined. Research. [RAVOVIVE-only]", GetShownMessageBoxes()[0].text);
    page->imageSource = IMAGE_SOURCE_PCL;
}

}  // namespace
