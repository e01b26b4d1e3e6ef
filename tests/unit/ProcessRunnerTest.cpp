// The three ways the installer starts other programs, against the stand-in program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/VTInst.h"
#include "install/ShellSession.h"
#include "tests/support/LogFile.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/ScopedTempFolder.h"
#include "tests/support/StandInTool.h"

using vttest::LogFile;
using vttest::ScopedTempFolder;
using vttest::StandInRun;

namespace {

const wchar_t UPDATE_KEY[] = L"SOFTWARE\\ZEL\\Veltrona Online Update";
const wchar_t RUN_ERROR[] = L"Error:CVTInstApp::RunEXEWaitEnd:the value of [strExeFile] is not correct.";
const wchar_t SESSION_ERROR[] =
    L"Error:CVTInstApp::RunEXEWaitEndWithCurrentSession:the value of [strExeFile] is not correct.";

std::wstring WithoutTrailingBackslash(std::wstring folder) {
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

// True once no handle keeps the ended process's object alive, i.e. whoever started it closed theirs.
bool ProcessObjectGone(DWORD processId, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
        if (!process) return true;
        CloseHandle(process);
        if (GetTickCount64() >= deadline) return false;
        Sleep(50);
    }
}

// A window of this process stands in for the desktop shell's window, so the shell-token launch can
// be followed to its end under Wine, which has no shell window.
class ShellStandIn {
public:
    ShellStandIn() {
        s_window = CreateWindowExW(0, L"STATIC", L"shell", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        Use(AdminAnswer, WindowAnswer);
    }
    ~ShellStandIn() {
        ReplaceShellSessionQueries(nullptr);
        if (s_window) DestroyWindow(s_window);
        s_window = nullptr;
        s_admin = TRUE;
    }
    static void Use(BOOL (*admin)(), HWND (*window)()) {
        static ShellSessionQueries queries;
        queries = {admin, window};
        ReplaceShellSessionQueries(&queries);
    }
    static BOOL AdminAnswer() { return s_admin; }
    static HWND WindowAnswer() { return s_window; }
    static HWND s_window;
    static BOOL s_admin;
};
HWND ShellStandIn::s_window = nullptr;
BOOL ShellStandIn::s_admin = TRUE;

class ProcessRunnerTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    LogFile log = LogFile::InFolder(temp.Path());
    std::wstring tool = temp.File(L"VtTool.exe");

    void SetUp() override {
        theApp.m_bNeedReboot = FALSE;
        ASSERT_TRUE(vttest::InstallStandIn(tool, 0));
    }
    void TearDown() override { theApp.m_bNeedReboot = FALSE; }

    StandInRun OnlyRun(const std::wstring& program) {
        std::vector<StandInRun> runs = vttest::StandInRuns(program);
        EXPECT_EQ(runs.size(), 1u);
        return runs.empty() ? StandInRun() : runs[0];
    }
};

// ---------------------------------------------------------------------------------------------
// Started as the installer.

TEST_F(ProcessRunnerTest, RunEXEWaitEndJudgesTheExitCode) {
    struct Case {
        DWORD exitCode;
        BOOL result;
        BOOL needReboot;
    };
    const Case cases[] = {{0, TRUE, FALSE}, {3010, TRUE, TRUE}, {1223, FALSE, FALSE}, {1, FALSE, FALSE},
                          {1603, FALSE, FALSE}, {3011, FALSE, FALSE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exitCode);
        theApp.m_bNeedReboot = FALSE;
        DeleteFileW(log.Path().c_str());
        vttest::SetStandInExitCode(tool, c.exitCode);

        EXPECT_EQ(theApp.RunEXEWaitEnd(tool, L" /qb /norestart", TRUE), c.result);
        EXPECT_EQ(theApp.m_bNeedReboot, c.needReboot);
        EXPECT_TRUE(log.Contains(L"Start:CVTInstApp::RunEXEWaitEnd"));
        EXPECT_TRUE(log.Contains(L"CVTInstApp::RunEXEWaitEnd:strExeFile=" + tool));
        EXPECT_TRUE(log.Contains(L"CVTInstApp::RunEXEWaitEnd:strExeCmdLine= /qb /norestart"));
        EXPECT_EQ(log.Contains(L"End  :CVTInstApp::RunEXEWaitEnd"), c.result == TRUE);
    }
    EXPECT_EQ(vttest::StandInRuns(tool).size(), 6u);
}

TEST_F(ProcessRunnerTest, RunEXEWaitEndPassesTheCommandLineAsGivenAndStartsInTheProgramsFolder) {
    ASSERT_TRUE(theApp.RunEXEWaitEnd(tool, L" /passive /norestart", TRUE));
    StandInRun run = OnlyRun(tool);
    EXPECT_EQ(run.commandLine, L" /passive /norestart");
    EXPECT_EQ(WithoutTrailingBackslash(run.directory), temp.Path());
    EXPECT_TRUE(ProcessObjectGone(run.processId, 5000)) << "process handle left open";
}

TEST_F(ProcessRunnerTest, RunEXEWaitEndWithoutWaitingReportsTheStartOnly) {
    vttest::SetStandInExitCode(tool, 1603);
    EXPECT_TRUE(theApp.RunEXEWaitEnd(tool, L" -x", FALSE));
    EXPECT_TRUE(log.Contains(L"End  :CVTInstApp::RunEXEWaitEnd"));
    ASSERT_TRUE(vttest::WaitForStandInRuns(tool, 1, 10000));
    EXPECT_TRUE(ProcessObjectGone(OnlyRun(tool).processId, 10000)) << "process handle left open";
}

TEST_F(ProcessRunnerTest, MissingProgramIsRefusedByEveryWayOfStarting) {
    ShellStandIn shell;
    struct Case {
        const char* name;
        std::wstring path;
    };
    const Case cases[] = {{"missing file", temp.File(L"NoSuch.exe")},
                          {"missing folder", temp.File(L"NoSuchFolder\\VtTool.exe")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(log.Path().c_str());
        EXPECT_FALSE(theApp.RunEXEWaitEnd(c.path, L"", TRUE));
        EXPECT_FALSE(theApp.RunEXEWaitEnd(c.path, L"", FALSE));
        EXPECT_FALSE(theApp.RunEXEWaitEndWithCurrentSession(c.path, L"", TRUE, FALSE));
        EXPECT_FALSE(theApp.RunEXEWaitEndWithCurrentSession(c.path, L"", FALSE, FALSE));
        EXPECT_EQ(log.Count(RUN_ERROR), 2u);
        EXPECT_EQ(log.Count(SESSION_ERROR), 2u);
        EXPECT_FALSE(log.Contains(L"End  :CVTInstApp::RunEXEWaitEnd"));
        EXPECT_FALSE(log.Contains(L"End  :CVTInstApp::RunEXEWaitEndWithCurrentSession"));
    }
}

// A program that is there but cannot be opened for reading right now still gets its launch: the
// existence test only rules out "not found".
TEST_F(ProcessRunnerTest, LockedProgramIsStillLaunched) {
    {
        // Held open by another program (a setup about to replace it, say).
        HANDLE holder = CreateFileW(tool.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(theApp.RunEXEWaitEnd(tool, L" -locked", TRUE));
        CloseHandle(holder);
        EXPECT_EQ(OnlyRun(tool).commandLine, L" -locked");
        EXPECT_FALSE(log.Contains(RUN_ERROR));
    }
    {
        // Opened without any sharing, so even the existence test cannot open it: the launch is tried
        // (and fails), and the program is not called missing.
        HANDLE holder = CreateFileW(tool.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        vttest::RegistryFixture registry;
        ASSERT_TRUE(registry.SetString(UPDATE_KEY, L"Path", temp.Path()));
        EXPECT_FALSE(theApp.RunEXEWaitEnd(tool, L" -exclusive", TRUE));
        EXPECT_FALSE(theApp.RunEXEWaitEndWithCurrentSession(tool, L"-exclusive", TRUE, TRUE));
        theApp.CallUpdaterModule(L" -exclusive", L"VtTool.exe");
        CloseHandle(holder);
        EXPECT_FALSE(log.Contains(RUN_ERROR));
        EXPECT_FALSE(log.Contains(SESSION_ERROR));
        EXPECT_TRUE(log.Contains(L"End  :CVTInstApp::CallUpdaterModule"));
        EXPECT_EQ(vttest::StandInRuns(tool).size(), 1u);
    }
}

// ---------------------------------------------------------------------------------------------
// Started with the desktop shell's token.

TEST_F(ProcessRunnerTest, ShellTokenLaunchRefusesWithoutShellWindowAdminRightsOrShellProcess) {
    struct Case {
        const char* name;
        BOOL (*admin)();
        HWND (*window)();
    };
    // Wine has no shell window: the system's own answers make the first case real.
    const Case cases[] = {
        {"no shell window (system)", nullptr, nullptr},
        {"not elevated", [] { return FALSE; }, ShellStandIn::WindowAnswer},
        {"shell window already gone", [] { return TRUE; }, [] { return reinterpret_cast<HWND>(0x7ff0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShellStandIn shell;
        if (c.admin)
            ShellStandIn::Use(c.admin, c.window);
        else
            ReplaceShellSessionQueries(nullptr);
        DeleteFileW(log.Path().c_str());

        EXPECT_FALSE(theApp.RunEXEWaitEndWithCurrentSession(tool, L"-a", TRUE, FALSE));
        EXPECT_FALSE(theApp.RunEXEWaitEndWithCurrentSession(tool, L"-a", FALSE, FALSE));
        // Without waiting the call ends normally; waiting for a process that never started does not.
        EXPECT_EQ(log.Count(L"End  :CVTInstApp::RunEXEWaitEndWithCurrentSession"), 1u);
        EXPECT_FALSE(log.Contains(SESSION_ERROR));

        std::wstring commandLine = L"\"" + tool + L"\"";
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION info = {};
        EXPECT_FALSE(theApp.CreateProcessAsShellUser(&commandLine[0], nullptr, &startup, &info));
        EXPECT_EQ(info.hProcess, nullptr);
    }
    Sleep(300);
    EXPECT_TRUE(vttest::StandInRuns(tool).empty());
}

TEST_F(ProcessRunnerTest, ShellTokenLaunchJudgesTheExitCode) {
    ShellStandIn shell;
    ASSERT_NE(ShellStandIn::s_window, nullptr);
    struct Case {
        DWORD exitCode;
        BOOL failOnExitCode;
        BOOL result;
        bool errorLine;
    };
    const Case cases[] = {{0, TRUE, TRUE, false},    {1223, TRUE, TRUE, false}, {3010, TRUE, TRUE, false},
                          {1, TRUE, FALSE, true},    {1, FALSE, TRUE, true},    {1603, TRUE, FALSE, true},
                          {1603, FALSE, TRUE, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.exitCode << (c.failOnExitCode ? " failing" : " tolerant"));
        DeleteFileW(log.Path().c_str());
        vttest::SetStandInExitCode(tool, c.exitCode);

        EXPECT_EQ(theApp.RunEXEWaitEndWithCurrentSession(tool, L"-Setup", TRUE, c.failOnExitCode), c.result);
        // The reboot request of a tool started this way is not the installer's.
        EXPECT_FALSE(theApp.m_bNeedReboot);
        EXPECT_TRUE(log.Contains(L"CVTInstApp::RunEXEWaitEndWithCurrentSession:strExeFile=" + tool));
        EXPECT_TRUE(log.Contains(L"CVTInstApp::RunEXEWaitEndWithCurrentSession:strExeCmdLine=-Setup"));
        const std::wstring errorLine =
            L"Error:CVTInstApp::RunEXEWaitEndWithCurrentSession failed,errorcode = " + std::to_wstring(c.exitCode);
        EXPECT_EQ(log.Contains(errorLine), c.errorLine);
        // Logged as information: with the tolerant flag the run goes on as a success.
        for (const vttest::LogEntry& entry : log.Entries()) {
            if (entry.message == errorLine) {
                EXPECT_EQ(entry.level + L" " + entry.errorNumber, L"INFO -1");
            }
        }
        EXPECT_EQ(log.Contains(L"End  :CVTInstApp::RunEXEWaitEndWithCurrentSession"), c.result == TRUE);
    }
    std::vector<StandInRun> runs = vttest::StandInRuns(tool);
    ASSERT_EQ(runs.size(), 7u);
    EXPECT_EQ(runs[0].commandLine, L"\"" + tool + L"\" -Setup");
    EXPECT_EQ(WithoutTrailingBackslash(runs[0].directory), temp.Path());
    EXPECT_TRUE(ProcessObjectGone(runs[0].processId, 5000)) << "process handle left open";
}

TEST_F(ProcessRunnerTest, ShellTokenLaunchWithoutWaitingReportsTheStart) {
    ShellStandIn shell;
    vttest::SetStandInExitCode(tool, 1603);
    EXPECT_TRUE(theApp.RunEXEWaitEndWithCurrentSession(tool, L"", FALSE, TRUE));
    EXPECT_TRUE(log.Contains(L"End  :CVTInstApp::RunEXEWaitEndWithCurrentSession"));
    ASSERT_TRUE(vttest::WaitForStandInRuns(tool, 1, 10000));
    EXPECT_TRUE(ProcessObjectGone(OnlyRun(tool).processId, 10000)) << "process handle left open";
}

// Named only by the command line, a path with blanks must be quoted, or "<folder>\Veltrona.exe"
// would be started for "<folder>\Veltrona Tools\Tool Setup.exe".
TEST_F(ProcessRunnerTest, ShellTokenLaunchQuotesAPathWithBlanks) {
    ShellStandIn shell;
    const std::wstring folder = temp.File(L"Veltrona Tools");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring program = folder + L"\\Tool Setup.exe";
    const std::wstring decoys[] = {temp.File(L"Veltrona.exe"), folder + L"\\Tool.exe"};
    ASSERT_TRUE(vttest::InstallStandIn(program, 0));
    for (const std::wstring& decoy : decoys) ASSERT_TRUE(vttest::InstallStandIn(decoy, 0));

    EXPECT_TRUE(theApp.RunEXEWaitEndWithCurrentSession(program, L"-Setup", TRUE, TRUE));
    for (const std::wstring& decoy : decoys) EXPECT_TRUE(vttest::StandInRuns(decoy).empty()) << "decoy ran";
    StandInRun run = OnlyRun(program);
    EXPECT_EQ(run.commandLine, L"\"" + program + L"\" -Setup");
    EXPECT_EQ(WithoutTrailingBackslash(run.directory), folder);
}

// ---------------------------------------------------------------------------------------------
// The online-update tool, from the folder its own setup registered.

TEST_F(ProcessRunnerTest, CallUpdaterModuleStartsTheUpdaterFromItsRegisteredFolder) {
    const std::wstring updater = temp.File(L"VeltronaUpdater.exe");
    ASSERT_TRUE(vttest::InstallStandIn(updater, 0));
    vttest::RegistryFixture registry;
    ASSERT_TRUE(registry.SetString(UPDATE_KEY, L"Path", temp.Path()));

    theApp.CallUpdaterModule(L" -Install", L"VeltronaUpdater.exe");
    EXPECT_TRUE(log.Contains(L"Start:CVTInstApp::CallUpdaterModule"));
    EXPECT_TRUE(log.Contains(L"End  :CVTInstApp::CallUpdaterModule"));
    ASSERT_TRUE(vttest::WaitForStandInRuns(updater, 1, 10000));
    StandInRun run = OnlyRun(updater);
    EXPECT_EQ(run.commandLine, L" -Install");
    EXPECT_EQ(WithoutTrailingBackslash(run.directory), temp.Path());
    EXPECT_TRUE(ProcessObjectGone(run.processId, 10000)) << "process handle left open";
}

TEST_F(ProcessRunnerTest, CallUpdaterModuleLogsAMissingUpdaterWithItsPath) {
    vttest::RegistryFixture registry;
    ASSERT_TRUE(registry.SetString(UPDATE_KEY, L"Path", temp.Path()));
    theApp.CallUpdaterModule(L"", L"VtUWatcher.exe");
    EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::CallUpdaterModule:the value of [strExePath] is not "
                             L"correct.strExePath=" +
                             temp.File(L"VtUWatcher.exe")));
    EXPECT_FALSE(log.Contains(L"End  :CVTInstApp::CallUpdaterModule"));
}

}  // namespace
