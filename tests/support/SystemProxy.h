// The Wine prefix's preconfigured proxy for a test, and the system's proxy credential dialog
// ("Enter Network Password") answered as a user would, in this process or in a program under test.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "tests/support/TestThread.h"

namespace vttest {

// Controls of the credential dialog.
constexpr int kUserNameEdit = 1027;
constexpr int kPasswordEdit = 1028;

// Points the prefix's Internet settings at the proxy (ProxyEnable 1, ProxyServer) for the fixture's
// life; the earlier values come back afterwards.
class ScopedSystemProxy {
public:
    explicit ScopedSystemProxy(const std::wstring& proxyServer);
    ~ScopedSystemProxy();
    ScopedSystemProxy(const ScopedSystemProxy&) = delete;
    ScopedSystemProxy& operator=(const ScopedSystemProxy&) = delete;

private:
    struct Value {
        DWORD type = 0;
        std::string data;
    };
    bool Read(const wchar_t* name, Value& value);
    void Restore(const wchar_t* name, bool had, const Value& value);
    static void SettingsChanged();

    HKEY m_key = nullptr;
    bool m_hadEnable = false, m_hadServer = false;
    Value m_enable, m_server;
};

// The visible credential dialog (a standard dialog with the user-name edit) of the process, or of
// any process when processId is 0; null when there is none.
HWND FindCredentialDialog(DWORD processId = 0);

// On its own thread: answers every credential dialog of the process with the credentials and OK
// until it is stopped; counts the dialogs answered.
class CredentialDialogLoop {
public:
    CredentialDialogLoop(DWORD processId, std::wstring user, std::wstring password);
    ~CredentialDialogLoop() { Stop(); }
    CredentialDialogLoop(const CredentialDialogLoop&) = delete;
    CredentialDialogLoop& operator=(const CredentialDialogLoop&) = delete;
    // Ends the loop; the number of dialogs answered.
    int Stop();

private:
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_answered{0};
    TestThread m_thread;
};

}  // namespace vttest
