#include "tests/support/PageDriver.h"

#include <shlobj.h>

#include "tests/support/ScopedTempFolder.h"

namespace vttest {

namespace {

const wchar_t PAGE_CLASS[] = L"Veltrona_VTInst_WindowClass";
const DWORD POLL_MS = 50;

std::wstring WindowText(HWND window) {
    wchar_t text[8192] = {};
    // WM_GETTEXT is carried across processes, as GetWindowText's is not for other processes' controls.
    SendMessageTimeoutW(window, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

struct PageSearch {
    DWORD processId;
    int controlId;
    HWND found;
};

BOOL CALLBACK FindPage(HWND window, LPARAM parameter) {
    PageSearch* search = reinterpret_cast<PageSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->processId || !IsWindowVisible(window) || ClassOf(window) != PAGE_CLASS) return TRUE;
    if (!GetDlgItem(window, search->controlId)) return TRUE;
    search->found = window;
    return FALSE;
}

struct BrowserSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindBrowser(HWND window, LPARAM parameter) {
    BrowserSearch* search = reinterpret_cast<BrowserSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->processId || !IsWindowVisible(window) || ClassOf(window) != L"#32770") return TRUE;
    if (!GetDlgItem(window, 0x3741)) return TRUE;  // the browser's folder tree
    search->found = window;
    return FALSE;
}

// The path as a string in the other process, where the browser reads the message's pointer.
class RemoteText {
public:
    RemoteText(DWORD processId, const std::wstring& text) {
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
        if (!m_process) return;
        const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
        m_address = VirtualAllocEx(m_process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (m_address && !WriteProcessMemory(m_process, m_address, text.c_str(), bytes, nullptr)) m_address = nullptr;
    }
    ~RemoteText() {
        if (m_address) VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process) CloseHandle(m_process);
    }
    RemoteText(const RemoteText&) = delete;
    RemoteText& operator=(const RemoteText&) = delete;
    LPARAM Address() const { return reinterpret_cast<LPARAM>(m_address); }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
};

}  // namespace

void RegisterPageWindowClass() {
    WNDCLASSW pageClass = {};
    if (GetClassInfoW(GetModuleHandleW(nullptr), PAGE_CLASS, &pageClass)) return;
    GetClassInfoW(nullptr, L"#32770", &pageClass);
    // Global: templates loaded from the program's own image (the notice window's) find it too.
    pageClass.style |= CS_GLOBALCLASS;
    pageClass.hInstance = GetModuleHandleW(nullptr);
    pageClass.lpszClassName = PAGE_CLASS;
    RegisterClassW(&pageClass);
}

const PageControl* PageInfo::Control(int id) const {
    for (const PageControl& control : controls) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

PageInfo ReadPage(HWND page) {
    PageInfo info;
    info.window = page;
    info.caption = WindowText(page);
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        PageControl control;
        control.window = child;
        control.id = GetDlgCtrlID(child);
        control.className = ClassOf(child);
        control.text = WindowText(child);
        control.visible = IsWindowVisible(child) != FALSE;
        control.enabled = IsWindowEnabled(child) != FALSE;
        DWORD_PTR state = 0;
        if (control.className == L"Button" &&
            SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state))
            control.checked = state == BST_CHECKED;
        info.controls.push_back(control);
    }
    return info;
}

bool WaitForPage(DWORD processId, int controlId, DWORD timeoutMs, PageInfo& page) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PageSearch search = {processId, controlId, nullptr};
        EnumWindows(FindPage, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            page = ReadPage(search.found);
            return true;
        }
        if (GetTickCount64() >= deadline) return false;
        Sleep(POLL_MS);
    }
}

bool WaitForControlEnabled(HWND page, int controlId, bool enabled, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        HWND control = GetDlgItem(page, controlId);
        if (control && (IsWindowEnabled(control) != FALSE) == enabled) return true;
        if (!IsWindow(page) || GetTickCount64() >= deadline) return false;
        Sleep(POLL_MS);
    }
}

bool WaitForPageHidden(HWND page, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindow(page) && IsWindowVisible(page)) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(POLL_MS);
    }
    return true;
}

bool ClickControl(HWND page, int controlId) {
    HWND control = GetDlgItem(page, controlId);
    if (!control) return false;
    return PostMessageW(page, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(control)) != 0;
}

void ClosePage(HWND page) { PostMessageW(page, WM_CLOSE, 0, 0); }

bool ChooseFolderInBrowser(DWORD processId, const std::wstring& folder, DWORD timeoutMs, bool* okEnabled) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    BrowserSearch search = {processId, nullptr};
    while (!search.found) {
        EnumWindows(FindBrowser, reinterpret_cast<LPARAM>(&search));
        if (search.found) break;
        if (GetTickCount64() >= deadline) return false;
        Sleep(POLL_MS);
    }
    RemoteText path(processId, folder);
    if (!path.Address()) return false;
    // The first selection of a folder that no earlier process selected can be lost: select twice.
    for (int attempt = 0; attempt < 2; ++attempt) {
        SendMessageTimeoutW(search.found, BFFM_SETSELECTIONW, TRUE, path.Address(), SMTO_ABORTIFHUNG, 5000, nullptr);
        Sleep(200);
    }
    HWND ok = GetDlgItem(search.found, IDOK);
    const bool enabled = ok && IsWindowEnabled(ok);
    if (okEnabled) *okEnabled = enabled;
    if (!enabled) {
        PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return false;
    }
    PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    return true;
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window && !GetWindowRect(window, &area)) return false;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const DWORD rowSize = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    std::string pixels(static_cast<size_t>(rowSize) * static_cast<size_t>(height), '\0');
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), &pixels[0], reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes += pixels;
    WriteTextFile(path, bytes);
    return true;
}

}  // namespace vttest
