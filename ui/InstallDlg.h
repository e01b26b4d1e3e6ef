// Install page: a small progress window at the bottom right of the work area while the packages
// are installed; the user cannot close it. This stage shows the window; the install thread that
// drives it comes with the installation engine.
#pragma once
#include <memory>
#include <string>

#include "catalogue/UpdateInfo.h"
#include "ui/WizardPage.h"

class CInstallDlg : public CWizardPage {
public:
    enum { IDD = 6002 };
    explicit CInstallDlg(fw::CDialog* topPage = nullptr) : CWizardPage(IDD, topPage) {}

    // Takes the download page's list by reference; the list stays with its owner.
    void SetInstallList(CUpdateInfoList* list);
    // Rebuilds the install list in install order, makes it the page's own list (kept until the
    // page is destroyed) and returns it.
    CUpdateInfoList* SortInstallList();
    // Appends to list a copy of the first record of the current install list with that ID.
    void GetSubRelation(const std::wstring& id, CUpdateInfoList* list);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    CUpdateInfoList* m_pInstallList = nullptr;
    std::unique_ptr<CUpdateInfoList> m_ownInstallList;
};
