// Install page: a small progress window at the bottom right of the work area while the install
// thread installs the packages. The user cannot close it. It explains every failed package, and
// when all are done runs the last .NET step and opens the page that ends the wizard.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "catalogue/UpdateInfo.h"
#include "framework/Thread.h"
#include "ui/WizardPage.h"

class CInstallCompletedDlg;

class CInstallDlg : public CWizardPage {
public:
    enum { IDD = 6002 };
    explicit CInstallDlg(fw::CDialog* topPage = nullptr);
    ~CInstallDlg() override;

    // Takes the download page's list by reference; the list stays with its owner.
    void SetInstallList(CUpdateInfoList* list);
    // Rebuilds the install list in install order, makes it the page's own list (kept until the
    // page is destroyed) and returns it.
    CUpdateInfoList* SortInstallList();
    // Appends to list a copy of the first record of the current install list with that ID.
    void GetSubRelation(const std::wstring& id, CUpdateInfoList* list);
    // The list the page installs: the handed-over one until the thread sorted it, then its own.
    CUpdateInfoList* GetInstallList() const { return m_pInstallList; }
    // TRUE when an installed package waits for a restart (its marker) or a program asked for one.
    BOOL CheckInstallReboot();

    // 1 while the install thread reports a response file it could not rewrite.
    volatile LONG m_bIssWriteFailed = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // The thread this page starts (a test's page may run the installs itself).
    virtual void StartInstallThread();

private:
    void ShowProgress(int packageNumber);
    void OnInstallFailed(int packageIndex, int recordIndex);
    void OnInstallFinish();

    CUpdateInfoList* m_pInstallList = nullptr;
    std::unique_ptr<CUpdateInfoList> m_ownInstallList;
    std::unique_ptr<fw::CWinThread> m_installThread;
    std::unique_ptr<CInstallCompletedDlg> m_pCompletedDlg;
    std::wstring m_progressFormat;
    int m_totalPackages = 0;
};
