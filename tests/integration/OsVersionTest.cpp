// The service-pack floors, with the Windows version Wine reports taken from the prefix's registry
// (Wine derives the version from these values when no version is configured for the program).
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/integration/InstallerRun.h"
#include "tests/support/RegistryFixture.h"

using vttest::InstallerRun;

namespace {

const wchar_t kVersionKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion";
const wchar_t kServicePackKey[] = L"System\\CurrentControlSet\\Control\\Windows";

struct WindowsVersion {
    const wchar_t* version;
    const wchar_t* build;
    DWORD servicePack;
};

bool Pretend(vttest::RegistryFixture& registry, const WindowsVersion& windows) {
    wchar_t servicePackText[32];
    swprintf(servicePackText, 32, L"Service Pack %lu", windows.servicePack);
    return registry.SetString(kVersionKey, L"CurrentVersion", windows.version) &&
           registry.SetString(kVersionKey, L"CurrentBuildNumber", windows.build) &&
           registry.SetString(kVersionKey, L"CSDVersion", servicePackText) &&
           registry.SetDword(kServicePackKey, L"CSDVersion", windows.servicePack << 8);
}

TEST(OsVersionTest, OldServicePacksAreRefusedBeforeAnythingElse) {
    struct Case {
        WindowsVersion windows;
        const wchar_t* refusal;  // null: the run goes on (to the catalogue download, which fails here)
    } cases[] = {
        {{L"5.1", L"2600", 2}, L"This product need Windows XP ServicePack 3 or later.\nPlease install Windows XP "
                               L"ServicePack 3 or later."},
        {{L"5.1", L"2600", 3}, nullptr},
        {{L"6.0", L"6001", 1}, L"This product need Windows Vista ServicePack 2 or later.\nPlease install Windows "
                               L"Vista ServicePack 2 or later."},
        {{L"6.0", L"6002", 2}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(vttest::Narrow(c.windows.version) + " SP" + std::to_string(c.windows.servicePack));
        vttest::RegistryFixture registry(vttest::RegistryFixture::SYSTEM_VIEW);  // Wine reads the version there
        ASSERT_TRUE(Pretend(registry, c.windows));
        InstallerRun run;
        run.WriteConfiguration(vttest::ValidConfiguration());
        ASSERT_TRUE(run.Run());
        ASSERT_GE(run.Boxes().size(), 1u);
        std::vector<std::wstring> lines = run.Log().Messages();
        const bool reachedConfiguration =
            std::find(lines.begin(), lines.end(), L"Set:theApp.m_updateCommonInfo.CallWifiTool = 0") != lines.end();
        if (c.refusal) {
            EXPECT_EQ(run.Boxes().size(), 1u);
            EXPECT_EQ(run.Boxes()[0].text, c.refusal);
            std::wstring line = c.refusal;
            line.replace(line.find(L'\n'), 1, L" ");
            EXPECT_NE(std::find(lines.begin(), lines.end(), L"Error:CVTInstApp::InitInstance:" + line), lines.end());
            EXPECT_FALSE(reachedConfiguration);
        } else {
            EXPECT_EQ(run.Boxes()[0].text, L"Failed to download the file.");
            EXPECT_TRUE(reachedConfiguration);
        }
    }
}

}  // namespace
