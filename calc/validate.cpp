// validate.cpp - the field validators: whether a typed text is a value of one part of a field's
// type, and its normal form (the form the edit bar splits back into its boxes).
#include "calc/calc.h"

#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#define WORK_SIZE 512

struct ValidateCall {
    const char *typed;         // the text as given (for the message)
    char *messageBuffer;
    const char *caption;
    HWND owner;
    int showFlag;
};

static int Refuse(const ValidateCall *call, const char *reason)
{
    char shown[48];
    snprintf(shown, sizeof(shown), "%.40s%s", call->typed, strlen(call->typed) > 40 ? "..." : "");
    char message[VALIDATE_MESSAGE_SIZE];
    if (call->caption && call->caption[0])
        snprintf(message, sizeof(message), "\"%s\" is not a valid entry for %s.\r\n\r\n%s", shown, call->caption,
                 reason);
    else
        snprintf(message, sizeof(message), "\"%s\" is not a valid entry.\r\n\r\n%s", shown, reason);
    if (call->messageBuffer)
        snprintf(call->messageBuffer, VALIDATE_MESSAGE_SIZE, "%s", message);
    else if (call->showFlag)
        // The refusal is shown under the field's description: it is the box's title.
        ShowMessageBox(call->owner, message, call->caption && call->caption[0] ? call->caption : "Data Validation Error",
                       MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

// Checks that text holds only letters (when letters), digits (when digits) and characters of
// extra. On failure writes the reason into reason.
static int CheckAllowedChars(const char *text, int letters, int digits, const char *extra, const char *allowedText,
                             char *reason, int reasonSize)
{
    for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
        if (letters && isalpha(*p))
            continue;
        if (digits && isdigit(*p))
            continue;
        if (*p >= 0x20 && extra && strchr(extra, *p))
            continue;
        if (*p < 0x20 || *p == 0x7F)
            snprintf(reason, reasonSize, "Control characters are not allowed. Allowed: %s.", allowedText);
        else
            snprintf(reason, reasonSize, "The character '%c' is not allowed here. Allowed: %s.", *p, allowedText);
        return 0;
    }
    return 1;
}

// The digits of text, skipping the characters of skip; -1 when another character occurs.
static int CollectDigits(const char *text, const char *skip, char *digits, int digitsSize)
{
    int n = 0;
    for (const char *p = text; *p; p++) {
        if (isdigit((unsigned char)*p)) {
            if (n < digitsSize - 1)
                digits[n] = *p;
            n++;
        } else if (!strchr(skip, *p)) {
            return -1;
        }
    }
    digits[n < digitsSize ? n : digitsSize - 1] = 0;
    return n;
}

// 1 when the fourth and fifth digits of a number of area 900-999 are those of an individual
// taxpayer identification number (50-65, 70-88, 90-92, 94-99); the other 9xx numbers are never
// issued.
static int IsItinGroup(const char *groupDigits)
{
    int group = (groupDigits[0] - '0') * 10 + (groupDigits[1] - '0');
    return (group >= 50 && group <= 65) || (group >= 70 && group <= 88) || (group >= 90 && group <= 92) ||
           group >= 94;
}

int ValidateSsn(int mode, const char *text, char *normalOut, int normalSize)
{
    if (!text)
        return SSN_EMPTY;
    char d[16];
    int n = CollectDigits(text, "- ", d, sizeof(d));
    if (n == 0)
        return SSN_EMPTY;
    if (n != 9)
        return SSN_BAD_SHAPE;
    if (strncmp(d, "000", 3) == 0 || strncmp(d, "666", 3) == 0 ||
        (d[0] == '9' && (mode == 1 || !IsItinGroup(d + 3))) || strncmp(d + 3, "00", 2) == 0 ||
        strncmp(d + 5, "0000", 4) == 0)
        return SSN_NOT_ISSUED;
    if (normalOut && normalSize >= 12)
        snprintf(normalOut, normalSize, "%.3s-%.2s-%.4s", d, d + 3, d + 5);
    return SSN_VALID;
}

int IsRoutingNumberValid(const char *text)
{
    char d[16];
    if (!text || CollectDigits(text, "- ", d, sizeof(d)) != 9)
        return 0;
    // The ninth digit checks the others: the digits weighted 3, 7, 1 in turn sum to a multiple of 10.
    static const int weights[3] = {3, 7, 1};
    int sum = 0;
    for (int i = 0; i < 9; i++)
        sum += (d[i] - '0') * weights[i % 3];
    return sum % 10 == 0;
}

// ---- dates ----

static int DaysInMonth(int month, int year)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return days[month - 1];
}

static int ValidateDate(char letter, const char *text, char *out, int outSize, char *reason, int reasonSize)
{
    // Elements in order: 'M' month, 'D' day, 'Y' four-digit year, 'y' two-digit year.
    const char *order, *pattern;
    switch (letter) {
    case 'D': order = "MDY"; pattern = "mm/dd/yyyy"; break;
    case 'E': order = "YMD"; pattern = "yyyy/mm/dd"; break;
    case 'O': order = "MDy"; pattern = "mm/dd/yy"; break;
    case 'Y': order = "Y"; pattern = "yyyy"; break;
    case 'd': order = "MY"; pattern = "mm/yyyy"; break;
    case 'e': order = "YM"; pattern = "yyyy/mm"; break;
    default: order = "MDY"; pattern = "mm/dd/yyyy"; break;
    }
    int count = (int)strlen(order);
    char pieces[3][8];
    memset(pieces, 0, sizeof(pieces));
    snprintf(reason, reasonSize, "Enter the date as %s.", pattern);
    if (strpbrk(text, "/-.")) {
        int k = 0, len = 0;
        for (const char *p = text;; p++) {
            if (*p == '/' || *p == '-' || *p == '.' || !*p) {
                if (len == 0 || k >= count)
                    return 0;
                k++;
                len = 0;
                if (!*p)
                    break;
            } else if (isdigit((unsigned char)*p) && len < 4 && k < count) {
                pieces[k][len++] = *p;
            } else {
                return 0;
            }
        }
        if (k != count)
            return 0;
    } else {
        // Digits only: each element takes its full width.
        int width = 0;
        for (int i = 0; i < count; i++)
            width += order[i] == 'Y' ? 4 : 2;
        if ((int)strlen(text) != width || strspn(text, "0123456789") != strlen(text))
            return 0;
        const char *p = text;
        for (int i = 0; i < count; i++) {
            int w = order[i] == 'Y' ? 4 : 2;
            memcpy(pieces[i], p, w);
            p += w;
        }
    }
    int month = 1, day = 1, year = 2000;
    for (int i = 0; i < count; i++) {
        int len = (int)strlen(pieces[i]);
        int value = atoi(pieces[i]);
        switch (order[i]) {
        case 'M':
            if (len > 2 || value < 1 || value > 12) {
                snprintf(reason, reasonSize, "The month must be 1 to 12. Enter the date as %s.", pattern);
                return 0;
            }
            month = value;
            break;
        case 'D':
            if (len > 2 || value < 1) {
                snprintf(reason, reasonSize, "The day is not valid. Enter the date as %s.", pattern);
                return 0;
            }
            day = value;
            break;
        case 'Y':
            if (len != 4)
                return 0;
            if (value == 0) {
                snprintf(reason, reasonSize, "The year is missing. Enter the date as %s.", pattern);
                return 0;
            }
            if (value < 1800 || value > 2199) {
                snprintf(reason, reasonSize, "The year %d is not valid. Enter the date as %s.", value, pattern);
                return 0;
            }
            year = value;
            break;
        case 'y':
            if (len != 2)
                return 0;
            year = 2000 + value;
            break;
        }
    }
    if (strchr(order, 'D') && day > DaysInMonth(month, year)) {
        snprintf(reason, reasonSize, "The day is past the end of the month. Enter the date as %s.", pattern);
        return 0;
    }
    char normal[16] = "";
    int o = 0;
    for (int i = 0; i < count; i++) {
        if (i)
            normal[o++] = '/';
        int len = (int)strlen(pieces[i]);
        int width = order[i] == 'Y' ? 4 : 2;
        for (int z = len; z < width; z++)
            normal[o++] = '0';
        memcpy(normal + o, pieces[i], len);
        o += len;
    }
    normal[o] = 0;
    snprintf(out, outSize, "%s", normal);
    return 1;
}

// ---- numbers ----

// The number of decimals written in a number text.
static int CountTypedDecimals(const char *text)
{
    const char *point = strchr(text, '.');
    if (!point)
        return 0;
    int n = 0;
    for (point++; isdigit((unsigned char)*point); point++)
        n++;
    return n;
}

// The number of digits of the whole part of value (1 for 0).
static int CountIntegerDigits(double value)
{
    char digits[400];
    snprintf(digits, sizeof(digits), "%.0f", floor(fabs(value)));
    return (int)strlen(digits);
}

static int ValidateNumber(int kind, char letter, const FieldFormatPart *part, const char *bracketText, int length,
                          const char *text, char *out, int outSize, char *reason, int reasonSize)
{
    double value;
    int decimals = 0, commas = 1, maxDigits = 0;
    const char *example;
    switch (kind) {
    case ENTRY_KIND_AMOUNT_CENTS:
        decimals = part && part->decimals ? part->decimals : 2;
        maxDigits = part && part->intDigits ? part->intDigits : 10;
        letter = 'R';
        example = "1,234.50";
        break;
    case ENTRY_KIND_DECIMAL:
        commas = 0;
        if (letter == 'Q') {
            decimals = part && part->decimals ? part->decimals : 4;
            maxDigits = part && part->intDigits ? part->intDigits : 7;
            example = "12.3456";
        } else if (letter == 'r') {
            decimals = part && part->decimals ? part->decimals : 6;
            maxDigits = 0;
            example = ".123456";
        } else {
            letter = 'R';
            decimals = 2;
            maxDigits = 0;
            if (part && (part->intDigits || part->decimals)) {
                decimals = part->decimals;
                maxDigits = part->intDigits;
            } else if (bracketText && strchr(bracketText, '.')) {
                maxDigits = atoi(bracketText);
                decimals = atoi(strchr(bracketText, '.') + 1);
            }
            example = decimals ? "1234.50" : "1234";
        }
        break;
    default:  // whole numbers: amounts in dollars, counts, numbers
        letter = 'N';
        decimals = 0;
        maxDigits = length > 0 ? length : 0;
        example = "1,234 or -1,234";
        break;
    }
    if (!ReadNumberText(text, &value)) {
        if (decimals)
            snprintf(reason, reasonSize, "Enter a number with at most %d decimals, such as %s.", decimals, example);
        else
            snprintf(reason, reasonSize, "Enter a whole number, such as %s.", example);
        return 0;
    }
    if (decimals && CountTypedDecimals(text) > decimals) {
        // Only zeros may follow the stated decimals; dollar amounts (no decimals) are rounded.
        double scale = pow(10.0, decimals);
        if (fabs(value * scale - floor(value * scale + 0.5)) > 1e-6) {
            snprintf(reason, reasonSize, "Enter a number with at most %d decimals, such as %s.", decimals, example);
            return 0;
        }
    }
    if (letter == 'r' && fabs(value) >= 1) {
        snprintf(reason, reasonSize, "Enter a decimal fraction below 1, such as %s.", example);
        return 0;
    }
    double rounded = value;
    if (maxDigits > 0) {
        double scale = pow(10.0, decimals);
        rounded = floor(fabs(value) * scale + 0.5) / scale;
        if (CountIntegerDigits(rounded) > maxDigits) {
            snprintf(reason, reasonSize, "The number has more than %d digits before the decimal point.", maxDigits);
            return 0;
        }
    }
    if (!FormatCalcNumber(value, letter, decimals, commas, out, outSize)) {
        snprintf(reason, reasonSize, "The number is too long.");
        return 0;
    }
    return 1;
}

// A digit string: the digits as typed; commas and blanks typed between them are dropped.
static int ValidateDigitString(const char *text, char *out, int outSize, char *reason, int reasonSize)
{
    int o = 0;
    for (const char *p = text; *p; p++) {
        if (*p == ',' || *p == ' ')
            continue;
        if (!isdigit((unsigned char)*p) || o >= outSize - 1) {
            snprintf(reason, reasonSize, "Enter digits only, such as 0123.");
            return 0;
        }
        out[o++] = *p;
    }
    out[o] = 0;
    if (!o) {
        snprintf(reason, reasonSize, "Enter digits only, such as 0123.");
        return 0;
    }
    return 1;
}

// ---- value lists ----

// The text must be a code or a label of the list (never a prefix); the normal form is the code.
static int ValidateListValue(const char *valueList, const char *text, char *out, int outSize, char *reason,
                             int reasonSize)
{
    if (!valueList || !valueList[0]) {
        snprintf(out, outSize, "%s", text);
        return 1;
    }
    const char *p = valueList;
    while (*p) {
        char item[128];
        p = ReadValueListItem(p, item, sizeof(item));
        TrimSpaces(item);
        if (!item[0])
            continue;
        char *equals = strchr(item, '=');
        const char *label = NULL;
        if (equals) {
            *equals = 0;
            label = equals + 1;
            TrimSpaces(item);
        }
        int match = _stricmp(text, item) == 0 || (label && _stricmp(text, label) == 0);
        if (!match && label) {
            // The whole item as the list shows it: "code=label".
            char whole[260];
            snprintf(whole, sizeof(whole), "%s=%s", item, label);
            match = _stricmp(text, whole) == 0;
        }
        if (match) {
            snprintf(out, outSize, "%s", item);
            return 1;
        }
    }
    snprintf(reason, reasonSize, "Select a value from the list.");
    return 0;
}

// ---- the validator ----

int ValidateFieldData(char *text, char *messageBuffer, const char *caption, int kind, int subkind, HWND owner,
                      int textSize, const char *valueList, const FieldFormatPart *part, char typeLetter,
                      const char *bracketText, const char *relatedValue, int length, int showFlag)
{
    if (!text)
        return 0;
    if (textSize <= 0)
        textSize = VALIDATE_TEXT_SIZE;
    if (messageBuffer)
        messageBuffer[0] = 0;
    ValidateCall call = {text, messageBuffer, caption, owner, showFlag};
    char work[WORK_SIZE];
    if (strlen(text) >= sizeof(work))
        return Refuse(&call, "The entry is too long.");
    snprintf(work, sizeof(work), "%s", text);
    TrimSpaces(work);
    if (!work[0]) {
        text[0] = 0;
        return 1;
    }
    if (!bracketText && part)
        bracketText = part->bracket;
    char normal[WORK_SIZE] = "";
    char reason[200] = "";
    int ok = 1, checkLength = 0;
    char digits[32];

    switch (kind) {
    case ENTRY_KIND_NONE:
        // Value lists; other untyped parts (calculated, labels, specials) keep their text.
        if (typeLetter == 'V' || typeLetter == 'v')
            ok = ValidateListValue(valueList, work, normal, sizeof(normal), reason, sizeof(reason));
        break;
    case ENTRY_KIND_TEXT_PUNCT:
        ok = CheckAllowedChars(work, 1, 1, " #-()&'", "letters, digits, blanks and #-()&'", reason, sizeof(reason));
        checkLength = 1;
        break;
    case ENTRY_KIND_NAME_TEXT:
        if (typeLetter == 'i')
            ok = CheckAllowedChars(work, 1, 1, " -'", "letters, digits, blanks, - and '", reason, sizeof(reason));
        else
            ok = CheckAllowedChars(work, 1, 1, " -", "letters, digits, blanks and -", reason, sizeof(reason));
        checkLength = 1;
        break;
    case ENTRY_KIND_ALPHA:
        if (bracketText && bracketText[0] == '~') {
            // Letters of the alphabet without those listed after '~'.
            for (char *p = work; *p; p++) {
                *p = (char)toupper((unsigned char)*p);
                if (*p < 'A' || *p > 'Z' || strchr(bracketText + 1, *p) ||
                    strchr(bracketText + 1, tolower((unsigned char)*p))) {
                    snprintf(reason, sizeof(reason), "The letter '%c' is not one of the allowed letters.", *p);
                    ok = 0;
                    break;
                }
            }
        } else {
            ok = CheckAllowedChars(work, 1, 0, " -'", "letters, blanks, - and '", reason, sizeof(reason));
        }
        checkLength = 1;
        break;
    case ENTRY_KIND_ALNUM:
    case ENTRY_KIND_KEY_TEXT:
        ok = CheckAllowedChars(work, 1, 1, " ", "letters, digits and blanks", reason, sizeof(reason));
        checkLength = 1;
        break;
    case ENTRY_KIND_PERCENT_TEXT:
        ok = CheckAllowedChars(work, 1, 1, " %", "letters, digits, blanks and %", reason, sizeof(reason));
        checkLength = 1;
        break;
    case ENTRY_KIND_ANY_TEXT:
        ok = CheckAllowedChars(work, 1, 1,
                               " ~`!@#$%^&*()_-+={}|\\:;\"'<>,.?/[]",
                               "letters, digits, blanks and punctuation", reason, sizeof(reason));
        checkLength = 1;
        break;
    case ENTRY_KIND_TEXT_SLASH:
        ok = CheckAllowedChars(work, 1, 1, " -/", "letters, digits, blanks, - and /", reason, sizeof(reason));
        checkLength = 1;
        break;
    case ENTRY_KIND_DIGITS:
        ok = CheckAllowedChars(work, 0, 1, "", "digits", reason, sizeof(reason));
        checkLength = 1;
        break;
    case ENTRY_KIND_PIN:
        ok = CheckAllowedChars(work, 0, 1, "", "digits", reason, sizeof(reason));
        if (ok && length > 0 && (int)strlen(work) != length) {
            snprintf(reason, sizeof(reason), "Enter exactly %d digits.", length);
            ok = 0;
        } else if (ok && strspn(work, "0") == strlen(work)) {
            snprintf(reason, sizeof(reason), "The number cannot be all zeros.");
            ok = 0;
        }
        break;
    case ENTRY_KIND_STATE: {
        int groups = subkind > 0 ? subkind : STATE_GROUP_STATES;
        int row = LookupUsState(work, NULL, groups);
        if (!row && strchr(work, ' ')) {
            // A list row "NY New York": its abbreviation.
            char first[8];
            int n = (int)strcspn(work, " ");
            if (n < (int)sizeof(first)) {
                memcpy(first, work, n);
                first[n] = 0;
                row = LookupUsState(first, NULL, groups);
            }
        }
        if (row > 0 && row < gStateTableRowCount && gStateTable[row].abbreviation[0])
            snprintf(normal, sizeof(normal), "%s", gStateTable[row].abbreviation);
        else {
            snprintf(reason, sizeof(reason), "Enter a two-letter abbreviation or a name from the list.");
            ok = 0;
        }
        break;
    }
    case ENTRY_KIND_ZIP: {
        int foreign = relatedValue && relatedValue[0] &&
                      !LookupUsState(relatedValue, NULL, STATE_GROUP_STATES | STATE_GROUP_MILITARY |
                                                             STATE_GROUP_POSSESSIONS | STATE_GROUP_OTHER) &&
                      LookupUsState(relatedValue, NULL, STATE_GROUP_CANADA | STATE_GROUP_COUNTRIES);
        if (foreign) {
            // A postal code abroad: letters, digits, blanks and dashes.
            ok = CheckAllowedChars(work, 1, 1, " -", "letters, digits, blanks and -", reason, sizeof(reason));
            for (char *p = work; *p; p++)
                *p = (char)toupper((unsigned char)*p);
            if (ok && (int)strlen(work) > (length > 10 ? length : 10)) {
                snprintf(reason, sizeof(reason), "The postal code is too long.");
                ok = 0;
            }
            break;
        }
        int n = CollectDigits(work, "- ", digits, sizeof(digits));
        if (n == 5 && strcmp(digits, "00000") != 0)
            snprintf(normal, sizeof(normal), "%s", digits);
        else if (n == 9 && strncmp(digits, "00000", 5) != 0)
            snprintf(normal, sizeof(normal), "%.5s-%.4s", digits, digits + 5);
        else {
            snprintf(reason, sizeof(reason), "A ZIP code has 5 or 9 digits: 12345 or 12345-6789.");
            ok = 0;
        }
        break;
    }
    case ENTRY_KIND_SSN: {
        int r = ValidateSsn(0, work, normal, sizeof(normal));
        if (r == SSN_NOT_ISSUED) {
            snprintf(reason, sizeof(reason),
                     "This number is never issued: it cannot begin with 000 or 666, nor with 9 unless it is an "
                     "ITIN (fourth and fifth digits 50-65, 70-88, 90-92 or 94-99), and its middle and last parts "
                     "cannot be 00 or 0000.");
            ok = 0;
        } else if (r != SSN_VALID) {
            snprintf(reason, sizeof(reason), "An identification number has 9 digits: 123-45-6789.");
            ok = 0;
        }
        break;
    }
    case ENTRY_KIND_EIN: {
        int n = CollectDigits(work, "- ", digits, sizeof(digits));
        if (n == 9 && strncmp(digits, "00", 2) != 0)
            snprintf(normal, sizeof(normal), "%.2s-%.7s", digits, digits + 2);
        else {
            snprintf(reason, sizeof(reason), "An employer identification number has 9 digits: 12-3456789 "
                                             "(it cannot begin with 00).");
            ok = 0;
        }
        break;
    }
    case ENTRY_KIND_PHONE: {
        int n = CollectDigits(work, " ()-.+", digits, sizeof(digits));
        const char *d = digits;
        if (n == 11 && digits[0] == '1') {
            d++;
            n--;
        }
        if (n == 10)
            snprintf(normal, sizeof(normal), "(%.3s)%.3s-%.4s", d, d + 3, d + 6);
        else {
            snprintf(reason, sizeof(reason), "A telephone number has 10 digits: (123)456-7890.");
            ok = 0;
        }
        break;
    }
    case ENTRY_KIND_PTIN: {
        char compact[WORK_SIZE];
        int o = 0;
        for (const char *p = work; *p; p++)
            if (*p != ' ' && *p != '-')
                compact[o++] = (char)toupper((unsigned char)*p);
        compact[o] = 0;
        if ((compact[0] == 'P' || compact[0] == 'S') && o == 9 && strspn(compact + 1, "0123456789") == 8)
            snprintf(normal, sizeof(normal), "%s", compact);
        else if (o == 9 && strspn(compact, "0123456789") == 9)
            snprintf(normal, sizeof(normal), "%s", compact);
        else {
            snprintf(reason, sizeof(reason), "Enter P and 8 digits (P12345678), or 9 digits.");
            ok = 0;
        }
        break;
    }
    case ENTRY_KIND_CHECK:
        if (_stricmp(work, "X") == 0)
            snprintf(normal, sizeof(normal), "X");
        else {
            snprintf(reason, sizeof(reason), "Type X to mark the box, or leave it empty.");
            ok = 0;
        }
        break;
    case ENTRY_KIND_NUMBER:
    case ENTRY_KIND_COUNT:
        // Numbers of these kinds are digit strings (routing numbers, PINs, codes, counts): their
        // digits are kept exactly, with no grouping commas and with their leading zeros.
        ok = ValidateDigitString(work, normal, sizeof(normal), reason, sizeof(reason));
        checkLength = 1;
        break;
    case ENTRY_KIND_AMOUNT:
    case ENTRY_KIND_AMOUNT_CENTS:
    case ENTRY_KIND_DECIMAL:
        ok = ValidateNumber(kind, typeLetter, part, bracketText, length, work, normal, sizeof(normal), reason,
                            sizeof(reason));
        break;
    case ENTRY_KIND_DATE:
        ok = ValidateDate(typeLetter, work, normal, sizeof(normal), reason, sizeof(reason));
        break;
    default:
        break;
    }
    if (!ok)
        return Refuse(&call, reason);
    if (!normal[0])
        snprintf(normal, sizeof(normal), "%s", work);
    if (checkLength && length > 0 && (int)strlen(normal) > length) {
        snprintf(reason, sizeof(reason), "The entry may have at most %d characters.", length);
        return Refuse(&call, reason);
    }
    if ((int)strlen(normal) >= textSize)
        return Refuse(&call, "The entry is too long.");
    memcpy(text, normal, strlen(normal) + 1);
    return 1;
}
