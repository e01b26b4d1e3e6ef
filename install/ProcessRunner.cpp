// Runs another program and, when asked, waits for it and judges its exit code.
#include <windows.h>

#include "app/VTInst.h"
#include "framework/StringFormat.h"
#include "install/ProcessLaunch.h"
#include "support/FileOps.h"
#include "support/Log.h"

namespace {

const DWORD EXIT_SUCCESS_CODE = 0;
const DWORD EXIT_REBOOT_REQUIRED = 3010;   // ERROR_SUCCESS_REBOOT_REQUIRED
const DWORD EXIT_CANCELLED_BY_USER = 1223;  // ERROR_CANCELLED

}  // namespace

BOOL CVTInstApp::RunEXEWaitEnd(const std::wstring& exeFile, const std::wstring& exeCmdLine, BOOL wait) {
    LOG_INFO(L"Start:CVTInstApp::RunEXEWaitEnd");
    LOG_INFO((L"CVTInstApp::RunEXEWaitEnd:strExeFile=" + exeFile).c_str());
    LOG_INFO((L"CVTInstApp::RunEXEWaitEnd:strExeCmdLine=" + exeCmdLine).c_str());
    if (!FileExists(exeFile)) {
        LOG_ERROR(L"Error:CVTInstApp::RunEXEWaitEnd:the value of [strExeFile] is not correct.");
        return FALSE;
    }

    StartedProcess process;
    if (!StartProgramAsInstaller(exeFile, exeCmdLine, WorkingFolderOf(exeFile), process)) return FALSE;
    if (!wait) {
        LOG_INFO(L"End  :CVTInstApp::RunEXEWaitEnd");
        return TRUE;
    }

    DWORD exitCode = 0;
    if (!process.WaitForExitCode(exitCode)) return FALSE;
    if (exitCode == EXIT_REBOOT_REQUIRED) m_bNeedReboot = TRUE;
    if (exitCode != EXIT_SUCCESS_CODE && exitCode != EXIT_REBOOT_REQUIRED) return FALSE;
    LOG_INFO(L"End  :CVTInstApp::RunEXEWaitEnd");
    return TRUE;
}

BOOL CVTInstApp::RunEXEWaitEndWithCurrentSession(const std::wstring& exeFile, const std::wstring& exeCmdLine,
                                                 BOOL wait, BOOL failOnExitCode) {
    LOG_INFO(L"Start:CVTInstApp::RunEXEWaitEndWithCurrentSession");
    LOG_INFO((L"CVTInstApp::RunEXEWaitEndWithCurrentSession:strExeFile=" + exeFile).c_str());
    LOG_INFO((L"CVTInstApp::RunEXEWaitEndWithCurrentSession:strExeCmdLine=" + exeCmdLine).c_str());
    // The program is named by the command line alone here, so its path is quoted: unquoted, a path
    // with blanks would let "C:\Program.exe" or the like start in its place.
    std::vector<wchar_t> commandLine = WritableCopy(L"\"" + exeFile + L"\" " + exeCmdLine);
    if (!FileExists(exeFile)) {
        LOG_ERROR(L"Error:CVTInstApp::RunEXEWaitEndWithCurrentSession:the value of [strExeFile] is not correct.");
        return FALSE;
    }

    const std::wstring workingFolder = WorkingFolderOf(exeFile);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    StartedProcess process;
    const BOOL started =
        CreateProcessAsShellUser(commandLine.data(), workingFolder.empty() ? nullptr : workingFolder.c_str(),
                                 &startup, process.Receive());
    if (started) process.ReleaseThread();
    if (!wait) {
        LOG_INFO(L"End  :CVTInstApp::RunEXEWaitEndWithCurrentSession");
        return started;
    }

    DWORD exitCode = 0;
    if (!started || !process.WaitForExitCode(exitCode)) return FALSE;
    if (exitCode != EXIT_SUCCESS_CODE && exitCode != EXIT_CANCELLED_BY_USER && exitCode != EXIT_REBOOT_REQUIRED) {
        VT_LOG(LOG_LEVEL_INFO, -1,
               fw::Format(L"Error:CVTInstApp::RunEXEWaitEndWithCurrentSession failed,errorcode = %d",
                          static_cast<int>(exitCode))
                   .c_str());
        if (failOnExitCode) return FALSE;
    }
    LOG_INFO(L"End  :CVTInstApp::RunEXEWaitEndWithCurrentSession");
    return TRUE;
}
