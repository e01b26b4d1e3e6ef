#include "ui/InstallDlg.h"

#include <commctrl.h>

#include "StringIds.h"
#include "app/VTInst.h"
#include "download/HttpDownload.h"
#include "framework/StringFormat.h"
#include "install/DotNetRedistributables.h"
#include "install/RebootCheck.h"
#include "resource.h"
#include "support/Foreground.h"
#include "support/Log.h"
#include "support/MessageBox.h"
#include "ui/InstallCompletedDlg.h"
#include "ui/InstallFailureText.h"
#include "ui/PowerAutoOffDlg.h"
#include "ui/RestartConfrimDlg.h"
#include "ui/WizardMessages.h"

namespace {

const UINT MARQUEE_UPDATE_MS = 20;

std::wstring TempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, folder);
    return folder;
}

}  // namespace

CInstallDlg::CInstallDlg(fw::CDialog* topPage) : CWizardPage(IDD, topPage) {}

// The thread has reported its end before the wizard finishes; the page waits only for it to return.
CInstallDlg::~CInstallDlg() {
    if (m_installThread) m_installThread->Wait(INFINITE);
    DestroyWindow();
}

BOOL CInstallDlg::OnInitDialog() {
    LOG_INFO(L"Start:CInstallDlg::OnInitDialog");
    InitializePage();
    RECT workArea = {};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0)) {
        RECT window = {};
        GetWindowRect(m_hWnd, &window);
        SetWindowPos(m_hWnd, nullptr, window.left + (workArea.right - window.right),
                     window.top + (workArea.bottom - window.bottom), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    HWND progress = GetDlgItem(m_hWnd, IDC_INSTALL_PROGRESS);
    SetWindowLongPtrW(progress, GWL_STYLE, GetWindowLongPtrW(progress, GWL_STYLE) | PBS_MARQUEE);
    SendMessageW(progress, PBM_SETMARQUEE, TRUE, MARQUEE_UPDATE_MS);

    m_progressFormat = fw::LoadResString(IDS_INSTALL_PROGRESS);
    m_totalPackages = 0;
    if (m_pInstallList) {
        for (const CUpdateInfo& record : *m_pInstallList) m_totalPackages += record.m_packageCount;
    }
    ShowProgress(1);

    theApp.m_installReady = 1;
    BringWindowToForeground(m_hWnd);
    StartInstallThread();
    LOG_INFO(L"End  :CInstallDlg::OnInitDialog");
    return TRUE;
}

void CInstallDlg::StartInstallThread() { m_installThread = fw::BeginThread(CHttpDownLoad::InstallThread, this); }

void CInstallDlg::ShowProgress(int packageNumber) {
    SetDlgItemTextW(m_hWnd, IDC_INSTALL_STATUS,
                    fw::Format(m_progressFormat.c_str(), packageNumber, m_totalPackages).c_str());
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

void CInstallDlg::OnInstallFailed(int packageIndex, int recordIndex) {
    if (!m_pInstallList || recordIndex < 0 || static_cast<size_t>(recordIndex) >= m_pInstallList->size()) return;
    const CUpdateInfo& record = (*m_pInstallList)[static_cast<size_t>(recordIndex)];
    const InstallFailureText text = m_bIssWriteFailed == 1
                                        ? DescribeResponseFileFailure(record, packageIndex)
                                        : DescribeInstallerFailure(record, packageIndex, TempFolder());
    if (text.codeLooked) {
        LOG_ERROR(fw::Format(L"Error:CInstallDlg::WM_USER_INSTALL_FAILED: %s install failed. ErrorCode is %s.",
                             record.m_id.c_str(), text.code.c_str()).c_str());
    }
    if (text.textId == IDS_INSTALL_FAILED) {
        LOG_ERROR(fw::Format(L"Error:CInstallDlg::WM_USER_INSTALL_FAILED: %s install failed.", record.m_id.c_str())
                      .c_str());
        ShowMessageBox(nullptr, IDS_CAPTION, IDS_INSTALL_FAILED, MB_ICONHAND, OpenHelpContext, 0, 0,
                       record.m_title.c_str());
    } else if (!text.head.empty()) {
        ShowMessageBox(nullptr, IDS_CAPTION, IDS_INSTALL_FAILED_DETAIL, MB_ICONHAND, OpenHelpContext, 0, 0,
                       text.head.c_str(), text.detail.c_str());
    }
}

void CInstallDlg::OnInstallFinish() {
    ShowWindow(m_hWnd, SW_HIDE);
    InstallDotNetAfterPackages();
    if (CheckInstallReboot()) {
        theApp.m_rebootNeeded = 1;
        if (theApp.m_updateCommonInfo.CallPowerAutoOffDlg) {
            theApp.m_pPowerAutoOffDlg =
                new CPowerAutoOffDlg(m_pTopWnd, static_cast<UINT>(theApp.m_updateCommonInfo.CallPowerAutoOffDlgParam));
            theApp.m_pPowerAutoOffDlg->SetPreviousPage(this);
            CreateAndShow(*theApp.m_pPowerAutoOffDlg);
        } else {
            theApp.m_pRestartConfrimDlg = new CRestartConfrimDlg(m_pTopWnd);
            CreateAndShow(*theApp.m_pRestartConfrimDlg);
        }
        return;
    }
    m_pCompletedDlg = std::make_unique<CInstallCompletedDlg>(m_pTopWnd);
    CreateAndShow(*m_pCompletedDlg);
}

BOOL CInstallDlg::CheckInstallReboot() {
    static const CUpdateInfoList kNoPackages;
    return InstallListNeedsRestart(m_pInstallList ? *m_pInstallList : kNoPackages, theApp.m_bNeedReboot) ? TRUE
                                                                                                          : FALSE;
}

INT_PTR CInstallDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
        case WM_CLOSE:
            FlashWindow(m_hWnd, TRUE);  // the window's close button only draws attention
            handled = true;
            return TRUE;
        case WM_USER_INSTALL_PROGRESS: ShowProgress(static_cast<int>(lParam)); break;
        case WM_USER_INSTALL_FAILED: OnInstallFailed(static_cast<int>(wParam), static_cast<int>(lParam)); break;
        case WM_USER_INSTALL_FINISH: OnInstallFinish(); break;
        default: break;
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
