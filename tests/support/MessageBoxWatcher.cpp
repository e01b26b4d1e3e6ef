#include "tests/support/MessageBoxWatcher.h"

#include <algorithm>
#include <utility>

namespace vttest {

namespace {

const wchar_t DIALOG_CLASS[] = L"#32770";
const int PROXY_USER_EDIT_ID = 1027;
const int PROXY_PASSWORD_EDIT_ID = 1028;
const int TEXT_ID = 0xFFFF;
const int ICON_ID = 1088;
const DWORD POLL_MS = 50;
const UINT SEND_TIMEOUT_MS = 2000;

// WM_GETTEXT works for windows of other processes too (GetWindowText does not, for controls).
std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &length))
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                             SEND_TIMEOUT_MS, &copied))
        return std::wstring();
    text.resize(std::min<size_t>(copied, length));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool HasVisibleStyle(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

// Some systems keep an empty icon static in boxes without an icon.
bool HasIconImage(HWND iconStatic) {
    DWORD_PTR icon = 0;
    return SendMessageTimeoutW(iconStatic, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &icon) && icon != 0;
}

// Controls carry 16-bit ids; the text static's 0xFFFF may come back sign-extended.
int ControlId(HWND child) { return GetDlgCtrlID(child) & 0xFFFF; }

BOOL CALLBACK RecordChild(HWND child, LPARAM param) {
    MessageBoxInfo& info = *reinterpret_cast<MessageBoxInfo*>(param);
    if (GetParent(child) != info.window) return TRUE;
    const int id = ControlId(child);
    const std::wstring className = ClassName(child);
    if (_wcsicmp(className.c_str(), L"Button") == 0) {
        if (HasVisibleStyle(child)) info.buttons.push_back({id, WindowText(child)});
    } else if (_wcsicmp(className.c_str(), L"Static") == 0) {
        if (id == TEXT_ID) info.text = WindowText(child);
        if (id == ICON_ID) info.hasIcon = HasIconImage(child);
    }
    return TRUE;
}

bool Matches(HWND box, const MessageBoxFilter& filter) {
    if (!HasVisibleStyle(box)) return false;  // still being initialised
    // The proxy credential dialog is a standard dialog too, but no message box: it has its own answerer.
    if (GetDlgItem(box, PROXY_USER_EDIT_ID) && GetDlgItem(box, PROXY_PASSWORD_EDIT_ID)) return false;
    if (filter.processId != 0) {
        DWORD processId = 0;
        GetWindowThreadProcessId(box, &processId);
        if (processId != filter.processId) return false;
    }
    return filter.caption.empty() || WindowText(box) == filter.caption;
}

MessageBoxInfo Record(HWND box) {
    MessageBoxInfo info;
    info.window = box;
    GetWindowThreadProcessId(box, &info.processId);
    info.owner = GetWindow(box, GW_OWNER);
    info.caption = WindowText(box);
    info.style = GetWindowLongW(box, GWL_STYLE);
    info.exStyle = GetWindowLongW(box, GWL_EXSTYLE);
    info.wasForeground = GetForegroundWindow() == box;
    EnumChildWindows(box, RecordChild, reinterpret_cast<LPARAM>(&info));
    return info;
}

}  // namespace

bool MessageBoxInfo::HasButton(int id) const {
    return std::any_of(buttons.begin(), buttons.end(), [id](const MessageBoxButton& b) { return b.id == id; });
}

std::vector<int> MessageBoxInfo::ButtonIds() const {
    std::vector<int> ids;
    for (const MessageBoxButton& button : buttons) ids.push_back(button.id);
    return ids;
}

bool WaitForMessageBox(const MessageBoxFilter& filter, DWORD timeoutMs, MessageBoxInfo& info) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, DIALOG_CLASS, nullptr)) != nullptr) {
            if (Matches(box, filter)) {
                info = Record(box);
                return true;
            }
        }
        if (GetTickCount64() >= deadline) return false;
        Sleep(POLL_MS);
    }
}

bool PressMessageBoxButton(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (!button) return false;
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != 0;
}

bool WaitForWindowClosed(HWND window, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindow(window)) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(POLL_MS);
    }
    return true;
}

MessageBoxWatcher::MessageBoxWatcher(MessageBoxFilter filter, int buttonId, DWORD timeoutMs)
    : m_filter(std::move(filter)), m_buttonId(buttonId), m_timeoutMs(timeoutMs) {
    m_thread.Start([this] {
        m_found = WaitForMessageBox(m_filter, m_timeoutMs, m_info);
        if (m_found && m_buttonId != 0) m_pressed = PressMessageBoxButton(m_info.window, m_buttonId);
    });
}

MessageBoxWatcher::~MessageBoxWatcher() {
    m_thread.Join();
}

bool MessageBoxWatcher::Finish() {
    m_thread.Join();
    return m_found && (m_buttonId == 0 || m_pressed);
}

}  // namespace vttest
