// Splits a URL into the parts a connection and a request need.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <string>

namespace fw {

// Service types of a parsed URL (the values the installer's callers compare with).
enum InternetService : DWORD {
    INET_SERVICE_UNKNOWN = 0x1000,
    INET_SERVICE_FTP = 1,
    INET_SERVICE_GOPHER = 2,
    INET_SERVICE_HTTP = 3,
    INET_SERVICE_FILE = 0x1009,
    INET_SERVICE_HTTPS = 0x100B,
};

// FALSE for an empty or unparsable URL, or one without a server. object is the path with the query
// ("/" when the URL has no path); port is the URL's port or the scheme's default.
BOOL ParseURL(const std::wstring& url, DWORD& serviceType, std::wstring& server, std::wstring& object,
              INTERNET_PORT& port);

}  // namespace fw
