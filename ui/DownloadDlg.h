// Download page: the packages of the update list, a progress bar and the overall status line.
// This stage lists the packages and can be cancelled; the transfer itself comes with the download
// thread.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "catalogue/UpdateInfo.h"
#include "ui/WizardPage.h"

class CDownloadDlg : public CWizardPage {
public:
    enum { IDD = 129 };
    explicit CDownloadDlg(fw::CDialog* topPage = nullptr);
    ~CDownloadDlg() override;

    // The update list the page downloads: the application's list, handed on by pointer and never
    // copied, so the download thread's paths land in the list every later page reads.
    void SetDownloadList(CUpdateInfoList* list);
    CUpdateInfoList* GetDownloadList();

    // 1 while the cancel question is open: the transfer neither reads on nor reports. Written on the
    // page's thread, polled by the download thread once per block.
    volatile LONG m_bPauseDownload = 0;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;  // Cancel, Esc and the window's close button
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void FillList();

    HIMAGELIST m_rowHeightImages = nullptr;
};
