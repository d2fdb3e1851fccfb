// A boxed check mark ("x[o" types) is cleared again whatever the text colour setting, black
// included, and the box's frame stays.
#include <gtest/gtest.h>
#include "pages/pages.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_paint_util.h"

TEST(FieldPaint, BoxedCheckMarkClearsInEveryTextColour)
{
    const COLORREF colours[] = {RGB(0, 0, 0xC0), RGB(0, 0, 0)};
    for (COLORREF colour : colours) {
        DWORD setting = colour;   // TxtColor holds 0x00BBGGRR as a COLORREF
        WriteRegistryValue(REG_SCOPE_YEAR, "TxtColor", REG_DWORD, &setting, 4);
        TestCanvas canvas(400, 200);
        HGDIOBJ pen = SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
        HGDIOBJ brush = SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
        Rectangle(canvas.dc, 130, 80, 170, 120);   // the form's box inside the field
        SelectObject(canvas.dc, pen);
        SelectObject(canvas.dc, brush);
        RECT rect = {100, 50, 200, 150};
        FieldRecord field;
        memset(&field, 0, sizeof field);
        field.typeCode = (char *)"x[o]";
        field.length = (char *)"2";
        field.value = (char *)"X";
        field.rect = &rect;
        DrawFieldData(canvas.dc, NULL, &field, 1, NULL, RGB(255, 255, 255), 0, 0, NULL);
        RECT inside = {131, 81, 169, 119};
        EXPECT_GT(canvas.CountColour(colour, &inside), 20) << std::hex << colour;   // the mark is drawn
        field.value = NULL;
        DrawFieldData(canvas.dc, NULL, &field, 1, NULL, RGB(255, 255, 255), 1, 0, NULL);
        EXPECT_EQ(0, canvas.CountColour(colour, &inside)) << std::hex << colour;    // and cleared
        EXPECT_EQ(4 * 39, canvas.CountColour(RGB(0, 0, 0))) << std::hex << colour;  // the frame stays
    }
    DeleteRegistryValue(REG_SCOPE_YEAR, "TxtColor");
}
