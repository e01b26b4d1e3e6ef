// Window activation across the program's pages and message boxes.
#pragma once
#include <windows.h>

// Brings the window to the foreground even when another thread owns the foreground window.
BOOL BringWindowToForeground(HWND window);

// Orders the program's page windows and the dialog box that belongs to one of them, so the box
// stays above its page.
void SetForegroundEx(HWND page);
