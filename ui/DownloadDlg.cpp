#include "ui/DownloadDlg.h"

#include "StringIds.h"
#include "app/VTInst.h"
#include "download/DownloadResult.h"
#include "download/HttpDownload.h"
#include "framework/StringFormat.h"
#include "install/DotNetRedistributables.h"
#include "resource.h"
#include "support/Language.h"
#include "support/Log.h"
#include "support/MessageBox.h"
#include "support/SizeText.h"
#include "ui/InstallDlg.h"
#include "ui/WizardMessages.h"

namespace {

const int STRING_CAPACITY = 260;
const int VISIBLE_ROWS = 5;
const int ROW_HEIGHT = 17;
const int64_t LARGEST_SIZE_TENTHS = 999999;

std::wstring Text(UINT id) {
    wchar_t text[STRING_CAPACITY] = {};
    LoadResourceString(text, STRING_CAPACITY, id);
    return text;
}

}  // namespace

CDownloadDlg::CDownloadDlg(fw::CDialog* topPage) : CWizardPage(IDD, topPage) {}

CDownloadDlg::~CDownloadDlg() { DestroyWindow(); }

void CDownloadDlg::SetDownloadList(CUpdateInfoList* list) {
    LOG_INFO(L"Start:CDownloadDlg::SetDownloadList");
    m_pDownloadList = list;
    LOG_INFO(L"End:CDownloadDlg::SetDownloadList");
}

CUpdateInfoList* CDownloadDlg::GetDownloadList() {
    LOG_INFO(L"Start:CDownloadDlg::GetDownloadList");
    LOG_INFO(L"End  :CDownloadDlg::GetDownloadList");
    return m_pDownloadList;
}

const CUpdateInfo& CDownloadDlg::Record(int item) const { return m_pDownloadList->at(static_cast<size_t>(item)); }

BOOL CDownloadDlg::OnInitDialog() {
    LOG_INFO(L"Start:CDownloadDlg::OnInitDialog");
    InitializePage();
    m_statusFormat = Text(IDS_DOWNLOAD_STATUS);
    FillList();
    SendDlgItemMessageW(m_hWnd, IDC_DOWNLOAD_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    const int records = m_pDownloadList ? static_cast<int>(m_pDownloadList->size()) : 0;
    m_totalSizeText = FormatSizeTenths(m_totalDisplaySize, LARGEST_SIZE_TENTHS);
    SetDlgItemTextW(m_hWnd, IDC_DOWNLOAD_STATUS,
                    fw::Format(m_statusFormat.c_str(), records, m_totalSizeText.c_str(), 0).c_str());
    if (LayoutRuleApplies({1033, 1031, 1040, 1042})) {
        GrowControl(IDC_DOWNLOAD_STATUS, 0, 10);
        MoveControl(IDCANCEL, 0, 10);
    }
    CenterWindow();
    SetForegroundWindow(m_hWnd);
    StartDownloadThread();
    LOG_INFO(L"End:CDownloadDlg::OnInitDialog");
    return TRUE;
}

void CDownloadDlg::StartDownloadThread() { m_downloadThread = fw::BeginThread(CHttpDownLoad::DownloadThread, this); }

// Two columns without headings (the first stays empty), rows 17 pixels high, five rows visible.
void CDownloadDlg::FillList() {
    HWND list = GetDlgItem(m_hWnd, IDC_DOWNLOAD_LIST);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 20;
    column.pszText = const_cast<wchar_t*>(L"");
    ListView_InsertColumn(list, 0, &column);
    column.mask = LVCF_FMT | LVCF_TEXT;
    ListView_InsertColumn(list, 1, &column);
    // The row height comes from the image list, which the view no longer needs afterwards.
    HIMAGELIST rowHeight = ImageList_Create(1, ROW_HEIGHT, 0, 10, 10);
    ListView_SetImageList(list, rowHeight, LVSIL_SMALL);

    const int rows = m_pDownloadList ? static_cast<int>(m_pDownloadList->size()) : 0;
    for (int row = 0; row < rows; ++row) {
        m_totalBytes += Record(row).m_size;
        m_totalDisplaySize += Record(row).m_displaySize;
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(L"");
        ListView_InsertItem(list, &item);
        SetRowText(row, IDS_DOWNLOAD_ROW);
    }

    RECT rowRect = {};
    if (rows > 0 && ListView_GetItemRect(list, 0, &rowRect, LVIR_BOUNDS)) {
        RECT listRect = {};
        GetWindowRect(list, &listRect);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&listRect), 2);
        MoveWindow(list, listRect.left, listRect.top, listRect.right - listRect.left,
                   VISIBLE_ROWS * (rowRect.bottom - rowRect.top + 1), TRUE);
    }
    ListView_SetImageList(list, nullptr, LVSIL_SMALL);
    ImageList_Destroy(rowHeight);
}

void CDownloadDlg::SetRowText(int row, UINT formatId) {
    HWND list = GetDlgItem(m_hWnd, IDC_DOWNLOAD_LIST);
    std::wstring text = fw::Format(Text(formatId).c_str(), Record(row).m_title.c_str());
    ListView_SetItemText(list, row, 1, &text[0]);
    ListView_SetColumnWidth(list, 1, LVSCW_AUTOSIZE_USEHEADER);
}

// The row being downloaded is drawn bold.
LRESULT CDownloadDlg::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
        case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            const bool current = static_cast<int>(draw->nmcd.dwItemSpec) == m_currentItem;
            SelectObject(draw->nmcd.hdc, current ? theApp.m_fontBold.Handle() : theApp.m_fontNormal.Handle());
            return CDRF_NEWFONT;
        }
        default: return CDRF_DODEFAULT;
    }
}

void CDownloadDlg::OnDownloadStart(int item) {
    if (!m_rowStarted) {
        m_currentItem = item;
        SetRowText(item, IDS_DOWNLOAD_ROW_ACTIVE);
        ListView_EnsureVisible(GetDlgItem(m_hWnd, IDC_DOWNLOAD_LIST), item, FALSE);
        m_rowStarted = true;
    }
    OnDownloadProgress(0, item);
}

// Runs once per 1024-byte block: the bar and the status line change only when what they show does.
void CDownloadDlg::OnDownloadProgress(int64_t fileBytes, int item) {
    const int64_t itemSize = Record(item).m_size;
    if (itemSize > 0) {
        const int position =
            static_cast<int>(static_cast<float>(m_completedFilesBytes + fileBytes) / static_cast<float>(itemSize) * 100);
        // A hundred steps per item: the bar is told only when it moves.
        if (position != m_lastBarPosition) {
            m_lastBarPosition = position;
            SendDlgItemMessageW(m_hWnd, IDC_DOWNLOAD_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
        }
    }
    if (m_totalBytes <= 0) return;
    const int percent = static_cast<int>(
        static_cast<double>(m_completedItemsBytes + m_completedFilesBytes + fileBytes) * 100.0 / m_totalBytes);
    if (percent == m_lastPercent) return;
    m_lastPercent = percent;
    const int records = static_cast<int>(m_pDownloadList->size());
    SetDlgItemTextW(m_hWnd, IDC_DOWNLOAD_STATUS,
                    fw::Format(m_statusFormat.c_str(), records, m_totalSizeText.c_str(), percent).c_str());
}

void CDownloadDlg::OnDownloadFileDone(int64_t fileBytes, int item) {
    const int64_t itemSize = Record(item).m_size;
    m_completedFilesBytes += fileBytes;
    if (m_completedFilesBytes != itemSize) return;
    m_completedItemsBytes += itemSize;
    m_completedFilesBytes = 0;
    SetRowText(item, IDS_DOWNLOAD_ROW_DONE);
    if (item + 1 >= static_cast<int>(m_pDownloadList->size())) {
        m_currentItem = -1;
    } else {
        SetRowText(item + 1, IDS_DOWNLOAD_ROW_ACTIVE);
    }
    m_rowStarted = false;
    InvalidateRect(GetDlgItem(m_hWnd, IDC_DOWNLOAD_LIST), nullptr, FALSE);
}

bool CDownloadDlg::OnDownloadResult(int result) {
    if (result == DL_SUCCESS) return true;
    LOG_INFO(L"Start:CDownloadDlg::WindowProc");
    switch (result) {
        case DL_ERR_CONNECT:
            LOG_ERROR(L"Error:CDownloadDlg::WindowProc:Failed to connect to the server.");
            ShowMessageBox(m_hWnd, IDS_CAPTION, IDS_CONNECT_FAILED, MB_ICONHAND, OpenHelpContext, 0, 0);
            break;
        case DL_ERR_RETRY: {
            LOG_ERROR(L"Error:CDownloadDlg::WindowProc:Failed to connect to the server but need retry.");
            const int answer = ShowMessageBox(m_hWnd, IDS_CAPTION, IDS_COMMUNICATION_RETRY,
                                              MB_RETRYCANCEL | MB_ICONEXCLAMATION, OpenHelpContext, 0, 0);
            InterlockedExchange(&theApp.m_bDownloadRetry, answer == IDRETRY ? 1 : 0);
            break;
        }
        case DL_ERR_DISKFULL:
            LOG_ERROR(L"Error:CDownloadDlg::WindowProc:Ran out of disk.");
            ShowMessageBox(m_hWnd, IDS_CAPTION, IDS_DISK_SPACE, MB_ICONHAND, OpenHelpContext, 0, 0);
            break;
        case DL_ERR_FILE:
        case DL_ERR_SIZE:
            LOG_ERROR(L"Error:CDownloadDlg::WindowProc:Failed to download the file.");
            ShowMessageBox(m_hWnd, IDS_CAPTION, IDS_DOWNLOAD_FAILED, MB_ICONHAND, OpenHelpContext, 0, 0);
            break;
        default: break;
    }
    LOG_INFO(L"End  :CDownloadDlg::WindowProc");
    if (theApp.m_bDownloadRetry != 0) return true;
    ShowWindow(m_hWnd, SW_HIDE);
    theApp.m_nWizardStatus = 2;
    PostCloseToTop();
    return false;
}

void CDownloadDlg::OnDownloadFinish() {
    EnableWindow(GetDlgItem(m_hWnd, IDCANCEL), FALSE);
    ShowWindow(m_hWnd, SW_HIDE);
    if (!InstallDotNetBeforePackages(m_hWnd, m_pTopWnd->GetSafeHwnd())) return;
    theApp.m_pInstallDlg = new CInstallDlg(m_pTopWnd);
    theApp.m_pInstallDlg->SetInstallList(m_pDownloadList);
    CreateAndShow(*theApp.m_pInstallDlg);
}

void CDownloadDlg::OnCancel() {
    LOG_INFO(L"Start:CDownloadDlg::OnButtonCancel");
    InterlockedExchange(&m_bPauseDownload, 1);
    if (ConfirmCancel(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2)) {
        // The transfer stays paused: nothing more is fetched while the wizard closes.
        theApp.m_nWizardStatus = 2;
        ShowWindow(m_hWnd, SW_HIDE);
        PostCloseToTop();
    } else {
        InterlockedExchange(&m_bPauseDownload, 0);
    }
    LOG_INFO(L"End:CDownloadDlg::OnButtonCancel");
}

INT_PTR CDownloadDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom != IDC_DOWNLOAD_LIST || header->code != NM_CUSTOMDRAW) break;
            // A dialog answers a notification through its message result.
            SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
            handled = true;
            return TRUE;
        }
        case WM_DOWNLOAD_START: OnDownloadStart(static_cast<int>(lParam)); break;
        case WM_DOWNLOAD_PROGRESS: OnDownloadProgress(static_cast<int32_t>(wParam), static_cast<int>(lParam)); break;
        case WM_DOWNLOAD_FILEDONE: OnDownloadFileDone(static_cast<int32_t>(wParam), static_cast<int>(lParam)); break;
        case WM_DOWNLOAD_RESULT:
            if (!OnDownloadResult(static_cast<int>(wParam))) {
                handled = true;
                return TRUE;
            }
            break;
        case WM_DOWNLOAD_FINISH: OnDownloadFinish(); break;
        case WM_USER_VTINSTALL_CLOSE:
            theApp.m_nWizardStatus = 1;
            PostCloseToTop();
            break;
        default: break;
    }
    return CWizardPage::OnMessage(message, wParam, lParam, handled);
}
