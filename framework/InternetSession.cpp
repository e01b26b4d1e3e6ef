#include "framework/InternetSession.h"

#include "framework/HttpFile.h"
#include "framework/InternetException.h"

namespace fw {

BOOL QueryInternetOption(HINTERNET handle, DWORD option, DWORD& value) {
    DWORD size = sizeof(value);
    return handle && InternetQueryOptionW(handle, option, &value, &size);
}

BOOL SetInternetOption(HINTERNET handle, DWORD option, DWORD value) {
    return handle && InternetSetOptionW(handle, option, &value, sizeof(value));
}

CInternetSession::CInternetSession(const wchar_t* userAgent, DWORD_PTR context, DWORD accessType,
                                   const wchar_t* proxyName, const wchar_t* proxyBypass, DWORD flags)
    : m_handle(InternetOpenW(userAgent, accessType, proxyName, proxyBypass, flags)), m_context(context) {
    if (!m_handle) ThrowLastInternetError(context);
}

std::unique_ptr<CHttpConnection> CInternetSession::GetHttpConnection(const std::wstring& server, INTERNET_PORT port,
                                                                     const wchar_t* userName,
                                                                     const wchar_t* password) {
    CInternetHandle connection(InternetConnectW(m_handle.Get(), server.c_str(), port, userName, password,
                                                INTERNET_SERVICE_HTTP, 0, m_context));
    if (!connection) ThrowLastInternetError(m_context);
    return std::make_unique<CHttpConnection>(std::move(connection), m_context);
}

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(const wchar_t* verb, const std::wstring& object,
                                                        const wchar_t* referrer, DWORD_PTR context,
                                                        const wchar_t** acceptTypes, const wchar_t* version,
                                                        DWORD flags) {
    CInternetHandle request(HttpOpenRequestW(m_handle.Get(), verb, object.c_str(), version, referrer, acceptTypes,
                                             flags, context));
    if (!request) ThrowLastInternetError(context);
    return std::make_unique<CHttpFile>(std::move(request), context, object);
}

}  // namespace fw
