// numbers.cpp - number texts of calculated and validated fields, and date differences.
#include "calc/calc.h"

#include <math.h>
#include <string.h>

int ReadNumberText(const char *text, double *valueOut)
{
    if (!text)
        return 0;
    const char *p = text;
    while (*p == ' ' || *p == '\t')
        p++;
    int negative = 0, parenthesis = 0;
    if (*p == '-') {
        negative = 1;
        p++;
    } else if (*p == '(') {
        parenthesis = 1;
        p++;
    }
    if (*p == '$')
        p++;
    if (!negative && !parenthesis && *p == '-') {  // "$-12"
        negative = 1;
        p++;
    }
    double value = 0;
    int digits = 0, groupDigits = 0, sawComma = 0;
    for (; *p; p++) {
        if (*p >= '0' && *p <= '9') {
            value = value * 10 + (*p - '0');
            digits++;
            groupDigits++;
        } else if (*p == ',' && digits > 0) {
            // Thousands commas: every group after a comma has exactly three digits.
            if (sawComma && groupDigits != 3)
                return 0;
            sawComma = 1;
            groupDigits = 0;
        } else {
            break;
        }
    }
    if (sawComma && groupDigits != 3)
        return 0;
    if (*p == '.') {
        double scale = 0.1;
        for (p++; *p >= '0' && *p <= '9'; p++) {
            value += (*p - '0') * scale;
            scale /= 10;
            digits++;
        }
    }
    if (!digits)
        return 0;
    if (parenthesis) {
        if (*p != ')')
            return 0;
        p++;
        negative = 1;
    }
    while (*p == ' ' || *p == '\t')
        p++;
    if (*p)
        return 0;
    if (valueOut)
        *valueOut = negative ? -value : value;
    return 1;
}

// Rounds half away from zero to the given decimals; a tiny allowance keeps values such as 1.005
// (stored as 1.00499999...) rounding the way they are written.
static double RoundHalfAway(double value, int decimals)
{
    double scale = pow(10.0, decimals);
    double scaled = fabs(value) * scale;
    double rounded = floor(scaled + 0.5 + 1e-7);
    return (value < 0 ? -rounded : rounded) / scale;
}

int FormatCalcNumber(double value, char letter, int decimals, int commas, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    if (!isfinite(value))
        return 0;
    int defaultDecimals = -1, defaultCommas = 0, dropLeadingZero = 0;
    switch (letter) {
    case 'N':
    case 'G':
        defaultDecimals = 0;
        defaultCommas = 1;
        break;
    case 'R':
        defaultDecimals = 2;
        defaultCommas = 1;
        break;
    case 'Q':
        defaultDecimals = 4;
        break;
    case 'r':
        defaultDecimals = 6;
        dropLeadingZero = 1;
        break;
    default:
        break;
    }
    if (decimals < 0)
        decimals = defaultDecimals;
    if (decimals < 0) {
        // No stated decimals: whole when the value is whole to the cent, else two decimals.
        double cents = RoundHalfAway(value, 2);
        decimals = (cents == floor(cents)) ? 0 : 2;
    }
    if (decimals > 10)
        decimals = 10;
    if (commas < 0)
        commas = defaultCommas;
    double rounded = RoundHalfAway(value, decimals);
    int n = FormatNumber(out, outSize, rounded, decimals, commas ? FORMAT_NUMBER_COMMAS : 0);
    if (n <= 0)
        return 0;
    if (dropLeadingZero) {
        // ".123456" and "-.123456" instead of "0.123456".
        char *zero = out[0] == '-' ? out + 1 : out;
        if (zero[0] == '0' && zero[1] == '.') {
            memmove(zero, zero + 1, strlen(zero));
            n--;
        }
    }
    return n;
}

int DiffDates(const SYSTEMTIME *later, const SYSTEMTIME *earlier, int unit)
{
    if (!later || !earlier)
        return 0;
    FILETIME a, b;
    if (!SystemTimeToFileTime(later, &a) || !SystemTimeToFileTime(earlier, &b))
        return 0;
    LONGLONG ta = ((LONGLONG)a.dwHighDateTime << 32) | a.dwLowDateTime;
    LONGLONG tb = ((LONGLONG)b.dwHighDateTime << 32) | b.dwLowDateTime;
    LONGLONG diff = ta - tb;  // in 100-nanosecond steps
    const LONGLONG minute = 600000000LL;
    LONGLONG result;
    switch (unit) {
    case 1:
        result = diff / (minute * 60 * 24);
        break;
    case 2:
        result = diff / (minute * 60);
        break;
    case 3:
        result = diff / minute;
        break;
    case 6:
        return diff > 0 ? 1 : (diff < 0 ? -1 : 0);
    default:
        return 0;
    }
    if (result > 0x7FFFFFFF)
        result = 0x7FFFFFFF;
    if (result < -0x7FFFFFFF)
        result = -0x7FFFFFFF;
    return (int)result;
}
