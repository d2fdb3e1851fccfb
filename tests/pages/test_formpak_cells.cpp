// The sample FormPaks the build makes: every field rectangle lies inside its cell of the blank
// page, so painting the page's (empty) fields keeps every line of the blank form.
#include <gtest/gtest.h>
#include "pages/pages.h"
#include "tests/harness/harness.h"
#include "tests/pages/test_pcl_util.h"
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
