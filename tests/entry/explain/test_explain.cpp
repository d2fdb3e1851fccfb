// The explanation dialog "EXPLAIN" driven with messages: the three notes and a field's
// explanation with their captions, the length and line limits, the checks with their messages,
// curly quotes, clearing, view-only mode, a return without a federal folder, and a long
// explanation printed and rendered whole.
#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/fields.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"
#include "tests/print/test_print_util.h"

#include <gtest/gtest.h>
#include <string.h>

#include <functional>
#include <string>

namespace {

class Explain : public MainWindowTest {
protected:
    FormGroupNode *federal = NULL;
    FieldRecord field;
    void SetUp() override
    {
        MainWindowTest::SetUp();
        gViewOnly = 0;
        federal = (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder);
        ASSERT_TRUE(federal != NULL);
        memset(&field, 0, sizeof(field));
        SetFieldText(&field.seq, "0100");
        SetFieldText(&field.line, "5");
        SetFieldText(&field.description, "Rent paid");
        SetFieldText(&field.seqPrefix, "@");
    }
    void TearDown() override
    {
        gViewOnly = 0;
        gReturnModified = 0;
        for (char **slot : {&field.seq, &field.line, &field.description, &field.seqPrefix, &field.value, &field.second})
            *slot = (char *)MemFree(*slot);
        MainWindowTest::TearDown();
    }
    // Runs the dialog for a request; steps see the dialog.
    INT_PTR Run(ExplainRequest *request, const std::function<void(HWND)> &steps)
    {
        return RunDialogWithSteps([&] { return ShowExplainDialog(window, request); }, steps);
    }
    ExplainRequest Note(int kind)
    {
        ExplainRequest request;
        memset(&request, 0, sizeof(request));
        request.kind = kind;
        return request;
    }
    ExplainRequest FieldRequest(const char *pageKey = "Form M1PR.1")
    {
        ExplainRequest request = Note(EXPLAIN_FIELD);
        request.field = &field;
        request.pageKey = pageKey;
        return request;
    }
    // Types text and presses OK; returns the edit's text afterwards.
    std::string TypeAndSave(HWND dialog, const std::string &text)
    {
        SetDlgItemTextA(dialog, IDC_EXPLAIN_TEXT, text.c_str());
        ClickButton(dialog, IDOK);
        HWND edit = GetDlgItem(dialog, IDC_EXPLAIN_TEXT);
        std::string out((size_t)GetWindowTextLengthA(edit) + 1, '\0');
        GetWindowTextA(edit, &out[0], (int)out.size());
        out.resize(strlen(out.c_str()));
        return out;
    }
};

std::string Lines(int count)
{
    std::string text;
    for (int i = 0; i < count; i++)
        text += (i ? "\r\n" : "") + std::string("line ") + std::to_string(i + 1);
    return text;
}

TEST_F(Explain, CaptionDescriptionAndTextOfEachKind)
{
    federal->noteToIrs = DuplicateText("To the IRS");
    federal->noteToSelf = DuplicateText("To myself");
    SetFieldText(&field.second, "Paid in cash.");
    struct Case {
        int kind;
        const char *pageKey, *seq, *caption, *descriptionStart, *text;
    } cases[] = {
        {EXPLAIN_NOTE_TO_IRS, NULL, NULL, "Note to IRS", "This window allows you to send additional information to the IRS",
         "To the IRS"},
        {EXPLAIN_NOTE_TO_SELF, NULL, NULL, "Note to Self", "This window allows you to type and save notes", "To myself"},
        {EXPLAIN_REGULATORY, NULL, NULL, "Regulatory Explanation",
         "This window allows you to cite IRS regulatory rulings", ""},
        {EXPLAIN_FIELD, "Form 1040.2", "0100", "Form 1040, Page 2 Line 5 - Rent paid",
         "This window allows you to provide additional information to explain specific entries in your tax return. "
         "If you are required to provide additional information for the FIELD LISTED ABOVE",
         "Paid in cash."},
        {EXPLAIN_FIELD, "Form M1PR.1", "0470", "Form M1PR, Page 1 Line 5 - Rent paid",
         "This window allows you to provide additional information to explain specific entries in your tax return. "
         "If you are required to provide additional information, enter",
         "Paid in cash."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        if (c.seq)
            SetFieldText(&field.seq, c.seq);
        ExplainRequest request = c.kind == EXPLAIN_FIELD ? FieldRequest(c.pageKey) : Note(c.kind);
        std::string caption, description, text;
        EXPECT_EQ(0, Run(&request, [&](HWND dialog) {
                      char buffer[256] = "";
                      GetWindowTextA(dialog, buffer, sizeof(buffer));
                      caption = buffer;
                      description = GetControlText(dialog, IDC_EXPLAIN_DESCRIPTION);
                      text = GetControlText(dialog, IDC_EXPLAIN_TEXT);
                  }));
        EXPECT_EQ(c.caption, caption);
        EXPECT_EQ(0u, description.find(c.descriptionStart)) << description;
        EXPECT_EQ(c.text, text);
    }
    // A field without a line: "- " before its description.
    field.line = (char *)MemFree(field.line);
    char caption[200];
    BuildFieldExplanationCaption(&field, "Form M1PR.1", caption, sizeof(caption));
    EXPECT_STREQ("Form M1PR, Page 1 - Rent paid", caption);
    // The caption is bounded by its buffer.
    std::string longDescription(500, 'd');
    SetFieldText(&field.description, longDescription.c_str());
    EXPECT_EQ(15, BuildFieldExplanationCaption(&field, "Form M1PR.1", caption, 16));
    EXPECT_EQ(15u, strlen(caption));
}

TEST_F(Explain, NoteOf4000CharactersIsSavedAnd4001Refused)
{
    ScriptMessageBoxAnswer(IDOK);
    ExplainRequest request = Note(EXPLAIN_NOTE_TO_IRS);
    EXPECT_EQ(1, Run(&request, [&](HWND dialog) {
                  TypeAndSave(dialog, std::string(4001, 'a'));
                  EXPECT_TRUE(federal->noteToIrs == NULL);   // refused: nothing stored, still open
                  TypeAndSave(dialog, std::string(4000, 'a'));
              }));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    const ShownMessageBox &box = GetShownMessageBoxes()[0];
    EXPECT_EQ("Maximum Length Exceeded", box.title);
    EXPECT_EQ("The amount of text exceeds the maximum allowed by 1 characters.\r\n\r\nYou will need to shorten the "
              "message by at least this many characters before your changes can be saved.",
              box.text);
    EXPECT_EQ((unsigned)(MB_OK | MB_ICONEXCLAMATION), box.flags);
    ASSERT_TRUE(federal->noteToIrs != NULL);
    EXPECT_EQ(4000u, strlen(federal->noteToIrs));
    EXPECT_EQ(1, gReturnModified);
}

TEST_F(Explain, FieldExplanationOf97LinesIsSavedAnd98RefusedAndClearingClearsTheValue)
{
    ScriptMessageBoxAnswer(IDOK);
    ExplainRequest request = FieldRequest();
    EXPECT_EQ(1, Run(&request, [&](HWND dialog) {
                  TypeAndSave(dialog, Lines(98));
                  EXPECT_TRUE(field.second == NULL);
                  TypeAndSave(dialog, Lines(97));
              }));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Maximum Number of Lines Exceeded", GetShownMessageBoxes()[0].title);
    ASSERT_TRUE(field.second != NULL);
    EXPECT_EQ(Lines(97), field.second);
    // Clearing the explanation also clears the field's value.
    SetFieldText(&field.value, "X");
    gReturnModified = 0;
    EXPECT_EQ(1, Run(&request, [&](HWND dialog) { TypeAndSave(dialog, ""); }));
    EXPECT_TRUE(field.second == NULL && field.value == NULL);
    EXPECT_EQ(1, gReturnModified);
    // The page view reaches this dialog through its hook, set at start-up.
    EXPECT_TRUE(gWindowCallbacks.openExplainDialog == OpenFieldExplanation);
}

TEST_F(Explain, ChecksAskOrRefuseAndKeepTheDialogOpen)
{
    struct Case {
        const char *typed;
        int answer;
        const char *title;
        const char *textPart;
        const char *after;
    } cases[] = {
        {" Hello", IDOK, "Invalid Space Detected",
         "The text that you entered begins with a space ('  ') which is not allowed.\r\n\r\nClick OK to have the "
         "software automatically remove the beginning space character(s) or Cancel so you can manually make the "
         "change.",
         "Hello"},
        {" Hello", IDCANCEL, "Invalid Space Detected", "begins with a space", " Hello"},
        {"\r\n\r\nHello", IDOK, "Invalid Blank Line Detected",
         "begins with a blank line which is not allowed.\r\n\r\nClick OK to have the software automatically remove "
         "the beginning line character(s)",
         "Hello"},
        {"a\tb\tc", IDOK, "Invalid Character Detected",
         "One or more ' tab ' characters were found in your note text and are not allowed.", "a b c"},
        // '{' comes before '#' in the set, wherever it stands.
        {"Total # of items\r\nsee {note}", IDOK, "Invalid Character Detected",
         "An invalid character was detected in the note text...\r\n\r\n      - Character:  \t{      - Line "
         "number:\t2      - Position:   \t5      - Line text:  \tsee {note}\r\n\r\nYou will need to change "
         "or delete this character before your changes can be saved.",
         "Total # of items\r\nsee {note}"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        ClearShownMessageBoxes();
        ScriptMessageBoxAnswer(c.answer);
        ExplainRequest request = Note(EXPLAIN_NOTE_TO_SELF);
        std::string after;
        DWORD selection = 0;
        EXPECT_EQ(0, Run(&request, [&](HWND dialog) {
                      after = TypeAndSave(dialog, c.typed);
                      selection = (DWORD)SendDlgItemMessageA(dialog, IDC_EXPLAIN_TEXT, EM_GETSEL, 0, 0);
                  }));
        ASSERT_EQ(1u, GetShownMessageBoxes().size());
        EXPECT_EQ(c.title, GetShownMessageBoxes()[0].title);
        EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find(c.textPart)) << GetShownMessageBoxes()[0].text;
        EXPECT_EQ(c.after, after);
        EXPECT_TRUE(federal->noteToSelf == NULL);
        if (strchr(c.typed, '{')) {
            EXPECT_EQ(MAKELONG(22, 23), (LONG)selection);   // the '{' is selected
        }
    }
}

TEST_F(Explain, CurlyQuotesAndDashesAreStoredStraightWithoutTrailingSpace)
{
    ExplainRequest request = Note(EXPLAIN_REGULATORY);
    EXPECT_EQ(1, Run(&request, [&](HWND dialog) {
                  TypeAndSave(dialog, "\x93Quoted\x94 \x91it\x92s\x92 \x96 per Rev. Rul. 99-1   \r\n\r\n");
              }));
    ASSERT_TRUE(federal->regulatoryExplanation != NULL);
    EXPECT_STREQ("\"Quoted\" 'it's' - per Rev. Rul. 99-1", federal->regulatoryExplanation);
    // Clearing a note stores no text.
    EXPECT_EQ(1, Run(&request, [&](HWND dialog) { TypeAndSave(dialog, ""); }));
    EXPECT_TRUE(federal->regulatoryExplanation == NULL);
}

TEST_F(Explain, ViewOnlyTextIsReadOnlyNotDisabled)
{
    gViewOnly = 1;
    federal->noteToSelf = DuplicateText(Lines(60).c_str());
    ExplainRequest request = Note(EXPLAIN_NOTE_TO_SELF);
    EXPECT_EQ(0, Run(&request, [&](HWND dialog) {
                  HWND edit = GetDlgItem(dialog, IDC_EXPLAIN_TEXT);
                  EXPECT_TRUE(IsWindowEnabled(edit));
                  EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
                  EXPECT_FALSE(IsControlEnabled(dialog, IDOK));
                  EXPECT_TRUE(IsControlEnabled(dialog, IDC_EXPLAIN_PRINT));
                  // It still scrolls.
                  SendMessageA(edit, WM_VSCROLL, SB_PAGEDOWN, 0);
                  EXPECT_GT(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
                  ClickButton(dialog, IDOK);   // does nothing
              }));
    EXPECT_EQ(Lines(60), federal->noteToSelf);
}

// Ends any dialog that opens (the case where none should).
int sUnexpectedDialog;
void CALLBACK EndStrayDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = FindWindowA("#32770", NULL);
    if (dialog && IsWindowVisible(dialog)) {
        sUnexpectedDialog = 1;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

TEST_F(Explain, NotesWithoutAFederalFolderOpenNothing)
{
    HTREEITEM saved = gTreeFederalFolder;
    gTreeFederalFolder = NULL;
    sUnexpectedDialog = 0;
    UINT_PTR timer = SetTimer(NULL, 0, 200, EndStrayDialog);
    for (int kind = EXPLAIN_NOTE_TO_IRS; kind <= EXPLAIN_REGULATORY; kind++) {
        ExplainRequest request = Note(kind);
        EXPECT_EQ(0, ShowExplainDialog(window, &request));
    }
    ExplainRequest noField = Note(EXPLAIN_FIELD);
    EXPECT_EQ(0, ShowExplainDialog(window, &noField));
    KillTimer(NULL, timer);
    gTreeFederalFolder = saved;
    EXPECT_EQ(0, sUnexpectedDialog);
}

// Long lines: each of these wraps onto many report lines and would fit far fewer pages if a
// line were cut short.
std::string LongLines(int lines, int words)
{
    std::string text;
    for (int i = 0; i < lines; i++) {
        text += i ? "\r\n" : "";
        for (int w = 0; w < words; w++)
            text += "word" + std::to_string(w % 10) + " ";
        text += "END";
    }
    return text;
}

TEST_F(Explain, OutputModeRendersEveryLineWhole)
{
    federal->noteToSelf = DuplicateText(LongLines(40, 150).c_str());
    HBITMAP bitmaps[LIST_REPORT_MAX_BITMAPS] = {};
    ExplainRequest request = Note(EXPLAIN_NOTE_TO_SELF);
    request.outputMode = 3;
    request.outputBitmaps = bitmaps;
    EXPECT_EQ(0, ShowExplainDialog(window, &request));
    // 40 lines of 900 characters: about twelve report lines each. Cut at 260 characters they
    // would fill about three pages.
    EXPECT_GE(request.outputResult, 7);
    EXPECT_TRUE(bitmaps[0] != NULL);
    for (HBITMAP bitmap : bitmaps)
        if (bitmap)
            DeleteObject(bitmap);
}

TEST_F(Explain, PrintedWholeOnTheFilePrinter)
{
    if (!HavePrinter())
        GTEST_SKIP() << "no printer: scripts/cups.sh makes the file printer the default";
    PrintJobFileLock lock;
    ClearPrintJob();
    federal->noteToIrs = DuplicateText(LongLines(40, 150).c_str());
    ExplainRequest request = Note(EXPLAIN_NOTE_TO_IRS);
    EXPECT_EQ(0, Run(&request, [&](HWND dialog) {
                  RunDialogWithSteps([&] { ClickButton(dialog, IDC_EXPLAIN_PRINT); return (INT_PTR)0; },
                                     [&](HWND print) { ClickButton(print, IDOK); });
              }));
    EXPECT_GE(CountJobPages(WaitForPrintJob()), 7);
}

}  // namespace
