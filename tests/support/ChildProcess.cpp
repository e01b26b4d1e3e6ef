#include "tests/support/ChildProcess.h"

#include <vector>

namespace vttest {

ChildProcess::~ChildProcess() {
    if (Running()) Kill();
    if (m_process) CloseHandle(m_process);
}

bool ChildProcess::Start(const std::wstring& program, const std::wstring& arguments, const std::wstring& workingFolder,
                         const std::map<std::wstring, std::wstring>& environment) {
    // The child inherits this process's environment with the given variables replaced.
    std::map<std::wstring, std::wstring, bool (*)(const std::wstring&, const std::wstring&)> merged(
        [](const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
            std::wstring entry = p;
            size_t equals = entry.find(L'=', 1);
            if (equals != std::wstring::npos) merged[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& variable : environment) merged[variable.first] = variable.second;
    std::vector<wchar_t> block;
    for (const auto& variable : merged) {
        std::wstring entry = variable.first + L"=" + variable.second;
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');

    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    std::vector<wchar_t> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), mutableCommandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        block.data(), workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    return true;
}

bool ChildProcess::Wait(DWORD timeoutMs, DWORD* exitCode) {
    if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(m_process, exitCode);
    return true;
}

bool ChildProcess::Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

void ChildProcess::Kill() {
    if (!m_process) return;
    TerminateProcess(m_process, 99);
    WaitForSingleObject(m_process, 5000);
}

std::wstring BuildFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VTINST_BIN_DIR", buffer, MAX_PATH)) return buffer;
    // Fallback: the test program lies in <build>\tests.
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path = buffer;
    path = path.substr(0, path.find_last_of(L'\\'));
    return path.substr(0, path.find_last_of(L'\\'));
}

bool CopyInto(const std::wstring& source, const std::wstring& destination) {
    return CopyFileW(source.c_str(), destination.c_str(), FALSE) != FALSE;
}

}  // namespace vttest
