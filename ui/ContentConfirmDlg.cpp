#include "ui/ContentConfirmDlg.h"

#include "StringIds.h"
#include "app/VTInst.h"
#include "framework/StringFormat.h"
#include "resource.h"
#include "support/Foreground.h"
#include "support/Language.h"
#include "support/Log.h"
#include "support/SizeText.h"
#include "ui/DownloadDlg.h"

namespace {

const int STRING_CAPACITY = 1024;
const int64_t LARGEST_SIZE_TENTHS = 999999;
const wchar_t INSTALL_SUBFOLDER[] = L"ZEL\\Veltrona";

std::wstring Text(UINT id) {
    wchar_t text[STRING_CAPACITY] = {};
    LoadResourceString(text, STRING_CAPACITY, id);
    return text;
}

// The folder the packages go to: the chosen one with the family's subfolder, one separator between.
std::wstring InstallTarget(const std::wstring& folder) {
    if (folder.empty() || folder.back() == L'\\') return fw::Format(L"%s%s", folder.c_str(), INSTALL_SUBFOLDER);
    return fw::Format(L"%s\\%s", folder.c_str(), INSTALL_SUBFOLDER);
}

void ReplaceLineEnds(std::wstring& text) {
    std::wstring result;
    result.reserve(text.size() + text.size() / 16);
    for (wchar_t c : text) {
        if (c == L'\n') result += L'\r';
        result += c;
    }
    text.swap(result);
}

}  // namespace

CContentConfirmDlg::CContentConfirmDlg(fw::CDialog* topPage) : CWizardPage(IDD, topPage) {}

std::wstring CContentConfirmDlg::BuildSettingsText(const CUpdateInfoList& list) {
    const std::wstring dashes(69, L'-');
    const UPDATECOMMONINFO& info = theApp.m_updateCommonInfo;
    std::wstring text = Text(IDS_REVIEW_INTRO) + L"\n\n";
    text += fw::Format(L"1. %s", Text(IDS_REVIEW_PRODUCT).c_str()) + L"\n";
    text += dashes + L"\n";
    const std::wstring folder = info.SelectFolder == 1 ? InstallTarget(theApp.m_installFolder) : std::wstring();
    text += fw::Format(L"%s: %s", Text(IDS_REVIEW_INSTALL_FOLDER).c_str(), folder.c_str()) + L"\n";
    text += fw::Format(L"%s: %s%s", Text(IDS_REVIEW_INSTALL_SIZE).c_str(),
                       FormatSizeTenths(info.TotalInstallSize, LARGEST_SIZE_TENTHS).c_str(),
                       Text(IDS_REVIEW_MB).c_str()) +
            L"\n";
    text += Text(IDS_REVIEW_APPLICATIONS) + L"\n";
    for (const CUpdateInfo& item : list) text += L"   " + item.m_title + L"\n";
    text += L"\n";

    if (!theApp.m_bDotNet35 || !theApp.m_bDotNet40 || !theApp.m_bDotNet45) {
        text += L"\n";
        text += fw::Format(L"2. %s", Text(IDS_REVIEW_OTHER).c_str()) + L"\n";
        text += dashes + L"\n";
        text += fw::Format(L"%s: %d%s", Text(IDS_REVIEW_INSTALL_SIZE).c_str(), theApp.m_dotNetSpaceMB,
                           Text(IDS_REVIEW_MB).c_str()) +
                L"\n";
        text += Text(IDS_REVIEW_APPLICATIONS) + L"\n";
        const struct {
            BOOL present;
            UINT name;
        } frameworks[] = {{theApp.m_bDotNet35, IDS_DOTNET35_NAME},
                          {theApp.m_bDotNet40, IDS_DOTNET40_NAME},
                          {theApp.m_bDotNet45, IDS_DOTNET45_NAME}};
        for (const auto& framework : frameworks) {
            if (!framework.present) text += fw::Format(L"   %s", Text(framework.name).c_str()) + L"\n";
        }
    }
    ReplaceLineEnds(text);
    return text;
}

BOOL CContentConfirmDlg::OnInitDialog() {
    LOG_INFO(L"Start:CContentConfirmDlg::OnInitDialog");
    InitializePage();
    const std::wstring text = m_pDownloadList ? BuildSettingsText(*m_pDownloadList) : std::wstring();
    SetDlgItemTextW(m_hWnd, IDC_CONTENT_SETTINGS, text.c_str());
    CenterWindow();
    ShowWindow(m_hWnd, SW_SHOW);
    // Read from the top: setting the text leaves the box scrolled to its end.
    SendDlgItemMessageW(m_hWnd, IDC_CONTENT_SETTINGS, EM_SETSEL, 0, 0);
    SendDlgItemMessageW(m_hWnd, IDC_CONTENT_SETTINGS, WM_VSCROLL, SB_TOP, 0);
    BringWindowToForeground(m_hWnd);
    SetFocus(GetDlgItem(m_hWnd, IDC_CONTENT_NEXT));
    LOG_INFO(L"End  :CContentConfirmDlg::OnInitDialog");
    return FALSE;
}

BOOL CContentConfirmDlg::OnCommand(WORD id, WORD notifyCode, HWND) {
    if (notifyCode != BN_CLICKED) return FALSE;
    switch (id) {
        case IDC_CONTENT_NEXT: OnBnClickedButtonContentNext(); return TRUE;
        case IDC_CONTENT_BACK: OnBnClickedButtonContentBack(); return TRUE;
        case IDC_CONTENT_CANCEL: OnBnClickedButtonContentCancel(); return TRUE;
        default: return FALSE;
    }
}

void CContentConfirmDlg::OnCancel() { OnBnClickedButtonContentCancel(); }

void CContentConfirmDlg::OnBnClickedButtonContentNext() {
    LOG_INFO(L"Start:CContentConfirmDlg::OnBnClickedButtonContentNext");
    ShowWindow(m_hWnd, SW_HIDE);
    // Created once per run: there is no way back from the download page.
    theApp.m_pDownloadDlg = new CDownloadDlg(m_pTopWnd);
    theApp.m_pDownloadDlg->SetDownloadList(m_pDownloadList);
    CreateAndShow(*theApp.m_pDownloadDlg);
    LOG_INFO(L"End  :CContentConfirmDlg::OnBnClickedButtonContentNext");
}

void CContentConfirmDlg::OnBnClickedButtonContentBack() {
    LOG_INFO(L"Start:CContentConfirmDlg::OnBnClickedButtonContentBack");
    ReturnTo(m_pPrevPage);
    LOG_INFO(L"End  :CContentConfirmDlg::OnBnClickedButtonContentBack");
}

void CContentConfirmDlg::OnBnClickedButtonContentCancel() {
    LOG_INFO(L"Start:CContentConfirmDlg::OnBnClickedButtonContentCancel");
    if (ConfirmCancel(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2)) {
        theApp.m_nWizardStatus = 2;
        PostCloseToTop();
    }
    LOG_INFO(L"End:CContentConfirmDlg::OnBnClickedButtonContentCancel");
}
