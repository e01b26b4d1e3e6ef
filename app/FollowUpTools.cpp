// After the Manager was installed (or after the restart an installation asked for): the family's
// setup tools the configuration asks for, one after the other, then the online-update program.
#include "app/VTInst.h"

#include "StringIds.h"
#include "catalogue/ProcessList.h"
#include "catalogue/ProductIds.h"
#include "framework/StringFormat.h"
#include "support/FileOps.h"
#include "support/Log.h"
#include "support/MessageBox.h"
#include "support/Profile.h"
#include "support/Registry.h"
#include "support/SystemInfo.h"

namespace {

const wchar_t kManagerAppPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZelVtMon.exe";
const wchar_t kWirelessProcess[] = L"ZelVtWifiTool.exe";
const DWORD PROCESS_POLL_MS = 1000;

std::wstring ParameterText(const std::wstring& configured, const wchar_t* fallback) {
    return configured.empty() ? std::wstring(fallback) : fw::Format(L" %s", configured.c_str());
}

}  // namespace

std::wstring CVTInstApp::MonitorSettingsFile() const {
    return fw::Format(L"%s\\%s\\%s", GetCommonAppDataFolder(m_strOSVersion).c_str(), L"ZEL\\Veltrona\\Driver",
                      L"ZelVtMon.ini");
}

// On Windows XP the tools start as the installer and their outcome is not examined; elsewhere they
// start as the desktop's user, and the result tells whether the tool succeeded.
BOOL CVTInstApp::LaunchFollowUpTool(const std::wstring& program, const std::wstring& parameters, BOOL wait,
                                    BOOL checkExitCode) {
    if (m_strOSVersion == L"5.1") {
        RunEXEWaitEnd(program, parameters, wait);
        return TRUE;
    }
    return RunEXEWaitEndWithCurrentSession(program, parameters, wait, checkExitCode);
}

void CVTInstApp::RunFollowUpTools() {
    if (m_bLaunchTools && !RunFamilyTools()) return;
    StartUpdaterAfterTools();
}

// FALSE when a tool failed: the user was told to start the Manager by hand and the updater stays off.
BOOL CVTInstApp::RunFamilyTools() {
    std::wstring manager = GetREGSZDataInfo(kManagerAppPath, L"Path");
    if (manager.empty()) {
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: Manager's install path is empty.");
        return TRUE;
    }
    if (manager.back() == L'\\') manager.pop_back();
    const UPDATECOMMONINFO& tools = m_updateCommonInfo;

    m_strMonIni = MonitorSettingsFile();
    if (!WriteProfileStringWithRetry(L"Recognize", L"SkipFirmwareUpdate", L"1", m_strMonIni))
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: save key[SkipFirmwareUpdate] is failed.");

    BOOL connectionOk = TRUE, wirelessOk = TRUE, connection2Ok = TRUE, trayOk = TRUE;
    const std::wstring wizard = fw::Format(L"%s\\%s", manager.c_str(), L"VtWizard\\ZelVtConnectionWizard.exe");
    if (tools.CallWizardConnect == 1) {
        const std::wstring parameters = ParameterText(tools.CallWizardConnectParam, L" /VTType");
        if (!LaunchFollowUpTool(wizard, parameters, TRUE, TRUE)) {
            connectionOk = FALSE;
            LOG_ERROR((L"Error:CVTInstApp::InitInstance: Manager(ZelVtConnectionWizard.exe) start failed. " + parameters)
                          .c_str());
        }
    }
    RunFirmwareUpdateTool(manager);

    LOG_INFO(fw::Format(L"Get:theApp.m_updateCommonInfo.CallWifiTool = %d", tools.CallWifiTool).c_str());
    if (tools.CallWifiTool == 1) {
        const std::wstring program = fw::Format(L"%s\\%s", manager.c_str(), L"VtWifiTool\\ZelVtWiFiToolStart.exe");
        if (!LaunchFollowUpTool(program, ParameterText(tools.CallWifiParam, L" /s"), TRUE, TRUE)) {
            wirelessOk = FALSE;
            LOG_ERROR(L"Error:CVTInstApp::InitInstance: Manager(ZelVtWiFiToolStart.exe) start failed");
        }
        // The starter hands over to the wireless tool itself, which runs on.
        while (IsProcessRunning(kWirelessProcess)) Sleep(PROCESS_POLL_MS);
    }
    if (tools.CallWizardConnect2 == 1 &&
        !LaunchFollowUpTool(wizard, ParameterText(tools.CallWizardConnectParam2, L" /ini"), TRUE, FALSE)) {
        connection2Ok = FALSE;
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: Manager(ZelVtWiFiToolStart.exe /ini) start failed");
    }
    if (tools.CallVTFolerTray == 1) {
        const std::wstring parent = manager.substr(0, manager.rfind(L'\\'));
        const std::wstring program = fw::Format(L"%s\\%s", parent.c_str(), L"VTFolder\\VTFolderTray.exe");
        if (!LaunchFollowUpTool(program, ParameterText(tools.CallVTFolerTrayParam, L" /e /u"), FALSE, TRUE)) {
            trayOk = FALSE;
            LOG_ERROR(L"Error:CVTInstApp::InitInstance: Manager(VTFolderTray.exe) start failed");
        }
    }

    if (!WriteProfileStringWithRetry(L"CONFIG_C", L"Skip", L"", m_strMonIni))
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: save key[Skip] is failed.");
    if (!WriteProfileStringWithRetry(L"Recognize", L"SkipFirmwareUpdate", L"", m_strMonIni))
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: save key[SkipFirmwareUpdate] is failed.");

    if (connectionOk && wirelessOk && connection2Ok && trayOk) return TRUE;
    ShowMessageBox(nullptr, IDS_CAPTION, IDS_START_MANAGER_FROM_MENU, MB_ICONINFORMATION, OpenHelpContext, 0, 0, L"",
                   L"");
    DeleteFileWithRetry(fw::Format(L"%s\\%s\\%s\\%s", GetCommonAppDataFolder(m_strOSVersion).c_str(), L"ZEL\\Veltrona",
                                   L"Veltrona Online Update", L"vtinst.ini"));
    return FALSE;
}

// Only when the configuration and the firmware settings both ask for it; its outcome counts for nothing.
void CVTInstApp::RunFirmwareUpdateTool(const std::wstring& manager) {
    try {
        if (m_updateCommonInfo.CallFirmUpdate != 1) return;
        const std::wstring settings = fw::Format(L"%s\\%s\\%s", GetCommonAppDataFolder(m_strOSVersion).c_str(),
                                                 L"ZEL\\Veltrona\\Driver\\VtWizard", L"ZelVtFirmwareUpdate.ini");
        if (ReadProfileInt(L"Install", L"FirmUpdatekR7100", settings, -1) != 1) return;
        const std::wstring parameters = ParameterText(m_updateCommonInfo.CallFirmUpdateParam, L" /VTType16");
        const std::wstring program = fw::Format(L"%s\\%s", manager.c_str(), L"VtWizard\\ZelVtFirmwareUpdate.exe");
        if (!LaunchFollowUpTool(program, parameters, TRUE, FALSE))
            LOG_ERROR((L"Error:CVTInstApp::InitInstance: Manager(ZelVtFirmwareUpdate.exe) start failed. " + parameters)
                          .c_str());
    } catch (...) {
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: call ZelVtFirmwareUpdate.exe exception failed.");
    }
}

// The online-update tool updated in this run starts its watcher; otherwise the updater runs.
void CVTInstApp::StartUpdaterAfterTools() {
    for (const CUpdateInfo& record : m_updateList) {
        if (record.m_id == PRODUCT_ONLINE_UPDATE) {
            CallUpdaterModule(L"", L"VtUWatcher.exe");
            return;
        }
    }
    CallUpdaterModule(L"", L"VeltronaUpdater.exe");
}
