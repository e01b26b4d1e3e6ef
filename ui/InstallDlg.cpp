#include "ui/InstallDlg.h"

#include <commctrl.h>

#include "resource.h"
#include "support/Foreground.h"
#include "support/Log.h"

BOOL CInstallDlg::OnInitDialog() {
    LOG_INFO(L"Start:CInstallDlg::OnInitDialog");
    InitializePage();
    SendDlgItemMessageW(m_hWnd, IDC_INSTALL_PROGRESS, PBM_SETMARQUEE, TRUE, 0);
    RECT workArea = {};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0)) {
        RECT window = {};
        GetWindowRect(m_hWnd, &window);
        SetWindowPos(m_hWnd, nullptr, workArea.right - (window.right - window.left),
                     workArea.bottom - (window.bottom - window.top), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    BringWindowToForeground(m_hWnd);
    LOG_INFO(L"End  :CInstallDlg::OnInitDialog");
    return TRUE;
}

// Enter and Esc do nothing: the installation cannot be left.
void CInstallDlg::OnOK() {
    LOG_INFO(L"Start:CInstallDlg::OnOK");
    LOG_INFO(L"End  :CInstallDlg::OnOK");
}

void CInstallDlg::OnCancel() {
    LOG_INFO(L"Start:CInstallDlg::OnCancel");
    LOG_INFO(L"End  :CInstallDlg::OnCancel");
}

INT_PTR CInstallDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_CLOSE) {
        FlashWindow(m_hWnd, TRUE);  // the window's close button only draws attention
        handled = true;
        return TRUE;
    }
    return CWizardPage::OnMessage(message, wParam, lParam, handled);
}

void CInstallDlg::SetInstallList(CUpdateInfoList* list) {
    LOG_INFO(L"Start:CInstallDlg::SetInstallList");
    m_pInstallList = list;
    LOG_INFO(L"End  :CInstallDlg::SetInstallList");
}

CUpdateInfoList* CInstallDlg::SortInstallList() {
    LOG_INFO(L"Start:CInstallDlg::SortInstallList");
    auto ordered = std::make_unique<CUpdateInfoList>();
    if (m_pInstallList) {
        for (const CUpdateInfo& record : *m_pInstallList) GetSubRelation(record.m_id, ordered.get());
    }
    // A list the page built earlier is its own to free; one handed in stays with its owner.
    m_ownInstallList = std::move(ordered);
    m_pInstallList = m_ownInstallList.get();
    LOG_INFO(L"End  :CInstallDlg::SortInstallList");
    return m_pInstallList;
}

void CInstallDlg::GetSubRelation(const std::wstring& id, CUpdateInfoList* list) {
    LOG_INFO(L"Start:CInstallDlg::GetSubRelation");
    if (m_pInstallList && list) {
        for (const CUpdateInfo& record : *m_pInstallList) {
            if (record.m_id == id) {
                list->push_back(record);
                break;
            }
        }
    }
    LOG_INFO(L"End  :CInstallDlg::GetSubRelation");
}
