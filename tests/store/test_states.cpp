// The state and region table: jurisdiction codes, sections, lookups, agency names.
#include "store/store.h"

#include <gtest/gtest.h>
#include <string.h>

#include <set>
#include <string>

TEST(StateTable, JurisdictionCodesAreAlphabeticalByName)
{
    EXPECT_STREQ("", gStateTable[0].abbreviation);
    EXPECT_STREQ("CA", gStateTable[5].abbreviation);
    EXPECT_STREQ("DC", gStateTable[9].abbreviation);
    EXPECT_STREQ("MI", gStateTable[23].abbreviation);
    EXPECT_STREQ("MN", gStateTable[24].abbreviation);
    EXPECT_STREQ("WY", gStateTable[51].abbreviation);
    for (int row = 2; row <= 51; row++)
        EXPECT_LT(strcmp(gStateTable[row - 1].name, gStateTable[row].name), 0) << "row " << row;
    EXPECT_STREQ("", gStateTable[52].abbreviation);  // the states' section ends here
}

TEST(StateTable, SectionsAreWellFormedAndAbbreviationsUnique)
{
    std::set<std::string> seen;
    int total = 0;
    for (int bit = 0; bit < 6; bit++) {
        int first = 0, end = 0;
        ASSERT_EQ(1, GetStateSectionRange(1 << bit, &first, &end)) << "group " << (1 << bit);
        EXPECT_LT(first, end) << "group " << (1 << bit) << " is empty";
        EXPECT_STREQ("", gStateTable[first - 1].abbreviation);
        ASSERT_LT(end, gStateTableRowCount);
        for (int row = first; row < end; row++) {
            const UsStateRow &state = gStateTable[row];
            EXPECT_EQ(2u, strlen(state.abbreviation)) << "row " << row;
            EXPECT_LT(strnlen(state.name, 64), 64u) << "row " << row;
            EXPECT_TRUE(seen.insert(state.abbreviation).second) << "duplicate " << state.abbreviation;
            total++;
        }
    }
    EXPECT_EQ(gStateTableRowCount - 7, total);  // every other row is a section boundary
    int first = 0, end = 0;
    ASSERT_EQ(1, GetStateSectionRange(STATE_GROUP_STATES, &first, &end));
    EXPECT_EQ(1, first);
    EXPECT_EQ(52, end);
    EXPECT_EQ(0, GetStateSectionRange(3, &first, &end));
    EXPECT_EQ(0, GetStateSectionRange(64, &first, &end));
    EXPECT_EQ(0, GetStateSectionRange(0, &first, &end));
}

TEST(StateTable, LookupByAbbreviationOrNameWithinGroups)
{
    char out[64];
    EXPECT_EQ(24, LookupUsState("MN", out, 1));
    EXPECT_STREQ("Minnesota", out);
    EXPECT_EQ(24, LookupUsState("mn", NULL, 1));
    EXPECT_EQ(5, LookupUsState("california", out, 1));
    EXPECT_STREQ("CA", out);
    EXPECT_EQ(9, LookupUsState("District of Columbia", out, 0));  // 0 means the states
    EXPECT_STREQ("DC", out);
    // Further sections only when their group is asked for.
    EXPECT_EQ(0, LookupUsState("AE", out, STATE_GROUP_STATES));
    int row = LookupUsState("AE", out, STATE_GROUP_STATES | STATE_GROUP_MILITARY);
    EXPECT_GT(row, 51);
    EXPECT_STREQ("Armed Forces Europe", out);
    EXPECT_GT(LookupUsState("Puerto Rico", out, STATE_GROUP_POSSESSIONS), 51);
    EXPECT_STREQ("PR", out);
    EXPECT_EQ(0, LookupUsState("Ontario", out, STATE_GROUP_STATES | STATE_GROUP_POSSESSIONS));
    EXPECT_GT(LookupUsState("ON", NULL, STATE_GROUP_CANADA), 51);
    EXPECT_GT(LookupUsState("Mexico", NULL, STATE_GROUP_COUNTRIES), 51);
    EXPECT_GT(LookupUsState("XX", NULL, STATE_GROUP_OTHER), 51);
    // Not found: empty, partial, one letter, padded.
    strcpy(out, "keep");
    EXPECT_EQ(0, LookupUsState("", out, 63));
    EXPECT_EQ(0, LookupUsState("M", out, 63));
    EXPECT_EQ(0, LookupUsState("Minn", out, 63));
    EXPECT_EQ(0, LookupUsState("MN ", out, 63));
    EXPECT_EQ(0, LookupUsState(NULL, out, 63));
    EXPECT_STREQ("keep", out);
}

TEST(StateTable, AgencyNames)
{
    char shortName[16], longName[64];
    ASSERT_EQ(1, GetStateAgencyName(24, 0, 0, shortName, longName));
    EXPECT_STREQ("MN DOR", shortName);
    EXPECT_STREQ("Minnesota Department of Revenue", longName);
    ASSERT_EQ(1, GetStateAgencyName(5, 0, 0, shortName, NULL));
    EXPECT_STREQ("CA FTB", shortName);
    ASSERT_EQ(1, GetStateAgencyName(23, 0, 0, NULL, longName));
    EXPECT_STREQ("Michigan Department of Treasury", longName);
    // Unknown agencies leave the caller's defaults in place.
    strcpy(shortName, " ");
    strcpy(longName, "%your/your client's% state government");
    EXPECT_EQ(0, GetStateAgencyName(33, 0, 0, shortName, longName));
    EXPECT_EQ(0, GetStateAgencyName(0, 0, 0, shortName, longName));
    EXPECT_STREQ(" ", shortName);
    EXPECT_STREQ("%your/your client's% state government", longName);
}
