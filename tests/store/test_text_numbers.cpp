// Number, date and colour routines.
#include "store/store.h"

#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

TEST(NumberText, ParseWithCommasSignsAndLimits)
{
    EXPECT_EQ(1234567, ParseNumberText("1,234,567"));
    EXPECT_EQ(-42, ParseNumberText("  -42"));
    EXPECT_EQ(7, ParseNumberText("+7"));
    EXPECT_EQ(12, ParseNumberText("12.75"));  // stops at the decimal point
    EXPECT_EQ(0, ParseNumberText(""));
    EXPECT_EQ(0, ParseNumberText("abc"));
    EXPECT_EQ(0, ParseNumberText(NULL));
    EXPECT_EQ(INT64_MAX, ParseNumberText("99,999,999,999,999,999,999"));
    EXPECT_EQ(INT64_MIN, ParseNumberText("-9223372036854775808"));
    EXPECT_EQ(INT64_MIN, ParseNumberText("-99999999999999999999999"));
    EXPECT_EQ(INT64_MAX, ParseNumberText("9223372036854775807"));
}

TEST(NumberText, TextToDoubleDropsCommasAndSurvivesLongInput)
{
    EXPECT_DOUBLE_EQ(1234.5, TextToDouble("1,234.50"));
    EXPECT_DOUBLE_EQ(-1000.25, TextToDouble("-$1,000.25"));
    EXPECT_DOUBLE_EQ(0.0, TextToDouble(""));
    EXPECT_DOUBLE_EQ(0.0, TextToDouble(NULL));
    char longText[600];
    memset(longText, '9', sizeof longText - 1);
    longText[sizeof longText - 1] = 0;
    double value = TextToDouble(longText);  // must not overrun its working copy
    EXPECT_GT(value, 1e100);
}

TEST(NumberFormat, DecimalsGroupingAndBufferLimits)
{
    char out[32];
    EXPECT_EQ(12, FormatNumber(out, sizeof out, 1234567.891, 2, FORMAT_NUMBER_COMMAS));
    EXPECT_STREQ("1,234,567.89", out);
    FormatNumber(out, sizeof out, 1234567.891, 2, 0);
    EXPECT_STREQ("1234567.89", out);
    FormatNumber(out, sizeof out, -1234.4, 0, FORMAT_NUMBER_COMMAS);
    EXPECT_STREQ("-1,234", out);
    FormatNumber(out, sizeof out, 999, 0, FORMAT_NUMBER_COMMAS);
    EXPECT_STREQ("999", out);
    FormatNumber(out, sizeof out, 100000, 0, FORMAT_NUMBER_COMMAS);
    EXPECT_STREQ("100,000", out);
    FormatNumber(out, sizeof out, -0.004, 2, 0);
    EXPECT_STREQ("0.00", out);  // no "-0.00"
    // "1,000.00" needs 9 bytes.
    EXPECT_EQ(8, FormatNumber(out, 9, 1000, 2, FORMAT_NUMBER_COMMAS));
    EXPECT_EQ(0, FormatNumber(out, 8, 1000, 2, FORMAT_NUMBER_COMMAS));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, FormatNumber(out, sizeof out, NAN, 2, 0));
    EXPECT_EQ(0, FormatNumber(out, sizeof out, 1e300, 2, 0));  // far too long for 32 bytes
}

TEST(DateText, LayoutsAndCalendarChecks)
{
    SYSTEMTIME t;
    ASSERT_EQ(1, ParseDateText("12/31/2024", &t, 'D'));
    EXPECT_EQ(2024, t.wYear);
    EXPECT_EQ(12, t.wMonth);
    EXPECT_EQ(31, t.wDay);
    EXPECT_EQ(2, t.wDayOfWeek);  // a Tuesday
    ASSERT_EQ(1, ParseDateText("12312024", &t, 'D'));
    EXPECT_EQ(31, t.wDay);
    ASSERT_EQ(1, ParseDateText("1/5/2024", &t, 'D'));
    EXPECT_EQ(1, t.wMonth);
    EXPECT_EQ(5, t.wDay);
    EXPECT_EQ(1, ParseDateText("02/29/2024", &t, 'D'));
    EXPECT_EQ(0, ParseDateText("02/29/2023", &t, 'D'));
    EXPECT_EQ(0, ParseDateText("13/01/2024", &t, 'D'));
    EXPECT_EQ(0, ParseDateText("04/31/2024", &t, 'D'));
    EXPECT_EQ(0, ParseDateText("12/31/2024x", &t, 'D'));
    EXPECT_EQ(0, ParseDateText("12/31", &t, 'D'));
    EXPECT_EQ(0, ParseDateText("", &t, 'D'));
    EXPECT_EQ(0, ParseDateText(NULL, &t, 'D'));
    EXPECT_EQ(0, t.wYear);  // a refused text leaves a zeroed record
    ASSERT_EQ(1, ParseDateText("2024-12-31", &t, 'E'));
    EXPECT_EQ(12, t.wMonth);
    ASSERT_EQ(1, ParseDateText("01/02/99", &t, 'O'));
    EXPECT_EQ(1999, t.wYear);
    ASSERT_EQ(1, ParseDateText("01/02/25", &t, 'O'));
    EXPECT_EQ(2025, t.wYear);
    ASSERT_EQ(1, ParseDateText("2024", &t, 'Y'));
    EXPECT_EQ(1, t.wMonth);
    ASSERT_EQ(1, ParseDateText("06/2024", &t, 'd'));
    EXPECT_EQ(6, t.wMonth);
    EXPECT_EQ(0, ParseDateText("12/31/2024", &t, '?'));
}

TEST(DateText, StatusEntryDatesWithTime)
{
    SYSTEMTIME t;
    ASSERT_EQ(1, ParseDateText("04/15/2025 13:45:10", &t, 'T'));
    EXPECT_EQ(13, t.wHour);
    EXPECT_EQ(45, t.wMinute);
    EXPECT_EQ(10, t.wSecond);
    ASSERT_EQ(1, ParseDateText("04/15/2025 08:05", &t, 'T'));
    EXPECT_EQ(8, t.wHour);
    EXPECT_EQ(0, t.wSecond);
    ASSERT_EQ(1, ParseDateText("04/15/2025", &t, 'T'));
    EXPECT_EQ(0, t.wHour);
    EXPECT_EQ(0, ParseDateText("04/15/2025 25:00", &t, 'T'));
    EXPECT_EQ(0, ParseDateText("04/15/2025 12:60:00", &t, 'T'));
}

TEST(DateFormat, FileTimeTextTwelveHourClock)
{
    SYSTEMTIME t = {};
    t.wYear = 2024;
    t.wMonth = 4;
    t.wDay = 15;
    t.wHour = 13;
    t.wMinute = 5;
    char out[64];
    ASSERT_EQ(1, FormatFileTimeText(NULL, &t, NULL, out, sizeof out, 0, 1));
    EXPECT_STREQ("4/15/2024 at 1:05 PM", out);
    t.wHour = 0;
    ASSERT_EQ(1, FormatFileTimeText(NULL, &t, NULL, out, sizeof out, 0, 0));
    EXPECT_STREQ("4/15/2024 12:05 AM", out);
    t.wHour = 12;
    ASSERT_EQ(1, FormatFileTimeText(NULL, &t, NULL, out, sizeof out, 0, 0));
    EXPECT_STREQ("4/15/2024 12:05 PM", out);
    // Exactly fitting and one byte short.
    EXPECT_EQ(1, FormatFileTimeText(NULL, &t, NULL, out, 19, 0, 0));
    EXPECT_EQ(0, FormatFileTimeText(NULL, &t, NULL, out, 18, 0, 0));
    EXPECT_STREQ("", out);
    // From a file time.
    FILETIME fileTime;
    t.wHour = 23;
    ASSERT_TRUE(SystemTimeToFileTime(&t, &fileTime));
    ASSERT_EQ(1, FormatFileTimeText(NULL, NULL, &fileTime, out, sizeof out, 0, 1));
    EXPECT_STREQ("4/15/2024 at 11:05 PM", out);
    EXPECT_EQ(0, FormatFileTimeText(NULL, NULL, NULL, out, sizeof out, 0, 1));
}

TEST(DateFormat, LongDateOnlyIntoAnEmptyBuffer)
{
    SYSTEMTIME t = {};
    t.wYear = 2025;
    t.wMonth = 3;
    t.wDay = 7;
    char out[64] = "";
    ASSERT_EQ(1, FormatDateTime(NULL, NULL, 0, out, sizeof out, &t));
    EXPECT_NE(nullptr, strstr(out, "7, 2025")) << out;
    char kept[64] = "already";
    EXPECT_EQ(1, FormatDateTime(NULL, NULL, 0, kept, sizeof kept, &t));
    EXPECT_STREQ("already", kept);
    char tiny[4] = "";
    EXPECT_EQ(0, FormatDateTime(NULL, NULL, 0, tiny, sizeof tiny, &t));
    EXPECT_STREQ("", tiny);
}

TEST(Colours, HlsOrderScaleAndRoundTrip)
{
    uint16_t red[3] = {255, 0, 0}, hls[3];
    RgbToHls(red, hls);
    EXPECT_EQ(0, hls[0]);    // hue
    EXPECT_EQ(240, hls[1]);  // saturation
    EXPECT_EQ(120, hls[2]);  // lightness
    uint16_t white[3] = {255, 255, 255};
    RgbToHls(white, hls);
    EXPECT_EQ(0, hls[1]);
    EXPECT_EQ(240, hls[2]);
    uint16_t blue[3] = {0, 0, 255};
    RgbToHls(blue, hls);
    EXPECT_EQ(160, hls[0]);

    const uint16_t samples[][3] = {{12, 200, 90}, {250, 240, 10}, {30, 30, 31}, {128, 0, 255}, {7, 7, 7}};
    for (const auto &sample : samples) {
        uint16_t back[3];
        RgbToHls(sample, hls);
        HlsToRgb(hls, back);
        for (int i = 0; i < 3; i++)
            EXPECT_NEAR(sample[i], back[i], 3) << "component " << i;
    }
    // Lightening a dark colour to 225 keeps it in range and makes it light.
    uint16_t dark[3] = {0, 0, 128}, light[3];
    RgbToHls(dark, hls);
    hls[2] = 225;
    HlsToRgb(hls, light);
    EXPECT_GT(light[0], 200);
    EXPECT_LE(light[2], 255);
    // Out-of-range input is clamped rather than wrapped.
    uint16_t wild[3] = {1000, 300, 241};
    HlsToRgb(wild, light);
    EXPECT_LE(light[0], 255);
}
