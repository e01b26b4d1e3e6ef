#include "framework/StdioFile.h"

#include <cstring>

#include "framework/InternetException.h"

namespace fw {

CStdioFile::~CStdioFile() {
    try {
        Flush();
    } catch (const CFileException&) {
    }
    m_file.Close();
}

BOOL CStdioFile::Open(const std::wstring& path, UINT flags, CFileException* error) {
    Abort();
    m_buffer.reserve(kBufferSize);
    return m_file.Open(path, flags, error);
}

void CStdioFile::Write(const void* data, UINT count) {
    const char* bytes = static_cast<const char*>(data);
    while (count > 0) {
        const size_t room = kBufferSize - m_buffer.size();
        const size_t taken = count < room ? count : room;
        m_buffer.insert(m_buffer.end(), bytes, bytes + taken);
        bytes += taken;
        count -= static_cast<UINT>(taken);
        if (m_buffer.size() == kBufferSize) Flush();
    }
}

void CStdioFile::Flush() {
    if (m_buffer.empty() || !m_file.IsOpen()) return;
    std::vector<char> pending;
    pending.swap(m_buffer);
    m_buffer.reserve(kBufferSize);
    m_file.Write(pending.data(), static_cast<UINT>(pending.size()));
}

void CStdioFile::Close() {
    try {
        Flush();
    } catch (const CFileException&) {
        m_file.Close();
        throw;
    }
    m_file.Close();
}

void CStdioFile::Abort() {
    m_buffer.clear();
    m_file.Close();
}

}  // namespace fw
