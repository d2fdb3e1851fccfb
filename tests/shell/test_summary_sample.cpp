// The sample return's refund on its Status page and in the status bar, and both following a
// changed value of Form 1040 after the recompute (the Status page shown is redrawn).
#include "calc/calc.h"
#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/pixels.h"
#include "tests/harness/sample.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace
{

std::string StatusPart(int part)
{
    char text[256] = "";
    if (LOWORD(SendMessageA(gStatusBar, SB_GETTEXTLENGTHA, part, 0)) < sizeof text)
        SendMessageA(gStatusBar, SB_GETTEXTA, part, (LPARAM)text);
    return text;
}

// The federal part's heading rows of the Status page, as "label | value".
std::vector<std::string> FederalHeading()
{
    SummaryFacts facts;
    GatherSummaryFacts(NULL, &facts);
    SummaryTable table = {};
    BuildPartHeadingRows(&facts, 0, &table);
    std::vector<std::string> out;
    for (int i = 0; i < table.count; i++)
        out.push_back(std::string(table.rows[i].label ? table.rows[i].label : "") +
                      (table.rows[i].value ? std::string(" | ") + table.rows[i].value : ""));
    FreeSummaryTable(&table);
    return out;
}

class SummarySample : public MainWindowTest
{
};

} // namespace

TEST_F(SummarySample, RefundOnStatusPageAndStatusBarFollowsTheReturn)
{
    std::string path = SampleReturnFolder("lvsummary", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"}) + "Sample.qvr";
    if (!FileExists(path.c_str()))
        GTEST_SKIP() << "no sample return in the build";
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    WaitForRecompute();
    // Withholding 4,100 against a tax of 2,460.
    EXPECT_EQ(StatusPart(1), "Federal Refund: $1,640");
    EXPECT_EQ(StatusPart(2), "");
    EXPECT_EQ(FederalHeading(),
              (std::vector<std::string>{"2024 U.S. Individual Income Tax Return (Form 1040)", "Refund | $1,640"}));

    ASSERT_TRUE(gTreeStatusItem);
    TreeView_SelectItem(gFormsTreeWindow, gTreeStatusItem);
    PumpMessages(50);
    ASSERT_EQ((HTREEITEM)GetCurrentDocument(1), gTreeStatusItem);
    RECT amountRow = {700, 900, 1600, 1700}; // the federal part's heading and refund rows
    HBITMAP before = CopyBitmap(gPageBitmap, 1);
    ASSERT_GT(CountInk(before, &amountRow), 1000);

    // Less withheld (line 25a): the return now owes; the recompute moves both amounts.
    FormInstance *page2 = NULL;
    ASSERT_EQ(1, FindReturnPages(12, "Form 1040.2", &page2, 0));
    FieldRecord *withheld = NULL;
    for (int i = 1; i < page2->fieldTable->count; i++)
        if (!strcmp(page2->fieldTable->fields[i].seq, "0351"))
            withheld = &page2->fieldTable->fields[i];
    ASSERT_TRUE(withheld);
    SetFieldText(&withheld->value, "1,000");
    RequestRecompute(1, NULL);
    WaitForRecompute();
    EXPECT_EQ(StatusPart(1), "Federal Balance Due: $1,460");
    EXPECT_EQ(FederalHeading(),
              (std::vector<std::string>{"2024 U.S. Individual Income Tax Return (Form 1040)", "Balance Due | $1,460"}));
    // The Status page shown was drawn again with the new amount.
    int changed = 0;
    HDC a = CreateCompatibleDC(NULL), b = CreateCompatibleDC(NULL);
    HGDIOBJ oldA = SelectObject(a, before), oldB = SelectObject(b, gPageBitmap);
    for (int y = amountRow.top; y < amountRow.bottom; y += 3)
        for (int x = amountRow.left; x < amountRow.right; x += 3)
            changed += GetPixel(a, x, y) != GetPixel(b, x, y);
    SelectObject(a, oldA);
    SelectObject(b, oldB);
    DeleteDC(a);
    DeleteDC(b);
    DeleteObject(before);
    EXPECT_GT(changed, 20); // "Balance Due" and "$1,460" where "Refund" and "$1,640" stood

    // Only the Summary or Status page shown is redrawn.
    EXPECT_EQ(0, RefreshSummaryPage(Child(gTreeFederalFolder)));
    EXPECT_EQ(0, RefreshSummaryPage(gTreeSummaryItem));
    EXPECT_EQ(1, RefreshSummaryPage(gTreeStatusItem));
    gReturnModified = 0;
    CloseOpenReturn();
    EXPECT_EQ(StatusPart(1), "");
}
