// The start-up sequence of the real program: its exits, start modes and log lines.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "tests/integration/InstallerRun.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/ScratchDrive.h"

using vttest::InstallerRun;
using vttest::ValidConfiguration;

namespace {

const wchar_t kCaption[] = L"Veltrona Installer";
const wchar_t kInternalError[] = L"An internal error occurred with Veltrona Installer.";
const wchar_t kInitEnd[] = L"End  :CVTInstApp::InitInstance";


bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void ExpectErrorBox(const vttest::MessageBoxInfo& box, const std::wstring& text) {
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, text);
    EXPECT_TRUE(box.hasIcon);
    EXPECT_EQ(box.ButtonIds(), std::vector<int>{IDOK});
}

TEST(StartUpTest, MissingConfigurationShowsInternalErrorAndEnds) {
    InstallerRun run;
    ASSERT_TRUE(run.Run());
    ASSERT_EQ(run.Boxes().size(), 1u);
    ExpectErrorBox(run.Boxes()[0], kInternalError);

    vttest::LogFile log = run.Log();
    std::vector<std::wstring> lines = log.Messages();
    EXPECT_TRUE(vttest::ContainsInOrder(lines, {L"Start:CVTInstApp::CVTInstApp", L"End  :CVTInstApp::CVTInstApp",
                                L"Start:CVTInstApp::InitInstance", L"Start:CVTInstApp::GetREGSZDataInfo",
                                L"End  :CVTInstApp::GetREGSZDataInfo",
                                L"Error:CVTInstApp::InitInstance: Failed to obtain the destination URL(VTInst.xml).",
                                kInitEnd, kInitEnd}));
    EXPECT_FALSE(Exists(run.AppFolder() + L"\\download"));

    // Entry format: error line at level 1 with -1, from the configuration reader's source.
    for (const vttest::LogEntry& entry : log.Entries()) {
        if (entry.message.rfind(L"Error:", 0) != 0) continue;
        EXPECT_EQ(entry.level, L"EROR");
        EXPECT_EQ(entry.errorNumber, L"-1");
        EXPECT_EQ(entry.source, L"Configuration.cpp");
        EXPECT_EQ(entry.line.back(), L'L');
    }
    EXPECT_EQ(log.Field(L"PATH"), run.AppFolder() + L"\\VTInst.exe");
}

TEST(StartUpTest, BadFlagReportsOnlyTheFirstBadKey) {
    InstallerRun run;
    std::string ini = ValidConfiguration();
    ini.replace(ini.find("CallWizardConnect=0"), 19, "CallWizardConnect=2");
    ini.replace(ini.find("CallFirmUpdate=0"), 16, "CallFirmUpdate=x");
    run.WriteConfiguration(ini);
    ASSERT_TRUE(run.Run());
    ASSERT_EQ(run.Boxes().size(), 1u);
    ExpectErrorBox(run.Boxes()[0], kInternalError);

    std::wstring iniPath = run.AppFolder() + L"\\VeltronaInstaller.ini";
    std::vector<std::wstring> lines = run.Log().Messages();
    EXPECT_TRUE(vttest::ContainsInOrder(lines, {L"Set:theApp.m_updateCommonInfo.CallWifiTool = 0",
                                L"Error:CVTInstApp::InitInstance: CallWizardConnect Flag is not exist in INI file. "
                                L"INI Path:" + iniPath + L"; Guid:CallWizardConnect",
                                kInitEnd, kInitEnd}));
    for (const std::wstring& line : lines) EXPECT_EQ(line.find(L"CallFirmUpdate"), std::wstring::npos) << vttest::Narrow(line);
}

TEST(StartUpTest, OcrSupportLibraryMissingOrIncomplete) {
    for (bool partial : {false, true}) {
        SCOPED_TRACE(partial ? "missing export" : "missing library");
        InstallerRun run;
        run.WriteConfiguration(ValidConfiguration());
        if (partial) run.UsePartialOcrLibrary();
        else run.RemoveOcrLibrary();
        ASSERT_TRUE(run.Run());
        ASSERT_EQ(run.Boxes().size(), 1u);
        ExpectErrorBox(run.Boxes()[0], kInternalError);
        std::vector<std::wstring> lines = run.Log().Messages();
        EXPECT_TRUE(vttest::ContainsInOrder(lines, {L"Error:CVTInstApp::InitInstance: Failed to LoadLibrary(VtSvcOCRHandle.dll).",
                                    kInitEnd, kInitEnd}));
        // The configuration is read only after the library.
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::wstring& l) { return l.rfind(L"Set:", 0) == 0; }),
                  0);
    }
}

TEST(StartUpTest, UncreatableDownloadFolderEndsWithPrivilegeMessage) {
    InstallerRun run;
    run.WriteConfiguration(ValidConfiguration());
    // A file of that name stands where the folder should be.
    vttest::WriteTextFile(run.AppFolder() + L"\\download", "not a folder");
    ASSERT_TRUE(run.Run());
    ASSERT_GE(run.Boxes().size(), 1u);
    ExpectErrorBox(run.Boxes()[0], L"You do not have the privileges to access Veltrona Installer.\nCheck your privileges.");
    EXPECT_TRUE(vttest::ContainsInOrder(run.Log().Messages(),
                        {L"Start:CVTInstApp::CreateSavePath", L"Error:CVTInstApp::CreateSavePath: create directory is failed.",
                         L"End  :CVTInstApp::CreateSavePath",
                         L"Error:CVTInstApp::InitInstance: Create downland folder is failed.", kInitEnd, kInitEnd}));
}

TEST(StartUpTest, PendingRestartMarkersStopTheStart) {
    struct Case {
        const wchar_t* key;
        const wchar_t* value;  // null: the key itself is the marker
    } cases[] = {
        {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", L"Veltrona Integration Installer"},
        {L"SOFTWARE\\ZEL\\Home OCRPack RebootCheck", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(vttest::Narrow(c.value ? c.value : c.key));
        vttest::RegistryFixture registry;
        ASSERT_TRUE(registry.SetString(c.key, c.value ? c.value : L"Marker", L"x"));
        InstallerRun run;
        run.WriteConfiguration(ValidConfiguration());
        ASSERT_TRUE(run.Run());
        ASSERT_EQ(run.Boxes().size(), 1u);
        ExpectErrorBox(run.Boxes()[0],
                       L"The previous setup is not complete. Restart your computer from the [Start] menu and try again.");
        std::vector<std::wstring> lines = run.Log().Messages();
        EXPECT_TRUE(vttest::ContainsInOrder(lines, {L"Error:CVTInstApp::The previous setup is not completed. Restart your computer "
                                    L"and try again.",
                                    kInitEnd}));
        bool keyMarker = c.value == nullptr;
        EXPECT_EQ(vttest::ContainsInOrder(lines, {L"Info :CVTInstApp::CheckNeedReboot: Product is not completely installed,OS need "
                                  L"restart.",
                                  L"End  :CVTInstApp::CheckNeedReboot"}),
                  keyMarker);
        EXPECT_FALSE(Exists(run.AppFolder() + L"\\download"));
    }
}

TEST(StartUpTest, StartModeInWrongCaseIsLoggedAndRunsNormally) {
    InstallerRun run;
    run.WriteConfiguration(ValidConfiguration());
    ASSERT_TRUE(run.Run(L"-startos"));
    std::vector<std::wstring> lines = run.Log().Messages();
    EXPECT_TRUE(vttest::ContainsInOrder(lines, {L"Error:CVTInstApp::InitInstance:m_strStartMode error:-startos",
                                L"Start:CVTInstApp::CreateSavePath", L"End  :CVTInstApp::CreateSavePath"}));
    EXPECT_TRUE(Exists(run.AppFolder() + L"\\download"));
    EXPECT_TRUE(Exists(run.AppFolder() + L"\\VTInst.exe"));
}

TEST(StartUpTest, RunAfterRestartMakesNoDownloadFolderAndRemovesItsOwnFolder) {
    InstallerRun run;
    run.WriteConfiguration(ValidConfiguration());
    ASSERT_TRUE(run.Run(L"-StartOS"));
    std::vector<std::wstring> lines = run.Log().Messages();
    EXPECT_EQ(std::find(lines.begin(), lines.end(), L"Start:CVTInstApp::CreateSavePath"), lines.end());
    EXPECT_TRUE(vttest::ContainsInOrder(lines, {L"Start:CVTInstApp::DeleteDirectoryEx", L"End  :CVTInstApp::DeleteDirectoryEx",
                                kInitEnd}));
    for (const std::wstring& line : lines) EXPECT_EQ(line.find(L"m_strStartMode error"), std::wstring::npos);
    // The running program itself can only go at the next restart; everything that could go is gone.
    EXPECT_FALSE(Exists(run.AppFolder() + L"\\VeltronaInstaller.ini"));
    EXPECT_FALSE(Exists(run.AppFolder() + L"\\VtSvcOCRHandle_i.dll"));
}

// Run from the root of a drive, the program has no folder of its own to remove: the drive and
// everything on it stay.
TEST(StartUpTest, RunAfterRestartFromADriveRootLeavesTheDriveAlone) {
    InstallerRun run;
    run.WriteConfiguration(ValidConfiguration());
    const std::wstring other = run.AppFolder() + L"\\Other";
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    vttest::WriteTextFile(other + L"\\keep.txt", "keep");
    vttest::ScratchDrive drive;
    ASSERT_TRUE(drive.Map(run.AppFolder()));
    run.RunFrom(drive.Root());

    ASSERT_TRUE(run.Run(L"-StartOS"));
    std::vector<std::wstring> lines = run.Log().Messages();
    const std::wstring root = drive.Root().substr(0, 2);
    EXPECT_TRUE(vttest::ContainsInOrder(
        lines, {L"Warning:CVTInstApp::InitInstance: The program's folder is a root and is not deleted.path:" + root,
                kInitEnd}));
    EXPECT_EQ(std::find(lines.begin(), lines.end(), L"Start:CVTInstApp::DeleteDirectoryEx"), lines.end());
    EXPECT_TRUE(Exists(other + L"\\keep.txt"));
    EXPECT_TRUE(Exists(run.AppFolder() + L"\\VeltronaInstaller.ini"));
    EXPECT_TRUE(Exists(run.AppFolder() + L"\\VtSvcOCRHandle_i.dll"));
}

}  // namespace
