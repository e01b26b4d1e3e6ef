// Drives VTInst.exe for the demo: starts it with a private temporary folder, and for every message
// box it shows prints what the box says, saves a screenshot and presses the box's first button.
// Usage: demo_driver.exe <VTInst.exe> <temp folder> <screenshot folder> [arguments for VTInst.exe]
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/support/ChildProcess.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ScopedTempFolder.h"

namespace {

// The whole screen as a 24-bit BMP file.
bool SaveScreen(const std::wstring& path) {
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const DWORD rowSize = ((width * 3 + 3) / 4) * 4;
    std::string pixels(rowSize * height, '\0');
    GetDIBits(memory, bitmap, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
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
    vttest::WriteTextFile(path, bytes);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: demo_driver <VTInst.exe> <temp folder> <screenshot folder> [arguments]\n");
        return 2;
    }
    const std::wstring program = argv[1];
    const std::wstring temp = argv[2];
    const std::wstring shots = argv[3];
    const std::wstring arguments = argc > 4 ? argv[4] : L"";
    const std::wstring folder = program.substr(0, program.find_last_of(L'\\'));

    vttest::ChildProcess installer;
    if (!installer.Start(program, arguments, folder, {{L"TMP", temp}, {L"TEMP", temp}})) {
        fprintf(stderr, "cannot start %ls (error %lu)\n", program.c_str(), GetLastError());
        return 2;
    }
    int boxes = 0;
    DWORD exitCode = 0;
    while (!installer.Wait(0, &exitCode)) {
        vttest::MessageBoxInfo box;
        if (!vttest::WaitForMessageBox(vttest::MessageBoxFilter{L"", installer.Id()}, 250, box)) continue;
        ++boxes;
        Sleep(300);  // let the box paint before the screenshot
        wchar_t name[32];
        swprintf(name, 32, L"\\box-%d.bmp", boxes);
        SaveScreen(shots + name);
        std::string text = vttest::Narrow(box.text);
        for (char& c : text)
            if (c == '\n') c = ' ';
        printf("message box %d: [%s] %s\n", boxes, vttest::Narrow(box.caption).c_str(), text.c_str());
        if (box.buttons.empty()) continue;
        printf("  pressing \"%s\"\n", vttest::Narrow(box.buttons.front().text).c_str());
        fflush(stdout);
        vttest::PressMessageBoxButton(box.window, box.buttons.front().id);
        vttest::WaitForWindowClosed(box.window, 5000);
    }
    printf("VTInst.exe ended with exit code %lu after %d message box(es)\n", exitCode, boxes);
    return 0;
}
