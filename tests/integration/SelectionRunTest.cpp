// The real program against the test server: what it selects from a served catalogue for a prepared
// registry, the notices it shows, and the nothing-to-install ending.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "tests/integration/InstallerRun.h"
#include "tests/server/TestServerClient.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/StandInTool.h"

using vttest::InstallerRun;

namespace {

const wchar_t kUpdaterKey[] = L"SOFTWARE\\ZEL\\Veltrona Online Update";

bool Contains(const std::vector<std::wstring>& lines, const std::wstring& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::wstring ReadIni(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
    wchar_t value[260] = {};
    GetPrivateProfileStringW(section, key, L"<none>", value, 260, file.c_str());
    return value;
}

class SelectionRunTest : public ::testing::Test {
protected:
    vttest::CTestServerClient server;
    vttest::RegistryFixture registry;
    InstallerRun run;
    std::wstring familyFolder;  // the family's folder under the common application data folder
    std::vector<std::wstring> createdFolders;

    void TearDown() override {
        DeleteFileW((familyFolder + L"\\vtinst.ini").c_str());
        for (auto folder = createdFolders.rbegin(); folder != createdFolders.rend(); ++folder)
            RemoveDirectoryW(folder->c_str());
    }

    void SetUp() override {
        ASSERT_TRUE(server.Open()) << "test server not running (tools/with-test-server.sh)";
        ASSERT_TRUE(server.Reset("/sel/"));
        ASSERT_TRUE(server.SetBehaviour("/sel/vtinst.ini",
                                        R"({"body_text": "[Common]\r\nServerKey=kept\r\n", "content_type": "text/plain"})"));
        run.WriteConfiguration(vttest::ValidConfiguration(vttest::ToUtf8(server.Url(vttest::Listener::Http, L"/sel/VTInst.xml"))));
        wchar_t programData[MAX_PATH] = {};
        ASSERT_TRUE(GetEnvironmentVariableW(L"PROGRAMDATA", programData, MAX_PATH));
        familyFolder = programData;
        for (const wchar_t* part : {L"\\ZEL", L"\\Veltrona", L"\\Veltrona Online Update"}) {
            familyFolder += part;
            if (CreateDirectoryW(familyFolder.c_str(), nullptr)) createdFolders.push_back(familyFolder);
        }
        DeleteFileW((familyFolder + L"\\vtinst.ini").c_str());
        // The updater lives where the family's registry says.
        ASSERT_TRUE(vttest::InstallStandIn(run.AppFolder() + L"\\VeltronaUpdater.exe", 0));
        ASSERT_TRUE(registry.SetString(kUpdaterKey, L"Path", run.AppFolder()));
    }

    void ServeCatalogue(const std::string& region, const std::string& managerVersion,
                        const std::string& installSize = "4096") {
        std::string base = vttest::ToUtf8(server.Url(vttest::Listener::Http, L"/sel/"));
        std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?><catalogue>"
                          "<setupType>" + region + "</setupType><model>VT-S1300</model>"
                          "<vtinst>" + base + "vtinst.ini</vtinst><license>" + base + "license.rtf</license>"
                          "<item><id>Veltrona Manager</id><title>Veltrona Manager</title>"
                          "<version>" + managerVersion + "</version>"
                          "<gmt_pubDate>2020/1/1 0:0:0</gmt_pubDate><gmt_delDate>2099/1/1 0:0:0</gmt_delDate>"
                          "<iss>" + base + "setup.iss</iss><iss_ug>" + base + "setup_ug.iss</iss_ug>"
                          "<module size=\"2048\" installSize=\"" + installSize + "\">" + base + "Manager/setup.exe</module></item>"
                          "</catalogue>";
        std::string escaped;
        for (char c : xml) escaped += c == '"' ? std::string("\\\"") : std::string(1, c);
        ASSERT_TRUE(server.SetBehaviour("/sel/VTInst.xml",
                                        "{\"body_text\": \"" + escaped + "\", \"content_type\": \"text/xml\"}"));
    }
};

TEST_F(SelectionRunTest, NothingNeededSavesStateAndStartsTheUpdater) {
    ServeCatalogue("JP", "2.4.0.1");
    ASSERT_TRUE(registry.InstallProduct(L"Veltrona Manager", L"2.4.0.1", L"C:\\Program Files\\Veltrona\\Manager"));
    ASSERT_TRUE(run.Run());
    EXPECT_TRUE(run.Boxes().empty()) << "first box: " << vttest::Narrow(run.Boxes().empty() ? L"" : run.Boxes()[0].text);

    std::vector<std::wstring> lines = run.Log().Messages();
    EXPECT_TRUE(Contains(lines, L"Start:CVTInstApp::SaveVTInst"));
    EXPECT_TRUE(Contains(lines, L"Start:CVTInstApp::CopyVTInst"));

    // The server's copy completed with the installer's keys, then copied for the family.
    std::wstring saved = run.AppFolder() + L"\\download\\vtinst.ini";
    EXPECT_EQ(ReadIni(saved, L"Common", L"ServerKey"), L"kept");
    EXPECT_EQ(ReadIni(saved, L"BasicGuide", L"Model"), L"VT-S1300");
    EXPECT_EQ(ReadIni(saved, L"Common", L"StartMode"), L"2");
    EXPECT_EQ(ReadIni(saved, L"Common", L"FromDVD"), L"0");
    EXPECT_EQ(vttest::ReadTextFile(familyFolder + L"\\vtinst.ini"), vttest::ReadTextFile(saved));

    ASSERT_TRUE(vttest::WaitForStandInRuns(run.AppFolder() + L"\\VeltronaUpdater.exe", 1, 10000));
    std::vector<vttest::StandInRun> runs = vttest::StandInRuns(run.AppFolder() + L"\\VeltronaUpdater.exe");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NE(runs[0].commandLine.find(L"VeltronaUpdater.exe"), std::wstring::npos);

    EXPECT_TRUE(Contains(lines, L"Info :CVTInstApp::GetNeedUpdateList: skipped Veltrona Manager 2.4.0.1 (installed "
                                L"2.4.0.1 is not older)"));
    // No wizard: nothing about notices or disk space.
    EXPECT_FALSE(Contains(lines, L"Start:CVTInstApp::CheckDiskSpaceEnough"));
}

// The notices come in order, then the wizard's first page: here the license page, whose text the
// server does not have (404 counts as a failed connection), so the run ends there.
TEST_F(SelectionRunTest, NeededUpdateShowsNoticesInOrderAndReachesTheWizard) {
    ServeCatalogue("WW", "2.4.0.1");
    ASSERT_TRUE(registry.InstallProduct(L"Veltrona Manager", L"2.0.0.0", L"C:\\Program Files\\Veltrona\\Manager"));
    ASSERT_TRUE(run.Run());

    ASSERT_GE(run.Boxes().size(), 2u);
    EXPECT_EQ(run.Boxes()[0].text,
              L"On rare occasions, the installation may not be successful if an anti-virus software is installed in "
              L"your environment.\nIn that case, try installing without the anti-virus software running.\n");
    // The .NET notice, when this prefix lacks a framework, comes after the region notice.
    for (size_t i = 1; i + 1 < run.Boxes().size(); ++i)
        EXPECT_NE(run.Boxes()[i].text.find(L".NET Framework"), std::wstring::npos);
    EXPECT_EQ(run.Boxes().back().text, L"Failed to connect to the server.");

    std::vector<std::wstring> lines = run.Log().Messages();
    EXPECT_TRUE(Contains(lines, L"Info :CVTInstApp::GetNeedUpdateList: selected Veltrona Manager 2.4.0.1 (update of "
                                L"installed 2.0.0.0)"));
    EXPECT_TRUE(vttest::ContainsInOrder(lines, {L"Start:CVTInstApp::CheckDiskSpaceEnough",
                                                L"End  :CVTInstApp::CheckDiskSpaceEnough",
                                                L"Start:CLicenseDlg::OnInitDialog",
                                                L"CVTInstApp::InitInstance:User Cancelled"}));
    EXPECT_FALSE(Contains(lines, L"Start:CVTInstApp::SaveVTInst"));
    EXPECT_TRUE(vttest::StandInRuns(run.AppFolder() + L"\\VeltronaUpdater.exe").empty());

    // Every download went out as HTTP/1.0 with the installer's user agent.
    vttest::JsonValue records;
    ASSERT_TRUE(server.Requests(records, "/sel/"));
    ASSERT_EQ(records.Size(), 3u);
    const char* paths[] = {"/sel/VTInst.xml", "/sel/vtinst.ini", "/sel/license.rtf"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(records[i]["path"].Str(), paths[i]);
        EXPECT_EQ(records[i]["version"].Str(), "HTTP/1.0");
        const std::string* agent = vttest::FindRecordHeader(records[i], "User-Agent");
        ASSERT_NE(agent, nullptr);
        EXPECT_EQ(*agent, "CHttpSessionDownloadFile");
    }
}

TEST_F(SelectionRunTest, SelectionFailuresEndTheRun) {
    struct Case {
        const char* name;
        const char* catalogue;      // null: the usual catalogue
        const wchar_t* homeVersion;  // installed home application, or null
        const char* installSize;
        const wchar_t* box;          // text of the one error box
        const wchar_t* line;         // the start-up's error line
    } cases[] = {
        {"catalogue unreadable", "<catalogue><item>", nullptr, "4096",
         L"An internal error occurred with Veltrona Installer.\nFile analysis failed.",
         L"Error:CVTInstApp::InitInstance: CheckInstallSoft failed."},
        {"home application too old", nullptr, L"1.7.0.0", "4096",
         L"Veltrona Home is installed.\nTo use Veltrona Home with Veltrona Manager, first update Veltrona Home to the "
         L"latest version.\nIf you do not want to use Veltrona Home, first uninstall Veltrona Home.",
         L"Error:CVTInstApp::InitInstance: Home version is not support."},
        {"no room for the update", nullptr, nullptr, "900000000000000", L"Insufficient disk space.",
         L"Error:CVTInstApp::InitInstance: not enough Disk space."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstallerRun attempt;
        attempt.WriteConfiguration(
            vttest::ValidConfiguration(vttest::ToUtf8(server.Url(vttest::Listener::Http, L"/sel/VTInst.xml"))));
        ServeCatalogue("JP", "2.4.0.1", c.installSize);
        if (c.catalogue) {
            ASSERT_TRUE(server.SetBehaviour("/sel/VTInst.xml", std::string("{\"body_text\": \"") + c.catalogue + "\"}"));
        }
        vttest::RegistryFixture installed;
        ASSERT_TRUE(installed.InstallProduct(L"Veltrona Manager", L"2.0.0.0", L"C:\\Program Files\\Veltrona\\Manager"));
        if (c.homeVersion) {
            ASSERT_TRUE(installed.InstallProduct(L"Veltrona Home", c.homeVersion));
        }

        ASSERT_TRUE(attempt.Run());
        ASSERT_GE(attempt.Boxes().size(), 1u);
        // The .NET notice comes before the disk check; the error box is the last one.
        EXPECT_EQ(attempt.Boxes().back().text, c.box);
        std::vector<std::wstring> lines = attempt.Log().Messages();
        EXPECT_TRUE(vttest::ContainsInOrder(lines, {c.line, L"End  :CVTInstApp::InitInstance"}));
        EXPECT_FALSE(Contains(lines, L"Start:CVTInstApp::SaveVTInst"));
    }
}

}  // namespace
