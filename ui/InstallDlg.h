// Install page.
#pragma once
#include <memory>
#include <string>

#include "catalogue/UpdateInfo.h"
#include "framework/Dialog.h"

class CInstallDlg : public fw::CDialog {
public:
    enum { IDD = 6002 };
    CInstallDlg() : fw::CDialog(IDD) {}

    // Takes the download page's list by reference; the list stays with its owner.
    void SetInstallList(CUpdateInfoList* list);
    // Rebuilds the install list in install order, makes it the page's own list (kept until the
    // page is destroyed) and returns it.
    CUpdateInfoList* SortInstallList();
    // Appends to list a copy of the first record of the current install list with that ID.
    void GetSubRelation(const std::wstring& id, CUpdateInfoList* list);

private:
    CUpdateInfoList* m_pInstallList = nullptr;
    std::unique_ptr<CUpdateInfoList> m_ownInstallList;
};
