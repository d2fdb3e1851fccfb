// File and folder routines, the log writer, the open-file dialog seam, the shell seam.
#include "store/store.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <string>

static void RemoveTree(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

static void WriteWholeFile(const std::string &path, const char *text)
{
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    fputs(text, f);
    fclose(f);
}

class FilesTest : public ::testing::Test {
protected:
    std::string folder;
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char name[64];
        snprintf(name, sizeof name, "lvl_files_%lu", GetCurrentProcessId());
        folder = std::string(temp) + name;
        RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), NULL);
    }
    void TearDown() override { RemoveTree(folder); }
    std::string Path(const char *name) const { return folder + "\\" + name; }
};

TEST_F(FilesTest, ExistenceNeedsARootedPath)
{
    WriteWholeFile(Path("a.txt"), "x");
    EXPECT_EQ(1, FileExists(Path("a.txt").c_str()));
    EXPECT_EQ(1, FileExists(folder.c_str()));
    EXPECT_EQ(0, FileExists(Path("b.txt").c_str()));
    EXPECT_EQ(0, FileExists("a.txt"));
    EXPECT_EQ(0, FileExists(""));
    EXPECT_EQ(0, FileExists(NULL));
}

TEST_F(FilesTest, OpenForReadReportsSizeAndFailsQuietlyWhenMissing)
{
    WriteWholeFile(Path("data.bin"), "0123456789");
    DWORD size = 0;
    HANDLE file = OpenFileForRead(Path("data.bin").c_str(), &size, 0);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(10u, size);
    CloseHandle(file);
    size = 99;
    EXPECT_EQ(nullptr, OpenFileForRead(Path("none.bin").c_str(), &size, 0));
    EXPECT_EQ(0u, size);
    EXPECT_TRUE(GetShownMessageBoxes().empty());
}

TEST_F(FilesTest, OpenWithRetryCreatesFoldersAndReportsFailure)
{
    std::string deep = folder + "\\one\\two\\new.dat";
    HANDLE file = OpenFileWithRetry(deep.c_str(), GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    EXPECT_EQ(1, FileExists(deep.c_str()));

    ScriptMessageBoxAnswer(IDOK);
    file = OpenFileWithRetry(Path("missing.dat").c_str(), GENERIC_READ, OPEN_EXISTING, 0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, file);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Error Opening File", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("missing.dat could not be opened."));
}

TEST_F(FilesTest, AppendLineAddsLineBreakOnlyWhenMissing)
{
    std::string path = Path("lines.txt");
    EXPECT_EQ(1, AppendLineToFile("first", path.c_str()));
    EXPECT_EQ(1, AppendLineToFile("second\r\n", path.c_str()));
    EXPECT_EQ(1, AppendLineToFile("", path.c_str()));
    EXPECT_EQ("first\r\nsecond\r\n\r\n", ReadWholeFile(path));
    EXPECT_EQ(0, AppendLineToFile("x", Path("no\\such\\folder.txt").c_str()));
}

TEST_F(FilesTest, FolderPartLength)
{
    EXPECT_EQ(7, GetFolderPartLength("C:\\dir\\file.txt"));
    EXPECT_EQ(3, GetFolderPartLength("C:\\"));
    EXPECT_EQ(0, GetFolderPartLength("file.txt"));
    EXPECT_EQ(2, GetFolderPartLength("a/b"));
    EXPECT_EQ(0, GetFolderPartLength(NULL));
}

TEST_F(FilesTest, UniqueNamesWithSuffixAndCounter)
{
    char path[MAX_PATH];
    // A path that does not exist is left alone.
    snprintf(path, sizeof path, "%s", Path("r.qvr").c_str());
    EXPECT_EQ(1, MakeUniquePathName(path, sizeof path, "_amended", 0));
    EXPECT_EQ(Path("r.qvr"), path);

    WriteWholeFile(Path("r.qvr"), "x");
    EXPECT_EQ(1, MakeUniquePathName(path, sizeof path, "_amended", 0));
    EXPECT_EQ(Path("r_amended.qvr"), path);

    // Without a counter only one name is tried.
    WriteWholeFile(Path("r_amended.qvr"), "x");
    snprintf(path, sizeof path, "%s", Path("r.qvr").c_str());
    EXPECT_EQ(0, MakeUniquePathName(path, sizeof path, "_amended", 0));
    EXPECT_EQ(Path("r.qvr"), path);

    WriteWholeFile(Path("r_amended01.qvr"), "x");
    EXPECT_EQ(1, MakeUniquePathName(path, sizeof path, "_amended", 2));
    EXPECT_EQ(Path("r_amended02.qvr"), path);

    // No room for the longer name: refused, buffer unchanged.
    snprintf(path, sizeof path, "%s", Path("r.qvr").c_str());
    int tight = (int)strlen(path) + 1 + 8;  // room for "_amended" but not for the counter
    EXPECT_EQ(0, MakeUniquePathName(path, tight, "_amended", 2));
    EXPECT_EQ(Path("r.qvr"), path);

    // A dot in a folder name is not an extension.
    std::string dotted = folder + "\\v1.2";
    CreateDirectoryA(dotted.c_str(), NULL);
    WriteWholeFile(dotted + "\\notes", "x");
    snprintf(path, sizeof path, "%s\\notes", dotted.c_str());
    EXPECT_EQ(1, MakeUniquePathName(path, sizeof path, "_copy", 0));
    EXPECT_EQ(dotted + "\\notes_copy", path);
}

TEST_F(FilesTest, DataFolderSettingLogFileAndSubfolders)
{
    char saved[MAX_PATH];
    int hadSetting = ReadRegistryValue(saved, REG_SCOPE_YEAR, 0, "DataDir", sizeof saved, REG_SZ);
    std::string data = folder + "\\data\\";  // a trailing backslash in the setting is dropped
    ASSERT_EQ(1, WriteRegistryValue(REG_SCOPE_YEAR, "DataDir", REG_SZ, data.c_str(), 0));

    char path[MAX_PATH];
    ASSERT_EQ(1, GetProgramFolder(path, FOLDER_DATA));
    EXPECT_EQ(folder + "\\data", path);
    ASSERT_EQ(1, GetProgramFolder(path, FOLDER_SENT));
    EXPECT_EQ(folder + "\\data\\Sent", path);
    EXPECT_EQ(1, FileExists(path));
    ASSERT_EQ(1, GetProgramFolder(path, FOLDER_TEMP));
    EXPECT_EQ(folder + "\\data\\Temp", path);
    EXPECT_EQ(0, GetProgramFolder(path, 99));
    EXPECT_STREQ("", path);

    EXPECT_EQ(1, WriteLogLine("999 SIG: one [x]\r\n"));
    EXPECT_EQ(1, WriteLogLine("999 BBI: two"));
    EXPECT_EQ("999 SIG: one [x]\r\n999 BBI: two\r\n", ReadWholeFile(folder + "\\data\\Quorvel.log"));

    if (hadSetting)
        WriteRegistryValue(REG_SCOPE_YEAR, "DataDir", REG_SZ, saved, 0);
    else
        DeleteRegistryValue(REG_SCOPE_YEAR, "DataDir");

    ASSERT_EQ(1, GetProgramFolder(path, FOLDER_PROGRAM));
    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, sizeof module);
    EXPECT_EQ(0, _strnicmp(module, path, strlen(path)));
    EXPECT_EQ('\\', module[strlen(path)]);
}

TEST_F(FilesTest, DocumentsOrDesktopPrefix)
{
    char documents[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(NULL, CSIDL_PERSONAL, NULL, SHGFP_TYPE_CURRENT, documents)));
    std::string base = documents;
    std::string ownName = base.substr(GetFolderPartLength(documents));
    std::string inside = base + "\\Returns\\smith.qvr";
    char out[MAX_PATH];
    ASSERT_EQ(1, IsUnderDocumentsOrDesktop(inside.c_str(), out, sizeof out));
    EXPECT_EQ(ownName + "\\Returns\\smith.qvr", out);
    EXPECT_EQ(1, IsUnderDocumentsOrDesktop(inside.c_str(), NULL, 0));
    // Case is ignored; a sibling folder that merely starts with the same name is not inside.
    std::string upper = inside;
    for (char &c : upper)
        c = (char)toupper((unsigned char)c);
    EXPECT_EQ(1, IsUnderDocumentsOrDesktop(upper.c_str(), NULL, 0));
    EXPECT_EQ(0, IsUnderDocumentsOrDesktop((base + "Old\\a.qvr").c_str(), out, sizeof out));
    EXPECT_EQ(0, IsUnderDocumentsOrDesktop("Q:\\elsewhere\\a.qvr", out, sizeof out));
    // The text does not fit: nothing is copied past the buffer.
    char small[8];
    EXPECT_EQ(0, IsUnderDocumentsOrDesktop(inside.c_str(), small, sizeof small));
    EXPECT_STREQ("", small);
}

TEST_F(FilesTest, OpenDialogSeamRemembersTheFolder)
{
    DeleteRegistryValue(REG_SCOPE_COMMON, "TestImportDir");
    ScriptFileDialogPath("C:\\imports\\w2.csv");
    char path[520] = "";
    ASSERT_EQ(1, ShowFileOpenDialog("Select Text File to Import", "csv", "All Files (*.*)\0*.*\0\0",
                                    REG_SCOPE_COMMON, 0, "TestImportDir", NULL, path, sizeof path, NULL));
    EXPECT_STREQ("C:\\imports\\w2.csv", path);
    char remembered[MAX_PATH];
    ASSERT_EQ(1, ReadRegistryValue(remembered, REG_SCOPE_COMMON, 0, "TestImportDir", sizeof remembered, REG_SZ));
    EXPECT_STREQ("C:\\imports", remembered);

    // Cancelling leaves the remembered folder alone.
    ScriptFileDialogPath("");
    EXPECT_EQ(0, ShowFileOpenDialog("Select Text File to Import", "csv", "All Files (*.*)\0*.*\0\0",
                                    REG_SCOPE_COMMON, 0, "TestImportDir", NULL, path, sizeof path, NULL));
    ReadRegistryValue(remembered, REG_SCOPE_COMMON, 0, "TestImportDir", sizeof remembered, REG_SZ);
    EXPECT_STREQ("C:\\imports", remembered);
    DeleteRegistryValue(REG_SCOPE_COMMON, "TestImportDir");
}

TEST(ShellAndLibraries, ShellSeamAndRuntimeLookup)
{
    EXPECT_EQ(1, OpenWithShell("open", "C:\\out\\return.pdf"));
    ASSERT_EQ(1u, GetShellCalls().size());
    EXPECT_EQ("open", GetShellCalls()[0].verb);
    EXPECT_EQ("C:\\out\\return.pdf", GetShellCalls()[0].file);
    EXPECT_EQ(0, OpenWithShell("open", ""));

    EXPECT_NE(nullptr, GetDllProc("kernel32.dll", "GetTickCount"));
    EXPECT_NE(nullptr, GetDllProc("COMDLG32.DLL", "PrintDlgExA"));
    EXPECT_EQ(nullptr, GetDllProc("kernel32.dll", "NoSuchFunctionAnywhere"));
    EXPECT_EQ(nullptr, GetDllProc("nosuchlibrary42.dll", "Anything"));
}
