// The selection driver from a catalogue file to the update list, its folders and its bundle.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "SelectionFixture.h"
#include "StringIds.h"
#include "support/LogFile.h"
#include "support/MessageBoxWatcher.h"
#include "support/StringTableModule.h"

namespace {

const char CATALOGUE_HEAD[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<catalogue>\n"
    "<license>http://server/license.rtf</license><vtinst>http://server/vtinst.ini</vtinst>"
    "<model>VT-100</model><abbyyVersion>11.0</abbyyVersion><homeifversion>1.8.0</homeifversion>\n";

std::string Item(const std::string& id, const std::string& version, const std::string& module) {
    return "<item><id>" + id + "</id><title>" + id + "</title><version>" + version +
           "</version><gmt_pubDate>2015/1/1 0:0:0</gmt_pubDate><gmt_delDate>2099/12/31 23:59:59</gmt_delDate>"
           "<iss>http://server/new.iss</iss><iss_ug>http://server/ug.iss</iss_ug>"
           "<module size=\"1048576\" installSize=\"2097152\">http://server/" +
           module + "</module></item>\n";
}

class SelectionInstallSoftTest : public vttest::SelectionFixture {
protected:
    void WriteCatalogue(const std::string& body) {
        theApp.m_strXmlFile = m_temp.File(L"VTInst.xml");
        vttest::WriteTextFile(theApp.m_strXmlFile, CATALOGUE_HEAD + body + "</catalogue>\n");
    }
    void WriteConfiguration(const std::string& addPathSection) {
        theApp.m_strIniFile = m_temp.File(L"VeltronaInstaller.ini");
        vttest::WriteTextFile(theApp.m_strIniFile, "[VTInstXml]\r\nUrl=http://server/VTInst.xml\r\n" + addPathSection);
    }
    bool Logged(const std::wstring& line) const { return vttest::LogFile::InFolder(m_temp.Path()).Contains(line); }
};

TEST_F(SelectionInstallSoftTest, UnreadableCatalogueIsAnAnalysisError) {
    theApp.m_strXmlFile = m_temp.File(L"missing.xml");
    EXPECT_EQ(theApp.CheckInstallSoft(), IDS_CANNOT_ANALYSE_FILE);
    // The log file's reader drops the line's trailing blank.
    EXPECT_TRUE(Logged(L"Error:CVTInstApp::CheckInstallSoft: Xml file prase is failed."));
}

TEST_F(SelectionInstallSoftTest, CatalogueExcludingThisSystemIsUnsupported) {
    WriteCatalogue("<exclude>5.1,6.1</exclude>\n" + Item("Veltrona Manager", "1.0.0.0", "manager.msi"));
    EXPECT_EQ(theApp.CheckInstallSoft(), IDS_OS_NOT_SUPPORTED);
}

TEST_F(SelectionInstallSoftTest, NewInstallsTakeTheirFolderFromTheConfiguration) {
    WriteCatalogue(Item("Veltrona Manager", "1.0.0.0", "manager.msi") +
                   Item("Veltrona Manual02", "1.0.0.0", "manual.msi"));
    WriteConfiguration("[AddPath]\r\nVeltrona Manager=Veltrona\\Manager\r\n");

    EXPECT_EQ(theApp.CheckInstallSoft(), IDS_INTERNAL_ERROR);
    EXPECT_TRUE(Logged(L"Error:CVTInstApp::CheckInstallSoft: New install's folder path is not exist in INI file. "
                       L"INI Path:" + theApp.m_strIniFile + L"; Guid:Veltrona Manual02"));

    ResetApp();
    WriteCatalogue(Item("Veltrona Manager", "1.0.0.0", "manager.msi") +
                   Item("Veltrona Manual02", "1.0.0.0", "manual.msi"));
    WriteConfiguration("[AddPath]\r\nVeltrona Manager=Veltrona\\Manager\r\nVeltrona Manual02=Veltrona\\Manuals\r\n");
    EXPECT_EQ(theApp.CheckInstallSoft(), 0);
    ASSERT_EQ(theApp.m_updateList.size(), 2u);
    EXPECT_EQ(theApp.m_updateList[0].m_addPath, L"Veltrona\\Manager");
    EXPECT_EQ(theApp.m_updateList[1].m_addPath, L"Veltrona\\Manuals");
    EXPECT_EQ(theApp.m_updateCommonInfo.SelectFolder, 1);
}

TEST_F(SelectionInstallSoftTest, UpdatesNeedNoConfiguredFolder) {
    ASSERT_TRUE(m_registry.InstallProduct(L"Veltrona Manager", L"1.0.0.0", L"C:\\Veltrona\\Manager"));
    WriteCatalogue(Item("Veltrona Manager", "1.0.0.1", "manager.msi"));
    WriteConfiguration("");
    EXPECT_EQ(theApp.CheckInstallSoft(), 0);
    ASSERT_EQ(theApp.m_updateList.size(), 1u);
    EXPECT_EQ(theApp.m_updateCommonInfo.SelectFolder, 0);
}

class SelectionInstallSoftHomeTest : public SelectionInstallSoftTest {
protected:
    void SetUp() override {
        SelectionInstallSoftTest::SetUp();
        m_strings = std::make_unique<vttest::StringTableModule>(
            m_temp.Path(), std::map<UINT, std::wstring>{{IDS_CAPTION, L"Veltrona Installer"},
                                                        {IDS_HOME_CLOUD_CONFIRM, L"Continue?"}});
        m_resources = std::make_unique<vttest::ScopedResourceModule>(m_strings->Handle());
        ASSERT_TRUE(m_registry.InstallProduct(L"Veltrona Home", L"1.8.0.0"));
        ASSERT_TRUE(m_registry.InstallProduct(L"Veltrona Home OCR LangPack3", L"1.0.0.0"));
        WriteCatalogue(Item("Veltrona OCR LangPack1", "1.0.0.0", "pack1.msi") +
                       Item("Veltrona OCR LangPack2", "1.0.0.0", "pack2.msi") + "<vtinst2><auth>123</auth>" +
                       Item("Veltrona Home OCR LangPack2", "1.0.0.0", "home2.msi") +
                       Item("Veltrona Home OCR LangPack3", "1.0.0.0", "home3.msi") + "</vtinst2>\n");
        WriteConfiguration("");
    }
    void TearDown() override {
        m_resources.reset();
        m_strings.reset();
        SelectionInstallSoftTest::TearDown();
    }
    int RunAnswering(int answer) {
        vttest::MessageBoxWatcher watcher({L"Veltrona Installer", GetCurrentProcessId()}, answer);
        const int result = theApp.CheckInstallSoft();
        EXPECT_TRUE(watcher.Finish());
        EXPECT_EQ(watcher.Info().text, L"Continue?");
        return result;
    }

    std::unique_ptr<vttest::StringTableModule> m_strings;
    std::unique_ptr<vttest::ScopedResourceModule> m_resources;
};

TEST_F(SelectionInstallSoftHomeTest, HomePacksRideWithPack2) {
    EXPECT_EQ(RunAnswering(IDYES), 0);
    ASSERT_EQ(vttest::IdsOf(theApp.m_updateList), std::vector<std::wstring>{L"Veltrona OCR LangPack2"});
    const CUpdateInfo& bundle = theApp.m_updateList[0];
    EXPECT_EQ(bundle.m_packageCount, 2);
    ASSERT_NE(bundle.m_subPackages, nullptr);
    EXPECT_EQ((*bundle.m_subPackages)[1].m_id, L"Veltrona Home OCR LangPack2");
    EXPECT_EQ(bundle.m_size, 2 * 1048576);
    EXPECT_EQ(bundle.m_displaySize, 20);
    EXPECT_EQ(theApp.m_updateCommonInfo.TotalInstallSize, 10);
}

TEST_F(SelectionInstallSoftHomeTest, DecliningTheHomeQuestionStopsWithoutAMessage) {
    EXPECT_EQ(RunAnswering(IDNO), -1);
    EXPECT_TRUE(theApp.m_updateList.empty());
}

}  // namespace
