#include "ui/InstallCompletedDlg.h"

#include "app/VTInst.h"
#include "resource.h"
#include "support/Foreground.h"
#include "support/Log.h"
#include "ui/PowerAutoOffDlg.h"
#include "ui/RestartConfrimDlg.h"

BOOL CInstallCompletedDlg::OnInitDialog() {
    LOG_INFO(L"Start:CInstallCompletedDlg::OnInitDialog");
    InitializePage();
    SendDlgItemMessageW(m_hWnd, IDC_COMPLETED_HEADING, WM_SETFONT,
                        reinterpret_cast<WPARAM>(theApp.m_fontBold.Handle()), TRUE);
    // Centred on the screen, not on the work area.
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - (window.right - window.left) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - (window.bottom - window.top) / 2;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (LayoutRuleApplies({1031, 1033, 1036, 1040, 1042, 1046, 1049, 3082})) {
        GrowControl(IDC_COMPLETED_TEXT, 0, 12);
        MoveControl(IDC_COMPLETED_BUTTON, 0, 12);
        if (GetUserDefaultLangID() == 1031) GrowControl(IDC_COMPLETED_BUTTON, 10, 0);
    }
    BringWindowToForeground(m_hWnd);
    LOG_INFO(L"End  :CInstallCompletedDlg::OnInitDialog");
    return TRUE;
}

void CInstallCompletedDlg::OnButtonCompleted() {
    LOG_INFO(L"Start:CInstallCompletedDlg::OnButtonCompleted");
    theApp.m_nWizardStatus = 1;
    ShowWindow(m_hWnd, SW_HIDE);
    if (theApp.m_updateCommonInfo.CallPowerAutoOffDlg) {
        theApp.m_pPowerAutoOffDlg =
            new CPowerAutoOffDlg(m_pTopWnd, static_cast<UINT>(theApp.m_updateCommonInfo.CallPowerAutoOffDlgParam));
        theApp.m_pPowerAutoOffDlg->SetPreviousPage(this);
        CreateAndShow(*theApp.m_pPowerAutoOffDlg);
    } else if (theApp.m_rebootNeeded) {
        theApp.m_pRestartConfrimDlg = new CRestartConfrimDlg(m_pTopWnd);
        CreateAndShow(*theApp.m_pRestartConfrimDlg);
    } else {
        EndDialog(IDOK);
        PostCloseToTop();
    }
    LOG_INFO(L"End  :CInstallCompletedDlg::OnButtonCompleted");
}

// Esc and the close button act as Complete.
void CInstallCompletedDlg::OnCancel() {
    LOG_INFO(L"Start:CInstallCompletedDlg::OnCancel");
    OnButtonCompleted();
    LOG_INFO(L"End  :CInstallCompletedDlg::OnCancel");
}

BOOL CInstallCompletedDlg::OnCommand(WORD id, WORD, HWND) {
    if (id != IDC_COMPLETED_BUTTON) return FALSE;
    OnButtonCompleted();
    return TRUE;
}

INT_PTR CInstallCompletedDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_CLOSE) {
        LOG_INFO(L"Start:CInstallCompletedDlg::OnClose");
        OnButtonCompleted();
        LOG_INFO(L"End  :CInstallCompletedDlg::OnClose");
        handled = true;
        return TRUE;
    }
    return CWizardPage::OnMessage(message, wParam, lParam, handled);
}
