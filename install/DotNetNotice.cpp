// The start-up notice that tells the user which .NET Framework versions will be installed.
#include <windows.h>

#include "StringIds.h"
#include "app/VTInst.h"
#include "support/Language.h"
#include "support/MessageBox.h"

namespace {

const int NAME_CAPACITY = 1024;

struct LoadedText {
    wchar_t text[NAME_CAPACITY] = {};
    explicit LoadedText(UINT id) { LoadResourceString(text, NAME_CAPACITY, id); }
};

void ShowNotice(UINT textId, const wchar_t* first = nullptr, const wchar_t* second = nullptr,
                const wchar_t* third = nullptr) {
    ShowMessageBox(nullptr, IDS_CAPTION, textId, MB_ICONINFORMATION | MB_OK, OpenHelpContext, 0, 0, first, second,
                   third);
}

}  // namespace

void CVTInstApp::ShowDotNetNotice() {
    m_bDotNet35 = CheckDotNetFramework3_5Install();
    if (m_bUseDotNet45)
        m_bDotNet45 = CheckDotNetFramework4_5Install();
    else
        m_bDotNet40 = CheckDotNetFramework4_0Install();
    if (m_bDotNet35 && m_bDotNet40 && m_bDotNet45) return;

    const LoadedText name35(IDS_DOTNET35_NAME);
    const LoadedText name40(IDS_DOTNET40_NAME);
    const LoadedText name45(IDS_DOTNET45_NAME);
    const LoadedText windowsUpdate(IDS_DOTNET_WINDOWS_UPDATE);
    // Only one of 4 and 4.5 is ever tested, so at most two frameworks are missing. The Windows Update
    // advice goes with version 4, which only the older systems get.
    if (!m_bDotNet35) {
        if (!m_bDotNet40)
            ShowNotice(IDS_DOTNET_NOTICE_TWO, name35.text, name40.text, windowsUpdate.text);
        else if (!m_bDotNet45)
            ShowNotice(IDS_DOTNET_NOTICE_TWO, name35.text, name45.text, L"");
        else
            ShowNotice(IDS_DOTNET35_NOTICE);
    } else if (!m_bDotNet40) {
        ShowNotice(IDS_DOTNET_NOTICE_ONE, name40.text, windowsUpdate.text);
    } else {
        ShowNotice(IDS_DOTNET_NOTICE_ONE, name45.text, L"");
    }
}
