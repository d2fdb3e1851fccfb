// The page view after a signature field is redrawn: no ink of the old signature stays anywhere
// on the field, its edge rows and columns included.
#include "tests/pages/test_pageview_util.h"

using namespace pageview_test;

namespace {

// Pure black pixels of the scaled page inside a rectangle of it.
int CountScaledBlack(HBITMAP scaled, const RECT &rc)
{
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, scaled);
    int black = 0;
    for (int y = rc.top; y < rc.bottom; y++)
        for (int x = rc.left; x < rc.right; x++)
            black += GetPixel(dc, x, y) == RGB(0, 0, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    return black;
}

TEST(SignatureView, RemovedSignatureLeavesNoInkOnTheFieldsEdges)
{
    TestReturn ret;
    ASSERT_TRUE(ret.Open());
    for (float zoom : {0.3f, 0.6f}) {
        Select(ret.pages[1]->treeItem);
        gZoom = zoom;
        Repaint(PAGE_VIEW_ZOOMED);
        FieldRecord *sig = &ret.pages[1]->fieldTable->fields[2];
        HBITMAP scaled = (HBITMAP)SendMessageA(gPageViewWindow, WM_PAGE_GETSCALED, 0, 0);
        ASSERT_TRUE(scaled != NULL);
        const RECT *r = sig->rect;
        RECT view = {(LONG)(r->left * zoom + 0.5f), (LONG)(r->top * zoom + 0.5f), (LONG)(r->right * zoom + 0.5f),
                     (LONG)(r->bottom * zoom + 0.5f)};
        // The old signature's ink as the view showed it, over the whole field.
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, scaled);
        PatBlt(dc, view.left, view.top, view.right - view.left, view.bottom - view.top, BLACKNESS);
        SelectObject(dc, old);
        DeleteDC(dc);
        ASSERT_EQ(1, RedrawField(sig));   // the field holds no signature: its clean background
        EXPECT_EQ(0, CountScaledBlack(scaled, view)) << "zoom " << zoom;
    }
    gZoom = 0.3f;
    ret.Close();
}

}  // namespace
