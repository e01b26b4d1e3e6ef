// The stand-in desktop shell (VtStandInShell.exe of the build tree) for as long as the object
// lives: while it runs, the session has a shell window, and launches with the shell's token work.
#pragma once
#include "tests/support/ChildProcess.h"

namespace vttest {

class StandInDesktopShell {
public:
    StandInDesktopShell() = default;
    ~StandInDesktopShell();
    StandInDesktopShell(const StandInDesktopShell&) = delete;
    StandInDesktopShell& operator=(const StandInDesktopShell&) = delete;

    // Starts it and waits until its window is the shell window; false when that did not happen.
    bool Start();

private:
    ChildProcess m_shell;
};

}  // namespace vttest
