#include "ui/PowerAutoOffDlg.h"

#include "app/VTInst.h"
#include "resource.h"
#include "support/Foreground.h"
#include "support/Log.h"
#include "ui/PowerAutoOffLayout.h"
#include "ui/RestartConfrimDlg.h"

namespace {

void Apply(HWND control, const RECT& rect) {
    MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

}  // namespace

BOOL CPowerAutoOffDlg::OnInitDialog() {
    LOG_INFO(L"Start:CPowerAutoOffDlg::OnInitDialog");
    InitializePage();
    AdjustLayout();
    CenterWindow();
    ShowWindow(m_hWnd, SW_SHOW);
    BringWindowToForeground(m_hWnd);
    SetFocus(GetDlgItem(m_hWnd, IDC_POWER_NEXT));
    LOG_INFO(L"End  :CPowerAutoOffDlg::OnInitDialog");
    return FALSE;
}

void CPowerAutoOffDlg::AdjustLayout() {
    HWND firstText = GetDlgItem(m_hWnd, IDC_POWER_TEXT_1);
    HWND secondText = GetDlgItem(m_hWnd, IDC_POWER_TEXT_2);
    if (!firstText || !secondText) return;
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    // Only the templates whose rules look at it ask the workstation for its version.
    const std::wstring workstation = TemplateId() == 6003 ? std::wstring() : WorkstationVersion();
    RECT first = ControlRect(m_hWnd, firstText);
    RECT second = ControlRect(m_hWnd, secondText);
    AdjustPowerOffTexts(TemplateId(), dpi, GetUserDefaultLangID(), theApp.m_strOSVersion, workstation, first, second);
    Apply(firstText, first);
    Apply(secondText, second);
}

void CPowerAutoOffDlg::OnBnClickedButtonContentNext() {
    LOG_INFO(L"Start:CPowerAutoOffDlg::OnBnClickedButtonContentNext");
    ShowWindow(m_hWnd, SW_HIDE);
    if (theApp.m_rebootNeeded) {
        theApp.m_pRestartConfrimDlg = new CRestartConfrimDlg(m_pTopWnd);
        CreateAndShow(*theApp.m_pRestartConfrimDlg);
    } else {
        EndDialog(IDOK);
        PostCloseToTop();
    }
    LOG_INFO(L"End  :CPowerAutoOffDlg::OnBnClickedButtonContentNext");
}

void CPowerAutoOffDlg::OnCancel() {
    LOG_INFO(L"Start:CPowerAutoOffDlg::OnCancel");
    OnBnClickedButtonContentNext();
    LOG_INFO(L"End  :CPowerAutoOffDlg::OnCancel");
}

BOOL CPowerAutoOffDlg::OnCommand(WORD id, WORD, HWND) {
    if (id != IDC_POWER_NEXT) return FALSE;
    OnBnClickedButtonContentNext();
    return TRUE;
}
