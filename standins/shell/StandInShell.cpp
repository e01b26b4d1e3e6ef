// Stand-in for the desktop shell: a window registered as the shell window of the session, so that
// programs started "as the desktop's user" (through the shell process's token) can be started where
// no real desktop shell runs, as under Wine. It stays until its window is closed (WM_CLOSE) or the
// time limit given as its argument (seconds, default 600) runs out.
// Usage: VtStandInShell.exe [seconds]
#include <windows.h>

#include <cwchar>

namespace {

const wchar_t kClass[] = L"VtStandInShellWindow";
const UINT_PTR kLimitTimer = 1;

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    const long seconds = *commandLine ? wcstol(commandLine, nullptr, 10) : 600;

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ShellWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClass;
    if (!RegisterClassW(&windowClass)) return 1;
    // Hidden and not topmost: a topmost window is refused as the shell window.
    HWND window = CreateWindowExW(0, kClass, L"Stand-in desktop shell", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, instance, nullptr);
    if (!window) return 2;
    typedef BOOL(WINAPI * SetShellWindowFunction)(HWND);
    const auto setShellWindow = reinterpret_cast<SetShellWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetShellWindow")));
    if (!setShellWindow || !setShellWindow(window)) {
        DestroyWindow(window);
        return 3;  // another shell window is set already
    }
    SetTimer(window, kLimitTimer, static_cast<UINT>(seconds > 0 ? seconds : 600) * 1000u, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
