// The Sales Worksheet of the sample return Sales.qvr in the main window: its buttons made over
// the page and drawn, every action kind run (the windows of data entry through their hooks, the
// shell and help through the test seams), rows imported from a sample CSV into its statement
// with the combine question answered each way, and its attachment field chosen, refused and
// cleared.
#include "tests/pages/test_pageview_util.h"

#include <functional>
#include <set>

using namespace pageview_test;

namespace {

struct ButtonCalls {
    std::vector<std::string> log;   // "explain 0300", "multi 0540", "statement0 0100" ...
    std::string importData;
    PageStatementBlock block;
};
ButtonCalls gButtons;
WNDPROC gMainWindowProc;

std::string SeqOf(const FieldRecord *field)
{
    return field && field->seq ? field->seq : "?";
}

LRESULT CALLBACK CatchMainMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_OPEN_STATEMENT) {
        if (wParam == 0) {
            gButtons.log.push_back("statement0 " + SeqOf((FieldRecord *)lParam));
        } else {
            gButtons.block = *(PageStatementBlock *)lParam;
            gButtons.importData = gButtons.block.importData ? gButtons.block.importData : "";
            gButtons.log.push_back("statement" + std::to_string((int)wParam) + " " + SeqOf(gButtons.block.field));
        }
        return 1;
    }
    return CallWindowProcA(gMainWindowProc, window, message, wParam, lParam);
}

INT_PTR StubExplain(HWND, FieldRecord *field, const char *)
{
    gButtons.log.push_back("explain " + SeqOf(field));
    return 0;
}
INT_PTR StubMultiField(HWND, MultiFieldParams *params)
{
    gButtons.log.push_back("multi " + SeqOf(params->field));
    return 1;
}
INT_PTR StubReturnExplanation(HWND, int kind)
{
    gButtons.log.push_back("return explanation " + std::to_string(kind));
    return 1;
}
int StubInfoSheet(HWND, int page)
{
    gButtons.log.push_back("info sheet " + std::to_string(page));
    return 1;
}
int StubNameFields(const char *value, FieldTable *, HWND)
{
    gButtons.log.push_back(std::string("paste ") + value);
    return 1;
}
std::string gPdfPath;
int StubGeneratePdf(const char *formName, char *out, int outSize)
{
    gButtons.log.push_back(std::string("pdf ") + formName);
    lstrcpynA(out, gPdfPath.c_str(), outSize);
    return 1;
}
int gMenuChoice;
int StubMenu(HMENU menu, int count)
{
    char caption[64] = "";
    GetMenuStringA(menu, (UINT)gMenuChoice, caption, sizeof(caption), MF_BYCOMMAND);
    gButtons.log.push_back("menu " + std::to_string(count) + " " + caption);
    return gMenuChoice;
}

std::string TempFile(const char *name, const std::string &bytes)
{
    std::string path = TempPath(name);
    FILE *f = fopen(path.c_str(), "wb");
    if (f) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return path;
}

class SalesWorksheet : public ::testing::Test {
protected:
    HWND main = NULL;
    FormInstance *page = NULL;
    FieldTable *table = NULL;

    void SetUp() override
    {
        char sample[MAX_PATH];
        if (!GetFullPathNameA(BuildPath("samples/Sales.qvr").c_str(), sizeof(sample), sample, NULL) ||
            GetFileAttributesA(sample) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "the sample return was not built";
        UseBuildFormPaks();
        gReturnModified = 0;
        gZoom = 0.3f;
        gImportStepPauseMs = 0;
        main = CreateMainWindow(gInstance);
        ASSERT_TRUE(main != NULL);
        ShowWindow(main, SW_SHOW);
        MoveWindow(main, 0, 0, 1200, 900, TRUE);
        PumpMessages(50);
        SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)sample);
        PumpMessages(200);
        FormInstance *pages[16];
        int count = EnumerateTreePages(NULL, pages, 16);
        for (int i = 0; i < count; i++)
            if (!strcmp(pages[i]->pageKey, "Sales Worksheet.1"))
                page = pages[i];
        ASSERT_TRUE(page != NULL);
        Select(page->treeItem);
        Repaint(PAGE_VIEW_NEWPAGE);
        table = page->fieldTable;
        gMainWindowProc = (WNDPROC)SetWindowLongPtrA(main, GWLP_WNDPROC, (LONG_PTR)CatchMainMessages);
        gButtons = ButtonCalls();
        gWindowCallbacks.openExplainDialog = StubExplain;
        gWindowCallbacks.openMultiFieldDialog = StubMultiField;
        gWindowCallbacks.openReturnExplanation = StubReturnExplanation;
        gWindowCallbacks.showEfileInfoSheet = StubInfoSheet;
        gWindowCallbacks.editNameFields = StubNameFields;
        gWindowCallbacks.generateFormPdf = StubGeneratePdf;
        gFieldButtonMenuHook = StubMenu;
    }
    void TearDown() override
    {
        gWindowCallbacks.openExplainDialog = NULL;
        gWindowCallbacks.openMultiFieldDialog = NULL;
        gWindowCallbacks.openReturnExplanation = NULL;
        gWindowCallbacks.showEfileInfoSheet = NULL;
        gWindowCallbacks.editNameFields = NULL;
        gFieldButtonMenuHook = NULL;
        InstallProgramHooks();
        gImportStepPauseMs = 250;
        if (main && IsWindow(main)) {
            SetWindowLongPtrA(main, GWLP_WNDPROC, (LONG_PTR)gMainWindowProc);
            gReturnModified = 0;
            DestroyWindow(main);
        }
        PumpMessages(20);
        RestoreFormPakFolder();
    }
    FieldRecord *Field(const char *seq)
    {
        int index = FindLayoutField(table, 1, seq, 0);
        return index > 0 ? &table->fields[index] : NULL;
    }
    FieldButtonSlot *Slot(const char *seq)
    {
        for (int i = 0; i < page->buttonCount; i++)
            if (!strcmp(SeqOf(page->buttons[i].field).c_str(), seq))
                return &page->buttons[i];
        return NULL;
    }
    // A click on the button of field seq (its BN_CLICKED at the page view).
    void Click(const char *seq)
    {
        FieldButtonSlot *slot = Slot(seq);
        ASSERT_TRUE(slot && slot->window);
        int id = (int)(slot - page->buttons);
        SendMessageA(gPageViewWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)slot->window);
        PumpMessages(10);
    }
};

TEST_F(SalesWorksheet, ButtonsAreMadeOverThePageAndDrawn)
{
    ASSERT_EQ(12, page->buttonCount);
    for (int i = 0; i < page->buttonCount; i++) {
        FieldButtonSlot *slot = &page->buttons[i];
        SCOPED_TRACE(SeqOf(slot->field));
        ASSERT_TRUE(slot->window && IsWindowVisible(slot->window));
        EXPECT_EQ(gPageViewWindow, GetParent(slot->window));
        EXPECT_EQ(i, GetDlgCtrlID(slot->window));
        RECT rc;
        GetClientRect(slot->window, &rc);
        int large = slot->action < 200;
        EXPECT_EQ(large ? 33 : 16, rc.right);
        EXPECT_EQ(16, rc.bottom);
        // The face shows its picture: more than the button colour and its frame.
        Screenshot shot;
        ASSERT_TRUE(CaptureClientArea(slot->window, &shot));
        std::set<unsigned> colours(shot.pixels.begin(), shot.pixels.end());
        EXPECT_GE(colours.size(), 4u);
    }
    // Another page removes them; showing the worksheet again makes them anew.
    HTREEITEM worksheet = page->treeItem;
    Select(GetTabTreeItem(gFixedTabCount));
    EXPECT_TRUE(page->buttons[0].window == NULL);
    Select(worksheet);
    Repaint(PAGE_VIEW_NEWPAGE);
    EXPECT_TRUE(page->buttons[0].window != NULL);
}

TEST_F(SalesWorksheet, EveryButtonKindRunsItsAction)
{
    std::string pdf = TempFile("SalesWorksheet.pdf", "%PDF-1.4\n%%EOF\n");
    gPdfPath = pdf;
    SetFieldText(&Field("0401")->value, pdf.c_str());
    struct Case {
        const char *seq;      // the button's field
        int menuChoice;
        std::vector<std::string> log;
        std::vector<std::string> titles;   // message boxes shown
    } cases[] = {
        {"0510", 0, {}, {"Help - Importing Data"}},
        {"0520", 0, {"statement0 0100"}, {}},
        {"0530", 0, {"explain 0300"}, {}},
        {"0540", 0, {"multi 0540"}, {}},
        {"0550", 0, {}, {}},                       // view PDF: through the shell seam
        {"0560", 0, {"pdf Sales Worksheet"}, {}},
        {"0570", 0, {"paste 0701=T[1bc],0702=T[1de]"}, {}},   // the face of a drop-down button: item 1, no menu
        {"0580", 2, {"menu 3 Note to self", "return explanation 2"}, {}},
        {"0590", 0, {"info sheet 0"}, {}},
        {"0600", 1, {"menu 2 Open the sales statement", "statement0 0100"}, {}},
        {"0610", 0, {}, {}},                       // the link: through the shell seam
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.seq);
        gButtons.log.clear();
        ClearShownMessageBoxes();
        size_t shellBefore = GetShellCalls().size();
        gMenuChoice = c.menuChoice;
        if (!c.titles.empty())
            ScriptMessageBoxAnswer(IDOK);
        Click(c.seq);
        EXPECT_EQ(c.log, gButtons.log);
        std::vector<std::string> titles;
        for (const ShownMessageBox &box : GetShownMessageBoxes())
            titles.push_back(box.title);
        EXPECT_EQ(c.titles, titles);
        if (!strcmp(c.seq, "0550") || !strcmp(c.seq, "0610")) {
            ASSERT_EQ(shellBefore + 1, GetShellCalls().size());
            EXPECT_EQ("open", GetShellCalls().back().verb);
            EXPECT_EQ(!strcmp(c.seq, "0550") ? pdf : std::string("https://www.irs.gov/forms-pubs/about-form-8949"),
                      GetShellCalls().back().file);
        }
    }
    // The generated PDF was attached: the file name in the attachment field, the path in its partner.
    EXPECT_STREQ("SalesWorksheet.pdf", Field("0400")->value);
    EXPECT_STREQ(pdf.c_str(), Field("0401")->value);

    // A click on the arrow part of a drop-down button (the cursor mapped into the button) opens
    // its menu.
    FieldButtonSlot *paste = Slot("0570");
    RECT face;
    GetWindowRect(paste->window, &face);
    POINT before;
    GetCursorPos(&before);
    SetCursorPos(face.right - 2, (face.top + face.bottom) / 2);
    gButtons.log.clear();
    gMenuChoice = 1;
    Click("0570");
    SetCursorPos(before.x, before.y);
    EXPECT_EQ((std::vector<std::string>{"menu 2 Taxpayer", "paste 0701=T[1bc],0702=T[1de]"}), gButtons.log);

    // The arrow part of a drop-down button opens its menu; a view-only return runs nothing of 219.
    gButtons.log.clear();
    gMenuChoice = 2;
    RunFieldButtonAction(gPageViewWindow, 240, Field("0590"), 1);
    EXPECT_EQ((std::vector<std::string>{"menu 2 E-file options", "info sheet 1"}), gButtons.log);
    gButtons.log.clear();
    gViewOnly = 1;
    RunFieldButtonAction(gPageViewWindow, 219, Field("0570"), 0);
    gViewOnly = 0;
    EXPECT_TRUE(gButtons.log.empty());

    // Value lists with missing pieces or fields not found do nothing; a link that is not http(s)
    // is not opened; a form the return lacks is reported.
    FieldRecord probe;
    memset(&probe, 0, sizeof(probe));
    probe.seq = (char *)"9999";
    const struct {
        int action;
        const char *list;
        const char *title;
    } bad[] = {{104, "0999", NULL}, {111, "0999", NULL}, {112, "Sales Worksheet|0400", NULL},
               {112, "Sales Worksheet|0400|0999", NULL}, {112, "Form 8453-EMP|0400|0401", "Form Is Missing"},
               {242, "Broken;,x", NULL}, {262, "Open,0999", NULL}, {264, "file:///C:/windows/calc.exe", NULL},
               {101, "0999", NULL}};
    for (auto &b : bad) {
        SCOPED_TRACE(b.list);
        gButtons.log.clear();
        ClearShownMessageBoxes();
        size_t shellBefore = GetShellCalls().size();
        probe.valueList = (char *)b.list;
        gMenuChoice = 1;
        if (b.title)
            ScriptMessageBoxAnswer(IDOK);
        EXPECT_EQ(0, RunFieldButtonAction(gPageViewWindow, b.action, &probe, 0));
        EXPECT_EQ(shellBefore, GetShellCalls().size());
        for (const std::string &entry : gButtons.log)
            EXPECT_EQ(0u, entry.find("menu")) << entry;
        EXPECT_EQ(b.title ? 1u : 0u, GetShownMessageBoxes().size());
    }
    DeleteFileA(pdf.c_str());
}

TEST_F(SalesWorksheet, ImportButtonFillsTheStatementFromASampleCsv)
{
    std::string csv = FullPath("..\\samples\\imports\\brokerage.csv");
    FieldRecord *head = Field("0100");
    ASSERT_STREQ("Earlier Broker", head->value);
    // A typed value: OK appends, Cancel stops.
    const struct {
        int answer;
        int opened;
    } typed[] = {{IDCANCEL, 0}, {IDOK, 1}};
    for (auto &t : typed) {
        gButtons = ButtonCalls();
        ScriptFileDialogPath(csv);
        ScriptMessageBoxAnswer(IDYES);   // the first line is a header
        ScriptMessageBoxAnswer(t.answer);
        Click("0500");
        EXPECT_EQ(t.opened, (int)gButtons.log.size());
        EXPECT_STREQ("Earlier Broker", head->value);
    }
    ASSERT_EQ("statement2 0100", gButtons.log[0]);
    EXPECT_EQ(1, gButtons.block.kind);
    EXPECT_EQ(page, gButtons.block.page);
    std::string records;
    for (char ch : gButtons.importData)
        records += ch == IMPORT_FIELD_END ? '|' : (ch == IMPORT_RECORD_END ? '\n' : ch);
    EXPECT_EQ("First Lakes Brokerage|01/15/2024|1200|1000|200\n"
              "North Star Fund|02/20/2024|12345|10000|2345\n"
              "Inc Acme Shares|03/05/2024|850|900|-50\n"
              "River Bank|04/10/2024|400|350|50\n"
              "John Smith|05/01/2024|1200|1100|100\n"
              "Prairie Growth Fund|06/30/2024|2000|1500|500\n",
              records);

    // Rows already in the statement: Yes appends, No replaces them (the grid shows the imported
    // rows only; the stored rows stay until its OK), Cancel stops.
    const struct {
        int answer;
        const char *opened;
    } stored[] = {{IDYES, "statement2 0100"}, {IDNO, "statement3 0100"}, {IDCANCEL, nullptr}};
    for (auto &s : stored) {
        SCOPED_TRACE(s.answer);
        SetFieldText(&head->value, "See statement");
        SetFieldText(&head->second, "1|2\x02Old row\x01");
        gButtons = ButtonCalls();
        ScriptFileDialogPath(csv);
        ScriptMessageBoxAnswer(IDNO);   // keep the first line as a row
        ScriptMessageBoxAnswer(s.answer);
        Click("0500");
        EXPECT_EQ(s.opened ? std::vector<std::string>{s.opened} : std::vector<std::string>{}, gButtons.log);
        EXPECT_STREQ("See statement", head->value);
        EXPECT_STREQ("1|2\x02Old row\x01", head->second);
    }
    // A cancelled file dialog does nothing.
    gButtons = ButtonCalls();
    ScriptFileDialogPath("");
    Click("0500");
    EXPECT_TRUE(gButtons.log.empty());
}

TEST_F(SalesWorksheet, AttachmentChosenRefusedAndCleared)
{
    FieldRecord *field = Field("0400"), *partner = Field("0401");
    int index = (int)(field - table->fields);
    std::string pdf = TempFile("Attach Test.pdf", "%PDF-1.7\nsample\n%%EOF\n");
    std::string notPdf = TempFile("Attach Fake.pdf", "plain text, not a PDF\n");

    // Chosen: the file name in the field, the path in the partner.
    ScriptFileDialogPath(pdf);
    EXPECT_EQ(1, OnAttachFieldClick(gPageViewWindow, field, table, index));
    EXPECT_STREQ("Attach Test.pdf", field->value);
    EXPECT_STREQ(pdf.c_str(), partner->value);

    // A file that is no PDF is refused with the check's message and changes nothing.
    ScriptFileDialogPath(notPdf);
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, OnAttachFieldClick(gPageViewWindow, field, table, index));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Attach File", GetShownMessageBoxes()[0].title);
    EXPECT_STREQ(pdf.c_str(), partner->value);

    // Cancelled with the attachment preselected: No keeps it, Yes clears both fields.
    for (int answer : {IDNO, IDYES}) {
        ScriptFileDialogPath("");
        ScriptMessageBoxAnswer(answer);
        OnAttachFieldClick(gPageViewWindow, field, table, index);
        EXPECT_EQ("Clear File Selection?", GetShownMessageBoxes().back().title);
        EXPECT_EQ(answer == IDYES, field->value == NULL);
        EXPECT_EQ(answer == IDYES, partner->value == NULL);
    }
    // Cancelled without an attachment: no question.
    ClearShownMessageBoxes();
    ScriptFileDialogPath("");
    EXPECT_EQ(0, OnAttachFieldClick(gPageViewWindow, field, table, index));
    EXPECT_TRUE(GetShownMessageBoxes().empty());

    // With a folder field: the path in the field, the name in the partner, the folder bounded.
    FieldRecord folder;
    memset(&folder, 0, sizeof(folder));
    std::string deep = "C:\\" + std::string(300, 'd') + "\\a.pdf";
    const char *paths[] = {"C:\\Docs\\a.pdf", deep.c_str()};
    for (const char *path : paths) {
        AttachPdfToField(field, partner, &folder, path);
        EXPECT_STREQ(path, field->value);
        EXPECT_STREQ("a.pdf", partner->value);
        EXPECT_LT(strlen(folder.value ? folder.value : ""), (size_t)MAX_PATH);
    }
    EXPECT_TRUE(folder.value == NULL || folder.value[0] == 0);   // a folder too long to show is left empty
    SetFieldText(&folder.value, NULL);
    DeleteFileA(pdf.c_str());
    DeleteFileA(notPdf.c_str());
}

}  // namespace

// Paste fills line 6 from the return record; a paste that would fill nothing changes nothing and
// says why (the sample return has no spouse; a list naming no field of the page).
TEST_F(SalesWorksheet, PasteFillsTheOwnerNameOrSaysWhyNothingWasPasted)
{
    InstallProgramHooks();
    gFieldButtonMenuHook = StubMenu;
    FieldRecord *button = Field("0570");
    ASSERT_TRUE(button && Field("0701") && Field("0702"));
    char *ownList = button->valueList;
    const struct {
        int choice;
        const char *list, *first, *last, *why;   // list null: the sample's own; why null: no message
    } cases[] = {{1, NULL, "John", "Sample", NULL},
                 {2, NULL, "", "", "the return has no spouse's first name and last name"},
                 {1, "Taxpayer,0999=T[1b],0998=T[1d]", "", "", "not on this page"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.choice);
        SetFieldText(&Field("0701")->value, "");
        SetFieldText(&Field("0702")->value, "");
        gReturnModified = 0;
        button->valueList = c.list ? (char *)c.list : ownList;
        ClearShownMessageBoxes();
        if (c.why)
            ScriptMessageBoxAnswer(IDOK);
        gMenuChoice = c.choice;
        RunFieldButtonAction(gPageViewWindow, 219, button, 1);
        button->valueList = ownList;
        EXPECT_STREQ(c.first, Field("0701")->value ? Field("0701")->value : "");
        EXPECT_STREQ(c.last, Field("0702")->value ? Field("0702")->value : "");
        std::vector<ShownMessageBox> shown = GetShownMessageBoxes();
        ASSERT_EQ(c.why ? 1u : 0u, shown.size());
        if (c.why) {
            EXPECT_TRUE(shown[0].title == "Nothing to Paste" && shown[0].text.find(c.why) != std::string::npos &&
                        !gReturnModified) << shown[0].text;
        }
    }
}

// Part V shows the windows of grouped fields: line 6 is one multi-field list (both name cells in
// one edit bar), lines 7 and 8 open the popup's address and name versions.
static MultiFieldParams gPopup;
static INT_PTR CapturePopup(HWND, MultiFieldParams *params)
{
    gPopup = *params;
    return 1;
}

TEST_F(SalesWorksheet, OwnerLinesOpenTheMultiFieldListAndThePopupsNameAndAddressVersions)
{
    gWindowCallbacks.openMultiFieldDialog = CapturePopup;
    ASSERT_TRUE(Field("0701") && Field("0710") && Field("0720"));
    for (const char *group : {"0710", "0720"}) {
        memset(&gPopup, 0, sizeof gPopup);
        ClickField(Field(group));
        EXPECT_TRUE(gPopup.field == Field(group) && gPopup.groupKind == MULTIFIELD_GROUP_NAME) << group;
    }
    ClickField(Field("0701"));
    ASSERT_NE(nullptr, gEditBarContainer);
    EXPECT_TRUE(gEditRequest.listItemCount == 2 && gEditRequest.listItems[1].field == Field("0702"));
    CloseEditBar(&gEditRequest);
}
