// Notice shown at the bottom right of the work area while the system's proxy credential dialog is
// open, so the user knows why the dialog appeared.
#pragma once
#include <windows.h>

#include "framework/Dialog.h"

class CNotifyDlg : public fw::CDialog {
public:
    enum { IDD = 137 };
    CNotifyDlg();

protected:
    BOOL OnInitDialog() override;

private:
    HICON m_hIcon;
};
