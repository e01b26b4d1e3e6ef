// The .NET Framework redistributables run before and after the package installation, with the
// stand-in program in their place beside the installer.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "StringIds.h"
#include "app/VTInst.h"
#include "install/DotNetRedistributables.h"
#include "tests/support/LogFile.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ScopedTempFolder.h"
#include "tests/support/StandInTool.h"
#include "tests/support/StringTableModule.h"

using vttest::LogFile;
using vttest::ScopedTempFolder;

namespace {

const wchar_t CAPTION[] = L"Veltrona Installer";
const UINT WIZARD_CLOSE = WM_USER + 260;
const wchar_t NET35[] = L"dotNetFx35setup.exe";
const wchar_t NET40[] = L"dotNetFx40_Full_setup.exe";
const wchar_t NET45[] = L"dotNetFx45_Full_setup.exe";
const DWORD NOT_THERE = 0xFFFF;  // exit code meaning: no redistributable beside the installer

struct Flags {
    BOOL dotNet35, dotNet40, dotNet45;
};

class DotNetRedistributablesTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    LogFile log = LogFile::InFolder(temp.Path());
    vttest::StringTableModule strings{temp.Path(),
                                      {{IDS_CAPTION, CAPTION},
                                       {IDS_DOTNET40_NAME, L"Microsoft .NET Framework 4"},
                                       {IDS_DOTNET45_NAME, L"Microsoft .NET Framework 4.5"},
                                       {IDS_DOTNET35_INTERRUPTED,
                                        L"Microsoft .NET Framework 3.5 SP1 installation interrupted. Ending Setup."},
                                       {IDS_DOTNET_INTERRUPTED, L"%s installation interrupted. Ending Setup."}}};
    vttest::ScopedResourceModule resources{strings.Handle()};
    std::wstring installerFolder = temp.File(L"Installer");
    std::wstring savedModuleDir, savedOSVersion;
    HWND page = nullptr;
    HWND topPage = nullptr;

    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(installerFolder.c_str(), nullptr));
        savedModuleDir = theApp.m_strModuleDir;
        savedOSVersion = theApp.m_strOSVersion;
        theApp.m_strModuleDir = installerFolder;
        theApp.m_bNeedReboot = FALSE;
        theApp.m_nWizardStatus = 1;
        page = CreateWindowExW(0, L"STATIC", L"download page", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
        topPage = CreateWindowExW(0, L"STATIC", L"first page", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_TRUE(page && topPage);
    }
    void TearDown() override {
        DestroyWindow(page);
        DestroyWindow(topPage);
        theApp.m_strModuleDir = savedModuleDir;
        theApp.m_strOSVersion = savedOSVersion;
        theApp.m_bDotNet35 = FALSE;
        theApp.m_bDotNet40 = TRUE;
        theApp.m_bDotNet45 = TRUE;
        theApp.m_bNeedReboot = FALSE;
        theApp.m_nWizardStatus = 1;
    }

    std::wstring Redistributable(const wchar_t* name) const { return installerFolder + L"\\" + name; }

    void Prepare(const std::wstring& osVersion, Flags flags, const std::map<std::wstring, DWORD>& exitCodes) {
        theApp.m_strOSVersion = osVersion;
        theApp.m_bDotNet35 = flags.dotNet35;
        theApp.m_bDotNet40 = flags.dotNet40;
        theApp.m_bDotNet45 = flags.dotNet45;
        theApp.m_bNeedReboot = FALSE;
        theApp.m_nWizardStatus = 1;
        ShowWindow(page, SW_SHOW);
        DeleteFileW(log.Path().c_str());
        for (const wchar_t* name : {NET35, NET40, NET45}) {
            DeleteFileW(Redistributable(name).c_str());
            DeleteFileW((Redistributable(name) + L".record").c_str());
            auto code = exitCodes.find(name);
            if (code != exitCodes.end() && code->second != NOT_THERE) {
                ASSERT_TRUE(vttest::InstallStandIn(Redistributable(name), code->second));
            }
        }
    }

    size_t Runs(const wchar_t* name) const { return vttest::StandInRuns(Redistributable(name)).size(); }

    bool CloseWasPosted() const {
        MSG message;
        return PeekMessageW(&message, topPage, WIZARD_CLOSE, WIZARD_CLOSE, PM_REMOVE) && message.wParam == 0 &&
               message.lParam == 0;
    }
};

TEST_F(DotNetRedistributablesTest, BeforeInstallRunsWhatIsMissingAndGoesOn) {
    struct Case {
        const char* name;
        const wchar_t* osVersion;
        Flags flags;
        std::map<std::wstring, DWORD> exitCodes;
        size_t runs35, runs40, runs45;
        BOOL needReboot;
    };
    const Case cases[] = {
        {"7 without 3.5", L"6.1", {0, 1, 1}, {{NET35, 0}}, 1, 0, 0, FALSE},
        {"XP without 3.5 and 4", L"5.1", {0, 0, 1}, {{NET35, 0}, {NET40, 0}}, 1, 1, 0, FALSE},
        {"Vista without 3.5, reboot asked", L"6.0", {0, 1, 1}, {{NET35, 3010}}, 1, 0, 0, TRUE},
        {"7 SP1 without 4.5", L"6.1", {1, 1, 0}, {{NET45, 0}}, 0, 0, 1, FALSE},
        // 3.5 waits for the end of the installation here; 4.5 does not.
        {"8 without 3.5 and 4.5", L"6.2", {0, 1, 0}, {{NET35, 0}, {NET45, 3010}}, 0, 0, 1, TRUE},
        {"everything there", L"6.1", {1, 1, 1}, {{NET35, 1}, {NET40, 1}, {NET45, 1}}, 0, 0, 0, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(c.osVersion, c.flags, c.exitCodes);
        vttest::MessageBoxWatcher watcher({CAPTION, GetCurrentProcessId()}, IDOK, 1000);

        EXPECT_TRUE(InstallDotNetBeforePackages(page, topPage));
        EXPECT_FALSE(watcher.Finish()) << "a box was shown";
        EXPECT_EQ(Runs(NET35), c.runs35);
        EXPECT_EQ(Runs(NET40), c.runs40);
        EXPECT_EQ(Runs(NET45), c.runs45);
        EXPECT_EQ(theApp.m_bNeedReboot, c.needReboot);
        EXPECT_EQ(theApp.m_nWizardStatus, 1);
        EXPECT_TRUE(IsWindowVisible(page));
        EXPECT_FALSE(CloseWasPosted());
    }
}

TEST_F(DotNetRedistributablesTest, RedistributablesGetTheirCommandLinesFromTheInstallersFolder) {
    Prepare(L"6.0", {0, 0, 0}, {{NET35, 0}, {NET40, 0}, {NET45, 0}});
    ASSERT_TRUE(InstallDotNetBeforePackages(page, topPage));
    struct Expected {
        const wchar_t* name;
        const wchar_t* commandLine;
    };
    for (const Expected& e : {Expected{NET35, L" /qb /norestart"}, Expected{NET40, L" /passive /norestart"},
                              Expected{NET45, L" /passive /norestart"}}) {
        SCOPED_TRACE(testing::Message() << vttest::Narrow(e.name));
        std::vector<vttest::StandInRun> runs = vttest::StandInRuns(Redistributable(e.name));
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].commandLine, e.commandLine);
        EXPECT_TRUE(log.Contains(L"CVTInstApp::RunEXEWaitEnd:strExeFile=" + Redistributable(e.name)));
    }
}

TEST_F(DotNetRedistributablesTest, BeforeInstallEndsTheWizardWhenARedistributableFails) {
    struct Case {
        const char* name;
        const wchar_t* osVersion;
        Flags flags;
        std::map<std::wstring, DWORD> exitCodes;
        std::wstring logLine, boxText;
        size_t runs40, runs45;
    };
    const std::wstring prefix = L"Error:CDownloadDlg::WindowProc:";
    const std::wstring v35 = L"Microsoft .NET Framework 3.5 SP1 installation interrupted. Ending Setup.";
    const std::wstring v4 = L"Microsoft .NET Framework 4 installation interrupted. Ending Setup.";
    const std::wstring v45 = L"Microsoft .NET Framework 4.5 installation interrupted. Ending Setup.";
    const Case cases[] = {
        {"3.5 fails on XP", L"5.1", {0, 0, 1}, {{NET35, 1603}, {NET40, 0}}, prefix + v35, v35, 0, 0},
        {"3.5 cancelled on 7", L"6.1", {0, 1, 1}, {{NET35, 1223}}, prefix + v35, v35, 0, 0},
        {"3.5 missing on Vista", L"6.0", {0, 1, 1}, {{NET35, NOT_THERE}}, prefix + v35, v35, 0, 0},
        {"4 missing", L"6.0", {1, 0, 1}, {{NET40, NOT_THERE}}, prefix + v4, v4, 0, 0},
        {"4 fails", L"5.1", {1, 0, 1}, {{NET40, 1}}, prefix + v4, v4, 1, 0},
        {"4.5 fails after 3.5 succeeded", L"6.1", {0, 1, 0}, {{NET35, 0}, {NET45, 5100}}, prefix + v45, v45, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(c.osVersion, c.flags, c.exitCodes);
        vttest::MessageBoxWatcher watcher({CAPTION, GetCurrentProcessId()}, IDOK);

        EXPECT_FALSE(InstallDotNetBeforePackages(page, topPage));
        ASSERT_TRUE(watcher.Finish());
        EXPECT_EQ(watcher.Info().text, c.boxText);
        EXPECT_TRUE(watcher.Info().hasIcon);
        EXPECT_EQ(watcher.Info().owner, page);
        EXPECT_EQ(Runs(NET40), c.runs40);
        EXPECT_EQ(Runs(NET45), c.runs45);

        std::vector<vttest::LogEntry> entries = log.Entries();
        size_t errorAt = entries.size(), endAt = entries.size();
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].message == c.logLine) {
                errorAt = i;
                EXPECT_EQ(entries[i].level, L"EROR");
                EXPECT_EQ(entries[i].errorNumber, L"0");
            }
            if (entries[i].message == L"End  :CDownloadDlg::WindowProc") endAt = i;
        }
        EXPECT_LT(errorAt, endAt) << "error line, then the page's End line";
        EXPECT_LT(endAt, entries.size());
        EXPECT_FALSE(IsWindowVisible(page));
        EXPECT_EQ(theApp.m_nWizardStatus, 2);
        EXPECT_TRUE(CloseWasPosted());
    }
}

TEST_F(DotNetRedistributablesTest, AfterInstallRunsThe35LeftOverOnNewerWindowsWhateverItsOutcome) {
    struct Case {
        const char* name;
        const wchar_t* osVersion;
        BOOL dotNet35;
        DWORD exitCode;
        size_t runs;
    };
    const Case cases[] = {
        {"8 without 3.5", L"6.2", FALSE, 0, 1},     {"10 without 3.5, fails", L"10.0", FALSE, 1603, 1},
        {"10 with 3.5", L"10.0", TRUE, 0, 0},       {"7 without 3.5 (done before)", L"6.1", FALSE, 0, 0},
        {"XP without 3.5 (done before)", L"5.1", FALSE, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(c.osVersion, {c.dotNet35, 0, 0}, {{NET35, c.exitCode}, {NET40, 0}, {NET45, 0}});
        InstallDotNetAfterPackages();
        EXPECT_EQ(Runs(NET35), c.runs);
        EXPECT_EQ(Runs(NET40), 0u);
        EXPECT_EQ(Runs(NET45), 0u);
        EXPECT_EQ(theApp.m_nWizardStatus, 1);
    }
}

}  // namespace
