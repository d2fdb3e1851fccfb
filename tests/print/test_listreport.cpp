// List reports: column layout and shrink factor, the footer's date and time, the page-break
// rule, and whole reports rendered into page bitmaps (page limit, oversized rows, footer,
// landscape).
#include <gtest/gtest.h>
#include "print/print.h"
#include "tests/harness/harness.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// A hidden report-style list view with the given column widths and cell texts.
struct TestList {
    HWND list = 0;
    explicit TestList(const std::vector<int> &widths, const std::vector<int> &formats = {})
    {
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 800, 600, 0, 0,
                               GetModuleHandleA(0), 0);
        for (size_t i = 0; i < widths.size(); i++) {
            char head[32];
            snprintf(head, sizeof head, "Column %d", (int)i + 1);
            LVCOLUMNA column;
            memset(&column, 0, sizeof column);
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt = i < formats.size() ? formats[i] : LVCFMT_LEFT;
            column.cx = widths[i];
            column.pszText = head;
            SendMessageA(list, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
        }
    }
    ~TestList() { DestroyWindow(list); }
    void AddRow(const std::vector<std::string> &cells)
    {
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_TEXT;
        item.iItem = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        item.pszText = (char *)cells[0].c_str();
        int row = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        for (size_t c = 1; c < cells.size(); c++) {
            LVITEMA sub;
            memset(&sub, 0, sizeof sub);
            sub.iSubItem = (int)c;
            sub.pszText = (char *)cells[c].c_str();
            SendMessageA(list, LVM_SETITEMTEXTA, row, (LPARAM)&sub);
        }
    }
};

// Non-white pixels of a bitmap in rows [top, bottom).
long CountInk(HBITMAP bitmap, int top = 0, int bottom = -1)
{
    int width = 0, height = 0;
    GetBitmapSize(bitmap, &width, &height);
    if (bottom < 0 || bottom > height)
        bottom = height;
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<unsigned> pixels((size_t)width * height);
    HDC dc = GetDC(0);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(0, dc);
    long ink = 0;
    for (int y = top; y < bottom; y++)
        for (int x = 0; x < width; x++)
            if ((pixels[(size_t)y * width + x] & 0xFFFFFF) != 0xFFFFFF)
                ink++;
    return ink;
}

struct BitmapSlots {
    HBITMAP slots[LIST_REPORT_MAX_BITMAPS] = {};
    ~BitmapSlots()
    {
        for (HBITMAP b : slots)
            if (b)
                DeleteObject(b);
    }
    int Count() const
    {
        int n = 0;
        for (HBITMAP b : slots)
            n += b != 0;
        return n;
    }
};

ListPrintJob MakeJob(HWND list, HBITMAP *slots)
{
    ListPrintJob job;
    InitListPrintJob(&job, list);
    job.pageBitmaps = slots;
    job.titleArtwork = 0;
    job.title = "Error List";
    job.subtitle = "Return of Pat Doe";
    return job;
}

} // namespace

TEST(ListReportLayout, DefaultsOfAJob)
{
    TestList list({100});
    ListPrintJob job;
    InitListPrintJob(&job, list.list);
    EXPECT_EQ(job.header, (HWND)SendMessageA(list.list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(job.titleBlock, 1);
    EXPECT_FLOAT_EQ(job.leftMargin, 0.5f);
    EXPECT_FLOAT_EQ(job.topMargin, 0.75f);
    EXPECT_EQ(job.headTextColour, RGB(255, 255, 255));
    EXPECT_EQ(job.headFillColour, 0u);
    EXPECT_EQ(job.fontPoints[LIST_FONT_TITLE], 22);
    EXPECT_EQ(job.fontPoints[LIST_FONT_SUBTITLE], 12);
    EXPECT_STREQ(job.fontFaces[LIST_FONT_FOOTER], "Arial");
}

TEST(ListReportLayout, BitmapGeometryAndSpacings)
{
    ListPrintJob job;
    InitListPrintJob(&job, 0);
    SetListReportGeometry(&job, 0, 0, 0, 96, 96);
    EXPECT_EQ(job.pageWidth, 2400);
    EXPECT_EQ(job.pageHeight, 3168);
    EXPECT_EQ(job.marginX, 0);
    EXPECT_FLOAT_EQ(job.scaleX, 300.0f / 96.0f);
    EXPECT_EQ(job.spaceX4, 12);    // 4 x 3.125, truncated
    EXPECT_EQ(job.spaceY20, 62);
    EXPECT_EQ(job.spaceY2, 6);
    EXPECT_EQ(job.fontDpi, 300);
    job.landscape = 1;
    SetListReportGeometry(&job, 0, 0, 0, 96, 96);
    EXPECT_EQ(job.pageWidth, 3168);
    EXPECT_EQ(job.pageHeight, 2400);
}

TEST(ListReportLayout, ColumnsThatFitKeepTheirWidthAndCanBeCentred)
{
    ListPrintJob job;
    InitListPrintJob(&job, 0);
    job.scaleX = 2.0f;
    job.printableWidth = 1000;
    job.centre = 1;
    ListReportColumn columns[2] = {};
    columns[0].listWidth = 100;
    columns[1].listWidth = 150;
    EXPECT_FLOAT_EQ(LayoutListColumns(&job, columns, 2), 1.0f);
    EXPECT_EQ(columns[0].width, 200);
    EXPECT_EQ(columns[1].width, 300);
    EXPECT_EQ(job.indent, 250);
}

TEST(ListReportLayout, WideListsShrinkByWholePercent)
{
    ListPrintJob job;
    InitListPrintJob(&job, 0);
    job.scaleX = 1.0f;
    job.printableWidth = 1000;
    ListReportColumn columns[3] = {};
    columns[0].listWidth = 600;
    columns[1].listWidth = 500;
    columns[2].listWidth = 400;   // 1500 in all: 1000 x 100 / 1500 = 66 -> 0.66
    EXPECT_FLOAT_EQ(LayoutListColumns(&job, columns, 3), 0.66f);
    EXPECT_EQ(columns[0].width, 396);
    EXPECT_EQ(columns[2].width, 264);
    EXPECT_EQ(job.indent, 0);
    // Below 0.45 the factor is 0.44 when the scale is at most 1.
    columns[0].listWidth = 3000;
    EXPECT_FLOAT_EQ(LayoutListColumns(&job, columns, 3), 0.44f);
    job.scaleX = 1.5f;   // a larger scale keeps the computed factor
    EXPECT_FLOAT_EQ(LayoutListColumns(&job, columns, 3), (float)(1000 * 100 / 5850) / 100.0f);
}

TEST(ListReportLayout, FooterTimeUsesTheTwelveHourClock)
{
    SYSTEMTIME t = {};
    t.wYear = 2025;
    t.wMonth = 4;
    t.wDay = 15;
    char text[64];
    t.wHour = 12;
    t.wMinute = 0;
    t.wSecond = 7;
    FormatListReportTime(&t, text, sizeof text);
    EXPECT_STREQ(text, "04/15/2025  12:00:07 p.m.");
    t.wHour = 0;
    t.wMinute = 30;
    FormatListReportTime(&t, text, sizeof text);
    EXPECT_STREQ(text, "04/15/2025  12:30:07 a.m.");
    t.wHour = 13;
    t.wMinute = 5;
    FormatListReportTime(&t, text, sizeof text);
    EXPECT_STREQ(text, "04/15/2025  01:05:07 p.m.");
    t.wHour = 9;
    FormatListReportTime(&t, text, sizeof text);
    EXPECT_STREQ(text, "04/15/2025  09:05:07 a.m.");
    EXPECT_EQ(FormatListReportTime(&t, text, 10), 0);
    EXPECT_STREQ(text, "");
}

// The footer band sits at the page's foot: page height less the footer font height and twice
// the 2-pixel spacing, whatever the top margin.
TEST(ListReportLayout, FooterSitsAtThePageHeightLessItsFontAndSpacing)
{
    ListPrintJob job;
    InitListPrintJob(&job, 0);
    const struct {
        int pageHeight, marginY, spaceY2, fontHeight, top;
    } cases[] = {{3168, 0, 6, 42, 3168 - 54}, {3300, 150, 6, 42, 3300 - 54}, {6600, 75, 12, 83, 6600 - 107}};
    for (const auto &c : cases) {
        job.pageHeight = c.pageHeight;
        job.marginY = c.marginY;
        job.spaceY2 = c.spaceY2;
        EXPECT_EQ(c.top, GetListFooterTop(&job, c.fontHeight)) << c.pageHeight << " " << c.marginY;
    }
}

TEST(ListReportLayout, RowFitsWhenThreeQuartersAreAboveTheBottom)
{
    EXPECT_TRUE(ListRowFitsOnPage(900, 100, 975));
    EXPECT_FALSE(ListRowFitsOnPage(900, 100, 974));
}

TEST(ListReportBitmaps, ShortListGivesOnePageWithTitleRowsAndFooter)
{
    TestList list({120, 300});
    for (int i = 0; i < 5; i++)
        list.AddRow({"Line " + std::to_string(i + 1), "Amount must be entered"});
    BitmapSlots slots;
    ListPrintJob job = MakeJob(list.list, slots.slots);
    job.footerFlag = 1;
    job.headsFlag = 1;
    job.headFill = 1;
    EXPECT_EQ(PrintListReport(0, 0, &job, 0), 1);
    ASSERT_EQ(slots.Count(), 1);
    int width = 0, height = 0;
    GetBitmapSize(slots.slots[0], &width, &height);
    EXPECT_EQ(width, 2400);
    EXPECT_EQ(height, 3168);
    EXPECT_EQ(GetBitmapBitsPerPixel(slots.slots[0]), 4);
    EXPECT_GT(CountInk(slots.slots[0], 0, 400), 1000);            // title block and heads
    EXPECT_GT(CountInk(slots.slots[0], height - 150, height), 200);  // footer "Page 1" and the time
    EXPECT_FLOAT_EQ(job.shrink, 1.0f);
}

TEST(ListReportBitmaps, LongReportKeepsTheFirstThirteenPages)
{
    TestList list({400, 200});
    BitmapSlots slots;
    ListPrintJob job = MakeJob(list.list, slots.slots);
    job.fontPoints[LIST_FONT_ROWS] = 40;
    job.titleBlock = 0;   // every page then holds as many rows
    // Find how many rows fill a page, then make 19 full pages and a last page of one row.
    for (int i = 0; i < 60; i++)
        list.AddRow({"Row", "Text"});
    int pages = PrintListReport(0, 0, &job, 0);
    ASSERT_GE(pages, 1);
    for (HBITMAP &b : slots.slots)
        if (b)
            DeleteObject(b), b = 0;
    int perPage = 0;
    for (int rows = 1; rows <= 60; rows++) {
        SendMessageA(list.list, LVM_DELETEALLITEMS, 0, 0);
        for (int i = 0; i < rows; i++)
            list.AddRow({"Row", "Text"});
        HBITMAP none[LIST_REPORT_MAX_BITMAPS] = {};
        job.pageBitmaps = none;
        int n = PrintListReport(0, 0, &job, 0);
        for (HBITMAP b : none)
            if (b)
                DeleteObject(b);
        if (n > 1)
            break;
        perPage = rows;
    }
    ASSERT_GT(perPage, 2);
    SendMessageA(list.list, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < perPage * 19 + 1; i++)
        list.AddRow({"Row " + std::to_string(i + 1), "Text"});
    job.pageBitmaps = slots.slots;
    EXPECT_EQ(PrintListReport(0, 0, &job, 0), 20);
    EXPECT_EQ(slots.Count(), LIST_REPORT_MAX_BITMAPS);
    // The thirteenth slot holds page 13, a full page, not the one-row last page.
    long fullPage = CountInk(slots.slots[1]);
    EXPECT_GT(CountInk(slots.slots[12]), fullPage / 2);
}

TEST(ListReportBitmaps, RowTallerThanAPageIsClippedOnItsOwnPage)
{
    TestList list({300});
    std::string huge;
    for (int i = 0; i < 400; i++)
        huge += "A long explanation line that wraps. ";
    list.AddRow({"Short first row"});
    list.AddRow({huge});
    list.AddRow({"Last row"});
    BitmapSlots slots;
    ListPrintJob job = MakeJob(list.list, slots.slots);
    job.maxCellText = 20000;
    job.fontPoints[LIST_FONT_ROWS] = 14;
    int pages = PrintListReport(0, 0, &job, 0);
    EXPECT_EQ(pages, 3);   // first row, the clipped row alone, the last row
    EXPECT_EQ(slots.Count(), 3);
}

TEST(ListReportBitmaps, SingleHugeRowShrinksItsFontAndEnds)
{
    TestList list({600});
    std::string huge;
    for (int i = 0; i < 600; i++)
        huge += "Explanation text. ";
    list.AddRow({huge});
    BitmapSlots slots;
    ListPrintJob job = MakeJob(list.list, slots.slots);
    job.maxCellText = 20000;
    EXPECT_EQ(PrintListReport(0, 0, &job, 0), 1);
    EXPECT_EQ(slots.Count(), 1);
}

TEST(ListReportBitmaps, WideListPrintsWithSmallerFontsRatherThanCut)
{
    TestList list({700, 700, 700, 700}, {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER, LVCFMT_LEFT});
    list.AddRow({"a", "b", "c", "last column text"});
    BitmapSlots slots;
    ListPrintJob job = MakeJob(list.list, slots.slots);
    EXPECT_EQ(PrintListReport(0, 0, &job, 0), 1);
    EXPECT_LT(job.shrink, 1.0f);
    // The last column's text is on the page: ink in the right quarter of the row band.
    HBITMAP page = slots.slots[0];
    ASSERT_TRUE(page);
    EXPECT_GT(CountInk(page), 0);
}

TEST(ListReportBitmaps, LandscapeReportIsTurnedIntoAPortraitBitmap)
{
    TestList list({200, 200});
    list.AddRow({"x", "y"});
    BitmapSlots slots;
    ListPrintJob job = MakeJob(list.list, slots.slots);
    job.landscape = 1;
    EXPECT_EQ(PrintListReport(0, 0, &job, 0), 1);
    int width = 0, height = 0;
    GetBitmapSize(slots.slots[0], &width, &height);
    EXPECT_EQ(width, 2400);
    EXPECT_EQ(height, 3168);
}

TEST(ListReportBitmaps, StampsAreDrawnWhenAsked)
{
    TestList list({200});
    list.AddRow({"x"});
    BitmapSlots plain, stamped;
    ListPrintJob job = MakeJob(list.list, plain.slots);
    job.titleBlock = 0;
    PrintListReport(0, 0, &job, 0);
    job.pageBitmaps = stamped.slots;
    PrintListReport(0, 0, &job, 1);
    // The lower half holds "DO NOT MAIL" only when stamped.
    EXPECT_GT(CountInk(stamped.slots[0], 1584, 3168), CountInk(plain.slots[0], 1584, 3168) + 5000);
}

TEST(ListReportBitmaps, ListWithoutColumnsGivesNoPage)
{
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 100, 100, 0, 0, 0, 0);
    BitmapSlots slots;
    ListPrintJob job = MakeJob(list, slots.slots);
    EXPECT_EQ(PrintListReport(0, 0, &job, 0), 0);
    EXPECT_EQ(slots.Count(), 0);
    DestroyWindow(list);
}
