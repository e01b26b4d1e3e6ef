#include "tests/support/ScratchDrive.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

namespace vttest {

namespace {

// Wine's own mount manager request: a drive letter for a folder of the host.
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
const DWORD DEFINE_UNIX_DRIVE = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// An empty host path takes the letter away.
bool DefineDrive(wchar_t letter, const std::string& hostPath) {
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return false;
    std::vector<BYTE> buffer(sizeof(UnixDriveRequest) + (hostPath.empty() ? 0 : hostPath.size() + 1));
    UnixDriveRequest* request = reinterpret_cast<UnixDriveRequest*>(buffer.data());
    request->size = static_cast<ULONG>(buffer.size());
    request->letter = letter;
    request->type = hostPath.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED;
    if (!hostPath.empty()) {
        request->mountPointOffset = sizeof(UnixDriveRequest);
        std::memcpy(buffer.data() + sizeof(UnixDriveRequest), hostPath.c_str(), hostPath.size() + 1);
    }
    DWORD returned = 0;
    const BOOL defined = DeviceIoControl(manager, DEFINE_UNIX_DRIVE, buffer.data(), static_cast<DWORD>(buffer.size()),
                                         nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return defined != FALSE;
}

std::string HostPath(const std::wstring& folder) {
    typedef char*(CDECL * UnixFileName)(const wchar_t*);
    const auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixFileName) return std::string();
    char* path = unixFileName(folder.c_str());
    if (!path) return std::string();
    std::string result = path;
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

}  // namespace

ScratchDrive::~ScratchDrive() {
    if (m_letter) DefineDrive(m_letter, std::string());
}

bool ScratchDrive::Map(const std::wstring& folder) {
    const std::string hostPath = HostPath(folder);
    if (hostPath.empty() || m_letter) return false;
    const DWORD used = GetLogicalDrives();
    for (wchar_t letter = L'R'; letter <= L'Y'; ++letter) {
        if (used & (1u << (letter - L'A'))) continue;
        if (!DefineDrive(letter, hostPath)) return false;
        m_letter = letter;
        return true;
    }
    return false;
}

}  // namespace vttest
