// Destination folder page.
#pragma once
#include "framework/Dialog.h"

class CInstallDestFolderDlg : public fw::CDialog {
public:
    enum { IDD = 139 };
    CInstallDestFolderDlg() : fw::CDialog(IDD) {}
};
