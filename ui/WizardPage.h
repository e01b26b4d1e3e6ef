// What every page of the installer's wizard shares: the icon, the dialog font on every control,
// placement, the cancel question, the close message to the top page, the foreground message and
// the layout adjustments for translated texts.
#pragma once
#include <windows.h>

#include <initializer_list>

#include "catalogue/UpdateInfo.h"
#include "framework/Dialog.h"

class CWizardPage : public fw::CDialog {
public:
    // topPage: the page whose modal loop serves the wizard; null for the top page itself.
    CWizardPage(UINT templateId, fw::CDialog* topPage);

    // The update list, owned by the application and handed from page to page by pointer.
    void SetDownloadList(CUpdateInfoList* list) { m_pDownloadList = list; }

protected:
    // Icon big and small, then the normal dialog font on every child window.
    void InitializePage();
    // "Do you want to cancel the installation?"; TRUE when the user answered Yes.
    BOOL ConfirmCancel(UINT style);
    // Ends the wizard: the close message is always posted to the top page.
    void PostCloseToTop();
    // Shows a page made by this one (created modeless from its template, without parent).
    static void CreateAndShow(fw::CDialog& page);
    // Hides this page and shows the previous one again, as it was left.
    void ReturnTo(fw::CDialog* previousPage);

    // Layout adjustment rows: they apply at 97 to 120 dpi, outside Windows XP ("5.1"), for the
    // listed languages.
    static bool LayoutRuleApplies(std::initializer_list<LANGID> languages);
    void GrowControl(int id, int right, int bottom);
    // A control's rectangle in its page's client coordinates.
    static RECT ControlRect(HWND page, HWND control);
    void MoveControl(int id, int dx, int dy);

    // WM_USER_FOREGROUND: the page brings the wizard to the front, then the default handling.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    fw::CDialog* m_pTopWnd;
    CUpdateInfoList* m_pDownloadList = nullptr;

private:
    HICON m_hIcon;
};
