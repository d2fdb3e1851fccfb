// field_format.cpp - parsing field type codes into their parts (ParseFieldFormat) and the
// attribute text of a field (ParseFieldAttributes).
//
// Grammar of a type code, as the program writes them:
//   code    = ['^'] ['C' | 'c'] part { part }
//   part    = letter [sign] [digits] ['L'] ['[' bracket ']']
//   letter  = 'A'..'Z' | 'a'..'z' | '*'      (the 'C'/'c' before another letter is the
//             "calculated" prefix, not a part)
//   sign    = '+' | '-'
//   digits  = for 'B' and 'i' the number the part carries (an 'L' after it is the "wide" mark);
//             for other letters integer digits ['.' decimals]
//   bracket = text; '>' and '<' at its end are taken off as marks, ":d" (d a digit) is taken off
//             as the colon digit. For number letters a bracket "i.d" or "i" gives the integer
//             digits and decimals; for 'T' it is kind, item letter, flag; for 'i' a digit is the
//             number.
// Text between '[' and ']' that follows no letter is skipped; other characters are skipped.
#include "store/store.h"

#include <string.h>
#include <ctype.h>

static int IsPartLetter(char ch)
{
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '*';
}

static int IsNumberLetter(char ch)
{
    return strchr("NRQrGUZmn", ch) != NULL;
}

// Reads a decimal number of at most 5 digits at *p; returns it (saturated at 65535).
static unsigned ReadSmallNumber(const char **p)
{
    unsigned value = 0;
    while (isdigit((unsigned char)**p)) {
        if (value < 65535)
            value = value * 10 + (unsigned)(**p - '0');
        if (value > 65535)
            value = 65535;
        (*p)++;
    }
    return value;
}

// Reads "i.d" from a text; 1 when the whole text is such a number.
static int ReadDigitsText(const char *text, uint16_t *intDigits, uint16_t *decimals)
{
    const char *p = text;
    if (!isdigit((unsigned char)*p))
        return 0;
    unsigned i = ReadSmallNumber(&p);
    unsigned d = 0;
    if (*p == '.') {
        p++;
        d = ReadSmallNumber(&p);
    }
    if (*p)
        return 0;
    *intDigits = (uint16_t)i;
    *decimals = (uint16_t)d;
    return 1;
}

// Fills the bracket members of part from the raw bracket text (length n).
static void ApplyBracketText(FieldFormatPart *part, const char *text, size_t n)
{
    if (n >= sizeof part->bracket)
        n = sizeof part->bracket - 1;
    char buf[sizeof part->bracket];
    memcpy(buf, text, n);
    buf[n] = 0;
    // '>' and '<' marks at the end, in either order.
    for (;;) {
        size_t len = strlen(buf);
        if (len && buf[len - 1] == '>') {
            part->greaterMark = 1;
            buf[len - 1] = 0;
        } else if (len && buf[len - 1] == '<') {
            part->lessMark = 1;
            buf[len - 1] = 0;
        } else {
            break;
        }
    }
    // ":d" colon digit.
    char *colon = strchr(buf, ':');
    if (colon && isdigit((unsigned char)colon[1])) {
        part->colonDigit = colon[1];
        memmove(colon, colon + 2, strlen(colon + 2) + 1);
    }
    memcpy(part->bracket, buf, strlen(buf) + 1);

    char letter = part->letter;
    if (letter == 'T') {
        if (buf[0])
            part->taxKind = buf[0];
        if (buf[0] && buf[1])
            part->itemLetter = buf[1];
        if (buf[0] && buf[1] && buf[2])
            part->itemFlag = buf[2];
        part->position = part->colonDigit;
    } else if (letter == 'i' || letter == 'B') {
        if (isdigit((unsigned char)buf[0]) && part->number < 0) {
            const char *p = buf;
            unsigned v = ReadSmallNumber(&p);
            part->number = (int16_t)(v > 32767 ? 32767 : v);
        }
    } else if (IsNumberLetter(letter)) {
        ReadDigitsText(buf, &part->intDigits, &part->decimals);
    }
    if (strchr(buf, 'z') && letter != 'T' && letter != 'A' && letter != 's')
        part->mark = 1;
}

int ParseFieldFormat(const char *typeCode, FieldFormat *formatOut, int skipFlag)
{
    if (!formatOut)
        return 0;
    memset(formatOut, 0, sizeof *formatOut);
    if (!typeCode)
        return 0;
    const char *p = typeCode;
    if (*p == '^')
        p++;
    if ((*p == 'C' || *p == 'c') && IsPartLetter(p[1])) {
        formatOut->prefix = *p;
        p++;
    }
    int count = 0;
    while (*p) {
        if (*p == '[') {
            // A bracket that follows no letter: skipped.
            const char *end = strchr(p, ']');
            p = end ? end + 1 : p + strlen(p);
            continue;
        }
        if (!IsPartLetter(*p)) {
            p++;
            continue;
        }
        FieldFormatPart part;
        memset(&part, 0, sizeof part);
        part.letter = *p++;
        part.number = -1;
        part.calculated = formatOut->prefix ? 1 : 0;
        if (part.letter == 'a' || part.letter == '*')
            part.mark = 1;
        if (*p == '+' || *p == '-')
            part.sign = *p++;
        if (isdigit((unsigned char)*p)) {
            if (part.letter == 'B' || part.letter == 'i') {
                unsigned v = ReadSmallNumber(&p);
                part.number = (int16_t)(v > 32767 ? 32767 : v);
                if (*p == 'L') {
                    part.lMark = 1;
                    p++;
                }
            } else {
                part.intDigits = (uint16_t)ReadSmallNumber(&p);
                if (*p == '.' && isdigit((unsigned char)p[1])) {
                    p++;
                    part.decimals = (uint16_t)ReadSmallNumber(&p);
                }
            }
        }
        if (*p == '[') {
            const char *start = p + 1;
            const char *end = strchr(start, ']');
            size_t n = end ? (size_t)(end - start) : strlen(start);
            ApplyBracketText(&part, start, n);
            p = end ? end + 1 : start + n;
        }
        if (skipFlag && (part.letter == 'b' || part.letter == 'S'))
            continue;
        if (count >= FIELD_FORMAT_MAX_PARTS)
            break;   // further parts are not kept
        formatOut->parts[count++] = part;
    }
    formatOut->count = count;
    return count;
}

int ParseFieldAttributes(const FieldRecord *field, int *a, int *b, int *c, int *d)
{
    int *outs[4] = {a, b, c, d};
    for (int i = 0; i < 4; i++)
        if (outs[i])
            *outs[i] = 0;
    if (!field || !field->valueList)
        return 0;
    const char *p = strchr(field->valueList, '*');
    if (!p)
        return 0;
    p++;
    int n = 0;
    while (*p && n < 4) {
        if (*p == '[' || *p == ',' || *p == ']' || *p == ' ') {
            p++;
            continue;
        }
        if (*p == '-' || *p == '+' || isdigit((unsigned char)*p)) {
            int sign = 1;
            if (*p == '-' || *p == '+') {
                sign = *p == '-' ? -1 : 1;
                p++;
            }
            long v = 0;
            while (isdigit((unsigned char)*p)) {
                if (v < 100000000)
                    v = v * 10 + (*p - '0');
                p++;
            }
            if (outs[n])
                *outs[n] = (int)(sign * v);
            n++;
            continue;
        }
        break;
    }
    return n;
}
