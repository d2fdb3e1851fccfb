// The print job end to end under Wine with the CUPS file printer (scripts/cups.sh): the return's
// pages in a forms tree (a real Form 1040 page with values), a page range, a page group, a list
// report, status pages, the amended-form refusal, no default printer; and the dialog's answer
// turned into pages without printing.
#include <gtest/gtest.h>
#include "entry/entry.h"
#include "print/print.h"
#include "shell/shell.h"
#include "tests/harness/fields.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"
#include "tests/print/test_print_util.h"
#include "transmit/transmit.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <functional>
#include <vector>

namespace {

std::vector<uint8_t> ReadBytes(const std::string &path)
{
    std::string data = ReadWholeFile(path);
    return std::vector<uint8_t>(data.begin(), data.end());
}

// Runs PrintForms with the print dialog driven by steps (null: press Print).
int RunPrint(HWND owner, ListPrintJob *job, HTREEITEM item, int mode, int stamp, BatchStatusEntry **entries,
             const std::function<void(HWND)> &steps = nullptr)
{
    int result = -1;
    RunDialogWithSteps([&] { result = PrintForms(owner, job, item, mode, stamp, entries); return (INT_PTR)0; },
                       [&](HWND dialog) {
                           if (steps)
                               steps(dialog);
                           if (IsWindow(dialog))
                               ClickButton(dialog, IDOK);
                       });
    return result;
}

// A small list view with its list report job.
struct TestListForJob {
    HWND list;
    ListPrintJob job;
    TestListForJob()
    {
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 600, 400, 0, 0, GetModuleHandleA(0), 0);
        const char *heads[2] = {"Form", "Message"};
        for (int c = 0; c < 2; c++) {
            LVCOLUMNA column;
            memset(&column, 0, sizeof column);
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = c ? 300 : 120;
            column.pszText = (char *)heads[c];
            SendMessageA(list, LVM_INSERTCOLUMNA, c, (LPARAM)&column);
        }
        for (int r = 0; r < 3; r++) {
            LVITEMA item;
            memset(&item, 0, sizeof item);
            item.mask = LVIF_TEXT;
            item.iItem = r;
            item.pszText = (char *)"Form 1040";
            SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
            LVITEMA sub;
            memset(&sub, 0, sizeof sub);
            sub.iSubItem = 1;
            sub.pszText = (char *)"Amount required";
            SendMessageA(list, LVM_SETITEMTEXTA, r, (LPARAM)&sub);
        }
        InitListPrintJob(&job, list);
        job.title = "Return Errors";
        job.footerFlag = 1;
    }
    ~TestListForJob() { DestroyWindow(list); }
};

const std::vector<PakFieldDesc> kFields = {
    {"0010", "A", "30", "JOHN Q SAMPLE", {200, 560, 1100, 640}},
    {"0020", "N", "12", "52,000", {1300, 1320, 2300, 1390}},
};

// A FormPak of the Form 1040's first page (the PCL stream the build makes from the IRS form)
// under three page keys, and the Form 1040-X page of the "Print and Scan Forms" group.
class PrintJob : public ::testing::Test {
protected:
    static std::string sPak;
    static int sReady;
    static void SetUpTestSuite()
    {
        std::vector<uint8_t> pcl = ReadBytes(BuildPath("testdata/f1040-1.pcl"));
        if (pcl.empty())
            return;
        DescribedFields fields(kFields);
        std::vector<FieldRecord> &records = fields.records;
        FormPakPageDesc pages[4];
        memset(pages, 0, sizeof pages);
        const char *names[4] = {"Form 1040", "Form 1040", "Schedule 1", "Form 1040X"};
        const int numbers[4] = {1, 2, 1, 1};
        const int jurisdictions[4] = {100, 100, 100, 101};
        for (int i = 0; i < 4; i++) {
            pages[i] = {names[i], numbers[i], 1, jurisdictions[i], i == 0 ? PAGE_FLAG_MAIN_FORM : 0, IMAGE_SOURCE_PCL,
                        pcl.data(), (uint32_t)pcl.size(), records.data(), (int)records.size(),
                        {(uint16_t)(10 + i), (uint16_t)numbers[i]}};
        }
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        sPak = std::string(folder) + "LevylinePrintTest.qvp";
        const char *header[1] = {"Form 1040"};
        sReady = WriteFormPak(sPak.c_str(), 2024, header, 1, pages, 4, 0);
    }
    static void TearDownTestSuite()
    {
        if (!sPak.empty())
            DeleteFileA(sPak.c_str());
    }

    HWND window = 0;
    FileRecord file;
    std::vector<HTREEITEM> items;   // Form 1040.1, 1040.2, Schedule 1.1, Form 1040X.1 (when filed)
    PrintJobFileLock lock;          // held for the whole test

    void SetUp() override
    {
        memset(&file, 0, sizeof file);
        InitOpenReturn(gOpenReturnPtr);
        window = CreateMainWindow(gInstance);
        ASSERT_TRUE(window);
        PumpMessages(0);
        ClearPrintJob();
    }
    void TearDown() override
    {
        DestroyMainWindow(window);
        ReleaseFileRecord(&file, 0);
        gReturnModified = 0;
    }
    // Files the FormPak's pages (the first count of them) with values in the forms tree.
    void FilePages(int count)
    {
        ASSERT_TRUE(sReady) << "no FormPak";
        ASSERT_EQ(1, ReadDataFile(sPak.c_str(), 0, &file, READ_DATA_QUIET));
        for (int i = 0; i < count; i++) {
            FormInstance *page = CreatePageRecord(&file, i, sPak.c_str(), 1);
            ASSERT_TRUE(page);
            SetValues(page, kFields);
            char caption[64];
            FormatFormDisplayName(0, 0, page->pageKey, caption, 0);
            HTREEITEM item = AddFormToTree(caption, TREE_IMAGE_PAGE, page, 0);
            ASSERT_TRUE(item);
            items.push_back(item);
        }
    }
    // A skip inside a helper ends only the helper: the test returns when this gives false.
    static void Skip(const char *why) { GTEST_SKIP() << why; }
    bool RequirePrinter()
    {
        if (!HavePrinter()) {
            Skip("no printer: scripts/cups.sh makes the file printer the default");
            return false;
        }
        if (!sReady) {
            Skip("no test page (testdata/f1040-1.pcl)");
            return false;
        }
        return true;
    }
};
std::string PrintJob::sPak;
int PrintJob::sReady;

} // namespace

TEST(PrintStampsRule, WhichPagesTakeStamps)
{
    EXPECT_TRUE(TakesPrintStamps("Form 1040.1"));
    EXPECT_TRUE(TakesPrintStamps("Form MI-8453.1"));
    EXPECT_FALSE(TakesPrintStamps("Summary Page.1"));
    EXPECT_FALSE(TakesPrintStamps("status page.1"));
    EXPECT_FALSE(TakesPrintStamps("Form MI-8453"));
    EXPECT_FALSE(TakesPrintStamps("Form 94x Signature.1"));
    EXPECT_FALSE(TakesPrintStamps("Form 1040X.2"));
    EXPECT_FALSE(TakesPrintStamps(0));
    EXPECT_FALSE(TakesPrintStamps(""));
    FormInstance page;
    memset(&page, 0, sizeof page);
    page.jurisdiction = 24;
    page.pageKey = (char *)"MN CRP.1";
    EXPECT_EQ(AllowsMnOutputFont(&page), 0);
    page.pageKey = (char *)"Form M1.1";
    EXPECT_EQ(AllowsMnOutputFont(&page), 1);
    page.jurisdiction = 100;
    page.pageKey = (char *)"MN CRP.1";
    EXPECT_EQ(AllowsMnOutputFont(&page), 1);
}

TEST(PrintFit, ImagesAreScaledToThePageAndCentred)
{
    int x, y, w, h;
    ASSERT_TRUE(FitImageToPage(2400, 3168, 4800, 6000, &x, &y, &w, &h));   // enlarged
    EXPECT_EQ(w, 4545);
    EXPECT_EQ(h, 6000);
    EXPECT_EQ(x, 2400 - 2273);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(FitImageToPage(2400, 3168, 1200, 1200, &x, &y, &w, &h));   // reduced
    EXPECT_EQ(h, 1200);
    EXPECT_EQ(w, 909);
    EXPECT_EQ(x, 600 - 455);
    EXPECT_FALSE(FitImageToPage(0, 10, 100, 100, &x, &y, &w, &h));
    RECT band = {0, 316, 2400, 632}, out;
    ASSERT_TRUE(FitBandToPage(2400, 3168, 1200, 1584, &band, &out));
    EXPECT_EQ(out.top, 158);
    EXPECT_EQ(out.bottom, 316);
    EXPECT_EQ(out.right - out.left, 1200);
}

TEST(PrintStampsDrawing, GreyStampsInBothHalvesOfABitmap)
{
    HBITMAP page = CreateDibBitmap(2400, 3168, 4, WHITENESS, 0, 0);
    ASSERT_TRUE(DrawPrintStamps(0, page, 0));
    RECT upper = {0, 0, 2400, 1584}, lower = {0, 1584, 2400, 3168};
    EXPECT_GT(PixelShare(page, upper, IsGreyPixel), 1.0);
    EXPECT_GT(PixelShare(page, lower, IsGreyPixel), 1.0);
    EXPECT_EQ(PixelShare(page, upper, IsDarkPixel), 0.0);
    DeleteObject(page);
    EXPECT_FALSE(DrawPrintStamps(0, 0, 0));
}

TEST(PrintDefaultPrinter, NameAndLength)
{
    DWORD size = 0;
    if (!GetDefaultPrinterName(0, &size))
        GTEST_SKIP() << "no default printer";
    char name[256];
    DWORD room = sizeof name;
    ASSERT_TRUE(GetDefaultPrinterName(name, &room));
    EXPECT_EQ(room, (DWORD)strlen(name) + 1);
    EXPECT_EQ(size, room);
    char tiny[2];
    DWORD small = sizeof tiny;
    EXPECT_FALSE(GetDefaultPrinterName(tiny, &small));
}

TEST_F(PrintJob, NoDefaultPrinterStopsBeforeAnything)
{
    // Without a default printer (its registry value removed for the test) nothing is spooled.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
                                           0, KEY_READ | KEY_WRITE, &key));
    char device[512] = "";
    DWORD size = sizeof device, type = 0;
    LONG had = RegQueryValueExA(key, "Device", 0, &type, (BYTE *)device, &size);
    RegDeleteValueA(key, "Device");
    TestListForJob list;
    ScriptMessageBoxAnswer(IDOK);
    // Should another Wine process put a default back meanwhile, the dialog is cancelled, not
    // waited for.
    int result = -1;
    RunDialogWithSteps([&] { result = PrintForms(window, &list.job, 0, 2, 0, 0); return (INT_PTR)0; },
                       [](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    if (had == ERROR_SUCCESS)
        RegSetValueExA(key, "Device", 0, type, (BYTE *)device, size);
    RegCloseKey(key);
    EXPECT_EQ(result, 0);
    ASSERT_EQ(GetShownMessageBoxes().size(), 1u);
    EXPECT_EQ(GetShownMessageBoxes()[0].title, "Default Printer Not Defined");
    EXPECT_EQ(GetShownMessageBoxes()[0].text,
              "A default printer is not defined for this PC.  Unable to continue with print request.");
    EXPECT_EQ(gPrintInProgress, 0);
    Sleep(500);
    EXPECT_EQ(ReadWholeFile(ToWinePath(PrintJobUnixPath())), "");
}

TEST_F(PrintJob, DialogAnswerBecomesThePagesToPrint)
{
    FilePages(3);
    ASSERT_EQ(items.size(), 3u);
    PrintPageGroup rows[PRINT_GROUP_ROWS];
    char *list = 0;
    // Federal folder, Summary and Status: the empty state folder is not offered.
    EXPECT_EQ(BuildPrintPageGroups(rows, &list), 3);
    ASSERT_TRUE(list);
    EXPECT_STREQ(list, "Federal Return;Summary page;Status page");
    MemFree(list);
    EXPECT_EQ(rows[1].included, 0);
    EXPECT_EQ(rows[1].index, -1);

    PRINTPAGERANGE range = {2, 3};
    PRINTDLGEXA record;
    memset(&record, 0, sizeof record);
    record.lpPageRanges = &range;
    record.nPageRanges = 1;
    FormInstance **pages = 0;
    int count = 0;
    // Page numbers: the second and third pages in tree order.
    record.Flags = PD_PAGENUMS;
    ASSERT_EQ(CollectPagesToPrint(&record, 0, rows, 0, &pages, &count, 0), 2);
    EXPECT_EQ(pages[0], GetTreeItemForm(items[1]));
    EXPECT_EQ(pages[1], GetTreeItemForm(items[2]));
    MemFree(pages);
    // A group: the federal folder's pages.
    record.Flags = PD_SELECTION;
    EXPECT_EQ(CollectPagesToPrint(&record, 0, rows, 0, &pages, &count, 0), 3);
    MemFree(pages);
    EXPECT_EQ(CollectPagesToPrint(&record, 0, rows, 2, &pages, &count, 0), 1);
    EXPECT_EQ(pages[0], GetTreeItemForm(gTreeStatusItem));
    MemFree(pages);
    // All: Summary, Status, then the pages.
    record.Flags = 0;
    ASSERT_EQ(CollectPagesToPrint(&record, 0, rows, 0, &pages, &count, 0), 5);
    EXPECT_EQ(pages[0], GetTreeItemForm(gTreeSummaryItem));
    EXPECT_EQ(pages[4], GetTreeItemForm(items[2]));
    MemFree(pages);
    // "Current page" with no page shown: nothing, and nothing breaks.
    record.Flags = PD_CURRENTPAGE;
    EXPECT_EQ(CollectPagesToPrint(&record, 0, rows, 0, &pages, &count, 0), 0);
    EXPECT_EQ(pages, nullptr);
    // A tree item from the forms tree's menu wins over "current page".
    ASSERT_EQ(CollectPagesToPrint(&record, 0, rows, 0, &pages, &count, items[1]), 1);
    EXPECT_EQ(pages[0], GetTreeItemForm(items[1]));
    MemFree(pages);
    // A folder item gives its pages.
    EXPECT_EQ(CollectPagesToPrint(&record, 0, rows, 0, &pages, &count, gTreeFederalFolder), 3);
    MemFree(pages);
    // The classic dialog: page numbers from its record.
    PRINTDLGA classic;
    memset(&classic, 0, sizeof classic);
    classic.Flags = PD_PAGENUMS;
    classic.nFromPage = 1;
    classic.nToPage = 1;
    EXPECT_EQ(CollectPagesToPrint(0, &classic, 0, 0, &pages, &count, 0), 1);
    MemFree(pages);
}

TEST_F(PrintJob, FirstPagePrintsWithValuesAndStamps)
{
    if (!RequirePrinter()) return;
    FilePages(1);
    char name[128];
    GetTreeItemText(items[0], name, 0, sizeof name);
    int result = RunPrint(window, 0, items[0], 1, 1, 0, [&](HWND dialog) {
        HWND options = GetDlgItem(dialog, IDC_PRINT_OPTIONS);
        EXPECT_EQ(GetControlText(options, IDC_PRINT_ALL), name);
        EXPECT_FALSE(IsControlEnabled(options, IDC_PRINT_GROUP_COMBO));
        EXPECT_FALSE(IsControlEnabled(options, IDC_PRINT_PAGES));
    });
    EXPECT_EQ(result, 1);
    std::string job = WaitForPrintJob();
    ASSERT_FALSE(job.empty()) << "no job in " << PrintJobUnixPath();
    EXPECT_EQ(CountJobPages(job), 1);
    HBITMAP page = RenderJobPage(1, 50);
    ASSERT_TRUE(page) << "Ghostscript did not render the job";
    int width = 0, height = 0;
    GetBitmapSize(page, &width, &height);
    RECT upper = {0, 0, width, height / 2}, lower = {0, height / 2, width, height};
    // The form's lines and the values are black; the stamps are grey in both halves.
    EXPECT_GT(PixelShare(page, upper, IsDarkPixel), 2.0);
    EXPECT_GT(PixelShare(page, upper, IsGreyPixel), 0.5);
    EXPECT_GT(PixelShare(page, lower, IsGreyPixel), 0.5);
    DeleteObject(page);
    EXPECT_EQ(gPrintInProgress, 0);
    EXPECT_EQ(gPrintProgressDialog, nullptr);
}

TEST_F(PrintJob, PageRangeAndGroupPrintExactlyTheirPages)
{
    if (!RequirePrinter()) return;
    FilePages(3);
    int result = RunPrint(window, 0, 0, 1, 0, 0, [&](HWND dialog) {
        HWND options = GetDlgItem(dialog, IDC_PRINT_OPTIONS);
        CheckRadioButton(options, IDC_PRINT_ALL, IDC_PRINT_PAGES, IDC_PRINT_PAGES);
        SetControlText(options, IDC_PRINT_PAGES_EDIT, "2-3");
    });
    EXPECT_EQ(result, 1);
    std::string job = WaitForPrintJob();
    EXPECT_EQ(CountJobPages(job), 2);

    // The box's own example: single pages separated by a comma.
    ClearPrintJob();   // a refusal of the text would be an unexpected message box
    result = RunPrint(window, 0, 0, 1, 0, 0, [&](HWND dialog) {
        HWND options = GetDlgItem(dialog, IDC_PRINT_OPTIONS);
        CheckRadioButton(options, IDC_PRINT_ALL, IDC_PRINT_PAGES, IDC_PRINT_PAGES);
        SetControlText(options, IDC_PRINT_PAGES_EDIT, "1, 3");
    });
    EXPECT_EQ(result, 1);
    job = WaitForPrintJob();
    EXPECT_EQ(CountJobPages(job), 2);

    ClearPrintJob();
    result = RunPrint(window, 0, 0, 1, 0, 0, [&](HWND dialog) {
        HWND options = GetDlgItem(dialog, IDC_PRINT_OPTIONS);
        HWND combo = GetDlgItem(options, IDC_PRINT_GROUP_COMBO);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
        SendMessageA(combo, CB_SETCURSEL, 0, 0);   // "Federal Return"
        SendMessageA(options, WM_COMMAND, MAKEWPARAM(IDC_PRINT_GROUP_COMBO, CBN_SELENDOK), (LPARAM)combo);
    });
    EXPECT_EQ(result, 1);
    job = WaitForPrintJob();
    EXPECT_EQ(CountJobPages(job), 3);
}

TEST_F(PrintJob, AmendedFormOfAnUnacceptedReturnIsRefused)
{
    if (!RequirePrinter()) return;
    FilePages(4);
    FormInstance *amended = (FormInstance *)GetTreeItemForm(items[3]);
    ASSERT_TRUE(amended);
    ASSERT_EQ(amended->jurisdiction, 101);
    ReturnBytes(gOpenReturnPtr, RETURN_PART_FEDERAL + PART_STATUS_LETTER)[0] = 'P';
    ScriptMessageBoxAnswer(IDOK);
    // The chosen page is checked, whichever page is shown.
    int result = RunPrint(window, 0, items[3], 1, 1, 0);
    EXPECT_EQ(result, 0);
    ASSERT_EQ(GetShownMessageBoxes().size(), 1u);
    EXPECT_EQ(GetShownMessageBoxes()[0].title, "Unable to Print Form 1040X");
    EXPECT_NE(GetShownMessageBoxes()[0].text.find("is currently \"Pending\""), std::string::npos);
    EXPECT_NE(GetShownMessageBoxes()[0].text.find("by the IRS."), std::string::npos);
    Sleep(300);
    EXPECT_EQ(ReadWholeFile(ToWinePath(PrintJobUnixPath())), "");
    // Other pages print whatever the status.
    FormInstance *first = (FormInstance *)GetTreeItemForm(items[0]);
    EXPECT_EQ(CheckAmendedPagesPrintable(&first, 1), 0);
    ReturnBytes(gOpenReturnPtr, RETURN_PART_FEDERAL + PART_STATUS_LETTER)[0] = 'A';
    EXPECT_EQ(CheckAmendedPagesPrintable(&amended, 1), 0);
}

TEST_F(PrintJob, ListReportAndStatusPages)
{
    if (!RequirePrinter()) return;
    TestListForJob list;
    int result = RunPrint(window, &list.job, 0, 2, 1, 0, [&](HWND dialog) {
        HWND options = GetDlgItem(dialog, IDC_PRINT_OPTIONS);
        EXPECT_FALSE(IsControlEnabled(options, IDC_PRINT_PAGES));
        EXPECT_FALSE(IsControlEnabled(options, IDC_PRINT_GROUP_COMBO));
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(CountJobPages(WaitForPrintJob()), 1);

    // Three entries of two returns: one status page per return.
    BatchStatusEntry entries[3];
    memset(entries, 0, sizeof entries);
    const char *ids[3] = {"RET-1", "ret-1", "RET-2"};
    const char parts[3] = {'F', 'S', 'F'};
    for (int i = 0; i < 3; i++) {
        strcpy(entries[i].returnId, ids[i]);
        entries[i].partLetter = parts[i];
        entries[i].jurisdiction = parts[i] == 'S' ? 24 : 0;
        strcpy(entries[i].sentDate, "02/14/2025 16:05:00");
        entries[i].statusLetter = 'A';
        strcpy(entries[i].businessName, "Pat & Lee Doe");
    }
    uint32_t length = 0;
    void *block = BuildBatchStatusBlock(entries, 3, 0, &length);
    int count = 0;
    BatchStatusEntry **list3 = ParseBatchStatusBlock(block, length, &count);
    MemFree(block);
    ASSERT_EQ(count, 3);
    ClearPrintJob();
    result = RunPrint(window, 0, 0, 3, 0, list3);
    FreeBatchStatusEntries(list3);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(CountJobPages(WaitForPrintJob()), 2);
}

TEST_F(PrintJob, RefusedPageIsAFailure)
{
    if (!RequirePrinter()) return;
    FilePages(1);
    char name[256];
    DWORD size = sizeof name;
    ASSERT_TRUE(GetDefaultPrinterName(name, &size));
    HDC dc = CreateDCA(0, name, 0, 0);
    ASSERT_TRUE(dc);
    // Outside a document the printer refuses the page: reported, not taken for success.
    FormInstance *page = (FormInstance *)GetTreeItemForm(items[0]);
    gPrintJobActive = 1;
    EXPECT_EQ(PrintReturnPages(dc, &page, 1, 0), 0);
    EXPECT_EQ(gPrintJobActive, 1);   // not a cancel: the page was refused
    gPrintJobActive = 0;
    DeleteDC(dc);
}

TEST_F(PrintJob, LandscapeListReportIsTurnedOntoThePortraitPage)
{
    if (!RequirePrinter()) return;
    TestListForJob list;
    list.job.landscape = 1;
    list.job.headsFlag = 1;
    list.job.headFill = 1;
    EXPECT_EQ(RunPrint(window, &list.job, 0, 2, 0, 0), 1);
    EXPECT_TRUE(list.job.rotated);
    EXPECT_GT(list.job.pageWidth, list.job.pageHeight);
    ASSERT_EQ(CountJobPages(WaitForPrintJob()), 1);
    HBITMAP page = RenderJobPage(1, 40);
    ASSERT_TRUE(page);
    int width = 0, height = 0;
    GetBitmapSize(page, &width, &height);
    // Turned by 270 degrees: the black heads band runs down the left side of the portrait page.
    RECT leftStrip = {0, 0, width / 4, height}, topStrip = {0, 0, width, height / 8};
    EXPECT_GT(PixelShare(page, leftStrip, IsDarkPixel), PixelShare(page, topStrip, IsDarkPixel));
    DeleteObject(page);
}
