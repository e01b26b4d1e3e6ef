// Completion page: everything is installed. Complete (or closing the page) goes on to the
// power-off page when configured, to the restart question when a restart is due, else ends the
// wizard.
#pragma once
#include "ui/WizardPage.h"

class CInstallCompletedDlg : public CWizardPage {
public:
    enum { IDD = 132 };
    explicit CInstallCompletedDlg(fw::CDialog* topPage) : CWizardPage(IDD, topPage) {}
    ~CInstallCompletedDlg() override { DestroyWindow(); }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnCommand(WORD id, WORD notifyCode, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void OnButtonCompleted();
};
