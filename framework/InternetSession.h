// A WinINet session (InternetOpen) and the HTTP objects opened through it. Each object closes its
// handle when destroyed; an operation that declares session, connection and request in that
// order closes them request first.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>

#include "framework/InternetHandle.h"

namespace fw {

class CHttpFile;

// Option reads and writes on any WinINet handle; FALSE when WinINet refuses.
BOOL QueryInternetOption(HINTERNET handle, DWORD option, DWORD& value);
BOOL SetInternetOption(HINTERNET handle, DWORD option, DWORD value);

class CHttpConnection {
public:
    CHttpConnection(CInternetHandle handle, DWORD_PTR context) : m_handle(std::move(handle)), m_context(context) {}
    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;

    // HttpOpenRequest; throws CInternetException when WinINet refuses. version null: WinINet's default.
    std::unique_ptr<CHttpFile> OpenRequest(const wchar_t* verb, const std::wstring& object, const wchar_t* referrer,
                                           DWORD_PTR context, const wchar_t** acceptTypes, const wchar_t* version,
                                           DWORD flags);
    void Close() { m_handle.Close(); }
    HINTERNET Handle() const { return m_handle.Get(); }

private:
    CInternetHandle m_handle;
    DWORD_PTR m_context;
};

class CInternetSession {
public:
    // InternetOpen with the given user agent; throws CInternetException when WinINet refuses.
    CInternetSession(const wchar_t* userAgent, DWORD_PTR context = 1, DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG,
                     const wchar_t* proxyName = nullptr, const wchar_t* proxyBypass = nullptr, DWORD flags = 0);
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // InternetConnect to an HTTP(S) server; throws CInternetException when WinINet refuses.
    std::unique_ptr<CHttpConnection> GetHttpConnection(const std::wstring& server, INTERNET_PORT port,
                                                       const wchar_t* userName = nullptr,
                                                       const wchar_t* password = nullptr);
    BOOL SetOption(DWORD option, DWORD value) { return SetInternetOption(m_handle.Get(), option, value); }
    BOOL QueryOption(DWORD option, DWORD& value) const { return QueryInternetOption(m_handle.Get(), option, value); }
    void Close() { m_handle.Close(); }
    HINTERNET Handle() const { return m_handle.Get(); }
    DWORD_PTR Context() const { return m_context; }

private:
    CInternetHandle m_handle;
    DWORD_PTR m_context;
};

}  // namespace fw
