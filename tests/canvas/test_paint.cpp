// Field painting checked by pixels: the shrink loop and alignment codes of DrawTextInRect, the
// per-type rules of DrawFieldData (amounts, dates, check boxes, labels, multi-line values,
// attention colour, data font, Minnesota output rule, italics), saved backgrounds and signatures.
#include "canvas/canvas.h"
#include "entry/entry.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_paint_util.h"

#include <gtest/gtest.h>
#include <string.h>

#include <vector>

namespace {

// A glyph's ink may reach a few pixels past its advance width (the measured extent).
const int kOverhang = 4;

TEST(TextInRect, AlignmentCodesPlaceTheTextInTheRectangle)
{
    TestCanvas canvas(900, 200);
    RECT rect = {100, 40, 800, 120};
    struct Case { int alignment; int where; };   // where: 0 left, 1 centre, 2 right
    const Case cases[] = {{7, 0}, {8, 1}, {9, 2}, {10, 0}, {11, 1}, {12, 2}};
    for (const Case &c : cases) {
        canvas.Clear();
        TextDrawParams params = MakeParams(c.alignment, "1234", &rect);
        LOGFONTA font = MakeFont("Arial", 50);
        ASSERT_EQ(1, DrawTextInRect(canvas.dc, &params, &font, NULL));
        RECT ink = canvas.InkBounds();
        SCOPED_TRACE(testing::Message() << "alignment " << c.alignment);
        ASSERT_LT(ink.left, ink.right);
        EXPECT_GE(ink.left, rect.left);
        EXPECT_LE(ink.right, rect.right);
        int middle = (ink.left + ink.right) / 2;
        if (c.where == 0) { EXPECT_LT(ink.left, rect.left + 15); }
        if (c.where == 1) { EXPECT_NEAR((rect.left + rect.right) / 2, middle, 6); }
        if (c.where == 2) { EXPECT_GT(ink.right, rect.right - 15); }
        if (c.alignment <= 9) EXPECT_GT(ink.bottom, rect.bottom - 14);   // on the bottom line
        else EXPECT_LT(ink.top, rect.top + 16);                          // on the top line
    }
}

TEST(TextInRect, ShrinksToTheFirstEvenHeightThatFitsOrClipsAtThirty)
{
    TestCanvas canvas(900, 200);
    RECT rect = {100, 40, 400, 110};
    // Fits at full height: nothing changes.
    TextDrawParams params = MakeParams(7, "12", &rect);
    LOGFONTA font = MakeFont("Arial", 50);
    DrawTextInRect(canvas.dc, &params, &font, NULL);
    EXPECT_EQ(50, font.lfHeight);
    EXPECT_EQ(TEXT_FIT_SHRINK, params.fitMode);

    // Too wide at 50: a smaller even height is chosen, and the text stays inside.
    canvas.Clear();
    params = MakeParams(7, "WWWWWWWW", &rect);
    font = MakeFont("Arial", 50);
    DrawTextInRect(canvas.dc, &params, &font, NULL);
    EXPECT_LT(font.lfHeight, 50);
    EXPECT_GE(font.lfHeight, 32);
    EXPECT_EQ(0, font.lfHeight % 2);
    RECT ink = canvas.InkBounds();
    EXPECT_GE(ink.left, rect.left);
    EXPECT_LE(ink.right, rect.right + kOverhang);
    // The chosen height is the largest that fits: two more would not.
    SIZE size = canvas.MeasureText("Arial", font.lfHeight + 2, "WWWWWWWW");
    EXPECT_GT(size.cx, rect.right - rect.left);

    // Far too wide: height 30, drawn clipped to the rectangle.
    canvas.Clear();
    params = MakeParams(7, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", &rect);
    font = MakeFont("Arial", 50);
    DrawTextInRect(canvas.dc, &params, &font, NULL);
    EXPECT_EQ(30, font.lfHeight);
    EXPECT_EQ(TEXT_FIT_CLIP, params.fitMode);
    ink = canvas.InkBounds();
    EXPECT_GE(ink.left, rect.left);
    EXPECT_LE(ink.right, rect.right);
    EXPECT_GE(ink.top, rect.top);

    // Clip mode never shrinks.
    canvas.Clear();
    params = MakeParams(7, "WWWWWWWW", &rect);
    params.fitMode = TEXT_FIT_CLIP;
    font = MakeFont("Arial", 50);
    DrawTextInRect(canvas.dc, &params, &font, NULL);
    EXPECT_EQ(50, font.lfHeight);
    EXPECT_LE(canvas.InkBounds().right, rect.right);

    // Nothing to draw.
    params = MakeParams(7, NULL, &rect);
    EXPECT_EQ(0, DrawTextInRect(canvas.dc, &params, &font, NULL));
}

TEST(TextInRect, WidthOnlyFitIgnoresALowRectangle)
{
    TestCanvas canvas(600, 200);
    RECT low = {100, 50, 400, 70};   // 20 high: no font of 30 or more fits its height
    TextDrawParams params = MakeParams(6, "X", &low);
    params.widthOnly = 1;
    LOGFONTA font = MakeFont("Arial", 50);
    DrawTextInRect(canvas.dc, &params, &font, NULL);
    EXPECT_EQ(50, font.lfHeight);
    params = MakeParams(6, "X", &low);
    font = MakeFont("Arial", 50);
    DrawTextInRect(canvas.dc, &params, &font, NULL);
    EXPECT_EQ(30, font.lfHeight);
}

TEST(TextInRect, WrappedLinesAndVerticalCentring)
{
    TestCanvas canvas(600, 400);
    RECT rect = {50, 20, 550, 380};
    char text[] = "First line\r\nSecond line";
    TextDrawParams params = MakeParams(6, text, &rect);
    params.fitMode = TEXT_FIT_WRAP;
    LOGFONTA font = MakeFont("Arial", 50);
    DrawTextInRect(canvas.dc, &params, &font, NULL);
    RECT ink = canvas.InkBounds();
    EXPECT_GT(ink.bottom - ink.top, 80);                             // two lines
    EXPECT_NEAR((rect.top + rect.bottom) / 2, (ink.top + ink.bottom) / 2, 20);   // centred block
    EXPECT_LT(ink.left, rect.left + 15);                             // lines start at the left

    // A wide text is always wrapped.
    canvas.Clear();
    TextDrawParams wide = MakeParams(10, NULL, &rect);
    wide.wideText = L"Wide text";
    font = MakeFont("Arial", 50);
    ASSERT_EQ(1, DrawTextInRect(canvas.dc, &wide, &font, NULL));
    EXPECT_EQ(TEXT_FIT_WRAP, wide.fitMode);
    EXPECT_LT(canvas.InkBounds().left, canvas.InkBounds().right);
}

TEST(TextInRect, SpanStandsOutInItsColour)
{
    TestCanvas canvas(900, 150);
    RECT rect = {20, 20, 880, 120};
    char text[] = "Total 12,345 due";
    TextDrawParams params = MakeParams(7, text, &rect);
    params.textColour = RGB(0, 0, 0);
    LOGFONTA font = MakeFont("Arial", 50);
    canvas.AddColour(RGB(255, 0, 0));
    DrawTextSpanInColor(canvas.dc, &params, &font, RGB(255, 0, 0), 6, 12);
    EXPECT_STREQ("Total ", text);
    EXPECT_GT(canvas.CountColour(RGB(255, 0, 0)), 50);
    EXPECT_GT(canvas.CountColour(RGB(0, 0, 0)), 50);
}

}  // namespace

namespace {

// A field record made in the test (its texts point at literals; never freed).
struct TestField {
    FieldRecord record;
    RECT rect;
    TestField(const char *type, const char *length, const char *value, RECT r, const char *list = NULL)
    {
        memset(&record, 0, sizeof(record));
        record.typeCode = (char *)type;
        record.length = (char *)length;
        record.value = (char *)value;
        record.valueList = (char *)list;
        rect = r;
        record.rect = &rect;
    }
};

// Sets the year key's "DataFont" for one test and removes it afterwards.
struct DataFontSetting {
    explicit DataFontSetting(int value)
    {
        DWORD v = (DWORD)value;
        WriteRegistryValue(REG_SCOPE_YEAR, "DataFont", REG_DWORD, &v, 4);
    }
    ~DataFontSetting() { DeleteRegistryValue(REG_SCOPE_YEAR, "DataFont"); }
};

TEST(FieldAlignment, ByTypeLetterAndLength)
{
    struct Row { const char *type, *length, *list; int alignment; int widthOnly; };
    const Row rows[] = {
        {"x[o]", "1", NULL, 6, 1}, {"x[o]", "2", NULL, 6, 0}, {"X", "2", NULL, 8, 0}, {"X", "1", NULL, 6, 1},
        {"N", "12", NULL, 9, 0}, {"N", "8", NULL, 9, 0}, {"N", "9", NULL, 7, 0}, {"N", "3", NULL, 8, 0},
        {"CN", "12", NULL, 9, 0}, {"G", "20", NULL, 7, 0}, {"C", "", NULL, 8, 0},
        {"T[3a]", "1", NULL, 8, 0}, {"T[3a]", "4", NULL, 7, 0}, {"T[1a]", "1", NULL, 7, 0}, {"T", "1", NULL, 7, 0},
        {"m", "1", NULL, 8, 0}, {"s", "2", NULL, 7, 0}, {"P", "1", NULL, 6, 1}, {"P", "5", NULL, 7, 0},
        {"R[1.1]", "2", NULL, 8, 0}, {"R", "2", NULL, 9, 0},
        {"D", "10", NULL, 8, 0}, {"e", "7", NULL, 8, 0}, {"Q", "8", NULL, 9, 0}, {"r", "8", NULL, 9, 0},
        {"V", "1", NULL, 8, 0}, {"V", "2", "01=January,02=February", 8, 0}, {"V", "2", "KG,1,2,3,4", 8, 0},
        {"V", "2", "11=Re", 8, 0}, {"V", "3", "0,0.5,1,1.5,2", 8, 0}, {"V", "4", "A=Yes,B=No", 8, 0},
        {"V", "4", "Yes,No", 7, 0}, {"V", "4", NULL, 7, 0}, {"V", "4", "A", 7, 0},
        {"S[m1]", "1", NULL, 8, 0}, {"S[m1]", "3", NULL, 8, 0}, {"S[m]", "12", NULL, 9, 0}, {"S[t]", "4", NULL, 9, 0},
        {"S[sig]", "4", NULL, 7, 0}, {"A", "20", NULL, 7, 0}, {"", "", NULL, 7, 0},
    };
    for (const Row &row : rows) {
        RECT r = {0, 0, 10, 10};
        TestField f(row.type, row.length, "v", r, row.list);
        int widthOnly = -1;
        SCOPED_TRACE(testing::Message() << row.type << " p " << row.length);
        EXPECT_EQ(row.alignment, GetFieldAlignment(&f.record, &widthOnly));
        EXPECT_EQ(row.widthOnly, widthOnly);
    }
    // Short type codes are read safely (no character past the end).
    RECT r = {0, 0, 10, 10};
    TestField shortType("c", "6", "1", r);
    EXPECT_EQ(9, GetFieldAlignment(&shortType.record, NULL));
}

TEST(FieldPaint, AmountsRightAlignedDatesCentredInTheTextColour)
{
    TestCanvas canvas(1200, 300);
    TestField amount("N", "12", "1,234,567", RECT{100, 20, 700, 90});
    TestField date("D", "10", "01/02/2024", RECT{100, 150, 700, 220});
    FieldRecord fields[2] = {amount.record, date.record};
    EXPECT_EQ(2, DrawFieldData(canvas.dc, NULL, fields, 2, NULL, RGB(255, 255, 255), 0, 0, NULL));
    RECT a = canvas.InkBounds(&amount.rect);
    EXPECT_GT(a.right, 700 - 10 - 6);   // right edge less the inset of 10
    EXPECT_LE(a.right, 700 - 10 + 1);
    EXPECT_GT(a.bottom, 90 - 12);
    RECT d = canvas.InkBounds(&date.rect);
    EXPECT_NEAR(400, (d.left + d.right) / 2, 6);
    EXPECT_GT(canvas.CountColour(RGB(0, 0, 0xC0)), 200);   // default text colour 0xC00000
    // Colour modes: black and white.
    canvas.Clear();
    DrawFieldData(canvas.dc, NULL, fields, 1, NULL, RGB(255, 255, 255), 0, 1, NULL);
    EXPECT_GT(canvas.CountColour(RGB(0, 0, 0)), 200);
    EXPECT_EQ(0, canvas.CountColour(RGB(0, 0, 0xC0)));
}

TEST(FieldPaint, AttentionValuesLabelsAndFieldsWithoutValueOrRectangle)
{
    TestCanvas canvas(1400, 400);
    canvas.AddColour(RGB(128, 0, 0));
    canvas.AddColour(RGB(35, 31, 32));
    TestField attention("A", "20", "* * Missing", RECT{50, 20, 700, 90});
    TestField label("L", "20", "Label", RECT{50, 150, 1350, 300});
    TestField empty("N", "12", "", RECT{50, 320, 700, 390});
    TestField noRect("N", "12", "99", RECT{0, 0, 0, 0});
    noRect.record.rect = NULL;
    FieldRecord fields[4] = {attention.record, label.record, empty.record, noRect.record};
    EXPECT_EQ(2, DrawFieldData(canvas.dc, NULL, fields, 4, NULL, RGB(255, 255, 255), 0, 0, NULL));
    EXPECT_GT(canvas.CountColour(RGB(128, 0, 0), &attention.rect), 100);
    // The label: large near-black text starting right of a square as wide as the field is high.
    RECT l = canvas.InkBounds(&label.rect);
    EXPECT_GT(canvas.CountColour(RGB(35, 31, 32), &label.rect), 500);
    EXPECT_GE(l.left, 50 + 3 + 150 + 10);
    EXPECT_GT(l.bottom - l.top, 70);   // height 140 font
    RECT e = canvas.InkBounds(&empty.rect);
    EXPECT_EQ(0, e.right);
    // "L-" labels start at the field's own left edge.
    canvas.Clear();
    TestField dash("L-", "20", "Label", RECT{50, 150, 1350, 300});
    DrawFieldData(canvas.dc, NULL, &dash.record, 1, NULL, RGB(255, 255, 255), 0, 0, NULL);
    EXPECT_LT(canvas.InkBounds().left, 50 + 10 + 20);
}

TEST(FieldPaint, MultiLineValuesAndTheSignatureBlockCentred)
{
    TestCanvas canvas(1000, 400);
    TestField lines("A", "60", "First line\\r\\nSecond line", RECT{50, 20, 950, 380});
    DrawFieldData(canvas.dc, NULL, &lines.record, 1, NULL, RGB(255, 255, 255), 0, 0, NULL);
    RECT ink = canvas.InkBounds();
    EXPECT_GT(ink.bottom - ink.top, 80);     // two lines
    EXPECT_LT(ink.top, 20 + 30);              // top-aligned block (alignment 7)
    EXPECT_STREQ("First line\\r\\nSecond line", lines.record.value);   // the value is untouched
    canvas.Clear();
    TestField sig("A", "60", "Form 94x Signature\\r\\nJane Doe", RECT{50, 20, 950, 380});
    DrawFieldData(canvas.dc, NULL, &sig.record, 1, NULL, RGB(255, 255, 255), 0, 0, NULL);
    ink = canvas.InkBounds();
    EXPECT_NEAR(200, (ink.top + ink.bottom) / 2, 25);   // centred vertically
}

TEST(FieldPaint, ValueShrinksToFitAndIsClippedWhenItCannot)
{
    TestCanvas canvas(800, 200);
    TestField fits("A", "30", "WWWWWWWW", RECT{100, 20, 420, 90});
    DrawFieldData(canvas.dc, NULL, &fits.record, 1, NULL, RGB(255, 255, 255), 0, 0, NULL);
    RECT ink = canvas.InkBounds();
    EXPECT_GE(ink.left, 100 + 10);
    EXPECT_LE(ink.right, 420 - 10 + kOverhang);
    canvas.Clear();
    TestField clipped("A", "99", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", RECT{100, 110, 420, 180});
    DrawFieldData(canvas.dc, NULL, &clipped.record, 1, NULL, RGB(255, 255, 255), 0, 0, NULL);
    ink = canvas.InkBounds();
    EXPECT_GE(ink.left, 100 + 10);
    EXPECT_LE(ink.right, 420 - 10);
    EXPECT_GT(ink.right, 420 - 40);   // drawn up to the clip edge
}

TEST(FieldPaint, CheckMarkInABoxShowsOnlyInsideTheBoxAndClearsAgain)
{
    TestCanvas canvas(400, 200);
    // The form's box: a black frame inside the field's rectangle.
    RECT field = {100, 50, 200, 150};
    HGDIOBJ pen = SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
    HGDIOBJ brush = SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    Rectangle(canvas.dc, 130, 80, 170, 120);
    SelectObject(canvas.dc, pen);
    SelectObject(canvas.dc, brush);
    TestField box("x[o]", "2", "X", field);
    DrawFieldData(canvas.dc, NULL, &box.record, 1, NULL, RGB(255, 255, 255), 0, 0, NULL);
    RECT outside[4] = {{100, 50, 200, 80}, {100, 120, 200, 150}, {100, 80, 130, 120}, {170, 80, 200, 120}};
    for (const RECT &o : outside) EXPECT_EQ(0, canvas.CountColour(RGB(0, 0, 0xC0), &o));
    RECT inside = {131, 81, 169, 119};
    EXPECT_GT(canvas.CountColour(RGB(0, 0, 0xC0), &inside), 20);
    // Drawn again after the value was cleared: the mark is gone, the frame stays.
    box.record.value = NULL;
    DrawFieldData(canvas.dc, NULL, &box.record, 1, NULL, RGB(255, 255, 255), 1, 0, NULL);
    EXPECT_EQ(0, canvas.CountColour(RGB(0, 0, 0xC0)));
    EXPECT_EQ(4 * 39, canvas.CountColour(RGB(0, 0, 0)));
}

// A comb's length comes from the FormPak: it is trusted only up to one box per unit of its row.
// A crafted length is no comb: the value is painted as one text over the cleared field.
TEST(FieldPaint, CombLengthsBeyondWhatTheRowHoldsPaintTheValueAsOneText)
{
    const struct {
        const char *length;
        int boxes;
    } cases[] = {{"6", 6}, {"600", 600}, {"601", 0}, {"2000000000", 0}, {"99999999999", 0}, {"-6", 0}};
    const RECT row = {100, 20, 700, 100};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.length);
        TestCanvas canvas(800, 120);
        TestField comb("N", c.length, "123456", row);
        comb.record.groupLabel = (char *)COMB_GROUP_LABEL;
        ASSERT_EQ(c.boxes, GetCombBoxCount(&comb.record));
        if (c.boxes == 600) continue;   // boxes of one unit have no inside to paint
        PatBlt(canvas.dc, row.left, row.top, row.right - row.left, row.bottom - row.top, BLACKNESS);
        EXPECT_EQ(1, DrawFieldData(canvas.dc, NULL, &comb.record, 1, NULL, RGB(255, 255, 255), 1, 0, NULL));
        RECT box;
        for (int b = 0; b < c.boxes; b++) {   // a comb: one character inside each box
            ASSERT_TRUE(GetCombBoxRect(&row, c.boxes, b, &box));
            EXPECT_GT(canvas.CountColour(RGB(0, 0, 0xC0), &box), 20) << "box " << b;
        }
        // A comb keeps the dividers between its boxes; one text clears the whole field.
        int dividers = canvas.CountColour(RGB(0, 0, 0), &row);
        EXPECT_TRUE(c.boxes ? dividers > 5 * 80 : dividers == 0) << dividers;
        EXPECT_GT(canvas.CountColour(RGB(0, 0, 0xC0), &row), 6 * 20);
    }
}

// A comb label the file format accepts but whose boxes cannot be placed in the field, or are too
// narrow for a character, shows its value as fully as a plain field of that size, and only there.
TEST(FieldPaint, CombsWhoseBoxesCannotBePlacedPaintTheValueInsideTheField)
{
    const char *labels[][2] = {{COMB_GROUP_LABEL, "100"}, {COMB_GROUP_LABEL, "60"}, {"[comb 3@132 2@900 4]", "9"},
                               {"[comb 3@2 2@4 4]", "9"}, {"[comb 3@99999999999 6]", "9"}};
    for (const auto &c : labels) {
        for (LONG width : {446L, 300L, 1200L}) {
            SCOPED_TRACE(testing::Message() << c[0] << " length " << c[1] << ", " << width << " units");
            const RECT field = {100, 40, 100 + width, 100};
            TestCanvas canvas(1400, 140);
            TestField f("N", c[1], "400012345", field);
            DrawFieldData(canvas.dc, NULL, &f.record, 1, NULL, RGB(255, 255, 255), 1, 0, NULL);
            int plainInk = canvas.CountColour(RGB(0, 0, 0xC0), &field);
            ASSERT_GT(plainInk, 9 * 20);
            canvas.Clear();
            f.record.groupLabel = (char *)c[0];
            DrawFieldData(canvas.dc, NULL, &f.record, 1, NULL, RGB(255, 255, 255), 1, 0, NULL);
            EXPECT_GE(canvas.CountColour(RGB(0, 0, 0xC0), &field) * 2, plainInk);
            int inkInside = width * 60 - canvas.CountColour(RGB(255, 255, 255), &field);
            EXPECT_EQ(inkInside, canvas.width * canvas.height - canvas.CountColour(RGB(255, 255, 255)))
                << "ink outside the field";
        }
    }
}

TEST(FieldPaint, ClearFirstWhitensOrdinaryFieldsAndTheDataFontSetting)
{
    TestCanvas canvas(800, 200);
    TestField f("A", "20", "OLD", RECT{100, 20, 700, 90});
    PatBlt(canvas.dc, 100, 20, 600, 70, BLACKNESS);
    DrawFieldData(canvas.dc, NULL, &f.record, 1, NULL, RGB(0, 0, 0), 1, 0, NULL);
    EXPECT_EQ(0, canvas.CountColour(RGB(0, 0, 0)));
    EXPECT_GT(canvas.CountColour(RGB(0, 0, 0xC0)), 50);

    LOGFONTA font;
    {
        DataFontSetting setting(1);
        BuildDataFont(&font, NULL);
        EXPECT_STREQ("Courier New", font.lfFaceName);
        EXPECT_EQ(700, font.lfWeight);
        EXPECT_EQ(FIXED_PITCH | FF_MODERN, font.lfPitchAndFamily);
    }
    {
        DataFontSetting setting(2);
        BuildDataFont(&font, NULL);
        EXPECT_STREQ("Times New Roman", font.lfFaceName);
        EXPECT_EQ(500, font.lfWeight);
    }
    {
        DataFontSetting setting(7);
        BuildDataFont(&font, NULL);
        EXPECT_STREQ("", font.lfFaceName);
    }
    BuildDataFont(&font, NULL);
    EXPECT_STREQ("Arial", font.lfFaceName);
    EXPECT_EQ(50, font.lfHeight);
    EXPECT_EQ(0, font.lfItalic);
    // Pages of an earlier tax year are painted in italics.
    FormInstance page;
    memset(&page, 0, sizeof(page));
    page.taxYear = 2023;
    BuildDataFont(&font, &page);
    EXPECT_EQ(1, font.lfItalic);
    page.taxYear = 2024;
    BuildDataFont(&font, &page);
    EXPECT_EQ(0, font.lfItalic);
}

TEST(FieldPaint, MinnesotaOutputFontAndSeparatorsOnlyWhileOutputRuns)
{
    FormInstance m1;
    memset(&m1, 0, sizeof(m1));
    m1.jurisdiction = 24;
    m1.pageKey = (char *)"Form M1.2";
    FormInstance crp = m1;
    crp.pageKey = (char *)"MN CRP.1";
    LOGFONTA font;
    BuildDataFont(&font, &m1);
    EXPECT_STREQ("Arial", font.lfFaceName);   // on screen the setting rules
    gPrintInProgress = 1;
    gPrintPageJurisdiction = 24;
    BuildDataFont(&font, &m1);
    EXPECT_STREQ("Courier New", font.lfFaceName);
    EXPECT_EQ(700, font.lfWeight);
    BuildDataFont(&font, &crp);
    EXPECT_STREQ("Arial", font.lfFaceName);
    EXPECT_EQ(1, IsMnOutputPage(&m1));
    EXPECT_EQ(0, IsMnOutputPage(&crp));

    // A dashed value of an 'S' field of length 9 prints without its dashes on the M1 page.
    TestCanvas printed(900, 120), screen(900, 120);
    TestField ssn("S[x]", "9", "123-45-6789", RECT{50, 20, 850, 100});
    DrawFieldData(printed.dc, NULL, &ssn.record, 1, NULL, RGB(255, 255, 255), 0, 0, &m1);
    gPrintInProgress = 0;
    DrawFieldData(screen.dc, NULL, &ssn.record, 1, NULL, RGB(255, 255, 255), 0, 0, &m1);
    EXPECT_STREQ("123-45-6789", ssn.record.value);
    SIZE nine = printed.MeasureText("Courier New", 50, "123456789");
    RECT p = printed.InkBounds();
    EXPECT_NEAR(nine.cx, p.right - p.left, 12);
    EXPECT_LT(screen.InkBounds().right - screen.InkBounds().left, p.right - p.left + 60);
    gPdfInProgress = 1;
    gPdfPageJurisdiction = 24;
    EXPECT_EQ(1, IsMnOutputPage(&m1));
    gPdfInProgress = 0;
    gPdfPageJurisdiction = 0;
    gPrintPageJurisdiction = 0;
}

TEST(FieldPaint, MinnesotaSeparatorsByKind)
{
    struct Row { const char *type, *length, *value, *printed; };
    const Row rows[] = {
        {"N", "12", "1,234,567", "1234567"},       {"N", "7", "1,234", "1234"},
        {"N", "9", "123-45-6789", "123456789"},     {"m", "10", "41-1234567", "411234567"},
        {"p", "9", "P-1234", "P1234"},               {"D", "10", "01/02/2024", "01022024"},
        {"t", "13", "(612)555-0100", "6125550100"},  {"S[x]", "9", "12-34", "1234"},
        {"S[x]", "12", "12-34-56", "123456"},        {"S[x]", "12", "12-3456", "12-3456"},
        {"A", "20", "A-B", "A-B"},                    {"V", "9", "1-2", "12"},
        {"T[1a]", "11", "123-45-6789", "123456789"}, {"T[1y]", "10", "01/02/1980", "01021980"},
        {"T[3]", "10", "41-1234567", "411234567"},   {"P[a]", "11", "P-123", "P123"},
    };
    for (const Row &row : rows) {
        RECT r = {0, 0, 10, 10};
        TestField f(row.type, row.length, row.value, r);
        char value[64];
        strcpy(value, row.value);
        CleanMnOutputValue(&f.record, value);
        EXPECT_STREQ(row.printed, value) << row.type;
    }
}

}  // namespace

namespace {

TEST(ActiveField, ShadedBlocksWithValuesCompositedOntoTheScaledPage)
{
    // The page: white with a black rule through the amount field; the view at half size.
    TestCanvas pageCanvas(800, 400);
    PatBlt(pageCanvas.dc, 0, 140, 800, 4, BLACKNESS);
    HBITMAP pageBitmap = pageCanvas.Detach();
    TestCanvas view(400, 200, 24);
    HDC pageDc = CreateCompatibleDC(NULL);
    HGDIOBJ oldPage = SelectObject(pageDc, pageBitmap);
    SetStretchBltMode(view.dc, HALFTONE);
    StretchBlt(view.dc, 0, 0, 400, 200, pageDc, 0, 0, 800, 400, SRCCOPY);
    SelectObject(pageDc, oldPage);
    DeleteDC(pageDc);
    HBITMAP viewBitmap = view.bitmap;
    SelectObject(view.dc, view.old);   // the view bitmap is composited through its own DC

    const COLORREF shade = RGB(0xCC, 0xFF, 0xCC);
    TestField amount("N", "12", "1,234", RECT{100, 100, 500, 160});
    TestField empty("A", "20", NULL, RECT{100, 200, 500, 260});
    TestField calculated("CN", "12", NULL, RECT{100, 300, 500, 360});
    FieldRecord fields[3] = {amount.record, empty.record, calculated.record};
    EXPECT_EQ(3, DrawActiveFieldAt(fields, 3, pageBitmap, viewBitmap, 0.5f, shade, 0, 0, NULL, 0, 0, NULL));

    view.old = SelectObject(view.dc, viewBitmap);
    RECT amountView = {51, 51, 249, 79};
    RECT emptyView = {51, 101, 249, 129};
    RECT calcView = {51, 151, 249, 179};
    int amountArea = (amountView.right - amountView.left) * (amountView.bottom - amountView.top);
    EXPECT_GT(view.CountColour(shade, &amountView), amountArea / 2);        // shaded
    RECT text = {180, 51, 249, 79};
    EXPECT_GT(amountArea - view.CountColour(shade, &amountView), 50);   // and the value in it
    EXPECT_GT(view.InkBounds(&text).right, 200);                            // right-aligned
    RECT rule = {60, 70, 70, 72};
    EXPECT_EQ(20, view.CountColour(shade, &rule));      // a plain field covers the page under it
    RECT edge = {50, 70, 51, 72};
    EXPECT_EQ(0, view.CountColour(RGB(255, 255, 255), &edge));   // its left edge keeps the page (ANDed)
    int emptyArea = (emptyView.right - emptyView.left) * (emptyView.bottom - emptyView.top);
    EXPECT_EQ(emptyArea, view.CountColour(shade, &emptyView));
    EXPECT_EQ(0, view.CountColour(shade, &calcView));   // calculated fields stay white
    DeleteObject(pageBitmap);
}

// The rows of a bitmap as 24-bit pixels.
std::vector<unsigned char> ReadPixels24(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    std::vector<unsigned char> pixels((size_t)((width * 3 + 3) & ~3) * height);
    HDC dc = CreateCompatibleDC(NULL);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    return pixels;
}

// A page's fields painted in one pass (shared work surfaces, settings read once) leave the same
// pixels as the same fields painted one call each, for every kind of block: plain fields with and
// without values, calculated fields, labels with their icon, check boxes, tagged fields, fields
// of one pixel's width (copied, not shrunk), overlapping fields, large before small and small
// before large; at the page view's zooms and with another data font.
TEST(ActiveField, OnePassLeavesThePixelsOfFieldByFieldPainting)
{
    DataFontSetting courier(1);
    TestCanvas pageCanvas(1200, 800);
    PatBlt(pageCanvas.dc, 0, 140, 1200, 4, BLACKNESS);
    Rectangle(pageCanvas.dc, 600, 400, 640, 440);   // the check box's border
    PatBlt(pageCanvas.dc, 900, 500, 3, 200, BLACKNESS);
    HBITMAP pageBitmap = pageCanvas.Detach();
    const COLORREF shade = RGB(0xCC, 0xFF, 0xCC);
    TestField fields[] = {
        TestField("N", "12", "1,234", RECT{100, 100, 500, 160}),
        TestField("A", "20", NULL, RECT{100, 200, 500, 260}),
        TestField("CN", "12", "99", RECT{100, 300, 500, 360}),
        TestField("L", "20", "Label text", RECT{100, 400, 400, 440}),
        TestField("x[o]", "1", "X", RECT{600, 400, 640, 440}),
        TestField("T[1ax]", "11", "123-45-6789", RECT{700, 100, 1100, 160}),
        TestField("A", "1", "Z", RECT{101, 500, 102, 560}),
        TestField("A", "30", "Wide overlapping text", RECT{50, 600, 1150, 700}),
        TestField("N", "5", "7", RECT{880, 620, 960, 680}),
        TestField("A", "3", "abc", RECT{20, 20, 60, 45}),
    };
    const int count = (int)(sizeof fields / sizeof fields[0]);
    for (float zoom : {0.3f, 0.5f, 0.75f}) {
        SCOPED_TRACE(zoom);
        int width = ScalePageLength(1200, zoom), height = ScalePageLength(800, zoom);
        HBITMAP views[2] = {ResizeBitmap(pageBitmap, width, height), ResizeBitmap(pageBitmap, width, height)};
        ASSERT_TRUE(views[0] && views[1]);
        std::vector<unsigned char> page = ReadPixels24(views[0], width, height);
        std::vector<FieldRecord> records;
        for (TestField &f : fields) records.push_back(f.record);
        int painted = DrawActiveFieldAt(records.data(), count, pageBitmap, views[0], zoom, shade, 0, 0, NULL, 0, 0, NULL);
        int single = 0;   // the one-pixel field covers no view pixel at some zooms
        for (int i = 0; i < count; i++)
            single += DrawActiveFieldAt(&records[i], 1, pageBitmap, views[1], zoom, shade, 0, 0, NULL, 0, 0, NULL);
        EXPECT_EQ(single, painted);
        EXPECT_GE(painted, count - 1);
        std::vector<unsigned char> onePass = ReadPixels24(views[0], width, height);
        EXPECT_NE(page, onePass);
        EXPECT_TRUE(onePass == ReadPixels24(views[1], width, height));
        DeleteObject(views[0]);
        DeleteObject(views[1]);
    }
    DeleteObject(pageBitmap);
}

}  // namespace
