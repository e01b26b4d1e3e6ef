#include <gtest/gtest.h>

#include <ctime>

#include "catalogue/CatalogueValues.h"

namespace {

// The conversion the selection applies to the current time: the same wall clock read as local time.
int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
    struct tm parts = {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    return _mktime64(&parts);
}

TEST(CatalogueValuesTest, ParseDateReadsWallClockAndNormalisesDayOverflow) {
    int64_t seconds = 0;
    ASSERT_TRUE(ParseDate(L"2015/6/1 12:34:56", seconds));
    EXPECT_EQ(seconds, LocalSeconds(2015, 6, 1, 12, 34, 56));
    // Day 30 is within 1..31, so February 30 is accepted and lands on March 2.
    ASSERT_TRUE(ParseDate(L"2015/2/30 10:00:00", seconds));
    EXPECT_EQ(seconds, LocalSeconds(2015, 3, 2, 10, 0, 0));
}

TEST(CatalogueValuesTest, ParseDateRefusesOutOfRangeAndIncompleteTexts) {
    const wchar_t* invalid[] = {
        L"1899/12/31 0:0:0", L"2015/13/1 0:0:0", L"2015/0/1 0:0:0", L"2015/1/32 0:0:0", L"2015/1/0 0:0:0",
        L"2015/1/1 24:0:0",  L"2015/1/1 0:60:0", L"2015/1/1 0:0:60", L"2015/1/1 -1:0:0", L"2015/1/1",
        L"2015/1/1 10:00",   L"",                L"soon",
    };
    for (const wchar_t* text : invalid) {
        int64_t seconds = 12345;
        EXPECT_FALSE(ParseDate(text, seconds)) << text;
        EXPECT_EQ(seconds, 12345) << text;
    }
}

TEST(CatalogueValuesTest, ByteCountTakesLeadingDigitsOfPlainNumbers) {
    struct Case {
        const wchar_t* text;
        int64_t expected;
    } cases[] = {
        {L"0", 0},    {L"1048576", 1048576}, {L"12.5", 12}, {L"007", 7},        {L"3.", 3},
        {L"1,5", -1}, {L"-3", -1},           {L"", -1},     {L".5", -1},        {L"1.2.3", -1},
        {L"1a", -1},  {L" 1", -1},           {L"8589934592", 8589934592LL},
        // Far beyond 64 bits: held at the largest count rather than wrapping to a negative one.
        {L"99999999999999999999999", INT64_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadByteCount(c.text), c.expected) << c.text;
}

TEST(CatalogueValuesTest, CompareVersion3IsNumericPartByPart) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int expected;
    } cases[] = {
        {L"1.8.0", L"1.7.9", 2},  {L"1.8.0", L"1.10.0", 1}, {L"1.8.0", L"1.8.0", 0}, {L"1.8.0", L"1.8.1", 1},
        {L"2.0.0", L"1.99.99", 2}, {L"1.8.0", L"1.8", 2},    // missing build reads as -1
        {L"1.8.0", L"1.8.0.7", 0},                            // a fourth part is ignored
        {L"1.8.0", L"x", 2},       {L"", L"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CompareVersion3(c.a, c.b), c.expected) << c.a << L" vs " << c.b;
}

TEST(CatalogueValuesTest, SizeToTenthsRoundsUpAndStaysWithinOneTo99999) {
    struct Case {
        int64_t bytes;
        int64_t expected;
    } cases[] = {
        {0, 1},          {1, 1},           {105471, 1},      {105472, 2},   {1000000, 10},
        {1048576, 10},   {1048577, 11},    {1048576LL * 9999, 99990},        {1048576LL * 10000, 99999},
        {12LL << 30, 99999},
    };
    for (const Case& c : cases) EXPECT_EQ(SizeToTenths(c.bytes), c.expected) << c.bytes;
}

}  // namespace
