#include "catalogue/ProcessList.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

namespace {

class SnapshotHandle {
public:
    explicit SnapshotHandle(HANDLE handle) : m_handle(handle) {}
    ~SnapshotHandle() {
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    SnapshotHandle(const SnapshotHandle&) = delete;
    SnapshotHandle& operator=(const SnapshotHandle&) = delete;
    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

}  // namespace

bool IsProcessRunning(const std::wstring& imageName) {
    SnapshotHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid()) return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    if (!Process32FirstW(snapshot.Get(), &entry)) return false;
    while (Process32NextW(snapshot.Get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, imageName.c_str()) == 0) return true;
    }
    return false;
}
