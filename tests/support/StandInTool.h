// The stand-in program (VtStandInTool.exe of the build tree) for tests that make the installer start
// other programs: copies it under the name a test needs, sets its exit code and reads back how it
// was started.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vttest {

struct StandInRun {
    std::wstring program;      // the copy's own path
    DWORD processId = 0;
    std::wstring commandLine;  // as the program received it
    std::wstring directory;    // its working directory
    std::wstring user;
    bool elevated = false;
};

// Copies the stand-in to path (the folder must exist) and makes it exit with exitCode after staying
// delayMs. Its record goes beside it ("<path>.record"); an earlier record is removed.
bool InstallStandIn(const std::wstring& path, DWORD exitCode, DWORD delayMs = 0);
// Changes the exit code of a copy already installed.
void SetStandInExitCode(const std::wstring& path, DWORD exitCode);

// Every run the copy at path recorded so far, oldest first.
std::vector<StandInRun> StandInRuns(const std::wstring& path);
// Waits until the copy has recorded at least count runs; true when it did within the timeout.
bool WaitForStandInRuns(const std::wstring& path, size_t count, DWORD timeoutMs);

}  // namespace vttest
