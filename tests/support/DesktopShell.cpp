#include "tests/support/DesktopShell.h"

#include <windows.h>

namespace vttest {

namespace {

// The shell window's process, or 0.
DWORD ShellProcess() {
    DWORD process = 0;
    if (HWND shell = GetShellWindow()) GetWindowThreadProcessId(shell, &process);
    return process;
}

}  // namespace

StandInDesktopShell::~StandInDesktopShell() {
    if (!m_shell.Running()) return;
    if (HWND shell = GetShellWindow()) PostMessageW(shell, WM_CLOSE, 0, 0);
    if (!m_shell.Wait(5000)) m_shell.Kill();
}

bool StandInDesktopShell::Start() {
    if (ShellProcess() != 0) return false;  // a shell is there already: not ours to replace
    if (!m_shell.Start(BuildFolder() + L"\\VtStandInShell.exe", L"600", BuildFolder(), {})) return false;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50)) {
        if (ShellProcess() == m_shell.Id()) return true;
        if (!m_shell.Running()) return false;
    }
    return false;
}

}  // namespace vttest
