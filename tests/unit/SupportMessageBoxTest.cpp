#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include <string>
#include <vector>

#include "support/MessageBox.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ScopedTempFolder.h"
#include "tests/support/TestThread.h"
#include "tests/support/StringTableModule.h"

using vttest::MessageBoxFilter;
using vttest::MessageBoxWatcher;

namespace {

const UINT CAPTION_ID = 2;
const UINT PLAIN_TEXT_ID = 1001;
const UINT FORMAT_TEXT_ID = 1002;
const wchar_t CAPTION[] = L"Veltrona Installer";

class MessageBoxTest : public ::testing::Test {
protected:
    vttest::ScopedTempFolder temp;
    vttest::StringTableModule strings{temp.Path(),
                                      {{CAPTION_ID, CAPTION},
                                       {PLAIN_TEXT_ID, L"Failed to connect to the server."},
                                       {FORMAT_TEXT_ID, L"%s could not be installed.\nError code: %d"}}};
    vttest::ScopedResourceModule useStrings{strings.Handle()};

    void SetUp() override { ASSERT_NE(strings.Handle(), nullptr); }
};

struct BoxCase {
    const char* name;
    UINT style;
    DWORD helpContextId;
    int press;
    std::vector<int> buttons;
    bool icon;
};

class MessageBoxButtonsTest : public MessageBoxTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBoxButtonsTest, ShowsTheBoxAndReturnsThePressedButton) {
    const BoxCase& c = GetParam();
    MessageBoxWatcher watcher(MessageBoxFilter{CAPTION, GetCurrentProcessId()}, c.press);
    const int result = ShowMessageBox(nullptr, CAPTION_ID, PLAIN_TEXT_ID, c.style, OpenHelpContext, c.helpContextId, 0);
    ASSERT_TRUE(watcher.Finish());

    EXPECT_EQ(result, c.press);
    const vttest::MessageBoxInfo& box = watcher.Info();
    EXPECT_EQ(box.caption, CAPTION);
    EXPECT_EQ(box.text, L"Failed to connect to the server.");
    EXPECT_EQ(box.ButtonIds(), c.buttons);
    EXPECT_EQ(box.hasIcon, c.icon);
    EXPECT_TRUE(box.wasForeground);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxButtonsTest,
    ::testing::Values(BoxCase{"OkWithoutHelp", MB_OK | MB_ICONERROR, 0, IDOK, {IDOK}, true},
                      BoxCase{"OkWithHelp", MB_OK | MB_ICONERROR, 1234, IDOK, {IDOK, IDHELP}, true},
                      BoxCase{"YesNo", MB_YESNO | MB_ICONQUESTION, 0, IDNO, {IDYES, IDNO}, true},
                      BoxCase{"RetryCancelWithHelp", MB_RETRYCANCEL, 77, IDCANCEL, {IDRETRY, IDCANCEL, IDHELP},
                              false}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

TEST_F(MessageBoxTest, FillsTheFormatPlaces) {
    MessageBoxWatcher watcher(MessageBoxFilter{CAPTION, GetCurrentProcessId()}, IDOK);
    ShowMessageBox(nullptr, CAPTION_ID, FORMAT_TEXT_ID, MB_OK, OpenHelpContext, 0, 0, L"Veltrona Manager", 1603);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(watcher.Info().text, L"Veltrona Manager could not be installed.\nError code: 1603");
}

TEST_F(MessageBoxTest, OwnedBoxBelongsToItsOwner) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, -5000, -5000, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    MessageBoxWatcher watcher(MessageBoxFilter{CAPTION, GetCurrentProcessId()}, IDOK);
    EXPECT_EQ(ShowMessageBox(owner, CAPTION_ID, PLAIN_TEXT_ID, MB_OK, OpenHelpContext, 0, 0), IDOK);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(watcher.Info().owner, owner);
    DestroyWindow(owner);
}

// The help request of a box with a help context reaches the callback with that context id.
std::atomic<DWORD> g_helpContext{0};
void CALLBACK RecordHelpRequest(LPHELPINFO info) { g_helpContext = info ? info->dwContextId : 0xFFFFFFFF; }

TEST_F(MessageBoxTest, HelpRequestCarriesTheContextId) {
    g_helpContext = 0;
    vttest::TestThread helper([] {
        vttest::MessageBoxInfo info;
        if (!vttest::WaitForMessageBox(MessageBoxFilter{CAPTION, GetCurrentProcessId()}, 10000, info)) return;
        HELPINFO help = {};
        help.cbSize = sizeof(help);
        help.iContextType = HELPINFO_WINDOW;
        help.hItemHandle = info.window;
        SendMessageW(info.window, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        vttest::PressMessageBoxButton(info.window, IDOK);
    });
    EXPECT_EQ(ShowMessageBox(nullptr, CAPTION_ID, PLAIN_TEXT_ID, MB_OK, RecordHelpRequest, 4321, 0), IDOK);
    helper.Join();
    EXPECT_EQ(g_helpContext.load(), 4321u);
}

}  // namespace
