// Starts a program as the interactive user: with a copy of the desktop shell's token, so that a
// tool started from the elevated installer does not run elevated itself.
#include <windows.h>

#include "app/VTInst.h"
#include "install/ShellSession.h"

namespace {

typedef BOOL(WINAPI* PFN_CreateProcessWithTokenW)(HANDLE token, DWORD logonFlags, LPCWSTR applicationName,
                                                  LPWSTR commandLine, DWORD creationFlags, LPVOID environment,
                                                  LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                                                  LPPROCESS_INFORMATION processInformation);

class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle) : m_handle(handle) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE* Receive() { return &m_handle; }
    HANDLE Get() const { return m_handle; }
    void Close() {
        if (m_handle) CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle = nullptr;
};

// The primary token of the process that owns the desktop shell window; FALSE when there is none.
BOOL DuplicateShellToken(ScopedHandle& primaryToken) {
    HWND shellWindow = CurrentShellSessionQueries().getShellWindow();
    if (!shellWindow) return FALSE;
    DWORD shellProcessId = 0;
    GetWindowThreadProcessId(shellWindow, &shellProcessId);
    ScopedHandle shellProcess(OpenProcess(MAXIMUM_ALLOWED, FALSE, shellProcessId));
    if (!shellProcess.Get()) return FALSE;

    ScopedHandle shellToken;
    if (!OpenProcessToken(shellProcess.Get(), MAXIMUM_ALLOWED, shellToken.Receive())) return FALSE;
    shellProcess.Close();
    return DuplicateTokenEx(shellToken.Get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary,
                            primaryToken.Receive());
}

}  // namespace

BOOL CVTInstApp::CreateProcessAsShellUser(wchar_t* commandLine, const wchar_t* workingFolder,
                                          STARTUPINFOW* startupInfo, PROCESS_INFORMATION* processInformation) {
    if (!CurrentShellSessionQueries().isUserAnAdmin()) return FALSE;

    // Looked up at run time: Windows XP has no such function.
    HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
    auto createProcessWithToken = advapi ? reinterpret_cast<PFN_CreateProcessWithTokenW>(
                                               GetProcAddress(advapi, "CreateProcessWithTokenW"))
                                         : nullptr;
    if (!createProcessWithToken) return FALSE;

    ScopedHandle primaryToken;
    if (!DuplicateShellToken(primaryToken)) return FALSE;
    return createProcessWithToken(primaryToken.Get(), 0, nullptr, commandLine, 0, nullptr, workingFolder,
                                  startupInfo, processInformation);
}
