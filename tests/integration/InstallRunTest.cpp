// The real program through the whole wizard against the test server, installing for real: an msi
// package by the prefix's msiexec into the folder chosen on the folder page, a setup program (the
// stand-in) with its response file pointed there, then the completion page; a restart marker left
// by a setup leads through the power-off page to the restart question.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "download/AfterInstall.h"
#include "download/PackageCommand.h"
#include "support/Registry.h"
#include "tests/integration/InstallerRun.h"
#include "tests/server/TestJson.h"
#include "tests/server/TestServerClient.h"
#include "support/SystemInfo.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/DesktopShell.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/StandInTool.h"
#include "tests/support/StandInSetup.h"
#include "tests/support/SystemProxy.h"

namespace vttest {
namespace {

enum : int {
    FOLDER_NEXT = 1023, FOLDER_BROWSE = 1027, FOLDER_PATH = 1028,
    LICENSE_ACCEPT = 1010, LICENSE_NEXT = 1013, REVIEW_SETTINGS = 1045, REVIEW_NEXT = 1047, DOWNLOAD_LIST = 1005,
    INSTALL_STATUS = 1018, COMPLETED_BUTTON = 1016, COMPLETED_HEADING = 1020,
    POWER_TEXT_2 = 1053, POWER_NEXT = 1054, RESTART_NOW = IDOK,
};

const wchar_t kFamily[] = L"SOFTWARE\\ZEL\\Veltrona Software\\";
const wchar_t kManagerRestartMarker[] = L"SOFTWARE\\ZEL\\Manager RebootCheck";
const char kProductCode[] = "2B7C9E31-5A4D-4C1F-8E2B-3D6F7A8B9C01";

DWORD64 FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<DWORD64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class InstallRunTest : public ::testing::Test {
protected:
    CTestServerClient server;
    RegistryFixture registry;
    InstallerRun run;
    std::wstring setupSettings;
    std::wstring manualPackage = BuildFolder() + L"\\packages\\VeltronaManual.msi";
    std::wstring manualFolder;  // where the msi went, for the uninstall afterwards

    void SetUp() override {
        ASSERT_TRUE(server.Open()) << "test server not running (tools/with-test-server.sh)";
        ASSERT_TRUE(server.Reset("/inst/"));
        const std::wstring ndp = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\";
        ASSERT_TRUE(registry.SetDword(ndp + L"v3.5", L"Install", 1) && registry.SetDword(ndp + L"v3.5", L"SP", 1) &&
                    registry.SetDword(ndp + L"v4\\Full", L"Install", 1) &&
                    registry.SetDword(ndp + L"v4\\Full", L"Release", 378389));
        ASSERT_TRUE(registry.HideKey(std::wstring(kFamily) + L"Veltrona Manager"));
        ASSERT_TRUE(registry.HideKey(std::wstring(kFamily) + L"Veltrona Manual"));
        ASSERT_TRUE(registry.DeleteValue(RUN_ONCE_KEY, L"VTInst Install"));
        ASSERT_TRUE(registry.DeleteValue(RUN_ONCE_KEY, L"ZelStandInSetup Finish"));
        // The setup stand-in the program downloads reads its settings from here.
        setupSettings = run.AppFolder() + L"\\..\\standin-setup.ini";
        run.SetEnvironment(L"VTINST_STANDIN_SETUP", setupSettings);
        ASSERT_TRUE(server.SetBehaviour("/inst/vtinst.ini", R"({"body_text": "[Common]\r\n"})"));
        AnswerCounts(R"({"body_text": "<?xml version=\"1.0\" encoding=\"utf-8\"?><r><return_info>OK</return_info></r>"})");
        ASSERT_TRUE(server.SetBehaviour("/inst/license.rtf", R"({"body_text": "{\\rtf1 License.\\par}"})"));
        ASSERT_TRUE(server.SetBehaviour(
            "/inst/setup.iss",
            std::string("{\"body_text\": ") + JsonQuote(AnsiResponseFile(kProductCode, "C:\\Old Destination")) + "}"));
        ASSERT_TRUE(server.SetBehaviour("/inst/Manager/setup.exe",
                                        "{\"body_file\": " + JsonQuote(HostPath(BuildFolder() + L"\\VtStandInSetup.exe")) + "}"));
        ASSERT_TRUE(server.SetBehaviour("/inst/Manual/VeltronaManual.msi",
                                        "{\"body_file\": " + JsonQuote(HostPath(manualPackage)) + "}"));
    }

    void AnswerCounts(const std::string& behaviour) { ASSERT_TRUE(server.SetBehaviour("/inst/count", behaviour)); }

    // The report posts the server received, one per attempt.
    std::vector<std::string> CountPosts() {
        std::vector<std::string> bodies;
        JsonValue records;
        EXPECT_TRUE(server.Requests(records, "/inst/count"));
        for (size_t i = 0; i < records.Size(); ++i) {
            const JsonValue& record = records[i];
            EXPECT_EQ(record["method"].Str(), "POST");
            const std::string* agent = FindRecordHeader(record, "User-Agent");
            const std::string* type = FindRecordHeader(record, "Content-Type");
            EXPECT_TRUE(agent && *agent == "CHttpSessionDownloadFile");
            EXPECT_TRUE(type && *type == "application/x-www-form-urlencoded; charset=UTF-8");
            bodies.push_back(record["body_text"].Str());
        }
        return bodies;
    }

    void TearDown() override {
        // A restart marker left behind would stop every later run at its start.
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kManagerRestartMarker, MACHINE_REGISTRY_VIEW, 0);
        if (manualFolder.empty()) return;
        ChildProcess uninstall;
        ASSERT_TRUE(uninstall.Start(MsiexecPath(), L"/x \"" + manualPackage + L"\" /qn INSTALLDIR=\"" + manualFolder + L"\"",
                                    BuildFolder(), {}));  // the program's folder may be gone
        EXPECT_TRUE(uninstall.Wait(120000));
    }

    // The configuration with the new installs' folders and the power-off page's settings.
    void Configure(int powerOffTemplate) {
        std::string ini = ValidConfiguration(ToUtf8(server.Url(Listener::Http, L"/inst/VTInst.xml")));
        if (powerOffTemplate != 0) {
            const std::string off = "CallPowerAutoOffDlg=0\r\nCallPowerAutoOffDlgParam=135\r\n";
            ini.replace(ini.find(off), off.size(),
                        "CallPowerAutoOffDlg=1\r\nCallPowerAutoOffDlgParam=" + std::to_string(powerOffTemplate) + "\r\n");
        }
        // The download-count service on the test server; a failed report is tried once more, soon.
        const std::string count = "URL_STARTUP=http://127.0.0.1:9/count\r\n";
        ini.replace(ini.find(count), count.size(),
                    "URL_STARTUP=" + ToUtf8(server.Url(Listener::Http, L"/inst/count")) +
                        "\r\nDownRetryCount=1\r\nDownRetrySleep=100\r\n");
        ini += "[AddPath]\r\nVeltrona Manager=\\Veltrona\\Manager\r\nVeltrona Manual=\\Veltrona\\Manual\r\n";
        run.WriteConfiguration(ini);
    }

    // The Manager as a setup program and the manual as an msi package, both new installs, from base.
    std::string CatalogueXml(const std::string& base) const {
        auto item = [&](const std::string& id, const std::string& version, const std::string& module, DWORD64 size) {
            return "<item><id>" + id + "</id><title>" + id + "</title><version>" + version + "</version>"
                   "<gmt_pubDate>2020/1/1 0:0:0</gmt_pubDate><gmt_delDate>2099/1/1 0:0:0</gmt_delDate>"
                   "<iss>" + base + "setup.iss</iss><iss_ug>" + base + "setup.iss</iss_ug>"
                   "<module size=\"" + std::to_string(size) + "\" installSize=\"4096\">" + base + module +
                   "</module></item>";
        };
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?><catalogue><setupType>JP</setupType><model>VT-S1300</model>"
               "<vtinst>" + base + "vtinst.ini</vtinst><license>" + base + "license.rtf</license>" +
               item("Veltrona Manager", "2.4.0.1", "Manager/setup.exe", FileSize(BuildFolder() + L"\\VtStandInSetup.exe")) +
               item("Veltrona Manual", "1.2.0.0", "Manual/VeltronaManual.msi", FileSize(manualPackage)) + "</catalogue>";
    }

    void ServeCatalogue() {
        const std::string xml = CatalogueXml(ToUtf8(server.Url(Listener::Http, L"/inst/")));
        ASSERT_TRUE(server.SetBehaviour("/inst/VTInst.xml", std::string("{\"body_text\": ") + JsonQuote(xml) + "}"));
    }

    // Starts the program and walks it to the install page, the folder chosen in the browser.
    void StartAndWalkToInstall(std::wstring& chosen) {
        chosen = ChosenFolder();
        manualFolder = chosen + L"\\Veltrona\\Manual";
        ASSERT_TRUE(run.Start());
        WalkToInstall(chosen);
    }

    // Folder page (the folder chosen in the browser), license, review, download: returns when the
    // install page is up.
    void WalkToInstall(const std::wstring& chosen) {
        PageInfo page;
        ASSERT_TRUE(run.WaitForPage(FOLDER_PATH, page));
        ASSERT_TRUE(ClickControl(page.window, FOLDER_BROWSE));
        ASSERT_TRUE(ChooseFolderInBrowser(run.ProcessId(), chosen, 20000));
        Sleep(500);
        ASSERT_EQ(ReadPage(page.window).Control(FOLDER_PATH)->text, chosen);
        ASSERT_TRUE(ClickControl(page.window, FOLDER_NEXT));
        ASSERT_TRUE(run.WaitForPage(LICENSE_ACCEPT, page));
        ASSERT_TRUE(WaitForControlEnabled(page.window, LICENSE_ACCEPT, true, 30000));
        ASSERT_TRUE(ClickControl(page.window, LICENSE_ACCEPT));
        ASSERT_TRUE(WaitForControlEnabled(page.window, LICENSE_NEXT, true, 5000));
        ASSERT_TRUE(ClickControl(page.window, LICENSE_NEXT));
        ASSERT_TRUE(run.WaitForPage(REVIEW_SETTINGS, page));
        ASSERT_TRUE(ClickControl(page.window, REVIEW_NEXT));
        ASSERT_TRUE(run.WaitForPage(DOWNLOAD_LIST, page));
        ASSERT_TRUE(run.WaitForPage(INSTALL_STATUS, page, 120000));
        EXPECT_EQ(page.caption, L"Veltrona Installer");
    }

    // Pages the demo does not reach are photographed here (build tree, "test-shots").
    static void SaveShot(HWND page, const wchar_t* name) {
        const std::wstring folder = BuildFolder() + L"\\test-shots";
        CreateDirectoryW(folder.c_str(), nullptr);
        Sleep(300);
        SaveScreenshot(page, folder + L"\\" + name + L".bmp");
    }

    // Restarts Wine's session (wineboot -r) as a restart of Windows would go, the installer's run
    // after it with the test's temporary folder; boxes shown meanwhile are answered and kept.
    bool RestartWine(std::vector<MessageBoxInfo>& boxes) {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        ChildProcess wineboot;
        if (!wineboot.Start(std::wstring(system) + L"\\wineboot.exe", L"-r", system,
                            {{L"TMP", run.TempFolder()}, {L"TEMP", run.TempFolder()}}))
            return false;
        for (const DWORD start = GetTickCount(); GetTickCount() - start < 180000;) {
            if (wineboot.Wait(200)) return true;
            MessageBoxInfo box;
            if (WaitForMessageBox(MessageBoxFilter{L"Veltrona Installer", 0}, 0, box)) {
                boxes.push_back(box);
                PressMessageBoxButton(box.window, box.buttons.empty() ? IDOK : box.buttons.front().id);
                WaitForWindowClosed(box.window, 5000);
            }
        }
        wineboot.Kill();
        return false;
    }

    std::wstring ChosenFolder() {
        const std::wstring chosen = run.AppFolder() + L"\\..\\Chosen Folder";
        CreateDirectoryW(chosen.c_str(), nullptr);
        wchar_t full[MAX_PATH] = {};
        GetFullPathNameW(chosen.c_str(), MAX_PATH, full, nullptr);
        return full;
    }
};

TEST_F(InstallRunTest, BothPackagesGoIntoTheChosenFolderAndTheWizardEndsOnTheCompletionPage) {
    Configure(0);
    ServeCatalogue();
    WriteStandInSetupSettings(setupSettings, {{L"ProductKey", std::wstring(kFamily) + L"Veltrona Manager"},
                                              {L"Version", L"2.4.0.1"}});
    std::wstring chosen;
    StartAndWalkToInstall(chosen);

    PageInfo completed;
    ASSERT_TRUE(run.WaitForPage(COMPLETED_BUTTON, completed, 180000));
    EXPECT_EQ(completed.Control(COMPLETED_HEADING)->text, L"Installation complete");
    EXPECT_TRUE(run.Boxes().empty()) << Narrow(run.Boxes().front().text);
    ASSERT_TRUE(ClickControl(completed.window, COMPLETED_BUTTON));
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(run.ExitCode(), 0u);

    // The msi package: its file in the chosen folder, its values where the next run looks.
    EXPECT_TRUE(Exists(manualFolder + L"\\BasicGuide.txt"));
    EXPECT_EQ(GetREGSZDataInfo(std::wstring(kFamily) + L"Veltrona Manual", L"Version"), L"1.2.0.0");
    // The setup program: started with its response file pointed at the chosen folder.
    const std::vector<StandInSetupRun> runs = StandInSetupRuns(setupSettings);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].destination, chosen + L"\\Veltrona\\Manager");
    EXPECT_NE(runs[0].commandLine.find(L" /s /f1\"" + run.AppFolder() + L"\\download\\setup_01.iss\" /f2\"" +
                                       run.AppFolder() + L"\\download\\setup_01.exe.log\" /z\"/passive\""),
              std::wstring::npos)
        << Narrow(runs[0].commandLine);
    EXPECT_TRUE(Exists(chosen + L"\\Veltrona\\Manager\\standin-setup.txt"));
    EXPECT_EQ(GetREGSZDataInfo(std::wstring(kFamily) + L"Veltrona Manager", L"Version"), L"2.4.0.1");
    // What the installs recorded reaches the saved state: the registration form of region "JP" and
    // the manual's guide.
    const std::wstring savedState = run.AppFolder() + L"\\download\\vtinst.ini";
    wchar_t value[MAX_PATH] = {};
    GetPrivateProfileStringW(L"UserRegist", L"URL", L"", value, MAX_PATH, savedState.c_str());
    EXPECT_EQ(std::wstring(value), USER_REGISTRATION_URL);
    GetPrivateProfileStringW(L"BasicGuide", L"Path", L"", value, MAX_PATH, savedState.c_str());
    EXPECT_NE(std::wstring(value).find(L"Basic Operation Guide.url"), std::wstring::npos);
    // One report per downloaded package, posted at exit, each answer checked.
    const std::vector<std::string> posts = CountPosts();
    ASSERT_EQ(posts.size(), 2u);
    const std::string base = ToUtf8(server.Url(Listener::Http, L"/inst/"));
    EXPECT_EQ(posts[0].find("OS=Win&SOFT=Mng&VL=V2.4L0&KIND=Down&MAC="), 0u) << posts[0];
    EXPECT_NE(posts[0].find("&CLTYPE=VTINS1&URL=" + base + "Manager/setup.exe"), std::string::npos) << posts[0];
    EXPECT_EQ(posts[1].find("OS=Win&SOFT=VTManual01&VL=V1.2L0&KIND=Down&MAC="), 0u) << posts[1];
    EXPECT_FALSE(run.Log().Contains(L"Error:CVTInstApp::ExitInstance:ParseXml fail or send NG."));
    EXPECT_TRUE(ContainsInOrder(run.Log().Messages(),
                                {L"Start:CHttpDownLoad::InstallThread", L"Start:CInstallCompletedDlg::OnInitDialog",
                                 L"End  :CHttpDownLoad::InstallThread",
                                 L"Start:CInstallCompletedDlg::OnButtonCompleted", L"Start:CVTInstApp::SaveVTInst"}));
}

// A setup that leaves its restart marker: install page, power-off page, restart question; "Restart
// now" registers the installer for the run after the restart and ends the program.
TEST_F(InstallRunTest, ARestartMarkerLeadsThroughThePowerOffPageToTheRestartQuestion) {
    Configure(6004);
    ServeCatalogue();
    AnswerCounts(R"({"body_text": "<r><return_info>NG</return_info></r>"})");
    WriteStandInSetupSettings(setupSettings, {{L"RestartKey", kManagerRestartMarker}});
    std::wstring chosen;
    StartAndWalkToInstall(chosen);

    PageInfo powerOff;
    ASSERT_TRUE(run.WaitForPage(POWER_NEXT, powerOff, 180000));
    EXPECT_EQ(powerOff.Control(POWER_TEXT_2)->text,
              L"To turn the Veltrona back on, perform one of the following:\n- Press the touch screen of the "
              L"Veltrona\n- Close the ADF paper chute (cover) and open it again");
    SaveShot(powerOff.window, L"power-off-6004");
    ASSERT_TRUE(ClickControl(powerOff.window, POWER_NEXT));
    PageInfo restart;
    ASSERT_TRUE(run.WaitForPage(RESTART_NOW, restart, 30000));
    SaveShot(restart.window, L"restart");
    ASSERT_NE(restart.Control(IDCANCEL), nullptr);
    EXPECT_EQ(restart.Control(IDOK)->text, L"Restart &now");
    EXPECT_EQ(restart.Control(IDCANCEL)->text, L"Restart &later");
    ASSERT_TRUE(ClickControl(restart.window, RESTART_NOW));
    ASSERT_TRUE(run.Finish());

    // The Manager was installed, so the family's tools are due after the restart: the installer again.
    EXPECT_EQ(GetREGSZDataInfo(RUN_ONCE_KEY, L"VTInst Install"), run.AppFolder() + L"\\VTInst.exe -StartOS");
    const std::vector<std::wstring> lines = run.Log().Messages();
    EXPECT_TRUE(ContainsInOrder(lines, {L"Start:CPowerAutoOffDlg::OnInitDialog", L"Start:CRestartConfrimDlg::OnInitDialog",
                                        L"Start:CRestartConfrimDlg::OnButtonRestart", L"Start:CVTInstApp::SaveVTInst"}));
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), L"Start:CInstallCompletedDlg::OnInitDialog") == lines.end());
    // A refused report is logged; the next one is still sent.
    EXPECT_EQ(CountPosts().size(), 2u);
    EXPECT_EQ(run.Log().Count(L"Error:CVTInstApp::ExitInstance:ParseXml fail or send NG."), 2u);
}

// The whole restart path: "Restart now", then a restart of Wine (wineboot -r), which runs the
// RunOnce entries: the setup's own completion takes its marker away, then the installer's run after
// the restart starts the family's tools through the desktop shell's token and the updater, and leaves
// its folder to the restart after that, which removes it.
TEST_F(InstallRunTest, AfterRestartNowTheRestartRunsTheToolsAndTheNextOneRemovesTheInstaller) {
    Configure(0);
    std::string ini = ReadTextFile(run.AppFolder() + L"\\VeltronaInstaller.ini");
    ini.replace(ini.find("CallWizardConnect=0\r\n"), 21, "CallWizardConnect=1\r\nCallWizardConnectParam=/Restarted\r\n");
    ini.replace(ini.find("CallVTFolerTray=0\r\n"), 19, "CallVTFolerTray=1\r\n");
    run.WriteConfiguration(ini);
    ServeCatalogue();
    WriteStandInSetupSettings(setupSettings, {{L"RestartKey", kManagerRestartMarker}, {L"FinishAtRestart", L"1"}});
    std::wstring chosen;
    StartAndWalkToInstall(chosen);
    PageInfo restart;
    ASSERT_TRUE(run.WaitForPage(RESTART_NOW, restart, 180000));
    ASSERT_TRUE(ClickControl(restart.window, RESTART_NOW));
    ASSERT_TRUE(run.Finish());
    ASSERT_EQ(GetREGSZDataInfo(RUN_ONCE_KEY, L"VTInst Install"), run.AppFolder() + L"\\VTInst.exe -StartOS");

    // What the Manager's setup leaves for its tools: their folder in App Paths, the monitor's
    // settings folder; and the updater where the registry says it is.
    const std::wstring manager = chosen + L"\\Veltrona\\Manager";
    CreateDirectoryW((manager + L"\\VtWizard").c_str(), nullptr);
    CreateDirectoryW((chosen + L"\\Veltrona\\VTFolder").c_str(), nullptr);
    CreateDirectoryW((chosen + L"\\Update").c_str(), nullptr);
    const std::wstring wizard = manager + L"\\VtWizard\\ZelVtConnectionWizard.exe";
    const std::wstring tray = chosen + L"\\Veltrona\\VTFolder\\VTFolderTray.exe";
    const std::wstring updater = chosen + L"\\Update\\VeltronaUpdater.exe";
    for (const std::wstring& program : {wizard, tray, updater}) ASSERT_TRUE(InstallStandIn(program, 0));
    ASSERT_TRUE(registry.SetString(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZelVtMon.exe", L"Path",
                                   manager));
    ASSERT_TRUE(registry.SetString(L"SOFTWARE\\ZEL\\Veltrona Online Update", L"Path", chosen + L"\\Update"));
    const std::wstring driver = GetCommonAppDataFolder(L"6.1") + L"\\ZEL\\Veltrona\\Driver";
    SHCreateDirectoryExW(nullptr, driver.c_str(), nullptr);

    // A later Windows: the tools start with the desktop shell's token, so the desktop needs its shell.
    StandInDesktopShell shell;
    ASSERT_TRUE(shell.Start());
    std::vector<MessageBoxInfo> boxes;
    ASSERT_TRUE(RestartWine(boxes));
    EXPECT_TRUE(boxes.empty()) << Narrow(boxes.front().text);

    EXPECT_EQ(GetREGSZDataInfo(RUN_ONCE_KEY, L"VTInst Install"), L"");
    HKEY marker = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kManagerRestartMarker, 0, KEY_READ | MACHINE_REGISTRY_VIEW, &marker),
              ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(StandInRuns(wizard).size(), 1u);
    EXPECT_NE(StandInRuns(wizard)[0].commandLine.find(L" /Restarted"), std::wstring::npos);
    EXPECT_TRUE(WaitForStandInRuns(tray, 1, 10000));
    EXPECT_TRUE(WaitForStandInRuns(updater, 1, 10000));
    const std::vector<std::wstring> lines = run.Log().Messages();
    EXPECT_TRUE(ContainsInOrder(lines, {L"Start:CRestartConfrimDlg::OnButtonRestart",
                                        L"Start:CVTInstApp::RunEXEWaitEndWithCurrentSession",
                                        L"End  :CVTInstApp::RunEXEWaitEndWithCurrentSession",
                                        L"Start:CVTInstApp::CallUpdaterModule", L"Start:CVTInstApp::DeleteDirectoryEx"}));
    // The running program could not take itself away: it and its folder wait for the next restart.
    EXPECT_TRUE(Exists(run.AppFolder() + L"\\VTInst.exe"));
    EXPECT_FALSE(Exists(run.AppFolder() + L"\\VeltronaInstaller.ini"));
    ASSERT_TRUE(RestartWine(boxes));
    EXPECT_FALSE(Exists(run.AppFolder()));
    RemoveTree(driver);
}

// Without a restart the configured power-off page follows the completion page and ends the wizard.
TEST_F(InstallRunTest, TheCompletionPageLeadsToTheConfiguredPowerOffPage) {
    Configure(6003);
    ServeCatalogue();
    AnswerCounts(R"({"statuses": [504]})");
    WriteStandInSetupSettings(setupSettings, {});
    std::wstring chosen;
    StartAndWalkToInstall(chosen);

    PageInfo completed;
    ASSERT_TRUE(run.WaitForPage(COMPLETED_BUTTON, completed, 180000));
    ClosePage(completed.window);  // the close button acts as Complete
    PageInfo powerOff;
    ASSERT_TRUE(run.WaitForPage(POWER_NEXT, powerOff, 30000));
    EXPECT_EQ(powerOff.Control(POWER_TEXT_2)->text, L"Press the [Scan] button on the Veltrona to turn the power ON.");
    SaveShot(powerOff.window, L"power-off-6003");
    ASSERT_TRUE(ClickControl(powerOff.window, POWER_NEXT));
    ASSERT_TRUE(run.Finish());
    const std::vector<std::wstring> lines = run.Log().Messages();
    EXPECT_TRUE(ContainsInOrder(lines, {L"Start:CInstallCompletedDlg::OnClose", L"Start:CPowerAutoOffDlg::OnInitDialog",
                                        L"Start:CPowerAutoOffDlg::OnBnClickedButtonContentNext",
                                        L"Start:CVTInstApp::SaveVTInst"}));
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), L"Start:CRestartConfrimDlg::OnInitDialog") == lines.end());
    EXPECT_EQ(GetREGSZDataInfo(RUN_ONCE_KEY, L"VTInst Install"), L"");
    // An unreachable service: each report tried once more, then dropped.
    EXPECT_EQ(CountPosts().size(), 4u);
    EXPECT_EQ(run.Log().Count(L"Error:CVTInstApp::ExitInstance:Send download infomation fail."), 2u);
}

// A setup that fails is explained from its result file; the other package is still installed and
// the wizard still ends on the completion page.
TEST_F(InstallRunTest, AFailedSetupIsExplainedAndTheOtherPackageStillInstalls) {
    Configure(0);
    ServeCatalogue();
    WriteStandInSetupSettings(setupSettings, {{L"ExitCode", L"1603"}, {L"ResultCode", L"-3"}});
    std::wstring chosen;
    StartAndWalkToInstall(chosen);
    PageInfo completed;
    ASSERT_TRUE(run.WaitForPage(COMPLETED_BUTTON, completed, 180000));
    ASSERT_EQ(run.Boxes().size(), 1u);
    EXPECT_EQ(run.Boxes()[0].text,
              L"Failed to install Veltrona Manager.\n\nThe installation file you downloaded may be incomplete. "
              L"Download the file again and then retry the installation.\n");
    EXPECT_TRUE(Exists(manualFolder + L"\\BasicGuide.txt"));
    EXPECT_TRUE(run.Log().Contains(L"Error:CInstallDlg::WM_USER_INSTALL_FAILED: Veltrona Manager install failed. "
                                   L"ErrorCode is -3."));
    ASSERT_TRUE(ClickControl(completed.window, COMPLETED_BUTTON));
    ASSERT_TRUE(run.Finish());
}

// End to end against real servers from Debian: the catalogue and packages from nginx, every request
// through squid, which wants Basic proxy credentials. The program shows its notice with the system's
// credential dialog, the user answers it, and the packages are downloaded and installed.
TEST_F(InstallRunTest, BehindAnAuthenticatingProxyThePackagesComeFromNginxAndInstall) {
    wchar_t nginxUrl[256] = {}, nginxRoot[MAX_PATH] = {}, proxy[64] = {}, credentials[128] = {}, proxyLog[MAX_PATH] = {};
    ASSERT_TRUE(GetEnvironmentVariableW(L"VTINST_NGINX_URL", nginxUrl, 256) &&
                GetEnvironmentVariableW(L"VTINST_NGINX_ROOT", nginxRoot, MAX_PATH))
        << "nginx not running (tools/with-nginx.sh)";
    ASSERT_TRUE(GetEnvironmentVariableW(L"VTINST_SQUID_PROXY", proxy, 64) &&
                GetEnvironmentVariableW(L"VTINST_SQUID_CREDENTIALS", credentials, 128) &&
                GetEnvironmentVariableW(L"VTINST_SQUID_LOG", proxyLog, MAX_PATH))
        << "squid not running (tools/with-squid.sh)";
    // Nothing of the machine's environment may steer the program around the configured proxy.
    EXPECT_EQ(GetEnvironmentVariableW(L"http_proxy", nullptr, 0), 0u);
    EXPECT_EQ(GetEnvironmentVariableW(L"HTTP_PROXY", nullptr, 0), 0u);

    // The site on nginx: catalogue, saved state, license, the setup program and its response file, the msi.
    const std::wstring site = std::wstring(nginxRoot) + L"\\proxyrun";
    for (const wchar_t* folder : {L"", L"\\Manager", L"\\Manual"}) CreateDirectoryW((site + folder).c_str(), nullptr);
    const std::string base = ToUtf8(nginxUrl) + "/proxyrun/";
    ASSERT_TRUE(CopyInto(BuildFolder() + L"\\VtStandInSetup.exe", site + L"\\Manager\\setup.exe"));
    ASSERT_TRUE(CopyInto(manualPackage, site + L"\\Manual\\VeltronaManual.msi"));
    WriteTextFile(site + L"\\setup.iss", AnsiResponseFile(kProductCode, "C:\\Old Destination"));
    WriteTextFile(site + L"\\vtinst.ini", "[Common]\r\n");
    WriteTextFile(site + L"\\license.rtf", "{\\rtf1 License.\\par}");
    WriteTextFile(site + L"\\VTInst.xml", CatalogueXml(base));
    std::string ini = ValidConfiguration(base + "VTInst.xml");
    // The reports at exit go nowhere here: no second attempts.
    ini.insert(ini.find("[WebServer]\r\n") + 13, "DownRetryCount=0\r\n");
    ini += "[AddPath]\r\nVeltrona Manager=\\Veltrona\\Manager\r\nVeltrona Manual=\\Veltrona\\Manual\r\n";
    run.WriteConfiguration(ini);
    WriteStandInSetupSettings(setupSettings, {});

    const std::wstring account = credentials;
    const size_t colon = account.find(L':');
    ScopedSystemProxy systemProxy(proxy);
    const std::wstring chosen = ChosenFolder();
    ASSERT_TRUE(run.Start());
    CredentialDialogLoop user(run.ProcessId(), account.substr(0, colon), account.substr(colon + 1));
    WalkToInstall(chosen);
    manualFolder = chosen + L"\\Veltrona\\Manual";
    PageInfo completed;
    ASSERT_TRUE(run.WaitForPage(COMPLETED_BUTTON, completed, 180000));
    ASSERT_TRUE(ClickControl(completed.window, COMPLETED_BUTTON));
    ASSERT_TRUE(run.Finish());
    EXPECT_GE(user.Stop(), 1);

    EXPECT_TRUE(Exists(manualFolder + L"\\BasicGuide.txt"));
    EXPECT_TRUE(Exists(chosen + L"\\Veltrona\\Manager\\standin-setup.txt"));
    EXPECT_TRUE(run.Log().Contains(L"Start:CNotifyDlg::OnInitDialog"));
    // Every file went through the proxy: first refused (407), then fetched for the user the dialog named.
    const std::string access = ReadTextFile(proxyLog);
    const std::string proxyUser = Narrow(account.substr(0, colon));
    for (const char* path : {"proxyrun/VTInst.xml", "proxyrun/Manager/setup.exe", "proxyrun/Manual/VeltronaManual.msi"}) {
        bool refused = false, fetched = false;
        size_t start = 0;
        while (start < access.size()) {
            size_t end = access.find('\n', start);
            if (end == std::string::npos) end = access.size();
            const std::string line = access.substr(start, end - start);
            start = end + 1;
            if (line.find(path) == std::string::npos) continue;
            refused = refused || line.find("/407 ") != std::string::npos;
            fetched = fetched || (line.find("/200 ") != std::string::npos && line.find(" " + proxyUser + " ") != std::string::npos);
        }
        EXPECT_TRUE(refused && fetched) << path << "\n" << access;
    }
}

}  // namespace
}  // namespace vttest
