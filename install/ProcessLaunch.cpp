#include "install/ProcessLaunch.h"

std::wstring WorkingFolderOf(const std::wstring& programPath) {
    const size_t backslash = programPath.rfind(L'\\');
    if (backslash == std::wstring::npos) return L"\\";
    return programPath.substr(0, backslash) + L"\\";
}

std::vector<wchar_t> WritableCopy(const std::wstring& text) {
    std::vector<wchar_t> buffer(text.begin(), text.end());
    buffer.push_back(L'\0');
    return buffer;
}

StartedProcess::~StartedProcess() {
    ReleaseThread();
    if (m_info.hProcess) CloseHandle(m_info.hProcess);
}

void StartedProcess::ReleaseThread() {
    if (!m_info.hThread) return;
    CloseHandle(m_info.hThread);
    m_info.hThread = nullptr;
}

BOOL StartedProcess::WaitForExitCode(DWORD& exitCode) const {
    if (!m_info.hProcess || WaitForSingleObject(m_info.hProcess, INFINITE) != WAIT_OBJECT_0) return FALSE;
    return GetExitCodeProcess(m_info.hProcess, &exitCode);
}

BOOL StartProgramAsInstaller(const std::wstring& programPath, const std::wstring& commandLine,
                             const std::wstring& workingFolder, StartedProcess& process) {
    std::vector<wchar_t> writableCommandLine = WritableCopy(commandLine);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    if (!CreateProcessW(programPath.c_str(), writableCommandLine.data(), nullptr, nullptr, TRUE,
                        NORMAL_PRIORITY_CLASS, nullptr, workingFolder.empty() ? nullptr : workingFolder.c_str(),
                        &startup, process.Receive()))
        return FALSE;
    process.ReleaseThread();
    return TRUE;
}
