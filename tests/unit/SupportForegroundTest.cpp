#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/Foreground.h"

namespace {

const wchar_t PAGE_CLASS[] = L"Veltrona_VTInst_WindowClass";

// Off-screen: under Wine without a window manager, taking down a window shown on screen waits two
// seconds for the window manager that never answers.
HWND CreateTopLevel(const wchar_t* className, const wchar_t* title, HWND owner, bool visible) {
    return CreateWindowExW(0, className, title, WS_POPUP | (visible ? WS_VISIBLE : 0), -5000, -5000, 160, 120, owner,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

enum class DialogOwner { None, CallingPage, OtherPage };

struct ForegroundCase {
    const char* name;
    bool otherPageVisible;
    DialogOwner dialogOwner;
    bool callingPageEndsOnTop;
};

class SetForegroundExTest : public ::testing::TestWithParam<ForegroundCase> {
protected:
    HWND page = nullptr, otherPage = nullptr, dialog = nullptr, elsewhere = nullptr;

    void SetUp() override {
        WNDCLASSW pageClass = {};
        pageClass.lpfnWndProc = DefWindowProcW;
        pageClass.hInstance = GetModuleHandleW(nullptr);
        pageClass.lpszClassName = PAGE_CLASS;
        RegisterClassW(&pageClass);  // may already exist from an earlier case
    }
    void TearDown() override {
        for (HWND window : {dialog, page, otherPage, elsewhere})
            if (window) DestroyWindow(window);
        PumpMessages();
    }
};

// Whichever page a dialog box belongs to comes last, so the box is not hidden behind the other page.
TEST_P(SetForegroundExTest, OrdersPagesAroundTheirDialogBox) {
    const ForegroundCase& c = GetParam();
    otherPage = CreateTopLevel(PAGE_CLASS, L"other page", nullptr, c.otherPageVisible);
    page = CreateTopLevel(PAGE_CLASS, L"calling page", nullptr, true);
    if (c.dialogOwner != DialogOwner::None)
        dialog = CreateTopLevel(L"#32770", L"box", c.dialogOwner == DialogOwner::CallingPage ? page : otherPage,
                                true);
    elsewhere = CreateTopLevel(L"STATIC", L"elsewhere", nullptr, true);
    ASSERT_TRUE(page && otherPage && elsewhere);
    SetForegroundWindow(elsewhere);
    PumpMessages();
    ASSERT_EQ(GetForegroundWindow(), elsewhere);

    SetForegroundEx(page);
    PumpMessages();
    EXPECT_EQ(GetForegroundWindow(), c.callingPageEndsOnTop ? page : otherPage);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetForegroundExTest,
    ::testing::Values(ForegroundCase{"OnlyPage", false, DialogOwner::None, true},
                      ForegroundCase{"TwoPagesNoDialog", true, DialogOwner::None, false},
                      ForegroundCase{"DialogOfCallingPage", true, DialogOwner::CallingPage, true},
                      ForegroundCase{"DialogOfOtherPage", true, DialogOwner::OtherPage, false}),
    [](const ::testing::TestParamInfo<ForegroundCase>& info) { return std::string(info.param.name); });

TEST(BringWindowToForegroundTest, RaisesTheWindowWithoutLeavingItTopmost) {
    HWND first = CreateTopLevel(L"STATIC", L"first", nullptr, true);
    HWND second = CreateTopLevel(L"STATIC", L"second", nullptr, true);
    ASSERT_TRUE(first && second);
    SetForegroundWindow(second);
    PumpMessages();

    EXPECT_TRUE(BringWindowToForeground(first));
    PumpMessages();
    EXPECT_EQ(GetForegroundWindow(), first);
    EXPECT_EQ(GetWindowLongW(first, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    DestroyWindow(first);
    DestroyWindow(second);
}

}  // namespace
