// Registry settings by scope: reading with size limits and type checks, writing, copies.
#include "store/store.h"
#include "ui/ui.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <string.h>

TEST(Registry, ScopePaths)
{
    ASSERT_EQ(1, SetRegistryRoot(NULL));   // the program's own keys
    EXPECT_STREQ("Software\\VantorelGroup\\Levyline\\2024", GetRegistryScopePath(REG_SCOPE_YEAR));
    EXPECT_STREQ("Software\\VantorelGroup\\Levyline\\2023", GetRegistryScopePath(REG_SCOPE_PREVYEAR));
    EXPECT_STREQ("Software\\VantorelGroup\\Levyline\\2024\\Admin", GetRegistryScopePath(REG_SCOPE_ADMIN));
    EXPECT_STREQ("Software\\VantorelGroup\\Levyline\\2024\\Preparer", GetRegistryScopePath(REG_SCOPE_PREPARER));
    EXPECT_STREQ("Software\\VantorelGroup\\Levyline\\Common", GetRegistryScopePath(REG_SCOPE_COMMON));
    EXPECT_EQ(nullptr, GetRegistryScopePath(0));
    EXPECT_EQ(nullptr, GetRegistryScopePath(6));
    char buffer[8] = "x";
    EXPECT_EQ(0, ReadRegistryValue(buffer, 9, 0, "DataDir", sizeof buffer, REG_SZ));
    EXPECT_EQ(0, WriteRegistryValue(9, "X", REG_SZ, "x", 0));
    SetRegistryRoot(TEST_REGISTRY_ROOT);
}

// What a test writes through the program's settings (window place, recent files, signature
// files) lands under the tests' own key; the program's keys never see it.
TEST(Registry, TestRunsLeaveTheProgramsSettingsAlone)
{
    struct Case {
        int scope;
        const char *programKey;
    } cases[] = {
        {REG_SCOPE_YEAR, "Software\\VantorelGroup\\Levyline\\2024"},
        {REG_SCOPE_PREVYEAR, "Software\\VantorelGroup\\Levyline\\2023"},
        {REG_SCOPE_ADMIN, "Software\\VantorelGroup\\Levyline\\2024\\Admin"},
        {REG_SCOPE_PREPARER, "Software\\VantorelGroup\\Levyline\\2024\\Preparer"},
        {REG_SCOPE_COMMON, "Software\\VantorelGroup\\Levyline\\Common"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.programKey);
        ASSERT_EQ(1, WriteRegistryValue(c.scope, "TestApart", REG_SZ, "x", 0));
        EXPECT_EQ(nullptr, QueryRegistryValueAlloc(HKEY_CURRENT_USER, c.programKey, "TestApart", 0, NULL, NULL));
        EXPECT_EQ(0u, std::string(GetRegistryScopePath(c.scope)).find(TEST_REGISTRY_ROOT "\\"));
        DeleteRegistryValue(c.scope, "TestApart");
    }
    // The recent-files list of the File menu.
    ASSERT_EQ(1, UpdateRecentFilesMenu(NULL, "C:\\Returns\\TestApart.qvr", NULL, "TestApartFiles"));
    EXPECT_EQ(nullptr, QueryRegistryValueAlloc(HKEY_CURRENT_USER, cases[0].programKey, "TestApartFiles", 0, NULL, NULL));
    DeleteRegistryValue(REG_SCOPE_YEAR, "TestApartFiles");
    // A root that does not fit is refused and changes nothing.
    EXPECT_EQ(0, SetRegistryRoot(std::string(200, 'k').c_str()));
    EXPECT_EQ(0u, std::string(GetRegistryScopePath(REG_SCOPE_YEAR)).find(TEST_REGISTRY_ROOT "\\"));
}

TEST(Registry, TextValuesAreCutToTheBufferAndZeroEnded)
{
    ASSERT_EQ(1, WriteRegistryValue(REG_SCOPE_ADMIN, "TestText", REG_SZ, "C:\\Returns\\2024", 0));
    char buffer[64];
    memset(buffer, 'x', sizeof buffer);
    ASSERT_NE(0, ReadRegistryValue(buffer, REG_SCOPE_ADMIN, 0, "TestText", sizeof buffer, REG_SZ));
    EXPECT_STREQ("C:\\Returns\\2024", buffer);
    char small[6];
    memset(small, 'x', sizeof small);
    ASSERT_NE(0, ReadRegistryValue(small, REG_SCOPE_ADMIN, 0, "TestText", sizeof small, REG_SZ));
    EXPECT_STREQ("C:\\Re", small);
    // Another scope does not see it; a missing value leaves the buffer empty.
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(0, ReadRegistryValue(buffer, REG_SCOPE_PREPARER, 0, "TestText", sizeof buffer, REG_SZ));
    EXPECT_STREQ("", buffer);
    // A text read as a 4-byte value is refused.
    DWORD number = 5;
    EXPECT_EQ(0, ReadRegistryValue(&number, REG_SCOPE_ADMIN, 0, "TestText", sizeof number, REG_DWORD));
    EXPECT_EQ(0u, number);
    EXPECT_EQ(1, DeleteRegistryValue(REG_SCOPE_ADMIN, "TestText"));
    EXPECT_EQ(1, DeleteRegistryValue(REG_SCOPE_ADMIN, "TestText"));  // already gone
    EXPECT_EQ(0, ReadRegistryValue(buffer, REG_SCOPE_ADMIN, 0, "TestText", sizeof buffer, REG_SZ));
}

TEST(Registry, FourByteColourValues)
{
    COLORREF colour = RGB(0x12, 0x34, 0x56);
    ASSERT_EQ(1, WriteRegistryValue(REG_SCOPE_YEAR, "TestColor", REG_DWORD, &colour, sizeof colour));
    COLORREF back = 0;
    ASSERT_NE(0, ReadRegistryValue(&back, REG_SCOPE_YEAR, 0, "TestColor", sizeof back, REG_DWORD));
    EXPECT_EQ(colour, back);
    // A 4-byte binary value also reads as a colour; a text buffer does not take a number.
    ASSERT_EQ(1, WriteRegistryValue(REG_SCOPE_YEAR, "TestColor", REG_BINARY, &colour, sizeof colour));
    back = 0;
    ASSERT_NE(0, ReadRegistryValue(&back, REG_SCOPE_YEAR, 0, "TestColor", sizeof back, REG_DWORD));
    EXPECT_EQ(colour, back);
    char text[16] = "x";
    EXPECT_EQ(0, ReadRegistryValue(text, REG_SCOPE_YEAR, 0, "TestColor", sizeof text, REG_SZ));
    EXPECT_STREQ("", text);
    // Raw reads (kind 0) never copy more than the buffer holds.
    unsigned char one[2] = {0, 0};
    ASSERT_NE(0, ReadRegistryValue(one, REG_SCOPE_YEAR, 0, "TestColor", 1, 0));
    EXPECT_EQ(0x12, one[0]);
    EXPECT_EQ(0, one[1]);
    DeleteRegistryValue(REG_SCOPE_YEAR, "TestColor");
}

TEST(Registry, AllocatedCopiesAndKeyCreation)
{
    const std::string keyPath = std::string(GetRegistryScopePath(REG_SCOPE_COMMON)) + "\\TestAllocKey";
    const char *key = keyPath.c_str();
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    DWORD type = 1, size = 1;
    EXPECT_EQ(nullptr, QueryRegistryValueAlloc(HKEY_CURRENT_USER, key, "SigFiles", 0, &type, &size));
    EXPECT_EQ(0u, type);
    EXPECT_EQ(0u, size);
    HKEY opened;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened));
    // With create 1 the key appears even though the value is missing.
    EXPECT_EQ(nullptr, QueryRegistryValueAlloc(HKEY_CURRENT_USER, key, "SigFiles", 1, &type, &size));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &opened));
    // A value stored without its terminator still comes back zero-ended.
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(opened, "SigFiles", 0, REG_SZ, (const BYTE *)"5;C:\\a.bmp", 10));
    RegCloseKey(opened);
    char *copy = (char *)QueryRegistryValueAlloc(HKEY_CURRENT_USER, key, "SigFiles", 0, &type, &size);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_STREQ("5;C:\\a.bmp", copy);
    MemFree(copy);
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}
