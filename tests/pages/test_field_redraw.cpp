// A field repainted after its value changed (emptied, shortened) leaves exactly what the page
// shows when it is built afresh, on the page image and on the scaled page of the view.
#include "tests/pages/test_pageview_util.h"

using namespace pageview_test;

namespace {

// The pixels of a bitmap inside rc, row by row.
std::vector<COLORREF> Pixels(HBITMAP bitmap, const RECT &rc)
{
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<COLORREF> out;
    for (int y = rc.top; y < rc.bottom; y++)
        for (int x = rc.left; x < rc.right; x++)
            out.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return out;
}

HBITMAP ScaledBitmap()
{
    return (HBITMAP)SendMessageA(gPageViewWindow, WM_PAGE_GETSCALED, 0, 0);
}

TEST(FieldRedraw, ARedrawnFieldShowsWhatAFreshPageShows)
{
    std::string sample = BuiltFilePath("samples/Sales.qvr");
    if (sample.empty())
        GTEST_SKIP() << "the Sales sample was not built";
    UseBuildFormPaks();
    gZoom = 0.3f;
    HWND main = OpenMainWindow();
    ShowWindow(main, SW_SHOW);
    MoveWindow(main, 0, 0, 1200, 900, TRUE);
    SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)sample.c_str());
    PumpMessages(100);
    FormInstance *pages[16];
    int count = EnumerateTreePages(NULL, pages, 16);
    ASSERT_GE(count, 2);
    FormInstance *sales = !strcmp(pages[0]->pageKey, "Sales Worksheet.1") ? pages[0] : pages[count - 1];
    FormInstance *other = sales == pages[0] ? pages[1] : pages[0];
    ASSERT_STREQ("Sales Worksheet.1", sales->pageKey);
    struct Case {
        const char *seq, *before, *after;
    } cases[] = {
        {"0300", "Jagged gypsy quay", ""},             // an explanation emptied
        {"0400", "quarterly-gains.pdf", ""},           // an attachment cleared
        {"0100", "Piggyback Brokerage Company", "Pig"}, // a name made shorter
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.seq);
        Select(sales->treeItem);
        FieldRecord *field = &sales->fieldTable->fields[FindLayoutField(sales->fieldTable, 1, c.seq, 0)];
        SetFieldText(&field->value, c.before);
        RedrawField(field);
        SetFieldText(&field->value, c.after);
        RedrawField(field);
        // The field with a margin, on the page image and on the view's scaled page.
        RECT page = *field->rect, view;
        InflateRect(&page, 6, 6);
        SetRect(&view, (int)(page.left * gZoom), (int)(page.top * gZoom), (int)(page.right * gZoom) + 1,
                (int)(page.bottom * gZoom) + 1);
        std::vector<COLORREF> redrawnPage = Pixels(gPageBitmap, page), redrawnView = Pixels(ScaledBitmap(), view);
        Select(other->treeItem);
        Select(sales->treeItem);
        EXPECT_TRUE(redrawnPage == Pixels(gPageBitmap, page));
        EXPECT_TRUE(redrawnView == Pixels(ScaledBitmap(), view));
    }
    gReturnModified = 0;
    DestroyMainWindow(main);
    RestoreFormPakFolder();
}

} // namespace
