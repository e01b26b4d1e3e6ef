// The real program fetches the catalogue named in its configuration from the loopback server, or
// tells the user and ends when the server fails.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/integration/InstallerRun.h"
#include "tests/server/TestServerClient.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Credentials.h"

namespace vttest {
namespace {

const wchar_t kDownloadFailed[] = L"Failed to download the file.";
const wchar_t kInitEnd[] = L"End  :CVTInstApp::InitInstance";
const char kCatalogue[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VTInst></VTInst>\n";



class CatalogueDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Open()) << "test server not reachable (run under tools/with-test-server.sh): "
                                   << server.LastError();
        ASSERT_TRUE(server.Reset()) << server.LastError();
    }
    std::string CatalogueUrl(const std::wstring& path) { return Narrow(server.Url(Listener::Http, path)); }
    std::string ConfigurationWithAuth(const std::string& catalogueUrl, const std::string& credentials) {
        std::string ini = ValidConfiguration(catalogueUrl);
        const std::string section = "[WebServer]\r\n";
        ini.insert(ini.find(section) + section.size(), "Auth=" + ScrambleCredentials(Widen(credentials)) + "\r\n");
        return ini;
    }
    CTestServerClient server;
};

// Wine's load order for one program: the copy in the program's folder before the system's own, as
// Windows searches for a library loaded by its bare name.
class NativeLibrariesFirst {
public:
    explicit NativeLibrariesFirst(const std::vector<std::wstring>& libraries) {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &m_key, nullptr) !=
            ERROR_SUCCESS)
            return;
        for (const std::wstring& library : libraries) {
            const wchar_t order[] = L"native,builtin";
            RegSetValueExW(m_key, library.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof(order));
        }
    }
    ~NativeLibrariesFirst() {
        if (m_key) RegCloseKey(m_key);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\VTInst.exe");
    }
    bool Set() const { return m_key != nullptr; }

private:
    static constexpr const wchar_t* kKey = L"Software\\Wine\\AppDefaults\\VTInst.exe\\DllOverrides";
    HKEY m_key = nullptr;
};

// The program runs with administrator rights: system libraries it loads at run time come from the
// system folder, never from copies planted beside it.
TEST_F(CatalogueDownloadTest, SystemLibrariesPlantedBesideTheProgramAreNotLoaded) {
    ASSERT_TRUE(server.SetBehaviour("/itest/VTInst.xml",
                                    std::string("{\"body_text\": ") + JsonQuote(kCatalogue) + "}"))
        << server.LastError();
    InstallerRun run;
    run.WriteConfiguration(ValidConfiguration(CatalogueUrl(L"/itest/VTInst.xml")));
    const wchar_t* planted[] = {L"xmllite.dll", L"RICHED20.DLL"};
    for (const wchar_t* name : planted)
        ASSERT_TRUE(CopyInto(BuildFolder() + L"\\standins\\PlantedLibrary.dll", run.AppFolder() + L"\\" + name));
    NativeLibrariesFirst nativeFirst({L"xmllite", L"riched20"});
    ASSERT_TRUE(nativeFirst.Set());
    ASSERT_TRUE(run.Run());

    for (const wchar_t* name : planted) {
        const std::wstring marker = run.AppFolder() + L"\\" + name + L".loaded";
        EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(name);
    }
    // The system's reader parsed the catalogue (which lacks a license).
    EXPECT_TRUE(run.Log().Contains(L"Error:CVTInstApp::CreateUpdateInfoList: License is empty."));
}

TEST_F(CatalogueDownloadTest, CatalogueIsStoredInTheDownloadFolderWithTheConfiguredAuthorization) {
    ASSERT_TRUE(server.SetBehaviour("/itest/VTInst.xml",
                                    std::string("{\"body_text\": ") + JsonQuote(kCatalogue) + "}"))
        << server.LastError();
    InstallerRun run;
    run.WriteConfiguration(ConfigurationWithAuth(CatalogueUrl(L"/itest/VTInst.xml"), "cat:pw"));
    // Whatever the later steps make of this small catalogue, the boxes are answered.
    ASSERT_TRUE(run.Run());

    EXPECT_EQ(ReadTextFile(run.AppFolder() + L"\\download\\VTInst.xml"), kCatalogue);
    for (const MessageBoxInfo& box : run.Boxes()) EXPECT_NE(box.text, kDownloadFailed);

    JsonValue records;
    ASSERT_TRUE(server.Requests(records, "/itest/"));
    ASSERT_EQ(records.Size(), 1u);
    const JsonValue& request = records[size_t{0}];
    EXPECT_EQ(request["method"].Str(), "GET");
    EXPECT_EQ(request["version"].Str(), "HTTP/1.0");
    const std::string* agent = FindRecordHeader(request, "User-Agent");
    ASSERT_TRUE(agent);
    EXPECT_EQ(*agent, "CHttpSessionDownloadFile");
    const std::string* authorization = FindRecordHeader(request, "Authorization");
    ASSERT_TRUE(authorization);
    EXPECT_EQ(*authorization, "Basic Y2F0OnB3");  // "cat:pw"
    EXPECT_FALSE(run.Log().Contains(L"Error:CVTInstApp::InitInstance: Failed to download the file."));
}

// In both start modes a failing server ends the run with message 1013 before anything else.
TEST_F(CatalogueDownloadTest, ServerFailureShowsDownloadFailedAndEnds) {
    const struct {
        const wchar_t* arguments;
        int status;
    } cases[] = {{L"", 500}, {L"", 404}, {L"-StartOS", 500}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << Narrow(c.arguments) << " " << c.status);
        ASSERT_TRUE(server.SetBehaviour("/ifail/VTInst.xml", "{\"statuses\": " + std::to_string(c.status) + "}"));
        ASSERT_TRUE(server.ClearRequests());
        InstallerRun run;
        run.WriteConfiguration(ValidConfiguration(CatalogueUrl(L"/ifail/VTInst.xml")));
        ASSERT_TRUE(run.Run(c.arguments));

        ASSERT_EQ(run.Boxes().size(), 1u);
        const MessageBoxInfo& box = run.Boxes()[0];
        EXPECT_EQ(box.caption, L"Veltrona Installer");
        EXPECT_EQ(box.text, kDownloadFailed);
        EXPECT_TRUE(box.hasIcon);
        EXPECT_EQ(box.ButtonIds(), std::vector<int>{IDOK});

        const std::vector<std::wstring> lines = run.Log().Messages();
        EXPECT_TRUE(ContainsInOrder(lines, {L"Error:CHttpDownLoad::DownloadFile:Querying Status code is not HTTP_STATUS_OK.",
                                    L"End  :CHttpDownLoad::DownloadFile",
                                    L"Error:CVTInstApp::InitInstance: Failed to download the file.", kInitEnd,
                                    kInitEnd}));
        EXPECT_EQ(std::count(lines.begin(), lines.end(), std::wstring(L"End  :CHttpDownLoad::DownloadFile")), 1);
        JsonValue records;
        ASSERT_TRUE(server.Requests(records, "/ifail/"));
        EXPECT_EQ(records.Size(), 1u);
    }
}

}  // namespace
}  // namespace vttest
