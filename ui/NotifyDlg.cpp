#include "ui/NotifyDlg.h"

#include "app/VTInst.h"
#include "framework/AppBase.h"
#include "resource.h"
#include "support/Language.h"
#include "support/Log.h"

CNotifyDlg::CNotifyDlg() : fw::CDialog(IDD) {
    m_hIcon = LoadIconW(fw::GetResourceModule(), MAKEINTRESOURCEW(IDI_APP));
    // The notice's texts come from the language module the user's language selects.
    wchar_t programPath[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, programPath, MAX_PATH) != 0) {
        if (HMODULE languageModule = LoadLanguageResourceModule(programPath)) fw::SetResourceModule(languageModule);
    }
}

BOOL CNotifyDlg::OnInitDialog() {
    LOG_INFO(L"Start:CNotifyDlg::OnInitDialog");
    fw::CDialog::OnInitDialog();
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SendDlgItemMessageW(m_hWnd, IDC_NOTIFY_CONNECTING, WM_SETFONT,
                        reinterpret_cast<WPARAM>(theApp.m_fontBold.Handle()), TRUE);

    RECT workArea = {};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0)) {
        RECT window = {};
        GetWindowRect(m_hWnd, &window);
        const int width = window.right - window.left;
        const int height = window.bottom - window.top;
        SetWindowPos(m_hWnd, nullptr, workArea.right - width, workArea.bottom - height, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LOG_INFO(L"End  :CNotifyDlg::OnInitDialog");
    return TRUE;
}
