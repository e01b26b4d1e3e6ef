#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/Descramble.h"

namespace {

const wchar_t KEY[] = L"k3Y-0f+Test/Key;With~Thirty8Characters";  // 38 characters
const int OFFSET = 12;

// The stored form: each character plus its key character plus the offset, as three digits.
std::wstring Scramble(const std::wstring& plain, const wchar_t* key, int offset) {
    std::wstring scrambled;
    for (size_t i = 0; i < plain.size(); ++i) {
        wchar_t group[8];
        swprintf(group, 8, L"%03d", plain[i] + key[i] + offset);
        scrambled += group;
    }
    return scrambled;
}

std::wstring DescrambleInto(const std::wstring& scrambled, const wchar_t* key, int offset, size_t capacity = 64) {
    std::vector<wchar_t> output(capacity + 1, L'#');  // one guard character past the capacity
    Descramble(scrambled.c_str(), output.data(), capacity, key, offset);
    EXPECT_EQ(output[capacity], L'#') << "wrote past the capacity";
    return capacity ? std::wstring(output.data()) : std::wstring();
}

struct DescrambleCase {
    const char* name;
    std::wstring scrambled;
    const wchar_t* key;
    size_t capacity;
    std::wstring expected;
};

class DescrambleTest : public ::testing::TestWithParam<DescrambleCase> {};

TEST_P(DescrambleTest, Decodes) {
    const DescrambleCase& c = GetParam();
    EXPECT_EQ(DescrambleInto(c.scrambled, c.key, OFFSET, c.capacity), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DescrambleTest,
    ::testing::Values(
        DescrambleCase{"Empty", L"", KEY, 64, L""},
        DescrambleCase{"RoundTrip", Scramble(L"user@example", KEY, OFFSET), KEY, 64, L"user@example"},
        // "!" + " " + 12 = 77: a group with a leading zero is decimal, not octal.
        DescrambleCase{"LeadingZeroGroup", L"077", L" ", 64, L"!"},
        DescrambleCase{"SevenCharactersGiveTwo", Scramble(L"ab", KEY, OFFSET) + L"1", KEY, 64, L"ab"},
        DescrambleCase{"TrailingTwoCharactersIgnored", Scramble(L"abc", KEY, OFFSET) + L"12", KEY, 64, L"abc"},
        DescrambleCase{"StopsAtTheKeyLength", Scramble(L"abc", L"xyzzy", OFFSET), L"xy", 64, L"ab"},
        DescrambleCase{"EmptyKeyDecodesNothing", L"100200", L"", 64, L""},
        DescrambleCase{"FullKeyLength", Scramble(std::wstring(38, L'P'), KEY, OFFSET), KEY, 64, std::wstring(38, L'P')},
        DescrambleCase{"CutToCapacity", Scramble(L"secret", KEY, OFFSET), KEY, 4, L"sec"},
        DescrambleCase{"CapacityOfOneStaysEmpty", Scramble(L"secret", KEY, OFFSET), KEY, 1, L""},
        // 0 - 'A' - 12 wraps around in 16 bits.
        DescrambleCase{"WrapsToSixteenBits", L"000", L"A", 64, std::wstring(1, static_cast<wchar_t>(0x10000 - 77))}),
    [](const ::testing::TestParamInfo<DescrambleCase>& info) { return std::string(info.param.name); });

TEST(DescrambleNoOutput, ZeroCapacityWritesNothing) {
    wchar_t output[2] = {L'#', L'#'};
    Descramble(L"100", output, 0, KEY, OFFSET);
    EXPECT_EQ(output[0], L'#');
}

}  // namespace
