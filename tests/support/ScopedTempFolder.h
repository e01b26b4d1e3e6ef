// A private temporary folder for one test, optionally made the process's TMP/TEMP so the log and
// anything else written to the temporary folder stays inside it.
#pragma once
#include <string>

namespace vttest {

class ScopedTempFolder {
public:
    // redirectTemp: point TMP and TEMP of this process at the folder while it lives.
    explicit ScopedTempFolder(bool redirectTemp = false);
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    // Without trailing backslash.
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
    bool m_redirected;
    std::wstring m_oldTmp;
    std::wstring m_oldTemp;
};

// Removes a folder tree (test clean-up; no retries, no logging).
void RemoveTree(const std::wstring& folder);
void WriteTextFile(const std::wstring& path, const std::string& utf8Text);
std::string ReadTextFile(const std::wstring& path);
std::string Narrow(const std::wstring& text);
std::wstring Widen(const std::string& text);

}  // namespace vttest
