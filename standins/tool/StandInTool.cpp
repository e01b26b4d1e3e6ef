// Stand-in for the programs the installer starts (the family's tools, the online-update programs,
// the .NET Framework redistributables). Copied under whatever name a test needs. It records how it
// was started and ends with the exit code the test chose.
//
// Settings: "<own path>.ini", section [StandIn]: ExitCode (default 0), DelayMs (default 0: how long
// to stay running), Record (default "<own path>.record"). Each run appends one block of UTF-8 lines
// to the record:
//   run
//   program=<own path>
//   pid=<process id>
//   commandline=<command line as received>
//   directory=<working directory>
//   user=<user name>
//   elevated=<1 when the token is elevated, else 0>
//   end
#include <windows.h>

#include <string>

namespace {

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring ReadSetting(const std::wstring& settingsFile, const wchar_t* key, const std::wstring& fallback) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(L"StandIn", key, fallback.c_str(), value, 1024, settingsFile.c_str());
    return value;
}

std::wstring CurrentFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

std::wstring UserName() {
    wchar_t name[256] = {};
    DWORD size = 256;
    GetUserNameW(name, &size);
    return name;
}

bool TokenIsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    const bool elevated =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) && elevation.TokenIsElevated;
    CloseHandle(token);
    return elevated;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0], size, nullptr, nullptr);
    return result;
}

// One write of the whole block, so a test polling the record never sees half a run.
void AppendRecord(const std::wstring& recordFile, const std::wstring& block) {
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 50 && file == INVALID_HANDLE_VALUE; ++attempt) {
        file = CreateFileW(recordFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) Sleep(20);
    }
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string bytes = Utf8(block);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    const std::wstring self = OwnPath();
    const std::wstring settings = self + L".ini";
    const std::wstring recordFile = ReadSetting(settings, L"Record", self + L".record");
    const int exitCode = _wtoi(ReadSetting(settings, L"ExitCode", L"0").c_str());
    const int delayMs = _wtoi(ReadSetting(settings, L"DelayMs", L"0").c_str());

    std::wstring block = L"run\n";
    block += L"program=" + self + L"\n";
    block += L"pid=" + std::to_wstring(GetCurrentProcessId()) + L"\n";
    block += L"commandline=" + std::wstring(GetCommandLineW()) + L"\n";
    block += L"directory=" + CurrentFolder() + L"\n";
    block += L"user=" + UserName() + L"\n";
    block += std::wstring(L"elevated=") + (TokenIsElevated() ? L"1" : L"0") + L"\n";
    block += L"end\n";
    AppendRecord(recordFile, block);

    if (delayMs > 0) Sleep(static_cast<DWORD>(delayMs));
    return exitCode;
}
