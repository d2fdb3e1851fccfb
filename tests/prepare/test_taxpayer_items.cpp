// Taxpayer items of 'T' type codes, 'P' sub-letters, the edit rules and the name line.
#include "prepare/prepare.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <string.h>

struct ItemCase {
    const char *code;   // type code
    int kind;
    char base;
    int offset;         // expected member offset
};

TEST(TaxpayerItems, EveryItemMapsToAMemberKindAndBaseLetter)
{
    const ItemCase cases[] = {
        {"T[1a]", 14, 'N', RETURN_TAXPAYER + PERSON_SSN},
        {"T[2a]", 14, 'N', RETURN_SPOUSE + PERSON_SSN},
        {"T[1b]", 4, 'i', RETURN_TAXPAYER + PERSON_FIRST_NAME},
        {"T[2d]", 4, 'i', RETURN_SPOUSE + PERSON_LAST_NAME},
        {"T[1y]", 21, 'D', RETURN_TAXPAYER + PERSON_BIRTH_DATE},
        {"T[2u]", 21, 'D', RETURN_SPOUSE + PERSON_DEATH_DATE},
        {"T[1v]", 16, 'N', RETURN_TAXPAYER + PERSON_AGI},
        {"T[1w]", 16, 'N', RETURN_TAXPAYER + PERSON_PRIOR_AGI},
        {"T[1x]", 22, 'N', RETURN_TAXPAYER + PERSON_PRIOR_PIN},
        {"T[2z]", 22, 'N', RETURN_SPOUSE + PERSON_SELF_PIN},
        {"T[1i]", 10, 's', RETURN_STATE},
        {"T[2i]", 10, 's', RETURN_STATE},           // return members: same for both persons
        {"T[1j]", 11, 'Z', RETURN_ZIP},
        {"T[1h]", 4, 'f', RETURN_CITY},
        {"T[1n]", 4, 'f', RETURN_CITY},
        {"T[1m]", 1, 'j', RETURN_STREET},
        {"T[1s]", 25, 't', RETURN_PHONE},
        {"T[1@]", 28, 'X', RETURN_DEPENDENT_FLAG},
        {"T[0]", 8, '*', RETURN_NAME_LINE},
        {"T[3]", 31, 'm', RETURN_EIN},
    };
    OpenReturn r;
    InitOpenReturn(&r);
    for (const ItemCase &c : cases) {
        FieldFormat f;
        ASSERT_EQ(1, ParseFieldFormat(c.code, &f, 0)) << c.code;
        int kind = -1, subkind = -1, size = 0;
        char *member = NULL;
        const char *values[3];
        EXPECT_EQ(1, ParseTaxpayerFieldType(f.parts[0].itemLetter, &f.parts[0], f.parts[0].bracket,
                                            &kind, &subkind, &r, values, &member, &size))
            << c.code;
        EXPECT_EQ(c.kind, kind) << c.code;
        EXPECT_EQ((char *)r.bytes + c.offset, member) << c.code;
        EXPECT_EQ(GetReturnMemberSize(c.offset), size) << c.code;
        TaxpayerItemInfo info;
        ASSERT_EQ(1, GetTaxpayerItemInfo(f.parts[0].taxKind, f.parts[0].itemLetter, &info)) << c.code;
        EXPECT_EQ(c.base, info.baseLetter) << c.code;
    }
    // Unknown letters and kinds leave the field alone.
    FieldFormat f;
    ParseFieldFormat("T[1q]", &f, 0);
    EXPECT_EQ(0, ParseTaxpayerFieldType('q', &f.parts[0], "1q", NULL, NULL, NULL, NULL, NULL, NULL));
    EXPECT_EQ(0, ParseTaxpayerFieldType(0, NULL, "9a", NULL, NULL, NULL, NULL, NULL, NULL));
    EXPECT_EQ(0, ParseTaxpayerFieldType('{', NULL, "1{", NULL, NULL, NULL, NULL, NULL, NULL));
    // The bracket text alone is enough.
    int kind = 0;
    EXPECT_EQ(1, ParseTaxpayerFieldType(0, NULL, "2y", &kind, NULL, NULL, NULL, NULL, NULL));
    EXPECT_EQ(21, kind);
}

TEST(TaxpayerItems, FlaggedItemsGiveTheirSecondPiece)
{
    OpenReturn r;
    InitOpenReturn(&r);
    SetReturnText(&r, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "Ann");
    SetReturnText(&r, RETURN_TAXPAYER + PERSON_MIDDLE_NAME, 21, "B");
    SetReturnText(&r, RETURN_TAXPAYER + PERSON_LAST_NAME, 21, "Lee");
    SetReturnText(&r, RETURN_STREET, 36, "12 Oak St Apt 4");
    SetReturnText(&r, RETURN_APARTMENT, 21, "apt 4");
    const char *v[3];
    FieldFormat f;
    ParseFieldFormat("T[1bc]", &f, 0);
    EXPECT_EQ(2, ParseTaxpayerFieldType('b', &f.parts[0], NULL, NULL, NULL, &r, v, NULL, NULL));
    EXPECT_STREQ("Ann", v[0]);
    EXPECT_STREQ("B", v[1]);
    ParseFieldFormat("T[1b]", &f, 0);
    EXPECT_EQ(1, ParseTaxpayerFieldType('b', &f.parts[0], NULL, NULL, NULL, &r, v, NULL, NULL));
    ParseFieldFormat("T[1de]", &f, 0);   // no suffix: one piece
    EXPECT_EQ(1, ParseTaxpayerFieldType('d', &f.parts[0], NULL, NULL, NULL, &r, v, NULL, NULL));
    ParseFieldFormat("T[1fg]", &f, 0);   // the street already ends with the apartment
    EXPECT_EQ(1, ParseTaxpayerFieldType('f', &f.parts[0], NULL, NULL, NULL, &r, v, NULL, NULL));
    SetReturnText(&r, RETURN_STREET, 36, "12 Oak St");
    EXPECT_EQ(2, ParseTaxpayerFieldType('f', &f.parts[0], NULL, NULL, NULL, &r, v, NULL, NULL));
    EXPECT_STREQ("apt 4", v[1]);
}

TEST(TaxpayerItems, PreparerSubLetters)
{
    int kind = -1, subkind = -1;
    EXPECT_EQ(1, ParsePTypeCode('a', NULL, NULL, &kind, &subkind));
    EXPECT_EQ(27, kind);
    EXPECT_EQ(1, ParsePTypeCode(0, NULL, "i", &kind, &subkind));
    EXPECT_EQ(10, kind);
    EXPECT_EQ(STATE_GROUP_STATES, subkind);
    EXPECT_EQ(0, ParsePTypeCode('?', NULL, NULL, &kind, &subkind));
}

TEST(EditRules, ValuesAreNormalisedOrRefused)
{
    OpenReturn r;
    InitOpenReturn(&r);
    struct {
        const char *item, *text;
        int ok;
        int offset;
        const char *stored;
    } cases[] = {
        {"1a", "123-45-6789", 1, RETURN_TAXPAYER + PERSON_SSN, "123456789"},
        {"1a", "12345", 0, RETURN_TAXPAYER + PERSON_SSN, "123456789"},   // refused: unchanged
        {"2y", "2/3/1961", 1, RETURN_SPOUSE + PERSON_BIRTH_DATE, "02/03/1961"},
        {"2y", "13/45/1961", 0, RETURN_SPOUSE + PERSON_BIRTH_DATE, "02/03/1961"},
        {"1i", "minnesota", 1, RETURN_STATE, "MN"},
        {"1i", "zz", 0, RETURN_STATE, "MN"},
        {"1j", "55101-1234", 1, RETURN_ZIP, "55101-1234"},
        {"1j", "5510", 0, RETURN_ZIP, "55101-1234"},
        {"1s", "(651) 555-0100", 1, RETURN_PHONE, "6515550100"},
        {"1z", "12345", 1, RETURN_TAXPAYER + PERSON_SELF_PIN, "12345"},
        {"1b", "Mary-Jo", 1, RETURN_TAXPAYER + PERSON_FIRST_NAME, "Mary-Jo"},
        {"1b", "M4ry", 0, RETURN_TAXPAYER + PERSON_FIRST_NAME, "Mary-Jo"},
        {"1b", "Abcdefghijklmnopqrstuvwxyz", 0, RETURN_TAXPAYER + PERSON_FIRST_NAME, "Mary-Jo"},
        {"1d", "Smith", 1, RETURN_TAXPAYER + PERSON_LAST_NAME, "Smith"},
        {"1!", "6", 0, RETURN_FILING_STATUS, ""},
        {"1!", "2", 1, RETURN_FILING_STATUS, "2"},
        {"3", "41-1234567", 1, RETURN_EIN, "411234567"},
        {"1a", "", 1, RETURN_TAXPAYER + PERSON_SSN, ""},                // emptied
        {"1q", "x", 0, RETURN_TAXPAYER, ""},                            // unknown item
    };
    for (auto &c : cases) {
        EXPECT_EQ(c.ok, ApplyFieldEditRules(c.item, c.text, &r, NULL)) << c.item << " " << c.text;
        EXPECT_STREQ(c.stored, ReturnText(&r, c.offset)) << c.item << " " << c.text;
    }
    EXPECT_EQ(1, r.bytes[RETURN_TAXPAYER + PERSON_SELF_PIN_FLAG]);
    EXPECT_STREQ("Mary-Jo Smith", ReturnText(&r, RETURN_NAME_LINE));   // rebuilt after name edits
    EXPECT_EQ(0, ApplyFieldEditRules("1a", "1", NULL, NULL));
}

TEST(NameLine, JointNamesAndShortening)
{
    char line[50];
    const char *single[4] = {"John", "Adam", "Smith", "Jr"};
    EXPECT_EQ(15, BuildNameLine(line, sizeof line, single, 4));
    EXPECT_STREQ("John A Smith Jr", line);
    const char *same[8] = {"John", "Adam", "Smith", "", "Jane", "Beth", "Smith", ""};
    BuildNameLine(line, sizeof line, same, 8);
    EXPECT_STREQ("John A & Jane B Smith", line);
    const char *diff[8] = {"John", NULL, "Smith", NULL, "Jane", NULL, "Doe", NULL};
    BuildNameLine(line, sizeof line, diff, 8);
    EXPECT_STREQ("John Smith & Jane Doe", line);
    const char *longNames[8] = {"Maximiliana", "Q", "Featherstonehaugh", "III",
                                "Bartholomew", "R", "Wolfeschlegelstein", "Jr"};
    int n = BuildNameLine(line, sizeof line, longNames, 8);
    EXPECT_LT(n, 50);
    EXPECT_EQ(NULL, strstr(line, " Q "));   // middle initials dropped first
    char tiny[8];
    BuildNameLine(tiny, sizeof tiny, single, 4);
    EXPECT_EQ(7u, strlen(tiny));            // cut, never overrun
}

// A blank first name never leaves "&" at either end of the name line: the taxpayer's is refused
// with its reason while a spouse is entered, and the line joins only the names that are there.
TEST(NameLine, NoAmpersandWithoutANameOnEachSide)
{
    struct {
        const char *item, *text, *spouseFirst;
        int ok;
        const char *line;
    } cases[] = {
        {"1bc", "   ", "Jane", 0, "John A & Jane B Sample"},   // refused: unchanged
        {"1b", "", "Jane", 0, "John A & Jane B Sample"},
        {"1bc", "   ", "", 1, "Sample"},
        {"2bc", "   ", "Jane", 1, "John A Sample"},
        {"1bc", "Jim", "Jane", 1, "Jim & Jane B Sample"},
    };
    for (const auto &c : cases) {
        OpenReturn r;
        InitOpenReturn(&r);
        SetReturnText(&r, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "John");
        SetReturnText(&r, RETURN_TAXPAYER + PERSON_MIDDLE_NAME, 21, "Adam");
        SetReturnText(&r, RETURN_SPOUSE + PERSON_FIRST_NAME, 21, c.spouseFirst);
        SetReturnText(&r, RETURN_SPOUSE + PERSON_MIDDLE_NAME, 21, "Beth");
        ASSERT_EQ(1, ApplyFieldEditRules("2d", "Sample", &r, NULL));
        ASSERT_EQ(1, ApplyFieldEditRules("1d", "Sample", &r, NULL));
        EXPECT_EQ(c.ok, ApplyFieldEditRules(c.item, c.text, &r, NULL)) << c.item << " " << c.spouseFirst;
        EXPECT_EQ(!c.ok, gEditRulesRefusal != NULL) << c.item << " " << c.spouseFirst;
        EXPECT_STREQ(c.line, ReturnText(&r, RETURN_NAME_LINE)) << c.item << " " << c.spouseFirst;
    }
    // Names stored without a first name (an older file, an import) still give a line without "&".
    char line[50];
    const char *same[8] = {"", "Adam", "Sample", "", "Jane", "Beth", "Sample", ""};
    BuildNameLine(line, sizeof line, same, 8);
    EXPECT_STREQ("Jane B Sample", line);
    const char *diff[8] = {"", NULL, "Smith", NULL, "Jane", NULL, "Doe", NULL};
    BuildNameLine(line, sizeof line, diff, 8);
    EXPECT_STREQ("Smith & Jane Doe", line);
}

// A field of two members ("first name and middle initial", "last name" with suffix, street
// with apartment) stores its text split into both members.
TEST(EditRules, CombinedItemsSplitIntoTheirMembers)
{
    struct {
        const char *item, *text, *oldMain, *oldExtra;
        int mainOffset, extraOffset, extraSize;
        const char *main, *extra;
    } cases[] = {
        {"1bc", "Mary K", "John", "Adam", PERSON_FIRST_NAME, PERSON_MIDDLE_NAME, 21, "Mary", "K"},
        {"1bc", "Mary K.", "John", "Adam", PERSON_FIRST_NAME, PERSON_MIDDLE_NAME, 21, "Mary", "K"},
        {"1bc", "John Adam", "John", "Adam", PERSON_FIRST_NAME, PERSON_MIDDLE_NAME, 21, "John", "Adam"},
        {"1bc", "Mary", "John", "Adam", PERSON_FIRST_NAME, PERSON_MIDDLE_NAME, 21, "Mary", ""},
        {"2bc", "Mary Ann", "Jane", "", PERSON_FIRST_NAME, PERSON_MIDDLE_NAME, 21, "Mary Ann", ""},
        {"1de", "Sample Jr", "Sample", "", PERSON_LAST_NAME, PERSON_SUFFIX, 4, "Sample", "Jr"},
        {"1de", "Van Dyke", "Sample", "Sr", PERSON_LAST_NAME, PERSON_SUFFIX, 4, "Van Dyke", ""},
        {"2de", "Smith III", "Sample", "", PERSON_LAST_NAME, PERSON_SUFFIX, 4, "Smith", "III"},
        {"1fg", "9 Elm Road Apt 4", "123 Main Street", "Apt 4", RETURN_STREET, RETURN_APARTMENT, 21, "9 Elm Road",
         "Apt 4"},
        {"1fg", "9 Elm Road", "123 Main Street", "Apt 4", RETURN_STREET, RETURN_APARTMENT, 21, "9 Elm Road", ""},
    };
    for (const auto &c : cases) {
        OpenReturn r;
        InitOpenReturn(&r);
        int person = c.mainOffset != RETURN_STREET;
        int block = !person ? 0 : c.item[0] == '2' ? RETURN_SPOUSE : RETURN_TAXPAYER;
        SetReturnText(&r, block + c.mainOffset, 21, c.oldMain);
        SetReturnText(&r, block + c.extraOffset, c.extraSize, c.oldExtra);
        EXPECT_EQ(1, ApplyFieldEditRules(c.item, c.text, &r, NULL)) << c.item << " " << c.text;
        EXPECT_STREQ(c.main, ReturnText(&r, block + c.mainOffset)) << c.item << " " << c.text;
        EXPECT_STREQ(c.extra, ReturnText(&r, block + c.extraOffset)) << c.item << " " << c.text;
    }
    // Both members or neither: a refused member leaves the record unchanged.
    OpenReturn r;
    InitOpenReturn(&r);
    SetReturnText(&r, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "John");
    SetReturnText(&r, RETURN_TAXPAYER + PERSON_MIDDLE_NAME, 21, "Adam");
    EXPECT_EQ(0, ApplyFieldEditRules("1bc", "Mary 7", &r, NULL));
    EXPECT_EQ(0, ApplyFieldEditRules("1bc", "Maryanneelizabethlouise K", &r, NULL));
    EXPECT_STREQ("John", ReturnText(&r, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_STREQ("Adam", ReturnText(&r, RETURN_TAXPAYER + PERSON_MIDDLE_NAME));
    // The name line follows both members.
    SetReturnText(&r, RETURN_TAXPAYER + PERSON_LAST_NAME, 21, "Sample");
    EXPECT_EQ(1, ApplyFieldEditRules("1bc", "Mary K", &r, NULL));
    EXPECT_STREQ("Mary K Sample", ReturnText(&r, RETURN_NAME_LINE));
}
