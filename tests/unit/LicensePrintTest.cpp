// Printing the license: the render loop against a control that answers as the platform's rich edit
// does, on the test set-up's real print queue.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/Log.h"
#include "tests/support/LogFile.h"
#include "tests/support/Printer.h"
#include "tests/support/ScopedTempFolder.h"
#include "ui/LicenseDlg.h"

namespace {

// What the stand-in control was asked.
struct RenderLog {
    LONG textLength = 0;
    LONG charactersPerPage = 0;  // 0: prints nothing, as Wine's rich edit does
    std::vector<FORMATRANGE> pages;
    bool targetDeviceSet = false;
    bool released = false;
};

RenderLog* g_render = nullptr;  // the one stand-in of the running test

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case EM_SETTARGETDEVICE: g_render->targetDeviceSet = wParam != 0; return TRUE;
        case EM_SETSEL: return 0;
        case EM_EXGETSEL: {
            CHARRANGE* range = reinterpret_cast<CHARRANGE*>(lParam);
            range->cpMin = 0;
            range->cpMax = g_render->textLength;
            return 0;
        }
        case EM_FORMATRANGE: {
            if (!wParam && !lParam) {
                g_render->released = true;
                return 0;
            }
            const FORMATRANGE* range = reinterpret_cast<const FORMATRANGE*>(lParam);
            g_render->pages.push_back(*range);
            return std::min(range->chrg.cpMin + g_render->charactersPerPage, g_render->textLength);
        }
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

class LicensePrintTest : public ::testing::Test {
protected:
    vttest::ScopedTempFolder temp{true};
    vttest::LogFile log = vttest::LogFile::InFolder(temp.Path());
    RenderLog render;
    HWND control = nullptr;
    HDC printer = nullptr;

    void SetUp() override {
        g_render = &render;
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = StandInProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VtRichEditStandIn";
        RegisterClassW(&windowClass);
        control = CreateWindowW(L"VtRichEditStandIn", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(control, nullptr);
        printer = vttest::CreateDefaultPrinterDC();
        ASSERT_NE(printer, nullptr) << "no default printer (tools/with-print-queue.sh)";
    }
    void TearDown() override {
        if (printer) DeleteDC(printer);
        if (control) DestroyWindow(control);
        g_render = nullptr;
    }
};

TEST_F(LicensePrintTest, PrintsPageByPageWithinTheMarginsAndEndsTheDocument) {
    render.textLength = 250;
    render.charactersPerPage = 100;
    EXPECT_EQ(CLicenseDlg::PrintRTF(control, printer), 1);

    const int width = MulDiv(GetDeviceCaps(printer, PHYSICALWIDTH) - 2 * GetDeviceCaps(printer, PHYSICALOFFSETX),
                             1440, GetDeviceCaps(printer, LOGPIXELSX));
    const int height = MulDiv(GetDeviceCaps(printer, PHYSICALHEIGHT) - 2 * GetDeviceCaps(printer, PHYSICALOFFSETY),
                              1440, GetDeviceCaps(printer, LOGPIXELSY));
    ASSERT_EQ(render.pages.size(), 3u);
    const LONG starts[] = {0, 100, 200};
    for (size_t page = 0; page < 3; ++page) {
        const FORMATRANGE& range = render.pages[page];
        EXPECT_EQ(range.chrg.cpMin, starts[page]);
        EXPECT_EQ(range.chrg.cpMax, 250);
        EXPECT_EQ(range.hdc, printer);
        EXPECT_EQ(range.hdcTarget, printer);
        EXPECT_EQ(range.rcPage.left, 0);
        EXPECT_EQ(range.rcPage.right, width);
        EXPECT_EQ(range.rcPage.bottom, height);
        // One inch left and right, half an inch top and bottom.
        EXPECT_EQ(range.rc.left, 1440);
        EXPECT_EQ(range.rc.top, 720);
        EXPECT_EQ(range.rc.right, width - 1440);
        EXPECT_EQ(range.rc.bottom, height - 720);
    }
    EXPECT_TRUE(render.targetDeviceSet);
    EXPECT_TRUE(render.released);
    EXPECT_TRUE(log.Contains(L"Info :CLicenseDlg::PrintRTF:Print is success(EndDoc)."));
}

// A control that prints nothing must not make the loop start blank pages for ever.
TEST_F(LicensePrintTest, AControlThatPrintsNothingAbortsTheDocument) {
    render.textLength = 250;
    render.charactersPerPage = 0;
    EXPECT_EQ(CLicenseDlg::PrintRTF(control, printer), 0);
    EXPECT_EQ(render.pages.size(), 1u);
    EXPECT_TRUE(render.released);
    EXPECT_TRUE(vttest::ContainsInOrder(log.Messages(), {L"Error:CLicenseDlg::PrintRTF:Failed to print:cpMin <= fr.chrg.cpMin.",
                                                         L"Error:CLicenseDlg::PrintRTF:Print is failed(AbortDoc).",
                                                         L"End  :CLicenseDlg::PrintRTF"}));
}

TEST_F(LicensePrintTest, AnEmptyTextIsADocumentWithoutPages) {
    render.textLength = 0;
    EXPECT_EQ(CLicenseDlg::PrintRTF(control, printer), 1);
    EXPECT_TRUE(render.pages.empty());
    EXPECT_TRUE(log.Contains(L"Info :CLicenseDlg::PrintRTF:Print is success(EndDoc)."));
}

TEST_F(LicensePrintTest, NoDocumentWithoutAPrinter) {
    HDC screen = CreateCompatibleDC(nullptr);
    EXPECT_EQ(CLicenseDlg::PrintRTF(control, screen), 0);
    DeleteDC(screen);
    EXPECT_TRUE(render.pages.empty());
    EXPECT_TRUE(vttest::ContainsInOrder(log.Messages(), {L"Error:CLicenseDlg::PrintRTF:Failed to start Printer",
                                                         L"End  :CLicenseDlg::PrintRTF"}));
}

}  // namespace
