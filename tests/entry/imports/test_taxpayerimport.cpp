// Taxpayer data import: copying from a current record (question, e-filed refusal, signature values
// by the source's year), converting the older layouts, refusing unknown sizes; SetMenuItemText.
#include "entry/entry.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

std::string TextAt(OpenReturn &r, int offset)
{
    return std::string(ReturnText(&r, offset));
}

// A source record of the given layout size, with its size word set.
std::vector<uint8_t> MakeSource(uint32_t size)
{
    std::vector<uint8_t> source(size, 0);
    memcpy(source.data(), &size, 4);
    return source;
}

void Put(std::vector<uint8_t> &source, int at, const char *text)
{
    memcpy(source.data() + at, text, strlen(text));
}

// A current-layout source with both persons, a US address and the signature values.
void FillCurrentSource(OpenReturn &s)
{
    InitOpenReturn(&s);
    SetReturnText(&s, RETURN_TAXPAYER + PERSON_SSN, 12, "123456789");
    SetReturnText(&s, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "JOHN");
    SetReturnText(&s, RETURN_TAXPAYER + PERSON_LAST_NAME, 21, "SMITH");
    SetReturnText(&s, RETURN_TAXPAYER + PERSON_AGI, 13, "52000");
    SetReturnText(&s, RETURN_TAXPAYER + PERSON_PRIOR_AGI, 13, "48000");
    SetReturnText(&s, RETURN_TAXPAYER + PERSON_PRIOR_PIN, 13, "11111");
    SetReturnText(&s, RETURN_TAXPAYER + PERSON_SELF_PIN, 12, "22222");
    s.bytes[RETURN_TAXPAYER + PERSON_SELF_PIN_FLAG] = 1;
    SetReturnText(&s, RETURN_SPOUSE + PERSON_FIRST_NAME, 21, "JANE");
    SetReturnText(&s, RETURN_SPOUSE + PERSON_OCCUPATION, 40, "TEACHER");
    SetReturnText(&s, RETURN_SPOUSE + PERSON_AGI, 13, "31000");
    SetReturnText(&s, RETURN_SPOUSE + PERSON_SELF_PIN, 12, "33333");
    SetReturnText(&s, RETURN_NAME_LINE, 50, "JOHN & JANE SMITH");
    s.bytes[RETURN_ADDRESS_KIND] = '1';
    SetReturnText(&s, RETURN_STREET, 36, "12 MAIN ST");
    SetReturnText(&s, RETURN_STATE, 3, "MN");
    SetReturnText(&s, RETURN_ZIP, 11, "55401");
    SetReturnText(&s, RETURN_APARTMENT, 21, "APT 4");
    SetReturnText(&s, RETURN_EIN, 12, "411234567");
    SetReturnText(&s, RETURN_FILING_STATUS, 2, "2");
}

TEST(TaxpayerImport, CurrentLayoutFrom2024CopiesTheListedMembersAfterYes)
{
    OpenReturn source, dest;
    FillCurrentSource(source);
    InitOpenReturn(&dest);
    SetReturnText(&dest, RETURN_TAXPAYER + PERSON_MIDDLE_NAME, 21, "OLD");
    SetReturnText(&dest, RETURN_FILING_STATUS, 2, "1");
    ScriptMessageBoxAnswer(IDYES);
    EXPECT_EQ(1, ImportTaxpayerData(&dest, &source, 2024, 0));

    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Taxpayer Data Import", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("JOHN & JANE SMITH"));
    EXPECT_EQ((unsigned)(MB_YESNO | MB_ICONEXCLAMATION), GetShownMessageBoxes()[0].flags);

    EXPECT_EQ("123456789", TextAt(dest, RETURN_TAXPAYER + PERSON_SSN));
    EXPECT_EQ("SMITH", TextAt(dest, RETURN_TAXPAYER + PERSON_LAST_NAME));
    EXPECT_EQ("", TextAt(dest, RETURN_TAXPAYER + PERSON_MIDDLE_NAME));   // overwritten by the empty source
    EXPECT_EQ("TEACHER", TextAt(dest, RETURN_SPOUSE + PERSON_OCCUPATION));
    EXPECT_EQ("12 MAIN ST", TextAt(dest, RETURN_STREET));
    EXPECT_EQ("MN", TextAt(dest, RETURN_STATE));
    EXPECT_EQ("55401", TextAt(dest, RETURN_ZIP));
    EXPECT_EQ("APT 4", TextAt(dest, RETURN_APARTMENT));
    EXPECT_EQ("411234567", TextAt(dest, RETURN_EIN));
    // This year's signature values come as they are.
    EXPECT_EQ("48000", TextAt(dest, RETURN_TAXPAYER + PERSON_PRIOR_AGI));
    EXPECT_EQ("11111", TextAt(dest, RETURN_TAXPAYER + PERSON_PRIOR_PIN));
    EXPECT_EQ("22222", TextAt(dest, RETURN_TAXPAYER + PERSON_SELF_PIN));
    EXPECT_EQ("33333", TextAt(dest, RETURN_SPOUSE + PERSON_SELF_PIN));
    // Members outside the taxpayer data stay the destination's.
    EXPECT_EQ("1", TextAt(dest, RETURN_FILING_STATUS));
    EXPECT_EQ(TRACKING_UNASSIGNED_BYTE, dest.bytes[RETURN_TRACKING_NUMBER]);
}

TEST(TaxpayerImport, SignatureValuesFollowTheSourceYear)
{
    OpenReturn source, dest;
    FillCurrentSource(source);

    // Last year's return: its AGI becomes the prior-year AGI, its self-select PIN the prior-year
    // PIN, and this year's self-select PIN and its flag start empty.
    InitOpenReturn(&dest);
    SetReturnText(&dest, RETURN_TAXPAYER + PERSON_SELF_PIN, 12, "99999");
    dest.bytes[RETURN_TAXPAYER + PERSON_SELF_PIN_FLAG] = 1;
    ScriptMessageBoxAnswer(IDYES);
    EXPECT_EQ(1, ImportTaxpayerData(&dest, &source, 2023, 0));
    EXPECT_EQ("52000", TextAt(dest, RETURN_TAXPAYER + PERSON_PRIOR_AGI));
    EXPECT_EQ("22222", TextAt(dest, RETURN_TAXPAYER + PERSON_PRIOR_PIN));
    EXPECT_EQ("", TextAt(dest, RETURN_TAXPAYER + PERSON_SELF_PIN));
    EXPECT_EQ(0, dest.bytes[RETURN_TAXPAYER + PERSON_SELF_PIN_FLAG]);
    EXPECT_EQ("31000", TextAt(dest, RETURN_SPOUSE + PERSON_PRIOR_AGI));
    EXPECT_EQ("33333", TextAt(dest, RETURN_SPOUSE + PERSON_PRIOR_PIN));
    EXPECT_EQ("", TextAt(dest, RETURN_SPOUSE + PERSON_SELF_PIN));

    // Older returns: names and address, no signature value.
    InitOpenReturn(&dest);
    SetReturnText(&dest, RETURN_TAXPAYER + PERSON_PRIOR_AGI, 13, "777");
    SetReturnText(&dest, RETURN_TAXPAYER + PERSON_SELF_PIN, 12, "88888");
    ScriptMessageBoxAnswer(IDYES);
    EXPECT_EQ(1, ImportTaxpayerData(&dest, &source, 2022, 0));
    EXPECT_EQ("JOHN", TextAt(dest, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_EQ("12 MAIN ST", TextAt(dest, RETURN_STREET));
    EXPECT_EQ("777", TextAt(dest, RETURN_TAXPAYER + PERSON_PRIOR_AGI));
    EXPECT_EQ("88888", TextAt(dest, RETURN_TAXPAYER + PERSON_SELF_PIN));
    EXPECT_EQ("", TextAt(dest, RETURN_TAXPAYER + PERSON_PRIOR_PIN));
}

TEST(TaxpayerImport, DeclinedOrEfiledDestinationIsLeftAlone)
{
    OpenReturn source, dest, before;
    FillCurrentSource(source);
    SetReturnText(&source, RETURN_NAME_LINE, 50, "");
    InitOpenReturn(&dest);
    SetReturnText(&dest, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "KEEP");
    before = dest;

    ScriptMessageBoxAnswer(IDNO);
    EXPECT_EQ(0, ImportTaxpayerData(&dest, &source, 2024, 0));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("< Taxpayer Name Not Found >"));
    EXPECT_EQ(0, memcmp(&before, &dest, sizeof dest));

    // A state part with a status letter: refused before any question.
    ClearShownMessageBoxes();
    dest.bytes[RETURN_PART_STATE + PART_STATUS_LETTER] = 'R';
    before = dest;
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, ImportTaxpayerData(&dest, &source, 2024, 0));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Data Import Not Allowed", GetShownMessageBoxes()[0].title);
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("previously been e-filed"));
    EXPECT_EQ(0, memcmp(&before, &dest, sizeof dest));
}

TEST(TaxpayerImport, NonUsAddressClearsTheUsApartment)
{
    OpenReturn source, dest;
    FillCurrentSource(source);
    source.bytes[RETURN_ADDRESS_KIND] = '3';
    SetReturnText(&source, RETURN_COUNTRY, 36, "CANADA");
    SetReturnText(&source, RETURN_POSTAL_CODE, 18, "K1A 0B1");
    SetReturnText(&source, RETURN_FOREIGN_APARTMENT, 21, "SUITE 9");
    SetReturnText(&source, RETURN_STATE, 3, "ZZ");
    InitOpenReturn(&dest);
    memset(ReturnBytes(&dest, RETURN_APARTMENT), 'x', 20);
    ScriptMessageBoxAnswer(IDYES);
    EXPECT_EQ(1, ImportTaxpayerData(&dest, &source, 2024, 0));
    EXPECT_EQ('3', dest.bytes[RETURN_ADDRESS_KIND]);
    EXPECT_EQ("CANADA", TextAt(dest, RETURN_COUNTRY));
    EXPECT_EQ("K1A 0B1", TextAt(dest, RETURN_POSTAL_CODE));
    EXPECT_EQ("SUITE 9", TextAt(dest, RETURN_FOREIGN_APARTMENT));
    EXPECT_EQ("", TextAt(dest, RETURN_STATE));   // US members not taken for a non-US address
    for (int i = 0; i < 21; i++)
        EXPECT_EQ(0, dest.bytes[RETURN_APARTMENT + i]) << i;   // cleared whole, no stale tail
}

// A 2656-byte record of the older layout with both persons and a non-US address.
std::vector<uint8_t> MakeOld2656()
{
    std::vector<uint8_t> s = MakeSource(2656);
    Put(s, 8, "987654321");     Put(s, 20, "ROBERT");   Put(s, 45, "Q");  Put(s, 70, "JONES");
    Put(s, 95, "JR");           Put(s, 105, "DR");      Put(s, 450, "01/02/1960");
    Put(s, 461, "61000");       Put(s, 467, "ENGINEER");
    Put(s, 424, "44444");       Put(s, 437, "55555");
    Put(s, 537, "555667777");   Put(s, 549, "MARY");    Put(s, 599, "JONES");
    Put(s, 979, "03/04/1962");  Put(s, 990, "42000");   Put(s, 996, "NURSE");
    Put(s, 1035, "05/06/2020"); Put(s, 953, "66666");   Put(s, 966, "77777");
    Put(s, 1106, "ROBERT & MARY JONES");
    Put(s, 110, "C/O AGENT");   s[146] = '3';
    Put(s, 148, "1 RUE X");     Put(s, 184, "PARIS");
    Put(s, 234, "IDF");         Put(s, 251, "FRANCE");  Put(s, 287, "75001");
    Put(s, 305, "5551234");     Put(s, 320, "BAT B");   Put(s, 341, "OLDAPT");
    Put(s, 362, "CONTACT P");
    return s;
}

TEST(TaxpayerImport, Upgrade2656PlacesEveryMappedMember)
{
    std::vector<uint8_t> s = MakeOld2656();
    OpenReturn dest;
    memset(&dest, 0x5A, sizeof dest);   // whatever was there before is replaced
    EXPECT_EQ(1, ImportTaxpayerData(&dest, s.data(), PROGRAM_TAX_YEAR, 1));
    EXPECT_TRUE(GetShownMessageBoxes().empty());

    EXPECT_EQ(3200u, GetReturnU32(&dest, RETURN_SIZE_WORD));
    EXPECT_EQ("987654321", TextAt(dest, RETURN_TAXPAYER + PERSON_SSN));
    EXPECT_EQ("ROBERT", TextAt(dest, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_EQ("Q", TextAt(dest, RETURN_TAXPAYER + PERSON_MIDDLE_NAME));
    EXPECT_EQ("JONES", TextAt(dest, RETURN_TAXPAYER + PERSON_LAST_NAME));
    EXPECT_EQ("JR", TextAt(dest, RETURN_TAXPAYER + PERSON_SUFFIX));
    EXPECT_EQ("DR", TextAt(dest, RETURN_TAXPAYER + PERSON_TITLE));
    EXPECT_EQ("01/02/1960", TextAt(dest, RETURN_TAXPAYER + PERSON_BIRTH_DATE));
    EXPECT_EQ("61000", TextAt(dest, RETURN_TAXPAYER + PERSON_AGI));
    EXPECT_EQ("ENGINEER", TextAt(dest, RETURN_TAXPAYER + PERSON_OCCUPATION));
    EXPECT_EQ("44444", TextAt(dest, RETURN_TAXPAYER + PERSON_PRIOR_PIN));
    EXPECT_EQ("55555", TextAt(dest, RETURN_TAXPAYER + PERSON_SELF_PIN));
    EXPECT_EQ("555667777", TextAt(dest, RETURN_SPOUSE + PERSON_SSN));
    EXPECT_EQ("MARY", TextAt(dest, RETURN_SPOUSE + PERSON_FIRST_NAME));
    EXPECT_EQ("JONES", TextAt(dest, RETURN_SPOUSE + PERSON_LAST_NAME));
    EXPECT_EQ("03/04/1962", TextAt(dest, RETURN_SPOUSE + PERSON_BIRTH_DATE));
    EXPECT_EQ("05/06/2020", TextAt(dest, RETURN_SPOUSE + PERSON_DEATH_DATE));
    EXPECT_EQ("42000", TextAt(dest, RETURN_SPOUSE + PERSON_AGI));
    EXPECT_EQ("NURSE", TextAt(dest, RETURN_SPOUSE + PERSON_OCCUPATION));
    EXPECT_EQ("66666", TextAt(dest, RETURN_SPOUSE + PERSON_PRIOR_PIN));
    EXPECT_EQ("77777", TextAt(dest, RETURN_SPOUSE + PERSON_SELF_PIN));

    EXPECT_EQ("ROBERT & MARY JONES", TextAt(dest, RETURN_NAME_LINE));
    EXPECT_EQ("C/O AGENT", TextAt(dest, RETURN_IN_CARE_OF));
    EXPECT_EQ('3', dest.bytes[RETURN_ADDRESS_KIND]);
    EXPECT_EQ("1 RUE X", TextAt(dest, RETURN_STREET));
    EXPECT_EQ("PARIS", TextAt(dest, RETURN_CITY));
    EXPECT_EQ("IDF", TextAt(dest, RETURN_PROVINCE));
    EXPECT_EQ("FRANCE", TextAt(dest, RETURN_COUNTRY));
    EXPECT_EQ("75001", TextAt(dest, RETURN_POSTAL_CODE));
    EXPECT_EQ("5551234", TextAt(dest, RETURN_PHONE));
    EXPECT_EQ("BAT B", TextAt(dest, RETURN_FOREIGN_APARTMENT));
    EXPECT_EQ("", TextAt(dest, RETURN_APARTMENT));
    EXPECT_EQ("CONTACT P", TextAt(dest, RETURN_CONTACT_NAME));

    // Members the older layout lacks start empty; the tracking number is not assigned.
    EXPECT_EQ("", TextAt(dest, RETURN_EIN));
    EXPECT_EQ("", TextAt(dest, RETURN_EMAIL));
    EXPECT_EQ("", TextAt(dest, RETURN_STATE));
    EXPECT_EQ(0, dest.bytes[RETURN_PART_FEDERAL + PART_STATUS_LETTER]);
    EXPECT_EQ(TRACKING_UNASSIGNED_BYTE, dest.bytes[RETURN_TRACKING_NUMBER + 13]);
    EXPECT_EQ(0, dest.bytes[3199]);
}

TEST(TaxpayerImport, Upgrade2560TakesItsPhoneAndNoNonUsLines)
{
    std::vector<uint8_t> s = MakeSource(2560);
    Put(s, 20, "ANN");   Put(s, 1106, "ANN LEE");
    s[146] = '3';
    Put(s, 234, "IDF");  Put(s, 236, "5559876");  Put(s, 251, "FRANCE");  Put(s, 320, "BAT B");
    OpenReturn dest;
    EXPECT_EQ(1, ImportTaxpayerData(&dest, s.data(), PROGRAM_TAX_YEAR, 1));
    EXPECT_EQ("ANN", TextAt(dest, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_EQ("ANN LEE", TextAt(dest, RETURN_NAME_LINE));
    EXPECT_EQ("5559876", TextAt(dest, RETURN_PHONE));
    EXPECT_EQ('3', dest.bytes[RETURN_ADDRESS_KIND]);
    EXPECT_EQ("", TextAt(dest, RETURN_PROVINCE));
    EXPECT_EQ("", TextAt(dest, RETURN_COUNTRY));
    EXPECT_EQ("", TextAt(dest, RETURN_FOREIGN_APARTMENT));

    // A US address of the same layout.
    s[146] = '1';
    Put(s, 220, "WI");  Put(s, 223, "53703");
    EXPECT_EQ(1, ImportTaxpayerData(&dest, s.data(), PROGRAM_TAX_YEAR, 1));
    EXPECT_EQ("WI", TextAt(dest, RETURN_STATE));
    EXPECT_EQ("53703", TextAt(dest, RETURN_ZIP));
}

TEST(TaxpayerImport, OlderLayoutImportedFromLastYearWithoutUpgrade)
{
    std::vector<uint8_t> s = MakeOld2656();
    OpenReturn dest;
    InitOpenReturn(&dest);
    SetReturnText(&dest, RETURN_EIN, 12, "KEEPEIN");
    ScriptMessageBoxAnswer(IDYES);
    EXPECT_EQ(1, ImportTaxpayerData(&dest, s.data(), 2023, 0));
    EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find("ROBERT & MARY JONES"));
    EXPECT_EQ("ROBERT", TextAt(dest, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_EQ("61000", TextAt(dest, RETURN_TAXPAYER + PERSON_PRIOR_AGI));
    EXPECT_EQ("55555", TextAt(dest, RETURN_TAXPAYER + PERSON_PRIOR_PIN));
    EXPECT_EQ("42000", TextAt(dest, RETURN_SPOUSE + PERSON_PRIOR_AGI));
    EXPECT_EQ("77777", TextAt(dest, RETURN_SPOUSE + PERSON_PRIOR_PIN));
    EXPECT_EQ("KEEPEIN", TextAt(dest, RETURN_EIN));   // the older layout has no EIN
}

TEST(TaxpayerImport, OverlongSourceTextIsCutToItsMember)
{
    // The older layout's name members are wider than the current ones.
    std::vector<uint8_t> s = MakeSource(2656);
    memset(s.data() + 20, 'A', 25);   // first name fills its old member with no zero
    Put(s, 45, "MID");
    OpenReturn dest;
    EXPECT_EQ(1, ImportTaxpayerData(&dest, s.data(), PROGRAM_TAX_YEAR, 1));
    EXPECT_EQ(std::string(20, 'A'), TextAt(dest, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_EQ("MID", TextAt(dest, RETURN_TAXPAYER + PERSON_MIDDLE_NAME));
}

TEST(TaxpayerImport, UnknownSizesAreRefusedWithoutReadingFurther)
{
    // Each source sits at the very end of readable memory: a read past its size word's claim
    // (or past four bytes for an unknown size) faults.
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    DWORD page = info.dwPageSize;
    uint8_t *block = (uint8_t *)VirtualAlloc(NULL, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(nullptr, block);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_NOACCESS, &old));

    OpenReturn dest, before;
    InitOpenReturn(&dest);
    SetReturnText(&dest, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "KEEP");
    before = dest;
    const uint32_t refused[] = {0, 4, 2655, 2600, 3199, 3201, 0xFFFFFFFFu};
    for (uint32_t size : refused) {
        uint8_t *source = block + page - 4;
        memcpy(source, &size, 4);
        EXPECT_EQ(0, ImportTaxpayerData(&dest, source, 2024, 0)) << size;
        EXPECT_EQ(0, ImportTaxpayerData(&dest, source, PROGRAM_TAX_YEAR, 1)) << size;
    }
    EXPECT_TRUE(GetShownMessageBoxes().empty());
    EXPECT_EQ(0, memcmp(&before, &dest, sizeof dest));

    // Known older sizes read only inside their records.
    const uint32_t known[] = {2560, 2656};
    for (uint32_t size : known) {
        uint8_t *source = block + page - size;
        memset(source, 'z', size);   // no zero anywhere: every text runs to its limit
        memcpy(source, &size, 4);
        EXPECT_EQ(1, ImportTaxpayerData(&dest, source, PROGRAM_TAX_YEAR, 1)) << size;
        EXPECT_EQ(49u, strlen(ReturnText(&dest, RETURN_NAME_LINE))) << size;   // cut to its member
    }
    VirtualFree(block, 0, MEM_RELEASE);
    EXPECT_EQ(0, ImportTaxpayerData(NULL, &before, 2024, 0));
    EXPECT_EQ(0, ImportTaxpayerData(&dest, NULL, 2024, 0));
}

TEST(TaxpayerImport, UpgradeReturnRecordConvertsThroughTheImport)
{
    std::vector<uint8_t> s = MakeOld2656();
    OpenReturn dest;
    EXPECT_EQ(1, UpgradeReturnRecord(&dest, s.data(), (uint32_t)s.size()));
    EXPECT_EQ("MARY", TextAt(dest, RETURN_SPOUSE + PERSON_FIRST_NAME));
    EXPECT_EQ(0, UpgradeReturnRecord(&dest, s.data(), (uint32_t)s.size() - 1));
}

TEST(TaxpayerImport, SetMenuItemTextRenamesByCommand)
{
    HMENU menu = CreatePopupMenu();
    ASSERT_NE(nullptr, menu);
    AppendMenuA(menu, MF_STRING, 101, "First");
    AppendMenuA(menu, MF_STRING, 102, "Second");
    EXPECT_EQ(1, SetMenuItemText(menu, 102, "Renamed &Item"));
    char text[64];
    GetMenuStringA(menu, 102, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("Renamed &Item", text);
    GetMenuStringA(menu, 101, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("First", text);
    EXPECT_EQ(0, SetMenuItemText(menu, 999, "Nothing"));
    EXPECT_EQ(0, SetMenuItemText(NULL, 101, "x"));
    DestroyMenu(menu);
}

}  // namespace
