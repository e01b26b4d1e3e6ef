// The single tests the selection is built from: version order, manual names, record completeness,
// running processes and the monitor's file version.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "SelectionFixture.h"
#include "catalogue/ItemCompleteness.h"
#include "catalogue/MonitorVersion.h"
#include "catalogue/ProcessList.h"
#include "catalogue/ProductKinds.h"
#include "catalogue/VersionCheck.h"
#include "support/ChildProcess.h"
#include "support/LogFile.h"

namespace {

using vttest::MakeRecord;

struct VersionCase {
    const wchar_t* a;
    const wchar_t* b;
    int expected;
};

class SelectionCheckVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(SelectionCheckVersionTest, ComparesPartByPartNumerically) {
    EXPECT_EQ(CheckVersion(GetParam().a, GetParam().b), GetParam().expected) << GetParam().a << " vs " << GetParam().b;
}

INSTANTIATE_TEST_SUITE_P(
    Selection, SelectionCheckVersionTest,
    ::testing::Values(VersionCase{L"2.0.0.0", L"2.0.0.1", VERSION_A_OLDER}, VersionCase{L"2.0.0.0", L"2.0.0.0", VERSION_EQUAL},
                      VersionCase{L"2.0.0.0", L"1.9.9.9", VERSION_A_NEWER},
                      // Numbers, not texts: 10 is above 9.
                      VersionCase{L"1.10.0.0", L"1.9.0.0", VERSION_A_NEWER},
                      VersionCase{L"1.0.0.0", L"1.0.0.10", VERSION_A_OLDER},
                      VersionCase{L"2.0", L"2.0.0.1", VERSION_INVALID}, VersionCase{L"2.0.0.0", L"", VERSION_INVALID},
                      VersionCase{L"4.9.0.0", L"-1.-1.-1.-1", VERSION_INVALID},
                      VersionCase{L"1.2.3.4.5", L"1.2.3.4", VERSION_INVALID}));

TEST(SelectionCheckVersion, LogsAnInvalidVersion) {
    vttest::ScopedTempFolder temp(true);
    CheckVersion(L"2.0", L"2.0.0.0");
    EXPECT_TRUE(vttest::LogFile::InFolder(temp.Path()).Contains(L"Error:CVTInstApp::CheckVersion: version is failed."));
}

TEST(SelectionManualNames, ManualOrNumberedManualFromTwoToThirty) {
    for (const wchar_t* name : {L"Veltrona Manual", L"Veltrona Manual02", L"Veltrona Manual30", L"Veltrona Manual15"})
        EXPECT_TRUE(IsVeltronaManual(name)) << name;
    for (const wchar_t* name : {L"Veltrona Manual1", L"Veltrona Manual31", L"Veltrona Manualxx", L"Veltrona Manual01",
                                L"Veltrona Manual002", L"veltrona manual", L"Veltrona Manager", L""})
        EXPECT_FALSE(IsVeltronaManual(name)) << name;
}

struct CompletenessCase {
    const char* name;
    std::function<void(CUpdateInfo&)> change;
    bool rejected;
};

class SelectionCompletenessTest : public ::testing::TestWithParam<CompletenessCase> {};

TEST_P(SelectionCompletenessTest, RejectsIncompleteRecords) {
    CUpdateInfo record = MakeRecord(L"Veltrona Manager", L"1.0.0.0");
    GetParam().change(record);
    EXPECT_EQ(CheckItemEmpty(record), GetParam().rejected);
}

INSTANTIATE_TEST_SUITE_P(
    Selection, SelectionCompletenessTest,
    ::testing::Values(
        CompletenessCase{"Complete", [](CUpdateInfo&) {}, false},
        CompletenessCase{"NoId", [](CUpdateInfo& r) { r.m_id.clear(); }, true},
        CompletenessCase{"NoTitle", [](CUpdateInfo& r) { r.m_title.clear(); }, true},
        CompletenessCase{"NoVersion", [](CUpdateInfo& r) { r.m_version.clear(); }, true},
        CompletenessCase{"NoPubDate", [](CUpdateInfo& r) { r.m_pubDate = 0; }, true},
        CompletenessCase{"NoDelDate", [](CUpdateInfo& r) { r.m_delDate = 0; }, true},
        CompletenessCase{"FuturePubDateIsFine", [](CUpdateInfo& r) { r.m_pubDate = vttest::SELECTION_NOW + 999999; },
                         false},
        CompletenessCase{"NoModule", [](CUpdateInfo& r) { r.m_moduleUrl.clear(); }, true},
        CompletenessCase{"SetupExeWithoutUpgradeResponse",
                         [](CUpdateInfo& r) {
                             r.m_moduleUrl = L"http://server/setup.EXE";
                             r.m_issUgUrl.clear();
                         },
                         true},
        CompletenessCase{"SetupExeWithoutNewInstallResponse",
                         [](CUpdateInfo& r) {
                             r.m_moduleUrl = L"http://server/setup.EXE";
                             r.m_issUrl.clear();
                         },
                         true},
        CompletenessCase{"SetupExeWithBothResponses", [](CUpdateInfo& r) { r.m_moduleUrl = L"http://server/setup.EXE"; },
                         false},
        CompletenessCase{"MsiNeedsNoResponse",
                         [](CUpdateInfo& r) {
                             r.m_issUrl.clear();
                             r.m_issUgUrl.clear();
                         },
                         false},
        CompletenessCase{"NoExtensionIsTheWholeText",
                         [](CUpdateInfo& r) {
                             r.m_moduleUrl = L"exe";
                             r.m_issUrl.clear();
                         },
                         true},
        CompletenessCase{"SizeNotANumber", [](CUpdateInfo& r) { r.m_size = -1; }, true},
        CompletenessCase{"ZeroDownloadSize", [](CUpdateInfo& r) { r.m_size = 0; }, false},
        CompletenessCase{"ZeroInstallSize", [](CUpdateInfo& r) { r.m_installSize = 0; }, true}),
    [](const ::testing::TestParamInfo<CompletenessCase>& info) { return std::string(info.param.name); });

TEST(SelectionCompleteness, LogsWhyOnlyForVersionAndModule) {
    vttest::ScopedTempFolder temp(true);
    CUpdateInfo noVersion = MakeRecord(L"Veltrona Manager", L"");
    CUpdateInfo noModule = MakeRecord(L"Veltrona Manager", L"1.0.0.0");
    noModule.m_moduleUrl.clear();
    CheckItemEmpty(noVersion);
    CheckItemEmpty(noModule);
    const vttest::LogFile log = vttest::LogFile::InFolder(temp.Path());
    EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::CheckItemEmpty: The Veltrona Manager title Version is empty."));
    EXPECT_TRUE(log.Contains(L"Error:CVTInstApp::CheckItemEmpty: The Veltrona Manager title module path is empty."));
}

TEST(SelectionProcessList, FindsARunningImageInAnyLetterCase) {
    vttest::ScopedTempFolder temp;
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring copy = temp.File(L"ZelVthMain.exe");
    ASSERT_TRUE(vttest::CopyInto(std::wstring(system) + L"\\ping.exe", copy));
    EXPECT_FALSE(IsProcessRunning(L"ZelVthMain.exe"));

    vttest::ChildProcess home;
    ASSERT_TRUE(home.Start(copy, L"-n 60 127.0.0.1", temp.Path(), {}));
    bool seen = false;
    for (int i = 0; i < 50 && !seen; ++i, Sleep(100)) seen = IsProcessRunning(L"zelvthmain.EXE");
    EXPECT_TRUE(seen);
    home.Kill();
    home.Wait(5000);
    EXPECT_FALSE(IsProcessRunning(L"ZelVthMain.exe"));
}

// A copy of the test program carrying a file version resource, as the monitor program would.
std::wstring MakeVersionedFile(const std::wstring& folder, WORD major, WORD minor, WORD build, WORD revision) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path = folder + L"\\ZelVtMon.exe";
    if (!CopyFileW(self, path.c_str(), FALSE)) return std::wstring();

    // VS_VERSIONINFO: header, key "VS_VERSION_INFO" padded to 32 bits, then the fixed part.
    const wchar_t key[] = L"VS_VERSION_INFO";
    std::vector<BYTE> block(6 + sizeof(key) + 2 + sizeof(VS_FIXEDFILEINFO), 0);
    WORD* header = reinterpret_cast<WORD*>(block.data());
    header[0] = static_cast<WORD>(block.size());
    header[1] = sizeof(VS_FIXEDFILEINFO);
    header[2] = 0;
    memcpy(block.data() + 6, key, sizeof(key));
    VS_FIXEDFILEINFO info = {};
    info.dwSignature = 0xFEEF04BD;
    info.dwStrucVersion = 0x00010000;
    info.dwFileVersionMS = MAKELONG(minor, major);
    info.dwFileVersionLS = MAKELONG(revision, build);
    info.dwProductVersionMS = info.dwFileVersionMS;
    info.dwProductVersionLS = info.dwFileVersionLS;
    info.dwFileOS = VOS_NT_WINDOWS32;
    info.dwFileType = VFT_APP;
    memcpy(block.data() + 6 + sizeof(key) + 2, &info, sizeof(info));

    HANDLE update = BeginUpdateResourceW(path.c_str(), TRUE);
    if (!update) return std::wstring();
    const BOOL written = UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(1), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                         block.data(), static_cast<DWORD>(block.size()));
    if (!EndUpdateResourceW(update, written ? FALSE : TRUE) || !written) return std::wstring();
    return path;
}

TEST(SelectionMonitorVersion, ReadsThreePartsOfTheFileVersion) {
    vttest::ScopedTempFolder temp;
    const std::wstring monitor = MakeVersionedFile(temp.Path(), 6, 5, 39, 77);
    ASSERT_FALSE(monitor.empty());
    EXPECT_EQ(ReadFileVersionText(monitor), L"6.5.39.0");
    EXPECT_EQ(ReadFileVersionText(temp.File(L"missing.exe")), L"");

    vttest::RegistryFixture registry;
    ASSERT_TRUE(registry.SetString(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZelVtMon.exe", L"",
                                   monitor));
    EXPECT_EQ(ReadMonitorVersion(), L"6.5.39.0");
}

// With a monitor older than 6.5.40, a new install takes every pack the engine supports.
class SelectionMonitorTest : public vttest::SelectionFixture {};

TEST_F(SelectionMonitorTest, OlderMonitorTakesEverySupportedPack) {
    for (WORD build : {39, 40}) {
        ResetApp();
        vttest::RegistryFixture registry;
        const std::wstring monitor = MakeVersionedFile(m_temp.Path(), 6, 5, build, 0);
        ASSERT_FALSE(monitor.empty());
        ASSERT_TRUE(registry.SetString(MONITOR_APP_PATH, L"", monitor));
        theApp.m_catalogueItems = {MakeRecord(L"Veltrona OCR LangPack1", L"1.0.0.0"),
                                   MakeRecord(L"Veltrona OCR LangPack2", L"1.0.0.0")};
        theApp.GetNeedUpdateList(vttest::SELECTION_NOW);
        const std::vector<std::wstring> expected =
            build == 39 ? std::vector<std::wstring>{L"Veltrona OCR LangPack1", L"Veltrona OCR LangPack2"}
                        : std::vector<std::wstring>{L"Veltrona OCR LangPack1"};
        EXPECT_EQ(vttest::IdsOf(theApp.m_updateList), expected) << "monitor 6.5." << build;
    }
}

}  // namespace
