#include "tests/support/LogFile.h"

#include <windows.h>

#include <algorithm>

namespace vttest {

namespace {
std::vector<std::wstring> SectionLines(const std::wstring& file, const std::wstring& section) {
    std::vector<wchar_t> buffer(1 << 22);
    DWORD length = GetPrivateProfileSectionW(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                             file.c_str());
    std::vector<std::wstring> lines;
    for (const wchar_t* p = buffer.data(); p < buffer.data() + length && *p; p += wcslen(p) + 1) lines.push_back(p);
    return lines;
}

std::vector<std::wstring> SplitBars(const std::wstring& text) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = text.find(L'|', start);
        // The message is last and may itself hold bars.
        if (bar == std::wstring::npos || parts.size() == 6) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
}
}  // namespace

LogFile LogFile::InFolder(const std::wstring& tempFolder) { return LogFile(tempFolder + L"\\VtDownLoadInst.log"); }

bool LogFile::Exists() const { return GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring LogFile::Field(const std::wstring& key) const {
    wchar_t value[40000] = {};
    GetPrivateProfileStringW(L"LOG", key.c_str(), L"", value, 40000, m_path.c_str());
    return value;
}

std::vector<std::wstring> LogFile::Keys(const std::wstring& section) const {
    std::vector<std::wstring> keys;
    for (const std::wstring& line : SectionLines(m_path, section)) keys.push_back(line.substr(0, line.find(L'=')));
    return keys;
}

std::vector<LogEntry> LogFile::Entries() const {
    std::vector<LogEntry> entries;
    for (const std::wstring& line : SectionLines(m_path, L"HIST")) {
        size_t equals = line.find(L'=');
        LogEntry entry;
        entry.key = line.substr(0, equals);
        std::wstring value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == L'#' && value.back() == L'#') value = value.substr(1, value.size() - 2);
        std::vector<std::wstring> parts = SplitBars(value);
        parts.resize(7);
        entry.time = parts[0];
        entry.level = parts[1];
        entry.module = parts[2];
        entry.source = parts[3];
        entry.line = parts[4];
        entry.errorNumber = parts[5];
        entry.message = parts[6];
        entries.push_back(entry);
    }
    return entries;
}

std::vector<std::wstring> LogFile::Messages() const {
    std::vector<std::wstring> messages;
    for (const LogEntry& entry : Entries()) messages.push_back(entry.message);
    return messages;
}

bool LogFile::Contains(const std::wstring& message) const { return Count(message) > 0; }

bool LogFile::WaitFor(const std::wstring& message, DWORD timeoutMs) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!Contains(message)) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(100);
    }
    return true;
}

size_t LogFile::Count(const std::wstring& message) const {
    std::vector<std::wstring> messages = Messages();
    return static_cast<size_t>(std::count(messages.begin(), messages.end(), message));
}

bool ContainsInOrder(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& expected) {
    auto at = lines.begin();
    for (const std::wstring& line : expected) {
        at = std::find(at, lines.end(), line);
        if (at == lines.end()) return false;
        ++at;
    }
    return true;
}

}  // namespace vttest
