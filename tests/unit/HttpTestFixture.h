// Shared set-up of the download engine's tests: the loopback test server, a private temporary
// folder that also holds the log, and the application settings the engine reads, restored after
// each test.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/VTInst.h"
#include "tests/server/TestServerClient.h"
#include "tests/support/LogFile.h"
#include "tests/support/ScopedTempFolder.h"

namespace vttest {

// The engine's inputs in theApp, put back as they were.
class AppTransferSettingsGuard {
public:
    AppTransferSettingsGuard()
        : m_auth(theApp.m_strAuthHeader),
          m_soft(theApp.m_strSoftAuthHeader),
          m_ocr(theApp.m_strOcrAuthHeader),
          m_countUrl(theApp.m_strCountServerUrl),
          m_savePath(theApp.m_strSavePath),
          m_connect(theApp.m_nConnectTimeout),
          m_send(theApp.m_nSendTimeout),
          m_receive(theApp.m_nReceiveTimeout) {}
    ~AppTransferSettingsGuard() {
        theApp.m_strAuthHeader = m_auth;
        theApp.m_strSoftAuthHeader = m_soft;
        theApp.m_strOcrAuthHeader = m_ocr;
        theApp.m_strCountServerUrl = m_countUrl;
        theApp.m_strSavePath = m_savePath;
        theApp.m_nConnectTimeout = m_connect;
        theApp.m_nSendTimeout = m_send;
        theApp.m_nReceiveTimeout = m_receive;
    }
    AppTransferSettingsGuard(const AppTransferSettingsGuard&) = delete;
    AppTransferSettingsGuard& operator=(const AppTransferSettingsGuard&) = delete;

private:
    std::wstring m_auth, m_soft, m_ocr, m_countUrl, m_savePath;
    int m_connect, m_send, m_receive;
};

class HttpServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Open()) << "test server not reachable (run under tools/with-test-server.sh): "
                                   << server.LastError();
        ASSERT_TRUE(server.Reset()) << server.LastError();
        theApp.m_strAuthHeader.clear();
        theApp.m_strSoftAuthHeader.clear();
        theApp.m_strOcrAuthHeader.clear();
    }

    // Download folder with its trailing backslash.
    std::wstring Folder() const { return temp.Path() + L"\\"; }
    std::wstring Url(const std::wstring& path, Listener listener = Listener::Http) const {
        return server.Url(listener, path);
    }
    void Serve(const std::string& path, const std::string& behaviourJson) {
        ASSERT_TRUE(server.SetBehaviour(path, behaviourJson)) << server.LastError();
    }
    JsonValue Recorded(const std::string& pathPrefix) {
        JsonValue records;
        EXPECT_TRUE(server.Requests(records, pathPrefix)) << server.LastError();
        return records;
    }
    static std::string HeaderOf(const JsonValue& record, const std::string& name) {
        const std::string* value = FindRecordHeader(record, name);
        return value ? *value : std::string("<absent>");
    }

    AppTransferSettingsGuard settings;
    CTestServerClient server;
    ScopedTempFolder temp{true};
    LogFile log = LogFile::InFolder(temp.Path());
};

}  // namespace vttest
