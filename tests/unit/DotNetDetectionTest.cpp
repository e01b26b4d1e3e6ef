// Detection of the .NET Framework versions from registry values in the prefix, and the start-up
// notice that names the missing ones.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "StringIds.h"
#include "app/VTInst.h"
#include "tests/support/LogFile.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/ScopedTempFolder.h"
#include "tests/support/StringTableModule.h"

using vttest::LogFile;
using vttest::ScopedTempFolder;

namespace {

const wchar_t NDP35[] = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v3.5";
const wchar_t NDP4[] = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full";
const wchar_t CAPTION[] = L"Veltrona Installer";

// The framework values of one machine; an empty entry is a value that is not there.
struct Frameworks {
    std::optional<DWORD> install35, sp35, install4, release4;
};

class RegistryState {
public:
    explicit RegistryState(const Frameworks& frameworks) {
        m_ok = Put(NDP35, L"Install", frameworks.install35) && Put(NDP35, L"SP", frameworks.sp35) &&
               Put(NDP4, L"Install", frameworks.install4) && Put(NDP4, L"Release", frameworks.release4);
    }
    bool Ok() const { return m_ok; }

private:
    bool Put(const wchar_t* key, const wchar_t* name, const std::optional<DWORD>& value) {
        return value ? m_registry.SetDword(key, name, *value) : m_registry.DeleteValue(key, name);
    }
    vttest::RegistryFixture m_registry;
    bool m_ok = false;
};

class DotNetDetectionTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    LogFile log = LogFile::InFolder(temp.Path());

    void SetUp() override { ResetFlags(); }
    void TearDown() override { ResetFlags(); }
    static void ResetFlags() {
        theApp.m_bDotNet35 = FALSE;
        theApp.m_bDotNet40 = TRUE;
        theApp.m_bDotNet45 = TRUE;
        theApp.m_bUseDotNet45 = FALSE;
    }
};

TEST_F(DotNetDetectionTest, GetREGDwordDataInfoReadsOnlyDwordValues) {
    const std::wstring key = L"SOFTWARE\\VTInstTest\\DwordValues";
    vttest::RegistryFixture registry;
    ASSERT_TRUE(registry.SetDword(key, L"Release", 378389));
    ASSERT_TRUE(registry.SetDword(key, L"High", 0x80000001u));
    // A text "1" is four bytes, which read as a number would be 49.
    ASSERT_TRUE(registry.SetString(key, L"Text", L"1"));
    // Values of other types in the fixture's own key go with it.
    const BYTE binary[4] = {7, 0, 0, 0};
    const BYTE qword[8] = {5, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(registry.SetValue(key, L"Binary", REG_BINARY, binary, sizeof(binary)));
    ASSERT_TRUE(registry.SetValue(key, L"Qword", REG_QWORD, qword, sizeof(qword)));

    EXPECT_EQ(theApp.GetREGDwordDataInfo(key, L"Release"), 378389);
    EXPECT_EQ(theApp.GetREGDwordDataInfo(key, L"High"), static_cast<int>(0x80000001u));
    EXPECT_EQ(theApp.GetREGDwordDataInfo(key, L"Text"), 0);
    EXPECT_EQ(theApp.GetREGDwordDataInfo(key, L"Binary"), 0);
    EXPECT_EQ(theApp.GetREGDwordDataInfo(key, L"Qword"), 0);
    EXPECT_EQ(theApp.GetREGDwordDataInfo(key, L"Missing"), 0);
    EXPECT_EQ(theApp.GetREGDwordDataInfo(key + L"\\Missing", L"Release"), 0);
    EXPECT_EQ(log.Count(L"Start:CVTInstApp::GetREGDwordDataInfo"), 7u);
    EXPECT_EQ(log.Count(L"End  :CVTInstApp::GetREGDwordDataInfo"), 7u);
}

TEST_F(DotNetDetectionTest, Framework35NeedsInstallOneAndAServicePack) {
    const std::wstring notInstalled = L"Warning:CVTInstApp::CheckDotNetFramework3_5Install:Not Installed";
    const std::wstring spTooLow = L"Warning:CVTInstApp::CheckDotNetFramework3_5Install:SP Version is too low";
    struct Case {
        std::optional<DWORD> install, sp;
        BOOL present;
        const std::wstring* warning;
    };
    const Case cases[] = {{1, 1, TRUE, nullptr},         {1, 3, TRUE, nullptr},
                          {1, 0, FALSE, &spTooLow},      {1, std::nullopt, FALSE, &spTooLow},
                          {2, 1, FALSE, &notInstalled},  {0, 1, FALSE, &notInstalled},
                          {std::nullopt, 1, FALSE, &notInstalled}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Install " << c.install.value_or(9999) << " SP " << c.sp.value_or(9999));
        RegistryState state({c.install, c.sp, std::nullopt, std::nullopt});
        ASSERT_TRUE(state.Ok());
        DeleteFileW(log.Path().c_str());

        EXPECT_EQ(theApp.CheckDotNetFramework3_5Install(), c.present);
        EXPECT_TRUE(log.Contains(L"Start:CVTInstApp::CheckDotNetFramework3_5Install"));
        EXPECT_EQ(log.Contains(L"End  :CVTInstApp::CheckDotNetFramework3_5Install"), c.present == TRUE);
        if (c.warning) {
            EXPECT_EQ(log.Count(*c.warning), 1u);
            std::vector<vttest::LogEntry> entries = log.Entries();
            for (const vttest::LogEntry& entry : entries) {
                if (entry.message == *c.warning) {
                    EXPECT_EQ(entry.level, L"WARN");
                }
            }
        }
    }
}

TEST_F(DotNetDetectionTest, Framework4And45NeedAValueAboveZero) {
    struct Case {
        const char* name;
        BOOL (CVTInstApp::*check)();
        const wchar_t* method;
        std::optional<DWORD> install4, release4;
        BOOL present;
        int logged;
    };
    const Case cases[] = {
        {"4 installed", &CVTInstApp::CheckDotNetFramework4_0Install, L"CheckDotNetFramework4_0Install", 1,
         std::nullopt, TRUE, 1},
        {"4 absent", &CVTInstApp::CheckDotNetFramework4_0Install, L"CheckDotNetFramework4_0Install", std::nullopt,
         378389, FALSE, 0},
        {"4 zero", &CVTInstApp::CheckDotNetFramework4_0Install, L"CheckDotNetFramework4_0Install", 0, std::nullopt,
         FALSE, 0},
        {"4.5 released", &CVTInstApp::CheckDotNetFramework4_5Install, L"CheckDotNetFramework4_5Install", 1, 378389,
         TRUE, 378389},
        {"4.5 absent beside 4", &CVTInstApp::CheckDotNetFramework4_5Install, L"CheckDotNetFramework4_5Install", 1,
         std::nullopt, FALSE, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryState state({std::nullopt, std::nullopt, c.install4, c.release4});
        ASSERT_TRUE(state.Ok());
        DeleteFileW(log.Path().c_str());

        EXPECT_EQ((theApp.*c.check)(), c.present);
        const std::wstring method = c.method;
        EXPECT_TRUE(log.Contains(L"Start:CVTInstApp::" + method));
        EXPECT_TRUE(log.Contains(L"Get  :CVTInstApp::" + method + L":GetREGDwordDataInfo = " +
                                 std::to_wstring(c.logged)));
        EXPECT_EQ(log.Contains(L"End  :CVTInstApp::" + method), c.present == TRUE);
        EXPECT_EQ(log.Contains(L"Warning:CVTInstApp::" + method + L":Not Installed"), c.present == FALSE);
    }
}

// ---------------------------------------------------------------------------------------------
// The start-up notice.

const std::map<UINT, std::wstring>& NoticeStrings() {
    static const std::map<UINT, std::wstring> strings = {
        {IDS_CAPTION, CAPTION},
        {IDS_DOTNET35_NAME, L"Microsoft .NET Framework 3.5 SP1"},
        {IDS_DOTNET40_NAME, L"Microsoft .NET Framework 4"},
        {IDS_DOTNET45_NAME, L"Microsoft .NET Framework 4.5"},
        {IDS_DOTNET35_NOTICE,
         L"To use the following software, you will need to install Microsoft .NET Framework 3.5 SP1. \nNote: It may "
         L"take a long time to install.\n\n - Veltrona Manager"},
        {IDS_DOTNET_NOTICE_ONE,
         L"To use the following software, you will need to install %s. \nNote: It may take a long time to install. "
         L"%s\n\n - Veltrona Manager"},
        {IDS_DOTNET_NOTICE_TWO,
         L"To use the following software, you will need to install %s and %s. \nNote: It may take a long time to "
         L"install. %s\n\n - Veltrona Manager"},
        {IDS_DOTNET_WINDOWS_UPDATE, L"After installing .NET Framework, install new updates from Windows Update."},
    };
    return strings;
}

TEST_F(DotNetDetectionTest, StartUpNoticeNamesWhatIsMissing) {
    vttest::StringTableModule strings(temp.Path(), NoticeStrings());
    vttest::ScopedResourceModule resources(strings.Handle());
    const std::wstring head = L"To use the following software, you will need to install ";
    const std::wstring note = L"Note: It may take a long time to install. ";
    const std::wstring update = L"After installing .NET Framework, install new updates from Windows Update.";
    const std::wstring tail = L"\n\n - Veltrona Manager";
    const std::wstring v35 = L"Microsoft .NET Framework 3.5 SP1", v4 = L"Microsoft .NET Framework 4",
                       v45 = L"Microsoft .NET Framework 4.5";
    const Frameworks all = {1, 1, 1, 378389};
    const Frameworks no35 = {std::nullopt, std::nullopt, 1, 378389};
    const Frameworks only35 = {1, 1, std::nullopt, std::nullopt};
    const Frameworks only4 = {std::nullopt, std::nullopt, 1, std::nullopt};
    const Frameworks none = {};
    struct Case {
        const char* name;
        BOOL useDotNet45;
        Frameworks frameworks;
        std::wstring text;  // empty: no box
        BOOL dotNet35, dotNet40, dotNet45;
    };
    const Case cases[] = {
        {"3.5 and 4 missing", FALSE, none, head + v35 + L" and " + v4 + L". \n" + note + update + tail, 0, 0, 1},
        {"3.5 and 4.5 missing", TRUE, only4, head + v35 + L" and " + v45 + L". \n" + note + tail, 0, 1, 0},
        {"3.5 missing", FALSE, no35, head + v35 + L". \nNote: It may take a long time to install." + tail, 0, 1, 1},
        {"3.5 missing, 4.5 there", TRUE, no35, head + v35 + L". \nNote: It may take a long time to install." + tail,
         0, 1, 1},
        {"4 missing", FALSE, only35, head + v4 + L". \n" + note + update + tail, 1, 0, 1},
        {"4.5 missing", TRUE, {1, 1, 1, std::nullopt}, head + v45 + L". \n" + note + tail, 1, 1, 0},
        {"all there", FALSE, all, L"", 1, 1, 1},
        // The 4 check is not made where 4.5 is the one needed, nor the other way round.
        {"4.5 there, 4 not", TRUE, {1, 1, std::nullopt, 378389}, L"", 1, 1, 1},
        {"4 there, 4.5 not", FALSE, {1, 1, 1, std::nullopt}, L"", 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetFlags();
        theApp.m_bUseDotNet45 = c.useDotNet45;
        RegistryState state(c.frameworks);
        ASSERT_TRUE(state.Ok());

        const bool boxExpected = !c.text.empty();
        vttest::MessageBoxWatcher watcher({CAPTION, GetCurrentProcessId()}, IDOK, boxExpected ? 10000 : 1000);
        theApp.ShowDotNetNotice();
        ASSERT_EQ(watcher.Finish(), boxExpected);
        if (boxExpected) {
            EXPECT_EQ(watcher.Info().text, c.text);
            EXPECT_TRUE(watcher.Info().hasIcon);
            EXPECT_EQ(watcher.Info().ButtonIds(), std::vector<int>{IDOK});
        }
        EXPECT_EQ(theApp.m_bDotNet35, c.dotNet35);
        EXPECT_EQ(theApp.m_bDotNet40, c.dotNet40);
        EXPECT_EQ(theApp.m_bDotNet45, c.dotNet45);
    }
}

}  // namespace
