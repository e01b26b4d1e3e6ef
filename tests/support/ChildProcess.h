// Starts a program under test as a child process with extra environment variables, and waits
// for it.
#pragma once
#include <windows.h>

#include <map>
#include <string>

namespace vttest {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // commandLine is appended after the quoted program path (empty: no arguments at all).
    bool Start(const std::wstring& program, const std::wstring& arguments, const std::wstring& workingFolder,
               const std::map<std::wstring, std::wstring>& environment);
    // TRUE when the process ended within the timeout; exitCode then holds its code.
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Kill();
    DWORD Id() const { return m_id; }
    bool Running() const;

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

// Folder of the test binaries' build tree (from VTINST_BIN_DIR), without trailing backslash.
std::wstring BuildFolder();
// Copies a file; TRUE on success.
bool CopyInto(const std::wstring& source, const std::wstring& destination);

}  // namespace vttest
