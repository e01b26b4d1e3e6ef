#include "catalogue/MonitorVersion.h"

#include <windows.h>

#include <vector>

#include "framework/StringFormat.h"
#include "support/Registry.h"

namespace {

const wchar_t MONITOR_APP_PATH_KEY[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZelVtMon.exe";

}  // namespace

std::wstring ReadFileVersionText(const std::wstring& path) {
    if (path.empty()) return std::wstring();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return std::wstring();
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::wstring();
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoLength = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoLength) || !info ||
        infoLength < sizeof(VS_FIXEDFILEINFO))
        return std::wstring();
    // The monitor's fourth part is a build counter that never decides compatibility.
    return fw::Format(L"%d.%d.%d.0", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                      HIWORD(info->dwFileVersionLS));
}

std::wstring ReadMonitorVersion() { return ReadFileVersionText(GetREGSZDataInfo(MONITOR_APP_PATH_KEY, L"")); }
