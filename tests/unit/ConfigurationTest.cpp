// Reading VeltronaInstaller.ini into the application object, the authorization header lines and
// the saved-state file.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "app/VTInst.h"
#include "tests/support/Credentials.h"
#include "tests/support/LogFile.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ScopedTempFolder.h"

using vttest::LogFile;
using vttest::MessageBoxFilter;
using vttest::MessageBoxWatcher;
using vttest::ScopedTempFolder;

namespace {


const std::map<std::string, std::string> kValidSettings = {
    {"VTInstXml/VTInstXmlUrl", "http://127.0.0.1/VTInst.xml"},
    {"WebServer/URL_STARTUP", "http://127.0.0.1/count"},
    {"VTInstMenu/CallWifiTool", "0"},
    {"VTInstMenu/CallWizardConnect", "0"},
    {"VTInstMenu/CallWizardConnect2", "0"},
    {"VTInstMenu/CallVTFolerTray", "0"},
    {"VTInstMenu/CallPowerAutoOffDlg", "0"},
    {"VTInstMenu/CallFirmUpdate", "0"},
};

class ConfigurationTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    LogFile log = LogFile::InFolder(temp.Path());

    void SetUp() override {
        theApp.m_strModuleDir = temp.Path();
        theApp.m_strAuthHeader.clear();
        theApp.m_updateCommonInfo = UPDATECOMMONINFO();
    }

    // Settings as "Section/Key" = value; a value of nullptr-like "<missing>" leaves the key out.
    void WriteConfiguration(std::map<std::string, std::string> changes) {
        std::map<std::string, std::string> settings = kValidSettings;
        for (const auto& change : changes) {
            if (change.second == "<missing>") settings.erase(change.first);
            else settings[change.first] = change.second;
        }
        std::map<std::string, std::string> sections;
        for (const auto& setting : settings) {
            size_t slash = setting.first.find('/');
            sections[setting.first.substr(0, slash)] += setting.first.substr(slash + 1) + "=" + setting.second + "\r\n";
        }
        std::string text;
        for (const auto& section : sections) text += "[" + section.first + "]\r\n" + section.second;
        vttest::WriteTextFile(temp.File(L"VeltronaInstaller.ini"), text);
    }

    // Reads the configuration, answering an error box if one comes; returns the result.
    BOOL Read(bool expectBox, std::wstring* boxText = nullptr) {
        MessageBoxWatcher watcher(MessageBoxFilter{L"Veltrona Installer", GetCurrentProcessId()}, IDOK,
                                  expectBox ? 10000 : 300);
        std::wstring url;
        BOOL result = theApp.ReadConfiguration(url);
        bool shown = watcher.Finish();
        EXPECT_EQ(shown, expectBox);
        if (boxText) *boxText = watcher.Info().text;
        return result;
    }
};

TEST_F(ConfigurationTest, ValidFileSetsMembersAndLogsEveryFlag) {
    WriteConfiguration({{"VTInstMenu/CallWifiTool", "1"},
                        {"VTInstMenu/CallWifiParam", "-wifi"},
                        {"VTInstMenu/CallPowerAutoOffDlg", "1"},
                        {"VTInstMenu/CallFirmUpdateParam", "-fw"},
                        {"WebServer/ConnectTimeout", "30"},
                        {"WebServer/SendTimeout", "0"},
                        {"WebServer/ReceiveTimeout", "-5"},
                        {"WebServer/ResumeRetryCount", "0"}});
    ASSERT_TRUE(Read(false));

    const UPDATECOMMONINFO& info = theApp.m_updateCommonInfo;
    EXPECT_EQ(info.CallWifiTool, 1);
    EXPECT_EQ(info.CallWifiParam, L"-wifi");
    EXPECT_EQ(info.CallPowerAutoOffDlg, 1);
    EXPECT_EQ(info.CallPowerAutoOffDlgParam, 135);
    EXPECT_EQ(info.CallFirmUpdateParam, L"-fw");
    EXPECT_EQ(theApp.m_strCountServerUrl, L"http://127.0.0.1/count");
    EXPECT_EQ(theApp.m_nConnectTimeout, 30);
    EXPECT_EQ(theApp.m_nSendTimeout, 0);
    EXPECT_EQ(theApp.m_nReceiveTimeout, -1);
    EXPECT_EQ(theApp.m_nResumeRetryCount, 0);
    EXPECT_EQ(theApp.m_nResumeRetrySleep, 3000);
    EXPECT_EQ(theApp.m_nDownRetryCount, 3);
    EXPECT_EQ(theApp.m_nDownRetrySleep, 3000);
    EXPECT_EQ(theApp.m_strIniFile, temp.File(L"VeltronaInstaller.ini"));
    EXPECT_TRUE(theApp.m_strAuthHeader.empty());

    std::vector<std::wstring> expected = {
        L"Set:theApp.m_updateCommonInfo.CallWifiTool = 1",
        L"Set:theApp.m_updateCommonInfo.CallWizardConnect = 0",
        L"Set:theApp.m_updateCommonInfo.CallWizardConnect2 = 0",
        L"Set:theApp.m_updateCommonInfo.CallVTFolerTray = 0",
        L"Set:theApp.m_updateCommonInfo.CallPowerAutoOffDlg = 1",
        L"Set:theApp.m_updateCommonInfo.CallPowerAutoOffDlgParam = 135",
        L"Set:theApp.m_updateCommonInfo.CallFirmUpdate = 0",
    };
    std::vector<std::wstring> setLines;
    for (const vttest::LogEntry& entry : log.Entries())
        if (entry.message.rfind(L"Set:", 0) == 0) {
            setLines.push_back(entry.message);
            EXPECT_EQ(entry.level, L"INFO");
        }
    EXPECT_EQ(setLines, expected);
}

TEST_F(ConfigurationTest, FlagValues) {
    struct Case {
        const char* stored;
        bool accepted;
        int field;
    } cases[] = {{"1", true, 1}, {"0", true, 0}, {"1.0", true, 1}, {"2", false, 0}, {"yes", false, 0},
                 {"-1", false, 0}, {".1", false, 0}, {"<missing>", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteConfiguration({{"VTInstMenu/CallWifiTool", c.stored}});
        std::wstring boxText;
        EXPECT_EQ(Read(!c.accepted, &boxText), c.accepted ? TRUE : FALSE);
        if (c.accepted) {
            EXPECT_EQ(theApp.m_updateCommonInfo.CallWifiTool, c.field);
        } else {
            EXPECT_EQ(boxText, L"An internal error occurred with Veltrona Installer.");
            EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::InitInstance: Flag is not exist in INI file. INI Path:" +
                                     theApp.m_strIniFile + L"; Guid:CallWifiTool"));
        }
    }
}

TEST_F(ConfigurationTest, OnlyTheFirstBadKeyIsReported) {
    WriteConfiguration({{"VTInstMenu/CallWizardConnect2", "7"}, {"VTInstMenu/CallFirmUpdate", "x"}});
    EXPECT_FALSE(Read(true));
    std::wstring path = theApp.m_strIniFile;
    EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::InitInstance: CallWizardConnect2 Flag is not exist in INI file. "
                             L"INI Path:" + path + L"; Guid:CallWizardConnect2"));
    for (const std::wstring& message : log.Messages())
        EXPECT_EQ(message.find(L"CallFirmUpdate Flag"), std::wstring::npos);
    EXPECT_EQ(log.Messages().back(), L"End  :CVTInstApp::InitInstance");
}

TEST_F(ConfigurationTest, PowerOffPageTemplate) {
    struct Case {
        const char* stored;
        bool accepted;
        int value;
    } cases[] = {{"<missing>", true, 135}, {"6003", true, 6003}, {"6004", true, 6004}, {"136", false, 0},
                 {"abc", true, 135}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteConfiguration({{"VTInstMenu/CallPowerAutoOffDlgParam", c.stored}});
        EXPECT_EQ(Read(!c.accepted), c.accepted ? TRUE : FALSE);
        if (c.accepted) {
            EXPECT_EQ(theApp.m_updateCommonInfo.CallPowerAutoOffDlgParam, c.value);
        }
    }
    EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::InitInstance: Flag is not exist in INI file. INI Path:" +
                             theApp.m_strIniFile + L"; Guid:CallPowerAutoOffDlgParam"));
}

TEST_F(ConfigurationTest, MissingCatalogueAddressEndsWithInternalError) {
    WriteConfiguration({{"VTInstXml/VTInstXmlUrl", "<missing>"}, {"WebServer/URL_STARTUP", "<missing>"}});
    std::wstring boxText;
    EXPECT_FALSE(Read(true, &boxText));
    EXPECT_EQ(boxText, L"An internal error occurred with Veltrona Installer.");
    EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::InitInstance: Failed to obtain the destination URL(VTInst.xml)."));
    // The catalogue address is checked first: nothing after it was read.
    EXPECT_FALSE(log.Contains(L"Error:CVTInstApp::InitInstance: Failed to get the DownloadCountServer url."));
}

TEST_F(ConfigurationTest, MissingCountServerIsLoggedOnly) {
    WriteConfiguration({{"WebServer/URL_STARTUP", "<missing>"}});
    EXPECT_TRUE(Read(false));
    EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::InitInstance: Failed to get the DownloadCountServer url."));
}

TEST_F(ConfigurationTest, AuthorizationHeaderLines) {
    // "user:pass" is 9 bytes: Base64 "dXNlcjpwYXNz".
    WriteConfiguration({{"WebServer/Auth", "  " + vttest::ScrambleCredentials(L"user:pass") + "  "}});
    ASSERT_TRUE(Read(false));
    EXPECT_EQ(theApp.m_strAuthHeader, L"Authorization: Basic dXNlcjpwYXNz");

    // Without catalogue credentials the package lines copy the configuration's line.
    theApp.m_updateCommonInfo.SoftAuth = L"   ";
    theApp.m_updateCommonInfo.OcrAuth.clear();
    theApp.BuildSoftAuthHeader();
    theApp.BuildOcrAuthHeader();
    EXPECT_EQ(theApp.m_strSoftAuthHeader, theApp.m_strAuthHeader);
    EXPECT_EQ(theApp.m_strOcrAuthHeader, theApp.m_strAuthHeader);
    EXPECT_EQ(theApp.m_updateCommonInfo.SoftAuth, L"");

    // Catalogue credentials win. The key is 38 characters long: longer credentials stop there.
    std::wstring longCredentials(45, L'a');
    theApp.m_updateCommonInfo.SoftAuth = vttest::Widen(" " + vttest::ScrambleCredentials(longCredentials) + " ");
    theApp.BuildSoftAuthHeader();
    std::wstring base64 = L"YWFh";  // three 'a'
    std::wstring expected;
    for (int i = 0; i < 12; ++i) expected += base64;
    expected += L"YWE=";  // 38 = 12 * 3 + 2
    EXPECT_EQ(theApp.m_strSoftAuthHeader, L"Authorization: Basic " + expected);
}

TEST_F(ConfigurationTest, BlankCredentialsBuildNoHeader) {
    WriteConfiguration({{"WebServer/Auth", "   "}});
    ASSERT_TRUE(Read(false));
    EXPECT_TRUE(theApp.m_strAuthHeader.empty());
    theApp.m_updateCommonInfo.SoftAuth.clear();
    theApp.BuildSoftAuthHeader();
    EXPECT_TRUE(theApp.m_strSoftAuthHeader.empty());
}

class SavedStateTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    LogFile log = LogFile::InFolder(temp.Path());
    void SetUp() override { theApp.m_strModuleDir = temp.Path(); }
};

TEST_F(SavedStateTest, CreateSavePathMakesOnlyTheLastLevel) {
    EXPECT_TRUE(theApp.CreateSavePath());
    EXPECT_EQ(theApp.m_strSavePath, temp.Path() + L"\\download\\");
    EXPECT_NE(GetFileAttributesW(theApp.m_strSavePath.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(theApp.CreateSavePath());  // existing folder

    theApp.m_strModuleDir = temp.File(L"missing\\deeper");
    theApp.m_strSavePath = L"unchanged";
    EXPECT_FALSE(theApp.CreateSavePath());
    EXPECT_EQ(theApp.m_strSavePath, L"unchanged");
    EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::CreateSavePath: create directory is failed."));
}

TEST_F(SavedStateTest, SavedStateKeepsServerKeysAndIsCopiedForTheFamily) {
    std::wstring file = temp.File(L"vtinst.ini");
    vttest::WriteTextFile(file, "[UserRegist]\r\nURL=old\r\nExtra=kept\r\n[Common]\r\nStartMode=9\r\n");
    theApp.m_strVTInstIni = file;
    theApp.m_strRegistUrl = L"http://register.example/form";
    theApp.m_strGuidePath = L"C:\\Guide.lnk";
    theApp.m_updateCommonInfo.ModelName = L"VT-S1300";
    theApp.m_nStartMode = 2;
    theApp.m_nFromDVD = 1;
    EXPECT_TRUE(theApp.SaveVTInst());

    auto read = [&](const wchar_t* section, const wchar_t* key) {
        wchar_t value[260] = {};
        GetPrivateProfileStringW(section, key, L"<none>", value, 260, file.c_str());
        return std::wstring(value);
    };
    EXPECT_EQ(read(L"UserRegist", L"URL"), L"http://register.example/form");
    EXPECT_EQ(read(L"UserRegist", L"Extra"), L"kept");
    EXPECT_EQ(read(L"BasicGuide", L"Path"), L"C:\\Guide.lnk");
    EXPECT_EQ(read(L"BasicGuide", L"Model"), L"VT-S1300");
    EXPECT_EQ(read(L"Common", L"StartMode"), L"2");
    EXPECT_EQ(read(L"Common", L"FromDVD"), L"1");

    // The family folder must exist already: the copy does not create it.
    wchar_t oldProgramData[MAX_PATH] = {};
    GetEnvironmentVariableW(L"PROGRAMDATA", oldProgramData, MAX_PATH);
    SetEnvironmentVariableW(L"PROGRAMDATA", temp.Path().c_str());
    theApp.m_strOSVersion = L"6.1";
    std::wstring familyCopy = temp.File(L"ZEL\\Veltrona\\Veltrona Online Update\\vtinst.ini");
    theApp.CopyVTInst();
    EXPECT_EQ(GetFileAttributesW(familyCopy.c_str()), INVALID_FILE_ATTRIBUTES);
    CreateDirectoryW(temp.File(L"ZEL").c_str(), nullptr);
    CreateDirectoryW(temp.File(L"ZEL\\Veltrona").c_str(), nullptr);
    CreateDirectoryW(temp.File(L"ZEL\\Veltrona\\Veltrona Online Update").c_str(), nullptr);
    theApp.CopyVTInst();
    SetEnvironmentVariableW(L"PROGRAMDATA", oldProgramData);
    EXPECT_EQ(vttest::ReadTextFile(familyCopy), vttest::ReadTextFile(file));
}

}  // namespace
