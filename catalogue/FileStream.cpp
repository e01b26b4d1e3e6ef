#include "catalogue/FileStream.h"

#include <new>

namespace {

// The last system error as HRESULT. A failing call that left no error code must still read as a
// failure, never as S_OK.
HRESULT LastErrorResult() {
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

}  // namespace

HRESULT FileStream::OpenFile(const wchar_t* path, IStream** stream) {
    if (stream == nullptr) return E_POINTER;
    *stream = nullptr;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrorResult();
    FileStream* created = new (std::nothrow) FileStream(file);
    if (created == nullptr) {
        CloseHandle(file);
        return E_OUTOFMEMORY;
    }
    *stream = created;
    return S_OK;
}

FileStream::~FileStream() {
    if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
}

HRESULT FileStream::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(ISequentialStream) || iid == __uuidof(IStream)) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FileStream::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG FileStream::Release() {
    const LONG remaining = InterlockedDecrement(&m_references);
    if (remaining == 0) delete this;
    return static_cast<ULONG>(remaining);
}

HRESULT FileStream::Read(void* buffer, ULONG size, ULONG* read) {
    DWORD done = 0;
    const BOOL ok = ReadFile(m_file, buffer, size, &done, nullptr);
    if (read != nullptr) *read = done;
    return ok ? S_OK : LastErrorResult();
}

HRESULT FileStream::Write(const void* buffer, ULONG size, ULONG* written) {
    DWORD done = 0;
    const BOOL ok = WriteFile(m_file, buffer, size, &done, nullptr);
    if (written != nullptr) *written = done;
    return ok ? S_OK : LastErrorResult();
}

HRESULT FileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) {
    DWORD method;
    switch (origin) {
        case STREAM_SEEK_SET: method = FILE_BEGIN; break;
        case STREAM_SEEK_CUR: method = FILE_CURRENT; break;
        case STREAM_SEEK_END: method = FILE_END; break;
        default: return STG_E_INVALIDFUNCTION;
    }
    LARGE_INTEGER position = {};
    if (!SetFilePointerEx(m_file, move, &position, method)) return LastErrorResult();
    if (newPosition != nullptr) newPosition->QuadPart = static_cast<ULONGLONG>(position.QuadPart);
    return S_OK;
}

HRESULT FileStream::SetSize(ULARGE_INTEGER) { return E_NOTIMPL; }

HRESULT FileStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) { return E_NOTIMPL; }

HRESULT FileStream::Commit(DWORD) { return E_NOTIMPL; }

HRESULT FileStream::Revert() { return E_NOTIMPL; }

HRESULT FileStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }

HRESULT FileStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }

HRESULT FileStream::Stat(STATSTG* stat, DWORD) {
    if (stat == nullptr) return STG_E_INVALIDPOINTER;
    // Only the size is known; the rest is cleared so no caller frees or trusts a stray name.
    ZeroMemory(stat, sizeof(*stat));
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(m_file, &size)) return LastErrorResult();
    stat->cbSize.QuadPart = static_cast<ULONGLONG>(size.QuadPart);
    return S_OK;
}

HRESULT FileStream::Clone(IStream** copy) {
    if (copy != nullptr) *copy = nullptr;
    return E_NOTIMPL;
}
