// Field hint texts: the allowable characters of every letter, the parts joined with their
// separators, the grid's description clean-up.
#include "entry/entry.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

std::string Chars(char letter, int kind = 0, int grid = 0, const char *bracket = "", int digits = 0, int decimals = 0)
{
    char out[200];
    GetPartAllowedCharsText(letter, kind, grid, bracket, digits, decimals, out, sizeof(out));
    return out;
}

TEST(HintChars, EveryLetterOfTheTable)
{
    for (char letter : {TYPE_LETTER_CODE1, 'G', 'N', 'U', 'm', 't'}) EXPECT_EQ("0-9", Chars(letter));
    EXPECT_EQ("A-Z, 0-9, ~`!@$%^&*()_-+={}|\\:;<>?/.,'\"", Chars('*'));
    EXPECT_EQ("A-Z", Chars('A'));
    EXPECT_EQ("A-Z", Chars('s'));
    EXPECT_EQ("ABCDEFGHJKLMNPQRSTUVWXYZ", Chars('A', 0, 0, "~IO"));
    EXPECT_EQ("0-9 (Format: mmddyyyy)", Chars('D'));
    EXPECT_EQ("0-9 (Format: yyyymmdd)", Chars('E'));
    EXPECT_EQ("0-9 (Format: mmddyy)", Chars('O'));
    EXPECT_EQ("0-9 (Format: yyyy)", Chars('Y'));
    EXPECT_EQ("0-9 (Format: mmyyyy)", Chars('d'));
    EXPECT_EQ("0-9 (Format: yyyymm)", Chars('e'));
    EXPECT_EQ("A-Z, 0-9", Chars('K'));
    EXPECT_EQ("A-Z, 0-9", Chars('a', ENTRY_KIND_ALNUM));
    EXPECT_EQ("%, A-Z, 0-9", Chars('a', ENTRY_KIND_PERCENT_TEXT));
    EXPECT_EQ("., 0-9 (Format: nnnnnnn.nnnn)", Chars('Q'));
    EXPECT_EQ("., 0-9 (Format: nnnnnnnnnn.nn)", Chars('R', 0, 0, "", 10, 2));
    EXPECT_EQ("., 0-9 (Format: nnn)", Chars('R', 0, 0, "", 3, 0));
    EXPECT_EQ("., 0-9 (Format: .nnnnnn)", Chars('r'));
    EXPECT_EQ("Select from list", Chars('V'));
    EXPECT_EQ("Select from list", Chars('v'));
    EXPECT_EQ("", Chars('X'));
    EXPECT_EQ("X", Chars('x', 0, 1));
    EXPECT_EQ("0-9, -", Chars('Z'));
    EXPECT_EQ("A-Z, 0-9, -", Chars('f'));
    EXPECT_EQ("A-Z, 0-9, -'", Chars('i'));
    EXPECT_EQ("A-Z, 0-9, #-()&'", Chars('j'));
    EXPECT_EQ("0-9, Pnnnnnnnn, Snnnnnnnn)", Chars('p'));
    EXPECT_EQ("A-Z, 0-9, -/", Chars('u'));
    EXPECT_EQ("", Chars('L'));
    // A huge digit count stays inside the buffer.
    char small[12];
    EXPECT_EQ(11, GetPartAllowedCharsText('R', 0, 0, "", 60000, 2, small, sizeof(small)));
    EXPECT_EQ(11u, strlen(small));
}

FieldFormat MakeFormat(const char *letters)
{
    FieldFormat f;
    memset(&f, 0, sizeof(f));
    for (const char *p = letters; *p && f.count < FIELD_FORMAT_MAX_PARTS; p++) {
        f.parts[f.count].letter = *p;
        f.parts[f.count].number = -1;
        f.count++;
    }
    return f;
}

TEST(HintText, PageViewHintWithLineDescriptionPartsAndLength)
{
    FieldRecord field;
    memset(&field, 0, sizeof(field));
    field.line = (char *)"1a";
    field.description = (char *)"Wages \x96 W-2 box 1";
    field.length = (char *)"12";
    FieldFormat format = MakeFormat("NS");
    char hint[512];
    int length = BuildFieldHintText(hint, sizeof(hint), "Form 1040", 1, &field, &format, "NS");
    EXPECT_STREQ("Form 1040 - Line 1a\r\n  - Description: Wages - W-2 box 1\r\n  - Allowable chars: 0-9"
                 "\r\n  - Max length: 12",
                 hint);
    EXPECT_EQ((int)strlen(hint), length);

    // Two typed parts are joined with ", "; a calculated code joins them without it.
    FieldFormat two = MakeFormat("AZ");
    BuildFieldHintText(hint, sizeof(hint), "X", 2, NULL, &two, "AZ");
    EXPECT_STREQ("X\r\n  - Allowable chars: A-Z, 0-9, -", hint);
    two.prefix = 'C';
    BuildFieldHintText(hint, sizeof(hint), "X", 2, NULL, &two, "CAZ");
    EXPECT_STREQ("X\r\n  - Allowable chars: A-Z0-9, -", hint);
    // A grid cell's check mark allows "X"; no line for the grid.
    FieldFormat check = MakeFormat("x");
    BuildFieldHintText(hint, sizeof(hint), "Col", 2, &field, &check, "x");
    EXPECT_STREQ("Col\r\n  - Description: Wages - W-2 box\r\n  - Allowable chars: X\r\n  - Max length: 12", hint);
}

TEST(HintText, BoundedByTheBuffer)
{
    FieldRecord field;
    memset(&field, 0, sizeof(field));
    std::string longText(1000, 'd');
    field.description = (char *)longText.c_str();
    field.length = (char *)"5";
    FieldFormat format = MakeFormat("*");
    char hint[64];
    memset(hint, 'Z', sizeof(hint));
    int length = BuildFieldHintText(hint, 40, "Caption", 1, &field, &format, NULL);
    EXPECT_EQ(39, length);
    EXPECT_EQ(0, hint[39]);
    EXPECT_EQ('Z', hint[40]);
    EXPECT_EQ(0, BuildFieldHintText(hint, 0, "Caption", 1, &field, &format, NULL));
}

std::string Trim(const char *text)
{
    char buffer[128];
    strcpy(buffer, text);
    return TrimDescriptionSuffix(buffer);
}

TEST(TrimDescription, SuffixesOfGridDescriptions)
{
    EXPECT_EQ("Wages", Trim("Wages 1"));
    EXPECT_EQ("Wages 1a", Trim("Wages 1a"));
    EXPECT_EQ("Dividends", Trim("Dividends - (3)  "));
    EXPECT_EQ("Interest", Trim("Interest 2A"));
    EXPECT_EQ("Line total", Trim("Line 1 total"));   // nothing trimmed: " 1 " becomes one blank
    EXPECT_EQ("Box 1", Trim("Box 1 2"));
    EXPECT_EQ("", Trim("123"));
    EXPECT_EQ("", Trim(""));
    EXPECT_EQ("", Trim("   "));
    EXPECT_EQ("", Trim(" - 1"));
}

}  // namespace
