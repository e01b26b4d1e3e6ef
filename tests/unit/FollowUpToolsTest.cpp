// The family's tools after the installation, as stand-ins under a fake Manager folder: their order,
// command lines and waits, the monitor keys while they run and after, box 1079 when one fails, and
// the updater chosen by the update list.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "app/VTInst.h"
#include "tests/support/ChildProcess.h"
#include "support/SystemInfo.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/ScopedTempFolder.h"
#include "tests/support/StandInTool.h"
#include "tests/support/TestThread.h"

namespace vttest {
namespace {

const wchar_t kAppPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZelVtMon.exe";
const wchar_t kUpdateKey[] = L"SOFTWARE\\ZEL\\Veltrona Online Update";

class FollowUpToolsTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    ScopedTempFolder programData;
    RegistryFixture registry;
    std::wstring manager, record;
    std::wstring savedProgramData, savedOs = theApp.m_strOSVersion;
    UPDATECOMMONINFO savedInfo = theApp.m_updateCommonInfo;
    BOOL savedLaunch = theApp.m_bLaunchTools;

    void SetUp() override {
        wchar_t value[MAX_PATH] = {};
        GetEnvironmentVariableW(L"PROGRAMDATA", value, MAX_PATH);
        savedProgramData = value;
        SetEnvironmentVariableW(L"PROGRAMDATA", programData.Path().c_str());
        // Every tool writes into one record, so the order of their starts shows.
        record = temp.File(L"tools.record");
        manager = temp.File(L"Veltrona\\Manager");
        for (const wchar_t* folder : {L"Veltrona", L"Veltrona\\Manager", L"Veltrona\\Manager\\VtWizard",
                                      L"Veltrona\\Manager\\VtWifiTool", L"Veltrona\\VTFolder", L"Update"})
            CreateDirectoryW(temp.File(folder).c_str(), nullptr);
        Tool(manager + L"\\VtWizard\\ZelVtConnectionWizard.exe");
        Tool(manager + L"\\VtWizard\\ZelVtFirmwareUpdate.exe");
        Tool(manager + L"\\VtWifiTool\\ZelVtWiFiToolStart.exe");
        Tool(temp.File(L"Veltrona\\VTFolder\\VTFolderTray.exe"));
        Tool(temp.File(L"Update\\VeltronaUpdater.exe"));
        Tool(temp.File(L"Update\\VtUWatcher.exe"));
        ASSERT_TRUE(registry.SetString(kAppPath, L"Path", manager + L"\\"));  // its trailing separator goes
        ASSERT_TRUE(registry.SetString(kUpdateKey, L"Path", temp.File(L"Update")));
        theApp.m_strOSVersion = L"5.1";  // the plain launch: Wine has no shell whose token could be taken
        // The monitor's settings folder, as the Manager's setup leaves it (on "5.1" under the shell's folder).
        MakeDriverFolder(L"5.1");
        MakeDriverFolder(L"6.1");
        theApp.m_bLaunchTools = TRUE;
        theApp.m_updateList.clear();
        UPDATECOMMONINFO& tools = theApp.m_updateCommonInfo;
        tools.CallWizardConnect = tools.CallFirmUpdate = tools.CallWifiTool = tools.CallWizardConnect2 =
            tools.CallVTFolerTray = 1;
        tools.CallWizardConnectParam = tools.CallFirmUpdateParam = tools.CallWifiParam =
            tools.CallWizardConnectParam2 = tools.CallVTFolerTrayParam = L"";
    }
    void TearDown() override {
        RemoveTree(GetCommonAppDataFolder(L"5.1") + L"\\ZEL\\Veltrona\\Driver");
        SetEnvironmentVariableW(L"PROGRAMDATA", savedProgramData.c_str());
        theApp.m_strOSVersion = savedOs;
        theApp.m_updateCommonInfo = savedInfo;
        theApp.m_bLaunchTools = savedLaunch;
        theApp.m_updateList.clear();
    }

    static void MakeDriverFolder(const wchar_t* osVersion) {
        SHCreateDirectoryExW(nullptr, (GetCommonAppDataFolder(osVersion) + L"\\ZEL\\Veltrona\\Driver\\VtWizard").c_str(),
                             nullptr);
    }
    void Tool(const std::wstring& path, DWORD exitCode = 0, DWORD delayMs = 0) {
        ASSERT_TRUE(InstallStandIn(path, exitCode, delayMs));
        WritePrivateProfileStringW(L"StandIn", L"Record", record.c_str(), (path + L".ini").c_str());
    }
    // "<program file name><command line after the program>" of every start, in order.
    std::vector<std::wstring> Starts() {
        std::vector<std::wstring> starts;
        for (const StandInRun& run : StandInRuns(record.substr(0, record.size() - 7))) {
            const std::wstring name = run.program.substr(run.program.rfind(L'\\') + 1);
            const size_t quoteEnd = run.commandLine.find(L'"', 1);
            std::wstring arguments = run.commandLine;
            if (!arguments.empty() && arguments[0] == L'"' && quoteEnd != std::wstring::npos)
                arguments = arguments.substr(quoteEnd + 1);
            starts.push_back(name + L"|" + arguments);
        }
        return starts;
    }
    std::wstring MonitorKey(const wchar_t* section, const wchar_t* key) {
        wchar_t value[64] = {};
        GetPrivateProfileStringW(section, key, L"(none)", value, 64, theApp.MonitorSettingsFile().c_str());
        return value;
    }
    void AskForFirmwareUpdate() {
        WritePrivateProfileStringW(L"Install", L"FirmUpdatekR7100", L"1",
                                   (GetCommonAppDataFolder(theApp.m_strOSVersion) +
                                    L"\\ZEL\\Veltrona\\Driver\\VtWizard\\ZelVtFirmwareUpdate.ini").c_str());
    }
    // The starts once count of them were recorded (the last tools are not waited for).
    std::vector<std::wstring> StartsWhenThereAre(size_t count) {
        WaitForStandInRuns(record.substr(0, record.size() - 7), count, 20000);
        return Starts();
    }
};

TEST_F(FollowUpToolsTest, TheToolsRunInOrderWithTheirParametersWhileTheMonitorSkipsItsChecks) {
    AskForFirmwareUpdate();
    theApp.m_updateCommonInfo.CallWizardConnectParam = L"/Model VT-S1300";
    // The connection wizard stays a while: the monitor key is read while it runs.
    Tool(manager + L"\\VtWizard\\ZelVtConnectionWizard.exe", 0, 1500);
    // The wireless tool the starter leaves running: the stage waits for it before the next tool.
    const std::wstring wireless = temp.File(L"ZelVtWifiTool.exe");
    ASSERT_TRUE(InstallStandIn(wireless, 0, 4000));
    ChildProcess wirelessProcess;
    ASSERT_TRUE(wirelessProcess.Start(wireless, L"", temp.Path(), {}));
    const std::wstring shared = record.substr(0, record.size() - 7);
    TestThread stage([] { theApp.RunFollowUpTools(); });
    ASSERT_TRUE(WaitForStandInRuns(shared, 1, 20000));
    EXPECT_EQ(MonitorKey(L"Recognize", L"SkipFirmwareUpdate"), L"1");
    ASSERT_TRUE(WaitForStandInRuns(shared, 4, 20000));
    EXPECT_TRUE(wirelessProcess.Wait(0));  // gone before the fourth tool started
    stage.Join();

    EXPECT_EQ(StartsWhenThereAre(6), (std::vector<std::wstring>{
                            L"ZelVtConnectionWizard.exe| /Model VT-S1300",
                            L"ZelVtFirmwareUpdate.exe| /VTType16",
                            L"ZelVtWiFiToolStart.exe| /s",
                            L"ZelVtConnectionWizard.exe| /ini",
                            L"VTFolderTray.exe| /e /u",
                            L"VeltronaUpdater.exe|",
                        }));
    EXPECT_EQ(MonitorKey(L"Recognize", L"SkipFirmwareUpdate"), L"");
    EXPECT_EQ(MonitorKey(L"CONFIG_C", L"Skip"), L"");
}

TEST_F(FollowUpToolsTest, WithoutToolsDueOnlyTheUpdaterStartsAndTheOnlineUpdateToolGetsItsWatcher) {
    theApp.m_bLaunchTools = FALSE;
    theApp.RunFollowUpTools();
    EXPECT_EQ(StartsWhenThereAre(1), std::vector<std::wstring>{L"VeltronaUpdater.exe|"});
    EXPECT_EQ(MonitorKey(L"Recognize", L"SkipFirmwareUpdate"), L"(none)");

    // The firmware settings do not ask for the update; every flag off: the keys only, then the watcher.
    DeleteFileW(record.c_str());
    theApp.m_bLaunchTools = TRUE;
    UPDATECOMMONINFO& tools = theApp.m_updateCommonInfo;
    tools.CallWizardConnect = tools.CallWifiTool = tools.CallWizardConnect2 = tools.CallVTFolerTray = 0;
    CUpdateInfo onlineUpdate;
    onlineUpdate.m_id = L"Veltrona Online Update";
    theApp.m_updateList.push_back(onlineUpdate);
    theApp.RunFollowUpTools();
    EXPECT_EQ(StartsWhenThereAre(1), std::vector<std::wstring>{L"VtUWatcher.exe|"});
    EXPECT_EQ(MonitorKey(L"Recognize", L"SkipFirmwareUpdate"), L"");
}

TEST_F(FollowUpToolsTest, AFailedToolTellsTheUserAndKeepsTheUpdaterAndTheFamilyCopyAway) {
    // Outside Windows XP the tools start as the desktop's user, which Wine cannot do: every one fails.
    theApp.m_strOSVersion = L"6.1";
    const std::wstring familyCopy = programData.File(L"ZEL\\Veltrona\\Veltrona Online Update\\vtinst.ini");
    SHCreateDirectoryExW(nullptr, programData.File(L"ZEL\\Veltrona\\Veltrona Online Update").c_str(), nullptr);
    WriteTextFile(familyCopy, "[Common]\r\n");
    MessageBoxInfo box;
    TestThread answer([&] {
        if (WaitForMessageBox(MessageBoxFilter{L"Veltrona Installer", GetCurrentProcessId()}, 30000, box))
            PressMessageBoxButton(box.window, IDOK);
    });
    theApp.RunFollowUpTools();
    answer.Join();
    EXPECT_EQ(box.text, L"Installed successfully.\nStart Veltrona Manager from the Start menu to use it.");
    EXPECT_FALSE(WaitForStandInRuns(record.substr(0, record.size() - 7), 1, 1500));  // nor the updater
    EXPECT_EQ(GetFileAttributesW(familyCopy.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(MonitorKey(L"Recognize", L"SkipFirmwareUpdate"), L"");
}

}  // namespace
}  // namespace vttest
