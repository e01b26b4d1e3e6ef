#include "catalogue/MonitorVersion.h"

#include <windows.h>

#include <vector>

#include "framework/StringFormat.h"
#include "framework/SystemLibrary.h"
#include "support/Registry.h"

namespace {

const wchar_t MONITOR_APP_PATH_KEY[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZelVtMon.exe";

}  // namespace

std::wstring ReadFileVersionText(const std::wstring& path) {
    if (path.empty()) return std::wstring();
    const fw::CSystemLibrary versionLibrary(L"version.dll");
    const auto getInfoSize = versionLibrary.Find<decltype(&GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
    const auto getInfo = versionLibrary.Find<decltype(&GetFileVersionInfoW)>("GetFileVersionInfoW");
    const auto queryValue = versionLibrary.Find<decltype(&VerQueryValueW)>("VerQueryValueW");
    if (!getInfoSize || !getInfo || !queryValue) return std::wstring();
    DWORD ignored = 0;
    const DWORD size = getInfoSize(path.c_str(), &ignored);
    if (size == 0) return std::wstring();
    std::vector<BYTE> data(size);
    if (!getInfo(path.c_str(), 0, size, data.data())) return std::wstring();
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoLength = 0;
    if (!queryValue(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoLength) || !info ||
        infoLength < sizeof(VS_FIXEDFILEINFO))
        return std::wstring();
    // The monitor's fourth part is a build counter that never decides compatibility.
    return fw::Format(L"%d.%d.%d.0", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                      HIWORD(info->dwFileVersionLS));
}

std::wstring ReadMonitorVersion() { return ReadFileVersionText(GetREGSZDataInfo(MONITOR_APP_PATH_KEY, L"")); }
