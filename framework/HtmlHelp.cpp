#include "framework/HtmlHelp.h"

#include "framework/SystemLibrary.h"

namespace fw {

HWND ShowHtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) {
    typedef HWND(WINAPI * HtmlHelpFunction)(HWND, LPCWSTR, UINT, DWORD_PTR);
    // Loaded once and kept: the viewer's windows live on in it after the call returns.
    static const HtmlHelpFunction htmlHelp = [] {
        HMODULE viewer = LoadSystemLibrary(L"hhctrl.ocx");
        return viewer ? reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(viewer, "HtmlHelpW")))
                      : nullptr;
    }();
    return htmlHelp ? htmlHelp(caller, file, command, data) : nullptr;
}

}  // namespace fw
