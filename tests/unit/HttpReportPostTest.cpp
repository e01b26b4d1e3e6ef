// The download-count report post: what goes to the server, where the answer is stored, and the
// configured timeouts, which only this operation honours.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "download/HttpDownload.h"
#include "support/FileOps.h"
#include "tests/unit/HttpTestFixture.h"

namespace vttest {
namespace {

class HttpReportPostTest : public HttpServerTest {
protected:
    void SetUp() override {
        HttpServerTest::SetUp();
        theApp.m_nConnectTimeout = -1;
        theApp.m_nSendTimeout = -1;
        theApp.m_nReceiveTimeout = -1;
        theApp.m_strSavePath = Folder();
        answer = temp.File(L"DownloadCount.xml");
    }
    int Post(const std::wstring& parameters) { return CHttpDownLoad::SendMsgToInternetDetail(parameters, answer); }
    std::wstring answer;
};

TEST_F(HttpReportPostTest, NoCountServerGivesNoUrlWithoutConnecting) {
    theApp.m_strCountServerUrl.clear();
    EXPECT_EQ(Post(L"a=1"), DL_ERR_NOURL);
    EXPECT_TRUE(log.Contains(L"Error:CHttpDownLoad::SendMsgToInternetDetail:The sendURL is NULL."));
    EXPECT_EQ(log.Count(L"End  :CHttpDownLoad::SendMsgToInternetDetail"), 1u);
    EXPECT_FALSE(FileExists(answer));
    EXPECT_EQ(Recorded("/").Size(), 0u);
}

TEST_F(HttpReportPostTest, OtherSchemeIsRefusedBeforeAnyConnection) {
    theApp.m_strCountServerUrl = L"ftp://127.0.0.1:" + std::to_wstring(server.Ports().http) + L"/count";
    EXPECT_EQ(Post(L"a=1"), DL_ERR_CONNECT);
    EXPECT_TRUE(log.Contains(
        L"Error:CHttpDownLoad::SendMsgToInternetDetail:The sort of internet service is not http and https."));
    EXPECT_EQ(Recorded("/").Size(), 0u);
}

// The body is the parameter text in the thread's 8-bit code page (here Windows-1252), sent with
// the form content type; an answer file of an earlier run is replaced, not appended to.
TEST_F(HttpReportPostTest, PostsTheParametersAndReplacesTheAnswerFile) {
    Serve("/count/report", R"({"body_text": "<DownloadCount><Result>0</Result></DownloadCount>"})");
    theApp.m_strCountServerUrl = Url(L"/count/report?v=1");
    WriteTextFile(answer, std::string(4096, 'o'));

    const std::wstring parameters = L"model=X1&name=caf\u00e9&count=2";
    ASSERT_EQ(Post(parameters), DL_SUCCESS);
    EXPECT_EQ(ReadTextFile(answer), "<DownloadCount><Result>0</Result></DownloadCount>");

    JsonValue records = Recorded("/count/");
    ASSERT_EQ(records.Size(), 1u);
    const JsonValue& record = records[size_t{0}];
    EXPECT_EQ(record["method"].Str(), "POST");
    EXPECT_EQ(record["path"].Str(), "/count/report?v=1");
    EXPECT_EQ(record["version"].Str(), "HTTP/1.0");
    EXPECT_EQ(record["body_base64"].Str(), "bW9kZWw9WDEmbmFtZT1jYWbpJmNvdW50PTI=");  // "...caf\xE9..."
    EXPECT_EQ(HeaderOf(record, "Content-Type"), "application/x-www-form-urlencoded; charset=UTF-8");
    EXPECT_EQ(HeaderOf(record, "Content-Length"), "26");
    EXPECT_EQ(HeaderOf(record, "User-Agent"), "CHttpSessionDownloadFile");
    EXPECT_EQ(HeaderOf(record, "Authorization"), "<absent>");

    EXPECT_TRUE(log.Contains(L"Info :CHttpDownLoad::SendMsgToInternetDetail: post to server data head is "
                             L"[Content-Type: application/x-www-form-urlencoded; charset=UTF-8]"));
    EXPECT_TRUE(log.Contains(L"Info :CHttpDownLoad::SendMsgToInternetDetail: post to server data is [" + parameters +
                             L"]"));
    EXPECT_TRUE(log.Contains(L"Info :CHttpDownLoad::SendMsgToInternetDetail: downloaded file save directory is " +
                             Folder()));
    EXPECT_TRUE(log.Contains(L"Info :CHttpDownLoad::SendMsgToInternetDetail: QueryInfoStatusCode result code is:200"));
}

TEST_F(HttpReportPostTest, UnacceptedStatusLeavesTheOldAnswerAlone) {
    for (int status : {500, 504, 404}) {
        SCOPED_TRACE(status);
        Serve("/count/fail", "{\"statuses\": " + std::to_string(status) + "}");
        theApp.m_strCountServerUrl = Url(L"/count/fail");
        WriteTextFile(answer, "earlier answer");
        EXPECT_EQ(Post(L"a=1"), DL_ERR_CONNECT);
        EXPECT_EQ(ReadTextFile(answer), "earlier answer");
        EXPECT_TRUE(log.Contains(
            L"Error:CHttpDownLoad::SendMsgToInternetDetail:Querying Status code is not HTTP_STATUS_OK.code is " +
            std::to_wstring(status)));
    }
}

TEST_F(HttpReportPostTest, AnswerFileThatCannotBeOpenedGivesFileError) {
    Serve("/count/report", R"({"body_text": "x"})");
    theApp.m_strCountServerUrl = Url(L"/count/report");
    answer = temp.File(L"missing\\DownloadCount.xml");
    EXPECT_EQ(Post(L"a=1"), DL_ERR_FILE);
    EXPECT_TRUE(log.Contains(
        L"Error:CHttpDownLoad::SendMsgToInternetDetail:Failed to open the file. GetLastError code is:3"));
}

// A server slower than the configured receive timeout fails the post; without a timeout the
// platform default waits for it.
TEST_F(HttpReportPostTest, ReceiveTimeoutIsSetFromTheConfiguration) {
    Serve("/count/slow", R"({"body_text": "late", "delay_ms": 2500})");
    theApp.m_strCountServerUrl = Url(L"/count/slow");

    theApp.m_nReceiveTimeout = 1;
    EXPECT_EQ(Post(L"a=1"), DL_ERR_CONNECT);
    const std::wstring prefix = L"Error:CHttpDownLoad::SendMsgToInternetDetail:InternetException";
    std::vector<std::wstring> lines;
    for (const std::wstring& message : log.Messages())
        if (message.rfind(prefix, 0) == 0) lines.push_back(message.substr(prefix.size()));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], L"");
    EXPECT_EQ(lines[1].rfind(L"...getLastError:", 0), 0u);
    EXPECT_EQ(lines[2].rfind(L"...strCError:", 0), 0u);
    EXPECT_EQ(lines[3], L"...m_dwContext:1");
    EXPECT_EQ(lines[4].rfind(L"...m_dwError:120", 0), 0u);

    theApp.m_nReceiveTimeout = 0;
    EXPECT_EQ(Post(L"a=1"), DL_SUCCESS);
    EXPECT_EQ(ReadTextFile(answer), "late");
}

}  // namespace
}  // namespace vttest
