// A package's first download attempt and its ranged continuation against the test server, reporting
// to a page that records what it is told.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "download/HttpDownload.h"
#include "tests/support/PageDriver.h"
#include "tests/support/TestThread.h"
#include "tests/unit/HttpTestFixture.h"
#include "ui/DownloadDlg.h"
#include "ui/WizardMessages.h"

namespace vttest {
namespace {

// The download page as the transfers see it, keeping every progress and file-done message. The
// transfers run on the test's thread, so the messages arrive at once.
class RecordingPage : public CDownloadDlg {
public:
    std::vector<WPARAM> progress;
    std::vector<WPARAM> done;
    std::vector<LPARAM> items;
    size_t pauseAtProgress = 0;  // sets the pause flag on this progress message (1-based; 0: never)
    DWORD pauseMs = 0;
    TestThread resumer;

protected:
    void StartDownloadThread() override {}  // the test runs the transfers itself
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (message == WM_DOWNLOAD_PROGRESS) {
            progress.push_back(wParam);
            items.push_back(lParam);
            if (progress.size() == pauseAtProgress) {
                m_bPauseDownload = 1;
                resumer.Start([this] {
                    Sleep(pauseMs);
                    InterlockedExchange(&m_bPauseDownload, 0);
                });
            }
        } else if (message == WM_DOWNLOAD_FILEDONE) {
            done.push_back(wParam);
        }
        return CDownloadDlg::OnMessage(message, wParam, lParam, handled);
    }
};

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

class HttpPackageTest : public HttpServerTest {
protected:
    CUpdateInfoList list = CUpdateInfoList(2);
    RecordingPage page;

    void SetUp() override {
        HttpServerTest::SetUp();
        list[1].m_id = L"Veltrona Manager";
        list[1].m_size = 5000;
        page.SetDownloadList(&list);
        RegisterPageWindowClass();
        ASSERT_TRUE(page.Create(nullptr));
    }
    std::string FileBytes(const std::wstring& path) { return ReadTextFile(path); }
};

TEST_F(HttpPackageTest, AWholePackageReportsEveryBlockThenTheFile) {
    Serve("/pkg/setup.exe", R"({"body_pattern": 5000})");
    std::wstring path;
    EXPECT_EQ(CHttpDownLoad::DownloadBigFile(1, 0, Folder(), Url(L"/pkg/setup.exe"), path, &page), DL_SUCCESS);
    EXPECT_EQ(path, Folder() + L"setup_02.exe");
    EXPECT_EQ(page.progress, (std::vector<WPARAM>{1024, 2048, 3072, 4096, 5000}));
    EXPECT_EQ(page.items, std::vector<LPARAM>(5, 1));
    EXPECT_EQ(page.done, std::vector<WPARAM>{5000});
    EXPECT_EQ(FileBytes(path), Pattern(5000));
    const JsonValue records = Recorded("/pkg/");
    ASSERT_EQ(records.Size(), 1u);
    EXPECT_EQ(HeaderOf(records[size_t{0}], "User-Agent"), "CHttpSessionDownloadBigFile");
}

TEST_F(HttpPackageTest, ASizeOtherThanTheCataloguesIsReportedAndTheFileKept) {
    struct Case {
        int body;
        std::string behaviour;
    } cases[] = {{4999, R"({"body_pattern": 4999})"}, {5001, R"({"body_pattern": 5001})"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        Serve("/short/setup.exe", c.behaviour);
        std::wstring path;
        EXPECT_EQ(CHttpDownLoad::DownloadBigFile(1, 0, Folder(), Url(L"/short/setup.exe"), path, &page), DL_ERR_SIZE);
        EXPECT_EQ(FileBytes(path).size(), static_cast<size_t>(c.body));
        EXPECT_TRUE(page.done.empty());
        EXPECT_TRUE(log.Contains(L"Error:CHttpDownLoad::DownloadBigFile:download size less than total size"));
    }
}

TEST_F(HttpPackageTest, ServerTroubleBeforeTheBodyIsRetriedOnlyWhenTransient) {
    const struct {
        int status;
        int result;
    } cases[] = {{504, DL_ERR_RETRY}, {408, DL_ERR_RETRY}, {404, DL_ERR_CONNECT}, {500, DL_ERR_CONNECT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        Serve("/status/setup.exe", "{\"statuses\": [" + std::to_string(c.status) + "]}");
        std::wstring path;
        EXPECT_EQ(CHttpDownLoad::DownloadBigFile(1, 0, Folder(), Url(L"/status/setup.exe"), path, &page), c.result);
        EXPECT_EQ(GetFileAttributesW((Folder() + L"setup_02.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

// A connection cut mid-body: the bytes so far stay; the continuation asks for the rest by range,
// appends it and counts the earlier bytes from its first report on.
TEST_F(HttpPackageTest, ACutTransferIsContinuedByRange) {
    Serve("/cut/setup.exe", R"({"body_pattern": 5000, "close_after": [3072, null]})");
    std::wstring path;
    ASSERT_EQ(CHttpDownLoad::DownloadBigFile(1, 0, Folder(), Url(L"/cut/setup.exe"), path, &page), DL_ERR_RETRY);
    EXPECT_EQ(FileBytes(path), Pattern(3072));
    page.progress.clear();

    EXPECT_EQ(CHttpDownLoad::RetryDownBigFile(5000, 1, path, Url(L"/cut/setup.exe"), 0, &page), DL_SUCCESS);
    EXPECT_EQ(page.progress, (std::vector<WPARAM>{4096, 5000}));
    EXPECT_EQ(page.done, std::vector<WPARAM>{5000});
    EXPECT_EQ(FileBytes(path), Pattern(5000));
    const JsonValue records = Recorded("/cut/");
    ASSERT_EQ(records.Size(), 2u);
    EXPECT_EQ(HeaderOf(records[size_t{1}], "Range"), "bytes=3072-");
    EXPECT_EQ(HeaderOf(records[size_t{1}], "Authorization"), "<absent>");
    EXPECT_EQ(HeaderOf(records[size_t{1}], "User-Agent"), "CHttpSessionDownBigFile");
    EXPECT_TRUE(log.Contains(L"Info :CHttpDownLoad::RetryDownBigFile: QueryInfo result is:206"));
}

TEST_F(HttpPackageTest, AContinuationThatCannotEndInTheExpectedSizeFails) {
    struct Case {
        const char* name;
        size_t onDisk;
        std::string behaviour;
        int result;
    } cases[] = {
        // Already complete: the range starts at the end, which the server refuses with 416.
        {"complete", 5000, R"({"body_pattern": 5000})", DL_ERR_CONNECT},
        // The range ignored: the whole body lands behind the partial data and the size check says so.
        {"range ignored", 3072, R"({"body_pattern": 5000, "ranges": "ignore"})", DL_ERR_SIZE},
        {"gone", 3072, R"({"statuses": [404]})", DL_ERR_CONNECT},
        {"gateway timeout", 3072, R"({"statuses": [504]})", DL_ERR_RETRY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = Folder() + L"partial.exe";
        WriteTextFile(path, Pattern(c.onDisk));
        Serve("/again/setup.exe", c.behaviour);
        EXPECT_EQ(CHttpDownLoad::RetryDownBigFile(5000, 1, path, Url(L"/again/setup.exe"), 0, &page), c.result);
        EXPECT_TRUE(page.done.empty());
    }
    EXPECT_TRUE(log.Contains(L"Error:CHttpDownLoad::RetryDownBigFile:download size not equal total size"));
}

TEST_F(HttpPackageTest, AContinuationRefusesAddressesItCannotUse) {
    const struct {
        const wchar_t* url;
        const wchar_t* line;
    } cases[] = {
        {L"", L"Error:CHttpDownLoad::RetryDownBigFile:param length = 0"},
        {L"ftp://127.0.0.1/setup.exe", L"Error:CHttpDownLoad::RetryDownBigFile:The sort of internet service is not http and https."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.url));
        EXPECT_EQ(CHttpDownLoad::RetryDownBigFile(5000, 1, Folder() + L"x.exe", c.url, 0, &page), DL_ERR_CONNECT);
        EXPECT_TRUE(log.Contains(c.line));
    }
}

// While the page's pause flag is set nothing is read or reported; afterwards the next report counts
// every byte written.
TEST_F(HttpPackageTest, APauseHoldsTheTransferWithoutReports) {
    Serve("/pause/setup.exe", R"({"body_pattern": 5000})");
    page.pauseAtProgress = 2;
    page.pauseMs = 3000;
    std::wstring path;
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(CHttpDownLoad::DownloadBigFile(1, 0, Folder(), Url(L"/pause/setup.exe"), path, &page), DL_SUCCESS);
    EXPECT_GE(GetTickCount64() - start, 3000u);
    page.resumer.Join();
    EXPECT_EQ(page.progress, (std::vector<WPARAM>{1024, 2048, 4096, 5000}));
    EXPECT_EQ(FileBytes(path), Pattern(5000));
}

// The same transfers against nginx from Debian (tools/with-nginx.sh): a whole file, a partial file
// continued by range, and a complete one refused with 416.
TEST_F(HttpPackageTest, AgainstNginxRangesResumeAndACompleteFileIsRefused) {
    wchar_t base[256] = {};
    ASSERT_TRUE(GetEnvironmentVariableW(L"VTINST_NGINX_URL", base, 256)) << "nginx not running (tools/with-nginx.sh)";
    const std::wstring url = std::wstring(base) + L"/pattern5000.bin";
    std::wstring path;
    ASSERT_EQ(CHttpDownLoad::DownloadBigFile(1, 0, Folder(), url, path, &page), DL_SUCCESS);
    EXPECT_EQ(FileBytes(path), Pattern(5000));

    WriteTextFile(path, Pattern(3072));
    page.progress.clear();
    EXPECT_EQ(CHttpDownLoad::RetryDownBigFile(5000, 1, path, url, 0, &page), DL_SUCCESS);
    EXPECT_EQ(page.progress, (std::vector<WPARAM>{4096, 5000}));
    EXPECT_EQ(FileBytes(path), Pattern(5000));
    EXPECT_TRUE(log.Contains(L"Info :CHttpDownLoad::RetryDownBigFile: QueryInfo result is:206"));

    EXPECT_EQ(CHttpDownLoad::RetryDownBigFile(5000, 1, path, url, 0, &page), DL_ERR_CONNECT);
    EXPECT_TRUE(log.Contains(L"Info :CHttpDownLoad::RetryDownBigFile: QueryInfo result is:416"));
    EXPECT_EQ(FileBytes(path), Pattern(5000));
}

// nginx with Basic authorization: the catalogue's authorization line opens the package (and its
// continuation) and none is refused; a body cut short mid-way keeps what came and is retried.
TEST_F(HttpPackageTest, AgainstNginxAuthorizationAndABodyCutShort) {
    wchar_t base[256] = {};
    ASSERT_TRUE(GetEnvironmentVariableW(L"VTINST_NGINX_URL", base, 256)) << "nginx not running (tools/with-nginx.sh)";
    const std::wstring url = std::wstring(base) + L"/private/pattern5000.bin";
    std::wstring path;
    theApp.m_strSoftAuthHeader.clear();
    EXPECT_EQ(CHttpDownLoad::DownloadBigFile(1, 0, Folder(), url, path, &page), DL_ERR_CONNECT);
    theApp.m_strSoftAuthHeader = L"Authorization: Basic cGtnOnNlY3JldA==";  // pkg:secret
    ASSERT_EQ(CHttpDownLoad::DownloadBigFile(1, 0, Folder(), url, path, &page), DL_SUCCESS);
    EXPECT_EQ(FileBytes(path), Pattern(5000));
    WriteTextFile(path, Pattern(1000));
    EXPECT_EQ(CHttpDownLoad::RetryDownBigFile(5000, 1, path, url, 0, &page), DL_SUCCESS);
    EXPECT_EQ(FileBytes(path), Pattern(5000));
    theApp.m_strSoftAuthHeader.clear();

    // The answer promises 8000 bytes and ends after 5000: a broken transfer, not a finished one.
    list[1].m_size = 8000;
    page.progress.clear();
    page.done.clear();
    EXPECT_EQ(CHttpDownLoad::DownloadBigFile(1, 0, Folder(), std::wstring(base) + L"/cut/pattern5000.bin", path, &page),
              DL_ERR_RETRY);
    EXPECT_EQ(FileBytes(path), Pattern(5000));
    EXPECT_TRUE(page.done.empty());
}

TEST_F(HttpPackageTest, FreeSpaceOfFourGibibytesOrMoreIsAlwaysEnough) {
    ULARGE_INTEGER free = {};
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:", &free, nullptr, nullptr));
    if (free.QuadPart >= (1ull << 32)) {
        EXPECT_EQ(CHttpDownLoad::CheckDiskSpace(0xFFFFFFFFu, L"C:"), 1);
    } else {
        EXPECT_EQ(CHttpDownLoad::CheckDiskSpace(static_cast<uint32_t>(free.QuadPart), L"C:"), 0);
        EXPECT_EQ(CHttpDownLoad::CheckDiskSpace(static_cast<uint32_t>(free.QuadPart - 1), L"C:"), 1);
    }
    // A drive whose free space cannot be read has no room.
    EXPECT_EQ(CHttpDownLoad::CheckDiskSpace(1, L"Q:"), 0);
}

}  // namespace
}  // namespace vttest
