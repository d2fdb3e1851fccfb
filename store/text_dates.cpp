// text_dates.cpp - date texts, date and time formatting, local time.
#include "store/store.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

static int IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

static int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (month == 2 && IsLeapYear(year)) ? 29 : days[month - 1];
}

// Reads up to maxCount digit groups. With separators, groups are split at '/', '-' or '.'; a text of
// digits only is cut by the widths given. Returns the number of groups, -1 on a malformed text.
static int ReadDateGroups(const char *text, const char **endOut, int *values, int maxCount,
                          const int *widths)
{
    const char *p = text;
    int count = 0;
    int separated = 0;
    for (const char *q = p; *q && *q != ' ' && *q != 'T'; q++)
        if (*q == '/' || *q == '-' || *q == '.')
            separated = 1;
    while (count < maxCount) {
        int width = separated ? 4 : widths[count];
        int digits = 0;
        int value = 0;
        while (isdigit((unsigned char)*p) && digits < width) {
            value = value * 10 + (*p - '0');
            p++;
            digits++;
        }
        if (digits == 0 || (!separated && digits != widths[count]))
            return -1;
        values[count++] = value;
        if (separated) {
            if (isdigit((unsigned char)*p))
                return -1;  // a group longer than four digits
            if (count < maxCount) {
                if (*p != '/' && *p != '-' && *p != '.')
                    return -1;
                p++;
            }
        }
    }
    *endOut = p;
    return count;
}

int ParseDateText(const char *text, SYSTEMTIME *timeOut, char layout)
{
    if (!timeOut)
        return 0;
    memset(timeOut, 0, sizeof *timeOut);
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t')
        text++;
    int values[3] = {0, 0, 0};
    int year = 0, month = 1, day = 1;
    const char *end = text;
    int count;
    switch (layout) {
    case 'D':
    case 'T': {
        static const int widths[3] = {2, 2, 4};
        count = ReadDateGroups(text, &end, values, 3, widths);
        month = values[0], day = values[1], year = values[2];
        break;
    }
    case 'E': {
        static const int widths[3] = {4, 2, 2};
        count = ReadDateGroups(text, &end, values, 3, widths);
        year = values[0], month = values[1], day = values[2];
        break;
    }
    case 'O': {
        static const int widths[3] = {2, 2, 2};
        count = ReadDateGroups(text, &end, values, 3, widths);
        month = values[0], day = values[1];
        year = values[2] < 100 ? (values[2] < 50 ? 2000 : 1900) + values[2] : -1;
        break;
    }
    case 'Y': {
        static const int widths[1] = {4};
        count = ReadDateGroups(text, &end, values, 1, widths);
        year = values[0];
        break;
    }
    case 'd': {
        static const int widths[2] = {2, 4};
        count = ReadDateGroups(text, &end, values, 2, widths);
        month = values[0], year = values[1];
        break;
    }
    case 'e': {
        static const int widths[2] = {4, 2};
        count = ReadDateGroups(text, &end, values, 2, widths);
        year = values[0], month = values[1];
        break;
    }
    default:
        return 0;
    }
    if (count < 0)
        return 0;
    if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return 0;
    int hour = 0, minute = 0, second = 0;
    if (layout == 'T' && (*end == ' ' || *end == 'T')) {
        // Optional time of day: hh:mm or hh:mm:ss.
        const char *p = end + 1;
        while (*p == ' ')
            p++;
        int consumed = 0;
        int fields = sscanf(p, "%2d:%2d:%2d%n", &hour, &minute, &second, &consumed);
        if (fields < 3) {
            second = 0;
            consumed = 0;
            fields = sscanf(p, "%2d:%2d%n", &hour, &minute, &consumed);
            if (fields < 2)
                return 0;
        }
        if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
            return 0;
        end = p + consumed;
    }
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n')
        end++;
    if (*end)
        return 0;
    timeOut->wYear = (WORD)year;
    timeOut->wMonth = (WORD)month;
    timeOut->wDay = (WORD)day;
    timeOut->wHour = (WORD)hour;
    timeOut->wMinute = (WORD)minute;
    timeOut->wSecond = (WORD)second;
    // Fill in the day of the week through a round trip.
    FILETIME fileTime;
    SYSTEMTIME normal;
    if (SystemTimeToFileTime(timeOut, &fileTime) && FileTimeToSystemTime(&fileTime, &normal))
        timeOut->wDayOfWeek = normal.wDayOfWeek;
    return 1;
}

int FormatDateTime(const char *dateText, const char *timeText, int reserved, char *dateOut,
                   int dateOutSize, const SYSTEMTIME *time)
{
    (void)timeText;
    (void)reserved;
    if (!dateOut || dateOutSize <= 0)
        return 0;
    if (dateOut[0])
        return 1;  // keeps a date already there
    SYSTEMTIME parsed;
    const SYSTEMTIME *source = time;
    if (dateText && *dateText) {
        if (!ParseDateText(dateText, &parsed, 'D'))
            return 0;
        source = &parsed;
    }
    if (!source || source->wYear == 0)
        return 0;
    int n = GetDateFormatA(LOCALE_USER_DEFAULT, 0, source, "MMMM d',' yyyy", dateOut, dateOutSize);
    if (n <= 0) {
        dateOut[0] = 0;
        return 0;
    }
    return 1;
}

int SystemTimeToLocal(const SYSTEMTIME *utc, SYSTEMTIME *localOut)
{
    if (!utc || !localOut)
        return 0;
    SYSTEMTIME local;
    if (!SystemTimeToTzSpecificLocalTime(NULL, utc, &local)) {
        *localOut = *utc;
        return 0;
    }
    *localOut = local;
    return 1;
}

int FormatFileTimeText(const char *text, const SYSTEMTIME *time, const FILETIME *fileTime, char *out,
                       int outSize, int toLocal, int withAt)
{
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    SYSTEMTIME st;
    if (time)
        st = *time;
    else if (!fileTime || !FileTimeToSystemTime(fileTime, &st))
        return 0;
    if (toLocal)
        SystemTimeToLocal(&st, &st);
    unsigned short hour = st.wHour % 12;
    if (hour == 0)
        hour = 12;
    char formatted[128];
    int n = snprintf(formatted, sizeof formatted, "%s%hu/%hu/%hu %s%hu:%2.2hu %s", text ? text : "",
                     st.wMonth, st.wDay, st.wYear, withAt ? "at " : "", hour, st.wMinute,
                     st.wHour < 12 ? "AM" : "PM");
    if (n < 0 || n >= (int)sizeof formatted || n + 1 > outSize)
        return 0;
    memcpy(out, formatted, (size_t)n + 1);
    return 1;
}
