#include "support/SystemInfo.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/StringFormat.h"

namespace {

const DWORD PATH_CAPACITY = 260;
const int COMMON_APPDATA_FOLDER_ID = 35;  // CSIDL_COMMON_APPDATA

}  // namespace

void QueryOSVersion(std::wstring& version, std::wstring& servicePack) {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
        version = L"-1";
        servicePack = L"-1";
        return;
    }
    version = fw::Format(L"%d.%d", static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion));
    servicePack = fw::Format(L"%d", static_cast<int>(info.wServicePackMajor));
}

std::wstring GetProgramFolder() {
    wchar_t path[PATH_CAPACITY] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, PATH_CAPACITY);
    if (length == 0 || length >= PATH_CAPACITY) return std::wstring();
    std::wstring folder(path, length);
    size_t backslash = folder.rfind(L'\\');
    if (backslash == std::wstring::npos) return std::wstring();
    folder.resize(backslash);
    return folder;
}

std::wstring GetCommonAppDataFolder(const std::wstring& osVersion) {
    wchar_t folder[PATH_CAPACITY] = {};
    if (osVersion == L"5.1") {
        // Windows XP has no PROGRAMDATA variable.
        if (FAILED(SHGetFolderPathW(nullptr, COMMON_APPDATA_FOLDER_ID, nullptr, 0, folder))) return std::wstring();
        return folder;
    }
    DWORD length = GetEnvironmentVariableW(L"PROGRAMDATA", folder, PATH_CAPACITY);
    if (length == 0 || length >= PATH_CAPACITY) return std::wstring();
    return std::wstring(folder, length);
}

std::wstring LastErrorText() { return fw::Format(L"%d", static_cast<int>(GetLastError())); }
