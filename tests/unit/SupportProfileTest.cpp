#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/Profile.h"
#include "tests/support/ScopedTempFolder.h"

using vttest::ScopedTempFolder;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    ScopedTempFolder temp;
    std::wstring file = temp.File(L"settings.ini");

    void Store(const wchar_t* key, const std::wstring& value) {
        WritePrivateProfileStringW(L"Section", key, value.c_str(), file.c_str());
    }
    std::wstring Stored(const wchar_t* section, const wchar_t* key) {
        wchar_t value[512] = {};
        GetPrivateProfileStringW(section, key, L"<missing>", value, 512, file.c_str());
        return value;
    }
};

TEST_F(ProfileTest, StringReaderGivesEmptyForMissingAndCutsLongValues) {
    Store(L"Short", L"C:\\Downloads");
    Store(L"Long", std::wstring(300, L'x'));
    EXPECT_EQ(ReadProfileString(L"Section", L"Short", file), L"C:\\Downloads");
    EXPECT_EQ(ReadProfileString(L"Section", L"Long", file), std::wstring(259, L'x'));
    EXPECT_EQ(ReadProfileString(L"Section", L"Absent", file), L"");
    EXPECT_EQ(ReadProfileString(L"Other", L"Short", file), L"");
    EXPECT_EQ(ReadProfileString(L"Section", L"Short", temp.File(L"absent.ini")), L"");
}

struct IntCase {
    const wchar_t* stored;  // null: key absent
    int expected;
};

class ProfileIntTest : public ProfileTest, public ::testing::WithParamInterface<IntCase> {};

TEST_P(ProfileIntTest, ReadsNumbersAndFallsBackToTheDefault) {
    if (GetParam().stored) Store(L"Value", GetParam().stored);
    EXPECT_EQ(ReadProfileInt(L"Section", L"Value", file, -5), GetParam().expected)
        << (GetParam().stored ? GetParam().stored : L"(absent)");
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileIntTest,
                         ::testing::Values(IntCase{L"12", 12}, IntCase{L"007", 7}, IntCase{L"3.", 3},
                                           IntCase{L"3.9", 3}, IntCase{L"0", 0}, IntCase{nullptr, -5},
                                           IntCase{L"", -5}, IntCase{L"-1", -5}, IntCase{L".5", -5},
                                           IntCase{L"1.2.3", -5}, IntCase{L"1a", -5}, IntCase{L"0x10", -5}));

// Each successful write still waits half a second first; the failing one costs five attempts.
TEST_F(ProfileTest, RetryingWritersStoreTextAndIntegers) {
    EXPECT_TRUE(WriteProfileStringWithRetry(L"Section", L"Key", L"value 1", file));
    EXPECT_TRUE(WriteProfileIntWithRetry(L"Count", -42, file));
    EXPECT_EQ(Stored(L"Section", L"Key"), L"value 1");
    EXPECT_EQ(Stored(L"Common", L"Count"), L"-42");
}

TEST_F(ProfileTest, RetryingWriterReportsAFileThatCannotBeWritten) {
    EXPECT_FALSE(WriteProfileStringWithRetry(L"Section", L"Key", L"v", temp.File(L"no such folder\\x.ini")));
}

}  // namespace
