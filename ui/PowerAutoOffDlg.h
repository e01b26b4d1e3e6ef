// Power-off information page: how the scanner turns itself off and on again. One class for the
// three templates (135, 6003, 6004) the configuration chooses from. Next goes on to the restart
// question when a restart is due, else ends the wizard.
#pragma once
#include "ui/WizardPage.h"

class CPowerAutoOffDlg : public CWizardPage {
public:
    CPowerAutoOffDlg(fw::CDialog* topPage, UINT templateId) : CWizardPage(templateId, topPage) {}
    ~CPowerAutoOffDlg() override { DestroyWindow(); }

    // The page that opened this one; kept for reference only.
    void SetPreviousPage(fw::CDialog* page) { m_pPreviousPage = page; }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnCommand(WORD id, WORD notifyCode, HWND control) override;

private:
    void OnBnClickedButtonContentNext();
    void AdjustLayout();

    fw::CDialog* m_pPreviousPage = nullptr;
};
