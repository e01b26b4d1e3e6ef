// Install page.
#pragma once
#include "framework/Dialog.h"

class CInstallDlg : public fw::CDialog {
public:
    enum { IDD = 6002 };
    CInstallDlg() : fw::CDialog(IDD) {}
};
