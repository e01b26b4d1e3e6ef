#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "support/SizeText.h"

namespace {

// Expected texts are written with "," and "."; the user's locale decides what is really shown.
std::wstring WithUserSeparators(const std::wstring& text) {
    wchar_t thousands[16] = L",";
    wchar_t decimal[16] = L".";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands, 16);
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 16);
    std::wstring result;
    for (wchar_t c : text) {
        if (c == L',') result += thousands;
        else if (c == L'.') result += decimal;
        else result += c;
    }
    return result;
}

struct MegabyteCase {
    int64_t bytes;
    int64_t tenths;
    const wchar_t* text;
};

class SizeToMegabytesTest : public ::testing::TestWithParam<MegabyteCase> {};

TEST_P(SizeToMegabytesTest, RoundsUpToTenthsWithinLimits) {
    int64_t tenths = -7;
    std::wstring text = SizeToMegabytes(GetParam().bytes, tenths);
    EXPECT_EQ(tenths, GetParam().tenths) << GetParam().bytes;
    EXPECT_EQ(text, WithUserSeparators(GetParam().text)) << GetParam().bytes;
}

const int64_t MB = 1048576;

INSTANTIATE_TEST_SUITE_P(
    Cases, SizeToMegabytesTest,
    ::testing::Values(MegabyteCase{0, 1, L"0.1"}, MegabyteCase{1, 1, L"0.1"}, MegabyteCase{1024, 1, L"0.1"},
                      MegabyteCase{209715, 2, L"0.2"},  // a fifth of a byte below 0.2 MB
                      MegabyteCase{MB - 1, 10, L"1.0"}, MegabyteCase{MB, 10, L"1.0"}, MegabyteCase{MB + 1, 11, L"1.1"},
                      MegabyteCase{MB + 1024, 11, L"1.1"},  // whole kilobytes, but not a whole tenth
                      MegabyteCase{1234 * MB + MB / 2, 12345, L"1,234.5"},
                      MegabyteCase{9999 * MB + MB * 9 / 10, 99999, L"9,999.9"},
                      MegabyteCase{10000 * MB, 99999, L"9,999.9"}, MegabyteCase{12 * 1024 * MB, 99999, L"9,999.9"},
                      MegabyteCase{INT64_MAX, 99999, L"9,999.9"},
                      MegabyteCase{-1, -7, L""},  // tenths untouched
                      MegabyteCase{INT64_MIN, -7, L""}));

struct DisplayCase {
    int64_t tenths;
    int64_t cap;
    const wchar_t* text;
};

class FormatSizeTenthsTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(FormatSizeTenthsTest, GroupsThousandsAndCaps) {
    EXPECT_EQ(FormatSizeTenths(GetParam().tenths, GetParam().cap), WithUserSeparators(GetParam().text))
        << GetParam().tenths;
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatSizeTenthsTest,
                         ::testing::Values(DisplayCase{0, 999999, L"0.0"}, DisplayCase{1, 999999, L"0.1"},
                                           DisplayCase{10, 999999, L"1.0"}, DisplayCase{9999, 999999, L"999.9"},
                                           DisplayCase{10000, 999999, L"1,000.0"},
                                           DisplayCase{12345, 999999, L"1,234.5"},
                                           DisplayCase{99999, 99999, L"9,999.9"},
                                           DisplayCase{100000, 99999, L"9,999.9"},
                                           DisplayCase{999999, 999999, L"99,999.9"},
                                           DisplayCase{1234567, 999999, L"99,999.9"},
                                           DisplayCase{1234567890, INT64_MAX, L"123,456,789.0"},
                                           DisplayCase{-1, 999999, L""}));

}  // namespace
