// Whole-file downloads against the loopback server: what is sent, what is stored, and which code
// every kind of failure ends with.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/SoftMulti.h"
#include "download/HttpDownload.h"
#include "support/FileOps.h"
#include "tests/unit/HttpTestFixture.h"
#include "ui/DownloadDlg.h"

namespace vttest {
namespace {

class HttpWholeFileTest : public HttpServerTest {
protected:
    int Fetch(const std::wstring& url, int index = -1) {
        return CHttpDownLoad::DownloadFile(path, index, Folder(), url, nullptr);
    }
    int FetchResponseFile(const std::wstring& url, int itemIndex = 0, int subPackage = 0,
                          CDownloadDlg* page = nullptr) {
        return CHttpDownLoad::DownloadISSFile(path, subPackage, Folder(), url, itemIndex, page);
    }
    std::wstring path;
};

TEST_F(HttpWholeFileTest, StoresTheBodyUnderTheServersNameWithHttp10AndTheSessionsAgent) {
    Serve("/cat/VTInst.xml", R"({"body_text": "<catalogue/>"})");

    ASSERT_EQ(Fetch(Url(L"/cat/VTInst.xml")), DL_SUCCESS);
    EXPECT_EQ(path, Folder() + L"VTInst.xml");
    EXPECT_EQ(ReadTextFile(path), "<catalogue/>");

    JsonValue records = Recorded("/cat/");
    ASSERT_EQ(records.Size(), 1u);
    EXPECT_EQ(records[size_t{0}]["method"].Str(), "GET");
    EXPECT_EQ(records[size_t{0}]["version"].Str(), "HTTP/1.0");
    EXPECT_EQ(HeaderOf(records[size_t{0}], "User-Agent"), "CHttpSessionDownloadFile");
    EXPECT_TRUE(log.Contains(L"End  :CHttpDownLoad::DownloadFile"));
    EXPECT_FALSE(log.Contains(L"Start:CHttpDownLoad::DownloadFile"));
}

TEST_F(HttpWholeFileTest, BodyLargerThanOneBlockArrivesWhole) {
    Serve("/big/payload.bin", R"({"body_pattern": 300001})");
    ASSERT_EQ(FetchResponseFile(Url(L"/big/payload.bin"), 2), DL_SUCCESS);
    EXPECT_EQ(path, Folder() + L"payload_03.bin");
    EXPECT_EQ(ReadTextFile(path).size(), 300001u);
}

TEST_F(HttpWholeFileTest, OtherSchemesAreRefusedBeforeAnyConnection) {
    const std::wstring refused[] = {
        L"ftp://127.0.0.1:" + std::to_wstring(server.Ports().http) + L"/scheme/VTInst.xml",
        L"",
        L"scheme/VTInst.xml",
        L"file:///C:/scheme/VTInst.xml",
    };
    for (const std::wstring& url : refused) {
        EXPECT_EQ(Fetch(url), DL_ERR_CONNECT);
        EXPECT_EQ(FetchResponseFile(url), DL_ERR_CONNECT);
    }
    EXPECT_EQ(log.Count(L"Error:CHttpDownLoad::DownloadFile:The sort of internet service is not http and https."),
              4u);
    EXPECT_EQ(log.Count(L"Error:CHttpDownLoad::DownloadISSFile:The sort of internet service is not http and https."),
              4u);
    EXPECT_EQ(log.Count(L"End  :CHttpDownLoad::DownloadISSFile"), 4u);
    EXPECT_EQ(Recorded("/").Size(), 0u);
}

TEST_F(HttpWholeFileTest, CertificatesAreNotCheckedForIssuerDateOrName) {
    Serve("/tls/VTInst.xml", R"({"body_text": "secure"})");
    for (Listener listener : {Listener::Https, Listener::HttpsExpired, Listener::HttpsWrongName}) {
        SCOPED_TRACE(static_cast<int>(listener));
        path.clear();
        EXPECT_EQ(Fetch(Url(L"/tls/VTInst.xml", listener)), DL_SUCCESS);
        EXPECT_EQ(ReadTextFile(path), "secure");
    }
    EXPECT_EQ(Recorded("/tls/").Size(), 3u);
}

// Only the package work retries; the single files of the user-interface thread fail at once.
TEST_F(HttpWholeFileTest, UnacceptedStatusGivesRetryOnlyForTransientStatusesOfResponseFiles) {
    const struct {
        int status;
        int single;
        int responseFile;
    } cases[] = {{408, DL_ERR_CONNECT, DL_ERR_RETRY},
                 {504, DL_ERR_CONNECT, DL_ERR_RETRY},
                 {404, DL_ERR_CONNECT, DL_ERR_CONNECT},
                 {500, DL_ERR_CONNECT, DL_ERR_CONNECT},
                 {206, DL_ERR_CONNECT, DL_ERR_CONNECT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        Serve("/status/setup.iss", "{\"statuses\": " + std::to_string(c.status) + ", \"body_text\": \"x\"}");
        path.clear();
        EXPECT_EQ(Fetch(Url(L"/status/setup.iss")), c.single);
        EXPECT_EQ(FetchResponseFile(Url(L"/status/setup.iss")), c.responseFile);
        EXPECT_TRUE(path.empty());
        EXPECT_TRUE(log.Contains(
            L"Error:CHttpDownLoad::DownloadISSFile:Querying Status code is not HTTP_STATUS_OK.code is " +
            std::to_wstring(c.status)));
    }
    EXPECT_EQ(log.Count(L"Error:CHttpDownLoad::DownloadFile:Querying Status code is not HTTP_STATUS_OK."), 5u);
    EXPECT_FALSE(FileExists(Folder() + L"setup.iss"));
    EXPECT_FALSE(FileExists(Folder() + L"setup_01.iss"));
}

TEST_F(HttpWholeFileTest, ConnectionDroppedMidBodyIsANetworkFailureNotAShortFile) {
    for (const char* mode : {"fin", "reset"}) {
        SCOPED_TRACE(mode);
        Serve("/drop/setup.iss",
              std::string(R"({"body_pattern": 200000, "close_after": 5000, "close_mode": ")") + mode + "\"}");
        EXPECT_EQ(Fetch(Url(L"/drop/setup.iss")), DL_ERR_CONNECT);
        path.clear();
        EXPECT_EQ(FetchResponseFile(Url(L"/drop/setup.iss")), DL_ERR_RETRY);
        // After a clean close the body had begun: the attempted path is handed back (a reset can
        // come before the answer's head, and then no path is known yet).
        if (std::string(mode) == "fin") {
            EXPECT_EQ(path, Folder() + L"setup_01.iss");
        }
    }
    EXPECT_EQ(log.Count(L"Error::CHttpDownLoad::DownloadFile:InternetException"), 2u);
    EXPECT_EQ(log.Count(L"Error::CHttpDownLoad::DownloadISSFile:InternetException"), 2u);
    EXPECT_TRUE(log.Contains(L"Error::CHttpDownLoad::DownloadISSFile:InternetException...m_dwContext:1"));
}

TEST_F(HttpWholeFileTest, UnreachableServerIsANetworkFailure) {
    // A listener that was just closed: nothing accepts there.
    const std::wstring url = L"http://127.0.0.1:1/gone/setup.iss";
    EXPECT_EQ(Fetch(url), DL_ERR_CONNECT);
    EXPECT_EQ(FetchResponseFile(url), DL_ERR_RETRY);
    EXPECT_TRUE(log.Contains(L"Error::CHttpDownLoad::DownloadFile:InternetException"));
    const std::wstring prefix = L"Error::CHttpDownLoad::DownloadISSFile:InternetException";
    std::vector<std::wstring> lines;
    for (const std::wstring& message : log.Messages())
        if (message.rfind(prefix, 0) == 0) lines.push_back(message.substr(prefix.size()));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind(L"....getLastError:", 0), 0u);
    EXPECT_EQ(lines[1], L"");
    EXPECT_EQ(lines[2].rfind(L"...strCError:", 0), 0u);
    EXPECT_GT(lines[2].size(), std::wstring(L"...strCError:").size());
    EXPECT_EQ(lines[3], L"...m_dwContext:1");
    EXPECT_EQ(lines[4], L"...m_dwError:12029");
}

TEST_F(HttpWholeFileTest, NamingFollowsTheIndexAndAUrlEndingInAFolderGivesOnlyTheSuffix) {
    Serve("/name/License.rtf", R"({"body_text": "license"})");
    Serve("/name/dir/", R"({"body_text": "folder"})");

    ASSERT_EQ(Fetch(Url(L"/name/License.rtf"), 1), DL_SUCCESS);
    EXPECT_EQ(path, Folder() + L"License_02.rtf");
    ASSERT_EQ(FetchResponseFile(Url(L"/name/dir/"), 0), DL_SUCCESS);
    EXPECT_EQ(path, Folder() + L"_01");
    EXPECT_EQ(ReadTextFile(path), "folder");
    EXPECT_TRUE(log.Contains(L"Info :CHttpDownLoad::DownloadISSFile:download file save path is:" + path));
}

// A folder + name of 256 characters is stored; one more character, or a list position whose
// suffix would carry the path past 259 characters, fails as a local file problem.
TEST_F(HttpWholeFileTest, JoinedPathLimitIs256Characters) {
    const std::wstring base = Folder();
    const size_t folderLength = 236;
    ASSERT_LT(base.size() + 2, folderLength);
    const std::wstring folder = base + std::wstring(folderLength - base.size() - 1, L'f') + L"\\";
    ASSERT_EQ(folder.size(), folderLength);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));

    const std::wstring fits = std::wstring(256 - folderLength - 4, L'a') + L".iss";
    const std::wstring tooLong = std::wstring(257 - folderLength - 4, L'b') + L".iss";
    Serve("/long/" + Narrow(fits), R"({"body_text": "fits"})");
    Serve("/long/" + Narrow(tooLong), R"({"body_text": "too long"})");

    EXPECT_EQ(CHttpDownLoad::DownloadFile(path, -1, folder, Url(L"/long/" + fits), nullptr), DL_SUCCESS);
    EXPECT_EQ(path.size(), 256u);
    EXPECT_EQ(ReadTextFile(path), "fits");

    path = L"untouched";
    EXPECT_EQ(CHttpDownLoad::DownloadFile(path, -1, folder, Url(L"/long/" + tooLong), nullptr), DL_ERR_FILE);
    EXPECT_EQ(path, L"untouched");
    EXPECT_TRUE(log.Contains(L"Error::CHttpDownLoad::DownloadFile:The path of download file is too long."));

    EXPECT_EQ(CHttpDownLoad::DownloadISSFile(path, 0, folder, Url(L"/long/" + tooLong), 0, nullptr), DL_ERR_FILE);
    EXPECT_EQ(CHttpDownLoad::DownloadISSFile(path, 0, folder, Url(L"/long/" + fits), 98, nullptr), DL_SUCCESS);
    EXPECT_EQ(path.size(), 259u);
    EXPECT_EQ(CHttpDownLoad::DownloadISSFile(path, 0, folder, Url(L"/long/" + fits), 99, nullptr), DL_ERR_FILE);
    EXPECT_EQ(log.Count(L"Error::CHttpDownLoad::DownloadISSFile:The path of download file is too long."), 2u);
}

TEST_F(HttpWholeFileTest, TargetThatCannotBeCreatedGivesFileError) {
    Serve("/nofolder/setup.iss", R"({"body_text": "x"})");
    const std::wstring missing = Folder() + L"missing\\";
    EXPECT_EQ(CHttpDownLoad::DownloadFile(path, -1, missing, Url(L"/nofolder/setup.iss"), nullptr), DL_ERR_FILE);
    EXPECT_EQ(path, missing + L"setup.iss");
    EXPECT_TRUE(log.Contains(L"Error:CHttpDownLoad::DownloadFile:Failed to download the file."));
    EXPECT_EQ(CHttpDownLoad::DownloadISSFile(path, 0, missing, Url(L"/nofolder/setup.iss"), 0, nullptr), DL_ERR_FILE);
    EXPECT_TRUE(log.Contains(L"Error:CHttpDownLoad::DownloadISSFile:Failed to open the file.GetLastError code is:3"));
}

// Configuration files (".xml" in the URL, case-sensitive) carry the configuration line, anything
// else the catalogue line; an empty line is never sent.
TEST_F(HttpWholeFileTest, SingleFileHeaderChoice) {
    const std::string config = "Authorization: Basic Y29uZmlnOnB3";
    const std::string catalogue = "Authorization: Basic c29mdDpwdw==";
    const struct {
        const wchar_t* path;
        const char* authLine;
        const char* softLine;
        std::string expected;
    } cases[] = {
        {L"/hdr/VTInst.xml", config.c_str(), catalogue.c_str(), "Basic Y29uZmlnOnB3"},
        {L"/hdr/VTInst.xml", "", catalogue.c_str(), "<absent>"},
        {L"/hdr/VTInst.XML", config.c_str(), catalogue.c_str(), "Basic c29mdDpwdw=="},
        {L"/hdr/vtinst.ini", config.c_str(), catalogue.c_str(), "Basic c29mdDpwdw=="},
        {L"/hdr/vtinst.ini", config.c_str(), "", "<absent>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.path) + " auth=" + c.authLine + " soft=" + c.softLine);
        Serve(Narrow(c.path), R"({"body_text": "x"})");
        ASSERT_TRUE(server.ClearRequests());
        theApp.m_strAuthHeader = Widen(c.authLine);
        theApp.m_strSoftAuthHeader = Widen(c.softLine);
        EXPECT_EQ(Fetch(Url(c.path)), DL_SUCCESS);
        JsonValue records = Recorded("/hdr/");
        ASSERT_EQ(records.Size(), 1u);
        EXPECT_EQ(HeaderOf(records[size_t{0}], "Authorization"), c.expected);
    }
}

// The home application's OCR packs inside a bundle carry the OCR-pack line; everything else the
// catalogue line.
TEST_F(HttpWholeFileTest, ResponseFileHeaderChoice) {
    const std::wstring ocrLine = L"Authorization: Basic b2NyOnB3";
    const std::wstring softLine = L"Authorization: Basic c29mdDpwdw==";
    CSoftMultiList bundle(3);
    bundle[0].m_id = L"Veltrona OCR LangPack2";
    bundle[1].m_id = L"Veltrona Home OCR LangPack3";
    bundle[2].m_id = L"Veltrona Home OCR LangPack2";
    CUpdateInfoList list(3);
    list[0].m_id = L"Veltrona Manager";
    list[1].m_id = L"Veltrona OCR LangPack2";
    list[1].m_subPackages = &bundle;
    list[1].m_packageCount = 3;
    CSoftMultiList lowerCase(2);
    lowerCase[1].m_id = L"veltrona home ocr langpack3";
    list[2].m_subPackages = &lowerCase;
    CDownloadDlg page;
    page.SetDownloadList(&list);

    const struct {
        int item;
        int subPackage;
        std::wstring ocr;
        std::wstring soft;
        std::string expected;
    } cases[] = {
        {0, 0, ocrLine, softLine, "Basic c29mdDpwdw=="},
        {0, 0, ocrLine, L"", "<absent>"},
        {1, 0, ocrLine, softLine, "Basic c29mdDpwdw=="},
        {1, 1, ocrLine, softLine, "Basic b2NyOnB3"},
        {1, 2, ocrLine, L"", "Basic b2NyOnB3"},
        {2, 1, ocrLine, softLine, "Basic c29mdDpwdw=="},
        {1, 1, L"", L"", "<absent>"},
        // The OCR-pack line is passed on even when empty: nothing is added and the file still comes.
        {1, 1, L"", softLine, "<absent>"},
    };
    Serve("/isshdr/setup.iss", R"({"body_text": "[InstallShield Silent]"})");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "item " << c.item << " sub " << c.subPackage << " ocr "
                                        << Narrow(c.ocr) << " soft " << Narrow(c.soft));
        ASSERT_TRUE(server.ClearRequests());
        theApp.m_strOcrAuthHeader = c.ocr;
        theApp.m_strSoftAuthHeader = c.soft;
        EXPECT_EQ(FetchResponseFile(Url(L"/isshdr/setup.iss"), c.item, c.subPackage, &page), DL_SUCCESS);
        JsonValue records = Recorded("/isshdr/");
        ASSERT_EQ(records.Size(), 1u);
        EXPECT_EQ(HeaderOf(records[size_t{0}], "Authorization"), c.expected);
    }
    EXPECT_GE(log.Count(L"Start:CDownloadDlg::GetDownloadList"), 8u);
    EXPECT_EQ(log.Count(L"Start:CDownloadDlg::GetDownloadList"), log.Count(L"End  :CDownloadDlg::GetDownloadList"));
}

TEST_F(HttpWholeFileTest, ResponseFileLogsItsSteps) {
    Serve("/isslog/setup.iss", R"({"body_text": "x"})");
    const std::wstring url = Url(L"/isslog/setup.iss");
    ASSERT_EQ(FetchResponseFile(url, 0), DL_SUCCESS);
    const std::vector<std::wstring> expected = {
        L"Start:CHttpDownLoad::DownloadISSFile",
        L"Info :CHttpDownLoad::DownloadISSFile: downloaded file save directory is " + Folder(),
        L"Info :CHttpDownLoad::DownloadISSFile: download file URL is " + url,
        L"Info :CHttpDownLoad::DownloadISSFile: QueryInfoStatusCode result code is:200",
        L"Start:CHttpDownLoad::RenameDownFile",
        L"End  :CHttpDownLoad::RenameDownFile",
        L"Info :CHttpDownLoad::DownloadISSFile:download file save path is:" + Folder() + L"setup_01.iss",
        L"End  :CHttpDownLoad::DownloadISSFile",
    };
    std::vector<std::wstring> messages = log.Messages();
    size_t next = 0;
    for (const std::wstring& message : messages)
        if (next < expected.size() && message == expected[next]) ++next;
    EXPECT_EQ(next, expected.size()) << "missing or out of order: " << Narrow(expected[std::min(next, expected.size() - 1)]);
    EXPECT_EQ(log.Count(L"End  :CHttpDownLoad::DownloadISSFile"), 1u);
    // However the engine is split into files, its lines carry its one source name.
    for (const LogEntry& entry : log.Entries()) {
        if (entry.message.find(L"CHttpDownLoad::") != std::wstring::npos) {
            EXPECT_EQ(entry.source, L"HttpDownload.cpp");
        }
    }
}

}  // namespace
}  // namespace vttest
