// Page images: compressed-BMP pages (checked headers, tagged backgrounds, painted fields), the
// Minnesota stamp and colour clean-up, print stamps, reverse video and landscape rotation.
#include "pages/pages.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/pixels.h"
#include "tests/canvas/test_paint_util.h"

#include <gtest/gtest.h>
#include <string.h>
#include <vector>

namespace {

// A page-bitmap record holding one compressed BMP at position 100, as a FormPak stores it.
struct BmpRecord {
    std::vector<uint8_t> record;
    FormInstance page;
    BmpRecord(const std::vector<uint8_t> &bmp, uint32_t recordOffset = 5000)
    {
        std::vector<uint8_t> block(bmp.size() + 64);
        memcpy(block.data(), bmp.data(), bmp.size());
        DWORD length = 0;
        EXPECT_EQ(1, CompressBlock(block.data(), (DWORD)bmp.size(), &length, 1, 1));
        record.assign(100, 0xEE);
        record.insert(record.end(), block.begin(), block.begin() + length);
        record.insert(record.end(), 50, 0xEE);
        memset(&page, 0, sizeof(page));
        page.kind = PAGE_KIND_FORM;
        page.imageSource = IMAGE_SOURCE_BMP;
        page.bmpOffset = recordOffset;
        page.imageStart = recordOffset + 100;
        page.imageEnd = recordOffset + 100 + length - 1;
    }
};

const RGBQUAD kMono[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};

TEST(BmpPage, HeadersAreCheckedAgainstTheExpandedLength)
{
    std::vector<uint8_t> good = MakeBmpFile(64, 32, 1, kMono, 2, 0xFF);
    HBITMAP b = CreateBitmapFromBmpFile(good.data(), (uint32_t)good.size());
    ASSERT_TRUE(b != NULL);
    int w = 0, h = 0;
    GetBitmapSize(b, &w, &h);
    EXPECT_EQ(64, w);
    EXPECT_EQ(32, h);
    DeleteObject(b);

    struct Damage { const char *what; size_t at; uint32_t value; int size; };
    const Damage damages[] = {
        {"bits offset past the end", 10, 100000, 4},
        {"bits offset inside the colour table", 10, 56, 4},
        {"width too large for the data", 18, 6400, 4},
        {"zero width", 18, 0, 4},
        {"negative width", 18, 0xFFFFFFF0u, 4},
        {"huge height", 22, 0x7FFFFFFF, 4},
        {"bits per pixel 3", 28, 3, 2},
        {"compressed rows", 30, BI_RLE8, 4},
        {"colour count above the depth", 46, 3, 4},
        {"header size", 14, 12, 4},
    };
    for (const Damage &d : damages) {
        std::vector<uint8_t> bad = good;
        memcpy(bad.data() + d.at, &d.value, d.size);
        EXPECT_TRUE(CreateBitmapFromBmpFile(bad.data(), (uint32_t)bad.size()) == NULL) << d.what;
    }
    EXPECT_TRUE(CreateBitmapFromBmpFile(good.data(), (uint32_t)good.size() - 1) == NULL);   // rows cut short
    EXPECT_TRUE(CreateBitmapFromBmpFile(good.data(), 40) == NULL);
    std::vector<uint8_t> notBmp = good;
    notBmp[0] = 'X';
    EXPECT_TRUE(CreateBitmapFromBmpFile(notBmp.data(), (uint32_t)notBmp.size()) == NULL);
    // Top-down rows and 24-bit pages are fine.
    std::vector<uint8_t> topDown = good;
    int32_t negative = -32;
    memcpy(topDown.data() + 22, &negative, 4);
    b = CreateBitmapFromBmpFile(topDown.data(), (uint32_t)topDown.size());
    EXPECT_TRUE(b != NULL);
    if (b) DeleteObject(b);
    std::vector<uint8_t> colour = MakeBmpFile(10, 10, 24, NULL, 0, 0x80);
    b = CreateBitmapFromBmpFile(colour.data(), (uint32_t)colour.size());
    EXPECT_EQ(24, GetBitmapBitsPerPixel(b));
    DeleteObject(b);
}

struct PageFields {
    std::vector<FieldRecord> fields;
    std::vector<RECT> rects;
    FieldTable table;
    PageFields(std::initializer_list<std::pair<const char *, RECT>> items) : fields(items.size() + 1), rects(items.size() + 1)
    {
        memset(fields.data(), 0, fields.size() * sizeof(FieldRecord));
        size_t i = 1;
        for (const auto &item : items) {
            fields[i].typeCode = (char *)item.first;
            fields[i].length = (char *)"20";
            rects[i] = item.second;
            fields[i].rect = &rects[i];
            i++;
        }
        table.count = (int)fields.size();
        table.fields = fields.data();
        table.sortedIndex = NULL;
    }
};

TEST(BmpPage, BuildsTheImageSavesTaggedBackgroundsAndPaintsTheFields)
{
    // A white 4-bit page with a black rule across row 40 (bottom-up rows: row 40 from the top).
    RGBQUAD palette[16];
    memcpy(palette, gVgaPalette, sizeof(palette));
    std::vector<uint8_t> bmp = MakeBmpFile(600, 400, 4, palette, 16, 0xFF);
    int stride = (4 * 600 + 31) / 32 * 4;
    memset(bmp.data() + 54 + 64 + (size_t)(400 - 1 - 40) * stride, 0x00, (size_t)stride);
    BmpRecord rec(bmp);
    PageFields f({{"T[1x]", RECT{10, 20, 110, 60}}, {"N", RECT{200, 100, 500, 160}}, {"T[2x]", RECT{10, 200, 110, 240}},
                  {"S[sig]", RECT{10, 250, 110, 290}}, {"T[1w]", RECT{10, 300, 110, 340}},
                  {"T[2w]", RECT{10, 350, 110, 390}}});
    f.fields[2].value = (char *)"1,234";
    f.fields[2].length = (char *)"12";
    rec.page.fieldTable = &f.table;
    FreeFieldClips();
    HBITMAP page = BuildPageImageFromBmp(rec.record.data(), (uint32_t)rec.record.size(), &rec.page);
    ASSERT_TRUE(page != NULL);
    // The first three tagged fields (in list order) keep their backgrounds.
    ASSERT_TRUE(gFieldClips[0] != NULL);
    EXPECT_EQ(1, gFieldClips[0]->fieldIndex);
    EXPECT_EQ(3, gFieldClips[1]->fieldIndex);
    EXPECT_EQ(4, gFieldClips[2]->fieldIndex);
    EXPECT_TRUE(FindFieldClip(5) == NULL);
    // The saved background holds the rule.
    HBITMAP background = CreateBitmapForFieldClip(1);
    ASSERT_TRUE(background != NULL);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, background);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 50, 20));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 50, 10));
    SelectObject(dc, old);
    DeleteObject(background);
    // The amount is painted right-aligned in its field.
    old = SelectObject(dc, page);
    std::vector<unsigned> pixels = TestCanvas::SnapDc(dc, 600, 400);
    RECT amount = f.rects[2];
    RECT ink = TestCanvas::InkOf(pixels, 600, 400, &amount);
    EXPECT_GT(ink.right, 500 - 20);
    EXPECT_LT(ink.left, ink.right);
    EXPECT_EQ(0u, pixels[(size_t)40 * 600 + 580]);   // the rule outside the fields stays
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(page);
    FreeFieldClips();

    // Out-of-range image ranges and damaged blocks give no image.
    FormInstance bad = rec.page;
    bad.imageEnd = bad.bmpOffset + (uint32_t)rec.record.size();
    EXPECT_TRUE(BuildPageImageFromBmp(rec.record.data(), (uint32_t)rec.record.size(), &bad) == NULL);
    bad = rec.page;
    bad.imageStart = bad.bmpOffset - 1;
    EXPECT_TRUE(BuildPageImageFromBmp(rec.record.data(), (uint32_t)rec.record.size(), &bad) == NULL);
    std::vector<uint8_t> broken = rec.record;
    broken[110] ^= 0x55;
    EXPECT_TRUE(BuildPageImageFromBmp(broken.data(), (uint32_t)broken.size(), &rec.page) == NULL);
}

TEST(MinnesotaStamp, BoxesByPageKey)
{
    RECT box, band;
    GetMinnesotaStampBox("Form M1.1", &box, &band);
    EXPECT_EQ(1140, box.left);
    EXPECT_EQ(3034, box.top);
    EXPECT_EQ(1282, box.right);
    EXPECT_EQ(3080, box.bottom);
    EXPECT_TRUE(IsRectEmpty(&band));
    GetMinnesotaStampBox("Form M1.2", &box, &band);
    EXPECT_EQ(1146, box.left);
    EXPECT_EQ(3044, box.top);
    GetMinnesotaStampBox("Schedule M1WPG2.2", &box, &band);
    EXPECT_EQ(3054, box.top);
    EXPECT_EQ(3100, box.bottom);
    GetMinnesotaStampBox("Form Bank.1", &box, &band);
    EXPECT_EQ(3034 - 1659, box.top);
    GetMinnesotaStampBox("Schedule M1ED.1", &box, &band);
    EXPECT_EQ(1160, box.left);
    EXPECT_EQ(1307, box.right);
    GetMinnesotaStampBox("Schedule M1LTI.1", &box, &band);
    EXPECT_EQ(1140, box.left);
    EXPECT_EQ(1070, band.left);
    EXPECT_EQ(1282, band.right);
}

// A 2400 x 3168 page of the canvas kind with ink everywhere (so whitened areas show).
HBITMAP MakeInkedPage(const RGBQUAD *palette)
{
    HBITMAP page = CreateDibBitmap(2400, 3168, 4, BLACKNESS, NULL, palette);
    return page;
}

TEST(MinnesotaStamp, StampAndColourCleanUpOnAPrintedPage)
{
    RGBQUAD palette[16];
    memcpy(palette, gVgaPalette, sizeof(palette));
    palette[3] = RGBQUAD{215, 207, 250, 0};   // RGB(250, 207, 215), a light shading colour
    palette[4] = RGBQUAD{10, 20, 200, 0};     // another colour stays
    HBITMAP page = MakeInkedPage(palette);
    FormInstance instance;
    memset(&instance, 0, sizeof(instance));
    instance.kind = PAGE_KIND_FORM;
    instance.jurisdiction = 24;
    instance.pageKey = (char *)"Schedule M1LTI.1";
    ASSERT_EQ(1, ApplyMinnesotaStamp(page, &instance));
    int count = 0;
    RGBQUAD *table = GetDibColorTable(NULL, page, &count);
    ASSERT_EQ(16, count);
    EXPECT_EQ(255, table[3].rgbRed);
    EXPECT_EQ(255, table[3].rgbGreen);
    EXPECT_EQ(255, table[3].rgbBlue);
    EXPECT_EQ(200, table[4].rgbRed);
    MemFree(table);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, page);
    // After the 17-row stretch the stamp area sits a little lower; its text "1029" is black on
    // white, and the white band reaches 70 pixels left of the box.
    std::vector<unsigned> pixels = TestCanvas::SnapDc(dc, 2400, 3168);
    auto at = [&](int x, int y) { return pixels[(size_t)y * 2400 + x]; };
    EXPECT_EQ(0xFFFFFFu, at(1080, 3050));      // the band
    EXPECT_EQ(0u, at(1060, 3050));             // left of the band: ink
    RECT stampArea = {1145, 3053, 1277, 3095};
    RECT ink = TestCanvas::InkOf(pixels, 2400, 3168, &stampArea);
    EXPECT_GT(ink.right - ink.left, 60);       // "1029" in Courier New 52
    EXPECT_LT(ink.right - ink.left, 142);
    EXPECT_NEAR(1211, (ink.left + ink.right) / 2, 6);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(page);

    // A 24-bit page has no colour table: nothing to clean, nothing lost.
    HBITMAP deep = CreateDibBitmap(2400, 3168, 24, WHITENESS, NULL, NULL);
    EXPECT_EQ(1, ApplyMinnesotaStamp(deep, &instance));
    DeleteObject(deep);
}

TEST(PageFinish, StretchKeepsTheSizeAndPushesContentOut)
{
    TestCanvas canvas(100, 100);
    PatBlt(canvas.dc, 0, 50, 100, 10, BLACKNESS);
    PatBlt(canvas.dc, 0, 90, 100, 10, BLACKNESS);   // the last ten rows
    ASSERT_EQ(1, StretchPageContent(canvas.dc, canvas.bitmap, 0, 50));
    RECT ink = canvas.InkBounds();
    EXPECT_EQ(75, ink.top);        // stretched by half: rows 50..59 become 75..89
    EXPECT_EQ(90, ink.bottom);     // and the last rows are pushed past the bottom edge
    int w = 0, h = 0;
    GetBitmapSize(canvas.bitmap, &w, &h);
    EXPECT_EQ(100, h);
}

TEST(PageFinish, PrintStampsOnlyWhereThePageTakesThemAndLandscapeTurns)
{
    FormInstance page;
    memset(&page, 0, sizeof(page));
    page.kind = PAGE_KIND_FORM;
    page.jurisdiction = 100;
    page.pageKey = (char *)"Form 1040.1";
    HBITMAP image = CreateDibBitmap(2400, 3168, 4, WHITENESS, NULL, NULL);
    image = FinishPageImage(image, &page, 1);
    ASSERT_TRUE(image != NULL);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, image);
    RECT upper = {0, 0, 2400, 1584};
    std::vector<unsigned> pixels = TestCanvas::SnapDc(dc, 2400, 3168);
    RECT stampInk = TestCanvas::InkOf(pixels, 2400, 3168, &upper);
    EXPECT_GT(stampInk.right - stampInk.left, 500);   // "For Your Records"
    SelectObject(dc, old);
    DeleteObject(image);

    // A page from the exempt list, and the same page not printed: no stamp.
    for (int variant = 0; variant < 2; variant++) {
        page.pageKey = (char *)(variant == 0 ? "Form 8879.1" : "Form 1040.1");
        image = CreateDibBitmap(2400, 3168, 4, WHITENESS, NULL, NULL);
        image = FinishPageImage(image, &page, variant == 0 ? 1 : 0);
        old = SelectObject(dc, image);
        pixels = TestCanvas::SnapDc(dc, 2400, 3168);
        EXPECT_EQ(0, TestCanvas::InkOf(pixels, 2400, 3168).right) << page.pageKey;
        SelectObject(dc, old);
        DeleteObject(image);
    }

    // Landscape: the finished image is turned by 90 degrees.
    page.landscape = 1;
    image = CreateDibBitmap(3168, 2400, 4, WHITENESS, NULL, NULL);
    old = SelectObject(dc, image);
    PatBlt(dc, 0, 0, 10, 10, BLACKNESS);   // top-left corner
    SelectObject(dc, old);
    image = FinishPageImage(image, &page, 0);
    int w = 0, h = 0;
    GetBitmapSize(image, &w, &h);
    EXPECT_EQ(2400, w);
    EXPECT_EQ(3168, h);
    old = SelectObject(dc, image);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 2395, 5));   // the top row became the right-hand column
    SelectObject(dc, old);
    DeleteObject(image);
    DeleteDC(dc);
}

}  // namespace

namespace {

TEST(PageFinish, TaggedFieldsTurnToWhiteOnBlackWithTheirValues)
{
    PageFields f({{"N", RECT{20, 20, 300, 80}}, {"T[1x]", RECT{20, 100, 300, 160}}, {"T[2x]", RECT{20, 200, 300, 260}},
                  {"T[1x]", RECT{20, 300, 300, 360}}});
    f.fields[1].value = (char *)"5";
    f.fields[2].value = (char *)"123-45-6789";
    f.fields[3].value = NULL;   // a tagged field without a value still turns black
    f.fields[4].value = (char *)"second copy";   // every field of a type is treated
    FormInstance page;
    memset(&page, 0, sizeof(page));
    page.kind = PAGE_KIND_FORM;
    page.jurisdiction = 100;
    page.fieldTable = &f.table;
    TestCanvas canvas(400, 400);
    EXPECT_EQ(3, InvertTaggedFields(canvas.dc, NULL, &page));
    RECT tagged = f.rects[2];
    int area = (tagged.right - tagged.left) * (tagged.bottom - tagged.top);
    int black = canvas.CountColour(RGB(0, 0, 0), &tagged);
    int white = canvas.CountColour(RGB(255, 255, 255), &tagged);
    EXPECT_GT(black, area / 2);
    EXPECT_GT(white, 200);                 // the value in white
    EXPECT_EQ(area, black + white);
    RECT empty = f.rects[3];
    EXPECT_EQ((empty.right - empty.left) * (empty.bottom - empty.top), canvas.CountColour(RGB(0, 0, 0), &empty));
    RECT plain = f.rects[1];
    EXPECT_EQ(0, canvas.CountColour(RGB(0, 0, 0), &plain));
    RECT copy = f.rects[4];
    EXPECT_GT(canvas.CountColour(RGB(0, 0, 0), &copy), area / 2);
    EXPECT_GT(canvas.CountColour(RGB(255, 255, 255), &copy), 200);
}

}  // namespace

namespace {

TEST(EmptyPageHint, LogoTextsAndTheListHintByViewMode)
{
    int fullScreen = gFullScreen, tabsOnTop = gTabsOnTop;
    gFullScreen = 0;
    EXPECT_STREQ("in the window to the left.", GetEmptyPageHintListText());
    gFullScreen = 1;
    gTabsOnTop = 1;
    EXPECT_STREQ("on the tabs above.", GetEmptyPageHintListText());
    gTabsOnTop = 0;
    EXPECT_STREQ("on the tabs below.", GetEmptyPageHintListText());

    int rightEnd[2] = {0, 0};
    for (int mode = 0; mode < 2; mode++) {
        gFullScreen = mode;
        TestCanvas view(900, 300, 24);
        PatBlt(view.dc, 0, 0, 900, 300, BLACKNESS);
        RECT rect = {0, 0, 900, 250};
        ASSERT_EQ(1, DrawEmptyPageHint(view.dc, &rect, 1));
        RECT logo = {20, 20, 120, 60};
        EXPECT_GT(view.InkBounds(&logo).right, 20);                    // the logo
        RECT first = {33, 95, 900, 112};
        RECT ink = view.InkBounds(&first);
        EXPECT_LT(ink.left, 40);                                        // first line from x 33
        EXPECT_GT(ink.right, 300);
        RECT icon = {20, 97, 32, 109};
        EXPECT_LT(view.CountColour(RGB(255, 255, 255), &icon), 12 * 12);   // the page picture
        RECT second = {33, 115, 900, 132};
        rightEnd[mode] = view.InkBounds(&second).right;
        RECT third = {33, 155, 900, 172};
        EXPECT_GT(view.CountColour(RGB(0, 0, 178), &third), 100);     // the blue line
        // The page picture sits below the logo and ends above the hint lines: none of its colour
        // from the first line down.
        RECT lines = {33, 95, 900, 250};   // right of the icons
        EXPECT_EQ(0, view.CountColour(RGB(0, 0, 0x80), &lines));
        RECT below = {0, 250, 900, 300};
        EXPECT_EQ(900 * 50, view.CountColour(RGB(0, 0, 0), &below));  // outside the rect untouched
    }
    EXPECT_GT(rightEnd[0], rightEnd[1]);   // "in the window to the left." is longer
    gFullScreen = fullScreen;
    gTabsOnTop = tabsOnTop;
}

}  // namespace
