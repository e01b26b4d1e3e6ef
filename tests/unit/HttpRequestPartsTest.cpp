// The pieces of a request that need no server: URL splitting, the local file name a request
// yields, the local naming rule and the exception texts.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <string>

#include "download/HttpDownload.h"
#include "framework/HttpFile.h"
#include "framework/InternetException.h"
#include "framework/UrlParser.h"

namespace {

struct UrlCase {
    const wchar_t* url;
    BOOL parsed;
    DWORD service;
    const wchar_t* server;
    const wchar_t* object;
    INTERNET_PORT port;
};

TEST(HttpRequestParts, ParseURLSplitsServerObjectAndPort) {
    const UrlCase cases[] = {
        {L"http://127.0.0.1:8080/a/VTInst.xml?lang=de", TRUE, fw::INET_SERVICE_HTTP, L"127.0.0.1",
         L"/a/VTInst.xml?lang=de", 8080},
        {L"https://localhost/", TRUE, fw::INET_SERVICE_HTTPS, L"localhost", L"/", 443},
        {L"http://example.invalid", TRUE, fw::INET_SERVICE_HTTP, L"example.invalid", L"/", 80},
        {L"ftp://127.0.0.1/setup.iss", TRUE, fw::INET_SERVICE_FTP, L"127.0.0.1", L"/setup.iss", 21},
        {L"", FALSE, fw::INET_SERVICE_UNKNOWN, L"", L"", 0},
        {L"no scheme at all", FALSE, fw::INET_SERVICE_UNKNOWN, L"", L"", 0},
    };
    for (const UrlCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "url: " << std::string(c.url, c.url + wcslen(c.url)));
        DWORD service = 0;
        std::wstring server, object;
        INTERNET_PORT port = 0;
        EXPECT_EQ(fw::ParseURL(c.url, service, server, object, port), c.parsed);
        if (!c.parsed) continue;
        EXPECT_EQ(service, c.service);
        EXPECT_EQ(server, c.server);
        EXPECT_EQ(object, c.object);
        EXPECT_EQ(port, c.port);
    }
}

TEST(HttpRequestParts, FileNameIsTheObjectsLastComponent) {
    const struct {
        const wchar_t* object;
        const wchar_t* name;
    } cases[] = {
        {L"/soft/iss/setup.iss", L"setup.iss"},
        {L"/soft/dir/", L""},
        {L"/soft\\win\\License.rtf", L"License.rtf"},
        {L"/drive:name.txt", L"name.txt"},
        {L"/VTInst.xml?v=2", L"VTInst.xml?v=2"},
    };
    for (const auto& c : cases) {
        fw::CHttpFile request(fw::CInternetHandle(), 1, c.object);
        EXPECT_EQ(request.GetFileName(), c.name);
    }
}

TEST(HttpRequestParts, RenameDownFileNumbersTheNameByListPosition) {
    const std::wstring folder = L"C:\\dl\\";
    const struct {
        int index;
        const wchar_t* name;
        const wchar_t* expected;
    } cases[] = {
        {-1, L"Setup.exe", L"C:\\dl\\Setup.exe"},
        {0, L"Setup.exe", L"C:\\dl\\Setup_01.exe"},
        {0, L"setup", L"C:\\dl\\setup_01"},
        {9, L"a.b.iss", L"C:\\dl\\a.b_10.iss"},
        {1, L"License.rtf", L"C:\\dl\\License_02.rtf"},
        {0, L"", L"C:\\dl\\_01"},
    };
    for (const auto& c : cases) {
        std::wstring result;
        EXPECT_TRUE(CHttpDownLoad::RenameDownFile(c.index, result, folder, c.name));
        EXPECT_EQ(result, c.expected);
    }
}

// An accepted name of 256 characters still fits a path with a two-digit suffix; a three-digit
// suffix would not, and a cut path would name another file.
TEST(HttpRequestParts, RenameDownFileRefusesAPathLongerThan259Characters) {
    const std::wstring folder = L"C:\\" + std::wstring(240, L'd') + L"\\";
    const std::wstring name = std::wstring(256 - folder.size() - 4, L'n') + L".iss";
    ASSERT_EQ(folder.size() + name.size(), 256u);

    std::wstring result = L"untouched";
    EXPECT_TRUE(CHttpDownLoad::RenameDownFile(98, result, folder, name));
    EXPECT_EQ(result.size(), 259u);
    result = L"untouched";
    EXPECT_FALSE(CHttpDownLoad::RenameDownFile(99, result, folder, name));
    EXPECT_EQ(result, L"untouched");
}

TEST(HttpRequestParts, ExceptionsCarryOneLineMessages) {
    fw::CInternetException network(ERROR_INTERNET_CANNOT_CONNECT, 1);
    const std::wstring networkText = network.ErrorMessage();
    EXPECT_FALSE(networkText.empty());
    EXPECT_EQ(networkText.find_first_of(L"\r\n"), std::wstring::npos);

    fw::CFileException file(ERROR_PATH_NOT_FOUND, L"C:\\nowhere\\x.iss");
    const std::wstring fileText = file.ErrorMessage();
    EXPECT_FALSE(fileText.empty());
    EXPECT_EQ(fileText.find_first_of(L"\r\n"), std::wstring::npos);

    fw::CException other;
    EXPECT_TRUE(other.ErrorMessage().empty());
}

}  // namespace
