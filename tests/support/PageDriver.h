// Finds the installer's wizard pages (windows of the class "Veltrona_VTInst_WindowClass") in a
// process under the same Wine server, reads their controls, presses their buttons, drives the
// shell's folder browser and takes screenshots, as a user at the screen would.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vttest {

struct PageControl {
    HWND window = nullptr;
    int id = 0;
    std::wstring className;
    std::wstring text;
    bool visible = false;
    bool enabled = false;
    bool checked = false;
};

struct PageInfo {
    HWND window = nullptr;
    std::wstring caption;
    std::vector<PageControl> controls;

    // The control with the id, or null.
    const PageControl* Control(int id) const;
};

// Registers the pages' window class in the calling process as the program does at start-up (a
// copy of the dialog class), so tests can create pages themselves.
void RegisterPageWindowClass();

// Reads the page's caption and every child control.
PageInfo ReadPage(HWND page);

// Waits up to timeoutMs for a visible page of the process that has a control with the id (each page
// has one of its own: 1028 folder, 1010 license, 1045 review, 1005 download).
bool WaitForPage(DWORD processId, int controlId, DWORD timeoutMs, PageInfo& page);
// Waits until the control's enabled state is `enabled`.
bool WaitForControlEnabled(HWND page, int controlId, bool enabled, DWORD timeoutMs);
// Waits until the page is hidden or gone.
bool WaitForPageHidden(HWND page, DWORD timeoutMs);

// Clicks a button or radio button of the page as the user would (the page is told by WM_COMMAND).
bool ClickControl(HWND page, int controlId);
// Sends WM_CLOSE, as the window's close button does.
void ClosePage(HWND page);

// In the process's open folder browser: selects the folder and confirms with OK. False when no
// browser appeared or OK stayed disabled for that folder (okEnabled tells which).
bool ChooseFolderInBrowser(DWORD processId, const std::wstring& folder, DWORD timeoutMs, bool* okEnabled = nullptr);

// The window's screen area as a 24-bit BMP file (the whole screen when window is null).
bool SaveScreenshot(HWND window, const std::wstring& path);

}  // namespace vttest
