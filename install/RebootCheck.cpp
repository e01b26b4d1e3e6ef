// Restart markers left by the family's setups while their installation waits for a restart.
#include "install/RebootCheck.h"

#include <windows.h>

#include "app/VTInst.h"
#include "catalogue/ProductIds.h"
#include "catalogue/ProductKinds.h"
#include "catalogue/SoftMulti.h"
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

namespace {

// The RunOnce value whose presence says the record's setup waits for a restart, or null; TRUE in
// pending when one of its RebootCheck keys opens.
const wchar_t* RecordRestartMarker(const CUpdateInfo& record, bool& pending) {
    pending = false;
    const std::wstring& id = record.m_id;
    if (id == PRODUCT_MANAGER) {
        pending = RebootCheckKeyOpens(REBOOTCHECK_MANAGER);
        return L"Veltrona Install";
    }
    if (IsVeltronaManual(id)) {
        pending = RebootCheckKeyOpens(REBOOTCHECK_MANUAL);
        return L"Veltrona Manual Install";
    }
    if (id == PRODUCT_ONLINE_UPDATE) {
        pending = RebootCheckKeyOpens(REBOOTCHECK_ONLINEUPDATE);
        return nullptr;
    }
    const int langPack = OcrLangPackNumber(id);
    if (langPack == 0) return nullptr;
    pending = RebootCheckKeyOpens(REBOOTCHECK_OCRPACK);
    if (!pending && langPack >= 2 && record.m_subPackages) {
        for (const _SoftMulti& package : *record.m_subPackages) {
            if ((package.m_id == PRODUCT_HOME_OCR_LANGPACK2 || package.m_id == PRODUCT_HOME_OCR_LANGPACK3) &&
                RebootCheckKeyOpens(REBOOTCHECK_HOME_OCRPACK)) {
                pending = true;
                break;
            }
        }
    }
    return L"Veltrona OCR LangPack Install";
}

}  // namespace

bool InstallListNeedsRestart(const CUpdateInfoList& installList, BOOL restartRequested) {
    for (const CUpdateInfo& record : installList) {
        bool pending = false;
        const wchar_t* runOnceName = RecordRestartMarker(record, pending);
        if (pending) return true;
        if (runOnceName && RunOnceValueExists(runOnceName)) return true;
    }
    return restartRequested != FALSE;
}
