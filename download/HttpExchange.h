// The WinINet objects of one operation's request, opened with the engine's fixed settings and
// closed in the order request, connection, session on every way out.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>

#include "framework/HttpFile.h"
#include "framework/InternetSession.h"

// Always fetched from the server, never written to the cache, connection kept for the request.
const DWORD kRequestFlagsHttp = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;
const DWORD kRequestFlagsHttps = kRequestFlagsHttp | INTERNET_FLAG_SECURE;
// The family's servers are reached whatever their certificate's issuer, name or dates.
const DWORD kIgnoreCertificateProblems =
    SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
// The report post's second chance after a certificate failure also ignores revocation and usage.
const DWORD kIgnoreAllCertificateProblems =
    kIgnoreCertificateProblems | SECURITY_FLAG_IGNORE_REVOCATION | SECURITY_FLAG_IGNORE_WRONG_USAGE;
const DWORD_PTR kRequestContext = 1;

class CHttpExchange {
public:
    // Opens the session with the system's preconfigured proxy settings; throws
    // fw::CInternetException when WinINet refuses.
    explicit CHttpExchange(const wchar_t* userAgent);
    ~CHttpExchange() { Close(); }
    CHttpExchange(const CHttpExchange&) = delete;
    CHttpExchange& operator=(const CHttpExchange&) = delete;

    fw::CInternetSession& Session() { return *m_session; }
    // Splits the URL; FALSE unless it parses as an http or https URL.
    BOOL SetUrl(const std::wstring& url);
    // Connects and opens an HTTP/1.0 request for the URL's object; throws fw::CInternetException.
    void OpenRequest(const wchar_t* verb);
    // Adds flags to the request's security option (read, add, set back).
    void AddSecurityFlags(DWORD flags);
    fw::CHttpFile& Request() { return *m_request; }
    // Status of the last answer; 0 when it cannot be read (no status is accepted then).
    DWORD QueryStatus();
    void Close();

private:
    std::unique_ptr<fw::CInternetSession> m_session;
    std::unique_ptr<fw::CHttpConnection> m_connection;
    std::unique_ptr<fw::CHttpFile> m_request;
    DWORD m_serviceType = 0;
    std::wstring m_server;
    std::wstring m_object;
    INTERNET_PORT m_port = 0;
};
