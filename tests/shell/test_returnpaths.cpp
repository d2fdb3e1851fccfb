// File names too long for the program's path buffers: refused with a message, the open return
// and its file name stay as they were. Saves the file cannot take (read-only, held by another
// program, characters outside the code page) are refused with their reason and leave the file as
// it was; long names within the system's limit and a leftover temporary file do not stop a save.
// An open return is held against other copies of the program.
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>

namespace {

TEST(ReturnPaths, OverlongFileNamesAreRefusedAndTheOpenReturnStays)
{
    std::string folder = MakeTestFolder("lvpaths");
    std::string sample = folder + "Sample.qvr";
    if (!CopySampleReturn(folder, {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"}))
        GTEST_SKIP() << "the sample return was not built";

    HWND window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)sample.c_str()));
    std::string federal = "Federal Return [5 pages]";
    char caption[128];
    GetTreeItemText(gTreeFederalFolder, caption, 0, sizeof(caption));
    EXPECT_EQ(federal, caption);

    std::string overlong = std::string(folder) + std::string(300, 'n') + ".qvr";
    gReturnModified = 0;  // no question about saving the computed values first
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)overlong.c_str()));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("The file name is too long to be opened.", GetShownMessageBoxes()[0].text);
    EXPECT_STREQ(sample.c_str(), gReturnPath);
    GetTreeItemText(gTreeFederalFolder, caption, 0, sizeof(caption));
    EXPECT_EQ(federal, caption);

    // Saving under such a name writes nothing and keeps the return's own name.
    EXPECT_EQ(0, SaveReturnFile(window, overlong.c_str()));
    EXPECT_STREQ(sample.c_str(), gReturnPath);

    gReturnModified = 0;
    CloseOpenReturn();
    DestroyMainWindow(window);
}

std::string FileBytes(const std::string &path)
{
    std::string bytes = ReadWholeFile(path);
    return FileExists(path.c_str()) ? bytes : "<missing>";
}

TEST(ReturnPaths, SavesTheFileCannotTakeAreRefusedForTheirReason)
{
    std::string folder = MakeTestFolder("lvsave");
    if (!CopySampleReturn(folder, {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"}))
        GTEST_SKIP() << "the sample return was not built";
    std::string sample = folder + "Sample.qvr";
    // A folder deep enough that the file names below are 258 and 259 characters long.
    std::string deep = folder + std::string(240 - folder.size(), 'd') + "\\";
    CreateDirectoryA(deep.c_str(), NULL);
    std::string odd = folder + "??\\";   // what a folder named outside the code page becomes

    HWND window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)sample.c_str()));
    struct Case {
        const char *what;
        std::string target;
        int readOnly, heldByOther, staleTemp;
        int saved;
        const char *says;   // in the message shown ("" = no message)
    } cases[] = {
        {"writable", folder + "plain.qvr", 0, 0, 0, 1, ""},
        {"read-only", folder + "readonly.qvr", 1, 0, 0, 0, "the file is read-only ("},
        {"held by another program", folder + "held.qvr", 0, 1, 0, 0, "in use by another program"},
        {"258 characters", deep + std::string(258 - deep.size() - 4, 'a') + ".qvr", 0, 0, 0, 1, ""},
        {"259 characters", deep + std::string(259 - deep.size() - 4, 'b') + ".qvr", 0, 0, 0, 1, ""},
        {"temporary file left over", folder + "killed.qvr", 0, 0, 1, 1, ""},
        {"outside the code page", odd + "japan.qvr", 0, 0, 0, 0, "holds characters that this program cannot use"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string temp = c.target + ".tmp";
        SetFileAttributesA(c.target.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(c.target.c_str());   // left by an earlier run
        if (c.target.size() < MAX_PATH - 4 && !c.readOnly && !c.heldByOther) {
            FILE *f = fopen(temp.c_str(), "wb");
            if (f) {
                fputs("half a save", f);
                fclose(f);
            }
            if (!c.staleTemp)
                DeleteFileA(temp.c_str());
        }
        if (c.readOnly || c.heldByOther) {
            ASSERT_TRUE(CopyFileA(sample.c_str(), c.target.c_str(), FALSE));
        }
        if (c.readOnly)
            SetFileAttributesA(c.target.c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE other = c.heldByOther ? CreateFileA(c.target.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                                   OPEN_EXISTING, 0, NULL)
                                     : INVALID_HANDLE_VALUE;
        std::string before = FileBytes(c.target);
        ClearShownMessageBoxes();
        if (c.says[0])
            ScriptMessageBoxAnswer(IDOK);
        gReturnModified = 1;
        EXPECT_EQ(c.saved, SaveReturnFile(window, c.target.c_str()));
        EXPECT_EQ(!c.saved, gReturnModified);
        if (c.saved) {
            EXPECT_STREQ(c.target.c_str(), gReturnPath);
            EXPECT_TRUE(before != FileBytes(c.target));
            EXPECT_TRUE(GetShownMessageBoxes().empty());
        } else {
            EXPECT_TRUE(before == FileBytes(c.target)) << "the file changed";
            const auto &boxes = GetShownMessageBoxes();
            EXPECT_EQ(1u, boxes.size());
            EXPECT_NE(std::string::npos, boxes.empty() ? 0 : boxes[0].text.find(c.says)) << c.says;
        }
        EXPECT_FALSE(FileExists(temp.c_str()));
        if (other != INVALID_HANDLE_VALUE)
            CloseHandle(other);
        SetFileAttributesA(c.target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    // Opening from that folder says the same instead of calling the file damaged.
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDOK);
    gReturnModified = 0;
    EXPECT_EQ(0, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)(odd + "japan.qvr").c_str()));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Error Opening File", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("cannot use"));
    gReturnModified = 0;
    CloseOpenReturn();
    DestroyMainWindow(window);
}

// While a return is open no other program can write its file; a second copy that opens it is told
// it is in use and cannot save over it, while the first copy still can.
TEST(ReturnPaths, AnOpenReturnIsHeldAgainstOtherCopies)
{
    std::string folder = MakeTestFolder("lvhold");
    if (!CopySampleReturn(folder, {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"}))
        GTEST_SKIP() << "the sample return was not built";
    std::string sample = folder + "Sample.qvr";
    auto writable = [&] {
        HANDLE h = CreateFileA(sample.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               NULL, OPEN_EXISTING, 0, NULL);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        return h != INVALID_HANDLE_VALUE;
    };
    HWND window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)sample.c_str()));
    EXPECT_FALSE(writable());
    gReturnModified = 1;
    EXPECT_EQ(1, SaveReturnFile(window, sample.c_str()));   // the holder saves through its hold
    EXPECT_FALSE(writable());
    EXPECT_TRUE(GetShownMessageBoxes().empty());
    gReturnModified = 0;
    CloseOpenReturn();
    EXPECT_TRUE(writable());

    // Another copy holds it: opened with word of it, and a save leaves the file as it was.
    HANDLE other = CreateFileA(sample.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)sample.c_str()));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Return In Use", GetShownMessageBoxes()[0].title);
    std::string before = FileBytes(sample);
    ScriptMessageBoxAnswer(IDOK);
    gReturnModified = 1;
    EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, IDM_SAVE, 0));
    EXPECT_TRUE(before == FileBytes(sample)) << "the file changed";
    ASSERT_EQ(2u, GetShownMessageBoxes().size());
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[1].text.find("opened for viewing"));
    // Once the other copy lets go, Save As onto the file goes through and this copy holds it.
    CloseHandle(other);
    ScriptFileDialogPath(sample);
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_SAVEAS, 0));
    EXPECT_FALSE(writable());
    gReturnModified = 0;
    CloseOpenReturn();
    DestroyMainWindow(window);
}

// Copy A holds the return; B (this program) opened it too. B never writes over the file unasked: a
// return opened while A held it is for viewing, and a save over a file changed since B read it asks.
TEST(ReturnPaths, AViewedOrChangedReturnIsNotSavedOverUnasked)
{
    std::string folder = MakeTestFolder("lvstale");
    if (!CopySampleReturn(folder, {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"}))
        GTEST_SKIP() << "the sample return was not built";
    std::string sample = folder + "Sample.qvr", original = FileBytes(sample), saveOfA = original + "A";
    struct Case {
        int aHeldAtOpen, aSaved;   // A held the file when B opened it; A saved it and closed since
        int command, answer, saved;
        const char *says;   // in the one message shown (answer 0: none)
        int thenAnswer;     // the next Save: its one message answered so (0: saved without a word)
        const char *thenSays;
    } cases[] = {
        {1, 1, IDM_SAVE, IDOK, 0, "opened for viewing", IDOK, "opened for viewing"},
        {1, 0, IDM_SAVEAS, IDOK, 0, "in use by another program", IDOK, "opened for viewing"},
        {1, 1, IDM_SAVEAS, IDNO, 0, "changed by another program", IDOK, "opened for viewing"},
        {1, 1, IDM_SAVEAS, IDYES, 1, "changed by another program", 0, ""},
        // B's own hold lost meanwhile:
        {0, 1, IDM_SAVE, IDNO, 0, "changed by another program", IDNO, "changed by another program"},
        {0, 0, IDM_SAVE, 0, 1, "", 0, ""},
    };
    HWND window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
    for (const Case &c : cases) {
        SCOPED_TRACE(&c - cases);
        ReplaceFileContents(sample.c_str(), original.data(), (uint32_t)original.size(), NULL);
        HANDLE a = c.aHeldAtOpen ? CreateFileA(sample.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL)
                                 : NULL;
        if (c.aHeldAtOpen)
            ScriptMessageBoxAnswer(IDOK);   // "Return In Use"
        ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)sample.c_str()));
        if (c.aSaved) {
            ReleaseHeldFile();
            if (a)
                CloseHandle(a);
            a = NULL;
            ReplaceFileContents(sample.c_str(), saveOfA.data(), (uint32_t)saveOfA.size(), NULL);
        }
        std::string before = FileBytes(sample);
        ClearShownMessageBoxes();
        if (c.answer)
            ScriptMessageBoxAnswer(c.answer);
        if (c.command == IDM_SAVEAS)
            ScriptFileDialogPath(sample);
        gReturnModified = 1;
        EXPECT_EQ(c.saved, SendMessageA(window, WM_COMMAND, c.command, 0));
        EXPECT_EQ(c.saved, before != FileBytes(sample)) << "the file was changed";
        ASSERT_EQ(c.answer ? 1u : 0u, GetShownMessageBoxes().size());
        if (c.answer) {   // a question defaults to No
            EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find(c.says)) << c.says;
            EXPECT_EQ(c.answer == IDOK ? 0u : (unsigned)MB_DEFBUTTON2, GetShownMessageBoxes()[0].flags & MB_DEFMASK);
        }
        // The next Save: a file B wrote is B's and is saved over without a word; one B did not
        // write is refused or asked about again, and stays as it is.
        before = FileBytes(sample);
        ClearShownMessageBoxes();
        if (c.thenAnswer)
            ScriptMessageBoxAnswer(c.thenAnswer);
        gReturnModified = 1;
        EXPECT_EQ(c.saved, SendMessageA(window, WM_COMMAND, IDM_SAVE, 0)) << "the next Save";
        EXPECT_EQ(c.saved ? 0 : 1, gReturnModified);
        if (!c.saved) {
            EXPECT_TRUE(before == FileBytes(sample)) << "the next Save wrote over the file";
        }
        ASSERT_EQ(c.thenAnswer ? 1u : 0u, GetShownMessageBoxes().size());
        if (c.thenAnswer) {
            EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find(c.thenSays)) << c.thenSays;
        }
        if (a)
            CloseHandle(a);
        gReturnModified = 0;
        CloseOpenReturn();
    }
    DestroyMainWindow(window);
}

// The open return opened again under another spelling of its path is the same file: no word of
// another program, the file stays held, and a save under that spelling goes through the hold.
TEST(ReturnPaths, AnotherSpellingOfTheOpenReturnIsTheSameFile)
{
    std::string folder = MakeTestFolder("lvspell");
    if (!CopySampleReturn(folder, {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"}))
        GTEST_SKIP() << "the sample return was not built";
    std::string sample = folder + "Sample.qvr", slashed = sample;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    HWND window = OpenMainWindow();
    ASSERT_TRUE(window != NULL);
    for (const std::string &spelling : {slashed, folder + ".\\Sample.qvr"}) {
        SCOPED_TRACE(spelling);
        ClearShownMessageBoxes();
        ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)sample.c_str()));
        EXPECT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)spelling.c_str()));
        EXPECT_EQ(1, FindFileHolder(sample.c_str(), NULL, 0));
        gReturnModified = 1;
        EXPECT_EQ(1, SaveReturnFile(window, spelling.c_str()));
        EXPECT_EQ(1, FindFileHolder(sample.c_str(), NULL, 0));
        EXPECT_TRUE(GetShownMessageBoxes().empty());
        CloseOpenReturn();
        EXPECT_EQ(0, FindFileHolder(sample.c_str(), NULL, 0));
    }
    DestroyMainWindow(window);
}

}  // namespace
