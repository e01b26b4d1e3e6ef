#include "ui/InstallDestFolderDlg.h"

#include <cstdlib>

#include "StringIds.h"
#include "app/VTInst.h"
#include "framework/StringFormat.h"
#include "resource.h"
#include "support/Foreground.h"
#include "support/Language.h"
#include "support/Log.h"
#include "support/MessageBox.h"
#include "ui/LicenseDlg.h"
#include "ui/WizardMessages.h"

namespace {

const size_t LONGEST_BROWSED_FOLDER = 219;  // characters; 220 or more cannot be confirmed

std::wstring ProgramFilesFolder() {
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILES, FALSE);
    return folder;
}

// A selection the installer can install into: a file-system folder on a fixed drive, shorter than
// 220 characters, not among the network places.
bool IsAcceptableFolder(LPCITEMIDLIST item) {
    wchar_t path[MAX_PATH] = {};
    if (!item || !SHGetPathFromIDListW(item, path)) return false;
    const size_t length = wcslen(path);
    if (length == 0 || length > LONGEST_BROWSED_FOLDER) return false;
    if (wcsstr(path, L"NetHood")) return false;
    wchar_t drive[_MAX_DRIVE] = {};
    _wsplitpath(path, drive, nullptr, nullptr, nullptr);
    const std::wstring root = std::wstring(drive) + L"\\";
    return GetDriveTypeW(root.c_str()) == DRIVE_FIXED;
}

}  // namespace

CInstallDestFolderDlg::CInstallDestFolderDlg() : CWizardPage(IDD, nullptr) {}

BOOL CInstallDestFolderDlg::OnInitDialog() {
    LOG_INFO(L"Start:CInstallDestFolderDlg::OnInitDialog");
    InitializePage();
    SetDefaultInstallPath();
    ShowWindow(GetDlgItem(m_hWnd, IDC_FOLDER_BACK), SW_HIDE);
    CenterWindow();
    BringWindowToForeground(m_hWnd);
    if (LayoutRuleApplies({1041})) GrowControl(IDC_FOLDER_TEXT_CLICK_BROWSE, 0, 20);
    LOG_INFO(L"End  :CInstallDestFolderDlg::OnInitDialog");
    return TRUE;
}

void CInstallDestFolderDlg::DoDataExchange(bool saveAndValidate) {
    ExchangeText(IDC_FOLDER_PATH, m_strFolder, saveAndValidate);
}

void CInstallDestFolderDlg::SetDefaultInstallPath() {
    LOG_INFO(L"Start:CInstallDestFolderDlg::SetDefaultInstallPath");
    m_strFolder = ProgramFilesFolder();
    theApp.m_installFolder = m_strFolder;
    SetDlgItemTextW(m_hWnd, IDC_FOLDER_PATH, m_strFolder.c_str());
    UpdateData(FALSE);
    LOG_INFO(L"End  :CInstallDestFolderDlg::SetDefaultInstallPath");
}

BOOL CInstallDestFolderDlg::OnCommand(WORD id, WORD notifyCode, HWND) {
    if (notifyCode != BN_CLICKED) return FALSE;
    switch (id) {
        case IDC_FOLDER_NEXT: OnBnClickedButtonFolderNext(); return TRUE;
        case IDC_FOLDER_CANCEL: OnBnClickedButtonFolderCancel(); return TRUE;
        case IDC_FOLDER_BACK: OnBnClickedButtonFolderBack(); return TRUE;
        case IDC_FOLDER_BROWSE: OnBnClickedButtonFolderReference(); return TRUE;
        default: return FALSE;
    }
}

INT_PTR CInstallDestFolderDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_USER_VTINSTALL_CLOSE) {
        VTInstallClose();
        handled = true;
        return TRUE;
    }
    return CWizardPage::OnMessage(message, wParam, lParam, handled);
}

BOOL CInstallDestFolderDlg::IsFolderRW(const std::wstring& folder) {
    LOG_INFO(L"Start:CInstallDestFolderDlg::IsFolderRW");
    const std::wstring probe = fw::Format(L"%s\\%s", folder.c_str(), L"vtu");
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        LOG_ERROR(L"Error::CInstallDestFolderDlg::IsFolderRW:create file fail.");
        LOG_INFO(L"End  :CInstallDestFolderDlg::IsFolderRW");
        return FALSE;
    }
    CloseHandle(file);
    LOG_INFO(L"End  :CInstallDestFolderDlg::IsFolderRW");
    return TRUE;
}

void CInstallDestFolderDlg::OnBnClickedButtonFolderNext() {
    LOG_INFO(L"Start:CInstallDestFolderDlg::OnBnClickedButtonFolderNext");
    if (!IsFolderRW(m_strFolder)) {
        ShowMessageBox(m_hWnd, IDS_CAPTION, IDS_FOLDER_NOT_WRITABLE, MB_ICONEXCLAMATION, OpenHelpContext, 0, 0);
        LOG_INFO(L"End  :CInstallDestFolderDlg::OnBnClickedButtonFolderNext");
        return;
    }
    if (!theApp.CheckDiskSpaceEnough(m_strFolder)) {
        ShowMessageBox(m_hWnd, IDS_CAPTION, IDS_DISK_SPACE, MB_ICONHAND, OpenHelpContext, 0, 0);
        LOG_ERROR(L"Error:CInstallDestFolderDlg::OnBnClickedButtonFolderNext: not enough Disk space.");
        LOG_INFO(L"End  :CInstallDestFolderDlg::OnBnClickedButtonFolderNext");
        return;
    }
    ShowWindow(m_hWnd, SW_HIDE);
    delete theApp.m_pLicenseDlg;
    theApp.m_pLicenseDlg = new CLicenseDlg(this);
    theApp.m_pLicenseDlg->SetPrevPage(this);
    theApp.m_pLicenseDlg->SetDownloadList(m_pDownloadList);
    CreateAndShow(*theApp.m_pLicenseDlg);
    LOG_INFO(L"End  :CInstallDestFolderDlg::OnBnClickedButtonFolderNext");
}

void CInstallDestFolderDlg::OnBnClickedButtonFolderBack() {
    LOG_INFO(L"Start:CInstallDestFolderDlg::OnBnClickedButtonFolderBack");
    LOG_INFO(L"End  :CInstallDestFolderDlg::OnBnClickedButtonFolderBack");
}

void CInstallDestFolderDlg::OnBnClickedButtonFolderCancel() {
    LOG_INFO(L"Start:CInstallDestFolderDlg::OnBnClickedButtonFolderCancel");
    if (ConfirmCancel(MB_YESNO | MB_ICONEXCLAMATION)) {
        theApp.m_nWizardStatus = 2;
        fw::CDialog::OnCancel();
    }
    LOG_INFO(L"End  :CInstallDestFolderDlg::OnBnClickedButtonFolderCancel");
}

void CInstallDestFolderDlg::OnCancel() { CloseFolderWindow(); }

void CInstallDestFolderDlg::CloseFolderWindow() {
    LOG_INFO(L"Start:CInstallDestFolderDlg::CloseFolderWindow");
    if (ConfirmCancel(MB_YESNO | MB_ICONEXCLAMATION)) {
        theApp.m_nWizardStatus = 2;
        PostMessageW(m_hWnd, WM_USER_VTINSTALL_CLOSE, 0, 0);
    }
    LOG_INFO(L"End  :CInstallDestFolderDlg::CloseFolderWindow");
}

void CInstallDestFolderDlg::VTInstallClose() {
    LOG_INFO(L"Start:CInstallDestFolderDlg::VTInstallClose");
    fw::CDialog::OnCancel();
    LOG_INFO(L"End  :CInstallDestFolderDlg::VTInstallClose");
}

void CInstallDestFolderDlg::OnBnClickedButtonFolderReference() {
    LOG_INFO(L"Start:CInstallDestFolderDlg::OnBnClickedButtonFolderReference");
    UpdateData(TRUE);
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return;

    std::wstring startFolder = m_strFolder.empty() ? ProgramFilesFolder() : m_strFolder;
    wchar_t title[MAX_PATH] = {};
    LoadResourceString(title, MAX_PATH, IDS_BROWSE_FOLDER_TITLE);

    BROWSEINFOW browse = {};
    browse.hwndOwner = m_hWnd;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = BrowseCBProc;
    browse.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
    LPITEMIDLIST chosen = SHBrowseForFolderW(&browse);
    if (!chosen) {
        allocator->Release();
        return;
    }
    wchar_t path[MAX_PATH] = {};
    SHGetPathFromIDListW(chosen, path);
    m_strFolder = path;
    allocator->Free(chosen);
    allocator->Release();
    UpdateData(FALSE);
    theApp.m_installFolder = m_strFolder;
    LOG_INFO(L":CInstallDestFolderDlg::OnBnClickedButtonFolderReference");
}

int CALLBACK CInstallDestFolderDlg::BrowseCBProc(HWND browser, UINT message, LPARAM parameter, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
    } else if (message == BFFM_SELCHANGED) {
        if (!IsAcceptableFolder(reinterpret_cast<LPCITEMIDLIST>(parameter))) {
            SendMessageW(browser, BFFM_ENABLEOK, 0, 0);
            // Some browsers check the selection again after this callback and enable OK for any
            // file-system folder; the posted copy arrives after that check.
            PostMessageW(browser, BFFM_ENABLEOK, 0, 0);
        }
    }
    return 0;
}
