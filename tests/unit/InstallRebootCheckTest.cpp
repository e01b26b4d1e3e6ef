// After the installation: the restart markers of the installed packages and the restart a program
// asked for decide whether the wizard ends with the restart question.
#include <gtest/gtest.h>
#include <windows.h>

#include "catalogue/SoftMulti.h"
#include "install/RebootCheck.h"
#include "tests/support/RegistryFixture.h"

namespace vttest {
namespace {

const wchar_t kRunOnce[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

class InstallRebootCheckTest : public ::testing::Test {
protected:
    RegistryFixture registry;
    void SetUp() override {
        for (const wchar_t* key : {L"SOFTWARE\\ZEL\\Manager RebootCheck", L"SOFTWARE\\ZEL\\Manual RebootCheck",
                                   L"SOFTWARE\\ZEL\\OCRPack RebootCheck", L"SOFTWARE\\ZEL\\OnlineUpdate RebootCheck",
                                   L"SOFTWARE\\ZEL\\Home OCRPack RebootCheck"})
            ASSERT_TRUE(registry.HideKey(key));
        for (const wchar_t* value : {L"Veltrona Install", L"Veltrona Manual Install", L"Veltrona OCR LangPack Install",
                                     L"Veltrona Integration Installer"})
            ASSERT_TRUE(registry.DeleteValue(kRunOnce, value));
    }
    static CUpdateInfo Record(const wchar_t* id) {
        CUpdateInfo record;
        record.m_id = id;
        return record;
    }
};

TEST_F(InstallRebootCheckTest, EachProductsOwnMarkersCount) {
    CUpdateInfoList list = {Record(L"Veltrona Online Update")};
    EXPECT_FALSE(InstallListNeedsRestart(list, FALSE));
    EXPECT_TRUE(InstallListNeedsRestart(list, TRUE));  // a program ended with 3010
    // A marker of the start-up check only, and the Manager's value beside a product without it.
    ASSERT_TRUE(registry.SetString(kRunOnce, L"Veltrona Integration Installer", L"x"));
    ASSERT_TRUE(registry.SetString(kRunOnce, L"Veltrona Install", L"x"));
    EXPECT_FALSE(InstallListNeedsRestart(list, FALSE));
    list.push_back(Record(L"Veltrona Manager"));
    EXPECT_TRUE(InstallListNeedsRestart(list, FALSE));
}

TEST_F(InstallRebootCheckTest, ALangPack2BundleCountsItsHomePacksMarker) {
    CSoftMultiList packages(2);
    packages[0].m_id = L"Veltrona OCR LangPack2";
    packages[1].m_id = L"Veltrona Home OCR LangPack3";
    CUpdateInfo bundle = Record(L"Veltrona OCR LangPack2");
    bundle.m_packageCount = 2;
    bundle.m_subPackages = &packages;
    const CUpdateInfoList list = {bundle};
    EXPECT_FALSE(InstallListNeedsRestart(list, FALSE));
    ASSERT_TRUE(registry.SetString(L"SOFTWARE\\ZEL\\Home OCRPack RebootCheck", L"", L""));
    EXPECT_TRUE(InstallListNeedsRestart(list, FALSE));
}

}  // namespace
}  // namespace vttest
