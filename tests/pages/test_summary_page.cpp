// Pixels of the drawn Summary and Status pages: the title over its grey copy, the footer at the
// page's bottom, coloured spans, and a page drawn into the view after a landscape page (or with
// no page bitmap at all) that keeps its portrait size and footer.
#include "pages/pages.h"
#include "tests/harness/pixels.h"

#include <gtest/gtest.h>
#include <string.h>

namespace
{

// Pixels of colour inside rect of a 4-bit page bitmap.
int CountColour(HBITMAP bitmap, RECT rect, COLORREF colour)
{
    return CountPagePixels(bitmap, &rect, [colour](const RGBQUAD &q) {
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue) == colour;
    });
}

const RECT kTitle = {100, 100, 1400, 500};
const RECT kFooterLeft = {0, 3060, 700, 3168};
const RECT kFooterRight = {1700, 3060, 2400, 3168};

OpenReturn MakeRecord()
{
    OpenReturn record;
    InitOpenReturn(&record);
    SetReturnText(&record, RETURN_NAME_LINE, 50, "John Sample");
    record.bytes[RETURN_PART_PRESENT] = 1;
    return record;
}

} // namespace

TEST(SummaryPage, TitleWithGreyCopyFooterAndSpans)
{
    OpenReturn record = MakeRecord();
    for (int mode = 1; mode <= 2; mode++) {
        HBITMAP page = RenderSummaryPage(NULL, &record, mode, 1);
        ASSERT_TRUE(page);
        int width = 0, height = 0;
        GetBitmapSize(page, &width, &height);
        EXPECT_EQ(width, 2400);
        EXPECT_EQ(height, 3168);
        EXPECT_EQ(GetBitmapBitsPerPixel(page), 4);
        EXPECT_GT(CountColour(page, kTitle, RGB(0, 0, 0)), 5000) << mode;
        EXPECT_GT(CountColour(page, kTitle, SUMMARY_GREY), 500) << mode; // the copy 5 units off
        EXPECT_GT(CountInk(page, &kFooterLeft), 300) << mode;            // "Levyline 2024.0a"
        EXPECT_GT(CountInk(page, &kFooterRight), 300) << mode;           // the web address
        RECT whole = {0, 0, width, height};
        // The Summary page's e-mail note is navy; the Status page's "not e-filed" is maroon.
        EXPECT_GT(CountColour(page, whole, mode == 1 ? SUMMARY_NAVY : SUMMARY_MAROON), 1000) << mode;
        DeleteObject(page);
    }
    // The blank page carries only its text, centred.
    HBITMAP blank = RenderSummaryPage(NULL, &record, 0, 1);
    ASSERT_TRUE(blank);
    RECT middle = {300, 1500, 2100, 1700};
    EXPECT_GT(CountInk(blank, &middle), 1000);
    EXPECT_EQ(CountInk(blank, &kTitle), 0);
    DeleteObject(blank);
}

TEST(SummaryPage, ViewPageAfterLandscapeOrNoPageIsPortrait)
{
    HBITMAP saved = gPageBitmap;
    HBITMAP before[2] = {CreateDibBitmap(3168, 2400, 4, WHITENESS, NULL, NULL), NULL};
    for (HBITMAP start : before) {
        gPageBitmap = start;
        EXPECT_EQ(RenderSummaryPage(NULL, NULL, 1, 0), (HBITMAP)NULL);
        ASSERT_TRUE(gPageBitmap);
        int width = 0, height = 0;
        GetBitmapSize(gPageBitmap, &width, &height);
        EXPECT_EQ(width, 2400);
        EXPECT_EQ(height, 3168);
        EXPECT_GT(CountInk(gPageBitmap, &kFooterLeft), 300);
        EXPECT_GT(CountInk(gPageBitmap, &kTitle), 5000);
        DeleteObject(gPageBitmap);
    }
    gPageBitmap = saved;
}
