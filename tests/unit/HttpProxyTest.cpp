// A proxy that asks for credentials: the notice window, the system credential dialog and what is
// sent after the user answers it.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <memory>
#include <string>

#include "download/HttpDownload.h"
#include "support/Base64.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/StringTableModule.h"
#include "tests/support/SystemProxy.h"
#include "tests/support/TestThread.h"
#include "tests/unit/HttpTestFixture.h"

namespace vttest {
namespace {

const wchar_t kPageWindowClass[] = L"Veltrona_VTInst_WindowClass";

std::string BasicValue(const std::string& userAndPassword) {
    char encoded[256] = {};
    Base64EncodeLines(reinterpret_cast<const unsigned char*>(userAndPassword.data()), userAndPassword.size(), encoded,
                      sizeof(encoded));
    return "Basic " + std::string(encoded);
}

// What the notice looked like while the credential dialog was open.
struct NoticeSeen {
    bool present = false;
    RECT rect = {};
    bool boldText = false;
};

// On its own thread: waits for the credential dialog, records the notice, then answers the dialog
// (credentials and OK, or Cancel).
class CredentialDialogAnswerer {
public:
    CredentialDialogAnswerer(std::wstring user, std::wstring password, bool accept)
        : m_thread([this, user, password, accept] { Run(user, password, accept); }) {}
    ~CredentialDialogAnswerer() { Finish(); }
    bool Finish() {
        m_thread.Join();
        return m_answered;
    }
    const NoticeSeen& Notice() const { return m_notice; }

private:
    void Run(const std::wstring& user, const std::wstring& password, bool accept) {
        for (int attempt = 0; attempt < 300; ++attempt) {
            HWND dialog = FindCredentialDialog();
            if (!dialog) {
                Sleep(50);
                continue;
            }
            if (HWND notice = FindWindowW(kPageWindowClass, L"Veltrona Installer")) {
                m_notice.present = IsWindowVisible(notice) != FALSE;
                GetWindowRect(notice, &m_notice.rect);
                HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageW(notice, 1019, WM_GETFONT, 0, 0));
                m_notice.boldText = font && font == theApp.m_fontBold.Handle();
            }
            if (accept) {
                SendDlgItemMessageW(dialog, kUserNameEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(user.c_str()));
                SendDlgItemMessageW(dialog, kPasswordEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password.c_str()));
            }
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(accept ? IDOK : IDCANCEL, BN_CLICKED), 0);
            m_answered = true;
            return;
        }
    }

    NoticeSeen m_notice;
    std::atomic<bool> m_answered{false};
    vttest::TestThread m_thread;
};

class HttpProxyTest : public HttpServerTest {
protected:
    void SetUp() override {
        HttpServerTest::SetUp();
        proxy = std::make_unique<ScopedSystemProxy>(server.ProxyServer());
        // The notice's template lives in the program's resources; its window class is the pages' class.
        programResources = LoadLibraryExW((BuildFolder() + L"\\VTInst.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(programResources) << "VTInst.exe not found in VTINST_BIN_DIR";
        resources = std::make_unique<ScopedResourceModule>(programResources);
        WNDCLASSW pageClass = {};
        if (!GetClassInfoW(GetModuleHandleW(nullptr), kPageWindowClass, &pageClass)) {
            ASSERT_TRUE(GetClassInfoW(nullptr, L"#32770", &pageClass));
            pageClass.style |= CS_GLOBALCLASS;
            pageClass.hInstance = GetModuleHandleW(nullptr);
            pageClass.lpszClassName = kPageWindowClass;
            ASSERT_TRUE(RegisterClassW(&pageClass));
        }
        LOGFONTW bold = {};
        bold.lfHeight = -12;
        bold.lfWeight = FW_BOLD;
        wcscpy(bold.lfFaceName, L"Tahoma");
        if (!theApp.m_fontBold.Handle()) theApp.m_fontBold.CreateFontIndirect(bold);
    }
    void TearDown() override {
        resources.reset();
        if (programResources) FreeLibrary(programResources);
        proxy.reset();
    }
    void RequireCredentials(const std::string& userAndPassword, const std::string& realm) {
        ASSERT_TRUE(server.SetProxy("{\"credentials\": \"" + userAndPassword + "\", \"realm\": \"" + realm + "\"}"))
            << server.LastError();
    }
    static void ExpectAtBottomRightOfWorkArea(const NoticeSeen& notice) {
        RECT workArea = {};
        ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0));
        EXPECT_TRUE(notice.present);
        EXPECT_TRUE(notice.boldText);
        EXPECT_EQ(notice.rect.right, workArea.right);
        EXPECT_EQ(notice.rect.bottom, workArea.bottom);
        EXPECT_GT(notice.rect.right - notice.rect.left, 100);
    }

    std::unique_ptr<ScopedSystemProxy> proxy;
    HMODULE programResources = nullptr;
    std::unique_ptr<ScopedResourceModule> resources;
    std::wstring path;
};

TEST_F(HttpProxyTest, CancelledCredentialDialogEndsWithoutASecondSend) {
    RequireCredentials("cancel:pw", "cancel realm");
    Serve("/pcancel/VTInst.xml", R"({"body_text": "x"})");

    CredentialDialogAnswerer answerer(L"", L"", false);
    EXPECT_EQ(CHttpDownLoad::DownloadFile(path, -1, Folder(), Url(L"/pcancel/VTInst.xml"), nullptr), DL_ERR_CONNECT);
    ASSERT_TRUE(answerer.Finish()) << "the credential dialog did not appear";

    ExpectAtBottomRightOfWorkArea(answerer.Notice());
    EXPECT_EQ(FindWindowW(kPageWindowClass, L"Veltrona Installer"), nullptr);
    EXPECT_TRUE(log.Contains(L"Error:CHttpDownLoad::DownloadFile:Failed to INTERNET_FORCE_RETRY."));
    EXPECT_EQ(log.Count(L"Start:CNotifyDlg::OnInitDialog"), 1u);
    JsonValue records = Recorded("/pcancel/");
    ASSERT_EQ(records.Size(), 1u);
    EXPECT_EQ(records[size_t{0}]["status"].Int(), 407);
    EXPECT_TRUE(path.empty());
}

// After the credentials the origin's first answer decides, unless it is 400: then one more send.
TEST_F(HttpProxyTest, AnsweredCredentialDialogRepeatsTheRequestWithProxyCredentials) {
    const struct {
        const char* statuses;
        int result;
        size_t originAnswers;
    } cases[] = {
        {"[200]", DL_SUCCESS, 1},
        {"[400, 200]", DL_SUCCESS, 2},
        {"[400, 400, 200]", DL_ERR_CONNECT, 2},
        {"[504]", DL_ERR_CONNECT, 1},
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statuses);
        ++round;
        // A realm and user per round, so no credentials remembered from an earlier round help.
        const std::string user = "user" + std::to_string(round);
        RequireCredentials(user + ":secret", "realm " + std::to_string(round));
        ASSERT_TRUE(server.ClearRequests());
        Serve("/panswer/VTInst.xml", std::string("{\"statuses\": ") + c.statuses + ", \"body_text\": \"proxied\"}");

        CredentialDialogAnswerer answerer(Widen(user), L"secret", true);
        path.clear();
        EXPECT_EQ(CHttpDownLoad::DownloadFile(path, -1, Folder(), Url(L"/panswer/VTInst.xml"), nullptr), c.result);
        ASSERT_TRUE(answerer.Finish()) << "the credential dialog did not appear";
        ExpectAtBottomRightOfWorkArea(answerer.Notice());
        EXPECT_EQ(FindWindowW(kPageWindowClass, L"Veltrona Installer"), nullptr);

        size_t forwarded = 0;
        const std::string expected = BasicValue(user + ":secret");
        const JsonValue records = Recorded("/panswer/");
        // Wine sends a repeated request on the same handle as HTTP/1.1; the first one is ours.
        ASSERT_GE(records.Size(), 2u);
        EXPECT_EQ(records[size_t{0}]["version"].Str(), "HTTP/1.0");
        for (const JsonValue& record : records.Items()) {
            if (record["status"].Int() == 407) continue;
            ++forwarded;
            EXPECT_EQ(HeaderOf(record, "Proxy-Authorization"), expected)
                << "status " << record["status"].Int() << " seq " << record["seq"].Int();
        }
        EXPECT_EQ(forwarded, c.originAnswers);
        if (c.result == DL_SUCCESS) {
            EXPECT_EQ(ReadTextFile(path), "proxied");
        }
    }
}

TEST_F(HttpProxyTest, ReportPostIsRepeatedWithItsBodyAfterCredentials) {
    RequireCredentials("poster:pw", "report realm");
    Serve("/preport/count", R"({"body_text": "<result>OK</result>"})");
    theApp.m_strCountServerUrl = Url(L"/preport/count");

    CredentialDialogAnswerer answerer(L"poster", L"pw", true);
    const std::wstring answer = temp.File(L"DownloadCount.xml");
    EXPECT_EQ(CHttpDownLoad::SendMsgToInternetDetail(L"model=X1&count=1", answer), DL_SUCCESS);
    ASSERT_TRUE(answerer.Finish());
    ExpectAtBottomRightOfWorkArea(answerer.Notice());
    EXPECT_EQ(ReadTextFile(answer), "<result>OK</result>");

    JsonValue records = Recorded("/preport/");
    ASSERT_GE(records.Size(), 2u);
    const JsonValue& last = records[records.Size() - 1];
    EXPECT_EQ(last["method"].Str(), "POST");
    EXPECT_EQ(last["body_text"].Str(), "model=X1&count=1");
    EXPECT_EQ(HeaderOf(last, "Proxy-Authorization"), BasicValue("poster:pw"));
}

// The report post gets a second chance when the send after the credentials fails: once more,
// with every certificate problem ignored. A downloading operation gives up at once.
TEST_F(HttpProxyTest, ReportPostRetriesAFailedSendAfterCredentialsOnce) {
    RequireCredentials("guard:pw", "guard realm");
    // The origin answers later than the report's receive timeout, so every forwarded send fails.
    Serve("/pguard/count", R"({"body_text": "late", "delay_ms": 2500})");
    theApp.m_strCountServerUrl = Url(L"/pguard/count");
    theApp.m_nReceiveTimeout = 1;

    CredentialDialogAnswerer answerer(L"guard", L"pw", true);
    EXPECT_EQ(CHttpDownLoad::SendMsgToInternetDetail(L"a=1", temp.File(L"DownloadCount.xml")), DL_ERR_CONNECT);
    ASSERT_TRUE(answerer.Finish());
    EXPECT_TRUE(log.Contains(L"Error:CHttpDownLoad::SendMsgToInternetDetail:InternetException"));

    size_t forwarded = 0;
    const JsonValue records = Recorded("/pguard/");
    for (const JsonValue& record : records.Items())
        if (HeaderOf(record, "Proxy-Authorization") == BasicValue("guard:pw")) ++forwarded;
    EXPECT_EQ(forwarded, 2u);
}

}  // namespace
}  // namespace vttest
