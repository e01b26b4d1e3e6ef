// Contents review page.
#pragma once
#include "framework/Dialog.h"

class CContentConfirmDlg : public fw::CDialog {
public:
    enum { IDD = 134 };
    CContentConfirmDlg() : fw::CDialog(IDD) {}
};
