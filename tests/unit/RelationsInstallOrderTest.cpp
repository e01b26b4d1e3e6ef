// The install page's install list: handed over by reference, rebuilt in install order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SelectionFixture.h"
#include "ui/InstallDlg.h"

namespace {

using vttest::IdsOf;
using vttest::MakeRecord;

struct OrderCase {
    const char* name;
    std::vector<std::wstring> handedOver;
    std::vector<std::wstring> installOrder;
};

class RelationsInstallOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(RelationsInstallOrderTest, FollowsTheHandedOverOrder) {
    CUpdateInfoList downloaded;
    for (size_t i = 0; i < GetParam().handedOver.size(); ++i) {
        downloaded.push_back(MakeRecord(GetParam().handedOver[i], L"1.0.0.0"));
        downloaded.back().m_title = L"record " + std::to_wstring(i);
    }
    const CUpdateInfoList before = downloaded;
    CInstallDlg page;
    page.SetInstallList(&downloaded);

    CUpdateInfoList* ordered = page.SortInstallList();

    ASSERT_NE(ordered, nullptr);
    EXPECT_NE(ordered, &downloaded);
    EXPECT_EQ(IdsOf(*ordered), GetParam().installOrder);
    // The download page's list is left as it was.
    EXPECT_EQ(IdsOf(downloaded), IdsOf(before));
}

INSTANTIATE_TEST_SUITE_P(Relations, RelationsInstallOrderTest,
                         ::testing::Values(OrderCase{"Empty", {}, {}},
                                           OrderCase{"Distinct", {L"A", L"B", L"C"}, {L"A", L"B", L"C"}},
                                           OrderCase{"RepeatedId", {L"A", L"B", L"A"}, {L"A", L"B", L"A"}}),
                         [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

TEST(RelationsInstallOrder, ARepeatedIdTakesTheFirstRecordTwice) {
    CUpdateInfoList downloaded = {MakeRecord(L"A", L"1.0.0.0"), MakeRecord(L"B", L"1.0.0.0"),
                                  MakeRecord(L"A", L"2.0.0.0")};
    CInstallDlg page;
    page.SetInstallList(&downloaded);
    const CUpdateInfoList& ordered = *page.SortInstallList();
    ASSERT_EQ(ordered.size(), 3u);
    EXPECT_EQ(ordered[0].m_version, L"1.0.0.0");
    EXPECT_EQ(ordered[2].m_version, L"1.0.0.0");
}

TEST(RelationsInstallOrder, IdsMatchExactly) {
    CUpdateInfoList downloaded = {MakeRecord(L"Veltrona Manager", L"1.0.0.0")};
    CInstallDlg page;
    page.SetInstallList(&downloaded);
    CUpdateInfoList found;
    page.GetSubRelation(L"veltrona manager", &found);
    EXPECT_TRUE(found.empty());
    page.GetSubRelation(L"Veltrona Manager", &found);
    EXPECT_EQ(found.size(), 1u);
}

TEST(RelationsInstallOrder, SortingAgainWorksOnThePagesOwnList) {
    CUpdateInfoList downloaded = {MakeRecord(L"A", L"1.0.0.0"), MakeRecord(L"B", L"1.0.0.0")};
    CInstallDlg page;
    page.SetInstallList(&downloaded);
    page.SortInstallList();
    const CUpdateInfoList* again = page.SortInstallList();
    EXPECT_EQ(IdsOf(*again), (std::vector<std::wstring>{L"A", L"B"}));
    EXPECT_EQ(IdsOf(downloaded), (std::vector<std::wstring>{L"A", L"B"}));
}

TEST(RelationsInstallOrder, NoListHandedOverGivesAnEmptyList) {
    CInstallDlg page;
    const CUpdateInfoList* ordered = page.SortInstallList();
    ASSERT_NE(ordered, nullptr);
    EXPECT_TRUE(ordered->empty());
}

}  // namespace
