// The sample FormPaks the build makes: every field rectangle lies inside its cell of the blank
// page, so painting the page's (empty) fields keeps every line of the blank form.
#include <gtest/gtest.h>
#include "pages/pages.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_pcl_util.h"
#include <string.h>
#include <string>
#include <vector>

namespace {

// The page drawn from its FormPak record, with its fields painted or (table null) without.
HBITMAP DrawFormPage(FormInstance *page, FieldTable *table)
{
    uint32_t length = ReadPageImageData(NULL, 0, page);
    if (!length) return NULL;
    std::vector<uint8_t> record(length + 1);
    if (ReadPageImageData(record.data(), length + 1, page) != length) return NULL;
    FieldTable *own = page->fieldTable;
    page->fieldTable = table;
    HBITMAP bitmap = page->imageSource == IMAGE_SOURCE_BMP ? BuildPageImageFromBmp(record.data(), length, page)
                                                           : RenderPclPage(record.data(), length, page, NULL);
    page->fieldTable = own;
    FreeFormRecords();
    return bitmap;
}

} // namespace

TEST(FormPakCells, NoLineOfTheBlankPageLiesUnderAFieldAndPaintingKeepsThemAll)
{
    const char *paks[] = {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp", "f941.qvp", "mnm1pr.qvp"};
    int pagesChecked = 0;
    for (const char *name : paks) {
        std::string path = BuildPath((std::string("formpaks/") + name).c_str());
        FileRecord file;
        memset(&file, 0, sizeof file);
        if (!ReadDataFile(path.c_str(), 0, &file, 0)) continue;
        for (int i = 0; i < file.pageCount; i++) {
            FormInstance *page = CreatePageRecord(&file, i, path.c_str(), 1);
            ASSERT_TRUE(page) << name << " page " << i;
            HBITMAP blank = DrawFormPage(page, NULL), painted = DrawFormPage(page, page->fieldTable);
            PageInk blankInk, paintedInk;
            ASSERT_TRUE(blank && ReadPageInk(blank, &blankInk)) << page->pageKey;
            ASSERT_TRUE(painted && ReadPageInk(painted, &paintedInk)) << page->pageKey;
            DeleteObject(blank);
            DeleteObject(painted);
            const FieldTable *table = page->fieldTable;
            for (int f = 1; table && f < table->count; f++) {
                const RECT *r = table->fields[f].rect;
                if (!r) continue;
                long long under = blankInk.CountBlack(r->left, r->top, r->right, r->bottom);
                EXPECT_EQ(0, under) << page->pageKey << " field " << table->fields[f].seq << " at " << r->left
                                    << "," << r->top << "," << r->right << "," << r->bottom;
            }
            long long lost = 0;
            for (int y = 0; y < blankInk.height; y++)
                for (int x = 0; x < blankInk.width; x++)
                    lost += blankInk.IsBlack(x, y) && !paintedInk.IsBlack(x, y);
            EXPECT_EQ(0, lost) << page->pageKey << ": black pixels of the blank page lost by painting its fields";
            FreeFormInstance(page);
            pagesChecked++;
        }
        ReleaseFileRecord(&file, NULL);
    }
    if (!pagesChecked) GTEST_SKIP() << "the sample FormPaks were not built";
    EXPECT_GE(pagesChecked, 11);
}

// The M1PR sample page's title: two lines that end well before the form's name "M1PR" at the
// right margin, nothing beyond the margin.
TEST(SamplePages, M1prTitleKeepsClearOfTheFormNameAndThePageEdge)
{
    std::string path = BuildPath("formpaks/mnm1pr.qvp");
    FileRecord file;
    memset(&file, 0, sizeof file);
    if (!ReadDataFile(path.c_str(), 0, &file, 0)) GTEST_SKIP() << "the sample FormPaks were not built";
    FormInstance *page = CreatePageRecord(&file, 0, path.c_str(), 1);
    ASSERT_TRUE(page);
    EXPECT_STREQ("Form M1PR.1", page->pageKey);
    HBITMAP blank = DrawFormPage(page, NULL);
    PageInk ink;
    ASSERT_TRUE(blank && ReadPageInk(blank, &ink));
    DeleteObject(blank);
    FreeFormInstance(page);
    ReleaseFileRecord(&file, NULL);
    // The title band: above the rule at 745 points (196 dots); the right margin at 576 points
    // (2325 dots on the page, which starts 75 dots into the sheet).
    const int band = 190;
    EXPECT_GT(ink.CountBlack(0, 0, 1600, band), 2000);       // the title
    EXPECT_EQ(0, ink.CountBlack(1600, 0, 2100, band));       // a clear gap before the name
    EXPECT_GT(ink.CountBlack(2100, 0, 2330, band), 500);     // "M1PR"
    EXPECT_EQ(0, ink.CountBlack(2330, 0, ink.width, band));  // nothing past the margin
}
