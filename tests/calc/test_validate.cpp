// Field validators: accepted texts and their normal forms, refusals and how they are reported.
#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "calc/calc.h"
#include "entry/entry.h"
#include "tests/harness/harness.h"

namespace {

struct Case {
    int kind;
    int subkind;
    char letter;
    int length;
    const char *input;
    int ok;
    const char *normal;  // expected text after a successful check
};

// Runs the validator with a message buffer, so refusals are written, never shown.
int Check(const Case &c, std::string *out, std::string *message = nullptr, const char *valueList = nullptr,
          const char *bracket = nullptr, const char *related = nullptr, const FieldFormatPart *part = nullptr)
{
    char text[VALIDATE_TEXT_SIZE];
    snprintf(text, sizeof text, "%s", c.input);
    char buffer[VALIDATE_MESSAGE_SIZE] = "";
    int r = ValidateFieldData(text, buffer, "Line 1a", c.kind, c.subkind, nullptr, 0, valueList, part, c.letter,
                              bracket, related, c.length, 1);
    *out = text;
    if (message)
        *message = buffer;
    return r;
}

void RunCases(const Case *cases, int n)
{
    for (int i = 0; i < n; i++) {
        std::string out, message;
        int r = Check(cases[i], &out, &message);
        EXPECT_EQ(r, cases[i].ok) << "kind " << cases[i].kind << " input \"" << cases[i].input << "\"";
        if (cases[i].ok) {
            EXPECT_EQ(out, cases[i].normal) << "kind " << cases[i].kind << " input \"" << cases[i].input << "\"";
        } else {
            EXPECT_EQ(out, cases[i].input) << "a refused text is left as typed";
            EXPECT_NE(message.find("Line 1a"), std::string::npos) << message;
        }
    }
}

TEST(Validate, IdentificationNumbersPhonesAndZipCodes)
{
    const Case cases[] = {
        {ENTRY_KIND_SSN, 0, 'N', 9, "123456789", 1, "123-45-6789"},
        {ENTRY_KIND_SSN, 0, 'N', 9, "123-45-6789", 1, "123-45-6789"},
        {ENTRY_KIND_SSN, 0, 'N', 9, " 123 45 6789 ", 1, "123-45-6789"},
        {ENTRY_KIND_SSN, 0, 'N', 9, "912-70-1234", 1, "912-70-1234"},   // an ITIN
        {ENTRY_KIND_SSN, 0, 'N', 9, "123-", 0, nullptr},                // only the first box
        {ENTRY_KIND_SSN, 0, 'N', 9, "12345678", 0, nullptr},
        {ENTRY_KIND_SSN, 0, 'N', 9, "1234567890", 0, nullptr},
        {ENTRY_KIND_SSN, 0, 'N', 9, "000-12-3456", 0, nullptr},
        {ENTRY_KIND_SSN, 0, 'N', 9, "666-12-3456", 0, nullptr},
        {ENTRY_KIND_SSN, 0, 'N', 9, "123-00-4567", 0, nullptr},
        {ENTRY_KIND_SSN, 0, 'N', 9, "123-45-0000", 0, nullptr},
        {ENTRY_KIND_SSN, 0, 'N', 9, "12a-45-6789", 0, nullptr},
        {ENTRY_KIND_EIN, 0, 'm', 9, "123456789", 1, "12-3456789"},
        {ENTRY_KIND_EIN, 0, 'm', 9, "12-3456789", 1, "12-3456789"},
        {ENTRY_KIND_EIN, 0, 'm', 9, "00-3456789", 0, nullptr},
        {ENTRY_KIND_EIN, 0, 'm', 9, "12-345678", 0, nullptr},
        {ENTRY_KIND_PHONE, 0, 't', 10, "(123)456-7890", 1, "(123)456-7890"},
        {ENTRY_KIND_PHONE, 0, 't', 10, "123 456 7890", 1, "(123)456-7890"},
        {ENTRY_KIND_PHONE, 0, 't', 10, "1-123-456-7890", 1, "(123)456-7890"},
        {ENTRY_KIND_PHONE, 0, 't', 10, "(123)456-", 0, nullptr},
        {ENTRY_KIND_PHONE, 0, 't', 10, "456-7890 x12", 0, nullptr},
        {ENTRY_KIND_ZIP, 0, 'Z', 9, "12345", 1, "12345"},
        {ENTRY_KIND_ZIP, 0, 'Z', 9, "123456789", 1, "12345-6789"},
        {ENTRY_KIND_ZIP, 0, 'Z', 9, "12345-6789", 1, "12345-6789"},
        {ENTRY_KIND_ZIP, 0, 'Z', 9, "1234", 0, nullptr},
        {ENTRY_KIND_ZIP, 0, 'Z', 9, "12345-67", 0, nullptr},
        {ENTRY_KIND_ZIP, 0, 'Z', 9, "00000", 0, nullptr},
        {ENTRY_KIND_ZIP, 0, 'Z', 9, "K1A 0B1", 0, nullptr},             // no foreign state next to it
        {ENTRY_KIND_PTIN, 0, 'p', 9, "p12345678", 1, "P12345678"},
        {ENTRY_KIND_PTIN, 0, 'p', 9, "123456789", 1, "123456789"},
        {ENTRY_KIND_PTIN, 0, 'p', 9, "P1234567", 0, nullptr},
        {ENTRY_KIND_PIN, 0, 'N', 5, "12345", 1, "12345"},
        {ENTRY_KIND_PIN, 0, 'N', 5, "1234", 0, nullptr},
        {ENTRY_KIND_PIN, 0, 'N', 5, "00000", 0, nullptr},
        {ENTRY_KIND_PIN, 0, 'N', 5, "1234a", 0, nullptr},
    };
    RunCases(cases, sizeof cases / sizeof cases[0]);
}

// Routing numbers ('G'), PINs and codes (kind 18) are digit strings: stored digit for digit.
TEST(Validate, DigitStringsKeepTheirDigits)
{
    const Case cases[] = {
        {ENTRY_KIND_COUNT, 0, 'G', 9, "012345678", 1, "012345678"},     // a routing number
        {ENTRY_KIND_COUNT, 0, 'G', 9, "123456789", 1, "123456789"},
        {ENTRY_KIND_COUNT, 0, 'G', 9, "1234567890", 0, nullptr},       // longer than the field
        {ENTRY_KIND_COUNT, 0, 'G', 9, "12-345", 0, nullptr},
        {ENTRY_KIND_COUNT, 0, 'G', 9, "-12", 0, nullptr},
        {ENTRY_KIND_NUMBER, 0, 'N', 6, "123456", 1, "123456"},          // Identity Protection PIN
        {ENTRY_KIND_NUMBER, 0, 'N', 6, "012345", 1, "012345"},
        {ENTRY_KIND_NUMBER, 0, 'N', 6, "1234567", 0, nullptr},
        {ENTRY_KIND_NUMBER, 0, 'N', 7, "1,234", 1, "1234"},             // typed separators dropped
        {ENTRY_KIND_NUMBER, 0, 'N', 6, "12.5", 0, nullptr},
        {ENTRY_KIND_NUMBER, 0, 'N', 6, "12a", 0, nullptr},
    };
    RunCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(Validate, AmountsAndNumbers)
{
    const Case cases[] = {
        {ENTRY_KIND_AMOUNT, 0, 'N', 12, "1234567", 1, "1,234,567"},
        {ENTRY_KIND_AMOUNT, 0, 'N', 12, "1,234,567", 1, "1,234,567"},
        {ENTRY_KIND_AMOUNT, 0, 'N', 12, "-1234", 1, "-1,234"},
        {ENTRY_KIND_AMOUNT, 0, 'N', 12, "(1234)", 1, "-1,234"},
        {ENTRY_KIND_AMOUNT, 0, 'N', 12, "$1,234.50", 1, "1,235"},        // whole dollars, rounded
        {ENTRY_KIND_AMOUNT, 0, 'N', 12, "0", 1, "0"},
        {ENTRY_KIND_AMOUNT, 0, 'N', 12, "12,34", 0, nullptr},
        {ENTRY_KIND_AMOUNT, 0, 'N', 12, "abc", 0, nullptr},
        {ENTRY_KIND_AMOUNT, 0, 'N', 12, "1234567890123", 0, nullptr},   // 13 digits
        {ENTRY_KIND_NUMBER, 0, 'N', 3, "12", 1, "12"},
        {ENTRY_KIND_NUMBER, 0, 'N', 3, "007", 1, "007"},                 // a code keeps its zeros
        {ENTRY_KIND_NUMBER, 0, 'N', 3, "1234", 0, nullptr},
        {ENTRY_KIND_NUMBER, 0, 'N', 2, "0001", 0, nullptr},
        {ENTRY_KIND_COUNT, 0, 'G', 12, "2500", 1, "2500"},
        {ENTRY_KIND_AMOUNT_CENTS, 0, 'R', 10, "1234.5", 1, "1,234.50"},
        {ENTRY_KIND_AMOUNT_CENTS, 0, 'R', 10, "-1,234.56", 1, "-1,234.56"},
        {ENTRY_KIND_AMOUNT_CENTS, 0, 'R', 10, "12", 1, "12.00"},
        {ENTRY_KIND_AMOUNT_CENTS, 0, 'R', 10, "1.500", 1, "1.50"},       // trailing zeros may follow
        {ENTRY_KIND_AMOUNT_CENTS, 0, 'R', 10, "1.505", 0, nullptr},
        {ENTRY_KIND_AMOUNT_CENTS, 0, 'R', 10, "12345678901", 0, nullptr},
        {ENTRY_KIND_DECIMAL, 0, 'Q', 12, "12.5", 1, "12.5000"},
        {ENTRY_KIND_DECIMAL, 0, 'Q', 12, "12345678", 0, nullptr},        // 7 integer digits at most
        {ENTRY_KIND_DECIMAL, 0, 'r', 7, ".25", 1, ".250000"},
        {ENTRY_KIND_DECIMAL, 0, 'r', 7, "0.123456", 1, ".123456"},
        {ENTRY_KIND_DECIMAL, 0, 'r', 7, "1.5", 0, nullptr},
    };
    RunCases(cases, sizeof cases / sizeof cases[0]);

    // 'R' digits and decimals come from the part, or from its bracket text.
    FieldFormatPart part;
    memset(&part, 0, sizeof part);
    part.letter = 'R';
    part.intDigits = 3;
    part.decimals = 1;
    std::string out;
    Case c = {ENTRY_KIND_DECIMAL, 0, 'R', 5, "12.34", 0, nullptr};
    EXPECT_EQ(Check(c, &out, nullptr, nullptr, nullptr, nullptr, &part), 0);
    c.input = "12.3";
    EXPECT_EQ(Check(c, &out, nullptr, nullptr, nullptr, nullptr, &part), 1);
    EXPECT_EQ(out, "12.3");
    c.input = "1234";
    EXPECT_EQ(Check(c, &out, nullptr, nullptr, nullptr, nullptr, &part), 0);
    c.input = "7";
    EXPECT_EQ(Check(c, &out, nullptr, nullptr, "4.3"), 1);
    EXPECT_EQ(out, "7.000");
}

TEST(Validate, DatesAreJoinedWithSlashes)
{
    const Case cases[] = {
        {ENTRY_KIND_DATE, 0, 'D', 10, "1/5/2024", 1, "01/05/2024"},
        {ENTRY_KIND_DATE, 0, 'D', 10, "01052024", 1, "01/05/2024"},
        {ENTRY_KIND_DATE, 0, 'D', 10, "12-31-2024", 1, "12/31/2024"},
        {ENTRY_KIND_DATE, 0, 'D', 10, "02/29/2024", 1, "02/29/2024"},
        {ENTRY_KIND_DATE, 0, 'D', 10, "02/29/2023", 0, nullptr},
        {ENTRY_KIND_DATE, 0, 'D', 10, "04/31/2024", 0, nullptr},
        {ENTRY_KIND_DATE, 0, 'D', 10, "13/01/2024", 0, nullptr},
        {ENTRY_KIND_DATE, 0, 'D', 10, "01/05/0000", 0, nullptr},         // year box left empty
        {ENTRY_KIND_DATE, 0, 'D', 10, "01/05/24", 0, nullptr},
        {ENTRY_KIND_DATE, 0, 'D', 10, "01/05", 0, nullptr},
        {ENTRY_KIND_DATE, 0, 'D', 10, "1/5/2024/1", 0, nullptr},
        {ENTRY_KIND_DATE, 0, 'D', 10, "1//2024", 0, nullptr},
        {ENTRY_KIND_DATE, 0, 'E', 10, "2024/1/5", 1, "2024/01/05"},
        {ENTRY_KIND_DATE, 0, 'O', 8, "1/5/24", 1, "01/05/24"},
        {ENTRY_KIND_DATE, 0, 'Y', 4, "2024", 1, "2024"},
        {ENTRY_KIND_DATE, 0, 'Y', 4, "24", 0, nullptr},
        {ENTRY_KIND_DATE, 0, 'd', 7, "3/2024", 1, "03/2024"},
        {ENTRY_KIND_DATE, 0, 'e', 7, "202403", 1, "2024/03"},
    };
    RunCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(Validate, TextKindsCheckCharactersAndLength)
{
    const Case cases[] = {
        {ENTRY_KIND_TEXT_PUNCT, 0, 'j', 35, "Smith & Sons (#2)", 1, "Smith & Sons (#2)"},
        {ENTRY_KIND_TEXT_PUNCT, 0, 'j', 35, "Smith, Inc.", 0, nullptr},
        {ENTRY_KIND_NAME_TEXT, 0, 'i', 20, "O'Brien-Lee", 1, "O'Brien-Lee"},
        {ENTRY_KIND_NAME_TEXT, 0, 'f', 20, "O'Brien", 0, nullptr},
        {ENTRY_KIND_ALPHA, 0, 'A', 20, "  Mary Ann  ", 1, "Mary Ann"},    // blanks around are trimmed
        {ENTRY_KIND_ALPHA, 0, 'A', 20, "R2D2", 0, nullptr},
        {ENTRY_KIND_ALPHA, 0, 'A', 5, "Alexander", 0, nullptr},          // longer than the field
        {ENTRY_KIND_ALNUM, 0, 'a', 10, "AB12 C", 1, "AB12 C"},
        {ENTRY_KIND_ALNUM, 0, 'a', 10, "AB-12", 0, nullptr},
        {ENTRY_KIND_ANY_TEXT, 0, '*', 40, "a@b.com; x/y (z)", 1, "a@b.com; x/y (z)"},
        {ENTRY_KIND_ANY_TEXT, 0, '*', 40, "tab\there", 0, nullptr},
        {ENTRY_KIND_TEXT_SLASH, 0, 'u', 10, "12/34-A", 1, "12/34-A"},
        {ENTRY_KIND_DIGITS, 0, 'U', 4, "0042", 1, "0042"},
        {ENTRY_KIND_DIGITS, 0, 'U', 4, "00420", 0, nullptr},
        {ENTRY_KIND_PERCENT_TEXT, 0, 'a', 10, "50% A", 1, "50% A"},
        {ENTRY_KIND_CHECK, 0, 'X', 1, "x", 1, "X"},
        {ENTRY_KIND_CHECK, 0, 'X', 1, "Y", 0, nullptr},
        {ENTRY_KIND_AMOUNT, 0, 'N', 12, "   ", 1, ""},                    // empty is always acceptable
    };
    RunCases(cases, sizeof cases / sizeof cases[0]);

    // An 'A' part with "~" takes single letters of the alphabet without those listed.
    std::string out;
    Case c = {ENTRY_KIND_ALPHA, 0, 'A', 1, "b", 1, nullptr};
    EXPECT_EQ(Check(c, &out, nullptr, nullptr, "~IO"), 1);
    EXPECT_EQ(out, "B");
    c.input = "o";
    EXPECT_EQ(Check(c, &out, nullptr, nullptr, "~IO"), 0);
}

TEST(Validate, StatesAreStoredAsAbbreviations)
{
    const Case cases[] = {
        {ENTRY_KIND_STATE, 0, 's', 2, "ny", 1, "NY"},
        {ENTRY_KIND_STATE, 0, 's', 2, "New York", 1, "NY"},
        {ENTRY_KIND_STATE, 0, 's', 2, "minnesota", 1, "MN"},
        {ENTRY_KIND_STATE, 0, 's', 2, "MN Minnesota", 1, "MN"},          // a row of the list
        {ENTRY_KIND_STATE, 0, 's', 2, "New", 0, nullptr},                // never a prefix
        {ENTRY_KIND_STATE, 0, 's', 2, "XX", 0, nullptr},
        {ENTRY_KIND_STATE, STATE_GROUP_CANADA, 's', 2, "NY", 0, nullptr}, // outside the part's groups
    };
    RunCases(cases, sizeof cases / sizeof cases[0]);
    // A Canadian province next to the ZIP field makes it a postal code.
    int first = 0, end = 0;
    ASSERT_TRUE(GetStateSectionRange(STATE_GROUP_CANADA, &first, &end));
    std::string out;
    Case c = {ENTRY_KIND_ZIP, 0, 'Z', 10, "k1a 0b1", 1, nullptr};
    EXPECT_EQ(Check(c, &out, nullptr, nullptr, nullptr, gStateTable[first].abbreviation), 1);
    EXPECT_EQ(out, "K1A 0B1");
    c.input = "1234";
    EXPECT_EQ(Check(c, &out, nullptr, nullptr, nullptr, "MN"), 0);
}

TEST(Validate, ListValuesAreExactCodesOrLabels)
{
    const char *list = "S=Single,MFJ=Married filing jointly,HOH=Head of household";
    struct ListCase {
        char letter;
        const char *input;
        int ok;
        const char *normal;
    } cases[] = {
        {'V', "MFJ", 1, "MFJ"},
        {'V', "mfj", 1, "MFJ"},
        {'V', "Married filing jointly", 1, "MFJ"},
        {'V', "HOH=Head of household", 1, "HOH"},
        {'V', "M", 0, nullptr},             // a prefix is not a code
        {'V', "Married", 0, nullptr},
        {'v', "S", 1, "S"},
    };
    for (const ListCase &lc : cases) {
        std::string out;
        Case c = {ENTRY_KIND_NONE, 0, lc.letter, 3, lc.input, lc.ok, lc.normal};
        EXPECT_EQ(Check(c, &out, nullptr, list), lc.ok) << lc.input;
        if (lc.ok) {
            EXPECT_EQ(out, lc.normal) << lc.input;
        }
    }
    std::string out;
    Case c = {ENTRY_KIND_NONE, 0, 'V', 4, "2024", 1, nullptr};
    EXPECT_EQ(Check(c, &out, nullptr, "2022,\"2023\",2024"), 1);     // items split at quotes too
    // Untyped parts (a calculated field's formula is no list) keep their text.
    c.letter = 'C';
    c.input = "anything";
    EXPECT_EQ(Check(c, &out, nullptr, "0101,0102"), 1);
    EXPECT_EQ(out, "anything");
}

TEST(Validate, RefusalIsShownOnceOrWrittenAndNormalFormMustFit)
{
    ClearShownMessageBoxes();
    ScriptMessageBoxAnswer(IDOK);
    char text[VALIDATE_TEXT_SIZE] = "12345";
    EXPECT_EQ(ValidateFieldData(text, nullptr, "Taxpayer SSN", ENTRY_KIND_SSN, 0, nullptr, 0, nullptr, nullptr, 'N',
                                nullptr, nullptr, 9, 1),
              0);
    ASSERT_EQ(GetShownMessageBoxes().size(), 1u);
    EXPECT_EQ(GetShownMessageBoxes()[0].title, "Taxpayer SSN");   // shown under the field's description
    EXPECT_NE(GetShownMessageBoxes()[0].text.find("Taxpayer SSN"), std::string::npos);
    EXPECT_NE(GetShownMessageBoxes()[0].text.find("123-45-6789"), std::string::npos);

    // Without the show flag nothing is shown.
    EXPECT_EQ(ValidateFieldData(text, nullptr, "Taxpayer SSN", ENTRY_KIND_SSN, 0, nullptr, 0, nullptr, nullptr, 'N',
                                nullptr, nullptr, 9, 0),
              0);
    EXPECT_EQ(GetShownMessageBoxes().size(), 1u);

    // The normal form is written only when it fits the caller's buffer.
    char small[11] = "123456789";
    EXPECT_EQ(ValidateFieldData(small, nullptr, "SSN", ENTRY_KIND_SSN, 0, nullptr, sizeof small, nullptr, nullptr,
                                'N', nullptr, nullptr, 9, 0),
              0);
    EXPECT_STREQ(small, "123456789");
    char fits[12] = "123456789";
    EXPECT_EQ(ValidateFieldData(fits, nullptr, "SSN", ENTRY_KIND_SSN, 0, nullptr, sizeof fits, nullptr, nullptr, 'N',
                                nullptr, nullptr, 9, 0),
              1);
    EXPECT_STREQ(fits, "123-45-6789");

    // A very long text is refused, not overrun.
    std::string longText(600, '7');
    std::string buffer = longText;
    char message[VALIDATE_MESSAGE_SIZE];
    EXPECT_EQ(ValidateFieldData(&buffer[0], message, "Amount", ENTRY_KIND_AMOUNT, 0, nullptr, (int)buffer.size() + 1,
                                nullptr, nullptr, 'N', nullptr, nullptr, 12, 1),
              0);
    EXPECT_LT(strlen(message), (size_t)VALIDATE_MESSAGE_SIZE);
    EXPECT_NE(std::string(message).find("..."), std::string::npos);
}

TEST(Validate, NormalFormsSplitBackIntoTheirBoxes)
{
    struct SplitCase {
        int kind;
        char letter;
        int controlKind;
        const char *input;
        int widths[3];
        int count;
        const char *pieces[3];
    } cases[] = {
        {ENTRY_KIND_DATE, 'D', ENTRY_CONTROL_DATE, "1/5/2024", {2, 2, 4}, 3, {"01", "05", "2024"}},
        {ENTRY_KIND_DATE, 'E', ENTRY_CONTROL_DATE, "20240105", {4, 2, 2}, 3, {"2024", "01", "05"}},
        {ENTRY_KIND_DATE, 'O', ENTRY_CONTROL_DATE, "1-5-24", {2, 2, 2}, 3, {"01", "05", "24"}},
        {ENTRY_KIND_DATE, 'd', ENTRY_CONTROL_DATE, "3/2024", {2, 4, 0}, 2, {"03", "2024", ""}},
        {ENTRY_KIND_DATE, 'Y', ENTRY_CONTROL_DATE, "2024", {4, 0, 0}, 1, {"2024", "", ""}},
        {ENTRY_KIND_SSN, 'N', ENTRY_CONTROL_SSN, "123456789", {3, 2, 4}, 3, {"123", "45", "6789"}},
        {ENTRY_KIND_EIN, 'm', ENTRY_CONTROL_EIN, "123456789", {2, 7, 0}, 2, {"12", "3456789", ""}},
        {ENTRY_KIND_PHONE, 't', ENTRY_CONTROL_PHONE, "123.456.7890", {3, 3, 4}, 3, {"123", "456", "7890"}},
    };
    for (const SplitCase &sc : cases) {
        std::string normal;
        Case c = {sc.kind, 0, sc.letter, 10, sc.input, 1, nullptr};
        ASSERT_EQ(Check(c, &normal), 1) << sc.input;
        char type[2] = {sc.letter, 0};
        EXPECT_EQ(CheckEntryShape(normal.c_str(), sc.controlKind, nullptr, type, sc.kind, 0), 1) << normal;
        char pieces[3][16] = {};
        ASSERT_EQ(SplitEntryValue(normal.c_str(), sc.controlKind, sc.widths, sc.count, pieces), 1) << normal;
        for (int i = 0; i < sc.count; i++)
            EXPECT_STREQ(pieces[i], sc.pieces[i]) << normal;
    }
}

TEST(Validate, ValidateSsnResults)
{
    char out[16];
    EXPECT_EQ(ValidateSsn(0, "", out, sizeof out), SSN_EMPTY);
    EXPECT_EQ(ValidateSsn(0, "--", out, sizeof out), SSN_EMPTY);
    EXPECT_EQ(ValidateSsn(0, "123456789", out, sizeof out), SSN_VALID);
    EXPECT_STREQ(out, "123-45-6789");
    EXPECT_EQ(ValidateSsn(0, "12345", out, sizeof out), SSN_BAD_SHAPE);
    EXPECT_EQ(ValidateSsn(0, "123x56789", out, sizeof out), SSN_BAD_SHAPE);
    EXPECT_EQ(ValidateSsn(0, "000-12-3456", nullptr, 0), SSN_NOT_ISSUED);
    EXPECT_EQ(ValidateSsn(0, "912-70-1234", nullptr, 0), SSN_VALID);
    EXPECT_EQ(ValidateSsn(1, "912-70-1234", nullptr, 0), SSN_NOT_ISSUED);   // not a social security number
}

}  // namespace
