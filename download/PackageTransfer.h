// What both package transfers share: the expected size from the page's list, the page's pause and
// the per-block reports to the page.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

class CDownloadDlg;

// The authorization line for item itemIndex of the page's list (an item the list does not hold is
// fetched as an ordinary record); TRUE when header holds a line to add.
bool ChooseHeaderForItem(CDownloadDlg* page, int itemIndex, int subPackage, std::wstring& header);

// The sub-package's size for a bundle record, else the record's own; 0 for an item the page's list
// does not hold.
int64_t ExpectedPackageSize(CDownloadDlg* page, int itemIndex, int subPackage);

// After a block is written: a progress message with the bytes on disk, or, while the page's pause
// flag is set, a wait (polled every second) without one.
void ReportBlock(CDownloadDlg* page, uint32_t bytesOnDisk, int itemIndex);
void ReportFileDone(CDownloadDlg* page, uint32_t bytesOnDisk, int itemIndex);

// A write refused because the drive has no room left: the user is told the disk is full (2), not
// that the download failed, whether the free-space test before the transfer saw it coming or not.
inline bool IsDiskFullError(DWORD error) { return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL; }

// The drive part of a path ("C:"), or the path's root for a share; what the free-space test asks.
std::wstring FreeSpaceLocation(const std::wstring& path);
