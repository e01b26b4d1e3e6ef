#include "tests/support/ScopedTempFolder.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <vector>

namespace vttest {

namespace {
std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t buffer[32768];
    DWORD length = GetEnvironmentVariableW(name, buffer, 32768);
    return length ? std::wstring(buffer, length) : std::wstring();
}

std::wstring BaseTempFolder() {
    // The Wine prefix's own temporary folder, whatever this process's TMP says right now.
    static std::wstring base = [] {
        wchar_t buffer[MAX_PATH];
        DWORD length = GetTempPathW(MAX_PATH, buffer);
        std::wstring path(buffer, length);
        if (!path.empty() && path.back() == L'\\') path.pop_back();
        return path;
    }();
    return base;
}
}  // namespace

ScopedTempFolder::ScopedTempFolder(bool redirectTemp) : m_redirected(redirectTemp) {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        wchar_t name[64];
        swprintf(name, 64, L"vtt%lu_%u", GetCurrentProcessId(), counter++);
        m_path = BaseTempFolder() + L"\\" + name;
        if (CreateDirectoryW(m_path.c_str(), nullptr)) break;
    }
    if (m_redirected) {
        m_oldTmp = EnvironmentValue(L"TMP");
        m_oldTemp = EnvironmentValue(L"TEMP");
        SetEnvironmentVariableW(L"TMP", m_path.c_str());
        SetEnvironmentVariableW(L"TEMP", m_path.c_str());
    }
}

ScopedTempFolder::~ScopedTempFolder() {
    if (m_redirected) {
        SetEnvironmentVariableW(L"TMP", m_oldTmp.empty() ? nullptr : m_oldTmp.c_str());
        SetEnvironmentVariableW(L"TEMP", m_oldTemp.empty() ? nullptr : m_oldTemp.c_str());
    }
    RemoveTree(m_path);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

void WriteTextFile(const std::wstring& path, const std::string& utf8Text) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return;
    fwrite(utf8Text.data(), 1, utf8Text.size(), file);
    fclose(file);
}

std::string ReadTextFile(const std::wstring& path) {
    std::string text;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return text;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, got);
    fclose(file);
    return text;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length, nullptr, nullptr);
    return result;
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length);
    return result;
}

}  // namespace vttest
