// Restart confirmation page.
#pragma once
#include "framework/Dialog.h"

class CRestartConfrimDlg : public fw::CDialog {
public:
    enum { IDD = 133 };
    CRestartConfrimDlg() : fw::CDialog(IDD) {}
};
