// Return descriptions from the main-form page table: the refund by deposit or by cheque and the
// balance due read from a Form 1040's second page, and a part the return does not hold; the
// status bar's amounts of the other return kinds, each shown whole.
#include "prepare/prepare.h"
#include "tests/harness/fields.h"
#include "ui/status_amounts.h"
#include "ui/ui.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

struct DescribeCase {
    const char *overpaid, *owed, *routing;
    int kind;
    const char *label, *value;
};

TEST(DescribeReturn, RefundOrBalanceDueOfForm1040)
{
    const DescribeCase cases[] = {
        {"1,640", "", "", RETURN_KIND_MAIL, "Refund", "$1,640"},
        {"1,640", "", "123456789", RETURN_KIND_DEPOSIT, "Refund", "$1,640"},
        {"", "12,310", "", RETURN_KIND_BALANCE, "Balance Due", "$12,310"},
        {"0", "0", "", 0, "", ""},
    };
    for (const DescribeCase &c : cases) {
        FieldDesc first[] = {{"0101", "N", nullptr, "52,000"}};
        FieldDesc second[] = {
            {"0440", "CN", nullptr, c.overpaid}, {"0452", "G", nullptr, c.routing}, {"0470", "CN", nullptr, c.owed}};
        FormInstance *page1 = MakePage("Form 1040.1", MakeTable(first, 1));
        FormInstance *page2 = MakePage("Form 1040.2", MakeTable(second, 3));
        page1->jurisdiction = page2->jurisdiction = 100;
        FormInstance *pages[] = {page1, page2};
        SetTestReturnPages(pages, 2);

        ReturnDescription d;
        ASSERT_EQ(1, DescribeReturn('F', &d, NULL, NULL, 0, 0)) << c.value;
        EXPECT_EQ(c.kind, d.kindLetter) << c.value;
        EXPECT_EQ(100, d.jurisdiction);
        EXPECT_STREQ("Form 1040", d.shortText);
        EXPECT_STREQ("U.S. Individual Income Tax Return (Form 1040)", d.longText);
        EXPECT_STREQ(c.label, d.secondLabel);
        EXPECT_STREQ(c.value, d.secondValue);
        EXPECT_EQ(0, DescribeReturn('S', &d, NULL, NULL, 0, 0));   // no state return
        EXPECT_EQ(1, DescribeReturn('F', NULL, NULL, NULL, 0, 0)); // the forms tree's call

        SetTestReturnPages(NULL, 0);
        FreeFormInstance(page1);
        FreeFormInstance(page2);
    }
}

// The status bar's amounts of each sample return kind; a part of several main forms (a Form 941
// beside a Form 1040) shows each form's amount. Pages: key, jurisdiction, one field and its value.
TEST(DescribeReturn, StatusBarAmountsOfEveryReturnKind)
{
    struct Case {
        std::vector<std::vector<const char *>> pages;
        std::vector<std::string> texts;
    } cases[] = {
        {{{"Form 941.1", "100", "1400", "1,000.00"}}, {"Federal Balance Due: $1,000"}},
        {{{"Form 941.1", "100", "1500", "250.00"}}, {"Federal Refund: $250"}},
        {{{"Form M1PR.1", "24", "1500", "500.00"}}, {"Other Refund: $500"}},
        {{{"Form 941.1", "100", "1400", "1,000"}, {"Form 1040.1", "100", "0101", "1"},
          {"Form 1040.2", "100", "0440", "1,640"}},
         {"Form 941 Balance Due: $1,000", "Form 1040 Refund: $1,640"}},
    };
    for (const Case &c : cases) {
        std::vector<FormInstance *> pages;
        for (const auto &p : c.pages) {
            FieldDesc field[] = {{p[2], "CR", nullptr, p[3]}};
            pages.push_back(MakePage(p[0], MakeTable(field, 1)));
            pages.back()->jurisdiction = (uint8_t)atoi(p[1]);
        }
        SetTestReturnPages(pages.data(), (int)pages.size());
        char texts[8][STATUS_AMOUNT_TEXT_SIZE];
        EXPECT_EQ(c.texts, std::vector<std::string>(texts, texts + FormatStatusAmountTexts(texts, 8)));
        SetTestReturnPages(NULL, 0);
        for (FormInstance *page : pages)
            FreeFormInstance(page);
    }
}

// Every main form's amount reads whole in the status bar at the window's width, a narrow one's
// too (the message part gives way): the text up to the amount's end fits inside its part.
TEST(DescribeReturn, StatusBarShowsEveryAmountWhole)
{
    FieldDesc f941[] = {{"1400", "CR", nullptr, "1,000"}}, f1040[] = {{"0101", "N", nullptr, "1"}},
              f1040b[] = {{"0440", "CN", nullptr, "1,640"}}, m1pr[] = {{"1500", "CR", nullptr, "500.00"}};
    FormInstance *pages[] = {MakePage("Form 941.1", MakeTable(f941, 1)), MakePage("Form 1040.1", MakeTable(f1040, 1)),
                             MakePage("Form 1040.2", MakeTable(f1040b, 1)),
                             MakePage("Form M1PR.1", MakeTable(m1pr, 1))};
    for (FormInstance *page : pages)
        page->jurisdiction = 100;
    pages[3]->jurisdiction = 24;
    SetTestReturnPages(pages, 4);
    HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, window,
                               NULL, NULL, NULL);
    ASSERT_TRUE(bar != NULL);
    HWND savedBar = gStatusBar;
    gStatusBar = bar;
    const char *amounts[] = {"Form 941 Balance Due: $1,000", "Form 1040 Refund: $1,640", "Other Refund: $500"};
    for (int width : {1590, 1024, 800, 700, 640}) {
        RECT frame = {0, 0, width, 300};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        SetWindowPos(window, NULL, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER);
        SendMessageA(bar, WM_SIZE, 0, 0);
        LayoutStatusBarParts(bar, window);
        RefreshStatusAmountParts();
        HDC dc = GetDC(bar);
        HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(bar, WM_GETFONT, 0, 0));
        for (const char *amount : amounts) {
            int shown = 0;
            for (int part = 1; part <= 2; part++) {
                char text[512] = "";
                SendMessageA(bar, SB_GETTEXTA, part, (LPARAM)text);
                const char *at = strstr(text, amount);
                if (!at)
                    continue;
                SIZE size;
                GetTextExtentPoint32A(dc, text, (int)(at - text + strlen(amount)), &size);
                RECT rc;
                SendMessageA(bar, SB_GETRECT, part, (LPARAM)&rc);
                EXPECT_LE(size.cx + 6, rc.right - rc.left) << width << " px: " << text;
                shown = 1;
            }
            EXPECT_TRUE(shown) << amount;
        }
        SelectObject(dc, old);
        ReleaseDC(bar, dc);
    }
    gStatusBar = savedBar;
    DestroyWindow(window);
    SetTestReturnPages(NULL, 0);
    for (FormInstance *page : pages)
        FreeFormInstance(page);
}
