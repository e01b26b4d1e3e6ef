// The run after a restart ("-StartOS"): the real program reads its configuration and the catalogue,
// runs the family's tools from the Manager's folder and then the updater, and leaves its own folder
// for removal. Windows XP is pretended, where the tools start as the installer itself (Wine has no
// desktop shell whose token a later Windows would start them with).
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "support/SystemInfo.h"
#include "tests/integration/InstallerRun.h"
#include "tests/server/TestJson.h"
#include "tests/server/TestServerClient.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/StandInTool.h"

namespace vttest {
namespace {

const wchar_t kVersionKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion";
const wchar_t kServicePackKey[] = L"System\\CurrentControlSet\\Control\\Windows";

std::wstring ArgumentsOf(const StandInRun& run) {
    const size_t quoteEnd = run.commandLine.find(L'"', 1);
    return run.commandLine[0] == L'"' ? run.commandLine.substr(quoteEnd + 1) : run.commandLine;
}

TEST(FollowUpRunTest, AfterARestartTheToolsRunFromTheManagersFolderThenTheUpdater) {
    CTestServerClient server;
    ASSERT_TRUE(server.Open()) << "test server not running (tools/with-test-server.sh)";
    ASSERT_TRUE(server.Reset("/after/"));
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><catalogue><setupType>WW</setupType><model>VT-S1300</model>"
        "</catalogue>";
    ASSERT_TRUE(server.SetBehaviour("/after/VTInst.xml", std::string("{\"body_text\": ") + JsonQuote(xml) + "}"));

    RegistryFixture system(RegistryFixture::SYSTEM_VIEW);  // Wine reads the version there
    ASSERT_TRUE(system.SetString(kVersionKey, L"CurrentVersion", L"5.1") &&
                system.SetString(kVersionKey, L"CurrentBuildNumber", L"2600") &&
                system.SetString(kVersionKey, L"CSDVersion", L"Service Pack 3") &&
                system.SetDword(kServicePackKey, L"CSDVersion", 3 << 8));
    InstallerRun run;
    std::string ini = ValidConfiguration(ToUtf8(server.Url(Listener::Http, L"/after/VTInst.xml")));
    ini.replace(ini.find("CallWizardConnect=0\r\n"), 21, "CallWizardConnect=1\r\nCallWizardConnectParam=/Restarted\r\n");
    ini.replace(ini.find("CallVTFolerTray=0\r\n"), 19, "CallVTFolerTray=1\r\n");
    run.WriteConfiguration(ini);

    // The Manager's folder, its tools and the updater, where the registry says they are.
    const std::wstring root = run.AppFolder() + L"\\..";
    const std::wstring manager = root + L"\\Veltrona\\Manager";
    SHCreateDirectoryExW(nullptr, (manager + L"\\VtWizard").c_str(), nullptr);
    SHCreateDirectoryExW(nullptr, (root + L"\\Veltrona\\VTFolder").c_str(), nullptr);
    SHCreateDirectoryExW(nullptr, (root + L"\\Update").c_str(), nullptr);
    const std::wstring wizard = manager + L"\\VtWizard\\ZelVtConnectionWizard.exe";
    const std::wstring tray = root + L"\\Veltrona\\VTFolder\\VTFolderTray.exe";
    const std::wstring updater = root + L"\\Update\\VeltronaUpdater.exe";
    for (const std::wstring& program : {wizard, tray, updater}) ASSERT_TRUE(InstallStandIn(program, 0));
    RegistryFixture registry;
    ASSERT_TRUE(registry.SetString(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZelVtMon.exe", L"Path",
                                   manager));
    ASSERT_TRUE(registry.SetString(L"SOFTWARE\\ZEL\\Veltrona Online Update", L"Path", root + L"\\Update"));
    // The monitor's settings folder, as the Manager's setup leaves it.
    const std::wstring driver = GetCommonAppDataFolder(L"5.1") + L"\\ZEL\\Veltrona\\Driver";
    SHCreateDirectoryExW(nullptr, driver.c_str(), nullptr);

    ASSERT_TRUE(run.Run(L"-StartOS"));
    EXPECT_TRUE(run.Boxes().empty());
    ASSERT_EQ(StandInRuns(wizard).size(), 1u);
    EXPECT_EQ(ArgumentsOf(StandInRuns(wizard)[0]), L" /Restarted");
    EXPECT_TRUE(StandInRuns(wizard)[0].elevated);  // Windows XP: started as the installer itself
    ASSERT_TRUE(WaitForStandInRuns(tray, 1, 10000));
    EXPECT_EQ(ArgumentsOf(StandInRuns(tray)[0]), L" /e /u");
    ASSERT_TRUE(WaitForStandInRuns(updater, 1, 10000));
    EXPECT_EQ(ArgumentsOf(StandInRuns(updater)[0]), L"");
    wchar_t skip[16] = L"unset";
    GetPrivateProfileStringW(L"Recognize", L"SkipFirmwareUpdate", L"unset", skip, 16, (driver + L"\\ZelVtMon.ini").c_str());
    EXPECT_STREQ(skip, L"");
    const std::vector<std::wstring> lines = run.Log().Messages();
    EXPECT_TRUE(ContainsInOrder(lines, {L"Start:CVTInstApp::RunEXEWaitEnd", L"Start:CVTInstApp::CallUpdaterModule",
                                        L"Start:CVTInstApp::DeleteDirectoryEx", L"End  :CVTInstApp::InitInstance"}));
    EXPECT_EQ(GetFileAttributesW((run.AppFolder() + L"\\VeltronaInstaller.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveTree(driver);
}

}  // namespace
}  // namespace vttest
