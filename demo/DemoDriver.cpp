// Drives VTInst.exe for the demo: starts it with a private temporary folder and walks it as a user
// would. Every message box is printed, photographed and answered with its first button; every
// wizard page is printed, photographed and moved on (the license accepted, the restart question
// answered "later"). The download and install pages are photographed while they work. Before the
// run it takes out what an earlier demo installed (the family's registry values, and the msi package
// named by VTINST_DEMO_MSI), registers the online-update program of VTINST_DEMO_UPDATER as installed
// earlier, and starts the stand-in desktop shell, through whose token the family's tools start;
// afterwards it lists what the run installed and where, and which follow-up programs it started.
// Usage: demo_driver.exe <VTInst.exe> <temp folder> <screenshot folder> [arguments for VTInst.exe]
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/DesktopShell.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/PageDriver.h"
#include "tests/support/ScopedTempFolder.h"
#include "tests/support/StandInTool.h"

namespace {

struct PageStep {
    int markerId;       // a control only this page has
    const wchar_t* name;
    int waitEnabledId;  // the page is ready when this control is enabled (0: at once)
    DWORD settleMs;     // time given to the page before its screenshot
    int textId;         // a control whose text is printed (0: none)
    int clicks[2];      // pressed in order (0: none)
    bool last;          // the demo ends here
};

const PageStep kPages[] = {
    {1028, L"folder", 0, 300, 1028, {1023, 0}, false},
    {1010, L"license", 1010, 300, 0, {1010, 1013}, false},
    {1045, L"review", 0, 300, 1045, {1047, 0}, false},
    {1005, L"download", 0, 1500, 1007, {0, 0}, false},
    {6000, L"install", 0, 300, 1018, {0, 0}, false},
    {1016, L"completion", 0, 300, 1020, {1016, 0}, false},
    {1054, L"power-off", 0, 300, 1053, {1054, 0}, false},
    {IDOK, L"restart", 0, 300, 0, {IDCANCEL, 0}, false},
};

const wchar_t kFamilyKey[] = L"SOFTWARE\\ZEL\\Veltrona Software";
// Where the demo's configuration puts the family: below the program files folder that the installer,
// a program of the driver's own kind, is shown.
std::wstring ProgramFolder() {
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILES, FALSE);
    return std::wstring(folder) + L"\\ZEL\\Veltrona";
}

std::wstring Msiexec() {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\msiexec.exe";
}

// Every run installs afresh: the products an earlier run installed are taken out again.
void ResetMachine() {
    wchar_t package[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VTINST_DEMO_MSI", package, MAX_PATH)) {
        vttest::ChildProcess uninstall;
        if (uninstall.Start(Msiexec(), std::wstring(L"/x \"") + package + L"\" /qn", L"C:\\", {}))
            uninstall.Wait(120000);
    }
    // The family's values live in the 32-bit view, whichever build the driver is.
    HKEY wow = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &wow) == ERROR_SUCCESS) {
        RegDeleteTreeW(wow, L"ZEL\\Veltrona Software");
        RegCloseKey(wow);
    }
    vttest::RemoveTree(ProgramFolder());
}

const wchar_t kUpdaterKey[] = L"SOFTWARE\\ZEL\\Veltrona Online Update";

// The online-update program as an earlier installation left it: its folder in the registry.
std::wstring RegisterUpdater() {
    wchar_t folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"VTINST_DEMO_UPDATER", folder, MAX_PATH)) return std::wstring();
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUpdaterKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return std::wstring();
    RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                   static_cast<DWORD>((wcslen(folder) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    const std::wstring updater = std::wstring(folder) + L"\\VeltronaUpdater.exe";
    DeleteFileW((updater + L".record").c_str());
    return updater;
}

// How the follow-up programs were started, from the records the stand-ins keep.
void ListFollowUpRuns(const std::vector<std::wstring>& programs) {
    bool any = false;
    for (const std::wstring& program : programs) {
        for (const vttest::StandInRun& run : vttest::StandInRuns(program)) {
            printf("  %ls\n      command line: %ls\n      working folder: %ls\n", run.program.c_str(),
                   run.commandLine.c_str(), run.directory.c_str());
            any = true;
        }
    }
    if (!any) printf("  (none)\n");
}

void ListFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(path);
        else
            printf("  %ls (%lu bytes)\n", path.c_str(), found.nFileSizeLow);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The installed products as the next run's selection reads them (the program's 32-bit view).
void ListProducts() {
    HKEY family = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFamilyKey, 0, KEY_READ | KEY_WOW64_32KEY, &family) != ERROR_SUCCESS) {
        printf("  (no family products registered)\n");
        return;
    }
    wchar_t product[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(family, i, product, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        wchar_t version[MAX_PATH] = {}, path[MAX_PATH] = {};
        DWORD size = sizeof(version);
        RegGetValueW(family, product, L"Version", RRF_RT_REG_SZ, nullptr, version, &size);
        size = sizeof(path);
        RegGetValueW(family, product, L"Path", RRF_RT_REG_SZ, nullptr, path, &size);
        printf("  HKLM\\%ls\\%ls: Version=%ls Path=%ls\n", kFamilyKey, product, version, path);
    }
    RegCloseKey(family);
}

std::string Printable(const std::wstring& text) {
    std::string narrow = vttest::Narrow(text);
    std::string result;
    for (char c : narrow) {
        if (c == '\r') continue;
        result += c == '\n' ? std::string("\n      ") : std::string(1, c);
    }
    return result;
}

class Walk {
public:
    Walk(DWORD processId, std::wstring shots) : m_processId(processId), m_shots(std::move(shots)) {}

    void AnswerBox() {
        vttest::MessageBoxInfo box;
        if (!vttest::WaitForMessageBox(vttest::MessageBoxFilter{L"", m_processId}, 100, box)) return;
        Sleep(300);  // let the box paint before the screenshot
        Shot(box.window, L"box");
        std::string text = vttest::Narrow(box.text);
        for (char& c : text) {
            if (c == '\n') c = ' ';
        }
        printf("message box: [%s] %s\n", vttest::Narrow(box.caption).c_str(), text.c_str());
        if (box.buttons.empty()) return;
        printf("  pressing \"%s\"\n", vttest::Narrow(box.buttons.front().text).c_str());
        fflush(stdout);
        vttest::PressMessageBoxButton(box.window, box.buttons.front().id);
        vttest::WaitForWindowClosed(box.window, 5000);
    }

    // True when the page that ends the demo was reached.
    bool WalkPage() {
        for (const PageStep& step : kPages) {
            vttest::PageInfo page;
            if (!vttest::WaitForPage(m_processId, step.markerId, 0, page) || m_done.count(page.window)) continue;
            m_done.insert(page.window);
            if (step.waitEnabledId) vttest::WaitForControlEnabled(page.window, step.waitEnabledId, true, 30000);
            Sleep(step.settleMs);
            page = vttest::ReadPage(page.window);
            Shot(page.window, step.name);
            printf("page: %ls\n", step.name);
            if (step.textId) {
                if (const vttest::PageControl* text = page.Control(step.textId))
                    printf("      %s\n", Printable(text->text).c_str());
            }
            for (int id : step.clicks) {
                if (!id) continue;
                if (const vttest::PageControl* button = page.Control(id))
                    printf("  pressing \"%s\"\n", vttest::Narrow(button->text).c_str());
                fflush(stdout);
                vttest::ClickControl(page.window, id);
                Sleep(300);
            }
            return step.last;
        }
        return false;
    }

private:
    void Shot(HWND window, const wchar_t* what) {
        wchar_t name[64];
        swprintf(name, 64, L"\\%02d-%ls.bmp", ++m_shotCount, what);
        vttest::SaveScreenshot(window, m_shots + name);
    }

    DWORD m_processId;
    std::wstring m_shots;
    int m_shotCount = 0;
    std::set<HWND> m_done;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: demo_driver <VTInst.exe> <temp folder> <screenshot folder> [arguments]\n");
        return 2;
    }
    const std::wstring program = argv[1];
    const std::wstring temp = argv[2];
    const std::wstring arguments = argc > 4 ? argv[4] : L"";
    const std::wstring folder = program.substr(0, program.find_last_of(L'\\'));
    ResetMachine();
    const std::wstring updater = RegisterUpdater();
    vttest::StandInDesktopShell shell;
    printf("desktop shell: %s\n", shell.Start() ? "the stand-in shell window is the session's shell window"
                                                : "none (the family's tools cannot start with its token)");
    vttest::ChildProcess installer;
    if (!installer.Start(program, arguments, folder, {{L"TMP", temp}, {L"TEMP", temp}})) {
        fprintf(stderr, "cannot start %ls (error %lu)\n", program.c_str(), GetLastError());
        return 2;
    }
    Walk walk(installer.Id(), argv[3]);
    DWORD exitCode = 0;
    while (!installer.Wait(0, &exitCode)) {
        walk.AnswerBox();
        if (walk.WalkPage()) break;
    }
    installer.Wait(INFINITE, &exitCode);
    printf("VTInst.exe ended with exit code %lu\n", exitCode);
    printf("\n== installed files under %ls\n", ProgramFolder().c_str());
    ListFiles(ProgramFolder());
    printf("\n== installed products\n");
    ListProducts();
    printf("\n== follow-up programs the installer started\n");
    ListFollowUpRuns({ProgramFolder() + L"\\Manager\\VtWizard\\ZelVtConnectionWizard.exe", updater});
    return 0;
}
