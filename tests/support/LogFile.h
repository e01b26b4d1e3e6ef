// Reads the installer's log (an INI file) the way a person inspecting it would.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vttest {

struct LogEntry {
    std::wstring key;     // L01, L02, ...
    std::wstring time, level, module, source, line, errorNumber, message;
};

class LogFile {
public:
    explicit LogFile(std::wstring path) : m_path(std::move(path)) {}
    // The log in the given temporary folder.
    static LogFile InFolder(const std::wstring& tempFolder);

    bool Exists() const;
    std::wstring Field(const std::wstring& key) const;  // section LOG
    // Section HIST in file order.
    std::vector<LogEntry> Entries() const;
    // Messages of all entries in file order.
    std::vector<std::wstring> Messages() const;
    bool Contains(const std::wstring& message) const;
    // Waits for a program still running to write the entry; true when it is there in time.
    bool WaitFor(const std::wstring& message, DWORD timeoutMs) const;
    size_t Count(const std::wstring& message) const;
    // Keys of a section in file order.
    std::vector<std::wstring> Keys(const std::wstring& section) const;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// True when `expected` appears in `lines` in this order (other lines may come between).
bool ContainsInOrder(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& expected);

}  // namespace vttest
