#include "ui/DownloadDlg.h"

#include "StringIds.h"
#include "app/VTInst.h"
#include "framework/StringFormat.h"
#include "resource.h"
#include "support/Language.h"
#include "support/Log.h"
#include "ui/WizardMessages.h"

namespace {

const int STRING_CAPACITY = 260;
const int VISIBLE_ROWS = 5;

}  // namespace

CDownloadDlg::CDownloadDlg(fw::CDialog* topPage) : CWizardPage(IDD, topPage) {}

CDownloadDlg::~CDownloadDlg() {
    DestroyWindow();
    if (m_rowHeightImages) ImageList_Destroy(m_rowHeightImages);
}

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

BOOL CDownloadDlg::OnInitDialog() {
    LOG_INFO(L"Start:CDownloadDlg::OnInitDialog");
    InitializePage();
    FillList();
    SendDlgItemMessageW(m_hWnd, IDC_DOWNLOAD_PROGRESS, PBM_SETRANGE32, 0, 100);
    CenterWindow();
    SetForegroundWindow(m_hWnd);
    LOG_INFO(L"End:CDownloadDlg::OnInitDialog");
    return TRUE;
}

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
    m_rowHeightImages = ImageList_Create(1, 17, 0, 10, 10);
    ListView_SetImageList(list, m_rowHeightImages, LVSIL_SMALL);

    wchar_t rowFormat[STRING_CAPACITY] = {};
    LoadResourceString(rowFormat, STRING_CAPACITY, IDS_DOWNLOAD_ROW);
    const int rows = m_pDownloadList ? static_cast<int>(m_pDownloadList->size()) : 0;
    for (int row = 0; row < rows; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(L"");
        ListView_InsertItem(list, &item);
        std::wstring text = fw::Format(rowFormat, (*m_pDownloadList)[static_cast<size_t>(row)].m_title.c_str());
        ListView_SetItemText(list, row, 1, &text[0]);
    }
    ListView_SetColumnWidth(list, 1, LVSCW_AUTOSIZE_USEHEADER);

    RECT rowRect = {};
    if (rows > 0 && ListView_GetItemRect(list, 0, &rowRect, LVIR_BOUNDS)) {
        RECT listRect = {};
        GetWindowRect(list, &listRect);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&listRect), 2);
        MoveWindow(list, listRect.left, listRect.top, listRect.right - listRect.left,
                   VISIBLE_ROWS * (rowRect.bottom - rowRect.top + 1), TRUE);
    }
}

void CDownloadDlg::OnCancel() {
    LOG_INFO(L"Start:CDownloadDlg::OnButtonCancel");
    if (ConfirmCancel(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2)) {
        theApp.m_nWizardStatus = 2;
        ShowWindow(m_hWnd, SW_HIDE);
        PostCloseToTop();
    }
    LOG_INFO(L"End:CDownloadDlg::OnButtonCancel");
}

INT_PTR CDownloadDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_USER_VTINSTALL_CLOSE) {
        theApp.m_nWizardStatus = 1;
        PostCloseToTop();
    }
    return CWizardPage::OnMessage(message, wParam, lParam, handled);
}
