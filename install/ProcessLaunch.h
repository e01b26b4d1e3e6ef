// Start-and-wait primitives shared by the runner's ways of starting a program.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The folder part of the path followed by "\"; "\" for a path without a folder.
std::wstring WorkingFolderOf(const std::wstring& programPath);

// The text with its terminator in a buffer the process-creation functions may write to.
std::vector<wchar_t> WritableCopy(const std::wstring& text);

// The process and thread handles of a started program, closed when it goes out of scope.
class StartedProcess {
public:
    StartedProcess() = default;
    ~StartedProcess();
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;

    PROCESS_INFORMATION* Receive() { return &m_info; }
    bool Started() const { return m_info.hProcess != nullptr; }
    // Nothing of ours runs in the program's first thread: its handle goes as soon as it starts.
    void ReleaseThread();
    // Waits without time-out; FALSE when the wait or the exit-code query fails.
    BOOL WaitForExitCode(DWORD& exitCode) const;

private:
    PROCESS_INFORMATION m_info = {};
};

// Starts the program as this process (elevated when the installer is): inherited handles, normal
// priority, this environment, the window shown. The command line is passed as given; an empty
// working folder keeps this process's current folder.
BOOL StartProgramAsInstaller(const std::wstring& programPath, const std::wstring& commandLine,
                             const std::wstring& workingFolder, StartedProcess& process);
