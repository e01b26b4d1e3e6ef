// Power-off information page (template 135, 6003 or 6004 by configuration).
#pragma once
#include "framework/Dialog.h"

class CPowerAutoOffDlg : public fw::CDialog {
public:
    enum { IDD = 135 };
    CPowerAutoOffDlg() : fw::CDialog(IDD) {}
};
