// A local file opened with open flags in the framework's style; writes that fail throw
// CFileException so a copy loop needs no checks of its own.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace fw {

class CFileException;

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };

    CFile() = default;
    ~CFile() { Close(); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE when the file cannot be opened; error (optional) then holds the cause. modeCreate
    // truncates an existing file unless modeNoTruncate is given too.
    BOOL Open(const std::wstring& path, UINT flags, CFileException* error = nullptr);
    // Throws CFileException unless all bytes were written.
    void Write(const void* data, UINT count);
    // Throws CFileException when the position cannot be moved or the size read.
    int64_t SeekToEnd();
    int64_t GetLength() const;
    void Close();

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    const std::wstring& GetFilePath() const { return m_path; }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    std::wstring m_path;
};

}  // namespace fw
