#include <gtest/gtest.h>

#include <string>

#include "support/TextTests.h"

namespace {

struct TextCase {
    const wchar_t* text;
    bool expected;
};

class NumberTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(NumberTextTest, AcceptsDigitsWithOneInnerOrTrailingDot) {
    EXPECT_EQ(IsNumberText(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberTextTest,
                         ::testing::Values(TextCase{L"12", true}, TextCase{L"1.0", true}, TextCase{L"5.", true},
                                           TextCase{L"007", true}, TextCase{L"0", true}, TextCase{L"", false},
                                           TextCase{L"-1", false}, TextCase{L"+1", false}, TextCase{L".5", false},
                                           TextCase{L".", false}, TextCase{L"1.2.3", false},
                                           TextCase{L"1..", false}, TextCase{L"1a", false},
                                           TextCase{L" 1", false}, TextCase{L"1,5", false},
                                           TextCase{L"\x0661", false} /* Arabic-Indic one */));

struct VersionCase {
    const wchar_t* text;
    bool four;
    bool three;
};

class VersionTextTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionTextTest, CountsNumericParts) {
    EXPECT_EQ(IsVersion4(GetParam().text), GetParam().four) << GetParam().text;
    EXPECT_EQ(IsVersion3(GetParam().text), GetParam().three) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, VersionTextTest,
                         ::testing::Values(VersionCase{L"1.2.3.4", true, false},
                                           VersionCase{L"10.20.300.4000", true, false},
                                           VersionCase{L"1.2.3", false, true}, VersionCase{L"1.8.0", false, true},
                                           VersionCase{L"01.02.03", false, true},
                                           VersionCase{L"1..3", false, false}, VersionCase{L"1..3.4", false, false},
                                           VersionCase{L"1.2.3.", false, false},
                                           VersionCase{L"1.2.3.4.", false, false},
                                           VersionCase{L".1.2.3", false, false},
                                           VersionCase{L"1.2.3.4.5", false, false},
                                           VersionCase{L"1.2.x.4", false, false},
                                           VersionCase{L"1.2.-3", false, false}, VersionCase{L"1.2", false, false},
                                           VersionCase{L"", false, false}));

class AlphanumericTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(AlphanumericTextTest, WholeTextMustBeAsciiLettersAndDigits) {
    EXPECT_EQ(IsAlphanumericText(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, AlphanumericTextTest,
                         ::testing::Values(TextCase{L"abcXYZ019", true}, TextCase{L"7", true},
                                           TextCase{L"Z", true}, TextCase{L"", false},
                                           TextCase{L"abc def", false}, TextCase{L"abc-1", false},
                                           TextCase{L"-abc", false}, TextCase{L"abc\n", false},
                                           TextCase{L"{abc}", false}, TextCase{L"(abc)", false},
                                           TextCase{L"caf\x00e9", false} /* e acute */,
                                           TextCase{L"\xff41\xff42", false} /* full-width ab */,
                                           TextCase{L"a_b", false}));

}  // namespace
