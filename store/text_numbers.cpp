// text_numbers.cpp - number texts: reading (with thousands commas) and formatting.
#include "store/store.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int64_t ParseNumberText(const char *text)
{
    if (!text)
        return 0;
    const char *p = text;
    while (*p == ' ' || *p == '\t')
        p++;
    int negative = 0;
    if (*p == '-' || *p == '+') {
        negative = (*p == '-');
        p++;
    }
    // Magnitude collected as unsigned so INT64_MIN can be represented; saturates on overflow.
    const uint64_t limit = negative ? (uint64_t)INT64_MAX + 1u : (uint64_t)INT64_MAX;
    uint64_t value = 0;
    int saturated = 0;
    for (; *p; p++) {
        if (*p == ',')
            continue;
        if (*p < '0' || *p > '9')
            break;
        unsigned digit = (unsigned)(*p - '0');
        if (saturated || value > (limit - digit) / 10u) {
            saturated = 1;
            value = limit;
            continue;
        }
        value = value * 10u + digit;
    }
    if (negative)
        return value == (uint64_t)INT64_MAX + 1u ? INT64_MIN : -(int64_t)value;
    return (int64_t)value;
}

double TextToDouble(const char *text)
{
    if (!text)
        return 0.0;
    char clean[128];
    size_t o = 0;
    const char *p = text;
    while (*p == ' ' || *p == '\t')
        p++;
    for (; *p && o < sizeof clean - 1; p++) {
        if (*p == ',' || *p == '$')
            continue;
        clean[o++] = *p;
    }
    clean[o] = 0;
    return strtod(clean, NULL);
}

int FormatNumber(char *buffer, int size, double value, int decimals, unsigned flags)
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = 0;
    if (!isfinite(value))
        return 0;
    if (decimals < 0)
        decimals = 0;
    if (decimals > 10)
        decimals = 10;
    char plain[400];  // the largest double printed with 10 decimals needs about 320 bytes
    int n = snprintf(plain, sizeof plain, "%.*f", decimals, value);
    if (n < 0 || n >= (int)sizeof plain)
        return 0;
    // A value that rounds to zero is written without a minus sign.
    const char *digits = plain;
    int negative = 0;
    if (*digits == '-') {
        digits++;
        negative = strspn(digits, "0.") != strlen(digits);
    }
    const char *point = strchr(digits, '.');
    int integerDigits = point ? (int)(point - digits) : (int)strlen(digits);
    int commas = (flags & FORMAT_NUMBER_COMMAS) ? (integerDigits - 1) / 3 : 0;
    int total = negative + (int)strlen(digits) + commas;
    if (total + 1 > size)
        return 0;
    int o = 0;
    if (negative)
        buffer[o++] = '-';
    for (int i = 0; digits[i]; i++) {
        buffer[o++] = digits[i];
        int left = integerDigits - 1 - i;  // integer digits still to come after this one
        if (commas && left > 0 && left % 3 == 0)
            buffer[o++] = ',';
    }
    buffer[o] = 0;
    return o;
}
