#include "support/Foreground.h"

#include "support/Log.h"

namespace {

const wchar_t PAGE_WINDOW_CLASS[] = L"Veltrona_VTInst_WindowClass";
const wchar_t DIALOG_BOX_CLASS[] = L"#32770";

// Another visible page of the program besides the calling one.
HWND FindOtherVisiblePage(HWND page) {
    HWND candidate = nullptr;
    while ((candidate = FindWindowExW(nullptr, candidate, PAGE_WINDOW_CLASS, nullptr)) != nullptr) {
        if (candidate != page && IsWindowVisible(candidate)) return candidate;
    }
    return nullptr;
}

}  // namespace

// The system lets only the thread that owns the foreground window hand it on, so this thread's
// input is attached to that thread for the moment of the switch.
BOOL BringWindowToForeground(HWND window) {
    const DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const BOOL attached = windowThread != 0 && foregroundThread != 0 && windowThread != foregroundThread &&
                          AttachThreadInput(windowThread, foregroundThread, TRUE);
    const BOOL result = SetForegroundWindow(window);
    // Briefly topmost: raises the window above others without keeping it there.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (attached) AttachThreadInput(windowThread, foregroundThread, FALSE);
    return result;
}

void SetForegroundEx(HWND page) {
    LOG_INFO(L"Start:CVTInstApp::SetForegroundEx");
    HWND otherPage = FindOtherVisiblePage(page);
    if (!otherPage) {
        BringWindowToForeground(page);
        LOG_INFO(L"End  :CVTInstApp::SetForegroundEx");
        return;
    }

    // A dialog box stays above the page it belongs to: that page comes last.
    HWND dialogBox = nullptr;
    while ((dialogBox = FindWindowExW(nullptr, dialogBox, DIALOG_BOX_CLASS, nullptr)) != nullptr) {
        HWND parent = GetParent(dialogBox);
        if (parent == page || parent == otherPage) {
            HWND first = parent == page ? otherPage : page;
            BringWindowToForeground(first);
            BringWindowToForeground(parent);
            PostMessageW(dialogBox, WM_SETFOCUS, 0, 0);
            LOG_INFO(L"End  :CVTInstApp::SetForegroundEx");
            return;
        }
    }

    BringWindowToForeground(page);
    BringWindowToForeground(otherPage);
    LOG_INFO(L"End  :CVTInstApp::SetForegroundEx");
}
