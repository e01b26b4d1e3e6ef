#include "tests/support/SystemProxy.h"

#include <wininet.h>

namespace vttest {

namespace {

const wchar_t kInternetSettingsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchCredentialDialog(HWND window, LPARAM parameter) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(parameter);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (IsWindowVisible(window) && wcscmp(className, L"#32770") == 0 && GetDlgItem(window, kUserNameEdit) &&
        (search->processId == 0 || search->processId == owner)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

ScopedSystemProxy::ScopedSystemProxy(const std::wstring& proxyServer) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kInternetSettingsKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key,
                    nullptr);
    m_hadEnable = Read(L"ProxyEnable", m_enable);
    m_hadServer = Read(L"ProxyServer", m_server);
    DWORD enable = 1;
    RegSetValueExW(m_key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable), sizeof(enable));
    RegSetValueExW(m_key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(proxyServer.c_str()),
                   static_cast<DWORD>((proxyServer.size() + 1) * sizeof(wchar_t)));
    SettingsChanged();
}

ScopedSystemProxy::~ScopedSystemProxy() {
    Restore(L"ProxyEnable", m_hadEnable, m_enable);
    Restore(L"ProxyServer", m_hadServer, m_server);
    RegCloseKey(m_key);
    SettingsChanged();
}

// WinINet reads the settings once per process unless told that they changed.
void ScopedSystemProxy::SettingsChanged() {
    InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
}

bool ScopedSystemProxy::Read(const wchar_t* name, Value& value) {
    DWORD size = 0;
    if (RegQueryValueExW(m_key, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return false;
    value.data.resize(size);
    return RegQueryValueExW(m_key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(&value.data[0]), &size) ==
           ERROR_SUCCESS;
}

void ScopedSystemProxy::Restore(const wchar_t* name, bool had, const Value& value) {
    if (had)
        RegSetValueExW(m_key, name, 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                       static_cast<DWORD>(value.data.size()));
    else
        RegDeleteValueW(m_key, name);
}

HWND FindCredentialDialog(DWORD processId) {
    DialogSearch search{processId, nullptr};
    EnumWindows(MatchCredentialDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

CredentialDialogLoop::CredentialDialogLoop(DWORD processId, std::wstring user, std::wstring password)
    : m_thread([this, processId, user, password] {
          HWND last = nullptr;
          while (!m_stop) {
              HWND dialog = FindCredentialDialog(processId);
              if (!dialog || dialog == last) {
                  if (!dialog) last = nullptr;
                  Sleep(50);
                  continue;
              }
              Sleep(200);  // as a user would: the dialog has painted
              SendDlgItemMessageW(dialog, kUserNameEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(user.c_str()));
              SendDlgItemMessageW(dialog, kPasswordEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password.c_str()));
              PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
              last = dialog;
              ++m_answered;
          }
      }) {}

int CredentialDialogLoop::Stop() {
    m_stop = true;
    m_thread.Join();
    return m_answered;
}

}  // namespace vttest
