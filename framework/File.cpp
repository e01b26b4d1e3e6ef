#include "framework/File.h"

#include "framework/InternetException.h"

namespace fw {

namespace {

DWORD AccessOf(UINT flags) {
    switch (flags & 0x3) {
        case CFile::modeWrite: return GENERIC_WRITE;
        case CFile::modeReadWrite: return GENERIC_READ | GENERIC_WRITE;
        default: return GENERIC_READ;
    }
}

DWORD ShareOf(UINT flags) {
    switch (flags & 0x70) {
        case CFile::shareExclusive: return 0;
        case CFile::shareDenyWrite: return FILE_SHARE_READ;
        case CFile::shareDenyRead: return FILE_SHARE_WRITE;
        default: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}

DWORD DispositionOf(UINT flags) {
    if (!(flags & CFile::modeCreate)) return OPEN_EXISTING;
    return (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

}  // namespace

BOOL CFile::Open(const std::wstring& path, UINT flags, CFileException* error) {
    Close();
    HANDLE handle = CreateFileW(path.c_str(), AccessOf(flags), ShareOf(flags), nullptr, DispositionOf(flags),
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD lastError = GetLastError();
        if (error) *error = CFileException(static_cast<LONG>(lastError), path);
        SetLastError(lastError);
        return FALSE;
    }
    m_handle = handle;
    m_path = path;
    return TRUE;
}

void CFile::Write(const void* data, UINT count) {
    if (count == 0) return;
    DWORD written = 0;
    if (!WriteFile(m_handle, data, count, &written, nullptr))
        throw CFileException(static_cast<LONG>(GetLastError()), m_path);
    if (written != count) throw CFileException(ERROR_DISK_FULL, m_path);
}

int64_t CFile::SeekToEnd() {
    LARGE_INTEGER position = {};
    if (!SetFilePointerEx(m_handle, LARGE_INTEGER{}, &position, FILE_END))
        throw CFileException(static_cast<LONG>(GetLastError()), m_path);
    return position.QuadPart;
}

int64_t CFile::GetLength() const {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(m_handle, &size)) throw CFileException(static_cast<LONG>(GetLastError()), m_path);
    return size.QuadPart;
}

void CFile::Close() {
    if (m_handle == INVALID_HANDLE_VALUE) return;
    CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}

}  // namespace fw
