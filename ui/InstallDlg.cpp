#include "ui/InstallDlg.h"

#include "support/Log.h"

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
