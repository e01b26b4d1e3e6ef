#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

#include "app/VTInst.h"
#include "catalogue/CatalogueParser.h"
#include "support/Language.h"
#include "tests/support/LogFile.h"
#include "tests/support/ScopedTempFolder.h"

using vttest::LogFile;
using vttest::ScopedTempFolder;

namespace {

const char XML_DECLARATION[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

// The three values every usable catalogue carries, followed by the given body.
std::string Catalogue(const std::string& body) {
    return std::string(XML_DECLARATION) +
           "<catalogue>\n"
           "  <license>http://server/license.rtf</license>\n"
           "  <vtinst>http://server/vtinst.ini</vtinst>\n"
           "  <model>VT-200</model>\n" +
           body + "</catalogue>\n";
}

std::string Item(const std::string& children) { return "  <item>" + children + "</item>\n"; }

class CatalogueParserTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    LogFile log = LogFile::InFolder(temp.Path());
    std::wstring path = temp.File(L"VTInst.xml");

    std::wstring savedOSVersion = theApp.m_strOSVersion;

    void SetUp() override {
        ClearParseResults();
        theApp.m_strOSVersion = L"6.1";
    }
    // Other tests share the application object: leave it as it was found.
    void TearDown() override {
        ClearParseResults();
        theApp.m_strOSVersion = savedOSVersion;
    }
    void ClearParseResults() {
        theApp.m_catalogueItems.clear();
        theApp.m_homeItems.clear();
        theApp.m_osNotSupported = 0;
        theApp.m_updateCommonInfo = UPDATECOMMONINFO();
    }

    BOOL Parse(const std::string& xml, const std::wstring& languageCode = L"en") {
        vttest::WriteTextFile(path, xml);
        return ParseCatalogue(theApp, path, languageCode);
    }

    // The one catalogue item of a document holding the given item children.
    CUpdateInfo ParseItem(const std::string& children, const std::wstring& languageCode = L"en") {
        EXPECT_TRUE(Parse(Catalogue(Item(children)), languageCode));
        EXPECT_EQ(theApp.m_catalogueItems.size(), 1u);
        return theApp.m_catalogueItems.empty() ? CUpdateInfo() : theApp.m_catalogueItems[0];
    }

    // The parse ended early: no closing line, and the file is no longer held open.
    void ExpectFailedAndReleased() {
        EXPECT_FALSE(log.Contains(L"End  :CVTInstApp::CreateUpdateInfoList"));
        EXPECT_TRUE(DeleteFileW(path.c_str()));
    }
};

TEST_F(CatalogueParserTest, ReadsItemsSectionsAndDocumentValues) {
    const std::string xml = std::string(XML_DECLARATION) +
                            "<!-- published catalogue -->\n"
                            "<VTInstList>\n"
                            "  <setupType>WW</setupType>\n"
                            "  <auth>065066067</auth>\n"
                            "  <license>http://server/license.rtf</license>\n"
                            "  <vtinst>http://server/vtinst.ini</vtinst>\n"
                            "  <model>VT-200</model>\n"
                            "  <abbyyVersion>12.0.1</abbyyVersion>\n"
                            "  <homeifversion>2.1.0</homeifversion>\n"
                            "  <exclude>5.0</exclude>\n"
                            "  <item no=\"1\">\n"
                            "    <id>Veltrona Manager</id>\n"
                            "    <title>Veltrona Manager</title>\n"
                            "    <version targetMinVersion=\"1.0.0.0\">2.1.0.5</version>\n"
                            "    <gmt_pubDate>2015/6/1 0:0:0</gmt_pubDate>\n"
                            "    <gmt_delDate>2030/12/31 23:59:59</gmt_delDate>\n"
                            "    <iss>http://server/mgr.iss</iss>\n"
                            "    <iss_ug>http://server/mgr_ug.iss</iss_ug>\n"
                            "    <module size=\"1048576\" installSize=\"5000000\">http://server/mgr.exe</module>\n"
                            "    <exclude>5.1</exclude>\n"
                            "    <unknown>ignored</unknown>\n"
                            "  </item>\n"
                            "  <item><id> Veltrona Manual A </id></item>\n"
                            "  <vtinst2>\n"
                            "    <auth>070071072</auth>\n"
                            "    <item><id>Veltrona Home OCR LangPack3</id><module>http://server/ocr.msi</module></item>\n"
                            "  </vtinst2>\n"
                            "  <item><id>Veltrona Online Update</id></item>\n"
                            "</VTInstList>\n";
    ASSERT_TRUE(Parse(xml));

    ASSERT_EQ(theApp.m_catalogueItems.size(), 3u);
    const CUpdateInfo& manager = theApp.m_catalogueItems[0];
    EXPECT_EQ(manager.m_id, L"Veltrona Manager");
    EXPECT_EQ(manager.m_title, L"Veltrona Manager");
    EXPECT_EQ(manager.m_version, L"2.1.0.5");
    EXPECT_EQ(manager.m_targetMinVersion, L"1.0.0.0");
    EXPECT_NE(manager.m_pubDate, 0);
    EXPECT_GT(manager.m_delDate, manager.m_pubDate);
    EXPECT_EQ(manager.m_issUrl, L"http://server/mgr.iss");
    EXPECT_EQ(manager.m_issUgUrl, L"http://server/mgr_ug.iss");
    EXPECT_EQ(manager.m_moduleUrl, L"http://server/mgr.exe");
    EXPECT_EQ(manager.m_size, 1048576);
    EXPECT_EQ(manager.m_installSize, 5000000);
    EXPECT_EQ(manager.m_displaySize, 10);
    EXPECT_EQ(manager.m_exclude, L"5.1");
    EXPECT_EQ(manager.m_installOk, 1);
    EXPECT_EQ(manager.m_packageCount, 1);

    // Values are taken verbatim; nothing left over from the previous item.
    const CUpdateInfo& manual = theApp.m_catalogueItems[1];
    EXPECT_EQ(manual.m_id, L" Veltrona Manual A ");
    EXPECT_EQ(manual.m_title, L"");
    EXPECT_EQ(manual.m_moduleUrl, L"");
    EXPECT_EQ(manual.m_size, 0);
    EXPECT_EQ(manual.m_displaySize, 1);
    EXPECT_EQ(manual.m_exclude, L"");
    EXPECT_EQ(theApp.m_catalogueItems[2].m_id, L"Veltrona Online Update");

    ASSERT_EQ(theApp.m_homeItems.size(), 1u);
    EXPECT_EQ(theApp.m_homeItems[0].m_id, L"Veltrona Home OCR LangPack3");
    EXPECT_EQ(theApp.m_homeItems[0].m_moduleUrl, L"http://server/ocr.msi");

    const UPDATECOMMONINFO& info = theApp.m_updateCommonInfo;
    EXPECT_EQ(info.SetupType, L"WW");
    EXPECT_EQ(info.SoftAuth, L"065066067");
    EXPECT_EQ(info.OcrAuth, L"070071072");
    EXPECT_EQ(info.LicenseUrl, L"http://server/license.rtf");
    EXPECT_EQ(info.VTInstUrl, L"http://server/vtinst.ini");
    EXPECT_EQ(info.ModelName, L"VT-200");
    EXPECT_EQ(info.AbbyyVersion, L"12.0.1");
    EXPECT_EQ(info.HomeIfVersion, L"2.1.0");
    EXPECT_EQ(theApp.m_osNotSupported, 0);

    std::vector<std::wstring> messages = log.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front(), L"Start:CVTInstApp::CreateUpdateInfoList");
    EXPECT_EQ(messages.back(), L"End  :CVTInstApp::CreateUpdateInfoList");
    EXPECT_TRUE(DeleteFileW(path.c_str())) << "the catalogue file is still held open";
}

TEST_F(CatalogueParserTest, ApplicationParseChoosesTheUserLanguage) {
    const std::string code = vttest::Narrow(GetLanguageCode());
    vttest::WriteTextFile(path, Catalogue(Item("<title>unmarked</title><title lang=\"" + code + "\">mine</title>")));
    ASSERT_TRUE(theApp.CreateUpdateInfoList(path));
    ASSERT_EQ(theApp.m_catalogueItems.size(), 1u);
    EXPECT_EQ(theApp.m_catalogueItems[0].m_title, L"mine");
}

TEST_F(CatalogueParserTest, EachParseStartsFromEmptyLists) {
    CUpdateInfo stale;
    stale.m_id = L"stale";
    theApp.m_catalogueItems.push_back(stale);
    theApp.m_homeItems.push_back(stale);
    ASSERT_TRUE(Parse(Catalogue(Item("<id>fresh</id>"))));
    ASSERT_EQ(theApp.m_catalogueItems.size(), 1u);
    EXPECT_EQ(theApp.m_catalogueItems[0].m_id, L"fresh");
    EXPECT_TRUE(theApp.m_homeItems.empty());
}

TEST_F(CatalogueParserTest, TitleFollowsTheLanguageCode) {
    struct Case {
        const char* titles;
        const wchar_t* languageCode;
        const wchar_t* expected;
    } cases[] = {
        {"<title>A</title><title lang=\"ja\">B</title>", L"ja", L"B"},
        {"<title>A</title><title lang=\"ja\">B</title>", L"en", L"A"},
        {"<title lang=\"ja\">B</title><title>A</title>", L"ja", L"B"},
        {"<title lang=\"fr\">F</title>", L"de", L""},
        {"", L"en", L""},
        // The first unmarked title wins; a later matching one overwrites an earlier one.
        {"<title>A</title><title>A2</title>", L"en", L"A"},
        {"<title lang=\"ja\">B</title><title lang=\"ja\">B2</title>", L"ja", L"B2"},
        // A title with attributes counts only through its lang attribute.
        {"<title note=\"x\">N</title><title>A</title>", L"en", L"A"},
        {"<title lang=\"zh-CN\">C</title><title lang=\"zh-cn\">c</title>", L"zh-CN", L"C"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseItem(std::string("<id>x</id>") + c.titles, c.languageCode).m_title, c.expected)
            << c.titles << " / " << vttest::Narrow(c.languageCode);
    }
}

TEST_F(CatalogueParserTest, ModuleAndItsSizesFollowTheLanguageCode) {
    const std::string modules =
        "<module size=\"100\" installSize=\"200\">A</module>"
        "<module lang=\"ja\" size=\"300\" installSize=\"400\">B</module>";
    struct Case {
        const wchar_t* languageCode;
        const wchar_t* url;
        int64_t size;
        int64_t installSize;
    } cases[] = {{L"en", L"A", 100, 200}, {L"ja", L"B", 300, 400}};
    for (const Case& c : cases) {
        CUpdateInfo item = ParseItem(modules, c.languageCode);
        EXPECT_EQ(item.m_moduleUrl, c.url);
        EXPECT_EQ(item.m_size, c.size);
        EXPECT_EQ(item.m_installSize, c.installSize);
        EXPECT_EQ(item.m_displaySize, 1);
    }
}

TEST_F(CatalogueParserTest, ModuleSizesCarryWithinAnItemOnly) {
    // The unmarked module has no size of its own and takes the one an earlier module left pending;
    // the next item starts again from 0.
    ASSERT_TRUE(Parse(Catalogue(Item("<module lang=\"fr\" size=\"2097152\" installSize=\"7\">F</module>"
                                     "<module>A</module>") +
                                Item("<module>C</module>"))));
    ASSERT_EQ(theApp.m_catalogueItems.size(), 2u);
    EXPECT_EQ(theApp.m_catalogueItems[0].m_moduleUrl, L"A");
    EXPECT_EQ(theApp.m_catalogueItems[0].m_size, 2097152);
    EXPECT_EQ(theApp.m_catalogueItems[0].m_installSize, 7);
    EXPECT_EQ(theApp.m_catalogueItems[0].m_displaySize, 20);
    EXPECT_EQ(theApp.m_catalogueItems[1].m_moduleUrl, L"C");
    EXPECT_EQ(theApp.m_catalogueItems[1].m_size, 0);
    EXPECT_EQ(theApp.m_catalogueItems[1].m_installSize, 0);
}

TEST_F(CatalogueParserTest, SizeTextsThatAreNoPlainNumberGiveMinusOne) {
    struct Case {
        const char* size;
        int64_t expected;
        int64_t displaySize;
    } cases[] = {{"12.5", 12, 1}, {"1,5", -1, 0}, {"-3", -1, 0}, {"", -1, 0}, {"10485760", 10485760, 100}};
    for (const Case& c : cases) {
        CUpdateInfo item = ParseItem(std::string("<module size=\"") + c.size + "\" installSize=\"" + c.size +
                                     "\">A</module>");
        EXPECT_EQ(item.m_size, c.expected) << c.size;
        EXPECT_EQ(item.m_installSize, c.expected) << c.size;
        // Without a usable size the display size keeps its initial 0.
        EXPECT_EQ(item.m_displaySize, c.displaySize) << c.size;
    }
}

TEST_F(CatalogueParserTest, TargetMinVersionForms) {
    struct Case {
        const char* version;
        const wchar_t* expected;
    } cases[] = {
        {"<version>2.0.0.0</version>", L""},
        {"<version targetMinVersion=\"\">2.0.0.0</version>", L"-1.-1.-1.-1"},
        {"<version targetMinVersion=\"5.0\">2.0.0.0</version>", L"-1.-1.-1.-1"},
        {"<version targetMinVersion=\"-1.-1.-1.-1\">2.0.0.0</version>", L"-1.-1.-1.-1"},
        {"<version targetMinVersion=\"1.2.3.4\">2.0.0.0</version>", L"1.2.3.4"},
    };
    for (const Case& c : cases) {
        CUpdateInfo item = ParseItem(c.version);
        EXPECT_EQ(item.m_targetMinVersion, c.expected) << c.version;
        EXPECT_EQ(item.m_version, L"2.0.0.0") << c.version;
    }
}

TEST_F(CatalogueParserTest, InvalidVersionIsLoggedAndEmptied) {
    ASSERT_TRUE(Parse(Catalogue(Item("<version>1.2.3</version>") + Item("<version>1.2.3.4</version>"))));
    ASSERT_EQ(theApp.m_catalogueItems.size(), 2u);
    EXPECT_EQ(theApp.m_catalogueItems[0].m_version, L"");
    EXPECT_EQ(theApp.m_catalogueItems[1].m_version, L"1.2.3.4");
    EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::CreateUpdateInfoList:soft version is 1.2.3"));
}

TEST_F(CatalogueParserTest, HomeInterfaceVersionNeverFallsBelowTheFloor) {
    struct Case {
        const char* element;
        const wchar_t* expected;
        bool loggedInvalid;
    } cases[] = {
        {"", L"1.8.0", false},
        {"<homeifversion>1.7.9</homeifversion>", L"1.8.0", false},
        {"<homeifversion>1.8.0</homeifversion>", L"1.8.0", false},
        {"<homeifversion>1.10.0</homeifversion>", L"1.10.0", false},
        {"<homeifversion>2.0</homeifversion>", L"1.8.0", true},
        {"<homeifversion>1.9.0.1</homeifversion>", L"1.8.0", true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Parse(Catalogue(c.element))) << c.element;
        EXPECT_EQ(theApp.m_updateCommonInfo.HomeIfVersion, c.expected) << c.element;
        EXPECT_EQ(log.Contains(L"Error:CVTInstApp::CreateUpdateInfoList:soft version is 2.0") ||
                      log.Contains(L"Error:CVTInstApp::CreateUpdateInfoList:soft version is 1.9.0.1"),
                  c.loggedInvalid)
            << c.element;
        DeleteFileW(log.Path().c_str());
    }
}

TEST_F(CatalogueParserTest, DocumentExcludeStopsTheParseOnThisSystem) {
    struct Case {
        const wchar_t* osVersion;
        const char* exclude;
        bool refused;
    } cases[] = {
        {L"6.0", "5.1,6.0", true},
        {L"6.1", "6.10", true},  // a substring test
        {L"6.2", "5.1,6.0", false},
    };
    for (const Case& c : cases) {
        SetUp();
        theApp.m_strOSVersion = c.osVersion;
        const std::string body = Item("<id>before</id>") + "<exclude>" + c.exclude + "</exclude>\n" +
                                 Item("<id>after</id>");
        EXPECT_EQ(Parse(Catalogue(body)), c.refused ? FALSE : TRUE) << c.exclude;
        EXPECT_EQ(theApp.m_osNotSupported, c.refused ? 1 : 0) << c.exclude;
        EXPECT_EQ(log.Contains(L"Error:CVTInstApp::CreateUpdateInfoList:Os is not supported.(exclude)"), c.refused);
        EXPECT_EQ(theApp.m_catalogueItems.size(), c.refused ? 1u : 2u) << c.exclude;
        // The document values are assigned only after the whole document was read.
        EXPECT_EQ(theApp.m_updateCommonInfo.ModelName, c.refused ? L"" : L"VT-200");
        if (c.refused) ExpectFailedAndReleased();
        DeleteFileW(log.Path().c_str());
    }
}

TEST_F(CatalogueParserTest, ItemExcludeNamingThisSystemOnlyMarksTheItem) {
    CUpdateInfo item = ParseItem("<exclude>6.1</exclude>");
    EXPECT_EQ(item.m_exclude, L"6.1");
    EXPECT_EQ(theApp.m_osNotSupported, 0);
}

TEST_F(CatalogueParserTest, DatesAreConvertedAndInvalidOnesFailTheParse) {
    struct tm march2 = {};
    march2.tm_year = 115;
    march2.tm_mon = 2;
    march2.tm_mday = 2;
    march2.tm_hour = 10;
    march2.tm_isdst = -1;
    CUpdateInfo item = ParseItem("<gmt_pubDate>2015/2/30 10:00:00</gmt_pubDate>");
    EXPECT_EQ(item.m_pubDate, _mktime64(&march2));
    EXPECT_EQ(item.m_delDate, 0);

    const char* invalid[] = {"<gmt_pubDate>1899/12/31 0:0:0</gmt_pubDate>",
                             "<gmt_delDate>2015/13/1 0:0:0</gmt_delDate>",
                             "<gmt_delDate>2015/1/1</gmt_delDate>"};
    for (const char* date : invalid) {
        SetUp();
        DeleteFileW(log.Path().c_str());
        EXPECT_FALSE(Parse(Catalogue(Item("<id>first</id>") + Item(std::string("<id>second</id>") + date))))
            << date;
        EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::CreateUpdateInfoList: Date format is failed.")) << date;
        // What was read before the bad date stays; the item holding it was never finished.
        ASSERT_EQ(theApp.m_catalogueItems.size(), 1u) << date;
        EXPECT_EQ(theApp.m_catalogueItems[0].m_id, L"first");
        ExpectFailedAndReleased();
    }
}

TEST_F(CatalogueParserTest, SelfClosingElementWaitsForTheNextText) {
    // The empty id has no end node, so it is still waiting when the title's text arrives.
    CUpdateInfo item = ParseItem("<id/><title>T</title>");
    EXPECT_EQ(item.m_id, L"T");
    EXPECT_EQ(item.m_title, L"");
}

TEST_F(CatalogueParserTest, CdataCommentsAndInstructionsAreSkippedEntitiesResolved) {
    CUpdateInfo item = ParseItem(
        "<id><![CDATA[hidden]]></id>"
        "<title>A &amp; B &#x263A;<!-- note --></title>"
        "<?render fast?>"
        "<iss>http://server/a.iss?x=1&amp;y=2</iss>");
    EXPECT_EQ(item.m_id, L"");
    EXPECT_EQ(item.m_title, L"A & B \x263A");
    EXPECT_EQ(item.m_issUrl, L"http://server/a.iss?x=1&y=2");
}

TEST_F(CatalogueParserTest, DocumentTypeDeclarationIsRefused) {
    const std::string xml = std::string(XML_DECLARATION) +
                            "<!DOCTYPE catalogue [<!ENTITY host \"server\">]>\n" +
                            Catalogue(Item("<id>&host;</id>")).substr(sizeof(XML_DECLARATION) - 1);
    EXPECT_FALSE(Parse(xml));
    EXPECT_TRUE(log.Contains(L"Error::CVTInstApp::CreateUpdateInfoList:pReader->Read failed"));
    EXPECT_TRUE(theApp.m_catalogueItems.empty());
    EXPECT_EQ(theApp.m_updateCommonInfo.LicenseUrl, L"");
    ExpectFailedAndReleased();
}

TEST_F(CatalogueParserTest, BrokenDocumentKeepsWhatWasParsed) {
    const std::string xml = Catalogue(Item("<id>one</id>") + "<vtinst2>" + Item("<id>home</id>") +
                                      Item("<id>two</id></wrong>"));
    EXPECT_FALSE(Parse(xml));
    std::vector<vttest::LogEntry> entries = log.Entries();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().message, L"Error::CVTInstApp::CreateUpdateInfoList:pReader->Read failed");
    EXPECT_EQ(entries.back().level, L"EROR");
    EXPECT_NE(entries.back().errorNumber, L"0");
    EXPECT_NE(entries.back().errorNumber, L"-1");
    ASSERT_EQ(theApp.m_catalogueItems.size(), 1u);
    EXPECT_EQ(theApp.m_catalogueItems[0].m_id, L"one");
    ASSERT_EQ(theApp.m_homeItems.size(), 1u);
    EXPECT_EQ(theApp.m_homeItems[0].m_id, L"home");
    EXPECT_EQ(theApp.m_updateCommonInfo.ModelName, L"");
    ExpectFailedAndReleased();
}

// A download cut short, wherever it stopped, ends as a reader error before anything is taken from
// it; none of these shapes may hang the parse or end the process.
TEST_F(CatalogueParserTest, CutOffDocumentsFailAsReaderErrors) {
    const std::string whole = Catalogue(Item("<id>one</id><exclude/>") + Item("<id>two</id><!-- c -->") +
                                        Item("<id>three</id><?pi x?><![CDATA[y]]>"));
    struct Cut {
        const char* where;
        std::string text;
    } cuts[] = {
        {"between items", whole.substr(0, whole.find("  <item><id>two"))},
        {"inside a text", whole.substr(0, whole.find("two</id>") + 2)},
        {"inside a tag", whole.substr(0, whole.find("<id>two") + 2)},
        {"inside the last end tag", whole.substr(0, whole.size() - 4)},
        {"after a complete end tag", whole.substr(0, whole.find("</item>") + 7)},
        {"after a self-closing element", whole.substr(0, whole.find("<exclude/>") + 10)},
        {"after a comment", whole.substr(0, whole.find("<!-- c -->") + 10)},
        {"after a processing instruction", whole.substr(0, whole.find("<?pi x?>") + 8)},
        {"after a CDATA section", whole.substr(0, whole.find("]]>") + 3)},
        {"at a NUL byte", whole.substr(0, whole.find("<id>two")) + std::string(1, '\0')},
        {"inside the declaration", std::string(XML_DECLARATION).substr(0, 20)},
        {"after the declaration", XML_DECLARATION},
        {"after the byte-order mark", "\xEF\xBB\xBF"},
        {"before anything", ""},
        {"with another element closed last", "<catalogue><model>m</model></catalogue><item></item>"},
    };
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.where);
        SetUp();
        DeleteFileW(log.Path().c_str());
        EXPECT_FALSE(Parse(cut.text));
        EXPECT_TRUE(log.Contains(L"Error::CVTInstApp::CreateUpdateInfoList:pReader->Read failed"));
        EXPECT_TRUE(theApp.m_catalogueItems.empty());
        EXPECT_EQ(theApp.m_updateCommonInfo.ModelName, L"");
        ExpectFailedAndReleased();
    }
}

TEST_F(CatalogueParserTest, CommentsAndInstructionsAfterTheRootAreAllowed) {
    EXPECT_TRUE(Parse(Catalogue(Item("<id>one</id>")) + "<!-- signed -->\n<?stamp 2026?>\n\n"));
    ASSERT_EQ(theApp.m_catalogueItems.size(), 1u);
    EXPECT_EQ(theApp.m_catalogueItems[0].m_id, L"one");
}

// The platform's reader may hand out the same node for ever where a comment's end lies across the
// edge of its 8 KiB buffer; the parse must end either way.
TEST_F(CatalogueParserTest, ACommentAcrossTheReadersBufferEdgeNeverHangs) {
    for (size_t edge = 8184; edge <= 8192; ++edge) {
        SCOPED_TRACE(edge);
        SetUp();
        DeleteFileW(log.Path().c_str());
        const std::string head = std::string(XML_DECLARATION) + "<catalogue>\n<!--";
        const std::string xml = head + std::string(edge - head.size(), 'x') + "-->" +
                                Catalogue(Item("<id>one</id>")).substr(head.size() - 4);
        if (Parse(xml)) {
            ASSERT_EQ(theApp.m_catalogueItems.size(), 1u);
        } else {
            EXPECT_TRUE(log.Contains(L"Error::CVTInstApp::CreateUpdateInfoList:pReader->Read failed"));
        }
    }
}

TEST_F(CatalogueParserTest, MissingFileFailsWithTheSystemError) {
    EXPECT_FALSE(ParseCatalogue(theApp, temp.File(L"absent.xml"), L"en"));
    std::vector<vttest::LogEntry> entries = log.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].message, L"Error::CVTInstApp::CreateUpdateInfoList:[FileStream::OpenFile] failed");
    EXPECT_EQ(entries[1].errorNumber, std::to_wstring(static_cast<int>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))));
}

TEST_F(CatalogueParserTest, RequiredDocumentValuesAreCheckedInOrder) {
    const std::string license = "<license>http://server/license.rtf</license>";
    const std::string vtinst = "<vtinst>http://server/vtinst.ini</vtinst>";
    const std::string model = "<model>VT-200</model>";
    struct Case {
        std::string body;
        const wchar_t* message;
    } cases[] = {
        {vtinst + model, L"Error:CVTInstApp::CreateUpdateInfoList: License is empty."},
        {"", L"Error:CVTInstApp::CreateUpdateInfoList: License is empty."},
        {license + model, L"Error:CVTInstApp::CreateUpdateInfoList: VtInstUrl is empty."},
        {license, L"Error:CVTInstApp::CreateUpdateInfoList: VtInstUrl is empty."},
        {license + vtinst, L"Error:CVTInstApp::CreateUpdateInfoList: Model is empty."},
        // A license only for another language is no license.
        {"<license lang=\"ja\">http://server/ja.rtf</license>" + vtinst + model,
         L"Error:CVTInstApp::CreateUpdateInfoList: License is empty."},
    };
    for (const Case& c : cases) {
        DeleteFileW(log.Path().c_str());
        EXPECT_FALSE(Parse(std::string(XML_DECLARATION) + "<c>" + c.body + "</c>")) << c.body;
        std::vector<vttest::LogEntry> entries = log.Entries();
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries.back().message, c.message) << c.body;
        EXPECT_EQ(entries.back().errorNumber, L"-1");
        ExpectFailedAndReleased();
    }
}

TEST_F(CatalogueParserTest, LicenseFollowsTheLanguageCode) {
    struct Case {
        const char* licenses;
        const wchar_t* languageCode;
        const wchar_t* expected;
    } cases[] = {
        {"<license>D</license><license lang=\"ja\">J</license>", L"ja", L"J"},
        {"<license>D</license><license lang=\"ja\">J</license>", L"en", L"D"},
        {"<license lang=\"po\">P</license><license>D</license><license>D2</license>", L"po", L"P"},
        {"<license>D</license><license>D2</license>", L"po", L"D"},
    };
    for (const Case& c : cases) {
        const std::string xml = std::string(XML_DECLARATION) + "<c>" + c.licenses +
                                "<vtinst>v</vtinst><model>m</model></c>";
        ASSERT_TRUE(Parse(xml, c.languageCode)) << c.licenses;
        EXPECT_EQ(theApp.m_updateCommonInfo.LicenseUrl, c.expected) << c.licenses;
    }
}

}  // namespace
