// The PDF writer: exact object bytes, the pure helpers, and whole files of the sample return
// checked by independent readers (qpdf, pdfinfo, pdfimages, pdftoppm from poppler-utils).
#include <gtest/gtest.h>
#include "entry/entry.h"
#include "print/print.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <zlib.h>
#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

std::string ObjectText(PdfObject &object)
{
    std::string text(object.text ? object.text : "", object.length);
    FreePdfObject(&object);
    return text;
}

std::string ReadWhole(const std::string &path)
{
    std::string bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, n);
    fclose(file);
    return bytes;
}

// The "Pages:" figure of pdfinfo's report, -1 when missing.
int PdfPageCount(const std::string &report)
{
    size_t at = report.find("Pages:");
    return at == std::string::npos ? -1 : atoi(report.c_str() + at + 6);
}

int HaveTool(const char *tool)
{
    return RunUnixCommand(std::string("command -v ") + tool, NULL, 20000) == 0;
}

TEST(PdfObjects, ExactBytesOfTheFixedObjectsTableAndTrailer)
{
    PdfObject o;
    ASSERT_TRUE(MakePdfHeader(&o));
    EXPECT_EQ(std::string("%PDF-1.5\r%\xE2\xE3\xCF\xD3\n"), ObjectText(o));
    ASSERT_TRUE(MakePdfCatalog(&o));
    EXPECT_EQ("1 0 obj\r<< /Type /Catalog\r/Outlines 2 0 R\r/Pages 3 0 R\r>>\rendobj\r", ObjectText(o));
    uint32_t kids[3] = {4, 7, 10};
    ASSERT_TRUE(MakePdfPages(&o, kids, 3));
    EXPECT_EQ("3 0 obj\r<< /Type /Pages\r/Kids [4 0 R\r7 0 R\r10 0 R]\r/Count 3\r>>\rendobj\r", ObjectText(o));
    ASSERT_TRUE(MakePdfPage(&o, 4, 3, 5, 6, NULL, 270));
    std::string page = ObjectText(o);
    EXPECT_NE(std::string::npos, page.find("/XObject << /I00006 6 0 R >>"));
    EXPECT_NE(std::string::npos, page.find("/MediaBox[0 0 612 792]"));
    EXPECT_NE(std::string::npos, page.find("/Rotate 270\r"));
    ASSERT_TRUE(MakePdfPageContent(&o, 5, 6));
    EXPECT_EQ("5 0 obj\r<< /Length 51 >>\rstream\r\nq\r1 0 0 1 18 18 cm\r576 0 0 756 0 0 cm\r/I00006 Do\rQ\r"
              "endstream\rendobj\r",
              ObjectText(o));
    // Five pages: 3 x 5 + 3 objects, the free entry first, 20 bytes each.
    std::vector<uint32_t> offsets(18);
    for (size_t i = 0; i < offsets.size(); i++)
        offsets[i] = 15 + 100 * (uint32_t)i;
    ASSERT_TRUE(MakePdfXref(&o, offsets.data(), 18));
    std::string xref = ObjectText(o);
    EXPECT_EQ(0u, xref.find("xref\r0 19\r0000000000 65535 f \r0000000015 00000 n \r"));
    EXPECT_EQ(strlen("xref\r0 19\r") + 19 * 20, xref.size());
    ASSERT_TRUE(MakePdfTrailer(&o, 1234, 19));
    EXPECT_EQ("trailer\r<< /Size 19\r/Root 1 0 R\r>>\rstartxref\r1234\r%%EOF", ObjectText(o));
}

// The first line's move (0 -14 TD) already goes to the second line: T* only from the third on.
TEST(PdfObjects, TextLinesFollowEachOtherWithoutABlankLine)
{
    std::pair<std::vector<const char *>, const char *> cases[] = {
        {{"one"}, "(one) Tj\r0 -14 TD\rET"},
        {{"one", "two"}, "(one) Tj\r0 -14 TD\r(two) Tj\rET"},
        {{"one", "", "(3)"}, "(one) Tj\r0 -14 TD\r() Tj\rT*\r(\\(3\\)) Tj\rET"},
    };
    for (auto &c : cases) {
        PdfObject o;
        ASSERT_TRUE(MakePdfTextContent(&o, (char *const *)c.first.data(), (int)c.first.size(), 5, "F1", 0));
        std::string text = ObjectText(o), head = "stream\r\nBT\r/F1 11 Tf\r36.25 712 TD\r";
        EXPECT_EQ(head + c.second + "\rendstream", text.substr(text.find("stream\r\n"), text.rfind("\rendobj") - text.find("stream\r\n")));
    }
}

TEST(PdfObjects, TextRowsAndMonochromeHelpers)
{
    char out[32];
    EscapePdfText("a (b) c\\", out, sizeof out);
    EXPECT_STREQ("a \\(b\\) c\\\\", out);
    EscapePdfText("((((((((((((((((((((", out, 8);
    EXPECT_STREQ("\\(\\(\\(", out);

    // 50 pixels at 4 bits: 25 bytes of data in each 28-byte DIB row.
    std::vector<uint8_t> dib(28 * 3);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 28; x++)
            dib[y * 28 + x] = (uint8_t)(x < 25 ? y * 16 + x : 0xEE);
    ASSERT_TRUE(PackDibRows(dib.data(), 50, 3, 4, dib.data()));
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 25; x++)
            ASSERT_EQ(y * 16 + x, dib[y * 25 + x]) << y << "," << x;

    // Black stays black, white stays white, a 50% grey keeps about half its pixels as ink.
    const int w = 16, h = 4;
    std::vector<uint8_t> rgb(w * 3 * h), mono(4 * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            memset(&rgb[(y * w + x) * 3], x < 4 ? 0 : x < 8 ? 255 : 128, 3);
    ASSERT_TRUE(ThresholdRowsToMono(rgb.data(), w, h, mono.data()));
    int ink[3] = {0, 0, 0};
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            ink[x < 4 ? 0 : x < 8 ? 1 : 2] += !(mono[y * 4 + x / 8] & (0x80 >> (x % 8)));
    EXPECT_EQ(16, ink[0]);
    EXPECT_EQ(0, ink[1]);
    EXPECT_GE(ink[2], 12);
    EXPECT_LE(ink[2], 20);

    int count = 0;
    char **lines = WrapPdfTextLines("\r\n\r\nfirst line\r\n\r\nxxxxxxxxxx yyyyyyyyyy zzzzzzzzzz", 12, &count);
    ASSERT_TRUE(lines);
    std::vector<std::string> got(lines, lines + count);
    FreePdfTextLines(lines, count);
    EXPECT_EQ((std::vector<std::string>{"first line", "", "xxxxxxxxxx", "yyyyyyyyyy", "zzzzzzzzzz"}), got);
}

// The sample return opened in the main window as a user opens it.
class PdfSample : public ::testing::Test {
protected:
    HWND window = 0;
    std::string unixFolder, wineFolder;
    void SetUp() override
    {
        std::string sample =
            SampleReturnFolder("lvpdf", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp", "f941.qvp"}) +
            "Sample.qvr";
        if (!FileExists(sample.c_str()))
            GTEST_SKIP() << "no sample return in the build";
        if (!HaveTool("qpdf") || !HaveTool("pdfinfo") || !HaveTool("pdftoppm"))
            GTEST_SKIP() << "qpdf or poppler-utils missing (scripts/setup.sh installs them)";
        unixFolder = MakeUnixTestFolder("pdf", &wineFolder);
        window = OpenMainWindow();
        ASSERT_TRUE(window);
        ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)sample.c_str()));
        PumpMessages(50);
    }
    void TearDown() override
    {
        CloseOpenReturn();
        DestroyMainWindow(window);
        gReturnModified = 0;
    }
    std::string Run(const std::string &command, int *code = NULL)
    {
        std::string output;
        int result = RunUnixCommand(command, &output, 120000);
        if (code)
            *code = result;
        return output;
    }
};

// A field button names the form of its PDF ("Schedule B"), not one of its page keys: either way
// the form's PDF is written beside the return and its path handed back; a form the return does
// not hold writes nothing.
TEST_F(PdfSample, FormPdfForAnAttachmentByFormNameOrPageKey)
{
    for (const char *name : {"Schedule B", "Schedule B.1", "Schedule C"}) {
        SCOPED_TRACE(name);
        int held = strcmp(name, "Schedule C") != 0;
        char out[MAX_PATH] = "";
        ClearShownMessageBoxes();
        EXPECT_EQ(held, ConfirmPdfTarget(name, out, sizeof out));
        EXPECT_EQ(held != 0, out[0] && FileExists(out));
        if (out[0])
            DeleteFileA(out);
    }
}

// The gray level (0 black .. 255 white) rows of a binary PGM file, or empty.
std::vector<uint8_t> ReadPgm(const std::string &path, int *width, int *height)
{
    std::string bytes = ReadWhole(path);
    int maxValue = 0, consumed = 0;
    if (sscanf(bytes.c_str(), "P5 %d %d %d%n", width, height, &maxValue, &consumed) != 3 || maxValue != 255)
        return {};
    size_t start = (size_t)consumed + 1;
    if (bytes.size() < start + (size_t)*width * *height)
        return {};
    return std::vector<uint8_t>(bytes.begin() + start, bytes.begin() + start + (size_t)*width * *height);
}

TEST_F(PdfSample, ReturnPdfPassesStrictReadersAndMatchesThePageImages)
{
    std::string target = unixFolder + "Sample.pdf";
    ScriptMessageBoxAnswer(IDNO);   // "PDF File Created": do not open it
    ASSERT_EQ(1, GeneratePdf((wineFolder + "Sample.qvr").c_str(), NULL, NULL, NULL, 1, 0));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("PDF File Created", GetShownMessageBoxes()[0].title);
    EXPECT_TRUE(GetShellCalls().empty());

    int code = -1;
    std::string check = Run("qpdf --check " + target, &code);
    EXPECT_EQ(0, code) << check;
    EXPECT_EQ(std::string::npos, check.find("WARNING")) << check;
    // Summary, Status, the five form pages, then the federal statements: the sample's note to
    // self and Schedule B's payers.
    EXPECT_EQ(9, PdfPageCount(Run("pdfinfo " + target)));
    std::string images = Run("pdfimages -list " + target);
    EXPECT_NE(std::string::npos, images.find(" 2400  3168  index")) << images;
    std::string file = ReadWhole(wineFolder + "Sample.pdf");
    EXPECT_EQ(0u, file.find("%PDF-1.5\r%\xE2\xE3\xCF\xD3\n1 0 obj\r"));
    EXPECT_NE(std::string::npos, file.find("/Size 31\r"));
    // Objects in number order, the page tree (3) before the pages whose kids it lists.
    size_t last = 0;
    for (int number = 1; number <= 30; number++) {
        size_t at = file.find((number == 1 ? "\n" : "\r") + std::to_string(number) + " 0 obj\r");
        ASSERT_NE(std::string::npos, at) << number;
        EXPECT_LT(last, at) << number;
        last = at;
    }
    EXPECT_EQ(file.size() - 5, file.rfind("%%EOF"));

    // Page 3 (Form 1040, page 1) drawn by poppler at 300 dpi against the program's own image: the
    // image fills 576 x 756 points at (18, 18), so 2400 x 3150 pixels from (75, 75).
    std::string pgm = unixFolder + "page3";
    Run("pdftoppm -gray -r 300 -f 3 -l 3 -singlefile " + target + " " + pgm);
    int width = 0, height = 0;
    std::vector<uint8_t> rendered = ReadPgm(wineFolder + "page3.pgm", &width, &height);
    ASSERT_EQ(2550, width);
    ASSERT_EQ(3300, height);
    FormInstance *page = NULL;
    ASSERT_EQ(1, FindReturnPages(14, "Form 1040.1", &page, 0));
    gPdfInProgress = 1;
    HBITMAP image = GeneratePageImage(page, 1);
    gPdfInProgress = 0;
    ASSERT_TRUE(image);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, image);
    long differ = 0, total = 0;
    for (int y = 0; y < 3150; y += 3)
        for (int x = 0; x < 2400; x += 3) {
            // A pixel differs when none of the source rows around its place agrees.
            int renderedDark = rendered[(size_t)(75 + y) * width + 75 + x] < 128, agrees = 0;
            for (int dy = -1; dy <= 1 && !agrees; dy++) {
                COLORREF c = GetPixel(dc, x, y * 3168 / 3150 + dy);
                agrees = ((GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3 < 128) == renderedDark;
            }
            differ += !agrees;
            total++;
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(image);
    // Resampling 3168 rows into 3150 moves thin rules by a row: rows around are allowed, and
    // 0.5 % of pixels for the edges of text.
    EXPECT_LT(differ * 100.0 / total, 0.5);
}

TEST_F(PdfSample, LandscapeFormTurns)
{
    FormInstance *page = NULL;
    ASSERT_EQ(1, FindReturnPages(14, "Schedule B.1", &page, 0));
    uint16_t landscape = page->landscape;
    page->landscape = 1;
    ASSERT_EQ(1, GeneratePdf((wineFolder + "Form.qvr").c_str(), NULL, "Schedule B.1", NULL, 1, 1));
    page->landscape = landscape;
    std::string file = ReadWhole(wineFolder + "Form.pdf");
    EXPECT_NE(std::string::npos, file.find("/Rotate 270\r"));
    // The form's page, then its own statement (the payers).
    EXPECT_EQ(2, PdfPageCount(Run("pdfinfo " + unixFolder + "Form.pdf")));
}

// A form's PDF and print carry that form's own statements, whatever other forms share its return
// part: Schedule B (Form 941) none, Schedule B its payers, Form 1040 (the federal main form) the
// federal folder's note; the whole return both.
TEST_F(PdfSample, AFormsOutputHoldsItsOwnStatementsOnly)
{
    ScriptFileDialogPath(SampleReturnFolder("lvpdf", {}) + "f941.qvp");   // the fixture copied it
    RunDialogWithSteps([&] { return (INT_PTR)SendMessageA(window, WM_COMMAND, IDM_ADDFORM, 0); },
                       [](HWND dialog) {
                           ClickButton(dialog, IDC_94X_QUARTER1);
                           SendDlgItemMessageA(dialog, IDC_94X_SCHEDULEB, BM_CLICK, 0, 0);
                           ClickButton(dialog, IDC_START_OK);
                       });
    ASSERT_EQ(1, FindReturnPages(4, "Schedule B (Form 941)", NULL, 0));
    struct {
        const char *form;   // null: the whole return
        int pdfPages, printed;
    } cases[] = {{"Schedule B (Form 941)", 1, 0}, {"Schedule B", 2, 1}, {"Form 1040", 3, 1}, {NULL, 12, 2}};
    for (auto &c : cases) {
        SCOPED_TRACE(c.form ? c.form : "the return");
        if (!c.form)
            ScriptMessageBoxAnswer(IDNO);   // "PDF File Created": do not open it
        ASSERT_EQ(1, GeneratePdf((wineFolder + "Own.qvr").c_str(), NULL, c.form, NULL, 1, c.form != NULL));
        EXPECT_EQ(c.pdfPages, PdfPageCount(Run("pdfinfo " + unixFolder + "Own.pdf")));
        int count = 0;
        FormInstance **pages = SnapshotReturnPages(c.form ? 4 : 2, c.form, &count);
        PrintStatementList list;
        EXPECT_EQ(c.printed, CollectPrintStatements(pages, count, &list));
        FreePrintStatements(&list);
        MemFree(pages);
    }
    gReturnModified = 0;
}

TEST_F(PdfSample, LongTextKeepsEveryLineAndALockedTargetIsAFailure)
{
    std::string text;
    for (int i = 1; i <= 120; i++)
        text += "Line " + std::to_string(i) + " (a) caf\xE9\r\n";
    ASSERT_EQ(1, GeneratePdf((wineFolder + "Note.txt").c_str(), text.c_str(), NULL, NULL, 2, 1));
    int code = -1;
    std::string check = Run("qpdf --check " + unixFolder + "Note.pdf", &code);
    EXPECT_EQ(0, code) << check;
    EXPECT_EQ(std::string::npos, check.find("WARNING")) << check;
    EXPECT_EQ(3, PdfPageCount(Run("pdfinfo " + unixFolder + "Note.pdf")));
    std::string words = Run("pdftotext " + unixFolder + "Note.pdf -");
    EXPECT_NE(std::string::npos, words.find("Line 1 (a) caf\xC3\xA9")) << words.substr(0, 200);
    EXPECT_NE(std::string::npos, words.find("Line 120 (a)"));
    EXPECT_NE(std::string::npos, ReadWhole(wineFolder + "Note.pdf").find("/Encoding /WinAnsiEncoding"));

    // Another program holds the target open: the failure is reported once, no "PDF File Created".
    HANDLE held = CreateFileA((wineFolder + "Note.pdf").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, GeneratePdf((wineFolder + "Note.txt").c_str(), text.c_str(), NULL, NULL, 2, 0));
    CloseHandle(held);
    ASSERT_FALSE(GetShownMessageBoxes().empty());
    EXPECT_EQ("Unable to Create PDF File", GetShownMessageBoxes().back().title);
    for (const ShownMessageBox &box : GetShownMessageBoxes())
        EXPECT_NE("PDF File Created", box.title);

    // An unsaved return is not written silently nowhere: the command says why.
    char saved[MAX_PATH];
    lstrcpynA(saved, gReturnPath, sizeof saved);
    gReturnPath[0] = 0;
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDOK);
    SendMessageA(window, WM_COMMAND, IDM_PDFRETURN, 0);
    lstrcpynA(gReturnPath, saved, sizeof gReturnPath);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Tax Return File Has Not Been Named", GetShownMessageBoxes()[0].title);
    EXPECT_EQ("The current tax return must be saved to disk before continuing.", GetShownMessageBoxes()[0].text);
}

// The numbered objects of a PDF the program wrote, in file order.
std::vector<std::string> SplitPdfObjects(const std::string &pdf)
{
    std::vector<std::string> objects;
    for (size_t at = pdf.find(" 0 obj\r"), end; at != std::string::npos; at = pdf.find(" 0 obj\r", end)) {
        size_t start = pdf.find_last_of("\r\n", at) + 1;
        end = pdf.find("endobj\r", at);
        objects.push_back(pdf.substr(start, end - start));
    }
    return objects;
}

// An image object's pixel rows, inflated, with the bottom 64 rows (a statement's footer, which
// shows the time it was printed to the second) left out; empty for other objects.
std::string ImageRowsAboveFooter(const std::string &object)
{
    size_t data = object.find("stream\r\n"), width = object.find("/Width ");
    if (object.find("/Subtype /Image") == std::string::npos || data == std::string::npos)
        return "";
    uLongf size = (uLongf)(atoi(object.c_str() + width + 7) / 2 * 3168);
    std::string rows(size, '\0');
    uLong length = (uLong)atoi(object.c_str() + object.find("/Length ") + 8);
    if (uncompress((Bytef *)&rows[0], &size, (const Bytef *)object.data() + data + 8, length) != Z_OK)
        return "";
    return rows.substr(0, size - size / 3168 * 64);
}

// Compressed on worker threads or on the writing thread, every kind of image PDF holds the same
// objects in the same order with the same compressed streams; each write ends its workers and
// gives the main window back.
TEST_F(PdfSample, WorkerThreadsWriteTheBytesOfOneThread)
{
    struct {
        const char *name;
        const char *form;   // null: the whole return
    } cases[] = {{"return", NULL}, {"one form", "Schedule B"}};
    int threads = -1;
    for (auto &c : cases) {
        std::vector<std::string> first;
        for (int workers : {1, 2, 0}) {
            SCOPED_TRACE(std::string(c.name) + ", workers " + std::to_string(workers));
            gPdfCompressWorkers = workers;
            if (!c.form)
                ScriptMessageBoxAnswer(IDNO);   // "PDF File Created": do not open it
            ASSERT_EQ(1, GeneratePdf((wineFolder + "Same.qvr").c_str(), NULL, c.form, NULL, 1, c.form != NULL));
            std::string bytes = ReadWhole(wineFolder + "Same.pdf");
            if (threads < 0)
                threads = CountOwnThreads();
            EXPECT_EQ(threads, CountOwnThreads());
            EXPECT_TRUE(IsWindowEnabled(window));
            std::vector<std::string> objects = SplitPdfObjects(bytes);
            if (first.empty())
                first = objects;
            ASSERT_EQ(first.size(), objects.size());
            for (size_t i = 0; i < objects.size(); i++) {
                // A statement page printed in another second differs in its footer alone.
                if (first[i] != objects[i]) {
                    std::string rows = ImageRowsAboveFooter(objects[i]);
                    EXPECT_TRUE(!rows.empty() && rows == ImageRowsAboveFooter(first[i])) << objects[i].substr(0, 12);
                }
            }
        }
    }
    gPdfCompressWorkers = 0;
}

// A page whose image cannot be made, early (pages still held, the file not open yet) or late
// (pages written already): the PDF fails as on one thread, the old file stays, nothing is left
// behind, no worker runs on.
TEST_F(PdfSample, PageImageFailingAmongWorkersLeavesNothingBehind)
{
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    ASSERT_GE(count, 5);
    struct {
        int workers, failing;
    } cases[] = {{1, 2}, {0, 0}, {2, count - 1}};
    std::string old = "%PDF-1.5 an earlier PDF of this return\n", dir = wineFolder + "fail";
    CreateDirectoryA(dir.c_str(), NULL);
    int threads = -1;   // taken after the first case, on one thread: the page canvas has its own
    for (auto &c : cases) {
        SCOPED_TRACE("workers " + std::to_string(c.workers) + ", failing page " + std::to_string(c.failing));
        gPdfCompressWorkers = c.workers;
        FILE *file = fopen((dir + "\\Old.pdf").c_str(), "wb");
        ASSERT_TRUE(file && fwrite(old.data(), 1, old.size(), file) == old.size() && fclose(file) == 0);
        uint16_t source = pages[c.failing]->imageSource;
        pages[c.failing]->imageSource = 999;   // no source this program can draw
        ClearShownMessageBoxes();
        ScriptMessageBoxAnswer(IDOK);   // the page's own warning
        ScriptMessageBoxAnswer(IDOK);
        EXPECT_EQ(0, GeneratePdf((dir + "\\Old.qvr").c_str(), NULL, NULL, NULL, 1, 0));
        pages[c.failing]->imageSource = source;
        EXPECT_TRUE(old == ReadWhole(dir + "\\Old.pdf"));
        EXPECT_EQ("Old.pdf\n", Run("ls " + unixFolder + "fail"));
        ASSERT_EQ(2u, GetShownMessageBoxes().size());
        EXPECT_EQ("Unable to Create PDF File", GetShownMessageBoxes()[1].title);
        if (threads < 0)
            threads = CountOwnThreads();
        EXPECT_EQ(threads, CountOwnThreads());
        EXPECT_TRUE(IsWindowEnabled(window));
        EXPECT_EQ(0, gPdfInProgress);
    }
    gPdfCompressWorkers = 0;
    MemFree(pages);
}

// A rewrite that fails leaves the earlier PDF byte for byte and no temporary file; a full disk
// (a small file system, when this run may mount one) is reported with the system's own reason.
TEST_F(PdfSample, FailedRewriteKeepsTheOldFileAndSaysWhy)
{
    char diskFull[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, ERROR_DISK_FULL, 0, diskFull,
                   sizeof diskFull, NULL);
    HDC screen = GetDC(NULL);
    HBITMAP trueColour = CreateCompatibleBitmap(screen, 64, 64);   // no colour table: no PDF image of it
    ReleaseDC(NULL, screen);
    struct {
        const char *name;
        int fullDisk;
    } cases[] = {{"page that cannot be made", 0}, {"full disk", 1}};
    for (auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string unixDir = unixFolder + (c.fullDisk ? "full" : "bad"), dir = wineFolder + (c.fullDisk ? "full" : "bad");
        CreateDirectoryA(dir.c_str(), NULL);
        if (c.fullDisk && Run("mount -t tmpfs -o size=64k tmpfs " + unixDir + " && echo mounted").find("mounted") ==
                              std::string::npos) {
            printf("[ SKIPPED  ] %s: no small file system can be mounted here\n", c.name);
            continue;
        }
        std::string old = "%PDF-1.5 an earlier PDF of this return\n" + std::string(2000, 'x');
        FILE *file = fopen((dir + "\\Old.pdf").c_str(), "wb");
        ASSERT_TRUE(file && fwrite(old.data(), 1, old.size(), file) == old.size() && fclose(file) == 0);
        ClearShownMessageBoxes();
        ScriptMessageBoxAnswer(IDOK);
        EXPECT_EQ(0, GeneratePdf((dir + "\\Old.qvr").c_str(), NULL, NULL, c.fullDisk ? NULL : trueColour, 1, 1));
        EXPECT_TRUE(old == ReadWhole(dir + "\\Old.pdf"));
        std::string listing = Run("ls " + unixDir);
        if (c.fullDisk)
            Run("umount " + unixDir);
        EXPECT_EQ("Old.pdf\n", listing);
        ASSERT_EQ(1u, GetShownMessageBoxes().size());
        EXPECT_EQ("Unable to Create PDF File", GetShownMessageBoxes()[0].title);
        if (c.fullDisk) {
            EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find(diskFull)) << GetShownMessageBoxes()[0].text;
        }
    }
    DeleteObject(trueColour);
}

// The return's save and the PDF writer replace their files by one rule: the same targets are
// refused with the same reason, nothing is written and no folder made; a temporary file an earlier
// write left is replaced whatever its attributes (also under the name a path at the length limit
// gets), and the new file keeps the old one's attributes.
TEST_F(PdfSample, ReturnAndPdfReplaceTheirFilesByOneRule)
{
    char notFound[256];
    GetSystemErrorText(ERROR_PATH_NOT_FOUND, notFound, sizeof notFound);
    std::string folderNotFound = std::string("folder was not found (") + notFound;
    folderNotFound.erase(folderNotFound.find_last_not_of(". ") + 1);
    std::string deep = wineFolder + std::string(252 - wineFolder.size(), 'd');   // 252 characters
    CreateDirectoryA(deep.c_str(), NULL);
    enum { NEW, READ_ONLY, HIDDEN, LEFTOVER, READ_ONLY_LEFTOVER };
    struct {
        const char *what;
        std::string stem;   // the target without its extension
        int setup;
        std::string says;   // in the one message shown; empty: written without a message
        std::string temps[2];   // the temporary file of the .qvr and the .pdf (where one is made)
    } cases[] = {
        {"read-only target", wineFolder + "locked", READ_ONLY, "is read-only (", {}},
        {"hidden target", wineFolder + "hidden", HIDDEN, "",
         {wineFolder + "hidden.qvr.tmp", wineFolder + "hidden.pdf.tmp"}},
        {"read-only leftover", wineFolder + "left", READ_ONLY_LEFTOVER, "",
         {wineFolder + "left.qvr.tmp", wineFolder + "left.pdf.tmp"}},
        // 259 characters: ".tmp" would pass the limit
        {"leftover at the length limit", deep + "\\Sa", LEFTOVER, "", {deep + "\\Sa.qv~", deep + "\\Sa.pd~"}},
        {"\\\\?\\ prefix", "\\\\?\\" + wineFolder + "prefixed", NEW, "begins with \\\\?\\", {}},
        {"device name", wineFolder + "CON", NEW, "\"CON\" is a name the system keeps for a device", {}},
        {"vanished folder", wineFolder + "gone\\Sample", NEW, folderNotFound, {}},
    };
    for (auto &c : cases) {
        for (int e = 0; e < 2; e++) {
            const char *extension = e ? ".pdf" : ".qvr";
            SCOPED_TRACE(std::string(c.what) + " " + extension);
            std::string target = c.stem + extension, temp = c.temps[e];
            std::string old = "an earlier file", leftover = c.setup >= LEFTOVER ? temp : target;
            if (c.setup != NEW) {
                FILE *file = fopen(leftover.c_str(), "wb");
                ASSERT_TRUE(file && fwrite(old.data(), 1, old.size(), file) == old.size() && fclose(file) == 0);
                SetFileAttributesA(leftover.c_str(), c.setup == HIDDEN ? FILE_ATTRIBUTE_HIDDEN
                                                     : c.setup == LEFTOVER ? FILE_ATTRIBUTE_NORMAL
                                                                           : FILE_ATTRIBUTE_READONLY);
            }
            ClearShownMessageBoxes();
            if (!c.says.empty())
                ScriptMessageBoxAnswer(IDOK);
            int written = strcmp(extension, ".qvr") == 0
                              ? SaveReturnFile(window, target.c_str())
                              : GeneratePdf((c.stem + ".qvr").c_str(), NULL, "Schedule B", NULL, 1, 1);
            const auto &boxes = GetShownMessageBoxes();
            DWORD attributes = GetFileAttributesA(target.c_str());
            if (c.says.empty()) {
                EXPECT_EQ(1, written);
                EXPECT_EQ(0u, boxes.size()) << (boxes.empty() ? "" : boxes[0].text);
                EXPECT_TRUE(ReadWhole(target).size() > old.size());
                EXPECT_EQ(c.setup == HIDDEN ? FILE_ATTRIBUTE_HIDDEN : 0u,
                          attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
                EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(temp.c_str())) << "a temporary file is left";
            } else {
                EXPECT_EQ(0, written);
                EXPECT_EQ(1u, boxes.size());
                EXPECT_NE(std::string::npos, boxes.empty() ? 0 : boxes[0].text.find(c.says)) << c.says;
                if (c.setup == READ_ONLY) {
                    EXPECT_TRUE(ReadWhole(target) == old);
                }
            }
            SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
    // Nothing was written where the targets were refused, and the vanished folder was not made.
    std::string listing = Run("ls " + unixFolder);
    for (const char *name : {"CON", "prefixed", "gone"})
        EXPECT_EQ(std::string::npos, listing.find(name)) << listing;
}

// The names in folder (a path ending in a separator, or empty for the current folder).
std::vector<std::string> ListFolder(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// A return and its PDF are written under names of every length up to the 255 characters one name
// may have, in the current folder (a bare name) and at a drive's root: each save succeeds without
// a message and leaves only its own file behind.
TEST_F(PdfSample, NamesUpToTheLongestAFileMayHaveAreWritten)
{
    char before[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryA(sizeof before, before));
    ASSERT_TRUE(SetCurrentDirectoryA(wineFolder.c_str()));
    std::string unique = "lv" + std::to_string(GetCurrentProcessId());
    for (const char *folder : {"", "C:\\"}) {
        for (size_t length : {5, 200, 251, 252, 253, 254, 255}) {
            std::string stem = unique.substr(0, length - 4);
            stem.resize(length - 4, 'n');
            for (const char *extension : {".qvr", ".pdf"}) {
                SCOPED_TRACE(std::string(folder) + " " + std::to_string(length) + " " + extension);
                int isReturn = strcmp(extension, ".qvr") == 0;
                std::string target = folder + stem + extension;
                std::vector<std::string> was = ListFolder(folder);
                ClearShownMessageBoxes();
                int written = isReturn ? SaveReturnFile(window, target.c_str())
                                       : GeneratePdf((folder + stem + ".qvr").c_str(), NULL, "Schedule B", NULL, 1, 1);
                EXPECT_EQ(1, written);
                const auto &boxes = GetShownMessageBoxes();
                EXPECT_EQ(0u, boxes.size()) << (boxes.empty() ? "" : boxes[0].text);
                if (isReturn) {
                    FileRecord read;
                    memset(&read, 0, sizeof read);
                    EXPECT_EQ(1, ReadDataFile(target.c_str(), 0, &read, READ_DATA_QUIET));
                    ReleaseFileRecord(&read, NULL);
                } else {
                    EXPECT_EQ("%PDF-", ReadWhole(target).substr(0, 5));
                }
                if (std::find(was.begin(), was.end(), stem + extension) == was.end())
                    was.push_back(stem + extension);
                std::vector<std::string> now = ListFolder(folder);
                std::sort(was.begin(), was.end());
                std::sort(now.begin(), now.end());
                EXPECT_EQ(was, now) << "only the file written is new";
            }
            ReleaseHeldFile();
            DeleteFileA((folder + stem + ".qvr").c_str());
            DeleteFileA((folder + stem + ".pdf").c_str());
        }
    }
    SetCurrentDirectoryA(before);
}

}  // namespace
