// Form data import: the remap lists compared whole; the second sample return imported into the
// open sample return (listed, skipped, asked, written or left alone) and a file that is no return
// refused; the Minnesota certificates and property tax statements remapped by their pages' year.
#include "entry/entry.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

TEST(FormImport, RemapListsCompareWholeFieldNumbers)
{
    const char *clear = "0130;0140;A300;A0310";
    const char *move = "0210->0130;0220->0140;0270->0200";
    struct {
        const char *list, *seq;
        int found;
        const char *to;
    } cases[] = {
        {clear, "0130", 1, ""}, {clear, "A300", 1, ""},   {clear, "A30", 0, ""},    {clear, "0310", 0, ""},
        {clear, "013", 0, ""},  {clear, "A0310", 1, ""},  {move, "0210", 1, "0130"}, {move, "0270", 1, "0200"},
        {move, "0130", 0, ""},  {move, "021", 0, ""},     {move, "->", 0, ""},       {NULL, "0130", 0, ""},
        {clear, "", 0, ""},
    };
    for (auto &c : cases) {
        char to[16];
        EXPECT_EQ(c.found, FindRemapListEntry(c.list, c.seq, to, sizeof(to))) << c.seq;
        EXPECT_STREQ(c.to, to) << c.seq;
    }
}

std::string Value(FormInstance *page, const char *seq)
{
    int index = FindLayoutField(page->fieldTable, 1, seq, 0);
    return index > 0 && page->fieldTable->fields[index].value ? page->fieldTable->fields[index].value : "";
}

FormInstance *FindPage(const char *key, int copy = 0)
{
    FormInstance *page = NULL;
    return FindReturnPages(12, key, &page, copy) > 0 ? page : NULL;
}

TEST(FormImport, SecondSampleReturnIntoTheOpenOne)
{
    char sample[MAX_PATH], second[MAX_PATH], formPak[MAX_PATH];
    GetFullPathNameA(BuildPath("samples/Sample.qvr").c_str(), sizeof(sample), sample, NULL);
    GetFullPathNameA(BuildPath("samples/Import.qvr").c_str(), sizeof(second), second, NULL);
    GetFullPathNameA(BuildPath("formpaks/f1040.qvp").c_str(), sizeof(formPak), formPak, NULL);
    if (GetFileAttributesA(second) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the sample returns were not built";
    UseBuildFormPaks();
    HWND main = OpenMainWindow();
    ASSERT_TRUE(main != NULL);
    SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)sample);
    PumpMessages(100);
    WaitForRecompute();
    ASSERT_TRUE(FindPage("Form 1040.1") != NULL);
    ASSERT_EQ("52,000", Value(FindPage("Form 1040.1"), "0101"));
    ASSERT_EQ("Jane Beth", Value(FindPage("Form 1040.1"), "0013"));

    // Declined at the taxpayer question or at the form question: nothing of the forms changes.
    for (int formAnswer : {0, IDNO}) {
        ClearShownMessageBoxes();
        ScriptMessageBoxAnswer(formAnswer ? IDYES : IDNO);
        if (formAnswer)
            ScriptMessageBoxAnswer(formAnswer);
        RunImportData(second);
        WaitForRecompute();
        EXPECT_EQ("52,000", Value(FindPage("Form 1040.1"), "0101"));
        EXPECT_EQ("See statement", Value(FindPage("Schedule B.1"), "0101"));   // its payers are a statement
        EXPECT_EQ(formAnswer ? 2u : 1u, GetShownMessageBoxes().size());
        // The page's taxpayer fields follow the record: the old couple, or the imported single taxpayer.
        EXPECT_EQ(formAnswer ? "Robert" : "John Adam", Value(FindPage("Form 1040.1"), "0010"));
        EXPECT_EQ(formAnswer ? "" : "Jane Beth", Value(FindPage("Form 1040.1"), "0013"));
    }

    // Yes: the matched forms listed in tree order and written; the second Schedule B skipped.
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDYES);
    ScriptMessageBoxAnswer(IDYES);
    EXPECT_EQ(1, RunImportData(second));
    WaitForRecompute();
    ASSERT_EQ(2u, GetShownMessageBoxes().size());
    EXPECT_EQ("Taxpayer Data Import", GetShownMessageBoxes()[0].title);
    const ShownMessageBox &question = GetShownMessageBoxes()[1];
    EXPECT_EQ("Form Data Import", question.title);
    const char *listed[] = {"+ Form 1040, Page 1", "+ Form 1040, Page 2", "+ Schedule 1, Page 1",
                            "+ Schedule B, Page 1", "Skipping forms not found in the current return:",
                            "- Schedule B, Page 1 (Copy 2)"};
    for (const char *line : listed)
        EXPECT_NE(std::string::npos, question.text.find(line)) << line << "\n" << question.text;
    EXPECT_LT(question.text.find("+ Form 1040, Page 1"), question.text.find("+ Form 1040, Page 2"));
    EXPECT_LT(question.text.find("Skipping"), question.text.find("- Schedule B, Page 1 (Copy 2)"));
    EXPECT_EQ("61,500", Value(FindPage("Form 1040.1"), "0101"));
    EXPECT_EQ("Iron Range Credit Union", Value(FindPage("Schedule B.1"), "0101"));
    EXPECT_EQ("", Value(FindPage("Schedule 1.2"), "0999"));
    EXPECT_STREQ("Robert", ReturnText(gOpenReturnPtr, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    // The written page shows the imported taxpayer, not blanks.
    const char *shown[][2] = {{"0010", "Robert"}, {"0011", "Import"}, {"0012", "400-01-3456"},
                              {"0013", ""}, {"0020", "55 Lake Road"}, {"0022", "Duluth"}};
    for (auto &f : shown)
        EXPECT_EQ(f[1], Value(FindPage("Form 1040.1"), f[0])) << f[0];

    // A file that is not a return is refused before anything is asked.
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, RunImportData(formPak));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("is not a Levyline return file"));

    gReturnModified = 0;
    DestroyMainWindow(main);
    RestoreFormPakFolder();
}

// Pages of the Minnesota FormPak of the build.
struct MnPages {
    FileRecord pak;
    std::vector<FormInstance *> made;
    MnPages() { memset(&pak, 0, sizeof(pak)); }
    int Read()
    {
        char path[MAX_PATH];
        GetFullPathNameA(BuildPath("formpaks/mnm1pr.qvp").c_str(), sizeof(path), path, NULL);
        return ReadDataFile(path, 0, &pak, READ_DATA_QUIET);
    }
    FormInstance *Page(const char *key, uint16_t year, int copy, std::vector<std::pair<const char *, const char *>> values)
    {
        FormInstance *page = CreatePageRecord(&pak, FindPageInFileRecord(&pak, key), NULL, copy);
        if (!page)
            return NULL;
        page->taxYear = year;
        for (auto &v : values) {
            int index = FindLayoutField(page->fieldTable, 1, v.first, 0);
            if (index > 0)
                SetFieldText(&page->fieldTable->fields[index].value, v.second);
        }
        made.push_back(page);
        return page;
    }
    ~MnPages()
    {
        for (FormInstance *page : made)
            FreeFormInstance(page);
        ReleaseFileRecord(&pak, NULL);
    }
};

TEST(FormImport, MinnesotaPapersRemappedByTheirPagesYear)
{
    MnPages mn;
    if (!mn.Read())
        GTEST_SKIP() << "the Minnesota FormPak was not built";
    // The file: a property tax statement and two certificates of its year.
    FormInstance *source[3] = {
        mn.Page("MN PROPST.1", 2023, 1, {{"0110", "Owner A"}, {"0130", "1,111"}, {"0210", "1,500"}, {"0220", "40"},
                                         {"A300", "PID-1"}}),
        mn.Page("MN CRP.1", 2023, 1, {{"0110", "Early"}, {"0210", "01/01/2023"}, {"0220", "06/30/2023"}}),
        mn.Page("MN CRP.1", 2023, 2, {{"0110", "Latest"}, {"0210", "07/01/2023"}, {"0220", "12/31/2023"},
                                      {"0240", "9,000"}}),
    };
    ASSERT_TRUE(source[0] && source[1] && source[2]);
    OpenReturn record;
    InitOpenReturn(&record);
    std::string path = MakeTestFolder("formimport") + "mn.qvr";
    ASSERT_EQ(1, WriteReturnFile(path.c_str(), &record, source, 3, NULL));
    FileRecord file;
    memset(&file, 0, sizeof(file));
    ASSERT_EQ(1, ReadDataFile(path.c_str(), 0, &file, READ_DATA_QUIET));

    struct Case {
        uint16_t fileYear;
        const char *prop0130, *prop0140, *prop0210, *prop0110, *propA300;
        const char *crp1Name, *crp1From, *crp1To, *crp2Name;
    } cases[] = {
        // The file is of the pages' previous year: statement fields moved, the latest certificate
        // into the first certificate page with a new rental period start.
        {2023, "1,500", "40", "9", "Owner A", "", "Latest", "01/01/2024", "", "Mine 2"},
        // The same year: copied as they are, certificates one by one.
        {2024, "1,111", "7", "1,500", "Owner A", "PID-1", "Early", "01/01/2023", "06/30/2023", "Latest"},
        // Any other year: the amounts cleared, the rest copied.
        {2021, "", "", "", "Owner A", "", "Latest", "01/01/2024", "", "Mine 2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fileYear);
        FormInstance *targets[3] = {
            mn.Page("MN PROPST.1", 2024, 1, {{"0130", "5"}, {"0140", "7"}, {"0210", "9"}, {"A300", "Mine"}}),
            mn.Page("MN CRP.1", 2024, 1, {{"0110", "Mine 1"}}),
            mn.Page("MN CRP.1", 2024, 2, {{"0110", "Mine 2"}}),
        };
        SetTestReturnPages(targets, 3);
        EXPECT_GE(RemapMnCrpFields(&file, c.fileYear), 2);
        EXPECT_EQ(c.prop0130, Value(targets[0], "0130"));
        EXPECT_EQ(c.prop0140, Value(targets[0], "0140"));
        EXPECT_EQ(c.prop0210, Value(targets[0], "0210"));
        EXPECT_EQ(c.prop0110, Value(targets[0], "0110"));
        EXPECT_EQ(c.propA300, Value(targets[0], "A300"));
        EXPECT_EQ(c.crp1Name, Value(targets[1], "0110"));
        EXPECT_EQ(c.crp1From, Value(targets[1], "0210"));
        EXPECT_EQ(c.crp1To, Value(targets[1], "0220"));
        EXPECT_EQ(c.crp2Name, Value(targets[2], "0110"));
        SetTestReturnPages(NULL, 0);
    }
    // No Minnesota page in the return: nothing happens.
    EXPECT_EQ(0, RemapMnCrpFields(&file, 2023));
    ReleaseFileRecord(&file, NULL);
    DeleteFileA(path.c_str());
    gReturnModified = 0;
}

}  // namespace
