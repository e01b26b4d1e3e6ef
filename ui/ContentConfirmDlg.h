// Contents review page: a plain-text summary of what will be installed and where; Next starts
// the download page.
#pragma once
#include <string>

#include "ui/WizardPage.h"

class CContentConfirmDlg : public CWizardPage {
public:
    enum { IDD = 134 };
    explicit CContentConfirmDlg(fw::CDialog* topPage);

    void SetPrevPage(fw::CDialog* page) { m_pPrevPage = page; }
    // The "Current Settings:" text for the list, lines ending in "\r\n".
    static std::wstring BuildSettingsText(const CUpdateInfoList& list);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD notifyCode, HWND control) override;
    void OnCancel() override;  // Esc and the window's close button

private:
    void OnBnClickedButtonContentNext();
    void OnBnClickedButtonContentBack();
    void OnBnClickedButtonContentCancel();

    fw::CDialog* m_pPrevPage = nullptr;
};
