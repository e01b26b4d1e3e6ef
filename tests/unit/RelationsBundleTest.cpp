// Bundling of the home application's OCR packs into the "Veltrona OCR LangPack2" record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SelectionFixture.h"
#include "catalogue/CatalogueValues.h"

namespace {

using vttest::MakeRecord;

const wchar_t PACK2[] = L"Veltrona OCR LangPack2";
const wchar_t HOME2[] = L"Veltrona Home OCR LangPack2";
const wchar_t HOME3[] = L"Veltrona Home OCR LangPack3";

class RelationsBundleTest : public vttest::SelectionFixture {};

TEST_F(RelationsBundleTest, Pack2CarriesTheHomePacksAsOneUnit) {
    CUpdateInfo manager = MakeRecord(L"Veltrona Manager", L"1.0.0.0", 50000000);
    CUpdateInfo pack2 = MakeRecord(PACK2, L"2.0.0.0", 3000000);
    pack2.m_displaySize = SizeToTenths(pack2.m_size);
    theApp.m_updateList = {manager, pack2};
    theApp.m_updateCommonInfo.TotalInstallSize = manager.m_displaySize + pack2.m_displaySize;
    theApp.m_homeOcrList = {MakeRecord(HOME2, L"1.1.0.0", 4000000), MakeRecord(HOME3, L"1.2.0.0", 5000000)};

    theApp.BundleHomeOcrPacks();

    const CUpdateInfo& bundle = theApp.m_updateList[1];
    EXPECT_EQ(bundle.m_packageCount, 3);
    EXPECT_EQ(bundle.m_size, 12000000);
    EXPECT_EQ(bundle.m_installSize, 24000000);
    EXPECT_EQ(bundle.m_displaySize, SizeToTenths(12000000));
    ASSERT_NE(bundle.m_subPackages, nullptr);
    const CSoftMultiList& entries = *bundle.m_subPackages;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].m_id, PACK2);
    EXPECT_EQ(entries[0].m_version, L"2.0.0.0");
    EXPECT_EQ(entries[0].m_size, 3000000);
    EXPECT_EQ(entries[0].m_issUrl, pack2.m_issUrl);
    EXPECT_EQ(entries[1].m_id, HOME2);
    EXPECT_EQ(entries[1].m_moduleUrl, L"http://server/Veltrona Home OCR LangPack2.msi");
    EXPECT_EQ(entries[2].m_id, HOME3);
    EXPECT_EQ(entries[2].m_size, 5000000);
    for (const _SoftMulti& entry : entries) EXPECT_EQ(entry.m_installOk, 1);

    // The other record is untouched, and the review page's total still counts pack 2 alone.
    EXPECT_EQ(theApp.m_updateList[0].m_packageCount, 1);
    EXPECT_EQ(theApp.m_updateList[0].m_subPackages, nullptr);
    EXPECT_EQ(theApp.m_updateCommonInfo.TotalInstallSize, manager.m_displaySize + SizeToTenths(3000000));

    // Copies share the list; the application frees it.
    const CUpdateInfo copy = bundle;
    EXPECT_EQ(copy.m_subPackages, bundle.m_subPackages);
    theApp.ReleaseBundleLists();
    EXPECT_EQ(theApp.m_updateList[1].m_subPackages, nullptr);
    EXPECT_TRUE(theApp.m_bundleLists.empty());
}

TEST_F(RelationsBundleTest, NoHomePacksLeavesPack2Ordinary) {
    theApp.m_updateList = {MakeRecord(PACK2, L"2.0.0.0")};
    theApp.BundleHomeOcrPacks();
    EXPECT_EQ(theApp.m_updateList[0].m_packageCount, 1);
    EXPECT_EQ(theApp.m_updateList[0].m_subPackages, nullptr);
    EXPECT_TRUE(theApp.m_bundleLists.empty());
}

TEST_F(RelationsBundleTest, RebundlingReplacesTheEarlierList) {
    theApp.m_updateList = {MakeRecord(PACK2, L"2.0.0.0", 1000)};
    theApp.m_homeOcrList = {MakeRecord(HOME2, L"1.0.0.0", 2000)};
    theApp.BundleHomeOcrPacks();
    const CSoftMultiList* first = theApp.m_updateList[0].m_subPackages;
    theApp.BundleHomeOcrPacks();
    EXPECT_NE(theApp.m_updateList[0].m_subPackages, nullptr);
    EXPECT_NE(theApp.m_updateList[0].m_subPackages, first);
    EXPECT_EQ(theApp.m_bundleLists.size(), 1u);
    // The second bundle starts from the bundled record's own totals.
    EXPECT_EQ(theApp.m_updateList[0].m_size, 5000);
}

}  // namespace
