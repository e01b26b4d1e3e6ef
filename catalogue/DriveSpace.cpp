#include "catalogue/DriveSpace.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>

namespace {

const int DOTNET35_MB = 500;
const int DOTNET4_X86_MB = 850;
const int DOTNET4_OTHER_MB = 2048;

}  // namespace

CDriveInfoList BuildDriveList() {
    CDriveInfoList drives;
    const DWORD length = GetLogicalDriveStringsW(0, nullptr);
    if (length == 0) return drives;
    std::wstring roots(length + 1, L'\0');
    if (GetLogicalDriveStringsW(length, &roots[0]) == 0) return drives;
    for (const wchar_t* root = roots.c_str(); *root; root += wcslen(root) + 1) {
        if (GetDriveTypeW(root) != DRIVE_FIXED) continue;
        DRIVERINFO drive;
        drive.m_driveName = std::wstring(root).substr(0, 2);
        drives.push_back(drive);
    }
    return drives;
}

// Drive letters name the same drive in either case; a folder typed as "c:\..." must count
// against drive "C:" like any other.
void AddToDrive(CDriveInfoList& drives, const std::wstring& drive, int64_t bytes) {
    if (bytes < 0 || drive.empty()) return;
    for (DRIVERINFO& entry : drives) {
        if (_wcsicmp(entry.m_driveName.c_str(), drive.c_str()) == 0) {
            entry.m_neededBytes += static_cast<uint64_t>(bytes);
            return;
        }
    }
}

std::wstring DriveOfPath(const std::wstring& path) {
    wchar_t drive[_MAX_DRIVE] = {};
    if (path.empty() || path.size() >= _MAX_PATH) return std::wstring();
    _wsplitpath(path.c_str(), drive, nullptr, nullptr, nullptr);  // fits: the path is shorter than _MAX_PATH
    return drive;
}

int DotNetAllowanceMB(bool has35, bool has40, bool has45, bool x86System) {
    const int perFramework4 = x86System ? DOTNET4_X86_MB : DOTNET4_OTHER_MB;
    int allowance = 0;
    if (!has35) allowance += DOTNET35_MB;
    if (!has40) allowance += perFramework4;
    if (!has45) allowance += perFramework4;
    return allowance;
}
