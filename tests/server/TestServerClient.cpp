#include "tests/server/TestServerClient.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vttest {

namespace {

// Long enough for a control call while the server is busy streaming elsewhere; short enough that a dead
// server fails the test instead of hanging it.
constexpr DWORD kSocketTimeoutMs = 15000;

class SocketHandle {
public:
    explicit SocketHandle(SOCKET s) : m_socket(s) {}
    ~SocketHandle()
    {
        if (m_socket != INVALID_SOCKET)
            closesocket(m_socket);
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    SOCKET Get() const { return m_socket; }

private:
    SOCKET m_socket;
};

class WinsockSession {
public:
    WinsockSession()
    {
        WSADATA data;
        m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockSession()
    {
        if (m_started)
            WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    bool Started() const { return m_started; }

private:
    bool m_started = false;
};

std::string SocketError(const char* what)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s failed, Winsock error %d", what, WSAGetLastError());
    return text;
}

bool ExchangeOnLoopback(int port, const std::string& request, std::string& response, std::string& error)
{
    SocketHandle sock(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (sock.Get() == INVALID_SOCKET) {
        error = SocketError("socket");
        return false;
    }
    DWORD timeout = kSocketTimeoutMs;
    setsockopt(sock.Get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    setsockopt(sock.Get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(sock.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
        error = SocketError("connect to the test server");
        return false;
    }
    for (std::size_t sent = 0; sent < request.size();) {
        int n = send(sock.Get(), request.data() + sent, static_cast<int>(request.size() - sent), 0);
        if (n == SOCKET_ERROR) {
            error = SocketError("send");
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    // The request is HTTP/1.0 without keep-alive, so the server closes after its answer.
    char buffer[8192];
    for (;;) {
        int n = recv(sock.Get(), buffer, sizeof buffer, 0);
        if (n == 0)
            return true;
        if (n == SOCKET_ERROR) {
            error = SocketError("recv");
            return false;
        }
        response.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string PercentEncode(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            std::strchr("-._~/", c) != nullptr) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

bool ReadWholeFile(const std::wstring& path, std::string& content)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[4096];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0)
        content.append(buffer, read);
    CloseHandle(file);
    return ok;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Wine's own path mapping (kernel32 exports under Wine only); both return memory from the process heap.
using UnixNameFunction = char*(__cdecl*)(const wchar_t*);
using DosNameFunction = wchar_t*(__cdecl*)(const char*);

// Through void* because the exports are cdecl functions with arguments, unlike FARPROC.
void* WineExport(const char* name)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<void*>(GetProcAddress(kernel, name)) : nullptr;
}

}  // namespace

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], length, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], length);
    return out;
}

std::wstring WinePathFromHost(const std::string& hostPath)
{
    if (hostPath.empty() || hostPath[0] != '/')
        return FromUtf8(hostPath);  // already a Windows path
    if (auto toDos = reinterpret_cast<DosNameFunction>(WineExport("wine_get_dos_file_name"))) {
        if (wchar_t* name = toDos(hostPath.c_str())) {
            std::wstring result(name);
            HeapFree(GetProcessHeap(), 0, name);
            return result;
        }
    }
    std::wstring result = L"Z:" + FromUtf8(hostPath);
    for (wchar_t& c : result) {
        if (c == L'/')
            c = L'\\';
    }
    return result;
}

std::string HostPathFromWine(const std::wstring& winePath)
{
    auto toUnix = reinterpret_cast<UnixNameFunction>(WineExport("wine_get_unix_file_name"));
    if (toUnix == nullptr)
        return std::string();
    char* name = toUnix(winePath.c_str());
    if (name == nullptr)
        return std::string();
    std::string result(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

const std::string* FindRecordHeader(const JsonValue& record, const std::string& name)
{
    for (const JsonValue& header : record["headers"].Items()) {
        if (EqualsIgnoringCase(header[std::size_t(0)].Str(), name))
            return &header[std::size_t(1)].Str();
    }
    return nullptr;
}

bool CTestServerClient::Open()
{
    DWORD length = GetEnvironmentVariableW(L"VTINST_TEST_SERVER_PORTS", nullptr, 0);
    if (length == 0) {
        m_lastError = "VTINST_TEST_SERVER_PORTS is not set (start tests/server/vtserver.py with --port-file)";
        return false;
    }
    std::wstring value(length, L'\0');
    value.resize(GetEnvironmentVariableW(L"VTINST_TEST_SERVER_PORTS", &value[0], length));
    return Open(WinePathFromHost(ToUtf8(value)));
}

bool CTestServerClient::Open(const std::wstring& portFile)
{
    m_open = false;
    std::string text;
    if (!ReadWholeFile(portFile, text)) {
        m_lastError = "cannot read the port file " + ToUtf8(portFile);
        return false;
    }
    JsonValue ports;
    if (!JsonValue::Parse(text, ports) || ports["http"].Int() <= 0) {
        m_lastError = "the port file holds no http port: " + text;
        return false;
    }
    m_ports.http = static_cast<int>(ports["http"].Int());
    m_ports.https = static_cast<int>(ports["https"].Int());
    m_ports.httpsExpired = static_cast<int>(ports["https_expired"].Int());
    m_ports.httpsWrongName = static_cast<int>(ports["https_wrongname"].Int());
    m_ports.proxy = static_cast<int>(ports["proxy"].Int());
    m_open = true;
    return true;
}

int CTestServerClient::Port(Listener listener) const
{
    switch (listener) {
    case Listener::Http: return m_ports.http;
    case Listener::Https: return m_ports.https;
    case Listener::HttpsExpired: return m_ports.httpsExpired;
    case Listener::HttpsWrongName: return m_ports.httpsWrongName;
    case Listener::Proxy: return m_ports.proxy;
    }
    return 0;
}

std::wstring CTestServerClient::Url(Listener listener, const std::wstring& path) const
{
    bool secure = listener == Listener::Https || listener == Listener::HttpsExpired ||
                  listener == Listener::HttpsWrongName;
    return (secure ? L"https://localhost:" : L"http://127.0.0.1:") + std::to_wstring(Port(listener)) + path;
}

std::wstring CTestServerClient::ProxyServer() const
{
    return L"127.0.0.1:" + std::to_wstring(m_ports.proxy);
}

bool CTestServerClient::Call(const std::string& method, const std::string& target, const std::string& body,
                             int& status, std::string& answer)
{
    status = 0;
    answer.clear();
    if (!m_open) {
        m_lastError = "the test server client is not open";
        return false;
    }
    WinsockSession winsock;
    if (!winsock.Started()) {
        m_lastError = SocketError("WSAStartup");
        return false;
    }
    std::string request = method + " " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(m_ports.http) +
                          "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\n\r\n" + body;
    std::string response;
    if (!ExchangeOnLoopback(m_ports.http, request, response, m_lastError))
        return false;
    std::size_t headerEnd = response.find("\r\n\r\n");
    std::size_t space = response.find(' ');
    if (headerEnd == std::string::npos || space == std::string::npos || space > headerEnd) {
        m_lastError = "malformed answer from the test server: " + response.substr(0, 200);
        return false;
    }
    status = std::atoi(response.c_str() + space + 1);
    answer = response.substr(headerEnd + 4);
    if (status < 200 || status > 299) {
        m_lastError = method + " " + target + " answered " + std::to_string(status) + ": " + answer;
        return false;
    }
    return true;
}

bool CTestServerClient::Post(const std::string& name, const std::string& body)
{
    int status = 0;
    std::string answer;
    return Call("POST", "/_control/" + name, body, status, answer);
}

bool CTestServerClient::Reset(const std::string& pathPrefix)
{
    return Post("reset", pathPrefix.empty() ? std::string() : "{\"prefix\":" + JsonQuote(pathPrefix) + "}");
}

bool CTestServerClient::SetBehaviour(const std::string& path, const std::string& behaviourJson)
{
    return Post("behaviour", "{\"path\":" + JsonQuote(path) + ",\"behaviour\":" + behaviourJson + "}");
}

bool CTestServerClient::RemoveBehaviour(const std::string& path)
{
    return SetBehaviour(path, "null");
}

bool CTestServerClient::SetProxy(const std::string& proxyJson)
{
    return Post("proxy", proxyJson);
}

bool CTestServerClient::ClearRequests(const std::string& pathPrefix)
{
    return Post("clear_requests", pathPrefix.empty() ? std::string() : "{\"prefix\":" + JsonQuote(pathPrefix) + "}");
}

bool CTestServerClient::Requests(std::string& json, const std::string& pathPrefix)
{
    int status = 0;
    std::string target = "/_control/requests";
    if (!pathPrefix.empty())
        target += "?prefix=" + PercentEncode(pathPrefix);
    return Call("GET", target, std::string(), status, json);
}

bool CTestServerClient::Requests(JsonValue& records, const std::string& pathPrefix)
{
    std::string json;
    JsonValue answer;
    if (!Requests(json, pathPrefix))
        return false;
    if (!JsonValue::Parse(json, answer) || answer["requests"].GetKind() != JsonValue::Kind::Array) {
        m_lastError = "unreadable request records: " + json.substr(0, 200);
        return false;
    }
    records = answer["requests"];
    return true;
}

bool CTestServerClient::ProxyState(JsonValue& state)
{
    int status = 0;
    std::string json;
    if (!Call("GET", "/_control/proxy", std::string(), status, json))
        return false;
    if (!JsonValue::Parse(json, state)) {
        m_lastError = "unreadable proxy state: " + json;
        return false;
    }
    return true;
}

}  // namespace vttest
