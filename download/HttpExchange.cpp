#include "download/HttpExchange.h"

#include "framework/UrlParser.h"

CHttpExchange::CHttpExchange(const wchar_t* userAgent)
    : m_session(std::make_unique<fw::CInternetSession>(userAgent, kRequestContext, INTERNET_OPEN_TYPE_PRECONFIG,
                                                       nullptr, nullptr, 0)) {}

BOOL CHttpExchange::SetUrl(const std::wstring& url) {
    if (!fw::ParseURL(url, m_serviceType, m_server, m_object, m_port)) return FALSE;
    return m_serviceType == fw::INET_SERVICE_HTTP || m_serviceType == fw::INET_SERVICE_HTTPS;
}

void CHttpExchange::OpenRequest(const wchar_t* verb) {
    const DWORD flags = m_serviceType == fw::INET_SERVICE_HTTPS ? kRequestFlagsHttps : kRequestFlagsHttp;
    m_connection = m_session->GetHttpConnection(m_server, m_port, nullptr, nullptr);
    m_request = m_connection->OpenRequest(verb, m_object, nullptr, kRequestContext, nullptr, L"HTTP/1.0", flags);
}

void CHttpExchange::AddSecurityFlags(DWORD flags) {
    DWORD current = 0;
    m_request->QueryOption(INTERNET_OPTION_SECURITY_FLAGS, current);
    m_request->SetOption(INTERNET_OPTION_SECURITY_FLAGS, current | flags);
}

DWORD CHttpExchange::QueryStatus() {
    DWORD status = 0;
    return m_request->QueryInfoStatusCode(status) ? status : 0;
}

void CHttpExchange::Close() {
    m_request.reset();
    m_connection.reset();
    m_session.reset();
}
