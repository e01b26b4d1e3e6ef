#include "ui/DownloadDlg.h"

#include "support/Log.h"

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
