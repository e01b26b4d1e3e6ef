#include "support/MessageBox.h"

#include <htmlhelp.h>

#include <cstdarg>
#include <string>

#include "framework/AppBase.h"
#include "framework/HtmlHelp.h"
#include "framework/StringFormat.h"
#include "support/Foreground.h"
#include "support/Language.h"

namespace {

const int CAPTION_CAPACITY = 260;
const int TEXT_CAPACITY = 1024;

// Raises the box as soon as it exists, before it is shown. CallNextHookEx ignores its hook handle,
// so the procedure needs no shared state and nested boxes each keep their own hook.
LRESULT CALLBACK BringDialogToForeground(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message && message->message == WM_INITDIALOG) BringWindowToForeground(message->hwnd);
    }
    CallNextHookEx(nullptr, code, wParam, lParam);
    return 0;
}

}  // namespace

int ShowMessageBox(HWND owner, UINT captionId, UINT textId, UINT style, MSGBOXCALLBACK helpCallback,
                   DWORD helpContextId, int reserved, ...) {
    HINSTANCE resources = fw::GetResourceModule();
    wchar_t caption[CAPTION_CAPACITY] = {};
    wchar_t format[TEXT_CAPACITY] = {};
    LoadStringW(resources, captionId, caption, CAPTION_CAPACITY);
    LoadStringW(resources, textId, format, TEXT_CAPACITY);

    va_list values;
    va_start(values, reserved);
    const std::wstring text = fw::FormatV(format, values);
    va_end(values);

    MSGBOXPARAMSW params = {};
    params.cbSize = sizeof(params);
    params.hwndOwner = owner;
    params.hInstance = GetModuleHandleW(nullptr);
    params.lpszText = text.c_str();
    params.lpszCaption = caption;
    params.dwStyle = style | MB_SETFOREGROUND | (helpContextId != 0 ? MB_HELP : 0);
    params.lpszIcon = nullptr;
    params.dwContextHelpId = helpContextId;
    params.lpfnMsgBoxCallback = helpCallback;
    params.dwLanguageId = GetMappedLanguageId();

    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, BringDialogToForeground, nullptr, GetCurrentThreadId());
    const int result = MessageBoxIndirectW(&params);
    if (hook) UnhookWindowsHookEx(hook);
    return result;
}

void CALLBACK OpenHelpContext(LPHELPINFO helpInfo) {
    fw::CAppBase* app = fw::CAppBase::Current();
    if (!helpInfo || !app || !app->m_pszHelpFilePath || !*app->m_pszHelpFilePath) return;
    fw::ShowHtmlHelp(nullptr, app->m_pszHelpFilePath, HH_HELP_CONTEXT, static_cast<DWORD_PTR>(helpInfo->dwContextId));
}
