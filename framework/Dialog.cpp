#include "framework/Dialog.h"
#include "framework/AppBase.h"

namespace fw {

CDialog::CDialog(UINT templateId) : m_templateId(templateId) {}

CDialog::~CDialog() { DestroyWindow(); }

BOOL CDialog::Create(HWND parent) {
    if (m_hWnd) return TRUE;
    HWND window = CreateDialogParamW(GetResourceModule(), MAKEINTRESOURCEW(m_templateId), parent, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

INT_PTR CDialog::DoModal(HWND parent) {
    if (!Create(parent)) return -1;
    // As the system's modal dialogs: shown once initialised, whatever the template's style.
    ShowWindow(m_hWnd, SW_SHOW);
    const bool parentWasEnabled = parent && IsWindowEnabled(parent);
    if (parentWasEnabled) EnableWindow(parent, FALSE);

    m_inModalLoop = true;
    m_endModal = false;
    MSG message;
    while (!m_endModal) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {  // WM_QUIT: hand it back to the outer loop
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) break;
        if (!PumpDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    m_inModalLoop = false;

    if (parentWasEnabled) EnableWindow(parent, TRUE);
    DestroyWindow();
    return m_modalResult;
}

void CDialog::EndDialog(INT_PTR result) {
    m_modalResult = result;
    if (m_inModalLoop) {
        m_endModal = true;
        // Wake the loop even when no other message is pending.
        if (m_hWnd) PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ShowWindow(m_hWnd, SW_HIDE);
    }
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (!m_hWnd) return FALSE;
    DoDataExchange(saveAndValidate != FALSE);
    return TRUE;
}

void CDialog::ExchangeText(int controlId, std::wstring& value, bool saveAndValidate) {
    HWND control = GetDlgItem(m_hWnd, controlId);
    if (!control) return;
    if (!saveAndValidate) {
        SetWindowTextW(control, value.c_str());
        return;
    }
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, &text[0], length + 1)));
    value = text;
}

void CDialog::CenterWindow() {
    if (!m_hWnd) return;
    RECT area = {};
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(m_hWnd, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialog::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    HWND window = m_hWnd;
    BOOL destroyed = ::DestroyWindow(window);
    m_hWnd = nullptr;
    return destroyed;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        dialog->m_hWnd = window;
    } else {
        dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!dialog) return FALSE;
    INT_PTR result = dialog->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
    }
    return result;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    INT_PTR result = OnMessage(message, wParam, lParam, handled);
    if (handled) return result;
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND: {
            WORD id = LOWORD(wParam);
            if (OnCommand(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return TRUE;
            if (id == IDOK) { OnOK(); return TRUE; }
            if (id == IDCANCEL) { OnCancel(); return TRUE; }
            if (id == ID_HELP_COMMAND) {
                if (CAppBase* app = CAppBase::Current()) app->OnHelp();
                return TRUE;
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

BOOL PumpDialogMessage(const MSG& message) {
    if (!message.hwnd) return FALSE;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (!root) return FALSE;
    // Dialog windows (the standard dialog class and copies of it) take the dialog keyboard handling.
    if (GetClassLongPtrW(root, GCL_CBWNDEXTRA) < DLGWINDOWEXTRA) return FALSE;
    return IsDialogMessageW(root, const_cast<MSG*>(&message));
}

}  // namespace fw
