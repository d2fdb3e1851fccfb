// Pages filed while the forms tree's redraw is off (as a return is opened) give the same tree,
// folder captions and page tabs (texts, images, order, selection) as pages filed one by one, and
// the tab control comes back with its own style, images and visibility; closing the return
// leaves the control as it was, with the "Startup Info" tab.
#include "entry/entry.h"
#include "pages/zoom.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <uxtheme.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TabState {
    std::vector<std::string> outline, tabs;
    std::vector<int> images;
    int selected;
    LONG style;
    HIMAGELIST imageList;

    bool operator==(const TabState &o) const
    {
        return outline == o.outline && tabs == o.tabs && images == o.images && selected == o.selected &&
               style == o.style && imageList == o.imageList;
    }
};

std::ostream &operator<<(std::ostream &out, const TabState &s)
{
    for (const std::string &line : s.outline)
        out << line << " | ";
    out << "tabs:";
    for (size_t i = 0; i < s.tabs.size(); i++)
        out << " [" << s.tabs[i] << " #" << s.images[i] << "]";
    return out << " selected " << s.selected << " style " << std::hex << s.style;
}

TabState ReadState()
{
    TabState s;
    s.outline = TreeOutline();
    s.tabs = TabTexts();
    int count = (int)SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        TCITEMA item = {};
        item.mask = TCIF_IMAGE;
        SendMessageA(gFormTabs, TCM_GETITEMA, i, (LPARAM)&item);
        s.images.push_back(item.iImage);
    }
    s.selected = (int)SendMessageA(gFormTabs, TCM_GETCURSEL, 0, 0);
    s.style = GetWindowLongA(gFormTabs, GWL_STYLE);
    s.imageList = (HIMAGELIST)SendMessageA(gFormTabs, TCM_GETIMAGELIST, 0, 0);
    return s;
}

class FormsTreeBatch : public MainWindowTest {};

TEST_F(FormsTreeBatch, FilingWithRedrawOffMatchesFilingOneByOne)
{
    struct Filing {
        const char *key;
        const char *caption;
        int jurisdiction;
        uint16_t order;
    };
    const Filing filings[] = {
        {"Schedule B.1", "Schedule B", 100, 30},     {"Form 1040.1", "Form 1040", 100, 10},
        {"Form W-2.1", "Form W-2 [Acme & Co]", 97, 5}, {"Schedule 1.1", "Schedule 1", 100, 20},
        {"Form 1040.2", "Form 1040, Page 2", 100, 10}, {"Form W-2.1", "Form W-2", 97, 5},
        {"Form 1099-R.1", "Form 1099-R", 97, 3},     {"Schedule B.1", "Schedule B", 100, 30},
    };
    // Split screen (the tabs hidden) and full screen (the tabs shown, holding the page view: the
    // control is hidden during the batch and shown again).
    for (int fullScreen = 0; fullScreen < 2; fullScreen++) {
        SCOPED_TRACE(fullScreen ? "full screen" : "split screen");
        SetViewMode(window, fullScreen, 0);
        const LONG style = GetWindowLongA(gFormTabs, GWL_STYLE);
        EXPECT_EQ(fullScreen ? WS_VISIBLE : 0, style & WS_VISIBLE);
        const TabState empty = ReadState();
        TabState states[2];
        for (int batch = 0; batch < 2; batch++) {
            SCOPED_TRACE(batch ? "redraw off" : "one by one");
            if (batch)
                SendMessageA(gFormsTreeWindow, WM_SETREDRAW, FALSE, 0);
            HTREEITEM shown = NULL;
            for (const Filing &f : filings) {
                HTREEITEM item = AddFormToTree(f.caption, 0, MakePage(f.key, f.jurisdiction, f.order), NULL);
                ASSERT_TRUE(item != NULL) << f.key;
                if (!shown && f.jurisdiction == 97)
                    shown = item;
            }
            // A page shown while the pages are filed keeps its tab selected.
            SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)shown);
            if (batch)
                SendMessageA(gFormsTreeWindow, WM_SETREDRAW, TRUE, 0);
            PumpMessages(20);
            states[batch] = ReadState();
            CloseOpenReturn();
            PumpMessages(20);
            EXPECT_EQ(empty, ReadState());
            EXPECT_EQ(std::vector<std::string>({"Startup Info"}), TabTexts());
        }
        EXPECT_EQ(states[0], states[1]);
        EXPECT_EQ(style, states[1].style);
        ASSERT_EQ(10u, states[1].tabs.size());   // Summary, Status and the eight pages
        EXPECT_EQ("Form W-2 [Acme && Co]", states[1].tabs[3]);   // after Form 1099-R (order 3)
        EXPECT_NE(states[1].outline.end(),
                  std::find(states[1].outline.begin(), states[1].outline.end(), "Federal Return [5 pages]"));
    }
    SetViewMode(window, 0, 0);
}

// The tab control's style bits that are on while the tree's redraw is off, whether its scroll
// arrows are showing and whether it has a theme.
struct TabControlLook {
    LONG layout;
    int arrowsShown, themed;
};

TabControlLook ReadTabControlLook()
{
    TabControlLook look;
    look.layout = GetWindowLongA(gFormTabs, GWL_STYLE) & (TCS_FIXEDWIDTH | TCS_MULTILINE);
    HWND arrows = FindWindowExA(gFormTabs, NULL, UPDOWN_CLASSA, NULL);
    look.arrowsShown = arrows && (GetWindowLongA(arrows, GWL_STYLE) & WS_VISIBLE) ? 1 : 0;
    look.themed = GetWindowTheme(gFormTabs) != NULL;
    return look;
}

// While the pages of a return are filed (redraw off) the tab control makes no round trips to
// the window server per tab that it can be spared: the tabs never overflow (no scroll arrows are
// moved and shown, even in the tab strip of split screen, which has no size) and it has no theme
// (a themed control looks the cursor up after every layout). Afterwards it is as it was.
TEST_F(FormsTreeBatch, TabsFiledWithRedrawOffNeitherScrollNorTrackTheCursor)
{
    const char *const keys[] = {"Form 1040.1", "Form 1040.2", "Schedule 1.1", "Schedule 1.2", "Schedule B.1"};
    for (int fullScreen = 0; fullScreen < 2; fullScreen++) {
        SCOPED_TRACE(fullScreen ? "full screen" : "split screen");
        SetViewMode(window, fullScreen, 0);
        const LONG style = GetWindowLongA(gFormTabs, GWL_STYLE);
        const int themed = GetWindowTheme(gFormTabs) != NULL;
        SendMessageA(gFormsTreeWindow, WM_SETREDRAW, FALSE, 0);
        for (int i = 0; i < 40; i++) {
            const char *key = keys[i % 5];
            ASSERT_TRUE(AddFormToTree(key, 0, MakePage(key, 100, (uint16_t)(10 + i % 5)), NULL) != NULL);
        }
        TabControlLook during = ReadTabControlLook();
        EXPECT_EQ(TCS_FIXEDWIDTH, during.layout & TCS_FIXEDWIDTH);
        EXPECT_EQ(0, during.arrowsShown);
        EXPECT_EQ(0, during.themed);
        SendMessageA(gFormsTreeWindow, WM_SETREDRAW, TRUE, 0);
        PumpMessages(20);
        EXPECT_EQ(style, GetWindowLongA(gFormTabs, GWL_STYLE));
        EXPECT_EQ(themed, ReadTabControlLook().themed);
        EXPECT_EQ(42, (int)SendMessageA(gFormTabs, TCM_GETITEMCOUNT, 0, 0));   // Summary, Status, pages
        CloseOpenReturn();
        PumpMessages(20);
    }
    SetViewMode(window, 0, 0);
}

} // namespace
