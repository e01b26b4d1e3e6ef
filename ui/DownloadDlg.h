// Download page.
#pragma once
#include "framework/Dialog.h"

class CDownloadDlg : public fw::CDialog {
public:
    enum { IDD = 129 };
    CDownloadDlg() : fw::CDialog(IDD) {}
};
