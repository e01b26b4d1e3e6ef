#include "framework/UrlParser.h"

namespace fw {

namespace {

DWORD ServiceOfScheme(INTERNET_SCHEME scheme) {
    switch (scheme) {
        case INTERNET_SCHEME_HTTP: return INET_SERVICE_HTTP;
        case INTERNET_SCHEME_HTTPS: return INET_SERVICE_HTTPS;
        case INTERNET_SCHEME_FTP: return INET_SERVICE_FTP;
        case INTERNET_SCHEME_GOPHER: return INET_SERVICE_GOPHER;
        case INTERNET_SCHEME_FILE: return INET_SERVICE_FILE;
        default: return INET_SERVICE_UNKNOWN;
    }
}

}  // namespace

BOOL ParseURL(const std::wstring& url, DWORD& serviceType, std::wstring& server, std::wstring& object,
              INTERNET_PORT& port) {
    serviceType = INET_SERVICE_UNKNOWN;
    server.clear();
    object.clear();
    port = 0;
    if (url.empty()) return FALSE;

    // Non-zero lengths with null buffers: the parts come back as pointers into the URL itself.
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return FALSE;

    serviceType = ServiceOfScheme(parts.nScheme);
    if (parts.lpszHostName && parts.dwHostNameLength) server.assign(parts.lpszHostName, parts.dwHostNameLength);
    if (parts.lpszUrlPath && parts.dwUrlPathLength) object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo && parts.dwExtraInfoLength) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";
    port = parts.nPort;
    return !server.empty();
}

}  // namespace fw
