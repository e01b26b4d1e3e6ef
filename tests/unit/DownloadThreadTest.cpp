// The download thread's message protocol, against the test server and a page that records what it
// is sent and answers the retry question as the test says.
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "catalogue/SoftMulti.h"
#include "download/HttpDownload.h"
#include "framework/Thread.h"
#include "tests/support/PageDriver.h"
#include "tests/support/TestThread.h"
#include "tests/unit/HttpTestFixture.h"
#include "ui/DownloadDlg.h"
#include "ui/WizardMessages.h"

namespace vttest {
namespace {

// The messages in order, as "START 0", "PROGRESS", "FILEDONE 5000", "RESULT 0", "FINISH"; runs of
// progress messages count once.
class RecordingPage : public CDownloadDlg {
public:
    std::vector<std::string> messages;
    std::deque<bool> retryAnswers;  // what the user answers to each retry question

protected:
    void StartDownloadThread() override {}
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
        switch (message) {
            case WM_DOWNLOAD_START: Record("START " + std::to_string(lParam)); break;
            case WM_DOWNLOAD_PROGRESS:
                if (messages.empty() || messages.back() != "PROGRESS") Record("PROGRESS");
                break;
            case WM_DOWNLOAD_FILEDONE: Record("FILEDONE " + std::to_string(wParam)); break;
            case WM_DOWNLOAD_RESULT: {
                Record("RESULT " + std::to_string(wParam));
                if (wParam == 8) {
                    const bool retry = !retryAnswers.empty() && retryAnswers.front();
                    if (!retryAnswers.empty()) retryAnswers.pop_front();
                    theApp.m_bDownloadRetry = retry ? 1 : 0;
                }
                handled = true;  // no boxes, no closing: the test reads the sequence
                return TRUE;
            }
            case WM_DOWNLOAD_FINISH:
                Record("FINISH");
                handled = true;
                return TRUE;
            default: break;
        }
        return CDownloadDlg::OnMessage(message, wParam, lParam, handled);
    }

private:
    void Record(const std::string& entry) { messages.push_back(entry); }
};

class DownloadThreadTest : public HttpServerTest {
protected:
    CUpdateInfoList list;
    RecordingPage page;
    int savedCount = theApp.m_nResumeRetryCount;
    int savedSleep = theApp.m_nResumeRetrySleep;

    void SetUp() override {
        HttpServerTest::SetUp();
        theApp.m_strSavePath = Folder();
        theApp.m_nResumeRetryCount = 3;
        theApp.m_nResumeRetrySleep = 10;
        theApp.m_bDownloadRetry = 0;
        RegisterPageWindowClass();
    }
    void TearDown() override {
        theApp.m_nResumeRetryCount = savedCount;
        theApp.m_nResumeRetrySleep = savedSleep;
        theApp.m_bDownloadRetry = 0;
    }

    CUpdateInfo Package(const std::wstring& path, int64_t size) {
        CUpdateInfo record;
        record.m_id = L"Veltrona Manager";
        record.m_moduleUrl = Url(path);
        record.m_size = size;
        return record;
    }

    // Runs the thread while this thread serves the page; the thread's return value.
    DWORD RunThread() {
        page.SetDownloadList(&list);
        EXPECT_TRUE(page.Create(nullptr));
        std::unique_ptr<fw::CWinThread> thread = fw::BeginThread(CHttpDownLoad::DownloadThread, &page);
        EXPECT_NE(thread, nullptr);
        if (!thread) return 99;
        return PumpMessagesUntilEnded(thread->Handle(), 60000);
    }

    size_t Requests(const std::string& prefix) { return Recorded(prefix).Size(); }
};

using Sequence = std::vector<std::string>;

TEST_F(DownloadThreadTest, AnEmptyListOnlyFinishes) {
    EXPECT_EQ(RunThread(), 1u);
    EXPECT_EQ(page.messages, Sequence{"FINISH"});
}

TEST_F(DownloadThreadTest, ASetupProgramBringsItsResponseFileFirstAndThePathsGoBackIntoTheList) {
    Serve("/dt/OnlineUpdate.msi", R"({"body_pattern": 3000})");
    Serve("/dt/setup.exe", R"({"body_pattern": 5000})");
    Serve("/dt/setup.iss", R"({"body_text": "[InstallShield Silent]"})");
    list.push_back(Package(L"/dt/OnlineUpdate.msi", 3000));
    list.push_back(Package(L"/dt/setup.exe", 5000));
    list[1].m_issUrl = Url(L"/dt/setup.iss");
    EXPECT_EQ(RunThread(), 1u);
    EXPECT_EQ(page.messages, (Sequence{"START 0", "PROGRESS", "FILEDONE 3000", "RESULT 0", "START 1", "RESULT 0",
                                       "PROGRESS", "FILEDONE 5000", "RESULT 0", "FINISH"}));
    EXPECT_EQ(list[0].m_packageFile, Folder() + L"OnlineUpdate_01.msi");
    EXPECT_EQ(list[0].m_logFile, Folder() + L"OnlineUpdate_01.msi.log");
    EXPECT_EQ(list[1].m_packageFile, Folder() + L"setup_02.exe");
    EXPECT_EQ(list[1].m_issFile, Folder() + L"setup_02.iss");
}

TEST_F(DownloadThreadTest, TransientFailuresAreRetriedSilentlyWhileAttemptsRemain) {
    Serve("/dt/a.msi", R"({"body_pattern": 2000, "statuses": [504, 504, 504, 200]})");
    list.push_back(Package(L"/dt/a.msi", 2000));
    EXPECT_EQ(RunThread(), 1u);
    EXPECT_EQ(page.messages, (Sequence{"START 0", "PROGRESS", "FILEDONE 2000", "RESULT 0", "FINISH"}));
    EXPECT_EQ(theApp.m_bDownloadRetry, 0);
    EXPECT_EQ(Requests("/dt/"), 4u);
}

TEST_F(DownloadThreadTest, TheUserDecidesOnceTheAttemptsAreUsedUp) {
    const struct {
        int count;
        std::deque<bool> answers;
        size_t questions;
        size_t requests;
    } cases[] = {
        {2, {true, false}, 2, 5},  // Retry once, then Cancel: two rounds of two attempts after the first
        {0, {false}, 1, 1},        // no automatic attempts: straight to the question
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        ASSERT_TRUE(server.Reset());
        Serve("/dt/b.msi", R"({"statuses": [504]})");
        theApp.m_nResumeRetryCount = c.count;
        list.assign(1, Package(L"/dt/b.msi", 2000));
        page.messages.clear();
        page.retryAnswers = c.answers;
        page.DestroyWindow();
        EXPECT_EQ(RunThread(), 0u);
        Sequence expected{"START 0"};
        for (size_t i = 0; i < c.questions; ++i) expected.push_back("RESULT 8");
        EXPECT_EQ(page.messages, expected);
        EXPECT_EQ(Requests("/dt/"), c.requests);
    }
}

TEST_F(DownloadThreadTest, AShortFileIsNotRetriedAndStopsTheRun) {
    Serve("/dt/c.msi", R"({"body_pattern": 4999})");
    Serve("/dt/d.msi", R"({"body_pattern": 10})");
    list.push_back(Package(L"/dt/c.msi", 5000));
    list.push_back(Package(L"/dt/d.msi", 10));
    EXPECT_EQ(RunThread(), 0u);
    EXPECT_EQ(page.messages, (Sequence{"START 0", "PROGRESS", "RESULT 6"}));
    EXPECT_EQ(Requests("/dt/"), 1u);
}

TEST_F(DownloadThreadTest, ABundleFetchesEachSubPackageIntoItsOwnEntry) {
    Serve("/dt/pack1.msi", R"({"body_pattern": 1500})");
    Serve("/dt/pack2.msi", R"({"body_pattern": 2500})");
    CSoftMultiList packages(2);
    packages[0].m_id = L"Veltrona OCR LangPack2";
    packages[0].m_moduleUrl = Url(L"/dt/pack1.msi");
    packages[0].m_size = 1500;
    packages[1].m_id = L"Veltrona Home OCR LangPack2";
    packages[1].m_moduleUrl = Url(L"/dt/pack2.msi");
    packages[1].m_size = 2500;
    CUpdateInfo bundle = Package(L"/dt/pack1.msi", 4000);
    bundle.m_id = L"Veltrona OCR LangPack2";
    bundle.m_subPackages = &packages;
    bundle.m_packageCount = 2;
    list.push_back(bundle);
    EXPECT_EQ(RunThread(), 1u);
    EXPECT_EQ(page.messages, (Sequence{"START 0", "PROGRESS", "FILEDONE 1500", "RESULT 0", "PROGRESS",
                                       "FILEDONE 2500", "RESULT 0", "FINISH"}));
    EXPECT_EQ(packages[0].m_packageFile, Folder() + L"pack1_01.msi");
    EXPECT_EQ(packages[1].m_packageFile, Folder() + L"pack2_01.msi");
    EXPECT_EQ(packages[1].m_logFile, Folder() + L"pack2_01.msi.log");
}

}  // namespace
}  // namespace vttest
