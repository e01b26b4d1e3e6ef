// The stand-in setup program (VtStandInSetup.exe of the build tree) and the response files it
// reads, for tests of the installation: copies it where a package would lie, chooses its exit and
// result codes, and reads back how it was started and which folder its response file named.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace vttest {

struct StandInSetupRun {
    std::wstring commandLine;  // as the setup received it
    std::wstring destination;  // the response file's szDir when it ran
};

// Settings of [StandInSetup] (ExitCode, ResultCode, InstalledFile, ProductKey, Version, RestartKey).
using StandInSetupSettings = std::map<std::wstring, std::wstring>;

// Copies the stand-in to path with its settings in "<path>.ini"; an earlier record is removed.
bool InstallStandInSetup(const std::wstring& path, const StandInSetupSettings& settings = {});
// Writes settings into a settings file (the one VTINST_STANDIN_SETUP names for a whole run).
void WriteStandInSetupSettings(const std::wstring& settingsFile, const StandInSetupSettings& settings);
// The runs recorded beside a settings file ("<settings>.record"), oldest first.
std::vector<StandInSetupRun> StandInSetupRuns(const std::wstring& settingsFile);

// An ANSI response file of a setup whose product code is code ("" writes none), destination oldFolder.
std::string AnsiResponseFile(const std::string& code, const std::string& oldFolder);
// The UTF-16 file with byte-order mark holding text (CR LF line ends as given).
void WriteUtf16File(const std::wstring& path, const std::wstring& text);
// A UTF-16 file's text without its byte-order mark; empty when it has none.
std::wstring ReadUtf16File(const std::wstring& path);

// The host path of a Windows path on Wine's drive Z: ("Z:\work\x" -> "/work/x"), for the test server.
std::string HostPath(const std::wstring& windowsPath);

}  // namespace vttest
