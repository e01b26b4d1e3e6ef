// Starts the family's online-update programs from their own install folder.
#include <windows.h>

#include "app/VTInst.h"
#include "install/ProcessLaunch.h"
#include "support/FileOps.h"
#include "support/Log.h"
#include "support/Registry.h"

void CVTInstApp::CallUpdaterModule(const std::wstring& exeCmdLine, const std::wstring& exeName) {
    LOG_INFO(L"Start:CVTInstApp::CallUpdaterModule");
    const std::wstring folder = GetREGSZDataInfo(L"SOFTWARE\\ZEL\\Veltrona Online Update", L"Path") + L"\\";
    const std::wstring exePath = folder + exeName;
    if (!FileExists(exePath)) {
        LOG_ERROR((L"Error:CVTInstApp::CallUpdaterModule:the value of [strExePath] is not correct.strExePath=" +
                   exePath)
                      .c_str());
        return;
    }
    // Nobody waits for the updater, and a failed start has nothing more to report: it is not looked at.
    StartedProcess process;
    StartProgramAsInstaller(exePath, exeCmdLine, folder, process);
    LOG_INFO(L"End  :CVTInstApp::CallUpdaterModule");
}
