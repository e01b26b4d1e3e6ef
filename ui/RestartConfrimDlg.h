// Restart confirmation: "Restart now" registers what must run after the restart (the installer
// again with "-StartOS" when the family's tools are due, else the online-update program) and ends
// the wizard without the follow-up tools; "Restart later" and closing the page just end it. The
// installer never restarts Windows itself.
#pragma once
#include "ui/WizardPage.h"

class CRestartConfrimDlg : public CWizardPage {
public:
    enum { IDD = 133 };
    explicit CRestartConfrimDlg(fw::CDialog* topPage) : CWizardPage(IDD, topPage) {}
    ~CRestartConfrimDlg() override { DestroyWindow(); }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override { OnButtonRestart(); }
    void OnCancel() override { OnButtonNoRestart(); }
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void OnButtonRestart();
    void OnButtonNoRestart();
    void EndWizard();
};
