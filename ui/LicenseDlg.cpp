#include "ui/LicenseDlg.h"

#include <richedit.h>

#include "StringIds.h"
#include "app/VTInst.h"
#include "catalogue/ProductIds.h"
#include "download/HttpDownload.h"
#include "resource.h"
#include "support/Foreground.h"
#include "support/Log.h"
#include "support/MessageBox.h"
#include "ui/ContentConfirmDlg.h"
#include "ui/WizardMessages.h"

namespace {

const int DOWNLOAD_NAMING_INDEX = 1;

// The loader's only work: the page fills itself on the user-interface thread, after it is shown.
// The parameter is the page's window, which outlives the message (a page pointer might not).
UINT __cdecl LoadLicenseThread(void* pageWindow) {
    SendMessageW(static_cast<HWND>(pageWindow), WM_USER_LICENSE_LOAD, 0, 0);
    return 0;
}

DWORD CALLBACK ReadIntoControl(DWORD_PTR file, LPBYTE buffer, LONG wanted, LONG* read) {
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(file), buffer, static_cast<DWORD>(wanted), &got, nullptr)) got = 0;
    *read = static_cast<LONG>(got);
    return 0;
}

// Streams the file's RTF into the control; FALSE when the file cannot be opened.
bool StreamFileInto(HWND control, const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(file);
    stream.pfnCallback = ReadIntoControl;
    SendMessageW(control, EM_STREAMIN, SF_TEXT | SF_RTF, reinterpret_cast<LPARAM>(&stream));
    CloseHandle(file);
    return true;
}

}  // namespace

CLicenseDlg::CLicenseDlg(fw::CDialog* parent)
    : CWizardPage(IDD, theApp.m_updateCommonInfo.SelectFolder ? parent : nullptr) {}

BOOL CLicenseDlg::OnInitDialog() {
    LOG_INFO(L"Start:CLicenseDlg::OnInitDialog");
    InitializePage();
    if (theApp.m_updateCommonInfo.SelectFolder == 0) ShowWindow(GetDlgItem(m_hWnd, IDC_LICENSE_BACK), SW_HIDE);
    CheckDlgButton(m_hWnd, IDC_LICENSE_DECLINE, BST_CHECKED);
    CheckDlgButton(m_hWnd, IDC_LICENSE_ACCEPT, BST_UNCHECKED);
    if (LayoutRuleApplies({1031})) {
        GrowControl(IDC_LICENSE_ACCEPT, 25, 0);
        GrowControl(IDC_LICENSE_DECLINE, 30, 0);
        MoveControl(IDC_LICENSE_PRINT, 35, 0);
    }
    CenterWindow();
    BringWindowToForeground(m_hWnd);
    ShowWindow(m_hWnd, SW_SHOW);
    m_loader = fw::BeginThread(LoadLicenseThread, m_hWnd);
    LOG_INFO(L"End  :CLicenseDlg::OnInitDialog");
    return FALSE;
}

BOOL CLicenseDlg::OnCommand(WORD id, WORD notifyCode, HWND) {
    if (notifyCode != BN_CLICKED) return FALSE;
    switch (id) {
        case IDC_LICENSE_ACCEPT: SetAccepted(true); return TRUE;
        case IDC_LICENSE_DECLINE: SetAccepted(false); return TRUE;
        case IDC_LICENSE_PRINT: DoPrint(); return TRUE;
        case IDC_LICENSE_NEXT: OnButtonNext(); return TRUE;
        case IDC_LICENSE_BACK: OnButtonPrev(); return TRUE;
        default: return FALSE;
    }
}

INT_PTR CLicenseDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_USER_LICENSE_LOAD) {
        OnlineUpdateClose();
        handled = true;
        return TRUE;
    }
    if (message == WM_USER_VTINSTALL_CLOSE) {
        VTInstallClose();
        handled = true;
        return TRUE;
    }
    return CWizardPage::OnMessage(message, wParam, lParam, handled);
}

void CLicenseDlg::EnableControls(BOOL enable) {
    const int ids[] = {IDC_LICENSE_HEADING, IDC_LICENSE_SUBHEADING, IDC_LICENSE_TEXT, IDC_LICENSE_ACCEPT,
                       IDC_LICENSE_DECLINE, IDC_LICENSE_PRINT, IDCANCEL};
    for (int id : ids) EnableWindow(GetDlgItem(m_hWnd, id), enable);
    if (theApp.m_updateCommonInfo.SelectFolder == 1) EnableWindow(GetDlgItem(m_hWnd, IDC_LICENSE_BACK), enable);
}

void CLicenseDlg::FailLoading(const wchar_t* logLine, UINT messageId) {
    LOG_ERROR(logLine);
    ShowMessageBox(m_hWnd, IDS_CAPTION, messageId, MB_ICONHAND, OpenHelpContext, 0, 0);
    theApp.m_nWizardStatus = 2;
    PostCloseToTop();
    LOG_INFO(L"End  :CLicenseDlg::OnInitDialog");
}

void CLicenseDlg::OnlineUpdateClose() {
    LOG_INFO(L"Start:CLicenseDlg::OnlineUpdateClose");
    EnableControls(FALSE);
    EnableWindow(GetDlgItem(m_hWnd, IDC_LICENSE_NEXT), FALSE);

    std::wstring& licenseFile = theApp.m_updateCommonInfo.LicenseFile;
    if (licenseFile.empty()) {
        switch (UpdateLicense(TRUE)) {
            case 0: break;
            case 1:
                FailLoading(L"Error:CLicenseDlg::OnInitDialog:Failed to connect to the server.", IDS_CONNECT_FAILED);
                return;
            case 3:
                FailLoading(L"Error:CLicenseDlg::OnInitDialog:Failed to download the file.", IDS_DOWNLOAD_FAILED);
                return;
            default:
                FailLoading(L"Error:CLicenseDlg::OnInitDialog:Failed to read the rtf file.", IDS_CANNOT_ANALYSE_FILE);
                return;
        }
    } else if (UpdateLicense(FALSE) == 4) {
        FailLoading(L"Error:CLicenseDlg::OnInitDialog:Failed to read the rtf file.", IDS_CANNOT_ANALYSE_FILE);
        return;
    }
    if (!ReadRtfToPrintCtrl(licenseFile)) {
        FailLoading(L"Error:CLicenseDlg::::OnInitDialog:Failed to read the rtf file.", IDS_CANNOT_ANALYSE_FILE);
        return;
    }

    EnableControls(TRUE);
    SetFocus(GetDlgItem(m_hWnd, IDC_LICENSE_DECLINE));
    if (m_pDownloadList && !m_pDownloadList->empty() && (*m_pDownloadList)[0].m_id == PRODUCT_ONLINE_UPDATE)
        EnableWindow(GetDlgItem(m_hWnd, IDC_LICENSE_BACK), FALSE);
    LOG_INFO(L"End  :CLicenseDlg::OnlineUpdateClose");
}

int CLicenseDlg::UpdateLicense(BOOL download) {
    LOG_INFO(L"Start:CLicenseDlg::UpdateLicense");
    UPDATECOMMONINFO& info = theApp.m_updateCommonInfo;
    if (download) {
        std::wstring path;
        const int result =
            CHttpDownLoad::DownloadFile(path, DOWNLOAD_NAMING_INDEX, theApp.GetSavePath(), info.LicenseUrl, m_hWnd);
        if (result != DL_SUCCESS) {
            LOG_ERROR(L"Error:CLicenseDlg::UpdateLicense:Failed to download the file");
            LOG_INFO(L"End  :CLicenseDlg::UpdateLicense");
            return result;
        }
        info.LicenseFile = path;
    }
    HWND text = GetDlgItem(m_hWnd, IDC_LICENSE_TEXT);
    if (!StreamFileInto(text, info.LicenseFile)) {
        LOG_ERROR(L"Error:CLicenseDlg::UpdateLicense:Failed to read rtf file");
        LOG_INFO(L"End  :CLicenseDlg::UpdateLicense");
        return 4;
    }
    SendMessageW(text, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    LOG_INFO(L"End  :CLicenseDlg::UpdateLicense");
    return 0;
}

BOOL CLicenseDlg::ReadRtfToPrintCtrl(const std::wstring& path) {
    LOG_INFO(L"Start:CLicenseDlg::ReadRtfToPrintCtrl");
    if (!StreamFileInto(GetDlgItem(m_hWnd, IDC_LICENSE_PRINT_COPY), path)) {
        LOG_ERROR(L"Error:CLicenseDlg::ReadRtfToPrintCtrl:Failed to read rtf file");
        LOG_INFO(L"End  :CLicenseDlg::ReadRtfToPrintCtrl");
        return FALSE;
    }
    LOG_INFO(L"End:CLicenseDlg::ReadRtfToPrintCtrl");
    return TRUE;
}

void CLicenseDlg::SetAccepted(bool accepted) {
    LOG_INFO(accepted ? L"Start:CLicenseDlg::OnBnClickedRadioAccept" : L"Start:CLicenseDlg::OnBnClickedRadioDecline");
    CheckDlgButton(m_hWnd, IDC_LICENSE_ACCEPT, accepted ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_LICENSE_DECLINE, accepted ? BST_UNCHECKED : BST_CHECKED);
    EnableWindow(GetDlgItem(m_hWnd, IDC_LICENSE_NEXT), accepted);
    LOG_INFO(accepted ? L"End  :CLicenseDlg::OnBnClickedRadioAccept" : L"End  :CLicenseDlg::OnBnClickedRadioDecline");
}

void CLicenseDlg::OnButtonNext() {
    LOG_INFO(L"Start:CLicenseDlg::OnButtonNext");
    ShowWindow(m_hWnd, SW_HIDE);
    delete theApp.m_pContentConfirmDlg;
    theApp.m_pContentConfirmDlg = new CContentConfirmDlg(m_pTopWnd);
    theApp.m_pContentConfirmDlg->SetPrevPage(this);
    theApp.m_pContentConfirmDlg->SetDownloadList(m_pDownloadList);
    CreateAndShow(*theApp.m_pContentConfirmDlg);
    LOG_INFO(L"End  :CLicenseDlg::OnButtonNext");
}

void CLicenseDlg::OnButtonPrev() {
    LOG_INFO(L"Start:CLicenseDlg::OnButtonPrev");
    ReturnTo(m_pPrevPage);
    LOG_INFO(L"End  :CLicenseDlg::OnButtonPrev");
}

void CLicenseDlg::OnCancel() { OnButtonCancel(); }

void CLicenseDlg::OnButtonCancel() {
    LOG_INFO(L"Start:CLicenseDlg::OnButtonCancel");
    if (ConfirmCancel(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2)) {
        theApp.m_nWizardStatus = 2;
        PostCloseToTop();
    }
    LOG_INFO(L"End:CLicenseDlg::OnButtonCancel");
}

void CLicenseDlg::VTInstallClose() {
    LOG_INFO(L"Start:CLicenseDlg::VTInstallClose");
    fw::CDialog::OnCancel();
    LOG_INFO(L"End  :CLicenseDlg::VTInstallClose");
}

void CLicenseDlg::DoPrint() {
    LOG_INFO(L"Start:CLicenseDlg::DoPrint");
    wchar_t device[160] = {};
    GetProfileStringW(L"windows", L"device", L",,,", device, 160);
    // "device,driver,port": the port is the rest after the second comma.
    std::wstring value = device;
    const size_t first = value.find(L',');
    const size_t second = first == std::wstring::npos ? first : value.find(L',', first + 1);
    const std::wstring deviceName = value.substr(0, first);
    const std::wstring driverName =
        first == std::wstring::npos ? std::wstring() : value.substr(first + 1, second - first - 1);
    const std::wstring port = second == std::wstring::npos ? std::wstring() : value.substr(second + 1);

    HDC printer = CreateDCW(driverName.c_str(), deviceName.c_str(), port.c_str(), nullptr);
    if (!printer) {
        LOG_ERROR(L"Error:CLicenseDlg::DoPrint:Failed to create the printer environment.");
        LOG_INFO(L"End:CLicenseDlg::DoPrint");
        return;
    }
    PrintRTF(GetDlgItem(m_hWnd, IDC_LICENSE_PRINT_COPY), printer);
    DeleteDC(printer);
    LOG_INFO(L"End:CLicenseDlg::DoPrint");
}

int CLicenseDlg::PrintRTF(HWND printControl, HDC printer) {
    LOG_INFO(L"Start:CLicenseDlg::PrintRTF");
    DOCINFOW document = {};
    document.cbSize = sizeof(document);
    document.lpszDocName = L"License";
    if (StartDocW(printer, &document) < 1) {
        LOG_ERROR(L"Error:CLicenseDlg::PrintRTF:Failed to start Printer");
        LOG_INFO(L"End  :CLicenseDlg::PrintRTF");
        return 0;
    }
    const int offsetX = GetDeviceCaps(printer, PHYSICALOFFSETX);
    const int offsetY = GetDeviceCaps(printer, PHYSICALOFFSETY);
    const int physicalWidth = GetDeviceCaps(printer, PHYSICALWIDTH);
    const int physicalHeight = GetDeviceCaps(printer, PHYSICALHEIGHT);
    const int dpiX = GetDeviceCaps(printer, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(printer, LOGPIXELSY);
    SendMessageW(printControl, EM_SETTARGETDEVICE, reinterpret_cast<WPARAM>(printer), physicalWidth);

    const int width = MulDiv(physicalWidth - 2 * offsetX, 1440, dpiX);
    const int height = MulDiv(physicalHeight - 2 * offsetY, 1440, dpiY);
    FORMATRANGE range = {};
    range.hdc = printer;
    range.hdcTarget = printer;
    range.rcPage = {0, 0, width, height};
    range.rc = {1440, 720, width - 1440, height - 720};  // an inch left and right, half an inch top and bottom
    SendMessageW(printControl, EM_SETSEL, 0, -1);
    SendMessageW(printControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));

    bool failed = false;
    while (range.chrg.cpMin < range.chrg.cpMax && !failed) {
        if (StartPage(printer) < 1) {
            LOG_ERROR(L"Error:CLicenseDlg::PrintRTF:Failed to start page.");
            failed = true;
            break;
        }
        const LONG next = static_cast<LONG>(SendMessageW(printControl, EM_FORMATRANGE, 1, reinterpret_cast<LPARAM>(&range)));
        if (next <= range.chrg.cpMin) {
            // The control printed nothing: going on would start blank pages for ever.
            LOG_ERROR(L"Error:CLicenseDlg::PrintRTF:Failed to print:cpMin <= fr.chrg.cpMin.");
            failed = true;
            break;
        }
        range.chrg.cpMin = next;
        failed = EndPage(printer) <= 0;
    }
    SendMessageW(printControl, EM_FORMATRANGE, 0, 0);

    if (!failed) {
        EndDoc(printer);
        LOG_INFO(L"Info :CLicenseDlg::PrintRTF:Print is success(EndDoc).");
    } else {
        AbortDoc(printer);
        LOG_ERROR(L"Error:CLicenseDlg::PrintRTF:Print is failed(AbortDoc).");
    }
    LOG_INFO(L"End  :CLicenseDlg::PrintRTF");
    return failed ? 0 : 1;
}
