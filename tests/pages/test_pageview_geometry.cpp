// The page view's geometry: scaled sizes, point mapping, margins, the scroll adjustment of a
// zoom change, and what a paint copies and fills grey.
#include "pages/pages.h"

#include <gtest/gtest.h>

namespace {

TEST(PageViewGeometry, ScaledSizesAtSeveralZooms)
{
    // 75 % of the program's 100 % (0.3), 100 %, 50 %, 200 %, in 32-bit float.
    float zoom75 = 0.3f * 0.75f;
    EXPECT_EQ(540, ScalePageLength(2400, zoom75));
    EXPECT_EQ(712, ScalePageLength(3168, zoom75));
    EXPECT_EQ(720, ScalePageLength(2400, 0.3f));
    EXPECT_EQ(950, ScalePageLength(3168, 0.3f));
    EXPECT_EQ(360, ScalePageLength(2400, 0.15f));
    EXPECT_EQ(475, ScalePageLength(3168, 0.15f));
    EXPECT_EQ(1440, ScalePageLength(2400, 0.6f));
    EXPECT_EQ(1900, ScalePageLength(3168, 0.6f));
    // Never below one pixel (the empty view's 1 x 1 bitmap).
    EXPECT_EQ(1, ScalePageLength(1, 0.3f));
    EXPECT_EQ(1, ScalePageLength(0, 0.3f));
}

TEST(PageViewGeometry, PointMappingBothWays)
{
    // At zoom 0.3 a client point (100, 50) with margins (20, 10) and no scroll is page (267, 133).
    EXPECT_EQ(267, ClientToPage(100, 20, 0, 0.3f));
    EXPECT_EQ(133, ClientToPage(50, 10, 0, 0.3f));
    // Scrolled: the scroll position adds before the division.
    EXPECT_EQ(600, ClientToPage(100, 0, 80, 0.3f));
    // Page to client truncates the product before the sums.
    EXPECT_EQ(80 - 0 + 20, PageToClient(267, 0.3f, 0, 20));
    EXPECT_EQ(39 - 5 + 10, PageToClient(133, 0.3f, 5, 10));
    // A client point is two unsigned 16-bit halves: 0xFFFF stays large, never -1.
    EXPECT_GT(ClientToPage(0xFFFF, 0, 0, 0.3f), 200000);
}

TEST(PageViewGeometry, MarginsCentreANarrowPageAndCapTheTopMargin)
{
    int mx, my;
    // Narrower and shorter than the client: centred both ways.
    ComputePageMargins(800, 1000, 540, 712, &mx, &my);
    EXPECT_EQ(130, mx);
    EXPECT_EQ(144, my);
    // Narrower but taller: the top margin is the horizontal one, at most 10.
    ComputePageMargins(800, 600, 540, 712, &mx, &my);
    EXPECT_EQ(130, mx);
    EXPECT_EQ(10, my);
    ComputePageMargins(560, 600, 540, 712, &mx, &my);
    EXPECT_EQ(10, mx);
    EXPECT_EQ(10, my);
    ComputePageMargins(546, 600, 540, 712, &mx, &my);
    EXPECT_EQ(3, mx);
    EXPECT_EQ(3, my);
    // Wider and taller than the client: no margins.
    ComputePageMargins(500, 600, 540, 712, &mx, &my);
    EXPECT_EQ(0, mx);
    EXPECT_EQ(0, my);
}

TEST(PageViewGeometry, ZoomChangeKeepsTheScrollInProportion)
{
    // The first zoom change after a page was loaded: the last zoom is that page's zoom.
    int x = 100, y = 400;
    AdjustScrollForZoom(0.6f, 0.3f, 500, 400, 1440, 1900, 17, &x, &y);
    EXPECT_EQ(200, x);
    EXPECT_EQ(800, y);
    // Smaller: proportional, then kept inside the page.
    x = 200;
    y = 800;
    AdjustScrollForZoom(0.3f, 0.6f, 500, 400, 720, 950, 17, &x, &y);
    EXPECT_EQ(100, x);
    EXPECT_EQ(400, y);
    // Near the right edge: pulled back to the last full view.
    x = 600;
    y = 0;
    AdjustScrollForZoom(0.3f, 0.6f, 500, 400, 720, 950, 17, &x, &y);
    EXPECT_EQ(220, x);
    EXPECT_EQ(0, y);
    // The page now fits the width: the horizontal bar goes, the view grows by its height.
    x = 300;
    y = 900;
    AdjustScrollForZoom(0.15f, 0.6f, 500, 400, 360, 475, 17, &x, &y);
    EXPECT_EQ(0, x);
    EXPECT_EQ(475 - 17 - 400, y);
    // No zoom recorded yet: the positions stay, never divided by zero.
    x = 120;
    y = 340;
    AdjustScrollForZoom(0.45f, 0.0f, 500, 400, 1080, 1425, 17, &x, &y);
    EXPECT_EQ(120, x);
    EXPECT_EQ(340, y);
}

TEST(PageViewGeometry, PaintCopiesOnlyTheUpdateRectangle)
{
    RECT dest;
    POINT source;
    // No margins: the paint rectangle from the same place of the page, shifted by the scroll.
    RECT paint = {10, 20, 110, 70};
    ASSERT_TRUE(ComputePaintCopy(&paint, 0, 0, 30, 40, 720, 950, &dest, &source));
    EXPECT_EQ(10, dest.left);
    EXPECT_EQ(20, dest.top);
    EXPECT_EQ(100, dest.right - dest.left);
    EXPECT_EQ(50, dest.bottom - dest.top);
    EXPECT_EQ(40, source.x);
    EXPECT_EQ(60, source.y);
    // Centred page: a paint over the left margin starts at the page's edge.
    RECT all = {0, 0, 900, 800};
    ASSERT_TRUE(ComputePaintCopy(&all, 90, 10, 0, 0, 720, 950, &dest, &source));
    EXPECT_EQ(90, dest.left);
    EXPECT_EQ(810, dest.right);
    EXPECT_EQ(10, dest.top);
    EXPECT_EQ(0, source.x);
    EXPECT_EQ(0, source.y);
    // Scrolled below the top margin: the source row follows the scroll.
    ASSERT_TRUE(ComputePaintCopy(&all, 90, 10, 0, 110, 720, 950, &dest, &source));
    EXPECT_EQ(0, dest.top);
    EXPECT_EQ(100, source.y);
    // A paint rectangle entirely right of the page copies nothing.
    RECT right = {850, 0, 900, 100};
    EXPECT_FALSE(ComputePaintCopy(&right, 0, 0, 0, 0, 720, 950, &dest, &source));
}

TEST(PageViewGeometry, GreyStripsAroundThePage)
{
    RECT strips[4];
    // Centred both ways: above, left, right, below.
    ASSERT_EQ(4, ComputeMarginStrips(800, 1000, 130, 144, 0, 0, 540, 712, strips));
    EXPECT_EQ(144, strips[0].bottom);
    EXPECT_EQ(130, strips[1].right);
    EXPECT_EQ(670, strips[2].left);
    EXPECT_EQ(856, strips[3].top);
    // Scrolled past the top margin of a page taller than the view: left and right only.
    ASSERT_EQ(2, ComputeMarginStrips(800, 600, 130, 10, 0, 50, 540, 712, strips));
    EXPECT_EQ(0, strips[0].top);
    EXPECT_EQ(600, strips[0].bottom);
    EXPECT_EQ(130, strips[0].right);
    EXPECT_EQ(670, strips[1].left);
    // A page larger than the view covers it all.
    EXPECT_EQ(0, ComputeMarginStrips(500, 600, 0, 0, 100, 100, 720, 950, strips));
}

} // namespace
