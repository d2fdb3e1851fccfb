// The print dialog: the callback object (interfaces, page-group combo box, chosen group, single
// item caption), page-range texts, the probe of the platform's PrintDlgEx and the program's own
// general page driven like a user.
#include <gtest/gtest.h>
#include "print/print.h"
#include "tests/harness/harness.h"
#include "tests/print/test_print_util.h"

#include <string.h>
#include <string>

namespace {

const IID kIidCallback = {0x5852a2c3, 0x6530, 0x11d1, {0xb6, 0xa3, 0x00, 0x00, 0xf8, 0x75, 0x7b, 0xf9}};
const IID kIidOther = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

int RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != 0;
}

struct OwnerWindow {
    HWND window;
    OwnerWindow()
    {
        window = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPED, 100, 100, 400, 300, 0, 0, GetModuleHandleA(0), 0);
    }
    ~OwnerWindow() { DestroyWindow(window); }
};

struct DialogRecord {
    PRINTPAGERANGE range = {1, 9};
    PRINTDLGEXA pd;
    DialogRecord(HWND owner, DWORD extraFlags, IUnknown *callback)
    {
        memset(&pd, 0, sizeof pd);
        pd.lStructSize = sizeof pd;
        pd.hwndOwner = owner;
        pd.Flags = PD_RETURNDC | PD_ENABLEPRINTTEMPLATE | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE |
                   PD_CURRENTPAGE | extraFlags;
        pd.ExclusionFlags = PD_EXCL_COPIESANDCOLLATE;
        pd.nPageRanges = 1;
        pd.nMaxPageRanges = 1;
        pd.lpPageRanges = &range;
        pd.nMinPage = 1;
        pd.nMaxPage = 9;
        pd.nCopies = 1;
        pd.hInstance = GetModuleHandleA(0);
        pd.lpPrintTemplateName = "PRINTDLGEX";
        pd.lpCallback = callback;
        pd.nStartPage = START_PAGE_GENERAL;
    }
    ~DialogRecord()
    {
        if (pd.hDC)
            DeleteDC(pd.hDC);
        if (pd.hDevMode)
            GlobalFree(pd.hDevMode);
        if (pd.hDevNames)
            GlobalFree(pd.hDevNames);
    }
};

BOOL CALLBACK CountDialog(HWND window, LPARAM count)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (!strcmp(name, "#32770"))
        ++*(int *)count;
    return TRUE;
}

int CountThreadDialogs()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountDialog, (LPARAM)&count);
    return count;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

HWND OptionsOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_PRINT_OPTIONS);
}

std::string ComboText(HWND combo, int index)
{
    char text[128] = "";
    SendMessageA(combo, CB_GETLBTEXT, index, (LPARAM)text);
    return text;
}

void ChooseGroup(HWND options, int index)
{
    HWND combo = GetDlgItem(options, IDC_PRINT_GROUP_COMBO);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(options, WM_COMMAND, MAKEWPARAM(IDC_PRINT_GROUP_COMBO, CBN_SELENDOK), (LPARAM)combo);
}

} // namespace

TEST(PrintCallback, InterfacesAndReferenceCounts)
{
    CPrintDialogEx object(0, "Federal return", 0);
    void *out = (void *)1;
    EXPECT_EQ(object.QueryInterface(IID_IUnknown, 0), E_INVALIDARG);
    EXPECT_EQ(object.QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, static_cast<IUnknown *>(&object));
    EXPECT_EQ(object.references, 1);
    EXPECT_EQ(object.QueryInterface(kIidCallback, &out), S_OK);
    EXPECT_EQ(out, static_cast<IPrintDialogCallback *>(object.callback));
    EXPECT_EQ(object.callback->references, 1);
    EXPECT_EQ(object.QueryInterface(kIidOther, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    // The callback answers both interfaces with itself.
    EXPECT_EQ(object.callback->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, static_cast<IPrintDialogCallback *>(object.callback));
    EXPECT_EQ(object.callback->QueryInterface(kIidOther, &out), E_NOINTERFACE);
    // AddRef and Release count but return 0 and never delete.
    EXPECT_EQ(object.Release(), 0u);
    EXPECT_EQ(object.references, 0);
    EXPECT_EQ(object.callback->Release(), 0u);
    EXPECT_EQ(object.callback->Release(), 0u);
    EXPECT_EQ(object.callback->references, 0);
    EXPECT_EQ(object.callback->SelectionChange(), S_FALSE);
}

TEST(PrintCallback, FillsGroupsKeepsChoiceAndChecksTheGroupRadio)
{
    OwnerWindow parent;
    CPrintDialogEx object(0, "Federal return;State return 1;Summary page", 0);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(0), "PRINTDLGEX", parent.window, PlainDialogProc, 0);
    ASSERT_TRUE(dialog);
    LRESULT result = 5;
    CPrintDialogEx::CPrintDialogCallback *callback = object.callback;
    EXPECT_EQ(callback->HandleMessage(dialog, WM_INITDIALOG, 0, 0, &result), S_FALSE);
    EXPECT_EQ(result, 0);
    HWND combo = GetDlgItem(dialog, IDC_PRINT_GROUP_COMBO);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ComboText(combo, 1), "State return 1");
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(callback->InitDone(), S_FALSE);
    EXPECT_TRUE(IsWindowEnabled(combo));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PRINT_GROUP)));
    SendMessageA(combo, CB_SETCURSEL, 2, 0);
    callback->HandleMessage(dialog, WM_COMMAND, MAKEWPARAM(IDC_PRINT_GROUP_COMBO, CBN_SELENDOK), (LPARAM)combo, &result);
    EXPECT_TRUE(IsControlChecked(dialog, IDC_PRINT_GROUP));
    callback->HandleMessage(dialog, WM_DESTROY, 0, 0, &result);
    EXPECT_EQ(callback->chosenGroup, 2);
    DestroyWindow(dialog);
}

TEST(PrintCallback, EmptyListAndSingleItemCaptionDisableTheGroups)
{
    OwnerWindow parent;
    CPrintDialogEx empty(0, 0, 0);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(0), "PRINTDLGEX", parent.window, PlainDialogProc, 0);
    LRESULT result;
    empty.callback->HandleMessage(dialog, WM_INITDIALOG, 0, 0, &result);
    empty.callback->InitDone();
    HWND combo = GetDlgItem(dialog, IDC_PRINT_GROUP_COMBO);
    EXPECT_EQ(ComboText(combo, 0), "No selectable pages detected");
    EXPECT_FALSE(IsWindowEnabled(combo));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PRINT_GROUP)));
    DestroyWindow(dialog);

    CPrintDialogEx single(0, "Federal return", "Summary Page");
    dialog = CreateDialogParamA(GetModuleHandleA(0), "PRINTDLGEX", parent.window, PlainDialogProc, 0);
    single.callback->HandleMessage(dialog, WM_INITDIALOG, 0, 0, &result);
    single.callback->InitDone();
    EXPECT_EQ(GetControlText(dialog, IDC_PRINT_ALL), "Summary Page");
    EXPECT_FALSE(IsControlEnabled(dialog, IDC_PRINT_GROUP_COMBO));
    EXPECT_FALSE(IsControlEnabled(dialog, IDC_PRINT_GROUP));
    DestroyWindow(dialog);
}

TEST(PrintDialogPageRanges, TextsAreReadAndChecked)
{
    PRINTPAGERANGE ranges[4];
    EXPECT_EQ(ParsePageRangeText("3-5", ranges, 4, 1, 9), 1);
    EXPECT_EQ(ranges[0].nFromPage, 3u);
    EXPECT_EQ(ranges[0].nToPage, 5u);
    EXPECT_EQ(ParsePageRangeText(" 2, 4 - 6,9 ", ranges, 4, 1, 9), 3);
    EXPECT_EQ(ranges[1].nFromPage, 4u);
    EXPECT_EQ(ranges[2].nToPage, 9u);
    EXPECT_EQ(ParsePageRangeText("", ranges, 4, 1, 9), 0);
    EXPECT_EQ(ParsePageRangeText("5-3", ranges, 4, 1, 9), -1);
    EXPECT_EQ(ParsePageRangeText("0-2", ranges, 4, 1, 9), -1);
    EXPECT_EQ(ParsePageRangeText("8-10", ranges, 4, 1, 9), -1);
    EXPECT_EQ(ParsePageRangeText("1,2", ranges, 1, 1, 9), -1);
    EXPECT_EQ(ParsePageRangeText("2a", ranges, 4, 1, 9), -1);
    EXPECT_EQ(ParsePageRangeText("99999999999", ranges, 4, 1, 9), -1);
}

TEST(PrintDialogProbe, WineStubIsRecognisedWithoutShowingAWindow)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "the probe's answer is only known under Wine";
    OwnerWindow owner;
    PumpMessages(10);
    int before = CountThreadDialogs();
    EXPECT_EQ(IsPrintDlgExStub(owner.window), 1);
    EXPECT_EQ(IsPrintDlgExStub(owner.window), 1);   // remembered
    EXPECT_EQ(CountThreadDialogs(), before);          // no dialog was made or left behind
}

TEST(PrintDialogOwn, GroupChoiceComesBackAsSelection)
{
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: run scripts/cups.sh for the file printer";
    OwnerWindow owner;
    CPrintDialogEx object(owner.window, "Federal return;State return 1;Status page", 0);
    DialogRecord record(owner.window, 0, &object);
    HRESULT hr = E_FAIL;
    RunDialogWithSteps([&] { hr = ShowOwnPrintDialogEx(&record.pd); return (INT_PTR)0; },
                       [&](HWND dialog) {
                           HWND options = OptionsOf(dialog);
                           ASSERT_TRUE(options);
                           EXPECT_TRUE(IsControlChecked(options, IDC_PRINT_CURRENT));   // PD_CURRENTPAGE
                           EXPECT_EQ(SendDlgItemMessageA(options, IDC_PRINT_GROUP_COMBO, CB_GETCOUNT, 0, 0), 3);
                           EXPECT_NE(GetControlText(dialog, IDC_PRINT_PRINTER), "");
                           ChooseGroup(options, 1);
                           EXPECT_TRUE(IsControlChecked(options, IDC_PRINT_GROUP));
                           EXPECT_FALSE(IsControlChecked(options, IDC_PRINT_CURRENT));
                           ClickButton(dialog, IDOK);
                       });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(record.pd.dwResultAction, (DWORD)PD_RESULT_PRINT);
    EXPECT_TRUE(record.pd.Flags & PD_SELECTION);
    EXPECT_FALSE(record.pd.Flags & PD_CURRENTPAGE);
    EXPECT_EQ(object.callback->chosenGroup, 1);
    EXPECT_TRUE(record.pd.hDC);
    EXPECT_TRUE(record.pd.hDevMode);
    ASSERT_TRUE(record.pd.hDevNames);
    DEVNAMES *names = (DEVNAMES *)GlobalLock(record.pd.hDevNames);
    char defaultName[256];
    DWORD size = sizeof defaultName;
    GetDefaultPrinterName(defaultName, &size);
    EXPECT_STREQ((const char *)names + names->wDeviceOffset, defaultName);
    GlobalUnlock(record.pd.hDevNames);
    EXPECT_GE(object.callback->references, 0);
}

TEST(PrintDialogOwn, PageNumbersAreCheckedAndReturned)
{
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: run scripts/cups.sh for the file printer";
    OwnerWindow owner;
    CPrintDialogEx object(owner.window, "Federal return", 0);
    DialogRecord record(owner.window, 0, &object);
    ScriptMessageBoxAnswer(IDOK);
    RunDialogWithSteps([&] { ShowOwnPrintDialogEx(&record.pd); return (INT_PTR)0; },
                       [&](HWND dialog) {
                           HWND options = OptionsOf(dialog);
                           CheckRadioButton(options, IDC_PRINT_ALL, IDC_PRINT_PAGES, IDC_PRINT_PAGES);
                           SetControlText(options, IDC_PRINT_PAGES_EDIT, "7-12");
                           ClickButton(dialog, IDOK);   // beyond the last page: refused, stays open
                           EXPECT_TRUE(IsWindow(dialog));
                           SetControlText(options, IDC_PRINT_PAGES_EDIT, "3-5");
                           SetControlText(options, IDC_PRINT_COPIES, "2");
                           ClickButton(dialog, IDOK);
                       });
    ASSERT_EQ(GetShownMessageBoxes().size(), 1u);
    EXPECT_NE(GetShownMessageBoxes()[0].text.find("between 1 and 9"), std::string::npos);
    EXPECT_EQ(record.pd.dwResultAction, (DWORD)PD_RESULT_PRINT);
    EXPECT_TRUE(record.pd.Flags & PD_PAGENUMS);
    EXPECT_EQ(record.pd.nPageRanges, 1u);
    EXPECT_EQ(record.range.nFromPage, 3u);
    EXPECT_EQ(record.range.nToPage, 5u);
    // Two copies: made by the driver (DEVMODE) or by the program (nCopies).
    DEVMODEA *mode = (DEVMODEA *)GlobalLock(record.pd.hDevMode);
    ASSERT_TRUE(mode);
    EXPECT_EQ((mode->dmCopies >= 2 ? 1u : 2u), record.pd.nCopies);
    GlobalUnlock(record.pd.hDevMode);
}

TEST(PrintDialogOwn, SingleItemOffersOnlyAll)
{
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: run scripts/cups.sh for the file printer";
    OwnerWindow owner;
    CPrintDialogEx object(owner.window, "Federal return;State return 1", "Schedule A");
    DialogRecord record(owner.window, PD_NOSELECTION | PD_NOPAGENUMS | PD_NOCURRENTPAGE, &object);
    RunDialogWithSteps([&] { ShowOwnPrintDialogEx(&record.pd); return (INT_PTR)0; },
                       [&](HWND dialog) {
                           HWND options = OptionsOf(dialog);
                           EXPECT_EQ(GetControlText(options, IDC_PRINT_ALL), "Schedule A");
                           EXPECT_TRUE(IsControlChecked(options, IDC_PRINT_ALL));
                           EXPECT_FALSE(IsControlEnabled(options, IDC_PRINT_CURRENT));
                           EXPECT_FALSE(IsControlEnabled(options, IDC_PRINT_PAGES));
                           EXPECT_FALSE(IsControlEnabled(options, IDC_PRINT_GROUP));
                           EXPECT_FALSE(IsControlEnabled(options, IDC_PRINT_GROUP_COMBO));
                           ClickButton(dialog, IDOK);
                       });
    EXPECT_EQ(record.pd.dwResultAction, (DWORD)PD_RESULT_PRINT);
    EXPECT_FALSE(record.pd.Flags & (PD_SELECTION | PD_PAGENUMS | PD_CURRENTPAGE));
}

TEST(PrintDialogOwn, CancelAndBadRecords)
{
    OwnerWindow owner;
    DialogRecord bad(owner.window, 0, 0);
    bad.pd.lStructSize = 12;
    EXPECT_EQ(ShowOwnPrintDialogEx(&bad.pd), E_INVALIDARG);
    DialogRecord noOwner((HWND)0x1234, 0, 0);
    EXPECT_EQ(ShowOwnPrintDialogEx(&noOwner.pd), E_HANDLE);
    DialogRecord noRanges(owner.window, 0, 0);
    noRanges.pd.nMaxPageRanges = 0;
    EXPECT_EQ(ShowOwnPrintDialogEx(&noRanges.pd), E_INVALIDARG);
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: run scripts/cups.sh for the file printer";
    DialogRecord record(owner.window, 0, 0);
    HRESULT hr = E_FAIL;
    RunDialogWithSteps([&] { hr = ShowOwnPrintDialogEx(&record.pd); return (INT_PTR)0; },
                       [&](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(record.pd.dwResultAction, (DWORD)PD_RESULT_CANCEL);
    EXPECT_FALSE(record.pd.hDC);
}
