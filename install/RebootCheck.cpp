// Restart markers left by the family's setups while their installation waits for a restart.
#include "install/RebootCheck.h"

#include <windows.h>

#include "app/VTInst.h"
#include "support/Log.h"
#include "support/Registry.h"

bool RunOnceValueExists(const wchar_t* valueName) {
    HKEY key = nullptr;
    LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, RUN_ONCE_KEY, 0, KEY_READ | MACHINE_REGISTRY_VIEW, &key);
    if (opened == ERROR_FILE_NOT_FOUND) return false;
    if (opened != ERROR_SUCCESS) return true;
    wchar_t data[520];
    DWORD size = sizeof(data);
    LONG queried = RegQueryValueExW(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    // Only "not found" means absent: any other failure (a value too long, say) counts as pending.
    return queried != ERROR_FILE_NOT_FOUND;
}

bool RebootCheckKeyOpens(const wchar_t* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | MACHINE_REGISTRY_VIEW, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

BOOL CVTInstApp::CheckNeedReboot() {
    static const wchar_t* const kRunOnceNames[] = {L"Veltrona Install", L"Veltrona Integration Installer",
                                                   L"Veltrona Manual Install", L"Veltrona OCR LangPack Install"};
    for (const wchar_t* name : kRunOnceNames)
        if (RunOnceValueExists(name)) return TRUE;

    static const wchar_t* const kRebootCheckKeys[] = {
        REBOOTCHECK_MANAGER, REBOOTCHECK_MANUAL, REBOOTCHECK_OCRPACK, REBOOTCHECK_ONLINEUPDATE,
        REBOOTCHECK_HOME_OCRPACK};
    for (const wchar_t* keyPath : kRebootCheckKeys) {
        if (RebootCheckKeyOpens(keyPath)) {
            LOG_INFO(L"Info :CVTInstApp::CheckNeedReboot: Product is not completely installed,OS need restart.");
            LOG_INFO(L"End  :CVTInstApp::CheckNeedReboot");
            return TRUE;
        }
    }
    return FALSE;
}
