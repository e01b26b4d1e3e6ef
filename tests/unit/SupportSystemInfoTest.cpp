#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/FileOps.h"
#include "support/RecentDevice.h"
#include "support/SystemInfo.h"
#include "tests/support/ScopedTempFolder.h"

using vttest::ScopedTempFolder;

namespace {

TEST(SystemInfoTest, ProgramFolderHasNoTrailingBackslash) {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::wstring folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    EXPECT_EQ(std::wstring(program).rfind(folder + L"\\", 0), 0u);
    EXPECT_EQ(std::wstring(program).find(L'\\', folder.size() + 1), std::wstring::npos);
}

TEST(SystemInfoTest, VersionTextsAreDecimalNumbers) {
    std::wstring version, servicePack;
    QueryOSVersion(version, servicePack);
    int major = -1, minor = -1, pack = -1;
    wchar_t rest = 0;
    EXPECT_EQ(swscanf(version.c_str(), L"%d.%d%lc", &major, &minor, &rest), 2) << version;
    EXPECT_EQ(swscanf(servicePack.c_str(), L"%d%lc", &pack, &rest), 1) << servicePack;
    EXPECT_GE(major, 5);
}

TEST(SystemInfoTest, LastErrorTextIsSignedDecimal) {
    SetLastError(1223);
    EXPECT_EQ(LastErrorText(), L"1223");
    SetLastError(0xFFFFFFFF);
    EXPECT_EQ(LastErrorText(), L"-1");
}

// PROGRAMDATA pointed at a private folder for the test.
class RecentDeviceTest : public ::testing::Test {
protected:
    ScopedTempFolder programData;
    std::wstring settingsFile = programData.Path() + L"\\ZEL\\Veltrona\\ZelVtDev.ini";
    std::wstring previous;

    void SetUp() override {
        wchar_t value[MAX_PATH] = {};
        if (GetEnvironmentVariableW(L"PROGRAMDATA", value, MAX_PATH)) previous = value;
        SetEnvironmentVariableW(L"PROGRAMDATA", programData.Path().c_str());
    }
    void TearDown() override { SetEnvironmentVariableW(L"PROGRAMDATA", previous.empty() ? nullptr : previous.c_str()); }

    void WriteSettings(const wchar_t* device) {
        CreateDirectoryW((programData.Path() + L"\\ZEL").c_str(), nullptr);
        CreateDirectoryW((programData.Path() + L"\\ZEL\\Veltrona").c_str(), nullptr);
        WritePrivateProfileStringW(L"Recent", L"Dev", device, settingsFile.c_str());
    }
};

TEST_F(RecentDeviceTest, CommonDataFolderComesFromTheEnvironment) {
    EXPECT_EQ(GetCommonAppDataFolder(L"6.1"), programData.Path());
    EXPECT_FALSE(GetCommonAppDataFolder(L"5.1").empty());
}

TEST_F(RecentDeviceTest, NamesTheDeviceOfTheSettingsFile) {
    WriteSettings(L"vt-7160");
    std::wstring device;
    EXPECT_TRUE(GetRecentDevice(L"6.1", device));
    EXPECT_EQ(device, L"vt-7160");
}

TEST_F(RecentDeviceTest, EmptyEntryOrMissingFileNamesNone) {
    std::wstring device = L"stale";
    EXPECT_FALSE(GetRecentDevice(L"6.1", device));
    EXPECT_EQ(device, L"");

    WriteSettings(L"");
    ASSERT_TRUE(FileExists(settingsFile));
    device = L"stale";
    EXPECT_FALSE(GetRecentDevice(L"6.1", device));
    EXPECT_EQ(device, L"");
}

}  // namespace
