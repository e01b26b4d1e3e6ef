// License page: the license agreement as rich text, fetched from the server once per run, accepted
// or declined, printed on request. Top page when there is no destination folder page.
#pragma once
#include <memory>
#include <string>

#include "framework/Thread.h"
#include "ui/WizardPage.h"

class CLicenseDlg : public CWizardPage {
public:
    enum { IDD = 130 };
    // parent: the folder page when there is one (it is then the top page), else null.
    explicit CLicenseDlg(fw::CDialog* parent);

    void SetPrevPage(fw::CDialog* page) { m_pPrevPage = page; }

    // Fetches the text (when download is TRUE) and shows it: 0, the download's result (1 or 3), or
    // 4 when the local file cannot be read.
    int UpdateLicense(BOOL download);
    // The hidden copy that is printed; FALSE when the file cannot be read.
    BOOL ReadRtfToPrintCtrl(const std::wstring& path);
    // Prints the rich-edit control's text on the printer: 1 when the document was printed.
    static int PrintRTF(HWND printControl, HDC printer);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD notifyCode, HWND control) override;
    void OnCancel() override;  // Cancel, Esc and the window's close button
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void OnlineUpdateClose();
    void OnButtonNext();
    void OnButtonPrev();
    void OnButtonCancel();
    void DoPrint();
    void VTInstallClose();
    void SetAccepted(bool accepted);
    void EnableControls(BOOL enable);
    // Shows the failure, ends the wizard.
    void FailLoading(const wchar_t* logLine, UINT messageId);

    fw::CDialog* m_pPrevPage = nullptr;
    std::unique_ptr<fw::CWinThread> m_loader;
};
