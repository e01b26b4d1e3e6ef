// Client of the loopback test server (tests/server/vtserver.py) for tests running under Wine.
// It talks to the control API with plain Winsock, never WinINet, so the WinINet state of the code under test
// (connections kept alive, cached credentials, proxy settings) stays untouched by the test's own calls.
#pragma once
#include <string>

#include "tests/server/TestJson.h"

namespace vttest {

enum class Listener { Http, Https, HttpsExpired, HttpsWrongName, Proxy };

struct TestServerPorts {
    int http = 0;
    int https = 0;
    int httpsExpired = 0;
    int httpsWrongName = 0;
    int proxy = 0;
};

class CTestServerClient {
public:
    // Reads the ports from the file named by the environment variable VTINST_TEST_SERVER_PORTS
    // (a Linux path such as /tmp/b/ports.json is accepted and mapped to its Wine name).
    bool Open();
    bool Open(const std::wstring& portFile);
    bool IsOpen() const { return m_open; }
    const TestServerPorts& Ports() const { return m_ports; }
    int Port(Listener listener) const;

    // Address for the code under test: http://127.0.0.1:port/path, https://localhost:port/path (the
    // certificates are issued to localhost). For Listener::Proxy the proxy's http URL is returned; use
    // ProxyServer() for the "host:port" text of the ProxyServer setting.
    std::wstring Url(Listener listener, const std::wstring& path) const;
    std::wstring ProxyServer() const;

    // Control calls; false with LastError() set when the server refuses or cannot be reached.
    // Behaviour and proxy settings are JSON objects as described in tests/server/README.md.
    bool Reset(const std::string& pathPrefix = std::string());
    bool SetBehaviour(const std::string& path, const std::string& behaviourJson);
    bool RemoveBehaviour(const std::string& path);
    bool SetProxy(const std::string& proxyJson);
    bool ClearRequests(const std::string& pathPrefix = std::string());
    // The recorded requests: the raw answer {"requests": [...]}, or the parsed array.
    bool Requests(std::string& json, const std::string& pathPrefix = std::string());
    bool Requests(JsonValue& records, const std::string& pathPrefix = std::string());
    bool ProxyState(JsonValue& state);

    // One HTTP/1.0 exchange with the control listener; true for a 2xx answer.
    bool Call(const std::string& method, const std::string& target, const std::string& body, int& status,
              std::string& answer);

    const std::string& LastError() const { return m_lastError; }

private:
    bool Post(const std::string& name, const std::string& body);

    TestServerPorts m_ports;
    bool m_open = false;
    std::string m_lastError;
};

// The value of a recorded request's header (name compared case-insensitively); nullptr when absent.
const std::string* FindRecordHeader(const JsonValue& record, const std::string& name);

// Path names between the Linux host and Wine: "/x/y" <-> "Z:\x\y" and, through Wine's own mapping,
// any drive of the prefix (so a file a test writes under C:\ can be served with "body_file").
// Empty on failure.
std::wstring WinePathFromHost(const std::string& hostPath);
std::string HostPathFromWine(const std::wstring& winePath);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace vttest
