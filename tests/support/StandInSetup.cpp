#include "tests/support/StandInSetup.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/ScopedTempFolder.h"

namespace vttest {

namespace {

std::wstring ValueAfter(const std::wstring& line, const wchar_t* key) {
    const std::wstring prefix = std::wstring(key) + L"=";
    return line.compare(0, prefix.size(), prefix) == 0 ? line.substr(prefix.size()) : std::wstring();
}

}  // namespace

void WriteStandInSetupSettings(const std::wstring& settingsFile, const StandInSetupSettings& settings) {
    DeleteFileW(settingsFile.c_str());
    DeleteFileW((settingsFile + L".record").c_str());
    WriteTextFile(settingsFile, "[StandInSetup]\r\n");
    for (const auto& setting : settings)
        WritePrivateProfileStringW(L"StandInSetup", setting.first.c_str(), setting.second.c_str(),
                                   settingsFile.c_str());
}

bool InstallStandInSetup(const std::wstring& path, const StandInSetupSettings& settings) {
    if (!CopyInto(BuildFolder() + L"\\VtStandInSetup.exe", path)) return false;
    WriteStandInSetupSettings(path + L".ini", settings);
    return true;
}

std::vector<StandInSetupRun> StandInSetupRuns(const std::wstring& settingsFile) {
    std::vector<StandInSetupRun> runs;
    const std::wstring record = settingsFile + L".record";
    if (GetFileAttributesW(record.c_str()) == INVALID_FILE_ATTRIBUTES) return runs;
    const std::wstring text = Widen(ReadTextFile(record));
    StandInSetupRun current;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (line == L"run") current = StandInSetupRun();
        else if (line == L"end") runs.push_back(current);
        else if (line.compare(0, 12, L"commandline=") == 0) current.commandLine = ValueAfter(line, L"commandline");
        else if (line.compare(0, 6, L"szDir=") == 0) current.destination = ValueAfter(line, L"szDir");
    }
    return runs;
}

std::string AnsiResponseFile(const std::string& code, const std::string& oldFolder) {
    std::string text = "[InstallShield Silent]\r\nVersion=v7.00\r\nFile=Response File\r\n";
    if (!code.empty()) {
        text += "[{" + code + "}-DlgOrder]\r\nDlg0={" + code + "}-SdAskDestPath-0\r\nCount=1\r\n";
        text += "[{" + code + "}-SdAskDestPath-0]\r\nszDir=" + oldFolder + "\r\nResult=1\r\n";
    } else {
        text += "[Application]\r\nszDir=" + oldFolder + "\r\n";
    }
    return text;
}

void WriteUtf16File(const std::wstring& path, const std::wstring& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const wchar_t bom = 0xFEFF;
    DWORD written = 0;
    WriteFile(file, &bom, sizeof(bom), &written, nullptr);
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
}

std::wstring ReadUtf16File(const std::wstring& path) {
    const std::string bytes = ReadTextFile(path);
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xFE)
        return std::wstring();
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
}

std::string HostPath(const std::wstring& windowsPath) {
    std::wstring path = windowsPath;
    if (path.size() >= 2 && (path[0] == L'Z' || path[0] == L'z') && path[1] == L':') path.erase(0, 2);
    for (wchar_t& c : path)
        if (c == L'\\') c = L'/';
    return Narrow(path);
}

}  // namespace vttest
