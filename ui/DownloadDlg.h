// Download page: the packages of the update list, a progress bar for the package being fetched and
// the overall status line. It runs the download thread, answers its messages, asks whether to
// retry on network trouble, and when everything is fetched runs the .NET step and opens the
// install page.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>

#include "catalogue/UpdateInfo.h"
#include "framework/Thread.h"
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
    // The download thread has not ended (after a confirmed cancel it waits, paused, for the process
    // to end, and keeps reading this page).
    bool IsDownloadThreadRunning() const { return m_downloadThread && !m_downloadThread->Wait(0); }

    // 1 while the cancel question is open: the transfer neither reads on nor reports. Written on the
    // page's thread, polled by the download thread once per block.
    volatile LONG m_bPauseDownload = 0;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;  // Cancel, Esc and the window's close button
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // The thread this page starts (the tests' pages run the transfers themselves).
    virtual void StartDownloadThread();

private:
    void FillList();
    void SetRowText(int row, UINT formatId);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    void OnDownloadStart(int item);
    void OnDownloadProgress(int64_t fileBytes, int item);
    void OnDownloadFileDone(int64_t fileBytes, int item);
    // FALSE when the result ended the wizard (the message is not passed on then).
    bool OnDownloadResult(int result);
    void OnDownloadFinish();
    const CUpdateInfo& Record(int item) const;

    std::unique_ptr<fw::CWinThread> m_downloadThread;
    int64_t m_totalBytes = 0;
    int64_t m_completedItemsBytes = 0;
    int64_t m_completedFilesBytes = 0;
    int64_t m_totalDisplaySize = 0;
    std::wstring m_totalSizeText;
    int m_lastPercent = 0;
    int m_lastBarPosition = -1;
    bool m_rowStarted = false;
    int m_currentItem = -1;
    std::wstring m_statusFormat;
};
