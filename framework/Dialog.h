// Dialog windows from templates, modal or modeless, with virtual message dispatch.
//
// Modal dialogs run their own message loop so that modeless dialogs created on the same thread
// (the installer's pages hand over to each other that way) get keyboard navigation too.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

class CDialog {
public:
    explicit CDialog(UINT templateId);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog until EndDialog; returns its result (-1 when the window cannot be created).
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates the dialog modeless; TRUE when the window exists.
    BOOL Create(HWND parent = nullptr);
    BOOL DestroyWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    UINT TemplateId() const { return m_templateId; }
    // Ends a modal loop with the result, or hides a modeless dialog.
    void EndDialog(INT_PTR result);

    // Moves values between the controls and the members (DoDataExchange): from the controls when
    // saveAndValidate is TRUE, into them otherwise.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // Centres the window on its owner, or on the work area when it has none.
    void CenterWindow();

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void DoDataExchange(bool saveAndValidate) {}
    // A control's text and a string member, in the direction DoDataExchange was asked for.
    void ExchangeText(int controlId, std::wstring& value, bool saveAndValidate);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Commands other than IDOK / IDCANCEL; TRUE when handled.
    virtual BOOL OnCommand(WORD id, WORD notifyCode, HWND control) { return FALSE; }
    // Any message before the default handling; set handled to claim it (result is the dialog
    // procedure's result).
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
        return 0;
    }

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    bool m_inModalLoop = false;
    bool m_endModal = false;
    INT_PTR m_modalResult = -1;
};

// Pumps one thread message through the dialog handling of whichever dialog owns it.
BOOL PumpDialogMessage(const MSG& message);

}  // namespace fw
