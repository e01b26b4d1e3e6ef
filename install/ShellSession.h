// What the launch with the desktop shell's token asks of the system. Tests replace the answers:
// under Wine there is no shell window, so that launch could never be seen to succeed otherwise.
#pragma once
#include <windows.h>

struct ShellSessionQueries {
    BOOL (*isUserAnAdmin)();
    HWND (*getShellWindow)();
};

// The queries in force: the system's unless a test has replaced them.
const ShellSessionQueries& CurrentShellSessionQueries();

// For tests only: replaces the queries; nullptr restores the system's.
void ReplaceShellSessionQueries(const ShellSessionQueries* queries);
