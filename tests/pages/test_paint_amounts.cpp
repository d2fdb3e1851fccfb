// An amount too wide for its field even at the smallest font keeps its sign: the start of the
// text stays in the field and the end is clipped.
#include <gtest/gtest.h>
#include "pages/pages.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_paint_util.h"

TEST(FieldPaint, ClippedAmountKeepsItsSign)
{
    const char *const values[] = {"-1,234,567,890,123,456,789", "-9999999999999999999999999"};
    for (const char *value : values) {
        TestCanvas canvas(600, 120);
        RECT rect = {100, 20, 260, 90};
        FieldRecord field;
        memset(&field, 0, sizeof field);
        field.typeCode = (char *)"N";
        field.length = (char *)"12";   // right-aligned
        field.value = (char *)value;
        field.rect = &rect;
        DrawFieldData(canvas.dc, NULL, &field, 1, NULL, RGB(255, 255, 255), 0, 0, NULL);
        RECT ink = canvas.InkBounds();
        ASSERT_LT(ink.left, ink.right) << value;
        EXPECT_GE(ink.left, rect.left) << value;
        EXPECT_LE(ink.right, rect.right) << value;
        // The leftmost glyph is the minus sign: a thin bar, not a full-height digit.
        RECT first = {ink.left, 0, ink.left + 3, 120};
        RECT sign = canvas.InkBounds(&first);
        EXPECT_LE((sign.bottom - sign.top) * 3, ink.bottom - ink.top) << value;
    }
}
