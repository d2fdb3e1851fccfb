// The page view in the main window: loading pages from the forms tree, the scaled page at
// several zooms, margins and grey band, scrolling, the click road, field colours by pixels.
#include "tests/pages/test_pageview_util.h"
#include "calc/calc.h"

#include <shlobj.h>

#include <algorithm>

using namespace pageview_test;

namespace {

// What the editors' hooks were called with.
struct HookCalls {
    int explain = 0, multiField = 0, signature = 0, statement = 0;
    FieldRecord *field = NULL;
    MultiFieldParams multiParams;
    PageStatementBlock statementBlock;
};
HookCalls gCalls;

INT_PTR RecordExplain(HWND, FieldRecord *field, const char *)
{
    gCalls.explain++;
    gCalls.field = field;
    return 0;
}
INT_PTR RecordMultiField(HWND, MultiFieldParams *params)
{
    gCalls.multiField++;
    gCalls.field = params->field;
    gCalls.multiParams = *params;
    return 1;
}
INT_PTR RecordSignature(HWND, FieldRecord *field, int)
{
    gCalls.signature++;
    gCalls.field = field;
    return 0;
}
WNDPROC gMainProc;
LRESULT CALLBACK CatchStatement(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_OPEN_STATEMENT) {
        gCalls.statement++;
        if (wParam == 1)
            gCalls.statementBlock = *(PageStatementBlock *)lParam;
        else
            gCalls.field = (FieldRecord *)lParam;
        return 0;
    }
    return CallWindowProcA(gMainProc, window, message, wParam, lParam);
}

// The share of the pixels inside a field (on screen, inside its one-pixel frame) of a colour.
double ShareOfColour(const Screenshot &shot, const RECT *pageRect, unsigned colour)
{
    RECT rc;
    GetFieldClientRect(pageRect, &rc);
    int total = 0, matching = 0;
    for (int y = rc.top + 2; y < rc.bottom - 2; y++)
        for (int x = rc.left + 2; x < rc.right - 2; x++) {
            if (x < 0 || y < 0 || x >= shot.width || y >= shot.height)
                continue;
            total++;
            matching += shot.At(x, y) == colour;
        }
    return total ? (double)matching / total : 0.0;
}

// A small file that passes the attachment check, in the temp folder; its path.
std::string WriteTestPdf(const char *name)
{
    std::string path = TempPath(name);
    FILE *f = fopen(path.c_str(), "wb");
    if (f) {
        fputs("%PDF-1.4\n%%EOF\n", f);
        fclose(f);
    }
    return path;
}

class PageViewWindow : public testing::Test {
protected:
    TestReturn ret;
    void SetUp() override
    {
        gCalls = HookCalls();
        DeleteRegistryValue(REG_SCOPE_YEAR, "TxtColor");
        DeleteRegistryValue(REG_SCOPE_YEAR, "InColor");
        gZoom = 0.3f;
        ASSERT_TRUE(ret.Open());
        gWindowCallbacks.openExplainDialog = RecordExplain;
        gWindowCallbacks.openMultiFieldDialog = RecordMultiField;
        gWindowCallbacks.openSigCaptureDialog = RecordSignature;
        gMainProc = (WNDPROC)SetWindowLongPtrA(ret.main, GWLP_WNDPROC, (LONG_PTR)CatchStatement);
    }
    void TearDown() override
    {
        gWindowCallbacks.openExplainDialog = NULL;
        gWindowCallbacks.openMultiFieldDialog = NULL;
        gWindowCallbacks.openSigCaptureDialog = NULL;
        gViewOnly = 0;
        gZoom = 0.3f;
        ret.Close();
        DeleteRegistryValue(REG_SCOPE_YEAR, "TxtColor");
    }
    FieldRecord *Field(int page, int index) { return &ret.pages[page]->fieldTable->fields[index]; }
    void ShowPage(int page, float zoom)
    {
        Select(ret.pages[page]->treeItem);
        gZoom = zoom;
        Repaint(PAGE_VIEW_ZOOMED);
    }
};

TEST_F(PageViewWindow, SelectingPagesLoadsThemWithTheirPrompts)
{
    // Form pages: the page becomes the document, a full-size page, the entry prompt.
    for (int i = 0; i < 2; i++) {
        SCOPED_TRACE(i);
        Select(ret.pages[i]->treeItem);
        EXPECT_EQ(ret.pages[i], GetCurrentDocument(4));
        EXPECT_EQ(ret.pages[i]->fieldTable, GetCurrentDocument(3));
        EXPECT_STREQ(ret.pages[i]->pageKey, (const char *)GetCurrentDocument(2));
        EXPECT_EQ(1, gPageShown);
        int w = 0, h = 0;
        ASSERT_TRUE(GetBitmapSize(gPageBitmap, &w, &h));
        EXPECT_EQ(2400, w);
        EXPECT_EQ(3168, h);
        EXPECT_EQ("Click a shaded field to enter data", StatusText());
        EXPECT_FALSE(SendMessageA(gToolbar, TB_ISBUTTONINDETERMINATE, IDM_DELETEPAGE, 0));
    }
    // The page shown again: nothing is reloaded.
    HBITMAP before = gPageBitmap;
    Select(ret.pages[0]->treeItem);
    Select(ret.pages[1]->treeItem);
    EXPECT_NE(before, gPageBitmap);
    before = gPageBitmap;
    LoadPageImage(ret.pages[1]->treeItem, gOpenReturnPtr);
    EXPECT_EQ(before, gPageBitmap);
    // The generated pages: "Ready", the remove command indeterminate, a full white page.
    for (HTREEITEM item : {gTreeSummaryItem, gTreeStatusItem}) {
        ASSERT_TRUE(item != NULL);
        Select(item);
        EXPECT_EQ(item, GetCurrentDocument(1));
        EXPECT_EQ(1, gPageShown);
        EXPECT_EQ("Ready", StatusText());
        EXPECT_TRUE(SendMessageA(gToolbar, TB_ISBUTTONINDETERMINATE, IDM_DELETEPAGE, 0));
        int w = 0, h = 0;
        GetBitmapSize(gPageBitmap, &w, &h);
        EXPECT_EQ(2400, w);
        EXPECT_EQ(3168, h);
    }
    Select(ret.pages[0]->treeItem);
    EXPECT_FALSE(SendMessageA(gToolbar, TB_ISBUTTONINDETERMINATE, IDM_DELETEPAGE, 0));
    EXPECT_TRUE(GetShownMessageBoxes().empty());
}

TEST_F(PageViewWindow, GeneratedPageRightAfterTheViewWasCleared)
{
    Select(gTreeSummaryItem);
    ClearPageView();
    EXPECT_EQ(0, gPageShown);
    LoadPageImage(gTreeSummaryItem, gOpenReturnPtr);
    EXPECT_EQ(1, gPageShown);
    int w = 0, h = 0;
    GetBitmapSize(gPageBitmap, &w, &h);
    EXPECT_EQ(2400, w);
    EXPECT_EQ(3168, h);
    // The page view paints the page, not the empty hint: the scaled page exists.
    Repaint(0);
    EXPECT_EQ(720, ScaledSize().cx);
}

TEST_F(PageViewWindow, UnreadablePageLeavesThePreviousPageShown)
{
    Select(ret.pages[0]->treeItem);
    HBITMAP shown = gPageBitmap;
    std::string status = StatusText();
    // A page of a FormPak that is gone.
    FormInstance *broken = CreatePageRecord(&ret.file, 1, TempPath("NoSuchFormPak.qvp").c_str(), 0);
    ASSERT_TRUE(broken);
    HTREEITEM item = AddFormToTree("Broken page", TREE_IMAGE_PAGE, broken, NULL);
    ASSERT_TRUE(item);
    SetDefaultMessageBoxAnswer(IDOK);
    LoadPageImage(item, gOpenReturnPtr);
    SetDefaultMessageBoxAnswer(0);
    EXPECT_EQ(ret.pages[0], GetCurrentDocument(4));
    EXPECT_EQ(shown, gPageBitmap);
    // The status bar says why the chosen page is not shown.
    EXPECT_NE(status, StatusText());
    EXPECT_NE(std::string::npos, StatusText().find("cannot be drawn")) << StatusText();
}

TEST_F(PageViewWindow, ScaledPageAtSeveralZooms)
{
    Select(ret.pages[0]->treeItem);
    const float zooms[] = {0.3f, 0.3f * 0.75f, 0.15f, 0.6f, 0.3f};
    const int widths[] = {720, 540, 360, 1440, 720}, heights[] = {950, 712, 475, 1900, 950};
    for (int i = 0; i < 5; i++) {
        SCOPED_TRACE(i);
        gZoom = zooms[i];
        Repaint(PAGE_VIEW_ZOOMED);
        SIZE size = ScaledSize();
        EXPECT_EQ(widths[i], size.cx);
        EXPECT_EQ(heights[i], size.cy);
        EXPECT_EQ(zooms[i], gLastPaintZoom);
    }
    // The first zoom change after a page was loaded keeps the page in sight.
    Select(ret.pages[1]->treeItem);
    for (int i = 0; i < 4; i++)
        SendMessageA(gPageViewWindow, WM_VSCROLL, SB_LINEDOWN, 0);
    int y = gPageScrollY;
    EXPECT_EQ(100, y);
    gZoom = 0.6f;
    Repaint(PAGE_VIEW_ZOOMED);
    EXPECT_GE(gPageScrollY, 0);
    EXPECT_LE(gPageScrollY, gPageScrollMaxY);
    EXPECT_NEAR(2 * y, gPageScrollY, 2);
}

TEST_F(PageViewWindow, MarginsAndTheGreyBand)
{
    ShowPage(1, 0.15f);   // the BMP page: white with a black bar at rows 100..119
    RECT client;
    GetClientRect(gPageViewWindow, &client);
    ASSERT_GT(client.right, 360);
    ASSERT_GT(client.bottom, 475);
    EXPECT_EQ((client.right - 360) / 2, gPageMarginX);
    EXPECT_EQ((client.bottom - 475) / 2, gPageMarginY);
    Screenshot shot;
    ASSERT_TRUE(CaptureView(&shot));
    const unsigned grey = 0x808080;
    EXPECT_EQ(grey, shot.At(gPageMarginX / 2, client.bottom / 2));                 // left strip
    EXPECT_EQ(grey, shot.At(client.right - gPageMarginX / 2, client.bottom / 2));  // right strip
    EXPECT_EQ(grey, shot.At(client.right / 2, gPageMarginY / 2));                  // above
    EXPECT_EQ(grey, shot.At(client.right / 2, client.bottom - gPageMarginY / 2));  // below
    EXPECT_EQ(grey, shot.At(gPageMarginX - 1, gPageMarginY + 5));
    EXPECT_EQ(0xFFFFFFu, shot.At(gPageMarginX + 1, gPageMarginY + 5));
    // The bar of page rows 100..119 at scaled rows 15..17.
    EXPECT_EQ(0u, shot.At(gPageMarginX + 50, gPageMarginY + 16));
    // Taller than the view: the top margin is the horizontal one, at most 10.
    gZoom = 0.3f;
    Repaint(PAGE_VIEW_ZOOMED);
    GetClientRect(gPageViewWindow, &client);
    ASSERT_LT(client.bottom, 950);
    EXPECT_EQ((client.right - 720) / 2, gPageMarginX);
    EXPECT_EQ(gPageMarginX < 10 ? gPageMarginX : 10, gPageMarginY);
    EXPECT_EQ(2 * gPageMarginY - client.bottom + 950, gPageScrollMaxY);
}

// The harness's capture sees what the page view paints: the grey band, the white page and
// its black bar, as the view's own device context shows them.
TEST_F(PageViewWindow, HarnessCaptureSeesThePaintedView)
{
    ShowPage(1, 0.15f);
    Screenshot captured, direct;
    ASSERT_TRUE(CaptureClientArea(gPageViewWindow, &captured));
    ASSERT_TRUE(CaptureView(&direct));
    ASSERT_EQ(direct.width, captured.width);
    ASSERT_EQ(direct.height, captured.height);
    EXPECT_EQ(0x808080u, captured.At(gPageMarginX / 2, captured.height / 2));
    EXPECT_EQ(0xFFFFFFu, captured.At(gPageMarginX + 1, gPageMarginY + 5));
    EXPECT_EQ(0u, captured.At(gPageMarginX + 50, gPageMarginY + 16));
    EXPECT_TRUE(direct.pixels == captured.pixels);
}

// The status prompts carry their icons; a page that cannot be drawn says so in the status bar
// and in the view, not that no return is open.
TEST_F(PageViewWindow, StatusPromptsHaveIconsAndAnUndrawnPageSaysSo)
{
    Select(ret.pages[0]->treeItem);
    EXPECT_EQ("Click a shaded field to enter data", StatusText());
    EXPECT_EQ((LRESULT)GetStatusPromptIcon(STATUS_ICON_ENTRY), SendMessageA(gStatusBar, SB_GETICON, 0, 0));
    EXPECT_TRUE(GetStatusPromptIcon(STATUS_ICON_ENTRY) != NULL);
    Select(gTreeSummaryItem);
    EXPECT_EQ("Ready", StatusText());
    EXPECT_EQ((LRESULT)GetStatusPromptIcon(STATUS_ICON_READY), SendMessageA(gStatusBar, SB_GETICON, 0, 0));
    // Page 2 with an image source the program does not know.
    uint32_t source = ret.pages[1]->imageSource;
    ret.pages[1]->imageSource = 77;
    ScriptMessageBoxAnswer(IDOK);
    Select(ret.pages[1]->treeItem);
    ret.pages[1]->imageSource = source;
    EXPECT_EQ(0, gPageShown);
    EXPECT_NE(std::string::npos, StatusText().find("cannot be drawn"));
    EXPECT_EQ((LRESULT)GetStatusPromptIcon(STATUS_ICON_PROBLEM), SendMessageA(gStatusBar, SB_GETICON, 0, 0));
    EXPECT_NE(std::string::npos, std::string(gPageDrawProblem).find("image source"));
    // The view shows the problem line in red, where the empty view's blue hint would be.
    Screenshot shot;
    ASSERT_TRUE(CaptureClientArea(gPageViewWindow, &shot));
    int red = 0, blue = 0;
    for (unsigned p : shot.pixels) {
        red += p == 0xB20000;
        blue += p == 0x0000B2;
    }
    EXPECT_GT(red, 20);
    EXPECT_EQ(0, blue);
}

TEST_F(PageViewWindow, LineAndPageScrolling)
{
    ShowPage(0, 0.6f);   // 1440 x 1900: both scroll bars
    RECT client;
    GetClientRect(gPageViewWindow, &client);
    Screenshot before, after;
    ASSERT_TRUE(CaptureView(&before));
    int ink = 0, white = 0;
    for (unsigned p : before.pixels) {
        ink += p == 0;
        white += p == 0xFFFFFF;
    }
    ASSERT_GT(ink, 100);   // the page is there to compare
    ASSERT_GT(white, 100);
    SendMessageA(gPageViewWindow, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(25, gPageScrollY);
    ASSERT_TRUE(CaptureView(&after));
    // The view moved up by one line step.
    int differing = 0;
    for (int y = 0; y + 25 < client.bottom; y += 7)
        for (int x = 0; x < client.right; x += 13)
            differing += after.At(x, y) != before.At(x, y + 25);
    EXPECT_EQ(0, differing);
    SendMessageA(gPageViewWindow, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(25 + client.bottom, gPageScrollY);
    SendMessageA(gPageViewWindow, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(client.bottom, gPageScrollY);
    SendMessageA(gPageViewWindow, WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(5, gPageScrollX);
    SendMessageA(gPageViewWindow, WM_HSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(1440 - client.right, gPageScrollMaxX);
    EXPECT_EQ(std::min(5 + (int)client.right, gPageScrollMaxX), gPageScrollX);
    // The thumb, and the limits.
    SendMessageA(gPageViewWindow, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 60000), 0);
    EXPECT_EQ(gPageScrollMaxY, gPageScrollY);
    EXPECT_EQ(1900 - client.bottom, gPageScrollMaxY);
    SendMessageA(gPageViewWindow, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    EXPECT_EQ(0, gPageScrollX);
    SendMessageA(gPageViewWindow, WM_HSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(0, gPageScrollX);
    EXPECT_EQ(gPageScrollMaxY, GetScrollPos(gPageViewWindow, SB_VERT));
    // While the edit bar is open the view does not scroll.
    gEditBarContainer = ret.main;
    SendMessageA(gPageViewWindow, WM_VSCROLL, SB_LINEUP, 0);
    gEditBarContainer = NULL;
    EXPECT_EQ(gPageScrollMaxY, gPageScrollY);
    // A new page starts at the top left.
    Select(ret.pages[1]->treeItem);
    Repaint(0);
    EXPECT_EQ(0, gPageScrollX);
    EXPECT_EQ(0, gPageScrollY);
}

TEST_F(PageViewWindow, ClickReachesTheFieldAndItsKind)
{
    ShowPage(0, 0.15f);
    // A plain field: the edit bar's request for it.
    ClickField(Field(0, 1));
    EXPECT_EQ(Field(0, 1), gEditRequest.field);
    EXPECT_EQ(1u, gEditRequest.fieldIndex);
    EXPECT_EQ(1, gEditRequest.requesterKind);
    EXPECT_EQ(1, gEditRequest.entryMode);
    EXPECT_EQ(gPageViewWindow, gEditRequest.requester);
    EXPECT_EQ(ret.pages[0], gEditRequest.page);
    RECT screen;
    GetFieldClientRect(Field(0, 1)->rect, &screen);
    MapWindowPoints(gPageViewWindow, NULL, (POINT *)&screen, 2);
    EXPECT_EQ(screen.left, gEditRequest.fieldRect.left);
    EXPECT_EQ(screen.bottom, gEditRequest.fieldRect.bottom);
    ASSERT_TRUE(gEditBarContainer != NULL);
    gEditRequest.cancelled = 1;
    DestroyWindow(gEditBarContainer);
    gEditBarContainer = NULL;
    // A click while an edit bar is open opens no second one.
    gEditBarContainer = ret.main;
    ClickField(Field(0, 8));
    gEditBarContainer = NULL;
    EXPECT_EQ(Field(0, 1), gEditRequest.field);
    // The other kinds reach their editors.
    ClickField(Field(0, 4));   // "S[m]"
    EXPECT_EQ(1, gCalls.multiField);
    EXPECT_EQ(Field(0, 4), gCalls.field);
    EXPECT_EQ(0u, gCalls.multiParams.groupKind);
    EXPECT_EQ(1, gCalls.multiParams.kind);
    EXPECT_EQ(4u, gCalls.multiParams.fieldIndex);
    ClickField(Field(0, 5));   // link text "@1": the explanation
    EXPECT_EQ(1, gCalls.explain);
    EXPECT_EQ(Field(0, 5), gCalls.field);
    ClickField(Field(0, 6));   // "S[sig]"
    EXPECT_EQ(1, gCalls.signature);
    // "S[pdf]": the attach dialog, the file chosen there goes into the field.
    std::string pdf = WriteTestPdf("PageViewClick.pdf");
    ScriptFileDialogPath(pdf);
    ClickField(Field(0, 9));
    EXPECT_STREQ("PageViewClick.pdf", Field(0, 9)->value);
    DeleteFileA(pdf.c_str());
    // A calculated field explains where its value comes from.
    ScriptMessageBoxAnswer(IDOK);
    ClickField(Field(0, 3));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Line 9 - Total income", GetShownMessageBoxes()[0].title);
    EXPECT_EQ(0u, GetShownMessageBoxes()[0].text.find("Data for this field is automatically copied from another"));
    // A statement field goes to the main window with its block.
    Field(0, 8)->typeCode[0] = 'S';
    Field(0, 8)->typeCode[1] = 0;
    ClickField(Field(0, 8));
    Field(0, 8)->typeCode[0] = 'A';
    Field(0, 8)->typeCode[1] = 0;
    EXPECT_EQ(1, gCalls.statement);
    EXPECT_EQ(Field(0, 8), gCalls.statementBlock.summaryField);
    EXPECT_EQ(8u, gCalls.statementBlock.fieldIndex);
    EXPECT_EQ(1, gCalls.statementBlock.kind);
    // Labels and points outside every field reach nothing (an attach dialog would fail the test).
    gCalls = HookCalls();
    memset(&gEditRequest, 0, sizeof(gEditRequest));
    ClickField(Field(0, 7));
    ClickAt(2, 2);
    ClickAt(gPageMarginX + 3, gPageMarginY + 3);
    EXPECT_EQ(NULL, gEditRequest.field);
    EXPECT_EQ(NULL, gEditBarContainer);
    EXPECT_EQ(0, gCalls.multiField + gCalls.explain + gCalls.signature + gCalls.statement);
    // A release without a press in the view does nothing.
    SendMessageA(gPageViewWindow, WM_LBUTTONUP, 0, 0);
    // View-only: a plain field does not respond; of the 'S' fields the multi-field list still
    // opens (to read), but the signature and the attachment open no editor.
    gViewOnly = 1;
    ClickField(Field(0, 1));
    EXPECT_EQ(NULL, gEditBarContainer);
    const struct {
        int index;
        int *calls;
        int expected;
    } viewOnly[] = {{4, &gCalls.multiField, 1}, {6, &gCalls.signature, 0}};
    for (const auto &c : viewOnly) {
        gCalls = HookCalls();
        ClickField(Field(0, c.index));
        EXPECT_EQ(c.expected, *c.calls) << Field(0, c.index)->typeCode;
    }
    ClickField(Field(0, 9));   // no attach dialog (none is scripted)
}

TEST_F(PageViewWindow, TooLongValueIsNotCutAndCommitted)
{
    ShowPage(0, 0.15f);
    std::string longText(200, '7');
    SetFieldText(&Field(0, 8)->value, longText.c_str());
    ScriptMessageBoxAnswer(IDOK);
    ClickField(Field(0, 8));
    EXPECT_EQ(NULL, gEditBarContainer);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Field Value Too Long", GetShownMessageBoxes()[0].title);
    EXPECT_EQ(longText, Field(0, 8)->value);
}

TEST_F(PageViewWindow, TabWalkOpensTheNextFieldScrolledIntoView)
{
    ShowPage(0, 0.6f);
    // From the check mark: the calculated field is passed over, the popup opens for "S[m]".
    SendMessageA(gPageViewWindow, WM_PAGE_GOTOFIELD, 0, 2);
    EXPECT_EQ(1, gCalls.multiField);
    EXPECT_EQ(Field(0, 4), gCalls.field);
    EXPECT_EQ(2, gCalls.multiParams.kind);
    // To the last field, far down the page: scrolled into view, the bar opened by keyboard.
    SendMessageA(gPageViewWindow, WM_PAGE_GOTOFIELD, 0, 6);
    EXPECT_EQ(Field(0, 8), gEditRequest.field);
    EXPECT_EQ(2, gEditRequest.entryMode);
    EXPECT_GT(gPageScrollY, 0);
    RECT view;
    GetClientRect(gPageViewWindow, &view);
    MapWindowPoints(gPageViewWindow, NULL, (POINT *)&view, 2);
    EXPECT_GE(gEditRequest.fieldRect.top, view.top);
    EXPECT_LE(gEditRequest.fieldRect.bottom, view.bottom);
    gEditRequest.cancelled = 1;
    DestroyWindow(gEditBarContainer);
    gEditBarContainer = NULL;
    // A field larger than the view: the scrolling stops when it cannot bring it in, and the bar
    // opens all the same.
    RECT saved = *Field(0, 8)->rect;
    SetRect(Field(0, 8)->rect, 0, 0, 2400, 3168);
    memset(&gEditRequest, 0, sizeof(gEditRequest));
    DWORD start = GetTickCount();
    SendMessageA(gPageViewWindow, WM_PAGE_GOTOFIELD, 0, 6);
    EXPECT_LT(GetTickCount() - start, 20000u);
    EXPECT_EQ(Field(0, 8), gEditRequest.field);
    *Field(0, 8)->rect = saved;
}

TEST_F(PageViewWindow, FieldShadingAndTextColoursByPixels)
{
    // Text colour: a value is shown in "TxtColor" (the view paints it over the shading).
    DWORD text = RGB(200, 0, 0);
    WriteRegistryValue(REG_SCOPE_YEAR, "TxtColor", REG_DWORD, &text, sizeof(text));
    ShowPage(0, 0.3f);
    SetFieldText(&Field(0, 1)->value, "88,888");
    ASSERT_EQ(1, RedrawField(Field(0, 1)));
    Screenshot valueShot;
    ASSERT_TRUE(CaptureView(&valueShot));
    RECT rc;
    GetFieldClientRect(Field(0, 1)->rect, &rc);
    int red = 0;
    for (int y = rc.top; y < rc.bottom && y < valueShot.height; y++)
        for (int x = rc.left; x < rc.right && x < valueShot.width; x++) {
            if (y < 0 || x < 0)
                continue;
            unsigned p = valueShot.At(x, y);
            int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
            red += r > 150 && g < 100 && b < 100;
        }
    EXPECT_GT(red, 20);
    // Shading: an empty input field in "InColor" (written when missing), by the page's code
    // otherwise; calculated fields stay white.
    const struct {
        int code;
        unsigned screen;   // 0x00RRGGBB
    } cases[] = {{0, 0xCCFFCC}, {2, 0xFFFFCC}, {4, 0xCCFFFF}, {5, 0xCCCCFF}, {8, 0xDDDDDD}};
    gZoom = 0.3f;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        ret.pages[0]->shadingCode = (uint16_t)c.code;
        Repaint(PAGE_VIEW_NEWPAGE);
        Screenshot shot;
        ASSERT_TRUE(CaptureView(&shot));
        // Most of the empty "S[m]" field shows the shading (the form's own ink stays dark), and
        // most of the calculated field stays white.
        EXPECT_GT(ShareOfColour(shot, Field(0, 4)->rect, c.screen), 0.5);
        EXPECT_GT(ShareOfColour(shot, Field(0, 3)->rect, 0xFFFFFF), 0.5);
    }
    DWORD written = 0;
    EXPECT_TRUE(ReadRegistryValue(&written, REG_SCOPE_YEAR, 0, "InColor", sizeof(written), REG_DWORD));
    EXPECT_EQ(0xCCFFCCu, written);
    ret.pages[0]->shadingCode = 0;
}

TEST_F(PageViewWindow, RedrawsOnlyTheFieldsOfThePageShown)
{
    Select(ret.pages[1]->treeItem);
    Repaint(0);
    // A field of another page: neither RedrawField nor the worker's message touches this page.
    SetFieldText(&Field(0, 1)->value, "1");
    EXPECT_EQ(0, RedrawField(Field(0, 1)));
    PageRedrawBlock block = {Field(0, 1), 1, 0, 1, 0};
    SendMessageA(gPageViewWindow, WM_PAGE_REDRAWFIELD, 0, (LPARAM)&block);
    EXPECT_EQ(0, gAppCallbacks.isPageShown(ret.pages[0]));
    EXPECT_EQ(1, gAppCallbacks.isPageShown(ret.pages[1]));
    // Without a scaled page, and with nonsense: no crash.
    SendMessageA(gPageViewWindow, WM_PAGE_CLEAR, 0, 0);
    block.fields = Field(1, 1);
    SendMessageA(gPageViewWindow, WM_PAGE_REDRAWFIELD, 0, (LPARAM)&block);
    SendMessageA(gPageViewWindow, WM_PAGE_REDRAWFIELD, 0, 0);
    block.count = 1000;
    SendMessageA(gPageViewWindow, WM_PAGE_REDRAWFIELD, 0, (LPARAM)&block);
    EXPECT_EQ(NULL, (HBITMAP)SendMessageA(gPageViewWindow, WM_PAGE_GETSCALED, 0, 0));
    EXPECT_EQ(3, RedrawAllFields());   // the dummy record and the two fields
}

// Black pixels of a 1-bit page bitmap inside a rectangle.
int CountBlack(HBITMAP bitmap, const RECT *rc)
{
    CanvasBits bits;
    if (!GetCanvasBits(bitmap, &bits) || bits.bitsPerPixel != 1)
        return -1;
    GdiFlush();
    int black = 0;
    for (int y = rc->top; y < rc->bottom; y++)
        for (int x = rc->left; x < rc->right; x++)
            black += !((CanvasRow(bits, y)[x >> 3] >> (7 - (x & 7))) & 1);
    return black;
}

TEST_F(PageViewWindow, SignatureFieldRedrawnOverItsSavedBackground)
{
    Select(ret.pages[1]->treeItem);
    FieldRecord *sig = Field(1, 2);
    const RECT *rc = sig->rect;
    ASSERT_EQ(0, CountBlack(gPageBitmap, rc));
    // Ink over the field is gone after a redraw without a signature: the clean background is back.
    FillRectWithRop(NULL, gPageBitmap, rc, BLACKNESS);
    EXPECT_GT(CountBlack(gPageBitmap, rc), 0);
    ASSERT_EQ(1, RedrawField(sig));
    EXPECT_EQ(0, CountBlack(gPageBitmap, rc));
    // A stored signature is ANDed onto the background at its offsets (x 10, y 5).
    HBITMAP ink = CreateDibBitmap(40, 20, 1, BLACKNESS, NULL, NULL);
    FieldClip *clip = SaveFieldClip(ink, 2);
    DeleteObject(ink);
    ASSERT_TRUE(clip != NULL);
    float scale = 1.0f;
    memcpy(&clip->type, &scale, sizeof(scale));
    clip->unused = MAKELONG(10, 5);
    SetFieldBlob(&sig->second, clip, 32 + clip->size);
    MemFree(clip);
    ASSERT_EQ(1, RedrawField(sig));
    EXPECT_EQ(40 * 20, CountBlack(gPageBitmap, rc));
    RECT signature = {rc->left + 10, rc->top + 5, rc->left + 50, rc->top + 25};
    EXPECT_EQ(40 * 20, CountBlack(gPageBitmap, &signature));
}

// A WM_DROPFILES handle holding the given paths, dropped at a client point.
HDROP MakeDrop(const std::vector<std::string> &paths, POINT point)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string &p : paths)
        size += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = point;
    char *text = (char *)(drop + 1);
    for (const std::string &p : paths) {
        memcpy(text, p.c_str(), p.size() + 1);
        text += p.size() + 1;
    }
    GlobalUnlock(memory);
    return (HDROP)memory;
}

TEST_F(PageViewWindow, DroppedPdfAttachesToItsField)
{
    ShowPage(0, 0.15f);
    std::string pdf = WriteTestPdf("PageViewDrop.pdf");
    RECT field;
    GetFieldClientRect(Field(0, 9)->rect, &field);
    POINT inside = {(field.left + field.right) / 2, (field.top + field.bottom) / 2};
    // Two files: nothing.
    SendMessageA(gPageViewWindow, WM_DROPFILES, (WPARAM)MakeDrop({pdf, pdf}, inside), 0);
    EXPECT_EQ(NULL, Field(0, 9)->value);
    // Outside any attachment field: nothing.
    POINT outside = {2, 2};
    SendMessageA(gPageViewWindow, WM_DROPFILES, (WPARAM)MakeDrop({pdf}, outside), 0);
    EXPECT_EQ(NULL, Field(0, 9)->value);
    // On it: its name in the field, its path in the partner after it.
    SendMessageA(gPageViewWindow, WM_DROPFILES, (WPARAM)MakeDrop({pdf}, inside), 0);
    EXPECT_STREQ("PageViewDrop.pdf", Field(0, 9)->value);
    EXPECT_STREQ(pdf.c_str(), Field(0, 10)->value);
    DeleteFileA(pdf.c_str());
}

TEST_F(PageViewWindow, AmendedCopyOfASentReturn)
{
    OpenReturn saved;
    memcpy(&saved, gOpenReturnPtr, sizeof(saved));
    char savedPath[sizeof(gReturnPath)];
    lstrcpynA(savedPath, gReturnPath, sizeof(savedPath));
    std::string path = TempPath("PageViewAmend.qvr");
    std::string amended = TempPath("PageViewAmend_amended.qvr");
    DeleteFileA(amended.c_str());
    FILE *f = fopen(path.c_str(), "wb");
    fclose(f);
    lstrcpynA(gReturnPath, path.c_str(), sizeof(gReturnPath));
    SetReturnText(gOpenReturnPtr, RETURN_PART_FEDERAL + PART_CODE, 6, "1040");
    ReturnBytes(gOpenReturnPtr, RETURN_PART_FEDERAL + PART_STATUS_LETTER)[0] = 'A';
    // Not ticked (cleared), or a "940X" return: no copy.
    SendMessageA(gPageViewWindow, WM_PAGE_AMENDED, 0, 2);
    EXPECT_STREQ(path.c_str(), gReturnPath);
    // Ticked: the message, then the return saved under the new name without its send state.
    ScriptMessageBoxAnswer(IDOK);
    SendMessageA(gPageViewWindow, WM_PAGE_AMENDED, 0, 1);
    ASSERT_GE(GetShownMessageBoxes().size(), 1u);
    EXPECT_EQ("Creating Amended Return", GetShownMessageBoxes()[0].title);
    EXPECT_STREQ(amended.c_str(), gReturnPath);
    EXPECT_EQ(0, ReturnBytes(gOpenReturnPtr, RETURN_PART_FEDERAL + PART_STATUS_LETTER)[0]);
    EXPECT_EQ(1, FileExists(amended.c_str()));
    // The original file is kept as it was.
    EXPECT_EQ(1, FileExists(path.c_str()));
    DeleteFileA(amended.c_str());
    DeleteFileA(path.c_str());
    memcpy(gOpenReturnPtr, &saved, sizeof(saved));
    lstrcpynA(gReturnPath, savedPath, sizeof(gReturnPath));
}

} // namespace
