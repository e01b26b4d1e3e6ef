// Which catalogue records the selection takes, for the machine states that decide it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SelectionFixture.h"
#include "support/LogFile.h"

namespace {

using vttest::MakeRecord;
using vttest::ONE_DAY;
using vttest::SELECTION_NOW;

const wchar_t MANAGER[] = L"Veltrona Manager";
const wchar_t PACK1[] = L"Veltrona OCR LangPack1";
const wchar_t PACK2[] = L"Veltrona OCR LangPack2";
const wchar_t PACK3[] = L"Veltrona OCR LangPack3";
const wchar_t PACK5[] = L"Veltrona OCR LangPack5";
const wchar_t ONLINE_UPDATE[] = L"Veltrona Online Update";

struct Offer {
    std::wstring id;
    std::wstring version;
    std::wstring targetMinVersion;
    int64_t delDate = SELECTION_NOW + ONE_DAY;
    std::wstring exclude;
};

struct Installed {
    std::wstring id;
    std::wstring version;
};

struct SelectionCase {
    const char* name;
    std::vector<Installed> installed;
    std::vector<Offer> catalogue;
    std::vector<std::wstring> expected;
    int expectedSelectFolder = 0;
    bool homeInstalled = false;
    int multiByte = 0;
    int langPackInstalled = 0;
    int engineSupported = 1;
};

class SelectionScenarioTest : public vttest::SelectionFixture,
                              public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(SelectionScenarioTest, SelectsWhatTheMachineNeeds) {
    const SelectionCase& scenario = GetParam();
    for (const Installed& product : scenario.installed) {
        if (product.id == ONLINE_UPDATE)
            ASSERT_TRUE(m_registry.SetString(L"SOFTWARE\\ZEL\\Veltrona Online Update", L"Version", product.version));
        else
            ASSERT_TRUE(m_registry.InstallProduct(product.id, product.version));
    }
    for (const Offer& offer : scenario.catalogue) {
        CUpdateInfo record = MakeRecord(offer.id, offer.version);
        record.m_targetMinVersion = offer.targetMinVersion;
        record.m_delDate = offer.delDate;
        record.m_exclude = offer.exclude;
        theApp.m_catalogueItems.push_back(record);
    }
    theApp.m_homeInstalled = scenario.homeInstalled ? 1 : 0;
    vttest::OcrAnswers().multiByteLanguage = scenario.multiByte;
    vttest::OcrAnswers().langPackInstalled = scenario.langPackInstalled;
    vttest::OcrAnswers().supportedEngine = scenario.engineSupported;

    theApp.GetNeedUpdateList(SELECTION_NOW);

    EXPECT_EQ(vttest::IdsOf(theApp.m_updateList), scenario.expected);
    EXPECT_EQ(theApp.m_updateCommonInfo.SelectFolder, scenario.expectedSelectFolder);
}

const Installed HOME_PACK(int n) { return {L"Veltrona Home OCR LangPack" + std::to_wstring(n), L"1.0.0.0"}; }

INSTANTIATE_TEST_SUITE_P(
    Selection, SelectionScenarioTest,
    ::testing::Values(
        // Updates of installed products.
        SelectionCase{"NewerVersionIsAnUpdate", {{MANAGER, L"2.0.0.0"}}, {{MANAGER, L"2.0.0.1"}}, {MANAGER}},
        SelectionCase{"EqualVersionIsNot", {{MANAGER, L"2.0.0.0"}}, {{MANAGER, L"2.0.0.0"}}, {}},
        SelectionCase{"OlderVersionIsNot", {{MANAGER, L"2.0.0.0"}}, {{MANAGER, L"1.9.9.9"}}, {}},
        SelectionCase{"InvalidInstalledVersionIsNot", {{MANAGER, L"2.0"}}, {{MANAGER, L"2.0.0.1"}}, {}},
        SelectionCase{"BelowTargetMinimumIsNot", {{MANAGER, L"4.9.0.0"}}, {{MANAGER, L"5.1.0.0", L"5.0.0.0"}}, {}},
        SelectionCase{"AtTargetMinimumIs", {{MANAGER, L"5.0.0.0"}}, {{MANAGER, L"5.1.0.0", L"5.0.0.0"}}, {MANAGER}},
        SelectionCase{"EmptyTargetMinimumAttributeNeverUpdates",
                      {{MANAGER, L"4.9.0.0"}},
                      {{MANAGER, L"5.1.0.0", L"-1.-1.-1.-1"}},
                      {}},
        SelectionCase{"OnlineUpdateReadsItsOwnKey",
                      {{ONLINE_UPDATE, L"1.0.0.0"}},
                      {{ONLINE_UPDATE, L"1.0.0.1"}},
                      {ONLINE_UPDATE}},
        // Dates, operating system and product names.
        SelectionCase{"WithdrawnOneSecondAgo", {}, {{MANAGER, L"1.0.0.0", L"", SELECTION_NOW - 1}}, {}},
        SelectionCase{"WithdrawnNow", {}, {{MANAGER, L"1.0.0.0", L"", SELECTION_NOW}}, {MANAGER}, 1},
        SelectionCase{"ExcludedOnThisSystem", {}, {{MANAGER, L"1.0.0.0", L"", SELECTION_NOW + 1, L"5.1,6.1"}}, {}},
        SelectionCase{"ExcludedByASubstring", {}, {{MANAGER, L"1.0.0.0", L"", SELECTION_NOW + 1, L"6.10"}}, {}},
        SelectionCase{"ExcludedElsewhere", {}, {{MANAGER, L"1.0.0.0", L"", SELECTION_NOW + 1, L"5.1,6.0"}}, {MANAGER}, 1},
        SelectionCase{"NewManagerNeedsAFolder", {}, {{MANAGER, L"1.0.0.0"}}, {MANAGER}, 1},
        SelectionCase{"NewManualNeedsNoFolder",
                      {},
                      {{L"Veltrona Manual02", L"1.0.0.0"}, {L"Veltrona Manual", L"1.0.0.0"}},
                      {L"Veltrona Manual02", L"Veltrona Manual"}},
        SelectionCase{"NonManualNamesAreIgnored",
                      {},
                      {{L"Veltrona Manual1", L"1.0.0.0"}, {L"Veltrona Manual31", L"1.0.0.0"},
                       {L"Veltrona Manualxx", L"1.0.0.0"}, {L"Veltrona Home", L"9.0.0.0"},
                       {L"Veltrona Home OCR LangPack2", L"1.0.0.0"}},
                      {}},
        // New language packs without the home application.
        SelectionCase{"SingleByteLanguageTakesPack1", {}, {{PACK1, L"1.0.0.0"}, {PACK2, L"1.0.0.0"}, {PACK3, L"1.0.0.0"}}, {PACK1}},
        SelectionCase{"MultiByteLanguageTakesPack2",
                      {},
                      {{PACK1, L"1.0.0.0"}, {PACK2, L"1.0.0.0"}, {PACK3, L"1.0.0.0"}},
                      {PACK2},
                      0,
                      false,
                      1},
        SelectionCase{"UnsupportedEngineTakesNone", {}, {{PACK1, L"1.0.0.0"}}, {}, 0, false, 0, 0, 0},
        SelectionCase{"PacksAfterANewManagerNeedAnInstalledPack",
                      {},
                      {{MANAGER, L"1.0.0.0"}, {PACK1, L"1.0.0.0"}, {PACK2, L"1.0.0.0"}},
                      {MANAGER},
                      1},
        SelectionCase{"PacksAfterANewManagerWithAPackPresent",
                      {},
                      {{MANAGER, L"1.0.0.0"}, {PACK1, L"1.0.0.0"}, {PACK2, L"1.0.0.0"}},
                      {MANAGER, PACK1},
                      1,
                      false,
                      0,
                      1},
        // Before the Manager is seen, manager-selected is still off and the library decides.
        SelectionCase{"PacksBeforeTheManagerAreAskedOfTheEngine",
                      {},
                      {{PACK1, L"1.0.0.0"}, {PACK2, L"1.0.0.0"}, {MANAGER, L"1.0.0.0"}},
                      {PACK1, MANAGER},
                      1},
        SelectionCase{"PacksBeforeTheManagerWithUnsupportedEngine",
                      {},
                      {{PACK1, L"1.0.0.0"}, {MANAGER, L"1.0.0.0"}},
                      {MANAGER},
                      1,
                      false,
                      0,
                      0,
                      0},
        // Installed packs: only those are offered, as updates.
        SelectionCase{"OnlyInstalledPacksUpdate",
                      {{PACK3, L"1.0.0.0"}},
                      {{PACK1, L"1.0.0.0"}, {PACK3, L"1.0.0.1"}},
                      {PACK3}},
        SelectionCase{"InstalledPackUpdateNeedsTheEngine",
                      {{PACK3, L"1.0.0.0"}},
                      {{PACK3, L"1.0.0.1"}},
                      {},
                      0,
                      false,
                      0,
                      0,
                      0},
        // With the home application: each pack beside its home counterpart.
        SelectionCase{"HomePack3CarriesPack2",
                      {HOME_PACK(3)},
                      {{PACK1, L"1.0.0.0"}, {PACK2, L"1.0.0.0"}},
                      {PACK2},
                      0,
                      true},
        SelectionCase{"HomePacksOneAndFourCarryPacksOneAndThree",
                      {HOME_PACK(1), HOME_PACK(4)},
                      {{PACK1, L"1.0.0.0"}, {PACK3, L"1.0.0.0"}, {PACK5, L"1.0.0.0"}},
                      {PACK1, PACK3},
                      0,
                      true},
        SelectionCase{"HomePack6CarriesPack5", {HOME_PACK(6)}, {{PACK5, L"1.0.0.0"}}, {PACK5}, 0, true},
        SelectionCase{"NoHomePacksNoPacks", {}, {{PACK1, L"1.0.0.0"}, {PACK2, L"1.0.0.0"}}, {}, 0, true}),
    [](const ::testing::TestParamInfo<SelectionCase>& info) { return std::string(info.param.name); });

class SelectionRecordTest : public vttest::SelectionFixture {};

TEST_F(SelectionRecordTest, AnUpdateTakesTheInstalledFolderAndTheUpgradeResponse) {
    ASSERT_TRUE(m_registry.InstallProduct(MANAGER, L"2.0.0.0", L"C:\\Program Files\\Veltrona\\Manager"));
    theApp.m_catalogueItems = {MakeRecord(MANAGER, L"2.0.0.1")};
    theApp.GetNeedUpdateList(SELECTION_NOW);
    ASSERT_EQ(theApp.m_updateList.size(), 1u);
    EXPECT_EQ(theApp.m_updateList[0].m_installedPath, L"C:\\Program Files\\Veltrona\\Manager");
    EXPECT_EQ(theApp.m_updateList[0].m_issUrl, L"http://server/Veltrona Manager_ug.iss");
}

TEST_F(SelectionRecordTest, TotalsTheAcceptedAndBlanksWhatWasConsumed) {
    CUpdateInfo manager = MakeRecord(MANAGER, L"1.0.0.0");
    manager.m_displaySize = 120;
    CUpdateInfo pack1 = MakeRecord(PACK1, L"1.0.0.0");
    pack1.m_displaySize = 30;
    CUpdateInfo pack2 = MakeRecord(PACK2, L"1.0.0.0");
    pack2.m_displaySize = 40;
    CUpdateInfo withdrawn = MakeRecord(L"Veltrona Manual", L"1.0.0.0");
    withdrawn.m_delDate = SELECTION_NOW - 1;
    // Packs first: both reach the append decision, only pack 1 is taken.
    theApp.m_catalogueItems = {pack1, pack2, manager, withdrawn};

    theApp.GetNeedUpdateList(SELECTION_NOW);

    EXPECT_EQ(vttest::IdsOf(theApp.m_updateList), (std::vector<std::wstring>{PACK1, MANAGER}));
    EXPECT_EQ(theApp.m_updateCommonInfo.TotalInstallSize, 150);
    EXPECT_EQ(vttest::IdsOf(theApp.m_catalogueItems),
              (std::vector<std::wstring>{L"", L"", L"", L"Veltrona Manual"}));
    // The OCR library was asked about pack 1 with the engine version and about pack 2 with "0".
    EXPECT_EQ(vttest::OcrAnswers().engineQuestions, 2);
    EXPECT_EQ(vttest::OcrAnswers().lastEngineAsked, "0");
}

TEST_F(SelectionRecordTest, PackOneIsAskedWithTheEngineVersion) {
    theApp.m_catalogueItems = {MakeRecord(PACK1, L"1.0.0.0")};
    theApp.GetNeedUpdateList(SELECTION_NOW);
    EXPECT_EQ(vttest::OcrAnswers().lastEngineAsked, "11.0");
}

TEST_F(SelectionRecordTest, Pack2MarksTheHomeBundle) {
    ASSERT_TRUE(m_registry.InstallProduct(L"Veltrona Home OCR LangPack2", L"1.0.0.0"));
    theApp.m_homeInstalled = 1;
    theApp.m_catalogueItems = {MakeRecord(PACK2, L"1.0.0.0")};
    theApp.GetNeedUpdateList(SELECTION_NOW);
    EXPECT_EQ(theApp.m_ocrPack2Selected, 1);
}

TEST_F(SelectionRecordTest, HomePacksJoinOnlyWithPack2AndOnlyWhenAbsent) {
    const wchar_t HOME2[] = L"Veltrona Home OCR LangPack2";
    const wchar_t HOME3[] = L"Veltrona Home OCR LangPack3";
    const wchar_t HOME4[] = L"Veltrona Home OCR LangPack4";
    CUpdateInfo withdrawn = MakeRecord(HOME2, L"1.0.0.0");
    withdrawn.m_delDate = SELECTION_NOW - 1;
    const CUpdateInfoList homeItems = {withdrawn, MakeRecord(HOME2, L"1.0.0.0"), MakeRecord(HOME3, L"1.0.0.0"),
                                       MakeRecord(HOME4, L"1.0.0.0")};
    ASSERT_TRUE(m_registry.InstallProduct(HOME3, L"1.0.0.0"));

    struct Case {
        int homeInstalled;
        int pack2Selected;
        std::vector<std::wstring> expected;
    };
    for (const Case& c : {Case{1, 1, {HOME2}}, Case{1, 0, {}}, Case{0, 1, {}}}) {
        ResetApp();
        theApp.m_homeItems = homeItems;
        theApp.m_homeInstalled = c.homeInstalled;
        theApp.m_ocrPack2Selected = c.pack2Selected;
        theApp.GetNeedHomeOCRList(SELECTION_NOW);
        EXPECT_EQ(vttest::IdsOf(theApp.m_homeOcrList), c.expected) << c.homeInstalled << c.pack2Selected;
        EXPECT_EQ(theApp.m_homeItems[1].m_id.empty(), !c.expected.empty());
    }
}

}  // namespace
