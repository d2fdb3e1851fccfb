// The values of the e-file information sheet: read from the record, stored through the edit
// rules, the address kind's other members emptied, a refused entry storing nothing.
#include "prepare/prepare.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

TEST(EfileSheetValues, StoredThroughTheEditRulesOrNotAtAll)
{
    OpenReturn record;
    InitOpenReturn(&record);
    SetReturnText(&record, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "Ann");
    SetReturnText(&record, RETURN_STATE, 3, "MN");
    SetReturnText(&record, RETURN_ZIP, 11, "55101");
    SetReturnText(&record, RETURN_APARTMENT, 21, "Apt 4");
    EfileSheetValues values;
    ReadEfileSheetValues(&record, &values);
    EXPECT_STREQ("Ann", values.text[EFS_TP_FIRST]);
    EXPECT_STREQ("Apt 4", values.text[EFS_APARTMENT]);
    EXPECT_EQ(0, values.foreignAddress);

    // A refused entry (an SSN of five digits) leaves the whole record as it was.
    OpenReturn before;
    memcpy(&before, &record, sizeof(before));
    snprintf(values.text[EFS_TP_FIRST], EFS_TEXT_SIZE, "Anna");
    snprintf(values.text[EFS_SP_SSN], EFS_TEXT_SIZE, "12345");
    int refused = -1;
    EXPECT_EQ(0, ApplyEfileSheetValues(&record, &values, &refused));
    EXPECT_EQ(EFS_SP_SSN, refused);
    EXPECT_EQ(0, memcmp(&before, &record, sizeof(record)));

    // A non-US address: its members stored, the US state, ZIP and apartment emptied.
    snprintf(values.text[EFS_SP_SSN], EFS_TEXT_SIZE, "400-01-2346");
    values.foreignAddress = 1;
    snprintf(values.text[EFS_COUNTRY], EFS_TEXT_SIZE, "France");
    snprintf(values.text[EFS_POSTAL_CODE], EFS_TEXT_SIZE, "69001");
    EXPECT_EQ(1, ApplyEfileSheetValues(&record, &values, &refused));
    EXPECT_STREQ("Anna", ReturnText(&record, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_STREQ("400012346", ReturnText(&record, RETURN_SPOUSE + PERSON_SSN));
    EXPECT_EQ('3', ReturnBytes(&record, RETURN_ADDRESS_KIND)[0]);
    EXPECT_STREQ("France", ReturnText(&record, RETURN_COUNTRY));
    EXPECT_STREQ("", ReturnText(&record, RETURN_STATE));
    EXPECT_STREQ("", ReturnText(&record, RETURN_ZIP));
    EXPECT_STREQ("", ReturnText(&record, RETURN_APARTMENT));
    EXPECT_STREQ("Apt 4", ReturnText(&record, RETURN_FOREIGN_APARTMENT));
    EXPECT_EQ(1, IsEfileSheetSlotUnused(EFS_ZIP, 1));
    EXPECT_EQ(0, IsEfileSheetSlotUnused(EFS_ZIP, 0));
}

} // namespace

namespace {

// A one-character item put right at the end of its member's text lengthens the text by that
// character only: old bytes after the text never join it.
TEST(EditRulesPosition, CharacterAtTheEndKeepsTheTextEnded)
{
    OpenReturn record;
    InitOpenReturn(&record);
    char *member = ReturnText(&record, RETURN_TAXPAYER + PERSON_SSN);
    memcpy(member, "12\0ZZZZZZZ", 10);
    EXPECT_EQ(1, ApplyFieldEditRules("1a:2", "3", &record, NULL));
    EXPECT_STREQ("123", member);
    EXPECT_EQ(0, ApplyFieldEditRules("1a:5", "4", &record, NULL));   // would leave a gap
    EXPECT_STREQ("123", member);
}

} // namespace
