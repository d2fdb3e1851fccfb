// taxpayer_edit.cpp - storing edited taxpayer items into the return record under their edit
// rules, and building the return's name line.
#include "prepare/prepare.h"
#include "prepare/taxpayer_combined.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

// Copies the characters of text that are digits into out (outSize bytes); returns the count, or
// -1 when text holds a character outside digits and the allowed separators.
static int KeepDigits(const char *text, const char *separators, char *out, int outSize)
{
    int n = 0;
    for (const char *p = text; *p; p++) {
        if (isdigit((unsigned char)*p)) {
            if (n + 1 >= outSize)
                return -1;
            out[n++] = *p;
        } else if (!strchr(separators, *p)) {
            return -1;
        }
    }
    out[n] = 0;
    return n;
}

static int IsNameText(const char *text)
{
    for (const char *p = text; *p; p++)
        if (!isalpha((unsigned char)*p) && !strchr(" -'.", *p))
            return 0;
    return 1;
}

// Rebuilds the record's name line from the taxpayer's and spouse's names.
static void RebuildNameLine(OpenReturn *record)
{
    const char *names[8];
    int blocks[2] = {RETURN_TAXPAYER, RETURN_SPOUSE};
    for (int b = 0; b < 2; b++) {
        names[b * 4 + 0] = ReturnText(record, blocks[b] + PERSON_FIRST_NAME);
        names[b * 4 + 1] = ReturnText(record, blocks[b] + PERSON_MIDDLE_NAME);
        names[b * 4 + 2] = ReturnText(record, blocks[b] + PERSON_LAST_NAME);
        names[b * 4 + 3] = ReturnText(record, blocks[b] + PERSON_SUFFIX);
    }
    char line[50];
    BuildNameLine(line, sizeof line, names, 8);
    SetReturnText(record, RETURN_NAME_LINE, 50, line);
}

const char *gEditRulesRefusal = NULL;

int ApplyFieldEditRules(const char *itemCode, const char *text, OpenReturn *returnRecord,
                        const char *typeCode)
{
    gEditRulesRefusal = NULL;
    if (!itemCode || !returnRecord)
        return 0;
    char kindChar = itemCode[0];
    char letter = (kindChar == '1' || kindChar == '2') ? itemCode[1] : 0;
    TaxpayerItemInfo info;
    if (!kindChar || !GetTaxpayerItemInfo(kindChar, letter, &info))
        return 0;

    // A field of two members ("1bc" first name and middle initial ...) stores both.
    int combined = ApplyCombinedItemRules(itemCode, text ? text : "", returnRecord);
    if (combined >= 0)
        return combined;

    char value[128];
    snprintf(value, sizeof value, "%s", text ? text : "");
    TrimSpaces(value);

    // A one-character position (":d"): the character at that position of the member.
    const char *colon = strchr(itemCode, ':');
    if (colon && isdigit((unsigned char)colon[1])) {
        int position = colon[1] - '0';
        if (position >= info.size - 1 || strlen(value) > 1)
            return 0;
        char *member = ReturnText(returnRecord, info.offset);
        size_t len = strnlen(member, info.size - 1);
        if ((size_t)position > len)
            return 0;   // would leave a gap in the text
        member[position] = value[0];
        if (!value[0])
            member[position] = ' ';
        // A character put at the end of the text lengthens it: the text stays ended right after.
        if ((size_t)position == len)
            member[position + 1] = 0;
        return 1;
    }

    // The name line joins the spouse to the taxpayer's first name: without it the line would
    // begin with "&".
    if (kindChar == '1' && letter == 'b' && !value[0] &&
        ReturnText(returnRecord, RETURN_SPOUSE + PERSON_FIRST_NAME)[0]) {
        gEditRulesRefusal = "The taxpayer's first name cannot be left empty while the spouse's name is entered. "
                            "To remove both names, remove the spouse's name first.";
        return 0;
    }
    char stored[128];
    snprintf(stored, sizeof stored, "%s", value);
    if (value[0]) {
        switch (info.kind) {
        case 14: // SSN: nine digits, dashes and blanks allowed in the input
            if (KeepDigits(value, "- ", stored, sizeof stored) != 9)
                return 0;
            break;
        case 31: // EIN: nine digits
            if (KeepDigits(value, "- ", stored, sizeof stored) != 9)
                return 0;
            break;
        case 22: // PINs: five digits
            if (KeepDigits(value, "", stored, sizeof stored) != 5)
                return 0;
            break;
        case 16: { // amounts: digits with commas, optional leading '-'
            int neg = value[0] == '-';
            if (KeepDigits(value + neg, ",", stored + neg, sizeof stored - 1) <= 0)
                return 0;
            if (neg)
                stored[0] = '-';
            break;
        }
        case 11: { // ZIP: five or nine digits
            char digits[16];
            int n = KeepDigits(value, "- ", digits, sizeof digits);
            if (n != 5 && n != 9)
                return 0;
            if (n == 9)
                snprintf(stored, sizeof stored, "%.5s-%.4s", digits, digits + 5);
            else
                snprintf(stored, sizeof stored, "%s", digits);
            break;
        }
        case 25: // phone: ten digits, kept without separators
            if (KeepDigits(value, "()- .", stored, sizeof stored) != 10)
                return 0;
            break;
        case 21: { // dates: mm/dd/yyyy
            SYSTEMTIME t;
            if (!ParseDateText(value, &t, 'D'))
                return 0;
            snprintf(stored, sizeof stored, "%02u/%02u/%04u", t.wMonth, t.wDay, t.wYear);
            break;
        }
        case 10: { // state: a known abbreviation or name, stored as the abbreviation
            char other[64];
            if (!LookupUsState(value, other, info.subkind ? info.subkind : STATE_GROUP_STATES))
                return 0;
            if (strlen(value) > 2)
                snprintf(stored, sizeof stored, "%s", other);
            for (char *p = stored; *p; p++)
                *p = (char)toupper((unsigned char)*p);
            break;
        }
        case 28: // check mark
            snprintf(stored, sizeof stored, "X");
            break;
        case 0:
            if (letter == '!' && (strlen(value) != 1 || value[0] < '1' || value[0] > '5'))
                return 0;
            break;
        default:
            if (letter == 'b' || letter == 'c' || letter == 'd' || letter == 't' || kindChar == '5')
                if (!IsNameText(value))
                    return 0;
            break;
        }
    }
    if (strlen(stored) >= (size_t)info.size)
        return 0;   // does not fit the member: refused, nothing stored
    SetReturnText(returnRecord, info.offset, info.size, stored);
    if (letter == 'z')
        ReturnBytes(returnRecord, (kindChar == '2' ? RETURN_SPOUSE : RETURN_TAXPAYER) +
                                      PERSON_SELF_PIN_FLAG)[0] = stored[0] ? 1 : 0;
    if (letter == 'b' || letter == 'c' || letter == 'd' || letter == 't')
        RebuildNameLine(returnRecord);
    return 1;
}

// Appends text to out (bounded); returns 0 when it did not fit.
static int AppendText(char *out, size_t size, const char *text)
{
    size_t n = strlen(out), m = strlen(text);
    if (n + m >= size)
        return 0;
    memcpy(out + n, text, m + 1);
    return 1;
}

// One person's part of the name line: first [middle initial] [last [suffix]].
static void AppendPerson(char *out, size_t size, const char *first, const char *middle,
                         const char *last, const char *suffix, int withMiddle, int withSuffix)
{
    AppendText(out, size, first);
    if (withMiddle && middle && *middle && first && *first) {   // no initial without a first name
        char initial[3] = {' ', (char)toupper((unsigned char)middle[0]), 0};
        AppendText(out, size, initial);
    }
    if (last && *last) {
        AppendText(out, size, " ");
        AppendText(out, size, last);
        if (withSuffix && suffix && *suffix) {
            AppendText(out, size, " ");
            AppendText(out, size, suffix);
        }
    }
}

static void ComposeNameLine(char *out, size_t size, const char *const *n, int count,
                            int withMiddle, int withSuffix)
{
    out[0] = 0;
    const char *first = n[0], *middle = n[1], *last = n[2], *suffix = n[3];
    const char *sFirst = count >= 8 ? n[4] : "", *sMiddle = count >= 8 ? n[5] : "";
    const char *sLast = count >= 8 ? n[6] : "", *sSuffix = count >= 8 ? n[7] : "";
    int spouse = sFirst && *sFirst;
    char own[256] = "", other[256] = "";
    if (!spouse) {
        AppendPerson(own, sizeof own, first, middle, last, suffix, withMiddle, withSuffix);
    } else if (_stricmp(last, sLast) == 0 || !*sLast) {
        // Same last name: "JOHN A & JANE B SMITH"
        AppendPerson(own, sizeof own, first, middle, "", "", withMiddle, 0);
        AppendPerson(other, sizeof other, sFirst, sMiddle, last, (suffix && *suffix) ? suffix : sSuffix,
                     withMiddle, withSuffix);
    } else {
        AppendPerson(own, sizeof own, first, middle, last, suffix, withMiddle, withSuffix);
        AppendPerson(other, sizeof other, sFirst, sMiddle, sLast, sSuffix, withMiddle, withSuffix);
    }
    // "&" only between two names: a person without one leaves no "&" at either end.
    TrimSpaces(own);
    TrimSpaces(other);
    AppendText(out, size, own);
    if (own[0] && other[0])
        AppendText(out, size, " & ");
    AppendText(out, size, other);
}

int BuildNameLine(char *destination, int size, const char *const *names, int count)
{
    if (!destination || size <= 0)
        return 0;
    destination[0] = 0;
    if (!names || count < 4)
        return 0;
    const char *n[8];
    for (int i = 0; i < 8; i++)
        n[i] = (i < count && names[i]) ? names[i] : "";
    // Compose in a large buffer, then drop middle initials and suffixes while it is too long.
    char work[512];
    for (int step = 0; step < 3; step++) {
        ComposeNameLine(work, sizeof work, n, count, step < 1, step < 2);
        TrimSpaces(work);
        if (strlen(work) < (size_t)size)
            break;
    }
    snprintf(destination, (size_t)size, "%s", work);
    return (int)strlen(destination);
}
