// Stand-in for a response-file driven setup program (the packages' setup.exe): started as
// `setup.exe /s /f1"<response file>" /f2"<result file>" /z"<options>"`, it reads the destination
// "szDir" from its response file (ANSI or UTF-16 with byte-order mark), installs one marker file
// there, writes its result file and ends with the exit code the test chose.
//
// Settings: the file named by the environment variable VTINST_STANDIN_SETUP, else "<own path>.ini";
// section [StandInSetup]:
//   ExitCode (default 0), ResultCode (default 0: written as ResponseResult/ResultCode of the result file),
//   InstalledFile (default "standin-setup.txt": created in szDir),
//   ProductKey (optional, below HKLM in the 32-bit view: values Version and Path are written there),
//   Version (default 1.0.0.0), RestartKey (optional key below HKLM created as a restart marker),
//   FinishAtRestart (1: the marker is taken away at the next restart, by a RunOnce entry of its own
//   named so that it runs before the installer's, as a setup completing itself at restart does),
//   Companions (optional folder whose files and sub-folders are copied into szDir beside the marker:
//   the tools a product brings), AppPath (optional program name registered under App Paths with
//   "Path" = szDir, as the Manager's setup registers its monitor), SettingsFolder (optional folder
//   created below the common application data folder, where a product keeps its settings files).
// Each run appends to "<settings>.record" (UTF-8): "run", "commandline=...", "szDir=...", "end".
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

const wchar_t kSection[] = L"StandInSetup";

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring SettingsFile() {
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VTINST_STANDIN_SETUP", path, MAX_PATH) > 0) return path;
    return OwnPath() + L".ini";
}

std::wstring Setting(const std::wstring& file, const wchar_t* key, const wchar_t* fallback) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(kSection, key, fallback, value, 1024, file.c_str());
    return value;
}

// The text after `option"` up to the next quote ("" when the option is absent).
std::wstring QuotedOption(const std::wstring& commandLine, const std::wstring& option) {
    const std::wstring opening = L" " + option + L"\"";
    const size_t start = commandLine.find(opening);
    if (start == std::wstring::npos) return std::wstring();
    const size_t first = start + opening.size();
    const size_t end = commandLine.find(L'"', first);
    return commandLine.substr(first, end == std::wstring::npos ? std::wstring::npos : end - first);
}

std::wstring ReadText(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::wstring();
    std::vector<char> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    std::wstring text(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0],
                                           static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

// The value of the first "szDir=" line.
std::wstring Destination(const std::wstring& responseText) {
    const size_t key = responseText.find(L"szDir=");
    if (key == std::wstring::npos) return std::wstring();
    const size_t start = key + 6;
    const size_t end = responseText.find_first_of(L"\r\n", start);
    return responseText.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

void CreateFolders(const std::wstring& folder) {
    for (size_t at = folder.find(L'\\', 3); at != std::wstring::npos; at = folder.find(L'\\', at + 1))
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
}

void WriteFileText(const std::wstring& path, const std::string& text, DWORD disposition) {
    HANDLE file = CreateFileW(path.c_str(), disposition == OPEN_ALWAYS ? FILE_APPEND_DATA : GENERIC_WRITE,
                              FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0], size, nullptr, nullptr);
    return result;
}

// Copies a folder's tree into another, existing or not.
void CopyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW entry = {};
    HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + L"\\" + name, to + L"\\" + name);
        else
            CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

void SetMachineValue(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    if (name)
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    const std::wstring settings = SettingsFile();
    const std::wstring commandLine = GetCommandLineW();
    const std::wstring responseFile = QuotedOption(commandLine, L"/f1");
    const std::wstring resultFile = QuotedOption(commandLine, L"/f2");
    const std::wstring destination = Destination(ReadText(responseFile));

    WriteFileText(settings + L".record",
                  Utf8(L"run\ncommandline=" + commandLine + L"\nszDir=" + destination + L"\nend\n"), OPEN_ALWAYS);

    const int exitCode = _wtoi(Setting(settings, L"ExitCode", L"0").c_str());
    if (!destination.empty() && (exitCode == 0 || exitCode == 3010)) {
        CreateFolders(destination);
        WriteFileText(destination + L"\\" + Setting(settings, L"InstalledFile", L"standin-setup.txt"),
                      "installed by the stand-in setup\r\n", CREATE_ALWAYS);
        const std::wstring productKey = Setting(settings, L"ProductKey", L"");
        if (!productKey.empty()) {
            SetMachineValue(productKey, L"Version", Setting(settings, L"Version", L"1.0.0.0"));
            SetMachineValue(productKey, L"Path", destination);
        }
        const std::wstring companions = Setting(settings, L"Companions", L"");
        if (!companions.empty()) CopyTree(companions, destination);
        const std::wstring appPath = Setting(settings, L"AppPath", L"");
        if (!appPath.empty())
            SetMachineValue(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + appPath, L"Path", destination);
        const std::wstring settingsFolder = Setting(settings, L"SettingsFolder", L"");
        if (!settingsFolder.empty()) {
            wchar_t common[MAX_PATH] = {};
            SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common);
            CreateFolders(std::wstring(common) + L"\\" + settingsFolder);
        }
        const std::wstring restartKey = Setting(settings, L"RestartKey", L"");
        if (!restartKey.empty()) SetMachineValue(restartKey, nullptr, L"");
        if (!restartKey.empty() && Setting(settings, L"FinishAtRestart", L"0") == L"1") {
            wchar_t system[MAX_PATH] = {};
            GetSystemDirectoryW(system, MAX_PATH);
            SetMachineValue(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", L"ZelStandInSetup Finish",
                            L"\"" + std::wstring(system) + L"\\reg.exe\" delete \"HKLM\\" + restartKey +
                                L"\" /f /reg:32");
        }
    }
    if (!resultFile.empty()) {
        WritePrivateProfileStringW(L"ResponseResult", L"ResultCode", Setting(settings, L"ResultCode", L"0").c_str(),
                                   resultFile.c_str());
    }
    return exitCode;
}
