// A local file written through a small buffer, as the C runtime's streams do: a body copied in
// 1024-byte blocks then costs one system call per buffer instead of one per block.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/File.h"

namespace fw {

class CStdioFile {
public:
    CStdioFile() = default;
    // Writes what is buffered (failures are dropped: a destructor cannot report them) and closes.
    ~CStdioFile();
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // As CFile::Open.
    BOOL Open(const std::wstring& path, UINT flags, CFileException* error = nullptr);
    // Throws CFileException when a full buffer cannot be written.
    void Write(const void* data, UINT count);
    // Writes what is buffered and closes; throws CFileException when that write fails (the file
    // is closed either way).
    void Close();
    // Closes without writing what is buffered; never throws (for failure paths).
    void Abort();

    bool IsOpen() const { return m_file.IsOpen(); }

private:
    void Flush();

    static const size_t kBufferSize = 4096;
    CFile m_file;
    std::vector<char> m_buffer;
};

}  // namespace fw
