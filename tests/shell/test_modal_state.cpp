// One modal state for the whole program: inside every modal dialog, a real message box owned by
// the main window comes and goes (and enables its owner as it closes), then Close Return, Remove
// Page, Open and Exit reach the main window, sent and posted: the main window stays disabled, the
// commands do nothing and the return is as it was. Every message box has an owner and holds the
// return while it shows.
#include <gtest/gtest.h>
#include "entry/entry.h"
#include "print/print.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"
#include "tests/print/test_print_util.h"

#include <functional>

namespace {

const char kBoxTitle[] = "Modal State Test";

void CALLBACK CloseTestBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = FindWindowA("#32770", kBoxTitle);
    if (box)
        PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// A real message box owned by the main window, closed by OK as a user would close it.
void ShowRealBox(int raw)
{
    MessageBoxHookProc hook = gMessageBoxHook;
    gMessageBoxHook = NULL;
    UINT_PTR timer = SetTimer(NULL, 0, 150, CloseTestBox);
    if (raw)
        MessageBoxA(gMainWindow, "A box of the main window.", kBoxTitle, MB_OK);
    else
        ShowMessageBox(gMainWindow, "A box of the main window.", kBoxTitle, MB_OK);
    KillTimer(NULL, timer);
    gMessageBoxHook = hook;
}

class ModalState : public MainWindowTest {
protected:
    std::string folder, path;
    void SetUp() override
    {
        folder = SampleReturnFolder("lvmodalstate", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp", "f1040sb-bitmap.qvp",
                                                      "f941.qvp", "mnm1pr.qvp"});
        path = folder + "Sample.qvr";
        if (!FileExists(path.c_str()))
            GTEST_SKIP() << "no sample return in the build";
        MainWindowTest::SetUp();
        ShowWindow(window, SW_SHOW);
        ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
        WaitForRecompute();
        gReturnModified = 0;
        SetDefaultMessageBoxAnswer(IDNO);
    }
    void TearDown() override
    {
        SetDefaultMessageBoxAnswer(0);
        if (!path.empty())
            MainWindowTest::TearDown();
    }
    // The return's commands, posted and then sent, as a queued click or another program would.
    void SendReturnCommands()
    {
        const UINT commands[] = {IDM_REMOVEPAGE, IDM_DELETEPAGE, IDM_CLOSE, IDM_OPEN, IDM_EXIT};
        for (UINT id : commands)
            PostMessageA(window, WM_COMMAND, id, 0);
        PostMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str());
        PostMessageA(window, WM_CLOSE, 0, 0);
        PumpMessages(100);
        for (UINT id : commands)
            SendMessageA(window, WM_COMMAND, id, 0);
        EXPECT_EQ(0, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
        SendMessageA(window, WM_CLOSE, 0, 0);
        PumpMessages(50);
    }
};

TEST_F(ModalState, NoDialogLetsTheReturnChangeUnderIt)
{
    int pages = gReturnPageCount;
    ASSERT_GT(pages, 3);
    // The statement grid of Schedule B's payers, an error list, a name group and the FormPaks.
    StatementListEntry entries[4] = {};
    ASSERT_EQ(2, ListReturnStatements(entries, 0, 0));
    StatementParams statement = {};
    statement.field = entries[entries[0].field && entries[0].field->seqPrefix[0] == '*' ? 0 : 1].field;
    statement.page = entries[entries[0].field && entries[0].field->seqPrefix[0] == '*' ? 0 : 1].page;
    statement.kind = STATEMENT_KIND_CLICK;
    ErrorListRequest errors = {};
    errors.returnRecord = gOpenReturnPtr;
    AddErrorEntry(&errors.firstError, "Form 1040, Page 1, Line 1", "1x", "The amount may hold digits only.");
    FormInstance *page1 = NULL, *page2 = NULL;
    ASSERT_TRUE(FindReturnPages(14, "Form 1040.1", &page1, 0) && page1);
    ASSERT_TRUE(FindReturnPages(14, "Form 1040.2", &page2, 0) && page2);
    FieldRecord group = {};
    group.typeCode = (char *)"S[c]";
    group.valueList = (char *)"0010,0011";
    group.description = (char *)"Your name";
    MultiFieldParams names = {};
    names.groupKind = MULTIFIELD_GROUP_NAME;
    names.field = &group;
    names.fields = page1->fieldTable;
    int signatureIndex = FindLayoutField(page2->fieldTable, 1, "0510", 0);
    ASSERT_GT(signatureIndex, 0);
    FileRecord pak1040, pak941, pakM1pr;
    ASSERT_TRUE(ReadDataFile((folder + "f1040.qvp").c_str(), 0, &pak1040, 0));
    ASSERT_TRUE(ReadDataFile((folder + "f941.qvp").c_str(), 0, &pak941, 0));
    ASSERT_TRUE(ReadDataFile((folder + "mnm1pr.qvp").c_str(), 0, &pakM1pr, 0));
    // The file dialogs are the system's own here.
    auto command = [&](UINT id) {
        return [this, id] {
            FileDialogSeamProc seam = gFileDialogHook;
            gFileDialogHook = NULL;
            LRESULT result = SendMessageA(window, WM_COMMAND, id, 0);
            gFileDialogHook = seam;
            return (INT_PTR)result;
        };
    };
    std::pair<const char *, std::function<INT_PTR()>> dialogs[] = {
        {"statement grid", [&] { return RunStatementDialog(window, &statement); }},
        {"explanation", [&] { return OpenReturnExplanation(window, EXPLAIN_NOTE_TO_SELF); }},
        {"pre-send error list", [&] { return ShowErrorListDialog(window, &errors); }},
        {"multi-field popup", [&] { return OpenMultiFieldDialog(window, &names); }},
        {"signature capture", [&] { return OpenSigCaptureDialog(window, &page2->fieldTable->fields[signatureIndex],
                                                                signatureIndex); }},
        {"94x start dialog", [&] { return (INT_PTR)RunFormPakStartDialog(window, &pak941, START_DIALOG_94X); }},
        {"M1PR start dialog", [&] { return (INT_PTR)RunFormPakStartDialog(window, &pakM1pr, START_DIALOG_M1PR); }},
        {"import data (file dialog)", command(IDM_IMPORTDATA)},
        {"zoom", [&] { return (INT_PTR)ShowZoomDialog(window); }},
        {"print", [&] { return (INT_PTR)PrintForms(window, NULL, NULL, 1, 1, NULL); }},
        {"add forms (file dialog)", command(IDM_ADDFORM)},
        {"add forms (forms list)", [&] { return (INT_PTR)ShowFormsListDialog(window, &pak1040); }},
        {"e-file information sheet", [&] { return (INT_PTR)ShowEfileInfoSheet(window, 0, gOpenReturnPtr, 0); }},
    };
    // The box comes through the program's ShowMessageBox or straight from MessageBoxA, in turn
    // (each closing box costs Wine two seconds without a window manager).
    int raw = 1;
    for (auto &dialog : dialogs) {
        raw = !raw;
        SCOPED_TRACE(std::string(dialog.first) + (raw ? ", MessageBoxA" : ", ShowMessageBox"));
        if (!strcmp(dialog.first, "print") && !HavePrinter())
            continue;   // no print dialog without a printer (scripts/cups.sh makes one)
        int seen = 0;
        RunDialogWithSteps(dialog.second, [&](HWND shown) {
            seen = 1;
            EXPECT_FALSE(IsWindowEnabled(window));
            ShowRealBox(raw);
            EXPECT_FALSE(IsWindowEnabled(window));
            SendReturnCommands();
            EXPECT_TRUE(IsWindow(window));
            EXPECT_FALSE(IsWindowEnabled(window));
            EXPECT_TRUE(IsWindow(shown));
            EXPECT_EQ(pages, gReturnPageCount);
            EXPECT_STREQ(path.c_str(), gReturnPath);
        });
        EXPECT_TRUE(seen);
        ASSERT_TRUE(IsWindow(window));
        EXPECT_TRUE(IsWindowEnabled(window));
        EXPECT_EQ(pages, gReturnPageCount);
        EXPECT_STREQ(path.c_str(), gReturnPath);
        group.value = (char *)MemFree(group.value);
        gReturnModified = 0;
    }
    FreeErrorEntries(errors.firstError);
    ReleaseFileRecord(&pak1040, NULL);
    ReleaseFileRecord(&pak941, NULL);
    ReleaseFileRecord(&pakM1pr, NULL);
}

struct {
    HWND owner;
    int mainEnabled;
} sBox;

int WatchBox(HWND owner, const char *, const char *, unsigned)
{
    sBox.owner = owner;
    sBox.mainEnabled = IsWindowEnabled(gMainWindow);
    PostMessageA(gMainWindow, WM_COMMAND, IDM_CLOSE, 0);
    PostMessageA(gMainWindow, WM_CLOSE, 0, 0);
    PumpMessages(50);
    return IDOK;
}

// A box without an owner ("Error Writing File" of a failed write) gets the window the user is in,
// and the return cannot be closed while it shows.
TEST_F(ModalState, EveryMessageBoxHasAnOwnerAndHoldsTheReturn)
{
    std::function<void()> boxes[] = {
        [] { WritePackedFile("", FILE_TYPE_RETURN, 2024, "test", NULL, 0); },
        [] {
            AppMessageBoxParams block = {};
            block.text = "No owner was named.";
            ShowAppMessageBox(&block);
        },
    };
    for (auto &box : boxes) {
        sBox = {};
        MessageBoxHookProc hook = gMessageBoxHook;
        gMessageBoxHook = WatchBox;
        box();
        gMessageBoxHook = hook;
        EXPECT_EQ(window, sBox.owner);
        EXPECT_FALSE(sBox.mainEnabled);
        ASSERT_TRUE(IsWindow(window));
        EXPECT_TRUE(IsWindowEnabled(window));
        EXPECT_STREQ(path.c_str(), gReturnPath);
    }
}

// Frames past the most the modal state holds: the one refused is logged, and a box that runs
// without a frame and enables the main window as it closes leaves it disabled under the frames
// still open, and the return's commands do nothing. Ending the first frame gives it back.
TEST_F(ModalState, AFrameRefusedPastTheLimitIsLoggedAndHoldsTheReturn)
{
    char folder[MAX_PATH];
    ASSERT_EQ(1, GetProgramFolder(folder, FOLDER_DATA));
    std::string log = std::string(folder) + "\\Quorvel.log";
    size_t logged = ReadWholeFile(log).size();
    ASSERT_TRUE(IsWindowEnabled(window));
    int frames = 0;
    while (frames < 1000 && BeginModalState(NULL, 0) == frames + 1)
        frames++;
    ASSERT_GT(frames, 1);
    std::string added = ReadWholeFile(log);
    added.erase(0, added.size() >= logged ? logged : 0);
    EXPECT_NE(std::string::npos, added.find("999 MOD: ")) << added;
    EXPECT_FALSE(IsWindowEnabled(window));
    // A box owned by the main window enables it as it closes (as the system's boxes may do).
    MessageBoxHookProc hook = gMessageBoxHook;
    gMessageBoxHook = [](HWND, const char *, const char *, unsigned) {
        EnableWindow(gMainWindow, TRUE);
        return IDOK;
    };
    EXPECT_EQ(IDOK, ShowMessageBox(window, "A box past the limit.", kBoxTitle, MB_OK));
    gMessageBoxHook = hook;
    EXPECT_FALSE(IsWindowEnabled(window));
    SendReturnCommands();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_STREQ(path.c_str(), gReturnPath);
    EndModalState(1);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_FALSE(IsModalStateActive());
}

}  // namespace
