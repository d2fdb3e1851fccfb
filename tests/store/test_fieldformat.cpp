// Type-code parsing: the parts, their letters, digits, marks and bracket texts.
#include "store/store.h"

#include <gtest/gtest.h>
#include <string.h>

struct FormatCase {
    const char *code;
    int skip;
    int count;
    const char *letters;   // the parts' letters in order
};

TEST(FieldFormat, PartCountsAndLetters)
{
    const FormatCase cases[] = {
        {"N", 0, 1, "N"},
        {"NS", 0, 2, "NS"},
        {"NS", 1, 1, "N"},               // 'S' gives no part with skipFlag
        {"Cb[1x]", 1, 0, ""},            // calculated prefix, then a skipped 'b'
        {"Cb[1x]", 0, 1, "b"},
        {"CN", 0, 1, "N"},               // the 'C' before a letter is a prefix
        {"C", 0, 1, "C"},                // a lone 'C' is a part
        {"T[1a]", 0, 1, "T"},
        {"S[sig]", 0, 1, "S"},
        {"S[sig]", 1, 0, ""},
        {"[xx]N", 0, 1, "N"},            // bracket text after no letter is skipped
        {"^VN", 0, 2, "VN"},             // a leading '^' is not a part
        {"ABCDEFG", 0, 5, "ABCDE"},      // at most five parts (the leading 'A' is not a prefix)
        {"x[o]", 0, 1, "x"},
        {"", 0, 0, ""},
        {"[unterminated", 0, 0, ""},
    };
    for (const FormatCase &c : cases) {
        FieldFormat f;
        int n = ParseFieldFormat(c.code, &f, c.skip);
        EXPECT_EQ(c.count, n) << c.code;
        EXPECT_EQ(n, f.count) << c.code;
        for (int i = 0; i < n && i < (int)strlen(c.letters); i++)
            EXPECT_EQ(c.letters[i], f.parts[i].letter) << c.code << " part " << i;
        if (n) {
            EXPECT_EQ(c.letters[0], *(const char *)&f) << "first byte is the first letter: " << c.code;
        }
    }
    FieldFormat f;
    EXPECT_EQ(0, ParseFieldFormat(NULL, &f, 0));
    EXPECT_EQ(0, ParseFieldFormat("N", NULL, 0));
}

TEST(FieldFormat, CalculatedPrefixIsRecorded)
{
    FieldFormat f;
    ASSERT_EQ(1, ParseFieldFormat("cR[10.2]", &f, 1));
    EXPECT_EQ('c', f.prefix);
    EXPECT_EQ(1, f.parts[0].calculated);
    EXPECT_EQ('R', f.parts[0].letter);
    ASSERT_EQ(1, ParseFieldFormat("N", &f, 1));
    EXPECT_EQ(0, f.prefix);
}

TEST(FieldFormat, DigitsDecimalsAndSign)
{
    FieldFormat f;
    ASSERT_EQ(1, ParseFieldFormat("R[10.2]", &f, 0));
    EXPECT_EQ(10, f.parts[0].intDigits);
    EXPECT_EQ(2, f.parts[0].decimals);
    ASSERT_EQ(1, ParseFieldFormat("R[1.1]", &f, 0));
    EXPECT_EQ(1, f.parts[0].intDigits);
    EXPECT_EQ(1, f.parts[0].decimals);
    ASSERT_EQ(1, ParseFieldFormat("N-12", &f, 0));
    EXPECT_EQ('-', f.parts[0].sign);
    EXPECT_EQ(12, f.parts[0].intDigits);
    ASSERT_EQ(1, ParseFieldFormat("L-", &f, 0));
    EXPECT_EQ('L', f.parts[0].letter);
    EXPECT_EQ('-', f.parts[0].sign);
    ASSERT_EQ(1, ParseFieldFormat("Q99999999", &f, 0));
    EXPECT_EQ(65535, f.parts[0].intDigits);   // saturated, no overflow
}

TEST(FieldFormat, BracketMarksAndColonDigit)
{
    FieldFormat f;
    ASSERT_EQ(1, ParseFieldFormat("s[-c:3><]", &f, 0));
    EXPECT_STREQ("-c", f.parts[0].bracket);
    EXPECT_EQ(1, f.parts[0].greaterMark);
    EXPECT_EQ(1, f.parts[0].lessMark);
    EXPECT_EQ('3', f.parts[0].colonDigit);
    ASSERT_EQ(1, ParseFieldFormat("N[5>]", &f, 0));
    EXPECT_EQ(1, f.parts[0].greaterMark);
    EXPECT_EQ(0, f.parts[0].lessMark);
    EXPECT_EQ(5, f.parts[0].intDigits);
    // Zero-or-alternative mark: 'a' and '*' parts, and 'z' bracket texts.
    ASSERT_EQ(3, ParseFieldFormat("a*N[z]", &f, 0));
    EXPECT_EQ(1, f.parts[0].mark);
    EXPECT_EQ(1, f.parts[1].mark);
    EXPECT_EQ(1, f.parts[2].mark);
    ASSERT_EQ(1, ParseFieldFormat("N", &f, 0));
    EXPECT_EQ(0, f.parts[0].mark);
    // A bracket text longer than the part's buffer is cut, not overrun.
    char longCode[200] = "V[";
    memset(longCode + 2, 'q', 150);
    strcat(longCode, "]N");
    ASSERT_EQ(2, ParseFieldFormat(longCode, &f, 0));
    EXPECT_EQ(63u, strlen(f.parts[0].bracket));
    EXPECT_EQ('N', f.parts[1].letter);
}

TEST(FieldFormat, TaxpayerItemsAndNumbers)
{
    FieldFormat f;
    ASSERT_EQ(1, ParseFieldFormat("T[1bc]", &f, 0));
    EXPECT_EQ('1', f.parts[0].taxKind);
    EXPECT_EQ('b', f.parts[0].itemLetter);
    EXPECT_EQ('c', f.parts[0].itemFlag);
    EXPECT_EQ(0, f.parts[0].position);
    ASSERT_EQ(1, ParseFieldFormat("T[2a:4]", &f, 0));
    EXPECT_EQ('2', f.parts[0].taxKind);
    EXPECT_EQ('a', f.parts[0].itemLetter);
    EXPECT_EQ('4', f.parts[0].position);
    ASSERT_EQ(1, ParseFieldFormat("T[3]", &f, 0));
    EXPECT_EQ('3', f.parts[0].taxKind);
    EXPECT_EQ(0, f.parts[0].itemLetter);
    // Button and joined-name numbers, with the wide mark.
    ASSERT_EQ(1, ParseFieldFormat("B105L", &f, 0));
    EXPECT_EQ(105, f.parts[0].number);
    EXPECT_EQ(1, f.parts[0].lMark);
    ASSERT_EQ(2, ParseFieldFormat("LB205", &f, 0));
    EXPECT_EQ(205, f.parts[1].number);
    EXPECT_EQ(0, f.parts[1].lMark);
    ASSERT_EQ(1, ParseFieldFormat("i[3]", &f, 0));
    EXPECT_EQ(3, f.parts[0].number);
    ASSERT_EQ(1, ParseFieldFormat("i2", &f, 0));
    EXPECT_EQ(2, f.parts[0].number);
    ASSERT_EQ(1, ParseFieldFormat("V", &f, 0));
    EXPECT_EQ(-1, f.parts[0].number);
}

TEST(FieldFormat, AttributeTextIntegers)
{
    FieldRecord field = {};
    char list[] = "*[250,2,-3]";
    field.valueList = list;
    int a = 9, b = 9, c = 9, d = 9;
    EXPECT_EQ(3, ParseFieldAttributes(&field, &a, &b, &c, &d));
    EXPECT_EQ(250, a);
    EXPECT_EQ(2, b);
    EXPECT_EQ(-3, c);
    EXPECT_EQ(0, d);
    EXPECT_EQ(3, ParseFieldAttributes(&field, NULL, &b, NULL, NULL));
    field.valueList = NULL;
    EXPECT_EQ(0, ParseFieldAttributes(&field, &a, &b, &c, &d));
    EXPECT_EQ(0, a);
}
