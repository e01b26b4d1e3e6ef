// Bytes needed per fixed drive, for the disk-space check.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DRIVERINFO {
    std::wstring m_driveName;  // "C:"
    uint64_t m_neededBytes = 0;
};

using CDriveInfoList = std::vector<DRIVERINFO>;

// One entry per fixed drive, in the system's order, each needing 0 bytes.
CDriveInfoList BuildDriveList();

// Adds the bytes to the entry of that drive ("C:"; the letter in any case). A drive that is not in
// the list (not fixed, or no drive at all) receives nothing, and neither do negative byte counts.
void AddToDrive(CDriveInfoList& drives, const std::wstring& drive, int64_t bytes);

// Drive part of a path ("C:" of "C:\\x"), empty when it has none.
std::wstring DriveOfPath(const std::wstring& path);

// Megabytes to keep free for the missing .NET Frameworks: 500 for 3.5; for 4 and again for 4.5,
// 850 on an x86 system, 2048 on any other.
int DotNetAllowanceMB(bool has35, bool has40, bool has45, bool x86System);
