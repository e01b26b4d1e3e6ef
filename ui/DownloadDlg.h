// Download page.
#pragma once
#include "catalogue/UpdateInfo.h"
#include "framework/Dialog.h"

class CDownloadDlg : public fw::CDialog {
public:
    enum { IDD = 129 };
    CDownloadDlg() : fw::CDialog(IDD) {}

    // The update list the page downloads: the application's list, handed on by pointer and never
    // copied, so the download thread's paths land in the list every later page reads.
    void SetDownloadList(CUpdateInfoList* list);
    CUpdateInfoList* GetDownloadList();

private:
    CUpdateInfoList* m_pDownloadList = nullptr;
};
