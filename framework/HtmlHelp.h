// The platform's help viewer, whose library is loaded from the system folder on first use.
#pragma once
#include <windows.h>

namespace fw {

// As the viewer's HtmlHelpW; NULL when the viewer is not available.
HWND ShowHtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data);

}  // namespace fw
