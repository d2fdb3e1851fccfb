// Opening a return whose FormPak is not where it was: each place the message names is tried, the
// first copy that holds the return's form is used, and when none does the message names every copy
// passed over and why; a PDF of such a return names the missing FormPaks.
#include "entry/entry.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

namespace {

// What a place holds: no file, the return's form, a damaged copy of it, a sound FormPak of
// another form under the same name, or a copy another program holds open without sharing.
enum { NONE, SOUND, DAMAGED, OTHER, IN_USE };

// Writes a one-page FormPak with one number field: form "MN M1", or "MN M2" for OTHER; DAMAGED:
// one byte changed, so its checksum no longer matches.
void WriteMnPak(const std::string &path, int state = SOUND)
{
    static const uint8_t kPcl[] = "\x1b" "E\x1b*t300R\x0c";
    FieldRecord fields[2] = {};
    fields[1].seq = (char *)"0010";
    fields[1].typeCode = (char *)"N";
    const char *form = state == OTHER ? "MN M2" : "MN M1";
    FormPakPageDesc page = {form, 1, 1, 24, PAGE_FLAG_MAIN_FORM, IMAGE_SOURCE_PCL, kPcl, sizeof(kPcl) - 1,
                            fields, 2, {1, 0}};
    const char *header[] = {form, "Minnesota Individual Income Tax", "2024.1"};
    ASSERT_EQ(1, WriteFormPak(path.c_str(), 2024, header, 3, &page, 1, RECORD_METHOD_XOR));
    if (state != DAMAGED)
        return;
    std::string bytes = ReadWholeFile(path);
    bytes[bytes.size() / 2] ^= 0x55;
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    fclose(f);
}

// The FormPak folder setting is the test's own while it runs: base\paks. The return
// base\ret\damaged.qvr names its FormPak as base\orig\mnd.qvp, where it was when it was saved.
class DamagedFormPak : public MainWindowTest {
protected:
    std::string base, stored, formDir, beside, path;
    void SetUp() override
    {
        MainWindowTest::SetUp();
        UseBuildFormPaks();
        base = MakeTestFolder("lvpakdamage");
        for (const char *sub : {"orig", "paks", "ret"})
            CreateDirectoryA((base + sub).c_str(), NULL);
        WriteRegistryValue(REG_SCOPE_YEAR, "FormDir", REG_SZ, (base + "paks").c_str(), 0);
        stored = base + "orig\\mnd.qvp", formDir = base + "paks\\mnd.qvp", beside = base + "ret\\mnd.qvp";
        path = base + "ret\\damaged.qvr";
    }
    void TearDown() override { MainWindowTest::TearDown(); RestoreFormPakFolder(); }
    // Writes the return with the value 7 on its MN M1 page (the stored copy is written for it).
    void WriteReturn()
    {
        WriteMnPak(stored);
        FileRecord pak;
        ASSERT_EQ(1, ReadDataFile(stored.c_str(), 0, &pak, 0));
        FormInstance *page = CreatePageRecord(&pak, 0, stored.c_str(), 1);
        ReleaseFileRecord(&pak, NULL);
        ASSERT_TRUE(page != NULL);
        SetFieldText(&page->fieldTable->fields[1].value, "7");
        OpenReturn record;
        InitOpenReturn(&record);
        ASSERT_EQ(1, WriteReturnFile(path.c_str(), &record, &page, 1, NULL));
        FreeFormInstance(page);
        gReturnModified = 0;   // the page made here is no change of the open return
    }
};

TEST_F(DamagedFormPak, EachPlaceIsTriedForTheFormAndEveryCopyPassedOverIsNamed)
{
    // Where the return names its FormPak, the FormPak folder, and the return's own folder.
    const struct {
        int stored, formDir, beside;
        const char *foundIn;   // the copy the page comes from ("": none)
    } cases[] = {
        {NONE, OTHER, SOUND, "ret\\"},
        {OTHER, IN_USE, SOUND, "ret\\"},
        {IN_USE, SOUND, OTHER, "paks\\"},
        {NONE, DAMAGED, SOUND, "ret\\"},
        {DAMAGED, SOUND, NONE, "paks\\"},
        {NONE, OTHER, NONE, ""},
        {IN_USE, NONE, NONE, ""},
        {OTHER, IN_USE, DAMAGED, ""},
        {DAMAGED, NONE, NONE, ""},
    };
    const char *reasons[] = {"", "", ": damaged (its checksum does not match)", ": another form (MN M2)",
                             ": in use by another program"};
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(n++);
        WriteReturn();
        const std::pair<int, std::string> copies[] = {{c.stored, stored}, {c.formDir, formDir}, {c.beside, beside}};
        HANDLE held = INVALID_HANDLE_VALUE;
        for (const auto &copy : copies) {
            DeleteFileA(copy.second.c_str());
            if (copy.first != NONE)
                WriteMnPak(copy.second, copy.first);
            if (copy.first == IN_USE)
                held = CreateFileA(copy.second.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        }

        ClearShownMessageBoxes();
        if (!c.foundIn[0])
            ScriptMessageBoxAnswer(IDOK);
        EXPECT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        FormInstance *opened = (FormInstance *)GetTreeItemForm(Child(gTreeStateFolder));
        if (c.foundIn[0]) {
            EXPECT_TRUE(GetShownMessageBoxes().empty());
            EXPECT_TRUE(gTreeMissingFormPakFolder == NULL);
            ASSERT_TRUE(opened != NULL);
            EXPECT_EQ(base + c.foundIn + "mnd.qvp", opened->formPakPath ? opened->formPakPath : "");
            EXPECT_STREQ("7", opened->fieldTable->fields[1].value);
        } else {
            // Every copy tried is named with why it was passed over; a FormPak with copies is not
            // called missing.
            ASSERT_EQ(1u, GetShownMessageBoxes().size());
            const ShownMessageBox &box = GetShownMessageBoxes()[0];
            EXPECT_EQ("FormPaks Not Found", box.title);
            for (const auto &copy : copies)
                EXPECT_EQ(copy.first != NONE, box.text.find(copy.second + reasons[copy.first]) != std::string::npos)
                    << copy.second << "\n" << box.text;
            EXPECT_EQ(std::string::npos, box.text.find("not found:"));
            EXPECT_TRUE(gTreeMissingFormPakFolder != NULL);
        }
        SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0);
    }
}

// A PDF of a return whose FormPak is missing is not begun: the message names the FormPak rather
// than a file that could not be written.
TEST_F(DamagedFormPak, PdfOfAReturnWithoutItsFormPaksNamesThem)
{
    WriteReturn();
    DeleteFileA(stored.c_str());
    ScriptMessageBoxAnswer(IDOK);
    ASSERT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
    ClearShownMessageBoxes();
    SetDefaultMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, IDM_PDFRETURN, 0));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    const std::string &text = GetShownMessageBoxes()[0].text;
    EXPECT_NE(std::string::npos, text.find("FormPaks that are missing:\r\n\r\nmnd.qvp")) << text;
    EXPECT_EQ(std::string::npos, text.find("Close the file")) << text;
    EXPECT_EQ(0, FileExists((base + "ret\\damaged.pdf").c_str()));
}

} // namespace
