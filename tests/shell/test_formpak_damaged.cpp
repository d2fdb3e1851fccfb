// Opening a return whose FormPak copies are damaged: each place the message names is tried, the
// first sound copy is used, and when none is sound the message names the damaged files.
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

// Writes a one-page FormPak "MN M1" with one number field; damaged: one byte changed, so its
// checksum no longer matches.
void WriteMnPak(const std::string &path, int damaged = 0)
{
    static const uint8_t kPcl[] = "\x1b" "E\x1b*t300R\x0c";
    FieldRecord fields[2] = {};
    fields[1].seq = (char *)"0010";
    fields[1].typeCode = (char *)"N";
    FormPakPageDesc page = {"MN M1", 1, 1, 24, PAGE_FLAG_MAIN_FORM, IMAGE_SOURCE_PCL, kPcl, sizeof(kPcl) - 1,
                            fields, 2, {1, 0}};
    const char *header[] = {"MN M1", "Minnesota Individual Income Tax", "2024.1"};
    ASSERT_EQ(1, WriteFormPak(path.c_str(), 2024, header, 3, &page, 1, RECORD_METHOD_XOR));
    if (!damaged)
        return;
    std::string bytes = ReadWholeFile(path);
    bytes[bytes.size() / 2] ^= 0x55;
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    fclose(f);
}

// The FormPak folder setting is the test's own while it runs.
class DamagedFormPak : public MainWindowTest {
protected:
    void SetUp() override { MainWindowTest::SetUp(); UseBuildFormPaks(); }
    void TearDown() override { MainWindowTest::TearDown(); RestoreFormPakFolder(); }
};

TEST_F(DamagedFormPak, EachPlaceIsTriedAndTheDamagedCopiesAreNamed)
{
    // Where the return names its FormPak, the FormPak folder, and the return's own folder.
    enum { NONE, SOUND, DAMAGED };
    const struct {
        int stored, formDir, beside;
        const char *foundIn;   // the copy the page comes from ("": none)
    } cases[] = {
        {NONE, DAMAGED, SOUND, "ret\\"},
        {DAMAGED, SOUND, NONE, "paks\\"},
        {DAMAGED, DAMAGED, SOUND, "ret\\"},
        {NONE, DAMAGED, DAMAGED, ""},
        {DAMAGED, NONE, NONE, ""},
    };
    std::string base = MakeTestFolder("lvpakdamage");
    for (const char *sub : {"orig", "paks", "ret"})
        CreateDirectoryA((base + sub).c_str(), NULL);
    WriteRegistryValue(REG_SCOPE_YEAR, "FormDir", REG_SZ, (base + "paks").c_str(), 0);
    const std::string stored = base + "orig\\mnd.qvp", formDir = base + "paks\\mnd.qvp",
                      beside = base + "ret\\mnd.qvp", path = base + "ret\\damaged.qvr";
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(n++);
        // The return names the FormPak where it was when the return was saved.
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
        const std::pair<int, std::string> copies[] = {{c.stored, stored}, {c.formDir, formDir}, {c.beside, beside}};
        for (const auto &copy : copies) {
            DeleteFileA(copy.second.c_str());
            if (copy.first != NONE)
                WriteMnPak(copy.second, copy.first == DAMAGED);
        }

        gReturnModified = 0;   // the page made above is no change of the open return
        ClearShownMessageBoxes();
        if (!c.foundIn[0])
            ScriptMessageBoxAnswer(IDOK);
        EXPECT_EQ(1, SendMessageA(window, WM_OPEN_FILE, 0, (LPARAM)path.c_str()));
        FormInstance *opened = (FormInstance *)GetTreeItemForm(Child(gTreeStateFolder));
        if (c.foundIn[0]) {
            EXPECT_TRUE(GetShownMessageBoxes().empty());
            EXPECT_TRUE(gTreeMissingFormPakFolder == NULL);
            ASSERT_TRUE(opened != NULL);
            EXPECT_EQ(base + c.foundIn + "mnd.qvp", opened->formPakPath ? opened->formPakPath : "");
            EXPECT_STREQ("7", opened->fieldTable->fields[1].value);
        } else {
            // Every damaged copy is named with its reason; a FormPak with damaged copies is not
            // called missing.
            ASSERT_EQ(1u, GetShownMessageBoxes().size());
            const ShownMessageBox &box = GetShownMessageBoxes()[0];
            EXPECT_EQ("FormPaks Damaged", box.title);
            EXPECT_NE(std::string::npos, box.text.find("that are damaged")) << box.text;
            for (const auto &copy : copies)
                EXPECT_EQ(copy.first == DAMAGED, box.text.find(copy.second + ": its checksum") != std::string::npos)
                    << copy.second << "\n" << box.text;
            EXPECT_EQ(std::string::npos, box.text.find("not found:"));
            EXPECT_TRUE(gTreeMissingFormPakFolder != NULL);
        }
        SendMessageA(window, WM_COMMAND, IDM_CLOSE, 0);
    }
}

} // namespace
