// Destination folder page: the first, modal page when a new installation needs a folder. The user
// keeps or changes the install folder; it must be writable and its disk must have room.
#pragma once
#include <shlobj.h>

#include <string>

#include "ui/WizardPage.h"

class CInstallDestFolderDlg : public CWizardPage {
public:
    enum { IDD = 139 };
    CInstallDestFolderDlg();

    void SetDefaultInstallPath();
    // TRUE when a file can be created in the folder (a probe that deletes itself on close).
    static BOOL IsFolderRW(const std::wstring& folder);
    // The folder browser's callback: selects the start folder, and keeps OK disabled for
    // selections the installer cannot use.
    static int CALLBACK BrowseCBProc(HWND browser, UINT message, LPARAM parameter, LPARAM data);

    std::wstring m_strFolder;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    BOOL OnCommand(WORD id, WORD notifyCode, HWND control) override;
    void OnCancel() override;  // Esc and the window's close button
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void OnBnClickedButtonFolderNext();
    void OnBnClickedButtonFolderBack();
    void OnBnClickedButtonFolderCancel();
    void OnBnClickedButtonFolderReference();
    void CloseFolderWindow();
    void VTInstallClose();
};
