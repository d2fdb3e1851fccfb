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

// Page index of a sample FormPak of the build (file is read into *file); null when not built.
FormInstance *OpenSamplePage(const char *name, int index, FileRecord *file)
{
    std::string path = BuildPath((std::string("formpaks/") + name).c_str());
    memset(file, 0, sizeof *file);
    return ReadDataFile(path.c_str(), 0, file, 0) ? CreatePageRecord(file, index, path.c_str(), 1) : NULL;
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
                // A comb's row holds the form's dividers between its boxes: the boxes are clear.
                long long under = 0;
                CombLayout comb;
                int boxes = ReadCombLayout(&table->fields[f], &comb);
                RECT box;
                for (int b = 0; b < boxes; b++)
                    if (GetCombLayoutBox(&comb, r, b, &box))
                        under += blankInk.CountBlack(box.left, box.top, box.right, box.bottom);
                if (!boxes) under = blankInk.CountBlack(r->left, r->top, r->right, r->bottom);
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

// Schedule B's payer columns (lines 1 and 5) take payers' names as payers write them.
TEST(SamplePages, ScheduleBPayerNamesTakeTheirPunctuation)
{
    FileRecord file;
    FormInstance *page = OpenSamplePage("f1040sb.qvp", 0, &file);
    if (!page) GTEST_SKIP() << "the sample FormPaks were not built";
    for (const char *seq : {"0101", "0114", "0501", "0515"})
        for (const char *name : {"Heartland Trust Co.", "Smith & Sons", "O'Brien Bank, N.A."}) {
            FieldRecord *field = &page->fieldTable->fields[FindLayoutField(page->fieldTable, 1, seq, 0)];
            FieldFormat format;
            ASSERT_GT(ParseFieldFormat(field->typeCode, &format, 1), 0) << seq;
            FieldFormatPart *part = &format.parts[0];
            int kind = 0, subkind = 0;
            GetFieldEntryKind(field, part, &kind, &subkind, NULL, NULL, 0);
            char text[300];
            lstrcpynA(text, name, sizeof text);
            EXPECT_EQ(1, ValidateFieldData(text, NULL, "", kind, subkind, NULL, sizeof text, field->valueList, part,
                                           GetPartEntryLetter(field, part, NULL), part->bracket, NULL,
                                           GetFieldLength(field), 0)) << seq << " refuses " << name;
        }
    FreeFormInstance(page);
    ReleaseFileRecord(&file, NULL);
}

// The comb fields of Form 1040 page 2 (routing and account numbers, PINs) span their row of
// boxes: a click anywhere on it finds them, each character is painted inside its own box, and
// painting again over a longer value keeps every divider of the form.
TEST(SamplePages, CombFieldsPaintOneCharacterPerBoxAndKeepTheirDividers)
{
    FileRecord file;
    FormInstance *page = OpenSamplePage("f1040.qvp", 1, &file);
    if (!page) GTEST_SKIP() << "the sample FormPaks were not built";
    HBITMAP bitmap = DrawFormPage(page, NULL);
    PageInk blank, painted;
    ASSERT_TRUE(bitmap && ReadPageInk(bitmap, &blank));
    const struct {
        const char *seq, *value;
        int boxes, first;   // first: the box of the value's first character
    } cases[] = {{"0452", "011000015", 9, 0}, {"0455", "4455667788", 17, 0}, {"0505", "24680", 5, 0},
                 {"0512", "135790", 6, 0}, {"0515", "97531", 6, 1}};   // an amount-like field fills its last boxes
    for (const auto &c : cases) {
        SCOPED_TRACE(c.seq);
        FieldRecord *field = &page->fieldTable->fields[FindLayoutField(page->fieldTable, 1, c.seq, 0)];
        const RECT r = *field->rect;
        ASSERT_EQ(c.boxes, GetCombBoxCount(field));
        int hit = 0;
        EXPECT_EQ(field, FindFieldInTable(page->fieldTable, POINT{r.left, r.top}, &hit));
        EXPECT_EQ(field, FindFieldInTable(page->fieldTable, POINT{r.right - 1, r.bottom - 1}, &hit));
        for (const char *value : {"88888888888888888", c.value}) {
            SetFieldText(&field->value, value);
            DrawFieldData(NULL, bitmap, field, 1, NULL, RGB(255, 255, 255), 1, 1, page);
        }
        ASSERT_TRUE(ReadPageInk(bitmap, &painted));
        // Each character inside its own box; outside the boxes' insides the form's own dividers.
        long long outsideBlank = blank.CountBlack(r.left, r.top, r.right, r.bottom);
        long long outsidePainted = painted.CountBlack(r.left, r.top, r.right, r.bottom);
        for (int b = 0; b < c.boxes; b++) {
            RECT box;
            ASSERT_TRUE(GetCombBoxRect(&r, c.boxes, b, &box));
            long long ink = painted.CountBlack(box.left, box.top, box.right, box.bottom);
            bool filled = b >= c.first && b < c.first + (int)strlen(c.value);
            EXPECT_TRUE(filled ? ink > 40 : ink == 0) << "box " << b << ": " << ink;
            outsideBlank -= blank.CountBlack(box.left, box.top, box.right, box.bottom);
            outsidePainted -= ink;
        }
        EXPECT_GT(outsideBlank, 0);
        EXPECT_EQ(outsideBlank, outsidePainted);
    }
    DeleteObject(bitmap);
    FreeFormInstance(page);
    ReleaseFileRecord(&file, NULL);
}
