// License page.
#pragma once
#include "framework/Dialog.h"

class CLicenseDlg : public fw::CDialog {
public:
    enum { IDD = 130 };
    CLicenseDlg() : fw::CDialog(IDD) {}
};
