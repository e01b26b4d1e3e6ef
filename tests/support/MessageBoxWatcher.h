// Finds a message box (a top-level "#32770" window), in this process or in a child process under
// the same Wine server, records what it shows and presses one of its buttons.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/TestThread.h"

namespace vttest {

struct MessageBoxButton {
    int id = 0;  // IDOK, IDCANCEL, IDYES, ..., IDHELP (9)
    std::wstring text;
};

struct MessageBoxInfo {
    HWND window = nullptr;
    DWORD processId = 0;
    HWND owner = nullptr;  // GW_OWNER: the window the box was shown for
    std::wstring caption;
    std::wstring text;     // the static with id 65535
    LONG style = 0;        // GWL_STYLE of the box
    LONG exStyle = 0;      // GWL_EXSTYLE (WS_EX_TOPMOST for MB_TOPMOST / MB_SYSTEMMODAL)
    bool hasIcon = false;  // the icon static 1088 holds an icon
    bool wasForeground = false;  // the box was the foreground window when found
    std::vector<MessageBoxButton> buttons;  // visible buttons, in window order

    bool HasButton(int id) const;
    std::vector<int> ButtonIds() const;
};

struct MessageBoxFilter {
    std::wstring caption;  // empty: any caption
    DWORD processId = 0;   // 0: any process
};

// Waits up to timeoutMs for a visible box that matches; fills info and returns true when found.
bool WaitForMessageBox(const MessageBoxFilter& filter, DWORD timeoutMs, MessageBoxInfo& info);

// Clicks the button (posts WM_COMMAND as the button would). False when the box has no such button.
bool PressMessageBoxButton(HWND box, int buttonId);

// Waits until the window is gone; true when it closed within the timeout.
bool WaitForWindowClosed(HWND window, DWORD timeoutMs);

// On its own thread: waits for a matching box, records it and presses buttonId (0: press nothing).
// Use it around a call that shows a box modally on the calling thread.
class MessageBoxWatcher {
public:
    MessageBoxWatcher(MessageBoxFilter filter, int buttonId, DWORD timeoutMs = 10000);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Waits for the watcher thread; true when a box was found (and the button, if any, pressed).
    bool Finish();
    const MessageBoxInfo& Info() const { return m_info; }

private:
    MessageBoxFilter m_filter;
    int m_buttonId;
    DWORD m_timeoutMs;
    MessageBoxInfo m_info;
    bool m_found = false;
    bool m_pressed = false;
    TestThread m_thread;
};

}  // namespace vttest
