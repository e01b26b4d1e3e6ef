#include "ui/WizardPage.h"

#include "StringIds.h"
#include "app/VTInst.h"
#include "framework/AppBase.h"
#include "resource.h"
#include "support/Foreground.h"
#include "support/MessageBox.h"
#include "ui/WizardMessages.h"

RECT CWizardPage::ControlRect(HWND page, HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

CWizardPage::CWizardPage(UINT templateId, fw::CDialog* topPage)
    : fw::CDialog(templateId), m_pTopWnd(topPage ? topPage : this) {
    m_hIcon = LoadIconW(fw::GetResourceModule(), MAKEINTRESOURCEW(IDI_APP));
}

void CWizardPage::InitializePage() {
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(theApp.m_fontNormal.Handle()), TRUE);
}

BOOL CWizardPage::ConfirmCancel(UINT style) {
    return ShowMessageBox(m_hWnd, IDS_CAPTION_ALT, IDS_CANCEL_CONFIRM, style, OpenHelpContext, 0, 0) == IDYES;
}

void CWizardPage::PostCloseToTop() { PostMessageW(m_pTopWnd->GetSafeHwnd(), WM_USER_VTINSTALL_CLOSE, 0, 0); }

void CWizardPage::CreateAndShow(fw::CDialog& page) {
    if (page.Create(nullptr)) ShowWindow(page.GetSafeHwnd(), SW_SHOW);
}

void CWizardPage::ReturnTo(fw::CDialog* previousPage) {
    ShowWindow(m_hWnd, SW_HIDE);
    if (!previousPage || !previousPage->GetSafeHwnd()) return;
    BringWindowToForeground(previousPage->GetSafeHwnd());
    ShowWindow(previousPage->GetSafeHwnd(), SW_SHOW);
}

bool CWizardPage::LayoutRuleApplies(std::initializer_list<LANGID> languages) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    if (dpi < 97 || dpi > 120 || theApp.m_strOSVersion == L"5.1") return false;
    const LANGID language = GetUserDefaultLangID();
    for (LANGID listed : languages) {
        if (listed == language) return true;
    }
    return false;
}

void CWizardPage::GrowControl(int id, int right, int bottom) {
    HWND control = GetDlgItem(m_hWnd, id);
    if (!control) return;
    const RECT rect = ControlRect(m_hWnd, control);
    MoveWindow(control, rect.left, rect.top, rect.right - rect.left + right, rect.bottom - rect.top + bottom, TRUE);
}

void CWizardPage::MoveControl(int id, int dx, int dy) {
    HWND control = GetDlgItem(m_hWnd, id);
    if (!control) return;
    const RECT rect = ControlRect(m_hWnd, control);
    MoveWindow(control, rect.left + dx, rect.top + dy, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

INT_PTR CWizardPage::OnMessage(UINT message, WPARAM, LPARAM, bool& handled) {
    if (message == WM_USER_FOREGROUND) SetForegroundEx(m_hWnd);
    handled = false;
    return 0;
}
