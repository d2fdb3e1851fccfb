// Every number of the build's FormPaks that the form writes in boxes: one character in each box,
// on the page image, in the PDF and on paper, and the form's own lines between the boxes kept.
// (Their phone numbers, ZIP codes and EINs - Form 1040's, Form 941's, the M1PR's - are written in
// plain cells without boxes.)
#include <gtest/gtest.h>
#include "pages/pages.h"
#include "print/print.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"
#include "tests/print/test_print_util.h"

#include <commctrl.h>
#include <math.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// A row of boxes on a page: from left to right (page units: the IRS PDF's field, x * 300 / 72 - 75),
// in cells parted by the form's dividers, each holding the characters cells names ("324": an
// SSN's three boxes, a divider, two boxes, a divider, four boxes).
struct BoxedNumber {
    int page;   // index in kPages
    const char *seq;
    long left, right;
    const char *cells, *value;
};
const struct {
    const char *key;
    int pdfPage;   // its place in the sample's PDF
} kPages[] = {{"Form 1040.1", 3}, {"Form 1040.2", 4}, {"Schedule 1.2", 6}};
const BoxedNumber kBoxedNumbers[] = {
    {0, "0012", 1879, 2325, "324", "400-01-2345"},   // your SSN
    {0, "0015", 1879, 2325, "324", "400-01-2346"},   // spouse's SSN
    {0, "0812", 1035, 1395, "324", "400-01-2347"},   // dependents' SSNs
    {0, "0822", 1035, 1395, "324", "400012348"},
    {0, "0832", 1035, 1395, "324", "400-01-2349"},
    {0, "0842", 1035, 1395, "324", "400-01-2350"},
    {1, "0452", 645, 1185, "111111111", "011000015"},                   // routing number
    {1, "0455", 645, 1665, "11111111111111111", "12345678901234567"},   // account number
    {1, "0505", 2025, 2325, "11111", "24680"},                          // designee's PIN
    {1, "0512", 2025, 2325, "111111", "135790"},                        // Identity Protection PINs
    {1, "0515", 2025, 2325, "111111", "975310"},
    {2, "0192", 1605, 1905, "324", "400-01-2399"},   // line 19b: the recipient's SSN
};

// The grey levels of an output page and where a page unit lands on it.
struct Gray {
    int width = 0, height = 0;
    std::vector<uint8_t> level;   // 0 black .. 255 white, top row first
    double scaleX = 1, scaleY = 1, offsetX = 0, offsetY = 0;
    // Dark pixels (ink and values, not the grey of the print stamps) of the output over the
    // page-unit area [x0, x1) x [y0, y1).
    long Count(double x0, double y0, double x1, double y1) const
    {
        long n = 0;
        int px1 = (int)lround(offsetX + x1 * scaleX), py1 = (int)lround(offsetY + y1 * scaleY);
        for (int y = (int)lround(offsetY + y0 * scaleY); y < py1 && y < height; y++)
            for (int x = (int)lround(offsetX + x0 * scaleX); x < px1 && x < width; x++)
                n += x >= 0 && y >= 0 && level[(size_t)y * width + x] < 100;
        return n;
    }
};

Gray ReadGray(HBITMAP bitmap)
{
    Gray gray;
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return gray;
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -info.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels((size_t)info.bmWidth * info.bmHeight);
    HDC dc = CreateCompatibleDC(NULL);
    int rows = GetDIBits(dc, bitmap, 0, (UINT)info.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (rows != info.bmHeight) return gray;
    gray.width = info.bmWidth;
    gray.height = info.bmHeight;
    for (uint32_t p : pixels) gray.level.push_back((uint8_t)((((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255)) / 3));
    return gray;
}

// The row's cells as the blank form draws them: the parts of the row between its dividers
// (columns inked along a third of the field's height or more), a frame at either end left out.
struct Row {
    RECT rect;
    std::vector<RECT> cells, dividers;
};

Row FindCells(const Gray &blank, const RECT &r)
{
    Row row;
    row.rect = r;
    long start = r.left;
    for (long x = r.left; x <= r.right; x++) {
        bool divider = x < r.right && blank.Count(x, r.top, x + 1, r.bottom) * 3 >= r.bottom - r.top;
        if (divider && start >= 0) {
            row.cells.push_back(RECT{start, r.top, x, r.bottom});
            row.dividers.push_back(RECT{x, r.top, x, r.bottom});
            start = -1;
        } else if (!divider && start < 0) {
            row.dividers.back().right = x;
            start = x;
        }
    }
    if (start >= 0) row.cells.push_back(RECT{start, r.top, r.right, r.bottom});
    for (size_t k = row.cells.size(); k-- > 0;)
        if (row.cells[k].right - row.cells[k].left < 8) row.cells.erase(row.cells.begin() + k);
    return row;
}

// One output of a boxed number: every box of every cell holds ink in its middle, nothing crosses
// from one box into the next, and each divider of the blank form is still there with nothing
// over it. tolerance: the share of a divider's ink an output may lose or gain by resampling.
void CheckBoxes(const char *where, const BoxedNumber &c, const Row &row, const Gray &blank, const Gray &out,
                double tolerance)
{
    SCOPED_TRACE(std::string(where) + " " + kPages[c.page].key + " field " + c.seq);
    ASSERT_EQ(strlen(c.cells), row.cells.size()) << "cells of the row";
    const double top = row.rect.top, bottom = row.rect.bottom, height = bottom - top;
    const long minInk = (long)(40 * out.scaleX * out.scaleY), slack = tolerance > 0 ? 4 : 0;
    for (size_t k = 0; k < row.cells.size(); k++) {
        int n = c.cells[k] - '0';
        double left = row.cells[k].left, width = (double)(row.cells[k].right - left) / n;
        for (int b = 0; b < n; b++) {
            double x0 = left + b * width;
            EXPECT_GE(out.Count(x0 + width * 0.2, top + height * 0.1, x0 + width * 0.8, bottom - height * 0.1), minInk)
                << "cell " << k << " box " << b << ": no character";
            if (b > 0) {
                EXPECT_LE(out.Count(x0 - 1, top, x0 + 1, bottom), blank.Count(x0 - 1, top, x0 + 1, bottom) + slack)
                    << "cell " << k << " box " << b << ": ink between two boxes";
            }
        }
    }
    for (const RECT &d : row.dividers) {
        long drawn = blank.Count(d.left - 2, top, d.right + 2, bottom);
        long now = out.Count(d.left - 2, top, d.right + 2, bottom);
        EXPECT_GE(now, drawn * (1 - tolerance)) << "divider at " << d.left << " lost";
        EXPECT_LE(now, drawn * (1 + tolerance) + slack) << "divider at " << d.left << " painted over";
    }
}

// The sample return opened in the main window, every boxed number given a value.
class BoxedNumbers : public ::testing::Test {
protected:
    HWND window = 0;
    std::string folder, unixFolder, wineFolder;
    std::vector<Row> rows;   // per table entry
    std::vector<Gray> blanks;
    void SetUp() override
    {
        folder = SampleReturnFolder("lvboxes", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp"});
        if (!FileExists((folder + "Sample.qvr").c_str())) GTEST_SKIP() << "no sample return in the build";
        window = OpenMainWindow();
        ASSERT_TRUE(window);
        ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)(folder + "Sample.qvr").c_str()));
        PumpMessages(50);
        for (const BoxedNumber &c : kBoxedNumbers) {
            FieldRecord *field = FindField(c);
            ASSERT_TRUE(field && field->rect) << kPages[c.page].key << " " << c.seq;
            SetFieldText(&field->value, c.value);
        }
        // Away from the page shown, so that each page is drawn again with these values.
        SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)gTreeSummaryItem);
        PumpMessages(20);
        // The blank pages (drawn without their fields) give each row's cells and dividers.
        for (const BoxedNumber &c : kBoxedNumbers) {
            HBITMAP image = DrawBlankPage(FindPage(c));
            blanks.push_back(ReadGray(image));
            if (image) DeleteObject(image);
            ASSERT_GT(blanks.back().width, 0);
            const RECT *r = FindField(c)->rect;
            rows.push_back(FindCells(blanks.back(), RECT{c.left, r->top, c.right, r->bottom}));
        }
    }
    void TearDown() override
    {
        if (window) {
            CloseOpenReturn();
            DestroyMainWindow(window);
        }
        gReturnModified = 0;
    }
    static HBITMAP DrawBlankPage(FormInstance *page)
    {
        uint32_t length = ReadPageImageData(NULL, 0, page);
        std::vector<uint8_t> record(length + 1);
        if (!length || ReadPageImageData(record.data(), length + 1, page) != length) return NULL;
        FieldTable *table = page->fieldTable;
        page->fieldTable = NULL;
        HBITMAP bitmap = RenderPclPage(record.data(), length, page, NULL);
        page->fieldTable = table;
        FreeFormRecords();
        return bitmap;
    }
    static FormInstance *FindPage(const BoxedNumber &c)
    {
        FormInstance *page = NULL;
        return FindReturnPages(14, kPages[c.page].key, &page, 0) == 1 ? page : NULL;
    }
    static FieldRecord *FindField(const BoxedNumber &c)
    {
        FormInstance *page = FindPage(c);
        int index = page ? FindLayoutField(page->fieldTable, 1, c.seq, 0) : 0;
        return index > 0 ? &page->fieldTable->fields[index] : NULL;
    }
};

} // namespace

TEST_F(BoxedNumbers, OneCharacterPerBoxOnThePageImageAndInThePdf)
{
    for (size_t i = 0; i < rows.size(); i++) {
        const BoxedNumber &c = kBoxedNumbers[i];
        // A click into the first box or the last finds the field.
        FieldRecord *field = FindField(c);
        int hit = 0;
        const RECT &first = rows[i].cells.front(), &last = rows[i].cells.back();
        const LONG middle = (first.top + first.bottom) / 2;
        EXPECT_EQ(field, FindFieldInTable(FindPage(c)->fieldTable, POINT{first.left + 4, middle}, &hit)) << c.seq;
        EXPECT_EQ(field, FindFieldInTable(FindPage(c)->fieldTable, POINT{last.right - 4, middle}, &hit)) << c.seq;
        // The page as the page view shows it.
        ASSERT_TRUE(SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)FindPage(c)->treeItem));
        PumpMessages(20);
        ASSERT_EQ((void *)FindPage(c), GetCurrentDocument(4));
        CheckBoxes("page image", c, rows[i], blanks[i], ReadGray(gPageBitmap), 0);
    }

    if (RunUnixCommand("command -v pdftoppm", NULL, 20000) != 0) GTEST_SKIP() << "poppler-utils missing";
    unixFolder = MakeUnixTestFolder("boxes", &wineFolder);
    ASSERT_TRUE(CopyFileA((folder + "Sample.qvr").c_str(), (wineFolder + "Sample.qvr").c_str(), FALSE));
    ScriptMessageBoxAnswer(IDNO);   // "PDF File Created": do not open it
    ASSERT_EQ(1, GeneratePdf((wineFolder + "Sample.qvr").c_str(), NULL, NULL, NULL, 1, 0));
    // The page image fills 576 x 756 points at (18, 18): at 300 dpi, 2400 x 3150 pixels from (75, 75).
    for (int p = 0; p < 3; p++) {
        int pdfPage = kPages[p].pdfPage;
        std::string name = "page" + std::to_string(pdfPage);
        RunUnixCommand("pdftoppm -gray -r 300 -f " + std::to_string(pdfPage) + " -l " + std::to_string(pdfPage) +
                           " -singlefile " + unixFolder + "Sample.pdf " + unixFolder + name, NULL, 120000);
        std::string bytes = ReadWholeFile(wineFolder + name + ".pgm");
        Gray pdf;
        int maxValue = 0, consumed = 0;
        ASSERT_EQ(3, sscanf(bytes.c_str(), "P5 %d %d %d%n", &pdf.width, &pdf.height, &maxValue, &consumed)) << name;
        ASSERT_GE(bytes.size(), (size_t)consumed + 1 + (size_t)pdf.width * pdf.height);
        pdf.level.assign(bytes.begin() + consumed + 1, bytes.begin() + consumed + 1 + (size_t)pdf.width * pdf.height);
        pdf.offsetX = pdf.offsetY = 75;
        pdf.scaleY = 3150.0 / 3168;
        for (size_t i = 0; i < rows.size(); i++)
            if (kBoxedNumbers[i].page == p) CheckBoxes("PDF", kBoxedNumbers[i], rows[i], blanks[i], pdf, 0.25);
    }
}

TEST_F(BoxedNumbers, OneCharacterPerBoxOnPaper)
{
    if (!HavePrinter()) GTEST_SKIP() << "no printer: scripts/cups.sh makes the file printer the default";
    PrintJobFileLock lock;
    // Where the page lands on paper: fitted into the printable area, which starts at the
    // printer's physical offset; Ghostscript draws the whole sheet at 300 dpi.
    char printer[256];
    DWORD size = sizeof printer;
    ASSERT_TRUE(GetDefaultPrinterName(printer, &size));
    HDC dc = CreateDCA(NULL, printer, NULL, NULL);
    ASSERT_TRUE(dc);
    double dpi = GetDeviceCaps(dc, LOGPIXELSX), toRender = 300.0 / dpi;
    int offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX), offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(FitImageToPage(2400, 3168, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), &x, &y, &w, &h));
    DeleteDC(dc);
    for (int p = 0; p < 3; p++) {
        FormInstance *page = NULL;
        ASSERT_EQ(1, FindReturnPages(14, kPages[p].key, &page, 0));
        HTREEITEM item = page->treeItem;
        ClearPrintJob();
        int result = -1;
        RunDialogWithSteps([&] { result = PrintForms(window, 0, item, 1, 1, 0); return (INT_PTR)0; },
                           [](HWND dialog) { ClickButton(dialog, IDOK); });
        ASSERT_EQ(1, result);
        ASSERT_GT(CountJobPages(WaitForPrintJob()), 0);
        HBITMAP paper = RenderJobPage(1, 300);
        ASSERT_TRUE(paper) << "Ghostscript did not render the job";
        Gray out = ReadGray(paper);
        DeleteObject(paper);
        out.scaleX = w * toRender / 2400;
        out.scaleY = h * toRender / 3168;
        out.offsetX = (offsetX + x) * toRender;
        out.offsetY = (offsetY + y) * toRender;
        for (size_t i = 0; i < rows.size(); i++)
            if (kBoxedNumbers[i].page == p) CheckBoxes("paper", kBoxedNumbers[i], rows[i], blanks[i], out, 0.3);
    }
}
