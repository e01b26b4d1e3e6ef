// Detection of the .NET Framework versions the main application needs, from their setup keys.
#include <windows.h>

#include "app/VTInst.h"
#include "framework/StringFormat.h"
#include "support/Log.h"
#include "support/Registry.h"

namespace {

const wchar_t NDP35_KEY[] = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v3.5";
const wchar_t NDP4_FULL_KEY[] = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full";

}  // namespace

int CVTInstApp::GetREGDwordDataInfo(const std::wstring& keyPath, const std::wstring& valueName) {
    LOG_INFO(L"Start:CVTInstApp::GetREGDwordDataInfo");
    DWORD value = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | MACHINE_REGISTRY_VIEW, &key) == ERROR_SUCCESS) {
        DWORD type = REG_NONE;
        DWORD data = 0;
        DWORD size = sizeof(data);
        // A value of another type (a text "1", say) is no answer: its raw bytes would read as some number.
        if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof(data))
            value = data;
        RegCloseKey(key);
    }
    LOG_INFO(L"End  :CVTInstApp::GetREGDwordDataInfo");
    return static_cast<int>(value);
}

BOOL CVTInstApp::CheckDotNetFramework3_5Install() {
    LOG_INFO(L"Start:CVTInstApp::CheckDotNetFramework3_5Install");
    if (GetREGDwordDataInfo(NDP35_KEY, L"Install") != 1) {
        LOG_WARNING(-1, L"Warning:CVTInstApp::CheckDotNetFramework3_5Install:Not Installed");
        return FALSE;
    }
    if (GetREGDwordDataInfo(NDP35_KEY, L"SP") < 1) {
        LOG_WARNING(-1, L"Warning:CVTInstApp::CheckDotNetFramework3_5Install:SP Version is too low");
        return FALSE;
    }
    LOG_INFO(L"End  :CVTInstApp::CheckDotNetFramework3_5Install");
    return TRUE;
}

BOOL CVTInstApp::CheckDotNetFramework4_0Install() {
    LOG_INFO(L"Start:CVTInstApp::CheckDotNetFramework4_0Install");
    const int install = GetREGDwordDataInfo(NDP4_FULL_KEY, L"Install");
    VT_LOG(LOG_LEVEL_INFO, -1,
           fw::Format(L"Get  :CVTInstApp::CheckDotNetFramework4_0Install:GetREGDwordDataInfo = %d", install).c_str());
    if (install > 0) {
        LOG_INFO(L"End  :CVTInstApp::CheckDotNetFramework4_0Install");
        return TRUE;
    }
    LOG_WARNING(-1, L"Warning:CVTInstApp::CheckDotNetFramework4_0Install:Not Installed");
    return FALSE;
}

BOOL CVTInstApp::CheckDotNetFramework4_5Install() {
    LOG_INFO(L"Start:CVTInstApp::CheckDotNetFramework4_5Install");
    const int release = GetREGDwordDataInfo(NDP4_FULL_KEY, L"Release");
    VT_LOG(LOG_LEVEL_INFO, -1,
           fw::Format(L"Get  :CVTInstApp::CheckDotNetFramework4_5Install:GetREGDwordDataInfo = %d", release).c_str());
    if (release > 0) {
        LOG_INFO(L"End  :CVTInstApp::CheckDotNetFramework4_5Install");
        return TRUE;
    }
    LOG_WARNING(-1, L"Warning:CVTInstApp::CheckDotNetFramework4_5Install:Not Installed");
    return FALSE;
}
