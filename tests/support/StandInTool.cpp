#include "tests/support/StandInTool.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/ScopedTempFolder.h"

namespace vttest {

namespace {

std::wstring RecordOf(const std::wstring& path) { return path + L".record"; }
std::wstring SettingsOf(const std::wstring& path) { return path + L".ini"; }

void SetSetting(const std::wstring& path, const wchar_t* key, DWORD value) {
    WritePrivateProfileStringW(L"StandIn", key, std::to_wstring(value).c_str(), SettingsOf(path).c_str());
}

}  // namespace

bool InstallStandIn(const std::wstring& path, DWORD exitCode, DWORD delayMs) {
    if (!CopyInto(BuildFolder() + L"\\VtStandInTool.exe", path)) return false;
    DeleteFileW(RecordOf(path).c_str());
    SetSetting(path, L"ExitCode", exitCode);
    SetSetting(path, L"DelayMs", delayMs);
    return true;
}

void SetStandInExitCode(const std::wstring& path, DWORD exitCode) { SetSetting(path, L"ExitCode", exitCode); }

std::vector<StandInRun> StandInRuns(const std::wstring& path) {
    std::vector<StandInRun> runs;
    if (GetFileAttributesW(RecordOf(path).c_str()) == INVALID_FILE_ATTRIBUTES) return runs;
    const std::wstring text = Widen(ReadTextFile(RecordOf(path)));
    StandInRun current;
    bool inRun = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (line == L"run") {
            current = StandInRun();
            inRun = true;
        } else if (line == L"end" && inRun) {
            runs.push_back(current);
            inRun = false;
        } else if (inRun) {
            const size_t equals = line.find(L'=');
            if (equals == std::wstring::npos) continue;
            const std::wstring key = line.substr(0, equals);
            const std::wstring value = line.substr(equals + 1);
            if (key == L"program") current.program = value;
            else if (key == L"pid") current.processId = static_cast<DWORD>(_wtoi(value.c_str()));
            else if (key == L"commandline") current.commandLine = value;
            else if (key == L"directory") current.directory = value;
            else if (key == L"user") current.user = value;
            else if (key == L"elevated") current.elevated = value == L"1";
        }
    }
    return runs;
}

bool WaitForStandInRuns(const std::wstring& path, size_t count, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (StandInRuns(path).size() >= count) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(50);
    }
}

}  // namespace vttest
