#include "ui/RestartConfrimDlg.h"

#include "app/VTInst.h"
#include "framework/StringFormat.h"
#include "support/Foreground.h"
#include "support/Log.h"
#include "support/Profile.h"
#include "support/Registry.h"

namespace {

const wchar_t kRunOnceName[] = L"VTInst Install";
const wchar_t kRestartOption[] = L" -StartOS";

}  // namespace

BOOL CRestartConfrimDlg::OnInitDialog() {
    LOG_INFO(L"Start:CRestartConfrimDlg::OnInitDialog");
    InitializePage();
    SetFocus(GetDlgItem(m_hWnd, IDOK));
    CenterWindow();
    ShowWindow(m_hWnd, SW_SHOW);
    BringWindowToForeground(m_hWnd);
    LOG_INFO(L"End  :CRestartConfrimDlg::OnInitDialog");
    return FALSE;
}

void CRestartConfrimDlg::EndWizard() {
    theApp.m_nWizardStatus = 1;
    if (!m_pTopWnd) return;
    EndDialog(IDOK);
    PostCloseToTop();
}

void CRestartConfrimDlg::OnButtonRestart() {
    LOG_INFO(L"Start:CRestartConfrimDlg::OnButtonRestart");
    theApp.m_bRestartNow = 1;
    std::wstring command;
    if (theApp.m_bLaunchTools) {
        // The main application's monitor stays out of the way until the tools have run again.
        if (!WriteProfileStringWithRetry(L"CONFIG_C", L"Skip", L"1", theApp.m_strMonIni))
            LOG_ERROR(L"Error:CRestartConfrimDlg::OnButtonRestart: save key[Skip] is failed.");
        command = fw::Format(L"%s\\%s%s", theApp.m_strModuleDir.c_str(), L"VTInst.exe", kRestartOption);
    } else {
        command = fw::Format(L"%s\\%s", GetREGSZDataInfo(L"SOFTWARE\\ZEL\\Veltrona Online Update", L"Path").c_str(),
                             L"VeltronaUpdater.exe");
    }
    SetREGSZDataInfo(kRunOnceName, command);
    EndWizard();
    LOG_INFO(L"End  :CRestartConfrimDlg::OnButtonRestart");
}

void CRestartConfrimDlg::OnButtonNoRestart() {
    LOG_INFO(L"Start:CRestartConfrimDlg::OnButtonNoRestart");
    EndWizard();
    LOG_INFO(L"End  :CRestartConfrimDlg::OnButtonNoRestart");
}

INT_PTR CRestartConfrimDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_CLOSE) {
        LOG_INFO(L"Start:CRestartConfrimDlg::OnClose");
        OnButtonNoRestart();
        LOG_INFO(L"End  :CRestartConfrimDlg::OnClose");
        handled = true;
        return TRUE;
    }
    return CWizardPage::OnMessage(message, wParam, lParam, handled);
}
