// Whether every fixed drive has room for the downloads, the installs and the missing .NET
// Frameworks of the selection, with a margin.
#include "app/VTInst.h"
#include "catalogue/DriveSpace.h"
#include "catalogue/ProductKinds.h"
#include "framework/StringFormat.h"
#include "support/Log.h"
#include "support/Registry.h"

namespace {

const uint64_t MEGABYTE = 1048576;
const uint64_t FREE_SPACE_MARGIN = 50 * MEGABYTE;
const wchar_t MANUAL_KEY[] = L"SOFTWARE\\ZEL\\Veltrona Manual";

bool IsX86System() {
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL;
}

std::wstring WindowsDrive() {
    wchar_t folder[MAX_PATH] = {};
    if (GetWindowsDirectoryW(folder, MAX_PATH) == 0) return std::wstring();
    return DriveOfPath(folder);
}

// A drive whose free space cannot be read counts as full.
uint64_t FreeBytes(const std::wstring& drive) {
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExW((drive + L"\\").c_str(), &available, nullptr, nullptr)) return 0;
    return available.QuadPart;
}

}  // namespace

BOOL CVTInstApp::CheckDiskSpaceEnough(const std::wstring& folder) {
    LOG_INFO(L"Start:CVTInstApp::CheckDiskSpaceEnough");
    CDriveInfoList drives = BuildDriveList();
    const std::wstring downloadDrive = DriveOfPath(m_strSavePath);
    // Without a chosen folder, new installs other than manuals are counted nowhere.
    const std::wstring installDrive = folder.empty() ? std::wstring() : DriveOfPath(folder);

    for (const CUpdateInfo& record : m_updateList) {
        AddToDrive(drives, downloadDrive, record.m_size);
        if (!record.m_installedPath.empty()) {
            AddToDrive(drives, DriveOfPath(record.m_installedPath), record.m_installSize);
        } else if (IsVeltronaManual(record.m_id)) {
            const std::wstring manualFolder = GetREGSZDataInfo(MANUAL_KEY, L"InstallPath");
            AddToDrive(drives, manualFolder.empty() ? installDrive : DriveOfPath(manualFolder), record.m_installSize);
        } else {
            AddToDrive(drives, installDrive, record.m_installSize);
        }
    }

    m_dotNetSpaceMB = 0;
    if (!m_bDotNet35 || !m_bDotNet40 || !m_bDotNet45) {
        m_dotNetSpaceMB = DotNetAllowanceMB(m_bDotNet35 != FALSE, m_bDotNet40 != FALSE, m_bDotNet45 != FALSE,
                                            IsX86System());
        AddToDrive(drives, WindowsDrive(), static_cast<int64_t>(m_dotNetSpaceMB) * static_cast<int64_t>(MEGABYTE));
    }

    for (const DRIVERINFO& drive : drives) {
        if (drive.m_neededBytes == 0) continue;
        if (drive.m_neededBytes + FREE_SPACE_MARGIN > FreeBytes(drive.m_driveName)) {
            LOG_ERROR(fw::Format(L"Error:CVTInstApp::CheckDiskSpaceEnough: The disk(%s) do not have enough space.",
                                 drive.m_driveName.c_str())
                          .c_str());
            LOG_INFO(L"End  :CVTInstApp::CheckDiskSpaceEnough");
            return FALSE;
        }
    }
    LOG_INFO(L"End  :CVTInstApp::CheckDiskSpaceEnough");
    return TRUE;
}
