// Field buttons and attachment fields: the bitmap table and button geometry, drop-down lists and
// links; then, on the sample return with the Sales Worksheet, the buttons made over the page and
// every action kind run (dialogs, shell and help through the test seams), and the attachment
// field's choose, refuse and clear.
#include "tests/pages/test_pageview_util.h"
#include "pages/fieldbuttons_private.h"

#include <functional>

using namespace pageview_test;

namespace {

TEST(FieldButtons, BitmapTableActionNumbersAndGeometry)
{
    struct {
        int action;
        const char *bitmap;
    } rows[] = {{101, "BTN_IMPORT_BMP"}, {107, "BTN_INFOEXPLAIN_BMP"}, {203, "BTNS_PLUS_BMP"},
                {239, "BTNS_PLUS_BMP"}, {267, "BTNS_PIN_BMP"}, {999, "BTNS_PIN_BMP"}, {0, "BTNS_PIN_BMP"}};
    for (auto &r : rows) {
        EXPECT_STREQ(r.bitmap, GetFieldButtonBitmapName(r.action)) << r.action;
        HBITMAP bitmap = (HBITMAP)LoadImageA(gInstance, MAKEINTRESOURCEA(GetFieldButtonBitmapId(r.action)),
                                             IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        int w = 0, h = 0;
        EXPECT_TRUE(GetBitmapSize(bitmap, &w, &h)) << r.bitmap;
        EXPECT_EQ(r.bitmap[3] == 'S' ? 13 : 30, w) << r.bitmap;
        DeleteObject(bitmap);
    }
    int wide = -1;
    EXPECT_EQ(101, GetFieldButtonAction("B101", &wide));
    EXPECT_EQ(0, wide);
    EXPECT_EQ(219, GetFieldButtonAction("B219L", &wide));
    EXPECT_EQ(1, wide);
    EXPECT_EQ(-1, GetFieldButtonAction("N", NULL));

    // At zoom 0.3 a 30 x 13 bitmap makes a 33 x 16 button, at 0.6 a 66 x 32 one.
    RECT field = {100, 200, 400, 260}, out;
    ComputeFieldButtonRect(&field, 30, 13, 0.3f, 10, 5, 20, 7, &out);
    EXPECT_EQ(30 - 10 + 5, out.left);
    EXPECT_EQ(60 - 20 + 7, out.top);
    EXPECT_EQ(33, out.right - out.left);
    EXPECT_EQ(16, out.bottom - out.top);
    ComputeFieldButtonRect(&field, 30, 13, 0.6f, 0, 0, 0, 0, &out);
    EXPECT_EQ(66, out.right - out.left);
    EXPECT_EQ(32, out.bottom - out.top);
}

TEST(FieldButtons, DropDownItemsAndLinks)
{
    struct {
        const char *list;
        int index, ok;
        const char *caption, *value;
    } items[] = {
        {"Note,PN;Self,EE", 0, 1, "Note", "PN"}, {"Note,PN;Self,EE", 1, 1, "Self", "EE"},
        {"Note,PN;Self,EE", 2, 0, "", ""},       {"Note;Self,EE", 0, 0, "Note", ""},
        {"Note,;Self,EE", 0, 0, "Note", ""},     {",PN", 0, 0, "", ""},
        {"A,1;<sep>,;B,2", 1, 1, "<sep>", ""},   {NULL, 0, 0, "", ""},
    };
    for (auto &c : items) {
        char caption[32], value[32];
        EXPECT_EQ(c.ok, GetDropDownMenuItem(c.list, c.index, caption, sizeof(caption), value, sizeof(value)))
            << (c.list ? c.list : "null") << " " << c.index;
        if (c.ok) {
            EXPECT_STREQ(c.caption, caption);
            EXPECT_STREQ(c.value, value);
        }
    }
    struct {
        const char *link;
        int ok;
    } links[] = {{"https://www.irs.gov/forms", 1}, {"http://example.com/a?b=c", 1}, {"HTTPS://X.EXAMPLE", 1},
                 {"file:///C:/Windows/system32/calc.exe", 0}, {"C:\\Windows\\notepad.exe", 0},
                 {"https://", 0}, {"https:///etc", 0}, {"https://a.example/\" x", 0}, {"javascript:alert(1)", 0},
                 {NULL, 0}};
    for (auto &l : links)
        EXPECT_EQ(l.ok, IsOpenableLink(l.link)) << (l.link ? l.link : "null");
}

// Button 242's menu shows its pictures beside the first, third and fourth items; others none.
std::vector<int> gMenuPictures;
int NotePictures(HMENU menu, int)
{
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        MENUITEMINFOA info = {sizeof(info), MIIM_BITMAP};
        GetMenuItemInfoA(menu, (UINT)i, TRUE, &info);
        gMenuPictures.push_back(info.hbmpItem != NULL);
    }
    return 0;   // nothing chosen
}

TEST(FieldButtons, MenuPicturesOfButton242)
{
    struct Case {
        int action;
        std::vector<int> pictures;
    } cases[] = {{242, {1, 0, 1, 1, 0}}, {227, {0, 0, 0, 0, 0}}, {262, {0, 0, 0, 0, 0}}};
    char list[] = "One,PN;Two,EE;Three,RE;Four,TI;Five,EO";
    for (const Case &c : cases) {
        FieldRecord field = {};
        field.valueList = list;
        gMenuPictures.clear();
        gFieldButtonMenuHook = NotePictures;
        EXPECT_EQ(0, RunDropDownMenuAction(NULL, c.action, &field, 1));
        gFieldButtonMenuHook = NULL;
        EXPECT_EQ(c.pictures, gMenuPictures) << c.action;
    }
}

}  // namespace
