// The home application's gate before the selection: its version floor, its running main program
// and the user's consent, each with its message box.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "SelectionFixture.h"
#include "StringIds.h"
#include "support/ChildProcess.h"
#include "support/LogFile.h"
#include "support/MessageBoxWatcher.h"
#include "support/StringTableModule.h"

namespace {

const wchar_t CAPTION[] = L"Veltrona Installer";
const wchar_t TOO_OLD_TEXT[] = L"Update Veltrona Home first.";
const wchar_t RUNNING_TEXT[] = L"Veltrona Home is running.";
const wchar_t CONFIRM_TEXT[] = L"Continue without the cloud link?";

class SelectionHomeGateTest : public vttest::SelectionFixture {
protected:
    void SetUp() override {
        SelectionFixture::SetUp();
        m_strings = std::make_unique<vttest::StringTableModule>(
            m_temp.Path(), std::map<UINT, std::wstring>{{IDS_CAPTION, CAPTION},
                                                        {IDS_HOME_TOO_OLD, TOO_OLD_TEXT},
                                                        {IDS_HOME_RUNNING, RUNNING_TEXT},
                                                        {IDS_HOME_CLOUD_CONFIRM, CONFIRM_TEXT}});
        ASSERT_NE(m_strings->Handle(), nullptr);
        m_resources = std::make_unique<vttest::ScopedResourceModule>(m_strings->Handle());
    }
    void TearDown() override {
        m_resources.reset();
        m_strings.reset();
        SelectionFixture::TearDown();
    }

    // Runs the gate while a watcher answers the one box it expects; returns the gate's result.
    BOOL RunGate(int answer, vttest::MessageBoxInfo& shown) {
        vttest::MessageBoxWatcher watcher({CAPTION, GetCurrentProcessId()}, answer);
        const BOOL result = theApp.CheckHomeVersion();
        EXPECT_TRUE(watcher.Finish()) << "no box was shown";
        shown = watcher.Info();
        return result;
    }

    std::unique_ptr<vttest::StringTableModule> m_strings;
    std::unique_ptr<vttest::ScopedResourceModule> m_resources;
};

TEST_F(SelectionHomeGateTest, NoHomeApplicationPassesSilently) {
    EXPECT_TRUE(theApp.CheckHomeVersion());
    EXPECT_EQ(theApp.m_homeInstalled, 0);
}

TEST_F(SelectionHomeGateTest, OldOrUnreadableHomeVersionStops) {
    for (const wchar_t* version : {L"1.7.9.9", L"1.8", L"1.8.0.x"}) {
        vttest::RegistryFixture registry;
        ASSERT_TRUE(registry.InstallProduct(L"Veltrona Home", version));
        vttest::MessageBoxInfo shown;
        EXPECT_FALSE(RunGate(IDOK, shown)) << version;
        EXPECT_EQ(shown.text, TOO_OLD_TEXT) << version;
        EXPECT_EQ(theApp.m_homeInstalled, 0) << version;
    }
    EXPECT_TRUE(vttest::LogFile::InFolder(m_temp.Path()).Contains(L"Error:CVTInstApp::CheckHomeVersion: Old Home is installed."));
}

TEST_F(SelectionHomeGateTest, AcceptedVersionAsksAndFollowsTheAnswer) {
    // Only three parts count: 1.8.0.0 meets the floor 1.8.0, and a raised floor is honoured.
    struct Case {
        const wchar_t* installed;
        const wchar_t* floor;
        int answer;
        BOOL expected;
    };
    for (const Case& c : {Case{L"1.8.0.0", L"1.8.0", IDYES, TRUE}, Case{L"1.8.0.0", L"1.8.0", IDNO, FALSE},
                          Case{L"1.10.0.0", L"1.9.5", IDYES, TRUE}}) {
        vttest::RegistryFixture registry;
        ASSERT_TRUE(registry.InstallProduct(L"Veltrona Home", c.installed));
        theApp.m_homeInstalled = 0;
        theApp.m_updateCommonInfo.HomeIfVersion = c.floor;
        vttest::MessageBoxInfo shown;
        EXPECT_EQ(RunGate(c.answer, shown), c.expected) << c.installed;
        EXPECT_EQ(shown.text, CONFIRM_TEXT);
        EXPECT_TRUE(shown.HasButton(IDYES) && shown.HasButton(IDNO));
        EXPECT_EQ(theApp.m_homeInstalled, 1);
    }
}

TEST_F(SelectionHomeGateTest, RunningHomeApplicationStops) {
    ASSERT_TRUE(m_registry.InstallProduct(L"Veltrona Home", L"2.0.0.0"));
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring homeMain = m_temp.File(L"ZelVthMain.exe");
    ASSERT_TRUE(vttest::CopyInto(std::wstring(system) + L"\\ping.exe", homeMain));
    vttest::ChildProcess home;
    ASSERT_TRUE(home.Start(homeMain, L"-n 60 127.0.0.1", m_temp.Path(), {}));
    Sleep(500);

    vttest::MessageBoxInfo shown;
    const BOOL result = RunGate(IDOK, shown);
    home.Kill();
    home.Wait(5000);

    EXPECT_FALSE(result);
    EXPECT_EQ(shown.text, RUNNING_TEXT);
    EXPECT_TRUE(vttest::LogFile::InFolder(m_temp.Path()).Contains(L"Error:CVTInstApp::CheckHomeVersion: ZelVthMain.exe is running."));
}

}  // namespace
